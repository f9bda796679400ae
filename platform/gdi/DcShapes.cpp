// Lines, pens and filled shapes with the classic pixel rules.
//
// Rules honoured here:
// - A one-pixel line from a to b paints a and stops before b (Bresenham, x-major or y-major).
// - Cosmetic dash patterns, in pixels (on, off, ...): DASH 18/6, DOT 3/3, DASHDOT 9/6/3/6, DASHDOTDOT 9/3/3/3/3/3,
//   ALTERNATE 1/1. The pattern restarts at every LineTo and runs on through the segments of one Polyline; in
//   OPAQUE mode the gaps take the background colour.
// - Wider pens are centred across the line (from -floor((w-1)/2) to +floor(w/2) pixels); flat caps stop where a
//   one-pixel line stops, square and round caps extend each end by floor(w/2) (round caps are drawn square: at the
//   widths in use the difference is a corner pixel).
// - Rectangle, Ellipse, RoundRect: the outline stays inside [l, r) x [t, b) for one-pixel and inside-frame pens;
//   wider pens are centred on the outline pixels. With a null pen the filled figure is one pixel smaller in width
//   and height (the classic quirk). Coordinates are put in order first.
// - Every pixel of a figure is written once, so XOR pens and brushes invert it exactly once.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/DeviceContext.h"

namespace plat {

namespace {

struct PenInfo {
  bool none = true;
  Pixel color = kOpaque;
  int width = 1;  // device pixels
  int style = PS_SOLID;
  int endCap = PS_ENDCAP_ROUND;
  bool insideFrame = false;
  COLORREF colorRef = 0;
};

const std::vector<int>& dashPattern(int style) {
  static const std::vector<int> kSolid{};
  static const std::vector<int> kDash{18, 6};
  static const std::vector<int> kDot{3, 3};
  static const std::vector<int> kDashDot{9, 6, 3, 6};
  static const std::vector<int> kDashDotDot{9, 3, 3, 3, 3, 3};
  static const std::vector<int> kAlternate{1, 1};
  switch (style) {
    case PS_DASH: return kDash;
    case PS_DOT: return kDot;
    case PS_DASHDOT: return kDashDot;
    case PS_DASHDOTDOT: return kDashDotDot;
    case PS_ALTERNATE: return kAlternate;
    default: return kSolid;
  }
}

// Walks a dash pattern one pixel at a time; skip() jumps over pixels that are clipped away.
class DashState {
 public:
  explicit DashState(int style) : pattern_(dashPattern(style)) {
    for (int n : pattern_) period_ += n;
  }
  bool solid() const { return pattern_.empty(); }
  // True when the next pixel is "on"; advances.
  bool next() {
    if (pattern_.empty()) return true;
    long long p = pos_;
    pos_ = (pos_ + 1) % period_;
    for (size_t i = 0; i < pattern_.size(); ++i) {
      if (p < pattern_[i]) return i % 2 == 0;
      p -= pattern_[i];
    }
    return true;
  }
  void skip(long long n) {
    if (!pattern_.empty() && n > 0) pos_ = (pos_ + n % period_) % period_;
  }

