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
  return *this;
}

void CGXSpanCellPool::Serialize(CArchive& ar) {
  m_perRow.Serialize(ar);
  m_perCol.Serialize(ar);
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
