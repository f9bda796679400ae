#include "host/PdnScript.h"

#include "host/HostText.h"
#include "platform/base/CodePage.h"
#include "platform/base/RegularFile.h"

#include "platform/framework/ControlCodes.h"
#include "platform/window/windowapi.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace host {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Splits a line into tokens; throws a bare message (the caller adds file and line).
std::vector<Token> Tokenise(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    Token token;
    if (c == '"') {
      token.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d != '\\') {
          token.text += d;
          continue;
        }
        if (i >= line.size())
          break;
        switch (const char e = line[i++]) {
          case '"': token.text += '"'; break;
          case '\\': token.text += '\\'; break;
          case 't': token.text += '\t'; break;
          case 'n': token.text += '\n'; break;
          case 'r': token.text += '\r'; break;
          default: {
            // A byte that is not ASCII (the first of a character) is shown by its number.
            const std::string shown = plat::Utf8Escaped(std::string_view(&e, 1));
            throw ScriptError("unknown escape \\" + (shown.size() == 1 ? shown : " before the byte " + shown) +
                              " in a quoted text");
          }
        }
      }
      if (!closed)
        throw ScriptError("a quoted text is not closed");
      if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
        throw ScriptError("a quoted text must be followed by a space");
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        if (line[i] == '"')
          throw ScriptError("a quote inside a word; quote the whole argument");
        token.text += line[i++];
      }
    }
    // The script is UTF-8; captions, typed texts and names are the module's, in code page 1252.
    std::optional<std::string> converted = Cp1252FromUtf8Strict(token.text);
    if (!converted)
      throw ScriptError("\"" + plat::Utf8Escaped(token.text) +
                        "\" is not UTF-8 or has a character that code page 1252 does not have");
    token.text = std::move(*converted);
    tokens.push_back(std::move(token));
  }
  return tokens;
}

ScriptControl ParseControl(const Token& token) {
  ScriptControl control;
  if (token.quoted) {
    if (token.text.empty())
      throw ScriptError("an empty caption names no control");
    control.byCaption = true;
    control.caption = token.text;
    return control;
  }
  const std::string& t = token.text;
  if (t.empty() || t.size() > 5 || !std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); }))
    throw ScriptError("expected a control id (a number up to 65535) or a caption in quotes, found \"" + t + "\"");
  const int id = std::stoi(t);
  if (id > 65535)
    throw ScriptError("expected a control id (a number up to 65535) or a caption in quotes, found \"" + t + "\"");
  control.id = id;
  return control;
}

bool ParseYesNo(const Token& token) {
  const std::string t = Lower(token.text);
  if (t == "yes" || t == "true")
    return true;
  if (t == "no" || t == "false")
    return false;
  throw ScriptError("expected yes or no, found \"" + token.text + "\"");
}

std::optional<ScriptKey> NamedKey(const std::string& name) {
  struct Named {
    const char* name;
    int vk;
    const char* xName;
  };
  static const Named kNamed[] = {
      {"tab", VK_TAB, "Tab"},          {"enter", VK_RETURN, "Return"},   {"return", VK_RETURN, "Return"},
      {"escape", VK_ESCAPE, "Escape"}, {"esc", VK_ESCAPE, "Escape"},     {"space", VK_SPACE, "space"},
      {"backspace", VK_BACK, "BackSpace"}, {"delete", VK_DELETE, "Delete"}, {"home", VK_HOME, "Home"},
      {"end", VK_END, "End"},          {"up", VK_UP, "Up"},              {"down", VK_DOWN, "Down"},
      {"left", VK_LEFT, "Left"},       {"right", VK_RIGHT, "Right"},     {"pageup", VK_PRIOR, "Prior"},
      {"pagedown", VK_NEXT, "Next"},   {"insert", VK_INSERT, "Insert"},
  };
  const std::string lower = Lower(name);
  for (const Named& n : kNamed)
    if (lower == n.name)
      return ScriptKey{n.vk, n.xName};
  if (lower.size() >= 2 && lower.size() <= 3 && lower[0] == 'f' && std::isdigit(static_cast<unsigned char>(lower[1])) &&
      std::all_of(lower.begin() + 1, lower.end(), [](unsigned char c) { return std::isdigit(c); })) {
    const int n = std::stoi(lower.substr(1));
    if (n >= 1 && n <= 12)
      return ScriptKey{VK_F1 + n - 1, "F" + std::to_string(n)};
  }
  if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0])))
    return ScriptKey{std::toupper(static_cast<unsigned char>(lower[0])), lower};
  return std::nullopt;
}

