// The on-screen presenter under a private X server: a real click made with xdotool reaches a button
// window through the same injection path as scripted input. Run by CTest through xvfb-run.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/base/ProgramLauncher.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/base/tests/TempDir.h"
#include "platform/base/GlobalMemory.h"
#include "platform/window/Pump.h"
#include "platform/window/windowapi.h"

// Last: its macros (None, Bool, Status) would reach the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// The X, SDL and D-Bus libraries keep process-wide state until exit, and their allocations unwind through
// frames without frame pointers, so suppressions cannot name them reliably. Leak checking stays on for
// every other test binary, which covers the same platform code without those libraries.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

int g_downs = 0;
int g_ups = 0;
POINT g_at{-1, -1};

LRESULT ButtonProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_LBUTTONDOWN) {
    ++g_downs;
    g_at = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  }
  if (m == WM_LBUTTONUP) ++g_ups;
  return DefWindowProc(h, m, w, l);
}

TEST(Presenter, RealClickArrivesAsButtonMessages) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  plat::ResetWindowSystem();
  plat::Desktop::Configure(400, 300);
  WNDCLASS wc{};
  wc.lpfnWndProc = ButtonProc;
  wc.lpszClassName = "RealButton";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(15 + 1));  // COLOR_3DFACE + 1
  ASSERT_NE(RegisterClass(&wc), 0);
  HWND top = CreateWindowEx(0, "RealButton", "Real", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, nullptr,
                            nullptr, nullptr, nullptr);
  HWND button = CreateWindowEx(0, "RealButton", "OK", WS_CHILD | WS_VISIBLE | WS_BORDER, 40, 40, 100, 30, top,
                               reinterpret_cast<HMENU>(1), nullptr, nullptr);
  ASSERT_TRUE(IsWindow(button));

  plat::SdlPresenter presenter("presenter test");
  ASSERT_TRUE(presenter.IsOpen()) << "SDL could not open a window on " << std::getenv("DISPLAY");
  plat::RunUntilIdle();
  // Real input before the window is mapped and holds the X keyboard focus is lost.
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));

  POINT target{10, 12};
  ClientToScreen(button, &target);
  POINT origin = presenter.WindowPosition();
  std::string cmd = "timeout 10 xdotool mousemove --sync " + std::to_string(origin.x + target.x) + " " +
                    std::to_string(origin.y + target.y) + " click 1";
  ASSERT_EQ(plat::RunCommand(cmd), 0) << cmd;

  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (g_ups == 0 && std::chrono::steady_clock::now() < until) {
    presenter.WaitForEvents(20);
    plat::RunUntilIdle();
  }
  EXPECT_EQ(g_downs, 1);
  EXPECT_EQ(g_ups, 1);
  EXPECT_EQ(g_at.x, 10);
  EXPECT_EQ(g_at.y, 12);

  // The clipboard follows the X server's, both ways, with the text converted between UTF-8 and code page
  // 1252; xclip is the other program.
  ASSERT_EQ(plat::RunCommand("printf 'from the desktop \\303\\251' | xclip -selection clipboard -i"), 0);
  // xclip takes the clipboard in a process of its own after it returned.
  until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!IsClipboardFormatAvailable(CF_TEXT) && std::chrono::steady_clock::now() < until) {
    presenter.WaitForEvents(20);
    plat::RunUntilIdle();
  }
  ASSERT_TRUE(OpenClipboard(top));
  HANDLE h = GetClipboardData(CF_TEXT);
  ASSERT_NE(h, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "from the desktop \xE9");
  GlobalUnlock(h);
  EmptyClipboard();
  HANDLE mine = GlobalAlloc(GMEM_MOVEABLE, 8);
  std::memcpy(GlobalLock(mine), "caf\xE9 1", 7);
  static_cast<char*>(GlobalLock(mine))[7] = 0;
  GlobalUnlock(mine);
  GlobalUnlock(mine);
  SetClipboardData(CF_TEXT, mine);
  CloseClipboard();
  // What xclip reads of the clipboard, asked while the presenter serves the queue ("" after 10 seconds).
  const TempDir temp("brim-presenter");
  const std::string out = temp / "brim_presenter_clip";
  auto readByXclip = [&] {
    std::remove(out.c_str());
    std::string desktop;
    if (plat::RunCommand("timeout 10 xclip -selection clipboard -o > " + out + " &") != 0) return desktop;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (desktop.empty() && std::chrono::steady_clock::now() < deadline) {
      presenter.WaitForEvents(20);
      plat::RunUntilIdle();
      std::ifstream in(out);
      std::getline(in, desktop);
    }
    std::remove(out.c_str());
    return desktop;
  };
  EXPECT_EQ(readByXclip(), "caf\xC3\xA9 1");

  // A program that asks for our text and goes before the answer: the answer fails on its window, and this
  // process goes on serving.
  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  const Window gone = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
  XConvertSelection(other, XInternAtom(other, "CLIPBOARD", False), XInternAtom(other, "UTF8_STRING", False),
                    XInternAtom(other, "GONE", False), gone, CurrentTime);
  XDestroyWindow(other, gone);
  XCloseDisplay(other);
  until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (std::chrono::steady_clock::now() < until) {
    presenter.WaitForEvents(20);
    plat::RunUntilIdle();
  }
  EXPECT_EQ(readByXclip(), "caf\xC3\xA9 1");
  DestroyWindow(top);
  plat::ResetWindowSystem();
}

