#include "brimstead/models/capacitors/CCapacitorModelsPanel.h"

#include "brimstead/models/DecouplingModelsHelper.h"
#include "brimstead/models/NaturalCompare.h"
#include "brimstead/models/capacitors/CCapacitorGrid.h"
#include "brimstead/models/editor/CModelEditor.h"
#include "brimstead/models/groups/CDecouplingGroupsDlg.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "grid/controls/CGXCheckBox.h"
#include "grid/core/CGXFont.h"
#include "platform/framework/CDataExchange.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace {

CCapacitorModelsPanel::ModelEditorRun& EditorRun() {
  static CCapacitorModelsPanel::ModelEditorRun run;
  return run;
}

CString TextOf(const char* text) { return text ? CString(text) : CString(); }

// The member texts of a group row: the first member's text until a later member's text differs.
void TakeMemberText(CString& groupText, const CString& memberText, bool first) {
  if (first)
    groupText = memberText;
  else if (groupText != memberText)
    groupText.Empty();
}

}  // namespace

void CCapacitorModelsPanel::SetModelEditorRun(ModelEditorRun run) { EditorRun() = std::move(run); }

CCapacitorModelsPanel::CCapacitorModelsPanel() : m_pGrid(std::make_unique<CCapacitorGrid>(*this)) {}

CCapacitorModelsPanel::~CCapacitorModelsPanel() {
  m_pGrid.reset();
  m_GroupCollection.Reset();
  m_NetCollection.Reset();
  ReleaseDecoupling();
}

// ---- Host references ---------------------------------------------------------------------------------------

void CCapacitorModelsPanel::ReleaseDecoupling() {
  if (m_pDecoupling && m_pDecouplingBoard) m_pDecouplingBoard->ReleaseInterface(m_pDecoupling);
  m_pDecoupling = nullptr;
  m_pDecouplingBoard = nullptr;
}

void CCapacitorModelsPanel::TakeDecoupling() {
  ReleaseDecoupling();
  if (!m_pBoard) return;
  m_pDecoupling = static_cast<CHostDecoupling*>(m_pBoard->GetInterface(HostInterfaceDecoupling));
  if (m_pDecoupling) m_pDecouplingBoard = m_pBoard;
}

void CCapacitorModelsPanel::Attach(const CStringArray& modelDirectories, CHostModelLibrary* library,
                                   CHostSystem* system, CHostBoard* board, CHostNet* netA, CHostNet* netB,
                                   DWORD_PTR context, const char* unitText) {
  if (&modelDirectories != &m_ModelDirectories) m_ModelDirectories.Copy(modelDirectories);
  m_pModelLibrary = library;
  m_pSystem = system;
  m_pBoard = board;
  m_pFilterNetA = netA;
  m_pFilterNetB = netB;
  m_Context = context;
  m_pUnitText = unitText;
  ReleaseDecoupling();
  m_NetCollection.Reset();
  if (!board) return;
  TakeDecoupling();
  m_NetCollection.Reset(board->GetNets());
}

// ---- Owner and controls ----------------------------------------------------------------------------------

bool CCapacitorModelsPanel::OwnerAlive() const {
  return m_pOwner && m_pOwner->m_hWnd && ::IsWindow(m_pOwner->m_hWnd) && m_pGrid && m_pGrid->m_hWnd;
}

CWnd* CCapacitorModelsPanel::OwnerItem(int id) const {
  return m_pOwner && m_pOwner->m_hWnd ? m_pOwner->GetDlgItem(id) : nullptr;
}

