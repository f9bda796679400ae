// Directional moves of the current cell. A step never lands in a header row or column, in a row or
// column of size 0 outside a covered range, inside a covered range away from its first row (column), on a
// covered range that does not show (CGXGridCore::IsCellShown), or in a disabled cell; at the grid's edge
// nothing changes and the move answers FALSE.
#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXFlagScope.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXRangeList.h"

namespace {
// The anchor of a keyboard move from an unmodified control: taken at the move's first step.
constexpr ROWCOL kAnchorAtFirstStep = static_cast<ROWCOL>(-2);

// The first of the rows (columns) from..to with a size; `from` when none has one.
ROWCOL FirstSizedLine(CGXGridCore& g, BOOL rows, ROWCOL from, ROWCOL to) {
  for (ROWCOL l = rows ? g.NextShownRow(from) : g.NextShownCol(from); l != GX_INVALID && l <= to;) {
    if (rows ? g.RowHasSize(l) : g.ColHasSize(l)) return l;
    if (l >= to) break;
    l = rows ? g.NextShownRow(l + 1) : g.NextShownCol(l + 1);
  }
  return from;
}
}  // namespace

BOOL CGXGridCore::MoveCurrentCellByKey(int direction, ROWCOL count) {
  // The user-selection feature moves with its own selection handling (a held Shift extends).
  if (m_pUserSelectRangeImp) return m_pUserSelectRangeImp->MoveByKey(this, direction, count);
  const BOOL moved = MoveCurrentCellBy(direction, count, TRUE);
  // Decision: the selection anchor cached by the grid is the selection range it took over at its
  // initialisation; a keyboard move without the selection feature leaves it behind.
  m_bSelRangeCached = FALSE;
  return moved;
}

void CGXGridCore::ScrollForCurrentCell(int direction, ROWCOL count) { ScrollByCells(direction, count); }

BOOL CGXGridCore::FindEnabledCell(int direction, ROWCOL* row, ROWCOL* col) {
  if (direction < GX_UP || direction > GX_RIGHT || !row || !col) return FALSE;
  const BOOL vertical = direction == GX_UP || direction == GX_DOWN;
  const BOOL forward = direction == GX_DOWN || direction == GX_RIGHT;
  const ROWCOL limit = vertical ? GetRowCount() : GetColCount();
  ROWCOL r = *row, c = *col;
  ROWCOL& i = vertical ? r : c;
  while (i >= 1 && i <= limit) {
    BOOL skip = FALSE;
    ROWCOL styleRow = r, styleCol = c;
    CGXRange covered;
    if (GetCoveredCellsRowCol(r, c, covered)) {
      // Only the covered range's first row (moving up or down) or first column (left or right) counts, and
      // only while the range shows: over any of its sized rows and columns, also when that first one has none.
      skip = (vertical ? r != covered.top : c != covered.left) || !IsCellShown(covered.top, covered.left);
      styleRow = covered.top;
      styleCol = covered.left;
    } else {
      skip = vertical ? GetRowHeight(r) == 0 : GetColWidth(c) == 0;
    }
    if (!skip && IsCellEnterable(styleRow, styleCol)) {
      *row = r;
      *col = c;
      return TRUE;
    }
    if (forward) {
      if (i == limit) break;
      ++i;
    } else {
      --i;
    }
  }
  return FALSE;
}

