#include "grid/core/CGXDrawRotatedTextImp.h"

#include <cmath>
#include <cstring>

#include "platform/gdi/CDC.h"

namespace {
CGXDrawRotatedTextImp* g_imp = nullptr;
}  // namespace

void InstallDrawRotatedTextImp() {
  if (g_imp) return;
  g_imp = new CGXDrawRotatedTextImp;
  CGXGridGlobals::Get().AddToAutoDeleteList(g_imp);
}

CGXDrawRotatedTextImp* GetDrawRotatedTextImp() { return g_imp; }

int CGXDrawRotatedTextImp::DrawRotatedText(CDC* dc, LPCSTR text, int length, int left, int top, int right,
                                           int bottom, UINT format, LONG angle, const RECT* clip) {
  if (!text) return 0;
  if (length < 0) length = static_cast<int>(std::strlen(text));
  // 1. The text's extent.
  const CSize ext = dc->GetTextExtent(text, length);
  const double cx = ext.cx, cy = ext.cy;
  // 2. The angle in degrees, brought into [0, 360): a full turn (3600 tenths, 7200, -3600) draws like no
  // turn, and a huge angle costs no loop. Reduced in whole tenths, so no rounding creeps in.
  LONG tenths = angle % 3600;
  if (tenths < 0) tenths += 3600;
  const double degrees = static_cast<double>(tenths) * 0.1;
  const double L = left, T = top, R = right, W = right - left, H = bottom - top;
  // 3. Clip to the given rectangle or to the text rectangle.
  const int saved = dc->SaveDC();
  RECT box = clip ? *clip : RECT{left, top, right, bottom};
  dc->IntersectClipRect(&box);
  // 4. The starting point by quadrant; r is the angle less the quadrant's start.
  double x0 = 0, y0 = 0, s = 0, c = 0;
  int quadrant = 0;
  if (degrees <= 90) {
    const double r = degrees * 0.017453292519444445;
    s = std::sin(r);
    c = std::cos(r);
    x0 = L;
    y0 = T + cx * s + cy / 2;
  } else if (degrees < 180) {
    const double r = (degrees - 90) * 0.017453292519444445;
    s = std::sin(r);
    c = std::cos(r);
    x0 = L + cx * s;
    if (x0 > R) x0 = R - cy;  // a start beyond the right edge moves back inside by the text height
    y0 = T + cx * c + cy;
    quadrant = 1;
  } else if (degrees <= 270) {
    const double r = (degrees - 180) * 0.017453292519444445;
    s = std::sin(r);
    c = std::cos(r);
    x0 = L + cx * c + cy;
    y0 = T;
    quadrant = 2;
  } else {
    const double r = (degrees - 270) * 0.017453292519444445;
    s = std::sin(r);
    c = std::cos(r);
    x0 = L + cy * s;
    y0 = T;
    quadrant = 3;
  }
  double x = x0, y = y0;
  if (format & 2)
    x = x0 + W - cx * c - cy;
  else if (format & 1)
    x = x0 + (W - cx * c) / 2 - cy / 2;
  if (format & 8)
    y = y0 + H - cx * s - cy;
  else if (format & 4)
    y = quadrant == 2 ? T + (H - cx * s) / 2 : y0 + (H - cx * s) / 2 - cy / 2;
  // 5. Truncated towards zero; the caller's font carries the orientation.
  dc->TextOut(static_cast<int>(x), static_cast<int>(y), text, length);
  dc->RestoreDC(saved);
  return 1;
}
