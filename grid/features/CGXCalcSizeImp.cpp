#include "grid/features/CGXCalcSizeImp.h"

#include <algorithm>
#include <cstring>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/StringApi.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

namespace {

BOOL HasEditWindow(CGXControl* control) {
  CWnd* wnd = control->GetWindowPart();
  if (!wnd || !wnd->m_hWnd) return FALSE;
  char name[64] = {};
  ::GetClassName(wnd->m_hWnd, name, sizeof name);
  return ::_stricmp(name, "edit") == 0;
}

// The width and height of the packed DIB behind a handle (0, 0 when it cannot be read).
CSize DibSize(HGLOBAL dib) {
  gx::DibInfo info;
  const void* p = GlobalLock(dib);
  const bool ok = p && gx::InspectDib(p, GlobalSize(dib), info);
  GlobalUnlock(dib);
  if (!ok) return CSize(0, 0);
  const LONG h = info.header.biHeight;
  return CSize(info.header.biWidth, h < 0 ? -h : h);
}

// The widest line of the text split at CR, LF and CR LF.
int WidestLine(CDC* dc, const CString& text) {
  int widest = 0;
  const char* s = text.GetString();
  const int n = text.GetLength();
  for (int start = 0; start <= n;) {
    int end = start;
    while (end < n && s[end] != '\r' && s[end] != '\n') ++end;
    widest = std::max<int>(widest, dc->GetTextExtent(s + start, end - start).cx);
    if (end >= n) break;
    start = end + ((s[end] == '\r' && end + 1 < n && s[end + 1] == '\n') ? 2 : 1);
  }
  return widest;
}

}  // namespace

CSize CGXCalcSizeImp::CalcSize(CGXGridCore* g, CGXControl* control, CDC* dc, ROWCOL row, ROWCOL col,
                               const CGXStyle& style, const CGXStyle* previous, BOOL vertical) {
  if (!g || !control || !dc) return CSize(0, 0);
  // 1. The text as the cell shows it.
  CString text;
  control->GetDisplayText(text, row, col, nullptr, style);
  // 2. A cell naming a bitmap takes the bitmap's size.
  if (!text.IsEmpty() && !HasEditWindow(control))
    if (HGLOBAL dib = GetDIBPool().GetDIB(text)) return control->AddBordersToSize(DibSize(dib), style);
  // 3. The cell's font.
  CFont* oldFont = control->SelectCellFont(dc, style, previous);
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  CSize size;
  if (text.IsEmpty()) {
    // 4. An empty cell: one widest character, one line.
    size = CSize(tm.tmMaxCharWidth, tm.tmHeight + tm.tmExternalLeading + 1);
  } else {
    // 5. Lines of height L; with wrapping laid out in the cell's area (the whole span it belongs to) inside its
    //    borders and margins, which only a wrapped text needs.
    const int line = tm.tmHeight + tm.tmExternalLeading;
    const BOOL wrap = style.IsIncluded(GX_IN_WRAPTEXT) && style.GetWrapText();
    int lines = 1, widestLaidOut = 0;
    CRect inner;
    if (wrap) {
      CGXRange span(row, col);
      g->SpanRangeOfCell(row, col, span);
      const int w = g->SumColWidths(span.left, span.right), h = g->SumRowHeights(span.top, span.bottom);
      inner = control->ComputeInnerRect(CRect(0, 0, w, h), style);
      RECT r{inner.left, 0, std::max<LONG>(inner.right, inner.left + 1), 0x7FFF};
      int starts[CGXDrawingAndFormatting::kMaxLines] = {}, lengths[CGXDrawingAndFormatting::kMaxLines] = {};
      const UINT align = style.IsIncluded(GX_IN_HORZALIGN) ? style.GetHorizontalAlignment() : 0;
      lines = std::max(1, GetDrawingAndFormatting().BreakLines(dc, text, text.GetLength(), r, align | 0x810, starts,
                                                               lengths));
      for (int i = 0; i < lines; ++i)
        widestLaidOut = std::max<int>(widestLaidOut, dc->GetTextExtent(text.GetString() + starts[i], lengths[i]).cx);
    }
    const int height = wrap ? lines * line + 1 : line + 1;
    const int width = (!wrap || inner.Height() < lines * line + 1) ? WidestLine(dc, text) : widestLaidOut;
    size = CSize(width, height);
  }
  (void)vertical;  // both dimensions are measured; the caller reads the one it asked for
  // 6. The font back; borders and margins added.
  if (oldFont) dc->SelectObject(oldFont);
  return control->AddBordersToSize(size, style);
}

void CGXGridCore::InstallCalcSizeImp() {
  if (!GetCalcSizeImp()) SetFeature(new CGXCalcSizeImp);
}
