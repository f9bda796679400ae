// List boxes driven by messages, keys and the mouse: sorting, search with wrap-around, selection modes and
// their notifications, owner-draw measure and draw sequences, scrolling, and their look.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/ChunkedList.h"
#include "platform/controls/tests/ControlTestSupport.h"
#include "platform/display/Desktop.h"
#include "platform/gdi/gdiapi.h"

namespace plat::test {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

class ListBoxes : public ControlTest {
 protected:
  HWND List(DWORD extra, std::initializer_list<const char*> items = {}, int id = 200) {
    HWND l = Make("LISTBOX", "", kChild | WS_BORDER | extra, {10, 10, 160, 110}, id);
    for (const char* t : items) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    RunUntilIdle();
    ClearLog();
    return l;
  }
  std::string ItemText(HWND l, int i) {
    char buf[64]{};
    SendMessage(l, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    return buf;
  }
  LRESULT Find(HWND l, UINT msg, int start, const char* text) {
    return SendMessage(l, msg, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
  }
  POINT ItemPoint(HWND l, int i) {
    RECT r{};
    SendMessage(l, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return InputRouter::ClientPoint(l, r.left + 5, r.top + 2);
  }
};

// A list with WS_HSCROLL scrolls its items sideways over the extent its owner sets: the bar shows while the extent is
// wider than the list, the scroll moves the text, and a narrower extent takes the bar away and scrolls back.
TEST_F(ListBoxes, AHorizontalExtentWiderThanTheListScrollsItsItemsSideways) {
  HWND l = List(WS_HSCROLL | WS_VSCROLL, {"VDD_CORE_0V9_PROCESSOR_CLUSTER_A_AFTER_FERRITE_BEAD"});
  RECT before{};
  GetClientRect(l, &before);
  auto firstLine = [&] {
    RunUntilIdle();
    auto image = Desktop::Capture(l);
    std::vector<std::uint32_t> out;
    for (int x = 0; x < 60; ++x)
      for (int y = 0; y < 10; ++y) out.push_back(image->pixel(x, y));
    return out;
  };
  const auto unscrolled = firstLine();
  SendMessage(l, LB_SETHORIZONTALEXTENT, 400, 0);
  EXPECT_EQ(SendMessage(l, LB_GETHORIZONTALEXTENT, 0, 0), 400);
  RECT shown{};
  GetClientRect(l, &shown);
  EXPECT_LT(shown.bottom, before.bottom) << "the bar takes its room";
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(l, SB_HORZ, &si));
  EXPECT_EQ(si.nMax, 399);
  EXPECT_EQ(static_cast<int>(si.nPage), shown.right);
  SendMessage(l, WM_HSCROLL, SB_RIGHT, 0);
  ASSERT_TRUE(GetScrollInfo(l, SB_HORZ, &si));
  EXPECT_EQ(si.nPos, 400 - shown.right);
  EXPECT_NE(firstLine(), unscrolled);
  SendMessage(l, LB_SETHORIZONTALEXTENT, 50, 0);
  RECT hidden{};
  GetClientRect(l, &hidden);
  EXPECT_EQ(hidden.bottom, before.bottom);
  EXPECT_EQ(firstLine(), unscrolled);
}

TEST_F(ListBoxes, SortedInsertionIgnoresCaseAndKeepsArrivalOrderOfEquals) {
  HWND l = List(LBS_SORT, {"pear", "Apple", "banana", "apple", "Cherry"});
  EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 5);
  std::vector<std::string> got;
  for (int i = 0; i < 5; ++i) got.push_back(ItemText(l, i));
  EXPECT_EQ(got, (std::vector<std::string>{"Apple", "apple", "banana", "Cherry", "pear"}));
  // Inserting at an index ignores the sort; -1 appends.
  EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zebra")), 0);
  EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("aardvark")), 6);
  EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, 99, reinterpret_cast<LPARAM>("x")), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_GETTEXTLEN, 1, 0), 5);
  EXPECT_EQ(SendMessage(l, LB_GETTEXTLEN, 7, 0), LB_ERR);
}

