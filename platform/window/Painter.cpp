#include "platform/window/Painter.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/gdi/ScrollBarLook.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/NonClient.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {

std::map<HWND, SurfacePtr>& Buffers() {
  static std::map<HWND, SurfacePtr> buffers;
  return buffers;
}

// Window DCs handed out and not yet released, with the window they draw on.
std::map<HDC, HWND>& OpenDcs() {
  static std::map<HDC, HWND> dcs;
  return dcs;
}

std::vector<RECT> ToRects(const RectList& r) {
  std::vector<RECT> out(r.Rects().begin(), r.Rects().end());
  return out;
}

// Offset of a window's top-left (window rectangle) inside its top-level back buffer.
CPoint OffsetInBuffer(const WindowManager& wm, const Window& w) {
  const Window* top = wm.Get(wm.TopLevelOf(w.hwnd));
  if (!top) return CPoint();
  CRect s = wm.ScreenRect(w), t = wm.ScreenRect(*top);
  return CPoint(s.left - t.left, s.top - t.top);
}

void Changed(HWND hwnd) {
  WindowManager& wm = WindowManager::Instance();
  if (wm.onWindowChanged) wm.onWindowChanged(hwnd);
}

// A DC on the window's back buffer. area: client coordinates of what may be drawn (already visible-clipped);
// whole: the DC's origin is the window's top-left instead of its client top-left.
HDC MakeDc(const Window& w, const RectList& visibleClient, bool whole, SurfaceDcKind kind) {
  WindowManager& wm = WindowManager::Instance();
  SurfacePtr buffer = Painter::BackBuffer(w.hwnd);
  if (!buffer) return nullptr;
  CPoint windowOrigin = OffsetInBuffer(wm, w);
  CPoint clientOrigin = windowOrigin + w.client.TopLeft();
  HDC dc = CreateSurfaceDC(buffer, whole ? POINT(windowOrigin) : POINT(clientOrigin), kind);
  if (!dc) return nullptr;
  RectList clip = visibleClient;
  clip.Offset(clientOrigin.x, clientOrigin.y);
  std::vector<RECT> rects = wm.IsVisible(w) ? ToRects(clip) : std::vector<RECT>{};
  SetDCSystemClip(dc, rects);
  OpenDcs()[dc] = w.hwnd;
  return dc;
}

// A window without WS_CLIPCHILDREN is about to erase or paint `area` (client coordinates) over its children:
// they paint again afterwards (children after their parent), so a child's pixels never stay overwritten.
// With WS_CLIPCHILDREN the area already excludes them and nothing is owed.
void PaintingOverChildren(const Window& w, const RectList& area, bool erase) {
  if ((w.style & WS_CLIPCHILDREN) || area.IsEmpty()) return;
  WindowManager::Instance().InvalidateChildren(w.hwnd, area, erase);
}

HBRUSH SysBrush(int index) { return GetSysColorBrush(index); }

void Fill(HDC dc, const CRect& r, int colorIndex) {
  if (!r.IsRectEmpty()) FillRect(dc, &r, SysBrush(colorIndex));
}

// Two-colour frame with the classic pixel split: top-left takes row t over [l, r-1) and column l over
// [t, b-1); bottom-right row b-1 over [l, r) and column r-1 over [t, b).
void Frame3d(HDC dc, CRect& r, int topLeft, int bottomRight) {
  if (r.IsRectEmpty()) return;
  Fill(dc, CRect(r.left, r.top, r.right - 1, r.top + 1), topLeft);
  Fill(dc, CRect(r.left, r.top, r.left + 1, r.bottom - 1), topLeft);
  Fill(dc, CRect(r.left, r.bottom - 1, r.right, r.bottom), bottomRight);
  Fill(dc, CRect(r.right - 1, r.top, r.right, r.bottom), bottomRight);
  r.DeflateRect(1, 1);
}

