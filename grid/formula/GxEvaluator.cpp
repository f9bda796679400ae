// Call flow of one evaluation:
//   _gx_eval_cell -> _gx_evaluate -> evalNode (recursive over the node tree, at most 200 nodes deep)
//     operators -> toNumber / toInteger / deref -> the cell store
//     calls     -> argument frame -> the descriptor's routine (may raise, may evaluate lazy arguments)
//   _gx_raise_error throws Raised while the guard is set; _gx_evaluate catches it and makes an error item.
#include "grid/formula/GxEvaluator.h"

#include "grid/formula/GxEngineState.h"
#include "grid/formula/GxExprText.h"
#include "grid/formula/GxMemory.h"
#include "grid/formula/GxRecalc.h"
#include "grid/formula/GxReference.h"
#include "grid/formula/GxSheet.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

struct Raised {};

// Owns the text of an item while it is being worked on, so that a raised error frees it.
class Item {
public:
    Item() = default;
    explicit Item(const GX_ITEM& it) : it_(it) {}
    Item(Item&& o) noexcept : it_(o.it_) { o.it_.kind = GX_ITEM_EMPTY; }
    Item& operator=(Item&& o) noexcept {
        if (this != &o) {
            reset();
            it_ = o.it_;
            o.it_.kind = GX_ITEM_EMPTY;
        }
        return *this;
    }
    ~Item() { reset(); }
    GX_ITEM* operator->() { return &it_; }
    GX_ITEM& get() { return it_; }
    GX_ITEM release() {
        GX_ITEM r = it_;
        it_.kind = GX_ITEM_EMPTY;
        return r;
    }
    void reset() { _gx_item_free(&it_); }

    static Item number(double v) {
        Item i;
        i.it_.kind = GX_ITEM_NUMBER;
        i.it_.number = v;
        return i;
    }
    static Item error(int32_t code, const char* detail = nullptr) {
        Item i;
        i.it_.kind = GX_ITEM_ERROR;
        i.it_.error.code = code;
        i.it_.error.detail = detail;
        return i;
    }
    static Item text(char* owned) {
        Item i;
        i.it_.kind = GX_ITEM_TEXT;
        i.it_.text = owned;
        return i;
    }

private:
    GX_ITEM it_;
};

GX_EVAL_STATE& st() { return *_gx_eval_state(); }

double finite(double v) {
    if (!std::isfinite(v)) _gx_raise_error(40, nullptr);
    return v;
}

Item evalNode(const GX_EXPR_NODE* nodes, uint16_t index);

double number(const GX_EXPR_NODE* nodes, uint16_t index) {
    Item i = evalNode(nodes, index);
    return _gx_item_to_number(&i.get(), st().sheet);
}

int32_t integer(const GX_EXPR_NODE* nodes, uint16_t index) {
    Item i = evalNode(nodes, index);
    return _gx_item_to_integer(&i.get(), st().sheet);
}

bool derefOrRaise(Item& item, int code) {
    if (!_gx_deref(&item.get(), st().sheet)) _gx_raise_error(code, nullptr);
    // An operand that names an error passes that error on.
    if (item->kind == GX_ITEM_ERROR) _gx_raise_error(item->error.code, item->error.detail);
    return true;
}

Item compare(const GX_EXPR_NODE& n, const GX_EXPR_NODE* nodes) {
    static const int kFailCodes[] = {94, 90, 93, 96, 92, 95}; // ==, !=, <, >, <=, >=
    const uint32_t op = n.p.op;
    const int failCode = kFailCodes[op - GX_OP_EQ];
    Item a = evalNode(nodes, n.a);
    Item b = evalNode(nodes, n.b);
    derefOrRaise(a, failCode);
    derefOrRaise(b, failCode);
    int result = 0;
    const bool aText = a->kind == GX_ITEM_TEXT, bText = b->kind == GX_ITEM_TEXT;
    if (a->kind != b->kind) {
        // Texts sort below numbers.
        switch (op) {
        case GX_OP_EQ: result = 0; break;
        case GX_OP_NE: result = 1; break;
        case GX_OP_LT: case GX_OP_LE: result = aText; break;
        default: result = !aText; break;
        }
    } else if (aText && bText) {
        // Whole texts, without their trailing blanks.
        int c = _gx_trimmed(a->text).compare(_gx_trimmed(b->text));
        switch (op) {
        case GX_OP_EQ: result = c == 0; break;
        case GX_OP_NE: result = c != 0; break;
        case GX_OP_LT: result = c < 0; break;
        case GX_OP_GT: result = c > 0; break;
        case GX_OP_LE: result = c <= 0; break;
        default: result = c >= 0; break;
        }
    } else {
        // Two numbers (or two empty results, which compare equal).
        double x = a->kind == GX_ITEM_NUMBER ? a->number : 0.0;
        double y = b->kind == GX_ITEM_NUMBER ? b->number : 0.0;
        switch (op) {
        case GX_OP_EQ: result = x == y; break;
        case GX_OP_NE: result = !(x == y); break;
        case GX_OP_LT: result = x < y; break;
        case GX_OP_GT: result = x > y; break;
        case GX_OP_LE: result = x <= y; break;
        default: result = x >= y; break;
        }
    }
    return Item::number(result);
}

