// Every test program runs with a temporary folder of its own (PrivateTempFolder.h): whatever its tests do in it,
// the folder the program was given stays as it was, and a file a test leaves behind fails the program, named.
#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

TEST(PrivateTempFolder, TheProgramsFolderGoesAtItsEndAndWhatATestLeftThereFailsIt) {
  // This program too runs in a folder of its own, as every test program does.
  EXPECT_EQ(std::filesystem::temp_directory_path().filename().string().rfind("brim-test-", 0), 0u);
  const struct {
    const char* test;
    int code;                // the program's exit status
    const char* leftBehind;  // the name the program reports left behind, if any
  } cases[] = {{"RemovesWhatItWrote", 0, nullptr},
               {"LeavesAFile", 1, "left-behind.txt"},
               {"FailsWithAFolderOfItsOwnOpen", 1, nullptr},
               {"KeepsAFolderUntilTheProgramEnds", 0, nullptr},
               {"ForksAChildThatEndsThroughExit", 0, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.test);
    const TempDir given("brim-given");
    FILE* pipe = plat::OpenCommand("TMPDIR=" + given.Path().string() + " " PRIVATE_TEMP_CHILD " --gtest_filter=Child." +
                                   c.test + " 2>&1");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      output.append(buffer, n);
    const int status = plat::CloseCommand(pipe);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.code) << output;
    const size_t report = output.find("left behind in the temporary folder " + given.Path().string() + "/brim-test-");
    EXPECT_EQ(report != std::string::npos, c.leftBehind != nullptr) << output;
    if (c.leftBehind) {
      EXPECT_NE(output.find(std::string("  ") + c.leftBehind + "\n", report), std::string::npos) << output;
    }
    EXPECT_TRUE(std::filesystem::is_empty(given.Path())) << output;
  }
}

}  // namespace
