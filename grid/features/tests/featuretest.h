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
  // Empties the undo and redo lists (deleting their commands).
  static void ClearUndo(CGXGridCore* g) {
    g->GetParam()->EmptyRedoList();
    CObList& undo = g->GetParam()->GetUndoList();
    while (!undo.IsEmpty()) delete undo.RemoveHead();
  }
  plat::ScriptedAutomation automation;
};

}  // namespace featuretest
