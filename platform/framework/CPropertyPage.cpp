#include "platform/framework/CPropertyPage.h"

#include <algorithm>

#include "platform/base/ResourceTable.h"
#include "platform/framework/DialogManager.h"
#include "platform/framework/WindowMap.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

// ---- CPropertyPage --------------------------------------------------------------------------------------------

CPropertyPage::CPropertyPage() = default;

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate) {
  if (nIDCaption) m_strCaption.LoadString(nIDCaption);
  m_psp.pszTitle = m_strCaption.IsEmpty() ? nullptr : m_strCaption.GetString();
}

UINT CPropertyPage::TemplateId() const {
  return IS_INTRESOURCE(m_lpszTemplateName) ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(m_lpszTemplateName)) : 0;
}

BOOL CPropertyPage::OnSetActive() {
  // The first activation follows OnInitDialog, which has just filled the controls.
  if (m_bFirstSetActive)
    m_bFirstSetActive = FALSE;
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
BOOL CPropertyPage::OnWizardFinish() { return TRUE; }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}
void CPropertyPage::OnReset() {}
// A page does not end anything by itself: the sheet (or the module's frame) decides.
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() { OnReset(); }
void CPropertyPage::SetModified(BOOL bChanged) { m_bModified = bChanged; }
void CPropertyPage::CancelToClose() {}

// ---- CPropertySheet -------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
  ON_MESSAGE(PSM_SETWIZBUTTONS, OnSetWizButtons)
  ON_MESSAGE(PSM_PRESSBUTTON, OnPressButton)
  ON_MESSAGE(PSM_SETCURSEL, OnSetCurSel)
  ON_MESSAGE(PSM_SETFINISHTEXT, OnSetFinishText)
END_MESSAGE_MAP()

namespace {

constexpr int kIdHelpButton = IDHELP;
constexpr short kButtonW = 50, kButtonH = 14, kGap = 4, kMargin = 7;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP;

INT_PTR SheetDialogProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* sheet = dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(hwnd));
  if (sheet) sheet->SetActivePage(static_cast<int>(sheet->m_psh.nStartPage));
  return FALSE;  // the page's activation placed the focus
}

}  // namespace

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_caption(pszCaption ? pszCaption : ""), m_pParentWnd(pParentWnd) {
  m_psh.nStartPage = iSelectPage;
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) : m_pParentWnd(pParentWnd) {
  m_caption.LoadString(nIDCaption);
  m_psh.nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet() {
  if (m_hWnd && plat::WindowMap::Instance().Permanent(m_hWnd) == this) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  if (pPage && GetPageIndex(pPage) < 0) m_pages.push_back(pPage);
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

void CPropertySheet::RemovePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return;
  CPropertyPage* page = m_pages[static_cast<std::size_t>(nPage)];
  if (page->m_hWnd) page->DestroyWindow();
  m_pages.erase(m_pages.begin() + nPage);
  if (m_active == nPage) {
    m_active = -1;
    if (m_hWnd && !m_pages.empty()) Activate(std::min(nPage, GetPageCount() - 1));
  } else if (m_active > nPage) {
    --m_active;
  }
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
  return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<std::size_t>(nPage)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(m_active); }

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
  auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
  return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

int CPropertySheet::IndexOfTemplate(UINT id) const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (m_pages[static_cast<std::size_t>(i)]->TemplateId() == id) return i;
  return -1;
}

BOOL CPropertySheet::SetActivePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
  if (!m_hWnd) {
    m_psh.nStartPage = static_cast<UINT>(nPage);
    return TRUE;
  }
  return Activate(nPage);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }

void CPropertySheet::SetTitle(LPCSTR lpszText, UINT) {
  m_caption = lpszText ? lpszText : "";
  if (m_hWnd) SetWindowText(m_caption);
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags) {
  if (m_hWnd)
    SendMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
  else
    m_wizButtons = dwFlags;
}

void CPropertySheet::SetFinishText(LPCSTR lpszText) {
  if (m_hWnd)
    SendMessage(PSM_SETFINISHTEXT, 0, reinterpret_cast<LPARAM>(lpszText));
  else
    m_finishText = lpszText ? lpszText : "";
}

void CPropertySheet::PressButton(int nButton) { SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0); }

void CPropertySheet::EndDialog(int nEndID) { EndModalLoop(nEndID); }

