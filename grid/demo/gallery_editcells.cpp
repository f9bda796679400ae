// The page of the window cells: the edit cell and its spin, password, hot-spot and scroll-bar variants, both
// combo-box window cells and the list box cell, one row per control id and a column per still state
// (inactive, read-only, right-aligned, wrapped, a number). The states that need the one editing window
// (a selection, the spin arrow held, a typed password, a dropped list, an active list, a decimal comma) are
// reached by the page's steps in the live column and the number column.
#include <vector>

#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXListBox.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXVScrollEdit.h"
#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "platform/base/LocaleTable.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace gallery {
namespace {

enum Column : ROWCOL { kInactive = 1, kReadOnly, kRight, kWrapped, kNumber, kLive };
constexpr const char* kColumnNames[] = {"Inactive", "Read-only", "Right-aligned", "Wrapped", "Number", "Live"};

struct Family {
  WORD id;
  const char* label;
  const char* value;
};
constexpr const char* kColours = "Red\nGreen\nBlue\nCyan\nMagenta\nYellow";
constexpr Family kFamilies[] = {
    {GX_IDS_CTRL_EDIT, "52512 Edit", "Some text"},
    {GX_IDS_CTRL_SPINEDIT, "52519 Spin edit", "12"},
    {GX_IDS_CTRL_PASSWORD, "52537 Password", "secret"},
    {GX_IDS_CTRL_HOTSPOT, "52518 Hot spot", "Hot spot"},
    {GX_IDS_CTRL_SCROLLEDIT, "52521 Scroll-bar edit", "Scrolls"},
    {GX_IDS_CTRL_CBS_DROPDOWN, "52528 Combo box", "Green"},
    {GX_IDS_CTRL_CBS_DROPDOWNLIST, "52529 Drop-down list", "Blue"},
    {GX_IDS_CTRL_LISTBOX, "52522 List box", "Cyan"},
};
constexpr ROWCOL kRows = sizeof kFamilies / sizeof kFamilies[0];
constexpr const char* kLongText = "A longer text that wraps over the lines of its cell and needs a scroll bar";

ROWCOL RowOf(WORD id) {
  for (ROWCOL r = 0; r < kRows; ++r)
    if (kFamilies[r].id == id) return r + 1;
  return 0;
}

BOOL IsChoiceCell(WORD id) {
  return id == GX_IDS_CTRL_CBS_DROPDOWN || id == GX_IDS_CTRL_CBS_DROPDOWNLIST || id == GX_IDS_CTRL_LISTBOX;
}

// The cell of a family in a state column; a state the family does not have is a grey, empty cell.
CGXStyle CellStyle(const Family& family, ROWCOL col) {
  const auto none = [] { return CGXStyle().SetInteriorColor(RGB(224, 224, 224)); };
  CGXStyle s;
  s.SetControl(family.id).SetInteriorColor(RGB(255, 255, 255)).SetValue(family.value);
  if (IsChoiceCell(family.id)) s.SetChoiceList(kColours);
  switch (col) {
    case kReadOnly: s.SetReadOnly(TRUE); break;
    case kRight: s.SetHorizontalAlignment(GX_DT_RIGHT); break;
    case kWrapped:
      if (IsChoiceCell(family.id)) return none();
      s.SetValue(kLongText).SetWrapText(TRUE).SetVerticalScrollbar(TRUE).SetAllowEnter(TRUE);
      break;
    case kNumber:
      if (family.id != GX_IDS_CTRL_EDIT && family.id != GX_IDS_CTRL_SPINEDIT) return none();
      s.SetValue(family.id == GX_IDS_CTRL_EDIT ? "3.5" : "7").SetFormat(2).SetHorizontalAlignment(GX_DT_RIGHT);
      break;
    default: break;
  }
  return s;
}

HWND BuildPage() {
  HWND main = CreatePageWindow("Cell gallery: edit, combo box and list box cells", 800, 440);
  CGXGridWnd* g = PageGrid(main);
  g->InitializeFromStyle();
  g->SetRowCount(kRows, 0);
  g->SetColCount(kLive, 0);
  g->SetColWidth(0, 0, 150, nullptr, 0);
  g->SetColWidth(1, kLive, 100, nullptr, 0);
  for (ROWCOL c = 1; c <= kLive; ++c) g->SetStyleRange(CGXRange(0, c), CGXStyle().SetValue(kColumnNames[c - 1]));
  for (ROWCOL r = 1; r <= kRows; ++r) {
    const Family& family = kFamilies[r - 1];
    const BOOL tall = family.id == GX_IDS_CTRL_EDIT || family.id == GX_IDS_CTRL_SCROLLEDIT;
    g->SetRowHeight(r, r, family.id == GX_IDS_CTRL_LISTBOX ? 50 : tall ? 44 : 24, nullptr, 0);
    g->SetStyleRange(CGXRange(r, 0), CGXStyle().SetValue(family.label).SetHorizontalAlignment(GX_DT_LEFT));
    for (ROWCOL c = 1; c <= kLive; ++c) g->SetStyleRange(CGXRange(r, c), CellStyle(family, c));
  }
  g->MoveCurrentCellTo(RowOf(GX_IDS_CTRL_EDIT), kInactive, GX_INVALIDATE);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  UpdateWindow(main);
  return main;
}

// ---- Where the steps press ------------------------------------------------------------------------------

plat::InputRouter& In() { return plat::InputRouter::Instance(); }

// A point of a cell, (dx, dy) from its top-left corner, or from its top-right corner for a negative dx.
POINT At(CGXGridWnd* g, ROWCOL row, ROWCOL col, int dx, int dy) {
  const CRect r = g->CalcCellRect(row, col);
  return plat::InputRouter::ClientPoint(g->GridHwnd(), dx < 0 ? r.right + dx : r.left + dx, r.top + dy);
}

// Leaving an editing cell drops the keys typed ahead of the move (they must not reach the next cell): the
// click is served before the keys that follow it are typed.
void ClickAndServe(POINT at) {
  In().Click(plat::MouseButton::Left, at);
  plat::RunUntilIdle();
}

void WithKey(int held, int key) {
  In().KeyDown(held);
  In().KeyPress(key);
  In().KeyUp(held);
}

std::vector<Step> Steps() {
  const ROWCOL edit = RowOf(GX_IDS_CTRL_EDIT), spin = RowOf(GX_IDS_CTRL_SPINEDIT);
  const ROWCOL password = RowOf(GX_IDS_CTRL_PASSWORD), scroll = RowOf(GX_IDS_CTRL_SCROLLEDIT);
  const ROWCOL dropDown = RowOf(GX_IDS_CTRL_CBS_DROPDOWN), dropList = RowOf(GX_IDS_CTRL_CBS_DROPDOWNLIST);
  const ROWCOL list = RowOf(GX_IDS_CTRL_LISTBOX);
  return {
      // The live edit cell: a click makes it current, Home edits it, Shift+Right four times selects "Some".
      {"selected",
       [edit](CGXGridWnd* g) {
         ClickAndServe(At(g, edit, kLive, 4, 8));
         In().KeyPress(VK_HOME);
         In().KeyDown(VK_SHIFT);
         for (int i = 0; i < 4; ++i) In().KeyPress(VK_RIGHT);
         In().KeyUp(VK_SHIFT);
       }},
      // The wrapped scroll-bar edit: editing shows its scroll bar.
      {"wrapped", [scroll](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, At(g, scroll, kWrapped, 6, 8)); }},
      // The live spin cell's up arrow held down (stepped once).
      {"spin-held",
       [spin](CGXGridWnd* g) {
         In().Click(plat::MouseButton::Left, At(g, spin, kLive, 4, 8));
         In().ButtonDown(plat::MouseButton::Left, At(g, spin, kLive, -8, 4));
       }},
      // The arrow let go; "hidden" typed over the live password cell's text shows as asterisks.
      {"password",
       [spin, password](CGXGridWnd* g) {
         In().ButtonUp(plat::MouseButton::Left, At(g, spin, kLive, -8, 4));
         ClickAndServe(At(g, password, kLive, 4, 8));
         In().KeyDown(VK_SHIFT);
         In().KeyPress(VK_END);
         In().KeyUp(VK_SHIFT);
         In().TypeText("hidden");
       }},
      // The live drop-down list opened by a click.
      {"list-dropped", [dropList](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, At(g, dropList, kLive, 6, 8)); }},
      // Closed again with Escape; the live combo box opened with Alt+Down after "B" was typed into it.
      {"combo-dropped",
       [dropDown](CGXGridWnd* g) {
         In().KeyPress(VK_ESCAPE);
         ClickAndServe(At(g, dropDown, kLive, 6, 8));
         In().TypeText("B");
         WithKey(VK_MENU, VK_DOWN);
       }},
      // The list closed; the live list box activated by a click on its first line (the value's line, Cyan,
      // is its last seen).
      {"list-box-active",
       [list](CGXGridWnd* g) {
         In().KeyPress(VK_ESCAPE);
         In().KeyPress(VK_ESCAPE);
         In().Click(plat::MouseButton::Left, At(g, list, kLive, 8, 5));
       }},
      // A German user: the number cell edits 3.5 as 3,5.
      {"decimal-comma",
       [edit](CGXGridWnd* g) {
         plat::SetUserDefaultLocale(0x0407);
         plat::SetRuntimeNumericLocaleToUser(true);
         ClickAndServe(At(g, edit, kNumber, 6, 8));
         In().KeyPress(VK_END);
       }},
  };
}

}  // namespace

Page EditCellsPage() { return {"edit", 840, 480, BuildPage, Steps}; }

}  // namespace gallery
