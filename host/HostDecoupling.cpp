#include "host/HostDecoupling.h"

#include "host/HostBoard.h"
#include "host/HostCapacitorModel.h"
#include "host/HostChangeLog.h"
#include "host/HostCollection.h"
#include "host/HostComponent.h"

#include <algorithm>

namespace host {

namespace {
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string NameOf(CHostComponent* component) {
  const char* name = component ? component->GetName() : nullptr;
  return name ? name : "null";
}

std::string ModelText(CHostCapacitorModel* model, bool disabled) {
  if (!model)
    return "null";
  const char* name = model->GetLibraryModelName();
  return std::string(name && *name ? name : "(unnamed)") + (disabled ? " disabled" : "");
}
}  // namespace

void HostCapacitorGroup::SetName(const char* name) {
  const std::string next = name ? name : "";
  m_owner.LogChange("Group " + Quoted(m_name) + " SetName " + Quoted(next));
  m_name = next;
}

CHostCollection* HostCapacitorGroup::GetMembers() {
  return HostCollection::MakeOf<CHostComponent>(m_ledger, "group members", m_members);
}

void HostCapacitorGroup::AddMember(CHostComponent* component) {
  const bool added = component && std::find(m_members.begin(), m_members.end(), component) == m_members.end();
  if (added)
    m_members.push_back(component);
  m_owner.LogChange("Group " + Quoted(m_name) + " AddMember " + NameOf(component) + (added ? "" : " (already a member)"));
}

void HostCapacitorGroup::RemoveMember(CHostComponent* component) {
  const auto removed = std::erase(m_members, component);
  m_owner.LogChange("Group " + Quoted(m_name) + " RemoveMember " + NameOf(component) + (removed ? "" : " (not a member)"));
}

void HostDecoupling::LogChange(const std::string& line) {
  if (m_changes)
    m_changes->Add(line);
}

HostDecoupling::HostDecoupling(HostBoard& board) : m_board(board) {}
HostDecoupling::~HostDecoupling() = default;

CHostCollection* HostDecoupling::GetGroups() {
  std::vector<HostCapacitorGroup*> groups;
  for (const auto& group : m_groups)
    groups.push_back(group.get());
  return HostCollection::MakeOf<CHostCapacitorGroup>(m_board.Ledger(), "groups", groups);
}

bool HostDecoupling::OwnsGroup(CHostCapacitorGroup* group) const {
  return std::any_of(m_groups.begin(), m_groups.end(), [&](const auto& g) { return g.get() == group; });
}

void HostDecoupling::DeleteGroup(CHostCapacitorGroup* group) {
  if (!OwnsGroup(group)) {
    LogChange("Decoupling DeleteGroup (not a group of this board)");
    return;
  }
  LogChange("Decoupling DeleteGroup " + Quoted(static_cast<HostCapacitorGroup*>(group)->Name()));
  m_groupModels.erase(group);
  std::erase_if(m_groups, [&](const auto& g) { return g.get() == group; });
}

CHostCapacitorGroup* HostDecoupling::CreateGroup() {
  LogChange("Decoupling CreateGroup");
  return AddGroup("");
}

HostCapacitorGroup* HostDecoupling::AddGroup(const std::string& name) {
  m_groups.push_back(std::make_unique<HostCapacitorGroup>(*this, m_board.Ledger(), name));
  return m_groups.back().get();
}

HostCapacitorGroup* HostDecoupling::FindGroup(const std::string& name) const {
  for (const auto& group : m_groups)
    if (group->Name() == name)
      return group.get();
  return nullptr;
}

void HostDecoupling::SetDecoupling(HostComponent* component, bool decoupling) { m_decoupling[component] = decoupling; }

bool HostDecoupling::IsDecouplingCapacitor(CHostComponent* component) {
  auto it = m_decoupling.find(component);
  return it != m_decoupling.end() && it->second;
}

CHostCapacitorModel* HostDecoupling::Answer(const std::map<const void*, ModelAssignment>& table, const void* key,
                                            bool* disabled) {
  auto it = table.find(key);
  if (it == table.end() || !it->second.model) {
    if (disabled)
      *disabled = false;
    return nullptr;
  }
  if (disabled)
    *disabled = it->second.disabled;
  return it->second.model.get();
}

bool HostDecoupling::Assign(std::map<const void*, ModelAssignment>& table, const void* key,
                            CHostCapacitorModel* model, bool disabled) {
  if (!model) {
    table.erase(key);
    return true;
  }
  // The model may be a view over the module's editor, valid during this call only: keep a copy.
  ModelAssignment assignment;
  assignment.model = HostCapacitorModel::Snapshot(*model);
  assignment.disabled = disabled;
  table[key] = std::move(assignment);
  return true;
}

CHostCapacitorModel* HostDecoupling::GetGroupModel(CHostCapacitorGroup* group, bool* disabled) {
  return Answer(m_groupModels, group, disabled);
}

CHostCapacitorModel* HostDecoupling::GetComponentModel(CHostComponent* component, bool* disabled) {
  return Answer(m_componentModels, component, disabled);
}

bool HostDecoupling::SetGroupModel(CHostCapacitorGroup* group, CHostCapacitorModel* model, bool disabled) {
  if (!OwnsGroup(group)) {
    LogChange("Decoupling SetGroupModel " + ModelText(model, disabled) + " (not a group of this board)");
    return false;
  }
  LogChange("Decoupling SetGroupModel " + Quoted(static_cast<HostCapacitorGroup*>(group)->Name()) + " " +
            ModelText(model, disabled));
  return Assign(m_groupModels, group, model, disabled);
}

bool HostDecoupling::SetComponentModel(CHostComponent* component, CHostCapacitorModel* model, bool disabled) {
  const bool accepted = IsDecouplingCapacitor(component);
  LogChange("Decoupling SetComponentModel " + NameOf(component) + " " + ModelText(model, disabled) +
            (accepted ? "" : " (refused)"));
  if (!accepted)
    return false;
  return Assign(m_componentModels, component, model, disabled);
}

CHostCollection* HostPIProbes::GetSelectedProbes() {
  const std::vector<HostProbe*>& picks = m_board.Picks();
  if (picks.empty())
    return nullptr;
  return HostCollection::MakeOf<CHostProbe>(m_board.Ledger(), "selected probes", picks);
}

}  // namespace host
