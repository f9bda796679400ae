// The engine's process-wide state: the table of sheets, the error status of the last parse or evaluation, the
// text settings of the unparser, the shifting flag and the installed function lookup.
#pragma once

#include "grid/formula/GxTypes.h"

#include <vector>

// The lookup through which calls resolve. The engine defines no function; an application installs one of
// these (the engine state owns it and deletes it).
class GX_FUNCTION_LOOKUP {
public:
    virtual ~GX_FUNCTION_LOOKUP() = default;
    virtual const GX_FUNCTION_DESC* Lookup(const char* upperName) = 0;
};

struct GX_ENGINE_STATE {
    std::vector<GX_SHEET*> sheets;
    int32_t errorFlag = 0;
    int32_t errorCode = 0;
    int32_t errorPos = 0;
    int32_t altOperators = 0;
    int32_t lowerCaseFunctions = 0;
    int32_t atFunctions = 0;
    int32_t escapeHighBytes = 0;
    int32_t shifting = 0;
    GX_FUNCTION_LOOKUP* lookup = nullptr;
    char columnBuf[8] = {};
    char refBuf[48] = {};

    ~GX_ENGINE_STATE() { delete lookup; }
};

GX_ENGINE_STATE* _gx_engine_state();

// Installs (and takes ownership of) the function lookup; the previous one is deleted. Null removes it.
void _gx_set_function_lookup(GX_FUNCTION_LOOKUP* lookup);
const GX_FUNCTION_DESC* _gx_lookup_function(const char* name);

// Error status.
void _gx_set_error_flag(int32_t value);
void _gx_set_error_code(int32_t number);
void _gx_set_error_pos(int32_t position);
int32_t _gx_get_error_code();
int32_t _gx_get_error_pos();
