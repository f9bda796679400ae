#include "brimstead/models/capacitors/CCapacitorModelsDlg.h"

#include "brimstead/models/capacitors/CapacitorModelsResources.h"
#include "brimstead/wizards/WizardResources.h"
#include "shared/Misc_Help.h"

IMPLEMENT_DYNAMIC(CCapacitorModelsDlg, CDialog)

BEGIN_MESSAGE_MAP(CCapacitorModelsDlg, CDialog)
  ON_BN_CLICKED(CCapacitorModelsPanel::IDC_EDIT_GROUPS, OnEditGroups)
  ON_BN_CLICKED(IDC_CLOSE, OnCloseButton)
  ON_CBN_SELCHANGE(CCapacitorModelsPanel::IDC_BOARD, OnBoardChange)
  ON_BN_CLICKED(CCapacitorModelsPanel::IDC_FILTER, OnFilterCheck)
  ON_CBN_SELCHANGE(CCapacitorModelsPanel::IDC_NET_A, OnFilterChange)
  ON_CBN_SELCHANGE(CCapacitorModelsPanel::IDC_NET_B, OnFilterChange)
  ON_BN_CLICKED(CCapacitorModelsPanel::IDC_ASSIGN, OnAssignModel)
  ON_BN_CLICKED(CCapacitorModelsPanel::IDC_REMOVE, OnRemoveModels)
  ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelp)
END_MESSAGE_MAP()

CCapacitorModelsDlg::CCapacitorModelsDlg(CWnd* parent) : CDialog(IDD, parent) {
  capmodels::RegisterCapacitorModelsResources();
}

CCapacitorModelsDlg::~CCapacitorModelsDlg() {
  if (m_hWnd) DestroyWindow();
}

INT_PTR CCapacitorModelsDlg::DoModal() {
  brimwiz::CModuleScope scope;
  return CDialog::DoModal();
}

BOOL CCapacitorModelsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_Panel.CreateGrid(this);
  m_Panel.FillSupplyNets();
  m_Panel.FillGrid(false);
  m_Panel.UpdateRowCount();
  UpdateData(FALSE);
  return TRUE;
}

void CCapacitorModelsDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  m_Panel.DoDataExchange(pDX);
}

void CCapacitorModelsDlg::OnCloseButton() { OnOK(); }
void CCapacitorModelsDlg::OnBoardChange() { m_Panel.OnBoardChange(); }
void CCapacitorModelsDlg::OnFilterCheck() { m_Panel.OnFilterCheck(); }
void CCapacitorModelsDlg::OnFilterChange() { m_Panel.OnFilterChange(); }
void CCapacitorModelsDlg::OnAssignModel() { m_Panel.AssignModel(); }
void CCapacitorModelsDlg::OnRemoveModels() { m_Panel.RemoveModels(); }
void CCapacitorModelsDlg::OnEditGroups() { m_Panel.EditGroups(); }
void CCapacitorModelsDlg::OnHelp() { ShowHelpTopic(m_hWnd, HelpKey, 1, HelpTopic); }
