// The engine's fixture with the editing features registered before the grid library starts.
#pragma once

#include "grid/core/tests/enginetest.h"
#include "grid/features/gxfeatures.h"

namespace featuretest {

class FeatureTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    s_pfnRegisterLibraries = &GXRegisterEditingFeatures;
    EngineTest::SetUp();
  }
  void TearDown() override {
    EngineTest::TearDown();
    plat::SetAutomationProvider(nullptr);
  }
  // Installs the scripted answers: the test's own rules first, then OK for every other message box.
  void Automate() {
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
    plat::SetAutomationProvider(&automation);
  }
  plat::ScriptedAutomation automation;
};

}  // namespace featuretest
