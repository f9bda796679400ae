#include "host/HostProbe.h"

#include "host/HostElement.h"
#include "host/HostNet.h"
#include "platform/base/wintypes.h"

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

void HostProbe::SetPartner(HostProbe* partner) {
  m_partner = partner;
  if (partner && m_net && partner->m_net) {
    m_net->Join(partner->m_net);
    partner->m_net->Join(m_net);
  }
}

void HostProbe::PanTo(int mode, const RECT* wizard, CHostProbe* second) {
  if (!m_viewLog)
    return;
  std::string line = "PanTo " + (m_id.empty() ? m_name : m_id) + " mode " + std::to_string(mode) + " wizard ";
  line += wizard ? "(" + std::to_string(wizard->left) + "," + std::to_string(wizard->top) + "," +
                       std::to_string(wizard->right) + "," + std::to_string(wizard->bottom) + ")"
                 : std::string("none");
  auto* other = dynamic_cast<HostProbe*>(second);
  line += " second " + (other ? (other->m_id.empty() ? other->m_name : other->m_id)
                              : std::string(second ? "(another host's probe)" : "none"));
  m_viewLog->push_back(line);
}

}  // namespace host
