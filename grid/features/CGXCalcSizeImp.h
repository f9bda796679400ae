// The size a text or bitmap cell needs for its content (borders and margins included): the width with the
// cell's present height, or the height with its present width. The static-text cells (and the controls
// built on them) measure through it when rows and columns are sized to their content.
#pragma once

#include "grid/core/CGXGridFeatures.h"

class CGXCalcSizeImp : public CGXAbstractCalcSizeImp {
 public:
  CSize CalcSize(CGXGridCore* g, CGXControl* control, CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                 const CGXStyle* previous, BOOL vertical) override;
};
