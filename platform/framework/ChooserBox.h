// The platform's own small chooser window, used on screen (the presenter) by the common dialogs in place of
// the provider's scripted answers: an optional one-line text entry above a list of items, with OK and Cancel.
//
//   keys:  characters and Backspace edit the entry; Up/Down move in the list (the entry takes the item's
//          text); Enter is OK, Esc is Cancel; Tab moves between the list and the buttons.
//   mouse: a click on an item selects it, a double click chooses it; the buttons do what they say.
// The file dialogs list the folder's entries matching the filter, the print dialogs the printers, the colour
// dialog the basic colours.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

struct ChooserSpec {
  std::string caption;
  std::string prompt;
  bool entry = false;            // show the text entry
  std::string text;              // its initial text
  std::vector<std::string> items;
  std::vector<COLORREF> swatches;  // optional: a colour square before each item
  int selected = -1;
};

struct ChooserResult {
  std::string text;  // the entry's text (or the chosen item's text without an entry)
  int index = -1;    // the chosen item, -1 when the text was typed
};

// Creates the chooser window (modeless; for tests and screenshots).
HWND CreateChooserWindow(HWND owner, const ChooserSpec& spec);
// Its answer so far: IDOK, IDCANCEL or 0 while open; `result` is filled on IDOK.
int ChooserWindowAnswer(HWND chooser, ChooserResult* result);
// Shows the chooser under a nested loop of its own with the owner disabled; nullopt when cancelled, also when the
// chooser is destroyed unanswered (its owner went).
std::optional<ChooserResult> RunChooser(HWND owner, const ChooserSpec& spec);

// Whether system dialogs show their own windows: on screen (an event source is installed) with no
// automation provider. Headless runs and tests ask the provider instead.
bool SystemDialogsOnScreen();

}  // namespace plat
