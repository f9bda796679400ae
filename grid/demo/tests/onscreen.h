// What the gallery's on-screen tests share: a page shown through the SDL2 presenter under a private X server,
// real input made with xdotool at points of the page's windows, and waiting (serving the presenter's events
// and the queue) until the page shows an expected state.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "grid/demo/gallery.h"
#include "platform/display/Desktop.h"
#include "platform/display/SdlPresenter.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/Pump.h"

namespace onscreen {

// Serves the presenter and the queue for a while (as a hand is slower than xdotool); `pump` empties the
// queue (by default without pre-translation).
inline void Serve(plat::SdlPresenter& presenter, const std::function<void()>& pump = [] { plat::RunUntilIdle(); }) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(150);
  while (std::chrono::steady_clock::now() < until) {
    presenter.WaitForEvents(10);
    pump();
  }
}

// Serves the presenter and the queue until the condition holds; false after `seconds`.
inline bool WaitUntil(plat::SdlPresenter& presenter, const std::function<bool()>& condition, int seconds = 10,
                      const std::function<void()>& pump = [] { plat::RunUntilIdle(); }) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    presenter.WaitForEvents(20);
    pump();
  }
  return true;
}

// The demo's plain grid: a 420 x 320 page window on a 640 x 440 desktop holding a grid of rows x cols,
// for real input only. Null when the page has no grid.
inline CGXGridWnd* MakeDemoGrid(HWND& main, ROWCOL rows, ROWCOL cols) {
  plat::SetAutomationProvider(nullptr);
  plat::Desktop::Configure(640, 440);
  main = gallery::CreatePageWindow("Grid demo", 420, 320);
  CGXGridWnd* g = gallery::PageGrid(main);
  if (!g) return nullptr;
  g->InitializeFromStyle();
  g->SetRowCount(rows, 0);
  g->SetColCount(cols, 0);
  return g;
}

class Page {
 public:
  // Builds the named page and shows it; false when the window never got the X keyboard focus.
  bool Open(const char* name) {
    const gallery::Page* page = gallery::FindPage(name);
    if (!page) return false;
    plat::SetAutomationProvider(nullptr);  // real input only
    plat::Desktop::Configure(page->desktopWidth, page->desktopHeight);
    main = page->build();
    grid = gallery::PageGrid(main);
    presenter = std::make_unique<plat::SdlPresenter>(name);
    if (!presenter->IsOpen()) return false;
    plat::RunUntilIdle();
    // Real input before the window is mapped and holds the X keyboard focus is lost.
    return presenter->WaitUntilFocused(10000);
  }
  ~Page() {
    if (main) DestroyWindow(main);
  }
  // xdotool with the arguments, bounded so that a tool waiting for something that never comes cannot hang.
  static bool X(const std::string& arguments) {
    const std::string cmd = "timeout 10 xdotool " + arguments;
    return std::system(cmd.c_str()) == 0;
  }
  // A real click at client (x, y) of a window of the page.
  bool Click(HWND window, int x, int y) {
    POINT at{x, y};
    ClientToScreen(window, &at);
    const POINT origin = presenter->WindowPosition();
    return X("mousemove --sync " + std::to_string(origin.x + at.x) + " " + std::to_string(origin.y + at.y) +
             " click 1");
  }
  // Serves the presenter and the queue until the condition holds (at most 10 seconds).
  bool WaitUntil(const std::function<bool()>& condition) { return onscreen::WaitUntil(*presenter, condition); }

  HWND main = nullptr;
  CGXGridWnd* grid = nullptr;
  std::unique_ptr<plat::SdlPresenter> presenter;
};

}  // namespace onscreen
