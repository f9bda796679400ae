// The bundled host's help service: each help call of the module becomes a callback line, and on screen a window
// that names the topic without taking the activation from the wizard.
#include "host/HostCallbackLog.h"
#include "host/HostHelp.h"
#include "platform/controls/winctrl.h"
#include "platform/window/windowapi.h"
#include "shared/Misc_Help.h"

#include <gtest/gtest.h>

namespace {

std::string TextOf(HWND hwnd) {
  char text[256] = {};
  GetWindowText(hwnd, text, sizeof text);
  return text;
}

TEST(HostHelp, LogsEveryCallAndOnScreenNamesTheTopicInAWindowOfItsOwn) {
  host::HostCallbackLog log;
  {
    host::HostHelp help(log, host::HostHelp::Window::None);
    EXPECT_EQ(OlhHelpCall("pdn_help", "280", 0), 0);
    EXPECT_EQ(FindWindow(nullptr, "pdnhost: help"), nullptr);
  }
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_EQ(log.Lines()[0], "Help \"pdn_help\" 0 280");

  // A window that was active stays so.
  HWND owner = CreateWindowEx(0, WC_STATIC, "owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
  SetActiveWindow(owner);
  {
    host::HostHelp help(log, host::HostHelp::Window::OnScreen);
    EXPECT_TRUE(ShowHelpTopic(owner, "pdn_help", 1, 281));
    EXPECT_TRUE(ShowHelpTopic(owner, "groups.chm", 1, 7));
    HWND window = FindWindow(nullptr, "pdnhost: help");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetActiveWindow(), owner);
    HWND text = GetWindow(window, GW_CHILD);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(TextOf(text), "Help file \"groups.chm\", topic 7");
  }
  EXPECT_EQ(FindWindow(nullptr, "pdnhost: help"), nullptr);
  ASSERT_EQ(log.Lines().size(), 3u);
  EXPECT_EQ(log.Lines()[2], "Help \"groups.chm\" 0 7");
  DestroyWindow(owner);
}

}  // namespace
