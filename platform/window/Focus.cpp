// Keyboard focus, activation of top-level windows and mouse capture.
//
// A disabled window never becomes the focus or the active window, whichever path asks: SetFocus refuses it,
// SetActiveWindow, SetForegroundWindow, ShowWindow and SetWindowPos activate the box that holds its input instead,
// and the activation that a hidden or destroyed window (a box or dialog that ends) hands on skips it (NextActive).
#include <utility>

#include "platform/window/ModalLoop.h"
#include "platform/window/WindowManager.h"

namespace plat {

bool WindowManager::TakesInput(HWND hwnd) const {
  const Window* w = Get(hwnd);
  if (!w || IsDesktop(hwnd)) return false;
  for (; w && !IsDesktop(w->hwnd); w = w->IsChild() ? Get(w->parent) : nullptr)
    if ((w->style & WS_DISABLED) || w->destroying) return false;
  return true;
}

HWND WindowManager::ActivationFor(HWND top) const {
  if (TakesInput(top)) return top;
  return Get(top) ? ModalLoop::BoxOver(top) : nullptr;
}

HWND WindowManager::NextActive(HWND leaving) const {
  const Window* w = Get(leaving);
  auto fits = [&](HWND c) {
    const Window* t = Get(c);
    return t && c != leaving && IsVisible(*t) && TakesInput(c);
  };
  if (w && fits(w->owner)) return w->owner;
  if (w && Get(w->owner))
    if (HWND box = ModalLoop::BoxOver(w->owner); fits(box)) return box;
  if (HWND box = ModalLoop::InnermostWindow(); fits(box) && !IsOwnedBy(box, leaving)) return box;
  for (HWND top : Get(desktop_)->children)
    if (fits(top)) return top;
  return nullptr;
}

HWND WindowManager::SetFocusTo(HWND hwnd) {
  HWND old = focus;
  if (hwnd && (!Get(hwnd) || IsDesktop(hwnd))) return nullptr;
  if (hwnd == old) return old;
  // A window that is disabled, or lies in one (such as a dialog under its modal box), takes no focus: a focus
  // set there would activate the window under the box, and the keys meant for the box would go to it.
  if (hwnd && !TakesInput(hwnd)) return nullptr;
  if (hwnd) {
    // Focusing a window inside an inactive top-level window activates that window first; the focus goes
    // straight to `hwnd`, not back to the window kept when the top-level window lost it.
    HWND top = TopLevelOf(hwnd);
    if (top != active) {
      if (Window* t = Get(top)) t->focusTaken = nullptr;
      Activate(top, WA_ACTIVE);
      if (!Get(hwnd)) return nullptr;
      if (focus == hwnd) return old;
    }
  }
  HWND before = focus;
  // WM_KILLFOCUS names the window that gains the focus, WM_SETFOCUS the one that lost it; both go out
  // before SetFocus returns.
  if (before && Get(before)) {
    HWND leaving = std::exchange(focusLeaving_, before);
    Send(before, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    focusLeaving_ = leaving;
    // The handler moved the focus itself; a window destroyed in its handler leaves the focus to go on.
    if (focus != before && (focus || Get(before))) return old;
    if (hwnd && !Get(hwnd)) return old;
  }
  focus = hwnd;
  if (hwnd && Get(hwnd)) Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(before), 0);
  return old;
}

void WindowManager::KeepFocusOf(HWND top) {
  if (Window* t = Get(top); t && focus && IsAncestor(top, focus)) t->focusTaken = focus;
}

HWND WindowManager::TakeFocusOnActivation(HWND top) {
  Window* t = Get(top);
  if (!t) return nullptr;
  HWND kept = std::exchange(t->focusTaken, nullptr);
  if (!Get(kept) || !IsAncestor(top, kept)) return top;
  for (Window* w = Get(kept); w && w->hwnd != top; w = Get(w->parent))
    if (w->destroying || !(w->style & WS_VISIBLE) || (w->style & WS_DISABLED)) return top;
  return kept;
}

HWND WindowManager::Activate(HWND hwnd, WORD how) {
  HWND old = active;
  if (hwnd && (!Get(hwnd) || IsDesktop(hwnd))) return nullptr;
  // A disabled window's activation goes to the box that holds its input; without one the activation stays.
  if (hwnd && !(hwnd = ActivationFor(hwnd))) return nullptr;
  if (hwnd == old) return old;
  if (old && Get(old)) {
    KeepFocusOf(old);
    Send(old, WM_NCACTIVATE, FALSE, 0);
    if (Get(old)) Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    if (Window* ow = Get(old)) {
      ow->ncPaint = true;
      if (onWindowChanged) onWindowChanged(old);
    }
  }
  active = hwnd;
  if (!hwnd) {
    if (focus) SetFocusTo(nullptr);
    return old;
  }
  Window* w = Get(hwnd);
  Reorder(*w, HWND_TOP);
  w->ncPaint = true;
  if (onWindowChanged) onWindowChanged(hwnd);
  Send(hwnd, WM_NCACTIVATE, TRUE, 0);
  if (Get(hwnd) && active == hwnd)
    Send(hwnd, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(Get(old) ? old : nullptr));
  return old;
}

HWND WindowManager::SetCaptureTo(HWND hwnd) {
  HWND old = capture;
  if (hwnd && !Get(hwnd)) return nullptr;
  if (hwnd == old) return old;
  capture = hwnd;
  if (old && Get(old)) Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

bool WindowManager::ReleaseCaptureNow() {
  HWND old = capture;
  if (!old) return true;
  capture = nullptr;
  if (Get(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

}  // namespace plat
