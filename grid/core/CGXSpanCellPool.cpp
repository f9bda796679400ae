#include "grid/core/CGXSpanCellPool.h"

#include <algorithm>
#include <iterator>

#include "grid/core/CGXRangeList.h"
#include "grid/core/gxarchive.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXDelayedRange, CObject, 1)
IMPLEMENT_SERIAL(CGXDelayedRangePool, CObject, 1)
IMPLEMENT_SERIAL(CGXSpanCellPool, CObject, 1)
IMPLEMENT_DYNAMIC(CGXDWordArrayPtrArray, CObject)

namespace gx {

void WriteDWordArray(CArchive& ar, const std::vector<DWORD>& v) {
  ar.WriteCount(v.size());
  for (DWORD d : v) ar << d;
}

void ReadDWordArray(CArchive& ar, std::vector<DWORD>& v) {
  const DWORD_PTR count = ar.ReadCount();
  // Four bytes per element must still be there: a count beyond the archive is refused before any
  // allocation.
  if (count > ar.GetBytesLeft() / 4) ThrowBadIndex();
  v.assign(static_cast<std::size_t>(count), 0);
  for (DWORD& d : v) ar >> d;
}

}  // namespace gx

CGXDelayedRange& CGXDelayedRange::operator=(const CGXDelayedRange& other) {
  m_range = other.m_range;
  m_firstRows = other.m_firstRows;
  m_lastRows = other.m_lastRows;
  m_bComplete = other.m_bComplete;
  return *this;
}

void CGXDelayedRange::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_range;
    gx::WriteDWordArray(ar, m_firstRows);
    gx::WriteDWordArray(ar, m_lastRows);
    return;
  }
  ar >> m_range;
  gx::ReadDWordArray(ar, m_firstRows);
  gx::ReadDWordArray(ar, m_lastRows);
  // The two arrays are the two ends of the same intervals.
  if (m_firstRows.size() != m_lastRows.size()) gx::ThrowBadIndex();
  m_bComplete = FALSE;
}

CGXDelayedRangePool& CGXDelayedRangePool::operator=(const CGXDelayedRangePool& other) {
  if (this == &other) return *this;
  m_entries.clear();
  for (const auto& e : other.m_entries) m_entries.push_back(std::make_unique<CGXDelayedRange>(*e));
  return *this;
}

void CGXDelayedRangePool::ResetToWholeGrid() {
  m_entries.clear();
  m_entries.push_back(std::make_unique<CGXDelayedRange>(CGXRange(0, 0, 0xFFFFFFFEu, 0xFFFFFFFEu)));
}

void CGXDelayedRangePool::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount(m_entries.size());
    for (const auto& e : m_entries) ar.WriteObject(e.get());
    return;
  }
  m_entries.clear();
  const DWORD_PTR count = ar.ReadCount();
  for (DWORD_PTR i = 0; i < count; ++i) {
    // A null entry of the object array carries nothing to evaluate.
    if (auto e = GX_READ_OWNED(CGXDelayedRange, ar)) m_entries.push_back(std::move(e));
  }
}

CGXDWordArrayPtrArray& CGXDWordArrayPtrArray::operator=(const CGXDWordArrayPtrArray& other) {
  if (this == &other) return *this;
  m_lines.clear();
  m_lines.resize(other.m_lines.size());
  for (std::size_t i = 0; i < other.m_lines.size(); ++i)
    if (other.m_lines[i]) m_lines[i] = std::make_unique<std::vector<DWORD>>(*other.m_lines[i]);
  return *this;
}

std::vector<DWORD>& CGXDWordArrayPtrArray::Line(INT_PTR i) {
  if (i >= GetSize()) m_lines.resize(static_cast<std::size_t>(i) + 1);
  auto& slot = m_lines[static_cast<std::size_t>(i)];
  if (!slot) slot = std::make_unique<std::vector<DWORD>>();
  return *slot;
}

void CGXDWordArrayPtrArray::InsertLines(INT_PTR i, INT_PTR n) {
  if (i < 0 || n <= 0 || i >= GetSize()) return;
  std::vector<std::unique_ptr<std::vector<DWORD>>> empty(static_cast<std::size_t>(n));
  m_lines.insert(m_lines.begin() + i, std::make_move_iterator(empty.begin()), std::make_move_iterator(empty.end()));
}

