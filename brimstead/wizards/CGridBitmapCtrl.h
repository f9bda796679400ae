// The module's own text cells with a plus/minus bitmap button at their right edge, and the plain bitmap buttons.
//
//   CGridBitmapCtrl  a static text cell with one bitmap child button; the text keeps clear of the button.
//   CGridBitmapEdit  ids 20011 (collapsed, plus) and 20012 (expanded, minus): a multi-line value shown line by
//                    line, each line cut with an ellipsis to the width; the button expands or collapses the row.
//   CGridBitmapBtn   ids 10001 (plus) and 10002 (minus): a cell that is one bitmap button; a click reaches the
//                    grid owner's listener (CWizardGridWnd).
#pragma once

#include "grid/controls/CGXBitmapButtonChild.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/CGXStatic.h"

#include <functional>

class CDC;
class CWnd;

// Control ids and bitmaps of the module's cells.
enum : WORD {
  IDC_GRID_BITMAP_COLLAPSED = 20011,
  IDC_GRID_BITMAP_EXPANDED = 20012,
  IDC_GRID_PLUS_BUTTON = 10001,
  IDC_GRID_MINUS_BUTTON = 10002,
  IDC_GRID_TOOLTIP_CHECKBOX = 10013,
  IDC_GRID_DROPDOWN_LIST = 3001,
};
enum : UINT { IDB_GRID_PLUS = 1139, IDB_GRID_MINUS = 1140, IDB_PROBE_TREE = 1025 };

class CGridBitmapCtrl : public CGXStatic {
public:
  CGridBitmapCtrl(CGXGridCore* grid, UINT bitmapId);
  ~CGridBitmapCtrl() override;
  static const CGXControlClass classCGridBitmapCtrl;
  const CGXControlClass* GetControlClass() const override { return &classCGridBitmapCtrl; }

  // The base text rectangle less the button and 3 pixels on the right.
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXStatic::ComputeInnerRect;
  // The base size widened by the button and 3 pixels, at least the button's height.
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  // The size the whole value needs: its multi-line extent with the button (measured on `dc` when given).
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  // The button 3 pixels in from the cell's right edge, at the cell's top, cut to the cell.
  void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) override;

  // The extent of a text of lines ending at line feeds in the style's font: the widest line (at least the
  // font's widest character) by lines x (character height + external leading) + 1. Measured on `dc` when given
  // (its font is restored; not selected when it is the `previous` style's, selected there), else on a device of the
  // grid window.
  CSize MultiLineExtent(const CString& text, const CGXStyle& style, CDC* dc = nullptr,
                        const CGXStyle* previous = nullptr) const;
  CSize GetButtonSize() const { return CSize(m_nButtonWidth, m_nButtonHeight); }

protected:
  // The cell's rectangle in the grid window (its covered range when it has one).
  CRect CellRect(ROWCOL row, ROWCOL col) const;

  CGXBitmapButtonChild* m_pButton;
  int m_nButtonWidth = 0;
  int m_nButtonHeight = 0;
};

class CGridBitmapEdit : public CGridBitmapCtrl {
public:
  using CGridBitmapCtrl::CGridBitmapCtrl;
  ~CGridBitmapEdit() override;
  static const CGXControlClass classCGridBitmapEdit;
  const CGXControlClass* GetControlClass() const override { return &classCGridBitmapEdit; }

  // Every line of the value, each cut to the text rectangle's width.
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  // The plus/minus toggle of the row (see the .cpp).
  void OnChildClicked(CGXChild* child) override;
  BOOL NeedsCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  int GetCellTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  // (row, col, const CGXStyle*, CWnd* tip window)
  void ShowCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd) override;
};

class CGridBitmapBtn : public CGXBitmapButton {
public:
  CGridBitmapBtn(CGXGridCore* grid, UINT bitmapId) : CGXBitmapButton(grid, bitmapId) {}
  ~CGridBitmapBtn() override;
  static const CGXControlClass classCGridBitmapBtn;
  const CGXControlClass* GetControlClass() const override { return &classCGridBitmapBtn; }
  // Tells the grid owner's listener; a grid that is no CWizardGridWnd, or has no listener, hears nothing.
  void OnChildClicked(CGXChild* child) override;
};

namespace brimwiz {
// A line shortened to `width` pixels: unchanged when it fits; empty when even "W..." does not fit; else the
// longest start of it followed by "..." that fits.
CString FitLineWithEllipsis(const CString& line, int width, const std::function<int(const CString&)>& measure);

// Fills and places a text tip window over a grid: its text in the cell style's font, and its rectangle, given in
// the grid's client coordinates, on the screen; the text area is its client rectangle shrunk by 4 pixels across
// and 2 down. The window is left hidden for the tip plug-in to show.
void PlaceCellTip(CWnd* grid, CRect rect, const CString& text, CWnd* tip, const CGXStyle& style);
}  // namespace brimwiz
