// The tabbed combo-box window cell: completion and refusal in its edit, rows showing their display field,
// which id opens on a click, the dropped list's size and header bar, and Escape discarding the edit.
#include <gtest/gtest.h>

#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/tests/dropdowntest.h"
#include "platform/controls/ComboBox.h"

namespace enginetest {
namespace {

constexpr const char* kRows = "1\tRed\n2\tGreen";

class TabbedWndTest : public CellControlTest {
 protected:
  void SetUp() override {
    CellControlTest::SetUp();
    RegisterPopupClass();
  }
  static void TypeWalking(const char* text) {
    plat::InputRouter::Instance().TypeText(text);
    PumpWalking();
  }
  static CGXStyle Columns(const char* choices, const char* titles = "0") {
    CGXStyle style;
    style.SetChoiceList(choices);
    style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0").SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1");
    style.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, titles);
    return style;
  }
  RecordingGrid* Grid(WORD id, const char* value, CGXStyle style) {
    g = MakeRecordingGrid(6, 4, 400, 300);
    style.SetControl(id).SetValue(value);
    SetCell(g, 2, 1, style);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
    Pump();
    box = ControlOf<CGXTabbedComboBoxWnd>(g, id);
    EXPECT_NE(box, nullptr);
    return g;
  }
  void Activate() {
    box->SetEditingState(TRUE);
    box->HideAndInvalidate();
    g->CGXGridCore::UpdateWindow();
    PumpWalking();
  }
  std::string EditText() {
    CString text;
    box->TabbedEdit().GetWindowText(text);
    return std::string(text);
  }
  std::string Value() { return std::string(g->GetCellValue(2, 1)); }
  // The dropped list's window rectangle.
  CRect ListRect() {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetComboBoxInfo(box->m_hWnd, &info));
    CRect r;
    ::GetWindowRect(info.hwndList, &r);
    return r;
  }
  void ClickButton() {
    const CRect cell = g->CalcCellRect(2, 1);
    Click(g, 2, 1, cell.Width() - 8, cell.Height() / 2);
    PumpWalking();
  }

  RecordingGrid* g = nullptr;
  CGXTabbedComboBoxWnd* box = nullptr;
};

TEST_F(TabbedWndTest, TypingCompletesOrIsRefusedAndLeavingStoresTheKey) {
  Grid(GX_IDS_CTRL_TABBED_CBS_DROPDOWN, "", Columns(kRows));
  Activate();
  ASSERT_EQ(::GetFocus(), box->TabbedEdit().m_hWnd);
  TypeWalking("g");
  EXPECT_EQ(EditText(), "Green");
  int start = 0, end = 0;
  box->TabbedEdit().GetSel(start, end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(1, 5));
  TypeWalking("x");  // "gx" begins no row
  EXPECT_EQ(EditText(), "Green");
  KeyWalking(VK_DOWN);
  EXPECT_TRUE(g->MatchesCurrentCell(3, 1));
  EXPECT_EQ(Value(), "2");
  // A picked row puts its display field alone into the edit.
  Grid(GX_IDS_CTRL_TABBED_CBS_DROPDOWN, "1", Columns(kRows));
  Activate();
  EXPECT_EQ(EditText(), "Red");
  box->SetCurSel(1);
  EXPECT_EQ(EditText(), "Green");
  CString value;
  EXPECT_TRUE(box->GetEditedValue(value));
  EXPECT_EQ(std::string(value), "2");
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  CString shown;
  EXPECT_TRUE(box->GetDisplayText(shown, 2, 1, nullptr, style));
  EXPECT_EQ(std::string(shown), "Red");
}

// With "fill with choice list" off the rows come from elsewhere: the choice list neither fills the list nor
// limits what the edit accepts nor sizes the cell.
TEST_F(TabbedWndTest, WithoutFillingFromTheChoiceListTheListStaysEmptyAndAnyTextIsAccepted) {
  Grid(GX_IDS_CTRL_TABBED_CBS_DROPDOWN, "1", Columns(kRows));
  ASSERT_EQ(box->GetCount(), 2);
  EXPECT_FALSE(box->AcceptsText("Blue"));
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  const CSize filled = box->ComputeCellSize(g->GetCachedDC(), 2, 1, style, nullptr, FALSE);
  box->m_bFillWithChoiceList = FALSE;
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 1, GX_UPDATENOW));
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
  PumpWalking();
  EXPECT_EQ(box->GetCount(), 0);
  EXPECT_TRUE(box->AcceptsText("Blue"));
  EXPECT_LT(box->ComputeCellSize(g->GetCachedDC(), 2, 1, style, nullptr, FALSE).cx, filled.cx);
}

