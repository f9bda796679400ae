// The model extractor's part of the ".dao" file: "NormalImpedance" in "OPTIONS_ME" and the section
// "PDN_CHANNEL_PROBES", whose lines end in "\r\n" and whose block ends with one empty line:
//   list mode:  NET = <selected net>            (only when a net is selected)
//               SUPPLY_00 = <host probe name> Enabled|Disabled
//               VIA_00 = <net> (<x>,<y>) Enabled|Disabled      (net and "(%.6f,%.6f)" of the via's element)
//   board mode: SUPPLY_00 = <host probe name> Enabled|Disabled
//               VIA_00 = <host probe name> Enabled|Disabled
// each value followed by a blank.
#include "brimstead/ModelExtractorAnalysisData.h"

#include "brimstead/HostObjectRefs.h"
#include "brimstead/ProbeSection.h"
#include "brimstead/SettingRanges.h"
#include "brimstead/SettingsIO.h"
#include "platform/base/ProfileBatch.h"
#include "brimstead/WizardSeam.h"
#include "shared/Misc_Ini.h"

using namespace settings_io;

namespace {

CString PositionText(CHostProbeElement* element) {
  CString text;
  if (element)
    text.Format("(%.6f,%.6f)", element->GetX(), element->GetY());
  return text;
}

CString ViaNetName(CPortProbe& port) {
  CHostProbeElement* element = port.m_pHostProbe ? port.m_pHostProbe->GetElement() : nullptr;
  CHostNet* net = element ? element->GetNet() : nullptr;
  return net ? CString(TextOf(net->GetName())) : CString();
}

const char* State(const CPortProbe& port) { return port.m_bEnabled ? "Enabled" : "Disabled"; }

// What a list-mode via line names a via by: its position and its net, joined by a NUL, which neither holds.
CString ViaPlaceText(const CString& position, const CString& net) { return position + '\0' + net; }

// The via ports by their element's place and net, ports without an element left out.
CProbeLineTargets ViasByPlace(CPortProbeArray& ports) {
  CProbeLineTargets targets;
  for (int i = 0; i < ports.GetSize(); ++i) {
    CHostProbeElement* element = ports[i].m_pHostProbe ? ports[i].m_pHostProbe->GetElement() : nullptr;
    if (element)
      targets.Add(ViaPlaceText(PositionText(element), ViaNetName(ports[i])), i);
  }
  return targets;
}

// Gives the port a line of `text` names, the first of that text no earlier line took, the line's state.
void TakePort(CPortProbeArray& ports, CProbeLineTargets& targets, const CString& text, const CString& state) {
  const int named = targets.Take(text);
  if (named >= 0)
    ports[named].m_bEnabled = state == "Enabled";
}

}  // namespace

CProbeSectionText CModelExtractorAnalysisData::ProbeSectionText() {
  CProbeSectionText text;
  if (!m_bBoardMode && m_pSelectedNet) {
    text.AddLine("NET = ", TextOf(m_pSelectedNet->GetName()), {});
    text.Add("\r\n");
  }
  for (int i = 0; i < m_SupplyPorts.GetSize(); ++i) {
    CPortProbe& port = m_SupplyPorts[i];
    text.AddLine(ProbeLineStart("SUPPLY_", i), TextOf(port.GetName()), {State(port)});
    text.Add("\r\n");
  }
  for (int i = 0; i < m_ViaPorts.GetSize(); ++i) {
    CPortProbe& port = m_ViaPorts[i];
    if (m_bBoardMode) {
      text.AddLine(ProbeLineStart("VIA_", i), TextOf(port.GetName()), {State(port)});
    } else {
      CHostProbeElement* element = port.m_pHostProbe ? port.m_pHostProbe->GetElement() : nullptr;
      text.AddLine(ProbeLineStart("VIA_", i), ViaNetName(port), {PositionText(element), State(port)});
    }
    text.Add("\r\n");
  }
  text.Add("\r\n");
  return text;
}

bool CModelExtractorAnalysisData::Save() {
  if (m_SettingsPath.IsEmpty())
    return false;
  const char* file = m_SettingsPath;
  // The common part and this record's own keys reach the file together.
  plat::ProfileBatch batch(file);
  bool written = CAnalysisData::Save();
  written &= WriteNumber("OPTIONS_ME", "NormalImpedance", "%f", m_dNormalImpedance, file);
  if (!m_ProjectPath.IsEmpty()) {
    if (m_nBoardIndex >= 0)
      written &= WriteInt("BOARD", "BoardIdx", m_nBoardIndex, file);
    written &= WriteProbeSection("PDN_CHANNEL_PROBES", ProbeSectionText(), file);
  }
  return batch.Close(written) != FALSE;
}

