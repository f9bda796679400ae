#include "brimstead/DecouplingAnalysisData.h"

#include "brimstead/HostObjectRefs.h"
#include "brimstead/WizardSeam.h"

#include <deque>
#include <unordered_map>
#include <vector>

CDecouplingAnalysisData* GetDecouplingAnalysisData() { return GetAnalysisDataOfKind<CDecouplingAnalysisData>(); }

CDecouplingAnalysisData::CDecouplingAnalysisData() {
  m_dMinFreq = GetDefaultMinFreq();
  m_dMaxFreq = GetDefaultMaxFreq();
  m_nAnalysisType = AnalysisLumped;
}

CDecouplingAnalysisData& CDecouplingAnalysisData::operator=(const CDecouplingAnalysisData& other) {
  if (this == &other)
    return *this;
  CAnalysisData::operator=(other);
  m_pNet1 = other.m_pNet1;
  m_pNet2 = other.m_pNet2;
  m_Probes.Copy(other.m_Probes);
  m_bProbeOrderKept = other.m_bProbeOrderKept;
  return *this;
}

bool CDecouplingAnalysisData::HasEnabledProbeForDistributed() const {
  if (m_nAnalysisType != AnalysisDistributed)
    return true;
  for (int i = 0; i < m_Probes.GetSize(); ++i)
    if (m_Probes[i].m_bEnabled)
      return true;
  return false;
}

CPageIdList CDecouplingAnalysisData::Check(CString* messages) {
  CPageIdList pages;
  if (messages)
    messages->Empty();
  auto fail = [&](const char* message, WORD page) {
    if (messages)
      *messages += message;
    pages.push_back(page);
  };
  if (m_nBoardIndex < 0)
    fail("Subboard to analyze isn't specified. \n", 1009);
  // One net named as both (a settings file can bring it) is no pair either.
  if (!m_pNet1 || !m_pNet2 || m_pNet1 == m_pNet2)
    fail("You have to specify two nets to perform decoupling analysis. \n", 1001);
  if (!HasEnabledProbeForDistributed())
    fail("At least one probe must be specified for distributed decoupling analysis. \n", m_bBoardMode ? 1027 : 1162);
  if (!HasValidSweep())
    fail("Frequency sweep range must be specified. \n", 1018);
  return pages;
}

void CDecouplingAnalysisData::SelectBoard(int index) {
  if (!SelectBoardFromSystem(index))
    return;
  m_pNet1 = nullptr;
  m_pNet2 = nullptr;
  CollectProbes();
}

int CDecouplingAnalysisData::GetPortCount() {
  if (m_nAnalysisType == AnalysisLumped)
    return 1;
  CBrimsteadAPILink* api = GetBrimsteadAPI();
  return api ? api->BuildEnabledProbeList() : 0;
}

void CDecouplingAnalysisData::CollectProbes() {
  // Records already listed keep their place; a list built from nothing has no order of the user's yet.
  if (m_Probes.IsEmpty() || m_bBoardMode)
    m_bProbeOrderKept = 0;
  const bool canCollect = m_pBoard && (m_bBoardMode || (m_pNet1 && m_pNet2));
  if (!canCollect) {
    m_Probes.RemoveAll();
    return;
  }
  CHostInterfaceRef<CHostPIProbes> piProbes(m_pBoard, HostInterfacePIProbes);
  if (!piProbes) {
    m_Probes.RemoveAll();
    return;
  }
  CHostCollectionRef selected(piProbes->GetSelectedProbes());

  if (m_bBoardMode) {
    m_Probes.RemoveAll();
    for (int i = selected.Count() - 1; i >= 0; --i) {
      CDecouplingProbe probe;
      probe.m_pHostProbe = selected.Item<CHostProbe>(i);
      m_Probes.Add(probe);
    }
    return;
  }

  // System mode: the supply pins between the two chosen nets, checked as they are taken.
  std::vector<CDecouplingProbe> taken;
  for (int i = selected.Count() - 1; i >= 0; --i) {
    CHostProbe* host = selected.Item<CHostProbe>(i);
    if (!host || host->GetKind() != HostProbeSupplyPin)
      continue;
    CHostProbeElement* element = host->GetElement();
    CHostNet* elementNet = element ? element->GetNet() : nullptr;
    CHostNet* ownNet = host->GetNet();
    const bool between = (elementNet == m_pNet1 && ownNet == m_pNet2) || (elementNet == m_pNet2 && ownNet == m_pNet1);
    if (!between)
      continue;
    CDecouplingProbe probe;
    probe.m_pHostProbe = host;
    probe.m_pElement = element;
    probe.Check();
    taken.push_back(probe);
  }
  // Records already listed keep their place and enabled state and take the new host probe; the others go. Of records
  // on one pin the later listed take the earlier taken. Linear in the pins: a load collects them again.
  std::unordered_map<CHostProbeElement*, std::deque<size_t>> byPin;
  for (size_t i = 0; i < taken.size(); ++i)
    byPin[taken[i].m_pElement].push_back(i);
  std::vector<bool> stays(static_cast<size_t>(m_Probes.GetSize()), false), used(taken.size(), false);
  for (int i = m_Probes.GetSize() - 1; i >= 0; --i) {
    const auto match = byPin.find(m_Probes[i].m_pElement);
    if (match == byPin.end() || match->second.empty())
      continue;
    const size_t index = match->second.front();
    match->second.pop_front();
    m_Probes[i].m_pHostProbe = taken[index].m_pHostProbe;
    stays[static_cast<size_t>(i)] = used[index] = true;
  }
  CDecouplingProbeArray probes;
  for (int i = 0; i < m_Probes.GetSize(); ++i)
    if (stays[static_cast<size_t>(i)])
      probes.Add(m_Probes[i]);
  for (size_t i = 0; i < taken.size(); ++i)
    if (!used[i])
      probes.Add(taken[i]);
  m_Probes.Copy(probes);
}
