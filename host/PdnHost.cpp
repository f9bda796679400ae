#include "host/PdnHost.h"

#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostBoardMarker.h"
#include "host/HostLedger.h"
#include "host/HostRecordGeometryQuery.h"
#include "host/HostSystem.h"
#include "host/HostText.h"
#include "platform/base/AtomicFile.h"
#include "platform/base/CodePage.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"
#include "platform/base/VirtualClock.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/framework/ControlCodes.h"
#include "platform/window/windowapi.h"

#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <sstream>

namespace host {
namespace {

const char* KindName(WizardKind kind) {
  switch (kind) {
    case WizardKind::Decoupling: return "decoupling";
    case WizardKind::Bypass: return "bypass";
    case WizardKind::ViaModel: return "via-model";
    case WizardKind::Extractor: return "extractor";
  }
  return "?";
}

bool ParseSwitch(const std::string& option, const std::string& value) {
  if (value == "on" || value == "1")
    return true;
  if (value == "off" || value == "0")
    return false;
  throw PdnHostUsageError(option + ": expected on or off, found \"" + value + "\"");
}

std::string Text(const char* text) { return text ? EscapedName(text) : "(none)"; }

// A name from the command line as the module takes it, in code page 1252.
std::string ModuleText(const std::string& option, const std::string& text) {
  std::optional<std::string> converted = Cp1252FromUtf8Strict(text);
  if (!converted)
    throw PdnHostUsageError(option + ": \"" + text + "\" has a character that code page 1252 does not have");
  return std::move(*converted);
}

// The desktop the wizards show on, headless and on screen: room for the largest wizard and a box in front of it.
constexpr int kDesktopWidth = 900;
constexpr int kDesktopHeight = 640;
// The start page's "Save settings to file" box, which --save ticks, and the wizards' Back button.
constexpr int kSaveSettingsBox = 1065;
constexpr int kBackButton = 22348;
// The dialogs' captions, by which a script finds their windows.
constexpr const char* kEditorCaption = "Assign / Edit Capacitor Model";
constexpr const char* kGroupsCaption = "Assign Decoupling-Capacitor Groups";
constexpr const char* kModelsCaption = "Assign Decoupling-Capacitor Models";
// Ports whose pins the result's getters list.
constexpr int kListedPorts = 64;

const char* ModelKindName(int kind) {
  switch (kind) {
    case HostModelCLR: return "C-L-R";
    case HostModelTouchstone: return "Touchstone";
    case HostModelSPICE: return "SPICE";
    case HostModelPLS: return "PLS";
  }
  return "unknown";
}

}  // namespace

const char* PdnHostUsage() {
  return "usage: pdnhost [options]\n"
         "  --library FILE          the module library (default: the one built beside pdnhost)\n"
         "  --board FILE            board file (default: the 8-layer sample board); a second --board and on make\n"
         "                          a system of several boards, of which the wizard lets the user choose\n"
         "  --wizard KIND           decoupling (default), bypass, via-model or extractor\n"
         "  --board-mode            hand in the board alone instead of a system of boards\n"
         "  --project FILE          project file (must be there); its settings file is the same name with \".dao\"\n"
         "  --help-file TEXT        help file of the wizard\n"
         "  --names TEXT            names for the wizard (separated by tab, CR or LF); may repeat\n"
         "  --option1 on|off        wizard option 1, every wizard: its capacitor-models step (default on)\n"
         "  --option2 on|off        wizard option 2, every wizard: that step's table lists the capacitor groups\n"
         "                          only (default off)\n"
         "  --debug-options         enable the debug options (every wizard: the debug step, and the further model\n"
         "                          kinds in the capacitor step's model editor)\n"
         "  --table-value N|library the value handed to the wizard's capacitor table: a number, or the board's\n"
         "                          model library\n"
         "  --output NAME           output file name\n"
         "  --drc-report NAME       DRC report file (decoupling)\n"
         "  --load FILE             load settings (decoupling and extractor: \"Use last configuration\" of the\n"
         "                          open wizard)\n"
         "  --save                  let the wizard save its settings file (its Finish)\n"
         "  --settings-copy         hand the wizard an empty buffer for the name of its copy of the settings, and\n"
         "                          print the name it holds at the end\n"
         "  --open modal|modeless   open the wizard\n"
         "  --no-getters            do not print the getters at the end\n"
         "  --fixed-clock           the time of day stands at 2024-01-01 00:00:00 (for comparable settings files)\n"
         "  --script FILE           run the steps of FILE in the open wizard (see host/README.md); needs --open\n"
         "  --screen                show the wizard on screen instead of headless\n"
         "  --real-input            with --screen and --script: the script's input as real X events (xdotool)\n"
         "  --shots DIR             folder for the script's screenshots (default: the working folder)\n"
         "  --dialog editor         open the capacitor model editor (modal) instead of a wizard; --script and\n"
         "                          --screen work in it as in a wizard\n"
         "  --capacitor NAME        the decoupling capacitor whose model and pins the editor gets (default: the\n"
         "                          board's first)\n"
         "  --model-dir DIR         a model directory of the editor; may repeat (default: the sample models)\n"
         "  --extended-kinds        the editor offers \"PLS\" models and z- and y-parameter files\n"
         "  --dialog groups         open the decoupling groups dialog (modal) on the board (--board-mode) or on a\n"
         "                          system of it; --script and --screen work in it as in a wizard\n"
         "  --unit-text TEXT        the host's unit text handed to the dialog (\"\" shows lengths in mils)\n"
         "  --dialog models         open the capacitor models dialog (modal) on a system of the boards, with the\n"
         "                          model directories (--model-dir), the board's model library and --unit-text;\n"
         "                          --script and --screen work in it as in a wizard\n"
         "Exit codes: 0 done, 2 bad command line, board, library (one that opens no wizard included), script or\n"
         "screen, 4 the script failed or a headless wizard asked for input that no script gives (a modal wizard\n"
         "waiting, a box that no script answers).\n";
}

PdnHostOptions ParsePdnHostArguments(const std::vector<std::string>& arguments, const std::string& defaultLibrary,
                                     const std::string& defaultBoard, const std::string& defaultModels) {
  PdnHostOptions options;
  options.library = defaultLibrary;
  options.board = defaultBoard;
  bool boardGiven = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size())
        throw PdnHostUsageError(option + ": a value is missing");
      return arguments[++i];
    };
    if (option == "--library") {
      options.library = value();
    } else if (option == "--board") {
      // The first replaces the default; every further one joins the system (the user then chooses a board).
      if (boardGiven)
        options.moreBoards.push_back(value());
      else
        options.board = value();
      boardGiven = true;
    } else if (option == "--wizard") {
      const std::string& kind = value();
      if (kind == "decoupling")
        options.wizard = WizardKind::Decoupling;
      else if (kind == "bypass")
        options.wizard = WizardKind::Bypass;
      else if (kind == "via-model")
        options.wizard = WizardKind::ViaModel;
      else if (kind == "extractor")
        options.wizard = WizardKind::Extractor;
      else
        throw PdnHostUsageError("--wizard: expected decoupling, bypass, via-model or extractor, found \"" + kind + "\"");
    } else if (option == "--board-mode") {
      options.boardMode = true;
    } else if (option == "--project") {
      options.project = ModuleText(option, value());
    } else if (option == "--help-file") {
      options.helpFile = ModuleText(option, value());
    } else if (option == "--names") {
      options.names.push_back(ModuleText(option, value()));
    } else if (option == "--option1") {
      options.option1 = ParseSwitch(option, value());
    } else if (option == "--option2") {
      options.option2 = ParseSwitch(option, value());
    } else if (option == "--debug-options") {
      options.debugOptions = true;
    } else if (option == "--table-value") {
      const std::string& text = value();
      if (text == "library") {
        options.tableValueLibrary = true;
        options.tableValue.reset();
        continue;
      }
      options.tableValueLibrary = false;
      size_t used = 0;
      int number = 0;
      try {
        number = std::stoi(text, &used);
      } catch (const std::exception&) {
        used = 0;
      }
      if (used == 0 || used != text.size())
        throw PdnHostUsageError("--table-value: expected a whole number, found \"" + text + "\"");
      options.tableValue = number;
    } else if (option == "--output") {
      options.outputName = ModuleText(option, value());
    } else if (option == "--drc-report") {
      options.drcReport = ModuleText(option, value());
    } else if (option == "--load") {
      options.load = ModuleText(option, value());
    } else if (option == "--save") {
      options.save = true;
    } else if (option == "--settings-copy") {
      options.settingsCopy = true;
    } else if (option == "--open") {
      const std::string& how = value();
      if (how != "modal" && how != "modeless")
        throw PdnHostUsageError("--open: expected modal or modeless, found \"" + how + "\"");
      options.open = how;
    } else if (option == "--no-getters") {
      options.printGetters = false;
    } else if (option == "--fixed-clock") {
      options.fixedClock = true;
    } else if (option == "--script") {
      options.script = value();
    } else if (option == "--screen") {
      options.screen = true;
    } else if (option == "--real-input") {
      options.realInput = true;
    } else if (option == "--shots") {
      options.shots = value();
    } else if (option == "--dialog") {
      const std::string& which = value();
      if (which != "editor" && which != "groups" && which != "models")
        throw PdnHostUsageError("--dialog: expected editor, groups or models, found \"" + which + "\"");
      options.dialog = which;
    } else if (option == "--capacitor") {
      options.capacitor = ModuleText(option, value());
    } else if (option == "--model-dir") {
      // Absolute, so that the editor's paths do not depend on a working folder the module may not share.
      std::error_code ignored;
      const std::filesystem::path directory = std::filesystem::absolute(value(), ignored);
      options.modelDirectories.push_back(ModuleText(option, directory.empty() ? arguments[i] : directory.string()));
    } else if (option == "--extended-kinds") {
      options.extendedKinds = true;
    } else if (option == "--unit-text") {
      options.unitText = ModuleText(option, value());
    } else {
      throw PdnHostUsageError("unknown option \"" + option + "\"");
    }
  }
  if (options.dialog && (options.open || options.save || options.load || options.settingsCopy))
    throw PdnHostUsageError(
        "--dialog: opens a dialog instead of a wizard; --open, --save, --load and --settings-copy are the wizard's");
  if (options.dialog != std::string("editor") && options.capacitor)
    throw PdnHostUsageError("--capacitor is the editor's; give --dialog editor");
  if (options.dialog != std::string("editor") && options.dialog != std::string("models") &&
      (!options.modelDirectories.empty() || options.extendedKinds))
    throw PdnHostUsageError("--model-dir and --extended-kinds are the editor's and the models dialog's; give "
                            "--dialog editor or --dialog models");
  if (options.unitText && options.dialog != std::string("groups") && options.dialog != std::string("models"))
    throw PdnHostUsageError("--unit-text is the groups and models dialogs'; give --dialog groups or --dialog models");
  if (options.dialog == std::string("models") && options.boardMode)
    throw PdnHostUsageError("--dialog models: opens on a system of the boards; --board-mode hands in a board alone");
  if ((options.dialog == std::string("editor") || options.dialog == std::string("models")) &&
      options.modelDirectories.empty() && !defaultModels.empty())
    options.modelDirectories.push_back(ModuleText("--model-dir", defaultModels));
  if (options.script && !options.open && !options.dialog)
    throw PdnHostUsageError("--script: the steps run in an open wizard; give --open modal or --open modeless");
  if (options.boardMode && !options.moreBoards.empty())
    throw PdnHostUsageError("--board-mode: hands in one board; give --board once");
  if (options.screen && !options.open && !options.save && !options.dialog)
    throw PdnHostUsageError("--screen: shows an open wizard; give --open modal or --open modeless");
  if (options.realInput && !(options.screen && options.script))
    throw PdnHostUsageError("--real-input: real input needs --screen and --script");
  return options;
}

