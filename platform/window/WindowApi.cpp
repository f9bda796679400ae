// The classic entry points for windows, classes, messages, input, focus, timers and hooks. Each checks its
// handles and arguments, answers the classic failure value, and leaves the work to namespace plat.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/base/ResourceTable.h"
#include "platform/base/SystemError.h"

#include "platform/window/Caret.h"
#include "platform/window/Cursors.h"
#include "platform/window/Inspect.h"
#include "platform/window/InputRouter.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/MessageSpy.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/NonClient.h"
#include "platform/window/TimerTable.h"
#include "platform/window/WindowManager.h"

using plat::Window;
using plat::WindowManager;

namespace {

WindowManager& WM() { return WindowManager::Instance(); }
// Every call that takes a window answers a stale or foreign handle with its classic failure value and
// ERROR_INVALID_WINDOW_HANDLE.
Window* Find(HWND hwnd) {
  Window* w = WM().Get(hwnd);
  if (!w && hwnd) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

std::vector<UINT>& Beeps() {
  static std::vector<UINT> beeps;
  return beeps;
}

}  // namespace

namespace plat {
LRESULT DefaultWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
const std::vector<UINT>& RecordedBeeps() { return Beeps(); }
void ClearRecordedBeeps() { Beeps().clear(); }
}  // namespace plat

// ---- Classes --------------------------------------------------------------------------------------------

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
  if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ATOM atom = plat::WindowClassRegistry::Instance().Register(*wc);
  if (!atom) SetLastError(ERROR_CLASS_ALREADY_EXISTS);
  return atom;
}

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc) return 0;
  WNDCLASSEX ex{sizeof(WNDCLASSEX), wc->style,         wc->lpfnWndProc,   wc->cbClsExtra,
                wc->cbWndExtra,     wc->hInstance,     wc->hIcon,         wc->hCursor,
                wc->hbrBackground,  wc->lpszMenuName,  wc->lpszClassName, nullptr};
  return RegisterClassEx(&ex);
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE instance) {
  auto& registry = plat::WindowClassRegistry::Instance();
  auto cls = registry.Find(className, instance);
  if (!cls || cls->system) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (cls->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  return registry.Unregister(className, instance);
}

BOOL GetClassInfoEx(HINSTANCE instance, LPCSTR className, WNDCLASSEX* out) {
  auto cls = plat::WindowClassRegistry::Instance().Find(className, instance);
  if (!cls || !out) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  out->style = cls->style;
  out->lpfnWndProc = cls->proc;
  out->cbClsExtra = static_cast<int>(cls->classExtra.size());
  out->cbWndExtra = cls->windowExtra;
  out->hInstance = cls->instance;
  out->hIcon = cls->icon;
  out->hCursor = cls->cursor;
  out->hbrBackground = cls->background;
  out->lpszMenuName = cls->menuName.empty() ? nullptr : cls->menuName.c_str();
  out->lpszClassName = cls->name.c_str();
  out->hIconSm = cls->iconSmall;
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE instance, LPCSTR className, WNDCLASS* out) {
  WNDCLASSEX ex{};
  if (!out || !GetClassInfoEx(instance, className, &ex)) return FALSE;
  *out = WNDCLASS{ex.style,   ex.lpfnWndProc, ex.cbClsExtra,    ex.cbWndExtra,   ex.hInstance,
                  ex.hIcon,   ex.hCursor,     ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
  return TRUE;
}

int GetClassName(HWND hwnd, LPSTR buffer, int size) {
  Window* w = Find(hwnd);
  if (!w || !w->cls || !buffer || size <= 0) return 0;
  int n = std::min(static_cast<int>(w->cls->name.size()), size - 1);
  std::memcpy(buffer, w->cls->name.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

ULONG_PTR GetClassLongPtr(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w || !w->cls) return 0;
  const plat::WindowClass& c = *w->cls;
  switch (index) {
    case GCL_STYLE: return c.style;
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= c.classExtra.size()) {
        ULONG_PTR v = 0;
        std::memcpy(&v, c.classExtra.data() + index, sizeof v);
        return v;
      }
      return 0;
  }
}

DWORD GetClassLong(HWND hwnd, int index) { return static_cast<DWORD>(GetClassLongPtr(hwnd, index)); }

ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value) {
  Window* w = Find(hwnd);
  if (!w || !w->cls) return 0;
  plat::WindowClass& c = *w->cls;
  ULONG_PTR old = GetClassLongPtr(hwnd, index);
  switch (index) {
    case GCL_STYLE: c.style = static_cast<UINT>(value); break;
    case GCLP_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HBRBACKGROUND: c.background = reinterpret_cast<HBRUSH>(value); break;
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= c.classExtra.size())
        std::memcpy(c.classExtra.data() + index, &value, sizeof value);
      else
        return 0;
  }
  return old;
}

