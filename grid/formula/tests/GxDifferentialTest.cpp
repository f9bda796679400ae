// Differential tests: formulas evaluated by this engine and by a public spreadsheet engine (installed into
// tests/differential by scripts/setup.sh), on what the two languages share.
//   - random formulas over a small sheet of numbers: + - * /, unary minus on an operand, parenthesised
//     numeric comparisons (whose result is used as 1 or 0), references to single cells, ranges inside SUM;
//   - random formulas with power ("**", the reference's "^"), prefix minus over a power (ours binds looser:
//     "-a**b" is "-(a^b)" there), postfix percent, the conditional ("c ? a : b", the reference's IF), blank
//     cells (with blanks as zeros), cells that hold errors, and numbers near the ends of the double range;
//   - sheets of numbers and formulas with rows and columns inserted and removed, and formulas copied, after
//     which every cell of the sheet is compared.
// Where the languages differ by design the tests stay out: texts, "&", logical operators, the kinds of
// errors (an error on both sides agrees), and references into removed rows or columns (ours keep their
// coordinates, the reference's become #REF!).
#include "grid/formula/tests/GxTestSupport.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 6;
constexpr int kCols = 5;
constexpr int kFormulas = 3000;

class Generator {
public:
    explicit Generator(uint32_t seed) : rng_(seed) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    std::string cellName() { return std::string(1, char('A' + pick(kCols))) + std::to_string(1 + pick(kRows)); }

    std::string number() {
        if (pick(4) == 0) return std::to_string(pick(20)) + "." + std::to_string(1 + pick(9));
        return std::to_string(pick(21));
    }

    // Texts carry whether they stand for a bare comparison: the reference engine's comparisons give
    // booleans, which order apart from numbers, so a comparison never takes one as its operand.
    struct Text {
        std::string s;
        bool boolean = false;
    };

    Text operand(int depth) {
        switch (depth <= 0 ? pick(2) : pick(7)) {
        case 0: return {cellName()};
        case 1: return {number()};
        case 2: {
            Text inner = arith(depth - 1);
            return {"(" + inner.s + ")", inner.boolean};
        }
        case 3: return {"(" + comparison(depth - 1) + ")", true};
        case 4: return {"SUM(" + cellName() + ":" + cellName() + ")"};
        case 5: {
            Text inner = operand(depth - 1);
            return {inner.s[0] == '-' ? inner.s : "-" + inner.s}; // one unary minus at most
        }
        default: return {cellName()};
        }
    }

    Text arith(int depth) {
        Text t = operand(depth);
        int n = pick(4);
        static const char* const kOps[] = {"+", "-", "*", "/"};
        for (int i = 0; i < n; ++i) {
            t.s += kOps[pick(4)] + operand(depth - 1).s;
            t.boolean = false;
        }
        return t;
    }

    std::string numeric(int depth) {
        Text t = arith(depth);
        return t.boolean ? t.s + "*1" : t.s;
    }

    std::string comparison(int depth) {
        static const char* const kCmp[] = {"<", ">", "<=", ">=", "=", "<>"};
        return numeric(depth) + kCmp[pick(6)] + numeric(depth);
    }

    std::string formula() { return "=" + (pick(5) == 0 ? comparison(3) : arith(3).s); }

private:
    std::mt19937 rng_;
};

std::string run(const std::string& command) {
    std::string out;
    FILE* p = plat::OpenCommand(command);
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int rc = plat::CloseCommand(p);
    if (rc != 0) out = "FAILED(" + std::to_string(rc) + "): " + out;
    return out;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) out += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

// One value of the reference: kind 'N' (number), 'E' (error, `text` its type) or 'B' (blank).
struct Theirs {
    char kind = '?';
    double number = NAN;
    std::string text;
};

