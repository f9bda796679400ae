// The demo tests' grid: a plain grid in its own "Grid demo" page window, set up, shown, focused and with a
// current cell, closed with the object; and a key pressed with Ctrl held.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "grid/demo/gallery.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace demogrid {

struct DemoGrid {
  HWND main = nullptr;
  CGXGridWnd* g = nullptr;
  // A grid of rows x cols initialised from its style; `prepare` runs on it before the window shows. A missing
  // grid fails the test and leaves `g` null.
  DemoGrid(ROWCOL rows, ROWCOL cols, ROWCOL currentRow, ROWCOL currentCol,
           const std::function<void(CGXGridWnd&)>& prepare = {}) {
    main = gallery::CreatePageWindow("Grid demo", 400, 300);
    g = gallery::PageGrid(main);
    if (!g) {
      ADD_FAILURE() << "the demo page has no grid";
      return;
    }
    g->InitializeFromStyle();
    g->SetRowCount(rows, 0);
    g->SetColCount(cols, 0);
    if (prepare) prepare(*g);
    ShowWindow(main, SW_SHOW);
    SetFocus(g->GridHwnd());
    if (!g->MoveCurrentCellTo(currentRow, currentCol, GX_UPDATENOW)) ADD_FAILURE() << "no current cell";
    plat::RunUntilIdle();
  }
  ~DemoGrid() {
    DestroyWindow(main);
    plat::RunUntilIdle();
  }
  DemoGrid(const DemoGrid&) = delete;
  DemoGrid& operator=(const DemoGrid&) = delete;
};

// A key pressed with Ctrl held, the queue run after it.
inline void PressWithControl(int vk) {
  plat::InputRouter& input = plat::InputRouter::Instance();
  input.KeyDown(VK_CONTROL);
  input.KeyPress(vk);
  input.KeyUp(VK_CONTROL);
  plat::RunUntilIdle();
}

}  // namespace demogrid
