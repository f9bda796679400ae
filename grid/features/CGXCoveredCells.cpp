#include "grid/features/CGXCoveredCells.h"

#include <algorithm>
#include <new>
#include <vector>

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/CGXSpanCellPoolImp.h"
#include "grid/features/CGXSpannedCellsDrawing.h"

namespace {
constexpr ROWCOL kLimit = 0x7FFFFFFF;
}

CGXCoveredCellPool* CGXCoveredCells::Pool(CGXGridCore* g) {
  CGXGridParam* p = g->GetParam();
  if (!p) return nullptr;
  if (!p->GetCoveredCellPool()) p->CreateCoveredCellPool();
  return dynamic_cast<CGXCoveredCellPool*>(p->GetCoveredCellPool());
}

CGXRange* CGXCoveredCells::GetCoveredCellsRowCol(CGXGridCore* g, ROWCOL row, ROWCOL col, CGXRange& out) {
  if (row >= kLimit || col >= kLimit) return nullptr;
  CGXGridParam* p = g->GetParam();
  if (!p || p->GetCoveredCells().IsEmpty()) return nullptr;
  CGXCoveredCellPool* pool = Pool(g);
  const POSITION pos = pool ? pool->Lookup(row, col) : nullptr;
  if (!pos) return nullptr;
  out = *p->GetCoveredCells().GetAt(pos);
  return &out;
}

BOOL CGXCoveredCells::StoreCoveredCellsRowCol(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                              BOOL set) {
  if (bottom >= kLimit || right >= kLimit || bottom < top || right < left) return FALSE;
  CGXGridParam* p = g->GetParam();
  if (!p) return FALSE;
  if (p->m_bReadOnlyEnforced) {
    const CGXStyle* standard = g->GetStandardStyle();
    if (g->IsReadOnly() || (standard && standard->IsIncluded(GX_IN_READONLY) && standard->GetReadOnly())) return FALSE;
  }
  CGXCoveredCellPool* pool = Pool(g);
  if (!pool) return FALSE;
  CGXRangeList& list = p->GetCoveredCells();
  const POSITION pos = pool->Lookup(top, left);
  CGXRange* current = pos ? list.GetAt(pos) : nullptr;
  const BOOL startsHere = current && current->top == top && current->left == left;
  try {
    if (!set) {
      if (!startsHere) return FALSE;
      pool->SetRange(current->top, current->left, current->bottom, current->right, nullptr);
      list.DeleteAt(pos);
      return TRUE;
    }
    // A block the pool cannot enter is refused rather than listed without covering anything.
    if (bottom > CGXCoveredCellPool::kMaxRow || right > CGXCoveredCellPool::kMaxCol) return FALSE;
    const CGXRange wanted(top, left, bottom, right);
    if (!current) {
      // The whole block must be free before anything is written.
      if (!pool->IsFree(top, left, bottom, right, nullptr)) return FALSE;
      const POSITION added = list.AddTail(new CGXRange(wanted));
      pool->SetRange(top, left, bottom, right, added);
      return TRUE;
    }
    if (!startsHere || *current == wanted) return FALSE;
    if (!pool->IsFree(top, left, bottom, right, pos)) return FALSE;
    pool->SetRange(current->top, current->left, current->bottom, current->right, nullptr);
    *current = wanted;
    pool->SetRange(top, left, bottom, right, pos);
    return TRUE;
  } catch (const std::bad_alloc&) {
    p->SyncCoveredCellPool();  // list and pool agree again
    return FALSE;
  }
}

BOOL CGXCoveredCells::SetCoveredCellsRowCol(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                            UINT flags, int commandType) {
  // 1. The extent the cell's block has now.
  CGXRange old(top, left);
  CGXRange found;
  if (GetCoveredCellsRowCol(g, top, left, found) && found.top == top && found.left == left) old = found;
  // 2. The store.
  const BOOL set = bottom != top || right != left;
  if (!g->StoreCoveredCellsRowCol(top, left, bottom, right, set)) return FALSE;
  // 3. Spans in the area are evaluated anew, then it is redrawn.
  CGXRange area(top, left, std::max(bottom, old.bottom), std::max(right, old.right));
  g->RecalcMergedCells(area, -1);
  g->RecalcFloatCells(area, -1);
  g->CalcMergedCellsInRange(area);
  g->CalcFloatCellsInRange(area);
  g->WidenRangeByMergedCells(area);
  g->WidenRangeByFloatCells(area);
  g->UpdateCoveredCellsRowCol(area.top, area.left, area.bottom, area.right, flags, TRUE);
  // 4. The inverse: the block's former extent.
  if (g->UndoApplies(commandType)) {
    g->Record(g->GetCommandFactory()->CreateSetCoveredCellsCmd(CGXRange(top, left, old.bottom, old.right), FALSE),
              commandType);
    if (commandType == 2 || commandType == 3) g->RestoreCurrentCell(top, left, TRUE);
  }
  return TRUE;
}

