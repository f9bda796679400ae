#include "brimstead/BypassWizardAPI.h"

#include "shared/Errorbox.h"

CBypassWizardAPI::CBypassWizardAPI() : CWizardAPIBase(CBypassAnalysisData::Kind) {}

CBypassWizardAPI::~CBypassWizardAPI() = default;

CBypassWizardAPI* CBypassWizardAPI::Instance() { return CWizardAPIInstance<CBypassWizardAPI>::Get(); }

void CBypassWizardAPI::Destroy() { CWizardAPIInstance<CBypassWizardAPI>::Destroy(RegisterBypassWizardAPI); }

CBypassWizardAPI* CBypassWizardAPI::Create() {
  return CWizardAPIInstance<CBypassWizardAPI>::Create(RegisterBypassWizardAPI);
}

CBypassAnalysisData& CBypassWizardAPI::Data() { return Required(GetBypassAnalysisData()); }

void CBypassWizardAPI::ResetRecordToDefaults() {
  if (CBypassAnalysisData* record = GetBypassAnalysisData()) {
    *record = CBypassAnalysisData();
    record->m_nAnalysisType = AnalysisDistributed;
  }
}

bool CBypassWizardAPI::Close() {
  CloseWizardWindow();
  return false;
}

bool CBypassWizardAPI::LoadSettings(const char* path) {
  // The host may load before it opens the wizard; the record must know its board mode to read its probes.
  Rec().m_bBoardMode = m_bBoardMode;
  // A null or empty path loads nothing, and the host hears so instead of a success.
  if (!Data().Load(path))
    return false;
  if (m_bBoardMode && m_pDialog)
    m_pDialog->RefreshActivePage();
  // An open wizard reads the loaded record again, its Finish caption included.
  if (HWND wizard = WizardWindow())
    ::PostMessageA(wizard, WM_WIZARD_REREAD_RECORD, 0, 0);
  NotifyHost(HostEventSettingsLoaded);
  return true;
}

bool CBypassWizardAPI::SetOutputFileName(const char* name) {
  CAnalysisData& record = Rec();
  record.m_nAutoGenerateOutputFileName = 0;
  record.m_OutputFileName = name ? name : "";
  NotifyHost(HostEventOutputNameSet);
  return true;
}

bool CBypassWizardAPI::Run() {
  Rec().TakeBackSettingsCopyBuffer();
  if (WizardWindow())
    PostClick(m_pDialog->GetFinishButton());
  return true;
}

bool CBypassWizardAPI::CloseWizard() {
  Rec().TakeBackSettingsCopyBuffer();
  if (WizardWindow())
    PostClick(m_pDialog->GetCancelButton());
  return true;
}

int CBypassWizardAPI::HasEnabledProbe() {
  CBypassAnalysisData& record = Data();
  for (int i = 0; i < record.m_Probes.GetSize(); ++i)
    if (record.m_Probes[i].m_bEnabled)
      return 1;
  return 0;
}

CBypassViaProbe* CBypassWizardAPI::GetEnabledProbe(int index) {
  if (index != 0)
    return nullptr;
  CBypassAnalysisData& record = Data();
  for (int i = 0; i < record.m_Probes.GetSize(); ++i)
    if (record.m_Probes[i].m_bEnabled)
      return &record.m_Probes[i];
  return nullptr;
}

bool CBypassWizardAPI::ActivePageUsesViewer() { return m_pDialog && m_pDialog->ActivePageTakesViewerPicks(); }

bool CBypassWizardAPI::OnViewerSelectionChanged() { return m_pDialog && m_pDialog->RefreshActivePage(); }

const char* CBypassWizardAPI::QueryFirstNet() { FatalErrorReport(__DATE__, __FILE__, __LINE__); }
const char* CBypassWizardAPI::QuerySecondNet() { FatalErrorReport(__DATE__, __FILE__, __LINE__); }
