#include "brimstead/models/groups/CDecouplingGroupsDlg.h"

#include "brimstead/models/DecouplingModelsHelper.h"
#include "platform/framework/MessageBox.h"
#include "brimstead/models/NaturalCompare.h"
#include "brimstead/models/groups/GroupsDlgResources.h"
#include "brimstead/wizards/HandedText.h"
#include "brimstead/wizards/WizardResources.h"
#include "shared/Misc_Help.h"

#include <algorithm>
#include <unordered_map>

IMPLEMENT_DYNAMIC(CDecouplingGroupsDlg, CDialog)

BEGIN_MESSAGE_MAP(CDecouplingGroupsDlg, CDialog)
  ON_BN_CLICKED(IDC_MOVE_TO_GROUP, OnMoveToGroup)
  ON_BN_CLICKED(IDC_REMOVE_FROM_GROUP, OnRemoveFromGroup)
  ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelp)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr double kMilsPerMetre = 39370.078740157485;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kLightGrey = 0x00C0C0C0;
constexpr UINT kHatchPattern = 3;

CString TextOf(const char* text) { return text ? CString(text) : CString(); }

// The summary of one column over a group's members: the common text, or "\n" once two members differ.
class SummaryColumn {
public:
  void Add(const CString& text) {
    if (!m_bAny) {
      m_Text = text;
      m_bAny = true;
    } else if (m_Text != MembersDifferText && m_Text != text) {
      m_Text = MembersDifferText;
    }
  }
  const CString& Text() const { return m_Text; }

private:
  CString m_Text;
  bool m_bAny = false;
};

struct GroupSummary {
  SummaryColumn partName, value, dimension;
  void Add(const CapacitorEntry& member) {
    partName.Add(member.partName);
    value.Add(member.value);
    dimension.Add(member.dimension);
  }
  // Stores the texts; false when they equal what the group shows already.
  bool StoreIn(GroupEntry& group) const {
    group.membersChanged = false;
    if (group.partName == partName.Text() && group.value == value.Text() && group.dimension == dimension.Text())
      return false;
    group.partName = partName.Text();
    group.value = value.Text();
    group.dimension = dimension.Text();
    return true;
  }
};
}  // namespace

CDecouplingGroupsDlg::CDecouplingGroupsDlg(CHostBoard* board, CHostSystem* system, CWnd* parent)
    : CDialog(IDD, parent), m_pBoard(board), m_pSystem(system) {
  m_NewGroup.name = NewGroupText;
  m_HatchBrush.SetColor(kBlack).SetPattern(kHatchPattern).SetBkColor(kLightGrey);
  groupsdlg::RegisterGroupsDialogResources();
  m_CapacitorGrid.m_pListener = this;
  m_GroupsGrid.m_pListener = this;
}

CDecouplingGroupsDlg::~CDecouplingGroupsDlg() {
  if (m_hWnd) DestroyWindow();
  ReleaseHostObjects();
}

INT_PTR CDecouplingGroupsDlg::DoModal() {
  brimwiz::CModuleScope scope;
  return CDialog::DoModal();
}

BOOL CDecouplingGroupsDlg::OnInitDialog() {
  if (m_pSystem) {
    CHostCollectionRef boards(m_pSystem->GetBoards());
    if (!m_pBoard && boards.Count() > 0) m_pBoard = boards.Item<CHostBoard>(0);
  }
  if (m_pBoard) {
    m_pDecoupling = static_cast<CHostDecoupling*>(m_pBoard->GetInterface(HostInterfaceDecoupling));
    if (m_pDecoupling) m_pInterfaceBoard = m_pBoard;
  }
  if (!m_pDecoupling) {
    EndDialog(-1);
    return FALSE;
  }
  m_GroupCollection.Reset(m_pDecoupling->GetGroups());
  m_ComponentCollection.Reset(m_pBoard->GetComponents());

  CDialog::OnInitDialog();
  m_CapacitorGrid.SubclassDlgItem(IDC_CAPACITOR_GRID, this);
  m_GroupsGrid.SubclassDlgItem(IDC_GROUPS_GRID, this);
  // The expand column serves the groups grid only: the capacitor grid gives its width to the designators.
  m_CapacitorGrid.GiveExpandColumnToNames();
  // "<new>" stays on top; a click on the current name cell's text starts its editor.
  m_GroupsGrid.SetFrozenRows(1);
  if (CGXGridParam* param = m_GroupsGrid.GetParam()) param->m_wActivateFlags = 1;

  LoadFromHost();
  FillGrids();
  return TRUE;
}

