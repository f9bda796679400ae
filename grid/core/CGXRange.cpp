#include "grid/core/CGXRange.h"

#include <algorithm>

CGXRange& CGXRange::AssignCells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
  kind = cells;
  top = std::min(t, b);
  bottom = std::max(t, b);
  left = std::min(l, r);
  right = std::max(l, r);
  valid = TRUE;
  return *this;
}

CGXRange& CGXRange::AssignRows(ROWCOL from, ROWCOL to) {
  kind = rows;
  top = std::min(from, to);
  bottom = std::max(from, to);
  left = right = 0;
  valid = TRUE;
  return *this;
}

CGXRange& CGXRange::AssignCols(ROWCOL from, ROWCOL to) {
  kind = cols;
  left = std::min(from, to);
  right = std::max(from, to);
  top = bottom = 0;
  valid = TRUE;
  return *this;
}

CGXRange& CGXRange::AssignTable() {
  kind = table;
  valid = TRUE;
  return *this;
}

CGXRange& CGXRange::ExpandToCells(ROWCOL t, ROWCOL l, ROWCOL b, ROWCOL r) {
  switch (kind) {
    case rows: left = l; right = r; break;
    case cols: top = t; bottom = b; break;
    case table: top = t; left = l; bottom = b; right = r; break;
    default: break;
  }
  kind = cells;
  return *this;
}

BOOL CGXRange::ContainsCell(ROWCOL row, ROWCOL col) const {
  if (!valid) return FALSE;
  const bool inRows = top <= row && row <= bottom;
  const bool inCols = left <= col && col <= right;
  switch (kind) {
    case table: return TRUE;
    case rows: return inRows;
    case cols: return inCols;
    default: return inRows && inCols;
  }
}

BOOL CGXRange::SetIntersection(const CGXRange& a, const CGXRange& b) {
  // Work on copies: the result may alias either operand.
  const CGXRange x = a, y = b;
  if (x.kind == table || y.kind == table) {
    *this = x.kind == table ? y : x;
    valid = TRUE;
    return valid;
  }
  if ((x.kind == rows && y.kind == cols) || (x.kind == cols && y.kind == rows)) {
    const CGXRange& r = x.kind == rows ? x : y;
    const CGXRange& c = x.kind == cols ? x : y;
    kind = cells;
    top = r.top;
    bottom = r.bottom;
    left = c.left;
    right = c.right;
    valid = TRUE;
    return valid;
  }
  if (x.kind == cols || y.kind == cols) {
    // Columns with columns or with cells: the rows come from the operand that is not a columns range.
    const CGXRange& other = y.kind != cols ? y : (x.kind != cols ? x : y);
    left = std::max(x.left, y.left);
    right = std::min(x.right, y.right);
    top = other.top;
    bottom = other.bottom;
    kind = other.kind;
    valid = right >= left;
    return valid;
  }
  if (x.kind == rows || y.kind == rows) {
    const CGXRange& other = y.kind != rows ? y : (x.kind != rows ? x : y);
    top = std::max(x.top, y.top);
    bottom = std::min(x.bottom, y.bottom);
    left = other.left;
    right = other.right;
    kind = other.kind;
    valid = bottom >= top;
    return valid;
  }
  kind = cells;
  top = std::max(x.top, y.top);
  left = std::max(x.left, y.left);
  bottom = std::min(x.bottom, y.bottom);
  right = std::min(x.right, y.right);
  valid = left <= right && top <= bottom;
  return valid;
}

BOOL CGXRange::SetUnion(const CGXRange& a, const CGXRange& b) {
  const CGXRange x = a, y = b;
  if (x.kind == table || y.kind == table || (x.kind == rows && y.kind == cols) ||
      (x.kind == cols && y.kind == rows)) {
    kind = table;
    valid = TRUE;
    return valid;
  }
  if (x.kind == cols || y.kind == cols) {
    AssignCols(std::min(x.left, y.left), std::max(x.right, y.right));
  } else if (x.kind != rows && y.kind != rows) {
    AssignCells(std::min(x.top, y.top), std::min(x.left, y.left), std::max(x.bottom, y.bottom),
                std::max(x.right, y.right));
  } else {
    AssignRows(std::min(x.top, y.top), std::max(x.bottom, y.bottom));
  }
  return valid;
}
