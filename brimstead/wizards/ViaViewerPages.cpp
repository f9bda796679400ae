#include "brimstead/wizards/ViaViewerPages.h"

#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/wizards/WizardDlg.h"
#include "platform/framework/CDataExchange.h"
#include "platform/gdi/CDC.h"

#include <cstdio>

BEGIN_MESSAGE_MAP(CViaStatusPage, CDWPage)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CBWSelectProbesOlmPage, CViaViewerPage)
  ON_BN_CLICKED(IDC_PAN_TO, OnPanTo)
  ON_CBN_SELCHANGE(IDC_PAIRS, OnPairSelChange)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CDVSelectProbesOlmPage, CViaViewerPage)
  ON_BN_CLICKED(IDC_PAN_TO, OnPanTo)
  ON_BN_CLICKED(IDC_SINGLE, OnViaTypeChanged)
  ON_BN_CLICKED(IDC_DIFFERENTIAL, OnViaTypeChanged)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_EXPORT_FIRST, IDC_EXPORT_LAST, OnExportAsChanged)
END_MESSAGE_MAP()

namespace {
constexpr COLORREF kStatusColour = RGB(191, 0, 0);

CString Text(const char* text) { return text ? text : ""; }

// The name of the net of the probe's via object.
CString ViaNetName(CHostProbe* probe) {
  CHostProbeElement* via = probe ? probe->GetElement() : nullptr;
  CHostNet* net = via ? via->GetNet() : nullptr;
  return Text(net ? net->GetName() : nullptr);
}

CString ViaPosition(CHostProbe* probe) {
  CHostProbeElement* via = probe ? probe->GetElement() : nullptr;
  return via ? brimwiz::FormatViaPosition(via->GetX(), via->GetY()) : CString();
}

// The names of the board's layers (not of kind 1) that the probe is connected on.
std::vector<CString> ConnectedLayerNames(CHostBoard* board, CHostProbe* probe) {
  std::vector<CString> names;
  if (!board || !probe)
    return names;
  CHostCollectionRef layers(board->GetLayers());
  for (int i = 0; i < layers.Count(); ++i) {
    CHostLayer* layer = layers.Item<CHostLayer>(i);
    if (layer && layer->GetKind() != HostLayerKindSkipped && probe->IsConnectedOn(layer))
      names.push_back(Text(layer->GetName()));
  }
  return names;
}

void FillList(CListBox& list, const std::vector<CString>& names) {
  if (!list.m_hWnd)
    return;
  list.ResetContent();
  for (const CString& name : names)
    list.AddString(name);
}

// Pans the host's board viewer, placed by the owner's window rectangle on the screen, to the first record's via;
// with `withSecond`, the second record's via goes along. The host's pan runs its own code: nothing of the page is
// touched after it.
template <class Data>
void PanToFirstVia(CWizardDlg* owner, Data* record, int mode, bool withSecond) {
  if (!record || record->m_Probes.IsEmpty() || !record->m_Probes[0].m_pHostProbe)
    return;
  RECT rect{};
  if (!owner || !owner->m_hWnd || !::GetWindowRect(owner->m_hWnd, &rect))
    return;
  CHostProbe* second = withSecond && record->m_Probes.GetSize() > 1 ? record->m_Probes[1].m_pHostProbe : nullptr;
  record->m_Probes[0].m_pHostProbe->PanTo(mode, &rect, second);
}

// A record's one via at the probe, enabled and checked, at the end of its list.
template <class Record>
void AddSelectedVia(CRecordArray<Record>& probes, CHostProbe* probe) {
  Record via;
  via.m_pHostProbe = probe;
  via.m_bEnabled = 1;
  via.Check();
  probes.Add(via);
}
}  // namespace

namespace brimwiz {
CString FormatViaPosition(double x, double y) {
  CString text;
  text.Format("(%.2f,%.2f)", x * 100.0, y * 100.0);
  return text;
}

}  // namespace brimwiz

HBRUSH CViaStatusPage::OnCtlColor(CDC* dc, CWnd* wnd, UINT type) {
  HBRUSH brush = CDWPage::OnCtlColor(dc, wnd, type);
  if (wnd && dc && wnd->GetDlgCtrlID() == IDC_STATUS)
    dc->SetTextColor(kStatusColour);
  return brush;
}

void CViaViewerPage::ShowViaPlace(CHostProbe* probe) {
  m_Net = ViaNetName(probe);
  m_Position = ViaPosition(probe);
}

// ---- Bypass ------------------------------------------------------------------------------------------------

