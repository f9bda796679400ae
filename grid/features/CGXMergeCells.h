// Merged cells: neighbours of a row (or of a column) with the same content drawn as one cell. The spans
// live in the parameter object's two merge pools, one per direction; the delayed mode keeps the areas to
// evaluate in its delayed-range pool as floating cells do.
//
// Evaluating a cell compares it with its neighbour on each side (MergeHorizontalPair, MergeVerticalPair)
// and, when that changed a span, walks on along the row (column) until a pair changes nothing, so three
// equal cells become one span whichever of them is evaluated.
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXRange.h"

// The "MergeCell" attribute's flags.
constexpr UINT GX_MERGE_HORIZONTAL = 1, GX_MERGE_VERTICAL = 2, GX_MERGE_COMPVALUE = 4;
// Mode word bits beside the mode (low two bits).
constexpr WORD GX_MERGE_NOVERTICAL = 0x04, GX_MERGE_NOHORIZONTAL = 0x08, GX_MERGE_HIDDEN = 0x10;

class CGXSpanCellPool;
class CGXDelayedRangePool;

class CGXMergeCells : public CGXGridMergeCellsImp {
 public:
  void SetMergeCellsMode(CGXGridCore* g, WORD mode, BOOL redraw);

  // Both styles merge and, with compare-values-only on both, hold equal values; else each is a subset of the
  // other.
  BOOL CanMergeStyles(CGXGridCore* g, const CGXStyle& a, const CGXStyle& b) override;
  void RecalcMergedCells(CGXGridCore* g, const CGXRange& range, int flag) override;
  BOOL CalcMergedCellsInRange(CGXGridCore* g, const CGXRange& range) override;
  // Direction 0 horizontal, 1 vertical, -1 either (out then holds the last found).
  BOOL GetMergedCellsRange(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange& out, int direction) override;
  void RedrawMergedCells(CGXGridCore* g, const CGXRange& range, UINT flags) override;
  void WidenRangeByMergedCells(CGXGridCore* g, CGXRange& range) override;

  BOOL EvaluateMergeCellsInRange(CGXGridCore* g, const CGXRange& range, BOOL noLock, CGXRange* changed);
  BOOL CanMergeCell(CGXGridCore* g, ROWCOL row, ROWCOL col, const CGXStyle& style, int direction);
  BOOL EvaluateMergeCell(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange* changed);
  // The pair of neighbours (a before b) along a row (direction 0) or a column (1): merged when both may
  // merge and match, split otherwise. TRUE when a span changed.
  BOOL MergePair(CGXGridCore* g, int direction, ROWCOL line, ROWCOL a, ROWCOL b, CGXRange* changed);
  BOOL SetMergedRange(CGXGridCore* g, int direction, ROWCOL row, ROWCOL col, ROWCOL toRow, ROWCOL toCol);

 private:
  CGXSpanCellPool* Pool(CGXGridCore* g, int direction);
  CGXDelayedRangePool* Delayed(CGXGridCore* g);
  // The neighbour before (after) an index along a direction, past hidden lines when hidden lines take part.
  ROWCOL Before(CGXGridCore* g, int direction, ROWCOL index);
  ROWCOL After(CGXGridCore* g, int direction, ROWCOL index);
  BOOL Hidden(CGXGridCore* g, int direction, ROWCOL index);

  CGXRange m_lastMerged;  // the last span stored (valid when the last store succeeded)
};
