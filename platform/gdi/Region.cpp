#include "platform/gdi/Region.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace plat {

namespace {

using Span = std::pair<int, int>;  // [first, second)

struct Band {
  int top;
  int bottom;
  std::vector<Span> spans;
};

std::vector<Band> toBands(const std::vector<RECT>& rects) {
  std::vector<Band> bands;
  for (const RECT& r : rects) {
    if (bands.empty() || bands.back().top != r.top) bands.push_back(Band{r.top, r.bottom, {}});
    bands.back().spans.emplace_back(r.left, r.right);
  }
  return bands;
}

// Appends a band, merging it with the previous one when they touch and hold the same spans.
void pushBand(std::vector<Band>& out, int top, int bottom, std::vector<Span>&& spans) {
  if (spans.empty() || top >= bottom) return;
  if (!out.empty() && out.back().bottom == top && out.back().spans == spans) {
    out.back().bottom = bottom;
    return;
  }
  out.push_back(Band{top, bottom, std::move(spans)});
}

std::vector<RECT> fromBands(const std::vector<Band>& bands) {
  std::vector<RECT> rects;
  for (const Band& b : bands)
    for (const Span& s : b.spans) rects.push_back(RECT{s.first, b.top, s.second, b.bottom});
  return rects;
}

bool apply(Region::Op op, bool a, bool b) {
  switch (op) {
    case Region::Op::And: return a && b;
    case Region::Op::Or: return a || b;
    case Region::Op::Xor: return a != b;
    case Region::Op::Diff: return a && !b;
    case Region::Op::Copy: return a;
  }
  return false;
}

// std::lround for the coordinates of figures (|v| far below 2^52), inline: the fraction left after the integer
// part is exact, so halves round away from zero exactly as lround does.
int roundHalfAway(double v) {
  const long long whole = static_cast<long long>(v);  // towards zero
  const double frac = v - static_cast<double>(whole);
  return static_cast<int>(frac >= 0.5 ? whole + 1 : frac <= -0.5 ? whole - 1 : whole);
}

// The band of a canonical rectangle list that starts at index i: [i, end) share top and bottom.
size_t bandEnd(const std::vector<RECT>& v, size_t i) {
  size_t e = i + 1;
  while (e < v.size() && v[e].top == v[i].top) ++e;
  return e;
}

// Combines two canonical rectangle lists band by band: the edges of both ascend, so they merge without a sort,
// and nothing but the result is allocated.
std::vector<RECT> combineRects(const std::vector<RECT>& a, const std::vector<RECT>& b, Region::Op op) {
  thread_local std::vector<int> xs;
  std::vector<RECT> out;
  out.reserve(a.size() + b.size());
  size_t outBand = 0;  // where the last band of `out` begins
  size_t ia = 0, ib = 0;
  size_t ea = a.empty() ? 0 : bandEnd(a, 0), eb = b.empty() ? 0 : bandEnd(b, 0);
  int y = std::min(a.empty() ? b.front().top : a.front().top, b.empty() ? a.front().top : b.front().top);
  while (ia < a.size() || ib < b.size()) {
    // Skip bands that end at or above y.
    while (ia < a.size() && a[ia].bottom <= y) {
      ia = ea;
      if (ia < a.size()) ea = bandEnd(a, ia);
    }
    while (ib < b.size() && b[ib].bottom <= y) {
      ib = eb;
      if (ib < b.size()) eb = bandEnd(b, ib);
    }
    if (ia >= a.size() && ib >= b.size()) break;
    const bool inA = ia < a.size() && a[ia].top <= y, inB = ib < b.size() && b[ib].top <= y;
    if (!inA && !inB) {
      y = std::min(ia < a.size() ? a[ia].top : b[ib].top, ib < b.size() ? b[ib].top : a[ia].top);
      continue;
    }
    // The interval [y, next) where neither side changes.
    int next = INT32_MAX;
    if (ia < a.size()) next = std::min(next, inA ? static_cast<int>(a[ia].bottom) : static_cast<int>(a[ia].top));
    if (ib < b.size()) next = std::min(next, inB ? static_cast<int>(b[ib].bottom) : static_cast<int>(b[ib].top));
    // Merge the x edges of both bands (each list of edges ascends).
    xs.clear();
    {
      const size_t a0 = inA ? ia : 0, na = inA ? 2 * (ea - ia) : 0;
      const size_t b0 = inB ? ib : 0, nb = inB ? 2 * (eb - ib) : 0;
      auto edge = [](const std::vector<RECT>& v, size_t base, size_t i) {
        const RECT& r = v[base + i / 2];
        return static_cast<int>(i % 2 ? r.right : r.left);
      };
      size_t i = 0, j = 0;
      while (i < na || j < nb) {
        int x;
        if (j >= nb || (i < na && edge(a, a0, i) <= edge(b, b0, j))) x = edge(a, a0, i++);
        else x = edge(b, b0, j++);
        if (xs.empty() || xs.back() != x) xs.push_back(x);
      }
    }
    const size_t start = out.size();
    size_t pa = ia, pb = ib;
    for (size_t k = 0; k + 1 < xs.size(); ++k) {
      const int x0 = xs[k], x1 = xs[k + 1];
      while (inA && pa < ea && a[pa].right <= x0) ++pa;
      while (inB && pb < eb && b[pb].right <= x0) ++pb;
      const bool ina = inA && pa < ea && a[pa].left <= x0;
      const bool inb = inB && pb < eb && b[pb].left <= x0;
      if (!apply(op, ina, inb)) continue;
      if (out.size() > start && out.back().right == x0) out.back().right = x1;
      else out.push_back(RECT{x0, y, x1, next});
    }
    if (out.size() > start) {
      // A band that continues the previous one with the same spans extends it.
      const size_t prevCount = start - outBand;
      bool same = start > 0 && out[start - 1].bottom == y && prevCount == out.size() - start;
      for (size_t k = 0; same && k < prevCount; ++k)
        same = out[outBand + k].left == out[start + k].left && out[outBand + k].right == out[start + k].right;
      if (same) {
        out.resize(start);
        for (size_t k = outBand; k < start; ++k) out[k].bottom = next;
      } else {
        outBand = start;
      }
    }
    y = next;
  }
  return out;
}

}  // namespace

