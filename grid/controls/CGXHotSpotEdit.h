// The hot-spot cell: an edit cell with a small button at the top of its right edge; a click on the button
// reaches the grid's button-clicked notification for the cell.
#pragma once

#include "grid/controls/CGXEditControl.h"

class CGXHotSpotButton;

constexpr WORD GX_IDS_CTRL_HOTSPOT = 52518;

class CGXHotSpotEdit : public CGXEditControl {
  DECLARE_DYNAMIC(CGXHotSpotEdit)

 public:
  CGXHotSpotEdit(CGXGridCore* grid, UINT id);

  static const CGXControlClass gxClassCGXHotSpotEdit;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXHotSpotEdit; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  void InitForCell(ROWCOL row, ROWCOL col) override;
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  // `inner` is the text area; the button takes the 13 pixels right of it, 13 high from the top.
  void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) override;

  CGXHotSpotButton* Button() const { return m_pButton; }

 private:
  CGXHotSpotButton* m_pButton;
};