ScriptKey ParseKey(const Token& token) {
  ScriptKey key;
  std::string rest = token.text;
  bool haveKey = false;
  while (!rest.empty()) {
    const size_t plus = rest.find('+', 1);
    const std::string part = rest.substr(0, plus);
    rest = plus == std::string::npos ? std::string() : rest.substr(plus + 1);
    const std::string lower = Lower(part);
    if (haveKey)
      throw ScriptError("a key chord ends with its key; found \"" + part + "\" after it");
    if (!rest.empty() || plus != std::string::npos) {
      if (lower == "shift")
        key.shift = true;
      else if (lower == "ctrl" || lower == "control")
        key.ctrl = true;
      else if (lower == "alt")
        key.alt = true;
      else
        throw ScriptError("expected shift, ctrl or alt before '+', found \"" + part + "\"");
      if (plus != std::string::npos && rest.empty())
        throw ScriptError("a key chord ends with '+' and no key");
      continue;
    }
    const std::optional<ScriptKey> named = NamedKey(part);
    if (!named)
      throw ScriptError("unknown key \"" + part + "\" (keys: Tab, Enter, Escape, Space, Backspace, Delete, Home, "
                        "End, Up, Down, Left, Right, PageUp, PageDown, Insert, F1-F12, a letter or a digit)");
    key.vk = named->vk;
    key.xName = named->xName;
    haveKey = true;
  }
  if (!haveKey)
    throw ScriptError("a key is missing");
  return key;
}

int ParseButton(const Token& token) {
  static const std::pair<const char*, int> kButtons[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},
                                                         {"no", IDNO},       {"abort", IDABORT},   {"retry", IDRETRY},
                                                         {"ignore", IDIGNORE}};
  const std::string t = Lower(token.text);
  for (const auto& [name, code] : kButtons)
    if (t == name)
      return code;
  throw ScriptError("expected a button (ok, cancel, yes, no, abort, retry or ignore), found \"" + token.text + "\"");
}

ScriptState ParseState(const Token& token) {
  static const std::pair<const char*, ScriptState> kStates[] = {
      {"enabled", ScriptState::Enabled}, {"disabled", ScriptState::Disabled}, {"checked", ScriptState::Checked},
      {"unchecked", ScriptState::Unchecked}, {"visible", ScriptState::Visible}, {"hidden", ScriptState::Hidden},
      {"focused", ScriptState::Focused}};
  const std::string t = Lower(token.text);
  for (const auto& [name, state] : kStates)
    if (t == name)
      return state;
  throw ScriptError("expected enabled, disabled, checked, unchecked, visible, hidden or focused, found \"" +
                    token.text + "\"");
}

// A row or column number of a grid: 0 or more, in decimal.
int ParseIndex(const Token& token) {
  const std::string& t = token.text;
  if (t.empty() || t.size() > 6 || t.find_first_not_of("0123456789") != std::string::npos)
    throw ScriptError("expected a row or column number, found \"" + t + "\"");
  return std::stoi(t);
}

// "at X Y" from tokens[first]: a point inside a control, in pixels from its top left corner.
void ParsePoint(const std::vector<Token>& tokens, size_t first, ScriptStep& step) {
  if (tokens[first].quoted || Lower(tokens[first].text) != "at")
    throw ScriptError("expected \"at X Y\", found \"" + tokens[first].text + "\"");
  int* coordinates[] = {&step.x, &step.y};
  for (size_t i = 0; i < 2; ++i) {
    const std::string& t = tokens[first + 1 + i].text;
    if (tokens[first + 1 + i].quoted || t.empty() || t.size() > 5 ||
        !std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); }))
      throw ScriptError("expected a pixel offset (a number up to 99999), found \"" + t + "\"");
    *coordinates[i] = std::stoi(t);
  }
  step.atPoint = true;
}