void CCapacitorModelsPanel::ShowItem(int id, bool show) const {
  if (CWnd* item = OwnerItem(id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CCapacitorModelsPanel::EnableItem(int id, bool enable) const {
  if (CWnd* item = OwnerItem(id)) item->EnableWindow(enable);
}

bool CCapacitorModelsPanel::CreateGrid(CWnd* owner) {
  m_pOwner = owner;
  if (!owner || !owner->m_hWnd || !owner->GetDlgItem(IDC_GRID)) return false;
  if (!m_pGrid->m_hWnd && !m_pGrid->SubclassDlgItem(IDC_GRID, owner)) return false;
  m_pGrid->FitModelColumn();
  if (m_bGroupsOnly) ApplyGroupsOnly();
  m_pGrid->RefreshScrollBars();
  return true;
}

void CCapacitorModelsPanel::ApplyGroupsOnly() {
  CCapacitorGrid& grid = *m_pGrid;
  // The model column takes the room of the part names and values.
  grid.SetColWidth(ColModel, ColModel,
                   grid.GetColWidth(ColPartName) + grid.GetColWidth(ColValue) + grid.GetColWidth(ColModel));
  grid.HideCols(ColPartName, ColValue);
  if (!grid.IsColHidden(ColPartName))   // no hiding feature installed
    grid.SetColWidth(ColPartName, ColValue, 0);
  CGXStyle header;
  header.SetValue("Group");
  grid.SetStyleRange(CGXRange(0, ColName), header, gxOverride);
  ShowItem(IDC_EDIT_GROUPS, false);
}

bool CCapacitorModelsPanel::MayResizeColumn(ROWCOL col) const {
  if (col == ColExpand) return false;
  return !(m_bGroupsOnly && (col == ColPartName || col == ColValue));
}

void CCapacitorModelsPanel::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_BOARD, m_BoardCombo);
  DDX_CBIndex(pDX, IDC_BOARD, m_nBoardIndex);
  DDX_Check(pDX, IDC_FILTER, m_nFilterCheck);
  DDX_Control(pDX, IDC_NET_A, m_NetComboA);
  DDX_CBIndex(pDX, IDC_NET_A, m_nNetIndexA);
  DDX_Control(pDX, IDC_NET_B, m_NetComboB);
  DDX_CBIndex(pDX, IDC_NET_B, m_nNetIndexB);
}

// ---- Board chooser and net filter ------------------------------------------------------------------------

void CCapacitorModelsPanel::FillSupplyNets() {
  ShowItem(IDC_EDIT_GROUPS, !m_bGroupsOnly);
  const bool choose = m_pSystem && m_pSystem->MustChooseBoard();
  ShowItem(IDC_BOARD_LABEL, choose);
  ShowItem(IDC_BOARD, choose);
  if (m_pSystem) {
    CHostCollectionRef boards(m_pSystem->GetBoards());
    if (choose) {
      if (m_BoardCombo.m_hWnd) m_BoardCombo.ResetContent();
      int current = -1;
      for (int i = 0; i < boards.Count(); ++i) {
        if (m_BoardCombo.m_hWnd) {
          CString entry = TextOf(m_pSystem->GetBoardFileName(i));
          entry += " [";
          entry += TextOf(m_pSystem->GetBoardInfoText(i));
          entry += " ]";
          m_BoardCombo.AddString(entry);
        }
        if (current < 0 && m_pBoard && boards.Item<CHostBoard>(i) == m_pBoard) current = i;
      }
      m_nBoardIndex = boards.Count() > 0 ? std::max(current, 0) : -1;
      m_pBoard = m_nBoardIndex >= 0 ? boards.Item<CHostBoard>(m_nBoardIndex) : nullptr;
    } else if (!m_pBoard && boards.Count() > 0) {
      m_pBoard = boards.Item<CHostBoard>(0);
    }
  }
  TakeDecoupling();
  m_NetCollection.Reset(m_pBoard ? m_pBoard->GetNets() : nullptr);
  FillNetCombo(m_NetComboA, m_pFilterNetA, m_nNetIndexA);
  FillNetCombo(m_NetComboB, m_pFilterNetB, m_nNetIndexB);
  m_nFilterCheck = m_pFilterNetA && m_pFilterNetB ? 1 : 0;
  EnableItem(IDC_NET_A, m_nFilterCheck != 0);
  EnableItem(IDC_NET_B, m_nFilterCheck != 0);
  // Without the board's decoupling data there is nothing to group.
  EnableItem(IDC_EDIT_GROUPS, m_pDecoupling != nullptr);
  if (m_pOwner && m_pOwner->m_hWnd) m_pOwner->UpdateData(FALSE);
}

void CCapacitorModelsPanel::FillNetCombo(CComboBox& combo, CHostNet*& filterNet, int& index) {
  std::vector<CHostNet*> entries{nullptr};
  std::vector<CString> texts{AllSupplyNets};
  for (int i = 0; i < m_NetCollection.Count(); ++i) {
    CHostNet* net = m_NetCollection.Item<CHostNet>(i);
    double voltage = 0.0;
    if (!net || !net->IsSupply(&voltage)) continue;
    CString text;
    text.Format("%s, %.1fvolt ", TextOf(net->GetName()).GetString(), voltage);
    entries.push_back(net);
    texts.push_back(text);
  }
  index = 0;
  for (size_t i = 1; i < entries.size(); ++i)
    if (filterNet && entries[i] == filterNet) {
      index = static_cast<int>(i);
      break;
    }
  if (index == 0) filterNet = nullptr;
  if (!combo.m_hWnd) return;
  combo.ResetContent();
  for (size_t i = 0; i < entries.size(); ++i) {
    const int at = combo.AddString(texts[i]);
    combo.SetItemDataPtr(at, entries[i]);
  }
  combo.SetCurSel(index);
}

bool CCapacitorModelsPanel::PassesNetFilter(CHostComponent* capacitor, CHostNet* netA, CHostNet* netB) {
  if (!capacitor) return false;
  bool onA = netA == nullptr, onB = netB == nullptr;
  CHostCollectionRef pins(capacitor->GetPins());
  for (int i = 0; i < pins.Count() && !(onA && onB); ++i) {
    CHostPin* pin = pins.Item<CHostPin>(i);
    CHostNet* net = pin ? pin->GetNet() : nullptr;
    if (!net) continue;
    onA = onA || net == netA;
    onB = onB || net == netB;
  }
  return onA && onB;
}

void CCapacitorModelsPanel::OnFilterCheck() {
  if (m_pOwner) m_pOwner->UpdateData(TRUE);
  EnableItem(IDC_NET_A, m_nFilterCheck != 0);
  EnableItem(IDC_NET_B, m_nFilterCheck != 0);
  FillGrid(false);
  UpdateRowCount();
}

void CCapacitorModelsPanel::OnFilterChange() {
  if (m_pOwner) m_pOwner->UpdateData(TRUE);
  auto selected = [](CComboBox& combo, int index) -> CHostNet* {
    if (!combo.m_hWnd || index < 0) return nullptr;
    return static_cast<CHostNet*>(combo.GetItemDataPtr(index));
  };
  m_pFilterNetA = selected(m_NetComboA, m_nNetIndexA);
  m_pFilterNetB = selected(m_NetComboB, m_nNetIndexB);
  if (!m_nFilterCheck) return;
  FillGrid(false);
  UpdateRowCount();
}

void CCapacitorModelsPanel::OnBoardChange() {
  if (!m_pSystem) return;
  if (m_pOwner) m_pOwner->UpdateData(TRUE);
  {
    CHostCollectionRef boards(m_pSystem->GetBoards());
    if (m_nBoardIndex < 0 || m_nBoardIndex >= boards.Count()) return;
    m_pBoard = boards.Item<CHostBoard>(m_nBoardIndex);
  }
  // The nets of the filter are the chosen board's: the chooser, the interface and the net combos are filled
  // anew for it (a net of the other board would let no capacitor pass).
  FillSupplyNets();
  FillGrid(false);
  UpdateRowCount();
}

// ---- Records -----------------------------------------------------------------------------------------------

void CCapacitorModelsPanel::FillGrid(bool keepExpanded) {
  CDecouplingModelsHelper* helper = GetDecouplingModelsHelper();
  auto describe = [helper](CCapacitorRowRecord& record, CHostCapacitorModel* model, bool disabled) {
    record.m_pModel = model;
    record.m_ModelText = FormatModelDescription(model);
    record.m_bModelValid = helper && helper->IsModelValid(model) ? 1 : 0;
    record.m_bModelEnabled = disabled ? 0 : 1;
  };
  auto describeCapacitor = [](CCapacitorRowRecord& record, CHostComponent* capacitor) {
    CHostPart* part = capacitor->GetPart();
    record.m_PartName = part ? TextOf(part->GetPartName()) : CString();
    record.m_ValueText = FormatCapacitance(part);
  };
  const bool filtering = m_nFilterCheck && (m_pFilterNetA || m_pFilterNetB);
  auto passes = [&](CHostComponent* capacitor) {
    return !filtering || PassesNetFilter(capacitor, m_pFilterNetA, m_pFilterNetB);
  };

  std::vector<CCapacitorRowRecord> records;
  // 1. The board's decoupling capacitors, none placed yet.
  CHostCollectionRef components;
  std::unordered_map<CHostComponent*, bool> placed;
  if (!m_bGroupsOnly && m_pBoard && m_pDecoupling) {
    components.Reset(m_pBoard->GetComponents());
    for (int i = 0; i < components.Count(); ++i) {
      CHostComponent* component = components.Item<CHostComponent>(i);
      if (component && m_pDecoupling->IsDecouplingCapacitor(component)) placed.emplace(component, false);
    }
  }
  // 2. The groups in natural order of their names.
  m_GroupCollection.Reset(m_pDecoupling ? m_pDecoupling->GetGroups() : nullptr);
  struct NamedGroup {
    CHostCapacitorGroup* group;
    CString name;
  };
  std::vector<NamedGroup> groups;
  for (int i = 0; i < m_GroupCollection.Count(); ++i)
    if (CHostCapacitorGroup* group = m_GroupCollection.Item<CHostCapacitorGroup>(i))
      groups.push_back({group, TextOf(group->GetName())});
  std::stable_sort(groups.begin(), groups.end(),
                   [](const NamedGroup& a, const NamedGroup& b) { return CompareNatural(a.name, b.name) < 0; });
  // 3. Each group followed by its members, from the last to the first.
  for (const NamedGroup& named : groups) {
    const int groupIndex = static_cast<int>(records.size());
    CCapacitorRowRecord& groupRecord = records.emplace_back();
    groupRecord.m_pGroup = named.group;
    bool disabled = false;
    CHostCapacitorModel* model = m_pDecoupling->GetGroupModel(named.group, &disabled);
    describe(groupRecord, model, disabled);
    // Each member record is entered right after the group's record, so the rows show the host's order.
    CHostCollectionRef members(named.group->GetMembers());
    std::vector<CCapacitorRowRecord> memberRecords;
    for (int j = members.Count() - 1; j >= 0; --j) {
      CHostComponent* capacitor = members.Item<CHostComponent>(j);
      if (!capacitor) continue;
      if (auto found = placed.find(capacitor); found != placed.end()) found->second = true;
      if (!passes(capacitor)) continue;
      CCapacitorRowRecord& member = memberRecords.emplace_back();
      member.m_pCapacitor = capacitor;
      member.m_pGroup = named.group;
      describeCapacitor(member, capacitor);
      member.m_nParent = groupIndex;
      const bool first = memberRecords.size() == 1;
      TakeMemberText(records[groupIndex].m_PartName, member.m_PartName, first);
      TakeMemberText(records[groupIndex].m_ValueText, member.m_ValueText, first);
    }
    if (memberRecords.empty()) {
      records.pop_back();   // no member to show
      continue;
    }
    std::move(memberRecords.rbegin(), memberRecords.rend(), std::back_inserter(records));
  }
  // 4. The decoupling capacitors of no group, from the last to the first, each entered before the ones found
  // so far (the rows show the board's order).
  if (!m_bGroupsOnly) {
    std::vector<CCapacitorRowRecord> ungrouped;
    for (int i = components.Count() - 1; i >= 0; --i) {
      CHostComponent* capacitor = components.Item<CHostComponent>(i);
      const auto found = placed.find(capacitor);
      if (found == placed.end() || found->second || !passes(capacitor)) continue;
      CCapacitorRowRecord& record = ungrouped.emplace_back();
      record.m_pCapacitor = capacitor;
      bool disabled = false;
      CHostCapacitorModel* model = m_pDecoupling->GetComponentModel(capacitor, &disabled);
      describe(record, model, disabled);
      describeCapacitor(record, capacitor);
    }
    std::move(ungrouped.rbegin(), ungrouped.rend(), std::back_inserter(records));
  }
  // 5. Groups stay expanded across a refill of the same shape.
  if (keepExpanded && !m_bGroupsOnly && records.size() == m_Records.size()) {
    for (size_t i = 0; i < records.size(); ++i)
      if (records[i].IsGroupRow() && m_Records[i].m_bExpanded) records[i].m_bExpanded = 1;
  } else if (m_pGrid->m_hWnd) {
    m_pGrid->SetRowCount(0);
  }
  m_Records = std::move(records);
}

// ---- Rows ----------------------------------------------------------------------------------------------------

int CCapacitorModelsPanel::RecordOfRow(ROWCOL row) {
  if (!m_pGrid->m_hWnd || row == 0 || row > m_pGrid->GetRowCount()) return -1;
  CGXStyle style;
  if (!m_pGrid->ReadStoredStyle(row, ColRecord, style, gxCopy, 0) || !style.IsIncluded(GX_IN_ITEMDATA)) return -1;
  const auto index = static_cast<size_t>(style.GetItemDataPtr());
  return index < m_Records.size() ? static_cast<int>(index) : -1;
}

std::vector<ROWCOL> CCapacitorModelsPanel::SelectedRows() {
  return m_pGrid->m_hWnd ? m_pGrid->SelectedRows() : std::vector<ROWCOL>();
}

void CCapacitorModelsPanel::UpdateRowCount() {
  if (!m_pGrid->m_hWnd) return;
  {
    CCapacitorGrid::PaintLock lock(*m_pGrid);
    std::vector<int> visible;
    visible.reserve(m_Records.size());
    for (size_t i = 0; i < m_Records.size(); ++i) {
      const int parent = m_Records[i].m_nParent;
      if (parent < 0 || m_Records[static_cast<size_t>(parent)].m_bExpanded) visible.push_back(static_cast<int>(i));
    }
    m_pGrid->SetRowCount(static_cast<ROWCOL>(visible.size()));
    ROWCOL row = 1;
    for (int record : visible) FillRow(record, row++);
    m_pGrid->FitModelTexts();
  }
  UpdateSelection(false, nullptr);
}

void CCapacitorModelsPanel::FillRow(int record, ROWCOL row) {
  if (!m_pGrid->m_hWnd || record < 0 || static_cast<size_t>(record) >= m_Records.size()) return;
  const CCapacitorRowRecord& r = m_Records[static_cast<size_t>(record)];
  CCapacitorGrid& grid = *m_pGrid;

  CGXStyle header;
  header.SetItemDataPtr(static_cast<DWORD_PTR>(record));
  grid.SetStyleRange(CGXRange(row, ColRecord), header, gxOverride);

  CGXStyle expand;
  if (r.IsGroupRow() && !m_bGroupsOnly)
    expand.SetControl(r.m_bExpanded ? IDC_GRID_MINUS_BUTTON : IDC_GRID_PLUS_BUTTON);
  else
    expand.SetControl(GX_IDS_CTRL_STATIC);
  expand.SetValue("");
  grid.SetStyleRange(CGXRange(row, ColExpand), expand, gxCopy);

  // One line each: a text cut at the column's edge shows whole as the cell's tip (the grid gives a wrapped text none).
  auto text = [&](ROWCOL col, const CString& value, const CGXFont* font, COLORREF colour) {
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_STATIC).SetEnabled(FALSE).SetWrapText(FALSE).SetValue(value).SetTextColor(colour);
    if (font) style.SetFont(*font);
    grid.SetStyleRange(CGXRange(row, col), style, gxCopy);
  };
  CGXFont bold, plain, italic;
  bold.SetWeight(700);
  plain.SetWeight(400);
  italic.SetItalic(TRUE);
  if (r.IsGroupRow()) {
    text(ColName, TextOf(r.m_pGroup->GetName()), &bold, EnabledColour);
    text(ColPartName, r.m_PartName, &bold, EnabledColour);
    text(ColValue, r.m_ValueText, &bold, EnabledColour);
  } else {
    CString name = TextOf(r.m_pCapacitor->GetName());
    if (r.IsMemberRow()) name = "    " + name;
    text(ColName, name, r.IsMemberRow() ? &italic : &plain, EnabledColour);
    text(ColPartName, r.m_PartName, nullptr, EnabledColour);
    text(ColValue, r.m_ValueText, nullptr, EnabledColour);
  }
  const COLORREF modelColour = !r.m_bModelValid ? InvalidColour : r.m_bModelEnabled ? EnabledColour : DisabledColour;
  text(ColModel, r.IsMemberRow() ? CString() : r.m_ModelText, nullptr, modelColour);

  CGXStyle enabled;
  if (r.IsMemberRow()) {
    enabled.SetControl(GX_IDS_CTRL_STATIC).SetValue("");
  } else {
    enabled.SetControl(GX_IDS_CTRL_CHECKBOX3D)
        .SetValue(r.m_pModel && r.m_bModelEnabled ? "1" : "0")
        .SetEnabled(r.m_pModel != nullptr);
  }
  grid.SetStyleRange(CGXRange(row, ColEnabled), enabled, gxCopy);
}

