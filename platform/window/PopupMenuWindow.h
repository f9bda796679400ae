// The on-screen popup menu: a window listing a menu's items, run in a nested loop under capture until an
// item is chosen (click, or Enter on the highlighted item) or the menu is cancelled (Esc, a click outside,
// losing the capture). TrackPopupMenu uses it when a real display is attached and no automation provider
// answers; headless runs never show it.
//
// A popup item opens its submenu beside it (click, or the Right key); Left or Esc closes a submenu and
// returns to its parent, and a choice in a submenu ends the whole menu.
#pragma once

#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

struct PopupItem {
  UINT id = 0;
  std::string text;  // "&Copy\tCtrl+C": the ampersand marks the mnemonic, a tab the accelerator text
  UINT flags = 0;    // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_SEPARATOR, MF_POPUP
  std::vector<PopupItem> submenu;  // the items of an MF_POPUP item
};

class PopupMenuWindow {
 public:
  // Shows the items with their top-left at `at` (flipped and shifted to stay on the monitor's work area)
  // and returns the chosen command, 0 for none.
  static UINT Run(HWND owner, const std::vector<PopupItem>& items, POINT at, int depth = 0);
  static constexpr const char* kClassName = "#32768";
};

}  // namespace plat
