// Scrolling a page and repainting in a grid with floating and merged cells on in delayed mode, at 10,000
// and at 1,000,000 rows: the spans are evaluated for what is drawn only, so the cost of a page must not
// grow with the row count.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXStyle.h"
#include "grid/features/CGXMergeCells.h"
#include "grid/features/gxfeatures.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/window/Pump.h"

namespace {

constexpr ROWCOL kFilledRows = 3000;

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("spannedcells-bench"));
  plat::Desktop::Configure(1024, 768);
  GXRegisterCellControls();
  GXRegisterEditingFeatures();
  InitGridLibrary();
  WNDCLASS wc{};
  if (!GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc)) {
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = "GXWND";
    RegisterClass(&wc);
  }
}

void Pump() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

void BM_ScrollPageWithSpans(benchmark::State& state) {
  Setup();
  CGXGridWnd g;
  g.CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
  g.InitializeFromStyle();
  g.SetRowCount(static_cast<ROWCOL>(state.range(0)), 0);
  g.SetColCount(8, 0);
  g.GetParam()->m_bUndoEnabled = FALSE;
  // Every cell of the table may merge with equal neighbours down its column; a long text every third row
  // floats over the empty cells after it; column 4 holds runs of five equal values.
  CGXStyle merge;
  merge.SetMergeCell(GX_MERGE_VERTICAL).SetWrapText(FALSE);
  g.SetStyleRange(CGXRange().AssignTable(), merge, gxOverride, 0);
  char text[64];
  for (ROWCOL r = 1; r <= kFilledRows; ++r) {
    if (r % 3 == 0) {
      std::snprintf(text, sizeof text, "row %u has a text that floats over its neighbours", r);
      g.SetCellValue(r, 1, text, 0);
    }
    std::snprintf(text, sizeof text, "run %u", r / 5);
    g.SetCellValue(r, 4, text, 0);
  }
  g.SetFloatCellsMode(1, FALSE);
  g.SetMergeCellsMode(1, FALSE);
  g.RedrawAll(GX_UPDATENOW);
  Pump();
  ROWCOL top = 1;
  for (auto _ : state) {
    top = top + 25 < kFilledRows ? top + 25 : 1;
    g.SetTopRow(top, GX_UPDATENOW);
    Pump();
  }
  state.SetItemsProcessed(state.iterations());
  g.DestroyWindow();
}
BENCHMARK(BM_ScrollPageWithSpans)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
