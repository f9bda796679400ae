// The formula sheet as a cell store: entering texts, numbers, dates and formulas, reading styles and texts,
// the store's removal modes, constraints and the engine settings.
#include <gtest/gtest.h>

#include <functional>

#include "grid/core/CGXStylesMap.h"
#include "grid/formula/tests/sheettest.h"

namespace {

using sheettest::SheetTest;

TEST_F(SheetTest, SetValueTextTellsNumbersNotAvailableApostrophesFormulasDatesAndTexts) {
  MakeSheetGrid(10, 5);
  ASSERT_TRUE(sheet->SetValueText(1, 1, "12.5"));
  double n = 0;
  EXPECT_TRUE(sheet->GetNumberValue(1, 1, n));
  EXPECT_DOUBLE_EQ(n, 12.5);
  EXPECT_EQ(Expr(1, 1), "12.5");
  // "#N/A" in any case: the empty result, shown and edited as "#N/A".
  for (const char* na : {"#N/A", "#n/a", "#N/a"}) {
    ASSERT_TRUE(sheet->SetValueText(2, 1, na)) << na;
    EXPECT_EQ(Value(2, 1), "#N/A");
    EXPECT_EQ(Expr(2, 1), "#N/A");
    EXPECT_FALSE(sheet->GetNumberValue(2, 1, n));
  }
  // An apostrophe keeps the rest as text, even a number or a formula; the expression shows it again.
  ASSERT_TRUE(sheet->SetValueText(3, 1, "'=1+2"));
  EXPECT_EQ(Value(3, 1), "=1+2");
  EXPECT_EQ(Expr(3, 1), "'=1+2");
  ASSERT_TRUE(sheet->SetValueText(3, 2, "'42"));
  EXPECT_FALSE(sheet->GetNumberValue(3, 2, n));
  // A formula computes from its precedents.
  ASSERT_TRUE(sheet->SetValueText(4, 1, "=A1*2"));
  EXPECT_EQ(Value(4, 1), "25");
  EXPECT_EQ(Expr(4, 1), "=A1*2");
  // Anything else is text.
  ASSERT_TRUE(sheet->SetValueText(5, 1, "hello"));
  EXPECT_EQ(Value(5, 1), "hello");
  EXPECT_EQ(Expr(5, 1), "'hello");
}

TEST_F(SheetTest, DatesBecomeNumbersWithADayATimeOrADateTimeFormat) {
  MakeSheetGrid(10, 5);
  UINT places = 99;
  ASSERT_TRUE(sheet->SetValueText(1, 1, "3/15/2024"));
  EXPECT_EQ(sheet->GetNumberFormat(1, 1, &places), gxfs::kFormatDate);
  EXPECT_EQ(places, 0u);
  double n = 0;
  ASSERT_TRUE(sheet->GetNumberValue(1, 1, n));
  EXPECT_DOUBLE_EQ(n, 45366.0);
  ASSERT_TRUE(sheet->SetValueText(1, 2, "6:30 PM"));
  EXPECT_EQ(sheet->GetNumberFormat(1, 2, nullptr), gxfs::kFormatTime);
  ASSERT_TRUE(sheet->GetNumberValue(1, 2, n));
  EXPECT_NEAR(n, 0.770833333, 1e-8);
  ASSERT_TRUE(sheet->SetValueText(1, 3, "3/15/2024 6:00 AM"));
  EXPECT_EQ(sheet->GetNumberFormat(1, 3, nullptr), gxfs::kFormatDateTime);
  // The expression text of a date shows it through its format, so that editing keeps a date.
  EXPECT_NE(Expr(1, 1).Find("2024"), -1) << Expr(1, 1).GetString();
  // A number typed into a date cell makes it a general number with 15 places.
  ASSERT_TRUE(sheet->SetValueText(1, 1, "7"));
  EXPECT_EQ(sheet->GetNumberFormat(1, 1, &places), gxfs::kFormatGeneral);
  EXPECT_EQ(places, 15u);
}

TEST_F(SheetTest, NumbersShowFourteenDigitsAndCyclesShowUntilIterationIsAllowed) {
  MakeSheetGrid(10, 5);
  sheet->SetValueText(1, 1, "0.1");
  sheet->SetValueText(1, 2, "=A1*3");
  EXPECT_EQ(Value(1, 2), "0.3");  // 0.30000000000000004 at 14 digits
  sheet->SetValueText(2, 1, "=1/3");
  EXPECT_EQ(Value(2, 1), "0.33333333333333");
  // A3 <- B3 <- A3: a cycle of two; the cell where the walk closes it shows "Cycle!".
  sheet->SetIterationLimit(0);
  sheet->SetBlanksAreZeros(TRUE);
  sheet->SetRecalcMethod(1);  // every formula in the pass, so that iterations compute
  sheet->SetValueText(3, 1, "=B3+1");
  sheet->SetValueText(3, 2, "=A3*0.5");
  Recalc();
  EXPECT_EQ(Value(3, 2), "Cycle!");
  // With iterations allowed the cycle converges (A3 = 2, B3 = 1) and shows its value.
  sheet->SetIterationLimit(60);
  sheet->SetRangeChanged(CGXRange(3, 1, 3, 2));
  Recalc();
  EXPECT_NE(Value(3, 2), "Cycle!");
  double n = 0;
  EXPECT_TRUE(sheet->GetNumberValue(3, 2, n));
  EXPECT_NEAR(n, 1.0, 1e-6);
}

// A product or negation that comes to zero is 0 on the sheet, not "-0", in the value and in the cell.
TEST_F(SheetTest, ZeroShowsWithoutASign) {
  CGXGridWnd* g = MakeSheetGrid(10, 5);
  sheet->SetValueText(1, 1, "0");
  const char* const formulas[] = {"=-A1", "=A1*-1", "=-0", "=-(1e-300*1e-300)"};
  ROWCOL row = 1;
  for (const char* f : formulas) {
    SCOPED_TRACE(f);
    sheet->SetValueText(row, 2, f);
    Recalc();
    EXPECT_EQ(Value(row, 2), "0");
    EXPECT_EQ(std::string(g->GetCellValue(row, 2)), "0");
    ++row;
  }
}

TEST_F(SheetTest, AFormulaThatDoesNotParseLeavesTheCellAndAMessage) {
  MakeSheetGrid(10, 5);
  sheet->SetValueText(2, 2, "5");
  sheet->RequestMessage();
  EXPECT_FALSE(sheet->SetValueText(2, 2, "=1+*"));
  EXPECT_EQ(Value(2, 2), "5");
  CString message;
  ASSERT_TRUE(sheet->GetMessage(message));
  EXPECT_EQ(message.Left(10), "Cell B2: E");
  EXPECT_NE(message.Find("ERROR: "), -1);
  EXPECT_NE(message.Find("(Pos "), -1);
  EXPECT_FALSE(sheet->SetExpression(2, 2, "1+2"));  // no leading "="
}

TEST_F(SheetTest, StoringAValueOnlyStyleCreatesNoStyleAndTheRemovalModesDelete) {
  MakeSheetGrid(10, 5);
  CGXStyle value;
  value.SetValue("7");
  ASSERT_TRUE(sheet->StoreStyle(1, 1, &value, gxOverride, 1));
  ASSERT_NE(sheet->FindCell(1, 1), nullptr);
  EXPECT_EQ(sheet->FindCell(1, 1)->style, nullptr);
  // A cell with a style of its own: copying a value-only style drops the style and keeps the value.
  CGXStyle red;
  red.SetInteriorColor(RGB(255, 0, 0)).SetValue("8");
  ASSERT_TRUE(sheet->StoreStyle(1, 1, &red, gxOverride, 1));
  ASSERT_NE(sheet->FindCell(1, 1)->style, nullptr);
  CGXStyle read;
  ASSERT_TRUE(sheet->GetStyle(1, 1, read, gxCopy, 0));
  EXPECT_TRUE(read.IsIncluded(GX_IN_INTERIOR));
  EXPECT_EQ(read.GetValue(), "8");
  EXPECT_EQ(read.GetValueType(), GX_VT_NUMBER);
  ASSERT_TRUE(sheet->StoreStyle(1, 1, &value, gxCopy, 1));
  EXPECT_EQ(sheet->FindCell(1, 1)->style, nullptr);
  EXPECT_EQ(Value(1, 1), "7");
  // Mode 2 with nothing included deletes the cell.
  CGXStyle empty;
  ASSERT_TRUE(sheet->StoreStyle(1, 1, &empty, gxCopy, 1));
  EXPECT_EQ(sheet->FindCell(1, 1), nullptr);
  // Mode 3: excluding the value of a cell with a style keeps the cell without value; without a style the
  // cell goes; nothing to do where there is no cell.
  ASSERT_TRUE(sheet->StoreStyle(2, 1, &red, gxOverride, 1));
  ASSERT_TRUE(sheet->StoreStyle(2, 1, &value, gxExclude, 1));
  ASSERT_NE(sheet->FindCell(2, 1), nullptr);
  EXPECT_EQ(Value(2, 1), "");
  EXPECT_NE(sheet->FindCell(2, 1)->style, nullptr);
  ASSERT_TRUE(sheet->StoreStyle(3, 1, &value, gxOverride, 1));
  ASSERT_TRUE(sheet->StoreStyle(3, 1, &value, gxExclude, 1));
  EXPECT_EQ(sheet->FindCell(3, 1), nullptr);
  ASSERT_TRUE(sheet->StoreStyle(4, 1, &value, gxExclude, 1));
  EXPECT_EQ(sheet->FindCell(4, 1), nullptr);
  // Mode 4 deletes, style and all.
  ASSERT_TRUE(sheet->StoreStyle(2, 1, nullptr, gxRemove, 1));
  EXPECT_EQ(sheet->FindCell(2, 1), nullptr);
  // Type 0 stores the text as it is; a number-typed value as a number.
  CGXStyle formula;
  formula.SetValue("=1+1");
  ASSERT_TRUE(sheet->StoreStyle(5, 1, &formula, gxOverride, 0));
  EXPECT_EQ(Value(5, 1), "=1+1");
  CGXStyle number;
  number.SetValue("3.25").SetValueType(GX_VT_NUMBER);
  ASSERT_TRUE(sheet->StoreStyle(5, 2, &number, gxOverride, 0));
  double n = 0;
  EXPECT_TRUE(sheet->GetNumberValue(5, 2, n));
}

TEST_F(SheetTest, GetStyleGivesTheExpressionForTypeOneAndTheValueOtherwise) {
  MakeSheetGrid(10, 5);
  sheet->SetValueText(1, 1, "4");
  sheet->SetValueText(1, 2, "=A1+1");
  CGXStyle s;
  ASSERT_TRUE(sheet->GetStyle(1, 2, s, gxCopy, 1));
  EXPECT_EQ(s.GetValue(), "=A1+1");
  EXPECT_EQ(s.GetValueType(), GX_VT_FORMULA);
  ASSERT_TRUE(sheet->GetStyle(1, 2, s, gxCopy, 0));
  EXPECT_EQ(s.GetValue(), "5");
  EXPECT_FALSE(sheet->GetStyle(3, 3, s, gxCopy, 0));
  // A long formula's expression text is whole.
  CString longFormula = "=A1";
  while (longFormula.GetLength() < 600) longFormula += "+123456789.125";
  ASSERT_TRUE(sheet->SetValueText(2, 1, longFormula)) << "parse";
  EXPECT_EQ(Expr(2, 1), longFormula);
  // A long text is whole: its apostrophe and its 700 characters.
  CString longText(static_cast<char>('x'), 700);
  ASSERT_TRUE(sheet->SetValueText(2, 2, longText));
  EXPECT_EQ(Expr(2, 2), "'" + longText);
}

TEST_F(SheetTest, NumberValuesAnswerOneOnlyForNumbersAndFormatsNeedAGrid) {
  CGXFormulaSheet alone;
  EXPECT_FALSE(alone.SetNumberFormat(1, 1, 2, 3));
  EXPECT_EQ(alone.GetNumberFormat(1, 1, nullptr), 0u);
  alone.SetNumberValue(1, 1, 2.5);
  double n = 0;
  EXPECT_TRUE(alone.GetNumberValue(1, 1, n));
  alone.SetTextValue(1, 2, "x");
  EXPECT_FALSE(alone.GetNumberValue(1, 2, n));
  EXPECT_EQ(n, 0.0);
  EXPECT_FALSE(alone.GetNumberValue(9, 9, n));
  MakeSheetGrid(5, 5);
  UINT places = 0;
  ASSERT_TRUE(sheet->SetNumberFormat(2, 2, 2, 3));
  EXPECT_EQ(sheet->GetNumberFormat(2, 2, &places), 2u);
  EXPECT_EQ(places, 3u);
  EXPECT_EQ(Value(2, 2), "");  // created as a cell without value
}

TEST_F(SheetTest, AViolatedConstraintShowsTheRedBaseStyle) {
  CGXGridWnd* g = MakeSheetGrid(5, 5);
  sheet->SetConstraintCheck(TRUE);
  CGXStylesMap* map = g->GetStylesMap();
  const WORD id = map->GetIdFromResourceId(gxfs::kConstraintViolation);
  ASSERT_NE(id, 0);
  CGXStyle* registered = nullptr;
  ASSERT_TRUE(map->LookupStyle(id, registered));
  sheet->SetValueText(1, 1, "5");
  sheet->SetValueText(1, 2, "=A1*2;A1<10");
  Recalc();
  CGXStyle s;
  ASSERT_TRUE(sheet->GetStyle(1, 2, s, gxCopy, 0));
  EXPECT_FALSE(s.IsIncluded(GX_IN_INTERIOR));
  sheet->SetValueText(1, 1, "50");
  sheet->SetRangeChanged(CGXRange(1, 1));
  sheet->RequestMessage();  // the grid asks for the report before it recalculates
  Recalc();
  CString message;
  ASSERT_TRUE(sheet->GetMessage(message));
  EXPECT_EQ(message, "There is 1 constraint violation!");
  ASSERT_TRUE(sheet->GetStyle(1, 2, s, gxCopy, 0));
  ASSERT_TRUE(s.IsIncluded(GX_IN_INTERIOR));
  EXPECT_EQ(s.GetInterior().GetColor(), RGB(255, 0, 0));
  EXPECT_TRUE(sheet->IsCellChanged(1, 2));
}

TEST_F(SheetTest, ChangedMarksFollowRecalculation) {
  MakeSheetGrid(5, 5);
  sheet->SetValueText(1, 1, "1");
  sheet->SetValueText(2, 1, "=A1+1");
  Recalc();
  EXPECT_EQ(Value(2, 1), "2");  // read, so visited in this pass
  sheet->SetCellChanged(2, 1, FALSE);
  EXPECT_FALSE(sheet->IsCellChanged(2, 1));
  sheet->SetValueText(1, 1, "2");
  sheet->SetRangeChanged(CGXRange(1, 1));
  Recalc();
  EXPECT_TRUE(sheet->IsCellChanged(2, 1));
  EXPECT_EQ(Value(2, 1), "3");
  EXPECT_FALSE(sheet->IsCellChanged(4, 4));
  EXPECT_FALSE(sheet->IsCellChanged(0, 9999999));
}

TEST_F(SheetTest, EvaluatingFreeStandingExpressions) {
  MakeSheetGrid(5, 5);
  sheet->SetValueText(1, 1, "6");
  CString text;
  EXPECT_TRUE(sheet->EvaluateExpressionText(text, "=A1*7"));
  EXPECT_EQ(text, "42");
  EXPECT_FALSE(sheet->EvaluateExpressionText(text, "=A1*"));
  EXPECT_NE(text.Find("ERROR: "), -1);
  EXPECT_FALSE(sheet->EvaluateExpressionText(text, "=1/0"));
  EXPECT_EQ(text, "Error!");
}

TEST_F(SheetTest, NamedRangesAreDefinedReadAndDeleted) {
  MakeSheetGrid(10, 5);
  sheet->SetValueText(1, 1, "2");
  sheet->SetValueText(2, 1, "3");
  ASSERT_TRUE(sheet->SetRangeName("rate", CGXRange(1, 1), nullptr));
  CGXRange r;
  ASSERT_TRUE(sheet->GetRangeName("rate", r));
  EXPECT_EQ(r, CGXRange(1, 1));
  ASSERT_TRUE(sheet->SetValueText(3, 1, "=rate*10"));
  EXPECT_EQ(Value(3, 1), "20");
  CStringArray names;
  sheet->GetNamesText(names);
  ASSERT_EQ(names.GetSize(), 1);
  EXPECT_EQ(names[0], "rate=A1");
  CObject* info = nullptr;
  EXPECT_TRUE(sheet->DeleteRangeName("rate", info, FALSE));
  EXPECT_EQ(info, nullptr);
  EXPECT_FALSE(sheet->GetRangeName("rate", r));
  EXPECT_EQ(Expr(3, 1), "=A1*10");  // the formula keeps the reference the name stood for
  EXPECT_FALSE(sheet->DeleteRangeName("rate", info, FALSE));
}

TEST_F(SheetTest, AnotherClassOfUndoObjectIsIgnored) {
  MakeSheetGrid(5, 5);
  CStringArray other;
  EXPECT_FALSE(sheet->ApplyUndoInfo(&other, TRUE, FALSE));
  CObject* info = &other;
  sheet->SetValueText(1, 1, "1");
  EXPECT_TRUE(sheet->MoveCells(CGXRange(1, 1), 2, 2, info, TRUE));
  EXPECT_EQ(info, &other);
  EXPECT_EQ(Value(2, 2), "1");
}

// The engine holds rows 1 to 8388607 and columns 1 to 4096: a cell past them is refused by every door that
// stores a cell or a block, as by the grid's store of a style, and the cells of the last row and column keep
// their values (such a store went into them).
TEST_F(SheetTest, APlaceBeyondTheLastRowOrColumnIsRefusedAtEveryStore) {
  const ROWCOL lastRow = GX_MAX_ROW, lastCol = GX_MAX_COL + 1;
  struct Row {
    const char* door;
    std::function<BOOL(CGXFormulaSheet*, ROWCOL, ROWCOL)> store;
  };
  const Row rows[] = {
      {"value text", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) { return s->SetValueText(r, c, "7"); }},
      {"expression", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) { return s->SetExpression(r, c, "=1+6"); }},
      {"text", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) { return s->SetTextValue(r, c, "seven"); }},
      {"empty text", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) { return s->SetTextValue(r, c, ""); }},
      {"number", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) { return s->SetNumberValue(r, c, 7); }},
      {"number format", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) { return s->SetNumberFormat(r, c, 11, 0); }},
      {"style", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) {
         CGXStyle style;
         style.SetValue("7");
         return s->StoreStyle(r, c, &style, gxOverride, 1);
       }},
      {"copied block", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) { return s->CopyCells(CGXRange(1, 1), r, c); }},
      {"moved block", [](CGXFormulaSheet* s, ROWCOL r, ROWCOL c) {
         CObject* info = nullptr;
         const BOOL ok = s->MoveCells(CGXRange(1, 1), r, c, info, FALSE);
         delete info;
         return ok;
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.door);
    MakeSheetGrid(10, 5);
    ASSERT_TRUE(sheet->SetValueText(1, 1, "5"));
    ASSERT_TRUE(sheet->SetValueText(lastRow, 1, "1"));
    ASSERT_TRUE(sheet->SetValueText(1, lastCol, "2"));
    EXPECT_FALSE(row.store(sheet, lastRow + 1, 1));
    EXPECT_FALSE(row.store(sheet, 1, lastCol + 1));
    EXPECT_EQ(Expr(lastRow, 1), "1");
    EXPECT_EQ(Expr(1, lastCol), "2");
    EXPECT_EQ(sheet->GetNumberFormat(lastRow, 1, nullptr), 0u);
    EXPECT_EQ(Expr(1, 1), "5");
  }
}

}  // namespace
