// CBypassAnalysisData: the record of the bypass wizard (kind 2): the signal vias picked in the host's board view.
#pragma once

#include "brimstead/AnalysisData.h"
#include "brimstead/ProbeSection.h"
#include "brimstead/BypassViaProbe.h"
#include "brimstead/RecordArray.h"

using CBypassViaProbeArray = CRecordArray<CBypassViaProbe>;

class CBypassAnalysisData final : public CAnalysisData {
public:
  static constexpr int Kind = 2;

  CBypassAnalysisData();
  CBypassAnalysisData(const CBypassAnalysisData& other) : CAnalysisData(other) { *this = other; }
  CBypassAnalysisData& operator=(const CBypassAnalysisData& other);

  double GetDefaultMinFreq() const override { return 1e6; }
  double GetDefaultMaxFreq() const override { return 5e9; }
  CPageIdList Check(CString* messages) override;
  void SelectBoard(int index) override;
  int GetKind() const override { return Kind; }
  bool Save() override;
  bool Load(const char* path) override;
  int GetPortCount() override;

  // Empty when the via selection is usable, else one message.
  CString GetSelectionStatusText() const;
  void CollectProbes();
  // False without a host probe; otherwise checks the via and disables it when it is not valid; true.
  bool CheckProbe(CBypassViaProbe& probe);
  // Fills the probe's layer lists and message and decides whether it passes a T-plane between two connected layers.
  static void CheckVia(CBypassViaProbe& probe);

  CBypassViaProbeArray m_Probes;
  // In memory only: the vias' order is the user's or a settings file's, and a list page's fill keeps it. Clear while
  // the list is freshly collected from the host (a list page then orders it by name).
  BYTE m_bProbeOrderKept = 0;

private:
  CProbeSectionText ProbeSectionText();
  void ApplyProbeSection(const std::string& block);
};

CBypassAnalysisData* GetBypassAnalysisData();
