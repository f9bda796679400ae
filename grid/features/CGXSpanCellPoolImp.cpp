#include "grid/features/CGXSpanCellPoolImp.h"

#include <algorithm>

#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXRangeList.h"

IMPLEMENT_DYNAMIC(CGXCoveredCellPool, CObject)

void CGXSpanCellPoolImp::InsertRows(CGXSpanCellPool* pool, ROWCOL row, ROWCOL count) {
  if (pool) pool->InsertRows(row, count);
}
void CGXSpanCellPoolImp::RemoveRows(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to) {
  if (pool) pool->RemoveRows(from, to);
}
void CGXSpanCellPoolImp::MoveRows(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to, ROWCOL dest) {
  if (pool) pool->MoveRows(from, to, dest);
}
void CGXSpanCellPoolImp::InsertCols(CGXSpanCellPool* pool, ROWCOL col, ROWCOL count) {
  if (pool) pool->InsertCols(col, count);
}
void CGXSpanCellPoolImp::RemoveCols(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to) {
  if (pool) pool->RemoveCols(from, to);
}
void CGXSpanCellPoolImp::MoveCols(CGXSpanCellPool* pool, ROWCOL from, ROWCOL to, ROWCOL dest) {
  if (pool) pool->MoveCols(from, to, dest);
}

// ---- Covered-cell pool -----------------------------------------------------------------------------------

POSITION CGXCoveredCellPool::Lookup(ROWCOL row, ROWCOL col) const {
  if (row >= m_rows.size() || col >= m_rows[row].size()) return nullptr;
  return m_rows[row][col];
}

BOOL CGXCoveredCellPool::IsFree(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, POSITION position) const {
  for (ROWCOL r = top; r <= bottom && r < m_rows.size(); ++r)
    for (ROWCOL c = left; c <= right && c < m_rows[r].size(); ++c)
      if (m_rows[r][c] && m_rows[r][c] != position) return FALSE;
  return TRUE;
}

BOOL CGXCoveredCellPool::SetRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, POSITION position) {
  if (position && top == bottom && left == right) return FALSE;
  // The pool keeps a slot per cell up to the range's last row and column: a range from a layout that is
  // reversed or reaches past the pool's limits is not entered (its cells then draw uncovered).
  if (top > bottom || left > right) return FALSE;
  if (position && (bottom > kMaxRow || right > kMaxCol)) return FALSE;
  BOOL changed = FALSE;
  for (ROWCOL r = top; r <= bottom; ++r) {
    if (position) {
      if (m_rows.size() <= r) m_rows.resize(std::size_t{r} + 1);
      std::vector<POSITION>& row = m_rows[r];
      if (row.size() <= right) row.resize(std::size_t{right} + 1, nullptr);
      if (row[left] && row[left] != position) return FALSE;
      const POSITION old = row[left];
      for (ROWCOL c = left; c <= right; ++c) row[c] = position;
      // A range that got narrower leaves its former cells free.
      for (std::size_t c = std::size_t{right} + 1; old && c < row.size() && row[c] == old; ++c) row[c] = nullptr;
      changed = TRUE;
    } else {
      if (r >= m_rows.size() || left >= m_rows[r].size() || !m_rows[r][left]) continue;
      std::vector<POSITION>& row = m_rows[r];
      const POSITION old = row[left];
      for (std::size_t c = left; c < row.size() && row[c] == old; ++c) row[c] = nullptr;
      changed = TRUE;
    }
    if (r == bottom) break;
  }
  return changed;
}

CObject* CGXCoveredCellPoolImp::CreatePool(CGXGridParam& param) {
  auto* pool = new CGXCoveredCellPool;
  SyncPool(pool, param.GetCoveredCells());
  return pool;
}

void CGXCoveredCellPoolImp::SyncPool(CObject* pool, const CGXRangeList& coveredCells) {
  auto* p = dynamic_cast<CGXCoveredCellPool*>(pool);
  if (!p) return;
  p->DeleteAll();
  for (POSITION pos = coveredCells.GetHeadPosition(); pos;) {
    const POSITION at = pos;
    const CGXRange* r = coveredCells.GetNext(pos);
    if (r && r->IsValid()) p->SetRange(r->top, r->left, r->bottom, r->right, at);
  }
}

// ---- Installers ------------------------------------------------------------------------------------------

void InstallSpanCellPoolImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pSpanCellPoolImp) return;
  auto* imp = new CGXSpanCellPoolImp;
  g.m_pSpanCellPoolImp = imp;
  g.AddToAutoDeleteList(imp);
}

void InstallDelayedRangePoolImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pDelayedRangePoolImp) return;
  auto* imp = new CGXDelayedRangePoolImp;
  g.m_pDelayedRangePoolImp = imp;
  g.AddToAutoDeleteList(imp);
}

void InstallCoveredCellPoolImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pCoveredCellPoolImp) return;
  auto* imp = new CGXCoveredCellPoolImp;
  g.m_pCoveredCellPoolImp = imp;
  g.AddToAutoDeleteList(imp);
}