void CCapacitorModelsPanel::ToggleGroup(ROWCOL row) {
  const int index = RecordOfRow(row);
  if (index < 0 || m_bGroupsOnly || !m_Records[static_cast<size_t>(index)].IsGroupRow()) return;
  CCapacitorRowRecord& group = m_Records[static_cast<size_t>(index)];
  group.m_bExpanded = group.m_bExpanded ? 0 : 1;
  {
    CCapacitorGrid::PaintLock lock(*m_pGrid);
    FillRow(index, row);
    ROWCOL last = row;
    while (last < m_pGrid->GetRowCount()) {
      const int next = RecordOfRow(last + 1);
      if (next < 0 || m_Records[static_cast<size_t>(next)].m_nParent != index) break;
      ++last;
    }
    if (last > row) m_pGrid->RemoveRows(row + 1, last);
    // The group's row is written anew, its members' rows taken out or put in: only these are measured again.
    brimwiz::ChangedRows changed{row, 1 + (last - row), 1};
    if (m_Records[static_cast<size_t>(index)].m_bExpanded) {
      // Member records follow their group's record.
      int member = index + 1;
      while (static_cast<size_t>(member) < m_Records.size() && m_Records[static_cast<size_t>(member)].m_nParent == index)
        ++member;
      const ROWCOL count = static_cast<ROWCOL>(member - index - 1);
      if (count > 0) {
        m_pGrid->InsertRows(row + 1, count);
        for (ROWCOL i = 0; i < count; ++i) FillRow(index + 1 + static_cast<int>(i), row + 1 + i);
        changed.inserted += count;
      }
    }
    m_pGrid->FitModelTexts(&changed);
  }
  UpdateSelection(false, nullptr);
}

