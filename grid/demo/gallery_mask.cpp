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
  std::vector<const char*> labels;
  for (const Row& row : kRows) labels.push_back(row.label);
  return BuildStatesPage("Cell gallery: masked-edit cells", 620, 230, 130, labels,
                         [](ROWCOL row, ROWCOL col) { return CellStyle(kRows[row - 1], col); });
}

plat::InputRouter& In() { return plat::InputRouter::Instance(); }

POINT CellPoint(CGXGridWnd* g, ROWCOL row, ROWCOL col) { return CellScreenPoint(g, row, col, 8, -1); }

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
