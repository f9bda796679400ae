// Recalculation, in outline:
//   _gx_recalc -> pass (mark dirty cells from changedRanges; bump the generation; recompute every unvisited
//                      formula cell when the method is "in the pass") -> further passes while cycles were met,
//                      bounded by the iteration limit -> forget changedRanges.
//   _gx_recalc_cell -> depth-first walk over precedents (an explicit stack, so that a chain of 100,000 cells
//                      does not exhaust the call stack); a cell is recomputed when it is dirty or a precedent
//                      was computed in a later generation than itself.
#include "grid/formula/GxRecalc.h"

#include "grid/formula/GxEngineState.h"
#include "grid/formula/GxEvaluator.h"
#include "grid/formula/GxExprText.h"
#include "grid/formula/GxGuard.h"
#include "grid/formula/GxMemory.h"
#include "grid/formula/GxNames.h"
#include "grid/formula/GxParser.h"
#include "grid/formula/GxReference.h"
#include "grid/formula/GxSheet.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

bool inBounds(int32_t row, int32_t col) { return gx_row_ok(row) && gx_col_ok(col); }

// Replaces whatever stands at (row, col) by `fresh`, which inherits the old cell's style.
void replaceCell(int sheet, GX_CELL* fresh) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    sh->modified = 1;
    GX_CELL* old = _gx_find_cell(sheet, fresh->row, fresh->col);
    fresh->style = _gx_cell_take_style(old);
    _gx_delete_cell(sheet, old);
    _gx_insert_cell(sheet, fresh);
}

void cellRange(GX_RANGE* r, const GX_CELL* cell) { _gx_make_cell_ref(r, cell->row, cell->col, 0); }

bool needsRecalc(const GX_SHEET* sh, const GX_CELL* cell) {
    if (!sh->changedRanges) return true;
    GX_RANGE own;
    cellRange(&own, cell);
    for (const GX_RANGE_REC* r = sh->changedRanges; r; r = r->next)
        if (_gx_ranges_overlap(&own, &r->range)) return true;
    if (!cell->expr || !cell->expr->nodes) return false;
    for (int i = 0; i < cell->expr->nodeCount; ++i) {
        const GX_EXPR_NODE& n = cell->expr->nodes[i];
        const GX_RANGE* ref = nullptr;
        switch (n.kind) {
        case GX_NODE_CELL: case GX_NODE_RANGE: ref = &n.p.range; break;
        case GX_NODE_NAMEDCELL: case GX_NODE_NAMEDRANGE: ref = n.p.name ? &n.p.name->range : nullptr; break;
        case GX_NODE_OFFSET: return true; // its target is known only when it is evaluated
        default: break;
        }
        if (!ref) continue;
        for (const GX_RANGE_REC* r = sh->changedRanges; r; r = r->next)
            if (_gx_ranges_overlap(ref, &r->range)) return true;
    }
    return false;
}

// Nodes of the constraint subexpression: they name no precedent of the cell's value.
void markConstraintNodes(const GX_EXPR* expr, std::vector<char>& skip) {
    skip.assign(expr->nodeCount, 0);
    if (expr->constraintRoot == GX_NO_NODE) return;
    std::vector<uint16_t> todo{expr->constraintRoot};
    while (!todo.empty()) {
        uint16_t i = todo.back();
        todo.pop_back();
        if (i >= expr->nodeCount || skip[i]) continue;
        skip[i] = 1;
        const GX_EXPR_NODE& n = expr->nodes[i];
        if (n.kind == GX_NODE_OFFSET) {
            todo.push_back(n.p.offset.rowExpr);
            todo.push_back(n.p.offset.colExpr);
        } else {
            todo.push_back(n.a);
            todo.push_back(n.b);
        }
    }
}

