#include "grid/features/CGXDragLineWnd.h"

#include "grid/core/CGXGridCore.h"
#include "platform/framework/CPaintDC.h"
#include "platform/gdi/CPen.h"

CGXDragLineWnd::CGXDragLineWnd(CGXGridCore* grid) : m_pGrid(grid) { m_pen.SetWidth(1); }

BOOL CGXDragLineWnd::Create(CWnd* parent) {
  return CreateEx(0, "GXWND", "", WS_CHILD, 0, 0, 1, 1, parent ? parent->GetSafeHwnd() : nullptr, nullptr);
}

LRESULT CGXDragLineWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    OnPaint();
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void CGXDragLineWnd::OnPaint() {
  CPaintDC dc(this);
  CRect r;
  GetClientRect(&r);
  if (m_nMode != 0 && m_pGrid) {
    m_pGrid->FillLineRect(&dc, r.left, r.top, r.Width(), r.Height(), m_nArg1, m_nArg2, m_nMode);
    return;
  }
  CPen pen;
  const UINT style = m_pen.IsSet() ? m_pen.GetStyle() : PS_SOLID;
  pen.CreatePen(static_cast<int>(style), static_cast<int>(m_pen.GetWidth()), m_pen.GetColor());
  CPen* old = dc.SelectObject(&pen);
  dc.MoveTo(r.left, r.top);
  dc.LineTo(r.right - 1, r.bottom - 1);
  dc.SelectObject(old);
}
