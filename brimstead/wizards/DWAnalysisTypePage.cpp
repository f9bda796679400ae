#include "brimstead/wizards/DWAnalysisTypePage.h"

#include "brimstead/AnalysisData.h"
#include "platform/framework/CDataExchange.h"

BEGIN_MESSAGE_MAP(CDWAnalysisTypePage, CDWPage)
  ON_BN_CLICKED(IDC_QUICK, OnType)
  ON_BN_CLICKED(IDC_LUMPED, OnType)
  ON_BN_CLICKED(IDC_DISTRIBUTED, OnType)
END_MESSAGE_MAP()

CDWAnalysisTypePage::CDWAnalysisTypePage() : CDWPage(IDD) {}

CString CDWAnalysisTypePage::GetHeaderText() {
  return "Choose a Type of Analysis\r\nChoose one of the convinient pre-configured analysis types below.\"Lumped "
         "analysis\" is strongly recommented for your first analysis of any design, because it runs very fast.";
}

void CDWAnalysisTypePage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_QUICK, m_nType);
}

BOOL CDWAnalysisTypePage::OnInitDialog() {
  CDWPage::OnInitDialog();
  MakeCaptionsBold({IDC_QUICK, IDC_LUMPED, IDC_DISTRIBUTED});
  SetDlgItemText(IDC_QUICK_TEXT,
                 "Quickly analyze all decoupling capacitors on the board and generate a spreadsheet showing the "
                 "quality of each capacitor's mounting inductance, effective resonant frequency, and more. This fast "
                 "check can often be used to find poorly mounted capacitors and other significant decoupling "
                 "problems.");
  SetDlgItemText(IDC_LUMPED_TEXT,
                 "Recommended for your first analysis of any pair of nets, because it runs quickly and gives good "
                 "approximate results. Ignores the placement of the capacitors and the board outline, but includes "
                 "mounting parasitics and loss. If your decoupling network can't pass this test, there's no point in "
                 "running more-detailed analysis - you need to add more decoupling, reduce mounting inductance, or "
                 "make other changes first.");
  SetDlgItemText(IDC_DISTRIBUTED_TEXT,
                 "Recommended after your PDN passes the lumped test above. Accounts for the location of each "
                 "capacitor, inter-plane capacitance and inductance, and the board outline, as well as mounting "
                 "parasitics and loss. Runs an electromagnetic solver to include the detailed effects of arbitarily "
                 "shaped metal areas.");
  return TRUE;
}

BOOL CDWAnalysisTypePage::OnSetActive() {
  const int type = Record().m_nAnalysisType;
  // Any other type leaves the choice as it was.
  if (type >= AnalysisQuick && type <= AnalysisDistributed)
    m_nType = type - AnalysisQuick;
  UpdateData(FALSE);
  return CDWPage::OnSetActive();
}

void CDWAnalysisTypePage::OnType() {
  UpdateData(TRUE);
  if (m_nType >= 0 && m_nType <= 2)
    Record().m_nAnalysisType = AnalysisQuick + m_nType;
  UpdateOwnerButtons();
}
