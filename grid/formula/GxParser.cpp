// Recursive descent, one procedure per precedence level, loosest first:
//   conditional ?: (right-assoc) > || > && > | > ^ (xor) > & > == != > < > <= >= > << >> > + - > * / % >
//   prefix + - ! ~ > ** (left-assoc) > postfix % > primary
// Every procedure returns as soon as the error flag is set. Nodes come from a fixed pool of 200; running out
// fails the parse with error 280 without writing past the pool.
#include "grid/formula/GxParser.h"

#include "grid/formula/GxEngineState.h"
#include "grid/formula/GxExprText.h"
#include "grid/formula/GxMemory.h"
#include "grid/formula/GxNames.h"
#include "grid/formula/GxReference.h"
#include "grid/formula/GxScanner.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int kMaxDepth = 200; // nesting of parenthesised or bracketed expressions

class Parser {
public:
    explicit Parser(int sheet) : sheet_(sheet) {}
    ~Parser() { freeTexts(); }

    bool run(const char* text, GX_EXPR* expr);
    int errorNumber() const { return errNo_; }
    int errorPos() const { return errPos_; }

private:
    // ---- tokens
    const GX_TOKEN& cur() { return cur_; }
    void advance() {
        if (la1Valid_) {
            cur_ = std::move(la1_);
            la1Valid_ = la2Valid_;
            if (la2Valid_) la1_ = std::move(la2_);
            la2Valid_ = false;
        } else {
            cur_ = _gx_lex();
        }
        if (cur_.code == GX_TK_ERROR) fail(cur_.extra, cur_.position);
    }
    const GX_TOKEN& peek() {
        if (!la1Valid_) { la1_ = _gx_lex(); la1Valid_ = true; }
        return la1_;
    }
    bool expect(int code) {
        if (err_) return false;
        if (cur_.code != code) {
            fail(code >= 0 && code <= 42 ? 231 + code : 225, cur_.position);
            return false;
        }
        advance();
        return !err_;
    }
    void fail(int number, int pos) {
        if (err_) return;
        err_ = true;
        errNo_ = number;
        errPos_ = pos;
    }

    // ---- nodes
    uint16_t alloc(uint8_t kind) {
        if (count_ >= GX_MAX_NODES) {
            fail(280, cur_.position);
            return 0; // the failure stops the parse; nothing is written through this index
        }
        GX_EXPR_NODE& n = pool_[count_];
        n = GX_EXPR_NODE();
        n.kind = kind;
        return uint16_t(count_++);
    }
    uint16_t allocOp(uint32_t op) {
        uint16_t i = alloc(GX_NODE_OPERATOR);
        if (!err_) pool_[i].p.op = op;
        return i;
    }
    void freeTexts() {
        for (int i = 0; i < count_; ++i)
            if ((pool_[i].kind == GX_NODE_STRING || pool_[i].kind == GX_NODE_NAMETEXT) && pool_[i].p.text) {
                _gx_free(pool_[i].p.text);
                pool_[i].p.text = nullptr;
            }
    }

    // ---- grammar
    uint16_t conditional();
    uint16_t binary(int level);
    uint16_t prefix();
    uint16_t power();
    uint16_t postfix();
    uint16_t primary();
    uint16_t rangeRule(uint16_t left);
    uint16_t rangeRight();
    uint16_t cellNode();
    uint16_t nameOrCall(bool function);
    uint16_t call(std::string name);
    void matchArguments(const GX_FUNCTION_DESC* d, const std::vector<uint16_t>& links);
    uint16_t resolveName(const std::string& name, int pos);
    uint16_t dependsItem();

    int sheet_;
    GX_EXPR_NODE pool_[GX_MAX_NODES];
    int count_ = 0;
    GX_TOKEN cur_, la1_, la2_;
    bool la1Valid_ = false, la2Valid_ = false;
    bool err_ = false;
    int errNo_ = 0, errPos_ = 0;
    int depth_ = 0;
};

