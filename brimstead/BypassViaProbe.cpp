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

const CString* CBypassViaProbe::FindPair(const CString& first, const CString& second) const {
  for (size_t k = 0; k + 1 < m_LayerPairs.size(); k += 2)
    if ((m_LayerPairs[k] == first && m_LayerPairs[k + 1] == second) ||
        (m_LayerPairs[k] == second && m_LayerPairs[k + 1] == first))
      return &m_LayerPairs[k];
  return nullptr;
}

bool CBypassViaProbe::HasChosenPair() const {
  const CString* pair = FindPair(m_FirstLayer, m_SecondLayer);
  return pair && *pair == m_FirstLayer;
}

bool CBypassViaProbe::TakeFirstPairUnlessChosen() {
  if (HasChosenPair())
    return true;
  if (!m_bEnabled || m_LayerPairs.size() < 2)
    return false;
  m_FirstLayer = m_LayerPairs[0];
  m_SecondLayer = m_LayerPairs[1];
  return true;
}
