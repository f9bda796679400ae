#include "grid/formula/GxSheet.h"

#include "grid/formula/GxEngineState.h"
#include "grid/formula/GxGuard.h"
#include "grid/formula/GxMemory.h"
#include "grid/formula/GxNames.h"
#include "grid/formula/GxParser.h"
#include "grid/formula/GxReference.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

GX_CELL_BLOCK* blockOf(const GX_CELL* cell) {
    const GX_CELL* first = cell - cell->slot();
    return reinterpret_cast<GX_CELL_BLOCK*>(reinterpret_cast<char*>(const_cast<GX_CELL*>(first)) -
                                            offsetof(GX_CELL_BLOCK, cells));
}

uint32_t bucketOf(int32_t row, int32_t col) {
    // The product wraps modulo 2^32 before the row is added.
    return (uint32_t(col) * 8388607u + uint32_t(row)) % GX_BUCKETS;
}

bool blockFull(const GX_CELL_BLOCK* b) { return b->used == 0xFFFFFFFFu; }

void unlinkBlock(GX_CELL_LIST* list, GX_CELL_BLOCK* b) {
    if (b->prev) b->prev->next = b->next;
    else list->head = b->next;
    if (b->next) b->next->prev = b->prev;
    else list->tail = b->prev;
    b->next = b->prev = nullptr;
}

void pushHead(GX_CELL_LIST* list, GX_CELL_BLOCK* b) {
    b->prev = nullptr;
    b->next = list->head;
    if (list->head) list->head->prev = b;
    list->head = b;
    if (!list->tail) list->tail = b;
}

void pushTail(GX_CELL_LIST* list, GX_CELL_BLOCK* b) {
    b->next = nullptr;
    b->prev = list->tail;
    if (list->tail) list->tail->next = b;
    list->tail = b;
    if (!list->head) list->head = b;
}

GX_CELL_BLOCK* newBlock(GX_CELL_LIST* list) {
    auto* b = static_cast<GX_CELL_BLOCK*>(_gx_alloc(sizeof(GX_CELL_BLOCK)));
    b->list = list;
    pushHead(list, b);
    return b;
}

// Occupancy arrays grow by an eighth (between 4 and 1024 entries), or to what is needed when that is more.
void growCounts(int32_t*& counts, int32_t& cap, int32_t needed) {
    if (needed <= cap) return;
    int32_t newCap;
    if (!counts) {
        newCap = needed;
    } else {
        int32_t inc = std::clamp(cap / 8, 4, 1024);
        newCap = std::max(cap + inc, needed);
    }
    auto* fresh = static_cast<int32_t*>(_gx_alloc(sizeof(int32_t) * size_t(newCap)));
    if (counts) {
        std::memcpy(fresh, counts, sizeof(int32_t) * size_t(cap));
        _gx_free(counts);
    }
    counts = fresh;
    cap = newCap;
}

void countIn(GX_SHEET* sh, const GX_CELL* cell) {
    growCounts(sh->rowCounts, sh->rowCap, cell->row);
    growCounts(sh->colCounts, sh->colCap, cell->col + 1);
    sh->rowCounts[cell->row - 1]++;
    sh->colCounts[cell->col]++;
    if (sh->extentValid) {
        GX_RANGE& e = sh->extent;
        if (cell->row < e.top()) e.setTop(uint32_t(cell->row));
        if (cell->row > e.bottom()) e.setBottom(uint32_t(cell->row));
        if (cell->col < e.left()) e.setLeft(uint32_t(cell->col));
        if (cell->col > e.right()) e.setRight(uint32_t(cell->col));
    } else {
        sh->extent = GX_RANGE();
        sh->extent.setTop(uint32_t(cell->row));
        sh->extent.setBottom(uint32_t(cell->row));
        sh->extent.setLeft(uint32_t(cell->col));
        sh->extent.setRight(uint32_t(cell->col));
        sh->extentValid = 1;
    }
}

