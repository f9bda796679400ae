#include "brimstead/ViaPairProbe.h"

#include "brimstead/DiffViaAnalysisData.h"

CViaPairProbe& CViaPairProbe::operator=(const CViaPairProbe& other) {
  if (this == &other)
    return *this;
  m_pHostProbe = other.m_pHostProbe;
  m_bValid = other.m_bValid;
  m_bEnabled = other.m_bEnabled;
  m_ConnectedLayers = other.m_ConnectedLayers;
  m_PartnerConnectedLayers = other.m_PartnerConnectedLayers;
  m_Message = other.m_Message;
  return *this;
}

const char* CViaPairProbe::GetName() { return m_pHostProbe ? m_pHostProbe->GetName() : nullptr; }

const char* CViaPairProbe::GetViaLayers() {
  m_ConnectedText = ProbeLayerText(m_pHostProbe, LayerTest::Connected, LayerTextForm::LeadingTab);
  return m_ConnectedText;
}

bool CViaPairProbe::Check() {
  CDiffViaAnalysisData::CheckViaPair(*this);
  if (!m_bValid)
    m_bEnabled = 0;
  return true;
}
