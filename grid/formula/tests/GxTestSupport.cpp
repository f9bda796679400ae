#include "grid/formula/tests/GxTestSupport.h"

#include <cctype>
#include <map>
#include <string>

namespace gxtest {

namespace {

double argNumber(GX_ITEM* item) { return _gx_item_to_number(item, _gx_eval_state()->sheet); }

GX_ITEM* xvalueRoutine(GX_ITEM* result, GX_ITEM* frame) {
    result->kind = GX_ITEM_NUMBER;
    result->number = argNumber(&frame[1]);
    return result;
}

GX_ITEM* pickRoutine(GX_ITEM* result, GX_ITEM* frame) {
    double c = argNumber(&frame[1]);
    *result = _gx_evaluate_lazy(&frame[c != 0 ? 2 : 3]);
    return result;
}

GX_ITEM* argcRoutine(GX_ITEM* result, GX_ITEM* frame) {
    result->kind = GX_ITEM_NUMBER;
    result->number = frame[0].header.count;
    return result;
}

GX_ITEM* upperRoutine(GX_ITEM* result, GX_ITEM* frame) {
    if (frame[1].kind != GX_ITEM_TEXT) _gx_raise_error(98, nullptr);
    for (char* p = frame[1].text; *p; ++p) *p = char(std::toupper(static_cast<unsigned char>(*p)));
    result->kind = GX_ITEM_TEXT;
    result->text = frame[1].text; // the evaluator copies a text result that belongs to an argument
    return result;
}

const GX_PARAM_DESC kRepeatNumber[] = {{0, 0, GX_PARAM_REPEATING}};
const GX_PARAM_DESC kRepeatAny[] = {{3, 0, GX_PARAM_REPEATING}};
const GX_PARAM_DESC kTwoNumbers[] = {{0, 0, 0}, {0, 0, 0}};
const GX_PARAM_DESC kPick[] = {{0, 0, 0}, {3, 0, GX_PARAM_LAZY}, {3, 0, GX_PARAM_LAZY}};
const GX_PARAM_DESC kOneAny[] = {{3, 0, 0}};

const GX_FUNCTION_DESC kFunctions[] = {
    {"SUM", sumRoutine, 0, 1, kRepeatAny},
    {"XVALUE", xvalueRoutine, 0, 2, kTwoNumbers},
    {"PICK", pickRoutine, 0, 3, kPick},
    {"ARGC", argcRoutine, 0, 1, kRepeatNumber},
    {"UPPER", upperRoutine, 0, 1, kOneAny},
    {"NOCALL", nullptr, 1, 0, nullptr},
};

class TestLookup : public GX_FUNCTION_LOOKUP {
public:
    const GX_FUNCTION_DESC* Lookup(const char* name) override {
        for (const auto& f : kFunctions)
            if (std::string(f.name) == name) return &f;
        return nullptr;
    }
};

} // namespace

GX_ITEM* sumRoutine(GX_ITEM* result, GX_ITEM* frame) {
    const int sheet = _gx_eval_state()->sheet;
    double total = 0;
    for (int i = 1; i <= frame[0].header.count; ++i) {
        GX_ITEM& a = frame[i];
        if (a.kind == GX_ITEM_RANGE) {
            for (int64_t r = a.range.top(); r <= a.range.bottom(); ++r)
                for (int64_t c = a.range.left(); c <= a.range.right(); ++c) {
                    const GX_CELL* cell = _gx_find_cell(sheet, int32_t(r), int32_t(c));
                    if (cell && cell->valueType() == GX_VAL_NUMBER) total += cell->value.number;
                }
        } else {
            total += argNumber(&a);
        }
    }
    result->kind = GX_ITEM_NUMBER;
    result->number = total;
    return result;
}

void installTestFunctions() {
    if (!_gx_engine_state()->lookup) _gx_set_function_lookup(new TestLookup);
}

std::string roundTrip(int sheet, const char* text) {
    GX_EXPR e;
    if (!_gx_parse_formula(sheet, text, &e))
        return "ERR " + std::to_string(_gx_get_error_code()) + "@" + std::to_string(_gx_get_error_pos());
    std::string out;
    _gx_expr_text(sheet, &e, out);
    _gx_expr_free_contents(&e);
    return out;
}

} // namespace gxtest