// SUM as the reference computes it: a cell of a range that holds an error makes the sum that error (the test
// table's SUM skips such cells). Installed as the process's function table before any test's sheet.
GX_ITEM* referenceSum(GX_ITEM* result, GX_ITEM* frame) {
    const int sheet = _gx_eval_state()->sheet;
    for (int i = 1; i <= frame[0].header.count; ++i) {
        const GX_ITEM& a = frame[i];
        if (a.kind != GX_ITEM_RANGE) continue;
        for (int64_t r = a.range.top(); r <= a.range.bottom(); ++r)
            for (int64_t c = a.range.left(); c <= a.range.right(); ++c) {
                const GX_CELL* cell = _gx_find_cell(sheet, int32_t(r), int32_t(c));
                if (cell && cell->valueType() == GX_VAL_ERROR) _gx_raise_error(133, nullptr);
            }
    }
    return gxtest::sumRoutine(result, frame);
}

const GX_PARAM_DESC kAnyRepeating[] = {{3, 0, GX_PARAM_REPEATING}};
const GX_FUNCTION_DESC kReferenceSum = {"SUM", referenceSum, 0, 1, kAnyRepeating};

class ReferenceFunctions : public GX_FUNCTION_LOOKUP {
public:
    const GX_FUNCTION_DESC* Lookup(const char* name) override {
        return std::string(name) == "SUM" ? &kReferenceSum : nullptr;
    }
};

class GxDifferential : public gxtest::SheetTest {
protected:
    void SetUp() override {
        if (!_gx_engine_state()->lookup) _gx_set_function_lookup(new ReferenceFunctions);
        SheetTest::SetUp();
    }

    // Runs the reference on a JSON input; one value per output line.
    std::vector<Theirs> reference(const std::string& json) {
        std::vector<Theirs> values;
        const char* root = std::getenv("BRIM_SOURCE_DIR");
        EXPECT_NE(nullptr, root) << "BRIM_SOURCE_DIR is not set";
        if (!root) return values;
        const fs::path dir = fs::path(root) / "grid/formula/tests/differential";
        EXPECT_TRUE(fs::exists(dir / "node_modules/hyperformula/package.json"))
            << "the reference engine is missing: run scripts/setup.sh (it installs " << dir.string() << ")";
        EXPECT_EQ(0, plat::RunCommand("node --version >/dev/null 2>&1")) << "node is missing: run scripts/setup.sh";
        const TempDir temp("gx_differential");
        const std::string input = temp / "input.json";
        std::ofstream(input) << json;
        const std::string output = run("node " + (dir / "evaluate.js").string() + " " + input);
        EXPECT_EQ(std::string::npos, output.find("FAILED")) << output;
        std::istringstream lines(output);
        std::string line;
        while (std::getline(lines, line)) {
            Theirs t;
            t.kind = line.empty() ? '?' : line[0];
            t.text = line.size() > 2 ? line.substr(2) : "";
            if (t.kind == 'N') t.number = std::strtod(t.text.c_str(), nullptr);
            values.push_back(t);
        }
        return values;
    }

    // Whether this engine's cell (null: none) holds what the reference gives; `mine` describes it.
    static bool agrees(const GX_CELL* c, const Theirs& theirs, std::string& mine) {
        const int type = c ? c->valueType() : GX_VAL_NONE;
        if (!c || (type == GX_VAL_NONE && !c->expr)) {
            mine = "blank";
            return theirs.kind == 'B';
        }
        if (type == GX_VAL_NUMBER) {
            mine = std::to_string(c->value.number);
            double tol = 1e-9 * std::max({1.0, std::fabs(c->value.number), std::fabs(theirs.number)});
            if (std::fabs(c->value.number) < 1e-200 && std::fabs(theirs.number) < 1e-200) tol = 1e-9 * 1e-300;
            return theirs.kind == 'N' && std::fabs(c->value.number - theirs.number) <= tol;
        }
        if (type == GX_VAL_ERROR) {
            mine = "error " + std::to_string(c->value.error.code);
            return theirs.kind == 'E';
        }
        mine = "type " + std::to_string(type);
        return false;
    }
};

