#include "grid/controls/CGXStatic.h"

#include <algorithm>

#include "grid/controls/CGXHeader.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXDrawRotatedTextImp.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/window/windowapi.h"

const CGXControlClass CGXStatic::classCGXStatic = {"CGXStatic", &CGXControl::classCGXControl};

int CGXStatic::TextMargin() { return std::max(2, GetSystemMetrics(SM_CXFRAME) / 2); }

CRect CGXStatic::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect r = CGXControl::ComputeInnerRect(cell, style);
  const int m = TextMargin();
  r.left += m;
  r.right -= style.GetHorizontalAlignment() == GX_DT_RIGHT ? m + 1 : m / 2;
  return r;
}

CSize CGXStatic::AddBordersToSize(CSize size, const CGXStyle& style) const {
  size.cx += 2 * TextMargin() + 1;
  return CGXControl::AddBordersToSize(size, style);
}

void CGXStatic::DrawText(CDC* dc, const CRect& inner, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  CString text;
  if (!GetDisplayText(text, row, col, nullptr, style) || text.IsEmpty() || inner.IsRectEmpty()) return;
  CFont* font = m_pGrid->LookupFont(style);
  CFont* old = font ? dc->SelectObject(font) : nullptr;
  COLORREF oldColor = dc->SetTextColor(style.GetTextColor());
  int oldMode = dc->SetBkMode(TRANSPARENT);
  UINT format = style.GetHorizontalAlignment() | style.GetVerticalAlignment() | DT_NOPREFIX |
                (style.GetWrapText() ? DT_WORDBREAK : DT_SINGLELINE);
  RECT r = inner;
  int saved = dc->SaveDC();
  dc->IntersectClipRect(&inner);
  const CGXFont* cellFont = style.GetFontPtr();
  CGXDrawRotatedTextImp* rotated = GetDrawRotatedTextImp();
  if (cellFont && cellFont->GetIncludeOrientation() && cellFont->GetOrientation() % 3600 != 0 && rotated)
    rotated->DrawRotatedText(dc, text, text.GetLength(), inner.left, inner.top, inner.right, inner.bottom,
                             format & 0x0F, cellFont->GetOrientation(), &inner);
  else
    GetDrawingAndFormatting().DrawWrappedText(dc, text, text.GetLength(), r, format, &inner);
  dc->RestoreDC(saved);
  dc->SetBkMode(oldMode);
  dc->SetTextColor(oldColor);
  if (old) dc->SelectObject(old);
}

void CGXStatic::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                         const CGXStyle*) {
  DrawBackground(dc, rect, style);
  DrawText(dc, ComputeInnerRect(rect, style), row, col, style);
}

void GXRegisterStaticControls() {
  CGXControlFactory::RegisterControlCreator(GX_IDS_CTRL_STATIC, [](CGXGridCore* g) { return new CGXStatic(g); });
  CGXControlFactory::RegisterControlCreator(GX_IDS_CTRL_HEADER, [](CGXGridCore* g) { return new CGXHeader(g); });
}
