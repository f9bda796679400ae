#include "platform/framework/CDialog.h"

#include "platform/base/ResourceTable.h"
#include "platform/framework/DialogManager.h"
#include "platform/framework/WindowMap.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd && plat::WindowMap::Instance().Permanent(m_hWnd) == this) DestroyWindow();
}

const DialogTemplate* CDialog::FindTemplate() const {
  if (m_lpDialogTemplate) return m_lpDialogTemplate;
  return m_lpszTemplateName ? plat::FindDialogTemplate(m_lpszTemplateName) : nullptr;
}

INT_PTR CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
  // The framework procedure sees every message first; the dialog procedure only turns WM_INITDIALOG into
  // OnInitDialog, whose answer decides the initial focus.
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
  return dialog ? dialog->OnInitDialog() : TRUE;
}

BOOL CDialog::CreateDlgIndirect(const DialogTemplate* tmpl, CWnd* pParentWnd) {
  if (!tmpl || m_hWnd) return FALSE;
  plat::RegisterDialogClass();
  HWND parent = HwndOf(pParentWnd);
  if (!parent && !(tmpl->style & WS_CHILD)) parent = HwndOf(AfxGetMainWnd());
  HINSTANCE instance = m_lpszTemplateName ? AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG) : AfxGetInstanceHandle();
  HWND hwnd;
  {
    plat::CreationHook hook(this);
    hwnd = ::CreateDialogIndirectParam(instance, tmpl, parent, &DialogProc, 0);
  }
  if (!hwnd) {
    // A dialog that failed half-way may still be bound to this object.
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd); }

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
    m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
  if (pParentWnd) m_pParentWnd = pParentWnd;
  return CreateDlgIndirect(FindTemplate(), pParentWnd);
}

BOOL CDialog::CreateIndirect(const DialogTemplate* lpDialogTemplate, CWnd* pParentWnd) {
  m_lpDialogTemplate = lpDialogTemplate;
  return CreateDlgIndirect(lpDialogTemplate, pParentWnd);
}

BOOL CDialog::InitModalIndirect(const DialogTemplate* lpDialogTemplate, CWnd* pParentWnd) {
  m_lpDialogTemplate = lpDialogTemplate;
  if (pParentWnd) m_pParentWnd = pParentWnd;
  return lpDialogTemplate != nullptr;
}

HWND CDialog::PreModal() {
  HWND parent = HwndOf(m_pParentWnd);
  if (!parent) parent = HwndOf(AfxGetMainWnd());
  return parent && ::IsWindow(parent) ? ::GetTopLevelParent(parent) : nullptr;
}

INT_PTR CDialog::DoModal() {
  const DialogTemplate* tmpl = FindTemplate();
  if (!tmpl || m_hWnd) return -1;
  HWND owner = PreModal();
  const bool enableOwner = owner && ::IsWindowEnabled(owner);
  if (enableOwner) ::EnableWindow(owner, FALSE);

  m_nModalResult = -1;
  m_bContinueModal = TRUE;
  m_bInModal = TRUE;
  if (CreateDlgIndirect(tmpl, CWnd::FromHandle(owner)) && m_bContinueModal && ::IsWindow(m_hWnd)) {
    if (!IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);
    RunModalLoop();
  }
  m_bInModal = FALSE;
  // The owner comes back before the dialog goes, so that activation returns to it.
  if (enableOwner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (m_hWnd) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (owner && ::IsWindow(owner) && ::GetActiveWindow() == nullptr) ::SetActiveWindow(owner);
    DestroyWindow();
  }
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  if (m_bInModal || m_bContinueModal) EndModalLoop(nResult);
  if (m_hWnd) ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
  if (!UpdateData(FALSE)) {
    EndDialog(-1);
    return FALSE;
  }
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(HwndOf(pWndCtrl)), 1);
}
void CDialog::SetDefID(UINT nID) { ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0); }
DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0)); }
void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  const UINT m = pMsg->message;
  const bool input = (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST);
  if (!input || !m_hWnd) return FALSE;
  return ::IsDialogMessage(m_hWnd, pMsg);
}
