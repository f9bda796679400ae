// Window creation and destruction, with their classic message sequences.
#include <algorithm>

#include "platform/window/Caret.h"
#include "platform/window/Clipboard.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Menus.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Painter.h"
#include "platform/window/TimerTable.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {

void SendParentNotify(WindowManager& wm, HWND hwnd, UINT event) {
  // Walks up the chain of parents while each link lets the notification pass.
  Window* w = wm.Get(hwnd);
  if (!w) return;
  WPARAM wParam = MAKEWPARAM(event, static_cast<WORD>(w->id));
  while (w && w->IsChild() && !(w->exStyle & WS_EX_NOPARENTNOTIFY)) {
    HWND parent = w->parent;
    if (wm.IsDesktop(parent)) break;
    wm.Send(parent, WM_PARENTNOTIFY, wParam, reinterpret_cast<LPARAM>(hwnd));
    w = wm.Get(parent);
  }
}

}  // namespace

HWND WindowManager::Create(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                           int width, int height, HWND parentParam, HMENU menu, HINSTANCE instance, LPVOID param) {
  std::shared_ptr<WindowClass> cls = WindowClassRegistry::Instance().Find(className, instance);
  if (!cls) return nullptr;
  bool child = (style & (WS_CHILD | WS_POPUP)) == WS_CHILD;
  HWND parent = desktop_;
  HWND owner = nullptr;
  if (child) {
    // A child of the desktop is placed in screen coordinates and composed, hit-tested and layered like a
    // top-level window, above every one of them.
    if (!Get(parentParam)) return nullptr;
    parent = parentParam;
  } else if (parentParam && parentParam != HWND_MESSAGE) {
    if (!Get(parentParam)) return nullptr;
    owner = IsDesktop(parentParam) ? nullptr : TopLevelOf(parentParam);
  }
  if (!child && !(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS;  // overlapped windows always are

  const Window* d = Get(desktop_);
  if (x == CW_USEDEFAULT) {
    x = child ? 0 : 32;
    y = child ? 0 : 32;
  }
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : d->rect.Width() * 3 / 4;
    height = child ? 0 : d->rect.Height() * 3 / 4;
  }
  width = std::max(width, 0);
  height = std::max(height, 0);

  auto w = std::make_shared<Window>();
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style & ~WS_VISIBLE;  // shown after creation, with its messages
  w->exStyle = exStyle;
  w->parent = parent;
  w->owner = owner;
  w->id = child ? reinterpret_cast<LONG_PTR>(menu) : 0;
  w->instance = instance;
  w->extra.assign(static_cast<std::size_t>(cls->windowExtra), 0);
  w->rect = CRect(x, y, x + width, y + height);
  w->client = CRect(0, 0, width, height);
  HWND hwnd = ToHwnd(windows_.Insert(w));
  w->hwnd = hwnd;
  ++cls->windows;

  Window* p = Get(parent);
  if (child && !IsDesktop(parent)) {
    p->children.push_back(hwnd);  // children: bottom of the Z order, so the list stays in creation order
  } else {
    // Top-level: above every other window of its band (the desktop's children, then topmost windows, stay
    // above the rest).
    p->children.insert(TopOfBand(*w), hwnd);
  }

  CREATESTRUCT cs{};
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = child ? parent : owner;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;

  if (MessageQueue::Instance().HasHooks(WH_CBT)) {
    CBT_CREATEWND cbt{&cs, child ? HWND_BOTTOM : HWND_TOP};
    if (MessageQueue::Instance().RunChain(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd),
                                          reinterpret_cast<LPARAM>(&cbt))) {
      // Refused before the window saw anything: it goes without a message.
      if (Get(hwnd)) FinishDestroy(hwnd);
      return nullptr;
    }
    if (!Get(hwnd)) return nullptr;
  }

  if (!Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    // Refused: the window never existed for anyone but itself.
    if (Get(hwnd)) {
      Send(hwnd, WM_NCDESTROY, 0, 0);
      FinishDestroy(hwnd);
    }
    return nullptr;
  }
  if (!Get(hwnd)) return nullptr;
  w->created = true;

  NCCALCSIZE_PARAMS ncp{};
  ncp.rgrc[0] = w->rect;
  Send(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&ncp.rgrc[0]));
  if (!Get(hwnd)) return nullptr;
  w->client = CRect(ncp.rgrc[0]) - w->rect.TopLeft();

  if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (Get(hwnd)) Destroy(hwnd);
    return nullptr;
  }
  if (!Get(hwnd)) return nullptr;

  if (!w->sizeSent) {
    w->sizeSent = true;
    Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->client.Width(), w->client.Height()));
    if (!Get(hwnd)) return nullptr;
    CPoint origin = w->rect.TopLeft() + w->client.TopLeft();
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    if (!Get(hwnd)) return nullptr;
  }
  if (child) SendParentNotify(*this, hwnd, WM_CREATE);
  if (!Get(hwnd)) return nullptr;
  if (style & WS_VISIBLE) Show(hwnd, SW_SHOW);
  return Get(hwnd) ? hwnd : nullptr;
}

