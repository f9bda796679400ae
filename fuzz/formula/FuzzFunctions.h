// A small function table for the formula fuzz targets (the engine itself defines no function).
#pragma once

#include "grid/formula/GxFormula.h"

#include <cstring>

namespace fuzzfn {

inline GX_ITEM* sum(GX_ITEM* result, GX_ITEM* frame) {
    double total = 0;
    for (int i = 1; i <= frame[0].header.count; ++i)
        if (frame[i].kind != GX_ITEM_RANGE && frame[i].kind != GX_ITEM_LAZY)
            total += _gx_item_to_number(&frame[i], _gx_eval_state()->sheet);
    result->kind = GX_ITEM_NUMBER;
    result->number = total;
    return result;
}

inline GX_ITEM* first(GX_ITEM* result, GX_ITEM* frame) {
    if (frame[0].header.count >= 1 && frame[1].kind == GX_ITEM_LAZY) *result = _gx_evaluate_lazy(&frame[1]);
    else if (frame[0].header.count >= 1 && frame[1].kind == GX_ITEM_TEXT) {
        result->kind = GX_ITEM_TEXT;
        result->text = frame[1].text;
    } else {
        result->kind = GX_ITEM_NUMBER;
        result->number = 0;
    }
    return result;
}

inline const GX_PARAM_DESC kAny[] = {{3, 0, GX_PARAM_REPEATING}};
inline const GX_PARAM_DESC kLazy[] = {{3, 0, GX_PARAM_LAZY}, {0, 0, GX_PARAM_OPTIONAL}, {1, 0, GX_PARAM_REPEATING},
                                      {2, 0, 0}};
inline const GX_FUNCTION_DESC kTable[] = {
    {"SUM", sum, 0, 1, kAny},
    {"FIRST", first, 0, 4, kLazy},
    {"XVALUE", first, 0, 2, kAny},
    {"OFF", nullptr, 1, 0, nullptr},
};

class FuzzLookup : public GX_FUNCTION_LOOKUP {
public:
    const GX_FUNCTION_DESC* Lookup(const char* name) override {
        for (const auto& f : kTable)
            if (std::strcmp(f.name, name) == 0) return &f;
        return nullptr;
    }
};

inline void install() {
    if (!_gx_engine_state()->lookup) _gx_set_function_lookup(new FuzzLookup);
}

} // namespace fuzzfn
