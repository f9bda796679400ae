// The spreadsheet: a frame holding a sheet-tab window with three formula-sheet grids ("Budget", "Balance",
// "Dates"), every editing feature on (find and replace with Ctrl+F and Ctrl+H, printing with Ctrl+P and the
// print preview with Ctrl+F2), filled with a small workbook built here. Each sheet computes from its own cells
// only: the formula language has no reference into another sheet.
//
// Its steps are the demonstration script: typing a number and a formula with the keyboard, filling a formula
// down with the fill handle, sorting rows and undoing the sort, breaking the budget's constraint, and moving
// between the tabs; headless each step ends in a screenshot (grid/demo/tests/spreadsheet_test.cpp).
#include <string>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXSortInfoArray.h"
#include "grid/demo/gallery.h"
#include "grid/extras/CGXTabWnd.h"
#include "grid/features/CGXPrintImp.h"
#include "grid/features/CGXSortImp.h"
#include "grid/formula/CGXFormulaSheet.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/VirtualClock.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

constexpr int kTabsId = 100;
constexpr UINT kFirstSheetId = 0x0F00;

// The frame: the tab window fills its client area; closing it ends the program.
class SpreadsheetFrame : public CFrameWnd {
 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_SIZE:
        if (CWnd* tabs = GetDlgItem(kTabsId)) tabs->MoveWindow(0, 0, LOWORD(lParam), HIWORD(lParam));
        return 0;
      case WM_DESTROY: PostQuitMessage(0); return 0;
      default: return CFrameWnd::WindowProc(message, wParam, lParam);
    }
  }
  void PostNcDestroy() override { delete this; }
};

// The tab window goes with its window.
class SpreadsheetTabs : public CGXTabWnd {
 protected:
  void PostNcDestroy() override { delete this; }
};

HWND g_preview = nullptr;

// A sheet's grid: Ctrl+P prints it (the print dialog first), Ctrl+F2 shows its print preview.
class SpreadsheetGrid : public CGXGridWnd {
 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_KEYDOWN && (::GetKeyState(VK_CONTROL) & 0x8000)) {
      const CString title = GetParam() ? GetParam()->m_sName : CString();
      if (wParam == 'P') {
        GXPrintGrid(this, FALSE, title);
        return 0;
      }
      if (wParam == VK_F2) {
        CPrintPreviewWnd* preview = GXPrintPreviewGrid(this, GetTopLevelParent(), title);
        g_preview = preview ? preview->m_hWnd : nullptr;
        return 0;
      }
    }
    return CGXGridWnd::WindowProc(message, wParam, lParam);
  }
  // The row headers widen with the rows to the last row's number (a paste of 100,000 lines showed
  // "10000" for row 100000); they never narrow, so a removal or an undo leaves them as wide.
  void UpdateInsertRows(ROWCOL row, ROWCOL count, UINT flags, BOOL createHint) override {
    CGXGridWnd::UpdateInsertRows(row, count, flags, createHint);
    FitRowHeaders();
  }
  void PostNcDestroy() override { delete this; }

 public:
  void FitRowHeaders() {
    const ROWCOL last = GetRowCount();
    CGXControl* control = last > 0 ? ControlForCell(last, 0) : nullptr;
    if (!control || !m_hWnd) return;
    CClientDC dc(this);
    PrepareDC(&dc);
    CGXStyle* style = NewWorkStyle();
    ComposeCellStyle(last, 0, *style);
    const int needed = static_cast<int>(control->ComputeCellSize(&dc, last, 0, *style, nullptr, FALSE).cx);
    ReleaseWorkStyle(style);
    // Not recorded for undo: the width follows the rows, whichever command brought them.
    if (needed > GetColWidth(0)) SetColWidth(0, 0, needed, nullptr, GX_INVALIDATE, 1);
  }
};

CGXTabWnd* TabsOf(HWND main) {
  HWND tabs = main ? GetDlgItem(main, kTabsId) : nullptr;
  return tabs ? dynamic_cast<CGXTabWnd*>(CWnd::FromHandlePermanent(tabs)) : nullptr;
}

