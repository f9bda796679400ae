#include "grid/core/CGXGridHint.h"

#include "grid/core/CGXGridCore.h"

IMPLEMENT_DYNAMIC(CGXGridHint, CObject)

void CGXGridUpdateHintImp::SendHint(CGXGridCore* grid, CGXGridHint& hint) {
  hint.m_group = grid->m_nHintGroup;
  grid->NotifyOtherViews(&hint);
}

void CGXGridUpdateHintImp::ExecuteHint(CGXGridCore* grid, CObject* object) {
  if (!grid->GetParam() || !object || !object->IsKindOf(RUNTIME_CLASS(CGXGridHint))) return;
  const auto& h = static_cast<const CGXGridHint&>(*object);
  if (h.m_group != 0xFFFFFFFF && h.m_group != grid->m_nHintGroup) return;
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
    case gxHintFrozenRows: grid->UpdateFrozenRows(h.m_row1, h.m_row2, h.m_flags, FALSE); break;
    case gxHintFrozenCols: grid->UpdateFrozenCols(h.m_col1, h.m_col2, h.m_flags, FALSE); break;
    case gxHintStyleRange: grid->RefreshStyleRange(h.m_range, h.m_flags); break;
    case gxHintUpdateZoom:
    case gxHintStoreZoom:
      // Zoom hints travel only between panes of one splitter, which dialog grids never have.
      break;
    case gxHintReadOnly: grid->UpdateReadOnly(static_cast<BOOL>(h.m_arg), FALSE); break;
    case gxHintTopRow:
    case gxHintLeftCol:
      // Executed only by the other pane of a splitter window; a grid outside a splitter ignores them.
      break;
    case gxHintCurrentCellMoved: grid->RedrawCell(h.m_row1, h.m_col1, h.m_flags, FALSE); break;
    case gxHintChangedCells: grid->RedrawChangedCells(FALSE, nullptr, FALSE); break;
    default: break;  // ids of the features' own receivers, or unknown ids
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
