#include "grid/features/CGXLongOperationImp.h"

#include <cstring>

#include "grid/core/gxstrings.h"
#include "platform/base/CString.h"
#include "platform/base/VirtualClock.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/MessageBox.h"
#include "platform/window/windowapi.h"

namespace {

CGXLongOperationState& State() { return GXGetLongOperationState(); }

// The level's slot (levels count from 1; deeper levels than the table share its last slot).
int Slot() {
  const int level = State().m_nLevel;
  return level < 1 ? 0 : level > CGXLongOperationState::kLevels ? CGXLongOperationState::kLevels - 1 : level - 1;
}

BOOL TooEarly(const CGXLongOperationScope* scope) {
  const CGXLongOperationState& s = State();
  const DWORD now = GetTickCount();
  return s.m_bFeedbackStarted ? now - scope->m_dwLastUpdate < s.m_nUpdateInterval
                              : now - scope->m_dwStartTick < s.m_nFirstDelay;
}

BOOL FrameExists() { return State().m_hFrameWnd && IsWindow(State().m_hFrameWnd); }

// Copies as much of `text` as the status buffer holds after `used` characters.
void Append(int& used, const char* text) {
  char* buffer = State().m_statusBuffer;
  const int room = CGXLongOperationState::kStatusBuffer - 1 - used;
  const int n = std::min<int>(room, static_cast<int>(std::strlen(text)));
  if (n > 0) std::memcpy(buffer + used, text, static_cast<std::size_t>(n));
  used += std::max(n, 0);
  buffer[used] = '\0';
}

// The status text, with the percentage, the abort hint and the turning mark as asked. The scope's text
// comes first and is cut so that what follows it still fits the buffer.
void ShowStatus(const CGXLongOperationScope* scope, BOOL hint) {
  CGXLongOperationState& s = State();
  if (!scope->m_bShowText || IsLongOperationLevelIgnored() || !FrameExists()) return;
  static const char* const kMarks[] = {"  -", "  \\", "  |", "  /"};
  CString tail;
  if (s.m_nPercentDone >= 0) tail.Format(" %3d%%. ", s.m_nPercentDone);
  if (hint) tail += "   " + s.m_sPressEsc;
  if (s.m_nPercentDone < 0) {
    tail += kMarks[s.m_nTurn];
    s.m_nTurn = (s.m_nTurn + 1) % 4;
  }
  const int limit = CGXLongOperationState::kStatusBuffer - 1;
  const int textRoom = std::max(0, limit - tail.GetLength());
  const char* text = scope->m_pszText ? scope->m_pszText : "";
  int used = 0;
  s.m_statusBuffer[0] = '\0';
  const int textLength = std::min<int>(textRoom, static_cast<int>(std::strlen(text)));
  std::memcpy(s.m_statusBuffer, text, static_cast<std::size_t>(textLength));
  used = textLength;
  s.m_statusBuffer[used] = '\0';
  Append(used, tail);
  SendMessage(s.m_hFrameWnd, WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(s.m_statusBuffer));
}


}  // namespace

void CGXLongOperationImp::Start(CGXLongOperationScope* scope) {
  CGXLongOperationState& s = State();
  ++s.m_nLevel;
  if (s.m_nLevel == 1) {
    s.m_nPercentDone = -1;
    s.m_nIgnoreLevel = -1;
    s.m_bAbortKeyPressed = s.m_bFeedbackStarted = s.m_bRollbackOffered = FALSE;
    s.m_bCanAbort = TRUE;
    scope->m_pszText = s.m_sProcessing;
    if (!FrameExists()) {
      s.m_hFrameWnd = nullptr;
      CWinApp* app = AfxGetApp();
      CWnd* main = app ? app->m_pMainWnd : nullptr;
      if (main && main->IsKindOf(RUNTIME_CLASS(CFrameWnd))) s.m_hFrameWnd = main->GetSafeHwnd();
    }
  } else {
    const int enclosing = Slot() - 1;
    scope->m_pszText = s.m_levelTexts[enclosing] ? s.m_levelTexts[enclosing] : static_cast<LPCTSTR>(s.m_sProcessing);
  }
  s.m_levelTexts[Slot()] = scope->m_pszText;
  s.m_levelCopied[Slot()] = FALSE;
  s.m_bAborted = s.m_bRollbackRequested = FALSE;
  scope->m_dwStartTick = scope->m_dwLastUpdate = GetTickCount();
  scope->m_bShowText = scope->m_bSendFinal = TRUE;
}

