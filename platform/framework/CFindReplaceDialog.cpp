#include "platform/framework/CFindReplaceDialog.h"

#include <cstdio>
#include <string>

#include "platform/base/ResourceTable.h"
#include "platform/window/AutomationProvider.h"

IMPLEMENT_DYNAMIC(CFindReplaceDialog, CDialog)

namespace {

constexpr UINT kAsk = WM_APP + 0x3F0;  // private: ask the provider for the next user action

const DialogTemplate kFindTemplate{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                   0, 0, 0, 236, 62, "Find", "MS Shell Dlg", 8, {}};
const DialogTemplate kReplaceTemplate{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                      0, 0, 0, 230, 94, "Replace", "MS Shell Dlg", 8, {}};

}  // namespace

BEGIN_MESSAGE_MAP(CFindReplaceDialog, CDialog)
  ON_WM_CLOSE()
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
  HWND self = m_hWnd;
  Notify(action);
  if (::IsWindow(self)) PostMessage(kAsk);  // the owner may have closed the dialog meanwhile
  return 0;
}

void CFindReplaceDialog::OnCancel() { SendMessage(WM_CLOSE); }

void CFindReplaceDialog::OnClose() {
  Notify(FR_DIALOGTERM);
  DestroyWindow();
}

void CFindReplaceDialog::PostNcDestroy() { delete this; }
