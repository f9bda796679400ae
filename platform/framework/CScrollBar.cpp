#include "platform/framework/CScrollBar.h"

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask) {
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  lpScrollInfo->fMask = nMask;
  return static_cast<BOOL>(SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpScrollInfo)));
}

// The highest position the thumb can reach: the range's end less the page, less one when a page is set.
int CScrollBar::GetScrollLimit() {
  SCROLLINFO info{};
  if (!GetScrollInfo(&info, SIF_RANGE | SIF_PAGE)) return 0;
  const int limit = info.nMax - (info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0);
  return limit < info.nMin ? info.nMin : limit;
}
