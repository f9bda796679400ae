#include "brimstead/wizards/CGXTooltipCheckBox.h"

#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "grid/core/CGXGridCore.h"
#include "platform/framework/CPaintDC.h"
#include "platform/framework/CWnd.h"

#include <algorithm>

const CGXControlClass CGXTooltipCheckBox::classCGXTooltipCheckBox = {"CGXTooltipCheckBox",
                                                                     &CGXCheckBox::classCGXCheckBox};

CGXTooltipCheckBox::~CGXTooltipCheckBox() = default;

BOOL CGXTooltipCheckBox::NeedsCellTip(ROWCOL, ROWCOL, const CGXStyle& style) {
  if (style.GetEnabled())
    return FALSE;
  return !style.GetUserAttributeText(GX_IDS_UA_TOOLTIPTEXT).IsEmpty();
}

int CGXTooltipCheckBox::GetCellTipKind(ROWCOL, ROWCOL, const CGXStyle&) { return 1; }

void CGXTooltipCheckBox::ShowCellTip(ROWCOL row, ROWCOL col, const CGXStyle& styleRef, CWnd* tipWnd) {
  const CGXStyle* style = &styleRef;
  const CString text = style->GetUserAttributeText(GX_IDS_UA_TOOLTIPTEXT);
  CRect r = m_pGrid->CalcCellRect(row, col);
  r.right -= 1;
  r.bottom -= 1;
  {
    CClientDC dc(GetGridWnd());
    CFont* old = SelectCellFont(&dc, *style);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    const int textWidth = text.IsEmpty() ? 0 : dc.GetTextExtent(text).cx;
    if (old)
      dc.SelectObject(old);
    const int maxWidth = tm.tmMaxCharWidth;
    r.right = std::max<LONG>(r.right, r.left + maxWidth / 2 + std::max(textWidth, maxWidth));
    r.bottom = std::max<LONG>(r.bottom, r.top + tm.tmHeight + tm.tmExternalLeading + 1);
  }
  brimwiz::PlaceCellTip(GetGridWnd(), r, text, tipWnd, *style);
}
