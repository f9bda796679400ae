#include "brimstead/wizards/CAddBoardProbes.h"

#include "brimstead/HostInterfaces.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "platform/framework/CDataExchange.h"

BEGIN_MESSAGE_MAP(CAddBoardProbes, brimwiz::CModuleDialog)
  ON_NOTIFY(NM_DBLCLK, IDC_TREE, OnTreeDoubleClick)
END_MESSAGE_MAP()

namespace {
CString TextOrEmpty(const char* text) { return text ? text : ""; }
}  // namespace

CAddBoardProbes::CAddBoardProbes(CDecouplingProbeArray* probes, const HostObjectList* first,
                                 const HostObjectList* second, CWnd* parent)
    : CModuleDialog(IDD, parent), m_pProbes(probes), m_pFirst(first), m_pSecond(second) {}

void CAddBoardProbes::DoDataExchange(CDataExchange* pDX) {
  CModuleDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_TREE, m_Tree);
}

BOOL CAddBoardProbes::OnInitDialog() {
  CModuleDialog::OnInitDialog();
  if (m_Images.Create(IDB_PROBE_TREE, 16, 2, RGB(255, 0, 255)))
    m_Tree.SetImageList(&m_Images, TVSIL_NORMAL);
  AddGroup(m_pFirst);
  AddGroup(m_pSecond);
  m_Tree.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return TRUE;
}

void CAddBoardProbes::AddGroup(const HostObjectList* list) {
  if (!list || list->empty())
    return;
  CHostProbeElement* front = list->front();
  const HTREEITEM root = m_Tree.InsertItem(TextOrEmpty(front ? front->GetGroupName() : nullptr), 0, 0);
  for (CHostProbeElement* object : *list) {
    if (!object)
      continue;
    const HTREEITEM item = m_Tree.InsertItem(ComponentPinText(object), 1, 1, root);
    m_Tree.SetItemData(item, reinterpret_cast<DWORD_PTR>(object));
  }
}

void CAddBoardProbes::OnOK() {
  const HTREEITEM selected = m_Tree.GetSafeHwnd() ? m_Tree.GetSelectedItem() : nullptr;
  auto* object = selected ? reinterpret_cast<CHostProbeElement*>(m_Tree.GetItemData(selected)) : nullptr;
  if (!object || !m_pProbes) {
    EndDialog(IDCANCEL);
    return;
  }
  for (int i = m_pProbes->GetUpperBound(); i >= 0; --i) {
    if ((*m_pProbes)[i].m_pElement == object) {
      EndDialog(IDCANCEL);
      return;
    }
  }
  CDecouplingProbe probe;
  probe.m_pElement = object;
  probe.m_bEnabled = 1;
  probe.Check();
  m_pProbes->Add(probe);
  EndDialog(IDOK);
}

void CAddBoardProbes::OnTreeDoubleClick(NMHDR*, LRESULT* result) {
  OnOK();
  if (result)
    *result = 1;
}
