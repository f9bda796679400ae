#include "platform/framework/CWinThread.h"

#include "platform/framework/CWinApp.h"
#include "platform/framework/CMenu.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CDC.h"
#include "platform/window/Pump.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() { m_nThreadID = ::GetCurrentThreadId(); }

CWinThread::~CWinThread() = default;

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  CWnd* main = AfxGetMainWnd();
  if (CWnd::WalkPreTranslateTree(HwndOf(main), pMsg)) return TRUE;
  // A modeless window of its own (not below the main window) still lets the main window see the message.
  if (main && main->m_hWnd && pMsg->hwnd && ::IsWindow(pMsg->hwnd) &&
      ::GetTopLevelParent(pMsg->hwnd) != main->m_hWnd)
    return main->PreTranslateMessage(pMsg);
  return FALSE;
}

BOOL CWinThread::PumpMessage() {
  if (!::GetMessage(&m_msgCur, nullptr, 0, 0)) return FALSE;
  if (m_msgCur.message != WM_NULL && !PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessage(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg) {
  // Mouse moves and the caret's own timer do not end an idle period.
  return pMsg->message != WM_MOUSEMOVE && pMsg->message != WM_NCMOUSEMOVE && pMsg->message != WM_PAINT;
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount <= 0) {
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();  // temporary DC and GDI-object wrappers too
    CMenu::DeleteTempMap();
  }
  return lCount < 1;
}

int CWinThread::Run() {
  BOOL idle = TRUE;
  LONG idleCount = 0;
  for (;;) {
    MSG peek;
    while (idle && !::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = FALSE;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) {
        idle = TRUE;
        idleCount = 0;
      }
    } while (::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE));
  }
}

namespace {
CWinThread& DefaultThread() {
  static CWinThread thread;
  return thread;
}
}  // namespace

CWinThread* AfxGetThread() {
  if (CWinApp* app = AfxGetApp()) return app;
  return &DefaultThread();
}

BOOL AfxPumpMessage() { return AfxGetThread()->PumpMessage(); }

int AfxPumpUntilIdle() {
  return plat::RunUntilIdle(100000, [](MSG& msg) { return AfxGetThread()->PreTranslateMessage(&msg) != FALSE; });
}
