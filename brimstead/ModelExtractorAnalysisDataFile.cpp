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
#include "shared/Misc_Number.h"

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

// Moves the first port that `matches` to `ordered` with the line's state; the ports left keep their order.
template <class Matches>
void TakePort(CPortProbeArray& ports, std::vector<CPortProbe>& ordered, const CString& state, Matches matches) {
  for (int i = 0; i < ports.GetSize(); ++i) {
    if (!matches(ports[i]))
      continue;
    ports[i].m_bEnabled = state == "Enabled";
    ordered.push_back(ports[i]);
    ports.RemoveAt(i);
    return;
  }
}

void Reorder(CPortProbeArray& ports, const std::vector<CPortProbe>& ordered) {
  CPortProbeArray result;
  for (const CPortProbe& port : ordered)
    result.Add(port);
  result.Append(ports);
  ports.Copy(result);
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
  m_dNormalImpedance = kNormalImpedanceRange.AcceptedOr(
      ParseDouble(ReadText("OPTIONS_ME", "NormalImpedance", "0.1", file).Left(127)), DefaultNormalImpedance);
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
  std::vector<CPortProbe> supply, vias;
  for (const CProbeLine& line : ReadProbeLines(block)) {
    // The state is the last word; the name is what precedes it (none for a probe the host gave no name).
    const int count = static_cast<int>(line.words.size());
    if (line.key.IsEmpty() || !line.HasStateAt(count - 1))
      continue;
    const CString& state = line.words[static_cast<size_t>(count - 1)];
    const CString name = line.TextBefore(count - 1);
    auto named = [&](CPortProbe& port) { return name == TextOf(port.GetName()); };
    if (line.key[0] == 'V')
      TakePort(m_ViaPorts, vias, state, named);
    else if (line.key[0] == 'S')
      TakePort(m_SupplyPorts, supply, state, named);
  }
  Reorder(m_SupplyPorts, supply);
  Reorder(m_ViaPorts, vias);
}

void CModelExtractorAnalysisData::ParseListSection(const std::string& block) {
  CollectProbes();
  std::vector<CPortProbe> supply, vias;
  for (const CProbeLine& line : ReadProbeLines(block)) {
    if (line.key.IsEmpty())
      continue;
    const int count = static_cast<int>(line.words.size());
    switch (line.key[0]) {
    case 'N': {
      // The whole value is the net's name.
      const CString name = line.TextBefore(count);
      if (!m_pBoard || name.IsEmpty())
        break;
      CHostCollectionRef nets(m_pBoard->GetNets());
      for (int i = 0; i < nets.Count(); ++i) {
        CHostNet* net = nets.Item<CHostNet>(i);
        if (!net || name != TextOf(net->GetName()))
          continue;
        m_pSelectedNet = net;
        CModelExtractorWizardAPILink* api = GetModelExtractorWizardAPI();
        if (CHostWizardCallback* callback = api ? api->GetCallback() : nullptr)
          callback->SelectNet(1, net);
        break;
      }
      break;
    }
    case 'V': {
      // From the end: the state, the position; the net name is what precedes them.
      if (count < 3)
        break;
      const CString& state = line.words[static_cast<size_t>(count - 1)];
      const CString& position = line.words[static_cast<size_t>(count - 2)];
      const CString net = line.TextBefore(count - 2);
      TakePort(m_ViaPorts, vias, state, [&](CPortProbe& port) {
        CHostProbeElement* element = port.m_pHostProbe ? port.m_pHostProbe->GetElement() : nullptr;
        return element && ViaNetName(port) == net && PositionText(element) == position;
      });
      break;
    }
    case 'S': {
      if (!line.HasStateAt(count - 1))
        break;
      const CString& state = line.words[static_cast<size_t>(count - 1)];
      const CString name = line.TextBefore(count - 1);
      TakePort(m_SupplyPorts, supply, state, [&](CPortProbe& port) { return name == TextOf(port.GetName()); });
      break;
    }
    default: break;
    }
  }
  Reorder(m_SupplyPorts, supply);
  Reorder(m_ViaPorts, vias);
}