Item concat(const GX_EXPR_NODE& n, const GX_EXPR_NODE* nodes) {
    Item a = evalNode(nodes, n.a);
    Item b = evalNode(nodes, n.b);
    derefOrRaise(a, 91);
    derefOrRaise(b, 91);
    if (a->kind != b->kind) _gx_raise_error(140, nullptr);
    if (a->kind == GX_ITEM_NUMBER) {
        int32_t x = _gx_item_to_integer(&a.get(), st().sheet);
        int32_t y = _gx_item_to_integer(&b.get(), st().sheet);
        return Item::number(double(x & y));
    }
    if (a->kind != GX_ITEM_TEXT) _gx_raise_error(91, nullptr);
    size_t la = std::strlen(a->text), lb = std::strlen(b->text);
    if (la + lb >= 512) _gx_raise_error(150, nullptr);
    char* out = static_cast<char*>(_gx_alloc(la + lb + 1));
    std::memcpy(out, a->text, la);
    std::memcpy(out + la, b->text, lb + 1);
    return Item::text(out);
}

Item evalOperator(const GX_EXPR_NODE& n, const GX_EXPR_NODE* nodes) {
    switch (n.p.op) {
    case GX_OP_ADD: { double a = number(nodes, n.a); return Item::number(finite(a + number(nodes, n.b))); }
    case GX_OP_SUB: { double a = number(nodes, n.a); return Item::number(finite(a - number(nodes, n.b))); }
    case GX_OP_PLUS: return Item::number(number(nodes, n.b));
    case GX_OP_NEG: return Item::number(-number(nodes, n.b));
    case GX_OP_MUL: { double a = number(nodes, n.a); return Item::number(finite(a * number(nodes, n.b))); }
    case GX_OP_DIV: {
        double a = number(nodes, n.a);
        double b = number(nodes, n.b);
        if (b == 0.0) _gx_raise_error(70, nullptr);
        return Item::number(finite(a / b));
    }
    case GX_OP_POW: {
        double a = number(nodes, n.a);
        double b = number(nodes, n.b);
        errno = 0;
        double r = std::pow(a, b);
        // A result too small for a double (ERANGE with 0 or a denormal) is that small number, not an error;
        // a domain error, a pole and an overflow are.
        if (errno == EDOM || !std::isfinite(r)) _gx_raise_error(70, nullptr);
        return Item::number(r);
    }
    case GX_OP_MOD: {
        int32_t a = integer(nodes, n.a);
        int32_t b = integer(nodes, n.b);
        if (b == 0) _gx_raise_error(122, nullptr);
        // The smallest integer by -1 overflows; its remainder is 0.
        return Item::number(b == -1 ? 0.0 : double(a % b));
    }
    case GX_OP_AND: {
        if (number(nodes, n.a) == 0.0) return Item::number(0);
        return Item::number(number(nodes, n.b) != 0.0 ? 1 : 0);
    }
    case GX_OP_OR: {
        if (number(nodes, n.a) != 0.0) return Item::number(1);
        return Item::number(number(nodes, n.b) != 0.0 ? 1 : 0);
    }
    case GX_OP_NOT: return Item::number(number(nodes, n.b) == 0.0 ? 1 : 0);
    case GX_OP_BITAND: return concat(n, nodes);
    case GX_OP_BITOR: { int32_t a = integer(nodes, n.a); return Item::number(double(a | integer(nodes, n.b))); }
    case GX_OP_XOR: { int32_t a = integer(nodes, n.a); return Item::number(double(a ^ integer(nodes, n.b))); }
    case GX_OP_BITNOT: return Item::number(double(~integer(nodes, n.b)));
    case GX_OP_SHL: {
        int32_t a = integer(nodes, n.a);
        int32_t b = integer(nodes, n.b);
        return Item::number(double(int32_t(uint32_t(a) << (uint32_t(b) & 31u))));
    }
    case GX_OP_SHR: {
        int32_t a = integer(nodes, n.a);
        int32_t b = integer(nodes, n.b);
        return Item::number(double(a >> (uint32_t(b) & 31u)));
    }
    case GX_OP_EQ: case GX_OP_NE: case GX_OP_LT: case GX_OP_GT: case GX_OP_LE: case GX_OP_GE:
        return compare(n, nodes);
    case GX_OP_COND: {
        double c = number(nodes, n.a);
        const GX_EXPR_NODE& br = nodes[n.b];
        return evalNode(nodes, c != 0.0 ? br.a : br.b);
    }
    case GX_OP_RANGE: {
        Item a = evalNode(nodes, n.a);
        Item b = evalNode(nodes, n.b);
        if (a->kind != GX_ITEM_CELLREF || b->kind != GX_ITEM_CELLREF) _gx_raise_error(141, nullptr);
        Item r;
        r->kind = GX_ITEM_RANGE;
        GX_RANGE range = a->range;
        range.set(GX_RANGE::kSingle, false);
        range.setBottom(uint32_t(b->range.top()));
        range.setRight(uint32_t(b->range.left()));
        _gx_range_normalize(&range);
        r->range = range;
        return r;
    }
    case GX_OP_PERCENT: return Item::number(finite(number(nodes, n.b) * 0.01));
    case GX_OP_ERROR: return Item::error(89);
    default: _gx_raise_error(278, nullptr); return Item();
    }
}

