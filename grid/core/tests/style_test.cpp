#include <gtest/gtest.h>

#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/tests/gxtest.h"

namespace {

class Style : public ::testing::Test {
 protected:
  void SetUp() override { gxtest::InstallAll(); }
};

TEST_F(Style, AlignmentSettersNormaliseAndInclude) {
  CGXStyle s;
  s.SetHorizontalAlignment(7);
  EXPECT_TRUE(s.IsIncluded(GX_IN_HORZALIGN));
  EXPECT_EQ(s.GetHorizontalAlignment(), GX_DT_LEFT);
  s.SetHorizontalAlignment(2);
  EXPECT_EQ(s.GetHorizontalAlignment(), GX_DT_RIGHT);
  s.SetVerticalAlignment(3);
  EXPECT_EQ(s.GetVerticalAlignment(), GX_DT_TOP);
  s.SetVerticalAlignment(GX_DT_BOTTOM);
  EXPECT_EQ(s.GetVerticalAlignment(), GX_DT_BOTTOM);
}

TEST_F(Style, SystemTextColourReadsBackTagged) {
  CGXStyle s;
  s.SetTextColor(0xF9000000);
  EXPECT_EQ(s.GetTextPackedColor(), (gx::PackedColor{gx::kindSystem, 5}));
  EXPECT_EQ(s.GetTextColorWithIndex(), 0xF9000000u | CGXSysColorTable::GetColor(5));
  EXPECT_EQ(s.GetTextColor(), CGXSysColorTable::GetColor(5));
}

TEST_F(Style, IncludeMaskRoundTrips) {
  CGXStyle s;
  s.SetDefault();
  const DWORD mask = s.GetIncludeMask();
  s.SetIncludeMask(mask);
  EXPECT_EQ(s.GetIncludeMask(), mask);
  EXPECT_EQ(mask & (GX_IN_BORDERS | GX_IN_BASESTYLE | GX_IN_USERATTR), 0u);
  EXPECT_EQ(mask | GX_IN_BORDERS | GX_IN_BASESTYLE | GX_IN_USERATTR, static_cast<DWORD>(GX_IN_ALL));
  CGXStyle f;
  f.SetIncludeMask(1u << 21);
  EXPECT_TRUE(f.IsIncluded(GX_IN_FLOATCELL));
  f.SetIncludeMask(0xFFFFFFFF);
  EXPECT_EQ(f.GetIncludeMask(), static_cast<DWORD>(GX_IN_ALL));
}

TEST_F(Style, MergeModes) {
  CGXStyle target;
  target.SetValue("mine").SetReadOnly(TRUE);
  CGXStyle other;
  other.SetValue("theirs").SetEnabled(FALSE).SetControl(52513);

  CGXStyle applied(target);
  applied.MergeStyle(other, gxApplyNew);
  EXPECT_EQ(applied.GetValue(), "mine");
  EXPECT_EQ(applied.GetControl(), 52513);
  EXPECT_FALSE(applied.GetEnabled());

  CGXStyle overridden(target);
  overridden.MergeStyle(other, gxOverride);
  EXPECT_EQ(overridden.GetValue(), "theirs");
  EXPECT_TRUE(overridden.GetReadOnly());

  CGXStyle copied(target);
  copied.MergeStyle(other, gxCopy);
  EXPECT_FALSE(copied.IsIncluded(GX_IN_READONLY));

  // Excluding the value clears its text and flag, and nothing else.
  CGXStyle onlyValue;
  onlyValue.SetValue("x");
  CGXStyle excluded(applied);
  excluded.MergeStyle(onlyValue, gxExclude);
  EXPECT_FALSE(excluded.GetIncludeValue());
  EXPECT_TRUE(excluded.GetValue().IsEmpty());
  EXPECT_EQ(excluded.GetIncludeMask(), applied.GetIncludeMask() & ~static_cast<DWORD>(GX_IN_VALUE));

  // Excluding from an empty style leaves it empty.
  CGXStyle empty;
  empty.MergeStyle(other, gxExclude);
  EXPECT_TRUE(empty.IsEmpty());
}

TEST_F(Style, MergeBordersFontAndUserAttributesPieceByPiece) {
  CGXStyle target;
  target.SetBorder(GX_BORDER_TOP, CGXBorderPen(0, 1, 0x0000FF));
  target.SetFont(CGXFont().SetBold(TRUE));
  target.SetUserAttribute(1, "a");
  CGXStyle other;
  other.SetBorder(GX_BORDER_ALL, CGXBorderPen(0, 2, 0x00FF00));
  other.SetFont(CGXFont().SetWeight(400).SetItalic(TRUE));
  other.SetUserAttribute(1, "b").SetUserAttribute(2, "c");

  CGXStyle applied(target);
  applied.MergeStyle(other, gxApplyNew);
  EXPECT_EQ(applied.GetBorder(GX_BORDER_TOP).GetWidth(), 1u);
  EXPECT_EQ(applied.GetBorder(GX_BORDER_LEFT).GetWidth(), 2u);
  EXPECT_EQ(applied.GetFont().GetWeight(), 700);
  EXPECT_TRUE(applied.GetFont().GetItalic());
  EXPECT_EQ(applied.GetUserAttributeText(1), "a");
  EXPECT_EQ(applied.GetUserAttributeText(2), "c");

  // Excluding the other's pens leaves none: the borders are no longer included.
  CGXStyle excluded(applied);
  excluded.MergeStyle(other, gxExclude);
  EXPECT_FALSE(excluded.HasBorder(GX_BORDER_TOP));
  EXPECT_FALSE(excluded.IsIncluded(GX_IN_BORDERS));
  EXPECT_FALSE(excluded.HasUserAttribute(1));
  EXPECT_FALSE(excluded.IsIncluded(GX_IN_USERATTR));
}

TEST_F(Style, CopiesAreDeep) {
  CGXStyle a;
  a.SetUserAttribute(3, "abcdefghijk").SetFont(CGXFont().SetPointSize(9)).SetBorder(GX_BORDER_ALL, CGXBorderPen(0, 1, 0));
  std::unique_ptr<CGXStyle> b(a.Clone());
  a.SetUserAttribute(3, "changed").SetFont(CGXFont().SetPointSize(20), gxCopy).SetBorders(nullptr);
  EXPECT_EQ(b->GetUserAttributeText(3), "abcdefghijk");
  EXPECT_DOUBLE_EQ(b->GetFont().GetSize(), 9);
  EXPECT_TRUE(b->HasBorder(GX_BORDER_RIGHT));
  a = a;  // self-assignment keeps everything
  EXPECT_EQ(a.GetUserAttributeText(3), "changed");
}

// Choice lists, item data and user attributes are kept apart from the rest of a style: they travel with
// copies, merges and excludes as every other attribute, and Free drops them.
TEST_F(Style, ChoiceListsItemDataAndUserAttributesFollowCopiesMergesAndFree) {
  CGXStyle a;
  a.SetChoiceList("one\ntwo").SetItemDataPtr(0x5678).SetUserAttribute(4, "kept");
  CGXStyle copy(a);
  EXPECT_EQ(copy.GetChoiceList(), "one\ntwo");
  EXPECT_EQ(copy.GetItemDataPtr(), 0x5678u);
  EXPECT_EQ(copy.GetUserAttributeText(4), "kept");

  CGXStyle target;
  target.SetValue("v");
  target.MergeStyle(a, gxApplyNew);
  EXPECT_EQ(target.GetChoiceList(), "one\ntwo");
  EXPECT_EQ(target.GetItemDataPtr(), 0x5678u);
  EXPECT_EQ(target.GetUserAttributeText(4), "kept");
  CGXStyle other;
  other.SetChoiceList("three").SetItemDataPtr(9);
  target.MergeStyle(other, gxApplyNew);  // included already: kept
  EXPECT_EQ(target.GetChoiceList(), "one\ntwo");
  target.MergeStyle(other, gxOverride);
  EXPECT_EQ(target.GetChoiceList(), "three");
  EXPECT_EQ(target.GetItemDataPtr(), 9u);
  target.MergeStyle(a, gxExclude);
  EXPECT_FALSE(target.IsIncluded(GX_IN_CHOICELIST) || target.IsIncluded(GX_IN_ITEMDATA));
  EXPECT_FALSE(target.HasUserAttribute(4));
  EXPECT_EQ(target.GetValue(), "v");

  CGXStyle plain;
  plain.SetValue("1");
  EXPECT_TRUE(plain.GetChoiceList().IsEmpty());
  EXPECT_EQ(plain.GetItemDataPtr(), 0u);
  EXPECT_EQ(plain.GetUserAttributeMap(), nullptr);
  plain = a;
  EXPECT_EQ(plain.GetChoiceList(), "one\ntwo");
  a.Free();
  EXPECT_TRUE(a.GetChoiceList().IsEmpty());
  EXPECT_EQ(a.GetItemDataPtr(), 0u);
  EXPECT_FALSE(a.HasUserAttribute(4));
  EXPECT_EQ(plain.GetUserAttributeText(4), "kept");

  // The standard style's empty choice list and zero item data merge in as included, with the same answers.
  CGXStyle standard;
  standard.SetDefault();
  CGXStyle composed;
  composed.SetValue("x");
  composed.MergeStyle(standard, gxApplyNew);
  EXPECT_TRUE(composed.IsIncluded(GX_IN_CHOICELIST) && composed.IsIncluded(GX_IN_ITEMDATA));
  EXPECT_TRUE(composed.GetChoiceList().IsEmpty());
  EXPECT_EQ(composed.GetItemDataPtr(), 0u);
  composed.MergeStyle(other, gxOverride);
  EXPECT_EQ(composed.GetChoiceList(), "three");
  EXPECT_EQ(composed.GetItemDataPtr(), 9u);
  composed.MergeStyle(standard, gxOverride);
  EXPECT_TRUE(composed.GetChoiceList().IsEmpty());
  EXPECT_EQ(composed.GetItemDataPtr(), 0u);
}

TEST_F(Style, MissingUserAttributeIsAnEmptyAttribute) {
  CGXStyle s;
  EXPECT_TRUE(s.GetUserAttribute(77).GetValue().IsEmpty());
  EXPECT_TRUE(s.GetUserAttributeText(77).IsEmpty());
}

TEST_F(Style, BaseStylesResolveThroughTheMap) {
  CGXStylesMap map;
  CGXStyle grand;
  grand.SetValue("grand").SetEnabled(FALSE);
  const WORD g = map.RegisterStyle("grand", grand);
  CGXStyle parent;
  parent.SetReadOnly(TRUE).SetBaseStyle(g);
  const WORD p = map.RegisterStyle("parent", parent);

  CGXStyle s;
  s.SetValue("own").SetBaseStyle(p);
  s.LoadBaseStyle(map);
  EXPECT_EQ(s.GetValue(), "own");
  EXPECT_TRUE(s.GetReadOnly());
  EXPECT_FALSE(s.GetEnabled());
  EXPECT_EQ(s.GetBaseStyle(), p);

  CGXStyle unknown;
  unknown.SetValue("v").SetBaseStyle(99);
  const CGXStyle before(unknown);
  unknown.LoadBaseStyle(map);
  EXPECT_EQ(unknown.GetIncludeMask(), before.GetIncludeMask());
}

TEST_F(Style, CyclicBaseStyleChainStops) {
  CGXStylesMap map;
  CGXStyle a, b;
  const WORD ida = map.RegisterStyle("a", a);
  const WORD idb = map.RegisterStyle("b", b);
  a.SetReadOnly(TRUE).SetBaseStyle(idb);
  b.SetEnabled(TRUE).SetBaseStyle(ida);
  map.RegisterStyle("a", a);
  map.RegisterStyle("b", b);
  CGXStyle s;
  s.SetBaseStyle(ida);
  s.LoadBaseStyle(map);  // must return
  EXPECT_TRUE(s.GetReadOnly());
  EXPECT_TRUE(s.GetEnabled());
}

TEST_F(Style, BaseStyleIdsKeepSixteenBits) {
  CGXStylesMap map;
  CGXStyle base;
  base.SetValue("deep");
  WORD id = 0;
  for (int i = 0; i < 300; ++i) id = map.RegisterStyle(("s" + std::to_string(i)).c_str(), base);
  EXPECT_EQ(id, 299);
  CGXStyle s;
  s.SetBaseStyle(id);
  s.LoadBaseStyle(map);
  EXPECT_EQ(s.GetValue(), "deep");
}

TEST_F(Style, SubsetComparison) {
  CGXStyle s;
  s.SetDefault();
  s.SetUserAttribute(5, "five").SetUserAttribute(7, "seven");
  EXPECT_TRUE(s.IsSubSet(CGXStyle()));
  EXPECT_TRUE(s.IsSubSet(s));

  CGXStyle other;
  other.SetValue("");
  EXPECT_TRUE(s.IsSubSet(other));
  other.SetValue("x");
  EXPECT_FALSE(s.IsSubSet(other));

  // Same text, different value type: equal in the value.
  CGXStyle n;
  n.SetValue(DWORD{12});
  CGXStyle t;
  t.SetValue("12");
  EXPECT_TRUE(n.IsSubSet(t));

  CGXStyle ua5;
  ua5.SetUserAttribute(5, "five");
  EXPECT_TRUE(s.IsSubSet(ua5));
  CGXStyle s35;
  s35.SetUserAttribute(3, "three").SetUserAttribute(5, "five");
  EXPECT_FALSE(s35.IsSubSet(ua5));  // the other's attributes must come first, position by position
  EXPECT_FALSE(ua5.IsSubSet(s35));

  CGXStyle font;
  font.SetFont(CGXFont().SetWeight(400));
  EXPECT_TRUE(s.IsSubSet(font));
  font.SetFont(CGXFont().SetWeight(700));
  EXPECT_FALSE(s.IsSubSet(font));

  CGXStyle sys;
  sys.SetTextColor(0xF6000000);
  EXPECT_TRUE(s.IsSubSet(sys));
  sys.SetTextColor(CGXSysColorTable::GetColor(8));  // the same value as a fixed colour differs
  EXPECT_FALSE(s.IsSubSet(sys));
}

TEST_F(Style, DefaultStyle) {
  CGXStyle s;
  s.SetDefault();
  EXPECT_EQ(s.GetControl(), GX_IDS_CTRL_EDIT);
  EXPECT_EQ(s.GetPlaces(), 13u);
  EXPECT_TRUE(s.GetWrapText());
  EXPECT_TRUE(s.GetFloodCell());
  EXPECT_EQ(s.GetInterior().GetFore(), (gx::PackedColor{gx::kindSystem, 5}));
  EXPECT_EQ(s.GetFont().GetFaceName(), "Arial");
}

}  // namespace
