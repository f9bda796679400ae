// The sheet-tab window and its beam: attaching and activating sheets, refusals, the splitter, the scroll
// buttons, selection messages, renaming in place, per-tab scroll state, geometry and deleting tabs.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/extras/CGXTabWnd.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/display/ReferenceImage.h"

namespace {

using extrastest::ExtrasTest;
using Log = std::vector<std::string>;

// A sheet that records the tab window's messages and answers 1938 as told.
class RecordingSheet : public CWnd {
 public:
  RecordingSheet(CWnd* parent, Log& log, std::string name) : m_log(log), m_name(std::move(name)) {
    CreateEx(0, "GXWND", "", WS_CHILD, 0, 0, 10, 10, parent->m_hWnd, nullptr);
  }
  ~RecordingSheet() override {
    if (m_hWnd) DestroyWindow();
  }
  LRESULT refuse = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case gxtab::kAttached:
      case gxtab::kRenamed:
      case gxtab::kRefuseChange:
      case gxtab::kMayRename:
        m_log.push_back(m_name + " " + std::to_string(message) + " " + std::to_string(wParam));
        return message == gxtab::kRefuseChange ? refuse : 1;
      default: return CWnd::WindowProc(message, wParam, lParam);
    }
  }

 private:
  Log& m_log;
  std::string m_name;
};

// A parent that records what a beam tells it, answering 1927 as told.
class BeamParent : public CWnd {
 public:
  BeamParent() { CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 60, nullptr, nullptr); }
  ~BeamParent() override {
    if (m_hWnd) DestroyWindow();
  }
  Log log;
  LRESULT answer = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= gxtab::kSelected && message <= gxtab::kResizing) {
      log.push_back(std::to_string(message) + " " + std::to_string(wParam));
      return message == gxtab::kCanSelect ? answer : 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class TabWndTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    // The start-up registers "GxMdiFrame" once per process; the window system's reset between tests drops it.
    WNDCLASS wc{};
    if (!GetClassInfo(AfxGetInstanceHandle(), "GxMdiFrame", &wc)) {
      wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
      wc.lpfnWndProc = DefWindowProc;
      wc.hInstance = AfxGetInstanceHandle();
      wc.lpszClassName = "GxMdiFrame";
      RegisterClass(&wc);
    }
    host = std::make_unique<extrastest::NotifyParent>();
    tabs = std::make_unique<CGXTabWnd>();
    tabs->Create(host.get(), WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 300, CRect(0, 0, 400, 300));
  }
  void TearDown() override {
    tabs.reset();
    sheets.clear();
    host.reset();
    ExtrasTest::TearDown();
  }
  RecordingSheet* AddSheet(const std::string& name) {
    sheets.push_back(std::make_unique<RecordingSheet>(tabs.get(), log, name));
    tabs->AttachWindow(sheets.back().get(), name.c_str());
    return sheets.back().get();
  }
  // A screen point in the beam at its client (x, middle).
  POINT BeamPoint(int x) { return At(tabs->GetBeam().m_hWnd, x, tabs->GetBeam().GetBeamHeight() / 2); }
  POINT TabPoint(int tab) {
    CGXTabBeam& beam = tabs->GetBeam();
    return BeamPoint(beam.GetTabLeft(tab) + beam.GetMargin() + beam.GetTab(tab).nWidth / 2);
  }
  Log Take() {
    Log taken;
    taken.swap(log);
    return taken;
  }

  Log log;
  std::unique_ptr<extrastest::NotifyParent> host;
  std::unique_ptr<CGXTabWnd> tabs;
  std::vector<std::unique_ptr<RecordingSheet>> sheets;
};

TEST_F(TabWndTest, TheFirstAttachedSheetIsActiveAndLaterOnesStayHidden) {
  RecordingSheet* a = AddSheet("A");
  RecordingSheet* b = AddSheet("B");
  RecordingSheet* c = AddSheet("C");
  EXPECT_EQ(tabs->GetActivePane(), a);
  EXPECT_EQ(tabs->GetBeam().GetCurrentTab(), 0);
  EXPECT_TRUE(a->IsWindowVisible());
  EXPECT_FALSE(b->IsWindowVisible());
  EXPECT_FALSE(c->IsWindowVisible());
  EXPECT_EQ(Take(), (Log{"A 1935 0", "B 1935 1", "C 1935 2"}));
  // The sheet fills the inside rectangle: the client less the bottom strip and the vertical bar.
  CRect r;
  a->GetWindowRect(&r);
  tabs->ScreenToClient(&r);
  EXPECT_EQ(r, tabs->GetInsideRect());
  EXPECT_EQ(tabs->GetInsideRect().bottom, 300 - tabs->GetBottomStripHeight());
}

