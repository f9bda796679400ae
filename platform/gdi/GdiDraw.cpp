// The classic drawing functions: lines, shapes, fills, regions painted, pixels and focus rectangles.
#include <algorithm>

#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/PrintJob.h"

using namespace plat;

namespace {

// FillRect & co accept a system colour index + 1 in place of a brush, as the classic functions do.
HGDIOBJ brushArg(HBRUSH b) {
  const auto v = reinterpret_cast<std::uintptr_t>(b);
  if (v >= 1 && v <= static_cast<std::uintptr_t>(COLOR_COUNT)) return GetSysColorBrush(static_cast<int>(v - 1));
  return b;
}

// A region's logical rectangles in surface coordinates.
Region regionToSurface(const DeviceContext& d, const Region& r) {
  if (d.isIdentityScale()) {
    Region out = r;
    const POINT o = d.toSurface(0, 0);
    out.offset(o.x, o.y);
    return out;
  }
  std::vector<RECT> rects;
  for (const RECT& rc : r.rects()) {
    RECT s = d.rectToSurface(rc);
    rects.push_back(RECT{std::min(s.left, s.right), std::min(s.top, s.bottom), std::max(s.left, s.right),
                         std::max(s.top, s.bottom)});
  }
  return Region::fromRects(rects);
}

}  // namespace

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT old) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  if (old) *old = d->state().cur;
  d->state().cur = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  DeviceContext* d = dcOf(dc);
  return d && d->lineTo(x, y) ? TRUE : FALSE;
}

BOOL Polyline(HDC dc, const POINT* pts, int count) {
  DeviceContext* d = dcOf(dc);
  return d && d->polyline(pts, count) ? TRUE : FALSE;
}

BOOL PolylineTo(HDC dc, const POINT* pts, DWORD count) {
  DeviceContext* d = dcOf(dc);
  if (!d || !pts) return FALSE;
  for (DWORD i = 0; i < count; ++i) d->lineTo(pts[i].x, pts[i].y);
  return TRUE;
}

BOOL PolyPolyline(HDC dc, const POINT* pts, const DWORD* counts, DWORD polys) {
  DeviceContext* d = dcOf(dc);
  if (!d || !pts || !counts) return FALSE;
  size_t at = 0;
  for (DWORD i = 0; i < polys; ++i) {
    if (!d->polyline(pts + at, static_cast<int>(counts[i]))) return FALSE;
    at += counts[i];
  }
  return TRUE;
}

BOOL Polygon(HDC dc, const POINT* pts, int count) {
  DeviceContext* d = dcOf(dc);
  return d && d->polygon(pts, count) ? TRUE : FALSE;
}

