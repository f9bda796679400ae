// The thread's one caret: owner, size, position, hide count and blinking on the virtual clock.
//
// The platform draws the caret itself, as an inversion over the composed screen, so that window back
// buffers never hold it. Headless it does not blink (it is either shown or hidden); the presenter turns
// blinking on and the phase follows the clock.
#pragma once

#include <cstdint>

#include "platform/base/geometry.h"
#include "platform/window/windowapi.h"

namespace plat {

class Caret {
 public:
  static Caret& Instance();

  bool Create(HWND hwnd, HBITMAP bitmap, int width, int height);
  bool Destroy();
  bool Show(HWND hwnd);
  bool Hide(HWND hwnd);
  bool SetPos(int x, int y);
  bool GetPos(POINT* pt) const;
  void ForgetWindow(HWND hwnd);
  void Reset();

  HWND Owner() const { return owner_; }
  bool Exists() const { return owner_ != nullptr; }
  int HideCount() const { return hideCount_; }
  // Shown (hide count 0) and, when blinking, in the "on" half of its period.
  bool IsDrawn() const;
  // Caret rectangle in the owner's client coordinates.
  CRect Rect() const { return CRect(pos_.x, pos_.y, pos_.x + size_.cx, pos_.y + size_.cy); }

  UINT blinkMs = 530;
  bool blinking = false;

 private:
  HWND owner_ = nullptr;
  CPoint pos_;
  CSize size_;
  int hideCount_ = 1;  // a new caret starts hidden
  std::uint64_t phaseStart_ = 0;
};

}  // namespace plat
