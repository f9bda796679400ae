// pdnhost at its boundary with the user: bad board files and names, the module's view of the texts, and where a
// script may write.
#include "host/tests/HostTestBoards.h"
#include "host/tests/PdnHostRun.h"
#include "platform/base/tests/TempDir.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using host::test::RunProgram;

class PdnHostBoundary : public ::testing::Test {
protected:
  PdnHostBoundary() {
    dir = MakeTempFolder("brim_pdnhost_boundary");
  }
  ~PdnHostBoundary() override {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  }
  fs::path dir;
};

// Numbers beyond the double range once ended the program with an uncaught exception (exit 134).
TEST_F(PdnHostBoundary, ABoardNumberBeyondTheDoubleRangeIsABoardError) {
  for (const char* number : {R"("thickness": 1e999)", R"("thickness": -1e400)"}) {
    const std::string board =
        Write("huge.json", std::string(R"({"name": "b", "layers": [{"name": "T", "kind": "signal", )") + number +
                               "}], \"nets\": []}");
    const auto run = RunProgram("--board " + board);
    EXPECT_EQ(run.code, 2) << run.errors;
    EXPECT_NE(run.errors.find("pdnhost: " + board + ":1:"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("number overflow"), std::string::npos) << run.errors;
  }
}

// A device was read until memory ran out and a FIFO without a writer hung the program; neither is read now, nor a
// file above the stated size (a sparse one here).
TEST_F(PdnHostBoundary, OnlyRegularBoardFilesUpToTheirLimitAreRead) {
  ASSERT_EQ(::mkfifo((dir / "fifo.json").c_str(), 0600), 0);
  {
    std::ofstream big(dir / "big.json", std::ios::binary);
    big << "{";
    big.seekp(static_cast<std::streamoff>(256u << 20));
    big << "}";
  }
  // A script likewise.
  const auto script = RunProgram("--open modeless --script " + (dir / "fifo.json").string());
  EXPECT_EQ(script.code, 2);
  EXPECT_NE(script.errors.find("fifo.json: is not a regular file"), std::string::npos) << script.errors;
  for (const auto& [board, what] : {std::pair<std::string, std::string>{"/dev/zero", "is not a regular file"},
                                    {(dir / "fifo.json").string(), "is not a regular file"},
                                    {dir.string(), "is not a regular file"},
                                    {(dir / "big.json").string(), "is larger than 268435456 bytes"}}) {
    const auto run = RunProgram("--board " + board);
    EXPECT_EQ(run.code, 2) << board;
    EXPECT_NE(run.errors.find("pdnhost: " + board + ": " + what + "\n"), std::string::npos) << run.errors;
  }
}

// A screenshot stays inside the --shots folder: "..", absolute names and links that lead out of it are refused.
TEST_F(PdnHostBoundary, ScreenshotsStayInTheShotsFolder) {
  const fs::path shots = dir / "shots";
  const fs::path outside = dir / "outside";
  fs::create_directories(shots / "pages");
  fs::create_directories(outside);
  fs::create_directory_symlink(outside, shots / "link");
  const std::string script = Write("script.txt", "screenshot pages/01.png\nscreenshot link/02.png\n");
  // A name the picture cannot take says why.
  const auto folder = RunProgram("--no-getters --open modeless --script " + Write("folder.txt", "screenshot pages\n") +
                                 " --shots " + shots.string());
  EXPECT_NE(folder.errors.find("folder.txt:1: cannot write the screenshot " + (shots / "pages").string() +
                               ": Is a directory."),
            std::string::npos)
      << folder.errors;
  const auto run = RunProgram("--no-getters --open modeless --script " + script + " --shots " + shots.string());
  EXPECT_EQ(run.code, 4) << run.errors;
  EXPECT_TRUE(fs::exists(shots / "pages/01.png"));
  EXPECT_FALSE(fs::exists(outside / "02.png"));
  EXPECT_NE(run.errors.find("script.txt:2: screenshot link/02.png: leads out of the --shots folder"),
            std::string::npos)
      << run.errors;

  const std::string escaping = Write("escape.txt", "screenshot ../../x.png\n");
  const auto refused = RunProgram("--no-getters --open modeless --script " + escaping + " --shots " + shots.string());
  EXPECT_EQ(refused.code, 2) << refused.errors;
  EXPECT_NE(refused.errors.find("escape.txt:1: screenshot ../../x.png: a file name with \"..\" leaves the --shots folder"),
            std::string::npos)
      << refused.errors;
  EXPECT_FALSE(fs::exists(dir.parent_path() / "x.png"));
}

// A screenshot name the system cannot take (a name longer than 255 bytes, a path past the longest one) is refused
// with the system's reason; it read as a name leading out of the --shots folder.
TEST_F(PdnHostBoundary, AScreenshotNameTheSystemCannotTakeSaysWhy) {
  const fs::path shots = dir / "shots";
  fs::create_directories(shots);
  std::string deep;
  for (int i = 0; i < 21; ++i) deep += std::string(200, 'd') + "/";   // folders of lawful names, 4221 bytes in all
  for (const std::string& name : {std::string(252, 'n') + ".png", deep + "x.png"}) {
    SCOPED_TRACE(name.size());
    const auto run = RunProgram("--no-getters --open modeless --script " + Write("long.txt", "screenshot " + name + "\n") +
                                " --shots " + shots.string());
    EXPECT_EQ(run.code, 4) << run.errors;
    EXPECT_NE(run.errors.find("long.txt:1: cannot write the screenshot " + (shots / name).string() +
                              ": File name too long."),
              std::string::npos)
        << run.errors;
    EXPECT_EQ(run.errors.find("leads out"), std::string::npos) << run.errors;
  }
  EXPECT_TRUE(fs::is_empty(shots));
}

// A differential pair is one relation between two vias: a via whose partner names another via, or that a second
// via names too, is a board error at its place. Such a board was read, and each end of the "pair" led elsewhere.
TEST_F(PdnHostBoundary, ADifferentialPairIsOneRelationBetweenTwoVias) {
  auto board = [&](const std::string& vias) {
    return Write("pairs.json", R"({"name": "b", "layers": [{"name": "T", "kind": "signal", "thickness": 0.035},
      {"name": "B", "kind": "signal", "thickness": 0.035}], "nets": [{"name": "S", "type": "signal"}], "vias": [)" +
                                   vias + "]}\n");
  };
  auto via = [](const char* id, const char* partner) {
    return std::string(R"({"id": ")") + id + R"(", "net": "S", "at": [1, 1], "size": 0.2, "connected": ["T", "B"])" +
           (partner ? std::string(R"(, "partner": ")") + partner + "\"" : std::string()) + "}";
  };
  const std::pair<std::string, std::string> cases[] = {
      {via("P", "N") + ", " + via("N", "X") + ", " + via("X", "N"),
       ": /vias/0/partner: expected the id of a via whose partner is this via (it names \"X\"), found the text \"N\""},
      {via("P", "N") + ", " + via("N", nullptr) + ", " + via("Q", "N"),
       ": /vias/2/partner: expected the id of a via that no other via names as its partner, found the text \"N\""},
  };
  for (const auto& [vias, message] : cases) {
    const std::string file = board(vias);
    const auto run = RunProgram("--board " + file);
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.errors.rfind("pdnhost: " + file + ":2:", 0), 0u) << run.errors;
    EXPECT_NE(run.errors.find(message), std::string::npos) << run.errors;
  }
  // Both ends naming each other, or one end naming the other, is a pair.
  for (const std::string& vias : {via("P", "N") + ", " + via("N", "P"), via("P", "N") + ", " + via("N", nullptr)})
    EXPECT_EQ(RunProgram("--no-getters --board " + board(vias)).code, 0) << vias;
}

