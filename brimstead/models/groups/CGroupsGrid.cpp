#include "brimstead/models/groups/CGroupsGrid.h"

#include "brimstead/models/groups/CDecouplingGroupsDlg.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/gxlayout.h"
#include "platform/framework/CPaintDC.h"

#include <algorithm>

CGroupsGrid::~CGroupsGrid() {
  if (m_hWnd) DestroyWindow();
}

CGroupsGrid::PaintLock::~PaintLock() {
  if (m_bWasLocked) return;
  m_Grid.FitToContents();
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
  // The cells' measuring, for the columns that make room for what they show (FitToContents).
  InstallCalcSizeImp();
  // Column 5's header names the unit of the dimensions.
  CString header = GetCellValue(0, ColDimension);
  if (const int newline = header.Find('\n'); newline >= 0) header = header.Left(newline);
  header += m_Owner.m_bMils ? "\n(mils)" : "\n(mm)";
  CGXStyle style;
  style.SetValue(header);
  SetStyleRange(CGXRange(0, ColDimension), style, gxOverride);
  FitHeaderHeight();
  m_nLayoutHeaderWidth = GetColWidth(0);
  m_nLayoutNameWidth = GetColWidth(ColName);
}

void CGroupsGrid::GiveExpandColumnToNames() {
  m_nLayoutNameWidth = GetColWidth(ColName) + GetColWidth(ColExpand);
  SetColWidth(ColName, ColName, m_nLayoutNameWidth);
  HideCols(ColExpand, ColExpand);
  if (!IsColHidden(ColExpand)) SetColWidth(ColExpand, ColExpand, 0);  // no hiding feature installed
}

void CGroupsGrid::FitToContents() {
  if (!GetParam() || !m_hWnd) return;
  // Measured on a device of the grid's window prepared as for drawing.
  CClientDC dc(this);
  PrepareDC(&dc);
  const ROWCOL rows = GetRowCount();
  // Row numbers, when the grid numbers its rows: the last has the most digits.
  const bool numbered = GetParam()->m_bNumberRows && rows > 0;
  const int header = std::max(m_nLayoutHeaderWidth, numbered ? brimwiz::CellWidthNeeded(*this, dc, rows, 0) : 0);
  if (header != GetColWidth(0)) SetColWidth(0, 0, header);
  if (IsColHidden(ColName)) return;
  int names = 0;
  for (ROWCOL row = 1; row <= rows; ++row) names = std::max(names, brimwiz::CellWidthNeeded(*this, dc, row, ColName));
  CRect client;
  GetClientRect(&client);
  const int room = client.Width() - GetColWidth(0) - GetColWidth(ColExpand);
  if (room > 0) names = std::min(names, room);
  names = std::max(names, m_nLayoutNameWidth);
  if (names > GetColWidth(ColName)) SetColWidth(ColName, ColName, names);
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
  // A longer name gets its room.
  if (col == ColName && !IsLockUpdate()) FitToContents();
  return answer;
}

void CGroupsGrid::OnCanceledEditing(ROWCOL row, ROWCOL col) {
  CGXGridWnd::OnCanceledEditing(row, col);
  m_Owner.OnCancelEditName(*this, row, col);
}

BOOL CGroupsGrid::CanPaste() { return CurrentCellIsActive() && CWizardGridWnd::CanPaste(); }

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
