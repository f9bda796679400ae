#include "platform/base/CString.h"

#include <algorithm>
#include <cstring>

#include "platform/base/CException.h"
#include "platform/base/CodePage.h"
#include "platform/base/StringApi.h"

namespace {

std::string_view ViewOf(const char* text) { return text ? std::string_view(text) : std::string_view(); }

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

constexpr const char* kBlanks = " \t\n\v\f\r";

}  // namespace

CString::CString(const char* text) {
  if (text && IS_INTRESOURCE(text)) {
    LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)));
    return;
  }
  s_ = ViewOf(text);
}

CString::CString(const char* text, int length) {
  if (text && length > 0) s_.assign(text, static_cast<std::size_t>(length));
}

CString::CString(char ch, int repeat) {
  if (repeat > 0) s_.assign(static_cast<std::size_t>(repeat), ch);
}

CString& CString::operator=(const char* text) {
  SetString(text);
  return *this;
}

CString& CString::operator=(char ch) {
  s_.assign(1, ch);
  return *this;
}

char CString::GetAt(int index) const {
  if (index < 0 || index > GetLength()) AfxThrowInvalidArgException();
  return s_.c_str()[index];
}

void CString::SetAt(int index, char ch) {
  if (index < 0 || index >= GetLength()) AfxThrowInvalidArgException();
  s_[static_cast<std::size_t>(index)] = ch;
}

void CString::SetString(const char* text) {
  // Assigning from the string's own buffer (or a part of it) is legal; std::string::assign handles overlap.
  s_.assign(ViewOf(text));
}

void CString::SetString(const char* text, int length) {
  if (!text || length <= 0) {
    s_.clear();
    return;
  }
  s_.assign(text, static_cast<std::size_t>(length));
}

CString& CString::operator+=(const CString& other) {
  s_ += other.s_;
  return *this;
}

CString& CString::operator+=(const char* text) {
  Append(text);
  return *this;
}

CString& CString::operator+=(char ch) {
  s_ += ch;
  return *this;
}

void CString::Append(const char* text) { s_.append(ViewOf(text)); }

void CString::Append(const char* text, int length) {
  if (text && length > 0) s_.append(text, static_cast<std::size_t>(length));
}

CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, const char* b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const char* a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, char b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(char a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

int CString::Compare(const char* other) const {
  // char_traits<char> compares as unsigned char: the classic ordinal byte order.
  return Sign(std::string_view(s_).compare(ViewOf(other)));
}

int CString::CompareNoCase(const char* other) const { return plat::CompareNoCase1252(s_, ViewOf(other)); }

int CString::Collate(const char* other) const { return plat::Collate1252(s_, ViewOf(other), false); }

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  const int len = GetLength();
  first = std::clamp(first, 0, len);
  count = std::clamp(count, 0, len - first);
  return CString(std::string_view(s_).substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return Mid(GetLength() - count, count);
}

CString CString::SpanIncluding(const char* charSet) const {
  const std::size_t n = s_.find_first_not_of(ViewOf(charSet));
  return CString(std::string_view(s_).substr(0, n));
}

CString CString::SpanExcluding(const char* charSet) const {
  const std::size_t n = s_.find_first_of(ViewOf(charSet));
  return CString(std::string_view(s_).substr(0, n));
}

CString CString::Tokenize(const char* separators, int& start) const {
  if (start < 0 || start >= GetLength()) {
    start = -1;
    return CString();
  }
  const std::string_view seps = ViewOf(separators);
  if (seps.empty()) {
    const CString rest = Mid(start);
    start = GetLength();
    return rest;
  }
  const std::size_t from = s_.find_first_not_of(seps, static_cast<std::size_t>(start));
  if (from == std::string::npos) {
    start = -1;
    return CString();
  }
  std::size_t to = s_.find_first_of(seps, from);
  if (to == std::string::npos) to = s_.size();
  start = static_cast<int>(to == s_.size() ? to : to + 1);
  return CString(std::string_view(s_).substr(from, to - from));
}

int CString::Find(char ch, int start) const {
  if (start < 0) start = 0;
  if (start >= GetLength()) return -1;
  const std::size_t pos = s_.find(ch, static_cast<std::size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  const std::size_t pos = s_.find(ViewOf(sub), static_cast<std::size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  const std::size_t pos = s_.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* charSet) const {
  const std::string_view set = ViewOf(charSet);
  if (set.empty()) return -1;
  const std::size_t pos = s_.find_first_of(set);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString& CString::MakeUpper() {
  for (char& c : s_) c = static_cast<char>(plat::ToUpper1252(static_cast<unsigned char>(c)));
  return *this;
}

CString& CString::MakeLower() {
  for (char& c : s_) c = static_cast<char>(plat::ToLower1252(static_cast<unsigned char>(c)));
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(s_.begin(), s_.end());
  return *this;
}

int CString::Replace(char oldCh, char newCh) {
  int count = 0;
  for (char& c : s_) {
    if (c == oldCh) {
      c = newCh;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const char* oldText, const char* newText) {
  const std::string_view from = ViewOf(oldText);
  if (from.empty()) return 0;
  const std::string_view to = ViewOf(newText);
  std::string result;
  int count = 0;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = s_.find(from, pos);
    if (hit == std::string::npos) break;
    result.append(s_, pos, hit - pos);
    result.append(to);
    pos = hit + from.size();
    ++count;
  }
  if (count == 0) return 0;
  result.append(s_, pos, std::string::npos);
  s_ = std::move(result);
  return count;
}

int CString::Remove(char ch) {
  const auto old = s_.size();
  s_.erase(std::remove(s_.begin(), s_.end(), ch), s_.end());
  return static_cast<int>(old - s_.size());
}

int CString::Insert(int index, char ch) {
  index = std::clamp(index, 0, GetLength());
  s_.insert(static_cast<std::size_t>(index), 1, ch);
  return GetLength();
}

int CString::Insert(int index, const char* text) {
  index = std::clamp(index, 0, GetLength());
  s_.insert(static_cast<std::size_t>(index), ViewOf(text));
  return GetLength();
}

int CString::Delete(int index, int count) {
  const int len = GetLength();
  if (index < 0) index = 0;
  if (count > 0 && index < len) {
    count = std::min(count, len - index);
    s_.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
  }
  return GetLength();
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char target) { return TrimRight(target).TrimLeft(target); }
CString& CString::Trim(const char* targets) { return TrimRight(targets).TrimLeft(targets); }

CString& CString::TrimLeft() { return TrimLeft(kBlanks); }
CString& CString::TrimLeft(char target) {
  const char set[2] = {target, '\0'};
  if (target == '\0') return *this;
  return TrimLeft(set);
}
CString& CString::TrimLeft(const char* targets) {
  const std::size_t n = s_.find_first_not_of(ViewOf(targets));
  s_.erase(0, n == std::string::npos ? s_.size() : n);
  return *this;
}

CString& CString::TrimRight() { return TrimRight(kBlanks); }
CString& CString::TrimRight(char target) {
  const char set[2] = {target, '\0'};
  if (target == '\0') return *this;
  return TrimRight(set);
}
CString& CString::TrimRight(const char* targets) {
  const std::size_t n = s_.find_last_not_of(ViewOf(targets));
  s_.erase(n == std::string::npos ? 0 : n + 1);
  return *this;
}

void CString::FormatV(const char* format, va_list args) { s_ = plat::FormatVa(format, args); }

void CString::AppendFormatV(const char* format, va_list args) { s_ += plat::FormatVa(format, args); }

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) s_.resize(static_cast<std::size_t>(minLength));
  return s_.data();
}

char* CString::GetBufferSetLength(int length) {
  s_.resize(static_cast<std::size_t>(std::max(length, 0)));
  return s_.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) {
    s_.resize(std::strlen(s_.c_str()));
  } else {
    s_.resize(std::min(static_cast<std::size_t>(newLength), s_.size()));
  }
}

void CString::Preallocate(int length) {
  if (length > 0) s_.reserve(static_cast<std::size_t>(length));
}

void AfxFormatStrings(CString& out, const char* templ, const char* const* texts, int count) {
  std::string result;
  const std::string_view t = ViewOf(templ);
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '%' && i + 1 < t.size() && t[i + 1] >= '1' && t[i + 1] <= '9') {
      const int n = t[i + 1] - '1';
      if (n < count && texts && texts[n]) result += texts[n];
      ++i;
      continue;
    }
    result += t[i];
  }
  out = CString(std::move(result));
}
