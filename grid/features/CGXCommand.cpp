#include "grid/features/CGXCommand.h"

#include <map>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/gxstrings.h"
#include "grid/features/CGXCommandFactoryImp.h"
#include "grid/features/CGXDirectCopyMoveCellsImp.h"

IMPLEMENT_DYNAMIC(CGXCommand, CObject)
IMPLEMENT_DYNAMIC(CGXBlockCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetRowHeightCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetColWidthCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXHideRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXHideColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetDefaultRowHeightCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetDefaultColWidthCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXRemoveRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXRemoveColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXInsertRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXInsertColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetCoveredCellsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetStyleRangeCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetFrozenRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetFrozenColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangeStylesMapCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangePropertiesCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXChangeBaseStyleCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXSetRangeNameCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXDeleteRangeNameCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveDataRowsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveDataColsCmd, CGXCommand)
IMPLEMENT_DYNAMIC(CGXMoveCellsCmd, CGXCommand)

// The update flags every command's grid operation is run with.
namespace {
constexpr UINT kFlags = GX_UPDATENOW;
}  // namespace

CString GXCommandName(UINT id) {
  static std::map<UINT, CString> names;
  auto it = names.find(id);
  if (it == names.end()) {
    CString text;
    if (!gx::LoadGridString(text, id) || text.IsEmpty()) text = " ";
    it = names.emplace(id, text).first;
  }
  return it->second;
}

void GXStyleArrayDeleter::operator()(CObArray* array) const { GXFreeUndoArray(array); }

// ---- Block --------------------------------------------------------------------------------------------------

CGXBlockCmd::CGXBlockCmd(LPCTSTR name) : m_commands(10), m_sName(name ? name : "Block") {}

CGXBlockCmd::~CGXBlockCmd() {
  for (POSITION p = m_commands.GetHeadPosition(); p;) delete m_commands.GetNext(p);
}

// Executes the commands newest first. Undo and redo build the inverse block in the other list: every
// command the executed operations record goes into it while the factory's executing-block flag is set.
BOOL CGXBlockCmd::Execute(CGXGridCore* grid, int commandType) {
  auto* factory = dynamic_cast<CGXCommandFactoryImp*>(grid->GetCommandFactory());
  CGXGridParam* param = grid->GetParam();
  if (!factory || !param) return FALSE;
  CGXLongOperationScope scope;
  CString text = m_sName;
  if (commandType == 2 || commandType == 3) {
    CString format = gx::LoadGridString(commandType == 2 ? 20140 : 20139);
    if (format.IsEmpty()) format = commandType == 2 ? "Undoing %1 ..." : "Redoing %1 ...";
    format.Replace("%1", m_sName);
    text = format;
  }
  scope.SetStatusText(text, TRUE);

  CGXBlockCmd* inverse = nullptr;
  CObList* inverseList = nullptr;
  if (commandType == 2 || commandType == 3) {
    inverse = new CGXBlockCmd(m_sName);
    inverse->m_nRow = m_nRow;
    inverse->m_nCol = m_nCol;
    inverse->m_bCellValid = m_bCellValid;
    inverseList = commandType == 2 ? &param->GetRedoList() : &param->GetUndoList();
    inverseList->AddHead(inverse);
  }
  factory->m_bDeferredCell = FALSE;
  factory->m_bExecutingBlock = TRUE;

  const INT_PTR count = m_commands.GetCount();
  const BOOL many = count > 1;
  const BOOL oldLock = param->m_bHeaderMarkingLocked;
  // Many commands paint nothing one by one: the whole grid is redrawn once after the last. Each would
  // otherwise repaint the window (a paste that added 100,000 rows painted it 100,000 times on its undo).
  BOOL oldUpdateLock = FALSE;
  if (many) {
    param->m_bHeaderMarkingLocked = TRUE;
    CGXLongOperationScope::IgnoreNestedLongOperations(TRUE);
    oldUpdateLock = grid->LockUpdate(TRUE);
  }
  BOOL ok = TRUE;
  INT_PTR done = 0;
  try {
    for (POSITION p = m_commands.GetHeadPosition(); p && ok;) {
      CObject* command = m_commands.GetNext(p);
      ok = grid->ExecuteCommand({{reinterpret_cast<DWORD_PTR>(command), reinterpret_cast<DWORD_PTR>(grid),
                                  static_cast<DWORD_PTR>(commandType)}}) != 0;
      ++done;
      if (scope.IsWaitDelayElapsed()) {
        SetLongOperationPercentDone(static_cast<int>(done * 100 / count));
        scope.PollMessages();
      }
    }
  } catch (...) {
    ok = FALSE;
    factory->m_bExecutingBlock = FALSE;
    if (many) {
      param->m_bHeaderMarkingLocked = oldLock;
      grid->LockUpdate(oldUpdateLock);
    }
    if (inverse) {
      if (POSITION at = inverseList->Find(inverse)) inverseList->RemoveAt(at);
      delete inverse;
    }
    throw;
  }
  if (many) {
    CGXLongOperationScope::IgnoreNestedLongOperations(FALSE);
    param->m_bHeaderMarkingLocked = oldLock;
    grid->LockUpdate(oldUpdateLock);
    grid->RedrawAll(GX_UPDATENOW, TRUE);
    grid->RefreshScrollBars();
  }
  if (inverse && !ok) {
    if (POSITION at = inverseList->Find(inverse)) inverseList->RemoveAt(at);
    delete inverse;
  }
  factory->m_bExecutingBlock = FALSE;
  if (factory->m_bDeferredCell) {
    factory->m_bDeferredCell = FALSE;
    grid->RestoreCurrentCell(factory->m_nDeferredRow, factory->m_nDeferredCol, factory->m_bDeferredMove);
  }
  return ok;
}

