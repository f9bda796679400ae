// pdnhost end to end: the program run on the sample board against the module library, and a settings file saved by
// a wizard in one run and loaded in a second run, every getter compared. The runs that need a wizard use the test
// copy of the library whose stand-in wizards save at Finish and load at "Use last configuration".
#include "host/PdnHost.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int code = -1;
  std::string output;
};

Outcome RunPdnHost(const std::string& arguments) {
  Outcome outcome;
  const std::string command = std::string(PDNHOST_PROGRAM) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe)
    return outcome;
  char buffer[4096];
  size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    outcome.output.append(buffer, read);
  const int status = pclose(pipe);
  outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

std::string Getters(const std::string& output) {
  const size_t start = output.find("getters:\n");
  return start == std::string::npos ? std::string() : output.substr(start);
}

class PdnHostProgram : public ::testing::Test {
protected:
  PdnHostProgram() {
    dir = fs::temp_directory_path() / ("brim_pdnhost_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    project = (dir / "demo8.brd").string();
    std::ofstream(project) << "board\n";
  }
  ~PdnHostProgram() override {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  fs::path dir;
  std::string project;
};

TEST_F(PdnHostProgram, RunsOnTheSampleBoardAndSaysWhenNoWizardCanOpen) {
  const Outcome plain = RunPdnHost("");
  EXPECT_EQ(plain.code, 0) << plain.output;
  EXPECT_NE(plain.output.find("demo8.json (PDN demo board 8L"), std::string::npos) << plain.output;
  EXPECT_NE(plain.output.find("SetSystem(PDN demo board 8L) -> true"), std::string::npos) << plain.output;
  EXPECT_NE(plain.output.find("  IsLumpedAnalysis = true\n"), std::string::npos) << plain.output;

  for (const char* ask : {"--open modeless", "--open modal", "--save", "--wizard extractor --load x.dao"}) {
    SCOPED_TRACE(ask);
    const Outcome asked = RunPdnHost(ask);
    EXPECT_EQ(asked.code, 3) << asked.output;
    EXPECT_NE(asked.output.find("the wizard dialogs do not exist yet"), std::string::npos) << asked.output;
  }

  // The via-model object loads without a wizard; a file that is not there loads nothing and the host hears so.
  const Outcome missing = RunPdnHost("--wizard via-model --load " + (dir / "none.dao").string());
  EXPECT_EQ(missing.code, 0) << missing.output;
  EXPECT_NE(missing.output.find("none.dao) -> false"), std::string::npos) << missing.output;
  EXPECT_EQ(missing.output.find("callback: Notify 2 1"), std::string::npos) << missing.output;
}

TEST_F(PdnHostProgram, BadInputGetsAClearError) {
  const fs::path bad = dir / "bad.json";
  std::ofstream(bad) << "{ \"name\": 3 }";
  const Outcome board = RunPdnHost("--board " + bad.string());
  EXPECT_EQ(board.code, 2);
  EXPECT_NE(board.output.find("bad.json"), std::string::npos) << board.output;
  const Outcome library = RunPdnHost("--library " + (dir / "nothing.so").string());
  EXPECT_EQ(library.code, 2);
  EXPECT_NE(library.output.find("cannot load the module library"), std::string::npos) << library.output;

  EXPECT_THROW(host::ParsePdnHostArguments({"--table-value", "12x"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--option1", "maybe"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--project"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--frobnicate"}, "l", "b"), host::PdnHostUsageError);
  const host::PdnHostOptions options =
      host::ParsePdnHostArguments({"--wizard", "via-model", "--table-value", "-4", "--option2", "on"}, "l", "b");
  EXPECT_EQ(options.wizard, host::WizardKind::ViaModel);
  EXPECT_EQ(options.tableValue, -4);
  EXPECT_EQ(options.option2, true);
  EXPECT_EQ(options.library, "l");
}

TEST_F(PdnHostProgram, SettingsSavedInOneRunComeBackInTheNext) {
  const std::string common = std::string("--library ") + BRIM_TEST_MODULE_LIBRARY + " --board-mode --debug-options" +
                             " --project " + project;
  const std::string settings = (dir / "demo8.dao").string();
  for (const char* wizard : {"decoupling", "bypass", "via-model", "extractor"}) {
    SCOPED_TRACE(wizard);
    fs::remove(settings);
    const std::string kind = std::string(" --wizard ") + wizard;
    const Outcome saved = RunPdnHost(common + kind + " --output result_" + wizard + " --save");
    ASSERT_EQ(saved.code, 0) << saved.output;
    ASSERT_NE(saved.output.find("callback: Run"), std::string::npos) << saved.output;
    ASSERT_TRUE(fs::exists(settings)) << saved.output;

    const Outcome fresh = RunPdnHost(common + kind);
    const Outcome loaded = RunPdnHost(common + kind + " --load " + settings);
    ASSERT_EQ(loaded.code, 0) << loaded.output;
    EXPECT_NE(loaded.output.find("callback: Notify 2 1"), std::string::npos) << loaded.output;
    ASSERT_FALSE(Getters(saved.output).empty());
    EXPECT_EQ(Getters(loaded.output), Getters(saved.output));
    // The output name came from the file, not from a default.
    EXPECT_NE(Getters(fresh.output), Getters(saved.output));
    EXPECT_NE(Getters(loaded.output).find(std::string("result_") + wizard), std::string::npos) << loaded.output;
  }
}

}  // namespace
