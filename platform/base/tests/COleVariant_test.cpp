#include "platform/base/COleVariant.h"

#include <gtest/gtest.h>

TEST(Variant, ByteArraysAsTheStoredObjectsUseThem) {
  CByteArray bytes;
  for (int b : {0x00, 0x11, 0x42, 0x4D, 0x22}) bytes.Add(static_cast<BYTE>(b));
  COleVariant v(bytes);
  EXPECT_EQ(v.vt, 8209);  // VT_ARRAY | VT_UI1
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(v.parray, 1, &lower);
  SafeArrayGetUBound(v.parray, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 4);
  // A deep copy: changing one leaves the other.
  COleVariant copy(v);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(copy.parray, &data), S_OK);
  static_cast<BYTE*>(data)[0] = 0x99;
  EXPECT_EQ(SafeArrayDestroy(copy.parray), DISP_E_ARRAYISLOCKED);
  SafeArrayUnaccessData(copy.parray);
  CByteArray back;
  ASSERT_TRUE(v.GetByteArray(back));
  EXPECT_EQ(back[0], 0x00);
  EXPECT_FALSE(v == copy);
  copy = v;
  EXPECT_TRUE(copy == v);
  VARIANT raw = copy.Detach();
  EXPECT_EQ(copy.vt, VT_EMPTY);
  EXPECT_EQ(VariantClear(&raw), S_OK);
  EXPECT_EQ(raw.vt, VT_EMPTY);
}

TEST(Variant, TextsDatesAndNumbers) {
  COleVariant text("M\xE4rz \x80");
  EXPECT_EQ(text.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(text.bstrVal), 6u);
  EXPECT_EQ(text.bstrVal[5], u'\u20AC');
  EXPECT_EQ(text.GetText(), "M\xE4rz \x80");
  COleVariant date(COleDateTime(2000, 1, 1, 12, 0, 0));
  EXPECT_EQ(date.vt, VT_DATE);
  EXPECT_DOUBLE_EQ(date.date, 36526.5);
  EXPECT_TRUE(COleVariant(2.5) == COleVariant(2.5));
  EXPECT_FALSE(COleVariant(2.5) == COleVariant(static_cast<LONG>(2)));
  double d = 0;
  EXPECT_EQ(VarR8FromStr(u"1.234,5", 0x0407, 0, &d), S_OK);
  EXPECT_DOUBLE_EQ(d, 1234.5);
  EXPECT_EQ(VarR8FromStr(u"abc", 0x0409, 0, &d), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(VarR8FromStr(u"1e400", 0x0409, 0, &d), DISP_E_OVERFLOW);
}

TEST(Variant, ArraysOfStringsOwnTheirElements) {
  SAFEARRAY* a = SafeArrayCreateVector(VT_BSTR, 1, 2);
  ASSERT_NE(a, nullptr);
  BSTR s = SysAllocString(u"abc");
  LONG i = 2;
  EXPECT_EQ(SafeArrayPutElement(a, &i, s), S_OK);
  SysFreeString(s);  // the array keeps its own copy
  i = 3;
  EXPECT_EQ(SafeArrayPutElement(a, &i, nullptr), DISP_E_BADINDEX);
  i = 2;
  BSTR out = nullptr;
  EXPECT_EQ(SafeArrayGetElement(a, &i, &out), S_OK);
  EXPECT_EQ(SysStringLen(out), 3u);
  SysFreeString(out);
  EXPECT_EQ(SafeArrayCreate(VT_UI1, 2, nullptr), nullptr);  // one dimension only
  EXPECT_EQ(SafeArrayDestroy(a), S_OK);
}