void CGXDWordArrayPtrArray::RemoveLines(INT_PTR i, INT_PTR n) {
  if (i < 0 || n <= 0 || i >= GetSize()) return;
  n = std::min(n, GetSize() - i);
  m_lines.erase(m_lines.begin() + i, m_lines.begin() + i + n);
}

void CGXDWordArrayPtrArray::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << WORD{1};
    ar << static_cast<DWORD>(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
      if (!m_lines[i]) continue;
      ar << static_cast<DWORD>(i);
      gx::WriteDWordArray(ar, *m_lines[i]);
    }
    ar << DWORD{0xFFFFFFFF};
    return;
  }
  WORD schema = 0;
  ar >> schema;
  if (schema != 1) gx::ThrowBadSchema();
  m_lines.clear();
  DWORD count = 0;
  ar >> count;
  if (count > gx::kMaxArchivedIndex + 1) gx::ThrowBadIndex();
  gx::ChargeSlots(count);
  m_lines.resize(count);
  for (;;) {
    DWORD index = 0;
    ar >> index;
    if (index == 0xFFFFFFFF || index == 0xFFFFFFFE) break;
    if (index >= count) gx::ThrowBadIndex();
    auto line = std::make_unique<std::vector<DWORD>>();
    gx::ReadDWordArray(ar, *line);
    m_lines[index] = std::move(line);
  }
}

CGXSpanCellPool& CGXSpanCellPool::operator=(const CGXSpanCellPool& other) {
  if (this == &other) return *this;
  m_perRow = other.m_perRow;
  m_perCol = other.m_perCol;
  m_bCheckSpans = other.m_bCheckSpans;
  return *this;
}

namespace {
BOOL IsSpan(DWORD v) { return v != CGXSpanCellPool::kNoSpan && v != 0xFFFFFFFE; }

// `lines` are indexed by the dimension that changes; each line of `across` holds, per index of that dimension,
// the first index of the span.
void InsertIndices(CGXDWordArrayPtrArray& lines, CGXDWordArrayPtrArray& across, DWORD at, DWORD count) {
  if (count == 0) return;
  lines.InsertLines(static_cast<INT_PTR>(at), static_cast<INT_PTR>(count));
  for (INT_PTR i = 0; i < across.GetSize(); ++i) {
    std::vector<DWORD>* line = across.GetAt(i);
    if (!line || line->size() <= at) continue;
    line->insert(line->begin() + at, count, CGXSpanCellPool::kNoSpan);
    for (std::size_t k = at + std::size_t{count}; k < line->size(); ++k) {
      DWORD& v = (*line)[k];
      if (!IsSpan(v)) continue;
      if (v >= at)
        v += count;
      else
        v = CGXSpanCellPool::kNoSpan;  // the rest of a span that the insertion cut
    }
  }
}

void RemoveIndices(CGXDWordArrayPtrArray& lines, CGXDWordArrayPtrArray& across, DWORD from, DWORD to) {
  if (to < from) return;
  const DWORD n = to - from + 1 == 0 ? 0xFFFFFFFF : to - from + 1;
  lines.RemoveLines(static_cast<INT_PTR>(from), static_cast<INT_PTR>(n));
  for (INT_PTR i = 0; i < across.GetSize(); ++i) {
    std::vector<DWORD>* line = across.GetAt(i);
    if (!line || line->size() <= from) continue;
    const std::size_t end = std::min<std::size_t>(line->size(), std::size_t{from} + n);
    line->erase(line->begin() + from, line->begin() + static_cast<std::ptrdiff_t>(end));
    for (std::size_t k = from; k < line->size(); ++k) {
      DWORD& v = (*line)[k];
      if (!IsSpan(v) || v < from) continue;
      v = v > to ? v - n : from;  // a span whose first index went starts after the removed ones
    }
  }
}
}  // namespace

void CGXSpanCellPool::InsertRows(ROWCOL row, ROWCOL count) { InsertIndices(m_perRow, m_perCol, row, count); }
void CGXSpanCellPool::RemoveRows(ROWCOL from, ROWCOL to) { RemoveIndices(m_perRow, m_perCol, from, to); }
void CGXSpanCellPool::InsertCols(ROWCOL col, ROWCOL count) { InsertIndices(m_perCol, m_perRow, col, count); }
void CGXSpanCellPool::RemoveCols(ROWCOL from, ROWCOL to) { RemoveIndices(m_perCol, m_perRow, from, to); }

