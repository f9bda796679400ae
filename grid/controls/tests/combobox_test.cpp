// The drop-down list cells and their popup: values, display texts and pasted texts per variant; the list's
// height and placement on the screen's monitors; what the list's keys, clicks and focus do to the cell;
// when the list closes by itself; the popup's colours and command forwarding.
#include <gtest/gtest.h>

#include "grid/controls/CGXRadioButton.h"
#include "grid/controls/tests/dropdowntest.h"
#include "platform/framework/CPaintDC.h"

namespace enginetest {
namespace {

// Every reader of a value that is a choice's index shows the choice it names, and none where it names none (as
// "3" names none of three): a radio-button cell's selection; an index-valued drop-down cell's text and the item its
// list opens on (the first where the value names none); a combo-box window's text, the item it selects and the item
// it draws owner-drawn. Read through a 32-bit atoi, 4294967296 named the first choice, 4294967297 and 1e400 the
// second.
TEST_F(DropDownTest, EveryReaderOfAChoiceIndexShowsTheChoiceTheValueNames) {
  constexpr int none = -100;
  constexpr WORD kOwnerDrawn = 9301;
  const struct {
    const char* value;
    int named;  // the whole number the value names: the 0-based choice of a zero-based value, one past a one-based
  } cases[] = {{"0", 0},    {"2", 2},         {"3", 3},          {" 1 ", 1},       {"1.0", 1},        {"1e0", 1},
               {"", none},  {"-1", none},     {"1.5", none},     {"1abc", none},   {"abc", none},     {"1e400", none},
               {"4294967296", none}, {"4294967297", none}, {"4294967298", none}, {"-4294967295", none},
               {"2147483648", none}, {"-2147483648", none}};
  const char* const rgb[] = {"Red", "Green", "Blue"};
  const auto choice = [&](int index) { return std::string(index >= 0 && index < 3 ? rgb[index] : ""); };
  const auto shown = [](CGXControl* control, ROWCOL row) {
    CGXStyle style;
    control->Grid()->ComposeCellStyle(row, 1, style, TRUE);
    CString text;
    EXPECT_TRUE(control->GetDisplayText(text, row, 1, nullptr, style));
    return std::string(text);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(choice(CGXRadioButton::SelectedIndex(c.value)), choice(c.named));
    for (const int base : {0, 1}) {
      SCOPED_TRACE(base ? "one-based" : "zero-based");
      const std::string named = choice(c.named - base);
      Grid(base ? GX_IDS_CTRL_ONEBASED_EX : GX_IDS_CTRL_ZEROBASED_EX, kRgb, c.value);
      EXPECT_EQ(shown(box, 2), named);
      Grid(base ? GX_IDS_CTRL_ONEBASED : GX_IDS_CTRL_ZEROBASED, kRgb, c.value);
      AltDown();
      EXPECT_EQ(choice(List()->GetCurSel()), named.empty() ? rgb[0] : named);
      auto* wnd = new OwnerDrawnCombo(g);
      ASSERT_TRUE(wnd->CreateComboBox(GX_CBS_DROPDOWNLIST_STYLE | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, kOwnerDrawn));
      wnd->m_nIndexValue = base;
      wnd->m_bDispChoice = TRUE;
      g->AddCellControl(kOwnerDrawn, wnd);
      SetCell(g, 3, 1, CGXStyle().SetControl(kOwnerDrawn).SetChoiceList(kRgb).SetValue(c.value));
      EXPECT_EQ(shown(wnd, 3), named);
      wnd->InitForCell(3, 1);
      EXPECT_EQ(choice(wnd->GetCurSel()), named);
      CGXStyle style;
      g->ComposeCellStyle(3, 1, style, TRUE);
      Canvas canvas(50, 20);
      wnd->DrawCell(&canvas.dc, CRect(0, 0, 50, 20), 3, 1, style, nullptr);
      ASSERT_EQ(wnd->items.size(), 1u);
      EXPECT_EQ(choice(static_cast<int>(wnd->items[0].itemID)), named);
    }
  }
}

TEST_F(DropDownTest, EachVariantShowsConvertsAndAcceptsTextsByItsFlags) {
  struct Case {
    WORD id;
    const char* value;
    const char* shown;      // the inactive cell's text
    const char* pasted;     // a pasted "bl" becomes this
    bool acceptsX;          // typing x
  };
  const Case cases[] = {
      {GX_IDS_CTRL_COMBOBOX, "any", "any", "bl", true},
      {GX_IDS_CTRL_TEXTFIT, "Green", "Green", "Blue", false},
      {GX_IDS_CTRL_ZEROBASED, "1", "1", "bl", true},
      {GX_IDS_CTRL_ONEBASED, "1", "1", "bl", true},
      {GX_IDS_CTRL_ZEROBASED_EX, "1", "Green", "2", false},
      {GX_IDS_CTRL_ONEBASED_EX, "1", "Red", "3", false},
  };
  for (const Case& c : cases) {
    Grid(c.id, kRgb, c.value);
    CGXStyle style;
    g->ComposeCellStyle(2, 1, style, TRUE);
    CString shown;
    ASSERT_TRUE(box->GetDisplayText(shown, 2, 1, nullptr, style)) << c.id;
    EXPECT_EQ(std::string(shown), c.shown) << c.id;
    CString pasted = "bl";
    EXPECT_TRUE(box->ConvertTextForCell(pasted, 2, 1, style)) << c.id;
    EXPECT_EQ(std::string(pasted), c.pasted) << c.id;
    EXPECT_EQ(box->AcceptsText("x") != FALSE, c.acceptsX) << c.id;
    EXPECT_TRUE(box->AcceptsText("")) << c.id;
    // An unmatched text pasted into a fitted or indexed cell is refused (it emptied the cell); an empty one
    // empties it.
    if (!c.acceptsX) {
      CString unknown = "x", empty;
      EXPECT_FALSE(box->ConvertTextForCell(unknown, 2, 1, style)) << c.id;
      EXPECT_TRUE(box->ConvertTextForCell(empty, 2, 1, style)) << c.id;
      EXPECT_EQ(std::string(empty), "") << c.id;
    }
  }
}

TEST_F(DropDownTest, ChoosingFromTheListStoresWhatTheVariantStores) {
  const std::pair<WORD, const char*> cases[] = {{GX_IDS_CTRL_ZEROBASED_EX, "2"}, {GX_IDS_CTRL_ONEBASED_EX, "3"},
                                                {GX_IDS_CTRL_ZEROBASED, "2"},    {GX_IDS_CTRL_ONEBASED, "3"},
                                                {GX_IDS_CTRL_TEXTFIT, "Blue"},   {GX_IDS_CTRL_COMBOBOX, "Blue"}};
  for (const auto& [id, stored] : cases) {
    Grid(id, kRgb, "");
    AltDown();
    ASSERT_TRUE(box->IsDroppedDown()) << id;
    EXPECT_EQ(List()->GetCurSel(), 0) << id;  // nothing matched: the first item
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_FALSE(box->IsDroppedDown()) << id;
    EXPECT_TRUE(box->GetEditingState()) << id;
    EXPECT_EQ(::GetFocus(), box->m_hWnd) << id;
    Leave();
    EXPECT_EQ(Value(), stored) << id;
  }
  // The list opens on the stored value.
  Grid(GX_IDS_CTRL_ZEROBASED_EX, kRgb, "1");
  AltDown();
  EXPECT_EQ(List()->GetCurSel(), 1);
  EXPECT_EQ(EditText(), "Green");
}

TEST_F(DropDownTest, TypedTextIsFittedToAChoiceLine) {
  Grid(GX_IDS_CTRL_TEXTFIT, kRgb, "");
  Type("gr");
  EXPECT_EQ(EditText(), "gr");
  Type("x");  // "grx" matches nothing
  EXPECT_EQ(EditText(), "gr");
  Leave();
  EXPECT_EQ(Value(), "Green");
  Grid(GX_IDS_CTRL_TEXTFIT, kRgb, "Red");
  Type("x");
  EXPECT_FALSE(box->GetEditingState());
  EXPECT_EQ(Value(), "Red");
}

TEST_F(DropDownTest, TheListIsNoTallerThanItsItemsAndTheDropDownHeight) {
  Grid(GX_IDS_CTRL_COMBOBOX, kRgb, "");
  AltDown();
  const int item = List()->GetItemHeight(0);
  ASSERT_GT(item, 0);
  EXPECT_EQ(PopupRect().Height(), 3 * item + item / 2);
  // The list fills the popup (no band of the popup under it) and shows every item, the first on top,
  // without a scroll bar.
  CRect list;
  List()->GetWindowRect(&list);
  EXPECT_EQ(list, PopupRect());
  EXPECT_EQ(List()->GetTopIndex(), 0);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(List()->GetScrollInfo(SB_VERT, &si));
  EXPECT_GT(static_cast<int>(si.nPage), si.nMax - si.nMin) << "a page holds every item";
  EXPECT_EQ(PopupRect().top, CellOnScreen().bottom);
  EXPECT_EQ(PopupRect().left, CellOnScreen().left);
  EXPECT_EQ(PopupRect().Width(), CellOnScreen().Width());
  CString many;
  for (int i = 0; i < 50; ++i) many += "item\n";
  Grid(GX_IDS_CTRL_COMBOBOX, many, "");
  AltDown();
  EXPECT_EQ(PopupRect().Height(), 100);
  g->GetParam()->m_nDropDownHeight = 60;
  Key(VK_ESCAPE);
  AltDown();
  EXPECT_EQ(PopupRect().Height(), 60);
}

TEST_F(DropDownTest, TheListStaysOnTheWorkAreaOfTheGridsMonitor) {
  // Near the bottom of the screen the list opens above the cell.
  plat::Desktop::Configure(800, 90);
  Grid(GX_IDS_CTRL_COMBOBOX, kRgb, "");
  AltDown();
  EXPECT_EQ(PopupRect().bottom, CellOnScreen().top);
  Key(VK_ESCAPE);
  // A cell across two monitors: the list stays on the one that holds most of the grid.
  plat::Desktop::ConfigureMonitors({{0, 0, 400, 600}, {400, 0, 1200, 600}}, {{0, 0, 400, 580}, {400, 0, 1200, 580}});
  Grid(GX_IDS_CTRL_COMBOBOX, kRgb, "");
  g->SetWindowPos(nullptr, 330, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();
  ASSERT_LT(CellOnScreen().left, 400);
  ASSERT_GT(CellOnScreen().right, 400);
  AltDown();
  EXPECT_EQ(PopupRect().left, 400);
  EXPECT_EQ(PopupRect().right, CellOnScreen().right);
}

TEST_F(DropDownTest, EscapeEnterAndClicksCloseTheListWithOrWithoutItsItem) {
  // Escape at once: nothing changes and editing goes on.
  Grid(GX_IDS_CTRL_COMBOBOX, kRgb, "Red");
  AltDown();
  EXPECT_EQ(g->Take(), Log({"start 2,1"}));
  EXPECT_TRUE(g->m_bListDropped);
  Key(VK_ESCAPE);
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_FALSE(g->m_bListDropped);
  EXPECT_TRUE(box->GetEditingState());
  EXPECT_FALSE(box->GetModifiedState());
  EXPECT_EQ(::GetFocus(), box->m_hWnd);
  EXPECT_EQ(g->Take(), Log());
  // Arrow keys take each item reached; Escape keeps the last one.
  AltDown();
  Key(VK_DOWN);
  EXPECT_EQ(EditText(), "Green");
  Key(VK_DOWN);
  EXPECT_EQ(g->Take(), Log({"start 2,1", "modified 2,1", "modified 2,1"}));
  Key(VK_ESCAPE);
  EXPECT_EQ(EditText(), "Blue");
  EXPECT_TRUE(box->GetModifiedState());
  Leave();
  EXPECT_EQ(Value(), "Blue");
  // A click on an item takes it and closes the list.
  Grid(GX_IDS_CTRL_ZEROBASED, kRgb, "0");
  AltDown();
  CRect second;
  List()->GetItemRect(1, &second);
  POINT at{second.left + 5, second.top + 2};
  ::ClientToScreen(List()->m_hWnd, &at);
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, at);
  Pump();
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_EQ(EditText(), "1");
  Leave();
  EXPECT_EQ(Value(), "1");
}

TEST_F(DropDownTest, TabClosesTheListAndMovesOnAsTabInTheCellWould) {
  Grid(GX_IDS_CTRL_TEXTFIT, kRgb, "Red");
  AltDown();
  Key(VK_DOWN);
  Key(VK_TAB);
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_TRUE(g->MatchesCurrentCell(2, 2));
  EXPECT_EQ(Value(), "Green");
}

TEST_F(DropDownTest, ReadOnlyCellsOpenTheListButKeepTheirValue) {
  CGXStyle readOnly;
  readOnly.SetReadOnly(TRUE);
  Grid(GX_IDS_CTRL_ZEROBASED, kRgb, "0", readOnly);
  box->ShowDropDown(TRUE);
  ASSERT_TRUE(box->IsDroppedDown());
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_FALSE(box->GetModifiedState());
  EXPECT_EQ(Value(), "0");
}

TEST_F(DropDownTest, LosingTheFocusOutsideTheGridCancelsTheList) {
  // Another window takes the focus: the list closes and editing ends without storing.
  Grid(GX_IDS_CTRL_COMBOBOX, kRgb, "Red");
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 500, 400, 50, 50, nullptr, nullptr));
  AltDown();
  Key(VK_DOWN);  // Green taken
  ::SetFocus(other.m_hWnd);
  Pump();
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_FALSE(box->GetEditingState());
  EXPECT_EQ(::GetFocus(), other.m_hWnd);
  EXPECT_EQ(Value(), "Red");
  // No window keeps the focus: the same.
  ::SetFocus(*g);
  Pump();
  AltDown();
  ::SetFocus(nullptr);
  Pump();
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_FALSE(box->GetEditingState());
  // The grid itself takes it: the list stays for the grid's own moves to close.
  ::SetFocus(*g);
  Pump();
  AltDown();
  {
    auto guard = g->GuardFocus();
    ::SetFocus(*g);
  }
  Pump();
  EXPECT_TRUE(box->IsDroppedDown());
  other.DestroyWindow();
}

