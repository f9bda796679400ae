// Arbitrary text through the currency format's parser and the paste preparation of the currency edit: no
// crash, and every text the format produces reads back to its amount and sign.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "grid/extras/CGXBCurrencyEdit.h"

namespace {

// The window's paste step without a window: digits only unless the whole number is selected.
class PasteProbe : public CGXBCurrencyEdit {
 public:
  void Prepare(CString& text) { PreparePasteText(text); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  CGXBCurrencyEdit::Format f(FALSE);
  // The first bytes choose the format; the rest is the text.
  f.m_nPositiveFormat = data[0] % 6 - 1;
  f.m_nNegativeFormat = data[1] % 18 - 1;
  f.m_nFractionDigits = data[2] % 8;
  f.m_bLeadingZero = data[3] & 1;
  f.m_cThousandSep = (data[3] & 2) ? ',' : '\0';
  f.m_cDecimalSep = (data[3] & 4) ? '.' : ((data[3] & 8) ? ',' : '\0');
  if (f.m_cDecimalSep == ',' && f.m_cThousandSep == ',') f.m_cThousandSep = '.';
  const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
  double value = 0;
  BOOL negative = FALSE;
  if (f.ParseValue(CString(text.c_str()), value, negative)) {
    if (!std::isfinite(value) || value < 0) __builtin_trap();
    // What the format makes of the amount reads back to it (to the shown fraction digits).
    CString shown;
    f.FormatValue(value, shown, negative);
    double again = 0;
    BOOL againNegative = FALSE;
    if (!f.ParseValue(shown, again, againNegative) || againNegative != negative) __builtin_trap();
    if (value < 1e12 && std::fabs(again - value) > std::pow(10.0, -f.m_nFractionDigits) * 0.51 + value * 1e-12)
      __builtin_trap();
  }
  CString paste(text.c_str());
  PasteProbe().Prepare(paste);
  for (int i = 0; i < paste.GetLength(); ++i)
    if (paste[i] < '0' || paste[i] > '9') __builtin_trap();
  return 0;
}
