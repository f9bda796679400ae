// The test dialog: a template with every standard control kind and a custom-class grid,
// driven by injected keys and clicks - creation, tab order and groups, default button, Enter and Escape,
// mnemonics, data exchange round trips and refusals, modal and modeless lifetimes.
#include <string>
#include <vector>

#include "platform/base/ResourceTable.h"
#include "platform/base/tests/CommaLocale.h"
#include "platform/controls/winctrl.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/DialogManager.h"
#include "platform/framework/tests/FrameworkTest.h"
#include "platform/framework/tests/TestDialog.h"
#include "platform/window/InputRouter.h"

namespace plat::test {
namespace {

class DialogTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterTestDialog();
    DialogEvents().clear();
    owner_ = CreateWindowEx(0, "Static", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 500, nullptr, nullptr,
                            nullptr, nullptr);
  }
  void TearDown() override {
    ResourceTable::RemoveModule(AfxGetInstanceHandle());
    FrameworkTest::TearDown();
  }
  static HWND Item(const CDialog& dlg, int id) { return GetDlgItem(dlg.m_hWnd, id); }
  // An edit's selection as EM_GETSEL reports it.
  static std::pair<int, int> Selection(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
  }
  static std::pair<int, int> AllSelected(HWND edit) { return {0, GetWindowTextLength(edit)}; }
  static std::vector<std::string> Prompts() {
    std::vector<std::string> out;
    for (const auto& r : ShownLog()) out.push_back(r.request.text);
    return out;
  }
  // A modeless dialog owned by the test's top-level window.
  void OpenModeless(CTestDlg& dlg) {
    ASSERT_TRUE(dlg.Create(IDD_TEST, CWnd::FromHandle(owner_)));
    dlg.ShowWindow(SW_SHOW);
    Pump();
  }

  HWND owner_ = nullptr;
};

TEST_F(DialogTest, TemplateBecomesControlsInOrderWithDialogUnitsFontAndFirstFocus) {
  CTestDlg dlg;
  OpenModeless(dlg);
  // Template order is the child order.
  std::vector<int> ids;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ids.push_back(GetDlgCtrlID(c));
  ASSERT_EQ(ids.size(), kTestDialog.items.size());
  for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i], kTestDialog.items[i].id);
  // 8-point base units 6 x 13: x * 6 / 4, y * 13 / 8.
  RECT r;
  GetWindowRect(Item(dlg, IDC_NAME), &r);
  POINT origin{0, 0};
  ClientToScreen(dlg, &origin);
  EXPECT_EQ(r.left - origin.x, 75);
  EXPECT_EQ(r.top - origin.y, 11);
  EXPECT_EQ(r.right - r.left, 165);
  EXPECT_EQ(r.bottom - r.top, 20);
  RECT client;
  dlg.GetClientRect(&client);
  EXPECT_EQ(client.right, 377);
  EXPECT_EQ(client.bottom, 270);
  RECT units{4, 8, 8, 16};
  dlg.MapDialogRect(&units);
  EXPECT_EQ(CRect(units), CRect(6, 13, 12, 26));
  // Every control got the dialog's font; the focus is on the first tab stop with its text selected.
  HFONT font = reinterpret_cast<HFONT>(dlg.SendMessage(WM_GETFONT));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(Item(dlg, IDC_GRID), WM_GETFONT, 0, 0)), font);
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_NAME));
  EXPECT_EQ(Selection(Item(dlg, IDC_NAME)), AllSelected(Item(dlg, IDC_NAME)));
  EXPECT_EQ(LOWORD(dlg.GetDefID()), IDOK);
  EXPECT_EQ(HIWORD(dlg.GetDefID()), DC_HASDEFID);
  // OnInitDialog filled the controls.
  EXPECT_EQ(Text(Item(dlg, IDC_NAME)), "board");
  EXPECT_EQ(Text(Item(dlg, IDC_RATIO)), "0.1");
  EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_B), BST_CHECKED);
}

