// Progress and abort of long grid loops. A loop keeps a CGXLongOperationScope for its duration; scopes
// nest, and each level has a status text. The scope forwards everything to the process-wide long-operation
// service (CGXAbstractLongOperationImp, installed by the editing features), which shows progress in the
// main frame's status bar, pumps messages and asks the user about an abort. Without a service the scope
// only counts the nesting level: nothing is shown and nothing is ever aborted.
//
// Loops ask IsWaitDelayElapsed before they compute a percentage, so short loops never pay for progress,
// and poll for an abort, which ends the loop through CUserException (caught by the scope's owner).
#pragma once

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/CString.h"
#include "platform/base/wintypes.h"

class CGXLongOperationScope;

// The long-operation service; every operation takes the scope it works for.
class CGXAbstractLongOperationImp : public CGXImpBase {
 public:
  virtual void Start(CGXLongOperationScope* scope) = 0;
  virtual void End(CGXLongOperationScope* scope) = 0;
  virtual void FreeStatusText(CGXLongOperationScope* scope) = 0;
  virtual void SetStatusText(CGXLongOperationScope* scope, LPCTSTR text, BOOL copy) = 0;
  // TRUE when it polled (the wait delay had passed); abort TRUE once when the user confirmed an abort.
  virtual BOOL PollAbort(CGXLongOperationScope* scope, BOOL& abort) = 0;
  virtual BOOL PollMessages(CGXLongOperationScope* scope) = 0;
  virtual void PumpMessages(CGXLongOperationScope* scope) = 0;
};

// The process-wide state of long operations, shared by the scopes and the service.
struct CGXLongOperationState {
  static constexpr int kLevels = 64;
  static constexpr int kStatusBuffer = 128;

  DWORD m_nFirstDelay = 750;      // no feedback before this many milliseconds
  DWORD m_nUpdateInterval = 1500;  // then an update at most this often
  BOOL m_bAskAbort = TRUE;
  // "Processing...", "Done.", "Press ESC to cancel" and "Do you want to abort the operation?" (start-up).
  CString m_sProcessing, m_sDone, m_sPressEsc, m_sAbortQuestion;
  int m_nPercentDone = -1;  // -1: none
  int m_nLevel = 0;
  int m_nIgnoreLevel = -1;  // levels deeper than this show no progress; -1: every level shows it
  BOOL m_bFeedbackStarted = FALSE;
  BOOL m_bAbortKeyPressed = FALSE;
  BOOL m_bAborted = FALSE;
  BOOL m_bRollbackRequested = FALSE;
  BOOL m_bCanAbort = TRUE;
  BOOL m_bRollbackOffered = FALSE;
  // Per level (1..kLevels, index level - 1): the status text and whether it is a heap copy.
  LPCTSTR m_levelTexts[kLevels] = {};
  BOOL m_levelCopied[kLevels] = {};
  char m_statusBuffer[kStatusBuffer] = {};
  int m_nTurn = 0;  // the turning mark's place in its cycle
  HWND m_hFrameWnd = nullptr;
};

CGXLongOperationState& GXGetLongOperationState();

class CGXLongOperationScope {
 public:
  CGXLongOperationScope();
  ~CGXLongOperationScope();
  CGXLongOperationScope(const CGXLongOperationScope&) = delete;
  CGXLongOperationScope& operator=(const CGXLongOperationScope&) = delete;

  // The status text of the current level: copy FALSE keeps the caller's pointer (it must outlive the
  // level), TRUE a copy of the text.
  void SetStatusText(LPCTSTR text, BOOL copy = TRUE);
  void FreeStatusText();
  // Shows progress, pumps messages and asks the user when Esc was pressed; abort TRUE once on a confirmed
  // abort. TRUE when it polled.
  BOOL PollAbort(BOOL& abort);
  BOOL PollMessages();
  void PumpMessages();
  // TRUE once the first-feedback delay, or after feedback started the update interval, has passed since
  // the scope's start or last update.
  BOOL IsWaitDelayElapsed() const;

  // Operations nested deeper than the caller's show no progress (TRUE), or every level does again (FALSE);
  // nothing while the caller's own level is ignored.
  static void IgnoreNestedLongOperations(BOOL ignore);
  // Whether an abort may be rolled back (the abort question then offers Abort, Retry and Ignore), and
  // whether the user asked for the rollback.
  static void SetRollbackOffered(BOOL offered);
  static BOOL IsRollbackRequested();
  static int GetNestingLevel();

  // The scope's own state, kept for the service.
  DWORD m_dwStartTick = 0;
  DWORD m_dwLastUpdate = 0;
  LPCTSTR m_pszText = nullptr;
  BOOL m_bShowText = TRUE;
  BOOL m_bSendFinal = TRUE;
};

// Operations nested deeper than the caller's show no progress (see the scope's form).
void IgnoreNestedLongOperations(BOOL ignore);
// TRUE when a nesting limit for the progress display is set and the current level lies deeper than it.
BOOL IsLongOperationLevelIgnored();
// Stores the percentage (clamped to 100; -1 clears it) unless the level is ignored.
void SetLongOperationPercentDone(int percent);
int GetLongOperationPercentDone();
