// The decoupling-analysis wizard's IC power pin pages: CDWSelectProbesOlmPage shows the pins picked in the host's
// board viewer (with "Check All", "Uncheck All" and "Add IC Power Pin..."), CDWSelectProbesTPEPage the pins the
// record holds, ordered by dragging rows. Both are CPowerPinsPage over the record's probe list.
#pragma once

#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/wizards/PowerPinsPage.h"

using CDWPinsGridWnd = CPowerPinsGridWnd;
using CDWPinPortsGridWnd = CPowerPinsGridWnd;

// The decoupling record's probes as the pin pages see them. A record without a host probe (the add-probes dialog
// makes them) takes its names from its pin object.
class CDecouplingPinList final : public CProbeArrayPinList<CDecouplingAnalysisData, CDecouplingProbe> {
public:
  explicit CDecouplingPinList(CDecouplingAnalysisData* record)
      : CProbeArrayPinList(record, &CDecouplingAnalysisData::m_Probes, &CDecouplingAnalysisData::m_bProbeOrderKept) {}
  void Check(int i) override;
  CString GetGroupName(int i, PinPageFlavour flavour) override;
  CString GetPinName(int i, PinPageFlavour flavour) override;
  CString GetNetName(int i) override;
  std::vector<CString> GetConnectedLayers(int i) override;
  std::vector<CString> GetReferenceLayers(int i) override;
  bool IsPair(int) override { return false; }
  CHostProbeElement* GetElement(int i) override;
};

// A layer text of the records ("\tL1\tL2" or "L1\tL2"): one leading tab dropped, the rest split at tabs.
std::vector<CString> SplitLayerText(const char* text);

using CDecouplingPinsPage = CRecordPinsPage<CDecouplingPinList, &GetDecouplingAnalysisData>;

class CDWSelectProbesOlmPage : public CDecouplingPinsPage {
public:
  enum : int { IDD = 1162 };
  CDWSelectProbesOlmPage();

protected:
  // The supply pins of the record's two nets that are not probes yet, one list per net.
  bool RunAddBoardProbes() override;

private:
  std::vector<CHostProbeElement*> m_FirstList;
  std::vector<CHostProbeElement*> m_SecondList;
};

class CDWSelectProbesTPEPage : public CDecouplingPinsPage {
public:
  enum : int { IDD = 1027 };
  CDWSelectProbesTPEPage();
};
