#include "grid/formula/GxExprText.h"

#include "grid/formula/GxEngineState.h"
#include "grid/formula/GxMemory.h"
#include "grid/formula/GxReference.h"
// (Header-only and of the standard library alone: the engine shares the grid's number text, not its library.)
#include "grid/core/gxnumbertext.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct ErrorEntry {
    int number;
    const char* text;
};

constexpr ErrorEntry kErrorTexts[] = {
#include "grid/formula/GxErrorTexts.inc"
};

struct ErrorTable {
    const char* texts[382];
    ErrorTable() {
        for (auto& t : texts) t = "";
        for (const auto& e : kErrorTexts) texts[e.number] = e.text;
    }
};

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// Texts of the operators: [code] = {text, alternative text}; null alternative means the same text.
struct OpText {
    const char* text;
    const char* alt;
};
constexpr OpText kOpTexts[GX_OP_COUNT] = {
    {"+", nullptr},  {"-", nullptr},  {"+", nullptr},  {"-", nullptr},  {"*", nullptr},   {"/", nullptr},
    {"**", "^"},     {"%", nullptr},  {"&&", "#AND#"}, {"||", "#OR#"},  {"!", "#NOT#"},   {"&", nullptr},
    {"|", nullptr},  {"^", "/*XOR*/"}, {"~", nullptr}, {"<<", nullptr}, {">>", nullptr},  {"==", "="},
    {"!=", "<>"},    {"<", nullptr},  {">", nullptr},  {"<=", nullptr}, {">=", nullptr},  {"?", nullptr},
    {"..", nullptr}, {"%", nullptr},  {"??", "ERR"},
};

void appendNumber(std::string& out, double v) { out += _gx_number_text(v); }

} // namespace

std::string _gx_number_text(double v) { return gx::ExactNumberText(v); }

const char* _gx_error_text(int number) {
    static const ErrorTable table;
    if (number < 0 || number > 381) number = 0;
    return table.texts[number];
}

void _gx_function_text(std::string& out, const char* name, int withParens) {
    const GX_ENGINE_STATE* st = _gx_engine_state();
    size_t start = out.size();
    if (st->atFunctions || (name && name[0] == '@')) {
        if (!(name && name[0] == '@')) out += '@';
    }
    if (name) out += name;
    if (st->lowerCaseFunctions)
        for (size_t i = start; i < out.size(); ++i)
            out[i] = char(std::tolower(static_cast<unsigned char>(out[i])));
    if (withParens && !st->atFunctions) out += "()";
}

void _gx_escape_string(std::string& out, const char* text, int escapeQuotes) {
    if (!text) return;
    const bool escapeHigh = _gx_engine_state()->escapeHighBytes != 0;
    for (const char* p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        switch (c) {
        case 7: out += "\\a"; continue;
        case 8: out += "\\b"; continue;
        case 9: out += "\\t"; continue;
        case 10: out += "\\n"; continue;
        case 11: out += "\\v"; continue;
        case 12: out += "\\f"; continue;
        case 13: out += "\\r"; continue;
        case '"': out += escapeQuotes ? "\\\"" : "\""; continue;
        case '\\': out += "\\\\"; continue;
        default: break;
        }
        bool high = c >= 0xA1;
        if (c < 32 || (c >= 127 && !(high && !escapeHigh))) {
            // The shortest octal form that cannot swallow a following octal digit.
            char buf[8];
            if (c >= 64 || isOctal(p[1])) std::snprintf(buf, sizeof buf, "\\%03o", c);
            else if (c >= 8) std::snprintf(buf, sizeof buf, "\\%02o", c);
            else std::snprintf(buf, sizeof buf, "\\%o", c);
            out += buf;
            continue;
        }
        out += char(c);
    }
}

