// Shared fixture for the class-library tests: a clean window system per test, an automation provider,
// and tiny test-only control classes standing in for the standard controls (built by a later issue):
//   "TestButton"  push/default/check/radio/auto-radio/group box by BS_ style; BM_* messages; clicks by
//                 mouse, Space or BM_CLICK send BN_CLICKED
//   "TestEdit"    text by WM_SETTEXT/typing, EM_SETSEL/EM_GETSEL, EM_LIMITTEXT; wants characters (and all
//                 keys with ES_MULTILINE)
//   "TestStatic"  a label (DLGC_STATIC)
//   "TestCombo"   CB_ADDSTRING, CB_SETCURSEL/GETCURSEL, CB_SELECTSTRING; its text is the selected item
//   "TestList"    LB_ADDSTRING, LB_SETCURSEL/GETCURSEL, LB_GETTEXT(LEN), LB_SELECTSTRING
//   "TestSlider"  TBM_SETPOS/TBM_GETPOS
//   "TestGrid"    a custom class answering DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS, logging keys
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/framework/ControlCodes.h"
#include "platform/window/AutomationProvider.h"

namespace plat::test {

constexpr DWORD ES_MULTILINE = 0x0004;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;

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
// Selection of a "TestEdit" (start, end) as last set.
std::pair<int, int> EditSelection(HWND edit);

}  // namespace plat::test
