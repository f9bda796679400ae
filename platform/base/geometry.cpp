#include "platform/base/geometry.h"

#include <algorithm>

BOOL SetRect(LPRECT r, int left, int top, int right, int bottom) {
  if (!r) return FALSE;
  *r = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }

BOOL EqualRect(const RECT* a, const RECT* b) {
  if (!a || !b) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* r, POINT pt) {
  return r && pt.x >= r->left && pt.x < r->right && pt.y >= r->top && pt.y < r->bottom;
}

BOOL OffsetRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
  return TRUE;
}

BOOL InflateRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx;
  r->right += dx;
  r->top -= dy;
  r->bottom += dy;
  return TRUE;
}

BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  const RECT out{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                 std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&out)) {
    *dst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *dst = out;
  return TRUE;
}

BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  const bool emptyA = IsRectEmpty(a), emptyB = IsRectEmpty(b);
  if (emptyA && emptyB) {
    *dst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (emptyA) {
    *dst = *b;
    return TRUE;
  }
  if (emptyB) {
    *dst = *a;
    return TRUE;
  }
  *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
              std::max(a->bottom, b->bottom)};
  return TRUE;
}

BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT out = *a;
  RECT overlap;
  if (IntersectRect(&overlap, a, b)) {
    // Only a cut that spans a whole side leaves a rectangle behind.
    const bool fullWidth = overlap.left == a->left && overlap.right == a->right;
    const bool fullHeight = overlap.top == a->top && overlap.bottom == a->bottom;
    if (fullWidth && fullHeight) {
      out = RECT{0, 0, 0, 0};
    } else if (fullWidth && overlap.top == a->top) {
      out.top = overlap.bottom;
    } else if (fullWidth && overlap.bottom == a->bottom) {
      out.bottom = overlap.top;
    } else if (fullHeight && overlap.left == a->left) {
      out.left = overlap.right;
    } else if (fullHeight && overlap.right == a->right) {
      out.right = overlap.left;
    }
  }
  *dst = out;
  return IsRectEmpty(&out) ? FALSE : TRUE;
}

void CRect::NormalizeRect() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}
