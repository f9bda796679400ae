// Copying and moving a block of cells inside one grid, with undo, without any serialisation.
//
// Operations counted from 0 (the grid's DirectCopyMoveForward<n>): 0 CopyCells, 1 CopyCellsData,
// 2 MoveCells, 3 MoveCellsData. GXCopyCells and GXMoveCells call 0 and 2 through the grid, so that a grid
// class can override the forwarders.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CGXDirectCopyMoveCellsImp : public CGXGridDirectCopyMoveCellsImp {
 public:
  // Copies the block's stored styles to (destRow, destCol) as one "Copy" transaction; undo sets the
  // destination back to what it held. FALSE for a read-only grid, a failed copy or a Cancel of the
  // too-large question (nothing changed then).
  virtual BOOL CopyCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol, UINT flags);
  // The cell store's copy; TRUE without a store.
  virtual BOOL CopyCellsData(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol);
  // Moves the block; undoInfo is the record of an earlier move to put back (its entries are consumed) and,
  // when undo is recorded, the record of this move goes into the move-cells command. The data move's
  // result: a failed move stops its caller.
  virtual BOOL MoveCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                         CObject*& undoInfo, UINT flags, int commandType);
  virtual BOOL MoveCellsData(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                             CObject*& undoInfo, BOOL recordUndo, int commandType);

  // args: const CGXRange* source, destRow, destCol, flags.
  LRESULT DirectCopyMoveForward0(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: const CGXRange* source, destRow, destCol.
  LRESULT DirectCopyMoveForward1(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: const CGXRange* source, destRow, destCol, CObject** undoInfo, flags, commandType.
  LRESULT DirectCopyMoveForward2(CGXGridCore* grid, const GXForwardArgs& args) override;
  // args: const CGXRange* source, destRow, destCol, CObject** undoInfo, recordUndo, commandType.
  LRESULT DirectCopyMoveForward3(CGXGridCore* grid, const GXForwardArgs& args) override;
};

BOOL GXCopyCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol, UINT flags);
BOOL GXMoveCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                 UINT flags, int commandType);
