#include "grid/features/CGXMoveRowsColsImp.h"

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/gxstrings.h"
#include "platform/window/windowapi.h"

ROWCOL CGXMoveRowsColsImp::MovedIndex(ROWCOL i, ROWCOL from, ROWCOL to, ROWCOL dest) {
  const ROWCOL n = to - from + 1, d = from < dest ? dest + n : dest;
  if (i >= from && i <= to) return i - from + dest;
  if (i < from && d <= i) return i + n;
  if (i > to && i < d) return i - n;
  return i;
}

BOOL CGXMoveRowsColsImp::IsValidMove(ROWCOL from, ROWCOL to, ROWCOL dest, ROWCOL count) {
  if (from < 1 || from > to || to > count || dest < 1) return FALSE;
  const ROWCOL n = to - from + 1;
  return dest <= count - n + 1;
}

// ---- The undoable move ---------------------------------------------------------------------------------

BOOL CGXMoveRowsColsImp::MoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int type) {
  return Move(g, TRUE, from, to, dest, flags, type);
}

BOOL CGXMoveRowsColsImp::MoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, int type) {
  return Move(g, FALSE, from, to, dest, flags, type);
}

BOOL CGXMoveRowsColsImp::Move(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags,
                              int type) {
  CGXGridParam* p = g->GetParam();
  // Arguments outside the grid are refused before anything changes.
  if (!p || !IsValidMove(from, to, dest, rows ? g->GetRowCount() : g->GetColCount())) return FALSE;
  if (!g->CompleteCellEdit(TRUE, GX_UPDATENOW, TRUE)) return FALSE;
  CGXExcelLikeFrameLock frameHidden(g);
  const ROWCOL n = to - from + 1;
  if (type == 0) {
    g->BeginTransaction(gx::LoadGridString(rows ? 20162 : 20163));
    // Covered blocks whose first line moves are recorded as they are and as their single top-left cell.
    const BOOL destInside = dest >= from && dest <= to;
    const CGXRangeList& covered = p->GetCoveredCells();
    for (POSITION pos = covered.GetHeadPosition(); pos;) {
      const CGXRange& r = *covered.GetNext(pos);
      const ROWCOL first = rows ? r.top : r.left;
      const BOOL affected = (first >= from && first <= to && !destInside) || (first >= dest && first < from) ||
                            (first > to && first < dest);
      if (!affected) continue;
      if (g->GetCommandFactory() && p->m_bUndoEnabled) {
        g->AddCommand(g->GetCommandFactory()->CreateSetCoveredCellsCmd(r, TRUE), 0);
        g->AddCommand(g->GetCommandFactory()->CreateSetCoveredCellsCmd(CGXRange(r.top, r.left), TRUE), 0);
      }
      flags = (flags & ~6u) | 1u;
    }
  }
  const BOOL recording = g->EnableDataUndoRecording(p->m_bUndoEnabled && type != 1);
  const BOOL stored = rows ? g->StoreMoveRows(from, to, dest) : g->StoreMoveCols(from, to, dest);
  g->EnableDataUndoRecording(recording);
  if (!stored) {
    g->DiscardDataUndoInfo();
    if (type == 0) g->RollbackTransaction();
    return FALSE;
  }
  rows ? g->UpdateMovedRows(from, to, dest, flags, TRUE) : g->UpdateMovedCols(from, to, dest, flags, TRUE);
  if (g->UndoApplies(type)) {
    CGXCommandFactory* f = g->GetCommandFactory();
    g->Record(rows ? f->CreateMoveRowsCmd(dest, dest + n - 1, from, type)
                   : f->CreateMoveColsCmd(dest, dest + n - 1, from, type),
              type);
    if (type == 2 || type == 3)
      rows ? g->RestoreCurrentCell(dest, g->GetFirstScrolledCol()) : g->RestoreCurrentCell(g->GetFirstScrolledRow(), dest);
  }
  if (type == 0) g->CommitTransaction();
  return TRUE;
}

