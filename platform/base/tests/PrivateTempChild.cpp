// A test program that PrivateTempFolder_test runs one test at a time (--gtest_filter), with TMPDIR naming a folder
// of that test's own: each test treats the program's temporary folder one way.
#include "platform/base/tests/TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(Child, RemovesWhatItWrote) {
  std::ofstream(fs::temp_directory_path() / "note.txt") << "x";
  fs::remove(fs::temp_directory_path() / "note.txt");
}

TEST(Child, LeavesAFile) { std::ofstream(fs::temp_directory_path() / "left-behind.txt") << "x"; }

TEST(Child, FailsWithAFolderOfItsOwnOpen) {
  const TempDir dir("failing");
  std::ofstream(dir / "note.txt") << "x";
  FAIL() << "a failure on purpose";
}

TEST(Child, KeepsAFolderUntilTheProgramEnds) {
  static const TempDir kept("kept");
  std::ofstream(kept / "note.txt") << "x";
}

// A forked child ending through exit runs the exit handlers it inherited: the folder stays its parent's.
TEST(Child, ForksAChildThatEndsThroughExit) {
  const pid_t child = ::fork();
  if (child == 0)
    std::exit(0);
  ::waitpid(child, nullptr, 0);
  std::ofstream(fs::temp_directory_path() / "after.txt") << "x";
  EXPECT_TRUE(fs::remove(fs::temp_directory_path() / "after.txt"));
}

}  // namespace