TEST_F(DialogTest, TabVisitsTabStopsInOrderEnteringRadioGroupsAtTheCheckedButton) {
  CTestDlg dlg;
  OpenModeless(dlg);
  EnableWindow(Item(dlg, IDC_RATIO), FALSE);  // disabled controls are passed over, as are hidden ones
  std::vector<int> visited;
  for (int i = 0; i < 13; ++i) {
    Key(VK_TAB);
    visited.push_back(GetDlgCtrlID(GetFocus()));
    // The grid wants Tab for itself; move on the way the grid's owner would.
    if (GetDlgCtrlID(GetFocus()) == IDC_GRID) SetFocus(Item(dlg, IDC_APPLY));
  }
  EXPECT_EQ(visited, (std::vector<int>{IDC_COUNT, IDC_ENABLE, IDC_RADIO_B, IDC_KIND, IDC_LIST, IDC_LEVEL, IDC_TABS,
                                       IDC_TREE, IDC_GRID, IDOK, IDCANCEL, IDC_NAME, IDC_COUNT}));
  SetFocus(Item(dlg, IDC_KIND));
  ShiftKey(VK_TAB);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_RADIO_B);
  ShiftKey(VK_TAB);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_ENABLE);
}

TEST_F(DialogTest, ArrowsMoveWithinTheGroupAndCheckAutoRadios) {
  CTestDlg dlg;
  OpenModeless(dlg);
  SetFocus(Item(dlg, IDC_RADIO_B));
  Key(VK_DOWN);
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_RADIO_C));
  EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_C), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_RADIO_B), BST_UNCHECKED);
  Key(VK_DOWN);  // wraps within the group
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_RADIO_A));
  Key(VK_UP);
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_RADIO_C));
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.m_option, 2);
}

