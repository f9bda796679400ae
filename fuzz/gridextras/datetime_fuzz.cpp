// Arbitrary text through the date-time cell: as a value text (ConvertTextToValue and SplitTokens) and as a
// custom format (the gadget builder). No crash; a text the cell accepts comes out in the stored form, which
// reads back to the same value and converts again to itself; tokens hold no separator.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRange.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"

#include "fuzz/FuzzFonts.h"

namespace {

// A grid with one date-time cell, made once for the whole run.
CGXGridWnd* Grid() {
  static CGXGridWnd* grid = [] {
    plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("datetime-fuzz"));
    plat::Desktop::Configure(400, 200);
    GXRegisterCellControls();
    GXRegisterExtras();
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const CString text(std::string(reinterpret_cast<const char*>(data + 1), size - 1).c_str());
  CGXGridWnd* g = Grid();
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_DATETIME).SetValue("45458.5");
  static const char* const kFormats[] = {"dd/MM/yyyy HH:mm", "h:mm:ss tt", "dddd, d MMMM yy", "yyyy-MM-dd"};
  if (data[0] & 0x80) {
    // The text as a custom format: the gadgets it builds show a value without crashing.
    style.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "3").SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, text);
  } else {
    style.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "3")
        .SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, kFormats[data[0] % 4]);
  }
  if (data[0] & 0x40) style.SetUserAttribute(GX_IDS_UA_DATETIMEASNUMBER, "1");
  g->SetStyleRange(CGXRange(1, 1), style);
  auto* control = dynamic_cast<CGXDateTimeCtrl*>(g->ControlForCell(1, 1));
  if (!control) std::abort();
  CString shown;
  control->GetDisplayText(shown, 1, 1, nullptr, style);
  if (data[0] & 0x80) return 0;

  std::vector<CString> tokens;
  control->SplitTokens(text, tokens);
  for (const CString& token : tokens)
    if (token.IsEmpty() || token.FindOneOf(" ,\r\n") >= 0) std::abort();

  CString value = text;
  if (control->ConvertTextForCell(value, 1, 1, style) && !text.IsEmpty()) {
    COleDateTime read;
    if (!CGXDateTimeCtrl::ReadValue(value, TRUE, read)) std::abort();
    if (control->StoredForm(read) != value) std::abort();
    CString again = value;
    if (!control->ConvertTextForCell(again, 1, 1, style) || again != value) std::abort();
  }
  return 0;
}
