#include "grid/core/CGXSortInfoArray.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CGXSortInfoArray, CObject)

void CGXSortInfoArray::SetSize(INT_PTR newSize, INT_PTR growBy) {
  if (growBy >= 0) m_nGrowBy = growBy;
  if (newSize <= 0) {
    std::vector<CGXSortInfo>().swap(m_items);
    return;
  }
  const auto n = static_cast<std::size_t>(newSize);
  if (n > m_items.capacity()) {
    std::size_t grow = m_nGrowBy > 0 ? static_cast<std::size_t>(m_nGrowBy)
                                     : std::clamp<std::size_t>(m_items.size() / 8, 4, 1024);
    m_items.reserve(std::max(n, m_items.capacity() + grow));
  }
  m_items.resize(n);  // new records value-initialised: all zero
}

INT_PTR CGXSortInfoArray::Add(const CGXSortInfo& info) {
  SetSize(GetSize() + 1);
  m_items.back() = info;
  return GetSize() - 1;
}
