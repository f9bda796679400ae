// Number recognition on any text, under the English or the German separators: a text it accepts, shown in
// the format and places it was recognised in, is accepted again as the same value with the same places,
// and shows as the same text. (The format read back may differ: a grouped number below 1000 shows no
// group separator and reads back as fixed.)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStyle.h"
#include "grid/features/CGXNumberFormattingImp.h"

namespace {

void Fail(const char* what, const std::string& text, const CString& shown) {
  std::fprintf(stderr, "%s: \"%s\" shown as \"%s\"\n", what, text.c_str(), shown.GetString());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  CGXGridGlobals& globals = CGXGridGlobals::Get();
  const bool german = data[0] & 1;
  globals.m_cDecimalSeparator = german ? ',' : '.';
  globals.m_cThousandSeparator = german ? '.' : ',';
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  if (text.find('\0') != std::string::npos) return 0;

  CGXNumberFormattingImp imp;
  double value = 0;
  unsigned format = 0, places = 0;
  if (!imp.ParseNumber(text.c_str(), value, format, places)) return 0;
  if (places > 15 || (format != 1 && format != 2 && format != 4 && format != 5)) Fail("format", text, "");

  // The value as the cell store keeps a number.
  char stored[64];
  std::snprintf(stored, sizeof stored, "%.17g", value);
  CGXStyle style;
  style.SetFormat(format).SetPlaces(places);
  const CString shown = imp.FormatText(style, stored, GX_VT_NUMBER, 0, 0);
  // Beyond the scanner's limits (257 positions, 19 group separators) a shown text is no input.
  int groups = 0;
  for (int i = 0; i < shown.GetLength(); ++i) groups += shown[i] == globals.m_cThousandSeparator;
  if (shown.GetLength() > 256 || groups >= 19) return 0;

  double again = 0;
  unsigned format2 = 0, places2 = 0;
  if (!imp.ParseNumber(shown, again, format2, places2)) Fail("not read back", text, shown);
  if (places2 != places) Fail("places changed", text, shown);
  // Places written in full (fewer than the 15 kept) keep the value exactly; more are rounded once, and the
  // rounded value shows as the same text (but a negative value rounded to zero, shown with its sign once).
  if (places < 15 && again != value) Fail("value changed", text, shown);
  std::snprintf(stored, sizeof stored, "%.17g", again);
  if (again != 0 && imp.FormatText(style, stored, GX_VT_NUMBER, 0, 0) != shown) Fail("shown differently", text, shown);
  return 0;
}
