// The combo-box window cell: the box over the edited cell, its values by text or index, the dropped list's
// size, typing, read-only cells, stores from outside, its key table and its focus.
#include <gtest/gtest.h>

#include <algorithm>

#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/tests/dropdowntest.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridGlobals.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/RecordingDC.h"

namespace enginetest {
namespace {

// Records the rectangles the window is moved to.
class RecordingCombo : public CGXComboBoxWnd {
 public:
  using CGXComboBoxWnd::CGXComboBoxWnd;
  void AdjustWindowRect(CRect& rect) override { moves.push_back(rect); }
  std::vector<CRect> moves;
};

constexpr WORD kIndexed = 9300;

class ComboWndTest : public CellControlTest {
 protected:
  // A grid whose cell (2, 1) has control `id`, the choices and the value, current and focused.
  RecordingGrid* Grid(WORD id, const char* choices, const char* value, CGXStyle style = CGXStyle()) {
    g = MakeRecordingGrid(6, 4, 400, 300);
    indexed = new RecordingCombo(g);
    indexed->CreateComboBox(GX_CBS_DROPDOWNLIST_STYLE, kIndexed);
    indexed->m_nIndexValue = 0;
    g->AddCellControl(kIndexed, indexed);
    style.SetControl(id).SetChoiceList(choices).SetValue(value);
    SetCell(g, 2, 1, style);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
    Pump();
    box = dynamic_cast<CGXComboBoxWnd*>(g->ControlForId(id));
    EXPECT_NE(box, nullptr);
    g->Take();
    return g;
  }
  void Activate() {
    box->SetEditingState(TRUE);
    box->HideAndInvalidate();
    g->CGXGridCore::UpdateWindow();
    PumpWalking();
  }
  std::string Value() { return std::string(g->GetCellValue(2, 1)); }

  RecordingGrid* g = nullptr;
  CGXComboBoxWnd* box = nullptr;
  RecordingCombo* indexed = nullptr;
};

TEST_F(ComboWndTest, BothIdsMakeABoxOfTheirKind) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWN, "a\nb", "a");
  auto* list = dynamic_cast<CGXComboBoxWnd*>(g->ControlForId(GX_IDS_CTRL_CBS_DROPDOWNLIST));
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->IsDropDownList());
  EXPECT_FALSE(box->IsDropDownList());
  EXPECT_EQ(box->GetStyle() & 0x43, 0x42u);
  EXPECT_NE(box->EditPart().m_hWnd, nullptr);  // the drop-down's edit, subclassed
}

TEST_F(ComboWndTest, ValueBaseSelectsByIndexAndStoresTheIndex) {
  Grid(kIndexed, "zero\r\none\r\ntwo\r\n", "2");
  EXPECT_EQ(box->GetCurSel(), 2);
  EXPECT_EQ(box->GetCount(), 3);  // the empty last line is no item
  Activate();
  box->SetCurSel(0);
  box->SetModifiedState(TRUE);
  KeyWalking(VK_DOWN);  // closed list: the grid moves on, storing
  EXPECT_EQ(Value(), "0");
  // With display choice the inactive cell shows the line the index names.
  indexed->m_bDispChoice = TRUE;
  CString shown;
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  indexed->GetDisplayText(shown, 2, 1, nullptr, style);
  EXPECT_EQ(std::string(shown), "zero");
  CString converted = "TW";
  indexed->ConvertTextForCell(converted, 2, 1, style);
  EXPECT_EQ(std::string(converted), "2");
}

TEST_F(ComboWndTest, TextValuedBoxesStoreTheItemText) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWNLIST, "alpha\nbeta", "beta");
  EXPECT_EQ(box->GetCurSel(), 1);
  Activate();
  box->SetCurSel(0);
  box->SetModifiedState(TRUE);
  KeyWalking(VK_DOWN);
  EXPECT_EQ(Value(), "alpha");
}