TEST_F(ListBoxes, SearchWrapsAroundAndStopsBeforeStart) {
  HWND l = List(0, {"alpha", "beta", "alphabet", "gamma", "Alp"});
  EXPECT_EQ(Find(l, LB_FINDSTRING, -1, "alp"), 0);
  EXPECT_EQ(Find(l, LB_FINDSTRING, 0, "alp"), 2);
  EXPECT_EQ(Find(l, LB_FINDSTRING, 2, "ALP"), 4);
  EXPECT_EQ(Find(l, LB_FINDSTRING, 4, "alp"), 0);   // wrapped round
  EXPECT_EQ(Find(l, LB_FINDSTRING, 1, "beta"), 1);  // the start item itself comes last
  EXPECT_EQ(Find(l, LB_FINDSTRING, -1, ""), 0);
  EXPECT_EQ(Find(l, LB_FINDSTRING, 2, ""), 3);
  EXPECT_EQ(Find(l, LB_FINDSTRING, -1, "delta"), LB_ERR);
  EXPECT_EQ(Find(l, LB_FINDSTRINGEXACT, -1, "ALP"), 4);
  EXPECT_EQ(Find(l, LB_FINDSTRINGEXACT, -1, "alph"), LB_ERR);
  EXPECT_EQ(Find(l, LB_FINDSTRINGEXACT, 0, "alpha"), 0);
}

TEST_F(ListBoxes, SelectStringFailureLeavesSelectionAndNeverNotifies) {
  HWND l = List(LBS_NOTIFY, {"one", "two", "three"});
  EXPECT_EQ(SendMessage(l, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(Find(l, LB_SELECTSTRING, -1, "nothing"), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Find(l, LB_SELECTSTRING, -1, "th"), 2);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessage(l, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), -1);
  EXPECT_TRUE(Notes().empty());
}

TEST_F(ListBoxes, KeyboardMovesSelectionAndSearchesByInitial) {
  HWND l = List(LBS_NOTIFY, {"apple", "banana", "blueberry", "cherry", "avocado"});
  SetFocus(l);
  ClearLog();
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 0);
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);
  Type("b");
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 2);
  Type("b");
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);  // wraps to the next "b"
  Type("z");
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);  // no match: unchanged
  Key(VK_END);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 4);
  Key(VK_DOWN);  // already last: no change, no notification
  Key(VK_HOME);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(NoteCodes(200), std::vector<UINT>(6, LBN_SELCHANGE));
  EXPECT_EQ(SendMessage(l, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS | DLGC_WANTCHARS));
}

TEST_F(ListBoxes, WithoutLbsNotifyOnlyFocusIsReported) {
  HWND l = List(0, {"a", "b"});
  SetFocus(l);
  Key(VK_DOWN);
  ClickAt(l, 5, 2);
  SetFocus(host);
  EXPECT_EQ(NoteCodes(200), (std::vector<UINT>{LBN_SETFOCUS, LBN_KILLFOCUS}));
}

TEST_F(ListBoxes, MouseSelectsDragsAndDoubleClicks) {
  HWND l = List(LBS_NOTIFY, {"a", "b", "c", "d"});
  in().ButtonDown(MouseButton::Left, ItemPoint(l, 1));
  RunUntilIdle();
  EXPECT_EQ(GetCapture(), l);
  in().MouseMove(ItemPoint(l, 3));
  in().ButtonUp(MouseButton::Left, ItemPoint(l, 3));
  RunUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(NoteCodes(200), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE}));
  AdvanceAndPump(1000);
  ClearLog();
  in().DoubleClick(MouseButton::Left, ItemPoint(l, 2));
  RunUntilIdle();
  EXPECT_EQ(NoteCodes(200), (std::vector<UINT>{LBN_SELCHANGE, LBN_DBLCLK}));
  // A posted down/up pair selects that line.
  ClearLog();
  RECT r{};
  SendMessage(l, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  PostMessage(l, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, r.top + 1));
  PostMessage(l, WM_LBUTTONUP, 0, MAKELPARAM(3, r.top + 1));
  RunUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ListBoxes, MultipleSelectionTogglesAndArrowsOnlyMoveFocus) {
  HWND l = List(LBS_NOTIFY | LBS_MULTIPLESEL, {"a", "b", "c"});
  ClickAt(l, 5, 2);
  AdvanceAndPump(1000);
  in().Click(MouseButton::Left, ItemPoint(l, 2));
  RunUntilIdle();
  RunUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 2);
  AdvanceAndPump(1000);
  in().Click(MouseButton::Left, ItemPoint(l, 2));
  RunUntilIdle();
  RunUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 2, 0), 0);
  Key(VK_UP);
  EXPECT_EQ(SendMessage(l, LB_GETCARETINDEX, 0, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 1, 0), 0);
  Key(VK_SPACE);
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 1, 0), 1);
  int items[4]{};
  EXPECT_EQ(SendMessage(l, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(items)), 2);
  EXPECT_EQ(items[0], 0);
  EXPECT_EQ(items[1], 1);
  EXPECT_EQ(SendMessage(l, LB_SETCURSEL, 0, 0), LB_ERR);  // not for multiple selection
  SendMessage(l, LB_SETSEL, FALSE, -1);
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 0);
}

