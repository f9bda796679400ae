// A picture field's bytes as a byte-array variant: ConvertVariantToDIB either refuses them or hands back a
// block holding exactly the bytes from the bitmap on, which DrawDIB then draws into a small memory DC in
// any mode and alignment, never reading outside it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "grid/controls/CGXDaoBitmap.h"
#include "grid/core/CGXDIB.h"
#include "platform/base/COleVariant.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/CDC.h"

#include "fuzz/FuzzFonts.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  CByteArray bytes;
  for (std::size_t i = 1; i < size; ++i) bytes.Add(data[i]);
  const COleVariant value(bytes);

  HGLOBAL kept = ConvertVariantToDIB(value, TRUE);
  if (kept) {
    // With its file header the block starts at a "BM" of the input and runs to the input's end.
    const std::size_t n = GlobalSize(kept);
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(kept));
    if (n < 14 || n > size - 1 || p[0] != 'B' || p[1] != 'M' || std::memcmp(p, data + size - n, n) != 0) std::abort();
    GlobalUnlock(kept);
    GlobalFree(kept);
  }

  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap target;
  target.CreateBitmap(24, 16, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&target);
  const UINT mode = options % 3;
  const BYTE align = static_cast<BYTE>((options >> 2) & 0x0F);
  const RECT rect{(options >> 6) - 1, 1, 20, 14};
  HGLOBAL drawn = CGXDaoBitmap::DrawDIB(&dc, value, rect, mode, align, nullptr, TRUE);
  if ((drawn != nullptr) != (kept != nullptr)) std::abort();  // the same bytes are sound or not either way
  dc.SelectObject(old);
  return 0;
}
