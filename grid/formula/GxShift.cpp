// Insertion and removal of rows and columns are moves of everything behind the insertion or removal point:
//   insert n rows at r:  move rows r..max to r+n        remove n rows at r: clear r..r+n-1, move r+n..max to r
// A move rewrites every reference whose corner lies in the moved block; a reference into cells that the move
// overwrites keeps its coordinates (so one into removed rows now names the cells that moved up into them); a
// reference pushed off the sheet becomes the error placeholder, written "??".
#include "grid/formula/GxShift.h"

#include "grid/formula/GxEngineState.h"
#include "grid/formula/GxGuard.h"
#include "grid/formula/GxNames.h"
#include "grid/formula/GxParser.h"
#include "grid/formula/GxRecalc.h"
#include "grid/formula/GxReference.h"
#include "grid/formula/GxSheet.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

// A rectangle in 64-bit coordinates: a destination may reach past the sheet's edge.
struct Rect {
    int64_t top, left, bottom, right;
    bool contains(int64_t r, int64_t c) const { return r >= top && r <= bottom && c >= left && c <= right; }
    int64_t area() const { return (bottom - top + 1) * (right - left + 1); }
};

Rect rectOf(const GX_RANGE& r) { return {r.top(), r.left(), r.bottom(), r.right()}; }

void makePlaceholder(GX_EXPR_NODE& n) {
    n.kind = GX_NODE_OPERATOR;
    n.p = GX_EXPR_NODE::Payload{};
    n.p.op = GX_OP_ERROR;
    // `b` stays: in a dependency list it links to the next item.
}

// Sets a reference node's corners; out of the sheet it becomes the error placeholder. Returns true when the
// node changed.
bool setCorners(GX_EXPR_NODE& n, int64_t top, int64_t left, int64_t bottom, int64_t right) {
    GX_RANGE& r = n.p.range;
    if (top == r.top() && left == r.left() && bottom == r.bottom() && right == r.right()) return false;
    if (!gx_row_ok(top) || !gx_col_ok(left) || !gx_row_ok(bottom) || !gx_col_ok(right)) {
        makePlaceholder(n);
        return true;
    }
    r.setTop(uint32_t(top));
    r.setLeft(uint32_t(left));
    r.setBottom(uint32_t(bottom));
    r.setRight(uint32_t(right));
    if (!r.single()) _gx_range_normalize(&r);
    return true;
}

bool isRef(const GX_EXPR_NODE& n) { return n.kind == GX_NODE_CELL || n.kind == GX_NODE_RANGE; }

void addChangedSafely(int sheet, const GX_RANGE& r) {
    try {
        _gx_add_changed_range(sheet, &r);
    } catch (const std::bad_alloc&) {
        _gx_free_changed_ranges(sheet); // an empty list recalculates everything
    }
}

void shiftNamesForMove(GX_SHEET* sh, const Rect& src, int64_t d, int64_t e) {
    auto clampRow = [](int64_t v) { return std::clamp<int64_t>(v, 1, GX_MAX_ROW); };
    auto clampCol = [](int64_t v) { return std::clamp<int64_t>(v, 0, GX_MAX_COL); };
    for (GX_NAMED_RANGE* nr = sh->names; nr; nr = nr->next) {
        GX_RANGE& r = nr->range;
        bool changed = false;
        if (src.contains(r.top(), r.left())) {
            r.setTop(uint32_t(clampRow(r.top() + d)));
            r.setLeft(uint32_t(clampCol(r.left() + e)));
            changed = true;
        }
        if (src.contains(r.bottom(), r.right())) {
            r.setBottom(uint32_t(clampRow(r.bottom() + d)));
            r.setRight(uint32_t(clampCol(r.right() + e)));
            changed = true;
        }
        if (changed) _gx_range_normalize(&r);
    }
    sh->modified = 1;
}

