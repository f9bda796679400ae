// The drop-down buttons of combo-box cells: CGXComboBoxButton (the drop-down list cell's) and
// CGXComboBoxWndButton (the combo-box window cell's). Both draw a face with the grid's arrow bitmap, or
// the "COMBOBOX" theme. Off the current cell they show only when their owner shows its button in every
// cell; the owner says so through CGXDropDownOwner.
#pragma once

#include "grid/controls/CGXButton.h"
#include "grid/controls/GXControlBitmaps.h"

// What a drop-down cell control tells its button: whether the button shows in every cell, not only on the
// current cell. A control that does not implement it never shows its button elsewhere.
class CGXDropDownOwner {
 public:
  virtual ~CGXDropDownOwner() = default;
  virtual BOOL ShowsButtonInEveryCell() const = 0;
};

class CGXComboBoxButton : public CGXButton {
 public:
  using CGXButton::CGXButton;
  static constexpr UINT kArrowBitmap = gx::kComboArrowBitmap, kGreyArrowBitmap = gx::kComboArrowGreyBitmap;
  void Draw(CDC* dc, BOOL active) override;
  // Greyed (themed state 4, the grey arrow) when the button shows in every cell and the style does not set
  // the enabled attribute.
  void DrawWithStyle(CDC* dc, BOOL active, const CGXStyle& style) override;

 protected:
  BOOL OwnerShowsButtonAlways() const;
  enum class Look { normal, greyed };
  // The face, edge and arrow; `arrows` are the normal and greyed bitmap ids.
  void DrawDropDown(CDC* dc, BOOL active, Look look, const UINT (&arrows)[2]);
};

class CGXComboBoxWndButton : public CGXComboBoxButton {
 public:
  using CGXComboBoxButton::CGXComboBoxButton;
  static constexpr UINT kArrowBitmap = gx::kComboWndArrowBitmap, kGreyArrowBitmap = gx::kComboWndArrowGreyBitmap;
  // Not drawn on the current cell while the owner edits (its window shows its own button); greyed when the
  // style includes the enabled attribute cleared.
  void Draw(CDC* dc, BOOL active) override;
  void DrawWithStyle(CDC* dc, BOOL active, const CGXStyle& style) override;
};
