#include "brimstead/models/groups/CGroupsGrid.h"

#include "brimstead/models/groups/CDecouplingGroupsDlg.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/gxlayout.h"

#include <algorithm>

CGroupsGrid::~CGroupsGrid() {
  if (m_hWnd) DestroyWindow();
}

CGroupsGrid::PaintLock::~PaintLock() {
  if (m_bWasLocked) return;
  m_Grid.LockUpdate(FALSE);
  m_Grid.RedrawAll();
  m_Grid.RefreshScrollBars();
}

void CGroupsGrid::PreSubclassWindow() {
  CGXGridWnd::PreSubclassWindow();
  // The layout's parameter object belongs to the grid from here on.
  AttachParam(LoadGridParamLayoutById(Layout), TRUE);
  InitializeFromStyle();
  brimwiz::RegisterPlusMinusButtons(this);
  // Tips for cells whose text does not fit, after half a second; none for headers or the cell being edited.
  InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
  // Column 5's header names the unit of the dimensions.
  CString header = GetCellValue(0, ColDimension);
  if (const int newline = header.Find('\n'); newline >= 0) header = header.Left(newline);
  header += m_Owner.m_bMils ? "\n(mils)" : "\n(mm)";
  CGXStyle style;
  style.SetValue(header);
  SetStyleRange(CGXRange(0, ColDimension), style, gxOverride);
  FitHeaderHeight();
}

void CGroupsGrid::FitHeaderHeight() {
  // The layout's header height holds one line of header text; the tallest header text gets that for each line.
  int lines = 1;
  for (ROWCOL col = 0; col <= GetColCount(); ++col) {
    const CString text = GetCellValue(0, col);
    lines = std::max(lines, 1 + static_cast<int>(std::count(text.GetString(), text.GetString() + text.GetLength(), '\n')));
  }
  SetRowHeight(0, 0, GetRowHeight(0) * lines);
}

void CGroupsGrid::OnSelectionChanged(const CGXRange* range, BOOL dragging, BOOL byKey) {
  CGXGridWnd::OnSelectionChanged(range, dragging, byKey);
  m_Owner.UpdateButtons();
}

BOOL CGroupsGrid::OnEndEditing(ROWCOL row, ROWCOL col) {
  m_Owner.OnEndEditName(*this, row, col);
  return TRUE;
}

BOOL CGroupsGrid::OnCellStored(ROWCOL row, ROWCOL col) {
  const BOOL answer = CGXGridWnd::OnCellStored(row, col);
  m_Owner.OnEndEditName(*this, row, col);
  m_Owner.KeepEditedName();
  return answer;
}

void CGroupsGrid::OnCanceledEditing(ROWCOL row, ROWCOL col) {
  CGXGridWnd::OnCanceledEditing(row, col);
  m_Owner.OnCancelEditName(*this, row, col);
}

BOOL CGroupsGrid::ReturnTrueStub(ROWCOL index, BOOL rows) const {
  return (rows || index != ColExpand) && CWizardGridWnd::ReturnTrueStub(index, rows);
}

std::vector<ROWCOL> CGroupsGrid::SelectedRows() {
  std::vector<ROWCOL> rows;
  GetSelectedRows(rows, FALSE, FALSE);
  const ROWCOL count = GetRowCount();
  std::erase_if(rows, [count](ROWCOL row) { return row == 0 || row > count; });
  return rows;
}

void CGroupsGrid::ClearSelection() {
  SetSelection(nullptr, 0, 0, 0, 0);
  if (!IsLockUpdate()) RedrawAll();
}

void CGroupsGrid::SelectRows(ROWCOL first, ROWCOL last) {
  CGXGridParam* param = GetParam();
  if (!param || first == 0 || first > last) return;
  const POSITION pos = param->GetSelection().AddTail(new CGXRange(CGXRange().AssignRows(first, last)));
  SetSelection(pos, first, 0, last, 0);
  if (!IsLockUpdate()) RedrawRange(first, 0, last, GetColCount());
}
