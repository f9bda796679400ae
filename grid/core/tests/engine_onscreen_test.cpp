// The grid on screen through the SDL2 presenter under a private X server: a real click made with xdotool
// makes a cell current and real arrow keys move it. Run by CTest through xvfb-run.
#include <chrono>
#include <cstdlib>
#include <string>

#include "grid/core/tests/enginetest.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/display/SdlPresenter.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace enginetest {
namespace {

using OnScreenTest = EngineTest;

TEST_F(OnScreenTest, RealClickAndKeysMoveTheCurrentCell) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  CGXGridWnd* g = MakeGrid(30, 5, 400, 300);
  plat::SdlPresenter presenter("grid on screen");
  ASSERT_TRUE(presenter.IsOpen());
  plat::RunUntilIdle();
  // Real input before the window is mapped and holds the X keyboard focus is lost.
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));
  POINT target{125, 110};  // row 5, column 2
  ClientToScreen(*g, &target);
  POINT origin = presenter.WindowPosition();
  std::string cmd = "timeout 10 xdotool mousemove --sync " + std::to_string(origin.x + target.x) + " " +
                    std::to_string(origin.y + target.y) + " click 1 key Down key Right";
  ASSERT_EQ(plat::RunCommand(cmd), 0) << cmd;
  ROWCOL row = 0, col = 0;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < until) {
    presenter.WaitForEvents(20);
    plat::RunUntilIdle();
    if (g->QueryCurrentCell(&row, &col) && row == 6 && col == 3) break;
  }
  EXPECT_EQ(row, 6u);
  EXPECT_EQ(col, 3u);
}

}  // namespace
}  // namespace enginetest
