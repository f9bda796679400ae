#include "brimstead/wizards/DWSelectProbesPages.h"

#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/wizards/CAddBoardProbes.h"

namespace {

const char* const kTitle = "Select IC Power Pins";
const char* const kHeader =
    "Choose IC Power Pins for the Analysis\r\nIn the list box below choose one or more IC power pins from whose "
    "locations to \"observe\" the PDN's decoupling impedance.";

const PowerPinsTraits kViewerTraits{
    CDWSelectProbesOlmPage::IDD,
    1161,
    kTitle,
    kHeader,
    kViewerPinsInstruction,
    "",
    "no avaliable layers",
    nullptr,
    true,
    false,
    true,
    true,
    16,
    false};

const PowerPinsTraits kListTraits{
    CDWSelectProbesTPEPage::IDD,
    1146,
    kTitle,
    kHeader,
    "Check the IC power pins from whose locations you want to \"observe\" the PDN's impedance.\n\nTo change the "
    "pins' port numbering, drag their rows into the desired order.",
    "no connected layers",
    "no reference layers",
    nullptr,
    true,
    true,
    true,
    false,
    16,
    false};

CString Text(const char* text) { return text ? text : ""; }

}  // namespace

std::vector<CString> SplitLayerText(const char* text) {
  std::vector<CString> names;
  CString rest = Text(text);
  if (rest.IsEmpty())
    return names;
  if (rest[0] == '\t')
    rest = rest.Mid(1);
  int start = 0;
  for (;;) {
    const int tab = rest.Find('\t', start);
    names.push_back(rest.Mid(start, tab < 0 ? rest.GetLength() - start : tab - start));
    if (tab < 0)
      return names;
    start = tab + 1;
  }
}

void CDecouplingPinList::Check(int i) { At(i).Check(); }

CHostProbeElement* CDecouplingPinList::GetElement(int i) { return At(i).m_pElement; }

CString CDecouplingPinList::GetGroupName(int i, PinPageFlavour) {
  // A board-mode record keeps no pin object of its own: its host probe's is asked.
  CDecouplingProbe& probe = At(i);
  CHostProbeElement* element = probe.m_pElement;
  if (!element && probe.m_pHostProbe)
    element = probe.m_pHostProbe->GetElement();
  return PinGroupName(element, probe.m_pHostProbe);
}

CString CDecouplingPinList::GetPinName(int i, PinPageFlavour) {
  CDecouplingProbe& probe = At(i);
  if (probe.m_pHostProbe)
    return Text(probe.GetName());
  return probe.m_pElement ? ComponentPinText(probe.m_pElement) : CString();
}

CString CDecouplingPinList::GetNetName(int i) {
  // The pin object's own net: the host answers a supply-pin probe's net with its reference net.
  CHostProbeElement* element = At(i).m_pElement;
  CHostNet* net = element ? element->GetNet() : nullptr;
  return Text(net ? net->GetName() : nullptr);
}

std::vector<CString> CDecouplingPinList::GetConnectedLayers(int i) {
  return SplitLayerText(At(i).GetConnectedLayers());
}

std::vector<CString> CDecouplingPinList::GetReferenceLayers(int i) {
  return SplitLayerText(At(i).GetReferenceLayers());
}

CDWSelectProbesOlmPage::CDWSelectProbesOlmPage() : CDecouplingPinsPage(PinPageFlavour::Viewer, kViewerTraits) {}

bool CDWSelectProbesOlmPage::RunAddBoardProbes() {
  CDecouplingAnalysisData* record = GetDecouplingAnalysisData();
  m_FirstList.clear();
  m_SecondList.clear();
  if (!record)
    return false;
  CHostCollectionRef components(record->m_pBoard ? record->m_pBoard->GetComponents() : nullptr);
  for (int c = 0; c < components.Count(); ++c) {
    CHostComponent* component = components.Item<CHostComponent>(c);
    CHostCollectionRef pins(component ? component->GetPins() : nullptr);
    for (int p = 0; p < pins.Count(); ++p) {
      CHostProbeElement* pin = pins.Item<CHostProbeElement>(p);
      CHostNet* net = pin ? pin->GetNet() : nullptr;
      if (!net || (net != record->m_pNet1 && net != record->m_pNet2))
        continue;
      bool listed = false;
      for (int i = 0; i < record->m_Probes.GetSize() && !listed; ++i)
        listed = record->m_Probes[i].m_pElement == pin;
      if (!listed)
        (net == record->m_pNet1 ? m_FirstList : m_SecondList).push_back(pin);
    }
  }
  CAddBoardProbes dialog(&record->m_Probes, &m_FirstList, &m_SecondList, this);
  return dialog.DoModal() == IDOK;
}

CDWSelectProbesTPEPage::CDWSelectProbesTPEPage() : CDecouplingPinsPage(PinPageFlavour::List, kListTraits) {}