TEST_F(TabWndTest, ClickingATabActivatesItsSheetUnlessASheetRefuses) {
  RecordingSheet* a = AddSheet("A");
  RecordingSheet* b = AddSheet("B");
  Take();
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, TabPoint(1));
  Pump();
  EXPECT_EQ(tabs->GetActivePane(), b);
  EXPECT_EQ(tabs->GetBeam().GetCurrentTab(), 1);
  EXPECT_TRUE(b->IsWindowVisible());
  EXPECT_FALSE(a->IsWindowVisible());
  EXPECT_EQ(Take(), (Log{"A 1938 0", "B 1938 1"}));
  // The active sheet refuses to be left: its tab stays current.
  plat::VirtualClock::Advance(1000);  // no double click
  b->refuse = 1;
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, TabPoint(0));
  Pump();
  EXPECT_EQ(tabs->GetActivePane(), b);
  EXPECT_EQ(tabs->GetBeam().GetCurrentTab(), 1);
  EXPECT_EQ(Take(), (Log{"B 1938 0"}));
  // The new sheet refuses to be entered: the same.
  b->refuse = 0;
  a->refuse = 1;
  plat::VirtualClock::Advance(1000);
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, TabPoint(0));
  Pump();
  EXPECT_EQ(tabs->GetActivePane(), b);
  EXPECT_EQ(Take(), (Log{"B 1938 0", "A 1938 1"}));
}

TEST_F(TabWndTest, TheSplitterStopsAtTheButtonsPlusTwentyPixels) {
  AddSheet("A");
  const int start = tabs->GetSplitterPos();
  EXPECT_EQ(start, 200);  // half the client width until moved
  const int y = 300 - tabs->GetBottomStripHeight() / 2;
  auto& input = plat::InputRouter::Instance();
  input.ButtonDown(plat::MouseButton::Left, At(tabs->m_hWnd, start + 3, y));
  input.MouseMove(At(tabs->m_hWnd, 120, y));
  Pump();
  EXPECT_EQ(tabs->GetSplitterPos(), 119);
  input.MouseMove(At(tabs->m_hWnd, 5, y));
  Pump();
  EXPECT_EQ(tabs->GetSplitterPos(), tabs->GetBeam().GetButtonAreaWidth() + 20);
  input.MouseMove(At(tabs->m_hWnd, 399, y));
  Pump();
  EXPECT_EQ(tabs->GetSplitterPos(), 400 - 2 * tabs->GetBottomStripHeight());
  input.ButtonUp(plat::MouseButton::Left, At(tabs->m_hWnd, 399, y));
  Pump();
  // The beam and the scroll bar follow the splitter.
  CRect beam, bar;
  tabs->GetBeam().GetWindowRect(&beam);
  tabs->ScreenToClient(&beam);
  tabs->GetScrollBar(SB_HORZ).GetWindowRect(&bar);
  tabs->ScreenToClient(&bar);
  EXPECT_EQ(beam.right, tabs->GetSplitterPos() + 1);
  EXPECT_EQ(bar.left, tabs->GetSplitterPos() + 6 - 1);
}

TEST_F(TabWndTest, WithOneTabBothButtonsAreDisabledAndDrawGreyArrows) {
  AddSheet("Only");
  CGXTabBeam& beam = tabs->GetBeam();
  EXPECT_FALSE(beam.CanScroll(gxtab::kPrevious));
  EXPECT_FALSE(beam.CanScroll(gxtab::kNext));
  EXPECT_EQ(beam.ButtonFromPoint(3, 3, -1, FALSE), -1);
  plat::Desktop::PaintAll();
  auto image = plat::Desktop::Capture(beam.m_hWnd);
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match =
      plat::MatchReferenceImage(*image, "grid/extras/tests/reference/tabbeam-one-tab.png");
  EXPECT_TRUE(match.Matches()) << match.message;
  // Many tabs: the right button scrolls until the last tab shows, the left one back.
  for (int i = 0; i < 12; ++i) AddSheet("Sheet " + std::to_string(i));
  EXPECT_TRUE(beam.CanScroll(gxtab::kNext));
  EXPECT_FALSE(beam.CanScroll(gxtab::kPrevious));
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, BeamPoint(beam.GetButtonAreaWidth() - 3));
  Pump();
  EXPECT_EQ(beam.GetFirstTab(), 1);
  EXPECT_TRUE(beam.CanScroll(gxtab::kPrevious));
  plat::VirtualClock::Advance(1000);
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, BeamPoint(3));
  Pump();
  EXPECT_EQ(beam.GetFirstTab(), 0);
}

