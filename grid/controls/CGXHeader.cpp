#include "grid/controls/CGXHeader.h"

#include <cstdlib>

#include "foundation/StyleColors.h"
#include "foundation/VisualStyles.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/CGXSysColorTable.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

const CGXControlClass CGXHeader::classCGXHeader = {"CGXHeader", &CGXStatic::classCGXStatic};

namespace {
constexpr WORD kEllipsisAttribute = 52792;
constexpr int kHighlightIndex = 20;   // button highlight in the grid's system colour table
constexpr UINT kThemedHeaderFill = 5;  // the style colour of a themed, unmarked header
}  // namespace

BOOL CGXHeader::HeaderFlag() const { return m_pGrid->GetParam() && m_pGrid->GetParam()->m_bHeaderMarking; }

BOOL CGXHeader::IsCurrent(ROWCOL row, ROWCOL col) const {
  ROWCOL cr, cc;
  if (!m_pGrid->QueryCurrentCell(&cr, &cc)) return FALSE;
  return (row != 0 && row == cr) || (col != 0 && col == cc);
}

BOOL CGXHeader::MarkEditHeader(ROWCOL row, ROWCOL col, DWORD_PTR flag) {
  if (CGXStatic::MarkEditHeader(row, col, flag)) return TRUE;
  if (!HeaderFlag()) return FALSE;
  // A row header asks about its row, a column header about its column: a selected row marks its own row
  // header and every column header. (Asking a row header about column 0 as well would mark every row
  // header as soon as any whole row is selected, since a row range meets every column.)
  const CGXRangeList& selection = m_pGrid->GetParam()->GetSelection();
  const BOOL rowHeader = col <= m_pGrid->GetHeaderCols(), colHeader = row <= m_pGrid->GetHeaderRows();
  return (rowHeader && selection.IntersectsRow(row)) || (colHeader && selection.IntersectsCol(col));
}

BOOL CGXHeader::IsMarked(ROWCOL row, ROWCOL col) {
  const BOOL marked = MarkEditHeader(row, col, 0);
  return HeaderFlag() ? !marked : marked;
}

