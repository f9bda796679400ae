#include "brimstead/AnalysisData.h"

#include "brimstead/HostObjectRefs.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {
// A constant-initialised pointer: it exists before any static object is constructed and is never destroyed, so the
// module's static objects may use it at any moment of loading and unloading. The library's unload frees the record.
constinit CAnalysisData* g_currentRecord = nullptr;
}  // namespace

CAnalysisData* GetAnalysisData() { return g_currentRecord; }

void SetCurrentAnalysisData(CAnalysisData* record) {
  // The old record goes first, so that at no time two records exist.
  delete std::exchange(g_currentRecord, nullptr);
  g_currentRecord = record;
}

bool CopyWholeName(char* buffer, const char* name) {
  const std::size_t length = name ? strnlen(name, MAX_PATH) : MAX_PATH;
  if (length >= MAX_PATH) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, name, length + 1);
  return true;
}

CAnalysisData::CAnalysisData() = default;
CAnalysisData::~CAnalysisData() = default;

CAnalysisData& CAnalysisData::operator=(const CAnalysisData& other) {
  if (this == &other)
    return *this;
  CHostHandedIn::operator=(other);
  m_SettingsPath = other.m_SettingsPath;
  m_pBoard = other.m_pBoard;
  m_nBoardIndex = other.m_nBoardIndex;
  m_nAnalysisType = other.m_nAnalysisType;
  m_bDRCOnly = other.m_bDRCOnly;
  m_bSkipStitchingVias = other.m_bSkipStitchingVias;
  m_dTargetImpedance = other.m_dTargetImpedance;
  m_nMode = other.m_nMode;
  m_nAutoGenerateOutputFileName = other.m_nAutoGenerateOutputFileName;
  m_BaseOutputFileName = other.m_BaseOutputFileName;
  m_OutputFileName = other.m_OutputFileName;
  m_bIncludeAllNets = other.m_bIncludeAllNets;
  m_bIncludeMounting = other.m_bIncludeMounting;
  m_bIncludeInterPlane = other.m_bIncludeInterPlane;
  m_bIncludeLowFreqConnections = other.m_bIncludeLowFreqConnections;
  m_bForcePassivity = other.m_bForcePassivity;
  m_bUnkeyedFlag = other.m_bUnkeyedFlag;
  m_bGenerateS = other.m_bGenerateS;
  m_bExportShuntModel = other.m_bExportShuntModel;
  m_dMinFreq = other.m_dMinFreq;
  m_dMaxFreq = other.m_dMaxFreq;
  m_nFreqSweepMode = other.m_nFreqSweepMode;
  m_nAdaptiveSweepAccuracy = other.m_nAdaptiveSweepAccuracy;
  m_nMaxAdaptiveFreqNumber = other.m_nMaxAdaptiveFreqNumber;
  m_nNonAdaptiveFreqNumber = other.m_nNonAdaptiveFreqNumber;
  m_bSaveSettings = other.m_bSaveSettings;
  m_bUseInterimTouchstone = other.m_bUseInterimTouchstone;
  m_bUseFDTD = other.m_bUseFDTD;
  m_dFDTDInterval = other.m_dFDTDInterval;
  m_bShowTPOscilloscope = other.m_bShowTPOscilloscope;
  m_bPageByteA = other.m_bPageByteA;
  m_nPageWords[0] = other.m_nPageWords[0];
  m_nPageWords[1] = other.m_nPageWords[1];
  m_dPageDouble = other.m_dPageDouble;
  m_nDRCReportMode = other.m_nDRCReportMode;
  m_DRCReportFile = other.m_DRCReportFile;
  for (int i = 0; i < 4; ++i)
    m_PageFlags[i] = other.m_PageFlags[i];
  return *this;
}

const char* CAnalysisData::OptionsSection() const {
  static const char* const sections[] = {"OPTIONS", "OPTIONS_DW", "OPTIONS_BW", "OPTIONS_DV", "OPTIONS_ME"};
  const int kind = GetKind();
  return kind >= 0 && kind < 5 ? sections[kind] : sections[0];
}

bool CAnalysisData::HasValidSweep() const {
  return m_dMinFreq > 0.0 && m_dMaxFreq > 0.0 && m_dMaxFreq >= m_dMinFreq && std::isfinite(m_dMaxFreq);
}

bool CAnalysisData::SelectBoardFromSystem(int index) {
  if (index == m_nBoardIndex)
    return false;
  CHostCollectionRef boards(m_pSystem ? m_pSystem->GetBoards() : nullptr);
  if (index >= 0 && index < boards.Count()) {
    m_nBoardIndex = index;
    m_pBoard = boards.Item<CHostBoard>(index);
  } else {
    m_nBoardIndex = -1;
    m_pBoard = nullptr;
  }
  return true;
}

const char* AnalysisTypeName(int type) {
  switch (type) {
  case AnalysisQuick: return "Quick";
  case AnalysisLumped: return "Lumped";
  case AnalysisDistributed: return "Distributed";
  default: return "";
  }
}
