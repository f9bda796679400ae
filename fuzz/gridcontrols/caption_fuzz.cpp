// The progress bar's caption is user text: any format with any value is formatted without reading past the
// format, and the result is bounded by the text plus one formatted number.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "grid/controls/CGXProgressCtrl.h"

#include "fuzz/FuzzFonts.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(long)) return 0;
  long value;
  std::memcpy(&value, data, sizeof value);
  const char* text = reinterpret_cast<const char*>(data + sizeof value);
  const int length = static_cast<int>(size - sizeof value);
  const CString format(text, length);
  const CString caption = gx::FormatProgressCaption(format, value);
  // A number takes at most 99 columns (the widest width) or its own digits, flags and prefix.
  if (caption.GetLength() > length + 128) std::abort();
  return 0;
}
