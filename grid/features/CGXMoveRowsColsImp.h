// Moving a block of rows or columns: in the cell data, the per-line records of the parameter object (sizes,
// hidden marks, selection and covered cells), the span pools and on the screen, with an undo command.
//
// Numbering: from..to is the block, dest the first line it occupies after the move. Let n = to - from + 1
// and D = dest + n when moving down (from < dest), else dest: in the numbering before the move the block
// is inserted before line D, lines between the block and D shift by n and no other line moves.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CGXMoveRowsColsImp : public CGXGridMoveRowsColsImp {
 public:
  BOOL StoreMoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest) override;
  BOOL StoreMoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest) override;
  BOOL MoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int commandType) override;
  BOOL MoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int commandType) override;
  void UpdateMovedRows(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint) override;
  void UpdateMovedCols(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint) override;

  // Where line `index` lies after from..to moved to dest.
  static ROWCOL MovedIndex(ROWCOL index, ROWCOL from, ROWCOL to, ROWCOL dest);
  // Whether the arguments describe a move inside count lines: 1 <= from <= to <= count, 1 <= dest and the
  // block ending by the last line.
  static BOOL IsValidMove(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL count);

 private:
  BOOL Move(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int commandType);
  BOOL Store(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, ROWCOL dest);
  void Update(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint);
};
