// CModuleApp: the module's application object with the keyboard hook that gives the module's windows their dialog
// keyboard handling while they run under the host's message loop.
//
// A modeless wizard has no message loop of its own: the host's loop takes the keyboard messages out of the queue
// and dispatches them straight to their windows, so Tab, Enter, Escape and the mnemonics would never reach the
// wizard's pre-translation. The hook sees every message that the thread's GetMessage or PeekMessage removes and
// offers the keyboard ones to the application's PreTranslateMessage first; a message it handles is turned into a
// null message that the host's loop dispatches harmlessly.
//
// The hook is use-counted: every wizard window takes one use while it exists, so the hook is there while at least
// one wizard window is open and goes with the last one.
#pragma once

#include "platform/framework/CWinApp.h"
#include "platform/window/windowapi.h"

class CModuleApp : public CWinApp {
public:
  CModuleApp();
  ~CModuleApp() override;
  CModuleApp(const CModuleApp&) = delete;
  CModuleApp& operator=(const CModuleApp&) = delete;

  // Removes the hook whatever its use count, then the class library's exit.
  int ExitInstance() override;

  // use = true: installs the hook when none is installed and counts one use when a hook is there (a failed
  // installation counts nothing and the wizard runs without the translation). use = false: counts one use down
  // and removes the hook when that was the last use; nothing without a hook.
  void UseKeyboardHook(bool use);
  // Unhooks when a hook is installed and sets the count to 0.
  void RemoveKeyboardHook();

  bool IsKeyboardHookInstalled() const { return m_hKeyboardHook != nullptr; }
  int GetKeyboardHookUseCount() const { return m_nKeyboardHookUses; }

private:
  HHOOK m_hKeyboardHook = nullptr;
  int m_nKeyboardHookUses = 0;
};

// The hook procedure (WH_GETMESSAGE): keyboard messages removed from the queue go to the application object's
// PreTranslateMessage; a handled one becomes message 0 with zero parameters. Peeked messages and all others pass
// untouched. Always chains on.
LRESULT KeyboardHookProc(int code, WPARAM removeFlag, LPARAM msg);

// The one application object the hook serves (set by its constructor, cleared by its destructor); null when none
// exists. The wizard dialogs take and give back their hook use through it.
CModuleApp* GetModuleApp();