void CGXCoveredCells::UpdateCoveredCellsRowCol(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                               UINT flags, BOOL createHint) {
  if (!g->IsLockUpdate()) {
    CGXRange block;
    if (GetCoveredCellsRowCol(g, top, left, block)) {
      bottom = std::max(bottom, block.bottom);
      right = std::max(right, block.right);
      // A current cell inside the block moves to the cell that covers it.
      ROWCOL row = 0, col = 0;
      if (g->QueryCurrentCell(&row, &col) && block.ContainsCell(row, col) && (row != top || col != left))
        g->MoveCurrentCellTo(top, left, flags | 0x08);
    }
    g->RedrawRange(top, left, bottom, right, flags, FALSE);
  }
  if (auto* h = createHint ? g->HintSender() : nullptr) h->HintCoveredCells(g, top, left, bottom, right, flags);
}

void CGXCoveredCells::OnCoveredCellsHint(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                         UINT flags) {
  // The list and pool are shared with the other view; this view only redraws.
  UpdateCoveredCellsRowCol(g, top, left, bottom, right, flags, FALSE);
}

void CGXCoveredCells::WidenRangeByCoveredCells(CGXGridCore* g, CGXRange& range) {
  CGXGridParam* p = g->GetParam();
  if (!p || p->GetCoveredCells().IsEmpty() || !range.IsCells() || !range.IsValid()) return;
  CGXCoveredCellPool* pool = Pool(g);
  if (!pool) return;
  const CGXRangeList& list = p->GetCoveredCells();
  // Grown until no block sticks out: a block that the widened range now meets may reach further. The blocks
  // met are those the pool holds in the range's cells (as GetCoveredCellsRowCol answers for each cell), so
  // that a cell costs a lookup however many blocks the grid has.
  for (BOOL grew = TRUE; grew;) {
    grew = FALSE;
    for (const POSITION pos : pool->PositionsIn(range.top, range.left, range.bottom, range.right)) {
      const CGXRange* r = list.GetAt(pos);
      if (!r || !r->IsValid()) continue;
      const CGXRange before = range;
      range.SetUnion(range, *r);
      grew |= !(before == range);
    }
  }
}

void CGXCoveredCells::AdjustForRemoved(CGXGridCore* g, BOOL rows, ROWCOL from, ROWCOL to, int commandType) {
  CGXGridParam* p = g->GetParam();
  if (!p || p->GetCoveredCells().IsEmpty()) return;
  // The blocks are collected first: each change below edits the list.
  std::vector<CGXRange> affected;
  const CGXRangeList& list = p->GetCoveredCells();
  for (POSITION pos = list.GetHeadPosition(); pos;)
    if (const CGXRange* r = list.GetNext(pos); r && r->IsValid()) affected.push_back(*r);
  const BOOL oldLock = g->LockUpdate(TRUE);
  for (const CGXRange& r : affected) {
    const ROWCOL first = rows ? r.top : r.left, last = rows ? r.bottom : r.right;
    if (first < from && last >= from && last <= to) {
      // Ends inside the removed lines: it ends before them.
      g->SetCoveredCellsRowCol(r.top, r.left, rows ? from - 1 : r.bottom, rows ? r.right : from - 1, 0, commandType);
    } else if (first >= from && first <= to) {
      g->SetCoveredCellsRowCol(r.top, r.left, r.top, r.left, 0, commandType);
    }
  }
  g->LockUpdate(oldLock);
}

void CGXCoveredCells::OnRemoveRows(CGXGridCore* g, ROWCOL from, ROWCOL to, UINT*, int commandType) {
  AdjustForRemoved(g, TRUE, from, to, commandType);
}

void CGXCoveredCells::OnRemoveCols(CGXGridCore* g, ROWCOL from, ROWCOL to, UINT*, int commandType) {
  AdjustForRemoved(g, FALSE, from, to, commandType);
}

void CGXGridCore::InstallCoveredCellsImp() {
  if (!GetCoveredCellsImp()) SetFeature(new CGXCoveredCells);
  InstallCoveredCellPoolImp();
  if (GetParam()) GetParam()->CreateCoveredCellPool();
  InstallDrawSpannedCellsImp();
}
