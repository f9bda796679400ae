// Byte-exact archive forms: each object is written, compared with hand-built bytes and read back.
#include <gtest/gtest.h>

#include "grid/core/CGXEllipseUserAttribute.h"
#include "grid/core/CGXFontRegistry.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "grid/core/gxarchive.h"
#include "grid/core/gxlayout.h"
#include "grid/core/tests/gxtest.h"
#include "platform/base/Collections.h"

namespace {

using gxtest::B;
using gxtest::Bytes;

class Archive : public ::testing::Test {
 protected:
  void SetUp() override { gxtest::InstallAll(); }
};

TEST_F(Archive, StyleWithOnlyAValue) {
  CGXStyle s;
  s.SetValue("Hi");
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { s.Serialize(ar); });
  EXPECT_EQ(bytes, B().u16(6).u32(0x400).str("Hi").u16(0).u16(0).u8(0).b);
  CGXStyle back;
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.GetIncludeMask(), 0x400u);
  EXPECT_EQ(back.GetValue(), "Hi");
}

TEST_F(Archive, WideStringsAsTheStoredLayoutsHoldThem) {
  // The value in the wide form: 0xFF, 0xFFFE, the length, UTF-16 units.
  const Bytes bytes = B().u16(6).u32(0x400).u8(0xFF).u16(0xFFFE).u8(2).u16('N').u16('N').u16(0).u16(0).u8(0).b;
  CGXStyle s;
  gxtest::Load(bytes, [&](CArchive& ar) { s.Serialize(ar); });
  EXPECT_EQ(s.GetValue(), "NN");
}

TEST_F(Archive, EmptyStyle) {
  CGXStyle s;
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { s.Serialize(ar); }), B().u16(6).u32(0).u16(0).u16(0).b);
}

TEST_F(Archive, StyleWithEveryAttributeRoundTrips) {
  CGXStyle s;
  s.SetDefault();
  s.SetBorder(GX_BORDER_LEFT, CGXBorderPen(2, 3, 0x00102030))
      .SetBorder(GX_BORDER_BOTTOM, CGXBorderPen(0, 1, 0xF6000000))
      .SetInteriorPattern(12)
      .SetMergeCell(5)
      .SetDraw3dFrame(2)
      .SetItemDataPtr(0x1234)
      .SetFormat(9)
      .SetPlaces(4)
      .SetMaxLength(77)
      .SetChoiceList("a\nb")
      .SetUserAttribute(51022, "tooltip text longer than eight")
      .SetUserAttribute(52792, new CGXEllipseUserAttribute(2));
  s.SetTextColor(0x00112233);
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { ar.WriteObject(&s); });
  CObject* o = nullptr;
  gxtest::Load(bytes, [&](CArchive& ar) { o = ar.ReadObject(RUNTIME_CLASS(CGXStyle)); });
  std::unique_ptr<CGXStyle> back(static_cast<CGXStyle*>(o));
  EXPECT_TRUE(back->IsSubSet(s));
  EXPECT_TRUE(s.IsSubSet(*back));
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { ar.WriteObject(back.get()); }), bytes);
}

TEST_F(Archive, SystemTextColourLoadsAsAFixedColour) {
  CGXStyle s;
  s.SetTextColor(0xF6000000).SetInteriorColor(0xF9000000);
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { s.Serialize(ar); });
  CGXStyle back;
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.GetTextPackedColor().kind, gx::kindRGB);
  EXPECT_EQ(back.GetInterior().GetFore(), (gx::PackedColor{gx::kindSystem, 5}));
}

