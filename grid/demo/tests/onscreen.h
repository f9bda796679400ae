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
#include <utility>

#include "grid/demo/gallery.h"
#include "platform/base/ProgramLauncher.h"
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

// Real input at client points of a grid window through xdotool, the presenter and the queue served with
// `pump` (by default without pre-translation); with AfterStep::Serve every step is served before the next.
class GridScreen {
 public:
  enum class AfterStep { Wait, Serve };
  GridScreen(plat::SdlPresenter& p, HWND grid, std::function<void()> pump = [] { plat::RunUntilIdle(); },
             AfterStep after = AfterStep::Wait)
      : m_p(p), m_grid(grid), m_pump(std::move(pump)), m_after(after) {}
  // xdotool steps: "mousemove ...", "mousedown 1", "key name", ...; false when xdotool failed.
  bool Run(const std::string& steps) {
    const bool ok = plat::RunCommand("timeout 10 xdotool " + steps) == 0;
    if (m_after == AfterStep::Serve) Serve();
    return ok;
  }
  // The xdotool step that moves the pointer to client (x, y) of the grid.
  std::string At(int x, int y) const {
    POINT pt{x, y};
    ClientToScreen(m_grid, &pt);
    const POINT origin = m_p.WindowPosition();
    return "mousemove --sync " + std::to_string(origin.x + pt.x) + " " + std::to_string(origin.y + pt.y) + " ";
  }
  // A press, two moves and the release, each served before the next (as a hand is slower than xdotool).
  bool Drag(int x0, int y0, int x1, int y1) {
    auto step = [&](const std::string& steps) {
      const bool ok = Run(steps);
      if (m_after == AfterStep::Wait) Serve();
      return ok;
    };
    return step(At(x0, y0) + "mousedown 1") && step(At((x0 + x1) / 2, (y0 + y1) / 2)) && step(At(x1, y1)) &&
           step("mouseup 1");
  }
  bool Serve() {
    onscreen::Serve(m_p, m_pump);
    return true;
  }
  bool WaitUntil(const std::function<bool()>& condition) { return onscreen::WaitUntil(m_p, condition, 10, m_pump); }

 private:
  plat::SdlPresenter& m_p;
  HWND m_grid;
  std::function<void()> m_pump;
  AfterStep m_after;
};

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
    return plat::RunCommand(cmd) == 0;
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
