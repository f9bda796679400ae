#include "grid/core/CGXGridHint.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridFeatures.h"

IMPLEMENT_DYNAMIC(CGXGridHint, CObject)

void CGXGridUpdateHintImp::SendHint(CGXGridCore* grid, CGXGridHint& hint) {
  hint.m_group = grid->m_nHintGroup;
  grid->NotifyOtherViews(&hint);
}

namespace {
void Block(CGXGridHint& h, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags) {
  h.m_row1 = top;
  h.m_col1 = left;
  h.m_row2 = bottom;
  h.m_col2 = right;
  h.m_flags = flags;
}
}  // namespace

void CGXGridUpdateHintImp::HintReadOnly(CGXGridCore* grid, BOOL oldReadOnly) {
  CGXGridHint h(gxHintReadOnly);
  h.m_arg = static_cast<DWORD_PTR>(oldReadOnly);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintCurrentCellMoved(CGXGridCore* grid, ROWCOL row, ROWCOL col, UINT flags) {
  CGXGridHint h(gxHintCurrentCellMoved);
  Block(h, row, col, 0, 0, flags);
  SendHint(grid, h);
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
  CGXGridHint h(gxHintRowCount);
  Block(h, oldCount, 0, 0, 0, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintColCount(CGXGridCore* grid, ROWCOL oldCount, UINT flags) {
  CGXGridHint h(gxHintColCount);
  Block(h, 0, oldCount, 0, 0, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintFrozenCols(CGXGridCore* grid, ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags) {
  CGXGridHint h(gxHintFrozenCols);
  Block(h, 0, oldFrozen, 0, oldHeader, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintFrozenRows(CGXGridCore* grid, ROWCOL oldFrozen, ROWCOL oldHeader, UINT flags) {
  CGXGridHint h(gxHintFrozenRows);
  Block(h, oldFrozen, 0, oldHeader, 0, flags);
  SendHint(grid, h);
}

// The grid windows of this system never sit in a splitter window: the top-row and left-column hints, which
// only the other pane of a splitter executes, have nobody to go to.
void CGXGridUpdateHintImp::HintTopRow(CGXGridCore*, ROWCOL, UINT) {}
void CGXGridUpdateHintImp::HintLeftCol(CGXGridCore*, ROWCOL, UINT) {}
void CGXGridUpdateHintImp::HintSyncSplitterPanes(CGXGridCore*, int) {}

void CGXGridUpdateHintImp::HintInsertRows(CGXGridCore* grid, ROWCOL row, ROWCOL count, UINT flags) {
  CGXGridHint h(gxHintInsertRows);
  Block(h, row, 0, count, 0, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintInsertCols(CGXGridCore* grid, ROWCOL col, ROWCOL count, UINT flags) {
  CGXGridHint h(gxHintInsertCols);
  Block(h, 0, col, 0, count, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintRedrawRange(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                           UINT flags) {
  CGXGridHint h(gxHintRedrawRange);
  Block(h, top, left, bottom, right, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintRedrawAll(CGXGridCore* grid, UINT flags) {
  CGXGridHint h(gxHintRedrawAll);
  Block(h, 0, 0, 0, 0, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintChangedCells(CGXGridCore* grid, DWORD extra) {
  CGXGridHint h(gxHintChangedCells);
  h.m_extra = extra;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintSheetText(CGXGridCore* grid) {
  CGXGridHint h(gxHintSheetText);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintRangeChanged(CGXGridCore* grid, const CGXRange& range, DWORD extra) {
  CGXGridHint h(gxHintRangeChanged);
  h.m_range = range;
  h.m_extra = extra;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintExcelLikeFrame(CGXGridCore* grid, BOOL lock) {
  CGXGridHint h(gxHintExcelLikeFrame);
  h.m_arg = static_cast<DWORD_PTR>(lock);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintSelectionChanged(CGXGridCore* grid, DWORD_PTR arg, ROWCOL top, ROWCOL left,
                                                ROWCOL bottom, ROWCOL right) {
  CGXGridHint h(gxHintSelectionChanged);
  Block(h, top, left, bottom, right, 0);
  h.m_arg = arg;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintSelectionCleared(CGXGridCore* grid) {
  CGXGridHint h(gxHintSelectionCleared);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintRowHeights(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldHeights,
                                          UINT flags) {
  CGXGridHint h(gxHintRowHeights);
  Block(h, from, 0, to, 0, flags);
  h.m_arg = reinterpret_cast<DWORD_PTR>(oldHeights);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintColWidths(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldWidths,
                                         UINT flags) {
  CGXGridHint h(gxHintColWidths);
  Block(h, 0, from, 0, to, flags);
  h.m_arg = reinterpret_cast<DWORD_PTR>(oldWidths);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintStoreZoom(CGXGridCore* grid, int zoom) {
  CGXGridHint h(gxHintStoreZoom);
  h.m_arg = static_cast<DWORD_PTR>(zoom);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintUpdateZoom(CGXGridCore* grid, int oldZoom, UINT flags) {
  CGXGridHint h(gxHintUpdateZoom);
  h.m_arg = static_cast<DWORD_PTR>(oldZoom);
  h.m_flags = flags;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintStyleRange(CGXGridCore* grid, const CGXRange& range, const CGXStyle* style, int mode,
                                          int type, UINT flags) {
  CGXGridHint h(gxHintStyleRange);
  h.m_range = range;
  h.m_pStyle = style;
  h.m_mode = mode;
  h.m_arg = static_cast<DWORD_PTR>(type);
  h.m_flags = flags;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintStylesMap(CGXGridCore* grid, UINT flags) {
  CGXGridHint h(gxHintStylesMap);
  Block(h, 0, 0, 0, 0, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintProperties(CGXGridCore* grid, UINT flags) {
  CGXGridHint h(gxHintProperties);
  Block(h, 0, 0, 0, 0, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintBaseStyle(CGXGridCore* grid, WORD baseStyleId, UINT flags) {
  CGXGridHint h(gxHintBaseStyle);
  Block(h, 0, 0, 0, 0, flags);
  h.m_arg = baseStyleId;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintCoveredCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                            UINT flags) {
  CGXGridHint h(gxHintCoveredCells);
  Block(h, top, left, bottom, right, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintFloatCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                          UINT flags) {
  CGXGridHint h(gxHintFloatCells);
  Block(h, top, left, bottom, right, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintMergedCells(CGXGridCore* grid, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                           UINT flags) {
  CGXGridHint h(gxHintMergedCells);
  Block(h, top, left, bottom, right, flags);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintSortRows(CGXGridCore* grid, const CGXRange& range, UINT flags) {
  CGXGridHint h(gxHintSortRows);
  h.m_range = range;
  h.m_flags = flags;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintSortCols(CGXGridCore* grid, const CGXRange& range, UINT flags) {
  CGXGridHint h(gxHintSortCols);
  h.m_range = range;
  h.m_flags = flags;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintRemoveRows(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldHeights,
                                          UINT flags) {
  CGXGridHint h(gxHintRemoveRows);
  Block(h, from, 0, to, 0, flags);
  h.m_arg = reinterpret_cast<DWORD_PTR>(oldHeights);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintRemoveCols(CGXGridCore* grid, ROWCOL from, ROWCOL to, const int* oldWidths,
                                          UINT flags) {
  CGXGridHint h(gxHintRemoveCols);
  Block(h, 0, from, 0, to, flags);
  h.m_arg = reinterpret_cast<DWORD_PTR>(oldWidths);
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintMoveRows(CGXGridCore* grid, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags) {
  CGXGridHint h(gxHintMoveRows);
  Block(h, from, 0, to, 0, flags);
  h.m_row3 = dest;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::HintMoveCols(CGXGridCore* grid, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags) {
  CGXGridHint h(gxHintMoveCols);
  Block(h, 0, from, 0, to, flags);
  h.m_col3 = dest;
  SendHint(grid, h);
}

void CGXGridUpdateHintImp::ExecuteHint(CGXGridCore* grid, CObject* object) {
  if (!grid->GetParam() || !object || !object->IsKindOf(RUNTIME_CLASS(CGXGridHint))) return;
  auto& h = static_cast<CGXGridHint&>(*object);
  if (h.m_group != 0xFFFFFFFF && h.m_group != grid->m_nHintGroup) return;
  const CGXRange block(h.m_row1, h.m_col1, h.m_row2, h.m_col2);
  switch (h.m_id) {
    case gxHintRedrawAll: grid->RedrawAll(h.m_flags, FALSE); break;
    case gxHintRedrawRange: grid->RedrawRange(h.m_row1, h.m_col1, h.m_row2, h.m_col2, h.m_flags, FALSE); break;
    case gxHintRowCount: grid->UpdateChangedRowCount(h.m_row1, h.m_flags, FALSE); break;
    case gxHintColCount: grid->UpdateChangedColCount(h.m_col1, h.m_flags, FALSE); break;
    case gxHintRowHeights: grid->UpdateChangedRowHeights(h.m_row1, h.m_row2, nullptr, h.m_flags, FALSE); break;
    case gxHintColWidths: grid->UpdateChangedColWidths(h.m_col1, h.m_col2, nullptr, h.m_flags, FALSE); break;
    case gxHintInsertCols: grid->UpdateInsertCols(h.m_col1, h.m_col2, h.m_flags, FALSE); break;
    case gxHintInsertRows: grid->UpdateInsertRows(h.m_row1, h.m_row2, h.m_flags, FALSE); break;
    case gxHintRemoveCols: grid->UpdateRemoveCols(h.m_col1, h.m_col2, nullptr, h.m_flags, FALSE); break;
    case gxHintRemoveRows: grid->UpdateRemoveRows(h.m_row1, h.m_row2, nullptr, h.m_flags, FALSE); break;
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
    case gxHintChangedCells: grid->RedrawChangedCells(FALSE, nullptr, FALSE); break;
    default: break;  // 22 and 33..35 have no receiver in this grid; unknown ids are ignored
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

void CGXGridCore::Hint(DWORD id, ROWCOL r1, ROWCOL c1, ROWCOL r2, ROWCOL c2, UINT flags, const CGXRange* range) {
  if (!CanSendHints()) return;
  CGXGridHint hint(id);
  hint.m_row1 = r1;
  hint.m_col1 = c1;
  hint.m_row2 = r2;
  hint.m_col2 = c2;
  hint.m_flags = flags;
  if (range) hint.m_range = *range;
  m_pUpdateHintImp->SendHint(this, hint);
}