// ---- Creation, destruction, relations ---------------------------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (!plat::WindowClassRegistry::Instance().Find(className, instance)) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (parent && parent != HWND_MESSAGE && !Find(parent)) return nullptr;
  return WM().Create(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}

BOOL DestroyWindow(HWND hwnd) { return WM().Destroy(hwnd); }

BOOL IsWindow(HWND hwnd) { return hwnd && Find(hwnd) != nullptr; }

HWND GetDesktopWindow() { return WM().Desktop(); }

HWND GetParent(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  // Quirk kept: for a popup the classic call answers its owner.
  if (w->IsChild()) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND SetParent(HWND child, HWND newParent) {
  WindowManager& wm = WM();
  Window* w = wm.Get(child);
  if (!w || wm.IsDesktop(child)) return nullptr;
  HWND target = newParent ? newParent : wm.Desktop();
  Window* p = wm.Get(target);
  if (!p || wm.IsAncestor(child, target)) return nullptr;
  HWND old = w->parent;
  bool visible = wm.IsVisible(*w);
  if (visible) wm.InvalidateParentArea(child);
  if (Window* op = wm.Get(old)) std::erase(op->children, child);
  w->parent = target;
  if (wm.IsDesktop(target))
    p->children.insert(p->children.begin(), child);
  else
    p->children.push_back(child);
  if (wm.IsVisible(*w)) wm.Invalidate(child, nullptr, true);
  if (wm.onWindowChanged) wm.onWindowChanged(child);
  return wm.IsDesktop(old) ? wm.Desktop() : old;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  WindowManager& wm = WM();
  Window* w = wm.Get(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (cmd == GW_OWNER) return wm.Get(w->owner) ? w->owner : nullptr;
  Window* p = wm.Get(w->parent);
  if (!p) return nullptr;
  const std::vector<HWND>& list = p->children;
  auto it = std::find(list.begin(), list.end(), hwnd);
  switch (cmd) {
    case GW_HWNDFIRST: return list.front();
    case GW_HWNDLAST: return list.back();
    case GW_HWNDNEXT: return (it == list.end() || it + 1 == list.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV: return (it == list.end() || it == list.begin()) ? nullptr : *(it - 1);
    default: return nullptr;
  }
}

HWND GetNextWindow(HWND hwnd, UINT cmd) { return GetWindow(hwnd, cmd); }

HWND GetTopWindow(HWND hwnd) { return GetWindow(hwnd ? hwnd : WM().Desktop(), GW_CHILD); }

BOOL IsChild(HWND parent, HWND hwnd) {
  if (!Find(parent) || !Find(hwnd) || parent == hwnd) return FALSE;
  for (Window* w = Find(hwnd); w && w->IsChild(); w = Find(w->parent))
    if (w->parent == parent) return TRUE;
  return FALSE;
}

HWND GetDlgItem(HWND dialog, int id) {
  Window* w = Find(dialog);
  if (!w) return nullptr;
  for (HWND c : w->children)
    if (Window* cw = Find(c); cw && static_cast<int>(cw->id) == id) return c;
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && w->IsChild() ? static_cast<int>(w->id) : 0;
}

HWND GetTopLevelParent(HWND hwnd) { return Find(hwnd) ? WM().TopLevelOf(hwnd) : nullptr; }

HWND GetAncestorRoot(HWND hwnd) { return GetTopLevelParent(hwnd); }

namespace {
bool EnumTree(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  Window* w = Find(parent);
  if (!w) return true;
  std::vector<HWND> children = w->children;  // the callback may create or destroy windows
  for (HWND c : children) {
    if (!Find(c)) continue;
    if (!proc(c, lParam)) return false;
    if (!EnumTree(c, proc, lParam)) return false;
  }
  return true;
}
}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return FALSE;
  return EnumTree(parent ? parent : WM().Desktop(), proc, lParam);
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
  if (!proc) return FALSE;
  std::vector<HWND> tops = Find(WM().Desktop())->children;
  for (HWND t : tops)
    if (Find(t) && !proc(t, lParam)) return FALSE;
  return TRUE;
}

HWND FindWindow(LPCSTR className, LPCSTR windowName) {
  for (HWND t : Find(WM().Desktop())->children) {
    Window* w = Find(t);
    if (!w) continue;
    if (className && !plat::SameName(w->cls->name, plat::NameFromParam(className))) continue;
    if (windowName && w->text != windowName) continue;
    return t;
  }
  return nullptr;
}

// ---- State ------------------------------------------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->parent : w->owner);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->exStyle));
    case GWLP_USERDATA: return w->userData;
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v = 0;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
      }
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG) <= w->extra.size()) {
        LONG v = 0;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
      }
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  WindowManager& wm = WM();
  std::shared_ptr<Window> keep = wm.Share(hwnd);
  Window* w = keep.get();
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtr(hwnd, index);
  switch (index) {
    case GWLP_WNDPROC:
      // Subclassing: the new procedure takes every later message; the caller keeps the old one for
      // CallWindowProc. Restoring the old pointer un-subclasses.
      if (!value) return 0;
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_ID: w->id = value; return old;
    case GWLP_USERDATA: w->userData = value; return old;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); return old;
    case GWLP_HWNDPARENT:
      if (!w->IsChild()) w->owner = reinterpret_cast<HWND>(value);
      return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      // WM_STYLECHANGING may adjust the new style; WM_STYLECHANGED reports what was set.
      STYLESTRUCT ss{static_cast<DWORD>(old), static_cast<DWORD>(value)};
      WPARAM which = static_cast<WPARAM>(index);
      wm.Send(hwnd, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&ss));
      if (!wm.Get(hwnd)) return 0;
      bool wasVisible = (w->style & WS_VISIBLE) != 0;
      if (index == GWL_STYLE)
        w->style = ss.styleNew;
      else
        w->exStyle = ss.styleNew;
      if (index == GWL_STYLE && wasVisible != ((w->style & WS_VISIBLE) != 0)) {
        if (wasVisible) {
          w->style |= WS_VISIBLE;
          wm.InvalidateParentArea(hwnd);
          w->style &= ~WS_VISIBLE;
        } else {
          wm.Invalidate(hwnd, nullptr, true);
        }
      }
      wm.Send(hwnd, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&ss));
      return old;
    }
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
      }
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG) <= w->extra.size()) {
        LONG v = static_cast<LONG>(value);
        std::memcpy(w->extra.data() + index, &v, sizeof v);
        return old;
      }
      return 0;
  }
}

