// CWinThread: the UI thread's message pump, idle processing and pre-translation.
#pragma once

#include "platform/framework/CCmdTarget.h"

class CWnd;

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)

 public:
  CWinThread();
  ~CWinThread() override;

  CWnd* m_pMainWnd = nullptr;
  CWnd* m_pActiveWnd = nullptr;
  BOOL m_bAutoDelete = FALSE;
  DWORD m_nThreadID = 0;
  MSG m_msgCur{};

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance();
  // Pumps until WM_QUIT, calling OnIdle with a growing count while the queue is empty; returns the exit code.
  virtual int Run();
  // Pre-translation: the window tree from the message's window up to its top-level window, then the main
  // window for messages of other top-level windows. TRUE consumes the message.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // One message: get, pre-translate, translate, dispatch. FALSE on WM_QUIT.
  virtual BOOL PumpMessage();
  // Idle work: count 0 frees the temporary window wrappers. TRUE asks for more idle calls.
  virtual BOOL OnIdle(LONG lCount);
  virtual BOOL IsIdleMessage(MSG* pMsg);
  virtual CWnd* GetMainWnd() { return m_pActiveWnd ? m_pActiveWnd : m_pMainWnd; }
};

// The application object when there is one, else the thread's own default object.
CWinThread* AfxGetThread();
// Pumps one message the way the thread does (pre-translation included); FALSE on WM_QUIT.
BOOL AfxPumpMessage();
// Pumps without waiting until the queue is idle, each message the way the thread does (pre-translation
// included); WM_QUIT stays queued for the loop that owns it. Returns how many messages were dispatched;
// throws as plat::RunUntilIdle does when the queue never becomes idle (tests and headless runs).
int AfxPumpUntilIdle();
