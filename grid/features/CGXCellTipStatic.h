// The tip object the control factory gives a cell control: whether a cell's text or bitmap is cut off,
// which kind of tip it takes, and the filling and placing of the tip window; and the measuring operations
// it works with (all rectangles in screen coordinates).
#pragma once

#include "grid/controls/CGXChild.h"
#include "grid/core/gxtypes.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"

class CGXControl;
class CGXGridCore;
class CGXStyle;

class CGXCellTipStatic : public CGXCellTipBase {
 public:
  explicit CGXCellTipStatic(CGXControl* control) : m_pControl(control) {}

  // A bitmap cell: when the bitmap overflows the cell. A wrapped text: never. Other text: when it overflows.
  BOOL NeedsTip(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  // 2 for a bitmap cell, else 1 (1 without a control).
  int GetTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  // Fills and places the text tip (CGXTextCellTipWnd) or the bitmap tip (CGXStaticBitmapCellTipWnd).
  void ShowTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd) override;

  CGXControl* GetControl() const { return m_pControl; }

 private:
  void ShowTextTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd);
  void ShowBitmapTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd);

  CGXControl* m_pControl;
};

namespace gxtip {

// Overflow and placement bits of the measuring tests.
constexpr UINT kTooWide = 1, kTooHigh = 2, kBeyondGridX = 4, kBeyondGridY = 8, kBeyondScreenX = 0x10,
               kBeyondScreenY = 0x20;

// The control's text of the cell.
CString CellText(CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& style);
// Whether the cell shows a bitmap: its text begins with "#BMP" and the control's window is no edit window.
BOOL IsBitmapCell(CGXControl* control, const CString& text);
// The cell rectangle widened by spans, on the screen, less the borders the style has.
CRect InnerCellRect(CGXGridCore* grid, ROWCOL row, ROWCOL col, const CGXStyle& style);
// The control's text rectangle of the cell, on the screen.
CRect TextRect(CGXControl* control, ROWCOL row, ROWCOL col, const CGXStyle& style);
// The grid window's client rectangle on the screen.
CRect GridScreenRect(CGXGridCore* grid);
// 4 (8) when the rectangle reaches left or right of (above or below) the grid's client area; 0x10 (0x20)
// when it lies beyond the screen horizontally (vertically).
UINT PlacementFlags(CGXGridCore* grid, const CRect& rect);
// Where a bitmap of the size starts in the inner rectangle by the style's alignments.
CPoint BitmapOrigin(const CRect& inner, CSize bitmap, const CGXStyle& style);
// The size of the bitmap a cell text names ((0, 0) when the pool holds none).
CSize BitmapSize(const CString& text);
// 0 without the bitmap; else 1 wider, 2 taller than the inner rectangle, with the placement flags.
UINT BitmapTipFlags(CGXGridCore* grid, const CString& text, const CRect& inner, const CGXStyle& style);
// The text's extent in the style's font at the grid's zoom; (0, 0) when the style has no font.
CSize TextExtent(CGXGridCore* grid, const CString& text, const CGXStyle& style);
// Where the text starts in the text rectangle by the style's alignments (a centred or right-aligned text
// too wide for the rectangle is first shortened, with "..." when the style asks for dotted ellipses).
CPoint TextOrigin(CGXGridCore* grid, const CRect& textRect, const CString& text, const CGXStyle& style);
// 0 for rotated text; else 1 too wide, 2 too high for the visible text rectangle, with the placement flags.
UINT TextTipFlags(CGXGridCore* grid, const CString& text, const CRect& textRect, const CGXStyle& style);

}  // namespace gxtip