// ---- Span lookups and stores ------------------------------------------------------------------------------

namespace {
constexpr ROWCOL kMaxIndex = 0x7FFFFFFF;

// The run of entries holding `v` that contains position k (k holds v): its last position.
std::size_t RunEnd(const std::vector<DWORD>& line, std::size_t k) {
  const DWORD v = line[k];
  while (k + 1 < line.size() && line[k + 1] == v) ++k;
  return k;
}

// Whether position k lies in a span as stores make them: its entry names the span's first index, and every
// entry from there to k names it too. Bytes of a layout may hold any other entry; answered as a span, its
// first cell would know nothing of it (the floating cells then "changed" it at every paint without
// changing anything, and repainted for ever).
BOOL InSpan(const std::vector<DWORD>& line, std::size_t k) {
  const DWORD v = line[k];
  if (!IsSpan(v) || v > k) return FALSE;
  for (std::size_t j = k; j > v; --j)
    if (line[j - 1] != v) return FALSE;
  return TRUE;
}

// Whether any entry of the lines is not in a span as stores make them.
BOOL HoldsBrokenSpans(const CGXDWordArrayPtrArray& lines) {
  for (INT_PTR i = 0; i < lines.GetSize(); ++i) {
    const std::vector<DWORD>* line = lines.GetAt(i);
    if (!line) continue;
    for (std::size_t k = 0; k < line->size(); ++k) {
      const DWORD v = (*line)[k];
      if (IsSpan(v) && (v > k || (v < k && (*line)[k - 1] != v))) return TRUE;
    }
  }
  return FALSE;
}

// Writes the span first..last into a line: the entries receive the first index; what remains of a span
// that started at the same index is cut.
BOOL WriteLine(std::vector<DWORD>& line, ROWCOL first, ROWCOL last) {
  if (line.size() <= last) line.resize(std::size_t{last} + 1, CGXSpanCellPool::kNoSpan);
  const DWORD old = line[first];
  BOOL changed = FALSE;
  for (std::size_t k = first; k <= last; ++k) {
    changed |= line[k] != first;
    line[k] = first;
  }
  if (IsSpan(old))
    for (std::size_t k = std::size_t{last} + 1; k < line.size() && line[k] == old; ++k) {
      line[k] = CGXSpanCellPool::kNoSpan;
      changed = TRUE;
    }
  return changed;
}

// Clears the span that holds the line's entry at `first`, from there on.
BOOL ClearLine(std::vector<DWORD>* line, ROWCOL first) {
  if (!line || line->size() <= first || !IsSpan((*line)[first])) return FALSE;
  const DWORD v = (*line)[first];
  for (std::size_t k = first; k < line->size() && (*line)[k] == v; ++k) (*line)[k] = CGXSpanCellPool::kNoSpan;
  return TRUE;
}

// The index a position of the moved dimension ends at: the block from..to goes to dest, the lines between
// the block and its new place shift by its size, no other line moves.
ROWCOL MovedIndex(ROWCOL k, ROWCOL from, ROWCOL to, ROWCOL dest) {
  const ROWCOL n = to - from + 1;
  if (k >= from && k <= to) return k - from + dest;
  if (dest < from && k >= dest && k < from) return k + n;
  if (dest > from && k > to && k < dest + n) return k - n;
  return k;
}

// Moves the entries of one crossing line and clears every entry whose run no longer starts at its first
// index: a span keeps its part before the lines that changed places.
void MoveAcross(std::vector<DWORD>& line, ROWCOL from, ROWCOL to, ROWCOL dest) {
  const ROWCOL lo = std::min(from, dest);
  if (line.size() <= lo) return;
  const ROWCOL n = to - from + 1;
  const std::size_t size = std::max<std::size_t>(line.size(), std::size_t{std::max(to, dest + n - 1)} + 1);
  line.resize(size, CGXSpanCellPool::kNoSpan);
  std::vector<DWORD> moved(size, CGXSpanCellPool::kNoSpan);
  for (std::size_t k = 0; k < size; ++k) moved[MovedIndex(static_cast<ROWCOL>(k), from, to, dest)] = line[k];
  const ROWCOL hi = std::max(to, dest + n - 1);
  for (std::size_t k = 0; k < size; ++k) {
    DWORD& v = moved[k];
    if (!IsSpan(v)) continue;
    // Inside the lines that changed places every first index is stale; elsewhere a run is kept while it
    // still starts at its first index and reaches this entry unbroken.
    const BOOL inside = k >= lo && k <= hi;
    const BOOL intact = v <= k && (v == k || moved[k - 1] == v);
    if (inside || (v >= lo && v <= hi) || !intact) v = CGXSpanCellPool::kNoSpan;
  }
  while (!moved.empty() && moved.back() == CGXSpanCellPool::kNoSpan) moved.pop_back();
  line.swap(moved);
}

BOOL MoveIndices(CGXDWordArrayPtrArray& lines, CGXDWordArrayPtrArray& across, ROWCOL from, ROWCOL to, ROWCOL dest) {
  if ((lines.GetSize() == 0 && across.GetSize() == 0) || to < from || to > kMaxIndex || dest > kMaxIndex ||
      dest > kMaxIndex - (to - from))
    return FALSE;
  if (from == dest) return TRUE;
  // The lines along the moved dimension go with their index.
  const ROWCOL n = to - from + 1;
  const INT_PTR needed = static_cast<INT_PTR>(std::max(to, dest + n - 1)) + 1;
  if (lines.GetSize() > static_cast<INT_PTR>(std::min(from, dest))) {
    CGXDWordArrayPtrArray moved;
    const INT_PTR size = std::max(lines.GetSize(), needed);
    for (INT_PTR k = 0; k < size; ++k)
      if (std::vector<DWORD>* line = lines.GetAt(k))
        moved.Line(static_cast<INT_PTR>(MovedIndex(static_cast<ROWCOL>(k), from, to, dest))) = *line;
    lines = moved;
  }
  for (INT_PTR i = 0; i < across.GetSize(); ++i)
    if (std::vector<DWORD>* line = across.GetAt(i)) MoveAcross(*line, from, to, dest);
  return TRUE;
}
}  // namespace

