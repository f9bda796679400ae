// Cells whose whole inner rectangle is one button: CGXPushbutton (a push button captioned with the style's
// choice-list text) and CGXBitmapButton (a button of up to three bitmaps). Neither stores a value: a click or
// space reaches the grid as the button-clicked notification.
#pragma once

#include "grid/controls/CGXControl.h"

class CGXButton;
class CGXBitmapButtonChild;

constexpr WORD GX_IDS_CTRL_PUSHBTN = 52514;

class CGXPushbutton : public CGXControl {
 public:
  explicit CGXPushbutton(CGXGridCore* grid);
  static const CGXControlClass classCGXPushbutton;
  const CGXControlClass* GetControlClass() const override { return &classCGXPushbutton; }

  void InitForCell(ROWCOL row, ROWCOL col) override;
  // The button takes the inner rectangle, the caption and every mouse and key event of the cell.
  void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void DrawCurrentCellFrame(CDC*, const CRect&) override {}
  // The caption's extent plus 8 by 4, and the borders.
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  CGXButton* GetButton() const { return m_pButton; }

 private:
  CGXButton* m_pButton;
};

class CGXBitmapButton : public CGXControl {
 public:
  // Bitmap resource ids, 0 for none; the normal one is required.
  CGXBitmapButton(CGXGridCore* grid, UINT normal, UINT pressed = 0, UINT focus = 0);
  static const CGXControlClass classCGXBitmapButton;
  const CGXControlClass* GetControlClass() const override { return &classCGXBitmapButton; }

  void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  // The grid's frame only when there is no focus bitmap (that bitmap shows the focus instead).
  void DrawCurrentCellFrame(CDC* dc, const CRect& rect) override;
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  CGXBitmapButtonChild* GetButton() const { return m_pButton; }
  BOOL BitmapsLoaded() const { return m_bLoaded; }

 private:
  CGXBitmapButtonChild* m_pButton;
  BOOL m_bFrame;
  BOOL m_bLoaded;
};