void CGXLongOperationImp::End(CGXLongOperationScope* scope) {
  CGXLongOperationState& s = State();
  FreeStatusText(scope);
  s.m_levelTexts[Slot()] = nullptr;
  --s.m_nLevel;
  if (s.m_nLevel == 0 && s.m_bFeedbackStarted) {
    s.m_bFeedbackStarted = FALSE;
    if (CCmdTarget* owner = AfxGetApp()) owner->EndWaitCursor();
    if (scope->m_bSendFinal && FrameExists())
      SendMessage(s.m_hFrameWnd, WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(s.m_sDone.GetString()));
  }
}

void CGXLongOperationImp::FreeStatusText(CGXLongOperationScope* scope) {
  CGXLongOperationState& s = State();
  const int slot = Slot();
  if (s.m_levelCopied[slot]) {
    if (scope->m_pszText == s.m_levelTexts[slot]) scope->m_pszText = nullptr;
    delete[] s.m_levelTexts[slot];
    s.m_levelTexts[slot] = nullptr;
    s.m_levelCopied[slot] = FALSE;
  }
}

void CGXLongOperationImp::SetStatusText(CGXLongOperationScope* scope, LPCTSTR text, BOOL copy) {
  CGXLongOperationState& s = State();
  FreeStatusText(scope);
  if (IsLongOperationLevelIgnored()) return;
  const int slot = Slot();
  if (copy && text) {
    const std::size_t n = std::strlen(text);
    char* kept = new char[n + 1];
    std::memcpy(kept, text, n + 1);
    s.m_levelTexts[slot] = kept;
    s.m_levelCopied[slot] = TRUE;
  } else {
    s.m_levelTexts[slot] = text;
    s.m_levelCopied[slot] = FALSE;
  }
  scope->m_pszText = s.m_levelTexts[slot];
}

BOOL CGXLongOperationImp::PollMessages(CGXLongOperationScope* scope) {
  if (TooEarly(scope)) return FALSE;
  ShowStatus(scope, FALSE);
  PumpMessages(scope);
  scope->m_dwLastUpdate = GetTickCount();
  return TRUE;
}

BOOL CGXLongOperationImp::PollAbort(CGXLongOperationScope* scope, BOOL& abort) {
  abort = FALSE;
  if (TooEarly(scope)) return FALSE;
  CGXLongOperationState& s = State();
  ShowStatus(scope, s.m_bCanAbort);
  PumpMessages(scope);
  if (s.m_bCanAbort && s.m_bAbortKeyPressed && !s.m_bAborted) {
    if (s.m_bAskAbort) {
      const UINT type = s.m_bRollbackOffered ? MB_ABORTRETRYIGNORE : MB_YESNO;
      const int answer = AfxMessageBox(s.m_sAbortQuestion, type | MB_ICONQUESTION);
      if (answer == IDABORT || answer == IDYES) s.m_bAborted = TRUE;
      if (answer == IDRETRY) s.m_bAborted = s.m_bRollbackRequested = TRUE;
    } else {
      s.m_bAborted = TRUE;
      s.m_bRollbackRequested = s.m_bRollbackOffered;
    }
    s.m_bAbortKeyPressed = FALSE;
    abort = s.m_bAborted;
  }
  scope->m_dwLastUpdate = GetTickCount();
  return TRUE;
}

void CGXLongOperationImp::PumpMessages(CGXLongOperationScope*) {
  CGXLongOperationState& s = State();
  if (!s.m_bFeedbackStarted) {
    s.m_bFeedbackStarted = TRUE;
    if (CCmdTarget* owner = AfxGetApp()) owner->BeginWaitCursor();
  }
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    const UINT m = msg.message;
    const bool input = (m >= 0x0100 && m <= 0x0109) || (m >= 0x0200 && m <= 0x020D) || (m >= 0x00A0 && m <= 0x00A9) ||
                       m == WM_COMMAND;
    if (input) {
      PeekMessage(&msg, nullptr, m, m, PM_REMOVE);
      if (m == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_CANCEL)) s.m_bAbortKeyPressed = TRUE;
      if (CCmdTarget* owner = AfxGetApp()) owner->RestoreWaitCursor();
      continue;
    }
    if (!AfxPumpMessage()) {
      PostQuitMessage(0);
      return;
    }
  }
  if (CWinThread* thread = AfxGetThread())
    for (LONG count = 0; thread->OnIdle(count); ++count) {
    }
}

void GXLoadLongOperationTexts() {
  CGXLongOperationState& s = State();
  s.m_sProcessing = gx::LoadGridString(20075);
  s.m_sDone = gx::LoadGridString(20076);
  s.m_sPressEsc = gx::LoadGridString(20077);
  s.m_sAbortQuestion = gx::LoadGridString(20081);
}

void InstallLongOperationImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pLongOperationImp) return;
  GXLoadLongOperationTexts();
  auto* imp = new CGXLongOperationImp;
  g.m_pLongOperationImp = imp;
  g.AddToAutoDeleteList(imp);
}