TEST_F(GxDifferential, AgreesWithAReferenceSpreadsheetEngine) {
    Generator gen(20261206);
    std::vector<std::vector<int>> grid(kRows, std::vector<int>(kCols));
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            grid[size_t(r)][size_t(c)] = gen.pick(21) - 10;
            number(r + 1, c, grid[size_t(r)][size_t(c)]);
        }
    std::vector<std::string> formulas;
    for (int i = 0; i < kFormulas; ++i) {
        formulas.push_back(gen.formula());
        ASSERT_TRUE(formula(i + 1, kCols + 1, formulas.back().c_str()))
            << formulas.back() << ": error " << _gx_get_error_code() << " at " << _gx_get_error_pos();
    }
    recalc();

    std::ostringstream f;
    f << "{\"grid\":[";
    for (int r = 0; r < kRows; ++r) {
        f << (r ? ",[" : "[");
        for (int c = 0; c < kCols; ++c) f << (c ? "," : "") << grid[size_t(r)][size_t(c)];
        f << "]";
    }
    f << "],\"formulas\":[";
    for (size_t i = 0; i < formulas.size(); ++i) f << (i ? "," : "") << jsonString(formulas[i]);
    f << "]}";
    const std::vector<Theirs> theirs = reference(f.str());
    ASSERT_EQ(size_t(kFormulas), theirs.size());

    int compared = 0, errors = 0, mismatches = 0;
    for (int i = 0; i < kFormulas; ++i) {
        const GX_CELL* c = cell(i + 1, kCols + 1);
        ASSERT_NE(nullptr, c);
        if (c->valueType() == GX_VAL_ERROR) {
            ++errors;
            // Both engines call these two errors alike.
            const int code = c->value.error.code;
            const std::string& t = theirs[size_t(i)].text;
            if (!((code == 70 && t == "DIV_BY_ZERO") || (code == 40 && t == "NUM")) && ++mismatches <= 10)
                ADD_FAILURE() << formulas[size_t(i)] << ": engine error " << code << ", reference " << t;
            ++compared;
            continue;
        }
        std::string mine;
        ++compared;
        if (!agrees(c, theirs[size_t(i)], mine) && ++mismatches <= 10)
            ADD_FAILURE() << formulas[size_t(i)] << ": engine " << mine << ", reference "
                          << theirs[size_t(i)].kind << " " << theirs[size_t(i)].text;
    }
    EXPECT_EQ(0, mismatches) << "of " << compared << " formulas";
    EXPECT_EQ(kFormulas, compared);
    EXPECT_LT(errors, kFormulas / 2); // most formulas give numbers, so the comparison means something
    std::printf("differential: %d formulas compared, %d errors on both sides, %d mismatches\n", compared, errors,
                mismatches);
}

// Formulas of the wider set, each in two spellings: ours and the reference's.
class PairGenerator {
public:
    explicit PairGenerator(uint32_t seed) : rng_(seed) {}

    struct Pair {
        std::string mine, theirs;
    };

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // Columns A to E hold numbers and blanks, column F errors (odd rows) and numbers (even rows).
    static constexpr int kRows = 6, kCols = 6;

    Pair same(const std::string& s) { return {s, s}; }

    // Column F (errors) is named one time in twenty.
    std::string cellName(int cols = kCols) {
        const int col = cols == kCols && pick(20) == 0 ? kCols - 1 : pick(kCols - 1);
        return std::string(1, char('A' + col)) + std::to_string(1 + pick(kRows));
    }

    Pair number() {
        static const char* const kSpecial[] = {"1e300", "1e-300", "0.5", "0", "1e15", "2.5", "1e-5", "1e308"};
        switch (pick(10)) {
        case 0: return same(kSpecial[pick(8)]);
        case 1: return same(std::to_string(pick(20)) + "." + std::to_string(1 + pick(9)));
        default: return same(std::to_string(pick(21)));
        }
    }

