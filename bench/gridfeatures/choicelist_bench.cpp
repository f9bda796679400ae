// Values going into cells that take only their choices, at volume: 100,000 values pasted with Ctrl+V's
// operation, and filled down by the fill handle's, into a column of drop-down lists of 10 and of 1,000
// choices, beside the same into plain cells (argument 0); and 100,000 values pasted across 4, 5 and 10 columns,
// each a list of its own of 1,000 choices, beside as many plain columns. Each value is looked up among its
// cell's choices; the lookup must not grow with the list nor with the lists a paste meets: a paste into lists of
// 1,000 choices within 1.5 times the plain paste. The counter per_value is the time per value.
// And the cost of many short lists: 10, 1,000 and 100,000 cells, each with a list of its own of 20 choices,
// pasted over, the first paste (which meets each list for the first time) apart from the later ones. A list met a
// few times must cost about its text (it is walked; one asked for often is indexed): the counter peak_mb is the
// process's peak resident memory from a grid's making to the end of its pastes, and grown_mb what that peak adds
// to the memory resident before.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/gridfeatures/featurebench.h"
#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/CGXExcelLikeFillImp.h"

namespace {

using featurebench::Pump;
using featurebench::Setup;

constexpr ROWCOL kValues = 100000;

// The i-th choice of a list; the values cycle through the first ten.
std::string Choice(int i) {
  char text[32];
  std::snprintf(text, sizeof text, "Choice %04d", i);
  return text;
}

// A grid of kValues rows whose column 1 is a drop-down list of `choices` choices (plain cells for 0).
std::unique_ptr<CGXGridWnd> ChoiceGrid(int choices) {
  Setup();
  auto g = gridbench::OpenGrid(800, 600, kValues, 2);
  g->m_nClipboardFlags = 0x0008;
  if (choices > 0) {
    std::string list;
    for (int i = 0; i < choices; ++i) list += Choice(i) + "\n";
    g->SetStyleRange(CGXRange().AssignCols(1, 1),
                     CGXStyle().SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(list.c_str()));
  }
  Pump();
  return g;
}

void EmptyUndo(CGXGridWnd* g) {
  g->GetParam()->EmptyRedoList();
  CObList& undo = g->GetParam()->GetUndoList();
  while (!undo.IsEmpty()) delete undo.RemoveHead();
}

// The counter: the time per value.
void PerValue(benchmark::State& state) {
  state.counters["per_value"] = benchmark::Counter(
      static_cast<double>(kValues), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The process's peak resident memory, in MB, since the last ResetPeak (VmHWM; 0 where the system keeps none).
double PeakMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
  return 0.0;
}

// Gives the heap's free memory back and starts the peak anew from the memory resident now, which it answers.
double ResetPeak() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  return gridbench::ResidentMb();
}

void PeakCounters(benchmark::State& state, double before) {
  state.counters["peak_mb"] = PeakMb();
  state.counters["grown_mb"] = PeakMb() - before;
}

// Arg: the choices of each cell's list (0: plain cells). Each iteration pastes kValues lines at (1, 1).
void BM_PasteIntoChoiceLists(benchmark::State& state) {
  auto g = ChoiceGrid(static_cast<int>(state.range(0)));
  std::string text;
  for (ROWCOL r = 0; r < kValues; ++r) text += Choice(static_cast<int>(r % 10)) + "\r\n";
  gridbench::PutClipboardText(text);
  for (auto _ : state) {
    g->GetParam()->GetSelection().DeleteAll();
    if (!g->MoveCurrentCellTo(1, 1, 0) || !g->Paste()) std::abort();
    state.PauseTiming();
    if (g->GetCellValue(kValues, 1) != CString(Choice((kValues - 1) % 10).c_str())) std::abort();
    EmptyUndo(g.get());
    state.ResumeTiming();
  }
  PerValue(state);
  state.SetItemsProcessed(state.iterations() * kValues);
  g->DestroyWindow();
}
BENCHMARK(BM_PasteIntoChoiceLists)->Arg(0)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// Args: the columns, and the choices of each column's list (0: plain cells). Each column has a list of its own
// (the same choices from another first one), and each iteration pastes 100,000 values, a line across the columns
// for each row, at (1, 1): a value's list is the one before it on its line.
void BM_PasteAcrossChoiceLists(benchmark::State& state) {
  Setup();
  const double before = ResetPeak();
  const auto cols = static_cast<ROWCOL>(state.range(0));
  const int choices = static_cast<int>(state.range(1));
  const ROWCOL rows = kValues / cols;
  auto g = gridbench::OpenGrid(800, 600, rows, cols);
  g->m_nClipboardFlags = 0x0008;
  for (ROWCOL c = 1; c <= cols && choices > 0; ++c) {
    std::string list;
    for (int i = 0; i < choices; ++i) list += Choice((i + static_cast<int>(c)) % choices) + "\n";
    g->SetStyleRange(CGXRange().AssignCols(c, c),
                     CGXStyle().SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(list.c_str()));
  }
  Pump();
  std::string text;
  for (ROWCOL r = 0; r < rows; ++r)
    for (ROWCOL c = 0; c < cols; ++c) text += Choice(static_cast<int>((r + c) % 10)) + (c + 1 < cols ? "\t" : "\r\n");
  gridbench::PutClipboardText(text);
  const CString last(Choice(static_cast<int>((rows - 1 + cols - 1) % 10)).c_str());
  for (auto _ : state) {
    g->GetParam()->GetSelection().DeleteAll();
    if (!g->MoveCurrentCellTo(1, 1, 0) || !g->Paste()) std::abort();
    state.PauseTiming();
    if (g->GetCellValue(rows, cols) != last) std::abort();
    EmptyUndo(g.get());
    state.ResumeTiming();
  }
  PerValue(state);
  PeakCounters(state, before);
  state.SetItemsProcessed(state.iterations() * kValues);
  g->DestroyWindow();
}
BENCHMARK(BM_PasteAcrossChoiceLists)
    ->ArgsProduct({{4, 5, 10}, {0, 1000}})
    ->Unit(benchmark::kMillisecond);

// Arg: as above. Each iteration fills the ten values of rows 1 to 10 down to row kValues; the fill is undone
// between iterations (not timed).
void BM_FillChoiceLists(benchmark::State& state) {
  auto g = ChoiceGrid(static_cast<int>(state.range(0)));
  g->GetParam()->m_bFillEnabled = 1;
  for (ROWCOL r = 1; r <= 10; ++r) g->SetCellValue(r, 1, Choice(static_cast<int>(r - 1)).c_str());
  EmptyUndo(g.get());
  auto* fill = dynamic_cast<CGXExcelLikeFillImp*>(g->GetExcelLikeFillImp());
  if (!fill) std::abort();
  for (auto _ : state) {
    fill->FillCells(g.get(), CGXRange(1, 1, 10, 1), CGXRange(1, 1, kValues, 1));
    state.PauseTiming();
    if (g->GetCellValue(kValues, 1) != CString(Choice((kValues - 1) % 10).c_str()) || !g->Undo()) std::abort();
    EmptyUndo(g.get());
    state.ResumeTiming();
  }
  PerValue(state);
  state.SetItemsProcessed(state.iterations() * kValues);
  g->DestroyWindow();
}
BENCHMARK(BM_FillChoiceLists)->Arg(0)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// The choice list of row `row` (kShortChoices choices of about 10 characters, no two rows alike) and the value
// pasted into it: one of its choices, in another case every other row.
constexpr int kShortChoices = 20;
std::string OwnList(ROWCOL row) {
  std::string list;
  for (int i = 0; i < kShortChoices; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "Row%06u-%02d\n", static_cast<unsigned>(row), i);
    list += line;
  }
  return list;
}
std::string OwnValue(ROWCOL row, bool folded) {
  char value[32];
  std::snprintf(value, sizeof value, folded && row % 2 ? "ROW%06u-%02u" : "Row%06u-%02u", static_cast<unsigned>(row),
                static_cast<unsigned>(row % kShortChoices));
  return value;
}

