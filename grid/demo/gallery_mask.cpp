// The page of the masked-edit cells: one row per mask (a phone number, a postal code, upper-case letters with
// digits, a custom prompt, free text of at most eight characters), a column each for the shown value, a
// read-only copy and the live cell where the steps type under the mask.
#include <vector>

#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "grid/extras/CGXMaskControl.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

enum Column : ROWCOL { kPlain = 1, kReadOnly, kLive };
constexpr const char* kColumnNames[] = {"Shown", "Read-only", "Live"};

struct Row {
  const char* label;
  const char* mask;
  const char* prompt;
  const char* value;
};
constexpr Row kRows[] = {
    {"(###) ###-####", "(###) ###-####", nullptr, "5551234567"},
    {"#####-####", "#####-####", nullptr, "12345"},
    {"UU-#### (upper case)", "UU-####", nullptr, "AB1234"},
    {"Prompt *", "##/##/####", "*", "0107"},
    {"Free text, 8 at most", "", nullptr, "notes"},
};
constexpr ROWCOL kRowCount = sizeof kRows / sizeof kRows[0];

CGXStyle CellStyle(const Row& row, ROWCOL col) {
  CGXStyle s;
  s.SetControl(GX_IDS_CTRL_MASKEDIT).SetValue(row.value).SetInteriorColor(RGB(255, 255, 255));
  s.SetUserAttribute(GX_IDS_UA_INPUTMASK, row.mask);
  if (row.prompt) s.SetUserAttribute(GX_IDS_UA_INPUTPROMPT, row.prompt);
  if (!*row.mask) s.SetMaxLength(8);
  if (col == kReadOnly) s.SetReadOnly(TRUE).SetInteriorColor(RGB(236, 236, 236));
  return s;
}

HWND BuildPage() {
  HWND main = CreatePageWindow("Cell gallery: masked-edit cells", 620, 230);
  CGXGridWnd* g = PageGrid(main);
  g->InitializeFromStyle();
  g->SetRowCount(kRowCount, 0);
  g->SetColCount(kLive, 0);
  g->SetColWidth(0, 0, 150, nullptr, 0);
  g->SetColWidth(1, kLive, 130, nullptr, 0);
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

POINT CellPoint(CGXGridWnd* g, ROWCOL row, ROWCOL col) {
  const CRect r = g->CalcCellRect(row, col);
  return plat::InputRouter::ClientPoint(g->GridHwnd(), r.left + 8, r.top + r.Height() / 2);
}

std::vector<Step> Steps() {
  return {
      // The postal code's live cell made current, then Home and four more digits typed after the first five.
      {"editing",
       [](CGXGridWnd* g) {
         In().Click(plat::MouseButton::Left, CellPoint(g, 2, kLive));
         In().KeyPress(VK_END);
         In().TypeText("6789");
       }},
      // A click on the upper-case row stores the postal code and edits that row.
      {"current", [](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, CellPoint(g, 3, kLive)); }},
      // Insert switches to overwrite: typed letters replace the first two as capitals, a letter where a digit
      // goes is refused, and the digits replace the next ones.
      {"upper",
       [](CGXGridWnd*) {
         In().KeyPress(VK_HOME);
         In().KeyPress(VK_INSERT);
         In().TypeText("xyz42");
       }},
      // Enter stores it.
      {"stored", [](CGXGridWnd*) { In().KeyPress(VK_RETURN); }},
  };
}

}  // namespace

Page MaskCellsPage() { return {"mask", 640, 270, BuildPage, Steps}; }

}  // namespace gallery
