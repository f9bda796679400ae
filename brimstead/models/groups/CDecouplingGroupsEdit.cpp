// The decoupling groups dialog's grids and the user's operations in them: filling, expanding and collapsing a
// group, ">>" and "<<", the buttons' states and the editing of group names.
#include "brimstead/models/groups/CDecouplingGroupsDlg.h"

#include "brimstead/models/DecouplingModelsHelper.h"
#include "platform/framework/MessageBox.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXFont.h"

#include <algorithm>

namespace {
constexpr COLORREF kLightGrey = 0x00C0C0C0;
constexpr const char* kMemberIndent = "    ";

CapacitorEntry* AsCapacitor(GroupsRowEntry* entry) {
  return entry && entry->kind == EntryCapacitor ? static_cast<CapacitorEntry*>(entry) : nullptr;
}

GroupEntry* AsGroup(GroupsRowEntry* entry) {
  return entry && (entry->kind == EntryGroup || entry->kind == EntryNewGroup) ? static_cast<GroupEntry*>(entry)
                                                                             : nullptr;
}

void SetCell(CGroupsGrid& grid, ROWCOL row, ROWCOL col, const CGXStyle& style) {
  grid.SetStyleRange(CGXRange(row, col), style, gxCopy);
}

// Column 1 of a group row: its expand button, showing the group's state.
CGXStyle ExpandButton(bool expanded) {
  CGXStyle style;
  style.SetControl(expanded ? CGroupsGrid::IDC_EXPANDED_BUTTON : CGroupsGrid::IDC_COLLAPSED_BUTTON).SetEnabled(TRUE);
  return style;
}

// Column 1 of every other row: nothing to click.
CGXStyle NoButton() {
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_STATIC).SetEnabled(FALSE);
  return style;
}
}  // namespace

GroupsRowEntry* CDecouplingGroupsDlg::EntryOfRow(CGroupsGrid& grid, ROWCOL row) {
  CGXStyle style;
  if (row == 0 || !grid.ReadStoredStyle(row, 0, style, gxCopy, 0) || !style.IsIncluded(GX_IN_ITEMDATA)) return nullptr;
  return reinterpret_cast<GroupsRowEntry*>(style.GetItemDataPtr());
}

ROWCOL CDecouplingGroupsDlg::FindRowOfEntry(CGroupsGrid& grid, const GroupsRowEntry* entry) {
  for (ROWCOL row = grid.GetRowCount(); row >= 1; --row)
    if (EntryOfRow(grid, row) == entry) return row;
  return 0;
}

GroupEntry* CDecouplingGroupsDlg::GroupOfRow(ROWCOL row) {
  GroupsRowEntry* entry = EntryOfRow(m_GroupsGrid, row);
  if (CapacitorEntry* capacitor = AsCapacitor(entry)) return capacitor->group;
  return AsGroup(entry);
}

void CDecouplingGroupsDlg::FillGrids() {
  {
    CGroupsGrid::PaintLock lock(m_CapacitorGrid);
    m_CapacitorGrid.SetRowCount(0);
    const auto ungrouped = std::count_if(m_Capacitors.begin(), m_Capacitors.end(), [](const auto& c) { return !c->group; });
    m_CapacitorGrid.SetRowCount(static_cast<ROWCOL>(ungrouped));
    ROWCOL row = 1;
    for (const auto& capacitor : m_Capacitors)
      if (!capacitor->group) FillRow(m_CapacitorGrid, row++, capacitor.get());
  }
  {
    CGroupsGrid::PaintLock lock(m_GroupsGrid);
    m_GroupsGrid.SetRowCount(0);
    const auto shown = std::count_if(m_Groups.begin(), m_Groups.end(), [](const auto& g) { return g->memberCount != 0; });
    m_GroupsGrid.SetRowCount(1 + static_cast<ROWCOL>(shown));
    FillRow(m_GroupsGrid, 1, &m_NewGroup);
    ROWCOL row = 2;
    // A host group without decoupling capacitors gets no row; its entry keeps its name taken.
    for (const auto& group : m_Groups)
      if (group->memberCount != 0) FillRow(m_GroupsGrid, row++, group.get());
  }
  UpdateButtons();
}

