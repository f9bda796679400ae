#include "brimstead/models/capacitors/CCapacitorGrid.h"

#include "brimstead/models/capacitors/CCapacitorModelsPanel.h"
#include "grid/core/gxlayout.h"
#include "platform/framework/CPaintDC.h"

#include <algorithm>

CCapacitorGrid::CCapacitorGrid(CCapacitorModelsPanel& panel) : m_Panel(panel) { m_pListener = &panel; }

CCapacitorGrid::~CCapacitorGrid() {
  if (m_hWnd) DestroyWindow();
}

CCapacitorGrid::PaintLock::~PaintLock() {
  if (m_bWasLocked) return;
  m_Grid.LockUpdate(FALSE);
  m_Grid.RedrawAll();
  m_Grid.RefreshScrollBars();
}

void CCapacitorGrid::PreSubclassWindow() {
  CGXGridWnd::PreSubclassWindow();
  // The layout's parameter object belongs to the grid from here on.
  AttachParam(LoadGridParamLayoutById(CCapacitorModelsPanel::Layout), TRUE);
  InitializeFromStyle();
  brimwiz::RegisterPlusMinusButtons(this);
  // Tips for cells whose text does not fit, after half a second; none for headers or the cell being edited.
  InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
}

void CCapacitorGrid::FitModelColumn() {
  CRect client;
  GetClientRect(&client);
  int others = 0;
  for (ROWCOL col = 0; col <= CCapacitorModelsPanel::ColEnabled; ++col)
    if (col != CCapacitorModelsPanel::ColModel) others += GetColWidth(col);
  const int left = client.Width() - others - 1;
  if (left > 0) SetColWidth(CCapacitorModelsPanel::ColModel, CCapacitorModelsPanel::ColModel, left);
}

void CCapacitorGrid::FitModelTexts(const brimwiz::ChangedRows* changed) {
  using Panel = CCapacitorModelsPanel;
  static constexpr ROWCOL givers[] = {Panel::ColName, Panel::ColPartName, Panel::ColValue, Panel::ColRecord};
  if (!IsColHidden(Panel::ColModel)) brimwiz::FitColumnsToWindow(*this, givers, changed);
}

void CCapacitorGrid::OnButtonClickedInCell(ROWCOL row, ROWCOL col) {
  // The check box has stored its toggled value; the panel decides (and refills the row from the host's answer).
  if (col == CCapacitorModelsPanel::ColEnabled) m_Panel.ToggleModelEnabled(row);
}

BOOL CCapacitorGrid::OnLButtonDblClkCell(ROWCOL row, ROWCOL col, UINT, CPoint) {
  // A double click assigns a model; the grid's own double-click handling (sorting by a header) does not run.
  if (m_pListener) m_pListener->OnGridNotify(this, row, col);
  return TRUE;
}

void CCapacitorGrid::OnSelectionChanged(const CGXRange* range, BOOL dragging, BOOL byKey) {
  CGXGridWnd::OnSelectionChanged(range, dragging, byKey);
  m_Panel.UpdateSelection(false, nullptr);
}

BOOL CCapacitorGrid::CanStartSelection(ROWCOL row, ROWCOL col) {
  return !m_Panel.KeepsSelectionOnPress(row, col) && CWizardGridWnd::CanStartSelection(row, col);
}

BOOL CCapacitorGrid::ReturnTrueStub(ROWCOL index, BOOL rows) const {
  return (rows || m_Panel.MayResizeColumn(index)) && CWizardGridWnd::ReturnTrueStub(index, rows);
}

std::vector<ROWCOL> CCapacitorGrid::SelectedRows() {
  std::vector<ROWCOL> rows;
  GetSelectedRows(rows, FALSE, FALSE);
  const ROWCOL count = GetRowCount();
  std::erase_if(rows, [count](ROWCOL row) { return row == 0 || row > count; });
  return rows;
}

void CCapacitorGrid::SelectRows(ROWCOL first, ROWCOL last) {
  CGXGridParam* param = GetParam();
  if (!param || first == 0 || first > last) return;
  const POSITION pos = param->GetSelection().AddTail(new CGXRange(CGXRange().AssignRows(first, last)));
  SetSelection(pos, first, 0, last, 0);
  if (!IsLockUpdate()) RedrawRange(first, 0, last, GetColCount());
}

void CCapacitorGrid::ClearSelection() {
  SetSelection(nullptr, 0, 0, 0, 0);
  if (!IsLockUpdate()) RedrawAll();
}
