#include "grid/controls/CGXProgressCtrl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/VisualStyles.h"
#include "grid/controls/GXCellNumbers.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

const CGXControlClass CGXProgressCtrl::classCGXProgressCtrl = {"CGXProgressCtrl", &CGXControl::classCGXControl};

namespace gx {

CString FormatProgressCaption(const CString& format, long value) {
  std::string out;
  const char* p = format;
  const char* end = p + format.GetLength();
  bool converted = false;
  while (p < end) {
    if (*p != '%') {
      out += *p++;
      continue;
    }
    if (p + 1 < end && p[1] == '%') {
      out += '%';
      p += 2;
      continue;
    }
    // A conversion: flags, a width of at most two digits, one integer type.
    const char* q = p + 1;
    while (q < end && std::strchr("-+ #0", *q)) ++q;
    const char* widthStart = q;
    while (q < end && q - widthStart < 3 && *q >= '0' && *q <= '9') ++q;
    const bool valid = !converted && q - widthStart <= 2 && q < end && std::strchr("diuxXo", *q) && *q != '\0';
    if (!valid) {
      out += *p++;  // the '%' as written; what follows is ordinary text
      continue;
    }
    const std::string spec = std::string(p, q) + "l" + *q;
    char buffer[160];
    if (*q == 'd' || *q == 'i')
      std::snprintf(buffer, sizeof buffer, spec.c_str(), value);
    else
      std::snprintf(buffer, sizeof buffer, spec.c_str(), static_cast<unsigned long>(value));
    out += buffer;
    converted = true;
    p = q + 1;
  }
  return CString(out.c_str());
}

}  // namespace gx

void CGXProgressCtrl::RegisterUserAttributes(CGXStylesMap* map) {
  if (!map) return;
  map->AddUserAttribute(GX_IDS_UA_PROGRESS_LOWER);
  map->AddUserAttribute(GX_IDS_UA_PROGRESS_UPPER);
  map->AddUserAttribute(GX_IDS_UA_PROGRESS_CAPTION);
}

long CGXProgressCtrl::Bound(const CGXStyle& style, WORD id) {
  return gx::SaturatedWholeNumber(gx::NumberAttributeText(style, id));
}

long CGXProgressCtrl::Value(const CGXStyle& style) {
  return style.GetIncludeValue() ? gx::SaturatedWholeNumber(style.GetValue()) : 0;
}

int CGXProgressCtrl::BarWidth(long value, long lower, long upper, int width) {
  if (upper <= lower || width <= 0) return 0;
  // Wide enough for any two longs' difference times any width.
  const __int128 span = static_cast<__int128>(upper) - lower;
  const __int128 w = (static_cast<__int128>(value) - lower) * width / span;
  return static_cast<int>(w < 0 ? 0 : w > width ? width : w);
}

BOOL CGXProgressCtrl::PrintsBlackAndWhite() const {
  const CGXProperties* props = m_pGrid->GetProperties();
  return props && props->PrintsBlackAndWhite(m_pGrid->IsPrinting());
}

COLORREF CGXProgressCtrl::GetBarColor(BOOL bar, const CGXStyle& style) {
  if (PrintsBlackAndWhite()) return bar ? RGB(0, 0, 0) : RGB(255, 255, 255);
  return bar ? style.GetTextColor() : style.GetInterior().GetColor();
}

COLORREF CGXProgressCtrl::GetCaptionColor(BOOL overBar, const CGXStyle& style) {
  if (PrintsBlackAndWhite()) return overBar ? RGB(255, 255, 255) : RGB(0, 0, 0);
  return overBar ? style.GetInterior().GetColor() : style.GetTextColor();
}

void CGXProgressCtrl::GetCaption(CString& out, ROWCOL, ROWCOL, const CGXStyle& style) {
  const long value = Value(style);
  out = gx::FormatProgressCaption(style.GetUserAttributeText(GX_IDS_UA_PROGRESS_CAPTION), value);
}

