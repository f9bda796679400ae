#include "grid/core/CGXGridHint.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridFeatures.h"

IMPLEMENT_DYNAMIC(CGXGridHint, CObject)

void CGXGridUpdateHintImp::SendHint(CGXGridCore* grid, CGXGridHint& hint) {
  hint.m_group = grid->m_nHintGroup;
  grid->NotifyOtherViews(&hint);
}

namespace {
DWORD_PTR Ptr(const int* sizes) { return reinterpret_cast<DWORD_PTR>(sizes); }
}  // namespace

// Most hints are of one form: the corners of a block of cells (or the first and last row or column of a
// change, or a row and a count), the redraw flags and a pointer-sized argument.
void CGXGridUpdateHintImp::SendBlock(CGXGridCore* grid, DWORD id, ROWCOL top, ROWCOL left, ROWCOL bottom,
                                     ROWCOL right, UINT flags, DWORD_PTR arg) {
  CGXGridHint h(id);
  h.m_row1 = top;
  h.m_col1 = left;
  h.m_row2 = bottom;
  h.m_col2 = right;
  h.m_flags = flags;
  h.m_arg = arg;
  SendHint(grid, h);
}

// The row forms carry rows in the row fields, the column forms columns in the column fields.
void CGXGridUpdateHintImp::SendRows(CGXGridCore* grid, DWORD id, ROWCOL first, ROWCOL second, UINT flags,
                                    DWORD_PTR arg) {
  SendBlock(grid, id, first, 0, second, 0, flags, arg);
}

void CGXGridUpdateHintImp::SendCols(CGXGridCore* grid, DWORD id, ROWCOL first, ROWCOL second, UINT flags,
                                    DWORD_PTR arg) {
  SendBlock(grid, id, 0, first, 0, second, flags, arg);
}

