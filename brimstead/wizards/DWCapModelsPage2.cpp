#include "brimstead/wizards/DWCapModelsPage2.h"

#include "brimstead/AnalysisData.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/wizards/TemplateStyles.h"
#include "brimstead/wizards/WizardDlg.h"
#include "brimstead/wizards/WizardResources.h"

BEGIN_MESSAGE_MAP(CDWCapModelsPage2, CDWPage)
  ON_BN_CLICKED(CCapacitorModelsPanel::IDC_EDIT_GROUPS, OnEditGroups)
  ON_BN_CLICKED(CCapacitorModelsPanel::IDC_FILTER, OnFilterCheck)
  ON_CBN_SELCHANGE(CCapacitorModelsPanel::IDC_NET_A, OnFilterChange)
  ON_CBN_SELCHANGE(CCapacitorModelsPanel::IDC_NET_B, OnFilterChange)
  ON_BN_CLICKED(CCapacitorModelsPanel::IDC_ASSIGN, OnAssignModel)
  ON_BN_CLICKED(CCapacitorModelsPanel::IDC_REMOVE, OnRemoveModels)
END_MESSAGE_MAP()

namespace {

using namespace brimwiz::templatestyle;
constexpr DWORD kList = kTab | WS_VSCROLL | CBS_DROPDOWNLIST;

// The page hands the panel no system, so the board chooser (1142, 1004) never shows: the filter takes the page's
// whole width, and its net lists have room for a net's name with its voltage.
const DialogItemTemplate kItems[] = {
    {WC_BUTTON, "Filter", IDC_STATIC, kVisible | BS_GROUPBOX, 0, 6, 0, 318, 30},
    {WC_BUTTON, "Show these nets only:", 1145, kTab | BS_AUTOCHECKBOX, 0, 12, 14, 86, 10},
    {WC_COMBOBOX, "", 1144, kList, 0, 100, 12, 107, 120},
    {WC_COMBOBOX, "", 1143, kList, 0, 211, 12, 107, 120},
    {WC_STATIC, "Select Board", 1142, kVisible, 0, 262, 2, 62, 8},
    {WC_COMBOBOX, "", 1004, kList, 0, 262, 12, 62, 120},
    {"GXWND", "", 1121, kTab | WS_BORDER | WS_VSCROLL | WS_HSCROLL, 0, 6, 34, 318, 120},
    {WC_BUTTON, "Assign Model...", 1206, kPush, 0, 6, 158, 62, 14},
    {WC_BUTTON, "Remove Models", 1207, kPush, 0, 72, 158, 62, 14},
    {WC_BUTTON, "Edit Groups...", 1138, kPush, 0, 138, 158, 62, 14},
};
const DialogTemplate kTemplate = PageTemplate(330, 176, kItems);

}  // namespace

CDWCapModelsPage2::CDWCapModelsPage2() : CDWPage(IDD) {
  plat::RegisterDialogTemplate(brimwiz::ModuleResources(), IDD, kTemplate);
}

CDWCapModelsPage2::~CDWCapModelsPage2() = default;

BOOL CDWCapModelsPage2::OnInitDialog() {
  const BOOL answer = CDWPage::OnInitDialog();
  m_Panel.CreateGrid(this);
  return answer;
}

void CDWCapModelsPage2::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  m_Panel.DoDataExchange(pDX);
}

BOOL CDWCapModelsPage2::OnSetActive() {
  CAnalysisData* record = GetAnalysisData();
  CWizardDlg* wizard = GetOwner();
  const int kind = record ? record->GetKind() : 0;
  if (kind < 1 || kind > 4 || !wizard) return FALSE;
  CHostNet* netA = nullptr;
  CHostNet* netB = nullptr;
  if (kind == CDecouplingAnalysisData::Kind)
    if (CDecouplingAnalysisData* decoupling = GetDecouplingAnalysisData()) {
      netA = decoupling->m_pNet1;
      netB = decoupling->m_pNet2;
    }
  // The host's table value is its model library (0: none).
  m_Panel.Attach(wizard->m_Names, reinterpret_cast<CHostModelLibrary*>(wizard->m_nTableValue), nullptr,
                 record->m_pBoard, netA, netB, reinterpret_cast<DWORD_PTR>(m_hWnd), record->m_pHostTableText);
  m_Panel.FillSupplyNets();
  m_Panel.FillGrid(false);
  m_Panel.UpdateRowCount();
  return CDWPage::OnSetActive();
}

void CDWCapModelsPage2::OnEditGroups() { m_Panel.EditGroups(); }
void CDWCapModelsPage2::OnFilterCheck() { m_Panel.OnFilterCheck(); }
void CDWCapModelsPage2::OnFilterChange() { m_Panel.OnFilterChange(); }
void CDWCapModelsPage2::OnAssignModel() { m_Panel.AssignModel(); }
void CDWCapModelsPage2::OnRemoveModels() { m_Panel.RemoveModels(); }

CWizStepNode* AddCapacitorModelsPage(CWizardDlg& wizard, int helpTopic) {
  if (!wizard.m_bCapacitorPage) return nullptr;
  auto* page = new CDWCapModelsPage2();
  page->Panel().SetGroupsOnlyOption(wizard.m_bCapacitorTableOption != 0);
  page->Panel().SetExtendedKindsOption(wizard.m_bDebugOption != 0);
  return wizard.AddPage(page, helpTopic, nullptr, nullptr, WizardStepRole::CapacitorModels);
}
