// The print preview on screen through the SDL2 presenter under a private X server: a grid's preview opens,
// a real click on "Next Page" shows the second page and a real click on "Close" ends the preview. Run by
// CTest through xvfb-run.
#include <chrono>
#include <cstdlib>
#include <string>

#include "grid/core/CGXProperties.h"
#include "grid/features/CGXPrintImp.h"
#include "grid/features/tests/featuretest.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/display/SdlPresenter.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/Printers.h"

// The X and SDL libraries keep process-wide state until exit (see the platform's presenter test).
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }

namespace {

using OnScreenTest = featuretest::FeatureTest;

// Clicks the middle of a window with the real mouse, then pumps real events until `done` holds.
template <class F>
bool ClickUntil(plat::SdlPresenter& presenter, HWND target, F done) {
  RECT r;
  ::GetWindowRect(target, &r);
  const POINT origin = presenter.WindowPosition();
  const std::string cmd = "timeout 10 xdotool mousemove --sync " + std::to_string(origin.x + (r.left + r.right) / 2) +
                          " " + std::to_string(origin.y + (r.top + r.bottom) / 2) + " click 1";
  if (plat::RunCommand(cmd) != 0) return false;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done() && std::chrono::steady_clock::now() < until) {
    presenter.WaitForEvents(20);
    plat::RunUntilIdle();
  }
  return done();
}

TEST_F(OnScreenTest, PreviewPagesWithRealClicks) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  CGXGridWnd* g = MakeGrid(60, 12, 300, 200);
  for (ROWCOL r = 1; r <= 60; ++r) g->SetCellValue(r, 1, ("row " + std::to_string(r)).c_str(), 0);
  CPrintSteps steps = GXGridPrintSteps(g, TRUE, "On screen");
  steps.prepare = [](CPrintInfo* info) -> BOOL {
    info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, "PDF", nullptr, nullptr);
    return info->m_pPD->m_pd.hDC != nullptr;
  };
  CPrintPreviewWnd* preview = CPrintPreviewWnd::Open(steps, nullptr, 500, 600);
  ASSERT_NE(preview, nullptr);
  HWND hwnd = preview->GetSafeHwnd();
  ASSERT_GT(preview->GetPageCount(), 1u);
  plat::SdlPresenter presenter("print preview on screen");
  ASSERT_TRUE(presenter.IsOpen());
  plat::RunUntilIdle();
  ASSERT_TRUE(presenter.WaitUntilFocused(10000));
  EXPECT_EQ(preview->GetCurrentPage(), 1u);
  EXPECT_TRUE(ClickUntil(presenter, ::GetDlgItem(hwnd, AFX_ID_PREVIEW_NEXT), [&] { return preview->GetCurrentPage() == 2; }));
  EXPECT_EQ(preview->GetPageText(), ("Page 2 / " + std::to_string(preview->GetPageCount())).c_str());
  EXPECT_TRUE(ClickUntil(presenter, ::GetDlgItem(hwnd, AFX_ID_PREVIEW_PREV), [&] { return preview->GetCurrentPage() == 1; }));
  EXPECT_TRUE(ClickUntil(presenter, ::GetDlgItem(hwnd, AFX_ID_PREVIEW_CLOSE), [&] { return !::IsWindow(hwnd); }));
  EXPECT_FALSE(g->IsPrinting());
}

}  // namespace