void collectPrecedents(int sheet, const GX_CELL* cell, std::vector<GX_CELL*>& out) {
    out.clear();
    const GX_EXPR* e = cell->expr;
    if (!e || !e->nodes) return;
    std::vector<char> skip;
    markConstraintNodes(e, skip);
    auto single = [&](int32_t row, int32_t col) {
        GX_CELL* p = _gx_find_cell(sheet, row, col);
        if (p && p->expr) out.push_back(p);
    };
    auto block = [&](const GX_RANGE& r) {
        GX_RANGE_ITER it;
        _gx_range_iter_init(sheet, &r, &it, GX_LIST_FORMULA);
        while (GX_CELL* p = _gx_range_iter_next(&it)) out.push_back(p);
    };
    std::vector<uint16_t> offsets;
    for (uint16_t i = 0; i < e->nodeCount; ++i) {
        const GX_EXPR_NODE& n = e->nodes[i];
        if (skip[i] || (n.flags & GX_NF_SKIP)) continue;
        switch (n.kind) {
        case GX_NODE_CELL: single(n.p.range.top(), n.p.range.left()); break;
        case GX_NODE_RANGE: block(n.p.range); break;
        case GX_NODE_NAMEDCELL:
            if (n.p.name) single(n.p.name->range.top(), n.p.name->range.left());
            break;
        case GX_NODE_NAMEDRANGE:
            if (n.p.name) block(n.p.name->range);
            break;
        case GX_NODE_OFFSET: offsets.push_back(i); break;
        default: break;
        }
    }
    // Offset references last, once the cells their offsets read are known.
    for (uint16_t i : offsets) {
        int32_t row = 0, col = 0;
        if (_gx_offset_target(sheet, cell, e->nodes, i, &row, &col)) single(row, col);
    }
}

struct WalkFrame {
    GX_CELL* cell;
    bool recompute;
    bool waiting; // a precedent is being walked
    bool stopped;
    size_t next;
    std::vector<GX_CELL*> precedents;
};

// After precedent P has been brought up to date.
void afterPrecedent(GX_SHEET* sh, WalkFrame& f, const GX_CELL* p) {
    if (p->flags & GX_CF_CYCLE) sh->cyclePending = 1;
    if (!f.cell->entered()) {
        f.recompute = false;
        f.stopped = true;
        return;
    }
    if (int32_t(f.cell->stamp - p->stamp) < 0) f.recompute = true;
}

int countViolations(int sheet, GX_CELL_LIST* list) {
    int count = 0;
    GX_LIST_ITER it;
    _gx_list_iter_init(list, &it);
    while (GX_CELL* c = _gx_list_iter_next(&it)) {
        if (!c->entered() || c->valueType() == GX_VAL_ERROR) continue;
        if (!_gx_check_constraint(sheet, c)) ++count;
    }
    return count;
}

int onePass(int sheet) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    bool anyDirty = false;
    {
        GX_LIST_ITER it;
        _gx_list_iter_init(&sh->lists[1], &it);
        while (GX_CELL* c = _gx_list_iter_next(&it)) {
            if (!c->entered()) continue;
            c->flags &= ~(GX_CF_VISITED | GX_CF_ACTIVE | GX_CF_CYCLE);
            if (needsRecalc(sh, c)) c->flags |= GX_CF_DIRTY;
            if (c->flags & GX_CF_DIRTY) anyDirty = true;
        }
    }
    {
        GxDeferredScope deferred(sheet, GX_LIST_ALL);
        if (anyDirty) {
            sh->recalcGeneration++;
            if (sh->recalcMethod == 1) {
                GX_LIST_ITER it;
                _gx_list_iter_init(&sh->lists[1], &it);
                while (GX_CELL* c = _gx_list_iter_next(&it))
                    if (c->entered() && !(c->flags & GX_CF_VISITED)) _gx_recalc_cell(sheet, c);
            }
        }
    }
    if (sh->constraintCheck && sh->reportPending) {
        int count;
        {
            GxDeferredScope deferred(sheet, GX_LIST_ALL);
            count = countViolations(sheet, &sh->lists[0]) + countViolations(sheet, &sh->lists[1]);
        }
        if (count == 0) return 0;
        if (count == 1) std::snprintf(sh->messageBuffer, sizeof sh->messageBuffer, "There is 1 constraint violation!");
        else
            std::snprintf(sh->messageBuffer, sizeof sh->messageBuffer, "There are %d constraint violations!", count);
        sh->reportPending = 0;
        return count;
    }
    return 0;
}