void CCapacitorModelsPanel::ToggleModelEnabled(ROWCOL row) {
  const int clicked = RecordOfRow(row);
  if (clicked < 0 || !m_pDecoupling) return;
  if (!m_Records[static_cast<size_t>(clicked)].HasSwitchableModel()) {
    FillRow(clicked, row);   // no box to switch: the cell shows the record again
    return;
  }
  const BYTE newState = m_Records[static_cast<size_t>(clicked)].m_bModelEnabled ? 0 : 1;
  std::vector<ROWCOL> rows = SelectedRows();
  if (std::find(rows.begin(), rows.end(), row) == rows.end()) rows = {row};
  {
    CCapacitorGrid::PaintLock lock(*m_pGrid);
    for (ROWCOL selected : rows) {
      const int index = RecordOfRow(selected);
      if (index < 0) continue;
      CCapacitorRowRecord& record = m_Records[static_cast<size_t>(index)];
      if (record.HasSwitchableModel() && record.m_bModelEnabled != newState) {
        const bool disabled = newState == 0;
        bool done;
        bool nowDisabled = false;
        if (record.IsGroupRow()) {
          done = m_pDecoupling->SetGroupModel(record.m_pGroup, record.m_pModel, disabled);
          // The host may keep the model as a new object: the record holds the one it answers now.
          if (done) record.m_pModel = m_pDecoupling->GetGroupModel(record.m_pGroup, &nowDisabled);
        } else {
          done = m_pDecoupling->SetComponentModel(record.m_pCapacitor, record.m_pModel, disabled);
          if (done) record.m_pModel = m_pDecoupling->GetComponentModel(record.m_pCapacitor, &nowDisabled);
        }
        if (done) record.m_bModelEnabled = newState;
      }
      FillRow(index, selected);
    }
  }
}

