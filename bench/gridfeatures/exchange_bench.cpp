// Clipboard exchange, sorting and searching at volume: 100,000 rows sorted by a numeric and by a text key
// and the sort undone; 100,000 cells copied as text and pasted back; a missing text looked for down
// 1,000,000 rows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/gridfeatures/featurebench.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/CGXSortImp.h"

namespace {

using featurebench::Pump;
using featurebench::Setup;

// rows x cols cells; column 1 a number, column 2 a word, the others their place.
std::unique_ptr<CGXGridWnd> Grid(ROWCOL rows, ROWCOL cols) {
  Setup();
  auto g = std::make_unique<CGXGridWnd>();
  g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
  g->InitializeFromStyle();
  g->SetRowCount(rows, 0);
  g->SetColCount(cols, 0);
  g->GetParam()->m_bUndoEnabled = FALSE;
  char text[32];
  for (ROWCOL r = 1; r <= rows; ++r)
    for (ROWCOL c = 1; c <= cols; ++c) {
      const unsigned key = (r * 7919u) % 100003u;
      if (c == 1)
        std::snprintf(text, sizeof text, "%u.%u", key, r % 10);
      else if (c == 2)
        std::snprintf(text, sizeof text, "w%05x", key);
      else
        std::snprintf(text, sizeof text, "%u", r * 100 + c);
      g->SetCellValue(r, c, text, 0);
    }
  g->GetParam()->m_bUndoEnabled = TRUE;
  Pump();
  return g;
}

// Arg 1: the numeric key column; arg 2: the text key column. Each iteration sorts and undoes the sort.
void BM_SortAndUndo(benchmark::State& state) {
  auto g = Grid(100000, 3);
  for (auto _ : state) {
    CGXSortInfoArray keys;
    CGXSortInfo key;
    key.nRC = static_cast<DWORD>(state.range(0));
    key.sortType = CGXSortInfo::autodetect;
    keys.Add(key);
    GXSortRows(g.get(), CGXRange().AssignTable(), keys, 0);
    if (!g->Undo()) std::abort();
  }
  state.SetItemsProcessed(state.iterations() * 100000);
  g->DestroyWindow();
}
BENCHMARK(BM_SortAndUndo)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// 10,000 rows x 10 columns copied as text and pasted one row down (each paste an undoable step).
void BM_CopyPasteText(benchmark::State& state) {
  auto g = Grid(10001, 10);
  g->m_nClipboardFlags = 0x0008;
  for (auto _ : state) {
    g->GetParam()->GetSelection().DeleteAll();
    g->GetParam()->GetSelection().AddTail(new CGXRange(1, 1, 10000, 10));
    if (!g->Copy()) std::abort();
    g->GetParam()->GetSelection().DeleteAll();
    g->GetParam()->GetSelection().AddTail(new CGXRange(2, 1));
    if (!g->Paste()) std::abort();
    state.PauseTiming();
    g->GetParam()->EmptyRedoList();
    CObList& undo = g->GetParam()->GetUndoList();
    while (!undo.IsEmpty()) delete undo.RemoveHead();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 100000);
  g->DestroyWindow();
}
BENCHMARK(BM_CopyPasteText)->Unit(benchmark::kMillisecond);

// A text no cell holds, looked for from the first row down 1,000,000 rows of one column.
void BM_FindMissingText(benchmark::State& state) {
  Setup();
  auto g = std::make_unique<CGXGridWnd>();
  g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
  g->InitializeFromStyle();
  g->SetRowCount(1000000, 0);
  g->SetColCount(1, 0);
  char text[32];
  for (ROWCOL r = 1; r <= 1000000; ++r) {
    std::snprintf(text, sizeof text, "value %u", r);
    g->SetCellValue(r, 1, text, 0);
  }
  g->MoveCurrentCellTo(1, 1, 0);
  CGXFindReplaceState& s = CGXFindReplaceState::Get();
  s.m_strFind = "missing";
  s.m_bCase = FALSE;
  s.m_bNext = TRUE;
  s.PrepareFindText();
  for (auto _ : state) {
    ROWCOL row = 1, col = 1;
    if (g->SearchFromCell(&row, &col, 0)) std::abort();
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
  g->DestroyWindow();
}
BENCHMARK(BM_FindMissingText)->Unit(benchmark::kMillisecond);

}  // namespace
