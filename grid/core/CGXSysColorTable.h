// The grid's table of system colours, filled at library start-up and refreshed on a colour change.
#pragma once

#include <array>

#include "platform/base/wintypes.h"

class CGXSysColorTable {
 public:
  static constexpr int kColors = 24;

  // The cached colour for an index below the table size, else the system's colour of that index.
  static COLORREF GetColor(int index);
  // Reloads every colour from the system.
  static void Refresh();

 private:
  static std::array<COLORREF, kColors>& Table();
};
