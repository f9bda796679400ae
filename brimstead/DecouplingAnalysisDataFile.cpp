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

using namespace settings_io;

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
      CHostProbeElement* element = probe.m_pElement;
      CHostComponent* component = element ? element->GetComponent() : nullptr;
      const CString pin = CString(component ? TextOf(component->GetName()) : "") + "." +
                          (element ? TextOf(element->GetPinName()) : "");
      text.AddLine(ProbeLineStart("PROBE_", i), pin, {state, "AutoReference"});
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
  std::vector<CDecouplingProbe> ordered;
  for (const CProbeLine& line : ReadProbeLines(block)) {
    // The state word is the last word (system mode: the one before "AutoReference"); the name is what precedes it,
    // so that a name with blanks still reads whole, and none for a probe the host gave no name.
    int last = static_cast<int>(line.words.size()) - 1;
    if (!m_bBoardMode && last >= 0 && line.words.back() == "AutoReference")
      --last;
    if (!line.HasStateAt(last))
      continue;
    const CString& state = line.words[static_cast<size_t>(last)];
    const CString name = line.TextBefore(last);
    CString component, pin;
    if (!m_bBoardMode) {
      // A designator splits at its first '.', so a pin name may hold dots.
      const int dot = name.Find('.');
      if (dot < 0)
        continue;
      component = name.Left(dot);
      pin = name.Mid(dot + 1);
    }
    for (int i = 0; i < m_Probes.GetSize(); ++i) {
      CDecouplingProbe& probe = m_Probes[i];
      bool named = false;
      if (m_bBoardMode) {
        named = name == TextOf(probe.GetName());
      } else if (CHostProbeElement* element = probe.m_pElement) {
        CHostComponent* owner = element->GetComponent();
        named = owner && component == TextOf(owner->GetName()) && pin == TextOf(element->GetPinName());
      }
      if (!named)
        continue;
      probe.m_bEnabled = state == "Enabled";
      ordered.push_back(probe);
      m_Probes.RemoveAt(i);
      break;
    }
  }
  CDecouplingProbeArray probes;
  for (const CDecouplingProbe& probe : ordered)
    probes.Add(probe);
  probes.Append(m_Probes);
  m_Probes.Copy(probes);
}