void countOut(GX_SHEET* sh, const GX_CELL* cell) {
    GX_RANGE& e = sh->extent;
    if (--sh->rowCounts[cell->row - 1] == 0 && sh->extentValid) {
        if (cell->row == e.top()) {
            int32_t r = cell->row;
            while (r <= e.bottom() && sh->rowCounts[r - 1] == 0) ++r;
            if (r > e.bottom()) sh->extentValid = 0;
            else e.setTop(uint32_t(r));
        } else if (cell->row == e.bottom()) {
            int32_t r = cell->row;
            while (r >= e.top() && sh->rowCounts[r - 1] == 0) --r;
            if (r < e.top()) sh->extentValid = 0;
            else e.setBottom(uint32_t(r));
        }
    }
    if (--sh->colCounts[cell->col] == 0 && sh->extentValid) {
        if (cell->col == e.left()) {
            int32_t c = cell->col;
            while (c <= e.right() && sh->colCounts[c] == 0) ++c;
            if (c > e.right()) sh->extentValid = 0;
            else e.setLeft(uint32_t(c));
        } else if (cell->col == e.right()) {
            int32_t c = cell->col;
            while (c >= e.left() && sh->colCounts[c] == 0) --c;
            if (c < e.left()) sh->extentValid = 0;
            else e.setRight(uint32_t(c));
        }
    }
}

void freeList(GX_CELL_LIST* list) {
    list->deferred = 0;
    list->tidy = 0;
    while (GX_CELL_BLOCK* b = list->head) {
        // Releasing the block's last record frees the block itself.
        uint32_t used = b->used;
        if (!used) {
            unlinkBlock(list, b);
            _gx_free(b);
            continue;
        }
        for (int i = 0; used; ++i) {
            if (!(used & (1u << i))) continue;
            used &= ~(1u << i);
            _gx_cell_free(&b->cells[i]);
        }
    }
    list->count = 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Sheets and settings

static int sheetCreate();

int _gx_sheet_create() {
    return gxOutOfMemoryGuard([] { return sheetCreate(); });
}

static int sheetCreate() {
    auto& sheets = _gx_engine_state()->sheets;
    auto* sh = static_cast<GX_SHEET*>(_gx_alloc(sizeof(GX_SHEET)));
    for (size_t i = 0; i < sheets.size(); ++i)
        if (!sheets[i]) {
            sheets[i] = sh;
            return int(i + 1);
        }
    try {
        sheets.push_back(sh);
    } catch (...) {
        _gx_free(sh);
        throw;
    }
    return int(sheets.size());
}

GX_SHEET* _gx_sheet_get(int sheet) {
    auto& sheets = _gx_engine_state()->sheets;
    if (sheet < 1 || size_t(sheet) > sheets.size()) return nullptr;
    return sheets[size_t(sheet - 1)];
}

void _gx_sheet_destroy(int sheet) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    if (!sh) return;
    _gx_free_changed_ranges(sheet);
    _gx_free(sh->rowCounts);
    _gx_free(sh->colCounts);
    for (auto& list : sh->lists) freeList(&list);
    _gx_free_names(sheet);
    _gx_free(sh);
    _gx_engine_state()->sheets[size_t(sheet - 1)] = nullptr;
}

#define GX_FLAG_SETTING(setter, getter, field, maxValue)                                                      \
    int setter(int sheet, int value) {                                                                        \
        if (value < 0 || value > (maxValue)) return 0;                                                        \
        _gx_sheet_get(sheet)->field = value;                                                                  \
        return 1;                                                                                             \
    }                                                                                                         \
    int getter(int sheet) { return _gx_sheet_get(sheet)->field; }

GX_FLAG_SETTING(_gx_set_manual_recalc, _gx_get_manual_recalc, manualRecalc, 1)
GX_FLAG_SETTING(_gx_set_recalc_method, _gx_get_recalc_method, recalcMethod, 1)
GX_FLAG_SETTING(_gx_set_constraint_check, _gx_get_constraint_check, constraintCheck, 1)
GX_FLAG_SETTING(_gx_set_blanks_zero, _gx_get_blanks_zero, blanksZero, 1)
GX_FLAG_SETTING(_gx_set_iteration_limit, _gx_get_iteration_limit, iterationLimit, 100)
#undef GX_FLAG_SETTING

