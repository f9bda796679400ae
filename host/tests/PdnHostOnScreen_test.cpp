// pdnhost on screen under a private X server: the decoupling-analysis wizard shown through the presenter and driven
// by the end-to-end script with real X input (xdotool), as the headless tests drive it with injected input; the
// model editor, the groups dialog and the capacitor models dialog likewise. Run by CTest through xvfb-run.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// On screen the clock runs from the fixed start in real time: the stamp's seconds vary.
std::string WithoutStamp(std::string dao) {
  const size_t at = dao.find("DateTime=Monday, January 1, 2024, 00:0");
  if (at != std::string::npos)
    dao.erase(at, dao.find('\n', at) - at);
  return dao;
}

// Runs a script of host/tests/scripts in the decoupling wizard, modeless on screen, once with injected and once with
// real X input; answers the two runs' logs (empty when a run failed, which fails the test).
std::vector<std::string> RunWizardScriptOnScreenWithEitherInput(const std::string& script, const std::string& options) {
  std::vector<std::string> logs;
  if (!std::getenv("DISPLAY")) {
    ADD_FAILURE() << "runs under xvfb-run";
    return logs;
  }
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const fs::path dir = fs::temp_directory_path() / ("brim_pdnhost_either_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const char* input : {"", " --real-input"}) {
    SCOPED_TRACE(script + input);
    const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + PDNHOST_PROGRAM + " --screen" + input +
                                " --open modeless" + options + " --script " +
                                (source / "host/tests/scripts" / script).string() + " --shots " + dir.string() +
                                " > " + (dir / "log.txt").string() + " 2>&1";
    const int status = std::system(command.c_str());
    const std::string log = ReadFile(dir / "log.txt");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
    logs.push_back(WIFEXITED(status) && WEXITSTATUS(status) == 0 ? log : std::string());
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return logs;
}

TEST(PdnHostOnScreen, DecouplingWizardScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const fs::path dir = fs::temp_directory_path() / ("brim_pdnhost_screen_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const char* mode : {"modal", "modeless"}) {
    SCOPED_TRACE(mode);
    const fs::path run = dir / mode;
    fs::create_directories(run);
    std::ofstream(run / "demo8.brd") << "board\n";
    // The X and SDL libraries keep process-wide state until exit.
    const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + PDNHOST_PROGRAM + " --screen --real-input" +
                                " --open " + mode + " --save --fixed-clock --no-getters --project " +
                                (run / "demo8.brd").string() + " --script " +
                                (source / "host/tests/scripts/decoupling.pdnscript").string() + " --shots " +
                                run.string() + " > " + (run / "log.txt").string() + " 2>&1";
    const int status = std::system(command.c_str());
    const std::string log = ReadFile(run / "log.txt");
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
    EXPECT_EQ(WithoutStamp(ReadFile(run / "demo8.dao")), WithoutStamp(ReadFile(source / "host/tests/golden/demo8.dao")));
    EXPECT_NE(log.find("messagebox \"Zuvar Erazoduvi Zerovi\": You have to specify two nets"), std::string::npos) << log;
    EXPECT_NE(log.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << log;
    EXPECT_GT(fs::file_size(run / "01-start.png"), 1000u);
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// The decoupling-analysis wizard on the 8-layer board of a two-board system with real X input: board page, nets,
// Distributed, the IC power pins checked and grouped, Finish and the host's Run; the ".dao" as headless.
TEST(PdnHostOnScreen, DecouplingPinsScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const fs::path run = fs::temp_directory_path() / ("brim_pdnhost_screen_pins_" + std::to_string(::getpid()));
  fs::create_directories(run);
  std::ofstream(run / "demo8.brd") << "board\n";
  const fs::path boards = fs::path(PDNHOST_PROGRAM).parent_path() / "samples/boards";
  const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + PDNHOST_PROGRAM +
                              " --screen --real-input --board " + (boards / "demo8.json").string() + " --board " +
                              (boards / "sensor4.json").string() + " --table-value library --open modeless --save --fixed-clock --project " +
                              (run / "demo8.brd").string() + " --script " +
                              (source / "host/tests/scripts/decoupling-pins.pdnscript").string() + " --shots " +
                              run.string() + " > " + (run / "log.txt").string() + " 2>&1";
  const int status = std::system(command.c_str());
  const std::string log = ReadFile(run / "log.txt");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
  EXPECT_EQ(WithoutStamp(ReadFile(run / "demo8.dao")),
            WithoutStamp(ReadFile(source / "host/tests/golden/demo8-pins.dao")));
  EXPECT_NE(log.find("callback: Run"), std::string::npos) << log;
  std::error_code ignored;
  fs::remove_all(run, ignored);
}

// The capacitor model editor on screen: the Touchstone script (detection, save as into the library, OK) with real
// X input.
TEST(PdnHostOnScreen, ModelEditorScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const fs::path dir = fs::temp_directory_path() / ("brim_pdnhost_editor_screen_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + PDNHOST_PROGRAM +
                              " --screen --real-input --dialog editor --capacitor C57 --script " +
                              (source / "host/tests/scripts/editor-touchstone.pdnscript").string() + " --shots " +
                              dir.string() + " > " + (dir / "log.txt").string() + " 2>&1";
  const int status = std::system(command.c_str());
  const std::string log = ReadFile(dir / "log.txt");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
  EXPECT_NE(log.find("change: ModelLibrary Add X7R_1U_0603_SER Touchstone"), std::string::npos) << log;
  EXPECT_NE(log.find("RunModal() -> 1 (OK)"), std::string::npos) << log;
  EXPECT_NE(log.find("IsSeries = true"), std::string::npos) << log;
  EXPECT_GT(fs::file_size(dir / "editor-touchstone-02-saved.png"), 1000u);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// Injected input on screen takes the path of real input: Tab and clicks take turns between two fields of the
// frequency sweep page, each click bringing the focus back to its field, with real input and with injected input.
TEST(PdnHostOnScreen, ClicksAndTabTakeTurnsBetweenTwoFieldsWithEitherInput) {
  for (const std::string& log : RunWizardScriptOnScreenWithEitherInput("decoupling-focus.pdnscript", ""))
    EXPECT_NE(log.find("  GetMinFreq = 250000\n  GetMaxFreq = 2.5e+08\n"), std::string::npos) << log;
}

// The step list's keys on screen, with real and with injected input: Shift+Tab reaches the list, the arrows, End,
// Enter and Space move between the steps.
TEST(PdnHostOnScreen, TheStepListMovesWithItsKeysWithEitherInput) {
  for (const std::string& log : RunWizardScriptOnScreenWithEitherInput("decoupling-steps.pdnscript", " --no-getters"))
    EXPECT_NE(log.find("step 7: expect state 22358 focused"), std::string::npos) << log;
}

// Combo boxes picked with real input: the list opens some time after the click, and the entry is clicked in it
// once it shows ("<custom>" straight from the group's model, then the ESL calculator's package).
TEST(PdnHostOnScreen, ComboEntriesArePickedInTheOpenListWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const fs::path dir = fs::temp_directory_path() / ("brim_pdnhost_combo_screen_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + PDNHOST_PROGRAM +
                              " --screen --real-input --dialog editor --capacitor C1 --script " +
                              (source / "host/tests/scripts/editor-clr.pdnscript").string() + " --shots " +
                              dir.string() + " > " + (dir / "log.txt").string() + " 2>&1";
  const int status = std::system(command.c_str());
  const std::string log = ReadFile(dir / "log.txt");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
  EXPECT_NE(log.find("RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 1 (C-L-R)\n"
                     "  IncludesViaMounting = false\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("  GetESL = 1.57536e-10\n"), std::string::npos) << log;
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// The decoupling groups dialog on screen: the groups script (row headers clicked with Ctrl, a new group named in
// its grid editor, a member moved back, a group emptied, OK) with real X input; the board changes it commits are
// those of the headless run's golden log.
TEST(PdnHostOnScreen, GroupsDialogScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const fs::path dir = fs::temp_directory_path() / ("brim_pdnhost_groups_screen_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + PDNHOST_PROGRAM +
                              " --screen --real-input --dialog groups --unit-text \"\" --script " +
                              (source / "host/tests/scripts/groups.pdnscript").string() + " --shots " +
                              dir.string() + " > " + (dir / "log.txt").string() + " 2>&1";
  const int status = std::system(command.c_str());
  const std::string log = ReadFile(dir / "log.txt");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
  const auto changes = [](const std::string& text) {
    std::istringstream lines(text);
    std::string line, out;
    while (std::getline(lines, line))
      if (line.rfind("change: ", 0) == 0 || line.rfind("RunModal() -> ", 0) == 0) out += line + "\n";
    return out;
  };
  EXPECT_EQ(changes(log), changes(ReadFile(source / "host/tests/golden/groups-demo8.log"))) << log;
  EXPECT_NE(changes(log).find("Group \"\" SetName \"CAP_10N\""), std::string::npos) << log;
  EXPECT_GT(fs::file_size(dir / "groups-02-emptied.png"), 1000u);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// The bypass, via-model and PDN model-extractor wizards on screen: their board-viewer scripts (viewer picks, a net
// pick, a via port switched by the host, combo box, grid cells, a row drag, typed values) with real X input, the
// saved settings against the headless runs' golden files.
TEST(PdnHostOnScreen, ViaWizardScriptsWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const fs::path dir = fs::temp_directory_path() / ("brim_pdnhost_screen_vias_" + std::to_string(::getpid()));
  for (const char* wizard : {"bypass", "via-model", "extractor"}) {
    SCOPED_TRACE(wizard);
    const fs::path run = dir / wizard;
    fs::create_directories(run);
    std::ofstream(run / "demo8.brd") << "board\n";
    const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + PDNHOST_PROGRAM +
                                " --screen --real-input --wizard " + wizard +
                                " --open modeless --fixed-clock --project " + (run / "demo8.brd").string() +
                                " --script " + (source / "host/tests/scripts" / (std::string(wizard) + ".pdnscript")).string() +
                                " --shots " + run.string() + " > " + (run / "log.txt").string() + " 2>&1";
    const int status = std::system(command.c_str());
    const std::string log = ReadFile(run / "log.txt");
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
    // The bypass record names its project file by its full path.
    std::string saved = WithoutStamp(ReadFile(run / "demo8.dao"));
    for (size_t at; (at = saved.find(run.string() + "/")) != std::string::npos;)
      saved.erase(at, run.string().size() + 1);
    EXPECT_EQ(saved, WithoutStamp(ReadFile(source / "host/tests/golden" / (std::string(wizard) + ".dao"))));
    EXPECT_NE(log.find("callback: Run\n"), std::string::npos) << log;
    EXPECT_NE(log.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << log;
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// The capacitor models dialog on screen: the models script (the net filter's drop-down lists, an expand button, the
// model editor, an "Enabled" box, "Remove Models", the groups dialog) with real X input; the board changes are
// those of the headless run's golden log.
TEST(PdnHostOnScreen, ModelsDialogScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const fs::path dir = fs::temp_directory_path() / ("brim_pdnhost_models_screen_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 ") + PDNHOST_PROGRAM +
                              " --screen --real-input --dialog models --unit-text \"\" --script " +
                              (source / "host/tests/scripts/models.pdnscript").string() + " --shots " +
                              dir.string() + " > " + (dir / "log.txt").string() + " 2>&1";
  const int status = std::system(command.c_str());
  const std::string log = ReadFile(dir / "log.txt");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
  const auto changes = [](const std::string& text) {
    std::istringstream lines(text);
    std::string line, out;
    while (std::getline(lines, line))
      if (line.rfind("change: ", 0) == 0 || line.rfind("RunModal() -> ", 0) == 0) out += line + "\n";
    return out;
  };
  EXPECT_EQ(changes(log), changes(ReadFile(source / "host/tests/golden/models-demo8.log"))) << log;
  EXPECT_NE(changes(log).find("Group \"3V3_MID\" AddMember C57"), std::string::npos) << log;
  EXPECT_GT(fs::file_size(dir / "models-04-after-groups.png"), 1000u);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace
