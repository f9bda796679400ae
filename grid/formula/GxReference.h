// Cell references: column letters, reference text to and from GX_RANGE, and the small range helpers.
#pragma once

#include "grid/formula/GxTypes.h"

// Flags of the building operations.
enum : uint32_t {
    GX_REF_SINGLE = 1,
    GX_REF_FIRST_COL_ABS = 2,
    GX_REF_FIRST_ROW_ABS = 4,
    GX_REF_LAST_COL_ABS = 8,
    GX_REF_LAST_ROW_ABS = 16,
};

int _gx_letter_value(int ch);                 // 0..25, or -1
int _gx_column_number(const char* text);      // column of the leading letters, or -1 (above 4095 too)
const char* _gx_column_letters(int column);   // engine-state buffer; null above 4095
int _gx_parse_ref(const char* text, GX_RANGE* range);
const char* _gx_ref_text(const GX_RANGE* range); // engine-state buffer; null when out of bounds
int _gx_range_normalize(GX_RANGE* range);
GX_RANGE* _gx_make_cell_ref(GX_RANGE* range, int32_t row, int32_t col, uint32_t flags);
GX_RANGE* _gx_make_range_ref(GX_RANGE* range, int32_t top, int32_t left, int32_t bottom, int32_t right,
                             uint32_t flags);
GX_RANGE* _gx_range_at(GX_RANGE* range, const GX_RANGE* source, int32_t row, int32_t col);
int _gx_ranges_overlap(const GX_RANGE* a, const GX_RANGE* b);
int _gx_ranges_equal(const GX_RANGE* a, const GX_RANGE* b);

inline bool gx_row_ok(int64_t row) { return row >= 1 && row <= GX_MAX_ROW; }
inline bool gx_col_ok(int64_t col) { return col >= 0 && col <= GX_MAX_COL; }
