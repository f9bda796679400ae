// The cell control base and the static and header cells.
#include "grid/controls/CGXHeader.h"
#include "grid/core/tests/enginetest.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

namespace enginetest {
namespace {

using StaticCellTest = EngineTest;

TEST_F(StaticCellTest, TextMarginsFollowTheAlignment) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXStatic cell(g);
  const int m = CGXStatic::TextMargin();
  EXPECT_GE(m, 2);
  CGXStyle left, right;
  right.SetHorizontalAlignment(GX_DT_RIGHT);
  const CRect rect(100, 40, 150, 60);
  const CRect base = cell.CGXControl::ComputeInnerRect(rect, left);
  const CRect l = cell.ComputeInnerRect(rect, left), r = cell.ComputeInnerRect(rect, right);
  EXPECT_EQ(l.left, base.left + m);
  EXPECT_EQ(l.right, base.right - m / 2);
  EXPECT_EQ(r.right, base.right - (m + 1));
  // The inner rectangle leaves the grid line at the left and top edges.
  EXPECT_EQ(base, CRect(101, 41, 150, 60));
}

TEST_F(StaticCellTest, ControlClassesChainToTheirBases) {
  CGXGridWnd* g = MakeGrid(1, 1);
  CGXHeader header(g);
  CGXStatic text(g);
  EXPECT_TRUE(header.IsKindOfControl(&CGXStatic::classCGXStatic));
  EXPECT_TRUE(header.IsKindOfControl(&CGXControl::classCGXControl));
  EXPECT_FALSE(text.IsKindOfControl(&CGXHeader::classCGXHeader));
  // A record of another library with the same name counts as the same class.
  const CGXControlClass lookalike = {"CGXStatic", nullptr};
  EXPECT_TRUE(header.IsKindOfControl(&lookalike));
}

TEST_F(StaticCellTest, AHeaderOnePixelHighDrawsNothing) {
  CGXGridWnd* g = MakeGrid(3, 3);
  CGXHeader header(g);
  // A 32-bit colour bitmap (a bitmap compatible with a fresh memory device would be monochrome).
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateBitmap(40, 20, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, 40, 20, RGB(1, 2, 3));
  CGXStyle style;
  style.SetValue("Head").SetInteriorColor(RGB(200, 200, 200));
  header.DrawCell(&dc, CRect(0, 5, 40, 6), 0, 1, style, nullptr);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(dc.GetPixel(x, 5), RGB(1, 2, 3)) << x;
  header.DrawCell(&dc, CRect(0, 0, 40, 20), 0, 1, style, nullptr);
  EXPECT_NE(dc.GetPixel(20, 2), RGB(1, 2, 3));
  dc.SelectObject(old);
}

TEST_F(StaticCellTest, TheCurrentRowsHeaderIsDrawnPressed) {
  CGXGridWnd* g = MakeGrid(5, 3, 300, 200);
  plat::Desktop::PaintAll();
  auto before = plat::Desktop::Capture(*g);
  g->MoveCurrentCellTo(3, 2, GX_UPDATENOW);
  g->RedrawAll(GX_UPDATENOW);
  plat::Desktop::PaintAll();
  auto after = plat::Desktop::Capture(*g);
  const CRect header = g->CalcCellRect(3, 0);
  // The raised highlight along the top of the row header is gone once the row holds the current cell.
  EXPECT_NE(after->pixel(header.left + 10, header.top + 1), before->pixel(header.left + 10, header.top + 1));
  const CRect other = g->CalcCellRect(4, 0);
  EXPECT_EQ(after->pixel(other.left + 10, other.top + 1), before->pixel(other.left + 10, other.top + 1));
}

}  // namespace
}  // namespace enginetest
