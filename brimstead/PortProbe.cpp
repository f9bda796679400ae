#include "brimstead/PortProbe.h"

#include "brimstead/ModelExtractorAnalysisData.h"

namespace {
const char* NetNameOf(CHostNet* net) { return net ? net->GetName() : nullptr; }
}  // namespace

CPortProbe& CPortProbe::operator=(const CPortProbe& other) {
  if (this == &other)
    return *this;
  m_DisplayName = other.m_DisplayName;
  m_pHostProbe = other.m_pHostProbe;
  m_bValid = other.m_bValid;
  m_bEnabled = other.m_bEnabled;
  m_bExpanded = other.m_bExpanded;
  m_FirstLayers = other.m_FirstLayers;
  m_SecondLayers = other.m_SecondLayers;
  m_Message = other.m_Message;
  return *this;
}

const char* CPortProbe::GetName() { return m_pHostProbe ? m_pHostProbe->GetName() : nullptr; }

int CPortProbe::GetKind() { return m_pHostProbe ? m_pHostProbe->GetKind() : -1; }

const char* CPortProbe::GetNetName() { return m_pHostProbe ? NetNameOf(m_pHostProbe->GetNet()) : nullptr; }

const char* CPortProbe::GetReferenceNetName() {
  return m_pHostProbe ? NetNameOf(m_pHostProbe->GetReferenceNet()) : nullptr;
}

const char* CPortProbe::GetViaLayers() {
  if (!m_pHostProbe)
    return nullptr;
  m_FirstKept = ProbeLayerText(m_pHostProbe, LayerTest::Connected, LayerTextForm::Separator);
  return m_FirstKept;
}

const char* CPortProbe::GetReferenceLayers() {
  if (!m_pHostProbe)
    return nullptr;
  m_SecondKept = ProbeLayerText(m_pHostProbe, LayerTest::Reference, LayerTextForm::Separator);
  return m_SecondKept;
}

const char* CPortProbe::GetPartnerViaLayers() {
  if (!m_pHostProbe)
    return nullptr;
  CHostProbe* partner = m_pHostProbe->GetPartner();
  m_SecondKept = partner ? ProbeLayerText(partner, LayerTest::Connected, LayerTextForm::Separator) : CString();
  return m_SecondKept;
}

bool CPortProbe::Check() {
  if (!m_pHostProbe)
    return false;
  CModelExtractorAnalysisData::CheckPort(*this);
  if (!m_bValid)
    m_bEnabled = 0;
  return true;
}

bool CPortProbe::MakeDisplayName() {
  const int kind = GetKind();
  if (kind == HostProbeSupplyPin) {
    const char* name = GetName();
    m_DisplayName = name ? name : "";
    return true;
  }
  if (kind == HostProbeVia) {
    const char* name = GetName();
    m_DisplayName = name ? name : "";
    CHostProbeElement* element = m_pHostProbe->GetElement();
    if (m_DisplayName.IsEmpty() && element) {
      const char* net = NetNameOf(element->GetNet());
      m_DisplayName.Format("%s (%.6f,%.6f)", net ? net : "", element->GetX(), element->GetY());
    }
    return true;
  }
  m_DisplayName = "???";
  return false;
}
