// The one look of scroll bars: the non-client bars of WS_HSCROLL/WS_VSCROLL windows and the SCROLLBAR control
// both draw through DrawScrollBarLook, so the two look alike pixel for pixel.
//
//   arrows  DrawFrameControl(DFC_SCROLL): raised buttons with a solid triangle, embossed grey when disabled,
//           flat and moved by a pixel while pressed;
//   track   the checkerboard of face and highlight colours (a monochrome pattern brush takes them from the
//           DC's text and background colours), or the brush a WM_CTLCOLORSCROLLBAR answer gave;
//           the pressed page beside the thumb is inverted;
//   thumb   a raised edge around a face-coloured middle.
#pragma once

#include "platform/base/geometry.h"
#include "platform/gdi/gdiapi.h"

namespace plat {

// The parts of a bar in the DC's coordinates and what they show.
struct ScrollBarLook {
  enum class Part { None, Arrow1, Page1, Page2, Arrow2 };
  bool vertical = true;
  CRect arrow1, arrow2;  // up or left, down or right
  CRect track;           // between the arrows
  CRect thumb;           // within the track; empty: no thumb
  bool arrow1Enabled = true, arrow2Enabled = true;
  Part pressed = Part::None;   // shown pushed (the mouse is on the part it pressed)
  HBRUSH trackBrush = nullptr;  // null or the COLOR_SCROLLBAR brush: the checkerboard
};

void DrawScrollBarLook(HDC dc, const ScrollBarLook& look);

}  // namespace plat
