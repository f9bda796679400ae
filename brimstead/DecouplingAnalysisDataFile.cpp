// The decoupling record's part of the ".dao" file: the nets in "BOARD" and the section "BOARD_PROBES".
//
// "BOARD_PROBES", one line per probe in list order:
//   system mode: PROBE_00 = <component>.<pin> Enabled|Disabled AutoReference
//   board mode:  PROBE_00 = <host probe text> Enabled|Disabled
// each value followed by a blank, lines joined by "\r\n" and the text ended by a further "\r\n".
#include "brimstead/DecouplingAnalysisData.h"

#include "brimstead/HostObjectRefs.h"
#include "brimstead/ProbeSection.h"
#include "brimstead/SettingsIO.h"
#include "platform/base/ProfileBatch.h"
#include "shared/Misc_Ini.h"

#include <cstring>

using namespace settings_io;

namespace {

// The pins of the list by their "<component>.<pin>", pins without a component left out. Designators and pin names
// may both hold full stops, so pins of several components can give one text (U / 1.1 and U.1 / 1): ranked by the
// length of their designator, a line takes the pin of the shortest that no earlier line took, the one that files
// were always read back to (the text split at its first full stop), and a further line of the same text the next.
CProbeLineTargets PinsByText(CDecouplingProbeArray& probes) {
  CProbeLineTargets targets;
  for (int i = 0; i < probes.GetSize(); ++i) {
    CHostProbeElement* element = probes[i].m_pElement;
    CHostComponent* owner = element ? element->GetComponent() : nullptr;
    if (owner)
      targets.Add(ComponentPinText(element), i, std::strlen(TextOf(owner->GetName())));
  }
  return targets;
}

}  // namespace

CProbeSectionText CDecouplingAnalysisData::ProbeSectionText() {
  CProbeSectionText text;
  for (int i = 0; i < m_Probes.GetSize(); ++i) {
    CDecouplingProbe& probe = m_Probes[i];
    if (i > 0)
      text.Add("\r\n");
    const CString state = probe.m_bEnabled ? "Enabled" : "Disabled";
    if (m_bBoardMode) {
      text.AddLine(ProbeLineStart("PROBE_", i), TextOf(probe.GetName()), {state});
    } else {
      text.AddLine(ProbeLineStart("PROBE_", i), ComponentPinText(probe.m_pElement), {state, "AutoReference"});
    }
  }
  text.Add("\r\n");
  return text;
}

bool CDecouplingAnalysisData::Save() {
  if (m_SettingsPath.IsEmpty())
    return false;
  const char* file = m_SettingsPath;
  // The common part and this record's own keys reach the file together.
  plat::ProfileBatch batch(file);
  bool written = CAnalysisData::Save();
  if (!m_ProjectPath.IsEmpty()) {
    if (m_nBoardIndex >= 0)
      written &= WriteInt("BOARD", "BoardIdx", m_nBoardIndex, file);
    if (m_pNet1 && m_pNet2) {
      written &= WriteText("BOARD", "Net1_Name", TextOf(m_pNet1->GetName()), file);
      written &= WriteText("BOARD", "Net2_Name", TextOf(m_pNet2->GetName()), file);
    }
    written &= WriteProbeSection("BOARD_PROBES", ProbeSectionText(), file);
  }
  return batch.Close(written) != FALSE;
}

void CDecouplingAnalysisData::FindNetsByName(const CString& net1, const CString& net2) {
  m_pNet1 = nullptr;
  m_pNet2 = nullptr;
  if (!m_pBoard)
    return;
  CHostCollectionRef nets(m_pBoard->GetNets());
  for (int i = nets.Count() - 1; i >= 0 && !(m_pNet1 && m_pNet2); --i) {
    CHostNet* net = nets.Item<CHostNet>(i);
    double voltage = 0.0;
    if (!net || !net->IsSupply(&voltage) || !HostCollectionHasKind4(net))
      continue;
    const char* name = TextOf(net->GetName());
    if (!m_pNet1 && net1 == name)
      m_pNet1 = net;
    if (!m_pNet2 && net2 == name)
      m_pNet2 = net;
  }
}

bool CDecouplingAnalysisData::Load(const char* path) {
  if (!CAnalysisData::Load(path))
    return false;
  if (!ReadBoardSection()) {
    m_pNet1 = nullptr;
    m_pNet2 = nullptr;
    m_Probes.RemoveAll();
    return true;
  }
  const char* file = m_SettingsPath;
  FindNetsByName(ReadText("BOARD", "Net1_Name", "", file), ReadText("BOARD", "Net2_Name", "", file));
  ApplyProbeSection(ReadIniSection("BOARD_PROBES", file));
  m_bProbeOrderKept = 1;
  return true;
}

void CDecouplingAnalysisData::ApplyProbeSection(const std::string& block) {
  CollectProbes();
  // Board mode: a line names the probe of its host probe's name; system mode: the pin of its whole text.
  CProbeLineTargets targets = m_bBoardMode ? TargetsByName(m_Probes) : PinsByText(m_Probes);
  for (const CProbeLine& line : ReadProbeLines(block)) {
    // The state word is the last word (system mode: the one before "AutoReference"); the name is what precedes it,
    // so that a name with blanks still reads whole, and none for a probe the host gave no name.
    int last = static_cast<int>(line.words.size()) - 1;
    if (!m_bBoardMode && last >= 0 && line.words.back() == "AutoReference")
      --last;
    if (!line.HasStateAt(last))
      continue;
    const int named = targets.Take(line.TextBefore(last));
    if (named >= 0)
      m_Probes[named].m_bEnabled = line.words[static_cast<size_t>(last)] == "Enabled";
  }
  PutTakenFirst(m_Probes, targets.Taken());
}
