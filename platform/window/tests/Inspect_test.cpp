// Test aids and whole-desktop actions: the message spy, the pre-dispatch hook, paint counters, beeps,
// system colour changes and maximising.
#include "platform/gdi/SysColors.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Inspect.h"
#include "platform/window/MessageSpy.h"
#include "platform/window/Placement.h"
#include "platform/window/Pump.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

class InspectTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    top = Top(WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
    a = Child(top, 1, {0, 0, 50, 50});
    RunUntilIdle();
    ClearLog();
  }
  HWND top{}, a{};
};

TEST_F(InspectTest, SpyRecordsSentAndPostedInOrderForOneWindow) {
  MessageSpy spy(a);
  SendMessage(a, WM_USER, 1, 2);
  PostMessage(a, WM_USER + 1, 3, 4);
  SendMessage(top, WM_USER, 0, 0);  // another window: not watched
  RunUntilIdle();
  ASSERT_EQ(spy.Records().size(), 2u);
  EXPECT_EQ(spy.Records()[0].delivery, Delivery::Sent);
  EXPECT_EQ(spy.Records()[1].delivery, Delivery::Posted);
  EXPECT_EQ(spy.Records()[1].wParam, 3u);
  EXPECT_NE(spy.Decoded().find("P"), std::string::npos);
  EXPECT_NE(spy.Decoded().find("WM_USER+1"), std::string::npos);
  EXPECT_EQ(MessageName(WM_LBUTTONDBLCLK), "WM_LBUTTONDBLCLK");
}

TEST_F(InspectTest, PreDispatchHookSeesAndMayConsumeEveryMessage) {
  std::vector<UINT> seen;
  SetPreDispatchHook(a, [&](HWND, UINT m, WPARAM, LPARAM, LRESULT& result) {
    seen.push_back(m);
    if (m == WM_USER) {
      result = 99;
      return true;
    }
    return false;
  });
  EXPECT_EQ(SendMessage(a, WM_USER, 0, 0), 99);
  SendMessage(a, WM_USER + 1, 0, 0);
  PostMessage(a, WM_USER, 0, 0);
  RunUntilIdle();
  EXPECT_MESSAGES(seen, WM_USER, WM_USER + 1, WM_USER);
  EXPECT_MESSAGES(Log(a), WM_USER + 1);  // the consumed ones never reached the procedure
  SetPreDispatchHook(a, {});
  SendMessage(a, WM_USER, 0, 0);
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(InspectTest, CountersAndBeepsFollowWhatHappened) {
  int paints = PaintCount(a), erases = EraseCount(a);
  RECT r{0, 0, 5, 5};
  InvalidateRect(a, &r, TRUE);
  EXPECT_EQ(UpdateRegion(a).Bounds(), CRect(0, 0, 5, 5));
  RunUntilIdle();
  EXPECT_EQ(PaintCount(a), paints + 1);
  EXPECT_EQ(EraseCount(a), erases + 1);
  EXPECT_TRUE(UpdateRegion(a).IsEmpty());
  EnableWindow(top, FALSE);
  InputRouter::Instance().Click(MouseButton::Left, InputRouter::ClientPoint(a, 1, 1));
  RunUntilIdle();
  EXPECT_EQ(RecordedBeeps().size(), 1u);
}

TEST_F(InspectTest, SystemColourChangeReachesEveryTopLevelWindowAndRepaints) {
  HWND other = Top(WS_POPUP | WS_VISIBLE, {300, 0, 400, 100});
  RunUntilIdle();
  ClearLog();
  INT index = COLOR_WINDOW;
  COLORREF color = RGB(250, 240, 230);
  ASSERT_TRUE(SetSysColors(1, &index, &color));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), color);
  EXPECT_EQ(Entries(top, WM_SYSCOLORCHANGE).size(), 1u);
  EXPECT_EQ(Entries(other, WM_SYSCOLORCHANGE).size(), 1u);
  EXPECT_TRUE(Entries(a, WM_SYSCOLORCHANGE).empty());
  RunUntilIdle();
  EXPECT_EQ(Entries(a, WM_PAINT).size(), 1u);
  EXPECT_EQ(Entries(other, WM_PAINT).size(), 1u);
}

TEST_F(InspectTest, MaximiseFillsTheWorkAreaAndRestoreReturns) {
  HWND framed = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {50, 50, 250, 150});
  ClearLog();
  ShowWindow(framed, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(IsZoomed(framed));
  RECT r;
  GetWindowRect(framed, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  auto sizes = Entries(framed, WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].wParam, SIZE_MAXIMIZED);
  ShowWindow(framed, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(framed));
  GetWindowRect(framed, &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.right, 250);
  EXPECT_EQ(Entries(framed, WM_SIZE).back().wParam, SIZE_RESTORED);
}

TEST_F(InspectTest, PopupsFlipAboveAtTheWorkAreaEdgeAndStayInside) {
  // Default screen 1280 x 1024.
  RECT low{100, 1000, 200, 1020};
  RECT r = PlacePopup(low, SIZE{150, 100});
  EXPECT_EQ(r.bottom, 1000);  // flipped above the anchor
  RECT high{1250, 100, 1270, 120};
  r = PlacePopup(high, SIZE{150, 100});
  EXPECT_EQ(r.top, 120);
  EXPECT_EQ(r.right, 1280);  // shifted left to stay on the screen
}

TEST_F(InspectTest, AfxClassNamesAreStablePerArguments) {
  LPCSTR a1 = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
  LPCSTR a2 = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
  LPCSTR b = AfxRegisterWndClass(0);
  ASSERT_NE(a1, nullptr);
  EXPECT_STREQ(a1, a2);
  EXPECT_STRNE(a1, b);
  WNDCLASS info{};
  ASSERT_TRUE(GetClassInfo(nullptr, a1, &info));
  EXPECT_EQ(info.style, CS_DBLCLKS);
  HWND w = CreateWindowEx(0, a1, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(IsWindow(w));
}

}  // namespace
}  // namespace plat::test