CBWSelectProbesOlmPage::CBWSelectProbesOlmPage() : CViaViewerPage(IDD) {}

BOOL CBWSelectProbesOlmPage::OnInitDialog() {
  CViaViewerPage::OnInitDialog();
  SetDlgItemText(IDC_INSTRUCTION,
                 "Select a signal via in the board viewer by double-clicking on the via, or right clicking on it and "
                 "using the \"Select Via\" command. Then select a pair of layers whose byassing you want to analyze.");
  MakeCaptionsBold({IDC_STATUS});
  OnViewerSelectionChanged();
  return TRUE;
}

void CBWSelectProbesOlmPage::DoDataExchange(CDataExchange* pDX) {
  CViaViewerPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_NET, m_Net);
  DDX_Text(pDX, IDC_POSITION, m_Position);
  DDX_Control(pDX, IDC_LAYERS, m_LayerList);
  DDX_Control(pDX, IDC_PAIRS, m_PairBox);
  if (!pDX->m_bSaveAndValidate) {
    CBypassAnalysisData* record = GetBypassAnalysisData();
    EnableControl(IDC_PAN_TO, record && !record->m_Probes.IsEmpty());
  }
}

BOOL CBWSelectProbesOlmPage::OnSetActive() {
  // A record that no longer holds the via the page shows (another board, loaded settings) is read anew.
  if (!ShowsRecord(GetBypassAnalysisData()))
    OnViewerSelectionChanged();
  UpdateStatusText();
  return CViaViewerPage::OnSetActive();
}

bool CBWSelectProbesOlmPage::ValidateAndStore() {
  UpdateData(TRUE);
  if (CBypassAnalysisData* record = GetBypassAnalysisData())
    record->m_bExportShuntModel = 1;
  return true;
}

void CBWSelectProbesOlmPage::UpdateStatusText() { ShowSelectionStatus(GetBypassAnalysisData()); }

bool CBWSelectProbesOlmPage::OnViewerSelectionChanged() {
  CBypassAnalysisData* record = GetBypassAnalysisData();
  if (!record || !m_hWnd)
    return false;
  // 1. Only the first selected probe that may be taken as a via counts.
  const std::vector<CHostProbe*> selection = SelectedEligibleProbes(record->m_pBoard);
  CHostProbe* probe = selection.empty() ? nullptr : selection.front();
  // 2, 3. A fresh start.
  record->m_Probes.RemoveAll();
  m_PairNames.clear();
  if (m_LayerList.m_hWnd)
    m_LayerList.ResetContent();
  if (m_PairBox.m_hWnd)
    m_PairBox.ResetContent();
  ShowViaPlace(nullptr);
  if (probe) {
    // 4, 5. Net and position of the via object.
    ShowViaPlace(probe);
    // 6. Connected layers, and every pair of them: grouped by the first layer in board order, within a group from
    //    the board's last layer upward.
    CHostCollectionRef layers(record->m_pBoard ? record->m_pBoard->GetLayers() : nullptr);
    const int count = layers.Count();
    auto usable = [&](int index) {
      CHostLayer* layer = layers.Item<CHostLayer>(index);
      return layer && layer->GetKind() != HostLayerKindSkipped && probe->IsConnectedOn(layer);
    };
    for (int i = 0; i < count; ++i) {
      if (!usable(i))
        continue;
      const CString first = Text(layers.Item<CHostLayer>(i)->GetName());
      if (m_LayerList.m_hWnd)
        m_LayerList.AddString(first);
      for (int j = count - 1; j > i; --j) {
        if (!usable(j))
          continue;
        const CString second = Text(layers.Item<CHostLayer>(j)->GetName());
        m_PairNames.push_back(first);
        m_PairNames.push_back(second);
        CString entry;
        entry.Format("\"%s\" - \"%s\"", first.GetString(), second.GetString());
        if (m_PairBox.m_hWnd) {
          const int index = m_PairBox.AddString(entry);
          m_PairBox.SetItemData(index, m_PairNames.size() - 2);
        }
      }
    }
    // 7. The first pair, when there is one.
    if (m_PairBox.m_hWnd)
      m_PairBox.SetCurSel(m_PairBox.GetCount() > 0 ? 0 : -1);
    // 8, 9. The record's one via.
    CBypassViaProbe via;
    via.m_pHostProbe = probe;
    via.m_bEnabled = 1;
    const int chosen = m_PairBox.m_hWnd ? m_PairBox.GetCurSel() : -1;
    if (chosen >= 0) {
      const size_t at = m_PairBox.GetItemData(chosen);
      if (at + 1 < m_PairNames.size()) {
        via.m_FirstLayer = m_PairNames[at];
        via.m_SecondLayer = m_PairNames[at + 1];
      }
    }
    via.Check();
    record->m_Probes.Add(via);
  }
  KeepShown(record);
  // 10.
  const HWND self = m_hWnd;
  UpdateOwnerButtons();
  if (!::IsWindow(self))
    return true;
  UpdateStatusText();
  UpdateData(FALSE);
  return true;
}

