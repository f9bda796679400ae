// The grid's table of system colours, filled at library start-up and refreshed on a colour change.
#pragma once

#include <array>

#include "platform/base/wintypes.h"
#include "platform/window/windowapi.h"

class CBitmap;

class CGXSysColorTable {
 public:
  static constexpr int kColors = 24;

  // The cached colour for an index below the table size, else the system's colour of that index.
  static COLORREF GetColor(int index);
  // Reloads every colour from the system (also on a system colour change), and the two bitmaps.
  static void Refresh();
  // The grid's arrow bitmap 20028, 20211, 20212 or 20213 in the current button colours, as loaded by the
  // last Refresh; null for another id or when no module has such a bitmap.
  static CBitmap* GetBitmap(UINT resourceId);
  // The arrow cursor, loaded when the table is built.
  static HCURSOR GetArrowCursor();
  // The width of 3-D edges: 2 on version 4 systems and later, else 1.
  static int GetEdgeSize();

 private:
  static std::array<COLORREF, kColors>& Table();
};
