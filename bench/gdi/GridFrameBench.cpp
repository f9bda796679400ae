// One frame of a grid window: a 1920x1080 back buffer filled with a 60x40 grid of cells (cell fill, one-pixel
// grid lines, clipped text), then the whole buffer blitted to the screen surface. Target: under 8 ms per frame in
// the release build.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/gdiapi.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kCols = 60, kRows = 40;

void drawGrid(HDC dc, HPEN gridPen, int frame) {
  const int cw = kWidth / kCols, ch = kHeight / kRows;
  char text[32];
  HGDIOBJ oldPen = SelectObject(dc, gridPen);
  SetBkMode(dc, TRANSPARENT);
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kCols; ++c) {
      const RECT cell{c * cw, r * ch, (c + 1) * cw - 1, (r + 1) * ch - 1};
      // The grid's own colour fill: background colour + opaque ExtTextOut without text.
      SetBkColor(dc, ((r + c + frame) % 7 == 0) ? RGB(255, 255, 225) : RGB(255, 255, 255));
      ExtTextOut(dc, 0, 0, ETO_OPAQUE, &cell, "", 0, nullptr);
      const int n = std::snprintf(text, sizeof text, "%d.%02d", r * kCols + c, (frame + c) % 100);
      ExtTextOut(dc, cell.left + 2, cell.top + 6, ETO_CLIPPED, &cell, text, static_cast<UINT>(n), nullptr);
    }
  }
  for (int c = 1; c <= kCols; ++c) {
    MoveToEx(dc, c * cw - 1, 0, nullptr);
    LineTo(dc, c * cw - 1, kHeight);
  }
  for (int r = 1; r <= kRows; ++r) {
    MoveToEx(dc, 0, r * ch - 1, nullptr);
    LineTo(dc, kWidth, r * ch - 1);
  }
  SelectObject(dc, oldPen);
}

void BM_GridFrame(benchmark::State& state) {
  auto back = plat::Surface::create(kWidth, kHeight);
  auto screen = plat::Surface::create(kWidth, kHeight);
  HDC backDc = plat::CreateSurfaceDC(back, POINT{0, 0});
  HDC screenDc = plat::CreateSurfaceDC(screen, POINT{0, 0});
  HFONT font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
  HPEN gridPen = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
  SelectObject(backDc, font);
  int frame = 0;
  for (auto _ : state) {
    drawGrid(backDc, gridPen, frame++);
    BitBlt(screenDc, 0, 0, kWidth, kHeight, backDc, 0, 0, SRCCOPY);
    benchmark::DoNotOptimize(screen->pixel(kWidth / 2, kHeight / 2));
  }
  SelectObject(backDc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
  DeleteObject(gridPen);
  DeleteDC(backDc);
  DeleteDC(screenDc);
}
BENCHMARK(BM_GridFrame)->Unit(benchmark::kMillisecond);

}  // namespace
