// pdnhost on screen under a private X server: the decoupling-analysis wizard shown through the presenter and driven
// by the end-to-end script with real X input (xdotool), as the headless tests drive it with injected input; the
// model editor, the groups dialog and the capacitor models dialog likewise. Run by CTest through xvfb-run.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/tests/HostTestBoards.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"

// Last: its macros (None, Bool, Status) would reach the headers above.
#include <X11/Xlib.h>

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

fs::path SourceDir() {
  return std::getenv("BRIM_SOURCE_DIR") ? fs::path(std::getenv("BRIM_SOURCE_DIR")) : fs::path("..");
}

fs::path Script(const std::string& name) { return SourceDir() / "host/tests/scripts" / name; }

struct ScreenRun {
  bool ok = false;   // exited with 0
  std::string log;   // what pdnhost printed
};

// pdnhost on screen with `arguments` (after "--screen"), `environment` ("NAME=value " each) set, its screenshots in
// `shots` and its output in shots/log.txt. The X and SDL libraries keep process-wide state until exit: leaks are not
// checked.
ScreenRun RunOnScreen(const std::string& arguments, const fs::path& shots, const std::string& environment = {}) {
  const fs::path logFile = shots / "log.txt";
  const std::string command = environment + "ASAN_OPTIONS=detect_leaks=0 " + PDNHOST_PROGRAM + " --screen " +
                              arguments + " --shots " + shots.string() + " > " + logFile.string() + " 2>&1";
  const int status = plat::RunCommand(command);
  return {WIFEXITED(status) && WEXITSTATUS(status) == 0, ReadFile(logFile)};
}

// The lines of a log that change the board, and the modal result.
std::string BoardChanges(const std::string& text) {
  std::istringstream lines(text);
  std::string line, out;
  while (std::getline(lines, line))
    if (line.rfind("change: ", 0) == 0 || line.rfind("RunModal() -> ", 0) == 0) out += line + "\n";
  return out;
}

// Runs a script of host/tests/scripts in the decoupling wizard, modeless on screen, once with injected and once with
// real X input; answers the two runs' logs (empty when a run failed, which fails the test).
std::vector<std::string> RunWizardScriptOnScreenWithEitherInput(const std::string& script, const std::string& options) {
  std::vector<std::string> logs;
  if (!std::getenv("DISPLAY")) {
    ADD_FAILURE() << "runs under xvfb-run";
    return logs;
  }
  const TempDir dir("brim_pdnhost_either");
  for (const char* input : {"", " --real-input"}) {
    SCOPED_TRACE(script + input);
    const ScreenRun run =
        RunOnScreen(std::string(input) + " --open modeless" + options + " --script " + Script(script).string(), dir.Path());
    EXPECT_TRUE(run.ok) << run.log;
    logs.push_back(run.ok ? run.log : std::string());
  }
  return logs;
}

TEST(PdnHostOnScreen, DecouplingWizardScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_screen");
  for (const char* mode : {"modal", "modeless"}) {
    SCOPED_TRACE(mode);
    const fs::path shots = dir.Path() / mode;
    fs::create_directories(shots);
    std::ofstream(shots / "demo8.brd") << "board\n";
    const ScreenRun run = RunOnScreen("--real-input --open " + std::string(mode) +
                                          " --save --fixed-clock --no-getters --project " +
                                          (shots / "demo8.brd").string() + " --script " +
                                          Script("decoupling.pdnscript").string(),
                                      shots);
    ASSERT_TRUE(run.ok) << run.log;
    EXPECT_EQ(WithoutStamp(ReadFile(shots / "demo8.dao")),
              WithoutStamp(ReadFile(SourceDir() / "host/tests/golden/demo8.dao")));
    EXPECT_NE(run.log.find("messagebox \"Zuvar Erazoduvi Zerovi\": You have to specify two nets"), std::string::npos)
        << run.log;
    EXPECT_NE(run.log.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << run.log;
    EXPECT_GT(fs::file_size(shots / "01-start.png"), 1000u);
  }
}

// Asks the window manager's way that the X window named `name` be closed (what its close button does).
bool CloseXWindow(const std::string& name) {
  Display* display = XOpenDisplay(nullptr);
  if (!display)
    return false;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  bool sent = false;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && !sent; ++i) {
      char* title = nullptr;
      if (XFetchName(display, children[i], &title) && title && name == title) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = children[i];
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        sent = XSendEvent(display, children[i], False, NoEventMask, &event) != 0;
      }
      if (title)
        XFree(title);
    }
    if (children)
      XFree(children);
  }
  XCloseDisplay(display);
  return sent;
}

