// A net of the bundled host and the items it is made of (pins, vias, plane areas).
#pragma once

#include "brimstead/HostInterfaces.h"

#include <memory>
#include <string>
#include <vector>

namespace host {

class HostLedger;

enum class NetItemKind : int { Pin = 1, Via = 2, Plane = HostNetItemKindPlane };

class HostNetItem final : public CHostNetItem {
public:
  explicit HostNetItem(NetItemKind kind) : m_kind(kind) {}
  int GetKind() override { return static_cast<int>(m_kind); }

private:
  NetItemKind m_kind;
};

enum class NetType { Signal, Supply };

class HostNet final : public CHostNet {
public:
  HostNet(HostLedger& ledger, std::string name, NetType type, double voltage)
      : m_ledger(ledger), m_name(std::move(name)), m_type(type), m_voltage(voltage) {}

  CHostCollection* GetItems() override;
  const char* GetName() override { return m_name.c_str(); }
  bool IsSupply(double* voltage) override;
  // The net itself, then the nets joined with it (the nets of its differential vias' partners), in joining order.
  CHostCollection* GetMembers() override;
  bool IsOwnMember(CHostNet* member) override { return member == this; }

  const std::string& Name() const { return m_name; }
  bool IsSupplyNet() const { return m_type == NetType::Supply; }
  double Voltage() const { return m_voltage; }
  // The net a supply net is measured against (its return), or null.
  HostNet* Reference() const { return m_reference; }
  void SetReference(HostNet* reference) { m_reference = reference; }
  void AddItem(NetItemKind kind) { m_items.push_back(std::make_unique<HostNetItem>(kind)); }
  // Joins another net to this one's members (once; never itself).
  void Join(HostNet* other);
  const std::vector<HostNet*>& Joined() const { return m_joined; }

private:
  HostLedger& m_ledger;
  std::string m_name;
  NetType m_type;
  double m_voltage;
  HostNet* m_reference = nullptr;
  std::vector<std::unique_ptr<HostNetItem>> m_items;
  std::vector<HostNet*> m_joined;
};

}  // namespace host