void CDecouplingGroupsDlg::FillRow(CGroupsGrid& grid, ROWCOL row, GroupsRowEntry* entry) {
  CGXStyle header;
  header.SetItemDataPtr(reinterpret_cast<DWORD_PTR>(entry));
  SetCell(grid, row, 0, header);
  if (CapacitorEntry* capacitor = AsCapacitor(entry)) {
    const CString* texts[] = {&capacitor->refDes, &capacitor->partName, &capacitor->value, &capacitor->dimension};
    if (capacitor->group) {
      SetCell(grid, row, CGroupsGrid::ColExpand, NoButton());
      CGXStyle name;
      name.SetValue(CString(kMemberIndent) + capacitor->refDes).SetFont(CGXFont().SetItalic(TRUE)).SetEnabled(FALSE);
      SetCell(grid, row, CGroupsGrid::ColName, name);
    } else {
      SetCell(grid, row, CGroupsGrid::ColName, CGXStyle().SetValue(capacitor->refDes).SetEnabled(FALSE));
    }
    for (ROWCOL col = CGroupsGrid::ColPartName; col <= CGroupsGrid::ColDimension; ++col)
      SetCell(grid, row, col, CGXStyle().SetValue(*texts[col - CGroupsGrid::ColName]).SetEnabled(FALSE));
    return;
  }
  GroupEntry* group = AsGroup(entry);
  if (!group) return;
  const bool isNew = group->kind == EntryNewGroup;
  CGXFont font;
  font.SetWeight(isNew ? 400 : 700).SetItalic(isNew ? TRUE : FALSE);
  if (isNew) {
    SetCell(grid, row, CGroupsGrid::ColExpand, NoButton());
    CGXStyle name;
    name.SetValue(group->name).SetFont(font).SetControl(GX_IDS_CTRL_STATIC).SetEnabled(FALSE);
    SetCell(grid, row, CGroupsGrid::ColName, name);
    for (ROWCOL col = CGroupsGrid::ColPartName; col <= CGroupsGrid::ColDimension; ++col)
      SetCell(grid, row, col, CGXStyle().SetEnabled(FALSE));
    return;
  }
  SetCell(grid, row, CGroupsGrid::ColExpand, ExpandButton(group->expanded));
  // A name is one line: its editor takes a pasted text up to its first line break, as typing gives none.
  CGXStyle name;
  name.SetValue(group->name).SetFont(font).SetControl(GX_IDS_CTRL_EDIT).SetEnabled(TRUE).SetWrapText(FALSE);
  SetCell(grid, row, CGroupsGrid::ColName, name);
  const CString* summary[] = {&group->partName, &group->value, &group->dimension};
  for (ROWCOL col = CGroupsGrid::ColPartName; col <= CGroupsGrid::ColDimension; ++col) {
    const CString& text = *summary[col - CGroupsGrid::ColPartName];
    CGXStyle cell;
    cell.SetEnabled(FALSE);
    if (text == MembersDifferText)
      cell.SetValue("").SetInterior(m_HatchBrush);
    else
      cell.SetValue(text).SetFont(font).SetInteriorColor(kLightGrey);
    SetCell(grid, row, col, cell);
  }
}

bool CDecouplingGroupsDlg::SetGroupExpanded(ROWCOL row, int mode) {
  GroupsRowEntry* entry = EntryOfRow(m_GroupsGrid, row);
  if (!entry || entry->kind != EntryGroup) return false;
  GroupEntry& group = *static_cast<GroupEntry*>(entry);
  const bool expand = mode == 0 ? !group.expanded : mode > 0;
  if (expand == group.expanded) return false;
  group.expanded = expand;
  CGroupsGrid::PaintLock lock(m_GroupsGrid);
  SetCell(m_GroupsGrid, row, CGroupsGrid::ColExpand, ExpandButton(expand));
  ROWCOL last = row;
  while (last < m_GroupsGrid.GetRowCount()) {
    CapacitorEntry* member = AsCapacitor(EntryOfRow(m_GroupsGrid, last + 1));
    if (!member || member->group != &group) break;
    ++last;
  }
  if (last > row) m_GroupsGrid.RemoveRows(row + 1, last);
  if (expand) {
    std::vector<CapacitorEntry*> members;
    for (const auto& capacitor : m_Capacitors)
      if (capacitor->group == &group) members.push_back(capacitor.get());
    if (!members.empty()) {
      m_GroupsGrid.InsertRows(row + 1, static_cast<ROWCOL>(members.size()));
      for (std::size_t i = 0; i < members.size(); ++i)
        FillRow(m_GroupsGrid, row + 1 + static_cast<ROWCOL>(i), members[i]);
    }
  }
  return true;
}

