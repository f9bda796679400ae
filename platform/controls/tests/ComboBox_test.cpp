// Combo boxes: structure and geometry, opening and closing by mouse and keys with their notification
// order, the edit child, search, owner-draw measuring, the colour request of the dropped list, and looks.
#include "platform/controls/ComboBox.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/tests/ControlTestSupport.h"
#include "platform/display/Desktop.h"

namespace plat::test {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

class Combos : public ControlTest {
 protected:
  HWND Combo(DWORD kind, std::initializer_list<const char*> items = {"red", "green", "blue"}, int id = 300,
             DWORD extra = 0) {
    HWND c = Make("COMBOBOX", "", kChild | WS_VSCROLL | kind | extra, {10, 10, 160, 160}, id);
    for (const char* t : items) SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    RunUntilIdle();
    ClearLog();
    return c;
  }
  HWND ListOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
  }
  POINT ListItemPoint(HWND list, int i) {
    RECT r{};
    SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return InputRouter::ClientPoint(list, r.left + 5, r.top + 2);
  }
  bool Dropped(HWND c) { return SendMessage(c, CB_GETDROPPEDSTATE, 0, 0) != 0; }
};

TEST_F(Combos, StructureAndGeometry) {
  HWND dd = Combo(CBS_DROPDOWN);
  HWND child = GetWindow(dd, GW_CHILD);
  ASSERT_NE(child, nullptr);
  char cls[32]{};
  GetClassName(child, cls, sizeof(cls));
  EXPECT_STREQ(cls, "Edit");
  EXPECT_EQ(GetDlgCtrlID(child), controls::kComboEditId);
  HWND list = ListOf(dd);
  ASSERT_NE(list, nullptr);
  char listClass[32]{};
  GetClassName(list, listClass, sizeof(listClass));
  EXPECT_STREQ(listClass, "ComboLBox");
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(GetWindowLong(list, GWL_STYLE) & WS_CHILD, 0);
  HWND ddl = Combo(CBS_DROPDOWNLIST, {}, 301);
  EXPECT_EQ(GetWindow(ddl, GW_CHILD), nullptr);
  // The window keeps the field's height; the rest of the given height is the list's.
  RECT wr{}, dropped{};
  GetWindowRect(ddl, &wr);
  const int field = static_cast<int>(SendMessage(ddl, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  EXPECT_LT(wr.bottom - wr.top, 40);
  EXPECT_GT(wr.bottom - wr.top, field);
  SendMessage(ddl, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_EQ(dropped.bottom - dropped.top, 150);
  MoveWindow(ddl, 10, 10, 150, 100, TRUE);
  GetWindowRect(ddl, &wr);
  EXPECT_LT(wr.bottom - wr.top, 40);
  SendMessage(ddl, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_EQ(dropped.bottom - dropped.top, 100);
  // Opened, the list sits below the combo, as wide as it, using the rest of the height exactly.
  SendMessage(ddl, CB_SHOWDROPDOWN, TRUE, 0);
  RECT lr{};
  GetWindowRect(ListOf(ddl), &lr);
  EXPECT_EQ(lr.top, wr.bottom);
  EXPECT_EQ(lr.right - lr.left, wr.right - wr.left);
  EXPECT_EQ(lr.bottom - lr.top, 100 - (wr.bottom - wr.top));
}

TEST_F(Combos, ListOpensAboveWhenTheWorkAreaHasNoRoomBelow) {
  MoveWindow(host, 50, 900, 400, 120, TRUE);  // the desktop is 1024 pixels high
  HWND c = Combo(CBS_DROPDOWNLIST);
  SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
  RECT cr{}, lr{};
  GetWindowRect(c, &cr);
  GetWindowRect(ListOf(c), &lr);
  EXPECT_EQ(lr.bottom, cr.top);
  EXPECT_EQ(lr.bottom - lr.top, 150 - (cr.bottom - cr.top));
}

TEST_F(Combos, ClickOpensAndLeavesOpenThenItemClickSelectsAndCloses) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  ClickAt(c, 10, 5);
  EXPECT_TRUE(Dropped(c));
  HWND list = ListOf(c);
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(GetFocus(), c);
  EXPECT_EQ(NoteCodes(300), (std::vector<UINT>{CBN_SETFOCUS, CBN_DROPDOWN}));
  ClearLog();
  AdvanceAndPump(1000);
  in().Click(MouseButton::Left, ListItemPoint(list, 2));
  RunUntilIdle();
  EXPECT_FALSE(Dropped(c));
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(NoteCodes(300), (std::vector<UINT>{CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
  EXPECT_EQ(GetFocus(), c);
  EXPECT_EQ(Text(c), "blue");
}

TEST_F(Combos, PostedDownUpPairLeavesTheListOpenAndAClickOutsideCancels) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  RECT cr{};
  GetClientRect(c, &cr);
  PostMessage(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cr.right - 11, 5));
  PostMessage(c, WM_LBUTTONUP, 0, MAKELPARAM(cr.right - 11, 5));
  RunUntilIdle();
  EXPECT_TRUE(Dropped(c));
  ClearLog();
  AdvanceAndPump(1000);
  ClickAt(host, 390, 290);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(NoteCodes(300), (std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST_F(Combos, KeysWhileOpenMoveSelectionEnterAcceptsEscRestores) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  SendMessage(c, CB_SETCURSEL, 0, 0);
  SetFocus(c);
  ClearLog();
  Key(VK_F4);
  EXPECT_TRUE(Dropped(c));
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  Key(VK_ESCAPE);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(NoteCodes(300),
            (std::vector<UINT>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELENDCANCEL, CBN_CLOSEUP}));
  ClearLog();
  in().KeyDown(VK_MENU);
  in().KeyPress(VK_DOWN);
  in().KeyUp(VK_MENU);
  RunUntilIdle();
  EXPECT_TRUE(Dropped(c));
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(NoteCodes(300), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
}

// Esc puts the field back as it was before the list opened: the selection, and a drop-down's text as typed.
TEST_F(Combos, EscRestoresTheFieldAsBeforeOpening) {
  const struct { DWORD kind; int sel; const char* typed; const char* expected; } rows[] = {
      {CBS_DROPDOWN, -1, "custom", "custom"}, {CBS_DROPDOWN, 0, "dish", "dish"},
      {CBS_DROPDOWN, 1, "", "green"}, {CBS_DROPDOWNLIST, 0, "", "red"}};
  for (const auto& row : rows) {
    HWND c = Combo(row.kind);
    SendMessage(c, CB_SETCURSEL, static_cast<WPARAM>(row.sel), 0);
    SetFocus(c);
    Type(row.typed);
    Key(VK_F4);
    Key(VK_DOWN);
    Key(VK_ESCAPE);
    EXPECT_EQ(Text(c), row.expected) << row.typed;
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), row.sel) << row.typed;
    DestroyWindow(c);
  }
}

TEST_F(Combos, ClosedKeysChangeSelectionAndInitialsSearch) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"apple", "banana", "blueberry", "cherry"});
  SetFocus(c);
  ClearLog();
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
  Type("b");
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
  Type("b");
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  Key(VK_END);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3);
  EXPECT_FALSE(Dropped(c));
  EXPECT_EQ(NoteCodes(300), std::vector<UINT>(4, CBN_SELCHANGE));
  EXPECT_EQ(Text(c), "cherry");
}