TEST_F(ComboWndTest, ReplaceAllInTheEditedBoxStartsAtTheSelectionAndInOtherCellsTakesTheWholeText) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWN, "a\nb", "one two one");
  CGXStyle other;
  other.SetControl(GX_IDS_CTRL_CBS_DROPDOWN).SetChoiceList("a").SetValue("one ONE");
  SetCell(g, 4, 1, other);
  CGXFindReplaceState request;
  request.m_strFind = "one";
  request.m_strReplace = "1";
  request.m_bCase = FALSE;
  const auto req = reinterpret_cast<DWORD_PTR>(&request);
  Activate();
  box->SetEditSel(4, 4);  // the first "one" lies before the selection and stays
  ASSERT_TRUE(box->ReplaceInCell(req, 2, 1));
  EXPECT_EQ(Value(), "one two 1");
  ASSERT_TRUE(box->ReplaceInCell(req, 4, 1));
  EXPECT_EQ(std::string(g->GetCellValue(4, 1)), "1 1");
  // Matching by case, nothing to replace, and an empty request change nothing.
  request.m_bCase = TRUE;
  request.m_strFind = "ONE";
  EXPECT_FALSE(box->ReplaceInCell(req, 2, 1));
  request.m_strFind = "";
  EXPECT_FALSE(box->ReplaceInCell(req, 4, 1));
  EXPECT_EQ(Value(), "one two 1");
  EXPECT_EQ(std::string(g->GetCellValue(4, 1)), "1 1");
}

TEST_F(ComboWndTest, UnmatchedValuesShowAsTextOrNoSelection) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWN, "a\nb", "zzz");
  Activate();
  CString text;
  box->GetWindowText(text);
  EXPECT_EQ(std::string(text), "zzz");
  EXPECT_EQ(box->GetCurSel(), -1);
  Grid(GX_IDS_CTRL_CBS_DROPDOWNLIST, "a\nb", "zzz");
  EXPECT_EQ(box->GetCurSel(), -1);
  CString value;
  box->GetEditedValue(value);
  EXPECT_EQ(std::string(value), "");
}

TEST_F(ComboWndTest, TheDroppedListHasRoomForAtMostEightItems) {
  for (int items : {20, 3}) {
    CString choices;
    for (int i = 0; i < items; ++i) choices += "item\n";
    Grid(kIndexed, choices, "0");
    indexed->moves.clear();
    Activate();
    ASSERT_FALSE(indexed->moves.empty());
    const CRect moved = indexed->moves.back();
    const CRect inner = indexed->ComputeInnerRect(2, 1);
    const int field = inner.Height() + 2 * indexed->m_nVertMargin;
    const int perItem = (moved.Height() - field) / std::min(items, 8);
    EXPECT_EQ(moved.Height(), field + perItem * std::min(items, 8)) << items;
    EXPECT_GT(perItem, 2 * indexed->m_nVertMargin + 2);
  }
}

TEST_F(ComboWndTest, TypingBSelectsTheFirstItemBeginningWithIt) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWNLIST, "a\nb1\nb2", "a");
  Type("b");
  EXPECT_TRUE(box->GetEditingState());
  EXPECT_EQ(box->GetCurSel(), 1);
  EXPECT_TRUE(box->GetModifiedState());
  KeyWalking(VK_DOWN);
  EXPECT_EQ(Value(), "b1");
}

TEST_F(ComboWndTest, CharactersTypedIntoAnInactiveBoxStayInOrder) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWN, "a\nb", "a");
  Type("b");
  Type("e");  // the first character placed the box over the cell
  EXPECT_EQ(std::string(box->GetBoxText()), "be");
  g->CGXGridCore::UpdateWindow();
  PumpWalking();
  Type("st");  // after the box was placed over the cell
  EXPECT_EQ(std::string(box->GetBoxText()), "best");
  KeyWalking(VK_TAB);
  EXPECT_EQ(Value(), "best");
}

