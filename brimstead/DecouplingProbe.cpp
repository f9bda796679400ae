#include "brimstead/DecouplingProbe.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/BoardGeometry.h"
#include "brimstead/ProbeLayers.h"
#include "brimstead/WizardSeam.h"

namespace {
const char* NetNameOf(CHostNet* net) { return net ? net->GetName() : nullptr; }
const char* TextOrEmpty(const char* text) { return text ? text : ""; }
}  // namespace

CString ComponentPinText(CHostProbeElement* element) {
  CHostComponent* component = element ? element->GetComponent() : nullptr;
  return CString(TextOrEmpty(component ? component->GetName() : nullptr)) + "." +
         TextOrEmpty(element ? element->GetPinName() : nullptr);
}

CDecouplingProbe& CDecouplingProbe::operator=(const CDecouplingProbe& other) {
  if (this == &other)
    return *this;
  m_pHostProbe = other.m_pHostProbe;
  m_pElement = other.m_pElement;
  m_bValid = other.m_bValid;
  m_bEnabled = other.m_bEnabled;
  m_bExpanded = other.m_bExpanded;
  m_Message = other.m_Message;
  return *this;
}

const char* CDecouplingProbe::GetName() { return m_pHostProbe ? m_pHostProbe->GetName() : nullptr; }

const char* CDecouplingProbe::GetNetName() { return m_pHostProbe ? NetNameOf(m_pHostProbe->GetNet()) : nullptr; }

const char* CDecouplingProbe::GetReferenceNetName() {
  return m_pHostProbe ? NetNameOf(m_pHostProbe->GetReferenceNet()) : nullptr;
}

const char* CDecouplingProbe::GetConnectedLayers() {
  if (!m_pHostProbe)
    return nullptr;
  m_ConnectedText = ProbeLayerText(m_pHostProbe, LayerTest::Connected, LayerTextForm::LeadingTab);
  return m_ConnectedText;
}

const char* CDecouplingProbe::GetReferenceLayers() {
  if (!m_pHostProbe)
    return nullptr;
  m_ReferenceText = ProbeLayerText(m_pHostProbe, LayerTest::Reference, LayerTextForm::LeadingTab);
  return m_ReferenceText;
}

const char* CDecouplingProbe::GetConnectedLayerNames() {
  if (!m_pHostProbe)
    return nullptr;
  m_ConnectedNames = ProbeLayerText(m_pHostProbe, LayerTest::Connected, LayerTextForm::Separator);
  return m_ConnectedNames;
}

const char* CDecouplingProbe::GetReferenceLayersText() {
  if (!m_pHostProbe)
    return nullptr;
  m_ReferenceNames = ProbeLayerText(m_pHostProbe, LayerTest::Reference, LayerTextForm::Separator);
  return m_ReferenceNames;
}

bool CDecouplingProbe::Check() {
  m_Message.Empty();
  m_bValid = m_pHostProbe && SupplyPinTouchesTPlane(GeometryQueryOf(GetBrimsteadAPI()), m_pHostProbe, m_pElement);
  if (!m_bValid) {
    m_bEnabled = 0;
    CAnalysisData* record = GetAnalysisData();
    m_Message = record && record->m_bBoardMode
                    ? "IC power pin is not connected to a t-plane metal areas on its reference/connection layers."
                    : "IC power pin is not connected to a t-plane metal area on its reference layer.";
  }
  return true;
}