void RaisedEdge(HDC dc, CRect& r) {
  Frame3d(dc, r, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
  Frame3d(dc, r, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
}

void SunkenEdge(HDC dc, CRect& r) {
  Frame3d(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  Frame3d(dc, r, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

// The window's bars look like SCROLLBAR controls: one drawing routine for both.
void DrawScrollBar(HDC dc, const Window& w, int bar) {
  NonClient::BarParts p = NonClient::ScrollBarParts(w, bar);
  if (p.whole.IsRectEmpty()) return;
  const ScrollBarState& s = bar == SB_VERT ? w.vscroll : w.hscroll;
  const bool enabled = !(w.style & WS_DISABLED) && NonClient::CanScroll(s);
  ScrollBarLook look;
  look.vertical = bar == SB_VERT;
  look.arrow1 = p.arrow1;
  look.arrow2 = p.arrow2;
  look.track = look.vertical ? CRect(p.whole.left, p.arrow1.bottom, p.whole.right, p.arrow2.top)
                             : CRect(p.arrow1.right, p.whole.top, p.arrow2.left, p.whole.bottom);
  if (p.hasThumb) look.thumb = p.thumb;
  look.arrow1Enabled = enabled && !(s.disabledArrows & ESB_DISABLE_LTUP);
  look.arrow2Enabled = enabled && !(s.disabledArrows & ESB_DISABLE_RTDN);
  DrawScrollBarLook(dc, look);
}

enum class CaptionGlyph { Close, Minimize, Maximize, Restore };

// A window outline with the thick top edge of the caption glyphs.
void GlyphWindow(HDC dc, const CRect& r, int color) {
  Fill(dc, CRect(r.left, r.top, r.right, r.top + 2), color);
  Fill(dc, CRect(r.left, r.bottom - 1, r.right, r.bottom), color);
  Fill(dc, CRect(r.left, r.top, r.left + 1, r.bottom), color);
  Fill(dc, CRect(r.right - 1, r.top, r.right, r.bottom), color);
}

// The glyphs are drawn pixel by pixel so that they never depend on line rules; offset moves the whole glyph
// (the light copy under a disabled one).
void DrawGlyph(HDC dc, const CRect& face, CaptionGlyph glyph, int offset, int color) {
  const int fw = face.Width(), fh = face.Height();
  const int x = face.left + offset, y = face.top + offset;
  switch (glyph) {
    case CaptionGlyph::Close: {  // two diagonals two pixels thick
      int n = std::min(fw, fh) - 2;
      int x0 = x + (fw - n) / 2, y0 = y + (fh - n) / 2;
      for (int i = 0; i < n; ++i) {
        Fill(dc, CRect(x0 + i, y0 + i, x0 + i + 2, y0 + i + 1), color);
        Fill(dc, CRect(x0 + n - 2 - i, y0 + i, x0 + n - i, y0 + i + 1), color);
      }
      break;
    }
    case CaptionGlyph::Minimize: {  // a bar on the bottom line
      int n = std::min(6, fw - 2);
      int x0 = x + (fw - n) / 2 - 1;
      Fill(dc, CRect(x0, y + fh - 3, x0 + n, y + fh - 1), color);
      break;
    }
    case CaptionGlyph::Maximize: {  // a window filling the face
      int gw = std::min(9, fw - 2), gh = std::min(9, fh) - 1;
      int x0 = x + (fw - gw) / 2, y0 = y + (fh - gh) / 2;
      GlyphWindow(dc, CRect(x0, y0, x0 + gw, y0 + gh), color);
      break;
    }
    case CaptionGlyph::Restore: {  // a smaller window in front of another
      int gw = std::min(9, fw - 2), gh = std::min(9, fh) - 1;
      int x0 = x + (fw - gw) / 2, y0 = y + (fh - gh) / 2;
      CRect back(x0 + 3, y0, x0 + gw, y0 + gh - 3), front(x0, y0 + 3, x0 + gw - 3, y0 + gh);
      GlyphWindow(dc, back, color);
      CRect inside = front;
      inside.DeflateRect(1, 1);
      Fill(dc, inside, COLOR_3DFACE);
      GlyphWindow(dc, front, color);
      break;
    }
  }
}

void DrawCaptionBox(HDC dc, const CRect& box, CaptionGlyph glyph, bool enabled) {
  CRect face = box;
  RaisedEdge(dc, face);
  Fill(dc, face, COLOR_3DFACE);
  if (enabled) {
    DrawGlyph(dc, face, glyph, 0, COLOR_BTNTEXT);
  } else {  // embossed, as disabled text is
    DrawGlyph(dc, face, glyph, 1, COLOR_BTNHIGHLIGHT);
    DrawGlyph(dc, face, glyph, 0, COLOR_BTNSHADOW);
  }
}

HFONT CaptionFont() {
  static HFONT font = [] {
    LOGFONTA lf{};
    lf.lfHeight = -11;
    lf.lfWeight = 700;
    lf.lfCharSet = 0;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "MS Sans Serif");
    return CreateFontIndirectA(&lf);
  }();
  return font;
}

}  // namespace

// ---- Back buffers -------------------------------------------------------------------------------------------

SurfacePtr Painter::BackBuffer(HWND hwnd) {
  WindowManager& wm = WindowManager::Instance();
  HWND topHwnd = wm.TopLevelOf(hwnd);
  Window* top = wm.Get(topHwnd);
  if (!top) return nullptr;
  int width = std::max(1, top->rect.Width()), height = std::max(1, top->rect.Height());
  SurfacePtr& buffer = Buffers()[topHwnd];
  if (!buffer || buffer->width() != width || buffer->height() != height) {
    SurfacePtr fresh = Surface::create(width, height);
    if (fresh && buffer) buffer->copyTo(buffer->bounds(), *fresh, POINT{0, 0});  // keep what still fits
    buffer = fresh;
  }
  return buffer;
}

void Painter::DropBackBuffer(HWND topLevel) { Buffers().erase(topLevel); }

std::function<SurfacePtr()>& Painter::ScreenComposer() {
  static std::function<SurfacePtr()> composer;
  return composer;
}

SurfacePtr Painter::ScreenSnapshot() {
  if (ScreenComposer()) return ScreenComposer()();
  SIZE size{WindowManager::Instance().Get(WindowManager::Instance().Desktop())->rect.Width(),
            WindowManager::Instance().Get(WindowManager::Instance().Desktop())->rect.Height()};
  return Surface::create(size.cx, size.cy);
}

// ---- DCs ----------------------------------------------------------------------------------------------------

HDC Painter::GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  WindowManager& wm = WindowManager::Instance();
  if (!hwnd) hwnd = wm.Desktop();
  Window* w = wm.Get(hwnd);
  if (!w) return nullptr;
  if (wm.IsDesktop(hwnd)) {
    // The screen DC reads the composed desktop (tips save what lies under them this way). It draws on a
    // snapshot: what is drawn there never reaches a window, as nothing drawn on the real screen would
    // survive the next repaint either.
    SurfacePtr snapshot = ScreenSnapshot();
    if (!snapshot) return nullptr;
    HDC dc = CreateSurfaceDC(snapshot, POINT{0, 0}, SurfaceDcKind::Window);
    if (dc) OpenDcs()[dc] = hwnd;
    return dc;
  }
  bool whole = (flags & DCX_WINDOW) != 0;
  bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->style & WS_CLIPCHILDREN);
  CRect area = whole ? CRect(-w->client.left, -w->client.top, w->rect.Width() - w->client.left,
                             w->rect.Height() - w->client.top)
                     : CRect(0, 0, w->client.Width(), w->client.Height());
  RectList visible = wm.VisibleClientRegion(*w, clipChildren, &area);
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    if (const Region* r = RegionOfHandle(clip)) {
      // The region is in the DC's own coordinates.
      RectList extra;
      for (const RECT& rc : r->rects()) extra.Add(rc);
      if (whole) extra.Offset(-w->client.left, -w->client.top);
      if (flags & DCX_INTERSECTRGN)
        visible.Intersect(extra);
      else
        visible.Subtract(extra);
    }
  }
  return MakeDc(*w, visible, whole, whole ? SurfaceDcKind::Window : SurfaceDcKind::Client);
}

