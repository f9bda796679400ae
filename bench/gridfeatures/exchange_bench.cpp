// Clipboard exchange, sorting and searching at volume: 100,000 rows sorted by a numeric and by a text key
// and the sort undone; 100,000 cells copied as text and pasted back; a missing text looked for down
// 1,000,000 rows; a text of many lines pasted with Ctrl+V into a cell being edited, in a small grid and in
// one of 100,000 rows, and typing on in a cell holding such a text; a text of 1,000, 10,000 and 100,000 rows
// pasted into a grid of 10 rows, and that paste undone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "bench/gridfeatures/featurebench.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXRangeList.h"
#include "grid/features/CGXSortImp.h"
#include "platform/base/GlobalMemory.h"
#include "platform/display/Desktop.h"
#include "platform/window/Clipboard.h"
#include "platform/window/InputRouter.h"

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

// The text of rows lines of three fields.
std::string RowsText(int rows) {
  std::string text;
  char line[64];
  for (int i = 0; i < rows; ++i) {
    std::snprintf(line, sizeof line, "%d.5\tw%05d\t%d\r\n", i, i % 99991, i * 3);
    text += line;
  }
  return text;
}

void PutText(const std::string& text) {
  if (!OpenClipboard(nullptr)) std::abort();
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

// Pastes the clipboard's text at (2, 1) of a 10-row grid, which grows to hold it.
void PasteRows(CGXGridWnd* g) {
  g->GetParam()->GetSelection().DeleteAll();
  if (!g->MoveCurrentCellTo(2, 1, 0) || !g->Paste()) std::abort();
}

// Arg: the rows pasted. Each iteration pastes and undoes the paste; the counters give the two halves'
// seconds (the undo's goal: within twice its paste's).
void BM_PasteRowsAndUndo(benchmark::State& state) {
  const auto rows = static_cast<int>(state.range(0));
  auto g = Grid(10, 3);
  g->m_nClipboardFlags = 0x0008;
  PutText(RowsText(rows));
  double paste = 0, undo = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    PasteRows(g.get());
    Pump();
    const auto pasted = std::chrono::steady_clock::now();
    if (g->GetRowCount() != static_cast<ROWCOL>(rows) + 1) std::abort();
    if (!g->Undo()) std::abort();
    Pump();
    const auto undone = std::chrono::steady_clock::now();
    if (g->GetRowCount() != 10) std::abort();
    paste += std::chrono::duration<double>(pasted - start).count();
    undo += std::chrono::duration<double>(undone - pasted).count();
    state.PauseTiming();
    g->GetParam()->EmptyRedoList();
    state.ResumeTiming();
  }
  state.counters["paste_s"] = paste / static_cast<double>(state.iterations());
  state.counters["undo_s"] = undo / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * rows);
  g->DestroyWindow();
}
BENCHMARK(BM_PasteRowsAndUndo)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Args: the grid's rows, the lines of the text pasted into the edited cell (3,1). The grid has two frozen
// header rows like the demo's, and grows past its 62 rows by a paste.
void BM_PasteIntoEditedCell(benchmark::State& state) {
  const auto rows = static_cast<ROWCOL>(state.range(0));
  const auto lines = static_cast<int>(state.range(1));
  auto g = Grid(62, 2);
  g->SetFrozenRows(2, 2);
  std::string text;
  char line[32];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, "VDD_%06d\r\n", i);
    text += line;
  }
  if (rows > 62) {
    // Grown by a paste of its lines, as a user grows it.
    PutText(RowsText(static_cast<int>(rows - 61)));
    g->m_nClipboardFlags = 0x0008;
    g->GetParam()->GetSelection().DeleteAll();
    g->GetParam()->GetSelection().AddTail(new CGXRange(62, 1));
    if (!g->Paste() || g->GetRowCount() != rows) std::abort();
  }
  auto& in = plat::InputRouter::Instance();
  for (auto _ : state) {
    state.PauseTiming();
    PutText(text);
    ::SetFocus(*g);
    g->MoveCurrentCellTo(3, 1, GX_UPDATENOW);
    in.TypeText("a");
    Pump();
    if (!g->CurrentCellIsActive()) std::abort();
    state.ResumeTiming();
    in.KeyDown(VK_CONTROL);
    in.KeyPress('V');
    in.KeyUp(VK_CONTROL);
    Pump();
    state.PauseTiming();
    CString edited;
    if (!g->ControlOfCurrentCell()->GetEditedValue(edited)) std::abort();
    state.counters["edited_chars"] = edited.GetLength();
    state.ResumeTiming();
    plat::Desktop::PaintAll();
    in.KeyPress(VK_RETURN);
    Pump();
    plat::Desktop::PaintAll();
    state.PauseTiming();
    state.counters["stored_chars"] = g->GetCellValue(3, 1).GetLength();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * lines);
  g->DestroyWindow();
}
BENCHMARK(BM_PasteIntoEditedCell)->Args({62, 10000})->Args({100000, 10000})->Args({62, 125000})->Args({125061, 125000})->Unit(benchmark::kMillisecond);

// Arg: the lines of the text in the edited cell (3,1) (12 characters a line); arg 2: the cell's layout, 1 the
// standard style (wrapped, left aligned), 0 one line, 2 one line right aligned (the window's alignment then
// depends on the text's width). The text is pasted into the cell's editor; a one-line cell takes a pasted text
// up to its first line break, so there the same characters come as one line, its lines ended by two spaces
// instead of a line break. Each iteration types one character at the text's end, as a user goes on typing after
// a large paste.
void BM_TypeIntoLargeEditedCell(benchmark::State& state) {
  const auto lines = static_cast<int>(state.range(0));
  const bool wraps = state.range(1) == 1;
  auto g = Grid(62, 2);
  if (!wraps) {
    CGXStyle oneLine;
    oneLine.SetWrapText(FALSE);
    if (state.range(1) == 2) oneLine.SetHorizontalAlignment(GX_DT_RIGHT);
    g->SetStyleRange(CGXRange(3, 1), oneLine);
  }
  std::string text;
  char line[32];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, wraps ? "VDD_%06d\r\n" : "VDD_%06d  ", i);
    text += line;
  }
  auto& in = plat::InputRouter::Instance();
  ::SetFocus(*g);
  g->MoveCurrentCellTo(3, 1, GX_UPDATENOW);
  in.TypeText("a");
  Pump();
  plat::Desktop::PaintAll();
  PutText(text);
  in.KeyDown(VK_CONTROL);
  in.KeyPress('V');
  in.KeyUp(VK_CONTROL);
  Pump();
  plat::Desktop::PaintAll();
  CString edited;
  if (!g->ControlOfCurrentCell()->GetEditedValue(edited) || edited.GetLength() != static_cast<int>(text.size()) + 1)
    state.SkipWithError("the cell's editor does not hold the whole pasted text");
  for (auto _ : state) {
    in.KeyPress('B');
    Pump();
  }
  state.SetItemsProcessed(state.iterations());
  g->DestroyWindow();
}
BENCHMARK(BM_TypeIntoLargeEditedCell)
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Args({125000, 1})
    ->Args({125000, 0})
    ->Args({125000, 2})
    ->Unit(benchmark::kMillisecond);

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
