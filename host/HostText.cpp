#include "host/HostText.h"

#include "platform/base/CodePage.h"

namespace host {

std::optional<std::string> Cp1252FromUtf8Strict(std::string_view utf8) { return plat::Cp1252FromUtf8Strict(utf8); }

std::string Utf8FromCp1252(std::string_view text) { return plat::Utf8From1252(text); }

std::string EscapedName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char c : Utf8FromCp1252(name)) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c; break;
    }
  }
  return out;
}

}  // namespace host
