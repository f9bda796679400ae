// A probe of the bundled host: an IC supply pin (measured against its net's reference net) or a signal via.
//
// Two flags of the board view belong to every probe, whatever its kind: eligible (the via-model extraction may take
// it as a via) and selected (it starts enabled there). A new probe is eligible when the pin or via under it lies on
// a signal net, so a supply pin or a stitching via is not, and it is selected; the board file may say otherwise.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <set>
#include <string>
#include <vector>

namespace host {

class HostElement;
class HostNet;

// What the board view was asked to do (pans), one line per call, in the style of the callback log.
using HostViewLog = std::vector<std::string>;

class HostProbe final : public CHostProbe {
public:
  HostProbe(HostProbeKind kind, std::string name, HostElement* element, HostNet* net, HostNet* referenceNet);

  int GetKind() override { return m_kind; }
  CHostProbeElement* GetElement() override;
  const char* GetName() override { return m_name.c_str(); }
  CHostPosition GetPosition() override;
  CHostNet* GetReferenceNet() override;
  bool IsConnectedOn(CHostLayer* layer) override { return m_connected.count(layer) != 0; }
  bool IsReferenceLayer(CHostLayer* layer) override { return m_reference.count(layer) != 0; }
  CHostNet* GetNet() override;
  bool IsSelected() override { return m_selected; }
  CHostProbe* GetPartner() override { return m_partner; }
  bool IsEligible() override { return m_eligible; }
  // Logs "PanTo <id> mode <mode> wizard (<l>,<t>,<r>,<b>) second <id or none>" into the view log.
  void PanTo(int mode, const RECT* wizard, CHostProbe* second) override;

  const std::string& Name() const { return m_name; }
  HostElement* Element() const { return m_element; }
  void Connect(CHostLayer* layer) { m_connected.insert(layer); }
  void Refer(CHostLayer* layer) { m_reference.insert(layer); }
  // A differential pair also joins the two vias' nets as members of each other.
  void SetPartner(HostProbe* partner);
  void SetViewLog(HostViewLog* log, std::string id) {
    m_viewLog = log;
    m_id = std::move(id);
  }
  const std::string& Id() const { return m_id; }
  void SetEligible(bool eligible) { m_eligible = eligible; }
  void SetSelected(bool selected) { m_selected = selected; }
  bool HasReferences() const { return !m_reference.empty(); }

private:
  HostProbeKind m_kind;
  std::string m_name;
  HostElement* m_element;
  HostNet* m_net;
  HostNet* m_referenceNet;
  std::set<CHostLayer*> m_connected;
  std::set<CHostLayer*> m_reference;
  HostProbe* m_partner = nullptr;
  bool m_eligible;
  bool m_selected = true;
  HostViewLog* m_viewLog = nullptr;
  std::string m_id;
};

}  // namespace host