PdnHost::PdnHost(std::ostream& out, std::ostream& err) : m_out(out), m_err(err), m_ledger(std::make_unique<HostLedger>()) {}

PdnHost::~PdnHost() {
  // The host closes its wizard before it unloads the module.
  if (m_api && m_api->GetWizardWindow()) {
    m_api->Close();
    PumpMessages();
  }
  m_help.reset();
  if (plat::GetAutomationProvider() == m_runner.get())
    plat::SetAutomationProvider(nullptr);
  m_pacer.reset();
  if (m_library && !m_keepLibrary)
    dlclose(m_library);
}

bool PdnHost::LoadLibrary(const std::string& path) {
  m_library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m_library) {
    m_err << "pdnhost: " << plat::Utf8Escaped("cannot load the module library " + path + ": " + dlerror()) << "\n";
    return false;
  }
  m_out << "module: " << plat::Utf8Escaped(path) << "\n";
  return true;
}

CWizardAPI* PdnHost::CreateObject(WizardKind kind) {
  const char* name = nullptr;
  switch (kind) {
    case WizardKind::Decoupling: name = "CreateBrimstead"; break;
    case WizardKind::Bypass: name = "CreateBypassWizard"; break;
    case WizardKind::ViaModel: name = "CreateViaModelWizard"; break;
    case WizardKind::Extractor: name = "CreateModelExtractorWizard"; break;
  }
  void* factory = dlsym(m_library, name);
  if (!factory) {
    m_err << "pdnhost: the module does not export " << name << "\n";
    return nullptr;
  }
  // Each factory answers its object's table, whose first 58 operations are the shared ones.
  switch (kind) {
    case WizardKind::Decoupling: return reinterpret_cast<CreateBrimsteadFn>(factory)();
    case WizardKind::Bypass: return reinterpret_cast<CreateBypassWizardFn>(factory)();
    case WizardKind::ViaModel: return reinterpret_cast<CreateViaModelWizardFn>(factory)();
    case WizardKind::Extractor: return reinterpret_cast<CreateModelExtractorWizardFn>(factory)();
  }
  return nullptr;
}

