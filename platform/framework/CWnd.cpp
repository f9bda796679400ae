// CWnd: binding, creation and the thin typed wrappers over the window API.
#include "platform/framework/CWnd.h"

#include <algorithm>
#include <string>

#include "platform/base/CException.h"
#include "platform/base/ResourceTable.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/DialogManager.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/WindowMap.h"
#include "platform/gdi/CDC.h"
#include "platform/window/ModalLoop.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace plat {
CWnd* WndFromHandle(HWND hwnd) { return CWnd::FromHandle(hwnd); }
}  // namespace plat

CWnd::~CWnd() {
  if (m_hWnd && !m_bTemporary && plat::WindowMap::Instance().Permanent(m_hWnd) == this && ::IsWindow(m_hWnd)) {
    // An object going away with its window still alive: the window must not outlive it, since its
    // procedure would reach a dead object.
    DestroyWindow();
  }
}

// ---- Binding ------------------------------------------------------------------------------------------------

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd || !::IsWindow(hWnd)) return nullptr;
  if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
  return plat::WindowMap::Instance().Temporary(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return hWnd ? plat::WindowMap::Instance().Permanent(hWnd) : nullptr; }

void CWnd::DeleteTempMap() { plat::WindowMap::Instance().DeleteTemporaries(); }

BOOL CWnd::Attach(HWND hWndNew) {
  if (!hWndNew || m_hWnd || !::IsWindow(hWndNew) || FromHandlePermanent(hWndNew)) return FALSE;
  m_hWnd = hWndNew;
  plat::WindowMap::Instance().Bind(hWndNew, this);
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  if (hwnd && plat::WindowMap::Instance().Permanent(hwnd) == this) plat::WindowMap::Instance().Unbind(hwnd);
  m_hWnd = nullptr;
  return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  auto old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProc)));
  // A window that already runs the framework procedure keeps its earlier super procedure.
  if (old != &FrameworkWndProc) *GetSuperWndProcAddr() = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent) return FALSE;
  HWND control = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
  return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (!m_hWnd) return nullptr;
  WNDPROC* super = GetSuperWndProcAddr();
  ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*super ? *super : ::DefWindowProc));
  *super = nullptr;
  return Detach();
}

void CWnd::PreSubclassWindow() {}

// ---- Creation -----------------------------------------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void*) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, HwndOf(pParentWnd),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;  // one window per object
  CREATESTRUCT cs{};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = static_cast<LONG>(dwStyle);
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  HWND hwnd;
  {
    plat::CreationHook hook(this);
    hwnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                            cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  }
  // A window refused during creation has already been unbound by WM_NCDESTROY.
  return hwnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

// ---- Messages -----------------------------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ::SendMessage(child, message, wParam, lParam);
    if (bDeep && ::IsWindow(child)) CWnd::FromHandle(child)->SendMessageToDescendants(message, wParam, lParam, TRUE);
  }
}

const MSG* CWnd::GetCurrentMessage() const {
  static MSG msg;
  const plat::CurrentMessage& c = plat::Current();
  msg = MSG{c.hwnd, c.message, c.wParam, c.lParam, static_cast<DWORD>(::GetMessageTime()), {0, 0}};
  DWORD pos = ::GetMessagePos();
  msg.pt = {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
  return &msg;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hwnd = pMsg->hwnd; hwnd && ::IsWindow(hwnd);) {
    if (CWnd* wnd = FromHandlePermanent(hwnd); wnd && wnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hwnd == hWndStop || !::IsWindow(hwnd)) break;
    const bool child = (::GetWindowLong(hwnd, GWL_STYLE) & (WS_CHILD | WS_POPUP)) == WS_CHILD;
    if (!child) break;  // the walk ends at the top-level window; owners are not ancestors
    hwnd = ::GetParent(hwnd);
  }
  return FALSE;
}

