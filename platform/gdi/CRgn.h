// CRgn: an owned region handle.
#pragma once

#include "platform/base/geometry.h"
#include "platform/gdi/CGdiObject.h"

class CRgn : public CGdiObject {
 public:
  static CRgn* FromHandle(HRGN h);
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
  BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
  BOOL CreateRectRgnIndirect(LPCRECT r) { return Attach(::CreateRectRgnIndirect(r)); }
  BOOL CreateEllipticRgn(int l, int t, int r, int b) { return Attach(::CreateEllipticRgn(l, t, r, b)); }
  BOOL CreateEllipticRgnIndirect(LPCRECT r) { return CreateEllipticRgn(r->left, r->top, r->right, r->bottom); }
  BOOL CreatePolygonRgn(const POINT* pts, int count, int mode) { return Attach(::CreatePolygonRgn(pts, count, mode)); }
  BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    return Attach(::CreateRoundRectRgn(l, t, r, b, w, h));
  }
  int CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    return ::CombineRgn(*this, static_cast<HRGN>(a->GetSafeHandle()), static_cast<HRGN>(b ? b->GetSafeHandle() : nullptr), mode);
  }
  int CopyRgn(const CRgn* src) { return ::CombineRgn(*this, static_cast<HRGN>(src->GetSafeHandle()), nullptr, RGN_COPY); }
  BOOL EqualRgn(const CRgn* other) const { return ::EqualRgn(*this, static_cast<HRGN>(other->GetSafeHandle())); }
  int OffsetRgn(int dx, int dy) { return ::OffsetRgn(*this, dx, dy); }
  int OffsetRgn(POINT p) { return OffsetRgn(p.x, p.y); }
  int GetRgnBox(LPRECT r) const { return ::GetRgnBox(*this, r); }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
  BOOL PtInRegion(POINT p) const { return PtInRegion(p.x, p.y); }
  BOOL RectInRegion(LPCRECT r) const { return ::RectInRegion(*this, r); }
  void SetRectRgn(int l, int t, int r, int b) { ::SetRectRgn(*this, l, t, r, b); }
  void SetRectRgn(LPCRECT r) { SetRectRgn(r->left, r->top, r->right, r->bottom); }
};
