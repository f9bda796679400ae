// A full-HD page of 500 inactive rich edit cells, each value its own RTF (bold, italic, colours, two faces,
// alignments), rendered through the hidden drawing window into the grid's DC. One iteration is one frame:
// the whole window invalidated and painted.
#include <benchmark/benchmark.h>

#include "bench/GridBench.h"

#include <memory>

#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRange.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr ROWCOL kRows = 25, kCols = 20;

void Setup() { gridbench::StartGridLibrary("richcells-bench", kWidth, kHeight); }

CString Value(ROWCOL row, ROWCOL col) {
  static const char* kAlign[] = {"\\ql", "\\qc", "\\qr"};
  CString v;
  v.Format("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red192\\green0\\blue0;}%s "
           "{\\b R%lu} {\\i\\cf1 C%lu} \\f1 x}",
           kAlign[(row + col) % 3], static_cast<unsigned long>(row), static_cast<unsigned long>(col));
  return v;
}

void BM_RichCellPageFrame(benchmark::State& state) {
  Setup();
  auto g = gridbench::OpenGrid(kWidth, kHeight, kRows, kCols);
  g->SetDefaultRowHeight(40, 0);
  g->SetDefaultColWidth(90, 0);
  for (ROWCOL r = 1; r <= kRows; ++r)
    for (ROWCOL c = 1; c <= kCols; ++c)
      g->SetStyleRange(CGXRange(r, c), CGXStyle().SetControl(GX_IDS_CTRL_RICHEDIT).SetValue(Value(r, c)));
  g->RedrawAll(GX_UPDATENOW);
  gridbench::PaintFrames(state, *g, kRows, kCols);
  g->DestroyWindow();
}

}  // namespace

BENCHMARK(BM_RichCellPageFrame)->Unit(benchmark::kMillisecond);