// ---- Geometry and state -------------------------------------------------------------------------------------

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2); }
void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
  ::MapWindowPoints(m_hWnd, HwndOf(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
}
void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
void CWnd::MoveWindow(LPCRECT r, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, bRepaint);
}
// The values themselves, not the HWND_* variables: those may not be initialised yet when these are.
const CWnd CWnd::wndTop(Sentinel{}, reinterpret_cast<HWND>(0));
const CWnd CWnd::wndBottom(Sentinel{}, reinterpret_cast<HWND>(1));
const CWnd CWnd::wndTopMost(Sentinel{}, reinterpret_cast<HWND>(-1));
const CWnd CWnd::wndNoTopMost(Sentinel{}, reinterpret_cast<HWND>(-2));

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  // A null object is HWND_TOP, like &wndTop.
  return ::SetWindowPos(m_hWnd, HwndOf(pWndInsertAfter), x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  // Centre on the owner (or the parent for children); a window without one is centred on the work area.
  CRect area;
  HWND center = HwndOf(pAlternateOwner);
  const bool child = (GetStyle() & WS_CHILD) != 0;
  if (!center) center = child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
  if (center && !child && !::IsWindowVisible(center)) center = nullptr;
  if (child) {
    ::GetClientRect(center, &area);
  } else if (center) {
    ::GetWindowRect(center, &area);
  } else {
    MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
    ::GetMonitorInfo(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info);
    area = info.rcWork;
  }
  CRect self;
  GetWindowRect(&self);
  int x = area.left + (area.Width() - self.Width()) / 2;
  int y = area.top + (area.Height() - self.Height()) / 2;
  if (!child) {
    MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
    ::GetMonitorInfo(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info);
    x = std::max<int>(info.rcWork.left, std::min<int>(x, info.rcWork.right - self.Width()));
    y = std::max<int>(info.rcWork.top, std::min<int>(y, info.rcWork.bottom - self.Height()));
  }
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_EXSTYLE)); }

namespace {
BOOL ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT flags) {
  DWORD style = static_cast<DWORD>(::GetWindowLong(hwnd, index));
  DWORD updated = (style & ~remove) | add;
  if (style == updated) return FALSE;
  ::SetWindowLong(hwnd, index, static_cast<LONG>(updated));
  if (flags) ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) { return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags); }
BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::SetWindowText(LPCSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }
int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const { return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount); }
void CWnd::GetWindowText(CString& rString) const {
  int length = ::GetWindowTextLength(m_hWnd);
  std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
  int got = ::GetWindowText(m_hWnd, buffer.data(), length + 1);
  rString = CString(buffer.data(), got);
}
int CWnd::GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int nID) { return static_cast<int>(::SetWindowLongPtr(m_hWnd, GWLP_ID, nID)); }

// ---- Painting -----------------------------------------------------------------------------------------------

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags) {
  return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}
void CWnd::ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect, LPCRECT lpClipRect) {
  ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect);
}
int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, HRGN prgnUpdate,
                         LPRECT lpRectUpdate, UINT flags) {
  return ::ScrollWindowEx(m_hWnd, dx, dy, lpRectScroll, lpRectClip, prgnUpdate, lpRectUpdate, flags);
}

// ---- Scroll bars --------------------------------------------------------------------------------------------

CScrollBar* CWnd::GetScrollBarCtrl(int) const { return nullptr; }
BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO info, BOOL bRedraw) {
  info->cbSize = sizeof(SCROLLINFO);
  ::SetScrollInfo(m_hWnd, nBar, info, bRedraw);
  return TRUE;
}
BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO info, UINT nMask) {
  info->cbSize = sizeof(SCROLLINFO);
  info->fMask = nMask;
  return ::GetScrollInfo(m_hWnd, nBar, info);
}
int CWnd::SetScrollPos(int nBar, int nPos, BOOL bRedraw) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
int CWnd::GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw);
}
void CWnd::GetScrollRange(int nBar, int* lpMinPos, int* lpMaxPos) const {
  ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos);
}
void CWnd::ShowScrollBar(UINT nBar, BOOL bShow) { ::ShowScrollBar(m_hWnd, static_cast<int>(nBar), bShow); }
BOOL CWnd::EnableScrollBar(int nSBFlags, UINT nArrowFlags) {
  return ::EnableScrollBar(m_hWnd, static_cast<UINT>(nSBFlags), nArrowFlags);
}

