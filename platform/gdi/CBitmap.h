// CBitmap: an owned bitmap handle.
#pragma once

#include "platform/base/geometry.h"
#include "platform/gdi/CGdiObject.h"

class CDC;

class CBitmap : public CGdiObject {
 public:
  static CBitmap* FromHandle(HBITMAP h);
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  BOOL CreateBitmap(int w, int h, UINT planes, UINT bpp, const void* bits) {
    return Attach(::CreateBitmap(w, h, planes, bpp, bits));
  }
  BOOL CreateBitmapIndirect(LPBITMAP bm) { return Attach(::CreateBitmapIndirect(bm)); }
  BOOL CreateCompatibleBitmap(CDC* dc, int w, int h);
  BOOL CreateDiscardableBitmap(CDC* dc, int w, int h) { return CreateCompatibleBitmap(dc, w, h); }
  // From the resource table (RT_BITMAP, a packed DIB), searching the resource module, then the instance.
  BOOL LoadBitmap(LPCSTR name);
  BOOL LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCE(id)); }
  int GetBitmap(BITMAP* bm) { return GetObject(sizeof(BITMAP), bm); }
  DWORD GetBitmapBits(DWORD count, LPVOID bits) const {
    return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), static_cast<LONG>(count), bits));
  }
  DWORD SetBitmapBits(DWORD count, const void* bits) {
    return static_cast<DWORD>(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), count, bits));
  }
  CSize GetBitmapDimension() const;
};
