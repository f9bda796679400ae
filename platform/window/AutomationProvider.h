// The automation provider: answers system-modal UI headless and supplies input to idle message loops.
//
// Message boxes, common dialogs, popup menus and the insert-object chooser ask RequestSystemAnswer for
// their answer. With a provider installed it answers and the request is recorded with the answer; with
// none, or when the provider has no answer, the request fails loudly (AutomationMissing) naming what was
// asked, instead of hanging a headless run. Idle message loops call SupplyInput.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

enum class SystemUiKind { MessageBox, FileOpen, FileSave, Color, Print, PrintSetup, Find, Replace, PopupMenu, InsertObject };

const char* SystemUiKindName(SystemUiKind kind);

struct SystemRequest {
  SystemUiKind kind = SystemUiKind::MessageBox;
  HWND owner = nullptr;
  std::string caption;
  std::string text;
  UINT flags = 0;
  std::vector<std::string> buttons;  // or menu items, in order
};

struct SystemAnswer {
  int code = 0;      // IDOK.., a menu command, 0 for cancel
  std::string text;  // a file name, a class name, ...
  DWORD value = 0;   // a colour, flags
};

struct ShownRecord {
  SystemRequest request;
  SystemAnswer answer;
};

class AutomationMissing : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class AutomationProvider {
 public:
  virtual ~AutomationProvider() = default;
  // An idle message loop asks for the next input: inject it (or advance the clock) and answer true; false
  // when the script has nothing more to give.
  virtual bool SupplyInput() = 0;
  virtual std::optional<SystemAnswer> Answer(const SystemRequest& request) = 0;
};

// A scripted provider: input steps run one per idle call; answers match by kind and, when given, by a
// caption or text fragment, in the order they were added; each rule answers once unless it repeats.
class ScriptedAutomation : public AutomationProvider {
 public:
  ScriptedAutomation& Then(std::function<void()> inputStep);
  ScriptedAutomation& Reply(SystemUiKind kind, SystemAnswer answer, std::string captionOrText = {},
                            bool repeat = false);
  bool SupplyInput() override;
  std::optional<SystemAnswer> Answer(const SystemRequest& request) override;
  std::size_t PendingSteps() const { return steps_.size(); }

 private:
  struct Rule {
    SystemUiKind kind;
    SystemAnswer answer;
    std::string match;
    bool repeat;
  };
  std::deque<std::function<void()>> steps_;
  std::vector<Rule> rules_;
};

void SetAutomationProvider(AutomationProvider* provider);
// True when system UI must show as real windows: a display is attached (the presenter) and no automation
// provider is installed to answer instead. Message boxes, common dialogs and menus ask this first.
bool ShowsSystemUiOnScreen();
AutomationProvider* GetAutomationProvider();
SystemAnswer RequestSystemAnswer(const SystemRequest& request);
const std::vector<ShownRecord>& ShownLog();
void ClearShownLog();

}  // namespace plat