// Bytes that are no UTF-8 in the words of the command line and in the names of the files it gives are shown by
// their numbers in what pdnhost prints; they reached the terminal as they were.
TEST_F(PdnHostBoundary, BytesThatAreNoUtf8OnTheCommandLineAreShownByTheirNumbers) {
  const std::string board = (dir / "b\xFE.json").string();
  fs::copy_file(host::test::SampleBoard("sensor4.json"), board);
  const std::string script = Write("s\xFD.txt", "frob\n");
  const std::string shot = Write("shot.txt", "screenshot 01.png\n");
  const std::string taken = Write("x\xFC", "a file\n");
  const std::pair<std::string, std::string> cases[] = {
      {"--wizard '\xFF'", "pdnhost: --wizard: expected decoupling, bypass, via-model or extractor, found \"\\xFF\"\n"},
      {"--frob\xFF", "pdnhost: unknown option \"--frob\\xFF\"\n"},
      {"--board " + (dir / "n\xFF.json").string(),
       "pdnhost: " + dir.string() + "/n\\xFF.json: cannot be opened for reading (No such file or directory)\n"},
      {"--library " + (dir / "l\xFF.so").string(), "pdnhost: cannot load the module library " + dir.string() + "/l\\xFF.so: "},
      {"--board " + board + " --open modeless --script '" + script + "'",
       "pdnhost: " + dir.string() + "/s\\xFD.txt:1: unknown step \"frob\""},
      {"--board " + board + " --open modeless --script " + shot + " --shots " + taken,
       "pdnhost: --shots: the folder \"" + dir.string() + "/x\\xFC\", where the script's screenshots go, is not a folder"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(arguments);
    const auto run = RunProgram(arguments);
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.errors.rfind(message, 0), 0u) << run.errors;
    EXPECT_EQ(run.errors.find_first_of("\xFF\xFE\xFD"), std::string::npos) << run.errors;
  }
  const auto shown = RunProgram("--board " + board + " --no-getters");
  EXPECT_EQ(shown.code, 0) << shown.errors;
  EXPECT_EQ(shown.output.rfind("board: " + dir.string() + "/b\\xFE.json (Sensor board 4L", 0), 0u) << shown.output;
}

