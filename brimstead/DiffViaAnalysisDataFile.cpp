// The via-model record's part of the ".dao" file: its keys in "OPTIONS_DV" and the section "DIFFVIA_PROBES".
//
// "DIFFVIA_PROBES" in board mode, one line per record: PROBE_00 = <host probe name> Enabled|Disabled, followed by a
// blank, lines ended by "\r\n" and the block by one empty line. Outside board mode it is written empty.
#include "brimstead/DiffViaAnalysisData.h"

#include "brimstead/ProbeSection.h"
#include "brimstead/SettingRanges.h"
#include "brimstead/SettingsIO.h"
#include "platform/base/ProfileBatch.h"
#include "shared/Misc_Ini.h"

using namespace settings_io;

CProbeSectionText CDiffViaAnalysisData::ProbeSectionText() {
  CProbeSectionText text;
  if (!m_bBoardMode)
    return text;
  for (int i = 0; i < m_Probes.GetSize(); ++i) {
    CViaPairProbe& probe = m_Probes[i];
    text.AddLine(ProbeLineStart("PROBE_", i), TextOf(probe.GetName()), {probe.m_bEnabled ? "Enabled" : "Disabled"});
    text.Add("\r\n");
  }
  text.Add("\r\n");
  return text;
}

bool CDiffViaAnalysisData::Save() {
  if (m_SettingsPath.IsEmpty())
    return false;
  const char* file = m_SettingsPath;
  // The common part and this record's own keys reach the file together.
  plat::ProfileBatch batch(file);
  bool written = CAnalysisData::Save();
  written &= WriteFlag("OPTIONS_DV", "ExportCommonMode", m_bExportCommonMode, file);
  written &= WriteFlag("OPTIONS_DV", "ExportDifferentialMode", m_bExportDifferentialMode, file);
  written &= WriteFlag("OPTIONS_DV", "DiffViaType", m_bDiffViaType, file);
  written &= WriteNumber("OPTIONS_DV", "NormalImpedance", "%f", m_dNormalImpedance, file);
  if (!m_ProjectPath.IsEmpty()) {
    if (m_nBoardIndex >= 0)
      written &= WriteInt("BOARD", "BoardIdx", m_nBoardIndex, file);
    written &= WriteProbeSection("DIFFVIA_PROBES", ProbeSectionText(), file);
  }
  return batch.Close(written) != FALSE;
}

bool CDiffViaAnalysisData::Load(const char* path) {
  if (!CAnalysisData::Load(path))
    return false;
  const char* file = m_SettingsPath;
  m_bExportCommonMode = ReadInt("OPTIONS_DV", "ExportCommonMode", 0, file) != 0;
  m_bExportDifferentialMode = ReadInt("OPTIONS_DV", "ExportDifferentialMode", 0, file) != 0;
  m_bDiffViaType = ReadInt("OPTIONS_DV", "DiffViaType", 0, file) != 0;
  // Read, judged and kept as the model-type page takes a typed impedance; else the default.
  m_dNormalImpedance = kNormalImpedanceRange.AcceptedOr(ReadTypedNumber("OPTIONS_DV", "NormalImpedance", "50.0", file),
                                                        DefaultNormalImpedance);
  if (!ReadBoardSection()) {
    m_Probes.RemoveAll();
    return true;
  }
  if (m_bBoardMode) {
    m_Probes.RemoveAll();
    ParseProbeSection(ReadIniSection("DIFFVIA_PROBES", file));
    m_bProbeOrderKept = 1;
  }
  return true;
}

void CDiffViaAnalysisData::ParseProbeSection(const std::string& block) {
  CollectProbes();
  // Every via is checked once, whether a line names it or not, so that what the record reports does not hang on
  // which vias the lines name.
  for (int i = 0; i < m_Probes.GetSize(); ++i)
    m_Probes[i].Check();
  CProbeLineTargets targets = TargetsByName(m_Probes);
  for (const CProbeLine& line : ReadProbeLines(block)) {
    // The state is the last word; the name is what precedes it (none for a via the host gave no name).
    const int count = static_cast<int>(line.words.size());
    if (!line.HasStateAt(count - 1))
      continue;
    const int named = targets.Take(line.TextBefore(count - 1));
    if (named >= 0)
      m_Probes[named].m_bEnabled = line.words[static_cast<size_t>(count - 1)] == "Enabled";
  }
  PutTakenFirst(m_Probes, targets.Taken());
}
