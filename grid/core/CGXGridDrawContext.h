// One block of cells being drawn: positions, sizes, composed styles and 16-bit cell flags, indexed by the
// block's rows i and columns j (client order). Lives on the stack of CGXGridCore::DrawCellBlock; the grid
// keeps a pointer to the innermost one (GetDrawContext) for the measuring device and the features.
#pragma once

#include <vector>

#include "grid/core/CGXStyle.h"
#include "grid/core/gxtypes.h"
#include "platform/base/geometry.h"

class CDC;
class CGXControl;

// Cell flags.
constexpr WORD GX_CF_BORDER_LEFT = 0x0001, GX_CF_BORDER_RIGHT = 0x0002, GX_CF_BORDER_TOP = 0x0004,
               GX_CF_BORDER_BOTTOM = 0x0008, GX_CF_INVERT = 0x0010, GX_CF_OWNBACKGROUND = 0x0020,
               GX_CF_SPANNED = 0x0040, GX_CF_HLINE = 0x0200, GX_CF_VLINE = 0x0400, GX_CF_VLINE_FROZEN = 0x0800,
               GX_CF_HLINE_FROZEN = 0x1000;

class CGXGridDrawContext {
 public:
  ROWCOL n = 0, m = 0;                     // rows and columns of the block
  ROWCOL firstRow = 0, firstCol = 0;       // first scrolled row and column
  ROWCOL frozenCols = 0, frozenRows = 0, headerCols = 0, headerRows = 0;
  CRect currentInner;                      // inner rectangle of the current cell when its control drew here
  int originX = 0, originY = 0;            // left and top of the block's first cell
  std::vector<int> heights, widths, tops, lefts;
  // Absolute rows (n + 1) and columns (m + 1): the last entry is the row (column) after the block, or 0
  // when that lies past the count.
  std::vector<ROWCOL> rows, cols;
  // From the grid's style cache; null until the cell is prepared (its flags set). A null entry therefore
  // means "not drawn in this block": a cell under a span, or one before its row's first changed cell.
  std::vector<const CGXStyle*> styles;
  // Styles composed up front (preload switch 1); a cell takes its own only when it is prepared, so that
  // preloading never makes an unprepared cell look drawable.
  std::vector<const CGXStyle*> preloaded;
  std::vector<WORD> flags;
  CGXControl* currentControl = nullptr;    // the current cell's control when it lies in the block
  BOOL currentFramed = FALSE;              // its frame was drawn in this block
  BOOL invertSelection = FALSE;
  BOOL colorsAllowed = TRUE;
  COLORREF background = 0xFFFFFF;
  CDC* dc = nullptr;
  CRect clip;
  // Changed-cells mode: per row the block column of its first changed cell (m when none).
  std::vector<ROWCOL> firstChanged;

  const CGXStyle* StylePtr(ROWCOL i, ROWCOL j) const { return styles[static_cast<size_t>(i) * m + j]; }
  const CGXStyle& Style(ROWCOL i, ROWCOL j) const { return *styles[static_cast<size_t>(i) * m + j]; }
  WORD& Flags(ROWCOL i, ROWCOL j) { return flags[static_cast<size_t>(i) * m + j]; }
  CRect CellRect(ROWCOL i, ROWCOL j) const {
    return CRect(lefts[j], tops[i], lefts[j] + widths[j], tops[i] + heights[i]);
  }
};
