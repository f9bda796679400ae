// Minimised, maximised and restored top-level windows: placements, WM_SIZE, activation, the caption boxes and
// the system menu, driven by calls, by clicks and by the keyboard.
#include <functional>

#include "platform/base/geometry.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Menus.h"
#include "platform/window/Pump.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

constexpr DWORD kDialogFrame = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

class ShowState : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    SetAutomationProvider(&script);
    RunUntilIdle();
  }
  void TearDown() override {
    SetAutomationProvider(nullptr);
    WindowTest::TearDown();
  }
  static CRect WindowRect(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r;
  }
  static CRect ClientRect(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    return r;
  }
  static CRect WorkArea() {
    RECT r;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
    return r;
  }
  // The centre of a caption box in screen coordinates.
  static POINT BoxCentre(HWND h, int hit) {
    CRect r = WindowRect(h);
    for (int y = r.top; y < r.top + 30; ++y)
      for (int x = r.right - 1; x > r.left; --x)
        if (SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hit) return POINT{x - 3, y + 4};
    ADD_FAILURE() << "no box " << hit;
    return POINT{};
  }
  // WM_SIZE kinds and client sizes since the last ClearLog.
  std::vector<std::pair<WPARAM, CSize>> Sizes(HWND h) const {
    std::vector<std::pair<WPARAM, CSize>> out;
    for (const Logged& l : Entries(h, WM_SIZE)) out.push_back({l.wParam, CSize(LOWORD(l.lParam), HIWORD(l.lParam))});
    return out;
  }
  std::vector<WPARAM> SysCommands(HWND h) const {
    std::vector<WPARAM> out;
    for (const Logged& l : Entries(h, WM_SYSCOMMAND)) out.push_back(l.wParam & 0xFFF0);
    return out;
  }
  // Answers the next popup menu with a command.
  void ChooseFromMenu(WPARAM command) {
    script.Reply(SystemUiKind::PopupMenu, SystemAnswer{static_cast<int>(command), {}, 0});
  }
  static std::string LastMenuText() {
    return ShownLog().empty() ? std::string() : ShownLog().back().request.text;
  }

  ScriptedAutomation script;
};

TEST_F(ShowState, MinimiseKeepsThePlacementAndEveryWayOfRestoringReturnsToIt) {
  const CRect work = WorkArea();
  struct Way {
    const char* name;
    std::function<void(HWND)> restore;
  } ways[] = {
      {"SW_RESTORE", [](HWND h) { ShowWindow(h, SW_RESTORE); }},
      {"SC_RESTORE", [](HWND h) { SendMessage(h, WM_SYSCOMMAND, SC_RESTORE, 0); }},
      {"restore box", [](HWND h) { InputRouter::Instance().Click(MouseButton::Left, BoxCentre(h, HTMINBUTTON)); }},
      {"menu after a click", [this](HWND h) {
         ChooseFromMenu(SC_RESTORE);
         CRect r = WindowRect(h);
         InputRouter::Instance().Click(MouseButton::Left, POINT{r.left + 20, r.top + 10});
       }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    HWND other = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 100});
    HWND dlg = Top(kDialogFrame, {300, 200, 700, 500});
    HWND child = Child(dlg, 1, {10, 10, 100, 40});
    SetFocus(child);
    RunUntilIdle();
    const CRect before = WindowRect(dlg), client = ClientRect(dlg);
    ClearLog();
    EXPECT_TRUE(ShowWindow(dlg, SW_MINIMIZE)) << "it was visible";
    RunUntilIdle();
    EXPECT_TRUE(IsIconic(dlg));
    EXPECT_EQ(WindowRect(dlg), CRect(work.left, work.bottom - GetSystemMetrics(SM_CYMINIMIZED),
                                     work.left + GetSystemMetrics(SM_CXMINIMIZED), work.bottom));
    EXPECT_TRUE(ClientRect(dlg).IsRectEmpty());
    ASSERT_FALSE(Sizes(dlg).empty());
    EXPECT_EQ(Sizes(dlg).back().first, SIZE_MINIMIZED);
    EXPECT_EQ(Sizes(dlg).back().second, CSize(0, 0));
    EXPECT_EQ(GetActiveWindow(), other) << "SW_MINIMIZE activates the next window";
    EXPECT_TRUE(IsWindowVisible(child)) << "children keep their state";

    ClearLog();
    way.restore(dlg);
    RunUntilIdle();
    EXPECT_FALSE(IsIconic(dlg));
    EXPECT_EQ(WindowRect(dlg), before);
    EXPECT_EQ(ClientRect(dlg), client);
    ASSERT_FALSE(Sizes(dlg).empty());
    EXPECT_EQ(Sizes(dlg).back(), std::make_pair(SIZE_RESTORED, client.Size()));
    EXPECT_EQ(GetActiveWindow(), dlg);
    DestroyWindow(dlg);
    DestroyWindow(other);
  }
}

