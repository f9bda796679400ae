#include "platform/window/WindowManager.h"

#include <algorithm>
#include <cctype>

#include "platform/window/MessageSpy.h"

namespace plat {

namespace {

LRESULT DesktopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

constexpr int kDefaultDesktopWidth = 1280;
constexpr int kDefaultDesktopHeight = 1024;

}  // namespace

WindowManager& WindowManager::Instance() {
  static WindowManager manager;
  return manager;
}

WindowManager::WindowManager() {
  auto desktop = std::make_shared<Window>();
  desktop->proc = DesktopProc;
  desktop->style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_POPUP;
  desktop->created = true;
  desktop_ = ToHwnd(windows_.Insert(desktop));
  desktop->hwnd = desktop_;
  SetDesktopSize(kDefaultDesktopWidth, kDefaultDesktopHeight);
}

void WindowManager::SetDesktopSize(int width, int height) {
  Window* d = Get(desktop_);
  d->rect = CRect(0, 0, width, height);
  d->client = CRect(0, 0, width, height);
  monitors.clear();
  MONITORINFO primary{};
  primary.cbSize = sizeof(MONITORINFO);
  primary.rcMonitor = d->rect;
  primary.rcWork = d->rect;
  primary.dwFlags = MONITORINFOF_PRIMARY;
  monitors.push_back(primary);
}

Window* WindowManager::Get(HWND hwnd) const { return windows_.Get(ToToken(hwnd)); }

std::shared_ptr<Window> WindowManager::Share(HWND hwnd) const { return windows_.Share(ToToken(hwnd)); }

LRESULT WindowManager::Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Keep the object alive for the whole call: a window destroyed inside its own handler stays readable
  // until the handler returns, although its handle is already stale.
  std::shared_ptr<Window> w = Share(hwnd);
  if (!w) return 0;
  MessageSpy::Notify(hwnd, msg, wParam, lParam, Delivery::Sent);
  if (w->preDispatch) {
    LRESULT result = 0;
    PreDispatchHook hook = w->preDispatch;  // the hook may remove itself
    if (hook(hwnd, msg, wParam, lParam, result)) return result;
  }
  return CallProc(w->proc, hwnd, msg, wParam, lParam);
}

LRESULT WindowManager::CallProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  ++sendDepth_;
  struct Depth {
    int& d;
    ~Depth() { --d; }
  } depth{sendDepth_};
  return proc(hwnd, msg, wParam, lParam);
}

HWND WindowManager::TopLevelOf(HWND hwnd) const {
  Window* w = Get(hwnd);
  while (w && w->IsChild()) {
    Window* p = Get(w->parent);
    if (!p || p->hwnd == desktop_) break;
    w = p;
  }
  return w ? w->hwnd : nullptr;
}

bool WindowManager::IsAncestor(HWND ancestor, HWND hwnd) const {
  for (Window* w = Get(hwnd); w; w = Get(w->parent)) {
    if (w->hwnd == ancestor) return true;
    if (w->hwnd == desktop_) break;
  }
  return false;
}

bool WindowManager::IsOwnedBy(HWND hwnd, HWND owner) const {
  for (const Window* w = Get(hwnd); w && w->owner; w = Get(w->owner))
    if (w->owner == owner) return true;
  return false;
}

UINT WindowManager::RegisterMessage(const std::string& name) {
  if (name.empty()) return 0;
  std::string key = name;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto it = registeredMessages_.find(key);
  if (it != registeredMessages_.end()) return it->second;
  if (nextRegisteredMessage_ > 0xFFFF) return 0;
  UINT id = nextRegisteredMessage_++;
  registeredMessages_.emplace(key, id);
  registeredNames_.emplace(id, name);
  return id;
}

const std::string* WindowManager::RegisteredName(UINT id) const {
  auto it = registeredNames_.find(id);
  return it == registeredNames_.end() ? nullptr : &it->second;
}

}  // namespace plat
