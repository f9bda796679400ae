// The editing features at volume: a million values shown in a display format and a million typed texts
// recognised as numbers (per iteration), blocks of 100,000 and 1,000,000 filled cells cleared with Delete's operation and
// brought back by one undo, rows moved and a selection extended in grids of up to a million rows, pages
// scrolled with spanned cells on, and Find Next and Replace All down 100,000 cells (with and without covered
// ranges beside them).
#include <benchmark/benchmark.h>

#include "bench/GridBench.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/gridfeatures/featurebench.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXStyle.h"
#include "grid/features/CGXMergeCells.h"
#include "grid/features/CGXNumberFormattingImp.h"
#include "grid/features/gxfeatures.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

constexpr int kValues = 1000000;

using featurebench::Pump;
using featurebench::Setup;

// Values as the cell store keeps numbers: magnitudes from 0.001 to a million, both signs.
const std::vector<std::string>& StoredValues() {
  static const std::vector<std::string> values = [] {
    std::vector<std::string> v;
    v.reserve(kValues);
    char text[32];
    for (int i = 0; i < kValues; ++i) {
      const double x = (i % 2 ? -1 : 1) * (i * 1.37 / ((i % 7) * 100 + 1));
      std::snprintf(text, sizeof text, "%.15g", x);
      v.emplace_back(text);
    }
    return v;
  }();
  return values;
}

// Display format ids: 2 fixed, 5 grouped, 1 scientific, 14 percent, 8 a date.
void BM_FormatText(benchmark::State& state) {
  Setup();
  CGXNumberFormattingImp imp;
  CGXStyle style;
  style.SetFormat(static_cast<unsigned>(state.range(0))).SetPlaces(2);
  const auto& values = StoredValues();
  for (auto _ : state)
    for (const std::string& v : values) benchmark::DoNotOptimize(imp.FormatText(style, v.c_str(), GX_VT_NUMBER, 0, 0));
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_FormatText)->Arg(2)->Arg(5)->Arg(1)->Arg(14)->Arg(8)->Unit(benchmark::kMillisecond);

// Texts as users type them: plain, grouped, currency, negative in parentheses, exponent, and no number.
void BM_ParseNumber(benchmark::State& state) {
  Setup();
  CGXNumberFormattingImp imp;
  std::vector<std::string> texts;
  texts.reserve(kValues);
  const char* forms[] = {"%d.%02d", "%d,%03d.%02d", "$%d,%03d", "(%d.%d)", "%d.%de5", "%dx%d"};
  char text[64];
  for (int i = 0; i < kValues; ++i) {
    std::snprintf(text, sizeof text, forms[i % 6], i % 997 + 1, i % 100);
    texts.emplace_back(text);
  }
  for (auto _ : state)
    for (const std::string& t : texts) {
      double v = 0;
      unsigned format = 0, places = 0;
      benchmark::DoNotOptimize(imp.ParseNumber(t.c_str(), v, format, places));
    }
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ParseNumber)->Unit(benchmark::kMillisecond);

// An 800 x 600 grid window of rows x cols empty cells that records no undo.
std::unique_ptr<CGXGridWnd> EmptyGrid(ROWCOL rows, ROWCOL cols) {
  Setup();
  auto g = std::make_unique<CGXGridWnd>();
  g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
  g->InitializeFromStyle();
  g->SetRowCount(rows, 0);
  g->SetColCount(cols, 0);
  g->GetParam()->m_bUndoEnabled = FALSE;
  return g;
}

// A grid with a block of rows x cols filled cells and empty lists.
std::unique_ptr<CGXGridWnd> FilledGrid(ROWCOL rows, ROWCOL cols) {
  auto g = EmptyGrid(rows, cols);
  char text[16];
  for (ROWCOL r = 1; r <= rows; ++r)
    for (ROWCOL c = 1; c <= cols; ++c) {
      std::snprintf(text, sizeof text, "%u", r * 1000 + c);
      g->SetCellValue(r, c, text, 0);
    }
  g->GetParam()->m_bUndoEnabled = TRUE;
  gridbench::Pump();
  return g;
}

