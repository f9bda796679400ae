// Owner-draw, bitmap and menu buttons: pixels of each state drawn into memory bitmaps, the default-button
// hand-over, clicks, styles and the menu, in a dialog.
#include "foundation/ButtonBitmap.h"
#include "foundation/StyleColors.h"
#include "foundation/tests/ButtonsDialog.h"
#include "foundation/tests/FoundationTest.h"
#include "platform/controls/ThemeProvider.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/InputRouter.h"

namespace foundation::test {
namespace {

using plat::InputRouter;
using plat::MouseButton;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Exposes the look flags a test needs to switch.
class TestButton : public SECBitmapButton {
 public:
  void UseOldLook() { m_bNewLook = FALSE; }
  void SetHot(BOOL hot) { m_bHot = hot; }
};

class ButtonsTest : public FoundationTest {
 protected:
  void SetUp() override {
    FoundationTest::SetUp();
    RegisterButtonsDialog();
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
    dlg.SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.ShowWindow(SW_SHOW);
    Pump();
  }
  void TearDown() override {
    if (dlg.m_hWnd) dlg.DestroyWindow();
    FoundationTest::TearDown();
  }

  // Draws `button` in `state` into a fresh memory image of its size.
  static std::unique_ptr<MemoryImage> Draw(SECOwnerDrawButton& button, UINT state) {
    CRect client;
    button.GetClientRect(&client);
    auto image = std::make_unique<MemoryImage>(client.Width(), client.Height(), RGB(1, 2, 3));
    DRAWITEMSTRUCT dis{ODT_BUTTON, static_cast<UINT>(button.GetDlgCtrlID()), 0, ODA_DRAWENTIRE, state,
                       button.m_hWnd, image->dc.m_hDC, client, 0};
    button.DrawItem(&dis);
    return image;
  }
  // Where pixel (x, y) of the test bitmap lands in a classic button drawn unpressed.
  static CPoint InBitmap(const SECBitmapButton& b, int x, int y) {
    return CPoint(1 + b.GetBitmapRect().left + x, 1 + b.GetBitmapRect().top + y);
  }
  UINT Style(UINT id) const { return static_cast<UINT>(::GetWindowLong(::GetDlgItem(dlg, static_cast<int>(id)), GWL_STYLE)); }

