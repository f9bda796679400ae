// Shared fixture of the engine tests: a clean window system, the grid library's classes and cell
// controls (registered in every SetUp, as the module registers them before starting the library), and a
// grid window of a known size with deterministic row heights and column widths.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "grid/controls/CGXStatic.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/tests/gridwindowclasses.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/StringApi.h"
#include "platform/base/VirtualClock.h"
#include "platform/display/Desktop.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CScrollBar.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdiapi.h"
#include "platform/gdi/Surface.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace enginetest {

// A hide feature for the tests: the hidden rows and columns in two sets; hiding repaints through the grid.
class TestHideCells : public CGXGridHideCellsImp {
 public:
  BOOL HideRows(CGXGridCore* g, ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden, int) override {
    for (ROWCOL r = from; r <= to; ++r) StoreHideRow(g, r, hidden ? hidden[r - from] : hide);
    g->UpdateChangedRowHeights(from, to, nullptr, flags, TRUE);
    return TRUE;
  }
  BOOL HideCols(CGXGridCore* g, ROWCOL from, ROWCOL to, BOOL hide, UINT flags, const BOOL* hidden, int) override {
    for (ROWCOL c = from; c <= to; ++c) StoreHideCol(g, c, hidden ? hidden[c - from] : hide);
    g->UpdateChangedColWidths(from, to, nullptr, flags, TRUE);
    return TRUE;
  }
  BOOL IsRowHidden(CGXGridCore*, ROWCOL row) override { return rows.count(row) != 0; }
  BOOL IsColHidden(CGXGridCore*, ROWCOL col) override { return cols.count(col) != 0; }
  BOOL StoreHideRow(CGXGridCore*, ROWCOL row, BOOL hide) override {
    hide ? (void)rows.insert(row) : (void)rows.erase(row);
    return TRUE;
  }
  BOOL StoreHideCol(CGXGridCore*, ROWCOL col, BOOL hide) override {
    hide ? (void)cols.insert(col) : (void)cols.erase(col);
    return TRUE;
  }
  std::set<ROWCOL> rows, cols;
};

// A long-operation service for the tests: it keeps the nesting level and each level's status text and asks
// `handler` at every poll (it stands for the message loop and the user's answer: TRUE aborts). Installed
// while it lives, in place of whatever service was installed.
class TestLongOperation : public CGXAbstractLongOperationImp {
 public:
  using Handler = std::function<BOOL(CGXLongOperationScope&)>;
  explicit TestLongOperation(Handler h = {})
      : handler(std::move(h)), m_pPrevious(CGXGridGlobals::Get().m_pLongOperationImp) {
    CGXGridGlobals::Get().m_pLongOperationImp = this;
  }
  ~TestLongOperation() override { CGXGridGlobals::Get().m_pLongOperationImp = m_pPrevious; }
  TestLongOperation(const TestLongOperation&) = delete;
  TestLongOperation& operator=(const TestLongOperation&) = delete;

  void Start(CGXLongOperationScope* scope) override {
    int& level = GXGetLongOperationState().m_nLevel;
    ++level;
    scope->m_pszText = level > 1 ? m_texts[level - 2].GetString() : "";
  }
  void End(CGXLongOperationScope*) override { --GXGetLongOperationState().m_nLevel; }
  void FreeStatusText(CGXLongOperationScope*) override {}
  void SetStatusText(CGXLongOperationScope* scope, LPCTSTR text, BOOL) override {
    CString& kept = m_texts[GXGetLongOperationState().m_nLevel - 1];
    kept = text ? text : "";
    scope->m_pszText = kept.GetString();
  }
  BOOL PollAbort(CGXLongOperationScope* scope, BOOL& abort) override {
    abort = handler ? handler(*scope) : FALSE;
    return TRUE;
  }
  BOOL PollMessages(CGXLongOperationScope* scope) override {
    if (handler) handler(*scope);
    return TRUE;
  }
  void PumpMessages(CGXLongOperationScope*) override {}

  Handler handler;

 private:
  CGXAbstractLongOperationImp* m_pPrevious;
  CString m_texts[CGXLongOperationState::kLevels];
};