void CGXSpanCellPool::Serialize(CArchive& ar) {
  m_perRow.Serialize(ar);
  m_perCol.Serialize(ar);
  if (ar.IsLoading()) m_bCheckSpans = HoldsBrokenSpans(m_perRow) || HoldsBrokenSpans(m_perCol);
}

BOOL CGXSpanCellPool::GetSpanCellsRowCol(ROWCOL row, ROWCOL col, CGXRange* out) const {
  if (row > kMaxIndex || col > kMaxIndex) return FALSE;
  BOOL found = FALSE;
  if (const std::vector<DWORD>* line = m_perRow.GetAt(static_cast<INT_PTR>(row)); line && col < line->size()) {
    if (m_bCheckSpans ? InSpan(*line, col) : IsSpan((*line)[col]) && (*line)[col] <= col) {
      found = TRUE;
      if (out) out->left = (*line)[col], out->right = static_cast<ROWCOL>(RunEnd(*line, col));
    }
  }
  if (const std::vector<DWORD>* line = m_perCol.GetAt(static_cast<INT_PTR>(col)); line && row < line->size()) {
    if (m_bCheckSpans ? InSpan(*line, row) : IsSpan((*line)[row]) && (*line)[row] <= row) {
      found = TRUE;
      if (out) out->top = (*line)[row], out->bottom = static_cast<ROWCOL>(RunEnd(*line, row));
    }
  }
  return found;
}