TEST_F(Archive, OlderStyleSchemas) {
  // Schema 5 with "Format": format and places are read, and "Places" is included.
  const Bytes v5 = B().u16(5).u32(GX_IN_FORMAT).u16(0).u16(0).u8(7).u8(3).b;
  CGXStyle s;
  gxtest::Load(v5, [&](CArchive& ar) { s.Serialize(ar); });
  EXPECT_EQ(s.GetFormat(), 7u);
  EXPECT_EQ(s.GetPlaces(), 3u);
  EXPECT_TRUE(s.IsIncluded(GX_IN_PLACES));

  // Schema 3 reads neither format nor value type; its user attributes are a map of texts.
  const Bytes v3 = B().u16(3).u32(GX_IN_FORMAT | GX_IN_VALUE).str("x").u16(0)
                       .cls("CGXCollMapDWordToString").u16(2).u32(7).str("12").u32(3).str("text").b;
  CGXStyle t;
  gxtest::Load(v3, [&](CArchive& ar) {
    gx::ArchiveReadGuard guard;
    t.Serialize(ar);
  });
  EXPECT_EQ(t.GetValue(), "x");
  EXPECT_FALSE(t.IsIncluded(GX_IN_PLACES));
  ASSERT_NE(t.GetUserAttributeMap(), nullptr);
  EXPECT_EQ(t.GetUserAttributeMap()->GetAt(0)->GetId(), 3);
  EXPECT_EQ(t.GetUserAttributeText(7), "12");

  // Schema 7 is refused.
  const Bytes v7 = B().u16(7).u32(0).b;
  EXPECT_EQ(gxtest::ArchiveErrorCause([&] { gxtest::Load(v7, [&](CArchive& ar) { t.Serialize(ar); }, false); }),
            CArchiveException::badSchema);
}

TEST_F(Archive, FlagBytesKeepOnlyBitZeroAndPatternsAreChecked) {
  const Bytes flags = B().u16(6).u32(GX_IN_READONLY).u8(2).u16(0).u16(0).b;
  CGXStyle s;
  gxtest::Load(flags, [&](CArchive& ar) { s.Serialize(ar); });
  EXPECT_FALSE(s.GetReadOnly());

  const Bytes brush = B().u32(3).u32(0).u32(0).u32(41).u32(0).b;
  CGXInteriorBrush b;
  gxtest::Load(brush, [&](CArchive& ar) { SerializeInteriorBrush(ar, b); });
  EXPECT_EQ(b.GetStyle(), static_cast<UINT>(CGXInteriorBrush::null));
}

TEST_F(Archive, UnknownBaseStyleNameGivesIdZero) {
  CGXStylesMap map;
  map.RegisterStyle("first", CGXStyle());
  map.RegisterStyle("second", CGXStyle());
  const Bytes bytes = B().u16(6).u32(GX_IN_BASESTYLE).u16(0).u32(0).str("nowhere").u16(0).b;
  CGXStyle s;
  gxtest::Load(bytes, [&](CArchive& ar) { s.SerializeWithStylesMap(ar, &map); });
  EXPECT_TRUE(s.IsIncluded(GX_IN_BASESTYLE));
  EXPECT_EQ(s.GetBaseStyle(), 0);
  const Bytes named = B().u16(6).u32(GX_IN_BASESTYLE).u16(0).u32(0).str("second").u16(0).b;
  gxtest::Load(named, [&](CArchive& ar) { s.SerializeWithStylesMap(ar, &map); });
  EXPECT_EQ(s.GetBaseStyle(), 1);
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { s.SerializeWithStylesMap(ar, &map); }), named);
}

TEST_F(Archive, FontForm) {
  CGXFont f;
  f.SetFaceName("Arial").SetPointSize(8.25).SetWeight(700).SetItalic(TRUE).SetOrientation(900);
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { f.Serialize(ar); });
  const DWORD mask = 0x1 | 0x8 | 0x40 | 0x80 | 0x100 | 0x200;
  const GXFontFaceEntry* arial = CGXFontRegistry::Instance().GetFaceEntry(f.GetFaceNameId());
  ASSERT_NE(arial, nullptr);
  EXPECT_EQ(bytes, B().u16(2).u32(mask).u16(700).u16(82).u16(900).str("Arial").u8(arial->pitchAndFamily)
                       .u8(arial->charSet).b);
  CGXFont back;
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back, f);  // 8.25 points survive the tenths
  const Bytes v3 = B().u16(3).b;
  EXPECT_EQ(gxtest::ArchiveErrorCause([&] { gxtest::Load(v3, [&](CArchive& ar) { back.Serialize(ar); }, false); }),
            CArchiveException::badSchema);
}

