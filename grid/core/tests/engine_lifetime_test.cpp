// Engine tests: the object's lifetime (parameter ownership, initialisation, destruction), zoom, read-only and
// printing, and the window messages that belong to the grid's life (destroy, find, focus, settings).
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridParamCopyOperatorImp.h"
#include "grid/core/gxlayout.h"
#include "grid/core/gxlayoutresources.h"
#include "grid/core/gxstrings.h"
#include "grid/core/layouts/gxlayoutdefs.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/tests/TempDir.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXPluginComponent.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/tests/enginetest.h"
#include "platform/base/CException.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/LocaleTable.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPrintInfo.h"
#include "platform/framework/CScrollBar.h"
#include "platform/framework/CWinApp.h"
#include "platform/display/Desktop.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/Surface.h"

namespace enginetest {
namespace {

using LifetimeTest = EngineTest;

int g_deleted = 0;

struct CountedFeatureC : CGXGridExtraFeatureCImp {
  ~CountedFeatureC() override { ++g_deleted; }
};

struct RecordingListener : CGXGridListener {
  explicit RecordingListener(std::vector<std::string>* log) : log(log) {}
  ~RecordingListener() override { log->push_back("listener deleted"); }
  void OnGridInitialize(CGXGridCore* g) override {
    // Told before the grid has made its shared objects.
    log->push_back(g->GetData() ? "init with data" : "init");
  }
  std::vector<std::string>* log;
};

struct RecordingHook : CGXGridInitHook {
  void OnGridInitialized(CWnd* wnd, const CString& name, BOOL hasName) override {
    window = wnd;
    text = name.GetString();
    nonEmpty = hasName;
    ++calls;
  }
  CWnd* window = nullptr;
  std::string text;
  BOOL nonEmpty = -1;
  int calls = 0;
};

struct RecordingMarkHeaders : CGXGridMarkEditHeaderImp {
  void MarkEditHeaders(CGXGridCore* g, ROWCOL row, ROWCOL col, int kind, UINT flags) override {
    grid = g;
    calls.push_back({row, col, static_cast<ROWCOL>(kind), flags});
  }
  CGXGridCore* grid = nullptr;
  std::vector<std::vector<ROWCOL>> calls;
};

struct RecordingFind : CGXGridFindReplaceImp {
  void OnFindReplace(CGXGridCore*, CFindReplaceDialog* dialog) override { dialogs.push_back(dialog); }
  std::vector<CFindReplaceDialog*> dialogs;
};

struct CountingPlugin : CGXPluginComponent {
  ~CountingPlugin() override { ++g_deleted; }
};

// A grid that records its focus changes and the hints it would send to other views.
class RecordingGrid : public CGXGridWnd {
 public:
  BOOL OnGridFocusChange(BOOL gained) override {
    focus.push_back(gained);
    return CGXGridWnd::OnGridFocusChange(gained);
  }
  void NotifyOtherViews(CGXGridHint* hint) override {
    hints.push_back({hint->m_id, static_cast<DWORD>(hint->m_arg)});
  }
  void BindToDocument() { m_pDocument = &doc; }
  CDocument doc;
  std::vector<BOOL> focus;
  std::vector<std::pair<DWORD, DWORD>> hints;
};

// A grid window that exists but is not initialised yet.
CGXGridWnd* CreateUninitialised(std::unique_ptr<CGXGridWnd>& owner) {
  auto* g = new CGXGridWnd;
  owner.reset(g);
  EXPECT_TRUE(g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
  return g;
}

// A parameter object with its own data object of rows x cols.
CGXGridParam* ParamWithCounts(ROWCOL rows, ROWCOL cols) {
  auto* param = new CGXGridParam;
  auto* data = new CGXData;
  data->StoreRowCount(rows);
  data->StoreColCount(cols);
  param->SetData(data, TRUE);
  return param;
}

TEST_F(LifetimeTest, ParameterObjectOwnershipAndTheObjectToGridsMap) {
  CGXGridGlobals& globals = CGXGridGlobals::Get();
  CGXGridWnd* g = CreateUninitialised(grid);
  g->InitializeFromStyle();
  // Without a parameter object the grid made one with every shared object, and owns it.
  CGXGridParam* made = g->GetParam();
  ASSERT_NE(made, nullptr);
  EXPECT_NE(made->GetProperties(), nullptr);
  EXPECT_NE(made->GetStylesMap(), nullptr);
  EXPECT_NE(made->GetData(), nullptr);
  EXPECT_EQ(g->GetTopRow(), 1u);
  EXPECT_EQ(g->GetLeftCol(), 1u);
  EXPECT_TRUE(made->m_bGridInitialized);
  EXPECT_EQ(globals.GetFirstGridForObject(made), g);

  // A borrowed parameter object replaces the owned one: the grid leaves the map under the old objects and
  // stands under the new ones, and the borrowed object outlives the grid.
  auto borrowed = std::make_unique<CGXGridParam>();
  borrowed->SetProperties(new CGXProperties, TRUE);
  borrowed->SetStylesMap(new CGXStylesMap, TRUE);
  borrowed->GetStylesMap()->CreateStandardStyles();
  borrowed->SetData(new CGXData, TRUE);
  g->AttachParam(borrowed.get(), FALSE);
  EXPECT_EQ(globals.GetFirstGridForObject(made), nullptr);
  EXPECT_EQ(globals.GetFirstGridForObject(borrowed.get()), g);
  EXPECT_EQ(globals.GetFirstGridForObject(borrowed->GetData()), g);
  grid.reset();
  EXPECT_EQ(globals.GetFirstGridForObject(borrowed.get()), nullptr);
  EXPECT_NE(borrowed->GetData(), nullptr);  // still alive and usable
  EXPECT_EQ(borrowed->GetData()->GetRowCount(), 0u);
}

// A parameter object attached to a grid in use (null: a new one) gets what initialisation gives one, so
// the grid goes on working with it; the top row and left column come within its counts.
TEST_F(LifetimeTest, AParameterObjectAttachedAfterInitialisationIsMadeComplete) {
  CGXGridGlobals& globals = CGXGridGlobals::Get();
  CGXGridWnd* g = MakeGrid(40, 30);
  g->SetTopRow(30, 0);
  g->SetLeftCol(20, 0);
  g->AttachParam(nullptr, TRUE);
  CGXGridParam* made = g->GetParam();
  ASSERT_NE(made->GetData(), nullptr);
  ASSERT_NE(made->GetStylesMap(), nullptr);
  ASSERT_NE(made->GetProperties(), nullptr);
  EXPECT_TRUE(made->m_bGridInitialized);
  EXPECT_EQ(globals.GetFirstGridForObject(made->GetData()), g);
  EXPECT_EQ(globals.GetFirstGridForObject(made->GetStylesMap()), g);
  EXPECT_EQ(g->GetTopRow(), 1u);
  EXPECT_EQ(g->GetLeftCol(), 1u);
  EXPECT_TRUE(g->SetRowCount(5, 0));
  EXPECT_TRUE(g->SetColCount(2, 0));
  EXPECT_TRUE(g->InsertRows(1, 2, nullptr, nullptr, nullptr, 0, 0));
  EXPECT_EQ(g->GetRowCount(), 7u);
  EXPECT_GT(g->GetRowHeight(1), 0);  // the standard font was measured for the new styles
  CGXStyle s;
  s.SetValue("x");
  EXPECT_TRUE(g->SetStyleRange(CGXRange(1, 1), s));
  EXPECT_EQ(g->GetCellValue(1, 1), "x");
  ::UpdateWindow(g->m_hWnd);

  // A layout's object brings its own data: kept; the first rows come within its counts and frozen rows.
  CGXGridParam* layout = ParamWithCounts(3, 2);
  layout->m_nFrozenRows = 1;
  CGXData* data = layout->GetData();
  g->SetTopRow(7, 0);
  g->AttachParam(layout, TRUE);
  EXPECT_EQ(g->GetData(), data);
  EXPECT_EQ(g->GetRowCount(), 3u);
  EXPECT_EQ(g->GetTopRow(), 3u);
  EXPECT_LE(g->GetLeftCol(), 2u);
  ::UpdateWindow(g->m_hWnd);
}

TEST_F(LifetimeTest, InitialisationWithoutTheLibrarysWindowClassIsRefused) {
  ASSERT_TRUE(UnregisterClass("GXWND", AfxGetInstanceHandle()));
  CGXGridCore core;
  EXPECT_TRUE(Throws<CNotSupportedException>([&] { core.Initialize(); }));
  EXPECT_EQ(core.GetParam(), nullptr);  // nothing was made
  EXPECT_FALSE(core.IsInitialized());
  RegisterGridWindowClasses();
}

TEST_F(LifetimeTest, InitialisationTellsTheHookMakesTheAskedCellCurrentAndTakesTheKeptRange) {
  auto* hook = new RecordingHook;
  CGXGridGlobals::Get().m_pInitHook.reset(hook);
  CGXGridWnd* g = CreateUninitialised(grid);
  CGXGridParam* param = ParamWithCounts(10, 5);
  param->m_sName = "Pins";
  param->m_nFrozenRows = 3;
  param->m_bInitialCurrentCell = TRUE;
  param->m_nInitialCurrentRow = 6;
  param->m_nInitialCurrentCol = 2;
  param->GetSelection().AddTail(new CGXRange(1, 1, 2, 2));
  param->GetSelection().AddTail(new CGXRange(4, 2, 8, 3));
  param->m_bKeepsCurrentSelRange = TRUE;
  g->AttachParam(param, TRUE);
  g->InitializeFromStyle();
  EXPECT_EQ(hook->calls, 1);
  EXPECT_EQ(hook->window, g);
  EXPECT_EQ(hook->text, "Pins");
  EXPECT_TRUE(hook->nonEmpty);
  EXPECT_EQ(g->GetTopRow(), 4u);  // never inside the frozen rows
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(g->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 6u);
  EXPECT_EQ(col, 2u);
  ASSERT_NE(g->GetCachedSelRange(), nullptr);
  EXPECT_EQ(*g->GetCachedSelRange(), CGXRange(4, 2, 8, 3));
  // Clearing the selection gives the kept range up, in the parameter object and in the grid.
  g->SetSelection(nullptr, 0, 0, 0, 0);
  EXPECT_FALSE(param->m_bKeepsCurrentSelRange);
  EXPECT_EQ(g->GetCachedSelRange(), nullptr);

  // A cell outside the counts is not made current; an unnamed parameter object says so to the hook.
  std::unique_ptr<CGXGridWnd> second;
  CGXGridWnd* g2 = CreateUninitialised(second);
  CGXGridParam* param2 = ParamWithCounts(3, 3);
  param2->m_bInitialCurrentCell = TRUE;
  param2->m_nInitialCurrentRow = 4;
  param2->m_nInitialCurrentCol = 1;
  g2->AttachParam(param2, TRUE);
  g2->InitializeFromStyle();
  EXPECT_FALSE(g2->QueryCurrentCell(&row, &col));
  EXPECT_EQ(g2->GetCachedSelRange(), nullptr);
  EXPECT_EQ(hook->calls, 2);
  EXPECT_EQ(hook->text, "");
  EXPECT_FALSE(hook->nonEmpty);
  second.reset();
  CGXGridGlobals::Get().m_pInitHook.reset();
}

TEST_F(LifetimeTest, TheGridOwnsFeatureCTheListenerAndTheCellTipPlugin) {
  g_deleted = 0;
  std::vector<std::string> log;
  CGXGridWnd* g = CreateUninitialised(grid);
  g->SetListener(new RecordingListener(&log));
  g->SetFeature(new CountedFeatureC);
  g->SetFeature(new CountedFeatureC);  // the first one goes at once
  EXPECT_EQ(g_deleted, 1);
  g->InitializeFromStyle();
  EXPECT_EQ(log, std::vector<std::string>{"init"});
  auto* tips = new CountingPlugin;
  g->SetCellTipPlugin(tips);
  EXPECT_EQ(tips->m_hWnd, g->m_hWnd);  // handed the grid window like every plug-in
  g->SetCellTipPlugin(new CountingPlugin);  // replaces (and deletes) the earlier tips
  EXPECT_EQ(g_deleted, 2);
  grid.reset();
  EXPECT_EQ(g_deleted, 4);  // the second feature C and the second plug-in, each once
  EXPECT_EQ(log.back(), "listener deleted");
}

TEST_F(LifetimeTest, ZoomReadOnlyAndTheirHints) {
  auto* g = MakeGrid<RecordingGrid>(10, 5);
  auto* floating = new RecordingFloat;
  g->SetFeature(floating);
  EXPECT_FALSE(g->SetZoom(0, 0));  // refused: sizes would scale to nothing
  EXPECT_EQ(g->GetZoom(), 100);
  ASSERT_TRUE(g->SetZoom(150, 0));
  EXPECT_EQ(g->GetZoom(), 150);
  EXPECT_EQ(g->GetProperties()->m_nZoom, 150u);
  ASSERT_EQ(floating->ranges.size(), 1u);  // floated texts recomputed for the whole table
  EXPECT_EQ(floating->ranges[0], CGXRange().AssignTable());
  g->GetParam()->m_bZoomDisabled = TRUE;
  EXPECT_EQ(g->GetZoom(), 100);
  g->GetParam()->m_bZoomDisabled = FALSE;
  EXPECT_TRUE(g->hints.empty());  // no document: nothing is sent

  g->InstallUpdateHintImp();
  g->m_bHintSwitch = TRUE;
  g->BindToDocument();
  ASSERT_TRUE(g->SetZoom(120, 0));
  ASSERT_TRUE(g->SetReadOnly(TRUE));
  EXPECT_EQ(g->hints, (std::vector<std::pair<DWORD, DWORD>>{
                          {gxHintStoreZoom, 120}, {gxHintUpdateZoom, 150}, {gxHintReadOnly, FALSE}}));
  EXPECT_TRUE(g->IsReadOnly());
  // The modified flag reaches the document only while hints are on.
  g->SetModifiedFlag(TRUE);
  EXPECT_TRUE(g->doc.IsModified());
  g->doc.SetModifiedFlag(FALSE);
  g->m_bHintSwitch = FALSE;
  g->SetModifiedFlag(TRUE);
  EXPECT_FALSE(g->doc.IsModified());
}

TEST_F(LifetimeTest, PrintingUsesTheClientRectangleAndItsOwnFirstRows) {
  CGXGridWnd* g = MakeGrid(30, 5, 300, 200);
  g->SetFrozenRows(2, 0, 0);
  g->SetTopRow(10, 0);
  g->SetPrinting(TRUE, TRUE);
  EXPECT_EQ(g->GetGridRect(), CRect(0, 0, 300, 200));
  EXPECT_EQ(g->GetFirstScrolledRow(), 3u);
  EXPECT_EQ(g->GetZoom(), 100);
  g->SetPrinting(FALSE);
  EXPECT_EQ(g->GetFirstScrolledRow(), 10u);
  // The print font metrics are measured at print zoom (100), not copied from the zoomed screen.
  ASSERT_TRUE(g->SetZoom(200, 0));
  const int screenHeight = g->GetFontHeight();
  g->SetPrinting(TRUE, TRUE);
  const int printHeight = g->GetFontHeight();
  g->SetPrinting(FALSE);
  EXPECT_LT(printHeight * 3, screenHeight * 2);
  EXPECT_EQ(g->GetFontHeight(), screenHeight);
}

TEST_F(LifetimeTest, SuppressedSizeHandlingLeavesTheWindowValidUntilReleased) {
  HWND parent = CreateWindowEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                               nullptr);
  CGXGridWnd* g = MakeGrid(30, 10, 225, 150, 0, parent);
  EXPECT_EQ(SendMessage(*g, 0x07CB, TRUE, 0), 0);
  g->SetWindowPos(nullptr, 0, 0, 325, 170, SWP_NOMOVE | SWP_NOZORDER);
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(*g, &update, FALSE));
  SendMessage(*g, 0x07CB, FALSE, 0);  // released: the whole window paints again
  ASSERT_TRUE(GetUpdateRect(*g, &update, FALSE));
  EXPECT_EQ(CRect(update), CRect(0, 0, 325, 170));
  grid.reset();
  DestroyWindow(parent);
}

TEST_F(LifetimeTest, TheSunkenFrameOnlyWhenAskedForOrWithAClientEdge) {
  HWND parent = CreateWindowEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                               AfxGetInstanceHandle(), nullptr);
  auto frameShown = [&](CGXGridWnd* g) {
    g->SetWindowPos(nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CDC* dc = CWnd::FromHandle(parent)->GetDC();
    CRect all(0, 0, 400, 300);
    dc->FillSolidRect(&all, RGB(1, 2, 3));
    CWnd::FromHandle(parent)->ReleaseDC(dc);
    SendMessage(*g, WM_NCPAINT, 1, 0);
    auto s = plat::Desktop::Capture(parent);
    return (plat::colorFromPixel(s->pixel(30, 18)) & 0xFFFFFF) == (GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
  };
  CGXGridWnd* g = MakeGrid(5, 3, 200, 150, 0, parent);
  EXPECT_FALSE(frameShown(g));
  g->ModifyStyleEx(0, WS_EX_CLIENTEDGE);
  EXPECT_TRUE(frameShown(g));
  grid.reset();
  DestroyWindow(parent);
}

struct RecordingPrint : CGXGridPrintImp {
  void PrintForward0(CGXGridCore*, const GXForwardArgs& a) override { calls.push_back({0, a.v[0], a.v[1]}); }
  void PrintForward1(CGXGridCore*, const GXForwardArgs& a) override { calls.push_back({1, a.v[0], a.v[1]}); }
  void PrintForward2(CGXGridCore*, const GXForwardArgs& a) override { calls.push_back({2, a.v[0], a.v[1]}); }
  std::vector<std::vector<DWORD_PTR>> calls;
};

TEST_F(LifetimeTest, PrintingStepsReachThePrintFeatureInTheirOrder) {
  CGXGridWnd* g = MakeGrid(5, 3);
  CDC dc;
  CPrintInfo info;
  g->OnGridBeginPrinting(&dc, &info);  // nothing without the feature
  auto* print = new RecordingPrint;
  g->SetFeature(print);
  g->OnGridBeginPrinting(&dc, &info);
  g->OnGridPrint(&dc, &info);
  g->OnGridEndPrinting(&dc, &info);
  const auto d = reinterpret_cast<DWORD_PTR>(&dc), i = reinterpret_cast<DWORD_PTR>(&info);
  EXPECT_EQ(print->calls, (std::vector<std::vector<DWORD_PTR>>{{0, d, i}, {1, d, i}, {2, d, i}}));
}

TEST_F(LifetimeTest, PropertiesFromTheProfileAtInitialisation) {
  const TempDir temp("gx-lifetime");
  const std::string path = temp / "gx_lifetime_profile.ini";
  CWinApp app{"GridLifetimeTest"};
  app.m_pszProfileName = path.c_str();
  plat::SetCurrentApp(&app);
  InstallProfileImp();
  app.WriteProfileInt("Grid", "3dHeader", 0);
  CGXGridWnd* g = CreateUninitialised(grid);
  g->InitializeFromStyle();
  EXPECT_FALSE(g->GetProperties()->m_b3dHeaders);  // read from the profile
  grid.reset();
  plat::SetCurrentApp(nullptr);
}

TEST_F(LifetimeTest, HeaderMarkingReachesItsFeatureWithTheGridAndTheArguments) {
  CGXGridWnd* g = MakeGrid(10, 5);
  g->MarkEditHeaders(3, 2, 1, GX_UPDATENOW);  // nothing without the feature
  auto* marks = new RecordingMarkHeaders;
  g->SetFeature(marks);
  g->MarkEditHeaders(3, 2, 1, GX_UPDATENOW);
  ASSERT_EQ(marks->calls.size(), 1u);
  EXPECT_EQ(marks->grid, g);
  EXPECT_EQ(marks->calls[0], (std::vector<ROWCOL>{3, 2, 1, GX_UPDATENOW}));
}

class RedrawRecordingGrid : public CGXGridWnd {
 public:
  void RedrawRange(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right, UINT flags, BOOL hint) override {
    ranges.push_back({top, left, bottom, right, flags, static_cast<ROWCOL>(hint)});
  }
  std::vector<std::vector<ROWCOL>> ranges;
};

TEST_F(LifetimeTest, HeaderRefreshFollowsTheParameterObjectsSwitch) {
  auto* g = MakeGrid<RedrawRecordingGrid>(10, 5);
  g->SetFrozenRows(1, 1, 0);
  g->ranges.clear();
  g->RefreshHeaders(3, 3, 0);
  EXPECT_TRUE(g->ranges.empty());
  g->GetParam()->m_bHeaderMarking = TRUE;
  g->RefreshHeaders(3, 3, 0);
  // The row headers below the header rows, then the column headers right of the header columns.
  EXPECT_EQ(g->ranges, (std::vector<std::vector<ROWCOL>>{{2, 0, 10, 0, 2, 1}, {0, 1, 1, 5, 2, 1}}));
}

TEST_F(LifetimeTest, DestroyingTheGridClosesItsFindDialogOnly) {
  CGXGridWnd* g = MakeGrid(5, 3);
  auto* find = new RecordingFind;
  g->SetFeature(find);
  auto* dlg = new CFindReplaceDialog;
  ASSERT_TRUE(dlg->Create(TRUE, "abc", nullptr, FR_DOWN, g));
  HWND dlgWnd = dlg->m_hWnd;
  CGXFindReplaceState& state = CGXFindReplaceState::Get();
  state.m_pFindReplaceDlg = dlg;
  state.m_hWndFindDlg = dlgWnd;
  state.m_hWndFindOwner = *g;
  // The dialog's notifications arrive through the registered message with the dialog object.
  FINDREPLACE fr = dlg->m_fr;
  SendMessage(*g, RegisterWindowMessage("commdlg_FindReplace"), 0, reinterpret_cast<LPARAM>(&fr));
  ASSERT_EQ(find->dialogs.size(), 1u);
  EXPECT_EQ(find->dialogs[0], dlg);

  // Another grid's destruction leaves the dialog alone.
  std::unique_ptr<CGXGridWnd> other;
  CGXGridWnd* g2 = CreateUninitialised(other);
  g2->InitializeFromStyle();
  g2->DestroyWindow();
  EXPECT_TRUE(IsWindow(dlgWnd));
  EXPECT_EQ(state.m_pFindReplaceDlg, dlg);

  g->DestroyWindow();
  Pump();
  EXPECT_FALSE(IsWindow(dlgWnd));
  EXPECT_EQ(state.m_pFindReplaceDlg, nullptr);
  EXPECT_EQ(state.m_hWndFindOwner, nullptr);

  // A dialog owned by no window is closed by the grid it works for.
  CGXGridWnd* g3 = MakeGrid(5, 3);
  auto* free = new CFindReplaceDialog;
  ASSERT_TRUE(free->Create(FALSE, "x", "y"));
  state.m_pFindReplaceDlg = free;
  state.m_hWndFindDlg = free->m_hWnd;
  state.m_hWndFindOwner = *g3;
  const HWND freeWnd = free->m_hWnd;
  g3->DestroyWindow();
  Pump();
  EXPECT_FALSE(IsWindow(freeWnd));
  EXPECT_EQ(state.m_pFindReplaceDlg, nullptr);
}

TEST_F(LifetimeTest, FocusMovingToAndFromTheGridsOwnChildIsNoFocusChange) {
  auto* g = MakeGrid<RecordingGrid>(5, 3);
  HWND other = CreateWindowEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 400, 0, 50, 50, nullptr, nullptr, nullptr,
                              nullptr);
  HWND child = CreateWindowEx(0, "GXWND", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, *g, nullptr, nullptr, nullptr);
  SetFocus(other);
  g->focus.clear();
  SetFocus(*g);
  SetFocus(child);  // a cell editor takes the focus: the grid keeps it
  SetFocus(*g);     // and gets it back
  EXPECT_EQ(g->focus, std::vector<BOOL>{TRUE});
  SetFocus(other);
  EXPECT_EQ(g->focus, (std::vector<BOOL>{TRUE, FALSE}));
  DestroyWindow(other);
}

// A grid that notes which window had the focus when its press handler ran.
class PressRecordingGrid : public CGXGridWnd {
 public:
  BOOL OnGridLButtonDown(UINT keys, CPoint pt) override {
    focusAtPress = ::GetFocus();
    return CGXGridWnd::OnGridLButtonDown(keys, pt);
  }
  HWND focusAtPress = nullptr;
};

TEST_F(LifetimeTest, APressTakesTheFocusFirstUnlessTheGridsOwnChildHasIt) {
  auto* g = MakeGrid<PressRecordingGrid>(5, 3);
  HWND other = CreateWindowEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 400, 0, 50, 50, nullptr, nullptr, nullptr,
                              nullptr);
  auto& in = plat::InputRouter::Instance();
  SetFocus(other);
  in.Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(*g, 125, 50));
  Pump();
  EXPECT_EQ(g->focusAtPress, g->m_hWnd);
  // An editor window inside the grid still has the focus when the grid's press handler runs.
  HWND child = CreateWindowEx(0, "GXWND", "", WS_CHILD | WS_VISIBLE, 250, 250, 20, 20, *g, nullptr, nullptr,
                              nullptr);
  SetFocus(child);
  in.Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(*g, 125, 90));
  Pump();
  EXPECT_EQ(g->focusAtPress, child);
  DestroyWindow(other);
}

