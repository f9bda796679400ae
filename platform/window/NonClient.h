// The non-client layout: frame widths, caption, standard scroll bars and their parts, hit testing.
//
// Sizes come from the system metrics (border, dialog frame, sizing frame, caption, edge, scroll bars), so a
// test that changes a metric sees every layout follow; arrow buttons are square and a proportional thumb is
// at least 8 pixels long.
#pragma once

#include "platform/base/geometry.h"
#include "platform/window/Window.h"

namespace plat {

struct FrameInsets;

struct NonClient {
  static int Border();
  static int DlgFrame();
  static int SizeFrame();
  static int Caption();
  static int SmallCaption();
  static int ClientEdge();
  static int StaticEdge();
  static int ScrollWidth();   // SM_CXVSCROLL
  static int ScrollHeight();  // SM_CYHSCROLL
  static constexpr int kMinThumb = 8;

  static FrameInsets Insets(DWORD style, DWORD exStyle);
  // Caption rectangle in window coordinates (empty without WS_CAPTION).
  static CRect CaptionRect(const Window& w);
  // A box of the caption in window coordinates, by its hit code; empty when the window has none. The close box
  // (HTCLOSE) sits at the right end of a caption with WS_SYSMENU; with a minimise or maximise box style both
  // HTMAXBUTTON and HTMINBUTTON stand to its left (the one whose style is missing is drawn disabled).
  static CRect CaptionBoxRect(const Window& w, int hit);
  // A standard scroll bar's rectangle in window coordinates (empty when the bar is hidden).
  static CRect ScrollBarRect(const Window& w, int bar);

  // The parts of a scroll bar along its axis, in window coordinates.
  struct BarParts {
    CRect whole, arrow1, arrow2, page1, thumb, page2;
    bool hasThumb = false;
  };
  static BarParts ScrollBarParts(const Window& w, int bar);
  // Thumb position for a scroll position and back, along a track of the given length.
  static int ThumbOffset(const ScrollBarState& s, int track, int thumbLen);
  static int ThumbLength(const ScrollBarState& s, int track);
  static int PosFromThumb(const ScrollBarState& s, int track, int thumbLen, int offset);
  static bool CanScroll(const ScrollBarState& s);

  // The classic default WM_NCHITTEST answer for a screen point.
  static int HitTest(const Window& w, const CRect& screenRect, POINT screen);
};

}  // namespace plat
