// A grid for the cell-control tests that records the notifications the controls send it (button clicked,
// edit start, modified, values stored, keys processed), and a fixture that makes one with the cell
// controls registered and drives it with injected input.
#pragma once

#include <algorithm>

#include <string>

#include "foundation/VisualStyles.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/tests/enginetest.h"
#include "platform/controls/ThemeProvider.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/RecordingDC.h"

namespace enginetest {

class RecordingGrid : public CGXGridWnd {
 public:
  void OnButtonClickedInCell(ROWCOL row, ROWCOL col) override { Record("clicked", row, col); }
  BOOL OnStartEditing(ROWCOL row, ROWCOL col) override {
    Record("start", row, col);
    return mayEdit;
  }
  BOOL NotifyCellModified(ROWCOL row, ROWCOL col) override {
    Record("modified", row, col);
    return CGXGridWnd::NotifyCellModified(row, col);
  }
  // Values stored into one cell.
  BOOL ApplyStyleToRange(const CGXRange& range, const CGXStyle* style, int mode, int type, const CObArray* styles,
                         UINT flags, int commandType) override {
    if (style && style->GetIncludeValue() && range.top == range.bottom && range.left == range.right)
      Record(("store " + std::string(style->GetValue())).c_str(), range.top, range.left);
    return CGXGridWnd::ApplyStyleToRange(range, style, mode, type, styles, flags, commandType);
  }
  BOOL ProcessKeyMessage(CWnd* source, UINT message, UINT ch, UINT repeat, UINT flags) override {
    const BOOL handled = CGXGridWnd::ProcessKeyMessage(source, message, ch, repeat, flags);
    if (message == WM_CHAR) Record(handled ? "key handled" : "key", ch, 0);
    return handled;
  }
  void Record(const char* what, ROWCOL row, ROWCOL col) {
    log.push_back(std::string(what) + " " + std::to_string(row) + "," + std::to_string(col));
  }
  // The log since the last call.
  Log Take() {
    Log taken;
    taken.swap(log);
    return taken;
  }
  Log log;
  BOOL mayEdit = TRUE;
};

// A 32-bit colour bitmap selected into a memory device, filled with a marker colour.
struct Canvas {
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
  Canvas(int w, int h, COLORREF fill = RGB(1, 2, 3)) {
    dc.CreateCompatibleDC(nullptr);
    bmp.CreateBitmap(w, h, 1, 32, nullptr);
    old = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, w, h, fill);
  }
  ~Canvas() { dc.SelectObject(old); }
  COLORREF At(int x, int y) { return dc.GetPixel(x, y) & 0xFFFFFF; }
  // How many pixels of the rectangle have the colour.
  int Count(const CRect& r, COLORREF c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
    return n;
  }
  // The darkest grey level in the rectangle (the mean of the three channels): antialiased text reaches its
  // colour only where a glyph covers whole pixels.
  int Darkest(const CRect& r) {
    int d = 255;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const COLORREF c = At(x, y);
        d = std::min(d, static_cast<int>((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3));
      }
    return d;
  }
};

class CellControlTest : public EngineTest {
 protected:
  void TearDown() override {
    plat::SetThemeProvider(nullptr);
    EngineTest::TearDown();
  }
  // Themed drawing through the platform's provider (the system's visual-style library loaded again, should
  // an earlier test have unloaded it).
  static void UseThemeProvider(plat::ThemeProvider* provider) {
    UnloadThemeLibrary();
    foundation::InstallThemeLibrary(foundation::SystemThemeLibrary());
    foundation::SetCommonControlsVersion(0x00060000);
    foundation::ThemeStartup();
    plat::SetThemeProvider(provider);
  }
  // A grid of 20-pixel rows and 50-pixel columns (see MakeGrid) whose cells have no values yet.
  RecordingGrid* MakeRecordingGrid(ROWCOL rows = 6, ROWCOL cols = 4, int w = 400, int h = 300) {
    return MakeGrid<RecordingGrid>(rows, cols, w, h);
  }
  static void SetCell(CGXGridCore* g, ROWCOL row, ROWCOL col, const CGXStyle& style) {
    g->SetStyleRange(CGXRange(row, col), style);
  }
  // A screen point at (dx, dy) from the top-left corner of a cell.
  static POINT CellPoint(CGXGridCore* g, ROWCOL row, ROWCOL col, int dx, int dy) {
    const CRect r = g->CalcCellRect(row, col);
    return plat::InputRouter::ClientPoint(g->GridHwnd(), r.left + dx, r.top + dy);
  }
  static void Click(CGXGridCore* g, ROWCOL row, ROWCOL col, int dx, int dy) {
    plat::InputRouter::Instance().Click(plat::MouseButton::Left, CellPoint(g, row, col, dx, dy));
    Pump();
  }
  // Messages as the framework delivers them: each first walks the pre-translation from its window up.
  static void PumpWalking() {
    MSG msg;
    for (int guard = 0; guard < 10000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
      if (CWnd::WalkPreTranslateTree(nullptr, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  static void KeyWalking(int vk) {
    plat::InputRouter::Instance().KeyPress(vk);
    PumpWalking();
  }
  // The control the grid made for an id.
  template <typename Control>
  static Control* ControlOf(CGXGridCore* g, WORD id) {
    return dynamic_cast<Control*>(g->ControlForId(id));
  }
};

}  // namespace enginetest
