// The base of every cell control: the object the grid asks to draw a cell, to take the current cell's
// mouse and key input, to hold the value being edited, to store it back and to validate it. A grid keeps
// one control per control id; the same object serves every cell whose style names that id and is bound
// to one cell at a time (InitForCell).
//
// The engine (grid_core) calls these operations through the table of virtual operations only, so the
// engine's library needs no definition from this one; the controls' library defines them.
#pragma once

#include <memory>

#include "grid/core/CGXStyle.h"
#include "grid/core/gxtypes.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/window/windowapi.h"

class CDC;
class CWnd;
class CGXGridCore;

// The chain of control class names that IsKindOfControl walks.
struct CGXControlClass {
  LPCSTR name;
  const CGXControlClass* base;
};

class CGXControl {
 public:
  explicit CGXControl(CGXGridCore* grid);
  virtual ~CGXControl();
  CGXControl(const CGXControl&) = delete;
  CGXControl& operator=(const CGXControl&) = delete;

  static const CGXControlClass classCGXControl;
  virtual const CGXControlClass* GetControlClass() const { return &classCGXControl; }
  BOOL IsKindOfControl(const CGXControlClass* cls) const;
  virtual CWnd* GetWindowPart() { return nullptr; }

  // Editing and modified states (controls without an editor keep both off).
  virtual void SetEditingState(BOOL) {}
  virtual BOOL GetEditingState() const { return FALSE; }
  virtual void SetModifiedState(BOOL) {}
  virtual BOOL GetModifiedState() const { return FALSE; }

  // Binding to a cell.
  virtual void InitForCell(ROWCOL row, ROWCOL col);
  // Unbinds: when modified or editing the cell is refreshed; the window part hides, the states clear.
  virtual void RedrawIfChanged();
  BOOL IsInitialized() const { return m_bInit; }
  BOOL IsBoundToCell(ROWCOL row, ROWCOL col) const { return m_bInit && row == m_nRow && col == m_nCol; }
  ROWCOL GetRow() const { return m_nRow; }
  ROWCOL GetCol() const { return m_nCol; }

  // Storing and validating (the base has nothing to store).
  virtual BOOL StoreValue() { return FALSE; }
  virtual BOOL ValidateValue() { return TRUE; }
  virtual BOOL NotifyEditStart();
  virtual BOOL NotifyModified();
  virtual BOOL NotifyEditEnd();
  virtual void NotifyEditCancel();
  virtual BOOL NotifyLeaveCell(ROWCOL newRow, ROWCOL newCol);

  // Geometry and drawing.
  virtual CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const;
  virtual CSize AddBordersToSize(CSize size, const CGXStyle& style) const;
  // The cell's background (the interior unless the grid already filled a run) and, for the current cell,
  // nothing: the grid frames the current cell by inversion.
  virtual void DrawBackground(CDC* dc, const CRect& rect, const CGXStyle& style, BOOL eraseAlways = FALSE);
  virtual void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                        const CGXStyle* standard);
  // The current cell's frame inside its inner rectangle (called once per painted block).
  virtual void DrawCurrentCellFrame(CDC* dc, const CRect& inner) { (void)dc, (void)inner; }

  // Values.
  virtual void GetEditText(CString& out) const;
  // The selected text; the base control has no text selection and hands out its whole current text.
  virtual void GetSelectionText(CString& out) { GetEditText(out); }
  virtual void SetEditText(const CString& text);
  virtual BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                              const CGXStyle& style) const;
  virtual BOOL StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                          const CGXStyle* composed);
  virtual BOOL IsCellReadOnly() const;

  // Window part and refreshing.
  virtual void HideWindowPart() {}
  virtual void HideAndInvalidate();
  virtual void Refresh() { HideAndInvalidate(); }

  // Mouse and keys inside the current cell: FALSE lets the grid do its own processing.
  virtual BOOL OnMouseMoveInCell(UINT, int, int, WORD) { return FALSE; }
  virtual BOOL OnLButtonDownInCell(UINT, int, int, WORD) { return FALSE; }
  virtual BOOL OnLButtonUpInCell(UINT, int, int, WORD) { return FALSE; }
  virtual BOOL OnLButtonDblClkInCell(UINT, int, int) { return FALSE; }
  virtual BOOL OnMButtonDownInCell(UINT, int, int, WORD) { return FALSE; }
  virtual BOOL OnMButtonUpInCell(UINT, int, int, WORD) { return FALSE; }
  virtual BOOL OnMButtonDblClkInCell(UINT, int, int) { return FALSE; }
  virtual BOOL OnRButtonDownInCell(UINT, int, int, WORD) { return FALSE; }
  virtual BOOL OnRButtonUpInCell(UINT, int, int, WORD) { return FALSE; }
  virtual BOOL OnRButtonDblClkInCell(UINT, int, int) { return FALSE; }
  virtual BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags);
  virtual BOOL OnKeyDownInCell(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnCharInCell(UINT, UINT, UINT) { return FALSE; }
  // Whether the control wants Enter and Escape while it edits (a dialog then leaves them to the grid).
  virtual BOOL WantsReturnAndEscape() const { return FALSE; }
  virtual BOOL HandleWindowCommand(WPARAM, LPARAM) { return FALSE; }
  virtual BOOL PreTranslate(MSG*) { return FALSE; }
  virtual void RefreshSysColors() {}
  // The grid's WM_CTLCOLOR notifications for the current cell's control (DC, window, colour kind 0..6):
  // TRUE when the control set the colours itself ("handled"); the grid then leaves the DC alone.
  virtual BOOL OnGridMessageExtra(CDC* dc, CWnd* wnd, UINT kind) {
    (void)dc, (void)wnd, (void)kind;
    return FALSE;
  }
  // WM_MOUSEACTIVATE while the control is on the current cell: TRUE with *result set when it decides.
  virtual BOOL OnMouseActivate(CWnd* topLevel, UINT hitCode, UINT message, LRESULT* result) {
    (void)topLevel, (void)hitCode, (void)message, (void)result;
    return FALSE;
  }
  virtual void OnSettingsChanged(UINT) {}
  virtual void ReleaseChildButtons() {}

  // The cell's effective style, composed on first demand and dropped on every re-binding.
  const CGXStyle& GetCachedStyle();
  CGXGridCore* Grid() const { return m_pGrid; }

 protected:
  CGXGridCore* m_pGrid;
  ROWCOL m_nRow = GX_INVALID, m_nCol = GX_INVALID;
  std::unique_ptr<CGXStyle> m_pCachedStyle;
  BOOL m_bInit = FALSE;
};
