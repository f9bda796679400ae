// Points, sizes and rectangles: the classic rectangle functions and the CPoint/CSize/CRect value types.
//
// Rectangles are half-open ([left, right) x [top, bottom)); a rectangle whose right <= left or
// bottom <= top is empty and contains no point.
#pragma once

#include "platform/base/wintypes.h"

BOOL SetRect(LPRECT r, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT r);
BOOL CopyRect(LPRECT dst, const RECT* src);
BOOL IsRectEmpty(const RECT* r);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* r, POINT pt);
BOOL OffsetRect(LPRECT r, int dx, int dy);
BOOL InflateRect(LPRECT r, int dx, int dy);
// Empty result (all zero) and FALSE when the two do not overlap.
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b);
// The smallest rectangle holding both; empty inputs are ignored.
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b);
// a minus b when the difference is a rectangle, else a; FALSE when the result is empty.
BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b);

class CSize;
class CRect;

class CPoint : public POINT {
 public:
  constexpr CPoint() : POINT{0, 0} {}
  constexpr CPoint(int x_, int y_) : POINT{x_, y_} {}
  constexpr CPoint(POINT p) : POINT(p) {}
  constexpr explicit CPoint(SIZE s) : POINT{s.cx, s.cy} {}
  // The classic packed form: low word x, high word y, each signed 16 bits.
  explicit CPoint(LPARAM packed) : POINT{GET_X_LPARAM(packed), GET_Y_LPARAM(packed)} {}

  void Offset(int dx, int dy) { x += dx; y += dy; }
  void Offset(POINT p) { Offset(p.x, p.y); }
  void SetPoint(int x_, int y_) { x = x_; y = y_; }

  friend constexpr bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
  CPoint& operator+=(SIZE s) { x += s.cx; y += s.cy; return *this; }
  CPoint& operator-=(SIZE s) { x -= s.cx; y -= s.cy; return *this; }
  CPoint& operator+=(POINT p) { x += p.x; y += p.y; return *this; }
  CPoint& operator-=(POINT p) { x -= p.x; y -= p.y; return *this; }
  CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
  CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
  inline CSize operator-(POINT p) const;
  CPoint operator-() const { return CPoint(-x, -y); }
};

class CSize : public SIZE {
 public:
  constexpr CSize() : SIZE{0, 0} {}
  constexpr CSize(int cx_, int cy_) : SIZE{cx_, cy_} {}
  constexpr CSize(SIZE s) : SIZE(s) {}
  constexpr explicit CSize(POINT p) : SIZE{p.x, p.y} {}

  void SetSize(int cx_, int cy_) { cx = cx_; cy = cy_; }
  friend constexpr bool operator==(const CSize& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
  CSize& operator+=(SIZE s) { cx += s.cx; cy += s.cy; return *this; }
  CSize& operator-=(SIZE s) { cx -= s.cx; cy -= s.cy; return *this; }
  CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
  CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
};

inline CSize CPoint::operator-(POINT p) const { return CSize(x - p.x, y - p.y); }

class CRect : public RECT {
 public:
  constexpr CRect() : RECT{0, 0, 0, 0} {}
  constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  constexpr CRect(const RECT& r) : RECT(r) {}
  CRect(const RECT* r) : RECT(*r) {}
  constexpr CRect(POINT topLeft, SIZE size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
  constexpr CRect(POINT topLeft, POINT bottomRight) : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

  bool IsRectEmpty() const { return ::IsRectEmpty(this) != FALSE; }
  bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool PtInRect(POINT p) const { return ::PtInRect(this, p) != FALSE; }
  bool EqualRect(const RECT* r) const { return ::EqualRect(this, r) != FALSE; }

  void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  void SetRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
  void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  void CopyRect(const RECT* r) { *static_cast<RECT*>(this) = *r; }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
  void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
  void InflateRect(const RECT* r) { InflateRect(r->left, r->top, r->right, r->bottom); }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  void DeflateRect(SIZE s) { DeflateRect(s.cx, s.cy); }
  void DeflateRect(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }
  void DeflateRect(const RECT* r) { DeflateRect(r->left, r->top, r->right, r->bottom); }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
  void MoveToX(int x) { right = x + Width(); left = x; }
  void MoveToY(int y) { bottom = y + Height(); top = y; }
  void MoveToXY(int x, int y) { MoveToX(x); MoveToY(y); }
  void NormalizeRect();
  BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
  BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }
  BOOL SubtractRect(const RECT* a, const RECT* b) { return ::SubtractRect(this, a, b); }

  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  friend bool operator==(const CRect& a, const CRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  CRect& operator&=(const RECT& r) { ::IntersectRect(this, this, &r); return *this; }
  CRect& operator|=(const RECT& r) { ::UnionRect(this, this, &r); return *this; }
  CRect operator&(const RECT& r) const { CRect out; ::IntersectRect(&out, this, &r); return out; }
  CRect operator|(const RECT& r) const { CRect out; ::UnionRect(&out, this, &r); return out; }
  CRect& operator+=(POINT p) { OffsetRect(p); return *this; }
  CRect& operator-=(POINT p) { OffsetRect(-p.x, -p.y); return *this; }
  CRect operator+(POINT p) const { CRect r(*this); r.OffsetRect(p); return r; }
  CRect operator-(POINT p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
};