// A plug-in that notes the messages it is offered and ends or cuts short the walk for chosen ones.
class NotingPlugin : public CGXPluginComponent {
 public:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
    if (message != WM_TIMER) return FALSE;
    seen.push_back(static_cast<UINT>(wParam));
    if (wParam == handleId) {
      m_bExitMessage = TRUE;
      *result = 42;
      return TRUE;
    }
    if (wParam == skipId) m_bSkipDefault = TRUE;
    return FALSE;
  }
  std::vector<UINT> seen;
  WPARAM handleId = 0, skipId = 0;
};

TEST_F(LifetimeTest, PluginsSeeTheMessagesInOrderUntilOneHandlesThem) {
  CGXGridWnd* g = CreateUninitialised(grid);
  auto* first = new NotingPlugin;
  auto* second = new NotingPlugin;
  g->AddPlugin(first);
  g->AddPlugin(second);
  SendMessage(*g, WM_TIMER, 5, 0);  // not set up yet: nobody is asked
  EXPECT_TRUE(first->seen.empty());
  g->InitializeFromStyle();
  first->handleId = 7;
  first->skipId = 8;
  EXPECT_EQ(SendMessage(*g, WM_TIMER, 7, 0), 42);  // handled: the plug-in's answer, the second not asked
  SendMessage(*g, WM_TIMER, 8, 0);                 // the others skipped
  SendMessage(*g, WM_TIMER, 9, 0);                 // everyone
  EXPECT_EQ(first->seen, (std::vector<UINT>{7, 8, 9}));
  EXPECT_EQ(second->seen, std::vector<UINT>{9});
}

