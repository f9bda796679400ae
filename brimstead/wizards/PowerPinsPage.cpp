#include "brimstead/wizards/PowerPinsPage.h"

#include "brimstead/HostInterfaces.h"
#include "brimstead/wizards/CGXTooltipCheckBox.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "brimstead/wizards/WizardDlg.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/gxlayout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>

BEGIN_MESSAGE_MAP(CPowerPinsPage, CDWPage)
  ON_BN_CLICKED(IDC_CHECK_ALL, OnCheckAll)
  ON_BN_CLICKED(IDC_UNCHECK_ALL, OnUncheckAll)
  ON_BN_CLICKED(IDC_ADD_PIN, OnAddIcPowerPin)
  ON_BN_CLICKED(IDC_GROUP, OnGroupByRefDes)
  ON_COMMAND(ID_ADD_BOARD_PROBES, OnAddBoardProbes)
END_MESSAGE_MAP()

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr WORD kCheckBox3d = 52523;
constexpr DWORD_PTR kGroupRowData = static_cast<DWORD_PTR>(-1);

// Byte order of unsigned bytes, case-sensitive.
bool ByteLess(const CString& a, const CString& b) { return std::strcmp(a.GetString(), b.GetString()) < 0; }

CString Text(const char* text) { return text ? text : ""; }
}  // namespace

CString PinGroupName(CHostProbeElement* element, CHostProbe* probe) {
  if (CHostComponent* owner = element ? element->GetComponent() : nullptr)
    return Text(owner->GetName());
  const CString name = Text(probe ? probe->GetName() : nullptr);
  const int dot = name.ReverseFind('.');
  return dot < 0 ? name : name.Left(dot);
}

// ---- Grid --------------------------------------------------------------------------------------------------

CPowerPinsGridWnd::CPowerPinsGridWnd(CPowerPinsPage* page) : m_pPage(page), m_Listener(page) {}

CPowerPinsGridWnd::~CPowerPinsGridWnd() {
  if (m_hWnd)
    DestroyWindow();
}

void CPowerPinsGridWnd::OnRowsReordered() {
  if (m_pPage)
    m_pPage->OnRowsMoved();
}

void CPowerPinsGridWnd::OnButtonClickedInCell(ROWCOL row, ROWCOL col) {
  if (col == CPowerPinsPage::ColCheck && m_pPage)
    m_pPage->OnCheckBoxClicked(row);
}

bool CPowerPinsGridWnd::CListener::OnCellButtonClicked(CWizardGridWnd*, ROWCOL row, ROWCOL col) {
  return m_pPage ? m_pPage->OnGroupButtonClicked(row, col) : true;
}

// ---- Page --------------------------------------------------------------------------------------------------

CPowerPinsPage::CPowerPinsPage(PinPageFlavour flavour, const PowerPinsTraits& traits)
    : CDWPage(traits.templateId), m_Flavour(flavour), m_Traits(traits) {}

CPowerPinsPage::~CPowerPinsPage() = default;

BOOL CPowerPinsPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  CheckDlgButton(IDC_GROUP, m_bGrouping ? BST_CHECKED : BST_UNCHECKED);
  m_pGrid = std::make_unique<CPowerPinsGridWnd>(this);
  if (!m_pGrid->SubclassDlgItem(IDC_GRID, this))
    return TRUE;
  m_pGrid->AttachParam(LoadGridParamLayoutById(m_Traits.layoutId), TRUE);
  if (!m_pGrid->GetSortImp())
    m_pGrid->InstallSortImp();
  // Column 1 while grouping is off and the members of a collapsed group are hidden, not only marked so.
  if (!m_pGrid->GetHideCellsImp())
    m_pGrid->InstallHideCellsImp();
  SetDragAndSort(!m_bGrouping);
  // Tips: an invalid pin's reason on its disabled check box, a cut layer text in full.
  m_pGrid->InstallCellTipPlugin(nullptr, FALSE, FALSE, 500);
  brimwiz::RegisterBitmapEditControls(m_pGrid.get());
  brimwiz::RegisterTooltipCheckBox(m_pGrid.get(), IDC_GRID_TOOLTIP_CHECKBOX);
  brimwiz::RegisterPlusMinusButtons(m_pGrid.get());
  m_pGrid->InitializeFromStyle();
  m_nLayoutHeaderWidth = m_pGrid->GetColWidth(ColNumber);
  m_pGrid->ConnectListener();
  SetDlgItemText(IDC_INSTRUCTION, m_Traits.instruction);
  return TRUE;
}