void CBWSelectProbesOlmPage::OnPairSelChange() {
  CBypassAnalysisData* record = GetBypassAnalysisData();
  if (!record || record->m_Probes.IsEmpty())
    return;
  CBypassViaProbe& via = record->m_Probes[0];
  const int chosen = m_PairBox.m_hWnd ? m_PairBox.GetCurSel() : -1;
  if (chosen < 0) {
    via.m_FirstLayer.Empty();
    via.m_SecondLayer.Empty();
    return;
  }
  const size_t at = m_PairBox.GetItemData(chosen);
  if (at + 1 >= m_PairNames.size())
    return;
  via.m_FirstLayer = m_PairNames[at];
  via.m_SecondLayer = m_PairNames[at + 1];
}

void CBWSelectProbesOlmPage::OnPanTo() { PanToFirstVia(GetOwner(), GetBypassAnalysisData(), 3, false); }

// ---- Via model ---------------------------------------------------------------------------------------------

CDVSelectProbesOlmPage::CDVSelectProbesOlmPage() : CViaViewerPage(IDD) {}

BOOL CDVSelectProbesOlmPage::OnInitDialog() {
  CViaViewerPage::OnInitDialog();
  SetDlgItemText(IDC_INSTRUCTION,
                 "Select a signal via in the board viewer by double-clicking on the via, or right clicking on it and "
                 "using the \"Select Via\" command.");
  SetDlgItemText(IDC_PAIR_INSTRUCTION,
                 "Select the first signal via in the board viewer by double-clicking on the via, or right clicking on "
                 "it and using the \"Select Via\" command. Repeat for the second via in the pair.");
  // One bold copy of the dialog font serves the status line and the two via-type buttons.
  MakeCaptionsBold({IDC_STATUS, IDC_SINGLE, IDC_DIFFERENTIAL});
  m_nExportIndex = 0;
  ShowControl(IDC_EXPORT_GROUP, false);
  for (int id = IDC_EXPORT_FIRST; id <= IDC_EXPORT_LAST; ++id)
    ShowControl(id, false);
  HideShuntBox();
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  m_nViaType = record && record->m_bDiffViaType ? 1 : 0;
  OnViewerSelectionChanged();
  return TRUE;
}

void CDVSelectProbesOlmPage::HideShuntBox() {
  ShowControl(IDC_SHUNT, false);
  EnableControl(IDC_SHUNT, false);
}

void CDVSelectProbesOlmPage::DoDataExchange(CDataExchange* pDX) {
  CViaViewerPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_SINGLE, m_nViaType);
  if (!pDX->m_bSaveAndValidate)
    LayoutViaType();
  if (m_nViaType == 1) {
    DDX_Text(pDX, IDC_NET1, m_Nets[0]);
    DDX_Text(pDX, IDC_NET2, m_Nets[1]);
  } else {
    DDX_Text(pDX, IDC_NET, m_Net);
    DDX_Text(pDX, IDC_POSITION, m_Position);
  }
  DDX_Control(pDX, IDC_LAYERS, m_LayerList);
  DDX_Control(pDX, IDC_LAYERS1, m_ViaLayers[0]);
  DDX_Control(pDX, IDC_LAYERS2, m_ViaLayers[1]);
  DDX_Radio(pDX, IDC_EXPORT_FIRST, m_nExportIndex);
  DDX_Check(pDX, IDC_SHUNT, m_bShunt);
  DDX_Control(pDX, IDC_SHUNT, m_ShuntBox);
  if (!pDX->m_bSaveAndValidate) {
    CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
    EnableControl(IDC_PAN_TO, record && !record->m_Probes.IsEmpty());
  }
}

