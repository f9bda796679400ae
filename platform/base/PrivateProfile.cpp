#include "platform/base/PrivateProfile.h"

#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/IniStore.h"
#include "platform/base/SystemError.h"

namespace {

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }
bool ValidSection(LPCSTR s) { return plat::IniFile::IsValidSectionName(s); }
bool ValidKey(LPCSTR k) { return plat::IniFile::IsValidKey(k); }

// A value: cut to size - 1 and NUL-terminated.
DWORD CopyValue(std::string_view text, LPSTR buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
  if (n > 0) std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

// NUL-terminated entries (`all` holds them with their NULs) and a final NUL; cut to size - 2 characters
// plus two NULs.
DWORD CopyListText(std::string_view all, LPSTR buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  if (all.size() + 1 <= size) {
    if (!all.empty()) std::memcpy(buffer, all.data(), all.size());
    buffer[all.size()] = '\0';
    if (all.empty() && size >= 2) buffer[1] = '\0';  // an empty list still ends in a double NUL
    return static_cast<DWORD>(all.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, all.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

std::string_view StripQuotes(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && plat::IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

bool plat::ProfileValueReadsBack(std::string_view value) {
  if (!plat::IniFile::IsValidValue(value)) return false;
  // Read back as the reader takes a value: from its line in a file, trimmed, without a pair of quotes.
  const plat::IniFile ini = plat::IniFile::Parse("[s]\r\nk=" + std::string(value) + "\r\n");
  const auto read = ini.FindValue("s", "k");
  return read && StripQuotes(*read) == value;
}

std::optional<std::string> plat::ProfileValueText(std::string_view value) {
  if (!plat::IniFile::IsValidValue(value)) return std::nullopt;
  if (ProfileValueReadsBack(value)) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

DWORD GetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                              LPCSTR fileName) {
  if (!buffer || size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string_view fallback = TrimRight(defaultValue ? std::string_view(defaultValue) : std::string_view());
  DWORD result = 0;
  bool found = false;
  const bool ok = plat::IniStore::Read(fileName, [&](const plat::IniFile& ini, bool) {
    if (!section) {
      result = CopyListText(ini.SectionNamesText(), buffer, size);
      found = true;
    } else if (!key) {
      result = CopyListText(ini.KeyNamesText(section), buffer, size);
      found = true;
    } else if (const auto value = ini.FindValue(section, key)) {
      result = CopyValue(StripQuotes(*value), buffer, size);
      found = true;
    }
  });
  if (!ok || !found) {
    // Lists of a missing file are empty; a missing value is the default.
    if (!section || !key) return CopyListText({}, buffer, size);
    return CopyValue(fallback, buffer, size);
  }
  return result;
}

UINT GetPrivateProfileInt(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  if (!section || !key) return static_cast<UINT>(defaultValue);
  std::string value;
  bool found = false;
  plat::IniStore::Read(fileName, [&](const plat::IniFile& ini, bool) {
    if (const auto v = ini.FindValue(section, key)) {
      value = StripQuotes(*v);
      found = true;
    }
  });
  if (!found) return static_cast<UINT>(defaultValue);
  std::string_view s = value;
  while (!s.empty() && plat::IsBlank(s.front())) s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  UINT n = 0;  // wraps like the classic 32-bit conversion
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    for (s.remove_prefix(2); !s.empty() && std::isxdigit(static_cast<unsigned char>(s.front())); s.remove_prefix(1)) {
      const char c = s.front();
      n = n * 16 + static_cast<UINT>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
  } else {
    for (; !s.empty() && s.front() >= '0' && s.front() <= '9'; s.remove_prefix(1)) n = n * 10 + static_cast<UINT>(s.front() - '0');
  }
  return negative ? 0u - n : n;
}

DWORD GetPrivateProfileSection(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR fileName) {
  if (!buffer || size == 0 || !section) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD result = CopyListText({}, buffer, size);
  plat::IniStore::Read(fileName, [&](const plat::IniFile& ini, bool) {
    result = CopyListText(ini.SectionText(section), buffer, size);
  });
  return result;
}

BOOL WritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!section) {
    // Flush: every write outside a batch is already in the file; a batch writes at its end, never half-way.
    if (!key && !value && fileName) return TRUE;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!ValidSection(section) || (key && !ValidKey(key)) || (value && !plat::IniFile::IsValidValue(value))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return plat::IniStore::Edit(fileName, [&](plat::IniFile& ini) {
           if (!key) return ini.DeleteSection(section);
           if (!value) return ini.DeleteKey(section, key);
           return ini.SetValue(section, key, value);
         })
             ? TRUE
             : FALSE;
}

BOOL WritePrivateProfileSection(LPCSTR section, LPCSTR lines, LPCSTR fileName) {
  if (!section || !ValidSection(section)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<std::string> parsed;
  if (lines) {
    auto split = [&](std::string_view text) {
      std::size_t pos = 0;
      while (pos <= text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        std::string_view line = text.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // A stray CR inside a line would end it in other readers: it ends it here too.
        std::size_t cr;
        while ((cr = line.find('\r')) != std::string_view::npos) {
          if (cr > 0) parsed.emplace_back(line.substr(0, cr));
          line.remove_prefix(cr + 1);
        }
        if (!line.empty()) parsed.emplace_back(line);
        pos = nl + 1;
      }
    };
    const std::string_view first(lines);
    if (HasLineBreak(first)) {
      // The module's form: one text; the memory after its NUL is not ours to read.
      split(first);
    } else {
      for (const char* p = lines; *p; p += std::strlen(p) + 1) split(p);
    }
  }
  for (const std::string& line : parsed) {
    if (!plat::IniFile::IsValidSectionLine(line)) {
      // A line starting with '[' would read back as the header of another section.
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  return plat::IniStore::Edit(fileName, [&](plat::IniFile& ini) {
           if (!lines) return ini.DeleteSection(section);
           return ini.ReplaceSection(section, parsed);
         })
             ? TRUE
             : FALSE;
}
