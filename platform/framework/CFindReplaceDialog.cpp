#include "platform/framework/CFindReplaceDialog.h"

#include <cstdio>
#include <initializer_list>
#include <string>

#include "platform/base/ResourceTable.h"
#include "platform/controls/Button.h"
#include "platform/window/AutomationProvider.h"

IMPLEMENT_DYNAMIC(CFindReplaceDialog, CDialog)

namespace {

constexpr UINT kAsk = WM_APP + 0x3F0;  // private: ask the provider for the next user action

// The control ids of the classic find and replace templates.
constexpr int kReplaceOne = 0x400, kReplaceEvery = 0x401, kWholeWord = 0x410, kMatchCase = 0x411, kUp = 0x420,
              kDown = 0x421, kDirection = 0x430, kFindWhat = 0x480, kReplaceWith = 0x481;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kField = kTab | WS_GROUP | WS_BORDER | ES_AUTOHSCROLL;

const DialogItemTemplate kFindItems[] = {
    {WC_STATIC, "Fi&nd what:", IDC_STATIC, WS_VISIBLE | SS_LEFT, 0, 4, 8, 42, 8},
    {WC_EDIT, "", kFindWhat, kField, 0, 47, 7, 128, 12},
    {WC_BUTTON, "Match &whole word only", kWholeWord, kTab | WS_GROUP | BS_AUTOCHECKBOX, 0, 4, 26, 100, 12},
    {WC_BUTTON, "Match &case", kMatchCase, kTab | WS_GROUP | BS_AUTOCHECKBOX, 0, 4, 42, 64, 12},
    {WC_BUTTON, "Direction", kDirection, WS_VISIBLE | WS_GROUP | BS_GROUPBOX, 0, 107, 26, 68, 28},
    {WC_BUTTON, "&Up", kUp, kTab | WS_GROUP | BS_AUTORADIOBUTTON, 0, 111, 38, 25, 12},
    {WC_BUTTON, "&Down", kDown, WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 138, 38, 35, 12},
    {WC_BUTTON, "&Find Next", IDOK, kTab | WS_GROUP | BS_DEFPUSHBUTTON, 0, 182, 5, 50, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, kTab | BS_PUSHBUTTON, 0, 182, 23, 50, 14},
};
const DialogItemTemplate kReplaceItems[] = {
    {WC_STATIC, "Fi&nd what:", IDC_STATIC, WS_VISIBLE | SS_LEFT, 0, 4, 9, 48, 8},
    {WC_EDIT, "", kFindWhat, kField, 0, 54, 7, 114, 12},
    {WC_STATIC, "Re&place with:", IDC_STATIC, WS_VISIBLE | SS_LEFT, 0, 4, 26, 48, 8},
    {WC_EDIT, "", kReplaceWith, kField, 0, 54, 24, 114, 12},
    {WC_BUTTON, "Match &whole word only", kWholeWord, kTab | WS_GROUP | BS_AUTOCHECKBOX, 0, 5, 46, 104, 12},
    {WC_BUTTON, "Match &case", kMatchCase, kTab | WS_GROUP | BS_AUTOCHECKBOX, 0, 5, 62, 59, 12},
    {WC_BUTTON, "&Find Next", IDOK, kTab | WS_GROUP | BS_DEFPUSHBUTTON, 0, 174, 4, 50, 14},
    {WC_BUTTON, "&Replace", kReplaceOne, kTab | BS_PUSHBUTTON, 0, 174, 21, 50, 14},
    {WC_BUTTON, "Replace &All", kReplaceEvery, kTab | BS_PUSHBUTTON, 0, 174, 38, 50, 14},
    {WC_BUTTON, "Cancel", IDCANCEL, kTab | BS_PUSHBUTTON, 0, 174, 55, 50, 14},
};

const DialogTemplate kFindTemplate{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                   0, 0, 0, 236, 62, "Find", "MS Shell Dlg", 8, kFindItems};
const DialogTemplate kReplaceTemplate{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                      0, 0, 0, 230, 94, "Replace", "MS Shell Dlg", 8, kReplaceItems};

// Hides (FR_HIDE*) or disables (FR_NO*) an option's controls.
void ApplyOptionFlags(HWND dialog, DWORD flags, DWORD hide, DWORD disable, std::initializer_list<int> ids) {
  for (int id : ids) {
    HWND control = ::GetDlgItem(dialog, id);
    if (!control) continue;
    if (flags & hide) ::ShowWindow(control, SW_HIDE);
    if (flags & disable) ::EnableWindow(control, FALSE);
  }
}

}  // namespace

