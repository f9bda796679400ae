#include "grid/core/CGXGridCurrentCell.h"

void CGXGridCurrentCell::Notify(CGXControl* control, const CGXStyle& style) {
  if (control) m_pControl = control;
  m_style = style;
  m_bHoldsStyle = TRUE;
}

void CGXGridCurrentCell::Reset() {
  if (!m_bHoldsStyle) return;
  m_style.Free();
  m_bHoldsStyle = FALSE;
}

BOOL CGXGridCurrentCell::HasKeepValues() const {
  return m_nKeepRows[0] != GX_INVALID || m_nKeepRows[1] != GX_INVALID || m_nKeepCols[0] != GX_INVALID ||
         m_nKeepCols[1] != GX_INVALID;
}

BOOL CGXGridCurrentCell::KeepsCell(ROWCOL row, ROWCOL col) const {
  auto set = [](ROWCOL keep, ROWCOL v) { return keep != GX_INVALID && keep == v; };
  return set(m_nKeepRows[0], row) || set(m_nKeepRows[1], row) || set(m_nKeepCols[0], col) ||
         set(m_nKeepCols[1], col);
}
