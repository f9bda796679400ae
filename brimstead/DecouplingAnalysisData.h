// CDecouplingAnalysisData: the record of the decoupling-analysis wizard (kind 1): the pair of supply nets to
// analyse and the probes, the IC power pins at which the analysis observes the network.
#pragma once

#include "brimstead/AnalysisData.h"
#include "brimstead/ProbeSection.h"
#include "brimstead/DecouplingProbe.h"
#include "brimstead/RecordArray.h"

#include <string>

using CDecouplingProbeArray = CRecordArray<CDecouplingProbe>;

class CDecouplingAnalysisData final : public CAnalysisData {
public:
  static constexpr int Kind = 1;

  CDecouplingAnalysisData();
  CDecouplingAnalysisData(const CDecouplingAnalysisData& other) : CAnalysisData(other) { *this = other; }
  CDecouplingAnalysisData& operator=(const CDecouplingAnalysisData& other);

  double GetDefaultMinFreq() const override { return 1e6; }
  double GetDefaultMaxFreq() const override { return 3e8; }
  CPageIdList Check(CString* messages) override;
  void SelectBoard(int index) override;
  int GetKind() const override { return Kind; }
  bool Save() override;
  bool Load(const char* path) override;
  int GetPortCount() override;

  // Rebuilds the probes from the pins picked in the host's board view.
  void CollectProbes();
  // False only for a Distributed analysis without an enabled probe.
  bool HasEnabledProbeForDistributed() const;

  CHostNet* m_pNet1 = nullptr;
  CHostNet* m_pNet2 = nullptr;
  CDecouplingProbeArray m_Probes;
  // In memory only: the probes' order is the user's or a settings file's, and a page's fill keeps it. Clear
  // while the list is freshly collected from the host (a page then sorts it by name).
  BYTE m_bProbeOrderKept = 0;

private:
  CProbeSectionText ProbeSectionText();
  void ApplyProbeSection(const std::string& block);
  void FindNetsByName(const CString& net1, const CString& net2);
};

CDecouplingAnalysisData* GetDecouplingAnalysisData();
