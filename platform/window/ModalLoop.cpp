#include "platform/window/ModalLoop.h"

#include <algorithm>
#include <vector>

#include "platform/window/MessageQueue.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {
std::vector<ModalLoop*>& Stack() {
  static std::vector<ModalLoop*> stack;
  return stack;
}
}  // namespace

ModalLoop::ModalLoop() = default;

ModalLoop::ModalLoop(Options options) : options_(std::move(options)) {}

ModalLoop::~ModalLoop() { std::erase(Stack(), this); }

ModalLoop* ModalLoop::Innermost() { return Stack().empty() ? nullptr : Stack().back(); }

HWND ModalLoop::BoxOver(HWND disabled) {
  WindowManager& wm = WindowManager::Instance();
  const std::vector<ModalLoop*>& stack = Stack();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    const Window* w = wm.Get((*it)->options_.window);
    if (w && wm.IsVisible(*w) && !(w->style & WS_DISABLED) && wm.IsOwnedBy(w->hwnd, disabled)) return w->hwnd;
  }
  return nullptr;
}

HWND ModalLoop::InnermostWindow() {
  WindowManager& wm = WindowManager::Instance();
  const std::vector<ModalLoop*>& stack = Stack();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    const Window* w = wm.Get((*it)->options_.window);
    if (!(*it)->ended_ && w && wm.IsVisible(*w) && wm.TakesInput(w->hwnd)) return w->hwnd;
  }
  return nullptr;
}

std::vector<HWND> ModalLoop::WindowsOver(HWND owner) {
  WindowManager& wm = WindowManager::Instance();
  std::vector<HWND> over;
  const std::vector<ModalLoop*>& stack = Stack();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    const HWND window = (*it)->options_.window;
    if (!(*it)->ended_ && wm.Get(window) && wm.IsOwnedBy(window, owner)) over.push_back(window);
  }
  return over;
}

bool ModalLoop::IsDroppedWhileBusy(UINT m) {
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
         (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK) || m == WM_COMMAND;
}

void ModalLoop::SendCancelMode() {
  WindowManager& wm = WindowManager::Instance();
  HWND target = wm.Get(wm.capture) ? wm.capture : wm.focus;
  if (wm.Get(target)) wm.Send(target, WM_CANCELMODE, 0, 0);
}

void ModalLoop::End(int result) {
  result_ = result;
  ended_ = true;
}

void ModalLoop::Answer(int result) {
  End(result);
  if (running_ && Innermost() != this && IsWindowVisible(options_.window)) ShowWindow(options_.window, SW_HIDE);
}

int ModalLoop::Run() {
  MessageQueue& queue = MessageQueue::Instance();
  HWND owner = options_.owner;
  const bool reenable = owner && IsWindowEnabled(owner);
  if (reenable) EnableWindow(owner, FALSE);
  running_ = true;
  ended_ = false;
  Stack().push_back(this);
  struct Restore {
    ModalLoop* self;
    HWND owner;
    bool reenable;
    ~Restore() {
      std::erase(Stack(), self);
      self->running_ = false;
      if (self->options_.letGo) self->options_.letGo();
      if (reenable && IsWindow(owner)) EnableWindow(owner, TRUE);
    }
  } restore{this, owner, reenable};

  int idleCount = 0;
  while (!ended_) {
    MSG msg;
    if (queue.Peek(&msg, nullptr, 0, 0, PM_REMOVE)) {
      idleCount = 0;
      if (msg.message == WM_QUIT) {
        queue.PostQuit(static_cast<int>(msg.wParam));
        result_ = kQuitResult;
        break;
      }
      if (options_.dropInput && IsDroppedWhileBusy(msg.message)) continue;
      if (options_.preTranslate && options_.preTranslate(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
      continue;
    }
    if (options_.onIdle && options_.onIdle(idleCount++)) continue;
    if (ended_) break;
    queue.WaitForWork("modal loop");
  }
  return result_;
}

bool ModalLoop::PumpWhileBusy(const std::function<bool(int)>& onIdle) {
  MessageQueue& queue = MessageQueue::Instance();
  MSG msg;
  while (queue.Peek(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      queue.PostQuit(static_cast<int>(msg.wParam));
      return false;
    }
    if (IsDroppedWhileBusy(msg.message)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  if (onIdle) {
    int count = 0;
    while (onIdle(count++)) {
    }
  }
  return true;
}

}  // namespace plat
