#include "brimstead/ModelExtractorAnalysisData.h"

#include "brimstead/BoardGeometry.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/WizardSeam.h"

#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

CModelExtractorAnalysisData* GetModelExtractorAnalysisData() {
  return GetAnalysisDataOfKind<CModelExtractorAnalysisData>();
}

CModelExtractorAnalysisData::CModelExtractorAnalysisData() {
  m_dMinFreq = GetDefaultMinFreq();
  m_dMaxFreq = GetDefaultMaxFreq();
  m_nAnalysisType = AnalysisDistributed;
  m_bGenerateS = 1;
}

CModelExtractorAnalysisData& CModelExtractorAnalysisData::operator=(const CModelExtractorAnalysisData& other) {
  if (this == &other)
    return *this;
  CAnalysisData::operator=(other);
  m_SupplyPorts.Copy(other.m_SupplyPorts);
  m_bSupplyOrderKept = other.m_bSupplyOrderKept;
  m_bViaOrderKept = other.m_bViaOrderKept;
  m_ViaPorts.Copy(other.m_ViaPorts);
  m_pSelectedNet = other.m_pSelectedNet;
  m_dNormalImpedance = other.m_dNormalImpedance;
  return *this;
}

void CModelExtractorAnalysisData::CheckPort(CPortProbe& port) {
  port.m_FirstLayers.clear();
  port.m_SecondLayers.clear();
  port.m_bValid = 1;
  port.m_Message.Empty();
  switch (port.GetKind()) {
  case HostProbeSupplyPin: CheckSupplyPin(port); break;
  case HostProbeVia: CheckVia(port); break;
  default: break;
  }
}

void CModelExtractorAnalysisData::CheckSupplyPin(CPortProbe& port) {
  CHostProbe* pin = port.m_pHostProbe;
  if (pin) {
    port.m_FirstLayers = ProbeLayerNames(pin, LayerTest::Connected);
    port.m_SecondLayers = ProbeLayerNames(pin, LayerTest::Reference);
  }
  if (port.m_SecondLayers.empty()) {
    port.m_Message = "Supply Pin doesn't refer to any layer";
    port.m_bValid = 0;
  }
  if (port.m_bValid) {
    CHostGeometryQuery* query = GeometryQueryOf(GetModelExtractorWizardAPI());
    port.m_bValid = SupplyPinTouchesTPlane(query, pin, pin ? pin->GetElement() : nullptr);
    if (!port.m_bValid)
      port.m_Message = "Supply Pin is far from T-Planes' and doesn't interact with power supply system";
  }
}

void CModelExtractorAnalysisData::CheckVia(CPortProbe& port) {
  CHostProbe* via = port.m_pHostProbe;
  if (!via)
    return;
  port.m_FirstLayers = ProbeLayerNames(via, LayerTest::Connected);
  CHostProbe* partner = via->GetPartner();
  if (partner)
    port.m_SecondLayers = ProbeLayerNames(partner, LayerTest::Connected);
  CHostGeometryQuery* query = GeometryQueryOf(GetModelExtractorWizardAPI());
  // A pair passes when either of its vias passes.
  port.m_bValid = ViaPassesThroughTPlane(query, via, nullptr, nullptr);
  if (!port.m_bValid && partner)
    port.m_bValid = ViaPassesThroughTPlane(query, partner, nullptr, nullptr);
  if (!port.m_bValid)
    port.m_Message = "Via doesn't pass through any T-plane and can't interact with power planes system";
  if (partner) {
    if (port.m_FirstLayers.size() < 2 || port.m_SecondLayers.size() < 2) {
      port.m_Message = "One of the vias in differential pair is either not connected or connected on the only layer";
      port.m_bValid = 0;
    }
  } else if (port.m_FirstLayers.empty()) {
    port.m_Message = "Via is not connected to any transmission line";
    port.m_bValid = 0;
  } else if (port.m_FirstLayers.size() == 1) {
    port.m_Message = "Via is connected to transmission line(s) on the only layer";
    port.m_bValid = 0;
  }
}

namespace {
bool BoardHoldsNet(CHostBoard* board, CHostNet* net) {
  if (!board)
    return false;
  CHostCollectionRef nets(board->GetNets());
  for (int i = 0; i < nets.Count(); ++i)
    if (nets.Item<CHostNet>(i) == net)
      return true;
  return false;
}

bool AnyEnabled(const CPortProbeArray& ports) {
  for (int i = 0; i < ports.GetSize(); ++i)
    if (ports[i].m_bEnabled)
      return true;
  return false;
}
}  // namespace

CString CModelExtractorAnalysisData::GetStatusText() const {
  if (!AnyEnabled(m_SupplyPorts) && !AnyEnabled(m_ViaPorts))
    return "SupplyPin or/and Via probes are to be selected!";
  return CString();
}

int CModelExtractorAnalysisData::GetEnabledSupplyPortCount() const {
  int count = 0;
  for (int i = 0; i < m_SupplyPorts.GetSize(); ++i)
    count += m_SupplyPorts[i].m_bEnabled ? 1 : 0;
  return count;
}

