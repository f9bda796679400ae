// Push-button and bitmap-button cells: one notification per click or space, the caption, the bitmaps that
// show, the current-cell frame and the sizes.
#include "foundation/ButtonBitmap.h"
#include "grid/controls/CGXBitmapButtonChild.h"
#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXSysColorTable.h"

namespace enginetest {
namespace {

using PushbuttonTest = CellControlTest;

constexpr UINT kNormal = 31001, kPressed = 31002, kFocus = 31003, kBroken = 31004;
const RGBQUAD kPalette[] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};  // red, green, blue

// Three one-colour bitmaps (red 10 x 8, green 12 x 6, blue 4 x 9) and one whose header lies.
void AddTestBitmaps() {
  static const std::vector<BYTE> red = foundation::MakePackedDib4(std::vector<std::string_view>(8, "rrrrrrrrrr"), "rgb", kPalette);
  static const std::vector<BYTE> green = foundation::MakePackedDib4(std::vector<std::string_view>(6, "gggggggggggg"), "rgb", kPalette);
  static const std::vector<BYTE> blue = foundation::MakePackedDib4(std::vector<std::string_view>(9, "bbbb"), "rgb", kPalette);
  static const std::vector<BYTE> broken = [] {
    std::vector<BYTE> b = red;
    b.resize(60);  // the header promises a colour table and rows that are not there
    return b;
  }();
  const HINSTANCE m = AfxGetInstanceHandle();
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(kNormal), red);
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(kPressed), green);
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(kFocus), blue);
  plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(kBroken), broken);
}

TEST_F(PushbuttonTest, AClickOrSpaceReachesTheGridOnce) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_PUSHBTN).SetChoiceList("Go");
  SetCell(g, 2, 1, style);
  g->Take();
  Click(g, 2, 1, 25, 10);
  EXPECT_EQ(g->Take(), (Log{"clicked 2,1"}));
  Key(VK_SPACE);
  EXPECT_EQ(g->Take(), (Log{"key 32,0", "clicked 2,1"}));  // the click comes with the key-up
  auto* push = ControlOf<CGXPushbutton>(g, GX_IDS_CTRL_PUSHBTN);
  CString caption;
  push->GetButton()->GetText(caption);
  EXPECT_EQ(caption, "Go");
  EXPECT_EQ(push->GetActiveChild(), push->GetButton());
}

TEST_F(PushbuttonTest, CaptionFrameAndSize) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXPushbutton push(g);
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  style.SetDraw3dFrame(1);
  // Without a choice list the button is empty: a plain face.
  Canvas empty(50, 20);
  push.DrawCell(&empty.dc, CRect(0, 0, 50, 20), 2, 1, style, nullptr);
  EXPECT_EQ(empty.Count(CRect(5, 5, 45, 15), CGXSysColorTable::GetColor(COLOR_BTNFACE)), 400);
  // A rectangle of one pixel draws nothing.
  Canvas one(50, 20);
  push.DrawCell(&one.dc, CRect(0, 0, 1, 20), 2, 1, style, nullptr);
  EXPECT_EQ(one.At(0, 5), RGB(1, 2, 3));
  CDC* dc = g->GetCachedDC();
  style.SetChoiceList("Press here");
  CSize text;
  {
    gx::CellFontScope font(g, dc, style);
    text = dc->GetTextExtent("Press here");
  }
  const CSize borders = push.AddBordersToSize(CSize(0, 0), style);
  EXPECT_EQ(push.ComputeCellSize(dc, 2, 1, style, nullptr, FALSE), CSize(text.cx + 8 + borders.cx, text.cy + 4 + borders.cy));
}

TEST_F(PushbuttonTest, BitmapButtonsShowTheirBitmapsAndFrame) {
  RecordingGrid* g = MakeRecordingGrid();
  AddTestBitmaps();
  // Only a normal bitmap: pressing shows no change and needs no redraw; the grid's frame shows the focus.
  CGXBitmapButton plain(g, kNormal);
  EXPECT_TRUE(plain.BitmapsLoaded());
  EXPECT_FALSE(plain.GetButton()->GetRedrawOnChange());
  plain.GetButton()->SetRect(CRect(0, 0, 20, 5));  // lower than the bitmap: its top rows
  plain.GetButton()->OnLButtonDown(0, CPoint(1, 1));
  Canvas a(20, 10);
  plain.GetButton()->Draw(&a.dc, TRUE);
  EXPECT_EQ(a.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(a.At(9, 4), RGB(255, 0, 0));
  EXPECT_EQ(a.At(10, 0), RGB(1, 2, 3));
  EXPECT_EQ(a.At(0, 5), RGB(1, 2, 3));
  Canvas frame(20, 20);
  plain.DrawCurrentCellFrame(&frame.dc, CRect(0, 0, 20, 20));
  EXPECT_NE(frame.At(0, 10), RGB(1, 2, 3));
  const CSize borders = plain.AddBordersToSize(CSize(0, 0), CGXStyle());
  EXPECT_EQ(plain.ComputeCellSize(nullptr, 1, 1, CGXStyle(), nullptr, FALSE), CSize(10, 8) + borders);
  // All three: pressed shows green, the active child blue, and the frame is the bitmap's.
  CGXBitmapButton full(g, kNormal, kPressed, kFocus);
  EXPECT_TRUE(full.GetButton()->GetRedrawOnChange());
  full.GetButton()->SetRect(CRect(0, 0, 20, 20));
  Canvas normal(20, 20), focus(20, 20), pressed(20, 20), noFrame(20, 20);
  full.GetButton()->Draw(&normal.dc, FALSE);
  full.SetActiveChild(full.GetButton());
  full.GetButton()->Draw(&focus.dc, FALSE);
  full.GetButton()->OnKeyDown(VK_SPACE, 1, 0);
  full.GetButton()->Draw(&pressed.dc, FALSE);
  EXPECT_EQ(normal.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(focus.At(1, 1), RGB(0, 0, 255));
  EXPECT_EQ(pressed.At(1, 1), RGB(0, 255, 0));
  full.DrawCurrentCellFrame(&noFrame.dc, CRect(0, 0, 20, 20));
  EXPECT_EQ(noFrame.Count(CRect(0, 0, 20, 20), RGB(1, 2, 3)), 400);
  EXPECT_EQ(full.ComputeCellSize(nullptr, 1, 1, CGXStyle(), nullptr, FALSE), CSize(12, 9) + borders);
  // A resource whose bytes are no sound bitmap loads as missing and draws nothing.
  CGXBitmapButton broken(g, kBroken);
  EXPECT_FALSE(broken.BitmapsLoaded());
  CGXBitmapButton half(g, kNormal, kBroken);
  EXPECT_FALSE(half.BitmapsLoaded());
  Canvas none(20, 20);
  broken.GetButton()->SetRect(CRect(0, 0, 20, 20));
  broken.GetButton()->Draw(&none.dc, TRUE);
  EXPECT_EQ(none.Count(CRect(0, 0, 20, 20), RGB(1, 2, 3)), 400);
  EXPECT_EQ(broken.ComputeCellSize(nullptr, 1, 1, CGXStyle(), nullptr, FALSE), borders);
}

}  // namespace
}  // namespace enginetest
