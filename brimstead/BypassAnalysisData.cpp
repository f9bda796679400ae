#include "brimstead/BypassAnalysisData.h"

#include "brimstead/BoardGeometry.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/WizardSeam.h"

#include <algorithm>
#include <vector>

CBypassAnalysisData* GetBypassAnalysisData() { return GetAnalysisDataOfKind<CBypassAnalysisData>(); }

CBypassAnalysisData::CBypassAnalysisData() {
  m_dMinFreq = GetDefaultMinFreq();
  m_dMaxFreq = GetDefaultMaxFreq();
  m_nAnalysisType = AnalysisDistributed;
}

CBypassAnalysisData& CBypassAnalysisData::operator=(const CBypassAnalysisData& other) {
  if (this == &other)
    return *this;
  CAnalysisData::operator=(other);
  m_Probes.Copy(other.m_Probes);
  m_bProbeOrderKept = other.m_bProbeOrderKept;
  return *this;
}

int CBypassAnalysisData::GetPortCount() {
  CBypassWizardAPILink* api = GetBypassWizardAPI();
  return api && api->HasEnabledProbe() ? 1 : 0;
}

CString CBypassAnalysisData::GetSelectionStatusText() const {
  // Board mode reports on the last enabled via, otherwise on the last via.
  const CBypassViaProbe* probe = nullptr;
  for (int i = m_Probes.GetSize() - 1; i >= 0 && !probe; --i)
    if (!m_bBoardMode || m_Probes[i].m_bEnabled)
      probe = &m_Probes[i];
  if (!probe)
    return "At least one via must be selected for probe.";
  if (probe->m_ConnectedLayers.size() < 2)
    return "Via must be connected on at least two layers.";
  if (!probe->m_bValid)
    return "Via is badly positioned.";
  // The pair the via holds now, however it got there (a cell cleared, a settings line, the viewer's pair box).
  if (probe->m_bEnabled && !probe->HasChosenPair())
    return "A pair of the via's layers must be chosen.";
  return CString();
}

CPageIdList CBypassAnalysisData::Check(CString* messages) {
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
  if (!GetSelectionStatusText().IsEmpty())
    fail("Via is to be selected for bypass analysis. \n", m_bBoardMode ? 1154 : 1156);
  if (!HasValidSweep())
    fail("Frequency sweep range must be specified. \n", 1018);
  return pages;
}

void CBypassAnalysisData::SelectBoard(int index) {
  if (SelectBoardFromSystem(index))
    CollectProbes();
}

void CBypassAnalysisData::CollectProbes() {
  m_Probes.RemoveAll();
  m_bProbeOrderKept = 0;
  if (!m_bBoardMode || !m_pBoard)
    return;
  // Only picks that the board lets the module take as vias: never an IC supply ball it marks not eligible.
  const std::vector<CHostProbe*> selected = SelectedEligibleProbes(m_pBoard);
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    CBypassViaProbe probe;
    probe.m_pHostProbe = *it;
    m_Probes.Add(probe);
  }
}

bool CBypassAnalysisData::CheckProbe(CBypassViaProbe& probe) {
  return probe.Check();
}

void CBypassAnalysisData::CheckVia(CBypassViaProbe& probe) {
  probe.m_ConnectedLayers.clear();
  probe.m_PlaneLayers.clear();
  probe.m_LayerPairs.clear();
  probe.m_Message.Empty();
  probe.m_bValid = 0;
  CHostGeometryQuery* query = GeometryQueryOf(GetBypassWizardAPI());
  // Every layer pair is tested at the via's one point: the host is asked there once.
  CPlanesAtPoint planes = CPlanesAtPoint::AtProbe(query, probe.m_pHostProbe, nullptr);
  const CStringPairArray& areas = planes.MetalAreas();

  CHostProbe* via = probe.m_pHostProbe;
  CAnalysisData* record = GetAnalysisData();
  if (via && record && record->m_pBoard) {
    CHostCollectionRef layers(record->m_pBoard->GetLayers());
    const int count = layers.Count();
    auto metal = [&](int i) -> CHostLayer* {
      CHostLayer* layer = layers.Item<CHostLayer>(i);
      return layer && layer->GetKind() != HostLayerKindSkipped ? layer : nullptr;
    };
    auto nameOf = [](CHostLayer* layer) { return CString(layer->GetName() ? layer->GetName() : ""); };
    // Each connected layer's index as the T-plane test finds a layer by name (the first of that name), looked
    // up once per via rather than twice per pair.
    std::vector<int> indexByName(static_cast<size_t>(count), -2);
    auto testIndex = [&](int i, const CString& name) {
      int& index = indexByName[static_cast<size_t>(i)];
      if (index == -2)
        index = FindLayerIndex(layers.Get(), name);
      return index;
    };
    CNameList pending;   // layers with metal at the via that wait for a later connected layer
    for (int i = 0; i < count; ++i) {
      CHostLayer* layer = metal(i);
      if (!layer)
        continue;
      const CString name = nameOf(layer);
      const bool connected = via->IsConnectedOn(layer);
      if (connected) {
        probe.m_ConnectedLayers.push_back(name);
        probe.m_PlaneLayers.insert(probe.m_PlaneLayers.end(), pending.begin(), pending.end());
        pending.clear();
        for (int j = count - 1; j > i; --j) {
          CHostLayer* later = metal(j);
          if (!later || !via->IsConnectedOn(later))
            continue;
          const CString laterName = nameOf(later);
          probe.m_LayerPairs.push_back(name);
          probe.m_LayerPairs.push_back(laterName);
          const int a = testIndex(i, name);
          const int b = testIndex(j, laterName);
          if (planes.PassesThroughTPlane(layers.Get(), std::min(a, b), std::max(a, b), nullptr))
            probe.m_bValid = 1;
        }
      }
      if (FindEqualRange(areas, name, CompareKeyWithPair, nullptr, nullptr)) {
        if (connected)
          probe.m_PlaneLayers.push_back(name);
        else
          pending.push_back(name);
      }
    }
  }
  if (probe.m_ConnectedLayers.empty())
    probe.m_Message = "Via is not connected to any transmission line";
  else if (!probe.m_bValid)
    probe.m_Message = "Via doesn't pass through any T-plane and can't interact with power planes system";
}
