// Engine sheets and their cell store: a fixed hash table of cell records per sheet, records in blocks of 32
// owned by three lists (values, formulas, placeholders), row and column occupancy counts with the used extent,
// iterators, and the per-sheet settings.
#pragma once

#include "grid/formula/GxTypes.h"

int _gx_sheet_create();
void _gx_sheet_destroy(int sheet);
GX_SHEET* _gx_sheet_get(int sheet);

int _gx_set_manual_recalc(int sheet, int value);
int _gx_get_manual_recalc(int sheet);
int _gx_set_recalc_method(int sheet, int value);
int _gx_get_recalc_method(int sheet);
int _gx_set_constraint_check(int sheet, int value);
int _gx_get_constraint_check(int sheet);
int _gx_set_blanks_zero(int sheet, int value);
int _gx_get_blanks_zero(int sheet);
int _gx_set_iteration_limit(int sheet, int value);
int _gx_get_iteration_limit(int sheet);

GX_CELL* _gx_find_cell(int sheet, int32_t row, int32_t col);
// Entering a cell can grow the row and column counts (and so run out of memory). Growing them first for every
// position up to (lastRow, lastCol) makes entering cells there allocate nothing. Throws std::bad_alloc.
void _gx_reserve_positions(int sheet, int32_t lastRow, int32_t lastCol);
int _gx_insert_cell(int sheet, GX_CELL* cell);
void _gx_remove_cell(int sheet, GX_CELL* cell);
void _gx_delete_cell(int sheet, GX_CELL* cell);
GX_CELL* _gx_cell_alloc(GX_CELL_LIST* list); // throws std::bad_alloc
void _gx_cell_free(GX_CELL* cell);
GX_CELL_STYLE* _gx_cell_take_style(GX_CELL* cell);
void _gx_cell_set_expr(GX_CELL* cell, const GX_EXPR* expr);
void _gx_cell_set_value(GX_CELL* cell, const GX_VALUE* value);
GX_CELL* _gx_cell_copy_to_list(GX_CELL_LIST* list, const GX_CELL* cell);
GX_CELL* _gx_cell_clone(const GX_CELL* cell);
GX_CELL_LIST* _gx_cell_list(const GX_CELL* cell); // the list that owns the record
// The text of a cell's value (types 4 and 5) as a NUL-terminated string; `buf` holds 9 bytes.
const char* _gx_cell_text(const GX_CELL* cell, char* buf);

int _gx_sheet_get_extent(int sheet, GX_RANGE* range);
int _gx_clip_to_extent(int sheet, GX_RANGE* range);

void _gx_range_iter_init(int sheet, int32_t top, int32_t bottom, const GX_RANGE* cols, GX_RANGE_ITER* iter,
                         uint32_t mask);
void _gx_range_iter_init(int sheet, const GX_RANGE* range, GX_RANGE_ITER* iter, uint32_t mask);
GX_CELL* _gx_range_iter_next(GX_RANGE_ITER* iter);
void _gx_list_iter_init(GX_CELL_LIST* list, GX_LIST_ITER* iter);
GX_CELL* _gx_list_iter_next(GX_LIST_ITER* iter);
int _gx_sheet_count_cells(int sheet, uint32_t mask);
uint32_t _gx_sheet_begin_deferred(int sheet, uint32_t mask);
void _gx_sheet_end_deferred(int sheet, uint32_t mask);

// Changed ranges (recalculation's work list).
void _gx_add_changed_range(int sheet, const GX_RANGE* range);
void _gx_free_changed_ranges(int sheet);

// Holds lists deferred for a scope.
class GxDeferredScope {
public:
    GxDeferredScope(int sheet, uint32_t mask) : sheet_(sheet), mask_(_gx_sheet_begin_deferred(sheet, mask)) {}
    ~GxDeferredScope() { _gx_sheet_end_deferred(sheet_, mask_); }
    GxDeferredScope(const GxDeferredScope&) = delete;
    GxDeferredScope& operator=(const GxDeferredScope&) = delete;

private:
    int sheet_;
    uint32_t mask_;
};
