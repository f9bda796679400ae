// The layout the pages of the formatted-input cells share: a row per variant of the family, labelled in the
// row header, and the columns "Shown", "Read-only" and "Live".
#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "platform/window/InputRouter.h"

namespace gallery {

HWND BuildStatesPage(const char* title, int width, int height, int columnWidth, const std::vector<const char*>& labels,
                     const std::function<CGXStyle(ROWCOL row, ROWCOL col)>& style) {
  static const char* const kColumnNames[] = {"Shown", "Read-only", "Live"};
  HWND main = CreatePageWindow(title, width, height);
  CGXGridWnd* g = PageGrid(main);
  g->InitializeFromStyle();
  const auto rows = static_cast<ROWCOL>(labels.size());
  g->SetRowCount(rows, 0);
  g->SetColCount(kStatesLive, 0);
  g->SetColWidth(0, 0, 150, nullptr, 0);
  g->SetColWidth(1, kStatesLive, columnWidth, nullptr, 0);
  for (ROWCOL c = 1; c <= kStatesLive; ++c) g->SetStyleRange(CGXRange(0, c), CGXStyle().SetValue(kColumnNames[c - 1]));
  for (ROWCOL r = 1; r <= rows; ++r) {
    g->SetRowHeight(r, r, 24, nullptr, 0);
    g->SetStyleRange(CGXRange(r, 0), CGXStyle().SetValue(labels[r - 1]).SetHorizontalAlignment(GX_DT_LEFT));
    for (ROWCOL c = 1; c <= kStatesLive; ++c) g->SetStyleRange(CGXRange(r, c), style(r, c));
  }
  g->MoveCurrentCellTo(1, 1, GX_INVALIDATE);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  UpdateWindow(main);
  return main;
}

POINT CellScreenPoint(CGXGridWnd* g, ROWCOL row, ROWCOL col, int dx, int dy) {
  const CRect r = g->CalcCellRect(row, col);
  return plat::InputRouter::ClientPoint(g->GridHwnd(), dx >= 0 ? r.left + dx : r.right + dx,
                                        dy >= 0 ? r.top + dy : r.top + r.Height() / 2);
}

}  // namespace gallery
