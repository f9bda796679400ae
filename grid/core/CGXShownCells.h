// Whether cells show as cells of their own (CGXGridCore::IsCellShown), asked along a walk over many cells:
// the answers for the row and the column asked last are kept, so that a walk down a column asks the column's
// width once. A shown line without a size of its own has the answer of the first such line asked on its side
// of the frozen lines, as the size sums take it (CGXGridCore::SumRowHeights): a walk asks each row's hidden
// mark and stored size, and the sizes of the lines that have their own. A cell costs a covered-range lookup
// besides. Sizes changed while a walk lives are not seen: it lives as long as one pass of a search.
#pragma once

#include "grid/core/gxtypes.h"

class CGXGridCore;

class CGXShownCells {
 public:
  explicit CGXShownCells(CGXGridCore& grid);
  BOOL IsShown(ROWCOL row, ROWCOL col);

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
  // Whether any of the lines from..to has a size; hidden runs are jumped.
  BOOL AnyHasSize(Lines lines, ROWCOL from, ROWCOL to);

  CGXGridCore& m_grid;
  ROWCOL m_frozen[2];
  Line m_row, m_col;
  // By rows and columns, then scrolled and frozen: the answer for the lines without a size of their own.
  Answer m_plain[2][2];
};
