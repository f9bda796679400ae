#include "shared/Misc_Number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

TEST(Misc_Number, ReadsLikeStrtodInAnyLocale) {
  // A process locale with a decimal comma must not change what the settings file means.
  const char* old = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_DOUBLE_EQ(ParseDouble("0.001000"), 0.001);
  if (old)
    std::setlocale(LC_NUMERIC, "C");
  EXPECT_DOUBLE_EQ(ParseDouble("  3e+08"), 3e8);
  EXPECT_DOUBLE_EQ(ParseDouble("+5"), 5.0);
  EXPECT_DOUBLE_EQ(ParseDouble("-1.5e-3"), -1.5e-3);
  const char* end = nullptr;
  const char* text = "12abc";
  EXPECT_DOUBLE_EQ(ParseDouble(text, &end), 12.0);
  EXPECT_EQ(end, text + 2);
  EXPECT_DOUBLE_EQ(ParseDouble("abc", &end), 0.0);
  EXPECT_DOUBLE_EQ(ParseDouble(""), 0.0);
  EXPECT_DOUBLE_EQ(ParseDouble(nullptr), 0.0);
  EXPECT_TRUE(std::isnan(ParseDouble("nan")));
  EXPECT_TRUE(std::isinf(ParseDouble("-inf")));
  EXPECT_TRUE(std::isinf(ParseDouble("1e999")));
  EXPECT_DOUBLE_EQ(ParseDouble("1e-999"), 0.0);
}

}  // namespace
