#include "grid/controls/CGXPasswordControl.h"

#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXGridCore.h"
#include "platform/window/windowapi.h"

IMPLEMENT_DYNAMIC(CGXPasswordControl, CGXEditControl)

const CGXControlClass CGXPasswordControl::gxClassCGXPasswordControl = {"CGXPasswordControl",
                                                                       &CGXEditControl::gxClassCGXEditControl};

CGXPasswordControl::CGXPasswordControl(CGXGridCore* grid, UINT id) : CGXEditControl(grid, id) {
  // A newly entered password cell is refreshed through the control, never painted by the grid at once.
  m_wFirstData = TRUE;
}

CRuntimeClass* CGXPasswordControl::GetWindowRuntimeClass() { return RUNTIME_CLASS(CGXPasswordControl); }

BOOL CGXPasswordControl::GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                                        const CGXStyle& style) const {
  const BOOL r = CGXEditControl::GetDisplayText(out, row, col, value, style);
  if (m_bPasswordMode) out = CString(m_cPasswordChar, out.GetLength());
  return r;
}

void CGXPasswordControl::SetEditedValue(const CString& value) {
  {
    CGXFlagScope unmasked(m_bPasswordMode, FALSE);
    CGXEditControl::SetEditedValue(value);
  }
  if (m_hWnd) SetPasswordChar(m_cPasswordChar);
}

DWORD CGXPasswordControl::CalcWindowStyle(CRect& format, int& lineHeight) {
  return (CGXEditControl::CalcWindowStyle(format, lineHeight) & ~static_cast<DWORD>(ES_MULTILINE)) | ES_PASSWORD;
}

BOOL CGXPasswordControl::FilterChar(UINT ch, UINT repeat, UINT flags) {
  if (ch == 3 && (GetKeyState(VK_CONTROL) & 0x8000) && m_bEditing && OpenClipboard(m_hWnd)) {
    EmptyClipboard();
    CloseClipboard();
  }
  return CGXEditControl::FilterChar(ch, repeat, flags);
}

void CGXPasswordControl::OnLButtonDown(UINT flags, CPoint pt) {
  DefWindowProc(WM_LBUTTONDOWN, flags, MAKELPARAM(pt.x, pt.y));
}