void CGXGridUpdateHintImp::SendRange(CGXGridCore* grid, DWORD id, const CGXRange& range, UINT flags,
                                     DWORD extra) {
  CGXGridHint h(id);
  h.m_range = range;
  h.m_flags = flags;
  h.m_extra = extra;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintReadOnly(CGXGridCore* grid, BOOL oldReadOnly) {
  SendBlock(grid, gxHintReadOnly, 0, 0, 0, 0, 0, static_cast<DWORD_PTR>(oldReadOnly));
}

void CGXGridUpdateHintImp::HintCurrentCellMoved(CGXGridCore* grid, ROWCOL row, ROWCOL col, UINT flags) {
  SendBlock(grid, gxHintCurrentCellMoved, row, col, 0, 0, flags);
}

DWORD CGXGridUpdateHintImp::HintCheckCurrentCell(CGXGridCore* grid, BOOL store, UINT flags) {
  CGXGridHint h(gxHintCheckCurrentCell);
  h.m_arg = static_cast<DWORD_PTR>(store);
  h.m_flags = flags;
  h.m_result = 1;
  SendHint(grid, h);
  return h.m_result;
}

void CGXGridUpdateHintImp::HintRowCount(CGXGridCore* grid, ROWCOL oldCount, UINT flags) {
  SendRows(grid, gxHintRowCount, oldCount, 0, flags);
}

void CGXGridUpdateHintImp::HintColCount(CGXGridCore* grid, ROWCOL oldCount, UINT flags) {
  SendCols(grid, gxHintColCount, oldCount, 0, flags);
}

void CGXGridUpdateHintImp::HintFrozenCols(CGXGridCore* grid, ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags) {
  SendCols(grid, gxHintFrozenCols, oldFrozen, oldHeader, flags);
}

void CGXGridUpdateHintImp::HintFrozenRows(CGXGridCore* grid, ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags) {
  SendRows(grid, gxHintFrozenRows, oldFrozen, oldHeader, flags);
}

// The grid windows of this system never sit in a splitter window: the top-row and left-column hints, which
// only the other pane of a splitter executes, have nobody to go to.
void CGXGridUpdateHintImp::HintTopRow(CGXGridCore*, ROWCOL, UINT) {}
void CGXGridUpdateHintImp::HintLeftCol(CGXGridCore*, ROWCOL, UINT) {}
void CGXGridUpdateHintImp::HintSyncSplitterPanes(CGXGridCore*, int) {}

void CGXGridUpdateHintImp::HintInsertRows(CGXGridCore* grid, ROWCOL row, ROWCOL count, UINT flags) {
  SendRows(grid, gxHintInsertRows, row, count, flags);
}

void CGXGridUpdateHintImp::HintInsertCols(CGXGridCore* grid, ROWCOL col, ROWCOL count, UINT flags) {
  SendCols(grid, gxHintInsertCols, col, count, flags);
}

void CGXGridUpdateHintImp::HintRedrawRange(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                           UINT flags) {
  SendBlock(grid, gxHintRedrawRange, top, left, bottom, right, flags);
}

void CGXGridUpdateHintImp::HintRedrawAll(CGXGridCore* grid, UINT flags) {
  SendBlock(grid, gxHintRedrawAll, 0, 0, 0, 0, flags);
}

void CGXGridUpdateHintImp::HintChangedCells(CGXGridCore* grid, DWORD extra) {
  SendRange(grid, gxHintChangedCells, CGXRange(), 0, extra);
}

void CGXGridUpdateHintImp::HintSheetText(CGXGridCore* grid) { SendBlock(grid, gxHintSheetText, 0, 0, 0, 0, 0); }

void CGXGridUpdateHintImp::HintRangeChanged(CGXGridCore* grid, const CGXRange& range, DWORD extra) {
  SendRange(grid, gxHintRangeChanged, range, 0, extra);
}

void CGXGridUpdateHintImp::HintExcelLikeFrame(CGXGridCore* grid, BOOL lock) {
  SendBlock(grid, gxHintExcelLikeFrame, 0, 0, 0, 0, 0, static_cast<DWORD_PTR>(lock));
}

void CGXGridUpdateHintImp::HintSelectionChanged(CGXGridCore* grid, DWORD_PTR arg, ROWCOL top, ROWCOL left,
                                                ROWCOL bottom, ROWCOL right) {
  SendBlock(grid, gxHintSelectionChanged, top, left, bottom, right, 0, arg);
}

void CGXGridUpdateHintImp::HintSelectionCleared(CGXGridCore* grid) {
  SendBlock(grid, gxHintSelectionCleared, 0, 0, 0, 0, 0);
}

// The old sizes travel as a pointer: the other views run while the sender still holds the array.
void CGXGridUpdateHintImp::HintRowHeights(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldHeights,
                                          UINT flags) {
  SendRows(grid, gxHintRowHeights, from, to, flags, Ptr(oldHeights));
}

void CGXGridUpdateHintImp::HintColWidths(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldWidths,
                                         UINT flags) {
  SendCols(grid, gxHintColWidths, from, to, flags, Ptr(oldWidths));
}

// The zoom hints name the sender's splitter in the extra field; no grid here sits in one (0).
void CGXGridUpdateHintImp::HintStoreZoom(CGXGridCore* grid, int zoom) {
  SendBlock(grid, gxHintStoreZoom, 0, 0, 0, 0, 0, static_cast<DWORD_PTR>(zoom));
}

void CGXGridUpdateHintImp::HintUpdateZoom(CGXGridCore* grid, int oldZoom, UINT flags) {
  SendBlock(grid, gxHintUpdateZoom, 0, 0, 0, 0, flags, static_cast<DWORD_PTR>(oldZoom));
}

void CGXGridUpdateHintImp::HintStyleRange(CGXGridCore* grid, const CGXRange& range, const CGXStyle* style, int mode,
                                          int type, UINT flags) {
  CGXGridHint h(gxHintStyleRange);
  h.m_range = range;
  h.m_pStyle = style;
  h.m_mode = mode;
  h.m_arg = static_cast<DWORD_PTR>(static_cast<LONG_PTR>(type));
  h.m_flags = flags;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintStylesMap(CGXGridCore* grid, UINT flags) {
  SendBlock(grid, gxHintStylesMap, 0, 0, 0, 0, flags);
}

void CGXGridUpdateHintImp::HintProperties(CGXGridCore* grid, UINT flags) {
  SendBlock(grid, gxHintProperties, 0, 0, 0, 0, flags);
}

void CGXGridUpdateHintImp::HintBaseStyle(CGXGridCore* grid, WORD baseStyleId, UINT flags) {
  SendBlock(grid, gxHintBaseStyle, 0, 0, 0, 0, flags, baseStyleId);
}

void CGXGridUpdateHintImp::HintCoveredCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                            UINT flags) {
  SendBlock(grid, gxHintCoveredCells, top, left, bottom, right, flags);
}

void CGXGridUpdateHintImp::HintFloatCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                          UINT flags) {
  SendBlock(grid, gxHintFloatCells, top, left, bottom, right, flags);
}

