// A full-HD page of windowless cells drawn through the grid: columns of 3-D check boxes, radio groups,
// progress bars with captions and push buttons, every cell visible. One iteration is one frame: the whole
// window invalidated and painted, directly and through the grid's memory bitmap.
#include <benchmark/benchmark.h>

#include "bench/GridBench.h"

#include <memory>

#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXProgressCtrl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRange.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr ROWCOL kRows = 30, kCols = 16;

void Setup() { gridbench::StartGridLibrary("gridcells-bench", kWidth, kHeight); }

// The cell of a row and column: the column picks the control, the row its value.
CGXStyle CellStyle(ROWCOL row, ROWCOL col) {
  CGXStyle s;
  CString value;
  switch (col % 4) {
    case 1:
      s.SetControl(GX_IDS_CTRL_CHECKBOX3D).SetChoiceList(row % 3 ? "Enabled" : "").SetValue(row % 2 ? "1" : "0");
      break;
    case 2:
      value.Format("%d", static_cast<int>(row % 3) - 1);
      s.SetControl(GX_IDS_CTRL_RADIO3D).SetChoiceList("Top\nBottom").SetValue(value);
      break;
    case 3:
      value.Format("%d", static_cast<int>(row * 37 % 101));
      s.SetControl(GX_IDS_CTRL_PROGRESS).SetValue(value).SetTextColor(RGB(0, 0, 128));
      s.SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, "0").SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, "100");
      s.SetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION, "%d%%");
      break;
    default:
      s.SetControl(GX_IDS_CTRL_PUSHBTN).SetChoiceList("Run");
      break;
  }
  return s;
}

std::unique_ptr<CGXGridWnd> OpenPage() {
  Setup();
  auto g = gridbench::OpenGrid(kWidth, kHeight, kRows, kCols);
  g->SetDefaultRowHeight(34, 0);
  g->SetDefaultColWidth(114, 0);
  for (ROWCOL r = 1; r <= kRows; ++r)
    for (ROWCOL c = 1; c <= kCols; ++c) g->SetStyleRange(CGXRange(r, c), CellStyle(r, c));
  g->RedrawAll(GX_UPDATENOW);
  return g;
}

void Frames(benchmark::State& state, int buffered) {
  auto g = OpenPage();
  g->SetBufferedDrawing(buffered);
  gridbench::PaintFrames(state, *g, kRows, kCols);
  g->DestroyWindow();
}

void BM_CellPageFrame(benchmark::State& state) { Frames(state, 0); }
void BM_CellPageFrameBuffered(benchmark::State& state) { Frames(state, 1); }

}  // namespace

BENCHMARK(BM_CellPageFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CellPageFrameBuffered)->Unit(benchmark::kMillisecond);
