#include "grid/core/CGXSysColorTable.h"

#include "platform/gdi/SysColors.h"

std::array<COLORREF, CGXSysColorTable::kColors>& CGXSysColorTable::Table() {
  static std::array<COLORREF, kColors> table = [] {
    std::array<COLORREF, kColors> t{};
    for (int i = 0; i < kColors; ++i) t[static_cast<std::size_t>(i)] = ::GetSysColor(i);
    return t;
  }();
  return table;
}

COLORREF CGXSysColorTable::GetColor(int index) {
  if (index >= 0 && index < kColors) return Table()[static_cast<std::size_t>(index)];
  return ::GetSysColor(index);
}

void CGXSysColorTable::Refresh() {
  for (int i = 0; i < kColors; ++i) Table()[static_cast<std::size_t>(i)] = ::GetSysColor(i);
}