 private:
  const std::vector<int>& pattern_;
  long long period_ = 0;
  long long pos_ = 0;
};

std::string colorText(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

}  // namespace

// The clip box grown by a margin: figures are computed only there (a margin keeps the deflated inner figure of a
// wide outline exact near the edges).
static RECT paddedClipBox(const DeviceContext& dc) {
  const RECT b = dc.clip().bounds();
  constexpr int kMargin = 64;
  return RECT{b.left - kMargin, b.top - kMargin, b.right + kMargin, b.bottom + kMargin};
}

Region roundRectRegion(const RECT& box, int w, int h, const RECT& within) {
  w = std::min<int>(std::abs(w), box.right - box.left);
  h = std::min<int>(std::abs(h), box.bottom - box.top);
  if (w < 2 || h < 2) return Region(box).intersected(within);
  // Each corner is a quarter of the w x h ellipse; a row's inset from the sides is where that ellipse's span
  // starts on the matching row of the ellipse (computed as Region::ellipse does).
  const double a = w / 2.0, b = h / 2.0;
  const int half = h / 2;
  std::vector<RECT> rows;
  for (int y = std::max(box.top, within.top); y < std::min(box.bottom, within.bottom); ++y) {
    int inset = 0;
    bool corner = false;
    int ey = 0;  // row within the corner ellipse's box
    if (y < box.top + half) {
      corner = true;
      ey = y - box.top;
    } else if (y >= box.bottom - half) {
      corner = true;
      ey = h - 1 - (box.bottom - 1 - y);
    }
    if (corner) {
      const double dy = (ey + 0.5 - b) / b;
      const double dx = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
      inset = static_cast<int>(std::lround(a - dx));
    }
    const int l = std::max<int>(box.left + inset, within.left), r = std::min<int>(box.right - inset, within.right);
    if (l < r) rows.push_back(RECT{l, y, r, y + 1});
  }
  return Region::fromRects(rows);
}

Region roundRectRegion(const RECT& box, int w, int h) { return roundRectRegion(box, w, h, Region::kFigureLimit); }

static PenInfo penInfo(const DeviceContext& dc) {
  PenInfo p;
  const PenObject* pen = penOf(dc.state().pen);
  if (!pen || pen->style == PS_NULL) return p;
  p.none = false;
  p.colorRef = resolveColor(pen->dcPen ? dc.state().dcPenColor : pen->color);
  p.color = dc.devicePixel(p.colorRef);
  p.style = pen->style;
  p.endCap = pen->geometric ? pen->endCap : PS_ENDCAP_ROUND;
  p.insideFrame = pen->style == PS_INSIDEFRAME;
  p.width = pen->width <= 1 ? 1 : std::max(1, dc.lengthToDeviceX(pen->width));
  if (!pen->geometric && pen->width <= 1) p.width = 1;
  return p;
}

// One-pixel line from a to b (surface coordinates), end point excluded.
static void thinLine(DeviceContext& dc, POINT a, POINT b, const PenInfo& pen, DashState& dash) {
  const Pixel gap = dc.devicePixel(dc.state().bkColor);
  const bool opaqueGaps = dc.state().bkMode == OPAQUE;
  if (dash.solid() && (a.x == b.x || a.y == b.y)) {
    if (a.y == b.y && a.x != b.x) {
      const int x0 = a.x < b.x ? a.x : b.x + 1, x1 = a.x < b.x ? b.x : a.x + 1;
      dc.penRect(RECT{x0, a.y, x1, a.y + 1}, pen.color);
    } else if (a.x == b.x && a.y != b.y) {
      const int y0 = a.y < b.y ? a.y : b.y + 1, y1 = a.y < b.y ? b.y : a.y + 1;
      dc.penRect(RECT{a.x, y0, a.x + 1, y1}, pen.color);
    }
    return;
  }
  // Pixel i of the line (0 <= i < steps) is at major a + i and minor a + round(i * dMinor / dMajor), ties
  // rounding up: Bresenham's choice. Only the steps whose major coordinate falls inside the clip box are walked,
  // so a line running far outside the surface costs nothing.
  const long long dx = std::llabs(static_cast<long long>(b.x) - a.x), dy = std::llabs(static_cast<long long>(b.y) - a.y);
  const long long steps = std::max(dx, dy);
  if (steps == 0) return;
  const bool xMajor = dx >= dy;
  const long long dMaj = xMajor ? dx : dy, dMin = xMajor ? dy : dx;
  const int sMaj = (xMajor ? a.x < b.x : a.y < b.y) ? 1 : -1;
  const int sMin = (xMajor ? a.y < b.y : a.x < b.x) ? 1 : -1;
  const long long maj0 = xMajor ? a.x : a.y, min0 = xMajor ? a.y : a.x;
  const Region& clip = dc.clip();
  if (clip.empty()) {
    dash.skip(steps);
    return;
  }
  const RECT box = clip.bounds();
  const long long lo = xMajor ? box.left : box.top, hi = (xMajor ? box.right : box.bottom) - 1;
  const long long i0 = std::max(0LL, sMaj > 0 ? lo - maj0 : maj0 - hi);
  const long long i1 = std::min(steps - 1, sMaj > 0 ? hi - maj0 : maj0 - lo);
  if (i0 > i1) {
    dash.skip(steps);
    return;
  }
  dash.skip(i0);
  for (long long i = i0; i <= i1; ++i) {
    const auto minor = static_cast<long long>((static_cast<__int128>(2) * i * dMin + dMaj) / (2 * static_cast<__int128>(dMaj)));
    const long long major = maj0 + sMaj * i, mnr = min0 + sMin * minor;
    const int x = static_cast<int>(xMajor ? major : mnr), y = static_cast<int>(xMajor ? mnr : major);
    const bool on = dash.next();
    if (on) dc.penPixel(x, y, pen.color);
    else if (opaqueGaps) dc.penPixel(x, y, gap);
  }
  dash.skip(steps - 1 - i1);
}

// Wide line: the pixels whose centres fall inside the pen's rectangle around the segment.
static void wideLine(DeviceContext& dc, POINT a, POINT b, const PenInfo& pen) {
  const int w = pen.width;
  const int lo = (w - 1) / 2, hi = w / 2;
  const int ext = pen.endCap == PS_ENDCAP_FLAT ? 0 : w / 2;
  if (a.y == b.y || a.x == b.x) {
    RECT r;
    if (a.y == b.y) {
      if (a.x == b.x && ext == 0) return;
      const int x0 = a.x <= b.x ? a.x : b.x + 1, x1 = a.x <= b.x ? b.x : a.x + 1;
      r = RECT{x0 - ext, a.y - lo, x1 + ext, a.y + hi + 1};
    } else {
      const int y0 = a.y < b.y ? a.y : b.y + 1, y1 = a.y < b.y ? b.y : a.y + 1;
      r = RECT{a.x - lo, y0 - ext, a.x + hi + 1, y1 + ext};
    }
    dc.penRect(r, pen.color);
    return;
  }
  // General direction: a rectangle around the centre line through the pixel centres.
  const double ax = a.x + 0.5, ay = a.y + 0.5, bx = b.x + 0.5, by = b.y + 0.5;
  const double len = std::hypot(bx - ax, by - ay);
  const double ux = (bx - ax) / len, uy = (by - ay) / len;
  const double nx = -uy, ny = ux;
  const double half = w / 2.0;
  const double shift = (w % 2 == 0) ? 0.5 : 0.0;
  const double sx = std::abs(ux) >= std::abs(uy) ? 0 : shift, sy = std::abs(ux) >= std::abs(uy) ? shift : 0;
  const double e = ext;
  const double px[4] = {ax - ux * e + nx * half + sx, bx + ux * e + nx * half + sx, bx + ux * e - nx * half + sx,
                        ax - ux * e - nx * half + sx};
  const double py[4] = {ay - uy * e + ny * half + sy, by + uy * e + ny * half + sy, by + uy * e - ny * half + sy,
                        ay - uy * e - ny * half + sy};
  const double minY = std::min({py[0], py[1], py[2], py[3]}), maxY = std::max({py[0], py[1], py[2], py[3]});
  const RECT box = dc.clip().bounds();
  const double yFrom = std::max<double>(std::floor(minY), box.top), yTo = std::min<double>(std::ceil(maxY), box.bottom);
  for (int y = static_cast<int>(yFrom); y <= static_cast<int>(yTo); ++y) {
    const double cy = y + 0.5;
    double lo = 0, hi = 0;
    int n = 0;
    for (int i = 0; i < 4; ++i) {
      const int j = (i + 1) % 4;
      if ((py[i] <= cy && cy < py[j]) || (py[j] <= cy && cy < py[i])) {
        const double x = px[i] + (cy - py[i]) / (py[j] - py[i]) * (px[j] - px[i]);
        lo = n == 0 ? x : std::min(lo, x);
        hi = n == 0 ? x : std::max(hi, x);
        ++n;
      }
    }
    if (n < 2) continue;
    const int x0 = static_cast<int>(std::max<double>(std::ceil(lo - 0.5), box.left - 1));
    const int x1 = static_cast<int>(std::min<double>(std::ceil(hi - 0.5), box.right + 1));
    if (x1 > x0) dc.penSpan(y, x0, x1, pen.color);
  }
}

static void segment(DeviceContext& dc, POINT a, POINT b, const PenInfo& pen, DashState& dash) {
  if (pen.width <= 1) thinLine(dc, a, b, pen, dash);
  else wideLine(dc, a, b, pen);
}

static bool lineVisible(const DeviceContext& dc, POINT a, POINT b, int width) {
  const int pad = width / 2 + 1;
  return dc.visible(RECT{std::min(a.x, b.x) - pad, std::min(a.y, b.y) - pad, std::max(a.x, b.x) + pad,
                         std::max(a.y, b.y) + pad})
      .has_value();
}

bool DeviceContext::lineTo(int x, int y) {
  const PenInfo pen = penInfo(*this);
  const POINT a = toSurface(st_.cur.x, st_.cur.y), b = toSurface(x, y);
  if (!pen.none) {
    DashState dash(pen.style);
    segment(*this, a, b, pen, dash);
    if (recorder_ && lineVisible(*this, a, b, pen.width))
      record("line " + std::to_string(a.x) + "," + std::to_string(a.y) + " -> " + std::to_string(b.x) + "," +
             std::to_string(b.y) + " " + colorText(pen.colorRef) + " w=" + std::to_string(pen.width) +
             " style=" + std::to_string(pen.style));
  }
  st_.cur = POINT{x, y};
  return true;
}

bool DeviceContext::polyline(const POINT* pts, int count, bool closed) {
  if (!pts || count < 2) return false;
  const PenInfo pen = penInfo(*this);
  if (pen.none) return true;
  DashState dash(pen.style);
  const int n = closed ? count + 1 : count;
  for (int i = 0; i + 1 < n; ++i) {
    const POINT& p = pts[i % count];
    const POINT& q = pts[(i + 1) % count];
    const POINT a = toSurface(p.x, p.y), b = toSurface(q.x, q.y);
    segment(*this, a, b, pen, dash);
    if (recorder_ && lineVisible(*this, a, b, pen.width))
      record("line " + std::to_string(a.x) + "," + std::to_string(a.y) + " -> " + std::to_string(b.x) + "," +
             std::to_string(b.y) + " " + colorText(pen.colorRef) + " w=" + std::to_string(pen.width) +
             " style=" + std::to_string(pen.style));
  }
  return true;
}

namespace {

RECT ordered(const RECT& r) {
  return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

RECT deflated(const RECT& r, int d) { return RECT{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

}  // namespace

// The frame of a figure (outline minus inside) painted a rectangle at a time: each pixel once, in any order.
// The figures have one span a row with the inside's spans within the outline's; row by row the frame is the
// outline's span less the inside's, which costs far less than a region subtraction. Other shapes subtract.
template <typename Paint>
static void paintFrame(const Region& whole, const Region& inner, Paint paint) {
  const auto& w = whole.rects();
  const auto& in = inner.rects();
  bool oneSpanRows = true;
  for (size_t i = 1; oneSpanRows && i < w.size(); ++i) oneSpanRows = w[i].top >= w[i - 1].bottom;
  for (size_t i = 1; oneSpanRows && i < in.size(); ++i) oneSpanRows = in[i].top >= in[i - 1].bottom;
  if (!oneSpanRows) {
    for (const RECT& r : whole.subtracted(inner).rects()) paint(r);
    return;
  }
  size_t k = 0;  // the first inside rectangle that may reach the current outline rectangle
  for (const RECT& o : w) {
    int y = o.top;
    while (k < in.size() && in[k].bottom <= y) ++k;
    for (size_t j = k; y < o.bottom; ++j) {
      if (j >= in.size() || in[j].top >= o.bottom) {
        paint(RECT{o.left, y, o.right, o.bottom});
        break;
      }
      const RECT& i = in[j];
      if (i.top > y) {
        paint(RECT{o.left, y, o.right, i.top});
        y = i.top;
      }
      const int bottom = std::min(i.bottom, o.bottom);
      if (i.left < o.left || i.right > o.right) {
        // An inside reaching past the outline: that part of the row is subtracted exactly.
        const Region part = Region(RECT{o.left, y, o.right, bottom}).subtracted(Region(RECT{i.left, y, i.right, bottom}));
        for (const RECT& r : part.rects()) paint(r);
      } else {
        if (i.left > o.left) paint(RECT{o.left, y, i.left, bottom});
        if (i.right < o.right) paint(RECT{i.right, y, o.right, bottom});
      }
      y = bottom;
    }
  }
}

// Shared by Rectangle, Ellipse and RoundRect: fill the inside with the brush, then the frame with the pen; a
// pixel belongs to one or the other. `shape` builds the figure for a box.
template <typename Shape>
static bool drawFigure(DeviceContext& dc, RECT box, Shape shape, const char* name) {
  box = ordered(box);
  const PenInfo pen = penInfo(dc);
  const Paint brush = dc.brushPaint();
  if (pen.none) {
    const RECT shrunk{box.left, box.top, box.right - 1, box.bottom - 1};
    dc.fillRegion(shape(shrunk), brush);
    if (dc.recorder()) dc.record(std::string(name) + " " + rectText(shrunk) + " nopen");
    return true;
  }
  RECT outer = box;
  const int w = pen.width;
  if (w > 1 && !pen.insideFrame) {
    // Centred on the outline pixels l, r - 1, t, b - 1: from -floor((w-1)/2) to +floor(w/2) around each.
    const int lo = (w - 1) / 2, hi = w / 2;
    outer = RECT{box.left - lo, box.top - lo, box.right + hi, box.bottom + hi};
  }
  const Region whole = shape(outer);
  const Region inner = shape(deflated(outer, w));
  dc.fillRegion(inner, brush);
  paintFrame(whole, inner, [&](const RECT& r) { dc.penRect(r, pen.color); });
  if (dc.recorder()) dc.record(std::string(name) + " " + rectText(outer) + " w=" + std::to_string(w));
  return true;
}

bool DeviceContext::rectangle(int l, int t, int r, int b) {
  const PenInfo pen = penInfo(*this);
  if (!pen.none && pen.style != PS_SOLID && pen.style != PS_INSIDEFRAME && pen.width <= 1) {
    // A styled outline runs as one closed polyline so that the dashes flow round the corners.
    RECT box = ordered(rectToSurface(RECT{l, t, r, b}));
    fillRegion(Region(deflated(box, 1)), brushPaint());
    DashState dash(pen.style);
    const POINT c[5] = {{box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1},
                        {box.left, box.bottom - 1}, {box.left, box.top}};
    for (int i = 0; i < 4; ++i) thinLine(*this, c[i], c[i + 1], pen, dash);
    return true;
  }
  const RECT within = paddedClipBox(*this);
  return drawFigure(*this, rectToSurface(RECT{l, t, r, b}),
                    [within](const RECT& x) { return Region(x).intersected(within); }, "rectangle");
}

bool DeviceContext::ellipse(int l, int t, int r, int b) {
  // Figures are built only inside the clip box (padded for wide pens), so their cost is that of what shows.
  const RECT within = paddedClipBox(*this);
  return drawFigure(*this, rectToSurface(RECT{l, t, r, b}),
                    [within](const RECT& x) { return Region::ellipse(x, within); }, "ellipse");
}

bool DeviceContext::roundRect(int l, int t, int r, int b, int w, int h) {
  const int dw = lengthToDeviceX(w), dh = lengthToDeviceY(h);
  return drawFigure(
      *this, rectToSurface(RECT{l, t, r, b}),
      [dw, dh, within = paddedClipBox(*this)](const RECT& x) { return roundRectRegion(x, dw, dh, within); },
      "roundrect");
}

bool DeviceContext::polygon(const POINT* pts, int count) {
  if (!pts || count < 2) return false;
  std::vector<POINT> dev(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) dev[i] = toSurface(pts[i].x, pts[i].y);
  const Region fill = Region::fromPolygon(dev, st_.polyFillMode, paddedClipBox(*this));
  fillRegion(fill, brushPaint());
  if (recorder_ && !fill.empty()) record("polygon n=" + std::to_string(count) + " box=" + rectText(fill.bounds()));
  return polyline(pts, count, true);
}

bool DeviceContext::polyPolygon(const POINT* pts, const INT* counts, int polys) {
  if (!pts || !counts || polys <= 0) return false;
  std::vector<POINT> all;
  Region fill;
  int at = 0;
  for (int i = 0; i < polys; ++i) {
    if (counts[i] < 2) return false;
    std::vector<POINT> dev;
    for (int k = 0; k < counts[i]; ++k) dev.push_back(toSurface(pts[at + k].x, pts[at + k].y));
    fill = Region::combine(fill, Region::fromPolygon(dev, st_.polyFillMode, paddedClipBox(*this)),
                           st_.polyFillMode == WINDING ? Region::Op::Or : Region::Op::Xor);
    at += counts[i];
  }
  fillRegion(fill, brushPaint());
  at = 0;
  for (int i = 0; i < polys; ++i) {
    polyline(pts + at, counts[i], true);
    at += counts[i];
  }
  return true;
}

bool DeviceContext::fillLogicalRect(const RECT& r, HGDIOBJ brush) {
  const RECT s = rectToSurface(r);
  const Paint p = brushPaint(brush);
  fillRect(s, p);
  if (recorder_ && !p.none)
    if (auto v = visible(s))
      record("fill " + rectText(*v) + " " + (p.patterned ? std::string("pattern") : colorText(colorFromPixel(p.color))));
  return true;
}

bool DeviceContext::frameLogicalRect(const RECT& r, HGDIOBJ brush) {
  const RECT s = rectToSurface(r);
  if (s.right <= s.left || s.bottom <= s.top) return true;
  const Region frame = Region(s).subtracted(Region(deflated(s, 1)));
  fillRegion(frame, brushPaint(brush));
  if (recorder_ && visible(s)) record("frame " + rectText(s));
  return true;
}

}  // namespace plat