// On screen without a script: --save ticks "Save settings to file" and the wizard stays for the user, modal as the
// README's "./scripts/demo.sh --screen" shows it and modeless. The user's Alt+F4 (the close box's command), or
// closing pdnhost's own window (also with the wizard minimised), saves the settings, asks the host and ends the
// wizard and pdnhost.
TEST(PdnHostOnScreen, WithoutAScriptTheTickedWizardStaysForTheUserWhoseCloseSavesIt) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_user");
  struct Case {
    const char* name;
    bool demo;         // ./scripts/demo.sh --screen (modal), else pdnhost modeless
    bool closeScreen;  // pdnhost's X window closed, else Alt+F4 in the wizard
    bool minimise;     // the wizard minimised first (its caption's minimise box), so that no window is active
  };
  for (const Case& c : {Case{"demo-alt-f4", true, false, false}, Case{"modeless-alt-f4", false, false, false},
                        Case{"demo-screen-closed", true, true, false},
                        Case{"modeless-screen-closed", false, true, false},
                        Case{"demo-minimised-screen-closed", true, true, true}}) {
    SCOPED_TRACE(c.name);
    const fs::path run = dir.Path() / c.name;
    fs::create_directories(run);
    std::ofstream(run / "demo8.brd") << "board\n";
    const fs::path log = run / "log.txt";
    const fs::path code = run / "code.txt";
    const std::string program =
        c.demo ? "env BRIM_DEMO_PDNHOST=" + std::string(PDNHOST_PROGRAM) + " BRIM_DEMO_OUT=" + run.string() +
                     " bash " + (SourceDir() / "scripts/demo.sh").string() + " --screen --fixed-clock --no-getters"
               : std::string(PDNHOST_PROGRAM) + " --screen --open modeless --save --fixed-clock --no-getters --project " +
                     (run / "demo8.brd").string();
    const std::string command = "(ASAN_OPTIONS=detect_leaks=0 timeout 60 " + program + " > " + log.string() +
                                " 2>&1; echo $? > " + code.string() + ") &";
    ASSERT_EQ(plat::RunCommand(command), 0);
    // Looked for again until it is there: a search ends with an X error when a window of the case before goes
    // while it reads the window tree.
    ASSERT_EQ(plat::RunCommand("timeout 20 sh -c \"until xdotool search --name '^pdnhost$' > /dev/null 2>&1; do "
                               "sleep 0.2; done\""),
              0);
    // The tick comes as soon as the window is painted; the user comes after it.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_FALSE(fs::exists(code)) << "the wizard did not wait for the user:\n" << ReadFile(log);
    if (c.minimise) {
      // The wizard (713 pixels wide) lies at the desktop's top left corner, as pdnhost's window does on the screen.
      EXPECT_EQ(plat::RunCommand("timeout 10 xdotool mousemove --sync 300 300 mousemove --sync 667 11 click 1"), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    if (c.closeScreen)
      EXPECT_TRUE(CloseXWindow("pdnhost"));
    else
      EXPECT_EQ(plat::RunCommand("timeout 10 xdotool mousemove --sync 300 300 key alt+F4"), 0);
    for (int i = 0; i < 200 && ReadFile(code).empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ReadFile(code), "0\n") << ReadFile(log);
    const std::string text = ReadFile(log);
    EXPECT_NE(text.find("step 0: click 1065 (--save: \"Save settings to file\")"), std::string::npos) << text;
    EXPECT_NE(text.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << text;
    EXPECT_NE(ReadFile(run / "demo8.dao").find("[HEADER]"), std::string::npos) << text;
  }
}

// The real input's xdotool is started as every program of the system is: the file-size signal, which the platform
// ignores for its own writes, back at its default. A stand-in xdotool first in PATH writes the signals it ignores.
TEST(PdnHostOnScreen, RealInputsToolStartsWithTheDefaultSignals) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_signals");
  const fs::path tool = dir.Path() / "xdotool";
  const fs::path ignored = dir.Path() / "ignored.txt";
  std::ofstream(tool) << "#!/bin/sh\nsed -n 's/^SigIgn:[[:space:]]*//p' /proc/$$/status > " << ignored.string() << "\n";
  fs::permissions(tool, fs::perms::owner_all);
  std::ofstream(dir.Path() / "key.pdnscript") << "key Tab\n";
  const ScreenRun run = RunOnScreen("--real-input --open modeless --script " + (dir.Path() / "key.pdnscript").string(),
                                    dir.Path(), "PATH=" + dir.Path().string() + ":\"$PATH\" ");
  ASSERT_TRUE(run.ok) << run.log;
  const std::string mask = ReadFile(ignored);
  ASSERT_FALSE(mask.empty()) << run.log;
  EXPECT_EQ(std::stoull(mask, nullptr, 16) & (1ull << (SIGXFSZ - 1)), 0u) << mask;
  // Started by a program that leaves SIGCHLD ignored (the tool would be reaped unseen and every wait for it fail:
  // the run spun for ever), pdnhost still waits for the tool and goes on.
  const ScreenRun unreaped = RunOnScreen(
      "--real-input --open modeless --script " + (dir.Path() / "key.pdnscript").string(), dir.Path(),
      "PATH=" + dir.Path().string() + ":\"$PATH\" perl -e '$SIG{CHLD} = \"IGNORE\"; exec @ARGV' env ");
  EXPECT_TRUE(unreaped.ok) << unreaped.log;
}

// The real input's guard ends a step whose tool never returns, also when pdnhost was started with the signals that
// end programs blocked (the tool kept them blocked: the guard's SIGTERM stayed pending and the run waited for ever)
// and SIGCHLD with them, and when the tool itself ignores SIGTERM. A stand-in xdotool first in PATH sleeps on.
TEST(PdnHostOnScreen, AHungRealInputToolIsEndedWhateverSignalsItsStarterBlocked) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_hung_tool");
  const fs::path script = dir.Path() / "key.pdnscript";
  std::ofstream(script) << "key Tab\n";
  struct Case {
    const char* name;
    const char* tool;     // the stand-in's shell lines
    const char* starter;  // what starts pdnhost
  };
  for (const Case& c :
       {Case{"blocked", "exec sleep 90\n",
             "perl -MPOSIX -e 'sigprocmask(SIG_BLOCK, POSIX::SigSet->new(SIGTERM, SIGINT, SIGHUP, SIGUSR2, SIGALRM, "
             "SIGCHLD)) or die; exec @ARGV' env "},
        Case{"ignoring", "trap '' TERM\nexec sleep 90\n", ""}}) {
    SCOPED_TRACE(c.name);
    const fs::path tools = dir.Path() / c.name;
    fs::create_directories(tools);
    std::ofstream(tools / "xdotool") << "#!/bin/sh\n" << c.tool;
    fs::permissions(tools / "xdotool", fs::perms::owner_all);
    const auto start = std::chrono::steady_clock::now();
    const ScreenRun run = RunOnScreen("--real-input --open modeless --script " + script.string(), tools,
                                      "PATH=" + tools.string() + ":\"$PATH\" " + c.starter);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(run.ok);
    EXPECT_NE(run.log.find("key.pdnscript:1: xdotool key failed"), std::string::npos) << run.log;
    EXPECT_LT(took, std::chrono::seconds(45)) << run.log;
  }
}

