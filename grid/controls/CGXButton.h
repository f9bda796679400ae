// The buttons a cell control draws inside its cell: CGXButton (a push-button face with a caption) with its
// pressed-and-tracking state machine, the hot-spot button, and the spin arrows that repeat while held.
//
// State machine of CGXButton (behaviour only; drawing reads the state):
//   idle --button-down on it--> pressed + tracking --move off--> tracking --move on--> pressed + tracking
//   pressed + tracking --button-up over it--> fires, idle;   tracking --button-up elsewhere--> idle
//   idle --space down--> pressed --space up--> fires, idle;  ReleaseState: idle from anywhere
// A button fires by calling its owner's OnChildClicked. Spin arrows fire on the press and then repeat on
// mouse-move reports over them: after 500 ms, then 150, 145, 140 ... never more often than every 50 ms.
#pragma once

#include "grid/controls/CGXChild.h"

// User attribute 52569 "Pushbutton face color": a decimal COLORREF for the face of the cell's buttons.
constexpr WORD GX_IDS_UA_PUSHBUTTON_FACE = 52569;

class CGXButton : public CGXChild {
 public:
  explicit CGXButton(CGXControl* control) : CGXChild(control) {}

  BOOL OnLButtonDown(UINT flags, CPoint pt) override;
  BOOL OnMouseMove(UINT flags, CPoint pt) override;
  BOOL OnLButtonUp(UINT flags, CPoint pt) override;
  BOOL OnKeyDown(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnKeyUp(UINT ch, UINT repeat, UINT flags) override;
  void ReleaseState() override;

  // Themed ("BUTTON" part 1) when visual styles are in force, else the classic face and edge; the caption
  // centred, shifted when pushed, with a focus frame when focused.
  void Draw(CDC* dc, BOOL active) override;
  // With user attribute 52569 the classic face in that colour (never themed); a disabled style greys the
  // caption.
  void DrawWithStyle(CDC* dc, BOOL active, const CGXStyle& style) override;

  BOOL IsPressed() const { return m_bPressed; }
  BOOL IsTracking() const { return m_bTracking; }
  // Focused: drawn with the active flag while the owner's active child. Pushed: focused and pressed.
  BOOL IsFocused(BOOL active) const { return active && IsActiveChild(); }
  BOOL IsPushed(BOOL active) const { return IsFocused(active) && m_bPressed; }
  void SetRedrawOnChange(BOOL redraw) { m_bRedrawOnChange = redraw; }
  BOOL GetRedrawOnChange() const { return m_bRedrawOnChange; }

 protected:
  void SetPressed(BOOL pressed);
  void Fire();
  // The classic face: `face` fills, a sunken or raised edge, the caption.
  void DrawClassic(CDC* dc, BOOL active, COLORREF face);
  void DrawCaption(CDC* dc, BOOL active);

  BOOL m_bPressed = FALSE;
  BOOL m_bTracking = FALSE;
  BOOL m_bRedrawOnChange = TRUE;
};

// The small button of hot-spot edit cells: a face with a black mark, drawn only on the active cell.
class CGXHotSpotButton : public CGXButton {
 public:
  using CGXButton::CGXButton;
  void Draw(CDC* dc, BOOL active) override;
};

// A spin arrow: fires on the press, then repeats while held over it, paced by the tick count.
class CGXArrowButton : public CGXButton {
 public:
  using CGXButton::CGXButton;
  BOOL OnLButtonDown(UINT flags, CPoint pt) override;
  BOOL OnMouseMove(UINT flags, CPoint pt) override;
  BOOL OnLButtonUp(UINT flags, CPoint pt) override;
  DWORD GetRepeatInterval() const { return m_nInterval; }

 protected:
  enum class Direction { up, down };
  // The face and the arrow glyph (none under 5 pixels high; small under 8).
  void DrawArrow(CDC* dc, BOOL active, Direction direction);

  DWORD m_dwLastRepeat = 0;
  DWORD m_nInterval = 500;
};

class CGXUpArrowButton : public CGXArrowButton {
 public:
  using CGXArrowButton::CGXArrowButton;
  void Draw(CDC* dc, BOOL active) override { DrawArrow(dc, active, Direction::up); }
};

class CGXDownArrowButton : public CGXArrowButton {
 public:
  using CGXArrowButton::CGXArrowButton;
  void Draw(CDC* dc, BOOL active) override { DrawArrow(dc, active, Direction::down); }
};
