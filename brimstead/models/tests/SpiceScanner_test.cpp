#include "brimstead/models/SpiceScanner.h"
#include "brimstead/models/tests/TestFiles.h"
#include "platform/base/FileMapping.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Subckt {
    std::string name;
    std::vector<std::string> ports;
    bool operator==(const Subckt&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Subckt& s)
{
    os << '"' << s.name << "\"(";
    for (const auto& p : s.ports)
        os << p << ' ';
    return os << ')';
}

std::vector<Subckt> ToVector(const CSpiceSubcircuitList& list)
{
    std::vector<Subckt> out;
    for (int k = 0; k < list.GetCount(); ++k) {
        Subckt s{list.GetName(k), {}};
        for (int i = 0; i < list.GetPortCount(k); ++i)
            s.ports.push_back(list.GetPort(k, i));
        out.push_back(s);
    }
    return out;
}

std::vector<Subckt> ScanText(const std::string& text)
{
    CSpiceScanner scanner;
    CSpiceSubcircuitList list;
    scanner.ScanView(text.data(), text.size(), list);
    return ToVector(list);
}

} // namespace

TEST(SpiceScanner, HeadersAndKeywords)
{
    EXPECT_EQ(ScanText(".subckt CAP1 1 2\nC1 1 2 10n\n.ends\n"), (std::vector<Subckt>{{"CAP1", {"1", "2"}}}));
    EXPECT_EQ(ScanText(".SuBcKt X 1 2\n.EnDs\n"), (std::vector<Subckt>{{"X", {"1", "2"}}}));
    EXPECT_EQ(ScanText(".MACRO M 1 2 3\n.ENDM\n"), (std::vector<Subckt>{{"M", {"1", "2", "3"}}}));
    // Parameters after the ports: the word before "=" is taken back.
    EXPECT_EQ(ScanText(".SUBCKT X a b c=1 d=2\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a", "b"}}}));
    EXPECT_EQ(ScanText(".SUBCKT X a b c = 1\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a", "b"}}}));
    // "=" before any node takes nothing back.
    EXPECT_EQ(ScanText(".SUBCKT X =1 a\n.ENDS\n"), (std::vector<Subckt>{{"X", {}}}));
    // Keywords match whole tokens only.
    EXPECT_EQ(ScanText(".SUBCKTX A 1\n.SUBCKT B 2\n.ENDSX\n.ENDS\n"), (std::vector<Subckt>{{"B", {"2"}}}));
}

TEST(SpiceScanner, ContinuationReachesOverCommentLines)
{
    EXPECT_EQ(ScanText(".SUBCKT X a\n+ b\n* a comment\n+ c\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a", "b", "c"}}}));
    EXPECT_EQ(ScanText(".SUBCKT X a\r\n*one\r\n*two\r\n+b\r\n.ENDS\r\n"), (std::vector<Subckt>{{"X", {"a", "b"}}}));
    // A comment line not followed by "+" ends the header.
    EXPECT_EQ(ScanText(".SUBCKT X a\n* remark\nb c\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a"}}}));
    // The view ending during the look-ahead.
    EXPECT_EQ(ScanText(".SUBCKT X a\n*"), (std::vector<Subckt>{{"X", {"a"}}}));
}

TEST(SpiceScanner, CommentRules)
{
    // "$" after a blank comments out the rest of the line; glued to a word it is part of the word.
    EXPECT_EQ(ScanText(".SUBCKT X a $ remark b\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a"}}}));
    EXPECT_EQ(ScanText(".SUBCKT X a$b\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a$b"}}}));
    // "*" inside a line after a blank is a word; only at the start of a line does it begin a comment.
    EXPECT_EQ(ScanText(".SUBCKT X a * b\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a", "*", "b"}}}));
    EXPECT_EQ(ScanText("* .SUBCKT Hidden 1 2\n.SUBCKT X 1\n.ENDS\n"), (std::vector<Subckt>{{"X", {"1"}}}));
    EXPECT_EQ(ScanText("$ .SUBCKT Hidden 1 2\n.SUBCKT X 1\n.ENDS\n"), (std::vector<Subckt>{{"X", {"1"}}}));
    // "$" at the start of a later line is an ordinary character, so ".SUBCKT" after it still counts.
    EXPECT_EQ(ScanText("\n$ .SUBCKT Y 1\n.ENDS\n"), (std::vector<Subckt>{{"Y", {"1"}}}));
}

TEST(SpiceScanner, EdgesOfTheStateMachine)
{
    // A keyword with no name after it: an empty entry.
    EXPECT_EQ(ScanText(".SUBCKT\nR1 1 2 3\n.ENDS\n"), (std::vector<Subckt>{{"", {}}}));
    // Nested definitions are skipped; the first end keyword ends the outer one.
    EXPECT_EQ(ScanText(".SUBCKT A 1 2\n.SUBCKT B 3\n.ENDS\n.ENDS\n"), (std::vector<Subckt>{{"A", {"1", "2"}}}));
    // The file ends right after the header, without a line break.
    EXPECT_EQ(ScanText(".SUBCKT Last p1 p2"), (std::vector<Subckt>{{"Last", {"p1", "p2"}}}));
    // Duplicates stay, in file order.
    EXPECT_EQ(ScanText(".SUBCKT D 1\n.ENDS\n.SUBCKT D 2\n.ENDS\n"), (std::vector<Subckt>{{"D", {"1"}}, {"D", {"2"}}}));
    // Indented keywords are words like any other.
    EXPECT_EQ(ScanText("  .SUBCKT I 1\n  .ENDS\n"), (std::vector<Subckt>{{"I", {"1"}}}));
    EXPECT_TRUE(ScanText("").empty());
    EXPECT_TRUE(ScanText("\n\n\r\n").empty());
}