// ---- The store half ----------------------------------------------------------------------------------

BOOL CGXMoveRowsColsImp::StoreMoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest) {
  return Store(g, TRUE, from, to, dest);
}

BOOL CGXMoveRowsColsImp::StoreMoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest) {
  return Store(g, FALSE, from, to, dest);
}

BOOL CGXMoveRowsColsImp::Store(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, ROWCOL dest) {
  CGXGridParam* p = g->GetParam();
  const ROWCOL count = rows ? g->GetRowCount() : g->GetColCount();
  if (!p || from == dest || !IsValidMove(from, to, dest, count)) return FALSE;
  if (p->m_bReadOnlyEnforced && g->IsReadOnly()) return FALSE;
  BOOL processed = FALSE;
  if (CGXData* d = g->GetData()) processed = rows ? d->MoveRows(from, to, dest) : d->MoveCols(from, to, dest);
  if (!processed) return FALSE;
  g->SetModifiedFlag(TRUE);
  if (CGXGridHideCellsImp* hide = g->GetHideCellsImp())
    rows ? hide->OnMoveRows(g, from, to, dest) : hide->OnMoveCols(g, from, to, dest);
  if (rows) {
    p->GetRowHeights().MoveKeys(from, to, dest);
    p->GetSelection().AdjustForMovedRows(from, to, dest, count);
    p->GetCoveredCells().AdjustForMovedRows(from, to, dest, count);
  } else {
    p->GetColWidths().MoveKeys(from, to, dest);
    p->GetSelection().AdjustForMovedCols(from, to, dest, count);
    p->GetCoveredCells().AdjustForMovedCols(from, to, dest, count);
  }
  p->SyncCoveredCellPool();
  // The span pools follow only while a pool implementation is installed; without one there is nothing
  // that evaluates spans, and the pools are left alone.
  if (!CGXGridGlobals::Get().m_pSpanCellPoolImp) return TRUE;
  const ROWCOL first = std::min(from, dest);
  if (g->QueryFloatingMode() != 0) {
    if (CGXSpanCellPool* pool = p->m_pFloatSpans.get())
      rows ? pool->MoveRows(from, to, dest) : pool->MoveCols(from, to, dest);
    if (!rows) g->RecalcFloatCells(CGXRange(0, first, g->GetRowCount(), count), -1);
  }
  if ((g->QueryMergingMode() & 3) != 0) {
    CGXSpanCellPool* across = rows ? p->m_pMergeSpansV.get() : p->m_pMergeSpansH.get();
    CGXSpanCellPool* along = rows ? p->m_pMergeSpansH.get() : p->m_pMergeSpansV.get();
    if (across) rows ? across->RemoveRows(first, 0xFFFFFFFE) : across->RemoveCols(first, 0xFFFFFFFE);
    if (along) rows ? along->MoveRows(from, to, dest) : along->MoveCols(from, to, dest);
    g->RecalcMergedCells(rows ? CGXRange(first, 0, count, g->GetColCount()) : CGXRange(0, first, g->GetRowCount(), count),
                         -1);
  }
  return TRUE;
}

// ---- The screen ----------------------------------------------------------------------------------------

void CGXMoveRowsColsImp::UpdateMovedRows(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags,
                                         BOOL createHint) {
  Update(g, TRUE, from, to, dest, flags, createHint);
}

void CGXMoveRowsColsImp::UpdateMovedCols(CGXGridCore* g, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags,
                                         BOOL createHint) {
  Update(g, FALSE, from, to, dest, flags, createHint);
}

