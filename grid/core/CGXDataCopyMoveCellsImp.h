// Copying and moving blocks of stored cell styles inside a cell store, with undo information for moves.
#pragma once

#include <memory>
#include <vector>

#include "grid/core/CGXData.h"

// The styles that a move overwrote, with their places: handed back to the next move to put them back.
class CGXDataUndoMoveCellsInfo : public CObject {
  DECLARE_DYNAMIC(CGXDataUndoMoveCellsInfo)

 public:
  struct Entry {
    ROWCOL row, col;
    std::unique_ptr<CGXStyle> style;
  };
  std::vector<Entry> m_entries;
};

class CGXDataCopyMoveCellsImp : public CGXAbstractDataCopyMoveCellsImp {
 public:
  // Copies the stored styles of the block to the block at (destRow, destCol). The source is read into a
  // snapshot first, so an overlapping destination receives the original cells. A cell with nothing stored
  // clears its destination; source rows beyond the stored rows are skipped where the destination row is not
  // stored either. FALSE (nothing changed) when the destination block does not fit in the store's counts.
  BOOL CopyCells(CGXData& data, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, ROWCOL destRow,
                 ROWCOL destCol) override;
  // Takes the block's styles out, stores them at the destination (what stood there goes into the undo
  // information when asked, else is deleted), then puts back what an earlier move's undo information holds,
  // replacing (and freeing) whatever stands at those places. Undo information of another kind counts as none.
  // FALSE (nothing changed) when the destination block does not fit in the store's counts.
  BOOL MoveCells(CGXData& data, const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                 BOOL createUndoInfo) override;
};

void InstallDataCopyMoveCellsImp();
