// Reference shifting: moving and copying rectangles, inserting, removing and moving rows and columns, with
// the references of every formula and named range kept pointing at the cells they named.
#pragma once

#include "grid/formula/GxTypes.h"

int _gx_insert_rows(int sheet, int32_t row, int32_t count);
int _gx_insert_cols(int sheet, int32_t col, int32_t count);
int _gx_remove_rows(int sheet, int32_t row, int32_t count);
int _gx_remove_cols(int sheet, int32_t col, int32_t count);
int _gx_move_range(int sheet, const GX_RANGE* source, int32_t destRow, int32_t destCol);
int _gx_copy_range(int sheet, const GX_RANGE* source, int32_t destRow, int32_t destCol, int noRecalc);
int _gx_move_rows_cols(int sheet, int byRows, int32_t first, int32_t last, int32_t destination);