// ---------------------------------------------------------------------------------------------------------
// Cells

GX_CELL* _gx_find_cell(int sheet, int32_t row, int32_t col) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    for (GX_CELL* c = sh->buckets[bucketOf(row, col)]; c; c = c->next)
        if (c->row == row && c->col == col) return c;
    return nullptr;
}

void _gx_reserve_positions(int sheet, int32_t lastRow, int32_t lastCol) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    growCounts(sh->rowCounts, sh->rowCap, std::clamp<int32_t>(lastRow, 1, GX_MAX_ROW));
    growCounts(sh->colCounts, sh->colCap, std::clamp<int32_t>(lastCol, 0, GX_MAX_COL) + 1);
}

int _gx_insert_cell(int sheet, GX_CELL* cell) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    countIn(sh, cell); // may grow the counts (and throw) before anything is linked
    GX_CELL*& head = sh->buckets[bucketOf(cell->row, cell->col)];
    cell->next = head;
    head = cell;
    cell->flags |= GX_CF_ENTERED;
    sh->cellCount++;
    sh->modified = 1;
    return 1;
}

void _gx_remove_cell(int sheet, GX_CELL* cell) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    GX_CELL** link = &sh->buckets[bucketOf(cell->row, cell->col)];
    while (*link && *link != cell) link = &(*link)->next;
    if (!*link) return;
    *link = cell->next;
    cell->next = nullptr;
    cell->flags &= ~GX_CF_ENTERED;
    sh->cellCount--;
    countOut(sh, cell);
    sh->modified = 1;
}

void _gx_delete_cell(int sheet, GX_CELL* cell) {
    if (!cell) return;
    _gx_remove_cell(sheet, cell);
    _gx_cell_free(cell);
}

GX_CELL_LIST* _gx_cell_list(const GX_CELL* cell) { return blockOf(cell)->list; }

GX_CELL* _gx_cell_alloc(GX_CELL_LIST* list) {
    GX_CELL_BLOCK* b = nullptr;
    if (!list->deferred) {
        if (list->head && !blockFull(list->head)) b = list->head;
    } else {
        for (GX_CELL_BLOCK* x = list->head; x; x = x->next)
            if (!blockFull(x) && !x->reuse) {
                b = x;
                break;
            }
    }
    if (!b) b = newBlock(list);
    int slot = std::countr_zero(~b->used);
    b->used |= 1u << slot;
    if (blockFull(b) && b != list->tail) {
        if (!list->deferred) {
            unlinkBlock(list, b);
            pushTail(list, b);
        } else {
            list->tidy = 1;
        }
    }
    GX_CELL* cell = &b->cells[slot];
    *cell = GX_CELL();
    cell->flags = uint32_t(slot) << GX_CF_SLOT_SHIFT;
    list->count++;
    return cell;
}

void _gx_cell_free(GX_CELL* cell) {
    if (!cell) return;
    GX_CELL_BLOCK* b = blockOf(cell);
    GX_CELL_LIST* list = b->list;
    delete cell->style;
    cell->style = nullptr;
    if (cell->kind() == GX_KIND_FORMULA || cell->kind() == GX_KIND_CONSTFORMULA) {
        _gx_expr_free(cell->expr);
        cell->expr = nullptr;
        if (list->deferred) b->reuse = 1;
    } else if (cell->expr) {
        _gx_expr_free(cell->expr);
        cell->expr = nullptr;
    }
    if (cell->valueType() == GX_VAL_TEXT) {
        _gx_free(cell->value.text);
        cell->value.text = nullptr;
    }
    int slot = cell->slot();
    b->used &= ~(1u << slot);
    list->count--;
    cell->flags = uint32_t(slot) << GX_CF_SLOT_SHIFT;
    if (b->used) {
        if (b == list->head) return;
        if (!list->deferred) {
            unlinkBlock(list, b);
            pushHead(list, b);
        } else {
            list->tidy = 1;
        }
    } else if (!list->deferred) {
        unlinkBlock(list, b);
        _gx_free(b);
    } else {
        list->tidy = 1;
    }
}