void CGXGridUpdateHintImp::HintMergedCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                           UINT flags) {
  SendBlock(grid, gxHintMergedCells, top, left, bottom, right, flags);
}

void CGXGridUpdateHintImp::HintSortRows(CGXGridCore* grid, const CGXRange& range, UINT flags) {
  SendRange(grid, gxHintSortRows, range, flags);
}

void CGXGridUpdateHintImp::HintSortCols(CGXGridCore* grid, const CGXRange& range, UINT flags) {
  SendRange(grid, gxHintSortCols, range, flags);
}

void CGXGridUpdateHintImp::HintRemoveRows(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldHeights,
                                          UINT flags) {
  SendRows(grid, gxHintRemoveRows, from, to, flags, Ptr(oldHeights));
}

void CGXGridUpdateHintImp::HintRemoveCols(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldWidths,
                                          UINT flags) {
  SendCols(grid, gxHintRemoveCols, from, to, flags, Ptr(oldWidths));
}

// The destination travels in the third row (column) field.
void CGXGridUpdateHintImp::HintMoveRows(CGXGridCore* grid, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags) {
  CGXGridHint h(gxHintMoveRows);
  h.m_row1 = from;
  h.m_row2 = to;
  h.m_row3 = dest;
  h.m_flags = flags;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintMoveCols(CGXGridCore* grid, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags) {
  CGXGridHint h(gxHintMoveCols);
  h.m_col1 = from;
  h.m_col2 = to;
  h.m_col3 = dest;
  h.m_flags = flags;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::ExecuteHint(CGXGridCore* grid, CObject* object) {
  if (!grid->GetParam() || !object || !object->IsKindOf(RUNTIME_CLASS(CGXGridHint))) return;
  auto& h = static_cast<CGXGridHint&>(*object);
  if (h.m_group != 0xFFFFFFFF && h.m_group != grid->m_nHintGroup) return;
  const CGXRange block(h.m_row1, h.m_col1, h.m_row2, h.m_col2);
  const auto* sizes = reinterpret_cast<const int*>(h.m_arg);  // old heights or widths (may be null)
  switch (h.m_id) {
    case gxHintRedrawAll: grid->RedrawAll(h.m_flags, FALSE); break;
    case gxHintRedrawRange: grid->RedrawRange(h.m_row1, h.m_col1, h.m_row2, h.m_col2, h.m_flags, FALSE); break;
    case gxHintRowCount: grid->UpdateChangedRowCount(h.m_row1, h.m_flags, FALSE); break;
    case gxHintColCount: grid->UpdateChangedColCount(h.m_col1, h.m_flags, FALSE); break;
    case gxHintRowHeights: grid->UpdateChangedRowHeights(h.m_row1, h.m_row2, sizes, h.m_flags, FALSE); break;
    case gxHintColWidths: grid->UpdateChangedColWidths(h.m_col1, h.m_col2, sizes, h.m_flags, FALSE); break;
    case gxHintInsertCols: grid->UpdateInsertCols(h.m_col1, h.m_col2, h.m_flags, FALSE); break;
    case gxHintInsertRows: grid->UpdateInsertRows(h.m_row1, h.m_row2, h.m_flags, FALSE); break;
    case gxHintRemoveCols: grid->UpdateRemoveCols(h.m_col1, h.m_col2, sizes, h.m_flags, FALSE); break;
    case gxHintRemoveRows: grid->UpdateRemoveRows(h.m_row1, h.m_row2, sizes, h.m_flags, FALSE); break;
    case gxHintMoveCols: grid->UpdateMovedCols(h.m_col1, h.m_col2, h.m_col3, h.m_flags, FALSE); break;
    case gxHintMoveRows: grid->UpdateMovedRows(h.m_row1, h.m_row2, h.m_row3, h.m_flags, FALSE); break;
    case gxHintSelectionChanged:
      if (auto* sel = grid->m_pUserSelectRangeImp)
        sel->OnSelectionChangedHint(grid, h.m_arg, h.m_row1, h.m_col1, h.m_row2, h.m_col2);
      break;
    case gxHintSelectionCleared:
      if (auto* sel = grid->m_pUserSelectRangeImp) sel->OnSelectionClearedHint(grid);
      break;
    case gxHintFrozenRows: grid->UpdateFrozenRows(h.m_row1, h.m_row2, h.m_flags, FALSE); break;
    case gxHintFrozenCols: grid->UpdateFrozenCols(h.m_col1, h.m_col2, h.m_flags, FALSE); break;
    case gxHintStyleRange: grid->RefreshStyleRange(h.m_range, h.m_flags); break;
    case gxHintCoveredCells:
      if (auto* covered = grid->m_pCoveredCellsImp)
        covered->OnCoveredCellsHint(grid, h.m_row1, h.m_col1, h.m_row2, h.m_col2, h.m_flags);
      break;
    case gxHintUpdateZoom:
    case gxHintStoreZoom:
      // Zoom hints are for the panes of one splitter (never here) or for grids whose floating cells must
      // be laid out again at the new zoom.
      if (grid->GetParam()->m_wFloatingMode == 0) break;
      if (h.m_id == gxHintUpdateZoom)
        grid->UpdateZoom(static_cast<int>(h.m_arg), h.m_flags, FALSE);
      else
        grid->StoreZoom(static_cast<int>(h.m_arg), FALSE);
      break;
    case gxHintReadOnly: grid->UpdateReadOnly(static_cast<BOOL>(h.m_arg), FALSE); break;
    case gxHintSheetText:
      // The process-wide hook that hears of each grid's name at start-up hears of a renamed one too.
      if (CGXGridInitHook* hook = CGXGridGlobals::Get().m_pInitHook.get())
        hook->OnGridInitialized(grid->GridWnd(), grid->GetParam()->m_sName, TRUE);
      break;
    case gxHintRangeChanged:
      if (auto* sel = grid->m_pUserSelectRangeImp) sel->OnRangeChangedHint(grid, h.m_range, h.m_extra);
      break;
    case gxHintCheckCurrentCell:
      if (!grid->CompleteCellEdit(static_cast<BOOL>(h.m_arg), h.m_flags, FALSE)) h.m_result = 0;
      break;
    case gxHintTopRow:
    case gxHintLeftCol:
      // Executed only by the other pane of a splitter window; a grid outside a splitter ignores them.
      break;
    case gxHintCurrentCellMoved:
      // The other view's current cell follows, without a hint of its own, a focus change or a selection.
      grid->MoveCurrentCellTo(h.m_row1, h.m_col1, h.m_flags | 0xE0);
      break;
    case gxHintFloatCells: grid->RedrawFloatCells(block, h.m_flags); break;
    case gxHintMergedCells: grid->RedrawMergedCells(block, h.m_flags); break;
    case gxHintExcelLikeFrame: grid->LockExcelLikeFrame(static_cast<BOOL>(h.m_arg), FALSE); break;
    case gxHintSortRows: {
      GXForwardArgs args;
      args.v[0] = reinterpret_cast<DWORD_PTR>(&h.m_range);
      args.v[1] = h.m_flags;
      grid->RefreshAfterSort(args);
      break;
    }
    case gxHintSortCols:
      if (auto* sort = grid->m_pSortImp) sort->OnColsSortedHint(grid, h.m_range, h.m_flags);
      break;
    case gxHintProperties: grid->RefreshAfterProperties(h.m_flags, FALSE); break;
    case gxHintStylesMap: grid->RefreshAfterStylesMap(h.m_flags, FALSE); break;
    case gxHintBaseStyle: grid->RefreshAfterBaseStyle(static_cast<WORD>(h.m_arg), h.m_flags, FALSE); break;
    case gxHintChangedCells: grid->RedrawChangedCells(FALSE, nullptr, FALSE); break;
    default: break;  // unknown ids are ignored
  }
}

void CGXGridCore::InstallUpdateHintImp() {
  if (!m_pUpdateHintImp) m_pUpdateHintImp = std::make_unique<CGXGridUpdateHintImp>();
}

void CGXGridCore::NotifyOtherViews(CGXGridHint*) {
  // The class library's document/view update reaches the other views of m_pDocument; the program's grids
  // are dialog grids without a document, so there is nobody to tell.
}

void CGXGridCore::ProcessHint(CObject* hint) {
  if (m_pUpdateHintImp) m_pUpdateHintImp->ExecuteHint(this, hint);
}
