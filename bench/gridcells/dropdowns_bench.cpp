// The tabbed drop-down's costs: dropping a list of 10,000 rows by 5 columns (its rows added and measured,
// the columns measured, the list placed and painted the first time), and a full-HD page of 2,000 inactive
// tabbed cells sharing one unique choice-list id (each cell's display text through the shared key map).
#include <benchmark/benchmark.h>

#include <memory>

#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRange.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

void RegisterClassOnce(const char* name, UINT style) {
  WNDCLASS wc{};
  if (GetClassInfo(AfxGetInstanceHandle(), name, &wc)) return;
  wc.style = style;
  wc.lpfnWndProc = DefWindowProc;
  wc.hInstance = AfxGetInstanceHandle();
  wc.lpszClassName = name;
  RegisterClass(&wc);
}

void Setup() {
  static bool done = false;
  if (done) return;
  done = true;
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("dropdowns-bench"));
  plat::Desktop::Configure(kWidth, kHeight);
  GXRegisterCellControls();
  InitGridLibrary();
  RegisterClassOnce("GXWND", CS_GLOBALCLASS | CS_DBLCLKS);
  RegisterClassOnce(CGXGridGlobals::Get().m_sPopupClassName, CS_SAVEBITS);
}

// "ID\tName\tColour\tSize\tNote" and a row per id.
CString Table(int rows) {
  CString table = "ID\tName\tColour\tSize\tNote";
  CString line;
  for (int i = 1; i <= rows; ++i) {
    line.Format("\r\n%d\tItem %d\tcolour %d\t%d mm\tnote for row %d", i, i, i % 17, i % 250, i);
    table += line;
  }
  return table;
}

CGXStyle TabbedStyle(const CString& table, const char* id) {
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_TABBED_COMBOBOX).SetChoiceList(table);
  style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
  style.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1").SetUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID, id);
  return style;
}

std::unique_ptr<CGXGridWnd> MakeGrid(ROWCOL rows, ROWCOL cols, int rowHeight, int colWidth) {
  Setup();
  auto g = std::make_unique<CGXGridWnd>();
  g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr);
  g->InitializeFromStyle();
  g->SetRowCount(rows, 0);
  g->SetColCount(cols, 0);
  g->SetDefaultRowHeight(rowHeight, 0);
  g->SetDefaultColWidth(colWidth, 0);
  return g;
}

// One iteration: the cell bound afresh (so the list is filled again), dropped, painted, closed.
void BM_DropTabbedList10000x5(benchmark::State& state) {
  auto g = MakeGrid(4, 4, 20, 120);
  g->SetStyleRange(CGXRange(2, 1), TabbedStyle(Table(10000), "0").SetValue("5000"));
  ::SetFocus(*g);
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  auto* box = dynamic_cast<CGXTabbedComboBox*>(g->ControlForId(GX_IDS_CTRL_TABBED_COMBOBOX));
  if (!box) {
    state.SkipWithError("no tabbed control");
    return;
  }
  for (auto _ : state) {
    box->InitForCell(2, 1);
    box->SetEditingState(TRUE);
    box->ShowDropDown(TRUE);
    if (!box->IsDroppedDown() || !box->GetListBox() || box->GetListBox()->GetCount() != 10000) {
      state.SkipWithError("the list did not drop with every row");
      break;
    }
    box->GetListBox()->UpdateWindow();
    box->ShowDropDown(FALSE);
  }
  state.counters["rows"] = 10000;
  g->DestroyWindow();
}

// One iteration: the whole page invalidated and painted.
void BM_PageOfTabbedCellsSharingAnId(benchmark::State& state) {
  constexpr ROWCOL kRows = 50, kCols = 40;
  auto g = MakeGrid(kRows, kCols, 20, 46);
  const CGXStyle shared = TabbedStyle(Table(200), "1");
  for (ROWCOL r = 1; r <= kRows; ++r)
    for (ROWCOL c = 1; c <= kCols; ++c) {
      CGXStyle cell = shared;
      CString value;
      value.Format("%u", static_cast<unsigned>((r * kCols + c) % 200 + 1));
      g->SetStyleRange(CGXRange(r, c), cell.SetValue(value));
    }
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

BENCHMARK(BM_DropTabbedList10000x5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageOfTabbedCellsSharingAnId)->Unit(benchmark::kMillisecond);
