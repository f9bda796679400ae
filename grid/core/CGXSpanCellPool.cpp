#include "grid/core/CGXSpanCellPool.h"

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
