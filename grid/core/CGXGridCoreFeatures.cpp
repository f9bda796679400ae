// The feature plug points: installing features and the forwarders (see CGXGridFeatures.h), and the
// operations around them that are not plain forwarders (selection queries, header refresh, frame lock).
#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXPluginComponent.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXSpanCellPool.h"
#include "platform/base/CDWordArray.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

void CGXGridCore::SetFeature(CGXGridPrintImp* imp, BOOL autoDelete) { InstallFeature(m_pPrintImp, imp, autoDelete); }
void CGXGridCore::SetFeature(CGXGridSortImp* imp, BOOL autoDelete) { InstallFeature(m_pSortImp, imp, autoDelete); }
void CGXGridCore::SetFeature(CGXGridCoveredCellsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pCoveredCellsImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridFloatCellsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pFloatCellsImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridMergeCellsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pMergeCellsImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXCommandFactory* imp, BOOL autoDelete) {
  InstallFeature(m_pCommandFactory, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridResizeToFitImp* imp, BOOL autoDelete) {
  InstallFeature(m_pResizeToFitImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridHideCellsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pHideCellsImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridFindReplaceImp* imp, BOOL autoDelete) {
  InstallFeature(m_pFindReplaceImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridUserSelectRangeImp* imp, BOOL autoDelete) {
  InstallFeature(m_pUserSelectRangeImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridExcelLikeFrameImp* imp, BOOL autoDelete) {
  InstallFeature(m_pExcelLikeFrameImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridExcelLikeFillImp* imp, BOOL autoDelete) {
  InstallFeature(m_pExcelLikeFillImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridUserDragSelectRangeImp* imp, BOOL autoDelete) {
  InstallFeature(m_pUserDragSelectRangeImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridMoveRowsColsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pMoveRowsColsImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridUserResizeCellsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pUserResizeCellsImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridFreezeMenuHelperImp* imp, BOOL autoDelete) {
  InstallFeature(m_pFreezeMenuHelperImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridDirectCopyMoveCellsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pDirectCopyMoveCellsImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridTextDataExchangeImp* imp, BOOL autoDelete) {
  InstallFeature(m_pTextDataExchangeImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridStyleDataExchangeImp* imp, BOOL autoDelete) {
  InstallFeature(m_pStyleDataExchangeImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridCutPasteImp* imp, BOOL autoDelete) {
  InstallFeature(m_pCutPasteImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridClearCellsImp* imp, BOOL autoDelete) {
  InstallFeature(m_pClearCellsImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridRangeNameImp* imp, BOOL autoDelete) {
  InstallFeature(m_pRangeNameImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridExtraFeatureBImp* imp, BOOL autoDelete) {
  InstallFeature(m_pExtraFeatureBImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridExtraFeatureCImp* imp) {
  if (imp != m_pExtraFeatureCImp.get()) m_pExtraFeatureCImp.reset(imp);
}
void CGXGridCore::SetFeature(CGXAbstractCalcSizeImp* imp, BOOL autoDelete) {
  InstallFeature(m_pCalcSizeImp, imp, autoDelete);
}
void CGXGridCore::SetFeature(CGXGridMarkEditHeaderImp* imp, BOOL autoDelete) {
  InstallFeature(m_pMarkEditHeaderImp, imp, autoDelete);
}

void CGXGridCore::SetCellTipPlugin(CGXPluginComponent* plugin) {
  if (plugin == m_pCellTipPlugin) return;
  if (m_pCellTipPlugin) {
    auto it = std::find_if(m_plugins.begin(), m_plugins.end(),
                           [this](const auto& p) { return p.get() == m_pCellTipPlugin; });
    if (it != m_plugins.end()) m_plugins.erase(it);
    m_pCellTipPlugin = nullptr;
  }
  if (plugin) {
    AddPlugin(plugin);
    m_pCellTipPlugin = plugin;
  }
}

void CGXGridCore::MarkEditHeaders(ROWCOL row, ROWCOL col, int kind, UINT flags) {
  if (m_pMarkEditHeaderImp) m_pMarkEditHeaderImp->MarkEditHeaders(this, row, col, kind, flags);
}

void CGXGridCore::PrintForward0(const GXForwardArgs& args) {
  if (m_pPrintImp) m_pPrintImp->PrintForward0(this, args);
}

void CGXGridCore::PrintForward2(const GXForwardArgs& args) {
  if (m_pPrintImp) m_pPrintImp->PrintForward2(this, args);
}

void CGXGridCore::PrintForward1(const GXForwardArgs& args) {
  if (m_pPrintImp) m_pPrintImp->PrintForward1(this, args);
}

void CGXGridCore::SortRows(const GXForwardArgs& args) {
  if (m_pSortImp) m_pSortImp->SortRows(this, args);
}

LRESULT CGXGridCore::SortForward2(const GXForwardArgs& args) {
  return m_pSortImp ? m_pSortImp->SortForward2(this, args) : 0;
}

LRESULT CGXGridCore::StoreMoveDataRows(const GXForwardArgs& args) {
  return m_pSortImp ? m_pSortImp->StoreMoveDataRows(this, args) : 0;
}

void CGXGridCore::RefreshAfterSort(const GXForwardArgs& args) {
  if (m_pSortImp) m_pSortImp->RefreshAfterSort(this, args);
}

void CGXGridCore::SortForward5(const GXForwardArgs& args) {
  if (m_pSortImp) m_pSortImp->SortForward5(this, args);
}

void CGXGridCore::SortCols(const GXForwardArgs& args) {
  if (m_pSortImp) m_pSortImp->SortCols(this, args);
}

LRESULT CGXGridCore::SortForward7(const GXForwardArgs& args) {
  return m_pSortImp ? m_pSortImp->SortForward7(this, args) : 0;
}

LRESULT CGXGridCore::StoreMoveDataCols(const GXForwardArgs& args) {
  return m_pSortImp ? m_pSortImp->StoreMoveDataCols(this, args) : 0;
}

void CGXGridCore::RefreshAfterSortCols(const GXForwardArgs& args) {
  if (m_pSortImp) m_pSortImp->RefreshAfterSortCols(this, args);
}

void CGXGridCore::SortForward10(const GXForwardArgs& args) {
  if (m_pSortImp) m_pSortImp->SortForward10(this, args);
}

void CGXGridCore::SortKeys(const GXForwardArgs& args) {
  if (m_pSortImp) m_pSortImp->SortKeys(this, args);
}

BOOL CGXGridCore::SetCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags,
                                        int commandType) {
  return m_pCoveredCellsImp
             ? m_pCoveredCellsImp->SetCoveredCellsRowCol(this, top, left, bottom, right, flags, commandType)
             : FALSE;
}

CGXRange* CGXGridCore::GetCoveredCellsRowCol(ROWCOL row, ROWCOL col, CGXRange& out) {
  return m_pCoveredCellsImp ? m_pCoveredCellsImp->GetCoveredCellsRowCol(this, row, col, out) : nullptr;
}

BOOL CGXGridCore::StoreCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, BOOL set) {
  return m_pCoveredCellsImp ? m_pCoveredCellsImp->StoreCoveredCellsRowCol(this, top, left, bottom, right, set)
                            : FALSE;
}

void CGXGridCore::UpdateCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags,
                                           BOOL createHint) {
  if (m_pCoveredCellsImp)
    m_pCoveredCellsImp->UpdateCoveredCellsRowCol(this, top, left, bottom, right, flags, createHint);
}

void CGXGridCore::WidenRangeByCoveredCells(CGXRange& range) {
  if (m_pCoveredCellsImp) m_pCoveredCellsImp->WidenRangeByCoveredCells(this, range);
}

LRESULT CGXGridCore::FloatCellsForward5(const GXForwardArgs& args) {
  return m_pFloatCellsImp ? m_pFloatCellsImp->FloatCellsForward5(this, args) : 0;
}

LRESULT CGXGridCore::MergeCellsForward4(const GXForwardArgs& args) {
  return m_pMergeCellsImp ? m_pMergeCellsImp->MergeCellsForward4(this, args) : 0;
}

BOOL CGXGridCore::CanMergeStyles(const CGXStyle& a, const CGXStyle& b) {
  return m_pMergeCellsImp ? m_pMergeCellsImp->CanMergeStyles(this, a, b) : FALSE;
}

BOOL CGXGridCore::Undo() { return m_pCommandFactory ? m_pCommandFactory->Undo(this) : FALSE; }

BOOL CGXGridCore::Redo() { return m_pCommandFactory ? m_pCommandFactory->Redo(this) : FALSE; }

void CGXGridCore::BeginTransaction(LPCTSTR name) {
  if (m_pCommandFactory) m_pCommandFactory->BeginTransaction(this, name);
}

void CGXGridCore::CommitTransaction() {
  if (m_pCommandFactory) m_pCommandFactory->CommitTransaction(this);
}

void CGXGridCore::RollbackTransaction() {
  if (m_pCommandFactory) m_pCommandFactory->RollbackTransaction(this);
}

void CGXGridCore::UpdateUndoMenuText(const GXForwardArgs& args) {
  if (m_pCommandFactory) m_pCommandFactory->UpdateUndoMenuText(this, args);
}

void CGXGridCore::UpdateRedoMenuText(const GXForwardArgs& args) {
  if (m_pCommandFactory) m_pCommandFactory->UpdateRedoMenuText(this, args);
}

void CGXGridCore::AddCommand(CObject* command, int commandType) {
  if (m_pCommandFactory) m_pCommandFactory->AddCommand(this, command, commandType);
}

void CGXGridCore::RemoveLastCommand(int commandType) {
  if (m_pCommandFactory) m_pCommandFactory->RemoveLastCommand(this, commandType);
}

void CGXGridCore::RestoreCurrentCell(ROWCOL row, ROWCOL col, BOOL moveGrid) {
  if (m_pCommandFactory) m_pCommandFactory->RestoreCurrentCell(this, row, col, moveGrid);
}

BOOL CGXGridCore::EnableDataUndoRecording(BOOL enable) {
  return m_pCommandFactory ? m_pCommandFactory->EnableDataUndoRecording(this, enable) : FALSE;
}

CObject* CGXGridCore::DetachDataUndoInfo() {
  return m_pCommandFactory ? m_pCommandFactory->DetachDataUndoInfo(this) : nullptr;
}

BOOL CGXGridCore::ApplyDataUndoInfo(CObject* info, DWORD_PTR a, DWORD_PTR b) {
  return m_pCommandFactory ? m_pCommandFactory->ApplyDataUndoInfo(this, info, a, b) : FALSE;
}

void CGXGridCore::DiscardDataUndoInfo() {
  if (m_pCommandFactory) m_pCommandFactory->DiscardDataUndoInfo(this);
}

LRESULT CGXGridCore::ExecuteCommand(const GXForwardArgs& args) {
  return m_pCommandFactory ? m_pCommandFactory->ExecuteCommand(this, args) : 0;
}

LRESULT CGXGridCore::ResizeToFitForward0(const GXForwardArgs& args) {
  return m_pResizeToFitImp ? m_pResizeToFitImp->ResizeToFitForward0(this, args) : 0;
}

LRESULT CGXGridCore::ResizeToFitForward1(const GXForwardArgs& args) {
  return m_pResizeToFitImp ? m_pResizeToFitImp->ResizeToFitForward1(this, args) : 0;
}

BOOL CGXGridCore::HideRows(ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden, int commandType) {
  return m_pHideCellsImp ? m_pHideCellsImp->HideRows(this, from, to, hide, flags, hidden, commandType) : FALSE;
}

BOOL CGXGridCore::HideCols(ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden, int commandType) {
  return m_pHideCellsImp ? m_pHideCellsImp->HideCols(this, from, to, hide, flags, hidden, commandType) : FALSE;
}

BOOL CGXGridCore::IsRowHidden(ROWCOL row) const {
  return m_pHideCellsImp ? m_pHideCellsImp->IsRowHidden(const_cast<CGXGridCore*>(this), row) : FALSE;
}

BOOL CGXGridCore::IsColHidden(ROWCOL col) const {
  return m_pHideCellsImp ? m_pHideCellsImp->IsColHidden(const_cast<CGXGridCore*>(this), col) : FALSE;
}

ROWCOL CGXGridCore::NextShownRow(ROWCOL row) const {
  return m_pHideCellsImp ? m_pHideCellsImp->NextShownRow(const_cast<CGXGridCore*>(this), row) : row;
}

ROWCOL CGXGridCore::PrevShownRow(ROWCOL row) const {
  return m_pHideCellsImp ? m_pHideCellsImp->PrevShownRow(const_cast<CGXGridCore*>(this), row) : row;
}

ROWCOL CGXGridCore::NextShownCol(ROWCOL col) const {
  return m_pHideCellsImp ? m_pHideCellsImp->NextShownCol(const_cast<CGXGridCore*>(this), col) : col;
}

ROWCOL CGXGridCore::PrevShownCol(ROWCOL col) const {
  return m_pHideCellsImp ? m_pHideCellsImp->PrevShownCol(const_cast<CGXGridCore*>(this), col) : col;
}

ROWCOL CGXGridCore::NextHiddenRow(ROWCOL row) const {
  return m_pHideCellsImp ? m_pHideCellsImp->NextHiddenRow(const_cast<CGXGridCore*>(this), row) : GX_INVALID;
}

ROWCOL CGXGridCore::NextHiddenCol(ROWCOL col) const {
  return m_pHideCellsImp ? m_pHideCellsImp->NextHiddenCol(const_cast<CGXGridCore*>(this), col) : GX_INVALID;
}

BOOL CGXGridCore::StoreHideRow(ROWCOL row, BOOL hide) {
  return m_pHideCellsImp ? m_pHideCellsImp->StoreHideRow(this, row, hide) : FALSE;
}

BOOL CGXGridCore::StoreHideCol(ROWCOL col, BOOL hide) {
  return m_pHideCellsImp ? m_pHideCellsImp->StoreHideCol(this, col, hide) : FALSE;
}

void CGXGridCore::SetFindRequest(LPCTSTR text, BOOL flag, DWORD flags) {
  if (m_pFindReplaceImp) m_pFindReplaceImp->SetFindRequest(this, text, flag, flags);
}

void CGXGridCore::FindReplaceForward5(const GXForwardArgs& args) {
  if (m_pFindReplaceImp) m_pFindReplaceImp->FindReplaceForward5(this, args);
}

void CGXGridCore::FindReplaceForward6(const GXForwardArgs& args) {
  if (m_pFindReplaceImp) m_pFindReplaceImp->FindReplaceForward6(this, args);
}

void CGXGridCore::FindReplaceForward0(const GXForwardArgs& args) {
  if (m_pFindReplaceImp) m_pFindReplaceImp->FindReplaceForward0(this, args);
}

void CGXGridCore::FindReplaceForward7(const GXForwardArgs& args) {
  if (m_pFindReplaceImp) m_pFindReplaceImp->FindReplaceForward7(this, args);
}

void CGXGridCore::RedrawCurrentCellOfEmptySelection() {
  // Under the selection frame the current cell draws no frame of its own while ranges are listed: once the
  // list is empty it shows its frame again, as a repaint draws it.
  ROWCOL row = 0, col = 0;
  if (m_pParam && m_pParam->m_bSelectionFrame && m_pExcelLikeFrameImp && m_pParam->GetSelection().IsEmpty() &&
      QueryCurrentCell(&row, &col))
    RedrawCell(row, col, GX_UPDATENOW);
}

void CGXGridCore::SetSelection(POSITION pos, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
  if (!m_pParam) return;
  CGXRangeList& sel = m_pParam->GetSelection();
  if (!pos) {
    const BOOL drawn = m_pParam->m_bKeepsCurrentSelRange && !sel.IsEmpty();
    if (m_pParam->m_bKeepsCurrentSelRange) SelectRangeForward9(TRUE);
    sel.DeleteAll();
    m_pParam->m_bKeepsCurrentSelRange = FALSE;
    m_bSelRangeCached = FALSE;
    if (drawn) RedrawCurrentCellOfEmptySelection();
    return;
  }
  if (top > bottom) std::swap(top, bottom);
  if (left > right) std::swap(left, right);
  // Row-selecting click flags make every selection whole rows.
  if (m_pParam->TestClickFlags(3)) left = right = 0;
  CGXRange range;
  if (top == 0 && left == 0)
    range.AssignTable();
  else if (top == 0)
    range.AssignCols(left, right);
  else if (left == 0)
    range.AssignRows(top, bottom);
  else
    range.AssignCells(top, left, bottom, right);
  SelectRangeForward8(range, TRUE);
  if (CGXRange* at = sel.GetAt(pos)) *at = range;
}

void CGXGridCore::SelectRangeForward4(const GXForwardArgs& args) {
  if (m_pUserSelectRangeImp) m_pUserSelectRangeImp->SelectRangeForward4(this, args);
}

LRESULT CGXGridCore::SelectRangeForward5(const GXForwardArgs& args) {
  return m_pUserSelectRangeImp ? m_pUserSelectRangeImp->SelectRangeForward5(this, args) : 0;
}

void CGXGridCore::SelectRangeForward6(const GXForwardArgs& args) {
  if (m_pUserSelectRangeImp) m_pUserSelectRangeImp->SelectRangeForward6(this, args);
}

void CGXGridCore::SelectRangeForward8(const CGXRange& range, BOOL flag) {
  if (m_pUserSelectRangeImp) m_pUserSelectRangeImp->SelectRangeForward8(this, range, flag);
}

void CGXGridCore::SelectRangeForward9(BOOL flag) {
  if (m_pUserSelectRangeImp) m_pUserSelectRangeImp->SelectRangeForward9(this, flag);
}

void CGXGridCore::SelectionFrameForward0(const GXForwardArgs& args) {
  if (m_pExcelLikeFrameImp) m_pExcelLikeFrameImp->SelectionFrameForward0(this, args);
}

void CGXGridCore::FillForward5(const GXForwardArgs& args) {
  if (m_pExcelLikeFillImp) m_pExcelLikeFillImp->FillForward5(this, args);
}

void CGXGridCore::FillForward6(const GXForwardArgs& args) {
  if (m_pExcelLikeFillImp) m_pExcelLikeFillImp->FillForward6(this, args);
}

BOOL CGXGridCore::BeginDragSelect(ROWCOL row, ROWCOL col) {
  return m_pUserDragSelectRangeImp ? m_pUserDragSelectRangeImp->BeginDragSelect(this, row, col) : FALSE;
}

LRESULT CGXGridCore::DragSelectForward4(const GXForwardArgs& args) {
  return m_pUserDragSelectRangeImp ? m_pUserDragSelectRangeImp->DragSelectForward4(this, args) : 0;
}

LRESULT CGXGridCore::DragSelectForward5(const GXForwardArgs& args) {
  return m_pUserDragSelectRangeImp ? m_pUserDragSelectRangeImp->DragSelectForward5(this, args) : 0;
}

void CGXGridCore::EndDragSelect() {
  if (m_pUserDragSelectRangeImp) m_pUserDragSelectRangeImp->EndDragSelect(this);
}

BOOL CGXGridCore::StoreMoveRows(ROWCOL from, ROWCOL to, ROWCOL dest) {
  return m_pMoveRowsColsImp ? m_pMoveRowsColsImp->StoreMoveRows(this, from, to, dest) : FALSE;
}

BOOL CGXGridCore::StoreMoveCols(ROWCOL from, ROWCOL to, ROWCOL dest) {
  return m_pMoveRowsColsImp ? m_pMoveRowsColsImp->StoreMoveCols(this, from, to, dest) : FALSE;
}

BOOL CGXGridCore::MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int commandType) {
  return m_pMoveRowsColsImp ? m_pMoveRowsColsImp->MoveRows(this, from, to, dest, flags, commandType) : FALSE;
}

BOOL CGXGridCore::MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int commandType) {
  return m_pMoveRowsColsImp ? m_pMoveRowsColsImp->MoveCols(this, from, to, dest, flags, commandType) : FALSE;
}

void CGXGridCore::UpdateMovedRows(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint) {
  if (m_pMoveRowsColsImp) m_pMoveRowsColsImp->UpdateMovedRows(this, from, to, dest, flags, createHint);
}

void CGXGridCore::UpdateMovedCols(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint) {
  if (m_pMoveRowsColsImp) m_pMoveRowsColsImp->UpdateMovedCols(this, from, to, dest, flags, createHint);
}

LRESULT CGXGridCore::UserResizeForward4(const GXForwardArgs& args) {
  return m_pUserResizeCellsImp ? m_pUserResizeCellsImp->UserResizeForward4(this, args) : 0;
}

void CGXGridCore::UserResizeForward5(const GXForwardArgs& args) {
  if (m_pUserResizeCellsImp) m_pUserResizeCellsImp->UserResizeForward5(this, args);
}

void CGXGridCore::UserResizeForward7(const GXForwardArgs& args) {
  if (m_pUserResizeCellsImp) m_pUserResizeCellsImp->UserResizeForward7(this, args);
}

void CGXGridCore::UserResizeForward6(const GXForwardArgs& args) {
  if (m_pUserResizeCellsImp) m_pUserResizeCellsImp->UserResizeForward6(this, args);
}

void CGXGridCore::FreezeCols() {
  if (m_pFreezeMenuHelperImp) m_pFreezeMenuHelperImp->FreezeCols(this);
}

BOOL CGXGridCore::CanFreezeCols() {
  return m_pFreezeMenuHelperImp ? m_pFreezeMenuHelperImp->CanFreezeCols(this) : FALSE;
}

void CGXGridCore::UnfreezeCols() {
  if (m_pFreezeMenuHelperImp) m_pFreezeMenuHelperImp->UnfreezeCols(this);
}

BOOL CGXGridCore::CanUnfreezeCols() {
  return m_pFreezeMenuHelperImp ? m_pFreezeMenuHelperImp->CanUnfreezeCols(this) : FALSE;
}

void CGXGridCore::FreezeRows() {
  if (m_pFreezeMenuHelperImp) m_pFreezeMenuHelperImp->FreezeRows(this);
}

BOOL CGXGridCore::CanFreezeRows() {
  return m_pFreezeMenuHelperImp ? m_pFreezeMenuHelperImp->CanFreezeRows(this) : FALSE;
}

void CGXGridCore::UnfreezeRows() {
  if (m_pFreezeMenuHelperImp) m_pFreezeMenuHelperImp->UnfreezeRows(this);
}

BOOL CGXGridCore::CanUnfreezeRows() {
  return m_pFreezeMenuHelperImp ? m_pFreezeMenuHelperImp->CanUnfreezeRows(this) : FALSE;
}

LRESULT CGXGridCore::DirectCopyMoveForward1(const GXForwardArgs& args) {
  return m_pDirectCopyMoveCellsImp ? m_pDirectCopyMoveCellsImp->DirectCopyMoveForward1(this, args) : 0;
}

LRESULT CGXGridCore::DirectCopyMoveForward3(const GXForwardArgs& args) {
  return m_pDirectCopyMoveCellsImp ? m_pDirectCopyMoveCellsImp->DirectCopyMoveForward3(this, args) : 0;
}

LRESULT CGXGridCore::DirectCopyMoveForward0(const GXForwardArgs& args) {
  return m_pDirectCopyMoveCellsImp ? m_pDirectCopyMoveCellsImp->DirectCopyMoveForward0(this, args) : 0;
}

LRESULT CGXGridCore::DirectCopyMoveForward2(const GXForwardArgs& args) {
  return m_pDirectCopyMoveCellsImp ? m_pDirectCopyMoveCellsImp->DirectCopyMoveForward2(this, args) : 0;
}

LRESULT CGXGridCore::TextExchangeForward0(const GXForwardArgs& args) {
  return m_pTextDataExchangeImp ? m_pTextDataExchangeImp->TextExchangeForward0(this, args) : 0;
}

LRESULT CGXGridCore::TextExchangeForward2(const GXForwardArgs& args) {
  return m_pTextDataExchangeImp ? m_pTextDataExchangeImp->TextExchangeForward2(this, args) : 0;
}

LRESULT CGXGridCore::TextExchangeForward4(const GXForwardArgs& args) {
  return m_pTextDataExchangeImp ? m_pTextDataExchangeImp->TextExchangeForward4(this, args) : 0;
}

LRESULT CGXGridCore::SetTextThroughGrid(const GXForwardArgs& args) {
  return m_pTextDataExchangeImp ? m_pTextDataExchangeImp->SetTextThroughGrid(this, args) : 0;
}

LRESULT CGXGridCore::StyleExchangeForward0(const GXForwardArgs& args) {
  return m_pStyleDataExchangeImp ? m_pStyleDataExchangeImp->StyleExchangeForward0(this, args) : 0;
}

LRESULT CGXGridCore::StyleExchangeForward1(const GXForwardArgs& args) {
  return m_pStyleDataExchangeImp ? m_pStyleDataExchangeImp->StyleExchangeForward1(this, args) : 0;
}

LRESULT CGXGridCore::StyleExchangeForward2(const GXForwardArgs& args) {
  return m_pStyleDataExchangeImp ? m_pStyleDataExchangeImp->StyleExchangeForward2(this, args) : 0;
}

LRESULT CGXGridCore::CutPasteForward2(const GXForwardArgs& args) {
  return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward2(this, args) : 0;
}

BOOL CGXGridCore::Cut(const CGXRangeList& ranges, UINT flags) {
  return m_pCutPasteImp ? m_pCutPasteImp->Cut(this, ranges, flags) : FALSE;
}

LRESULT CGXGridCore::CutPasteForward11(const GXForwardArgs& args) {
  return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward11(this, args) : 0;
}

LRESULT CGXGridCore::CutPasteForward12(const GXForwardArgs& args) {
  return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward12(this, args) : 0;
}

BOOL CGXGridCore::CanPaste() { return m_pCutPasteImp ? m_pCutPasteImp->CanPaste(this) : FALSE; }

LRESULT CGXGridCore::CutPasteForward13(const GXForwardArgs& args) {
  return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward13(this, args) : 0;
}

LRESULT CGXGridCore::CutPasteForward1(const GXForwardArgs& args) {
  return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward1(this, args) : 0;
}

LRESULT CGXGridCore::CutPasteForward10(const GXForwardArgs& args) {
  return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward10(this, args) : 0;
}

LRESULT CGXGridCore::CutPasteForward6(const GXForwardArgs& args) {
  return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward6(this, args) : 0;
}

BOOL CGXGridCore::CanCopy() { return m_pCutPasteImp ? m_pCutPasteImp->CanCopy(this) : FALSE; }

BOOL CGXGridCore::CanCut() { return m_pCutPasteImp ? m_pCutPasteImp->CanCut(this) : FALSE; }

LRESULT CGXGridCore::CutPasteForward8(const GXForwardArgs& args) {
  return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward8(this, args) : 0;
}

BOOL CGXGridCore::CopyTextToClipboard(const CGXRangeList& ranges) {
  return m_pCutPasteImp ? m_pCutPasteImp->CopyTextToClipboard(this, ranges) : FALSE;
}

BOOL CGXGridCore::CopyStylesToClipboard(const CGXRangeList& ranges, UINT flags) {
  return m_pCutPasteImp ? m_pCutPasteImp->CopyStylesToClipboard(this, ranges, flags) : FALSE;
}

BOOL CGXGridCore::ClearCells(const CGXRangeList& ranges, UINT flags) {
  return m_pClearCellsImp ? m_pClearCellsImp->ClearCells(this, ranges, flags) : FALSE;
}

BOOL CGXGridCore::ClearCellsForward1(BOOL ctrlHeld) {
  return m_pClearCellsImp ? m_pClearCellsImp->ClearCellsForward1(this, ctrlHeld) : FALSE;
}

BOOL CGXGridCore::CanClear() { return m_pClearCellsImp ? m_pClearCellsImp->CanClear(this) : FALSE; }

BOOL CGXGridCore::CanClearCell(ROWCOL row, ROWCOL col) {
  CGXStyle composed;
  ComposeCellStyle(row, col, composed, TRUE);
  // The current cell's own control while it has one (it may differ from the style's), as it is drawn.
  CGXControl* control = MatchesCurrentCell(row, col) ? ControlForCell(row, col)
                                                     : ControlForId(composed.GetControl());
  return CanClearCell(row, col, composed, control);
}

BOOL CGXGridCore::CanClearCell(ROWCOL row, ROWCOL col, const CGXStyle& composed, CGXControl* control) {
  if (!CanChangeCell(composed)) return FALSE;
  if (!control || !control->TakesTypedText()) return FALSE;
  return OnDeleteCell(row, col);
}

BOOL CGXGridCore::CanChangeCell(ROWCOL row, ROWCOL col) {
  CGXStyle composed;
  ComposeCellStyle(row, col, composed, TRUE);
  return CanChangeCell(composed);
}

BOOL CGXGridCore::CanChangeCell(const CGXStyle& composed) const {
  if (m_pParam && m_pParam->m_bReadOnlyEnforced &&
      (IsLocked() || (composed.IsIncluded(GX_IN_READONLY) && composed.GetReadOnly())))
    return FALSE;
  return !(composed.IsIncluded(GX_IN_ENABLED) && !composed.GetEnabled());
}

BOOL CGXGridCore::SetRangeName(LPCTSTR name, const CGXRange* range, DWORD_PTR value, UINT flags, int commandType) {
  return m_pRangeNameImp ? m_pRangeNameImp->SetRangeName(this, name, range, value, flags, commandType) : FALSE;
}

LRESULT CGXGridCore::RangeNameForward1(const GXForwardArgs& args) {
  return m_pRangeNameImp ? m_pRangeNameImp->RangeNameForward1(this, args) : 0;
}

BOOL CGXGridCore::DeleteRangeName(LPCTSTR name, UINT flags, int commandType) {
  return m_pRangeNameImp ? m_pRangeNameImp->DeleteRangeName(this, name, flags, commandType) : FALSE;
}

LRESULT CGXGridCore::ExtraFeatureBForward0(const GXForwardArgs& args) {
  return m_pExtraFeatureBImp ? m_pExtraFeatureBImp->ExtraFeatureBForward0(this, args) : 0;
}

LRESULT CGXGridCore::ExtraFeatureBForward1(const GXForwardArgs& args) {
  return m_pExtraFeatureBImp ? m_pExtraFeatureBImp->ExtraFeatureBForward1(this, args) : 0;
}

LRESULT CGXGridCore::ExtraFeatureBForward2(const GXForwardArgs& args) {
  return m_pExtraFeatureBImp ? m_pExtraFeatureBImp->ExtraFeatureBForward2(this, args) : 0;
}

LRESULT CGXGridCore::ExtraFeatureBForward3(const GXForwardArgs& args) {
  return m_pExtraFeatureBImp ? m_pExtraFeatureBImp->ExtraFeatureBForward3(this, args) : 0;
}

LRESULT CGXGridCore::ExtraFeatureBForward4(const GXForwardArgs& args) {
  return m_pExtraFeatureBImp ? m_pExtraFeatureBImp->ExtraFeatureBForward4(this, args) : 0;
}

void CGXGridCore::ExtraFeatureBForward5(const GXForwardArgs& args) {
  if (m_pExtraFeatureBImp) m_pExtraFeatureBImp->ExtraFeatureBForward5(this, args);
}

LRESULT CGXGridCore::ExtraFeatureBForward6(const GXForwardArgs& args) {
  return m_pExtraFeatureBImp ? m_pExtraFeatureBImp->ExtraFeatureBForward6(this, args) : 0;
}

LRESULT CGXGridCore::ExtraFeatureBForward7(const GXForwardArgs& args) {
  return m_pExtraFeatureBImp ? m_pExtraFeatureBImp->ExtraFeatureBForward7(this, args) : 0;
}

LRESULT CGXGridCore::ExtraFeatureBForward8(const GXForwardArgs& args) {
  return m_pExtraFeatureBImp ? m_pExtraFeatureBImp->ExtraFeatureBForward8(this, args) : 0;
}

void CGXGridCore::ExtraFeatureBForward9(const GXForwardArgs& args) {
  if (m_pExtraFeatureBImp) m_pExtraFeatureBImp->ExtraFeatureBForward9(this, args);
}

LRESULT CGXGridCore::ExtraFeatureCForward4(const GXForwardArgs& args) {
  return m_pExtraFeatureCImp ? m_pExtraFeatureCImp->ExtraFeatureCForward4(this, args) : 0;
}

LRESULT CGXGridCore::ExtraFeatureCForward5(const GXForwardArgs& args) {
  return m_pExtraFeatureCImp ? m_pExtraFeatureCImp->ExtraFeatureCForward5(this, args) : 0;
}

BOOL CGXGridCore::Copy() { return m_pCutPasteImp ? m_pCutPasteImp->Copy(this) : FALSE; }

BOOL CGXGridCore::Paste() { return m_pCutPasteImp ? m_pCutPasteImp->Paste(this) : FALSE; }

// The keys' cut is the feature's Cut (operation 6), which works from the selection itself.
BOOL CGXGridCore::CutSelection() { return m_pCutPasteImp ? m_pCutPasteImp->CutPasteForward6(this, {}) : FALSE; }

void CGXGridCore::Beep() { MessageBeep(0); }

BOOL CGXGridCore::RangeListContains(ROWCOL row, ROWCOL col, const CGXRangeList& list) const {
  return list.FindCell(row, col) != nullptr;
}

BOOL CGXGridCore::CallEmptyHook(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c) {
  EmptyHook(a, b, c);
  return TRUE;
}

BOOL CGXGridCore::GetSelectedRowIntervals(CDWordArray& starts, CDWordArray& ends, BOOL wholeRowsOnly,
                                          BOOL withCurrentCell) {
  starts.RemoveAll();
  ends.RemoveAll();
  if (m_pParam) m_pParam->GetSelection().GetRowIntervals(GetRowCount(), starts, ends, wholeRowsOnly);
  ROWCOL row, col;
  if (starts.GetSize() == 0 && withCurrentCell && QueryCurrentCell(&row, &col)) {
    starts.Add(row);
    ends.Add(row);
  }
  return starts.GetSize() > 0;
}

INT_PTR CGXGridCore::GetSelectedRows(std::vector<ROWCOL>& rows, BOOL wholeRowsOnly, BOOL withCurrentCell) {
  rows.clear();
  CDWordArray starts, ends;
  GetSelectedRowIntervals(starts, ends, wholeRowsOnly, withCurrentCell);
  for (INT_PTR i = 0; i < starts.GetSize(); ++i)
    for (ROWCOL r = starts[i]; r <= ends[i] && r >= starts[i]; ++r) {
      rows.push_back(r);
      if (r == GX_MAXROWCOL) break;  // an interval ending at the last row number must not wrap
    }
  return static_cast<INT_PTR>(rows.size());
}

BOOL CGXGridCore::CopyRangeList(CGXRangeList& out, BOOL withCurrentCell) {
  out.DeleteAll();
  if (m_pParam) {
    const CGXRangeList& sel = m_pParam->GetSelection();
    for (POSITION pos = sel.GetHeadPosition(); pos;) out.AddTail(new CGXRange(*sel.GetNext(pos)));
  }
  // Without a kept current selection range the current cell is no part of the selection list, so it is
  // added (the kept range, when there is one, already stands for the cell the user works in).
  ROWCOL row, col;
  if (!KeepsCurrentSelRange() && withCurrentCell && QueryCurrentCell(&row, &col))
    out.AddTail(new CGXRange(row, col));
  return !out.IsEmpty();
}

void CGXGridCore::RefreshHeaders(ROWCOL, ROWCOL, UINT) {
  if (!m_pParam || !m_pParam->m_bHeaderMarking) return;
  ROWCOL rows = GetRowCount(), cols = GetColCount(), hr = GetHeaderRows(), hc = GetHeaderCols();
  if (hr + 1 <= rows) RedrawRange(hr + 1, 0, rows, hc, 2, TRUE);
  if (hc + 1 <= cols) RedrawRange(0, hc + 1, hr, cols, 2, TRUE);
}

void CGXGridCore::SelectedTextOfCurrentCell(CString& out) {
  out.Empty();
  if (CGXControl* c = ControlOfCurrentCell()) c->GetSelectionText(out);
}

BOOL CGXGridCore::CutOneRange(const CGXRange& range, UINT flags) {
  CGXRangeList list;
  list.AddTail(new CGXRange(range));
  return Cut(list, flags);
}

WORD CGXGridCore::QueryFloatingMode() const { return m_pParam ? m_pParam->m_wFloatingMode : 0; }

WORD CGXGridCore::QueryMergingMode() const { return m_pParam ? m_pParam->m_wMergingMode : 0; }

void CGXGridCore::UpdateExcelLikeFrame(const GXForwardArgs& args) {
  HWND grid = GridHwnd();
  HWND focus = ::GetFocus();
  if (m_pExcelLikeFrameImp && grid && focus && (focus == grid || ::IsChild(grid, focus)))
    m_pExcelLikeFrameImp->UpdateFrame(this, args);
}

void CGXGridCore::DrawExcelLikeFrame(CDC* dc, BOOL eraseOld, const CGXRange* newRange) {
  if (m_pExcelLikeFrameImp) m_pExcelLikeFrameImp->DrawFrame(this, dc, eraseOld, newRange);
}

void CGXGridCore::RefreshExcelLikeFrame() {
  if (!m_pExcelLikeFrameImp || !KeepsCurrentSelRange() || IsLockUpdate()) return;
  const CGXRange* range = m_pParam->GetSelection().GetTail();
  HWND h = GridHwnd();
  if (!range || !h) return;
  HDC hdc = ::GetDC(h);
  if (!hdc) return;
  {
    CDC dc;
    dc.Attach(hdc);
    PrepareDC(&dc);
    // Not erased: the old frame's place was repainted by the structure change, and inverting there again
    // would leave a stray frame behind.
    const CGXRange shown = *range;
    m_pExcelLikeFrameImp->DrawFrame(this, &dc, FALSE, &shown);
    dc.Detach();
  }
  ::ReleaseDC(h, hdc);
}

BOOL CGXGridCore::LockExcelLikeFrame(BOOL lock, BOOL redraw) {
  return m_pExcelLikeFrameImp ? m_pExcelLikeFrameImp->LockFrame(this, lock, redraw) : FALSE;
}

void CGXGridCore::RecalcFloatCells(const CGXRange& range, int flag) {
  if (m_pFloatCellsImp) m_pFloatCellsImp->RecalcFloatCells(this, range, flag);
}

BOOL CGXGridCore::CalcFloatCellsInRange(const CGXRange& range) {
  if (!m_pFloatCellsImp || QueryFloatingMode() == 0 || m_bSuspendFloating) return FALSE;
  return m_pFloatCellsImp->CalcFloatCellsInRange(this, range);
}

void CGXGridCore::UpdateFloatCellsAfterChange(const CGXRange& range, UINT flags) {
  if (m_pFloatCellsImp) m_pFloatCellsImp->UpdateFloatCellsAfterChange(this, range, flags);
}

BOOL CGXGridCore::GetFloatedCellsRange(ROWCOL row, ROWCOL col, CGXRange& out) {
  return m_pFloatCellsImp && m_pFloatCellsImp->GetFloatedCellsRange(this, row, col, out);
}

void CGXGridCore::RedrawFloatCells(const CGXRange& range, UINT flags) {
  if (m_pFloatCellsImp) m_pFloatCellsImp->RedrawFloatCells(this, range, flags);
}

void CGXGridCore::WidenRangeByFloatCells(CGXRange& range) {
  if (m_pFloatCellsImp) m_pFloatCellsImp->WidenRangeByFloatCells(this, range);
}

CGXSpanCellPool* CGXGridCore::GetFloatCellsPool() {
  if (m_bPrinting) {
    if (!m_pPrintFloatPool) m_pPrintFloatPool = std::make_unique<CGXSpanCellPool>();
    return m_pPrintFloatPool.get();
  }
  return m_pParam ? m_pParam->m_pFloatSpans.get() : nullptr;
}

void CGXGridCore::RecalcMergedCells(const CGXRange& range, int flag) {
  if (m_pMergeCellsImp) m_pMergeCellsImp->RecalcMergedCells(this, range, flag);
}

BOOL CGXGridCore::CalcMergedCellsInRange(const CGXRange& range) {
  if (!m_pMergeCellsImp || (QueryMergingMode() & 3) == 0 || m_bSuspendMerging) return FALSE;
  return m_pMergeCellsImp->CalcMergedCellsInRange(this, range);
}

void CGXGridCore::UpdateMergedCellsAfterChange(const CGXRange& range, UINT flags) {
  if (m_pMergeCellsImp) m_pMergeCellsImp->UpdateMergedCellsAfterChange(this, range, flags);
}

BOOL CGXGridCore::GetMergedCellsRange(ROWCOL row, ROWCOL col, CGXRange& out, int direction) {
  return m_pMergeCellsImp && m_pMergeCellsImp->GetMergedCellsRange(this, row, col, out, direction);
}

void CGXGridCore::RedrawMergedCells(const CGXRange& range, UINT flags) {
  if (m_pMergeCellsImp) m_pMergeCellsImp->RedrawMergedCells(this, range, flags);
}

void CGXGridCore::WidenRangeByMergedCells(CGXRange& range) {
  if (m_pMergeCellsImp) m_pMergeCellsImp->WidenRangeByMergedCells(this, range);
}

BOOL CGXGridCore::SearchNextMatch(BOOL flag) {
  return m_pFindReplaceImp && m_pFindReplaceImp->SearchNextMatch(this, flag);
}

BOOL CGXGridCore::SearchFromCell(ROWCOL* row, ROWCOL* col, DWORD flags) {
  return m_pFindReplaceImp && m_pFindReplaceImp->SearchFromCell(this, row, col, flags);
}

// The base redraws the marked headers (nothing while header marking is off); a grid class that overrides
// the hook to react to the user's selection may leave that out.
void CGXGridCore::OnSelectionChanged(const CGXRange* /*range*/, BOOL /*dragging*/, BOOL /*byKey*/) {
  RefreshHeaders(0, 0, 0);
}
