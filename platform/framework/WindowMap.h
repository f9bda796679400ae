// The framework's handle maps and the hook that binds an object to a window while it is being created.
//
// Permanent map: HWND -> the CWnd that owns it (created or subclassed by the framework, or attached).
// Temporary map: wrappers made by CWnd::FromHandle for windows nobody owns; freed at idle.
//
// Binding at creation. The first message a new window gets must already reach its object, or typed
// handlers for WM_NCCREATE/WM_CREATE would never run. CreationHook installs a CBT hook for the span of one
// CreateWindowEx call; at HCBT_CREATEWND (before the window's first message) it binds the object to the new
// window and gives the window the framework procedure, keeping the class procedure as the object's super
// procedure. Only the first window created in the span is taken: windows that the new window's handlers
// create meanwhile are left alone. Nested creations stack.
#pragma once

#include <memory>
#include <unordered_map>

#include "platform/window/windowapi.h"

class CWnd;

namespace plat {

class WindowMap {
 public:
  static WindowMap& Instance();

  CWnd* Permanent(HWND hwnd) const;
  void Bind(HWND hwnd, CWnd* wnd);
  void Unbind(HWND hwnd);
  CWnd* Temporary(HWND hwnd);  // made on demand
  void DeleteTemporaries();
  std::size_t TemporaryCount() const { return temporary_.size(); }

 private:
  std::unordered_map<HWND, CWnd*> permanent_;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary_;
};

// RAII: binds `wnd` to the next window created while it is alive.
class CreationHook {
 public:
  explicit CreationHook(CWnd* wnd);
  ~CreationHook();
  CreationHook(const CreationHook&) = delete;
  CreationHook& operator=(const CreationHook&) = delete;

 private:
  static LRESULT CbtProc(int code, WPARAM wParam, LPARAM lParam);

  CWnd* wnd_;
  HHOOK hook_ = nullptr;
  bool bound_ = false;
  CreationHook* outer_ = nullptr;
};

// The message the innermost framework procedure call is handling (for CWnd::Default).
struct CurrentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
CurrentMessage& Current();

}  // namespace plat