CPageIdList CModelExtractorAnalysisData::Check(CString* messages) {
  CPageIdList pages;
  if (messages)
    messages->Empty();
  if (m_nBoardIndex < 0) {
    if (messages)
      *messages += "Subboard to analyze isn't specified. \n";
    pages.push_back(1009);
  }
  const CString status = GetStatusText();
  if (!status.IsEmpty()) {
    if (messages)
      *messages += status + "\n";
    // One message, two pages: the via page, then the supply-pin page.
    pages.push_back(m_bBoardMode ? 1154 : 1159);
    pages.push_back(m_bBoardMode ? 1027 : 1162);
  }
  if (!HasValidSweep()) {
    if (messages)
      *messages += "Frequency sweep range must be specified. \n";
    pages.push_back(1018);
  }
  return pages;
}

int CModelExtractorAnalysisData::GetPortCount() {
  CModelExtractorWizardAPILink* api = GetModelExtractorWizardAPI();
  if (!api)
    return 0;
  int ports = 0;
  for (int i = api->BuildEnabledPortList() - 1; i >= 0; --i) {
    CPortProbe* port = api->GetEnabledPort(i);
    if (!port)
      continue;
    if (port->GetKind() == HostProbeSupplyPin)
      ports += 1;
    else
      ports += static_cast<int>(port->m_FirstLayers.size() + port->m_SecondLayers.size());
  }
  return ports;
}

void CModelExtractorAnalysisData::SelectBoard(int index) {
  if (!SelectBoardFromSystem(index))
    return;
  // The net belongs to a board: one the chosen board does not hold goes with the board left behind (a net the host
  // picked on the board now chosen stays).
  if (m_pSelectedNet && !BoardHoldsNet(m_pBoard, m_pSelectedNet))
    m_pSelectedNet = nullptr;
  CollectProbes();
}

namespace {
// Existing ports keep their place, enabled flag, lists and message and take the host probe of the new port with
// the same display name; existing ports without one go; the new ports left are appended in their order. Of ports
// that share a name the later existing ones take the earlier new ones. Answers whether an existing port stayed.
// Linear in the ports: the host asks again at every change of its board view's selection.
bool MergePorts(CPortProbeArray& existing, std::vector<CPortProbe>& fresh) {
  std::unordered_map<std::string_view, std::deque<size_t>> byName;
  byName.reserve(fresh.size());
  for (size_t i = 0; i < fresh.size(); ++i) {
    const CString& name = fresh[i].m_DisplayName;
    byName[std::string_view(name.GetString(), static_cast<size_t>(name.GetLength()))].push_back(i);
  }
  std::vector<bool> taken(fresh.size(), false);
  std::vector<bool> stays(static_cast<size_t>(existing.GetSize()), false);
  bool anyStays = false;
  for (int i = existing.GetSize() - 1; i >= 0; --i) {
    CPortProbe& port = existing[i];
    port.m_pHostProbe = nullptr;
    const auto match = byName.find(std::string_view(port.m_DisplayName.GetString(),
                                                    static_cast<size_t>(port.m_DisplayName.GetLength())));
    if (match == byName.end() || match->second.empty())
      continue;
    const size_t index = match->second.front();
    match->second.pop_front();
    port.m_pHostProbe = fresh[index].m_pHostProbe;
    taken[index] = true;
    stays[static_cast<size_t>(i)] = anyStays = true;
  }
  CPortProbeArray merged;
  for (int i = 0; i < existing.GetSize(); ++i)
    if (stays[static_cast<size_t>(i)])
      merged.Add(existing[i]);
  for (size_t i = 0; i < fresh.size(); ++i)
    if (!taken[i])
      merged.Add(fresh[i]);
  existing.Copy(merged);
  return anyStays;
}
}  // namespace

void CModelExtractorAnalysisData::CollectProbes() {
  // Ports already listed keep their place; a list of which none stays (built from nothing, or from another board's
  // picks) has no order of the user's yet, so that the same picks are listed alike whatever was listed before.
  if (!m_pBoard) {
    m_SupplyPorts.RemoveAll();
    m_ViaPorts.RemoveAll();
    return;
  }
  CHostInterfaceRef<CHostPIProbes> piProbes(m_pBoard, HostInterfacePIProbes);
  if (!piProbes) {
    m_SupplyPorts.RemoveAll();
    m_ViaPorts.RemoveAll();
    return;
  }
  std::vector<CPortProbe> supply, vias;
  {
    CHostCollectionRef selected(piProbes->GetSelectedProbes());
    for (int i = selected.Count() - 1; i >= 0; --i) {
      CHostProbe* host = selected.Item<CHostProbe>(i);
      if (!host)
        continue;
      const int kind = host->GetKind();
      if (kind == HostProbeVia && !host->IsEligible())
        continue;
      CPortProbe port;
      port.m_pHostProbe = host;
      port.m_bEnabled = 1;
      CheckPort(port);
      if (!port.m_bValid)
        port.m_bEnabled = 0;
      if (!port.MakeDisplayName())
        continue;   // neither a pin nor a via: not kept
      (kind == HostProbeSupplyPin ? supply : vias).push_back(port);
    }
  }
  if (!MergePorts(m_SupplyPorts, supply))
    m_bSupplyOrderKept = 0;
  if (!MergePorts(m_ViaPorts, vias))
    m_bViaOrderKept = 0;
}