bool CPropertySheet::Activate(int index) {
  CPropertyPage* page = GetPage(index);
  if (!page) return false;
  if (!page->m_hWnd) {
    if (!page->Create(page->m_lpszTemplateName, this)) return false;
    // The page joins the sheet's keyboard navigation and fills the page area.
    page->ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    // First among the sheet's children, so that Tab visits the page before the buttons.
    page->SetWindowPos(nullptr, m_pageArea.left, m_pageArea.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  }
  CPropertyPage* old = GetActivePage();
  const int previous = m_active;
  m_active = index;
  if (!page->OnSetActive()) {
    m_active = previous;
    return false;
  }
  if (!::IsWindow(m_hWnd)) return false;
  if (old && old != page && old->m_hWnd) old->ShowWindow(SW_HIDE);
  page->ShowWindow(SW_SHOW);
  ShowButtons();
  if (HWND first = ::GetNextDlgTabItem(page->m_hWnd, nullptr, FALSE))
    plat::DialogSetFocus(m_hWnd, first);
  else
    ::SetFocus(GetDlgItem(ID_WIZNEXT)->GetSafeHwnd());
  return true;
}

void CPropertySheet::ShowButtons() {
  if (!m_hWnd) return;
  const bool finish = (m_wizButtons & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
  auto set = [&](int id, bool visible, bool enabled) {
    if (HWND b = ::GetDlgItem(m_hWnd, id)) {
      ::ShowWindow(b, visible ? SW_SHOWNA : SW_HIDE);
      ::EnableWindow(b, enabled);
    }
  };
  set(ID_WIZBACK, true, (m_wizButtons & PSWIZB_BACK) != 0);
  set(ID_WIZNEXT, !finish, (m_wizButtons & PSWIZB_NEXT) != 0);
  set(ID_WIZFINISH, finish, (m_wizButtons & PSWIZB_FINISH) != 0);
  CPropertyPage* page = GetActivePage();
  const bool help = (m_psh.dwFlags & PSH_HASHELP) != 0;
  set(kIdHelpButton, help, help && page && (page->m_psp.dwFlags & PSP_HASHELP));
  ::SendMessage(m_hWnd, DM_SETDEFID, finish ? ID_WIZFINISH : ID_WIZNEXT, 0);
  // The focus may not stay on a button that has just been hidden or disabled.
  HWND focus = ::GetFocus();
  if (focus && ::IsChild(m_hWnd, focus) && !::IsWindowEnabled(focus)) {
    if (HWND next = ::GetDlgItem(m_hWnd, finish ? ID_WIZFINISH : ID_WIZNEXT); next && ::IsWindowEnabled(next))
      plat::DialogSetFocus(m_hWnd, next);
  }
}

LRESULT CPropertySheet::OnSetWizButtons(WPARAM, LPARAM lParam) {
  m_wizButtons = static_cast<DWORD>(lParam);
  ShowButtons();
  return 0;
}

LRESULT CPropertySheet::OnPressButton(WPARAM wParam, LPARAM) {
  switch (static_cast<int>(wParam)) {
    case PSBTN_BACK: Back(); break;
    case PSBTN_NEXT: Next(); break;
    case PSBTN_FINISH:
    case PSBTN_OK: Finish(); break;
    case PSBTN_CANCEL: Cancel(); break;
    case PSBTN_HELP: Help(); break;
    default: break;
  }
  return 0;
}

LRESULT CPropertySheet::OnSetCurSel(WPARAM wParam, LPARAM lParam) {
  int index = lParam ? GetPageIndex(reinterpret_cast<CPropertyPage*>(lParam)) : static_cast<int>(wParam);
  return Activate(index) ? TRUE : FALSE;
}

LRESULT CPropertySheet::OnSetFinishText(WPARAM, LPARAM lParam) {
  m_finishText = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
  if (HWND b = ::GetDlgItem(m_hWnd, ID_WIZFINISH)) ::SetWindowText(b, m_finishText);
  m_wizButtons = (m_wizButtons & ~PSWIZB_DISABLEDFINISH) | PSWIZB_FINISH;
  ShowButtons();
  return 0;
}

void CPropertySheet::Next() {
  CPropertyPage* page = GetActivePage();
  if (!page) return;
  LRESULT target = page->OnWizardNext();
  if (target == -1) return;
  int index = target == 0 ? m_active + 1 : IndexOfTemplate(static_cast<UINT>(target));
  if (index < 0 || index >= GetPageCount()) return;
  if (!page->OnKillActive()) return;  // the page keeps the focus on its refused control
  Activate(index);
}

void CPropertySheet::Back() {
  CPropertyPage* page = GetActivePage();
  if (!page) return;
  LRESULT target = page->OnWizardBack();
  if (target == -1) return;
  int index = target == 0 ? m_active - 1 : IndexOfTemplate(static_cast<UINT>(target));
  if (index < 0 || index >= GetPageCount()) return;
  Activate(index);
}

void CPropertySheet::Finish() {
  CPropertyPage* page = GetActivePage();
  if (page && !page->OnKillActive()) return;
  if (page && !page->OnWizardFinish()) return;
  EndDialog(ID_WIZFINISH);
}

void CPropertySheet::Cancel() {
  CPropertyPage* page = GetActivePage();
  if (page && !page->OnQueryCancel()) return;
  if (page) page->OnCancel();
  EndDialog(IDCANCEL);
}

void CPropertySheet::Help() {
  CPropertyPage* page = GetActivePage();
  if (page && page->m_hWnd && (page->m_psp.dwFlags & PSP_HASHELP)) page->SendMessage(WM_COMMAND, ID_HELP, 0);
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (code == BN_CLICKED) {
    switch (id) {
      case ID_WIZBACK: Back(); return TRUE;
      case ID_WIZNEXT: Next(); return TRUE;
      case ID_WIZFINISH: Finish(); return TRUE;
      case IDCANCEL: Cancel(); return TRUE;
      case kIdHelpButton: Help(); return TRUE;
      case IDOK:  // Enter without a default button: whatever the wizard offers
        if (m_wizButtons & PSWIZB_FINISH)
          Finish();
        else if (m_wizButtons & PSWIZB_NEXT)
          Next();
        return TRUE;
      default: break;
    }
  }
  return CWnd::OnCommand(wParam, lParam);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
  const UINT m = pMsg->message;
  const bool input = (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST);
  return input && m_hWnd && ::IsDialogMessage(m_hWnd, pMsg);
}

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd || m_pages.empty()) return -1;
  // The sheet's size: the largest page above a row of buttons, all in dialog units.
  short pageCx = 0, pageCy = 0;
  for (CPropertyPage* page : m_pages) {
    const DialogTemplate* t = page->FindTemplate();
    if (!t) return -1;
    pageCx = std::max(pageCx, t->cx);
    pageCy = std::max(pageCy, t->cy);
  }
  const bool help = (m_psh.dwFlags & PSH_HASHELP) != 0;
  const short buttons = help ? 4 : 3;
  const short rowW = static_cast<short>(buttons * kButtonW + (buttons - 1) * kGap + kGap);
  const short cx = std::max<short>(pageCx, static_cast<short>(rowW + 2 * kMargin));
  const short rowY = static_cast<short>(pageCy + kMargin);
  const short cy = static_cast<short>(rowY + kButtonH + kMargin);
  short x = static_cast<short>(cx - kMargin - rowW);
  m_items.clear();
  m_items.push_back({"BUTTON", "< &Back", ID_WIZBACK, kButton | BS_PUSHBUTTON, 0, x, rowY, kButtonW, kButtonH});
  x = static_cast<short>(x + kButtonW);
  m_items.push_back({"BUTTON", "&Next >", ID_WIZNEXT, kButton | BS_DEFPUSHBUTTON, 0, x, rowY, kButtonW, kButtonH});
  m_items.push_back({"BUTTON", m_finishText.IsEmpty() ? "Finish" : m_finishText.GetString(), ID_WIZFINISH,
                     WS_TABSTOP | BS_PUSHBUTTON, 0, x, rowY, kButtonW, kButtonH});
  x = static_cast<short>(x + kButtonW + 2 * kGap);
  m_items.push_back({"BUTTON", "Cancel", IDCANCEL, kButton | BS_PUSHBUTTON, 0, x, rowY, kButtonW, kButtonH});
  if (help) {
    x = static_cast<short>(x + kButtonW + kGap);
    m_items.push_back({"BUTTON", "Help", kIdHelpButton, kButton | BS_PUSHBUTTON, 0, x, rowY, kButtonW, kButtonH});
  }
  m_template = DialogTemplate{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                              WS_EX_CONTROLPARENT, 0, 0, cx, cy, m_caption, "MS Shell Dlg", 8, m_items};
  m_pageArea = CRect(0, 0, 0, 0);

  HWND owner = HwndOf(m_pParentWnd);
  if (!owner) owner = HwndOf(AfxGetMainWnd());
  if (owner) owner = ::GetTopLevelParent(owner);
  const bool enableOwner = owner && ::IsWindowEnabled(owner);
  if (enableOwner) ::EnableWindow(owner, FALSE);
  for (CPropertyPage* page : m_pages) page->m_bFirstSetActive = TRUE;
  m_active = -1;
  m_nModalResult = IDCANCEL;
  plat::RegisterDialogClass();
  HWND hwnd;
  {
    plat::CreationHook hook(this);
    hwnd = ::CreateDialogIndirectParam(AfxGetInstanceHandle(), &m_template, owner, &SheetDialogProc, 0);
  }
  int result = -1;
  if (hwnd && m_active >= 0) {
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    result = RunModalLoop();
  }
  if (enableOwner && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (m_hWnd) DestroyWindow();
  return result;
}
