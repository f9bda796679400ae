#include "brimstead/wizards/ViaListPages.h"

#include "brimstead/BypassAnalysisData.h"
#include "brimstead/DiffViaAnalysisData.h"
#include "brimstead/wizards/CGridBitmapCtrl.h"
#include "brimstead/wizards/WizardDlg.h"
#include "grid/core/CGXRange.h"
#include "platform/framework/CDataExchange.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace brimwiz;

BEGIN_MESSAGE_MAP(CDVSelectProbesTPEPage, CViaStatusPage)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_EXPORT_FIRST, IDC_EXPORT_LAST, OnExportAsChanged)
END_MESSAGE_MAP()

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(191, 191, 191);

CString PairText(const CString& first, const CString& second) {
  CString text;
  text.Format("\"%s\" - \"%s\"", first.GetString(), second.GetString());
  return text;
}

// The position in the via's pair names of the pair a cell's text names; none for a text that names none of them.
std::optional<size_t> PairOfText(const CBypassViaProbe& via, const CString& text) {
  for (size_t k = 0; k + 1 < via.m_LayerPairs.size(); k += 2)
    if (PairText(via.m_LayerPairs[k], via.m_LayerPairs[k + 1]) == text)
      return k;
  return std::nullopt;
}

// A record without its host probe is no via to analyse: not valid, not enabled, its lists left empty. The record's
// own check disables a via that fails it.
template <class Record>
void CheckRecord(Record& record) {
  if (!record.m_pHostProbe) {
    record.m_bValid = 0;
    record.m_bEnabled = 0;
    return;
  }
  record.Check();
}

// The row whose header names record `index`: the record's own place after a fill or a stored order, else the one
// found among the rows (after rows were dragged).
std::optional<ROWCOL> RowOfRecord(CGXGridCore& grid, int count, int index) {
  const ROWCOL place = static_cast<ROWCOL>(index) + 1;
  if (place <= grid.GetRowCount() && RecordOfViaRow(grid, place, count) == index)
    return place;
  for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r)
    if (RecordOfViaRow(grid, r, count) == index)
      return r;
  return std::nullopt;
}

// Shared by both pages: single selection by the check box of `row`. The other checked records (one at most, as the
// pages keep them) are unchecked in their rows. Answers the rows whose records changed, the clicked one first.
template <class Array>
std::vector<ROWCOL> SelectOnly(CGXGridCore& grid, Array& probes, ROWCOL row) {
  std::vector<ROWCOL> changed{row};
  const std::optional<int> index = StoreCheckBox(grid, probes, row);
  if (!index || !probes[*index].m_bEnabled)
    return changed;
  for (int i = 0; i < probes.GetSize(); ++i) {
    if (i == *index || !probes[i].m_bEnabled)
      continue;
    const std::optional<ROWCOL> other = RowOfRecord(grid, probes.GetSize(), i);
    if (!other)
      continue;
    probes[i].m_bEnabled = 0;
    SetCellValue(grid, *other, ViaColCheck, "0");
    changed.push_back(*other);
  }
  return changed;
}

// The pages analyse one via: a record that holds several enabled ones (the host's selected picks, a settings file)
// keeps the first, in list order, that passes its check. Otherwise the host would get the first enabled via while
// the record's check judged the last one, and the user would see several checked.
template <class Array>
void KeepOneEnabled(Array& probes) {
  bool kept = false;
  for (int i = 0; i < probes.GetSize(); ++i) {
    CheckRecord(probes[i]);
    if (probes[i].m_bEnabled && std::exchange(kept, true))
      probes[i].m_bEnabled = 0;
  }
}

template <class Array>
void NumberEnabledRows(CGXGridCore& grid, Array& probes) {
  unsigned n = 0;
  for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
    const std::optional<int> index = RecordOfViaRow(grid, r, probes.GetSize());
    CString number;
    if (index && probes[*index].m_bEnabled)
      number.Format("%u", ++n);
    SetCellValue(grid, r, ViaColHeader, number);
  }
  grid.RedrawAll();
}

