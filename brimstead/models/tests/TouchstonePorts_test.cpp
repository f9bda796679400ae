#include "brimstead/models/DecouplingModelsHelper.h"
#include "brimstead/models/TouchstonePorts.h"
#include "brimstead/models/fit/cFitAPI.h"
#include "brimstead/models/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {
int Count(const std::string& text)
{
    return CountTouchstonePortsInText(text.data(), text.size());
}
} // namespace

TEST(TouchstonePorts, EveryRealWorldFileHasItsExtensionsPortCount)
{
    const std::regex snp(R"(\.s([1-9])p)", std::regex::icase);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(modeltest::TestDataDir() / "touchstone")) {
        std::smatch m;
        const std::string ext = entry.path().extension().string();
        if (!std::regex_match(ext, m, snp))
            continue;
        ++files;
        EXPECT_EQ(CountTouchstonePortsInFile(entry.path().c_str()), std::stoi(m[1].str())) << entry.path();
    }
    EXPECT_GE(files, 20);
}

TEST(TouchstonePorts, ValuesOfTheFirstPointGiveThePortCount)
{
    EXPECT_EQ(Count("1 2 3\n"), 1);
    EXPECT_EQ(Count("1 2 3 4 5 6 7 8 9\n"), 2);
    EXPECT_EQ(Count("1 2 3 4 5 6 7\n"), 0) << "7 = 2 P^2 + 1 has no solution";
    EXPECT_EQ(Count("1\n"), 0) << "a frequency alone is no port";
    // A point over several lines: the first odd, the rest even; the next odd line ends it.
    EXPECT_EQ(Count("1 2 3 4 5 6 7\n8 9 10 11 12 13\n14 15 16 17 18 19\n2 0 0 0 0 0 0\n"), 3);
    EXPECT_EQ(Count("1 2 3 4 5 6 7 8 9\n2 2 3 4 5 6 7 8 9\n"), 2) << "the second point is not added";
    // Even lines before the first odd one are skipped.
    EXPECT_EQ(Count("5 6\n7 8\n1 2 3\n"), 1);
}

TEST(TouchstonePorts, LinesThatCountZeroAreSkipped)
{
    EXPECT_EQ(Count("! comment\n# GHz S RI R 50\n\n1 2 3\n"), 1);
    EXPECT_EQ(Count("% matlab-like comment\n1 2 3 ! trailing\n"), 1);
    EXPECT_EQ(Count("1 2 3 # options after data\n"), 1);
    // A piece that does not begin with a number zeroes its line; the line is skipped, not the end of a point.
    EXPECT_EQ(Count("Freq S11 S21\n1 2 3 4 5 6 7 8 9\n[Data] here\n2 2 3 4 5 6 7 8 9\n"), 2);
    EXPECT_EQ(Count("1 2 3 4 5 6 7\nx 9 10 11 12 13\n8 9 10 11 12 13\n14 15 16 17 18 19\n"), 3);
    // Numbers the C library reads: signs, exponents, pieces that only begin with a number.
    EXPECT_EQ(Count("+1.5e9 -2.0E-3 .5\n"), 1);
    EXPECT_EQ(Count("1 2 3dB\n"), 1);
    EXPECT_EQ(Count("1 - 3\n"), 0);
}

TEST(TouchstonePorts, LineEndsAndTheEndOfTheFile)
{
    EXPECT_EQ(Count("1 2 3\n"), 1) << "a single line with its line end";
    EXPECT_EQ(Count("1 2 3"), 0) << "a last line without a line end is not used";
    EXPECT_EQ(Count("1 2 3\r\n"), 1);
    EXPECT_EQ(Count("1 2 3\r"), 1);
    EXPECT_EQ(Count("1 2 3 4 5 6 7\n8 9 10 11 12 13\n14 15 16 17 18 19"), 0)
        << "the unfinished last line would make the count";
    EXPECT_EQ(Count("1 2 3 4 5 6 7 8 9\n! last comment without line end"), 2);
    EXPECT_EQ(Count(""), 0);
    EXPECT_EQ(Count("\n\n"), 0);
}

TEST(TouchstonePorts, OverlongLineEndsTheReading)
{
    const std::string longComment = "!" + std::string(kMaxTouchstoneLine, 'x') + "\n";
    EXPECT_EQ(Count(longComment + "1 2 3\n"), 0);
    const std::string justShort = "!" + std::string(kMaxTouchstoneLine - 2, 'x') + "\n";
    EXPECT_EQ(Count(justShort + "1 2 3\n"), 1);
    // Reading that stops inside a point ends the point there.
    EXPECT_EQ(Count("1 2 3\n" + longComment), 1);
}

TEST(TouchstonePorts, FilesThatCannotBeOpened)
{
    EXPECT_EQ(CountTouchstonePortsInFile((modeltest::ScratchDir() / "missing.s2p").c_str()), 0);
    EXPECT_EQ(CountTouchstonePortsInFile(nullptr), 0);
    EXPECT_EQ(CountTouchstonePortsInFile(modeltest::ScratchDir().c_str()), 0) << "a directory";
}

