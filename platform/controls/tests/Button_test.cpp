// Buttons and statics driven by injected input and messages: notification order, automatic check and radio
// state, BM_CLICK, owner-draw message sequences, mnemonics, and their look in every state.
#include "platform/controls/Button.h"

#include <gtest/gtest.h>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/tests/ControlTestSupport.h"
#include "platform/gdi/Mnemonic.h"
#include "platform/gdi/SysColors.h"

namespace plat::test {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

class Buttons : public ControlTest {};

TEST_F(Buttons, ClassesAreRegisteredAtLoadAndSurviveReset) {
  WNDCLASS wc{};
  EXPECT_TRUE(GetClassInfo(nullptr, "BUTTON", &wc));
  EXPECT_TRUE(GetClassInfo(nullptr, "static", &wc));
  HWND b = Make("BUTTON", "OK", kChild, {10, 10, 90, 35}, 1);
  char name[32]{};
  GetClassName(b, name, sizeof(name));
  EXPECT_STREQ(name, "Button");
}

TEST_F(Buttons, MouseClickPressesCapturesAndNotifiesOnRelease) {
  HWND b = Make("BUTTON", "OK", kChild | WS_TABSTOP, {10, 10, 90, 35}, 7);
  RunUntilIdle();
  ClearLog();
  in().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(b, 5, 5));
  RunUntilIdle();
  EXPECT_EQ(GetCapture(), b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), LRESULT(BST_PUSHED | BST_FOCUS));
  EXPECT_TRUE(Notes().empty());
  in().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(b, 6, 6));
  RunUntilIdle();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0), LRESULT(BST_FOCUS));
  EXPECT_NOTES(Notes(), {7, BN_CLICKED});
}

