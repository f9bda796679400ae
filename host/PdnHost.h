// PdnHost: the host program's engine. It loads the module library as the host application does (dlopen, the
// exported factories by name), reads a board file, hands the module a callback that logs every call, and drives one
// wizard interface object through the steps given on the command line, printing what each operation answers and,
// at the end, every getter.
#pragma once

#include "brimstead/BrimsteadExports.h"
#include "host/HostCallbackLog.h"
#include "host/HostHelp.h"
#include "host/HostText.h"
#include "host/PdnScriptRunner.h"

#include <functional>
#include <iosfwd>
#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace host {

class HostBoard;
class HostBoardMarker;
class HostLedger;
class HostNet;
class HostProbe;
class HostSystem;

// A command line that cannot be used: the text says what is wrong.
class PdnHostUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum class WizardKind { Decoupling, Bypass, ViaModel, Extractor };

struct PdnHostOptions {
  std::string library;        // the module library
  std::string board;          // the board file
  std::vector<std::string> moreBoards;   // a second --board and on: the system holds these after the first
  WizardKind wizard = WizardKind::Decoupling;
  bool boardMode = false;     // hand in the board alone (EnableBoardMode, SetBoard) instead of a system
  // Names and paths handed to the module (project, help file, names, output and report names, settings file,
  // capacitor, model directories, unit text) are converted to code page 1252 as they are read.
  std::optional<std::string> project;
  std::optional<std::string> helpFile;
  std::vector<std::string> names;
  std::optional<bool> option1, option2;
  bool debugOptions = false;
  std::optional<int> tableValue;
  bool tableValueLibrary = false;    // --table-value library: the board's model library
  std::optional<std::string> outputName;
  std::optional<std::string> drcReport;
  std::optional<std::string> load;   // settings file to load (or to use as the last configuration)
  bool save = false;                 // let the wizard write the settings file (its Finish)
  bool settingsCopy = false;         // hand the wizard an empty settings-copy buffer, print what it names at the end
  std::optional<std::string> open;   // "modal" or "modeless"
  bool printGetters = true;
  bool fixedClock = false;           // the time of day stands at 2024-01-01 00:00:00 (settings files' stamp)
  std::optional<std::string> script; // steps run in the open wizard (PdnScript.h)
  bool screen = false;               // show the desktop on screen instead of headless
  bool realInput = false;            // on screen: the script's input as real X events (xdotool)
  std::string shots;                 // folder of the script's screenshots (default: the working folder)
  std::optional<std::string> dialog; // "editor" (the capacitor model editor), "groups" (the decoupling groups
                                     // dialog) or "models" (the capacitor models dialog) instead of a wizard
  std::optional<std::string> capacitor;   // the decoupling capacitor whose model the editor opens with
  std::vector<std::string> modelDirectories;   // the editor's (and models dialog's) model directories, in order
  bool extendedKinds = false;        // the editor offers "PLS" and z- and y-parameter files
  std::optional<std::string> unitText;   // the host's unit text handed to a dialog ("" asks for mils)
};

// The usage text.
const char* PdnHostUsage();
// Throws PdnHostUsageError. `defaultLibrary`, `defaultBoard` and `defaultModels` (the editor's model directory)
// fill what the line does not give.
PdnHostOptions ParsePdnHostArguments(const std::vector<std::string>& arguments, const std::string& defaultLibrary,
                                     const std::string& defaultBoard, const std::string& defaultModels = {});

// What the host prints goes to `out`; what went wrong (a file or library that cannot be used, a wizard that
// cannot open, host objects the module kept) goes to `err`.
class PdnHost {
public:
  PdnHost(std::ostream& out, std::ostream& err);
  ~PdnHost();
  PdnHost(const PdnHost&) = delete;
  PdnHost& operator=(const PdnHost&) = delete;

