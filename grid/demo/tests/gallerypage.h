// The gallery page tests' common run: a page built headless on a desktop of its size, compared with its
// references as built and after each of its steps.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "grid/demo/gallery.h"
#include "platform/display/Desktop.h"
#include "platform/window/Pump.h"

namespace gallerypage {

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

}  // namespace gallerypage
