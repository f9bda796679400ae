// Cell tips, driven as the user drives them: injected mouse moves, buttons and keys on the virtual clock, in
// a grid set up as the module sets up its grids (tips after 500 ms, none on headers or the edited cell).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXStyle.h"
#include "grid/features/CGXCellTipPlugin.h"
#include "grid/features/CGXCellTipStatic.h"
#include "grid/features/tests/featuretest.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/ReferenceImage.h"

namespace {

using enginetest::PumpMessages;

constexpr const char* kLong = "A text far too long for its cell";

class CellTipTest : public featuretest::FeatureTest {
 protected:
  // A 6 x 4 grid in a 400 x 300 window at (x, y): static cells of unwrapped text, (1, 1) and (2, 1) long,
  // (3, 1) short; tips as the module installs them.
  CGXGridWnd* Make(int x = 0, int y = 0) {
    CGXGridWnd* g = MakeGrid(6, 4);
    ::SetWindowPos(g->GetSafeHwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_STATIC).SetWrapText(FALSE);
    g->SetStyleRange(CGXRange().AssignTable(), style);
    SetText(g, CGXRange(1, 1), kLong);
    SetText(g, CGXRange(2, 1), "Another text too long to fit");
    SetText(g, CGXRange(3, 1), "ok");
    SetText(g, CGXRange(0, 1), kLong);  // a header
    g->InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
    Pump();
    return g;
  }
  static void SetText(CGXGridCore* g, const CGXRange& r, const char* text) {
    CGXStyle s;
    s.SetValue(text);
    g->SetStyleRange(r, s);
  }
  static CGXStyle Composed(CGXGridCore* g, ROWCOL row, ROWCOL col) {
    CGXStyle s;
    g->ComposeCellStyle(row, col, s, TRUE);
    return s;
  }
  static CGXCellTipPlugin* Tips(CGXGridCore* g) { return dynamic_cast<CGXCellTipPlugin*>(g->GetCellTipPlugin()); }
  // The mouse to the middle of a cell (client coordinates of the grid: 50 x 20 cells).
  static void MoveTo(CGXGridWnd* g, ROWCOL row, ROWCOL col, int dx = 0) {
    const POINT p = plat::InputRouter::ClientPoint(g->GetSafeHwnd(), static_cast<int>(col) * 50 + 25 + dx,
                                                   static_cast<int>(row) * 20 + 10);
    plat::InputRouter::Instance().MouseMove(p);
    Pump();
  }
  static void Wait(int ms) {
    plat::VirtualClock::Advance(static_cast<std::uint64_t>(ms));
    Pump();
  }
  static CGXTextCellTipWnd* TextTip(CGXGridCore* g) {
    return dynamic_cast<CGXTextCellTipWnd*>(Tips(g)->GetManager().FindNode(GX_CELLTIP_TEXT));
  }
  static bool Shown(CGXGridCore* g, int kind = GX_CELLTIP_TEXT) {
    CGXCellTipWnd* w = Tips(g)->GetManager().FindNode(kind);
    return w && w->IsWindowVisible() && Tips(g)->GetShownKind() == kind;
  }
  static std::string TipText(CGXGridCore* g) { return std::string(TextTip(g)->GetText()); }
  static CRect TipRect(CGXGridCore* g) {
    CRect r;
    TextTip(g)->GetWindowRect(&r);
    return r;
  }
};

TEST_F(CellTipTest, ARestingMouseShowsTheTipAfterTheDelayAndMovesInsideTheCellDoNotRestartIt) {
  CGXGridWnd* g = Make();
  MoveTo(g, 1, 1);
  Wait(300);
  MoveTo(g, 1, 1, 10);  // still the same cell
  EXPECT_FALSE(Shown(g));
  Wait(250);  // 550 ms after entering the cell
  ASSERT_TRUE(Shown(g));
  EXPECT_EQ(TipText(g), kLong);
  // The tip lies over the cell and is wide enough for the text; it never took the activation.
  const CRect cell = gxtip::InnerCellRect(g, 1, 1, Composed(g, 1, 1));
  EXPECT_EQ(TipRect(g).TopLeft(), cell.TopLeft());
  EXPECT_GT(TipRect(g).Width(), cell.Width());
  EXPECT_NE(::GetActiveWindow(), TextTip(g)->GetSafeHwnd());
  EXPECT_EQ(::GetWindowLong(TextTip(g)->GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
}

TEST_F(CellTipTest, ShortTextsHeadersAndTheEditedCellGetNoTip) {
  CGXGridWnd* g = Make();
  for (ROWCOL row : {3u, 0u}) {  // a text that fits; a header
    MoveTo(g, row, 1);
    Wait(1100);
    EXPECT_FALSE(Shown(g)) << "row " << row;
  }
  // The current cell while it edits.
  auto* editing = new enginetest::EditingControl(g);
  editing->InstallCellTipStatic(new CGXCellTipStatic(editing));
  g->AddCellControl(GX_IDS_CTRL_EDIT, editing, TRUE);
  CGXStyle edit;
  edit.SetControl(GX_IDS_CTRL_EDIT);
  g->SetStyleRange(CGXRange(2, 1), edit);
  g->MoveCurrentCellTo(2, 1);
  editing->editing = TRUE;
  MoveTo(g, 2, 1);
  Wait(1100);
  EXPECT_FALSE(Shown(g));
  editing->editing = FALSE;  // no longer edited: the cell shows its tip when the mouse comes back to it
  MoveTo(g, 3, 1);
  MoveTo(g, 2, 1);
  Wait(500);
  EXPECT_TRUE(Shown(g));
}

TEST_F(CellTipTest, AnotherCellThatNeedsATipReplacesTheShownTipAtOnce) {
  CGXGridWnd* g = Make();
  MoveTo(g, 1, 1);
  Wait(600);
  ASSERT_TRUE(Shown(g));
  const CRect first = TipRect(g);
  MoveTo(g, 2, 1);  // no waiting
  ASSERT_TRUE(Shown(g));
  EXPECT_EQ(TipText(g), "Another text too long to fit");
  EXPECT_EQ(TipRect(g).top, first.top + 20);
  MoveTo(g, 3, 1);  // a cell that needs none
  EXPECT_FALSE(Shown(g));
}

TEST_F(CellTipTest, ACoveredCellShowsTheTipOfItsCoveringCell) {
  CGXGridWnd* g = Make();
  g->SetFeature(new enginetest::CoveredBlock(CGXRange(1, 1, 1, 2)));
  MoveTo(g, 1, 2);
  Wait(600);
  // The covered block is 100 pixels wide: still too narrow for the text, whose tip starts at the block.
  ASSERT_TRUE(Shown(g));
  EXPECT_EQ(TipText(g), kLong);
  EXPECT_EQ(Tips(g)->GetTrackedCol(), 1u);
}

TEST_F(CellTipTest, LeavingTheWindowHidesTheTipByTheNextTick) {
  CGXGridWnd* g = Make();
  MoveTo(g, 1, 1);
  Wait(600);
  ASSERT_TRUE(Shown(g));
  plat::InputRouter::Instance().MouseMove(POINT{700, 500});  // outside: the grid hears nothing
  Pump();
  Wait(500);
  EXPECT_FALSE(Shown(g));
  EXPECT_EQ(Tips(g)->GetTimerId(), 0u);
  EXPECT_EQ(Tips(g)->GetTrackedRow(), GX_INVALID);
}

TEST_F(CellTipTest, AnyButtonOrTypedCharacterHidesTheTip) {
  CGXGridWnd* g = Make();
  auto show = [&] {
    MoveTo(g, 3, 1);  // away and back, so the tip is tracked anew
    MoveTo(g, 1, 1);
    Wait(600);
    ASSERT_TRUE(Shown(g));
  };
  for (auto button : {plat::MouseButton::Right, plat::MouseButton::Middle, plat::MouseButton::Left}) {
    show();
    // Pressed where the tip lies: the tip passes the press on to the grid.
    const POINT p = plat::InputRouter::ClientPoint(g->GetSafeHwnd(), 60, 30);
    plat::InputRouter::Instance().ButtonDown(button, p);
    plat::InputRouter::Instance().ButtonUp(button, p);
    Pump();
    EXPECT_FALSE(Shown(g));
  }
  show();
  ::SetFocus(g->GetSafeHwnd());
  plat::InputRouter::Instance().TypeText("x");
  Pump();
  EXPECT_FALSE(Shown(g));
}

TEST_F(CellTipTest, TipsStayOnTheScreenAndFollowTheZoom) {
  // Near the screen's right edge (800 wide) the tip moves left to stay on it.
  CGXGridWnd* g = Make(600, 0);
  MoveTo(g, 1, 3);
  SetText(g, CGXRange(1, 3), kLong);
  MoveTo(g, 1, 1);
  MoveTo(g, 1, 3);
  Wait(600);
  ASSERT_TRUE(Shown(g));
  EXPECT_LE(TipRect(g).right, 800);
  EXPECT_LT(TipRect(g).left, 600 + 3 * 50);
  const LONG height100 = TextTip(g)->GetFont().lfHeight;
  MoveTo(g, 3, 1);
  g->SetZoom(200);
  Pump();
  // Cells are 100 x 40 now: the middle of (1, 1).
  plat::InputRouter::Instance().MouseMove(plat::InputRouter::ClientPoint(g->GetSafeHwnd(), 150, 60));
  Pump();
  Wait(600);
  ASSERT_TRUE(Shown(g));
  EXPECT_EQ(TextTip(g)->GetFont().lfHeight, 2 * height100);
}

TEST_F(CellTipTest, WrappedTextsEditWindowsAndControlsWithoutATipObjectShowNoBitmapOrText) {
  CGXGridWnd* g = Make();
  // Wrapped text never gets a tip.
  CGXStyle wrap;
  wrap.SetWrapText(TRUE);
  g->SetStyleRange(CGXRange(1, 1), wrap);
  MoveTo(g, 1, 1);
  Wait(1100);
  EXPECT_FALSE(Shown(g));
  // A "#BMP" text in an edit cell is its text, not a bitmap.
  CGXControl* edit = g->ControlForId(GX_IDS_CTRL_EDIT);
  ASSERT_TRUE(edit && edit->GetCellTip());
  CGXStyle s;
  s.SetValue("#BMP(20211)");
  EXPECT_EQ(edit->GetCellTipKind(1, 1, s), GX_CELLTIP_TEXT);
  EXPECT_EQ(g->ControlForId(GX_IDS_CTRL_STATIC)->GetCellTipKind(1, 1, s), GX_CELLTIP_BITMAP);
  // The factory gives a check box no tip object: it answers "no tip" whatever its cell holds.
  CGXControl* check = g->ControlForId(52523);
  ASSERT_TRUE(check);
  EXPECT_EQ(check->GetCellTip(), nullptr);
  EXPECT_FALSE(check->NeedsCellTip(1, 1, Composed(g, 1, 1)));
  EXPECT_FALSE(GXControlGetsCellTip(52529));
  EXPECT_TRUE(GXControlGetsCellTip(GX_IDS_CTRL_EDIT));
}

TEST_F(CellTipTest, BitmapsStartByTheirAlignmentInTheCell) {
  const CRect inner(10, 10, 110, 60);
  CGXStyle s;
  EXPECT_EQ(gxtip::BitmapOrigin(inner, CSize(20, 10), s), CPoint(10, 10));
  s.SetVerticalAlignment(GX_DT_BOTTOM).SetHorizontalAlignment(GX_DT_RIGHT);
  EXPECT_EQ(gxtip::BitmapOrigin(inner, CSize(20, 10), s), CPoint(110 - 20 - 1, 60 - 10 - 1));
  s.SetVerticalAlignment(GX_DT_VCENTER).SetHorizontalAlignment(GX_DT_CENTER);
  EXPECT_EQ(gxtip::BitmapOrigin(inner, CSize(20, 10), s), CPoint(50, 30));
  // A bitmap larger than the cell starts at its corner whatever the alignment.
  EXPECT_EQ(gxtip::BitmapOrigin(inner, CSize(200, 100), s), CPoint(10, 10));
}

// A 40 x 30 bitmap: blue, with a red square in its middle.
const std::vector<BYTE>& TipDib() {
  static const std::vector<BYTE> dib = gx::MakeDib24(40, 30, [](int x, int y) {
    const bool square = x >= 10 && x < 30 && y >= 8 && y < 22;
    return square ? RGB(220, 0, 0) : RGB(0, 0, 200);
  });
  return dib;
}

class CellTipScreenTest : public CellTipTest {
 protected:
  void ExpectReference(const std::shared_ptr<plat::Surface>& image, const char* name) {
    ASSERT_TRUE(image);
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, std::string("grid/features/tests/reference/") + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
  // The top-left 400 x 300 of the desktop, where the grid lies.
  static std::shared_ptr<plat::Surface> Screen() {
    plat::Desktop::PaintAll();
    auto all = plat::Desktop::Compose();
    auto part = plat::Surface::create(400, 300);
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) part->setPixel(x, y, all->pixel(x, y));
    return part;
  }
  static bool SamePixels(const plat::Surface& a, const plat::Surface& b) {
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
  }
};

TEST_F(CellTipScreenTest, TextAndBitmapTipsAndThePixelsTheyLeaveBehind) {
  CGXGridWnd* g = Make();
  plat::ResourceTable::AddResource(plat::ResourceTable::ModuleHandle("grid"), RT_BITMAP, "TIPBITMAP", TipDib());
  ASSERT_EQ(gxtip::BitmapSize("#BMP(\"TIPBITMAP\")"), CSize(40, 30));
  SetText(g, CGXRange(4, 2), "#BMP(\"TIPBITMAP\")");
  const auto before = Screen();
  MoveTo(g, 1, 1);
  Wait(600);
  ASSERT_TRUE(Shown(g));
  ExpectReference(Screen(), "celltip-text");
  // The bitmap cell: 20 pixels high, the bitmap 30.
  const POINT p = plat::InputRouter::ClientPoint(g->GetSafeHwnd(), 100 + 20, 4 * 20 + 5);
  plat::InputRouter::Instance().MouseMove(p);
  Pump();
  ASSERT_TRUE(Shown(g, GX_CELLTIP_BITMAP));
  ExpectReference(Screen(), "celltip-bitmap");
  plat::InputRouter::Instance().MouseMove(POINT{700, 500});
  Pump();
  Wait(500);
  EXPECT_TRUE(SamePixels(*Screen(), *before));
}

}  // namespace