// Arg: the cells, one column of them, each a drop-down list of its own (OwnList). The first iteration pastes
// over lists met for the first time, the later ones over lists met before; with Iterations(1) the case is that
// first paste alone. The counters peak_mb and grown_mb take in the making of the grid and its lists.
void PasteIntoOwnLists(benchmark::State& state) {
  Setup();
  const double before = ResetPeak();
  const auto cells = static_cast<ROWCOL>(state.range(0));
  {
    auto g = gridbench::OpenGrid(800, 600, cells, 1);
    g->m_nClipboardFlags = 0x0008;
    g->LockUpdate(TRUE);
    for (ROWCOL r = 1; r <= cells; ++r)
      g->SetStyleRange(CGXRange(r, 1),
                       CGXStyle().SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(OwnList(r).c_str()));
    g->LockUpdate(FALSE);
    Pump();
    std::string text;
    for (ROWCOL r = 1; r <= cells; ++r) text += OwnValue(r, true) + "\r\n";
    gridbench::PutClipboardText(text);
    const CString last(OwnValue(cells, false).c_str());
    for (auto _ : state) {
      g->GetParam()->GetSelection().DeleteAll();
      if (!g->MoveCurrentCellTo(1, 1, 0) || !g->Paste()) state.SkipWithError("the paste was refused");
      state.PauseTiming();
      if (g->GetCellValue(cells, 1) != last) state.SkipWithError("the last cell does not hold its choice's own text");
      EmptyUndo(g.get());
      state.ResumeTiming();
    }
    featurebench::PerValue(state, static_cast<int64_t>(cells));
    PeakCounters(state, before);
    g->DestroyWindow();
  }
}
void BM_FirstPasteIntoOwnLists(benchmark::State& state) { PasteIntoOwnLists(state); }
BENCHMARK(BM_FirstPasteIntoOwnLists)->Arg(10)->Arg(1000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
void BM_PasteIntoOwnLists(benchmark::State& state) { PasteIntoOwnLists(state); }
BENCHMARK(BM_PasteIntoOwnLists)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
