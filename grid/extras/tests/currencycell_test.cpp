// The currency cell end to end on the recording test grid: display under its attributes, editing by keys
// and mouse, storing the plain amount, the calculator button, and find and replace over the formatted text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/tests/gxwindowtest.h"
#include "grid/extras/CGXBCalculator.h"
#include "grid/extras/CGXCurrencyEdit.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/display/ReferenceImage.h"

namespace {

using namespace extrastest;

class CurrencyCellTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    g = MakeRecordingGrid(6, 3, 400, 200);
    g->SetColWidth(1, 3, 110, nullptr, 0);
    g->RedrawAll(GX_INVALIDATE);
    Pump();
  }
  void TearDown() override {
    CGXFindReplaceState::Get() = CGXFindReplaceState();
    ExtrasTest::TearDown();
  }
  static CGXStyle Currency(const char* value, const char* attributes = "11 0", const char* separators = ",.") {
    CGXStyle s;
    s.SetControl(GX_IDS_CTRL_CURRENCY).SetValue(value);
    s.SetUserAttribute(GX_IDS_UA_CURRENCYSYMBOL, "$").SetUserAttribute(GX_IDS_UA_CURRENCYSEP, separators);
    s.SetUserAttribute(GX_IDS_UA_CURRPOSFORMAT, "0").SetUserAttribute(GX_IDS_UA_CURRNEGFORMAT, "1");
    s.SetUserAttribute(GX_IDS_UA_CURRNUMDECIMALS, "2").SetUserAttribute(GX_IDS_UA_CURRENCYDEF, attributes);
    return s;
  }
  CString Display(ROWCOL row, ROWCOL col) { return DisplayText(g, row, col); }
  CGXCurrencyEdit* Control() { return ControlOf<CGXCurrencyEdit>(g, GX_IDS_CTRL_CURRENCY); }
  // Makes the cell current and starts editing it with End.
  void Edit(ROWCOL row, ROWCOL col) {
    g->MoveCurrentCellTo(row, col);
    Pump();
    Key(VK_END);
  }
  CString WindowText() {
    CString t;
    Control()->GetWindowText(t);
    return t;
  }
  enginetest::RecordingGrid* g = nullptr;
};

TEST_F(CurrencyCellTest, ShowsTheAmountByItsAttributesAndStoresThePlainValue) {
  SetCell(g, 1, 1, Currency("-1234.5"));
  SetCell(g, 2, 1, Currency("1234.5", "11 0", ".,"));
  SetCell(g, 3, 1, Currency("0.5", "01 1"));
  CGXStyle noSymbol = Currency("7");
  noSymbol.SetUserAttribute(GX_IDS_UA_CURRENCYSYMBOL, "0");
  SetCell(g, 4, 1, noSymbol);
  SetCell(g, 5, 1, Currency("2", "1"));  // a one-character attributes value stands for "11 1"
  EXPECT_EQ(Display(1, 1), "-$1,234.50");
  EXPECT_EQ(Display(2, 1), "$1.234,50");
  EXPECT_EQ(Display(3, 1), "$.50");
  EXPECT_EQ(Display(4, 1), "7.00");
  EXPECT_EQ(Display(5, 1), "$2.00");

  Edit(1, 1);
  EXPECT_TRUE(Control()->GetEditingState());
  EXPECT_EQ(WindowText(), "-$1,234.50");
  Key(VK_END);  // no selection: each '-' flips the sign
  Type("--");  // the sign back and forth: modified, same amount
  Key(VK_DOWN);
  EXPECT_EQ(g->GetCellValue(1, 1), "-1234.50");
  Edit(2, 1);
  Key(VK_END);
  Type("--");
  Key(VK_DOWN);
  EXPECT_EQ(g->GetCellValue(2, 1), "1234.50");
  // Typed or pasted text is stored as the plain amount.
  CString typed = "$1.000,25";
  EXPECT_TRUE(Control()->ConvertTextForCell(typed, 2, 1, Currency("", "11 0", ".,")));
  EXPECT_EQ(typed, "1000.25");
  CString bad = "abc";
  EXPECT_FALSE(Control()->ConvertTextForCell(bad, 2, 1, Currency("")));
}

TEST_F(CurrencyCellTest, TheDecimalLineStandsForTheSeparatorWhileEditing) {
  SetCell(g, 1, 1, Currency("0.5", "01 1"));
  Edit(1, 1);
  EXPECT_EQ(WindowText(), "$.50");
  g->MoveCurrentCellTo(1, 1);
  Control()->SetSel(-1, 0);
  Pump();
  auto shot = enginetest::Shot(g->GridHwnd());
  ASSERT_TRUE(shot);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*shot, "grid/extras/tests/reference/currency-decimal-line.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

TEST_F(CurrencyCellTest, TheCalculatorButtonAndItsResult) {
  SetCell(g, 1, 1, Currency("3"));
  SetCell(g, 2, 1, Currency("3", "11 1"));
  Edit(1, 1);
  EXPECT_FALSE(Control()->HasButtonBitmap());
  Key(VK_DOWN);
  Pump();
  Edit(2, 1);
  EXPECT_TRUE(Control()->HasButtonBitmap());
  Control()->SendMessage(WM_SYSKEYDOWN, VK_DOWN, 0x20000000);  // Alt+Down
  Pump();
  CWnd* popup = CWnd::FromHandlePermanent(::GetFocus());
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->IsKindOf(RUNTIME_CLASS(CGXBPopupCalculator))) << popup->GetRuntimeClass()->m_lpszClassName;
  plat::Desktop::PaintAll();
  auto desktop = plat::Desktop::Compose();
  ASSERT_TRUE(desktop);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*desktop, "grid/extras/tests/reference/currency-calculator.png");
  EXPECT_TRUE(match.Matches()) << match.message;
  Type("*4");
  Key(VK_RETURN);
  EXPECT_EQ(WindowText(), "$12.00");
  Key(VK_DOWN);
  EXPECT_EQ(g->GetCellValue(2, 1), "12.00");
  // F2 opens it too.
  Edit(2, 1);
  Key(VK_F2);
  popup = CWnd::FromHandlePermanent(::GetFocus());
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(popup->IsKindOf(RUNTIME_CLASS(CGXBPopupCalculator)));
  Key(VK_ESCAPE);
  EXPECT_EQ(g->GetCellValue(2, 1), "12.00");
}