TEST_F(TabbedWndTest, TheDropDownListOpensOnTheFirstClickTheDropDownBoxThroughItsButton) {
  Grid(GX_IDS_CTRL_TABBED_CBS_DROPDOWNLIST, "1", Columns(kRows));
  Click(g, 2, 1, 5, 5);
  PumpWalking();
  EXPECT_TRUE(box->GetDroppedState());
  Grid(GX_IDS_CTRL_TABBED_CBS_DROPDOWN, "1", Columns(kRows));
  Click(g, 2, 1, 5, 5);
  PumpWalking();
  EXPECT_FALSE(box->GetDroppedState());
  ClickButton();
  EXPECT_TRUE(box->GetDroppedState());
}

TEST_F(TabbedWndTest, TheDroppedListIsWideEnoughForItsColumnsAndEightRowsHigh) {
  CString rows;
  for (int i = 1; i <= 20; ++i) rows += CString(std::to_string(i).c_str()) + "\tname\n";
  CGXStyle style = Columns(rows);
  style.SetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS, "150, 120");
  Grid(GX_IDS_CTRL_TABBED_CBS_DROPDOWN, "1", style);
  Activate();
  box->ShowDropDown(TRUE);
  PumpWalking();
  ASSERT_TRUE(box->GetDroppedState());
  const CRect list = ListRect();
  EXPECT_EQ(list.Width(), 270 + GetSystemMetrics(SM_CXVSCROLL));
  CDC* dc = g->GetCachedDC();
  TEXTMETRIC tm{};
  {
    CGXStyle composed;
    g->ComposeCellStyle(2, 1, composed, TRUE);
    CFont* old = g->SelectStyleFont(dc, composed);
    dc->GetTextMetrics(&tm);
    if (old) dc->SelectObject(old);
  }
  EXPECT_EQ(list.Height(), 3 + (tm.tmHeight + 2) * 8);
}

TEST_F(TabbedWndTest, TheHeaderBarShowsOverTheDroppedRowsAndHidesWithTheList) {
  Grid(GX_IDS_CTRL_TABBED_CBS_DROPDOWN, "1", Columns("ID\tName\n1\tRed\n2\tGreen", "1"));
  Activate();
  box->ShowDropDown(TRUE);
  PumpWalking();
  CGXTabbedLBoxHeader* header = box->Header();
  ASSERT_NE(header->m_hWnd, nullptr);
  EXPECT_TRUE(header->IsWindowVisible());
  CRect bar, field;
  header->GetWindowRect(&bar);
  const CRect list = ListRect();
  box->GetWindowRect(&field);
  EXPECT_EQ(bar.bottom, list.top);
  EXPECT_GE(bar.top, field.bottom);
  EXPECT_EQ(std::string(header->m_strTitle), "Name\tID\tName");
  box->ShowDropDown(FALSE);
  PumpWalking();
  EXPECT_FALSE(header->IsWindowVisible());
}

TEST_F(TabbedWndTest, EscapeDiscardsTheEditAndGivesTheFocusBackToTheGrid) {
  Grid(GX_IDS_CTRL_TABBED_CBS_DROPDOWN, "1", Columns(kRows));
  Activate();
  box->SetEditSel(0, -1);
  TypeWalking("g");
  EXPECT_EQ(EditText(), "Green");
  box->ShowDropDown(TRUE);
  KeyWalking(VK_ESCAPE);
  EXPECT_FALSE(box->GetDroppedState());
  EXPECT_FALSE(box->GetEditingState());
  EXPECT_EQ(::GetFocus(), g->m_hWnd);
  EXPECT_EQ(EditText(), "Red");
  EXPECT_EQ(Value(), "1");
}

}  // namespace
}  // namespace enginetest
