// The gallery's page of windowless cells on screen through the SDL2 presenter under a private X server: a
// real click made with xdotool on the live check box's box toggles it. Run by CTest through xvfb-run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "grid/controls/CGXCheckBox.h"
#include "grid/demo/gallery.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Pump.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

TEST(CellGallery, ARealClickTogglesACheckBox) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through xvfb-run";
  plat::SetAutomationProvider(nullptr);  // real input only
  const gallery::Page* page = gallery::FindPage("windowless");
  ASSERT_NE(page, nullptr);
  plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
  HWND main = page->build();
  CGXGridWnd* g = gallery::PageGrid(main);
  plat::SdlPresenter presenter("cell gallery on screen");
  ASSERT_TRUE(presenter.IsOpen());
  plat::RunUntilIdle();
  // Real input before the window is mapped and holds the X keyboard focus is lost.
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));

  // The live cell of the first row: the plain check box, unchecked.
  constexpr ROWCOL row = 1, col = 6;
  ASSERT_EQ(g->GetCellValue(row, col), "0");
  CGXControl* control = g->ControlForId(GX_IDS_CTRL_CHECKBOX);
  const CRect box = static_cast<CGXCheckBox*>(control)->ComputeBoxRect(
      nullptr, control->ComputeInnerRect(row, col), "", GX_DT_CENTER | GX_DT_VCENTER);
  POINT target = box.CenterPoint();
  ClientToScreen(g->GridHwnd(), &target);
  const POINT origin = presenter.WindowPosition();
  const std::string cmd = "timeout 10 xdotool mousemove --sync " + std::to_string(origin.x + target.x) + " " +
                          std::to_string(origin.y + target.y) + " click 1";
  ASSERT_EQ(plat::RunCommand(cmd), 0) << cmd;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (g->GetCellValue(row, col) != "1" && std::chrono::steady_clock::now() < until) {
    presenter.WaitForEvents(20);
    plat::RunUntilIdle();
  }
  EXPECT_EQ(g->GetCellValue(row, col), "1");
  DestroyWindow(main);
}

}  // namespace