// A modal via-model or extractor wizard that its script leaves open is closed once the steps are done, on screen as
// headless, with either input. Their interface's Close ends only a modeless run, and the Close button that follows
// it waits for an idle turn: on screen none came once the steps were over, and pdnhost waited for the user. The run
// is guarded (killed after 60 s, which fails it).
TEST(PdnHostOnScreen, AModalViaWizardLeftOpenByItsScriptIsClosedWithEitherInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_modal_end");
  const fs::path script = dir.Path() / "shot.pdnscript";
  std::ofstream(script) << "screenshot end.png\n";
  for (const std::string wizard : {"via-model", "extractor"})
    for (const char* input : {"", " --real-input"}) {
      SCOPED_TRACE(wizard + input);
      const ScreenRun run = RunOnScreen(std::string("--board-mode --no-getters --wizard ") + wizard + input +
                                            " --open modal --script " + script.string(),
                                        dir.Path(), "timeout 60 env ");
      EXPECT_TRUE(run.ok) << run.log;
      EXPECT_NE(run.log.find("CloseWizard() -> "), std::string::npos) << run.log;
      EXPECT_NE(run.log.find("RunModal() -> "), std::string::npos) << run.log;
    }
}

// On screen as headless, the host's CloseWizard on a modal wizard with the model editor and its calculator up ends
// the two dialogs and then the wizard: the host is asked once and told OnClosed. The run never ended before (the
// editor stayed up, drawn inactive); it is guarded as above.
TEST(PdnHostOnScreen, TheHostsCloseEndsTheDialogsOverAModalWizard) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_close_under_dialogs");
  const fs::path script = dir.Path() / "close.pdnscript";
  std::ofstream(script) << "click \"Next >\"\nclick \"Next >\"\ncell 1121 8 1\nclick \"Assign Model...\"\n"
                           "click \"Calculate...\"\nscreenshot calculator.png\ncall CloseWizard\n";
  const ScreenRun run = RunOnScreen("--board-mode --no-getters --wizard via-model --open modal --script " +
                                        script.string(),
                                    dir.Path(), "timeout 60 env ");
  EXPECT_TRUE(run.ok) << run.log;
  const size_t asked = run.log.find("callback: MayClose\n");
  EXPECT_NE(asked, std::string::npos) << run.log;
  EXPECT_EQ(run.log.find("callback: MayClose\n", asked + 1), std::string::npos) << run.log;
  EXPECT_NE(run.log.find("callback: OnClosed\n"), std::string::npos) << run.log;
}

