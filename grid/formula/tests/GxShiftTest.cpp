#include "grid/formula/tests/GxTestSupport.h"

#include <string>
#include <utility>

namespace {

class GxShift : public gxtest::SheetTest {
protected:
    int undoCount() {
        int n = 0;
        for (GX_CELL* c = _gx_sheet_get(sheet)->undoChain; c; c = c->next) ++n;
        return n;
    }
    std::string nameText(const char* name) {
        GX_RANGE r;
        if (!_gx_find_name(sheet, name, &r)) return "<none>";
        const char* t = _gx_ref_text(&r);
        return t ? t : "<null>";
    }
};

TEST_F(GxShift, InsertingRowsMovesReferencesBelowThePoint) {
    number(5, 0, 55);
    number(4, 0, 44);
    ASSERT_TRUE(formula(1, 1, "=A5+A4+SUM(A4..A6)+A8388607"));
    ASSERT_EQ(1, _gx_insert_rows(sheet, 5, 2));
    EXPECT_EQ("=A7+A4+SUM(A4..A8)+??", formulaText(1, 1));
    EXPECT_EQ(nullptr, cell(5, 0));
    EXPECT_EQ(55, num(7, 0));
    EXPECT_EQ(0, _gx_engine_state()->shifting);
    // A dependency-list item pushed off the sheet reads back as "??" too.
    ASSERT_TRUE(formula(2, 1, "=1\\A8388607,A1"));
    ASSERT_EQ(1, _gx_insert_rows(sheet, 5, 1));
    EXPECT_EQ("=1\\??,A1", formulaText(2, 1));
    EXPECT_EQ("=1\\??,A1", gxtest::roundTrip(sheet, "=1\\??,A1"));
    recalc();
    EXPECT_EQ(89, err(1, 1)); // the placeholder evaluates to an error
}

TEST_F(GxShift, RemovingRowsKeepsReferencesIntoThem) {
    for (int r = 1; r <= 10; ++r) number(r, 0, r);
    ASSERT_TRUE(formula(1, 1, "=A5+A10+SUM(A1..A10)"));
    ASSERT_EQ(1, _gx_remove_rows(sheet, 5, 2));
    // A5 keeps its coordinates and now names what moved up into it (old A7).
    EXPECT_EQ("=A5+A8+SUM(A1..A8)", formulaText(1, 1));
    EXPECT_EQ(7, num(5, 0));
    EXPECT_EQ(10, num(8, 0));
    EXPECT_EQ(nullptr, cell(9, 0));
    recalc();
    EXPECT_EQ(7 + 10 + (55 - 5 - 6), num(1, 1));
}

TEST_F(GxShift, RemovingRowsRecordsUndoOnlyWhileRecording) {
    for (int r = 1; r <= 6; ++r) number(r, 0, r);
    ASSERT_TRUE(formula(1, 1, "=A3"));
    ASSERT_EQ(1, _gx_remove_rows(sheet, 2, 2));
    EXPECT_EQ(0, undoCount());
    ASSERT_TRUE(formula(1, 1, "=A2"));
    _gx_sheet_get(sheet)->undoRecording = 1;
    ASSERT_EQ(1, _gx_remove_rows(sheet, 2, 1));
    // The removed cell, and the copy of the formula that refers into the removed row.
    EXPECT_EQ(2, undoCount());
    EXPECT_EQ(1, _gx_sheet_get(sheet)->undoRecording); // the flag is left as it stood
    bool sawRemoved = false, sawFormula = false;
    for (GX_CELL* c = _gx_sheet_get(sheet)->undoChain; c; c = c->next) {
        if (c->row == 2 && c->col == 0 && c->valueType() == GX_VAL_NUMBER && c->value.number == 4) sawRemoved = true;
        if (c->expr) sawFormula = true;
    }
    EXPECT_TRUE(sawRemoved);
    EXPECT_TRUE(sawFormula);
}

TEST_F(GxShift, InsertingAndRemovingColumns) {
    number(1, 2, 3);
    ASSERT_TRUE(formula(2, 0, "=C1+FAN1+$C$1"));
    ASSERT_EQ(1, _gx_insert_cols(sheet, 1, 1));
    EXPECT_EQ("=D1+??+$D$1", formulaText(2, 0));
    EXPECT_EQ(3, num(1, 3));
    ASSERT_EQ(1, _gx_remove_cols(sheet, 1, 2));
    EXPECT_EQ("=B1+??+$B$1", formulaText(2, 0));
    EXPECT_EQ(3, num(1, 1));
}

TEST_F(GxShift, CopyMovesOnlyTheRelativeParts) {
    number(1, 0, 1);
    number(2, 0, 2);
    ASSERT_TRUE(formula(1, 1, "=A1+$A$1+A$1+$A1"));
    GX_RANGE src;
    _gx_make_cell_ref(&src, 1, 1, 0);
    ASSERT_EQ(1, _gx_copy_range(sheet, &src, 2, 1, 0));
    EXPECT_EQ("=A2+$A$1+A$1+$A2", formulaText(2, 1));
    EXPECT_EQ(2 + 1 + 1 + 2, num(2, 1)); // recalculated by the copy
    // Copied up off the sheet: the relative reference becomes "??".
    ASSERT_TRUE(formula(3, 3, "=A1"));
    _gx_make_cell_ref(&src, 3, 3, 0);
    ASSERT_EQ(1, _gx_copy_range(sheet, &src, 1, 3, 1));
    EXPECT_EQ("=??", formulaText(1, 3));
}

TEST_F(GxShift, MovingARectangle) {
    number(1, 0, 7);
    ASSERT_TRUE(formula(1, 1, "=A1+$A$1"));
    GX_RANGE src;
    _gx_make_cell_ref(&src, 1, 1, 0);
    ASSERT_EQ(1, _gx_move_range(sheet, &src, 5, 2));
    EXPECT_EQ(nullptr, cell(1, 1));
    EXPECT_EQ("=A1+$A$1", formulaText(5, 2)); // absolute or not, references follow only the cells they name
    _gx_make_cell_ref(&src, 1, 0, 0);
    ASSERT_EQ(1, _gx_move_range(sheet, &src, 1, 3));
    EXPECT_EQ("=D1+$D$1", formulaText(5, 2));
    recalc();
    EXPECT_EQ(14, num(5, 2));
}

TEST_F(GxShift, MovingOntoCellsKeepsReferencesToTheOverwrittenOnes) {
    number(1, 0, 1);
    number(1, 1, 2);
    ASSERT_TRUE(formula(3, 0, "=B1"));
    GX_RANGE src;
    _gx_make_cell_ref(&src, 1, 0, 0);
    _gx_sheet_get(sheet)->undoRecording = 1;
    ASSERT_EQ(1, _gx_move_range(sheet, &src, 1, 1));
    EXPECT_EQ("=B1", formulaText(3, 0));
    EXPECT_EQ(2, undoCount()); // the overwritten B1 and the formula as it stood
    recalc();
    EXPECT_EQ(1, num(3, 0));
}

TEST_F(GxShift, MovingRowsRemapsTheBand) {
    for (int r = 1; r <= 6; ++r) number(r, 0, r * 10);
    ASSERT_TRUE(formula(1, 2, "=A2+A3+A4+A6+SUM(A2..A3)"));
    GX_RANGE r2;
    _gx_make_range_ref(&r2, 2, 0, 3, 0, 0);
    _gx_define_name(sheet, "Pair", &r2);
    ASSERT_EQ(1, _gx_move_rows_cols(sheet, 1, 2, 3, 4)); // rows 2..3 become rows 4..5
    EXPECT_EQ(20, num(4, 0));
    EXPECT_EQ(30, num(5, 0));
    EXPECT_EQ(40, num(2, 0));
    EXPECT_EQ(50, num(3, 0));
    EXPECT_EQ(60, num(6, 0));
    EXPECT_EQ("=A4+A5+A2+A6+SUM(A4..A5)", formulaText(1, 2));
    EXPECT_EQ("A4..A5", nameText("Pair"));
    EXPECT_EQ(0, _gx_move_rows_cols(sheet, 1, 3, 2, 1));
    EXPECT_EQ(0, _gx_move_rows_cols(sheet, 1, 1, 2, GX_MAX_ROW));
}

TEST_F(GxShift, RangesUnderCopyAndNamesUnderMove) {
    ASSERT_TRUE(formula(1, 3, "=SUM(A1..$B$2)+SUM($A1..B$2)"));
    GX_RANGE src;
    _gx_make_cell_ref(&src, 1, 3, 0);
    ASSERT_EQ(1, _gx_copy_range(sheet, &src, 3, 4, 1));
    // Bounds are ordered again, each row marker travelling with its row.
    EXPECT_EQ("=SUM(B$2..$B3)+SUM($A$2..C3)", formulaText(3, 4));

    GX_RANGE named;
    _gx_make_range_ref(&named, 2, 0, 4, 0, 0);
    _gx_define_name(sheet, "Part", &named);
    GX_RANGE block;
    _gx_make_range_ref(&block, 1, 0, 2, 1, 0); // holds the name's first cell only
    ASSERT_EQ(1, _gx_move_range(sheet, &block, 10, 2));
    EXPECT_EQ("A4..C11", nameText("Part"));
}

TEST_F(GxShift, MovingColumnsRemapsTheBand) {
    for (int c = 0; c < 5; ++c) number(1, c, c);
    ASSERT_TRUE(formula(2, 0, "=A1+B1+E1+SUM(B1..C1)"));
    ASSERT_EQ(1, _gx_move_rows_cols(sheet, 0, 3, 4, 1)); // D and E move to B and C
    EXPECT_EQ(3, num(1, 1));
    EXPECT_EQ(4, num(1, 2));
    EXPECT_EQ(1, num(1, 3));
    EXPECT_EQ(2, num(1, 4));
    EXPECT_EQ("=A1+D1+C1+SUM(D1..E1)", formulaText(2, 0));
}

TEST_F(GxShift, NamesFollowInsertedAndRemovedRows) {
    GX_RANGE r;
    _gx_make_range_ref(&r, 5, 0, 6, 1, 0);
    _gx_define_name(sheet, "Block", &r);
    ASSERT_EQ(1, _gx_insert_rows(sheet, 1, 2));
    EXPECT_EQ("A7..B8", nameText("Block"));
    ASSERT_EQ(1, _gx_remove_rows(sheet, 1, 1));
    EXPECT_EQ("A6..B7", nameText("Block"));
}

TEST_F(GxShift, OutOfMemoryFailsACopyWithNothingChanged) {
    ASSERT_TRUE(formula(1, 0, "=B1+1"));
    number(2, 0, 5);
    GX_RANGE src;
    _gx_make_cell_ref(&src, 1, 0, 0);
    _gx_fail_allocations_after(0);
    EXPECT_EQ(0, _gx_copy_range(sheet, &src, 2, 0, 1));
    EXPECT_EQ(0, _gx_define_name(sheet, "Later", &src));
    _gx_fail_allocations_after(-1);
    EXPECT_EQ(5, _gx_get_error_code());
    EXPECT_EQ(5, num(2, 0));
    EXPECT_EQ(nullptr, _gx_find_name(sheet, "Later", nullptr));
}

// Entering copied or moved cells at rows and columns the sheet has not held yet needs memory too: whenever
// memory runs out, the operation either did all of it or changed nothing, and never reports success with a
// cell lost.
TEST_F(GxShift, RunningOutOfMemoryAtAnyPointLosesNoCell) {
    for (long room = 0; room < 40; ++room) {
        SCOPED_TRACE(room);
        _gx_sheet_destroy(sheet);
        sheet = _gx_sheet_create();
        number(1, 0, 1);
        number(2, 0, 2);
        text(999, 0, "keep");
        GX_RANGE src;
        _gx_make_range_ref(&src, 1, 0, 2, 0, 0);
        // A copy onto rows 999 and 1000 (one row past what the sheet held).
        _gx_fail_allocations_after(room);
        const int copied = _gx_copy_range(sheet, &src, 999, 0, 1);
        _gx_fail_allocations_after(-1);
        if (copied) {
            EXPECT_EQ(1, num(999, 0));
            EXPECT_EQ(2, num(1000, 0));
        } else {
            EXPECT_EQ("keep", str(999, 0));
            EXPECT_EQ(nullptr, cell(1000, 0));
        }
        // Rows inserted above: every cell moves down, past what the sheet held.
        const int rows = copied ? 1000 : 999;
        _gx_fail_allocations_after(room);
        const int inserted = _gx_insert_rows(sheet, 1, 2000);
        _gx_fail_allocations_after(-1);
        const int shift = inserted ? 2000 : 0;
        EXPECT_EQ(1, num(1 + shift, 0));
        EXPECT_EQ(2, num(2 + shift, 0));
        EXPECT_NE(nullptr, cell(rows + shift, 0));
        EXPECT_EQ(copied ? 4 : 3, _gx_sheet_count_cells(sheet, GX_LIST_ALL));
    }
}

// Rows or columns moved past what the sheet held need room at their new places too: whenever memory runs out,
// the move either happened whole or changed nothing.
TEST_F(GxShift, MovingRowsOrColumnsWhenMemoryRunsOutLosesNoCell) {
    for (int byRows = 0; byRows <= 1; ++byRows) {
        for (long room = 0; room < 40; ++room) {
            SCOPED_TRACE(std::string(byRows ? "rows, room " : "columns, room ") + std::to_string(room));
            _gx_sheet_destroy(sheet);
            sheet = _gx_sheet_create();
            auto at = [&](int32_t along, int32_t across) { return byRows ? cell(along, across) : cell(across, along); };
            auto put = [&](int32_t along, int32_t across, double v) {
                byRows ? number(along, across, v) : number(across, along, v);
            };
            put(1, 1, 1);
            put(2, 1, 2);
            put(3, 1, 3);
            // The first two move to 200 and 201 (the third moves up to 1).
            _gx_fail_allocations_after(room);
            const int moved = _gx_move_rows_cols(sheet, byRows, 1, 2, 200);
            _gx_fail_allocations_after(-1);
            EXPECT_EQ(3, _gx_sheet_count_cells(sheet, GX_LIST_ALL));
            for (auto [from, to] : {std::pair{1, 200}, std::pair{2, 201}, std::pair{3, 1}}) {
                const int32_t now = moved ? to : from;
                ASSERT_NE(nullptr, at(now, 1)) << "the cell from " << from;
                EXPECT_EQ(from, byRows ? num(now, 1) : num(1, now));
            }
        }
    }
}

TEST_F(GxShift, ArgumentsOutOfTheSheetAreRefused) {
    EXPECT_EQ(0, _gx_insert_rows(sheet, 0, 1));
    EXPECT_EQ(0, _gx_insert_rows(sheet, 1, 0));
    EXPECT_EQ(0, _gx_remove_cols(sheet, GX_MAX_COL + 1, 1));
    // Removing through the last row only clears.
    number(GX_MAX_ROW, 0, 1);
    EXPECT_EQ(1, _gx_remove_rows(sheet, GX_MAX_ROW - 1, 5));
    EXPECT_EQ(nullptr, cell(GX_MAX_ROW, 0));
}

} // namespace
