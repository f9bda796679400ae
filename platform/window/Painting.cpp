// Update regions: accumulation, validation and the choice of the next window to paint.
#include "platform/window/WindowManager.h"

namespace plat {

namespace {
CRect ClientBox(const Window& w) { return CRect(0, 0, w.client.Width(), w.client.Height()); }
// Client origin of a child in its parent's client coordinates.
CPoint ChildClientOrigin(const Window& c) { return c.rect.TopLeft() + c.client.TopLeft(); }
}  // namespace

void WindowManager::Invalidate(HWND hwnd, const RectList* region, bool erase, Children children) {
  Window* w = Get(hwnd);
  if (!w || !w->redraw || !IsVisible(*w)) return;
  RectList r = region ? *region : RectList(ClientBox(*w));
  r.Intersect(ClientBox(*w));
  if (!r.IsEmpty()) {
    w->update.Add(r);
    if (erase) w->erase = true;
    if (onWindowChanged) onWindowChanged(hwnd);
  }
  // Without WS_CLIPCHILDREN the parent paints over its children, so they must paint again afterwards.
  InvalidateChildren(hwnd, r, erase, children);
}

void WindowManager::InvalidateChildren(HWND hwnd, const RectList& region, bool erase, Children children) {
  Window* w = Get(hwnd);
  if (!w) return;
  if (children == Children::None || (children == Children::Default && (w->style & WS_CLIPCHILDREN))) return;
  std::vector<HWND> list = w->children;
  for (HWND c : list) {
    Window* cw = Get(c);
    if (!cw || !(cw->style & WS_VISIBLE)) continue;
    RectList part = region;
    part.Intersect(cw->rect);
    if (part.IsEmpty()) continue;
    if (!(CRect(cw->client + cw->rect.TopLeft()) == cw->rect)) cw->ncPaint = true;
    CPoint o = ChildClientOrigin(*cw);
    part.Offset(-o.x, -o.y);
    Invalidate(c, &part, erase, children);
  }
}

void WindowManager::Validate(HWND hwnd, const RectList* region, Children children) {
  Window* w = Get(hwnd);
  if (!w) return;
  if (region) {
    w->update.Subtract(*region);
  } else {
    w->update.Clear();
    w->internalPaint = false;
  }
  if (w->update.IsEmpty()) w->erase = false;
  if (children == Children::None || (children == Children::Default && (w->style & WS_CLIPCHILDREN))) return;
  for (HWND c : w->children) {
    Window* cw = Get(c);
    if (!cw) continue;
    if (!region) {
      Validate(c, nullptr, children);
      continue;
    }
    RectList part = *region;
    CPoint o = ChildClientOrigin(*cw);
    part.Offset(-o.x, -o.y);
    Validate(c, &part, children);
  }
}

void WindowManager::InvalidateParentArea(HWND hwnd, const CRect* rectInParent) {
  Window* w = Get(hwnd);
  if (!w || !w->IsChild()) return;
  RectList area(rectInParent ? *rectInParent : w->rect);
  // The uncovered area shows the parent and every sibling that was underneath.
  Window* p = Get(w->parent);
  if (!p) return;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  w->style &= ~WS_VISIBLE;  // keep the window itself out of the repaint
  Invalidate(p->hwnd, &area, true, Children::None);
  for (HWND c : p->children) {
    Window* cw = Get(c);
    if (!cw || c == hwnd || !(cw->style & WS_VISIBLE)) continue;
    RectList part = area;
    part.Intersect(cw->rect);
    if (part.IsEmpty()) continue;
    cw->ncPaint = true;
    CPoint o = ChildClientOrigin(*cw);
    part.Offset(-o.x, -o.y);
    Invalidate(c, &part, true, Children::All);
  }
  if (wasVisible) w->style |= WS_VISIBLE;
}

HWND WindowManager::FindPaintWindow(HWND filter) const {
  // Parents before children, so that a child's paint lands on top of its parent's.
  HWND found = nullptr;
  auto visit = [&](auto&& self, HWND h) -> bool {
    const Window* w = Get(h);
    if (!w || !(w->style & WS_VISIBLE)) return false;
    if ((!w->update.IsEmpty() || w->internalPaint) && w->redraw && (!filter || IsAncestor(filter, h))) {
      found = h;
      return true;
    }
    for (HWND c : w->children)
      if (self(self, c)) return true;
    return false;
  };
  for (HWND top : Get(desktop_)->children)
    if (visit(visit, top)) break;
  return found;
}

RectList WindowManager::VisibleClientRegion(const Window& w, bool clipChildren, const CRect* area) const {
  RectList visible(area ? *area : ClientBox(w));
  if (clipChildren) {
    for (HWND c : w.children) {
      const Window* cw = Get(c);
      if (cw && (cw->style & WS_VISIBLE)) visible.Subtract(cw->rect);
    }
  }
  // Walk up: each ancestor's client area limits what shows, and clipped siblings above cut holes.
  CPoint offset(0, 0);  // from the current window's client coordinates to w's
  const Window* cur = &w;
  while (cur->IsChild()) {
    const Window* p = Get(cur->parent);
    if (!p) break;
    CPoint o = ChildClientOrigin(*cur);
    offset -= o;  // parent client -> w client: subtract the accumulated origin
    RectList parentBox(ClientBox(*p));
    parentBox.Offset(offset.x, offset.y);
    visible.Intersect(parentBox);
    if (cur->style & WS_CLIPSIBLINGS) {
      for (HWND s : p->children) {
        if (s == cur->hwnd) break;  // only siblings above in the Z order
        const Window* sw = Get(s);
        if (!sw || !(sw->style & WS_VISIBLE)) continue;
        CRect sr = sw->rect;
        sr.OffsetRect(offset);
        visible.Subtract(sr);
      }
    }
    cur = p;
  }
  return visible;
}

}  // namespace plat
