#include "platform/display/Desktop.h"

#include <algorithm>
#include <cstdlib>

#include "platform/display/ReferenceImage.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/Caret.h"
#include "platform/window/Painter.h"
#include "platform/window/WindowManager.h"

namespace plat {

namespace {
// The screen DC of the window system reads what the desktop shows.
const bool kScreenComposerInstalled = [] {
  Painter::ScreenComposer() = [] { return Desktop::Compose(false); };
  return true;
}();
}  // namespace

void Desktop::Configure(int width, int height, int taskbarHeight) {
  RECT screen{0, 0, width, height};
  RECT work{0, 0, width, std::max(0, height - taskbarHeight)};
  ConfigureMonitors({screen}, {work});
}

void Desktop::ConfigureMonitors(const std::vector<RECT>& monitors, const std::vector<RECT>& workAreas) {
  if (monitors.empty()) return;
  WindowManager& wm = WindowManager::Instance();
  CRect bounds;
  for (const RECT& m : monitors) bounds |= m;
  const CRect& primary = monitors.front();
  wm.SetDesktopSize(primary.Width(), primary.Height());
  wm.monitors.clear();
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    info.rcMonitor = monitors[i];
    info.rcWork = i < workAreas.size() ? workAreas[i] : monitors[i];
    info.dwFlags = i == 0 ? MONITORINFOF_PRIMARY : 0;
    wm.monitors.push_back(info);
  }
  SetSystemMetricValue(SM_CXSCREEN, primary.Width());
  SetSystemMetricValue(SM_CYSCREEN, primary.Height());
  CRect work = wm.monitors.front().rcWork;
  SetSystemMetricValue(SM_CXFULLSCREEN, work.Width());
  SetSystemMetricValue(SM_CYFULLSCREEN, work.Height() - GetSystemMetrics(SM_CYCAPTION));
  SetSystemMetricValue(SM_XVIRTUALSCREEN, bounds.left);
  SetSystemMetricValue(SM_YVIRTUALSCREEN, bounds.top);
  SetSystemMetricValue(SM_CXVIRTUALSCREEN, bounds.Width());
  SetSystemMetricValue(SM_CYVIRTUALSCREEN, bounds.Height());
  SetSystemMetricValue(SM_CMONITORS, static_cast<int>(monitors.size()));
}

SIZE Desktop::Size() {
  WindowManager& wm = WindowManager::Instance();
  CRect r = wm.Get(wm.Desktop())->rect;
  return SIZE{r.Width(), r.Height()};
}

void Desktop::PaintAll() {
  WindowManager& wm = WindowManager::Instance();
  Painter::FlushNcPaint();
  std::vector<HWND> tops = wm.Get(wm.Desktop())->children;
  for (HWND t : tops) Painter::UpdateNow(t, true);
}

namespace {

void InvertCaret(Surface& target, POINT originOfTarget) {
  Caret& caret = Caret::Instance();
  if (!caret.IsDrawn()) return;
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(caret.Owner());
  if (!w || !wm.IsVisible(*w)) return;
  CPoint o = wm.ClientOrigin(*w);
  CRect r = caret.Rect();
  r.OffsetRect(o.x - originOfTarget.x, o.y - originOfTarget.y);
  // Only where the owner's client area shows.
  RectList visible = wm.VisibleClientRegion(*w, false);
  visible.Offset(o.x - originOfTarget.x, o.y - originOfTarget.y);
  visible.Intersect(r);
  for (const CRect& part : visible.Rects())
    for (int y = std::max(0L, static_cast<long>(part.top)); y < std::min(part.bottom, target.height()); ++y)
      for (int x = std::max(0L, static_cast<long>(part.left)); x < std::min(part.right, target.width()); ++x)
        target.setPixel(x, y, target.pixel(x, y) ^ 0x00FFFFFFu);
}

}  // namespace

std::shared_ptr<Surface> Desktop::Compose(bool withCaret) {
  PaintAll();
  WindowManager& wm = WindowManager::Instance();
  SIZE size = Size();
  SurfacePtr screen = Surface::create(size.cx, size.cy);
  if (!screen) return nullptr;
  screen->fillAll(pixelFromColor(GetSysColor(COLOR_DESKTOP)));
  const std::vector<HWND>& tops = wm.Get(wm.Desktop())->children;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    Window* t = wm.Get(*it);
    if (!t || !(t->style & WS_VISIBLE)) continue;
    SurfacePtr buffer = Painter::BackBuffer(*it);
    if (buffer) buffer->copyTo(buffer->bounds(), *screen, t->rect.TopLeft());
  }
  if (withCaret) InvertCaret(*screen, POINT{0, 0});
  return screen;
}

std::shared_ptr<Surface> Desktop::Capture(HWND hwnd, bool withCaret) {
  WindowManager& wm = WindowManager::Instance();
  Window* w = wm.Get(hwnd);
  if (!w || wm.IsDesktop(hwnd)) return hwnd == wm.Desktop() ? Compose(withCaret) : nullptr;
  PaintAll();
  w = wm.Get(hwnd);
  if (!w) return nullptr;
  SurfacePtr buffer = Painter::BackBuffer(hwnd);
  Window* top = wm.Get(wm.TopLevelOf(hwnd));
  if (!buffer || !top) return nullptr;
  CRect s = wm.ScreenRect(*w);
  CRect t = wm.ScreenRect(*top);
  SurfacePtr image = Surface::create(std::max(1, s.Width()), std::max(1, s.Height()));
  if (!image) return nullptr;
  CRect src(s.left - t.left, s.top - t.top, s.right - t.left, s.bottom - t.top);
  buffer->copyTo(src, *image, POINT{0, 0});
  if (withCaret) InvertCaret(*image, s.TopLeft());
  return image;
}

bool Desktop::SaveScreenshot(const std::string& path, bool withCaret) {
  SurfacePtr s = Compose(withCaret);
  return s && s->writePng(path);
}

bool Desktop::SaveWindowScreenshot(HWND hwnd, const std::string& path, bool withCaret) {
  SurfacePtr s = Capture(hwnd, withCaret);
  return s && s->writePng(path);
}

long long CompareImages(const Surface& actual, const Surface& expected, int tolerance, const std::string& diffPath) {
  ImageTolerance same;
  same.channel = tolerance;
  return CompareImages(actual, expected, same, diffPath).Total();
}

}  // namespace plat
