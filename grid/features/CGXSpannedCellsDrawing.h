// The drawing of spanned cells: covered, merged and floating blocks, each drawn by its origin (top-left)
// cell over the whole block.
//
// Call flow, per block of cells the engine draws (CGXGridCore::DrawCellBlock):
//   PrepareSpannedCells -> the merged, then the floating cells of the range are brought up to date, pane by
//                          pane (frozen rows x frozen columns, frozen rows x scrolled columns, scrolled rows x
//                          frozen columns, scrolled rows x scrolled columns)
//   IsSpannedCell       -> at a block's first cell every cell of the block is marked: the origin 0x40, the
//                          others 0x140 (covered blocks 0xC0 and 0x1C0), all with the origin's style; the
//                          block's outer cells carry its grid lines and borders
//   DrawSpannedCell     -> the first drawn cell of each pane part of the block draws the origin cell over the
//                          part, clipped to it; the other cells of the block draw nothing
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXRange.h"

// Flags this feature sets beside the engine's GX_CF_SPANNED (0x40).
constexpr WORD GX_CF_SPANNED_INNER = 0x0100;    // a cell of a block other than its origin
constexpr WORD GX_CF_SPANNED_COVERED = 0x0080;  // the block is a covered range

class CGXSpannedCellsDrawing : public CGXDrawSpannedCellsImp {
 public:
  BOOL IsSpannedCell(CGXGridCore* g, CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) override;
  BOOL DrawSpannedCell(CGXGridCore* g, CGXGridDrawContext& ctx, ROWCOL i, ROWCOL j) override;
  // The answer tells whether a span changed.
  LRESULT PrepareSpannedCells(CGXGridCore* g, ROWCOL frozenRows, ROWCOL frozenCols, ROWCOL topRow, ROWCOL leftCol,
                              ROWCOL lastRow, ROWCOL lastCol, ROWCOL top, ROWCOL left, ROWCOL bottom,
                              ROWCOL right) override;

  // The block that a cell belongs to and whether it is a covered block; FALSE for a cell in no block of
  // more than one cell. A merged or floating block is not taken for the edited current cell unless the
  // block starts there.
  static BOOL FindBlock(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange& block, BOOL& covered);
};
