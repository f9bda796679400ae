// CProgressCtrl: the progress bar.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)

 public:
  CProgressCtrl() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(PROGRESS_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
  }

  // SetRange keeps the classic 16-bit form; SetRange32 takes full ints.
  void SetRange(short nLower, short nUpper) {
    SendMessage(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(nLower), static_cast<WORD>(nUpper)));
  }
  void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
  void GetRange(int& nLower, int& nUpper) const {
    PBRANGE range{};
    SendMessage(PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
    nLower = range.iLow;
    nUpper = range.iHigh;
  }
  int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
  int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
  int OffsetPos(int nPos) { return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(nPos))); }
  int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep))); }
  int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
  COLORREF SetBarColor(COLORREF clrBar) {
    return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, static_cast<LPARAM>(clrBar)));
  }
  COLORREF SetBkColor(COLORREF clrBk) {
    return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, static_cast<LPARAM>(clrBk)));
  }
};
