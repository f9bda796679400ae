// Helpers for the pixel tests: small surfaces and DCs, and pixel read-back in COLORREF form.
#pragma once

#include <string>

#include "platform/gdi/Surface.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/gdiapi.h"

namespace gditest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A white surface and a client DC on it; deletes the DC on destruction.
struct Canvas {
  plat::SurfacePtr surface;
  HDC dc = nullptr;
  Canvas(int w, int h, POINT origin = {0, 0}) {
    surface = plat::Surface::create(w, h);
    surface->fillAll(plat::pixelFromColor(kWhite));
    dc = plat::CreateSurfaceDC(surface, origin);
  }
  ~Canvas() { DeleteDC(dc); }
  COLORREF at(int x, int y) const { return plat::colorFromPixel(surface->pixel(x, y)); }
  // One character per pixel of row y over [x0, x1): '#' for `ink`, '.' for white, '?' otherwise.
  std::string row(int y, int x0, int x1, COLORREF ink = kBlack) const {
    std::string s;
    for (int x = x0; x < x1; ++x) {
      const COLORREF c = at(x, y);
      s += c == ink ? '#' : c == kWhite ? '.' : '?';
    }
    return s;
  }
  std::string column(int x, int y0, int y1, COLORREF ink = kBlack) const {
    std::string s;
    for (int y = y0; y < y1; ++y) {
      const COLORREF c = at(x, y);
      s += c == ink ? '#' : c == kWhite ? '.' : '?';
    }
    return s;
  }
  int count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < surface->height(); ++y)
      for (int x = 0; x < surface->width(); ++x) n += at(x, y) == c;
    return n;
  }
};

// A memory DC with a 32-bit bitmap selected, filled white.
struct MemCanvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  MemCanvas(int w, int h, bool mono = false) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = mono ? CreateBitmap(w, h, 1, 1, nullptr) : CreateCompatibleBitmap(screenDc(), w, h);
    old = SelectObject(dc, bitmap);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~MemCanvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
  static HDC screenDc() {
    static HDC dc = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
    return dc;
  }
};

}  // namespace gditest
