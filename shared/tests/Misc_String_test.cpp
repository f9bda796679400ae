#include "shared/Misc_String.h"

#include <cstring>

#include "shared/tests/BoxTest.h"

namespace {

using shared_test::ProcessEnded;
using Misc_String = shared_test::BoxTest;

TEST_F(Misc_String, CopyStaysInsideItsBound) {
  char out[8];
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(CopyStringN(out, "capacitor", 5), 5);
  EXPECT_STREQ(out, "capac");
  EXPECT_EQ(out[6], '#');
  EXPECT_EQ(CopyStringN(out, "C1", 5), 2);
  EXPECT_STREQ(out, "C1");
  EXPECT_EQ(CopyStringN(out, "C1", 0), 0);
  EXPECT_STREQ(out, "");
}

TEST_F(Misc_String, AppendFillsUpToTheBound) {
  char out[8] = "ab";
  out[7] = '#';
  EXPECT_EQ(AppendStringN(out, "cdefgh", 6), 6);
  EXPECT_STREQ(out, "abcdef");
  EXPECT_EQ(out[7], '#');
  EXPECT_EQ(AppendStringN(out, "x", 6), 6);  // already full
  EXPECT_STREQ(out, "abcdef");
  EXPECT_EQ(AppendStringN(out, "x", 4), 6);  // holds more than the bound: left as it is
  EXPECT_STREQ(out, "abcdef");
  char shorter[8] = "a";
  EXPECT_EQ(AppendStringN(shorter, "bc", 6), 3);
  EXPECT_STREQ(shorter, "abc");
}

TEST_F(Misc_String, NullArgumentsAreFatal) {
  char out[4] = "";
  EXPECT_THROW(CopyStringN(out, nullptr, 3), ProcessEnded);
  EXPECT_THROW(CopyStringN(nullptr, "a", 3), ProcessEnded);
  EXPECT_THROW(AppendStringN(out, nullptr, 3), ProcessEnded);
  EXPECT_THROW(AppendStringN(nullptr, "a", 3), ProcessEnded);
  ASSERT_EQ(Boxes().size(), 4u);
  EXPECT_EQ(Boxes()[0].caption, "FATAL ERROR");
  EXPECT_NE(Boxes()[0].text.find("Misc_String.cpp"), std::string::npos);
}

}  // namespace
