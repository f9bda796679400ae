// CScrollBar: the stand-alone scroll-bar control (SBS_HORZ / SBS_VERT).
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)

 public:
  CScrollBar() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_SCROLLBAR, nullptr, dwStyle, rect, pParentWnd, nID);
  }

  int GetScrollPos() const { return static_cast<int>(SendMessage(SBM_GETPOS)); }
  int SetScrollPos(int nPos, BOOL bRedraw = TRUE) {
    return static_cast<int>(SendMessage(SBM_SETPOS, static_cast<WPARAM>(nPos), bRedraw));
  }
  void GetScrollRange(int* lpMinPos, int* lpMaxPos) const {
    SendMessage(SBM_GETRANGE, reinterpret_cast<WPARAM>(lpMinPos), reinterpret_cast<LPARAM>(lpMaxPos));
  }
  void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
    SendMessage(bRedraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(nMinPos), nMaxPos);
  }
  BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
    return static_cast<BOOL>(
        SendMessage(SBM_SETSCROLLINFO, static_cast<WPARAM>(bRedraw), reinterpret_cast<LPARAM>(lpScrollInfo)));
  }
  BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
  int GetScrollLimit();
  void ShowScrollBar(BOOL bShow = TRUE) { ShowWindow(bShow ? SW_SHOW : SW_HIDE); }
  BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH) {
    return static_cast<BOOL>(SendMessage(SBM_ENABLE_ARROWS, nArrowFlags));
  }
};
