#include "platform/window/Caret.h"

#include "platform/base/VirtualClock.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {
void Changed(HWND hwnd) {
  WindowManager& wm = WindowManager::Instance();
  if (hwnd && wm.onWindowChanged) wm.onWindowChanged(hwnd);
}
}  // namespace

Caret& Caret::Instance() {
  static Caret caret;
  return caret;
}

bool Caret::Create(HWND hwnd, HBITMAP, int width, int height) {
  if (!WindowManager::Instance().Get(hwnd)) return false;
  Destroy();
  owner_ = hwnd;
  // Zero sizes mean the system's border width and a height of one line of the system font.
  size_ = CSize(width > 0 ? width : 1, height > 0 ? height : 16);
  pos_ = CPoint(0, 0);
  hideCount_ = 1;
  phaseStart_ = VirtualClock::NowMs();
  return true;
}

bool Caret::Destroy() {
  if (!owner_) return false;
  HWND old = owner_;
  owner_ = nullptr;
  hideCount_ = 1;
  Changed(old);
  return true;
}

bool Caret::Show(HWND hwnd) {
  if (!owner_ || (hwnd && hwnd != owner_)) return false;
  if (hideCount_ > 0 && --hideCount_ == 0) {
    phaseStart_ = VirtualClock::NowMs();
    Changed(owner_);
  }
  return true;
}

bool Caret::Hide(HWND hwnd) {
  if (!owner_ || (hwnd && hwnd != owner_)) return false;
  if (hideCount_++ == 0) Changed(owner_);
  return true;
}

bool Caret::SetPos(int x, int y) {
  if (!owner_) return false;
  pos_ = CPoint(x, y);
  phaseStart_ = VirtualClock::NowMs();  // moving restarts the "on" phase, so typing never hides it
  Changed(owner_);
  return true;
}

bool Caret::GetPos(POINT* pt) const {
  if (!pt) return false;
  *pt = owner_ ? static_cast<POINT>(pos_) : POINT{0, 0};
  return owner_ != nullptr;
}

bool Caret::IsDrawn() const {
  if (!owner_ || hideCount_ > 0) return false;
  if (!blinking || blinkMs == 0) return true;
  return ((VirtualClock::NowMs() - phaseStart_) / blinkMs) % 2 == 0;
}

void Caret::ForgetWindow(HWND hwnd) {
  if (owner_ == hwnd) {
    owner_ = nullptr;
    hideCount_ = 1;
  }
}

void Caret::Reset() {
  owner_ = nullptr;
  hideCount_ = 1;
  blinking = false;
  blinkMs = 530;
}

}  // namespace plat