// Moves the cells of `src` by (d, e) and keeps every reference right.
int moveBlock(int sheet, const Rect& src, int64_t d, int64_t e) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    const Rect dst{src.top + d, src.left + e, std::min<int64_t>(src.bottom + d, GX_MAX_ROW),
                   std::min<int64_t>(src.right + e, GX_MAX_COL)};
    // Room for the moved cells' new places before anything changes: entering them later cannot fail, so a
    // move runs out of memory whole or not at all (a cell that could not be entered was lost).
    GX_RANGE extent;
    if (_gx_sheet_get_extent(sheet, &extent))
        _gx_reserve_positions(sheet, int32_t(std::clamp<int64_t>(std::min<int64_t>(extent.bottom(), src.bottom) + d, 1, GX_MAX_ROW)),
                              int32_t(std::clamp<int64_t>(std::min<int64_t>(extent.right(), src.right) + e, 0, GX_MAX_COL)));
    shiftNamesForMove(sh, src, d, e);
    GxDeferredScope deferred(sheet, GX_LIST_ALL);
    sh->modified = 1;

    // Room for every record up front: collecting must not fail half-way, with cells already out of the table.
    std::vector<GX_CELL*> moving, overwritten, undoCopies;
    const size_t records = size_t(sh->lists[0].count) + size_t(sh->lists[1].count);
    moving.reserve(records);
    overwritten.reserve(records);
    auto collect = [&](GX_CELL* c) {
        if (src.contains(c->row, c->col)) moving.push_back(c);
        else if (dst.contains(c->row, c->col)) overwritten.push_back(c);
        else return;
        _gx_remove_cell(sheet, c);
        c->flags |= GX_CF_CHANGED;
    };

    // 1. Cells of the value list.
    {
        std::vector<GX_CELL*> cells;
        GX_CELL_LIST* values = &sh->lists[0];
        if (2 * src.area() <= values->count) {
            for (const Rect* r : {&src, &dst}) {
                if (r->top > GX_MAX_ROW || r->left > GX_MAX_COL) continue;
                GX_RANGE g;
                _gx_make_range_ref(&g, int32_t(r->top), int32_t(r->left), int32_t(r->bottom), int32_t(r->right), 0);
                GX_RANGE_ITER it;
                _gx_range_iter_init(sheet, &g, &it, GX_LIST_VALUE);
                while (GX_CELL* c = _gx_range_iter_next(&it)) cells.push_back(c);
            }
        } else {
            GX_LIST_ITER it;
            _gx_list_iter_init(values, &it);
            while (GX_CELL* c = _gx_list_iter_next(&it))
                if (c->entered()) cells.push_back(c);
        }
        for (GX_CELL* c : cells)
            if (c->entered()) collect(c);
    }

    // 2. Formula cells: rewrite references, then collect.
    {
        std::vector<GX_CELL*> formulas;
        GX_LIST_ITER it;
        _gx_list_iter_init(&sh->lists[1], &it);
        while (GX_CELL* c = _gx_list_iter_next(&it))
            if (c->entered()) formulas.push_back(c);
        for (GX_CELL* c : formulas) {
            GX_EXPR* x = c->expr;
            const bool doomed = dst.contains(c->row, c->col) && !src.contains(c->row, c->col);
            if (doomed) {
                if (x && x->nodes && x->nodeCount >= 2 && x->nodes[0].kind == GX_NODE_NUMBER &&
                    x->nodes[1].kind == GX_NODE_CELL)
                    addChangedSafely(sheet, x->nodes[1].p.range);
            } else if (x && x->nodes) {
                bool refersOverwritten = false;
                for (int i = 0; i < x->nodeCount; ++i) {
                    const GX_EXPR_NODE& n = x->nodes[i];
                    if (!isRef(n)) continue;
                    const GX_RANGE& r = n.p.range;
                    if (!src.contains(r.top(), r.left()) && !src.contains(r.bottom(), r.right()) &&
                        (dst.contains(r.top(), r.left()) || dst.contains(r.bottom(), r.right())))
                        refersOverwritten = true;
                }
                if (refersOverwritten && sh->undoRecording) {
                    try {
                        undoCopies.push_back(_gx_cell_clone(c));
                    } catch (const std::bad_alloc&) {
                        // The undo copy is lost; the move itself goes on.
                    }
                }
                bool changed = false;
                for (int i = 0; i < x->nodeCount; ++i) {
                    GX_EXPR_NODE& n = x->nodes[i];
                    if (!isRef(n)) continue;
                    const GX_RANGE r = n.p.range;
                    const bool fin = src.contains(r.top(), r.left()), lin = src.contains(r.bottom(), r.right());
                    if (fin && lin) changed |= setCorners(n, r.top() + d, r.left() + e, r.bottom() + d, r.right() + e);
                    else if (fin) changed |= setCorners(n, r.top() + d, r.left() + e, r.bottom(), r.right());
                    else if (lin) changed |= setCorners(n, r.top(), r.left(), r.bottom() + d, r.right() + e);
                }
                if (changed) c->flags |= GX_CF_DIRTY;
            }
            collect(c);
        }
    }

    // 3. Undo copies, overwritten cells, then the moving cells at their new places.
    for (GX_CELL* c : undoCopies) _gx_push_undo_cell(sheet, c);
    for (GX_CELL* c : overwritten) {
        if (sh->undoRecording) _gx_push_undo_cell(sheet, c);
        else _gx_cell_free(c);
    }
    for (GX_CELL* c : moving) {
        const int64_t row = c->row + d, col = c->col + e;
        if (!gx_row_ok(row) || !gx_col_ok(col)) {
            _gx_cell_free(c); // fell off the sheet
            continue;
        }
        _gx_delete_cell(sheet, _gx_find_cell(sheet, int32_t(row), int32_t(col)));
        c->row = int32_t(row);
        c->col = int32_t(col);
        _gx_insert_cell(sheet, c); // its place was made room for above: this allocates nothing
    }
    return 1;
}

