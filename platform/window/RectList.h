// A region as a list of disjoint rectangles: the window manager's update and visible regions.
//
// Rectangles are half-open and kept disjoint (not necessarily minimal); every operation keeps that
// invariant, so the area is the sum of the rectangles' areas and a point lies in at most one of them.
#pragma once

#include <vector>

#include "platform/base/geometry.h"

namespace plat {

class RectList {
 public:
  RectList() = default;
  explicit RectList(const RECT& r) { Add(r); }

  bool IsEmpty() const { return rects_.empty(); }
  const std::vector<CRect>& Rects() const { return rects_; }
  CRect Bounds() const;
  long long Area() const;

  void Clear() { rects_.clear(); }
  void Add(const RECT& r);              // union with a rectangle
  void Add(const RectList& other);      // union with a region
  void Subtract(const RECT& r);
  void Subtract(const RectList& other);
  void Intersect(const RECT& r);
  void Intersect(const RectList& other);
  void Offset(int dx, int dy);

  friend bool operator==(const RectList& a, const RectList& b);

 private:
  std::vector<CRect> rects_;
};

}  // namespace plat
