#include "grid/controls/CGXPushbutton.h"

#include "grid/controls/CGXBitmapButtonChild.h"
#include "grid/controls/CGXButton.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXGridCore.h"
#include "platform/gdi/CDC.h"

const CGXControlClass CGXPushbutton::classCGXPushbutton = {"CGXPushbutton", &CGXControl::classCGXControl};
const CGXControlClass CGXBitmapButton::classCGXBitmapButton = {"CGXBitmapButton", &CGXControl::classCGXControl};

CGXPushbutton::CGXPushbutton(CGXGridCore* grid) : CGXControl(grid), m_pButton(new CGXButton(this)) {
  AppendChild(m_pButton);
}

void CGXPushbutton::InitForCell(ROWCOL row, ROWCOL col) {
  CGXControl::InitForCell(row, col);
  m_pButton->Invalidate();
}

void CGXPushbutton::LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) {
  SetActiveChild(m_pButton);
  m_pButton->SetRect(inner);
  CGXStyle style;
  m_pGrid->ComposeCellStyle(row, col, style, TRUE);
  m_pButton->SetText(style.GetChoiceList());
}

void CGXPushbutton::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                             const CGXStyle*) {
  if (!dc || rect.Width() <= 1 || rect.Height() <= 1) return;
  gx::CellFontScope font(m_pGrid, dc, style);
  Draw3dFrame(dc, rect, style);
  const COLORREF oldText = dc->SetTextColor(style.GetTextColor());
  DrawChildren(dc, rect, row, col, style);
  dc->SetTextColor(oldText);
}

CSize CGXPushbutton::ComputeCellSize(CDC* dc, ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle*, BOOL) {
  if (!dc) dc = m_pGrid->GetCachedDC();
  if (!dc) return CSize(0, 0);
  gx::CellFontScope font(m_pGrid, dc, style);
  CSize size = style.GetChoiceList().IsEmpty() ? CSize(0, 0) : dc->GetTextExtent(style.GetChoiceList());
  if (style.GetChoiceList().IsEmpty()) size.cy = gx::LineHeight(dc);
  return AddBordersToSize(CSize(size.cx + 8, size.cy + 4), style);
}

CGXBitmapButton::CGXBitmapButton(CGXGridCore* grid, UINT normal, UINT pressed, UINT focus)
    : CGXControl(grid), m_pButton(new CGXBitmapButtonChild(this)), m_bFrame(focus == 0) {
  AppendChild(m_pButton);
  m_bLoaded = m_pButton->LoadBitmaps(normal, pressed, focus);
}

void CGXBitmapButton::LayOutChildren(ROWCOL, ROWCOL, const CRect& inner) {
  SetActiveChild(m_pButton);
  m_pButton->SetRect(inner);
}

void CGXBitmapButton::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                               const CGXStyle*) {
  if (!dc) return;
  DrawCellBackground(dc, rect, style, FALSE);
  DrawChildren(dc, rect, row, col, style);
}

void CGXBitmapButton::DrawCurrentCellFrame(CDC* dc, const CRect& rect) {
  if (m_bFrame) CGXControl::DrawCurrentCellFrame(dc, rect);
}

CSize CGXBitmapButton::ComputeCellSize(CDC*, ROWCOL, ROWCOL, const CGXStyle& style, const CGXStyle*, BOOL) {
  return AddBordersToSize(m_pButton->GetBitmapSize(), style);
}