// After a click: the rows whose records changed show their new numbers, and so do the checked rows below the first
// of them; the rows above keep theirs. A click costs what the rows it changes cost, not what the list holds.
template <class Array>
void RenumberChangedRows(CGXGridCore& grid, Array& probes, const std::vector<ROWCOL>& changed) {
  if (changed.empty())
    return;
  const ROWCOL first = *std::min_element(changed.begin(), changed.end());
  std::vector<ROWCOL> checked;
  for (int i = 0; i < probes.GetSize(); ++i)
    if (probes[i].m_bEnabled)
      if (const std::optional<ROWCOL> row = RowOfRecord(grid, probes.GetSize(), i))
        checked.push_back(*row);
  std::sort(checked.begin(), checked.end());
  unsigned n = 0;
  for (ROWCOL r : checked) {
    CString number;
    number.Format("%u", ++n);
    if (r >= first)
      SetCellValue(grid, r, ViaColHeader, number);
  }
  for (ROWCOL r : changed)
    if (!std::binary_search(checked.begin(), checked.end(), r))
      SetCellValue(grid, r, ViaColHeader, CString());
  grid.RedrawAll();
}

// The first three cells of a via row: its check box, its host probe's name and its connected layers.
template <class Record>
void WriteViaRowStart(CGXGridCore& grid, ROWCOL row, Record& via) {
  CheckRecord(via);
  WriteCheckCell(grid, row, via.m_bValid, via.m_bEnabled, via.m_Message);
  SetCellValue(grid, row, ViaColName, HostProbeName(via.m_pHostProbe));
  WriteLayerCell(grid, row, ViaColThird, via.m_ConnectedLayers, "<no layers>", true);
}
}  // namespace

// ---- Bypass ------------------------------------------------------------------------------------------------

CBWSelectProbesTPEPage::CBWSelectProbesTPEPage() : CDWPage(IDD) {}

BOOL CBWSelectProbesTPEPage::OnInitDialog() {
  CDWPage::OnInitDialog();
  MakeViaGrid(this, IDC_GRID, 1155, true);
  SetDlgItemText(IDC_INSTRUCTION, "Check the signal via whose bypassing you want to analyze.");
  return TRUE;
}

BOOL CBWSelectProbesTPEPage::OnSetActive() {
  FillGrid();
  return CDWPage::OnSetActive();
}

bool CBWSelectProbesTPEPage::OnViewerSelectionChanged() {
  FillGrid();
  return true;
}

void CBWSelectProbesTPEPage::FillGrid() {
  CBypassAnalysisData* record = GetBypassAnalysisData();
  if (!HasGridWindow() || !record)
    return;
  // An edit left open would store into the rows about to be rebuilt.
  m_pGrid->CompleteCellEdit(FALSE);
  OrderByNameUnlessKept(record->m_Probes, record->m_bProbeOrderKept);
  KeepOneEnabled(record->m_Probes);
  CGXGridCore& grid = *m_pGrid;
  FillViaRows(grid, record->m_Probes, [&grid](ROWCOL row, CBypassViaProbe& via) {
    WriteViaRowStart(grid, row, via);
    CGXStyle pair;
    pair.SetControl(IDC_GRID_DROPDOWN_LIST);
    const size_t pairs = via.m_LayerPairs.size() / 2;
    if (pairs == 0) {
      pair.SetValue("<no pairs>").SetTextColor(kRed).SetInterior(CGXInteriorBrush(kGrey)).SetEnabled(FALSE);
    } else {
      CString choices;
      for (size_t k = 0; k < pairs; ++k) {
        if (k)
          choices += '\n';
        choices += PairText(via.m_LayerPairs[2 * k], via.m_LayerPairs[2 * k + 1]);
      }
      // A via with one pair offers nothing to choose (its cell is disabled): that pair is its choice, so that the
      // store hands the analysis a pair instead of none. A checked via that arrives without a pair of its own (a
      // settings file that names none) takes its first, as a click that checks it does.
      if (pairs == 1 && via.m_FirstLayer.IsEmpty()) {
        via.m_FirstLayer = via.m_LayerPairs[0];
        via.m_SecondLayer = via.m_LayerPairs[1];
      }
      via.TakeFirstPairUnlessChosen();
      pair.SetChoiceList(choices)
          .SetValue(via.m_FirstLayer.IsEmpty() ? CString() : PairText(via.m_FirstLayer, via.m_SecondLayer))
          .SetInterior(CGXInteriorBrush(via.m_bEnabled ? kWhite : kGrey))
          .SetEnabled(pairs == 1 ? FALSE : via.m_bEnabled != 0);
    }
    grid.SetStyleRange(CGXRange(row, ViaColFourth), pair, gxOverride, 0, 0);
  });
  RenumberRows();
  brimwiz::FitColumnsToWindow(*m_pGrid);
  grid.RefreshScrollBars();
}

