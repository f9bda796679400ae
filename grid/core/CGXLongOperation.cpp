#include "grid/core/CGXLongOperation.h"

#include "platform/base/CException.h"
#include "platform/base/VirtualClock.h"

DWORD CGXLongOperationScope::s_nFirstDelay = 750;
DWORD CGXLongOperationScope::s_nLaterDelay = 250;
int CGXLongOperationScope::s_nIgnoreLevel = -1;
BOOL CGXLongOperationScope::s_bProgressShown = FALSE;
BOOL (*CGXLongOperationScope::s_pfnAbortHandler)(const CGXLongOperationScope&) = nullptr;

namespace {
int g_nLevel = 0;
int g_nPercent = 0;
CString g_sStatus;
}  // namespace

CGXLongOperationScope::CGXLongOperationScope() : m_dwStartTick(GetTickCount()), m_sPrevText(g_sStatus) {
  ++g_nLevel;
}

CGXLongOperationScope::~CGXLongOperationScope() {
  --g_nLevel;
  g_sStatus = m_sPrevText;
  if (g_nLevel == 0) g_nPercent = 0;
}

void CGXLongOperationScope::SetStatusText(LPCTSTR text, BOOL) { g_sStatus = text ? text : ""; }

void CGXLongOperationScope::PollAbort(BOOL& abort) {
  if (s_pfnAbortHandler && s_pfnAbortHandler(*this)) abort = TRUE;
}

BOOL CGXLongOperationScope::IsWaitDelayElapsed() const {
  const DWORD delay = s_bProgressShown ? s_nLaterDelay : s_nFirstDelay;
  return GetTickCount() - m_dwStartTick > delay;
}

int CGXLongOperationScope::GetNestingLevel() { return g_nLevel; }
const CString& CGXLongOperationScope::GetStatusText() { return g_sStatus; }

BOOL IsLongOperationLevelIgnored() {
  const int limit = CGXLongOperationScope::s_nIgnoreLevel;
  return limit != -1 && g_nLevel > limit;
}

void SetLongOperationPercentDone(int percent) {
  if (IsLongOperationLevelIgnored()) return;
  g_nPercent = percent > 100 ? 100 : percent;
}

int GetLongOperationPercentDone() { return g_nPercent; }
