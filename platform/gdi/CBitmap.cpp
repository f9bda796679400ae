#include "platform/gdi/CBitmap.h"

#include "platform/base/ResourceTable.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/GdiObjects.h"

CBitmap* CBitmap::FromHandle(HBITMAP h) { return plat::TempGdiWrapper<CBitmap>(h); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int w, int h) {
  if (!dc) return FALSE;
  return Attach(::CreateCompatibleBitmap(dc->m_hDC, w, h));
}

CSize CBitmap::GetBitmapDimension() const {
  SIZE s{0, 0};
  ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &s);
  return CSize(s);
}

BOOL CBitmap::LoadBitmap(LPCSTR name) {
  HBITMAP h = ::LoadBitmapA(AfxFindResourceHandle(name, RT_BITMAP), name);
  return h ? Attach(h) : FALSE;
}