void CBWSelectProbesTPEPage::OnCheckBoxClicked(ROWCOL row) {
  CBypassAnalysisData* record = GetBypassAnalysisData();
  if (!m_pGrid || !record)
    return;
  const std::vector<ROWCOL> changed = SelectOnly(*m_pGrid, record->m_Probes, row);
  // A via checked without a chosen pair takes its first pair, as the viewer page's pair box starts on its first
  // entry: the analysis never gets a via without the layers to analyse. The user may choose another in the cell.
  // The record takes it at once, so that the check that words the wizard's buttons judges the pair shown.
  if (const std::optional<int> index = RecordOfViaRow(*m_pGrid, row, record->m_Probes.GetSize())) {
    CBypassViaProbe& via = record->m_Probes[*index];
    if (via.m_bEnabled && via.m_LayerPairs.size() >= 2 && !PairOfText(via, m_pGrid->GetCellValue(row, ViaColFourth))) {
      via.m_FirstLayer.Empty();
      via.m_SecondLayer.Empty();
      via.TakeFirstPairUnlessChosen();
      SetCellValue(*m_pGrid, row, ViaColFourth, PairText(via.m_FirstLayer, via.m_SecondLayer));
    }
  }
  ColorPairCells(changed);
  RenumberChangedRows(*m_pGrid, record->m_Probes, changed);
  UpdateOwnerButtons();
}

void CBWSelectProbesTPEPage::RenumberRows() {
  if (CBypassAnalysisData* record = GetBypassAnalysisData(); m_pGrid && record)
    NumberEnabledRows(*m_pGrid, record->m_Probes);
}

void CBWSelectProbesTPEPage::ColorPairCells(const std::vector<ROWCOL>& rows) {
  CBypassAnalysisData* record = GetBypassAnalysisData();
  if (!m_pGrid || !record)
    return;
  for (ROWCOL r : rows) {
    // Every via with a pair colours its pair cell by its check box, the one whose single pair sits in a disabled
    // cell as well (as the fill colours it); a choice of more than one pair is open only while checked;
    // "<no pairs>" stays grey.
    const std::optional<int> index = RecordOfViaRow(*m_pGrid, r, record->m_Probes.GetSize());
    if (!index)
      continue;
    const auto& via = record->m_Probes[*index];
    const std::size_t pairs = via.m_LayerPairs.size() / 2;
    if (pairs < 1)
      continue;
    const bool enabled = via.m_bEnabled != 0;
    CGXStyle style;
    style.SetInterior(CGXInteriorBrush(enabled ? kWhite : kGrey));
    if (pairs > 1)
      style.SetEnabled(enabled);
    m_pGrid->SetStyleRange(CGXRange(r, ViaColFourth), style, gxOverride, 0, 0);
  }
  m_pGrid->RedrawAll();
}

bool CBWSelectProbesTPEPage::ValidateAndStore() {
  CBypassAnalysisData* record = GetBypassAnalysisData();
  if (!HasGridWindow() || !record)
    return true;
  // The pair chosen in an open drop-down belongs to the row being edited only: committing the edit stores it into
  // that cell, and every row then reads its own cell.
  m_pGrid->CompleteCellEdit(TRUE);
  CGXGridCore& grid = *m_pGrid;
  // A checked via whose cell names none of its pairs (emptied by a way the cell does not refuse) takes its first
  // pair, and its cell shows it.
  StoreViaRowOrder(grid, record->m_Probes, record->m_bProbeOrderKept, [&grid](ROWCOL row, CBypassViaProbe& via) {
    const std::optional<size_t> pair = PairOfText(via, grid.GetCellValue(row, ViaColFourth));
    via.m_FirstLayer = pair ? via.m_LayerPairs[*pair] : CString();
    via.m_SecondLayer = pair ? via.m_LayerPairs[*pair + 1] : CString();
    if (!pair && via.TakeFirstPairUnlessChosen())
      SetCellValue(grid, row, ViaColFourth, PairText(via.m_FirstLayer, via.m_SecondLayer));
  });
  return true;
}

