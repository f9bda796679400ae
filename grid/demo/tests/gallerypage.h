// The gallery page tests' common run: a page built headless on a desktop of its size, compared with its
// references as built and after each of its steps.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "grid/demo/gallery.h"
#include "platform/display/Desktop.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Clipboard.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace gallerypage {

inline plat::InputRouter& In() { return plat::InputRouter::Instance(); }

// A key pressed (with Ctrl held when asked) and its messages run.
inline void Key(UINT key, bool ctrl = false) {
  if (ctrl) In().KeyDown(VK_CONTROL);
  In().KeyPress(key);
  if (ctrl) In().KeyUp(VK_CONTROL);
  plat::RunUntilIdle();
}

struct Opened {
  const gallery::Page* page = nullptr;
  HWND main = nullptr;
  CGXGridWnd* grid = nullptr;
};

// Builds the page and runs it until idle. A missing page or grid fails the test and leaves the grid null.
inline Opened Open(const std::string& name) {
  Opened opened;
  opened.page = gallery::FindPage(name);
  if (!opened.page) {
    ADD_FAILURE() << "no gallery page " << name;
    return opened;
  }
  plat::Desktop::Configure(opened.page->desktopWidth, opened.page->desktopHeight);
  opened.main = opened.page->build();
  plat::RunUntilIdle();
  opened.grid = gallery::PageGrid(opened.main);
  if (!opened.grid) ADD_FAILURE() << "gallery page " << name << " has no grid";
  return opened;
}

// Compares the page with "<prefix>-start", then drives each step, runs the queue and compares with
// "<prefix>-<step>"; `settle` runs before each comparison and `check` after it.
inline void RunSteps(const Opened& opened, const std::string& prefix,
                     const std::function<void(const std::string& reference)>& compare,
                     const std::function<void(const gallery::Step&)>& check = {},
                     const std::function<void()>& settle = {}) {
  compare(prefix + "-start");
  for (const gallery::Step& step : opened.page->steps()) {
    step.drive(opened.grid);
    plat::RunUntilIdle();
    if (settle) settle();
    compare(prefix + "-" + step.name);
    if (check) check(step);
  }
}

// A gallery page driven by keys and mouse with the clipboard empty and the system's dialogs answered by
// `automation`; the page's window goes when the test ends.
class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Clipboard::Instance().Reset();
    plat::SetAutomationProvider(&automation);
    plat::ClearShownLog();
  }
  void TearDown() override {
    if (opened.main) DestroyWindow(opened.main);
    plat::RunUntilIdle();
    plat::Clipboard::Instance().Reset();
    plat::SetAutomationProvider(nullptr);
  }
  CGXGridWnd* Open(const char* page) {
    opened = gallerypage::Open(page);
    return opened.grid;
  }
  void Click(ROWCOL row, ROWCOL col, int dx = 8) {
    In().Click(plat::MouseButton::Left, gallery::CellScreenPoint(opened.grid, row, col, dx, 8));
    plat::RunUntilIdle();
  }

  plat::ScriptedAutomation automation;
  Opened opened;
};

}  // namespace gallerypage
