// The edit-family cell tests' fixture: a grid with one such cell, the minimal number recognition the cells
// parse through, and the clipboard's text.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "grid/controls/CGXEditControl.h"
#include "grid/controls/tests/minimalnumbers.h"
#include "grid/controls/tests/recordinggrid.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/tests/gxwindowtest.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/LocaleTable.h"
#include "platform/window/windowapi.h"

namespace enginetest {

// The clipboard's text under the names the edit cell tests use.
struct ClipboardText {
  static std::string Clipboard() { return gxtest::ClipboardText(); }
  static void PutOnClipboard(const char* text) { gxtest::PutClipboardText(text); }
};

// A grid with one edit-family cell at (2, 1), the minimal numbers installed.
class EditCellTest : public CellControlTest, protected ClipboardText {
 protected:
  void SetUp() override {
    CellControlTest::SetUp();
    CGXGridGlobals::Get().m_pNumberFormattingImp = &numbers;
  }
  void TearDown() override {
    CGXGridGlobals::Get().m_pNumberFormattingImp = nullptr;
    plat::SetRuntimeNumericLocaleToUser(false);
    plat::SetUserDefaultLocale(0x0409);
    CellControlTest::TearDown();
  }
  // A grid whose cell (2, 1) holds `value` in `style`, current and focused (not yet editing).
  RecordingGrid* Grid(const char* value, CGXStyle style = CGXStyle()) {
    g = MakeRecordingGrid(6, 4, 400, 300);
    style.SetValue(value);
    SetCell(g, 2, 1, style);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
    Pump();
    edit = ControlOf<CGXEditControl>(g, style.IsIncluded(GX_IN_CONTROLID) ? style.GetControl() : GX_IDS_CTRL_EDIT);
    EXPECT_NE(edit, nullptr);
    g->Take();
    return g;
  }
  // Starts editing with End and lets the paint lay the window out.
  void Activate() {
    Key(VK_END);
    g->CGXGridCore::UpdateWindow();
    Pump();
  }
  std::string Text() { return std::string(edit->WindowText()); }
  std::string Value(ROWCOL r, ROWCOL c) { return std::string(g->GetCellValue(r, c)); }
  ROWCOL Row() { return CurrentRow(g); }
  ROWCOL Col() { return CurrentCol(g); }
  MinimalNumbers numbers;
  RecordingGrid* g = nullptr;
  CGXEditControl* edit = nullptr;
};

}  // namespace enginetest
