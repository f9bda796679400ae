// Shared helpers of the formula engine's tests: a sheet per test, a small function table installed through the
// engine's lookup, and short-hands for entering, recalculating and reading cells.
#pragma once

#include "grid/formula/GxFormula.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace gxtest {

// SUM(range or numbers...), XVALUE(a, b) -> a, PICK(cond, lazy a, lazy b), ARGC(...) -> count,
// UPPER(text), NOCALL() -> not installed.
GX_ITEM* sumRoutine(GX_ITEM* result, GX_ITEM* frame);
void installTestFunctions();

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        installTestFunctions();
        sheet = _gx_sheet_create();
        _gx_set_recalc_method(sheet, 1);
    }
    void TearDown() override { _gx_sheet_destroy(sheet); }

    bool formula(int32_t row, int32_t col, const char* text) {
        return _gx_enter_formula(sheet, row, col, text, 0, nullptr) == 1;
    }
    void number(int32_t row, int32_t col, double v) { ASSERT_EQ(1, _gx_enter_number(sheet, row, col, v)); }
    void text(int32_t row, int32_t col, const char* t) { ASSERT_EQ(1, _gx_enter_text(sheet, row, col, t)); }
    // Marks the cell changed, as the formula sheet does after a store, and recalculates.
    void touched(int32_t row, int32_t col) {
        GX_RANGE r;
        _gx_make_cell_ref(&r, row, col, 0);
        _gx_add_changed_range(sheet, &r);
    }
    void recalc() { _gx_recalc(sheet); }
    GX_CELL* cell(int32_t row, int32_t col) { return _gx_find_cell(sheet, row, col); }
    double num(int32_t row, int32_t col) {
        GX_CELL* c = cell(row, col);
        EXPECT_NE(nullptr, c);
        if (!c) return -9999;
        EXPECT_EQ(GX_VAL_NUMBER, c->valueType()) << "error " << (c->valueType() == GX_VAL_ERROR ? c->value.error.code : 0);
        return c->value.number;
    }
    int err(int32_t row, int32_t col) {
        GX_CELL* c = cell(row, col);
        if (!c || c->valueType() != GX_VAL_ERROR) return -1;
        return c->value.error.code;
    }
    std::string str(int32_t row, int32_t col) {
        GX_CELL* c = cell(row, col);
        char buf[9];
        const char* t = c ? _gx_cell_text(c, buf) : nullptr;
        return t ? t : "<none>";
    }
    std::string formulaText(int32_t row, int32_t col) {
        GX_CELL* c = cell(row, col);
        std::string out;
        if (c && c->expr) _gx_expr_text(sheet, c->expr, out);
        return out;
    }
    // Evaluates a formula text at (1, 0) without storing it.
    GX_ITEM eval(const char* text, int32_t row = 1, int32_t col = 0) {
        GX_EXPR e;
        GX_ITEM r;
        if (!_gx_parse_formula(sheet, text, &e)) {
            ADD_FAILURE() << "parse failed: " << text << " error " << _gx_get_error_code();
            return r;
        }
        r = _gx_evaluate(sheet, row, col, e.nodes, e.root);
        _gx_expr_free_contents(&e);
        return r;
    }
    double evalNum(const char* text) {
        GX_ITEM r = eval(text);
        EXPECT_EQ(GX_ITEM_NUMBER, r.kind) << text << " gave kind " << r.kind
                                          << (r.kind == GX_ITEM_ERROR ? " error " + std::to_string(r.error.code) : "");
        double v = r.kind == GX_ITEM_NUMBER ? r.number : -9999;
        _gx_item_free(&r);
        return v;
    }
    int evalErr(const char* text) {
        GX_ITEM r = eval(text);
        int code = r.kind == GX_ITEM_ERROR ? r.error.code : -1;
        _gx_item_free(&r);
        return code;
    }
    std::string evalStr(const char* text) {
        GX_ITEM r = eval(text);
        std::string s = r.kind == GX_ITEM_TEXT ? r.text : "<not text>";
        _gx_item_free(&r);
        return s;
    }

    int sheet = 0;
};

// Parses and writes back; "ERR <n>@<pos>" for a failed parse.
std::string roundTrip(int sheet, const char* text);

} // namespace gxtest
