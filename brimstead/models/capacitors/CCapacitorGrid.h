// CCapacitorGrid: the capacitor table's grid window (control 1121 of its owner), laid out from layout 1036. It
// hands the user's gestures to its panel: a click on an "Enabled" box, a double click (assign a model), a changed
// selection; it keeps a multi-row selection when the press lands on a selected row's box, and refuses the mouse
// resizing of the expand column and of the columns the groups-only option hides.
#pragma once

#include "brimstead/wizards/CWizardGridWnd.h"

class CCapacitorModelsPanel;

class CCapacitorGrid : public CWizardGridWnd {
public:
  explicit CCapacitorGrid(CCapacitorModelsPanel& panel);
  ~CCapacitorGrid() override;

  CCapacitorModelsPanel& Panel() const { return m_Panel; }

  // Lays the grid out from layout 1036, registers the expand buttons and installs cell tips (500 ms).
  void PreSubclassWindow() override;
  // The model column takes what the window's width leaves over from the other columns (at least its own width
  // in the layout's units when that is less).
  void FitModelColumn();
  // A column whose widest text (header and shown rows, as the grid's fitting measures them) is cut, the model
  // column's or a name's, makes room for it from what the name, part name and value columns have beyond their own
  // widest texts, in that order (brimwiz::FitColumnsToWindow); no column is narrowed below its widest text. Nothing
  // while the model column is hidden. With `changed`, only the rows it names are measured anew.
  void FitModelTexts(const brimwiz::ChangedRows* changed = nullptr);
  void OnButtonClickedInCell(ROWCOL row, ROWCOL col) override;
  BOOL OnLButtonDblClkCell(ROWCOL row, ROWCOL col, UINT keys, CPoint pt) override;
  void OnSelectionChanged(const CGXRange* range, BOOL dragging, BOOL byKey) override;
  BOOL CanStartSelection(ROWCOL row, ROWCOL col) override;
  BOOL ReturnTrueStub(ROWCOL index, BOOL rows) const override;

  // Painting is locked for the scope's lifetime; when it was not locked before, the grid is redrawn and its
  // scroll bars updated at the end.
  class PaintLock {
  public:
    explicit PaintLock(CCapacitorGrid& grid) : m_Grid(grid), m_bWasLocked(grid.LockUpdate(TRUE)) {}
    ~PaintLock();
    PaintLock(const PaintLock&) = delete;
    PaintLock& operator=(const PaintLock&) = delete;

  private:
    CCapacitorGrid& m_Grid;
    BOOL m_bWasLocked;
  };

  // The selection's rows, ascending (cells, rows and the table count; the current cell does not).
  std::vector<ROWCOL> SelectedRows();
  // Adds rows first..last to the selection as one range.
  void SelectRows(ROWCOL first, ROWCOL last);
  void ClearSelection();

private:
  CCapacitorModelsPanel& m_Panel;
};
