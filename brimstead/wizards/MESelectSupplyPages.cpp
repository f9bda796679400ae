#include "brimstead/wizards/MESelectSupplyPages.h"

#include "brimstead/ModelExtractorAnalysisData.h"

namespace {

// The wizard dialog gives the step its title and header.
const PowerPinsTraits kViewerTraits{
    CMESelectSupplyOlmPage::IDD,
    1161,
    "",
    "",
    kViewerPinsInstruction,
    "",
    "no avaliable layers",
    nullptr,
    true,
    false,
    true,
    true,
    2,
    true};

const PowerPinsTraits kListTraits{
    CMESelectSupplyTPEPage::IDD,
    1146,
    "",
    "",
    "Check the IC power pins you want to include in the extracted model as external ports.\n\nTo change the pins' "
    "port numbering, drag their rows into the desired order.",
    "<not connected>",
    "",
    "<no reference>",
    false,
    false,
    false,
    false,
    2,
    false};

CString Text(const char* text) { return text ? text : ""; }

}  // namespace

void CSupplyPortList::Check(int i) {
  CPortProbe& port = At(i);
  if (!port.Check()) {
    port.m_bValid = 0;
    port.m_bEnabled = 0;
  }
}

CString CSupplyPortList::GetGroupName(int i, PinPageFlavour) {
  CHostProbe* probe = At(i).m_pHostProbe;
  return PinGroupName(probe ? probe->GetElement() : nullptr, probe);
}

CString CSupplyPortList::GetPinName(int i, PinPageFlavour flavour) {
  CPortProbe& port = At(i);
  if (flavour == PinPageFlavour::Viewer)
    return Text(port.GetName());
  return port.m_pHostProbe ? Text(port.m_pHostProbe->GetName()) : CString();
}

CString CSupplyPortList::GetNetName(int i) {
  CHostProbe* probe = At(i).m_pHostProbe;
  CHostProbeElement* pin = probe ? probe->GetElement() : nullptr;
  CHostNet* net = pin ? pin->GetNet() : nullptr;
  return Text(net ? net->GetName() : nullptr);
}

std::vector<CString> CSupplyPortList::GetConnectedLayers(int i) { return At(i).m_FirstLayers; }

std::vector<CString> CSupplyPortList::GetReferenceLayers(int i) { return At(i).m_SecondLayers; }

bool CSupplyPortList::IsPair(int i) {
  CHostProbe* probe = At(i).m_pHostProbe;
  return probe && probe->GetPartner() != nullptr;
}

CHostProbeElement* CSupplyPortList::GetElement(int i) {
  CHostProbe* probe = At(i).m_pHostProbe;
  return probe ? probe->GetElement() : nullptr;
}

CMESelectSupplyOlmPage::CMESelectSupplyOlmPage() : CSupplyPinsPage(PinPageFlavour::Viewer, kViewerTraits) {}

CMESelectSupplyTPEPage::CMESelectSupplyTPEPage() : CSupplyPinsPage(PinPageFlavour::List, kListTraits) {}
