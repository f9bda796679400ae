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
  // snapshot first, so an overlapping destination receives the original cells. A source row beyond the
  // stored rows copies nothing.
  BOOL CopyCells(CGXData& data, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, ROWCOL destRow,
                 ROWCOL destCol) override;
  // Takes the block's styles out, stores them at the destination (what stood there goes into the undo
  // information when asked, else is deleted), then puts back what an earlier move's undo information holds,
  // replacing (and freeing) whatever stands at those places.
  BOOL MoveCells(CGXData& data, const CGXRange& range, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                 BOOL createUndoInfo) override;
};

void InstallDataCopyMoveCellsImp();
