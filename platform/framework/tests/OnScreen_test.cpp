// The test dialog and the platform's own message box on screen through the SDL2 presenter, answering real
// mouse and keyboard input made with xdotool under a private X server. Run by CTest through xvfb-run.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <string>
#include <functional>

#include "platform/base/ProgramLauncher.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/tests/TempDir.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/CInsertObjectDialog.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/tests/FrameworkTest.h"
#include "platform/framework/tests/TestDialog.h"
#include "platform/window/MessageQueue.h"

// The X and SDL libraries keep process-wide state until exit (see the display's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace plat::test {
namespace {

constexpr std::uint64_t kFocusMs = 10000;
constexpr auto kModalDeadline = std::chrono::seconds(20);

// Runs real input once, when a nested loop waits for events and the window it waits for is up: active,
// visible, painted, on screen and holding the X keyboard focus. A key sent any earlier is lost and the loop
// would wait forever, so the wait has a deadline that ends the loop with a clear failure instead.
class InputWhenIdle : public EventSource {
 public:
  InputWhenIdle(SdlPresenter& presenter, std::string caption, std::function<void()> input)
      : presenter_(presenter), caption_(std::move(caption)), input_(std::move(input)),
        deadline_(std::chrono::steady_clock::now() + kModalDeadline) {
    previous_ = MessageQueue::Instance().eventSource;
    MessageQueue::Instance().eventSource = this;
  }
  ~InputWhenIdle() override { MessageQueue::Instance().eventSource = previous_; }
  bool WaitForEvents(std::optional<std::uint64_t> timeoutMs) override {
    if (std::chrono::steady_clock::now() > deadline_)
      throw MessageLoopStalled("\"" + caption_ + (input_ ? "\" never came up ready for input"
                                                          : "\" did not end after the real input: keys lost?"));
    if (input_ && Ready()) {
      if (!presenter_.WaitUntilFocused(kFocusMs))
        throw MessageLoopStalled("the presenter's window never got the X keyboard focus");
      auto input = std::move(input_);
      input_ = nullptr;
      deadline_ = std::chrono::steady_clock::now() + kModalDeadline;  // the answer gets the full time too
      input();
    }
    return presenter_.WaitForEvents(timeoutMs);
  }

 private:
  bool Ready() const {
    HWND active = GetActiveWindow();
    if (!active || !IsWindowVisible(active) || GetUpdateRect(active, nullptr, FALSE)) return false;
    char text[128]{};
    GetWindowText(active, text, sizeof(text));
    return caption_ == text;
  }

  SdlPresenter& presenter_;
  std::string caption_;
  std::function<void()> input_;
  std::chrono::steady_clock::time_point deadline_;
  EventSource* previous_;
};

class OnScreenTest : public FrameworkTest {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    FrameworkTest::SetUp();
    SetAutomationProvider(nullptr);  // real input only
    Desktop::Configure(800, 600);
    RegisterTestDialog();
  }
  void TearDown() override {
    ResourceTable::RemoveModule(AfxGetInstanceHandle());
    FrameworkTest::TearDown();
  }

  // Bounded: a tool that waits (--sync) for something that never happens must not hang the run.
  static void Xdotool(const std::string& args) {
    std::string cmd = "timeout 10 xdotool " + args;
    ASSERT_EQ(plat::RunCommand(cmd), 0) << cmd;
  }
  // Pumps real events until the condition holds or time runs out.
  template <class F>
  static bool PumpUntil(SdlPresenter& presenter, F done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < until) {
      presenter.WaitForEvents(20);
      Pump();
    }
    return done();
  }
  static std::string ScreenPoint(SdlPresenter& presenter, HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    POINT origin = presenter.WindowPosition();
    return std::to_string(origin.x + p.x) + " " + std::to_string(origin.y + p.y);
  }
};