int recalc(int sheet, bool forced) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    if (sh->manualRecalc && !forced) {
        _gx_free_changed_ranges(sheet);
        return 0;
    }
    try {
        sh->cyclePending = 0;
        onePass(sheet);
        if (sh->cyclePending && sh->iterationLimit >= 1) {
            for (int i = 0; i < sh->iterationLimit; ++i) {
                int r = onePass(sheet);
                if (sh->constraintCheck && r == 0) break;
            }
        }
    } catch (const std::bad_alloc&) {
        _gx_free_changed_ranges(sheet);
        _gx_set_error_code(5);
        return 0;
    }
    _gx_free_changed_ranges(sheet);
    return 1;
}

} // namespace

int _gx_enter_formula(int sheet, int32_t row, int32_t col, const char* text, int32_t, const GX_VALUE* firstValue) {
    if (!inBounds(row, col)) return 0;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    GX_EXPR parsed;
    if (!_gx_parse_formula(sheet, text, &parsed)) return 0;
    GX_CELL* fresh = nullptr;
    GX_EXPR* header = nullptr;
    try {
        const GX_EXPR_NODE& root = parsed.nodes[parsed.root];
        const bool plainNumber = root.kind == GX_NODE_NUMBER && !(root.flags & GX_NF_HEX) &&
                                 parsed.constraintRoot == GX_NO_NODE && parsed.dependsRoot == GX_NO_NODE &&
                                 !parsed.comment;
        if (plainNumber) {
            fresh = _gx_cell_alloc(&sh->lists[0]);
            fresh->setKind(GX_KIND_NUMBER);
            fresh->value.number = root.p.number;
            fresh->setValueType(GX_VAL_NUMBER);
            _gx_expr_free_contents(&parsed);
        } else {
            const bool dependent = _gx_expr_has_reference(parsed.nodes, parsed.nodeCount) ||
                                   _gx_expr_has_call(parsed.nodes, parsed.nodeCount);
            header = static_cast<GX_EXPR*>(_gx_alloc(sizeof(GX_EXPR)));
            fresh = _gx_cell_alloc(&sh->lists[dependent ? 1 : 0]);
            *header = parsed;
            parsed = GX_EXPR();
            fresh->expr = header;
            header = nullptr;
            fresh->setKind(dependent ? GX_KIND_FORMULA : GX_KIND_CONSTFORMULA);
            fresh->stamp = sh->recalcGeneration;
            if (dependent && firstValue) {
                _gx_cell_set_value(fresh, firstValue);
                fresh->flags |= GX_CF_VISITED | GX_CF_CHANGED;
            }
        }
        fresh->row = row;
        fresh->col = col;
        replaceCell(sheet, fresh);
    } catch (const std::bad_alloc&) {
        _gx_expr_free_contents(&parsed);
        if (header) _gx_free(header);
        if (fresh && !fresh->entered()) _gx_cell_free(fresh);
        _gx_set_error_code(5);
        return 0;
    }
    if (fresh->kind() == GX_KIND_CONSTFORMULA) _gx_eval_cell(sheet, fresh);
    return 1;
}

int _gx_enter_number(int sheet, int32_t row, int32_t col, double number) {
    if (!inBounds(row, col)) return 0;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    GX_CELL* fresh = nullptr;
    try {
        fresh = _gx_cell_alloc(&sh->lists[0]);
        fresh->setKind(GX_KIND_NUMBER);
        fresh->value.number = number;
        fresh->setValueType(GX_VAL_NUMBER);
        fresh->row = row;
        fresh->col = col;
        replaceCell(sheet, fresh);
    } catch (const std::bad_alloc&) {
        if (fresh && !fresh->entered()) _gx_cell_free(fresh);
        _gx_set_error_code(5);
        return 0;
    }
    return 1;
}

int _gx_enter_text(int sheet, int32_t row, int32_t col, const char* text) {
    if (!inBounds(row, col)) return 0;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    // Kept as given, whole: escapes belong to string constants inside formulas.
    GX_CELL* fresh = nullptr;
    try {
        fresh = _gx_cell_alloc(&sh->lists[0]);
        fresh->setKind(GX_KIND_TEXT);
        GX_VALUE v;
        v.type = GX_VAL_TEXT;
        v.text = const_cast<char*>(text ? text : "");
        _gx_cell_set_value(fresh, &v);
        fresh->row = row;
        fresh->col = col;
        replaceCell(sheet, fresh);
    } catch (const std::bad_alloc&) {
        if (fresh && !fresh->entered()) _gx_cell_free(fresh);
        _gx_set_error_code(5);
        return 0;
    }
    return 1;
}

