// Values going into cells with a validation minimum and maximum, at volume: 100,000 numbers pasted with Ctrl+V's
// operation, and filled down by the fill handle's, into a column whose cells have bounds (argument 1) beside the
// same into plain cells (argument 0). Each value is judged against its cell's bounds, read as numbers from the
// style; a cell without bounds reads no value as a number. Goal: a bounded paste or fill within 1.2 times the same
// operation of a grid library that had no bounds check, and a plain one as before (a bounded cell's composed style,
// with its user attributes, costs more than a plain cell's with or without the check). The counter per_value is
// the time per value.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/gridfeatures/featurebench.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/CGXExcelLikeFillImp.h"

namespace {

using featurebench::EmptyUndo;
using featurebench::PerValue;
using featurebench::Pump;
using featurebench::Setup;

constexpr ROWCOL kValues = 100000;

// A grid of kValues rows; with `bounded` its column 1 takes 0 to 1,000,000.
std::unique_ptr<CGXGridWnd> BoundsGrid(bool bounded) {
  Setup();
  auto g = gridbench::OpenGrid(800, 600, kValues, 2);
  g->m_nClipboardFlags = 0x0008;
  if (bounded)
    g->SetStyleRange(CGXRange().AssignCols(1, 1), CGXStyle()
                                                      .SetUserAttribute(GX_IDS_UA_VALID_MIN, "0")
                                                      .SetUserAttribute(GX_IDS_UA_VALID_MAX, "1000000"));
  Pump();
  return g;
}

// Arg: 1 for bounded cells, 0 for plain ones. Each iteration pastes kValues numbers at (1, 1).
void BM_PasteIntoBoundedCells(benchmark::State& state) {
  auto g = BoundsGrid(state.range(0) != 0);
  std::string text;
  for (ROWCOL r = 0; r < kValues; ++r) text += std::to_string(r * 7 % 1000000) + ".5\r\n";
  gridbench::PutClipboardText(text);
  const CString last(std::to_string((kValues - 1) * 7 % 1000000).append(".5").c_str());
  for (auto _ : state) {
    g->GetParam()->GetSelection().DeleteAll();
    if (!g->MoveCurrentCellTo(1, 1, 0) || !g->Paste()) {
      state.SkipWithError("the paste was refused");
      break;
    }
    state.PauseTiming();
    if (g->GetCellValue(kValues, 1) != last) state.SkipWithError("the last value is not the one pasted");
    EmptyUndo(g.get());
    state.ResumeTiming();
  }
  PerValue(state, kValues);
  g->DestroyWindow();
}
BENCHMARK(BM_PasteIntoBoundedCells)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Arg: as above. Each iteration fills the ten numbers of rows 1 to 10 down to row kValues; the fill is undone
// between iterations (not timed).
void BM_FillBoundedCells(benchmark::State& state) {
  auto g = BoundsGrid(state.range(0) != 0);
  g->GetParam()->m_bFillEnabled = 1;
  for (ROWCOL r = 1; r <= 10; ++r) g->SetCellValue(r, 1, std::to_string(r * 1000).c_str());
  EmptyUndo(g.get());
  auto* fill = dynamic_cast<CGXExcelLikeFillImp*>(g->GetExcelLikeFillImp());
  if (!fill) {
    state.SkipWithError("no fill feature");
    return;
  }
  const CString last(std::to_string(((kValues - 1) % 10 + 1) * 1000).c_str());
  for (auto _ : state) {
    fill->FillCells(g.get(), CGXRange(1, 1, 10, 1), CGXRange(1, 1, kValues, 1));
    state.PauseTiming();
    if (g->GetCellValue(kValues, 1) != last || !g->Undo()) state.SkipWithError("the fill did not reach the last row");
    EmptyUndo(g.get());
    state.ResumeTiming();
  }
  PerValue(state, kValues);
  g->DestroyWindow();
}
BENCHMARK(BM_FillBoundedCells)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
