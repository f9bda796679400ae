// Surface: a 32-bit ARGB pixel surface (a cairo image surface) for window back buffers, memory bitmaps and
// DIB sections.
//
// Contract (stable; later additions only):
// - Pixels are native-endian 32-bit words 0xAARRGGBB (cairo's ARGB32). Everything the platform draws is opaque
//   (alpha 0xFF); a new surface is opaque black. Convert from and to COLORREF (0x00BBGGRR) with
//   plat::pixelFromColor / plat::colorFromPixel.
// - Owned through std::shared_ptr<Surface> (create()); a DC or bitmap that draws onto a surface holds a share.
// - Rectangles are half-open and are clipped to the surfaces; copies between overlapping areas of one surface
//   (copyWithin, for ScrollWindowEx) behave as if through a temporary copy.
// - Direct pixel access (row/pixel/setPixel) and cairo drawing may be mixed: use cairo() only between
//   beginCairo()/endCairo(), which flush and mark the surface as the cairo documentation asks.
// - writePng writes the pixels as an 8-bit RGBA PNG; readPng reads any PNG back into a new surface.
// Not thread-safe: the platform draws on its one UI thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/base/wintypes.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace plat {

class AtomicFile;

using Pixel = std::uint32_t;

constexpr Pixel kOpaque = 0xFF000000u;
constexpr Pixel pixelFromColor(COLORREF c) {
  return kOpaque | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF colorFromPixel(Pixel p) { return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16); }

class Surface {
 public:
  // An opaque black surface; width and height are clamped to at least 1 (a zero-size bitmap is a 1x1 surface,
  // as the classic compatible bitmap of size 0 is). Returns null only when cairo cannot allocate it.
  static std::shared_ptr<Surface> create(int width, int height);
  static std::shared_ptr<Surface> readPng(const std::string& path);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  // Bytes per row.
  int stride() const { return stride_; }
  RECT bounds() const { return RECT{0, 0, width_, height_}; }
  std::uint8_t* data() { return data_; }
  const std::uint8_t* data() const { return data_; }
  Pixel* row(int y) { return reinterpret_cast<Pixel*>(data_ + static_cast<std::ptrdiff_t>(y) * stride_); }
  const Pixel* row(int y) const {
    return reinterpret_cast<const Pixel*>(data_ + static_cast<std::ptrdiff_t>(y) * stride_);
  }
  // Bounds-checked: outside the surface pixel() answers 0 and setPixel does nothing.
  Pixel pixel(int x, int y) const;
  void setPixel(int x, int y, Pixel p);
  void fill(const RECT& r, Pixel p);
  void fillAll(Pixel p) { fill(bounds(), p); }

  // Copies `src` (in this surface) to `dst` with its top-left at `to`; clipped to both surfaces.
  void copyTo(const RECT& src, Surface& dst, POINT to) const;
  // Moves `src` to top-left `to` inside this surface (overlap allowed).
  void copyWithin(const RECT& src, POINT to);
  std::shared_ptr<Surface> clone() const;

  bool writePng(const std::string& path) const;
  // Into an open file, as the image is made (the caller commits it).
  bool writePng(AtomicFile& file) const;

  // The cairo surface, marked dirty first: pixels written directly are invisible to cairo otherwise (a fresh
  // surface would be painted as the blank it was created as). Call it again after further direct writes.
  cairo_surface_t* cairoSurface() const;
  // A fresh cairo context on the surface; endCairo destroys it and flushes so direct access sees the result.
  cairo_t* beginCairo();
  void endCairo(cairo_t* cr);

 private:
  Surface(cairo_surface_t* s);
  cairo_surface_t* surface_ = nullptr;
  std::uint8_t* data_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
};

using SurfacePtr = std::shared_ptr<Surface>;

}  // namespace plat
