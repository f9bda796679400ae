// Region: a set of pixels kept as a list of rectangles, the value behind HRGN, clip regions and the window
// system's update regions.
//
// Contract (stable; later additions only):
// - A value type. The rectangles are half-open, disjoint and in canonical y-x banded order: sorted by top, then
//   left; rectangles of one band share top and bottom; horizontally touching rectangles of a band are merged;
//   vertically touching bands with the same spans are merged. Two regions holding the same pixels therefore
//   have equal rectangle lists (operator== compares pixels).
// - kind() answers the classic NULLREGION 1, SIMPLEREGION 2 or COMPLEXREGION 3.
// - combine() implements RGN_AND 1, RGN_OR 2, RGN_XOR 3, RGN_DIFF 4 and RGN_COPY 5.
// - Coordinates are signed 32-bit; callers keep them within +-2^30 so that offsets cannot overflow.
#pragma once

#include <span>
#include <vector>

#include "platform/base/wintypes.h"

namespace plat {

class Region {
 public:
  enum class Op { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

  Region() = default;
  explicit Region(const RECT& r);
  // Any rectangles, overlapping or not, in any order; empty ones are ignored.
  static Region fromRects(std::span<const RECT> rects);
  // Pixels whose top-left corners lie inside the polygon (ALTERNATE 1 or WINDING 2 fill); left and top edges
  // belong to the polygon, right and bottom edges do not.
  static Region fromPolygon(std::span<const POINT> pts, int fillMode);
  // Only the part inside `within`: the work is bounded by it, not by the figure's size (drawing passes the clip
  // box, so a huge figure costs what its visible part costs).
  static Region fromPolygon(std::span<const POINT> pts, int fillMode, const RECT& within);
  static Region ellipse(const RECT& box);
  static Region ellipse(const RECT& box, const RECT& within);
  // The reach of regions made from figures by the classic functions (CreatePolygonRgn & co): +-2^16 pixels.
  static constexpr RECT kFigureLimit{-65536, -65536, 65536, 65536};

  bool empty() const { return rects_.empty(); }
  int kind() const;
  RECT bounds() const;
  const std::vector<RECT>& rects() const { return rects_; }
  bool contains(int x, int y) const;
  bool intersects(const RECT& r) const;

  void offset(int dx, int dy);
  void clear() { rects_.clear(); }

  static Region combine(const Region& a, const Region& b, Op op);
  Region intersected(const Region& o) const { return combine(*this, o, Op::And); }
  Region intersected(const RECT& r) const;
  Region united(const Region& o) const { return combine(*this, o, Op::Or); }
  Region subtracted(const Region& o) const { return combine(*this, o, Op::Diff); }

  friend bool operator==(const Region& a, const Region& b);

 private:
  std::vector<RECT> rects_;
};

}  // namespace plat