// ---- Selection and actions ---------------------------------------------------------------------------------

void CCapacitorModelsPanel::UpdateSelection(bool extend, std::vector<int>* records) {
  const std::vector<ROWCOL> rows = SelectedRows();
  std::vector<int> taken;
  std::vector<std::pair<ROWCOL, ROWCOL>> extensions;
  for (ROWCOL row : rows) {
    int index = RecordOfRow(row);
    if (index < 0) continue;
    ROWCOL groupRow = row;
    if (m_Records[static_cast<size_t>(index)].IsMemberRow()) {
      index = m_Records[static_cast<size_t>(index)].m_nParent;
      while (groupRow > 1 && RecordOfRow(groupRow) != index) --groupRow;
    }
    if (std::find(taken.begin(), taken.end(), index) != taken.end()) continue;
    taken.push_back(index);
    const CCapacitorRowRecord& record = m_Records[static_cast<size_t>(index)];
    if (extend && record.IsGroupRow() && record.m_bExpanded) {
      ROWCOL last = groupRow;
      while (last < m_pGrid->GetRowCount() && RecordOfRow(last + 1) >= 0 &&
             m_Records[static_cast<size_t>(RecordOfRow(last + 1))].m_nParent == index)
        ++last;
      if (last > groupRow) extensions.emplace_back(groupRow + 1, last);
    }
  }
  for (const auto& [first, last] : extensions) {
    bool all = true;
    for (ROWCOL row = first; row <= last && all; ++row) all = std::find(rows.begin(), rows.end(), row) != rows.end();
    if (!all) m_pGrid->SelectRows(first, last);
  }
  if (records) *records = taken;
  const bool any = !taken.empty();
  for (int id : {static_cast<int>(IDC_ASSIGN), static_cast<int>(IDC_REMOVE)}) {
    CWnd* button = OwnerItem(id);
    if (!button) continue;
    // A button that is switched off while it has the focus hands the focus to the grid.
    if (!any && button->IsWindowEnabled() && ::GetFocus() == button->m_hWnd && m_pGrid->m_hWnd) m_pGrid->SetFocus();
    button->EnableWindow(any);
  }
}