// The decoupling-analysis wizard on the 8-layer board of a two-board system with real X input: board page, nets,
// Distributed, the IC power pins checked and grouped, Finish and the host's Run; the ".dao" as headless.
TEST(PdnHostOnScreen, DecouplingPinsScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_screen_pins");
  std::ofstream(dir.Path() / "demo8.brd") << "board\n";
  const fs::path boards = fs::path(PDNHOST_PROGRAM).parent_path() / "samples/boards";
  const ScreenRun run = RunOnScreen("--real-input --board " + (boards / "demo8.json").string() + " --board " +
                                        (boards / "sensor4.json").string() +
                                        " --table-value library --open modeless --save --fixed-clock --project " +
                                        (dir.Path() / "demo8.brd").string() + " --script " +
                                        Script("decoupling-pins.pdnscript").string(),
                                    dir.Path());
  ASSERT_TRUE(run.ok) << run.log;
  EXPECT_EQ(WithoutStamp(ReadFile(dir.Path() / "demo8.dao")),
            WithoutStamp(ReadFile(SourceDir() / "host/tests/golden/demo8-pins.dao")));
  EXPECT_NE(run.log.find("callback: Run"), std::string::npos) << run.log;
}

// The capacitor model editor on screen: the Touchstone script (detection, save as into the library, OK) with real
// X input.
TEST(PdnHostOnScreen, ModelEditorScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_editor_screen");
  const ScreenRun run = RunOnScreen(
      "--real-input --dialog editor --capacitor C57 --script " + Script("editor-touchstone.pdnscript").string(),
      dir.Path());
  ASSERT_TRUE(run.ok) << run.log;
  EXPECT_NE(run.log.find("change: ModelLibrary Add X7R_1U_0603_SER Touchstone"), std::string::npos) << run.log;
  EXPECT_NE(run.log.find("RunModal() -> 1 (OK)"), std::string::npos) << run.log;
  EXPECT_NE(run.log.find("IsSeries = true"), std::string::npos) << run.log;
  EXPECT_GT(fs::file_size(dir.Path() / "editor-touchstone-02-saved.png"), 1000u);
}