void CGXProgressCtrl::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                               const CGXStyle*) {
  if (!dc) return;
  // 1. Bounds and scale.
  const long lower = Bound(style, GX_IDS_UA_PROGRESS_LOWER), upper = Bound(style, GX_IDS_UA_PROGRESS_UPPER);
  const int width = rect.Width();
  m_dUnitsPerPixel = width > 0 ? (static_cast<double>(upper) - static_cast<double>(lower)) / width : 1.0;
  // 2. Colours and caption.
  const COLORREF barColor = GetBarColor(TRUE, style), restColor = GetBarColor(FALSE, style);
  CString caption;
  GetCaption(caption, row, col, style);
  // 3. The bar from the left edge, the rest beside it.
  const long value = Value(style);
  const CRect bar(rect.left, rect.top, rect.left + BarWidth(value, lower, upper, width), rect.bottom);
  const CRect rest(bar.right, rect.top, rect.right, rect.bottom);
  // 4. Themed, or filled with an optional edge around the bar.
  CThemeScope theme(dc->m_hDC, u"PROGRESS");
  if (theme.Themed()) {
    SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, 1, 0, &rect, nullptr);
    if (!bar.IsRectEmpty()) SafeDrawThemeBackground(theme.Theme(), dc->m_hDC, 3, 0, &bar, nullptr);
  } else {
    if (!rest.IsRectEmpty()) FillColorRectRc(dc, rest, restColor);
    if (!bar.IsRectEmpty()) FillColorRectRc(dc, bar, barColor);
    const UINT frame = style.IsIncluded(GX_IN_DRAW3DFRAME) ? style.GetDraw3dFrame() : 0;
    if (bar.Width() > 1 && (frame == 1 || frame == 2)) DrawEdgeRect(dc, bar, frame == 1 ? 5 : 10, FALSE);
  }
  theme.Close();
  // 5. The caption, when it fits: whole in the colour for elsewhere, then over the bar in its own colour.
  if (caption.IsEmpty()) return DrawChildren(dc, rect, row, col, style);
  gx::CellFontScope font(m_pGrid, dc, style);
  const CSize extent = dc->GetTextExtent(caption);
  if (extent.cx < width) {
    const int x = rect.left + (width - extent.cx) / 2, y = rect.top + (rect.Height() - extent.cy) / 2;
    gx::TextLookScope look(dc, GetCaptionColor(FALSE, style), TRANSPARENT);
    if (x + extent.cx >= bar.right) dc->TextOut(x, y, caption);
    if (x < bar.right) {
      dc->SetTextColor(GetCaptionColor(TRUE, style));
      // (The platform has no metafile devices, the other case that draws the caption unclipped.)
      if (x + extent.cx <= bar.right) {
        dc->TextOut(x, y, caption);
      } else {
        const int saved = dc->SaveDC();
        dc->IntersectClipRect(&bar);
        dc->TextOut(x, y, caption);
        dc->RestoreDC(saved);
      }
    }
  }
  DrawChildren(dc, rect, row, col, style);
}

BOOL CGXProgressCtrl::ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags,
                                       const CGXStyle* current) {
  if (!style || mode == gxRemove || !style->GetIncludeValue())
    return CGXControl::ApplyStyleToCell(row, col, style, mode, flags, current);
  CGXStyle cell;
  m_pGrid->ComposeCellStyle(row, col, cell, TRUE);
  const auto bound = [&](WORD id) { return Bound(style->HasUserAttribute(id) ? *style : cell, id); };
  const long lower = bound(GX_IDS_UA_PROGRESS_LOWER), upper = bound(GX_IDS_UA_PROGRESS_UPPER);
  const long value = Value(*style);
  long clamped = value;
  if (upper < lower)
    clamped = lower;
  else
    clamped = std::clamp(value, lower, upper);
  if (clamped == value)
    return CGXControl::ApplyStyleToCell(row, col, style, mode, flags, current);
  CGXStyle copy(*style);
  CString text;
  text.Format("%ld", clamped);
  copy.SetValue(text);
  return CGXControl::ApplyStyleToCell(row, col, &copy, mode, flags, current);
}
