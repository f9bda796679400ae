// The thin window that shows where a row or column border will go while the user resizes or drags rows
// or columns: a child of the grid window, 1 x 1 at the grid's origin when created, moved and sized along
// the border by the feature that owns it.
#pragma once

#include "grid/core/CGXBorderPen.h"
#include "platform/framework/CWnd.h"

class CGXGridCore;

class CGXDragLineWnd : public CWnd {
 public:
  explicit CGXDragLineWnd(CGXGridCore* grid);
  // Creates the child window (the grid's window class, WS_CHILD, 1 x 1 at (0, 0)); TRUE when created.
  BOOL Create(CWnd* parent);

  CGXGridCore* m_pGrid;
  // The pen of the line; width 1 and not set after construction.
  CGXBorderPen m_pen;
  // With a drawing mode the grid draws the line (FillLineRect with the client rectangle, the two arguments
  // and the mode); without one the pen draws a line from the top-left to the bottom-right pixel.
  int m_nArg1 = 0, m_nArg2 = 0;
  UINT m_nMode = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnPaint();
};
