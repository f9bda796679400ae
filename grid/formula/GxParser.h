// The formula parser: text to compiled expression (GX_EXPR and its node array), and the expression helpers.
#pragma once

#include "grid/formula/GxTypes.h"

int _gx_parse_formula(int sheet, const char* text, GX_EXPR* expr);
int _gx_expr_has_reference(const GX_EXPR_NODE* nodes, int count); // kinds 3, 4, 6, 7 and offset references
int _gx_expr_has_call(const GX_EXPR_NODE* nodes, int count);
void _gx_expr_free(GX_EXPR* expr);            // frees the contents and the header (a tracked allocation)
void _gx_expr_free_contents(GX_EXPR* expr);   // frees the contents only
GX_EXPR* _gx_expr_clone(const GX_EXPR* expr); // tracked header and contents; throws std::bad_alloc