// ---- Relations ----------------------------------------------------------------------------------------------

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, HwndOf(pWndNewParent))); }
CWnd* CWnd::GetOwner() const {
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  return owner ? FromHandle(owner) : GetParent();
}
void CWnd::SetOwner(CWnd* pOwnerWnd) {
  if (!(GetStyle() & WS_CHILD)) ::SetWindowLongPtr(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(HwndOf(pOwnerWnd)));
}
CWnd* CWnd::GetTopLevelParent() const { return FromHandle(::GetTopLevelParent(m_hWnd)); }
CFrameWnd* CWnd::GetParentFrame() const {
  // The nearest ancestor that is a frame; null for the module's windows, which live in dialogs.
  for (HWND hwnd = ::GetParent(m_hWnd); hwnd; hwnd = ::GetParent(hwnd)) {
    if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(hwnd))) return frame;
    if (!(::GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD)) break;
  }
  return nullptr;
}
CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
CWnd* CWnd::GetNextWindow(UINT nFlag) const { return FromHandle(::GetNextWindow(m_hWnd, nFlag)); }
BOOL CWnd::IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, HwndOf(pWnd)); }

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::GetDlgCtrlID(child) == nID) {
      CWnd* found = bOnlyPerm ? FromHandlePermanent(child) : FromHandle(child);
      if (found) return found;
    }
    if (CWnd* deeper = FromHandle(child)->GetDescendantWindow(nID, bOnlyPerm)) return deeper;
  }
  return nullptr;
}

// ---- Focus, capture, timers ---------------------------------------------------------------------------------

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
  return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

// ---- Dialog items -------------------------------------------------------------------------------------------

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
void CWnd::GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam);
}
void CWnd::SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }
int CWnd::GetDlgItemText(int nID, LPSTR lpStr, int nMaxCount) const { return ::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount); }
int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  HWND item = ::GetDlgItem(m_hWnd, nID);
  if (!item) return 0;
  FromHandle(item)->GetWindowText(rString);
  return rString.GetLength();
}
void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
  return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
}
void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
UINT CWnd::IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
}
int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) {
  for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
    if (::IsDlgButtonChecked(m_hWnd, id)) return id;
  return 0;
}
CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const {
  return FromHandle(::GetNextDlgTabItem(m_hWnd, HwndOf(pWndCtl), bPrevious));
}
CWnd* CWnd::GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious) const {
  return FromHandle(::GetNextDlgGroupItem(m_hWnd, HwndOf(pWndCtl), bPrevious));
}
int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
  return ::MessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

// ---- Data exchange and modal loops ----------------------------------------------------------------------------

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (CUserException* e) {
    // A failed exchange has already told the user and focused the control.
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::ContinueModal() { return m_bContinueModal; }

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  m_bContinueModal = FALSE;
  if (m_pModalLoop) m_pModalLoop->End(nResult);
}

int CWnd::RunModalLoop(DWORD) {
  // One nested-loop primitive under every modal loop; pre-translation is the thread's (IsDialogMessage for
  // dialogs through their PreTranslateMessage).
  plat::ModalLoop::Options options;
  options.window = m_hWnd;
  options.preTranslate = [](MSG& msg) { return AfxGetThread()->PreTranslateMessage(&msg) != FALSE; };
  // The window lets go of the loop as it returns, also when an exception leaves it. The object may be gone if its
  // window self-deleted inside the loop: its WM_NCDESTROY let go already, and only a window still bound to the
  // object is touched.
  options.letGo = [this, hwnd = m_hWnd] {
    if (plat::WindowMap::Instance().Permanent(hwnd) == this) m_pModalLoop = nullptr;
  };
  plat::ModalLoop loop(std::move(options));
  m_bContinueModal = TRUE;
  m_pModalLoop = &loop;
  int result = loop.Run();
  return result == plat::ModalLoop::kQuitResult ? -1 : m_nModalResult;
}

CWnd* AfxGetMainWnd() {
  CWinThread* thread = AfxGetThread();
  return thread ? thread->GetMainWnd() : nullptr;
}

// ---- GDI wrappers ------------------------------------------------------------------------------------------

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? static_cast<HFONT>(pFont->m_hObject) : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const {
  auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  return font ? CFont::FromHandle(font) : nullptr;
}
