// Test support for the wizard windows: a clean window system per test with the wizard resources registered and a
// scripted automation provider, input helpers, and a recording property page for the frame tests.
#pragma once

#include "platform/framework/CPropertyPage.h"
#include "platform/window/AutomationProvider.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wiztest {

class WizardWindowTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  static void Pump();
  static void Key(int vk);
  static void ClickAt(HWND hwnd, int x, int y);
  // Clicks the middle of a window.
  static void Click(HWND hwnd);
  static std::string Text(HWND hwnd);
  // Compares the window's pixels with the committed reference (brimstead/wizards/tests/reference/<name>.png).
  static void ExpectMatchesReference(HWND hwnd, const std::string& name);

  plat::ScriptedAutomation automation;
};

// A page that records its notifications ("set 3", "kill 3", "back 3", "next 3", "finish 3") and answers as told.
constexpr UINT TestPageTemplate = 900;
class CRecordingPage : public CPropertyPage {
public:
  CRecordingPage(int tag, std::vector<std::string>& log) : CPropertyPage(TestPageTemplate), m_nTag(tag), m_Log(log) {}
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
  BOOL OnWizardFinish() override;

  BOOL m_bSetAnswer = TRUE;
  BOOL m_bKillAnswer = TRUE;
  LRESULT m_nBackAnswer = 0;
  LRESULT m_nNextAnswer = 0;
  BOOL m_bFinishAnswer = TRUE;

private:
  int m_nTag;
  std::vector<std::string>& m_Log;
};

}  // namespace wiztest