// ---- Via model ---------------------------------------------------------------------------------------------

CDVSelectProbesTPEPage::CDVSelectProbesTPEPage() : CViaStatusPage(IDD) {}

BOOL CDVSelectProbesTPEPage::OnInitDialog() {
  CViaStatusPage::OnInitDialog();
  if (MakeViaGrid(this, IDC_GRID, 1170, false))
    m_pGrid->HideCols(ViaColHeader, ViaColHeader, TRUE, 0);
  SetDlgItemText(IDC_INSTRUCTION, "Select a via whose model you want to export from the list below.");
  MakeCaptionsBold({IDC_STATUS});
  m_nExportIndex = 0;
  ShowControl(IDC_EXPORT_GROUP, false);
  for (int id = IDC_EXPORT_FIRST; id <= IDC_EXPORT_LAST; ++id)
    ShowControl(id, false);
  ShowControl(IDC_SHUNT, false);
  return TRUE;
}

void CDVSelectProbesTPEPage::DoDataExchange(CDataExchange* pDX) {
  CViaStatusPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_EXPORT_FIRST, m_nExportIndex);
  DDX_Check(pDX, IDC_SHUNT, m_bShunt);
  DDX_Control(pDX, IDC_SHUNT, m_ShuntBox);
}

BOOL CDVSelectProbesTPEPage::OnSetActive() {
  FillGrid();
  UpdateStatusText();
  return CViaStatusPage::OnSetActive();
}

void CDVSelectProbesTPEPage::FillGrid() {
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  if (!HasGridWindow() || !record)
    return;
  OrderByNameUnlessKept(record->m_Probes, record->m_bProbeOrderKept);
  KeepOneEnabled(record->m_Probes);
  CGXGridCore& grid = *m_pGrid;
  FillViaRows(grid, record->m_Probes, [&grid](ROWCOL row, CViaPairProbe& via) {
    WriteViaRowStart(grid, row, via);
    if (!via.m_pHostProbe || !via.m_pHostProbe->GetPartner())
      grid.SetStyleRange(CGXRange(row, ViaColFourth), CGXStyle().SetValue("").SetEnabled(FALSE), gxOverride, 0, 0);
    else
      WriteLayerCell(grid, row, ViaColFourth, via.m_PartnerConnectedLayers, "<no layers>", true);
  });
  RenumberRows();
  brimwiz::FitColumnsToWindow(*m_pGrid);
  grid.RefreshScrollBars();
}

void CDVSelectProbesTPEPage::OnCheckBoxClicked(ROWCOL row) {
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  if (!m_pGrid || !record)
    return;
  const std::vector<ROWCOL> changed = SelectOnly(*m_pGrid, record->m_Probes, row);
  m_pGrid->RedrawAll();
  RenumberChangedRows(*m_pGrid, record->m_Probes, changed);
  UpdateStatusText();
  UpdateOwnerButtons();
}

void CDVSelectProbesTPEPage::RenumberRows() {
  if (CDiffViaAnalysisData* record = GetDiffViaAnalysisData(); m_pGrid && record)
    NumberEnabledRows(*m_pGrid, record->m_Probes);
}

void CDVSelectProbesTPEPage::UpdateStatusText() { ShowSelectionStatus(GetDiffViaAnalysisData()); }

bool CDVSelectProbesTPEPage::ValidateAndStore() {
  UpdateData(TRUE);
  CDiffViaAnalysisData* record = GetDiffViaAnalysisData();
  if (!record)
    return true;
  record->m_bExportShuntModel = m_bShunt ? 1 : 0;
  if (HasGridWindow())
    StoreViaRowOrder(*m_pGrid, record->m_Probes, record->m_bProbeOrderKept);
  return true;
}

void CDVSelectProbesTPEPage::OnExportAsChanged() {
  UpdateData(TRUE);
  m_bShunt = 0;
  ShowControl(IDC_SHUNT, false);
  UpdateData(FALSE);
}