TEST_F(OnScreenTest, TestDialogAnswersRealClicksAndKeys) {
  CTestDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_TEST));
  dlg.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  dlg.ShowWindow(SW_SHOW);
  SdlPresenter presenter("framework on-screen test");
  ASSERT_TRUE(presenter.IsOpen());
  Pump();
  ASSERT_TRUE(presenter.WaitUntilFocused(kFocusMs));

  HWND name = GetDlgItem(dlg, IDC_NAME);
  // A click right of the text puts the caret at its end.
  Xdotool("mousemove --sync " + ScreenPoint(presenter, name, 140, 8) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return GetFocus() == name; }));
  Xdotool("type --delay 30 x");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return Text(name) == "boardx"; })) << Text(name);
  Xdotool("key --delay 30 Tab");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return GetDlgCtrlID(GetFocus()) == IDC_COUNT; }));
  // A real click on a push button presses it and gives it the default look; Enter then presses it again.
  HWND apply = GetDlgItem(dlg, IDC_APPLY);
  Xdotool("mousemove --sync " + ScreenPoint(presenter, apply, 20, 10) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return !DialogEvents().empty() && DialogEvents().back() == "apply"; }));
  EXPECT_EQ(GetWindowLong(apply, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLong(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  DialogEvents().clear();
  Xdotool("key --delay 30 Return");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return !DialogEvents().empty(); }));
  EXPECT_EQ(DialogEvents().back(), "apply");
  // Shift+Tab reaches the grid, which keeps Tab and arrows but not Enter: Enter goes to the real default again.
  Xdotool("key --delay 30 shift+Tab");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return GetDlgCtrlID(GetFocus()) == IDC_GRID; }));
  EXPECT_EQ(GetWindowLong(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  Xdotool("key --delay 30 Return");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return DialogEvents().back() == "ok"; }));
  EXPECT_EQ(dlg.m_name, "boardx");
}

TEST_F(OnScreenTest, OwnMessageBoxRunsItsLoopUntilARealKeyAnswers) {
  SdlPresenter presenter("framework on-screen test");
  ASSERT_TRUE(presenter.IsOpen());
  // The keys go out once the box is up and painted inside its own loop and the screen holds the focus.
  InputWhenIdle keys(presenter, "Test", [] { Xdotool("key --delay 80 Tab Return"); });
  int answer = MessageBox(nullptr, "Keep the changes?", "Test", MB_OKCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(answer, IDCANCEL);  // Tab moved from OK to Cancel
}

TEST_F(OnScreenTest, FileDialogShowsTheOwnChooserAndTakesATypedName) {
  const TempDir temp("brim-fw-onscreen");
  const std::filesystem::path& dir = temp.Path();
  SdlPresenter presenter("framework on-screen test");
  ASSERT_TRUE(presenter.IsOpen());
  InputWhenIdle keys(presenter, "Save As", [] {
    Xdotool("type --delay 60 board");  // type takes every word after it
    Xdotool("key Return");
  });
  const std::string folder = dir.string();
  CFileDialog save(FALSE, "dao", nullptr, OFN_OVERWRITEPROMPT);
  save.m_ofn.lpstrInitialDir = folder.c_str();
  INT_PTR answer = save.DoModal();
  EXPECT_EQ(answer, IDOK);
  EXPECT_EQ(save.GetPathName(), (folder + "/board.dao").c_str());  // the default extension was added
}

// The chooser lists a folder's names in the module's code page, and the one picked names the file on disk.
TEST_F(OnScreenTest, FileDialogListsNamesBeyondAsciiAndAnswersThemInTheCodePage) {
  const TempDir temp("brim-fw-onscreen-names");
  const std::filesystem::path& dir = temp.Path();
  std::ofstream(dir / "kondensator_\xC3\xA4.s2p") << "! touchstone\n";
  SdlPresenter presenter("framework on-screen test");
  ASSERT_TRUE(presenter.IsOpen());
  InputWhenIdle keys(presenter, "Open", [] { Xdotool("key --delay 80 Down Return"); });
  const std::string folder = dir.string();
  CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Touchstone (*.s2p)|*.s2p||");
  open.m_ofn.lpstrInitialDir = folder.c_str();
  EXPECT_EQ(open.DoModal(), IDOK);
  EXPECT_EQ(open.GetPathName(), (folder + "/kondensator_\xE4.s2p").c_str());
}

TEST_F(OnScreenTest, InsertObjectDialogListsTheTypesInTheChooser) {
  SdlPresenter presenter("framework on-screen test");
  ASSERT_TRUE(presenter.IsOpen());
  InputWhenIdle keys(presenter, "Insert It", [] { Xdotool("key --delay 80 Down Return"); });
  CInsertObjectDialog dialog({{"Alpha.Type.1", "Alpha Document"}, {"Beta.Type.1", "Beta Document"}}, "Insert It");
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetProgId(), "Beta.Type.1");  // Down moved from the first type to the second
}

}  // namespace
}  // namespace plat::test
