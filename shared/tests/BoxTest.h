// Fixture for the utilities that talk to the user: every message box is answered OK by a scripted provider
// and recorded, and the process end throws ProcessEnded instead of ending the test run.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/base/Terminate.h"
#include "platform/framework/MessageBox.h"
#include "platform/window/AutomationProvider.h"

namespace shared_test {

struct ProcessEnded {
  int code;
};

class BoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    automation_.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, /*repeat=*/true);
    plat::SetAutomationProvider(&automation_);
    plat::ClearShownLog();
    previousHook_ = plat::SetTerminateHook([](int code) { throw ProcessEnded{code}; });
  }
  void TearDown() override {
    plat::SetTerminateHook(previousHook_);
    plat::SetAutomationProvider(nullptr);
    plat::ClearShownLog();
  }
  // What the boxes shown so far asked for, in order.
  static std::vector<plat::SystemRequest> Boxes() {
    std::vector<plat::SystemRequest> boxes;
    for (const auto& shown : plat::ShownLog())
      boxes.push_back(shown.request);
    return boxes;
  }

 private:
  plat::ScriptedAutomation automation_;
  std::function<void(int)> previousHook_;
};

}  // namespace shared_test