struct LevelOp {
    int token;
    uint32_t op;
};
struct Level {
    LevelOp ops[4];
    int count;
};
// Binary levels from the loosest (0) to multiplicative (9); 10 is the prefix level.
const Level kLevels[] = {
    {{{GX_TK_OROR, GX_OP_OR}}, 1},
    {{{GX_TK_ANDAND, GX_OP_AND}}, 1},
    {{{GX_TK_BAR, GX_OP_BITOR}}, 1},
    {{{GX_TK_CARET, GX_OP_XOR}}, 1},
    {{{GX_TK_AMP, GX_OP_BITAND}}, 1},
    {{{GX_TK_ASSIGN, GX_OP_EQ}, {GX_TK_EQ, GX_OP_EQ}, {GX_TK_NE, GX_OP_NE}}, 3},
    {{{GX_TK_LT, GX_OP_LT}, {GX_TK_GT, GX_OP_GT}, {GX_TK_LE, GX_OP_LE}, {GX_TK_GE, GX_OP_GE}}, 4},
    {{{GX_TK_SHL, GX_OP_SHL}, {GX_TK_SHR, GX_OP_SHR}}, 2},
    {{{GX_TK_PLUS, GX_OP_ADD}, {GX_TK_MINUS, GX_OP_SUB}}, 2},
    {{{GX_TK_STAR, GX_OP_MUL}, {GX_TK_SLASH, GX_OP_DIV}, {GX_TK_PERCENT, GX_OP_MOD}}, 3},
};
constexpr int kLevelCount = int(sizeof kLevels / sizeof kLevels[0]);

bool startsOperand(int code) {
    switch (code) {
    case GX_TK_HASH: case GX_TK_LPAREN: case GX_TK_CELL: case GX_TK_NAME: case GX_TK_FUNCTION:
    case GX_TK_STRING: case GX_TK_NUMBER: case GX_TK_HEX: case GX_TK_ERRREF:
        return true;
    default:
        return false;
    }
}

bool Parser::run(const char* text, GX_EXPR* expr) {
    _gx_scan_string(text);
    cur_ = _gx_lex();
    if (cur_.code == GX_TK_ERROR) fail(cur_.extra, cur_.position);
    if (!err_ && cur_.code != GX_TK_ASSIGN) {
        if (cur_.code == GX_TK_EQ) fail(274, cur_.position + 1);
        else fail(231 + GX_TK_ASSIGN, cur_.position);
    }
    if (!err_) advance();
    if (!err_) expr->root = conditional();
    if (!err_ && cur_.code == GX_TK_SEMICOLON) {
        advance();
        if (!err_) expr->constraintRoot = conditional();
    }
    if (!err_ && cur_.code == GX_TK_BACKSLASH) {
        advance();
        uint16_t prev = GX_NO_NODE;
        // "??" stands for an item that shifting pushed off the sheet; it reads back as such.
        auto isItem = [](int code) { return code == GX_TK_CELL || code == GX_TK_NAME || code == GX_TK_ERRREF; };
        while (!err_ && isItem(cur_.code)) {
            uint16_t item = dependsItem();
            if (err_) break;
            if (prev == GX_NO_NODE) expr->dependsRoot = item;
            else pool_[prev].b = item;
            prev = item;
            if (cur_.code != GX_TK_COMMA) break;
            advance();
            if (!err_ && !isItem(cur_.code)) fail(231 + GX_TK_NAME, cur_.position);
        }
    }
    std::string comment;
    bool hasComment = false;
    if (!err_ && cur_.code == GX_TK_COMMENT) {
        comment = cur_.value;
        hasComment = true;
        advance();
    }
    if (!err_) expect(GX_TK_END);
    if (err_) return false;

    // Success: the node array and the comment become the expression's own (tracked) memory.
    auto* nodes = static_cast<GX_EXPR_NODE*>(_gx_alloc(sizeof(GX_EXPR_NODE) * size_t(count_)));
    char* commentCopy = nullptr;
    try {
        if (hasComment) commentCopy = _gx_string_dup(comment.c_str());
    } catch (...) {
        _gx_free(nodes);
        throw;
    }
    for (int i = 0; i < count_; ++i) nodes[i] = pool_[i];
    expr->nodes = nodes;
    expr->nodeCount = uint16_t(count_);
    expr->comment = commentCopy;
    count_ = 0; // the texts now belong to the expression
    return true;
}

uint16_t Parser::conditional() {
    if (++depth_ > kMaxDepth) {
        fail(148, cur_.position);
        --depth_;
        return 0;
    }
    uint16_t cond = binary(0);
    if (!err_ && cur_.code == GX_TK_QUESTION) {
        advance();
        uint16_t yes = err_ ? 0 : conditional();
        expect(GX_TK_COLON);
        uint16_t no = err_ ? 0 : conditional();
        uint16_t op = err_ ? 0 : allocOp(GX_OP_COND);
        uint16_t br = err_ ? 0 : alloc(GX_NODE_BRANCH);
        if (!err_) {
            pool_[op].a = cond;
            pool_[op].b = br;
            pool_[br].a = yes;
            pool_[br].b = no;
            pool_[br].p.owner = op;
            cond = op;
        }
    }
    --depth_;
    return cond;
}

