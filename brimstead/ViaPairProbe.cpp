#include "brimstead/ViaPairProbe.h"

#include "brimstead/DiffViaAnalysisData.h"

CViaPairProbe& CViaPairProbe::operator=(const CViaPairProbe& other) {
  if (this == &other)
    return *this;
  CViaProbeRecord::operator=(other);
  m_PartnerConnectedLayers = other.m_PartnerConnectedLayers;
  return *this;
}

const char* CViaPairProbe::GetViaLayers() {
  m_ConnectedText = ProbeLayerText(m_pHostProbe, LayerTest::Connected, LayerTextForm::LeadingTab);
  return m_ConnectedText;
}

bool CViaPairProbe::Check() {
  CDiffViaAnalysisData::CheckViaPair(*this);
  DisableIfInvalid();
  return true;
}
