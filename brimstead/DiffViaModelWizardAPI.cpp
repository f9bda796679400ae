#include "brimstead/DiffViaModelWizardAPI.h"

#include "brimstead/models/BoardMarks.h"
#include "shared/Errorbox.h"

CDiffViaModelWizardAPI::CDiffViaModelWizardAPI()
    : CWizardAPIBase(CDiffViaAnalysisData::Kind) {}

CDiffViaModelWizardAPI::~CDiffViaModelWizardAPI() = default;

CDiffViaModelWizardAPI* CDiffViaModelWizardAPI::Instance() { return CWizardAPIInstance<CDiffViaModelWizardAPI>::Get(); }

void CDiffViaModelWizardAPI::Destroy() {
  CWizardAPIInstance<CDiffViaModelWizardAPI>::Destroy(RegisterDiffViaModelWizardAPI);
}

CDiffViaModelWizardAPI* CDiffViaModelWizardAPI::Create() {
  return CWizardAPIInstance<CDiffViaModelWizardAPI>::Create(RegisterDiffViaModelWizardAPI);
}

CDiffViaAnalysisData& CDiffViaModelWizardAPI::Data() { return Required(GetDiffViaAnalysisData()); }

void CDiffViaModelWizardAPI::ResetRecordToDefaults() {
  if (CDiffViaAnalysisData* record = GetDiffViaAnalysisData()) {
    *record = CDiffViaAnalysisData();
    record->m_nAnalysisType = AnalysisDistributed;
  }
}

bool CDiffViaModelWizardAPI::Close() {
  if (m_bModeless && m_pDialog) {
    DestroyDialog();
    return true;
  }
  // A modal run is not ended here; only the marks it made in the board view go, cleared as the dialogs clear
  // theirs, which also copes with a marker whose count does not fall.
  if (m_pBoardView) {
    CBoardMarks marks(m_pBoardView);
    marks.Clear();
    marks.SetMarker(nullptr);   // cleared once; its destructor need not ask the marker again
    m_pBoardView->Refresh();
  }
  return false;
}

bool CDiffViaModelWizardAPI::LoadSettings(const char* path) {
  // The host may load before it opens the wizard; the record must know its board mode to read its probes.
  Rec().m_bBoardMode = m_bBoardMode;
  if (!Data().Load(path))
    return false;
  if (HWND wizard = WizardWindow())
    ::PostMessageA(wizard, WM_WIZARD_REREAD_RECORD, 0, 0);
  NotifyHost(HostEventSettingsLoaded);
  return true;
}

bool CDiffViaModelWizardAPI::SetOutputFileName(const char* name) {
  CAnalysisData& record = Rec();
  record.m_nAutoGenerateOutputFileName = 0;
  record.m_OutputFileName = name ? name : "";
  NotifyHost(HostEventOutputNameSet);
  return true;
}

bool CDiffViaModelWizardAPI::Run() {
  Rec().TakeBackSettingsCopyBuffer();
  if (WizardWindow())
    PostClick(m_pDialog->GetFinishButton());
  return true;
}

bool CDiffViaModelWizardAPI::CloseWizard() {
  Rec().TakeBackSettingsCopyBuffer();
  if (WizardWindow())
    PostClick(m_pDialog->GetCancelButton());
  return true;
}

// The model type is a pair's: a single via exports neither mode (the record keeps the pair's choice for the pair).
bool CDiffViaModelWizardAPI::GetExportDifferentialMode() {
  return Data().m_bDiffViaType && Data().m_bExportDifferentialMode;
}
bool CDiffViaModelWizardAPI::GetExportCommonMode() { return Data().m_bDiffViaType && Data().m_bExportCommonMode; }
BYTE CDiffViaModelWizardAPI::GetDiffViaType() { return Data().m_bDiffViaType ? 1 : 0; }
double CDiffViaModelWizardAPI::GetNormalImpedance() { return Data().m_dNormalImpedance; }

bool CDiffViaModelWizardAPI::ActivePageUsesViewer() { return m_pDialog && m_pDialog->ActivePageTakesViewerPicks(); }

bool CDiffViaModelWizardAPI::OnViewerSelectionChanged() { return m_pDialog && m_pDialog->RefreshActivePage(); }

int CDiffViaModelWizardAPI::HasProbes() {
  CDiffViaAnalysisData& record = Data();
  if (!m_bBoardMode)
    return record.m_Probes.GetSize();
  for (int i = 0; i < record.m_Probes.GetSize(); ++i)
    if (record.m_Probes[i].m_bEnabled)
      return 1;
  return 0;
}

CViaPairProbe* CDiffViaModelWizardAPI::GetProbe(int index) {
  CDiffViaAnalysisData& record = Data();
  if (!m_bBoardMode)
    return index >= 0 && index < record.m_Probes.GetSize() ? &record.m_Probes[index] : nullptr;
  if (index != 0)
    return nullptr;
  for (int i = 0; i < record.m_Probes.GetSize(); ++i)
    if (record.m_Probes[i].m_bEnabled)
      return &record.m_Probes[i];
  return nullptr;
}

const char* CDiffViaModelWizardAPI::QueryFirstNet() { FatalErrorReport(__DATE__, __FILE__, __LINE__); }
const char* CDiffViaModelWizardAPI::QuerySecondNet() { FatalErrorReport(__DATE__, __FILE__, __LINE__); }
