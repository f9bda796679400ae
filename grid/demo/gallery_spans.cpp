// The page of spanned cells: texts floating over the empty cells after them, equal neighbours merged across
// and down, covered blocks (one across the frozen column seam), and cell tips over the cut-off texts when
// the mouse rests on them (after 500 ms, as the module's grids show them).
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"
#include "grid/demo/gallery.h"
#include "grid/features/CGXMergeCells.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

constexpr ROWCOL kRows = 14, kCols = 8;
constexpr ROWCOL kTipRow = 12;  // a cut-off text whose neighbour is filled: it cannot float

void Text(CGXGridWnd* g, ROWCOL row, ROWCOL col, const char* text) {
  g->SetStyleRange(CGXRange(row, col), CGXStyle().SetValue(text));
}

HWND BuildPage() {
  HWND main = CreatePageWindow("Cell gallery: spanned cells", 640, 400);
  CGXGridWnd* g = PageGrid(main);
  g->InitializeFromStyle();
  g->SetRowCount(kRows, 0);
  g->SetColCount(kCols, 0);
  g->SetColWidth(0, 0, 110, nullptr, 0);
  CGXStyle cells;
  cells.SetControl(GX_IDS_CTRL_STATIC).SetWrapText(FALSE);
  g->SetStyleRange(CGXRange(1, 1, kRows, kCols), cells);
  g->SetFloatCellsMode(1, FALSE);
  g->SetMergeCellsMode(1, FALSE);
  const char* labels[kRows] = {"Floating", "Floating", "", "Merged across", "", "Merged down", "", "",
                               "Covered", "", "", "Cut off", "", ""};
  for (ROWCOL r = 1; r <= kRows; ++r)
    g->SetStyleRange(CGXRange(r, 0), CGXStyle().SetValue(labels[r - 1]).SetHorizontalAlignment(GX_DT_LEFT));
  // Floating: over empty cells up to the first filled one.
  Text(g, 1, 1, "This text floats over the empty cells to its right");
  Text(g, 2, 2, "Another text floats up to the filled cell on its right");
  Text(g, 2, 5, "filled");
  // Merged: equal neighbours across a row, and down a column.
  CGXStyle merged;
  merged.SetMergeCell(GX_MERGE_HORIZONTAL | GX_MERGE_VERTICAL).SetHorizontalAlignment(GX_DT_CENTER)
      .SetVerticalAlignment(GX_DT_VCENTER).SetInteriorColor(RGB(224, 240, 255));
  g->SetStyleRange(CGXRange(4, 1, 4, 4), CGXStyle(merged).SetValue("the same"));
  g->SetStyleRange(CGXRange(4, 5, 4, 6), CGXStyle(merged).SetValue("other"));
  g->SetStyleRange(CGXRange(6, 2, 8, 2), CGXStyle(merged).SetValue("down"));
  // Covered: a block shown as one cell.
  CGXStyle covered;
  covered.SetValue("A covered block of three rows and three columns").SetWrapText(TRUE)
      .SetHorizontalAlignment(GX_DT_CENTER).SetVerticalAlignment(GX_DT_VCENTER).SetInteriorColor(RGB(255, 248, 208));
  g->SetStyleRange(CGXRange(9, 4), covered);
  g->SetCoveredCellsRowCol(9, 4, 11, 6, 0, 0);
  // Cut off: a filled neighbour stops the float; the tip shows the whole text.
  Text(g, kTipRow, 1, "Rest the mouse here to read this whole text");
  Text(g, kTipRow, 2, "next");
  g->InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  UpdateWindow(main);
  return main;
}

std::vector<Step> Steps() {
  return {
      // The mouse resting on the cut-off cell: its tip shows the whole text.
      {"tip",
       [](CGXGridWnd* g) {
         const CRect r = g->CalcCellRect(kTipRow, 1);
         plat::InputRouter::Instance().MouseMove(
             plat::InputRouter::ClientPoint(g->GridHwnd(), r.left + 10, r.CenterPoint().y));
       }},
  };
}

}  // namespace

Page SpannedCellsPage() { return {"spans", 680, 440, BuildPage, Steps}; }

}  // namespace gallery
