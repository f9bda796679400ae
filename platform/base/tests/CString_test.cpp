#include "platform/base/CString.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/CException.h"

TEST(CString, ConstructionAndConcatenation) {
  const CString a("abc");
  EXPECT_EQ(CString('x', 3), "xxx");
  EXPECT_EQ(CString("abcdef", 2), "ab");
  EXPECT_EQ(CString(static_cast<const char*>(nullptr)), "");
  EXPECT_EQ(a + "d" + 'e' + CString("f"), "abcdef");
  EXPECT_EQ("<" + a + '>', "<abc>");
  CString s = a;
  s += s;  // appending to itself
  EXPECT_EQ(s, "abcabc");
  s = s.GetString() + 3;  // assigning from its own buffer
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(s.GetLength(), 3);
}

TEST(CString, ExtractionClampsArguments) {
  const CString s("Hello, world");
  EXPECT_EQ(s.Left(5), "Hello");
  EXPECT_EQ(s.Left(-3), "");
  EXPECT_EQ(s.Left(100), s);
  EXPECT_EQ(s.Right(5), "world");
  EXPECT_EQ(s.Right(100), s);
  EXPECT_EQ(s.Mid(7), "world");
  EXPECT_EQ(s.Mid(7, 2), "wo");
  EXPECT_EQ(s.Mid(-2, 3), "Hel");
  EXPECT_EQ(s.Mid(50), "");
  EXPECT_EQ(s.Mid(3, -1), "");
  EXPECT_EQ(s.SpanIncluding("Hel"), "Hell");
  EXPECT_EQ(s.SpanExcluding(",;"), "Hello");
}

TEST(CString, Searching) {
  const CString s("a.b.c");
  EXPECT_EQ(s.Find('.'), 1);
  EXPECT_EQ(s.Find('.', 2), 3);
  EXPECT_EQ(s.Find('.', 4), -1);
  EXPECT_EQ(s.Find('.', 99), -1);
  EXPECT_EQ(s.Find("b.c"), 2);
  EXPECT_EQ(s.Find("b.c", 3), -1);
  EXPECT_EQ(s.Find(""), 0);
  EXPECT_EQ(s.ReverseFind('.'), 3);
  EXPECT_EQ(s.ReverseFind('x'), -1);
  EXPECT_EQ(s.FindOneOf("xc"), 4);
  EXPECT_EQ(s.FindOneOf(""), -1);
}

TEST(CString, EditingReturnsCountsAndLengths) {
  CString s("one two two");
  EXPECT_EQ(s.Replace("two", "2"), 2);
  EXPECT_EQ(s, "one 2 2");
  EXPECT_EQ(s.Replace("", "x"), 0);
  EXPECT_EQ(s.Replace(' ', '_'), 2);
  EXPECT_EQ(s.Remove('_'), 2);
  EXPECT_EQ(s, "one22");
  EXPECT_EQ(s.Insert(3, '-'), 6);
  EXPECT_EQ(s.Insert(99, "!"), 7);
  EXPECT_EQ(s, "one-22!");
  EXPECT_EQ(s.Delete(3, 100), 3);
  EXPECT_EQ(s.Delete(-5), 2);
  EXPECT_EQ(s, "ne");
  CString g("aaa");
  EXPECT_EQ(g.Replace("a", "aa"), 3);  // replacement text is not searched again
  EXPECT_EQ(g, "aaaaaa");
}

TEST(CString, Trimming) {
  CString s(" \t x y \r\n");
  EXPECT_EQ(s.Trim(), "x y");
  CString q("\"quoted\"");
  EXPECT_EQ(q.Trim('"'), "quoted");
  CString set("xxyabcyx");
  EXPECT_EQ(set.TrimLeft("xy"), "abcyx");
  EXPECT_EQ(set.TrimRight("xy"), "abc");
  CString blank("   ");
  EXPECT_EQ(blank.TrimRight(), "");
}

TEST(CString, CaseByCodePageTables) {
  CString s("abc\xE9\xFF\x9A\xDF\xF7");
  s.MakeUpper();
  EXPECT_EQ(s, "ABC\xC9\x9F\x8A\xDF\xF7");  // sharp s and division sign have no upper case
  s.MakeLower();
  EXPECT_EQ(s, "abc\xE9\xFF\x9A\xDF\xF7");
}

TEST(CString, ComparisonOrders) {
  // Unsigned byte order: 0xE9 sorts after 'z'.
  EXPECT_LT(CString("z").Compare("\xE9"), 0);
  EXPECT_GT(CString("abc").Compare("ab"), 0);
  EXPECT_EQ(CString("ABC").Compare("ABC"), 0);
  EXPECT_TRUE(CString("a") < CString("b"));
  EXPECT_EQ(CString("Stra\xC9").CompareNoCase("STRA\xE9"), 0);
  // Folding goes to lower case: '_' (0x5F) sorts before 'a' (0x61) even against upper-case "A".
  EXPECT_LT(CString("_").CompareNoCase("A"), 0);
  EXPECT_LT(CString("abc").Collate("ABC"), 0);
  EXPECT_LT(CString("ABC").Collate("abd"), 0);
  EXPECT_TRUE(CString("x") == "x");
  EXPECT_TRUE("x" == CString("x"));
  EXPECT_TRUE(CString("x") != "y");
}

TEST(CString, IndexChecksThrowInvalidArgument) {
  CString s("ab");
  EXPECT_EQ(s.GetAt(2), '\0');
  EXPECT_EQ(s[1], 'b');
  auto expectThrow = [](auto&& f) {
    try {
      f();
      ADD_FAILURE() << "no exception";
    } catch (CInvalidArgException* e) {
      e->Delete();
    }
  };
  expectThrow([&] { (void)s.GetAt(3); });
  expectThrow([&] { (void)s.GetAt(-1); });
  expectThrow([&] { s.SetAt(2, 'x'); });
  s.SetAt(0, 'x');
  EXPECT_EQ(s, "xb");
}

TEST(CString, BufferProtocol) {
  CString s("keep");
  char* p = s.GetBuffer(11);
  EXPECT_STREQ(p, "keep");
  std::strcpy(p, "longer text");  // 11 characters and the NUL
  s.ReleaseBuffer(10);
  EXPECT_EQ(s, "longer tex");
  p = s.GetBuffer(20);
  p[3] = '\0';
  s.ReleaseBuffer();
  EXPECT_EQ(s, "lon");
  EXPECT_EQ(s.GetLength(), 3);
  p = s.GetBufferSetLength(2);
  p[0] = 'o';
  s.ReleaseBuffer(2);
  EXPECT_EQ(s, "oo");
}

TEST(CString, Tokenize) {
  const CString s(";a;;bc;");
  int pos = 0;
  EXPECT_EQ(s.Tokenize(";", pos), "a");
  EXPECT_EQ(s.Tokenize(";", pos), "bc");
  EXPECT_EQ(s.Tokenize(";", pos), "");
  EXPECT_EQ(pos, -1);
}

TEST(CString, FormatStrings) {
  CString out;
  const char* texts[] = {"first", "second"};
  AfxFormatStrings(out, "%2 before %1, 100%, %3", texts, 2);
  EXPECT_EQ(out, "second before first, 100%, ");
}
