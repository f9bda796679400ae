// printf-style formatting with the classic desktop runtime's semantics, independent of the C locale.
//
// Both entry points share one engine:
//  - FormatArgs: the arguments arrive typed (CString::Format's variadic template), so a CString may be
//    passed straight to "%s", and an argument's real width is known: "%d" of an unsigned 32-bit value
//    prints the classic negative number, "%lu" of a 32-bit DWORD reads 32 bits, a 64-bit value is never cut.
//  - FormatVa: a va_list, read with the classic 64-bit desktop model: no modifier and "l" are 32 bits,
//    "ll"/"I64" 64 bits, "I"/"z" pointer-sized.
// Accepted: flags "-+ #0", width and precision (also "*"), modifiers hh h l ll L I I32 I64 j z t w, and the
// conversions d i u o x X c C s S f F e E g G a A p %. "%n" writes nothing and consumes its argument; an
// unknown conversion is copied as text. A missing argument formats as nothing. Doubles use the C library's
// forms (two-digit exponents, "inf"/"nan") with "." as the decimal point whatever the process locale is.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace plat {

struct FormatArg {
  enum class Kind { Signed, Unsigned, Float, String, Pointer };
  Kind kind = Kind::Signed;
  int bytes = 4;  // size of the original integer argument
  union {
    long long i;
    unsigned long long u;
    double d;
    const char* s;
    const void* p;
  };

  FormatArg() : i(0) {}
  template <class T>
    requires std::is_integral_v<T>
  FormatArg(T v) : bytes(static_cast<int>(sizeof(T))) {  // NOLINT: implicit on purpose
    if constexpr (std::is_signed_v<T>) {
      kind = Kind::Signed;
      i = v;
    } else {
      kind = Kind::Unsigned;
      u = v;
    }
  }
  template <class T>
    requires std::is_enum_v<T>
  FormatArg(T v) : FormatArg(static_cast<std::underlying_type_t<T>>(v)) {}
  template <class T>
    requires std::is_floating_point_v<T>
  FormatArg(T v) : kind(Kind::Float), d(static_cast<double>(v)) {}
  FormatArg(const char* v) : kind(Kind::String), s(v) {}
  FormatArg(char* v) : kind(Kind::String), s(v) {}
  FormatArg(const unsigned char* v) : kind(Kind::String), s(reinterpret_cast<const char*>(v)) {}
  FormatArg(unsigned char* v) : kind(Kind::String), s(reinterpret_cast<const char*>(v)) {}
  FormatArg(const std::string& v) : kind(Kind::String), s(v.c_str()) {}
  FormatArg(std::nullptr_t) : kind(Kind::Pointer), p(nullptr) {}
  template <class T>
    requires(!std::is_same_v<std::remove_cv_t<T>, char> && !std::is_same_v<std::remove_cv_t<T>, unsigned char>)
  FormatArg(T* v) : kind(Kind::Pointer), p(v) {}
  // Classes with an implicit conversion to const char* (CString) format as their text.
  template <class T>
    requires(std::is_class_v<T> && std::is_convertible_v<const T&, const char*>)
  FormatArg(const T& v) : kind(Kind::String), s(static_cast<const char*>(v)) {}
};

std::string FormatArgs(std::string_view format, std::span<const FormatArg> args);
std::string FormatVa(const char* format, va_list args);

// Makes the calling thread use the C locale for the scope's lifetime (number parsing and formatting
// through the C library stay '.'-based even when a host process has changed the global locale).
class CLocaleScope {
 public:
  CLocaleScope();
  ~CLocaleScope();
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  void* previous_;
};

}  // namespace plat

// The classic runtime's bounded formatting: the length written, or -1 when the text (with its NUL) does
// not fit; the output is always NUL-terminated when count > 0, also when cut. The format follows the
// engine above ("l" is 32 bits, "I64" 64 bits).
int _vsnprintf(char* buffer, std::size_t count, const char* format, va_list args);
int _snprintf(char* buffer, std::size_t count, const char* format, ...);
