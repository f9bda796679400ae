#include "brimstead/wizards/MESelectViasPages.h"

#include "brimstead/HostObjectRefs.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/wizards/ViaViewerPages.h"
#include "brimstead/wizards/WizardDlg.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "platform/framework/CDataExchange.h"

#include <vector>

using namespace brimwiz;

BEGIN_MESSAGE_MAP(CMESelectViasOlmPage, CViaPortsPage)
  ON_BN_CLICKED(IDC_SELECT_NET, OnSelectNet)
  ON_BN_CLICKED(IDC_CHECK_ALL, OnCheckAll)
  ON_BN_CLICKED(IDC_UNCHECK_ALL, OnUncheckAll)
  ON_BN_CLICKED(IDC_PAN_TO, OnPanTo)
END_MESSAGE_MAP()

namespace {
CString Text(const char* text) { return text ? text : ""; }

// The port's check; a port without a host probe is never valid nor enabled.
void CheckViaPort(CPortProbe& port) {
  if (!port.Check()) {
    port.m_bValid = 0;
    port.m_bEnabled = 0;
  }
}

CHostProbeElement* ViaOf(CPortProbe& port) { return port.m_pHostProbe ? port.m_pHostProbe->GetElement() : nullptr; }

void EnableDrag(CViaGridWnd& grid) {
  if (CGXGridParam* param = grid.GetParam())
    param->EnableDragRows(TRUE);
}
}  // namespace

namespace brimwiz {

void NumberViaPorts(CViaGridWnd& grid, CModelExtractorAnalysisData& record, CPortNumbers& numbers) {
  std::vector<CPortNumbers::Row> rows(grid.GetRowCount());
  for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
    if (const std::optional<int> index = RecordOfViaRow(grid, r, record.m_ViaPorts.GetSize())) {
      const CPortProbe& port = record.m_ViaPorts[*index];
      rows[r - 1].checked = port.m_bEnabled != 0;
      rows[r - 1].ports = static_cast<unsigned>(port.m_FirstLayers.size() + port.m_SecondLayers.size());
    }
  }
  numbers.Reset(rows, static_cast<unsigned>(record.GetEnabledSupplyPortCount()),
                CPortNumbers::Format::FirstToLast);
  grid.m_pPortNumbers = &numbers;
  grid.FitRowHeaders();
  grid.RedrawAll();
}

void StoreViaPortOrder(CGXGridCore& grid, CModelExtractorAnalysisData& record) {
  StoreViaRowOrder(grid, record.m_ViaPorts, record.m_bViaOrderKept);
}

}  // namespace brimwiz

// ---- Board-viewer page -------------------------------------------------------------------------------------

CMESelectViasOlmPage::CMESelectViasOlmPage() : CViaPortsPage(IDD) {}

BOOL CMESelectViasOlmPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  if (MakeViaGrid(this, IDC_GRID, 1160, false))
    EnableDrag(*m_pGrid);
  SetDlgItemText(IDC_INSTRUCTION,
                 "To select a net whose vias you want to include in the PDN model, press the \"Select Net\" button, "
                 "and select the net in the board window.  Then select a particular via to include in the extracted "
                 "model as external ports by: checking its box in the list below; or in the board viewer, "
                 "double-clicking on the via, or right clicking on the via and using the \"Select Via\" command.");
  MakeCaptionsBold({IDC_NET_TEXT, IDC_NET_LABEL});
  OnSelectedNetChanged();
  return TRUE;
}

void CMESelectViasOlmPage::DoDataExchange(CDataExchange* pDX) {
  CDWPage::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_SELECT_NET, m_nSelectNet);
  DDX_Text(pDX, IDC_NET_TEXT, m_SelectedNet);
}

BOOL CMESelectViasOlmPage::OnSetActive() {
  // Shows the net and fills the list with the viewer's selection (one fill: the net's change answers as a selection
  // change does).
  OnSelectedNetChanged();
  return CDWPage::OnSetActive();
}