TEST_F(Archive, RangeListFormAndLoadingEmptiesFirst) {
  CGXRangeList list;
  list.AddTail(new CGXRange(1, 2, 3, 4));
  auto* invalid = new CGXRange(5, 5, 6, 6);
  invalid->valid = FALSE;
  list.AddTail(invalid);
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { list.Serialize(ar); });
  EXPECT_EQ(bytes, B().u16(1).u32(1).u32(1).u32(2).u32(3).u32(4).u8(0).u8(1).b);
  EXPECT_EQ(list.GetCount(), 1);  // the invalid range is gone

  CGXRangeList back;
  back.AddTail(new CGXRange(9, 9));
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  ASSERT_EQ(back.GetCount(), 1);
  EXPECT_EQ(*back.GetHead(), CGXRange(1, 2, 3, 4));

  const Bytes v2 = B().u16(2).u32(0).b;
  EXPECT_EQ(gxtest::ArchiveErrorCause([&] { gxtest::Load(v2, [&](CArchive& ar) { back.Serialize(ar); }, false); }),
            CArchiveException::badSchema);
}

TEST_F(Archive, RangeListQueries) {
  CGXRangeList list;
  list.AddTail(new CGXRange(CGXRange().AssignRows(3, 5)));
  POSITION second = list.AddTail(new CGXRange(7, 7));
  EXPECT_TRUE(list.ContainsCell(4, 100));
  EXPECT_FALSE(list.ContainsCell(7, 7, second));
  EXPECT_EQ(list.FindCell(7, 7), second);
  EXPECT_TRUE(list.IntersectsRow(5));
  EXPECT_TRUE(list.IntersectsCol(1));  // a rows range spans every column
  CDWordArray starts, ends;
  EXPECT_TRUE(list.GetRowIntervals(10, starts, ends));
  EXPECT_EQ(starts.GetSize(), 2);
  list.AdjustForRemovedRows(3, 6, 100);
  list.RemoveInvalidRanges();
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(gxtest::ArchiveErrorCause([&] { list.DeleteAt(nullptr); }), -2);
}

TEST_F(Archive, StyleArrayIsSparse) {
  CGXStylePtrArray arr;
  arr.SetSize(100);
  CGXStyle s;
  s.SetValue("x");
  arr.SetAtGrow(3, s.Clone());
  arr.SetAtGrow(7, s.Clone());
  const Bytes style = gxtest::Store([&](CArchive& ar) { s.Serialize(ar); });
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { arr.Serialize(ar); });
  const Bytes expected =
      B().u16(1).u32(100).u32(3).cls("CGXStyle").append(style).u32(7).u16(0x8001).append(style).u32(0xFFFFFFFF).b;
  EXPECT_EQ(bytes, expected);
  CGXStylePtrArray back;
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.GetSize(), 100);
  EXPECT_NE(back.GetAt(7), nullptr);
  EXPECT_EQ(back.GetAt(6), nullptr);
}

TEST_F(Archive, MapCountUsesTheEscapeAboveSixteenBits) {
  CGXMapDWordToLong small;
  small.SetAt(3, 60);
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { SerializeDWordToLongMap(small, ar); }), B().u16(1).u32(3).u32(60).b);

  CGXMapDWordToLong big;
  for (DWORD k = 0; k < 70000; ++k) big.SetAt(k, static_cast<LONG>(k));
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { SerializeDWordToLongMap(big, ar); });
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), B().u16(0xFFFF).u32(70000).b);
  CGXMapDWordToLong back;
  gxtest::Load(bytes, [&](CArchive& ar) { SerializeDWordToLongMap(back, ar); });
  EXPECT_EQ(back.GetCount(), 70000);
}

