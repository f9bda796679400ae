#include "grid/formula/tests/GxTestSupport.h"

#include <string>

namespace {

class GxRecalc : public gxtest::SheetTest {
protected:
    void change(int32_t row, int32_t col, double v) {
        number(row, col, v);
        touched(row, col);
    }
};

TEST_F(GxRecalc, EntryClassifiesFormulas) {
    ASSERT_TRUE(formula(1, 0, "=5"));
    EXPECT_EQ(GX_KIND_NUMBER, cell(1, 0)->kind());
    EXPECT_EQ(nullptr, cell(1, 0)->expr);
    for (const char* t : {"=5;1", "=5//c", "=0x5", "=1+2"}) {
        ASSERT_TRUE(formula(2, 0, t));
        EXPECT_EQ(GX_KIND_CONSTFORMULA, cell(2, 0)->kind()) << t;
        EXPECT_EQ(GX_VAL_NUMBER, cell(2, 0)->valueType()) << t; // computed at entry
    }
    for (const char* t : {"=5\\A1", "=A1", "=SUM(1)", "=#{1}", "=B1..C2"}) {
        ASSERT_TRUE(formula(3, 0, t));
        EXPECT_EQ(GX_KIND_FORMULA, cell(3, 0)->kind()) << t;
    }
    // A failed parse leaves the old cell as it was.
    number(4, 0, 42);
    EXPECT_FALSE(formula(4, 0, "=1+"));
    EXPECT_EQ(274, _gx_get_error_code());
    EXPECT_EQ(42, num(4, 0));
    EXPECT_EQ(0, _gx_enter_formula(sheet, 0, 0, "=1", 0, nullptr));
}

TEST_F(GxRecalc, DependencyOrderIsFollowedWhateverTheEntryOrder) {
    // Entered from the end of the chain back to its start.
    for (int r = 10; r >= 2; --r) ASSERT_TRUE(formula(r, 0, ("=A" + std::to_string(r - 1) + "+1").c_str()));
    ASSERT_TRUE(formula(1, 1, "=A10*2+SUM(A1..A3)"));
    change(1, 0, 1);
    recalc();
    EXPECT_EQ(10, num(10, 0));
    EXPECT_EQ(26, num(1, 1));
    change(1, 0, 100);
    recalc();
    EXPECT_EQ(109, num(10, 0));
    EXPECT_EQ(2 * 109 + 100 + 101 + 102, num(1, 1));
}

TEST_F(GxRecalc, OnlyCellsReachedFromAChangeAreRecomputed) {
    number(1, 0, 1);
    number(1, 1, 1);
    ASSERT_TRUE(formula(2, 0, "=A1+1"));
    ASSERT_TRUE(formula(2, 1, "=B1+1"));
    recalc(); // everything: the list is empty
    EXPECT_EQ(2, num(2, 1));
    const uint32_t stampB = cell(2, 1)->stamp;
    change(1, 0, 5);
    recalc();
    EXPECT_EQ(6, num(2, 0));
    EXPECT_EQ(stampB, cell(2, 1)->stamp);
}

TEST_F(GxRecalc, CyclesAndTheIterationLimit) {
    _gx_set_blanks_zero(sheet, 1);
    ASSERT_TRUE(formula(1, 0, "=B1+1"));
    ASSERT_TRUE(formula(1, 1, "=A1+1"));
    _gx_set_iteration_limit(sheet, 0);
    recalc();
    // The walk starts at A1, so B1 meets its precedent still active.
    EXPECT_TRUE(cell(1, 1)->flags & GX_CF_CYCLE);
    EXPECT_FALSE(cell(1, 0)->flags & GX_CF_CYCLE);
    EXPECT_EQ(1, _gx_sheet_get(sheet)->cyclePending);
    EXPECT_EQ(1, num(1, 1));
    EXPECT_EQ(2, num(1, 0));
    _gx_set_iteration_limit(sheet, 5);
    recalc(); // one pass and five more, each adding 2
    EXPECT_EQ(2 + 12, num(1, 0));
    EXPECT_EQ(1 + 12, num(1, 1));
}

// Many stores before one recalculation (a pasted column): the formulas on the first and the last stored
// cells are both recomputed, and one on a cell no store touched is not.
TEST_F(GxRecalc, AFormulaOnAnyOfManyStoredCellsIsRecomputed) {
    for (int32_t row = 1; row <= 2000; ++row) number(row, 0, 1);
    ASSERT_TRUE(formula(1, 2, "=A1*10"));
    ASSERT_TRUE(formula(2, 2, "=A2000*10"));
    number(1, 5, 3);
    ASSERT_TRUE(formula(3, 5, "=F1*10"));
    recalc();
    const uint32_t untouched = cell(3, 5)->stamp;
    for (int32_t row = 1; row <= 2000; ++row) change(row, 0, row);
    recalc();
    EXPECT_EQ(10, num(1, 2));
    EXPECT_EQ(20000, num(2, 2));
    EXPECT_EQ(30, num(3, 5));
    EXPECT_EQ(untouched, cell(3, 5)->stamp);
}

TEST_F(GxRecalc, ManualModeForgetsChangesUntilForced) {
    number(1, 0, 1);
    ASSERT_TRUE(formula(2, 0, "=A1*10"));
    ASSERT_TRUE(formula(3, 0, "=A2+1"));
    recalc();
    EXPECT_EQ(11, num(3, 0));
    _gx_set_manual_recalc(sheet, 1);
    change(1, 0, 2);
    EXPECT_EQ(0, _gx_recalc(sheet));
    EXPECT_EQ(11, num(3, 0));
    EXPECT_EQ(nullptr, _gx_sheet_get(sheet)->changedRanges);
    EXPECT_EQ(1, _gx_recalc_forced(sheet));
    EXPECT_EQ(21, num(3, 0));
    EXPECT_EQ(1, _gx_get_manual_recalc(sheet));
}

TEST_F(GxRecalc, OnDemandModeRecomputesWhenACellIsRead) {
    _gx_set_recalc_method(sheet, 0);
    number(1, 0, 1);
    ASSERT_TRUE(formula(2, 0, "=A1+1"));
    ASSERT_TRUE(formula(3, 0, "=A2+1"));
    recalc();
    EXPECT_EQ(GX_VAL_NONE, cell(3, 0)->valueType()); // a pass computes nothing
    _gx_recalc_cell(sheet, cell(3, 0));
    EXPECT_EQ(3, num(3, 0));
    EXPECT_EQ(2, num(2, 0));
    change(1, 0, 10);
    recalc();
    EXPECT_EQ(3, num(3, 0));
    _gx_recalc_cell(sheet, cell(3, 0));
    EXPECT_EQ(12, num(3, 0));
}

TEST_F(GxRecalc, LongChainOnDemandDoesNotExhaustTheStack) {
    constexpr int kCells = 100000;
    _gx_set_recalc_method(sheet, 0);
    number(1, 0, 1);
    for (int r = 2; r <= kCells; ++r) ASSERT_TRUE(formula(r, 0, ("=A" + std::to_string(r - 1) + "+1").c_str()));
    recalc();
    _gx_recalc_cell(sheet, cell(kCells, 0));
    EXPECT_EQ(kCells, num(kCells, 0));
    change(1, 0, 0);
    recalc();
    _gx_recalc_cell(sheet, cell(kCells, 0));
    EXPECT_EQ(kCells - 1, num(kCells, 0));
    EXPECT_EQ(kCells / 2 - 1, num(kCells / 2, 0));
}

TEST_F(GxRecalc, OffsetReferencesAreDependentAndOrdered) {
    number(1, 0, 1);
    ASSERT_TRUE(formula(5, 2, "=#{0,-1}*2")); // reads C4, entered before it
    ASSERT_TRUE(formula(4, 2, "=A1+1"));
    EXPECT_EQ(GX_KIND_FORMULA, cell(5, 2)->kind());
    change(1, 0, 4);
    recalc();
    EXPECT_EQ(10, num(5, 2));
}

TEST_F(GxRecalc, ConstraintsAreCountedAndReported) {
    number(1, 0, -1);
    number(2, 0, -2);
    ASSERT_TRUE(formula(1, 1, "=A1;A1>0"));
    ASSERT_TRUE(formula(2, 1, "=A2;A2>0"));
    _gx_set_constraint_check(sheet, 1);
    _gx_request_report(sheet);
    recalc();
    EXPECT_STREQ("There are 2 constraint violations!", _gx_sheet_get(sheet)->messageBuffer);
    EXPECT_TRUE(cell(1, 1)->flags & GX_CF_VIOLATED);
    EXPECT_EQ(0, _gx_sheet_get(sheet)->reportPending);
    change(2, 0, 5);
    _gx_request_report(sheet);
    recalc();
    EXPECT_STREQ("There is 1 constraint violation!", _gx_sheet_get(sheet)->messageBuffer);
    EXPECT_FALSE(cell(2, 1)->flags & GX_CF_VIOLATED);
    change(1, 0, 5);
    _gx_request_report(sheet);
    recalc();
    EXPECT_EQ(1, _gx_sheet_get(sheet)->reportPending); // none: the request stays
}

TEST_F(GxRecalc, ErrorReportNamesTheCell) {
    ASSERT_TRUE(formula(3, 27, "=A1+1"));
    _gx_request_report(sheet);
    recalc();
    EXPECT_STREQ("Cell AB3: ERROR:  cell operand contains error condition ", _gx_sheet_get(sheet)->messageBuffer);
    EXPECT_EQ(0, _gx_sheet_get(sheet)->reportPending);
}

TEST_F(GxRecalc, FirstValueIsKeptUntilRecomputed) {
    GX_VALUE v;
    v.type = GX_VAL_NUMBER;
    v.number = 77;
    ASSERT_EQ(1, _gx_enter_formula(sheet, 1, 1, "=A1", 0, &v));
    EXPECT_EQ(77, num(1, 1));
    EXPECT_TRUE(cell(1, 1)->flags & GX_CF_VISITED);
    EXPECT_TRUE(cell(1, 1)->flags & GX_CF_CHANGED);
}

TEST_F(GxRecalc, ClearingARange) {
    GX_RANGE r;
    _gx_make_range_ref(&r, 100, 0, 200, 5, 0);
    EXPECT_EQ(0, _gx_clear_range(sheet, &r));
    number(1, 0, 1);
    number(2, 0, 2);
    ASSERT_TRUE(formula(3, 0, "=A1+A2"));
    _gx_make_range_ref(&r, 1, 0, 2, 0, 0);
    _gx_sheet_get(sheet)->undoRecording = 1;
    EXPECT_EQ(1, _gx_clear_range(sheet, &r));
    _gx_sheet_get(sheet)->undoRecording = 0;
    EXPECT_EQ(nullptr, cell(1, 0));
    int onChain = 0;
    for (GX_CELL* c = _gx_sheet_get(sheet)->undoChain; c; c = c->next) ++onChain;
    EXPECT_EQ(2, onChain);
    recalc();
    EXPECT_EQ(60, err(3, 0));
}

TEST_F(GxRecalc, OutOfMemoryFailsTheEntryAndKeepsTheOldCell) {
    number(1, 0, 3);
    _gx_fail_allocations_after(1); // the parse succeeds, the cell record fails
    EXPECT_FALSE(formula(1, 0, "=1+A2"));
    _gx_fail_allocations_after(-1);
    EXPECT_EQ(5, _gx_get_error_code());
    EXPECT_EQ(3, num(1, 0));
}

} // namespace
