// Differential test: random formulas over a small sheet of numbers, evaluated by this engine and by a public
// spreadsheet engine (installed into tests/differential by scripts/setup.sh), on the subset where the two
// languages agree: + - * /, unary minus on an operand, parenthesised numeric comparisons (whose result is used
// as 1 or 0), references to single cells, and ranges only inside SUM.
#include "grid/formula/tests/GxTestSupport.h"

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
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int rc = pclose(p);
    if (rc != 0) out = "FAILED(" + std::to_string(rc) + "): " + out;
    return out;
}

class GxDifferential : public gxtest::SheetTest {};

TEST_F(GxDifferential, AgreesWithAReferenceSpreadsheetEngine) {
    const char* root = std::getenv("BRIM_SOURCE_DIR");
    ASSERT_NE(nullptr, root) << "BRIM_SOURCE_DIR is not set";
    const fs::path dir = fs::path(root) / "grid/formula/tests/differential";
    ASSERT_TRUE(fs::exists(dir / "node_modules/hyperformula/package.json"))
        << "the reference engine is missing: run scripts/setup.sh (it installs " << dir.string() << ")";
    ASSERT_EQ(0, std::system("node --version >/dev/null 2>&1")) << "node is missing: run scripts/setup.sh";

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

    const fs::path input = fs::temp_directory_path() / ("gx_differential_" + std::to_string(::getpid()) + ".json");
    {
        std::ofstream f(input);
        f << "{\"grid\":[";
        for (int r = 0; r < kRows; ++r) {
            f << (r ? ",[" : "[");
            for (int c = 0; c < kCols; ++c) f << (c ? "," : "") << grid[size_t(r)][size_t(c)];
            f << "]";
        }
        f << "],\"formulas\":[";
        for (size_t i = 0; i < formulas.size(); ++i) f << (i ? ",\"" : "\"") << formulas[i] << "\"";
        f << "]}";
    }
    const std::string output = run("node " + (dir / "evaluate.js").string() + " " + input.string());
    fs::remove(input);
    ASSERT_EQ(std::string::npos, output.find("FAILED")) << output;

    std::istringstream lines(output);
    std::string kind, value;
    int compared = 0, errors = 0, mismatches = 0;
    for (int i = 0; i < kFormulas; ++i) {
        ASSERT_TRUE(lines >> kind >> value) << "reference output ends at formula " << i;
        const GX_CELL* c = cell(i + 1, kCols + 1);
        ASSERT_NE(nullptr, c);
        std::string mine;
        bool agree;
        if (c->valueType() == GX_VAL_NUMBER) {
            mine = std::to_string(c->value.number);
            double theirs = kind == "N" ? std::strtod(value.c_str(), nullptr) : NAN;
            double tol = 1e-9 * std::max({1.0, std::fabs(c->value.number), std::fabs(theirs)});
            agree = kind == "N" && std::fabs(c->value.number - theirs) <= tol;
        } else if (c->valueType() == GX_VAL_ERROR) {
            const int code = c->value.error.code;
            mine = "error " + std::to_string(code);
            agree = kind == "E" && ((code == 70 && value == "DIV_BY_ZERO") || (code == 40 && value == "NUM"));
            ++errors;
        } else {
            mine = "type " + std::to_string(c->valueType());
            agree = false;
        }
        ++compared;
        if (!agree && ++mismatches <= 10)
            ADD_FAILURE() << formulas[size_t(i)] << ": engine " << mine << ", reference " << kind << " " << value;
    }
    EXPECT_EQ(0, mismatches) << "of " << compared << " formulas";
    EXPECT_EQ(kFormulas, compared);
    EXPECT_LT(errors, kFormulas / 2); // most formulas give numbers, so the comparison means something
    std::printf("differential: %d formulas compared, %d errors on both sides, %d mismatches\n", compared, errors,
                mismatches);
}

} // namespace