GX_CELL_STYLE* _gx_cell_take_style(GX_CELL* cell) {
    if (!cell) return nullptr;
    GX_CELL_STYLE* s = cell->style;
    cell->style = nullptr;
    return s;
}

void _gx_cell_set_expr(GX_CELL* cell, const GX_EXPR* expr) {
    GX_EXPR* copy = _gx_expr_clone(expr);
    _gx_expr_free(cell->expr);
    cell->expr = copy;
}

void _gx_cell_set_value(GX_CELL* cell, const GX_VALUE* value) {
    char* oldText = cell->valueType() == GX_VAL_TEXT ? cell->value.text : nullptr;
    switch (value->type) {
    case GX_VAL_NUMBER:
        cell->value.number = value->number;
        cell->setValueType(GX_VAL_NUMBER);
        break;
    case GX_VAL_TEXT: {
        const char* t = value->text ? value->text : "";
        size_t n = std::strlen(t);
        if (n > 8) {
            cell->value.text = _gx_string_ndup(t, n);
            cell->setValueType(GX_VAL_TEXT);
        } else {
            char inl[8] = {};
            std::memcpy(inl, t, n);
            std::memcpy(cell->value.inl, inl, 8);
            cell->setValueType(GX_VAL_INLINE);
        }
        break;
    }
    case GX_VAL_ERROR:
        cell->value.error.code = value->error.code;
        cell->value.error.detail = value->error.detail;
        cell->setValueType(GX_VAL_ERROR);
        break;
    default:
        cell->setValueType(value->type);
        break;
    }
    if (oldText && !(cell->valueType() == GX_VAL_TEXT && cell->value.text == oldText)) _gx_free(oldText);
}

const char* _gx_cell_text(const GX_CELL* cell, char* buf) {
    if (cell->valueType() == GX_VAL_TEXT) return cell->value.text;
    if (cell->valueType() == GX_VAL_INLINE) {
        std::memcpy(buf, cell->value.inl, 8);
        buf[8] = '\0';
        return buf;
    }
    return nullptr;
}

GX_CELL* _gx_cell_copy_to_list(GX_CELL_LIST* list, const GX_CELL* cell) {
    GX_CELL* copy = _gx_cell_alloc(list);
    uint32_t slotBits = copy->flags & GX_CF_SLOT_MASK;
    try {
        GX_EXPR* expr = cell->expr ? _gx_expr_clone(cell->expr) : nullptr;
        char* text = nullptr;
        if (cell->valueType() == GX_VAL_TEXT) {
            try {
                text = _gx_string_dup(cell->value.text);
            } catch (...) {
                _gx_expr_free(expr);
                throw;
            }
        }
        *copy = *cell;
        copy->next = nullptr;
        copy->flags = (cell->flags & ~(GX_CF_SLOT_MASK | GX_CF_ENTERED)) | slotBits;
        copy->expr = expr;
        if (text) copy->value.text = text;
    } catch (...) {
        copy->flags = slotBits;
        copy->style = nullptr;
        _gx_cell_free(copy);
        throw;
    }
    return copy;
}

GX_CELL* _gx_cell_clone(const GX_CELL* cell) {
    GX_CELL* copy = _gx_cell_copy_to_list(_gx_cell_list(cell), cell);
    copy->style = nullptr;
    if (cell->style) {
        try {
            copy->style = cell->style->Clone();
        } catch (...) {
            _gx_cell_free(copy);
            throw;
        }
    }
    return copy;
}

// ---------------------------------------------------------------------------------------------------------
// Extent

