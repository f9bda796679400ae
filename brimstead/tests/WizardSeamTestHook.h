// Test hook for the wizard seam: stands in for the four wizard interface objects while it lives. It hands the
// records the geometry query and callback a test injects and answers the enabled lists from the current record,
// as the interface objects do.
#pragma once

#include "brimstead/WizardSeam.h"

#include <vector>

class CWizardSeamTestHook final : public CBrimsteadAPILink,
                                  public CBypassWizardAPILink,
                                  public CDiffViaModelWizardAPILink,
                                  public CModelExtractorWizardAPILink {
public:
  explicit CWizardSeamTestHook(CHostGeometryQuery* query = nullptr, CHostWizardCallback* callback = nullptr);
  ~CWizardSeamTestHook();
  CWizardSeamTestHook(const CWizardSeamTestHook&) = delete;
  CWizardSeamTestHook& operator=(const CWizardSeamTestHook&) = delete;

  void SetGeometryQuery(CHostGeometryQuery* query) { m_pQuery = query; }
  void SetCallback(CHostWizardCallback* callback) { m_pCallback = callback; }

  CHostGeometryQuery* GetGeometryQuery() override { return m_pQuery; }
  CHostWizardCallback* GetCallback() override { return m_pCallback; }
  int BuildEnabledProbeList() override;
  int HasEnabledProbe() override;
  BYTE GetDiffViaType() override;
  bool GetExportDifferentialMode() override;
  bool GetExportCommonMode() override;
  int HasProbes() override;
  CViaPairProbe* GetProbe(int index) override;
  int BuildEnabledPortList() override;
  CPortProbe* GetEnabledPort(int index) override;

private:
  CHostGeometryQuery* m_pQuery;
  CHostWizardCallback* m_pCallback;
  std::vector<CPortProbe*> m_EnabledPorts;
};
