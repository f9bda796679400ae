// A board of the bundled host: layers, nets, parts, components with pins, vias, plane areas, the probes of the
// board view and its current picks, decoupling groups and model assignments, and the geometry answers. Read from a
// board file (BoardFile.h). Every collection and named interface it hands out is counted in its ledger, which
// must outlive the board.
#pragma once

#include "brimstead/HostInterfaces.h"
#include "host/HostCapacitorModel.h"
#include "host/HostComponent.h"
#include "host/HostDecoupling.h"
#include "host/HostElement.h"
#include "host/HostGeometryQuery.h"
#include "host/HostLayer.h"
#include "host/HostNet.h"
#include "host/HostProbe.h"

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace host {

class HostLedger;

class HostBoard final : public CHostBoard {
public:
  HostBoard(HostLedger& ledger, std::string name, std::string fileName);
  ~HostBoard() override;

  CHostBoardInterface* GetInterface(const char* name) override;
  void ReleaseInterface(CHostBoardInterface* boardInterface) override;
  CHostCollection* GetComponents() override;
  CHostCollection* GetNets() override;
  CHostCollection* GetLayers() override;

  HostLedger& Ledger() const { return m_ledger; }
  const std::string& Name() const { return m_name; }
  const std::string& FileName() const { return m_fileName; }
  const std::string& Description() const { return m_description; }
  void SetDescription(std::string description) { m_description = std::move(description); }

  // Building (the board file reader) and looking up.
  HostLayer* AddLayer(const std::string& name, LayerKind kind, double thickness);
  HostNet* AddNet(const std::string& name, NetType type, double voltage);
  HostPart* AddPart(const std::string& name, const std::string& package, double capacitance, double maxDimension);
  HostComponent* AddComponent(const std::string& name, HostPart* part, HostLayer* side);
  HostElement* AddElement(HostNet* net, CHostPosition position, double size, const std::string& pinName,
                          HostComponent* component);
  // `id` identifies the probe in board files and picks; `name` is what GetName answers (may be empty).
  HostProbe* AddProbe(const std::string& id, HostProbeKind kind, const std::string& name, HostElement* element,
                      HostNet* net, HostNet* referenceNet);
  void AddArea(const MetalArea& area);

  HostLayer* FindLayer(const std::string& name) const;
  HostNet* FindNet(const std::string& name) const;
  HostPart* FindPart(const std::string& name) const;
  HostComponent* FindComponent(const std::string& name) const;
  HostProbe* FindProbe(const std::string& id) const;

  const std::vector<std::unique_ptr<HostLayer>>& Layers() const { return m_layers; }
  const std::vector<std::unique_ptr<HostNet>>& Nets() const { return m_nets; }
  const std::vector<std::unique_ptr<HostComponent>>& Components() const { return m_components; }
  const std::vector<std::unique_ptr<HostProbe>>& Probes() const { return m_probes; }
  const std::vector<MetalArea>& Areas() const { return m_areas; }

  // The board view's picks: what GetSelectedProbes answers, in pick order.
  const std::vector<HostProbe*>& Picks() const { return m_picks; }
  void SetPicks(std::vector<HostProbe*> picks) { m_picks = std::move(picks); }
  // Picks the probes of these ids; false (and nothing changed) when an id is unknown.
  bool Pick(const std::vector<std::string>& names);

  HostDecoupling& Decoupling() { return m_decoupling; }
  HostPIProbes& PIProbes() { return m_piProbes; }
  HostModelLibrary& ModelLibrary() { return m_library; }
  // What the module changed on the board, one line per call.
  const HostChangeLog& Changes() const { return m_changes; }
  HostChangeLog& Changes() { return m_changes; }
  HostGeometryQuery& GeometryQuery() { return m_geometry; }

private:
  HostLedger& m_ledger;
  std::string m_name;
  std::string m_fileName;
  std::string m_description;
  std::vector<std::unique_ptr<HostLayer>> m_layers;
  std::vector<std::unique_ptr<HostNet>> m_nets;
  std::vector<std::unique_ptr<HostPart>> m_parts;
  std::vector<std::unique_ptr<HostComponent>> m_components;
  std::vector<std::unique_ptr<HostElement>> m_elements;
  std::vector<std::unique_ptr<HostProbe>> m_probes;
  std::unordered_map<std::string, HostProbe*> m_probeIds;
  // Names looked up while a board is read: one look-up per reference, so a large board loads in linear time.
  std::unordered_map<std::string, HostLayer*> m_layerNames;
  std::unordered_map<std::string, HostNet*> m_netNames;
  std::unordered_map<std::string, HostPart*> m_partNames;
  std::unordered_map<std::string, HostComponent*> m_componentNames;
  std::vector<MetalArea> m_areas;
  std::vector<HostProbe*> m_picks;
  HostChangeLog m_changes;
  HostDecoupling m_decoupling;
  HostPIProbes m_piProbes;
  HostModelLibrary m_library;
  HostGeometryQuery m_geometry;
};

}  // namespace host