TEST_F(ComboWndTest, AClickOpensTheListAndAReadOnlyCellPutsItsChoiceBack) {
  CGXStyle readOnly;
  readOnly.SetReadOnly(TRUE);
  Grid(GX_IDS_CTRL_CBS_DROPDOWNLIST, "a\nb\nc", "b", readOnly);
  Click(g, 2, 1, 10, 5);  // the posted button down and up open the list
  g->CGXGridCore::UpdateWindow();
  PumpWalking();
  ASSERT_TRUE(box->GetEditingState());
  ASSERT_TRUE(box->GetDroppedState());
  EXPECT_TRUE(g->m_bListDropped);
  KeyWalking(VK_DOWN);  // in the open list: the box moves its selection, the cell puts it back
  EXPECT_EQ(box->GetCurSel(), 1);
  KeyWalking(VK_RETURN);  // closes the list
  EXPECT_FALSE(box->GetDroppedState());
  EXPECT_FALSE(g->m_bListDropped);
  EXPECT_EQ(box->GetCurSel(), 1);
  KeyWalking(VK_DOWN);
  EXPECT_EQ(Value(), "b");
}

TEST_F(ComboWndTest, AnEmptyTextFromOutsideKeepsADropDownListsValue) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWNLIST, "a\nb", "b");
  EXPECT_TRUE(box->StoreCellText(2, 1, "", GX_INVALIDATE, nullptr));
  EXPECT_EQ(Value(), "b");
  EXPECT_TRUE(box->StoreCellText(2, 1, "a", GX_INVALIDATE, nullptr));
  EXPECT_EQ(Value(), "a");
}

TEST_F(ComboWndTest, KeysInTheBoxGoToTheGridAsTheTableSays) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWN, "abc\nabd", "abc");
  Activate();
  ASSERT_EQ(::GetFocus(), box->EditPart().m_hWnd);
  box->EditPart().SetSel(1, 1);
  KeyWalking(VK_LEFT);  // inside the text: the edit moves its caret
  ROWCOL r = 0, c = 0;
  g->QueryCurrentCell(&r, &c);
  EXPECT_EQ(c, 1u);
  KeyWalking(VK_LEFT);  // at 0: the grid moves to the left
  KeyWalking(VK_LEFT);
  g->QueryCurrentCell(&r, &c);
  EXPECT_EQ(r, 2u);
  EXPECT_EQ(c, 1u) << "column 0 holds headers: the current cell stays";
  Grid(GX_IDS_CTRL_CBS_DROPDOWN, "abc\nabd", "abc");
  Activate();
  KeyWalking(VK_TAB);
  g->QueryCurrentCell(&r, &c);
  EXPECT_EQ(c, 2u);
}

TEST_F(ComboWndTest, TheEditChildsLossOfFocusReachesTheGrid) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWN, "a\nb", "a");
  Activate();
  ASSERT_EQ(::GetFocus(), box->EditPart().m_hWnd);
  EXPECT_TRUE(g->m_bHasFocus);
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 10, 10), nullptr, 0));
  other.SetFocus();
  Pump();
  EXPECT_FALSE(g->m_bHasFocus);
  other.DestroyWindow();
}