template <class Factory>
auto PdnHost::MakeDialogObject(const char* exportName) -> decltype(std::declval<Factory>()()) {
  auto factory = reinterpret_cast<Factory>(dlsym(m_library, exportName));
  if (!factory) {
    m_err << "pdnhost: the module does not export " << exportName << "\n";
    return nullptr;
  }
  auto* object = factory();
  if (!object)
    m_err << "pdnhost: " << exportName << " answered no object\n";
  return object;
}

int PdnHost::RunScriptedModal(const PdnHostOptions& options, const std::function<std::pair<int, std::string>()>& run) {
  if (!PrepareScript(options))
    return 2;
  m_runner->SetModal(true);
  std::pair<int, std::string> result{0, std::string()};
  try {
    result = run();
  } catch (const plat::MessageLoopStalled& stalled) {
    m_runner->Fail(stalled.what(), 0);
  }
  FlushCallback();
  Print("RunModal() -> " + std::to_string(result.first) + result.second);
  m_runner->CheckEnd();
  return m_runner->Failed() ? 4 : 0;
}

std::string PdnHost::JoinedModelDirectories(const std::vector<std::string>& list) {
  // Each directory ends with a separator: the editor appends file names to it as they are.
  std::string directories;
  for (std::string directory : list) {
    if (!directory.empty() && directory.back() != '/')
      directory += '/';
    directories += (directories.empty() ? "" : "\n") + directory;
  }
  return directories;
}

void PdnHost::ReportKeptHostObjects() {
  if (!m_ledger->IsBalanced())
    m_err << "pdnhost: the module kept host objects: " << m_ledger->Report() << "\n";
}

void PdnHost::Print(const std::string& line) {
  m_out << line << "\n";
  m_log.push_back(line);
}

void PdnHost::Step(const std::string& what, bool answer) {
  // The step's line first, then what the module told the callback while the step ran.
  Print(what + " -> " + (answer ? "true" : "false"));
  FlushCallback();
}

void PdnHost::FlushCallback() {
  const std::vector<std::string>& lines = m_callback.Lines();
  while (m_callbackPrinted < lines.size())
    Print("callback: " + EscapedName(lines[m_callbackPrinted++]));
  if (m_board) {
    const std::vector<std::string>& changes = m_board->Changes().Lines();
    while (m_changesPrinted < changes.size())
      Print("change: " + EscapedName(changes[m_changesPrinted++]));
    const HostViewLog& view = m_board->ViewLog();
    while (m_viewPrinted < view.size())
      Print("view: " + EscapedName(view[m_viewPrinted++]));
  }
  // The further boards of a system name themselves.
  m_moreChangesPrinted.resize(m_moreBoards.size(), 0);
  for (size_t i = 0; i < m_moreBoards.size(); ++i) {
    const std::vector<std::string>& changes = m_moreBoards[i]->Changes().Lines();
    while (m_moreChangesPrinted[i] < changes.size())
      Print("change (" + EscapedName(m_moreBoards[i]->Name()) + "): " + EscapedName(changes[m_moreChangesPrinted[i]++]));
  }
  // The board view's marks, whenever they changed.
  const std::string marks = MarksLine();
  if (marks != m_marksPrinted) {
    m_marksPrinted = marks;
    if (!marks.empty())
      Print(marks);
  }
}

std::string PdnHost::MarksLine() const {
  if (!m_marker)
    return {};
  std::string line = "marks: " + std::to_string(m_marker->GetMarkCount());
  if (!m_marker->Groups().empty())
    line += " at";
  for (const auto& group : m_marker->Groups()) {
    // A mark group is drawn around one item: its circle's centre names it.
    for (const auto& mark : group->Marks()) {
      if (!mark->Shape().circle)
        continue;
      char at[64];
      std::snprintf(at, sizeof at, " (%.3f,%.3f)", mark->Shape().centre.x * 1000.0, mark->Shape().centre.y * 1000.0);
      line += at;
      break;
    }
  }
  return line;
}

HostProbe* PdnHost::FindProbe(const std::string& id) const {
  if (HostProbe* probe = m_board ? m_board->FindProbe(id) : nullptr)
    return probe;
  for (const auto& more : m_moreBoards)
    if (HostProbe* probe = more->FindProbe(id))
      return probe;
  return nullptr;
}

void PdnHost::PickNet(const std::string& name) {
  HostBoard* board = nullptr;
  HostNet* net = nullptr;
  for (HostBoard* candidate : {m_board.get()}) {
    if ((net = candidate ? candidate->FindNet(name) : nullptr))
      board = candidate;
  }
  for (const auto& more : m_moreBoards)
    if (!net && (net = more->FindNet(name)))
      board = more.get();
  if (!net)
    throw ScriptError("net pick: the board has no net \"" + EscapedName(name) + "\"");
  SelectNetInView(*board, net);
}

void PdnHost::SelectNetFor(CHostNet* wanted) {
  // The board that holds the net the module asked for selects it; a net of no board of ours changes nothing.
  std::vector<HostBoard*> boards{m_board.get()};
  for (const auto& more : m_moreBoards)
    boards.push_back(more.get());
  for (HostBoard* board : boards)
    if (HostNet* net = board && wanted && wanted->GetName() ? board->FindNet(wanted->GetName()) : nullptr;
        net && net == wanted) {
      SelectNetInView(*board, net);
      return;
    }
}

void PdnHost::SelectNetInView(HostBoard& board, HostNet* net) {
  const std::string name = net->GetName() ? net->GetName() : "";
  // The host's board window picks the net: the view's selection keeps its supply pins and takes the vias of the
  // net and of the nets joined with it.
  std::vector<HostNet*> members{net};
  members.insert(members.end(), net->Joined().begin(), net->Joined().end());
  std::vector<HostProbe*> picks;
  for (HostProbe* picked : board.Picks())
    if (picked->GetKind() == HostProbeSupplyPin)
      picks.push_back(picked);
  for (const auto& probe : board.Probes())
    if (probe->GetKind() == HostProbeVia &&
        std::find(members.begin(), members.end(), probe->GetNet()) != members.end())
      picks.push_back(probe.get());
  board.SetPicks(std::move(picks));
  const bool answer = static_cast<CModelExtractorWizardAPITable&>(*m_api).SetSelectedNet(net);
  Print("SetSelectedNet(" + EscapedName(name) + ") -> " + (answer ? "true" : "false"));
}

void PdnHost::SwitchViaPort(const std::string& id, bool enabled) {
  HostProbe* probe = FindProbe(id);
  if (!probe)
    throw ScriptError("via port: the board has no probe \"" + EscapedName(id) + "\"");
  const bool answer =
      static_cast<CModelExtractorWizardAPITable&>(*m_api).SetViaPortEnabled(probe->GetElement(), enabled);
  Print("SetViaPortEnabled(" + EscapedName(id) + ", " + (enabled ? "on" : "off") + ") -> " +
        (answer ? "true" : "false"));
}