TEST_F(ListBoxes, ExtendedSelectionRangesWithShift) {
  HWND l = List(LBS_NOTIFY | LBS_EXTENDEDSEL, {"a", "b", "c", "d", "e"});
  ClickAt(l, 5, 2);
  in().KeyDown(VK_SHIFT);
  in().KeyPress(VK_DOWN);
  in().KeyPress(VK_DOWN);
  in().KeyUp(VK_SHIFT);
  RunUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(l, LB_GETANCHORINDEX, 0, 0), 0);
  Key(VK_DOWN);  // a plain arrow selects only the new item
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 3, 0), 1);
}

TEST_F(ListBoxes, OwnerDrawVariableMeasuresInsideAddAndDrawsEachVisibleItem) {
  std::vector<UINT> measured;
  std::vector<std::pair<UINT, UINT>> drawn;  // item, state
  HWND l = nullptr;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_MEASUREITEM) {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      EXPECT_EQ(m->CtlType, ODT_LISTBOX);
      measured.push_back(m->itemID);
      // The item is counted already, its text may not be readable yet.
      if (l) {
        EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), LRESULT(m->itemID) + 1);
        EXPECT_EQ(SendMessage(l, LB_GETTEXTLEN, m->itemID, 0), 0);
      }
      m->itemHeight = 10 + 5 * m->itemID;
      return TRUE;
    }
    if (msg == WM_DRAWITEM) {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      drawn.emplace_back(d->itemID, d->itemState);
      EXPECT_EQ(d->rcItem.bottom - d->rcItem.top, LONG(10 + 5 * d->itemID));
      return TRUE;
    }
    return std::nullopt;
  };
  l = Make("LISTBOX", "", kChild | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | LBS_NOTIFY, {10, 10, 160, 60}, 201);
  for (const char* t : {"a", "b", "c", "d", "e"}) {
    const size_t before = measured.size();
    SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    EXPECT_EQ(measured.size(), before + 1) << "measured inside LB_ADDSTRING";
  }
  EXPECT_EQ(measured, (std::vector<UINT>{0, 1, 2, 3, 4}));
  EXPECT_EQ(SendMessage(l, LB_GETITEMHEIGHT, 2, 0), 20);
  SendMessage(l, LB_SETCURSEL, 1, 0);
  drawn.clear();
  RunUntilIdle();
  // 50 px show items 0 (10), 1 (15), 2 (20) and the top of 3.
  EXPECT_EQ(drawn, (std::vector<std::pair<UINT, UINT>>{{0, 0}, {1, ODS_SELECTED}, {2, 0}, {3, 0}}));
  bool outside = true;
  const LRESULT hit = SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 30));
  outside = HIWORD(hit) != 0;
  EXPECT_EQ(LOWORD(hit), 2);
  EXPECT_FALSE(outside);
}