bool WindowManager::Destroy(HWND hwnd) {
  Window* w = Get(hwnd);
  if (!w || IsDesktop(hwnd) || w->destroying) return false;
  std::shared_ptr<Window> keep = Share(hwnd);
  if (MessageQueue::Instance().HasHooks(WH_CBT) &&
      MessageQueue::Instance().RunChain(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hwnd), 0))
    return false;  // a hook may refuse the destruction
  if (!Get(hwnd) || w->destroying) return false;
  w->destroying = true;

  if (w->IsChild()) SendParentNotify(*this, hwnd, WM_DESTROY);

  // Owned popups go first, each with its own full sequence.
  std::vector<HWND> owned;
  for (HWND top : Get(desktop_)->children)
    if (Window* o = Get(top); o && o->owner == hwnd) owned.push_back(top);
  for (HWND o : owned) Destroy(o);

  if (w->style & WS_VISIBLE) {
    w->style &= ~WS_VISIBLE;
    if (onWindowChanged) onWindowChanged(hwnd);
    InvalidateParentArea(hwnd);
  }
  MoveAwayFrom(hwnd);

  // WM_DESTROY to the window before its children; WM_NCDESTROY after them.
  std::vector<HWND> order;
  DestroyTree(hwnd, order);
  for (HWND h : order) {
    if (!Get(h)) continue;
    Send(h, WM_NCDESTROY, 0, 0);
    FinishDestroy(h);
  }
  return true;
}

void WindowManager::DestroyTree(HWND hwnd, std::vector<HWND>& order) {
  Window* w = Get(hwnd);
  if (!w) return;
  w->destroying = true;
  TimerTable::Instance().KillWindowTimers(hwnd);
  Send(hwnd, WM_DESTROY, 0, 0);
  if ((w = Get(hwnd)) == nullptr) return;
  std::vector<HWND> children = w->children;
  for (HWND c : children) {
    Window* cw = Get(c);
    if (!cw || cw->destroying) continue;
    DestroyTree(c, order);
  }
  order.push_back(hwnd);  // post-order: children before their parent
}

void WindowManager::FinishDestroy(HWND hwnd) {
  Window* w = Get(hwnd);
  if (!w) return;
  // Children destroyed out of line (by a handler) are already gone; any left are detached silently.
  std::vector<HWND> children = w->children;
  for (HWND c : children) FinishDestroy(c);
  TimerTable::Instance().KillWindowTimers(hwnd);
  if (w->sysMenu) DestroyMenu(w->sysMenu);
  w->sysMenu = nullptr;
  MessageQueue::Instance().RemoveWindow(hwnd);
  InputRouter::Instance().ForgetWindow(hwnd);
  Caret::Instance().ForgetWindow(hwnd);
  Clipboard::Instance().ForgetWindow(hwnd);
  if (focus == hwnd) focus = nullptr;
  if (active == hwnd) active = nullptr;
  if (capture == hwnd) capture = nullptr;
  if (!w->IsChild() || IsDesktop(w->parent)) Painter::DropBackBuffer(hwnd);
  UnlinkFromParent(*w);
  if (w->cls) --w->cls->windows;
  windows_.Remove(ToToken(hwnd));
}

void WindowManager::UnlinkFromParent(Window& w) {
  if (Window* p = Get(w.parent)) std::erase(p->children, w.hwnd);
}

void WindowManager::MoveAwayFrom(HWND hwnd) {
  if (capture && IsAncestor(hwnd, capture)) ReleaseCaptureNow();
  Window* w = Get(hwnd);
  if (!w) return;
  if (active && IsAncestor(hwnd, active)) {
    // Never to a disabled window: a box that ends over a window another box still disables hands the activation
    // to that box, not to the window under it.
    if (HWND next = NextActive(hwnd))
      Activate(next, WA_ACTIVE);
    else
      Activate(nullptr, WA_INACTIVE);
  }
  // A child losing the focus hands it to its parent; a top-level window has none to hand it to. The focus kept
  // for a top-level window's next activation moves the same way.
  HWND parent = w->IsChild() && Get(w->parent) && !Get(w->parent)->destroying ? w->parent : nullptr;
  if (Window* t = Get(TopLevelOf(hwnd)); t && t->hwnd != hwnd && t->focusTaken && IsAncestor(hwnd, t->focusTaken))
    t->focusTaken = parent;
  if (focus && IsAncestor(hwnd, focus)) {
    // Hidden or destroyed while it is told of its focus loss, the window gives the focus to no one: it is
    // already on its way to another window (whose top-level window may have the activation by now).
    if (focus == focusLeaving_) return;
    if (parent && TakesInput(parent))
      SetFocusTo(parent);
    else
      SetFocusTo(nullptr);
  }
}

void WindowManager::Reset() {
  std::vector<HWND> tops = Get(desktop_)->children;
  for (HWND top : tops)
    if (Get(top)) Destroy(top);
  focus = active = capture = nullptr;
  MessageQueue::Instance().Clear();
  TimerTable::Instance().Clear();
  InputRouter::Instance().Reset();
  Caret::Instance().Reset();
  Clipboard::Instance().Reset();
  WindowClassRegistry::Instance().RemoveApplicationClasses();
  SetDesktopSize(1280, 1024);
  onWindowChanged = nullptr;
}

}  // namespace plat