TEST_F(Buttons, ReleaseOutsideCancelsAndMovingBackPushesAgain) {
  HWND b = Make("BUTTON", "OK", kChild, {10, 10, 90, 35}, 7);
  in().ButtonDown(MouseButton::Left, InputRouter::ClientPoint(b, 5, 5));
  in().MouseMove(InputRouter::ClientPoint(b, 200, 5));
  RunUntilIdle();
  EXPECT_EQ(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  in().MouseMove(InputRouter::ClientPoint(b, 4, 4));
  RunUntilIdle();
  EXPECT_NE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  in().MouseMove(InputRouter::ClientPoint(b, 200, 5));
  in().ButtonUp(MouseButton::Left, InputRouter::ClientPoint(b, 200, 5));
  RunUntilIdle();
  EXPECT_TRUE(Notes().empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Buttons, SpaceClicksOnRelease) {
  HWND b = Make("BUTTON", "OK", kChild, {10, 10, 90, 35}, 3);
  SetFocus(b);
  in().KeyDown(VK_SPACE);
  RunUntilIdle();
  EXPECT_NE(SendMessage(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  EXPECT_TRUE(Notes().empty());
  in().KeyUp(VK_SPACE);
  RunUntilIdle();
  EXPECT_NOTES(Notes(), {3, BN_CLICKED});
}

TEST_F(Buttons, AutoCheckBoxesCycleAndManualOnesOnlyNotify) {
  HWND two = Make("BUTTON", "two", kChild | BS_AUTOCHECKBOX, {10, 10, 120, 30}, 1);
  HWND three = Make("BUTTON", "three", kChild | BS_AUTO3STATE, {10, 40, 120, 60}, 2);
  HWND manual = Make("BUTTON", "manual", kChild | BS_CHECKBOX, {10, 70, 120, 90}, 3);
  std::vector<LRESULT> twoStates, threeStates;
  for (int i = 0; i < 3; ++i) {
    SendMessage(two, BM_CLICK, 0, 0);
    twoStates.push_back(SendMessage(two, BM_GETCHECK, 0, 0));
    SendMessage(three, BM_CLICK, 0, 0);
    threeStates.push_back(SendMessage(three, BM_GETCHECK, 0, 0));
  }
  EXPECT_EQ(twoStates, (std::vector<LRESULT>{1, 0, 1}));
  EXPECT_EQ(threeStates, (std::vector<LRESULT>{1, 2, 0}));
  SendMessage(manual, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(manual, BM_GETCHECK, 0, 0), 0);
  EXPECT_EQ(NoteCodes(3), (std::vector<UINT>{BN_CLICKED}));
  // A two-state box shown indeterminate is simply checked.
  SendMessage(two, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(SendMessage(two, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
}

TEST_F(Buttons, AutoRadiosClearTheirGroupOnly) {
  HWND r1 = Make("BUTTON", "a", kChild | WS_GROUP | BS_AUTORADIOBUTTON, {10, 10, 100, 30}, 1);
  HWND r2 = Make("BUTTON", "b", kChild | BS_AUTORADIOBUTTON, {10, 40, 100, 60}, 2);
  HWND r3 = Make("BUTTON", "c", kChild | BS_AUTORADIOBUTTON, {10, 70, 100, 90}, 3);
  HWND other = Make("BUTTON", "d", kChild | WS_GROUP | BS_AUTORADIOBUTTON, {10, 100, 100, 120}, 4);
  SendMessage(other, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(r1, BM_SETCHECK, BST_CHECKED, 0);
  ClearLog();
  ClickAt(r3, 5, 5);
  EXPECT_EQ(SendMessage(r1, BM_GETCHECK, 0, 0), 0);
  EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), 0);
  EXPECT_EQ(SendMessage(r3, BM_GETCHECK, 0, 0), 1);
  EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), 1);
  EXPECT_NOTES(Notes(), {3, BN_CLICKED});
  // The checked radio is the group's tab stop.
  EXPECT_NE(GetWindowLong(r3, GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(GetWindowLong(r1, GWL_STYLE) & WS_TABSTOP, 0);
  // A posted BM_CLICK works like the mouse, once the queue delivers it.
  PostMessage(r2, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), 0);
  RunUntilIdle();
  EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), 1);
  EXPECT_EQ(SendMessage(r3, BM_GETCHECK, 0, 0), 0);
}

TEST_F(Buttons, GroupBoxLetsTheMouseThroughToWhatLiesInsideIt) {
  // Listed first, as dialog templates have it, the box lies above its radios in the Z order; listed last,
  // below them. Either way a click on a radio inside the frame reaches the radio.
  for (bool boxFirst : {true, false}) {
    SCOPED_TRACE(boxFirst ? "box above the radios" : "box below the radios");
    auto makeBox = [&] { return Make("BUTTON", "Options", kChild | WS_GROUP | BS_GROUPBOX, {5, 5, 200, 90}, 9); };
    HWND box = boxFirst ? makeBox() : nullptr;
    HWND a = Make("BUTTON", "a", kChild | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, {15, 25, 100, 45}, 1);
    HWND b = Make("BUTTON", "b", kChild | BS_AUTORADIOBUTTON, {15, 55, 100, 75}, 2);
    if (!boxFirst) box = makeBox();
    SendMessage(a, BM_SETCHECK, BST_CHECKED, 0);
    RunUntilIdle();
    ClearLog();
    ClickAt(b, 5, 5);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), 1);
    EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_NOTES(Notes(), {2, BN_CLICKED});
    POINT inB = InputRouter::ClientPoint(b, 5, 5);
    EXPECT_EQ(WindowFromPoint(inB), b);
    // Inside the frame but off the radios the press belongs to the parent; the box takes neither the
    // capture nor the focus.
    ClearLog();
    POINT empty = InputRouter::ClientPoint(box, 150, 40);
    EXPECT_EQ(WindowFromPoint(empty), host);
    in().ButtonDown(MouseButton::Left, empty);
    RunUntilIdle();
    EXPECT_EQ(GetCapture(), nullptr);
    in().ButtonUp(MouseButton::Left, empty);
    RunUntilIdle();
    EXPECT_EQ(Entries(host, WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_TRUE(Notes().empty());
    // ChildWindowFromPoint goes by the rectangles alone, transparent or not.
    POINT local = inB;
    ScreenToClient(host, &local);
    EXPECT_EQ(ChildWindowFromPoint(host, local), boxFirst ? box : b);
    for (HWND h : {box, a, b}) DestroyWindow(h);
  }
}

TEST_F(Buttons, DisabledOrHiddenButtonsIgnoreBmClick) {
  HWND b = Make("BUTTON", "x", kChild | BS_AUTOCHECKBOX, {10, 10, 100, 30}, 5);
  EnableWindow(b, FALSE);
  SendMessage(b, BM_CLICK, 0, 0);
  ShowWindow(b, SW_HIDE);
  EnableWindow(b, TRUE);
  SendMessage(b, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), 0);
  EXPECT_TRUE(Notes().empty());
}

TEST_F(Buttons, OwnerDrawSequenceOnClick) {
  HWND b = Make("BUTTON", "od", kChild | BS_OWNERDRAW, {10, 10, 90, 35}, 9);
  std::vector<std::pair<UINT, UINT>> draws;  // action, state
  hostHook = [&](UINT msg, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_DRAWITEM) {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      EXPECT_EQ(d->CtlType, ODT_BUTTON);
      EXPECT_EQ(d->CtlID, 9u);
      EXPECT_EQ(d->hwndItem, b);
      EXPECT_EQ(d->rcItem.right, 80);
      draws.emplace_back(d->itemAction, d->itemState);
      return TRUE;
    }
    return std::nullopt;
  };
  RunUntilIdle();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0], std::make_pair(ODA_DRAWENTIRE, 0u));
  draws.clear();
  ClearLog();
  ClickAt(b, 5, 5);
  const std::vector<std::pair<UINT, UINT>> expected{
      {ODA_FOCUS, ODS_FOCUS}, {ODA_SELECT, ODS_FOCUS | ODS_SELECTED}, {ODA_SELECT, ODS_FOCUS}};
  EXPECT_EQ(draws, expected);
  // The click reaches the parent after the last redraw.
  EXPECT_EQ(HostMessages({WM_DRAWITEM, WM_COMMAND}).back(), WM_COMMAND);
  EXPECT_EQ(SendMessage(b, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON));
  // A double click on an owner-draw button is reported, not taken as a press.
  AdvanceAndPump(1000);  // no double click with the click above
  ClearLog();
  in().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(b, 5, 5));
  RunUntilIdle();
  EXPECT_NOTES(Notes(), {9, BN_CLICKED}, {9, BN_DOUBLECLICKED});
}

