#include "shared/Misc_Program.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/base/ProgramLauncher.h"
#include "platform/base/SystemError.h"
#include "platform/base/tests/TempDir.h"
#include "shared/tests/BoxTest.h"

namespace {

namespace fs = std::filesystem;
using plat::ProgramLauncher;

class Misc_Program : public shared_test::BoxTest {
 protected:
  void SetUp() override {
    BoxTest::SetUp();
    dir = MakeTempFolder("brim_program");
    std::ofstream(dir / "viewer.exe") << "x";
    ProgramLauncher::ClearMappings();
    ProgramLauncher::ClearLaunches();
    ProgramLauncher::SetMapping("viewer.exe", "/bin/true");
    ProgramLauncher::SetScript(ProgramLauncher::Script{});
  }
  void TearDown() override {
    ProgramLauncher::SetScript(std::nullopt);
    ProgramLauncher::ClearMappings();
    ProgramLauncher::ClearLaunches();
    fs::remove_all(dir);
    BoxTest::TearDown();
  }
  std::string Dir() const { return dir.string(); }
  std::string Viewer() const { return (dir / "viewer.exe").string(); }
  fs::path dir;
};

TEST_F(Misc_Program, StartsThePathInQuotesWithItsArguments) {
  EXPECT_TRUE(StartExternalProgram(nullptr, "viewer.exe", Dir().c_str(), "\"my board.s2p\"", Dir().c_str(),
                                   "Touchstone Viewer", false));
  // A directory that ends in its separator gets no second one; no arguments, no blank.
  EXPECT_TRUE(StartExternalProgram(nullptr, "viewer.exe", (Dir() + "/").c_str(), "", nullptr, nullptr, true));
  EXPECT_TRUE(StartExternalProgram(nullptr, Viewer().c_str(), nullptr, nullptr, nullptr, nullptr, false));
  const auto launches = ProgramLauncher::Launches();
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[0].commandLine, "\"" + Viewer() + "\" \"my board.s2p\"");
  EXPECT_EQ(launches[0].workingDirectory, Dir());
  EXPECT_EQ(launches[0].argv, (std::vector<std::string>{"/bin/true", "my board.s2p"}));
  EXPECT_EQ(launches[1].commandLine, "\"" + Viewer() + "\"");
  EXPECT_EQ(launches[1].workingDirectory, "");
  EXPECT_EQ(launches[2].commandLine, "\"" + Viewer() + "\"");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Misc_Program, AMissingProgramOrWorkingDirectoryStartsNothing) {
  const std::string missing = Dir() + "/none";
  EXPECT_FALSE(StartExternalProgram(nullptr, "editor.exe", Dir().c_str(), nullptr, nullptr, "Vorn File Editor", false));
  EXPECT_FALSE(StartExternalProgram(nullptr, "editor.exe", Dir().c_str(), nullptr, nullptr, "", false));
  EXPECT_FALSE(StartExternalProgram(nullptr, "viewer.exe", Dir().c_str(), nullptr, missing.c_str(), "Touchstone Viewer",
                                    false));
  EXPECT_FALSE(StartExternalProgram(nullptr, "viewer.exe", Dir().c_str(), nullptr, missing.c_str(), nullptr, false));
  EXPECT_FALSE(StartExternalProgram(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, false));
  EXPECT_TRUE(ProgramLauncher::Launches().empty());

  const std::string editor = Dir() + "/editor.exe";
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[0].text, "Unable to locate the Vorn File Editor:\n" + editor);
  EXPECT_EQ(boxes[0].flags, MB_ICONEXCLAMATION);
  EXPECT_EQ(boxes[1].text, "Unable to locate " + editor);
  EXPECT_EQ(boxes[2].text, "Unable to start the Touchstone Viewer:\n" + Viewer() +
                               "\n\nThis requested working directory does not exist:\n" + missing);
  EXPECT_EQ(boxes[3].text,
            "Unable to start " + Viewer() + "\n\nThis requested working directory does not exist:\n" + missing);
  EXPECT_EQ(boxes[4].text, "Unable to locate ");
}

TEST_F(Misc_Program, AFailedStartIsShownWithTheSystemsReason) {
  ProgramLauncher::SetScript(ProgramLauncher::Script{0, ERROR_ACCESS_DENIED});
  EXPECT_FALSE(StartExternalProgram(nullptr, "viewer.exe", Dir().c_str(), "x", nullptr, "Touchstone Viewer", false));
  ProgramLauncher::SetScript(ProgramLauncher::Script{});
  ProgramLauncher::SetMapping("viewer.exe", std::nullopt);  // known to be absent on this machine
  EXPECT_FALSE(StartExternalProgram(nullptr, "viewer.exe", Dir().c_str(), nullptr, nullptr, nullptr, false));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Unable to start the Touchstone Viewer:\n" + Viewer() + "\nPermission denied.");
  EXPECT_EQ(boxes[1].text, "Unable to start " + Viewer() + "\nNo such file or directory.");
}

TEST_F(Misc_Program, WaitsForTheProgramToEnd) {
  // A real process that leaves its mark only after a pause: it is there as soon as the start returns.
  ProgramLauncher::SetScript(std::nullopt);
  ProgramLauncher::SetMapping("viewer.exe", "/bin/sh -c 'sleep 0.2; echo done > \"$0\"'");
  const std::string mark = Dir() + "/mark";
  EXPECT_TRUE(StartExternalProgram(nullptr, "viewer.exe", Dir().c_str(), ("\"" + mark + "\"").c_str(), nullptr,
                                   nullptr, true));
  EXPECT_TRUE(fs::exists(mark));
}

}  // namespace
