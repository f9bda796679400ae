// CSliderCtrl: the trackbar control.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CSliderCtrl : public CWnd {
  DECLARE_DYNAMIC(CSliderCtrl)

 public:
  CSliderCtrl() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(TRACKBAR_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
  }

  int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
  void SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
  int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
  int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
  void GetRange(int& nMin, int& nMax) const {
    nMin = GetRangeMin();
    nMax = GetRangeMax();
  }
  void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMIN, static_cast<WPARAM>(bRedraw), nMin); }
  void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMAX, static_cast<WPARAM>(bRedraw), nMax); }
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) {
    SendMessage(TBM_SETRANGE, static_cast<WPARAM>(bRedraw), MAKELONG(nMin, nMax));
  }
  void SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(nFreq)); }
  int GetPageSize() const { return static_cast<int>(SendMessage(TBM_GETPAGESIZE)); }
  int SetPageSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, nSize)); }
  int GetLineSize() const { return static_cast<int>(SendMessage(TBM_GETLINESIZE)); }
  int SetLineSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, nSize)); }
  void GetThumbRect(LPRECT lprc) const { SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(lprc)); }
  void GetChannelRect(LPRECT lprc) const { SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(lprc)); }
};
