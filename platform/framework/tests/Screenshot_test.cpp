// Reference screenshots of the test dialog (every standard control kind), the platform's own message box and
// chooser. BRIM_UPDATE_REFERENCES=1 rewrites the committed images after an intended change.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/framework/CFindReplaceDialog.h"
#include "platform/framework/ChooserBox.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/tests/FrameworkTest.h"
#include "platform/framework/tests/TestDialog.h"

namespace plat::test {
namespace {

class ScreenshotTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Desktop::Configure(1024, 768);
    RegisterTestDialog();
  }
  void TearDown() override {
    ResourceTable::RemoveModule(AfxGetInstanceHandle());
    FrameworkTest::TearDown();
  }

  static void ExpectMatchesReference(HWND hwnd, const std::string& name) {
    auto image = Desktop::Capture(hwnd);
    ASSERT_TRUE(image);
    const ReferenceMatch match = MatchReferenceImage(*image, "platform/framework/tests/reference/" + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
};

TEST_F(ScreenshotTest, TestDialogMatchesTheReference) {
  CTestDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_TEST));
  dlg.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  dlg.ShowWindow(SW_SHOW);
  Pump();
  // The focused push button takes the default look from OK.
  ::SendMessage(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, IDC_APPLY)), TRUE);
  Pump();
  ExpectMatchesReference(dlg, "test-dialog");
}

// The find dialog as the grid opens it (whole word hidden) and the replace dialog with every option shown.
TEST_F(ScreenshotTest, FindAndReplaceDialogsMatchTheReferences) {
  auto* find = new CFindReplaceDialog;
  ASSERT_TRUE(find->Create(TRUE, "VDD_01", nullptr, FR_DOWN | FR_HIDEWHOLEWORD));
  find->SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();
  ExpectMatchesReference(*find, "find-dialog");
  find->SendMessage(WM_CLOSE);
  auto* replace = new CFindReplaceDialog;
  ASSERT_TRUE(replace->Create(FALSE, "VDD", "VCC_CORE", FR_DOWN | FR_MATCHCASE));
  replace->SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();
  ExpectMatchesReference(*replace, "replace-dialog");
  replace->SendMessage(WM_CLOSE);
  Pump();
}

TEST_F(ScreenshotTest, OwnMessageBoxMatchesTheReference) {
  HWND box = CreateMessageBoxWindow(nullptr,
                                    "The capacitor model file could not be read. Do you want to choose another file?",
                                    "Models", MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
  ASSERT_NE(box, nullptr);
  ShowWindow(box, SW_SHOW);
  Pump();
  ExpectMatchesReference(box, "message-box");
  DestroyWindow(box);
}

TEST_F(ScreenshotTest, OwnChooserMatchesTheReference) {
  ChooserSpec spec;
  spec.caption = "Color";
  spec.prompt = "Basic colors:";
  spec.items = {"Black", "Maroon", "Green", "Navy", "White"};
  spec.swatches = {RGB(0, 0, 0), RGB(128, 0, 0), RGB(0, 128, 0), RGB(0, 0, 128), RGB(255, 255, 255)};
  spec.selected = 2;
  HWND chooser = CreateChooserWindow(nullptr, spec);
  ASSERT_NE(chooser, nullptr);
  ShowWindow(chooser, SW_SHOW);
  Pump();
  ExpectMatchesReference(chooser, "chooser");
  DestroyWindow(chooser);
}

}  // namespace
}  // namespace plat::test
