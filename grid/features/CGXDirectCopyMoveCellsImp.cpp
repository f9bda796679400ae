#include "grid/features/CGXDirectCopyMoveCellsImp.h"

#include "grid/core/CGXData.h"
#include "grid/core/CGXDataCopyMoveCellsImp.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CException.h"
#include "platform/base/CObArray.h"
#include "platform/framework/MessageBox.h"

namespace {

CGXRange Destination(const CGXRange& source, ROWCOL destRow, ROWCOL destCol) {
  return CGXRange(destRow, destCol, destRow + (source.bottom - source.top), destCol + (source.right - source.left));
}

void RecalcSpans(CGXGridCore* grid, const CGXRange& range) {
  grid->RecalcFloatCells(range, -1);
  grid->RecalcMergedCells(range, -1);
}

}  // namespace

BOOL GXCopyCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol, UINT flags) {
  GXForwardArgs a;
  a.v = {reinterpret_cast<DWORD_PTR>(&source), destRow, destCol, flags};
  return grid->DirectCopyMoveForward0(a) != 0;
}

BOOL GXMoveCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol, CObject*& undoInfo,
                 UINT flags, int commandType) {
  GXForwardArgs a;
  a.v = {reinterpret_cast<DWORD_PTR>(&source), destRow, destCol, reinterpret_cast<DWORD_PTR>(&undoInfo), flags,
         static_cast<DWORD_PTR>(commandType)};
  return grid->DirectCopyMoveForward2(a) != 0;
}

BOOL CGXDirectCopyMoveCellsImp::CopyCellsData(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow,
                                              ROWCOL destCol) {
  CGXData* data = grid->GetData();
  return data ? data->CopyCells(source, destRow, destCol) : TRUE;
}

BOOL CGXDirectCopyMoveCellsImp::MoveCellsData(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow,
                                              ROWCOL destCol, CObject*& undoInfo, BOOL recordUndo, int) {
  CGXData* data = grid->GetData();
  return data ? data->MoveCells(source, destRow, destCol, undoInfo, recordUndo) : TRUE;
}

BOOL CGXDirectCopyMoveCellsImp::CopyCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                                          UINT flags) {
  if (grid->IsReadOnly() || !source.IsCells() || source.top > source.bottom || source.left > source.right)
    return FALSE;
  const CString name = gx::LoadGridString(20178);
  grid->BeginTransaction(name);
  CGXLongOperationScope scope;
  scope.SetStatusText(name, TRUE);
  CGXLongOperationScope::SetRollbackOffered(TRUE);
  const CGXRange dest = Destination(source, destRow, destCol);
  const uint64_t height = uint64_t{dest.bottom} - dest.top + 1, width = uint64_t{dest.right} - dest.left + 1;
  const int kind = grid->m_nDefaultStorageType;

  // 3. What the destination held, for undo.
  CGXGridParam* param = grid->GetParam();
  const BOOL undo = grid->GetCommandFactory() && param && param->m_bUndoEnabled;
  CObArray* saved = nullptr;
  if (undo) {
    BOOL tooLarge = height * width >= 0x7FFFFFFF || height > 32767 || width > 32767;
    if (!tooLarge) {
      try {
        saved = grid->CollectRangeStyles(dest, kind, FALSE);
      } catch (CMemoryException* e) {
        e->Delete();
        tooLarge = TRUE;
      }
    }
    if (tooLarge && AfxMessageBox(gx::LoadGridString(20082), MB_OKCANCEL) == IDCANCEL) {
      grid->RollbackTransaction();
      CGXLongOperationScope::SetRollbackOffered(FALSE);
      return FALSE;
    }
  }

  // The command that sets the destination back: the saved styles, and the store's own undo records after them.
  auto freeSaved = [&] {
    if (!saved) return;
    for (INT_PTR i = 0; i < saved->GetSize(); ++i) grid->ReleaseWorkStyle(static_cast<CGXStyle*>(saved->GetAt(i)));
    delete saved;
    saved = nullptr;
  };
  auto recordRestore = [&] {
    CObject* record = grid->DetachDataUndoInfo();
    if (!saved) {
      delete record;
      return;
    }
    // The work styles become the command's own copies.
    auto* own = new CObArray;
    own->SetSize(saved->GetSize());
    for (INT_PTR i = 0; i < saved->GetSize(); ++i)
      if (auto* s = static_cast<CGXStyle*>(saved->GetAt(i))) own->SetAt(i, s->Clone());
    freeSaved();
    if (record) own->Add(record);
    CObject* command = grid->GetCommandFactory()->CreateSetStyleRangeCmd(dest, kind, own);
    if (command) {
      grid->Record(command, 0);
    } else {
      GXFreeUndoArray(own);
    }
  };

  // 4. The copy, with the cell store's own undo recording as the grid's undo setting says.
  grid->FreeDrawingCaches();
  if (CGXData* data = grid->GetData()) data->SetRangeChanged(dest);
  const BOOL oldRecording = grid->EnableDataUndoRecording(undo);
  BOOL ok = FALSE;
  try {
    ok = CopyCellsData(grid, source, destRow, destCol);
  } catch (...) {
    // Out of memory part of the way: the transaction gets the command that sets the destination back and is
    // rolled back, so that it restores the cells here or, inside a caller's transaction (a paste of several
    // blocks), when the caller rolls back everything it did.
    grid->EnableDataUndoRecording(oldRecording);
    recordRestore();
    grid->RollbackTransaction();
    CGXLongOperationScope::SetRollbackOffered(FALSE);
    throw;
  }
  grid->EnableDataUndoRecording(oldRecording);

  // 5. Commit or roll back; the undo command sets the destination back.
  if (!ok) {
    freeSaved();
    grid->DiscardDataUndoInfo();
    grid->RollbackTransaction();
  } else {
    grid->CommitTransaction();
    RecalcSpans(grid, dest);
    grid->SetModifiedFlag(TRUE);
    recordRestore();
  }
  CGXLongOperationScope::SetRollbackOffered(FALSE);
  // 6. The change is over.
  grid->DataObjectNotice();
  grid->RedrawAll(flags);
  return ok;
}