LONG GetWindowLong(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtr(hwnd, index)); }

LONG SetWindowLong(HWND hwnd, int index, LONG value) {
  // Window procedures, ids and user data are pointer-sized here, so a 32-bit set goes through unchanged
  // only for styles and extra bytes; the pointer-sized forms are what the platform's users call.
  if (index == GWLP_WNDPROC || index == GWLP_USERDATA || index == GWLP_ID)
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, static_cast<LONG_PTR>(value)));
  if (index == GWL_STYLE || index == GWL_EXSTYLE)
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
  Window* w = Find(hwnd);
  if (!w || index < 0 || static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size()) return 0;
  LONG old = 0;
  std::memcpy(&old, w->extra.data() + index, sizeof old);
  std::memcpy(w->extra.data() + index, &value, sizeof value);
  return old;
}

WORD GetWindowWord(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w || index < 0 || static_cast<std::size_t>(index) + sizeof(WORD) > w->extra.size()) return 0;
  WORD v = 0;
  std::memcpy(&v, w->extra.data() + index, sizeof v);
  return v;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return WM().CallProc(proc, hwnd, msg, wParam, lParam);
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return plat::DefaultWindowProc(hwnd, msg, wParam, lParam);
}

BOOL SetWindowText(HWND hwnd, LPCSTR text) {
  if (!Find(hwnd)) return FALSE;
  return WM().Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0;
}