TEST_F(DropDownTest, TheListClosesOnScrollingOnTheCellHitQueryAndWhenEditingEnds) {
  Grid(GX_IDS_CTRL_COMBOBOX, kRgb, "Red");
  AltDown();
  MSG scroll{};
  scroll.message = WM_VSCROLL;
  box->OnGridWindowMessage(&scroll);
  EXPECT_FALSE(box->IsDroppedDown());
  int answer = 0;
  EXPECT_FALSE(box->QueryCellHit(0, 0, 0, reinterpret_cast<DWORD_PTR>(&answer)));
  AltDown();
  EXPECT_TRUE(box->QueryCellHit(0, 0, 0, reinterpret_cast<DWORD_PTR>(&answer)));
  EXPECT_EQ(answer, 2);
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_TRUE(box->GetEditingState());  // the query's cancel keeps the cell editing
  AltDown();
  box->SetEditingState(FALSE);
  Pump();
  EXPECT_FALSE(box->IsDroppedDown());
  // Moving to another cell closes it too.
  AltDown();
  EXPECT_TRUE(g->MoveCurrentCellTo(3, 1, GX_UPDATENOW));
  Pump();
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_FALSE(g->m_bListDropped);
}

TEST_F(DropDownTest, AControlDestroyedWhileDroppedTakesItsPopupWithIt) {
  Grid(GX_IDS_CTRL_COMBOBOX, kRgb, "Red");
  AltDown();
  const HWND popup = box->GetDropDownWindow()->m_hWnd;
  const HWND list = List()->m_hWnd;
  ASSERT_TRUE(::IsWindow(popup));
  grid.reset();
  EXPECT_FALSE(::IsWindow(popup));
  EXPECT_FALSE(::IsWindow(list));
  EXPECT_FALSE(IsPopupActive());
}

