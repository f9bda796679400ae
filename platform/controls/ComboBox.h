// COMBOBOX: simple, drop-down and drop-down list combos, with the dropped list as a separate top-level
// "ComboLBox" window owned by the combo.
//
// Layout: the height given to the combo (at creation, MoveWindow or SetWindowPos) is the selection field
// plus the dropped list; the window keeps the field's height and the list uses the rest when it opens
// (below the combo, or above when the work area has no room). A drop-down combo's edit is its first child
// (id 1001) and is subclassed by the combo for F4, Alt+arrows, the arrows and Enter/Esc while open.
//
// Opening: CBN_DROPDOWN, then the list shows and takes the capture. A press on the field or arrow opens
// the list and leaves it open when released (also a posted down/up pair). In the open list the mouse and
// the arrows move the selection (CBN_SELCHANGE each); a release on an item or Enter accepts
// (CBN_SELENDOK), Esc restores the selection from before opening and a press outside cancels
// (CBN_SELENDCANCEL); closing hides the list, then CBN_CLOSEUP. Closing never moves the focus.
#pragma once

#include "platform/controls/ListBox.h"

namespace plat::controls {

void RegisterComboBoxClass();
// Called by the combo's list window.
void ComboListEvent(HWND combo, ListEvent event);

constexpr int kComboEditId = 1001;
constexpr int kComboListId = 1000;

}  // namespace plat::controls

struct COMBOBOXINFO;
namespace plat::controls {
bool FillComboBoxInfo(HWND combo, COMBOBOXINFO* info);
}

struct COMBOBOXINFO {
  DWORD cbSize;
  RECT rcItem;
  RECT rcButton;
  DWORD stateButton;
  HWND hwndCombo;
  HWND hwndItem;
  HWND hwndList;
};
constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
// The combo's parts: the field, the arrow button, the edit (or the combo) and the list window.
BOOL GetComboBoxInfo(HWND combo, COMBOBOXINFO* info);