BOOL CGXSpanCellPool::SetSpanCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, BOOL set) {
  if (bottom > kMaxIndex || right > kMaxIndex || top > bottom || left > right) return FALSE;
  BOOL changed = FALSE;
  try {
    if (set) {
      if (left != right)
        for (ROWCOL r = top; r <= bottom; ++r) changed |= WriteLine(m_perRow.Line(static_cast<INT_PTR>(r)), left, right);
      if (top != bottom)
        for (ROWCOL c = left; c <= right; ++c) changed |= WriteLine(m_perCol.Line(static_cast<INT_PTR>(c)), top, bottom);
    } else {
      // A one-cell block clears in both directions: a span that shrinks to its first cell goes whichever
      // way it ran.
      const BOOL single = left == right && top == bottom;
      if (left != right || single)
        for (ROWCOL r = top; r <= bottom; ++r) changed |= ClearLine(m_perRow.GetAt(static_cast<INT_PTR>(r)), left);
      if (top != bottom || single)
        for (ROWCOL c = left; c <= right; ++c) changed |= ClearLine(m_perCol.GetAt(static_cast<INT_PTR>(c)), top);
    }
  } catch (const std::bad_alloc&) {
    return FALSE;  // what was written stays; the caller evaluates again
  }
  return changed;
}

BOOL CGXSpanCellPool::MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest) { return MoveIndices(m_perRow, m_perCol, from, to, dest); }
BOOL CGXSpanCellPool::MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest) { return MoveIndices(m_perCol, m_perRow, from, to, dest); }

// ---- Delayed ranges ----------------------------------------------------------------------------------------

BOOL CGXDelayedRangePool::HasPending() const {
  return std::any_of(m_entries.begin(), m_entries.end(), [](const auto& e) { return !e->m_bComplete; });
}

void CGXDelayedRangePool::AddRange(const CGXRange& r) {
  std::vector<CGXDelayedRange*> completedNow;
  // 1. Pending areas inside the new one are covered by it.
  for (auto& e : m_entries) {
    const CGXRange& er = e->m_range;
    if (!e->m_bComplete && er.top >= r.top && er.bottom <= r.bottom && er.left >= r.left && er.right <= r.right) {
      e->m_bComplete = TRUE;
      completedNow.push_back(e.get());
    }
  }
  // 2. A pending, untouched area that the new one continues to the right or below grows over it.
  for (auto& e : m_entries) {
    if (e->m_bComplete || !e->m_firstRows.empty()) continue;
    CGXRange& er = e->m_range;
    if (r.left > 0 && er.right == r.left - 1 && er.top <= r.top && er.bottom >= r.bottom) er.right = r.right;
    if (r.top > 0 && er.bottom == r.top - 1 && er.left <= r.left && er.right >= r.right) er.bottom = r.bottom;
    if (er.ContainsCell(r.top, r.left) && er.ContainsCell(r.bottom, r.right)) return;
  }
  // 3. Stored in a completed entry (one completed before this call first), else in a new first entry.
  CGXDelayedRange* candidate = nullptr;
  for (auto& e : m_entries) {
    if (!e->m_bComplete) continue;
    const BOOL justNow = std::find(completedNow.begin(), completedNow.end(), e.get()) != completedNow.end();
    if (!justNow) {
      candidate = e.get();
      break;
    }
    if (!candidate) candidate = e.get();
  }
  try {
    if (!candidate) {
      m_entries.insert(m_entries.begin(), std::make_unique<CGXDelayedRange>());
      candidate = m_entries.front().get();
    }
  } catch (const std::bad_alloc&) {
    return;  // the area stays unrecorded; the pool keeps what it had
  }
  candidate->m_range = CGXRange(r.top, r.left, r.bottom, r.right);
  candidate->m_firstRows.clear();
  candidate->m_lastRows.clear();
  candidate->m_bComplete = FALSE;
}

