// The spin cell: an edit cell with up and down arrows at its right edge that step an integer between the
// bounds the cell's user attributes give (51014 minimum, 51015 maximum, 51016 wrap, 51021 start value).
//
// Call flow: OnLButtonDownInCell reads the bounds -> the arrow under the point becomes the active child ->
// its click (and each repeat while held) -> OnChildClicked -> the shown text read as the cell's number
// (KeptText: ConvertTextForCell, JudgedValue) -> Step -> the step in the cell's form, read back as the same number
// (else the value stays, with a box) -> the window text, modified, the grid told of the click.
#pragma once

#include <cstdint>
#include <optional>

#include "grid/controls/CGXEditControl.h"

class CGXUpArrowButton;
class CGXDownArrowButton;

constexpr WORD GX_IDS_CTRL_SPINEDIT = 52519;
constexpr WORD GX_IDS_UA_SPINBOUND_MIN = 51014, GX_IDS_UA_SPINBOUND_MAX = 51015, GX_IDS_UA_SPINBOUND_WRAP = 51016,
               GX_IDS_UA_SPINSTART = 51021;

class CGXSpinEdit : public CGXEditControl {
  DECLARE_DYNAMIC(CGXSpinEdit)

 public:
  CGXSpinEdit(CGXGridCore* grid, UINT id);

  static const CGXControlClass gxClassCGXSpinEdit;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXSpinEdit; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  void InitForCell(ROWCOL row, ROWCOL col) override;
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  BOOL OnLButtonDownInCell(UINT flags, int x, int y, WORD hit) override;
  void OnChildClicked(CGXChild* child) override;
  // A text typed, pasted or replaced must be a whole number within the bounds, as the arrows keep it: else the
  // cell's message (its validation message, else the grid's text naming the bounds) and the cell keeps its
  // value. The validation bounds of every cell follow.
  BOOL BreaksBounds(const CString& text, const CGXStyle& style) override;
  // `inner` is the text area; the arrows take the 14 pixels right of it.
  void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) override;

  // The bounds and start value of a cell's style (empty texts: none), the wrap flag.
  struct Bounds {
    std::optional<int64_t> minimum, maximum, start;
    bool wrap = false;
  };
  static Bounds ReadBounds(const CGXStyle& style);
  // The value one step up or down from `text`, a number as the cell keeps it (an empty text with a start value:
  // that value, unstepped), wrapped or held at the bounds. Empty where the number cannot move by exactly one: one
  // whose whole part lies past 2^53 either way (the cell keeps a double, which holds every whole number up to that
  // and no longer each one past it), or that is no finite number; the value then stays as it is.
  static std::optional<int64_t> Step(const CString& text, const Bounds& bounds, bool up);
  // The number a text of the cell's window keeps, as a text: the cell's own conversion, then its number format
  // ("1,999" in a grouped number cell is "1999", "(5)" is "-5"), as the text would be stored.
  CString KeptText(const CString& shown, const CGXStyle& style);

  // Registers the four attributes with the styles map, each with the style the style sheet edits it in.
  static void RegisterUserAttributes(CGXStylesMap* map);

  CGXUpArrowButton* UpButton() const { return m_pUp; }
  CGXDownArrowButton* DownButton() const { return m_pDown; }

 private:
  CGXUpArrowButton* m_pUp;
  CGXDownArrowButton* m_pDown;
  Bounds m_bounds;
};
