#include "brimstead/wizards/DWAnalysisSettingsPage.h"

#include "brimstead/AnalysisData.h"
#include "platform/framework/CDataExchange.h"

BEGIN_MESSAGE_MAP(CDWAnalysisSettingsPage, CDWPage)
  ON_BN_CLICKED(IDC_EASY, OnMode)
  ON_BN_CLICKED(IDC_CUSTOM, OnMode)
END_MESSAGE_MAP()

CDWAnalysisSettingsPage::CDWAnalysisSettingsPage() : CDWPage(IDD) {}

void CDWAnalysisSettingsPage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_EASY, m_nMode);
}

BOOL CDWAnalysisSettingsPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  MakeCaptionsBold({IDC_EASY, IDC_CUSTOM});
  return TRUE;
}

BOOL CDWAnalysisSettingsPage::OnSetActive() {
  m_nMode = Custom() ? 1 : 0;
  UpdateData(FALSE);
  return CDWPage::OnSetActive();
}

void CDWAnalysisSettingsPage::OnMode() {
  UpdateData(TRUE);
  Record().m_nMode = m_nMode != 0 ? 1 : 0;
  UpdateOwnerButtons();
}