BOOL CGXDelayedRangePool::MarkEvaluated(CGXDelayedRange& entry, CGXRange& p) {
  std::vector<DWORD>& first = entry.m_firstRows;
  std::vector<DWORD>& last = entry.m_lastRows;
  // 1. The first interval that touches p's rows.
  std::size_t i = 0;
  while (i < first.size() && !(std::uint64_t{last[i]} + 1 >= p.top && first[i] <= std::uint64_t{p.bottom} + 1)) ++i;
  if (i < first.size()) {
    // 2-3. Covered entirely: nothing to evaluate; else p loses what the interval held and it grows over p.
    if (first[i] <= p.top && last[i] >= p.bottom) return FALSE;
    if (first[i] <= p.top) {
      p.top = last[i] + 1;
      last[i] = p.bottom;
    } else if (last[i] >= p.bottom) {
      p.bottom = first[i] - 1;
      first[i] = p.top;
    } else {
      first[i] = p.top;
      last[i] = p.bottom;
    }
  } else {
    // 4. A new interval at its sorted place.
    std::size_t at = 0;
    while (at < first.size() && first[at] < p.top) ++at;
    try {
      first.insert(first.begin() + static_cast<std::ptrdiff_t>(at), p.top);
      last.insert(last.begin() + static_cast<std::ptrdiff_t>(at), p.bottom);
    } catch (const std::bad_alloc&) {
      return TRUE;  // evaluated now, recorded never: it is simply evaluated again
    }
  }
  // 5. Neighbours that overlap or touch are joined.
  for (std::size_t k = 1; k < first.size();) {
    if (first[k] <= std::uint64_t{last[k - 1]} + 1) {
      last[k - 1] = std::max(last[k - 1], last[k]);
      first.erase(first.begin() + static_cast<std::ptrdiff_t>(k));
      last.erase(last.begin() + static_cast<std::ptrdiff_t>(k));
    } else {
      ++k;
    }
  }
  // 6. Every row handed out: the entry is complete.
  if (first.size() == 1 && first[0] <= entry.m_range.top && last[0] >= entry.m_range.bottom) {
    entry.m_bComplete = TRUE;
    first.clear();
    last.clear();
  }
  return TRUE;
}

BOOL CGXDelayedRangePool::GetRowsToEvaluate(const CGXRange& a, std::vector<DWORD>& firstCols,
                                            std::vector<DWORD>& lastCols) {
  if (a.bottom < a.top || a.right < a.left) return FALSE;
  const std::size_t rows = std::size_t{a.bottom - a.top} + 1;
  firstCols.assign(rows, 0xFFFFFFFF);
  lastCols.assign(rows, 0);
  auto intersects = [&](const CGXRange& r) {
    return r.top <= a.bottom && r.bottom >= a.top && r.left <= a.right && r.right >= a.left;
  };
  // 3. Pending entries reaching beyond the area's columns are split there; the parts outside stay pending.
  const std::size_t count = m_entries.size();
  for (std::size_t i = 0; i < count; ++i) {
    CGXDelayedRange& e = *m_entries[i];
    if (e.m_bComplete || !intersects(e.m_range)) continue;
    if (e.m_range.left < a.left) {
      auto part = std::make_unique<CGXDelayedRange>(e);
      part->m_range.right = a.left - 1;
      e.m_range.left = a.left;
      m_entries.push_back(std::move(part));
    }
    if (e.m_range.right > a.right) {
      auto part = std::make_unique<CGXDelayedRange>(e);
      part->m_range.left = a.right + 1;
      e.m_range.right = a.right;
      m_entries.push_back(std::move(part));
    }
  }
  // 4. The rows of each pending entry in the area not handed out before.
  BOOL any = FALSE;
  for (auto& e : m_entries) {
    if (e->m_bComplete || !intersects(e->m_range)) continue;
    CGXRange p(std::max(a.top, e->m_range.top), std::max(a.left, e->m_range.left),
               std::min(a.bottom, e->m_range.bottom), std::min(a.right, e->m_range.right));
    if (!MarkEvaluated(*e, p)) continue;
    any = TRUE;
    for (ROWCOL r = p.top; r <= p.bottom; ++r) {
      const std::size_t k = r - a.top;
      firstCols[k] = std::min(firstCols[k], e->m_range.left);
      lastCols[k] = std::max(lastCols[k], e->m_range.right);
      if (r == p.bottom) break;  // p.bottom may be the largest index
    }
  }
  // 5. Completed entries leave the pool.
  if (any) RemoveCompleted();
  return any;
}

void CGXDelayedRangePool::ClampRows(ROWCOL n) {
  for (auto& e : m_entries) e->m_range.top = std::min(e->m_range.top, n), e->m_range.bottom = std::min(e->m_range.bottom, n);
}

void CGXDelayedRangePool::ClampCols(ROWCOL n) {
  for (auto& e : m_entries) e->m_range.left = std::min(e->m_range.left, n), e->m_range.right = std::min(e->m_range.right, n);
}

void CGXDelayedRangePool::RemoveCompleted() {
  std::erase_if(m_entries, [](const auto& e) { return e->m_bComplete; });
}
