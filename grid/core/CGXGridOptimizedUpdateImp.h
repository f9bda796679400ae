// The optimized-update feature: after rows or columns were inserted, removed or resized, the window
// contents scroll and only what changed is invalidated, instead of the whole grid repainting. The column
// forms mirror the row forms with the left column and widths.
#pragma once

#include "grid/core/CGXGridGlobals.h"
#include "grid/core/gxtypes.h"

class CGXGridCore;

class CGXGridOptimizedUpdateImp : public CGXImpBase {
 public:
  virtual void OptimizedInsertRows(CGXGridCore* grid, ROWCOL row, ROWCOL count, UINT flags);
  virtual void OptimizedInsertCols(CGXGridCore* grid, ROWCOL col, ROWCOL count, UINT flags);
  // `oldHeights` (to - from + 1 pixel heights) may be null: then what the grid measured of the removed rows
  // before they went (their shown height) is used.
  virtual void OptimizedRemoveRows(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags);
  virtual void OptimizedRemoveCols(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags);
  // Without old heights everything from the first changed row down repaints.
  virtual void OptimizedRowHeights(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldHeights, UINT flags);
  virtual void OptimizedColWidths(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldWidths, UINT flags);
};