int _gx_sheet_get_extent(int sheet, GX_RANGE* range) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    if (!sh->extentValid || sh->cellCount == 0) return 0;
    *range = sh->extent;
    return 1;
}

int _gx_clip_to_extent(int sheet, GX_RANGE* range) {
    GX_RANGE e;
    if (!_gx_sheet_get_extent(sheet, &e) || !_gx_ranges_overlap(range, &e)) return 0;
    range->setTop(uint32_t(std::max(range->top(), e.top())));
    range->setBottom(uint32_t(std::min(range->bottom(), e.bottom())));
    range->setLeft(uint32_t(std::max(range->left(), e.left())));
    range->setRight(uint32_t(std::min(range->right(), e.right())));
    return 1;
}

// ---------------------------------------------------------------------------------------------------------
// Iteration

void _gx_range_iter_init(int sheet, const GX_RANGE* range, GX_RANGE_ITER* iter, uint32_t mask) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    *iter = GX_RANGE_ITER();
    iter->sheet = sheet;
    iter->range = *range;
    iter->mask = mask;
    int64_t records = 0;
    for (int i = 0; i < 3; ++i)
        if (mask & (1u << i)) records += sh->lists[i].count;
    // Compared in 64 bits: the area of a whole-sheet range does not fit 32 bits.
    iter->mode = range->area() >= records ? 1 : 0;
    iter->row = range->top();
    iter->col = range->left();
    iter->listIndex = -1;
}

void _gx_range_iter_init(int sheet, int32_t top, int32_t bottom, const GX_RANGE* cols, GX_RANGE_ITER* iter,
                         uint32_t mask) {
    GX_RANGE r = *cols;
    r.setTop(uint32_t(top));
    r.setBottom(uint32_t(bottom));
    _gx_range_iter_init(sheet, &r, iter, mask);
}

GX_CELL* _gx_range_iter_next(GX_RANGE_ITER* it) {
    if (it->mode == 2) return nullptr;
    GX_SHEET* sh = _gx_sheet_get(it->sheet);
    const GX_RANGE& r = it->range;
    if (it->mode == 0) {
        while (it->col <= r.right()) {
            while (it->row <= r.bottom()) {
                int32_t row = it->row++;
                for (GX_CELL* c = sh->buckets[bucketOf(row, it->col)]; c; c = c->next)
                    if (c->row == row && c->col == it->col) {
                        GX_CELL_LIST* list = _gx_cell_list(c);
                        int idx = int(list - sh->lists);
                        if (it->mask & (1u << idx)) return c;
                        break;
                    }
            }
            it->row = r.top();
            ++it->col;
        }
        it->mode = 2;
        return nullptr;
    }
    for (;;) {
        if (!it->block) {
            do {
                ++it->listIndex;
            } while (it->listIndex < 3 && !(it->mask & (1u << it->listIndex)));
            if (it->listIndex >= 3) {
                it->mode = 2;
                return nullptr;
            }
            it->block = sh->lists[it->listIndex].head;
            it->slot = 0;
            continue;
        }
        while (it->slot < 32) {
            int s = it->slot++;
            if (!(it->block->used & (1u << s))) continue;
            GX_CELL* c = &it->block->cells[s];
            if (c->entered() && r.contains(c->row, c->col)) return c;
        }
        it->block = it->block->next;
        it->slot = 0;
    }
}

void _gx_list_iter_init(GX_CELL_LIST* list, GX_LIST_ITER* iter) {
    iter->list = list;
    iter->block = list->head;
    iter->slot = 0;
}

GX_CELL* _gx_list_iter_next(GX_LIST_ITER* it) {
    while (it->block) {
        while (it->slot < 32) {
            int s = it->slot++;
            if (it->block->used & (1u << s)) return &it->block->cells[s];
        }
        it->block = it->block->next;
        it->slot = 0;
    }
    return nullptr;
}

