// CBrush: an owned brush handle.
#pragma once

#include "platform/gdi/CGdiObject.h"

class CBitmap;

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  CBrush(int hatch, COLORREF color) { CreateHatchBrush(hatch, color); }
  explicit CBrush(CBitmap* bitmap);
  static CBrush* FromHandle(HBRUSH h);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
  BOOL CreateHatchBrush(int hatch, COLORREF color) { return Attach(::CreateHatchBrush(hatch, color)); }
  BOOL CreateBrushIndirect(const LOGBRUSH* lb) { return Attach(::CreateBrushIndirect(lb)); }
  BOOL CreatePatternBrush(CBitmap* bitmap);
  BOOL CreateDIBPatternBrush(const void* packedDib, UINT usage) {
    return Attach(::CreateDIBPatternBrushPt(packedDib, usage));
  }
  BOOL CreateSysColorBrush(int index) { return Attach(::GetSysColorBrush(index)); }
  int GetLogBrush(LOGBRUSH* lb) { return GetObject(sizeof(LOGBRUSH), lb); }
};
