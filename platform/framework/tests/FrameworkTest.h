// Shared fixture for the class-library tests: a clean window system per test, an automation provider, the
// standard controls, and one custom-class control, "TestGrid": a grid-like window answering
// DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS that logs the keys it gets.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/framework/ControlCodes.h"
#include "platform/window/AutomationProvider.h"

namespace plat::test {

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static void Pump();
  static void Key(int vk);
  static void ShiftKey(int vk);
  static void Type(const char* text);
  static void ClickAt(HWND hwnd, int x, int y);
  static std::string Text(HWND hwnd);

  ScriptedAutomation automation;
};

// Keys that reached a "TestGrid" window.
std::vector<int>& GridKeys();

}  // namespace plat::test