Region::Region(const RECT& r) {
  if (r.right > r.left && r.bottom > r.top) rects_.push_back(r);
}

Region Region::fromRects(std::span<const RECT> rects) {
  // Sweep from top to bottom: every y edge starts a band whose spans are the merged x ranges of the rectangles
  // over it. Rectangles enter an active list at their top and leave it at their bottom, so a list of thin rows
  // costs linear time.
  std::vector<RECT> in;
  in.reserve(rects.size());
  for (const RECT& r : rects)
    if (r.right > r.left && r.bottom > r.top) in.push_back(r);
  std::sort(in.begin(), in.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
  std::vector<int> ys;
  ys.reserve(2 * in.size());
  for (const RECT& r : in) {
    ys.push_back(r.top);
    ys.push_back(r.bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<Band> bands;
  std::vector<const RECT*> active;
  std::vector<Span> spans;
  size_t next = 0;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    const int y0 = ys[i], y1 = ys[i + 1];
    active.erase(std::remove_if(active.begin(), active.end(), [&](const RECT* r) { return r->bottom <= y0; }),
                 active.end());
    while (next < in.size() && in[next].top <= y0) active.push_back(&in[next++]);
    spans.clear();
    for (const RECT* r : active) spans.emplace_back(r->left, r->right);
    std::sort(spans.begin(), spans.end());
    std::vector<Span> merged;
    for (const Span& s : spans) {
      if (!merged.empty() && s.first <= merged.back().second) merged.back().second = std::max(merged.back().second, s.second);
      else merged.push_back(s);
    }
    pushBand(bands, y0, y1, std::move(merged));
  }
  Region out;
  out.rects_ = fromBands(bands);
  return out;
}

Region Region::fromPolygon(std::span<const POINT> pts, int fillMode) { return fromPolygon(pts, fillMode, kFigureLimit); }

Region Region::fromPolygon(std::span<const POINT> pts, int fillMode, const RECT& within) {
  Region out;
  if (pts.size() < 3) return out;
  long long minY = pts[0].y, maxY = pts[0].y;
  for (const POINT& p : pts) { minY = std::min<long long>(minY, p.y); maxY = std::max<long long>(maxY, p.y); }
  minY = std::max<long long>(minY, within.top);
  maxY = std::min<long long>(maxY, within.bottom);
  std::vector<Band> bands;
  std::vector<std::pair<double, int>> cross;  // x, direction
  const size_t n = pts.size();
  for (long long y = minY; y < maxY; ++y) {
    // Pixels are sampled at their top-left corner: a polygon covers the left and top edges of its outline and
    // leaves out the right and bottom ones, so an axis-aligned polygon fills exactly its half-open rectangle.
    const double cy = static_cast<double>(y);
    cross.clear();
    for (size_t i = 0; i < n; ++i) {
      const POINT& p = pts[i];
      const POINT& q = pts[(i + 1) % n];
      if (p.y == q.y) continue;
      const bool down = q.y > p.y;
      const double y0 = down ? p.y : q.y, y1 = down ? q.y : p.y;
      if (cy < y0 || cy >= y1) continue;
      const double t = (cy - p.y) / static_cast<double>(q.y - p.y);
      cross.emplace_back(p.x + t * (q.x - p.x), down ? 1 : -1);
    }
    std::sort(cross.begin(), cross.end());
    std::vector<Span> spans;
    auto addSpan = [&](double xa, double xb) {
      // Pixel x is inside when x lies in [xa, xb).
      const double l = std::max<double>(xa, within.left), r = std::min<double>(xb, within.right);
      const int a = static_cast<int>(std::ceil(l)), b = static_cast<int>(std::ceil(r));
      if (b <= a) return;
      if (!spans.empty() && a <= spans.back().second) spans.back().second = std::max(spans.back().second, b);
      else spans.emplace_back(a, b);
    };
    if (fillMode == 2) {  // WINDING
      int wind = 0;
      double start = 0;
      for (const auto& [x, d] : cross) {
        const int before = wind;
        wind += d;
        if (before == 0 && wind != 0) start = x;
        else if (before != 0 && wind == 0) addSpan(start, x);
      }
    } else {
      for (size_t i = 0; i + 1 < cross.size(); i += 2) addSpan(cross[i].first, cross[i + 1].first);
    }
    pushBand(bands, static_cast<int>(y), static_cast<int>(y + 1), std::move(spans));
  }
  out.rects_ = fromBands(bands);
  return out;
}

Region Region::ellipse(const RECT& box) { return ellipse(box, kFigureLimit); }

Region Region::ellipse(const RECT& box, const RECT& within) {
  Region out;
  if (box.right - box.left < 1 || box.bottom - box.top < 1) return out;
  const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
  const double a = (box.right - box.left) / 2.0, b = (box.bottom - box.top) / 2.0;
  // One span a row: rows with the same span that touch make one rectangle, as banding would merge them.
  const int y0 = std::max(box.top, within.top), y1 = std::min(box.bottom, within.bottom);
  if (y1 > y0) out.rects_.reserve(static_cast<size_t>(std::min(y1 - y0, 4096)));
  for (int y = y0; y < y1; ++y) {
    const double dy = (y + 0.5 - cy) / b;
    const double dx = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    const int l = std::max<int>(roundHalfAway(cx - dx), within.left);
    const int r = std::min<int>(roundHalfAway(cx + dx), within.right);
    if (r <= l) continue;
    if (!out.rects_.empty()) {
      RECT& last = out.rects_.back();
      if (last.bottom == y && last.left == l && last.right == r) {
        last.bottom = y + 1;
        continue;
      }
    }
    out.rects_.push_back(RECT{l, y, r, y + 1});
  }
  return out;
}

int Region::kind() const {
  if (rects_.empty()) return 1;
  return rects_.size() == 1 ? 2 : 3;
}

RECT Region::bounds() const {
  if (rects_.empty()) return RECT{0, 0, 0, 0};
  RECT b = rects_.front();
  for (const RECT& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.right = std::max(b.right, r.right);
  }
  b.bottom = rects_.back().bottom;
  return b;
}

bool Region::contains(int x, int y) const {
  for (const RECT& r : rects_) {
    if (r.top > y) break;
    if (y < r.bottom && x >= r.left && x < r.right) return true;
  }
  return false;
}

bool Region::intersects(const RECT& q) const {
  if (q.right <= q.left || q.bottom <= q.top) return false;
  for (const RECT& r : rects_) {
    if (r.top >= q.bottom) break;
    if (r.bottom > q.top && r.left < q.right && r.right > q.left) return true;
  }
  return false;
}

void Region::offset(int dx, int dy) {
  for (RECT& r : rects_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}

Region Region::combine(const Region& a, const Region& b, Op op) {
  Region out;
  if (op == Op::Copy) return a;
  // Answers that need no sweep: an empty side, and an intersection with one rectangle (the usual clip).
  if (a.empty() || b.empty()) {
    if (op == Op::And || (a.empty() && op == Op::Diff)) return out;
    return a.empty() ? b : a;
  }
  if (op == Op::And && b.rects_.size() == 1) return a.intersected(b.rects_.front());
  if (op == Op::And && a.rects_.size() == 1) return b.intersected(a.rects_.front());
  out.rects_ = combineRects(a.rects_, b.rects_, op);
  return out;
}

Region Region::intersected(const RECT& r) const {
  // Fast path for the common clip of one rectangle: intersecting keeps the banded order.
  Region out;
  if (r.right <= r.left || r.bottom <= r.top || rects_.empty()) return out;
  const RECT b = bounds();
  if (r.left <= b.left && r.top <= b.top && r.right >= b.right && r.bottom >= b.bottom) return *this;
  if (rects_.size() == 1) {
    const RECT x{std::max(b.left, r.left), std::max(b.top, r.top), std::min(b.right, r.right),
                 std::min(b.bottom, r.bottom)};
    if (x.right > x.left && x.bottom > x.top) out.rects_.push_back(x);
    return out;
  }
  std::vector<Band> bands;
  for (const Band& b : toBands(rects_)) {
    const int t = std::max<int>(b.top, r.top), btm = std::min<int>(b.bottom, r.bottom);
    if (t >= btm) continue;
    std::vector<Span> spans;
    for (const Span& s : b.spans) {
      const int l = std::max<int>(s.first, r.left), rr = std::min<int>(s.second, r.right);
      if (l < rr) spans.emplace_back(l, rr);
    }
    pushBand(bands, t, btm, std::move(spans));
  }
  out.rects_ = fromBands(bands);
  return out;
}

bool operator==(const Region& a, const Region& b) {
  if (a.rects_.size() != b.rects_.size()) return false;
  for (size_t i = 0; i < a.rects_.size(); ++i) {
    const RECT &x = a.rects_[i], &y = b.rects_[i];
    if (x.left != y.left || x.top != y.top || x.right != y.right || x.bottom != y.bottom) return false;
  }
  return true;
}

}  // namespace plat
