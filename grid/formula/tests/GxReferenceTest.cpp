#include "grid/formula/tests/GxTestSupport.h"

#include <string>

namespace {

std::string refText(const char* text) {
    GX_RANGE r;
    if (!_gx_parse_ref(text, &r)) return "<none>";
    const char* t = _gx_ref_text(&r);
    return t ? t : "<null>";
}

TEST(GxReference, ColumnLettersAreBijectiveBase26) {
    const std::pair<const char*, int> cases[] = {{"A", 0}, {"Z", 25}, {"AA", 26}, {"AZ", 51}, {"BA", 52},
                                                 {"ZZ", 701}, {"AAA", 702}, {"FAN", 4095}, {"fan", 4095}};
    for (auto [letters, col] : cases) {
        EXPECT_EQ(col, _gx_column_number(letters)) << letters;
        std::string upper(letters);
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_STREQ(upper.c_str(), _gx_column_letters(col));
    }
    EXPECT_EQ(-1, _gx_column_number("FAO"));
    EXPECT_EQ(-1, _gx_column_number("1A"));
    EXPECT_EQ(nullptr, _gx_column_letters(4096));
    for (int c = 0; c <= GX_MAX_COL; ++c) ASSERT_EQ(c, _gx_column_number(_gx_column_letters(c)));
}

TEST(GxReference, ReadAndWriteReferences) {
    GX_RANGE r;
    ASSERT_EQ(1, _gx_parse_ref("$B$3..C7", &r));
    EXPECT_EQ(1, r.left());
    EXPECT_EQ(3, r.top());
    EXPECT_EQ(2, r.right());
    EXPECT_EQ(7, r.bottom());
    EXPECT_TRUE(r.has(GX_RANGE::kFirstColAbs) && r.has(GX_RANGE::kFirstRowAbs));
    EXPECT_FALSE(r.has(GX_RANGE::kLastColAbs) || r.has(GX_RANGE::kLastRowAbs) || r.single());
    EXPECT_EQ("$B$3..C7", refText("$B$3..C7"));
    // Bounds are ordered and the markers travel with them.
    EXPECT_EQ("B3..C7", refText("C7:B3"));
    EXPECT_EQ("$B3..C$7", refText("C$7:$B3"));
    EXPECT_EQ("A1", refText("A1"));
    EXPECT_EQ("A$1", refText("A$1"));
    EXPECT_EQ("A1..B2", refText("A1:.B2"));
    EXPECT_EQ("FAN8388607", refText("FAN8388607"));
    for (const char* bad : {"A0", "A8388608", "FAO1", "A1x", "1A", "A", "A1:", "A1:B", "A1;B2", "A1..B2..C3", ""})
        EXPECT_EQ("<none>", refText(bad)) << bad;
    GX_RANGE out;
    _gx_make_cell_ref(&out, 0, 5000, 0);
    EXPECT_EQ(nullptr, _gx_ref_text(&out));
}

TEST(GxReference, RangeHelpers) {
    GX_RANGE a, b, at;
    _gx_make_range_ref(&a, 5, 3, 1, 1, GX_REF_FIRST_ROW_ABS);
    EXPECT_EQ(1, a.top());
    EXPECT_EQ(5, a.bottom());
    EXPECT_TRUE(a.has(GX_RANGE::kLastRowAbs)); // swapped with its bound
    _gx_make_range_ref(&b, 5, 3, 9, 9, 0);
    EXPECT_EQ(1, _gx_ranges_overlap(&a, &b));
    _gx_make_range_ref(&b, 6, 0, 9, 9, 0);
    EXPECT_EQ(0, _gx_ranges_overlap(&a, &b));
    _gx_range_at(&at, &b, GX_MAX_ROW - 1, GX_MAX_COL - 2);
    EXPECT_EQ(GX_MAX_ROW, at.bottom());
    EXPECT_EQ(GX_MAX_COL, at.right());
    GX_RANGE whole;
    _gx_make_range_ref(&whole, 1, 0, GX_MAX_ROW, GX_MAX_COL, 0);
    EXPECT_EQ(int64_t(GX_MAX_ROW) * 4096, whole.area()); // no 32-bit wrap
}

class GxNames : public gxtest::SheetTest {};

TEST_F(GxNames, DefineFindAndReplace) {
    GX_RANGE r1, r2, got;
    _gx_make_cell_ref(&r1, 1, 1, 0);
    _gx_make_range_ref(&r2, 1, 0, 3, 0, 0);
    EXPECT_EQ(1, _gx_define_name(sheet, "Total", &r1));
    EXPECT_EQ(1, _gx_define_name(sheet, "TOTAL", &r2)); // replaces, whatever the case
    ASSERT_NE(nullptr, _gx_find_name(sheet, "total", &got));
    EXPECT_EQ(3, got.bottom());
    EXPECT_EQ(nullptr, _gx_sheet_get(sheet)->names->next);
    EXPECT_EQ(0, _gx_define_name(sheet, "1x", &r1));
    EXPECT_EQ(0, _gx_define_name(sheet, "a b", &r1));
    EXPECT_EQ(1, _gx_define_name(sheet, "$x_1.y", &r1));
    // Cut to 31 characters.
    std::string longName(40, 'n');
    EXPECT_EQ(1, _gx_define_name(sheet, longName.c_str(), &r1));
    EXPECT_NE(nullptr, _gx_find_name(sheet, std::string(31, 'n').c_str(), nullptr));
}

TEST_F(GxNames, NamesInFormulasAndDeletion) {
    GX_RANGE one, block;
    _gx_make_cell_ref(&one, 1, 0, 0);
    _gx_make_range_ref(&block, 1, 0, 2, 0, 0);
    _gx_define_name(sheet, "Rate", &one);
    _gx_define_name(sheet, "Col", &block);
    number(1, 0, 4);
    number(2, 0, 6);
    ASSERT_TRUE(formula(1, 1, "=rate*2+SUM(col)"));
    recalc();
    EXPECT_EQ(18, num(1, 1));
    EXPECT_EQ("=Rate*2+SUM(Col)", formulaText(1, 1));

    // Deleting turns the names into the references they stood for; recording keeps every deleted record.
    _gx_sheet_get(sheet)->undoRecording = 1;
    EXPECT_EQ(1, _gx_delete_name(sheet, "Rate"));
    EXPECT_EQ(1, _gx_delete_name(sheet, "Col"));
    EXPECT_EQ(0, _gx_delete_name(sheet, "Col"));
    EXPECT_EQ("=A1*2+SUM(A1..A2)", formulaText(1, 1));
    GX_NAMED_RANGE* last = _gx_pop_deleted_name(sheet);
    GX_NAMED_RANGE* first = _gx_pop_deleted_name(sheet);
    ASSERT_NE(nullptr, last);
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ("Col", last->name);
    EXPECT_STREQ("Rate", first->name);
    EXPECT_EQ(nullptr, _gx_pop_deleted_name(sheet));
    _gx_push_name(sheet, first);
    _gx_push_name(sheet, last);
    EXPECT_NE(nullptr, _gx_find_name(sheet, "rate", nullptr));
    // The formula's state before the deletion went onto the undo chain.
    ASSERT_NE(nullptr, _gx_sheet_get(sheet)->undoChain);
    EXPECT_EQ("=Rate*2+SUM(Col)",
              [&] { std::string s; _gx_expr_text(sheet, _gx_sheet_get(sheet)->undoChain->next->expr, s); return s; }());
    recalc();
    EXPECT_EQ(18, num(1, 1));
}

} // namespace
