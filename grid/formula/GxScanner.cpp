// The matcher is hand-written: for each rule it computes the length of the longest prefix that the rule
// accepts at the scan position, and the longest (earliest on ties) wins, exactly as a table-driven automaton
// generated from the same rule list would decide.
#include "grid/formula/GxScanner.h"

#include "grid/formula/GxReference.h"

#include <array>
#include <cstring>
#include <string_view>

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

enum Rule {
    kCellRef = 1, kName, kFunction, kString, kHex, kInteger, kPointDecimal, kLeadingPoint, kComment,
    kLiteral = 10, kSpace = 49, kInvalid = 50, kNewline = 51,
};

using View = std::string_view;

// Optional exponent: lower-case "e", optional sign, one or more digits. Returns its length or 0.
size_t exponent(View s, size_t i) {
    if (i >= s.size() || s[i] != 'e') return 0;
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t d = j;
    while (j < s.size() && isDigit(s[j])) ++j;
    return j > d ? j - i : 0;
}

size_t matchCellRef(View s) {
    // "$"? letter{1,3} "$"? digit{1,7}: the longest of the alternatives the optional parts allow.
    size_t best = 0;
    size_t i = 0;
    if (i < s.size() && s[i] == '$') ++i;
    size_t l = 0;
    while (i + l < s.size() && l < 3 && isLetter(s[i + l])) ++l;
    for (size_t letters = 1; letters <= l; ++letters) {
        size_t j = i + letters;
        if (j < s.size() && s[j] == '$') ++j;
        size_t d = 0;
        while (j + d < s.size() && d < 7 && isDigit(s[j + d])) ++d;
        if (d > 0 && j + d > best) best = j + d;
    }
    return best;
}

size_t matchName(View s) {
    if (s.empty() || !(isLetter(s[0]) || s[0] == '_' || s[0] == '$')) return 0;
    size_t i = 1;
    while (i < s.size() && (isLetter(s[i]) || isDigit(s[i]) || s[i] == '_' || s[i] == '$' || s[i] == '.')) ++i;
    return i;
}

size_t matchFunction(View s) {
    if (s.empty() || s[0] != '@') return 0;
    size_t i = 1;
    while (i < s.size() && (isLetter(s[i]) || isDigit(s[i]) || s[i] == '_' || s[i] == '@')) ++i;
    return i;
}

size_t matchString(View s) {
    // A backslash always takes the next character, quote included. (Read as an ordinary character as well, a
    // backslash would let the longest match run on past a closing quote into the next string: "\\"&"x" would
    // be one string.)
    if (s.empty() || s[0] != '"') return 0;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') return i + 1;
        if (s[i] == '\\') ++i;
    }
    return 0;
}

size_t matchHex(View s) {
    if (s.size() < 3 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X') || !isHex(s[2])) return 0;
    size_t i = 3;
    while (i < s.size() && isHex(s[i])) ++i;
    return i;
}

size_t matchInteger(View s) {
    size_t i = 0;
    while (i < s.size() && isDigit(s[i])) ++i;
    return i ? i + exponent(s, i) : 0;
}

size_t matchPointDecimal(View s) {
    size_t i = 0;
    while (i < s.size() && isDigit(s[i])) ++i;
    if (i == 0 || i >= s.size() || s[i] != '.') return 0;
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i;
    return i + exponent(s, i);
}

size_t matchLeadingPoint(View s) {
    if (s.size() < 2 || s[0] != '.' || !isDigit(s[1])) return 0;
    size_t i = 1;
    while (i < s.size() && isDigit(s[i])) ++i;
    return i + exponent(s, i);
}

size_t matchComment(View s) {
    if (s.size() < 2 || s[0] != '/' || s[1] != '/') return 0;
    size_t i = 2;
    while (i < s.size() && s[i] != '\n') ++i;
    return i;
}

struct Literal {
    const char* text;
    int32_t code;
    bool anyCase;
};

// In rule order: the earlier wins between equal lengths (no two literals of one length overlap anyway).
constexpr std::array<Literal, 39> kLiterals{{
    {".", GX_TK_DOT, false},      {";", GX_TK_SEMICOLON, false}, {":", GX_TK_COLON, false},
    {",", GX_TK_COMMA, false},    {"?", GX_TK_QUESTION, false},  {"#", GX_TK_HASH, false},
    {"\\", GX_TK_BACKSLASH, false}, {"+", GX_TK_PLUS, false},    {"-", GX_TK_MINUS, false},
    {"*", GX_TK_STAR, false},     {"/", GX_TK_SLASH, false},     {"%", GX_TK_PERCENT, false},
    {"|", GX_TK_BAR, false},      {"&", GX_TK_AMP, false},       {"!", GX_TK_NOT, false},
    {"~", GX_TK_TILDE, false},    {"<", GX_TK_LT, false},        {">", GX_TK_GT, false},
    {"(", GX_TK_LPAREN, false},   {")", GX_TK_RPAREN, false},    {"{", GX_TK_LBRACE, false},
    {"}", GX_TK_RBRACE, false},   {"=", GX_TK_ASSIGN, false},    {"^", GX_TK_CARET, false},
    {"**", GX_TK_POWER, false},   {"&&", GX_TK_ANDAND, false},   {"||", GX_TK_OROR, false},
    {"<<", GX_TK_SHL, false},     {">>", GX_TK_SHR, false},      {"<=", GX_TK_LE, false},
    {">=", GX_TK_GE, false},      {"!=", GX_TK_NE, false},       {"<>", GX_TK_NE, false},
    {"==", GX_TK_EQ, false},      {"..", GX_TK_DOTDOT, false},   {"??", GX_TK_ERRREF, false},
    {"#AND#", GX_TK_ANDAND, true}, {"#OR#", GX_TK_OROR, true},   {"#NOT#", GX_TK_NOT, true},
}};

bool literalAt(View s, const Literal& lit) {
    size_t n = std::strlen(lit.text);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = s[i], t = lit.text[i];
        if (lit.anyCase && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != t) return false;
    }
    return true;
}

} // namespace