// The port maps of a four-pin and a three-pin capacitor on screen with real X input: each port's pin chosen in its
// drop-down list with the keyboard, a pin taken from another port and given back; a click on another row's
// drop-down arrow (the editor froze there); OK.
TEST(PdnHostOnScreen, PortMapPinsAreChosenInTheirListsWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  struct Case {
    const char* script;
    const char* capacitor;
    const char* pins;
  };
  for (const Case& c : {Case{"editor-portmap.pdnscript", "C2",
                             "  GetPortPin(1) = A2\n  GetPortPin(2) = A1\n  GetPortPin(3) = B1\n  GetPortPin(4) = B2\n"},
                        Case{"editor-portmap-spice.pdnscript", "C1",
                             "  GetPortPin(1) = G\n  GetPortPin(2) = 1\n  GetPortPin(3) = 2\n"}}) {
    const TempDir dir("brim_pdnhost_portmap_screen");
    const ScreenRun run = RunOnScreen("--real-input --board " +
                                          (SourceDir() / "host/tests/boards/multipin-caps.json").string() +
                                          " --dialog editor --capacitor " + c.capacitor + " --script " +
                                          Script(c.script).string(),
                                      dir.Path());
    ASSERT_TRUE(run.ok) << c.script << "\n" << run.log;
    EXPECT_NE(run.log.find("RunModal() -> 1 (OK)"), std::string::npos) << run.log;
    EXPECT_NE(run.log.find(c.pins), std::string::npos) << run.log;
  }
}