struct ShiftingScope {
    ShiftingScope() { _gx_engine_state()->shifting = 1; }
    ~ShiftingScope() { _gx_engine_state()->shifting = 0; }
};

// Maps a coordinate of a band move: the block [first, last] to `dest`, the cells it passes over by n.
int64_t remapBand(int64_t c, int64_t first, int64_t last, int64_t dest) {
    const int64_t n = last - first + 1;
    if (c >= first && c <= last) return c - first + dest;
    return dest < first ? c + n : c - n;
}

} // namespace

static int moveRangeBody(int sheet, const GX_RANGE* source, int32_t destRow, int32_t destCol) {
    if (!source || !gx_row_ok(destRow) || !gx_col_ok(destCol)) return 0;
    const Rect src = rectOf(*source);
    return moveBlock(sheet, src, int64_t(destRow) - src.top, int64_t(destCol) - src.left);
}

static int insertRowsBody(int sheet, int32_t row, int32_t count) {
    if (!gx_row_ok(row) || count < 1) return 0;
    ShiftingScope shifting;
    return moveBlock(sheet, Rect{row, 0, GX_MAX_ROW, GX_MAX_COL}, count, 0);
}

static int insertColsBody(int sheet, int32_t col, int32_t count) {
    if (!gx_col_ok(col) || count < 1) return 0;
    ShiftingScope shifting;
    return moveBlock(sheet, Rect{1, col, GX_MAX_ROW, GX_MAX_COL}, 0, count);
}

static int removeRowsBody(int sheet, int32_t row, int32_t count) {
    if (!gx_row_ok(row) || count < 1) return 0;
    ShiftingScope shifting;
    // Both steps run with the sheet's undo-recording flag as it stands, so that an undo can bring the cleared
    // and the moved cells back, and nothing lands on an undo chain while recording is off.
    const int64_t end = std::min<int64_t>(int64_t(row) + count - 1, GX_MAX_ROW);
    GX_RANGE cleared;
    _gx_make_range_ref(&cleared, row, 0, int32_t(end), GX_MAX_COL, 0);
    _gx_clear_range(sheet, &cleared);
    if (end >= GX_MAX_ROW) return 1;
    return moveBlock(sheet, Rect{end + 1, 0, GX_MAX_ROW, GX_MAX_COL}, -int64_t(end + 1 - row), 0);
}

static int removeColsBody(int sheet, int32_t col, int32_t count) {
    if (!gx_col_ok(col) || count < 1) return 0;
    ShiftingScope shifting;
    const int64_t end = std::min<int64_t>(int64_t(col) + count - 1, GX_MAX_COL);
    GX_RANGE cleared;
    _gx_make_range_ref(&cleared, 1, col, GX_MAX_ROW, int32_t(end), 0);
    _gx_clear_range(sheet, &cleared);
    if (end >= GX_MAX_COL) return 1;
    return moveBlock(sheet, Rect{1, end + 1, GX_MAX_ROW, GX_MAX_COL}, 0, -int64_t(end + 1 - col));
}

