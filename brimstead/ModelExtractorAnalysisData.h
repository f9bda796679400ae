// CModelExtractorAnalysisData: the record of the PDN model extractor (kind 4): ports at IC supply pins and at
// signal vias, the net chosen for the extraction and the normalisation impedance.
#pragma once

#include "brimstead/AnalysisData.h"
#include "brimstead/ProbeSection.h"
#include "brimstead/PortProbe.h"
#include "brimstead/RecordArray.h"

#include <string>

using CPortProbeArray = CRecordArray<CPortProbe>;

class CModelExtractorAnalysisData final : public CAnalysisData {
public:
  static constexpr int Kind = 4;

  CModelExtractorAnalysisData();
  CModelExtractorAnalysisData(const CModelExtractorAnalysisData& other) : CAnalysisData(other) { *this = other; }
  CModelExtractorAnalysisData& operator=(const CModelExtractorAnalysisData& other);

  double GetDefaultMinFreq() const override { return 1e6; }
  double GetDefaultMaxFreq() const override { return 3e8; }
  CPageIdList Check(CString* messages) override;
  void SelectBoard(int index) override;
  int GetKind() const override { return Kind; }
  bool Save() override;
  bool Load(const char* path) override;
  int GetPortCount() override;

  // Empties both lists and the message, then checks the port by its kind.
  static void CheckPort(CPortProbe& port);
  static void CheckSupplyPin(CPortProbe& port);
  static void CheckVia(CPortProbe& port);
  // "SupplyPin or/and Via probes are to be selected!" when no port is enabled, else empty.
  CString GetStatusText() const;
  int GetEnabledSupplyPortCount() const;
  // Rebuilds the ports from the host's picks; ports already listed keep their place, state and lists.
  void CollectProbes();

  CPortProbeArray m_SupplyPorts;
  // In memory only: the supply pins' order is the user's or a settings file's, and a page's fill keeps it. Clear
  // while the list is freshly collected from the host (a page then sorts it by name).
  BYTE m_bSupplyOrderKept = 0;
  CPortProbeArray m_ViaPorts;
  // The same mark for the via ports.
  BYTE m_bViaOrderKept = 0;
  CHostNet* m_pSelectedNet = nullptr;
  static constexpr double DefaultNormalImpedance = 0.1;
  double m_dNormalImpedance = DefaultNormalImpedance;

private:
  CProbeSectionText ProbeSectionText();
  void ParseBoardModeSection(const std::string& block);
  void ParseListSection(const std::string& block);
  // A net line: the board's net of that name becomes the selected net, and the host is asked to select it.
  void SelectSavedNet(const CString& name);
};

CModelExtractorAnalysisData* GetModelExtractorAnalysisData();