// The model editor from the keyboard on screen with real X input: Tab reaches the C-L-R pane's capacitance, typed
// there, and its unit list; Enter is OK.
TEST(PdnHostOnScreen, ModelEditorPaneIsReachedWithTabWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_editor_keys_screen");
  const ScreenRun run = RunOnScreen(
      "--real-input --dialog editor --capacitor C57 --script " + Script("editor-keys.pdnscript").string(), dir.Path());
  ASSERT_TRUE(run.ok) << run.log;
  EXPECT_NE(run.log.find("RunModal() -> 1 (OK)"), std::string::npos) << run.log;
  EXPECT_NE(run.log.find("  GetCapacitance = 4.7e-08\n"), std::string::npos) << run.log;
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

// The IC power pin grid from the keyboard on screen, with real and with injected input: pins checked with Space,
// Ctrl+Tab and Ctrl+Shift+Tab leave the grid, which Tab alone never does, and Next is pressed with Space.
TEST(PdnHostOnScreen, ThePinGridIsLeftWithCtrlTabWithEitherInput) {
  for (const std::string& log : RunWizardScriptOnScreenWithEitherInput("decoupling-pins-keys.pdnscript", ""))
    EXPECT_NE(log.find("  GetProbeCount = 2\n  probe 0 = U1.D4\n  probe 1 = U1.D7\n"), std::string::npos) << log;
}

// Combo boxes picked with real input: the list opens some time after the click, and the entry is clicked in it
// once it shows ("<custom>" straight from the group's model, then the ESL calculator's package).
TEST(PdnHostOnScreen, ComboEntriesArePickedInTheOpenListWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_combo_screen");
  const ScreenRun run =
      RunOnScreen("--real-input --dialog editor --capacitor C1 --script " + Script("editor-clr.pdnscript").string(),
                  dir.Path());
  ASSERT_TRUE(run.ok) << run.log;
  EXPECT_NE(run.log.find("RunModal() -> 1 (OK)\nGetModel after the run:\n  GetKind = 1 (C-L-R)\n"
                         "  IncludesViaMounting = false\n"),
            std::string::npos)
      << run.log;
  EXPECT_NE(run.log.find("  GetESL = 1.57536e-10\n"), std::string::npos) << run.log;
}

// A click that another window takes fails at its line with real X input too: the model editor's unit list, opened by
// a click, holds the mouse, and the click on OK only closes it (the editor stayed open until pdnhost cancelled it).
TEST(PdnHostOnScreen, AClickThatAnOpenListTakesFailsAtItsLineWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_click_screen");
  const fs::path script = dir.Path() / "click.pdnscript";
  std::ofstream(script) << "click 1189 in pane\nclick \"OK\" in dialog\n";
  const ScreenRun run =
      RunOnScreen("--real-input --dialog editor --capacitor C57 --script " + script.string(), dir.Path());
  EXPECT_FALSE(run.ok) << run.log;
  EXPECT_NE(run.log.find("click.pdnscript:2: control \"OK\" in dialog did not get the click: the open list of combo "
                         "box 1189 took it"),
            std::string::npos)
      << run.log;
  EXPECT_EQ(run.log.find("RunModal() -> 1"), std::string::npos) << run.log;
}

// The decoupling groups dialog on screen: the groups script (row headers clicked with Ctrl, a new group named in
// its grid editor, a member moved back, a group emptied, OK) with real X input; the board changes it commits are
// those of the headless run's golden log.
TEST(PdnHostOnScreen, GroupsDialogScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_groups_screen");
  const ScreenRun run = RunOnScreen(
      "--real-input --dialog groups --unit-text \"\" --script " + Script("groups.pdnscript").string(), dir.Path());
  ASSERT_TRUE(run.ok) << run.log;
  EXPECT_EQ(BoardChanges(run.log), BoardChanges(ReadFile(SourceDir() / "host/tests/golden/groups-demo8.log"))) << run.log;
  EXPECT_NE(BoardChanges(run.log).find("Group \"\" SetName \"CAP_10N\""), std::string::npos) << run.log;
  EXPECT_GT(fs::file_size(dir.Path() / "groups-02-emptied.png"), 1000u);
}

// The groups dialog on screen with 709 rows: both groups expanded by their buttons and the Down key from the first
// group's name to the second, 686 rows further, with real X input.
TEST(PdnHostOnScreen, GroupsDialogWithSevenHundredRowsWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_groups_many_screen");
  const fs::path board = dir.Path() / "many.json";
  std::ofstream(board) << host::test::ManyCapacitorsBoard();
  const ScreenRun run = RunOnScreen("--real-input --board " + board.string() + " --dialog groups --unit-text \"\" --script " +
                                        Script("groups-many.pdnscript").string(),
                                    dir.Path());
  ASSERT_TRUE(run.ok) << run.log;
  // Cancel, and nothing changed on the board.
  EXPECT_EQ(BoardChanges(run.log), "RunModal() -> 2 (Cancel)\n") << run.log;
  EXPECT_GT(fs::file_size(dir.Path() / "groups-many-680.png"), 1000u);
}

// The bypass, via-model and PDN model-extractor wizards on screen: their board-viewer scripts (viewer picks, a net
// pick, a via port switched by the host, combo box, grid cells, a row drag, typed values) with real X input, the
// saved settings against the headless runs' golden files.
TEST(PdnHostOnScreen, ViaWizardScriptsWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_screen_vias");
  for (const std::string wizard : {"bypass", "via-model", "extractor"}) {
    SCOPED_TRACE(wizard);
    const fs::path shots = dir.Path() / wizard;
    fs::create_directories(shots);
    std::ofstream(shots / "demo8.brd") << "board\n";
    const ScreenRun run = RunOnScreen("--real-input --wizard " + wizard + " --open modeless --fixed-clock --project " +
                                          (shots / "demo8.brd").string() + " --script " +
                                          Script(wizard + ".pdnscript").string(),
                                      shots);
    ASSERT_TRUE(run.ok) << run.log;
    // The bypass record names its project file by its full path.
    std::string saved = WithoutStamp(ReadFile(shots / "demo8.dao"));
    for (size_t at; (at = saved.find(shots.string() + "/")) != std::string::npos;)
      saved.erase(at, shots.string().size() + 1);
    EXPECT_EQ(saved, WithoutStamp(ReadFile(SourceDir() / "host/tests/golden" / (wizard + ".dao"))));
    EXPECT_NE(run.log.find("callback: Run\n"), std::string::npos) << run.log;
    EXPECT_NE(run.log.find("callback: MayClose\ncallback: OnClosed\n"), std::string::npos) << run.log;
  }
}

// The via wizards as users meet them, on screen with real X input: a bypass via's pair chosen in its list cell and
// saved, the extractor's "Add IC Power Pin..." giving the keyboard back, and the via steps after a change of board.
TEST(PdnHostOnScreen, ViaWizardUserScriptsWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_screen_via_users");
  ASSERT_TRUE(host::test::WriteDemo8WithPick(dir.Path() / "demo8.json", "V_DQ1"));
  std::ofstream(dir.Path() / "demo8.brd") << "board\n";
  const ScreenRun pair = RunOnScreen("--real-input --board " + (dir.Path() / "demo8.json").string() +
                                         " --board-mode --wizard bypass --open modeless --fixed-clock --project " +
                                         (dir.Path() / "demo8.brd").string() + " --script " +
                                         Script("bypass-list-pair.pdnscript").string(),
                                     dir.Path());
  ASSERT_TRUE(pair.ok) << pair.log;
  EXPECT_NE(ReadFile(dir.Path() / "demo8.dao").find("= V_DQ1 Enabled \"L3_SIG\" - \"L6_SIG\" "), std::string::npos);
  const ScreenRun pin = RunOnScreen("--real-input --wizard extractor --open modeless --no-getters --script " +
                                        Script("extractor-add-pin.pdnscript").string(),
                                    dir.Path());
  EXPECT_TRUE(pin.ok) << pin.log;
  const std::string boards = "--board " + (SourceDir() / "samples/boards/demo8.json").string() + " --board " +
                             (SourceDir() / "samples/boards/sensor4.json").string();
  for (const std::string wizard : {"bypass", "via-model"}) {
    const ScreenRun run = RunOnScreen("--real-input " + boards + " --wizard " + wizard + " --open modeless --script " +
                                          Script(wizard + "-boards.pdnscript").string(),
                                      dir.Path());
    EXPECT_TRUE(run.ok) << wizard << "\n" << run.log;
  }
}

// The capacitor models dialog on screen: the models script (the net filter's drop-down lists, an expand button, the
// model editor, an "Enabled" box, "Remove Models", the groups dialog) with real X input; the board changes are
// those of the headless run's golden log.
TEST(PdnHostOnScreen, ModelsDialogScriptWithRealInput) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "runs under xvfb-run";
  const TempDir dir("brim_pdnhost_models_screen");
  const ScreenRun run = RunOnScreen(
      "--real-input --dialog models --unit-text \"\" --script " + Script("models.pdnscript").string(), dir.Path());
  ASSERT_TRUE(run.ok) << run.log;
  EXPECT_EQ(BoardChanges(run.log), BoardChanges(ReadFile(SourceDir() / "host/tests/golden/models-demo8.log"))) << run.log;
  EXPECT_NE(BoardChanges(run.log).find("Group \"3V3_MID\" AddMember C57"), std::string::npos) << run.log;
  EXPECT_GT(fs::file_size(dir.Path() / "models-04-after-groups.png"), 1000u);
}

}  // namespace