// ---- Single commands ----------------------------------------------------------------------------------------

BOOL CGXSetRowHeightCmd::Execute(CGXGridCore* g, int t) { return g->SetRowHeight(m_nFrom, m_nTo, 0, m_values.get(), kFlags, t); }
BOOL CGXSetColWidthCmd::Execute(CGXGridCore* g, int t) { return g->SetColWidth(m_nFrom, m_nTo, 0, m_values.get(), kFlags, t); }
BOOL CGXHideRowsCmd::Execute(CGXGridCore* g, int t) { return g->HideRows(m_nFrom, m_nTo, FALSE, kFlags, m_values.get(), t); }
BOOL CGXHideColsCmd::Execute(CGXGridCore* g, int t) { return g->HideCols(m_nFrom, m_nTo, FALSE, kFlags, m_values.get(), t); }
BOOL CGXSetDefaultRowHeightCmd::Execute(CGXGridCore* g, int t) { return g->SetDefaultRowHeight(m_nSize, kFlags, t); }
BOOL CGXSetDefaultColWidthCmd::Execute(CGXGridCore* g, int t) { return g->SetDefaultColWidth(m_nSize, kFlags, t); }
BOOL CGXMoveRowsCmd::Execute(CGXGridCore* g, int t) { return g->MoveRows(m_nFrom, m_nTo, m_nDest, kFlags, t); }
BOOL CGXMoveColsCmd::Execute(CGXGridCore* g, int t) { return g->MoveCols(m_nFrom, m_nTo, m_nDest, kFlags, t); }
BOOL CGXRemoveRowsCmd::Execute(CGXGridCore* g, int t) { return g->RemoveRows(m_nFrom, m_nTo, kFlags, t); }
BOOL CGXRemoveColsCmd::Execute(CGXGridCore* g, int t) { return g->RemoveCols(m_nFrom, m_nTo, kFlags, t); }

BOOL CGXInsertRowsCmd::Execute(CGXGridCore* g, int t) {
  return g->InsertRows(m_nRow, m_nCount, m_sizes.get(), m_cellStyles.get(), m_lineStyles.get(), m_nOtherCount, kFlags, t);
}

BOOL CGXInsertColsCmd::Execute(CGXGridCore* g, int t) {
  return g->InsertCols(m_nCol, m_nCount, m_sizes.get(), m_cellStyles.get(), m_lineStyles.get(), m_nOtherCount, kFlags, t);
}

BOOL CGXSetCoveredCellsCmd::Execute(CGXGridCore* g, int t) {
  return g->SetCoveredCellsRowCol(m_nTop, m_nLeft, m_nBottom, m_nRight, kFlags, t);
}

BOOL CGXSetStyleRangeCmd::Execute(CGXGridCore* g, int t) {
  return g->ApplyStyleToRange(m_range, nullptr, gxCopy, m_nType, m_styles.get(), kFlags, t);
}

BOOL CGXSetFrozenRowsCmd::Execute(CGXGridCore* g, int t) { return g->SetFrozenRows(m_nFrozen, m_nHeader, kFlags, t); }
BOOL CGXSetFrozenColsCmd::Execute(CGXGridCore* g, int t) { return g->SetFrozenCols(m_nFrozen, m_nHeader, kFlags, t); }
BOOL CGXChangeStylesMapCmd::Execute(CGXGridCore* g, int t) { return g->ReplaceStylesMap(*m_map, kFlags, t); }
BOOL CGXChangePropertiesCmd::Execute(CGXGridCore* g, int t) { return g->ReplaceProperties(*m_properties, kFlags, t); }
BOOL CGXChangeBaseStyleCmd::Execute(CGXGridCore* g, int t) { return g->ModifyBaseStyle(m_wId, *m_style, gxCopy, kFlags, t); }

BOOL CGXSetRangeNameCmd::Execute(CGXGridCore* g, int t) {
  return m_bHasRange ? g->SetRangeName(m_sName, &m_range, 0, kFlags, t) : g->DeleteRangeName(m_sName, kFlags, t);
}

// The name's attached object goes back to the store with it.
BOOL CGXDeleteRangeNameCmd::Execute(CGXGridCore* g, int t) {
  if (!g->SetRangeName(m_sName, &m_range, reinterpret_cast<DWORD_PTR>(m_object.get()), kFlags, t)) return FALSE;
  m_object.release();
  return TRUE;
}

// The sorted-data and moved-cells commands run the features' operations through the grid's forwarders.
BOOL CGXMoveDataRowsCmd::Execute(CGXGridCore* g, int t) {
  GXForwardArgs a;
  a.v = {reinterpret_cast<DWORD_PTR>(&m_range), reinterpret_cast<DWORD_PTR>(m_order.get()), kFlags,
         static_cast<DWORD_PTR>(t)};
  return g->SortForward2(a) != 0;
}

BOOL CGXMoveDataColsCmd::Execute(CGXGridCore* g, int t) {
  GXForwardArgs a;
  a.v = {reinterpret_cast<DWORD_PTR>(&m_range), reinterpret_cast<DWORD_PTR>(m_order.get()), kFlags,
         static_cast<DWORD_PTR>(t)};
  return g->SortForward7(a) != 0;
}

BOOL CGXMoveCellsCmd::Execute(CGXGridCore* g, int t) {
  CObject* info = m_moveInfo.release();
  const BOOL ok = GXMoveCells(g, m_range, m_nDestRow, m_nDestCol, info, kFlags, t);
  // The move consumed the record's entries; an object it did not hand on to a new command stays here.
  m_moveInfo.reset(info);
  return ok;
}
