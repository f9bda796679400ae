#include "grid/core/layouts/gxlayoutdefs.h"

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXStyleCompareSubsetImp.h"

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

std::span<const LayoutDefinition> LayoutDefinitions() {
  static const LayoutDefinition kLayouts[] = {
      {"BOARDLIST", 0, &BuildBoardListLayout},
      {nullptr, 1148, &BuildTouchstonePortMapLayout},
      {nullptr, 1149, &BuildSpicePortMapLayout},
      {nullptr, 1180, &BuildDecouplingGroupsLayout},
  };
  return kLayouts;
}

}  // namespace gx