static int clearRange(int sheet, const GX_RANGE* range);

int _gx_clear_range(int sheet, const GX_RANGE* range) {
    return gxOutOfMemoryGuard([&] { return clearRange(sheet, range); });
}

static int clearRange(int sheet, const GX_RANGE* range) {
    GX_RANGE r = *range;
    if (!_gx_clip_to_extent(sheet, &r)) return 0;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    sh->modified = 1;
    GxDeferredScope deferred(sheet, GX_LIST_ALL);
    std::vector<GX_CELL*> removed;
    GX_RANGE_ITER it;
    _gx_range_iter_init(sheet, &r, &it, GX_LIST_VALUE | GX_LIST_FORMULA);
    while (GX_CELL* c = _gx_range_iter_next(&it)) removed.push_back(c);
    for (GX_CELL* c : removed) {
        const GX_EXPR* e = c->expr;
        if (e && e->nodes && e->nodeCount >= 2 && e->nodes[0].kind == GX_NODE_NUMBER &&
            e->nodes[1].kind == GX_NODE_CELL) {
            try {
                _gx_add_changed_range(sheet, &e->nodes[1].p.range);
            } catch (const std::bad_alloc&) {
                _gx_free_changed_ranges(sheet); // an empty list recalculates everything: still correct
            }
        }
        _gx_remove_cell(sheet, c);
        if (sh->undoRecording) _gx_push_undo_cell(sheet, c);
        else _gx_cell_free(c);
    }
    try {
        _gx_add_changed_range(sheet, &r);
    } catch (const std::bad_alloc&) {
        _gx_free_changed_ranges(sheet);
    }
    return 1;
}

int _gx_recalc(int sheet) { return recalc(sheet, false); }
int _gx_recalc_forced(int sheet) { return recalc(sheet, true); }

static void recalcCell(int sheet, GX_CELL* cell);

void _gx_recalc_cell(int sheet, GX_CELL* cell) {
    try {
        recalcCell(sheet, cell);
    } catch (const std::bad_alloc&) {
        _gx_set_error_code(5); // the cells not reached keep their values; the next pass tries again
    }
}

static void recalcCell(int sheet, GX_CELL* cell) {
    if (!cell || (cell->flags & GX_CF_VISITED)) return;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    std::vector<WalkFrame> stack;
    auto enter = [&](GX_CELL* c) {
        c->flags |= GX_CF_VISITED | GX_CF_ACTIVE;
        WalkFrame f{c, (c->flags & GX_CF_DIRTY) != 0, false, false, 0, {}};
        collectPrecedents(sheet, c, f.precedents);
        stack.push_back(std::move(f));
    };
    enter(cell);
    while (!stack.empty()) {
        WalkFrame& f = stack.back();
        if (f.waiting) {
            f.waiting = false;
            afterPrecedent(sh, f, f.precedents[f.next - 1]);
        }
        if (!f.stopped && f.next < f.precedents.size()) {
            GX_CELL* p = f.precedents[f.next++];
            if (p->flags & GX_CF_ACTIVE) f.cell->flags |= GX_CF_CYCLE;
            if (!(p->flags & GX_CF_VISITED)) {
                f.waiting = true;
                enter(p); // invalidates f
                continue;
            }
            afterPrecedent(sh, f, p);
            continue;
        }
        GX_CELL* c = f.cell;
        if (f.recompute) {
            _gx_eval_cell(sheet, c);
            c->flags &= ~GX_CF_DIRTY;
            c->stamp = sh->recalcGeneration;
        }
        c->flags &= ~GX_CF_ACTIVE;
        stack.pop_back();
    }
}

void _gx_report_cell_error(int sheet, GX_CELL* cell) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    // "Cell %s%d: ERROR: %s %s ", cut to the message buffer.
    const char* letters = _gx_column_letters(cell->col);
    std::string report = "Cell ";
    report += letters ? letters : "";
    report += std::to_string(cell->row);
    report += ": ERROR: ";
    report += cell->value.error.detail ? cell->value.error.detail : "";
    report += ' ';
    report += _gx_error_text(cell->value.error.code);
    report += ' ';
    size_t n = std::min(report.size(), sizeof sh->messageBuffer - 1);
    std::memcpy(sh->messageBuffer, report.data(), n);
    sh->messageBuffer[n] = '\0';
}
