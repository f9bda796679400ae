#include "brimstead/wizards/MESelectSupplyPages.h"

#include "brimstead/ModelExtractorAnalysisData.h"

namespace {

// The wizard dialog gives the step its title and header.
const PowerPinsTraits kViewerTraits{
    CMESelectSupplyOlmPage::IDD,
    1161,
    "",
    "",
    "Only IC power pins with reference layers selected are included in the list.\n\nTo add more pins to the list, "
    "you may invoke the \"Assign Power Integrity Models\" command from the Models menu or press the button \"Add IC "
    "Power Pin\".  Reference layers may also be selected in the \"Assign Power Integrity Models\" dialog box.\n",
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

int CSupplyPortList::GetCount() { return m_pRecord ? m_pRecord->m_SupplyPorts.GetSize() : 0; }

void CSupplyPortList::Check(int i) {
  CPortProbe& port = m_pRecord->m_SupplyPorts[i];
  if (!port.Check()) {
    port.m_bValid = 0;
    port.m_bEnabled = 0;
  }
}

bool CSupplyPortList::IsValid(int i) { return m_pRecord->m_SupplyPorts[i].m_bValid != 0; }

bool CSupplyPortList::IsEnabled(int i) { return m_pRecord->m_SupplyPorts[i].m_bEnabled != 0; }

void CSupplyPortList::SetEnabled(int i, bool enabled) { m_pRecord->m_SupplyPorts[i].m_bEnabled = enabled ? 1 : 0; }

bool CSupplyPortList::IsExpanded(int i) { return m_pRecord->m_SupplyPorts[i].m_bExpanded != 0; }

void CSupplyPortList::SetExpanded(int i, bool expanded) {
  m_pRecord->m_SupplyPorts[i].m_bExpanded = expanded ? 1 : 0;
}

CString CSupplyPortList::GetMessage(int i) { return m_pRecord->m_SupplyPorts[i].m_Message; }

CString CSupplyPortList::GetGroupName(int i, PinPageFlavour) {
  CHostProbe* probe = m_pRecord->m_SupplyPorts[i].m_pHostProbe;
  const CString name = probe ? Text(probe->GetName()) : CString();
  const int dot = name.ReverseFind('.');
  return dot < 0 ? name : name.Left(dot);
}

CString CSupplyPortList::GetPinName(int i, PinPageFlavour flavour) {
  CPortProbe& port = m_pRecord->m_SupplyPorts[i];
  if (flavour == PinPageFlavour::Viewer)
    return Text(port.GetName());
  return port.m_pHostProbe ? Text(port.m_pHostProbe->GetName()) : CString();
}

CString CSupplyPortList::GetNetName(int i) {
  CHostProbe* probe = m_pRecord->m_SupplyPorts[i].m_pHostProbe;
  CHostProbeElement* pin = probe ? probe->GetElement() : nullptr;
  CHostNet* net = pin ? pin->GetNet() : nullptr;
  return Text(net ? net->GetName() : nullptr);
}

std::vector<CString> CSupplyPortList::GetConnectedLayers(int i) { return m_pRecord->m_SupplyPorts[i].m_FirstLayers; }

std::vector<CString> CSupplyPortList::GetReferenceLayers(int i) {
  return m_pRecord->m_SupplyPorts[i].m_SecondLayers;
}

bool CSupplyPortList::IsPair(int i) {
  CHostProbe* probe = m_pRecord->m_SupplyPorts[i].m_pHostProbe;
  return probe && probe->GetPartner() != nullptr;
}

void CSupplyPortList::Reorder(const std::vector<int>& order) {
  CPortProbeArray reordered;
  for (int i : order)
    reordered.Add(m_pRecord->m_SupplyPorts[i]);
  m_pRecord->m_SupplyPorts.Copy(reordered);
}

bool CSupplyPortList::IsOrderKept() { return m_pRecord && m_pRecord->m_bSupplyOrderKept; }

void CSupplyPortList::SetOrderKept(bool kept) {
  if (m_pRecord)
    m_pRecord->m_bSupplyOrderKept = kept ? 1 : 0;
}

CHostProbeElement* CSupplyPortList::GetElement(int i) {
  CHostProbe* probe = m_pRecord->m_SupplyPorts[i].m_pHostProbe;
  return probe ? probe->GetElement() : nullptr;
}

CMESelectSupplyOlmPage::CMESelectSupplyOlmPage() : CPowerPinsPage(PinPageFlavour::Viewer, kViewerTraits) {}

std::unique_ptr<CPinRecordList> CMESelectSupplyOlmPage::Records() {
  return std::make_unique<CSupplyPortList>(GetModelExtractorAnalysisData());
}

CMESelectSupplyTPEPage::CMESelectSupplyTPEPage() : CPowerPinsPage(PinPageFlavour::List, kListTraits) {}

std::unique_ptr<CPinRecordList> CMESelectSupplyTPEPage::Records() {
  return std::make_unique<CSupplyPortList>(GetModelExtractorAnalysisData());
}