int Painter::ReleaseDC(HWND, HDC dc) {
  auto it = OpenDcs().find(dc);
  if (it == OpenDcs().end()) return 0;
  HWND hwnd = it->second;
  OpenDcs().erase(it);
  DeleteDC(dc);
  Changed(hwnd);
  return 1;
}

HWND Painter::WindowFromDC(HDC dc) {
  auto it = OpenDcs().find(dc);
  return it == OpenDcs().end() || !WindowManager::Instance().Get(it->second) ? nullptr : it->second;
}

// ---- The paint cycle ----------------------------------------------------------------------------------------

HDC Painter::BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  WindowManager& wm = WindowManager::Instance();
  std::shared_ptr<Window> keep = wm.Share(hwnd);
  Window* w = keep.get();
  if (!w || !ps) return nullptr;
  *ps = PAINTSTRUCT{};
  if (w->ncPaint) SendNcPaint(hwnd, false);
  if (!wm.Get(hwnd)) return nullptr;
  // Validate first: drawing during WM_ERASEBKGND or WM_PAINT may invalidate again for the next cycle.
  RectList region = w->update;
  region.Intersect(CRect(0, 0, w->client.Width(), w->client.Height()));
  const bool erase = w->erase;
  wm.Validate(hwnd, nullptr);
  RectList visible = wm.VisibleClientRegion(*w, (w->style & WS_CLIPCHILDREN) != 0);
  visible.Intersect(region);
  // The update region of the children under it was set when this one was invalidated, but a child may have
  // painted since (UpdateWindow, a focus change) and emptied it: what this paint covers is owed again.
  PaintingOverChildren(*w, visible, erase);
  HDC dc = MakeDc(*w, visible, false, SurfaceDcKind::Paint);
  ps->hdc = dc;
  ps->rcPaint = region.Bounds();
  ps->fErase = FALSE;
  if (erase) {
    ++w->eraseCount;
    // The answer says whether the background was erased; if not, the painter must do it.
    ps->fErase = wm.Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  }
  return dc;
}