void Expect(const std::vector<Token>& tokens, size_t least, size_t most, const char* form) {
  if (tokens.size() < least || tokens.size() > most)
    throw ScriptError(std::string(tokens.size() < least ? "too few" : "too many") + " arguments; expected: " + form);
}

// A trailing `in PARENT` of a step that names a control: taken off the tokens. PARENT is `dialog`, `pane`, a control
// id or a caption in quotes; a text "in" that a step types is quoted.
std::optional<ScriptScope> TakeScope(std::vector<Token>& tokens) {
  if (tokens.size() < 4 || tokens[tokens.size() - 2].quoted || Lower(tokens[tokens.size() - 2].text) != "in")
    return std::nullopt;
  const std::string command = tokens[0].quoted ? std::string() : Lower(tokens[0].text);
  static const char* const kWithControl[] = {"click", "type", "pick", "expect", "cell", "drag"};
  if (std::find(std::begin(kWithControl), std::end(kWithControl), command) == std::end(kWithControl) ||
      (command == "expect" && Lower(tokens[1].text) == "log"))
    return std::nullopt;
  const Token parent = tokens.back();
  tokens.resize(tokens.size() - 2);
  ScriptScope scope;
  if (!parent.quoted && Lower(parent.text) == "dialog") {
    scope.kind = ScriptScope::Kind::Dialog;
  } else if (!parent.quoted && Lower(parent.text) == "pane") {
    scope.kind = ScriptScope::Kind::Pane;
  } else {
    try {
      const ScriptControl named = ParseControl(parent);
      scope.kind = ScriptScope::Kind::Control;
      scope.id = named.id;
      scope.caption = named.caption;
      scope.byCaption = named.byCaption;
    } catch (const ScriptError&) {
      throw ScriptError("expected dialog, pane, a control id or a caption in quotes after \"in\", found \"" +
                        parent.text + "\"");
    }
  }
  return scope;
}

