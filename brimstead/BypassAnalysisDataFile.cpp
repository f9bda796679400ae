// The bypass record's part of the ".dao" file: "BOARD" keys and the section "VIA_PROBES".
//
// "VIA_PROBES" in board mode, one line per via: PROBE_00 = <host probe text> Enabled|Disabled "<layer>" - "<layer>"
// followed by a blank, lines joined by "\r\n" and ended by a further "\r\n". Outside board mode it is written empty
// and never read.
#include "brimstead/BypassAnalysisData.h"

#include "brimstead/ProbeSection.h"
#include "brimstead/SettingsIO.h"
#include "platform/base/ProfileBatch.h"
#include "shared/Misc_Ini.h"

#include <algorithm>

using namespace settings_io;

CProbeSectionText CBypassAnalysisData::ProbeSectionText() {
  CProbeSectionText text;
  for (int i = 0; i < m_Probes.GetSize(); ++i) {
    CBypassViaProbe& probe = m_Probes[i];
    if (i > 0)
      text.Add("\r\n");
    text.AddLine(ProbeLineStart("PROBE_", i), TextOf(probe.GetName()),
                 {probe.m_bEnabled ? "Enabled" : "Disabled", "\"" + probe.m_FirstLayer + "\"", "-",
                  "\"" + probe.m_SecondLayer + "\""});
  }
  text.Add("\r\n");
  return text;
}

bool CBypassAnalysisData::Save() {
  if (m_SettingsPath.IsEmpty())
    return false;
  const char* file = m_SettingsPath;
  // The common part and this record's own keys reach the file together.
  plat::ProfileBatch batch(file);
  bool written = CAnalysisData::Save();
  if (!m_ProjectPath.IsEmpty()) {
    // The bypass record always stores the full project path, even beside the settings file; its readers expect it.
    written &= WriteText("BOARD", "ProjectPath", m_ProjectPath, file);
    if (m_nBoardIndex >= 0)
      written &= WriteInt("BOARD", "BoardIdx", m_nBoardIndex, file);
    written &= WriteProbeSection("VIA_PROBES", m_bBoardMode ? ProbeSectionText() : CProbeSectionText(), file);
  }
  return batch.Close(written) != FALSE;
}

bool CBypassAnalysisData::Load(const char* path) {
  if (!CAnalysisData::Load(path))
    return false;
  if (!ReadBoardSection()) {
    SelectBoard(m_pSystem && !m_pSystem->MustChooseBoard() ? 0 : -1);
    CollectProbes();
    return true;
  }
  if (!m_bBoardMode)
    return true;
  CollectProbes();
  ApplyProbeSection(ReadIniSection("VIA_PROBES", m_SettingsPath));
  m_bProbeOrderKept = 1;
  return true;
}

void CBypassAnalysisData::ApplyProbeSection(const std::string& block) {
  // Every via is checked once, whether a line names it or not: a line's layers are tested against its via's, and
  // what the record reports does not hang on which vias the lines name.
  for (int i = 0; i < m_Probes.GetSize(); ++i)
    CheckProbe(m_Probes[i]);
  CProbeLineTargets targets = TargetsByName(m_Probes);
  for (const CProbeLine& line : ReadProbeLines(block)) {
    // Words from the end: the second layer, "-", the first layer, the state; the probe text is what precedes (none
    // for a via the host gave no name).
    const int count = static_cast<int>(line.words.size());
    if (count < 4 || !line.HasStateAt(count - 4) || line.words[static_cast<size_t>(count - 2)] != "-")
      continue;
    const int named = targets.Take(line.TextBefore(count - 4));
    if (named < 0)
      continue;
    const CString& second = line.words[static_cast<size_t>(count - 1)];
    const CString& first = line.words[static_cast<size_t>(count - 3)];
    const CString& state = line.words[static_cast<size_t>(count - 4)];
    CBypassViaProbe& probe = m_Probes[named];
    // Only one of the via's pairs is a choice (named in either order, it is taken in the via's): two connected
    // layers that are no pair (one layer twice) are no more a choice than layers the via does not have.
    if (const CString* pair = probe.FindPair(first, second)) {
      probe.m_FirstLayer = pair[0];
      probe.m_SecondLayer = pair[1];
      probe.m_bEnabled = state == "Enabled";
    } else {
      probe.m_FirstLayer.Empty();
      probe.m_SecondLayer.Empty();
      probe.m_bEnabled = 0;
    }
  }
  PutTakenFirst(m_Probes, targets.Taken());
}
