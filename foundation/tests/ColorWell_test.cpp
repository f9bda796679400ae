// Colour wells: the grid in pixels, keyboard and mouse selection, the other cell and its dialog, the well button
// with its popup.
#include "foundation/SECColorWell.h"

#include "foundation/StyleColors.h"
#include "foundation/tests/ButtonsDialog.h"
#include "foundation/tests/FoundationTest.h"
#include "platform/base/VirtualClock.h"
#include "platform/display/Desktop.h"
#include "platform/framework/CDataExchange.h"
#include "platform/gdi/Surface.h"
#include "platform/window/InputRouter.h"

namespace foundation::test {
namespace {

using plat::InputRouter;
using plat::MouseButton;

class ColorWellTest : public FoundationTest {
 protected:
  void SetUp() override {
    FoundationTest::SetUp();
    RegisterButtonsDialog();
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
    dlg.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.ShowWindow(SW_SHOW);
    Pump();
    dlg.events.clear();
  }
  void TearDown() override {
    if (dlg.m_hWnd) dlg.DestroyWindow();
    FoundationTest::TearDown();
  }
  COLORREF Pixel(HWND hwnd, int x, int y) {
    auto image = plat::Desktop::Capture(hwnd);
    return image ? plat::colorFromPixel(image->pixel(x, y)) & 0xFFFFFF : 0xFF000000u;
  }
  void Click(HWND hwnd, CPoint p) {
    plat::VirtualClock::Advance(1000);  // separate clicks, never a double click
    InputRouter::Instance().Click(MouseButton::Left, InputRouter::ClientPoint(hwnd, p.x, p.y));
    Pump();
  }
  std::string LastEvent() const { return dlg.events.empty() ? "" : dlg.events.back(); }
  static std::string Colour(UINT id, COLORREF c) {
    char text[48];
    std::snprintf(text, sizeof text, "colour %u %06x", id, static_cast<unsigned>(c));
    return text;
  }

