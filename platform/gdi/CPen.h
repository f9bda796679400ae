// CPen: an owned pen handle.
#pragma once

#include "platform/gdi/CGdiObject.h"

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  CPen(int style, int width, const LOGBRUSH* brush, int styleCount = 0, const DWORD* styles = nullptr) {
    CreatePen(style, width, brush, styleCount, styles);
  }
  static CPen* FromHandle(HPEN h);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
  BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
  BOOL CreatePen(int style, int width, const LOGBRUSH* brush, int styleCount = 0, const DWORD* styles = nullptr) {
    return Attach(::ExtCreatePen(static_cast<DWORD>(style), static_cast<DWORD>(width), brush,
                                 static_cast<DWORD>(styleCount), styles));
  }
  BOOL CreatePenIndirect(LOGPEN* lp) { return Attach(::CreatePenIndirect(lp)); }
  int GetLogPen(LOGPEN* lp) { return GetObject(sizeof(LOGPEN), lp); }
  int GetExtLogPen(EXTLOGPEN* lp) { return GetObject(sizeof(EXTLOGPEN), lp); }
};