TEST_F(Buttons, DialogCodesAndStyleChanges) {
  HWND push = Make("BUTTON", "p", kChild, {10, 10, 90, 35}, 1);
  HWND radio = Make("BUTTON", "r", kChild | BS_RADIOBUTTON, {10, 40, 90, 60}, 2);
  HWND group = Make("BUTTON", "g", kChild | BS_GROUPBOX, {100, 10, 200, 100}, 3);
  EXPECT_EQ(SendMessage(push, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON));
  EXPECT_EQ(SendMessage(radio, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_RADIOBUTTON));
  EXPECT_EQ(SendMessage(group, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_STATIC));
  SendMessage(push, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessage(push, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
  EXPECT_EQ(GetWindowLong(push, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), LONG(kChild));
}

TEST_F(Buttons, DialogHelpers) {
  for (int id = 10; id <= 12; ++id)
    Make("BUTTON", "r", kChild | BS_RADIOBUTTON, {10, 10 + 25 * (id - 10), 90, 30 + 25 * (id - 10)}, id);
  EXPECT_TRUE(CheckRadioButton(host, 10, 12, 11));
  EXPECT_EQ(IsDlgButtonChecked(host, 10), 0u);
  EXPECT_EQ(IsDlgButtonChecked(host, 11), 1u);
  EXPECT_TRUE(CheckDlgButton(host, 12, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(host, 12), 1u);
  EXPECT_FALSE(CheckDlgButton(host, 99, BST_CHECKED));
}

TEST_F(Buttons, MnemonicTextShowsDoubleAmpersandAsOneAndUnderlinesTheLastMark) {
  struct Case {
    const char* text;
    const char* shown;
    int underline;
    char mnemonic;
  };
  const Case cases[] = {
      {"Save && &Close", "Save & Close", 7, 'c'},
      {"&Save &Close", "Save Close", 5, 'c'},  // the last single '&' wins
      {"a&&b", "a&b", -1, 0},
      {"&&&x", "&x", 1, 'x'},
      {"end&", "end&", -1, 0},
  };
  for (const Case& c : cases) {
    const MnemonicText m = ParseMnemonic(c.text);
    EXPECT_EQ(m.shown, c.shown) << c.text;
    EXPECT_EQ(m.underline, c.underline) << c.text;
    EXPECT_EQ(MnemonicChar(c.text), c.mnemonic) << c.text;
  }
}

TEST_F(Buttons, StaticsNotifyOnlyWithSsNotifyAndAskForColours) {
  HWND quiet = Make("STATIC", "quiet", kChild, {10, 10, 100, 30}, 1);
  HWND loud = Make("STATIC", "loud", kChild | SS_NOTIFY, {10, 40, 100, 60}, 2);
  RunUntilIdle();
  EXPECT_FALSE(Entries(host, WM_CTLCOLORSTATIC).empty());
  ClearLog();
  ClickAt(quiet, 5, 5);
  ClickAt(loud, 5, 5);
  EXPECT_NOTES(Notes(), {2, STN_CLICKED});
  EXPECT_EQ(SendMessage(loud, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_STATIC));
}

TEST_F(Buttons, LookInEveryState) {
  Make("BUTTON", "&Push", kChild, {10, 10, 90, 35}, 1);
  HWND def = Make("BUTTON", "Default", kChild | BS_DEFPUSHBUTTON, {100, 10, 180, 35}, 2);
  HWND pressed = Make("BUTTON", "Pressed", kChild, {190, 10, 270, 35}, 3);
  HWND off = Make("BUTTON", "Disabled", kChild | WS_DISABLED, {280, 10, 360, 35}, 4);
  HWND check = Make("BUTTON", "Check && go", kChild | BS_AUTOCHECKBOX, {10, 45, 130, 65}, 5);
  HWND tri = Make("BUTTON", "Three", kChild | BS_AUTO3STATE, {140, 45, 260, 65}, 6);
  Make("BUTTON", "Radio", kChild | BS_AUTORADIOBUTTON | WS_GROUP, {10, 75, 130, 95}, 7);
  HWND radio = Make("BUTTON", "Radio on", kChild | BS_AUTORADIOBUTTON, {140, 75, 260, 95}, 8);
  HWND like = Make("BUTTON", "Pushlike", kChild | BS_AUTOCHECKBOX | BS_PUSHLIKE, {270, 75, 360, 100}, 9);
  Make("BUTTON", "Group", kChild | BS_GROUPBOX, {10, 110, 200, 180}, 10);
  Make("STATIC", "Left text that wraps onto a second line", kChild, {20, 130, 190, 175}, 11);
  Make("STATIC", "Centre", kChild | SS_CENTER | SS_SUNKEN, {210, 110, 300, 130}, 12);
  Make("STATIC", "Right", kChild | SS_RIGHT, {210, 140, 300, 160}, 13);
  Make("STATIC", "", kChild | SS_ETCHEDHORZ, {210, 170, 380, 172}, 14);
  Make("STATIC", "", kChild | SS_BLACKFRAME, {310, 110, 380, 160}, 15);
  (void)def;
  SendMessage(pressed, BM_SETSTATE, TRUE, 0);
  (void)off;
  SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(tri, BM_SETCHECK, BST_INDETERMINATE, 0);
  SendMessage(radio, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(like, BM_SETCHECK, BST_CHECKED, 0);
  SetFocus(check);
  MoveWindow(host, 50, 50, 390, 190, TRUE);
  ExpectMatchesReference(host, "buttons.png");
}

}  // namespace
}  // namespace plat::test
