// The decoupling-analysis wizard's IC power pin pages: CDWSelectProbesOlmPage shows the pins picked in the host's
// board viewer (with "Check All", "Uncheck All" and "Add IC Power Pin..."), CDWSelectProbesTPEPage the pins the
// record holds, ordered by dragging rows. Both are CPowerPinsPage over the record's probe list.
#pragma once

#include "brimstead/wizards/PowerPinsPage.h"

class CDecouplingAnalysisData;

using CDWPinsGridWnd = CPowerPinsGridWnd;
using CDWPinPortsGridWnd = CPowerPinsGridWnd;

// The decoupling record's probes as the pin pages see them. A record without a host probe (the add-probes dialog
// makes them) takes its names from its pin object.
class CDecouplingPinList final : public CPinRecordList {
public:
  explicit CDecouplingPinList(CDecouplingAnalysisData* record) : m_pRecord(record) {}
  int GetCount() override;
  void Check(int i) override;
  bool IsValid(int i) override;
  bool IsEnabled(int i) override;
  void SetEnabled(int i, bool enabled) override;
  bool IsExpanded(int i) override;
  void SetExpanded(int i, bool expanded) override;
  CString GetMessage(int i) override;
  CString GetGroupName(int i, PinPageFlavour flavour) override;
  CString GetPinName(int i, PinPageFlavour flavour) override;
  CString GetNetName(int i) override;
  std::vector<CString> GetConnectedLayers(int i) override;
  std::vector<CString> GetReferenceLayers(int i) override;
  bool IsPair(int) override { return false; }
  void Reorder(const std::vector<int>& order) override;
  bool IsOrderKept() override;
  void SetOrderKept(bool kept) override;
  CHostProbeElement* GetElement(int i) override;

private:
  CDecouplingAnalysisData* m_pRecord;
};

// A layer text of the records ("\tL1\tL2" or "L1\tL2"): one leading tab dropped, the rest split at tabs.
std::vector<CString> SplitLayerText(const char* text);

class CDWSelectProbesOlmPage : public CPowerPinsPage {
public:
  enum : int { IDD = 1162 };
  CDWSelectProbesOlmPage();
  bool AcceptsViewerPicks() override { return true; }

protected:
  std::unique_ptr<CPinRecordList> Records() override;
  // The supply pins of the record's two nets that are not probes yet, one list per net.
  bool RunAddBoardProbes() override;

private:
  std::vector<CHostProbeElement*> m_FirstList;
  std::vector<CHostProbeElement*> m_SecondList;
};

class CDWSelectProbesTPEPage : public CPowerPinsPage {
public:
  enum : int { IDD = 1027 };
  CDWSelectProbesTPEPage();

protected:
  std::unique_ptr<CPinRecordList> Records() override;
};