// A --shots folder that cannot take the script's screenshots is refused before anything runs: the wizard once ran
// and saved its settings, and the run failed half done at the first screenshot.
TEST_F(PdnHostBoundary, AShotsFolderThatCannotTakeTheScreenshotsIsRefusedBeforeTheRun) {
  std::ofstream(dir / "demo8.brd") << "board\n";
  const std::string script = Write("shots.txt", "screenshot 01.png\n");
  const std::string file = Write("taken", "a file\n");
  for (const auto& [shots, reason] : {std::pair<std::string, std::string>{file, "is not a folder"},
                                      {file + "/pages", "cannot be made (Not a directory)"}}) {
    SCOPED_TRACE(shots);
    const auto run = RunProgram("--no-getters --open modeless --save --project " + (dir / "demo8.brd").string() +
                                " --script " + script + " --shots " + shots);
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.errors,
              "pdnhost: --shots: the folder \"" + shots + "\", where the script's screenshots go, " + reason + "\n");
    EXPECT_EQ(run.output, "");
    EXPECT_FALSE(fs::exists(dir / "demo8.dao"));
  }
  // A folder that is not there yet is made; a script without screenshots needs none.
  const auto made = RunProgram("--no-getters --open modeless --script " + script + " --shots " + (dir / "new/shots").string());
  EXPECT_EQ(made.code, 0) << made.errors;
  EXPECT_TRUE(fs::exists(dir / "new/shots/01.png"));
  const std::string click = Write("click.txt", "click \"Next >\"\n");
  EXPECT_EQ(RunProgram("--no-getters --open modeless --script " + click + " --shots " + file).code, 0);
}

// A model folder that is not there or is a file is refused before the module loads: the editor once opened with
// an empty list of model files, as if the folder held none.
TEST_F(PdnHostBoundary, AModelFolderThatCannotBeListedIsRefused) {
  const std::string file = Write("models.txt", "no folder\n");
  for (const auto& [folder, reason] :
       {std::pair<std::string, std::string>{(dir / "none").string(), "cannot be listed (No such file or directory)"},
        {file, "is not a folder"}}) {
    const auto run = RunProgram("--dialog models --model-dir " + dir.string() + " --model-dir " + folder);
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.errors, "pdnhost: --model-dir: the folder \"" + folder + "\" " + reason + "\n");
    EXPECT_EQ(run.output, "");
  }
}

// A relative model directory is made absolute where pdnhost takes it, so the editor's paths name the files from
// whatever working folder the module resolves them in.
TEST_F(PdnHostBoundary, ARelativeModelDirectoryReachesTheEditorAbsolute) {
  fs::create_directories(dir / "models");
  fs::copy_file(fs::path(PDNHOST_PROGRAM).parent_path() / "samples/models/cap_100n_0402.s2p",
                dir / "models/cap_100n_0402.s2p");
  // A two-port file read as one: its series or shunt controls show, not "Invalid format of model file!".
  const std::string script = Write("touchstone.txt", "click \"Touchstone\"\npick 1086 \"cap_100n_0402.s2p\"\n"
                                                     "expect state \"Autodetect\" visible\n");
  const auto run = RunProgram("--dialog editor --capacitor C57 --model-dir models --script " + script,
                              "cd " + dir.string() + " && " + PDNHOST_PROGRAM);
  EXPECT_EQ(run.code, 0) << run.errors;
  EXPECT_NE(run.output.find("SetModelDirectories(" + (dir / "models").string() + "/)"), std::string::npos)
      << run.output;
}

