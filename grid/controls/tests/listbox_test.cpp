// The list box cell: the lines an inactive cell draws (the value's line inverted and kept in view), the list
// window over the edited cell selecting by a click, what is stored on leaving, its key routing, read-only
// cells and its size.
#include <gtest/gtest.h>

#include <string>

#include "grid/controls/CGXListBox.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/controls/tests/recordinggrid.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/DcRecorder.h"

namespace enginetest {
namespace {

constexpr const char* kTenLines = "l1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9\nl10";

class ListBoxTest : public CellControlTest {
 protected:
  // A grid whose cell (2, 1) is a list box cell with the choices and the value, its row `height` pixels,
  // current and focused (not yet editing).
  RecordingGrid* Grid(const char* value, int height = 80, const char* choices = "alpha\nbeta\ngamma\ndelta",
                      CGXStyle style = CGXStyle()) {
    g = MakeRecordingGrid(6, 4, 400, 300);
    g->SetRowHeight(2, 2, height, nullptr, 0);
    style.SetControl(GX_IDS_CTRL_LISTBOX).SetChoiceList(choices).SetValue(value);
    SetCell(g, 2, 1, style);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
    Pump();
    list = ControlOf<CGXListBox>(g, GX_IDS_CTRL_LISTBOX);
    EXPECT_NE(list, nullptr);
    g->Take();
    return g;
  }
  // The texts and inversions an inactive cell of `height` pixels draws for the value.
  Log Drawn(const char* value, int height, const char* choices = kTenLines) {
    CGXStyle style;
    g->ComposeCellStyle(2, 1, style, TRUE);
    style.SetChoiceList(choices).SetValue(value);
    HDC hdc = plat::CreateRecordingDC(200, 200);
    const CRect cell(0, 0, 100, height);
    list->DrawCell(CDC::FromHandle(hdc), cell, 3, 1, style, nullptr);
    Log drawn;
    for (const std::string& line : plat::RecorderOf(hdc)->lines()) {
      if (line.rfind("text ", 0) == 0) {
        const size_t open = line.find('"');
        drawn.push_back(line.substr(open + 1, line.find('"', open + 1) - open - 1));
      } else if (line.rfind("invert ", 0) == 0) {
        drawn.push_back("invert");
      }
    }
    DeleteDC(hdc);
    return drawn;
  }
  int LineHeight() {
    CGXStyle style;
    g->ComposeCellStyle(2, 1, style, TRUE);
    CClientDC dc(nullptr);
    gx::CellFontScope font(g, &dc, style);
    return gx::LineHeight(&dc);
  }
  void ClickLine(int line) {
    const CRect inner = list->ComputeInnerRect(2, 1);
    const CRect cell = g->CalcCellRect(2, 1);
    Click(g, 2, 1, inner.left - cell.left + 10, inner.top - cell.top + line * list->GetItemHeight(0) + 2);
    g->CGXGridCore::UpdateWindow();
    Pump();
  }
  std::string Value() { return std::string(g->GetCellValue(2, 1)); }