TEST_F(DialogTest, EnterPressesTheDefaultOrFocusedButtonAndEscapeCancels) {
  CTestDlg dlg;
  OpenModeless(dlg);
  // Focus on a push button makes it the default for the moment; Enter presses it.
  SetFocus(Item(dlg, IDC_NAME));
  Key(VK_TAB);  // -> count
  dlg.GotoDlgCtrl(CWnd::FromHandle(Item(dlg, IDC_APPLY)));
  EXPECT_EQ(GetWindowLong(Item(dlg, IDC_APPLY), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLong(Item(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  Key(VK_RETURN);
  EXPECT_EQ(DialogEvents().back(), "apply");
  // Leaving the button gives the real default its look back.
  dlg.GotoDlgCtrl(CWnd::FromHandle(Item(dlg, IDC_NAME)));
  EXPECT_EQ(GetWindowLong(Item(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLong(Item(dlg, IDC_APPLY), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  // A click on a push button gives it the look too; Enter then presses it.
  ClickAt(Item(dlg, IDCANCEL), 3, 3);
  DialogEvents().clear();
  EXPECT_EQ(GetWindowLong(Item(dlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLong(Item(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  dlg.GotoDlgCtrl(CWnd::FromHandle(Item(dlg, IDC_NAME)));
  // Enter in an edit goes to the default button: DM_SETDEFID moves it.
  dlg.SetDefID(IDC_APPLY);
  EXPECT_EQ(LOWORD(dlg.GetDefID()), IDC_APPLY);
  DialogEvents().clear();
  Key(VK_RETURN);
  EXPECT_EQ(DialogEvents(), std::vector<std::string>{"apply"});
  dlg.SetDefID(IDOK);
  Key(VK_RETURN);
  EXPECT_EQ(DialogEvents().back(), "ok");
  Key(VK_ESCAPE);
  EXPECT_EQ(DialogEvents().back(), "cancel");
  // A multi-line edit keeps Enter for itself (DLGC_WANTALLKEYS); so does the grid with Tab and arrows.
  SetFocus(Item(dlg, IDC_GRID));
  DialogEvents().clear();
  GridKeys().clear();
  Key(VK_TAB);
  Key(VK_RIGHT);
  EXPECT_EQ(GridKeys(), (std::vector<int>{VK_TAB, VK_RIGHT}));
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_GRID));
}

// A rich edit in a dialog keeps the edit control's dialog keys: without ES_WANTRETURN Enter presses the
// default button and Esc cancels, Tab moves on; with it Enter is a paragraph; in a grid's cell the keys stay.
TEST_F(DialogTest, RichEditInADialogHandsTabEscAndEnterToItsDialogUnlessItWantsReturn) {
  CTestDlg dlg;
  OpenModeless(dlg);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL;
  HWND notes = CreateWindowEx(0, RICHEDIT_CLASS, "", style, 10, 10, 120, 60, dlg, reinterpret_cast<HMENU>(2002),
                              nullptr, nullptr);
  HWND wantReturn = CreateWindowEx(0, RICHEDIT_CLASS, "", style | ES_WANTRETURN, 10, 80, 120, 60, dlg,
                                   reinterpret_cast<HMENU>(2003), nullptr, nullptr);
  ASSERT_TRUE(notes && wantReturn);
  SetFocus(notes);
  Type("ab");
  DialogEvents().clear();
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  EXPECT_EQ(DialogEvents(), (std::vector<std::string>{"ok", "cancel"}));
  EXPECT_EQ(Text(notes), "ab");
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), wantReturn);
  ShiftKey(VK_TAB);
  EXPECT_EQ(GetFocus(), notes);
  SetFocus(wantReturn);
  DialogEvents().clear();
  Type("x");
  Key(VK_RETURN);
  Type("y");
  EXPECT_EQ(SendMessage(wantReturn, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_TRUE(DialogEvents().empty());
  // In a grid's cell (its parent the grid, not the dialog) Enter and Esc stay with the control.
  HWND cell = CreateWindowEx(0, RICHEDIT_CLASS, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 60, 40,
                             Item(dlg, IDC_GRID), reinterpret_cast<HMENU>(1), nullptr, nullptr);
  SetFocus(cell);
  DialogEvents().clear();
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  EXPECT_EQ(SendMessage(cell, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_EQ(GetFocus(), cell);
  EXPECT_TRUE(DialogEvents().empty());
}

TEST_F(DialogTest, MultiLineEditKeepsEveryKeyButHandsTabEscAndEnterToItsDialog) {
  CTestDlg dlg;
  OpenModeless(dlg);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL;
  HWND notes = CreateWindowEx(0, WC_EDIT, "", style, 10, 10, 120, 60, dlg, reinterpret_cast<HMENU>(2000), nullptr,
                              nullptr);
  HWND wantReturn = CreateWindowEx(0, WC_EDIT, "", style | ES_WANTRETURN, 10, 80, 120, 60, dlg,
                                   reinterpret_cast<HMENU>(2001), nullptr, nullptr);
  // The answer stays "every key": the edit does the dialog's part itself.
  EXPECT_TRUE(SendMessage(notes, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  auto withKey = [](int modifier, int vk) {
    InputRouter& in = InputRouter::Instance();
    in.KeyDown(modifier);
    in.KeyPress(vk);
    in.KeyUp(modifier);
    Pump();
  };
  SetFocus(notes);
  Type("ab");
  DialogEvents().clear();
  Key(VK_RETURN);  // the default button, no line
  withKey(VK_CONTROL, VK_RETURN);  // a line in either case
  Key(VK_ESCAPE);
  EXPECT_EQ(DialogEvents(), (std::vector<std::string>{"ok", "cancel"}));
  EXPECT_EQ(Text(notes), "ab\r\n");
  withKey(VK_CONTROL, VK_TAB);  // a tab character
  EXPECT_EQ(Text(notes), "ab\r\n\t");
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), wantReturn);
  Key(VK_TAB);  // the last tab stop: on to the first
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_NAME));
  SetFocus(notes);
  ShiftKey(VK_TAB);
  EXPECT_EQ(GetFocus(), Item(dlg, IDCANCEL));
  EXPECT_EQ(Text(notes), "ab\r\n\t");
  EXPECT_EQ(Text(wantReturn), "");
  // With ES_WANTRETURN Enter is a line.
  SetFocus(wantReturn);
  DialogEvents().clear();
  Key(VK_RETURN);
  EXPECT_EQ(Text(wantReturn), "\r\n");
  EXPECT_TRUE(DialogEvents().empty());
  // Alt+mnemonics are the dialog's, whatever the edit answers.
  withKey(VK_MENU, 'N');
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_NAME));

  // A cell edit's parent is its grid: Enter and Esc stay with the edit.
  HWND cell = CreateWindowEx(0, WC_EDIT, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 60, 40,
                             Item(dlg, IDC_GRID), reinterpret_cast<HMENU>(1), nullptr, nullptr);
  SetFocus(cell);
  DialogEvents().clear();
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  Key(VK_TAB);
  EXPECT_EQ(Text(cell), "\r\n\t");
  EXPECT_EQ(GetFocus(), cell);
  EXPECT_TRUE(DialogEvents().empty());
}

TEST_F(DialogTest, CenterWindowCentresOnTheOwner) {
  CTestDlg dlg;
  OpenModeless(dlg);
  dlg.CenterWindow();
  RECT owner, self;
  GetWindowRect(owner_, &owner);
  dlg.GetWindowRect(&self);
  EXPECT_NEAR((self.left + self.right) / 2, (owner.left + owner.right) / 2, 1);
  EXPECT_NEAR((self.top + self.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
}

TEST_F(DialogTest, MnemonicsFocusOrPressTheirControls) {
  CTestDlg dlg;
  OpenModeless(dlg);
  SetFocus(Item(dlg, IDC_LEVEL));
  InputRouter& in = InputRouter::Instance();
  in.KeyDown(VK_MENU);
  in.KeyPress('N');  // the label's mnemonic focuses the control after it
  in.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_NAME));
  in.KeyDown(VK_MENU);
  in.KeyPress('E');  // a check box toggles
  in.KeyPress('P');  // a push button is pressed
  in.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_ENABLE), BST_UNCHECKED);
  EXPECT_EQ(DialogEvents().back(), "apply");
  // Plain letters in an edit are text, not mnemonics.
  SetFocus(Item(dlg, IDC_COUNT));
  Type("a");
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_COUNT));
  // The last single '&' is the mnemonic, as it is the underlined letter.
  SetWindowText(Item(dlg, IDC_APPLY), "&Save && &Go");
  DialogEvents().clear();
  in.KeyDown(VK_MENU);
  in.KeyPress('S');
  Pump();
  EXPECT_TRUE(DialogEvents().empty());
  in.KeyPress('G');
  in.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(DialogEvents(), std::vector<std::string>{"apply"});
}

TEST_F(DialogTest, DataExchangeRoundTripsEveryKind) {
  CTestDlg dlg;
  OpenModeless(dlg);
  EXPECT_EQ(Text(Item(dlg, IDC_COUNT)), "3");
  EXPECT_EQ(SendMessage(Item(dlg, IDC_KIND), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessage(Item(dlg, IDC_LEVEL), TBM_GETPOS, 0, 0), 4);
  SetDlgItemText(dlg, IDC_NAME, "  lid  ");
  SetDlgItemText(dlg, IDC_COUNT, " 7 ");
  SetDlgItemText(dlg, IDC_RATIO, "1.25e0");
  dlg.CheckDlgButton(IDC_ENABLE, BST_UNCHECKED);
  SendMessage(Item(dlg, IDC_RADIO_C), BM_CLICK, 0, 0);
  SendMessage(Item(dlg, IDC_KIND), CB_SETCURSEL, 0, 0);
  SendMessage(Item(dlg, IDC_LIST), LB_SETCURSEL, 1, 0);
  SendMessage(Item(dlg, IDC_LEVEL), TBM_SETPOS, TRUE, 9);
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.m_name, "  lid  ");
  EXPECT_EQ(dlg.m_count, 7);
  EXPECT_DOUBLE_EQ(dlg.m_ratio, 1.25);
  EXPECT_EQ(dlg.m_enabled, 0);
  EXPECT_EQ(dlg.m_option, 2);
  EXPECT_EQ(dlg.m_kind, 0);
  EXPECT_EQ(dlg.m_kindText, "Plane");
  EXPECT_EQ(dlg.m_list, 1);
  EXPECT_EQ(dlg.m_level, 9);
  // Doubles travel with 15 significant digits; a value read back is the value written.
  dlg.m_ratio = 2.0 / 3.0;
  dlg.m_kindText = "tr";  // a prefix selects the matching item
  dlg.m_kind = -1;
  ASSERT_TRUE(dlg.UpdateData(FALSE));
  EXPECT_EQ(Text(Item(dlg, IDC_RATIO)), "0.666666666666667");
  EXPECT_EQ(SendMessage(Item(dlg, IDC_KIND), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessage(Item(dlg, IDC_NAME), EM_GETLIMITTEXT, 0, 0), 12);  // DDV_MaxChars on load
  // No radio checked reads as -1.
  for (int id : {IDC_RADIO_A, IDC_RADIO_B, IDC_RADIO_C}) dlg.CheckDlgButton(id, BST_UNCHECKED);
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.m_option, -1);
  EXPECT_TRUE(ShownLog().empty());
}

TEST_F(DialogTest, RealNumbersReadBackUnderACommaLocale) {
  CTestDlg dlg;
  OpenModeless(dlg);
  ScopedCommaLocale comma;
  ASSERT_TRUE(comma.Active()) << ScopedCommaLocale::Missing();
  dlg.m_ratio = 0.5;
  ASSERT_TRUE(dlg.UpdateData(FALSE));
  EXPECT_EQ(Text(Item(dlg, IDC_RATIO)), "0.5");
  dlg.m_ratio = 0;
  EXPECT_TRUE(dlg.UpdateData(TRUE));  // what the dialog wrote itself reads back
  EXPECT_DOUBLE_EQ(dlg.m_ratio, 0.5);
  float f = 0;
  CDataExchange dx(&dlg, TRUE);
  DDX_Text(&dx, IDC_RATIO, f);
  EXPECT_FLOAT_EQ(f, 0.5f);
  EXPECT_TRUE(ShownLog().empty());
}

TEST_F(DialogTest, RefusedValuesPromptFocusSelectAndKeepTheDialogOpen) {
  automation.Reply(SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, /*repeat=*/true);
  CTestDlg dlg;
  OpenModeless(dlg);
  struct Case {
    int id;
    const char* text;
    const char* prompt;
  };
  const Case cases[] = {
      {IDC_COUNT, "12abc", "Please enter an integer."},
      {IDC_COUNT, "", "Please enter an integer."},
      {IDC_COUNT, "99999999999", "Please enter an integer."},
      {IDC_COUNT, "11", "Please enter an integer between 1 and 10."},
      {IDC_RATIO, "x", "Please enter a number."},
      {IDC_RATIO, "1e999", "Please enter a number."},
      // The C library's forms beyond decimal numbers: 1, 0.5, 2 and 1 in range, yet no number a user types.
      {IDC_RATIO, "0x1", "Please enter a number."},
      {IDC_RATIO, "0X1p-1", "Please enter a number."},
      {IDC_RATIO, " 0x2 ", "Please enter a number."},
      {IDC_RATIO, "0x.8p1", "Please enter a number."},
      {IDC_RATIO, "inf", "Please enter a number."},
      {IDC_RATIO, "nan", "Please enter a number."},
      {IDC_RATIO, "3", "Please enter a number between 0.05 and 2.5."},
      {IDC_NAME, "thirteen char", "Enter no more than 12 characters."},
  };
  for (const Case& c : cases) {
    SetDlgItemText(dlg, c.id, c.text);
    ClearShownLog();
    SetFocus(Item(dlg, IDC_GRID));
    EXPECT_FALSE(dlg.UpdateData(TRUE)) << c.text;
    ASSERT_EQ(Prompts(), std::vector<std::string>{c.prompt}) << c.text;
    const ShownRecord& shown = ShownLog().front();
    EXPECT_EQ(shown.request.flags, MB_ICONEXCLAMATION);
    EXPECT_EQ(shown.request.owner, dlg.m_hWnd);  // the active window owns the prompt
    EXPECT_EQ(GetFocus(), Item(dlg, c.id)) << c.text;
    EXPECT_EQ(Selection(Item(dlg, c.id)), AllSelected(Item(dlg, c.id))) << c.text;
    SetDlgItemText(dlg, IDC_NAME, "board");
    SetDlgItemText(dlg, IDC_COUNT, "3");
    SetDlgItemText(dlg, IDC_RATIO, "0.1");
  }
  // OnOK with a bad value keeps the dialog open.
  SetDlgItemText(dlg, IDC_COUNT, "0");
  DialogEvents().clear();
  SetFocus(Item(dlg, IDC_NAME));
  Key(VK_RETURN);
  EXPECT_EQ(DialogEvents(), std::vector<std::string>{"ok"});
  EXPECT_TRUE(IsWindow(dlg));
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_COUNT));
}

TEST_F(DialogTest, DoModalRunsUntilEndDialogWithTheOwnerDisabled) {
  CTestDlg dlg(CWnd::FromHandle(owner_));
  HWND seen = nullptr;
  bool ownerEnabledInside = true;
  automation
      .Then([&] {
        seen = GetActiveWindow();
        ownerEnabledInside = IsWindowEnabled(owner_) != FALSE;
        InputRouter::Instance().TypeText("via");  // replaces the selected name
      })
      .Then([&] {
        InputRouter& in = InputRouter::Instance();
        in.KeyPress(VK_TAB);
        in.TypeText("8");
        in.KeyPress(VK_RETURN);
      });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_NE(seen, owner_);
  EXPECT_EQ(dlg.m_hWnd, nullptr);  // the window is gone, the object stays
  EXPECT_EQ(dlg.m_name, "via");
  EXPECT_EQ(dlg.m_count, 8);
  EXPECT_EQ(DialogEvents(), (std::vector<std::string>{"init", "ok", "gone"}));
}

TEST_F(DialogTest, DoModalCancelKeepsTheMembersAndEndDialogInInitSkipsTheLoop) {
  {
    CTestDlg dlg;
    automation.Then([] {
      InputRouter::Instance().TypeText("changed");
      InputRouter::Instance().KeyPress(VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_name, "board");
  }
  {
    CTestDlg dlg;
    dlg.m_endInInit = true;
    EXPECT_EQ(dlg.DoModal(), IDABORT);
    EXPECT_EQ(automation.PendingSteps(), 0u);
  }
  {
    // A template that is not there: -1, nothing created.
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
  }
  // The close box is Cancel.
  CTestDlg dlg;
  automation.Then([&] { PostMessage(GetActiveWindow(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  // A quit ends the dialog with -1 and stays queued for the loop outside.
  CTestDlg quitting;
  automation.Then([] { PostQuitMessage(4); });
  EXPECT_EQ(quitting.DoModal(), -1);
  EXPECT_EQ(quitting.m_hWnd, nullptr);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 4u);
}

TEST_F(DialogTest, ModelessDialogsLiveUntilDestroyedAndMayDeleteThemselves) {
  auto* dlg = new CTestDlg;
  dlg->m_selfDelete = true;
  OpenModeless(*dlg);
  HWND hwnd = dlg->m_hWnd;
  EXPECT_TRUE(IsWindowVisible(hwnd));
  Key(VK_TAB);  // the application's loop runs the dialog manager through pre-translation
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_COUNT);
  Key(VK_ESCAPE);  // OnCancel destroys the window; PostNcDestroy deletes the object
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(DialogEvents(), (std::vector<std::string>{"init", "cancel", "gone"}));
}

}  // namespace
}  // namespace plat::test

namespace plat::test {
namespace {

TEST_F(DialogTest, ComboDropsAndListsSelectByMouseAndKeysWithoutClosingTheDialog) {
  CTestDlg dlg;
  OpenModeless(dlg);
  HWND kind = Item(dlg, IDC_KIND);
  // A click drops the list and leaves it open; a click on an item picks it and closes the list.
  ClickAt(kind, 10, 8);
  ASSERT_TRUE(dlg.m_kindBox.GetDroppedState());
  EXPECT_EQ(GetFocus(), kind);
  CRect dropped;
  dlg.m_kindBox.GetDroppedControlRect(&dropped);
  const int itemHeight = dlg.m_kindBox.GetItemHeight(0);
  HWND popup = WindowFromPoint(CPoint(dropped.left + 10, dropped.bottom - 2));
  ASSERT_NE(popup, nullptr);
  POINT first{dropped.left + 10, 0};
  ScreenToClient(popup, &first);
  ClickAt(popup, first.x, itemHeight / 2);
  EXPECT_FALSE(dlg.m_kindBox.GetDroppedState());
  EXPECT_EQ(dlg.m_kindBox.GetCurSel(), 0);
  // Escape and Enter in an open list belong to the combo: the list closes, the dialog stays.
  DialogEvents().clear();
  Key(VK_F4);
  ASSERT_TRUE(dlg.m_kindBox.GetDroppedState());
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(dlg.m_kindBox.GetDroppedState());
  EXPECT_EQ(dlg.m_kindBox.GetCurSel(), 0);  // Escape restores the earlier selection
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(dlg.m_kindBox.GetDroppedState());
  EXPECT_EQ(dlg.m_kindBox.GetCurSel(), 1);
  EXPECT_TRUE(DialogEvents().empty());
  EXPECT_TRUE(IsWindowVisible(dlg));
  // With the list closed, arrows change the selection in place.
  Key(VK_DOWN);
  EXPECT_EQ(dlg.m_kindBox.GetCurSel(), 2);

  // The list box: a click selects, arrows move.
  CRect second;
  dlg.m_listBox.GetItemRect(1, &second);
  ClickAt(Item(dlg, IDC_LIST), second.left + 5, second.top + 2);
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_LIST));
  EXPECT_EQ(dlg.m_listBox.GetCurSel(), 1);
  Key(VK_UP);
  EXPECT_EQ(dlg.m_listBox.GetCurSel(), 0);
  Key(VK_DOWN);
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.m_kind, 2);
  EXPECT_EQ(dlg.m_kindText, "Via");
  EXPECT_EQ(dlg.m_list, 1);
  // Enter from the list presses the default button.
  Key(VK_RETURN);
  EXPECT_EQ(DialogEvents(), std::vector<std::string>{"ok"});
}

TEST_F(DialogTest, APushButtonFocusedByTheMouseIsTheDefaultUntilTheFocusLeaves) {
  CTestDlg dlg;
  OpenModeless(dlg);
  auto type = [&](int id) { return GetWindowLong(Item(dlg, id), GWL_STYLE) & BS_TYPEMASK; };
  ClickAt(Item(dlg, IDC_APPLY), 5, 5);
  EXPECT_EQ(DialogEvents().back(), "apply");
  EXPECT_EQ(type(IDC_APPLY), BS_DEFPUSHBUTTON);
  EXPECT_EQ(type(IDOK), BS_PUSHBUTTON);
  ClickAt(Item(dlg, IDCANCEL), 5, 5);  // from push button to push button: the look moves along
  EXPECT_EQ(type(IDC_APPLY), BS_PUSHBUTTON);
  EXPECT_EQ(type(IDCANCEL), BS_DEFPUSHBUTTON);
  EXPECT_EQ(type(IDOK), BS_PUSHBUTTON);
  ClickAt(Item(dlg, IDC_NAME), 5, 5);  // into an edit: the real default gets it back
  EXPECT_EQ(type(IDCANCEL), BS_PUSHBUTTON);
  EXPECT_EQ(type(IDOK), BS_DEFPUSHBUTTON);
  ClickAt(Item(dlg, IDC_ENABLE), 5, 5);  // a check box is no push button
  EXPECT_EQ(type(IDOK), BS_DEFPUSHBUTTON);
  EXPECT_EQ(LOWORD(dlg.GetDefID()), IDOK);  // the look moved, never the default id
  // Tab from push button to push button moves the look the same way.
  dlg.GotoDlgCtrl(CWnd::FromHandle(Item(dlg, IDC_APPLY)));
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), Item(dlg, IDOK));
  EXPECT_EQ(type(IDC_APPLY), BS_PUSHBUTTON);
  EXPECT_EQ(type(IDOK), BS_DEFPUSHBUTTON);
  Key(VK_TAB);
  EXPECT_EQ(type(IDOK), BS_PUSHBUTTON);
  EXPECT_EQ(type(IDCANCEL), BS_DEFPUSHBUTTON);
}

TEST_F(DialogTest, SpinSliderAndCheckBoxAnswerTheirKeysAndClicks) {
  CTestDlg dlg;
  OpenModeless(dlg);
  // The spin's arrow keys step its buddy; the click on the upper half steps up.
  SetFocus(Item(dlg, IDC_COUNT));
  Key(VK_UP);
  EXPECT_EQ(Text(Item(dlg, IDC_COUNT)), "4");
  CRect spin;
  dlg.m_countSpin.GetClientRect(&spin);
  ClickAt(dlg.m_countSpin, spin.Width() / 2, 2);
  EXPECT_EQ(Text(Item(dlg, IDC_COUNT)), "5");
  // The slider takes arrows for itself.
  SetFocus(Item(dlg, IDC_LEVEL));
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(GetFocus(), Item(dlg, IDC_LEVEL));
  // Space toggles the focused check box; a click toggles it back.
  SetFocus(Item(dlg, IDC_ENABLE));
  Key(VK_SPACE);
  EXPECT_EQ(dlg.m_enableCheck.GetCheck(), BST_UNCHECKED);
  ClickAt(Item(dlg, IDC_ENABLE), 4, 4);
  EXPECT_EQ(dlg.m_enableCheck.GetCheck(), BST_CHECKED);
  // A click on a radio checks it and clears the rest of the group.
  ClickAt(Item(dlg, IDC_RADIO_A), 4, 4);
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.m_count, 5);
  EXPECT_EQ(dlg.m_level, 6);
  EXPECT_EQ(dlg.m_enabled, 1);
  EXPECT_EQ(dlg.m_option, 0);
}

}  // namespace
}  // namespace plat::test