GX_PARSE_STATE* _gx_parse_state() {
    static GX_PARSE_STATE state;
    return &state;
}

void _gx_scan_string(const char* text) {
    GX_PARSE_STATE* st = _gx_parse_state();
    st->input = text ? text : "";
    st->offset = 0;
    st->position = 0;
    st->tokenLength = 0;
    st->firstScan = 0;
}

GX_TOKEN _gx_lex() {
    GX_PARSE_STATE* st = _gx_parse_state();
    for (;;) {
        View s = View(st->input).substr(st->offset);
        GX_TOKEN tok;
        if (s.empty()) {
            tok.code = GX_TK_END;
            tok.position = st->position;
            st->tokenLength = 0;
            st->token = tok;
            return tok;
        }
        size_t best = 0;
        int rule = 0;
        int32_t literalCode = 0;
        auto consider = [&](size_t len, int r) {
            if (len > best) { best = len; rule = r; }
        };
        consider(matchCellRef(s), kCellRef);
        consider(matchName(s), kName);
        consider(matchFunction(s), kFunction);
        consider(matchString(s), kString);
        consider(matchHex(s), kHex);
        consider(matchInteger(s), kInteger);
        consider(matchPointDecimal(s), kPointDecimal);
        consider(matchLeadingPoint(s), kLeadingPoint);
        consider(matchComment(s), kComment);
        for (const Literal& lit : kLiterals) {
            size_t n = std::strlen(lit.text);
            if (n > best && literalAt(s, lit)) { best = n; rule = kLiteral; literalCode = lit.code; }
        }
        if (s[0] == ' ' || s[0] == '\t') {
            size_t n = 0;
            while (n < s.size() && (s[n] == ' ' || s[n] == '\t')) ++n;
            consider(n, kSpace);
        }
        if (best == 0) {
            best = 1;
            rule = s[0] == '\n' ? kNewline : kInvalid;
        }

        View text = s.substr(0, best);
        tok.position = st->position;
        switch (rule) {
        case kSpace:
            st->offset += best;
            st->position += int32_t(best);
            continue;
        case kNewline:
            st->offset += 1;
            continue;
        case kCellRef: {
            size_t skip = text[0] == '$' ? 1 : 0;
            tok.code = _gx_column_number(std::string(text.substr(skip)).c_str()) >= 0 ? GX_TK_CELL : GX_TK_NAME;
            tok.value = std::string(text);
            break;
        }
        case kName: {
            // A name that reads as a reference ("A1..B2", "A1.B2", "A00000001") is a cell reference up to its
            // first ".", and scanning resumes at that ".".
            GX_RANGE r;
            std::string whole(text);
            if (_gx_parse_ref(whole.c_str(), &r)) {
                size_t dot = text.find('.');
                if (dot != View::npos) best = dot;
                text = text.substr(0, best);
                tok.code = GX_TK_CELL;
            } else {
                tok.code = GX_TK_NAME;
            }
            tok.value = std::string(text);
            break;
        }
        case kFunction:
            tok.code = GX_TK_FUNCTION;
            tok.value = std::string(text.substr(1));
            break;
        case kString:
            tok.code = GX_TK_STRING;
            tok.value = std::string(text.substr(1, best - 2));
            break;
        case kHex:
            tok.code = GX_TK_HEX;
            tok.value = std::string(text.substr(2));
            break;
        case kInteger:
        case kPointDecimal:
        case kLeadingPoint:
            tok.code = GX_TK_NUMBER;
            tok.value = std::string(text);
            break;
        case kComment:
            tok.code = GX_TK_COMMENT;
            tok.value = std::string(text.substr(2));
            break;
        case kLiteral:
            tok.code = literalCode;
            break;
        default:
            tok.code = GX_TK_ERROR;
            tok.extra = 223;
            break;
        }
        st->offset += best;
        st->position += int32_t(best);
        st->tokenLength = int32_t(best);
        st->token = tok;
        return tok;
    }
}
