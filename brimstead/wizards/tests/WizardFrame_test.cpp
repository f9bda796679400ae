// The wizard frame: step nodes, the anchor layout, the step list's moves, events, hit-testing and scrolling, the
// colour and geometry setters, the bars' keys, and the pixels of the step list and the title bar.
#include "brimstead/wizards/AnchorLayout.h"
#include "brimstead/wizards/VornWizCtlBar.h"
#include "brimstead/wizards/VornWizTitleBar.h"
#include "brimstead/wizards/VornWizard.h"
#include "brimstead/wizards/WizardResources.h"
#include "brimstead/wizards/tests/WizardTestSupport.h"
#include "platform/display/Desktop.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

#include <cstdlib>
#include <memory>

using namespace wiztest;
using namespace brimwiz;

namespace {

TEST(WizStepNode, HeaderSplitsAtTheFirstLineBreak) {
  struct Case {
    const char* header;
    const char* title;
    const char* description;
  } cases[] = {
      {"Title\r\nLine one\r\nLine two", "Title", "Line one\r\nLine two"},
      {"Only a title", "Only a title", ""},
      {"\r\nNo title", "", "No title"},
      {"Bare\nfeed", "Bare\nfeed", ""},
  };
  for (const Case& c : cases) {
    CWizStepNode step(nullptr);
    step.SetHeader(c.header);
    EXPECT_STREQ(step.GetTitle(), c.title) << c.header;
    EXPECT_STREQ(step.GetDescription(), c.description) << c.header;
    EXPECT_STREQ(step.GetHeader(), c.header);
  }
}

TEST(WizStepNode, StateIsInheritedFromEveryParent) {
  struct Case {
    bool parentEnabled, parentVisible, enabled, visible;
    bool isEnabled, isVisible;
  } cases[] = {
      {true, true, true, true, true, true},     {true, false, true, true, false, false},
      {false, true, true, true, false, true},   {true, true, false, true, false, true},
      {true, true, true, false, false, false},
  };
  for (const Case& c : cases) {
    CWizStepNode grand(nullptr), parent(nullptr), step(nullptr);
    grand.SetVisible(true);
    parent.SetParent(&grand);
    parent.SetEnabled(c.parentEnabled);
    parent.SetVisible(c.parentVisible);
    step.SetParent(&parent);
    step.SetEnabled(c.enabled);
    step.SetVisible(c.visible);
    EXPECT_EQ(step.IsEnabled(), c.isEnabled);
    EXPECT_EQ(step.IsVisible(), c.isVisible);
    EXPECT_EQ(step.GetLevel(), 2);
  }
  CWizStepNode step(nullptr);
  step.SetVisible(true);
  step.SetComplete(true);
  step.SetEnabled(false);
  EXPECT_FALSE(step.IsComplete()) << "disabling clears the complete mark";
}

TEST(AnchorLayout, SpansFollowTheirAnchors) {
  struct Case {
    int flags;
    int delta;
    LONG low, high;
  } cases[] = {
      {AnchorLeft, 30, 10, 50},                 // left only stays put
      {AnchorLeft | AnchorRight, 30, 10, 80},   // both stretch
      {AnchorRight, 30, 40, 80},                // right only moves
      {AnchorTop, 30, 10, 50},                  // another axis: nothing
      {AnchorLeft | AnchorRight, 0, 10, 50},    // no change of size
      {AnchorLeft | AnchorRight, -5, 10, 45},
  };
  for (const Case& c : cases) {
    LONG low = 10, high = 50;
    AnchorSpan(c.flags, AnchorLeft, AnchorRight, c.delta, low, high);
    EXPECT_EQ(low, c.low) << c.flags << " " << c.delta;
    EXPECT_EQ(high, c.high) << c.flags << " " << c.delta;
  }
}

TEST(StepRows, RowsCountFromTheTopMarginWithTheScrollPosition) {
  const CStepRows rows{10, 25};
  EXPECT_EQ(rows.RowAt(9, 0), -1);
  EXPECT_EQ(rows.RowAt(10, 0), 0);
  EXPECT_EQ(rows.RowAt(10, 2), 2) << "the first line of a scrolled list is the scrolled-to row";
  EXPECT_EQ(rows.RowAt(34, 2), 2);
  EXPECT_EQ(rows.RowAt(35, 2), 3);
  // p <= r < p + n is visible; beyond: half a page, at least far enough, within 0 .. t - n.
  struct Case {
    int row, pos, page, total, wanted;
  } cases[] = {
      {8, 0, 7, 9, 2}, {6, 0, 7, 9, 0}, {7, 0, 7, 20, 3}, {19, 0, 7, 20, 13},
      {0, 2, 7, 9, 0}, {2, 2, 7, 9, 2}, {1, 5, 4, 20, 1}, {4, 5, 4, 20, 3},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CStepRows::ScrollToShow(c.row, c.pos, c.page, c.total), c.wanted)
        << c.row << " from " << c.pos << " page " << c.page << " of " << c.total;
}

class WizardFrame : public WizardWindowTest {
protected:
  void SetUp() override {
    WizardWindowTest::SetUp();
    CModuleScope scope;   // the templates are the module's
    host = std::make_unique<CDialog>(IDD_WIZARD_DIALOG);
    ASSERT_TRUE(host->Create(IDD_WIZARD_DIALOG));
    frame = std::make_unique<CVornWizard>(host.get());
    ASSERT_TRUE(frame->Create(IDD_WIZ_FRAME, host.get()));
    CRect client;
    host->GetClientRect(&client);
    frame->MoveWindow(&client);
    frame->SetCallback(&WizardFrame::Callback, this);
    frame->SetLayout(TitleHeight(), 200, 4, -1, -1);
    host->ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    while (frame && frame->GetStepCount() > 0)
      frame->RemoveStep(frame->GetPage(0));
    pages.clear();
    frame.reset();
    host.reset();
    WizardWindowTest::TearDown();
  }
  int TitleHeight() const {
    int height = 0;
    frame->GetLayout(&height, nullptr, nullptr, nullptr, nullptr);
    return height;
  }
  static bool Callback(void* user, int code, int argument) {
    auto* self = static_cast<WizardFrame*>(user);
    self->log.push_back("event " + std::to_string(code) + " " + std::to_string(argument));
    return self->answer;
  }
  CWizStepNode* Add(const char* name, bool enabled = true, bool visible = true) {
    pages.push_back(std::make_unique<CRecordingPage>(static_cast<int>(pages.size()), log));
    return frame->AddStep(pages.back().get(), TestPageTemplate, name, "Title\r\nDescription", nullptr, enabled,
                          visible);
  }
  CVornWizTabCtrl& List() { return *frame->GetStepList(); }
  CVornWizCtlBar& Bar() { return *List().GetButtonBar(); }
  HWND Button(int id) { return ::GetDlgItem(Bar().m_hWnd, id); }
  static bool Shown(HWND hwnd) { return (GetWindowLong(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
  // The middle of the row-th line of the step column.
  CPoint RowPoint(int row) {
    int top = 0, line = 0;
    List().GetGeometry(nullptr, nullptr, &top, &line);
    return CPoint(50, top + row * line + line / 2);
  }

  std::unique_ptr<CDialog> host;
  std::unique_ptr<CVornWizard> frame;
  std::vector<std::unique_ptr<CRecordingPage>> pages;
  std::vector<std::string> log;
  bool answer = true;
};

TEST_F(WizardFrame, SelectingMovesThroughThePageNotifications) {
  for (const char* name : {"Start", "Board", "Nets", "Finish"})
    ASSERT_NE(Add(name), nullptr);
  EXPECT_FALSE(frame->SelectStep(-1));
  EXPECT_FALSE(frame->SelectStep(4));
  ASSERT_TRUE(frame->SelectStep(0));
  EXPECT_FALSE(frame->SelectStep(0)) << "the current step is not selected again";
  EXPECT_EQ(log, (std::vector<std::string>{"set 0"}));
  EXPECT_TRUE(Shown(pages[0]->m_hWnd));
  EXPECT_FALSE(Shown(Button(IDC_WIZ_BACK))) << "no Back on the first visible step";
  EXPECT_TRUE(Shown(Button(IDC_WIZ_NEXT)));
  EXPECT_EQ(Text(::GetDlgItem(frame->GetTitleBar()->m_hWnd, IDC_WIZ_TITLE)), "Title");
  EXPECT_EQ(Text(::GetDlgItem(frame->GetTitleBar()->m_hWnd, IDC_WIZ_DESCRIPTION)), "Description");

  log.clear();
  pages[0]->m_bKillAnswer = FALSE;
  EXPECT_FALSE(frame->SelectStep(2));
  EXPECT_EQ(List().GetCurrentIndex(), 0);
  pages[0]->m_bKillAnswer = TRUE;
  pages[2]->m_bSetAnswer = FALSE;
  EXPECT_FALSE(frame->SelectStep(2));
  // The refusing page leaves the old one shown and activated again.
  EXPECT_EQ(log, (std::vector<std::string>{"kill 0", "kill 0", "set 2", "set 0"}));
  EXPECT_EQ(List().GetCurrentIndex(), 0);
  EXPECT_TRUE(Shown(pages[0]->m_hWnd));
  EXPECT_FALSE(Shown(pages[2]->m_hWnd));

  ASSERT_TRUE(frame->SelectStep(3));
  EXPECT_EQ(List().GetPreviousIndex(), 0);
  EXPECT_FALSE(Shown(pages[0]->m_hWnd));
  EXPECT_TRUE(Shown(Button(IDC_WIZ_BACK)));
  EXPECT_FALSE(Shown(Button(IDC_WIZ_NEXT))) << "no Next on the last visible step";
}

TEST_F(WizardFrame, NextAndPreviousSkipStepsThatAreNotEnabled) {
  Add("Start", false);
  Add("One");
  Add("Hidden", true, false);
  Add("Disabled", false);
  Add("Four");
  Add("Last hidden", true, false);
  ASSERT_TRUE(frame->SelectStep(1));
  ASSERT_TRUE(List().NextStep());
  EXPECT_EQ(List().GetCurrentIndex(), 4);
  EXPECT_FALSE(Shown(Button(IDC_WIZ_NEXT))) << "step 4 is the last visible step";
  EXPECT_FALSE(List().NextStep());
  ASSERT_TRUE(List().PreviousStep());
  EXPECT_EQ(List().GetCurrentIndex(), 1);
  ASSERT_TRUE(List().PreviousStep()) << "step 0 is taken whatever its state";
  EXPECT_EQ(List().GetCurrentIndex(), 0);
  // Next shown but disabled on the last enabled step that is not the last visible one.
  frame->GetStepList()->GetStep(5)->SetVisible(true);
  frame->GetStepList()->GetStep(5)->SetEnabled(false);
  ASSERT_TRUE(frame->SelectStep(4));
  EXPECT_TRUE(Shown(Button(IDC_WIZ_NEXT)));
  EXPECT_FALSE(IsWindowEnabled(Button(IDC_WIZ_NEXT)));
}

TEST_F(WizardFrame, BarEventsAskTheCallbackFirst) {
  Add("Start");
  Add("Next");
  struct Case {
    int id;
    bool answer;
    std::vector<std::string> log;
    int current;
  } cases[] = {
      {IDC_WIZ_NEXT, false, {"event 5 0"}, 0},
      {IDC_WIZ_NEXT, true, {"event 5 0", "next 0", "kill 0", "set 1"}, 1},
      {IDC_WIZ_BACK, true, {"event 4 0", "back 1", "kill 1", "set 0"}, 0},
      {IDC_WIZ_FINISH, true, {"event 3 0", "finish 0"}, 0},
      {IDC_WIZ_FINISH, false, {"event 3 0"}, 0},
      {IDCANCEL, false, {"kill 0", "event 0 0"}, 0},
      {IDC_WIZ_HELP, true, {"event 1 0"}, 0},
      {IDC_WIZ_SAVE, true, {"event 2 0"}, 0},
  };
  ASSERT_TRUE(frame->SelectStep(0));
  for (const Case& c : cases) {
    log.clear();
    answer = c.answer;
    ::ShowWindow(Button(c.id), SW_SHOW);
    Click(Button(c.id));
    EXPECT_EQ(log, c.log) << "button " << c.id;
    EXPECT_EQ(List().GetCurrentIndex(), c.current) << "button " << c.id;
  }
  // A page that asks to stay keeps the wizard where it is.
  answer = true;
  pages[0]->m_nNextAnswer = -1;
  EXPECT_FALSE(List().OnWizardBarEvent(WizEventNext, 0));
  pages[0]->m_nNextAnswer = 1;
  EXPECT_TRUE(List().OnWizardBarEvent(WizEventNext, 0));
  EXPECT_EQ(List().GetCurrentIndex(), 0);
}

TEST_F(WizardFrame, WithoutACurrentStepFinishBackAndNextAnswerFalse) {
  Add("Start");
  for (int code : {WizEventFinish, WizEventBack, WizEventNext})
    EXPECT_FALSE(List().OnWizardBarEvent(code, 0)) << code;
  EXPECT_TRUE(List().OnWizardBarEvent(WizEventHelp, 0));
}

TEST_F(WizardFrame, EnterAndEscapeInTheBarsBecomeNextAndCancel) {
  Add("Start");
  ASSERT_TRUE(frame->SelectStep(0));
  log.clear();
  answer = false;
  ::SetFocus(frame->GetTitleBar()->m_hWnd);
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  ::SetFocus(Button(IDC_WIZ_HELP));
  Key(VK_ESCAPE);
  // The frame shares the wizard's tab order: focus given to it goes on to its default button, "Next >", on
  // which Enter moves on (the page hears its kill) and Escape cancels.
  ::SetFocus(frame->m_hWnd);
  EXPECT_EQ(::GetFocus(), Button(IDC_WIZ_NEXT));
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  // The title bar's description is a read-only multi-line edit: the keys still reach the bar.
  ::SetFocus(::GetDlgItem(frame->GetTitleBar()->m_hWnd, IDC_WIZ_DESCRIPTION));
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  EXPECT_EQ(log, (std::vector<std::string>{"event 5 0", "event 0 0", "kill 0", "event 0 0", "event 5 0", "kill 0",
                                           "event 0 0", "event 5 0", "event 0 0"}));
}

TEST_F(WizardFrame, ClicksOnStepsMapThroughTheScrollPosition) {
  // Nine visible steps, seven rows a page: the scroll bar shows range 0..8 with page 7.
  CRect client;
  List().GetClientRect(&client);
  const int line = (client.Height() - 20) / 7;
  frame->SetLayout(TitleHeight(), -1, -1, 10, line);
  for (int i = 0; i < 9; ++i)
    Add(("Step " + std::to_string(i)).c_str());
  ASSERT_TRUE(frame->SelectStep(0));
  Pump();
  ASSERT_TRUE(Shown(List().GetScrollBar()->m_hWnd));
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  List().GetScrollBar()->GetScrollInfo(&info);
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 8);
  EXPECT_EQ(info.nPage, 7u);
  ASSERT_TRUE(frame->SelectStep(8));
  EXPECT_EQ(List().GetScrollBar()->GetScrollPos(), 2) << "half a page, limited by 9 - 7";
  // The first line now shows step 2, the second step 3.
  log.clear();
  ClickAt(List().m_hWnd, RowPoint(0).x, RowPoint(0).y);
  EXPECT_EQ(List().GetCurrentIndex(), 2);
  EXPECT_EQ(log.front(), "event 6 2");
  ClickAt(List().m_hWnd, RowPoint(1).x, RowPoint(1).y);
  EXPECT_EQ(List().GetCurrentIndex(), 3);
  // Back to step 0 scrolls back to show it.
  ASSERT_TRUE(frame->SelectStep(0));
  EXPECT_EQ(List().GetScrollBar()->GetScrollPos(), 0);
  // Right of the column, the list does not answer.
  EXPECT_EQ(List().HitTest(CPoint(199, RowPoint(1).y)), -1) << "the scroll bar takes the column's right edge";
  EXPECT_EQ(List().HitTest(CPoint(10, RowPoint(1).y)), 1);
}

TEST_F(WizardFrame, ClicksOnDisabledCurrentOrMissingStepsChangeNothing) {
  Add("Start");
  Add("Disabled", false);
  Add("Hidden", true, false);
  Add("Three");
  ASSERT_TRUE(frame->SelectStep(0));
  log.clear();
  for (int row : {0, 1, 3, 5})
    ClickAt(List().m_hWnd, RowPoint(row).x, RowPoint(row).y);
  EXPECT_TRUE(log.empty());
  ClickAt(List().m_hWnd, RowPoint(2).x, RowPoint(2).y);
  EXPECT_EQ(List().GetCurrentIndex(), 3) << "hidden steps take no row";
  answer = false;
  ClickAt(List().m_hWnd, RowPoint(0).x, RowPoint(0).y);
  EXPECT_EQ(List().GetCurrentIndex(), 3) << "the callback's refusal stops the click";
}

TEST_F(WizardFrame, TheListHoldsAtMost256Steps) {
  for (int i = 0; i < CVornWizTabCtrl::MaxSteps; ++i)
    ASSERT_NE(frame->AddStep(nullptr, 0, "s", "", nullptr, true, true), nullptr);
  EXPECT_EQ(frame->AddStep(nullptr, 0, "s", "", nullptr, true, true), nullptr);
  EXPECT_EQ(frame->GetStepCount(), 256);
  ASSERT_TRUE(frame->SelectStep(255));
  EXPECT_FALSE(List().NextStep());
}

TEST_F(WizardFrame, ColourAndGeometrySettersKeepWhatTheyAreNotGiven) {
  frame->SetStepColors(RGB(1, 1, 1), StepColorUnchanged, RGB(3, 3, 3), RGB(4, 4, 4), StepColorUnchanged,
                       StepColorAsComplete);
  CWizStepColors colours = List().GetStepColors();
  EXPECT_EQ(colours.highlight, RGB(1, 1, 1));
  EXPECT_EQ(colours.background, RGB(0, 0, 100));
  EXPECT_EQ(colours.current, RGB(3, 3, 3));
  EXPECT_EQ(colours.complete, RGB(4, 4, 4));
  EXPECT_EQ(colours.disabled, RGB(192, 192, 192));
  EXPECT_EQ(colours.incomplete, RGB(4, 4, 4)) << "-2 takes the complete colour just set";

  frame->SetLayout(TitleHeight(), -1, -3, -1, 0);
  int width, left, top, line;
  List().GetGeometry(&width, &left, &top, &line);
  EXPECT_EQ(width, 200);
  EXPECT_EQ(left, 4);
  EXPECT_EQ(top, 10);
  EXPECT_EQ(line, 25);
  // A new width moves the button bar (keeping its right edge) and the scroll bar.
  CRect before, after, scroll;
  Bar().GetWindowRect(&before);
  frame->SetLayout(TitleHeight(), 150, -1, -1, -1);
  Bar().GetWindowRect(&after);
  List().ScreenToClient(&after);
  EXPECT_EQ(after.left, 150);
  EXPECT_EQ(after.right - after.left, before.Width() + 50);
  List().GetScrollBar()->GetWindowRect(&scroll);
  List().ScreenToClient(&scroll);
  EXPECT_EQ(scroll.right, 150);
}

TEST_F(WizardFrame, ResizingKeepsTheBarsAtTheirEdges) {
  Add("Start");
  auto place = [&](int id) {
    CRect r;
    ::GetWindowRect(Button(id), &r);
    Bar().ScreenToClient(&r);
    return r;
  };
  CRect bar;
  Bar().GetClientRect(&bar);
  const int helpGap = bar.right - place(IDC_WIZ_HELP).right;
  const int saveLeft = place(IDC_WIZ_SAVE).left;
  CRect client;
  host->SetWindowPos(nullptr, 0, 0, 900, 500, SWP_NOMOVE | SWP_NOZORDER);
  host->GetClientRect(&client);
  frame->MoveWindow(&client);
  Pump();
  Bar().GetClientRect(&bar);
  EXPECT_EQ(bar.right - place(IDC_WIZ_HELP).right, helpGap) << "Help stays at the bar's right end";
  EXPECT_EQ(place(IDC_WIZ_SAVE).left, saveLeft) << "Save stays at the left";
  CRect title;
  frame->GetTitleBar()->GetWindowRect(&title);
  EXPECT_EQ(title.Width(), client.Width());
  CRect page, list;
  pages[0]->GetWindowRect(&page);
  List().ScreenToClient(&page);
  List().GetClientRect(&list);
  EXPECT_EQ(page.right, list.right) << "pages stretch with the list";
}

// Pixels of the step list: the column, the band of the current step and the text colours per state.
TEST_F(WizardFrame, StepListDrawsBandAndTextsWhereTheyBelong) {
  frame->SetStepColors(StepColorUnchanged, StepColorUnchanged, StepColorUnchanged, RGB(255, 255, 255),
                       RGB(127, 127, 127), RGB(255, 200, 200));
  Add("Complete")->SetComplete(true);
  Add("Current");
  Add("Errors");
  Add("Disabled", false);
  ASSERT_TRUE(frame->SelectStep(1));
  Pump();
  auto image = plat::Desktop::Capture(List().m_hWnd);
  ASSERT_TRUE(image);
  const CWizStepColors colours = List().GetStepColors();
  // The band of row 1 from x = left margin (4) to the column's width, 25 pixels high at 1 x 25 + 10.
  EXPECT_EQ(plat::colorFromPixel(image->pixel(3, 40)), colours.background);
  EXPECT_EQ(plat::colorFromPixel(image->pixel(4, 36)), colours.highlight);
  EXPECT_EQ(plat::colorFromPixel(image->pixel(199, 59)), colours.highlight);
  EXPECT_EQ(plat::colorFromPixel(image->pixel(4, 34)), colours.background);
  EXPECT_EQ(plat::colorFromPixel(image->pixel(4, 60)), colours.background);
  EXPECT_EQ(plat::colorFromPixel(image->pixel(200, 100)), colours.highlight) << "the page area";
  // Text starts at margin + (level + 1) x 10 = 14: nothing drawn left of it, the state's colour right of it.
  // Glyphs are antialiased: a row holds a colour when some pixel comes within 48 per channel of it.
  auto near = [](COLORREF a, COLORREF b) {
    auto c = [](COLORREF v, int shift) { return static_cast<int>((v >> shift) & 0xFF); };
    for (int shift : {0, 8, 16})
      if (std::abs(c(a, shift) - c(b, shift)) > 48)
        return false;
    return true;
  };
  auto rowHas = [&](int row, COLORREF colour, int fromX, int toX) {
    for (int y = row * 25 + 10; y < row * 25 + 35; ++y)
      for (int x = fromX; x < toX; ++x)
        if (near(plat::colorFromPixel(image->pixel(x, y)), colour))
          return true;
    return false;
  };
  EXPECT_TRUE(rowHas(0, RGB(255, 255, 255), 14, 120));
  EXPECT_FALSE(rowHas(0, RGB(255, 255, 255), 0, 14)) << "text starts at 4 + (0 + 1) x 10";
  EXPECT_TRUE(rowHas(1, RGB(0, 0, 0), 14, 120));
  EXPECT_TRUE(rowHas(2, RGB(255, 200, 200), 14, 120));
  EXPECT_FALSE(rowHas(2, RGB(255, 255, 255), 14, 120));
  EXPECT_TRUE(rowHas(3, RGB(127, 127, 127), 14, 120));
  EXPECT_FALSE(rowHas(3, RGB(255, 200, 200), 0, 200));
  ExpectMatchesReference(frame->m_hWnd, "frame-steps");
}

TEST_F(WizardFrame, TitleTextsEndTenOrSeventySixPixelsFromTheRight) {
  CVornWizTitleBar& title = *frame->GetTitleBar();
  auto rightOf = [&](int id) {
    CRect r;
    ::GetWindowRect(::GetDlgItem(title.m_hWnd, id), &r);
    title.ScreenToClient(&r);
    return r.right;
  };
  CRect client;
  title.GetClientRect(&client);
  CBitmap image;
  ASSERT_TRUE(image.CreateBitmap(38, 37, 1, 32, nullptr));
  {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&image);
    dc.FillSolidRect(0, 0, 38, 37, RGB(0, 128, 0));
    dc.SelectObject(old);
  }
  title.SetContent("Title", "Description", &image);
  EXPECT_EQ(rightOf(IDC_WIZ_TITLE), client.right - 76);
  EXPECT_EQ(rightOf(IDC_WIZ_DESCRIPTION), client.right - 76);
  Pump();
  CRect frameRect;
  ::GetWindowRect(::GetDlgItem(title.m_hWnd, IDC_WIZ_IMAGE), &frameRect);
  title.ScreenToClient(&frameRect);
  auto shot = plat::Desktop::Capture(title.m_hWnd);
  ASSERT_TRUE(shot);
  EXPECT_EQ(plat::colorFromPixel(shot->pixel(frameRect.left + 2 + 2, frameRect.top + 2 + 2)), RGB(0, 128, 0)) << "the image fills its frame";
  ExpectMatchesReference(title.m_hWnd, "title-image");
  title.SetContent("Title", "Description", nullptr);
  EXPECT_EQ(rightOf(IDC_WIZ_TITLE), client.right - 10);
  EXPECT_EQ(rightOf(IDC_WIZ_DESCRIPTION), client.right - 10);
  Pump();
  ExpectMatchesReference(title.m_hWnd, "title-plain");
}

}  // namespace