class NotedStatic : public CGXStatic {
 public:
  using CGXStatic::CGXStatic;
  void RefreshSysColors() override { ++colourRefreshes; }
  void OnSettingsChanged(UINT flag) override { settings.push_back(flag); }
  int colourRefreshes = 0;
  std::vector<UINT> settings;
};

TEST_F(LifetimeTest, ColourAndSettingChangesReachEveryRegisteredControl) {
  CGXGridWnd* g = MakeGrid(5, 3);
  auto* a = new NotedStatic(g);
  auto* b = new NotedStatic(g);
  g->AddCellControl(GX_IDS_CTRL_STATIC, a);
  g->AddCellControl(GX_IDS_CTRL_HEADER, b);
  SendMessage(*g, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(a->colourRefreshes, 1);
  EXPECT_EQ(b->colourRefreshes, 1);
  ValidateRect(*g, nullptr);
  SendMessage(*g, WM_SETTINGCHANGE, 3, 0);
  EXPECT_EQ(a->settings, std::vector<UINT>{3});
  EXPECT_EQ(b->settings, std::vector<UINT>{3});
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(*g, &update, FALSE));  // the whole window paints again
  EXPECT_EQ(CRect(update), CRect(0, 0, 400, 300));
}

TEST_F(LifetimeTest, ActivateOnClickTakesTheFocusForAViewOnlyWhenSwitchedOn) {
  GridView view;
  ASSERT_TRUE(view.CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  view.Initialize();
  HWND other = CreateWindowEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 400, 0, 50, 50, nullptr, nullptr, nullptr,
                              nullptr);
  SetFocus(other);
  LRESULT result = 0;
  EXPECT_FALSE(view.OnGridMouseActivate(&view, HTCLIENT, WM_LBUTTONDOWN, &result));  // switch off
  EXPECT_EQ(GetFocus(), other);
  view.GetParam()->m_bActivateOnClick = TRUE;
  EXPECT_FALSE(view.OnGridMouseActivate(&view, HTCAPTION, WM_LBUTTONDOWN, &result));  // not the client area
  ASSERT_TRUE(view.OnGridMouseActivate(&view, HTCLIENT, WM_LBUTTONDOWN, &result));
  EXPECT_EQ(result, MA_ACTIVATEANDEAT);
  EXPECT_EQ(GetFocus(), view.m_hWnd);
  // With the focus already in the view the click is not eaten.
  EXPECT_FALSE(view.OnGridMouseActivate(&view, HTCLIENT, WM_LBUTTONDOWN, &result));
  // A grid window that is no view never eats the click.
  CGXGridWnd* g = MakeGrid(5, 3);
  g->GetParam()->m_bActivateOnClick = TRUE;
  SetFocus(other);
  EXPECT_FALSE(g->OnGridMouseActivate(g, HTCLIENT, WM_LBUTTONDOWN, &result));
  DestroyWindow(other);
  view.DestroyWindow();
}

