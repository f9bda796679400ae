#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <limits>
#include <random>
#include <string>

#include "platform/base/CString.h"
#include "platform/base/tests/CommaLocale.h"

namespace {

template <class... Args>
CString F(const char* fmt, const Args&... args) {
  CString s;
  s.Format(fmt, args...);
  return s;
}

CString V(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  CString s;
  s.FormatV(fmt, ap);
  va_end(ap);
  return s;
}

}  // namespace

TEST(Format, TheModulesConversions) {
  EXPECT_EQ(F("%d|%u|%lu", -5, 7u, 4000000000u), "-5|7|4000000000");
  EXPECT_EQ(F("%g|%.13g|%f|%.6f", 0.1, 1.0 / 3.0, 2.5, -0.0000004), "0.1|0.3333333333333|2.500000|-0.000000");
  EXPECT_EQ(F("%08x|%X|%c|%s", 0xBEEFu, 255, 'Q', "txt"), "0000beef|FF|Q|txt");
  EXPECT_EQ(F("%-14s|%010u|%11.3f|%%", "ab", 42u, 3.14159), "ab            |0000000042|      3.142|%");
  EXPECT_EQ(F("%.*f|%*d", 2, 1.005, -4, 7), "1.00|7   ");
  EXPECT_EQ(F("%e|%.3g|%.15g", 12345.678, 0.00012345, 0.1), "1.234568e+04|0.000123|0.1");
}

TEST(Format, ArgumentWidthsFollowTheClassicModel) {
  // A 32-bit value read as signed prints negative; a negative int in hex keeps 32 bits.
  EXPECT_EQ(F("%d", 0xFFFFFFFFu), "-1");
  EXPECT_EQ(F("%x", -1), "ffffffff");
  EXPECT_EQ(F("%u", -1), "4294967295");
  EXPECT_EQ(F("%hd", 70000), "4464");
  EXPECT_EQ(F("%I64d|%lld", -5000000000LL, 5000000000LL), "-5000000000|5000000000");
  // A 64-bit argument under a 32-bit conversion is not cut.
  EXPECT_EQ(F("%d", 5000000000LL), "5000000000");
  // va_list path: "l" is 32 bits as on the classic platform.
  EXPECT_EQ(V("%lu|%ld|%I64u|%s", 4000000000u, -3, 12345678901ULL, "z"), "4000000000|-3|12345678901|z");
}

TEST(Format, CStringAndOddArguments) {
  const CString name("grid");
  EXPECT_EQ(F("[%s:%5s]", name, CString("x")), "[grid:    x]");
  EXPECT_EQ(F("%s", static_cast<const char*>(nullptr)), "(null)");
  EXPECT_EQ(F("%d %d", 1), "1 ");           // a missing argument prints nothing
  EXPECT_EQ(F("%d%n|%y", 1, nullptr), "1|%y");  // %n writes nothing; unknown conversions stay as text
  EXPECT_EQ(F("%5"), "%5");
  EXPECT_EQ(F("%d|%f", 2.9, 3), "2|3.000000");  // mismatched kinds convert the value
  EXPECT_EQ(F("%p", reinterpret_cast<void*>(0x1234)), "0000000000001234");
}

TEST(Format, NonFiniteAndLongOutput) {
  EXPECT_EQ(F("%f|%g", std::numeric_limits<double>::infinity(), std::nan("")), "inf|nan");
  const CString big(F("%s%s", CString('a', 3000), CString('b', 3000)));
  EXPECT_EQ(big.GetLength(), 6000);
  EXPECT_EQ(F("%.2s", "abc"), "ab");
}

TEST(Format, NumbersIgnoreTheProcessLocale) {
  // Whatever locale a host process sets, numbers keep the '.' decimal point.
  CString typed, listed;
  {
    ScopedCommaLocale comma;
    ASSERT_TRUE(comma.Active()) << ScopedCommaLocale::Missing();
    typed = F("%.2f", 1.5);
    listed = V("%.2f", 1.5);
  }
  EXPECT_EQ(typed, "1.50");
  EXPECT_EQ(listed, "1.50");
}

TEST(Format, AgreesWithTheCLibraryOnPortableConversions) {
  // Random flags, widths and precisions on conversions whose meaning is the same everywhere.
  std::mt19937 rng(7);
  const char* flagSets[] = {"", "-", "+", " ", "#", "0", "-+", "+0", "- ", "#0"};
  const char convs[] = {'d', 'i', 'u', 'x', 'X', 'o', 'f', 'e', 'E', 'g', 'G', 's', 'c'};
  for (int i = 0; i < 3000; ++i) {
    const char conv = convs[rng() % sizeof convs];
    std::string fmt = "<%";
    fmt += flagSets[rng() % 10];
    if (rng() % 2) fmt += std::to_string(rng() % 20);
    if (rng() % 2) fmt += "." + std::to_string(rng() % 12);
    fmt += conv;
    fmt += ">";
    char expected[256];
    CString got;
    const int n = static_cast<int>(rng() % 2000001) - 1000000;
    const double d = (static_cast<double>(rng()) / 1000.0 - 2e6) * ((rng() % 3 == 0) ? 1e-7 : 1.0);
    const char* texts[] = {"", "a", "grid cell", "\xE9t\xE9"};
    const char* s = texts[rng() % 4];
    switch (conv) {
      case 'd':
      case 'i':
        std::snprintf(expected, sizeof expected, fmt.c_str(), n);
        got.Format(fmt.c_str(), n);
        break;
      case 'u':
      case 'x':
      case 'X':
      case 'o':
        std::snprintf(expected, sizeof expected, fmt.c_str(), static_cast<unsigned>(n));
        got.Format(fmt.c_str(), static_cast<unsigned>(n));
        break;
      case 's':
        std::snprintf(expected, sizeof expected, fmt.c_str(), s);
        got.Format(fmt.c_str(), s);
        break;
      case 'c':
        std::snprintf(expected, sizeof expected, fmt.c_str(), 'q');
        got.Format(fmt.c_str(), 'q');
        break;
      default:
        std::snprintf(expected, sizeof expected, fmt.c_str(), d);
        got.Format(fmt.c_str(), d);
        break;
    }
    ASSERT_EQ(got, expected) << fmt;
  }
}
