// Edit-sequence fuzzing: random entries, clears, insertions, removals, moves, copies, names and
// recalculations on one sheet; after every step the store's counts and extent must agree with its cells.
#include "fuzz/formula/FuzzFunctions.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

struct Reader {
    const uint8_t* p;
    size_t n;
    uint32_t byte() { return n ? (--n, *p++) : 0u; }
    bool more() const { return n > 0; }
    int32_t row() {
        uint32_t b = byte();
        if (b == 255 && byte() == 255) return GX_MAX_ROW - int32_t(byte() % 4); // rare: the counts grow to 8M rows
        return 1 + int32_t(b % 24);
    }
    int32_t col() {
        uint32_t b = byte();
        if (b == 255) return GX_MAX_COL - int32_t(byte() % 4);
        return int32_t(b % 8);
    }
};

void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void check(int sheet) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    int entered = 0;
    std::map<int32_t, int> perRow, perCol;
    int64_t top = INT64_MAX, bottom = 0, left = INT64_MAX, right = -1;
    for (int l = 0; l < 3; ++l) {
        int inUse = 0;
        GX_LIST_ITER it;
        _gx_list_iter_init(&sh->lists[l], &it);
        while (GX_CELL* c = _gx_list_iter_next(&it)) {
            ++inUse;
            if (!c->entered()) continue;
            ++entered;
            ++perRow[c->row];
            ++perCol[c->col];
            if (_gx_find_cell(sheet, c->row, c->col) != c) fail("entered cell not found at its place");
            if (c->row < 1 || c->row > GX_MAX_ROW || c->col < 0 || c->col > GX_MAX_COL) fail("cell off the sheet");
            top = std::min<int64_t>(top, c->row);
            bottom = std::max<int64_t>(bottom, c->row);
            left = std::min<int64_t>(left, c->col);
            right = std::max<int64_t>(right, c->col);
            if (c->expr) {
                std::string t;
                _gx_expr_text(sheet, c->expr, t);
                GX_EXPR e;
                if (!_gx_parse_formula(sheet, t.c_str(), &e)) {
                    std::fprintf(stderr, "stored formula [%s] does not parse\n", t.c_str());
                    fail("formula text");
                }
                _gx_expr_free_contents(&e);
            }
        }
        if (inUse != sh->lists[l].count) fail("list count");
    }
    if (entered != sh->cellCount) fail("cell count");
    // Each row and column holding cells counts exactly those cells (the arrays can hold 8M rows, so they are
    // read only where cells stand).
    int64_t rowSum = 0, colSum = 0;
    for (auto [row, n] : perRow) {
        if (row - 1 >= sh->rowCap || sh->rowCounts[row - 1] != n) fail("row count");
        rowSum += n;
    }
    for (auto [col, n] : perCol) {
        if (col >= sh->colCap || sh->colCounts[col] != n) fail("column count");
        colSum += n;
    }
    if (rowSum != entered || colSum != entered) fail("row or column counts");
    GX_RANGE ext;
    const int has = _gx_sheet_get_extent(sheet, &ext);
    if (has != (entered > 0)) fail("extent validity");
    if (has && (ext.top() != top || ext.bottom() != bottom || ext.left() != left || ext.right() != right))
        fail("extent bounds");
}

const char* const kFormulas[] = {
    "=A1+1", "=B2*2+A1", "=SUM(A1..C5)", "=#{0,-1}+1", "=#{-1}", "=A1..B2", "=Rate+1", "=SUM(Block)",
    "=$A$1+A$2", "=A8388607", "=FAN1", "=C3/0", "=\"text\"&\"more than eight\"", "=1;A1>0\\B2,C3..D4//c",
    "=FIRST(A1+1)", "=A2", "=A1", "=B1+C1", "=1+2", "=XVALUE(A1,B1)",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 2048) return 0;
    fuzzfn::install();
    const size_t before = _gx_tracked_count();
    const int sheet = _gx_sheet_create();
    Reader in{data, size};
    _gx_set_recalc_method(sheet, int(in.byte() & 1));
    _gx_set_iteration_limit(sheet, int(in.byte() % 4));
    _gx_set_blanks_zero(sheet, int(in.byte() & 1));
    while (in.more()) {
        const uint32_t op = in.byte() % 16;
        GX_SHEET* sh = _gx_sheet_get(sheet);
        sh->undoRecording = int(in.byte() & 1);
        switch (op) {
        case 0: case 1: {
            int32_t r = in.row(), c = in.col();
            _gx_enter_formula(sheet, r, c, kFormulas[in.byte() % (sizeof kFormulas / sizeof kFormulas[0])], 0,
                              nullptr);
            GX_RANGE cr;
            _gx_make_cell_ref(&cr, r, c, 0);
            _gx_add_changed_range(sheet, &cr);
            break;
        }
        case 2: _gx_enter_number(sheet, in.row(), in.col(), double(int(in.byte()) - 100)); break;
        case 3: _gx_enter_text(sheet, in.row(), in.col(), in.byte() & 1 ? "short" : "a text of more than eight"); break;
        case 4: {
            GX_RANGE r;
            _gx_make_range_ref(&r, in.row(), in.col(), in.row(), in.col(), 0);
            _gx_clear_range(sheet, &r);
            break;
        }
        case 5: _gx_insert_rows(sheet, in.row(), int32_t(1 + in.byte() % 5)); break;
        case 6: _gx_remove_rows(sheet, in.row(), int32_t(1 + in.byte() % 5)); break;
        case 7: _gx_insert_cols(sheet, in.col(), int32_t(1 + in.byte() % 3)); break;
        case 8: _gx_remove_cols(sheet, in.col(), int32_t(1 + in.byte() % 3)); break;
        case 9: {
            GX_RANGE r;
            _gx_make_range_ref(&r, in.row(), in.col(), in.row(), in.col(), 0);
            _gx_move_range(sheet, &r, in.row(), in.col());
            break;
        }
        case 10: {
            GX_RANGE r;
            _gx_make_range_ref(&r, in.row(), in.col(), in.row(), in.col(), 0);
            _gx_copy_range(sheet, &r, in.row(), in.col(), int(in.byte() & 1));
            break;
        }
        case 11: {
            int32_t a = in.row(), b = in.row();
            _gx_move_rows_cols(sheet, 1, std::min(a, b), std::max(a, b), in.row());
            break;
        }
        case 12: {
            int32_t a = in.col(), b = in.col();
            _gx_move_rows_cols(sheet, 0, std::min(a, b), std::max(a, b), in.col());
            break;
        }
        case 13: {
            GX_RANGE r;
            if (in.byte() & 1) _gx_make_cell_ref(&r, in.row(), in.col(), 0);
            else _gx_make_range_ref(&r, in.row(), in.col(), in.row(), in.col(), 0);
            _gx_define_name(sheet, in.byte() & 1 ? "Rate" : "Block", &r);
            break;
        }
        case 14: _gx_delete_name(sheet, in.byte() & 1 ? "Rate" : "Block"); break;
        default: {
            _gx_recalc(sheet);
            GX_CELL* c = _gx_find_cell(sheet, in.row(), in.col());
            if (c) _gx_recalc_cell(sheet, c);
            break;
        }
        }
        check(sheet);
    }
    _gx_recalc_forced(sheet);
    check(sheet);
    _gx_sheet_destroy(sheet);
    if (_gx_tracked_count() != before) {
        std::fprintf(stderr, "engine memory leaked: %zu -> %zu\n", before, _gx_tracked_count());
        std::abort();
    }
    return 0;
}