std::vector<int> CCapacitorModelsPanel::SelectedRecords() {
  std::vector<int> records;
  UpdateSelection(true, &records);
  return records;
}

bool CCapacitorModelsPanel::KeepsSelectionOnPress(ROWCOL row, ROWCOL col) {
  if (col != ColEnabled || row == 0) return false;
  const int index = RecordOfRow(row);
  if (index < 0 || !m_Records[static_cast<size_t>(index)].HasSwitchableModel()) return false;
  const std::vector<ROWCOL> rows = SelectedRows();
  return std::find(rows.begin(), rows.end(), row) != rows.end();
}

void CCapacitorModelsPanel::AssignModel() {
  if (!m_pDecoupling || !m_pGrid->m_hWnd) return;
  const std::vector<int> selected = SelectedRecords();
  if (selected.empty()) return;   // no record, no reference capacitor
  // The first selected record with a model gives it and the reference capacitor.
  CHostCapacitorModel* model = nullptr;
  CHostComponent* reference = nullptr;
  for (int index : selected) {
    const CCapacitorRowRecord& record = m_Records[static_cast<size_t>(index)];
    bool disabled = false;
    if (record.IsGroupRow()) {
      model = m_pDecoupling->GetGroupModel(record.m_pGroup, &disabled);
      CHostCollectionRef members(record.m_pGroup->GetMembers());
      reference = members.Count() > 0 ? members.Item<CHostComponent>(0) : nullptr;
    } else if (record.IsUngroupedRow()) {
      model = m_pDecoupling->GetComponentModel(record.m_pCapacitor, &disabled);
      reference = record.m_pCapacitor;
    }
    if (model) break;
  }
  CStringArray pinNames;
  if (reference) {
    CHostCollectionRef pins(reference->GetPins());
    for (int i = 0; i < pins.Count(); ++i)
      if (CHostPin* pin = pins.Item<CHostPin>(i)) pinNames.Add(TextOf(pin->GetPinName()));
  }
  double defaultCapacitance = 0.0;
  if (!model && !m_bGroupsOnly && reference)
    if (CHostPart* part = reference->GetPart()) defaultCapacitance = part->GetCapacitance();

  // The layers outlive the editor, which hands them to its calculator.
  CHostCollectionRef layers(m_pBoard ? m_pBoard->GetLayers() : nullptr);
  CModelEditor editor(m_pOwner);
  editor.SetPinNames(pinNames);
  editor.SetModelDirectories(m_ModelDirectories);
  if (!model && defaultCapacitance > 0.0) editor.SetDefaultCapacitance(defaultCapacitance);
  editor.SetModel(model);
  editor.SetModelLibrary(m_pModelLibrary);
  editor.SetLayers(layers.Get());
  if (m_bExtendedKinds) editor.SetExtendedKinds(true);
  const INT_PTR result = EditorRun() ? EditorRun()(editor) : editor.DoModal();
  // The nested loop may have closed the owner.
  if (result != IDOK || !OwnerAlive() || !m_pDecoupling) return;
  const std::unique_ptr<CHostCapacitorModel> assigned(editor.GetResultModel());
  if (!assigned) return;
  for (int index : selected) {
    const CCapacitorRowRecord& record = m_Records[static_cast<size_t>(index)];
    if (record.IsGroupRow())
      m_pDecoupling->SetGroupModel(record.m_pGroup, assigned.get(), false);
    else if (record.IsUngroupedRow())
      m_pDecoupling->SetComponentModel(record.m_pCapacitor, assigned.get(), false);
  }
  FillGrid(true);
  UpdateRowCount();
}

