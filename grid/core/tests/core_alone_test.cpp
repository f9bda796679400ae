// The model and the engine without any cell control library: this program links grid_core alone, and its
// control factory has no creator, so no cell has a control.
#include <gtest/gtest.h>

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/gxstrings.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/Surface.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"
#include "platform/window/windowapi.h"

namespace {

class CoreAlone : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("core-alone-tests"));
    plat::Desktop::Configure(800, 600);
    CGXControlFactory::ClearRegistriesForTest();
    InitGridLibrary();
  }
};

TEST_F(CoreAlone, AGridWithoutCellControlsPaintsMovesAndScrolls) {
  CGXControlFactory factory;
  EXPECT_EQ(factory.CreateControl(GX_IDS_CTRL_STATIC, nullptr), nullptr);
  EXPECT_EQ(factory.CreateControl(GX_IDS_CTRL_HEADER, nullptr), nullptr);

  HWND hwnd = CreateWindowEx(0, "CGXGridWnd", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 300, 200,
                             nullptr, nullptr, AfxGetInstanceHandle(), nullptr);
  ASSERT_NE(hwnd, nullptr);
  auto* grid = static_cast<CGXGridWnd*>(CWnd::FromHandlePermanent(hwnd));
  ASSERT_NE(grid, nullptr);
  grid->InitializeFromStyle();
  grid->SetRowCount(200, 0);
  grid->SetColCount(20, 0);
  grid->SetDefaultRowHeight(20, 0);
  grid->SetDefaultColWidth(50, 0);
  grid->SetCellValue(1, 1, "text");
  // No cell has a control to draw it: the lines and the background are still drawn.
  plat::Desktop::PaintAll();
  const auto shot = plat::Desktop::Capture(hwnd);
  ASSERT_TRUE(shot);
  // A cell left to draw its own background (a row header, alone in its run) is filled like its neighbours.
  const auto at = [&](int x, int y) { return plat::colorFromPixel(shot->pixel(x, y)) & 0xFFFFFF; };
  EXPECT_EQ(at(25, 30), at(80, 10));
  EXPECT_EQ(at(80, 30), RGB(255, 255, 255));

  SetFocus(hwnd);
  ASSERT_TRUE(grid->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  auto& in = plat::InputRouter::Instance();
  in.KeyPress(VK_DOWN);
  in.KeyPress(VK_RIGHT);
  plat::RunUntilIdle();
  ROWCOL row = 0, col = 0;
  ASSERT_TRUE(grid->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 2u);
  EXPECT_EQ(col, 2u);
  in.KeyPress(VK_NEXT);
  plat::RunUntilIdle();
  EXPECT_GT(grid->GetTopRow(), 1u);
  grid->SetTopRow(1);
  in.Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(hwnd, 125, 70));
  plat::RunUntilIdle();
  ASSERT_TRUE(grid->QueryCurrentCell(&row, &col));
  EXPECT_EQ(row, 3u);
  EXPECT_EQ(col, 2u);
  plat::Desktop::PaintAll();
  EXPECT_EQ(grid->GetCellValue(1, 1), "text");
  DestroyWindow(hwnd);
  plat::RunUntilIdle();
}

TEST_F(CoreAlone, TheCoreTextsAndTheControlBaseAttributesNeedNoControlLibrary) {
  // The engine's command names and status texts are among the start-up texts.
  const CGXGridGlobals& g = CGXGridGlobals::Get();
  ASSERT_EQ(g.m_texts.size(), 34u);
  EXPECT_EQ(g.m_texts[3], "Storing cells ....");
  EXPECT_EQ(g.m_texts[6], "Removing rows ...");
  EXPECT_EQ(g.m_texts[7], "Removing columns ...");
  EXPECT_EQ(g.m_texts[28], "Insert Rows");
  EXPECT_EQ(g.m_texts[29], "Insert Columns");
  EXPECT_EQ(gx::LoadGridString(20082), "Operation is too large for the undo buffer. Do you want to continue?");
  // The control base's attributes are registered by the core's factory, named from the core's table.
  CGXStylesMap map;
  CGXControlFactory().RegisterAllUserAttributes(map);
  for (UINT id : {51011u, 51012u, 51013u, 52570u}) EXPECT_EQ(map.GetUserAttributeMap().count(id), 1u) << id;
  EXPECT_EQ(gx::LoadGridString(51011), "Valid: Min. Value");
  // A cell control's text is its own library's: this program has none.
  CString text = "x";
  EXPECT_FALSE(gx::LoadGridString(text, 51019));
  EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
