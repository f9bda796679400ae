#include "platform/gdi/CBrush.h"

#include "platform/gdi/CBitmap.h"

CBrush::CBrush(CBitmap* bitmap) { CreatePatternBrush(bitmap); }

CBrush* CBrush::FromHandle(HBRUSH h) { return plat::TempGdiWrapper<CBrush>(h); }

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
  return bitmap ? Attach(::CreatePatternBrush(static_cast<HBITMAP>(bitmap->m_hObject))) : FALSE;
}