void PdnHost::PumpMessages() {
  // The host's own loop: what the module posted (clicks, re-read requests) runs now, through its keyboard hook.
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  FlushCallback();
}

void PdnHost::SayNoWizard(const std::string& why) {
  m_err << "pdnhost: " << why << ": this module registers no " << KindName(m_kind)
        << " wizard dialog, so no wizard opens.\n";
}

bool PdnHost::PrepareScript(const PdnHostOptions& options) {
  // The script was read and checked before the module was loaded (Run).
  std::vector<ScriptStep> steps = std::move(m_steps);
  if (options.save) {
    // --save ticks "Save settings to file" before anything else. The bypass, via-model and extractor wizards open
    // on the step after the start page: Back goes there first.
    ScriptStep tick;
    tick.action = ScriptAction::Click;
    tick.control.id = kSaveSettingsBox;
    tick.source = "click " + std::to_string(kSaveSettingsBox) + " (--save: \"Save settings to file\")";
    steps.insert(steps.begin(), tick);
    if (options.wizard != WizardKind::Decoupling) {
      ScriptStep back;
      back.action = ScriptAction::Click;
      back.control.id = kBackButton;
      back.skipWhenVisible = kSaveSettingsBox;
      back.source = "click " + std::to_string(kBackButton) + " (--save: back to the start page)";
      steps.insert(steps.begin(), back);
    }
  }
  plat::Desktop::Configure(kDesktopWidth, kDesktopHeight);
  if (options.screen) {
    m_presenter = std::make_unique<plat::SdlPresenter>("pdnhost");
    if (!m_presenter->IsOpen()) {
      m_err << "pdnhost: --screen: there is no display to show the wizard on\n";
      return false;
    }
  }
  if (options.realInput) {
    plat::SdlPresenter* presenter = m_presenter.get();
    m_input = MakeXInput([presenter] { return presenter->WindowPosition(); });
  } else {
    m_input = MakeInjectedInput();
  }
  ScriptRunnerHost host;
  host.api = m_api;
  if (m_api) {
    host.window = [this] { return m_api->GetWizardWindow(); };
    host.close = [this] { m_api->Close(); };
    host.closeWizard = [this] { Step("CloseWizard()", m_api->CloseWizard()); };
  } else {
    // A dialog's modal run: its window is found by its caption, and Cancel ends it.
    const std::string caption = m_dialogCaption;
    host.window = [caption] { return FindWindow(nullptr, caption.c_str()); };
    host.close = [caption] {
      if (HWND dialog = FindWindow(nullptr, caption.c_str()))
        PostMessage(dialog, WM_COMMAND, IDCANCEL, 0);
    };
  }
  host.decoupling = options.wizard == WizardKind::Decoupling;
  if (m_presenter) {
    // The user closing pdnhost's window closes the window in front, or the wizard or dialog when none is (it is
    // minimised), as its close box does: a wizard saves its settings when asked to and asks the host, a dialog
    // cancels; pdnhost ends once it has gone.
    m_presenter->closeRequested = [window = host.window] {
      HWND front = GetActiveWindow();
      if (!front || !IsWindowVisible(front))
        front = window();
      if (!front)
        return false;
      PostMessage(front, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    };
  }
  if (m_api) {
    CWizardAPI* api = m_api;
    switch (options.wizard) {
      case WizardKind::Decoupling:
        host.viewerChanged = [api] { return static_cast<CBrimsteadAPITable&>(*api).OnViewerSelectionChanged(); };
        break;
      case WizardKind::Bypass:
        host.viewerChanged = [api] { return static_cast<CBypassWizardAPITable&>(*api).OnViewerSelectionChanged(); };
        host.query = [api](const std::string& name) -> std::optional<bool> {
          if (name == "ActivePageUsesViewer")
            return static_cast<CBypassWizardAPITable&>(*api).ActivePageUsesViewer();
          return std::nullopt;
        };
        break;
      case WizardKind::ViaModel:
        host.viewerChanged = [api] {
          return static_cast<CDiffViaModelWizardAPITable&>(*api).OnViewerSelectionChanged();
        };
        host.query = [api](const std::string& name) -> std::optional<bool> {
          if (name == "ActivePageUsesViewer")
            return static_cast<CDiffViaModelWizardAPITable&>(*api).ActivePageUsesViewer();
          return std::nullopt;
        };
        break;
      case WizardKind::Extractor: {
        auto& extractor = static_cast<CModelExtractorWizardAPITable&>(*api);
        host.viewerChanged = [&extractor] { return extractor.OnViewerSelectionChanged(); };
        host.query = [&extractor](const std::string& name) -> std::optional<bool> {
          if (name == "ActivePageUsesViewer")
            return extractor.ActivePageUsesViewer();
          if (name == "IsSelectNetActive")
            return extractor.IsSelectNetActive();
          return std::nullopt;
        };
        host.netPick = [this](const std::string& net) { PickNet(net); };
        host.viaPort = [this](const std::string& id, bool enabled) { SwitchViaPort(id, enabled); };
        break;
      }
    }
  }
  host.callback = &m_callback;
  host.print = [this](const std::string& line) { Print(line); };
  host.flush = [this] { FlushCallback(); };
  host.log = &m_log;
  host.err = &m_err;
  host.shotsFolder = options.shots;
  // The board that knows every id takes the picks (the first board first).
  host.pick = [this](const std::vector<std::string>& ids) -> std::string {
    if (m_board && m_board->Pick(ids))
      return {};
    for (const auto& more : m_moreBoards)
      if (more->Pick(ids))
        return {};
    // Name what the user got wrong: an id no board has, else ids that lie on different boards.
    for (const std::string& id : ids) {
      bool somewhere = m_board && m_board->FindProbe(id);
      for (const auto& more : m_moreBoards)
        somewhere = somewhere || more->FindProbe(id);
      if (!somewhere)
        return "no board has a probe \"" + EscapedName(id) + "\"";
    }
    return "no one board has all of these probes";
  };
  m_runner = std::make_unique<ScriptRunner>(std::move(host), std::move(steps),
                                            options.script.value_or(std::string()), *m_input);
  // On screen without a script the user answers the boxes and ends the wizard; otherwise the runner does.
  if (!options.screen || options.script)
    plat::SetAutomationProvider(m_runner.get());
  else
    m_runner->LeaveWizardToUser();
  if (options.screen)
    m_pacer = std::make_unique<ScreenPacer>(*m_presenter, options.script || options.save ? m_runner.get() : nullptr,
                                            options.realInput);
  return true;
}

void PdnHost::RunModelessLoop() {
  // The host's own loop while the modeless wizard is open: idle, it asks the runner (headless) or the screen for
  // input; the runner ends it with WM_QUIT once its steps are done.
  m_runner->SetModal(false);
  try {
    while (m_api->GetWizardWindow()) {
      MSG msg;
      if (!GetMessage(&msg, nullptr, 0, 0))
        break;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
      FlushCallback();
    }
  } catch (const plat::MessageLoopStalled& stalled) {
    m_runner->Fail(stalled.what(), 0);
  }
  FlushCallback();
  m_runner->CheckEnd();
}

bool PdnHost::OpenModeless(CWizardAPI& api) {
  if (api.GetWizardWindow())
    return true;
  const bool opened = api.CreateModeless();
  Step("CreateModeless()", opened);
  PumpMessages();
  return opened;
}

bool PdnHost::CheckGivenFile(const char* option, const std::optional<std::string>& path) {
  if (!path)
    return true;
  // The module opens the name in its own dialect (code page 1252, '\\' a separator): the same file is looked at.
  const plat::FileReadResult checked = plat::CheckRegularFile(plat::NativePath(*path));
  if (checked)
    return true;
  m_err << "pdnhost: " << option << ": the file \"" << EscapedName(*path) << "\" "
        << plat::DescribeFileRead(checked, 0) << "\n";
  return false;
}

bool PdnHost::ReadScript(const PdnHostOptions& options) {
  if (!options.script)
    return true;
  try {
    m_steps = LoadScript(*options.script);
  } catch (const ScriptError& error) {
    m_err << "pdnhost: " << error.what() << "\n";
    return false;
  }
  if (std::none_of(m_steps.begin(), m_steps.end(),
                   [](const ScriptStep& step) { return step.action == ScriptAction::Screenshot; }))
    return true;
  // The screenshots' folder is made now and must take files: a run that could not write them would fail half done,
  // after the wizard had run (and saved).
  namespace fs = std::filesystem;
  const fs::path folder = options.shots.empty() ? fs::path(".") : fs::path(options.shots);
  // A folder reached through a link another user put in a folder every user may write takes no screenshot (each
  // save would refuse it), and nothing is made through that link: the folders are made as the saves walk.
  const int made = plat::MakeFolders(folder.string());
  std::string reason;
  if (made == EACCES)
    reason = std::string("cannot be written (") + std::strerror(made) + ")";
  else if (!fs::is_directory(folder))
    reason = fs::exists(folder) ? "is not a folder" : "cannot be made (" + std::string(std::strerror(made)) + ")";
  else if (::access(folder.c_str(), W_OK | X_OK) != 0)
    reason = std::string("cannot be written (") + std::strerror(errno) + ")";
  if (reason.empty())
    return true;
  m_err << "pdnhost: " << (options.shots.empty() ? "the working folder" : "--shots: the folder") << " \""
        << plat::Utf8Escaped(folder.string()) << "\", where the script's screenshots go, " << reason << "\n";
  return false;
}

bool PdnHost::CheckGivenFolders(const char* option, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    // The module lists the folder in its own dialect, as it opens files.
    DIR* listing = ::opendir(plat::NativePath(folder).c_str());
    if (listing) {
      ::closedir(listing);
      continue;
    }
    const int error = errno;
    m_err << "pdnhost: " << option << ": the folder \"" << EscapedName(folder) << "\" "
          << (error == ENOTDIR ? std::string("is not a folder")
                               : "cannot be listed (" + std::string(std::strerror(error)) + ")")
          << "\n";
    return false;
  }
  return true;
}

