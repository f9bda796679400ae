#include "platform/window/AutomationProvider.h"

#include "platform/window/MessageQueue.h"

namespace plat {

namespace {
AutomationProvider* g_provider = nullptr;
std::vector<ShownRecord>& Log() {
  static std::vector<ShownRecord> log;
  return log;
}
}  // namespace

const char* SystemUiKindName(SystemUiKind kind) {
  switch (kind) {
    case SystemUiKind::MessageBox: return "message box";
    case SystemUiKind::FileOpen: return "file open dialog";
    case SystemUiKind::FileSave: return "file save dialog";
    case SystemUiKind::Color: return "colour dialog";
    case SystemUiKind::Print: return "print dialog";
    case SystemUiKind::PrintSetup: return "print setup dialog";
    case SystemUiKind::Find: return "find dialog";
    case SystemUiKind::Replace: return "replace dialog";
    case SystemUiKind::PopupMenu: return "popup menu";
    case SystemUiKind::InsertObject: return "insert object dialog";
  }
  return "system dialog";
}

ScriptedAutomation& ScriptedAutomation::Then(std::function<void()> inputStep) {
  steps_.push_back(std::move(inputStep));
  return *this;
}

ScriptedAutomation& ScriptedAutomation::Reply(SystemUiKind kind, SystemAnswer answer, std::string match,
                                               bool repeat) {
  rules_.push_back({kind, std::move(answer), std::move(match), repeat});
  return *this;
}

bool ScriptedAutomation::SupplyInput() {
  if (steps_.empty()) return false;
  auto step = std::move(steps_.front());
  steps_.pop_front();
  step();
  return true;
}

std::optional<SystemAnswer> ScriptedAutomation::Answer(const SystemRequest& request) {
  for (auto it = rules_.begin(); it != rules_.end(); ++it) {
    if (it->kind != request.kind) continue;
    if (!it->match.empty() && request.caption.find(it->match) == std::string::npos &&
        request.text.find(it->match) == std::string::npos)
      continue;
    SystemAnswer answer = it->answer;
    if (!it->repeat) rules_.erase(it);
    return answer;
  }
  return std::nullopt;
}

void SetAutomationProvider(AutomationProvider* provider) { g_provider = provider; }

AutomationProvider* GetAutomationProvider() { return g_provider; }

bool ShowsSystemUiOnScreen() { return !g_provider && MessageQueue::Instance().eventSource != nullptr; }

SystemAnswer RequestSystemAnswer(const SystemRequest& request) {
  std::optional<SystemAnswer> answer;
  if (g_provider) answer = g_provider->Answer(request);
  if (!answer) {
    throw AutomationMissing(std::string("no automation answer for ") + SystemUiKindName(request.kind) +
                            " \"" + request.caption + "\": " + request.text);
  }
  Log().push_back({request, *answer});
  return *answer;
}

const std::vector<ShownRecord>& ShownLog() { return Log(); }

void ClearShownLog() { Log().clear(); }

}  // namespace plat
