// LoadButtonBitmap on arbitrary resource bytes: it either refuses them or makes a bitmap of the size its header
// states, never reading outside the resource.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/ButtonBitmap.h"
#include "platform/base/ResourceTable.h"

#include "fuzz/FuzzFonts.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const HINSTANCE module = [] {
    HINSTANCE m = plat::ResourceTable::ModuleHandle("bitmap-fuzz");
    plat::SetInstanceHandle(m);
    return m;
  }();
  // An exact-size copy, so that any read past the resource is caught.
  std::vector<BYTE> bytes(data, data + size);
  plat::ResourceTable::AddResource(module, RT_BITMAP, MAKEINTRESOURCE(1), bytes);
  CBitmap bitmap;
  if (LoadButtonBitmap(bitmap, MAKEINTRESOURCE(1))) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    BITMAP bm{};
    bitmap.GetBitmap(&bm);
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (bm.bmWidth != header.biWidth || bm.bmHeight != height) std::abort();
  }
  plat::ResourceTable::RemoveModule(module);
  return 0;
}
