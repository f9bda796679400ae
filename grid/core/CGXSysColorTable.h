// The grid's table of system colours, filled at library start-up and refreshed on a colour change.
#pragma once

#include <array>

#include "platform/base/wintypes.h"
#include "platform/window/winuser.h"

class CGXSysColorTable {
 public:
  static constexpr int kColors = 24;

  // The cached colour for an index below the table size, else the system's colour of that index.
  static COLORREF GetColor(int index);
  // Reloads every colour from the system (also on a system colour change).
  static void Refresh();
  // The arrow cursor, loaded when the table is built.
  static HCURSOR GetArrowCursor();
  // The width of 3-D edges: 2 on version 4 systems and later, else 1.
  static int GetEdgeSize();

 private:
  static std::array<COLORREF, kColors>& Table();
};
