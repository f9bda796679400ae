#include "grid/controls/CGXHotSpotEdit.h"

#include "grid/controls/CGXButton.h"

IMPLEMENT_DYNAMIC(CGXHotSpotEdit, CGXEditControl)

const CGXControlClass CGXHotSpotEdit::gxClassCGXHotSpotEdit = {"CGXHotSpotEdit",
                                                               &CGXEditControl::gxClassCGXEditControl};

namespace {
constexpr int kButtonWidth = 13;
}

CGXHotSpotEdit::CGXHotSpotEdit(CGXGridCore* grid, UINT id)
    : CGXEditControl(grid, id), m_pButton(new CGXHotSpotButton(this)) {
  AppendChild(m_pButton);
}

CRuntimeClass* CGXHotSpotEdit::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXHotSpotEdit); }

void CGXHotSpotEdit::InitForCell(ROWCOL row, ROWCOL col) {
  CGXEditControl::InitForCell(row, col);
  m_pButton->Invalidate();
}

CRect CGXHotSpotEdit::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect r = CGXEditControl::ComputeInnerRect(cell, style);
  r.right -= kButtonWidth;
  return r;
}

CSize CGXHotSpotEdit::AddBordersToSize(CSize size, const CGXStyle& style) const {
  size.cx += kButtonWidth;
  return CGXEditControl::AddBordersToSize(size, style);
}

void CGXHotSpotEdit::LayOutChildren(ROWCOL, ROWCOL, const CRect& inner) {
  CRect area = inner;
  area.right += kButtonWidth + 1;
  CRect button(area.right - 14, area.top, area.right - 1, area.top + 13);
  button.IntersectRect(button, area);
  if (button.Height() < area.Height() - 1) button.OffsetRect(0, 1);
  m_pButton->SetRect(button);
}
