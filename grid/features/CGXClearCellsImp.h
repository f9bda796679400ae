// Clearing cells (the Delete key): the values, or with Ctrl the styles, of the cells in a list of ranges,
// as one undoable step ("Clear Cells") inside a long operation whose abort can keep or undo what was
// cleared.
//
// Only cells that lie in a listed range are cleared: the blocks that the list's merged row and column
// intervals form may also hold cells between two ranges, and those stay. Every cell is judged on its own by
// the grid's CGXGridCore::CanClearCell: one it keeps (read-only, disabled, taking no typed text, refused by
// OnDeleteCell) keeps its value and style and is no part of the step's undo.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CGXClearCellsImp : public CGXGridClearCellsImp {
 public:
  // FALSE for a read-only grid; else TRUE exactly when the grid has a current cell.
  BOOL CanClear(CGXGridCore* grid) override;
  // The selection (or the current cell) cleared through the grid's ClearCells; styles when ctrlHeld.
  BOOL ClearCellsForward1(CGXGridCore* grid, BOOL ctrlHeld) override;
  // flags: TRUE clears the styles, FALSE the values. TRUE when everything was cleared, FALSE on an abort.
  BOOL ClearCells(CGXGridCore* grid, const CGXRangeList& ranges, UINT flags) override;
};
