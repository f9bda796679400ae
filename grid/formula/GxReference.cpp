#include "grid/formula/GxReference.h"

#include "grid/formula/GxEngineState.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

int _gx_letter_value(int ch) {
    if (ch >= 'A' && ch <= 'Z') return ch - 'A';
    if (ch >= 'a' && ch <= 'z') return ch - 'a';
    return -1;
}

int _gx_column_number(const char* text) {
    if (!text || _gx_letter_value(static_cast<unsigned char>(*text)) < 0) return -1;
    // Bijective base 26: A=0 .. Z=25, AA=26 .. ZZ=701, AAA=702 ... FAN=4095.
    long value = 0;
    for (; _gx_letter_value(static_cast<unsigned char>(*text)) >= 0; ++text) {
        value = value * 26 + _gx_letter_value(static_cast<unsigned char>(*text)) + 1;
        if (value - 1 > GX_MAX_COL) return -1;
    }
    return int(value - 1);
}

const char* _gx_column_letters(int column) {
    if (column < 0 || column > GX_MAX_COL) return nullptr;
    char tmp[8];
    int n = 0;
    for (int v = column + 1; v > 0; v = (v - 1) / 26) tmp[n++] = char('A' + (v - 1) % 26);
    char* out = _gx_engine_state()->columnBuf;
    for (int i = 0; i < n; ++i) out[i] = tmp[n - 1 - i];
    out[n] = '\0';
    return out;
}

namespace {

// One corner: optional "$", letters, optional "$", digits. Advances p; false on any mismatch.
bool readCorner(const char*& p, int32_t& row, int32_t& col, bool& colAbs, bool& rowAbs) {
    colAbs = rowAbs = false;
    if (*p == '$') { colAbs = true; ++p; }
    const char* letters = p;
    while (_gx_letter_value(static_cast<unsigned char>(*p)) >= 0) ++p;
    if (p == letters) return false;
    col = _gx_column_number(letters);
    if (col < 0) return false;
    if (*p == '$') { rowAbs = true; ++p; }
    const char* digits = p;
    while (*p >= '0' && *p <= '9') ++p;
    if (p == digits) return false;
    // Long digit runs are checked by length first, so that the value cannot overflow.
    const char* firstNonZero = digits;
    while (firstNonZero < p - 1 && *firstNonZero == '0') ++firstNonZero;
    if (p - firstNonZero > 7) return false;
    long value = std::atol(digits);
    if (value < 1 || value > GX_MAX_ROW) return false;
    row = int32_t(value);
    return true;
}

} // namespace

int _gx_parse_ref(const char* text, GX_RANGE* range) {
    if (!text || !range) return 0;
    const char* p = text;
    int32_t r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    bool ca1, ra1, ca2 = false, ra2 = false;
    if (!readCorner(p, r1, c1, ca1, ra1)) return 0;
    GX_RANGE out;
    out.setTop(uint32_t(r1));
    out.setLeft(uint32_t(c1));
    out.set(GX_RANGE::kFirstColAbs, ca1);
    out.set(GX_RANGE::kFirstRowAbs, ra1);
    if (*p == '\0') {
        out.set(GX_RANGE::kSingle, true);
    } else {
        if (*p != ':' && *p != '.') return 0;
        ++p;
        if (*p == '.') ++p;
        if (!readCorner(p, r2, c2, ca2, ra2) || *p != '\0') return 0;
        out.setBottom(uint32_t(r2));
        out.setRight(uint32_t(c2));
        out.set(GX_RANGE::kLastColAbs, ca2);
        out.set(GX_RANGE::kLastRowAbs, ra2);
    }
    if (!_gx_range_normalize(&out)) return 0;
    *range = out;
    return 1;
}

const char* _gx_ref_text(const GX_RANGE* range) {
    if (!range) return nullptr;
    static const char* const kForms[4] = {"%s%d", "$%s%d", "%s$%d", "$%s$%d"};
    char* buf = _gx_engine_state()->refBuf;
    auto corner = [](char* out, size_t size, int32_t row, int32_t col, bool colAbs, bool rowAbs) {
        const char* letters = _gx_column_letters(col);
        if (!letters || !gx_row_ok(row)) return -1;
        return std::snprintf(out, size, kForms[(colAbs ? 1 : 0) + (rowAbs ? 2 : 0)], letters, int(row));
    };
    int n = corner(buf, 48, range->top(), range->left(), range->has(GX_RANGE::kFirstColAbs),
                   range->has(GX_RANGE::kFirstRowAbs));
    if (n < 0) return nullptr;
    if (!range->single()) {
        buf[n++] = '.';
        buf[n++] = '.';
        if (corner(buf + n, size_t(48 - n), range->bottom(), range->right(), range->has(GX_RANGE::kLastColAbs),
                   range->has(GX_RANGE::kLastRowAbs)) < 0)
            return nullptr;
    }
    return buf;
}

