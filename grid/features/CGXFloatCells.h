// Floating cells: a text wider than its column floats over the following empty cells of its row that let
// themselves be flooded. The spans live in the parameter object's floating pool; in delayed mode (1) the
// areas changed since the last drawing wait in its delayed-range pool and are evaluated when drawn, in
// immediate mode (2) every drawn range is evaluated.
//
// Call flow: a change -> RecalcFloatCells (delay the area) -> the next drawing -> CalcFloatCellsInRange ->
// EvaluateFloatCell per pending cell -> FloatCellRowCol for the cell and the span start left of it ->
// SetFloatedRange -> the pool; the area whose spans changed is invalidated.
#pragma once

#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"

class CGXSpanCellPool;
class CGXDelayedRangePool;

class CGXFloatCells : public CGXGridFloatCellsImp {
 public:
  // 0 off, 1 delayed, 2 immediate. A change of mode throws the pools away and starts new ones (delayed
  // mode with the whole table pending); redraw repaints the grid, changed or not.
  void SetFloatCellsMode(CGXGridCore* g, WORD mode, BOOL redraw);

  void RecalcFloatCells(CGXGridCore* g, const CGXRange& range, int flag) override;
  BOOL CalcFloatCellsInRange(CGXGridCore* g, const CGXRange& range) override;
  BOOL GetFloatedCellsRange(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange& out) override;
  void RedrawFloatCells(CGXGridCore* g, const CGXRange& range, UINT flags) override;
  void WidenRangeByFloatCells(CGXGridCore* g, CGXRange& range) override;
  // As a source: a non-empty, unrotated text; as a target: an empty cell.
  BOOL CanFloatText(CGXGridCore* g, ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL asSource) override;

  // The range evaluation (changed receives the area whose spans changed when given).
  BOOL EvaluateFloatCellsInRange(CGXGridCore* g, const CGXRange& range, BOOL noLock, CGXRange* changed);
  // Whether the cell may float (direction 1) or be flooded (direction 0).
  BOOL CanFloatCell(CGXGridCore* g, CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& style, int direction);
  BOOL EvaluateFloatCell(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange* changed);
  BOOL FloatCellRowCol(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange* changed);
  BOOL SetFloatedRange(CGXGridCore* g, ROWCOL row, ROWCOL col, ROWCOL toRow, ROWCOL toCol, BOOL hint);

 private:
  CGXSpanCellPool* Pool(CGXGridCore* g);
  CGXDelayedRangePool* Delayed(CGXGridCore* g);
  // The width the cell's text needs, through the control's size calculation.
  int TextWidth(CGXGridCore* g, CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& style);
  // The cell's style for the evaluation: the grid's cached style, with the edited text of the current cell.
  const CGXStyle& StyleOf(CGXGridCore* g, ROWCOL row, ROWCOL col);

  CGXStyle m_edited;  // the current cell's style with its edited text
};
