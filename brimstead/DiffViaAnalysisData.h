// CDiffViaAnalysisData: the record of the via-model wizard (kind 3): one signal via or a differential via pair,
// the modes to export and the normalisation impedance.
#pragma once

#include "brimstead/AnalysisData.h"
#include "brimstead/ProbeSection.h"
#include "brimstead/RecordArray.h"
#include "brimstead/ViaPairProbe.h"

#include <string>

using CViaPairProbeArray = CRecordArray<CViaPairProbe>;

class CDiffViaAnalysisData final : public CAnalysisData {
public:
  static constexpr int Kind = 3;

  CDiffViaAnalysisData();
  CDiffViaAnalysisData(const CDiffViaAnalysisData& other) : CAnalysisData(other) { *this = other; }
  CDiffViaAnalysisData& operator=(const CDiffViaAnalysisData& other);

  double GetDefaultMinFreq() const override { return 1e6; }
  double GetDefaultMaxFreq() const override { return 5e9; }
  CPageIdList Check(CString* messages) override;
  void SelectBoard(int index) override;
  int GetKind() const override { return Kind; }
  bool Save() override;
  bool Load(const char* path) override;
  int GetPortCount() override;

  // Checks one record: its layer lists, T-plane names, valid flag and message.
  static void CheckViaPair(CViaPairProbe& probe);
  // Empty when the via selection is usable, else one message (board mode also sets the via type).
  CString GetSelectionStatusText();
  CString GetViewerStatusText();
  CString GetListStatusText() const;
  void CollectProbes();
  void ParseProbeSection(const std::string& block);

  bool m_bExportDifferentialMode = false;
  bool m_bExportCommonMode = false;
  bool m_bDiffViaType = false;   // the via is a differential pair
  static constexpr double DefaultNormalImpedance = 50.0;
  double m_dNormalImpedance = DefaultNormalImpedance;
  CViaPairProbeArray m_Probes;
  // In memory only: the vias' order is the user's or a settings file's, and a list page's fill keeps it. Clear while
  // the list is freshly collected from the host (a list page then orders it by name).
  BYTE m_bProbeOrderKept = 0;

private:
  CProbeSectionText ProbeSectionText();
};

CDiffViaAnalysisData* GetDiffViaAnalysisData();