TEST_F(TabWndTest, ThemedTheBeamAsksForButtonAndHeaderParts) {
  plat::RecordingThemeProvider provider;
  UseThemeProvider(&provider);
  AddSheet("One");
  AddSheet("Two");
  provider.log.clear();
  tabs->GetBeam().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  auto logged = [&](const std::string& entry) {
    return std::find(provider.log.begin(), provider.log.end(), entry) != provider.log.end();
  };
  EXPECT_TRUE(logged("background BUTTON 1 4"));  // both buttons disabled: the tabs fit
  EXPECT_TRUE(logged("background HEADER 1 1"));  // the strip right of the buttons
  EXPECT_TRUE(logged("background HEADER 1 2"));  // the current tab
  UseThemeProvider(nullptr);
}

TEST_F(TabWndTest, TabFromXAndGetTabLeftAgree) {
  for (int i = 0; i < 8; ++i) AddSheet(std::string(static_cast<size_t>(i + 1), 'W'));
  CGXTabBeam& beam = tabs->GetBeam();
  for (int first : {0, 2}) {
    while (beam.GetFirstTab() < first) beam.ScrollTabs(gxtab::kNext);
    ASSERT_EQ(beam.GetFirstTab(), first);
    EXPECT_EQ(beam.GetTabLeft(first), beam.GetButtonAreaWidth() + 1);
    for (int i = first; i < beam.GetCount(); ++i) {
      const int left = beam.GetTabLeft(i), span = beam.GetTab(i).nWidth + beam.GetMargin();
      EXPECT_EQ(beam.TabFromX(left), i);
      EXPECT_EQ(beam.TabFromX(left + span - 1), i);
      EXPECT_EQ(beam.GetTabLeft(i + 1 < beam.GetCount() ? i + 1 : i) - left, i + 1 < beam.GetCount() ? span : 0);
    }
    const int end = beam.GetTabLeft(beam.GetCount() - 1) + beam.GetTab(beam.GetCount() - 1).nWidth + beam.GetMargin();
    EXPECT_EQ(beam.TabFromX(end), -1);
    if (first > 0) {
      EXPECT_LT(beam.GetTabLeft(first - 1), beam.GetTabLeft(first));
    }
  }
}

TEST_F(TabWndTest, ClickingTheCurrentTabStillAsksAndPostsTheSelection) {
  BeamParent parent;
  CGXTabBeam beam;
  ASSERT_TRUE(beam.Create(WS_VISIBLE, CRect(0, 0, 400, 20), &parent, 1));
  beam.InsertTab(FALSE, "One", nullptr, FALSE, -1, 0);
  beam.InsertTab(FALSE, "Two", nullptr, FALSE, -1, 0);
  EXPECT_EQ(beam.GetCurrentTab(), 0);
  const POINT one = At(beam.m_hWnd, beam.GetTabLeft(0) + 12, 5);
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, one);
  Pump();
  EXPECT_EQ(parent.log, (Log{"1927 0", "1925 0"}));
  parent.log.clear();
  // A refusal keeps the current tab and still posts it.
  parent.answer = 1;
  plat::VirtualClock::Advance(1000);
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, At(beam.m_hWnd, beam.GetTabLeft(1) + 12, 5));
  Pump();
  EXPECT_EQ(beam.GetCurrentTab(), 0);
  EXPECT_EQ(parent.log, (Log{"1927 1", "1925 0"}));
  parent.log.clear();
  // A double click on a tab asks for the rename of the current tab.
  parent.answer = 0;
  plat::VirtualClock::Advance(1000);
  plat::InputRouter::Instance().DoubleClick(plat::MouseButton::Left, At(beam.m_hWnd, beam.GetTabLeft(1) + 12, 5));
  Pump();
  EXPECT_EQ(beam.GetCurrentTab(), 1);
  ASSERT_FALSE(parent.log.empty());
  EXPECT_EQ(parent.log.back(), "1926 1");
}

