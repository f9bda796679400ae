// Untrusted blocks the drawing layer reads: packed DIBs (bitmap resources, cell bitmaps), DEVMODE and DEVNAMES
// (archived print settings). Every input must be refused cleanly or read within its bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/Dib.h"
#include "platform/gdi/Printers.h"
#include "platform/gdi/SurfaceDC.h"

#include "fuzz/FuzzFonts.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The block in memory of its own, aligned and of exactly its size, as a block from a resource, a file or a
  // global memory handle is.
  const std::size_t n = size - 1;
  std::vector<std::uint8_t> block(data + 1, data + size);
  const std::uint8_t* body = block.data();
  switch (data[0] % 3) {
    case 0: {
      plat::DibResult r = plat::ParsePackedDib(body, n);
      if (r.dib && static_cast<std::size_t>(r.dib->width) * r.dib->height <= (1u << 20)) {
        auto s = plat::SurfaceFromDib(*r.dib);
        // And through the device: a small surface DC drawing the DIB stretched.
        auto target = plat::Surface::create(16, 16);
        HDC dc = plat::CreateSurfaceDC(target, POINT{0, 0});
        StretchDIBits(dc, 0, 0, 16, 16, 0, 0, r.dib->width, r.dib->height, r.dib->bits,
                      reinterpret_cast<const BITMAPINFO*>(body), DIB_RGB_COLORS, SRCCOPY);
        DeleteDC(dc);
      }
      break;
    }
    case 1: {
      if (!plat::ValidateDevMode(body, n)) {
        HDC dc = CreateDC(nullptr, "Recording", nullptr, body);
        if (dc) DeleteDC(dc);
      }
      break;
    }
    default: {
      auto v = plat::UnpackDevNames(body, n);
      if (v) {
        auto again = plat::PackDevNames(*v);
        auto back = plat::UnpackDevNames(again.data(), again.size());
        if (!back || back->device != v->device) __builtin_trap();
      }
      break;
    }
  }
  return 0;
}