void ClearBlock(CGXGridWnd* g, ROWCOL rows, ROWCOL cols) {
  CGXRangeList ranges;
  ranges.AddTail(new CGXRange(1, 1, rows, cols));
  if (!g->ClearCells(ranges, FALSE)) std::abort();
}

// Args: the block's rows and columns (100,000 and 1,000,000 cells).
void BM_ClearBlock(benchmark::State& state) {
  const auto rows = static_cast<ROWCOL>(state.range(0)), cols = static_cast<ROWCOL>(state.range(1));
  auto g = FilledGrid(rows, cols);
  for (auto _ : state) {
    ClearBlock(g.get(), rows, cols);
    state.PauseTiming();
    if (!g->Undo()) std::abort();
    gridbench::Pump();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * rows * cols);
  g->DestroyWindow();
}
BENCHMARK(BM_ClearBlock)->Args({1000, 100})->Args({10000, 100})->Unit(benchmark::kMillisecond);

void BM_UndoClearBlock(benchmark::State& state) {
  const auto rows = static_cast<ROWCOL>(state.range(0)), cols = static_cast<ROWCOL>(state.range(1));
  auto g = FilledGrid(rows, cols);
  for (auto _ : state) {
    state.PauseTiming();
    ClearBlock(g.get(), rows, cols);
    gridbench::Pump();
    state.ResumeTiming();
    if (!g->Undo()) std::abort();
  }
  if (g->GetCellValue(rows, cols) != CString(std::to_string(rows * 1000 + cols))) std::abort();
  state.SetItemsProcessed(state.iterations() * rows * cols);
  g->DestroyWindow();
}
BENCHMARK(BM_UndoClearBlock)->Args({1000, 100})->Args({10000, 100})->Unit(benchmark::kMillisecond);

// Shaping a grid of up to a million rows: a block of 100 rows moved near the end (and back), and a
// selection extended with Shift+Ctrl+End from the first cell (and back with Shift+Ctrl+Home). Neither may
// cost more with more rows: the arguments are the row counts.
// A focused grid of `rows` rows and 8 columns, values in the last 1000 rows.
std::unique_ptr<CGXGridWnd> TallGrid(ROWCOL rows) {
  auto g = EmptyGrid(rows, 8);
  char text[16];
  for (ROWCOL r = rows - 999; r <= rows; ++r) {
    std::snprintf(text, sizeof text, "%u", r);
    g->SetCellValue(r, 1, text, 0);
  }
  ::SetFocus(*g);
  Pump();
  return g;
}