uint16_t Parser::binary(int level) {
    if (level >= kLevelCount) return prefix();
    uint16_t left = binary(level + 1);
    while (!err_) {
        const Level& L = kLevels[level];
        const LevelOp* found = nullptr;
        for (int i = 0; i < L.count; ++i)
            if (L.ops[i].token == cur_.code) found = &L.ops[i];
        if (!found) break;
        advance();
        uint16_t op = err_ ? 0 : allocOp(found->op);
        uint16_t right = err_ ? 0 : binary(level + 1);
        if (err_) break;
        pool_[op].a = left;
        pool_[op].b = right;
        left = op;
    }
    return left;
}

uint16_t Parser::prefix() {
    uint32_t op;
    switch (cur_.code) {
    case GX_TK_PLUS: op = GX_OP_PLUS; break;
    case GX_TK_MINUS: op = GX_OP_NEG; break;
    case GX_TK_NOT: op = GX_OP_NOT; break;
    case GX_TK_TILDE: op = GX_OP_BITNOT; break;
    default: return power();
    }
    advance();
    uint16_t node = err_ ? 0 : allocOp(op);
    // A prefix operator takes an operand of the power level, not another prefix: "-2**2" is -(2**2).
    uint16_t operand = err_ ? 0 : power();
    if (!err_) pool_[node].b = operand;
    return node;
}

uint16_t Parser::power() {
    uint16_t left = postfix();
    while (!err_ && cur_.code == GX_TK_POWER) {
        advance();
        uint16_t op = err_ ? 0 : allocOp(GX_OP_POW);
        uint16_t right = err_ ? 0 : postfix();
        if (err_) break;
        pool_[op].a = left;
        pool_[op].b = right;
        left = op;
    }
    return left;
}

uint16_t Parser::postfix() {
    uint16_t operand = primary();
    // "%" is a percent only when what follows cannot begin an operand; else it is left for modulo.
    while (!err_ && cur_.code == GX_TK_PERCENT && !startsOperand(peek().code)) {
        advance();
        uint16_t op = err_ ? 0 : allocOp(GX_OP_PERCENT);
        if (err_) break;
        pool_[op].b = operand;
        operand = op;
    }
    return operand;
}

uint16_t Parser::cellNode() {
    GX_RANGE r;
    if (!_gx_parse_ref(cur_.value.c_str(), &r)) {
        fail(226, cur_.position);
        return 0;
    }
    uint16_t n = alloc(GX_NODE_CELL);
    if (err_) return 0;
    pool_[n].p.range = r;
    advance();
    return n;
}