ScriptStep ParseLine(const std::vector<Token>& tokens) {
  ScriptStep step;
  const std::string command = tokens[0].quoted ? std::string() : Lower(tokens[0].text);
  if (command == "click") {
    Expect(tokens, 2, 6, "click CONTROL [at X Y [shift|ctrl]]");
    step.action = ScriptAction::Click;
    step.control = ParseControl(tokens[1]);
    if (tokens.size() > 2) {
      if (tokens.size() < 5)
        throw ScriptError("too few arguments; expected: click CONTROL [at X Y [shift|ctrl]]");
      ParsePoint(tokens, 2, step);
    }
    if (tokens.size() == 6) {
      const std::string held = tokens[5].quoted ? std::string() : Lower(tokens[5].text);
      if (held != "shift" && held != "ctrl")
        throw ScriptError("expected shift or ctrl after the point, found \"" + tokens[5].text + "\"");
      step.withShift = held == "shift";
      step.withCtrl = held == "ctrl";
    }
  } else if (command == "type" || command == "pick") {
    const bool type = command == "type";
    if (type) {
      Expect(tokens, 3, 6, "type CONTROL [at X Y] TEXT");
      if (tokens.size() != 3 && tokens.size() != 6)
        throw ScriptError("expected: type CONTROL [at X Y] TEXT");
      if (tokens.size() == 6)
        ParsePoint(tokens, 2, step);
    } else {
      Expect(tokens, 3, 3, "pick CONTROL ENTRY");
    }
    step.action = type ? ScriptAction::Type : ScriptAction::Pick;
    step.control = ParseControl(tokens[1]);
    step.text = tokens.back().text;
  } else if (command == "key") {
    Expect(tokens, 2, 2, "key CHORD");
    step.action = ScriptAction::Key;
    step.key = ParseKey(tokens[1]);
  } else if (command == "answer") {
    Expect(tokens, 3, 4, "answer message|open|save ANSWER [MATCH]");
    const std::string what = Lower(tokens[1].text);
    if (what == "message") {
      step.action = ScriptAction::AnswerMessage;
      step.button = ParseButton(tokens[2]);
    } else if (what == "open" || what == "save") {
      step.action = what == "open" ? ScriptAction::AnswerOpen : ScriptAction::AnswerSave;
      const bool cancel = !tokens[2].quoted && Lower(tokens[2].text) == "cancel";
      step.button = cancel ? IDCANCEL : IDOK;
      if (!cancel) {
        if (tokens[2].text.empty())
          throw ScriptError("an empty file name; answer cancel to cancel the dialog");
        step.text = tokens[2].text;
      }
    } else {
      throw ScriptError("expected message, open or save after answer, found \"" + tokens[1].text + "\"");
    }
    if (tokens.size() == 4)
      step.match = tokens[3].text;
  } else if (command == "host") {
    Expect(tokens, 3, 3, "host run|mayclose yes|no");
    const std::string what = Lower(tokens[1].text);
    if (what == "run")
      step.action = ScriptAction::HostRun;
    else if (what == "mayclose")
      step.action = ScriptAction::HostMayClose;
    else
      throw ScriptError("expected run or mayclose after host, found \"" + tokens[1].text + "\"");
    step.answer = ParseYesNo(tokens[2]);
  } else if (command == "call") {
    Expect(tokens, 2, 3, "call OPERATION [ARGUMENT]");
    step.action = ScriptAction::Call;
    const auto& operations = ScriptOperations();
    auto it = std::find_if(operations.begin(), operations.end(),
                           [&](const ScriptOperation& op) { return tokens[1].text == op.name; });
    if (it == operations.end()) {
      std::string names;
      for (const ScriptOperation& op : operations)
        names += (names.empty() ? "" : ", ") + std::string(op.name);
      throw ScriptError("unknown operation \"" + tokens[1].text + "\" (operations: " + names + ")");
    }
    if (it->takesArgument != (tokens.size() == 3))
      throw ScriptError(std::string(it->name) + (it->takesArgument ? " takes one argument" : " takes no argument"));
    step.operation = it->name;
    step.hasArgument = tokens.size() == 3;
    if (step.hasArgument)
      step.text = tokens[2].text;
  } else if (command == "cell" || command == "drag") {
    const bool cell = command == "cell";
    Expect(tokens, 4, 4, cell ? "cell CONTROL ROW COL" : "drag CONTROL ROW TO");
    step.action = cell ? ScriptAction::Cell : ScriptAction::Drag;
    step.control = ParseControl(tokens[1]);
    step.row = ParseIndex(tokens[2]);
    step.col = ParseIndex(tokens[3]);
  } else if (command == "viewer") {
    if (tokens.size() < 3 || Lower(tokens[1].text) != "pick")
      throw ScriptError("expected: viewer pick ID...");
    step.action = ScriptAction::ViewerPick;
    for (size_t i = 2; i < tokens.size(); ++i)
      step.ids.push_back(tokens[i].text);
  } else if (command == "net") {
    if (tokens.size() != 3 || Lower(tokens[1].text) != "pick")
      throw ScriptError("expected: net pick NET");
    step.action = ScriptAction::NetPick;
    step.ids.push_back(tokens[2].text);
  } else if (command == "via") {
    if (tokens.size() != 4 || Lower(tokens[1].text) != "port")
      throw ScriptError("expected: via port ID on|off");
    step.action = ScriptAction::ViaPort;
    step.ids.push_back(tokens[2].text);
    const std::string state = Lower(tokens[3].text);
    if (state != "on" && state != "off")
      throw ScriptError("expected on or off after the via's id, found \"" + tokens[3].text + "\"");
    step.answer = state == "on";
  } else if (command == "screenshot") {
    Expect(tokens, 2, 2, "screenshot FILE");
    step.action = ScriptAction::Screenshot;
    step.text = tokens[1].text;
    if (step.text.empty())
      throw ScriptError("an empty file name");
    // Screenshots go into the --shots folder and nowhere else.
    const std::filesystem::path shot(step.text);
    if (shot.is_absolute() || step.text.find('\\') != std::string::npos)
      throw ScriptError("screenshot " + step.text + ": expected a file name relative to the --shots folder");
    for (const auto& part : shot)
      if (part == "..")
        throw ScriptError("screenshot " + step.text + ": a file name with \"..\" leaves the --shots folder");
  } else if (command == "expect") {
    if (tokens.size() < 2)
      throw ScriptError("too few arguments; expected: expect text|state|log ...");
    const std::string what = Lower(tokens[1].text);
    if (what == "text") {
      Expect(tokens, 4, 4, "expect text CONTROL TEXT");
      step.action = ScriptAction::ExpectText;
      step.control = ParseControl(tokens[2]);
      step.text = tokens[3].text;
    } else if (what == "state") {
      Expect(tokens, 4, 4, "expect state CONTROL STATE");
      step.action = ScriptAction::ExpectState;
      step.control = ParseControl(tokens[2]);
      step.state = ParseState(tokens[3]);
    } else if (what == "log") {
      Expect(tokens, 3, 3, "expect log TEXT");
      step.action = ScriptAction::ExpectLog;
      step.text = tokens[2].text;
      if (step.text.empty())
        throw ScriptError("an empty text is in every line");
    } else {
      throw ScriptError("expected text, state or log after expect, found \"" + tokens[1].text + "\"");
    }
  } else {
    throw ScriptError("unknown step \"" + tokens[0].text +
                      "\" (steps: click, type, pick, key, answer, host, call, screenshot, expect, cell, drag, viewer, net, via)");
  }
  return step;
}

}  // namespace

