#include "grid/core/CGXSysColorTable.h"

namespace {

// FIXME: read the colours with GetSysColor once the platform's system colours are available to the grid;
// until then the table holds the classic defaults that the platform pins for determinism.
constexpr std::array<COLORREF, CGXSysColorTable::kColors> kClassic = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
};

COLORREF SystemColor(int index) {
  return index >= 0 && index < CGXSysColorTable::kColors ? kClassic[static_cast<std::size_t>(index)] : 0;
}

}  // namespace

std::array<COLORREF, CGXSysColorTable::kColors>& CGXSysColorTable::Table() {
  static std::array<COLORREF, kColors> table = [] {
    std::array<COLORREF, kColors> t{};
    for (int i = 0; i < kColors; ++i) t[static_cast<std::size_t>(i)] = SystemColor(i);
    return t;
  }();
  return table;
}

COLORREF CGXSysColorTable::GetColor(int index) {
  if (index >= 0 && index < kColors) return Table()[static_cast<std::size_t>(index)];
  return SystemColor(index);
}

void CGXSysColorTable::Refresh() {
  for (int i = 0; i < kColors; ++i) Table()[static_cast<std::size_t>(i)] = SystemColor(i);
}
