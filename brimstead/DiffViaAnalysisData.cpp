#include "brimstead/DiffViaAnalysisData.h"

#include "brimstead/BoardGeometry.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/WizardSeam.h"

CDiffViaAnalysisData* GetDiffViaAnalysisData() { return GetAnalysisDataOfKind<CDiffViaAnalysisData>(); }

CDiffViaAnalysisData::CDiffViaAnalysisData() {
  m_dMinFreq = GetDefaultMinFreq();
  m_dMaxFreq = GetDefaultMaxFreq();
  m_nAnalysisType = AnalysisDistributed;
  m_bGenerateS = 1;
}

CDiffViaAnalysisData& CDiffViaAnalysisData::operator=(const CDiffViaAnalysisData& other) {
  if (this == &other)
    return *this;
  CAnalysisData::operator=(other);
  m_bExportDifferentialMode = other.m_bExportDifferentialMode;
  m_bExportCommonMode = other.m_bExportCommonMode;
  m_bDiffViaType = other.m_bDiffViaType;
  m_dNormalImpedance = other.m_dNormalImpedance;
  m_Probes.Copy(other.m_Probes);
  m_bProbeOrderKept = other.m_bProbeOrderKept;
  return *this;
}

void CDiffViaAnalysisData::CheckViaPair(CViaPairProbe& probe) {
  probe.m_ConnectedLayers.clear();
  probe.m_PartnerConnectedLayers.clear();
  probe.m_bValid = 0;
  probe.m_Message.Empty();
  CHostProbe* via = probe.m_pHostProbe;
  if (!via)
    return;
  CHostProbe* partner = via->GetPartner();
  probe.m_ConnectedLayers = ProbeLayerNames(via, LayerTest::Connected);
  if (partner)
    probe.m_PartnerConnectedLayers = ProbeLayerNames(partner, LayerTest::Connected);

  CHostGeometryQuery* query = GeometryQueryOf(GetDiffViaModelWizardAPI());
  probe.m_bValid = ViaPassesThroughTPlane(query, via, nullptr, &probe.m_TPlaneNames);
  const char* noTPlane = "Via doesn't pass through any T-plane and can't interact with power planes system";
  if (!probe.m_bValid) {
    probe.m_Message = noTPlane;
  } else if (partner) {
    CString partnerNames;
    probe.m_bValid = ViaPassesThroughTPlane(query, partner, nullptr, &partnerNames);
    if (!probe.m_bValid) {
      probe.m_Message = noTPlane;
    } else if (partnerNames != probe.m_TPlaneNames) {
      probe.m_bValid = 0;
      probe.m_Message = "Differential via passes through T-plane(s) asymmetrically";
    }
  }
  // The layer-count messages leave the valid flag as it is; the last one set stays.
  const size_t own = probe.m_ConnectedLayers.size();
  if (partner) {
    const size_t other = probe.m_PartnerConnectedLayers.size();
    if (own < 2 || other < 2)
      probe.m_Message = "One of the vias in differential pair is either not connected or connected on the only layer";
    if (own > 2 || other > 2)
      probe.m_Message = "One of the vias in differential pair is connected on three or more layers";
    if (probe.m_ConnectedLayers != probe.m_PartnerConnectedLayers)
      probe.m_Message = "Vias of differential pair are connected asymmetrically";
  } else if (own == 0) {
    probe.m_Message = "Via is not connected to any transmission line";
  } else if (own == 1) {
    probe.m_Message = "Via is connected to transmission line(s) on the only layer";
  }
}

CString CDiffViaAnalysisData::GetSelectionStatusText() {
  return m_bBoardMode ? GetViewerStatusText() : GetListStatusText();
}

namespace {
// Compares two layer lists from the last position down; true when some position differs.
bool DifferAtSomePosition(const CNameList& a, const CNameList& b) {
  for (size_t i = std::min(a.size(), b.size()); i-- > 0;)
    if (a[i] != b[i])
      return true;
  return false;
}
}  // namespace