// In a system of two boards each board's pins are judged with that board's own geometry: the 4-layer board's
// VDD_1V2 pin U1.24 becomes a port whether the board comes first or second (as second it once met the 8-layer
// board's planes and was refused).
TEST_F(PdnHostBoundary, EachBoardOfASystemIsJudgedWithItsOwnGeometry) {
  const fs::path boards = fs::path(PDNHOST_PROGRAM).parent_path() / "samples/boards";
  const fs::path scripts = fs::path(std::getenv("BRIM_SOURCE_DIR") ? std::getenv("BRIM_SOURCE_DIR") : "..") /
                           "host/tests/scripts";
  for (const auto& [first, second, row] : {std::tuple{"demo8", "sensor4", 2}, {"sensor4", "demo8", 1}}) {
    SCOPED_TRACE(first);
    const fs::path run = dir / first;
    fs::create_directories(run);
    std::ofstream(run / "sensor4.brd") << "board\n";
    const auto outcome = RunProgram(
        "--board " + (boards / (std::string(first) + ".json")).string() + " --board " +
        (boards / (std::string(second) + ".json")).string() + " --open modeless --save --project " +
        (run / "sensor4.brd").string() + " --shots " + run.string() + " --script " +
        (scripts / ("decoupling-sensor4-row" + std::to_string(row) + ".pdnscript")).string());
    ASSERT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_NE(outcome.output.find("  GetBoardIndex = " + std::to_string(row - 1) + "\n"), std::string::npos);
    EXPECT_NE(outcome.output.find("  GetProbeCount = 1\n  probe 0 = U1.24\n"), std::string::npos) << outcome.output;
    std::ifstream dao(run / "sensor4.dao");
    std::stringstream settings;
    settings << dao.rdbuf();
    EXPECT_NE(settings.str().find("PROBE_00 = U1.24 Enabled"), std::string::npos) << settings.str();
  }
}

// The module's help calls reach the host: each is a callback line naming the file, command and topic.
TEST_F(PdnHostBoundary, HelpCallsAreLoggedAsCallbackLines) {
  const std::string wizard = Write("wizard.txt", "click \"Help\"\nexpect log \"callback: Help \\\"pdn_help\\\" 0 \"\n");
  const auto run = RunProgram("--help-file pdn_help --no-getters --open modal --script " + wizard);
  EXPECT_EQ(run.code, 0) << run.errors;
  EXPECT_NE(run.output.find("step 1: click \"Help\"\ncallback: Help \"pdn_help\" 0 "), std::string::npos) << run.output;

  const std::string groups = Write("groups.txt", "click \"Help\"\n");
  const auto dialog = RunProgram("--dialog groups --script " + groups);
  EXPECT_EQ(dialog.code, 0) << dialog.errors;
  EXPECT_NE(dialog.output.find("step 1: click \"Help\"\ncallback: Help \""), std::string::npos) << dialog.output;
}

// Steps name where a control is ("in dialog", "in pane"): the model editor's id 1141 is the dialog's "Includes Via
// Mounting" and its Touchstone pane's "Compatible files only", and each is reached; a hidden control can be
// expected hidden (it was looked for among the visible ones only, so that never passed).
TEST_F(PdnHostBoundary, StepsReachControlsByTheirPaneAndFindHiddenOnes) {
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  const auto run = RunProgram("--dialog editor --capacitor C57 --script " +
                              (source / "host/tests/scripts/editor-scopes.pdnscript").string());
  EXPECT_EQ(run.code, 0) << run.errors;
  const std::string wrong = Write("wrong.txt", "click \"Touchstone\"\nexpect state 1141 checked in pane\n");
  const auto refused = RunProgram("--dialog editor --capacitor C57 --script " + wrong);
  EXPECT_EQ(refused.code, 4);
  EXPECT_NE(refused.errors.find("wrong.txt:2: control 1141 in pane is not checked"), std::string::npos)
      << refused.errors;
}