void CCapacitorModelsPanel::RemoveModels() {
  if (!m_pDecoupling || !m_pGrid->m_hWnd) return;
  for (int index : SelectedRecords()) {
    const CCapacitorRowRecord& record = m_Records[static_cast<size_t>(index)];
    if (record.IsGroupRow())
      m_pDecoupling->SetGroupModel(record.m_pGroup, nullptr, false);
    else if (record.IsUngroupedRow())
      m_pDecoupling->SetComponentModel(record.m_pCapacitor, nullptr, false);
  }
  FillGrid(true);
  UpdateRowCount();
}

void CCapacitorModelsPanel::EditGroups() {
  if (!m_pBoard || !m_pDecoupling) return;
  CDecouplingGroupsDlg dialog(m_pBoard, nullptr, m_pOwner);
  dialog.m_bMils = CDecouplingGroupsDlg::UnitTextMeansMils(m_pUnitText);
  if (dialog.DoModal() != IDOK || !OwnerAlive()) return;
  FillGrid(false);
  UpdateRowCount();
}

// ---- The grid owner's listener -----------------------------------------------------------------------------

bool CCapacitorModelsPanel::OnCellButtonClicked(CWizardGridWnd*, ROWCOL row, ROWCOL col) {
  if (col == ColExpand) ToggleGroup(row);
  return true;
}

bool CCapacitorModelsPanel::OnGridNotify(CWizardGridWnd*, ROWCOL, ROWCOL) {
  AssignModel();
  return true;
}
