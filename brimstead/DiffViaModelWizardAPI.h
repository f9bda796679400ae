// CDiffViaModelWizardAPI: the host's handle on the via-model extraction wizard (export CreateViaModelWizard). Its
// record is the via-model record with its via pairs; the dialog marks the picked vias in the host's board view.
#pragma once

#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/WizardAPIBase.h"
#include "brimstead/WizardAPIInstance.h"
#include "brimstead/WizardSeam.h"

class CDiffViaModelWizardAPI final : public CWizardAPIBase<CDiffViaModelWizardAPITable>, public CDiffViaModelWizardAPILink {
public:
  bool Close() override;
  bool LoadSettings(const char* path) override;
  bool SetOutputFileName(const char* name) override;
  bool SetDRCReportFile(const char*) override { return false; }
  bool Run() override;
  // Only the decoupling analysis has nets: a host that asks this object ends in the fatal-error report.
  const char* QueryFirstNet() override;
  const char* QuerySecondNet() override;
  bool CloseWizard() override;
  int GetProbeCount() override { return HasProbes(); }
  CProbeRecord* GetProbeRecord(int index) override { return GetProbe(index); }

  /* 59 */ bool GetExportDifferentialMode() override;
  /* 60 */ bool GetExportCommonMode() override;
  /* 61 */ bool Reserved61() override { return false; }
  /* 62 */ bool ActivePageUsesViewer() override;
  /* 63 */ bool OnViewerSelectionChanged() override;
  /* 64 */ BYTE GetDiffViaType() override;
  /* 65 */ double GetNormalImpedance() override;

  // Board mode: 1 when a via pair is enabled, else 0; otherwise the number of via pairs.
  int HasProbes() override;
  // Board mode: index 0 only, the first enabled pair; otherwise pair `index`. Null when there is none.
  CViaPairProbe* GetProbe(int index) override;

  CHostGeometryQuery* GetGeometryQuery() override { return m_pGeometryQuery; }
  CHostWizardCallback* GetCallback() override { return m_pCallback; }

  static CDiffViaModelWizardAPI* Create();
  static CDiffViaModelWizardAPI* Instance();
  // Frees the object at unload (its wizard window destroyed first); a later factory call makes a new one.
  static void Destroy();

private:
  friend class CWizardAPIInstance<CDiffViaModelWizardAPI>;

  CDiffViaModelWizardAPI();
  ~CDiffViaModelWizardAPI();

  CAnalysisData* Record() override { return GetDiffViaAnalysisData(); }
  CDiffViaAnalysisData& Data();
  void ResetRecordToDefaults() override;
  bool KeepsBoardView() const override { return true; }
};
