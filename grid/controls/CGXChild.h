// The windowless buttons drawn inside a cell (push-button faces, drop-down arrows, spin arrows, hot spots,
// bitmap buttons): a rectangle laid out by the owning control in the grid window's client coordinates, a
// caption, a hit test, mouse and key input, drawing and the release of pressed states. The buttons
// (CGXButton and its kin) override these; every default does nothing and answers FALSE. Keys arrive
// through OnKeyMessage, which splits them into the typed operations, composing double-byte characters with
// the child's own lead-byte state.
#pragma once

#include "grid/core/gxtypes.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

class CDC;
class CGXControl;
class CGXStyle;
class CWnd;

class CGXChild {
 public:
  explicit CGXChild(CGXControl* control) : m_pControl(control) {}
  virtual ~CGXChild() = default;
  CGXChild(const CGXChild&) = delete;
  CGXChild& operator=(const CGXChild&) = delete;

  virtual void SetRect(const RECT& rect) { m_rect = rect; }
  const CRect& GetRect() const { return m_rect; }
  virtual const RECT& GetRect(RECT& out) const { return out = m_rect; }
  CGXControl* GetControl() const { return m_pControl; }

  virtual BOOL HitTest(CPoint pt) const { return m_rect.PtInRect(pt); }
  // Whether the owner's active child (the one that takes moves, button-ups and keys) is this one.
  virtual BOOL IsActiveChild() const;
  virtual void SetText(LPCTSTR text) { m_sText = text ? text : ""; }
  virtual void GetText(CString& out) const { out = m_sText; }
  const CString& GetText() const { return m_sText; }

  // Draws the button with the cell's style at hand; the base draws it without.
  virtual void DrawWithStyle(CDC* dc, BOOL active, const CGXStyle& style);
  // Draws the button; `active` is its look on the current cell of an active grid that is not printing.
  virtual void Draw(CDC* dc, BOOL active) = 0;
  // Invalidates the button's rectangle in the grid window (with erase).
  virtual void Invalidate();

  virtual BOOL OnMouseMove(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnLButtonDown(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnLButtonUp(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnLButtonDblClk(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnMButtonDown(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnMButtonUp(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnMButtonDblClk(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnRButtonDown(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnRButtonUp(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  virtual BOOL OnRButtonDblClk(UINT flags, CPoint pt) { return (void)flags, (void)pt, FALSE; }
  // Hovering over the child without capture (the cell need not be the current cell).
  virtual BOOL OnMouseMoveOver(ROWCOL row, ROWCOL col, UINT flags, CPoint pt) {
    return (void)row, (void)col, (void)flags, (void)pt, FALSE;
  }

  // WM_KEYDOWN .. WM_SYSDEADCHAR to the operations below; a lead byte typed alone is held (handled) until
  // its trail byte comes. Other messages: FALSE.
  virtual BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags);
  virtual BOOL OnKeyDown(UINT ch, UINT repeat, UINT flags) { return (void)ch, (void)repeat, (void)flags, FALSE; }
  virtual BOOL OnKeyUp(UINT ch, UINT repeat, UINT flags) { return (void)ch, (void)repeat, (void)flags, FALSE; }
  virtual BOOL OnChar(UINT ch, UINT repeat, UINT flags) { return (void)ch, (void)repeat, (void)flags, FALSE; }
  virtual BOOL OnDbcsChar(const CString& text, UINT repeat, UINT flags) {
    return (void)text, (void)repeat, (void)flags, FALSE;
  }
  virtual BOOL OnDeadChar(UINT ch, UINT repeat, UINT flags) { return (void)ch, (void)repeat, (void)flags, FALSE; }
  virtual BOOL OnSysKeyDown(UINT ch, UINT repeat, UINT flags) { return (void)ch, (void)repeat, (void)flags, FALSE; }
  virtual BOOL OnSysKeyUp(UINT ch, UINT repeat, UINT flags) { return (void)ch, (void)repeat, (void)flags, FALSE; }
  virtual BOOL OnSysChar(UINT ch, UINT repeat, UINT flags) { return (void)ch, (void)repeat, (void)flags, FALSE; }
  virtual BOOL OnSysDeadChar(UINT ch, UINT repeat, UINT flags) {
    return (void)ch, (void)repeat, (void)flags, FALSE;
  }

  // A value the owner hands to every child (CGXControl::BroadcastToChildren).
  virtual void OnBroadcast(DWORD_PTR value) { (void)value; }
  virtual void RefreshSysColors() {}
  // Clears the pressed and tracking states.
  virtual void ReleaseState() {}

 protected:
  CGXControl* m_pControl;
  CRect m_rect;
  CString m_sText;
  BOOL m_bLeadBytePending = FALSE;
  BYTE m_cLeadByte = 0;
};

// The per-control cell-tip object's base: whether a cell needs a tip, which kind, and filling and placing
// the tip window. The base wants no tip; the editing features' tip object (CGXCellTipStatic) is the one
// the control factory gives every control it creates.
class CGXCellTipBase {
 public:
  virtual ~CGXCellTipBase() = default;
  virtual BOOL NeedsTip(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    return (void)row, (void)col, (void)style, FALSE;
  }
  virtual int GetTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) {
    return (void)row, (void)col, (void)style, 0x7FFFFFFF;
  }
  virtual void ShowTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd) {
    (void)row, (void)col, (void)style, (void)tipWnd;
  }
};
