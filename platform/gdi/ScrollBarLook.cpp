#include "platform/gdi/ScrollBarLook.h"

#include "platform/gdi/SysColors.h"

namespace plat {

namespace {

HBRUSH CheckerBrush() {
  static HBRUSH brush = [] {
    const WORD bits[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH b = CreatePatternBrush(bm);
    DeleteObject(bm);
    return b;
  }();
  return brush;
}

// The checkerboard starts at the bar's own top-left corner, so a bar looks the same wherever it lies in its DC
// (a window's bar sits at the window's right edge, a control's at its client origin).
void FillTrack(HDC dc, const CRect& r, HBRUSH given, POINT barOrigin) {
  if (r.IsRectEmpty()) return;
  if (given && given != GetSysColorBrush(COLOR_SCROLLBAR)) {
    FillRect(dc, &r, given);
    return;
  }
  LPtoDP(dc, &barOrigin, 1);
  POINT oldOrigin{};
  SetBrushOrgEx(dc, (8 - (barOrigin.x & 7)) & 7, (8 - (barOrigin.y & 7)) & 7, &oldOrigin);
  const COLORREF text = SetTextColor(dc, GetSysColor(COLOR_3DFACE));
  const COLORREF back = SetBkColor(dc, GetSysColor(COLOR_3DHILIGHT));
  FillRect(dc, &r, CheckerBrush());
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

void Arrow(HDC dc, CRect r, UINT kind, bool enabled, bool pressed) {
  if (r.IsRectEmpty()) return;
  UINT state = kind;
  if (!enabled) state |= DFCS_INACTIVE;
  if (pressed) state |= DFCS_PUSHED | DFCS_FLAT;
  DrawFrameControl(dc, &r, DFC_SCROLL, state);
}

}  // namespace

void DrawScrollBarLook(HDC dc, const ScrollBarLook& look) {
  using Part = ScrollBarLook::Part;
  Arrow(dc, look.arrow1, look.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, look.arrow1Enabled,
        look.pressed == Part::Arrow1);
  Arrow(dc, look.arrow2, look.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, look.arrow2Enabled,
        look.pressed == Part::Arrow2);
  FillTrack(dc, look.track, look.trackBrush, look.arrow1.TopLeft());
  if (look.thumb.IsRectEmpty()) return;
  // The pages on either side of the thumb; the pressed one shows inverted.
  CRect page1 = look.track, page2 = look.track;
  if (look.vertical) {
    page1.bottom = look.thumb.top;
    page2.top = look.thumb.bottom;
  } else {
    page1.right = look.thumb.left;
    page2.left = look.thumb.right;
  }
  if (look.pressed == Part::Page1 && !page1.IsRectEmpty()) InvertRect(dc, &page1);
  if (look.pressed == Part::Page2 && !page2.IsRectEmpty()) InvertRect(dc, &page2);
  CRect thumb = look.thumb;
  FillRect(dc, &thumb, GetSysColorBrush(COLOR_3DFACE));
  DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
}

}  // namespace plat
