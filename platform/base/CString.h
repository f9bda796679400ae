// CString: the classic 8-bit (code page 1252) string value type.
//
// Semantics kept from the classic class: positions are byte offsets, out-of-range arguments of the
// extracting members are clamped, Find answers -1 when nothing is found, Compare is unsigned byte order,
// CompareNoCase and MakeUpper/MakeLower use the code page's tables (never the machine's locale).
// Deliberate differences: GetAt/SetAt/operator[] throw CInvalidArgException for a bad index instead of
// reading outside the text; Format is type-safe (see Printf.h) and always uses "." for numbers.
#pragma once

#include <compare>
#include <string>
#include <string_view>

#include "platform/base/Printf.h"
#include "platform/base/wintypes.h"

class CString {
 public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  // A pointer below 0x10000 is a string resource id (MAKEINTRESOURCE), loaded from the resource table.
  CString(const char* text);  // NOLINT: implicit like the classic class
  CString(const unsigned char* text) : CString(reinterpret_cast<const char*>(text)) {}
  CString(const char* text, int length);
  CString(char ch, int repeat = 1);
  explicit CString(std::string_view text) : s_(text) {}
  explicit CString(std::string text) : s_(std::move(text)) {}

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* text);
  CString& operator=(char ch);

  // Access.
  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  // Index 0..GetLength(); the length itself reads the terminating NUL. Beyond: CInvalidArgException.
  char GetAt(int index) const;
  char operator[](int index) const { return GetAt(index); }
  // Index 0..GetLength()-1, else CInvalidArgException.
  void SetAt(int index, char ch);
  operator const char*() const { return s_.c_str(); }  // NOLINT: the classic implicit LPCTSTR
  const char* GetString() const { return s_.c_str(); }
  std::string_view View() const { return s_; }
  const std::string& Str() const { return s_; }
  void SetString(const char* text);
  void SetString(const char* text, int length);

  // Concatenation.
  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  void Append(const char* text);
  void Append(const char* text, int length);
  void AppendChar(char ch) { s_ += ch; }
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);
  friend CString operator+(const char* a, const CString& b);
  friend CString operator+(const CString& a, char b);
  friend CString operator+(char a, const CString& b);

  // Comparison: -1, 0 or 1.
  int Compare(const char* other) const;
  int CompareNoCase(const char* other) const;
  // Collation: case folded by table first, ties broken with lower case before upper case.
  int Collate(const char* other) const;
  int CollateNoCase(const char* other) const { return CompareNoCase(other); }

  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
  friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.Compare(b.s_.c_str()) <=> 0; }
  friend std::strong_ordering operator<=>(const CString& a, const char* b) { return a.Compare(b) <=> 0; }

  // Extraction; counts and positions are clamped to the text.
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString SpanIncluding(const char* charSet) const;
  CString SpanExcluding(const char* charSet) const;
  // The next token after `start` (separators skipped first); at the end: empty text and start = -1.
  CString Tokenize(const char* separators, int& start) const;

  // Searching: index or -1.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* charSet) const;

  // Changing.
  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  int Replace(char oldCh, char newCh);
  int Replace(const char* oldText, const char* newText);
  int Remove(char ch);
  int Insert(int index, char ch);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);
  CString& Trim();
  CString& Trim(char target);
  CString& Trim(const char* targets);
  CString& TrimLeft();
  CString& TrimLeft(char target);
  CString& TrimLeft(const char* targets);
  CString& TrimRight();
  CString& TrimRight(char target);
  CString& TrimRight(const char* targets);

  // Formatting: printf semantics in the C locale. The typed form takes CString arguments for "%s" directly.
  template <class... Args>
  void Format(const char* format, const Args&... args) {
    const plat::FormatArg list[] = {plat::FormatArg(args)..., plat::FormatArg()};
    s_ = plat::FormatArgs(format ? format : "", std::span<const plat::FormatArg>(list, sizeof...(Args)));
  }
  template <class... Args>
  void AppendFormat(const char* format, const Args&... args) {
    const plat::FormatArg list[] = {plat::FormatArg(args)..., plat::FormatArg()};
    s_ += plat::FormatArgs(format ? format : "", std::span<const plat::FormatArg>(list, sizeof...(Args)));
  }
  void FormatV(const char* format, va_list args);
  void AppendFormatV(const char* format, va_list args);
  template <class... Args>
  void Format(UINT formatId, const Args&... args) {
    CString format;
    format.LoadString(formatId);
    Format(format.GetString(), args...);
  }

  // Raw buffer access. GetBuffer(n) gives room for n characters plus the NUL and keeps the current text;
  // ReleaseBuffer(-1) takes the length up to the first NUL, ReleaseBuffer(n) exactly n characters.
  char* GetBuffer(int minLength);
  char* GetBuffer() { return GetBuffer(0); }
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);
  void ReleaseBufferSetLength(int newLength) { ReleaseBuffer(newLength); }
  void Preallocate(int length);
  void FreeExtra() { s_.shrink_to_fit(); }
  char* LockBuffer() { return GetBuffer(0); }
  void UnlockBuffer() {}

  // From the string table of the current resource module (then the instance module); FALSE when missing.
  BOOL LoadString(UINT id);

 private:
  std::string s_;
};

inline bool operator==(const char* a, const CString& b) { return b == a; }

// Classic helpers that put texts into "%1" and "%2" of a string resource.
void AfxFormatString1(CString& out, UINT id, const char* text1);
void AfxFormatString2(CString& out, UINT id, const char* text1, const char* text2);
// The same on a given template: "%1".."%9" are replaced by texts[0..]; other '%' stay.
void AfxFormatStrings(CString& out, const char* templ, const char* const* texts, int count);
