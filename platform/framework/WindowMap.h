// The framework's handle maps and the hook that binds an object to a window while it is being created.
//
// Permanent map: HWND -> the CWnd that owns it (created or subclassed by the framework, or attached).
// Temporary map: wrappers made by CWnd::FromHandle for windows nobody owns; freed at idle.
//
// Binding at creation. The first message a new window gets (WM_GETMINMAXINFO or WM_NCCREATE) must already
// reach its object, or typed handlers for WM_NCCREATE/WM_CREATE would never run. The window manager offers
// no creation hook, so CreationHook swaps the class's procedure for a binder procedure for the span of one
// CreateWindowEx call: the binder takes the first message, binds the object, gives the class its procedure
// back, gives the window the framework procedure (keeping the class procedure as the object's super
// procedure) and hands the message on. Nested creations stack.
#pragma once

#include <memory>
#include <unordered_map>

#include "platform/window/windowapi.h"

class CWnd;

namespace plat {

struct WindowClass;

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

// RAII: binds `wnd` to the next window of class `className` created while it is alive.
class CreationHook {
 public:
  CreationHook(CWnd* wnd, LPCSTR className, HINSTANCE instance);
  ~CreationHook();
  CreationHook(const CreationHook&) = delete;
  CreationHook& operator=(const CreationHook&) = delete;

 private:
  static LRESULT BinderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Restore();

  CWnd* wnd_;
  std::shared_ptr<WindowClass> cls_;
  WNDPROC classProc_ = nullptr;
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