TEST_F(Archive, PrintDeviceAndPools) {
  CGXPrintDevice empty;
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { empty.Serialize(ar); }), B().u16(1).u32(0).u32(0).b);
  const Bytes namesOnly = B().u16(1).u32(3).u8(1).u8(2).u8(3).u32(0).b;
  CGXPrintDevice d;
  gxtest::Load(namesOnly, [&](CArchive& ar) { d.Serialize(ar); });
  EXPECT_EQ(d.GetDevNames().size(), 3u);
  EXPECT_TRUE(d.GetDevMode().empty());
  const Bytes tooLong = B().u16(1).u32(1000).u8(1).b;
  EXPECT_EQ(gxtest::ArchiveErrorCause([&] { gxtest::Load(tooLong, [&](CArchive& ar) { d.Serialize(ar); }, false); }),
            CArchiveException::badIndex);

  CGXSpanCellPool pool;
  pool.m_perRow.Line(2) = {5, 5, 0xFFFFFFFF};
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { pool.Serialize(ar); });
  EXPECT_EQ(bytes, B().u16(1).u32(3).u32(2).u16(3).u32(5).u32(5).u32(0xFFFFFFFF).u32(0xFFFFFFFF)
                       .u16(1).u32(0).u32(0xFFFFFFFF).b);
  CGXSpanCellPool back;
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  ASSERT_NE(back.m_perRow.GetAt(2), nullptr);
  EXPECT_EQ(*back.m_perRow.GetAt(2), (std::vector<DWORD>{5, 5, 0xFFFFFFFF}));

  CGXDelayedRangePool delayed;
  delayed.ResetToWholeGrid();
  const Bytes d2 = gxtest::Store([&](CArchive& ar) { delayed.Serialize(ar); });
  EXPECT_EQ(d2, B().u16(1).cls("CGXDelayedRange", 1).u32(0).u32(0).u32(0xFFFFFFFE).u32(0xFFFFFFFE).u8(0).u8(1)
                    .u16(0).u16(0).b);
}

// A parameter object as the dialogs' layouts hold it: owned styles map, data and properties.
std::unique_ptr<CGXGridParam> SampleLayout() {
  auto p = std::make_unique<CGXGridParam>();
  auto* map = new CGXStylesMap;
  map->CreateStandardStyles();
  map->AddControl(52512);
  map->AddUserAttribute(51022);
  p->SetStylesMap(map, TRUE);
  auto* data = new CGXData;
  data->StoreRowCount(4);
  data->StoreColCount(3);
  CGXStyle s;
  s.SetValue("Name").SetHorizontalAlignment(1).SetBaseStyle(map->GetColHeaderStyle());
  data->StoreStyle(0, 1, &s, gxOverride);
  CGXStyle col;
  col.SetControl(52513).SetReadOnly(TRUE).SetUserAttribute(52792, new CGXEllipseUserAttribute(1));
  data->StoreStyle(0, 2, &col, gxOverride, GX_BASESTYLE);
  p->SetData(data, TRUE);
  p->SetProperties(new CGXProperties, TRUE);
  p->GetColWidths().SetAt(1, 4000);
  p->GetCoveredCells().AddTail(new CGXRange(1, 1, 1, 2));
  p->EnableDragRows(FALSE);
  return p;
}

TEST_F(Archive, LayoutRoundTrip) {
  const auto param = SampleLayout();
  const Bytes bytes = gx::WriteObjectToBytes(param.get());
  ASSERT_GE(bytes.size(), 20u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 20), B().cls("CGXGridParam", 1).u16(11).b);
  std::unique_ptr<CObject> o(gx::ReadObjectFromBytes(bytes, RUNTIME_CLASS(CGXGridParam)));
  ASSERT_NE(o, nullptr);
  auto* back = static_cast<CGXGridParam*>(o.get());
  EXPECT_TRUE(back->OwnsData());
  EXPECT_TRUE(back->OwnsStylesMap());
  EXPECT_TRUE(back->OwnsProperties());
  EXPECT_FALSE(back->IsDragRowsEnabled());
  CGXStyle cell;
  ASSERT_TRUE(back->GetData()->GetStyle(0, 1, cell, gxCopy));
  EXPECT_EQ(cell.GetValue(), "Name");
  EXPECT_EQ(cell.GetBaseStyle(), back->GetStylesMap()->GetColHeaderStyle());
  EXPECT_EQ(gxtest::Diff(gx::WriteObjectToBytes(back), bytes), "");

  // The wrong class gives null, not an object.
  EXPECT_EQ(gx::ReadObjectFromBytes(bytes, RUNTIME_CLASS(CGXData)), nullptr);
}

