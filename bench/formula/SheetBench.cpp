// The formula sheet in a grid: a 300 x 300 block where every cell adds its left and upper neighbours (the
// first row and column take the top-left cell's number, 1 or 2), shown in a 1000 x 700 grid window. Scrolling a
// page and repainting, and changing the top-left cell (every other cell depends on it, so all 89,999 formulas
// are computed again) and repainting. A column of numbers pasted
// below a small sheet, growing it, and the paste undone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/GridBench.h"
#include "grid/core/CGXGridParam.h"
#include "grid/features/gxfeatures.h"
#include "grid/formula/CGXFormulaSheet.h"
#include "grid/formula/GxReference.h"
#include "platform/base/GlobalMemory.h"
#include "platform/window/Clipboard.h"

namespace {

constexpr ROWCOL kSize = 300;

struct Sheet {
  std::unique_ptr<CGXGridWnd> grid;
  CGXFormulaSheet* sheet = nullptr;
};

Sheet OpenSheet() {
  gridbench::StartGridLibrary("sheet-bench", 1024, 768, &GXRegisterEditingFeatures);
  Sheet s;
  s.grid = gridbench::OpenGrid(1000, 700, kSize, kSize, WS_VSCROLL | WS_HSCROLL);
  s.sheet = new CGXFormulaSheet;
  s.sheet->InitParam(s.grid->GetParam());
  s.grid->GetParam()->SetData(s.sheet, TRUE);
  CGXGridGlobals::Get().AddGridForObject(s.sheet, s.grid.get());
  GXInstallFormulaSheetFeatures(s.grid.get());
  s.grid->GetParam()->m_bUndoEnabled = FALSE;
  s.grid->SetRowCount(kSize, 0);
  s.grid->SetColCount(kSize, 0);
  s.sheet->SetRecalcMethod(1);
  for (ROWCOL r = 1; r <= kSize; ++r)
    for (ROWCOL c = 1; c <= kSize; ++c) {
      if (r == 1 && c == 1) {
        s.sheet->SetNumberValue(r, c, 1.0);
        continue;
      }
      if (r == 1 || c == 1) {
        s.sheet->SetExpression(r, c, "=A1");
        continue;
      }
      // left + up, as a user would type it
      const std::string left = std::string(_gx_column_letters(static_cast<int>(c - 2))) + std::to_string(r);
      const std::string up = std::string(_gx_column_letters(static_cast<int>(c - 1))) + std::to_string(r - 1);
      s.sheet->SetExpression(r, c, ("=" + left + "+" + up).c_str());
    }
  s.sheet->Recalc(TRUE);
  s.grid->RedrawAll(GX_UPDATENOW);
  gridbench::Pump();
  return s;
}

void BM_SheetScrollPageAndRepaint(benchmark::State& state) {
  Sheet s = OpenSheet();
  for (auto _ : state) {
    if (s.grid->GetTopRow() + 60 >= kSize) s.grid->SetTopRow(1, GX_UPDATENOW);
    SendMessage(*s.grid, WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(*s.grid);
  }
  state.counters["rows"] = static_cast<double>(s.grid->GetLastVisibleRow() - s.grid->GetTopRow() + 1);
}
BENCHMARK(BM_SheetScrollPageAndRepaint)->Unit(benchmark::kMillisecond);

void BM_SheetChangeTopLeftAndRepaint(benchmark::State& state) {
  Sheet s = OpenSheet();
  auto bottomRight = [&] {
    CString text;
    s.sheet->GetValueText(kSize, kSize, text);
    return std::atof(text.GetString());
  };
  const double atOne = bottomRight();
  double value = 1.0;
  double atTwo = 0;
  for (auto _ : state) {
    value = value == 1.0 ? 2.0 : 1.0;
    s.sheet->SetNumberValue(1, 1, value);
    s.sheet->SetRangeChanged(CGXRange(1, 1));
    s.sheet->Recalc(FALSE);
    InvalidateRect(*s.grid, nullptr, FALSE);
    UpdateWindow(*s.grid);
    if (value == 2.0 && atTwo == 0) {
      state.PauseTiming();
      atTwo = bottomRight();
      state.ResumeTiming();
    }
  }
  // Every formula follows the top-left cell: the bottom-right one doubles with it.
  if (std::abs(atTwo / atOne - 2.0) > 1e-9) state.SkipWithError("the block did not follow the top-left cell");
  state.counters["cells"] = static_cast<double>(kSize * kSize);
  char label[96];
  std::snprintf(label, sizeof label, "bottom right %.6g -> %.6g", atOne, atTwo);
  state.SetLabel(label);
}
BENCHMARK(BM_SheetChangeTopLeftAndRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

// Arg: the lines of a column of numbers pasted from another program below a 10-row formula sheet, every
// line a new row; each iteration pastes and undoes. The counters give the two halves' seconds.
void BM_SheetPasteColumnAndUndo(benchmark::State& state) {
  const auto lines = static_cast<int>(state.range(0));
  gridbench::StartGridLibrary("sheet-bench", 1024, 768, &GXRegisterEditingFeatures);
  auto grid = gridbench::OpenGrid(1000, 700, 10, 4, WS_VSCROLL | WS_HSCROLL);
  auto* sheet = new CGXFormulaSheet;
  sheet->InitParam(grid->GetParam());
  grid->GetParam()->SetData(sheet, TRUE);
  CGXGridGlobals::Get().AddGridForObject(sheet, grid.get());
  GXInstallFormulaSheetFeatures(grid.get());
  grid->SetRowCount(10, 0);
  grid->SetColCount(4, 0);
  for (ROWCOL r = 1; r <= 10; ++r) {
    sheet->SetNumberValue(r, 1, static_cast<double>(r));
    sheet->SetExpression(r, 2, ("=A" + std::to_string(r) + "*2").c_str());
  }
  sheet->Recalc(TRUE);
  grid->m_nClipboardFlags = 0x0008;
  std::string text;
  for (int i = 0; i < lines; ++i) text += std::to_string(i) + "\r\n";
  gridbench::PutClipboardText(text);
  double paste = 0, undo = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (!grid->MoveCurrentCellTo(10, 1, 0) || !grid->Paste()) std::abort();
    gridbench::Pump();
    const auto pasted = std::chrono::steady_clock::now();
    if (grid->GetRowCount() != static_cast<ROWCOL>(lines) + 9) std::abort();
    if (!grid->Undo()) std::abort();
    gridbench::Pump();
    const auto undone = std::chrono::steady_clock::now();
    if (grid->GetRowCount() != 10) std::abort();
    paste += std::chrono::duration<double>(pasted - start).count();
    undo += std::chrono::duration<double>(undone - pasted).count();
    state.PauseTiming();
    grid->GetParam()->EmptyRedoList();
    state.ResumeTiming();
  }
  state.counters["paste_s"] = paste / static_cast<double>(state.iterations());
  state.counters["undo_s"] = undo / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * lines);
  grid->DestroyWindow();
}
BENCHMARK(BM_SheetPasteColumnAndUndo)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
