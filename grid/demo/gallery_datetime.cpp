// The page of the date-time cells: one row per format (short and long date, time, a custom format, date and
// time, a range of one year without the calendar), a column each for the shown value, a read-only copy and
// the live cell where the steps type into fields, choose a day in the popup calendar and use the spin buttons.
#include <vector>

#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "grid/extras/CGXBCalendar.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

enum Column : ROWCOL { kPlain = 1, kReadOnly, kLive };
constexpr const char* kColumnNames[] = {"Shown", "Read-only", "Live"};

struct Row {
  const char* label;
  WORD control;
  const char* type;
  const char* custom;
  const char* value;
};
constexpr Row kRows[] = {
    {"Short date", GX_IDS_CTRL_DATETIME, "1", nullptr, "45458.5"},
    {"Long date", GX_IDS_CTRL_DATETIME, "2", nullptr, "45458.5"},
    {"Time", GX_IDS_CTRL_DATETIMENOCAL, "0", nullptr, "0.6875"},
    {"dd/MM/yyyy HH:mm", GX_IDS_CTRL_DATETIME, "3", "dd/MM/yyyy HH:mm", "45458.5"},
    {"Date and time", GX_IDS_CTRL_DATETIME, "4", nullptr, "45458.75"},
    {"2024 only, no calendar", GX_IDS_CTRL_DATETIMENOCAL, "3", "d MMM yyyy", "45458"},
};
constexpr ROWCOL kRowCount = sizeof kRows / sizeof kRows[0];

CGXStyle CellStyle(const Row& row, ROWCOL col) {
  CGXStyle s;
  s.SetControl(row.control).SetValue(row.value).SetInteriorColor(RGB(255, 255, 255));
  s.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, row.type);
  if (row.custom) s.SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, row.custom);
  if (row.control == GX_IDS_CTRL_DATETIMENOCAL && row.custom) {
    s.SetUserAttribute(GX_IDS_UA_DATEMIN, "1/1/2024").SetUserAttribute(GX_IDS_UA_DATEMAX, "12/31/2024");
    s.SetUserAttribute(GX_IDS_UA_DATEVALIDMODE, "2");
  }
  if (col == kReadOnly) s.SetReadOnly(TRUE).SetInteriorColor(RGB(236, 236, 236));
  return s;
}

HWND BuildPage() {
  HWND main = CreatePageWindow("Cell gallery: date-time cells", 780, 260);
  CGXGridWnd* g = PageGrid(main);
  g->InitializeFromStyle();
  g->SetRowCount(kRowCount, 0);
  g->SetColCount(kLive, 0);
  g->SetColWidth(0, 0, 150, nullptr, 0);
  g->SetColWidth(1, kLive, 190, nullptr, 0);
  for (ROWCOL c = 1; c <= kLive; ++c) g->SetStyleRange(CGXRange(0, c), CGXStyle().SetValue(kColumnNames[c - 1]));
  for (ROWCOL r = 1; r <= kRowCount; ++r) {
    g->SetRowHeight(r, r, 24, nullptr, 0);
    g->SetStyleRange(CGXRange(r, 0), CGXStyle().SetValue(kRows[r - 1].label).SetHorizontalAlignment(GX_DT_LEFT));
    for (ROWCOL c = 1; c <= kLive; ++c) g->SetStyleRange(CGXRange(r, c), CellStyle(kRows[r - 1], c));
  }
  g->MoveCurrentCellTo(1, kPlain, GX_INVALIDATE);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  UpdateWindow(main);
  return main;
}

plat::InputRouter& In() { return plat::InputRouter::Instance(); }

POINT CellPoint(CGXGridWnd* g, ROWCOL row, ROWCOL col, int dx) {
  const CRect r = g->CalcCellRect(row, col);
  return plat::InputRouter::ClientPoint(g->GridHwnd(), dx >= 0 ? r.left + dx : r.right + dx, r.top + 8);
}

std::vector<Step> Steps() {
  return {
      // The short date's live cell clicked on its month and a month and day typed: 03, 15.
      {"editing",
       [](CGXGridWnd* g) {
         In().Click(plat::MouseButton::Left, CellPoint(g, 1, kLive, 8));
         In().TypeText("0315");
       }},
      // Alt+Down opens the popup calendar on the edited date.
      {"calendar",
       [](CGXGridWnd*) {
         In().KeyDown(VK_MENU);
         In().KeyPress(VK_DOWN);
         In().KeyUp(VK_MENU);
       }},
      // A click on the calendar's 20th day box (a day in March) chooses it; only the date changes.
      {"chosen",
       [](CGXGridWnd* g) {
         auto* control = dynamic_cast<CGXDateTimeCtrl*>(g->ControlForId(GX_IDS_CTRL_DATETIME));
         CGXBPopupCalendar* popup = control ? control->GetPopupCalendar() : nullptr;
         if (!popup) return;
         const CPoint at = popup->GetDayBox(20)->GetRect().CenterPoint();
         In().Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(popup->m_hWnd, at.x, at.y));
       }},
      // A click on the time's live cell stores the date and makes the time current.
      {"current", [](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, CellPoint(g, 3, kLive, 8)); }},
      // Its upper spin button steps the hour (the first field).
      {"spin", [](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, CellPoint(g, 3, kLive, -9)); }},
  };
}

}  // namespace

Page DateTimeCellsPage() { return {"datetime", 800, 300, BuildPage, Steps}; }

}  // namespace gallery
