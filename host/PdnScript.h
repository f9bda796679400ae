// pdnhost's scripts: a line-based file of steps that drive an open wizard (see host/README.md for the language).
//
// Each line is one step: a command word followed by arguments, an argument being a bare word or a text in double
// quotes (with \" \\ \t \n \r inside). Blank lines and lines starting with '#' are skipped. Reading checks every
// line before anything runs and reports the first bad one as "<file>:<line>: <what is wrong>".
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host {

class ScriptError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Where a control is looked for (a step's trailing `in PARENT`): anywhere in the window in front, among its own
// controls only (`in dialog`, not those of its panes), in its visible pane (`in pane`: the child dialog shown, e.g.
// a wizard's page or the model editor's kind pane), or inside a control of it named by id or caption.
struct ScriptScope {
  enum class Kind { Window, Dialog, Pane, Control };
  Kind kind = Kind::Window;
  int id = 0;
  std::string caption;
  bool byCaption = false;
};

// A control of the window in front: by its id, or by its caption (its text as written, or as shown: without its
// '&' marks).
struct ScriptControl {
  int id = 0;
  std::string caption;
  bool byCaption = false;
  ScriptScope scope;
  std::string Describe() const;
};

// A key with its modifiers: the platform's virtual key and the X key name of the same key.
struct ScriptKey {
  int vk = 0;
  std::string xName;
  bool shift = false, ctrl = false, alt = false;
};

enum class ScriptAction {
  Click,         // click CONTROL [at X Y [shift|ctrl]]
  Type,          // type CONTROL [at X Y] TEXT: the control's text replaced by typing
  Pick,          // pick CONTROL ENTRY: an entry of a list box or combo box
  Key,           // key CHORD, e.g. Tab, shift+Tab, alt+n, Enter
  AnswerMessage, // answer message BUTTON [MATCH]
  AnswerOpen,    // answer open FILE|cancel [MATCH]
  AnswerSave,    // answer save FILE|cancel [MATCH]
  HostRun,       // host run yes|no
  HostMayClose,  // host mayclose yes|no
  Call,          // call OPERATION [ARGUMENT]
  Screenshot,    // screenshot FILE
  ExpectText,    // expect text CONTROL TEXT
  ExpectState,   // expect state CONTROL enabled|disabled|checked|unchecked|visible|hidden|focused
  ExpectLog,     // expect log TEXT: a line the host printed so far contains TEXT
  Cell,          // cell CONTROL ROW COL: a click into a cell of a grid (row or column 0: a header)
  Drag,          // drag CONTROL ROW TO: a grid row dragged by its header onto row TO
  ViewerPick,    // viewer pick ID...: the board view's selection becomes these probes, and the wizard hears of it
};

enum class ScriptState { Enabled, Disabled, Checked, Unchecked, Visible, Hidden, Focused };

struct ScriptStep {
  ScriptAction action = ScriptAction::Click;
  int line = 0;
  std::string source;     // the line as written
  ScriptControl control;  // Click, Type, Pick, ExpectText, ExpectState
  std::string text;       // typed text, entry, file name, expected text or line, operation argument, screenshot
  std::string match;      // answers: a fragment of the caption or text the answer is for (empty: any)
  std::string operation;  // Call
  bool hasArgument = false;
  int button = 0;         // AnswerMessage: IDOK, IDCANCEL, ...; AnswerOpen/Save: IDOK or IDCANCEL
  bool answer = false;    // HostRun, HostMayClose
  ScriptState state = ScriptState::Enabled;
  ScriptKey key;
  int row = 0, col = 0;            // Cell, Drag (col: the row dragged onto)
  std::vector<std::string> ids;    // ViewerPick
  // Click and Type "at X Y": the click goes to that point of the control (pixels from its top left corner)
  // instead of its middle, with Shift or Ctrl held when asked (Click).
  bool atPoint = false;
  int x = 0, y = 0;
  bool withShift = false, withCtrl = false;
};

// The interface operations a script may call, with whether each takes an argument.
struct ScriptOperation {
  const char* name;
  bool takesArgument;
};
const std::vector<ScriptOperation>& ScriptOperations();

// Throws ScriptError naming `fileName` and the line.
std::vector<ScriptStep> ParseScript(std::string_view text, const std::string& fileName);
// Reads and parses a file; a file that cannot be read is a ScriptError too.
std::vector<ScriptStep> LoadScript(const std::string& path);

}  // namespace host