int PdnHost::Run(const PdnHostOptions& options) {
  // The project file (whose settings file need not be there yet) and a settings file to load must be files that
  // can be read: the module would take a name that is not one as a project without a file, or load nothing.
  if (!CheckGivenFile("--project", options.project) || !CheckGivenFile("--load", options.load) ||
      !CheckGivenFolders("--model-dir", options.modelDirectories) || !ReadScript(options))
    return 2;
  if (options.fixedClock)
    plat::VirtualClock::FixTimeOfDay();
  m_help = std::make_unique<HostHelp>(m_callback, options.screen ? HostHelp::Window::OnScreen : HostHelp::Window::None);
  // A board file's name is shown as the file system has it, a byte that is no UTF-8 by its number.
  auto loadBoard = [&](const std::string& file) -> std::unique_ptr<HostBoard> {
    std::unique_ptr<HostBoard> board;
    try {
      board = LoadBoardFile(file, *m_ledger);
    } catch (const BoardFileError& error) {
      m_err << "pdnhost: " << plat::Utf8Escaped(error.what()) << "\n";
      return nullptr;
    }
    m_out << "board: " << plat::Utf8Escaped(file) << " (" << EscapedName(board->Name()) << ", "
          << board->Layers().size() << " layers, " << board->Nets().size() << " nets, " << board->Probes().size()
          << " probes)\n";
    return board;
  };
  if (!(m_board = loadBoard(options.board)))
    return 2;
  for (const std::string& file : options.moreBoards) {
    m_moreBoards.push_back(loadBoard(file));
    if (!m_moreBoards.back())
      return 2;
  }
  if (!LoadLibrary(options.library))
    return 2;
  if (options.dialog == std::string("groups"))
    return RunGroupsDialog(options);
  if (options.dialog == std::string("models"))
    return RunModelsDialog(options);
  if (options.dialog)
    return RunEditorDialog(options);
  m_api = CreateObject(options.wizard);
  if (!m_api)
    return 2;
  CWizardAPI& api = *m_api;
  m_out << "wizard: " << KindName(options.wizard) << "\n";

  Step("SetCallback(log)", api.SetCallback(&m_callback));
  // The extractor's load asks the host to select the saved net: the board view selects it as a net pick does.
  if (options.wizard == WizardKind::Extractor)
    m_callback.OnSelectNet([this](CHostNet* net) { SelectNetFor(net); });
  // Each board answers for its own geometry: the query handed in passes every question to the board that the
  // wizard's record holds.
  std::vector<HostBoard*> boards{m_board.get()};
  for (const auto& more : m_moreBoards)
    boards.push_back(more.get());
  m_geometry = std::make_unique<HostRecordGeometryQuery>(std::move(boards), [this] { return m_api->GetBoardIndex(); });
  Step("SetGeometryQuery(board)", api.SetGeometryQuery(m_geometry.get()));
  m_kind = options.wizard;
  if (options.wizard == WizardKind::ViaModel || options.wizard == WizardKind::Extractor) {
    // The board view whose marks the wizard keeps; pdnhost prints them whenever they change.
    m_marker = std::make_unique<HostBoardMarker>();
    Step("SetBoardView(board view)", api.SetBoardView(m_marker.get()));
  }
  if (options.boardMode) {
    api.EnableBoardMode();
    m_out << "EnableBoardMode()\n";
    Step("SetBoard(" + EscapedName(m_board->Name()) + ")", api.SetBoard(m_board.get()));
  } else {
    m_system = std::make_unique<HostSystem>(*m_ledger, "pdnhost");
    m_system->AddBoard(m_board.get());
    std::string names = EscapedName(m_board->Name());
    for (const auto& more : m_moreBoards) {
      m_system->AddBoard(more.get());
      names += ", " + EscapedName(more->Name());
    }
    Step("SetSystem(" + names + ")", api.SetSystem(m_system.get()));
  }
  if (options.project)
    Step("SetProjectFile(" + EscapedName(*options.project) + ")", api.SetProjectFile(options.project->c_str()));
  if (options.helpFile)
    Step("SetHelpFile(" + EscapedName(*options.helpFile) + ")", api.SetHelpFile(options.helpFile->c_str()));
  for (const std::string& names : options.names)
    Step("AddNames(" + EscapedName(names) + ")", api.AddNames(names.c_str()));
  if (options.option1) {
    api.SetWizardOption1(*options.option1);
    m_out << "SetWizardOption1(" << *options.option1 << ")\n";
  }
  if (options.option2) {
    api.SetWizardOption2(*options.option2);
    m_out << "SetWizardOption2(" << *options.option2 << ")\n";
  }
  if (options.debugOptions) {
    api.EnableDebugOptions();
    m_out << "EnableDebugOptions()\n";
  }
  if (options.tableValue) {
    api.SetTableValue(*options.tableValue);
    m_out << "SetTableValue(" << *options.tableValue << ")\n";
  } else if (options.tableValueLibrary) {
    // The capacitor page hands the value to the model editor as the host's model library.
    api.SetTableValue(reinterpret_cast<INT_PTR>(static_cast<CHostModelLibrary*>(&m_board->ModelLibrary())));
    m_out << "SetTableValue(board library, " << m_board->ModelLibrary().GetCount() << " models)\n";
  }
  if (options.settingsCopy) {
    m_settingsCopy.fill('\0');
    Step("SetSettingsCopyBuffer(empty)", api.SetSettingsCopyBuffer(m_settingsCopy.data()));
  }
  if (options.outputName)
    Step("SetOutputFileName(" + EscapedName(*options.outputName) + ")",
         api.SetOutputFileName(options.outputName->c_str()));
  if (options.drcReport)
    Step("SetDRCReportFile(" + EscapedName(*options.drcReport) + ")", api.SetDRCReportFile(options.drcReport->c_str()));

  if (options.wizard == WizardKind::Extractor && !m_board->Picks().empty()) {
    // The host tells the extractor what its board viewer holds before it opens the wizard: the record's ports, and
    // so whether the wizard offers its supply-pin step, come from the picks.
    Step("OnViewerSelectionChanged()", static_cast<CModelExtractorWizardAPITable&>(api).OnViewerSelectionChanged());
  }

  int code = 0;
  if ((options.open || options.save) && !PrepareScript(options))
    return 2;
  if (options.load) {
    // The decoupling and extractor objects take a settings file only as the open wizard's last configuration.
    const bool needsWizard = options.wizard == WizardKind::Decoupling || options.wizard == WizardKind::Extractor;
    if (needsWizard && !OpenModeless(api)) {
      SayNoWizard("loading settings into the " + std::string(KindName(options.wizard)) +
                  " wizard needs it open (\"Use last configuration\")");
      code = 2;
    } else {
      Step("LoadSettings(" + EscapedName(*options.load) + ")", api.LoadSettings(options.load->c_str()));
      PumpMessages();
    }
  }
  if (options.save && !options.open) {
    // The settings file is written by the wizard's Finish once "Save settings to file" is ticked; Run clicks it.
    if (!OpenModeless(api)) {
      SayNoWizard("saving settings needs the wizard's Finish");
      code = 2;
    } else {
      RunModelessLoop();
      if (api.GetWizardWindow()) {
        Step("Run()", api.Run());
        PumpMessages();
      }
    }
  }
  if (options.open == std::string("modal")) {
    // A wizard that opens tells the callback so (event 1); a modal run that ends with Cancel answers false too.
    m_runner->SetModal(true);
    const size_t before = m_callback.Lines().size();
    bool ended = false;
    try {
      ended = api.RunModal();
    } catch (const plat::MessageLoopStalled& stalled) {
      m_runner->Fail(stalled.what(), 0);
    }
    Step("RunModal()", ended);
    bool opened = false;
    for (size_t i = before; i < m_callback.Lines().size(); ++i)
      opened = opened || m_callback.Lines()[i] == "Notify 1 1";
    if (!opened) {
      SayNoWizard("RunModal opened nothing");
      code = 2;
    } else {
      m_runner->CheckEnd();
    }
  } else if (options.open == std::string("modeless")) {
    if (!OpenModeless(api)) {
      SayNoWizard("CreateModeless opened nothing");
      code = 2;
    } else if (options.script || options.save || options.screen) {
      RunModelessLoop();
    }
  }
  // After a failed step the wizard is closed without asking the host: not with its Close button, which would save
  // the settings and ask MayClose, but with the interface's Close below, as the host does when it quits.
  if (api.GetWizardWindow() && !(m_runner && m_runner->Failed())) {
    Step("CloseWizard()", api.CloseWizard());
    PumpMessages();
  }
  if (api.GetWizardWindow()) {
    // The wizard refused its Close button (a page it finds invalid, a save that failed, the host's MayClose): the
    // host ends it as it does when it quits, so that what the wizard still holds is given back before the count.
    Step("Close()", api.Close());
    PumpMessages();
  }
  // Also what failed while the wizard was closed (a box the script does not answer) fails the run.
  if (code == 0 && m_runner && m_runner->Failed())
    code = 4;
  if (options.printGetters)
    PrintGetters(api, options.wizard);
  if (options.settingsCopy) {
    // The module's copy of the settings, whatever the wizard saved: its name as the buffer holds it.
    const std::string copy(m_settingsCopy.data(), strnlen(m_settingsCopy.data(), m_settingsCopy.size()));
    Print("settings copy: " + (copy.empty() ? std::string("(none)") : EscapedName(copy)));
  }
  FlushCallback();
  ReportKeptHostObjects();
  return code;
}

