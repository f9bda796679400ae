// CWizardAPI: the table of operations that the host calls on each of the four wizard interface objects
// (CBrimsteadAPI, CBypassWizardAPI, CDiffViaModelWizardAPI, CModelExtractorWizardAPI).
//
// The host calls by position, so the order of the operations is part of the interface: the first 58 mean the same
// in all four objects (the comment gives each one's position, from 1), each object adds its own after them. The
// objects are singletons of the module; the host never deletes one (Release only closes the wizard).
//
// Getters answer from the current analysis record; several answer a fixed default while the record is in the easy
// mode (or, for the decoupling object, a Quick analysis) and the field otherwise.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "brimstead/ProbeRecord.h"

class CWizardAPI {
public:
  /* 1 */ virtual void EnableBoardMode() = 0;   // cannot be cleared except by the factory
  /* 2 */ virtual bool SetParentWindow(HWND parent) = 0;
  /* 3 */ virtual bool SetProjectFile(const char* path) = 0;   // false unless the file exists
  /* 4 */ virtual bool SetSystem(CHostSystem* system) = 0;
  /* 5 */ virtual bool SetBoard(CHostBoard* board) = 0;        // board mode only
  /* 6 */ virtual bool AddNames(const char* text) = 0;         // pieces split at CR, tab and LF
  /* 7 */ virtual bool SetCallback(CHostWizardCallback* callback) = 0;
  /* 8 */ virtual bool SetGeometryQuery(CHostGeometryQuery* query) = 0;
  /* 9 */ virtual bool SetBoardView(CHostBoardMarker* boardView) = 0;
  /* 10 */ virtual void SetWizardOption1(bool on) = 0;
  /* 11 */ virtual void SetWizardOption2(bool on) = 0;
  /* 12 */ virtual void EnableDebugOptions() = 0;
  // The host's model library (0: none), which the capacitor page hands to the model editor: pointer-sized.
  /* 13 */ virtual void SetTableValue(INT_PTR value) = 0;
  /* 14 */ virtual bool SetSettingsCopyBuffer(char* buffer) = 0;   // at least 260 bytes
  /* 15 */ virtual void SetTableText(const char* text) = 0;
  /* 16 */ virtual bool RunModal() = 0;         // true when the wizard ended with OK
  /* 17 */ virtual bool CreateModeless() = 0;
  /* 18 */ virtual HWND GetWizardWindow() = 0;
  /* 19 */ virtual bool Close() = 0;
  // Position 20: the decoupling and extractor objects click "Use last configuration" with the file, the bypass and
  // via-model objects load the settings file.
  /* 20 */ virtual bool LoadSettings(const char* path) = 0;
  /* 21 */ virtual bool SetOutputFileName(const char* name) = 0;
  /* 22 */ virtual bool SetDRCReportFile(const char* name) = 0;
  /* 23 */ virtual bool Run() = 0;           // clicks Finish of the open wizard
  /* 24 */ virtual bool CloseWizard() = 0;   // clicks Cancel/Close of the open wizard
  /* 25 */ virtual int GetBoardIndex() = 0;
  /* 26 */ virtual const char* QueryFirstNet() = 0;    // decoupling only; the others end the process
  /* 27 */ virtual const char* QuerySecondNet() = 0;
  /* 28 */ virtual bool GetIncludeAllNets() = 0;
  /* 29 */ virtual bool GetUnkeyedFlag() = 0;
  /* 30 */ virtual bool GetIncludeInterPlane() = 0;
  /* 31 */ virtual bool GetIncludeLowFreqConnections() = 0;
  /* 32 */ virtual double GetTargetImpedance() = 0;
  /* 33 */ virtual bool GetDRCOnly() = 0;
  /* 34 */ virtual bool GetSkipStitchingVias() = 0;
  /* 35 */ virtual bool GetGenerateS() = 0;
  /* 36 */ virtual bool GetExportShuntModel() = 0;
  /* 37 */ virtual double GetMinFreq() = 0;
  /* 38 */ virtual double GetMaxFreq() = 0;
  /* 39 */ virtual bool IsAdaptiveSweep() = 0;
  /* 40 */ virtual bool IsLinearSweep() = 0;
  /* 41 */ virtual bool IsLogarithmicSweep() = 0;
  /* 42 */ virtual int GetAdaptiveSweepAccuracy() = 0;
  /* 43 */ virtual int GetMaxAdaptiveFreqNumber() = 0;
  /* 44 */ virtual int GetNonAdaptiveFreqNumber() = 0;
  /* 45 */ virtual bool GetUseFDTD() = 0;
  /* 46 */ virtual bool GetShowTPOscilloscope() = 0;
  /* 47 */ virtual double GetFDTDInterval() = 0;
  /* 48 */ virtual bool IsQuickAnalysis() = 0;
  /* 49 */ virtual bool IsLumpedAnalysis() = 0;
  /* 50 */ virtual bool IsDistributedAnalysis() = 0;
  /* 51 */ virtual bool GetIncludeMounting() = 0;
  /* 52 */ virtual bool GetUseInterimTouchstone() = 0;
  /* 53 */ virtual bool GetForcePassivity() = 0;
  /* 54 */ virtual int GetProbeCount() = 0;                     // per object (enabled probes, or all of them)
  /* 55 */ virtual CProbeRecord* GetProbeRecord(int index) = 0;  // per object
  /* 56 */ virtual bool SetHelpFile(const char* path) = 0;
  /* 57 */ virtual const char* GetOutputFileName() = 0;   // the text lives until the next call
  /* 58 */ virtual void Release() = 0;                    // closes the wizard; the object stays

protected:
  ~CWizardAPI() = default;   // the host never deletes an interface object
};
