#include "grid/formula/GxEngineState.h"

GX_ENGINE_STATE* _gx_engine_state() {
    static GX_ENGINE_STATE state;
    return &state;
}

void _gx_set_function_lookup(GX_FUNCTION_LOOKUP* lookup) {
    GX_ENGINE_STATE* st = _gx_engine_state();
    if (st->lookup != lookup) delete st->lookup;
    st->lookup = lookup;
}

const GX_FUNCTION_DESC* _gx_lookup_function(const char* name) {
    GX_ENGINE_STATE* st = _gx_engine_state();
    return st->lookup ? st->lookup->Lookup(name) : nullptr;
}

void _gx_set_error_flag(int32_t value) { _gx_engine_state()->errorFlag = value; }
void _gx_set_error_code(int32_t number) { _gx_engine_state()->errorCode = number; }
void _gx_set_error_pos(int32_t position) { _gx_engine_state()->errorPos = position; }
int32_t _gx_get_error_code() { return _gx_engine_state()->errorCode; }
int32_t _gx_get_error_pos() { return _gx_engine_state()->errorPos; }
