// Radio-button cells: one option per non-empty line of the choice list, the cell's value the index of the
// selected option ("%d"; empty selects nothing). CGXRadioButton stores every change at once;
// CGXRadioButtonEx keeps the change in the control until the grid asks it to store, and can lay its options
// out in one row with the text before or after each button.
//
// Layout: lines of max(font height + external leading, 12) pixels; each option has an 18-pixel button
// column (the button 3 pixels in, centred in the line) and its text, as wide as it measures. A click hits
// an option's button column or its text; space selects the next option, wrapping to the first.
#pragma once

#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXEditedValueControl.h"

class CGXStylesMap;

constexpr WORD GX_IDS_CTRL_RADIO = 52515, GX_IDS_CTRL_RADIO3D = 52524, GX_IDS_CTRL_RADIO3D_EX = 20136,
               GX_IDS_CTRL_RADIO_EX = 20137;
// User attributes of the row layout: "1" lays the options out in a row; "1" puts each button first.
constexpr WORD GX_IDS_UA_RADIO_ALIGNMENT = 51057, GX_IDS_UA_RADIO_TEXTALIGN = 52568;

class CGXRadioButton : public CGXControl {
 public:
  static constexpr int kButtonColumn = 18;

  explicit CGXRadioButton(CGXGridCore* grid, BOOL draw3d = TRUE) : CGXControl(grid), m_bDraw3d(draw3d) {}
  ~CGXRadioButton() override;
  static const CGXControlClass classCGXRadioButton;
  const CGXControlClass* GetControlClass() const override { return &classCGXRadioButton; }

  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) override;

  // Where one option lies: its button column and its text.
  struct Option {
    CString text;
    CRect column;
    CRect textRect;
  };
  // The options of a style laid out in the inner rectangle, measured with the DC's font.
  std::vector<Option> LayOutOptions(CDC* dc, const CRect& inner, const CGXStyle& style) const;
  // The option under a point of the bound cell, or -1.
  int HitTestOption(CPoint pt);
  static std::vector<CString> Options(const CString& choices);
  // The selected index of a value text: -1 when it names no option's place (empty, no whole number, past an int).
  static int SelectedIndex(const CString& value);
  int GetOptionCount() const { return m_nOptions; }

 protected:
  virtual BOOL RowLayout(const CGXStyle&) const { return FALSE; }
  virtual BOOL ButtonFirst(const CGXStyle&) const { return TRUE; }
  void DrawButton(CDC* dc, const CRect& column, int lineHeight, BOOL selected);
  // The style the bound cell's clicks and keys read (the Ex control's edited one).
  virtual const CGXStyle& BoundStyle(CGXStyle& scratch);
  // Makes `index` the selection of the bound cell; FALSE when nothing changed.
  virtual BOOL Select(int index);
  BOOL RefusesChanges(const CGXStyle& style) const;

  int m_nOptions = 0;
  BOOL m_bDraw3d;
  // The 3-D images (20019), loaded at the first 3-D drawing.
  HGLOBAL m_hBitmap = nullptr;
};

// Lays its options out in a row or a column (51057) with the text before or after each button (52568).
class CGXRadioButtonEx : public CGXEditedValueControl<CGXRadioButton> {
 public:
  using CGXEditedValueControl<CGXRadioButton>::CGXEditedValueControl;
  static const CGXControlClass classCGXRadioButtonEx;
  const CGXControlClass* GetControlClass() const override { return &classCGXRadioButtonEx; }
  static void RegisterUserAttributes(CGXStylesMap* map);

  BOOL QueryControlFlag() override { return TRUE; }

 protected:
  BOOL RowLayout(const CGXStyle& style) const override;
  BOOL ButtonFirst(const CGXStyle& style) const override;
  BOOL Select(int index) override;
};
