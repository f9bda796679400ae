// Window helpers of the grid library.
#pragma once

#include "platform/framework/CWinApp.h"
#include "platform/framework/CWnd.h"

// The nearest ancestor of wnd that is of (a class derived from) cls; unless evenIfIconic, null when an
// ancestor on the way is minimised.
CWnd* FindParentOfClass(CWnd* wnd, const CRuntimeClass* cls, BOOL evenIfIconic = FALSE);

class CView;
// The active view of the application's main frame; null without an application, a frame main window or an
// active view. The frames here are single-document frames, each its own active frame, so the fallback to
// the active frame's view ends at the main frame itself.
CView* GetActiveViewOfApp();

namespace gx {

// The application's wait cursor for the life of the object (nothing without an application): the print
// dialogs and the pagination hold one while they work.
class WaitCursor {
 public:
  WaitCursor() : m_app(AfxGetApp()) {
    if (m_app) m_app->BeginWaitCursor();
  }
  ~WaitCursor() {
    if (m_app) m_app->EndWaitCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  CWinApp* m_app;
};

}  // namespace gx