std::string ScriptControl::Describe() const {
  std::string text = byCaption ? "\"" + EscapedName(caption) + "\"" : std::to_string(id);
  switch (scope.kind) {
    case ScriptScope::Kind::Window: break;
    case ScriptScope::Kind::Dialog: text += " in dialog"; break;
    case ScriptScope::Kind::Pane: text += " in pane"; break;
    case ScriptScope::Kind::Control:
      text += " in " + (scope.byCaption ? "\"" + EscapedName(scope.caption) + "\"" : std::to_string(scope.id));
      break;
  }
  return text;
}

const std::vector<ScriptOperation>& ScriptOperations() {
  static const std::vector<ScriptOperation> operations = {
      {"Run", false},         {"CloseWizard", false},       {"Close", false},
      {"LoadSettings", true}, {"SetOutputFileName", true},  {"SetDRCReportFile", true},
      {"OnViewerSelectionChanged", false}, {"IsSelectNetActive", false}, {"ActivePageUsesViewer", false},
  };
  return operations;
}

std::vector<ScriptStep> ParseScript(std::string_view text, const std::string& fileName) {
  std::vector<ScriptStep> steps;
  int number = 0;
  // A byte-order mark that an editor wrote before the first line is no part of it (as in a board file).
  size_t start = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view line = text.substr(start, end - start);
    ++number;
    start = end + 1;
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || line[first] == '#') {
      if (end == text.size())
        break;
      continue;
    }
    try {
      if (line.find('\0') != std::string_view::npos)
        throw ScriptError("a NUL byte in the line");
      std::vector<Token> tokens = Tokenise(line);
      std::optional<ScriptScope> scope;
      ScriptStep step;
      try {
        scope = TakeScope(tokens);
        step = ParseLine(tokens);
      } catch (const ScriptError& error) {
        // The tokens are in the module's code page by now: what a message quotes of them is shown in UTF-8.
        throw ScriptError(Utf8FromCp1252(error.what()));
      }
      if (scope)
        step.control.scope = *scope;
      step.line = number;
      step.source = std::string(line.substr(first));
      while (!step.source.empty() && (step.source.back() == '\r' || step.source.back() == ' '))
        step.source.pop_back();
      steps.push_back(std::move(step));
    } catch (const ScriptError& error) {
      throw ScriptError(fileName + ":" + std::to_string(number) + ": " + error.what());
    }
    if (end == text.size())
      break;
  }
  return steps;
}

std::vector<ScriptStep> LoadScript(const std::string& path) {
  // A script is a small text file: a device or FIFO given instead would be read without end or wait for ever.
  constexpr std::uint64_t kMaxScriptBytes = 16u << 20;
  std::string text;
  const plat::FileReadResult read = plat::ReadRegularFile(path, kMaxScriptBytes, text);
  // Its name as the file system has it, a byte that is no UTF-8 shown by its number.
  const std::string shown = plat::Utf8Escaped(path);
  if (!read)
    throw ScriptError(shown + ": " + plat::DescribeFileRead(read, kMaxScriptBytes));
  return ParseScript(text, shown);
}

}  // namespace host
