#include "grid/core/CGXSysColorTable.h"

#include "grid/core/CGXGridGlobals.h"
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

HCURSOR CGXSysColorTable::GetArrowCursor() {
  static const HCURSOR cursor = LoadCursor(nullptr, IDC_ARROW);
  return cursor;
}

int CGXSysColorTable::GetEdgeSize() { return CGXGridGlobals::Get().m_bWin4 ? 2 : 1; }
