// Nested message loops: the one primitive under modal dialogs, message boxes, tracking loops and long
// operations.
//
// Run() pumps until End() is called (from any handler inside the loop, or inside a loop nested in it: the
// loop returns once the loops inside it have ended), which is the only way out apart from WM_QUIT: a quit
// ends every loop on the way out (Run answers kQuitResult and posts the quit again for the next loop
// outside). The owner window, when given, is disabled while the loop runs and enabled
// again afterwards (if it was enabled before); a press on a disabled window brings up the box a loop runs
// for over it (InputRouter). When the queue is empty the idle callback runs with a count that restarts
// after every message; when it wants no more, the loop waits for work, which asks the automation provider
// headless and fails loudly (MessageLoopStalled) when nothing can come.
#pragma once

#include <functional>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

class ModalLoop {
 public:
  static constexpr int kQuitResult = -1;

  struct Options {
    HWND owner = nullptr;
    // The dialog or box the loop runs for: a press on a disabled window that owns it brings it up (BoxOver).
    HWND window = nullptr;
    // Long operations: keyboard, mouse, non-client mouse and WM_COMMAND messages are dropped.
    bool dropInput = false;
    // Sees each message first; true means it was handled (not translated or dispatched).
    std::function<bool(MSG&)> preTranslate;
    // OnIdle(count): true asks for another idle call before waiting.
    std::function<bool(int)> onIdle;
    // Called as Run returns, also when an exception leaves it: what pointed a window at the loop lets go of it, so
    // that the window, destroyed later, never ends a loop whose frame is gone (or another loop run there since).
    std::function<void()> letGo;
  };

  ModalLoop();
  explicit ModalLoop(Options options);
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;

  int Run();
  void End(int result);
  // What a box's answer does to the box's own loop: ends it and, when loops inside it still run (a box raised
  // while this one was up), hides its window at once, so that the box answered goes while the one above it
  // stays; the loop returns the answer when those have ended.
  void Answer(int result);
  bool Running() const { return running_; }
  // The loop that runs inside every other. Not the way to end a box's loop: a box keeps its own (Answer).
  static ModalLoop* Innermost();
  // Of the running loops, innermost first, the first whose window `disabled` owns (directly or through other owned
  // windows) and that is shown and enabled: the box that holds the disabled window's input. Null when none is.
  static HWND BoxOver(HWND disabled);
  // Of the running loops not yet ended, innermost first, the first whose window is shown and enabled: where the
  // activation goes back when a window or box that held it ends. Null when none is.
  static HWND InnermostWindow();
  // Of the running loops not yet ended, innermost first, the windows that `owner` owns (directly or through other
  // owned windows): the boxes and dialogs over it, each of which ends its own loop.
  static std::vector<HWND> WindowsOver(HWND owner);

  // One pass of a long operation's pump: delivers what is queued now without waiting, dropping input
  // and commands. Returns false when WM_QUIT was seen (it is posted again).
  static bool PumpWhileBusy(const std::function<bool(int)>& onIdle = {});

  static bool IsDroppedWhileBusy(UINT message);

  // What opening a modal box or a menu does first: WM_CANCELMODE to the capture window, or else to the
  // focus window, so that tracking loops and drags end.
  static void SendCancelMode();

 private:
  Options options_;
  bool running_ = false;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace plat