TEST_F(Archive, CorruptLayoutsAreRefusedSafely) {
  const Bytes bytes = gx::WriteObjectToBytes(SampleLayout().get());
  // Every truncation fails cleanly.
  for (std::size_t n = 0; n < bytes.size(); n += 7) {
    std::unique_ptr<CObject> o(gx::ReadObjectFromBytes({bytes.data(), n}, RUNTIME_CLASS(CGXGridParam)));
    EXPECT_EQ(o, nullptr) << n;
  }
  // A style array that claims four billion elements is refused before anything is allocated.
  const Bytes huge = B().u16(1).u32(0xFFFFFFF0).u32(0xFFFFFFFF).b;
  gx::ArchiveReadGuard guard;
  CGXStylePtrArray arr;
  EXPECT_EQ(gxtest::ArchiveErrorCause([&] { gxtest::Load(huge, [&](CArchive& ar) { arr.Serialize(ar); }, false); }),
            CArchiveException::badIndex);
}

TEST_F(Archive, BackReferencesToObjectsAreRefused) {
  // A user-attribute map that names the same attribute object twice would give it two owners.
  const Bytes bytes = B().cls("CGXUserAttributeMap").u16(2).cls("CGXUserAttribute").u8(0).u32(0).u32(0).u16(1)
                          .u16(4).u16(2).b;  // object index 4 is the first attribute
  std::unique_ptr<CObject> o(gx::ReadObjectFromBytes(bytes, RUNTIME_CLASS(CGXUserAttributeMap)));
  EXPECT_EQ(o, nullptr);
  // The same map with a new object of the known class (class index 3) is fine.
  const Bytes ok = B().cls("CGXUserAttributeMap").u16(2).cls("CGXUserAttribute").u8(0).u32(0).u32(0).u16(1)
                       .u16(0x8003).u8(0).u32(0).u32(0).u16(2).b;
  std::unique_ptr<CObject> good(gx::ReadObjectFromBytes(ok, RUNTIME_CLASS(CGXUserAttributeMap)));
  ASSERT_NE(good, nullptr);
  EXPECT_EQ(static_cast<CGXUserAttributeMap*>(good.get())->GetSize(), 2);
}

}  // namespace

#include "grid/core/CGXCollMapDWordToString.h"
#include "grid/core/CMapNdxToOb.h"

namespace {

class ArchiveForms : public ::testing::Test {
 protected:
  void SetUp() override { gxtest::InstallAll(); }
};

TEST_F(ArchiveForms, BrushAndPen) {
  CGXInteriorBrush b;
  b.SetColor(0x00010203).SetBkColor(0x01000007);
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { SerializeInteriorBrush(ar, b); }),
            B().u32(0).u32(0x00010203).u32(0).u32(0).u32(0x01000007).b);
  CGXBorderPen pen(2, 3, 0x00112233);
  CGXStyleSerializeImp imp;
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { imp.SerializePen(&pen, ar); });
  EXPECT_EQ(bytes, B().u32(2).u16(3).u16(1).u32(0x00112233).b);
  CGXBorderPen back;
  gxtest::Load(bytes, [&](CArchive& ar) { imp.SerializePen(&back, ar); });
  EXPECT_EQ(back, pen);
  const Bytes unset = B().u32(2).u16(3).u16(0).u32(0).b;
  gxtest::Load(unset, [&](CArchive& ar) { imp.SerializePen(&back, ar); });
  EXPECT_FALSE(back.IsSet());
}