    // A primary: a cell, a number, a parenthesised expression or a SUM over the number columns.
    Pair primary(int depth) {
        switch (depth <= 0 ? pick(2) : pick(depth >= 2 ? 5 : 4)) {
        case 0: return same(cellName());
        case 1: return number();
        case 2: {
            Pair p = sum(depth - 1);
            return {"(" + p.mine + ")", "(" + p.theirs + ")"};
        }
        case 3: {
            const std::string a = cellName(5), b = cellName(5);
            return same("SUM(" + a + ":" + b + ")");
        }
        default: return conditional(depth - 1);
        }
    }

    // Postfix percent, then power: left-associative in both languages, over small exponents (0**0 and
    // the like are where the two differ least usefully).
    Pair power(int depth) {
        Pair p = primary(depth);
        if (pick(4) == 0) p = {p.mine + "%", p.theirs + "%"};
        for (int n = pick(5) == 0 ? 1 + pick(2) : 0; n > 0; --n) {
            static const char* const kExp[] = {"2", "3", "0.5", "(-1)", "1e-300", "B2", "1.5"};
            const std::string e = kExp[pick(7)];
            p = {p.mine + "**" + e, p.theirs + "^" + e};
        }
        return p;
    }

    // Prefix minus takes a power-level operand: ours reads "-a**b" as -(a**b).
    Pair unary(int depth) {
        Pair p = power(depth);
        if (pick(5) == 0) return {"-" + p.mine, "-(" + p.theirs + ")"};
        return p;
    }

    Pair product(int depth) {
        Pair p = unary(depth);
        for (int n = pick(3); n > 0; --n) {
            const char* op = pick(2) ? "*" : "/";
            Pair q = unary(depth - 1);
            p = {p.mine + op + q.mine, p.theirs + op + q.theirs};
        }
        return p;
    }

    Pair sum(int depth) {
        Pair p = product(depth);
        for (int n = pick(3); n > 0; --n) {
            const char* op = pick(2) ? "+" : "-";
            Pair q = product(depth - 1);
            p = {p.mine + op + q.mine, p.theirs + op + q.theirs};
        }
        return p;
    }

    Pair comparison(int depth) {
        static const char* const kMine[] = {"<", ">", "<=", ">=", "=", "<>", "==", "!="};
        static const char* const kTheirs[] = {"<", ">", "<=", ">=", "=", "<>", "=", "<>"};
        const int k = pick(8);
        Pair a = sum(depth), b = sum(depth);
        return {a.mine + kMine[k] + b.mine, a.theirs + kTheirs[k] + b.theirs};
    }

    // "c ? a : b" is the reference's IF(c, a, b); the condition is a comparison or a number.
    Pair conditional(int depth) {
        Pair c = pick(2) ? comparison(depth) : sum(depth);
        Pair a = sum(depth), b = sum(depth);
        // The true value in parentheses: a cell before ":" would read as a range.
        return {"(" + c.mine + " ? (" + a.mine + ") : " + b.mine + ")",
                "IF(" + c.theirs + "," + a.theirs + "," + b.theirs + ")"};
    }

    Pair formula() {
        Pair p = pick(6) == 0 ? comparison(2) : sum(2);
        return {"=" + p.mine, "=" + p.theirs};
    }

private:
    std::mt19937 rng_;
};