int PdnHost::RunEditorDialog(const PdnHostOptions& options) {
  m_dialogCaption = kEditorCaption;
  HostDecoupling& decoupling = m_board->Decoupling();
  HostComponent* capacitor = nullptr;
  for (const auto& component : m_board->Components()) {
    const bool chosen = options.capacitor ? component->Name() == *options.capacitor : true;
    if (chosen && decoupling.IsDecouplingCapacitor(component.get())) {
      capacitor = component.get();
      break;
    }
  }
  if (!capacitor) {
    m_err << "pdnhost: --capacitor: the board has no decoupling capacitor "
          << (options.capacitor ? "\"" + EscapedName(*options.capacitor) + "\"" : std::string("at all")) << "\n";
    return 2;
  }
  // Its own model, else its group's: the model the host would open the editor with.
  bool disabled = false;
  CHostCapacitorModel* model = decoupling.GetComponentModel(capacitor, &disabled);
  std::string from = "its own";
  if (!model)
    for (const auto& group : decoupling.Groups()) {
      const auto& members = group->Members();
      if (std::find(members.begin(), members.end(), capacitor) != members.end()) {
        model = decoupling.GetGroupModel(group.get(), &disabled);
        from = "group " + EscapedName(group->Name());
        break;
      }
    }
  auto* editor = MakeDialogObject<CreateCapacitorModelEditorDialogFn>("CreateCapacitorModelEditorDialog");
  if (!editor)
    return 2;
  m_out << "dialog: capacitor model editor for " << EscapedName(capacitor->Name()) << " ("
        << (model ? from + " model " + EscapedName(model->GetLibraryModelName() ? model->GetLibraryModelName() : "")
                  : std::string("no model"))
        << ")\n";

  const std::string directories = JoinedModelDirectories(options.modelDirectories);
  editor->SetModelDirectories(directories.c_str());
  Print("SetModelDirectories(" + EscapedName(directories) + ")");
  Step("SetModel(" + (model ? EscapedName(model->GetLibraryModelName() ? model->GetLibraryModelName() : "") : "null") + ")",
       editor->SetModel(model));
  editor->SetModelLibrary(&m_board->ModelLibrary());
  Print("SetModelLibrary(board library, " + std::to_string(m_board->ModelLibrary().GetCount()) + " models)");
  CHostCollection* layers = m_board->GetLayers();
  editor->SetLayers(layers);
  Print("SetLayers(" + std::to_string(layers->GetCount()) + " layers)");
  std::string pins;
  for (HostElement* pin : capacitor->Pins())
    pins += (pins.empty() ? "" : "\n") + pin->PinName();
  editor->SetPinNames(pins.c_str());
  Print("SetPinNames(" + EscapedName(pins) + ")");
  if (options.extendedKinds) {
    editor->EnableExtendedKinds();
    Print("EnableExtendedKinds()");
  }
  PrintModel("GetModel before the run", editor->GetModel());

  const int code = RunScriptedModal(options, [&] {
    m_keepLibrary = true;
    const int result = editor->RunModal();
    return std::pair{result, std::string(result == 1 ? " (OK)" : " (Cancel)")};
  });
  if (code != 2) {
    // After a run the editor hands out a new view of its result, which the host deletes.
    std::unique_ptr<CHostCapacitorModel> view(editor->GetModel());
    PrintModel("GetModel after the run", view.get());
  }
  editor->Delete();
  Print("Delete()");
  layers->Release();
  FlushCallback();
  ReportKeptHostObjects();
  return code;
}

