#include "brimstead/models/editor/CModelEditorPane.h"

#include "brimstead/models/editor/CModelEditor.h"
#include "brimstead/models/editor/ModelFileList.h"
#include "platform/gdi/CDC.h"
#include "shared/Misc_Program.h"

BEGIN_MESSAGE_MAP(CModelFilePaneDlg, CDialog)
  ON_WM_CTLCOLOR()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

int CModelFilePaneDlg::SelectedPath() const { return SelectedPathIndex(m_FileList, m_Paths); }

int CModelFilePaneDlg::SelectRecordedFile(const CString& fileName) {
  int entry = FindModelFileEntry(m_FileList, m_Paths, fileName);
  if (fileName.IsEmpty() && !m_Editor.Record().header.libraryModel && m_FileList.GetCount() > 0)
    entry = m_FileList.GetCount() > 1 ? 1 : 0;
  m_FileList.SetCurSel(entry);
  return entry;
}

CString CModelFilePaneDlg::SelectedFileName(const CString& recorded) const {
  const int selection = m_FileList.GetCurSel();
  if (selection < 0 || selection == FindModelFileEntry(m_FileList, m_Paths, recorded)) return recorded;
  CString name;
  m_FileList.GetText(selection, name);
  return name;
}

void CModelFilePaneDlg::ShowUnlistedFile(const CString& fileName) {
  const CString message = fileName.IsEmpty() ? CString() : UnlistedModelFileMessage(m_Editor.Directories(), fileName);
  if (message.IsEmpty())
    HideMessage();
  else
    ShowMessage(message);
}

void CModelFilePaneDlg::ViewSelectedFile(const char* program, const char* programName) {
  const int path = SelectedPath();
  if (path < 0) return;
  const CString arguments = "\"" + m_Paths[path] + "\"";
  StartExternalProgram(m_hWnd, program, RunningProgramDirectory(), arguments, nullptr, programName, false);
}

void CModelFilePaneDlg::PrepareMessage() { PrepareMessageLabel(*this, IDC_MESSAGE, m_BoldFont); }

void CModelFilePaneDlg::ShowMessage(const char* text) {
  if (CWnd* label = GetDlgItem(IDC_MESSAGE)) {
    label->SetWindowText(text);
    label->ShowWindow(SW_SHOW);
  }
}

void CModelFilePaneDlg::HideMessage() {
  if (CWnd* label = GetDlgItem(IDC_MESSAGE)) label->ShowWindow(SW_HIDE);
}

HBRUSH CModelFilePaneDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  if (pWnd && pWnd->GetDlgCtrlID() == IDC_MESSAGE) pDC->SetTextColor(RGB(255, 0, 0));
  return brush;
}

void CModelFilePaneDlg::OnDestroy() {
  ReleaseMessageLabel(*this, IDC_MESSAGE, m_BoldFont);
  CDialog::OnDestroy();
}