static int moveRowsColsBody(int sheet, int byRows, int32_t first, int32_t last, int32_t destination) {
    const int64_t maxIndex = byRows ? GX_MAX_ROW : GX_MAX_COL;
    const int64_t minIndex = byRows ? 1 : 0;
    if (first > last || first < minIndex || last > maxIndex || destination < minIndex ||
        int64_t(destination) + (last - first) > maxIndex)
        return 0;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    const int64_t lo = std::min<int64_t>(first, destination);
    const int64_t hi = std::max<int64_t>(last, int64_t(last) - first + destination);
    auto along = [&](int64_t r, int64_t c) { return byRows ? r : c; };
    auto inBand = [&](int64_t v) { return v >= lo && v <= hi; };

    for (GX_NAMED_RANGE* nr = sh->names; nr; nr = nr->next) {
        GX_RANGE& r = nr->range;
        const int64_t c = along(r.top(), r.left());
        if (!inBand(c)) continue;
        const int64_t delta = remapBand(c, first, last, destination) - c;
        if (byRows) {
            r.setTop(uint32_t(std::clamp<int64_t>(r.top() + delta, 1, GX_MAX_ROW)));
            r.setBottom(uint32_t(std::clamp<int64_t>(r.bottom() + delta, 1, GX_MAX_ROW)));
        } else {
            r.setLeft(uint32_t(std::clamp<int64_t>(r.left() + delta, 0, GX_MAX_COL)));
            r.setRight(uint32_t(std::clamp<int64_t>(r.right() + delta, 0, GX_MAX_COL)));
        }
        _gx_range_normalize(&r);
        sh->modified = 1;
    }

    GX_RANGE band;
    if (byRows) _gx_make_range_ref(&band, int32_t(lo), 0, int32_t(hi), GX_MAX_COL, 0);
    else _gx_make_range_ref(&band, 1, int32_t(lo), GX_MAX_ROW, int32_t(hi), 0);
    GX_RANGE clipped = band;
    if (!_gx_clip_to_extent(sheet, &clipped)) return 1;
    // Every cell stays inside the band: room up to its far end first, so that entering the cells cannot fail.
    if (byRows) _gx_reserve_positions(sheet, int32_t(hi), clipped.right());
    else _gx_reserve_positions(sheet, clipped.bottom(), int32_t(hi));
    sh->modified = 1;
    GxDeferredScope deferred(sheet, GX_LIST_ALL);

    std::vector<GX_CELL*> removed;
    removed.reserve(size_t(sh->lists[0].count) + size_t(sh->lists[1].count));
    {
        GX_RANGE_ITER it;
        _gx_range_iter_init(sheet, &clipped, &it, GX_LIST_VALUE);
        while (GX_CELL* c = _gx_range_iter_next(&it)) removed.push_back(c);
    }
    std::vector<GX_CELL*> formulas;
    {
        GX_LIST_ITER it;
        _gx_list_iter_init(&sh->lists[1], &it);
        while (GX_CELL* c = _gx_list_iter_next(&it))
            if (c->entered()) formulas.push_back(c);
    }
    for (GX_CELL* c : formulas) {
        GX_EXPR* x = c->expr;
        bool changed = false;
        for (int i = 0; x && x->nodes && i < x->nodeCount; ++i) {
            GX_EXPR_NODE& n = x->nodes[i];
            if (!isRef(n)) continue;
            const GX_RANGE r = n.p.range;
            // The pair moves together, by where its first coordinate lies.
            const int64_t c0 = along(r.top(), r.left());
            if (!inBand(c0)) continue;
            const int64_t delta = remapBand(c0, first, last, destination) - c0;
            if (byRows) changed |= setCorners(n, r.top() + delta, r.left(), r.bottom() + delta, r.right());
            else changed |= setCorners(n, r.top(), r.left() + delta, r.bottom(), r.right() + delta);
        }
        if (changed) c->flags |= GX_CF_DIRTY;
        if (inBand(along(c->row, c->col))) removed.push_back(c);
    }
    for (GX_CELL* c : removed) _gx_remove_cell(sheet, c);
    for (GX_CELL* c : removed) {
        if (byRows) c->row = int32_t(remapBand(c->row, first, last, destination));
        else c->col = int32_t(remapBand(c->col, first, last, destination));
        _gx_delete_cell(sheet, _gx_find_cell(sheet, c->row, c->col));
        _gx_insert_cell(sheet, c); // its place was made room for above: this allocates nothing
    }
    return 1;
}

namespace {

int copyCells(int sheet, const GX_RANGE* source, int32_t destRow, int32_t destCol, int noRecalc) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    const Rect src = rectOf(*source);
    const int64_t d = int64_t(destRow) - src.top, e = int64_t(destCol) - src.left;
    GX_RANGE dst;
    _gx_range_at(&dst, source, destRow, destCol);
    dst.set(GX_RANGE::kSingle, false);
    GxDeferredScope deferred(sheet, GX_LIST_ALL);