CString CDiffViaAnalysisData::GetViewerStatusText() {
  CViaPairProbe* probe = nullptr;
  for (int i = m_Probes.GetSize() - 1; i >= 0 && !probe; --i)
    if (m_Probes[i].m_bEnabled)
      probe = &m_Probes[i];
  m_bDiffViaType = probe && probe->m_pHostProbe && probe->m_pHostProbe->GetPartner();
  if (!probe)
    return "No signal via is selected.";
  const CNameList& own = probe->m_ConnectedLayers;
  if (!m_bDiffViaType) {
    if (own.size() < 2)
      return "Via must be connected on at least two layers.";
    return probe->m_bValid ? CString() : CString("Via is badly positioned.");
  }
  const CNameList& other = probe->m_PartnerConnectedLayers;
  if (own.size() != other.size())
    return "Left and right parts of differential vias have different numbers of connected layers.";
  if (DifferAtSomePosition(own, other))
    return "Left and right parts of differential via are connected on different layers.";
  if (own.size() < 2)
    return "Via must be connected on at least two layers.";
  if (own.size() > 2)
    return "Vias are connected on three or more layers.";
  return CString();
}

CString CDiffViaAnalysisData::GetListStatusText() const {
  if (!m_bDiffViaType) {
    if (m_Probes.GetSize() == 0)
      return "At least one via must be selected.";
    const CViaPairProbe& probe = m_Probes[0];
    if (probe.m_ConnectedLayers.size() < 2)
      return "Via must be connected on at least two layers.";
    return probe.m_bValid ? CString() : CString("Via is badly positioned.");
  }
  // Here each via of the pair is its own record: record 0 the left part, record 1 the right part.
  for (int i = m_Probes.GetSize() - 1; i >= 0; --i) {
    if (!m_Probes[i].m_bValid)
      return "Via is badly positioned.";
    if (m_Probes[i].m_ConnectedLayers.size() != 2)
      return "Via is connected on only one layer or on more than three layers";
  }
  if (m_Probes.GetSize() < 2)
    return "No differential via is selected.";
  const CViaPairProbe& left = m_Probes[0];
  const CViaPairProbe& right = m_Probes[1];
  if (left.m_ConnectedLayers.size() != right.m_ConnectedLayers.size())
    return "Left and right parts of differential via have different numbers of connected layers.";
  if (DifferAtSomePosition(left.m_ConnectedLayers, right.m_ConnectedLayers))
    return "Left and right parts of differential via are connected on different layers.";
  if (left.m_TPlaneNames != right.m_TPlaneNames)
    return "Left and right parts of differential via pass through different t-planes.";
  return CString();
}

CPageIdList CDiffViaAnalysisData::Check(CString* messages) {
  CPageIdList pages;
  if (messages)
    messages->Empty();
  auto fail = [&](const CString& message, WORD page) {
    if (messages)
      *messages += message;
    pages.push_back(page);
  };
  if (m_nBoardIndex < 0)
    fail("Subboard to analyze isn't specified. \n", 1009);
  const CString status = GetSelectionStatusText();
  if (!status.IsEmpty())
    fail(status + "\n", m_bBoardMode ? 1157 : 1158);
  if (!HasValidSweep())
    fail("Frequency sweep range must be specified. \n", 1018);
  return pages;
}

int CDiffViaAnalysisData::GetPortCount() {
  CDiffViaModelWizardAPILink* api = GetDiffViaModelWizardAPI();
  if (!api)
    return 0;
  if (api->GetDiffViaType()) {
    const bool differential = api->GetExportDifferentialMode();
    const bool common = api->GetExportCommonMode();
    return differential != common ? 2 : 4;
  }
  if (api->HasProbes() == 0)
    return 0;
  CViaPairProbe* probe = api->GetProbe(0);
  const char* layers = probe ? probe->GetViaLayers() : nullptr;
  int tabs = 0;
  for (const char* p = layers; p && *p; ++p)
    tabs += *p == '\t';
  return tabs;
}

void CDiffViaAnalysisData::CollectProbes() {
  m_Probes.RemoveAll();
  m_bProbeOrderKept = 0;
  if (!m_bBoardMode || !m_pBoard)
    return;
  const std::vector<CHostProbe*> selected = SelectedEligibleProbes(m_pBoard);
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    CHostProbe* host = *it;
    CViaPairProbe probe;
    probe.m_pHostProbe = host;
    probe.m_bEnabled = host->IsSelected();
    m_Probes.Add(probe);
  }
}

void CDiffViaAnalysisData::SelectBoard(int index) {
  if (SelectBoardFromSystem(index))
    CollectProbes();
}
