// CWnd: the framework procedure, dispatch through the message maps, reflection and the default handlers.
#include <cstdio>

#include "platform/base/CException.h"
#include "platform/framework/CWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/WindowMap.h"
#include "platform/window/ModalLoop.h"

const plat::MessageMap* CWnd::GetThisMessageMap() {
  static const plat::MessageMapEntry entries[] = {plat::MessageMapEntry{}};
  static const plat::MessageMap map{&CCmdTarget::GetThisMessageMap, entries};
  return &map;
}

const plat::MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

namespace {

bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// Restores the innermost "current message" when a nested call returns.
class CurrentMessageScope {
 public:
  CurrentMessageScope(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) : saved_(plat::Current()) {
    plat::Current() = {hwnd, message, wParam, lParam};
  }
  ~CurrentMessageScope() { plat::Current() = saved_; }

 private:
  plat::CurrentMessage saved_;
};

// The child window a parent-bound message is about, for reflection; null when none.
HWND ReflectionSource(HWND parent, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: return lParam ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    // The item's type tells a menu item (nobody to reflect to) from a control's: a control may have id 0
    // (a drop-down's list inside its popup has).
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      return d->CtlType == ODT_MENU ? nullptr : d->hwndItem;
    }
    case WM_MEASUREITEM: {
      const auto* m = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
      return m->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(parent, static_cast<int>(m->CtlID));
    }
    case WM_COMPAREITEM: return reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM: return reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
    case WM_HSCROLL:
    case WM_VSCROLL: return reinterpret_cast<HWND>(lParam);
    default: return IsCtlColor(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
  }
}

// A class-library exception that escapes a handler ends there: the user is told (unless it is the silent
// CUserException), a failed WM_CREATE refuses the window and a failed WM_PAINT validates the window so that
// it does not throw again at every idle time.
LRESULT ProcessWndProcException(CException* e, HWND hwnd, UINT message) {
  if (!dynamic_cast<CUserException*>(e)) {
    char text[512];
    if (!e->GetErrorMessage(text, sizeof text))
      std::snprintf(text, sizeof text, "%s",
                    dynamic_cast<CMemoryException*>(e) ? "Out of memory." : "Internal application error.");
    AfxMessageBox(text, MB_ICONEXCLAMATION);
  }
  e->Delete();
  if (message == WM_CREATE) return -1;
  if (message == WM_PAINT && ::IsWindow(hwnd)) ::ValidateRect(hwnd, nullptr);
  return 0;
}

}  // namespace

LRESULT CWnd::FrameworkWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = plat::WindowMap::Instance().Permanent(hwnd);
  if (!wnd) return ::DefWindowProc(hwnd, message, wParam, lParam);
  LRESULT result;
  {
    CurrentMessageScope scope(hwnd, message, wParam, lParam);
    try {
      result = wnd->WindowProc(message, wParam, lParam);
    } catch (CException* e) {
      result = ProcessWndProcException(e, hwnd, message);
    }
  }
  if (message == WM_NCDESTROY && plat::WindowMap::Instance().Permanent(hwnd) == wnd) {
    // The window is gone: the object lets go of it, then may delete itself. Nothing touches it after.
    plat::WindowMap::Instance().Unbind(hwnd);
    wnd->m_hWnd = nullptr;
    *wnd->GetSuperWndProcAddr() = nullptr;
    if (wnd->m_pModalLoop) wnd->m_pModalLoop->End(wnd->m_bContinueModal ? -1 : wnd->m_nModalResult);
    wnd->m_pModalLoop = nullptr;
    wnd->PostNcDestroy();
  }
  return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC super = *GetSuperWndProcAddr();
  if (super) return ::CallWindowProc(super, m_hWnd, message, wParam, lParam);
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const plat::CurrentMessage& c = plat::Current();
  return DefWindowProc(c.message, c.wParam, c.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 1;
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    LRESULT result = 0;
    if (!lParam || !OnNotify(wParam, lParam, &result)) return FALSE;
    *pResult = result;
    return TRUE;
  }
  // Owner-draw, colour and scroll messages about a child go to the child's object first.
  if (HWND child = ReflectionSource(m_hWnd, message, wParam, lParam); child && child != m_hWnd) {
    if (CWnd* object = FromHandlePermanent(child); object && object->OnChildNotify(message, wParam, lParam, pResult))
      return TRUE;
  }

  plat::MessageArgs args;
  args.message = message;
  args.wParam = wParam;
  args.lParam = lParam;
  plat::EntryKind kind = message >= 0xC000 && message <= 0xFFFF ? plat::EntryKind::Registered
                                                                : plat::EntryKind::Message;
  if (IsCtlColor(message)) {
    args.message = WM_CTLCOLORDLG;  // one typed entry serves the seven colour messages
    args.code = message - WM_CTLCOLORMSGBOX;
  }
  if (!Dispatch(args, kind)) return FALSE;
  *pResult = args.result;
  return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  HWND control = reinterpret_cast<HWND>(lParam);
  int code = HIWORD(wParam);
  if (control) {
    // The control's own object sees its notification first.
    if (CWnd* object = FromHandlePermanent(control); object && object != this) {
      LRESULT ignored = 0;
      if (object->OnChildNotify(WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
    }
  } else if (code == 1) {
    code = 0;  // accelerators arrive with code 1 and route like menu commands
  }
  return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->hwndFrom) {
    if (CWnd* object = FromHandlePermanent(header->hwndFrom); object && object != this) {
      if (object->OnChildNotify(WM_NOTIFY, header->idFrom, lParam, pResult)) return TRUE;
    }
  }
  plat::MessageArgs args;
  args.message = WM_NOTIFY;
  args.wParam = header->idFrom;
  args.lParam = lParam;
  args.id = static_cast<UINT>(header->idFrom);
  args.code = header->code;
  if (!Dispatch(args, plat::EntryKind::Notify)) return FALSE;
  *pResult = args.result;
  return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  plat::MessageArgs args;
  args.message = plat::WM_REFLECT_BASE + message;
  args.wParam = wParam;
  args.lParam = lParam;
  plat::EntryKind kind = plat::EntryKind::Message;
  if (message == WM_COMMAND) {
    args.id = LOWORD(wParam);
    args.code = HIWORD(wParam);
    kind = plat::EntryKind::Command;
  } else if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    args.id = static_cast<UINT>(header->idFrom);
    args.code = header->code;
    kind = plat::EntryKind::Notify;
  } else if (IsCtlColor(message)) {
    args.message = plat::WM_REFLECT_BASE + WM_CTLCOLORDLG;
    args.code = message - WM_CTLCOLORMSGBOX;
  }
  if (!Dispatch(args, kind)) return FALSE;
  if (pResult) *pResult = kind == plat::EntryKind::Command ? 1 : args.result;
  return TRUE;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
  CWnd* object = FromHandlePermanent(hWndChild);
  if (!object) return FALSE;
  const plat::CurrentMessage& c = plat::Current();
  LRESULT ignored = 0;
  return object->OnChildNotify(c.message, c.wParam, c.lParam, pResult ? pResult : &ignored);
}

// ---- Default handlers: the message as it arrived goes to the default procedure ----------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
int CWnd::OnCompareItem(int, LPCOMPAREITEMSTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDeleteItem(int, LPDELETEITEMSTRUCT) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnSettingChange(UINT, LPCSTR) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
