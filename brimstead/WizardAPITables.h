// The host's view of each wizard interface object: the 58 shared operations of CWizardAPI followed by the object's
// own, in the order the host calls them. A host includes this header (and BrimsteadExports.h) only; the objects
// behind the tables are the module's.
#pragma once

#include "brimstead/WizardAPI.h"

class CBrimsteadAPITable : public CWizardAPI {
public:
  // Position 54 rebuilds the list of the record's enabled probes and answers its length; 55 answers an entry
  // (an index outside the list raises the class library's invalid-argument exception).
  /* 59 */ virtual bool OnViewerSelectionChanged() = 0;
  /* 60 */ virtual void GetNets(CHostNet** first, CHostNet** second) = 0;
  /* 61 */ virtual int GetDRCReportMode() = 0;            // Quick analyses only: 1 XLS, 2 CSV; else 0
  /* 62 */ virtual const char* GetDRCReportFile() = 0;    // null unless a DRC report is asked for

protected:
  ~CBrimsteadAPITable() = default;
};

class CBypassWizardAPITable : public CWizardAPI {
public:
  // Position 54 answers 1 when a via probe is enabled; 55 with index 0 answers the first enabled one.
  /* 59 */ virtual bool Reserved59() = 0;   // always false
  /* 60 */ virtual bool ActivePageUsesViewer() = 0;
  /* 61 */ virtual bool OnViewerSelectionChanged() = 0;

protected:
  ~CBypassWizardAPITable() = default;
};

class CDiffViaModelWizardAPITable : public CWizardAPI {
public:
  // Position 54 answers, in board mode, 1 when a via pair is enabled, else the number of pairs; 55 the pair.
  /* 59 */ virtual bool GetExportDifferentialMode() = 0;
  /* 60 */ virtual bool GetExportCommonMode() = 0;
  /* 61 */ virtual bool Reserved61() = 0;   // always false
  /* 62 */ virtual bool ActivePageUsesViewer() = 0;
  /* 63 */ virtual bool OnViewerSelectionChanged() = 0;
  /* 64 */ virtual BYTE GetDiffViaType() = 0;   // 0 single via, 1 differential pair
  /* 65 */ virtual double GetNormalImpedance() = 0;

protected:
  ~CDiffViaModelWizardAPITable() = default;
};

class CModelExtractorWizardAPITable : public CWizardAPI {
public:
  // Position 54 rebuilds the list of enabled ports (supply pins first) and answers its length; 55 an entry.
  /* 59 */ virtual bool IsSelectNetActive() = 0;
  /* 60 */ virtual bool ActivePageUsesViewer() = 0;
  // The via port is found by its host probe's identity (the probe's element), from the last port to the first.
  /* 61 */ virtual bool SetViaPortEnabled(CHostProbeElement* identity, bool enabled) = 0;
  /* 62 */ virtual bool IsViaPortEnabled(CHostProbeElement* identity) = 0;
  /* 63 */ virtual bool OnViewerSelectionChanged() = 0;
  /* 64 */ virtual bool SetSelectedNet(CHostNet* net) = 0;
  /* 65 */ virtual double GetNormalImpedance() = 0;

protected:
  ~CModelExtractorWizardAPITable() = default;
};