TEST_F(ShowState, MinimisedWindowsTakeFreeSlotsAndRestoreTheirMaximisedState) {
  const CRect work = WorkArea();
  const int slot = GetSystemMetrics(SM_CXMINSPACING);
  HWND a = Top(), b = Top(), c = Top();
  ShowWindow(a, SW_MINIMIZE);
  ShowWindow(b, SW_SHOWMAXIMIZED);
  EXPECT_EQ(WindowRect(b), work);
  ShowWindow(b, SW_SHOWMINNOACTIVE);
  EXPECT_EQ(WindowRect(b).left, work.left + slot);
  EXPECT_FALSE(IsZoomed(b));
  const CRect iconic = WindowRect(b);
  EXPECT_EQ(SendMessage(b, WM_NCHITTEST, 0, MAKELPARAM(iconic.left, iconic.top + 12)), HTBORDER)
      << "a minimised window's frame does not size it";
  ShowWindow(a, SW_RESTORE);
  ShowWindow(c, SW_SHOWMINIMIZED);
  EXPECT_EQ(GetActiveWindow(), c) << "SW_SHOWMINIMIZED activates";
  EXPECT_EQ(WindowRect(c).left, work.left) << "the slot a left is free again";

  ClearLog();
  ShowWindow(b, SW_RESTORE);
  EXPECT_TRUE(IsZoomed(b)) << "minimised from maximised: restored maximised";
  EXPECT_EQ(WindowRect(b), work);
  EXPECT_EQ(Sizes(b).back().first, SIZE_MAXIMIZED);
  ShowWindow(b, SW_RESTORE);
  EXPECT_EQ(WindowRect(b), CRect(100, 100, 500, 400)) << "then to the normal placement";
  ShowWindow(b, SW_SHOWMAXIMIZED);
  ShowWindow(b, SW_MINIMIZE);
  ShowWindow(b, SW_SHOWNORMAL);
  EXPECT_FALSE(IsZoomed(b));
  EXPECT_EQ(WindowRect(b), CRect(100, 100, 500, 400)) << "SW_SHOWNORMAL goes to the normal placement";

  HWND hidden = Top(WS_OVERLAPPEDWINDOW);
  EXPECT_FALSE(ShowWindow(hidden, SW_MINIMIZE));
  EXPECT_TRUE(IsWindowVisible(hidden) && IsIconic(hidden)) << "a hidden window shows minimised";
  HWND child = Child(a, 1, {0, 0, 10, 10});
  ShowWindow(child, SW_MINIMIZE);
  EXPECT_FALSE(IsIconic(child)) << "child windows are not minimised";
}