// A window that someone else resizes (a tiling window manager, xdotool) shows the desktop pixel for pixel from its
// top left corner, and a real click lands on what is shown under the mouse; scaled, the texts blurred and clicks
// landed beside their targets.
TEST(Presenter, AResizedWindowShowsTheDesktopUnscaledAndClicksLandWhereShown) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  plat::ResetWindowSystem();
  plat::Desktop::Configure(400, 300);
  g_downs = 0;
  g_ups = 0;
  WNDCLASS wc{};
  wc.lpfnWndProc = ButtonProc;
  wc.lpszClassName = "ResizedButton";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(15 + 1));  // COLOR_3DFACE + 1
  ASSERT_NE(RegisterClass(&wc), 0);
  HWND top = CreateWindowEx(0, "ResizedButton", "Resized", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200,
                            nullptr, nullptr, nullptr, nullptr);
  HWND button = CreateWindowEx(0, "ResizedButton", "OK", WS_CHILD | WS_VISIBLE | WS_BORDER, 40, 40, 100, 30, top,
                               reinterpret_cast<HMENU>(1), nullptr, nullptr);
  ASSERT_TRUE(IsWindow(button));

  plat::SdlPresenter presenter("presenter resize test");
  ASSERT_TRUE(presenter.IsOpen());
  plat::RunUntilIdle();
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));
  for (const char* size : {"260 190", "600 420"}) {
    SCOPED_TRACE(size);
    const std::string resize =
        std::string("timeout 10 xdotool search --name '^presenter resize test$' windowsize --sync %@ ") + size;
    ASSERT_EQ(plat::RunCommand(resize), 0) << resize;
    auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < settle) {
      presenter.WaitForEvents(20);
      plat::RunUntilIdle();
    }
    presenter.Present();

    // What the X server shows of the window is the desktop's own pixels, from its top left corner on (read
    // through a connection of our own, which may see SDL's drawing a little later).
    const plat::SurfacePtr desktop = plat::Desktop::Compose(true);
    ASSERT_TRUE(desktop);
    const POINT origin = presenter.WindowPosition();
    auto differing = [&] {
      Display* x = XOpenDisplay(nullptr);
      if (!x)
        return -1;
      XImage* shown = XGetImage(x, DefaultRootWindow(x), origin.x, origin.y, 240, 170, AllPlanes, ZPixmap);
      int count = shown ? 0 : -1;
      for (int py = 0; shown && py < 170; ++py)
        for (int px = 0; px < 240; ++px)
          if ((XGetPixel(shown, px, py) & 0xFFFFFF) != (desktop->pixel(px, py) & 0xFFFFFF))
            ++count;
      if (shown)
        XDestroyImage(shown);
      XCloseDisplay(x);
      return count;
    };
    int differ = differing();
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
         differ != 0 && std::chrono::steady_clock::now() < until; differ = differing()) {
      presenter.WaitForEvents(20);
      plat::RunUntilIdle();
      presenter.Present();
    }
    EXPECT_EQ(differ, 0);

    const int downs = g_downs;
    POINT target{10, 12};
    ClientToScreen(button, &target);
    // Away first: --sync waits for the pointer to move, and the second round clicks where the first did.
    const std::string click = "timeout 10 xdotool mousemove --sync " + std::to_string(origin.x + 1) + " " +
                              std::to_string(origin.y + 1) + " mousemove --sync " +
                              std::to_string(origin.x + target.x) + " " + std::to_string(origin.y + target.y) +
                              " click 1";
    ASSERT_EQ(plat::RunCommand(click), 0) << click;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (g_downs == downs && std::chrono::steady_clock::now() < until) {
      presenter.WaitForEvents(20);
      plat::RunUntilIdle();
    }
    EXPECT_EQ(g_downs, downs + 1);
    EXPECT_EQ(g_at.x, 10);
    EXPECT_EQ(g_at.y, 12);
  }
  DestroyWindow(top);
  plat::ResetWindowSystem();
}

}  // namespace