TEST_F(Combos, DropDownEditTextSelectionAndSearch) {
  HWND c = Combo(CBS_DROPDOWN | CBS_AUTOHSCROLL, {"one", "two", "three"});
  HWND edit = GetWindow(c, GW_CHILD);
  ClickAt(edit, 5, 5);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(NoteCodes(300), (std::vector<UINT>{CBN_SETFOCUS}));
  ClearLog();
  Type("x");
  EXPECT_EQ(NoteCodes(300), (std::vector<UINT>{CBN_EDITUPDATE, CBN_EDITCHANGE}));
  EXPECT_EQ(Text(c), "x");
  ClearLog();
  SetWindowText(c, "set by the program");
  EXPECT_EQ(Text(c), "set by the program");
  EXPECT_TRUE(NoteCodes(300).empty());
  ClearLog();
  EXPECT_EQ(SendMessage(c, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(Text(c), "two");
  EXPECT_EQ(NoteCodes(300), std::vector<UINT>{});  // set by message: silent
  EXPECT_EQ(SendMessage(c, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("zzz")), CB_ERR);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessage(c, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("TH")), 2);
  EXPECT_EQ(Text(c), "three");
  EXPECT_EQ(SendMessage(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ONE")), 0);
  // Edit selection and limit go through the combo.
  SendMessage(c, CB_SETEDITSEL, 0, MAKELPARAM(1, 3));
  DWORD a = 0, b = 0;
  SendMessage(c, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 1u);
  EXPECT_EQ(b, 3u);
  SendMessage(c, CB_LIMITTEXT, 5, 0);
  EXPECT_EQ(SendMessage(edit, EM_GETLIMITTEXT, 0, 0), 5);
  // Up and Down in the edit move the list's selection and fill the edit.
  ClearLog();
  Key(VK_UP);
  EXPECT_EQ(Text(c), "two");
  EXPECT_EQ(NoteCodes(300), (std::vector<UINT>{CBN_SELCHANGE}));
  HWND ddl = Combo(CBS_DROPDOWNLIST, {"a"}, 301);
  EXPECT_EQ(SendMessage(ddl, CB_SETEDITSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessage(ddl, CB_LIMITTEXT, 3, 0), CB_ERR);
}

TEST_F(Combos, SimpleComboListIsAlwaysShownAndReportsDoubleClicks) {
  HWND c = Make("COMBOBOX", "", kChild | CBS_SIMPLE, {10, 10, 160, 140}, 320);
  for (const char* t : {"one", "two", "three"}) SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  HWND list = ListOf(c);
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_NE(GetWindowLong(list, GWL_STYLE) & WS_CHILD, 0);
  EXPECT_EQ(GetDlgCtrlID(GetWindow(c, GW_CHILD)), controls::kComboEditId);  // the edit comes first
  SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));  // nothing to drop
  SetFocus(GetWindow(c, GW_CHILD));
  RunUntilIdle();
  ClearLog();
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(Text(c), "one");
  RECT r{};
  SendMessage(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  in().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(list, r.left + 3, r.top + 2));
  RunUntilIdle();
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Text(c), "three");
  EXPECT_EQ(NoteCodes(320), (std::vector<UINT>{CBN_SELCHANGE, CBN_SELCHANGE, CBN_DBLCLK}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Combos, ExtendedUiOpensWithDown) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  SendMessage(c, CB_SETEXTENDEDUI, TRUE, 0);
  EXPECT_TRUE(SendMessage(c, CB_GETEXTENDEDUI, 0, 0));
  SetFocus(c);
  Key(VK_DOWN);
  EXPECT_TRUE(Dropped(c));
}

TEST_F(Combos, OwnerDrawMeasuresFieldFirstThenEachItemInsideAdd) {
  std::vector<int> measured;
  std::vector<UINT> fieldStates;
  HWND combo = nullptr;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_MEASUREITEM) {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      EXPECT_EQ(m->CtlType, ODT_COMBOBOX);
      EXPECT_EQ(m->CtlID, 310u);
      measured.push_back(static_cast<int>(m->itemID));
      if (combo && static_cast<int>(m->itemID) >= 0) {
        EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, m->itemID, 0), 0);  // not readable yet
      }
      m->itemHeight = 18;
      return TRUE;
    }
    if (msg == WM_DRAWITEM) {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      EXPECT_EQ(d->CtlType, ODT_COMBOBOX);
      EXPECT_EQ(d->hwndItem, combo);
      if (d->itemState & ODS_COMBOBOXEDIT) fieldStates.push_back(d->itemState);
      return TRUE;
    }
    return std::nullopt;
  };
  combo =
      Make("COMBOBOX", "", kChild | CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS, {10, 10, 160, 160}, 310);
  EXPECT_EQ(measured, (std::vector<int>{-1}));
  for (const char* t : {"x", "y"}) {
    const size_t before = measured.size();
    SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    EXPECT_EQ(measured.size(), before + 1);
  }
  EXPECT_EQ(measured, (std::vector<int>{-1, 0, 1}));
  EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 18);
  EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 1, 0), 1);
  SetFocus(combo);
  RunUntilIdle();
  ASSERT_FALSE(fieldStates.empty());
  EXPECT_EQ(fieldStates.back(), ODS_COMBOBOXEDIT | ODS_SELECTED | ODS_FOCUS);
}

