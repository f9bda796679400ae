// CBrimsteadAPI: the host's handle on the decoupling-analysis wizard (export CreateBrimstead). Its record is the
// decoupling record; besides the shared operations it answers the nets, the enabled probes and the DRC report.
#pragma once

#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/WizardAPIBase.h"
#include "brimstead/WizardAPIInstance.h"
#include "brimstead/WizardSeam.h"

class CBrimsteadAPI final : public CWizardAPIBase<CBrimsteadAPITable>, public CBrimsteadAPILink {
public:
  bool Close() override;
  bool LoadSettings(const char* path) override { return UseLastConfiguration(path); }
  bool SetOutputFileName(const char* name) override;
  bool SetDRCReportFile(const char* name) override;
  bool Run() override;
  bool CloseWizard() override;
  const char* QueryFirstNet() override;
  const char* QuerySecondNet() override;
  bool GetIncludeAllNets() override;
  bool GetIncludeLowFreqConnections() override;
  double GetTargetImpedance() override { return Rec().m_dTargetImpedance; }
  bool GetDRCOnly() override { return IsQuick() || Rec().m_bDRCOnly; }
  bool GetSkipStitchingVias() override { return Rec().m_bSkipStitchingVias; }
  bool GetGenerateS() override { return Rec().m_bGenerateS; }
  bool IsQuickAnalysis() override { return Rec().m_nAnalysisType == AnalysisQuick; }
  bool IsLumpedAnalysis() override { return Rec().m_nAnalysisType == AnalysisLumped; }
  bool IsDistributedAnalysis() override { return Rec().m_nAnalysisType == AnalysisDistributed; }
  int GetProbeCount() override { return BuildEnabledProbeList(); }
  CProbeRecord* GetProbeRecord(int index) override { return GetEnabledProbe(index); }

  /* 59 */ bool OnViewerSelectionChanged() override;
  /* 60 */ void GetNets(CHostNet** first, CHostNet** second) override;
  /* 61 */ int GetDRCReportMode() override;
  /* 62 */ const char* GetDRCReportFile() override;

  // "Use last configuration" with the file (position 20).
  bool UseLastConfiguration(const char* path);
  // Rebuilds the list of the record's enabled probes (position 54); the list entry (position 55), whose index
  // outside the list raises the invalid-argument exception.
  int BuildEnabledProbeList() override;
  CDecouplingProbe* GetEnabledProbe(int index);

  CHostGeometryQuery* GetGeometryQuery() override { return m_pGeometryQuery; }
  CHostWizardCallback* GetCallback() override { return m_pCallback; }

  // The factory: the one object, reset, its record a default decoupling record.
  static CBrimsteadAPI* Create();
  // The object when the factory has made it, else null.
  static CBrimsteadAPI* Instance();
  // Frees the object at unload (its wizard window destroyed first); a later factory call makes a new one.
  static void Destroy();

private:
  friend class CWizardAPIInstance<CBrimsteadAPI>;

  CBrimsteadAPI();
  ~CBrimsteadAPI();

  CAnalysisData* Record() override { return GetDecouplingAnalysisData(); }
  CDecouplingAnalysisData& Data();
  void ResetRecordToDefaults() override;
  void ResetOwnMembers() override;
  bool AcceptsSystemInBoardMode() const override { return true; }
  bool Simplified() override { return IsQuick() || Easy(); }
  bool IsQuick() { return Rec().m_nAnalysisType == AnalysisQuick; }

  std::vector<CDecouplingProbe*> m_EnabledProbes;
  char m_PathBuffer[MAX_PATH] = {};
  CString m_KeptOutputFileName;
  CString m_KeptDRCReportFile;
};