char* _gx_unescape_string(char* dest, const char* src, bool* cut) {
    int written = 0;
    char* d = dest;
    if (cut) *cut = false;
    while (*src) {
        if (written == GX_MAX_TEXT) {
            if (cut) *cut = true;
            break;
        }
        char c = *src++;
        if (c != '\\') {
            *d++ = c;
            ++written;
            continue;
        }
        char e = *src;
        if (e == '\0') break; // a backslash at the end ends the text
        ++src;
        int value;
        switch (e) {
        case 'a': value = 7; break;
        case 'b': value = 8; break;
        case 'f': value = 12; break;
        case 'n': value = 10; break;
        case 'r': value = 13; break;
        case 't': value = 9; break;
        case 'v': value = 11; break;
        case 'x': {
            // One or two hexadecimal digits; "\x" without one stands for the letter itself.
            int digits = 0;
            value = 0;
            while (digits < 2 && _gx_hex_digit_value(static_cast<unsigned char>(*src)) >= 0) {
                value = value * 16 + _gx_hex_digit_value(static_cast<unsigned char>(*src++));
                ++digits;
            }
            if (digits == 0) value = 'x';
            break;
        }
        default:
            if (isOctal(e)) {
                value = e - '0';
                for (int n = 1; n < 3 && isOctal(*src); ++n) value = value * 8 + (*src++ - '0');
                value &= 0xFF;
            } else {
                value = static_cast<unsigned char>(e);
            }
            break;
        }
        if (value == 0) break; // a NUL ends the text
        *d++ = char(value);
        ++written;
    }
    *d = '\0';
    return d;
}

char* _gx_inline_text_dup(const char* eight) {
    char* copy = static_cast<char*>(_gx_alloc(9));
    std::memcpy(copy, eight, 8);
    copy[8] = '\0';
    return copy;
}

void _gx_copy_inline_text(char* dest, const char* text, int terminate) {
    size_t i = 0;
    for (; i < 8 && text[i]; ++i) dest[i] = text[i];
    for (; i < 8; ++i) dest[i] = '\0';
    if (terminate) dest[8] = '\0';
}

