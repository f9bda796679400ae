#include "host/HostComponent.h"

#include "host/HostCollection.h"
#include "host/HostElement.h"

namespace host {

CHostCollection* HostComponent::GetPins() {
  return HostCollection::MakeOf<CHostPin>(m_ledger, "pins", m_pins);
}

bool HostComponent::IsCapacitor() const { return m_part && m_part->Capacitance() > 0.0; }

}  // namespace host