bool Painter::EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps) return false;
  if (ps->hdc) ReleaseDC(hwnd, ps->hdc);
  return true;
}

void Painter::SendNcPaint(HWND hwnd, bool force) {
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(hwnd);
  if (!w || (!w->ncPaint && !force)) return;
  w->ncPaint = false;
  if (!wm.IsVisible(*w)) return;
  // Windows without a frame have nothing to paint outside their client area.
  if (w->client == CRect(0, 0, w->rect.Width(), w->rect.Height())) return;
  wm.Send(hwnd, WM_NCPAINT, 1, 0);
}

void Painter::DrawNonClient(HWND hwnd) {
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(hwnd);
  if (!w || !wm.IsVisible(*w)) return;
  if (w->client == CRect(0, 0, w->rect.Width(), w->rect.Height())) return;
  HDC dc = GetDCEx(hwnd, nullptr, DCX_WINDOW);
  if (!dc) return;
  CRect r(0, 0, w->rect.Width(), w->rect.Height());
  const DWORD style = w->style, ex = w->exStyle;
  if (style & WS_THICKFRAME) {
    RaisedEdge(dc, r);
    for (int i = 2; i < NonClient::SizeFrame(); ++i) Frame3d(dc, r, COLOR_ACTIVEBORDER, COLOR_ACTIVEBORDER);
  } else if ((style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) {
    RaisedEdge(dc, r);
    for (int i = 2; i < NonClient::DlgFrame(); ++i) Frame3d(dc, r, COLOR_3DFACE, COLOR_3DFACE);
  } else if (style & WS_BORDER) {
    Frame3d(dc, r, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
  }
  if ((style & WS_CAPTION) == WS_CAPTION) {
    CRect cap = NonClient::CaptionRect(*w);
    bool active = wm.TopLevelOf(hwnd) == wm.active;
    Fill(dc, cap, active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    Fill(dc, CRect(cap.left, cap.bottom, cap.right, cap.bottom + 1), COLOR_3DFACE);
    if (!w->text.empty()) {
      HGDIOBJ oldFont = SelectObject(dc, CaptionFont());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      SIZE ext{};
      GetTextExtentPoint32A(dc, w->text.c_str(), static_cast<int>(w->text.size()), &ext);
      CRect textBox(cap.left + 4, cap.top, cap.right - 2, cap.bottom);
      for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
        CRect box = NonClient::CaptionBoxRect(*w, hit);
        if (!box.IsRectEmpty()) textBox.right = std::min(textBox.right, box.left - 2);
      }
      ExtTextOutA(dc, textBox.left, cap.top + (cap.Height() - ext.cy) / 2, ETO_CLIPPED, &textBox, w->text.c_str(),
                  static_cast<UINT>(w->text.size()), nullptr);
      SelectObject(dc, oldFont);
    }
    for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
      CRect box = NonClient::CaptionBoxRect(*w, hit);
      if (box.IsRectEmpty()) continue;
      CaptionGlyph glyph = CaptionGlyph::Close;
      if (hit == HTMAXBUTTON) glyph = (style & WS_MAXIMIZE) ? CaptionGlyph::Restore : CaptionGlyph::Maximize;
      if (hit == HTMINBUTTON) glyph = (style & WS_MINIMIZE) ? CaptionGlyph::Restore : CaptionGlyph::Minimize;
      const bool enabled = hit != HTMAXBUTTON || (style & WS_MAXIMIZEBOX);
      DrawCaptionBox(dc, box, glyph, enabled);
    }
    r.top = cap.bottom + 1;
  }
  if (ex & WS_EX_CLIENTEDGE) SunkenEdge(dc, r);
  if (ex & WS_EX_STATICEDGE) Frame3d(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  DrawScrollBar(dc, *w, SB_VERT);
  DrawScrollBar(dc, *w, SB_HORZ);
  if ((style & WS_VSCROLL) && (style & WS_HSCROLL)) {
    CRect v = NonClient::ScrollBarRect(*w, SB_VERT), h = NonClient::ScrollBarRect(*w, SB_HORZ);
    Fill(dc, CRect(v.left, h.top, v.right, h.bottom), COLOR_3DFACE);  // the corner between the bars
  }
  ReleaseDC(hwnd, dc);
}

LRESULT Painter::EraseBackground(HWND hwnd, HDC dc) {
  Window* w = WindowManager::Instance().Get(hwnd);
  if (!w || !dc || !w->cls || !w->cls->background) return 0;
  RECT r{0, 0, w->client.Width(), w->client.Height()};
  FillRect(dc, &r, w->cls->background);
  return 1;
}

LRESULT Painter::DefaultControlColor(HDC dc, UINT msg) {
  int back = COLOR_3DFACE;
  if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) back = COLOR_WINDOW;
  if (msg == WM_CTLCOLORSCROLLBAR) back = COLOR_SCROLLBAR;
  if (dc) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(back));
  }
  return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

