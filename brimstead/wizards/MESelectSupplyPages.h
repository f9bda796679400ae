// The model extractor's supply-pin pages: the decoupling wizard's IC power pin pages (CPowerPinsPage) over the
// extractor record's supply-pin ports, with the extractor's texts, empty-cell texts and host command.
#pragma once

#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/wizards/PowerPinsPage.h"

using CMESupplyGridWnd = CPowerPinsGridWnd;
using CMESupplyPortsGridWnd = CPowerPinsGridWnd;

// The extractor record's supply-pin ports as the pin pages see them. A port without a host probe shows empty
// names, is never valid and is never dereferenced.
class CSupplyPortList final : public CProbeArrayPinList<CModelExtractorAnalysisData, CPortProbe> {
public:
  explicit CSupplyPortList(CModelExtractorAnalysisData* record)
      : CProbeArrayPinList(record, &CModelExtractorAnalysisData::m_SupplyPorts,
                           &CModelExtractorAnalysisData::m_bSupplyOrderKept) {}
  void Check(int i) override;
  // The component of the host probe's pin object (PinGroupName).
  CString GetGroupName(int i, PinPageFlavour flavour) override;
  CString GetPinName(int i, PinPageFlavour flavour) override;
  // The net of the host probe's pin object.
  CString GetNetName(int i) override;
  std::vector<CString> GetConnectedLayers(int i) override;
  std::vector<CString> GetReferenceLayers(int i) override;
  bool IsPair(int i) override;
  CHostProbeElement* GetElement(int i) override;
};

using CSupplyPinsPage = CRecordPinsPage<CSupplyPortList, &GetModelExtractorAnalysisData>;

class CMESelectSupplyOlmPage : public CSupplyPinsPage {
public:
  enum : int { IDD = 1162 };
  CMESelectSupplyOlmPage();
};

class CMESelectSupplyTPEPage : public CSupplyPinsPage {
public:
  enum : int { IDD = 1027 };
  CMESelectSupplyTPEPage();
};
