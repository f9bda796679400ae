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
  bool WaitUntil(const std::function<bool()>& condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > until) return false;
      presenter->WaitForEvents(20);
      plat::RunUntilIdle();
    }
    return true;
  }

  HWND main = nullptr;
  CGXGridWnd* grid = nullptr;
  std::unique_ptr<plat::SdlPresenter> presenter;
};

}  // namespace onscreen