void Painter::FlushNcPaint() {
  WindowManager& wm = WindowManager::Instance();
  std::vector<HWND> owed;
  wm.ForEachWindow([&](const Window& w) {
    if (w.ncPaint && w.update.IsEmpty() && wm.IsVisible(w)) owed.push_back(w.hwnd);
  });
  for (HWND h : owed) SendNcPaint(h, false);
}

void Painter::UpdateNow(HWND hwnd, bool children, bool eraseOnly) {
  WindowManager& wm = WindowManager::Instance();
  std::shared_ptr<Window> keep = wm.Share(hwnd);
  Window* w = keep.get();
  if (!w || !wm.IsVisible(*w)) return;
  if (w->ncPaint && (eraseOnly || w->update.IsEmpty())) SendNcPaint(hwnd, false);
  if (eraseOnly) {
    if (w->erase && !w->update.IsEmpty()) {
      w->erase = false;
      RectList visible = wm.VisibleClientRegion(*w, (w->style & WS_CLIPCHILDREN) != 0);
      visible.Intersect(w->update);
      PaintingOverChildren(*w, visible, true);
      HDC dc = MakeDc(*w, visible, false, SurfaceDcKind::Paint);
      ++w->eraseCount;
      wm.Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      ReleaseDC(hwnd, dc);
    }
  } else if ((!w->update.IsEmpty() || w->internalPaint) && w->redraw) {
    w->internalPaint = false;
    ++w->paintCount;
    wm.Send(hwnd, WM_PAINT, 0, 0);
  }
  if (!children || !wm.Get(hwnd)) return;
  std::vector<HWND> list = w->children;
  for (HWND c : list) UpdateNow(c, true, eraseOnly);
}

// ---- Scrolling ----------------------------------------------------------------------------------------------