void BM_MoveBlockNearTheEnd(benchmark::State& state) {
  const ROWCOL rows = static_cast<ROWCOL>(state.range(0));
  auto g = TallGrid(rows);
  g->SetTopRow(rows - 400, 0);
  Pump();
  const ROWCOL from = rows - 300, to = rows - 201, dest = rows - 150;
  for (auto _ : state) {
    if (!g->MoveRows(from, to, dest, GX_INVALIDATE, 1)) std::abort();
    if (!g->MoveRows(dest, dest + 99, from, GX_INVALIDATE, 1)) std::abort();
    Pump();
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_MoveBlockNearTheEnd)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_ShiftCtrlEndSelection(benchmark::State& state) {
  const ROWCOL rows = static_cast<ROWCOL>(state.range(0));
  auto g = TallGrid(rows);
  g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
  auto& in = plat::InputRouter::Instance();
  in.KeyDown(VK_SHIFT);
  in.KeyDown(VK_CONTROL);
  Pump();
  for (auto _ : state) {
    in.KeyPress(VK_END);
    Pump();
    in.KeyPress(VK_HOME);
    Pump();
  }
  in.KeyUp(VK_CONTROL);
  in.KeyUp(VK_SHIFT);
  Pump();
  const CGXRange* kept = g->GetParam()->GetSelection().GetHead();
  if (!kept || !kept->IsValid()) state.SkipWithError("no selection was built");
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ShiftCtrlEndSelection)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Scrolling a page and repainting with floating and merged cells on in delayed mode, at 10,000 and at
// 1,000,000 rows: the spans are evaluated for what is drawn only, so the cost of a page must not grow with
// the row count.
constexpr ROWCOL kFilledRows = 3000;

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

// Find and replace down a column of 100,000 cells, the first and last holding the text looked for.
constexpr ROWCOL kSearchedRows = 100000;

// A grid of kSearchedRows rows and 3 columns, column 1 filled, `covered` ranges of 2 x 2 cells down
// columns 2 and 3, the current cell (1, 1) and no undo.
std::unique_ptr<CGXGridWnd> SearchedGrid(ROWCOL covered) {
  auto g = EmptyGrid(kSearchedRows, 3);
  char text[32];
  for (ROWCOL r = 1; r <= kSearchedRows; ++r) {
    std::snprintf(text, sizeof text, r == 1 || r == kSearchedRows ? "needle %u" : "value %u", r);
    g->SetCellValue(r, 1, text, 0);
  }
  const ROWCOL step = covered ? kSearchedRows / covered : 0;
  for (ROWCOL i = 0; i < covered; ++i)
    if (!g->SetCoveredCellsRowCol(i * step + 1, 2, i * step + 2, 3, 0, 0)) std::abort();
  g->MoveCurrentCellTo(1, 1, 0);
  Pump();
  return g;
}

ROWCOL CurrentRow(CGXGridCore* g) {
  ROWCOL row = 0, col = 0;
  return g->QueryCurrentCell(&row, &col) ? row : 0;
}

// Arg: the covered ranges beside the column. Find Next down from the first cell stops at the last, and up from
// there at the first: each iteration walks the column twice.
void BM_FindNextDownAndUp(benchmark::State& state) {
  auto g = SearchedGrid(static_cast<ROWCOL>(state.range(0)));
  for (auto _ : state) {
    g->SetFindRequest("needle", TRUE, FALSE);
    if (CurrentRow(g.get()) != kSearchedRows) state.SkipWithError("Find Next down missed the last cell");
    g->SetFindRequest("needle", FALSE, FALSE);
    if (CurrentRow(g.get()) != 1) state.SkipWithError("Find Next up missed the first cell");
  }
  state.SetItemsProcessed(state.iterations() * 2 * (kSearchedRows - 1));
  state.counters["cells"] = kSearchedRows;
  g->DestroyWindow();
}
BENCHMARK(BM_FindNextDownAndUp)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

// Arg: the covered ranges beside the column. Each iteration replaces every cell's text and back: a stored cell
// is redrawn over the covered ranges it meets.
void BM_ReplaceAllBesideCoveredRanges(benchmark::State& state) {
  const auto covered = static_cast<ROWCOL>(state.range(0));
  auto g = SearchedGrid(covered);
  auto replaceAll = [&](const char* text, const char* replacement) {
    GXForwardArgs a;
    a.v[0] = reinterpret_cast<DWORD_PTR>(text);
    a.v[1] = reinterpret_cast<DWORD_PTR>(replacement);
    g->FindReplaceForward6(a);
  };
  for (auto _ : state) {
    replaceAll("e", "E");
    replaceAll("E", "e");
  }
  char middle[32];
  std::snprintf(middle, sizeof middle, "value %u", kSearchedRows / 2);
  if (g->GetCellValue(kSearchedRows / 2, 1) != CString(middle)) state.SkipWithError("the cells did not come back");
  state.SetItemsProcessed(state.iterations() * 2 * kSearchedRows);
  state.counters["covered"] = covered;
  g->DestroyWindow();
}
BENCHMARK(BM_ReplaceAllBesideCoveredRanges)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
