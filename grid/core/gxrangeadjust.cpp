#include "grid/core/gxrangeadjust.h"

#include <algorithm>

namespace gx {
namespace {

// The two bounds of a range on an axis.
struct Bounds {
  ROWCOL& lo;
  ROWCOL& hi;
};
Bounds On(CGXRange& r, Axis axis) { return axis == Axis::rows ? Bounds{r.top, r.bottom} : Bounds{r.left, r.right}; }

}  // namespace

std::vector<Interval> CollectIntervals(std::span<const CGXRange* const> ranges, Axis axis, DWORD count,
                                       bool wholeOnly) {
  const DWORD ownWhole = axis == Axis::rows ? CGXRange::rows : CGXRange::cols;
  const DWORD otherWhole = axis == Axis::rows ? CGXRange::cols : CGXRange::rows;
  std::vector<Interval> out;
  for (const CGXRange* r : ranges) {
    if (!r || !r->IsValid()) continue;
    if (wholeOnly && r->kind != ownWhole && r->kind != CGXRange::table) continue;
    Interval iv = axis == Axis::rows ? Interval{r->top, r->bottom} : Interval{r->left, r->right};
    if (r->kind == otherWhole) iv.end = count;
    // A table's bound words are never set by AssignTable: it covers 0..count, whatever they hold.
    if (r->kind == CGXRange::table) iv = {0, count};
    // The first interval that the new one touches takes it in; else it goes in sorted by start.
    bool placed = false;
    for (auto it = out.begin(); it != out.end(); ++it) {
      const bool touches = (iv.start >= it->start && iv.start <= it->end) || (iv.end >= it->start && iv.end <= it->end) ||
                           (it->start >= iv.start && it->start <= iv.end) || (it->end >= iv.start && it->end <= iv.end);
      if (touches) {
        it->start = std::min(it->start, iv.start);
        it->end = std::max(it->end, iv.end);
        placed = true;
        break;
      }
    }
    if (!placed) {
      auto at = std::find_if(out.begin(), out.end(), [&](const Interval& x) { return x.start > iv.start; });
      out.insert(at, iv);
    }
  }
  // Join neighbours that touch or overlap. The end + 1 is taken in 64 bits so that an interval ending at
  // the largest number does not wrap round and swallow everything.
  for (std::size_t i = 1; i < out.size();) {
    if (static_cast<ULONGLONG>(out[i - 1].end) + 1 >= out[i].start) {
      out[i - 1].end = std::max(out[i - 1].end, out[i].end);
      out.erase(out.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  return out;
}

void AdjustForInserted(CGXRange& r, Axis axis, DWORD first, DWORD count) {
  Bounds b = On(r, axis);
  if (b.lo >= first) b.lo += count;
  if (b.hi >= first) b.hi += count;
}

void AdjustForRemoved(CGXRange& r, Axis axis, DWORD from, DWORD to, DWORD maxIndex) {
  if (!r.IsValid() || to < from) return;
  Bounds b = On(r, axis);
  const DWORD n = to - from + 1;
  if (b.lo >= from && b.hi <= to) {
    r.valid = FALSE;
    b.hi = std::min(b.hi, maxIndex);
    return;
  }
  if (b.lo >= from) b.lo = std::max(std::max(b.lo, to) - n, from);
  if (b.hi >= from) b.hi = std::max(b.hi, to) - n;
  r.valid = b.hi >= b.lo;
  b.hi = std::min(b.hi, maxIndex);
}

void AdjustForMoved(CGXRange& r, Axis axis, DWORD from, DWORD to, DWORD dest, DWORD maxIndex) {
  if (to < from) return;
  Bounds b = On(r, axis);
  const DWORD n = to - from + 1;
  const DWORD d = dest > from ? dest + n : dest;
  const DWORD t = b.lo;
  // Shifts are done in unsigned arithmetic: each case keeps the result inside the moved area.
  auto shift = [&](DWORD up, DWORD down) {
    b.lo = b.lo + down - up;
    b.hi = b.hi + down - up;
  };
  if (t >= from && t <= to) {
    if (to < d)
      shift(0, d - n - from);
    else if (d < from)
      shift(from - d, 0);
  } else if (t > to && t < d) {
    shift(n, 0);
  } else if (t >= d && t < from) {
    shift(0, n);
  }
  b.hi = std::min(b.hi, maxIndex);
}

}  // namespace gx
