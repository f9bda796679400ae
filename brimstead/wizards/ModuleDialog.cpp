#include "brimstead/wizards/ModuleDialog.h"

#include "brimstead/wizards/WizardResources.h"

namespace brimwiz {

LRESULT CModuleDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  CModuleScope scope;
  return CDialog::WindowProc(message, wParam, lParam);
}

WPARAM OwnEnterOrEscape(HWND dialog, const MSG* msg) {
  if (!msg || !dialog || (msg->message != WM_KEYDOWN && msg->message != WM_CHAR) ||
      (msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE) || (msg->hwnd != dialog && !::IsChild(dialog, msg->hwnd)))
    return 0;
  const LRESULT code = ::SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
  // As the dialog manager decides, the control keeps the key, but a read-only edit does nothing with Enter or
  // Escape: they stay the dialog's (the title bar's description).
  const bool readOnlyEdit = (code & DLGC_HASSETSEL) && (::GetWindowLong(msg->hwnd, GWL_STYLE) & ES_READONLY);
  if ((code & DLGC_WANTALLKEYS) && !readOnlyEdit)
    return 0;
  if (msg->wParam == VK_RETURN && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    return 0;
  return msg->wParam;
}

BOOL CModuleDialog::PreTranslateMessage(MSG* msg) {
  // Only a part of the frame (a child that shares its parent's navigation) keeps the keys from the outer dialog.
  const bool part = m_hWnd && (::GetWindowLong(m_hWnd, GWL_STYLE) & (WS_CHILD | DS_CONTROL)) == (WS_CHILD | DS_CONTROL);
  if (const WPARAM key = part ? OwnEnterOrEscape(m_hWnd, msg) : 0) {
    if (msg->message == WM_KEYDOWN) {
      CModuleScope scope;
      if (key == VK_RETURN)
        OnOK();
      else
        OnCancel();
    }
    return TRUE;
  }
  return CDialog::PreTranslateMessage(msg);
}

}  // namespace brimwiz
