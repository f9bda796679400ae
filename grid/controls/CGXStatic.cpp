#include "grid/controls/CGXStatic.h"

#include <algorithm>

#include "grid/controls/CGXHeader.h"
#include "grid/controls/gxcontrolstrings.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "platform/gdi/CDC.h"
#include "platform/window/windowapi.h"

const CGXControlClass CGXStatic::classCGXStatic = {"CGXStatic", &CGXControl::classCGXControl};

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

CSize CGXStatic::ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                                 BOOL vertical) {
  CGXAbstractCalcSizeImp* imp = m_pGrid->GetCalcSizeImp();
  return imp ? imp->CalcSize(m_pGrid, this, dc, row, col, style, previous, vertical) : CSize(0, 0);
}

BOOL CGXStatic::CanFloatText(ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL flag) {
  return m_pGrid->CanFloatCellText(row, col, style, flag);
}

void CGXStatic::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                         const CGXStyle*) {
  GetDrawingAndFormatting().DrawCellText(this, dc, rect, row, col, style);
  DrawChildren(dc, rect, row, col, style);
}

void GXRegisterStaticControls() {
  GXRegisterControlStrings();
  if (!CGXControlFactory::FirstRegistration(reinterpret_cast<const void*>(&GXRegisterStaticControls))) return;
  CGXControlFactory::RegisterControlCreator(GX_IDS_CTRL_STATIC, [](CGXGridCore* g) { return new CGXStatic(g); });
  CGXControlFactory::RegisterControlCreator(GX_IDS_CTRL_HEADER, [](CGXGridCore* g) { return new CGXHeader(g); });
}