TEST_F(Combos, DroppedListAsksItsColourThroughTheComboAndMayBeMovedMeanwhile) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  HWND list = ListOf(c);
  int requests = 0;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_CTLCOLORLISTBOX) {
      EXPECT_EQ(reinterpret_cast<HWND>(lp), list);
      if (++requests == 1) SetWindowPos(list, nullptr, 0, 0, 200, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return std::nullopt;
  };
  SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
  RunUntilIdle();
  EXPECT_GE(requests, 1);
  EXPECT_LT(requests, 5);
  RECT lr{};
  GetWindowRect(list, &lr);
  EXPECT_EQ(lr.right - lr.left, 200);
  EXPECT_TRUE(Dropped(c));
  SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_FALSE(Dropped(c));
}

TEST_F(Combos, DisabledComboKeepsItsEditUsableButReadOnly) {
  HWND c = Combo(CBS_DROPDOWN, {"abc"});
  SendMessage(c, CB_SETCURSEL, 0, 0);
  HWND edit = GetWindow(c, GW_CHILD);
  EnableWindow(c, FALSE);
  EXPECT_TRUE(IsWindowEnabled(edit));
  EXPECT_NE(GetWindowLong(edit, GWL_STYLE) & ES_READONLY, 0);
  SetFocus(edit);
  SendMessage(edit, EM_SETSEL, 0, -1);
  Type("z");
  EXPECT_EQ(Text(c), "abc");
  EnableWindow(c, TRUE);
  EXPECT_EQ(GetWindowLong(edit, GWL_STYLE) & ES_READONLY, 0);
}