bool CMESelectViasOlmPage::OnSelectedNetChanged() {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  m_SelectedNet.Empty();
  if (CHostNet* net = record ? record->m_pSelectedNet : nullptr) {
    m_SelectedNet = Text(net->GetName());
    CHostCollectionRef members(net->GetMembers());
    for (int i = 0; i < members.Count(); ++i) {
      CHostNet* member = members.Item<CHostNet>(i);
      if (member && !net->IsOwnMember(member))
        m_SelectedNet += ", " + Text(member->GetName());
    }
  }
  m_nSelectNet = 0;
  if (m_hWnd)
    UpdateData(FALSE);
  OnViewerSelectionChanged();
  return true;
}

bool CMESelectViasOlmPage::OnViewerSelectionChanged() {
  const HWND self = m_hWnd;
  FillGrid();
  if (CWizardDlg* owner = GetOwner()) {
    owner->UpdateButtons();
    if (self && ::IsWindow(self))
      owner->UpdateBoardMarks();
  }
  return true;
}

void CMESelectViasOlmPage::FillGrid() {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  if (!HasGridWindow() || !record)
    return;
  CGXGridCore& grid = *m_pGrid;
  FillViaRows(grid, record->m_ViaPorts, [&grid](ROWCOL row, CPortProbe& port) {
    CheckViaPort(port);
    WriteCheckCell(grid, row, port.m_bValid, port.m_bEnabled, port.m_Message);
    CHostProbeElement* via = ViaOf(port);
    CHostNet* net = via ? via->GetNet() : nullptr;
    SetCellValue(grid, row, ViaColName, Text(net ? net->GetName() : nullptr));
    SetCellValue(grid, row, ViaColThird, via ? FormatViaPosition(via->GetX(), via->GetY()) : CString());
    WriteLayerCell(grid, row, ViaColFourth, port.m_FirstLayers, "not connected", false);
  });
  NumberPorts();
  brimwiz::FitColumnsToWindow(*m_pGrid);
  UpdatePanToButton();
  grid.RefreshScrollBars();
}

CViaPortsPage::~CViaPortsPage() {
  if (m_pGrid)
    m_pGrid->m_pPortNumbers = nullptr;
}

void CViaPortsPage::NumberPorts() {
  if (CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData(); m_pGrid && record)
    NumberViaPorts(*m_pGrid, *record, m_Numbers);
}

bool CViaPortsPage::ValidateAndStore() {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  if (HasGridWindow() && record)
    StoreViaPortOrder(*m_pGrid, *record);
  return true;
}

bool CViaPortsPage::StorePortCheck(ROWCOL row) {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  if (!m_pGrid || !record)
    return false;
  const std::optional<int> index = StoreCheckBox(*m_pGrid, record->m_ViaPorts, row);
  // The clicked port's entry alone changes, unless the numbers no longer match the rows or the supply pins.
  if (m_pGrid->m_pPortNumbers == &m_Numbers && m_Numbers.GetRowCount() == m_pGrid->GetRowCount() &&
      m_Numbers.GetBase() == static_cast<unsigned>(record->GetEnabledSupplyPortCount())) {
    m_Numbers.SetChecked(row, index && record->m_ViaPorts[*index].m_bEnabled);
    m_pGrid->FitRowHeaders();
    m_pGrid->RedrawAll();
  } else {
    NumberPorts();
  }
  return true;
}

ROWCOL CMESelectViasOlmPage::SelectedDataRow() {
  if (!HasGridWindow())
    return 0;
  std::vector<ROWCOL> rows;
  m_pGrid->GetSelectedRows(rows, TRUE, TRUE);
  if (rows.size() != 1 || rows.front() == 0 || rows.front() > m_pGrid->GetRowCount())
    return 0;
  return rows.front();
}

void CMESelectViasOlmPage::UpdatePanToButton() { EnableControl(IDC_PAN_TO, SelectedDataRow() != 0); }

void CViaPortsPage::OnCheckBoxClicked(ROWCOL row) {
  if (!StorePortCheck(row))
    return;
  const CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  const std::optional<int> port = record ? RecordOfViaRow(*m_pGrid, row, record->m_ViaPorts.GetSize()) : std::nullopt;
  ChecksChanged(port.value_or(-1));
}

void CViaPortsPage::ChecksChanged(int viaPort) {
  const HWND self = m_hWnd;
  if (CWizardDlg* owner = GetOwner()) {
    owner->UpdateButtons();
    if (::IsWindow(self))
      owner->UpdatePortMark(viaPort);
  }
}

