// Runs a pdnhost script against the open wizard. Steps run one at a time whenever the wizard's message loop is idle:
// headless the runner is the automation provider that idle loops ask for input, on screen the pacer below asks it
// once the window in front is painted and ready. The same runner answers the message boxes and file dialogs that
// come up, from the script's answer steps (headless runs without a script answer each with its first button).
//
// A step that fails (a control that is not there or not enabled, a click that another window took, a type that the
// control does not take or that cannot be read back, an expectation that does not hold, a box the script does not
// answer) is reported as "<file>:<line>: ..." on the error stream, and the run ends: the wizard is closed without
// asking the host.
#pragma once

#include "brimstead/BrimsteadExports.h"
#include "host/PdnScript.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/MessageQueue.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plat {
class SdlPresenter;
}

namespace host {

class HostCallbackLog;

// Where the steps' mouse and keyboard input goes.
class ScriptInput {
public:
  virtual ~ScriptInput() = default;
  virtual void Click(POINT screen) = 0;
  // A click with Shift or Ctrl held.
  virtual void ClickHolding(POINT screen, bool shift, bool ctrl) = 0;
  virtual void Key(const ScriptKey& key) = 0;
  virtual void Type(const std::string& text) = 0;
  // The left button pressed at one point, moved to another and released there.
  virtual void Drag(POINT from, POINT to) = 0;
  // Input that reaches the window some time after it was sent (real X events).
  virtual bool Delayed() const { return false; }
};

// Injected into the platform's input queue.
std::unique_ptr<ScriptInput> MakeInjectedInput();
// Real X events made with the xdotool program; `origin` answers where the desktop's (0, 0) is on the X screen.
std::unique_ptr<ScriptInput> MakeXInput(std::function<POINT()> origin);

struct ScriptRunnerHost {
  CWizardAPI* api = nullptr;                       // the wizard's object; null when a dialog runs instead
  std::function<HWND()> window;                    // the window the script runs in, null once it is gone
  std::function<void()> close;                     // ends a modal run of that window
  // The wizard's Close button (CloseWizard), for a modal run that its interface's Close does not end (the via-model
  // and extractor wizards'); null for a dialog.
  std::function<void()> closeWizard;
  bool decoupling = true;
  HostCallbackLog* callback = nullptr;
  std::function<void(const std::string&)> print;   // one host-log line
  std::function<void()> flush;                     // prints the callback lines not printed yet
  const std::vector<std::string>* log = nullptr;   // every host-log line so far
  std::ostream* err = nullptr;
  std::string shotsFolder;                         // relative screenshot names are taken from here
  // The board view's selection becomes these probes; the answer says why not when it cannot. Null: no board view.
  std::function<std::string(const std::vector<std::string>&)> pick;   // "" when picked, else why not
  // The wizard's OnViewerSelectionChanged, whatever its kind; null when the wizard has none.
  std::function<bool()> viewerChanged;
  // Host events of the model extractor (null for the other wizards). Each prints its call with its answer; a
  // net or probe the board does not have throws ScriptError.
  std::function<void(const std::string& net)> netPick;
  std::function<void(const std::string& id, bool enabled)> viaPort;
  // The wizard's queries by name (IsSelectNetActive, ActivePageUsesViewer); none when this wizard has no such one.
  std::function<std::optional<bool>(const std::string& name)> query;
};

class ScriptRunner final : public plat::AutomationProvider {
public:
  // `scriptName` is empty when no script was given.
  ScriptRunner(ScriptRunnerHost host, std::vector<ScriptStep> steps, std::string scriptName, ScriptInput& input);
  ~ScriptRunner() override;
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Whether the wizard runs modally (its run is ended through the interface's Close) or modelessly (the host's own
  // loop is asked to stop with WM_QUIT) once the steps are done.
  void SetModal(bool modal) { m_bModal = modal; }
  // On screen without a script: once the steps (the --save tick) are done the wizard is the user's, who ends it.
  void LeaveWizardToUser() { m_bLeaveToUser = true; }

  bool SupplyInput() override { return OnIdle(); }
  std::optional<plat::SystemAnswer> Answer(const plat::SystemRequest& request) override;

  // Runs the next step; with none left, ends the wizard's run. True when it did something.
  bool OnIdle();
  // Called once the wizard's run is over: steps left over and answers never asked for are failures.
  void CheckEnd();
  void Fail(const std::string& what, int line);
  bool Failed() const { return m_bFailed; }
  bool HasStepsLeft() const { return !m_bFailed && m_nNext < m_Steps.size(); }
  bool Ended() const { return m_bEnded; }
  // The steps are done and the run is being ended: a try that left the window up (the interface's Close, which the
  // via-model and extractor wizards take only when modeless; a dialog of the wizard's own in front) is followed by
  // the next at the next idle turn, until the run ends or the tries run out. False for a wizard left to the user.
  bool Closing() const;

private:
  struct Rule {
    plat::SystemUiKind kind;
    int button;
    std::string file;
    std::string match;
    int line;
  };
  void RunStep(const ScriptStep& step);
  HWND Root() const;
  enum class Visibility { VisibleOnly, AnyControl };
  // The control a step names in the window in front (in the part its scope names); throws ScriptError.
  HWND Find(const ScriptControl& control, Visibility visibility = Visibility::VisibleOnly);
  // A grid cell's rectangle in the grid's client area (row and column as the grid shows them), empty for a cell
  // scrolled out of view.
  static RECT CellRect(HWND grid, int row, int col, const ScriptStep& step);
  // The screen point in the middle of a grid cell, which is scrolled into view first (`scrollIntoView`) or must
  // show; a cell that does not fails the step.
  POINT CellCentre(HWND grid, int row, int col, const ScriptStep& step, bool scrollIntoView);
  // A grid's cell (row and column as the grid shows them) under a screen point; throws when the control is no grid
  // or no cell lies there.
  static std::pair<int, int> CellAt(HWND grid, POINT screen, const ScriptStep& step);
  // Why a grid's cell takes no typed text (completing "cell r, c of control N"), from the kind and state the grid
  // answers for it; none for a cell that takes it.
  static std::optional<std::string> CellRefusesTyping(const std::string& kind, LRESULT state);
  // The value a grid's cell shows; throws when it cannot be told.
  static std::string CellValue(HWND grid, int row, int col, const ScriptStep& step);
  void Pick(HWND control, const ScriptStep& step);
  static HWND ComboList(HWND combo);
  // The edit that takes a control's typing: the control itself, or a combo's edit; null for other controls.
  static HWND TextEdit(HWND control);
  struct TypedCell {
    int row;
    int col;
  };
  // After a type step's input arrived: the control (or its part that has the focus, or the grid cell typed into)
  // reads the typed text and no list is left open, else the typing changed nothing, something else or left the
  // next click to an open list, and the step fails.
  void CheckTyped(HWND control, const std::optional<TypedCell>& cell, const ScriptStep& step);
  // The step's left click at a screen point (Shift or Ctrl held as the step says), whose press must reach `target`
  // or a window inside it; checked at the next idle turn, once the press has arrived.
  void Click(HWND target, POINT at, const ScriptStep& step);
  // Where the clicks sent since the last turn went: a press that another window took (an open list that has the
  // mouse, a box in front) or that no window took fails its step.
  void CheckClicks();
  // The get-message hook that sees where the presses go.
  static LRESULT PressHook(int code, WPARAM removed, LPARAM message);
  // A click on the entry in the combo's open list, scrolled into it first as its scroll bar would.
  void ClickComboEntry(HWND combo, int index, const ScriptStep& step);
  void Call(const ScriptStep& step);
  void EndWizard();
  std::string Where(int line) const;

  ScriptRunnerHost m_Host;
  std::vector<ScriptStep> m_Steps;
  std::string m_ScriptName;
  ScriptInput& m_Input;
  size_t m_nNext = 0;
  std::vector<Rule> m_Rules;
  bool m_bModal = true;
  bool m_bFailed = false;
  bool m_bEnded = false;
  bool m_bLeaveToUser = false;
  static constexpr int kEndAttempts = 8;   // tries at ending the run once the steps are done
  int m_nEndAttempts = 0;
  bool m_bCloseAsked = false;   // the interface's Close was tried
  // A pick whose combo list opens after the step (real input): its entry is clicked at the next idle turn.
  struct PendingPick {
    HWND combo;
    int index;
    ScriptStep step;
  };
  std::optional<PendingPick> m_PendingPick;
  // A type step whose control's text is checked at the next idle turn, once its input has arrived.
  struct PendingType {
    HWND control;
    std::optional<TypedCell> cell;
    ScriptStep step;
  };
  std::optional<PendingType> m_PendingType;
  // The clicks sent and not checked yet, in order, and what the hook saw of their presses.
  struct AimedClick {
    HWND target;
    std::string control;   // as the step names it
    int line;
    bool pressed = false;   // a window took the press
    std::string instead;   // the window that took it, when it was not the target or one inside it
  };
  std::vector<AimedClick> m_Aimed;
  size_t m_nPressed = 0;
  HHOOK m_hPressHook = nullptr;
  static ScriptRunner* s_pWatching;   // the runner whose hook is installed
};

// On screen: the message queue's event source while a script runs. It hands the presenter's waits through and,
// whenever the window in front is painted, idle and (for delayed input) the last step's events have arrived, asks the
// runner for the next step. A window that never gets ready fails the step after a deadline.
class ScreenPacer final : public plat::EventSource {
public:
  ScreenPacer(plat::SdlPresenter& presenter, ScriptRunner* runner, bool delayedInput);
  ~ScreenPacer() override;
  bool WaitForEvents(std::optional<std::uint64_t> timeoutMs) override;

private:
  bool Ready() const;
  plat::SdlPresenter& m_Presenter;
  ScriptRunner* m_pRunner;
  bool m_bDelayed;
  bool m_bFocused = false;
  plat::EventSource* m_pPrevious;
  std::chrono::steady_clock::time_point m_LastStep;
  std::chrono::steady_clock::time_point m_WaitingSince;
  bool m_bWaiting = false;
};

}  // namespace host
