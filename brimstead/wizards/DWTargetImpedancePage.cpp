#include "brimstead/wizards/DWTargetImpedancePage.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/SettingRanges.h"
#include "brimstead/wizards/TargetZWizard.h"
#include "platform/framework/CDataExchange.h"

BEGIN_MESSAGE_MAP(CDWTargetImpedancePage, CDWPage)
  ON_BN_CLICKED(IDC_CALCULATOR, OnCalculator)
END_MESSAGE_MAP()

CDWTargetImpedancePage::CDWTargetImpedancePage() : CDWPage(IDD) {}

void CDWTargetImpedancePage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  plat::DDX_TextAsShown(pDX, IDC_TARGET, m_dTarget);
  DDV_MinMaxDouble(pDX, m_dTarget, kTargetImpedanceRange.low, kTargetImpedanceRange.high);
}

BOOL CDWTargetImpedancePage::OnInitDialog() {
  CDWPage::OnInitDialog();
  SetDlgItemText(IDC_DESCRIPTION,
                 "Set a target value below which you want the PDN's decoupling impedance to be, across a wide range "
                 "of frequencies. This impedance will be shown for reference when the analysis results are "
                 "displayed.");
  return TRUE;
}

BOOL CDWTargetImpedancePage::OnSetActive() {
  m_dTarget = Record().m_dTargetImpedance * kTargetImpedanceRange.pageUnitsPerRecordUnit;
  UpdateData(FALSE);
  return CDWPage::OnSetActive();
}

bool CDWTargetImpedancePage::ValidateAndStore() {
  BeginValidation();
  if (!UpdateData(TRUE))
    return false;
  Record().m_dTargetImpedance = kTargetImpedanceRange.Stored(m_dTarget);
  SetValid();
  return true;
}

bool CDWTargetImpedancePage::AcceptsRecord() {
  return kTargetImpedanceRange.Accepts(Record().m_dTargetImpedance);
}

void CDWTargetImpedancePage::OnCalculator() {
  double ohms = 0.0;
  CTargetZWizard wizard;
  const bool finished = wizard.Run(ohms, this);
  if (!m_hWnd)
    return;
  // A cancelled calculator leaves the edit as the user left it: putting the last stored value back would throw
  // away a target typed before the calculator was opened.
  if (!finished)
    return;
  m_dTarget = ohms * 1000.0;
  UpdateData(FALSE);
}
