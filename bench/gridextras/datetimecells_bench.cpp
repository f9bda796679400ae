// A full-HD page of 1,000 date-time cells that are not being edited (50 rows of 20 columns, every cell
// visible), in the formats the cells offer. One iteration is one frame: the whole window invalidated and
// painted, each cell laying out the drawing window's gadgets over itself.
#include <benchmark/benchmark.h>

#include <memory>

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRange.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr ROWCOL kRows = 50, kCols = 20;

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("datetimecells-bench"));
  plat::Desktop::Configure(kWidth, kHeight);
  GXRegisterCellControls();
  GXRegisterExtras();
  InitGridLibrary();
}

// The column picks the format, the row the value.
CGXStyle CellStyle(ROWCOL row, ROWCOL col) {
  static const char* const kTypes[] = {"0", "1", "2", "3", "4"};
  CGXStyle s;
  CString value;
  value.Format("%.4f", 40000.0 + row * 37.25 + col * 0.125);
  s.SetControl(col % 2 ? GX_IDS_CTRL_DATETIME : GX_IDS_CTRL_DATETIMENOCAL).SetValue(value);
  s.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, kTypes[col % 5]);
  if (col % 5 == 3) s.SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, "dd/MM/yy HH:mm");
  return s;
}

void BM_DateTimePageFrame(benchmark::State& state) {
  Setup();
  auto g = std::make_unique<CGXGridWnd>();
  g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr);
  g->InitializeFromStyle();
  g->SetRowCount(kRows, 0);
  g->SetColCount(kCols, 0);
  g->SetDefaultRowHeight(20, 0);
  g->SetDefaultColWidth(94, 0);
  for (ROWCOL r = 1; r <= kRows; ++r)
    for (ROWCOL c = 1; c <= kCols; ++c) g->SetStyleRange(CGXRange(r, c), CellStyle(r, c));
  g->RedrawAll(GX_UPDATENOW);
  if (g->GetLastVisibleRow() < kRows || g->GetLastVisibleCol() < kCols)
    state.SkipWithError("the page does not show every cell");
  for (auto _ : state) {
    InvalidateRect(*g, nullptr, FALSE);
    UpdateWindow(*g);
  }
  state.counters["cells"] = static_cast<double>(kRows * kCols);
  g->DestroyWindow();
}

}  // namespace

BENCHMARK(BM_DateTimePageFrame)->Unit(benchmark::kMillisecond);