std::vector<ROWCOL> CDecouplingGroupsDlg::FilterByPinSet(const std::vector<ROWCOL>& rows, const GroupEntry& target) {
  std::vector<ROWCOL> kept;
  CHostComponent* reference = target.reference;
  if (!reference && !rows.empty())
    if (CapacitorEntry* first = AsCapacitor(EntryOfRow(m_CapacitorGrid, rows.front()))) reference = first->hostCapacitor;
  if (!reference) return kept;
  CDecouplingModelsHelper* helper = GetDecouplingModelsHelper();
  for (ROWCOL row : rows) {
    CapacitorEntry* capacitor = AsCapacitor(EntryOfRow(m_CapacitorGrid, row));
    if (capacitor && capacitor->hostCapacitor && helper->HaveSamePins(capacitor->hostCapacitor, reference))
      kept.push_back(row);
  }
  return kept;
}

GroupEntry& CDecouplingGroupsDlg::MakeNewGroup(CapacitorEntry& firstMember) {
  auto group = std::make_unique<GroupEntry>();
  for (int number = 1;; ++number) {
    group->name.Format("Group%d", number);
    if (IsGroupNameUnique(group->name, nullptr)) break;
  }
  group->reference = firstMember.hostCapacitor;
  m_Groups.push_back(std::move(group));
  return *m_Groups.back();
}

void CDecouplingGroupsDlg::OnMoveToGroup() {
  const std::vector<ROWCOL> groupRows = m_GroupsGrid.SelectedRows();
  GroupEntry* target = groupRows.empty() ? nullptr : GroupOfRow(groupRows.front());
  if (!target) target = &m_NewGroup;
  const std::vector<ROWCOL> selected = m_CapacitorGrid.SelectedRows();
  const std::vector<ROWCOL> rows = FilterByPinSet(selected, *target);
  // A target group without a row cannot take capacitors (every group with members has one).
  if (rows.empty() || (target->kind == EntryGroup && !FindRowOfEntry(m_GroupsGrid, target))) return;
  if (rows.size() < selected.size())
    MessageBox("Selected capacitors have different sets of pins.\nSome of capacitors are left unmoved.",
               "Move Capacitors to Group", MB_OK | MB_ICONWARNING);
  ROWCOL newGroupRow = 0;
  {
    CGroupsGrid::PaintLock capacitorLock(m_CapacitorGrid);
    CGroupsGrid::PaintLock groupsLock(m_GroupsGrid);
    ROWCOL targetRow = 0;
    if (target->kind == EntryNewGroup) {
      CapacitorEntry* first = AsCapacitor(EntryOfRow(m_CapacitorGrid, rows.front()));
      target = &MakeNewGroup(*first);
      targetRow = m_GroupsGrid.GetRowCount() + 1;
      m_GroupsGrid.InsertRows(targetRow, 1);
      FillRow(m_GroupsGrid, targetRow, target);
      newGroupRow = targetRow;
    } else {
      targetRow = FindRowOfEntry(m_GroupsGrid, target);
    }
    SetGroupExpanded(targetRow, 1);
    ROWCOL insertAt = targetRow + 1;
    while (insertAt <= m_GroupsGrid.GetRowCount()) {
      CapacitorEntry* member = AsCapacitor(EntryOfRow(m_GroupsGrid, insertAt));
      if (!member || member->group != target) break;
      ++insertAt;
    }
    const ROWCOL count = static_cast<ROWCOL>(rows.size());
    m_GroupsGrid.InsertRows(insertAt, count);
    // Last selected row first, so that the rows still to remove keep their numbers; the copy of the selection
    // follows the removals and ends up holding the capacitors left unmoved.
    std::vector<ROWCOL> unmoved = selected;
    for (std::size_t i = rows.size(); i-- > 0;) {
      const ROWCOL row = rows[i];
      CapacitorEntry* capacitor = AsCapacitor(EntryOfRow(m_CapacitorGrid, row));
      m_CapacitorGrid.RemoveRows(row, row);
      std::erase(unmoved, row);
      for (ROWCOL& other : unmoved)
        if (other > row) --other;
      capacitor->group = target;
      ++target->memberCount;
      target->membersChanged = true;
      FillRow(m_GroupsGrid, insertAt + static_cast<ROWCOL>(i), capacitor);
    }
    if (UpdateGroupSummary(*target)) FillRow(m_GroupsGrid, targetRow, target);
    m_CapacitorGrid.ClearSelection();
    for (ROWCOL row : unmoved) m_CapacitorGrid.SelectRows(row, row);
    m_GroupsGrid.ClearSelection();
    if (newGroupRow)
      m_GroupsGrid.SelectRows(newGroupRow, newGroupRow);
    else
      m_GroupsGrid.SelectRows(insertAt, insertAt + count - 1);
  }
  if (newGroupRow) EditCell(m_GroupsGrid, newGroupRow, CGroupsGrid::ColName);
  UpdateButtons();
}

