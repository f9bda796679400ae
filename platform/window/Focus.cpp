// Keyboard focus, activation of top-level windows and mouse capture.
#include <utility>

#include "platform/window/WindowManager.h"

namespace plat {

HWND WindowManager::SetFocusTo(HWND hwnd) {
  HWND old = focus;
  if (hwnd && (!Get(hwnd) || IsDesktop(hwnd))) return nullptr;
  if (hwnd == old) return old;
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
    Send(before, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (focus != before) return old;  // the handler moved the focus itself
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
  if (hwnd == old) return old;
  if (hwnd && (!Get(hwnd) || IsDesktop(hwnd))) return nullptr;
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
