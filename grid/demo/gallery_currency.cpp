// The page of the currency cells: one row per way of showing an amount (patterns, separators, the decimal
// line, padding, the calculator button), a column each for the stored value, a read-only copy and the live
// cell where the steps edit and use the popup calculator.
#include <vector>

#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "grid/extras/CGXCurrencyEdit.h"
#include "grid/extras/GXExtras.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

enum Column : ROWCOL { kPlain = 1, kReadOnly, kLive };

struct Row {
  const char* label;
  const char* value;
  const char* attributes;  // leading zero, decimal line, padding, calculator button
  const char* separators;
  const char* positive;
  const char* negative;
  const char* integerDigits;
};
constexpr Row kRows[] = {
    {"Dollars, grouped", "1234.5", "11 1", ",.", "0", "0", nullptr},
    {"Negative, -$1", "-1234.5", "11 1", ",.", "0", "1", nullptr},
    {"Separators .,", "98765.4", "11 1", ".,", "3", "8", nullptr},
    {"Decimal line, no 0", "0.5", "01 1", ",.", "0", "0", nullptr},
    {"Padded to 6", "42", "10*1", ",.", "0", "0", "6"},
    {"No button", "7", "11 0", ",.", "2", "9", nullptr},
};

CGXStyle CellStyle(const Row& row, ROWCOL col) {
  CGXStyle s;
  s.SetControl(GX_IDS_CTRL_CURRENCY).SetValue(row.value).SetInteriorColor(RGB(255, 255, 255));
  s.SetHorizontalAlignment(GX_DT_RIGHT);
  s.SetUserAttribute(GX_IDS_UA_CURRENCYSYMBOL, "$").SetUserAttribute(GX_IDS_UA_CURRENCYSEP, row.separators);
  s.SetUserAttribute(GX_IDS_UA_CURRENCYDEF, row.attributes).SetUserAttribute(GX_IDS_UA_CURRNUMDECIMALS, "2");
  s.SetUserAttribute(GX_IDS_UA_CURRPOSFORMAT, row.positive).SetUserAttribute(GX_IDS_UA_CURRNEGFORMAT, row.negative);
  if (row.integerDigits) s.SetUserAttribute(GX_IDS_UA_CURRNUMDIGITS, row.integerDigits);
  if (col == kReadOnly) s.SetReadOnly(TRUE).SetInteriorColor(RGB(236, 236, 236));
  return s;
}

HWND BuildPage() {
  std::vector<const char*> labels;
  for (const Row& row : kRows) labels.push_back(row.label);
  return BuildStatesPage("Cell gallery: currency cells", 620, 260, 130, labels,
                         [](ROWCOL row, ROWCOL col) { return CellStyle(kRows[row - 1], col); });
}

plat::InputRouter& In() { return plat::InputRouter::Instance(); }

POINT CellPoint(CGXGridWnd* g, ROWCOL row, ROWCOL col) { return CellScreenPoint(g, row, col, 8, -1); }

std::vector<Step> Steps() {
  return {
      // The first live cell clicked and an amount typed over it: the editor shows it, the cell keeps its value.
      {"editing",
       [](CGXGridWnd* g) {
         In().Click(plat::MouseButton::Left, CellPoint(g, 1, kLive));
         In().TypeText("98765");
       }},
      // A click on the padded row's live cell stores the first one and makes it current.
      {"current", [](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, CellPoint(g, 5, kLive)); }},
      // Alt+Down there opens the popup calculator over the amount.
      {"calculator",
       [](CGXGridWnd*) {
         In().KeyDown(VK_MENU);
         In().KeyPress(VK_DOWN);
         In().KeyUp(VK_MENU);
       }},
      // A sum on the keypad; Enter hands the result to the cell.
      {"result",
       [](CGXGridWnd*) {
         In().TypeText("*3+4");
         In().KeyPress(VK_RETURN);
       }},
  };
}

}  // namespace

Page CurrencyCellsPage() { return {"currency", 640, 300, BuildPage, Steps}; }

}  // namespace gallery
