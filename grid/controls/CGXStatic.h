// The static text cell: shows a cell's text without editing. Its text margins are shared by the header.
#pragma once

#include "grid/controls/CGXControl.h"

class CGXStatic : public CGXControl {
 public:
  explicit CGXStatic(CGXGridCore* grid) : CGXControl(grid) {}
  static const CGXControlClass classCGXStatic;
  const CGXControlClass* GetControlClass() const override { return &classCGXStatic; }
  // The base inner rectangle, m pixels in from the left and m / 2 from the right (m + 1 when the text is
  // right-aligned), m = max(2, SM_CXFRAME / 2).
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  // Measured by the grid's cell-size feature (the text in the style's font and wrapping); (0, 0) without it.
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  // Through the grid's floating-cells feature; FALSE without it.
  BOOL CanFloatText(ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL flag) override;
  // Background, text (a bitmap when the text names one, rotated, ellipsis) and children, through the grid's
  // static-cell drawing.
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
};

// The controls library's registration call: the cell controls' texts, then the static and header cells'
// creators (ids 52513 and 52520) in the control factory. A program makes it before InitGridLibrary; it is
// safe to repeat.
void GXRegisterStaticControls();