TEST(SpiceScanner, ByteOrderMarkBeforeTheFirstLineIsSkipped)
{
    EXPECT_EQ(ScanText("\xEF\xBB\xBF.SUBCKT First 1 2\n.ENDS\n"), (std::vector<Subckt>{{"First", {"1", "2"}}}));
    // After the mark the file starts: a comment star there is still at the start of the first line.
    EXPECT_EQ(ScanText("\xEF\xBB\xBF* .SUBCKT Hidden 1\n.SUBCKT Shown 1\n.ENDS\n"),
              (std::vector<Subckt>{{"Shown", {"1"}}}));
}

TEST(SpiceScanner, TokenKindsAndRanges)
{
    const std::string text = ".SUBCKT X a=1 $ c\n* note\n+ d\r\n\r\n*end";
    CSpiceScanner scanner;
    scanner.BeginView(text.data(), text.size());
    std::vector<std::pair<int, std::string>> tokens;
    while (scanner.NextToken())
        tokens.emplace_back(scanner.GetTokenKind(), std::string(scanner.GetTokenBegin(), scanner.GetTokenEnd()));
    const std::vector<std::pair<int, std::string>> expected = {
        {CSpiceScanner::tokenSubcktStart, ".SUBCKT"}, {CSpiceScanner::tokenWord, "X"},
        {CSpiceScanner::tokenWord, "a"},              {CSpiceScanner::tokenEquals, "="},
        {CSpiceScanner::tokenWord, "1"},              {CSpiceScanner::tokenComment, "$ c"},
        {CSpiceScanner::tokenWord, "d"},              {CSpiceScanner::tokenLineEnd, "\r\n\r\n"},
        {CSpiceScanner::tokenComment, "*end"},
    };
    EXPECT_EQ(tokens, expected);
}

TEST(SpiceScanner, RealWorldSubcircuits)
{
    const auto dir = modeltest::TestDataDir() / "spice";
    struct Expected {
        const char* file;
        Subckt subckt;
    };
    const Expected expected[] = {
        {"C0201C101K3GACTU.subckt", {"C0201C101K3GACTU", {"1", "6"}}},
        {"C1206C104K1RACTU.subckt", {"C1206C104K1RACTU_KEMET", {"1", "6"}}},
        {"GRM21BR71E104JA01.subckt", {"GRM21BR71E104JA01_DC0V_25degC_MURATA", {"port1", "port2"}}},
    };
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".subckt")
            continue;
        ++files;
        CSpiceScanner scanner;
        CSpiceSubcircuitList list;
        ASSERT_TRUE(scanner.Scan(entry.path().c_str(), list));
        bool known = false;
        for (const auto& e : expected) {
            if (entry.path().filename() == e.file) {
                known = true;
                EXPECT_EQ(ToVector(list), std::vector<Subckt>{e.subckt}) << e.file;
            }
        }
        EXPECT_TRUE(known) << "no expectation for " << entry.path();
    }
    EXPECT_EQ(files, 3);
}

TEST(SpiceScanner, ScanClosesTheFileAndFailsCleanly)
{
    const std::string path = modeltest::WriteScratchFile("lib.cir", ".SUBCKT A 1 2\n.ENDS\n");
    CSpiceScanner scanner;
    CSpiceSubcircuitList list;
    ASSERT_TRUE(scanner.Scan(path.c_str(), list));
    // The scan holds no lock: the file can be opened exclusively at once, and the names live on.
    HANDLE other = CreateFile(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(list.GetName(0), "A");

    // While another program holds the file open, the scan throws and leaves the list empty.
    EXPECT_THROW(scanner.Scan(path.c_str(), list), vorntool::mapfile::MapExcept);
    EXPECT_EQ(list.GetCount(), 0);
    CloseHandle(other);

    const std::string empty = modeltest::WriteScratchFile("empty_lib.cir", "");
    EXPECT_THROW(scanner.Scan(empty.c_str(), list), vorntool::mapfile::MapExcept);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(scanner.Scan(path.c_str(), list));
    EXPECT_EQ(list.GetCount(), 1);
}

// Makers' subcircuits with parameters write them after "PARAMS:": the word closes the ports, it is none itself,
// whatever its case, also when the parameters follow on a continuation line or a value is a braced expression.
TEST(SpiceScanner, ParamsKeywordEndsThePorts)
{
    const std::string header =
        "* SPICE Model generated by a maker\r\n.SUBCKT GRM21BR71E104JA01_DC0V_25degC port1 port2 PARAMS: TEMP=25 "
        "VDC=0\r\nC1 port1 11 9.92e-8\r\nR100 port1 port2 5.00e+9\r\n.ENDS GRM21BR71E104JA01_DC0V_25degC\r\n";
    EXPECT_EQ(ScanText(header), (std::vector<Subckt>{{"GRM21BR71E104JA01_DC0V_25degC", {"port1", "port2"}}}));
    EXPECT_EQ(ScanText(".subckt c 1 2 params:\n+ c={0.1u} esr=0.01\n.ends\n.subckt d 3 4\n.ends\n"),
              (std::vector<Subckt>{{"c", {"1", "2"}}, {"d", {"3", "4"}}}));
    EXPECT_EQ(ScanText(".SUBCKT X a b Params: C = 1u\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a", "b"}}}));
    // Only the whole word: a node that merely begins with it stays a port.
    EXPECT_EQ(ScanText(".SUBCKT X a PARAMSX\n.ENDS\n"), (std::vector<Subckt>{{"X", {"a", "PARAMSX"}}}));
}
