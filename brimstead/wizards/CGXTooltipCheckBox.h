// CGXTooltipCheckBox: a three-dimensional check box cell whose disabled cells show a tip, the style's user
// attribute 51022 ("Tooltip-Text"). The pin pages use it for a pin that cannot be a port, with the reason.
#pragma once

#include "grid/controls/CGXCheckBox.h"

constexpr WORD GX_IDS_UA_TOOLTIPTEXT = 51022;

class CGXTooltipCheckBox : public CGXCheckBox {
public:
  explicit CGXTooltipCheckBox(CGXGridCore* grid) : CGXCheckBox(grid, TRUE) {}
  ~CGXTooltipCheckBox() override;
  static const CGXControlClass classCGXTooltipCheckBox;
  const CGXControlClass* GetControlClass() const override { return &classCGXTooltipCheckBox; }

  // Never for an enabled cell; for a disabled one exactly when the tip text is not empty.
  BOOL NeedsCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  int GetCellTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  // (row, col, const CGXStyle*, CWnd* tip window)
  void ShowCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd) override;
};
