#include "host/HostNet.h"

#include "host/HostCollection.h"

namespace host {

CHostCollection* HostNet::GetItems() {
  std::vector<HostNetItem*> items;
  for (const auto& item : m_items)
    items.push_back(item.get());
  return HostCollection::MakeOf<CHostNetItem>(m_ledger, "net items", items);
}

bool HostNet::IsSupply(double* voltage) {
  if (!IsSupplyNet())
    return false;
  if (voltage)
    *voltage = m_voltage;
  return true;
}

}  // namespace host