bool CModelExtractorAnalysisData::Load(const char* path) {
  if (!CAnalysisData::Load(path))
    return false;
  const char* file = m_SettingsPath;
  // Read, judged and kept as the normalisation page takes a typed impedance; else the default.
  m_dNormalImpedance = kNormalImpedanceRange.AcceptedOr(ReadTypedNumber("OPTIONS_ME", "NormalImpedance", "0.1", file),
                                                        DefaultNormalImpedance);
  if (!ReadBoardSection()) {
    m_SupplyPorts.RemoveAll();
    m_ViaPorts.RemoveAll();
    return true;
  }
  m_SupplyPorts.RemoveAll();
  m_ViaPorts.RemoveAll();
  const std::string block = ReadIniSection("PDN_CHANNEL_PROBES", file);
  if (m_bBoardMode)
    ParseBoardModeSection(block);
  else
    ParseListSection(block);
  m_bSupplyOrderKept = 1;
  m_bViaOrderKept = 1;
  return true;
}

void CModelExtractorAnalysisData::ParseBoardModeSection(const std::string& block) {
  CollectProbes();
  CProbeLineTargets supply = TargetsByName(m_SupplyPorts), vias = TargetsByName(m_ViaPorts);
  for (const CProbeLine& line : ReadProbeLines(block)) {
    // The state is the last word; the name is what precedes it (none for a probe the host gave no name).
    const int count = static_cast<int>(line.words.size());
    if (line.key.IsEmpty() || !line.HasStateAt(count - 1))
      continue;
    const CString& state = line.words[static_cast<size_t>(count - 1)];
    const CString name = line.TextBefore(count - 1);
    if (line.key[0] == 'V')
      TakePort(m_ViaPorts, vias, name, state);
    else if (line.key[0] == 'S')
      TakePort(m_SupplyPorts, supply, name, state);
  }
  PutTakenFirst(m_SupplyPorts, supply.Taken());
  PutTakenFirst(m_ViaPorts, vias.Taken());
}

void CModelExtractorAnalysisData::ParseListSection(const std::string& block) {
  CollectProbes();
  const std::vector<CProbeLine> lines = ReadProbeLines(block);
  // The net lines first, wherever they stand: the host's answer to one may collect the ports again (its board view
  // then holds the net's vias), and the port lines name ports of the list the net gives, as the file was saved.
  for (const CProbeLine& line : lines)
    if (!line.key.IsEmpty() && line.key[0] == 'N')
      SelectSavedNet(line.TextBefore(static_cast<int>(line.words.size())));
  CProbeLineTargets supply = TargetsByName(m_SupplyPorts), vias = ViasByPlace(m_ViaPorts);
  for (const CProbeLine& line : lines) {
    if (line.key.IsEmpty())
      continue;
    const int count = static_cast<int>(line.words.size());
    if (line.key[0] == 'V') {
      // From the end: the state, the position; the net name is what precedes them.
      if (count < 3)
        continue;
      const CString& position = line.words[static_cast<size_t>(count - 2)];
      TakePort(m_ViaPorts, vias, ViaPlaceText(position, line.TextBefore(count - 2)),
               line.words[static_cast<size_t>(count - 1)]);
    } else if (line.key[0] == 'S' && line.HasStateAt(count - 1)) {
      TakePort(m_SupplyPorts, supply, line.TextBefore(count - 1), line.words[static_cast<size_t>(count - 1)]);
    }
  }
  PutTakenFirst(m_SupplyPorts, supply.Taken());
  PutTakenFirst(m_ViaPorts, vias.Taken());
}

void CModelExtractorAnalysisData::SelectSavedNet(const CString& name) {
  // The whole value of a net line is the net's name.
  if (!m_pBoard || name.IsEmpty())
    return;
  CHostCollectionRef nets(m_pBoard->GetNets());
  for (int i = 0; i < nets.Count(); ++i) {
    CHostNet* net = nets.Item<CHostNet>(i);
    if (!net || name != TextOf(net->GetName()))
      continue;
    m_pSelectedNet = net;
    CModelExtractorWizardAPILink* api = GetModelExtractorWizardAPI();
    if (CHostWizardCallback* callback = api ? api->GetCallback() : nullptr)
      callback->SelectNet(1, net);
    return;
  }
}
