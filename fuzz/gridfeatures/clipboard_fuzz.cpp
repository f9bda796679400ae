// Bytes from outside the program pasted into a grid: as text (the text paste and the measuring of a text,
// under any clipboard flags and separators) and as the styles format (an archive read by the styles
// paste). No crash, no unbounded growth: the grid grows by at most the lines and fields the bytes hold, and
// its counts agree with its cell store afterwards.
//
// Input: byte 0 chooses the path (even: text, odd: styles); bytes 1-2 are clipboard flags; byte 3 a paste
// separator (0: the tab); the rest is the data.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/features/CGXStyleDataExchangeImp.h"
#include "grid/features/CGXTextDataExchangeImp.h"
#include "grid/features/gxcopyblock.h"
#include "grid/features/gxfeatures.h"
#include "platform/base/CArchive.h"
#include "platform/base/CMemFile.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/window/AutomationProvider.h"

#include "fuzz/FuzzFonts.h"

namespace {

constexpr ROWCOL kRows = 4, kCols = 4;

CGXGridWnd* Grid() {
  static CGXGridWnd* grid = [] {
    plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("clipboard-fuzz"));
    plat::Desktop::Configure(640, 480);
    static plat::ScriptedAutomation automation;
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
    plat::SetAutomationProvider(&automation);
    GXRegisterCellControls();
    GXRegisterEditingFeatures();
    InitGridLibrary();
    auto* g = new CGXGridWnd;
    if (!g->CreateEx(0, "GXWND", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr)) std::abort();
    g->InitializeFromStyle();
    // No undo: the lists would keep every run's cells.
    g->GetParam()->m_bUndoEnabled = FALSE;
    return g;
  }();
  return grid;
}

void Reset(CGXGridWnd* g) {
  g->SetRowCount(0, 0);
  g->SetColCount(0, 0);
  g->SetRowCount(kRows, 0);
  g->SetColCount(kCols, 0);
}

void CheckCounts(CGXGridWnd* g, uint64_t maxRows, uint64_t maxCols) {
  const CGXData* data = g->GetData();
  if (!data || data->GetRowCount() != g->GetRowCount() || data->GetColCount() != g->GetColCount()) std::abort();
  if (g->GetRowCount() > maxRows || g->GetColCount() > maxCols) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 4 || size > (1 << 14)) return 0;
  CGXGridWnd* g = Grid();
  Reset(g);
  g->m_nClipboardFlags = static_cast<DWORD>(bytes[1] | (bytes[2] << 8));
  g->m_sPasteSeparator = bytes[3] ? CString(static_cast<char>(bytes[3]), 1) : CString();
  const char* data = reinterpret_cast<const char*>(bytes + 4);
  const std::size_t length = size - 4;
  const CGXRange target(2, 2);
  if (bytes[0] % 2 == 0) {
    DWORD rows = 0, cols = 0;
    gx::MeasurePasteText(data, length, g->m_sPasteSeparator, &rows, &cols);
    if (rows > length + 1 || cols > length + 1) std::abort();
    GXForwardArgs a;
    a.v = {reinterpret_cast<DWORD_PTR>(data), length, reinterpret_cast<DWORD_PTR>(&target)};
    g->TextExchangeForward2(a);
    // Every line and field of the bytes is at most one row or column more.
    CheckCounts(g, uint64_t{kRows} + length + 1, uint64_t{kCols} + length + 1);
  } else {
    CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(data)), static_cast<UINT>(length));
    try {
      CArchive ar(&file, CArchive::load);
      GXForwardArgs a;
      a.v = {reinterpret_cast<DWORD_PTR>(&ar), reinterpret_cast<DWORD_PTR>(&target), TRUE};
      g->StyleExchangeForward2(a);
    } catch (CException* e) {
      e->Delete();
    }
    // An array holds at most one element per byte.
    CheckCounts(g, uint64_t{kRows} + length + 1, uint64_t{kCols} + length + 1);
  }
  return 0;
}
