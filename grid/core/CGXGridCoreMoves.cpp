// Directional moves of the current cell. A move never lands in a header row or column, in a row or
// column of size 0, or in a disabled cell; at the grid's edge it changes nothing and answers FALSE.
#include <algorithm>

#include "grid/core/CGXGridCore.h"

namespace {
struct Cell {
  ROWCOL row, col;
};
}  // namespace

BOOL CGXGridCore::MoveCurrentCellByKey(int direction, ROWCOL count) {
  return MoveCurrentCellBy(direction, count, TRUE);
}

BOOL CGXGridCore::MoveCurrentCellBy(int direction, ROWCOL count, BOOL) {
  const ROWCOL rows = GetRowCount(), cols = GetColCount();
  const ROWCOL firstRow = GetHeaderRows() + 1, firstCol = GetHeaderCols() + 1;
  if (rows < firstRow || cols < firstCol) return FALSE;
  ROWCOL row = firstRow, col = firstCol;
  const BOOL hasCurrent = QueryCurrentCell(&row, &col);
  if (!hasCurrent) {
    row = firstRow;
    col = firstCol;
  }
  row = std::max(row, firstRow);
  col = std::max(col, firstCol);
  auto usableRow = [&](ROWCOL r, ROWCOL c) { return GetRowHeight(r) > 0 && IsCellEnterable(r, c); };
  auto usableCol = [&](ROWCOL r, ROWCOL c) { return GetColWidth(c) > 0 && IsCellEnterable(r, c); };
  // Steps up or down from `from` over `steps` usable rows; stays when none is found.
  auto stepRows = [&](ROWCOL from, ROWCOL c, ROWCOL steps, BOOL down) {
    ROWCOL r = from, last = from;
    while (steps) {
      if (down ? r >= rows : r <= firstRow) break;
      r = down ? r + 1 : r - 1;
      if (usableRow(r, c)) {
        last = r;
        --steps;
      }
    }
    return last;
  };
  auto stepCols = [&](ROWCOL r, ROWCOL from, ROWCOL steps, BOOL right) {
    ROWCOL c = from, last = from;
    while (steps) {
      if (right ? c >= cols : c <= firstCol) break;
      c = right ? c + 1 : c - 1;
      if (usableCol(r, c)) {
        last = c;
        --steps;
      }
    }
    return last;
  };
  auto firstUsableRow = [&](ROWCOL c, BOOL fromTop) {
    if (fromTop) {
      for (ROWCOL r = firstRow; r <= rows; ++r)
        if (usableRow(r, c)) return r;
    } else {
      for (ROWCOL r = rows; r >= firstRow; --r)
        if (usableRow(r, c)) return r;
    }
    return GX_INVALID;
  };
  auto firstUsableCol = [&](ROWCOL r, BOOL fromLeft) {
    if (fromLeft) {
      for (ROWCOL c = firstCol; c <= cols; ++c)
        if (usableCol(r, c)) return c;
    } else {
      for (ROWCOL c = cols; c >= firstCol; --c)
        if (usableCol(r, c)) return c;
    }
    return GX_INVALID;
  };
  ROWCOL newRow = row, newCol = col;
  if (!hasCurrent) {
    newRow = firstUsableRow(col, TRUE);
    if (newRow == GX_INVALID) return FALSE;
  } else {
    switch (direction) {
      case GX_UP: newRow = stepRows(row, col, count, FALSE); break;
      case GX_DOWN: newRow = stepRows(row, col, count, TRUE); break;
      case GX_LEFT: newCol = stepCols(row, col, count, FALSE); break;
      case GX_RIGHT: newCol = stepCols(row, col, count, TRUE); break;
      case GX_TOPROW: newRow = firstUsableRow(col, TRUE); break;
      case GX_BOTTOMROW: newRow = firstUsableRow(col, FALSE); break;
      case GX_LEFTCOL: newCol = firstUsableCol(row, TRUE); break;
      case GX_RIGHTCOL: newCol = firstUsableCol(row, FALSE); break;
      case GX_TOPLEFT:
        newRow = firstUsableRow(firstCol, TRUE);
        if (newRow == GX_INVALID) return FALSE;
        newCol = firstUsableCol(newRow, TRUE);
        break;
      case GX_BOTTOMRIGHT:
        newRow = firstUsableRow(cols, FALSE);
        if (newRow == GX_INVALID) return FALSE;
        newCol = firstUsableCol(newRow, FALSE);
        break;
      case GX_MOSTBOTTOM_PAGE:
      case GX_MOSTTOP_PAGE: {
        // Page moves scroll a page; a current cell below the frozen rows moves by the rows scrolled.
        const BOOL down = direction == GX_MOSTBOTTOM_PAGE;
        const ROWCOL oldTop = m_nTopRow;
        CRect area = GetGridRect();
        ROWCOL bottom = CalcBottomRow(area);
        ROWCOL page = std::max<ROWCOL>(1, bottom > m_nTopRow ? bottom - m_nTopRow : 1) * count;
        ScrollByCells(down ? GX_DOWN : GX_UP, page);
        ROWCOL moved = down ? m_nTopRow - oldTop : oldTop - m_nTopRow;
        if (row > GetFrozenRows()) {
          if (moved == 0) moved = page;
          newRow = stepRows(row, col, moved, down);
        }
        break;
      }
      default: return FALSE;
    }
  }
  if (newRow == GX_INVALID || newCol == GX_INVALID) return FALSE;
  if (hasCurrent && newRow == row && newCol == col) return FALSE;
  return MoveCurrentCellTo(newRow, newCol, GX_UPDATENOW | 0x08);
}
