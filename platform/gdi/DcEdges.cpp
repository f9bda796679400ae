// 3-D edges and the classic frame controls, drawn with the system colours.
//
// DrawEdge, per border (outer first, then inner), for the sides asked for:
//   top-left colour:     row t over [l, r - 1) (to r when the right side is not drawn),
//                        column l over [t, b - 1) (to b when the bottom side is not drawn);
//   bottom-right colour: row b - 1 over [l, r), column r - 1 over [t, b);
// then the rectangle shrinks by one on every drawn side. Colours (top-left / bottom-right):
//   raised outer 3DLIGHT / 3DDKSHADOW, raised inner BTNHIGHLIGHT / BTNSHADOW,
//   sunken outer BTNSHADOW / BTNHIGHLIGHT, sunken inner 3DDKSHADOW / 3DLIGHT.
// BF_FLAT draws the outer border as one BTNSHADOW frame and an inner border as a BTNFACE frame; BF_MONO the outer
// as one WINDOWFRAME frame and an inner as a WINDOW frame. BF_MIDDLE fills what is left with BTNFACE (WINDOW for
// mono); BF_ADJUST hands the shrunk rectangle back. Diagonal edges are not drawn (nothing here uses them).
//
// Frame controls (DrawFrameControl) on the square of side min(w, h) centred in the rectangle for check boxes and
// radio buttons, on the whole rectangle for push buttons and scroll arrows:
//   check box  sunken 2-pixel edge, WINDOW inside (BTNFACE when pushed or inactive), a 7x7 check of three-pixel
//              strokes in WINDOWTEXT (GRAYTEXT inactive) centred in the inside;
//   radio      a circle: outer ring BTNSHADOW (upper-left half) / BTNHIGHLIGHT, inner ring 3DDKSHADOW / 3DLIGHT,
//              WINDOW inside, a round dot of a third of the side in WINDOWTEXT when checked;
//   push       raised edge with BTNFACE middle; pushed: sunken edge (flat with DFCS_FLAT);
//   scroll     a push button with a solid triangle of n = (side + 1) / 4 rows (2n - 1, ..., 1 pixels) in BTNTEXT
//              (GRAYTEXT with a BTNHIGHLIGHT copy one pixel down-right when inactive), moved by (1, 1) when pushed;
//              DFCS_SCROLLSIZEGRIP draws three diagonal grip lines (shadow two pixels, highlight one).
#include <algorithm>

#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/DeviceContext.h"

using namespace plat;