BEGIN_MESSAGE_MAP(CFindReplaceDialog, CDialog)
  ON_WM_CLOSE()
  ON_BN_CLICKED(kReplaceOne, OnReplaceOne)
  ON_BN_CLICKED(kReplaceEvery, OnReplaceEvery)
  ON_EN_CHANGE(kFindWhat, OnFindWhatChange)
  ON_MESSAGE(kAsk, OnAsk)
END_MESSAGE_MAP()

CFindReplaceDialog::CFindReplaceDialog() {
  m_fr.lpstrFindWhat = m_szFindWhat;
  m_fr.wFindWhatLen = sizeof m_szFindWhat;
  m_fr.lpstrReplaceWith = m_szReplaceWith;
  m_fr.wReplaceWithLen = sizeof m_szReplaceWith;
  m_fr.lCustData = reinterpret_cast<LPARAM>(this);
}

UINT CFindReplaceDialog::GetFindReplaceMsg() { return ::RegisterWindowMessage(FINDMSGSTRING); }

CFindReplaceDialog* CFindReplaceDialog::GetNotifier(LPARAM lParam) {
  const auto* fr = reinterpret_cast<const FINDREPLACE*>(lParam);
  return fr ? reinterpret_cast<CFindReplaceDialog*>(fr->lCustData) : nullptr;
}

BOOL CFindReplaceDialog::Create(BOOL bFindDialogOnly, LPCSTR lpszFindWhat, LPCSTR lpszReplaceWith, DWORD dwFlags,
                                CWnd* pParentWnd) {
  m_bFindOnly = bFindDialogOnly;
  std::snprintf(m_szFindWhat, sizeof m_szFindWhat, "%s", lpszFindWhat ? lpszFindWhat : "");
  std::snprintf(m_szReplaceWith, sizeof m_szReplaceWith, "%s", lpszReplaceWith ? lpszReplaceWith : "");
  m_fr.Flags = dwFlags;
  m_hWndOwner = HwndOf(pParentWnd);
  if (!m_hWndOwner) m_hWndOwner = HwndOf(AfxGetMainWnd());
  m_fr.hwndOwner = m_hWndOwner;
  if (!CreateIndirect(bFindDialogOnly ? &kFindTemplate : &kReplaceTemplate, CWnd::FromHandle(m_hWndOwner)))
    return FALSE;
  ShowWindow(SW_SHOW);
  PostMessage(kAsk);
  return TRUE;
}

void CFindReplaceDialog::Notify(DWORD action) {
  m_fr.Flags = (m_fr.Flags & ~(FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL | FR_DIALOGTERM)) | action;
  if (::IsWindow(m_hWndOwner))
    ::SendMessage(m_hWndOwner, GetFindReplaceMsg(), 0, reinterpret_cast<LPARAM>(&m_fr));
}

LRESULT CFindReplaceDialog::OnAsk(WPARAM, LPARAM) {
  plat::SystemRequest request;
  request.kind = m_bFindOnly ? plat::SystemUiKind::Find : plat::SystemUiKind::Replace;
  request.owner = m_hWndOwner;
  request.caption = m_bFindOnly ? "Find" : "Replace";
  request.text = std::string(m_szFindWhat) + "\t" + m_szReplaceWith;
  request.flags = m_fr.Flags;
  plat::SystemAnswer answer;
  try {
    answer = plat::RequestSystemAnswer(request);
  } catch (const plat::AutomationMissing&) {
    return 0;  // nobody acts: the dialog stays open
  }
  if (answer.code != IDOK) {
    SendMessage(WM_CLOSE);
    return 0;
  }
  const std::string& text = answer.text;
  const auto tab = text.find('\t');
  std::snprintf(m_szFindWhat, sizeof m_szFindWhat, "%s", text.substr(0, tab).c_str());
  if (tab != std::string::npos)
    std::snprintf(m_szReplaceWith, sizeof m_szReplaceWith, "%s", text.substr(tab + 1).c_str());
  const DWORD options = FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD;
  m_fr.Flags = (m_fr.Flags & ~options) | (answer.value & options);
  DWORD action = answer.value & (FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL);
  if (m_bFindOnly || !action) action = FR_FINDNEXT;
  ShowState();
  HWND self = m_hWnd;
  Notify(action);
  if (::IsWindow(self)) PostMessage(kAsk);  // the owner may have closed the dialog meanwhile
  return 0;
}

