// Formula engine benchmarks: a chain of 100,000 cells (each the previous plus one) and a 300x300 block (each
// cell the sum of its left and upper neighbours). Times to enter, to recalculate everything (method "in the
// pass"), and to recalculate after changing the first cell, both in the pass and on demand (the on-demand
// read of the last cell pulls the whole dependency tree).
#include "grid/formula/GxFormula.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kChain = 100000;
constexpr int kBlock = 300;

std::vector<std::string> chainFormulas() {
    std::vector<std::string> f(kChain + 1);
    for (int r = 2; r <= kChain; ++r) {
        f[size_t(r)] = "=A";
        f[size_t(r)] += std::to_string(r - 1) + "+1";
    }
    return f;
}

void enterChain(int sheet, const std::vector<std::string>& f) {
    _gx_enter_number(sheet, 1, 0, 1);
    for (int r = 2; r <= kChain; ++r) _gx_enter_formula(sheet, r, 0, f[size_t(r)].c_str(), 0, nullptr);
}

std::string cellName(int row, int col) {
    std::string name(_gx_column_letters(col));
    name += std::to_string(row);
    return name;
}

// A1 holds a number; the first row and column copy their neighbour, every other cell adds its left and upper
// neighbours, so that every cell depends on A1.
std::vector<std::string> blockFormulas() {
    std::vector<std::string> f(size_t(kBlock * kBlock));
    for (int r = 1; r <= kBlock; ++r)
        for (int c = 0; c < kBlock; ++c) {
            std::string& t = f[size_t((r - 1) * kBlock + c)];
            if (r == 1 && c == 0) continue;
            t.assign(1, '=');
            if (r == 1) t += cellName(r, c - 1);
            else if (c == 0) t += cellName(r - 1, c);
            else {
                t += cellName(r, c - 1);
                t += '+';
                t += cellName(r - 1, c);
            }
        }
    return f;
}

void enterBlock(int sheet, const std::vector<std::string>& f) {
    _gx_enter_number(sheet, 1, 0, 1);
    for (int r = 1; r <= kBlock; ++r)
        for (int c = (r == 1 ? 1 : 0); c < kBlock; ++c)
            _gx_enter_formula(sheet, r, c, f[size_t((r - 1) * kBlock + c)].c_str(), 0, nullptr);
}

void changeFirst(int sheet, double v) {
    _gx_enter_number(sheet, 1, 0, v);
    GX_RANGE r;
    _gx_make_cell_ref(&r, 1, 0, 0);
    _gx_add_changed_range(sheet, &r);
}

enum class Shape { Chain, Block };

struct Fixture {
    int sheet;
    int32_t lastRow, lastCol;
    explicit Fixture(Shape shape, int method) {
        sheet = _gx_sheet_create();
        _gx_set_recalc_method(sheet, method);
        if (shape == Shape::Chain) {
            enterChain(sheet, chainFormulas());
            lastRow = kChain;
            lastCol = 0;
        } else {
            enterBlock(sheet, blockFormulas());
            lastRow = kBlock;
            lastCol = kBlock - 1;
        }
        _gx_recalc(sheet);
        if (method == 0) _gx_recalc_cell(sheet, _gx_find_cell(sheet, lastRow, lastCol));
    }
    ~Fixture() { _gx_sheet_destroy(sheet); }
};

void BM_Enter(benchmark::State& state, Shape shape) {
    const auto chain = chainFormulas();
    const auto block = blockFormulas();
    for (auto _ : state) {
        int sheet = _gx_sheet_create();
        if (shape == Shape::Chain) enterChain(sheet, chain);
        else enterBlock(sheet, block);
        state.PauseTiming();
        _gx_sheet_destroy(sheet);
        state.ResumeTiming();
    }
}

void BM_RecalcAll(benchmark::State& state, Shape shape) {
    Fixture fx(shape, 1);
    for (auto _ : state) {
        _gx_free_changed_ranges(fx.sheet); // no changed ranges: every formula cell is recomputed
        _gx_recalc(fx.sheet);
    }
}

void BM_RecalcAfterFirst(benchmark::State& state, Shape shape, int method) {
    Fixture fx(shape, method);
    double v = 1;
    for (auto _ : state) {
        changeFirst(fx.sheet, v += 1);
        _gx_recalc(fx.sheet);
        if (method == 0) _gx_recalc_cell(fx.sheet, _gx_find_cell(fx.sheet, fx.lastRow, fx.lastCol));
    }
    const GX_CELL* last = _gx_find_cell(fx.sheet, fx.lastRow, fx.lastCol);
    if (shape == Shape::Chain && (!last || last->value.number != v + kChain - 1))
        state.SkipWithError("the chain's last cell is wrong");
}

BENCHMARK_CAPTURE(BM_Enter, chain100k, Shape::Chain)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecalcAll, chain100k, Shape::Chain)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecalcAfterFirst, chain100k_pass, Shape::Chain, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecalcAfterFirst, chain100k_ondemand, Shape::Chain, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Enter, block300, Shape::Block)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecalcAll, block300, Shape::Block)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecalcAfterFirst, block300_pass, Shape::Block, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecalcAfterFirst, block300_ondemand, Shape::Block, 0)->Unit(benchmark::kMillisecond);

} // namespace