TEST_F(GxDifferential, PowerPercentConditionalBlanksAndErrorsAgreeWithTheReference) {
    constexpr int kCount = 3000;
    using G = PairGenerator;
    G gen(20261207);
    _gx_set_blanks_zero(sheet, 1);
    // The sheet: numbers and blanks in A to E, errors and numbers in F; the formulas in column H.
    std::vector<std::string> grid; // the reference's cells, as JSON
    auto put = [&](int r, int c, const std::string& json) { grid.push_back("[" + std::to_string(r) + "," + std::to_string(c) + "," + json + "]"); };
    for (int r = 1; r <= G::kRows; ++r) {
        for (int c = 0; c < G::kCols - 1; ++c) {
            if (gen.pick(8) == 0) continue; // blank
            const int v = gen.pick(2) ? 1 + gen.pick(12) : -1 - gen.pick(5); // not 0: blanks divide by zero enough

            number(r, c, v);
            put(r, c, std::to_string(v));
        }
        static const char* const kErrors[][2] = {{"=1/0", "=1/0"}, {"=(0-1)**0.5", "=(0-1)^0.5"}, {"=1e300*1e300", "=1e300*1e300"}};
        if (r % 2) {
            const auto& e = kErrors[(r / 2) % 3];
            ASSERT_TRUE(formula(r, G::kCols - 1, e[0]));
            put(r, G::kCols - 1, jsonString(e[1]));
        } else {
            number(r, G::kCols - 1, r);
            put(r, G::kCols - 1, std::to_string(r));
        }
    }
    std::vector<G::Pair> formulas;
    std::string read;
    for (int i = 0; i < kCount; ++i) {
        formulas.push_back(gen.formula());
        // A formula of more than 200 nodes is refused (error 280, or 250 when the count runs out inside a
        // call's arguments): another one takes its place.
        while (!formula(i + 1, 7, formulas.back().mine.c_str())) {
            const int code = _gx_get_error_code();
            ASSERT_TRUE(code == 280 || (code == 250 && formulas.back().mine.size() > 300))
                << formulas.back().mine << ": error " << code << " at " << _gx_get_error_pos();
            formulas.back() = gen.formula();
        }
        put(i + 1, 7, jsonString(formulas.back().theirs));
        read += (i ? ",[" : "[") + std::to_string(i + 1) + ",7]";
    }
    recalc();
    std::string cells;
    for (size_t i = 0; i < grid.size(); ++i) cells += (i ? "," : "") + grid[i];
    const std::vector<Theirs> theirs = reference("{\"scenarios\":[{\"rows\":" + std::to_string(kCount) +
                                                 ",\"cols\":8,\"cells\":[" + cells + "],\"ops\":[],\"read\":[" +
                                                 read + "]}]}");
    ASSERT_EQ(size_t(kCount), theirs.size());
    int errors = 0, mismatches = 0;
    for (int i = 0; i < kCount; ++i) {
        std::string mine;
        const GX_CELL* c = cell(i + 1, 7);
        if (c && c->valueType() == GX_VAL_ERROR) ++errors;
        // The reference gives a formula that names a blank cell as blank; ours (blanks as zeros) as 0.
        Theirs t = theirs[size_t(i)];
        if (t.kind == 'B') t = {'N', 0.0, "0"};
        if (!agrees(c, t, mine) && ++mismatches <= 15)
            ADD_FAILURE() << formulas[size_t(i)].mine << " (" << formulas[size_t(i)].theirs << "): engine " << mine
                          << ", reference " << theirs[size_t(i)].kind << " " << theirs[size_t(i)].text;
    }
    EXPECT_EQ(0, mismatches) << "of " << kCount << " formulas";
    EXPECT_LT(errors, kCount * 2 / 3); // long formulas meet a blank divisor or an error cell often
    std::printf("differential (wider set): %d formulas, %d errors on both sides, %d mismatches\n", kCount, errors,
                mismatches);
}

