#include "platform/base/Printf.h"

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace plat {
namespace {

locale_t CLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

// Where the engine takes its arguments from.
class ArgSource {
 public:
  virtual ~ArgSource() = default;
  enum class Want { Int, Float, String, Pointer };
  // bits: the integer size the format's modifier asks for (0 = none given, which is 32 bits classically).
  virtual bool Next(Want want, int bits, FormatArg& out) = 0;
};

class SpanSource final : public ArgSource {
 public:
  explicit SpanSource(std::span<const FormatArg> args) : args_(args) {}
  bool Next(Want, int, FormatArg& out) override {
    if (index_ >= args_.size()) return false;
    out = args_[index_++];
    return true;
  }

 private:
  std::span<const FormatArg> args_;
  std::size_t index_ = 0;
};

class VaSource final : public ArgSource {
 public:
  explicit VaSource(va_list args) { va_copy(args_, args); }
  ~VaSource() override { va_end(args_); }
  bool Next(Want want, int bits, FormatArg& out) override {
    switch (want) {
      case Want::Int:
        if (bits == 64) {
          out = FormatArg(va_arg(args_, long long));
        } else {
          out = FormatArg(va_arg(args_, int));  // 8- and 16-bit values arrive promoted
        }
        return true;
      case Want::Float:
        out = FormatArg(va_arg(args_, double));
        return true;
      case Want::String:
        out = FormatArg(va_arg(args_, const char*));
        return true;
      case Want::Pointer:
        out = FormatArg(va_arg(args_, void*));
        return true;
    }
    return false;
  }

 private:
  va_list args_;
};

void AppendPrintf(std::string& out, const char* pattern, ...) __attribute__((format(printf, 2, 3)));
void AppendPrintf(std::string& out, const char* pattern, ...) {
  char buf[256];
  va_list ap;
  va_start(ap, pattern);
  const int n = vsnprintf(buf, sizeof buf, pattern, ap);
  va_end(ap);
  if (n < 0) return;
  if (static_cast<std::size_t>(n) < sizeof buf) {
    out.append(buf, static_cast<std::size_t>(n));
    return;
  }
  const std::size_t old = out.size();
  out.resize(old + static_cast<std::size_t>(n) + 1);
  va_start(ap, pattern);
  vsnprintf(out.data() + old, static_cast<std::size_t>(n) + 1, pattern, ap);
  va_end(ap);
  out.resize(old + static_cast<std::size_t>(n));
}

unsigned long long RawBits(const FormatArg& a) {
  switch (a.kind) {
    case FormatArg::Kind::Signed:
      return static_cast<unsigned long long>(a.i);
    case FormatArg::Kind::Unsigned:
      return a.u;
    case FormatArg::Kind::Float: {
      if (std::isnan(a.d)) return 0;
      if (a.d >= 9.2233720368547758e18) return static_cast<unsigned long long>(std::numeric_limits<long long>::max());
      if (a.d <= -9.2233720368547758e18) return static_cast<unsigned long long>(std::numeric_limits<long long>::min());
      return static_cast<unsigned long long>(static_cast<long long>(a.d));
    }
    case FormatArg::Kind::String:
      return reinterpret_cast<std::uintptr_t>(a.s);
    case FormatArg::Kind::Pointer:
      return reinterpret_cast<std::uintptr_t>(a.p);
  }
  return 0;
}

double AsDouble(const FormatArg& a) {
  switch (a.kind) {
    case FormatArg::Kind::Signed:
      return static_cast<double>(a.i);
    case FormatArg::Kind::Unsigned:
      return static_cast<double>(a.u);
    case FormatArg::Kind::Float:
      return a.d;
    default:
      return 0.0;
  }
}

struct Conversion {
  std::string flags;
  int width = -1;
  int precision = -1;
  int bits = 0;  // 0 = no size modifier (or "l"): 32 bits, unless the argument itself is wider
  bool explicitBits = false;
};

std::string BuildPattern(const Conversion& s, const char* length, char conv) {
  std::string pattern(1, '%');
  pattern += s.flags;
  if (s.width >= 0) pattern += std::to_string(s.width);
  if (s.precision >= 0) {
    pattern += '.';
    pattern += std::to_string(s.precision);
  }
  pattern += length;
  pattern += conv;
  return pattern;
}

void FormatInteger(std::string& out, const Conversion& s, char conv, const FormatArg& a) {
  int bits = s.bits;
  if (!s.explicitBits) bits = (a.kind != FormatArg::Kind::Float && a.bytes > 4) ? 64 : 32;
  unsigned long long raw = RawBits(a);
  if (bits < 64) raw &= (1ULL << bits) - 1;
  const std::string pattern = BuildPattern(s, "ll", conv);
  if (conv == 'd' || conv == 'i') {
    long long v = static_cast<long long>(raw);
    if (bits < 64 && (raw >> (bits - 1)) & 1) v = static_cast<long long>(raw | ~((1ULL << bits) - 1));
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    AppendPrintf(out, pattern.c_str(), v);
  } else {
    AppendPrintf(out, pattern.c_str(), raw);
  }
#pragma GCC diagnostic pop
}

std::string Run(std::string_view fmt, ArgSource& src) {
  CLocaleScope cLocale;
  std::string out;
  out.reserve(fmt.size() + 16);
  std::size_t i = 0;
  const std::size_t n = fmt.size();
  while (i < n) {
    const char c = fmt[i];
    if (c != '%') {
      const std::size_t next = fmt.find('%', i);
      const std::size_t end = next == std::string_view::npos ? n : next;
      out.append(fmt.substr(i, end - i));
      i = end;
      continue;
    }
    const std::size_t start = i++;
    if (i < n && fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    Conversion s;
    while (i < n && (fmt[i] == '-' || fmt[i] == '+' || fmt[i] == ' ' || fmt[i] == '#' || fmt[i] == '0')) {
      if (s.flags.find(fmt[i]) == std::string::npos) s.flags += fmt[i];
      ++i;
    }
    auto readNumber = [&](int& value) {
      long long v = 0;
      while (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
        v = v * 10 + (fmt[i] - '0');
        if (v > 100000) v = 100000;  // a width beyond this is a fault in the format, not a wish
        ++i;
      }
      value = static_cast<int>(v);
    };
    if (i < n && fmt[i] == '*') {
      ++i;
      FormatArg a;
      if (src.Next(ArgSource::Want::Int, 32, a)) {
        long long w = static_cast<int>(RawBits(a));
        if (w < 0) {
          if (s.flags.find('-') == std::string::npos) s.flags += '-';
          w = -w;
        }
        s.width = static_cast<int>(w > 100000 ? 100000 : w);
      }
    } else if (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
      readNumber(s.width);
    }
    if (i < n && fmt[i] == '.') {
      ++i;
      s.precision = 0;
      if (i < n && fmt[i] == '*') {
        ++i;
        FormatArg a;
        if (src.Next(ArgSource::Want::Int, 32, a)) {
          const int p = static_cast<int>(RawBits(a));
          s.precision = p < 0 ? -1 : (p > 100000 ? 100000 : p);
        }
      } else {
        readNumber(s.precision);
      }
    }
    // Size modifiers.
    bool wide = false;
    while (i < n) {
      const char m = fmt[i];
      if (m == 'h') {
        s.bits = (s.explicitBits && s.bits == 16) ? 8 : 16;
        s.explicitBits = true;
        ++i;
      } else if (m == 'l') {
        if (i + 1 < n && fmt[i + 1] == 'l') {
          s.bits = 64;
          s.explicitBits = true;
          i += 2;
        } else {
          wide = true;  // "%ls"; for integers the classic long is 32 bits
          ++i;
        }
      } else if (m == 'L' || m == 'q' || m == 'j') {
        s.bits = 64;
        s.explicitBits = true;
        ++i;
      } else if (m == 'z' || m == 't') {
        s.bits = 64;
        s.explicitBits = true;
        ++i;
      } else if (m == 'w') {
        wide = true;
        ++i;
      } else if (m == 'I') {
        if (fmt.substr(i, 3) == "I64") {
          s.bits = 64;
          i += 3;
        } else if (fmt.substr(i, 3) == "I32") {
          s.bits = 32;
          i += 3;
        } else {
          s.bits = 64;
          ++i;
        }
        s.explicitBits = true;
      } else {
        break;
      }
    }
    (void)wide;  // wide strings are not used: "%ls"/"%S" take 8-bit text like "%s"
    if (i >= n) {
      out.append(fmt.substr(start));
      break;
    }
    const char conv = fmt[i++];
    FormatArg a;
    switch (conv) {
      case 'd':
      case 'i':
      case 'u':
      case 'o':
      case 'x':
      case 'X':
        if (src.Next(ArgSource::Want::Int, s.bits, a)) FormatInteger(out, s, conv, a);
        break;
      case 'c':
      case 'C':
        if (src.Next(ArgSource::Want::Int, 32, a)) {
          const std::string pattern = BuildPattern(s, "", 'c');
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
          AppendPrintf(out, pattern.c_str(), static_cast<int>(static_cast<unsigned char>(RawBits(a))));
#pragma GCC diagnostic pop
        }
        break;
      case 's':
      case 'S':
        if (src.Next(ArgSource::Want::String, 64, a)) {
          const char* text = nullptr;
          std::string number;
          if (a.kind == FormatArg::Kind::String) {
            text = a.s ? a.s : "(null)";
          } else if (a.kind == FormatArg::Kind::Pointer && a.p == nullptr) {
            text = "(null)";
          } else {
            // Not text: show the value rather than read memory that is not a string.
            Conversion plain;
            if (a.kind == FormatArg::Kind::Float) {
              AppendPrintf(number, "%g", a.d);
            } else {
              FormatInteger(number, plain, a.kind == FormatArg::Kind::Signed ? 'd' : 'u', a);
            }
            text = number.c_str();
          }
          const std::string pattern = BuildPattern(s, "", 's');
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
          AppendPrintf(out, pattern.c_str(), text);
#pragma GCC diagnostic pop
        }
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (src.Next(ArgSource::Want::Float, 64, a)) {
          const std::string pattern = BuildPattern(s, "", conv);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
          AppendPrintf(out, pattern.c_str(), AsDouble(a));
#pragma GCC diagnostic pop
        }
        break;
      case 'p':
        // The classic form: the address in upper-case hex, zero-padded to the pointer's width.
        if (src.Next(ArgSource::Want::Pointer, 64, a)) {
          std::string digits;
          AppendPrintf(digits, "%016llX", RawBits(a));
          Conversion ps = s;
          ps.precision = -1;
          const std::string pattern = BuildPattern(ps, "", 's');
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
          AppendPrintf(out, pattern.c_str(), digits.c_str());
#pragma GCC diagnostic pop
        }
        break;
      case 'n':
        // Never written through: a format must not be able to store into memory.
        src.Next(ArgSource::Want::Pointer, 64, a);
        break;
      default:
        out.append(fmt.substr(start, i - start));
        break;
    }
  }
  return out;
}

}  // namespace

CLocaleScope::CLocaleScope() : previous_(uselocale(CLocale())) {}
CLocaleScope::~CLocaleScope() { uselocale(static_cast<locale_t>(previous_)); }

std::string FormatArgs(std::string_view format, std::span<const FormatArg> args) {
  SpanSource src(args);
  return Run(format, src);
}

std::string FormatVa(const char* format, va_list args) {
  if (!format) return {};
  VaSource src(args);
  return Run(format, src);
}

}  // namespace plat

int _vsnprintf(char* buffer, std::size_t count, const char* format, va_list args) {
  const std::string text = plat::FormatVa(format, args);
  if (!buffer || count == 0) return text.empty() && buffer ? 0 : -1;
  if (text.size() < count) {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<int>(text.size());
  }
  std::memcpy(buffer, text.data(), count - 1);
  buffer[count - 1] = '\0';
  return -1;
}

int _snprintf(char* buffer, std::size_t count, const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  const int n = _vsnprintf(buffer, count, format, ap);
  va_end(ap);
  return n;
}