// Up (left) by `count` enabled rows (columns), never into the header rows (columns). Crossing from the
// scrolled rows into the frozen rows either follows the rows as shown (the step from the top row shown lands
// on the last frozen row) or, with the frozen-scroll switch, goes on through the rows scrolled out above the
// top row; the steps that land there are counted so that a move ending in the frozen rows can scroll back
// by them. Columns behave alike against the left column.
ROWCOL CGXGridCore::StepBackward(BOOL vertical, ROWCOL row, ROWCOL col, ROWCOL count, ROWCOL* seamSteps) {
  const ROWCOL first = (vertical ? GetHeaderRows() : GetHeaderCols()) + 1;
  const ROWCOL frozen = vertical ? GetFrozenRows() : GetFrozenCols(), top = vertical ? m_nTopRow : m_nLeftCol;
  ROWCOL i = vertical ? row : col, last = GX_INVALID;
  for (ROWCOL n = 0; n < count && i > first; ++n) {
    ROWCOL candidate = i - 1;
    if (!ParamSettings().m_bFrozenScroll && i >= top && candidate < top && candidate > frozen) candidate = frozen;
    if (candidate < first) break;
    ROWCOL fr = vertical ? candidate : row, fc = vertical ? col : candidate;
    if (!FindEnabledCell(vertical ? GX_UP : GX_LEFT, &fr, &fc)) break;
    const ROWCOL found = vertical ? fr : fc;
    if (found < first) break;
    if (found > frozen && found < top) ++*seamSteps;
    i = last = found;
  }
  return last;
}

// Down (right) by `count` enabled rows (columns): beyond the frozen rows one row further (past a covered
// range's last row); within the frozen rows in rows as shown, so that the step from the last frozen row
// lands on the top row.
ROWCOL CGXGridCore::StepForward(BOOL vertical, ROWCOL row, ROWCOL col, ROWCOL count) {
  const ROWCOL limit = vertical ? GetRowCount() : GetColCount();
  const ROWCOL frozen = vertical ? GetFrozenRows() : GetFrozenCols(), top = vertical ? m_nTopRow : m_nLeftCol;
  const ROWCOL first = (vertical ? GetHeaderRows() : GetHeaderCols()) + 1;
  ROWCOL i = vertical ? row : col, last = GX_INVALID;
  for (ROWCOL n = 0; n < count && i < limit; ++n) {
    ROWCOL candidate = i + 1;
    CGXRange covered;
    if (i > frozen) {
      if (GetCoveredCellsRowCol(vertical ? i : row, vertical ? col : i, covered))
        candidate = (vertical ? covered.bottom : covered.right) + 1;
    } else if (i == frozen) {
      candidate = std::max(top, frozen + 1);
    }
    candidate = std::max(candidate, first);
    if (candidate > limit) break;
    ROWCOL fr = vertical ? candidate : row, fc = vertical ? col : candidate;
    if (!FindEnabledCell(vertical ? GX_DOWN : GX_RIGHT, &fr, &fc)) break;
    i = last = vertical ? fr : fc;
  }
  return last;
}

// The rows above the top row that fit, with the top row, into the drawing area below the frozen rows.
ROWCOL CGXGridCore::PageUpRows() const {
  const CRect area = GetGridRect();
  const ROWCOL frozen = GetFrozenRows();
  const int available = area.Height() - SumFrozenRowHeights();
  int used = GetRowHeight(m_nTopRow);
  ROWCOL page = 0;
  for (ROWCOL r = m_nTopRow - 1; r > frozen && r >= 1; --r) {
    // The hidden rows above r count, without a height, as rows of the page.
    if (used > available) break;
    const ROWCOL shown = std::max(PrevShownRow(r), frozen);
    page += r - shown;
    if (shown == frozen) break;
    r = shown;
    const int h = GetRowHeight(r);
    if (used + h > available) break;
    used += h;
    ++page;
  }
  return std::max<ROWCOL>(page, 1);
}

