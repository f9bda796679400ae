// Parses arbitrary text as an INI file and checks the reader's invariants:
//  - writing the parsed file and parsing it again gives the same text (the layout is stable);
//  - every section and key the reader lists can be looked up, and section lines match the lookups;
//  - after SetValue with valid names (taken from the input), FindValue gives the trimmed value back,
//    and DeleteKey then removes exactly that key.
// A violated invariant traps, so the fuzzer reports it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/CodePage.h"
#include "platform/base/IniFile.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && plat::IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && plat::IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  plat::IniFile ini = plat::IniFile::Parse(text);
  const std::string once = ini.Serialize();
  Check(plat::IniFile::Parse(once).Serialize() == once);

  for (const std::string& section : ini.SectionNames()) {
    Check(ini.HasSection(section));
    for (const std::string& key : ini.KeyNames(section)) Check(ini.FindValue(section, key).has_value());
    for (const std::string& line : ini.SectionLines(section)) {
      if (line[0] == ';') continue;  // comments are part of the section but not keys
      const std::size_t eq = line.find('=');
      const std::string_view key = eq == std::string::npos ? std::string_view(line) : std::string_view(line).substr(0, eq);
      Check(ini.FindValue(section, key).has_value());
    }
  }

  // Names for an edit from the first bytes of the input: "section\x01key\x01value".
  const std::size_t a = text.find('\x01');
  const std::size_t b = a == std::string_view::npos ? a : text.find('\x01', a + 1);
  if (b == std::string_view::npos) return 0;
  const std::string_view section = text.substr(0, a), key = text.substr(a + 1, b - a - 1);
  std::string_view value = text.substr(b + 1);
  value = value.substr(0, value.find_first_of("\r\n"));
  if (!plat::IniFile::IsValidSectionName(section) || !plat::IniFile::IsValidKey(key)) return 0;
  ini.SetValue(section, key, value);
  const auto got = ini.FindValue(section, key);
  Check(got.has_value() && *got == Trim(value));
  const plat::IniFile reparsed = plat::IniFile::Parse(ini.Serialize());
  const auto again = reparsed.FindValue(section, key);
  Check(again.has_value() && *again == Trim(value));
  const std::size_t lines = ini.LineCount();
  Check(ini.DeleteKey(section, key));
  Check(ini.LineCount() == lines - 1);
  return 0;
}