// Injected clicks and Tab take turns between two fields: each click brings the focus back to its field (two steps'
// clicks on one spot once paired into a double click, which left the focus where Tab had put it).
TEST_F(PdnHostBoundary, InjectedClicksMoveTheFocusAfterTabMovedIt) {
  const fs::path source = std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
  for (const char* mode : {"modal", "modeless"}) {
    const auto run = RunProgram(std::string("--open ") + mode + " --script " +
                                (source / "host/tests/scripts/decoupling-focus.pdnscript").string());
    EXPECT_EQ(run.code, 0) << run.errors;
    // The modeless wizard stores its page when the host closes it; the modal one is cancelled.
    if (std::string(mode) == "modeless") {
      EXPECT_NE(run.output.find("  GetMinFreq = 250000\n  GetMaxFreq = 2.5e+08\n"), std::string::npos) << run.output;
    }
  }
}

// A bad script line is named with its file and line and quoted in UTF-8 whatever it holds: bytes that are no UTF-8
// by their numbers, a word the module's code page has as the user wrote it (both once reached the terminal as raw
// bytes, the second after its conversion to the code page), and nothing opens.
TEST_F(PdnHostBoundary, BadScriptLinesAreQuotedInUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"click \"\xFF\xFE\"\n", ":1: \"\\xFF\\xFE\" is not UTF-8 or has a character"},
      {"# B\xC3\xBCro\nclick B\xC3\xBCro\n", ":2: expected a control id (a number up to 65535) or a caption in quotes, "
                                          "found \"B\xC3\xBCro\""},
      {"expect state 1065 gepr\xC3\xBC" "ft\n", ":1: expected enabled, disabled, checked, unchecked, visible, hidden or "
                                           "focused, found \"gepr\xC3\xBC" "ft\""},
      {"key \xC3\xA9\n", ":1: unknown key \"\xC3\xA9\""},
      {"click 1065 in \xC3\xA9\n", ":1: expected dialog, pane, a control id or a caption in quotes after \"in\", found "
                                "\"\xC3\xA9\""},
      {"type 1017 \"\\\xC3\xA9\"\n", ":1: unknown escape \\ before the byte \\xC3 in a quoted text"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    const std::string script = Write("bad.txt", text);
    const auto run = RunProgram("--open modeless --script " + script);
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.errors.find("pdnhost: " + script + message), std::string::npos) << run.errors;
    EXPECT_EQ(run.output.find("CreateModeless"), std::string::npos) << run.output;
  }
}

// A script that an editor saved with a byte-order mark runs as without it (its first step was refused as a word
// that is no UTF-8 of the code page); one inside a line is still refused.
TEST_F(PdnHostBoundary, AScriptSavedWithAByteOrderMarkRuns) {
  const std::string marked = Write("marked.txt", "\xEF\xBB\xBF" "click \"Next >\"\nexpect state 1005 visible\n");
  const auto run = RunProgram("--no-getters --open modeless --script " + marked);
  EXPECT_EQ(run.code, 0) << run.errors;
  EXPECT_NE(run.output.find("step 1: click \"Next >\"\n"), std::string::npos) << run.output;
  const std::string inside = Write("inside.txt", "click \"Next >\"\n\xEF\xBB\xBF" "click \"Next >\"\n");
  const auto refused = RunProgram("--no-getters --open modeless --script " + inside);
  EXPECT_EQ(refused.code, 2);
  EXPECT_NE(refused.errors.find("inside.txt:2: "), std::string::npos) << refused.errors;
}

// A click "at X Y" beyond its control's size fails the step, naming the control's size: it clicked
// whatever lay there instead (another control, or nothing) and the run went on as if it had hit.
TEST_F(PdnHostBoundary, APointOutsideItsControlFailsTheStep) {
  for (const char* step : {"click \"Save settings to file\" at 5 900", "click 1065 at 4000 2",
                           "click \"Next >\" at 0 99999"}) {
    SCOPED_TRACE(step);
    const std::string script = Write("point.txt", std::string(step) + "\nclick \"Next >\"\n");
    const auto run = RunProgram("--no-getters --open modeless --script " + script);
    EXPECT_EQ(run.code, 4);
    EXPECT_NE(run.errors.find("point.txt:1: the point "), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find(" pixels)\n"), std::string::npos) << run.errors;
    EXPECT_EQ(run.output.find("step 2:"), std::string::npos) << run.output;
  }
  // A point inside still clicks there.
  const std::string inside = Write("inside.txt", "click \"Next >\" at 5 5\nexpect state 1005 visible\n");
  const auto run = RunProgram("--no-getters --open modeless --script " + inside);
  EXPECT_EQ(run.code, 0) << run.errors;
}

