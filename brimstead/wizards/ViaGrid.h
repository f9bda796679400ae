// The grid of the via list pages and of the model extractor's via port pages, and the cell conventions they share:
// column 0 row headers whose item data is the row's record index, column 1 the tool-tip check box (10013), layer
// lists as one disabled name or a multi-line cell (20011), missing data in red.
#pragma once

#include "brimstead/wizards/CWizardGridWnd.h"

#include <memory>
#include <optional>
#include <vector>

class CHostProbe;

// What the via grids tell their page.
class CViaGridOwner {
public:
  virtual void OnCheckBoxClicked(ROWCOL row) = 0;
  // Rows were moved (dragged) or sorted.
  virtual void OnRowsMoved() {}
  virtual void OnGridSelectionChanged() {}
  // Whether a cell keeps its value when the user clears it (Delete, Ctrl+Delete, a cut, a cleared range): a cell
  // whose empty value the page cannot take.
  virtual bool KeepsValueOnClear(ROWCOL, ROWCOL) { return false; }

protected:
  ~CViaGridOwner() = default;
};

class CViaGridWnd : public CReorderingGridWnd {
public:
  explicit CViaGridWnd(CViaGridOwner* owner) : m_pOwner(owner) {}
  ~CViaGridWnd() override;

  void OnSelectionChanged(const CGXRange*, BOOL, BOOL) override;
  // A click or a key that moves the current cell changes what counts as selected (the current cell's row): the
  // owner hears of it as of a selection change.
  BOOL MoveCurrentCellTo(ROWCOL row, ROWCOL col, UINT flags = GX_UPDATENOW | 0x08) override;
  void OnButtonClickedInCell(ROWCOL row, ROWCOL col) override;
  // The owner decides which cells keep their values when cleared.
  BOOL OnDeleteCell(ROWCOL row, ROWCOL col) override;

  // The row headers' width as the page set it up; FitRowHeaders never makes them narrower.
  void KeepHeaderWidth() { m_nHeaderWidth = GetColWidth(0); }
  // Widens the row headers (unless hidden) to the widest text they hold, or narrows them back to the width kept
  // (brimwiz::FitRowHeaders).
  void FitRowHeaders();

protected:
  void OnRowsReordered() override {
    if (m_pOwner)
      m_pOwner->OnRowsMoved();
  }

private:
  CViaGridOwner* m_pOwner;
  int m_nHeaderWidth = 0;
};

// The via grid of a page: made and set up when the page's dialog starts; null when the page's template has no grid
// control.
class CViaGridPage : public CViaGridOwner {
public:
  CViaGridWnd* GetGrid() const { return m_pGrid.get(); }

protected:
  ~CViaGridPage() = default;
  // Makes the grid on the page's control (see brimwiz::SetUpViaGrid); false, and no grid, when it is not there.
  bool MakeViaGrid(CWnd* page, int controlId, WORD layoutId, bool dropDownList);
  // The grid exists and has its window.
  bool HasGridWindow() const { return m_pGrid && m_pGrid->GetSafeHwnd(); }

  std::unique_ptr<CViaGridWnd> m_pGrid;
};

using CBWProbesGridWnd = CViaGridWnd;
using CDVProbesGridWnd = CViaGridWnd;
using CMEViasGridWnd = CViaGridWnd;
using CMEViaPortsGridWnd = CViaGridWnd;