void CGXMoveRowsColsImp::Update(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags,
                                BOOL createHint) {
  CGXGridParam* p = g->GetParam();
  if (!p || to < from) return;
  const ROWCOL n = to - from + 1, d = from < dest ? dest + n : dest;
  // 1. The kept answers about the shown lines are stale (flags 0: nothing is painted).
  g->RedrawAll(0, FALSE);
  // 2-3. The current cell goes with its line.
  ROWCOL row = 0, col = 0;
  if (g->QueryCurrentCell(&row, &col)) {
    ROWCOL& moved = rows ? row : col;
    moved = MovedIndex(moved, from, to, dest);
    g->StoreCurrentCell(TRUE, row, col);
    if (CGXControl* c = g->ControlOfCurrentCell(); c && c->IsInitialized()) c->InitForCell(row, col);
  }
  // 4. The selection frame follows the newest range.
  if (const CGXRange* last = p->GetSelection().GetTail()) g->DrawExcelLikeFrame(nullptr, FALSE, last);
  if (!g->IsLockUpdate()) {
    const ROWCOL frozen = rows ? g->GetFrozenRows() : g->GetFrozenCols();
    auto isFrozen = [frozen](ROWCOL i) { return i >= 1 && i <= frozen; };
    if ((flags & 1) || isFrozen(from) || isFrozen(to) || isFrozen(d) || g->QueryFloatingMode() != 0 ||
        (g->QueryMergingMode() & 3) != 0) {
      // 6. Whole redraw.
      g->RedrawAll(flags, FALSE);
    } else {
      // 7. Only what moved on the screen.
      const UINT f = flags & 7;
      const CRect area = g->GetGridRect();
      const ROWCOL t = rows ? g->GetFirstScrolledRow() : g->GetFirstScrolledCol();
      const ROWCOL b = rows ? g->CalcBottomRow(area) : g->CalcRightmostCol(area);
      const ROWCOL m = std::min(from, d);
      auto below = [&](ROWCOL i) { return rows ? g->CalcRectBelowRow(i) : g->CalcRectRightOfCol(i); };
      if (to < t && d < t) {
        // Above (left of) the shown lines: the screen shows the same lines.
      } else if (to < t && t <= d) {
        // The block left the lines above the top one: the top line keeps its line, now numbered t - n.
        rows ? g->SetTopRow(t - n, 0) : g->SetLeftCol(t - n, 0);
        if (dest < b) {
          CRect rest = below(dest - 1);
          const int extent = rows ? rest.Height() : rest.Width();
          const int h = rows ? g->SumRowHeights(dest, dest + n - 1, extent + 1) : g->SumColWidths(dest, dest + n - 1, extent + 1);
          if (h < extent) {
            // The lines below the landing place move on by the block's size; only the block is painted.
            if (HWND hwnd = g->GridHwnd(); hwnd && f)
              ::ScrollWindowEx(hwnd, rows ? 0 : h, rows ? h : 0, &rest, &area, nullptr, nullptr, 3);
            CRect strip = rest;
            (rows ? strip.bottom : strip.right) = (rows ? strip.top : strip.left) + h;
            if (f) g->InvalidateRect(&strip);
          } else if (f) {
            g->InvalidateRect(&rest);
          }
        }
      } else if (from < t && t <= to && (from < d || d < from)) {
        if (f) {
          CRect rest = below(0);
          g->InvalidateRect(&rest);
        }
      } else if (f && m <= b) {
        CRect rest = m <= t ? area : below(m - 1);
        g->InvalidateRect(&rest);
      }
      // 8. Painted now when asked; the scroll bars and the numbers in the headers follow.
      if (flags & GX_UPDATENOW) g->UpdateWindow();
      if (f) g->RefreshScrollBars((~(f >> 1)) & 1, FALSE);
      if (rows && p->m_bNumberRows)
        g->RedrawRange(m, 0, g->GetRowCount(), 0, f, FALSE);
      else if (!rows && p->m_bLetterCols)
        g->RedrawRange(0, m, 0, g->GetColCount(), f, FALSE);
    }
  }
  // 9. The other views of the parameter object follow.
  if (createHint)
    if (auto* h = g->HintSender()) rows ? h->HintMoveRows(g, from, to, dest, flags) : h->HintMoveCols(g, from, to, dest, flags);
}

void CGXGridCore::InstallMoveRowsColsImp() {
  if (!GetMoveRowsColsImp()) SetFeature(new CGXMoveRowsColsImp);
}
