// The page of the drop-down cells: a row per drop-down id (the list variants, the tabbed drop-down with and
// without its header bar, sorted with a bitmap column, the tabbed combo-box windows, the check list) and
// read-only variants, closed; the steps drop their lists below and above their cells, choose and tick.
#include <cstring>
#include <vector>

#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXComboBox.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "platform/base/ResourceTable.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

constexpr const char* kRgb = "Red\nGreen\nBlue";
constexpr const char* kIdName = "ID\tName\tSize\n1\tRed\t10 mm\n2\tGreen\t20 mm\n3\tBlue\t5 mm";
constexpr const char* kBitmaps = "ID\tName\tMark\n1\tRuby\t#BMP(31801)\n2\tJade\t#BMP(31802)\n3\tAmber\t#BMP(31803)";
constexpr UINT kMarkIds[] = {31801, 31802, 31803};
constexpr COLORREF kMarkColours[] = {RGB(192, 0, 0), RGB(0, 160, 0), RGB(224, 160, 0)};

// A 12 x 12 24-bit DIB of one colour, for the bitmap column.
std::vector<BYTE> SquareDib(COLORREF colour) {
  return gx::MakeDib24(12, 12, [colour](int, int) { return colour; });
}

CGXStyle Tabbed(WORD id, const char* choices, const char* value) {
  CGXStyle s;
  s.SetControl(id).SetChoiceList(choices).SetValue(value);
  s.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
  s.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
  return s;
}

struct Row {
  const char* label;
  CGXStyle style;
};

std::vector<Row> Rows() {
  CGXStyle readOnly;
  readOnly.SetReadOnly(TRUE);
  std::vector<Row> rows = {
      {"52517 free text", CGXStyle().SetControl(GX_IDS_CTRL_COMBOBOX).SetChoiceList(kRgb).SetValue("Green")},
      {"52527 text-fit", CGXStyle().SetControl(GX_IDS_CTRL_TEXTFIT).SetChoiceList(kRgb).SetValue("Blue")},
      {"52525 zero-based", CGXStyle().SetControl(GX_IDS_CTRL_ZEROBASED).SetChoiceList(kRgb).SetValue("1")},
      {"52526 one-based", CGXStyle().SetControl(GX_IDS_CTRL_ONEBASED).SetChoiceList(kRgb).SetValue("1")},
      {"52531 line, one-based", CGXStyle().SetControl(GX_IDS_CTRL_ONEBASED_EX).SetChoiceList(kRgb).SetValue("3")},
      {"52532 line, zero-based", CGXStyle().SetControl(GX_IDS_CTRL_ZEROBASED_EX).SetChoiceList(kRgb).SetValue("0")},
      {"52532 read-only",
       CGXStyle(readOnly).SetControl(GX_IDS_CTRL_ZEROBASED_EX).SetChoiceList(kRgb).SetValue("2")},
      {"52541 with header", Tabbed(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "2")},
      {"52541 name only", [] {
         CGXStyle s = Tabbed(GX_IDS_CTRL_TABBED_COMBOBOX, kIdName, "3");
         s.SetUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "0");
         return s;
       }()},
      {"52541 sorted, bitmaps", [] {
         CGXStyle s = Tabbed(GX_IDS_CTRL_TABBED_COMBOBOX, kBitmaps, "1");
         s.SetUserAttribute(GX_IDS_UA_TABLIST_SORTCOL, "1").SetUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID, "1");
         return s;
       }()},
      {"52539 tabbed box", Tabbed(GX_IDS_CTRL_TABBED_CBS_DROPDOWN, kIdName, "1")},
      {"52540 tabbed list", Tabbed(GX_IDS_CTRL_TABBED_CBS_DROPDOWNLIST, kIdName, "2")},
      {"52542 check list",
       CGXStyle().SetControl(GX_IDS_CTRL_CHECKLIST_COMBOBOX).SetChoiceList("Colours\nRed\nGreen\nBlue").SetValue("5")},
      {"52542 read-only", CGXStyle(readOnly)
                              .SetControl(GX_IDS_CTRL_CHECKLIST_COMBOBOX)
                              .SetChoiceList("Colours\nRed\nGreen\nBlue")
                              .SetValue("2")},
  };
  return rows;
}

