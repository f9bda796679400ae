#include "platform/base/StringApi.h"

#include <cstring>
#include <mutex>

#include "platform/base/CodePage.h"
#include "platform/base/SystemError.h"

namespace {

struct LeadBytes {
  std::mutex mutex;
  std::function<bool(BYTE)> predicate;
};

LeadBytes& TheLeadBytes() {
  static LeadBytes l;
  return l;
}

bool IsSingleChar(LPCSTR p) { return (reinterpret_cast<ULONG_PTR>(p) >> 16) == 0; }

unsigned char AsciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }
unsigned char AsciiUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

}  // namespace

namespace plat {

void SetLeadBytePredicate(std::function<bool(BYTE)> predicate) {
  auto& l = TheLeadBytes();
  std::lock_guard lock(l.mutex);
  l.predicate = std::move(predicate);
}

int Collate1252(std::string_view a, std::string_view b, bool ignoreCase) {
  const int folded = CompareNoCase1252(a, b);
  if (folded != 0 || ignoreCase) return folded;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca != cb) return IsLower1252(ca) ? -1 : 1;
  }
  return 0;
}

}  // namespace plat

LPSTR CharUpper(LPSTR text) {
  if (!text) return nullptr;
  if (IsSingleChar(text)) {
    const auto c = static_cast<unsigned char>(reinterpret_cast<ULONG_PTR>(text));
    return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(plat::ToUpper1252(c)));
  }
  for (char* p = text; *p; ++p) *p = static_cast<char>(plat::ToUpper1252(static_cast<unsigned char>(*p)));
  return text;
}

LPSTR CharLower(LPSTR text) {
  if (!text) return nullptr;
  if (IsSingleChar(text)) {
    const auto c = static_cast<unsigned char>(reinterpret_cast<ULONG_PTR>(text));
    return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(plat::ToLower1252(c)));
  }
  for (char* p = text; *p; ++p) *p = static_cast<char>(plat::ToLower1252(static_cast<unsigned char>(*p)));
  return text;
}

DWORD CharUpperBuff(LPSTR text, DWORD length) {
  if (!text) return 0;
  for (DWORD i = 0; i < length; ++i) text[i] = static_cast<char>(plat::ToUpper1252(static_cast<unsigned char>(text[i])));
  return length;
}

DWORD CharLowerBuff(LPSTR text, DWORD length) {
  if (!text) return 0;
  for (DWORD i = 0; i < length; ++i) text[i] = static_cast<char>(plat::ToLower1252(static_cast<unsigned char>(text[i])));
  return length;
}

BOOL IsCharAlpha(char ch) { return plat::IsAlpha1252(static_cast<unsigned char>(ch)); }
BOOL IsCharAlphaNumeric(char ch) { return IsCharAlpha(ch) || (ch >= '0' && ch <= '9'); }
BOOL IsCharUpper(char ch) { return plat::IsUpper1252(static_cast<unsigned char>(ch)); }
BOOL IsCharLower(char ch) { return plat::IsLower1252(static_cast<unsigned char>(ch)); }

LPSTR CharNext(LPCSTR text) {
  if (!text) return nullptr;
  return const_cast<LPSTR>(*text ? text + 1 : text);
}

LPSTR CharPrev(LPCSTR start, LPCSTR current) {
  if (!start || !current) return nullptr;
  return const_cast<LPSTR>(current > start ? current - 1 : start);
}

int lstrlen(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

int lstrcmp(LPCSTR a, LPCSTR b) { return plat::Collate1252(a ? a : "", b ? b : "", false); }
int lstrcmpi(LPCSTR a, LPCSTR b) { return plat::Collate1252(a ? a : "", b ? b : "", true); }

LPSTR lstrcpyn(LPSTR dest, LPCSTR src, int maxChars) {
  if (!dest || !src || maxChars <= 0) return nullptr;
  const std::size_t n = strnlen(src, static_cast<std::size_t>(maxChars - 1));
  std::memcpy(dest, src, n);
  dest[n] = '\0';
  return dest;
}

int CompareString(LCID locale, DWORD flags, LPCSTR a, int lengthA, LPCSTR b, int lengthB) {
  if (!a || !b || !plat::FindLocale(locale)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string_view va(a, lengthA < 0 ? std::strlen(a) : static_cast<std::size_t>(lengthA));
  const std::string_view vb(b, lengthB < 0 ? std::strlen(b) : static_cast<std::size_t>(lengthB));
  return plat::Collate1252(va, vb, (flags & NORM_IGNORECASE) != 0) + 2;
}

int _stricmp(const char* a, const char* b) { return _strnicmp(a, b, static_cast<std::size_t>(-1)); }

int _strnicmp(const char* a, const char* b, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char ca = AsciiLower(static_cast<unsigned char>(a[i])), cb = AsciiLower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
  return 0;
}

char* _strupr(char* text) {
  for (char* p = text; p && *p; ++p) *p = static_cast<char>(AsciiUpper(static_cast<unsigned char>(*p)));
  return text;
}

char* _strlwr(char* text) {
  for (char* p = text; p && *p; ++p) *p = static_cast<char>(AsciiLower(static_cast<unsigned char>(*p)));
  return text;
}

unsigned char* _mbsupr(unsigned char* text) {
  for (unsigned char* p = text; p && *p; ++p) *p = plat::ToUpper1252(*p);
  return text;
}

unsigned char* _mbslwr(unsigned char* text) {
  for (unsigned char* p = text; p && *p; ++p) *p = plat::ToLower1252(*p);
  return text;
}

BOOL IsDBCSLeadByte(BYTE ch) {
  auto& l = TheLeadBytes();
  std::lock_guard lock(l.mutex);
  return l.predicate && l.predicate(ch) ? TRUE : FALSE;
}

int _ismbblead(unsigned int ch) { return IsDBCSLeadByte(static_cast<BYTE>(ch)); }
