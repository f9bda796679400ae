// CButton: the class-library face of the BUTTON control - push, check, radio, group box and owner-draw.
// Owner-drawn buttons paint in DrawItem, which the parent's WM_DRAWITEM reaches through reflection.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

 public:
  CButton() = default;

  using CWnd::Create;
  BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_BUTTON, lpszCaption, dwStyle, rect, pParentWnd, nID);
  }

  UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
  void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(bHighlight)); }
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
  // The BS_ type and flags kept in the low word of the window style.
  UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP)); }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon)));
  }
  HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON)); }

  // Owner-draw buttons override this; the plain class has nothing to draw.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

 protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