int GetWindowText(HWND hwnd, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!Find(hwnd)) return 0;
  return static_cast<int>(WM().Send(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
  if (!Find(hwnd)) return 0;
  return static_cast<int>(WM().Send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  WindowManager& wm = WM();
  Window* w = wm.Get(hwnd);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  const bool want = enable != FALSE;
  if (want == !wasDisabled) return wasDisabled;
  if (want) {
    w->style &= ~WS_DISABLED;
  } else {
    w->style |= WS_DISABLED;
    // A disabled window keeps neither the focus nor the capture (its top-level window keeps where the focus
    // was for its next activation: a modal dialog disables its owner).
    if (wm.focus && wm.IsAncestor(hwnd, wm.focus)) {
      wm.KeepFocusOf(wm.TopLevelOf(hwnd));
      wm.SetFocusTo(nullptr);
    }
    if (wm.capture && wm.IsAncestor(hwnd, wm.capture)) wm.ReleaseCaptureNow();
    // The active window disabled under a box that is up over it hands the activation to that box; with none up
    // yet (a modal dialog disables its owner before it opens), the box that opens takes it.
    if (wm.active && wm.IsAncestor(hwnd, wm.active))
      if (HWND box = plat::ModalLoop::BoxOver(wm.active)) wm.Activate(box, WA_ACTIVE);
  }
  if (wm.Get(hwnd)) wm.Send(hwnd, WM_ENABLE, want ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && WM().IsVisible(*w);
}

BOOL IsIconic(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && (w->style & WS_MAXIMIZE);
}

BOOL ShowWindow(HWND hwnd, int cmd) { return WM().Show(hwnd, cmd) ? TRUE : FALSE; }

// ---- Geometry ---------------------------------------------------------------------------------------------

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* w = Find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = WM().ScreenRect(*w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  Window* w = Find(hwnd);
  if (!w || !rect) return FALSE;
  *rect = RECT{0, 0, w->client.Width(), w->client.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
  Window* w = Find(hwnd);
  if (!w || !pt) return FALSE;
  CPoint o = WM().ClientOrigin(*w);
  pt->x += o.x;
  pt->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
  Window* w = Find(hwnd);
  if (!w || !pt) return FALSE;
  CPoint o = WM().ClientOrigin(*w);
  pt->x -= o.x;
  pt->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  CPoint a, b;
  if (from && !WM().IsDesktop(from)) {
    Window* w = Find(from);
    if (!w) return 0;
    a = WM().ClientOrigin(*w);
  }
  if (to && !WM().IsDesktop(to)) {
    Window* w = Find(to);
    if (!w) return 0;
    b = WM().ClientOrigin(*w);
  }
  int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(dx)), static_cast<WORD>(static_cast<SHORT>(dy)));
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
  if (!rect) return FALSE;
  plat::FrameInsets f = plat::NonClient::Insets(style, exStyle);
  rect->left -= f.left;
  rect->top -= f.top;
  rect->right += f.right;
  rect->bottom += f.bottom;
  return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return WM().SetPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  WindowManager& wm = WM();
  Window* w = wm.Get(hwnd);
  if (!w) return FALSE;
  if ((flags & SWP_SHOWWINDOW) && !(w->style & WS_VISIBLE)) {
    // Showing through SetWindowPos sends WM_SHOWWINDOW too; the placement follows.
    UINT rest = flags & ~SWP_SHOWWINDOW;
    wm.Show(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    return wm.SetPos(hwnd, insertAfter, x, y, cx, cy, rest);
  }
  if ((flags & SWP_HIDEWINDOW) && (w->style & WS_VISIBLE)) {
    UINT rest = flags & ~SWP_HIDEWINDOW;
    if (!wm.SetPos(hwnd, insertAfter, x, y, cx, cy, rest)) return FALSE;
    wm.Show(hwnd, SW_HIDE);
    return TRUE;
  }
  BOOL ok = wm.SetPos(hwnd, insertAfter, x, y, cx, cy, flags & ~(SWP_SHOWWINDOW | SWP_HIDEWINDOW));
  if (ok && !(flags & (SWP_NOACTIVATE | SWP_NOZORDER)) && Find(hwnd) && !Find(hwnd)->IsChild() &&
      (Find(hwnd)->style & WS_VISIBLE))
    wm.Activate(hwnd, WA_ACTIVE);
  return ok;
}

namespace {
struct DeferredPos {
  HWND hwnd, after;
  int x, y, cx, cy;
  UINT flags;
};
struct DeferList {
  std::vector<DeferredPos> items;
};
}  // namespace

HDWP BeginDeferWindowPos(int count) {
  if (count < 0) return nullptr;
  auto* list = new DeferList;
  list->items.reserve(static_cast<std::size_t>(count));
  return list;
}

HDWP DeferWindowPos(HDWP dwp, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto* list = static_cast<DeferList*>(dwp);
  if (!list) return nullptr;
  if (!Find(hwnd)) {
    // The classic call frees the whole batch when one entry is bad.
    delete list;
    return nullptr;
  }
  list->items.push_back({hwnd, insertAfter, x, y, cx, cy, flags});
  return list;
}

BOOL EndDeferWindowPos(HDWP dwp) {
  auto* list = static_cast<DeferList*>(dwp);
  if (!list) return FALSE;
  BOOL ok = TRUE;
  for (const DeferredPos& d : list->items)
    if (Find(d.hwnd) && !SetWindowPos(d.hwnd, d.after, d.x, d.y, d.cx, d.cy, d.flags)) ok = FALSE;
  delete list;
  return ok;
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

HWND WindowFromPoint(POINT pt) { return WM().HitWindow(pt); }

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
  Window* w = Find(parent);
  if (!w) return nullptr;
  if (!CRect(0, 0, w->client.Width(), w->client.Height()).PtInRect(pt)) return nullptr;
  // Hidden and disabled children count here, unlike for mouse input.
  for (HWND c : w->children)
    if (Window* cw = Find(c); cw && cw->rect.PtInRect(pt)) return c;
  return parent;
}

namespace {
HMONITOR MonitorHandle(std::size_t i) { return reinterpret_cast<HMONITOR>(0x7E000000 + i + 1); }
std::size_t NearestMonitor(const RECT& r, bool* inside) {
  auto& mons = WM().monitors;
  std::size_t best = 0;
  long long bestScore = -1;
  long long bestDist = -1;
  for (std::size_t i = 0; i < mons.size(); ++i) {
    CRect overlap = CRect(mons[i].rcMonitor) & r;
    long long area = static_cast<long long>(overlap.Width()) * overlap.Height();
    CRect m = mons[i].rcMonitor;
    long long dx = std::max({static_cast<long long>(m.left) - r.right, static_cast<long long>(r.left) - m.right, 0LL});
    long long dy = std::max({static_cast<long long>(m.top) - r.bottom, static_cast<long long>(r.top) - m.bottom, 0LL});
    long long dist = dx * dx + dy * dy;
    if (area > bestScore || (area == bestScore && dist < bestDist)) {
      best = i;
      bestScore = area;
      bestDist = dist;
    }
  }
  *inside = bestScore > 0;
  return best;
}
HMONITOR PickMonitor(const RECT& r, DWORD flags) {
  bool inside = false;
  std::size_t i = NearestMonitor(r, &inside);
  if (inside || flags == MONITOR_DEFAULTTONEAREST) return MonitorHandle(i);
  if (flags == MONITOR_DEFAULTTOPRIMARY) return MonitorHandle(0);
  return nullptr;
}
}  // namespace

HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags) { return rect ? PickMonitor(*rect, flags) : nullptr; }

HMONITOR MonitorFromPoint(POINT pt, DWORD flags) { return PickMonitor(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1}, flags); }

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
  Window* w = Find(hwnd);
  if (!w) return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorHandle(0);
  return PickMonitor(WM().ScreenRect(*w), flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, LPMONITORINFO info) {
  auto index = reinterpret_cast<std::uintptr_t>(monitor) - 0x7E000000;
  auto& mons = WM().monitors;
  if (!info || index == 0 || index > mons.size()) return FALSE;
  const MONITORINFO& m = mons[index - 1];
  info->rcMonitor = m.rcMonitor;
  info->rcWork = m.rcWork;
  info->dwFlags = m.dwFlags;
  return TRUE;
}

// ---- Messages and queue -----------------------------------------------------------------------------------

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    std::vector<HWND> tops = Find(WM().Desktop())->children;
    for (HWND t : tops) WM().Send(t, msg, wParam, lParam);
    return 0;
  }
  return WM().Send(hwnd, msg, wParam, lParam);
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  plat::MessageQueue& q = plat::MessageQueue::Instance();
  if (hwnd == HWND_BROADCAST) {
    for (HWND t : Find(WM().Desktop())->children) q.Post(MSG{t, msg, wParam, lParam, 0, {}});
    return TRUE;
  }
  if (hwnd && !Find(hwnd)) return FALSE;
  q.Post(MSG{hwnd, msg, wParam, lParam, 0, {}});
  return TRUE;
}

