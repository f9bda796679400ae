#include "grid/formula/tests/GxTestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A style that counts its live copies, to show the store clones and destroys it.
struct CountedStyle : GX_CELL_STYLE {
    static int live;
    int tag;
    explicit CountedStyle(int t) : tag(t) { ++live; }
    ~CountedStyle() override { --live; }
    GX_CELL_STYLE* Clone() const override { return new CountedStyle(tag); }
};
int CountedStyle::live = 0;

class GxSheet : public gxtest::SheetTest {};

TEST_F(GxSheet, SheetNumbersAreReused) {
    int a = _gx_sheet_create();
    int b = _gx_sheet_create();
    EXPECT_NE(a, b);
    _gx_sheet_destroy(a);
    EXPECT_EQ(a, _gx_sheet_create());
    _gx_sheet_destroy(a);
    _gx_sheet_destroy(b);
}

TEST_F(GxSheet, CornersHashWithTheWrapAndAreFound) {
    number(1, 0, 1);
    number(GX_MAX_ROW, GX_MAX_COL, 2);
    number(GX_MAX_ROW, 0, 3);
    EXPECT_EQ(1, num(1, 0));
    EXPECT_EQ(2, num(GX_MAX_ROW, GX_MAX_COL));
    EXPECT_EQ(3, num(GX_MAX_ROW, 0));
    EXPECT_EQ(nullptr, cell(2, 0));
    EXPECT_EQ(3, _gx_sheet_get(sheet)->cellCount);
    EXPECT_EQ(0, _gx_enter_number(sheet, 0, 0, 1));
    EXPECT_EQ(0, _gx_enter_number(sheet, GX_MAX_ROW + 1, 0, 1));
    EXPECT_EQ(0, _gx_enter_number(sheet, 1, GX_MAX_COL + 1, 1));
    EXPECT_EQ(0, _gx_enter_text(sheet, 1, -1, "x"));
}

TEST_F(GxSheet, ExtentFollowsTheCells) {
    GX_RANGE e;
    EXPECT_EQ(0, _gx_sheet_get_extent(sheet, &e));
    number(3, 2, 1);
    number(7, 5, 1);
    number(10, 1, 1);
    ASSERT_EQ(1, _gx_sheet_get_extent(sheet, &e));
    EXPECT_EQ(3, e.top());
    EXPECT_EQ(10, e.bottom());
    EXPECT_EQ(1, e.left());
    EXPECT_EQ(5, e.right());
    // Removing the top row's last cell skips the empty rows below it.
    _gx_delete_cell(sheet, cell(3, 2));
    ASSERT_EQ(1, _gx_sheet_get_extent(sheet, &e));
    EXPECT_EQ(7, e.top());
    EXPECT_EQ(1, e.left());
    _gx_delete_cell(sheet, cell(10, 1));
    ASSERT_EQ(1, _gx_sheet_get_extent(sheet, &e));
    EXPECT_EQ(7, e.bottom());
    EXPECT_EQ(5, e.left());
    _gx_delete_cell(sheet, cell(7, 5));
    EXPECT_EQ(0, _gx_sheet_get_extent(sheet, &e));
    GX_RANGE r;
    _gx_make_range_ref(&r, 1, 0, 100, 100, 0);
    EXPECT_EQ(0, _gx_clip_to_extent(sheet, &r));
    number(50, 50, 1);
    EXPECT_EQ(1, _gx_clip_to_extent(sheet, &r));
    EXPECT_EQ(50, r.top());
    EXPECT_EQ(50, r.right());
}

TEST_F(GxSheet, BlocksKeepFreeSlotsAtTheHead) {
    GX_CELL_LIST* values = &_gx_sheet_get(sheet)->lists[0];
    for (int i = 0; i < 32; ++i) number(i + 1, 0, i);
    GX_CELL_BLOCK* first = values->head;
    EXPECT_EQ(first, values->tail);
    number(33, 0, 0); // the 33rd record opens a new block at the head
    EXPECT_NE(first, values->head);
    EXPECT_EQ(first, values->tail);
    _gx_delete_cell(sheet, cell(5, 0)); // a record of the full block: that block moves to the head
    EXPECT_EQ(first, values->head);
    EXPECT_EQ(32, values->count);
}

