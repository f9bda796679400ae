#include "host/HostBoard.h"

#include "host/HostCollection.h"
#include "host/HostLedger.h"

#include <cstring>

namespace host {

namespace {
template <class Interface, class Object>
std::vector<Object*> Raw(const std::vector<std::unique_ptr<Object>>& owned) {
  std::vector<Object*> raw;
  raw.reserve(owned.size());
  for (const auto& object : owned)
    raw.push_back(object.get());
  return raw;
}

// The first object added under a name keeps it (the reader refuses a second one anyway).
template <class T>
T* Indexed(std::unordered_map<std::string, T*>& index, std::vector<std::unique_ptr<T>>& list) {
  T* added = list.back().get();
  index.emplace(added->Name(), added);
  return added;
}

template <class T>
T* FindByName(const std::unordered_map<std::string, T*>& index, const std::string& name) {
  auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}
}  // namespace

HostBoard::HostBoard(HostLedger& ledger, std::string name, std::string fileName)
    : m_ledger(ledger), m_name(std::move(name)), m_fileName(std::move(fileName)), m_decoupling(*this),
      m_piProbes(*this), m_geometry(m_areas) {
  m_library.SetChangeLog(&m_changes);
  m_decoupling.SetChangeLog(&m_changes);
}

HostBoard::~HostBoard() = default;

CHostBoardInterface* HostBoard::GetInterface(const char* name) {
  if (!name)
    return nullptr;
  if (std::strcmp(name, HostInterfacePIProbes) == 0) {
    m_ledger.InterfaceHandedOut(name);
    return &m_piProbes;
  }
  if (std::strcmp(name, HostInterfaceDecoupling) == 0) {
    m_ledger.InterfaceHandedOut(name);
    return &m_decoupling;
  }
  return nullptr;
}

void HostBoard::ReleaseInterface(CHostBoardInterface* boardInterface) {
  if (boardInterface == &m_piProbes)
    m_ledger.InterfaceReturned(HostInterfacePIProbes);
  else if (boardInterface == &m_decoupling)
    m_ledger.InterfaceReturned(HostInterfaceDecoupling);
  else
    m_ledger.InterfaceReturned("<not an interface of this board>");
}

CHostCollection* HostBoard::GetComponents() {
  return HostCollection::MakeOf<CHostComponent>(m_ledger, "components", Raw<CHostComponent>(m_components));
}

CHostCollection* HostBoard::GetNets() {
  return HostCollection::MakeOf<CHostNet>(m_ledger, "nets", Raw<CHostNet>(m_nets));
}

CHostCollection* HostBoard::GetLayers() {
  return HostCollection::MakeOf<CHostLayer>(m_ledger, "layers", Raw<CHostLayer>(m_layers));
}

HostLayer* HostBoard::AddLayer(const std::string& name, LayerKind kind, double thickness) {
  m_layers.push_back(std::make_unique<HostLayer>(name, kind, thickness, static_cast<int>(m_layers.size())));
  return Indexed(m_layerNames, m_layers);
}

HostNet* HostBoard::AddNet(const std::string& name, NetType type, double voltage) {
  m_nets.push_back(std::make_unique<HostNet>(m_ledger, name, type, voltage));
  return Indexed(m_netNames, m_nets);
}

HostPart* HostBoard::AddPart(const std::string& name, const std::string& package, double capacitance,
                             double maxDimension) {
  m_parts.push_back(std::make_unique<HostPart>(name, package, capacitance, maxDimension));
  return Indexed(m_partNames, m_parts);
}

HostComponent* HostBoard::AddComponent(const std::string& name, HostPart* part, HostLayer* side) {
  m_components.push_back(std::make_unique<HostComponent>(m_ledger, name, part, side));
  return Indexed(m_componentNames, m_components);
}

HostElement* HostBoard::AddElement(HostNet* net, CHostPosition position, double size, const std::string& pinName,
                                   HostComponent* component) {
  m_elements.push_back(std::make_unique<HostElement>(this, net, position, size, pinName, component));
  return m_elements.back().get();
}

HostProbe* HostBoard::AddProbe(const std::string& id, HostProbeKind kind, const std::string& name,
                               HostElement* element, HostNet* net, HostNet* referenceNet) {
  m_probes.push_back(std::make_unique<HostProbe>(kind, name, element, net, referenceNet));
  m_probeIds.emplace(id, m_probes.back().get());
  m_probes.back()->SetViewLog(&m_viewLog, id);
  return m_probes.back().get();
}

void HostBoard::AddArea(const MetalArea& area) { m_areas.push_back(area); }

HostLayer* HostBoard::FindLayer(const std::string& name) const { return FindByName(m_layerNames, name); }
HostNet* HostBoard::FindNet(const std::string& name) const { return FindByName(m_netNames, name); }
HostPart* HostBoard::FindPart(const std::string& name) const { return FindByName(m_partNames, name); }
HostComponent* HostBoard::FindComponent(const std::string& name) const { return FindByName(m_componentNames, name); }
HostProbe* HostBoard::FindProbe(const std::string& id) const {
  auto it = m_probeIds.find(id);
  return it == m_probeIds.end() ? nullptr : it->second;
}

bool HostBoard::Pick(const std::vector<std::string>& names) {
  std::vector<HostProbe*> picks;
  for (const std::string& name : names) {
    HostProbe* probe = FindProbe(name);   // an id
    if (!probe)
      return false;
    picks.push_back(probe);
  }
  m_picks = std::move(picks);
  return true;
}

}  // namespace host
