#include "host/HostNet.h"

#include "host/HostCollection.h"

#include <algorithm>

namespace host {

CHostCollection* HostNet::GetItems() {
  std::vector<HostNetItem*> items;
  for (const auto& item : m_items)
    items.push_back(item.get());
  return HostCollection::MakeOf<CHostNetItem>(m_ledger, "net items", items);
}

CHostCollection* HostNet::GetMembers() {
  std::vector<HostNet*> members{this};
  members.insert(members.end(), m_joined.begin(), m_joined.end());
  return HostCollection::MakeOf<CHostNet>(m_ledger, "net members", members);
}

void HostNet::Join(HostNet* other) {
  if (other && other != this && std::find(m_joined.begin(), m_joined.end(), other) == m_joined.end())
    m_joined.push_back(other);
}

bool HostNet::IsSupply(double* voltage) {
  if (!IsSupplyNet())
    return false;
  if (voltage)
    *voltage = m_voltage;
  return true;
}

}  // namespace host
