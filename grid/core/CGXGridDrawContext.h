// One block of cells being drawn: positions, sizes, composed styles and 16-bit cell flags, indexed by the
// block's rows i and columns j (client order).
#pragma once

#include <vector>

#include "grid/core/CGXStyle.h"
#include "grid/core/gxtypes.h"
#include "platform/base/geometry.h"

class CDC;

// Cell flags.
constexpr WORD GX_CF_BORDER_LEFT = 0x0001, GX_CF_BORDER_RIGHT = 0x0002, GX_CF_BORDER_TOP = 0x0004,
               GX_CF_BORDER_BOTTOM = 0x0008, GX_CF_INVERT = 0x0010, GX_CF_OWNBACKGROUND = 0x0020,
               GX_CF_SPANNED = 0x0040, GX_CF_HLINE = 0x0200, GX_CF_VLINE = 0x0400;

class CGXGridDrawContext {
 public:
  ROWCOL n = 0, m = 0;
  std::vector<int> heights, widths, tops, lefts;
  std::vector<ROWCOL> rows, cols;
  std::vector<const CGXStyle*> styles;  // from the grid's style cache
  std::vector<WORD> flags;
  CDC* dc = nullptr;
  CRect clip;
  BOOL colorsAllowed = TRUE;

  const CGXStyle& Style(ROWCOL i, ROWCOL j) const { return *styles[static_cast<size_t>(i) * m + j]; }
  WORD& Flags(ROWCOL i, ROWCOL j) { return flags[static_cast<size_t>(i) * m + j]; }
  CRect CellRect(ROWCOL i, ROWCOL j) const {
    return CRect(lefts[j], tops[i], lefts[j] + widths[j], tops[i] + heights[i]);
  }
};
