// Dib: a validated view of a device-independent bitmap (header, colour table, rows), and its conversion to and
// from surfaces.
//
// Accepted: BITMAPINFOHEADER (biSize >= 40), biPlanes 1, biBitCount 1, 4, 8, 24 or 32, BI_RGB (and BI_BITFIELDS
// with the standard 32-bit masks), width 1..32767, |height| 1..32767, at most kMaxDibPixels pixels; colour table of biClrUsed entries (or
// 2^bpp up to 8 bpp; biClrUsed larger than 2^bpp is refused); rows padded to 32 bits, bottom-up when
// biHeight > 0. Anything else, or a block too small for its header, table and rows, is refused with a reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/gdi/gdiapi.h"

namespace plat {

// 64 Mi pixels (a 256 MiB surface): far above any bitmap resource, low enough that a bad header cannot exhaust
// memory.
constexpr long long kMaxDibPixels = 1LL << 26;

struct DibView {
  BITMAPINFOHEADER header{};
  std::vector<RGBQUAD> colors;
  const BYTE* bits = nullptr;
  int width = 0;
  int height = 0;  // positive
  bool bottomUp = true;
  int bpp = 0;
  size_t stride = 0;
  size_t headerBytes = 0;  // header + colour table (+ masks)

  // Pixel of top-down row y (0 = top of the image).
  Pixel pixel(int x, int y) const;
};

struct DibResult {
  std::optional<DibView> dib;
  std::string error;
};

// From a BITMAPINFO and separate bits. `infoSize` / `bitsSize` of 0 mean "not known" (the classic functions get
// bare pointers and trust the caller).
DibResult ParseDib(const void* info, size_t infoSize, const void* bits, size_t bitsSize);
// A packed DIB: header, colour table and bits in one block of `size` bytes.
DibResult ParsePackedDib(const void* block, size_t size);

// The whole DIB as a surface, rows top-down.
SurfacePtr SurfaceFromDib(const DibView& dib);

}  // namespace plat
