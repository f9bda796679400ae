#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "grid/core/CGXEllipseUserAttribute.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/CGXUserAttributeMap.h"
#include "grid/core/gxarchive.h"
#include "grid/core/tests/gxtest.h"

namespace {

using gxtest::B;

class UserAttributes : public ::testing::Test {
 protected:
  void SetUp() override { gxtest::InstallAll(); }
};

TEST_F(UserAttributes, KindFollowsTheText) {
  EXPECT_EQ(CGXUserAttribute("").GetKind(), CGXUserAttribute::empty);
  EXPECT_EQ(CGXUserAttribute("123456789").GetKind(), CGXUserAttribute::number);
  EXPECT_EQ(CGXUserAttribute("0.5").GetKind(), CGXUserAttribute::number);
  EXPECT_EQ(CGXUserAttribute("012").GetKind(), CGXUserAttribute::shortText);
  EXPECT_EQ(CGXUserAttribute("1e3").GetKind(), CGXUserAttribute::shortText);
  EXPECT_EQ(CGXUserAttribute(" 12").GetKind(), CGXUserAttribute::shortText);
  EXPECT_EQ(CGXUserAttribute("abcdefgh").GetKind(), CGXUserAttribute::shortText);
  CGXUserAttribute longText("abcdefghi");
  EXPECT_EQ(longText.GetKind(), CGXUserAttribute::longText);
  std::unique_ptr<CGXAbstractUserAttribute> copy(longText.Clone());
  longText.SetValue("changed");
  EXPECT_EQ(copy->GetValue(), "abcdefghi");
  // A short text keeps exactly its characters, also at the full eight.
  EXPECT_EQ(CGXUserAttribute("abcdefgh").GetValue(), "abcdefgh");
}

TEST_F(UserAttributes, NumbersReadBackInEveryForm) {
  CGXUserAttribute a;
  a.SetDWordValue(4294967295u);
  EXPECT_DOUBLE_EQ(a.GetDoubleValue(), 4294967295.0);
  EXPECT_EQ(a.GetValue(), "4294967295");
  a.SetLongValue(-5);
  EXPECT_EQ(a.GetValue(), "-5");
  a.SetInt64Value(0x0000000100000002ull);
  EXPECT_EQ(a.GetValue(), "0000000200000001");  // low word first
  EXPECT_EQ(CGXUserAttribute("12abc").GetLongValue(), 12);
}

TEST_F(UserAttributes, DoublesAreSaturated) {
  CGXUserAttribute a;
  a.SetDoubleValue(1e12);
  EXPECT_EQ(a.GetLongValue(), std::numeric_limits<LONG>::max());
  EXPECT_EQ(a.GetDWordValue(), std::numeric_limits<DWORD>::max());
  a.SetDoubleValue(-1e12);
  EXPECT_EQ(a.GetLongValue(), std::numeric_limits<LONG>::min());
  a.SetDoubleValue(std::nan(""));
  EXPECT_EQ(a.GetLongValue(), 0);
  a.SetDoubleValue(-3.9);
  EXPECT_EQ(a.GetLongValue(), -3);
  EXPECT_EQ(a.GetDWordValue(), static_cast<DWORD>(-3));
}

TEST_F(UserAttributes, EqualityComparesTwoTexts) {
  CGXUserAttribute a("left text"), b("right text"), c("left text");
  EXPECT_FALSE(a.IsEqual(b));  // two different texts, even read one after the other
  EXPECT_TRUE(a.IsEqual(c));
  CGXAbstractUserAttribute base;
  EXPECT_TRUE(base.IsEmpty());
  CGXEllipseUserAttribute e1(2), e2(2), e3(1);
  e2.SetId(9);
  EXPECT_TRUE(e1.IsEqual(e2));  // the id does not count for ellipses
  EXPECT_FALSE(e1.IsEqual(e3));
  EXPECT_FALSE(e1.IsEqual(a));
}

CGXUserAttributeMap MapOf(std::initializer_list<std::pair<WORD, const char*>> items) {
  CGXUserAttributeMap m;
  for (auto& [id, text] : items) m.SetAttribute(id, new CGXUserAttribute(text));
  return m;
}

std::string Dump(const CGXUserAttributeMap& m) {
  std::string s;
  for (INT_PTR i = 0; i < m.GetSize(); ++i)
    s += std::to_string(m.GetAt(i)->GetId()) + "=" + std::string(m.GetAt(i)->GetValue().GetString()) + " ";
  return s;
}

TEST_F(UserAttributes, MapMergeModes) {
  const auto other = MapOf({{1, "a"}, {3, "c"}});
  auto apply = MapOf({{2, "x"}, {3, "y"}});
  apply.MergeAttributes(other, 1);
  EXPECT_EQ(Dump(apply), "1=a 2=x 3=y ");
  auto over = MapOf({{2, "x"}, {3, "y"}});
  over.MergeAttributes(other, 0);
  EXPECT_EQ(Dump(over), "1=a 2=x 3=c ");
  auto ex = MapOf({{2, "x"}, {3, "y"}});
  ex.MergeAttributes(other, 3);
  EXPECT_EQ(Dump(ex), "2=x ");
  auto copy = MapOf({{2, "x"}});
  copy.MergeAttributes(other, 2);
  EXPECT_EQ(Dump(copy), "1=a 3=c ");
}

TEST_F(UserAttributes, MapKeepsOneSortedEntryPerId) {
  CGXUserAttributeMap m = MapOf({{7, "g"}, {2, "b"}, {5, "e"}});
  EXPECT_EQ(Dump(m), "2=b 5=e 7=g ");
  m.SetAttribute(5, new CGXUserAttribute("E"));
  EXPECT_EQ(Dump(m), "2=b 5=E 7=g ");
  EXPECT_EQ(m.FindAttribute(4), -1);
  m.RemoveAttribute(2);
  EXPECT_EQ(Dump(m), "5=E 7=g ");
  EXPECT_EQ(CGXUserAttributeMap().FindAttribute(1), -1);
}

TEST_F(UserAttributes, ArchiveForms) {
  CGXUserAttribute text("ab");
  auto bytes = gxtest::Store([&](CArchive& ar) { text.Serialize(ar); });
  EXPECT_EQ(bytes, B().u8(3).str("ab").b);

  CGXUserAttribute num;
  num.SetDWordValue(7);
  bytes = gxtest::Store([&](CArchive& ar) { num.Serialize(ar); });
  EXPECT_EQ(bytes, B().u8(1).u32(7).u32(0).b);

  CGXEllipseUserAttribute e(0x12345);
  bytes = gxtest::Store([&](CArchive& ar) { e.Serialize(ar); });
  EXPECT_EQ(bytes, B().u16(0x2345).b);

  CGXUserAttributeMap m = MapOf({{4, "ab"}});
  bytes = gxtest::Store([&](CArchive& ar) { m.Serialize(ar); });
  EXPECT_EQ(bytes, B().u16(1).cls("CGXUserAttribute").u8(3).str("ab").u16(4).b);

  CGXUserAttributeMap back = MapOf({{9, "stale"}});
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(Dump(back), "4=ab ");
}

TEST_F(UserAttributes, ArchiveRefusesUnknownKinds) {
  const auto bytes = B().u8(9).u32(0).u32(0).b;
  CGXUserAttribute a;
  EXPECT_EQ(gxtest::ArchiveErrorCause([&] { gxtest::Load(bytes, [&](CArchive& ar) { a.Serialize(ar); }); }),
            CArchiveException::genericException);
}

}  // namespace
