#include "grid/features/CGXCommandFactoryImp.h"

#include <cstdint>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/gxstrings.h"
#include "grid/features/CGXCommand.h"
#include "grid/features/gxfeatures.h"
#include "platform/base/CException.h"
#include "platform/framework/CCmdTarget.h"
#include "platform/framework/MessageBox.h"

namespace {

template <class Command, class... Args>
CObject* Make(Args&&... args) {
  try {
    return new Command(std::forward<Args>(args)...);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

CObList& ListFor(CGXGridParam& param, int commandType) {
  return commandType == 0 || commandType == 3 ? param.GetUndoList() : param.GetRedoList();
}

void DeleteTail(CObList& list) { delete list.RemoveTail(); }

void RecordCurrentCell(CGXGridCore* grid, CGXCommand& command) {
  ROWCOL row = 0, col = 0;
  command.m_bCellValid = grid->QueryCurrentCell(&row, &col);
  command.m_nRow = row;
  command.m_nCol = col;
}

CGXBlockCmd* HeadBlock(CObList& list) {
  return list.IsEmpty() ? nullptr : dynamic_cast<CGXBlockCmd*>(list.GetHead());
}

// The current cell's control while it is being edited, else null.
CGXControl* ActiveControl(CGXGridCore* grid, ROWCOL& row, ROWCOL& col) {
  if (!grid->QueryCurrentCell(&row, &col)) return nullptr;
  CGXControl* control = grid->ControlOfCurrentCell();
  return control && control->GetEditingState() ? control : nullptr;
}

}  // namespace

// ---- Creators -----------------------------------------------------------------------------------------------

CObject* CGXCommandFactoryImp::CreateBlockCmd(LPCTSTR name) { return Make<CGXBlockCmd>(name); }
CObject* CGXCommandFactoryImp::CreateSetRowHeightCmd(ROWCOL f, ROWCOL t, int* s) { return Make<CGXSetRowHeightCmd>(f, t, s); }
CObject* CGXCommandFactoryImp::CreateHideRowsCmd(ROWCOL f, ROWCOL t, BOOL* h) { return Make<CGXHideRowsCmd>(f, t, h); }
CObject* CGXCommandFactoryImp::CreateSetDefaultRowHeightCmd(int s) { return Make<CGXSetDefaultRowHeightCmd>(s); }
CObject* CGXCommandFactoryImp::CreateSetColWidthCmd(ROWCOL f, ROWCOL t, int* s) { return Make<CGXSetColWidthCmd>(f, t, s); }
CObject* CGXCommandFactoryImp::CreateHideColsCmd(ROWCOL f, ROWCOL t, BOOL* h) { return Make<CGXHideColsCmd>(f, t, h); }
CObject* CGXCommandFactoryImp::CreateSetDefaultColWidthCmd(int s) { return Make<CGXSetDefaultColWidthCmd>(s); }
CObject* CGXCommandFactoryImp::CreateMoveRowsCmd(ROWCOL f, ROWCOL t, ROWCOL d, int) { return Make<CGXMoveRowsCmd>(f, t, d); }
CObject* CGXCommandFactoryImp::CreateMoveColsCmd(ROWCOL f, ROWCOL t, ROWCOL d, int) { return Make<CGXMoveColsCmd>(f, t, d); }
CObject* CGXCommandFactoryImp::CreateRemoveRowsCmd(ROWCOL f, ROWCOL t) { return Make<CGXRemoveRowsCmd>(f, t); }
CObject* CGXCommandFactoryImp::CreateRemoveColsCmd(ROWCOL f, ROWCOL t) { return Make<CGXRemoveColsCmd>(f, t); }

CObject* CGXCommandFactoryImp::CreateInsertRowsCmd(ROWCOL row, ROWCOL count, int* heights, CObArray* cellStyles,
                                                   CObArray* rowStyles, ROWCOL colCount) {
  return Make<CGXInsertRowsCmd>(row, count, heights, cellStyles, rowStyles, colCount);
}

CObject* CGXCommandFactoryImp::CreateInsertColsCmd(ROWCOL col, ROWCOL count, int* widths, CObArray* cellStyles,
                                                   CObArray* colStyles, ROWCOL rowCount) {
  return Make<CGXInsertColsCmd>(col, count, widths, cellStyles, colStyles, rowCount);
}

CObject* CGXCommandFactoryImp::CreateSetCoveredCellsCmd(const CGXRange& r, BOOL) {
  return Make<CGXSetCoveredCellsCmd>(r.top, r.left, r.bottom, r.right);
}

CObject* CGXCommandFactoryImp::CreateMoveDataRowsCmd(const CGXRange& range, CDWordArray* order, int) {
  return Make<CGXMoveDataRowsCmd>(range, order);
}
CObject* CGXCommandFactoryImp::CreateMoveDataColsCmd(const CGXRange& range, CDWordArray* order, int) {
  return Make<CGXMoveDataColsCmd>(range, order);
}
CObject* CGXCommandFactoryImp::CreateMoveCellsCmd(const CGXRange& range, ROWCOL destRow, ROWCOL destCol,
                                                  CObject* undoInfo, int) {
  return Make<CGXMoveCellsCmd>(range, destRow, destCol, undoInfo);
}

CObject* CGXCommandFactoryImp::CreateSetStyleRangeCmd(const CGXRange& range, int type, CObArray* oldStyles) {
  return Make<CGXSetStyleRangeCmd>(range, type, oldStyles);
}

CObject* CGXCommandFactoryImp::CreateSetFrozenRowsCmd(ROWCOL f, ROWCOL h) { return Make<CGXSetFrozenRowsCmd>(f, h); }
CObject* CGXCommandFactoryImp::CreateSetFrozenColsCmd(ROWCOL f, ROWCOL h) { return Make<CGXSetFrozenColsCmd>(f, h); }

// The engine hands over a copy of the old object; the command keeps it.
CObject* CGXCommandFactoryImp::CreateChangeStylesMapCmd(CGXStylesMap* old, int) { return Make<CGXChangeStylesMapCmd>(old); }
CObject* CGXCommandFactoryImp::CreateChangePropertiesCmd(CGXProperties* old, int) {
  return Make<CGXChangePropertiesCmd>(old);
}
CObject* CGXCommandFactoryImp::CreateChangeBaseStyleCmd(WORD id, CGXStyle* old, const CString& name, int) {
  return Make<CGXChangeBaseStyleCmd>(id, old, name);
}

CObject* CGXCommandFactoryImp::CreateSetRangeNameCmd(LPCTSTR name, BOOL hasRange, const CGXRange& range) {
  return Make<CGXSetRangeNameCmd>(name, hasRange, range);
}

CObject* CGXCommandFactoryImp::CreateDeleteRangeNameCmd(LPCTSTR name, const CGXRange& range, CObject* object) {
  return Make<CGXDeleteRangeNameCmd>(name, range, object);
}

// ---- The cell store's undo records --------------------------------------------------------------------------

BOOL CGXCommandFactoryImp::EnableDataUndoRecording(CGXGridCore* grid, BOOL enable) {
  CGXData* data = grid->GetData();
  return data ? data->EnableUndoRecording(enable) : FALSE;
}

CObject* CGXCommandFactoryImp::DetachDataUndoInfo(CGXGridCore* grid) {
  CGXData* data = grid->GetData();
  return data ? data->DetachUndoInfo() : nullptr;
}

BOOL CGXCommandFactoryImp::ApplyDataUndoInfo(CGXGridCore* grid, CObject* info, DWORD_PTR a, DWORD_PTR b) {
  CGXData* data = grid->GetData();
  return data && info ? data->ApplyUndoInfo(info, static_cast<BOOL>(a), static_cast<BOOL>(b)) : FALSE;
}

void CGXCommandFactoryImp::DiscardDataUndoInfo(CGXGridCore* grid) { delete grid->DetachDataUndoInfo(); }

// ---- Filing and executing -----------------------------------------------------------------------------------

LRESULT CGXCommandFactoryImp::ExecuteCommand(CGXGridCore* grid, const GXForwardArgs& args) {
  auto* command = dynamic_cast<CGXCommand*>(reinterpret_cast<CObject*>(args.v[0]));
  const int type = static_cast<int>(args.v[2]);
  CGXGridParam* param = grid->GetParam();
  if (!command || !param) return FALSE;
  const BOOL oldFlag = param->m_bNotExecutingCommand;
  param->m_bNotExecutingCommand = FALSE;
  BOOL ok = FALSE;
  try {
    if (grid->GetData() && command->m_pUndoInfo) {
      const BOOL old = grid->EnableDataUndoRecording(type != 1);
      grid->ApplyDataUndoInfo(command->m_pUndoInfo, 1, 0);
      grid->EnableDataUndoRecording(old);
    }
    ok = command->Execute(grid, type);
  } catch (...) {
    param->m_bNotExecutingCommand = oldFlag;
    throw;
  }
  param->m_bNotExecutingCommand = oldFlag;
  return ok;
}

void CGXCommandFactoryImp::AddCommand(CGXGridCore* grid, CObject* object, int commandType) {
  auto* command = dynamic_cast<CGXCommand*>(object);
  CGXGridParam* param = grid->GetParam();
  if (!command || !param) {
    delete object;
    return;
  }
  try {
    if (commandType == 0) param->EmptyRedoList();
    if (!command->m_pUndoInfo) command->m_pUndoInfo = grid->DetachDataUndoInfo();
    CObList& list = ListFor(*param, commandType);
    RecordCurrentCell(grid, *command);
    CGXBlockCmd* block = (param->m_nTransactionLevel > 0 || m_bExecutingBlock) ? HeadBlock(list) : nullptr;
    if (block) {
      block->m_commands.AddHead(command);
    } else {
      if (static_cast<DWORD>(list.GetCount()) > param->m_dwUndoLimit) DeleteTail(list);
      list.AddHead(command);
    }
  } catch (CException* e) {
    e->Delete();
    delete command;
  }
}

void CGXCommandFactoryImp::RemoveLastCommand(CGXGridCore* grid, int commandType) {
  CGXGridParam* param = grid->GetParam();
  if (!param) return;
  CObList& list = ListFor(*param, commandType);
  CGXBlockCmd* block = (param->m_nTransactionLevel > 0 || m_bExecutingBlock) ? HeadBlock(list) : nullptr;
  CObList& target = block ? block->m_commands : list;
  if (!target.IsEmpty()) delete target.RemoveHead();
}

BOOL CGXCommandFactoryImp::Undo(CGXGridCore* grid) {
  ROWCOL row = 0, col = 0;
  if (CGXControl* control = ActiveControl(grid, row, col)) {
    if (!control->NotifyEditEnd()) return FALSE;
    const BOOL modified = control->GetModifiedState();
    control->InitForCell(row, col);
    control->Refresh();
    control->NotifyEditCancel();
    if (modified) return TRUE;  // the undo discarded the edit
  }
  CGXGridParam* param = grid->GetParam();
  if (!param || param->GetUndoList().IsEmpty()) return FALSE;
  CObject* command = param->GetUndoList().RemoveHead();
  BOOL ok = FALSE;
  try {
    ok = grid->ExecuteCommand({{reinterpret_cast<DWORD_PTR>(command), reinterpret_cast<DWORD_PTR>(grid), 2}}) != 0;
  } catch (...) {
    param->GetUndoList().AddHead(command);
    throw;
  }
  if (ok) {
    delete command;
    // The cells put back may be operands of formulas; undo brings back a state the user has seen, so the
    // store's message is not shown again.
    GXRecomputeAfterStores(grid, false);
  } else {
    param->GetUndoList().AddHead(command);
  }
  grid->RefreshScrollBars();
  grid->UpdateWindow();
  return ok;
}

BOOL CGXCommandFactoryImp::Redo(CGXGridCore* grid) {
  ROWCOL row = 0, col = 0;
  if (ActiveControl(grid, row, col) && !grid->CompleteCellEdit(FALSE, GX_UPDATENOW, FALSE)) return FALSE;
  CGXGridParam* param = grid->GetParam();
  if (!param || param->GetRedoList().IsEmpty()) return FALSE;
  CObject* object = param->GetRedoList().RemoveHead();
  auto* command = static_cast<CGXCommand*>(object);
  BOOL ok = FALSE;
  try {
    ok = grid->ExecuteCommand({{reinterpret_cast<DWORD_PTR>(object), reinterpret_cast<DWORD_PTR>(grid), 3}}) != 0;
  } catch (...) {
    param->GetRedoList().AddHead(object);
    throw;
  }
  if (ok) {
    if (command->m_bCellValid && command->m_nRow <= grid->GetRowCount() && command->m_nCol <= grid->GetColCount())
      grid->MoveCurrentCellTo(command->m_nRow, command->m_nCol);
    delete object;
    GXRecomputeAfterStores(grid, false);
  } else {
    param->GetRedoList().AddHead(object);
  }
  grid->RefreshScrollBars();
  grid->UpdateWindow();
  return ok;
}

// ---- Transactions -------------------------------------------------------------------------------------------

void CGXCommandFactoryImp::BeginTransaction(CGXGridCore* grid, LPCTSTR name) {
  CGXGridParam* param = grid->GetParam();
  if (!param || !param->m_bUndoEnabled) return;
  if (param->m_nTransactionLevel > 0) {
    ++param->m_nTransactionLevel;
    return;
  }
  m_sTransactionName = name ? name : "";
  auto* block = static_cast<CGXBlockCmd*>(CreateBlockCmd(name));
  if (!block) return;
  RecordCurrentCell(grid, *block);
  param->GetUndoList().AddHead(block);
  ++param->m_nTransactionLevel;
}

void CGXCommandFactoryImp::CommitTransaction(CGXGridCore* grid) {
  CGXGridParam* param = grid->GetParam();
  if (!param || param->m_nTransactionLevel == 0 || !param->m_bUndoEnabled) return;
  if (--param->m_nTransactionLevel > 0) return;
  CObList& list = param->GetUndoList();
  if (CGXBlockCmd* block = HeadBlock(list); block && block->m_commands.IsEmpty()) {
    delete list.RemoveHead();
  } else if (static_cast<DWORD>(list.GetCount()) > param->m_dwUndoLimit) {
    DeleteTail(list);
  }
}

void CGXCommandFactoryImp::RollbackTransaction(CGXGridCore* grid) {
  CGXGridParam* param = grid->GetParam();
  if (!param || param->m_nTransactionLevel == 0 || !param->m_bUndoEnabled) return;
  if (--param->m_nTransactionLevel > 0) return;
  param->m_nTransactionLevel = 0;
  CObList& list = param->GetUndoList();
  if (list.IsEmpty()) return;
  CObject* block = list.RemoveHead();
  try {
    grid->ExecuteCommand({{reinterpret_cast<DWORD_PTR>(block), reinterpret_cast<DWORD_PTR>(grid), 1}});
  } catch (...) {
    delete block;
    throw;
  }
  delete block;
  grid->RefreshScrollBars();
  grid->UpdateWindow();
}

void CGXCommandFactoryImp::RestoreCurrentCell(CGXGridCore* grid, ROWCOL row, ROWCOL col, BOOL moveGrid) {
  if (m_bExecutingBlock) {
    m_bDeferredCell = TRUE;
    m_nDeferredRow = row;
    m_nDeferredCol = col;
    m_bDeferredMove = moveGrid;
    return;
  }
  ROWCOL r = 0, c = 0;
  const BOOL current = grid->QueryCurrentCell(&r, &c) && r == row && c == col;
  if (moveGrid && !current)
    grid->MoveCurrentCellTo(row, col);
  else
    grid->BringCellIntoView(row, col, GX_UPDATENOW);
  grid->UpdateWindow();
}

// ---- Menus --------------------------------------------------------------------------------------------------

void CGXCommandFactoryImp::UpdateMenu(CGXGridCore* grid, CCmdUI* ui, BOOL undo) {
  CGXGridParam* param = grid->GetParam();
  if (!param) {
    if (ui) ui->Enable(FALSE);
    m_bLastMenuEnabled = FALSE;
    return;
  }
  ROWCOL row = 0, col = 0;
  CGXControl* control = undo ? ActiveControl(grid, row, col) : nullptr;
  const BOOL editUndoable = control && control->GetModifiedState();
  CObList& list = undo ? param->GetUndoList() : param->GetRedoList();
  const BOOL enabled = editUndoable || !list.IsEmpty();
  // A command update without a control is a menu entry: its text names what the entry does.
  if (ui && !ui->m_pOther) {
    CString& format = undo ? m_sUndoFormat : m_sRedoFormat;
    if (format.IsEmpty()) {
      // The command's string from its second line feed on; else "Undo %1" or "Redo %1".
      CString resource;
      if (gx::LoadGridString(resource, ui->m_nID)) {
        const int first = resource.Find('\n');
        const int second = first >= 0 ? resource.Find('\n', first + 1) : -1;
        if (second >= 0) format = resource.Mid(second + 1);
      }
      if (format.IsEmpty()) format = undo ? "Undo %1" : "Redo %1";
    }
    CString name;
    if (editUndoable)
      name = GXCommandName(20174);
    else if (!list.IsEmpty())
      name = static_cast<CGXCommand*>(list.GetHead())->GetName();
    CString text = format;
    text.Replace("%1", name);
    ui->SetText(text);
  }
  if (ui) ui->Enable(enabled);
  m_bLastMenuEnabled = enabled;
}

void CGXCommandFactoryImp::UpdateUndoMenuText(CGXGridCore* grid, const GXForwardArgs& args) {
  UpdateMenu(grid, reinterpret_cast<CCmdUI*>(args.v[0]), TRUE);
}

void CGXCommandFactoryImp::UpdateRedoMenuText(CGXGridCore* grid, const GXForwardArgs& args) {
  UpdateMenu(grid, reinterpret_cast<CCmdUI*>(args.v[0]), FALSE);
}

// ---- Data of removed lines ----------------------------------------------------------------------------------

namespace {
constexpr ROWCOL kMaxUndoLines = 32767;

BOOL AskTooLarge() {
  return AfxMessageBox(gx::LoadGridString(20082), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}
}  // namespace

BOOL CGXCommandFactoryImp::SaveRemovedData(CGXGridCore* grid, BOOL rows, ROWCOL from, ROWCOL to, CObArray*& cells,
                                           CObArray*& lines) {
  cells = lines = nullptr;
  CGXGridParam* param = grid->GetParam();
  if (!param || to < from) return TRUE;
  const WORD options = rows ? param->m_wRemoveRowsUndoFlags : param->m_wRemoveColsUndoFlags;
  const ROWCOL count = to - from + 1;
  const ROWCOL other = (rows ? grid->GetColCount() : grid->GetRowCount()) + 1;
  BOOL keepCells = (options & 2) != 0;
  BOOL keepLines = (options & 1) != 0;
  // The product in 64 bits: rows x columns beyond 32 bits must not wrap below the limit.
  const std::uint64_t cellCount = std::uint64_t{count} * other;
  if (keepCells && (cellCount >= 0x7FFFFFFFu || count > kMaxUndoLines || other > kMaxUndoLines)) {
    if (!AskTooLarge()) return FALSE;
    keepCells = FALSE;
  }
  if (keepLines && count > kMaxUndoLines) {
    if (!AskTooLarge()) return FALSE;
    keepLines = FALSE;
  }
  const std::uint64_t total = (keepCells ? cellCount : 0) + (keepLines ? count : 0);
  std::uint64_t done = 0;
  GXStyleArrayPtr cellArray, lineArray;
  CGXLongOperationScope scope;
  auto step = [&] {
    ++done;
    if (scope.IsWaitDelayElapsed()) {
      SetLongOperationPercentDone(static_cast<int>(done * 100 / total));
      BOOL abort = FALSE;
      scope.PollAbort(abort);
      return !abort;
    }
    return true;
  };
  auto read = [&](ROWCOL row, ROWCOL col, int type) -> CGXStyle* {
    CGXStyle* style = grid->NewWorkStyle();
    if (grid->ReadStoredStyle(row, col, *style, gxCopy, type)) return style;
    grid->ReleaseWorkStyle(style);
    return nullptr;
  };
  // Cells are kept in the grid's storage type (a store of expressions gives its formulas, not their values).
  const int kind = grid->m_nDefaultStorageType;
  if (keepCells) {
    cellArray.reset(new CObArray);
    cellArray->SetSize(static_cast<INT_PTR>(cellCount));
    for (ROWCOL i = 0; i < count; ++i)
      for (ROWCOL j = 0; j < other; ++j) {
        const ROWCOL line = from + i;
        cellArray->SetAt(static_cast<INT_PTR>(std::uint64_t{i} * other + j),
                         rows ? read(line, j, kind) : read(j, line, kind));
        if (!step()) return FALSE;  // aborted: the removal does not take place
      }
  }
  if (keepLines) {
    lineArray.reset(new CObArray);
    lineArray->SetSize(static_cast<INT_PTR>(count));
    for (ROWCOL i = 0; i < count; ++i) {
      lineArray->SetAt(static_cast<INT_PTR>(i), rows ? read(from + i, 0, GX_BASESTYLE) : read(0, from + i, GX_BASESTYLE));
      if (!step()) return FALSE;
    }
  }
  cells = cellArray.release();
  lines = lineArray.release();
  return TRUE;
}

BOOL CGXCommandFactoryImp::SaveRemovedRowsData(CGXGridCore* grid, ROWCOL from, ROWCOL to, CObArray*& cells,
                                               CObArray*& lines) {
  return SaveRemovedData(grid, TRUE, from, to, cells, lines);
}

BOOL CGXCommandFactoryImp::SaveRemovedColsData(CGXGridCore* grid, ROWCOL from, ROWCOL to, CObArray*& cells,
                                               CObArray*& lines) {
  return SaveRemovedData(grid, FALSE, from, to, cells, lines);
}

void CGXGridCore::InstallCommandFactory() {
  if (!GetCommandFactory()) SetFeature(new CGXCommandFactoryImp);
}