TEST_F(Combos, SetTextOnADropDownListSelectsAMatchingItemOnly) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  EXPECT_TRUE(SetWindowText(c, "GREEN"));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Text(c), "green");
  SetWindowText(c, "purple");
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
  SendMessage(c, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessage(c, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(Text(c), "");
}

TEST_F(Combos, LookClosedAndSimple) {
  HWND a = Combo(CBS_DROPDOWNLIST, {"Selected item"}, 1);
  SendMessage(a, CB_SETCURSEL, 0, 0);
  HWND b = Make("COMBOBOX", "", kChild | CBS_DROPDOWN, {170, 10, 300, 150}, 2);
  SetWindowText(b, "Typed text");
  HWND s = Make("COMBOBOX", "", kChild | CBS_SIMPLE, {10, 50, 160, 140}, 3);
  for (const char* t : {"One", "Two", "Three"}) SendMessage(s, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  SendMessage(s, CB_SETCURSEL, 1, 0);
  HWND f = Combo(CBS_DROPDOWNLIST, {"Focused"}, 4);
  MoveWindow(f, 170, 50, 130, 100, TRUE);
  SendMessage(f, CB_SETCURSEL, 0, 0);
  SetFocus(f);
  MoveWindow(host, 50, 50, 310, 150, TRUE);
  ExpectMatchesReference(host, "combos.png");
}

// A selected item wider than the field is cut where the field ends: the arrow button looks the same whatever the
// text, and the field's pixels just left of it still show the text.
TEST_F(Combos, AFieldTextWiderThanTheFieldStopsAtTheArrowButton) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"x", "VDD_CORE_SUPPLY, 0.9volt WWWWWWWW"});
  MoveWindow(c, 10, 10, 90, 120, TRUE);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(c, &info));
  auto pixels = [&](const RECT& r) {
    RunUntilIdle();
    auto image = Desktop::Capture(c);
    std::vector<std::uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) out.push_back(image->pixel(x, y));
    return out;
  };
  const RECT fieldEnd{info.rcItem.right - 8, info.rcItem.top, info.rcItem.right, info.rcItem.bottom};
  SendMessage(c, CB_SETCURSEL, 0, 0);
  const auto arrow = pixels(info.rcButton);
  const auto emptyEnd = pixels(fieldEnd);
  SendMessage(c, CB_SETCURSEL, 1, 0);
  InvalidateRect(c, nullptr, TRUE);
  EXPECT_EQ(pixels(info.rcButton), arrow);
  EXPECT_NE(pixels(fieldEnd), emptyEnd);
}

TEST_F(Combos, LookDropped) {
  HWND c = Combo(CBS_DROPDOWNLIST, {"Alpha", "Beta", "Gamma", "Delta"});
  SendMessage(c, CB_SETCURSEL, 1, 0);
  SetFocus(c);
  SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
  // Selected before its list ever had a size, the list still shows from the top when all items fit.
  EXPECT_EQ(SendMessage(ListOf(c), LB_GETTOPINDEX, 0, 0), 0);
  ExpectMatchesReference(ListOf(c), "combo_dropped.png");
}

TEST_F(Combos, ComboDestroyedByTheParentWhileClosingStopsQuietly) {
  HWND c = Combo(CBS_DROPDOWNLIST);
  HWND list = ListOf(c);
  hostHook = [&](UINT msg, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_COMMAND && HIWORD(w) == CBN_SELENDOK) DestroyWindow(c);
    return std::nullopt;
  };
  SetFocus(c);
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(IsWindow(c));
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace plat::test