// The argument frame of one call: its texts are freed however the call ends, and the caller's frame (of an
// enclosing call) is current again afterwards.
struct FrameScope {
    GX_ITEM* frame;
    GX_ITEM* previous;
    explicit FrameScope(GX_ITEM* f) : frame(f), previous(_gx_get_arg_frame()) {}
    ~FrameScope() {
        for (int i = 1; i <= frame[0].header.count; ++i) _gx_item_free(&frame[i]);
        frame[0].header.count = 0;
        _gx_set_arg_frame(previous);
    }
};

Item evalCall(const GX_EXPR_NODE& n, const GX_EXPR_NODE* nodes) {
    const GX_FUNCTION_DESC* d = n.p.func;
    if (!d) _gx_raise_error(227, nullptr);
    // Room for the parser's limit of 100 arguments after the header.
    GX_ITEM frame[GX_MAX_ARGS + 1];
    frame[0].kind = GX_ITEM_HEADER;
    frame[0].header.count = 0;
    FrameScope scope(frame);
    for (uint16_t l = n.b; l != GX_NO_NODE; l = nodes[l].b) {
        if (frame[0].header.count >= GX_MAX_ARGS) _gx_raise_error(160, nullptr);
        const GX_EXPR_NODE& link = nodes[l];
        Item arg;
        if (link.flags & GX_NF_LAZY) {
            arg->kind = GX_ITEM_LAZY;
            arg->lazy.nodes = nodes;
            arg->lazy.index = link.a;
        } else {
            arg = evalNode(nodes, link.a);
            if (link.p.link.type <= 2 && arg->kind != GX_ITEM_NUMBER && _gx_deref(&arg.get(), st().sheet)) {
                if (arg->kind == GX_ITEM_TEXT) arg = Item::number(std::atof(arg->text));
                else if (arg->kind == GX_ITEM_ERROR) _gx_raise_error(arg->error.code, arg->error.detail);
                else if (arg->kind != GX_ITEM_NUMBER) _gx_raise_error(128, nullptr);
            }
        }
        int k = ++frame[0].header.count;
        frame[k] = arg.release();
    }
    _gx_set_arg_frame(frame);
    st().functionName = d->name;
    if (d->noCall || !d->routine) _gx_raise_error(166, nullptr);
    Item result;
    d->routine(&result.get(), frame);
    st().errorCode = 0;
    st().errorDetail = nullptr;
    // A text result may be an argument's text, which the frame's release frees: keep a copy of its own.
    if (result->kind == GX_ITEM_TEXT) {
        char* copy = _gx_string_dup(result->text ? result->text : "");
        for (int i = 1; i <= frame[0].header.count; ++i)
            if (frame[i].kind == GX_ITEM_TEXT && frame[i].text == result->text) result->kind = GX_ITEM_EMPTY;
        result = Item::text(copy);
    } else if (result->kind == GX_ITEM_NUMBER) {
        finite(result->number);
    }
    _gx_release_arg_frame();
    return result;
}

