#include "brimstead/BrimsteadAPI.h"

#include "platform/base/CException.h"

CBrimsteadAPI::CBrimsteadAPI() : CWizardAPIBase(CDecouplingAnalysisData::Kind) {}

CBrimsteadAPI::~CBrimsteadAPI() = default;

CBrimsteadAPI* CBrimsteadAPI::Instance() { return CWizardAPIInstance<CBrimsteadAPI>::Get(); }

void CBrimsteadAPI::Destroy() { CWizardAPIInstance<CBrimsteadAPI>::Destroy(RegisterBrimsteadAPI); }

CBrimsteadAPI* CBrimsteadAPI::Create() { return CWizardAPIInstance<CBrimsteadAPI>::Create(RegisterBrimsteadAPI); }

CDecouplingAnalysisData& CBrimsteadAPI::Data() { return Required(GetDecouplingAnalysisData()); }

void CBrimsteadAPI::ResetRecordToDefaults() {
  // The enabled-probe list points into the record's probes, which the reset replaces.
  m_EnabledProbes.clear();
  if (CDecouplingAnalysisData* record = GetDecouplingAnalysisData())
    *record = CDecouplingAnalysisData();
}

void CBrimsteadAPI::ResetOwnMembers() {
  m_PathBuffer[0] = '\0';
  // The kept output and DRC names stay, as the name list does.
}

bool CBrimsteadAPI::Close() {
  CloseWizardWindow();
  return false;
}

bool CBrimsteadAPI::UseLastConfiguration(const char* path) { return ClickUseLastConfiguration(path, m_PathBuffer); }

bool CBrimsteadAPI::SetOutputFileName(const char* name) {
  m_KeptOutputFileName = name ? name : "";
  return !m_KeptOutputFileName.IsEmpty();
}

bool CBrimsteadAPI::SetDRCReportFile(const char* name) {
  m_KeptDRCReportFile = name ? name : "";
  return !m_KeptDRCReportFile.IsEmpty();
}

bool CBrimsteadAPI::Run() {
  CAnalysisData& record = Rec();
  record.TakeBackSettingsCopyBuffer();
  if (!m_KeptOutputFileName.IsEmpty()) {
    record.m_nAutoGenerateOutputFileName = 0;
    record.m_OutputFileName = m_KeptOutputFileName;
  }
  // A relative name is a file of the project's folder, as the same name loaded from a settings file is.
  if (!m_KeptDRCReportFile.IsEmpty())
    record.m_DRCReportFile = record.ReportPathOfProject(m_KeptDRCReportFile);
  if (!WizardWindow())
    return false;
  return PostClick(m_pDialog->GetFinishButton());
}

bool CBrimsteadAPI::CloseWizard() {
  Rec().TakeBackSettingsCopyBuffer();
  if (!WizardWindow())
    return false;
  return PostClick(m_pDialog->GetCancelButton());
}

const char* CBrimsteadAPI::QueryFirstNet() {
  CHostNet* net = Data().m_pNet1;
  return net ? net->GetName() : nullptr;
}

const char* CBrimsteadAPI::QuerySecondNet() {
  CHostNet* net = Data().m_pNet2;
  return net ? net->GetName() : nullptr;
}

bool CBrimsteadAPI::GetIncludeAllNets() {
  return Rec().m_nAnalysisType == AnalysisDistributed || Simplified() || Rec().m_bIncludeAllNets;
}

bool CBrimsteadAPI::GetIncludeLowFreqConnections() {
  const CAnalysisData& record = Rec();
  if (record.m_nAnalysisType == AnalysisDistributed)
    return false;
  if (record.m_nAnalysisType == AnalysisQuick)
    return true;
  if (record.m_nMode == 0)
    return false;
  return record.m_bIncludeLowFreqConnections;
}

int CBrimsteadAPI::BuildEnabledProbeList() {
  m_EnabledProbes.clear();
  CDecouplingAnalysisData& record = Data();
  for (int i = 0; i < record.m_Probes.GetSize(); ++i)
    if (record.m_Probes[i].m_bEnabled)
      m_EnabledProbes.push_back(&record.m_Probes[i]);
  return static_cast<int>(m_EnabledProbes.size());
}

CDecouplingProbe* CBrimsteadAPI::GetEnabledProbe(int index) {
  if (index < 0 || index >= static_cast<int>(m_EnabledProbes.size()))
    AfxThrowInvalidArgException();
  return m_EnabledProbes[static_cast<size_t>(index)];
}

bool CBrimsteadAPI::OnViewerSelectionChanged() {
  Data().CollectProbes();
  // The probes were rebuilt: pointers into the old list must not be handed out again.
  m_EnabledProbes.clear();
  return m_pDialog ? m_pDialog->RefreshActivePage() : true;
}

void CBrimsteadAPI::GetNets(CHostNet** first, CHostNet** second) {
  CDecouplingAnalysisData& record = Data();
  if (first)
    *first = record.m_pNet1;
  if (second)
    *second = record.m_pNet2;
}

int CBrimsteadAPI::GetDRCReportMode() {
  const CAnalysisData& record = Rec();
  if (record.m_nAnalysisType != AnalysisQuick)
    return 0;
  return record.m_nDRCReportMode == DRCReportXLS || record.m_nDRCReportMode == DRCReportCSV ? record.m_nDRCReportMode
                                                                                          : 0;
}

const char* CBrimsteadAPI::GetDRCReportFile() {
  if (GetDRCReportMode() == 0)
    return nullptr;
  return Rec().m_DRCReportFile;
}
