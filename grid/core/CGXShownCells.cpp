#include "grid/core/CGXShownCells.h"

#include "grid/core/CGXGridCore.h"

CGXShownCells::CGXShownCells(CGXGridCore& grid)
    : m_grid(grid), m_frozen{grid.GetFrozenRows(), grid.GetFrozenCols()} {}

BOOL CGXShownCells::IsShown(ROWCOL row, ROWCOL col) {
  CGXRange block;
  if (!m_grid.GetCoveredCellsRowCol(row, col, block)) return HasSize(Lines::Cols, col) && HasSize(Lines::Rows, row);
  // A covered range is seen as its top-left cell.
  return block.top == row && block.left == col && Shows(block);
}

BOOL CGXShownCells::MeetsInColumn(ROWCOL row, ROWCOL col, ROWCOL& cellRow, ROWCOL& cellCol) {
  cellRow = row;
  cellCol = col;
  CGXRange block;
  if (!m_grid.GetCoveredCellsRowCol(row, col, block)) return HasSize(Lines::Cols, col) && HasSize(Lines::Rows, row);
  if (block.top != row) return FALSE;
  if (block.left == col) return Shows(block);
  // A column right of the top-left cell's: only the first the range shows through.
  if (!HasSize(Lines::Cols, col) || AnyHasSize(Lines::Cols, block.left, col - 1) ||
      !AnyHasSize(Lines::Rows, block.top, block.bottom))
    return FALSE;
  cellCol = block.left;
  return TRUE;
}

// A covered range shows over whichever of its rows and columns have a size.
BOOL CGXShownCells::Shows(const CGXRange& block) {
  return (HasSize(Lines::Cols, block.left) && HasSize(Lines::Rows, block.top)) ||
         (AnyHasSize(Lines::Rows, block.top, block.bottom) && AnyHasSize(Lines::Cols, block.left, block.right));
}

ROWCOL CGXShownCells::WalkedColumn(ROWCOL row, ROWCOL col) {
  CGXRange block;
  if (!m_grid.GetCoveredCellsRowCol(row, col, block)) return col;
  const ROWCOL first = FirstWithSize(Lines::Cols, block.left, block.right);
  return first != GX_INVALID ? first : col;
}

BOOL CGXShownCells::AskSize(Lines lines, ROWCOL index) {
  const BOOL rows = lines == Lines::Rows;
  const CGXGridParam* param = m_grid.GetParam();
  LONG units = 0;
  const BOOL plain = param && !(rows ? m_grid.IsRowHidden(index) : m_grid.IsColHidden(index)) &&
                     !(rows ? param->GetRowHeights() : param->GetColWidths()).Lookup(index, units);
  auto ask = [&] { return rows ? m_grid.RowHasSize(index) : m_grid.ColHasSize(index); };
  Line& line = rows ? m_row : m_col;
  line.index = index;
  line.known = TRUE;
  if (!plain) {
    line.sized = ask();
  } else {
    Answer& shared = m_plain[static_cast<int>(lines)][index <= m_frozen[static_cast<int>(lines)]];
    if (!shared.known) shared = {TRUE, ask()};
    line.sized = shared.sized;
  }
  return line.sized;
}

ROWCOL CGXShownCells::FirstWithSize(Lines lines, ROWCOL from, ROWCOL to) {
  const BOOL rows = lines == Lines::Rows;
  for (ROWCOL l = rows ? m_grid.NextShownRow(from) : m_grid.NextShownCol(from); l != GX_INVALID && l <= to;) {
    if (HasSize(lines, l)) return l;
    if (l >= to) break;
    l = rows ? m_grid.NextShownRow(l + 1) : m_grid.NextShownCol(l + 1);
  }
  return GX_INVALID;
}