uint16_t Parser::primary() {
    if (err_) return 0;
    switch (cur_.code) {
    case GX_TK_STRING: {
        std::string text = cur_.value;
        bool cut = false;
        _gx_unescape_string(text.data(), text.c_str(), &cut);
        if (cut) {  // a string constant holds as much as a computed text, and is refused whole beyond it
            fail(150, cur_.position);
            return 0;
        }
        uint16_t n = alloc(GX_NODE_STRING);
        if (err_) return 0;
        pool_[n].p.text = _gx_string_dup(text.c_str());
        advance();
        return n;
    }
    case GX_TK_NUMBER: {
        const char* s = cur_.value.c_str();
        double v = std::strtod(s, nullptr);
        if (!std::isfinite(v)) {
            fail(282, cur_.position);
            return 0;
        }
        uint16_t n = alloc(GX_NODE_NUMBER);
        if (err_) return 0;
        pool_[n].p.number = v;
        advance();
        return n;
    }
    case GX_TK_HEX: {
        // Read as an unsigned value and checked, then kept as a signed 32-bit number: 0xFFFFFFFF is -1.
        uint64_t v = 0;
        for (char c : cur_.value) {
            v = v * 16 + uint64_t(_gx_hex_digit_value(static_cast<unsigned char>(c)));
            if (v > 0xFFFFFFFFull) break;
        }
        if (v > 0xFFFFFFFFull) {
            fail(88, cur_.position);
            return 0;
        }
        uint16_t n = alloc(GX_NODE_NUMBER);
        if (err_) return 0;
        pool_[n].p.number = double(int32_t(uint32_t(v)));
        pool_[n].flags |= GX_NF_HEX;
        advance();
        return n;
    }
    case GX_TK_ERRREF: {
        uint16_t n = allocOp(GX_OP_ERROR);
        if (!err_) advance();
        return n;
    }
    case GX_TK_FUNCTION:
        return rangeRule(nameOrCall(true));
    case GX_TK_NAME:
        return rangeRule(nameOrCall(false));
    case GX_TK_CELL:
        return rangeRule(cellNode());
    case GX_TK_HASH: {
        uint16_t n = alloc(GX_NODE_OFFSET);
        if (err_) return 0;
        pool_[n].p.offset.rowExpr = GX_NO_NODE;
        pool_[n].p.offset.colExpr = GX_NO_NODE;
        advance();
        if (!err_ && cur_.code == GX_TK_LBRACE) {
            advance();
            uint16_t col = err_ ? 0 : conditional();
            if (!err_) pool_[n].p.offset.colExpr = col;
            if (!err_ && cur_.code == GX_TK_COMMA) {
                advance();
                uint16_t row = err_ ? 0 : conditional();
                if (!err_) pool_[n].p.offset.rowExpr = row;
            }
            expect(GX_TK_RBRACE);
        }
        return n;
    }
    case GX_TK_LPAREN: {
        advance();
        uint16_t e = err_ ? 0 : conditional();
        expect(GX_TK_RPAREN);
        if (!err_) pool_[e].flags |= GX_NF_PAREN;
        return e;
    }
    default:
        fail(274, cur_.position);
        return 0;
    }
}

uint16_t Parser::nameOrCall(bool function) {
    std::string name = cur_.value;
    int pos = cur_.position;
    advance();
    if (err_) return 0;
    if (function || cur_.code == GX_TK_LPAREN) return call(std::move(name));
    return resolveName(name, pos);
}

uint16_t Parser::resolveName(const std::string& name, int pos) {
    GX_NAMED_RANGE* rec = _gx_find_name(sheet_, name.c_str(), nullptr);
    uint16_t n = alloc(GX_NODE_NAMEDRANGE);
    if (err_) return 0;
    if (!rec) {
        fail(281, pos);
        return n;
    }
    pool_[n].kind = rec->range.single() ? GX_NODE_NAMEDCELL : GX_NODE_NAMEDRANGE;
    pool_[n].p.name = rec;
    return n;
}

uint16_t Parser::call(std::string name) {
    uint16_t node = alloc(GX_NODE_CALL);
    if (err_) return 0;
    std::vector<uint16_t> args;
    if (cur_.code == GX_TK_LPAREN) {
        advance();
        if (!err_ && cur_.code != GX_TK_RPAREN) {
            for (;;) {
                uint16_t a = conditional();
                if (err_) break;
                args.push_back(a);
                if (cur_.code != GX_TK_COMMA) break;
                advance();
                if (err_) break;
            }
        }
        if (err_ && errNo_ != 227 && errNo_ != 281 && cur_.code != GX_TK_RPAREN) {
            // An error inside the list is reported as the missing ")" when that is missing too.
            errNo_ = 231 + GX_TK_RPAREN;
            errPos_ = cur_.position;
        }
        if (err_) return 0;
        expect(GX_TK_RPAREN);
        if (err_) return 0;
    }
    // Links from the last argument to the first; each link's payload names the link before it (the call node
    // for the first), its `b` the next link.
    std::vector<uint16_t> links(args.size());
    uint16_t next = GX_NO_NODE;
    for (size_t k = args.size(); k-- > 0;) {
        uint16_t l = alloc(GX_NODE_ARG);
        if (err_) return 0;
        pool_[l].a = args[k];
        pool_[l].b = next;
        pool_[l].p.link.type = 3;
        if (next != GX_NO_NODE) pool_[next].p.link.prev = l;
        links[k] = l;
        next = l;
    }
    if (!links.empty()) pool_[links[0]].p.link.prev = node;

    _gx_upper_case(name.data());
    const GX_FUNCTION_DESC* d = _gx_lookup_function(name.c_str());
    if (d) {
        matchArguments(d, links);
        if (!err_ && d->name && std::strcmp(d->name, "XVALUE") == 0 && links.size() >= 2)
            pool_[pool_[links[1]].a].flags |= GX_NF_SKIP;
    }
    pool_[node].p.func = d;
    pool_[node].b = links.empty() ? GX_NO_NODE : links[0];
    if (!d) fail(227, cur_.position);
    return node;
}