namespace brimwiz {
enum : ROWCOL { ViaColHeader = 0, ViaColCheck = 1, ViaColName = 2, ViaColThird = 3, ViaColFourth = 4 };

// Subclasses the page's control with the grid, attaches the layout, installs cell tips (500 ms) and registers the
// module's cells (the drop-down list 3001 when asked). False when the control is not there.
bool SetUpViaGrid(CViaGridWnd& grid, CWnd* page, int controlId, WORD layoutId, bool dropDownList);

// A layer list: none: `emptyText` in red (in a multi-line cell when `emptyAsMultiLine`), disabled unless it is a
// multi-line cell; one: that name, disabled; more: a multi-line cell (20011), enabled, the names joined by line feeds.
void WriteLayerCell(CGXGridCore& grid, ROWCOL row, ROWCOL col, const std::vector<CString>& names, const char* emptyText,
                    bool emptyAsMultiLine);
// The check box of a record: enabled when valid, "0" or "1", its message as the tip.
void WriteCheckCell(CGXGridCore& grid, ROWCOL row, bool valid, bool enabled, const CString& message);
void SetCellValue(CGXGridCore& grid, ROWCOL row, ROWCOL col, const CString& value);
// The record index a row's header holds, or none outside 0 .. count-1.
std::optional<int> RecordOfViaRow(CGXGridCore& grid, ROWCOL row, int count);
void SetRecordOfViaRow(CGXGridCore& grid, ROWCOL row, int index);
// Positions 0 .. count-1 ordered by name (byte order, stable).
std::vector<int> OrderByName(const std::vector<CString>& names);
// The name of a record's host probe; empty without one.
CString HostProbeName(CHostProbe* probe);

// A list freshly collected from the host is ordered by its host probes' names; one the user or a settings file
// ordered keeps its order.
template <class Array>
void OrderByNameUnlessKept(Array& probes, BYTE kept) {
  if (kept || probes.GetSize() < 2)
    return;
  std::vector<CString> names;
  for (int i = 0; i < probes.GetSize(); ++i)
    names.push_back(HostProbeName(probes[i].m_pHostProbe));
  Array sorted;
  for (int i : OrderByName(names))
    sorted.Add(probes[i]);
  probes.Copy(sorted);
}

// Rebuilds the rows from the records, a row each in list order whose header names its record: `writeRow(row,
// record)` checks the record and writes the row's cells. Then the rows take their heights.
template <class Array, class WriteRow>
void FillViaRows(CGXGridCore& grid, Array& probes, WriteRow writeRow) {
  const int count = probes.GetSize();
  const BOOL locked = grid.LockUpdate(TRUE);
  grid.SetTopRow(1, 0);
  grid.SetRowCount(0, 0);
  grid.SetRowCount(static_cast<ROWCOL>(count), 0);
  for (int i = 0; i < count; ++i) {
    const ROWCOL row = static_cast<ROWCOL>(i) + 1;
    writeRow(row, probes[i]);
    SetRecordOfViaRow(grid, row, i);
  }
  grid.LockUpdate(locked);
  ResetBitmapEditRowHeights(&grid);
}

// The record of a clicked check box takes the box's value; answers the record's index, none for a row without one.
template <class Array>
std::optional<int> StoreCheckBox(CGXGridCore& grid, Array& probes, ROWCOL row) {
  const std::optional<int> index = RecordOfViaRow(grid, row, probes.GetSize());
  if (index)
    probes[*index].m_bEnabled = grid.GetCellValue(row, ViaColCheck) != "0" ? 1 : 0;
  return index;
}

// The records become copies in the grid's row order, each completed from its row by `complete(row, copy)`; each
// row's header then names its new position, and the order is marked as the user's.
template <class Array, class Complete>
void StoreViaRowOrder(CGXGridCore& grid, Array& probes, BYTE& kept, Complete complete) {
  Array stored;
  for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
    const std::optional<int> index = RecordOfViaRow(grid, r, probes.GetSize());
    if (!index)
      continue;
    auto record = probes[*index];
    complete(r, record);
    SetRecordOfViaRow(grid, r, stored.GetSize());
    stored.Add(record);
  }
  probes.Copy(stored);
  kept = 1;
}
template <class Array>
void StoreViaRowOrder(CGXGridCore& grid, Array& probes, BYTE& kept) {
  StoreViaRowOrder(grid, probes, kept, [](ROWCOL, auto&) {});
}
}  // namespace brimwiz
