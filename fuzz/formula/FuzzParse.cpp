// Parse fuzzing: any text parses or fails cleanly; a parsed formula writes back to a text that parses to the
// same text again; evaluation and freeing leave no engine memory behind.
#include "fuzz/formula/FuzzFunctions.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    fuzzfn::install();
    static int sheet = 0;
    if (!sheet) {
        sheet = _gx_sheet_create();
        GX_RANGE r;
        _gx_make_cell_ref(&r, 2, 1, 0);
        _gx_define_name(sheet, "Rate", &r);
        _gx_make_range_ref(&r, 1, 0, 5, 2, 0);
        _gx_define_name(sheet, "Block", &r);
        _gx_enter_number(sheet, 1, 0, 3);
        _gx_enter_text(sheet, 2, 0, "some text here");
    }
    const size_t before = _gx_tracked_count();
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str(); // the engine reads NUL-terminated texts

    GX_EXPR e;
    if (_gx_parse_formula(sheet, text.c_str(), &e)) {
        std::string t1, t2;
        _gx_expr_text(sheet, &e, t1);
        GX_ITEM r = _gx_evaluate(sheet, 3, 3, e.nodes, e.root);
        _gx_item_free(&r);
        GX_EXPR e2;
        if (!_gx_parse_formula(sheet, t1.c_str(), &e2)) {
            std::fprintf(stderr, "written text does not parse: [%s] -> [%s] error %d at %d\n", text.c_str(),
                         t1.c_str(), _gx_get_error_code(), _gx_get_error_pos());
            std::abort();
        }
        _gx_expr_text(sheet, &e2, t2);
        if (t1 != t2) {
            std::fprintf(stderr, "round trip differs: [%s] -> [%s] -> [%s]\n", text.c_str(), t1.c_str(), t2.c_str());
            std::abort();
        }
        GX_EXPR* clone = _gx_expr_clone(&e2);
        _gx_expr_free(clone);
        _gx_expr_free_contents(&e2);
        _gx_expr_free_contents(&e);
    }
    if (_gx_tracked_count() != before) {
        std::fprintf(stderr, "engine memory leaked: %zu -> %zu\n", before, _gx_tracked_count());
        std::abort();
    }
    return 0;
}