void CDVSelectProbesOlmPage::LayoutViaType() {
  CWnd* first = GetDlgItem(IDC_INSTRUCTION);
  if (!first)
    return;
  const bool pair = m_nViaType == 1;
  HDWP batch = ::BeginDeferWindowPos(16);
  bool pairBlock = false;
  for (HWND child = first->m_hWnd; child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const int id = ::GetDlgCtrlID(child);
    if (id == IDC_STATUS)
      break;
    if (id == IDC_PAIR_INSTRUCTION)
      pairBlock = true;
    const bool show = pairBlock == pair;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (batch)
      batch = ::DeferWindowPos(batch, child, nullptr, 0, 0, 0, 0, flags);
    else
      ::SetWindowPos(child, nullptr, 0, 0, 0, 0, flags);
  }
  if (batch)
    ::EndDeferWindowPos(batch);
}

BOOL CDVSelectProbesOlmPage::OnSetActive() {
  m_nExportIndex = 0;
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  if (record) {
    m_bShunt = record->m_bExportShuntModel ? 1 : 0;
    m_bShunt = 0;
  }
  HideShuntBox();
  const int recordType = record && record->m_bDiffViaType ? 1 : 0;
  if (recordType != m_nViaType || !ShowsRecord(record)) {
    m_nViaType = recordType;
    OnViewerSelectionChanged();
  }
  UpdateStatusText();
  return CViaViewerPage::OnSetActive();
}

bool CDVSelectProbesOlmPage::ValidateAndStore() {
  UpdateData(TRUE);
  if (CDiffViaAnalysisData* record = GetDiffViaAnalysisData()) {
    record->m_bExportShuntModel = m_bShunt ? 1 : 0;
    record->m_bDiffViaType = m_nViaType == 1;
  }
  return true;
}

void CDVSelectProbesOlmPage::UpdateStatusText() { ShowSelectionStatus(GetDiffViaAnalysisData()); }

bool CDVSelectProbesOlmPage::OnViewerSelectionChanged() {
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  if (!record || !m_hWnd)
    return false;
  // Picks that may not be taken as vias (supply balls) are passed over.
  const std::vector<CHostProbe*> selection = SelectedEligibleProbes(record->m_pBoard);
  record->m_Probes.RemoveAll();
  if (m_nViaType == 1) {
    for (int v = 0; v < 2; ++v) {
      m_Nets[v].Empty();
      FillList(m_ViaLayers[v], {});
    }
    // The first two eligible probes fill the two vias; further ones are ignored.
    for (size_t v = 0; v < selection.size() && v < 2; ++v) {
      CHostProbe* probe = selection[v];
      m_Nets[v] = ViaNetName(probe);
      FillList(m_ViaLayers[v], ConnectedLayerNames(record->m_pBoard, probe));
      AddSelectedVia(record->m_Probes, probe);
    }
  } else {
    ShowViaPlace(nullptr);
    FillList(m_LayerList, {});
    if (!selection.empty()) {
      CHostProbe* probe = selection.front();
      ShowViaPlace(probe);
      FillList(m_LayerList, ConnectedLayerNames(record->m_pBoard, probe));
      AddSelectedVia(record->m_Probes, probe);
    }
  }
  KeepShown(record);
  const HWND self = m_hWnd;
  UpdateOwnerButtons();
  if (!::IsWindow(self))
    return true;
  MarkSelectedVias();
  UpdateStatusText();
  m_bShunt = 0;
  HideShuntBox();
  UpdateData(FALSE);
  return true;
}

void CDVSelectProbesOlmPage::MarkSelectedVias() {
  CWizardDlg* owner = GetOwner();
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  if (!owner || !record || !owner->m_BoardMarks.HasMarker())
    return;
  owner->m_BoardMarks.Clear();
  for (int i = 0; i < record->m_Probes.GetSize() && i < 2; ++i)
    if (CHostProbe* probe = record->m_Probes[i].m_pHostProbe)
      owner->m_BoardMarks.AddProbeMark(probe->GetElement());
  if (CHostBoardMarker* marker = owner->m_BoardMarks.GetMarker())
    marker->Refresh();
}

void CDVSelectProbesOlmPage::OnViaTypeChanged() {
  m_nViaType = IsDlgButtonChecked(IDC_DIFFERENTIAL) == BST_CHECKED ? 1 : 0;
  if (CDiffViaAnalysisData* record = GetDiffViaAnalysisData())
    record->m_bDiffViaType = m_nViaType == 1;
  OnViewerSelectionChanged();
}

void CDVSelectProbesOlmPage::OnExportAsChanged() {
  UpdateData(TRUE);
  m_bShunt = 0;
  HideShuntBox();
  UpdateData(FALSE);
}

void CDVSelectProbesOlmPage::OnPanTo() { PanToFirstVia(GetOwner(), GetDiffViaAnalysisData(), 2, true); }
