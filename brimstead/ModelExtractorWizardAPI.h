// CModelExtractorWizardAPI: the host's handle on the PDN model-extractor wizard (export
// CreateModelExtractorWizard). Its record holds ports at IC supply pins and at signal vias; the host switches via
// ports on and off and hands in the net picked in its board window.
#pragma once

#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/WizardAPIBase.h"
#include "brimstead/WizardAPIInstance.h"
#include "brimstead/WizardSeam.h"

class CModelExtractorWizardAPI final : public CWizardAPIBase<CModelExtractorWizardAPITable>, public CModelExtractorWizardAPILink {
public:
  bool Close() override;
  bool LoadSettings(const char* path) override { return UseLastConfiguration(path); }
  bool SetOutputFileName(const char* name) override;
  bool SetDRCReportFile(const char*) override { return false; }
  bool Run() override;
  // Only the decoupling analysis has nets: a host that asks this object ends in the fatal-error report.
  const char* QueryFirstNet() override;
  const char* QuerySecondNet() override;
  bool CloseWizard() override;
  int GetProbeCount() override { return BuildEnabledPortList(); }
  CProbeRecord* GetProbeRecord(int index) override { return GetEnabledPort(index); }

  /* 59 */ bool IsSelectNetActive() override;
  /* 60 */ bool ActivePageUsesViewer() override;
  /* 61 */ bool SetViaPortEnabled(CHostProbeElement* identity, bool enabled) override;
  /* 62 */ bool IsViaPortEnabled(CHostProbeElement* identity) override;
  /* 63 */ bool OnViewerSelectionChanged() override;
  /* 64 */ bool SetSelectedNet(CHostNet* net) override;
  /* 65 */ double GetNormalImpedance() override;

  bool UseLastConfiguration(const char* path);
  // The enabled supply-pin ports in order, then the enabled via ports; answers the count.
  int BuildEnabledPortList() override;
  // The list's entry; an index outside it raises the invalid-argument exception.
  CPortProbe* GetEnabledPort(int index) override;

  CHostGeometryQuery* GetGeometryQuery() override { return m_pGeometryQuery; }
  CHostWizardCallback* GetCallback() override { return m_pCallback; }

  static CModelExtractorWizardAPI* Create();
  static CModelExtractorWizardAPI* Instance();
  // Frees the object at unload (its wizard window destroyed first); a later factory call makes a new one.
  static void Destroy();

private:
  friend class CWizardAPIInstance<CModelExtractorWizardAPI>;

  CModelExtractorWizardAPI();
  ~CModelExtractorWizardAPI();

  CAnalysisData* Record() override { return GetModelExtractorAnalysisData(); }
  CModelExtractorAnalysisData& Data();
  void ResetRecordToDefaults() override;
  void ResetOwnMembers() override { m_PathBuffer[0] = '\0'; }
  bool KeepsBoardView() const override { return true; }
  void OnDialogReady(CWizardDialogLink& dialog) override { dialog.NotifyActivePageNetChanged(); }
  // The index of the via port whose host probe has this identity, searched from the last to the first; -1 when
  // none.
  int FindViaPort(CHostProbeElement* identity);

  std::vector<CPortProbe*> m_EnabledPorts;
  char m_PathBuffer[MAX_PATH] = {};
  CString m_KeptOutputFileName;
};
