#include "brimstead/SettingsIO.h"

#include "platform/base/PrivateProfile.h"
#include "platform/base/SystemError.h"
#include "platform/framework/CDataExchange.h"
#include "shared/Misc_Number.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace settings_io {

namespace {
// The first buffer a value is read into; a value that fills it is read again into a buffer twice as large, so that
// a long one (a deep project path) comes back whole rather than cut.
constexpr DWORD FirstReadBufferSize = 512;
}  // namespace

bool BreaksLine(const char* text) { return text && text[std::strcspn(text, "\r\n")] != '\0'; }

namespace {
RefusedValue refused;
}  // namespace

const RefusedValue& LastRefusedValue() { return refused; }

void ForgetRefusedValue() { refused = RefusedValue(); }

void RefuseValue(const char* section, const char* key, const char* value, const char* layer) {
  if (refused.section.IsEmpty())
    refused = RefusedValue{TextOf(section), TextOf(key), TextOf(value), TextOf(layer)};
  ::SetLastError(ERROR_INVALID_DATA);
}

bool WriteText(const char* section, const char* key, const char* value, const char* file) {
  // Every value of the file passes here, so that each one loads back as it was saved: a name with a blank at an
  // end or in quotes is written in quotes.
  const std::optional<std::string> text = plat::ProfileValueText(TextOf(value));
  if (!text) {
    RefuseValue(section, key, value);
    return false;
  }
  return WritePrivateProfileString(section, key, text->c_str(), file) != FALSE;
}

bool WriteInt(const char* section, const char* key, int value, const char* file) {
  CString text;
  text.Format("%d", value);
  return WriteText(section, key, text, file);
}

bool WriteFlag(const char* section, const char* key, bool value, const char* file) {
  return WriteText(section, key, value ? "1" : "0", file);
}

namespace {
// Whether `text` reads back as `value` as far as a page shows it: 15 significant digits.
bool ReadsBackAs(const CString& text, double value) {
  const double read = ParseDouble(text);
  if (read == value)
    return true;
  CString shown, shownRead;
  shown.Format("%.15g", value);
  shownRead.Format("%.15g", read);
  return shown == shownRead;
}
}  // namespace

CString NumberText(const char* format, double value) {
  CString text;
  text.Format(format, value);
  // 17 significant digits hold every double.
  for (int digits = 7; std::isfinite(value) && !ReadsBackAs(text, value) && digits <= 17; ++digits)
    text.Format("%.*g", digits, value);
  return text;
}

bool WriteNumber(const char* section, const char* key, const char* format, double value, const char* file) {
  return WriteText(section, key, NumberText(format, value), file);
}

bool WriteSection(const char* section, const char* lines, const char* file) {
  return WritePrivateProfileSection(section, lines ? lines : "", file) != FALSE;
}

CString ReadText(const char* section, const char* key, const char* fallback, const char* file) {
  std::vector<char> buffer(FirstReadBufferSize);
  // The value filled the buffer when the length read is the buffer's less its terminator.
  while (GetPrivateProfileString(section, key, fallback ? fallback : "", buffer.data(),
                                 static_cast<DWORD>(buffer.size()), file) + 1 >= buffer.size() &&
         buffer.size() < (1u << 30))
    buffer.assign(buffer.size() * 2, '\0');
  // A lone carriage return in a damaged file ends the value as a line break would: the file's lines cannot hold
  // one, so a value keeping it could never be saved again.
  buffer[std::strcspn(buffer.data(), "\r\n")] = '\0';
  return CString(buffer.data());
}

namespace {
// The value of a digit in the base, or -1 when the character is none.
int DigitValue(char c, int base) {
  int value = base;
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'f')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    value = c - 'A' + 10;
  return value < base ? value : -1;
}

// The integer at the start of `text` (see ReadInt); none when it starts with none or when it lies outside an int.
std::optional<int> LeadingInt(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
    ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+')
    ++p;
  const bool hexadecimal = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
  const int base = hexadecimal ? 16 : 10;
  if (hexadecimal)
    p += 2;
  // "0x" without a digit after it is the number 0, as the private-profile integers read it.
  if (!hexadecimal && DigitValue(*p, base) < 0)
    return std::nullopt;
  long long value = 0;
  for (; DigitValue(*p, base) >= 0; ++p) {
    value = value * base + DigitValue(*p, base);
    if (value > static_cast<long long>(INT_MAX) + 1)
      return std::nullopt;
  }
  if (negative)
    value = -value;
  if (value > INT_MAX || value < INT_MIN)
    return std::nullopt;
  return static_cast<int>(value);
}
}  // namespace

int ReadInt(const char* section, const char* key, int fallback, const char* file) {
  return LeadingInt(ReadText(section, key, "", file)).value_or(fallback);
}

bool ReadFlag(const char* section, const char* key, bool fallback, const char* file) {
  return ReadInt(section, key, fallback ? 1 : 0, file) != 0;
}

std::optional<double> ReadTypedNumber(const char* section, const char* key, const char* fallback, const char* file) {
  return plat::ReadDdxDouble(ReadText(section, key, fallback, file));
}

std::optional<int> ReadTypedCount(const char* section, const char* key, const char* file) {
  return plat::ReadDdxInt(ReadText(section, key, "", file));
}

}  // namespace settings_io
