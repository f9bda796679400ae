// The application object's use-counted keyboard hook, driven by wizard windows as the host's loop pumps them.
#include "brimstead/BrimsteadAPI.h"
#include "brimstead/BrimsteadApp.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/tests/ModuleTestSupport.h"
#include "host/HostCallbackLog.h"
#include "platform/window/MessageQueue.h"

#include <gtest/gtest.h>

using namespace brimtest;

namespace {

class KeyboardHook : public ::testing::Test {
protected:
  void SetUp() override {
    ResetTestWindows();
    plat::MessageQueue::Instance().Clear();
  }
  void TearDown() override {
    RemoveFakeWizardDialogs();
    ResetTestWindows();
  }

  // Posts a character to the window and lets the host's loop take it; answers what the window procedure got.
  UINT DeliverChar(HWND hwnd) {
    MessageLog().clear();
    PostMessage(hwnd, WM_CHAR, 'a', 1);
    PumpPending();
    for (const LoggedMessage& entry : MessageLog())
      if (entry.hwnd == hwnd && (entry.message == WM_CHAR || entry.message == WM_NULL))
        return entry.message;
    return 0xFFFF;
  }

  CBrimsteadApp app;
};

TEST_F(KeyboardHook, InstalledOnceForTwoWizardsAndRemovedWithTheLast) {
  CFakeWizardDialog first(1, nullptr), second(2, nullptr);
  ASSERT_TRUE(first.CreateModeless());
  ASSERT_TRUE(second.CreateModeless());
  EXPECT_TRUE(app.IsKeyboardHookInstalled());
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 2);

  first.Destroy();
  EXPECT_TRUE(app.IsKeyboardHookInstalled());
  EXPECT_EQ(DeliverChar(second.GetWindow()), WM_NULL);
  EXPECT_EQ(second.m_Wnd.m_nTaken, 1);

  second.Destroy();
  EXPECT_FALSE(app.IsKeyboardHookInstalled());
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 0);
  // Giving back a use without a hook does nothing.
  app.UseKeyboardHook(false);
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 0);
}

TEST_F(KeyboardHook, HandledCharacterArrivesAsNullMessageWithZeroParameters) {
  CFakeWizardDialog wizard(1, nullptr);
  ASSERT_TRUE(wizard.CreateModeless());
  MessageLog().clear();
  PostMessage(wizard.GetWindow(), WM_CHAR, 'x', 7);
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_NULL);
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_EQ(msg.lParam, 0);
  DispatchMessage(&msg);
  EXPECT_TRUE(Logged(WM_CHAR).empty());
  wizard.Destroy();
}

TEST_F(KeyboardHook, PeekedAndNonKeyboardMessagesPassUntouched) {
  CFakeWizardDialog wizard(1, nullptr);
  ASSERT_TRUE(wizard.CreateModeless());
  PostMessage(wizard.GetWindow(), WM_CHAR, 'x', 7);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('x'));
  EXPECT_EQ(wizard.m_Wnd.m_nTaken, 0);   // not offered to the pre-translation
  PumpPending();
  EXPECT_EQ(wizard.m_Wnd.m_nTaken, 1);

  PostMessage(wizard.GetWindow(), WM_USER + 7, 3, 4);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 7u);
  EXPECT_EQ(msg.wParam, 3u);
  wizard.Destroy();
}

TEST_F(KeyboardHook, ModalAndModelessWizardsKeepEachOthersKeyboardHandling) {
  host::HostCallbackLog callback;
  FakeWizardDialogs& fakes = InstallFakeWizardDialogs();
  CBypassWizardAPI* bypass = CBypassWizardAPI::Create();
  bypass->SetCallback(&callback);
  ASSERT_TRUE(bypass->CreateModeless());
  HWND modeless = bypass->GetWizardWindow();

  // The modal decoupling wizard runs while the modeless bypass wizard is open; the modeless one closes first.
  UINT modalWhileBoth = 0, modalAfterClose = 0;
  fakes.modal = [&](CFakeWizardDialog& dialog) {
    modalWhileBoth = DeliverChar(dialog.GetWindow());
    EXPECT_EQ(app.GetKeyboardHookUseCount(), 2);
    bypass->Close();
    modalAfterClose = DeliverChar(dialog.GetWindow());
    return INT_PTR{IDCANCEL};
  };
  CBrimsteadAPI* decoupling = CBrimsteadAPI::Create();
  EXPECT_FALSE(decoupling->RunModal());
  EXPECT_EQ(modalWhileBoth, WM_NULL);
  EXPECT_EQ(modalAfterClose, WM_NULL);
  EXPECT_FALSE(IsWindow(modeless));
  EXPECT_FALSE(app.IsKeyboardHookInstalled());

  // The other way round: the modal run ends first, the modeless wizard keeps its keys.
  ASSERT_TRUE(bypass->CreateModeless());
  fakes.modal = [](CFakeWizardDialog&) { return INT_PTR{IDCANCEL}; };
  EXPECT_FALSE(decoupling->RunModal());
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 1);
  EXPECT_EQ(DeliverChar(bypass->GetWizardWindow()), WM_NULL);
  bypass->Close();
  EXPECT_FALSE(app.IsKeyboardHookInstalled());
}

TEST_F(KeyboardHook, ExitInstanceRemovesTheHookWhateverItsCount) {
  CFakeWizardDialog first(1, nullptr), second(3, nullptr);
  ASSERT_TRUE(first.CreateModeless());
  ASSERT_TRUE(second.CreateModeless());
  app.ExitInstance();
  EXPECT_FALSE(app.IsKeyboardHookInstalled());
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 0);
  EXPECT_EQ(DeliverChar(first.GetWindow()), static_cast<UINT>(WM_CHAR));
  // The windows going afterwards give back uses of a hook that is gone: nothing happens.
  first.Destroy();
  second.Destroy();
  EXPECT_EQ(app.GetKeyboardHookUseCount(), 0);
}

}  // namespace