DWORD GetCurrentThreadId() { return 1; }

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
  if (!Find(hwnd)) return 0;
  if (processId) *processId = 1;
  return GetCurrentThreadId();
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (threadId != GetCurrentThreadId()) return FALSE;
  plat::MessageQueue::Instance().Post(MSG{nullptr, msg, wParam, lParam, 0, {}});
  return TRUE;
}

void PostQuitMessage(int exitCode) { plat::MessageQueue::Instance().PostQuit(exitCode); }

BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) return -1;
  if (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !Find(hwnd)) return -1;
  return plat::MessageQueue::Instance().Get(msg, hwnd, filterMin, filterMax);
}

BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  return plat::MessageQueue::Instance().Peek(msg, hwnd, filterMin, filterMax, removeFlags) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  const UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN) return FALSE;
  const int vk = static_cast<int>(msg->wParam);
  plat::InputRouter& in = plat::InputRouter::Instance();
  const bool shift = in.KeyState(VK_SHIFT) < 0;
  const bool ctrl = in.KeyState(VK_CONTROL) < 0;
  const bool alt = in.KeyState(VK_MENU) < 0;
  const bool caps = (in.KeyState(VK_CAPITAL) & 1) != 0;
  int ch = 0;
  switch (vk) {
    case VK_RETURN: ch = ctrl ? 0x0A : 0x0D; break;
    case VK_TAB: ch = 0x09; break;
    case VK_BACK: ch = ctrl ? 0x7F : 0x08; break;
    case VK_ESCAPE: ch = 0x1B; break;
    case VK_CANCEL: ch = 0x03; break;
    default:
      if (ctrl && !alt) {
        // Ctrl+letter gives the control characters 1..26; Ctrl+[ \ ] give 0x1B..0x1D.
        if (vk >= 'A' && vk <= 'Z') ch = vk - 'A' + 1;
        else if (vk == VK_OEM_4) ch = 0x1B;
        else if (vk == VK_OEM_5) ch = 0x1C;
        else if (vk == VK_OEM_6) ch = 0x1D;
        else if (vk == VK_SPACE) ch = ' ';
      } else if (!ctrl) {
        ch = static_cast<unsigned char>(plat::CharacterForKey(vk, shift, caps));
      }
  }
  if (ch == 0) return FALSE;
  UINT charMsg = m == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  plat::MessageQueue::Instance().Post(MSG{msg->hwnd, charMsg, static_cast<WPARAM>(ch), msg->lParam, msg->time, msg->pt});
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  WindowManager& wm = WM();
  if (msg->message == WM_TIMER && msg->lParam) {
    // A timer with a procedure calls it instead of the window procedure, if the timer still exists.
    if (!plat::TimerTable::Instance().Exists(msg->hwnd, msg->wParam)) return 0;
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;
  std::shared_ptr<Window> keep = wm.Share(msg->hwnd);
  if (!keep) return 0;
  if (msg->message == WM_TIMER && !plat::TimerTable::Instance().Exists(msg->hwnd, msg->wParam)) return 0;
  plat::MessageSpy::Notify(msg->hwnd, msg->message, msg->wParam, msg->lParam, plat::Delivery::Posted);
  if (msg->message == WM_PAINT) ++keep->paintCount;
  if (keep->preDispatch) {
    LRESULT result = 0;
    plat::PreDispatchHook hook = keep->preDispatch;
    if (hook(msg->hwnd, msg->message, msg->wParam, msg->lParam, result)) return result;
  }
  return wm.CallProc(keep->proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WaitMessage() {
  plat::MessageQueue& q = plat::MessageQueue::Instance();
  MSG m;
  while (!q.Peek(&m, nullptr, 0, 0, PM_NOREMOVE)) q.WaitForWork("WaitMessage");
  return TRUE;
}

DWORD GetQueueStatus(UINT flags) {
  DWORD status = 0;
  MSG m;
  plat::MessageQueue& q = plat::MessageQueue::Instance();
  if (q.HasPosted()) status |= QS_POSTMESSAGE;
  if (plat::InputRouter::Instance().HasInput()) status |= QS_KEY | QS_MOUSEBUTTON | QS_MOUSEMOVE;
  if (WM().FindPaintWindow(nullptr)) status |= QS_PAINT;
  if (plat::TimerTable::Instance().TakeDue(&m, nullptr, false)) status |= QS_TIMER;
  status &= flags;
  return MAKELONG(status, status);
}

LONG GetMessageTime() { return static_cast<LONG>(plat::MessageQueue::Instance().lastTime); }

DWORD GetMessagePos() {
  POINT p = plat::MessageQueue::Instance().lastPos;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

BOOL InSendMessage() { return FALSE; }  // one thread: no message ever comes from another thread

UINT RegisterWindowMessage(LPCSTR name) {
  if (!name || !*name) return 0;
  return WM().RegisterMessage(name);
}

BOOL MessageBeep(UINT type) {
  Beeps().push_back(type);
  return TRUE;
}

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId) {
  // Only get-message and CBT hooks on the UI thread exist here; a system-wide hook would need a module.
  if (threadId != GetCurrentThreadId() || (idHook != WH_GETMESSAGE && idHook != WH_CBT) || !proc) {
    SetLastError(threadId == 0 ? ERROR_HOOK_NEEDS_HMOD : ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return plat::MessageQueue::Instance().AddHook(idHook, proc);
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  if (plat::MessageQueue::Instance().RemoveHook(hook)) return TRUE;
  SetLastError(ERROR_INVALID_HOOK_HANDLE);
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  return plat::MessageQueue::Instance().CallNext(hook, code, wParam, lParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  return plat::TimerTable::Instance().Set(hwnd, id, elapseMs, proc);
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) { return plat::TimerTable::Instance().Kill(hwnd, id); }

// ---- Keyboard, mouse, focus, activation --------------------------------------------------------------------

SHORT GetKeyState(int vk) { return plat::InputRouter::Instance().KeyState(vk); }

SHORT GetAsyncKeyState(int vk) { return plat::InputRouter::Instance().AsyncKeyState(vk); }

BOOL GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  plat::InputRouter::Instance().CopyKeyState(state);
  return TRUE;
}

HWND SetFocus(HWND hwnd) { return WM().SetFocusTo(hwnd); }

HWND GetFocus() { return Find(WM().focus) ? WM().focus : nullptr; }

HWND SetActiveWindow(HWND hwnd) {
  HWND top = hwnd ? WM().TopLevelOf(hwnd) : nullptr;
  if (hwnd && !top) return nullptr;
  return WM().Activate(top, WA_ACTIVE);
}

HWND GetActiveWindow() { return Find(WM().active) ? WM().active : nullptr; }

HWND GetForegroundWindow() { return GetActiveWindow(); }

BOOL SetForegroundWindow(HWND hwnd) {
  if (!Find(hwnd)) return FALSE;
  SetActiveWindow(hwnd);
  return GetActiveWindow() == WM().TopLevelOf(hwnd);
}

HWND SetCapture(HWND hwnd) { return WM().SetCaptureTo(hwnd); }

BOOL ReleaseCapture() { return WM().ReleaseCaptureNow(); }

HWND GetCapture() { return Find(WM().capture) ? WM().capture : nullptr; }

BOOL GetCursorPos(LPPOINT pt) {
  if (!pt) return FALSE;
  *pt = plat::InputRouter::Instance().cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  // Moving the cursor is input like any other: the window under it hears of it through WM_MOUSEMOVE.
  plat::InputRouter::Instance().MouseMove(POINT{x, y});
  return TRUE;
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT tme) {
  if (!tme || tme->cbSize < sizeof(TRACKMOUSEEVENT)) return FALSE;
  if (tme->dwFlags & TME_QUERY) return plat::InputRouter::Instance().QueryTracking(tme);
  return plat::InputRouter::Instance().SetTracking(*tme);
}

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  static std::map<std::string, std::unique_ptr<std::string>> names;
  char buf[96];
  std::snprintf(buf, sizeof buf, "Afx:%x:%llx:%llx:%llx", classStyle,
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(cursor)),
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(background)),
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(icon)));
  auto& slot = names[buf];
  if (!slot) slot = std::make_unique<std::string>(buf);
  // Registered with the module's instance, which CWnd::CreateEx creates its windows with.
  const HINSTANCE instance = AfxGetInstanceHandle();
  if (!plat::WindowClassRegistry::Instance().Find(slot->c_str(), instance)) {
    WNDCLASS wc{};
    wc.hInstance = instance;
    wc.style = classStyle;
    wc.lpfnWndProc = DefWindowProc;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = slot->c_str();
    if (!RegisterClass(&wc)) return nullptr;
  }
  return slot->c_str();
}

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) { return plat::Cursors::Instance().Load(instance, name); }