constexpr ROWCOL kChoiceRow = 6, kHeaderRow = 8, kNameOnlyRow = 9, kBitmapRow = 10, kTabbedListRow = 12,
                 kCheckRow = 13, kReadOnlyCheckRow = 14;

HWND BuildPage() {
  // The resource table keeps the bytes where they are: they live as long as the program.
  static const std::vector<BYTE> marks[3] = {SquareDib(kMarkColours[0]), SquareDib(kMarkColours[1]),
                                             SquareDib(kMarkColours[2])};
  for (size_t i = 0; i < 3; ++i)
    plat::ResourceTable::AddResource(plat::ResourceTable::ModuleHandle("grid"), RT_BITMAP, MAKEINTRESOURCE(kMarkIds[i]),
                                     marks[i]);
  HWND main = CreatePageWindow("Cell gallery: drop-down cells", 600, 280);
  CGXGridWnd* g = PageGrid(main);
  g->InitializeFromStyle();
  const std::vector<Row> rows = Rows();
  g->SetRowCount(static_cast<ROWCOL>(rows.size()), 0);
  g->SetColCount(1, 0);
  g->SetColWidth(0, 0, 170, nullptr, 0);
  g->SetColWidth(1, 1, 130, nullptr, 0);
  g->SetStyleRange(CGXRange(0, 1), CGXStyle().SetValue("Closed"));
  for (ROWCOL r = 1; r <= rows.size(); ++r) {
    g->SetStyleRange(CGXRange(r, 0), CGXStyle().SetValue(rows[r - 1].label).SetHorizontalAlignment(GX_DT_LEFT));
    g->SetStyleRange(CGXRange(r, 1), rows[r - 1].style);
  }
  RECT client{};
  GetClientRect(main, &client);
  MoveWindow(g->GridHwnd(), 8, 8, 320, client.bottom - 16, TRUE);
  g->MoveCurrentCellTo(1, 0, GX_INVALIDATE);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  UpdateWindow(main);
  return main;
}

plat::InputRouter& In() { return plat::InputRouter::Instance(); }

void AltDown() {
  In().KeyDown(VK_MENU);
  In().KeyPress(VK_DOWN);
  In().KeyUp(VK_MENU);
}

// Closes what is open (Escape) and makes the cell current, ready for its drop-down.
void GoTo(CGXGridWnd* g, ROWCOL row) {
  In().KeyPress(VK_ESCAPE);
  g->MoveCurrentCellTo(row, 1, GX_UPDATENOW);
}

std::vector<Step> Steps() {
  return {
      // The list of a cell that shows the line of its index, dropped below the cell.
      {"list-below", [](CGXGridWnd* g) { GoTo(g, kChoiceRow), AltDown(); }},
      // Down and Enter choose Green: the cell edits it.
      {"chosen",
       [](CGXGridWnd*) {
         In().KeyPress(VK_DOWN);
         In().KeyPress(VK_RETURN);
       }},
      // The tabbed list under its header bar, the text column's title hot.
      {"tabbed-header", [](CGXGridWnd* g) { GoTo(g, kHeaderRow), AltDown(); }},
      // The text column alone, no header.
      {"tabbed-name-only", [](CGXGridWnd* g) { GoTo(g, kNameOnlyRow), AltDown(); }},
      // Sorted by name, a bitmap column.
      {"tabbed-sorted-bitmaps", [](CGXGridWnd* g) { GoTo(g, kBitmapRow), AltDown(); }},
      // The tabbed combo-box window's list opens on a click, the header bar above its rows.
      {"tabbed-window",
       [](CGXGridWnd* g) {
         GoTo(g, kTabbedListRow);
         const CRect r = g->CalcCellRect(kTabbedListRow, 1);
         In().Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(g->GridHwnd(), r.left + 8, r.top + 8));
       }},
      // The check list: Green ticked besides Red and Blue.
      {"checklist-ticked",
       [](CGXGridWnd* g) {
         GoTo(g, kCheckRow);
         AltDown();
         In().KeyPress(VK_DOWN);
         In().KeyPress(VK_SPACE);
       }},
      // Near the screen's bottom the list opens above its cell.
      {"list-above", [](CGXGridWnd* g) { GoTo(g, kReadOnlyCheckRow), AltDown(); }},
  };
}

}  // namespace

Page DropDownCellsPage() { return Page{"dropdowns", 640, 300, BuildPage, Steps}; }

}  // namespace gallery
