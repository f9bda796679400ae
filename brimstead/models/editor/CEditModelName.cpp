#include "brimstead/models/editor/CEditModelName.h"

#include "brimstead/models/editor/ModelEditorResources.h"
#include "brimstead/wizards/HandedText.h"
#include "brimstead/wizards/WizardResources.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CEdit.h"
#include "platform/framework/MessageBox.h"

IMPLEMENT_DYNAMIC(CEditModelName, CDialog)

CEditModelName::CEditModelName(const char* initialName, CWnd* parent)
    : CDialog(IDD, parent), m_Name(initialName ? initialName : "") {
  modeleditor::RegisterModelEditorResources();
}

INT_PTR CEditModelName::DoModal() {
  brimwiz::CModuleScope scope;
  return CDialog::DoModal();
}

BOOL CEditModelName::OnInitDialog() {
  CDialog::OnInitDialog();
  if (CWnd* edit = GetDlgItem(IDC_NAME)) edit->SendMessage(EM_LIMITTEXT, MaxNameLength, 0);
  return TRUE;
}

void CEditModelName::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_NAME, m_Name);
  DDV_MaxChars(pDX, m_Name, MaxNameLength);
}

void CEditModelName::OnOK() {
  if (!UpdateData(TRUE)) return;
  // Nor any other control character, which would reach the host's library raw.
  if (m_Name.FindOneOf(" \"") >= 0 || brimwiz::HoldsControlCharacter(m_Name)) {
    brimwiz::CModuleScope scope;
    AfxMessageBox("Model name contains invalid characters.", MB_ICONEXCLAMATION);
    return;
  }
  EndDialog(IDOK);
}
