#include "platform/framework/WindowMap.h"

#include "platform/framework/CWnd.h"

namespace plat {

namespace {
CreationHook* g_innermost = nullptr;
}  // namespace

WindowMap& WindowMap::Instance() {
  static WindowMap map;
  return map;
}

CWnd* WindowMap::Permanent(HWND hwnd) const {
  auto it = permanent_.find(hwnd);
  return it == permanent_.end() ? nullptr : it->second;
}

void WindowMap::Bind(HWND hwnd, CWnd* wnd) {
  // A temporary wrapper for this window is now stale: the owner object answers from here on.
  temporary_.erase(hwnd);
  permanent_[hwnd] = wnd;
}

void WindowMap::Unbind(HWND hwnd) { permanent_.erase(hwnd); }

CWnd* WindowMap::Temporary(HWND hwnd) {
  auto& slot = temporary_[hwnd];
  if (!slot) {
    slot = std::make_unique<CWnd>();
    slot->m_hWnd = hwnd;
    CWndAccess::MarkTemporary(*slot);
  }
  return slot.get();
}

void WindowMap::DeleteTemporaries() {
  auto doomed = std::move(temporary_);
  temporary_.clear();
  for (auto& [hwnd, wnd] : doomed) wnd->m_hWnd = nullptr;  // a wrapper never destroys the window
}

CreationHook::CreationHook(CWnd* wnd) : wnd_(wnd) {
  hook_ = ::SetWindowsHookEx(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
  outer_ = g_innermost;
  g_innermost = this;
}

CreationHook::~CreationHook() {
  if (hook_) ::UnhookWindowsHookEx(hook_);
  if (g_innermost == this) g_innermost = outer_;
}

LRESULT CreationHook::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  // Every installed creation hook runs this; the innermost scope takes the window it is waiting for.
  CreationHook* hook = g_innermost;
  if (code == HCBT_CREATEWND && hook && !hook->bound_) {
    hook->bound_ = true;
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    CWnd* wnd = hook->wnd_;
    wnd->m_hWnd = hwnd;
    WindowMap::Instance().Bind(hwnd, wnd);
    *wnd->GetSuperWndProcAddr() = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::FrameworkWndProc)));
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

CurrentMessage& Current() {
  static CurrentMessage current;
  return current;
}

}  // namespace plat
