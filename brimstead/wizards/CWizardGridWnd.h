// The module's grid-window base and the registration of the module's own cell controls.
#pragma once

#include "brimstead/wizards/PortNumbers.h"
#include "grid/core/CGXGridWnd.h"

#include <span>
#include <vector>

class CWizardGridWnd;

// How a grid tells its owner that a cell's bitmap button was clicked.
class CGridOwnerListener {
public:
  virtual bool OnCellButtonClicked(CWizardGridWnd* grid, ROWCOL row, ROWCOL col) = 0;
  // Called by none of the module's cells.
  virtual bool OnGridNotify(CWizardGridWnd* grid, ROWCOL row, ROWCOL col) = 0;

protected:
  ~CGridOwnerListener() = default;
};

class CWizardGridWnd : public CGXGridWnd {
public:
  CWizardGridWnd() = default;
  ~CWizardGridWnd() override;
  // The module's grids (this class is the base of every one) keep no undo history: their cells are written by
  // their owners, whose records an undo of those writes (Ctrl+Z, Alt+Backspace) would leave behind, and every
  // fill would add thousands of commands. A selected current cell is inverted whole, as its selected row is.
  // Their clipboard takes values only: a copy puts no styles on it and a paste brings none (no styles format, no
  // cells copied or moved in place), so that a paste never gives a cell another cell's control, choices or
  // colours; nor does a paste add rows or columns that no record stands behind.
  void Initialize() override;
  // A pasted text goes only into a cell that takes typed text (an edit or a list of choices, which takes only one
  // of its choices): a check box, label, button or connected-layers cell shows what its owner wrote from its
  // record, which hears of clicks only, so it refuses a pasted value (nothing is pasted) with
  // brimwiz::PasteRefusedText.
  BOOL SetCellTextThroughControl(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* style) override;
  // A row header the port numbers cover reads with its text from them, as if stored (its item data and the rest
  // stay stored).
  BOOL ReadStoredStyle(ROWCOL row, ROWCOL col, CGXStyle& style, int mode, int type) const override;

  // The port numbers of the row headers while they cover every row; not owned, null for none (the stored texts).
  const brimwiz::CPortNumbers* m_pPortNumbers = nullptr;

  // The owner's listener that the plus/minus button cells call; not owned, null for none.
  CGridOwnerListener* m_pListener = nullptr;

  // The columns brimwiz::FitColumnsToWindow resized last: their widths before and after.
  struct FittedColumn {
    ROWCOL col;
    int before;
    int fitted;
  };
  std::vector<FittedColumn> m_FittedColumns;
  // What brimwiz::FitColumnsToWindow measured last of the rows' texts, by column: the column, its width and the
  // grid's zoom then, and each row's text width (-1 for a cell that shows none), for a fit told which rows changed.
  struct MeasuredTexts {
    ROWCOL col;
    int width;
    std::vector<int> rows;
  };
  std::vector<MeasuredTexts> m_MeasuredTexts;
  int m_nMeasuredZoom = 0;
};

// A grid of a page whose rows the user drags or sorts: the page hears of each new order after the grid's own
// handling.
class CReorderingGridWnd : public CWizardGridWnd {
public:
  void UpdateMovedRows(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint) override;
  void RefreshAfterSort(const GXForwardArgs& args) override;

protected:
  virtual void OnRowsReordered() = 0;
};

namespace brimwiz {
// The message of a paste that a module grid's cell refuses because it takes no typed text.
extern const char* const PasteRefusedText;
// Registers the collapsible multi-line text cells 20011 and 20012 with the grid.
void RegisterBitmapEditControls(CGXGridCore* grid);
// Registers the check box with a tip under `id` (the module passes 10013).
void RegisterTooltipCheckBox(CGXGridCore* grid, WORD id);
// Registers the drop-down list 3001: a combo-box window cell, drop-down list with a vertical scroll bar.
void RegisterDropDownList(CGXGridCore* grid);
// Registers the plain plus and minus buttons 10001 and 10002.
void RegisterPlusMinusButtons(CGXGridCore* grid);
// Every row, header row included, as high as control 20011 needs for an empty value in the standard style.
void ResetBitmapEditRowHeights(CGXGridCore* grid);
// Row headers (column 0, unless hidden) as wide as the widest text they hold (port numbers: digits and hyphens, so
// the first one with the most characters, which the grid's port numbers find without reading every row), never
// narrower than `minimum`. The grid measures through its cells' sizing, which it installs.
void FitRowHeaders(CWizardGridWnd& grid, int minimum);
// The width a cell needs as the grid's fitting of line sizes measures it (its text in its font, with its margins and
// borders) on `dc`, a device of the grid's window prepared as for drawing; 0 for a cell without a control.
int CellWidthNeeded(CGXGridWnd& grid, CDC& dc, ROWCOL row, ROWCOL col);
// The rows of a grid changed since its last fit: from `first` on, `removed` rows taken out and `inserted` rows put in
// their place (a row rewritten counts as both); every other row's cells stay as that fit measured them.
struct ChangedRows {
  ROWCOL first;
  ROWCOL removed;
  ROWCOL inserted;
};
// Columns 1 and on (column 0 too unless hidden; none hidden or of no width) fitted to their texts and the grid's
// client width: a column whose widest text (header and rows, as CellWidthNeeded measures) is cut widens towards it,
// the columns from the first to the last, by what the window has beyond the columns and what the other columns have
// beyond their widest texts; then the columns give up what they have beyond their widest texts, from the last to
// the first, until together they fit the window where they can. A text still cut is the cell tip's to show. Each fit
// first gives back what an earlier one changed (unless the column was sized otherwise since). `givers`, when not
// empty, names the columns that may give up width, in the order they give it, and the window's room beyond the
// columns is left as it is. Only what needs it is measured: the rows' texts of every column, the other cells of a
// column only when it is to give width; with `changed`, only the rows it names (unless the columns, their widths or
// the zoom differ from the last fit's, which then measures every row).
void FitColumnsToWindow(CWizardGridWnd& grid, std::span<const ROWCOL> givers = {},
                        const ChangedRows* changed = nullptr);
// Registers the bitmaps of the module's cells and of the add-probes tree (idempotent).
void RegisterGridCellBitmaps();
}  // namespace brimwiz
