#include "grid/features/CGXSpanCellPoolImp.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

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

POSITION CGXCoveredCellPool::At(const Runs& runs, ROWCOL col) {
  auto it = std::upper_bound(runs.begin(), runs.end(), col, [](ROWCOL c, const Run& r) { return c < r.left; });
  if (it == runs.begin()) return nullptr;
  --it;
  return col <= it->right ? it->position : nullptr;
}

void CGXCoveredCellPool::Assign(Runs& runs, ROWCOL left, ROWCOL right, POSITION position) {
  Runs out;
  out.reserve(runs.size() + 2);
  bool placed = !position;
  auto place = [&] {
    if (placed) return;
    placed = true;
    out.push_back({left, right, position});
  };
  for (const Run& r : runs) {
    if (r.right < left) {
      out.push_back(r);
      continue;
    }
    if (r.left > right) {
      place();
      out.push_back(r);
      continue;
    }
    // The run overlaps the columns: what lies outside them stays.
    if (r.left < left) out.push_back({r.left, left - 1, r.position});
    place();
    if (r.right > right) out.push_back({right + 1, r.right, r.position});
  }
  place();
  // Touching runs of one position become one.
  Runs joined;
  joined.reserve(out.size());
  for (const Run& r : out) {
    if (!joined.empty() && joined.back().position == r.position && std::uint64_t{joined.back().right} + 1 == r.left)
      joined.back().right = r.right;
    else
      joined.push_back(r);
  }
  runs.swap(joined);
}

void CGXCoveredCellPool::ClearFrom(Runs& runs, ROWCOL col, POSITION position) {
  // Touching runs of one position are one run: the cells holding it from `col` on end with the run.
  auto it = std::upper_bound(runs.begin(), runs.end(), col, [](ROWCOL c, const Run& r) { return c < r.left; });
  if (it == runs.begin()) return;
  --it;
  if (col > it->right || it->position != position) return;
  Assign(runs, col, it->right, nullptr);
}

void CGXCoveredCellPool::Split(ROWCOL row) {
  auto it = m_bands.upper_bound(row);
  if (it == m_bands.begin()) {
    m_bands.emplace(row, Runs());
    return;
  }
  --it;
  if (it->first != row) m_bands.emplace_hint(std::next(it), row, it->second);
}

void CGXCoveredCellPool::Join(ROWCOL from, ROWCOL to) {
  auto it = m_bands.upper_bound(from);
  for (int i = 0; i < 2 && it != m_bands.begin(); ++i) --it;  // the band holding `from` and the one before
  auto stop = m_bands.upper_bound(to);
  if (stop != m_bands.end()) ++stop;  // the band starting after `to` is looked at as well
  // A first band that holds nothing says what the rows before it say.
  while (it != stop && it == m_bands.begin() && it->second.empty()) it = m_bands.erase(it);
  if (it == stop) return;
  for (auto next = std::next(it); next != stop;) {
    if (next->second == it->second) {
      next = m_bands.erase(next);
    } else {
      it = next;
      ++next;
    }
  }
}

std::size_t CGXCoveredCellPool::RunCount() const {
  std::size_t n = 0;
  for (const auto& [row, runs] : m_bands) n += runs.size();
  return n;
}

POSITION CGXCoveredCellPool::Lookup(ROWCOL row, ROWCOL col) const {
  if (!m_found || row < m_foundFirst || row >= m_foundEnd) {
    static const Runs none;
    auto next = m_bands.upper_bound(row);
    m_foundEnd = next == m_bands.end() ? std::uint64_t{1} << 32 : next->first;
    if (next == m_bands.begin()) {
      m_found = &none;
      m_foundFirst = 0;
    } else {
      const auto it = std::prev(next);
      m_found = &it->second;
      m_foundFirst = it->first;
    }
  }
  return At(*m_found, col);
}

BOOL CGXCoveredCellPool::IsFree(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, POSITION position) const {
  if (top > bottom || left > right) return TRUE;
  auto it = m_bands.upper_bound(top);
  if (it != m_bands.begin()) --it;
  for (; it != m_bands.end() && it->first <= bottom; ++it) {
    const Runs& runs = it->second;
    auto r = std::lower_bound(runs.begin(), runs.end(), left, [](const Run& run, ROWCOL c) { return run.right < c; });
    for (; r != runs.end() && r->left <= right; ++r)
      if (r->position != position) return FALSE;
  }
  return TRUE;
}

std::vector<POSITION> CGXCoveredCellPool::PositionsIn(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) const {
  std::vector<POSITION> found;
  if (top > bottom || left > right) return found;
  auto it = m_bands.upper_bound(top);
  if (it != m_bands.begin()) --it;
  for (; it != m_bands.end() && it->first <= bottom; ++it) {
    const Runs& runs = it->second;
    auto r = std::lower_bound(runs.begin(), runs.end(), left, [](const Run& run, ROWCOL c) { return run.right < c; });
    for (; r != runs.end() && r->left <= right; ++r) found.push_back(r->position);
  }
  // A range over several bands is met in each of them.
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

BOOL CGXCoveredCellPool::SetRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, POSITION position) {
  if (position && top == bottom && left == right) return FALSE;
  // A range from a layout that is reversed or reaches past the pool's limits is not entered (its cells
  // then draw uncovered).
  if (top > bottom || left > right) return FALSE;
  if (position && (bottom > kMaxRow || right > kMaxCol)) return FALSE;
  if (!position && m_bands.empty()) return FALSE;
  m_found = nullptr;
  // Every row of the range is then held by bands that start within it, each changed as one row.
  Split(top);
  if (bottom != 0xFFFFFFFF) Split(bottom + 1);
  BOOL changed = FALSE, refused = FALSE;
  for (auto it = m_bands.find(top); it != m_bands.end() && it->first <= bottom; ++it) {
    Runs& runs = it->second;
    const POSITION old = At(runs, left);
    if (position) {
      if (old && old != position) {
        refused = TRUE;
        break;
      }
      Assign(runs, left, right, position);
      // A range that got narrower leaves its former cells free.
      if (old) ClearFrom(runs, right + 1, old);
      changed = TRUE;
    } else if (old) {
      ClearFrom(runs, left, old);
      changed = TRUE;
    }
  }
  Join(top, bottom);
  return refused ? FALSE : changed;
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