TEST_F(LifetimeTest, SettingChangeReloadsTheSeparatorsOnlyWhenFollowingTheLocale) {
  CGXGridWnd* g = MakeGrid(5, 3);
  CGXGridGlobals& globals = CGXGridGlobals::Get();
  plat::SetUserDefaultLocale(0x0407);  // de-DE
  SendMessage(*g, WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(globals.m_cDecimalSeparator, '.');
  globals.m_bFollowLocale = TRUE;
  SendMessage(*g, WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(globals.m_cDecimalSeparator, ',');
  EXPECT_EQ(globals.m_cThousandSeparator, '.');
  // Back to the library's state after start-up.
  globals.m_bFollowLocale = FALSE;
  globals.m_cDecimalSeparator = '.';
  globals.m_cThousandSeparator = ',';
  plat::SetRuntimeNumericLocaleToUser(false);
  plat::SetUserDefaultLocale(0x0409);
}

TEST_F(LifetimeTest, ScrollBarOfARegisteredParentServesAGridWithoutItsOwn) {
  SharedBarParent sheet("GXLifetimeSheet");
  ASSERT_TRUE(sheet.created);
  HWND parent = sheet.hwnd;
  CScrollBar& bar = sheet.bar;
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200, 0, parent);
  EXPECT_TRUE(g->IsRegisteredParent());
  EXPECT_EQ(g->GetSharedScrollBar(SB_VERT), &bar);
  EXPECT_EQ(g->GetSharedScrollBar(SB_HORZ), nullptr);  // the parent has no horizontal one
  // A grid with its own vertical bar keeps it.
  std::unique_ptr<CGXGridWnd> own;
  auto* g2 = new CGXGridWnd;
  own.reset(g2);
  ASSERT_TRUE(g2->CreateEx(0, "GXWND", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 100, 100, parent, nullptr));
  EXPECT_EQ(g2->GetSharedScrollBar(SB_VERT), nullptr);
  own.reset();
  grid.reset();
  bar.DestroyWindow();
  DestroyWindow(parent);
}


// Every setting that no layout archive carries, set away from its default.
void SetEveryRunTimeSetting(CGXGridParam& p) {
  p.m_bHeaderMarking = p.m_bActivateOnClick = p.m_bKeepsCurrentSelRange = TRUE;
  p.m_bInitialCurrentCell = p.m_bZoomDisabled = TRUE;
  p.m_nInitialCurrentRow = p.m_nInitialCurrentCol = 7;
  p.m_bSmartResize = FALSE;
  p.m_bHintCurrentCellMoves = p.m_bCurrentCellJoinsSelection = p.m_bSkipEnterRedraw = TRUE;
  p.m_bFrozenScroll = FALSE;
  p.m_bClearSelectionOnMove = p.m_bFillEnabled = TRUE;
  p.m_bThumbTrack = FALSE;
  p.m_nGridLinePosition = 1;
  p.m_nGridLineStyle = PS_DOT;
  p.m_bCurrentCellFrame = p.m_bInvertSelection = FALSE;
  p.m_bInvertCurrentCellToo = p.m_bOldDrawing = TRUE;
  p.m_nPreloadStyles = 1;
  p.m_bNoControlFrame = p.m_bNoInnerRectCorrection = p.m_bPasteStyles = p.m_bEditUnformatted = TRUE;
  p.m_dwRenameSheet = 0;
  p.m_bLockUpdate = p.m_bCutPending = TRUE;
  p.m_copiedRanges.AddTail(new CGXRange(1, 1));
  p.m_nTransactionLevel = 2;
  p.m_wRemoveRowsUndoFlags = p.m_wRemoveColsUndoFlags = 0;
  p.m_bNotExecutingCommand = FALSE;
  p.m_bHeaderMarkingLocked = TRUE;
  p.m_nDropDownHeight = 250;
  p.m_keyMaps.push_back(std::make_unique<CMapStringToString>());
  p.m_keyMaps.back()->SetAt("1", "1\tRed");
  p.m_displayMaps.push_back(nullptr);
  p.m_nChoiceMapChangeCount = 3;
  p.m_nFreezeRowsDest = p.m_nFreezeRowsCount = p.m_nFreezeRowsFirst = 3;
  p.m_nFreezeColsDest = p.m_nFreezeColsCount = p.m_nFreezeColsFirst = 4;
  p.m_bLastSortAscending = p.m_bSortRowsByHeader = p.m_bSortColsByHeader = p.m_bSelectionFrame = TRUE;
  p.m_bUnhideColsByHide = TRUE;
}

// FNV-1a, enough to pin the bytes of a layout.
uint32_t Fingerprint(const std::vector<BYTE>& bytes) {
  uint32_t h = 2166136261u;
  for (BYTE b : bytes) h = (h ^ b) * 16777619u;
  return h;
}

TEST_F(LifetimeTest, SavedLayoutsAreByteIdenticalWhateverTheRunTimeSettings) {
  gx::RegisterGridLayouts();
  HINSTANCE module = plat::ResourceTable::ModuleHandle("grid");
  // The layouts' sizes and fingerprints as the program has always saved them.
  const std::map<std::string, std::pair<size_t, uint32_t>> pinned = {
      {"BOARDLIST", {2141, 0x07FE2CE7u}}, {"1148", {2071, 0x8DC8831Bu}}, {"1149", {2064, 0xC58852C9u}},
      // The wizard pages' probe and via grids.
      {"1146", {2302, 0x9AF21620u}}, {"1155", {2564, 0xF9B5BB92u}}, {"1160", {2544, 0xA924A2FBu}},
      {"1161", {2565, 0x06B509C5u}}, {"1170", {2582, 0xBD39A297u}}, {"1023", {2368, 0x9792F726u}},
      // The decoupling groups dialog.

      {"1180", {2111, 0x49638251u}},
      // The capacitor table.
      {"1036", {2171, 0x7AA1DCF1u}}};
  for (const gx::LayoutDefinition& def : gx::LayoutDefinitions()) {
    const std::string label = def.name ? def.name : std::to_string(def.id);
    LPCTSTR name = def.name ? def.name : MAKEINTRESOURCE(def.id);
    HRSRC res = FindResource(module, name, "GXLAYOUT");
    ASSERT_NE(res, nullptr) << label;
    HGLOBAL loaded = LoadResource(module, res);
    const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    const std::vector<BYTE> raw(bytes, bytes + SizeofResource(module, res));
    FreeResource(loaded);
    ASSERT_EQ(pinned.count(label), 1u) << label;
    EXPECT_EQ(raw.size(), pinned.at(label).first) << label;
    EXPECT_EQ(Fingerprint(raw), pinned.at(label).second) << label;
    std::unique_ptr<CGXGridParam> p(LoadGridParamLayout(name));
    ASSERT_NE(p, nullptr) << label;
    EXPECT_EQ(gx::WriteObjectToBytes(p.get()), raw) << label;
    SetEveryRunTimeSetting(*p);
    EXPECT_EQ(gx::WriteObjectToBytes(p.get()), raw) << label;
    // A copy carries the settings but not the state of the source's grids and clipboard.
    CGXGridParam copy;
    copy = *p;
    EXPECT_EQ(gx::WriteObjectToBytes(&copy), raw) << label;
    // The drop-down height travels; the choice-map caches start empty and are rebuilt on demand.
    EXPECT_EQ(copy.m_nDropDownHeight, 250) << label;
    EXPECT_TRUE(copy.m_keyMaps.empty() && copy.m_displayMaps.empty()) << label;
    EXPECT_EQ(copy.m_nChoiceMapChangeCount, 0) << label;
  }
}


TEST_F(LifetimeTest, AParameterCopyTakesTheSettingsButNotTheStateOfTheSourcesGrids) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  CGXGridParam* source = g->GetParam();
  source->m_dwRenameSheet = 0;
  source->m_bMarkingEnabled = TRUE;
  source->m_bCutPending = TRUE;
  source->m_copiedRanges.AddTail(new CGXRange(2, 2));
  CGXStyle marked;
  g->ComposeCellStyle(2, 2, marked, TRUE);
  EXPECT_EQ(marked.GetInterior().GetPattern(), 17u);
  g->LockUpdate(TRUE);
  auto* copy = new CGXGridParam;
  *copy = *source;
  g->LockUpdate(FALSE);
  CGXGridWnd second;
  ASSERT_TRUE(second.CreateEx(0, "GXWND", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
  second.AttachParam(copy, TRUE);
  second.InitializeFromStyle();
  EXPECT_EQ(second.SendMessage(0x0790, 0, 0), 0);  // the setting travelled
  EXPECT_FALSE(second.IsLockUpdate());                // the lock did not
  CGXStyle plain;
  second.ComposeCellStyle(2, 2, plain, TRUE);          // nor the pending cut
  EXPECT_NE(plain.GetInterior().GetPattern(), 17u);
  second.DestroyWindow();
}

TEST_F(LifetimeTest, StartUpRegistersTheAttributesCommonToEveryControl) {
  CGXStylesMap map;
  CGXControlFactory().RegisterAllUserAttributes(map);
  const auto& attributes = map.GetUserAttributeMap();
  ASSERT_EQ(attributes.count(GX_IDS_UA_VALID_MIN), 1u);
  EXPECT_EQ(attributes.at(GX_IDS_UA_VALID_MIN)->name, "Valid: Min. Value");
  EXPECT_EQ(attributes.count(GX_IDS_UA_VALID_MSG), 1u);
  EXPECT_EQ(attributes.count(51022), 1u);  // and the factory's own after them
}

// A static cell that can be put into the editing state.
struct EditingStatic : CGXStatic {
  using CGXStatic::CGXStatic;
  void SetEditingState(BOOL b) override { editing = b; }
  BOOL GetEditingState() const override { return editing; }
  BOOL editing = FALSE;
};

TEST_F(LifetimeTest, TheGridsStylesOnTheClipboardTakePrecedenceWhenTheParameterObjectSaysSo) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  auto* control = new EditingStatic(g);
  g->AddCellControl(9002, control);
  control->InitForCell(2, 2);
  control->SetEditingState(TRUE);
  const UINT styles = CGXGridGlobals::Get().m_nStylesClipboardFormat;
  ASSERT_NE(styles, 0u);
  ASSERT_TRUE(OpenClipboard(*g));
  EmptyClipboard();
  auto put = [](UINT format, const char* text) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(GlobalLock(h), text, std::strlen(text) + 1);
    GlobalUnlock(h);
    SetClipboardData(format, h);
  };
  put(CF_TEXT, "pasted");
  put(styles, "styles");
  CloseClipboard();
  EXPECT_TRUE(control->CanPasteFromClipboard());
  g->GetParam()->m_bPasteStyles = TRUE;
  EXPECT_FALSE(control->CanPasteFromClipboard());
  EXPECT_FALSE(control->PasteFromClipboard());
}

}  // namespace
}  // namespace enginetest
