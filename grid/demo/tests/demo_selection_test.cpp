// A selection extended from the keyboard looks exactly like the same range made with the mouse: framed all
// round, the current cell's highlight where it belongs (a program of its own, as the other demo tests).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "grid/core/CGXRangeList.h"
#include "grid/demo/gallery.h"
#include "grid/demo/tests/demogrid.h"
#include "platform/display/Desktop.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

// 8 x 5 cells, the selection framed, the fill handle on, (2, 2) current.
struct DemoGrid : demogrid::DemoGrid {
  DemoGrid()
      : demogrid::DemoGrid(8, 5, 2, 2, [](CGXGridWnd& grid) {
          grid.GetParam()->m_bSelectionFrame = TRUE;
          grid.GetParam()->m_bFillEnabled = 1;
        }) {}
};

std::shared_ptr<plat::Surface> Shot(HWND grid) { return plat::Desktop::Capture(grid); }

// A capture of the grid window read at points of its client area.
struct ClientPixels {
  std::shared_ptr<plat::Surface> image;
  int dx = 0, dy = 0;
  explicit ClientPixels(HWND grid) : image(Shot(grid)) {
    RECT wr{};
    GetWindowRect(grid, &wr);
    POINT origin{0, 0};
    ClientToScreen(grid, &origin);
    dx = origin.x - wr.left, dy = origin.y - wr.top;
  }
  // Nearly black: inverted from the white of a cell.
  bool Dark(int x, int y) const {
    const COLORREF c = plat::colorFromPixel(image->pixel(x + dx, y + dy));
    return GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64;
  }
};

int DifferentPixels(const plat::Surface& a, const plat::Surface& b) {
  if (a.width() != b.width() || a.height() != b.height()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

// Drawn step by step as the keys extend it, the selection and its frame look exactly as a full repaint
// draws them: the corner cell (current after the move) keeps the frame on its right and bottom sides.
TEST(GridDemo, AShiftArrowSelectionLooksAsAFullRepaintDrawsIt) {
  plat::Desktop::Configure(640, 440);
  plat::InputRouter& input = plat::InputRouter::Instance();
  DemoGrid d;
  const HWND grid = d.g->GridHwnd();
  auto expectAsRepainted = [&](const char* what) {
    plat::RunUntilIdle();
    auto stepwise = Shot(grid);
    InvalidateRect(grid, nullptr, TRUE);
    UpdateWindow(grid);
    auto whole = Shot(grid);
    ASSERT_TRUE(stepwise && whole);
    EXPECT_EQ(DifferentPixels(*stepwise, *whole), 0) << what;
  };
  input.KeyDown(VK_SHIFT);
  input.KeyPress(VK_RIGHT);
  expectAsRepainted("Shift+Right");
  input.KeyPress(VK_DOWN);
  expectAsRepainted("Shift+Down");
  {
    // Range B2:C3 with C3 current: the frame's inner bands on C3's right and bottom sides are drawn
    // (inverted from the white cell), as on the sides of every other framed cell.
    const ClientPixels shown(grid);
    ASSERT_TRUE(shown.image);
    const CRect corner = d.g->CalcCellRect(3, 3);
    auto dark = [&](int x, int y) { return shown.Dark(x, y); };
    const int midY = corner.CenterPoint().y, midX = corner.CenterPoint().x;
    EXPECT_FALSE(dark(midX, midY)) << "the current cell is not inverted";
    EXPECT_TRUE(dark(corner.right - 2, midY) && dark(corner.right - 1, midY)) << "right side framed";
    EXPECT_TRUE(dark(midX, corner.bottom - 2) && dark(midX, corner.bottom - 1)) << "bottom side framed";
  }
  input.KeyPress(VK_DOWN);
  expectAsRepainted("Shift+Down again");
  input.KeyPress(VK_UP);
  expectAsRepainted("Shift+Up");
  input.KeyPress(VK_LEFT);
  expectAsRepainted("Shift+Left");
  input.KeyUp(VK_SHIFT);
  const CGXRange* r = d.g->GetParam()->GetSelection().GetHead();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(*r, CGXRange(2, 2, 3, 2));
  // The same with the mouse (the current cell stays where the drag began).
  const CRect from = d.g->CalcCellRect(4, 1), to = d.g->CalcCellRect(6, 3);
  const POINT a = plat::InputRouter::ClientPoint(grid, from.CenterPoint().x, from.CenterPoint().y);
  const POINT b = plat::InputRouter::ClientPoint(grid, to.CenterPoint().x, to.CenterPoint().y);
  input.MouseMove(a);
  input.ButtonDown(plat::MouseButton::Left, a);
  input.MouseMove(b);
  input.ButtonUp(plat::MouseButton::Left, b);
  expectAsRepainted("a drag");
}

// With the selection frame on and no range selected, nothing but the current cell's own frame shows where
// the user is: it is drawn on all four sides, and a full repaint draws it the same.
TEST(GridDemo, WithNoRangeSelectedTheCurrentCellShowsItsOwnFrame) {
  plat::Desktop::Configure(640, 440);
  DemoGrid d;
  const HWND grid = d.g->GridHwnd();
  ASSERT_TRUE(d.g->GetParam()->GetSelection().IsEmpty());
  for (const char* paint : {"as moved there", "repainted whole"}) {
    if (paint[0] == 'r') {
      InvalidateRect(grid, nullptr, TRUE);
      UpdateWindow(grid);
    }
    const ClientPixels shown(grid);
    ASSERT_TRUE(shown.image);
    auto dark = [&](int x, int y) { return shown.Dark(x, y); };
    const CRect cell = d.g->CalcCellRect(2, 2);
    const int midX = cell.CenterPoint().x, midY = cell.CenterPoint().y;
    EXPECT_FALSE(dark(midX, midY)) << paint << ": the cell itself is not inverted";
    EXPECT_TRUE(dark(midX, cell.top + 1)) << paint << ": top side";
    EXPECT_TRUE(dark(cell.left + 1, midY)) << paint << ": left side";
    EXPECT_TRUE(dark(cell.right - 1, midY)) << paint << ": right side";
    EXPECT_TRUE(dark(midX, cell.bottom - 1)) << paint << ": bottom side";
    const CRect other = d.g->CalcCellRect(3, 3);
    EXPECT_FALSE(dark(other.CenterPoint().x, other.top + 1)) << paint << ": no other cell is framed";
  }
}

}  // namespace