namespace {

void fill(HDC dc, int l, int t, int r, int b, int sysColor) {
  if (r <= l || b <= t) return;
  RECT rc{l, t, r, b};
  FillRect(dc, &rc, GetSysColorBrush(sysColor));
}

void frame(HDC dc, RECT& r, UINT flags, int color) {
  if (flags & BF_TOP) fill(dc, r.left, r.top, r.right, r.top + 1, color);
  if (flags & BF_BOTTOM) fill(dc, r.left, r.bottom - 1, r.right, r.bottom, color);
  if (flags & BF_LEFT) fill(dc, r.left, r.top + ((flags & BF_TOP) ? 1 : 0), r.left + 1, r.bottom - ((flags & BF_BOTTOM) ? 1 : 0), color);
  if (flags & BF_RIGHT) fill(dc, r.right - 1, r.top + ((flags & BF_TOP) ? 1 : 0), r.right, r.bottom - ((flags & BF_BOTTOM) ? 1 : 0), color);
}

void border(HDC dc, RECT& r, UINT flags, int tl, int br) {
  const int topEnd = (flags & BF_RIGHT) ? r.right - 1 : r.right;
  const int leftEnd = (flags & BF_BOTTOM) ? r.bottom - 1 : r.bottom;
  if (flags & BF_TOP) fill(dc, r.left, r.top, topEnd, r.top + 1, tl);
  if (flags & BF_LEFT) fill(dc, r.left, r.top, r.left + 1, leftEnd, tl);
  if (flags & BF_BOTTOM) fill(dc, r.left, r.bottom - 1, r.right, r.bottom, br);
  if (flags & BF_RIGHT) fill(dc, r.right - 1, r.top, r.right, r.bottom, br);
}

void shrink(RECT& r, UINT flags) {
  if (flags & BF_LEFT) ++r.left;
  if (flags & BF_TOP) ++r.top;
  if (flags & BF_RIGHT) --r.right;
  if (flags & BF_BOTTOM) --r.bottom;
}

RECT centredSquare(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int s = std::min(w, h);
  const int l = r.left + (w - s) / 2, t = r.top + (h - s) / 2;
  return RECT{l, t, l + s, t + s};
}

// The classic check mark, 7x7.
constexpr const char* kCheck[7] = {
    "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};

void drawCheck(HDC dc, const RECT& inside, int color) {
  const int w = inside.right - inside.left, h = inside.bottom - inside.top;
  const int x0 = inside.left + (w - 7) / 2, y0 = inside.top + (h - 7) / 2;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x)
      if (kCheck[y][x] == '#') fill(dc, x0 + x, y0 + y, x0 + x + 1, y0 + y + 1, color);
}

void drawRadio(HDC dc, const RECT& box, UINT state) {
  DeviceContext* d = dcOf(dc);
  const RECT s = d->rectToSurface(box);
  const int side = s.right - s.left;
  if (side < 4) return;
  auto ring = [&](const RECT& outer, int tl, int br) {
    const Region r = Region::ellipse(outer).subtracted(
        Region::ellipse(RECT{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1}));
    // Upper-left half: pixels above the anti-diagonal through the centre.
    const int sum = outer.left + outer.right - 1 + outer.top + outer.bottom - 1;
    Paint ptl, pbr;
    ptl.color = d->devicePixel(GetSysColor(tl));
    pbr.color = d->devicePixel(GetSysColor(br));
    for (const RECT& rc : r.rects())
      for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
          d->fillRect(RECT{x, y, x + 1, y + 1}, 2 * (x + y) < sum ? ptl : pbr);
  };
  const bool dim = state & (DFCS_INACTIVE | DFCS_PUSHED);
  Paint inside;
  inside.color = d->devicePixel(GetSysColor(dim ? COLOR_BTNFACE : COLOR_WINDOW));
  d->fillRegion(Region::ellipse(RECT{s.left + 2, s.top + 2, s.right - 2, s.bottom - 2}), inside);
  ring(s, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  ring(RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  if (state & DFCS_CHECKED) {
    const int dot = std::max(2, side / 3);
    const int l = s.left + (side - dot) / 2, t = s.top + (side - dot) / 2;
    Paint p;
    p.color = d->devicePixel(GetSysColor((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    d->fillRegion(Region::ellipse(RECT{l, t, l + dot, t + dot}), p);
  }
}

void drawArrow(HDC dc, const RECT& r, UINT kind, int color, int dx, int dy) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int n = std::max(1, (std::min(w, h) + 1) / 4);
  const bool vertical = kind == DFCS_SCROLLUP || kind == DFCS_SCROLLDOWN || kind == DFCS_SCROLLCOMBOBOX;
  const int cx = r.left + w / 2 + dx, cy = r.top + h / 2 + dy;
  for (int i = 0; i < n; ++i) {
    // Row i of the triangle, counted from the tip; the tip row is one pixel wide.
    const int half = i;
    if (vertical) {
      const bool up = kind == DFCS_SCROLLUP;
      const int y = up ? cy - n / 2 + i : cy + (n - 1) / 2 - i;
      fill(dc, cx - half, y, cx + half + 1, y + 1, color);
    } else {
      const bool left = kind == DFCS_SCROLLLEFT;
      const int x = left ? cx - n / 2 + i : cx + (n - 1) / 2 - i;
      fill(dc, x, cy - half, x + 1, cy + half + 1, color);
    }
  }
}

}  // namespace

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags) {
  DeviceContext* d = dcOf(dc);
  if (!d || !rect) return FALSE;
  RECT r = *rect;
  const UINT sides = flags & BF_RECT;
  const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  if (flags & (BF_FLAT | BF_MONO)) {
    const bool mono = flags & BF_MONO;
    if (outer) {
      frame(dc, r, sides, mono ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
      shrink(r, sides);
    }
    if (inner) {
      frame(dc, r, sides, mono ? COLOR_WINDOW : COLOR_BTNFACE);
      shrink(r, sides);
    }
  } else {
    if (outer) {
      if (outer & BDR_RAISEDOUTER) border(dc, r, sides, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
      else border(dc, r, sides, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
      shrink(r, sides);
    }
    if (inner) {
      if (inner & BDR_RAISEDINNER) border(dc, r, sides, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
      else border(dc, r, sides, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
      shrink(r, sides);
    }
  }
  if (flags & BF_MIDDLE) fill(dc, r.left, r.top, r.right, r.bottom, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
  if (d->recorder() && d->visible(d->rectToSurface(*rect)))
    d->record("edge " + rectText(d->rectToSurface(*rect)) + " edge=" + std::to_string(edge) +
              " flags=" + std::to_string(flags));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state) {
  DeviceContext* d = dcOf(dc);
  if (!d || !rect) return FALSE;
  const UINT flat = (state & DFCS_FLAT) ? BF_FLAT : (state & DFCS_MONO) ? BF_MONO : 0;
  switch (type) {
    case DFC_BUTTON: {
      if (state & DFCS_BUTTONPUSH) {
        RECT r = *rect;
        DrawEdge(dc, &r, (state & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED,
                 BF_RECT | BF_MIDDLE | BF_ADJUST | flat);
        if (state & DFCS_ADJUSTRECT) *rect = r;
        return TRUE;
      }
      const UINT kind = state & 0x1F;
      if (kind == DFCS_BUTTONRADIO || kind == DFCS_BUTTONRADIOIMAGE) {
        drawRadio(dc, centredSquare(*rect), state);
        return TRUE;
      }
      if (kind == DFCS_BUTTONCHECK || kind == DFCS_BUTTON3STATE) {
        RECT box = centredSquare(*rect);
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST | flat);
        const bool dim = (state & (DFCS_INACTIVE | DFCS_PUSHED)) || (kind == DFCS_BUTTON3STATE && (state & DFCS_CHECKED));
        fill(dc, box.left, box.top, box.right, box.bottom, dim ? COLOR_BTNFACE : COLOR_WINDOW);
        if (state & DFCS_CHECKED) {
          const int color = (state & DFCS_INACTIVE) || kind == DFCS_BUTTON3STATE ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
          drawCheck(dc, box, color);
        }
        return TRUE;
      }
      return FALSE;
    }
    case DFC_SCROLL: {
      const UINT kind = state & 0x1F;
      RECT r = *rect;
      if (kind == DFCS_SCROLLSIZEGRIP) {
        fill(dc, r.left, r.top, r.right, r.bottom, COLOR_BTNFACE);
        // Three grip lines across the bottom-right corner: pixels whose distance x' + y' from the corner pixel
        // is 4k + 1 or 4k + 2 in the shadow colour and 4k + 3 in the highlight colour (k = 0, 1, 2).
        const int s = std::min(r.right - r.left, r.bottom - r.top);
        for (int dy = 0; dy < s; ++dy)
          for (int dx = 0; dx < s; ++dx) {
            const int d = dx + dy;
            if (d < 1 || d > 11) continue;
            const int m = d % 4;
            const int x = r.right - 1 - dx, y = r.bottom - 1 - dy;
            if (m == 1 || m == 2) fill(dc, x, y, x + 1, y + 1, COLOR_BTNSHADOW);
            else if (m == 3) fill(dc, x, y, x + 1, y + 1, COLOR_BTNHIGHLIGHT);
          }
        return TRUE;
      }
      if (kind > DFCS_SCROLLCOMBOBOX || kind == 4) return FALSE;
      const bool pushed = state & DFCS_PUSHED;
      // A pushed arrow button is flat, its arrow moved by one pixel down and right.
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | (pushed ? BF_FLAT : flat));
      const int shift = pushed ? 1 : 0;
      if (state & DFCS_INACTIVE) {
        drawArrow(dc, *rect, kind, COLOR_BTNHIGHLIGHT, shift + 1, shift + 1);
        drawArrow(dc, *rect, kind, COLOR_GRAYTEXT, shift, shift);
      } else {
        drawArrow(dc, *rect, kind, COLOR_BTNTEXT, shift, shift);
      }
      return TRUE;
    }
    default:
      // Captions and menu glyphs are not drawn by this platform.
      return FALSE;
  }
}
