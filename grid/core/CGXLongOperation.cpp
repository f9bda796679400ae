#include "grid/core/CGXLongOperation.h"

#include "platform/base/VirtualClock.h"

CGXLongOperationState& GXGetLongOperationState() {
  static CGXLongOperationState state;
  return state;
}

namespace {
CGXAbstractLongOperationImp* Service() { return CGXGridGlobals::Get().m_pLongOperationImp; }
}  // namespace

CGXLongOperationScope::CGXLongOperationScope() {
  m_dwStartTick = m_dwLastUpdate = GetTickCount();
  if (CGXAbstractLongOperationImp* imp = Service())
    imp->Start(this);
  else
    ++GXGetLongOperationState().m_nLevel;
}

CGXLongOperationScope::~CGXLongOperationScope() {
  if (CGXAbstractLongOperationImp* imp = Service())
    imp->End(this);
  else
    --GXGetLongOperationState().m_nLevel;
}

void CGXLongOperationScope::SetStatusText(LPCTSTR text, BOOL copy) {
  if (CGXAbstractLongOperationImp* imp = Service()) imp->SetStatusText(this, text, copy);
}

void CGXLongOperationScope::FreeStatusText() {
  if (CGXAbstractLongOperationImp* imp = Service()) imp->FreeStatusText(this);
}

BOOL CGXLongOperationScope::PollAbort(BOOL& abort) {
  abort = FALSE;
  CGXAbstractLongOperationImp* imp = Service();
  return imp ? imp->PollAbort(this, abort) : FALSE;
}

BOOL CGXLongOperationScope::PollMessages() {
  CGXAbstractLongOperationImp* imp = Service();
  return imp ? imp->PollMessages(this) : FALSE;
}

void CGXLongOperationScope::PumpMessages() {
  if (CGXAbstractLongOperationImp* imp = Service()) imp->PumpMessages(this);
}

BOOL CGXLongOperationScope::IsWaitDelayElapsed() const {
  const CGXLongOperationState& s = GXGetLongOperationState();
  const DWORD now = GetTickCount();
  return s.m_bFeedbackStarted ? now - m_dwLastUpdate >= s.m_nUpdateInterval : now - m_dwStartTick >= s.m_nFirstDelay;
}

void CGXLongOperationScope::IgnoreNestedLongOperations(BOOL ignore) {
  CGXLongOperationState& s = GXGetLongOperationState();
  if (IsLongOperationLevelIgnored()) return;
  // Levels count from 1 (the outermost scope); the caller's own level keeps its progress.
  s.m_nIgnoreLevel = ignore ? s.m_nLevel : -1;
}

void CGXLongOperationScope::SetRollbackOffered(BOOL offered) { GXGetLongOperationState().m_bRollbackOffered = offered; }
BOOL CGXLongOperationScope::IsRollbackRequested() { return GXGetLongOperationState().m_bRollbackRequested; }
int CGXLongOperationScope::GetNestingLevel() { return GXGetLongOperationState().m_nLevel; }

void IgnoreNestedLongOperations(BOOL ignore) { CGXLongOperationScope::IgnoreNestedLongOperations(ignore); }

BOOL IsLongOperationLevelIgnored() {
  const CGXLongOperationState& s = GXGetLongOperationState();
  return s.m_nIgnoreLevel != -1 && s.m_nLevel > s.m_nIgnoreLevel;
}

void SetLongOperationPercentDone(int percent) {
  if (IsLongOperationLevelIgnored()) return;
  GXGetLongOperationState().m_nPercentDone = percent > 100 ? 100 : percent < 0 ? -1 : percent;
}

int GetLongOperationPercentDone() { return GXGetLongOperationState().m_nPercentDone; }
