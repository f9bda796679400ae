// The board's named interfaces of the bundled host: "iBoadData/Decoupling(00275)" with its capacitor groups and
// model assignments, and "iBoadData/PIProbes(00275)" with the probes picked in the board view.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <map>
#include <unordered_map>
#include <memory>
#include <string>
#include <vector>

namespace host {

class HostBoard;
class HostCapacitorModel;
class HostChangeLog;
class HostComponent;
class HostLedger;
class HostProbe;

class HostDecoupling;

class HostCapacitorGroup final : public CHostCapacitorGroup {
public:
  HostCapacitorGroup(HostDecoupling& owner, HostLedger& ledger, std::string name)
      : m_owner(owner), m_ledger(ledger), m_name(std::move(name)) {}

  void SetName(const char* name) override;
  const char* GetName() override { return m_name.c_str(); }
  CHostCollection* GetMembers() override;
  void AddMember(CHostComponent* component) override;
  void RemoveMember(CHostComponent* component) override;

  const std::string& Name() const { return m_name; }
  const std::vector<CHostComponent*>& Members() const { return m_members; }

private:
  HostDecoupling& m_owner;
  HostLedger& m_ledger;
  std::string m_name;
  std::vector<CHostComponent*> m_members;
};

// A model assigned to a group or a capacitor: the host's own copy and its disabled state.
struct ModelAssignment {
  std::unique_ptr<HostCapacitorModel> model;
  bool disabled = false;
};

class HostDecoupling final : public CHostDecoupling {
public:
  explicit HostDecoupling(HostBoard& board);
  ~HostDecoupling() override;

  CHostCollection* GetGroups() override;
  void DeleteGroup(CHostCapacitorGroup* group) override;
  CHostCapacitorGroup* CreateGroup() override;
  bool IsDecouplingCapacitor(CHostComponent* component) override;
  CHostCapacitorModel* GetGroupModel(CHostCapacitorGroup* group, bool* disabled) override;
  CHostCapacitorModel* GetComponentModel(CHostComponent* component, bool* disabled) override;
  bool SetGroupModel(CHostCapacitorGroup* group, CHostCapacitorModel* model, bool disabled) override;
  bool SetComponentModel(CHostComponent* component, CHostCapacitorModel* model, bool disabled) override;

  HostCapacitorGroup* AddGroup(const std::string& name);
  HostCapacitorGroup* FindGroup(const std::string& name) const;
  const std::vector<std::unique_ptr<HostCapacitorGroup>>& Groups() const { return m_groups; }
  void SetDecoupling(HostComponent* component, bool decoupling);

  // Where the calls that change the groups or the model assignments are logged, one line each (null: nowhere):
  //   Decoupling CreateGroup                        Decoupling DeleteGroup "<name>"
  //   Group "<name>" SetName "<new name>"           Group "<name>" AddMember <designator>
  //   Group "<name>" RemoveMember <designator>      Decoupling SetGroupModel "<group>" <model> [disabled]
  //   Decoupling SetComponentModel <designator> <model> [disabled]
  // <model> is the model's name, or "null" when the assignment is removed. A call that changes nothing says so
  // at the end: " (not a group of this board)", " (already a member)", " (not a member)", " (refused)".
  void SetChangeLog(HostChangeLog* log) { m_changes = log; }
  void LogChange(const std::string& line);

private:
  bool OwnsGroup(CHostCapacitorGroup* group) const;
  static CHostCapacitorModel* Answer(const std::map<const void*, ModelAssignment>& table, const void* key,
                                     bool* disabled);
  static bool Assign(std::map<const void*, ModelAssignment>& table, const void* key, CHostCapacitorModel* model,
                     bool disabled);

  HostBoard& m_board;
  std::vector<std::unique_ptr<HostCapacitorGroup>> m_groups;
  std::unordered_map<const void*, bool> m_decoupling;   // component -> is a decoupling capacitor
  std::map<const void*, ModelAssignment> m_groupModels;
  std::map<const void*, ModelAssignment> m_componentModels;
  HostChangeLog* m_changes = nullptr;
};

class HostPIProbes final : public CHostPIProbes {
public:
  explicit HostPIProbes(HostBoard& board) : m_board(board) {}
  CHostCollection* GetSelectedProbes() override;   // null when nothing is picked

private:
  HostBoard& m_board;
};

}  // namespace host
