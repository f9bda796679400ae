// Shared fixture for the window-system tests: a clean window system per test, two recording window
// classes ("TestWnd" without and "TestDblWnd" with CS_DBLCLKS), and per-window handlers.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat::test {

struct Logged {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Top(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT r = {100, 100, 500, 400},
           const char* cls = "TestWnd", DWORD exStyle = 0);
  HWND Child(HWND parent, int id, RECT r, DWORD style = WS_CHILD | WS_VISIBLE, const char* cls = "TestWnd",
             DWORD exStyle = 0);

  // Messages that reached a window since the last ClearLog, without the chatty ones.
  std::vector<UINT> Log(HWND hwnd, bool skipNoise = true) const;
  std::vector<Logged> Entries(HWND hwnd, UINT msg) const;
  std::vector<Logged>& All() const;
  void ClearLog() const;

  static void On(HWND hwnd, Handler handler);
};

std::string Names(const std::vector<UINT>& messages);

}  // namespace plat::test

// Compares message lists and prints them by name on failure.
#define EXPECT_MESSAGES(actual, ...)                                                                   \
  do {                                                                                                 \
    std::vector<UINT> expected_{__VA_ARGS__};                                                          \
    std::vector<UINT> actual_ = (actual);                                                              \
    EXPECT_EQ(actual_, expected_) << "actual:   " << plat::test::Names(actual_) << "\nexpected: "      \
                                  << plat::test::Names(expected_);                                     \
  } while (0)
