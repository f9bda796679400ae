#include "grid/controls/CGXVScrollEdit.h"

#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXVScrollEdit, CGXEditControl)

const CGXControlClass CGXVScrollEdit::gxClassCGXVScrollEdit = {"CGXVScrollEdit",
                                                               &CGXEditControl::gxClassCGXEditControl};

CGXVScrollEdit::CGXVScrollEdit(CGXGridCore* grid, UINT id) : CGXEditControl(grid, id) { m_bVertScroll = TRUE; }

CRuntimeClass* CGXVScrollEdit::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXVScrollEdit); }

CRect CGXVScrollEdit::ComputeInnerRect(const CRect& cell, const CGXStyle& style) const {
  CRect r = CGXEditControl::ComputeInnerRect(cell, style);
  if (m_bVertScroll) r.right -= GetSystemMetrics(SM_CXVSCROLL);
  return r;
}

DWORD CGXVScrollEdit::CalcWindowStyle(CRect& format, int& lineHeight) {
  m_bVertScroll = TRUE;
  return CGXEditControl::CalcWindowStyle(format, lineHeight);
}