int _gx_range_normalize(GX_RANGE* range) {
    if (!gx_row_ok(range->top()) || range->left() > GX_MAX_COL) return 0;
    if (range->single()) {
        range->setBottom(uint32_t(range->top()));
        range->setRight(uint32_t(range->left()));
        range->set(GX_RANGE::kLastRowAbs, range->has(GX_RANGE::kFirstRowAbs));
        range->set(GX_RANGE::kLastColAbs, range->has(GX_RANGE::kFirstColAbs));
        return 1;
    }
    if (!gx_row_ok(range->bottom()) || range->right() > GX_MAX_COL) return 0;
    if (range->bottom() < range->top()) {
        uint32_t t = uint32_t(range->top());
        range->setTop(uint32_t(range->bottom()));
        range->setBottom(t);
        bool a1 = range->has(GX_RANGE::kFirstRowAbs), a2 = range->has(GX_RANGE::kLastRowAbs);
        range->set(GX_RANGE::kFirstRowAbs, a2);
        range->set(GX_RANGE::kLastRowAbs, a1);
    }
    if (range->right() < range->left()) {
        uint32_t l = uint32_t(range->left());
        range->setLeft(uint32_t(range->right()));
        range->setRight(l);
        bool a1 = range->has(GX_RANGE::kFirstColAbs), a2 = range->has(GX_RANGE::kLastColAbs);
        range->set(GX_RANGE::kFirstColAbs, a2);
        range->set(GX_RANGE::kLastColAbs, a1);
    }
    return 1;
}

GX_RANGE* _gx_make_cell_ref(GX_RANGE* range, int32_t row, int32_t col, uint32_t flags) {
    *range = GX_RANGE();
    uint32_t r = gx_row_ok(row) ? uint32_t(row) : 0u;
    uint32_t c = gx_col_ok(col) ? uint32_t(col) : 0u;
    range->setTop(r);
    range->setBottom(r);
    range->setLeft(c);
    range->setRight(c);
    bool rowAbs = (flags & GX_REF_FIRST_ROW_ABS) != 0, colAbs = (flags & GX_REF_FIRST_COL_ABS) != 0;
    range->set(GX_RANGE::kFirstRowAbs, rowAbs);
    range->set(GX_RANGE::kLastRowAbs, rowAbs);
    range->set(GX_RANGE::kFirstColAbs, colAbs);
    range->set(GX_RANGE::kLastColAbs, colAbs);
    range->set(GX_RANGE::kSingle, true);
    return range;
}

GX_RANGE* _gx_make_range_ref(GX_RANGE* range, int32_t top, int32_t left, int32_t bottom, int32_t right,
                             uint32_t flags) {
    if (flags & GX_REF_SINGLE) return _gx_make_cell_ref(range, top, left, flags);
    *range = GX_RANGE();
    range->setTop(gx_row_ok(top) ? uint32_t(top) : 0u);
    range->setLeft(gx_col_ok(left) ? uint32_t(left) : 0u);
    range->setBottom(gx_row_ok(bottom) ? uint32_t(bottom) : 0u);
    range->setRight(gx_col_ok(right) ? uint32_t(right) : 0u);
    range->set(GX_RANGE::kFirstColAbs, flags & GX_REF_FIRST_COL_ABS);
    range->set(GX_RANGE::kFirstRowAbs, flags & GX_REF_FIRST_ROW_ABS);
    range->set(GX_RANGE::kLastColAbs, flags & GX_REF_LAST_COL_ABS);
    range->set(GX_RANGE::kLastRowAbs, flags & GX_REF_LAST_ROW_ABS);
    _gx_range_normalize(range);
    return range;
}

GX_RANGE* _gx_range_at(GX_RANGE* range, const GX_RANGE* source, int32_t row, int32_t col) {
    GX_RANGE out = *source;
    int64_t bottom = int64_t(row) + (int64_t(source->bottom()) - source->top());
    int64_t right = int64_t(col) + (int64_t(source->right()) - source->left());
    out.setTop(uint32_t(row));
    out.setLeft(uint32_t(col));
    out.setBottom(uint32_t(bottom > GX_MAX_ROW ? GX_MAX_ROW : bottom));
    out.setRight(uint32_t(right > GX_MAX_COL ? GX_MAX_COL : right));
    *range = out;
    return range;
}

int _gx_ranges_overlap(const GX_RANGE* a, const GX_RANGE* b) {
    return a->top() <= b->bottom() && b->top() <= a->bottom() && a->left() <= b->right() &&
           b->left() <= a->right();
}

int _gx_ranges_equal(const GX_RANGE* a, const GX_RANGE* b) {
    return a->top() == b->top() && a->bottom() == b->bottom() && a->left() == b->left() &&
           a->right() == b->right();
}