TEST_F(ShowState, CaptionBoxesFollowTheStyleAndActThroughSysCommand) {
  struct Case {
    DWORD style;
    bool minBox, maxBox;  // hit-tested boxes
    std::vector<WPARAM> minClick, maxClick;
  } cases[] = {
      {kDialogFrame, true, true, {SC_MINIMIZE}, {}},  // the maximise box shows, disabled
      {WS_OVERLAPPEDWINDOW | WS_VISIBLE, true, true, {SC_MINIMIZE}, {SC_MAXIMIZE}},
      {WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, false, false, {}, {}},
      {WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_MINIMIZEBOX, false, false, {}, {}},  // no system menu, no boxes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.style);
    HWND h = Top(c.style, {300, 200, 700, 500});
    RunUntilIdle();
    const CRect r = WindowRect(h);
    // Scan the caption row for the boxes it shows.
    bool seenMin = false, seenMax = false, seenClose = false;
    for (int x = r.left; x < r.right; ++x) {
      LRESULT hit = SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(x, r.top + 10));
      seenMin |= hit == HTMINBUTTON;
      seenMax |= hit == HTMAXBUTTON;
      seenClose |= hit == HTCLOSE;
    }
    EXPECT_EQ(seenMin, c.minBox);
    EXPECT_EQ(seenMax, c.maxBox);
    EXPECT_EQ(seenClose, (c.style & WS_SYSMENU) != 0);
    if (c.maxBox) {
      ClearLog();
      InputRouter::Instance().Click(MouseButton::Left, BoxCentre(h, HTMAXBUTTON));
      RunUntilIdle();
      EXPECT_EQ(SysCommands(h), c.maxClick);
      EXPECT_EQ(IsZoomed(h) != FALSE, !c.maxClick.empty());
      ShowWindow(h, SW_RESTORE);
    }
    if (c.minBox) {
      ClearLog();
      InputRouter::Instance().Click(MouseButton::Left, BoxCentre(h, HTMINBUTTON));
      RunUntilIdle();
      EXPECT_EQ(SysCommands(h), c.minClick);
      EXPECT_TRUE(IsIconic(h));
    }
    DestroyWindow(h);
  }
}

TEST_F(ShowState, SystemMenuOpensFromTheCaptionAndAltSpaceWithItemsForTheState) {
  HWND plain = Top(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, {10, 10, 300, 200});
  HMENU plainMenu = GetSystemMenu(plain, FALSE);
  ASSERT_EQ(GetMenuItemCount(plainMenu), 1);
  EXPECT_EQ(GetMenuItemID(plainMenu, 0), SC_CLOSE);

  HWND dlg = Top(kDialogFrame, {300, 200, 700, 500});
  SetFocus(dlg);
  RunUntilIdle();
  const CRect r = WindowRect(dlg);
  ChooseFromMenu(SC_MINIMIZE);
  InputRouter::Instance().Click(MouseButton::Right, POINT{r.left + 40, r.top + 10});
  RunUntilIdle();
  EXPECT_EQ(LastMenuText(), "&Restore (disabled)\nMi&nimize\nMa&ximize (disabled)\n&Close\tAlt+F4\n");
  EXPECT_TRUE(IsIconic(dlg));

  // Minimised: Restore is offered and Minimize is not; Alt+Space opens the menu from the keyboard.
  ShowWindow(dlg, SW_SHOWMINIMIZED);
  ChooseFromMenu(SC_CLOSE);
  ClearLog();
  InputRouter::Instance().KeyDown(VK_MENU);
  InputRouter::Instance().KeyPress(VK_SPACE);
  InputRouter::Instance().KeyUp(VK_MENU);
  RunUntilIdle();
  EXPECT_EQ(LastMenuText(), "&Restore\nMi&nimize (disabled)\nMa&ximize (disabled)\n&Close\tAlt+F4\n");
  EXPECT_FALSE(IsWindow(dlg)) << "Close from the system menu closes";

  // A right click in the client area is no caption click: no system menu.
  const std::size_t shown = ShownLog().size();
  CRect pr = WindowRect(plain);
  InputRouter::Instance().Click(MouseButton::Right, POINT{pr.left + 40, pr.top + 60});
  RunUntilIdle();
  EXPECT_EQ(ShownLog().size(), shown);
  EXPECT_EQ(GetSystemMenu(plain, TRUE), nullptr);
  EXPECT_NE(GetSystemMenu(plain, FALSE), plainMenu) << "reverted: a fresh copy";
}

}  // namespace
}  // namespace plat::test
