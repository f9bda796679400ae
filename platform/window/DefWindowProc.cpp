// The default window procedure: what every window does with a message it does not handle itself.
#include <algorithm>
#include <cstring>

#include "platform/window/Cursors.h"
#include "platform/window/Menus.h"
#include "platform/window/MoveSizeLoop.h"
#include "platform/window/NonClient.h"
#include "platform/window/Painter.h"
#include "platform/window/ScrollBars.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {

constexpr UINT kSwpNoClientSize = 0x0800;
constexpr UINT kSwpNoClientMove = 0x1000;

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
    wm.Send(hwnd, WM_SIZE,
            (still->style & WS_MINIMIZE)   ? SIZE_MINIMIZED
            : (still->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                           : SIZE_RESTORED,
            MAKELPARAM(still->client.Width(), still->client.Height()));
  return 0;
}

// The system menu of a top-level window, its items enabled for the window's state, at a screen point; the
// chosen command comes back as WM_SYSCOMMAND.
void TrackSystemMenu(WindowManager& wm, HWND hwnd, POINT at) {
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  const Window* w = wm.Get(hwnd);
  if (!menu || !w) return;
  const DWORD style = w->style;
  auto enable = [menu](WPARAM cmd, bool on) {
    EnableMenuItem(menu, static_cast<UINT>(cmd), on ? MF_ENABLED : MF_GRAYED);
  };
  enable(SC_RESTORE, (style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0);
  enable(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !(style & WS_MINIMIZE));
  enable(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !(style & WS_MAXIMIZE));
  const UINT cmd = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, hwnd, nullptr));
  if (cmd && wm.Get(hwnd)) wm.Send(hwnd, WM_SYSCOMMAND, cmd, MAKELPARAM(at.x, at.y));
}

// Where the system menu opens from the keyboard: under the left end of the caption.
POINT SystemMenuAnchor(WindowManager& wm, const Window& w) {
  CRect r = wm.ScreenRect(w);
  CRect cap = NonClient::CaptionRect(w);
  return POINT{r.left + cap.left, r.top + cap.bottom + 1};
}

LRESULT OnSysCommand(WindowManager& wm, Window& w, WPARAM wParam, LPARAM lParam) {
  switch (wParam & 0xFFF0) {
    case SC_CLOSE: wm.Send(w.hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: wm.Show(w.hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: wm.Show(w.hwnd, SW_SHOWMAXIMIZED); break;
    case SC_RESTORE: wm.Show(w.hwnd, SW_RESTORE); break;
    case SC_MOUSEMENU: TrackSystemMenu(wm, w.hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); break;
    case SC_KEYMENU:
      // Alt+Space (the character ' ') opens the system menu; there is no menu bar for other letters.
      if (lParam == ' ') TrackSystemMenu(wm, w.hwnd, SystemMenuAnchor(wm, w));
      break;
    default: break;
  }
  return 0;
}

LRESULT OnSysKeyDown(WindowManager& wm, HWND hwnd, WPARAM key, LPARAM lParam) {
  if (!(lParam & (1 << 29))) return 0;  // Alt is not down
  HWND top = wm.TopLevelOf(hwnd);
  if (key == static_cast<WPARAM>(VK_F4)) wm.Send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (key == static_cast<WPARAM>(VK_SPACE)) wm.Send(top, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  return 0;
}

// A click on a caption box acts when the button comes up over it: the close box closes, the minimise box
// minimises (restores when minimised) and an enabled maximise box maximises (restores when maximised), each
// through WM_SYSCOMMAND as the classic system does.
LRESULT OnNcLButtonUp(WindowManager& wm, const Window& w, WPARAM hit, LPARAM lParam) {
  WPARAM cmd = 0;
  if (hit == HTCLOSE) cmd = SC_CLOSE;
  if (hit == HTMINBUTTON) cmd = (w.style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
  if (hit == HTMAXBUTTON && (w.style & WS_MAXIMIZEBOX)) cmd = (w.style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
  if (cmd) wm.Send(w.hwnd, WM_SYSCOMMAND, cmd, lParam);
  return 0;
}

LRESULT OnNcLButtonDown(WindowManager& wm, const Window& w, WPARAM hit, LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (hit == HTVSCROLL || hit == HTHSCROLL)
    ScrollBars::TrackMouse(w.hwnd, hit == HTVSCROLL ? SB_VERT : SB_HORZ, at);
  else if (hit == HTCAPTION && (w.style & WS_MINIMIZE))
    wm.Send(w.hwnd, WM_SYSCOMMAND, SC_MOUSEMENU, lParam);  // a minimised window answers a click with its menu
  else if (hit == HTCAPTION || (hit >= HTLEFT && hit <= HTBOTTOMRIGHT))
    MoveSizeLoop::Run(w.hwnd, static_cast<int>(hit), at);
  return 0;
}

LRESULT OnContextMenu(WindowManager& wm, Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Unhandled, it travels up to the parent; a top-level window opens its system menu for a click on its
  // caption.
  if (w.IsChild() && !wm.IsDesktop(w.parent)) return wm.Send(w.parent, msg, wParam, lParam);
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (reinterpret_cast<HWND>(wParam) == w.hwnd && (w.style & WS_SYSMENU) &&
      NonClient::HitTest(w, wm.ScreenRect(w), at) == HTCAPTION)
    TrackSystemMenu(wm, w.hwnd, at);
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
    case WM_SYSCOMMAND: return OnSysCommand(wm, *w, wParam, lParam);
    case WM_SYSKEYDOWN: return OnSysKeyDown(wm, hwnd, wParam, lParam);
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
      // Activation gives the keyboard focus to the window unless it already lies inside it; a window whose
      // focus a dialog or box took gets it back where it was when the dialog opened.
      if (LOWORD(wParam) != WA_INACTIVE && !(wm.focus && wm.IsAncestor(hwnd, wm.focus)))
        wm.SetFocusTo(wm.TakeFocusOnActivation(hwnd));
      return 0;
    case WM_WINDOWPOSCHANGED: return OnWindowPosChanged(wm, *w, reinterpret_cast<const WINDOWPOS*>(lParam));
    case WM_SETREDRAW: w->redraw = wParam != 0; return 0;
    case WM_CANCELMODE:
      ScrollBars::CancelTracking(hwnd);
      if (wm.capture == hwnd) wm.ReleaseCaptureNow();
      return 0;
    case WM_NCLBUTTONDOWN: return OnNcLButtonDown(wm, *w, wParam, lParam);
    case WM_NCLBUTTONUP: return OnNcLButtonUp(wm, *w, wParam, lParam);
    case WM_NCRBUTTONUP:
      // A right click on the frame asks for a context menu, at the screen point of the click.
      return wm.Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
    case WM_CONTEXTMENU: return OnContextMenu(wm, *w, msg, wParam, lParam);
    case WM_MOUSEWHEEL:
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
