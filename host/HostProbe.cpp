#include "host/HostProbe.h"

#include "host/HostElement.h"
#include "host/HostNet.h"

namespace host {

CHostProbeElement* HostProbe::GetElement() { return m_element; }

CHostPosition HostProbe::GetPosition() { return m_element ? m_element->Position() : CHostPosition{}; }

CHostNet* HostProbe::GetReferenceNet() { return m_referenceNet; }

CHostNet* HostProbe::GetNet() { return m_net; }

}  // namespace host
