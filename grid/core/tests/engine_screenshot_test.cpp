// Reference screenshots of grids laid out from a layout resource. BRIM_UPDATE_REFERENCES=1 rewrites the
// committed images after an intended change.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "grid/core/gxlayout.h"
#include "grid/core/gxlayoutresources.h"
#include "grid/core/tests/enginetest.h"
#include "grid/core/tests/gxtest.h"
#include "platform/display/ReferenceImage.h"
#include "platform/gdi/Surface.h"

namespace enginetest {
namespace {

class ScreenshotTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    gxtest::InstallAll();
    gx::RegisterGridLayouts();
  }

  static void ExpectMatchesReference(HWND hwnd, const std::string& name) {
    plat::Desktop::PaintAll();
    auto image = plat::Desktop::Capture(hwnd);
    ASSERT_TRUE(image);
    const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, "grid/core/tests/reference/" + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }

  // A grid window laid out from a layout resource (the dialogs' way: attach, then initialise).
  CGXGridWnd* FromLayout(const char* name, int w, int h) {
    auto* g = new CGXGridWnd;
    grid.reset(g);
    EXPECT_TRUE(g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, w, h, nullptr, nullptr));
    CGXGridParam* param = LoadGridParamLayout(name);
    EXPECT_NE(param, nullptr);
    g->AttachParam(param, TRUE);
    g->InitializeFromStyle();
    return g;
  }
};

TEST_F(ScreenshotTest, BoardListLayout) {
  CGXGridWnd* g = FromLayout("BOARDLIST", 360, 220);
  g->SetCellValue(1, 1, "main.brd");
  g->SetCellValue(1, 2, "Main board");
  g->SetCellValue(2, 1, "daughter.brd");
  g->SetCellValue(2, 2, "Memory daughter card");
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  ExpectMatchesReference(*g, "gridengine-boardlist");
}

TEST_F(ScreenshotTest, FrozenHeaderRowsWithStyles) {
  CGXGridWnd* g = FromLayout("BOARDLIST", 360, 220);
  g->SetColCount(5, 0);
  g->SetFrozenRows(2, 2, 0);
  CGXStyle header;
  header.SetInteriorColor(RGB(220, 230, 250)).SetHorizontalAlignment(GX_DT_CENTER);
  g->SetStyleRange(CGXRange().AssignRows(1, 2), header);
  g->SetCellValue(1, 1, "Net");
  g->SetCellValue(2, 1, "(name)");
  CGXStyle boxed;
  boxed.SetBorder(GX_BORDER_ALL, CGXBorderPen(PS_SOLID, 2, RGB(200, 0, 0)));
  g->SetStyleRange(CGXRange(4, 2), boxed);
  for (ROWCOL r = 3; r <= 40; ++r) g->SetCellValue(r, 1, CString("VCC") + CString(static_cast<char>('0' + r % 10)));
  g->GetParam()->GetSelection().AddTail(new CGXRange(6, 1, 7, 2));
  g->SetTopRow(5, 0);
  g->MoveCurrentCellTo(9, 2, GX_UPDATENOW);
  ExpectMatchesReference(*g, "gridengine-frozen");
}

}  // namespace
}  // namespace enginetest
