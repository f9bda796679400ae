#include "brimstead/BypassViaProbe.h"

#include "brimstead/BypassAnalysisData.h"

CBypassViaProbe& CBypassViaProbe::operator=(const CBypassViaProbe& other) {
  if (this == &other)
    return *this;
  m_pHostProbe = other.m_pHostProbe;
  m_bValid = other.m_bValid;
  m_bEnabled = other.m_bEnabled;
  m_ConnectedLayers = other.m_ConnectedLayers;
  m_LayerPairs = other.m_LayerPairs;
  m_FirstLayer = other.m_FirstLayer;
  m_SecondLayer = other.m_SecondLayer;
  m_Message = other.m_Message;
  return *this;
}

const char* CBypassViaProbe::GetName() { return m_pHostProbe ? m_pHostProbe->GetName() : nullptr; }

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
  if (!m_bValid)
    m_bEnabled = 0;
  return true;
}