HCURSOR SetCursor(HCURSOR cursor) { return plat::Cursors::Instance().Set(cursor); }

HCURSOR GetCursor() { return plat::Cursors::Instance().Current(); }

BOOL DestroyCursor(HCURSOR cursor) { return plat::Cursors::Instance().IsCursor(cursor) ? TRUE : FALSE; }

int ShowCursor(BOOL show) { return plat::Cursors::Instance().ShowCount(show ? 1 : -1); }

// ---- Caret ------------------------------------------------------------------------------------------------

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
  return plat::Caret::Instance().Create(hwnd, bitmap, width, height);
}
BOOL DestroyCaret() { return plat::Caret::Instance().Destroy(); }
BOOL ShowCaret(HWND hwnd) { return plat::Caret::Instance().Show(hwnd); }
BOOL HideCaret(HWND hwnd) { return plat::Caret::Instance().Hide(hwnd); }
BOOL SetCaretPos(int x, int y) { return plat::Caret::Instance().SetPos(x, y); }
BOOL GetCaretPos(LPPOINT pt) { return plat::Caret::Instance().GetPos(pt); }
UINT GetCaretBlinkTime() { return plat::Caret::Instance().blinkMs; }
BOOL SetCaretBlinkTime(UINT ms) {
  plat::Caret::Instance().blinkMs = ms;
  return TRUE;
}
