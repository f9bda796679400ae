// pdnhost end to end: the program run on the sample board against the module library, and a settings file saved by
// a wizard in one run and loaded in a second run, every getter compared. The runs that need a wizard use the test
// copy of the library whose stand-in wizards save at Finish and load at "Use last configuration".
#include "host/PdnHost.h"
#include "host/tests/HostTestBoards.h"
#include "platform/base/IniStore.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"
#include "platform/display/ReferenceImage.h"
#include "platform/gdi/Surface.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path SourceDir() {
  const char* source = std::getenv("BRIM_SOURCE_DIR");
  return source ? fs::path(source) : fs::current_path().parent_path();
}

struct Outcome {
  int code = -1;
  std::string output;  // the standard output and error streams together
  std::string errors;  // the standard error stream alone
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Outcome RunPdnHost(const std::string& arguments, const std::string& program = PDNHOST_PROGRAM) {
  Outcome outcome;
  const TempDir temp("brim_pdnhost_err");
  const fs::path errors = temp.Path() / "errors.txt";
  const std::string command = program + " " + arguments + " 2>" + errors.string();
  FILE* pipe = plat::OpenCommand(command);
  if (!pipe)
    return outcome;
  char buffer[4096];
  size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    outcome.output.append(buffer, read);
  const int status = plat::CloseCommand(pipe);
  outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.errors = ReadFile(errors);
  outcome.output += outcome.errors;
  return outcome;
}

std::string Getters(const std::string& output) {
  const size_t start = output.find("getters:\n");
  return start == std::string::npos ? std::string() : output.substr(start);
}

class PdnHostProgram : public ::testing::Test {
protected:
  PdnHostProgram() {
    dir = MakeTempFolder("brim_pdnhost");
    project = (dir / "demo8.brd").string();
    std::ofstream(project) << "board\n";
  }
  ~PdnHostProgram() override {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  // Runs host/tests/scripts/<script>.pdnscript in the extractor, modal, on a system of the 8-layer and the 4-layer
  // board, with the project and the screenshots in the test's folder.
  Outcome RunTwoBoardExtractor(const std::string& script);

  // Runs a script that ends the wizard itself, modal and then modeless, each time without a settings file before:
  // every run ends cleanly through the host's MayClose, with the settings file written. Answers the outputs.
  std::vector<std::string> RunScriptThatSavesAndCloses(const fs::path& script) {
    std::vector<std::string> outputs;
    const fs::path settings = dir / "demo8.dao";
    for (const char* mode : {"modal", "modeless"}) {
      SCOPED_TRACE(mode);
      fs::remove(settings);
      const Outcome outcome = RunPdnHost(std::string("--no-getters --fixed-clock --open ") + mode + " --project " +
                                         project + " --script " + script.string());
      EXPECT_EQ(outcome.code, 0) << outcome.output;
      EXPECT_NE(outcome.output.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos)
          << outcome.output;
      EXPECT_TRUE(fs::exists(settings)) << outcome.output;
      outputs.push_back(outcome.output + ReadFile(settings));
    }
    return outputs;
  }

  // Runs a script of host/tests/scripts in a modeless wizard (fixed clock, no getters), its screenshots into `dir`.
  Outcome RunTestScript(const std::string& name, const std::string& options = "") {
    return RunPdnHost("--open modeless --fixed-clock --no-getters " + options + " --script " +
                      (SourceDir() / "host/tests/scripts" / name).string() + " --shots " + dir.string());
  }

  fs::path dir;
  std::string project;
};

TEST_F(PdnHostProgram, RunsOnTheSampleBoardAndOpensEveryWizard) {
  const Outcome plain = RunPdnHost("");
  EXPECT_EQ(plain.code, 0) << plain.output;
  EXPECT_NE(plain.output.find("demo8.json (PDN demo board 8L"), std::string::npos) << plain.output;
  EXPECT_NE(plain.output.find("SetSystem(PDN demo board 8L) -> true"), std::string::npos) << plain.output;
  EXPECT_NE(plain.output.find("  IsLumpedAnalysis = true\n"), std::string::npos) << plain.output;

  // Every wizard has its dialog: each opens and tells the host so.
  for (const char* wizard : {"bypass", "via-model", "extractor"}) {
    SCOPED_TRACE(wizard);
    const Outcome opened = RunPdnHost(std::string("--no-getters --open modeless --wizard ") + wizard);
    EXPECT_EQ(opened.code, 0) << opened.output;
    EXPECT_NE(opened.output.find("CreateModeless() -> true\ncallback: Notify 1 1\n"), std::string::npos)
        << opened.output;
    EXPECT_EQ(opened.errors, "");
  }
  // The decoupling wizard opens; headless, a modal run without a script stops with a clear message and closes it.
  const Outcome modeless = RunPdnHost("--open modeless --no-getters");
  EXPECT_EQ(modeless.code, 0) << modeless.output;
  EXPECT_NE(modeless.output.find("CreateModeless() -> true\ncallback: Notify 1 1\n"), std::string::npos);
  const Outcome modal = RunPdnHost("--open modal --no-getters");
  EXPECT_EQ(modal.code, 4) << modal.output;
  EXPECT_NE(modal.errors.find("the modal wizard waits for input, but headless nothing can give it"), std::string::npos)
      << modal.output;
  EXPECT_NE(modal.output.find("RunModal() -> false\ncallback: Notify 1 1\ncallback: OnClosed\n"), std::string::npos) << modal.output;
  EXPECT_EQ(RunPdnHost("--help").output.find("missing"), std::string::npos);

  // The via-model object loads without a wizard; a file that is not there is refused before the module loads.
  const Outcome missing = RunPdnHost("--wizard via-model --load " + (dir / "none.dao").string());
  EXPECT_EQ(missing.code, 2) << missing.output;
  EXPECT_EQ(missing.output.find("LoadSettings"), std::string::npos) << missing.output;
  EXPECT_EQ(missing.output.find("callback: Notify 2 1"), std::string::npos) << missing.output;
}

// A project or settings file named on the command line that is not there, is a folder, a FIFO or a link to nothing
// is refused with its reason before the board or the module is loaded: nothing runs and nothing is written (the
// wizard once took the project as one without a file, and --save then saved nowhere or beside the folder).
TEST_F(PdnHostProgram, AProjectOrSettingsFileThatIsNoReadableFileIsRefusedBeforeTheModuleLoads) {
  const fs::path fifo = dir / "pipe.brd";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(dir / "gone.brd", dir / "dangling.brd");
  fs::create_directories(dir / "folder.brd");
  const std::string missing = "cannot be opened for reading (No such file or directory)";
  const std::pair<fs::path, std::string> bad[] = {
      {dir / "none.brd", missing}, {dir / "dangling.brd", missing},
      {dir / "folder.brd", "is not a regular file"}, {fifo, "is not a regular file"}};
  for (const auto& [file, reason] : bad) {
    for (const char* option : {"--project", "--load"}) {
      SCOPED_TRACE(std::string(option) + " " + file.string());
      const std::string given = std::string(" ") + option + " " + file.string();
      for (const std::string& run : {"--open modeless --save --project " + project + given,
                                     "--wizard via-model --no-getters" + given}) {
        const Outcome outcome = RunPdnHost(run);
        EXPECT_EQ(outcome.code, 2) << outcome.output;
        EXPECT_EQ(outcome.errors,
                  "pdnhost: " + std::string(option) + ": the file \"" + file.string() + "\" " + reason + "\n");
        EXPECT_EQ(outcome.output, outcome.errors);
      }
    }
  }
  EXPECT_FALSE(fs::exists(dir / "demo8.dao"));
  EXPECT_FALSE(fs::exists(dir / "none.dao"));
  // A project whose settings file is not there yet is the normal start: the save makes it.
  const Outcome fresh = RunPdnHost(std::string("--library ") + BRIM_TEST_MODULE_LIBRARY +
                                   " --board-mode --no-getters --fixed-clock --project " + project + " --save");
  EXPECT_EQ(fresh.code, 0) << fresh.output;
  EXPECT_NE(fresh.output.find("SetProjectFile(" + project + ") -> true"), std::string::npos) << fresh.output;
  EXPECT_TRUE(fs::exists(dir / "demo8.dao"));
  // The module's own path dialect names the same file.
  const fs::path backslashed = fs::path(project).parent_path().string() + "\\demo8.brd";
  EXPECT_EQ(RunPdnHost("--no-getters --project '" + backslashed.string() + "'").code, 0);
  if (::geteuid() != 0) {   // root reads a file whatever its mode
    fs::permissions(project, fs::perms::none);
    const Outcome unreadable = RunPdnHost("--no-getters --project " + project);
    EXPECT_EQ(unreadable.code, 2) << unreadable.output;
    EXPECT_NE(unreadable.errors.find("cannot be opened for reading (Permission denied)"), std::string::npos);
    fs::permissions(project, fs::perms::owner_all);
  }
}

TEST_F(PdnHostProgram, BadInputGetsAClearErrorOnTheErrorStream) {
  const fs::path bad = dir / "bad.json";
  std::ofstream(bad) << "{ \"name\": 3 }";
  const Outcome board = RunPdnHost("--board " + bad.string());
  EXPECT_EQ(board.code, 2);
  EXPECT_NE(board.errors.find("pdnhost: ") , std::string::npos) << board.output;
  EXPECT_NE(board.errors.find("bad.json"), std::string::npos) << board.output;
  const Outcome library = RunPdnHost("--library " + (dir / "nothing.so").string());
  EXPECT_EQ(library.code, 2);
  EXPECT_NE(library.errors.find("cannot load the module library"), std::string::npos) << library.output;
  // A script that is not there keeps any wizard from opening.
  const Outcome modeless = RunPdnHost("--wizard bypass --open modeless --script " + (dir / "none.pdnscript").string());
  EXPECT_EQ(modeless.code, 2);
  EXPECT_NE(modeless.errors.find("none.pdnscript"), std::string::npos) << modeless.output;
  EXPECT_EQ(modeless.output.find("CreateModeless"), std::string::npos) << modeless.output;
  // A bad script line is reported with its file and line before anything opens.
  const fs::path script = dir / "bad.pdnscript";
  std::ofstream(script) << "# fine\nclick 1065\nexpect state 1065 ticked\n";
  const Outcome scripted = RunPdnHost("--open modal --script " + script.string());
  EXPECT_EQ(scripted.code, 2);
  EXPECT_NE(scripted.errors.find(script.string() + ":3: expected enabled, disabled"), std::string::npos)
      << scripted.output;
  EXPECT_EQ(scripted.output.find("RunModal"), std::string::npos) << scripted.output;
  for (const Outcome* outcome : {&board, &library, &modeless, &scripted})
    EXPECT_EQ(outcome->output.substr(0, outcome->output.size() - outcome->errors.size()).find("pdnhost:"),
              std::string::npos)
        << outcome->output;

  EXPECT_THROW(host::ParsePdnHostArguments({"--table-value", "12x"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--option1", "maybe"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--project"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--frobnicate"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--script", "s"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--screen"}, "l", "b"), host::PdnHostUsageError);
  EXPECT_THROW(host::ParsePdnHostArguments({"--open", "modal", "--script", "s", "--real-input"}, "l", "b"),
               host::PdnHostUsageError);
  const host::PdnHostOptions options =
      host::ParsePdnHostArguments({"--wizard", "via-model", "--table-value", "-4", "--option2", "on"}, "l", "b");
  EXPECT_EQ(options.wizard, host::WizardKind::ViaModel);
  EXPECT_EQ(options.tableValue, -4);
  EXPECT_EQ(options.option2, true);
  EXPECT_EQ(options.library, "l");
  // "library" hands in the board's model library; a later number replaces it.
  const host::PdnHostOptions withLibrary = host::ParsePdnHostArguments({"--table-value", "library"}, "l", "b");
  EXPECT_TRUE(withLibrary.tableValueLibrary);
  EXPECT_FALSE(withLibrary.tableValue);
  const host::PdnHostOptions number =
      host::ParsePdnHostArguments({"--table-value", "library", "--table-value", "3"}, "l", "b");
  EXPECT_FALSE(number.tableValueLibrary);
  EXPECT_EQ(number.tableValue, 3);
}

TEST_F(PdnHostProgram, EchoesNamesOnOneLineAndCallbacksAfterTheirStep) {
  const Outcome named = RunPdnHost(std::string("--library ") + BRIM_TEST_MODULE_LIBRARY +
                                   " --names 'VDD\tGND\\x' --names \"$(printf 'A\\r\\nB')\" --open modeless");
  EXPECT_NE(named.output.find("AddNames(VDD\\tGND\\\\x) -> true\n"), std::string::npos) << named.output;
  EXPECT_NE(named.output.find("AddNames(A\\r\\nB) -> true\n"), std::string::npos) << named.output;
  // The wizard tells the callback that it opened while CreateModeless runs: the line follows the step's.
  EXPECT_NE(named.output.find("CreateModeless() -> true\ncallback: Notify 1 1\n"), std::string::npos) << named.output;
  EXPECT_EQ(host::EscapedName("a\tb\r\nc\\"), "a\\tb\\r\\nc\\\\");
  // The names of files given on the command line, and those a failing step names, are echoed so too.
  const std::string folder = dir.string();
  std::ofstream(dir / "pro\tject.brd") << "board\n";
  std::ofstream(dir / "set\ntings.dao") << "";
  const Outcome files = RunPdnHost(std::string("--library ") + BRIM_TEST_MODULE_LIBRARY +
                                   " --wizard bypass --no-getters --project \"$(printf '" + folder +
                                   "/pro\\tject.brd')\" --load \"$(printf '" + folder +
                                   "/set\\ntings.dao')\" --help-file \"$(printf 'he\\tlp.chm')\" --output \"$(printf "
                                   "'out\\rput')\" --drc-report \"$(printf 'd\\nrc.txt')\"");
  for (const std::string& line :
       {"SetProjectFile(" + folder + "/pro\\tject.brd) -> ", std::string("SetHelpFile(he\\tlp.chm) -> "),
        std::string("SetOutputFileName(out\\rput) -> "), std::string("SetDRCReportFile(d\\nrc.txt) -> "),
        "LoadSettings(" + folder + "/set\\ntings.dao) -> "})
    EXPECT_NE(files.output.find("\n" + line), std::string::npos) << line << "\n" << files.output;
  const fs::path script = dir / "script.txt";
  for (const auto& [step, error] :
       {std::pair{"click \"Sa\\tve\"\n", "script.txt:1: no visible control \"Sa\\tve\" in the window"},
        std::pair{"viewer pick \"U1\\nD4\"\n", "script.txt:1: viewer pick: no board has a probe \"U1\\nD4\"\n"}}) {
    std::ofstream(script) << step;
    const Outcome failed = RunPdnHost(std::string("--library ") + BRIM_TEST_MODULE_LIBRARY +
                                      " --no-getters --open modeless --script " + script.string());
    EXPECT_EQ(failed.code, 4) << failed.output;
    EXPECT_NE(failed.errors.find(error), std::string::npos) << failed.output;
  }
}

TEST_F(PdnHostProgram, FindsItsModuleAndBoardBesideItself) {
  // A copy of the build's layout elsewhere: the program takes the module and board found from its own folder.
  const fs::path build = fs::path(PDNHOST_PROGRAM).parent_path().parent_path();
  const fs::path copy = dir / "build";
  fs::create_directories(copy / "host" / "samples" / "boards");
  fs::create_directories(copy / "brimstead");
  fs::copy_file(PDNHOST_PROGRAM, copy / "host" / "pdnhost");
  fs::copy_file(fs::path(PDNHOST_PROGRAM).parent_path() / "samples/boards/demo8.json",
                copy / "host/samples/boards/demo8.json");
  fs::copy_file(BRIM_MODULE_LIBRARY, copy / "brimstead" / fs::path(BRIM_MODULE_LIBRARY).filename());
  ASSERT_EQ(fs::path(BRIM_MODULE_LIBRARY).parent_path().parent_path(), build);
  const Outcome moved = RunPdnHost("--no-getters", (copy / "host" / "pdnhost").string());
  EXPECT_EQ(moved.code, 0) << moved.output;
  EXPECT_NE(moved.output.find("module: " + (copy / "brimstead").string()), std::string::npos) << moved.output;
  EXPECT_NE(moved.output.find("board: " + (copy / "host/samples/boards/demo8.json").string()), std::string::npos)
      << moved.output;
}

// A project in a folder named beyond ASCII: the host hands the module its paths in the module's code page, and the
// settings file is written and read again where the project lies; a path the code page cannot hold is refused.
TEST_F(PdnHostProgram, AProjectInAFolderNamedBeyondAsciiSavesAndLoadsItsSettingsThere) {
  const fs::path folder = dir / "B\xC3\xBCro";
  fs::create_directories(folder);
  const std::string named = (folder / "demo8.brd").string();
  std::ofstream(named) << "board\n";
  const std::string common = std::string("--library ") + BRIM_TEST_MODULE_LIBRARY + " --board-mode --fixed-clock" +
                             " --project \"" + named + "\"";
  const Outcome saved = RunPdnHost(common + " --save");
  ASSERT_EQ(saved.code, 0) << saved.output;
  EXPECT_NE(saved.output.find("SetProjectFile(" + named + ") -> true"), std::string::npos) << saved.output;
  const fs::path settings = folder / "demo8.dao";
  ASSERT_TRUE(fs::exists(settings)) << saved.output;
  const Outcome loaded = RunPdnHost(common + " --load \"" + settings.string() + "\"");
  ASSERT_EQ(loaded.code, 0) << loaded.output;
  EXPECT_NE(loaded.output.find("callback: Notify 2 1"), std::string::npos) << loaded.output;
  EXPECT_EQ(Getters(loaded.output), Getters(saved.output));

  const Outcome refused = RunPdnHost(common + " --load \"" + (dir / "\xE4\xB8\xAD.dao").string() + "\"");
  EXPECT_EQ(refused.code, 2) << refused.output;
}

TEST_F(PdnHostProgram, SettingsSavedInOneRunComeBackInTheNext) {
  const std::string common = std::string("--library ") + BRIM_TEST_MODULE_LIBRARY + " --board-mode --debug-options" +
                             " --project " + project + " --fixed-clock";
  const std::string settings = (dir / "demo8.dao").string();
  for (const char* wizard : {"decoupling", "bypass", "via-model", "extractor"}) {
    SCOPED_TRACE(wizard);
    fs::remove(settings);
    const std::string kind = std::string(" --wizard ") + wizard;
    const Outcome saved = RunPdnHost(common + kind + " --output result_" + wizard + " --save");
    ASSERT_EQ(saved.code, 0) << saved.output;
    ASSERT_NE(saved.output.find("callback: Run"), std::string::npos) << saved.output;
    ASSERT_TRUE(fs::exists(settings)) << saved.output;
    EXPECT_NE(ReadFile(settings).find("DateTime=Monday, January 1, 2024, 00:00:00\r\n"), std::string::npos);

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
  // --drc-report reaches the decoupling object, which puts the name into the record when the wizard runs; the
  // other objects keep no report file and say so.
  fs::remove(settings);
  const std::string report = (dir / "reports" / "drc.csv").string();
  const Outcome reported = RunPdnHost(common + " --drc-report " + report + " --save");
  ASSERT_EQ(reported.code, 0) << reported.output;
  EXPECT_NE(reported.output.find("SetDRCReportFile(" + report + ") -> true"), std::string::npos) << reported.output;
  EXPECT_NE(ReadFile(settings).find("DRCReportFile=" + report + "\r\n"), std::string::npos) << ReadFile(settings);
  const Outcome bypass = RunPdnHost(common + " --wizard bypass --drc-report " + report);
  EXPECT_NE(bypass.output.find("SetDRCReportFile(" + report + ") -> false"), std::string::npos) << bypass.output;
  // Without the switch the stamp is the real time.
  fs::remove(settings);
  const std::string real = std::string("--library ") + BRIM_TEST_MODULE_LIBRARY + " --board-mode --project " + project;
  ASSERT_EQ(RunPdnHost(real + " --save").code, 0);
  EXPECT_EQ(ReadFile(settings).find("2024"), std::string::npos) << ReadFile(settings);
}

}  // namespace

namespace {

// Each screenshot <dir>/<shot>.png matches its reference, host/tests/reference/<shot>.png.
void ExpectShotsMatchReferences(const fs::path& dir, const std::vector<const char*>& shots) {
  for (const char* shot : shots) {
    auto image = plat::Surface::readPng((dir / (std::string(shot) + ".png")).string());
    ASSERT_TRUE(image) << shot;
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, std::string("host/tests/reference/") + shot + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
}

fs::path SampleBoard(const std::string& name) {
  return fs::path(PDNHOST_PROGRAM).parent_path() / "samples/boards" / (name + ".json");
}

Outcome PdnHostProgram::RunTwoBoardExtractor(const std::string& script) {
  return RunPdnHost("--board " + SampleBoard("demo8").string() + " --board " + SampleBoard("sensor4").string() +
                    " --wizard extractor --open modal --fixed-clock --project " + project + " --script " +
                    (SourceDir() / "host/tests/scripts" / (script + ".pdnscript")).string() + " --shots " +
                    dir.string());
}

TEST_F(PdnHostProgram, DecouplingWizardRunsFromAScriptOnBothSampleBoards) {
  const fs::path script = SourceDir() / "host/tests/scripts/decoupling.pdnscript";
  for (const char* board : {"demo8", "sensor4"}) {
    for (const char* mode : {"modal", "modeless"}) {
      SCOPED_TRACE(std::string(board) + " " + mode);
      const fs::path run = dir / (std::string(board) + "-" + mode);
      fs::create_directories(run);
      const fs::path boardProject = run / (std::string(board) + ".brd");
      std::ofstream(boardProject) << "board\n";
      const Outcome outcome =
          RunPdnHost("--board " + SampleBoard(board).string() + " --open " + mode + " --save --fixed-clock --project " +
                     boardProject.string() + " --script " + script.string() + " --shots " + run.string() +
                     " --no-getters");
      ASSERT_EQ(outcome.code, 0) << outcome.output;
      EXPECT_EQ(ReadFile(run / (std::string(board) + ".dao")),
                ReadFile(SourceDir() / "host/tests/golden" / (std::string(board) + ".dao")));
      EXPECT_NE(outcome.output.find("messagebox \"Brimstead\": Enter minimum frequency 0.001 MHz or greater -> ok"),
                std::string::npos);
      EXPECT_NE(outcome.output.find("messagebox \"Zuvar Erazoduvi Zerovi\": You have to specify two nets"),
                std::string::npos)
          << outcome.output;
      // Finish reports to the host; the first Close is refused by it, the second closes the wizard.
      EXPECT_NE(outcome.output.find("callback: Notify 4 1\n"), std::string::npos);
      size_t asked = 0;
      for (size_t at = outcome.output.find("callback: MayClose\n"); at != std::string::npos;
           at = outcome.output.find("callback: MayClose\n", at + 1))
        ++asked;
      EXPECT_EQ(asked, 2u) << outcome.output;
      EXPECT_NE(outcome.output.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << outcome.output;
      // A screenshot of every page and of the calculator's pages.
      for (const char* shot : {"01-start.png", "02-analysis-type.png", "03-target.png", "04-target-z-first.png",
                               "05-target-z-second.png", "06-target-z-finish.png", "07-easy-custom.png",
                               "08-custom-settings.png", "09-frequency-refused.png", "10-finish.png",
                               "11-after-finish.png"})
        EXPECT_GT(fs::file_size(run / shot), 1000u) << shot;
    }
  }
}

// A modal run by a host that hands in an empty settings-copy buffer, "Save settings to file" left clear, whose
// check fails: the module names a fresh copy in the temporary folder, writes the settings there and not into the
// settings file, and the host reads the name from its buffer.
TEST_F(PdnHostProgram, AModalRunWithAFailingCheckWritesTheSettingsCopyAndNotTheSettingsFile) {
  const fs::path run = dir / "copy";
  fs::create_directories(run);
  const fs::path boardProject = run / "demo8.brd";
  std::ofstream(boardProject) << "board\n";
  const Outcome outcome = RunPdnHost(
      "--open modal --settings-copy --fixed-clock --no-getters --project " + boardProject.string() + " --script " +
          (SourceDir() / "host/tests/scripts/decoupling-copy.pdnscript").string() + " --shots " + run.string(),
      "TMPDIR=" + run.string() + " " + PDNHOST_PROGRAM);
  ASSERT_EQ(outcome.code, 0) << outcome.output;
  EXPECT_EQ(outcome.errors, "");
  EXPECT_NE(outcome.output.find("SetSettingsCopyBuffer(empty) -> true\n"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("RunModal() -> false\n"), std::string::npos) << outcome.output;
  const std::string named = "settings copy: " + (run / "dao1.tmp").string() + "\n";
  EXPECT_NE(outcome.output.find(named), std::string::npos) << outcome.output;
  EXPECT_EQ(ReadFile(run / "dao1.tmp"), ReadFile(SourceDir() / "host/tests/golden/decoupling-copy.dao"));
  EXPECT_FALSE(fs::exists(run / "demo8.dao"));
  auto image = plat::Surface::readPng((run / "copy-01-finish.png").string());
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, "host/tests/reference/copy-01-finish.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

// A settings copy never holds the wizard open: the bypass wizard closes at once on a host output name with a blank in
// front, and the copy its buffer names loads that name back.
TEST_F(PdnHostProgram, TheSettingsCopyOfANameWithAnEdgeBlankLetsTheWizardCloseAndLoadsBack) {
  const fs::path run = dir / "lead";
  fs::create_directories(run);
  const fs::path boardProject = run / "sensor4.brd";
  std::ofstream(boardProject) << "board\n";
  const std::string common =
      "--board " + SampleBoard("sensor4").string() + " --board-mode --wizard bypass --project " + boardProject.string();
  const Outcome closed = RunPdnHost(common + " --open modal --settings-copy --script " +
                                        (SourceDir() / "host/tests/scripts/bypass-copy-lead.pdnscript").string(),
                                    "TMPDIR=" + run.string() + " " + PDNHOST_PROGRAM);
  ASSERT_EQ(closed.code, 0) << closed.output << closed.errors;
  EXPECT_NE(closed.output.find("RunModal() -> false\ncallback: MayClose\ncallback: OnClosed\n"), std::string::npos)
      << closed.output;
  const fs::path copy = run / "dao1.tmp";
  EXPECT_NE(closed.output.find("settings copy: " + copy.string() + "\n"), std::string::npos) << closed.output;
  const Outcome loaded = RunPdnHost(common + " --load " + copy.string());
  ASSERT_EQ(loaded.code, 0) << loaded.output << loaded.errors;
  EXPECT_NE(loaded.output.find("  GetOutputFileName = " + (run / " lead.z1p").string() + "\n"), std::string::npos)
      << loaded.output;
}

// Designators and pin names with full stops (U.1 / 1, U.1 / 1.5, U1 / 1.5): the IC power pins checked and ordered in
// one run come back checked and in their order when the host loads the saved settings in the next ("Use last
// configuration").
TEST_F(PdnHostProgram, PinsOfNamesWithFullStopsComeBackFromTheSettingsFile) {
  const fs::path board = dir / "dotted.json";
  const std::string json = host::test::DottedNamesBoard();
  ASSERT_FALSE(json.empty());
  std::ofstream(board) << json;
  const fs::path project = dir / "dotted.brd";
  std::ofstream(project) << "board\n";
  const std::string common = "--board " + board.string() + " --fixed-clock --project " + project.string();
  const Outcome saved = RunPdnHost(common + " --open modeless --save --script " +
                                   (SourceDir() / "host/tests/scripts/decoupling-dotted.pdnscript").string() +
                                   " --shots " + dir.string());
  ASSERT_EQ(saved.code, 0) << saved.output << saved.errors;
  const std::string settings = ReadFile(dir / "dotted.dao");
  EXPECT_NE(settings.find("PROBE_00 = U1.1.5 Enabled AutoReference \r\nPROBE_01 = U.1.1 Enabled AutoReference \r\n"
                          "PROBE_02 = U.1.1.5 Enabled AutoReference \r\n"),
            std::string::npos)
      << settings;
  EXPECT_NE(Getters(saved.output).find("  GetProbeCount = 3\n  probe 0 = U1.1.5\n  probe 1 = U.1.1\n"
                                       "  probe 2 = U.1.1.5\n"),
            std::string::npos)
      << saved.output;
  const Outcome loaded = RunPdnHost(common + " --load " + (dir / "dotted.dao").string());
  ASSERT_EQ(loaded.code, 0) << loaded.output << loaded.errors;
  EXPECT_NE(loaded.output.find("LoadSettings(" + (dir / "dotted.dao").string() + ") -> true\n"), std::string::npos)
      << loaded.output;
  EXPECT_EQ(Getters(loaded.output), Getters(saved.output));
}

// A settings copy that cannot be written leaves the host's buffer empty and no file in the temporary folder, and the
// wizard closes: a value no line of the file can hold (an output name with a line break), a temporary folder that is
// missing, and a copy refused at the close after a Finish whose copy was written ("written" shows it is): that copy,
// named to no one once the buffer is emptied, goes too. (Finish itself refuses such a name with the finish page's box
// before it saves anything.)
TEST_F(PdnHostProgram, ASettingsCopyThatCannotBeWrittenLeavesNoNameAndNoFileBehind) {
  const std::string refuse = "call SetOutputFileName \"out\\nname.z1p\"\n";
  const std::string finish = "answer message ok \"Via is to be selected for bypass analysis.\"\nclick 22345\n";
  struct Case {
    const char* name;
    std::string steps;
    const char* temp;   // the temporary folder in the run's folder, the run's folder itself when empty
    const char* copy;   // the copy named at the end, none when null
  } cases[] = {{"refused", refuse + "click \"Close\"\n", "", nullptr},
               {"missing", "click \"Close\"\n", "missing", nullptr},
               {"written", finish + "click \"Close\"\n", "", "dao1.tmp"},
               {"second", finish + refuse + "click \"Close\"\n", "", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path run = dir / c.name;
    fs::create_directories(run);
    const fs::path boardProject = run / "sensor4.brd";
    std::ofstream(boardProject) << "board\n";
    const fs::path script = dir / (std::string(c.name) + ".pdnscript");
    std::ofstream(script) << c.steps;
    const Outcome outcome = RunPdnHost("--board " + SampleBoard("sensor4").string() +
                                           " --board-mode --wizard bypass --open modal --settings-copy --no-getters" +
                                           " --project " + boardProject.string() + " --script " + script.string(),
                                       "TMPDIR=" + (*c.temp ? run / c.temp : run).string() + " " + PDNHOST_PROGRAM);
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    EXPECT_NE(outcome.output.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << outcome.output;
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(run))
      files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    if (c.copy) {
      EXPECT_NE(outcome.output.find("settings copy: " + (run / c.copy).string() + "\n"), std::string::npos)
          << outcome.output;
      EXPECT_NE(ReadFile(run / c.copy).find("[BOARD]"), std::string::npos);
      EXPECT_EQ(files, (std::vector<std::string>{c.copy, "sensor4.brd"}));
    } else {
      EXPECT_NE(outcome.output.find("settings copy: (none)\n"), std::string::npos) << outcome.output;
      EXPECT_EQ(files, std::vector<std::string>{"sensor4.brd"});
    }
  }
}

// The wizard's step list from the keyboard: reached by Shift+Tab, moved with the arrows, End, Enter and Space, its
// mark drawn as a dotted frame (the screenshots against their references).
TEST_F(PdnHostProgram, TheStepListIsATabStopAndMovesWithItsKeys) {
  const Outcome outcome = RunTestScript("decoupling-steps.pdnscript");
  ASSERT_EQ(outcome.code, 0) << outcome.output;
  EXPECT_EQ(outcome.errors, "");
  ExpectShotsMatchReferences(dir, {"steps-01-nets", "steps-02-finish", "steps-03-marked"});
}

// The target impedance and the frequencies refuse "0x10" and "0x1p4" with the field's box and keep the page.
TEST_F(PdnHostProgram, TheNumberFieldsRefuseHexadecimalForms) {
  const Outcome outcome = RunTestScript("decoupling-numbers.pdnscript");
  EXPECT_EQ(outcome.code, 0) << outcome.output;
  EXPECT_EQ(outcome.errors, "");
}

// Next judges the frequencies as their edits show them: a maximum that reads back as the minimum is refused there with
// the page's box and the typed texts kept, one shown digit above is taken.
TEST_F(PdnHostProgram, NextRefusesAMaximumFrequencyItsEditShowsAsTheMinimum) {
  const Outcome outcome = RunTestScript("decoupling-frequency-shown.pdnscript");
  EXPECT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_EQ(outcome.errors, "");
}

// The "Save settings" browse dialog refuses a name whose full path is longer than the path limit with a box and
// asks again; the page keeps its settings file until a name that fits is chosen.
TEST_F(PdnHostProgram, TheSettingsBrowseRefusesAPathLongerThanTheLimit) {
  const Outcome outcome = RunTestScript("settings-browse-long.pdnscript", "--project " + project);
  EXPECT_EQ(outcome.code, 0) << outcome.output;
  EXPECT_NE(outcome.output.find("\\nThe path is too long: it may hold 259 characters at most."), std::string::npos);
}

// --debug-options switches the module's debug options on: the wizard offers its debug step before the frequency
// sweep, where without the option the step list holds none.
TEST_F(PdnHostProgram, DebugOptionsBringTheWizardsDebugStep) {
  const std::string run = "--open modeless --fixed-clock --no-getters --script " +
                          (SourceDir() / "host/tests/scripts/decoupling-debug.pdnscript").string();
  const Outcome debug = RunPdnHost(run + " --debug-options");
  ASSERT_EQ(debug.code, 0) << debug.output << debug.errors;
  EXPECT_NE(debug.output.find("EnableDebugOptions()\n"), std::string::npos) << debug.output;
  const Outcome plain = RunPdnHost(run);
  EXPECT_EQ(plain.code, 4) << plain.output;
  EXPECT_NE(plain.errors.find("no control 1075"), std::string::npos) << plain.errors;
}

// The net page and the IC power pin grid from the keyboard: "==>" pressed with Space hands the focus back to the
// list of nets as it turns disabled; Space checks pins, Tab moves between the grid's cells and never out of it,
// Ctrl+Tab and Ctrl+Shift+Tab leave it for the next and the previous control (the screenshots against their
// references), and Next is reached with Tab.
TEST_F(PdnHostProgram, ThePinGridIsLeftWithCtrlTab) {
  const Outcome outcome =
      RunPdnHost("--open modeless --fixed-clock --script " +
                 (SourceDir() / "host/tests/scripts/decoupling-pins-keys.pdnscript").string() + " --shots " +
                 dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output;
  EXPECT_EQ(outcome.errors, "");
  EXPECT_NE(outcome.output.find("  GetProbeCount = 2\n  probe 0 = U1.D4\n  probe 1 = U1.D7\n"), std::string::npos)
      << outcome.output;
  ExpectShotsMatchReferences(dir, {"pins-keys-01-in-grid", "pins-keys-02-step-list"});
}

TEST_F(PdnHostProgram, TheDecouplingWizardRunsOnTheEightLayerBoardOfATwoBoardSystem) {
  // Board, nets, a Distributed analysis, the IC power pins checked and grouped, Finish and the host's Run.
  const fs::path script = SourceDir() / "host/tests/scripts/decoupling-pins.pdnscript";
  const fs::path project = dir / "demo8.brd";
  std::ofstream(project) << "board\n";
  const Outcome outcome = RunPdnHost("--board " + SampleBoard("demo8").string() + " --board " +
                                     SampleBoard("sensor4").string() +
                                     " --table-value library --open modeless --save --fixed-clock " +
                                     "--project " + project.string() + " --script " + script.string() + " --shots " +
                                     dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_NE(outcome.output.find("SetSystem(PDN demo board 8L, "), std::string::npos) << outcome.output;
  // The capacitor page's table value is the board's model library.
  EXPECT_NE(outcome.output.find("SetTableValue(board library, 6 models)"), std::string::npos) << outcome.output;
  EXPECT_EQ(ReadFile(dir / "demo8.dao"), ReadFile(SourceDir() / "host/tests/golden/demo8-pins.dao"));
  // The getters answer the record the host ran: the first board, four ports.
  EXPECT_NE(outcome.output.find("callback: Run\n"), std::string::npos);
  EXPECT_NE(outcome.output.find("  GetBoardIndex = 0\n"), std::string::npos);
  EXPECT_NE(outcome.output.find("  GetProbeCount = 4\n"), std::string::npos);
  EXPECT_NE(outcome.output.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos);
  // Through the editor the capacitor page gave CORE_BULK a model of the library handed in as the table value.
  EXPECT_NE(outcome.output.find("change: Decoupling SetGroupModel \"CORE_BULK\" X5R_100N_0201\n"), std::string::npos)
      << outcome.output;
  // The capacitor page switched the groups' models off.
  EXPECT_NE(outcome.output.find("change: Decoupling SetGroupModel \"CORE_BULK\" X5R_22U_0805 disabled\n"),
            std::string::npos)
      << outcome.output;
  for (const char* shot : {"01-start.png", "02-board.png", "03-nets.png", "03-capacitors.png", "04-target.png", "05-pins.png",
                           "06-pins-checked.png", "07-pins-grouped.png", "08-easy-custom.png", "09-frequency.png",
                           "10-finish.png", "11-after-run.png"})
    EXPECT_GT(fs::file_size(dir / shot), 1000u) << shot;
  // Board mode hands in one board.
  const Outcome refused = RunPdnHost("--board-mode --board " + SampleBoard("demo8").string() + " --board " +
                                     SampleBoard("sensor4").string());
  EXPECT_EQ(refused.code, 2);
  EXPECT_NE(refused.errors.find("--board-mode: hands in one board"), std::string::npos) << refused.errors;
}

TEST_F(PdnHostProgram, AFailedScriptStepNamesItsLineAndClosesTheWizard) {
  struct Case {
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"click \"Check Data\"\n", "script.txt:1: the script does not answer the messagebox \"Zuvar Erazoduvi Zerovi\""},
      {"expect state 1065 checked\n", "script.txt:1: control 1065 is not checked"},
      {"\n\nexpect text 1065 \"Save\"\n", "script.txt:3: control 1065 reads \"Save settings to file\", not \"Save\""},
      {"click 4242\n", "script.txt:1: no visible control 4242 in the window \"Brimstead\""},
      {"expect log \"callback: Run\"\n", "script.txt:1: no host-log line so far contains \"callback: Run\""},
      {"answer save cancel\n", "script.txt:1: the script's answer was never asked for"},
      {"pick 1065 \"x\"\n", "script.txt:1: control 1065 is no list box or combo box"},
      {"viewer pick U1.D4 NOPE\n", "script.txt:1: viewer pick: no board has a probe \"NOPE\""},
      {"type 1065 \"yes\"\n", "script.txt:1: control 1065 takes no text (a button or a label: click it)"},
      // A type that changes nothing, or not to what was typed, fails as a click on a disabled button does: the
      // report name of a quick analysis is read-only; a tab takes the rest of the text to the next control.
      {"click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Quick Analysis\"\nclick \"Next >\"\n"
       "type 1213 \" r.xls \"\n",
       "script.txt:6: control 1213 is read-only"},
      {"click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Lumped Analysis\"\nclick \"Next >\"\n"
       "type 1017 \"0.5\\tx\"\n",
       "script.txt:6: control 1017 reads \"0.5\" after \"0.5\\tx\" was typed into it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const fs::path script = dir / "script.txt";
    std::ofstream(script) << c.script;
    for (const char* mode : {"modal", "modeless"}) {
      const Outcome outcome = RunPdnHost(std::string("--no-getters --open ") + mode + " --script " + script.string());
      EXPECT_EQ(outcome.code, 4) << outcome.output;
      EXPECT_NE(outcome.errors.find(c.error), std::string::npos) << outcome.output;
      EXPECT_NE(outcome.output.find("callback: OnClosed"), std::string::npos) << outcome.output;
    }
  }
  // Picks that each board has a part of.
  const fs::path script = dir / "script.txt";
  std::ofstream(script) << "viewer pick U1.D4 U1.24\n";
  const Outcome split = RunPdnHost("--no-getters --open modeless --board " + SampleBoard("demo8").string() +
                                   " --board " + SampleBoard("sensor4").string() + " --script " + script.string());
  EXPECT_EQ(split.code, 4) << split.output;
  EXPECT_NE(split.errors.find("script.txt:1: viewer pick: no one board has all of these probes"), std::string::npos)
      << split.output;
}

// After a failed step every wizard, modal and modeless, is closed without asking the host and without its Close
// button's save, though "Save settings to file" was ticked. Before, the modeless wizards and the modal via-model
// and extractor wizards were closed with that button: MayClose was asked and the settings file written.
TEST_F(PdnHostProgram, AFailedStepClosesTheWizardWithoutAskingTheHostOrSaving) {
  const fs::path script = dir / "failing.pdnscript";
  const fs::path settings = dir / "demo8.dao";
  for (const std::string wizard : {"decoupling", "bypass", "via-model", "extractor"}) {
    // The other wizards open on the step after the start page, where the box is.
    std::ofstream(script) << (wizard == "decoupling" ? "" : "click \"< Back\"\n")
                          << "click 1065\nexpect text 1065 \"not a caption\"\n";
    for (const char* mode : {"modal", "modeless"}) {
      SCOPED_TRACE(wizard + " " + mode);
      fs::remove(settings);
      const Outcome outcome = RunPdnHost("--no-getters --board-mode --wizard " + wizard + " --open " + mode +
                                         " --project " + project + " --script " + script.string());
      EXPECT_EQ(outcome.code, 4) << outcome.output;
      EXPECT_NE(outcome.errors.find("failing.pdnscript:"), std::string::npos) << outcome.output;
      EXPECT_EQ(outcome.output.find("callback: MayClose"), std::string::npos) << outcome.output;
      EXPECT_NE(outcome.output.find("callback: OnClosed"), std::string::npos) << outcome.output;
      EXPECT_EQ(outcome.errors.find("kept host objects"), std::string::npos) << outcome.output;
      EXPECT_FALSE(fs::exists(settings));
    }
  }
}

// A click that another window takes, and a type that cannot be read back, fail at their line instead of passing
// having done nothing. The model editor's unit list (a drop-down list) opened by a click holds the mouse: the next
// click only closes it, so the Via Mounting box stays clear and OK leaves the editor open; a type into that list
// went into the list and left it open. On the bypass wizard's via list, a cell that shows a via's name takes no
// typing: the grid's own (empty) text passed for the cell's.
TEST_F(PdnHostProgram, AClickThatAnotherWindowTakesOrATypeThatCannotBeReadBackFailsAtItsLine) {
  struct Case {
    const char* options;
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"--dialog editor --capacitor C57",
       "click 1189 in pane\nclick 1141 in dialog\nexpect state 1141 checked in dialog\n",
       "script.txt:2: control 1141 in dialog did not get the click: the open list of combo box 1189 took it"},
      {"--dialog editor --capacitor C57", "click 1189 in pane\nclick \"OK\" in dialog\n",
       "script.txt:2: control \"OK\" in dialog did not get the click: the open list of combo box 1189 took it"},
      {"--dialog editor --capacitor C57", "type 1189 \"uF\" in pane\nclick 1141 in dialog\n",
       "script.txt:1: control 1189 in pane is a drop-down list, which takes no typed text: pick its entry (pick 1189 "
       "in pane ENTRY)"},
      {"--board-mode --wizard bypass --open modeless", "type 1003 at 108 25 \"\"\n",
       "script.txt:1: cell 1, 2 of control 1003 is a label, which takes no typed text"},
      // A check box cell takes no typing: its click would toggle it (its value reads "" whatever its state).
      {"--board-mode --wizard bypass --open modeless", "type 1003 at 30 25 \"x\"\n",
       "script.txt:1: cell 1, 1 of control 1003 is a check box, which takes no typed text: click it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const fs::path script = dir / "script.txt";
    std::ofstream(script) << c.script;
    const Outcome outcome = RunPdnHost(std::string("--no-getters ") + c.options + " --script " + script.string());
    EXPECT_EQ(outcome.code, 4) << outcome.output;
    EXPECT_NE(outcome.errors.find(c.error), std::string::npos) << outcome.output;
    EXPECT_EQ(outcome.output.find("RunModal() -> 1"), std::string::npos) << outcome.output;
  }
}

// A type into a grid cell that takes no typing is refused before its click, naming the cell and why, and changes
// nothing: the bypass via list's disabled "Layer Pair" cell (the text it shows passed for typed), a via's and a
// supply pin's check box (the click toggled it, and its value reads "" whatever its state), a via's connected layers
// on two wizards. The record keeps every probe as it was: the getters after the run name the probes enabled (a failed
// run saves no settings). A point below the last row lies in no cell.
TEST_F(PdnHostProgram, ATypeIntoACellThatTakesNoTypingIsRefusedBeforeItsClick) {
  std::ofstream(dir / "sensor4.brd") << "board\n";
  struct Case {
    const char* board;
    const char* wizard;
    const char* script;   // after "Next >" from the start page that --save goes back to
    const char* error;
    const char* kept;     // the getters' probes
  };
  const Case cases[] = {
      {"demo8", "bypass", "cell 1003 1 1\ntype 1003 at 420 25 \"\\\"TOP\\\" - \\\"L6_SIG\\\"\"\n",
       "script.txt:3: cell 1, 4 of control 1003 is disabled, which takes no typed text",
       "  GetProbeCount = 1\n  probe 0 = V_TX0_N\n"},
      {"demo8", "bypass", "type 1003 at 44 25 \"\"\n",
       "script.txt:2: cell 1, 1 of control 1003 is a check box, which takes no typed text: click it",
       "  GetProbeCount = 0\n"},
      {"sensor4", "extractor", "type 1003 at 44 25 \"\"\n",
       "script.txt:2: cell 1, 1 of control 1003 is a check box, which takes no typed text: click it",
       "  GetProbeCount = 4\n  probe 0 = U1.1\n"},
      {"demo8", "bypass", "type 1003 at 30 190 \"x\"\n",
       "script.txt:2: no cell of control 1003 lies at the point 30, 190", "  GetProbeCount = 0\n"},
      // A static text with its expand button: the Delete that replaces the text blanked the layers it showed.
      {"demo8", "bypass", "type 1003 at 260 25 \"\"\n",
       "script.txt:2: cell 1, 3 of control 1003 is a CGridBitmapEdit cell, which takes no typed text",
       "  GetProbeCount = 0\n"},
      {"demo8", "via-model", "type 1165 at 200 25 \"TOP\"\n",
       "script.txt:2: cell 1, 2 of control 1165 is a CGridBitmapEdit cell, which takes no typed text",
       "  GetProbeCount = 1\n  probe 0 = V_TX0_N\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const fs::path script = dir / "script.txt";
    std::ofstream(script) << "click \"Next >\"\n" << c.script;
    const std::string board = c.board;
    const Outcome outcome = RunPdnHost("--board-mode --board " + SampleBoard(board).string() + " --wizard " +
                                       c.wizard + " --open modeless --save --project " +
                                       (dir / (board + ".brd")).string() + " --script " + script.string());
    EXPECT_EQ(outcome.code, 4) << outcome.output;
    EXPECT_NE(outcome.errors.find(c.error), std::string::npos) << outcome.errors;
    EXPECT_NE(Getters(outcome.output).find(c.kept), std::string::npos) << outcome.output;
  }
}

// Delete, Ctrl+Delete, a cut (Ctrl+X, Shift+Delete) and Undo on a current cell that takes no typing leave what it
// shows: a via's or a supply pin's connected layers (Delete blanked them, Ctrl+Delete made the cell a drop-down list,
// a cut emptied them for good) and a via's check box (shown unchecked while the via stayed checked). The wizard keeps
// every probe as it was, and the program ends with the cut's copy on the clipboard cleanly.
TEST_F(PdnHostProgram, DeleteLeavesACellThatTakesNoTypingAsItShows) {
  struct Case {
    const char* wizard;
    const char* cell;  // a control and a point in it
    const char* kept;  // a line of the getters
  };
  const Case cases[] = {
      {"bypass", "1003 at 260 25", "GetProbeCount = 0\n"},
      {"bypass", "1003 at 44 25", "GetProbeCount = 1\n  probe 0 = V_TX0_N\n"},
      {"via-model", "1165 at 200 25", "GetProbeCount = 1\n  probe 0 = V_TX0_N\n"},
      {"extractor", "1003 at 250 25", "probe 0 = U1.D4\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.wizard) + " " + c.cell);
    const fs::path script = dir / "script.txt";
    // Every key that clears, and Undo after them; a cut leaves its copy on the clipboard as the program ends.
    std::ofstream(script) << "click " << c.cell << "\nscreenshot clicked.png\nkey Delete\nkey ctrl+Delete\n"
                          << "key ctrl+x\nkey shift+Delete\nkey ctrl+z\nscreenshot deleted.png\n";
    const Outcome outcome = RunPdnHost("--board-mode --board " + SampleBoard("demo8").string() + " --wizard " +
                                       c.wizard + " --open modal --script " + script.string() + " --shots " +
                                       dir.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output;
    EXPECT_NE(outcome.output.find(c.kept), std::string::npos) << outcome.output;
    const std::string clicked = ReadFile(dir / "clicked.png");
    EXPECT_FALSE(clicked.empty());
    EXPECT_TRUE(clicked == ReadFile(dir / "deleted.png"));
  }
}

// A net name wider than the net page's lists is not cut for good: the list scrolls sideways to its end (the 8-layer
// board with VDD_CORE renamed to 55 characters; the screenshot against its reference shows the name's tail).
TEST_F(PdnHostProgram, ALongNetNameScrollsSidewaysInTheNetList) {
  const std::string longName = "VDD_CORE_0V9_PROCESSOR_CLUSTER_A_AFTER_FERRITE_BEAD_FB12";
  std::string json = ReadFile(SampleBoard("demo8"));
  for (size_t at = 0; (at = json.find("\"VDD_CORE\"", at)) != std::string::npos; at += longName.size() + 2)
    json.replace(at, 10, "\"" + longName + "\"");
  const fs::path board = dir / "long.json";
  std::ofstream(board, std::ios::binary) << json;
  const fs::path script = dir / "long.pdnscript";
  std::ofstream(script) << "click \"Next >\"\npick 1005 \"" << longName << "\"\nclick \"==>\"\n"
                           "click 1007 at 188 191\nclick 1007 at 188 191\nclick 1007 at 150 191\n"
                           "screenshot nets-long-name-scrolled.png\n";
  const Outcome outcome = RunPdnHost("--board " + board.string() + " --open modeless --fixed-clock --script " +
                                     script.string() + " --shots " + dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output;
  EXPECT_NE(outcome.output.find("  QueryFirstNet = " + longName + "\n"), std::string::npos) << outcome.output;
  ExpectShotsMatchReferences(dir, {"nets-long-name-scrolled"});
}

// Alt+F4 (as the title bar's close box) closes the wizard the way its Close button does, modal and modeless: the
// target typed on the page is stored, the settings file the user asked for is written, and the host is asked.
TEST_F(PdnHostProgram, AltF4SavesTheSettingsAsTheCloseButtonDoes) {
  const fs::path script = dir / "altf4.pdnscript";
  std::ofstream(script) << "click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\n"
                           "type 1017 \"4\"\nkey alt+F4\n";
  for (const char* mode : {"modal", "modeless"}) {
    SCOPED_TRACE(mode);
    fs::remove(dir / "demo8.dao");
    const Outcome outcome = RunPdnHost(std::string("--open ") + mode + " --save --fixed-clock --no-getters --project " +
                                       project + " --script " + script.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << outcome.output;
    EXPECT_EQ(outcome.output.find("CloseWizard"), std::string::npos) << outcome.output;
    EXPECT_NE(ReadFile(dir / "demo8.dao").find("TargetImpedancee=0.004000\r\n"), std::string::npos);
  }
}

// A script that leaves its page invalid: the close pdnhost asks for at the end brings up the page's refusal, which no
// step answers; the run fails (exit code 4) rather than ending as if all went well.
TEST_F(PdnHostProgram, ARefusalThatTheClosingBringsUpFailsTheRun) {
  const fs::path script = dir / "invalid.pdnscript";
  std::ofstream(script) << "click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\n"
                           "type 1017 \"0\"\n";
  const Outcome outcome = RunPdnHost("--open modeless --no-getters --script " + script.string());
  EXPECT_EQ(outcome.code, 4) << outcome.output;
  EXPECT_NE(outcome.errors.find("does not answer the messagebox \"Brimstead\": Please enter a number between 0.001 "
                                "and 10000."),
            std::string::npos)
      << outcome.output;
}

// "Load saved configuration" on the start page loads a saved ".dao" through the file dialog (the target comes back
// as 0.5 mOhm); an invalid page then refuses the close with its box and keeps the wizard, which closes once the value
// is valid; Enter and Escape typed in the page do nothing.
TEST_F(PdnHostProgram, LoadSavedConfigurationAndTheRefusalsOfAnInvalidPage) {
  const fs::path project = dir / "demo8.brd";
  std::ofstream(project) << "board\n";
  const fs::path saved = dir / "saved.dao";
  fs::copy_file(SourceDir() / "host/tests/golden/demo8.dao", saved);
  const fs::path script = dir / "load.pdnscript";
  std::ofstream(script) << "click \"Load saved configuration\"\n"
                           "answer open " << saved.string() << "\n"
                           "click \"Load...\"\n"
                           "expect state \"Next >\" enabled\n"
                           "click \"Next >\"\n"
                           "click \"Next >\"\n"
                           "click \"Next >\"\n"
                           "expect state \"Lumped Analysis\" checked\n"
                           "click \"Next >\"\n"
                           "expect text 1017 \"0.5\"\n"
                           "type 1017 \"0.0001\"\n"
                           "key Enter\n"
                           "key Escape\n"
                           "answer message ok \"Please enter a number between 0.001 and 10000.\"\n"
                           "click \"Close\"\n"
                           "expect state 1017 focused\n"
                           "type 1017 \"0.7\"\n"
                           "click \"Close\"\n";
  const Outcome outcome = RunPdnHost("--open modeless --fixed-clock --project " + project.string() + " --script " +
                                     script.string() + " --shots " + dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_NE(outcome.output.find("file-open"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("-> ok"), std::string::npos) << outcome.output;
  // One close asked after the refusal, and the wizard closed.
  EXPECT_NE(outcome.output.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("GetTargetImpedance = 0.0007"), std::string::npos) << outcome.output;
}

// The title bar's close box and Alt+F4 close the wizard as its "Save && Close" button does: the settings the user
// asked to save are written first, and an invalid page keeps the wizard open with its box.
TEST_F(PdnHostProgram, TheCloseBoxSavesTheSettingsAsTheCloseButtonDoes) {
  const fs::path script = dir / "close.pdnscript";
  std::ofstream(script) << "click \"Save settings to file\"\n"
                           "click \"Next >\"\n"
                           "click \"Next >\"\n"
                           "click \"Next >\"\n"
                           "click \"Next >\"\n"
                           "type 1017 \"0.0001\"\n"
                           "answer message ok \"Please enter a number between 0.001 and 10000.\"\n"
                           "key alt+F4\n"
                           "expect state 1017 focused\n"
                           "type 1017 \"0.7\"\n"
                           "key alt+F4\n";
  for (const std::string& run : RunScriptThatSavesAndCloses(script))
    EXPECT_NE(run.find("TargetImpedancee=0.000700"), std::string::npos) << run;
}

// An output name the host hands in with a line break cannot be saved: the box names it and its step, the wizard
// stays, and the settings file keeps every byte it had (the save's other keys are not written either).
TEST_F(PdnHostProgram, ASaveRefusingTheOutputNameLeavesTheSettingsFileAsItWas) {
  const std::string old = "[OLD]\r\nkept=1\r\n";
  std::ofstream(dir / "demo8.dao", std::ios::binary) << old;
  const fs::path script = dir / "refused.pdnscript";
  std::ofstream(script) << "call SetOutputFileName \"out\\nname.s2p\"\nclick \"< Back\"\nclick 1065\n"
                           "answer message ok \"holds a line break, which no line of the file can hold: change it "
                           "on the step \\\"Run Analysis\\\"\"\n"
                           "click \"Save && Close\"\nscreenshot refused.png\nclick 1065\n";
  const Outcome outcome = RunPdnHost("--no-getters --wizard bypass --open modeless --project " + project +
                                     " --script " + script.string() + " --shots " + dir.string());
  EXPECT_EQ(outcome.code, 0) << outcome.output;
  EXPECT_EQ(ReadFile(dir / "demo8.dao"), old);
}

// A box that comes up while pdnhost closes a modeless wizard after the last step, and that the script does not
// answer, fails the run like any other unanswered box.
TEST_F(PdnHostProgram, ABoxUnansweredWhileTheWizardClosesFailsTheRun) {
  const fs::path script = dir / "tick.pdnscript";
  std::ofstream(script) << "click \"Save settings to file\"\n";
  // Without a project there is no settings file to save to: the close's save fails with the module's error box.
  const Outcome outcome = RunPdnHost("--no-getters --open modeless --script " + script.string());
  EXPECT_EQ(outcome.code, 4) << outcome.output;
  EXPECT_NE(outcome.errors.find(script.string() + ":1: the script does not answer the messagebox \"Error\""),
            std::string::npos)
      << outcome.output;
}

// --save alone on a project whose settings file cannot be written (here its name is taken by a folder): the box
// that says so gets its first button, and the run fails instead of ending as if saved; pdnhost then ends the wizard
// that stayed open before it counts the host objects, so nothing is reported as kept.
TEST_F(PdnHostProgram, ASaveAloneThatFailsFailsTheRunAndTheWizardIsEndedBeforeTheCount) {
  fs::create_directories(dir / "demo8.dao");
  const Outcome outcome = RunPdnHost("--no-getters --project " + project + " --save");
  EXPECT_EQ(outcome.code, 4) << outcome.output;
  EXPECT_NE(outcome.errors.find("pdnhost: no script answers the messagebox \"Error\": The settings can't be saved to "
                                "the file \"" + (dir / "demo8.dao").string() + "\".\\nThe path is a folder, not a file."),
            std::string::npos)
      << outcome.output;
  EXPECT_NE(outcome.output.find("Close() -> "), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("callback: OnClosed"), std::string::npos) << outcome.output;
  EXPECT_EQ(outcome.errors.find("kept host objects"), std::string::npos) << outcome.errors;
  EXPECT_TRUE(fs::is_directory(dir / "demo8.dao"));

  // In a folder every user may write (as /tmp), a link another user put under the settings file's name, to a file
  // of this user, is not written through: the box says why, and the file stays as it was.
  fs::remove(dir / "demo8.dao");
  ASSERT_EQ(::chmod(dir.c_str(), 01777), 0);
  const std::string mine = "[OLD]\r\nkept=1\r\n";
  std::ofstream(dir / "mine.dao", std::ios::binary) << mine;
  fs::create_symlink(dir / "mine.dao", dir / "demo8.dao");
  ASSERT_EQ(::lchown((dir / "demo8.dao").c_str(), 4321, 4321), 0);  // the tests run as root
  const Outcome planted = RunPdnHost("--no-getters --project " + project + " --save");
  EXPECT_EQ(planted.code, 4) << planted.output;
  EXPECT_NE(planted.errors.find("The settings can't be saved to the file \"" + (dir / "demo8.dao").string() +
                                "\".\\nPermission denied."),
            std::string::npos)
      << planted.output;
  EXPECT_EQ(ReadFile(dir / "mine.dao"), mine);
}

// --save on a project whose settings file holds a large section of the user's own with LF line ends, within what a
// read takes: the save's keys and its CR LF line ends would make the file larger than that, so the box says "File too
// large.", the run fails, and the file keeps every byte (it was written at 16,930,268 bytes that no later load or save
// could read).
TEST_F(PdnHostProgram, ASaveThatWouldMakeTheSettingsFileTooLargeIsRefusedAndTheFileKept) {
  std::string large = "[USER]\n";
  while (large.size() + 2000 < plat::IniStore::kMaxFileBytes)
    large += "Key" + std::to_string(large.size()) + "=" + std::string(1000, 'v') + "\n";
  std::ofstream(dir / "demo8.dao", std::ios::binary) << large;
  const Outcome outcome = RunPdnHost("--no-getters --project " + project + " --save");
  EXPECT_EQ(outcome.code, 4) << outcome.output;
  EXPECT_NE(outcome.errors.find("The settings can't be saved to the file \"" + (dir / "demo8.dao").string() +
                                "\".\\nFile too large."),
            std::string::npos)
      << outcome.errors;
  EXPECT_TRUE(ReadFile(dir / "demo8.dao") == large);
}

// In a folder every user may write (as /tmp), a link another user put there to a folder of this user is no way for
// the screenshots: as the --shots folder the run is refused before it starts, and as a folder in the --shots folder
// its screenshot is refused; this user's picture behind the link stays as it was. pdnhost once handed the save the
// folder with its links resolved, so that the save never saw the planted one.
TEST_F(PdnHostProgram, ScreenshotsAreNotSavedThroughAFolderLinkAnotherUserPlanted) {
  const fs::path shared = dir / "shared";
  fs::create_directories(shared / "mine");
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  std::ofstream(shared / "mine/shot.png") << "mine";
  fs::create_directory_symlink(shared / "mine", shared / "dir");
  ASSERT_EQ(::lchown((shared / "dir").c_str(), 4321, 4321), 0);  // the tests run as root
  const fs::path script = dir / "shot.pdnscript";
  std::ofstream(script) << "screenshot shot.png\n";
  const Outcome folder = RunPdnHost("--no-getters --open modeless --script " + script.string() + " --shots " +
                                    (shared / "dir").string());
  EXPECT_EQ(folder.code, 2) << folder.output;
  EXPECT_EQ(folder.errors, "pdnhost: --shots: the folder \"" + (shared / "dir").string() +
                               "\", where the script's screenshots go, cannot be written (Permission denied)\n");
  std::ofstream(script) << "screenshot dir/shot.png\n";
  const Outcome inside = RunPdnHost("--no-getters --open modeless --script " + script.string() + " --shots " +
                                    shared.string());
  EXPECT_EQ(inside.code, 4) << inside.output;
  EXPECT_NE(inside.errors.find("shot.pdnscript:1: cannot write the screenshot " + (shared / "dir/shot.png").string() +
                               ": Permission denied."),
            std::string::npos)
      << inside.errors;
  EXPECT_EQ(ReadFile(shared / "mine/shot.png"), "mine");
  // A folder the screenshot's name asks for is not made behind the link either, in a folder with or without the
  // sticky bit.
  std::ofstream(script) << "screenshot dir/new/shot.png\n";
  for (const fs::perms mode : {fs::perms(01777), fs::perms(0777)}) {
    fs::permissions(shared, mode);
    const Outcome deeper = RunPdnHost("--no-getters --open modeless --script " + script.string() + " --shots " +
                                      shared.string());
    EXPECT_EQ(deeper.code, 4) << deeper.output;
    EXPECT_NE(deeper.errors.find("shot.pdnscript:1: cannot write the screenshot " +
                                 (shared / "dir/new/shot.png").string() + ": Permission denied."),
              std::string::npos)
        << deeper.errors;
    EXPECT_FALSE(fs::exists(shared / "mine/new"));
  }
}

// Headless, the --save tick is no script: a modal wizard would still wait for the rest, so pdnhost says so and the
// run fails as it does without the tick.
TEST_F(PdnHostProgram, AModalWizardWithOnlyTheSaveTickStillNeedsAScriptHeadless) {
  const Outcome outcome = RunPdnHost("--no-getters --open modal --save --project " + project);
  EXPECT_EQ(outcome.code, 4) << outcome.output;
  EXPECT_NE(outcome.output.find("step 0: click 1065"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.errors.find("pdnhost: the modal wizard waits for input, but headless nothing can give it"),
            std::string::npos)
      << outcome.output;
}

// Enter on a focused button of the wizard's button bar presses that button, as Space and a click do: "Next >" (in
// focus when the wizard opens) moves on, and "Save && Close" saves before it closes. The bar is a child dialog of
// the wizard; Enter's command went to the wizard, which did nothing with "Next >" and closed unsaved on IDCANCEL.
TEST_F(PdnHostProgram, EnterPressesTheFocusedButtonOfTheButtonBar) {
  const fs::path script = dir / "enter.pdnscript";
  std::ofstream(script) << "expect state \"Next >\" focused\n"
                           "key Enter\n"
                           "expect state 1005 visible\n"
                           "click \"< Back\"\n"
                           "click \"Save settings to file\"\n"
                           "key Tab\nkey Tab\nkey Tab\nkey Tab\nkey Tab\n"
                           "expect state \"Save && Close\" focused\n"
                           "key Enter\n";
  for (const std::string& run : RunScriptThatSavesAndCloses(script))
    EXPECT_EQ(run.find("CloseWizard()"), std::string::npos) << "Enter did not close it: " << run;
}

// A modal via-model or extractor wizard that the script leaves open: their interface's Close ends only a modeless
// run, so pdnhost ends the modal one with the wizard's Close button (CloseWizard); the run stalled before.
TEST_F(PdnHostProgram, AModalViaWizardLeftOpenByItsScriptIsEndedByItsCloseButton) {
  const fs::path script = dir / "next.pdnscript";
  std::ofstream(script) << "click \"Next >\"\n";
  for (const char* wizard : {"via-model", "extractor"}) {
    SCOPED_TRACE(wizard);
    const Outcome outcome = RunPdnHost(std::string("--no-getters --wizard ") + wizard + " --open modal --project " +
                                       project + " --script " + script.string());
    EXPECT_EQ(outcome.code, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("CloseWizard() -> true"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << outcome.output;
    EXPECT_EQ(outcome.errors, "") << outcome.output;
  }
}

// The host's CloseWizard while dialogs of the wizard are up over it (the model editor, with its mounting-inductance
// calculator over it or alone, the groups dialog of "Edit Groups...", the decoupling target's calculator) ends them,
// cancelled, and then the wizard, modal as modeless: the host is asked once, told OnClosed, and gets every object
// back. A modal wizard stayed under its dialogs before (pdnhost's own close asked MayClose again and again until
// the run stalled), and with the calculator up the run crashed as the calculator's window went.
TEST_F(PdnHostProgram, TheHostsCloseEndsTheDialogsOverTheWizardAndThenTheWizard) {
  struct Case {
    const char* wizard;
    const char* steps;
  };
  const Case cases[] = {
      {"via-model", "click \"Next >\"\nclick \"Next >\"\ncell 1121 8 1\nclick \"Assign Model...\"\n"
                    "click \"Calculate...\"\n"},
      {"via-model", "click \"Next >\"\nclick \"Next >\"\ncell 1121 8 1\nclick \"Assign Model...\"\n"},
      {"extractor", "click \"Next >\"\nclick \"Next >\"\nclick \"Edit Groups...\"\n"},
      {"decoupling", "click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Lumped Analysis\"\n"
                     "click \"Next >\"\nclick \"Calculator...\"\n"},
  };
  const fs::path script = dir / "close.pdnscript";
  for (const Case& c : cases) {
    std::ofstream(script) << c.steps << "call CloseWizard\n";
    for (const char* mode : {"modal", "modeless"}) {
      SCOPED_TRACE(std::string(c.wizard) + " " + mode + ": " + c.steps);
      const Outcome outcome = RunPdnHost(std::string("--no-getters --board-mode --wizard ") + c.wizard + " --open " +
                                         mode + " --project " + project + " --script " + script.string());
      EXPECT_EQ(outcome.code, 0) << outcome.output;
      const size_t asked = outcome.output.find("callback: MayClose\n");
      EXPECT_NE(asked, std::string::npos) << outcome.output;
      EXPECT_EQ(outcome.output.find("callback: MayClose\n", asked + 1), std::string::npos) << outcome.output;
      EXPECT_NE(outcome.output.find("callback: OnClosed\n"), std::string::npos) << outcome.output;
      EXPECT_EQ(outcome.errors, "") << outcome.output;
    }
  }
}

// A close the wizard refuses while a dialog of its own is up over it (the model editor over the via-model or extractor
// wizard, the target calculator over the decoupling wizard), modal as modeless: the host's MayClose answering no, or
// the close's save of a ticked "Save settings to file" failing with its box. The dialog keeps the keys: Escape
// cancels it and the wizard takes the next click, which opens the dialog again. Before, the close's button took the
// focus into the wizard under the dialog and made it the active window: Escape ended the wizard (asking MayClose
// again, or failing the save again with a box no one answered).
TEST_F(PdnHostProgram, ARefusedCloseLeavesTheKeysWithTheDialogOverTheWizard) {
  struct Case {
    const char* wizard;
    const char* toDialog;  // the steps to the page whose button opens the dialog
    const char* button;
    const char* close;     // the close the wizard refuses
    const char* after;     // the steps before the close that ends the run
    size_t asked;          // how often the host's MayClose is asked in all
  };
  const char* capacitors = "click \"Next >\"\nclick \"Next >\"\ncell 1121 8 1\n";
  const char* refused = "host mayclose no\ncall CloseWizard\nhost mayclose yes\n";
  const char* ticked = "click \"< Back\"\nclick 1065\nclick \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\n"
                       "cell 1121 8 1\n";
  const char* unsaved = "answer message ok \"The settings can't be saved\"\ncall CloseWizard\n";
  const char* untick = "click \"< Back\"\nclick \"< Back\"\nclick \"< Back\"\nclick 1065\n";
  const Case cases[] = {
      {"via-model", capacitors, "Assign Model...", refused, "", 2},
      {"extractor", capacitors, "Assign Model...", refused, "", 2},
      {"decoupling", "click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Lumped Analysis\"\nclick \"Next >\"\n",
       "Calculator...", refused, "", 2},
      {"via-model", ticked, "Assign Model...", unsaved, untick, 1},
      {"extractor", ticked, "Assign Model...", unsaved, untick, 1},
  };
  const fs::path script = dir / "refused.pdnscript";
  for (const Case& c : cases) {
    const std::string open = std::string("click \"") + c.button + "\"\n";
    std::ofstream(script) << c.toDialog << open << c.close << "key Escape\n"
                          << open << "click \"Cancel\"\n" << c.after << "call CloseWizard\n";
    for (const char* mode : {"modal", "modeless"}) {
      SCOPED_TRACE(std::string(c.wizard) + " " + mode + ": " + c.close);
      const Outcome outcome = RunPdnHost(std::string("--no-getters --board-mode --wizard ") + c.wizard + " --open " +
                                         mode + " --script " + script.string());
      EXPECT_EQ(outcome.code, 0) << outcome.output;
      size_t asked = 0;
      for (size_t at = outcome.output.find("callback: MayClose\n"); at != std::string::npos;
           at = outcome.output.find("callback: MayClose\n", at + 1))
        ++asked;
      EXPECT_EQ(asked, c.asked) << outcome.output;
      EXPECT_NE(outcome.output.find("callback: OnClosed\n"), std::string::npos) << outcome.output;
      EXPECT_EQ(outcome.errors, "") << outcome.output;
    }
  }
}

// Mistakes a user makes on the way, each refused or kept without loss: a file that is no settings file picked with
// "Load..." is refused with its box, and the host hears of no load (its own load of the file answers false); a
// target typed and then a calculator cancelled keeps the typed value; a maximum frequency beyond what the record's
// hertz can hold is refused (it was saved as "inf" and came back as a text that is no number).
TEST_F(PdnHostProgram, TheDecouplingWizardRefusesOrKeepsWhatAUserGetsWrong) {
  const fs::path project = dir / "demo8.brd";
  std::ofstream(project) << "board\n";
  const fs::path garbage = dir / "results.dao";
  std::ofstream(garbage, std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR garbage", 24);
  const fs::path script = dir / "mistakes.pdnscript";
  std::ofstream(script) << "click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\n"
                           "type 1017 \"3\"\n"
                           "click \"< Back\"\nclick \"< Back\"\nclick \"< Back\"\nclick \"< Back\"\n"
                           "click \"Load saved configuration\"\n"
                           "answer open " << garbage.string() << "\n"
                           "answer message ok \"It is no settings file\"\n"
                           "click \"Load...\"\n"
                           "click \"New\"\n"
                           "click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\n"
                           "type 1017 \"7\"\n"
                           "click \"Calculator...\"\n"
                           "key Escape\n"
                           "expect text 1017 \"7\"\n"
                           "screenshot mistakes-01-target-kept.png\n"
                           "click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\n"
                           "type 1056 \"1e305\"\n"
                           "answer message ok \"Enter maximum frequency 1e+300 MHz or less\"\n"
                           "click \"Next >\"\n"
                           "expect state 1056 focused\n"
                           "screenshot mistakes-02-frequency-refused.png\n"
                           "type 1056 \"3000\"\n"
                           "click \"Next >\"\n";
  const Outcome outcome = RunPdnHost("--open modeless --fixed-clock --project " + project.string() + " --script " +
                                     script.string() + " --shots " + dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output;
  EXPECT_EQ(outcome.errors, "");
  EXPECT_NE(outcome.output.find("messagebox \"Error\": The settings can't be loaded from the file \"" +
                                garbage.string() + "\".\\nIt is no settings file; the settings are as they were."),
            std::string::npos)
      << outcome.output;
  EXPECT_EQ(outcome.output.find("callback: Notify 2 1"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("  GetTargetImpedance = 0.007\n"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("  GetMaxFreq = 3e+09\n"), std::string::npos) << outcome.output;
  ExpectShotsMatchReferences(dir, {"mistakes-01-target-kept", "mistakes-02-frequency-refused"});

  // The host's load ("Use last configuration") of that file answers false and clicks nothing.
  const Outcome loaded = RunPdnHost("--open modeless --no-getters --fixed-clock --project " + project.string() +
                                    " --load " + garbage.string());
  ASSERT_EQ(loaded.code, 0) << loaded.output;
  EXPECT_NE(loaded.output.find("LoadSettings(" + garbage.string() + ") -> false\n"), std::string::npos)
      << loaded.output;
  EXPECT_EQ(loaded.output.find("messagebox"), std::string::npos) << loaded.output;
  EXPECT_EQ(loaded.output.find("callback: Notify 2 1"), std::string::npos) << loaded.output;
}

// The IC power pin pages draw their check boxes in both flavours: checked, unchecked, the mixed state of a group row
// and the disabled box of a pin that cannot be a port (the viewer flavour in a two-board system, the list flavour in
// board mode), as references.
TEST_F(PdnHostProgram, ThePinPagesDrawTheirCheckBoxesInBothFlavours) {
  const fs::path project = dir / "demo8.brd";
  std::ofstream(project) << "board\n";
  const fs::path viewer = dir / "viewer";
  fs::create_directories(viewer);
  Outcome outcome = RunPdnHost("--board " + SampleBoard("demo8").string() + " --board " +
                               SampleBoard("sensor4").string() +
                               " --table-value library --open modeless --save --fixed-clock --project " +
                               project.string() + " --script " +
                               (SourceDir() / "host/tests/scripts/decoupling-pins.pdnscript").string() + " --shots " +
                               viewer.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  const fs::path board = dir / "board";
  fs::create_directories(board);
  outcome = RunPdnHost("--board-mode --open modeless --save --fixed-clock --project " + project.string() +
                       " --script " + (SourceDir() / "host/tests/scripts/decoupling-pins-board.pdnscript").string() +
                       " --shots " + board.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  // The drag moved U1.D4 below U1.G7: the saved ports are in the rows' order.
  const std::string saved = ReadFile(dir / "demo8.dao");
  const std::size_t g4 = saved.find("U1.G4 Enabled"), g7 = saved.find("U1.G7 Enabled"), d4 = saved.find("U1.D4 Enabled");
  ASSERT_NE(d4, std::string::npos) << saved;
  EXPECT_LT(g4, g7);
  EXPECT_LT(g7, d4) << saved;
  const std::pair<fs::path, const char*> shots[] = {
      {viewer / "06-pins-checked.png", "pins-viewer-checked"},
      {viewer / "07-pins-grouped.png", "pins-viewer-grouped"},
      {board / "pins-board-01-unchecked.png", "pins-board-01-unchecked"},
      {board / "pins-board-02-checked.png", "pins-board-02-checked"},
      {board / "pins-board-03-grouped.png", "pins-board-03-grouped"},
      {board / "pins-board-04-dragged.png", "pins-board-04-dragged"},
  };
  for (const auto& [file, reference] : shots) {
    auto image = plat::Surface::readPng(file.string());
    ASSERT_TRUE(image) << file;
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, std::string("host/tests/reference/") + reference + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
}

// The capacitor model editor from scripts, one per model kind, on the 8-layer board with the sample models and the
// board's library: the result's getters and the library changes in the host's log, the screenshots against
// references (host/tests/reference/).
TEST_F(PdnHostProgram, ModelEditorRunsFromScriptsPerModelKind) {
  struct Case {
    const char* script;
    const char* capacitor;
    std::vector<const char*> expected;
    std::vector<const char*> shots;
    const char* board = "demo8.json";
  };
  const Case cases[] = {
      {"editor-clr", "C1",
       {"dialog: capacitor model editor for C1 (group CORE_BULK model X5R_22U_0805)",
        // "<custom>" is picked directly: it keeps the group model's values, not those of entries passed on the way.
        "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 1 (C-L-R)\n  IncludesViaMounting = false\n"
        "  IsLibraryModel = false\n  GetLibraryText = demo.lib\n  GetLibraryModelName = \n  GetCapacitance = 4.7e-08\n"
        "  GetESR = 0.025\n  GetESL = 1.57536e-10\n"},
       {"editor-clr-01-library", "editor-clr-02-calculator", "editor-clr-03-custom"}},
      {"editor-spice", "C57",
       {"dialog: capacitor model editor for C57 (no model)", "GetModel before the run: null",
        "messagebox \"Capacitor Models\": You have to select model with number of nodes equal to 2 -> ok",
        "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 3 (SPICE)\n  IncludesViaMounting = false\n"
        "  IsLibraryModel = false\n  GetLibraryText = \n  GetLibraryModelName = \n  GetFileName = caps.cir\n"
        "  GetSubcircuitName = C1U0402\n  GetPortPin(1) = 1\n  GetPortPin(2) = 2\nDelete()\n"},
       {"editor-spice-01-three-nodes", "editor-spice-02"}},
      {"editor-touchstone", "C57",
       {"change: ModelLibrary Add X7R_1U_0603_SER Touchstone",
        "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 2 (Touchstone)\n  IncludesViaMounting = false\n"
        "  IsLibraryModel = true\n  GetLibraryText = \n  GetLibraryModelName = X7R_1U_0603_SER\n"
        "  GetFileName = cap_1u_0603_series.s2p\n  IsSeries = true\nDelete()\n"},
       {"editor-touchstone-01", "editor-touchstone-02-saved"}},
      // "Compatible files only" with the one- and two-port filter lists both kinds of file.
      {"editor-touchstone-compatible", "C57",
       {"step 9: pick 1086 \"cap_10n_0201.s1p\"", "RunModal() -> 2 (Cancel)"},
       {"editor-touchstone-compatible"}},
      // The 4-layer board: a capacitor whose group has no model gets a custom (non-library) C-L-R model.
      {"editor-clr-sensor4", "C6",
       {"dialog: capacitor model editor for C6 (no model)",
        "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 1 (C-L-R)\n  IncludesViaMounting = false\n"
        "  IsLibraryModel = false\n  GetLibraryText = \n  GetLibraryModelName = \n  GetCapacitance = 4.7e-06\n"
        "  GetESR = 0.01\n  GetESL = 2.98384e-10\n"},
       {"editor-clr-sensor4-01-calculator", "editor-clr-sensor4-02-custom"},
       "sensor4.json"},
      // Capacitors of more than two pins: every port's pin chosen in the port map's drop-down lists. Walking an
      // open list took the pins passed on the way from their ports, and choosing the pin of a node crashed the
      // editor (the list's close-up, sent from inside a paint, restyled the cell being drawn).
      {"editor-portmap", "C2",
       {"messagebox \"Capacitor Models\": All model ports are to assigned to pins. -> ok",
        "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 2 (Touchstone)\n  IncludesViaMounting = false\n"
        "  IsLibraryModel = false\n  GetLibraryText = \n  GetLibraryModelName = \n  GetFileName = cap_pair_0402.s4p\n"
        "  IsSeries = true\n  GetPortPin(1) = A2\n  GetPortPin(2) = A1\n  GetPortPin(3) = B1\n  GetPortPin(4) = B2\n"},
       {"editor-portmap-01-assigned", "editor-portmap-02-taken", "editor-portmap-03-given-back"},
       "host/tests/boards/multipin-caps.json"},
      // The keyboard alone: Tab reaches the pane's controls (it went round the editor's own controls only).
      {"editor-keys", "C57",
       {"step 13: expect state 1136 focused in pane",
        "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 1 (C-L-R)\n  IncludesViaMounting = false\n"
        "  IsLibraryModel = false\n  GetLibraryText = \n  GetLibraryModelName = \n  GetCapacitance = 4.7e-08\n"},
       {}},
      // A library model's port map cannot be changed: it came back under the library model's name with other pins.
      {"editor-portmap-library", "C2",
       {"change: ModelLibrary Add ARRAY_4P Touchstone",
        "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 2 (Touchstone)\n  IncludesViaMounting = false\n"
        "  IsLibraryModel = true\n  GetLibraryText = \n  GetLibraryModelName = ARRAY_4P\n"
        "  GetFileName = cap_pair_0402.s4p\n  IsSeries = true\n  GetPortPin(1) = A1\n  GetPortPin(2) = A2\n"
        "  GetPortPin(3) = B1\n  GetPortPin(4) = B2\n"},
       {"editor-portmap-library"},
       "host/tests/boards/multipin-caps.json"},
      {"editor-portmap-spice", "C1",
       {"RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 3 (SPICE)\n  IncludesViaMounting = false\n"
        "  IsLibraryModel = false\n  GetLibraryText = \n  GetLibraryModelName = \n  GetFileName = caps.cir\n"
        "  GetSubcircuitName = C3T1U0603\n  GetPortPin(1) = G\n  GetPortPin(2) = 1\n  GetPortPin(3) = 2\n"},
       {"editor-portmap-spice"},
       "host/tests/boards/multipin-caps.json"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const fs::path run = dir / c.script;
    fs::create_directories(run);
    // A board named with its folder is one of the tests' own boards, else a sample board.
    const fs::path board = std::string(c.board).find('/') != std::string::npos ? SourceDir() / c.board
                                                                               : SourceDir() / "samples/boards" / c.board;
    const Outcome outcome = RunPdnHost(std::string("--board ") + board.string() +
                                       " --dialog editor --capacitor " + c.capacitor + " --script " +
                                       (SourceDir() / "host/tests/scripts" / (std::string(c.script) + ".pdnscript")).string() +
                                       " --shots " + run.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output;
    EXPECT_EQ(outcome.errors, "");
    for (const char* line : c.expected)
      EXPECT_NE(outcome.output.find(line), std::string::npos) << line << "\n" << outcome.output;
    for (const char* shot : c.shots) {
      auto image = plat::Surface::readPng((run / (std::string(shot) + ".png")).string());
      ASSERT_TRUE(image) << shot;
      const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, std::string("host/tests/reference/") + shot + ".png");
      EXPECT_TRUE(match.Matches()) << match.message;
    }
  }
}

// The Touchstone pane over the real-world files of the shared test data: a file picked far down the list is scrolled
// to and clicked, so that only its own two-port detection runs (walking there selected every file on the way, each
// undecidable two-port bringing up its own message box).
// Model files named beyond ASCII: the editor lists them by their code page names, opens them by those names, and the
// host gets the file's own (UTF-8) name back; a name the code page cannot hold opens nothing else.
TEST_F(PdnHostProgram, ModelFilesNamedBeyondAsciiArePickedAndReachTheHostByTheirOwnNames) {
  // The model folder too is named beyond ASCII: --model-dir reaches the module in its code page.
  const fs::path models = dir / "mod\xC3\xA8les";
  fs::create_directories(models);
  fs::copy_file(SourceDir() / "samples/models/cap_1u_0603_series.s2p", models / "kondensator_\xC3\xA4.s2p");
  fs::copy_file(SourceDir() / "samples/models/caps.cir", models / "biblioth\xC3\xA8que.cir");
  fs::copy_file(SourceDir() / "samples/models/caps.cir", models / "\xCE\xA9.cir");
  struct Case {
    const char* name;
    const char* script;
    const char* expected;
  };
  const Case cases[] = {
      {"touchstone",
       "click \"Touchstone\"\npick 1086 \"kondensator_\xC3\xA4.s2p\"\nexpect state \"Series\" checked\nclick \"OK\"\n",
       "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 2 (Touchstone)\n  IncludesViaMounting = false\n"
       "  IsLibraryModel = false\n  GetLibraryText = \n  GetLibraryModelName = \n  GetFileName = kondensator_\xC3\xA4.s2p\n"
       "  IsSeries = true\n"},
      // The subcircuits listed are read from the file opened by its code page name.
      {"spice",
       "click \"SPICE\"\npick 1086 \"biblioth\xC3\xA8que.cir\"\npick 1099 \"C1U0402\"\nclick \"OK\"\n",
       "RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 3 (SPICE)\n  IncludesViaMounting = false\n"
       "  IsLibraryModel = false\n  GetLibraryText = \n  GetLibraryModelName = \n  GetFileName = biblioth\xC3\xA8que.cir\n"
       "  GetSubcircuitName = C1U0402\n"},
      // The omega file is listed as "?.cir", which names no file: no subcircuit is read from it or any other file.
      {"unnamable",
       "click \"SPICE\"\npick 1086 \"?.cir\"\nexpect text 1099 \"\"\nclick \"Cancel\"\n",
       "RunModal() -> 2 (Cancel)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path script = dir / (std::string(c.name) + ".pdnscript");
    std::ofstream(script) << c.script;
    const Outcome outcome = RunPdnHost("--dialog editor --capacitor C57 --model-dir " + models.string() + " --script " +
                                       script.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    EXPECT_EQ(outcome.errors, "");
    EXPECT_NE(outcome.output.find(c.expected), std::string::npos) << outcome.output;
    // Never the code page bytes read as UTF-8 a second time.
    EXPECT_EQ(outcome.output.find("\xC3\x83"), std::string::npos) << outcome.output;
  }
}

// A two-port with a NaN in its data is refused at OK with the line and the reason (the host was handed it); the
// sound file beside it is then taken.
TEST_F(PdnHostProgram, ATwoPortTheFitCannotUseIsRefusedAtOk) {
  const fs::path models = dir / "models";
  fs::create_directories(models);
  const fs::path sound = SourceDir() / "samples/models/cap_1u_0603_series.s2p";
  fs::copy_file(sound, models / sound.filename());
  std::string text = ReadFile(sound);
  const std::size_t end = text.find("\n4.494706120e+05");   // of line 60
  text.replace(text.rfind(' ', end) + 1, end - text.rfind(' ', end) - 1, "nan");
  std::ofstream(models / "damaged.s2p", std::ios::binary) << text;
  const Outcome outcome = RunPdnHost("--dialog editor --capacitor C57 --model-dir " + models.string() + " --script " +
                                     (SourceDir() / "host/tests/scripts/editor-touchstone-refused.pdnscript").string() +
                                     " --shots " + dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  for (const char* line : {"Select valid model file\\n(line 60: a parameter that is no finite number) -> ok",
                           "RunModal() -> 1 (OK)", "GetFileName = cap_1u_0603_series.s2p"})
    EXPECT_NE(outcome.output.find(line), std::string::npos) << line << "\n" << outcome.output;
}

// FIFOs named like model files are refused at once (selecting one hung the editor in its open), and a SPICE file
// whose subcircuit name holds a NUL byte is refused with its line (the host got the name cut at the NUL).
TEST_F(PdnHostProgram, ModelFilesThatCannotBeReadAreRefusedAtOnce) {
  const fs::path models = dir / "unreadable";
  fs::create_directories(models);
  for (const char* fifo : {"a.s2p", "b.cir"}) ASSERT_EQ(::mkfifo((models / fifo).c_str(), 0600), 0);
  std::ofstream(models / "nul.cir", std::ios::binary) << std::string(".SUBCKT C1U\0" "0402 1 2\n.ENDS\n", 27);
  const Outcome outcome = RunPdnHost("--dialog editor --capacitor C57 --model-dir " + models.string() + " --script " +
                                     (SourceDir() / "host/tests/scripts/editor-unreadable-models.pdnscript").string() +
                                     " --shots " + dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_NE(outcome.output.find("RunModal() -> 2 (Cancel)"), std::string::npos) << outcome.output;
}

// The getters pdnhost prints of a model under `heading` ("GetModel before the run:"), one line each.
std::string PrintedModel(const std::string& output, const std::string& heading) {
  std::size_t at = output.find(heading + "\n");
  if (at == std::string::npos)
    return "no \"" + heading + "\"";
  std::string lines;
  for (at += heading.size() + 1; output.compare(at, 2, "  ") == 0;) {
    const std::size_t end = output.find('\n', at);
    lines += output.substr(at, end - at + 1);
    at = end + 1;
  }
  return lines;
}

// Models of the board's library handed to the model editor as the host hands a capacitor's own model: each opens
// on the very file it names, with every port's pin, and OK at once gives the host back what it gave, also on
// capacitors of three and four pins and for a file named by its full path (also one whose name an earlier model
// folder holds too). A name no file has (only one that differs in letter case, or goes on past it) is said to be
// missing and refused, never replaced; and the file a user picks in the list is the one picked, not another in
// other letter case.
TEST_F(PdnHostProgram, LibraryModelsOpenOnTheFileTheyNameAndOkGivesThemBackAsGiven) {
  const TempDir temp("brim-libmodels");
  const std::string models = temp / "models/";
  fs::create_directories(models);
  const fs::path samples = SourceDir() / "samples/models";
  for (const auto& [from, as] : std::vector<std::pair<const char*, const char*>>{
           {"caps.cir", "caps.cir"},
           {"caps.cir", "CAPS.cir"},
           {"caps.cir", "caps.cir.cir"},
           {"cap_100n_0402.s2p", "cap_100n_0402.s2p"},
           {"cap_10u_0805_shunt.s2p", "CAP_100N_0402.s2p"},
           {"cap_1u_0603_series.s2p", "cap_100n_0402.s2p.s2p"},
           {"cap_pair_0402.s4p", "cap_pair_0402.s4p"},
           {"cap_pair_0402.s4p", "CAP_PAIR_0402.s4p"}})
    fs::copy_file(samples / from, models + as);
  // A model folder ahead of `models` holding files of names `models` holds too.
  const std::string earlier = temp / "earlier/";
  fs::create_directories(earlier);
  fs::copy_file(samples / "bulk.sp", earlier + "caps.cir");
  fs::copy_file(samples / "cap_pair_0402.s4p", earlier + "CAP_PAIR_0402.s4p");
  enum class Folders { Models, EarlierThenModels };
  struct Row {
    const char* name;
    const char* capacitor;   // C1 pins 1, 2, G; C2 pins A1, A2, B1, B2; C3 pins 1, 2
    std::string model;       // the library model "M" of the board file, without its name
    std::string script = "click \"OK\"\n";
    std::vector<std::string> expected = {};   // lines of the output; none: OK at once gives back what was given
    Folders folders = Folders::Models;
  };
  const Row rows[] = {
      {"SPICE, 2 ports, upper case", "C3",
       R"("kind": "SPICE", "file": "CAPS.cir", "subcircuit": "C1U0402", "ports": ["1", "2"])"},
      {"SPICE, 3 ports", "C1",
       R"("kind": "SPICE", "file": "caps.cir", "subcircuit": "C3T1U0603", "ports": ["1", "2", "G"])"},
      {"SPICE, 3 ports, full path", "C1",
       R"("kind": "SPICE", "file": ")" + models + R"(caps.cir", "subcircuit": "C3T1U0603", "ports": ["G", "2", "1"])"},
      {"Touchstone, 2 ports, upper case", "C3",
       R"("kind": "Touchstone", "file": "CAP_100N_0402.s2p", "series": false)"},
      {"Touchstone, 2 ports, lower case", "C3", R"("kind": "Touchstone", "file": "cap_100n_0402.s2p")"},
      {"Touchstone, 4 ports", "C2",
       R"("kind": "Touchstone", "file": "cap_pair_0402.s4p", "ports": ["A1", "A2", "B1", "B2"])"},
      {"Touchstone, 4 ports, full path", "C2",
       R"("kind": "Touchstone", "file": ")" + models + R"(CAP_PAIR_0402.s4p", "ports": ["B1", "B2", "A1", "A2"])"},
      {"SPICE, a name no file has", "C3", R"("kind": "SPICE", "file": "Caps.cir", "subcircuit": "C1U0402")",
       "expect text 1151 \"Model file \\\"Caps.cir\\\" is missing!\"\nanswer message ok \"must be selected\"\n"
       "click \"OK\"\nclick \"Cancel\"\n",
       {"messagebox \"Capacitor Models\": SPICE file and SUBCIRCUIT must be selected in the list. -> ok",
        "RunModal() -> 2 (Cancel)"}},
      {"Touchstone, the beginning of a name", "C3", R"("kind": "Touchstone", "file": "cap_100n_0402")",
       "expect text 1151 \"Model file \\\"cap_100n_0402\\\" is missing!\"\nanswer message ok \"must be selected\"\n"
       "click \"OK\"\nclick \"Cancel\"\n",
       {"messagebox \"Capacitor Models\": Touchstone file must be selected in the list. -> ok",
        "RunModal() -> 2 (Cancel)"}},
      {"SPICE, the user's pick", "C1",
       R"("kind": "SPICE", "file": "CAPS.cir", "subcircuit": "C3T1U0603", "ports": ["1", "2", "G"])",
       "pick 1189 \"<custom>\"\npick 1086 \"caps.cir\"\npick 1099 \"C3T1U0603\"\nclick \"OK\"\n",
       {"RunModal() -> 1 (OK)", "  IsLibraryModel = false\n  GetLibraryText = \n  GetLibraryModelName = \n"
                                "  GetFileName = caps.cir\n  GetSubcircuitName = C3T1U0603\n"}},
      {"SPICE, 3 ports, full path of a name an earlier model folder holds too", "C1",
       R"("kind": "SPICE", "file": ")" + models + R"(caps.cir", "subcircuit": "C3T1U0603", "ports": ["2", "G", "1"])",
       "click \"OK\"\n", {}, Folders::EarlierThenModels},
      {"Touchstone, 4 ports, full path of a name an earlier model folder holds too", "C2",
       R"("kind": "Touchstone", "file": ")" + models + R"(CAP_PAIR_0402.s4p", "ports": ["B2", "A1", "A2", "B1"])",
       "click \"OK\"\n", {}, Folders::EarlierThenModels},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string board = temp / "board.json";
    const std::string script = temp / "editor.pdnscript";
    // The model is the capacitor's own.
    const auto own = [&](const char* capacitor) {
      return capacitor == std::string(row.capacitor) ? "\"model\": \"M\", " : "";
    };
    std::ofstream(board) << R"({
  "name": "Library models",
  "layers": [{"name": "TOP", "kind": "signal", "thickness": 0.035},
             {"name": "PREPREG", "kind": "dielectric", "thickness": 0.1},
             {"name": "GND", "kind": "plane", "thickness": 0.035}],
  "nets": [{"name": "GND", "type": "supply", "voltage": 0},
           {"name": "VDD", "type": "supply", "voltage": 1.0, "reference": "GND"}],
  "areas": [{"net": "GND", "layer": "GND", "rect": [0, 0, 20, 20]}],
  "parts": [{"name": "CAP", "capacitance": 1e-06}],
  "models": [{"name": "M", )" << row.model << R"(}],
  "components": [
    {"name": "C1", "part": "CAP", "side": "TOP", )" << own("C1") << R"("pins": [
      {"name": "1", "net": "VDD", "at": [5, 5], "size": 0.4}, {"name": "2", "net": "VDD", "at": [6.6, 5], "size": 0.4},
      {"name": "G", "net": "GND", "at": [5.8, 5], "size": 0.4}]},
    {"name": "C2", "part": "CAP", "side": "TOP", )" << own("C2") << R"("pins": [
      {"name": "A1", "net": "VDD", "at": [10, 10], "size": 0.3}, {"name": "A2", "net": "GND", "at": [11, 10], "size": 0.3},
      {"name": "B1", "net": "VDD", "at": [10, 10.6], "size": 0.3}, {"name": "B2", "net": "GND", "at": [11, 10.6], "size": 0.3}]},
    {"name": "C3", "part": "CAP", "side": "TOP", )" << own("C3") << R"("pins": [
      {"name": "1", "net": "VDD", "at": [15, 5], "size": 0.4}, {"name": "2", "net": "GND", "at": [16, 5], "size": 0.4}]}],
  "groups": []
})";
    std::ofstream(script) << row.script;
    const Outcome outcome = RunPdnHost("--board " + board + " --dialog editor --capacitor " + row.capacitor +
                                       (row.folders == Folders::Models ? "" : " --model-dir " + earlier) +
                                       " --model-dir " + models + " --script " + script);
    ASSERT_EQ(outcome.code, 0) << outcome.output;
    if (row.expected.empty()) {
      EXPECT_NE(outcome.output.find("RunModal() -> 1 (OK)"), std::string::npos) << outcome.output;
      EXPECT_EQ(PrintedModel(outcome.output, "GetModel after the run:"),
                PrintedModel(outcome.output, "GetModel before the run:"));
    }
    for (const std::string& line : row.expected)
      EXPECT_NE(outcome.output.find(line), std::string::npos) << line << "\n" << outcome.output;
  }
}

TEST_F(PdnHostProgram, AFilePickedFarDownTheListIsTheOnlyOneSelected) {
  const fs::path script = dir / "far.pdnscript";
  std::ofstream(script) << "click \"Touchstone\"\n"
                           "answer message ok \"simple_touchstone.s2p\"\n"
                           "pick 1086 \"simple_touchstone.s2p\"\n"
                           "expect state \"Autodetect\" unchecked\n"
                           "pick 1086 \"Agilent_E5071B.s4p\"\n"
                           "click \"Cancel\"\n";
  const char* testdata = std::getenv("BRIM_TESTDATA_DIR");
  ASSERT_NE(testdata, nullptr) << "the tests' environment names the shared test data";
  const Outcome outcome = RunPdnHost("--dialog editor --capacitor C57 --model-dir " +
                                     (fs::path(testdata) / "touchstone/").string() + " --script " + script.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_EQ(outcome.errors, "");
  std::size_t boxes = 0;
  for (std::size_t at = outcome.output.find("messagebox "); at != std::string::npos;
       at = outcome.output.find("messagebox ", at + 1))
    ++boxes;
  EXPECT_EQ(boxes, 1u) << outcome.output;
}

TEST_F(PdnHostProgram, GroupsDialogRunsFromAScriptAndCommitsWhatTheGoldenLogSays) {
  const Outcome outcome = RunPdnHost("--dialog groups --unit-text \"\" --script " +
                                     (SourceDir() / "host/tests/scripts/groups.pdnscript").string() + " --shots " +
                                     dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_EQ(outcome.errors, "");
  // Everything but the lines that name the files used, which depend on the build's place.
  std::istringstream lines(outcome.output);
  std::string log, line;
  while (std::getline(lines, line))
    if (line.rfind("board: ", 0) != 0 && line.rfind("module: ", 0) != 0) log += line + "\n";
  EXPECT_EQ(log, ReadFile(SourceDir() / "host/tests/golden/groups-demo8.log"));
  for (const char* shot : {"groups-01-moved", "groups-02-emptied"}) {
    auto image = plat::Surface::readPng((dir / (std::string(shot) + ".png")).string());
    ASSERT_TRUE(image) << shot;
    const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, std::string("host/tests/reference/") + shot + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
  // In board mode on the 4-layer board, with lengths in millimetres: the board's own groups, Cancel writes nothing.
  const fs::path cancel = dir / "cancel.pdnscript";
  std::ofstream(cancel) << "expect state \"<<\" disabled\nclick \"Cancel\"\n";
  const Outcome board = RunPdnHost("--board " + SampleBoard("sensor4").string() +
                                   " --board-mode --dialog groups --script " + cancel.string());
  ASSERT_EQ(board.code, 0) << board.output;
  EXPECT_NE(board.output.find("SetBoard(Sensor board 4L) -> true"), std::string::npos) << board.output;
  EXPECT_NE(board.output.find("RunModal() -> 2 (Cancel)\nDelete()\ngroups:\n  \"3V3\": C1 C2 C3 C4 C5\n"
                              "  \"1V2\": C6 C7 C8\n"),
            std::string::npos)
      << board.output;
  EXPECT_EQ(board.output.find("change: "), std::string::npos);
}

TEST_F(PdnHostProgram, TheGroupsDialogShowsThreeDigitRowNumbersAndBoldNamesWhole) {
  const fs::path board = dir / "many.json";
  std::ofstream(board) << host::test::ManyCapacitorsBoard();
  const Outcome outcome = RunPdnHost("--board " + board.string() + " --dialog groups --unit-text \"\" --script " +
                                     (SourceDir() / "host/tests/scripts/groups-many.pdnscript").string() +
                                     " --shots " + dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_NE(outcome.output.find("RunModal() -> 2 (Cancel)"), std::string::npos) << outcome.output;
  EXPECT_EQ(outcome.output.find("change: "), std::string::npos) << outcome.output;
  auto image = plat::Surface::readPng((dir / "groups-many-680.png").string());
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, "host/tests/reference/groups-many-680.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

TEST_F(PdnHostProgram, ModelsDialogRunsFromAScriptAndChangesWhatTheGoldenLogSays) {
  const Outcome outcome = RunPdnHost("--dialog models --unit-text \"\" --script " +
                                     (SourceDir() / "host/tests/scripts/models.pdnscript").string() + " --shots " +
                                     dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_EQ(outcome.errors, "");
  // Everything but the lines that name the files used, which depend on the build's place.
  std::istringstream lines(outcome.output);
  std::string log, line;
  while (std::getline(lines, line))
    if (line.rfind("board: ", 0) != 0 && line.rfind("module: ", 0) != 0 && line.rfind("AddModelDirectories(", 0) != 0)
      log += line + "\n";
  EXPECT_EQ(log, ReadFile(SourceDir() / "host/tests/golden/models-demo8.log"));
  for (const char* shot : {"models-01-all", "models-02-filtered", "models-03-assigned", "models-04-after-groups"}) {
    auto image = plat::Surface::readPng((dir / (std::string(shot) + ".png")).string());
    ASSERT_TRUE(image) << shot;
    const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, std::string("host/tests/reference/") + shot + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
  // A system of two boards offers the board chooser; the second board's table is the 4-layer board's.
  const fs::path chooser = dir / "chooser.pdnscript";
  std::ofstream(chooser) << "expect state \"Select Board\" visible\n"
                            "expect text 1004 \"sensor4.json [4-layer sensor board, QFP microcontroller ]\"\n"
                            "pick 1004 \"demo8.json [8-layer processor board, BGA-100 processor ]\"\n"
                            "cell 1121 11 0\n"
                            "click \"Remove Models\"\n"
                            "click \"Close\"\n";
  const Outcome two = RunPdnHost("--board " + SampleBoard("sensor4").string() + " --board " +
                                 SampleBoard("demo8").string() + " --dialog models --script " + chooser.string());
  ASSERT_EQ(two.code, 0) << two.output;
  EXPECT_NE(two.output.find("SetSystem(Sensor board 4L, PDN demo board 8L) -> true"), std::string::npos) << two.output;
  // The 8-layer board's own capacitor C60 lost its model: the table showed the chosen board.
  EXPECT_NE(two.output.find("change (PDN demo board 8L): Decoupling SetComponentModel C60 null"), std::string::npos)
      << two.output;
  EXPECT_EQ(two.output.find("kept host objects"), std::string::npos) << two.output;
}

// The models dialog's board chooser shows its entry whole (on a row of its own above the table), and an "Enabled" box
// clicked off in a selected row shows inverted with the row, not as a white cell in the row's highlight.
TEST_F(PdnHostProgram, TheModelsDialogShowsTheBoardChooserWholeAndASelectedRowsBoxWithTheRow) {
  const fs::path script = dir / "selected.pdnscript";
  std::ofstream(script) << "expect text 1004 \"demo8.json [8-layer processor board, BGA-100 processor ]\"\n"
                           "screenshot models-chooser.png\n"
                           "cell 1121 10 0\n"
                           "cell 1121 10 6\n"
                           "cell 1121 10 6\n"
                           "screenshot models-selected-unchecked.png\n"
                           "click \"Close\"\n";
  const Outcome outcome = RunPdnHost("--board " + SampleBoard("demo8").string() + " --board " +
                                     SampleBoard("sensor4").string() + " --dialog models --script " + script.string() +
                                     " --shots " + dir.string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  // The box went on and off again: C59's model is disabled as before.
  EXPECT_NE(outcome.output.find("SetComponentModel C59 X7R_100N_0402\n"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("SetComponentModel C59 X7R_100N_0402 disabled"), std::string::npos) << outcome.output;
  for (const char* shot : {"models-chooser", "models-selected-unchecked"}) {
    auto image = plat::Surface::readPng((dir / (std::string(shot) + ".png")).string());
    ASSERT_TRUE(image) << shot;
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, std::string("host/tests/reference/") + shot + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
}

TEST_F(PdnHostProgram, DialogOptionsAreRefusedOutsideTheirDialogAndHeadlessADialogNeedsAScript) {
  EXPECT_EQ(RunPdnHost("--dialog table").code, 2);
  EXPECT_EQ(RunPdnHost("--dialog models --board-mode").code, 2);
  EXPECT_THROW(host::ParsePdnHostArguments({"--dialog", "groups", "--settings-copy"}, "l", "b"),
               host::PdnHostUsageError);
  EXPECT_EQ(RunPdnHost("--model-dir /tmp").code, 2);
  EXPECT_EQ(RunPdnHost("--unit-text mm").code, 2);
  EXPECT_EQ(RunPdnHost("--capacitor C1").code, 2);
  EXPECT_EQ(RunPdnHost("--dialog editor --open modal").code, 2);
  const Outcome unknown = RunPdnHost("--dialog editor --capacitor U1");
  EXPECT_EQ(unknown.code, 2);
  EXPECT_NE(unknown.errors.find("the board has no decoupling capacitor \"U1\""), std::string::npos) << unknown.output;
  for (const char* dialog : {"--dialog editor --capacitor C57", "--dialog groups"}) {
    const Outcome waiting = RunPdnHost(dialog);
    EXPECT_EQ(waiting.code, 4) << waiting.output;
    EXPECT_NE(waiting.output.find("RunModal() -> 2 (Cancel)"), std::string::npos) << waiting.output;
    EXPECT_NE(waiting.errors.find("the modal dialog waits for input, but headless nothing can give it"),
              std::string::npos)
        << waiting.output;
  }
  // The models dialog answers 1 however it closed.
  const Outcome models = RunPdnHost("--dialog models");
  EXPECT_EQ(models.code, 4) << models.output;
  EXPECT_NE(models.output.find("RunModal() -> 1\nDelete()"), std::string::npos) << models.output;
}

// The via pages on a board of 1,200 vias and 10 supply pins, all picked: the lists scroll to their last rows, whose
// four-digit port numbers show whole, and "Pan to" follows the current cell moved by the keys.
TEST_F(PdnHostProgram, TheViaPagesOfABoardOfThousandsOfViasScrollAndShowEveryPortNumberWhole) {
  const fs::path board = dir / "many.json";
  std::ofstream(board) << host::test::ManyViasBoard(1200, 20);
  struct Case {
    const char* script;
    const char* how;
    const char* expected;
    std::vector<const char*> shots;
  };
  const Case cases[] = {
      {"extractor-many", "--wizard extractor --open modeless", "  GetProbeCount = 1210\n",
       {"extractor-many-01-last-vias"}},
      {"bypass-many", "--wizard bypass --board-mode --open modeless", "  GetProbeCount = 1\n  probe 0 = V1200\n",
       {"bypass-many-01-last-vias", "bypass-many-02-last-checked"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const Outcome outcome = RunPdnHost("--board " + board.string() + " " + c.how + " --fixed-clock --script " +
                                       (SourceDir() / "host/tests/scripts" / (std::string(c.script) + ".pdnscript")).string() +
                                       " --shots " + dir.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    EXPECT_NE(outcome.output.find(c.expected), std::string::npos) << outcome.output.substr(0, 4000);
    ExpectShotsMatchReferences(dir, c.shots);
  }
}

// The bypass and via-model wizards on a system of two boards whose user changes the board after picking a via: the
// via step shows the chosen board's viewer, never the other board's via, and keeps the new choice through round
// trips.
TEST_F(PdnHostProgram, TheViaStepsShowTheChosenBoardsViewerAfterTheBoardChanged) {
  for (const char* wizard : {"bypass", "via-model"}) {
    SCOPED_TRACE(wizard);
    const std::string script = std::string(wizard) + "-boards";
    const Outcome outcome =
        RunPdnHost("--board " + SampleBoard("demo8").string() + " --board " + SampleBoard("sensor4").string() +
                   " --wizard " + wizard + " --open modeless --fixed-clock --script " +
                   (SourceDir() / "host/tests/scripts" / (script + ".pdnscript")).string() + " --shots " + dir.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    EXPECT_NE(outcome.output.find("  GetBoardIndex = 0\n"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find(std::string(wizard) == "bypass" ? "  probe 0 = V_DQ1\n"
                                                                  : "  probe 0 = V_TX0_P\n  probe 1 = V_TX0_N\n"),
              std::string::npos)
        << outcome.output;
  }
  ExpectShotsMatchReferences(dir, {"bypass-boards-01-other-board"});
}

// The issue's flows: two group names copied and pasted at the end of the first one's name gave the host a name with a
// line break; the via's connected layers pasted onto its pair's list made the list another cell showing "TOP", and
// the host got a pair nobody chose. A name takes the copied text's first line, the list only one of its pairs.
TEST_F(PdnHostProgram, PastesGiveTheHostOneLineNamesAndOnlyThePairsAListOffers) {
  const Outcome groups = RunPdnHost("--dialog groups --unit-text \"\" --script " +
                                    (SourceDir() / "host/tests/scripts/groups-paste.pdnscript").string());
  ASSERT_EQ(groups.code, 0) << groups.output << groups.errors;
  EXPECT_NE(groups.output.find("change: Group \"3V3_BULK\" SetName \"3V3_BULK3V3_BULK\"\nRunModal() -> 1 (OK)"),
            std::string::npos)
      << groups.output;

  const fs::path board = dir / "demo8.json";
  ASSERT_TRUE(host::test::WriteDemo8WithPick(board, "V_DQ1"));
  const fs::path project = dir / "demo8.brd";
  std::ofstream(project) << "board\n";
  const Outcome bypass = RunPdnHost("--board " + board.string() + " --board-mode --wizard bypass --open modeless "
                                    "--fixed-clock --project " + project.string() + " --script " +
                                    (SourceDir() / "host/tests/scripts/bypass-list-paste.pdnscript").string());
  ASSERT_EQ(bypass.code, 0) << bypass.output << bypass.errors;
  EXPECT_NE(bypass.output.find("A pasted text is not a value its cell takes"), std::string::npos) << bypass.output;
  const std::string settings = ReadFile(dir / "demo8.dao");
  EXPECT_NE(settings.find("= V_DQ1 Enabled \"L3_SIG\" - \"L6_SIG\" \r\n"), std::string::npos) << settings;
}

// The bypass wizard in board mode on the 8-layer board with V_DQ1 among the picks: the pair chosen in the via's cell
// list is saved, and a second run that loads the settings shows the via checked with that pair.
TEST_F(PdnHostProgram, ABypassPairChosenInItsListCellIsSavedAndLoadedAgain) {
  const fs::path board = dir / "demo8.json";
  ASSERT_TRUE(host::test::WriteDemo8WithPick(board, "V_DQ1"));
  const fs::path project = dir / "demo8.brd";
  std::ofstream(project) << "board\n";
  const std::string common = "--board " + board.string() + " --board-mode --wizard bypass --open modeless --fixed-clock "
                             "--project " + project.string() + " --shots " + dir.string() + " --script ";
  const Outcome saved = RunPdnHost(common + (SourceDir() / "host/tests/scripts/bypass-list-pair.pdnscript").string());
  ASSERT_EQ(saved.code, 0) << saved.output << saved.errors;
  EXPECT_NE(saved.output.find("  probe 0 = V_DQ1\n"), std::string::npos) << saved.output;
  const std::string settings = ReadFile(dir / "demo8.dao");
  EXPECT_NE(settings.find("= V_DQ1 Enabled \"L3_SIG\" - \"L6_SIG\" \r\n"), std::string::npos) << settings;
  const Outcome loaded =
      RunPdnHost("--load " + (dir / "demo8.dao").string() + " " + common +
                 (SourceDir() / "host/tests/scripts/bypass-list-load.pdnscript").string());
  ASSERT_EQ(loaded.code, 0) << loaded.output << loaded.errors;
  EXPECT_NE(loaded.output.find(") -> true\ncallback: Notify 2 1"), std::string::npos) << loaded.output;
  ExpectShotsMatchReferences(dir, {"bypass-list-pair-01-chosen", "bypass-list-load-01-loaded"});

  // The bypass save names the project by its full path; the project moved together with its settings file still
  // owns them: the via comes back checked with its pair.
  EXPECT_NE(settings.find("ProjectPath=" + project.string() + "\r\n"), std::string::npos) << settings;
  const fs::path moved = dir / "moved";
  fs::create_directories(moved);
  fs::rename(project, moved / "demo8.brd");
  fs::rename(dir / "demo8.dao", moved / "demo8.dao");
  const Outcome again = RunPdnHost(
      "--load " + (moved / "demo8.dao").string() + " --board " + board.string() +
      " --board-mode --wizard bypass --open modeless --fixed-clock --project " + (moved / "demo8.brd").string() +
      " --shots " + moved.string() + " --script " +
      (SourceDir() / "host/tests/scripts/bypass-list-load.pdnscript").string());
  ASSERT_EQ(again.code, 0) << again.output << again.errors;
  EXPECT_NE(again.output.find("  GetProbeCount = 1\n  probe 0 = V_DQ1\n"), std::string::npos) << again.output;
  ExpectShotsMatchReferences(moved, {"bypass-list-load-01-loaded"});
}

// A drop-down cell whose empty value its dialog cannot take keeps its value on Delete and Ctrl+Delete: the bypass
// via's "Layer Pair" cell (moved to with the arrow keys; the host's Run got the via without layers and the ".dao"
// saved `"" - ""`), and a port's pin in the model editor's port map on the SPICE and Touchstone panes (OK handed the
// host a port without its pin). The host gets the via with its pair and every port with its pin.
TEST_F(PdnHostProgram, DeleteOnAPairOrPinCellKeepsItsValueAndTheHostGetsIt) {
  const fs::path board = dir / "demo8.json";
  ASSERT_TRUE(host::test::WriteDemo8WithPick(board, "V_DQ1"));
  const std::string bypass = "--board " + board.string() + " --board-mode --wizard bypass --option1 off --open modal "
                             "--fixed-clock --project " + project + " --script ";
  const std::string multipin = "--board " + (SourceDir() / "host/tests/boards/multipin-caps.json").string() +
                               " --dialog editor";
  // Every port of the SPICE subcircuit C3T1U0603 (C1) and of cap_pair_0402.s4p (C2) gets a pin from its list.
  const std::string spicePins = "click \"SPICE\"\npick 1086 \"caps.cir\"\npick 1099 \"C3T1U0603\"\n"
                                "cell 1147 1 2\nkey F4\nkey Down\nkey Down\nkey Down\nkey Enter\n"
                                "cell 1147 2 2\nkey F4\nkey Down\nkey Enter\n"
                                "cell 1147 3 2\nkey F4\nkey Down\nkey Down\nkey Enter\n";
  const std::string touchstonePins = "click \"Touchstone\"\npick 1086 \"cap_pair_0402.s4p\"\n"
                                     "cell 1147 1 1\nkey F4\nkey Down\nkey Enter\n"
                                     "cell 1147 2 1\nkey F4\nkey Down\nkey Down\nkey Enter\n"
                                     "cell 1147 3 1\nkey F4\nkey Down\nkey Down\nkey Down\nkey Enter\n"
                                     "cell 1147 4 1\nkey F4\nkey Down\nkey Down\nkey Down\nkey Down\nkey Enter\n";
  // The bypass list page: V_DQ1 checked (its pair cell shows its first pair), the arrows to that cell.
  const std::string pairCell = "click \"< Back\"\nclick 1065\nclick \"Next >\"\ncell 1003 1 1\n"
                               "key Right\nkey Right\nkey Right\n";
  struct Case {
    const char* name;
    std::string options;
    std::string script;
    const char* ran;       // what the run printed when it ended
    const char* result;    // what the getters print after it
  };
  const Case cases[] = {
      {"bypass Delete", bypass, pairCell + "key Delete\nkey Tab\nclick \"Save && Run\"\n", "callback: Run\n",
       "  GetProbeCount = 1\n  probe 0 = V_DQ1\n"},
      {"bypass Ctrl+Delete", bypass, pairCell + "key ctrl+Delete\nkey Tab\nclick \"Save && Run\"\n",
       "callback: Run\n", "  GetProbeCount = 1\n  probe 0 = V_DQ1\n"},
      {"editor SPICE", multipin + " --capacitor C1 --script ",
       spicePins + "cell 1147 2 2\nkey Escape\nkey Delete\nkey ctrl+Delete\nclick \"OK\"\n", "RunModal() -> 1 (OK)",
       "  GetPortPin(1) = G\n  GetPortPin(2) = 1\n  GetPortPin(3) = 2\n"},
      {"editor Touchstone", multipin + " --capacitor C2 --script ",
       touchstonePins + "cell 1147 2 1\nkey Escape\nkey Delete\nkey ctrl+Delete\nclick \"OK\"\n",
       "RunModal() -> 1 (OK)", "  GetPortPin(1) = A1\n  GetPortPin(2) = A2\n  GetPortPin(3) = B1\n  GetPortPin(4) = B2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(dir / "demo8.dao");
    const fs::path script = dir / "script.txt";
    std::ofstream(script) << c.script;
    const Outcome outcome = RunPdnHost(c.options + script.string());
    EXPECT_EQ(outcome.code, 0) << outcome.output;
    const size_t ran = outcome.output.find(c.ran);
    ASSERT_NE(ran, std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find(c.result, ran), std::string::npos) << outcome.output;
    if (c.options == bypass) {
      const std::string settings = ReadFile(dir / "demo8.dao");
      EXPECT_NE(settings.find("= V_DQ1 Enabled \"TOP\" - \"L6_SIG\" \r\n"), std::string::npos) << settings;
    }
  }
}

// V_TP_CLK (one layer: no pair) arrives enabled in the via-model wizard, first in the list, from the host's picks
// (beside the picked pair) or as the only enabled via of the loaded settings: it fails its check, so it shows
// unchecked and the host never gets it: the next via that passes instead, or none.
TEST_F(PdnHostProgram, AViaThatArrivesEnabledButFailsItsCheckIsShownUncheckedAndNotSentToTheHost) {
  const fs::path board = dir / "demo8.json";
  ASSERT_TRUE(host::test::WriteDemo8WithPick(board, "V_TP_CLK"));
  const fs::path script = SourceDir() / "host/tests/scripts/via-list-invalid.pdnscript";
  for (const char* from : {"picks", "settings"}) {
    SCOPED_TRACE(from);
    const fs::path run = dir / from;
    fs::create_directories(run);
    const fs::path project = run / "demo8.brd";
    std::ofstream(project) << "board\n";
    std::string load;
    if (std::string(from) == "settings") {
      std::string settings = ReadFile(SourceDir() / "host/tests/golden/via-model-list.dao");
      const size_t probes = settings.find("[DIFFVIA_PROBES]\r\n");
      ASSERT_NE(probes, std::string::npos);
      settings.erase(probes);
      settings += "[DIFFVIA_PROBES]\r\nPROBE_00 = V_TP_CLK Enabled \r\nPROBE_01 = V_TX0_N Disabled \r\n"
                  "PROBE_02 = V_TX0_P Disabled \r\n";
      const size_t path = settings.find("ProjectPath=demo8.brd");
      ASSERT_NE(path, std::string::npos);
      settings.replace(path, 21, "ProjectPath=" + project.string());
      std::ofstream(run / "demo8.dao", std::ios::binary) << settings;
      load = "--load " + (run / "demo8.dao").string() + " ";
    }
    const Outcome outcome = RunPdnHost(load + "--board " + board.string() +
                                       " --board-mode --wizard via-model --open modeless --fixed-clock --project " +
                                       project.string() + " --shots " + run.string() + " --script " + script.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    EXPECT_NE(outcome.output.find(load.empty() ? "  GetProbeCount = 1\n  probe 0 = V_TX0_N\n" : "  GetProbeCount = 0\n"),
              std::string::npos)
        << outcome.output;
    EXPECT_EQ(outcome.output.find("V_TP_CLK"), std::string::npos) << outcome.output;
    fs::rename(run / "via-list-invalid.png", dir / ("via-list-invalid-" + std::string(from) + ".png"));
  }
  ExpectShotsMatchReferences(dir, {"via-list-invalid-picks", "via-list-invalid-settings"});
}

// A pair's model type chosen, then the via type turned back to a single via: the host is told no export mode for the
// single via (the type step no longer shows one), as when the pair's type was never chosen.
TEST_F(PdnHostProgram, ASingleViaGetsNoModelTypeChosenEarlierForAPair) {
  const Outcome outcome = RunPdnHost("--wizard via-model --open modeless --fixed-clock --project " + project +
                                     " --shots " + dir.string() + " --script " +
                                     (SourceDir() / "host/tests/scripts/via-model-type-single.pdnscript").string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_NE(outcome.output.find("  GetExportDifferentialMode = false\n  GetExportCommonMode = false\n"
                                "  GetDiffViaType = 0\n"),
            std::string::npos)
      << outcome.output;
  EXPECT_NE(outcome.output.find("  GetProbeCount = 1\n  probe 0 = V_TX0_P\n"), std::string::npos) << outcome.output;
  ExpectShotsMatchReferences(dir, {"via-model-type-single-01-no-type"});
}

// The extractor's "Add IC Power Pin..." leaves the keyboard where it was once the host's command returned.
TEST_F(PdnHostProgram, TheExtractorsAddPinButtonKeepsTheKeyboardAfterTheHostsCommand) {
  const Outcome outcome = RunPdnHost("--wizard extractor --open modeless --no-getters --script " +
                                     (SourceDir() / "host/tests/scripts/extractor-add-pin.pdnscript").string());
  EXPECT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
}

// The host loads settings of the current project whose probe section disables every probe into an open wizard in
// board mode whose check passed: in the bypass and via-model wizards (whose objects load themselves) and the
// extractor (through its start page's "Use last configuration", as the decoupling wizard does) Finish's caption then
// reads "Check Data", and a click on it shows the check's message instead of running.
TEST_F(PdnHostProgram, AfterTheHostsLoadFinishsCaptionFollowsTheLoadedRecordsCheck) {
  const std::string settings =
      "[BOARD]\r\nProjectPath=sensor4.brd\r\nBoardIdx=0\r\n[HEADER]\r\nFileVersion=1.0\r\n"
      "[OPTIONS_BW]\r\nMinFreq=1e+06\r\n[OPTIONS_DV]\r\nMinFreq=1e+06\r\n[OPTIONS_ME]\r\nMinFreq=1e+06\r\n"
      "[VIA_PROBES]\r\nPROBE_00 = V1 Disabled \"\" - \"\"\r\n[DIFFVIA_PROBES]\r\nPROBE_00 = V1 Disabled\r\n"
      "[PDN_CHANNEL_PROBES]\r\nSUPPLY_00 = U1.1 Disabled\r\nSUPPLY_01 = U1.13 Disabled\r\n"
      "SUPPLY_02 = U1.24 Disabled\r\nVIA_00 = V1 Disabled\r\n";
  for (const char* wizard : {"bypass", "via-model", "extractor"}) {
    SCOPED_TRACE(wizard);
    const fs::path run = dir / wizard;
    fs::create_directories(run);
    std::ofstream(run / "sensor4.brd") << "board\n";
    std::ofstream(run / "disabled.dao", std::ios::binary) << settings;
    const std::string script = std::string(wizard) + "-load-disabled";
    const Outcome outcome = RunPdnHost(
        "--board " + SampleBoard("sensor4").string() + " --wizard " + wizard +
            " --board-mode --open modeless --fixed-clock --project " + (run / "sensor4.brd").string() + " --script " +
            (SourceDir() / "host/tests/scripts" / (script + ".pdnscript")).string() + " --shots " + run.string(),
        "cd " + run.string() + " && " + PDNHOST_PROGRAM);
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    EXPECT_EQ(outcome.output.find("callback: Run\n"), std::string::npos) << outcome.output;
    if (fs::exists(run / (script + ".png")))  // the bypass script checks its list page without a screenshot
      fs::rename(run / (script + ".png"), dir / (script + ".png"));
  }
  ExpectShotsMatchReferences(dir, {"via-model-load-disabled", "extractor-load-disabled"});
}

// A Lumped decoupling ".dao" with one line changed to name GND as both nets, loaded by the host: Finish on the page
// the wizard opens on shows the net page with its box; the host's Run never gets the pair and the file is not
// written, although "Save settings to file" is ticked.
TEST_F(PdnHostProgram, FinishOnLoadedSettingsThatTheNetPageRefusesShowsItAndNeitherRunsNorSaves) {
  std::ofstream(dir / "demo8.brd") << "board\n";
  const std::string settings = "[BOARD]\r\nProjectPath=demo8.brd\r\nBoardIdx=0\r\nNet1_Name=GND\r\nNet2_Name=GND\r\n"
                               "[HEADER]\r\nFileVersion=1.0\r\n[OPTIONS_DW]\r\nAnalysis=Lumped\r\n";
  std::ofstream(dir / "demo8.dao", std::ios::binary) << settings;
  const Outcome outcome =
      RunPdnHost("--open modeless --save --fixed-clock --project " + (dir / "demo8.brd").string() + " --load " +
                 (dir / "demo8.dao").string() + " --script " +
                 (SourceDir() / "host/tests/scripts/decoupling-load-same-net.pdnscript").string());
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  EXPECT_EQ(outcome.output.find("callback: Run\n"), std::string::npos) << outcome.output;
  EXPECT_EQ(ReadFile(dir / "demo8.dao"), settings);
}

// An extractor file saved with a net's vias comes back on the host's load ("Use last configuration"): the load asks
// the host to select the saved net, the board view then holds that net's vias instead of its own picks, and the
// saved via lines apply to them: the host's Run gets the same ports as when the settings were saved, wherever the
// net line stands.
TEST_F(PdnHostProgram, AReloadedExtractionRunsOnTheSavedPorts) {
  std::ofstream(dir / "demo8.brd") << "board\n";
  auto run = [&](const char* script) {
    return RunPdnHost("--board " + SampleBoard("demo8").string() +
                          " --wizard extractor --open modeless --fixed-clock --project " + (dir / "demo8.brd").string() +
                          " --shots " + dir.string() + " --script " +
                          (SourceDir() / "host/tests/scripts" / (std::string(script) + ".pdnscript")).string(),
                      "cd " + dir.string() + " && " + PDNHOST_PROGRAM);
  };
  auto ports = [](const std::string& output) {
    const size_t start = output.find("  GetProbeCount = ");
    return start == std::string::npos ? std::string() : output.substr(start);
  };
  const Outcome saved = run("extractor-net-save");
  ASSERT_EQ(saved.code, 0) << saved.output << saved.errors;
  EXPECT_NE(saved.output.find("  probe 5 = V_RX0_N\n"), std::string::npos) << saved.output;
  const Outcome loaded = run("extractor-net-load");
  ASSERT_EQ(loaded.code, 0) << loaded.output << loaded.errors;
  EXPECT_NE(ports(saved.output), "");
  EXPECT_EQ(ports(loaded.output), ports(saved.output));
  // The net line moved after the supply lines, or last (a hand edit): the same ports, each once.
  const std::string text = ReadFile(dir / "demo8.dao");
  const std::string netLine = "NET = PCIE_RX0_N\r\n";
  const size_t net = text.find(netLine), firstVia = text.find("VIA_00 = "), lastVia = text.find("VIA_01 = ");
  ASSERT_TRUE(net != std::string::npos && firstVia != std::string::npos && lastVia != std::string::npos) << text;
  for (const size_t before : {firstVia, text.find("\r\n", lastVia) + 2}) {
    std::string moved = text;
    moved.insert(before, netLine);
    moved.erase(net, netLine.size());
    std::ofstream(dir / "demo8.dao", std::ios::binary) << moved;
    const Outcome reloaded = run("extractor-net-load");
    ASSERT_EQ(reloaded.code, 0) << reloaded.output << reloaded.errors;
    EXPECT_EQ(ports(reloaded.output), ports(saved.output)) << moved;
  }
  ExpectShotsMatchReferences(dir, {"extractor-net-save-01-vias", "extractor-net-load-01-vias"});
}

// The extractor on a system of two boards opens with no board chosen, hence no supply-pin ports: once the user
// chooses the 8-layer board its "Select IC Power Pins" step shows that board's picked balls, whether Next or a jump
// through the step list past it leaves the board step, and the host's Run (after Finish there showed the via step)
// gets only the ports the user kept there and the vias, numbered on after them. "Check Data" on the board step shows
// the supply-pin step and runs nothing.
TEST_F(PdnHostProgram, TheExtractorShowsTheSupplyPinStepOfABoardChosenLater) {
  for (const char* script : {"extractor-boards", "extractor-boards-jump"}) {
    SCOPED_TRACE(script);
    const Outcome outcome = RunTwoBoardExtractor(script);
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    EXPECT_NE(outcome.output.find("  GetProbeCount = 3\n  probe 0 = U1.D4\n  probe 1 = V_TX0_N\n  probe 2 = V_TX0_P\n"),
              std::string::npos)
        << outcome.output;
  }
  const Outcome finish = RunTwoBoardExtractor("extractor-boards-finish");
  ASSERT_EQ(finish.code, 0) << finish.output << finish.errors;
  EXPECT_EQ(finish.output.find("callback: Run\n"), std::string::npos) << finish.output;
  ExpectShotsMatchReferences(dir, {"extractor-boards-01-no-board", "extractor-boards-02-supply",
                                   "extractor-boards-03-vias", "extractor-boards-jump-01-supply",
                                   "extractor-boards-finish-01-supply"});
}

// A board chosen after another board's ports were shown: its supply-pin and via steps list ports the user has not
// seen, so "Check Data" and a jump through the step list land on them before anything runs, and the host's Run (once,
// at the end) gets the ports in the order the pages listed them, not in the host's pick order.
TEST_F(PdnHostProgram, TheExtractorShowsThePortsOfEachBoardChosenBeforeItRuns) {
  const Outcome outcome = RunTwoBoardExtractor("extractor-boards-again");
  ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
  const size_t run = outcome.output.find("callback: Run\n");
  EXPECT_GT(run, outcome.output.rfind("click \"Run Analysis\"")) << outcome.output;
  EXPECT_EQ(outcome.output.find("callback: Run\n", run + 1), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("  GetProbeCount = 7\n  probe 0 = U1.D4\n  probe 1 = U1.D7\n  probe 2 = U1.F2\n"
                                "  probe 3 = U1.G4\n  probe 4 = U1.G7\n  probe 5 = V_TX0_N\n"),
            std::string::npos)
      << outcome.output;
  ExpectShotsMatchReferences(dir, {"extractor-boards-again-01-supply"});
}

// A board chosen on the same system and then left keeps nothing of its own in the extractor: the net the host's
// board window picked on it is gone from the via page and from the saved settings, and the board chosen next lists
// its supply pins by name as on a first visit (the host's Run numbers them so).
TEST_F(PdnHostProgram, TheExtractorForgetsTheBoardItLeaves) {
  const Outcome net = RunTwoBoardExtractor("extractor-boards-net");
  ASSERT_EQ(net.code, 0) << net.output << net.errors;
  const std::string saved = ReadFile(dir / "demo8.dao");
  EXPECT_NE(saved.find("[PDN_CHANNEL_PROBES]"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("NET ="), std::string::npos) << saved;
  const Outcome order = RunTwoBoardExtractor("extractor-boards-order");
  ASSERT_EQ(order.code, 0) << order.output << order.errors;
  EXPECT_NE(order.output.find("  probe 0 = U1.D4\n  probe 1 = U1.D7\n  probe 2 = U1.F2\n  probe 3 = U1.G4\n"
                              "  probe 4 = U1.G7\n  probe 5 = V_TX0_N\n"),
            std::string::npos)
      << order.output;
  ExpectShotsMatchReferences(dir, {"extractor-boards-net-01-vias", "extractor-boards-order-01-supply"});
}

// The extractor's board marks follow every change of its via checks, not only a single click: "Uncheck All",
// "Check All" and the host switching a via off while another step is current; in board mode a click in the list.
TEST_F(PdnHostProgram, TheExtractorsBoardMarksFollowEveryCheck) {
  struct Case {
    const char* script;
    const char* options;
    std::vector<const char*> expected;
  };
  const Case cases[] = {
      {"extractor-marks", "",
       {": click \"Uncheck All\"\nmarks: 0\n",
        ": click \"Check All\"\nmarks: 2 at (53.000,32.000) (52.000,32.000)\n",
        "SetViaPortEnabled(V_TX0_N, off) -> true\nmarks: 1 at (52.000,32.000)\n"}},
      {"extractor-marks-list", " --board-mode",
       {": cell 1003 1 1\nmarks: 1 at (52.000,32.000)\n", ": cell 1003 1 1\nmarks: 2 at (52.000,32.000) (53.000,32.000)\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const Outcome outcome = RunPdnHost("--board " + SampleBoard("demo8").string() + c.options +
                                       " --wizard extractor --open modal --fixed-clock --script " +
                                       (SourceDir() / "host/tests/scripts" / c.script).string() + ".pdnscript");
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    for (const char* expected : c.expected)
      EXPECT_NE(outcome.output.find(expected), std::string::npos) << expected << outcome.output;
  }
}

// Names a little longer than the sample boards' read whole: the extractor's via list and "Selected net:" with nets
// that differ in their last character only, on both boards, and the library models GRM155R71C104KA88D and ...88J on
// the capacitor step and in the models dialog (a name that still does not fit shows as the cell's tip).
TEST_F(PdnHostProgram, NamesLongerThanTheSamplesReadWholeOnBothBoards) {
  const fs::path demo8 = dir / "demo8-long.json", sensor4 = dir / "sensor4-long.json";
  ASSERT_TRUE(host::test::WriteLongNamesBoard("demo8.json", demo8.string()));
  ASSERT_TRUE(host::test::WriteLongNamesBoard("sensor4.json", sensor4.string()));
  const auto script = [](const char* name) {
    return (SourceDir() / "host/tests/scripts" / (std::string(name) + ".pdnscript")).string();
  };
  const std::string runs[] = {
      "--board " + demo8.string() + " --wizard extractor --open modeless --script " + script("extractor-long-names"),
      "--board " + sensor4.string() + " --wizard extractor --open modeless --script " +
          script("extractor-long-names-sensor4"),
      "--board " + demo8.string() + " --board " + sensor4.string() + " --dialog models --script " +
          script("models-long-names"),
  };
  for (const std::string& run : runs) {
    const Outcome outcome = RunPdnHost(run + " --fixed-clock --shots " + dir.string());
    ASSERT_EQ(outcome.code, 0) << run << "\n" << outcome.output << outcome.errors;
  }
  ExpectShotsMatchReferences(dir, {"extractor-long-names-01-vias", "extractor-long-names-02-capacitors",
                                   "extractor-long-names-sensor4-01-vias", "extractor-long-names-sensor4-02-capacitors",
                                   "models-long-names-01-demo8", "models-long-names-02-sensor4"});
}

// A chosen output name whose Touchstone extension names another port count than the model's is handed to the host
// and saved with the model's: the via-model wizard's 4-port name after the 2-port differential-mode model was chosen,
// the extractor's 13-port name after its five supply pins were unchecked.
TEST_F(PdnHostProgram, AChosenOutputNameCarriesTheModelsPortCount) {
  const struct {
    const char* wizard;
    const char* name;
  } cases[] = {{"via-model", "viamodel.s2p"}, {"extractor", "model.s8p"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wizard);
    fs::remove(dir / "demo8.dao");
    const Outcome outcome = RunPdnHost(
        "--board " + SampleBoard("demo8").string() + " --wizard " + c.wizard +
            " --open modeless --fixed-clock --project " + project + " --shots " + dir.string() + " --script " +
            (SourceDir() / "host/tests/scripts" / (std::string(c.wizard) + "-output-name.pdnscript")).string());
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    const std::string chosen = (dir / c.name).string();
    EXPECT_NE(outcome.output.find("  GetOutputFileName = " + chosen + "\n"), std::string::npos) << outcome.output;
    EXPECT_NE(ReadFile(dir / "demo8.dao").find("\nOutputFileName=" + chosen + "\r\n"), std::string::npos);
  }
}

// The bypass and via-model wizards outside board mode never take a pick that the board marks not eligible as a via
// (the 8-layer board's supply balls): with none left the record holds no via, the status asks for one and Finish
// checks the data instead of running; the host's Run gets only eligible vias.
TEST_F(PdnHostProgram, TheViaPagesNeverTakeAPickThatIsNotAnEligibleVia) {
  struct Case {
    const char* wizard;
    const char* probes;
    const char* message;
  };
  const Case cases[] = {
      {"via-model", "  GetProbeCount = 2\n  probe 0 = V_TX0_N\n  probe 1 = V_TX0_P\n",
       "messagebox \"Zuvar Erazoduvi Zerovi\": No differential via is selected.\\n -> ok\n"},
      {"bypass", "  GetProbeCount = 1\n  probe 0 = V_DQ1\n",
       "messagebox \"Zuvar Erazoduvi Zerovi\": Via is to be selected for bypass analysis. \\n -> ok\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wizard);
    const std::string script = std::string(c.wizard) + "-supply";
    const Outcome outcome =
        RunPdnHost("--board " + SampleBoard("demo8").string() + " --wizard " + c.wizard +
                   " --open modal --fixed-clock --script " +
                   (SourceDir() / "host/tests/scripts" / (script + ".pdnscript")).string() + " --shots " + dir.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output << outcome.errors;
    EXPECT_NE(outcome.output.find(c.message), std::string::npos) << outcome.output;
    EXPECT_EQ(outcome.output.find("callback: Run\n"), outcome.output.rfind("callback: Run\n")) << outcome.output;
    EXPECT_NE(outcome.output.find(c.probes), std::string::npos) << outcome.output;
  }
  ExpectShotsMatchReferences(dir, {"via-model-supply-01-no-pair", "bypass-supply-01-no-via"});
}

// The bypass, via-model and PDN model-extractor wizards from scripts, each in its board-viewer flavour on a system of
// one board and in its list flavour in board mode, on both sample boards: the saved settings against the golden
// files, the host's log (callbacks, pans, the board view's marks, host events), the getters and every screenshot
// against host/tests/reference/.
TEST_F(PdnHostProgram, TheViaWizardsRunFromTheirScriptsOnBothSampleBoards) {
  struct Case {
    const char* script;
    const char* wizard;
    const char* board;
    const char* how;   // further options
    std::vector<const char*> expected;
    std::vector<const char*> shots;
  };
  const Case cases[] = {
      {"bypass", "bypass", "demo8", "--open modeless",
       {"view: PanTo V_DQ1 mode 3 wizard (", "callback: Run\n", "  GetExportShuntModel = true\n",
        "  GetProbeCount = 1\n  probe 0 = V_DQ1\n"},
       {"bypass-01-via", "bypass-02-start", "bypass-03-capacitors", "bypass-04-target", "bypass-05-easy-custom",
        "bypass-06-custom", "bypass-07-frequency", "bypass-08-finish"}},
      {"via-model", "via-model", "demo8", "--open modeless",
       {"marks: 2 at (52.000,32.000) (53.000,32.000)", "second V_TX0_N", "  GetExportShuntModel = false\n",
        "  GetExportDifferentialMode = true\n  GetExportCommonMode = false\n", "  GetDiffViaType = 1\n",
        "  GetNormalImpedance = 100\n", "probe 0 = V_TX0_P\n  probe 1 = V_TX0_N\n"},
       {"via-model-01-pair", "via-model-02-start", "via-model-03-type", "via-model-04-capacitors",
        "via-model-05-easy-custom", "via-model-06-finish"}},
      {"extractor", "extractor", "demo8", "--open modeless",
       {"SetSelectedNet(CLK_100M) -> true", "IsSelectNetActive() -> true", "IsSelectNetActive() -> false",
        "SetViaPortEnabled(V_TX0_P, off) -> true\nmarks: 1 at (53.000,32.000)",
        "callback: Run\ncallback: MayClose\ncallback: Notify 4 1", "  GetNormalImpedance = 0.5\n",
        "  probe 5 = V_TX0_P\n  probe 6 = V_TX0_N\n"},
       {"extractor-01-supply", "extractor-02-supply-checked", "extractor-03-vias", "extractor-04-net-vias",
        "extractor-05-dragged", "extractor-06-capacitors", "extractor-07-normalisation", "extractor-08-finish"}},
      {"bypass-list", "bypass", "demo8", "--board-mode --open modeless",
       {"callback: Run\n", "  GetProbeCount = 1\n  probe 0 = V_TX0_N\n"},
       {"bypass-list-01-vias", "bypass-list-02-checked", "bypass-list-03-finish"}},
      {"via-model-list", "via-model", "demo8", "--board-mode --open modeless",
       {"callback: Run\n", "  GetDiffViaType = 1\n", "  GetProbeCount = 1\n  probe 0 = V_TX0_P\n"},
       {"via-model-list-01-vias", "via-model-list-02-checked", "via-model-list-03-type"}},
      // A modal extractor whose host Run answers no ends with OK: RunModal answers true.
      {"extractor-list", "extractor", "demo8", "--board-mode --open modal",
       {"RunModal() -> true\ncallback: Run\n", "  probe 0 = U1.D7\n", "  probe 3 = V_TX0_P\n  probe 4 = V_TX0_N\n"},
       {"extractor-list-01-supply", "extractor-list-02-supply-dragged", "extractor-list-03-vias",
        "extractor-list-04-vias-dragged", "extractor-list-05-normalisation"}},
      {"bypass-sensor4", "bypass", "sensor4", "--open modeless",
       {"callback: Run\n", "  probe 0 = V2\n"}, {"bypass-sensor4-01-via", "bypass-sensor4-02-capacitors"}},
      {"via-model-sensor4", "via-model", "sensor4", "--open modeless",
       {"marks: 1 at (24.000,27.000)", "  GetDiffViaType = 0\n", "  GetNormalImpedance = 75\n", "  probe 0 = V1\n"},
       {"via-model-sensor4-01-via", "via-model-sensor4-02-type", "via-model-sensor4-03-capacitors"}},
      {"extractor-sensor4", "extractor", "sensor4", "--board-mode --open modeless",
       {"callback: Run\n", "  GetNormalImpedance = 1\n", "  probe 3 = V1\n"},
       {"extractor-sensor4-01-supply", "extractor-sensor4-02-vias", "extractor-sensor4-03-capacitors"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const fs::path run = dir / c.script;
    fs::create_directories(run);
    const fs::path project = run / (std::string(c.board) + ".brd");
    std::ofstream(project) << "board\n";
    const Outcome outcome =
        RunPdnHost(std::string("--board ") + SampleBoard(c.board).string() + " --wizard " + c.wizard + " " + c.how +
                   " --fixed-clock --project " + project.string() + " --script " +
                   (SourceDir() / "host/tests/scripts" / (std::string(c.script) + ".pdnscript")).string() +
                   " --shots " + run.string());
    ASSERT_EQ(outcome.code, 0) << outcome.output;
    EXPECT_EQ(outcome.errors, "");
    for (const char* line : c.expected)
      EXPECT_NE(outcome.output.find(line), std::string::npos) << line << "\n" << outcome.output;
    // The bypass record names its project file by its full path: the run's folder is left out of the comparison.
    std::string saved = ReadFile(run / (std::string(c.board) + ".dao"));
    for (size_t at; (at = saved.find(run.string() + "/")) != std::string::npos;)
      saved.erase(at, run.string().size() + 1);
    EXPECT_EQ(saved, ReadFile(SourceDir() / "host/tests/golden" / (std::string(c.script) + ".dao")));
    ExpectShotsMatchReferences(run, c.shots);
  }
}

// The decoupling wizard's steps to a Quick analysis of GND and VDD_IO, on its finish page with a CSV report.
const char* const kQuickOfVddIo = "click \"Next >\"\npick 1005 \"VDD_IO\"\nclick \"==>\"\npick 1005 \"GND\"\n"
                                  "click \"==>\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Quick Analysis\"\n"
                                  "click \"Next >\"\nclick 1212\n";
const char* const kToTheFinishPage = "click \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\nclick \"Next >\"\n";

// A run that loads the settings saved before and ends with "Save && Run": the board section is taken (the nets), the
// host's Run gets the report as chosen, the old report there is deleted before the run, and the user's file `kept`
// still holds `keptText`.
void ExpectTheReportComesBackAsChosen(const std::string& arguments, const std::string& report, const fs::path& kept,
                                      const std::string& keptText) {
  std::ofstream(report) << "an old report\n";
  const Outcome loaded = RunPdnHost(arguments);
  ASSERT_EQ(loaded.code, 0) << loaded.output;
  EXPECT_NE(loaded.output.find("  QuerySecondNet = VDD_IO\n"), std::string::npos) << loaded.output;
  EXPECT_NE(loaded.output.find("  GetDRCReportFile = " + report + "\n"), std::string::npos) << loaded.output;
  EXPECT_FALSE(fs::exists(report));
  EXPECT_EQ(ReadFile(kept), keptText);
}

// A project in <dir>/a beside a folder <dir>/A: a report and a settings file chosen in A, by each door that names
// them, are saved and loaded back, by each door that loads, as chosen. The ".dao" names the report by its full path
// (it stored the bare name, which loads into a/), the finish page shows it, the host's Run gets it, and "Save && Run"
// deletes the old report in A and never the user's own a/report.csv; the board section is taken (the nets).
TEST_F(PdnHostProgram, AReportAndSettingsFileInAFolderDifferingOnlyInCaseComeBackAsChosen) {
  const fs::path a = dir / "a", A = dir / "A";
  fs::create_directories(a);
  fs::create_directories(A);
  const std::string projectInA = (a / "demo8.brd").string();
  std::ofstream(projectInA) << "board\n";
  const std::string report = (A / "report.csv").string(), settings = (A / "demo8.dao").string();
  const std::string browseSettings = "answer save " + settings + "\nclick 1067\n";
  const std::string shown = "expect text 1213 \"" + report + "\"\n",
                    shownSettings = "expect text 1066 \"" + settings + "\"\n";
  const std::string run = "click \"Save && Run\"\nexpect log \"callback: Run\"\n";
  struct Door {
    const char* what;
    std::string options, script;
  };
  const Door saves[] = {
      {"the finish page's Browse", "",
       kQuickOfVddIo + ("answer open " + report + "\nclick 1214\n") + browseSettings + shown + shownSettings + run},
      // The host's name reaches the record at its Run.
      {"the host's report name", " --drc-report " + report,
       kQuickOfVddIo + browseSettings + shownSettings + "call Run\nexpect log \"callback: Run\"\n"},
  };
  const Door loads[] = {
      {"the start page's Load...", "",
       "click \"Load saved configuration\"\nanswer open " + settings + "\nclick \"Load...\"\n" + kToTheFinishPage +
           shown + shownSettings + run},
      {"the host's load", " --load " + settings, kToTheFinishPage + shown + run},
  };
  const std::string common = "--open modeless --save --fixed-clock --project " + projectInA;
  for (const Door& save : saves) {
    for (const Door& load : loads) {
      SCOPED_TRACE(std::string(save.what) + ", " + load.what);
      fs::remove(settings);
      std::ofstream(a / "report.csv") << "the user's own report\n";
      const fs::path script = dir / "paths.pdnscript";
      std::ofstream(script) << save.script;
      const Outcome saved = RunPdnHost(common + save.options + " --script " + script.string());
      ASSERT_EQ(saved.code, 0) << saved.output;
      EXPECT_NE(saved.output.find("  GetDRCReportFile = " + report + "\n"), std::string::npos) << saved.output;
      const std::string file = ReadFile(settings);
      EXPECT_NE(file.find("ProjectPath=" + projectInA + "\r\n"), std::string::npos) << file;
      EXPECT_NE(file.find("DRCReportFile=" + report + "\r\n"), std::string::npos) << file;

      std::ofstream(script) << load.script;
      ExpectTheReportComesBackAsChosen(common + load.options + " --script " + script.string(), report,
                                       a / "report.csv", "the user's own report\n");
    }
  }
}

// A report path the host sets (SetDRCReportFile) names one file at every Run: a relative path is read against the
// project's folder, whole (its folders kept), at the host's Run, at the Run after the settings it saved are loaded,
// and at the Run after a settings file of earlier versions (or a hand edit) that holds the path itself is loaded;
// the finish page judges that file (an old report there is deleted before the Run, a path whose folder is missing
// is refused with its box and nothing runs). pdnhost runs in a working folder that holds a file under every
// spelling, none of which, nor any other file of the project's folder, is touched.
TEST_F(PdnHostProgram, AReportPathTheHostSetsNamesOneFileBeforeAndAfterAReload) {
  const fs::path proj = dir / "proj", here = dir / "work" / "here", full = dir / "full";
  for (const fs::path& folder : {proj / "sub", here / "sub", here / "nosub", full})
    fs::create_directories(folder);
  const std::string projectFile = (proj / "demo8.brd").string(), settings = (proj / "demo8.dao").string();
  std::ofstream(projectFile) << "board\n";
  const struct {
    std::string spelling;
    std::string file;   // the file it names, as the host gets it
    bool refused;       // its folder is missing: the finish page refuses it
  } rows[] = {
      {"rep.csv", (proj / "rep.csv").string(), false},
      {"sub/r.csv", (proj / "sub/r.csv").string(), false},
      {"../r.csv", (proj / "../r.csv").string(), false},
      {"./r.csv", (proj / "r.csv").string(), false},
      {"run-12:30.csv", (proj / "run-12:30.csv").string(), false},
      {(full / "r.csv").string(), (full / "r.csv").string(), false},
      {"nosub/r.csv", (proj / "nosub/r.csv").string(), true},
  };
  // Every file any spelling could name, read against the project's folder or the working folder.
  std::vector<fs::path> files;
  for (const fs::path& folder : {proj, here})
    for (const char* name : {"rep.csv", "r.csv", "sub/r.csv", "../r.csv", "run-12:30.csv"})
      files.push_back(folder / name);
  files.push_back(here / "nosub/r.csv");
  files.push_back(full / "r.csv");
  const std::string program = "cd " + here.string() + " && " + PDNHOST_PROGRAM;
  const std::string common = "--open modeless --fixed-clock --project " + projectFile + " --save";
  const std::string run = "call Run\n";
  const fs::path script = dir / "report.pdnscript", earlier = proj / "earlier.dao";
  // A settings file of the Quick analysis, whose report line each row replaces, as earlier versions stored it.
  std::ofstream(script) << kQuickOfVddIo << run;
  ASSERT_EQ(RunPdnHost(common + " --script " + script.string(), program).code, 0);
  const std::string saved = ReadFile(settings);
  const size_t line = saved.find("DRCReportFile="), lineEnd = saved.find("\r\n", line);
  ASSERT_NE(line, std::string::npos) << saved;

  for (const auto& row : rows) {
    SCOPED_TRACE(row.spelling);
    std::string stored = saved;
    stored.replace(line, lineEnd - line, "DRCReportFile=" + row.spelling);
    std::ofstream(earlier, std::ios::binary | std::ios::trunc) << stored;
    struct Step {
      const char* what;
      std::string options, script;
    };
    const std::vector<Step> steps = {
        {"the host's Run", " --drc-report \"" + row.spelling + "\"", kQuickOfVddIo},
        {"the Run after the load of what it saved", " --load " + settings, kToTheFinishPage},
        {"the Run after the load of an earlier file", " --load " + earlier.string(), kToTheFinishPage},
    };
    for (const Step& step : steps) {
      SCOPED_TRACE(step.what);
      if (row.refused && step.options.rfind(" --load " + settings, 0) == 0)
        continue;   // a refused Finish saved nothing
      for (const fs::path& file : files)
        std::ofstream(file, std::ios::binary | std::ios::trunc) << file.string();
      // A refused path: the report is switched off after the box, so that the close leaves the page.
      std::ofstream(script) << step.script << (row.refused ? "answer message ok\n" + run + "click 1185\n" : run);
      const Outcome outcome = RunPdnHost(common + step.options + " --script " + script.string(), program);
      ASSERT_EQ(outcome.code, 0) << outcome.output;
      if (row.refused) {
        EXPECT_NE(outcome.output.find("File \"" + row.file + "\" can't be owerriten."), std::string::npos)
            << outcome.output;
        EXPECT_EQ(outcome.output.find("callback: Run"), std::string::npos) << outcome.output;
      } else {
        EXPECT_NE(outcome.output.find("callback: Run"), std::string::npos) << outcome.output;
        EXPECT_NE(outcome.output.find("  GetDRCReportFile = " + row.file + "\n"), std::string::npos) << outcome.output;
      }
      for (const fs::path& file : files) {
        const bool named = fs::path(row.file).lexically_normal() == file.lexically_normal();
        if (named && !row.refused)
          EXPECT_FALSE(fs::exists(file)) << file << ": the old report is deleted before the Run";
        else
          EXPECT_EQ(ReadFile(file), file.string()) << file << " is not touched";
      }
    }
  }
}

// A report chosen on the finish page as "run-12:30.csv", in the folder of a project named "x:demo8.brd", is saved,
// loaded back by each door that loads, shown, handed to the host's Run whole and deleted before the run; the user's
// own "30.csv" beside it is never touched, and the board section is taken (the nets).
TEST_F(PdnHostProgram, NamesHoldingAColonComeBackWhole) {
  const fs::path folder = dir / "p";
  fs::create_directories(folder);
  const std::string projectFile = (folder / "x:demo8.brd").string(), settings = (folder / "x:demo8.dao").string();
  std::ofstream(projectFile) << "board\n";
  const std::string report = (folder / "run-12:30.csv").string();
  const std::string shown = "expect text 1213 \"run-12:30.csv\"\n";
  const std::string run = "click \"Save && Run\"\nexpect log \"callback: Run\"\n";
  const std::string common = "--open modeless --save --fixed-clock --project " + projectFile;
  const fs::path script = dir / "colon.pdnscript";
  std::ofstream(script) << kQuickOfVddIo << "answer open " << report << "\nclick 1214\n" << shown << run;
  const Outcome saved = RunPdnHost(common + " --script " + script.string());
  ASSERT_EQ(saved.code, 0) << saved.output;
  EXPECT_NE(saved.output.find("  GetDRCReportFile = " + report + "\n"), std::string::npos) << saved.output;
  const std::string file = ReadFile(settings);
  EXPECT_NE(file.find("ProjectPath=" + projectFile + "\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("DRCReportFile=run-12:30.csv\r\n"), std::string::npos) << file;

  const struct {
    std::string options, script;
  } loads[] = {
      {"", "click \"Load saved configuration\"\nanswer open " + settings + "\nclick \"Load...\"\n" + kToTheFinishPage},
      {" --load " + settings, kToTheFinishPage},
  };
  for (const auto& load : loads) {
    SCOPED_TRACE(load.script);
    std::ofstream(folder / "30.csv") << "the user's own file\n";
    std::ofstream(script) << load.script << shown << run;
    ExpectTheReportComesBackAsChosen(common + load.options + " --script " + script.string(), report, folder / "30.csv",
                                     "the user's own file\n");
  }
}

// A project path with a doubled separator ("--project <dir>//demo8.brd") takes its own settings file, which lies in
// the same folder whichever way its path is written: the decoupling wizard's nets, the bypass wizard's via.
TEST_F(PdnHostProgram, AProjectPathWithADoubledSeparatorTakesItsOwnSettingsFile) {
  const std::string doubled = dir.string() + "//demo8.brd", settings = (dir / "demo8.dao").string();
  const fs::path script = dir / "doubled.pdnscript";
  std::ofstream(script) << kQuickOfVddIo << "click \"Save && Run\"\n";
  const std::string decoupling = "--open modeless --fixed-clock --project " + doubled + " --script " + script.string();
  ASSERT_EQ(RunPdnHost(decoupling + " --save").code, 0);
  std::ofstream(script) << "click \"Load saved configuration\"\nanswer open " << settings << "\nclick \"Load...\"\n";
  const Outcome loaded = RunPdnHost(decoupling);
  ASSERT_EQ(loaded.code, 0) << loaded.output;
  EXPECT_NE(loaded.output.find("  QuerySecondNet = VDD_IO\n"), std::string::npos) << loaded.output;

  // The bypass save stores the project's full path as it was written; a load for the path written otherwise reads
  // the via back.
  const fs::path board = dir / "demo8.json";
  ASSERT_TRUE(host::test::WriteDemo8WithPick(board, "V_DQ1"));
  const std::string bypass = "--board " + board.string() +
                             " --board-mode --wizard bypass --open modeless --fixed-clock --shots " + dir.string() +
                             " --script " + (SourceDir() / "host/tests/scripts").string();
  fs::remove(settings);
  ASSERT_EQ(RunPdnHost(bypass + "/bypass-list-pair.pdnscript --project " + project).code, 0);
  const Outcome via = RunPdnHost(bypass + "/bypass-list-load.pdnscript --project " + doubled + " --load " + settings);
  ASSERT_EQ(via.code, 0) << via.output;
  EXPECT_NE(via.output.find("  GetProbeCount = 1\n  probe 0 = V_DQ1\n"), std::string::npos) << via.output;
}

}  // namespace
