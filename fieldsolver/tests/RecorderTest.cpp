#include "CanonicalCases.h"
#include "fieldsolver/ModelOperations.h"
#include "fieldsolver/SelfTestRecorder.h"
#include "safepath/tests/InheritedDescriptors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace canonical;

namespace {

constexpr float kMil = 2.54e-5f;
constexpr std::time_t kNow = 1700000000;   // 2023-11-14 22:13:20 UTC

std::string Read(const std::string& name)
{
    std::ifstream f(name);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class RecorderTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        // A folder of the test's own in the test program's temporary folder (itself the program's own).
        dir = testing::TempDir() + "recorder-" + testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        std::filesystem::create_directories(dir);
        recorder.SetClock([this] { return now; });
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    CrossSection Section() const
    {
        CrossSection cs;
        cs.layers = {Layer(1.4f * kMil, FS_LAYER_ROUTING, 4.2f), Layer(4 * kMil, FS_LAYER_DIELECTRIC, 4.2f), Layer(0.7f * kMil, FS_LAYER_PLANE)};
        cs.traces = {Trace(1, -10 * kMil, 5 * kMil, 2), Trace(1, 10 * kMil, 5 * kMil, 2), Trace(3, 0.0f, 6 * kMil, 1, 4 * kMil)};
        cs.leftEdge = -30000.0f;
        cs.rightEdge = 0.5f;
        return cs;
    }

    void MakeCase(const OutputRoom& out, SelfTestRecorder::TestCase& c) const
    {
        CopyModel(c.input, Section().Input(), 1, false, false, false);
        c.conductorCount = 2;
        c.output.Size(2);
        c.output.CopyFrom(out.output);
    }

    static void Fill(OutputRoom& out)
    {
        const float values[4] = {1.25e-10f, -2.5e-11f, -2.5e-11f, 1.25e-10f};
        const float modes[4] = {0.7071068f, 0.7071068f, 0.7071068f, -0.7071068f};
        std::copy(values, values + 4, out.output.capacitance);
        std::copy(modes, modes + 4, out.output.modesToTraces);
        std::copy(modes, modes + 4, out.output.tracesToModes);
        for (int i = 0; i < 4; ++i) {
            out.output.inductance[i] = values[i] * 3000.0f;
            out.output.impedance[i] = values[i] * 4e11f;
            out.output.equivalentResistors[i] = values[i] * 8e11f;
        }
        out.output.speeds[0] = 1.5e8f;
        out.output.speeds[1] = 1.6e8f;
        out.output.conductorCount = 2;
    }

    std::string dir;
    std::time_t now = kNow;
    SelfTestRecorder recorder;
};

} // namespace

TEST_F(RecorderTest, FileNamesChooseWhatIsWritten)
{
    OutputRoom out(2);
    Fill(out);
    SelfTestRecorder::TestCase c;
    MakeCase(out, c);
    EXPECT_EQ(recorder.WriteInputFile(c, dir + "case.InP"), 0);
    EXPECT_FALSE(Read(dir + "case.InP").empty());
    EXPECT_EQ(recorder.WriteInputFile(c, dir + "case.in"), 0);
    EXPECT_TRUE(Read(dir + "case.in").empty());   // accepted, not written
    EXPECT_EQ(recorder.WriteInputFile(c, dir + "case.txt"), FS_INPUT_FILE);
    EXPECT_EQ(recorder.WriteInputFile(c, dir + "case"), FS_INPUT_FILE);
    EXPECT_EQ(recorder.WriteResultFile(c, dir + "case.out"), 0);
    EXPECT_EQ(recorder.WriteResultFile(c, dir + "case.inp"), FS_RESULT_FILE);
    EXPECT_EQ(recorder.WriteResultFile(c, dir + "no/such/dir/case.res"), FS_RESULT_FILE);
}

TEST_F(RecorderTest, CaseFilesMatchTheirGoldenCopies)
{
    OutputRoom out(2);
    Fill(out);
    SelfTestRecorder::TestCase c;
    MakeCase(out, c);
    ASSERT_EQ(recorder.WriteInputFile(c, dir + "golden.inp"), 0);
    ASSERT_EQ(recorder.WriteResultFile(c, dir + "golden.res"), 0);
    const std::string inp = Read(dir + "golden.inp");
    std::string res = Read(dir + "golden.res");
    // The report names the file it is written to; the golden copy was written as "golden.res".
    const std::string named = "Input filename: " + dir + "golden.res";
    ASSERT_NE(res.find(named), std::string::npos);
    res.replace(res.find(named), named.size(), "Input filename: golden.res");
    if (std::getenv("BRIM_UPDATE_GOLDEN")) {
        std::ofstream("data/golden.inp") << inp;
        std::ofstream("data/golden.res") << res;
    }
    EXPECT_EQ(inp, Read("data/golden.inp"));
    EXPECT_EQ(res, Read("data/golden.res"));
    // What the golden copies show: no left edge beyond 25400 m, both conductor-2 traces, plane distances.
    EXPECT_EQ(inp.find("LeftEdgeX="), std::string::npos);
    EXPECT_NE(inp.find("RightEdgeX="), std::string::npos);
    EXPECT_NE(inp.find("\n 2 LayerIndex=1 "), inp.rfind("\n 2 LayerIndex=1 "));
    EXPECT_NE(inp.find("LeftXtoPlane="), std::string::npos);
    EXPECT_EQ(inp.find("LeftXtoPlane="), inp.rfind("LeftXtoPlane="));
}

TEST_F(RecorderTest, RecordsIndexAndCommitsOnClose)
{
    const std::string index = dir + "index.txt", temp = dir + "index.tmp";
    std::remove(index.c_str());
    OutputRoom out(2);
    Fill(out);
    EXPECT_EQ(recorder.Record(Section().Input(), out.output), -1);   // not switched on
    const auto before = inherited::Descriptors();
    ASSERT_TRUE(recorder.Start(index, temp));
    // The index stays open while recording: a program started meanwhile does not inherit it.
    EXPECT_EQ(inherited::Describe(inherited::MadeSince(before)), "");
    ASSERT_EQ(recorder.Record(Section().Input(), out.output), 0);
    ASSERT_EQ(recorder.Record(Section().Input(), out.output), 0);   // same second
    recorder.Close(true);
    EXPECT_FALSE(recorder.Recording());
    const std::string text = Read(index);
    const unsigned id = unsigned(kNow - 888252160);
    char first[16], second[16];
    std::snprintf(first, sizeof first, "%010u", id);
    std::snprintf(second, sizeof second, "%010u", id + 1);
    EXPECT_NE(text.find(std::string(first) + ".inp"), std::string::npos);
    EXPECT_NE(text.find(std::string(second) + ".inp"), std::string::npos);   // distinct names
    EXPECT_NE(text.find("[END]"), std::string::npos);
    EXPECT_FALSE(Read(dir + first + ".res").empty());
    EXPECT_TRUE(Read(temp).empty());
}

// Writes that fail (names linked to /dev/full) are reported, and the old index is kept.
TEST_F(RecorderTest, FailedWritesAreReportedAndKeepTheOldIndex)
{
    OutputRoom out(2);
    Fill(out);
    SelfTestRecorder::TestCase c;
    MakeCase(out, c);
    const std::string index = dir + "full_index.txt", temp = dir + "full_index.tmp";
    for (const std::string& name : {dir + "full.inp", dir + "full.res", temp}) {
        std::remove(name.c_str());
        ASSERT_EQ(::symlink("/dev/full", name.c_str()), 0);
    }
    std::remove(index.c_str());
    std::ofstream(index) << "old";
    EXPECT_EQ(recorder.WriteInputFile(c, dir + "full.inp"), FS_INPUT_FILE);
    EXPECT_EQ(recorder.WriteResultFile(c, dir + "full.res"), FS_RESULT_FILE);
    ASSERT_TRUE(recorder.Start(index, temp));
    EXPECT_EQ(recorder.Close(true), -1);
    ASSERT_FALSE(std::filesystem::is_symlink(index));   // not replaced by the cut one
    EXPECT_EQ(Read(index), "old");
}
