#include "grid/controls/CGXHeader.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

const CGXControlClass CGXHeader::classCGXHeader = {"CGXHeader", &CGXStatic::classCGXStatic};

BOOL CGXHeader::IsMarked(ROWCOL row, ROWCOL col) const {
  ROWCOL cr, cc;
  if (!m_pGrid->QueryCurrentCell(&cr, &cc)) return FALSE;
  return (row != 0 && row == cr && col == 0) || (col != 0 && col == cc && row == 0);
}

void CGXHeader::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                         const CGXStyle*) {
  if (rect.Width() <= 1 || rect.Height() <= 1) return;
  DrawBackground(dc, rect, style, TRUE);
  CRect r;
  m_pGrid->SubtractBorders(&r, rect, style, FALSE);
  const BOOL marked = IsMarked(row, col);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (!style.IsIncluded(GX_IN_DRAW3DFRAME) || style.GetDraw3dFrame() == 0) {
    if (!marked) {
      // Raised: highlight at the top and left, shadow at the bottom and right.
      dc->FillSolidRect(r.left + 1, r.top + 1, r.Width() - 2, 1, light);
      dc->FillSolidRect(r.left + 1, r.top + 1, 1, r.Height() - 2, light);
      dc->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, shadow);
      dc->FillSolidRect(r.right - 1, r.top, 1, r.Height(), shadow);
    } else {
      dc->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, shadow);
      dc->FillSolidRect(r.right - 1, r.top, 1, r.Height(), shadow);
    }
  }
  CRect inner = ComputeInnerRect(rect, style);
  if (marked) inner.OffsetRect(1, 1);
  DrawText(dc, inner, row, col, style);
}

void CGXHeader::DrawCurrentCellFrame(CDC* dc, const CRect& inner) { dc->DrawFocusRect(&inner); }