// An owner-drawn list draws a selection change as ODA_SELECT and the caret item's focus as ODA_FOCUS, at
// once and in the classic order (focus off the old item, selections, focus onto the new one); a whole
// redraw of the focused caret item is followed by its ODA_FOCUS.
TEST_F(ListBoxes, OwnerDrawChangesArriveAsSelectAndFocusActions) {
  struct Draw {
    UINT item, action, state;
    bool operator==(const Draw&) const = default;
  };
  std::vector<Draw> drawn;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg != WM_DRAWITEM) return std::nullopt;
    const auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    drawn.push_back({d->itemID, d->itemAction, d->itemState});
    return TRUE;
  };
  HWND l = List(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY, {"a", "b", "c"});
  // Before there is a caret item the owner hears of no focus: where to show it is the owner's to draw.
  SetFocus(l);
  RunUntilIdle();
  drawn.clear();
  InvalidateRect(l, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(drawn, (std::vector<Draw>{{0, ODA_DRAWENTIRE, 0}, {1, ODA_DRAWENTIRE, 0}, {2, ODA_DRAWENTIRE, 0}}));
  SetFocus(nullptr);
  SendMessage(l, LB_SETCURSEL, 0, 0);
  SetFocus(l);
  RunUntilIdle();
  drawn.clear();
  InvalidateRect(l, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(drawn, (std::vector<Draw>{{0, ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS},
                                      {0, ODA_FOCUS, ODS_SELECTED | ODS_FOCUS},
                                      {1, ODA_DRAWENTIRE, 0},
                                      {2, ODA_DRAWENTIRE, 0}}));
  drawn.clear();
  Key(VK_DOWN);
  EXPECT_EQ(drawn, (std::vector<Draw>{{0, ODA_FOCUS, ODS_SELECTED},
                                      {0, ODA_SELECT, 0},
                                      {1, ODA_SELECT, ODS_SELECTED | ODS_FOCUS},
                                      {1, ODA_FOCUS, ODS_SELECTED | ODS_FOCUS}}));
  drawn.clear();
  RunUntilIdle();
  EXPECT_TRUE(drawn.empty()) << "drawn at once, nothing left to repaint";
  SetFocus(nullptr);
  EXPECT_EQ(drawn, (std::vector<Draw>{{1, ODA_FOCUS, ODS_SELECTED}}));
  drawn.clear();
  SetFocus(l);
  EXPECT_EQ(drawn, (std::vector<Draw>{{1, ODA_FOCUS, ODS_SELECTED | ODS_FOCUS}}));
}

// A variable-height list whose items all fit never scrolls: a top index past that point is clamped, so a
// list sized after its selection was made shows its first items.
TEST_F(ListBoxes, AVariableListWhoseItemsFitKeepsItsFirstItemOnTop) {
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg != WM_MEASUREITEM) return std::nullopt;
    reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 12;
    return TRUE;
  };
  HWND l = Make("LISTBOX", "", kChild | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS,
                {10, 10, 11, 11}, 220);
  for (const char* t : {"a", "b", "c"}) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
  SendMessage(l, LB_SETCURSEL, 2, 0);  // while the list shows nothing: scrolled to the item
  MoveWindow(l, 10, 10, 100, 2 + 3 * 12 + 6, TRUE);
  SendMessage(l, LB_SETTOPINDEX, 2, 0);
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 0);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(l, SB_VERT, &si);
  EXPECT_GE(static_cast<int>(si.nPage), si.nMax - si.nMin + 1) << "everything fits: no bar to scroll";
  // Four rows in three rows' room scroll by one at most.
  SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("d"));
  SendMessage(l, LB_SETTOPINDEX, 3, 0);
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 1);
}

// A list created too small to have a client area still knows its frame: sized later, it shows whole rows
// exactly (neither a row short nor a gap).
TEST_F(ListBoxes, AListCreatedTinyShrinksToWholeRowsByItsBordersOnly) {
  HWND l = Make("LISTBOX", "", kChild | WS_BORDER | WS_VSCROLL, {10, 10, 11, 11}, 221);
  const int h = static_cast<int>(SendMessage(l, LB_GETITEMHEIGHT, 0, 0));
  MoveWindow(l, 10, 10, 120, 3 * h + h / 2, TRUE);
  RECT c{}, w{};
  GetClientRect(l, &c);
  GetWindowRect(l, &w);
  EXPECT_EQ(c.bottom, 3 * h);  // 3.5 rows less the two borders: three whole rows
  EXPECT_EQ((w.bottom - w.top) - c.bottom, 2);
}

