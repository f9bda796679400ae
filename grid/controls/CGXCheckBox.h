// Check-box cells: a 13 x 13 box, optionally followed by a label (the choice-list text), toggled between a
// checked and an unchecked text by a click on the box or the space bar. CGXCheckBox stores every toggle
// in the cell at once; CGXCheckBoxEx keeps the toggled value in the control until the grid asks it to
// store, as an edit control does.
//
// A three-state box (the style's tri-state attribute) shows a value equal to neither text as undetermined
// and cycles checked -> unchecked -> empty -> checked. The boxes are images of a bitmap strip (see
// GXControlBitmaps.h) whose palette is remapped to the system colours, or the "Button" theme.
//
// Mouse: a press on the box presses it; moving off and on follows; the release on the box toggles. A press
// that did not start on the box, or in another cell, never toggles.
#pragma once

#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXEditedValueControl.h"

class CGXStylesMap;

// User attributes: the checked and unchecked texts ("1" and "0" when absent or empty).
constexpr WORD GX_IDS_UA_CHECKBOX_CHECKED = 51019, GX_IDS_UA_CHECKBOX_UNCHECKED = 51020;
// Cell-control ids.
constexpr WORD GX_IDS_CTRL_CHECKBOX = 52516, GX_IDS_CTRL_CHECKBOX3D = 52523, GX_IDS_CTRL_CHECKBOX_EX = 20130,
               GX_IDS_CTRL_CHECKBOX3D_EX = 20131;

class CGXCheckBox : public CGXControl {
 public:
  // Bits of GetCheckState.
  enum : UINT { stateFocus = 1, stateGreyed = 2, stateChecked = 4, stateUnchecked = 8 };
  static constexpr int kBoxSize = 13;

  // Bitmap ids 0 take the defaults: 20024 for the 3-D look (20025 on systems before version 4), 20026 for
  // the flat look and for printing.
  explicit CGXCheckBox(CGXGridCore* grid, BOOL draw3d = TRUE, UINT screenBitmap = 0, UINT printBitmap = 0);
  ~CGXCheckBox() override;

  static const CGXControlClass classCGXCheckBox;
  const CGXControlClass* GetControlClass() const override { return &classCGXCheckBox; }
  static void RegisterUserAttributes(CGXStylesMap* map);

  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  // In a three-state box a text equal to neither value (ignoring case) becomes empty.
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  BOOL OnMouseMoveInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonDownInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonDblClkInCell(UINT flags, int x, int y) override;
  BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) override;
  // The toggle: checked -> unchecked (-> empty in a three-state box) -> checked, stored at once, then the
  // grid's button-clicked notification.
  void OnChildClicked(CGXChild* child) override;
  void RefreshSysColors() override;
  void ReleaseChildButtons() override;

  virtual UINT GetCheckState(ROWCOL row, ROWCOL col, const CGXStyle& style);
  virtual void DrawBox(CDC* dc, const CRect& inner, UINT state, UINT align, const CString& label);
  // Where the box goes in the inner rectangle for the alignment and label (cut at the right and bottom).
  virtual CRect ComputeBoxRect(CDC* dc, const CRect& inner, const CString& label, UINT align);
  virtual COLORREF MapBitmapColor(COLORREF color, BOOL printing);
  virtual void DrawThemedBox(HTHEME theme, CDC* dc, const CRect& inner, UINT state, UINT align,
                             const CString& label);
  // Frees and reloads both bitmaps with their palettes remapped; FALSE when the screen bitmap is missing.
  virtual BOOL LoadBoxBitmaps();

  // The image of a state: 0 unchecked, 1 checked, 2 and 3 the same pressed or disabled, 4 undetermined.
  static int ImageIndex(UINT state);
  static CString CheckedText(const CGXStyle& style);
  static CString UncheckedText(const CGXStyle& style);
  static BOOL IsThreeState(const CGXStyle& style) { return style.IsIncluded(GX_IN_TRISTATE) && style.GetTriState(); }
  // The value after a toggle.
  static CString ToggledValue(const CString& value, const CGXStyle& style);
  BOOL IsPressed() const { return m_bPressed; }
  const CRect& GetBoxRect() const { return m_rectBox; }
  UINT GetScreenBitmapId() const;
  UINT GetPrintBitmapId() const { return m_nPrintBitmap ? m_nPrintBitmap : 20026; }

 protected:
  // The style that the mouse and drawing of the bound cell read (the Ex control's edited one).
  virtual const CGXStyle& BoundStyle(CGXStyle& scratch);
  // Whether the bound cell refuses changes (the grid's lock or the style's read-only attribute).
  BOOL RefusesChanges(const CGXStyle& style) const;
  // The box of the bound cell, measured with the grid's measuring device and the cell's font.
  CRect MeasureBoundBox(const CGXStyle& style);
  void SetPressed(BOOL pressed);
  void InvalidateBoundCell();
  void DrawBoxCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style);

  BOOL m_bDraw3d;
  HGLOBAL m_hScreenBitmap = nullptr;
  HGLOBAL m_hPrintBitmap = nullptr;
  UINT m_nScreenBitmap;
  UINT m_nPrintBitmap;
  int m_nBoxSize = kBoxSize;
  BOOL m_bPressed = FALSE;
  // The press started on the box of the bound cell (only then do moves and the release count).
  BOOL m_bTrackingBox = FALSE;
  CRect m_rectBox;
};

// The check box with a modify state: toggles change the control's copy of the cell's style; StoreValue
// writes it into the cell. Delete empties the value while editing.
class CGXCheckBoxEx : public CGXEditedValueControl<CGXCheckBox> {
 public:
  using CGXEditedValueControl<CGXCheckBox>::CGXEditedValueControl;
  static const CGXControlClass classCGXCheckBoxEx;
  const CGXControlClass* GetControlClass() const override { return &classCGXCheckBoxEx; }

  void OnChildClicked(CGXChild* child) override;
};
