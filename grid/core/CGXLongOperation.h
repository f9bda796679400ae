// Progress and abort of long grid loops. A scope is opened around a loop; scopes nest, and each level has
// a status text. Loops ask IsWaitDelayElapsed before they compute a percentage, so short loops never pay
// for progress, and poll for an abort, which ends the loop through CUserException (caught by the scope's
// owner). Processing messages and asking the user is left to an installed abort handler: without one a
// loop is never aborted.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/wintypes.h"

class CGXLongOperationScope {
 public:
  CGXLongOperationScope();
  ~CGXLongOperationScope();
  CGXLongOperationScope(const CGXLongOperationScope&) = delete;
  CGXLongOperationScope& operator=(const CGXLongOperationScope&) = delete;

  // The status text of the current level (copy: keep a copy rather than the caller's pointer).
  void SetStatusText(LPCTSTR text, BOOL copy = TRUE);
  // Asks the abort handler; sets abort when the user confirmed an abort.
  void PollAbort(BOOL& abort);
  // TRUE when more milliseconds than the wait delay passed since the scope began: the first delay, or the
  // later delay once a progress display was shown in this process.
  BOOL IsWaitDelayElapsed() const;

  static int GetNestingLevel();
  static const CString& GetStatusText();
  // Process-wide settings: the delays in milliseconds and the deepest level that shows progress (-1: all).
  static DWORD s_nFirstDelay, s_nLaterDelay;
  static int s_nIgnoreLevel;
  // Set once a progress display was shown; the later delay applies from then on.
  static BOOL s_bProgressShown;
  // The abort handler (null: never abort): processes pending messages, asks the user, TRUE to abort.
  static BOOL (*s_pfnAbortHandler)(const CGXLongOperationScope& scope);

 private:
  DWORD m_dwStartTick;
  CString m_sPrevText;
};

// TRUE when a nesting limit for the progress display is set and the current level lies deeper than it.
BOOL IsLongOperationLevelIgnored();
// Stores the percentage (clamped to 100) unless the level is ignored.
void SetLongOperationPercentDone(int percent);
int GetLongOperationPercentDone();
