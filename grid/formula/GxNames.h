// Named ranges of a sheet, and the small undo helpers that the shifting operations share.
#pragma once

#include "grid/formula/GxTypes.h"

int _gx_is_name_char(int ch);
int _gx_is_valid_name(const char* text);
int _gx_define_name(int sheet, const char* name, const GX_RANGE* range);
GX_NAMED_RANGE* _gx_find_name(int sheet, const char* name, GX_RANGE* range);
int _gx_delete_name(int sheet, const char* name);
int _gx_push_name(int sheet, GX_NAMED_RANGE* record);
void _gx_free_names(int sheet);
void _gx_push_undo_cell(int sheet, GX_CELL* cell);
void _gx_request_report(int sheet);
// Takes the most recently deleted name record off the sheet's deleted list (null when there is none).
GX_NAMED_RANGE* _gx_pop_deleted_name(int sheet);