void Put(CGXGridWnd* g, ROWCOL row, ROWCOL col, const char* text) { g->SetCellValue(row, col, text, 0); }

// A grid on a formula sheet, every editing feature on, behind a tab.
CGXGridWnd* AddSheet(CGXTabWnd* tabs, const char* name, ROWCOL rows, ROWCOL cols, UINT id) {
  auto* g = new SpreadsheetGrid;
  // The tab window lays each sheet a pixel over its scroll bars and tab beam: clipped by them, the sheet
  // neither paints over them nor scrolls their pixels into its cells (a column hidden by dragging left the
  // vertical bar's dotted edge in the cells).
  g->CreateEx(0, "GXWND", "", WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 10, 10, tabs->m_hWnd,
              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
  auto* param = new CGXGridParam;
  auto* sheet = new CGXFormulaSheet;
  sheet->InitParam(param);
  param->SetData(sheet, TRUE);
  param->m_sName = name;
  g->AttachParam(param, TRUE);
  g->InitializeFromStyle();
  GXInstallFormulaSheetFeatures(g);
  g->GetParam()->m_bSortRowsByHeader = TRUE;
  g->GetParam()->m_bFillEnabled = 1;
  g->GetParam()->m_bSelectionFrame = TRUE;
  g->InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
  BindFindReplaceKeys(g);  // Ctrl+F and Ctrl+H
  g->SetRowCount(rows, 0);
  g->SetColCount(cols, 0);
  g->SetColWidth(0, 0, 36, nullptr, 0);
  g->InstallCalcSizeImp();  // measures the row headers (FitRowHeaders)
  tabs->AttachWindow(g, name);
  return g;
}

void HeaderRow(CGXGridWnd* g, ROWCOL cols, const std::vector<const char*>& labels) {
  CGXStyle head;
  head.SetInteriorColor(RGB(214, 226, 246)).SetFont(CGXFont().SetBold(TRUE)).SetHorizontalAlignment(GX_DT_CENTER);
  g->SetStyleRange(CGXRange(1, 1, 1, cols), head);
  for (ROWCOL c = 1; c <= labels.size(); ++c) Put(g, 1, c, labels[c - 1]);
  // The labels are a header row: they stay where they are when a double click on a column header sorts.
  g->SetFrozenRows(1, 1, GX_INVALIDATE, 0);
}

void RightAligned(CGXGridWnd* g, const CGXRange& range) {
  g->SetStyleRange(range, CGXStyle().SetHorizontalAlignment(GX_DT_RIGHT));
}

// Budget: quantities times prices, a total that must stay below 2000 (its constraint), the tax column.
void BuildBudget(CGXGridWnd* g) {
  HeaderRow(g, 6, {"Item", "Qty", "Price", "Amount", "With tax", "Note"});
  g->SetColWidth(1, 1, 120, nullptr, 0);
  g->SetColWidth(6, 6, 120, nullptr, 0);
  static const char* items[][3] = {{"Capacitors 100n", "40", "0.12"}, {"Capacitors 10u", "12", "0.85"},
                                   {"Ferrite beads", "8", "0.40"},   {"Regulator", "2", "3.90"},
                                   {"Board", "1", "48"}};
  for (ROWCOL i = 0; i < 5; ++i) {
    const std::string r = std::to_string(i + 2);
    Put(g, i + 2, 1, items[i][0]);
    Put(g, i + 2, 2, items[i][1]);
    Put(g, i + 2, 3, items[i][2]);
    Put(g, i + 2, 4, ("=B" + r + "*C" + r).c_str());
  }
  Put(g, 2, 5, "=D2*1.2");
  Put(g, 8, 1, "Total");
  Put(g, 8, 4, "=D2+D3+D4+D5+D6;D8<2000");
  Put(g, 8, 6, "must stay below 2000");
  g->SetStyleRange(CGXRange(8, 1, 8, 6), CGXStyle().SetFont(CGXFont().SetBold(TRUE)));
  RightAligned(g, CGXRange(2, 2, 8, 5));
  // A note over two cells.
  Put(g, 2, 6, "bulk price");
  g->SetCoveredCellsRowCol(2, 6, 3, 6, 0, 0);
  if (auto* sheet = dynamic_cast<CGXFormulaSheet*>(g->GetParam()->GetData())) {
    sheet->SetConstraintCheck(TRUE);
    sheet->SetRecalcMethod(1);
  }
}

// Balance: dated amounts and the running balance after each.
void BuildBalance(CGXGridWnd* g) {
  HeaderRow(g, 4, {"Date", "Description", "Amount", "Balance"});
  g->SetColWidth(1, 1, 90, nullptr, 0);
  g->SetColWidth(2, 2, 130, nullptr, 0);
  g->SetColWidth(4, 4, 80, nullptr, 0);
  static const char* rows[][3] = {{"1/2/2024", "Opening", "500"},  {"1/9/2024", "Parts", "-120.5"},
                                  {"1/15/2024", "Refund", "35"},   {"2/1/2024", "Assembly", "-210"},
                                  {"2/20/2024", "Payment", "400"}, {"3/4/2024", "Test fixture", "-88.25"}};
  for (ROWCOL i = 0; i < 6; ++i) {
    const std::string r = std::to_string(i + 2), before = std::to_string(i + 1);
    Put(g, i + 2, 1, rows[i][0]);
    Put(g, i + 2, 2, rows[i][1]);
    Put(g, i + 2, 3, rows[i][2]);
    Put(g, i + 2, 4, i == 0 ? "=C2" : ("=D" + before + "+C" + r).c_str());
  }
  RightAligned(g, CGXRange(2, 3, 7, 4));
}

// Dates: a start date, days later, a time of day and both, with the numbers behind them.
void BuildDates(CGXGridWnd* g) {
  HeaderRow(g, 3, {"What", "Value", "Number"});
  g->SetColWidth(1, 1, 140, nullptr, 0);
  g->SetColWidth(2, 2, 140, nullptr, 0);
  Put(g, 2, 1, "Start");
  Put(g, 2, 2, "3/15/2024");
  Put(g, 3, 1, "Thirty days on");
  Put(g, 3, 2, "=B2+30");
  Put(g, 4, 1, "Time of day");
  Put(g, 4, 2, "6:30 PM");
  Put(g, 5, 1, "Date and time");
  Put(g, 5, 2, "3/15/2024 6:00 AM");
  Put(g, 6, 1, "Not available");
  Put(g, 6, 2, "#N/A");
  for (ROWCOL r = 2; r <= 5; ++r) Put(g, r, 3, ("=B" + std::to_string(r) + "*1").c_str());
  // The computed date shows as a date.
  if (auto* sheet = dynamic_cast<CGXFormulaSheet*>(g->GetParam()->GetData())) sheet->SetNumberFormat(3, 2, 11, 0);
  RightAligned(g, CGXRange(2, 2, 6, 3));
}

HWND BuildPage() {
  StartGridLibrary();
  MSG quit;
  while (PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  plat::InputRouter::Instance().Reset();
  auto* frame = new SpreadsheetFrame;
  frame->CreateEx(0, "GridDemoMain", "Spreadsheet", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 700, 400, nullptr,
                  nullptr);
  auto* tabs = new SpreadsheetTabs;
  CRect client;
  frame->GetClientRect(&client);
  tabs->Create(frame, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, kTabsId, client);
  BuildBudget(AddSheet(tabs, "Budget", 30, 6, kFirstSheetId));
  BuildBalance(AddSheet(tabs, "Balance", 30, 4, kFirstSheetId + 1));
  BuildDates(AddSheet(tabs, "Dates", 20, 3, kFirstSheetId + 2));
  frame->ShowWindow(SW_SHOW);
  tabs->RecalcLayout();
  if (CGXGridWnd* g = dynamic_cast<CGXGridWnd*>(tabs->GetActivePane())) {
    g->MoveCurrentCellTo(3, 2, GX_INVALIDATE);
    SetFocus(g->GridHwnd());
  }
  frame->UpdateWindow();
  return frame->m_hWnd;
}

CGXGridWnd* Sheet(HWND main, int tab) {
  CGXTabWnd* tabs = TabsOf(main);
  return tabs && tab < tabs->GetBeam().GetCount()
             ? dynamic_cast<CGXGridWnd*>(tabs->GetBeam().GetTab(tab).pExtra)
             : nullptr;
}

HWND MainOf(CGXGridWnd* g) { return ::GetParent(::GetParent(g->GridHwnd())); }

void Keys(const char* text) {
  auto& input = plat::InputRouter::Instance();
  input.TypeText(text);
  input.KeyPress(VK_RETURN);
}

void ClickTab(HWND main, int tab) {
  CGXTabWnd* tabs = TabsOf(main);
  CGXTabBeam& beam = tabs->GetBeam();
  const POINT at = plat::InputRouter::ClientPoint(
      beam.m_hWnd, beam.GetTabLeft(tab) + beam.GetMargin() + beam.GetTab(tab).nWidth / 2, beam.GetBeamHeight() / 2);
  plat::VirtualClock::Advance(1000);  // never a double click with an earlier click
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, at);
}

std::vector<Step> Steps() {
  return {
      // A quantity typed over: the amount, the tax and the total follow.
      {"typed-number",
       [](CGXGridWnd* g) {
         g->MoveCurrentCellTo(3, 2, GX_UPDATENOW);
         Keys("20");
       }},
      // A formula typed with the keyboard into the note column's neighbour.
      {"typed-formula",
       [](CGXGridWnd* g) {
         g->MoveCurrentCellTo(4, 5, GX_UPDATENOW);
         Keys("=D4*1.2");
       }},
      // The tax formula of E2 filled down to E6 with the fill handle: each row names its own amount.
      {"filled-down",
       [](CGXGridWnd* g) {
         g->MoveCurrentCellTo(2, 5, GX_UPDATENOW);
         g->GetParam()->GetSelection().DeleteAll();
         g->GetParam()->GetSelection().AddTail(new CGXRange(2, 5));
         g->RedrawAll(GX_UPDATENOW);
         const HWND h = g->GridHwnd();
         const CRect from = g->CalcCellRect(2, 5), to = g->CalcCellRect(6, 5);
         const POINT handle = plat::InputRouter::ClientPoint(h, from.right - 2, from.bottom - 2);
         const POINT target = plat::InputRouter::ClientPoint(h, to.right - 3, to.bottom - 3);
         auto& input = plat::InputRouter::Instance();
         input.MouseMove(handle);
         input.ButtonDown(plat::MouseButton::Left, handle);
         input.MouseMove(target);
         input.ButtonUp(plat::MouseButton::Left, target);
       }},
      // The items sorted by amount, highest first; formulas move with their rows.
      {"sorted",
       [](CGXGridWnd* g) {
         CGXSortInfoArray keys;
         CGXSortInfo key;
         key.nRC = 4;
         key.sortType = CGXSortInfo::numeric;
         key.sortOrder = 1;
         keys.Add(key);
         GXSortRows(g, CGXRange().AssignRows(2, 6), keys);
       }},
      // Undo puts the rows back.
      {"sort-undone",
       [](CGXGridWnd* g) {
         g->SetFocus();
         auto& input = plat::InputRouter::Instance();
         input.KeyDown(VK_CONTROL);
         input.KeyPress('Z');
         input.KeyUp(VK_CONTROL);
       }},
      // A board price that breaks the budget: the total shows the constraint violation.
      {"constraint-violated",
       [](CGXGridWnd* g) {
         g->MoveCurrentCellTo(6, 3, GX_UPDATENOW);
         Keys("2500");
       }},
      // The running balance behind the second tab.
      {"balance-tab", [](CGXGridWnd* g) { ClickTab(MainOf(g), 1); }},
      // Dates, times and their numbers behind the third.
      {"dates-tab", [](CGXGridWnd* g) { ClickTab(MainOf(g), 2); }},
  };
}

}  // namespace

CGXGridWnd* SpreadsheetSheet(HWND main, int tab) { return Sheet(main, tab); }

HWND SpreadsheetPreview() { return ::IsWindow(g_preview) ? g_preview : nullptr; }

Page SpreadsheetPage() { return {"sheet", 740, 440, BuildPage, Steps}; }

}  // namespace gallery