TEST_F(ListBoxes, OwnerDrawWithoutStringsKeepsDataAndSortsThroughCompareItem) {
  int compares = 0;
  std::vector<ULONG_PTR> deleted;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg == WM_COMPAREITEM) {
      auto* c = reinterpret_cast<COMPAREITEMSTRUCT*>(lp);
      ++compares;
      return c->itemData1 < c->itemData2 ? -1 : c->itemData1 > c->itemData2 ? 1 : 0;
    }
    if (msg == WM_DELETEITEM) {
      deleted.push_back(reinterpret_cast<DELETEITEMSTRUCT*>(lp)->itemData);
      return TRUE;
    }
    return std::nullopt;
  };
  HWND l = Make("LISTBOX", "", kChild | LBS_OWNERDRAWFIXED | LBS_SORT, {10, 10, 160, 60}, 202);
  for (LPARAM v : {30, 10, 20}) SendMessage(l, LB_ADDSTRING, 0, v);
  EXPECT_GT(compares, 0);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 0, 0), 10);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 2, 0), 30);
  EXPECT_EQ(SendMessage(l, LB_FINDSTRING, static_cast<WPARAM>(-1), 20), 1);  // data compared
  SendMessage(l, LB_DELETESTRING, 1, 0);
  SendMessage(l, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(deleted, (std::vector<ULONG_PTR>{20, 10, 30}));
}

TEST_F(ListBoxes, ScrollingKeepsTheSelectionVisible) {
  HWND l = Make("LISTBOX", "", kChild | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, {10, 10, 160, 110}, 203);
  for (int i = 0; i < 50; ++i)
    SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("item " + std::to_string(i)).c_str()));
  const int h = static_cast<int>(SendMessage(l, LB_GETITEMHEIGHT, 0, 0));
  RECT c{};
  GetClientRect(l, &c);
  const int visible = c.bottom / h;
  SendMessage(l, LB_SETCURSEL, 30, 0);
  const int top = static_cast<int>(SendMessage(l, LB_GETTOPINDEX, 0, 0));
  EXPECT_LE(top, 30);
  EXPECT_GT(top + visible, 30);
  SendMessage(l, LB_SETTOPINDEX, 49, 0);
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 50 - visible);  // never past the last page
  SetFocus(l);
  Key(VK_HOME);
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 0);
  Key(VK_NEXT);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), visible - 1);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(l, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 49);
  EXPECT_EQ(static_cast<int>(si.nPage), visible);
  SendMessage(l, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), visible - 1);
}

TEST_F(ListBoxes, DeletingAdjustsSelectionAndItemDataMessages) {
  HWND l = List(0, {"a", "b", "c"});
  SendMessage(l, LB_SETCURSEL, 2, 0);
  SendMessage(l, LB_SETITEMDATA, 2, 77);
  EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 0, 0), 2);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 1, 0), 77);
  SendMessage(l, LB_DELETESTRING, 1, 0);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 5, 0), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 5, 0), LB_ERR);
  SendMessage(l, LB_SETITEMDATA, static_cast<WPARAM>(-1), 5);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 0, 0), 5);
}

TEST_F(ListBoxes, HeightShrinksToWholeItemsUnlessNoIntegralHeight) {
  HWND whole = Make("LISTBOX", "", kChild, {10, 10, 160, 107}, 210);
  HWND exact = Make("LISTBOX", "", kChild | LBS_NOINTEGRALHEIGHT, {170, 10, 300, 107}, 211);
  const int h = static_cast<int>(SendMessage(whole, LB_GETITEMHEIGHT, 0, 0));
  RECT c{};
  GetClientRect(whole, &c);
  EXPECT_EQ(c.bottom % h, 0);
  EXPECT_GT(c.bottom, 97 - h);
  GetClientRect(exact, &c);
  EXPECT_EQ(c.bottom, 97);
  MoveWindow(whole, 10, 10, 150, 3 * h + h / 2, TRUE);
  GetClientRect(whole, &c);
  EXPECT_EQ(c.bottom, 3 * h);
}

