// The keys of a sort, in priority order: one record of seven 32-bit words per key.
#pragma once

#include <vector>

#include "platform/base/CObject.h"

struct CGXSortInfo {
  enum SortType : DWORD { numeric = 0, alphanumeric = 1, date = 2, autodetect = 3 };
  DWORD nRC = 0;            // the key's column (row sort) or row (column sort)
  DWORD sortType = numeric;
  DWORD sortOrder = 0;      // descending when not 0
  DWORD bCase = 0;          // case-sensitive text comparison when not 0
  DWORD reserved = 0;       // not used by the sort
  DWORD bAllNumeric = 0;    // work flag of the sort
  DWORD bAllDates = 0;      // work flag of the sort
};

class CGXSortInfoArray : public CObject {
  DECLARE_DYNAMIC(CGXSortInfoArray)

 public:
  CGXSortInfoArray() = default;
  CGXSortInfoArray(const CGXSortInfoArray& other) : CObject(), m_items(other.m_items) {}

  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  // 0 frees the buffer; a larger size grows it by growBy elements (0: a size / 8 clamped to 4..1024),
  // never less than needed, the new elements zero-filled; a smaller size keeps the buffer.
  void SetSize(INT_PTR newSize, INT_PTR growBy = -1);
  INT_PTR GetCapacity() const { return static_cast<INT_PTR>(m_items.capacity()); }
  CGXSortInfo& operator[](INT_PTR i) { return m_items.at(static_cast<std::size_t>(i)); }
  const CGXSortInfo& operator[](INT_PTR i) const { return m_items.at(static_cast<std::size_t>(i)); }
  INT_PTR Add(const CGXSortInfo& info);

 private:
  std::vector<CGXSortInfo> m_items;
  INT_PTR m_nGrowBy = -1;
};