int PdnHost::RunGroupsDialog(const PdnHostOptions& options) {
  m_dialogCaption = kGroupsCaption;
  m_keepLibrary = true;   // see m_keepLibrary
  auto* groups = MakeDialogObject<CreateDecouplingGroupsDialogFn>("CreateDecouplingGroupsDialog");
  if (!groups)
    return 2;
  m_out << "dialog: decoupling groups of " << EscapedName(m_board->Name()) << "\n";
  PrintGroups();
  if (options.boardMode) {
    Step("SetBoard(" + EscapedName(m_board->Name()) + ")", groups->SetBoard(m_board.get()));
  } else {
    m_system = std::make_unique<HostSystem>(*m_ledger, "pdnhost");
    m_system->AddBoard(m_board.get());
    Step("SetSystem(" + EscapedName(m_board->Name()) + ")", groups->SetSystem(m_system.get()));
  }
  if (options.unitText) {
    const char* answer = groups->SetUnitText(options.unitText->c_str());
    Print("SetUnitText(\"" + EscapedName(*options.unitText) + "\") -> " +
          (answer == options.unitText->c_str() ? "the same text" : "another text"));
  }
  Step("IsReady(1)", groups->IsReady(1));

  const int code = RunScriptedModal(options, [&] {
    const int result = groups->RunModal();
    return std::pair{result,
                     std::string(result == 1 ? " (OK)" : result == 2 ? " (Cancel)" : " (the dialog did not start)")};
  });
  groups->Delete();
  Print("Delete()");
  PrintGroups();
  FlushCallback();
  ReportKeptHostObjects();
  return code;
}

int PdnHost::RunModelsDialog(const PdnHostOptions& options) {
  m_dialogCaption = kModelsCaption;
  m_keepLibrary = true;   // see m_keepLibrary
  auto* models = MakeDialogObject<CreateCapacitorModelsDialogFn>("CreateCapacitorModelsDialog");
  if (!models)
    return 2;
  m_out << "dialog: capacitor models of " << EscapedName(m_board->Name()) << "\n";
  PrintModels();
  const std::string directories = JoinedModelDirectories(options.modelDirectories);
  models->AddModelDirectories(directories.c_str());
  Print("AddModelDirectories(" + EscapedName(directories) + ")");
  m_system = std::make_unique<HostSystem>(*m_ledger, "pdnhost");
  m_system->AddBoard(m_board.get());
  std::string names = EscapedName(m_board->Name());
  for (const auto& more : m_moreBoards) {
    m_system->AddBoard(more.get());
    names += ", " + EscapedName(more->Name());
  }
  Step("SetSystem(" + names + ")", models->SetSystem(m_system.get()));
  Step("SetBoard(" + EscapedName(m_board->Name()) + ")", models->SetBoard(m_board.get()));
  CHostModelLibrary* library = models->SetModelLibrary(&m_board->ModelLibrary());
  Print("SetModelLibrary(board library, " + std::to_string(m_board->ModelLibrary().GetCount()) + " models) -> " +
        (library == &m_board->ModelLibrary() ? "the same library" : "another library"));
  if (options.unitText) {
    const char* answer = models->SetUnitText(options.unitText->c_str());
    Print("SetUnitText(\"" + EscapedName(*options.unitText) + "\") -> " +
          (answer == options.unitText->c_str() ? "the same text" : "another text"));
  }
  if (options.extendedKinds) {
    models->EnableExtendedKinds();
    Print("EnableExtendedKinds()");
  }

  const int code = RunScriptedModal(options, [&] { return std::pair{models->RunModal(), std::string()}; });
  models->Delete();
  Print("Delete()");
  PrintModels();
  FlushCallback();
  ReportKeptHostObjects();
  return code;
}

void PdnHost::PrintModels() {
  // Every group's model and every capacitor's own model, as the board holds them.
  HostDecoupling& decoupling = m_board->Decoupling();
  auto text = [](CHostCapacitorModel* model, bool disabled) {
    if (!model)
      return std::string("none");
    const char* name = model->GetLibraryModelName();
    return EscapedName(name && *name ? name : "(unnamed)") + " (" + ModelKindName(model->GetKind()) + ")" +
           (disabled ? " disabled" : "");
  };
  std::ostringstream out;
  out << "models:";
  for (const auto& group : decoupling.Groups()) {
    bool disabled = false;
    CHostCapacitorModel* model = decoupling.GetGroupModel(group.get(), &disabled);
    out << "\n  group \"" << EscapedName(group->Name()) << "\": " << text(model, disabled);
  }
  for (const auto& component : m_board->Components()) {
    bool disabled = false;
    if (CHostCapacitorModel* model = decoupling.GetComponentModel(component.get(), &disabled))
      out << "\n  " << EscapedName(component->Name()) << ": " << text(model, disabled);
  }
  Print(out.str());
}