void CPowerPinsPage::SetDragAndSort(bool allowed) {
  if (CGXGridParam* param = m_pGrid ? m_pGrid->GetParam() : nullptr) {
    param->EnableDragRows(allowed);
    // A double click on a column header sorts the rows; the grid writes the new order into the record.
    param->m_bSortRowsByHeader = allowed ? TRUE : FALSE;
  }
}

BOOL CPowerPinsPage::OnSetActive() {
  FillGrid();
  return CDWPage::OnSetActive();
}

std::optional<int> CPowerPinsPage::RecordOfRow(ROWCOL row) {
  CGXStyle header;
  m_pGrid->ComposeCellStyle(row, ColNumber, header);
  const auto data = static_cast<INT_PTR>(header.GetItemDataPtr());
  if (data < 0)
    return std::nullopt;
  if (data >= Records()->GetCount()) {
    ++m_nSkippedRows;
    std::fprintf(stderr, "IC power pin grid: row %lu names record %ld, which the list does not hold; skipped\n",
                 static_cast<unsigned long>(row), static_cast<long>(data));
    return std::nullopt;
  }
  return static_cast<int>(data);
}

bool CPowerPinsPage::IsGroupRow(ROWCOL row) {
  CGXStyle header;
  m_pGrid->ComposeCellStyle(row, ColNumber, header);
  return static_cast<INT_PTR>(header.GetItemDataPtr()) < 0;
}

void CPowerPinsPage::SetValue(ROWCOL row, ROWCOL col, const CString& value) {
  m_pGrid->SetStyleRange(CGXRange(row, col), CGXStyle().SetValue(value), gxOverride, 0, GX_INVALIDATE);
}

CString CPowerPinsPage::ValueOf(ROWCOL row, ROWCOL col) { return m_pGrid->GetCellValue(row, col); }

void CPowerPinsPage::WriteLayerCell(ROWCOL row, ROWCOL col, const std::vector<CString>& names,
                                    const char* emptyText) {
  CGXStyle cell;
  if (names.empty()) {
    cell.SetValue(emptyText).SetTextColor(kRed).SetEnabled(FALSE);
    if (m_Traits.centreEmpty)
      cell.SetHorizontalAlignment(1);
  } else {
    CString joined;
    for (size_t i = 0; i < names.size(); ++i) {
      if (i)
        joined += '\n';
      joined += names[i];
    }
    if (names.size() > 1)
      cell.SetControl(IDC_GRID_BITMAP_COLLAPSED).SetEnabled(TRUE);
    else {
      cell.SetEnabled(FALSE);
      if (m_Traits.staticSingleName)
        cell.SetControl(GX_IDS_CTRL_STATIC);
    }
    cell.SetValue(joined).SetTextColor(kBlack);
  }
  m_pGrid->SetStyleRange(CGXRange(row, col), cell, gxOverride, 0, GX_INVALIDATE);
}