    // Clones first, and room for them at their places: a failure of either changes nothing, and entering the
    // clones afterwards cannot fail.
    std::vector<GX_CELL*> clones;
    try {
        int32_t lastRow = 1, lastCol = 0;
        std::vector<GX_CELL*> sources;
        GX_RANGE_ITER it;
        _gx_range_iter_init(sheet, source, &it, GX_LIST_ALL);
        while (GX_CELL* c = _gx_range_iter_next(&it)) sources.push_back(c);
        for (GX_CELL* c : sources) {
            const int64_t row = c->row + d, col = c->col + e;
            if (!gx_row_ok(row) || !gx_col_ok(col)) continue;
            GX_CELL* k = _gx_cell_clone(c);
            clones.push_back(k);
            k->row = int32_t(row);
            k->col = int32_t(col);
            lastRow = std::max(lastRow, k->row);
            lastCol = std::max(lastCol, k->col);
            GX_EXPR* x = k->expr;
            for (int i = 0; x && x->nodes && i < x->nodeCount; ++i) {
                GX_EXPR_NODE& n = x->nodes[i];
                if (!isRef(n)) continue;
                const GX_RANGE r = n.p.range;
                // Only the relative parts move.
                setCorners(n, r.top() + (r.has(GX_RANGE::kFirstRowAbs) ? 0 : d),
                           r.left() + (r.has(GX_RANGE::kFirstColAbs) ? 0 : e),
                           r.bottom() + (r.has(GX_RANGE::kLastRowAbs) ? 0 : d),
                           r.right() + (r.has(GX_RANGE::kLastColAbs) ? 0 : e));
            }
        }
        if (!clones.empty()) _gx_reserve_positions(sheet, lastRow, lastCol);
    } catch (const std::bad_alloc&) {
        for (GX_CELL* k : clones) _gx_cell_free(k);
        _gx_set_error_code(5);
        return 0;
    }
    sh->modified = 1;
    {
        std::vector<GX_CELL*> doomed;
        GX_RANGE_ITER it;
        _gx_range_iter_init(sheet, &dst, &it, GX_LIST_ALL);
        while (GX_CELL* c = _gx_range_iter_next(&it)) doomed.push_back(c);
        for (GX_CELL* c : doomed) {
            _gx_remove_cell(sheet, c);
            if (sh->undoRecording) _gx_push_undo_cell(sheet, c);
            else _gx_cell_free(c);
        }
    }
    for (GX_CELL* k : clones) {
        _gx_insert_cell(sheet, k); // its place was made room for above: this allocates nothing
    }
    if (!noRecalc) {
        GX_RANGE s = *source;
        s.set(GX_RANGE::kSingle, false);
        addChangedSafely(sheet, s);
        addChangedSafely(sheet, dst);
    }
    return 1;
}

} // namespace

static int copyRangeBody(int sheet, const GX_RANGE* source, int32_t destRow, int32_t destCol, int noRecalc) {
    if (!source || !gx_row_ok(destRow) || !gx_col_ok(destCol)) return 0;
    if (!copyCells(sheet, source, destRow, destCol, noRecalc)) return 0;
    if (!noRecalc) _gx_recalc(sheet);
    return 1;
}

// Entry points.

int _gx_move_range(int sheet, const GX_RANGE* source, int32_t destRow, int32_t destCol) {
    return gxOutOfMemoryGuard([&] { return moveRangeBody(sheet, source, destRow, destCol); });
}

int _gx_insert_rows(int sheet, int32_t row, int32_t count) {
    return gxOutOfMemoryGuard([&] { return insertRowsBody(sheet, row, count); });
}

int _gx_insert_cols(int sheet, int32_t col, int32_t count) {
    return gxOutOfMemoryGuard([&] { return insertColsBody(sheet, col, count); });
}

int _gx_remove_rows(int sheet, int32_t row, int32_t count) {
    return gxOutOfMemoryGuard([&] { return removeRowsBody(sheet, row, count); });
}

int _gx_remove_cols(int sheet, int32_t col, int32_t count) {
    return gxOutOfMemoryGuard([&] { return removeColsBody(sheet, col, count); });
}

int _gx_move_rows_cols(int sheet, int byRows, int32_t first, int32_t last, int32_t destination) {
    return gxOutOfMemoryGuard([&] { return moveRowsColsBody(sheet, byRows, first, last, destination); });
}

int _gx_copy_range(int sheet, const GX_RANGE* source, int32_t destRow, int32_t destCol, int noRecalc) {
    return gxOutOfMemoryGuard([&] { return copyRangeBody(sheet, source, destRow, destCol, noRecalc); });
}
