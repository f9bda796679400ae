// The standard controls on screen through the SDL2 presenter, driven by real mouse and keyboard input made
// with xdotool under a private X server: typing into an edit, ticking a check box, choosing from a dropped
// combo list (its own top-level window) and from a list box. Run by CTest through xvfb-run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/winctrl.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/window/Pump.h"

// The X and SDL libraries keep process-wide state until exit (see the display's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

std::vector<std::pair<int, int>> g_notes;  // (id, code)

LRESULT HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND) g_notes.emplace_back(LOWORD(w), HIWORD(w));
  return DefWindowProc(h, m, w, l);
}

class OnScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    plat::ResetWindowSystem();
    plat::Desktop::Configure(480, 360);
    WNDCLASS wc{};
    wc.lpfnWndProc = HostProc;
    wc.lpszClassName = "ControlsOnScreenHost";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(15 + 1));  // COLOR_3DFACE + 1
    ASSERT_NE(RegisterClass(&wc), 0);
    g_notes.clear();
  }
  void TearDown() override { plat::ResetWindowSystem(); }

  static void Xdotool(const std::string& args) {
    const std::string cmd = "timeout 10 xdotool " + args;  // bounded: --sync may wait forever
    ASSERT_EQ(plat::RunCommand(cmd), 0) << cmd;
  }
  template <class F>
  static bool PumpUntil(plat::SdlPresenter& presenter, F done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < until) {
      presenter.WaitForEvents(20);
      plat::RunUntilIdle();
    }
    return done();
  }
  static std::string At(plat::SdlPresenter& presenter, HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    const POINT origin = presenter.WindowPosition();
    return std::to_string(origin.x + p.x) + " " + std::to_string(origin.y + p.y);
  }
  static std::string Text(HWND h) {
    char buf[256]{};
    GetWindowText(h, buf, sizeof(buf));
    return buf;
  }
};

TEST_F(OnScreen, RealInputDrivesEditCheckBoxComboAndList) {
  HWND host = CreateWindowEx(0, "ControlsOnScreenHost", "Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 420,
                             300, nullptr, nullptr, nullptr, nullptr);
  auto make = [&](const char* cls, const char* text, DWORD style, RECT r, int id) {
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  };
  HWND edit = make("EDIT", "board", WS_BORDER | ES_AUTOHSCROLL, {10, 10, 200, 34}, 1);
  HWND check = make("BUTTON", "Include vias", BS_AUTOCHECKBOX, {10, 44, 200, 64}, 2);
  HWND combo = make("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, {10, 74, 200, 200}, 3);
  HWND list = make("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, {220, 10, 400, 150}, 4);
  for (const char* t : {"Power", "Ground", "Signal"}) SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  for (const char* t : {"VDD", "VSS", "CLK", "DATA"}) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));

  plat::SdlPresenter presenter("controls on-screen test");
  ASSERT_TRUE(presenter.IsOpen());
  plat::RunUntilIdle();
  // Real input before the window is mapped and holds the X keyboard focus is lost.
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));

  // Edit: a click at the end, then typing.
  Xdotool("mousemove --sync " + At(presenter, edit, 150, 10) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return GetFocus() == edit; }));
  Xdotool("type --delay 30 '42'");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return Text(edit) == "board42"; })) << Text(edit);

  // Check box.
  Xdotool("mousemove --sync " + At(presenter, check, 6, 10) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return SendMessage(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }));

  // Combo: a click opens the list (a window of its own), a click on an item chooses it.
  Xdotool("mousemove --sync " + At(presenter, combo, 40, 8) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  RECT item{};
  SendMessage(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  Xdotool("mousemove --sync " + At(presenter, info.hwndList, item.left + 10, item.top + 3) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);  // "Signal", in the order added

  // List box: a click selects, the parent hears it.
  SendMessage(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  Xdotool("mousemove --sync " + At(presenter, list, item.left + 10, item.top + 3) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return SendMessage(list, LB_GETCURSEL, 0, 0) == 1; }));
  bool heard = false;
  for (auto [id, code] : g_notes) heard |= id == 4 && code == static_cast<int>(LBN_SELCHANGE);
  EXPECT_TRUE(heard);

  // What the screen showed at the end is saved as a picture (in a folder of the test's own).
  plat::RunUntilIdle();
  const TempDir temp("brim-controls-onscreen");
  EXPECT_TRUE(plat::Desktop::SaveScreenshot(temp / "controls.png"));
}

}  // namespace