Item evalOffset(const GX_EXPR_NODE& n, const GX_EXPR_NODE* nodes) {
    int64_t row = st().row, col = st().col;
    auto offset = [&](uint16_t index) -> int64_t {
        if (index == GX_NO_NODE) return 0;
        double v = number(nodes, index);
        if (!(std::fabs(v) < 1e9)) _gx_raise_error(110, nullptr);
        return int64_t(std::trunc(v));
    };
    row += offset(n.p.offset.rowExpr);
    col += offset(n.p.offset.colExpr);
    if (!gx_row_ok(row) || !gx_col_ok(col)) _gx_raise_error(110, nullptr);
    Item r;
    r->kind = GX_ITEM_CELLREF;
    _gx_make_cell_ref(&r->range, int32_t(row), int32_t(col), 0);
    return r;
}

Item evalNode(const GX_EXPR_NODE* nodes, uint16_t index) {
    if (index == GX_NO_NODE) _gx_raise_error(274, nullptr);
    const GX_EXPR_NODE& n = nodes[index];
    switch (n.kind) {
    case GX_NODE_OPERATOR: return evalOperator(n, nodes);
    case GX_NODE_NUMBER: return Item::number(n.p.number);
    case GX_NODE_STRING: return Item::text(_gx_string_dup(n.p.text ? n.p.text : ""));
    case GX_NODE_CELL: {
        Item r;
        r->kind = GX_ITEM_CELLREF;
        r->range = n.p.range;
        return r;
    }
    case GX_NODE_RANGE: {
        Item r;
        r->kind = GX_ITEM_RANGE;
        r->range = n.p.range;
        return r;
    }
    case GX_NODE_NAMETEXT: _gx_raise_error(283, nullptr); break;
    case GX_NODE_NAMEDCELL:
    case GX_NODE_NAMEDRANGE: {
        if (!n.p.name) _gx_raise_error(283, nullptr);
        Item r;
        r->kind = n.kind == GX_NODE_NAMEDCELL ? GX_ITEM_CELLREF : GX_ITEM_RANGE;
        r->range = n.p.name->range;
        return r;
    }
    case GX_NODE_CALL: return evalCall(n, nodes);
    case GX_NODE_OFFSET: return evalOffset(n, nodes);
    default: _gx_raise_error(284, nullptr); break;
    }
    return Item();
}

bool sameValue(const GX_CELL* cell, const GX_VALUE& v) {
    const int t = cell->valueType();
    switch (v.type) {
    case GX_VAL_ERROR:
        return t == GX_VAL_ERROR && cell->value.error.code == v.error.code &&
               cell->value.error.detail == v.error.detail;
    case GX_VAL_NUMBER: return t == GX_VAL_NUMBER && cell->value.number == v.number;
    case GX_VAL_TEXT: {
        size_t len = std::strlen(v.text);
        if (len > 8) return t == GX_VAL_TEXT && std::strcmp(cell->value.text, v.text) == 0;
        char inl[8] = {};
        std::memcpy(inl, v.text, len);
        return t == GX_VAL_INLINE && std::memcmp(cell->value.inl, inl, 8) == 0;
    }
    default: return false;
    }
}

} // namespace

GX_EVAL_STATE* _gx_eval_state() {
    static GX_EVAL_STATE state;
    return &state;
}

void _gx_item_free(GX_ITEM* item) {
    if (item && item->kind == GX_ITEM_TEXT) {
        _gx_free(item->text);
        item->text = nullptr;
        item->kind = GX_ITEM_EMPTY;
    }
}

void _gx_raise_error(int32_t code, const char* detail) {
    GX_EVAL_STATE& s = st();
    s.errorCode = code;
    s.errorDetail = detail;
    if (s.guard == 255) throw Raised{};
}

GX_ITEM _gx_evaluate(int sheet, int32_t row, int32_t col, const GX_EXPR_NODE* nodes, uint16_t root) {
    GX_EVAL_STATE& s = st();
    GX_EVAL_STATE saved = s;
    char work[512] = {};
    s.sheet = sheet;
    s.row = row;
    s.col = col;
    s.workBuffer = work;
    s.errorCode = 0;
    s.errorDetail = nullptr;
    s.functionName = nullptr;
    s.frame = nullptr;
    for (auto& t : s.temps) t = nullptr;
    s.guard = 255;
    GX_ITEM result;
    try {
        Item r = evalNode(nodes, root);
        // The value of a formula that is just a reference is the value of the cell it names.
        if (r->kind == GX_ITEM_CELLREF) _gx_deref(&r.get(), sheet);
        result = r.release();
    } catch (const Raised&) {
        result = Item::error(s.errorCode, s.errorDetail).release();
    } catch (const std::bad_alloc&) {
        s.errorCode = 5;
        result = Item::error(5).release();
    }
    s.guard = 0;
    for (auto& t : s.temps) {
        _gx_free(t);
        t = nullptr;
    }
    _gx_set_error_flag(s.errorCode != 0);
    _gx_set_error_code(s.errorCode);
    s = saved;
    return result;
}

