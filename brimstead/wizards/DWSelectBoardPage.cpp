#include "brimstead/wizards/DWSelectBoardPage.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/wizards/WizardDlg.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/gxlayout.h"

#include <vector>

CDWBoardGridWnd::~CDWBoardGridWnd() {
  if (m_hWnd)
    DestroyWindow();
}

void CDWBoardGridWnd::OnSelectionChanged(const CGXRange* range, BOOL dragging, BOOL byKey) {
  CGXGridWnd::OnSelectionChanged(range, dragging, byKey);
  if (m_pPage)
    m_pPage->OnBoardSelectionChanged();
}

CDWSelectBoardPage::CDWSelectBoardPage() : CDWPage(IDD) {}

CDWSelectBoardPage::~CDWSelectBoardPage() = default;

BOOL CDWSelectBoardPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  m_pGrid = std::make_unique<CDWBoardGridWnd>(this);
  if (!m_pGrid->SubclassDlgItem(IDC_BOARD_GRID, this))
    return TRUE;
  CString layout;
  m_pGrid->GetWindowText(layout);
  if (!layout.IsEmpty()) {
    if (CGXGridParam* param = LoadGridParamLayout(layout)) {
      param->SetRowResizeFlags(0);
      param->EnableDragRows(FALSE);
      param->SetSelectionFlags(GX_SELROW);
      // The layout's stored selection (a whole column) is no board.
      param->GetSelection().DeleteAll();
      m_pGrid->AttachParam(param, TRUE);
    }
  }
  m_pGrid->InitializeFromStyle();
  CAnalysisData& record = Record();
  CHostCollectionRef boards(record.m_pSystem ? record.m_pSystem->GetBoards() : nullptr);
  m_pGrid->SetRowCount(static_cast<ROWCOL>(boards.Count()));
  for (int i = 0; i < boards.Count(); ++i) {
    const ROWCOL row = static_cast<ROWCOL>(i + 1);
    const char* file = record.m_pSystem->GetBoardFileName(i);
    const char* info = record.m_pSystem->GetBoardInfoText(i);
    m_pGrid->SetStyleRange(CGXRange(row, 1), CGXStyle().SetValue(file ? file : ""), gxOverride);
    m_pGrid->SetStyleRange(CGXRange(row, 2), CGXStyle().SetValue(info ? info : ""), gxOverride);
  }
  // The layout's columns reach past the page: they give up what their texts do not need, as the other lists do.
  brimwiz::FitColumnsToWindow(*m_pGrid);
  m_pGrid->RefreshScrollBars();
  return TRUE;
}

BOOL CDWSelectBoardPage::OnSetActive() {
  if (m_pGrid && m_pGrid->GetSafeHwnd()) {
    CAnalysisData& record = Record();
    CHostCollectionRef boards(record.m_pSystem ? record.m_pSystem->GetBoards() : nullptr);
    const int index = record.m_nBoardIndex;
    if (index >= 0 && index < boards.Count()) {
      const ROWCOL row = static_cast<ROWCOL>(index + 1);
      CGXRangeList& selection = m_pGrid->GetParam()->GetSelection();
      selection.DeleteAll();
      selection.AddTail(new CGXRange(CGXRange().AssignRows(row, row)));
    }
    m_pGrid->RedrawAll();
  }
  return CDWPage::OnSetActive();
}

void CDWSelectBoardPage::OnBoardSelectionChanged() {
  if (!m_pGrid)
    return;
  CAnalysisData& record = Record();
  const CGXRangeList& selection = m_pGrid->GetParam()->GetSelection();
  if (selection.IsEmpty()) {
    record.m_nBoardIndex = -1;
  } else if (selection.GetCount() == 1) {
    const CGXRange* range = selection.GetHead();
    if (!range || !range->IsRows() || range->top != range->bottom || range->top == 0)
      return;
    record.SelectBoard(static_cast<int>(range->top) - 1);
  } else {
    return;
  }
  UpdateOwnerButtons();
}

bool CDWSelectBoardPage::ValidateAndStore() {
  int index = -1;
  if (m_pGrid && m_pGrid->GetSafeHwnd()) {
    std::vector<ROWCOL> rows;
    m_pGrid->GetSelectedRows(rows, FALSE, TRUE);
    if (!rows.empty() && rows.front() >= 1)
      index = static_cast<int>(rows.front()) - 1;
  }
  Record().SelectBoard(index);
  UpdateOwnerButtons();
  return true;
}
