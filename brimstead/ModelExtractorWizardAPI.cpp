#include "brimstead/ModelExtractorWizardAPI.h"

#include "shared/Errorbox.h"

#include "platform/base/CException.h"

CModelExtractorWizardAPI::CModelExtractorWizardAPI()
    : CWizardAPIBase(CModelExtractorAnalysisData::Kind) {}

CModelExtractorWizardAPI::~CModelExtractorWizardAPI() = default;

CModelExtractorWizardAPI* CModelExtractorWizardAPI::Instance() {
  return CWizardAPIInstance<CModelExtractorWizardAPI>::Get();
}

void CModelExtractorWizardAPI::Destroy() {
  CWizardAPIInstance<CModelExtractorWizardAPI>::Destroy(RegisterModelExtractorWizardAPI);
}

CModelExtractorWizardAPI* CModelExtractorWizardAPI::Create() {
  return CWizardAPIInstance<CModelExtractorWizardAPI>::Create(RegisterModelExtractorWizardAPI);
}

CModelExtractorAnalysisData& CModelExtractorWizardAPI::Data() { return Required(GetModelExtractorAnalysisData()); }

void CModelExtractorWizardAPI::ResetRecordToDefaults() {
  // The enabled-port list points into the record's port lists, which the reset replaces.
  m_EnabledPorts.clear();
  if (CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData()) {
    *record = CModelExtractorAnalysisData();
    record->m_nAnalysisType = AnalysisDistributed;
  }
}

bool CModelExtractorWizardAPI::Close() {
  if (m_bModeless && m_pDialog) {
    DestroyDialog();
    return true;
  }
  if (m_pDialog && m_pDialog->HasBoardMarks())
    m_pDialog->ClearBoardMarks();
  return false;
}

bool CModelExtractorWizardAPI::UseLastConfiguration(const char* path) {
  return ClickUseLastConfiguration(path, m_PathBuffer);
}

bool CModelExtractorWizardAPI::SetOutputFileName(const char* name) {
  m_KeptOutputFileName = name ? name : "";
  return !m_KeptOutputFileName.IsEmpty();
}

bool CModelExtractorWizardAPI::Run() {
  CAnalysisData& record = Rec();
  record.TakeBackSettingsCopyBuffer();
  if (!m_KeptOutputFileName.IsEmpty()) {
    record.m_nAutoGenerateOutputFileName = 0;
    record.m_OutputFileName = m_KeptOutputFileName;
  }
  if (!WizardWindow())
    return false;
  return PostClick(m_pDialog->GetFinishButton());
}

bool CModelExtractorWizardAPI::CloseWizard() {
  Rec().TakeBackSettingsCopyBuffer();
  if (!WizardWindow())
    return false;
  return PostClick(m_pDialog->GetCancelButton());
}

int CModelExtractorWizardAPI::BuildEnabledPortList() {
  m_EnabledPorts.clear();
  CModelExtractorAnalysisData& record = Data();
  for (int i = 0; i < record.m_SupplyPorts.GetSize(); ++i)
    if (record.m_SupplyPorts[i].m_bEnabled)
      m_EnabledPorts.push_back(&record.m_SupplyPorts[i]);
  for (int i = 0; i < record.m_ViaPorts.GetSize(); ++i)
    if (record.m_ViaPorts[i].m_bEnabled)
      m_EnabledPorts.push_back(&record.m_ViaPorts[i]);
  return static_cast<int>(m_EnabledPorts.size());
}

CPortProbe* CModelExtractorWizardAPI::GetEnabledPort(int index) {
  if (index < 0 || index >= static_cast<int>(m_EnabledPorts.size()))
    AfxThrowInvalidArgException();
  return m_EnabledPorts[static_cast<size_t>(index)];
}

bool CModelExtractorWizardAPI::IsSelectNetActive() { return m_pDialog && m_pDialog->ActivePageHasSelection(); }

bool CModelExtractorWizardAPI::ActivePageUsesViewer() {
  return m_pDialog && m_pDialog->ActivePageTakesViewerPicks();
}

int CModelExtractorWizardAPI::FindViaPort(CHostProbeElement* identity) {
  CModelExtractorAnalysisData& record = Data();
  for (int i = record.m_ViaPorts.GetSize() - 1; i >= 0; --i) {
    CHostProbe* probe = record.m_ViaPorts[i].m_pHostProbe;
    if (probe && probe->GetElement() == identity)
      return i;
  }
  return -1;
}

bool CModelExtractorWizardAPI::SetViaPortEnabled(CHostProbeElement* identity, bool enabled) {
  const int port = FindViaPort(identity);
  if (port < 0)
    return false;
  Data().m_ViaPorts[port].m_bEnabled = enabled ? 1 : 0;
  if (!m_pDialog)
    return false;
  m_pDialog->RefreshActivePage();
  // Whatever page is active, the via's marks follow its port.
  if (m_pDialog)
    m_pDialog->OnViaPortSwitched(port);
  return true;
}

bool CModelExtractorWizardAPI::IsViaPortEnabled(CHostProbeElement* identity) {
  const int port = FindViaPort(identity);
  return port >= 0 && Data().m_ViaPorts[port].m_bEnabled;
}

bool CModelExtractorWizardAPI::OnViewerSelectionChanged() {
  Data().CollectProbes();
  m_EnabledPorts.clear();   // the ports were rebuilt
  return m_pDialog ? m_pDialog->RefreshActivePage() : true;
}

bool CModelExtractorWizardAPI::SetSelectedNet(CHostNet* net) {
  CModelExtractorAnalysisData& record = Data();
  record.m_pSelectedNet = net;
  record.CollectProbes();
  m_EnabledPorts.clear();
  return m_pDialog ? m_pDialog->NotifyActivePageNetChanged() : true;
}

double CModelExtractorWizardAPI::GetNormalImpedance() { return Data().m_dNormalImpedance; }

const char* CModelExtractorWizardAPI::QueryFirstNet() { FatalErrorReport(__DATE__, __FILE__, __LINE__); }
const char* CModelExtractorWizardAPI::QuerySecondNet() { FatalErrorReport(__DATE__, __FILE__, __LINE__); }