BOOL PolyPolygon(HDC dc, const POINT* pts, const INT* counts, int polys) {
  DeviceContext* d = dcOf(dc);
  return d && d->polyPolygon(pts, counts, polys) ? TRUE : FALSE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* d = dcOf(dc);
  return d && d->rectangle(left, top, right, bottom) ? TRUE : FALSE;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int w, int h) {
  DeviceContext* d = dcOf(dc);
  return d && d->roundRect(left, top, right, bottom, w, h) ? TRUE : FALSE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* d = dcOf(dc);
  return d && d->ellipse(left, top, right, bottom) ? TRUE : FALSE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  DeviceContext* d = dcOf(dc);
  if (!d || !d->surface()) return CLR_INVALID;
  const POINT p = d->toSurface(x, y);
  if (!d->clip().contains(p.x, p.y)) return CLR_INVALID;
  const Pixel px = d->devicePixel(color);
  d->surface()->setPixel(p.x, p.y, px);
  if (PrintJob* pdf = d->vectorPage()) pdf->vectorFill(RECT{p.x, p.y, p.x + 1, p.y + 1}, px);
  if (d->recorder()) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "pixel %d,%d #%06X", static_cast<int>(p.x), static_cast<int>(p.y),
                  static_cast<unsigned>(px & 0xFFFFFFu));
    d->record(buf);
  }
  return colorFromPixel(px);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) { return SetPixel(dc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC dc, int x, int y) {
  DeviceContext* d = dcOf(dc);
  if (!d || !d->surface()) return CLR_INVALID;
  const POINT p = d->toSurface(x, y);
  if (!d->clip().contains(p.x, p.y)) return CLR_INVALID;
  return colorFromPixel(d->surface()->pixel(p.x, p.y));
}

COLORREF GetNearestColor(HDC dc, COLORREF color) {
  DeviceContext* d = dcOf(dc);
  if (!d) return CLR_INVALID;
  return colorFromPixel(d->devicePixel(color));
}

int FillRect(HDC dc, const RECT* r, HBRUSH brush) {
  DeviceContext* d = dcOf(dc);
  const HGDIOBJ b = brushArg(brush);
  if (!d || !r || !brushOf(b)) return FALSE;
  return d->fillLogicalRect(*r, b) ? TRUE : FALSE;
}

int FrameRect(HDC dc, const RECT* r, HBRUSH brush) {
  DeviceContext* d = dcOf(dc);
  const HGDIOBJ b = brushArg(brush);
  if (!d || !r || !brushOf(b)) return FALSE;
  return d->frameLogicalRect(*r, b) ? TRUE : FALSE;
}

BOOL InvertRect(HDC dc, const RECT* r) {
  DeviceContext* d = dcOf(dc);
  if (!d || !r) return FALSE;
  const RECT s = d->rectToSurface(*r);
  d->invertRect(s);
  if (d->recorder())
    if (auto v = d->visible(s)) d->record("invert " + rectText(*v));
  return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* r) {
  DeviceContext* d = dcOf(dc);
  if (!d || !r || !d->surface()) return FALSE;
  const RECT s = d->rectToSurface(*r);
  if (s.right <= s.left || s.bottom <= s.top) return TRUE;
  // Every other pixel of the one-pixel frame, on a checkerboard aligned to the DC's device origin, inverted.
  const Region frame = Region(s).subtracted(Region(RECT{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1}));
  const POINT o = d->origin();
  Surface& surf = *d->surface();
  for (const RECT& fr : frame.rects()) {
    d->forEachClipped(fr, [&](const RECT& c) {
      for (int y = c.top; y < c.bottom; ++y)
        for (int x = c.left; x < c.right; ++x)
          if (((x - o.x + y - o.y) & 1) == 0) surf.row(y)[x] ^= 0x00FFFFFFu;
    });
  }
  d->rasterChanged(s);
  if (d->recorder() && d->visible(s)) d->record("focus " + rectText(s));
  return TRUE;
}

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
  DeviceContext* d = dcOf(dc);
  RegionObject* r = regionOf(rgn);
  const HGDIOBJ b = brushArg(brush);
  if (!d || !r || !brushOf(b)) return FALSE;
  const Region s = regionToSurface(*d, r->region);
  d->fillRegion(s, d->brushPaint(b));
  if (d->recorder()) {
    const Region v = s.intersected(d->clip());
    if (!v.empty()) d->record("fillrgn " + rectText(v.bounds()) + " n=" + std::to_string(v.rects().size()));
  }
  return TRUE;
}

BOOL PaintRgn(HDC dc, HRGN rgn) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  return FillRgn(dc, rgn, static_cast<HBRUSH>(d->state().brush));
}

BOOL InvertRgn(HDC dc, HRGN rgn) {
  DeviceContext* d = dcOf(dc);
  RegionObject* r = regionOf(rgn);
  if (!d || !r) return FALSE;
  const Region s = regionToSurface(*d, r->region);
  for (const RECT& rc : s.rects()) d->invertRect(rc);
  return TRUE;
}

BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h) {
  DeviceContext* d = dcOf(dc);
  RegionObject* r = regionOf(rgn);
  const HGDIOBJ b = brushArg(brush);
  if (!d || !r || !brushOf(b) || w < 0 || h < 0) return FALSE;
  // The frame is the region minus its erosion by w horizontally and h vertically.
  const Region& src = r->region;
  Region eroded = src;
  for (auto [dx, dy] : {std::pair{w, 0}, std::pair{-w, 0}, std::pair{0, h}, std::pair{0, -h}}) {
    Region moved = src;
    moved.offset(dx, dy);
    eroded = eroded.intersected(moved);
  }
  d->fillRegion(regionToSurface(*d, src.subtracted(eroded)), d->brushPaint(b));
  return TRUE;
}
