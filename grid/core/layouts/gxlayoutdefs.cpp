#include "grid/core/layouts/gxlayoutdefs.h"

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXStyleCompareSubsetImp.h"
#include "grid/core/CGXUserAttribute.h"

namespace gx {
namespace {

constexpr COLORREF kGrey = 0x00C0C0C0;  // RGB(192, 192, 192)

// The base styles and registrations that every wizard layout shares.
CGXStylesMap* NewWizardStylesMap() {
  auto* map = new CGXStylesMap;
  // The layouts were designed with three-dimensional headers: the header styles carry null borders.
  CGXGridGlobals& g = CGXGridGlobals::Get();
  const BOOL s1 = g.m_bSwitch1, s3 = g.m_bSwitch3;
  g.m_bSwitch1 = g.m_bSwitch3 = TRUE;
  map->CreateStandardStyles();
  g.m_bSwitch1 = s1;
  g.m_bSwitch3 = s3;
  // The standard cell-control types, in the order the control factory registers them.
  static constexpr UINT kControls[] = {52512, 52520, 52527, 52517, 52526, 52525, 52531, 52532, 52528, 52529,
                                       52522, 52513, 52514, 52515, 52524, 52516, 52523, 20130, 20131, 20137,
                                       20136, 52535, 52536, 52537, 52539, 52540, 52541, 52534, 52542, 52519,
                                       52518, 52521, 52543, 52544, 52545, 20128, 20132};
  for (UINT id : kControls) map->AddControl(id);
  CGXStyle tooltip;
  tooltip.SetWrapText(TRUE).SetAutoSize(TRUE);
  map->AddUserAttribute(51022, &tooltip);
  CGXStyle ellipses;
  CString choices;
  choices = "No ellipse\nDotted....\nPound###";
  ellipses.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(choices);
  map->AddUserAttribute(52792, &ellipses);
  return map;
}

void SetHeader(CGXData& data, ROWCOL col, const char* text) {
  CGXStyle s;
  s.SetValue(text);
  data.StoreStyle(0, col, &s, gxOverride);
}

}  // namespace

std::unique_ptr<CGXGridParam> BuildBoardListLayout() {
  auto p = std::make_unique<CGXGridParam>();
  p->SetStylesMap(NewWizardStylesMap(), TRUE);
  p->SetProperties(new CGXProperties, TRUE);
  auto* data = new CGXData;
  data->StoreRowCount(100);
  data->StoreColCount(2);
  SetHeader(*data, 0, "NN");
  SetHeader(*data, 1, "FileName");
  SetHeader(*data, 2, "Info");
  CGXStyle column;
  column.SetControl(GX_IDS_CTRL_STATIC).SetInteriorColor(kGrey).SetTextColor(0x000000);
  data->StoreStyle(0, 1, &column, gxOverride, GX_BASESTYLE);
  data->StoreStyle(0, 2, &column, gxOverride, GX_BASESTYLE);
  p->SetData(data, TRUE);

  p->SetSelectionFlags(225);
  p->SetRowResizeFlags(178);
  p->SetColResizeFlags(178);
  p->EnableDragRows(FALSE);
  p->EnableDragColumns(FALSE);
  p->m_wActivateFlags = 2;
  p->m_wEnterKeyAction = 0;
  p->m_nMinRowHeight = 10;
  p->m_nMinColWidth = 0;
  p->m_nDefaultRowHeight = 1200;
  p->m_nDefaultColWidth = 10000;
  p->GetRowHeights().SetAt(0, 1400);
  p->GetColWidths().SetAt(0, 6000);
  p->GetColWidths().SetAt(1, 18093);
  p->GetColWidths().SetAt(2, 34299);
  p->GetSelection().AddTail(new CGXRange(CGXRange().AssignCols(2, 2)));
  return p;
}

namespace {
// The capacitor model editor's port map: column 1 the model's port, column 2 the pin it connects to; the port
// column stays in place when the grid scrolls sideways.
std::unique_ptr<CGXGridParam> BuildPortMapLayout(const char* portHeader) {
  auto p = std::make_unique<CGXGridParam>();
  p->SetStylesMap(NewWizardStylesMap(), TRUE);
  p->SetProperties(new CGXProperties, TRUE);
  auto* data = new CGXData;
  data->StoreRowCount(0);
  data->StoreColCount(2);
  SetHeader(*data, 1, portHeader);
  SetHeader(*data, 2, "Pin Name");
  CGXStyle port;
  port.SetControl(GX_IDS_CTRL_STATIC).SetInteriorColor(kGrey).SetTextColor(0x000000);
  data->StoreStyle(0, 1, &port, gxOverride, GX_BASESTYLE);
  p->SetData(data, TRUE);

  p->SetSelectionFlags(0);
  p->SetRowResizeFlags(178);
  p->SetColResizeFlags(178);
  p->EnableDragRows(FALSE);
  p->EnableDragColumns(FALSE);
  p->m_wActivateFlags = 2;
  p->m_wEnterKeyAction = 0;
  p->m_nMinRowHeight = 10;
  p->m_nMinColWidth = 0;
  p->m_nDefaultRowHeight = 1200;
  p->m_nDefaultColWidth = 10000;
  p->m_nFrozenCols = 1;
  p->GetRowHeights().SetAt(0, 1400);
  p->GetColWidths().SetAt(0, 3000);
  p->GetColWidths().SetAt(1, 20000);
  p->GetColWidths().SetAt(2, 26000);
  return p;
}
}  // namespace

std::unique_ptr<CGXGridParam> BuildTouchstonePortMapLayout() { return BuildPortMapLayout("Model Port Index"); }

std::unique_ptr<CGXGridParam> BuildSpicePortMapLayout() { return BuildPortMapLayout("Node Name"); }

// The decoupling groups dialog's two grids: column 1 the expand button of a group row (hidden in the capacitor
// grid), then the designator, the part name, the value and the largest dimension; whole rows are selected.
std::unique_ptr<CGXGridParam> BuildDecouplingGroupsLayout() {
  auto p = std::make_unique<CGXGridParam>();
  p->SetStylesMap(NewWizardStylesMap(), TRUE);
  p->SetProperties(new CGXProperties, TRUE);
  auto* data = new CGXData;
  data->StoreRowCount(0);
  data->StoreColCount(5);
  SetHeader(*data, 1, "");
  SetHeader(*data, 2, "Ref Des");
  SetHeader(*data, 3, "Part Name");
  SetHeader(*data, 4, "Value");
  SetHeader(*data, 5, "Max Dimen");
  p->SetData(data, TRUE);

  p->SetSelectionFlags(GX_SELFULL);
  p->SetRowResizeFlags(178);
  p->SetColResizeFlags(178);
  p->EnableDragRows(FALSE);
  p->EnableDragColumns(FALSE);
  p->m_wActivateFlags = 2;
  p->m_wEnterKeyAction = 0;
  p->m_nMinRowHeight = 10;
  p->m_nMinColWidth = 0;
  p->m_nDefaultRowHeight = 1200;
  p->m_nDefaultColWidth = 10000;
  p->GetRowHeights().SetAt(0, 1400);
  p->GetColWidths().SetAt(0, 2000);
  p->GetColWidths().SetAt(1, 1900);
  p->GetColWidths().SetAt(2, 7600);
  p->GetColWidths().SetAt(3, 9800);
  p->GetColWidths().SetAt(4, 5600);
  p->GetColWidths().SetAt(5, 7000);
  return p;
}

// The capacitor table: the row header, the expand buttons of the group rows, the group or designator, the part
// name, the value, the model and its "Enabled" box; whole rows are selected, by a click anywhere in them.
std::unique_ptr<CGXGridParam> BuildCapacitorModelsLayout() {
  auto p = std::make_unique<CGXGridParam>();
  p->SetStylesMap(NewWizardStylesMap(), TRUE);
  p->SetProperties(new CGXProperties, TRUE);
  auto* data = new CGXData;
  data->StoreRowCount(0);
  data->StoreColCount(6);
  SetHeader(*data, 1, "");
  SetHeader(*data, 2, "Group/Ref Des");
  SetHeader(*data, 3, "Part Name");
  SetHeader(*data, 4, "Value");
  SetHeader(*data, 5, "Model Info");
  SetHeader(*data, 6, "Enabled");
  CGXStyle centred;
  centred.SetHorizontalAlignment(DT_CENTER);
  data->StoreStyle(0, 6, &centred, gxOverride, GX_BASESTYLE);
  p->SetData(data, TRUE);

  p->SetSelectionFlags(GX_SELFULL);
  // A click selects its row, Ctrl and Shift add rows: the table is a list of capacitors.
  p->SetClickFlags(2);
  p->SetRowResizeFlags(178);
  p->SetColResizeFlags(178);
  p->EnableDragRows(FALSE);
  p->EnableDragColumns(FALSE);
  p->m_wActivateFlags = 2;
  p->m_wEnterKeyAction = 0;
  p->m_nMinRowHeight = 10;
  p->m_nMinColWidth = 0;
  p->m_nDefaultRowHeight = 1200;
  p->m_nDefaultColWidth = 10000;
  p->GetRowHeights().SetAt(0, 1400);
  p->GetColWidths().SetAt(0, 2800);
  p->GetColWidths().SetAt(1, 1900);
  p->GetColWidths().SetAt(2, 10500);
  p->GetColWidths().SetAt(3, 11500);
  p->GetColWidths().SetAt(4, 6500);
  p->GetColWidths().SetAt(5, 16500);
  p->GetColWidths().SetAt(6, 5500);
  return p;
}

// ---- The wizard pages' probe and via grids ---------------------------------------------------------------
namespace {

// The cells the layouts name that the core does not: the 3-D check box and the zero-based drop-down list.
constexpr WORD kCheckBox3d = 52523, kZeroBasedList = 52525;

enum class ColumnKind { None, RowHeader, GreyStatic, GreyStaticCentred, CheckBox, LayerCombo, PairList };

struct ProbeColumn {
  const char* header;  // null: no header stored
  DWORD width;         // thousandths of the standard font's average character width
  ColumnKind kind;
};

struct ProbeLayoutSpec {
  std::initializer_list<ProbeColumn> columns;  // from column 0; those past `dataColumns` stay stored, unshown
  ROWCOL dataColumns;
  WORD selectionFlags;
  bool greyStandard;     // the "Standard" interior grey instead of the window colour
  DWORD headerHeight;
  ROWCOL sampleColumn;   // the check-box column holding the sample cells; 0 for none
  bool numericFirstSample;
  bool extraParameter;   // the further 32-bit parameter set to 4
};

CGXStyle ColumnStyle(ColumnKind kind) {
  CGXStyle s;
  switch (kind) {
    case ColumnKind::None:
    case ColumnKind::RowHeader:
      break;
    case ColumnKind::GreyStatic:
    case ColumnKind::GreyStaticCentred:
      s.SetControl(GX_IDS_CTRL_STATIC).SetEnabled(FALSE).SetInteriorColor(kGrey).SetDraw3dFrame(3);
      if (kind == ColumnKind::GreyStaticCentred) s.SetHorizontalAlignment(1);
      break;
    case ColumnKind::CheckBox:
      s.SetControl(kCheckBox3d).SetHorizontalAlignment(1).SetTriState(FALSE).SetDraw3dFrame(3);
      break;
    case ColumnKind::LayerCombo:
      s.SetControl(kZeroBasedList).SetEnabled(TRUE).SetInteriorColor(kGrey).SetDraw3dFrame(3);
      s.SetChoiceList("TOP\r\nBOTTOM");
      break;
    case ColumnKind::PairList:
      s.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetInteriorColor(kGrey).SetDraw3dFrame(3);
      s.SetChoiceList("TPE_GND\r\nTPE_VCC");
      break;
  }
  return s;
}

std::unique_ptr<CGXGridParam> BuildProbeLayout(const ProbeLayoutSpec& spec) {
  auto p = std::make_unique<CGXGridParam>();
  CGXStylesMap* map = NewWizardStylesMap();
  if (spec.greyStandard) {
    CGXStyle* standard = nullptr;
    if (map->LookupStyle(map->GetStandardStyle(), standard) && standard) standard->SetInteriorColor(kGrey);
  }
  p->SetStylesMap(map, TRUE);
  p->SetProperties(new CGXProperties, TRUE);
  auto* data = new CGXData;
  data->StoreRowCount(5);
  data->StoreColCount(spec.dataColumns);
  ROWCOL col = 0;
  for (const ProbeColumn& column : spec.columns) {
    SetHeader(*data, col, column.header ? column.header : "");
    if (column.kind != ColumnKind::None && column.kind != ColumnKind::RowHeader) {
      const CGXStyle style = ColumnStyle(column.kind);
      data->StoreStyle(0, col, &style, gxOverride, GX_BASESTYLE);
    }
    p->GetColWidths().SetAt(col, static_cast<LONG>(column.width));
    ++col;
  }
  // Headers stored past the counted columns stay stored but unshown.
  data->StoreColCount(spec.dataColumns);
  if (spec.sampleColumn) {
    static constexpr const char* kValues[] = {"1", "0", "0", "1", "1"};
    for (ROWCOL row = 1; row <= 5; ++row) {
      CGXStyle cell;
      cell.SetControl(kCheckBox3d).SetDraw3dFrame(3);
      if (row == 1 && spec.numericFirstSample)
        cell.SetValue(DWORD{1});
      else
        cell.SetValue(kValues[row - 1]);
      if (row == 4) {
        // Numbers whatever number parser the building program has installed.
        auto* alignment = new CGXUserAttribute;
        alignment->SetLongValue(0);
        auto* ellipses = new CGXUserAttribute;
        ellipses->SetLongValue(1);
        cell.SetUserAttribute(52568, alignment).SetUserAttribute(52792, ellipses);
      }
      data->StoreStyle(row, spec.sampleColumn, &cell, gxOverride);
    }
  }
  p->SetData(data, TRUE);

  p->SetSelectionFlags(spec.selectionFlags);
  p->SetRowResizeFlags(184);
  p->SetColResizeFlags(186);
  p->EnableDragRows(TRUE);
  p->EnableDragColumns(FALSE);
  p->m_wActivateFlags = 1;
  p->m_wEnterKeyAction = 4;
  p->m_nMinRowHeight = 0;
  p->m_nMinColWidth = 2;
  p->m_nDefaultRowHeight = 1054;
  p->m_nDefaultColWidth = 10000;
  if (spec.extraParameter) p->m_nLastSortRow = 4;
  p->GetRowHeights().SetAt(0, static_cast<LONG>(spec.headerHeight));
  return p;
}

using K = ColumnKind;

}  // namespace

std::unique_ptr<CGXGridParam> BuildPinListLayout() {
  return BuildProbeLayout({{{"NN", 3108, K::RowHeader},
                            {nullptr, 2414, K::None},
                            {nullptr, 2886, K::CheckBox},
                            {"Pin Name", 12987, K::GreyStaticCentred},
                            {"Connected layer", 21201, K::GreyStatic},
                            {"Referred layer", 21867, K::GreyStatic},
                            {"End Layer", 20091, K::None}},
                           5, 129, true, 1400, 0, false, false});
}

std::unique_ptr<CGXGridParam> BuildBypassViaListLayout() {
  return BuildProbeLayout({{{"NN", 3108, K::RowHeader},
                            {nullptr, 2886, K::CheckBox},
                            {"Schematic Via Name", 16206, K::GreyStaticCentred},
                            {"Connected Layers", 16650, K::LayerCombo},
                            {"Layer Pair", 24531, K::PairList}},
                           4, 128, false, 1400, 1, false, true});
}

std::unique_ptr<CGXGridParam> BuildExtractorViaViewerLayout() {
  return BuildProbeLayout({{{"NN", 3108, K::RowHeader},
                            {nullptr, 2886, K::CheckBox},
                            {"Net Name", 16206, K::GreyStaticCentred},
                            {"Position", 10101, K::GreyStatic},
                            {"Connected Layers", 15207, K::LayerCombo},
                            {"Connected Layers", 16983, K::PairList}},
                           4, 129, false, 1400, 1, false, true});
}

std::unique_ptr<CGXGridParam> BuildPinViewerLayout() {
  return BuildProbeLayout({{{"NN", 3108, K::RowHeader},
                            {nullptr, 2414, K::None},
                            {nullptr, 2886, K::CheckBox},
                            {"Pin Name", 16206, K::GreyStaticCentred},
                            {"Net", 10101, K::GreyStatic},
                            {"Reference Layers", 15207, K::LayerCombo},
                            {"Connected Layers", 16983, K::PairList}},
                           5, 129, true, 1400, 2, false, true});
}

std::unique_ptr<CGXGridParam> BuildViaPairListLayout() {
  return BuildProbeLayout({{{"NN", 3552, K::RowHeader},
                            {nullptr, 2886, K::CheckBox},
                            {"Schematic Via Name", 17538, K::GreyStaticCentred},
                            {"Via 1 Connected Layers", 20202, K::LayerCombo},
                            {"Via 2 Connected Layers", 20979, K::PairList}},
                           4, 129, false, 2728, 1, true, true});
}

std::unique_ptr<CGXGridParam> BuildProbeReferenceLayout() {
  return BuildProbeLayout({{{"NN", 3108, K::RowHeader},
                            {"Probe Name", 16206, K::GreyStaticCentred},
                            {"Net", 10101, K::GreyStatic},
                            {"Layer(s)", 15207, K::GreyStatic},
                            {"auto-select reference", 10000, K::CheckBox},
                            {"Reference Layer", 16983, K::LayerCombo}},
                           5, 129, false, 1400, 0, false, false});
}

std::span<const LayoutDefinition> LayoutDefinitions() {
  static const LayoutDefinition kLayouts[] = {
      {"BOARDLIST", 0, &BuildBoardListLayout},
      {nullptr, 1148, &BuildTouchstonePortMapLayout},
      {nullptr, 1149, &BuildSpicePortMapLayout},
      // The wizard pages' probe and via grids, and the probe-reference grid that nothing loads.
      {nullptr, 1146, &BuildPinListLayout},
      {nullptr, 1155, &BuildBypassViaListLayout},
      {nullptr, 1160, &BuildExtractorViaViewerLayout},
      {nullptr, 1161, &BuildPinViewerLayout},
      {nullptr, 1170, &BuildViaPairListLayout},
      {nullptr, 1023, &BuildProbeReferenceLayout},
      {nullptr, 1180, &BuildDecouplingGroupsLayout},
      {nullptr, 1036, &BuildCapacitorModelsLayout},
  };
  return kLayouts;
}

}  // namespace gx
