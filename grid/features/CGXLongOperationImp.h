// The long-operation service: progress in the main frame's status bar, a wait cursor, message pumping that
// keeps the application alive while swallowing input, and the abort question on Esc or Ctrl+Break.
//
// Call flow of a long loop:
//   CGXLongOperationScope()      -> Start: the outermost level resets the abort state, finds the main frame
//   scope.SetStatusText(text)    -> the level's text (kept or copied)
//   scope.PollAbort(abort)       -> after 750 ms, then every 1500 ms: "text  37%.   Press ESC to cancel" to
//                                   the status bar, PumpMessages, and on Esc the question (Yes/No, or
//                                   Abort/Retry/Ignore while a rollback is offered)
//   ~CGXLongOperationScope()     -> End: the outermost level ends the wait cursor and shows "Done."
#pragma once

#include "grid/core/CGXLongOperation.h"

class CGXLongOperationImp : public CGXAbstractLongOperationImp {
 public:
  void Start(CGXLongOperationScope* scope) override;
  void End(CGXLongOperationScope* scope) override;
  void FreeStatusText(CGXLongOperationScope* scope) override;
  void SetStatusText(CGXLongOperationScope* scope, LPCTSTR text, BOOL copy) override;
  BOOL PollAbort(CGXLongOperationScope* scope, BOOL& abort) override;
  BOOL PollMessages(CGXLongOperationScope* scope) override;
  void PumpMessages(CGXLongOperationScope* scope) override;
};

// Creates the process-wide service once and registers it for deletion at exit.
void InstallLongOperationImp();
// Loads the service's four texts from the grid's string table (start-up and the registration call).
void GXLoadLongOperationTexts();
