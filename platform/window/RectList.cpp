#include "platform/window/RectList.h"

namespace plat {

namespace {

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Appends the parts of a that lie outside b (up to four bands).
void AppendDifference(const CRect& a, const RECT& b, std::vector<CRect>& out) {
  CRect cut = a & b;
  if (cut.IsRectEmpty()) {
    out.push_back(a);
    return;
  }
  if (a.top < cut.top) out.emplace_back(a.left, a.top, a.right, cut.top);
  if (cut.bottom < a.bottom) out.emplace_back(a.left, cut.bottom, a.right, a.bottom);
  if (a.left < cut.left) out.emplace_back(a.left, cut.top, cut.left, cut.bottom);
  if (cut.right < a.right) out.emplace_back(cut.right, cut.top, a.right, cut.bottom);
}

}  // namespace

CRect RectList::Bounds() const {
  CRect box;
  for (const CRect& r : rects_) box |= r;
  return box;
}

long long RectList::Area() const {
  long long area = 0;
  for (const CRect& r : rects_) area += static_cast<long long>(r.Width()) * r.Height();
  return area;
}

void RectList::Add(const RECT& r) {
  if (Empty(r)) return;
  // Keep disjointness: add only the parts of r not yet covered.
  std::vector<CRect> pieces{CRect(r)};
  for (const CRect& have : rects_) {
    std::vector<CRect> next;
    for (const CRect& piece : pieces) AppendDifference(piece, have, next);
    pieces.swap(next);
    if (pieces.empty()) return;
  }
  rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void RectList::Add(const RectList& other) {
  for (const CRect& r : other.rects_) Add(r);
}

void RectList::Subtract(const RECT& r) {
  if (Empty(r)) return;
  std::vector<CRect> out;
  for (const CRect& have : rects_) AppendDifference(have, r, out);
  rects_.swap(out);
}

void RectList::Subtract(const RectList& other) {
  for (const CRect& r : other.rects_) Subtract(r);
}

void RectList::Intersect(const RECT& r) {
  std::vector<CRect> out;
  for (const CRect& have : rects_) {
    CRect cut = have & r;
    if (!cut.IsRectEmpty()) out.push_back(cut);
  }
  rects_.swap(out);
}

void RectList::Intersect(const RectList& other) {
  std::vector<CRect> out;
  for (const CRect& a : rects_)
    for (const CRect& b : other.rects_) {
      CRect cut = a & b;
      if (!cut.IsRectEmpty()) out.push_back(cut);
    }
  rects_.swap(out);
}

void RectList::Offset(int dx, int dy) {
  for (CRect& r : rects_) r.OffsetRect(dx, dy);
}

bool operator==(const RectList& a, const RectList& b) {
  // Same point set: equal areas and each contains the other.
  if (a.Area() != b.Area()) return false;
  RectList rest = a;
  rest.Subtract(b);
  return rest.IsEmpty();
}

}  // namespace plat
