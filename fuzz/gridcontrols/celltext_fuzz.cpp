// Arbitrary bytes pasted into the window cells from outside (lead bytes, NUL, CR/LF, digits, separators):
// each cell's StoreCellText and the edit cells' ParseNumber never crash, a text stored into an edit-family
// cell is never longer than its MaxLength and never ends in half a double-byte pair it was cut through.
//
// Input: byte 0 chooses the cell, byte 1 its MaxLength (0: none), byte 2 the switches (1 a double-byte
// code page, 2 a decimal comma, 4 a number format, 8 a read-only cell); the rest is the text (up to the
// first NUL, as a C string reaches the cell).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "grid/controls/CGXComboBoxWnd.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXListBox.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXVScrollEdit.h"
#include "grid/controls/GXCellControls.h"
#include "grid/controls/tests/minimalnumbers.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRange.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/StringApi.h"

#include "fuzz/FuzzFonts.h"

namespace {

constexpr WORD kCells[] = {GX_IDS_CTRL_EDIT,         GX_IDS_CTRL_SPINEDIT,         GX_IDS_CTRL_PASSWORD,
                           GX_IDS_CTRL_HOTSPOT,      GX_IDS_CTRL_SCROLLEDIT,       GX_IDS_CTRL_CBS_DROPDOWN,
                           GX_IDS_CTRL_CBS_DROPDOWNLIST, GX_IDS_CTRL_LISTBOX};
constexpr size_t kEditFamily = 5;  // the first five

bool IsLead(BYTE b) { return b >= 0x81 && b <= 0xFE; }

CGXGridWnd* Grid() {
  static CGXGridWnd* grid = [] {
    plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("celltext-fuzz"));
    GXRegisterCellControls();
    InitGridLibrary();
    static enginetest::MinimalNumbers numbers;
    CGXGridGlobals::Get().m_pNumberFormattingImp = &numbers;
    auto* g = new CGXGridWnd;
    if (!g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, nullptr, nullptr)) __builtin_trap();
    g->InitializeFromStyle();
    g->SetRowCount(2, 0);
    g->SetColCount(static_cast<ROWCOL>(std::size(kCells)), 0);
    g->GetParam()->m_bReadOnlyEnforced = TRUE;
    return g;
  }();
  return grid;
}

// Whether the text, read from its start, ends inside a double-byte pair.
bool EndsInHalfAPair(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) i += IsLead(static_cast<BYTE>(text[i])) ? 2 : 1;
  return i > text.size();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3 || size > 4096) return 0;
  CGXGridWnd* g = Grid();
  const size_t which = data[0] % std::size(kCells);
  const WORD id = kCells[which];
  const int maxLength = data[1] % 16;
  const BYTE switches = data[2];
  const std::string text(reinterpret_cast<const char*>(data + 3), strnlen(reinterpret_cast<const char*>(data + 3), size - 3));
  plat::SetLeadBytePredicate(switches & 1 ? std::function<bool(BYTE)>(IsLead) : nullptr);
  plat::SetUserDefaultLocale(switches & 2 ? 0x0407 : 0x0409);
  plat::SetRuntimeNumericLocaleToUser((switches & 2) != 0);

  const ROWCOL row = 1, col = static_cast<ROWCOL>(which + 1);
  CGXStyle style;
  style.SetControl(id).SetValue("");
  if (id >= GX_IDS_CTRL_CBS_DROPDOWN || id == GX_IDS_CTRL_LISTBOX) style.SetChoiceList("one\n2,5\n\x81\x40");
  if (maxLength) style.SetMaxLength(static_cast<WORD>(maxLength));
  if (switches & 4) style.SetFormat(2);
  style.SetReadOnly((switches & 8) != 0);
  g->SetStyleRange(CGXRange(row, col), style, gxCopy);
  CGXControl* control = g->ControlForId(id);
  if (!control) __builtin_trap();

  const BOOL stored = control->StoreCellText(row, col, text.c_str(), GX_INVALIDATE, nullptr);
  CGXStyle after;
  g->ComposeCellStyle(row, col, after, TRUE);
  const std::string value(after.GetValue());
  if ((switches & 8) && stored && !value.empty()) __builtin_trap();  // a read-only cell takes nothing
  if (which < kEditFamily && maxLength && after.GetValueType() != GX_VT_NUMBER) {
    if (value.size() > static_cast<size_t>(maxLength)) __builtin_trap();
    if ((switches & 1) && value.size() < text.size() && EndsInHalfAPair(value)) __builtin_trap();
  }
  if (which < kEditFamily) {
    CString number(text.c_str());
    double parsed = 0;
    if (static_cast<CGXEditControl*>(control)->ParseNumber(number, after, parsed) && number.IsEmpty()) __builtin_trap();
  }
  plat::SetLeadBytePredicate(nullptr);
  return 0;
}
