// Cell entry (formula, number, text), range clearing and recalculation.
#pragma once

#include "grid/formula/GxTypes.h"

int _gx_enter_formula(int sheet, int32_t row, int32_t col, const char* text, int32_t unused,
                      const GX_VALUE* firstValue);
int _gx_enter_number(int sheet, int32_t row, int32_t col, double number);
int _gx_enter_text(int sheet, int32_t row, int32_t col, const char* text);
int _gx_clear_range(int sheet, const GX_RANGE* range);
int _gx_recalc(int sheet);
int _gx_recalc_forced(int sheet);
void _gx_recalc_cell(int sheet, GX_CELL* cell);
void _gx_report_cell_error(int sheet, GX_CELL* cell);
