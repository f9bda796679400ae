#include "grid/core/CGXDataCopyMoveCellsImp.h"

#include "grid/core/CGXGridGlobals.h"

IMPLEMENT_DYNAMIC(CGXDataUndoMoveCellsInfo, CObject)

void InstallDataCopyMoveCellsImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pDataCopyMoveCellsImp) return;
  auto* imp = new CGXDataCopyMoveCellsImp;
  g.m_pDataCopyMoveCellsImp = imp;
  g.AddToAutoDeleteList(imp);
}

namespace {
// The place of a cell in the store's row arrays, growing them to the store's counts as needed.
void Put(CGXData& data, ROWCOL row, ROWCOL col, CGXStyle* style) {
  CGXStylePtrArrayPtrArray& rows = data.GetCells();
  if (!style && static_cast<INT_PTR>(row) >= rows.GetSize()) return;  // nothing stored there
  CGXStylePtrArray& r = rows.Row(static_cast<INT_PTR>(row));
  r.SetAtGrow(static_cast<INT_PTR>(col), style);  // what stood there is freed
}

const CGXStyle* At(const CGXData& data, ROWCOL row, ROWCOL col) {
  const CGXStylePtrArray* r = data.GetCells().GetAt(static_cast<INT_PTR>(row));
  return r ? r->GetAt(static_cast<INT_PTR>(col)) : nullptr;
}

// The destination block must lie within the store's rows and columns: a block past them (or past the last
// row number) would grow the store without bound or wrap onto the header cells. Such a request is refused
// before anything changes.
BOOL DestinationFits(const CGXData& data, ROWCOL height, ROWCOL width, ROWCOL destRow, ROWCOL destCol) {
  return destRow <= data.GetRowCount() && height <= data.GetRowCount() - destRow &&
         destCol <= data.GetColCount() && width <= data.GetColCount() - destCol;
}

CGXStyle* Take(CGXData& data, ROWCOL row, ROWCOL col) {
  CGXStylePtrArray* r = data.GetCells().GetAt(static_cast<INT_PTR>(row));
  return r && static_cast<INT_PTR>(col) < r->GetSize() ? r->Detach(static_cast<INT_PTR>(col)) : nullptr;
}
}  // namespace

BOOL CGXDataCopyMoveCellsImp::CopyCells(CGXData& data, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                        ROWCOL destRow, ROWCOL destCol) {
  if (top > bottom || left > right) return TRUE;
  if (!DestinationFits(data, bottom - top, right - left, destRow, destCol)) return FALSE;
  const INT_PTR storedRows = data.GetCells().GetSize();
  struct Cell {
    ROWCOL row, col;
    std::unique_ptr<CGXStyle> style;
  };
  // 1. The snapshot: clones of the source, read before anything is written. A source row that is not stored
  //    copies "nothing stored" onto a destination row that is; onto one that is not stored either it is
  //    skipped (there is nothing to clear there).
  std::vector<Cell> snapshot;
  for (ROWCOL r = top;; ++r) {
    const ROWCOL dr = destRow + (r - top);
    if (static_cast<INT_PTR>(r) < storedRows || static_cast<INT_PTR>(dr) < storedRows) {
      for (ROWCOL c = left;; ++c) {
        const CGXStyle* s = At(data, r, c);
        snapshot.push_back({dr, destCol + (c - left), s ? std::unique_ptr<CGXStyle>(s->Clone()) : nullptr});
        if (c == right) break;
      }
    }
    if (r == bottom) break;
  }
  // 2. The destination: each cell replaced (and its old style freed) by the clone or by nothing.
  for (Cell& cell : snapshot) Put(data, cell.row, cell.col, cell.style.release());
  return TRUE;
}

BOOL CGXDataCopyMoveCellsImp::MoveCells(CGXData& data, const CGXRange& range, ROWCOL destRow, ROWCOL destCol,
                                        CObject*& undoInfo, BOOL createUndoInfo) {
  if (range.top > range.bottom || range.left > range.right) return TRUE;
  if (!DestinationFits(data, range.bottom - range.top, range.right - range.left, destRow, destCol)) return FALSE;
  struct Moved {
    ROWCOL row, col;
    std::unique_ptr<CGXStyle> style;
  };
  // 1. Take every stored style of the source out.
  std::vector<Moved> moved;
  for (ROWCOL r = range.top; r <= range.bottom; ++r) {
    if (static_cast<INT_PTR>(r) >= data.GetCells().GetSize()) break;
    for (ROWCOL c = range.left; c <= range.right; ++c) {
      if (CGXStyle* s = Take(data, r, c))
        moved.push_back({destRow + (r - range.top), destCol + (c - range.left), std::unique_ptr<CGXStyle>(s)});
      if (c == range.right) break;
    }
    if (r == range.bottom) break;
  }
  // 2. Clear the destination block, keeping what stood there for undo when asked.
  std::vector<CGXDataUndoMoveCellsInfo::Entry> overwritten;
  const ROWCOL h = range.bottom - range.top, w = range.right - range.left;
  for (ROWCOL r = destRow; r <= destRow + h; ++r) {
    for (ROWCOL c = destCol; c <= destCol + w; ++c) {
      std::unique_ptr<CGXStyle> old(Take(data, r, c));
      if (old && createUndoInfo) overwritten.push_back({r, c, std::move(old)});
      if (c == destCol + w) break;
    }
    if (r == destRow + h) break;
  }
  // 3. Store the taken styles at their destinations.
  for (Moved& m : moved) Put(data, m.row, m.col, m.style.release());
  // 4. Put back what an earlier move overwrote; a style standing at such a place now is replaced and freed.
  auto* previous = undoInfo && undoInfo->IsKindOf(RUNTIME_CLASS(CGXDataUndoMoveCellsInfo))
                       ? static_cast<CGXDataUndoMoveCellsInfo*>(undoInfo)
                       : nullptr;
  if (previous) {
    for (auto& e : previous->m_entries) Put(data, e.row, e.col, e.style.release());
    previous->m_entries.clear();
  }
  // 5. The new undo information.
  if (createUndoInfo) {
    // The caller handed its undo object over; one of another kind is replaced, so it is freed here.
    if (!previous) delete undoInfo;
    CGXDataUndoMoveCellsInfo* info = previous ? previous : new CGXDataUndoMoveCellsInfo;
    info->m_entries = std::move(overwritten);
    undoInfo = info;
  }
  return TRUE;
}
