// The expression evaluator: computes a compiled expression in the context of one cell. Errors end the
// evaluation (an exception caught inside _gx_evaluate) and become error values; they never escape.
#pragma once

#include "grid/formula/GxTypes.h"

struct GX_EVAL_STATE {
    virtual ~GX_EVAL_STATE() = default;
    int32_t sheet = 0;
    const char* functionName = nullptr;
    char* workBuffer = nullptr; // 512 characters
    int32_t row = 0;
    int32_t col = 0;
    int32_t errorCode = 0;
    const char* errorDetail = nullptr;
    GX_ITEM* frame = nullptr;
    void* temps[8] = {};
    uint32_t guard = 0; // 255 while an evaluation runs
};

GX_EVAL_STATE* _gx_eval_state();

// Evaluates nodes[root] for the cell at (row, col). A cell reference result is dereferenced. The caller owns
// the result's text (free it with _gx_item_free).
GX_ITEM _gx_evaluate(int sheet, int32_t row, int32_t col, const GX_EXPR_NODE* nodes, uint16_t root);
// Evaluates an unevaluated argument inside a function routine.
GX_ITEM _gx_evaluate_lazy(const GX_ITEM* lazy);
void _gx_item_free(GX_ITEM* item);
int _gx_eval_cell(int sheet, GX_CELL* cell);
int _gx_check_constraint(int sheet, GX_CELL* cell);
void _gx_raise_error(int32_t code, const char* detail);
double _gx_item_to_number(GX_ITEM* item, int sheet);
int32_t _gx_item_to_integer(GX_ITEM* item, int sheet);
int _gx_deref(GX_ITEM* item, int sheet);
GX_VALUE _gx_item_to_value(const GX_ITEM* item);
void _gx_set_arg_frame(GX_ITEM* frame);
GX_ITEM* _gx_get_arg_frame();
void _gx_release_arg_frame();
// Where the offset reference nodes[index] of `cell` points now; 0 when its offsets do not evaluate.
int _gx_offset_target(int sheet, const GX_CELL* cell, const GX_EXPR_NODE* nodes, uint16_t index, int32_t* row,
                      int32_t* col);
// Registers a tracked object in one of the eight temporary slots; it is freed when the evaluation ends.
// Returns 0 when all slots are taken.
int _gx_register_temp(void* tracked);