TEST_F(TabWndTest, ADoubleClickRenamesInPlaceEnterKeepsEscCancels) {
  // A grid as the sheet: its parameter object takes the new name through the sheet-tab interface.
  auto* grid = new CGXGridWnd;
  ASSERT_TRUE(grid->CreateEx(0, "GXWND", "", WS_CHILD, 0, 0, 10, 10, tabs->m_hWnd, nullptr));
  grid->InitializeFromStyle();
  AddSheet("A");
  tabs->AttachWindow(grid, "Grid");
  plat::InputRouter::Instance().DoubleClick(plat::MouseButton::Left, TabPoint(1));
  Pump();
  ASSERT_NE(tabs->GetRenamePopup(), nullptr);
  CString text;
  tabs->GetRenamePopup()->GetWindowText(text);
  EXPECT_EQ(text, "Grid");
  plat::InputRouter::Instance().KeyPress(VK_END);
  plat::InputRouter::Instance().TypeText(" 2");
  plat::InputRouter::Instance().KeyPress(VK_RETURN);
  Pump();
  EXPECT_EQ(tabs->GetRenamePopup(), nullptr);
  EXPECT_EQ(tabs->GetTabNameOfWindow(grid), "Grid 2");
  EXPECT_EQ(grid->GetParam()->m_sName, "Grid 2");
  // Esc leaves the name as it was.
  plat::VirtualClock::Advance(1000);
  plat::InputRouter::Instance().DoubleClick(plat::MouseButton::Left, TabPoint(1));
  Pump();
  ASSERT_NE(tabs->GetRenamePopup(), nullptr);
  plat::InputRouter::Instance().TypeText("xyz");
  plat::InputRouter::Instance().KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_EQ(tabs->GetRenamePopup(), nullptr);
  EXPECT_EQ(tabs->GetTabNameOfWindow(grid), "Grid 2");
  // The interface reads and sets names for other code.
  CString name;
  ASSERT_NE(CGXGridGlobals::Get().m_pTabWndInt, nullptr);
  EXPECT_TRUE(CGXGridGlobals::Get().m_pTabWndInt->TabName(grid, name, FALSE));
  EXPECT_EQ(name, "Grid 2");
  name = "Costs";
  EXPECT_TRUE(CGXGridGlobals::Get().m_pTabWndInt->TabName(grid, name, TRUE));
  EXPECT_EQ(tabs->GetTabNameOfWindow(grid), "Costs");
  grid->DestroyWindow();
  delete grid;
}

TEST_F(TabWndTest, EachSheetKeepsItsScrollStateBehindItsTab) {
  std::vector<CGXGridWnd*> grids;
  for (int i = 0; i < 2; ++i) {
    auto* g = new CGXGridWnd;
    ASSERT_TRUE(g->CreateEx(0, "GXWND", "", WS_CHILD, 0, 0, 10, 10, tabs->m_hWnd, nullptr));
    g->InitializeFromStyle();
    g->SetRowCount(200, 0);
    g->SetColCount(30, 0);
    tabs->AttachWindow(g, i == 0 ? "One" : "Two");
    grids.push_back(g);
  }
  Pump();
  // The grids use the tab window's bars.
  EXPECT_EQ(static_cast<CWnd*>(grids[0])->GetScrollBarCtrl(SB_VERT), &tabs->GetScrollBar(SB_VERT));
  const int topPos = tabs->GetScrollBar(SB_VERT).GetScrollPos();
  grids[0]->SetTopRow(50);
  Pump();
  const int onePos = tabs->GetScrollBar(SB_VERT).GetScrollPos();
  EXPECT_GT(onePos, topPos);
  tabs->ActivateTab(grids[1]);
  Pump();
  EXPECT_EQ(tabs->GetScrollBar(SB_VERT).GetScrollPos(), topPos);
  tabs->ActivateTab(grids[0]);
  Pump();
  EXPECT_EQ(tabs->GetScrollBar(SB_VERT).GetScrollPos(), onePos);
  EXPECT_EQ(grids[0]->GetTopRow(), 50u);
  for (CGXGridWnd* g : grids) {
    g->DestroyWindow();
    delete g;
  }
}