TEST_F(GxSheet, DeferredModeKeepsFreedFormulaBlocksUntilTheEnd) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    GX_CELL_LIST* formulas = &sh->lists[1];
    number(1, 0, 1);
    ASSERT_TRUE(formula(1, 1, "=A1"));
    ASSERT_TRUE(formula(2, 1, "=A1"));
    GX_CELL_BLOCK* block = formulas->head;
    uint32_t mask = _gx_sheet_begin_deferred(sheet, GX_LIST_ALL);
    EXPECT_EQ(0u, _gx_sheet_begin_deferred(sheet, GX_LIST_ALL)); // nested: nothing more to end
    _gx_delete_cell(sheet, cell(2, 1));
    ASSERT_TRUE(formula(3, 1, "=A1"));
    EXPECT_NE(block, formulas->head); // the freed slot's block is not reused during the pass
    EXPECT_EQ(formulas->head, reinterpret_cast<GX_CELL_BLOCK*>(reinterpret_cast<char*>(cell(3, 1) - cell(3, 1)->slot()) -
                                                              offsetof(GX_CELL_BLOCK, cells)));
    _gx_sheet_end_deferred(sheet, mask);
    // After the pass the free slot is used again.
    ASSERT_TRUE(formula(4, 1, "=A1"));
    size_t blocks = 0;
    for (GX_CELL_BLOCK* b = formulas->head; b; b = b->next) ++blocks;
    EXPECT_LE(blocks, 2u);
    EXPECT_EQ(3, formulas->count);
}

TEST_F(GxSheet, TextsHeldInPlaceOrByPointer) {
    text(1, 0, "12345678");
    EXPECT_EQ(GX_VAL_INLINE, cell(1, 0)->valueType());
    EXPECT_EQ("12345678", str(1, 0));
    text(2, 0, "123456789");
    EXPECT_EQ(GX_VAL_TEXT, cell(2, 0)->valueType());
    EXPECT_EQ("123456789", str(2, 0));
    text(3, 0, std::string(600, 'q').c_str());
    EXPECT_EQ(std::string(600, 'q'), str(3, 0));  // whole, however long
    text(4, 0, "a\\tb");  // as given: escapes belong to string constants in formulas
    EXPECT_EQ("a\\tb", str(4, 0));
    text(5, 0, "");
    EXPECT_EQ("", str(5, 0));
}

TEST_F(GxSheet, SettingsRefuseValuesOutOfRange) {
    EXPECT_EQ(1, _gx_set_iteration_limit(sheet, 0));
    EXPECT_EQ(1, _gx_set_iteration_limit(sheet, 100));
    EXPECT_EQ(0, _gx_set_iteration_limit(sheet, 101));
    EXPECT_EQ(0, _gx_set_iteration_limit(sheet, -1));
    EXPECT_EQ(100, _gx_get_iteration_limit(sheet));
    EXPECT_EQ(0, _gx_set_manual_recalc(sheet, 2));
    EXPECT_EQ(0, _gx_set_blanks_zero(sheet, -1));
    EXPECT_EQ(1, _gx_set_constraint_check(sheet, 1));
    EXPECT_EQ(1, _gx_get_constraint_check(sheet));
}

TEST_F(GxSheet, RangeIterationProbesOrWalksAndAgrees) {
    for (int r = 1; r <= 20; ++r)
        for (int c = 0; c < 5; ++c) number(r, c, r * 10 + c);
    auto visit = [&](const GX_RANGE& range) {
        std::vector<std::pair<int, int>> seen;
        GX_RANGE_ITER it;
        _gx_range_iter_init(sheet, &range, &it, GX_LIST_ALL);
        while (GX_CELL* c = _gx_range_iter_next(&it)) seen.emplace_back(c->row, c->col);
        EXPECT_EQ(nullptr, _gx_range_iter_next(&it));
        std::sort(seen.begin(), seen.end());
        return seen;
    };
    GX_RANGE small, whole;
    _gx_make_range_ref(&small, 3, 1, 4, 2, 0); // probed
    _gx_make_range_ref(&whole, 1, 0, GX_MAX_ROW, GX_MAX_COL, 0); // walked: its area exceeds 2^31
    EXPECT_EQ((std::vector<std::pair<int, int>>{{3, 1}, {3, 2}, {4, 1}, {4, 2}}), visit(small));
    EXPECT_EQ(100u, visit(whole).size());
    GX_RANGE_ITER it;
    _gx_range_iter_init(sheet, &whole, &it, GX_LIST_ALL);
    EXPECT_EQ(1, it.mode);
}