void CDecouplingGroupsDlg::OnRemoveFromGroup() {
  auto release = [](CapacitorEntry& capacitor) {
    GroupEntry& group = *capacitor.group;
    if (--group.memberCount <= 0) group.deleted = true;
    group.membersChanged = true;
    capacitor.group = nullptr;
  };
  const std::vector<ROWCOL> selected = m_GroupsGrid.SelectedRows();
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    GroupsRowEntry* entry = EntryOfRow(m_GroupsGrid, *it);
    if (CapacitorEntry* capacitor = AsCapacitor(entry)) {
      if (capacitor->group) release(*capacitor);
    } else if (entry && entry->kind == EntryGroup) {
      for (auto c = m_Capacitors.rbegin(); c != m_Capacitors.rend(); ++c)
        if ((*c)->group == entry) release(**c);
    }
  }
  {
    CGroupsGrid::PaintLock lock(m_GroupsGrid);
    auto leaves = [this](ROWCOL row) {
      GroupsRowEntry* entry = EntryOfRow(m_GroupsGrid, row);
      if (CapacitorEntry* capacitor = AsCapacitor(entry)) return capacitor->group == nullptr;
      return entry && entry->kind == EntryGroup && static_cast<GroupEntry*>(entry)->deleted;
    };
    for (ROWCOL row = m_GroupsGrid.GetRowCount(); row >= 1;) {
      if (leaves(row)) {
        const ROWCOL last = row;
        while (row > 1 && leaves(row - 1)) --row;
        m_GroupsGrid.RemoveRows(row, last);
      } else if (GroupsRowEntry* entry = EntryOfRow(m_GroupsGrid, row); entry && entry->kind == EntryGroup) {
        auto& group = *static_cast<GroupEntry*>(entry);
        if (group.membersChanged && UpdateGroupSummary(group)) FillRow(m_GroupsGrid, row, &group);
      }
      --row;
    }
    m_GroupsGrid.ClearSelection();
  }
  std::vector<ROWCOL> inserted;
  {
    CGroupsGrid::PaintLock lock(m_CapacitorGrid);
    ROWCOL row = 1;
    for (const auto& capacitor : m_Capacitors) {
      if (capacitor->group) continue;
      if (row > m_CapacitorGrid.GetRowCount() || EntryOfRow(m_CapacitorGrid, row) != capacitor.get()) {
        m_CapacitorGrid.InsertRows(row, 1);
        FillRow(m_CapacitorGrid, row, capacitor.get());
        inserted.push_back(row);
      }
      ++row;
    }
    m_CapacitorGrid.ClearSelection();
    for (std::size_t i = 0; i < inserted.size();) {
      std::size_t j = i;
      while (j + 1 < inserted.size() && inserted[j + 1] == inserted[j] + 1) ++j;
      m_CapacitorGrid.SelectRows(inserted[i], inserted[j]);
      i = j + 1;
    }
  }
  if (!inserted.empty()) m_CapacitorGrid.MoveCurrentCellTo(inserted.back(), CGroupsGrid::ColName);
  UpdateButtons();
}