int _gx_hex_digit_value(int ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

int _gx_exceeds_32_bits(double value) {
    if (std::isnan(value)) return 0;
    return value >= 4294967296.0 || value <= -2147483649.0;
}

std::string_view _gx_trimmed(const char* text) {
    size_t n = std::strlen(text);
    while (n > 1 && std::isspace(static_cast<unsigned char>(text[n - 1]))) --n;
    return std::string_view(text, n);
}

void _gx_trim_trailing_space(char* text) { text[_gx_trimmed(text).size()] = '\0'; }

void _gx_upper_case(char* text) {
    for (; *text; ++text)
        if (std::islower(static_cast<unsigned char>(*text)))
            *text = char(std::toupper(static_cast<unsigned char>(*text)));
}

void _gx_node_text(int sheet, const GX_EXPR_NODE* nodes, uint16_t index, std::string& out) {
    if (index == GX_NO_NODE) return;
    const GX_EXPR_NODE& n = nodes[index];
    const bool alt = _gx_engine_state()->altOperators != 0;
    if (n.flags & GX_NF_PAREN) out += '(';
    switch (n.kind) {
    case GX_NODE_OPERATOR: {
        uint32_t op = n.p.op;
        if (op >= GX_OP_COUNT) break;
        const char* text = (alt && kOpTexts[op].alt) ? kOpTexts[op].alt : kOpTexts[op].text;
        switch (op) {
        case GX_OP_PLUS: case GX_OP_NEG: case GX_OP_BITNOT: case GX_OP_NOT:
            out += text;
            _gx_node_text(sheet, nodes, n.b, out);
            break;
        case GX_OP_COND: {
            _gx_node_text(sheet, nodes, n.a, out);
            out += '?';
            // "?" before a "??" placeholder would read back as "??" and "?".
            size_t mark = out.size();
            _gx_node_text(sheet, nodes, n.b, out);
            if (out.size() > mark && out[mark] == '?') out.insert(mark, 1, ' ');
            break;
        }
        case GX_OP_RANGE: {
            _gx_node_text(sheet, nodes, n.a, out);
            // A name or cell directly before ".." would read back as one longer name ("A1..X" is a name).
            const char last = out.empty() ? ' ' : out.back();
            if (std::isalnum(static_cast<unsigned char>(last)) || last == '_' || last == '$' || last == '.')
                out += ' ';
            out += text;
            _gx_node_text(sheet, nodes, n.b, out);
            break;
        }
        case GX_OP_PERCENT:
            _gx_node_text(sheet, nodes, n.b, out);
            out += '%';
            break;
        case GX_OP_ERROR:
            out += text;
            break;
        default:
            _gx_node_text(sheet, nodes, n.a, out);
            out += text;
            _gx_node_text(sheet, nodes, n.b, out);
            break;
        }
        break;
    }
    case GX_NODE_NUMBER:
        if ((n.flags & GX_NF_HEX) && !alt) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "0x%X", unsigned(int32_t(n.p.number)));
            out += buf;
        } else {
            appendNumber(out, n.p.number);
        }
        break;
    case GX_NODE_STRING:
        out += '"';
        _gx_escape_string(out, n.p.text, 1);
        out += '"';
        break;
    case GX_NODE_CELL:
    case GX_NODE_RANGE: {
        const char* t = _gx_ref_text(&n.p.range);
        if (t) out += t;
        break;
    }
    case GX_NODE_NAMETEXT:
        if (n.p.text) out += n.p.text;
        break;
    case GX_NODE_NAMEDCELL:
    case GX_NODE_NAMEDRANGE:
        if (n.p.name && n.p.name->name) out += n.p.name->name;
        break;
    case GX_NODE_CALL:
        _gx_function_text(out, (n.p.func && n.p.func->name) ? n.p.func->name : "", 0);
        if (n.b == GX_NO_NODE) {
            if (!_gx_engine_state()->atFunctions) out += "()";
        } else {
            out += '(';
            _gx_node_text(sheet, nodes, n.b, out);
            out += ')';
        }
        break;
    case GX_NODE_ARG:
        if (n.p.link.prev != GX_NO_NODE && nodes[n.p.link.prev].kind == GX_NODE_ARG) out += ',';
        _gx_node_text(sheet, nodes, n.a, out);
        _gx_node_text(sheet, nodes, n.b, out);
        break;
    case GX_NODE_OFFSET:
        // The column offset is written first, as it was read: "#{column,row}".
        out += '#';
        if (n.p.offset.colExpr != GX_NO_NODE) {
            out += '{';
            _gx_node_text(sheet, nodes, n.p.offset.colExpr, out);
            if (n.p.offset.rowExpr != GX_NO_NODE) {
                out += ',';
                _gx_node_text(sheet, nodes, n.p.offset.rowExpr, out);
            }
            out += '}';
        }
        break;
    case GX_NODE_BRANCH:
        _gx_node_text(sheet, nodes, n.a, out);
        out += ':';
        _gx_node_text(sheet, nodes, n.b, out);
        break;
    default:
        break;
    }
    if (n.flags & GX_NF_PAREN) out += ')';
}

void _gx_expr_text(int sheet, const GX_EXPR* expr, std::string& out) {
    out.clear();
    if (!expr || expr->root == GX_NO_NODE || !expr->nodes) return;
    const bool alt = _gx_engine_state()->altOperators != 0;
    out += '=';
    _gx_node_text(sheet, expr->nodes, expr->root, out);
    if (expr->constraintRoot != GX_NO_NODE) {
        out += ';';
        _gx_node_text(sheet, expr->nodes, expr->constraintRoot, out);
    }
    // The alternative form is for display only, so it leaves out what the other form alone can express.
    if (alt) return;
    if (expr->dependsRoot != GX_NO_NODE) {
        out += '\\';
        for (uint16_t i = expr->dependsRoot; i != GX_NO_NODE; i = expr->nodes[i].b) {
            // The list's items are written as plain references or names; their own link is `b`.
            GX_EXPR_NODE item = expr->nodes[i];
            item.b = GX_NO_NODE;
            item.a = GX_NO_NODE;
            _gx_node_text(sheet, &item, 0, out);
            if (expr->nodes[i].b != GX_NO_NODE) out += ',';
        }
    }
    if (expr->comment) {
        out += "//";
        out += expr->comment;
    }
}
