// What a cell control needs of the windowless buttons drawn inside its cell (push-button faces, drop-down
// arrows, spin arrows, hot spots): a rectangle laid out by the control, a hit test, mouse and key input,
// drawing and the release of pressed states. The buttons themselves override these; every default does
// nothing and answers FALSE.
#pragma once

#include "grid/core/gxtypes.h"
#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

class CDC;
class CGXControl;
class CGXStyle;

class CGXChild {
 public:
  explicit CGXChild(CGXControl* control) : m_pControl(control) {}
  virtual ~CGXChild() = default;
  CGXChild(const CGXChild&) = delete;
  CGXChild& operator=(const CGXChild&) = delete;

  void SetRect(const CRect& rect) { m_rect = rect; }
  const CRect& GetRect() const { return m_rect; }
  CGXControl* GetControl() const { return m_pControl; }

  virtual BOOL HitTest(CPoint pt) const { return m_rect.PtInRect(pt); }
  // Draws the button; `active` is its look on the current cell of an active grid that is not printing.
  virtual void Draw(CDC* dc, BOOL active) { (void)dc, (void)active; }
  virtual BOOL OnMouseMove(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  // Hovering over the child without capture (the cell need not be the current cell).
  virtual BOOL OnMouseMoveOver(ROWCOL row, ROWCOL col, UINT flags, CPoint pt) {
    return (void)row, (void)col, (void)flags, (void)pt, FALSE;
  }
  virtual BOOL OnLButtonDown(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnLButtonUp(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnLButtonDblClk(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnMButtonDown(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnMButtonUp(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnMButtonDblClk(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnRButtonDown(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnRButtonUp(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnRButtonDblClk(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags) {
    return (void)message, (void)ch, (void)repeat, (void)flags, FALSE;
  }
  // Clears the pressed and tracking states.
  virtual void ReleaseState() {}
  virtual void RefreshSysColors() {}
  virtual void OnBroadcast(DWORD_PTR value) { (void)value; }

 protected:
  CGXControl* m_pControl;
  CRect m_rect;
};

// The per-control cell-tip object: whether a cell needs a tip, which kind, and showing it.
class CGXCellTipStatic {
 public:
  virtual ~CGXCellTipStatic() = default;
  virtual BOOL NeedsTip(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    return (void)row, (void)col, (void)style, FALSE;
  }
  virtual int GetTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    return (void)row, (void)col, (void)style, 0x7FFFFFFF;
  }
  virtual void ShowTip(DWORD_PTR a, DWORD_PTR b, DWORD_PTR c, DWORD_PTR d) { (void)a, (void)b, (void)c, (void)d; }
};
