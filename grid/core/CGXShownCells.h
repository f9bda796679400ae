// Whether cells show as cells of their own (CGXGridCore::IsCellShown), asked along a walk over many cells:
// the answers for the row and the column asked last are kept, so that a walk down a column asks the column's
// width once. A shown line without a size of its own has the answer of the first such line asked on its side
// of the frozen lines, as the size sums take it (CGXGridCore::SumRowHeights): a walk asks each row's hidden
// mark and stored size, and the sizes of the lines that have their own. A cell costs a covered-range lookup
// besides. Sizes changed while a walk lives are not seen: it lives as long as one pass of a search.
#pragma once

#include "grid/core/CGXRange.h"
#include "grid/core/gxtypes.h"

class CGXGridCore;

class CGXShownCells {
 public:
  explicit CGXShownCells(CGXGridCore& grid);
  BOOL IsShown(ROWCOL row, ROWCOL col);
  // The cell a walk down or up column `col` meets at (row, col), in (cellRow, cellCol): the cell itself when it
  // shows as its own; a covered range, as its top-left cell, in its top row and in the first of its columns that
  // has a size (the first it shows through: its top-left cell's column may have none, as its top row may), when
  // it shows. FALSE when the walk meets no cell there. A walk down its top-left cell's column meets it there too.
  BOOL MeetsInColumn(ROWCOL row, ROWCOL col, ROWCOL& cellRow, ROWCOL& cellCol);
  // The column a walk down or up from (row, col) goes along: the first of a covered range's columns that has a
  // size (as a move up or down from the range does), else `col`.
  ROWCOL WalkedColumn(ROWCOL row, ROWCOL col);

 private:
  enum class Lines { Rows = 0, Cols = 1 };
  struct Answer {
    BOOL known = FALSE, sized = FALSE;
  };
  struct Line : Answer {
    ROWCOL index = 0;
  };
  BOOL HasSize(Lines lines, ROWCOL index) {
    const Line& line = lines == Lines::Rows ? m_row : m_col;
    return line.known && line.index == index ? line.sized : AskSize(lines, index);
  }
  BOOL AskSize(Lines lines, ROWCOL index);
  // Whether a covered range shows (any of its rows and any of its columns has a size).
  BOOL Shows(const CGXRange& block);
  // The first of the lines from..to that has a size (GX_INVALID when none); hidden runs are jumped.
  ROWCOL FirstWithSize(Lines lines, ROWCOL from, ROWCOL to);
  BOOL AnyHasSize(Lines lines, ROWCOL from, ROWCOL to) { return FirstWithSize(lines, from, to) != GX_INVALID; }

  CGXGridCore& m_grid;
  ROWCOL m_frozen[2];
  Line m_row, m_col;
  // By rows and columns, then scrolled and frozen: the answer for the lines without a size of their own.
  Answer m_plain[2][2];
};
