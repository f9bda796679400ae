// A rectangle of the grid: a block of cells, whole rows, whole columns or the whole table.
//
// A plain value of six 32-bit words. After every Assign... the bounds are normalised (top <= bottom,
// left <= right) and the bounds that the kind ignores are 0. All bound comparisons are unsigned.
#pragma once

#include "grid/core/gxtypes.h"

class CGXRange {
 public:
  enum Kind : DWORD { cells = 0, rows = 1, cols = 2, table = 3 };

  CGXRange() = default;
  CGXRange(ROWCOL row, ROWCOL col) : top(row), left(col), bottom(row), right(col), valid(TRUE) {}
  CGXRange(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) { AssignCells(t, l, b, r); }
  explicit CGXRange(const CGXRange* other) {
    if (other) *this = *other;
  }

  CGXRange& AssignCells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r);
  CGXRange& AssignRows(ROWCOL from, ROWCOL to);
  CGXRange& AssignCols(ROWCOL from, ROWCOL to);
  CGXRange& AssignTable();
  CGXRange& ExpandToCells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r);

  BOOL IsValid() const { return valid != 0; }
  BOOL IsCells() const { return kind == cells; }
  BOOL IsRows() const { return kind == rows; }
  BOOL IsCols() const { return kind == cols; }
  BOOL IsTable() const { return kind == table; }

  BOOL ContainsCell(ROWCOL row, ROWCOL col) const;

  // this = a intersected with b (either may be *this); returns the valid flag of the result.
  BOOL SetIntersection(const CGXRange& a, const CGXRange& b);
  // this = the smallest range holding a and b; returns the valid flag.
  BOOL SetUnion(const CGXRange& a, const CGXRange& b);

  friend bool operator==(const CGXRange&, const CGXRange&) = default;

  DWORD kind = cells;
  ROWCOL top = 0;
  ROWCOL left = 0;
  ROWCOL bottom = 0;
  ROWCOL right = 0;
  BOOL valid = FALSE;
};