void CDecouplingGroupsDlg::LoadFromHost() {
  m_Capacitors.clear();
  m_Groups.clear();
  for (int i = m_ComponentCollection.Count() - 1; i >= 0; --i) {
    CHostComponent* component = m_ComponentCollection.Item<CHostComponent>(i);
    if (!component || !m_pDecoupling->IsDecouplingCapacitor(component)) continue;
    auto entry = std::make_unique<CapacitorEntry>();
    entry->hostCapacitor = component;
    entry->refDes = TextOf(component->GetName());
    if (CHostPart* part = component->GetPart()) {
      entry->partName = TextOf(part->GetPartName());
      entry->value = FormatCapacitance(part);
      if (const double metres = part->GetMaxDimension(); metres != 0.0) entry->dimension = DimensionText(metres);
    }
    m_Capacitors.push_back(std::move(entry));
  }
  std::stable_sort(m_Capacitors.begin(), m_Capacitors.end(), [](const auto& a, const auto& b) {
    return CompareNatural(a->refDes, b->refDes) < 0;
  });
  // Members are found through a map; the last entry of a component wins, as a search from the end would.
  std::unordered_map<CHostComponent*, CapacitorEntry*> byComponent;
  byComponent.reserve(m_Capacitors.size());
  for (const auto& entry : m_Capacitors) byComponent[entry->hostCapacitor] = entry.get();

  for (int i = m_GroupCollection.Count() - 1; i >= 0; --i) {
    CHostCapacitorGroup* hostGroup = m_GroupCollection.Item<CHostCapacitorGroup>(i);
    if (!hostGroup) continue;
    auto entry = std::make_unique<GroupEntry>();
    entry->hostGroup = hostGroup;
    entry->name = TextOf(hostGroup->GetName());
    const auto after = std::find_if(m_Groups.begin(), m_Groups.end(), [&](const auto& group) {
      return CompareNatural(group->name, entry->name) > 0;
    });
    m_Groups.insert(after, std::move(entry));
  }
  for (const auto& group : m_Groups) {
    CHostCollectionRef members(group->hostGroup->GetMembers());
    GroupSummary summary;
    for (int j = members.Count() - 1; j >= 0; --j) {
      CHostComponent* component = members.Item<CHostComponent>(j);
      if (!component || !m_pDecoupling->IsDecouplingCapacitor(component)) continue;
      const auto found = byComponent.find(component);
      if (found == byComponent.end()) continue;
      CapacitorEntry& capacitor = *found->second;
      capacitor.group = capacitor.committedGroup = group.get();
      ++group->memberCount;
      group->membersChanged = true;
      if (!group->reference) group->reference = component;
      // The summary after each member is the summary of the members found so far: a capacitor taken by a later
      // group stays in this group's summary, as it stays in its member count.
      summary.Add(capacitor);
    }
    if (group->membersChanged) summary.StoreIn(*group);
  }
}

bool CDecouplingGroupsDlg::UpdateGroupSummary(GroupEntry& group) {
  GroupSummary summary;
  for (const auto& capacitor : m_Capacitors)
    if (capacitor->group == &group) summary.Add(*capacitor);
  return summary.StoreIn(group);
}

