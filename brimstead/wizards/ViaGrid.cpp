#include "brimstead/wizards/ViaGrid.h"

#include "brimstead/HostInterfaces.h"
#include "brimstead/wizards/CGXTooltipCheckBox.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/gxlayout.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
}  // namespace

CViaGridWnd::~CViaGridWnd() {
  if (m_hWnd)
    DestroyWindow();
}

void CViaGridWnd::OnSelectionChanged(const CGXRange*, BOOL, BOOL) {
  if (m_pOwner)
    m_pOwner->OnGridSelectionChanged();
}

BOOL CViaGridWnd::MoveCurrentCellTo(ROWCOL row, ROWCOL col, UINT flags) {
  const BOOL moved = CReorderingGridWnd::MoveCurrentCellTo(row, col, flags);
  if (m_pOwner)
    m_pOwner->OnGridSelectionChanged();
  return moved;
}

BOOL CViaGridWnd::OnDeleteCell(ROWCOL row, ROWCOL col) {
  if (m_pOwner && m_pOwner->KeepsValueOnClear(row, col))
    return FALSE;
  return CReorderingGridWnd::OnDeleteCell(row, col);
}

void CViaGridWnd::FitRowHeaders() { brimwiz::FitRowHeaders(*this, m_nHeaderWidth); }

void CViaGridWnd::OnButtonClickedInCell(ROWCOL row, ROWCOL col) {
  if (col == brimwiz::ViaColCheck && m_pOwner)
    m_pOwner->OnCheckBoxClicked(row);
}

namespace brimwiz {

bool SetUpViaGrid(CViaGridWnd& grid, CWnd* page, int controlId, WORD layoutId, bool dropDownList) {
  if (!grid.SubclassDlgItem(controlId, page))
    return false;
  grid.AttachParam(LoadGridParamLayoutById(layoutId), TRUE);
  grid.InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
  RegisterBitmapEditControls(&grid);
  RegisterTooltipCheckBox(&grid, IDC_GRID_TOOLTIP_CHECKBOX);
  if (dropDownList)
    RegisterDropDownList(&grid);
  grid.InitializeFromStyle();
  grid.KeepHeaderWidth();
  // A name is one line: cut at the column's edge it shows whole as the cell's tip (a wrapped text gets none).
  grid.SetStyleRange(CGXRange().AssignCols(ViaColName, ViaColName), CGXStyle().SetWrapText(FALSE), gxOverride, 0, 0);
  return true;
}

void WriteLayerCell(CGXGridCore& grid, ROWCOL row, ROWCOL col, const std::vector<CString>& names, const char* emptyText,
                    bool emptyAsMultiLine) {
  CGXStyle cell;
  if (names.empty()) {
    cell.SetValue(emptyText).SetTextColor(kRed);
    if (emptyAsMultiLine)
      cell.SetControl(IDC_GRID_BITMAP_COLLAPSED);
    else
      cell.SetEnabled(FALSE);
  } else if (names.size() == 1) {
    cell.SetValue(names.front()).SetTextColor(kBlack).SetEnabled(FALSE);
  } else {
    CString joined;
    for (size_t i = 0; i < names.size(); ++i) {
      if (i)
        joined += '\n';
      joined += names[i];
    }
    cell.SetControl(IDC_GRID_BITMAP_COLLAPSED).SetEnabled(TRUE).SetValue(joined).SetTextColor(kBlack);
  }
  grid.SetStyleRange(CGXRange(row, col), cell, gxOverride, 0, 0);
}

void WriteCheckCell(CGXGridCore& grid, ROWCOL row, bool valid, bool enabled, const CString& message) {
  CGXStyle check;
  check.SetControl(IDC_GRID_TOOLTIP_CHECKBOX)
      .SetEnabled(valid)
      .SetValue(enabled ? "1" : "0")
      .SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, message);
  grid.SetStyleRange(CGXRange(row, ViaColCheck), check, gxOverride, 0, 0);
}

void SetCellValue(CGXGridCore& grid, ROWCOL row, ROWCOL col, const CString& value) {
  grid.SetStyleRange(CGXRange(row, col), CGXStyle().SetValue(value), gxOverride, 0, 0);
}

std::optional<int> RecordOfViaRow(CGXGridCore& grid, ROWCOL row, int count) {
  CGXStyle header;
  grid.ComposeCellStyle(row, ViaColHeader, header);
  const auto data = static_cast<INT_PTR>(header.GetItemDataPtr());
  if (data < 0 || data >= count)
    return std::nullopt;
  return static_cast<int>(data);
}

void SetRecordOfViaRow(CGXGridCore& grid, ROWCOL row, int index) {
  grid.SetStyleRange(CGXRange(row, ViaColHeader), CGXStyle().SetItemDataPtr(static_cast<DWORD_PTR>(index)),
                     gxOverride, 0, 0);
}

std::vector<int> OrderByName(const std::vector<CString>& names) {
  std::vector<int> order(names.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return std::strcmp(names[static_cast<size_t>(a)].GetString(), names[static_cast<size_t>(b)].GetString()) < 0;
  });
  return order;
}

CString HostProbeName(CHostProbe* probe) {
  const char* name = probe ? probe->GetName() : nullptr;
  return name ? name : "";
}

}  // namespace brimwiz

bool CViaGridPage::MakeViaGrid(CWnd* page, int controlId, WORD layoutId, bool dropDownList) {
  m_pGrid = std::make_unique<CViaGridWnd>(this);
  if (brimwiz::SetUpViaGrid(*m_pGrid, page, controlId, layoutId, dropDownList))
    return true;
  m_pGrid.reset();
  return false;
}