TEST_F(ArchiveForms, CellData) {
  CGXData data;
  CGXStyle s;
  s.SetValue("x");
  data.StoreStyle(1, 1, &s, gxOverride);
  data.StoreRowCount(2);
  const Bytes style = gxtest::Store([&](CArchive& ar) { s.Serialize(ar); });
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { data.Serialize(ar); });
  const Bytes expected = B().u16(1).u32(2).u32(1)
                             .u16(1).u32(3).u32(1)                                      // rows: 3 slots, row 1
                             .u16(1).u32(2).u32(1).cls("CGXStyle").append(style).u32(0xFFFFFFFF)
                             .u32(0xFFFFFFFF)
                             .u16(1).u32(0).u32(0xFFFFFFFF)                              // row base styles
                             .u16(1).u32(0).u32(0xFFFFFFFF)                              // column base styles
                             .b;
  EXPECT_EQ(gxtest::Diff(bytes, expected), "");
  CGXData back;
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { back.Serialize(ar); }), bytes);
}

TEST_F(ArchiveForms, StylesMap) {
  CGXStylesMap map;
  map.RegisterStyle("A", CGXStyle());
  const Bytes bytes = gxtest::Store([&](CArchive& ar) { map.Serialize(ar); });
  const Bytes expected = B().u16(2).str("Styles")
                             .u16(0)                                   // control names
                             .u16(1).u16(0).str("A")                   // name table
                             .u16(1).u16(0).u32(0).str("A").u8(0)      // one base style ...
                             .u16(6).u32(0).u16(0).u16(0)              // ... that includes nothing
                             .u16(1)                                   // next id
                             .u16(0)                                   // user attributes
                             .b;
  EXPECT_EQ(gxtest::Diff(bytes, expected), "");
  CGXStylesMap back;
  gxtest::Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_EQ(back.GetIdFromName("A"), 0);
  EXPECT_EQ(back.RegisterStyle("B", CGXStyle()), 1);

  // A schema-1 map has no user attributes.
  const Bytes v1 = B().u16(1).str("Styles").u16(0).u16(0).u16(0).u16(0).b;
  CGXStylesMap old;
  old.AddUserAttribute(51022);
  gxtest::Load(v1, [&](CArchive& ar) { old.Serialize(ar); });
  EXPECT_TRUE(old.GetUserAttributeMap().empty());
}

TEST_F(ArchiveForms, PropertiesSchemaTwoHasNoColumnHeaderField) {
  CGXProperties p;
  const Bytes v4 = gxtest::Store([&](CArchive& ar) { p.Serialize(ar); });
  // Schema 2 ends after the two WORD settings: cut the schema-3/4 parts off a schema-4 archive.
  CGXProperties fresh;
  const Bytes tail3 = gxtest::Store([&](CArchive& ar) {
    gx::WriteDWordArray(ar, fresh.m_dwList1);
    gx::WriteDWordArray(ar, fresh.m_dwList2);
    fresh.GetHeaderTable().Serialize(ar);
    fresh.GetFooterTable().Serialize(ar);
    ar << DWORD{1};
  });
  ASSERT_GT(v4.size(), tail3.size());
  Bytes v2(v4.begin(), v4.end() - static_cast<std::ptrdiff_t>(tail3.size()));
  v2[0] = 2;
  CGXProperties back;
  back.m_bPrintColHeaders = FALSE;
  gxtest::Load(v2, [&](CArchive& ar) { back.Serialize(ar); });
  EXPECT_FALSE(back.m_bPrintColHeaders);  // not in the archive: unchanged
  CGXProperties full;
  gxtest::Load(v4, [&](CArchive& ar) { full.Serialize(ar); });
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { full.Serialize(ar); }), v4);
}

TEST_F(ArchiveForms, TextMapAndCellMap) {
  CGXCollMapDWordToString m;
  m.SetAt(5, "five");
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { m.Serialize(ar); }), B().u16(1).u32(5).str("five").b);
  CMapNdxToOb cells;
  EXPECT_EQ(gxtest::Store([&](CArchive& ar) { cells.Serialize(ar); }), B().u16(0).b);
}

}  // namespace
