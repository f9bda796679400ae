#include "host/PdnScriptRunner.h"

#include "platform/base/AtomicFile.h"
#include "platform/base/CodePage.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/SystemError.h"

#include "host/HostCallbackLog.h"
#include "host/PdnHost.h"
#include "host/HostText.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/winctrl.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/ControlCodes.h"
#include "platform/framework/DialogManager.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/InputRouter.h"

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <ostream>

namespace host {
namespace {

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<size_t>(GetWindowTextLength(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowText(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A caption as shown: "&&" is one '&', a single '&' marks the next letter and is not shown.
std::string ShownCaption(const std::string& caption) {
  std::string shown;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size())
      ++i;
    else if (caption[i] == '&')
      continue;
    shown += caption[i];
  }
  return shown;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassName(hwnd, name, sizeof name);
  return name;
}

// The text of entry `index` of a list box or combo box.
std::string EntryText(HWND control, bool combo, LRESULT index) {
  const LRESULT length = SendMessage(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
  const LRESULT read = SendMessage(control, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::max<LRESULT>(read, 0)));
  return text;
}

// The entry of a list box or combo box whose text is `text` byte for byte, or -1. The controls' own search ignores
// letter case, and a script names one entry: "caps.cir" is not "CAPS.cir" beside it.
LRESULT FindEntry(HWND control, bool combo, const std::string& text) {
  const auto search = [&](LRESULT after) {
    return SendMessage(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, static_cast<WPARAM>(after),
                       reinterpret_cast<LPARAM>(text.c_str()));
  };
  // From the top the search meets the matches in order; one at or below the last met has wrapped round.
  for (LRESULT at = search(-1), last = -1; at > last; last = at, at = search(at))
    if (EntryText(control, combo, at) == text)
      return at;
  return -1;
}

bool IsDropList(HWND hwnd) {
  return ClassOf(hwnd) == WC_COMBOBOX && (GetWindowLong(hwnd, GWL_STYLE) & 0x3) == CBS_DROPDOWNLIST;
}

POINT Centre(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Where a step clicks into a control: the point it names (from the window's top left corner), else the middle. A
// point beyond the control would click whatever lies there instead: the step fails.
POINT Target(HWND hwnd, const ScriptStep& step) {
  if (!step.atPoint)
    return Centre(hwnd);
  RECT r{};
  GetWindowRect(hwnd, &r);
  if (step.x >= r.right - r.left || step.y >= r.bottom - r.top)
    throw ScriptError("the point " + std::to_string(step.x) + ", " + std::to_string(step.y) + " lies outside control " +
                      step.control.Describe() + " (" + std::to_string(r.right - r.left) + " x " +
                      std::to_string(r.bottom - r.top) + " pixels)");
  return POINT{r.left + step.x, r.top + step.y};
}

const char* KindWord(plat::SystemUiKind kind) {
  switch (kind) {
    case plat::SystemUiKind::MessageBox: return "messagebox";
    case plat::SystemUiKind::FileOpen: return "file-open";
    case plat::SystemUiKind::FileSave: return "file-save";
    default: return plat::SystemUiKindName(kind);
  }
}

std::string ButtonWord(int code) {
  switch (code) {
    case IDOK: return "ok";
    case IDCANCEL: return "cancel";
    case IDYES: return "yes";
    case IDNO: return "no";
    case IDABORT: return "abort";
    case IDRETRY: return "retry";
    case IDIGNORE: return "ignore";
  }
  return std::to_string(code);
}

// Injected input takes the path of real input through the platform's input router (activation, focus, capture).
// Each click is a separate action: headless the clock does not run between steps, and two steps' clicks on one
// spot would otherwise pair into a double click (which selects a word and does not move the focus).
class InjectedInput final : public ScriptInput {
public:
  void Click(POINT screen) override {
    plat::InputRouter::Instance().Click(plat::MouseButton::Left, screen, plat::InputRouter::Press::Separate);
  }
  void ClickHolding(POINT screen, bool shift, bool ctrl) override {
    auto& input = plat::InputRouter::Instance();
    const int held = shift ? VK_SHIFT : ctrl ? VK_CONTROL : 0;
    if (held)
      input.KeyDown(held);
    input.Click(plat::MouseButton::Left, screen, plat::InputRouter::Press::Separate);
    if (held)
      input.KeyUp(held);
  }
  void Key(const ScriptKey& key) override {
    auto& input = plat::InputRouter::Instance();
    if (key.ctrl)
      input.KeyDown(VK_CONTROL);
    if (key.alt)
      input.KeyDown(VK_MENU);
    if (key.shift)
      input.KeyDown(VK_SHIFT);
    input.KeyPress(key.vk);
    if (key.shift)
      input.KeyUp(VK_SHIFT);
    if (key.alt)
      input.KeyUp(VK_MENU);
    if (key.ctrl)
      input.KeyUp(VK_CONTROL);
  }
  void Type(const std::string& text) override { plat::InputRouter::Instance().TypeText(text); }
  void Drag(POINT from, POINT to) override {
    auto& input = plat::InputRouter::Instance();
    input.ButtonDown(plat::MouseButton::Left, from, plat::InputRouter::Press::Separate);
    input.MouseMove(to);
    input.ButtonUp(plat::MouseButton::Left, to);
  }
};

class XInput final : public ScriptInput {
public:
  explicit XInput(std::function<POINT()> origin) : m_Origin(std::move(origin)) {}
  void Click(POINT screen) override {
    const POINT origin = m_Origin();
    const POINT at{origin.x + screen.x, origin.y + screen.y};
    // A move with --sync waits for the pointer to move: to where it is already, it would wait forever.
    if (m_bMoved && at.x == m_Last.x && at.y == m_Last.y)
      Run({"click", "1"});
    else
      Run({"mousemove", "--sync", std::to_string(at.x), std::to_string(at.y), "click", "1"});
    m_Last = at;
    m_bMoved = true;
  }
  void ClickHolding(POINT screen, bool shift, bool ctrl) override {
    const char* held = shift ? "shift" : ctrl ? "ctrl" : nullptr;
    if (held)
      Run({"keydown", held});
    Click(screen);
    if (held)
      Run({"keyup", held});
  }
  void Key(const ScriptKey& key) override {
    std::string chord;
    if (key.ctrl)
      chord += "ctrl+";
    if (key.alt)
      chord += "alt+";
    if (key.shift)
      chord += "shift+";
    Run({"key", "--delay", "30", chord + key.xName});
  }
  void Type(const std::string& text) override {
    if (!text.empty())
      Run({"type", "--delay", "30", "--", Utf8FromCp1252(text)});
  }
  void Drag(POINT from, POINT to) override {
    const POINT origin = m_Origin();
    Run({"mousemove", "--sync", std::to_string(origin.x + from.x), std::to_string(origin.y + from.y), "mousedown", "1",
         "mousemove", "--sync", std::to_string(origin.x + to.x), std::to_string(origin.y + to.y), "mouseup", "1"});
    m_Last = POINT{origin.x + to.x, origin.y + to.y};
    m_bMoved = true;
  }
  bool Delayed() const override { return true; }

private:
  // Bounded, so that a tool waiting for something that never comes cannot hang the run: after 10 seconds it is asked
  // to end, and a tool that ignores the request is killed 2 seconds later.
  static void Run(std::vector<std::string> arguments) {
    const std::string command = arguments.front();
    arguments.insert(arguments.begin(), {"timeout", "--kill-after=2", "10", "xdotool"});
    pid_t pid = 0;
    if (plat::SpawnProgram(arguments, pid) != 0)
      throw ScriptError("cannot start xdotool for real input");
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
      if (errno != EINTR)
        throw ScriptError("cannot wait for xdotool: " + plat::ErrnoText(errno));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      throw ScriptError("xdotool " + command + " failed");
  }
  std::function<POINT()> m_Origin;
  POINT m_Last{0, 0};
  bool m_bMoved = false;
};

}  // namespace

std::unique_ptr<ScriptInput> MakeInjectedInput() { return std::make_unique<InjectedInput>(); }
std::unique_ptr<ScriptInput> MakeXInput(std::function<POINT()> origin) {
  return std::make_unique<XInput>(std::move(origin));
}

ScriptRunner* ScriptRunner::s_pWatching = nullptr;

ScriptRunner::ScriptRunner(ScriptRunnerHost host, std::vector<ScriptStep> steps, std::string scriptName,
                           ScriptInput& input)
    : m_Host(std::move(host)), m_Steps(std::move(steps)), m_ScriptName(std::move(scriptName)), m_Input(input) {
  s_pWatching = this;
  m_hPressHook = SetWindowsHookEx(WH_GETMESSAGE, &ScriptRunner::PressHook, nullptr, GetCurrentThreadId());
}

ScriptRunner::~ScriptRunner() {
  if (m_hPressHook)
    UnhookWindowsHookEx(m_hPressHook);
  if (s_pWatching == this)
    s_pWatching = nullptr;
}

std::string ScriptRunner::Where(int line) const {
  if (m_ScriptName.empty() || line <= 0)
    return "pdnhost: ";
  return "pdnhost: " + plat::Utf8Escaped(m_ScriptName) + ":" + std::to_string(line) + ": ";
}

void ScriptRunner::Fail(const std::string& what, int line) {
  if (m_bFailed)
    return;
  m_bFailed = true;
  *m_Host.err << Where(line) << what << "\n";
}

bool ScriptRunner::OnIdle() {
  // The last turn's clicks have arrived by now: each must have reached its control before anything else is judged.
  if (!m_Aimed.empty() && !m_bFailed) {
    CheckClicks();
    if (m_bFailed)
      return true;
  }
  if (m_PendingType && !m_bFailed) {
    const PendingType typed = *m_PendingType;
    m_PendingType.reset();
    try {
      CheckTyped(typed.control, typed.cell, typed.step);
    } catch (const ScriptError& error) {
      Fail(error.what(), typed.step.line);
    }
    return true;
  }
  if (m_PendingPick && !m_bFailed) {
    const PendingPick pick = *m_PendingPick;
    m_PendingPick.reset();
    try {
      if (!IsWindow(pick.combo))
        throw ScriptError("control " + pick.step.control.Describe() + " went away before its entry was picked");
      ClickComboEntry(pick.combo, pick.index, pick.step);
    } catch (const ScriptError& error) {
      Fail(error.what(), pick.step.line);
    }
    return true;
  }
  if (HasStepsLeft()) {
    const ScriptStep& step = m_Steps[m_nNext++];
    try {
      RunStep(step);
    } catch (const ScriptError& error) {
      Fail(error.what(), step.line);
    }
    return true;
  }
  if (m_bLeaveToUser && !m_bFailed) {
    m_bEnded = true;
    return false;
  }
  if (!m_bEnded) {
    m_bEnded = true;
    // The --save tick alone is no script either: the wizard would wait for the rest.
    if (!m_bFailed && m_bModal && m_ScriptName.empty()) {
      const std::string what = m_Host.api ? "wizard" : "dialog";
      Fail("the modal " + what + " waits for input, but headless nothing can give it (give a script with --script "
           "FILE, or show it with --screen); the " + what + " is closed",
           0);
    }
    EndWizard();
    return true;
  }
  // A dialog of the wizard's own (a nested run) may still be in front: it is ended too, a few times at most.
  if (++m_nEndAttempts > kEndAttempts)
    return false;
  EndWizard();
  return true;
}

bool ScriptRunner::Closing() const {
  return m_bEnded && !(m_bLeaveToUser && !m_bFailed) && m_nEndAttempts <= kEndAttempts;
}

void ScriptRunner::EndWizard() {
  HWND wizard = m_Host.window();
  if (!m_bModal) {
    PostQuitMessage(0);
    return;
  }
  if (!wizard)
    return;
  HWND active = GetActiveWindow();
  if (active && active != wizard && IsWindowVisible(active)) {
    PostMessage(active, WM_COMMAND, IDCANCEL, 0);
  } else if (m_bCloseAsked && m_bFailed && m_Host.closeWizard) {
    // After a failed step the host is not asked and nothing is saved: a modal run that the interface's Close left
    // going loses its window (and the dialogs it owns), as when the host quits under it, instead of a click on its
    // Close button.
    DestroyWindow(wizard);
  } else if (m_bCloseAsked && m_Host.closeWizard) {
    // The interface's Close left the modal run going (the via-model and extractor wizards' Close ends only a
    // modeless one): the wizard's Close button ends it, as the host's CloseWizard does.
    m_Host.closeWizard();
  } else {
    m_bCloseAsked = true;
    m_Host.close();
  }
}

void ScriptRunner::CheckEnd() {
  // The last click may have ended the run (Finish, OK): it too must have reached its control.
  if (!m_bFailed)
    CheckClicks();
  if (m_bFailed)
    return;
  if (m_nNext < m_Steps.size()) {
    Fail("the wizard closed before this step ran", m_Steps[m_nNext].line);
    return;
  }
  if (!m_Rules.empty())
    Fail("the script's answer was never asked for", m_Rules.front().line);
}

HWND ScriptRunner::Root() const {
  HWND active = GetActiveWindow();
  if (active && IsWindowVisible(active))
    return active;
  return m_Host.window();
}

namespace {

// Whether a window is what a control reference names: its id, or its caption as written or as shown.
bool Names(HWND hwnd, int id, bool byCaption, const std::string& caption) {
  if (!byCaption)
    return GetDlgCtrlID(hwnd) == id;
  const std::string text = WindowText(hwnd);
  return text == caption || ShownCaption(text) == caption;
}

// The first descendant of `root` (in the order the windows were made) that `match` takes; with `visibleOnly`,
// among the controls that are visible together with their parents.
template <class Match>
HWND FirstDescendant(HWND root, bool visibleOnly, Match match) {
  struct Search {
    bool visibleOnly;
    Match* match;
    HWND found = nullptr;
  } search{visibleOnly, &match};
  EnumChildWindows(
      root,
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (s.visibleOnly && !IsWindowVisible(hwnd))
          return TRUE;
        if (!(*s.match)(hwnd))
          return TRUE;
        s.found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A window as a failure names it: an open list by its combo box, a control by its id and text, else its caption.
std::string Named(HWND hwnd) {
  if (ClassOf(hwnd) == WC_COMBOLBOX) {
    // The list is a window of its own, owned by the combo box's dialog.
    HWND combo = FirstDescendant(GetWindow(hwnd, GW_OWNER), false, [&](HWND other) {
      COMBOBOXINFO info{};
      info.cbSize = sizeof info;
      return ClassOf(other) == WC_COMBOBOX && GetComboBoxInfo(other, &info) && info.hwndList == hwnd;
    });
    return "the open list of combo box " + std::to_string(GetDlgCtrlID(combo));
  }
  const std::string text = WindowText(hwnd);
  if (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD)
    return "control " + std::to_string(GetDlgCtrlID(hwnd)) + (text.empty() ? "" : " \"" + EscapedName(text) + "\"");
  return "the window \"" + EscapedName(text) + "\"";
}

}  // namespace

LRESULT ScriptRunner::PressHook(int code, WPARAM removed, LPARAM message) {
  // The left button's press as the queue hands it out (a double click and a press beside the client area too): the
  // window it goes to is the one that the mouse capture, the windows in front and the activation chose.
  const MSG* msg = reinterpret_cast<const MSG*>(message);
  ScriptRunner* runner = s_pWatching;
  if (code >= 0 && removed == PM_REMOVE && msg && runner && runner->m_nPressed < runner->m_Aimed.size() &&
      (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK || msg->message == WM_NCLBUTTONDOWN ||
       msg->message == WM_NCLBUTTONDBLCLK)) {
    AimedClick& aimed = runner->m_Aimed[runner->m_nPressed++];
    aimed.pressed = true;
    if (msg->hwnd != aimed.target && !IsChild(aimed.target, msg->hwnd))
      aimed.instead = Named(msg->hwnd);
  }
  return CallNextHookEx(nullptr, code, removed, message);
}

void ScriptRunner::Click(HWND target, POINT at, const ScriptStep& step) {
  m_Aimed.push_back(AimedClick{target, step.control.Describe(), step.line, false, {}});
  if (step.withShift || step.withCtrl)
    m_Input.ClickHolding(at, step.withShift, step.withCtrl);
  else
    m_Input.Click(at);
}

void ScriptRunner::CheckClicks() {
  const std::vector<AimedClick> aimed = std::move(m_Aimed);
  m_Aimed.clear();
  m_nPressed = 0;
  for (const AimedClick& click : aimed) {
    if (!click.pressed)
      Fail("control " + click.control + " did not get the click: no window took it", click.line);
    else if (!click.instead.empty())
      Fail("control " + click.control + " did not get the click: " + click.instead + " took it", click.line);
  }
}

HWND ScriptRunner::Find(const ScriptControl& control, Visibility visibility) {
  HWND root = Root();
  if (!root)
    throw ScriptError("no window is open to find control " + control.Describe() + " in");
  // The part of the window the step names.
  HWND within = root;
  const ScriptScope& scope = control.scope;
  if (scope.kind == ScriptScope::Kind::Pane) {
    // The pane shown: a visible dialog that takes turns with hidden ones in its place (a wizard's current page
    // among its pages), else the first visible dialog (the model editor's kind pane).
    auto dialog = [](HWND hwnd) { return ClassOf(hwnd) == plat::kDialogClass; };
    auto takesTurns = [&](HWND hwnd) {
      if (!dialog(hwnd))
        return false;
      RECT place{};
      GetWindowRect(hwnd, &place);
      HWND parent = GetParent(hwnd);
      return FirstDescendant(parent, false, [&](HWND other) {
               RECT r{};
               GetWindowRect(other, &r);
               return other != hwnd && GetParent(other) == parent && dialog(other) && !IsWindowVisible(other) &&
                      r.left == place.left && r.top == place.top && r.right == place.right &&
                      r.bottom == place.bottom;
             }) != nullptr;
    };
    within = FirstDescendant(root, true, takesTurns);
    if (!within)
      within = FirstDescendant(root, true, dialog);
    if (!within)
      throw ScriptError("the window \"" + EscapedName(WindowText(root)) + "\" shows no pane to find control " +
                        control.Describe() + " in");
  } else if (scope.kind == ScriptScope::Kind::Control) {
    within = FirstDescendant(root, true, [&](HWND hwnd) { return Names(hwnd, scope.id, scope.byCaption, scope.caption); });
    if (!within)
      throw ScriptError("no visible control to find control " + control.Describe() + " in, in the window \"" +
                        EscapedName(WindowText(root)) + "\"");
  }
  auto match = [&](HWND hwnd) {
    if (scope.kind == ScriptScope::Kind::Dialog && GetParent(hwnd) != root)
      return false;
    return Names(hwnd, control.id, control.byCaption, control.caption);
  };
  // A visible control first; a step that asks whether a control shows may find a hidden one.
  HWND found = FirstDescendant(within, true, match);
  if (!found && visibility == Visibility::AnyControl)
    found = FirstDescendant(within, false, match);
  if (!found)
    throw ScriptError(std::string("no ") + (visibility == Visibility::AnyControl ? "" : "visible ") + "control " +
                      control.Describe() + " in the window \"" + EscapedName(WindowText(root)) + "\"");
  return found;
}

namespace {

// Asks a grid one of its queries that answer on the clipboard: WM_USER+3 (a row's values), WM_USER+4 (a cell's
// rectangle) or WM_USER+5 (a cell's control and whether it is read-only), for a row and column as the grid shows
// them. Answers the message's result; `text` gets what the grid put on the clipboard, which is emptied again (the
// grid puts nothing there when the result says that the row or column names nothing).
LRESULT GridQuery(HWND grid, UINT message, int row, int col, std::string& text) {
  text.clear();
  const LRESULT result = ::SendMessage(grid, message, static_cast<WPARAM>(row), static_cast<LPARAM>(col));
  const bool answered = message == WM_USER + 5 ? result >= 0 : result == 1;
  if (!answered)
    return result;
  if (::OpenClipboard(grid)) {
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
      if (const char* p = static_cast<const char*>(::GlobalLock(data))) {
        text = p;
        ::GlobalUnlock(data);
      }
    }
    // The answer is read: the clipboard gives its block back.
    ::EmptyClipboard();
    ::CloseClipboard();
  }
  return result;
}

// The parts of a grid's answer, which separates them with ";".
std::vector<std::string> SplitAtSemicolons(const std::string& answer) {
  std::vector<std::string> parts(1);
  for (char c : answer)
    if (c == ';')
      parts.emplace_back();
    else
      parts.back() += c;
  return parts;
}

}  // namespace

std::optional<std::string> ScriptRunner::CellRefusesTyping(const std::string& kind, LRESULT state) {
  if (state < 0)
    return std::nullopt;
  // The grid says whether the cell's control takes typed text (4: it only shows its value, having no editing
  // window); the kind it names with its bases ("CGXTooltipCheckBox;CGXCheckBox") only says what the cell is.
  const bool typesNothing = (state & 4) != 0;
  const std::vector<std::string> lineage = SplitAtSemicolons(kind);
  auto is = [&](const char* name) { return std::find(lineage.begin(), lineage.end(), name) != lineage.end(); };
  if (typesNothing && (lineage.front() == "CGXStatic" || lineage.front() == "CGXHeader"))
    return " is a label, which takes no typed text";
  // A disabled cell takes no click: the grid keeps its focus and the value the cell shows, which passed for typed
  // when it equalled the text.
  if (state & 2)
    return " is disabled, which takes no typed text";
  if (state & 1)
    return " is read-only";
  if (!typesNothing)
    return std::nullopt;
  // A button's click changes its value (a check box toggles) and the typing goes nowhere: its value reads "" whatever
  // its state, which passed for a typed "".
  static constexpr std::pair<const char*, const char*> kButtons[] = {
      {"CGXCheckBox", "a check box"},     {"CGXRadioButton", "a radio button"}, {"CGXRadioButtonEx", "a radio button"},
      {"CGXPushbutton", "a push button"}, {"CGXBitmapButton", "a push button"}};
  for (const auto& [name, what] : kButtons)
    if (is(name))
      return std::string(" is ") + what + ", which takes no typed text: click it";
  // Any other cell that shows a text of the program's (a list of layers with its expand button): the keys that
  // replace a text would reach the grid, whose Delete blanked what the cell showed.
  return " is a " + (lineage.front().empty() ? std::string("cell") : lineage.front() + " cell") +
         ", which takes no typed text";
}

RECT ScriptRunner::CellRect(HWND grid, int row, int col, const ScriptStep& step) {
  // The grid answers a cell's rectangle in its client coordinates; a cell scrolled out of view answers an empty one.
  std::string text;
  if (GridQuery(grid, WM_USER + 4, row, col, text) != 1)
    throw ScriptError("control " + step.control.Describe() + " shows no cell " + std::to_string(row) + ", " +
                      std::to_string(col));
  RECT r{};
  if (std::sscanf(text.c_str(), "%d;%d;%d;%d", &r.left, &r.top, &r.right, &r.bottom) != 4)
    throw ScriptError("control " + step.control.Describe() + " is no grid");
  return r;
}

std::pair<int, int> ScriptRunner::CellAt(HWND grid, POINT screen, const ScriptStep& step) {
  POINT at = screen;
  ::ScreenToClient(grid, &at);
  const int rows = static_cast<int>(::SendMessage(grid, WM_USER + 2, 0, 0));
  const int cols = static_cast<int>(::SendMessage(grid, WM_USER + 1, 0, 0));
  if (rows <= 0 || cols <= 0)
    throw ScriptError("control " + step.control.Describe() +
                      " is no text field, list or grid: what is typed into it cannot be read back");
  // A row's cells share its top and bottom: a row that does not hold the point is left at its first cell in view.
  for (int row = 0; row < rows; ++row)
    for (int col = 0; col < cols; ++col) {
      const RECT cell = CellRect(grid, row, col, step);
      if (cell.left >= cell.right || cell.top >= cell.bottom)
        continue;
      if (at.y < cell.top || at.y >= cell.bottom)
        break;
      if (at.x >= cell.left && at.x < cell.right)
        return {row, col};
    }
  throw ScriptError("no cell of control " + step.control.Describe() + " lies " +
                    (step.atPoint ? "at the point " + std::to_string(step.x) + ", " + std::to_string(step.y)
                                  : std::string("in its middle")));
}

std::string ScriptRunner::CellValue(HWND grid, int row, int col, const ScriptStep& step) {
  // The grid answers the values its row shows, separated by ";": read back only when no value holds one.
  std::string values;
  const std::string where =
      "cell " + std::to_string(row) + ", " + std::to_string(col) + " of control " + step.control.Describe();
  if (GridQuery(grid, WM_USER + 3, row, 0, values) != 1)
    throw ScriptError(where + " is gone");
  const std::vector<std::string> shown = SplitAtSemicolons(values);
  if (shown.size() != static_cast<size_t>(::SendMessage(grid, WM_USER + 1, 0, 0)))
    throw ScriptError(where + " cannot be read back: a value of its row holds a \";\"");
  return shown[static_cast<size_t>(col)];
}

namespace {

// Whether a cell shows along one axis of the grid's client area: it has a size there and its middle lies inside.
bool ShowsAlong(const RECT& cell, const RECT& client, bool vertical) {
  const LONG from = vertical ? cell.top : cell.left, to = vertical ? cell.bottom : cell.right;
  const LONG middle = (from + to) / 2;
  return from < to && middle >= (vertical ? client.top : client.left) &&
         middle < (vertical ? client.bottom : client.right);
}

}  // namespace

POINT ScriptRunner::CellCentre(HWND grid, int row, int col, const ScriptStep& step, bool scrollIntoView) {
  RECT client{};
  ::GetClientRect(grid, &client);
  RECT cell = CellRect(grid, row, col, step);
  const std::string where = "cell " + std::to_string(row) + ", " + std::to_string(col) + " of control " +
                            step.control.Describe();
  for (const bool vertical : {true, false}) {
    if (ShowsAlong(cell, client, vertical))
      continue;
    if (!scrollIntoView)
      throw ScriptError(where + " lies out of view");
    // Scrolled as a click on the grid's scroll bar would: a page at a time while the cell is out of sight (a page
    // moves the grid no further than its last row shown, so it never passes the cell), a line at a time while it
    // is cut at the edge, from where the grid stands and, should the cell lie before it, from the start.
    const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
    const int bar = vertical ? SB_VERT : SB_HORZ;
    auto scroll = [&](WPARAM code) {
      const int before = ::GetScrollPos(grid, bar);
      const RECT was = cell;
      ::SendMessage(grid, message, code, 0);
      cell = CellRect(grid, row, col, step);
      return ::GetScrollPos(grid, bar) != before || cell.left != was.left || cell.top != was.top ||
             cell.right != was.right || cell.bottom != was.bottom;
    };
    auto cut = [&] {
      const LONG from = vertical ? cell.top : cell.left, to = vertical ? cell.bottom : cell.right;
      return from < to && from < (vertical ? client.bottom : client.right);
    };
    auto onwards = [&] {
      while (!ShowsAlong(cell, client, vertical) && scroll(cut() ? SB_LINEDOWN : SB_PAGEDOWN)) {
      }
    };
    onwards();
    if (!ShowsAlong(cell, client, vertical)) {
      scroll(SB_TOP);
      onwards();
    }
    if (!ShowsAlong(cell, client, vertical))
      throw ScriptError(where + " does not come into view when the grid is scrolled");
  }
  POINT centre{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  ::ClientToScreen(grid, &centre);
  return centre;
}

void ScriptRunner::RunStep(const ScriptStep& step) {
  if (step.skipWhenVisible) {
    ScriptControl shown;
    shown.id = step.skipWhenVisible;
    try {
      Find(shown);
      return;
    } catch (const ScriptError&) {
      // Not visible: the step runs.
    }
  }
  m_Host.flush();
  m_Host.print("step " + std::to_string(step.line) + ": " + step.source);
  auto enabled = [&](HWND hwnd) {
    if (!IsWindowEnabled(hwnd))
      throw ScriptError("control " + step.control.Describe() + " is disabled");
    return hwnd;
  };
  switch (step.action) {
    case ScriptAction::Click: {
      HWND control = enabled(Find(step.control));
      Click(control, Target(control, step), step);
      break;
    }
    case ScriptAction::Type: {
      HWND control = enabled(Find(step.control));
      const std::string named = "control " + step.control.Describe();
      // A button or a static takes no text: the click would change it and the text would go nowhere.
      const LRESULT code = SendMessage(control, WM_GETDLGCODE, 0, 0);
      if (code & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON | DLGC_STATIC))
        throw ScriptError(named + " takes no text (a button or a label: click it)");
      // A drop-down list has no text to replace: the click opens its list, the keys move through its entries and
      // the list would stay open, taking the next click.
      if (IsDropList(control))
        throw ScriptError(named + " is a drop-down list, which takes no typed text: pick its entry (pick " +
                          step.control.Describe() + " ENTRY)");
      // A read-only edit (or a combo whose edit is read-only) shows its text and takes no typing.
      if (HWND edit = TextEdit(control); edit && (GetWindowLong(edit, GWL_STYLE) & ES_READONLY))
        throw ScriptError(named + " is read-only");
      const POINT at = Target(control, step);
      // Any other control is typed into as a grid, in the cell under the point: one that shows its text and takes
      // no typing (a label, a header, a read-only cell) is refused as such a control is.
      std::optional<TypedCell> cell;
      const std::string cls = ClassOf(control);
      if (cls != WC_EDIT && cls != WC_COMBOBOX && cls != WC_LISTBOX) {
        const auto [row, col] = CellAt(control, at, step);
        cell = TypedCell{row, col};
        std::string kind;
        const LRESULT state = GridQuery(control, WM_USER + 5, row, col, kind);
        const std::string where = "cell " + std::to_string(row) + ", " + std::to_string(col) + " of " + named;
        if (const std::optional<std::string> refused = CellRefusesTyping(kind, state))
          throw ScriptError(where + *refused);
      }
      Click(control, at, step);
      // The whole text is selected and replaced.
      m_Input.Key(ScriptKey{VK_END, "End"});
      m_Input.Key(ScriptKey{VK_HOME, "Home", true});
      m_Input.Key(ScriptKey{VK_DELETE, "Delete"});
      m_Input.Type(step.text);
      // The typing reaches the control once the step is over: what it took is read at the next idle turn.
      m_PendingType = PendingType{control, cell, step};
      break;
    }
    case ScriptAction::Pick:
      Pick(enabled(Find(step.control)), step);
      break;
    case ScriptAction::Cell: {
      HWND grid = enabled(Find(step.control));
      Click(grid, CellCentre(grid, step.row, step.col, step, true), step);
      break;
    }
    case ScriptAction::Drag: {
      // The row taken is scrolled into view; the row it goes to must show with it. The press must reach the grid.
      HWND grid = enabled(Find(step.control));
      const POINT from = CellCentre(grid, step.row, 0, step, true);
      m_Aimed.push_back(AimedClick{grid, step.control.Describe(), step.line, false, {}});
      m_Input.Drag(from, CellCentre(grid, step.col, 0, step, false));
      break;
    }
    case ScriptAction::ViewerPick: {
      if (!m_Host.pick || !m_Host.api || !m_Host.viewerChanged)
        throw ScriptError("viewer pick: this wizard takes no picks of the board view");
      if (const std::string refused = m_Host.pick(step.ids); !refused.empty())
        throw ScriptError("viewer pick: " + refused);
      const bool answer = m_Host.viewerChanged();
      m_Host.print(std::string("OnViewerSelectionChanged() -> ") + (answer ? "true" : "false"));
      m_Host.flush();
      break;
    }
    case ScriptAction::NetPick:
      if (!m_Host.netPick)
        throw ScriptError("net pick: only the model extractor takes the host's net picks");
      m_Host.netPick(step.ids.front());
      m_Host.flush();
      break;
    case ScriptAction::ViaPort:
      if (!m_Host.viaPort)
        throw ScriptError("via port: only the model extractor has via ports the host switches");
      m_Host.viaPort(step.ids.front(), step.answer);
      m_Host.flush();
      break;
    case ScriptAction::Key:
      m_Input.Key(step.key);
      break;
    case ScriptAction::AnswerMessage:
      m_Rules.push_back({plat::SystemUiKind::MessageBox, step.button, {}, step.match, step.line});
      break;
    case ScriptAction::AnswerOpen:
    case ScriptAction::AnswerSave:
      m_Rules.push_back({step.action == ScriptAction::AnswerOpen ? plat::SystemUiKind::FileOpen
                                                                 : plat::SystemUiKind::FileSave,
                         step.button, step.text, step.match, step.line});
      break;
    case ScriptAction::HostRun:
      m_Host.callback->AnswerRun(step.answer);
      break;
    case ScriptAction::HostMayClose:
      m_Host.callback->AnswerMayClose(step.answer);
      break;
    case ScriptAction::Call:
      Call(step);
      break;
    case ScriptAction::Screenshot: {
      namespace fs = std::filesystem;
      // The reader took only relative names without ".."; a link in the folder must not lead out of it either. The
      // save gets the name as given, not as resolved here, so that its own rule sees every link on the way (one that
      // another user put in a folder every user may write is refused), and nothing is made through such a link.
      std::error_code ignored;
      const fs::path given = m_Host.shotsFolder.empty() ? fs::current_path(ignored)
                                                        : fs::absolute(m_Host.shotsFolder, ignored);
      const fs::path folder = fs::weakly_canonical(given, ignored);
      const fs::path path = given / fs::path(Utf8FromCp1252(step.text));   // a file name of this system's, in UTF-8
      // A name the system cannot resolve (a part longer than a name may be, a path past the longest one, links in a
      // loop) is refused with the system's reason: its empty resolution would read as leading out of the folder.
      std::error_code unresolved;
      const fs::path resolved = fs::weakly_canonical(path, unresolved);
      if (unresolved)
        throw ScriptError("cannot write the screenshot " + path.string() + ": " + plat::ErrnoText(unresolved.value()));
      const auto [left, right] = std::mismatch(folder.begin(), folder.end(), resolved.begin(), resolved.end());
      if (left != folder.end() || resolved == folder)
        throw ScriptError("screenshot " + EscapedName(step.text) + ": leads out of the --shots folder " +
                          folder.string());
      // The folders on the way are made as the save walks, so that none is made through a link swapped in after
      // this check; a folder that cannot be made leaves the save to fail with its reason.
      if (const int refused = plat::PlantedRefusal(path.string()))
        throw ScriptError("cannot write the screenshot " + path.string() + ": " + plat::ErrnoText(refused));
      if (const int refused = plat::MakeFolders(path.parent_path().string()); refused == EACCES)
        throw ScriptError("cannot write the screenshot " + path.string() + ": " + plat::ErrnoText(refused));
      HWND root = Root();
      errno = 0;
      if (!root || !plat::Desktop::SaveWindowScreenshot(root, path.string()))
        throw ScriptError("cannot write the screenshot " + path.string() +
                          (errno ? ": " + plat::ErrnoText(errno) : std::string()));
      break;
    }
    case ScriptAction::ExpectText: {
      const std::string text = WindowText(Find(step.control));
      if (text != step.text)
        throw ScriptError("control " + step.control.Describe() + " reads \"" + EscapedName(text) + "\", not \"" +
                          EscapedName(step.text) + "\"");
      break;
    }
    case ScriptAction::ExpectState: {
      const bool showing = step.state == ScriptState::Visible || step.state == ScriptState::Hidden;
      HWND hwnd = Find(step.control, showing ? Visibility::AnyControl : Visibility::VisibleOnly);
      const LRESULT check = SendMessage(hwnd, BM_GETCHECK, 0, 0);
      HWND focus = GetFocus();
      bool holds = false;
      const char* word = "";
      switch (step.state) {
        case ScriptState::Enabled: holds = IsWindowEnabled(hwnd); word = "enabled"; break;
        case ScriptState::Disabled: holds = !IsWindowEnabled(hwnd); word = "disabled"; break;
        case ScriptState::Checked: holds = check == BST_CHECKED; word = "checked"; break;
        case ScriptState::Unchecked: holds = check == BST_UNCHECKED; word = "unchecked"; break;
        // What the user sees: the control and every window above it shown (a control of a wizard page that is
        // not the current page is hidden).
        case ScriptState::Visible: holds = IsWindowVisible(hwnd); word = "visible"; break;
        case ScriptState::Hidden: holds = !IsWindowVisible(hwnd); word = "hidden"; break;
        case ScriptState::Focused: holds = focus && (focus == hwnd || IsChild(hwnd, focus)); word = "focused"; break;
      }
      if (!holds)
        throw ScriptError("control " + step.control.Describe() + " is not " + word);
      break;
    }
    case ScriptAction::ExpectLog: {
      m_Host.flush();
      bool found = false;
      // The step's own line does not count.
      for (size_t i = 0; i + 1 < m_Host.log->size() && !found; ++i)
        found = (*m_Host.log)[i].find(Utf8FromCp1252(step.text)) != std::string::npos;   // the log is UTF-8
      if (!found)
        throw ScriptError("no host-log line so far contains \"" + EscapedName(step.text) + "\"");
      break;
    }
  }
}

void ScriptRunner::Pick(HWND control, const ScriptStep& step) {
  const std::string cls = ClassOf(control);
  const bool combo = cls == WC_COMBOBOX;
  if (!combo && cls != WC_LISTBOX)
    throw ScriptError("control " + step.control.Describe() + " is no list box or combo box");
  const LRESULT index = FindEntry(control, combo, step.text);
  if (index < 0)
    throw ScriptError("control " + step.control.Describe() + " has no entry \"" + EscapedName(step.text) + "\"");
  auto move = [&](LRESULT from) {
    for (LRESULT i = from; i < index; ++i)
      m_Input.Key(ScriptKey{VK_DOWN, "Down"});
    for (LRESULT i = from; i > index; --i)
      m_Input.Key(ScriptKey{VK_UP, "Up"});
  };
  if (combo) {
    // A list already open (a grid's combo cell opens its list as the cell is clicked) takes the click on its entry
    // at once: a click on the combo would close it.
    if (IsWindowVisible(ComboList(control))) {
      ClickComboEntry(control, static_cast<int>(index), step);
      return;
    }
    // A click opens the list (on the arrow, for a combo with an edit); the entry is scrolled into the open list, as
    // its scroll bar would, and clicked there: the combo goes to it directly, past no other entry on the way.
    RECT r{};
    GetWindowRect(control, &r);
    const bool dropList = IsDropList(control);
    const int arrow = GetSystemMetrics(SM_CXVSCROLL);
    Click(control, dropList ? Centre(control) : POINT{r.right - arrow / 2 - 1, (r.top + r.bottom) / 2}, step);
    if (IsWindowVisible(ComboList(control)))
      ClickComboEntry(control, static_cast<int>(index), step);
    else
      // Real input opens the list some time after the click: the entry is clicked once it shows (OnIdle).
      m_PendingPick = PendingPick{control, static_cast<int>(index), step};
    return;
  }
  // A list box: the entry is scrolled into view, as its scroll bar would, and clicked: no other entry is selected on
  // the way (each selection may load a file, or ask something). Arrows from the first entry shown only when the
  // entry still does not show.
  RECT item{};
  RECT client{};
  GetClientRect(control, &client);
  auto shows = [&] {
    return SendMessage(control, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != LB_ERR &&
           item.top >= client.top && item.bottom <= client.bottom;
  };
  if (!shows()) SendMessage(control, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
  if (shows()) {
    Click(control, plat::InputRouter::ClientPoint(control, (item.left + item.right) / 2, (item.top + item.bottom) / 2),
          step);
    return;
  }
  const LRESULT top = SendMessage(control, LB_GETTOPINDEX, 0, 0);
  SendMessage(control, LB_GETITEMRECT, static_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&item));
  Click(control, plat::InputRouter::ClientPoint(control, (item.left + item.right) / 2, (item.top + item.bottom) / 2),
        step);
  move(top);
}

HWND ScriptRunner::TextEdit(HWND control) {
  const std::string cls = ClassOf(control);
  if (cls == WC_EDIT)
    return control;
  if (cls != WC_COMBOBOX)
    return nullptr;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(control, &info) ? info.hwndItem : nullptr;
}

void ScriptRunner::CheckTyped(HWND control, const std::optional<TypedCell>& cell, const ScriptStep& step) {
  const std::string named = "control " + step.control.Describe();
  if (!IsWindow(control))
    throw ScriptError(named + " went away while it was typed into");
  // A window that still has the mouse (a combo's list that the click opened) would take the next click.
  if (HWND captured = GetCapture())
    throw ScriptError("the typing into " + named + " left " + Named(captured) +
                      " holding the mouse: the next click would go to it");
  // The text is read where the typing went: the control, or the part of it that has the focus (a combo's edit, a
  // grid's cell editor); a list box answers its selected entry, which typing moves to; a grid that kept the focus
  // itself answers the value of the cell typed into. Where no text can be read, the typing cannot be told to have
  // arrived.
  HWND focus = GetFocus();
  HWND holder = focus && (focus == control || IsChild(control, focus)) ? focus : control;
  const std::string cls = ClassOf(holder);
  std::string text;
  if (cls == WC_LISTBOX) {
    const LRESULT selected = SendMessage(holder, LB_GETCURSEL, 0, 0);
    if (selected >= 0)
      text = EntryText(holder, false, selected);
  } else if (cls == WC_EDIT || cls == WC_COMBOBOX) {
    text = WindowText(holder);
  } else if (holder == control && cell) {
    text = CellValue(control, cell->row, cell->col, step);
  } else {
    throw ScriptError("the typing into " + named + " went to " + Named(holder) + ", whose text cannot be read back");
  }
  if (text != step.text)
    throw ScriptError(named + " reads \"" + EscapedName(text) + "\" after \"" + EscapedName(step.text) +
                      "\" was typed into it");
}

HWND ScriptRunner::ComboList(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
}

void ScriptRunner::ClickComboEntry(HWND combo, int index, const ScriptStep& step) {
  HWND list = ComboList(combo);
  if (!list || !IsWindowVisible(list))
    throw ScriptError("control " + step.control.Describe() + " did not open its list");
  RECT item{};
  RECT client{};
  GetClientRect(list, &client);
  SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  if (item.top < client.top || item.bottom > client.bottom) {
    SendMessage(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  }
  Click(list, plat::InputRouter::ClientPoint(list, (item.left + item.right) / 2, (item.top + item.bottom) / 2), step);
}

void ScriptRunner::Call(const ScriptStep& step) {
  if (!m_Host.api)
    throw ScriptError("call: the operations are the wizard's; no wizard is open");
  CWizardAPI& api = *m_Host.api;
  const char* argument = step.text.c_str();
  bool answer = false;
  if (step.operation == "Run")
    answer = api.Run();
  else if (step.operation == "CloseWizard")
    answer = api.CloseWizard();
  else if (step.operation == "Close")
    answer = api.Close();
  else if (step.operation == "LoadSettings")
    answer = api.LoadSettings(argument);
  else if (step.operation == "SetOutputFileName")
    answer = api.SetOutputFileName(argument);
  else if (step.operation == "SetDRCReportFile")
    answer = api.SetDRCReportFile(argument);
  else if (step.operation == "OnViewerSelectionChanged") {
    if (!m_Host.viewerChanged)
      throw ScriptError("OnViewerSelectionChanged: this wizard has none");
    answer = m_Host.viewerChanged();
  } else {
    const std::optional<bool> asked = m_Host.query ? m_Host.query(step.operation) : std::nullopt;
    if (!asked)
      throw ScriptError(step.operation + ": this wizard has no such operation");
    answer = *asked;
  }
  m_Host.print(step.operation + "(" + (step.hasArgument ? EscapedName(step.text) : std::string()) + ") -> " +
               (answer ? "true" : "false"));
  m_Host.flush();
}

std::optional<plat::SystemAnswer> ScriptRunner::Answer(const plat::SystemRequest& request) {
  m_Host.flush();
  const std::string asked = std::string(KindWord(request.kind)) + " \"" + EscapedName(request.caption) + "\": " +
                            EscapedName(request.text);
  auto said = [&](const plat::SystemAnswer& answer, const std::string& word) {
    m_Host.print(asked + " -> " + word);
    return answer;
  };
  for (auto it = m_Rules.begin(); it != m_Rules.end(); ++it) {
    if (it->kind != request.kind)
      continue;
    if (!it->match.empty() && request.caption.find(it->match) == std::string::npos &&
        request.text.find(it->match) == std::string::npos)
      continue;
    const Rule rule = *it;
    m_Rules.erase(it);
    if (rule.kind == plat::SystemUiKind::MessageBox)
      return said(plat::SystemAnswer{rule.button, {}, 0}, ButtonWord(rule.button));
    if (rule.button == IDCANCEL)
      return said(plat::SystemAnswer{IDCANCEL, {}, 0}, "cancel");
    return said(plat::SystemAnswer{IDOK, rule.file, 1}, EscapedName(rule.file));
  }
  // Not scripted: a run without a script takes the first button; a script that did not expect it fails, and the
  // box is cancelled (or, without a Cancel button, given its first one) so that the wizard can be closed.
  const int line = m_nNext > 0 && m_nNext <= m_Steps.size() ? m_Steps[m_nNext - 1].line : 0;
  if (!m_ScriptName.empty() || m_bFailed)
    Fail(std::string("the script does not answer the ") + KindWord(request.kind) + " \"" + EscapedName(request.caption) +
             "\": " + EscapedName(request.text),
         line);
  // Without a script a box still gets its first button, so that the wizard goes on, but it asked for input that
  // nothing gave (a settings file that cannot be written, a check that fails): the run fails rather than ending as
  // if all had gone as asked.
  if (m_ScriptName.empty())
    Fail(std::string("no script answers the ") + KindWord(request.kind) + " \"" + EscapedName(request.caption) +
             "\": " + EscapedName(request.text),
         0);
  if (request.kind != plat::SystemUiKind::MessageBox)
    return said(plat::SystemAnswer{IDCANCEL, {}, 0}, "cancel");
  const std::vector<plat::MessageBoxButton> buttons = plat::MessageBoxButtons(request.flags);
  int code = buttons.empty() ? IDOK : buttons.front().id;
  if (!m_ScriptName.empty())
    for (const auto& b : buttons)
      if (b.id == IDCANCEL)
        code = IDCANCEL;
  return said(plat::SystemAnswer{code, {}, 0}, ButtonWord(code));
}

ScreenPacer::ScreenPacer(plat::SdlPresenter& presenter, ScriptRunner* runner, bool delayedInput)
    : m_Presenter(presenter), m_pRunner(runner), m_bDelayed(delayedInput) {
  m_pPrevious = plat::MessageQueue::Instance().eventSource;
  plat::MessageQueue::Instance().eventSource = this;
}

ScreenPacer::~ScreenPacer() { plat::MessageQueue::Instance().eventSource = m_pPrevious; }

bool ScreenPacer::Ready() const {
  HWND active = GetActiveWindow();
  return active && IsWindowVisible(active) && !GetUpdateRect(active, nullptr, FALSE) &&
         !plat::InputRouter::Instance().HasInput();
}

bool ScreenPacer::WaitForEvents(std::optional<std::uint64_t> timeoutMs) {
  using namespace std::chrono;
  constexpr auto kSettle = milliseconds(300);
  constexpr auto kDeadline = seconds(20);
  // Ending the run takes idle turns as the steps do: each try is judged once the window in front has taken the
  // last one, and the next comes only while the run is still going.
  if (m_pRunner && m_pRunner->Closing() && Ready()) {
    m_pRunner->OnIdle();
    return true;
  }
  if (!m_pRunner || (m_pRunner->Ended() && !m_pRunner->HasStepsLeft()))
    return m_Presenter.WaitForEvents(m_pRunner && m_pRunner->Ended() ? std::optional<std::uint64_t>(50) : timeoutMs);
  const auto now = steady_clock::now();
  auto shortWait = [&](std::uint64_t ms) {
    return m_Presenter.WaitForEvents(timeoutMs ? std::min<std::uint64_t>(*timeoutMs, ms) : ms);
  };
  if (!m_bWaiting) {
    m_bWaiting = true;
    m_WaitingSince = now;
  }
  if (!Ready() || (m_bDelayed && now - m_LastStep < kSettle)) {
    if (now - m_WaitingSince > kDeadline) {
      m_pRunner->Fail("the window in front never became ready for the next step", 0);
      m_pRunner->OnIdle();
      m_bWaiting = false;
      return true;
    }
    return shortWait(20);
  }
  if (m_bDelayed && !m_bFocused) {
    if (!m_Presenter.WaitUntilFocused(10000)) {
      m_pRunner->Fail("the presenter's window never got the X keyboard focus", 0);
    }
    m_bFocused = true;
  }
  m_bWaiting = false;
  m_pRunner->OnIdle();
  m_LastStep = steady_clock::now();
  return true;
}

}  // namespace host