TEST_F(DropDownTest, ThePopupPaintsTheListInTheCellsColours) {
  CGXStyle yellow;
  yellow.SetInterior(CGXInteriorBrush(RGB(255, 255, 0))).SetTextColor(RGB(0, 0, 255));
  Grid(GX_IDS_CTRL_COMBOBOX, kRgb, "Red", yellow);
  AltDown();
  CRect third;
  List()->GetItemRect(2, &third);
  auto pixels = plat::Desktop::Capture(List()->m_hWnd);
  ASSERT_NE(pixels, nullptr);
  // Unselected rows: the cell's interior, right of their text; the selected row the highlight.
  EXPECT_EQ(plat::colorFromPixel(pixels->pixel(third.right - 3, third.top + third.Height() / 2)), RGB(255, 255, 0));
  CRect first;
  List()->GetItemRect(0, &first);
  EXPECT_EQ(plat::colorFromPixel(pixels->pixel(first.right - 3, first.top + first.Height() / 2)),
            GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF);
}

// A window that records the commands it gets.
class CommandSink : public CWnd {
 public:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back({wParam, lParam});
    return TRUE;
  }
  std::vector<std::pair<WPARAM, LPARAM>> commands;
};

TEST_F(DropDownTest, ThePopupForwardsOnlyItsListsCommandsAndKeepsItsColoursUntilSet) {
  CommandSink owner;
  ASSERT_TRUE(owner.CreateEx(0, "GXWND", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  CGXGridCombo popup(&owner, nullptr, CRect(100, 100, 200, 150));
  ASSERT_NE(popup.m_hWnd, nullptr);
  CRect placed;
  popup.GetWindowRect(&placed);
  EXPECT_EQ(placed, CRect(99, 100, 200, 150));
  EXPECT_TRUE(popup.GetExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_EQ(::GetParent(popup.m_hWnd), nullptr);
  auto* list = new CGXComboListBox(&owner);
  ASSERT_TRUE(list->Create(WS_VSCROLL | LBS_NOTIFY, CRect(0, 0, 100, 50), &popup, 7));
  popup.AttachListBox(list);
  popup.SendMessage(WM_COMMAND, MAKEWPARAM(7, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list->m_hWnd));
  popup.SendMessage(WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), reinterpret_cast<LPARAM>(owner.m_hWnd));
  ASSERT_EQ(owner.commands.size(), 1u);
  EXPECT_EQ(owner.commands[0].second, reinterpret_cast<LPARAM>(list->m_hWnd));
  // Colours: none until set (the list's system colours), then the brush and both colours.
  CClientDC dc(list);
  auto ask = [&] {
    return popup.SendMessage(WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                             reinterpret_cast<LPARAM>(list->m_hWnd));
  };
  const LRESULT system = ask();
  EXPECT_NE(dc.GetTextColor(), RGB(1, 2, 3));
  popup.SetColors(RGB(1, 2, 3), RGB(4, 5, 6));
  const LRESULT own = ask();
  EXPECT_NE(own, 0);
  EXPECT_NE(own, system);
  EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
  EXPECT_EQ(dc.GetBkColor(), RGB(4, 5, 6));
  // The system menu cannot close it.
  popup.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(::IsWindow(popup.m_hWnd));
  owner.DestroyWindow();
}

}  // namespace
}  // namespace enginetest