void CMESelectViasOlmPage::OnRowsMoved() {
  ValidateAndStore();
  NumberPorts();
}

void CMESelectViasOlmPage::OnSelectNet() { UpdateData(TRUE); }

void CMESelectViasOlmPage::SetCheckAll(bool check) {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  if (!m_pGrid || !record)
    return;
  for (ROWCOL r = 1; r <= m_pGrid->GetRowCount(); ++r) {
    const std::optional<int> index = RecordOfViaRow(*m_pGrid, r, record->m_ViaPorts.GetSize());
    if (!index)
      continue;
    CPortProbe& port = record->m_ViaPorts[*index];
    // Only a valid port becomes a port: an invalid one would count ports for layers it does not have.
    const bool enabled = check && port.m_bValid;
    port.m_bEnabled = enabled ? 1 : 0;
    SetCellValue(*m_pGrid, r, ViaColCheck, enabled ? "1" : "0");
  }
  m_pGrid->RedrawAll();
  NumberPorts();
  // The board marks follow every check, as at a single click.
  ChecksChanged(-1);
}

void CMESelectViasOlmPage::OnCheckAll() { SetCheckAll(true); }

void CMESelectViasOlmPage::OnUncheckAll() { SetCheckAll(false); }

void CMESelectViasOlmPage::OnPanTo() {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  const ROWCOL row = SelectedDataRow();
  if (!record || row == 0)
    return;
  const std::optional<int> index = RecordOfViaRow(*m_pGrid, row, record->m_ViaPorts.GetSize());
  CHostProbe* probe = index ? record->m_ViaPorts[*index].m_pHostProbe : nullptr;
  CWizardDlg* owner = GetOwner();
  RECT rect{};
  if (!probe || !owner || !owner->m_hWnd || !::GetWindowRect(owner->m_hWnd, &rect))
    return;
  probe->PanTo(3, &rect, nullptr);
}

// ---- List page ---------------------------------------------------------------------------------------------

CMESelectViasTPEPage::CMESelectViasTPEPage() : CViaPortsPage(IDD) {}

BOOL CMESelectViasTPEPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  if (MakeViaGrid(this, IDC_GRID, 1170, false)) {
    EnableDrag(*m_pGrid);
    m_pGrid->SetColWidth(ViaColHeader, ViaColHeader, 48);
    m_pGrid->SetColWidth(ViaColName, ViaColName, 128);
    m_pGrid->SetColWidth(ViaColThird, ViaColFourth, 128);
    m_pGrid->KeepHeaderWidth();
  }
  SetDlgItemText(IDC_INSTRUCTION,
                 "Check the signal vias you want to include in the extracted model as external ports.\n\nTo change "
                 "the vias' port numbering, drag their rows into the desired order.");
  return TRUE;
}

BOOL CMESelectViasTPEPage::OnSetActive() {
  FillGrid();
  return CDWPage::OnSetActive();
}

void CMESelectViasTPEPage::FillGrid() {
  CModelExtractorAnalysisData* record = GetModelExtractorAnalysisData();
  if (!HasGridWindow() || !record)
    return;
  OrderByNameUnlessKept(record->m_ViaPorts, record->m_bViaOrderKept);
  CGXGridCore& grid = *m_pGrid;
  FillViaRows(grid, record->m_ViaPorts, [&grid](ROWCOL row, CPortProbe& port) {
    CheckViaPort(port);
    WriteCheckCell(grid, row, port.m_bValid, port.m_bEnabled, port.m_Message);
    SetCellValue(grid, row, ViaColName, HostProbeName(port.m_pHostProbe));
    WriteLayerCell(grid, row, ViaColThird, port.m_FirstLayers, "<not connected>", false);
    const bool pair = port.m_pHostProbe && port.m_pHostProbe->GetPartner();
    if (port.m_SecondLayers.empty() && !pair)
      grid.SetStyleRange(CGXRange(row, ViaColFourth), CGXStyle().SetValue("").SetEnabled(FALSE), gxOverride, 0, 0);
    else
      WriteLayerCell(grid, row, ViaColFourth, port.m_SecondLayers, "<not connected>", false);
  });
  NumberPorts();
  brimwiz::FitColumnsToWindow(*m_pGrid);
  grid.RefreshScrollBars();
}