void Parser::matchArguments(const GX_FUNCTION_DESC* d, const std::vector<uint16_t>& links) {
    const int n = int(links.size());
    const int p = d->paramCount;
    if (n > GX_MAX_ARGS) {
        fail(229, cur_.position);
        return;
    }
    auto form = [&](int i) { return (d->params[i].flags >> 1) & 3u; };
    auto apply = [&](int arg, int param) {
        GX_EXPR_NODE& l = pool_[links[size_t(arg)]];
        if (d->params[param].flags & GX_PARAM_LAZY) l.flags |= GX_NF_LAZY;
        l.p.link.type = d->params[param].value;
    };
    int optional = 0;
    bool repeating = false;
    for (int i = 0; i < p; ++i) {
        if (form(i) == 1) ++optional;
        if (form(i) == 2) repeating = true;
    }
    for (int i = 0; i < p && i < n; ++i) {
        unsigned f = form(i);
        if (f == 0 || f == 1) {
            apply(i, i);
        } else if (f == 2) {
            if (i == p - 1) {
                for (int k = i; k < n; ++k) apply(k, i);
            } else {
                // The parameters after the repeating one take the last arguments, backwards.
                int tail = p - 1 - i;
                for (int t = 0; t < tail && n - 1 - t >= i; ++t) apply(n - 1 - t, p - 1 - t);
                for (int k = i; k < n - tail; ++k) apply(k, i);
            }
            break;
        }
    }
    if (n < p - optional) fail(230, cur_.position);
    else if (n > p && !repeating) fail(229, cur_.position);
}

uint16_t Parser::rangeRule(uint16_t left) {
    if (err_) return 0;
    if (cur_.code != GX_TK_COLON && cur_.code != GX_TK_DOTDOT && cur_.code != GX_TK_DOT) return left;
    advance();
    if (err_) return 0;
    uint16_t right = rangeRight();
    if (err_) return 0;
    if (pool_[left].kind == GX_NODE_CELL && pool_[right].kind == GX_NODE_CELL) {
        GX_EXPR_NODE& l = pool_[left];
        const GX_RANGE rr = pool_[right].p.range;
        l.kind = GX_NODE_RANGE;
        l.p.range.setBottom(uint32_t(rr.top()));
        l.p.range.setRight(uint32_t(rr.left()));
        l.p.range.set(GX_RANGE::kLastRowAbs, rr.has(GX_RANGE::kFirstRowAbs));
        l.p.range.set(GX_RANGE::kLastColAbs, rr.has(GX_RANGE::kFirstColAbs));
        l.p.range.set(GX_RANGE::kSingle, false);
        _gx_range_normalize(&l.p.range);
        if (right != count_ - 1) {
            fail(228, cur_.position);
            return 0;
        }
        --count_;
        return left;
    }
    uint16_t op = allocOp(GX_OP_RANGE);
    if (err_) return 0;
    pool_[op].a = left;
    pool_[op].b = right;
    return op;
}

uint16_t Parser::rangeRight() {
    switch (cur_.code) {
    case GX_TK_CELL: return cellNode();
    case GX_TK_NAME: return nameOrCall(false);
    case GX_TK_FUNCTION: return nameOrCall(true);
    default:
        fail(275, cur_.position);
        return 0;
    }
}

uint16_t Parser::dependsItem() {
    if (cur_.code == GX_TK_ERRREF) {
        uint16_t n = allocOp(GX_OP_ERROR);
        if (!err_) advance();
        return err_ ? 0 : n;
    }
    if (cur_.code == GX_TK_NAME) {
        std::string name = cur_.value;
        int pos = cur_.position;
        advance();
        return err_ ? 0 : resolveName(name, pos);
    }
    uint16_t left = cellNode();
    if (err_) return 0;
    if (cur_.code == GX_TK_COLON || cur_.code == GX_TK_DOTDOT || cur_.code == GX_TK_DOT) {
        advance();
        if (err_) return 0;
        if (cur_.code != GX_TK_CELL) {
            fail(231 + GX_TK_CELL, cur_.position);
            return 0;
        }
        uint16_t right = cellNode();
        if (err_) return 0;
        GX_EXPR_NODE& l = pool_[left];
        const GX_RANGE rr = pool_[right].p.range;
        l.kind = GX_NODE_RANGE;
        l.p.range.setBottom(uint32_t(rr.top()));
        l.p.range.setRight(uint32_t(rr.left()));
        l.p.range.set(GX_RANGE::kLastRowAbs, rr.has(GX_RANGE::kFirstRowAbs));
        l.p.range.set(GX_RANGE::kLastColAbs, rr.has(GX_RANGE::kFirstColAbs));
        l.p.range.set(GX_RANGE::kSingle, false);
        _gx_range_normalize(&l.p.range);
        --count_;
    }
    return left;
}

} // namespace

