#include "brimstead/wizards/ViaModelTypePages.h"

#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/SettingRanges.h"
#include "platform/framework/CDataExchange.h"

BEGIN_MESSAGE_MAP(CDVModelTypePage, CDWPage)
  ON_BN_CLICKED(IDC_STANDARD, OnTypeClicked)
  ON_BN_CLICKED(IDC_DIFFERENTIAL, OnTypeClicked)
  ON_BN_CLICKED(IDC_COMMON, OnTypeClicked)
END_MESSAGE_MAP()

CDVModelTypePage::CDVModelTypePage() : CDWPage(IDD) {}

BOOL CDVModelTypePage::OnInitDialog() {
  CDWPage::OnInitDialog();
  m_nModelType = 0;
  SetDlgItemText(IDC_TYPE_TEXT,
                 "Choose the type of model to extract. A \"standard\" model is the most versatile; it contains 4 "
                 "connection ports and information about both differential and common modes. You can also extract "
                 "differential- and common-mode-only 2-port models.");
  return TRUE;
}

void CDVModelTypePage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_STANDARD, m_nModelType);
  plat::DDX_TextAsShown(pDX, IDC_IMPEDANCE, m_dImpedance);
  DDV_MinMaxDouble(pDX, m_dImpedance, kNormalImpedanceRange.low, kNormalImpedanceRange.high);
}

BOOL CDVModelTypePage::OnSetActive() {
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  if (record) {
    const bool pair = record->m_bDiffViaType;
    if (pair) {
      const bool differential = record->m_bExportDifferentialMode, common = record->m_bExportCommonMode;
      m_nModelType = differential && !common ? 1 : (common && !differential ? 2 : 0);
    }
    for (int id = IDC_TYPE_TEXT; id <= IDC_COMMON; ++id)
      ShowControl(id, pair);
    m_dImpedance = record->m_dNormalImpedance;
  }
  UpdateData(FALSE);
  return CDWPage::OnSetActive();
}

void CDVModelTypePage::OnTypeClicked() { UpdateData(TRUE); }

bool CDVModelTypePage::ValidateAndStore() {
  BeginValidation();
  const bool moved = UpdateData(TRUE) != FALSE;
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  if (!record)
    return false;
  // The model type is stored even when the impedance was refused.
  if (record->m_bDiffViaType) {
    record->m_bExportDifferentialMode = m_nModelType == 1;
    record->m_bExportCommonMode = m_nModelType == 2;
  }
  if (!moved)
    return false;
  record->m_dNormalImpedance = kNormalImpedanceRange.Stored(m_dImpedance);
  SetValid();
  return true;
}

bool CDVModelTypePage::AcceptsRecord() {
  const CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  return !record || kNormalImpedanceRange.Accepts(record->m_dNormalImpedance);
}

CMENormImpedancePage::CMENormImpedancePage() : CDWPage(IDD) {}

void CMENormImpedancePage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  plat::DDX_TextAsShown(pDX, IDC_IMPEDANCE, m_dImpedance);
  DDV_MinMaxDouble(pDX, m_dImpedance, kNormalImpedanceRange.low, kNormalImpedanceRange.high);
}

BOOL CMENormImpedancePage::OnSetActive() {
  if (CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData())
    m_dImpedance = record->m_dNormalImpedance;
  UpdateData(FALSE);
  return CDWPage::OnSetActive();
}

bool CMENormImpedancePage::ValidateAndStore() {
  BeginValidation();
  if (!UpdateData(TRUE))
    return false;
  if (CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData())
    record->m_dNormalImpedance = kNormalImpedanceRange.Stored(m_dImpedance);
  SetValid();
  return true;
}

bool CMENormImpedancePage::AcceptsRecord() {
  const CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  return !record || kNormalImpedanceRange.Accepts(record->m_dNormalImpedance);
}