void PdnHost::PrintGroups() {
  std::ostringstream out;
  out << "groups:";
  for (const auto& group : m_board->Decoupling().Groups()) {
    out << "\n  \"" << EscapedName(group->Name()) << "\":";
    for (CHostComponent* member : group->Members())
      out << " " << EscapedName(member->GetName() ? member->GetName() : "");
  }
  Print(out.str());
}

void PdnHost::PrintModel(const std::string& what, CHostCapacitorModel* model) {
  std::ostringstream out;
  out << what << ":";
  if (!model) {
    Print(out.str() + " null");
    return;
  }
  out << std::boolalpha;
  const int kind = model->GetKind();
  out << "\n  GetKind = " << kind << " (" << ModelKindName(kind) << ")";
  out << "\n  IncludesViaMounting = " << model->IncludesViaMounting();
  out << "\n  IsLibraryModel = " << model->IsLibraryModel();
  out << "\n  GetLibraryText = " << Text(model->GetLibraryText());
  out << "\n  GetLibraryModelName = " << Text(model->GetLibraryModelName());
  if (kind == HostModelCLR) {
    out << "\n  GetCapacitance = " << model->GetCapacitance();
    out << "\n  GetESR = " << model->GetESR();
    out << "\n  GetESL = " << model->GetESL();
  } else if (kind >= HostModelTouchstone && kind <= HostModelPLS) {
    out << "\n  GetFileName = " << Text(model->GetFileName());
    if (kind == HostModelSPICE)
      out << "\n  GetSubcircuitName = " << Text(model->GetSubcircuitName());
    else
      out << "\n  IsSeries = " << model->IsSeries();
    for (int port = 1; port <= kListedPorts; ++port)
      if (const char* pin = model->GetPortPin(port))
        out << "\n  GetPortPin(" << port << ") = " << EscapedName(pin);
  }
  Print(out.str());
}

void PdnHost::PrintGetters(CWizardAPI& api, WizardKind kind) {
  std::ostringstream out;
  out << "getters:\n";
  out << "  GetBoardIndex = " << api.GetBoardIndex() << "\n";
  if (kind == WizardKind::Decoupling) {
    out << "  QueryFirstNet = " << Text(api.QueryFirstNet()) << "\n";
    out << "  QuerySecondNet = " << Text(api.QuerySecondNet()) << "\n";
  }
  out << std::boolalpha;
  out << "  GetIncludeAllNets = " << api.GetIncludeAllNets() << "\n";
  out << "  GetUnkeyedFlag = " << api.GetUnkeyedFlag() << "\n";
  out << "  GetIncludeInterPlane = " << api.GetIncludeInterPlane() << "\n";
  out << "  GetIncludeLowFreqConnections = " << api.GetIncludeLowFreqConnections() << "\n";
  out << "  GetTargetImpedance = " << api.GetTargetImpedance() << "\n";
  out << "  GetDRCOnly = " << api.GetDRCOnly() << "\n";
  out << "  GetSkipStitchingVias = " << api.GetSkipStitchingVias() << "\n";
  out << "  GetGenerateS = " << api.GetGenerateS() << "\n";
  out << "  GetExportShuntModel = " << api.GetExportShuntModel() << "\n";
  out << "  GetMinFreq = " << api.GetMinFreq() << "\n";
  out << "  GetMaxFreq = " << api.GetMaxFreq() << "\n";
  out << "  IsAdaptiveSweep = " << api.IsAdaptiveSweep() << "\n";
  out << "  IsLinearSweep = " << api.IsLinearSweep() << "\n";
  out << "  IsLogarithmicSweep = " << api.IsLogarithmicSweep() << "\n";
  out << "  GetAdaptiveSweepAccuracy = " << api.GetAdaptiveSweepAccuracy() << "\n";
  out << "  GetMaxAdaptiveFreqNumber = " << api.GetMaxAdaptiveFreqNumber() << "\n";
  out << "  GetNonAdaptiveFreqNumber = " << api.GetNonAdaptiveFreqNumber() << "\n";
  out << "  GetUseFDTD = " << api.GetUseFDTD() << "\n";
  out << "  GetShowTPOscilloscope = " << api.GetShowTPOscilloscope() << "\n";
  out << "  GetFDTDInterval = " << api.GetFDTDInterval() << "\n";
  out << "  IsQuickAnalysis = " << api.IsQuickAnalysis() << "\n";
  out << "  IsLumpedAnalysis = " << api.IsLumpedAnalysis() << "\n";
  out << "  IsDistributedAnalysis = " << api.IsDistributedAnalysis() << "\n";
  out << "  GetIncludeMounting = " << api.GetIncludeMounting() << "\n";
  out << "  GetUseInterimTouchstone = " << api.GetUseInterimTouchstone() << "\n";
  out << "  GetForcePassivity = " << api.GetForcePassivity() << "\n";
  out << "  GetOutputFileName = " << Text(api.GetOutputFileName()) << "\n";
  switch (kind) {
    case WizardKind::Decoupling: {
      auto& table = static_cast<CBrimsteadAPITable&>(api);
      out << "  GetDRCReportMode = " << table.GetDRCReportMode() << "\n";
      out << "  GetDRCReportFile = " << Text(table.GetDRCReportFile()) << "\n";
      break;
    }
    case WizardKind::ViaModel: {
      auto& table = static_cast<CDiffViaModelWizardAPITable&>(api);
      out << "  GetExportDifferentialMode = " << table.GetExportDifferentialMode() << "\n";
      out << "  GetExportCommonMode = " << table.GetExportCommonMode() << "\n";
      out << "  GetDiffViaType = " << static_cast<int>(table.GetDiffViaType()) << "\n";
      out << "  GetNormalImpedance = " << table.GetNormalImpedance() << "\n";
      break;
    }
    case WizardKind::Extractor:
      out << "  GetNormalImpedance = " << static_cast<CModelExtractorWizardAPITable&>(api).GetNormalImpedance()
          << "\n";
      break;
    case WizardKind::Bypass:
      break;
  }
  const int probes = api.GetProbeCount();
  out << "  GetProbeCount = " << probes << "\n";
  // The bypass object's count is a yes/no; its only probe is index 0.
  const int listed = kind == WizardKind::Bypass ? (probes > 0 ? 1 : 0) : probes;
  for (int i = 0; i < listed; ++i) {
    CProbeRecord* probe = api.GetProbeRecord(i);
    out << "  probe " << i << " = " << Text(probe ? probe->GetName() : nullptr) << "\n";
  }
  m_out << out.str();
}

}  // namespace host
