// The README's demo command: scripts/demo.sh on its default path (the bundled decoupling script on the 8-layer
// sample board), run against the pdnhost of this build into a folder of the test's own.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"

namespace {

namespace fs = std::filesystem;

fs::path SourceTree() {
  const char* source = std::getenv("BRIM_SOURCE_DIR");
  return source ? fs::path(source) : fs::current_path().parent_path();
}

struct ShellRun {
  int code = -1;
  std::string output;
};

ShellRun Shell(const std::string& command) {
  ShellRun run;
  FILE* pipe = plat::OpenCommand(command + " 2>&1");
  if (!pipe)
    return run;
  char buffer[4096];
  size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    run.output.append(buffer, read);
  const int status = plat::CloseCommand(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Every file of the source tree outside build/ and .git/, with its modification time.
std::set<std::string> SourceFiles(const fs::path& root) {
  std::set<std::string> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().filename().string();
    if (it->is_directory() && (name == "build" || name == ".git" || name == ".cache")) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file())
      files.insert(fs::relative(it->path(), root).string());
  }
  return files;
}

TEST(PdnHostDemo, TheDemoRunsTheDecouplingWizardEndToEndAndSaysWhereItsOutputWent) {
  const fs::path source = SourceTree();
  const TempDir temp("brim_demo");
  const fs::path out = temp.Path() / "demo";   // the demo makes the folder it is told
  const std::set<std::string> before = SourceFiles(source);

  const ShellRun run = Shell("BRIM_DEMO_PDNHOST=" + std::string(PDNHOST_PROGRAM) + " BRIM_DEMO_OUT=" + out.string() +
                        " bash " + (source / "scripts/demo.sh").string());
  ASSERT_EQ(run.code, 0) << run.output;

  // Every page of the wizard was walked: the settings file, the host's Run and the settings read back.
  const std::string folder = fs::canonical(out).string();
  EXPECT_NE(run.output.find("demo: settings file: " + folder + "/demo8.dao"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("demo: screenshots of the pages: " + folder + "/"), std::string::npos) << run.output;
  std::ifstream dao(out / "demo8.dao");
  std::stringstream settings;
  settings << dao.rdbuf();
  EXPECT_NE(settings.str().find("Analysis=Distributed"), std::string::npos) << settings.str();
  EXPECT_NE(settings.str().find("Net2_Name=VDD_CORE"), std::string::npos) << settings.str();
  EXPECT_NE(settings.str().find("PROBE_03 = U1.G7 Enabled"), std::string::npos) << settings.str();
  EXPECT_NE(run.output.find("callback: Notify 1 1\n"), std::string::npos);
  EXPECT_NE(run.output.find("callback: Help \"pdn_help\" 0 "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("callback: Run\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("  IsDistributedAnalysis = true\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("  GetTargetImpedance = 0.0005\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("  GetProbeCount = 4\n"), std::string::npos) << run.output;
  int shots = 0;
  for (const auto& entry : fs::directory_iterator(out))
    if (entry.path().extension() == ".png") {
      ++shots;
      EXPECT_GT(fs::file_size(entry.path()), 1000u) << entry.path();
      EXPECT_NE(run.output.find("        " + entry.path().filename().string() + "\n"), std::string::npos);
    }
  EXPECT_EQ(shots, 11) << run.output;

  // Nothing was written into the source tree.
  EXPECT_EQ(SourceFiles(source), before);
}

}  // namespace