// Sheets of numbers (A to E) and formulas over them (G to I), each changed by one operation: rows or columns
// inserted or removed, or formulas copied; then every cell of the sheet is compared.
TEST_F(GxDifferential, InsertedRemovedAndCopiedCellsAgreeWithTheReference) {
    constexpr int kScenarios = 300, kDataRows = 8, kReadRows = 16, kReadCols = 13;
    std::mt19937 rng(20261208);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto dollar = [&] { return pick(3) == 0 ? std::string("$") : std::string(); };
    auto ref = [&] {
        return dollar() + std::string(1, char('A' + pick(5))) + dollar() + std::to_string(1 + pick(kDataRows));
    };
    // A range's corners share their markers: with mixed ones a copy can carry a relative corner past an
    // absolute one, which the reference mishandles (its paste fails, or sums other cells).
    auto range = [&] {
        const std::string c = dollar(), r = dollar();
        auto corner = [&] { return c + std::string(1, char('A' + pick(5))) + r + std::to_string(1 + pick(kDataRows)); };
        const std::string first = corner();
        return first + ":" + corner();
    };
    struct Mine {
        GX_CELL copy; // the value only: its texts and expression are gone with the sheet
        std::string formula;
        bool present = false, skip = false;
    };
    std::string scenarios;
    std::vector<std::vector<Mine>> mine(kScenarios);
    std::vector<std::string> described(kScenarios);
    for (int s = 0; s < kScenarios; ++s) {
        _gx_sheet_destroy(sheet);
        sheet = _gx_sheet_create();
        _gx_set_recalc_method(sheet, 1);
        _gx_set_blanks_zero(sheet, 1); // a copied formula may name blank cells
        std::string cells;
        auto put = [&](int r, int c, const std::string& json) {
            cells += (cells.empty() ? "[" : ",[") + std::to_string(r) + "," + std::to_string(c) + "," + json + "]";
        };
        for (int r = 1; r <= kDataRows; ++r)
            for (int c = 0; c < 5; ++c) {
                const int v = 1 + pick(30);
                number(r, c, v);
                put(r, c, std::to_string(v));
            }
        for (int r = 1; r <= kDataRows; ++r)
            for (int c = 6; c <= 8; ++c) {
                std::string f = "=" + ref();
                for (int n = pick(3); n >= 0; --n)
                    f += (pick(2) ? "+" : "-") + (pick(3) == 0 ? "SUM(" + range() + ")" : ref());
                ASSERT_TRUE(formula(r, c, f.c_str())) << f;
                put(r, c, jsonString(f));
            }
        recalc();
        // The operation.
        std::string op;
        int removedFrom = -1, removedCount = 0;
        bool byRows = false;
        switch (pick(5)) {
        case 0: {
            const int at = 1 + pick(kDataRows + 1), count = 1 + pick(2);
            ASSERT_EQ(1, _gx_insert_rows(sheet, at, count));
            op = "{\"op\":\"insertRows\",\"at\":" + std::to_string(at) + ",\"count\":" + std::to_string(count) + "}";
            break;
        }
        case 1: {
            const int at = pick(10), count = 1 + pick(2);
            ASSERT_EQ(1, _gx_insert_cols(sheet, at, count));
            op = "{\"op\":\"insertCols\",\"at\":" + std::to_string(at) + ",\"count\":" + std::to_string(count) + "}";
            break;
        }
        case 2: {
            removedFrom = 1 + pick(kDataRows), removedCount = 1 + pick(2), byRows = true;
            op = "{\"op\":\"removeRows\",\"at\":" + std::to_string(removedFrom) + ",\"count\":" +
                 std::to_string(removedCount) + "}";
            break;
        }
        case 3: {
            removedFrom = pick(9), removedCount = 1;
            op = "{\"op\":\"removeCols\",\"at\":" + std::to_string(removedFrom) + ",\"count\":1}";
            break;
        }
        default: {
            const int top = 1 + pick(kDataRows), left = 6 + pick(3);
            const int bottom = std::min(kDataRows, top + pick(3)), right = std::min(8, left + pick(2));
            const int row = 1 + pick(12), col = pick(11);
            GX_RANGE src;
            _gx_make_range_ref(&src, top, left, bottom, right, 0);
            ASSERT_EQ(1, _gx_copy_range(sheet, &src, row, col, 0));
            op = "{\"op\":\"copy\",\"top\":" + std::to_string(top) + ",\"left\":" + std::to_string(left) +
                 ",\"bottom\":" + std::to_string(bottom) + ",\"right\":" + std::to_string(right) +
                 ",\"row\":" + std::to_string(row) + ",\"col\":" + std::to_string(col) + "}";
            break;
        }
        }
        // A reference with a corner in removed rows or columns keeps its coordinates here and is #REF! there (or
        // a range ends elsewhere): such formulas are left out, at the places they move to.
        std::vector<std::pair<int, int>> skipped;
        if (removedFrom >= 0) {
            auto inBand = [&](int r, int c) {
                const int v = byRows ? r : c;
                return v >= removedFrom && v < removedFrom + removedCount;
            };
            GX_LIST_ITER it;
            _gx_list_iter_init(&_gx_sheet_get(sheet)->lists[1], &it);
            while (GX_CELL* c = _gx_list_iter_next(&it)) {
                if (!c->entered() || !c->expr || inBand(c->row, c->col)) continue;
                bool touches = false;
                for (int i = 0; i < c->expr->nodeCount; ++i) {
                    const GX_EXPR_NODE& n = c->expr->nodes[i];
                    if (n.kind != GX_NODE_CELL && n.kind != GX_NODE_RANGE) continue;
                    touches |= inBand(n.p.range.top(), n.p.range.left()) || inBand(n.p.range.bottom(), n.p.range.right());
                }
                if (!touches) continue;
                const bool after = byRows ? c->row >= removedFrom : c->col >= removedFrom;
                skipped.push_back({c->row - (byRows && after ? removedCount : 0),
                                   c->col - (!byRows && after ? removedCount : 0)});
            }
            if (byRows) ASSERT_EQ(1, _gx_remove_rows(sheet, removedFrom, removedCount));
            else ASSERT_EQ(1, _gx_remove_cols(sheet, removedFrom, removedCount));
        }
        recalc();
        described[size_t(s)] = op;
        std::string read;
        for (int r = 1; r <= kReadRows; ++r)
            for (int c = 0; c < kReadCols; ++c) {
                Mine m;
                const GX_CELL* found = cell(r, c);
                m.present = found != nullptr;
                if (found) m.copy = *found;
                m.formula = formulaText(r, c);
                for (const auto& k : skipped) m.skip |= k.first == r && k.second == c;
                mine[size_t(s)].push_back(m);
                read += (read.empty() ? "[" : ",[") + std::to_string(r) + "," + std::to_string(c) + "]";
            }
        scenarios += (s ? "," : "") + std::string("{\"rows\":") + std::to_string(kDataRows) + ",\"cols\":9,\"cells\":[" +
                     cells + "],\"ops\":[" + op + "],\"read\":[" + read + "]}";
    }
    const std::vector<Theirs> theirs = reference("{\"scenarios\":[" + scenarios + "]}");
    ASSERT_EQ(size_t(kScenarios * kReadRows * kReadCols), theirs.size());
    int compared = 0, skipped = 0, mismatches = 0;
    for (int s = 0; s < kScenarios; ++s)
        for (int i = 0; i < kReadRows * kReadCols; ++i) {
            const Mine& m = mine[size_t(s)][size_t(i)];
            if (m.skip || theirs[size_t(s * kReadRows * kReadCols + i)].kind == 'X') {
                ++skipped;
                continue;
            }
            ++compared;
            std::string text;
            if (!agrees(m.present ? &m.copy : nullptr, theirs[size_t(s * kReadRows * kReadCols + i)], text) &&
                ++mismatches <= 15)
                ADD_FAILURE() << described[size_t(s)] << ": cell " << char('A' + i % kReadCols) << 1 + i / kReadCols
                              << " " << m.formula << " engine " << text << ", reference "
                              << theirs[size_t(s * kReadRows * kReadCols + i)].kind << " "
                              << theirs[size_t(s * kReadRows * kReadCols + i)].text;
        }
    EXPECT_EQ(0, mismatches) << "of " << compared << " cells";
    std::printf("differential (shifts): %d cells compared, %d left out, %d mismatches\n", compared, skipped,
                mismatches);
}

} // namespace