int _gx_sheet_count_cells(int sheet, uint32_t mask) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    int n = 0;
    for (int i = 0; i < 3; ++i)
        if (mask & (1u << i)) n += sh->lists[i].count;
    return n;
}

uint32_t _gx_sheet_begin_deferred(int sheet, uint32_t mask) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    uint32_t began = 0;
    for (int i = 0; i < 3; ++i)
        if ((mask & (1u << i)) && !sh->lists[i].deferred) {
            sh->lists[i].deferred = 1;
            began |= 1u << i;
        }
    return began;
}

void _gx_sheet_end_deferred(int sheet, uint32_t mask) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    for (int i = 0; i < 3; ++i) {
        if (!(mask & (1u << i))) continue;
        GX_CELL_LIST* list = &sh->lists[i];
        list->deferred = 0;
        if (!list->head) {
            list->tidy = 0;
            continue;
        }
        list->head->reuse = 0;
        if (list->tidy) {
            GX_CELL_BLOCK* b = list->head->next;
            while (b) {
                GX_CELL_BLOCK* next = b->next;
                b->reuse = 0;
                if (!b->used) {
                    unlinkBlock(list, b);
                    _gx_free(b);
                } else if (!blockFull(b)) {
                    unlinkBlock(list, b);
                    pushHead(list, b);
                }
                b = next;
            }
            list->tidy = 0;
        }
        if (list->head && !list->head->used) {
            GX_CELL_BLOCK* h = list->head;
            unlinkBlock(list, h);
            _gx_free(h);
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Changed ranges

// The list stays short: a range already held by a listed one is not listed again, and past
// kChangedRangeLimit records the list becomes the one rectangle that holds them all. A larger rectangle only
// asks more formulas to be recomputed; a record per stored cell made every store walk the whole list and
// every recalculation test each formula against each stored cell (a paste of 100,000 values took minutes).
constexpr int kChangedRangeLimit = 64;

namespace {

bool holds(const GX_RANGE& outer, const GX_RANGE& inner) {
    return outer.top() <= inner.top() && outer.bottom() >= inner.bottom() && outer.left() <= inner.left() &&
           outer.right() >= inner.right();
}

// Every record folded into the first, widened to hold `range` as well.
void foldChangedRanges(GX_SHEET* sh, const GX_RANGE* range) {
    GX_RANGE_REC* first = sh->changedRanges;
    int32_t top = range->top(), bottom = range->bottom(), left = range->left(), right = range->right();
    for (const GX_RANGE_REC* r = first; r; r = r->next) {
        top = std::min(top, r->range.top());
        bottom = std::max(bottom, r->range.bottom());
        left = std::min(left, r->range.left());
        right = std::max(right, r->range.right());
    }
    while (GX_RANGE_REC* r = first->next) {
        first->next = r->next;
        _gx_free(r);
    }
    first->range.setTop(uint32_t(top));
    first->range.setBottom(uint32_t(bottom));
    first->range.setLeft(uint32_t(left));
    first->range.setRight(uint32_t(right));
    first->range.set(GX_RANGE::kSingle, top == bottom && left == right);
}

} // namespace

void _gx_add_changed_range(int sheet, const GX_RANGE* range) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    GX_RANGE_REC** link = &sh->changedRanges;
    int count = 0;
    for (; *link; link = &(*link)->next, ++count)
        if (holds((*link)->range, *range)) return;
    if (count >= kChangedRangeLimit) {
        foldChangedRanges(sh, range);
        return;
    }
    try {
        auto* rec = static_cast<GX_RANGE_REC*>(_gx_alloc(sizeof(GX_RANGE_REC)));
        rec->range = *range;
        *link = rec;
    } catch (const std::bad_alloc&) {
        // An empty list means "everything changed": still correct, only slower.
        _gx_free_changed_ranges(sheet);
        _gx_set_error_code(5);
    }
}

void _gx_free_changed_ranges(int sheet) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    while (GX_RANGE_REC* r = sh->changedRanges) {
        sh->changedRanges = r->next;
        _gx_free(r);
    }
}