  // Runs the steps; answers the exit code: 0 done, 2 the library, board, script or screen could not be used (a
  // library that opens no wizard when one is asked for included), 4 the script failed or a modal wizard waited
  // headless for input that nothing could give.
  int Run(const PdnHostOptions& options);

private:
  // A file named on the command line that must be there: false after saying why it cannot be used.
  bool CheckGivenFile(const char* option, const std::optional<std::string>& path);
  // Folders named on the command line that must be there and be listed: false after saying which cannot.
  bool CheckGivenFolders(const char* option, const std::vector<std::string>& folders);
  bool LoadLibrary(const std::string& path);
  CWizardAPI* CreateObject(WizardKind kind);
  void Step(const std::string& what, bool answer);
  void FlushCallback();
  bool OpenModeless(CWizardAPI& api);
  void PumpMessages();
  void PrintGetters(CWizardAPI& api, WizardKind kind);
  void SayNoWizard(const std::string& why);
  // The board view's marks as one line ("marks: 2 at (x,y) (x,y)", millimetres), empty without a board view.
  std::string MarksLine() const;
  // The host events a script can raise in the model extractor.
  void PickNet(const std::string& name);
  // The net's board view selects the net (its supply pins kept, the vias of the net and its members taken) and the
  // extractor is told (SetSelectedNet, printed).
  void SelectNetInView(HostBoard& board, HostNet* net);
  // The module asked the host to select the net (the SelectNet callback): the board holding it selects it.
  void SelectNetFor(CHostNet* net);
  void SwitchViaPort(const std::string& id, bool enabled);
  HostProbe* FindProbe(const std::string& id) const;
  void Print(const std::string& line);
  // Reads and checks the --script before anything is loaded, and the folder its screenshots go to; false after
  // saying what is wrong.
  bool ReadScript(const PdnHostOptions& options);
  bool PrepareScript(const PdnHostOptions& options);
  void RunModelessLoop();
  int RunEditorDialog(const PdnHostOptions& options);
  int RunGroupsDialog(const PdnHostOptions& options);
  int RunModelsDialog(const PdnHostOptions& options);
  // The dialog object a module export makes, or null after saying why there is none.
  template <class Factory>
  auto MakeDialogObject(const char* exportName) -> decltype(std::declval<Factory>()());
  // Runs a dialog's modal loop under the script: 2 when the script cannot start, 4 when it failed, else 0. `run`
  // answers the modal result and the words printed after it.
  int RunScriptedModal(const PdnHostOptions& options, const std::function<std::pair<int, std::string>()>& run);
  static std::string JoinedModelDirectories(const std::vector<std::string>& list);
  void ReportKeptHostObjects();
  void PrintModels();
  void PrintGroups();
  void PrintModel(const std::string& what, CHostCapacitorModel* model);

  std::ostream& m_out;
  std::ostream& m_err;
  void* m_library = nullptr;
  // Once a dialog ran the module stays loaded: its editors live for the process, and the grid library keeps
  // what its grids made (the font table) in process-wide objects that only the process's end frees.
  bool m_keepLibrary = false;
  std::unique_ptr<HostLedger> m_ledger;
  std::unique_ptr<HostBoard> m_board;
  std::vector<std::unique_ptr<HostBoard>> m_moreBoards;
  std::unique_ptr<HostSystem> m_system;
  std::unique_ptr<CHostGeometryQuery> m_geometry;   // the geometry of the board the wizard's record holds
  HostCallbackLog m_callback;
  std::unique_ptr<HostHelp> m_help;   // the module's help calls, logged with the callback's lines
  size_t m_callbackPrinted = 0;
  size_t m_changesPrinted = 0;
  std::vector<size_t> m_moreChangesPrinted;   // per further board
  CWizardAPI* m_api = nullptr;
  WizardKind m_kind = WizardKind::Decoupling;
  // The board view handed to the via-model and extractor objects, and what of it was printed last.
  std::unique_ptr<HostBoardMarker> m_marker;
  std::string m_marksPrinted;
  size_t m_viewPrinted = 0;
  std::vector<std::string> m_log;   // every step and callback line printed so far
  std::unique_ptr<plat::SdlPresenter> m_presenter;
  std::unique_ptr<ScriptInput> m_input;
  std::vector<ScriptStep> m_steps;   // the script's steps, read by ReadScript
  std::unique_ptr<ScriptRunner> m_runner;
  std::unique_ptr<ScreenPacer> m_pacer;
  std::string m_dialogCaption;   // the caption by which a script finds the dialog that runs instead of a wizard
  // The host's settings-copy buffer (--settings-copy): the module writes the name of its copy of the settings here.
  std::array<char, 260> m_settingsCopy{};
};

}  // namespace host
