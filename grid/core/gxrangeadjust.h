// The per-range arithmetic behind CGXRangeList: the intervals a list covers and the adjustment of a range
// after rows or columns were inserted, removed or moved. Free functions, so that they are testable without a
// list and shared by the rows and columns twins.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "grid/core/CGXRange.h"

namespace gx {

enum class Axis { rows, cols };

struct Interval {
  DWORD start;
  DWORD end;
  friend bool operator==(const Interval&, const Interval&) = default;
};

// The disjoint, sorted intervals (of rows or columns) that the valid ranges cover. A range of the other
// axis' whole kind (rows for columns) or a table reaches up to `count`. With wholeOnly only ranges of the
// axis' own whole kind or the table count.
std::vector<Interval> CollectIntervals(std::span<const CGXRange* const> ranges, Axis axis, DWORD count,
                                       bool wholeOnly);

// After inserting `count` rows (columns) at `first`.
void AdjustForInserted(CGXRange& r, Axis axis, DWORD first, DWORD count);
// After removing from..to; a range that lay wholly inside becomes not valid. Bounds are clamped to maxIndex.
void AdjustForRemoved(CGXRange& r, Axis axis, DWORD from, DWORD to, DWORD maxIndex);
// After moving from..to so that the block starts at dest; the range moves with its first row (column).
void AdjustForMoved(CGXRange& r, Axis axis, DWORD from, DWORD to, DWORD dest, DWORD maxIndex);

}  // namespace gx