TEST_F(ListBoxes, ListDestroyedByItsSelectionNotificationStopsQuietly) {
  HWND l = List(LBS_NOTIFY, {"a", "b"});
  hostHook = [&](UINT msg, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_COMMAND && HIWORD(w) == LBN_SELCHANGE) DestroyWindow(l);
    return std::nullopt;
  };
  in().DoubleClick(MouseButton::Left, InputRouter::ClientPoint(l, 5, 2));
  RunUntilIdle();
  EXPECT_FALSE(IsWindow(l));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(NoteCodes(200), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_KILLFOCUS}));  // no double click
}

// LB_APPENDITEMS puts many items at the end in one message, as LB_INSERTSTRING at -1 and LB_SETITEMDATA would
// one by one: in the order given even in a sorted list, each with its data, the selection kept, the scroll bar
// covering them all; a list without strings keeps the data, a variable-height list measures each item as it comes.
TEST_F(ListBoxes, AppendItemsPutsManyAtTheEndInOrderWithTheirData) {
  HWND l = List(LBS_SORT | WS_VSCROLL, {"b", "a"});
  SendMessage(l, LB_SETCURSEL, 1, 0);
  const LBAPPENDITEM more[] = {{"z", 7}, {"C", 8}, {nullptr, 9}};
  EXPECT_EQ(SendMessage(l, LB_APPENDITEMS, 3, reinterpret_cast<LPARAM>(more)), 2);
  ASSERT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(ItemText(l, 1), "b");
  EXPECT_EQ(ItemText(l, 2), "z");
  EXPECT_EQ(ItemText(l, 3), "C");
  EXPECT_EQ(ItemText(l, 4), "");
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 3, 0), 8);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 4, 0), 9);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Find(l, LB_FINDSTRINGEXACT, -1, "c"), 3);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE;
  for (int i = 0; i < 20; ++i) SendMessage(l, LB_APPENDITEMS, 1, reinterpret_cast<LPARAM>(more));
  ASSERT_TRUE(GetScrollInfo(l, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 24);
  EXPECT_EQ(SendMessage(l, LB_APPENDITEMS, 2, 0), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_APPENDITEMS, 0, reinterpret_cast<LPARAM>(more)), 25);
  EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 25);

  HWND data = Make("LISTBOX", "", kChild | LBS_OWNERDRAWFIXED, {170, 10, 300, 60}, 214);
  SendMessage(data, LB_APPENDITEMS, 2, reinterpret_cast<LPARAM>(more));
  EXPECT_EQ(SendMessage(data, LB_GETITEMDATA, 1, 0), 8);
  EXPECT_EQ(Find(data, LB_FINDSTRINGEXACT, -1, reinterpret_cast<const char*>(LPARAM{7})), 0);  // data compared

  std::vector<std::pair<UINT, ULONG_PTR>> measured;  // item, its data while measured
  HWND variable = nullptr;
  hostHook = [&](UINT msg, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (msg != WM_MEASUREITEM) return std::nullopt;
    auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
    measured.emplace_back(m->itemID, m->itemData);
    if (variable) {
      EXPECT_EQ(SendMessage(variable, LB_GETCOUNT, 0, 0), LRESULT(m->itemID) + 1);
    }
    m->itemHeight = 10 + m->itemID;
    if (m->itemID == 4) DestroyWindow(variable);  // a list gone half-way stops the rest
    return TRUE;
  };
  variable = Make("LISTBOX", "", kChild | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, {10, 120, 160, 170}, 215);
  measured.clear();
  EXPECT_EQ(SendMessage(variable, LB_APPENDITEMS, 3, reinterpret_cast<LPARAM>(more)), 0);
  // As LB_ADDSTRING before LB_SETITEMDATA: a list of strings measures an item before it has its data.
  EXPECT_EQ(measured, (std::vector<std::pair<UINT, ULONG_PTR>>{{0, 0}, {1, 0}, {2, 0}}));
  EXPECT_EQ(SendMessage(variable, LB_GETITEMHEIGHT, 2, 0), 12);
  EXPECT_EQ(SendMessage(variable, LB_GETITEMDATA, 2, 0), 9);
  EXPECT_EQ(SendMessage(variable, LB_APPENDITEMS, 3, reinterpret_cast<LPARAM>(more)), LB_ERR);
  EXPECT_FALSE(IsWindow(variable));
}