int Painter::ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN updateRgn,
                            LPRECT updateRect, UINT flags) {
  WindowManager& wm = WindowManager::Instance();
  std::shared_ptr<Window> keep = wm.Share(hwnd);
  Window* w = keep.get();
  if (!w) return 0;  // ERROR
  const CRect box(0, 0, w->client.Width(), w->client.Height());
  const CRect area = scroll ? (CRect(*scroll) & box) : box;
  const CRect clipBox = clip ? (CRect(*clip) & box) : box;
  const bool scrollChildren = (flags & SW_SCROLLCHILDREN) != 0;

  // 1. Pixels: what was visible inside the scrolled area moves by (dx, dy), kept within the clip box.
  RectList source = wm.VisibleClientRegion(*w, !scrollChildren && (w->style & WS_CLIPCHILDREN));
  source.Intersect(area);
  RectList moved = source;
  moved.Offset(dx, dy);
  moved.Intersect(clipBox);
  RectList visibleNow = wm.VisibleClientRegion(*w, !scrollChildren && (w->style & WS_CLIPCHILDREN));
  moved.Intersect(visibleNow);
  if (wm.IsVisible(*w) && (dx || dy)) {
    if (SurfacePtr buffer = BackBuffer(hwnd)) {
      CPoint origin = OffsetInBuffer(wm, *w) + w->client.TopLeft();
      std::vector<CRect> rects = moved.Rects();
      if (dx == 0 || dy == 0) {
        // Along one axis, copying the destination rectangles in the direction of the motion never reads a
        // pixel that an earlier copy already overwrote (they are disjoint), so each moves in place.
        std::sort(rects.begin(), rects.end(), [&](const CRect& a, const CRect& b) {
          if (dy != 0) return dy < 0 ? a.top < b.top : a.top > b.top;
          return dx < 0 ? a.left < b.left : a.left > b.left;
        });
        for (const CRect& r : rects) {
          CRect from = r;
          from.OffsetRect(origin.x - dx, origin.y - dy);
          buffer->copyWithin(from, POINT{r.left + origin.x, r.top + origin.y});
        }
      } else {
        // Diagonal: read everything from a copy of the affected box first.
        CRect box = moved.Bounds();
        box.OffsetRect(-dx, -dy);
        box |= moved.Bounds();
        box.OffsetRect(origin.x, origin.y);
        SurfacePtr before = Surface::create(box.Width(), box.Height());
        buffer->copyTo(box, *before, POINT{0, 0});
        for (const CRect& r : rects) {
          CRect from = r;
          from.OffsetRect(origin.x - dx - box.left, origin.y - dy - box.top);
          before->copyTo(from, *buffer, POINT{r.left + origin.x, r.top + origin.y});
        }
      }
      Changed(hwnd);
    }
  }

  // 2. The uncovered strip: the scrolled area within the clip box that received no pixels.
  RectList uncovered(area & clipBox);
  uncovered.Subtract(moved);

  // 3. The pending update region inside the scrolled area travels with the pixels.
  RectList inside = w->update;
  inside.Intersect(area);
  if (!inside.IsEmpty() && (dx || dy)) {
    w->update.Subtract(area);
    inside.Offset(dx, dy);
    inside.Intersect(clipBox);
    w->update.Add(inside);
  }

  // 4. Children moved along (a cell editor over the scrolled cells).
  if (scrollChildren && (dx || dy)) {
    std::vector<HWND> list = w->children;
    for (HWND c : list) {
      Window* cw = wm.Get(c);
      if (!cw || (scroll && (CRect(cw->rect) & area).IsRectEmpty())) continue;
      bool fullyMoved = (CRect(cw->rect) & area) == cw->rect;
      wm.SetPos(c, nullptr, cw->rect.left + dx, cw->rect.top + dy, 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      if (!fullyMoved && wm.Get(c)) wm.Invalidate(c, nullptr, true, WindowManager::Children::All);
    }
  }

  if (flags & SW_INVALIDATE) wm.Invalidate(hwnd, &uncovered, (flags & SW_ERASE) != 0);
  if (updateRgn) {
    std::vector<RECT> rects = ToRects(uncovered);
    SetRgnRegion(updateRgn, Region::fromRects(rects));
  }
  if (updateRect) *updateRect = uncovered.Bounds();
  if (uncovered.IsEmpty()) return NULLREGION;
  return uncovered.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace plat
