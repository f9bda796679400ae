// The window cells at volume. Editing: the current cell moves through 10,000 edit and combo-box cells
// (alternating columns), and in each a value is typed and stored as the cell is left; one iteration is one
// cell. Drawing: a full-HD page of 2,000 inactive edit, combo-box and list-box cells; one iteration is one
// frame (the whole window invalidated and painted).
#include <benchmark/benchmark.h>

#include "bench/GridBench.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXListBox.h"
#include "grid/core/CGXRange.h"
#include "platform/window/InputRouter.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

void Setup() { gridbench::StartGridLibrary("windowcells-bench", kWidth, kHeight); }

constexpr const char* kChoices = "alpha\nbeta\ngamma\ndelta\nepsilon";

void BM_MoveTypeAndStore(benchmark::State& state) {
  Setup();
  constexpr ROWCOL kRows = 5000, kCols = 2;  // 10,000 cells
  auto g = gridbench::OpenGrid(800, 600, kRows, kCols, WS_VSCROLL | WS_HSCROLL);
  g->SetStyleRange(CGXRange().AssignCols(1, 1), CGXStyle().SetControl(GX_IDS_CTRL_EDIT));
  g->SetStyleRange(CGXRange().AssignCols(2, 2),
                   CGXStyle().SetControl(GX_IDS_CTRL_CBS_DROPDOWN).SetChoiceList(kChoices));
  SetFocus(*g);
  g->RedrawAll(GX_UPDATENOW);
  gridbench::Pump();
  plat::InputRouter& in = plat::InputRouter::Instance();
  ROWCOL cell = 0;
  for (auto _ : state) {
    const ROWCOL row = cell / kCols + 1, col = cell % kCols + 1;
    cell = (cell + 1) % (kRows * kCols);
    g->MoveCurrentCellTo(row, col, GX_UPDATENOW);  // stores the cell before
    in.TypeText("be");
    gridbench::Pump();
  }
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  g->MoveCurrentCellTo(row == 1 ? 2 : 1, col, GX_UPDATENOW);
  if (g->GetCellValue(1, 1) != "be" || g->GetCellValue(1, 2) != "be") state.SkipWithError("a typed value was not stored");
  state.SetItemsProcessed(state.iterations());
  g->DestroyWindow();
}

// The cell of a row and column on the drawing page: edit, combo box and list box by turns.
CGXStyle PageCell(ROWCOL row, ROWCOL col) {
  static const char* kLines[] = {"alpha", "beta", "gamma", "delta", "epsilon"};
  CGXStyle s;
  switch ((row + col) % 3) {
    case 0: s.SetControl(GX_IDS_CTRL_EDIT).SetValue("text 12.5"); break;
    case 1: s.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(kChoices).SetValue(kLines[row % 5]); break;
    default: s.SetControl(GX_IDS_CTRL_LISTBOX).SetChoiceList(kChoices).SetValue(kLines[col % 5]); break;
  }
  return s;
}

void BM_InactivePageFrame(benchmark::State& state) {
  Setup();
  constexpr ROWCOL kRows = 50, kCols = 40;  // 2,000 cells
  auto g = gridbench::OpenGrid(kWidth, kHeight, kRows, kCols);
  g->SetDefaultRowHeight(21, 0);
  g->SetDefaultColWidth(47, 0);
  g->SetRowHeight(0, 0, 0, nullptr, 0);
  g->SetColWidth(0, 0, 0, nullptr, 0);
  for (ROWCOL r = 1; r <= kRows; ++r)
    for (ROWCOL c = 1; c <= kCols; ++c) g->SetStyleRange(CGXRange(r, c), PageCell(r, c));
  g->RedrawAll(GX_UPDATENOW);
  gridbench::PaintFrames(state, *g, kRows, kCols);
  g->DestroyWindow();
}

}  // namespace

BENCHMARK(BM_MoveTypeAndStore)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InactivePageFrame)->Unit(benchmark::kMillisecond);