TEST_F(ListBoxes, AHorizontalBarShowsOnlyWhenAskedToStayDisabled) {
  HWND plain = Make("LISTBOX", "", kChild | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, {10, 10, 160, 107}, 212);
  HWND kept = Make("LISTBOX", "", kChild | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL, {170, 10, 300, 107}, 213);
  RECT c{};
  GetClientRect(plain, &c);
  EXPECT_EQ(c.bottom, 97);  // no horizontal extent: nothing to scroll, no bar
  EXPECT_EQ(GetWindowLong(plain, GWL_STYLE) & WS_HSCROLL, 0);
  GetClientRect(kept, &c);
  EXPECT_LT(c.bottom, 97);
}

TEST(ChunkedList, BehavesLikeAVectorUnderRandomEdits) {
  controls::ChunkedList<int> list;
  std::vector<int> ref;
  unsigned seed = 1;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8); };
  for (int step = 0; step < 20000; ++step) {
    if (ref.empty() || next() % 3) {
      const size_t at = next() % (ref.size() + 1);
      list.insert(at, step);
      ref.insert(ref.begin() + static_cast<std::ptrdiff_t>(at), step);
    } else {
      const size_t at = next() % ref.size();
      list.erase(at);
      ref.erase(ref.begin() + static_cast<std::ptrdiff_t>(at));
    }
  }
  ASSERT_EQ(list.size(), ref.size());
  for (size_t i = 0; i < ref.size(); ++i) ASSERT_EQ(list[i], ref[i]);
}

// Appends fill chunks to their split size; edits then land on both sides of every chunk edge, chunks are
// emptied and dropped, and every index (and the first index of each chunk, which searches start from) must
// still name the right item.
TEST(ChunkedList, EditsAtChunkEdgesKeepEveryIndex) {
  using List = controls::ChunkedList<int>;
  constexpr size_t k = List::kChunk;
  List list;
  std::vector<int> ref;
  auto same = [&] {
    if (list.size() != ref.size()) return false;
    for (size_t i = 0; i < ref.size(); ++i)
      if (list[i] != ref[i]) return false;
    return true;
  };
  int next = 0;
  for (size_t i = 0; i < 5 * k; ++i) {
    list.insert(list.size(), next);
    ref.push_back(next++);
    ASSERT_EQ(list[i], ref[i]);  // an append is found at once
  }
  ASSERT_TRUE(same());
  for (size_t edge : {k - 1, k, k + 1, 2 * k, 2 * k + 1, 3 * k - 1, 4 * k, ref.size() - 1}) {
    for (size_t at : {edge - 1, edge, edge + 1}) {
      list.insert(at, next);
      ref.insert(ref.begin() + static_cast<std::ptrdiff_t>(at), next++);
    }
    ASSERT_TRUE(same()) << "inserts at " << edge;
  }
  // Erasing one position over and over empties the chunk there and then the next ones.
  for (int n = 0; n < static_cast<int>(3 * k); ++n) {
    list.erase(k);
    ref.erase(ref.begin() + static_cast<std::ptrdiff_t>(k));
  }
  ASSERT_TRUE(same());
  for (size_t i = 0; i < ref.size(); i += 37) {
    const int wanted = ref[i];
    EXPECT_EQ(list.FindFrom(i, [&](int x) { return x == wanted; }), static_cast<long>(i));
    EXPECT_EQ(list.PartitionPoint([&](int, size_t index) { return index < i; }), i);
  }
  // Erasing from the back drops last chunks; appends then grow a new back.
  for (size_t n = 0; n < 2 * k + 5; ++n) {
    list.erase(list.size() - 1);
    ref.pop_back();
  }
  for (size_t n = 0; n < 3 * k; ++n) {
    list.insert(list.size(), next);
    ref.push_back(next++);
  }
  ASSERT_TRUE(same());
  while (!list.empty()) {
    list.erase(list.size() / 2);
    ref.erase(ref.begin() + static_cast<std::ptrdiff_t>(ref.size() / 2));
  }
  EXPECT_TRUE(ref.empty());
  list.insert(0, 7);
  list.insert(0, 6);
  EXPECT_EQ(list[0], 6);
  EXPECT_EQ(list[1], 7);
}