BOOL CGXDirectCopyMoveCellsImp::MoveCells(CGXGridCore* grid, const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                                          CObject*& undoInfo, UINT flags, int commandType) {
  if (grid->IsReadOnly() || !grid->GetData() || !source.IsCells() || source.top > source.bottom ||
      source.left > source.right)
    return FALSE;
  CGXLongOperationScope scope;
  scope.SetStatusText(gx::LoadGridString(20179), TRUE);
  const CGXRange dest = Destination(source, destRow, destCol);
  if (!grid->m_bNoDataObjectNotice) {
    grid->GetData()->SetRangeChanged(dest);
    grid->GetData()->SetRangeChanged(source);
  }
  const BOOL record = grid->UndoApplies(commandType);
  grid->FreeDrawingCaches();
  const BOOL ok = MoveCellsData(grid, source, destRow, destCol, undoInfo, record, commandType);
  if (ok) {
    RecalcSpans(grid, dest);
    RecalcSpans(grid, source);
    grid->SetModifiedFlag(TRUE);
    if (record) {
      // The inverse moves the block back from where it is now, putting back what this move overwrote.
      CObject* command = grid->GetCommandFactory()->CreateMoveCellsCmd(dest, source.top, source.left, undoInfo,
                                                                         commandType);
      if (!command) delete undoInfo;
      undoInfo = nullptr;  // the command took it
      grid->Record(command, commandType);
    }
  }
  grid->DataObjectNotice();
  grid->RedrawAll(flags);
  return ok;
}

LRESULT CGXDirectCopyMoveCellsImp::DirectCopyMoveForward0(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* source = reinterpret_cast<const CGXRange*>(a.v[0]);
  return source ? CopyCells(grid, *source, static_cast<ROWCOL>(a.v[1]), static_cast<ROWCOL>(a.v[2]),
                            static_cast<UINT>(a.v[3]))
                : FALSE;
}

LRESULT CGXDirectCopyMoveCellsImp::DirectCopyMoveForward1(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* source = reinterpret_cast<const CGXRange*>(a.v[0]);
  return source ? CopyCellsData(grid, *source, static_cast<ROWCOL>(a.v[1]), static_cast<ROWCOL>(a.v[2])) : FALSE;
}

LRESULT CGXDirectCopyMoveCellsImp::DirectCopyMoveForward2(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* source = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* holder = reinterpret_cast<CObject**>(a.v[3]);
  CObject* none = nullptr;
  return source ? MoveCells(grid, *source, static_cast<ROWCOL>(a.v[1]), static_cast<ROWCOL>(a.v[2]),
                            holder ? *holder : none, static_cast<UINT>(a.v[4]), static_cast<int>(a.v[5]))
                : FALSE;
}

LRESULT CGXDirectCopyMoveCellsImp::DirectCopyMoveForward3(CGXGridCore* grid, const GXForwardArgs& a) {
  auto* source = reinterpret_cast<const CGXRange*>(a.v[0]);
  auto* holder = reinterpret_cast<CObject**>(a.v[3]);
  CObject* none = nullptr;
  return source ? MoveCellsData(grid, *source, static_cast<ROWCOL>(a.v[1]), static_cast<ROWCOL>(a.v[2]),
                                holder ? *holder : none, static_cast<BOOL>(a.v[4]), static_cast<int>(a.v[5]))
                : FALSE;
}

void CGXGridCore::InstallDirectCopyMoveCellsImp() {
  InstallDataCopyMoveCellsImp();
  if (!GetDirectCopyMoveCellsImp()) SetFeature(new CGXDirectCopyMoveCellsImp);
}
