// Each button kind on screen through the SDL2 presenter, answering real clicks made with xdotool under a
// private X server: a bitmap button clicks, the well button's popup opens and a cell chosen in it becomes the
// button's colour. Run by CTest through xvfb-run.
#include <chrono>
#include <cstdlib>
#include <string>

#include "foundation/tests/ButtonsDialog.h"
#include "foundation/tests/FoundationTest.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"

// The X and SDL libraries keep process-wide state until exit.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace foundation::test {
namespace {

class OnScreenTest : public FoundationTest {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    FoundationTest::SetUp();
    plat::SetAutomationProvider(nullptr);  // real input only
    plat::Desktop::Configure(800, 600);
    RegisterButtonsDialog();
  }

  static void Xdotool(const std::string& args) {
    const std::string cmd = "timeout 10 xdotool " + args;  // bounded: --sync may wait forever
    ASSERT_EQ(plat::RunCommand(cmd), 0) << cmd;
  }
  template <class F>
  static bool PumpUntil(plat::SdlPresenter& presenter, F done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < until) {
      presenter.WaitForEvents(20);
      Pump();
    }
    return done();
  }
  static std::string ScreenPoint(plat::SdlPresenter& presenter, HWND hwnd, POINT p) {
    ClientToScreen(hwnd, &p);
    const POINT origin = presenter.WindowPosition();
    return std::to_string(origin.x + p.x) + " " + std::to_string(origin.y + p.y);
  }
};

TEST_F(OnScreenTest, ButtonsAndWellsAnswerRealClicks) {
  CButtonsDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
  dlg.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  dlg.ShowWindow(SW_SHOW);
  plat::SdlPresenter presenter("foundation on-screen test");
  ASSERT_TRUE(presenter.IsOpen());
  Pump();
  // Real input before the window is mapped and holds the X keyboard focus is lost.
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));

  const std::string click = "click " + std::to_string(IDC_BMP_LEFT);
  Xdotool("mousemove --sync " + ScreenPoint(presenter, dlg.m_left, {20, 10}) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return !dlg.events.empty() && dlg.events.back() == click; }));

  Xdotool("mousemove --sync " + ScreenPoint(presenter, dlg.m_wellButton, {8, 8}) + " click 1");
  SECPopupColorWell* popup = dlg.m_wellButton.GetPopup();
  ASSERT_TRUE(PumpUntil(presenter, [&] { return popup->IsOpen(); }));
  const CRect cell = popup->CellRect(0, 3);
  Xdotool("mousemove --sync " + ScreenPoint(presenter, *popup, cell.CenterPoint()) + " click 1");
  ASSERT_TRUE(PumpUntil(presenter, [&] { return !popup->IsOpen(); }));
  EXPECT_NE(dlg.m_wellButton.GetColor(), RGB(0, 128, 128));
  dlg.DestroyWindow();
}

}  // namespace
}  // namespace foundation::test