BOOL CFindReplaceDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  const DWORD flags = m_fr.Flags;
  // What the buffers cannot hold is not taken.
  SendDlgItemMessage(kFindWhat, EM_LIMITTEXT, sizeof m_szFindWhat - 1, 0);
  SendDlgItemMessage(kReplaceWith, EM_LIMITTEXT, sizeof m_szReplaceWith - 1, 0);
  ApplyOptionFlags(m_hWnd, flags, FR_HIDEWHOLEWORD, FR_NOWHOLEWORD, {kWholeWord});
  ApplyOptionFlags(m_hWnd, flags, FR_HIDEMATCHCASE, FR_NOMATCHCASE, {kMatchCase});
  ApplyOptionFlags(m_hWnd, flags, FR_HIDEUPDOWN, FR_NOUPDOWN, {kDirection, kUp, kDown});
  ShowState();
  // The user types the text to find first.
  HWND field = ::GetDlgItem(m_hWnd, kFindWhat);
  GotoDlgCtrl(CWnd::FromHandle(field));
  ::SendMessage(field, EM_SETSEL, 0, -1);
  return FALSE;
}

void CFindReplaceDialog::ShowState() {
  SetDlgItemText(kFindWhat, m_szFindWhat);
  if (!m_bFindOnly) SetDlgItemText(kReplaceWith, m_szReplaceWith);
  CheckDlgButton(kWholeWord, (m_fr.Flags & FR_WHOLEWORD) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kMatchCase, (m_fr.Flags & FR_MATCHCASE) ? BST_CHECKED : BST_UNCHECKED);
  if (m_bFindOnly) ::CheckRadioButton(m_hWnd, kUp, kDown, (m_fr.Flags & FR_DOWN) ? kDown : kUp);
  OnFindWhatChange();
}

void CFindReplaceDialog::OnFindWhatChange() {
  const BOOL any = ::GetWindowTextLength(::GetDlgItem(m_hWnd, kFindWhat)) > 0;
  for (int id : {IDOK, kReplaceOne, kReplaceEvery})
    if (HWND button = ::GetDlgItem(m_hWnd, id)) ::EnableWindow(button, any);
}

void CFindReplaceDialog::ActFromControls(DWORD action) {
  CString text;
  GetDlgItemText(kFindWhat, text);
  if (text.IsEmpty()) return;  // nothing to look for (Enter with an empty field)
  std::snprintf(m_szFindWhat, sizeof m_szFindWhat, "%s", static_cast<LPCSTR>(text));
  if (!m_bFindOnly) {
    GetDlgItemText(kReplaceWith, text);
    std::snprintf(m_szReplaceWith, sizeof m_szReplaceWith, "%s", static_cast<LPCSTR>(text));
  }
  DWORD options = 0;
  if (IsDlgButtonChecked(kWholeWord) == BST_CHECKED) options |= FR_WHOLEWORD;
  if (IsDlgButtonChecked(kMatchCase) == BST_CHECKED) options |= FR_MATCHCASE;
  if (!m_bFindOnly || IsDlgButtonChecked(kDown) == BST_CHECKED) options |= FR_DOWN;
  m_fr.Flags = (m_fr.Flags & ~(FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD)) | options;
  Notify(action);
}

void CFindReplaceDialog::OnOK() { ActFromControls(FR_FINDNEXT); }

void CFindReplaceDialog::OnReplaceOne() {
  if (!m_bFindOnly) ActFromControls(FR_REPLACE);
}

void CFindReplaceDialog::OnReplaceEvery() {
  if (!m_bFindOnly) ActFromControls(FR_REPLACEALL);
}

void CFindReplaceDialog::OnCancel() { SendMessage(WM_CLOSE); }

void CFindReplaceDialog::OnClose() {
  Notify(FR_DIALOGTERM);
  DestroyWindow();
}

void CFindReplaceDialog::PostNcDestroy() { delete this; }