TEST(TouchstonePorts, HeaderPortCountOfPlsFiles)
{
    auto header = [](const std::string& text) {
        return ReadHeaderPortCountInFile(modeltest::WriteScratchFile("header.pls", text).c_str());
    };
    EXPECT_EQ(header("! made by a tool\nS 4\n1 2 3\n"), 4);
    EXPECT_EQ(header("4\n"), 4);
    EXPECT_EQ(header("\r\n\r\n!one\n!two\r\nz12 ports"), 12);
    EXPECT_EQ(header("y\n  3"), 3) << "white space, line ends included, before the number";
    EXPECT_EQ(header("P+2"), 2);
    EXPECT_EQ(header("X 4\n"), 0) << "other letters are not passed over";
    EXPECT_EQ(header("SS 4\n"), 0) << "only one letter is passed over";
    EXPECT_EQ(header(" ! indented comment\n4\n"), 0) << "only lines that begin with ! are comments";
    EXPECT_EQ(header("! only a comment"), 0);
    EXPECT_EQ(header(""), 0);
    EXPECT_EQ(header("S -3\n"), 0) << "a negative count is no port count";
    EXPECT_EQ(header("S 99999999999999999999\n"), 0) << "beyond the int range";
    EXPECT_EQ(ReadHeaderPortCountInFile((modeltest::ScratchDir() / "missing.pls").c_str()), 0);
}

// A real file as editors save it: a UTF-8 byte-order mark before its first line. The mark is no part of the line,
// so a first line of data still starts the first point; the count of the file stays that of its data.
TEST(TouchstonePorts, AByteOrderMarkBeforeTheFirstLineIsPassedOver)
{
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(Count(bom + "1 2 3 4 5 6 7 8 9\n"), 2);
    EXPECT_EQ(Count(bom + "1 2 3\n"), 1);
    EXPECT_EQ(Count("\xEF\xBB" "1 2 3\n"), 0) << "half a mark is no mark: the line does not begin with a number";
    EXPECT_EQ(Count(bom), 0);
    std::ifstream in(modeltest::OwnDataDir() / "touchstone" / "qucs_capacitor-p01pF.s2p", std::ios::binary);
    const std::string real((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(real.size(), 1000u);
    const std::string path = modeltest::WriteScratchFile("bom.s2p", bom + real.substr(real.find('\n') + 1));
    EXPECT_EQ(CountTouchstonePortsInFile(path.c_str()), 2) << "no option line: the data begin behind the mark";
}

// A "pls" file saved with a UTF-8 byte-order mark has the header of the same file without it, at every reader of
// its header: the reader itself, the model helper's port count (a bare name found in a model folder) and the fit's.
TEST(TouchstonePorts, APlsHeaderAfterAByteOrderMarkIsRead)
{
    const std::string bom = "\xEF\xBB\xBF";
    const std::string dir = modeltest::ScratchDir().string() + "/";
    GetDecouplingModelsHelper()->SetModelDirectories({dir.c_str()});
    const struct {
        const char* name;
        std::string text;
        int ports;
    } rows[] = {
        {"letter.pls", bom + "S 4\n1 2 3\n", 4},
        {"comment.pls", bom + "! made by a tool\nS 2\n", 2},
        {"digit.pls", bom + "3\n", 3},
        {"linebreak.pls", bom + "\r\nZ 5\n", 5},
        {"half.pls", "\xEF\xBB" "S 4\n", 0},
        {"other.pls", "\xEF\xBB\xBE" "S 4\n", 0},
        {"markonly.pls", bom, 0},
    };
    for (const auto& row : rows) {
        const std::string path = modeltest::WriteScratchFile(row.name, row.text);
        EXPECT_EQ(ReadHeaderPortCountInFile(path.c_str()), row.ports) << row.name;
        EXPECT_EQ(ReadHeaderPortCount(row.name), row.ports) << row.name;
        cFitAPI* fit = cFitAPI::Create(nullptr);
        EXPECT_EQ(fit->ReadPls(path.c_str()), row.ports) << row.name;
        fit->Release();
    }
    GetDecouplingModelsHelper()->SetModelDirectories({});
}

// Every reader of a Touchstone file takes its port count from the extension: a file whose data have another count
// cannot be used as the model it claims to be, so it has none. Names without a digit count by their data.
TEST(TouchstonePorts, AnExtensionNamingAnotherPortCountGivesNone)
{
    EXPECT_EQ(TouchstonePortsOfExtension("a/b/model.s2p"), 2);
    EXPECT_EQ(TouchstonePortsOfExtension("MODEL.S9P"), 9);
    EXPECT_EQ(TouchstonePortsOfExtension("model.z1p"), 1);
    EXPECT_EQ(TouchstonePortsOfExtension("model.Y4P"), 4);
    for (const char* other : {"model.sNp", "model.s0p", "model.s2", "model.x2p", "s2p", ".s2p.txt", "", "model.s12p"})
        EXPECT_EQ(TouchstonePortsOfExtension(other), 0) << other;
    EXPECT_EQ(TouchstonePortsOfExtension(nullptr), 0);

    const auto real = modeltest::OwnDataDir() / "touchstone" / "qucs_capacitor-p01pF.s2p";
    ASSERT_EQ(CountTouchstonePortsInFile(real.c_str()), 2);
    for (const char* name : {"as-four.s4p", "as-one.s1p", "as-three.Y3P"}) {
        const auto copy = modeltest::ScratchDir() / name;
        std::filesystem::copy_file(real, copy, std::filesystem::copy_options::overwrite_existing);
        EXPECT_EQ(CountTouchstonePortsInFile(copy.c_str()), 0) << name;
    }
    for (const char* name : {"as-two.S2P", "as-any.sNp", "as-two.z2p"}) {
        const auto copy = modeltest::ScratchDir() / name;
        std::filesystem::copy_file(real, copy, std::filesystem::copy_options::overwrite_existing);
        EXPECT_EQ(CountTouchstonePortsInFile(copy.c_str()), 2) << name;
    }
}