  RecordingGrid* g = nullptr;
  CGXListBox* list = nullptr;
};

TEST_F(ListBoxTest, InactiveCellsKeepTheValuesLineInViewAndInvertIt) {
  Grid("alpha");
  const int h = LineHeight();
  // Line 10 in a cell three lines high: lines 8 to 10, the last inverted.
  EXPECT_EQ(Drawn("l10", 3 * h + 2), (Log{"l8", "l9", "l10", "invert"}));
  // A value among the first lines: from the first, nothing skipped.
  EXPECT_EQ(Drawn("l2", 3 * h + 2), (Log{"l1", "l2", "invert", "l3"}));
  // Equality is exact: neither another case nor a prefix is the value's line.
  EXPECT_EQ(Drawn("L2", 2 * h), (Log{"l1", "l2"}));
  EXPECT_EQ(Drawn("l", 2 * h), (Log{"l1", "l2"}));
  // A cell under 2 pixels draws nothing at all, nor does one lower than a line draw a line.
  EXPECT_EQ(Drawn("l1", 1), Log{});
  EXPECT_EQ(Drawn("l1", h - 1), Log{});
}

TEST_F(ListBoxTest, AClickSelectsTheLineUnderItAndLeavingStoresIt) {
  Grid("alpha");
  ClickLine(2);
  ASSERT_TRUE(list->GetEditingState());
  EXPECT_TRUE(list->IsWindowVisible());
  EXPECT_EQ(::GetFocus(), list->m_hWnd);
  EXPECT_EQ(list->GetCurSel(), 2);
  EXPECT_TRUE(list->GetModifiedState());
  CString edited;
  list->GetEditText(edited);
  EXPECT_EQ(std::string(edited), "gamma");
  Key(VK_TAB);
  EXPECT_EQ(CurrentCol(g), 2u);
  EXPECT_EQ(Value(), "gamma");
  EXPECT_FALSE(list->IsWindowVisible());
  EXPECT_EQ(::GetFocus(), g->m_hWnd);
}

TEST_F(ListBoxTest, AValueThatIsNoLineSurvivesActivatingAndLeaving) {
  Grid("zzz");
  EXPECT_EQ(list->GetCurSel(), -1);
  Key(VK_DOWN);  // an inactive cell: the key activates the list, which keeps no selection
  g->CGXGridCore::UpdateWindow();
  Pump();
  ASSERT_TRUE(list->GetEditingState());
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_FALSE(list->GetModifiedState());
  Key(VK_TAB);
  EXPECT_EQ(Value(), "zzz");
}

TEST_F(ListBoxTest, KeysMoveTheSelectionOrGoToTheGridAsTheTableSays) {
  Grid("beta");
  Key(VK_HOME);  // activates
  g->CGXGridCore::UpdateWindow();
  Pump();
  ASSERT_EQ(::GetFocus(), list->m_hWnd);
  EXPECT_EQ(list->GetCurSel(), 1);
  Key(VK_DOWN);  // in the list
  EXPECT_EQ(list->GetCurSel(), 2);
  Key(VK_END);
  EXPECT_EQ(list->GetCurSel(), 3);
  EXPECT_EQ(CurrentCol(g), 1u);
  Key(VK_RIGHT);  // to the grid: moves on, storing the user's line
  EXPECT_EQ(CurrentCol(g), 2u);
  EXPECT_EQ(Value(), "delta");
  // From an inactive list cell the grid's keys stay the grid's.
  Grid("beta");
  Key(VK_TAB);
  EXPECT_EQ(CurrentCol(g), 2u);
  EXPECT_FALSE(list->GetEditingState());
  Grid("beta");
  Key(VK_SHIFT);
  EXPECT_FALSE(list->GetEditingState());
  // The list asks the dialog manager for arrows, tabs and characters.
  EXPECT_EQ(list->SendMessage(WM_GETDLGCODE) & 0x83, 0x83);
}

TEST_F(ListBoxTest, AReadOnlyCellPutsItsLineBackAndKeepsItsValue) {
  CGXStyle readOnly;
  readOnly.SetReadOnly(TRUE);
  Grid("beta", 80, "alpha\nbeta\ngamma\ndelta", readOnly);
  ClickLine(3);
  EXPECT_EQ(list->GetCurSel(), 1);
  EXPECT_FALSE(list->GetModifiedState());
  Key(VK_TAB);
  EXPECT_EQ(Value(), "beta");
}

TEST_F(ListBoxTest, EditTextSelectsTheEqualOrFirstBeginningLine) {
  Grid("alpha", 80, "ab\na\nabc");
  list->SetEditText("a");
  EXPECT_EQ(list->GetCurSel(), 1);  // equal before prefix
  EXPECT_TRUE(list->GetModifiedState());
  list->SetEditText("abc");
  EXPECT_EQ(list->GetCurSel(), 2);
  Grid("beta");
  list->SetEditText("gam");
  EXPECT_EQ(list->GetCurSel(), 2);
  list->SetModifiedState(FALSE);
  g->Take();
  list->SetEditText("nothing");  // no line: nothing changes
  EXPECT_EQ(list->GetCurSel(), 2);
  EXPECT_FALSE(list->GetModifiedState());
  EXPECT_EQ(g->Take(), Log{});
}

TEST_F(ListBoxTest, TheSelectionOfAModifiedListSurvivesARepaint) {
  Grid("alpha");
  ClickLine(3);
  ASSERT_EQ(list->GetCurSel(), 3);
  g->Invalidate();
  g->CGXGridCore::UpdateWindow();
  Pump();
  EXPECT_EQ(list->GetCurSel(), 3);
  Key(VK_TAB);
  EXPECT_EQ(Value(), "delta");
}

TEST_F(ListBoxTest, CellSizeGrowsWithTheLinesAndTheWidestLine) {
  Grid("a");
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  CClientDC dc(nullptr);
  const CSize three = list->ComputeCellSize(&dc, 2, 1, style.SetChoiceList("a\nb\nc"), nullptr, TRUE);
  const CSize six = list->ComputeCellSize(&dc, 2, 1, style.SetChoiceList("a\nb\nc\na\nb\nwider line"), nullptr, TRUE);
  EXPECT_EQ(six.cy - three.cy, 3 * (three.cy - list->ComputeCellSize(&dc, 2, 1, style.SetChoiceList("a\nb"), nullptr, TRUE).cy));
  EXPECT_GT(six.cx, three.cx);
}

TEST_F(ListBoxTest, TheListsLossOfFocusReachesTheGrid) {
  Grid("alpha");
  ClickLine(0);
  ASSERT_EQ(::GetFocus(), list->m_hWnd);
  EXPECT_TRUE(g->m_bHasFocus);
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 10, 10), nullptr, 0));
  other.SetFocus();
  Pump();
  EXPECT_FALSE(g->m_bHasFocus);
  other.DestroyWindow();
}

}  // namespace
}  // namespace enginetest
