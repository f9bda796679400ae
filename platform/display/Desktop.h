// The headless screen: a desktop of configurable size (and monitors) composed from the top-level windows'
// back buffers, and PNG screenshots of any window or of the desktop.
//
// Composition paints the desktop colour, then every visible top-level window's back buffer at its window
// rectangle, bottom of the Z order first, and optionally the caret as an inversion on top. Windows are
// brought up to date first (pending WM_NCPAINT/WM_ERASEBKGND/WM_PAINT are delivered synchronously), so a
// screenshot shows what the user would see once the queue had gone idle.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/window/windowapi.h"

namespace plat {

class Desktop {
 public:
  // Screen size; the one monitor spans it and its work area is the screen less `taskbarHeight` at the
  // bottom. System metrics for the screen follow.
  static void Configure(int width, int height, int taskbarHeight = 0);
  // Several monitors side by side or anywhere; the first is the primary. Rectangles in screen coordinates.
  static void ConfigureMonitors(const std::vector<RECT>& monitors, const std::vector<RECT>& workAreas);
  static SIZE Size();

  // Paints what is owed, then composes.
  static std::shared_ptr<Surface> Compose(bool withCaret = false);
  // The window's area (children included) as it shows in its top-level window's back buffer.
  static std::shared_ptr<Surface> Capture(HWND hwnd, bool withCaret = false);
  static bool SaveScreenshot(const std::string& path, bool withCaret = false);
  static bool SaveWindowScreenshot(HWND hwnd, const std::string& path, bool withCaret = false);

  // Brings every visible window's pixels up to date (synchronous paint of everything owed).
  static void PaintAll();
};

// Compares two images: the number of pixels whose channels differ by more than `tolerance`; writes a diff
// image when `diffPath` is given and they differ. ReferenceImage.h has the full form (text tolerance,
// reference files).
long long CompareImages(const Surface& actual, const Surface& expected, int tolerance = 0,
                        const std::string& diffPath = {});

}  // namespace plat
