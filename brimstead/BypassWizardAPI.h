// CBypassWizardAPI: the host's handle on the bypass wizard (export CreateBypassWizard). Its record is the bypass
// record, whose probes are the signal vias picked in the host's board view.
#pragma once

#include "brimstead/BypassAnalysisData.h"
#include "brimstead/WizardAPIBase.h"
#include "brimstead/WizardAPIInstance.h"
#include "brimstead/WizardSeam.h"

class CBypassWizardAPI final : public CWizardAPIBase<CBypassWizardAPITable>, public CBypassWizardAPILink {
public:
  bool Close() override;
  bool LoadSettings(const char* path) override;
  bool SetOutputFileName(const char* name) override;
  bool SetDRCReportFile(const char*) override { return false; }   // the bypass analysis writes no DRC report
  bool Run() override;
  // Only the decoupling analysis has nets: a host that asks this object ends in the fatal-error report.
  const char* QueryFirstNet() override;
  const char* QuerySecondNet() override;
  bool CloseWizard() override;
  bool GetIncludeAllNets() override { return Easy() || Rec().m_bIncludeAllNets; }
  double GetTargetImpedance() override { return Rec().m_dTargetImpedance; }
  bool GetGenerateS() override { return false; }
  bool GetExportShuntModel() override { return true; }
  int GetProbeCount() override { return HasEnabledProbe(); }
  CProbeRecord* GetProbeRecord(int index) override { return GetEnabledProbe(index); }

  /* 59 */ bool Reserved59() override { return false; }
  /* 60 */ bool ActivePageUsesViewer() override;
  /* 61 */ bool OnViewerSelectionChanged() override;

  int HasEnabledProbe() override;
  // Index 0 only: the first enabled via probe; null for any other index or when none is enabled.
  CBypassViaProbe* GetEnabledProbe(int index);

  CHostGeometryQuery* GetGeometryQuery() override { return m_pGeometryQuery; }
  CHostWizardCallback* GetCallback() override { return m_pCallback; }

  static CBypassWizardAPI* Create();
  static CBypassWizardAPI* Instance();
  // Frees the object at unload (its wizard window destroyed first); a later factory call makes a new one.
  static void Destroy();

private:
  friend class CWizardAPIInstance<CBypassWizardAPI>;

  CBypassWizardAPI();
  ~CBypassWizardAPI();

  CAnalysisData* Record() override { return GetBypassAnalysisData(); }
  CBypassAnalysisData& Data();
  void ResetRecordToDefaults() override;
};
