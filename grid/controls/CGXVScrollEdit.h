// The scroll-bar edit cell: an edit cell whose window always has a vertical scroll bar when it wraps; the
// text area leaves room for the bar.
#pragma once

#include "grid/controls/CGXEditControl.h"

constexpr WORD GX_IDS_CTRL_SCROLLEDIT = 52521;

class CGXVScrollEdit : public CGXEditControl {
  DECLARE_DYNAMIC(CGXVScrollEdit)

 public:
  CGXVScrollEdit(CGXGridCore* grid, UINT id);

  static const CGXControlClass gxClassCGXVScrollEdit;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXVScrollEdit; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  DWORD CalcWindowStyle(CRect& format, int& lineHeight) override;
};