int _gx_parse_formula(int sheet, const char* text, GX_EXPR* expr) {
    expr->root = expr->constraintRoot = expr->dependsRoot = GX_NO_NODE;
    expr->nodes = nullptr;
    expr->nodeCount = 0;
    expr->comment = nullptr;
    int number = 0, pos = 0;
    bool ok = false;
    try {
        Parser parser(sheet);
        ok = parser.run(text ? text : "", expr);
        if (!ok) {
            number = parser.errorNumber();
            pos = parser.errorPos();
        }
    } catch (const std::bad_alloc&) {
        ok = false;
        number = 5;
        pos = 0;
    }
    if (!ok) {
        expr->nodes = nullptr;
        expr->nodeCount = 0;
        if (expr->comment) { _gx_free(expr->comment); expr->comment = nullptr; }
    }
    _gx_set_error_flag(ok ? 0 : 1);
    _gx_set_error_code(number);
    _gx_set_error_pos(pos);
    return ok ? 1 : 0;
}

int _gx_expr_has_reference(const GX_EXPR_NODE* nodes, int count) {
    for (int i = 0; i < count; ++i) {
        uint8_t k = nodes[i].kind;
        // An offset reference names a cell too; its target is known only when it is evaluated.
        if (k == GX_NODE_CELL || k == GX_NODE_RANGE || k == GX_NODE_NAMEDCELL || k == GX_NODE_NAMEDRANGE ||
            k == GX_NODE_OFFSET)
            return 1;
    }
    return 0;
}

int _gx_expr_has_call(const GX_EXPR_NODE* nodes, int count) {
    for (int i = 0; i < count; ++i)
        if (nodes[i].kind == GX_NODE_CALL) return 1;
    return 0;
}

void _gx_expr_free_contents(GX_EXPR* expr) {
    if (!expr) return;
    if (expr->nodes) {
        for (int i = 0; i < expr->nodeCount; ++i) {
            GX_EXPR_NODE& n = expr->nodes[i];
            if ((n.kind == GX_NODE_STRING || n.kind == GX_NODE_NAMETEXT) && n.p.text) _gx_free(n.p.text);
        }
        _gx_free(expr->nodes);
        expr->nodes = nullptr;
    }
    if (expr->comment) _gx_free(expr->comment);
    expr->comment = nullptr;
    expr->nodeCount = 0;
}

void _gx_expr_free(GX_EXPR* expr) {
    if (!expr) return;
    _gx_expr_free_contents(expr);
    _gx_free(expr);
}

GX_EXPR* _gx_expr_clone(const GX_EXPR* expr) {
    if (!expr) return nullptr;
    auto* copy = static_cast<GX_EXPR*>(_gx_alloc(sizeof(GX_EXPR)));
    *copy = *expr;
    copy->nodes = nullptr;
    copy->comment = nullptr;
    copy->nodeCount = 0;
    try {
        if (expr->nodes && expr->nodeCount) {
            copy->nodes = static_cast<GX_EXPR_NODE*>(_gx_alloc(sizeof(GX_EXPR_NODE) * expr->nodeCount));
            for (int i = 0; i < expr->nodeCount; ++i) {
                copy->nodes[i] = expr->nodes[i];
                if (expr->nodes[i].kind == GX_NODE_STRING || expr->nodes[i].kind == GX_NODE_NAMETEXT)
                    copy->nodes[i].p.text = nullptr;
                copy->nodeCount = uint16_t(i + 1);
                if ((expr->nodes[i].kind == GX_NODE_STRING || expr->nodes[i].kind == GX_NODE_NAMETEXT))
                    copy->nodes[i].p.text = _gx_string_dup(expr->nodes[i].p.text);
            }
            copy->nodeCount = expr->nodeCount;
        }
        copy->comment = _gx_string_dup(expr->comment);
    } catch (...) {
        _gx_expr_free(copy);
        throw;
    }
    return copy;
}