BOOL CGXGridCore::MoveCurrentCellBy(int direction, ROWCOL count, BOOL allowSelectionChange) {
  if (count < 2) count = 1;
  // Both flags get their values back on every path, also when a control or feature throws during the move.
  CGXFlagScope keepStyle(m_bKeepCurrentStyle, m_bKeepCurrentStyle);
  CGXFlagScope moving(m_bMoveInProgress, TRUE);
  auto finish = [&](BOOL result) {
    m_nAnchorRow = m_nAnchorCol = m_nAnchorTopRow = m_nAnchorLeftCol = 0;
    return result;
  };
  ROWCOL row = 0, col = 0;
  const BOOL hasCurrent = QueryCurrentCell(&row, &col);
  const ROWCOL headerRows = GetHeaderRows(), headerCols = GetHeaderCols();
  const ROWCOL frozenRows = GetFrozenRows();
  if (!hasCurrent) {
    // From the stored cell, limited to the counts and kept out of the headers.
    row = std::clamp(row, std::min(headerRows + 1, GetRowCount()), GetRowCount());
    col = std::clamp(col, std::min(headerCols + 1, GetColCount()), GetColCount());
    if (row <= headerRows || col <= headerCols) return finish(FALSE);
  } else if (CGXControl* c = CurrentControl();
             c && !c->GetModifiedState() && m_bCacheCurrentCellStyle && !m_bCacheCurrentCellStyle2) {
    // An unmodified control's cell keeps its style through the move.
    m_bKeepCurrentStyle = TRUE;
    m_nAnchorRow = m_nAnchorCol = m_nAnchorTopRow = m_nAnchorLeftCol = kAnchorAtFirstStep;
  }
  if (m_nAnchorRow == kAnchorAtFirstStep) {
    m_nAnchorRow = row;
    m_nAnchorCol = col;
    m_nAnchorTopRow = m_nTopRow;
    m_nAnchorLeftCol = m_nLeftCol;
  }
  // A derived grid may grow its counts before a move that may reach beyond them.
  switch (direction) {
    case GX_DOWN: OnMoveExtentHook(row + std::min(count, GX_MAXROWCOL - row), col); break;
    case GX_RIGHT: OnMoveExtentHook(row, col + std::min(count, GX_MAXROWCOL - col)); break;
    case GX_MOSTBOTTOM_PAGE:
    case GX_BOTTOMROW: OnMoveExtentHook(GX_MOVE_TO_END, col); break;
    case GX_RIGHTCOL: OnMoveExtentHook(row, GX_MOVE_TO_END); break;
    case GX_BOTTOMRIGHT: OnMoveExtentHook(GX_MOVE_TO_END, GX_MOVE_TO_END); break;
    default: break;
  }
  const ROWCOL rows = GetRowCount(), cols = GetColCount();
  ROWCOL newRow = row, newCol = col, seamRows = 0, seamCols = 0;
  // A move out of a covered range runs along the first of its columns (moving up or down) or rows (left or
  // right) that has a size: its first one may have none, the range shows over the others.
  CGXRange block;
  const BOOL fromBlock = hasCurrent && GetCoveredCellsRowCol(row, col, block);
  if (fromBlock && (direction == GX_UP || direction == GX_DOWN || direction == GX_MOSTTOP_PAGE ||
                    direction == GX_MOSTBOTTOM_PAGE || direction == GX_TOPROW || direction == GX_BOTTOMROW))
    newCol = FirstSizedLine(*this, FALSE, block.left, block.right);
  else if (fromBlock)
    newRow = FirstSizedLine(*this, TRUE, block.top, block.bottom);
  BOOL found = TRUE;
  auto firstRow = [&] { return std::min(headerRows + 1, rows); };
  auto firstCol = [&] { return std::min(headerCols + 1, cols); };
  switch (direction) {
    case GX_UP: found = (newRow = StepBackward(TRUE, row, newCol, count, &seamRows)) != GX_INVALID; break;
    case GX_LEFT: found = (newCol = StepBackward(FALSE, newRow, col, count, &seamCols)) != GX_INVALID; break;
    case GX_DOWN: found = (newRow = StepForward(TRUE, row, newCol, count)) != GX_INVALID; break;
    case GX_RIGHT: found = (newCol = StepForward(FALSE, newRow, col, count)) != GX_INVALID; break;
    case GX_MOSTBOTTOM_PAGE: {
      if (m_nTopRow >= rows) {
        found = FALSE;
        break;
      }
      const ROWCOL bottom = CalcBottomRow(GetGridRect());
      const ROWCOL page = bottom > m_nTopRow ? bottom - m_nTopRow : 1;
      const ROWCOL oldTop = m_nTopRow;
      ScrollForCurrentCell(GX_DOWN, page);
      // By the rows actually scrolled; at the end of the grid (nothing scrolls) by the page.
      const ROWCOL moved = m_nTopRow > oldTop ? m_nTopRow - oldTop : page;
      if (row > frozenRows) newRow = row + std::min(moved, rows - row);
      ROWCOL fr = newRow, fc = newCol;
      if (!FindEnabledCell(GX_DOWN, &fr, &fc)) {
        fr = newRow;
        found = FindEnabledCell(GX_UP, &fr, &fc);
      }
      newRow = fr;
      break;
    }
    case GX_MOSTTOP_PAGE: {
      if (m_nTopRow <= frozenRows + 1) {
        newRow = firstRow();
        found = FindEnabledCell(GX_DOWN, &newRow, &newCol);
        break;
      }
      const ROWCOL page = PageUpRows();
      const ROWCOL oldTop = m_nTopRow;
      ScrollForCurrentCell(GX_UP, page);
      const ROWCOL moved = oldTop > m_nTopRow ? oldTop - m_nTopRow : page;
      if (row > frozenRows) newRow = row > moved ? row - moved : 1;
      ROWCOL fr = newRow, fc = newCol;
      if (!FindEnabledCell(GX_UP, &fr, &fc)) {
        fr = newRow;
        found = FindEnabledCell(GX_DOWN, &fr, &fc);
      }
      newRow = fr;
      break;
    }
    case GX_TOPROW:
      newRow = firstRow();
      found = FindEnabledCell(GX_DOWN, &newRow, &newCol);
      break;
    case GX_BOTTOMROW:
      newRow = rows;
      found = FindEnabledCell(GX_UP, &newRow, &newCol);
      break;
    case GX_LEFTCOL:
      if (col > headerCols && col > 1) ScrollForCurrentCell(GX_LEFT, col - 1);
      newCol = firstCol();
      found = FindEnabledCell(GX_RIGHT, &newRow, &newCol);
      break;
    case GX_RIGHTCOL:
      newCol = cols;
      found = FindEnabledCell(GX_LEFT, &newRow, &newCol);
      break;
    case GX_TOPLEFT: {
      newRow = firstRow();
      newCol = firstCol();
      const BOOL down = FindEnabledCell(GX_DOWN, &newRow, &newCol);
      const BOOL right = FindEnabledCell(GX_RIGHT, &newRow, &newCol);
      found = down || right;
      break;
    }
    case GX_BOTTOMRIGHT: {
      newRow = rows;
      newCol = cols;
      const BOOL up = FindEnabledCell(GX_UP, &newRow, &newCol);
      const BOOL left = FindEnabledCell(GX_LEFT, &newRow, &newCol);
      found = up || left;
      break;
    }
    default: found = FALSE; break;
  }
  if (!found) return finish(FALSE);
  // A cell of the covered range that is current is the current cell.
  const BOOL stays = fromBlock && block.ContainsCell(newRow, newCol);
  const BOOL runs =
      !hasCurrent || (!stays && ((newRow != row && newRow > headerRows) || (newCol != col && newCol > headerCols)));
  if (!runs) return finish(TRUE);
  UINT flags = GX_UPDATENOW | 0x08;
  if (!ParamSettings().m_bCurrentCellJoinsSelection || !allowSelectionChange) {
    flags |= 0x80;
  } else if (ParamSettings().m_bClearSelectionOnMove && m_pParam && !RangeListContains(newRow, newCol, m_pParam->GetSelection())) {
    ClearSelectionByUser();
  }
  if (!MoveCurrentCellTo(newRow, newCol, flags)) return finish(FALSE);
  // A move that ended in the frozen rows (columns) through scrolled-out ones shows them again.
  if (seamRows && newRow <= frozenRows && m_nTopRow > frozenRows + 1)
    SetTopRow(m_nTopRow - std::min(seamRows, m_nTopRow - frozenRows - 1), GX_UPDATENOW);
  const ROWCOL frozenCols = GetFrozenCols();
  if (seamCols && newCol <= frozenCols && m_nLeftCol > frozenCols + 1)
    SetLeftCol(m_nLeftCol - std::min(seamCols, m_nLeftCol - frozenCols - 1), GX_UPDATENOW);
  return finish(TRUE);
}