void CPowerPinsPage::FillGrid() {
  if (!m_pGrid || !m_pGrid->GetSafeHwnd())
    return;
  std::unique_ptr<CPinRecordList> records = Records();
  const int count = records->GetCount();

  // 1. The order: a list the user or a settings file ordered keeps its order (grouped: by group, stable); a list
  //    freshly collected from the host is sorted by pin name (grouped: by group, then pin name).
  const bool grouping = m_bGrouping != 0;
  if (count > 1 && (grouping || !records->IsOrderKept())) {
    std::vector<CString> groups(static_cast<size_t>(count)), pins(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      if (grouping)
        groups[static_cast<size_t>(i)] = records->GetGroupName(i, m_Flavour);
      if (!records->IsOrderKept())
        pins[static_cast<size_t>(i)] = records->GetPinName(i, m_Flavour);
    }
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      const CString &ga = groups[static_cast<size_t>(a)], &gb = groups[static_cast<size_t>(b)];
      if (ga != gb)
        return ByteLess(ga, gb);
      return ByteLess(pins[static_cast<size_t>(a)], pins[static_cast<size_t>(b)]);
    });
    if (!std::is_sorted(order.begin(), order.end()))
      records->Reorder(order);
  }

  // 2. Rows (their headers' stored texts until NumberPorts makes the numbers).
  m_Numbers.Clear();
  const BOOL locked = m_pGrid->LockUpdate(TRUE);
  m_pGrid->SetTopRow(1, 0);
  m_pGrid->SetRowCount(0, 0);
  m_pGrid->HideCols(ColGroupButton, ColGroupButton, !grouping, 0);
  m_pGrid->SetRowCount(static_cast<ROWCOL>(count), 0);
  ROWCOL row = 1;
  CString previousGroup;
  bool groupCollapsed = false;
  for (int i = 0; i < count; ++i) {
    records->Check(i);
    if (grouping) {
      const CString group = records->GetGroupName(i, m_Flavour);
      if (group != previousGroup) {
        groupCollapsed = !records->IsExpanded(i);
        m_pGrid->SetStyleRange(CGXRange(row, ColGroupButton),
                               CGXStyle()
                                   .SetControl(groupCollapsed ? IDC_GRID_PLUS_BUTTON : IDC_GRID_MINUS_BUTTON)
                                   .SetEnabled(TRUE),
                               gxOverride, 0, 0);
        m_pGrid->SetStyleRange(CGXRange(row, ColNumber), CGXStyle().SetItemDataPtr(kGroupRowData).SetValue(""),
                               gxOverride, 0, 0);
        m_pGrid->SetStyleRange(CGXRange(row, ColCheck), CGXStyle().SetControl(kCheckBox3d).SetTriState(TRUE),
                               gxOverride, 0, 0);
        CGXFont bold;
        bold.SetBold(TRUE);
        m_pGrid->SetStyleRange(CGXRange(row, ColPin),
                               CGXStyle().SetValue(group).SetFont(bold).SetHorizontalAlignment(0).SetEnabled(FALSE),
                               gxOverride, 0, 0);
        m_pGrid->SetStyleRange(CGXRange(row, ColFourth, row, ColFifth), CGXStyle().SetEnabled(FALSE), gxOverride,
                               0, 0);
        m_pGrid->SetRowCount(m_pGrid->GetRowCount() + 1, 0);
        ++row;
      }
      previousGroup = group;
      if (groupCollapsed)
        m_pGrid->HideRows(row, row, TRUE, 0);
    }
    CGXStyle check;
    check.SetControl(IDC_GRID_TOOLTIP_CHECKBOX)
        .SetEnabled(records->IsValid(i))
        .SetValue(records->IsEnabled(i) ? "1" : "0")
        .SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, records->GetMessage(i));
    m_pGrid->SetStyleRange(CGXRange(row, ColCheck), check, gxOverride, 0, 0);
    m_pGrid->SetStyleRange(CGXRange(row, ColGroupButton), CGXStyle().SetControl(GX_IDS_CTRL_STATIC).SetEnabled(FALSE),
                           gxOverride, 0, 0);
    m_pGrid->SetStyleRange(CGXRange(row, ColPin), CGXStyle().SetValue(records->GetPinName(i, m_Flavour)), gxOverride,
                           0, 0);
    if (m_Flavour == PinPageFlavour::Viewer)
      m_pGrid->SetStyleRange(CGXRange(row, ColFourth), CGXStyle().SetValue(records->GetNetName(i)), gxOverride, 0, 0);
    else
      WriteLayerCell(row, ColFourth, records->GetConnectedLayers(i), m_Traits.emptyConnected);
    const char* emptyReference =
        m_Traits.emptyReferencePair && records->IsPair(i) ? m_Traits.emptyReferencePair : m_Traits.emptyReference;
    WriteLayerCell(row, ColFifth, records->GetReferenceLayers(i), emptyReference);
    m_pGrid->SetStyleRange(CGXRange(row, ColNumber), CGXStyle().SetItemDataPtr(static_cast<DWORD_PTR>(i)),
                           gxOverride, 0, 0);
    ++row;
  }
  m_pGrid->LockUpdate(locked);

  // 3. Heights and numbers.
  brimwiz::ResetBitmapEditRowHeights(m_pGrid.get());
  NumberPorts();
  brimwiz::FitColumnsToWindow(*m_pGrid);
  m_pGrid->RefreshScrollBars();
}

