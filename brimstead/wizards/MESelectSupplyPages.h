// The model extractor's supply-pin pages: the decoupling wizard's IC power pin pages (CPowerPinsPage) over the
// extractor record's supply-pin ports, with the extractor's texts, empty-cell texts and host command.
#pragma once

#include "brimstead/wizards/PowerPinsPage.h"

class CModelExtractorAnalysisData;

using CMESupplyGridWnd = CPowerPinsGridWnd;
using CMESupplyPortsGridWnd = CPowerPinsGridWnd;

// The extractor record's supply-pin ports as the pin pages see them. A port without a host probe shows empty
// names, is never valid and is never dereferenced.
class CSupplyPortList final : public CPinRecordList {
public:
  explicit CSupplyPortList(CModelExtractorAnalysisData* record) : m_pRecord(record) {}
  int GetCount() override;
  void Check(int i) override;
  bool IsValid(int i) override;
  bool IsEnabled(int i) override;
  void SetEnabled(int i, bool enabled) override;
  bool IsExpanded(int i) override;
  void SetExpanded(int i, bool expanded) override;
  CString GetMessage(int i) override;
  // The host probe's name before its last ".", the whole name without one.
  CString GetGroupName(int i, PinPageFlavour flavour) override;
  CString GetPinName(int i, PinPageFlavour flavour) override;
  // The net of the host probe's pin object.
  CString GetNetName(int i) override;
  std::vector<CString> GetConnectedLayers(int i) override;
  std::vector<CString> GetReferenceLayers(int i) override;
  bool IsPair(int i) override;
  void Reorder(const std::vector<int>& order) override;
  bool IsOrderKept() override;
  void SetOrderKept(bool kept) override;
  CHostProbeElement* GetElement(int i) override;

private:
  CModelExtractorAnalysisData* m_pRecord;
};

class CMESelectSupplyOlmPage : public CPowerPinsPage {
public:
  enum : int { IDD = 1162 };
  CMESelectSupplyOlmPage();
  bool AcceptsViewerPicks() override { return true; }

protected:
  std::unique_ptr<CPinRecordList> Records() override;
};

class CMESelectSupplyTPEPage : public CPowerPinsPage {
public:
  enum : int { IDD = 1027 };
  CMESelectSupplyTPEPage();

protected:
  std::unique_ptr<CPinRecordList> Records() override;
};
