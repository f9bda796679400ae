// CStatic: labels, frames, icons and bitmaps.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/framework/CWnd.h"

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

 public:
  CStatic() = default;

  using CWnd::Create;
  BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF) {
    return CWnd::Create(WC_STATIC, lpszText, dwStyle, rect, pParentWnd, nID);
  }

  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
  }
  HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
};
