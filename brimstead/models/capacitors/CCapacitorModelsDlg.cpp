#include "brimstead/models/capacitors/CCapacitorModelsDlg.h"

#include "brimstead/models/capacitors/CapacitorModelsResources.h"
#include "brimstead/wizards/ControlText.h"
#include "brimstead/wizards/WizardResources.h"
#include "shared/Misc_Help.h"

#include <algorithm>
#include <vector>

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
  FitBoardChooser();
  m_Panel.FillGrid(false);
  m_Panel.UpdateRowCount();
  UpdateData(FALSE);
  return TRUE;
}

void CCapacitorModelsDlg::FitBoardChooser() {
  CWnd* chooser = GetDlgItem(CCapacitorModelsPanel::IDC_BOARD);
  CWnd* label = GetDlgItem(CCapacitorModelsPanel::IDC_BOARD_LABEL);
  CWnd* grid = GetDlgItem(CCapacitorModelsPanel::IDC_GRID);
  if (!chooser || !label || !grid || !(chooser->GetStyle() & WS_VISIBLE)) return;
  const int needed = brimwiz::ComboBoxWidthNeeded(chooser->GetSafeHwnd());
  CRect box, tag, table;
  chooser->GetWindowRect(&box);
  label->GetWindowRect(&tag);
  grid->GetWindowRect(&table);
  ScreenToClient(&box);
  ScreenToClient(&tag);
  ScreenToClient(&table);
  if (needed <= box.Width()) return;
  // Too narrow beside the filter: the label and the chooser take a row of their own above the table, as wide as the
  // table, and the table gives up that row.
  CRect gap(0, 0, 4, 4);
  MapDialogRect(&gap);
  const int height = box.Height(), top = table.top;
  CString caption;
  label->GetWindowText(caption);
  const int labelWidth = brimwiz::WidestTextInFont(label->GetSafeHwnd(), {caption});
  const int labelLeft = table.left, chooserLeft = labelLeft + labelWidth + gap.Width();
  label->SetWindowPos(nullptr, labelLeft, top + (height - tag.Height()) / 2, labelWidth + 2, tag.Height(),
                      SWP_NOZORDER | SWP_NOACTIVATE);
  chooser->SetWindowPos(nullptr, chooserLeft, top, table.right - chooserLeft, height, SWP_NOZORDER | SWP_NOACTIVATE);
  const int tableTop = top + height + gap.Height();
  grid->SetWindowPos(nullptr, table.left, tableTop, table.Width(), table.bottom - tableTop,
                     SWP_NOZORDER | SWP_NOACTIVATE);
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