// "visible" and "hidden" are what the user sees: a control of a wizard page that is not the current page is hidden,
// though its own style says visible (the extractor's pin and via steps each hold a button the other hides); and a
// step "in pane" looks only at the page shown (it once looked at every page, so that a page's hidden control was
// found hidden on any other).
TEST_F(PdnHostBoundary, AControlOfAPageThatIsNotShownIsHidden) {
  const std::string shown = Write("shown.txt", "expect state \"Add IC Power Pin...\" visible\n"
                                               "expect state \"Select Net\" hidden\n"
                                               "click \"Next >\"\n"
                                               "expect state \"Select Net\" visible\n"
                                               "expect state \"Add IC Power Pin...\" hidden\n");
  const auto run = RunProgram("--wizard extractor --open modeless --no-getters --script " + shown);
  EXPECT_EQ(run.code, 0) << run.errors;
  // The button of the page left, and a control of a page that is not shown "in pane", fail the step.
  const std::tuple<std::string, std::string, std::string> wrong[] = {
      {"extractor", "click \"Next >\"\nexpect state \"Add IC Power Pin...\" visible\n",
       ":2: control \"Add IC Power Pin...\" is not visible"},
      {"via-model", "click \"< Back\"\nexpect state 1166 hidden in pane\n", ":2: no control 1166 in pane in the window"},
  };
  for (const auto& [wizard, text, message] : wrong) {
    SCOPED_TRACE(text);
    const auto refused = RunProgram("--wizard " + wizard + " --open modeless --no-getters --script " +
                                    Write("wrong.txt", text));
    EXPECT_EQ(refused.code, 4);
    EXPECT_NE(refused.errors.find("wrong.txt" + message), std::string::npos) << refused.errors;
  }
}

// A cell step on a row out of view scrolls it into view as the scroll bar would and clicks it, down the list and
// back up: it once clicked the grid's corner and passed, the box unchecked. A drag onto a row out of view fails (it
// once dropped the row on nothing and passed).
TEST_F(PdnHostBoundary, ACellOutOfViewIsScrolledIntoViewAndClicked) {
  const std::string board = Write("many.json", host::test::ManyViasBoard(1200, 20));
  const std::string far = Write("far.txt", "cell 1003 1200 1\ncell 1003 1 1\ncell 1003 1199 1\n");
  const auto run = RunProgram("--board " + board + " --wizard bypass --board-mode --open modeless --script " + far);
  EXPECT_EQ(run.code, 0) << run.errors;
  EXPECT_NE(run.output.find("  GetProbeCount = 1\n  probe 0 = V1199\n"), std::string::npos) << run.output;
  // A drag takes its row into view, but the row it goes to must show with it.
  const auto refused = RunProgram("--board " + board + " --wizard bypass --board-mode --open modeless --script " +
                                  Write("drag.txt", "drag 1003 1 1200\n"));
  EXPECT_EQ(refused.code, 4);
  EXPECT_NE(refused.errors.find("drag.txt:1: cell 1200, 0 of control 1003 lies out of view"), std::string::npos)
      << refused.errors;
}

// Names are UTF-8 in board files and on the command line, code page 1252 in the module, UTF-8 again in the output.
TEST_F(PdnHostBoundary, NamesCrossTheBoundaryInBothDirections) {
  const std::string board = Write("utf8.json", R"({"name": "Carte \u00e9t\u00e9",
      "layers": [{"name": "TOP", "kind": "signal", "thickness": 0.035}],
      "nets": [{"name": "GND", "type": "supply"}, {"name": "V\u00e9", "type": "supply", "reference": "GND"}]})");
  const auto run = RunProgram("--board " + board + " --names \"V\xC3\xA9\" --no-getters");
  EXPECT_EQ(run.code, 0) << run.errors;
  EXPECT_NE(run.output.find("(Carte \xC3\xA9t\xC3\xA9, 1 layers"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("SetSystem(Carte \xC3\xA9t\xC3\xA9) -> true"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("AddNames(V\xC3\xA9) -> true"), std::string::npos) << run.output;

  const auto refused = RunProgram("--board " + board + " --names \"\xE4\xB8\xAD\"");
  EXPECT_EQ(refused.code, 2);
  EXPECT_NE(refused.errors.find("--names: \"\xE4\xB8\xAD\" has a character that code page 1252 does not have"),
            std::string::npos)
      << refused.errors;
}

}  // namespace