void CGXHeader::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                         const CGXStyle*) {
  // 1. Nothing fits into a rectangle of one pixel or less.
  if (rect.Width() <= 1 || rect.Height() <= 1) return;
  // 2. Marked and current.
  const BOOL flag = HeaderFlag();
  const BOOL themed = SafeIsAppThemed();
  const BOOL marked = IsMarked(row, col);
  const BOOL current = IsCurrent(row, col);
  // 3. With the header flag (and no visual styles) the current header's text is bold.
  CGXStyle copy(style);
  if (flag && !themed) {
    CGXFont font;
    font.SetBold(current && !marked);
    copy.SetFont(font, gxOverride);
  }
  // 4. Font, text colour, background; the borders off the rectangle.
  const CGXProperties* props = m_pGrid->GetProperties();
  const BOOL printing = m_pGrid->IsPrinting();
  const BOOL blackWhite = props && props->PrintsBlackAndWhite(printing);
  CFont* oldFont = m_pGrid->SelectStyleFont(dc, copy, nullptr);
  const COLORREF oldText = dc->SetTextColor(blackWhite ? RGB(0, 0, 0) : copy.GetTextColor());
  DrawCellBackground(dc, rect, copy, TRUE);
  CRect r;
  m_pGrid->SubtractBorders(&r, rect, copy, FALSE);
  // 5. The 3-D look.
  const BOOL noFrameSetting = !copy.IsIncluded(GX_IN_DRAW3DFRAME) || copy.GetDraw3dFrame() == 0;
  if (noFrameSetting && props && props->m_b3dHeaders && !r.IsRectEmpty()) {
    const COLORREF frame = flag ? RGB(128, 128, 128) : RGB(0, 0, 0);
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    auto hline = [&](int y, int x0, int x1, COLORREF c) { if (x1 > x0) dc->FillSolidRect(x0, y, x1 - x0, 1, c); };
    auto vline = [&](int x, int y0, int y1, COLORREF c) { if (y1 > y0) dc->FillSolidRect(x, y0, 1, y1 - y0, c); };
    if (!printing) {
      if (themed && flag) {
        if (!marked) dc->FillSolidRect(&r, GetStyleColor(kThemedHeaderFill));
        hline(r.bottom - 1, r.left, r.right - 1, frame);
        vline(r.right - 1, r.top, r.bottom, frame);
      } else if (!marked) {
        GetDrawingAndFormatting().Draw3dFrame(dc, r.left, r.top, r.right - 1, r.bottom - 1, 1,
                                              CGXSysColorTable::GetColor(kHighlightIndex), frame);
        if (flag) {
          vline(r.left, r.top, r.bottom, white);
          hline(r.bottom - 1, r.left, r.right - 1, black);
          vline(r.right - 1, r.top, r.bottom, black);
          hline(r.bottom - 2, r.left, r.right - 1, frame);
          vline(r.right - 2, r.top + 1, r.bottom - 1, frame);
        }
      } else {
        hline(r.bottom - 1, r.left, r.right - 1, frame);
        vline(r.right - 1, r.top, r.bottom, frame);
        if (flag) vline(r.left, r.top, r.bottom - 1, white);
      }
    } else if (row <= m_pGrid->GetHeaderRows() || col <= m_pGrid->GetHeaderCols()) {
      // Printed headers keep their lines where an empty border pen would leave a gap.
      if (copy.HasBorder(GX_BORDER_BOTTOM) && copy.GetBorder(GX_BORDER_BOTTOM).GetStyle() == PS_NULL &&
          props->DrawsHorizontalLines(TRUE))
        hline(r.bottom - 1, r.left, r.right, black);
      if (copy.HasBorder(GX_BORDER_RIGHT) && copy.GetBorder(GX_BORDER_RIGHT).GetStyle() == PS_NULL &&
          props->DrawsVerticalLines(TRUE))
        vline(r.right - 1, r.top, r.bottom, black);
    }
  }
  // 6. A marked header's text is pressed in by one pixel.
  CRect inner = ComputeInnerRect(rect, copy);
  if (marked && !(themed && flag)) {
    inner.left += 1;
    inner.top += 1;
  }
  // 7. The text.
  DrawHeaderText(dc, inner, row, col, copy);
  // 8. Children; the font restored.
  DrawChildren(dc, rect, row, col, copy);
  dc->SetTextColor(oldText);
  if (oldFont) dc->SelectObject(oldFont);
}

void CGXHeader::DrawHeaderText(CDC* dc, const CRect& inner, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  CString text;
  GetDisplayText(text, row, col, nullptr, style);
  if (text.IsEmpty() || inner.IsRectEmpty()) return;
  const UINT align = style.GetHorizontalAlignment() | style.GetVerticalAlignment();
  if (HGLOBAL dib = GetDIBPool().GetDIB(text)) {
    CGXDIB::Draw(dc, dib, &inner, CGXDIB::natural, static_cast<BYTE>(align));
    return;
  }
  const UINT format = align | DT_NOPREFIX | (style.GetWrapText() ? DT_WORDBREAK : DT_SINGLELINE);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  CGXDrawingAndFormatting& df = GetDrawingAndFormatting();
  const RECT r = inner;
  const CGXFont* font = style.GetFontPtr();
  if (font && font->GetIncludeOrientation() && font->GetOrientation() % 3600 != 0) {
    df.DrawRotatedText(dc, text, text.GetLength(), r.left, r.top, r.right, r.bottom, format, font->GetOrientation(),
                       &r);
  } else if (!style.HasUserAttribute(kEllipsisAttribute)) {
    df.DrawWrappedText(dc, text, text.GetLength(), r, format, &r);
  } else {
    const long type = std::atol(style.GetUserAttributeText(kEllipsisAttribute));
    df.DrawTextEllipsis(dc, text, text.GetLength(), r, format, &r, static_cast<UINT>(type < 0 ? 0 : type));
  }
  dc->SetBkMode(oldMode);
}

void CGXHeader::DrawCurrentCellFrame(CDC* dc, const CRect& inner) { dc->DrawFocusRect(&inner); }

void CGXHeader::RefreshSysColors() {
  CGXStatic::RefreshSysColors();
  UpdateStyleColors();
}
