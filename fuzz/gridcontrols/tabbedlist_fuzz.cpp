// Arbitrary choice lists, values and column-widths texts through the tabbed drop-down's translations (with
// and without a unique choice-list id, so through the shared maps and through the search), the column-width
// rule and the check-list mask. No crash, no unbounded memory (an id beyond the maps' range keeps none);
// a display text found for a value converts back to a key.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/CGXTabbedComboBox.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXGridWnd.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"

#include "fuzz/FuzzFonts.h"

namespace {

// A grid made once for the whole run; its tabbed control does the translations.
CGXGridWnd* Grid() {
  static CGXGridWnd* grid = [] {
    plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("tabbedlist-fuzz"));
    plat::Desktop::Configure(400, 200);
    GXRegisterCellControls();
    InitGridLibrary();
    auto* g = new CGXGridWnd;
    g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, nullptr, nullptr);
    g->InitializeFromStyle();
    g->SetRowCount(2, 0);
    g->SetColCount(2, 0);
    return g;
  }();
  return grid;
}

// The input: a control byte, then the choice list, the value and the widths text separated by NUL bytes.
std::string Part(const std::uint8_t* data, std::size_t size, std::size_t& at) {
  std::string part;
  while (at < size && data[at] != 0) part += static_cast<char>(data[at++]);
  ++at;
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t control = data[0];
  std::size_t at = 1;
  const CString choices(Part(data, size, at).c_str());
  const CString value(Part(data, size, at).c_str());
  const CString widths(Part(data, size, at).c_str());
  CGXGridWnd* g = Grid();
  auto* tabbed = dynamic_cast<CGXTabbedComboBox*>(g->ControlForId(GX_IDS_CTRL_TABBED_COMBOBOX));
  if (!tabbed) std::abort();

  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_TABBED_COMBOBOX).SetChoiceList(choices).SetValue(value);
  const int keyCol = control & 3, textCol = (control >> 2) & 3;
  style.SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, std::to_string(keyCol).c_str());
  style.SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, std::to_string(textCol).c_str());
  style.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, (control & 0x10) ? "1" : "0");
  // Unique ids: none, a small one, or one far beyond any map the grid keeps.
  const char* id = (control & 0x60) == 0x20 ? "3" : (control & 0x60) == 0x40 ? "2147483647" : "0";
  style.SetUserAttribute(GX_IDS_UA_TABLIST_UNIQUEID, id);

  // A display text found for a value is a display field of the list, so it converts back to a key.
  CString shown;
  if (tabbed->GetDisplayText(shown, 1, 1, &value, style) && !shown.IsEmpty()) {
    CString key = shown;
    if (!tabbed->ConvertTextForCell(key, 1, 1, style)) std::abort();
  }
  CString pasted = value;
  tabbed->ConvertTextForCell(pasted, 1, 1, style);
  CGXTabbedComboBox::ReleaseChoiceMaps(g->GetParam(), 3);
  if (g->GetParam()->m_keyMaps.size() > GX_MAX_CHOICE_MAP_ID + 1) std::abort();

  // The column-width rule over the list's measured columns, and the rows' heights.
  int measured[GX_MAX_TABBED_COLUMNS];
  for (int& w : measured) w = -1;
  CDC* dc = g->GetCachedDC();
  for (const CString& line : CGXControl::SplitChoiceList(choices)) MeasureTabbedColumns(dc, line, 10, measured);
  const GXTabbedLayout layout = ApplyTabbedColumnWidths(measured, widths, control & 0x80, textCol);
  if (layout.widths.size() > GX_MAX_TABBED_COLUMNS || layout.rightEdges.size() != static_cast<size_t>(layout.separators))
    std::abort();
  for (int w : layout.widths)
    if (w < 0 || w > 0x7FFF) std::abort();
  int height = 10;
  MeasureTabbedRowHeight(MakeTabbedRowText(choices, textCol), height, FALSE, textCol > 0, layout.separators);

  // The check list's mask: a text it takes formats back to itself (leading zeros aside).
  if (const auto mask = CGXCheckListComboBox::ParseMask(value)) {
    const CString text = CGXCheckListComboBox::FormatMask(*mask);
    if (CGXCheckListComboBox::ParseMask(text) != mask) std::abort();
  }
  return 0;
}
