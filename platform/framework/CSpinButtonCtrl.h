// CSpinButtonCtrl: the up-down control and its buddy window.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)

 public:
  CSpinButtonCtrl() = default;

  using CWnd::Create;
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(UPDOWN_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
  }

  void SetRange(short nLower, short nUpper) {
    SendMessage(UDM_SETRANGE, 0, MAKELONG(static_cast<WORD>(nUpper), static_cast<WORD>(nLower)));
  }
  void SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
  void GetRange(int& nLower, int& nUpper) const {
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&nLower), reinterpret_cast<LPARAM>(&nUpper));
  }
  // The position in the low word (the classic 16-bit form), an error flag in the high word.
  int GetPos() const { return static_cast<int>(SendMessage(UDM_GETPOS)); }
  int SetPos(int nPos) {
    return static_cast<int>(static_cast<short>(SendMessage(UDM_SETPOS, 0, MAKELONG(static_cast<WORD>(nPos), 0))));
  }
  int GetPos32(BOOL* lpbError = nullptr) const {
    return static_cast<int>(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(lpbError)));
  }
  int SetPos32(int nPos) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, nPos)); }
  CWnd* SetBuddy(CWnd* pWndBuddy) {
    return CWnd::FromHandle(
        reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(HwndOf(pWndBuddy)))));
  }
  CWnd* GetBuddy() const { return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }
  int SetBase(int nBase) { return static_cast<int>(SendMessage(UDM_SETBASE, static_cast<WPARAM>(nBase))); }
  UINT GetBase() const { return static_cast<UINT>(SendMessage(UDM_GETBASE)); }
  BOOL SetAccel(int nAccel, UDACCEL* pAccel) {
    return static_cast<BOOL>(SendMessage(UDM_SETACCEL, static_cast<WPARAM>(nAccel), reinterpret_cast<LPARAM>(pAccel)));
  }
  UINT GetAccel(int nAccel, UDACCEL* pAccel) const {
    return static_cast<UINT>(SendMessage(UDM_GETACCEL, static_cast<WPARAM>(nAccel), reinterpret_cast<LPARAM>(pAccel)));
  }
};