  CButtonsDlg dlg;
};

TEST_F(ButtonsTest, ClassicNormalFrameAndBitmapInItsColours) {
  auto img = Draw(dlg.m_left, 0);
  const int w = img->width, h = img->height;
  EXPECT_EQ(img->At(0, 0), kWhite);          // highlight, top-left
  EXPECT_EQ(img->At(w - 1, h - 1), kBlack);  // frame, bottom-right
  EXPECT_EQ(img->At(w - 2, h - 2), kShadow);
  EXPECT_EQ(img->At(1, 1), kFace);
  const CPoint red = InBitmap(dlg.m_left, 3, 3);
  EXPECT_EQ(img->At(red.x, red.y), kRed);
  const CPoint border = InBitmap(dlg.m_left, 13, 5);
  EXPECT_EQ(img->At(border.x, border.y), kBlack);
  EXPECT_EQ(img->At(border.x + 1, border.y + 1), kFace);  // the bitmap's light grey is the face
}

TEST_F(ButtonsTest, PressedFrameIsSunkenAndTheContentMovesDownRight) {
  auto img = Draw(dlg.m_left, ODS_SELECTED);
  const int w = img->width, h = img->height;
  EXPECT_EQ(img->At(0, 0), kBlack);
  EXPECT_EQ(img->At(1, 1), kShadow);
  EXPECT_EQ(img->At(w - 1, h - 1), kWhite);
  const CPoint red = InBitmap(dlg.m_left, 3, 3);
  EXPECT_EQ(img->At(red.x + 1, red.y + 1), kRed);
  EXPECT_EQ(img->At(red.x, red.y), kBlack);  // the border pixel up-left of it
}

TEST_F(ButtonsTest, FocusedButtonShowsTheDefaultOutlineAndKeepsItsContentInPlace) {
  auto img = Draw(dlg.m_left, ODS_FOCUS);
  EXPECT_EQ(img->At(0, 0), kBlack);  // the default outline
  EXPECT_EQ(img->At(img->width - 1, 0), kBlack);
  EXPECT_EQ(img->At(1, 1), kWhite);
  const CPoint red = InBitmap(dlg.m_left, 3, 3);
  EXPECT_EQ(img->At(red.x, red.y), kRed);
}

TEST_F(ButtonsTest, FocusFrameOfABitmapOnlyButtonSurroundsTheBitmap) {
  auto plain = Draw(dlg.m_only, 0);
  auto focused = Draw(dlg.m_only, ODS_FOCUS);
  // Frame rectangle: the bitmap (offset by the focus origin (1, 1)) grown by 3.
  const CRect b = dlg.m_only.GetBitmapRect();
  const int left = b.left + 1 - 3, top = b.top + 1 - 3, bottom = b.bottom + 1 + 3;
  int dotted = 0;
  bool previous = false;
  for (int y = top; y < bottom; ++y) {
    const bool differs = focused->At(left, y) != plain->At(left, y);
    EXPECT_FALSE(differs && previous) << "dots touch at y " << y;
    previous = differs;
    dotted += differs;
  }
  EXPECT_GE(dotted, (bottom - top) / 2 - 1);
  // Nothing drawn as caption: a bitmap-only button has no text rectangle.
  EXPECT_TRUE(dlg.m_only.GetTextRect().IsRectEmpty());
}

TEST_F(ButtonsTest, FocusFrameOfACaptionedButtonSurroundsTheCaption) {
  auto plain = Draw(dlg.m_left, ODS_FOCUS);
  // The same state without the frame: draw the frame again (XOR) to take it away.
  CRect client;
  dlg.m_left.GetClientRect(&client);
  const CRect text = dlg.m_left.GetTextRect();
  int differs = 0;
  auto again = Draw(dlg.m_left, ODS_FOCUS);
  dlg.m_left.DrawFocusFrame(&again->dc, CRect(1, 1, client.right - 2, client.bottom - 2));
  for (int x = text.left; x < text.right; ++x)
    for (int y = 0; y < client.bottom; ++y) differs += plain->At(x, y) != again->At(x, y);
  EXPECT_GT(differs, 10);
  // Nothing of the frame lies on the bitmap.
  const CPoint red = InBitmap(dlg.m_left, 3, 3);
  EXPECT_EQ(plain->At(red.x, red.y), again->At(red.x, red.y));
}

TEST_F(ButtonsTest, DisabledClassicButtonIsEmbossed) {
  auto img = Draw(dlg.m_left, ODS_DISABLED);
  const CPoint border = InBitmap(dlg.m_left, 13, 5);
  EXPECT_EQ(img->At(border.x, border.y), kShadow);          // ink in the shadow colour
  EXPECT_EQ(img->At(border.x + 1, border.y + 1), kWhite);   // and its highlight one pixel down-right
  const CPoint red = InBitmap(dlg.m_left, 3, 3);
  EXPECT_EQ(img->At(red.x, red.y), kShadow);
  const CPoint white = InBitmap(dlg.m_left, 8, 7);
  EXPECT_EQ(img->At(white.x, white.y), kWhite);  // highlight pixels are not ink
  EXPECT_EQ(img->At(2, 2), kFace);
}

TEST_F(ButtonsTest, OldLookLeavesTheCornersOfItsOutlineOut) {
  TestButton old;
  ASSERT_TRUE(old.AttachButton(IDC_SPARE, SEC_BMP_RIGHT, IDB_TEST, &dlg));
  old.UseOldLook();
  auto img = Draw(old, 0);
  EXPECT_EQ(img->At(0, 0), kFace);
  EXPECT_EQ(img->At(1, 0), kBlack);
  EXPECT_EQ(img->At(0, 1), kBlack);
  EXPECT_EQ(img->At(img->width - 1, img->height - 1), kFace);
  EXPECT_EQ(img->At(1, 1), kWhite);
  old.UnsubclassWindow();
}

TEST_F(ButtonsTest, FlatButtonShowsNoFrameUntilTheMouseComes) {
  auto img = Draw(dlg.m_flat, 0);
  EXPECT_EQ(img->At(0, 0), kFace);
  EXPECT_EQ(img->At(img->width - 1, img->height - 1), kFace);
  // Moving in draws the raised frame on the window itself.
  InputRouter::Instance().MouseMove(InputRouter::ClientPoint(dlg.m_flat, 5, 5));
  Pump();
  EXPECT_TRUE(dlg.m_flat.IsHot());
  EXPECT_EQ(::GetCapture(), dlg.m_flat.m_hWnd);
  InputRouter::Instance().MouseMove(InputRouter::ClientPoint(dlg, 1, 1));
  Pump();
  EXPECT_FALSE(dlg.m_flat.IsHot());
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ButtonsTest, ThemedStatesGoThroughTheThemeAndEveryThemeIsClosed) {
  RecordingThemeLibrary lib;
  UseTheme(&lib);
  auto has = [&](const std::string& prefix) {
    for (const std::string& line : lib.log)
      if (line.rfind(prefix, 0) == 0) return true;
    return false;
  };
  Draw(dlg.m_left, 0);
  EXPECT_TRUE(has("background 1 1 "));
  Draw(dlg.m_left, ODS_FOCUS);
  EXPECT_TRUE(has("background 1 5 "));
  Draw(dlg.m_left, ODS_SELECTED);
  EXPECT_TRUE(has("background 1 3 "));
  TestButton hot;
  ASSERT_TRUE(hot.AttachButton(IDC_SPARE, SEC_BMP_RIGHT, IDB_TEST, &dlg));
  hot.SetHot(TRUE);
  lib.log.clear();
  Draw(hot, 0);
  EXPECT_TRUE(has("background 1 2 "));
  hot.UnsubclassWindow();
  EXPECT_EQ(lib.OpenCount(), 0);
  EXPECT_GT(lib.opens, 0);

  // A themed flat button that is not hot draws no background at all.
  lib.log.clear();
  auto flat = Draw(dlg.m_flat, 0);
  EXPECT_FALSE(has("background"));
  EXPECT_EQ(flat->At(0, 0), kFace);
}

TEST_F(ButtonsTest, ThePlatformsThemedProviderDrawsTheFrameThroughTheWrapper) {
  plat::RecordingThemeProvider provider;
  plat::SetThemeProvider(&provider);
  Draw(dlg.m_left, ODS_FOCUS);
  ASSERT_FALSE(provider.log.empty());
  EXPECT_EQ(provider.log[0], "background BUTTON 1 5");
  EXPECT_EQ(provider.opens, provider.closes);
}

TEST_F(ButtonsTest, ThemedDisabledBitmapShowsItsDarkPixelsInTheShadowColour) {
  RecordingThemeLibrary lib;
  UseTheme(&lib);
  auto img = Draw(dlg.m_left, ODS_DISABLED);
  const CRect b = dlg.m_left.GetBitmapRect();
  auto at = [&](int x, int y) { return img->At(2 + b.left + x, 2 + b.top + y); };
  EXPECT_EQ(at(3, 3), kShadow);                                      // red: dark
  EXPECT_EQ(at(2, 2), kShadow);                                      // black border
  EXPECT_EQ(at(0, 0), RecordingThemeLibrary::StateColor(PBS_NORMAL));  // face: transparent
  EXPECT_EQ(at(7, 7), RecordingThemeLibrary::StateColor(PBS_NORMAL));  // white: light
}

TEST_F(ButtonsTest, FocusTakesOverTheDefaultButtonAndGivesItBack) {
  ::SetFocus(::GetDlgItem(dlg, IDC_EDIT));  // the dialog started with the focus on the first button
  Pump();
  EXPECT_EQ(LOWORD(dlg.GetDefID()), static_cast<WORD>(IDOK));
  EXPECT_EQ(Style(IDOK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  ::SetFocus(dlg.m_left);
  Pump();
  EXPECT_EQ(LOWORD(dlg.GetDefID()), static_cast<WORD>(IDC_BMP_LEFT));
  EXPECT_EQ(Style(IDOK) & BS_TYPEMASK, BS_PUSHBUTTON);
  ::SetFocus(::GetDlgItem(dlg, IDC_EDIT));
  Pump();
  EXPECT_EQ(LOWORD(dlg.GetDefID()), static_cast<WORD>(IDOK));
  EXPECT_EQ(Style(IDOK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST_F(ButtonsTest, TabbingOntoAnOwnerDrawButtonMakesItTheDefaultUntilTheFocusMovesOn) {
  ::SetFocus(::GetDlgItem(dlg, IDC_EDIT));
  Pump();
  InputRouter::Instance().KeyPress(VK_TAB);
  Pump();
  ASSERT_EQ(::GetFocus(), dlg.m_wellButton.m_hWnd);
  EXPECT_EQ(LOWORD(dlg.GetDefID()), static_cast<WORD>(IDC_WELL_BUTTON));
  EXPECT_EQ(Style(IDOK) & BS_TYPEMASK, BS_PUSHBUTTON);
  InputRouter::Instance().KeyPress(VK_TAB);
  Pump();
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg, IDOK));
  EXPECT_EQ(LOWORD(dlg.GetDefID()), static_cast<WORD>(IDOK));
  EXPECT_EQ(Style(IDOK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST_F(ButtonsTest, ThemedButtonRedrawsHotWhenTheMouseComesIn) {
  RecordingThemeLibrary lib;
  UseTheme(&lib);
  InputRouter::Instance().MouseMove(InputRouter::ClientPoint(dlg.m_left, 5, 5));
  Pump();
  EXPECT_TRUE(dlg.m_left.IsHot());
  EXPECT_NE(std::find_if(lib.log.begin(), lib.log.end(),
                         [](const std::string& l) { return l.rfind("background 1 2 ", 0) == 0; }),
            lib.log.end());
  InputRouter::Instance().MouseMove(InputRouter::ClientPoint(dlg, 1, 1));
  Pump();
  EXPECT_FALSE(dlg.m_left.IsHot());
  EXPECT_EQ(lib.OpenCount(), 0);
}

TEST_F(ButtonsTest, DialogCodeAsksForTheDefaultRoleOnlyWithTheExtendedStyleWhileFocused) {
  EXPECT_EQ(dlg.m_left.SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_BUTTON));
  SECBitmapButton def;
  ASSERT_TRUE(def.AttachButton(IDC_SPARE, SEC_BMP_RIGHT, IDB_TEST, &dlg, SEC_BTN_DEFAULT));
  EXPECT_EQ(def.SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_BUTTON));
  ::SetFocus(def);
  EXPECT_EQ(def.SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
  ::SetFocus(::GetDlgItem(dlg, IDC_EDIT));
  def.UnsubclassWindow();
}

TEST_F(ButtonsTest, ADoubleClickIsTwoClicks) {
  InputRouter::Instance().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(dlg.m_left, 10, 10));
  Pump();
  const std::string click = "click " + std::to_string(IDC_BMP_LEFT);
  EXPECT_EQ(std::count(dlg.events.begin(), dlg.events.end(), click), 2);
}

TEST_F(ButtonsTest, SetStyleNeverTakesTheOwnerDrawAway) {
  dlg.m_left.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_EQ(Style(IDC_BMP_LEFT) & BS_TYPEMASK, BS_OWNERDRAW);
  dlg.m_left.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(Style(IDC_BMP_LEFT) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(ButtonsTest, AttachingKeepsTheItemsSizeAndSizeToContentFitsIt) {
  CRect before;
  ::GetWindowRect(::GetDlgItem(dlg, IDC_BMP_LEFT), &before);
  EXPECT_EQ(before.Width(), 90);  // 60 dialog units, as laid out
  dlg.m_left.SizeToContent();
  CRect after;
  dlg.m_left.GetWindowRect(&after);
  // Bitmap 16 + caption + 5, margins 2 × 5, and 3.
  EXPECT_GT(after.Width(), 16 + 5 + 10 + 3);
  EXPECT_EQ(after.Height(), 16 + 10 + 3);  // the bitmap is taller than the caption line
}

TEST_F(ButtonsTest, AMissingBitmapLeavesTheItemAlone) {
  SECBitmapButton missing;
  EXPECT_FALSE(missing.AttachButton(IDC_BMP_RIGHT, SEC_BMP_LEFT, 9999u, &dlg));
  EXPECT_EQ(missing.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(dlg, IDC_BMP_RIGHT)), &dlg.m_right);
  // SetBitmap to a missing one keeps the bitmap it had.
  EXPECT_FALSE(dlg.m_left.SetBitmap(9999u));
  EXPECT_NE(dlg.m_left.GetBitmap().m_hObject, nullptr);
}

TEST_F(ButtonsTest, SystemColourChangeReloadsTheBitmapInTheNewColours) {
  const INT index[] = {COLOR_BTNFACE};
  const COLORREF face[] = {RGB(0xD4, 0xD0, 0xC8)};
  plat::SetSysColorValues(1, index, face);
  dlg.m_left.SendMessage(WM_SYSCOLORCHANGE);
  EXPECT_EQ(GetButtonColors().face, RGB(0xD4, 0xD0, 0xC8));
  MemoryImage probe(1, 1, 0);
  CDC reader;
  reader.Attach(CreateCompatibleDC(nullptr));
  CBitmap* old = reader.SelectObject(&dlg.m_left.GetBitmap());
  EXPECT_EQ(reader.GetPixel(0, 0) & 0xFFFFFF, RGB(0xD4, 0xD0, 0xC8));
  reader.SelectObject(old);
  reader.DeleteDC();
}

TEST_F(ButtonsTest, MenuButtonDropsItsMenuAndTheChoiceReachesTheParent) {
  automation.Reply(plat::SystemUiKind::PopupMenu, plat::SystemAnswer{static_cast<int>(ID_MENU_SECOND), {}, 0});
  EXPECT_EQ(dlg.m_menu.GetAlignment(), SEC_BMP_RIGHT);
  InputRouter::Instance().Click(MouseButton::Left, InputRouter::ClientPoint(dlg.m_menu, 8, 8));
  Pump();
  const auto& shown = plat::ShownLog();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().request.kind, plat::SystemUiKind::PopupMenu);
  EXPECT_NE(std::find(dlg.events.begin(), dlg.events.end(), "command " + std::to_string(ID_MENU_SECOND)),
            dlg.events.end());
  EXPECT_FALSE(dlg.m_menu.IsMenuShown());
  // To the right: the other arrow, still laid out.
  dlg.m_menu.SetMenuDirection(TRUE);
  EXPECT_TRUE(dlg.m_menu.GetMenuDirection());
  BITMAP bm{};
  dlg.m_menu.GetBitmap().GetBitmap(&bm);
  EXPECT_EQ(bm.bmWidth, 4);
  EXPECT_EQ(bm.bmHeight, 7);
}

TEST_F(ButtonsTest, ReferenceScreenshotsOfEachKind) {
  ::SetFocus(dlg.m_left);
  Pump();
  ExpectMatchesReference(dlg, "buttons-classic");
  // The "Open" button held down.
  InputRouter::Instance().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(dlg.m_top, 10, 10));
  Pump();
  ExpectMatchesReference(dlg, "buttons-pressed");
  InputRouter::Instance().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(dlg, 1, 1));
  Pump();
}

TEST_F(ButtonsTest, ReferenceScreenshotThemed) {
  RecordingThemeLibrary lib;
  UseTheme(&lib);
  dlg.Invalidate();
  ::SetFocus(dlg.m_only);
  Pump();
  ExpectMatchesReference(dlg, "buttons-themed");
  EXPECT_EQ(lib.OpenCount(), 0);
}

}  // namespace
}  // namespace foundation::test
