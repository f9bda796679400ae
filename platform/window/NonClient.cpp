#include "platform/window/NonClient.h"

#include <algorithm>

#include "platform/gdi/SysColors.h"
#include "platform/window/WindowManager.h"

namespace plat {

int NonClient::Border() { return GetSystemMetrics(SM_CXBORDER); }
int NonClient::DlgFrame() { return GetSystemMetrics(SM_CXDLGFRAME); }
int NonClient::SizeFrame() { return GetSystemMetrics(SM_CXFRAME); }
int NonClient::Caption() { return GetSystemMetrics(SM_CYCAPTION); }
int NonClient::SmallCaption() { return GetSystemMetrics(SM_CYSMCAPTION); }
int NonClient::ClientEdge() { return GetSystemMetrics(SM_CXEDGE); }
int NonClient::StaticEdge() { return GetSystemMetrics(SM_CXBORDER); }
int NonClient::ScrollWidth() { return GetSystemMetrics(SM_CXVSCROLL); }
int NonClient::ScrollHeight() { return GetSystemMetrics(SM_CYHSCROLL); }

FrameInsets NonClient::Insets(DWORD style, DWORD exStyle) {
  int b = 0;
  if (style & WS_THICKFRAME)
    b = SizeFrame();
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    b = DlgFrame();
  else if (style & WS_BORDER)
    b = Border();
  if (exStyle & WS_EX_CLIENTEDGE) b += ClientEdge();
  if (exStyle & WS_EX_STATICEDGE) b += StaticEdge();
  FrameInsets f{b, b, b, b};
  if ((style & WS_CAPTION) == WS_CAPTION) f.top += (exStyle & WS_EX_TOOLWINDOW) ? SmallCaption() : Caption();
  return f;
}

CRect NonClient::CaptionRect(const Window& w) {
  if ((w.style & WS_CAPTION) != WS_CAPTION) return CRect();
  // The caption sits inside the outer frame, above any client edge; its last row is the line under it.
  int outer = (w.style & WS_THICKFRAME) ? SizeFrame() : DlgFrame();
  int h = (w.exStyle & WS_EX_TOOLWINDOW) ? SmallCaption() : Caption();
  return CRect(outer, outer, w.rect.Width() - outer, outer + h - 1);
}

CRect NonClient::CaptionBoxRect(const Window& w, int hit) {
  CRect cap = CaptionRect(w);
  if (cap.IsRectEmpty() || !(w.style & WS_SYSMENU)) return CRect();
  int h = cap.Height() - 4;  // two pixels inside the caption bar, two wider than high
  if (h <= 0) return CRect();
  int right = cap.right - 2;
  if (hit != HTCLOSE) {
    if (!(w.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) return CRect();
    right -= h + 2 + 2;                       // the close box and the gap after the pair
    if (hit == HTMINBUTTON) right -= h + 2;   // the minimise box touches the maximise box
    else if (hit != HTMAXBUTTON) return CRect();
  }
  CRect box(right - h - 2, cap.top + 2, right, cap.top + 2 + h);
  return box.left >= cap.left + 2 ? box : CRect();
}

CRect NonClient::ScrollBarRect(const Window& w, int bar) {
  FrameInsets f = Insets(w.style, w.exStyle);
  int W = w.rect.Width(), H = w.rect.Height();
  bool v = (w.style & WS_VSCROLL) != 0, h = (w.style & WS_HSCROLL) != 0;
  CRect r;
  if (bar == SB_VERT && v)
    r = CRect(W - f.right - ScrollWidth(), f.top, W - f.right, H - f.bottom - (h ? ScrollHeight() : 0));
  else if (bar == SB_HORZ && h)
    r = CRect(f.left, H - f.bottom - ScrollHeight(), W - f.right - (v ? ScrollWidth() : 0), H - f.bottom);
  r.left = std::max(r.left, static_cast<LONG>(f.left));
  r.top = std::max(r.top, static_cast<LONG>(f.top));
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

bool NonClient::CanScroll(const ScrollBarState& s) {
  int maxPos = s.max - std::max(static_cast<int>(s.page) - 1, 0);
  return maxPos > s.min;
}

int NonClient::ThumbLength(const ScrollBarState& s, int track) {
  if (s.page == 0) return std::min(ScrollWidth(), track);
  long long range = static_cast<long long>(s.max) - s.min + 1;
  if (range <= 0) return track;
  long long len = static_cast<long long>(track) * s.page / range;
  return static_cast<int>(std::clamp<long long>(len, kMinThumb, track));
}

int NonClient::ThumbOffset(const ScrollBarState& s, int track, int thumbLen) {
  int maxPos = s.max - std::max(static_cast<int>(s.page) - 1, 0);
  if (maxPos <= s.min || track <= thumbLen) return 0;
  long long num = static_cast<long long>(track - thumbLen) * (std::clamp(s.pos, s.min, maxPos) - s.min);
  return static_cast<int>(num / (maxPos - s.min));
}

int NonClient::PosFromThumb(const ScrollBarState& s, int track, int thumbLen, int offset) {
  int maxPos = s.max - std::max(static_cast<int>(s.page) - 1, 0);
  if (maxPos <= s.min || track <= thumbLen) return s.min;
  offset = std::clamp(offset, 0, track - thumbLen);
  long long span = track - thumbLen;
  long long pos = s.min + (static_cast<long long>(offset) * (maxPos - s.min) + span / 2) / span;
  return static_cast<int>(pos);
}

NonClient::BarParts NonClient::ScrollBarParts(const Window& w, int bar) {
  BarParts p;
  p.whole = ScrollBarRect(w, bar);
  if (p.whole.IsRectEmpty()) return p;
  const ScrollBarState& s = bar == SB_VERT ? w.vscroll : w.hscroll;
  bool vert = bar == SB_VERT;
  int length = vert ? p.whole.Height() : p.whole.Width();
  int arrow = std::min(vert ? ScrollHeight() : ScrollWidth(), length / 2);
  int track = length - 2 * arrow;
  auto span = [&](int from, int to) {
    return vert ? CRect(p.whole.left, p.whole.top + from, p.whole.right, p.whole.top + to)
                : CRect(p.whole.left + from, p.whole.top, p.whole.left + to, p.whole.bottom);
  };
  p.arrow1 = span(0, arrow);
  p.arrow2 = span(length - arrow, length);
  int thumbLen = ThumbLength(s, track);
  bool enabled = !(w.style & WS_DISABLED) && CanScroll(s) && s.disabledArrows != ESB_DISABLE_BOTH;
  if (enabled && track >= thumbLen && thumbLen > 0) {
    int off = ThumbOffset(s, track, thumbLen);
    p.hasThumb = true;
    p.page1 = span(arrow, arrow + off);
    p.thumb = span(arrow + off, arrow + off + thumbLen);
    p.page2 = span(arrow + off + thumbLen, length - arrow);
  } else {
    p.page1 = span(arrow, length - arrow);
  }
  return p;
}

int NonClient::HitTest(const Window& w, const CRect& screenRect, POINT pt) {
  if (!screenRect.PtInRect(pt)) return HTNOWHERE;
  CPoint local(pt.x - screenRect.left, pt.y - screenRect.top);
  if (w.client.PtInRect(local)) return HTCLIENT;
  if (ScrollBarRect(w, SB_VERT).PtInRect(local)) return HTVSCROLL;
  if (ScrollBarRect(w, SB_HORZ).PtInRect(local)) return HTHSCROLL;
  for (int box : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON})
    if (CaptionBoxRect(w, box).PtInRect(local)) return box;
  CRect caption = CaptionRect(w);
  caption.bottom += 1;
  if (caption.PtInRect(local)) return HTCAPTION;
  if ((w.style & WS_THICKFRAME) && !(w.style & WS_MINIMIZE)) {  // a minimised window is not sized
    int W = screenRect.Width(), H = screenRect.Height();
    bool left = local.x < SizeFrame(), right = local.x >= W - SizeFrame();
    bool top = local.y < SizeFrame(), bottom = local.y >= H - SizeFrame();
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  FrameInsets f = Insets(w.style, w.exStyle);
  if (local.x < f.left || local.y < f.top || local.x >= screenRect.Width() - f.right ||
      local.y >= screenRect.Height() - f.bottom)
    return HTBORDER;
  return HTNOWHERE;
}

}  // namespace plat
