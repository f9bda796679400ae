#include "brimstead/wizards/TargetZWizard.h"

#include "platform/framework/CDataExchange.h"
#include "shared/Misc_Help.h"

namespace {
constexpr const char* kHelpDocument = "duskmoor_useref";
}  // namespace

bool CTargetZWizard::Run(double& result, CWnd* parent) {
  m_dCurrent = 1.0;
  m_dVoltage = 1.8;
  m_dRipple = 5.0;
  CTargetZCurrentPage current(&m_dCurrent);
  CTargetZSupplyPage supply(&m_dVoltage, &m_dRipple);
  CTargetZFinishPage finish(*this, &result);
  CPropertySheet sheet("Target-Z Wizard", parent, 0);
  sheet.AddPage(&current);
  sheet.AddPage(&supply);
  sheet.AddPage(&finish);
  sheet.SetWizardMode();
  sheet.m_psh.dwFlags |= PSH_HASHELP;
  return sheet.DoModal() == ID_WIZFINISH;
}

// ---- Page base --------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTargetZPage, CPropertyPage)
  ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CTargetZPage::CTargetZPage(UINT templateId, LPCSTR caption, int helpTopic, DWORD buttons)
    : CPropertyPage(templateId), m_nHelpTopic(helpTopic), m_nButtons(buttons) {
  m_strCaption = caption;
  m_psp.pszTitle = m_strCaption;
  m_psp.dwFlags |= PSP_HASHELP;
}

BOOL CTargetZPage::OnSetActive() {
  if (CWnd* sheet = GetParent()) {
    sheet->SetWindowText(m_strCaption);
    sheet->PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(m_nButtons));
  }
  return CPropertyPage::OnSetActive();
}

void CTargetZPage::OnHelp() { ShowHelpTopic(m_hWnd, kHelpDocument, 1, m_nHelpTopic); }

// ---- Peak transient current -------------------------------------------------------------------------------

CTargetZCurrentPage::CTargetZCurrentPage(double* current)
    : CTargetZPage(IDD, "Target-Z Wizard - Specify Peak Transient Current", 291, PSWIZB_NEXT), m_pCurrent(current) {}

void CTargetZCurrentPage::DoDataExchange(CDataExchange* pDX) {
  CTargetZPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_CURRENT, m_dCurrent);
  DDV_MinMaxDouble(pDX, m_dCurrent, 1e-6, 100.0);
}

BOOL CTargetZCurrentPage::OnInitDialog() {
  CTargetZPage::OnInitDialog();
  SetDlgItemText(IDC_DESCRIPTION,
                 "For the power net being analyzed, specify the approximate peak transient current that you expect "
                 "the ICs to consume. If you have multiple ICs that consume large amounts of current, use the value "
                 "for the IC with the biggest current demand; if you expect multiple ICs to switch simultaneously, "
                 "sum their peak currents. If an ICs peak current differs for core and I/O switching, use the larger "
                 "of the two.");
  return TRUE;
}

BOOL CTargetZCurrentPage::OnSetActive() {
  m_dCurrent = *m_pCurrent;
  UpdateData(FALSE);
  return CTargetZPage::OnSetActive();
}

BOOL CTargetZCurrentPage::OnKillActive() {
  if (!CTargetZPage::OnKillActive())
    return FALSE;
  *m_pCurrent = m_dCurrent;
  return TRUE;
}

// ---- Supply voltage and ripple ----------------------------------------------------------------------------

CTargetZSupplyPage::CTargetZSupplyPage(double* voltage, double* ripple)
    : CTargetZPage(IDD, "Target-Z Wizard - Specify Supply Voltage and Max Ripple", 292, PSWIZB_BACK | PSWIZB_NEXT),
      m_pVoltage(voltage),
      m_pRipple(ripple) {}

void CTargetZSupplyPage::DoDataExchange(CDataExchange* pDX) {
  CTargetZPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_VOLTAGE, m_dVoltage);
  DDV_MinMaxDouble(pDX, m_dVoltage, 0.1, 100.0);
  DDX_Text(pDX, IDC_RIPPLE, m_dRipple);
  DDV_MinMaxDouble(pDX, m_dRipple, 0.1, 100.0);
}

BOOL CTargetZSupplyPage::OnSetActive() {
  m_dVoltage = *m_pVoltage;
  m_dRipple = *m_pRipple;
  UpdateData(FALSE);
  return CTargetZPage::OnSetActive();
}

BOOL CTargetZSupplyPage::OnKillActive() {
  if (!CTargetZPage::OnKillActive())
    return FALSE;
  *m_pVoltage = m_dVoltage;
  *m_pRipple = m_dRipple;
  return TRUE;
}

// ---- Result -----------------------------------------------------------------------------------------------

CTargetZFinishPage::CTargetZFinishPage(const CTargetZWizard& run, double* result)
    : CTargetZPage(IDD, "Target-Z Wizard - Finish", 293, PSWIZB_BACK | PSWIZB_FINISH), m_Run(run), m_pResult(result) {}

void CTargetZFinishPage::DoDataExchange(CDataExchange* pDX) {
  CTargetZPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_RESULT, m_Result);
}

BOOL CTargetZFinishPage::OnSetActive() {
  // 1. Z = V x ripple x 0.01 / I, in ohms; 2. into the caller's result at once; 3. shown in milliohms.
  const double ohms = m_Run.m_dVoltage * m_Run.m_dRipple * 0.01 / m_Run.m_dCurrent;
  *m_pResult = ohms;
  m_Result.Format("%.4g", ohms * 1000.0);
  UpdateData(FALSE);
  return CTargetZPage::OnSetActive();
}
