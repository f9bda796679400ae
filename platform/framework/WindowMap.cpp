#include "platform/framework/WindowMap.h"

#include "platform/framework/CWnd.h"
#include "platform/window/WindowClassRegistry.h"

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

CreationHook::CreationHook(CWnd* wnd, LPCSTR className, HINSTANCE instance) : wnd_(wnd) {
  cls_ = WindowClassRegistry::Instance().Find(className, instance);
  if (!cls_) return;  // CreateWindowEx will fail on its own
  classProc_ = cls_->proc;
  cls_->proc = &BinderProc;
  outer_ = g_innermost;
  g_innermost = this;
}

CreationHook::~CreationHook() {
  Restore();
  if (g_innermost == this) g_innermost = outer_;
}

void CreationHook::Restore() {
  if (cls_ && cls_->proc == &BinderProc) cls_->proc = classProc_;
}

LRESULT CreationHook::BinderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CreationHook* hook = g_innermost;
  // Only the window being created can reach the binder: the class gets its procedure back at once.
  WNDPROC super = hook ? hook->classProc_ : ::DefWindowProc;
  if (!hook) return ::DefWindowProc(hwnd, message, wParam, lParam);
  hook->Restore();
  g_innermost = hook->outer_;
  CWnd* wnd = hook->wnd_;
  wnd->m_hWnd = hwnd;
  WindowMap::Instance().Bind(hwnd, wnd);
  *wnd->GetSuperWndProcAddr() = super;
  ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::FrameworkWndProc));
  return CWnd::FrameworkWndProc(hwnd, message, wParam, lParam);
}

CurrentMessage& Current() {
  static CurrentMessage current;
  return current;
}

}  // namespace plat