TEST(ChunkedList, PartitionPointFindsSortedInsertionPoints) {
  controls::ChunkedList<int> list;
  std::vector<int> ref;
  unsigned seed = 5;
  for (int step = 0; step < 5000; ++step) {
    seed = seed * 1103515245u + 12345u;
    const int v = static_cast<int>((seed >> 8) % 700);
    const size_t at = list.PartitionPoint([&](int x, size_t index) {
      EXPECT_EQ(list[index], x);
      return x <= v;
    });
    ASSERT_EQ(at, static_cast<size_t>(std::upper_bound(ref.begin(), ref.end(), v) - ref.begin())) << step;
    list.insert(at, v);
    ref.insert(ref.begin() + static_cast<std::ptrdiff_t>(at), v);
  }
  EXPECT_EQ(list.PartitionPoint([](int, size_t) { return true; }), ref.size());
  // FindFrom walks from a start, wraps round and finds the first match in that order.
  const size_t start = ref.size() - 3;
  const long found = list.FindFrom(start, [](int x) { return x < 5; });
  long expected = -1;
  for (size_t k = 0; k < ref.size() && expected < 0; ++k)
    if (ref[(start + k) % ref.size()] < 5) expected = static_cast<long>((start + k) % ref.size());
  EXPECT_EQ(found, expected);
  EXPECT_EQ(list.FindFrom(0, [](int x) { return x > 10000; }), -1);
  EXPECT_EQ(list.PartitionPoint([](int, size_t) { return false; }), 0u);
}

TEST_F(ListBoxes, AFocusedListWithoutACaretItemMarksItsFirstItemUntilTheCaretComes) {
  HWND l = List(0, {"First", "Second", "Third"});
  // An item is marked when its left column, left free by the text, shows more than one colour.
  auto marked = [&](int i) {
    RunUntilIdle();
    RECT r{};
    SendMessage(l, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    HDC dc = GetDC(l);
    const COLORREF first = GetPixel(dc, r.left, r.top);
    bool differs = false;
    for (int y = r.top; y < r.bottom; ++y) differs = differs || GetPixel(dc, r.left, y) != first;
    ReleaseDC(l, dc);
    return differs;
  };
  EXPECT_FALSE(marked(0));
  SetFocus(l);
  EXPECT_TRUE(marked(0)) << "the focus shows where the keys start";
  EXPECT_FALSE(marked(1));
  SetFocus(host);
  EXPECT_FALSE(marked(0));
  SetFocus(l);
  in().Click(MouseButton::Left, ItemPoint(l, 2));
  RunUntilIdle();
  ASSERT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 2);
  EXPECT_FALSE(marked(0)) << "the mark moved to the caret item";
  EXPECT_TRUE(marked(2));
  SendMessage(l, LB_RESETCONTENT, 0, 0);
  SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Again"));
  SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("More"));
  EXPECT_TRUE(marked(0));
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 0) << "the marked item is the one the first key selects";
  EXPECT_TRUE(marked(0));
  EXPECT_FALSE(marked(1));
}

TEST_F(ListBoxes, LookWithSelectionAndFocus) {
  HWND a = List(0, {"First", "Second", "Third"}, 1);
  SendMessage(a, LB_SETCURSEL, 1, 0);
  HWND b = Make("LISTBOX", "", kChild | WS_BORDER | WS_VSCROLL | LBS_EXTENDEDSEL, {170, 10, 300, 110}, 2);
  for (int i = 0; i < 12; ++i)
    SendMessage(b, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Row " + std::to_string(i)).c_str()));
  SendMessage(b, LB_SELITEMRANGE, TRUE, MAKELPARAM(2, 4));
  SetFocus(b);
  SendMessage(b, LB_SETCARETINDEX, 4, 0);
  MoveWindow(host, 50, 50, 310, 120, TRUE);
  ExpectMatchesReference(host, "listboxes.png");
}

}  // namespace
}  // namespace plat::test