// Cells that are not current keep room for the drop-down button unless the button shows in the current cell
// only; the current cell keeps it while it is not edited. The button ends at the cell's text edge either way.
TEST_F(ComboWndTest, TheButtonsRoomFollowsBothButtonSettingsInCellsThatAreNotCurrent) {
  Grid(GX_IDS_CTRL_CBS_DROPDOWNLIST, "a\nb", "a");
  SetCell(g, 4, 2, CGXStyle().SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList("a\nb"));
  ASSERT_EQ(box->GetChildCount(), 1);
  struct Case {
    BOOL everyCell, onlyCurrent;
    ROWCOL row, col;
    bool room;
  } cases[] = {{FALSE, TRUE, 4, 2, false}, {FALSE, FALSE, 4, 2, true}, {TRUE, TRUE, 4, 2, true},
               {TRUE, FALSE, 4, 2, true},  {FALSE, TRUE, 2, 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.everyCell << c.onlyCurrent << " cell " << c.row << "," << c.col);
    box->m_bButtonEveryCell = c.everyCell;
    box->m_bButtonOnlyCurrentCell = c.onlyCurrent;
    CGXStyle style;
    g->ComposeCellStyle(c.row, c.col, style, TRUE);
    const CRect cell = g->CalcCellRect(c.row, c.col);
    const CRect plain = box->CGXStatic::ComputeInnerRect(cell, style);
    const CRect inner = box->ComputeInnerRect(cell, style);
    EXPECT_EQ(inner.right, plain.right - (c.room ? 15 : 0));
    EXPECT_EQ(inner.left, plain.left + 2);
    box->LayOutChildren(c.row, c.col, inner);
    EXPECT_EQ(box->GetChildAt(0)->GetRect().right, plain.right);
  }
}

TEST_F(ComboWndTest, AnOwnerDrawnBoxDrawsInactiveCellsThroughItsDrawItem) {
  constexpr WORD kOwnerDrawn = 9301;
  g = MakeRecordingGrid(6, 4, 400, 300);
  auto* drawn = new OwnerDrawnCombo(g);
  ASSERT_TRUE(drawn->CreateComboBox(GX_CBS_DROPDOWNLIST_STYLE | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, kOwnerDrawn));
  drawn->m_nIndexValue = 0;
  g->AddCellControl(kOwnerDrawn, drawn);
  CGXStyle style;
  style.SetControl(kOwnerDrawn).SetChoiceList("zero\none\ntwo").SetValue("2");
  SetCell(g, 3, 1, style);
  g->ComposeCellStyle(3, 1, style, TRUE);
  drawn->InitForCell(3, 1);
  HDC hdc = plat::CreateRecordingDC(100, 40);
  const CRect cell(0, 0, 50, 20);
  drawn->DrawCell(CDC::FromHandle(hdc), cell, 3, 1, style, nullptr);
  ASSERT_EQ(drawn->items.size(), 1u);
  const DRAWITEMSTRUCT& item = drawn->items[0];
  EXPECT_EQ(item.CtlType, static_cast<UINT>(ODT_COMBOBOX));
  EXPECT_EQ(item.CtlID, kOwnerDrawn);
  EXPECT_EQ(item.itemID, 2u);  // the value is the index
  EXPECT_EQ(item.itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
  EXPECT_EQ(item.itemState, static_cast<UINT>(ODS_SELECTED));
  EXPECT_EQ(item.hDC, hdc);
  EXPECT_EQ(item.hwndItem, drawn->m_hWnd);
  // The item lies inside the focus frame drawn round the text area, 2 pixels in.
  const CRect inner = drawn->ComputeInnerRect(3, 1, &cell, &style);
  EXPECT_EQ(CRect(item.rcItem), CRect(inner.left + 2, inner.top + 2, inner.right - 2, inner.bottom - 2));
  EXPECT_EQ(GetPixel(hdc, inner.left, inner.top + 3) & 0xFFFFFF, RGB(0, 0, 0));  // the frame's dark side
  // A text-valued box draws the line it would select: the one the value matches, else the first it begins.
  drawn->m_nIndexValue = -1;
  for (const auto& [value, id] : {std::pair{"one", 1}, {"t", 2}, {"1", -1}, {"", -1}}) {
    drawn->DrawCell(CDC::FromHandle(hdc), cell, 3, 1, CGXStyle(style).SetValue(value), nullptr);
    EXPECT_EQ(static_cast<int>(drawn->items.back().itemID), id) << value;
  }
  // An owner-drawn box asks for no size of its own.
  CClientDC dc(nullptr);
  EXPECT_EQ(drawn->ComputeCellSize(&dc, 3, 1, style, nullptr, TRUE), CSize(0, 0));
  DeleteDC(hdc);
}

}  // namespace
}  // namespace enginetest