int _gx_offset_target(int sheet, const GX_CELL* cell, const GX_EXPR_NODE* nodes, uint16_t index, int32_t* row,
                      int32_t* col) {
    GX_EVAL_STATE& s = st();
    GX_EVAL_STATE saved = s;
    char work[512] = {};
    s.sheet = sheet;
    s.row = cell->row;
    s.col = cell->col;
    s.workBuffer = work;
    s.errorCode = 0;
    s.frame = nullptr;
    for (auto& t : s.temps) t = nullptr;
    s.guard = 255;
    int ok = 0;
    try {
        Item r = evalNode(nodes, index);
        if (r->kind == GX_ITEM_CELLREF) {
            *row = r->range.top();
            *col = r->range.left();
            ok = 1;
        }
    } catch (const Raised&) {
    } catch (const std::bad_alloc&) {
    }
    s.guard = 0;
    for (auto& t : s.temps) _gx_free(t);
    s = saved;
    return ok;
}

GX_ITEM _gx_evaluate_lazy(const GX_ITEM* lazy) {
    if (!lazy || lazy->kind != GX_ITEM_LAZY) {
        _gx_raise_error(98, nullptr);
        return GX_ITEM();
    }
    return evalNode(lazy->lazy.nodes, lazy->lazy.index).release();
}

int _gx_register_temp(void* tracked) {
    for (auto& t : st().temps)
        if (!t) {
            t = tracked;
            return 1;
        }
    return 0;
}

int _gx_deref(GX_ITEM* item, int sheet) {
    switch (item->kind) {
    case GX_ITEM_NUMBER:
    case GX_ITEM_TEXT:
        return 1;
    case GX_ITEM_CELLREF: {
        const GX_CELL* c = _gx_find_cell(sheet, item->range.top(), item->range.left());
        const int t = c ? c->valueType() : GX_VAL_NONE;
        if (!c || c->kind() == GX_KIND_PLACEHOLDER || t == GX_VAL_NONE) {
            if (_gx_sheet_get(sheet)->blanksZero) {
                item->kind = GX_ITEM_NUMBER;
                item->number = 0;
            } else {
                item->kind = GX_ITEM_ERROR;
                item->error.code = 60;
                item->error.detail = nullptr;
            }
        } else if (t == GX_VAL_EMPTY) {
            item->kind = GX_ITEM_EMPTY;
        } else if (t == GX_VAL_ERROR) {
            if (st().guard == 255) _gx_raise_error(133, nullptr);
            item->kind = GX_ITEM_ERROR;
            item->error.code = 60;
            item->error.detail = nullptr;
        } else if (t == GX_VAL_NUMBER) {
            item->kind = GX_ITEM_NUMBER;
            item->number = c->value.number;
        } else {
            char buf[9];
            const char* text = _gx_cell_text(c, buf);
            item->kind = GX_ITEM_TEXT;
            item->text = _gx_string_dup(text ? text : "");
        }
        return 1;
    }
    case GX_ITEM_ERROR:
        if (st().guard == 255) _gx_raise_error(item->error.code, item->error.detail);
        return 0;
    default:
        return 0;
    }
}

double _gx_item_to_number(GX_ITEM* item, int sheet) {
    switch (item->kind) {
    case GX_ITEM_NUMBER: return item->number;
    case GX_ITEM_CELLREF:
        _gx_deref(item, sheet);
        return item->kind == GX_ITEM_CELLREF ? 0.0 : _gx_item_to_number(item, sheet);
    case GX_ITEM_TEXT: {
        bool empty = item->text[0] == '\0';
        _gx_item_free(item);
        if (empty && _gx_sheet_get(sheet)->blanksZero) return 0.0;
        _gx_raise_error(128, nullptr);
        return 0.0;
    }
    case GX_ITEM_ERROR:
        _gx_raise_error(item->error.code, item->error.detail);
        return 0.0;
    default:
        _gx_raise_error(128, nullptr);
        return 0.0;
    }
}