void CPowerPinsPage::NumberPorts() {
  if (!m_pGrid || !m_pGrid->GetSafeHwnd())
    return;
  std::unique_ptr<CPinRecordList> records = Records();
  const ROWCOL rows = m_pGrid->GetRowCount();
  std::vector<brimwiz::CPortNumbers::Row> table(rows);
  for (ROWCOL r = 1; r <= rows; ++r) {
    brimwiz::CPortNumbers::Row& entry = table[r - 1];
    if (IsGroupRow(r)) {
      entry.group = true;
    } else {
      const std::optional<int> record = RecordOfRow(r);
      entry.checked = record && records->IsEnabled(*record);
    }
  }
  // A group shows the range of its checked members while they are hidden (collapsed).
  for (ROWCOL r = 1; r < rows; ++r)
    if (table[r - 1].group && !table[r].group)
      table[r - 1].collapsed = m_pGrid->IsRowHidden(r + 1);
  m_Numbers.Reset(table, 0, brimwiz::CPortNumbers::Format::Last);
  m_pGrid->m_pPortNumbers = &m_Numbers;
  const BOOL locked = m_pGrid->LockUpdate(TRUE);
  for (ROWCOL r = 1; r <= rows; ++r)
    if (table[r - 1].group)
      WriteGroupCheck(r);
  m_pGrid->LockUpdate(locked);
  ShowNumbers();
}

bool CPowerPinsPage::NumbersCurrent() const {
  return m_pGrid && m_pGrid->m_pPortNumbers == &m_Numbers && m_Numbers.GetRowCount() == m_pGrid->GetRowCount();
}

void CPowerPinsPage::WriteGroupCheck(ROWCOL group) {
  const auto [members, checked] = m_Numbers.MembersAndChecked(group);
  CString state;
  state.Format("%d", checked == 0 ? 0 : (checked >= members ? 1 : 2));
  SetValue(group, ColCheck, state);
}

void CPowerPinsPage::ShowNumbers() {
  // The numbers take the room they need (four digits from the thousandth pin); grouping's ranges had twice the
  // layout's width.
  brimwiz::FitRowHeaders(*m_pGrid, m_nLayoutHeaderWidth * (m_bGrouping ? 2 : 1));
  m_pGrid->RedrawAll();
}

void CPowerPinsPage::OnCheckBoxClicked(ROWCOL row) {
  if (!m_pGrid)
    return;
  const bool current = NumbersCurrent();
  std::unique_ptr<CPinRecordList> records = Records();
  const bool checked = ValueOf(row, ColCheck) != "0";
  if (IsGroupRow(row)) {
    CheckRecordRows(*records, row + 1, true, checked);
  } else if (const std::optional<int> record = RecordOfRow(row)) {
    records->SetEnabled(*record, checked);
    m_Numbers.SetChecked(row, records->IsEnabled(*record));
  }
  if (!current) {
    NumberPorts();
  } else {
    if (const ROWCOL group = m_Numbers.GroupOf(row))
      WriteGroupCheck(group);
    ShowNumbers();
  }
  UpdateOwnerButtons();
}

void CPowerPinsPage::CheckRecordRows(CPinRecordList& records, ROWCOL first, bool withinGroup, bool check) {
  for (ROWCOL r = first; r <= m_pGrid->GetRowCount() && !(withinGroup && IsGroupRow(r)); ++r) {
    const std::optional<int> record = RecordOfRow(r);
    if (!record)
      continue;
    const bool enabled = check && records.IsValid(*record);
    records.SetEnabled(*record, enabled);
    m_Numbers.SetChecked(r, enabled);
    SetValue(r, ColCheck, enabled ? "1" : "0");
  }
}

void CPowerPinsPage::SetCheckAll(bool check) {
  if (!m_pGrid)
    return;
  CheckRecordRows(*Records(), 1, false, check);
  m_pGrid->RedrawAll();
  NumberPorts();
  UpdateOwnerButtons();
}

void CPowerPinsPage::OnCheckAll() { SetCheckAll(true); }

void CPowerPinsPage::OnUncheckAll() { SetCheckAll(false); }

