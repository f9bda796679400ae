// The cells that are also the window they edit in (the combo-box and list-box cells, the currency and
// date-time cells): the window class and the cell class are both bases, the object is its own window part,
// and it keeps its editing and modified flags itself.
//
// Entering editing (CGXControl::StartEditing) reads the bound cell's style afresh by default; a control
// without its window never edits.
//
// `Window` is a window class (CWnd or derived); `Cell` is CGXControl or a cell class derived from it whose
// constructor takes the grid.
#pragma once

#include "grid/controls/CGXControl.h"
#include "grid/core/gxtypes.h"
#include "platform/framework/CWnd.h"

template <class Window, class Cell>
class CGXWindowCell : public Window, public Cell {
 public:
  explicit CGXWindowCell(CGXGridCore* grid) : Cell(grid) {}

  CWnd* GetWindowPart() override { return this; }
  void SetEditingState(BOOL on) override { this->SetWindowEditingState(m_bEditing, on, this->m_hWnd != nullptr); }
  BOOL GetEditingState() const override { return m_bEditing; }
  void SetModifiedState(BOOL modified) override { m_bModified = modified; }
  BOOL GetModifiedState() const override { return m_bModified; }

 protected:
  BOOL IsEditedCell(ROWCOL row, ROWCOL col) const { return m_bEditing && this->IsBoundToCell(row, col); }

  BOOL m_bEditing = FALSE;
  BOOL m_bModified = FALSE;
};