TEST_F(CurrencyCellTest, KeysStartEditingAndLeaveTheCellAtTheTextEnds) {
  SetCell(g, 1, 1, Currency("0"));
  SetCell(g, 1, 2, Currency("0"));
  g->MoveCurrentCellTo(1, 1);
  Pump();
  g->Take();
  Type("7");
  EXPECT_TRUE(Control()->GetEditingState());
  EXPECT_EQ(WindowText(), "$7.00");
  Key(VK_HOME);
  Key(VK_LEFT);  // at the first character: the grid moves left (nothing there: column 1)
  ROWCOL row = 0, col = 0;
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(col, 1u);
  Key(VK_END);
  Key(VK_RIGHT);
  g->QueryCurrentCell(&row, &col);
  EXPECT_EQ(col, 2u);
  EXPECT_EQ(g->GetCellValue(1, 1), "7.00");
}

TEST_F(CurrencyCellTest, ReadOnlyCellsRefuseTyping) {
  CGXStyle s = Currency("5");
  s.SetReadOnly(TRUE);
  SetCell(g, 1, 1, s);
  g->MoveCurrentCellTo(1, 1);
  Pump();
  Type("9");
  EXPECT_FALSE(Control()->GetEditingState());
  EXPECT_EQ(g->GetCellValue(1, 1), "5");
}

TEST_F(CurrencyCellTest, FindAndReplaceWorkOnTheFormattedText) {
  SetCell(g, 1, 1, Currency("1234.5"));
  SetCell(g, 2, 1, Currency("99"));
  CGXFindReplaceState& state = CGXFindReplaceState::Get();
  state.m_strFind = "1,234";
  state.m_strReplace = "2,345";
  const auto asArg = [](auto v) { return static_cast<DWORD_PTR>(v); };
  CGXControl* control = g->ControlForCell(1, 1);
  EXPECT_TRUE(control->FindInCell(reinterpret_cast<DWORD_PTR>(&state), asArg(1), asArg(1), TRUE, FALSE));
  EXPECT_FALSE(control->FindInCell(reinterpret_cast<DWORD_PTR>(&state), asArg(2), asArg(1), TRUE, FALSE));
  EXPECT_TRUE(control->ReplaceInCell(reinterpret_cast<DWORD_PTR>(&state), asArg(1), asArg(1)));
  EXPECT_EQ(g->GetCellValue(1, 1), "2345.50");
  EXPECT_EQ(Display(1, 1), "$2,345.50");
  state.m_strFind = "$";
  state.m_strReplace = "(";
  EXPECT_FALSE(control->ReplaceInCell(reinterpret_cast<DWORD_PTR>(&state), asArg(2), asArg(1)));  // no amount
  EXPECT_EQ(g->GetCellValue(2, 1), "99");
  // Found with selection: the cell becomes current and edits with the match selected.
  state.m_strFind = "$9";
  EXPECT_TRUE(control->FindInCell(reinterpret_cast<DWORD_PTR>(&state), asArg(2), asArg(1), TRUE, TRUE));
  EXPECT_TRUE(Control()->GetEditingState());
  CString selected;
  Control()->GetSelectedText(selected);
  EXPECT_EQ(selected, "$9");
}

// A replaced amount goes in only as a pasted one: one amount alone, within 15 significant digits. The doors:
// Replace All over another cell (0) and over the edited one (1), Replace (2), Shift+Insert (3) and Ctrl+V (4) over
// the edited selection.
TEST_F(CurrencyCellTest, AReplacedAmountIsTakenOnlyAsAPastedOne) {
  const std::pair<const char*, double> rows[] = {
      {"2,345", 2345.5}, {"12,345,678,901,234,567", 1234.5}, {"6/15/2", 1234.5}, {"1e4", 1234.5}};
  CGXFindReplaceState& state = CGXFindReplaceState::Get();
  for (int door = 0; door < 5; ++door) {
    for (const auto& [replace, stored] : rows) {
      SetCell(g, 1, 1, Currency("1234.5"));
      state.m_strFind = "1,234";
      state.m_strReplace = replace;
      if (door > 0) Edit(1, 1), Control()->SetSel(1, 6);  // "1,234"
      if (door < 2) Control()->ReplaceInCell(reinterpret_cast<DWORD_PTR>(&state), 1, 1);
      if (door == 2) Control()->ReplaceSelectedText(replace);
      if (door == 3) gxtest::PutClipboardText(replace), Chord(VK_SHIFT, VK_INSERT);
      if (door == 4) gxtest::PutClipboardText(replace), Chord(VK_CONTROL, 'V');
      Key(VK_DOWN);  // stores the edit
      EXPECT_EQ(std::atof(g->GetCellValue(1, 1)), stored) << door << " " << replace;
    }
  }
}

}  // namespace
