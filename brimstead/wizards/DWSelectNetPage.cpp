#include "brimstead/wizards/DWSelectNetPage.h"

#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/wizards/ControlText.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/MessageBox.h"

#include <algorithm>
#include <vector>

BEGIN_MESSAGE_MAP(CDWSelectNetPage, CDWPage)
  ON_BN_CLICKED(IDC_ADD, OnAdd)
  ON_BN_CLICKED(IDC_REMOVE, OnRemove)
  ON_LBN_DBLCLK(IDC_AVAILABLE, OnAdd)
  ON_LBN_DBLCLK(IDC_CHOSEN, OnRemove)
  ON_LBN_SELCHANGE(IDC_AVAILABLE, OnSelectionChange)
  ON_LBN_SELCHANGE(IDC_CHOSEN, OnSelectionChange)
END_MESSAGE_MAP()

namespace {
CDecouplingAnalysisData* DecouplingRecord() { return GetDecouplingAnalysisData(); }

CString NetName(CHostNet* net) {
  const char* name = net ? net->GetName() : nullptr;
  return name ? name : "";
}

// A name wider than its list is not cut: the list scrolls sideways over its widest name.
void FitExtent(CListBox& list) {
  std::vector<CString> names(static_cast<size_t>(std::max(list.GetCount(), 0)));
  for (size_t i = 0; i < names.size(); ++i)
    list.GetText(static_cast<int>(i), names[i]);
  const int widest = brimwiz::WidestTextInFont(list.GetSafeHwnd(), names);
  // The items' text starts 2 pixels in; as much again after it.
  if (list.GetSafeHwnd())
    ::SendMessage(list.GetSafeHwnd(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest > 0 ? widest + 4 : 0), 0);
}
}  // namespace

CDWSelectNetPage::CDWSelectNetPage() : CDWPage(IDD) {}

void CDWSelectNetPage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_AVAILABLE, m_Available);
  DDX_Control(pDX, IDC_CHOSEN, m_Chosen);
}

BOOL CDWSelectNetPage::OnSetActive() {
  CDecouplingAnalysisData* record = DecouplingRecord();
  m_Available.ResetContent();
  m_Chosen.ResetContent();
  if (record) {
    for (CHostNet* net : {record->m_pNet1, record->m_pNet2})
      if (net)
        m_Chosen.AddString(NetName(net));
    CHostCollectionRef nets(record->m_pBoard ? record->m_pBoard->GetNets() : nullptr);
    for (int i = 0; i < nets.Count(); ++i) {
      CHostNet* net = nets.Item<CHostNet>(i);
      if (!net || net == record->m_pNet1 || net == record->m_pNet2)
        continue;
      double voltage = 0.0;
      if (net->IsSupply(&voltage) && HostCollectionHasKind4(net))
        m_Available.AddString(NetName(net));
    }
  }
  UpdateState();
  return CDWPage::OnSetActive();
}

void CDWSelectNetPage::UpdateState() {
  FitExtent(m_Available);
  FitExtent(m_Chosen);
  EnableControl(IDC_ADD, m_Available.GetCurSel() >= 0 && m_Chosen.GetCount() < 2);
  EnableControl(IDC_REMOVE, m_Chosen.GetCurSel() >= 0);
  CDecouplingAnalysisData* record = DecouplingRecord();
  if (!record)
    return;
  CHostNet* const old1 = record->m_pNet1;
  CHostNet* const old2 = record->m_pNet2;
  record->m_pNet1 = record->m_pNet2 = nullptr;
  CString name1, name2;
  if (m_Chosen.GetCount() >= 1)
    m_Chosen.GetText(0, name1);
  if (m_Chosen.GetCount() >= 2)
    m_Chosen.GetText(1, name2);
  CHostCollectionRef nets(record->m_pBoard ? record->m_pBoard->GetNets() : nullptr);
  for (int i = 0; i < nets.Count(); ++i) {
    const bool found1 = name1.IsEmpty() || record->m_pNet1;
    const bool found2 = name2.IsEmpty() || record->m_pNet2;
    if (found1 && found2)
      break;
    CHostNet* net = nets.Item<CHostNet>(i);
    double voltage = 0.0;
    if (!net || !net->IsSupply(&voltage))
      continue;
    const CString name = NetName(net);
    if (!found1 && name == name1)
      record->m_pNet1 = net;
    else if (!found2 && name == name2)
      record->m_pNet2 = net;
  }
  // One net listed twice (a settings file named it twice) stays the pair the record holds, which the page's check
  // refuses, rather than silently becoming a pair of one net.
  if (!record->m_pNet2 && !name2.IsEmpty() && name2 == name1)
    record->m_pNet2 = record->m_pNet1;
  if (record->m_pNet1 != old1 || record->m_pNet2 != old2)
    record->CollectProbes();
  UpdateOwnerButtons();
}

bool CDWSelectNetPage::AcceptsRecord() {
  const CDecouplingAnalysisData* record = DecouplingRecord();
  return !record || !record->m_pNet1 || record->m_pNet1 != record->m_pNet2;
}

bool CDWSelectNetPage::ValidateAndStore() {
  // The valid flag follows every judgement, also one that Finish on another page asked for, so that no close saves
  // the pair the box just refused.
  BeginValidation();
  if (!AcceptsRecord()) {
    ::MessageBox(m_hWnd, PairRefusal, "Brimstead", MB_OK | MB_ICONSTOP);
    if (m_hWnd && m_Chosen.GetSafeHwnd())
      m_Chosen.SetFocus();
    return false;
  }
  SetValid();
  return true;
}

void CDWSelectNetPage::MoveSelected(CListBox& from, CListBox& to) {
  const int index = from.GetCurSel();
  CString name;
  from.GetText(index, name);
  from.DeleteString(static_cast<UINT>(index));
  to.AddString(name);
}

void CDWSelectNetPage::OnAdd() {
  if (m_Chosen.GetCount() >= 2 || m_Available.GetCurSel() < 0)
    return;
  MoveSelected(m_Available, m_Chosen);
  UpdateState();
}

void CDWSelectNetPage::OnRemove() {
  if (m_Chosen.GetCurSel() < 0)
    return;
  MoveSelected(m_Chosen, m_Available);
  UpdateState();
}

void CDWSelectNetPage::OnSelectionChange() { UpdateState(); }
