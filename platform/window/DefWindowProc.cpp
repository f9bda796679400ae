// The default window procedure: what every window does with a message it does not handle itself.
#include <algorithm>
#include <cstring>

#include "platform/window/Cursors.h"
#include "platform/window/MoveSizeLoop.h"
#include "platform/window/NonClient.h"
#include "platform/window/Painter.h"
#include "platform/window/ScrollBars.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {

constexpr UINT kSwpNoClientSize = 0x0800;
constexpr UINT kSwpNoClientMove = 0x1000;
constexpr WPARAM kScClose = 0xF060;

LRESULT OnNcCreate(Window& w, const CREATESTRUCT* cs) {
  if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w.text = cs->lpszName;
  return TRUE;
}

LRESULT OnNcCalcSize(WindowManager& wm, Window& w, LPARAM lParam) {
  // Both forms carry the proposed window rectangle first, and get the client rectangle back there.
  RECT* r = reinterpret_cast<RECT*>(lParam);
  if (!r) return 0;
  *r = wm.DefaultClientRect(w, CRect(*r));
  return 0;
}

LRESULT OnGetText(const Window& w, WPARAM size, LPARAM lParam) {
  char* buf = reinterpret_cast<char*>(lParam);
  if (!buf || size == 0) return 0;
  std::size_t n = std::min<std::size_t>(w.text.size(), size - 1);
  std::memcpy(buf, w.text.data(), n);
  buf[n] = '\0';
  return static_cast<LRESULT>(n);
}

LRESULT OnSetCursor(WindowManager& wm, Window& w, WPARAM wParam, LPARAM lParam) {
  // The parent gets the first say, so that a dialog can set one cursor for all its controls.
  if (w.IsChild() && !wm.IsDesktop(w.parent) && wm.Send(w.parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  int hit = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
  switch (hit) {
    case HTCLIENT:
      if (w.cls && w.cls->cursor) {
        SetCursor(w.cls->cursor);
        return TRUE;
      }
      return FALSE;
    case HTLEFT:
    case HTRIGHT: SetCursor(LoadCursor(nullptr, IDC_SIZEWE)); return TRUE;
    case HTTOP:
    case HTBOTTOM: SetCursor(LoadCursor(nullptr, IDC_SIZENS)); return TRUE;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: SetCursor(LoadCursor(nullptr, IDC_SIZENWSE)); return TRUE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: SetCursor(LoadCursor(nullptr, IDC_SIZENESW)); return TRUE;
    case HTERROR: return FALSE;
    default: SetCursor(LoadCursor(nullptr, IDC_ARROW)); return FALSE;
  }
}

LRESULT OnMouseActivate(WindowManager& wm, Window& w, WPARAM wParam, LPARAM lParam) {
  if (w.IsChild() && !wm.IsDesktop(w.parent)) {
    LRESULT r = wm.Send(w.parent, WM_MOUSEACTIVATE, wParam, lParam);
    if (r) return r;
  }
  return MA_ACTIVATE;
}

LRESULT OnWindowPosChanged(WindowManager& wm, Window& w, const WINDOWPOS* wp) {
  if (!wp) return 0;
  HWND hwnd = w.hwnd;
  if (!(wp->flags & kSwpNoClientMove)) {
    CPoint origin = w.rect.TopLeft() + w.client.TopLeft();
    wm.Send(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
  }
  Window* still = wm.Get(hwnd);
  if (still && !(wp->flags & kSwpNoClientSize))
    wm.Send(hwnd, WM_SIZE, (still->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED,
            MAKELPARAM(still->client.Width(), still->client.Height()));
  return 0;
}

}  // namespace

LRESULT DefaultWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowManager& wm = WindowManager::Instance();
  std::shared_ptr<Window> keep = wm.Share(hwnd);
  Window* w = keep.get();
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: return OnNcCreate(*w, reinterpret_cast<const CREATESTRUCT*>(lParam));
    case WM_NCCALCSIZE: return OnNcCalcSize(wm, *w, lParam);
    case WM_NCHITTEST:
      return NonClient::HitTest(*w, wm.ScreenRect(*w), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: Painter::DrawNonClient(hwnd); return 0;
    case WM_NCACTIVATE:
      w->ncPaint = true;
      return TRUE;
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if ((w->style & WS_CAPTION) == WS_CAPTION) Painter::DrawNonClient(hwnd);
      return TRUE;
    case WM_GETTEXT: return OnGetText(*w, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == kScClose) wm.Send(hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == static_cast<WPARAM>(VK_F4) && (lParam & (1 << 29))) {
        HWND top = wm.TopLevelOf(hwnd);
        wm.Send(top, WM_SYSCOMMAND, kScClose, 0);
      }
      return 0;
    case WM_ERASEBKGND: return Painter::EraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETCURSOR: return OnSetCursor(wm, *w, wParam, lParam);
    case WM_MOUSEACTIVATE: return OnMouseActivate(wm, *w, wParam, lParam);
    case WM_ACTIVATE:
      // Activation gives the keyboard focus to the window unless it already lies inside it.
      if (LOWORD(wParam) != WA_INACTIVE && !(wm.focus && wm.IsAncestor(hwnd, wm.focus))) wm.SetFocusTo(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGED: return OnWindowPosChanged(wm, *w, reinterpret_cast<const WINDOWPOS*>(lParam));
    case WM_SETREDRAW: w->redraw = wParam != 0; return 0;
    case WM_CANCELMODE:
      ScrollBars::CancelTracking(hwnd);
      if (wm.capture == hwnd) wm.ReleaseCaptureNow();
      return 0;
    case WM_NCLBUTTONDOWN: {
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (wParam == HTVSCROLL || wParam == HTHSCROLL)
        ScrollBars::TrackMouse(hwnd, wParam == HTVSCROLL ? SB_VERT : SB_HORZ, at);
      else if (wParam == HTCAPTION || (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT))
        MoveSizeLoop::Run(hwnd, static_cast<int>(wParam), at);
      return 0;
    }
    case WM_NCLBUTTONUP:
      // A click on the close box closes the window the classic way: WM_SYSCOMMAND SC_CLOSE, then WM_CLOSE.
      if (wParam == HTCLOSE) wm.Send(hwnd, WM_SYSCOMMAND, kScClose, lParam);
      return 0;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
    case WM_HELP:
      // Unhandled, these travel up to the parent.
      if (w->IsChild() && !wm.IsDesktop(w->parent)) return wm.Send(w->parent, msg, wParam, lParam);
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return Painter::DefaultControlColor(reinterpret_cast<HDC>(wParam), msg);
    default: return 0;
  }
}

}  // namespace plat