int32_t _gx_item_to_integer(GX_ITEM* item, int sheet) {
    switch (item->kind) {
    case GX_ITEM_NUMBER: {
        double v = item->number;
        if (!(v > -2147483649.0 && v < 4294967296.0)) {
            _gx_raise_error(136, nullptr);
            return 0;
        }
        return int32_t(uint32_t(int64_t(std::trunc(v))));
    }
    case GX_ITEM_CELLREF: {
        // An error in the named cell is raised by the dereference during an evaluation.
        _gx_deref(item, sheet);
        if (item->kind == GX_ITEM_NUMBER) return _gx_item_to_integer(item, sheet);
        _gx_item_free(item);
        return 0;
    }
    case GX_ITEM_ERROR:
        _gx_raise_error(item->error.code, item->error.detail);
        _gx_raise_error(128, nullptr);
        return 0;
    default:
        _gx_item_free(item);
        _gx_raise_error(128, nullptr);
        return 0;
    }
}

GX_VALUE _gx_item_to_value(const GX_ITEM* item) {
    GX_VALUE v;
    switch (item->kind) {
    case GX_ITEM_NUMBER: v.type = GX_VAL_NUMBER; v.number = item->number; break;
    case GX_ITEM_TEXT: v.type = GX_VAL_TEXT; v.text = item->text; break;
    case GX_ITEM_RANGE:
    case GX_ITEM_CELLREF: v.type = GX_VAL_ERROR; v.error.code = 149; v.error.detail = nullptr; break;
    case GX_ITEM_EMPTY: v.type = GX_VAL_EMPTY; break;
    case GX_ITEM_ERROR: v.type = GX_VAL_ERROR; v.error.code = item->error.code; v.error.detail = item->error.detail; break;
    default: v.type = GX_VAL_NONE; break;
    }
    return v;
}

void _gx_set_arg_frame(GX_ITEM* frame) { st().frame = frame; }
GX_ITEM* _gx_get_arg_frame() { return st().frame; }

void _gx_release_arg_frame() {
    GX_ITEM* frame = st().frame;
    if (!frame) return;
    for (int i = 1; i <= frame[0].header.count; ++i) _gx_item_free(&frame[i]);
    frame[0].header.count = 0;
    st().frame = nullptr;
}

int _gx_eval_cell(int sheet, GX_CELL* cell) {
    if (!cell || !cell->expr || !cell->expr->nodes) return 0;
    GX_ITEM r = _gx_evaluate(sheet, cell->row, cell->col, cell->expr->nodes, cell->expr->root);
    GX_VALUE v = _gx_item_to_value(&r);
    bool changed = false;
    try {
        if (v.type == GX_VAL_EMPTY) {
            cell->setValueType(GX_VAL_EMPTY);
        } else if (v.type == GX_VAL_ERROR || v.type == GX_VAL_NUMBER || v.type == GX_VAL_TEXT) {
            if (!sameValue(cell, v)) {
                _gx_cell_set_value(cell, &v);
                changed = true;
            }
            if (v.type == GX_VAL_ERROR && _gx_sheet_get(sheet)->reportPending) {
                _gx_report_cell_error(sheet, cell);
                _gx_sheet_get(sheet)->reportPending = 0;
            }
        }
    } catch (const std::bad_alloc&) {
        // No room for the text: the cell shows "out of memory" instead.
        GX_VALUE oom;
        oom.type = GX_VAL_ERROR;
        oom.error.code = 5;
        _gx_cell_set_value(cell, &oom);
        changed = true;
    }
    _gx_item_free(&r);
    if (changed) cell->flags |= GX_CF_CHANGED;
    return 1;
}

int _gx_check_constraint(int sheet, GX_CELL* cell) {
    if (!cell || !cell->expr || !cell->expr->nodes || cell->expr->constraintRoot == GX_NO_NODE) return 1;
    GX_ITEM r = _gx_evaluate(sheet, cell->row, cell->col, cell->expr->nodes, cell->expr->constraintRoot);
    const bool violated = r.kind == GX_ITEM_NUMBER && r.number == 0.0;
    _gx_item_free(&r);
    const bool was = (cell->flags & GX_CF_VIOLATED) != 0;
    if (violated) cell->flags |= GX_CF_VIOLATED;
    else cell->flags &= ~GX_CF_VIOLATED;
    if (was != violated) cell->flags |= GX_CF_CHANGED;
    return violated ? 0 : 1;
}