bool CPowerPinsPage::OnGroupButtonClicked(ROWCOL row, ROWCOL col) {
  if (!m_pGrid || col != ColGroupButton || !IsGroupRow(row))
    return true;
  CGXStyle button;
  m_pGrid->ComposeCellStyle(row, ColGroupButton, button);
  const bool expand = button.GetControl() == IDC_GRID_PLUS_BUTTON;
  m_pGrid->SetStyleRange(CGXRange(row, ColGroupButton),
                         CGXStyle().SetControl(expand ? IDC_GRID_MINUS_BUTTON : IDC_GRID_PLUS_BUTTON), gxOverride, 0,
                         GX_INVALIDATE);
  std::unique_ptr<CPinRecordList> records = Records();
  ROWCOL lastMember = row;
  for (ROWCOL r = row + 1; r <= m_pGrid->GetRowCount() && !IsGroupRow(r); ++r) {
    if (const std::optional<int> record = RecordOfRow(r))
      records->SetExpanded(*record, expand);
    lastMember = r;
  }
  if (lastMember > row)
    m_pGrid->HideRows(row + 1, lastMember, !expand, GX_INVALIDATE);
  if (NumbersCurrent()) {
    m_Numbers.SetCollapsed(row, lastMember > row && !expand);
    ShowNumbers();
  } else {
    NumberPorts();
  }
  m_pGrid->RefreshScrollBars();
  return true;
}

bool CPowerPinsPage::ValidateAndStore() {
  if (!m_pGrid || !m_pGrid->GetSafeHwnd())
    return true;
  std::unique_ptr<CPinRecordList> records = Records();
  std::vector<int> order;
  for (ROWCOL r = 1; r <= m_pGrid->GetRowCount(); ++r) {
    const std::optional<int> record = RecordOfRow(r);
    if (!record)
      continue;
    m_pGrid->SetStyleRange(CGXRange(r, ColNumber), CGXStyle().SetItemDataPtr(order.size()), gxOverride, 0, 0);
    order.push_back(*record);
  }
  records->Reorder(order);
  records->SetOrderKept(true);
  if (m_Traits.redrawAfterStore)
    m_pGrid->RedrawAll();
  return true;
}

void CPowerPinsPage::OnRowsMoved() {
  if (m_Traits.storeOnMove)
    ValidateAndStore();
  NumberPorts();
}

bool CPowerPinsPage::OnViewerSelectionChanged() {
  if (m_Flavour != PinPageFlavour::Viewer)
    return false;
  FillGrid();
  if (CWizardDlg* owner = GetOwner()) {
    owner->UpdateButtons();
    if (m_Traits.boardMarksAfterViewerChange)
      owner->UpdateBoardMarks();
  }
  return true;
}

void CPowerPinsPage::OnAddIcPowerPin() {
  CWizardDlg* owner = GetOwner();
  CHostWizardCallback* callback = owner ? owner->GetHostCallback() : nullptr;
  if (!owner || !callback)
    return;
  const HWND page = m_hWnd;
  const HWND wizard = owner->GetSafeHwnd();
  const HWND focus = ::GetFocus();
  owner->EnableWindow(FALSE);
  callback->HostCommand(m_Traits.hostCommand, 0);
  // The host's command ran foreign code: the wizard, or this page, may be gone now (the dialog object itself
  // stays until this handler returns: its deletion waits while it is busy).
  if (!wizard || !::IsWindow(wizard))
    return;
  ::EnableWindow(wizard, TRUE);
  // Disabling the wizard took the keyboard focus from it: the control that had it takes it back, so that the keys
  // go on working where the user left them.
  if (focus && ::IsWindow(focus) && ::IsChild(wizard, focus) && ::GetFocus() != focus)
    ::SetFocus(focus);
  if (page && ::IsWindow(page))
    owner->UpdateButtons();
}

void CPowerPinsPage::OnAddBoardProbes() {
  if (RunAddBoardProbes() && m_hWnd)
    FillGrid();
}

void CPowerPinsPage::OnGroupByRefDes() {
  m_bGrouping = IsDlgButtonChecked(IDC_GROUP) == BST_CHECKED;
  SetDragAndSort(!m_bGrouping);
  if (m_pGrid && m_pGrid->GetSafeHwnd()) {
    const int width = m_pGrid->GetColWidth(ColNumber);
    if (m_bGrouping) {
      m_nUngroupedHeaderWidth = width;
      m_pGrid->SetColWidth(ColNumber, ColNumber, 2 * width);
    } else {
      // The width remembered when grouping went on, so switching back and forth never drifts.
      m_pGrid->SetColWidth(ColNumber, ColNumber, m_nUngroupedHeaderWidth >= 0 ? m_nUngroupedHeaderWidth : width / 2);
    }
  }
  FillGrid();
}
