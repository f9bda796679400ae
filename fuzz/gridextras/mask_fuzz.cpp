// Arbitrary text through the input mask data: the first part as a mask, the rest typed raw (PushData) and
// as a shown text (SetDisplayText), overwriting and inserting at any start. No crash, and the invariants of
// a mask hold: the data is as long as the mask, literals stay in place, every position passes the mask.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grid/extras/CGXMaskData.h"

#include "fuzz/FuzzFonts.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const size_t split = std::min<size_t>(data[0], size - 2);
  const int start = static_cast<int>(data[1] % 24) - 1;
  const std::string mask(reinterpret_cast<const char*>(data + 2), split);
  const std::string text(reinterpret_cast<const char*>(data + 2 + split), size - 2 - split);
  CGXMaskData m;
  m.SetMask(CString(mask.c_str()));
  if (data[1] & 0x80) m.SetMaxLength(data[1] & 0x1F);
  m.ClearData();
  const BOOL insert = (data[1] & 0x40) != 0;
  m.PushData(CString(text.c_str()), start, insert);
  m.SetDisplayText(CString(text.c_str()), start, insert);
  CString shown, raw;
  m.GetDisplayText(shown);
  m.GetData(raw);
  if (m.IsFreeText()) {
    if (m.GetDataLength() > m.GetMaxLength() && !insert) std::abort();
    return 0;
  }
  if (m.GetDataLength() != m.GetMaskLength() || !m.IsValid()) std::abort();
  // Cleared and typed again from what it gave back, the data reads back the same.
  CGXMaskData again;
  again.SetMask(CString(mask.c_str()));
  again.ClearData();
  if (again.SetDisplayText(shown, -1, FALSE) < 0) std::abort();
  CString shownAgain;
  again.GetDisplayText(shownAgain);
  if (shownAgain != shown) std::abort();
  return 0;
}