TEST_F(GxSheet, StylesMoveToTheNewRecordAndAreClonedWithCopies) {
    CountedStyle::live = 0;
    number(1, 0, 1);
    cell(1, 0)->style = new CountedStyle(7);
    text(1, 0, "re-entered");
    ASSERT_NE(nullptr, cell(1, 0)->style);
    EXPECT_EQ(7, static_cast<CountedStyle*>(cell(1, 0)->style)->tag);
    GX_CELL* copy = _gx_cell_clone(cell(1, 0));
    EXPECT_EQ(2, CountedStyle::live);
    EXPECT_EQ("re-entered", [&] { char b[9]; return std::string(_gx_cell_text(copy, b)); }());
    _gx_cell_free(copy);
    EXPECT_EQ(1, CountedStyle::live);
    _gx_delete_cell(sheet, cell(1, 0));
    EXPECT_EQ(0, CountedStyle::live);
}

TEST_F(GxSheet, ChangedRangesKeepOneEntryPerRange) {
    touched(1, 0);
    touched(1, 0);
    touched(2, 0);
    int n = 0;
    for (GX_RANGE_REC* r = _gx_sheet_get(sheet)->changedRanges; r; r = r->next) ++n;
    EXPECT_EQ(2, n);
    _gx_free_changed_ranges(sheet);
    EXPECT_EQ(nullptr, _gx_sheet_get(sheet)->changedRanges);
}

// Thousands of stores between two recalculations (a paste) keep the list to a few records that still hold
// every changed cell: a record per cell made each store and each formula's test walk them all.
TEST_F(GxSheet, ChangedRangesStayFewAndHoldEveryChangedCell) {
    const size_t before = _gx_tracked_count();
    for (int32_t row = 1; row <= 5000; ++row) touched(row, row % 3);
    touched(9, 40);
    int n = 0;
    for (GX_RANGE_REC* r = _gx_sheet_get(sheet)->changedRanges; r; r = r->next) ++n;
    EXPECT_LE(n, 64);
    for (int32_t row : {1, 2, 77, 4999, 5000})
        EXPECT_TRUE([&] {
            for (GX_RANGE_REC* r = _gx_sheet_get(sheet)->changedRanges; r; r = r->next)
                if (r->range.contains(row, row % 3)) return true;
            return false;
        }()) << row;
    bool far = false;
    for (GX_RANGE_REC* r = _gx_sheet_get(sheet)->changedRanges; r; r = r->next) far |= r->range.contains(9, 40);
    EXPECT_TRUE(far);
    // A range inside a listed one adds nothing.
    const int held = n;
    touched(3, 0);
    n = 0;
    for (GX_RANGE_REC* r = _gx_sheet_get(sheet)->changedRanges; r; r = r->next) ++n;
    EXPECT_EQ(held, n);
    _gx_free_changed_ranges(sheet);
    EXPECT_EQ(before, _gx_tracked_count());
}

TEST_F(GxSheet, DestroyingASheetReleasesAllItsMemory) {
    const size_t before = _gx_tracked_count();
    int s = _gx_sheet_create();
    for (int i = 1; i <= 100; ++i) {
        _gx_enter_number(s, i, 0, i);
        _gx_enter_text(s, i, 1, "a long text of more than eight");
        _gx_enter_formula(s, i, 2, "=A1+\"x\"", 0, nullptr);
    }
    GX_RANGE r;
    _gx_make_cell_ref(&r, 1, 0, 0);
    _gx_define_name(s, "n", &r);
    _gx_add_changed_range(s, &r);
    _gx_sheet_destroy(s);
    EXPECT_EQ(before, _gx_tracked_count());
}

} // namespace