TEST_F(TabWndTest, WindowsOfTheRegisteredClassesGetTheirObjectsOnTheFirstMessage) {
  // As dialog-template controls: made by class name, the objects come with the first message and go with
  // the windows (the leak check sees to the second).
  CGXTabWnd::RegisterWindowClass(AfxGetInstanceHandle());
  CGXTabBeam::RegisterWindowClass(AfxGetInstanceHandle());
  HWND tabWnd = CreateWindowEx(0, "CGXTabWnd", "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 300, 200,
                               host->m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
  HWND beamWnd = CreateWindowEx(0, "CGXTabBeam", "", WS_CHILD | WS_VISIBLE, 0, 200, 300, 20, host->m_hWnd, nullptr,
                                AfxGetInstanceHandle(), nullptr);
  ASSERT_TRUE(tabWnd && beamWnd);
  auto* made = dynamic_cast<CGXTabWnd*>(CWnd::FromHandlePermanent(tabWnd));
  ASSERT_NE(made, nullptr);
  EXPECT_NE(dynamic_cast<CGXTabBeam*>(CWnd::FromHandlePermanent(beamWnd)), nullptr);
  // Its children come with the first layout.
  made->RecalcLayout();
  EXPECT_NE(GetDlgItem(tabWnd, 0xEA00), nullptr);
  EXPECT_NE(GetDlgItem(tabWnd, 0xEA10), nullptr);
  EXPECT_NE(GetDlgItem(tabWnd, 0xEA01), nullptr);
  DestroyWindow(tabWnd);
  DestroyWindow(beamWnd);
}

TEST_F(TabWndTest, DeletingTabsKeepsTheRightTabCurrent) {
  RecordingSheet* a = AddSheet("A");
  RecordingSheet* b = AddSheet("B");
  RecordingSheet* c = AddSheet("C");
  tabs->ActivateTab(c);
  EXPECT_EQ(tabs->GetBeam().GetCurrentTab(), 2);
  // A tab before the current one: the same tab stays current.
  tabs->DeleteTab(0);
  EXPECT_EQ(tabs->GetBeam().GetCurrentTab(), 1);
  EXPECT_EQ(tabs->GetActivePane(), c);
  // The current tab: tab 0 becomes current and its sheet active.
  tabs->DeleteTab(1);
  EXPECT_EQ(tabs->GetBeam().GetCurrentTab(), 0);
  EXPECT_EQ(tabs->GetActivePane(), b);
  EXPECT_TRUE(b->IsWindowVisible());
  EXPECT_FALSE(c->IsWindowVisible());
  // The last one: none is current.
  tabs->DeleteTab(0);
  EXPECT_EQ(tabs->GetBeam().GetCurrentTab(), -1);
  EXPECT_EQ(tabs->GetActivePane(), nullptr);
  (void)a;
}

TEST_F(TabWndTest, AfterASystemColourChangeATabWithItsOwnColourKeepsItAndTheOthersTakeTheNewFace) {
  AddSheet("A");
  AddSheet("B");
  AddSheet("C");
  CGXTabBeam& beam = tabs->GetBeam();
  ASSERT_EQ(beam.GetCurrentTab(), 0);
  // Tab B has a normal colour of its own, as the application gives it.
  const COLORREF own = RGB(200, 40, 40);
  CGXTabInfo& b = beam.GetTab(1);
  b.clrNormal = own;
  b.brNormal.DeleteObject();
  b.brNormal.CreateSolidBrush(own);
  b.flags |= 1;
  // The face colour changes; the frame passes the change on to the tab window, as to every child.
  const INT index = COLOR_3DFACE;
  const COLORREF green = RGB(0, 160, 0);
  ASSERT_TRUE(SetSysColors(1, &index, &green));
  tabs->SendMessage(WM_SYSCOLORCHANGE);
  plat::Desktop::PaintAll();
  auto image = plat::Desktop::Capture(beam.m_hWnd);
  ASSERT_TRUE(image);
  // Inside each tab, beside its frame and left of its centred name.
  const auto fill = [&](int tab) {
    return plat::colorFromPixel(image->row(2)[beam.GetTabLeft(tab) + beam.GetMargin() + 3]);
  };
  EXPECT_EQ(fill(1), own);
  EXPECT_EQ(fill(2), green);
  EXPECT_EQ(beam.GetTab(1).clrNormal, own);
  EXPECT_EQ(beam.GetTab(2).clrNormal, green);
  plat::ResetSysColorsAndMetrics();
  CGXSysColorTable::Refresh();
}

}  // namespace
