// The script runner's grid steps against a stand-in grid: a window that answers the grid's queries (its shown
// columns and rows, a row's values, a cell's rectangle and kind) on the clipboard as the grid library's window does,
// and whose row goes once a click reached it, as a row does that the page rebuilds under the typing.
#include "host/PdnScript.h"
#include "host/PdnScriptRunner.h"
#include "platform/controls/winctrl.h"
#include "platform/window/Clipboard.h"
#include "platform/window/windowapi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kCellWidth = 50, kCellHeight = 20;
bool g_rowTaken = false;   // a click reached the stand-in: its one row below the header is gone

// Two columns; the header row and one row of edit cells until a click takes that row. The queries answer on the
// clipboard as the grid does.
LRESULT StandInGridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const int row = static_cast<int>(wParam), col = static_cast<int>(lParam);
  const int rows = g_rowTaken ? 1 : 2;
  auto answer = [](const std::string& text) { plat::Clipboard::Instance().SeedText(text); };
  switch (message) {
    case WM_LBUTTONDOWN: g_rowTaken = true; return 0;
    case WM_USER + 1: return 2;
    case WM_USER + 2: return rows;
    case WM_USER + 3:
      if (row >= rows)
        return 0;
      answer(row == 0 ? "A;B" : "a;b");
      return 1;
    case WM_USER + 4: {
      if (row >= rows || col >= 2)
        return 0;
      char rect[64];
      std::snprintf(rect, sizeof rect, "%d;%d;%d;%d", col * kCellWidth, row * kCellHeight, (col + 1) * kCellWidth,
                    (row + 1) * kCellHeight);
      answer(rect);
      return 1;
    }
    case WM_USER + 5:
      if (row >= rows)
        return -1;
      answer(row == 0 ? "CGXHeader;CGXStatic" : "CGXEditControl");
      return 0;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

// A type whose grid no longer answers the row's values once the typing arrived fails naming the cell, rather than
// going on with no values.
TEST(PdnScriptRunner, ATypeIntoACellWhoseRowWentFailsNamingTheCell) {
  WNDCLASS wc{};
  wc.lpfnWndProc = StandInGridProc;
  wc.lpszClassName = "BrimStandInGrid";
  RegisterClass(&wc);
  HWND window = CreateWindowEx(0, WC_STATIC, "stand-in", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                               nullptr, nullptr);
  HWND grid = CreateWindowEx(0, "BrimStandInGrid", "", WS_CHILD | WS_VISIBLE, 10, 10, 2 * kCellWidth, 2 * kCellHeight,
                             window, reinterpret_cast<HMENU>(1003), nullptr, nullptr);
  ASSERT_NE(grid, nullptr);
  SetActiveWindow(window);

  std::vector<std::string> log;
  std::ostringstream errors;
  host::ScriptRunnerHost runnerHost;
  runnerHost.window = [window] { return IsWindow(window) ? window : nullptr; };
  runnerHost.close = [] {};
  runnerHost.print = [&log](const std::string& line) { log.push_back(line); };
  runnerHost.flush = [] {};
  runnerHost.log = &log;
  runnerHost.err = &errors;
  const auto input = host::MakeInjectedInput();
  host::ScriptRunner runner(runnerHost, host::ParseScript("type 1003 at 75 30 \"x\"\n", "grid.txt"), "grid.txt",
                            *input);
  // Idle turns with the input delivered between them, as a message loop gives them.
  for (int turn = 0; turn < 8 && !runner.Failed(); ++turn) {
    runner.OnIdle();
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  EXPECT_TRUE(g_rowTaken);
  EXPECT_EQ(errors.str(), "pdnhost: grid.txt:1: cell 1, 1 of control 1003 is gone\n");
  DestroyWindow(window);
}

}  // namespace
