#include "host/HostProbe.h"

#include "host/HostElement.h"
#include "host/HostNet.h"

namespace host {

namespace {

bool OnSignalNet(HostElement* element) {
  CHostNet* net = element ? element->GetNet() : nullptr;
  return net && !net->IsSupply(nullptr);
}

}  // namespace

HostProbe::HostProbe(HostProbeKind kind, std::string name, HostElement* element, HostNet* net, HostNet* referenceNet)
    : m_kind(kind), m_name(std::move(name)), m_element(element), m_net(net), m_referenceNet(referenceNet),
      m_eligible(OnSignalNet(element)) {}

CHostProbeElement* HostProbe::GetElement() { return m_element; }

CHostPosition HostProbe::GetPosition() { return m_element ? m_element->Position() : CHostPosition{}; }

CHostNet* HostProbe::GetReferenceNet() { return m_referenceNet; }

CHostNet* HostProbe::GetNet() { return m_net; }

}  // namespace host