  CButtonsDlg dlg;
};

TEST_F(ColorWellTest, DefaultGridShowsTheStaticColoursInFourColumnsAndFiveRows) {
  SECColorWell& well = dlg.m_well;
  EXPECT_EQ(well.GetColumns(), 4);
  EXPECT_EQ(well.GetRows(), 5);
  CRect client;
  well.GetClientRect(&client);
  CRect expected;
  well.CalcSize(expected, &dlg, 0, 0);
  EXPECT_EQ(client.Size(), expected.Size());
  // Cells of 10 × 10 dialog units.
  CRect unit(0, 0, 10, 10);
  dlg.MapDialogRect(&unit);
  EXPECT_EQ(well.GetCellSize(), unit.Size());
  // Each unselected cell shows its colour inside a two-pixel sunken frame.
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 4; ++col) {
      if (col == 0 && row == 0) continue;  // selected
      const CRect cell = well.CellRect(col, row);
      const CPoint mid = cell.CenterPoint();
      well.SelectCell(0, 0, SEC_SELECT_KEY);
      EXPECT_EQ(Pixel(well, mid.x, mid.y), Pixel(well, cell.left + 2, cell.top + 2)) << col << "," << row;
      EXPECT_EQ(Pixel(well, cell.left, cell.top), GetWellColors().shadow);
      EXPECT_EQ(Pixel(well, cell.right - 1, cell.bottom - 1), GetWellColors().highlight);
    }
  const CRect last = well.CellRect(3, 4);
  EXPECT_EQ(Pixel(well, last.CenterPoint().x, last.CenterPoint().y), RGB(255, 255, 255));
}

TEST_F(ColorWellTest, SelectedCellIsFramedBlackWhiteBlack) {
  SECColorWell& well = dlg.m_well;
  well.SelectCell(2, 1, SEC_SELECT_KEY);
  Pump();
  CRect r = well.CellRect(2, 1);
  r.InflateRect(1, 1);
  EXPECT_EQ(Pixel(well, r.left, r.top + 4), RGB(0, 0, 0));
  EXPECT_EQ(Pixel(well, r.left + 1, r.top + 4), RGB(255, 255, 255));
  EXPECT_EQ(Pixel(well, r.left + 2, r.top + 4), RGB(0, 0, 0));
  EXPECT_EQ(Pixel(well, r.left + 3, r.top + 4), well.GetColor());
}

TEST_F(ColorWellTest, KeyboardMovesFollowTheGridAndItsOtherCell) {
  SECColorWell& well = dlg.m_well;
  auto move = [&](UINT key, int c, int r) {
    int col = c, row = r;
    well.MoveByKey(key, col, row);
    return CPoint(col, row);
  };
  // No other colour yet: the ends wrap round the grid.
  EXPECT_EQ(move(VK_RIGHT, 1, 0), CPoint(2, 0));
  EXPECT_EQ(move(VK_RIGHT, 3, 0), CPoint(0, 1));
  EXPECT_EQ(move(VK_RIGHT, 3, 4), CPoint(0, 0));
  EXPECT_EQ(move(VK_LEFT, 0, 2), CPoint(3, 1));
  EXPECT_EQ(move(VK_LEFT, 0, 0), CPoint(3, 4));
  EXPECT_EQ(move(VK_UP, 0, 0), CPoint(0, 4));
  EXPECT_EQ(move(VK_DOWN, 2, 4), CPoint(2, 0));
  int col = 0, row = 0;
  EXPECT_FALSE(well.MoveByKey('A', col, row));

  // With an other colour the other cell joins at the ends of column 0 and of the grid.
  well.SetColor(RGB(1, 2, 3));
  EXPECT_TRUE(well.IsOtherColorSet());
  EXPECT_EQ(move(VK_RIGHT, 3, 4), CPoint(0, 5));
  EXPECT_EQ(move(VK_RIGHT, 0, 5), CPoint(0, 0));
  EXPECT_EQ(move(VK_LEFT, 0, 0), CPoint(0, 5));
  EXPECT_EQ(move(VK_LEFT, 0, 5), CPoint(3, 4));
  EXPECT_EQ(move(VK_UP, 0, 0), CPoint(0, 5));
  EXPECT_EQ(move(VK_UP, 1, 0), CPoint(1, 4));
  EXPECT_EQ(move(VK_DOWN, 0, 4), CPoint(0, 5));
  EXPECT_EQ(move(VK_DOWN, 3, 4), CPoint(3, 0));
}

TEST_F(ColorWellTest, ArrowKeysSelectAndTellTheParent) {
  SECColorWell& well = dlg.m_well;
  well.SetFocus();
  Pump();
  EXPECT_EQ(well.SendMessage(WM_GETDLGCODE), 0x83);  // with the other cell: Tab too
  InputRouter::Instance().KeyPress(VK_RIGHT);
  Pump();
  InputRouter::Instance().KeyPress(VK_DOWN);
  Pump();
  EXPECT_EQ(well.GetSelection(), CPoint(1, 1));
  EXPECT_EQ(LastEvent(), Colour(IDC_WELL_PLACE, well.GetColor()));
  // Tab goes to the "Other" button.
  InputRouter::Instance().KeyPress(VK_TAB);
  Pump();
  EXPECT_EQ(::GetFocus(), well.GetOtherButton()->m_hWnd);
}

TEST_F(ColorWellTest, AClickSelectsTheCellUnderTheMouseIncludingItsOuterPixel) {
  SECColorWell& well = dlg.m_well;
  const CRect cell = well.CellRect(2, 3);
  Click(well, cell.CenterPoint());
  EXPECT_EQ(well.GetSelection(), CPoint(2, 3));
  EXPECT_EQ(::GetFocus(), well.m_hWnd);
  EXPECT_EQ(LastEvent(), Colour(IDC_WELL_PLACE, well.GetColor()));
  const CRect other = well.CellRect(1, 0);
  Click(well, CPoint(other.left - 1, other.top));  // the gap pixel belongs to the cell grown by one
  EXPECT_EQ(well.GetSelection(), CPoint(1, 0));
}

TEST_F(ColorWellTest, AColourOutsideTheGridGoesToTheOtherCellAndMakesRoomForIt) {
  SECColorWell& well = dlg.m_well;
  CRect before;
  well.GetOtherButton()->GetWindowRect(&before);
  well.SetColor(RGB(0, 0, 255));  // a grid colour: selected, no other colour
  EXPECT_FALSE(well.IsOtherColorSet());
  EXPECT_EQ(well.GetColor(), RGB(0, 0, 255));
  well.SetColor(RGB(10, 20, 30));
  EXPECT_TRUE(well.IsOtherColorSet());
  EXPECT_EQ(well.GetSelection(), CPoint(0, 5));
  EXPECT_EQ(well.GetColor(), RGB(10, 20, 30));
  CRect after;
  well.GetOtherButton()->GetWindowRect(&after);
  EXPECT_EQ(after.Width(), before.Width() - (well.GetCellSize().cx + 2));
  Pump();
  const CRect cell = well.CellRect(0, 5);
  EXPECT_EQ(Pixel(well, cell.CenterPoint().x, cell.CenterPoint().y), RGB(10, 20, 30));
  // A second colour outside the grid replaces it without moving the button again.
  well.SetColor(RGB(40, 50, 60));
  CRect again;
  well.GetOtherButton()->GetWindowRect(&again);
  EXPECT_EQ(again, after);
}

TEST_F(ColorWellTest, OtherButtonOpensTheColourDialogAndTheChoiceIsSelected) {
  automation.Reply(plat::SystemUiKind::Color, plat::SystemAnswer{IDOK, {}, RGB(1, 2, 3)});
  SECColorWell& well = dlg.m_well;
  well.GetOtherButton()->SendMessage(BM_CLICK);
  Pump();
  ASSERT_FALSE(plat::ShownLog().empty());
  EXPECT_EQ(plat::ShownLog().back().request.kind, plat::SystemUiKind::Color);
  EXPECT_EQ(well.GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(LastEvent(), Colour(IDC_WELL_PLACE, RGB(1, 2, 3)));
  // Cancel changes nothing.
  automation.Reply(plat::SystemUiKind::Color, plat::SystemAnswer{IDCANCEL, {}, RGB(9, 9, 9)});
  dlg.events.clear();
  well.GetOtherButton()->SendMessage(BM_CLICK);
  Pump();
  EXPECT_EQ(well.GetColor(), RGB(1, 2, 3));
  EXPECT_TRUE(dlg.events.empty());
}

TEST_F(ColorWellTest, WellButtonShowsItsColourAndArrow) {
  SECWellButton& button = dlg.m_wellButton;
  CRect client;
  button.GetClientRect(&client);
  // Interior (2, 2) .. (w − 2, h − 2) less one: the swatch's frame is black, its inside the colour.
  const int L = 2, T = 2, R = client.right - 3, B = client.bottom - 3;
  EXPECT_EQ(Pixel(button, L + 3, T + 2 + 3), RGB(0, 0, 0));
  EXPECT_EQ(Pixel(button, L + 6, (T + B) / 2), RGB(0, 128, 128));
  EXPECT_EQ(Pixel(button, R - 10, (T + B) / 2), GetButtonColors().shadow2);
  EXPECT_EQ(Pixel(button, R - 9, (T + B) / 2), GetButtonColors().highlight);
  EXPECT_EQ(Pixel(button, R - 7 + 2, T + (B - T - 3) / 2), RGB(0, 0, 0));  // the arrow's top row
}

TEST_F(ColorWellTest, WellButtonPopupChoosesByClickAndClosesByEscape) {
  SECWellButton& button = dlg.m_wellButton;
  Click(button, CPoint(5, 5));
  SECPopupColorWell* popup = button.GetPopup();
  ASSERT_TRUE(popup->IsOpen());
  EXPECT_EQ(::GetCapture(), popup->m_hWnd);
  EXPECT_EQ(::GetFocus(), popup->m_hWnd);
  EXPECT_EQ(popup->SendMessage(WM_GETDLGCODE), 0x83);
  // Placed below the button.
  CRect b, p;
  button.GetWindowRect(&b);
  popup->GetWindowRect(&p);
  EXPECT_EQ(p.left, b.left);
  EXPECT_EQ(p.top, b.bottom);
  // It opened on the current colour.
  EXPECT_EQ(popup->GetColor(), RGB(0, 128, 128));
  // A click on a cell chooses it: the button and its parent hear of it, the popup closes.
  const CRect cell = popup->CellRect(1, 0);
  Click(*popup, cell.CenterPoint());
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_EQ(::GetCapture(), nullptr);
  const COLORREF chosen = button.GetColor();
  EXPECT_NE(chosen, RGB(0, 128, 128));
  EXPECT_EQ(LastEvent(), Colour(IDC_WELL_BUTTON, chosen));

  // Keys: a move does not choose, Escape closes without a choice.
  Click(button, CPoint(5, 5));
  ASSERT_TRUE(popup->IsOpen());
  dlg.events.clear();
  InputRouter::Instance().KeyPress(VK_RIGHT);
  Pump();
  EXPECT_TRUE(dlg.events.empty());
  InputRouter::Instance().KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_EQ(button.GetColor(), chosen);

  // Enter chooses the current cell.
  Click(button, CPoint(5, 5));
  InputRouter::Instance().KeyPress(VK_DOWN);
  Pump();
  InputRouter::Instance().KeyPress(VK_RETURN);
  Pump();
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_NE(button.GetColor(), chosen);
}

TEST_F(ColorWellTest, PopupStaysOnTheScreenNearItsEdges) {
  CRect d;
  dlg.GetWindowRect(&d);
  dlg.SetWindowPos(nullptr, 1024 - d.Width() + 40, 768 - d.Height() + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();
  SECWellButton& button = dlg.m_wellButton;
  Click(button, CPoint(5, 5));
  SECPopupColorWell* popup = button.GetPopup();
  ASSERT_TRUE(popup->IsOpen());
  CRect b, p;
  button.GetWindowRect(&b);
  popup->GetWindowRect(&p);
  EXPECT_EQ(p.right, b.right);   // right-aligned with the button
  EXPECT_EQ(p.bottom, b.top);    // above it
  InputRouter::Instance().KeyPress(VK_ESCAPE);
  Pump();
}

TEST_F(ColorWellTest, TabInThePopupVisitsItsOtherButtonAndComesBack) {
  SECWellButton& button = dlg.m_wellButton;
  Click(button, CPoint(5, 5));
  SECPopupColorWell* popup = button.GetPopup();
  ASSERT_TRUE(popup->IsOpen());
  InputRouter::Instance().KeyPress(VK_TAB);
  Pump();
  EXPECT_EQ(::GetFocus(), popup->GetOtherButton()->m_hWnd);
  EXPECT_TRUE(popup->IsOpen());
  InputRouter::Instance().KeyPress(VK_LEFT);
  Pump();
  EXPECT_EQ(::GetFocus(), popup->m_hWnd);
  EXPECT_TRUE(popup->IsOpen());
  // The focus going anywhere else closes it.
  ::SetFocus(::GetDlgItem(dlg, IDC_EDIT));
  Pump();
  EXPECT_FALSE(popup->IsOpen());
}

TEST_F(ColorWellTest, APressOutsideThePopupClosesIt) {
  SECWellButton& button = dlg.m_wellButton;
  Click(button, CPoint(5, 5));
  SECPopupColorWell* popup = button.GetPopup();
  ASSERT_TRUE(popup->IsOpen());
  Click(dlg, CPoint(5, 5));
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_EQ(button.GetColor(), RGB(0, 128, 128));
}

TEST_F(ColorWellTest, PopupOtherButtonAsksTheColourDialogForTheButton) {
  automation.Reply(plat::SystemUiKind::Color, plat::SystemAnswer{IDOK, {}, RGB(7, 8, 9)});
  SECWellButton& button = dlg.m_wellButton;
  Click(button, CPoint(5, 5));
  SECPopupColorWell* popup = button.GetPopup();
  ASSERT_TRUE(popup->IsOpen());
  CRect other;
  popup->GetOtherButton()->GetWindowRect(&other);
  popup->ScreenToClient(&other);
  Click(*popup, other.CenterPoint());
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_EQ(button.GetColor(), RGB(7, 8, 9));
  EXPECT_EQ(LastEvent(), Colour(IDC_WELL_BUTTON, RGB(7, 8, 9)));
}

TEST_F(ColorWellTest, DataExchangeReadsAndSetsTheButtonsColour) {
  COLORREF value = RGB(200, 100, 50);
  CDataExchange load(&dlg, FALSE);
  DDX_SECWellButton(&load, dlg.m_wellButton, value);
  EXPECT_EQ(dlg.m_wellButton.GetColor(), RGB(200, 100, 50));
  dlg.m_wellButton.SetColor(RGB(1, 1, 1));
  CDataExchange save(&dlg, TRUE);
  DDX_SECWellButton(&save, dlg.m_wellButton, value);
  EXPECT_EQ(value, RGB(1, 1, 1));
}

TEST_F(ColorWellTest, ReferenceScreenshotsOfTheWellsAndThePopup) {
  dlg.m_well.SetColor(RGB(10, 20, 30));
  dlg.m_well.SetFocus();
  Pump();
  ExpectMatchesReference(dlg, "wells");
  Click(dlg.m_wellButton, CPoint(5, 5));
  ASSERT_TRUE(dlg.m_wellButton.GetPopup()->IsOpen());
  ExpectMatchesReference(*dlg.m_wellButton.GetPopup(), "well-popup");
}

}  // namespace
}  // namespace foundation::test