// Gives the grid the tests' hide feature (owned by the grid): tests that hide lines ask for it.
inline TestHideCells* UseTestHideCells(CGXGridCore* g) {
  auto* hide = new TestHideCells;
  g->SetFeature(hide);
  return hide;
}

using Log = std::vector<std::string>;

// Dispatches every message waiting in the queue (bounded, so a message loop in a test cannot hang it).
inline void PumpMessages() {
  MSG msg;
  for (int guard = 0; guard < 100000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

// Whether the call throws an exception of class E (as a pointer, the library's way); the exception is freed.
template <typename E, typename Call>
bool Throws(Call&& call) {
  try {
    call();
  } catch (E* e) {
    e->Delete();
    return true;
  }
  return false;
}

// A covered-cells feature with one covered block: every cell of it answers the whole block.
struct CoveredBlock : CGXGridCoveredCellsImp {
  explicit CoveredBlock(CGXRange r) : block(r) {}
  CGXRange* GetCoveredCellsRowCol(CGXGridCore*, ROWCOL row, ROWCOL col, CGXRange& out) override {
    if (!block.ContainsCell(row, col)) return nullptr;
    out = block;
    return &out;
  }
  CGXRange block;
};

// A floating-cells feature that records the ranges it is asked to compute anew.
struct RecordingFloat : CGXGridFloatCellsImp {
  void RecalcFloatCells(CGXGridCore*, const CGXRange& range, int) override { ranges.push_back(range); }
  std::vector<CGXRange> ranges;
};

// A grid that is a view (of a document, in a frame window): the engine behind a view window.
class GridView : public CView, public CGXGridCore {
 public:
  GridView() { SetGridWnd(this); }
  void OnDraw(CDC*) override {}
};

// A grid that records the clip box of every paint: what the window system asked it to repaint.
class PaintRecorder : public CGXGridWnd {
 public:
  void DrawGrid(CDC* dc) override {
    CRect r;
    dc->GetClipBox(&r);
    painted.UnionRect(&painted, &r);
    CGXGridWnd::DrawGrid(dc);
  }
  // What was painted since the last call, after the queue has been served.
  CRect Take() {
    PumpMessages();
    CRect r = painted;
    painted.SetRectEmpty();
    return r;
  }
  CRect painted;
};

// An editing control without a window: typed characters go into its text while it edits; it stores the
// text as the cell's value. Tests tell it to refuse validation (with a warning text when one is given) or to
// answer a store with a value (bit 0 clear: nothing stored); with a log it records what the grid asks of it.
class EditingControl : public CGXStatic {
 public:
  explicit EditingControl(CGXGridCore* g, Log* l = nullptr) : CGXStatic(g), log(l) {}
  BOOL TakesTypedText() override { return TRUE; }
  void InitForCell(ROWCOL row, ROWCOL col) override {
    CGXStatic::InitForCell(row, col);
    text = Grid()->GetCellValue(row, col);
    modified = editing = FALSE;
  }
  void SetEditingState(BOOL b) override { editing = b; }
  BOOL GetEditingState() const override { return editing; }
  void SetModifiedState(BOOL b) override { modified = b; }
  BOOL GetModifiedState() const override { return modified; }
  void GetEditText(CString& out) const override { out = text; }
  void SetEditText(const CString& t) override { text = t; }
  BOOL ValidateValue() override {
    Record("validate");
    if (!accept && !warning.IsEmpty()) Grid()->SetWarningText(warning);
    return accept;
  }
  BOOL StoreValue() override {
    Record("store");
    if (!(storeAnswer & 1)) return storeAnswer;
    CGXStyle s;
    s.SetValue(text);
    return Grid()->WriteStoredStyle(GetRow(), GetCol(), &s, gxOverride, 0) ? storeAnswer : FALSE;
  }
  void RedrawIfChanged() override {
    Record("reset");
    CGXStatic::RedrawIfChanged();
  }
  BOOL OnCharInCell(UINT ch, UINT, UINT) override {
    if (ch < 0x20) return FALSE;
    if (!editing) {
      if (IsCellReadOnly()) return FALSE;
      editing = TRUE;
      text.Empty();
    }
    text += static_cast<char>(ch);
    modified = TRUE;
    return TRUE;
  }
  BOOL OnLButtonDblClkInCell(UINT, int, int) override {
    Record("control dblclk");
    return takeDblClk;
  }
  void NotifyEditCancel() override {
    ++cancels;
    CGXStatic::NotifyEditCancel();
  }
  void Record(const char* what) {
    if (log) log->push_back(what);
  }
  Log* log;
  CString text, warning;
  BOOL editing = FALSE, modified = FALSE, accept = TRUE, takeDblClk = FALSE;
  BOOL storeAnswer = TRUE;
  int cancels = 0;
};

// A control that records the state words (hit and drag state) of the mouse calls the grid hands it.
template <typename Base>
class MouseStateRecorder : public Base {
 public:
  using Base::Base;
  BOOL OnLButtonDownInCell(UINT, int, int, WORD state) override { return states.push_back(state), TRUE; }
  BOOL OnMouseMoveInCell(UINT, int, int, WORD state) override { return states.push_back(state), TRUE; }
  BOOL OnLButtonUpInCell(UINT, int, int, WORD state) override { return states.push_back(state), TRUE; }
  std::vector<WORD> states;
};

// A parent window of a class registered with the grid library, holding a vertical scroll bar (id 0xEA10)
// along its right edge that grids inside it share.
struct SharedBarParent {
  explicit SharedBarParent(const char* className, DWORD barStyle = WS_CHILD | SBS_VERT) {
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = className;
    RegisterClass(&wc);
    CGXGridGlobals::Get().AddRegisteredClassName(className);
    hwnd = CreateWindowEx(0, className, "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                          nullptr);
    created = bar.Create(barStyle, CRect(380, 0, 400, 300), CWnd::FromHandle(hwnd), 0xEA10);
  }
  HWND hwnd = nullptr;
  CScrollBar bar;
  BOOL created = FALSE;
};

// The device mode of the test printer "PDF" (on port "WINSPOOL") asking for 300 dots per inch.
inline DEVMODEA Printer300Mode() {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmSpecVersion = DM_SPECVERSION;
  std::strncpy(reinterpret_cast<char*>(mode.dmDeviceName), "PDF", CCHDEVICENAME - 1);
  mode.dmFields = DM_PRINTQUALITY;
  mode.dmPrintQuality = 300;
  return mode;
}

// The window as painted now, and the colour of one of its pixels.
inline std::shared_ptr<plat::Surface> Shot(HWND h) {
  plat::Desktop::PaintAll();
  return plat::Desktop::Capture(h);
}

inline COLORREF At(const std::shared_ptr<plat::Surface>& s, int x, int y) {
  return plat::colorFromPixel(s->pixel(x, y)) & 0xFFFFFF;
}

// A store that marks cells as changed, as a computing store does, and counts how often it was asked.
struct MarkedData : CGXData {
  BOOL IsCellChanged(ROWCOL r, ROWCOL c) const override {
    ++asked;
    return changed.count({r, c}) != 0;
  }
  void SetCellChanged(ROWCOL r, ROWCOL c, BOOL on) override {
    if (on)
      changed.insert({r, c});
    else
      changed.erase({r, c});
  }
  std::set<std::pair<ROWCOL, ROWCOL>> changed;
  mutable int asked = 0;
};

using gxtest::RegisterGridWindowClasses;

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("engine-tests"));
    plat::ResetWindowSystem();
    // Every test starts at the same moment: timers and double clicks do not depend on the tests before.
    plat::VirtualClock::Reset();
    CWnd::DeleteTempMap();
    plat::Desktop::Configure(800, 600);
    GXRegisterCellControls();
    if (s_pfnRegisterLibraries) s_pfnRegisterLibraries();
    InitGridLibrary();
    RegisterGridWindowClasses();
  }
  void TearDown() override {
    grid.reset();
    plat::ResetWindowSystem();
    CWnd::DeleteTempMap();
    RestoreProcessSettings();
  }

  // Tests switch process-wide settings and put them back at their end; a failed assertion returns early,
  // so the defaults are put back here too and a failure never spreads to the tests that run after it.
  static void RestoreProcessSettings() {
    plat::SetAutomationProvider(nullptr);
    plat::SetLeadBytePredicate(nullptr);
    CGXGridGlobals& globals = CGXGridGlobals::Get();
    globals.m_pInitHook.reset();
    globals.m_bPopupActive = FALSE;
    globals.m_pCellObservers[0] = globals.m_pCellObservers[1] = nullptr;
    CGXLongOperationState& operations = GXGetLongOperationState();
    operations.m_nIgnoreLevel = -1;
    operations.m_bFeedbackStarted = FALSE;
    operations.m_nPercentDone = -1;
  }

  static void Pump() { PumpMessages(); }
  // Input as the user gives it, the queue run after it: a key, a key with `modifier` held, a text typed.
  static void Key(int vk) {
    plat::InputRouter::Instance().KeyPress(vk);
    Pump();
  }
  static void Chord(int modifier, int vk) {
    plat::InputRouter& in = plat::InputRouter::Instance();
    in.KeyDown(modifier);
    in.KeyPress(vk);
    in.KeyUp(modifier);
    Pump();
  }
  static void Type(const char* text) {
    plat::InputRouter::Instance().TypeText(text);
    Pump();
  }
  // The current cell's row and column (0 when there is none).
  static ROWCOL CurrentRow(CGXGridCore* g) {
    ROWCOL r = 0, c = 0;
    g->QueryCurrentCell(&r, &c);
    return r;
  }
  static ROWCOL CurrentCol(CGXGridCore* g) {
    ROWCOL r = 0, c = 0;
    g->QueryCurrentCell(&r, &c);
    return c;
  }

  // A grid of rows x cols with 20-pixel rows and 50-pixel columns (headers too) in a w x h window.
  template <typename Grid = CGXGridWnd>
  Grid* MakeGrid(ROWCOL rows, ROWCOL cols, int w = 400, int h = 300, DWORD style = 0, HWND parent = nullptr) {
    auto* g = new Grid;
    grid.reset(g);
    DWORD ws = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | style;
    EXPECT_TRUE(g->CreateEx(0, "GXWND", "", ws, 0, 0, w, h, parent, nullptr));
    g->InitializeFromStyle();
    g->SetRowCount(rows, 0);
    g->SetColCount(cols, 0);
    g->SetDefaultRowHeight(20, 0);
    g->SetDefaultColWidth(50, 0);
    g->SetRowHeight(0, 0, 20, nullptr, 0);
    g->SetColWidth(0, 0, 50, nullptr, 0);
    g->RedrawAll(GX_INVALIDATE);
    Pump();
    return g;
  }

  // A windowless stand-in under the edit cell's id: for tests of the grid's own keys, clipboard and drawing
  // that want no editor window over the current cell. It takes typed text as the edit cell does (the grid's
  // Delete clears it), and its characters reach the grid. Call before the grid has a current cell.
  struct WindowlessEditStandIn : CGXStatic {
    using CGXStatic::CGXStatic;
    BOOL TakesTypedText() override { return TRUE; }
  };
  static void UseWindowlessEditStandIn(CGXGridCore* g) {
    g->AddCellControl(GX_IDS_CTRL_EDIT, new WindowlessEditStandIn(g), TRUE);
  }

  // Registers `control` as the grid's static control (owned by the grid) and gives every cell of the table
  // that control.
  static void UseInEveryCell(CGXGridCore* g, CGXControl* control) {
    g->AddCellControl(GX_IDS_CTRL_STATIC, control, TRUE);
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_STATIC);
    g->SetStyleRange(CGXRange().AssignTable(), style);
  }

  // A grid as MakeGrid makes it, on a store that marks changed cells (returned through `data`).
  CGXGridWnd* MakeMarkedGrid(ROWCOL rows, ROWCOL cols, MarkedData** data, int w = 300, int h = 200) {
    CGXGridWnd* g = MakeGrid(rows, cols, w, h);
    auto* d = new MarkedData;
    d->InitParam(g->GetParam());
    g->GetParam()->SetData(d, TRUE);
    g->SetRowCount(rows, 0);
    g->SetColCount(cols, 0);
    *data = d;
    return g;
  }

  // The further grid libraries a test program registers before the library starts (each registration call
  // is safe to repeat; the start-up runs once per process).
  static inline void (*s_pfnRegisterLibraries)() = nullptr;

  std::unique_ptr<CGXGridWnd> grid;
};

}  // namespace enginetest