bool CDecouplingGroupsDlg::IsGroupNameUnique(const CString& name, const GroupEntry* except) const {
  return std::none_of(m_Groups.begin(), m_Groups.end(), [&](const auto& group) {
    return group.get() != except && !group->deleted && group->name == name;
  });
}

CString CDecouplingGroupsDlg::DimensionText(double metres) const {
  CString text;
  if (m_bMils)
    text.Format("%.0f", metres * kMilsPerMetre);
  else
    text.Format("%.1f", metres * 1000.0);
  return text;
}

GroupEntry* CDecouplingGroupsDlg::FirstRefusedName() {
  for (const auto& group : m_Groups)
    if (group->nameChanged && !group->deleted && (group->name.IsEmpty() || !IsGroupNameUnique(group->name, group.get())))
      return group.get();
  return nullptr;
}

void CDecouplingGroupsDlg::OnOK() {
  // A name typed into the cell being edited is stored (and taken by OnEndEditName) before the check.
  if (m_GroupsGrid.m_hWnd && !m_GroupsGrid.CompleteCellEdit(TRUE)) return;
  if (GroupEntry* refused = FirstRefusedName()) {
    MessageBox("Group name should be nonempty and unique. Please specify another name.", Title,
               MB_OK | MB_ICONWARNING);
    if (const ROWCOL row = FindRowOfEntry(m_GroupsGrid, refused)) EditCell(m_GroupsGrid, row, CGroupsGrid::ColName);
    return;
  }
  // The host's board takes no name with a control character (a line break would split the name's line there).
  for (const auto& group : m_Groups)
    if (group->nameChanged && !group->deleted &&
        brimwiz::RefusedForControlCharacter(m_hWnd, Title, "The group name", group->name)) {
      if (const ROWCOL row = FindRowOfEntry(m_GroupsGrid, group.get()))
        EditCell(m_GroupsGrid, row, CGroupsGrid::ColName);
      return;
    }
  CommitToHost();
  EndDialog(IDOK);
}

void CDecouplingGroupsDlg::CommitToHost() {
  // Names first, then new groups, then moves in capacitor-array order, then deletions: a host may briefly hold
  // two groups of one name (a new group named after one that is deleted last).
  for (const auto& group : m_Groups)
    if (group->nameChanged && group->hostGroup) {
      group->hostGroup->SetName(group->name);
      group->nameChanged = false;
    }
  for (const auto& group : m_Groups)
    if (!group->hostGroup && !group->deleted) {
      group->hostGroup = m_pDecoupling->CreateGroup();
      if (group->hostGroup) group->hostGroup->SetName(group->name);
      group->nameChanged = false;
    }
  for (const auto& capacitor : m_Capacitors) {
    if (capacitor->group == capacitor->committedGroup) continue;
    if (capacitor->committedGroup && capacitor->committedGroup->hostGroup)
      capacitor->committedGroup->hostGroup->RemoveMember(capacitor->hostCapacitor);
    if (capacitor->group && capacitor->group->hostGroup) capacitor->group->hostGroup->AddMember(capacitor->hostCapacitor);
    capacitor->committedGroup = capacitor->group;
  }
  for (const auto& group : m_Groups)
    if (group->deleted && group->hostGroup) {
      m_pDecoupling->DeleteGroup(group->hostGroup);
      group->hostGroup = nullptr;
    }
}

void CDecouplingGroupsDlg::OnHelp() { ShowHelpTopic(m_hWnd, HelpKey, 1, HelpTopic); }

void CDecouplingGroupsDlg::OnDestroy() {
  ReleaseHostObjects();
  CDialog::OnDestroy();
}

void CDecouplingGroupsDlg::ReleaseHostObjects() {
  m_GroupCollection.Reset();
  m_ComponentCollection.Reset();
  if (m_pDecoupling && m_pInterfaceBoard) m_pInterfaceBoard->ReleaseInterface(m_pDecoupling);
  m_pDecoupling = nullptr;
  m_pInterfaceBoard = nullptr;
}
