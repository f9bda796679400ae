// The grid of the via list pages and of the model extractor's via port pages, and the cell conventions they share:
// column 0 row headers whose item data is the row's record index, column 1 the tool-tip check box (10013), layer
// lists as one disabled name or a multi-line cell (20011), missing data in red.
#pragma once

#include "brimstead/wizards/CWizardGridWnd.h"

#include <optional>
#include <vector>

// What the via grids tell their page.
class CViaGridOwner {
public:
  virtual void OnCheckBoxClicked(ROWCOL row) = 0;
  // Rows were moved (dragged) or sorted.
  virtual void OnRowsMoved() {}
  virtual void OnGridSelectionChanged() {}

protected:
  ~CViaGridOwner() = default;
};

class CViaGridWnd : public CWizardGridWnd {
public:
  explicit CViaGridWnd(CViaGridOwner* owner) : m_pOwner(owner) {}
  ~CViaGridWnd() override;

  void UpdateMovedRows(ROWCOL from, ROWCOL to, ROWCOL dest, UINT flags, BOOL createHint) override;
  void RefreshAfterSort(const GXForwardArgs& args) override;
  void OnSelectionChanged(const CGXRange*, BOOL, BOOL) override;
  void OnButtonClickedInCell(ROWCOL row, ROWCOL col) override;

private:
  CViaGridOwner* m_pOwner;
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
}  // namespace brimwiz