void CDecouplingGroupsDlg::UpdateButtons() {
  if (!m_hWnd || !m_GroupsGrid.m_hWnd || !m_CapacitorGrid.m_hWnd) return;
  bool move = false;
  bool remove = false;
  const GroupEntry* target = nullptr;
  bool sameTarget = true;
  for (ROWCOL row : m_GroupsGrid.SelectedRows()) {
    GroupsRowEntry* entry = EntryOfRow(m_GroupsGrid, row);
    const GroupEntry* standsFor = nullptr;
    if (CapacitorEntry* capacitor = AsCapacitor(entry)) {
      standsFor = capacitor->group;
      remove = remove || capacitor->group != nullptr;
    } else if (GroupEntry* group = AsGroup(entry)) {
      standsFor = group;
      remove = remove || group->kind == EntryGroup;
    }
    if (!target) target = standsFor;
    else if (standsFor != target) sameTarget = false;
    move = true;
  }
  move = move && sameTarget && target;
  if (move) move = !FilterByPinSet(m_CapacitorGrid.SelectedRows(), *target).empty();
  EnableButton(IDC_MOVE_TO_GROUP, move, m_CapacitorGrid);
  EnableButton(IDC_REMOVE_FROM_GROUP, remove, m_GroupsGrid);
}

void CDecouplingGroupsDlg::EnableButton(int id, bool enable, CWnd& focusTarget) {
  CWnd* button = GetDlgItem(id);
  if (!button || (button->IsWindowEnabled() != FALSE) == enable) return;
  // A disabled button cannot keep the keyboard focus: it goes to the grid the button works on.
  if (!enable && ::GetFocus() == button->m_hWnd) focusTarget.SetFocus();
  button->EnableWindow(enable ? TRUE : FALSE);
}

void CDecouplingGroupsDlg::OnEndEditName(CGroupsGrid& grid, ROWCOL row, ROWCOL col) {
  if (&grid != &m_GroupsGrid || col != CGroupsGrid::ColName || row == 0) return;
  CGXControl* control = grid.ControlForCell(row, col);
  GroupsRowEntry* entry = EntryOfRow(grid, row);
  if (!control || !entry || entry->kind != EntryGroup) return;
  CString text;
  control->GetEditText(text);
  text.Trim();
  auto& group = *static_cast<GroupEntry*>(entry);
  m_NameBeforeEdit = {&group, group.name, group.nameChanged};
  if (text != group.name) {
    group.name = text;
    group.nameChanged = true;
  }
}

void CDecouplingGroupsDlg::OnCancelEditName(CGroupsGrid& grid, ROWCOL row, ROWCOL col) {
  if (&grid != &m_GroupsGrid || col != CGroupsGrid::ColName || !m_NameBeforeEdit.group) return;
  if (EntryOfRow(grid, row) == m_NameBeforeEdit.group) {
    m_NameBeforeEdit.group->name = m_NameBeforeEdit.name;
    m_NameBeforeEdit.group->nameChanged = m_NameBeforeEdit.changed;
  }
  m_NameBeforeEdit = {};
}

bool CDecouplingGroupsDlg::EditCell(CGroupsGrid& grid, ROWCOL row, ROWCOL col) {
  if (row == 0 || !grid.MoveCurrentCellTo(row, col)) return false;
  CGXControl* control = grid.ControlOfCurrentCell();
  if (!control || control->GetEditingState() || control->IsCellReadOnly() || !control->NotifyEditStart()) return false;
  control->SetEditingState(TRUE);
  control->Refresh();
  return true;
}

bool CDecouplingGroupsDlg::OnCellButtonClicked(CWizardGridWnd* grid, ROWCOL row, ROWCOL col) {
  if (grid == &m_GroupsGrid && col == CGroupsGrid::ColExpand && SetGroupExpanded(row, 0)) UpdateButtons();
  return true;
}
