#include "brimstead/BypassViaProbe.h"

#include "brimstead/BypassAnalysisData.h"

CBypassViaProbe& CBypassViaProbe::operator=(const CBypassViaProbe& other) {
  if (this == &other)
    return *this;
  CViaProbeRecord::operator=(other);
  m_LayerPairs = other.m_LayerPairs;
  m_FirstLayer = other.m_FirstLayer;
  m_SecondLayer = other.m_SecondLayer;
  return *this;
}

const char* CBypassViaProbe::GetViaLayers() {
  if (!m_pHostProbe || m_FirstLayer.IsEmpty() || m_SecondLayer.IsEmpty())
    return nullptr;
  m_PairText = m_FirstLayer + "\t" + m_SecondLayer;
  return m_PairText;
}

bool CBypassViaProbe::Check() {
  if (!m_pHostProbe)
    return false;
  CBypassAnalysisData::CheckVia(*this);
  DisableIfInvalid();
  return true;
}
