// CGroupsGrid: the grid class of the decoupling groups dialog's two grids (the capacitor grid, control 1009, and
// the groups grid, control 1010). Both are laid out from layout 1180; the grid tells its dialog when the selection
// changed and when a group name's editing ended; the expand buttons (the module's plus and minus button cells)
// report their clicks to the dialog as the grid's owner listener. Column 1, the expand buttons, keeps its width:
// the mouse does not resize it.
//
// The layout's widths hold two-digit row numbers and names of about eight bold letters. The grid makes room for
// what it shows (FitToContents, after every operation that changes rows and after a name is edited): the row
// headers get the width of the largest row number, the name column the width of its widest name up to the room
// the window has beside the row headers and the expand buttons. Neither column gets narrower than the layout's
// width; the name column is never narrowed by the fit, so that a width the user gave it stays.
#pragma once

#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "brimstead/wizards/CWizardGridWnd.h"

class CDecouplingGroupsDlg;

class CGroupsGrid : public CWizardGridWnd {
public:
  enum : WORD {
    Layout = 1180,
    IDC_COLLAPSED_BUTTON = IDC_GRID_PLUS_BUTTON,
    IDC_EXPANDED_BUTTON = IDC_GRID_MINUS_BUTTON,
  };
  // Grid columns.
  enum : ROWCOL { ColExpand = 1, ColName = 2, ColPartName = 3, ColValue = 4, ColDimension = 5 };

  explicit CGroupsGrid(CDecouplingGroupsDlg& owner) : m_Owner(owner) {}
  ~CGroupsGrid() override;

  CDecouplingGroupsDlg& OwnerDialog() const { return m_Owner; }

  // Lays the grid out from layout 1180, registers the plus/minus button cells, installs cell tips and sets
  // column 5's unit suffix.
  void PreSubclassWindow() override;
  void OnSelectionChanged(const CGXRange* range, BOOL dragging, BOOL byKey) override;
  BOOL OnEndEditing(ROWCOL row, ROWCOL col) override;
  // The engine ends an edit with OnEndEditing only when it is abandoned (Escape), followed by OnCanceledEditing;
  // an edit that is kept reports its store: both reach the owner, so that a stored name is taken and an
  // abandoned one is not.
  BOOL OnCellStored(ROWCOL row, ROWCOL col) override;
  void OnCanceledEditing(ROWCOL row, ROWCOL col) override;
  // The cells show the dialog's groups and capacitors, written by the dialog: only a name being edited takes a
  // paste, through its editor (stored as typed, so the dialog takes it and OK judges it), and no clear empties a
  // cell (Delete, a cut). A paste or clear over the cells would show names, parts and values that the dialog
  // neither holds nor judges.
  BOOL CanPaste() override;
  BOOL OnDeleteCell(ROWCOL, ROWCOL) override { return FALSE; }
  // The mouse resizes every column but the expand buttons'.
  BOOL ReturnTrueStub(ROWCOL index, BOOL rows) const override;

  // The capacitor grid: the expand column is hidden and its width given to the names.
  void GiveExpandColumnToNames();
  // The row headers as wide as the largest row number needs (at least the layout's width); the name column
  // widened, when a name needs it, to the widest name, at most to the room beside the row headers and the
  // expand buttons.
  void FitToContents();

  // Every operation that changes many rows runs inside one of these: painting is locked for its lifetime and,
  // when it was not locked before, the grid is redrawn and its scroll bars updated at the end.
  class PaintLock {
  public:
    explicit PaintLock(CGroupsGrid& grid) : m_Grid(grid), m_bWasLocked(grid.LockUpdate(TRUE)) {}
    // Ends with the columns fitted to the grid's contents (FitToContents).
    ~PaintLock();
    PaintLock(const PaintLock&) = delete;
    PaintLock& operator=(const PaintLock&) = delete;

  private:
    CGroupsGrid& m_Grid;
    BOOL m_bWasLocked;
  };

  // The selection's rows in ascending order (cells, rows and the whole table count; the current cell does not).
  std::vector<ROWCOL> SelectedRows();
  void ClearSelection();
  // Adds rows first..last to the selection as one range.
  void SelectRows(ROWCOL first, ROWCOL last);

private:
  // The header row's height fitted to its tallest header text.
  void FitHeaderHeight();

  CDecouplingGroupsDlg& m_Owner;
  // The layout's widths of the row headers and of the names (pixels).
  int m_nLayoutHeaderWidth = 0;
  int m_nLayoutNameWidth = 0;
};
