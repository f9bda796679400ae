// The packed value types of a style: colours, interior brushes, border pens and fonts.
#include <gtest/gtest.h>

#include <cstring>

#include "grid/core/CGXBorderPen.h"
#include "grid/core/CGXFont.h"
#include "grid/core/CGXFontRegistry.h"
#include "grid/core/CGXInteriorBrush.h"
#include "grid/core/CGXSysColorTable.h"

namespace {

TEST(PackedColor, KindsByTopByte) {
  EXPECT_EQ(gx::PackColor(0x00123456), (gx::PackedColor{gx::kindRGB, 0x123456}));
  EXPECT_EQ(gx::PackColor(0x01000007), (gx::PackedColor{gx::kindPaletteIndex, 7}));
  EXPECT_EQ(gx::PackColor(0xF9000000), (gx::PackedColor{gx::kindSystem, 5}));
  EXPECT_EQ(gx::PackColor(0xF6000000), (gx::PackedColor{gx::kindSystem, 8}));
  EXPECT_EQ(gx::PackColor(0x07ABCDEF), (gx::PackedColor{gx::kindSystem, 0xABCDEF}));  // 7 mod 4
  EXPECT_EQ(gx::PackColor(0xFF00000F), (gx::PackedColor{gx::kindSystem, 15}));

  // Reading back tags the current value with 254 - index.
  const COLORREF window = CGXSysColorTable::GetColor(5);
  EXPECT_EQ(gx::TaggedColor(gx::PackColor(0xF9000000)), window | 0xF9000000u);
  EXPECT_EQ(gx::ColorFromArchive(window | 0xF9000000u), (gx::PackedColor{gx::kindSystem, 5}));
  EXPECT_EQ(gx::ColorFromArchive(0xFF112233), (gx::PackedColor{gx::kindSystem, 0x112233}));
  EXPECT_EQ(gx::ColorFromArchive(0x07112233), (gx::PackedColor{gx::kindSystem, 0x112233}));
  EXPECT_EQ(gx::ColorFromArchive(0x40112233), (gx::PackedColor{gx::kindRGB, 0x112233}));
}

TEST(CGXInteriorBrush, DefaultPatternAndColor) {
  CGXInteriorBrush b;
  EXPECT_EQ(b.GetStyle(), 0u);
  EXPECT_EQ(b.GetColorWithIndex(), 0xFFFFFFu);
  EXPECT_EQ(b.GetFillKind(), CGXInteriorBrush::fillColor);

  b.SetPattern(12);
  EXPECT_EQ(b.GetStyle(), 3u);
  EXPECT_EQ(b.GetFillKind(), CGXInteriorBrush::fillPattern);
  b.SetColor(0x0000FF);
  EXPECT_EQ(b.GetStyle(), 0u);
  EXPECT_EQ(b.GetFillKind(), CGXInteriorBrush::fillColor);
  EXPECT_EQ(b.GetColor(), 0x0000FFu);
}

TEST(CGXInteriorBrush, ProfileTextRoundTrip) {
  CGXInteriorBrush b;
  b.SetColor(0x00102030).SetBkColor(0x00405060).SetStyle(2).SetHatch(5);
  EXPECT_EQ(b.FormatProfileText(), "2 5 48 32 16 96 80 64 0");
  EXPECT_EQ(CGXInteriorBrush(b.FormatProfileText().c_str()), b);

  CGXInteriorBrush sys(0xF9000000);
  EXPECT_EQ(CGXInteriorBrush(sys.FormatProfileText().c_str()).GetFore(), (gx::PackedColor{gx::kindSystem, 5}));

  CGXInteriorBrush p;
  p.SetPattern(17);
  EXPECT_EQ(CGXInteriorBrush(p.FormatProfileText().c_str()), p);
}

TEST(CGXInteriorBrush, ShortProfileTextKeepsStyle) {
  CGXInteriorBrush b;
  b.SetStyle(2).SetHatch(4).SetBkColor(0x00FFFFFF);
  b.ParseProfileText("0");
  EXPECT_EQ(b.GetStyle(), 2u);
  EXPECT_EQ(b.GetHatch(), 4u);
  EXPECT_EQ(b.GetColor(), 0u);
  EXPECT_EQ(b.GetBkColor(), 0u);
}

TEST(CGXBorderPen, ProfileText) {
  CGXBorderPen p(2, 3, 0x00030201);
  EXPECT_EQ(p.FormatProfileText(), "2 3 1 2 3 0");
  EXPECT_EQ(CGXBorderPen(p.FormatProfileText().c_str()), p);

  CGXBorderPen four("0 1 2 3");
  EXPECT_FALSE(four.IsSet());
  CGXBorderPen five("7 1 0 0 0");
  EXPECT_TRUE(five.IsSet());
  EXPECT_EQ(five.GetStyle(), CGXBorderPen::kSolid);

  CGXBorderPen sys(0, 1, 0xF6000000);
  CGXBorderPen back(sys.FormatProfileText().c_str());
  EXPECT_EQ(back.GetPackedColor(), (gx::PackedColor{gx::kindSystem, 8}));
}

TEST(CGXFont, SizeAndOrientationEncoding) {
  CGXFont f;
  EXPECT_FALSE(f.GetIncludeSize());
  f.SetPointSize(300);
  EXPECT_DOUBLE_EQ(f.GetSize(), 255.75);
  f.SetPointSize(-10.6);
  EXPECT_DOUBLE_EQ(f.GetSize(), 10.5);
  f.SetOrientation(-900);
  EXPECT_EQ(f.GetOrientation(), 2700);
  f.SetOrientation(3600);
  EXPECT_EQ(f.GetOrientation(), 0);
  EXPECT_TRUE(f.GetIncludeOrientation());
}

TEST(CGXFont, MergeModes) {
  CGXFont target;
  target.SetWeight(700);
  CGXFont other;
  other.SetWeight(400).SetItalic(TRUE).SetPointSize(12);

  CGXFont applied = target;
  applied.ChangeFont(other, 1);
  EXPECT_EQ(applied.GetWeight(), 700);
  EXPECT_TRUE(applied.GetItalic());
  EXPECT_DOUBLE_EQ(applied.GetSize(), 12);

  CGXFont overridden = target;
  overridden.ChangeFont(other, 0);
  EXPECT_EQ(overridden.GetWeight(), 400);

  CGXFont excluded = applied;
  excluded.ChangeFont(other, 3);
  EXPECT_FALSE(excluded.GetIncludeWeight());
  EXPECT_FALSE(excluded.GetIncludeItalic());
  EXPECT_FALSE(excluded.GetIncludeSize());

  EXPECT_TRUE(applied.ContainsFont(target.SetWeight(700)));
  EXPECT_FALSE(applied.ContainsFont(other));
  EXPECT_TRUE(applied.ContainsFont(CGXFont()));
}

TEST(CGXFont, ProfileTextRoundTrip) {
  CGXFont f;
  f.SetFaceName("Liberation Sans").SetPointSize(10).SetWeight(400).SetItalic(TRUE).SetOrientation(450);
  EXPECT_EQ(f.FormatProfileText(), "Liberation Sans,10,400,1,,,450");
  EXPECT_EQ(CGXFont(f.FormatProfileText().c_str()), f);
  EXPECT_TRUE(CGXFont(",,,,,,").IsEmpty());
}

TEST(CGXFont, DefaultFontIsArialOfEightPoints) {
  CGXFont f;
  f.SetDefaultFont();
  EXPECT_EQ(f.GetFaceNameId(), 0u);
  EXPECT_EQ(f.GetFaceName(), "Arial");
  EXPECT_DOUBLE_EQ(f.GetSize(), 8.25);
  EXPECT_EQ(f.GetWeight(), 400);
  EXPECT_TRUE(f.GetIncludeItalic());
  EXPECT_FALSE(f.GetItalic());
}

TEST(CGXFontRegistry, IdsAreStableAndBounded) {
  auto& reg = CGXFontRegistry::Instance();
  const UINT a = reg.AddFaceName("Registry Test Face");
  EXPECT_EQ(reg.AddFaceName("Registry Test Face"), a);
  EXPECT_EQ(reg.AddFaceName(""), CGXFontRegistry::kNoFace);
  EXPECT_EQ(reg.GetFaceEntry(a)->name, "Registry Test Face");
  EXPECT_EQ(reg.GetFaceEntry(reg.GetIdCount()), nullptr);
  EXPECT_EQ(reg.GetFontFaceCharSet(5000), 0);
  // A name longer than an entry holds is cut, not refused.
  const std::string longName(200, 'x');
  const UINT l = reg.AddFaceName(longName);
  EXPECT_EQ(reg.GetFaceEntry(l)->name.size(), GXFontFaceEntry::kMaxName);
}

}  // namespace

#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"

namespace {

TEST(CGXFontGdi, EqualFontsShareOneRecord) {
  const std::size_t before = CGXFont::GetSharedDataCount();
  CGXFont a;
  a.SetFaceName("Arial").SetPointSize(12).SetBold(TRUE);
  CGXFont b(a);
  const CGXFont::FontData* da = a.GetFontData();
  const CGXFont::FontData* db = b.GetFontData();
  EXPECT_EQ(da, db);
  EXPECT_EQ(da->refs, 2);
  EXPECT_EQ(CGXFont::GetSharedDataCount(), before + 1);
  b.SetItalic(TRUE);  // releases its reference; a keeps the record
  EXPECT_EQ(da->refs, 1);
  EXPECT_EQ(a.GetLogFont().lfWeight, 700);
  EXPECT_NE(b.GetFontData(), da);
  b.Clear();
  a.Clear();
  EXPECT_EQ(CGXFont::GetSharedDataCount(), before);
}

TEST(CGXFontGdi, LogFontRoundTrip) {
  CGXFont f;
  f.SetFaceName("Arial").SetPointSize(10).SetWeight(400).SetOrientation(900).SetItalic(TRUE);
  LOGFONT lf;
  f.FillLogFont(lf);
  EXPECT_EQ(lf.lfHeight, -13);  // 40 quarter points at 96 pixels per inch
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  // A rotated font asks for a TrueType face with the flag set, not added.
  EXPECT_EQ(lf.lfPitchAndFamily & 4, 4);
  const BYTE before = lf.lfPitchAndFamily;
  CGXFont rotatedAgain(lf);
  LOGFONT again;
  rotatedAgain.FillLogFont(again);
  EXPECT_EQ(again.lfPitchAndFamily, before | 4);
}

TEST(CGXFontGdi, ScriptCharSetComesBack) {
  LOGFONT lf{};
  std::strcpy(lf.lfFaceName, "Arial");
  lf.lfCharSet = 161;  // Greek
  lf.lfHeight = -16;
  CGXFont f(lf);
  const GXFontFaceEntry* e = CGXFontRegistry::Instance().GetFaceEntry(f.GetFaceNameId());
  ASSERT_NE(e, nullptr);
  EXPECT_NE(e->name, "Arial");  // the face-and-script description
  LOGFONT back;
  f.FillLogFont(back);
  EXPECT_STREQ(back.lfFaceName, "Arial");
  EXPECT_EQ(back.lfCharSet, 161);
  EXPECT_EQ(back.lfHeight, -16);
}

TEST(CGXFontGdi, MetricsOnTheBundledFaces) {
  CGXFont f;
  f.SetDefaultFont();
  CFont font;
  ASSERT_TRUE(font.CreateFontIndirect(&f.GetLogFont()));
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CFont* old = dc.SelectObject(&font);
  TEXTMETRIC tm{};
  ASSERT_TRUE(dc.GetTextMetrics(&tm));
  dc.SelectObject(old);
  // An 8.25-point face at 96 DPI: 11 pixels of em, a line of about 13 to 15 pixels.
  EXPECT_GE(tm.tmHeight, 12);
  EXPECT_LE(tm.tmHeight, 16);
  EXPECT_GT(tm.tmAveCharWidth, 3);
  EXPECT_LT(tm.tmAveCharWidth, 9);
}

}  // namespace

namespace {

TEST(GdiConversions, BrushesAndPens) {
  CGXInteriorBrush solid(0xF9000000);
  EXPECT_EQ(solid.GetLogBrush().lbStyle, 0u);
  EXPECT_EQ(solid.GetLogBrush().lbColor, GetSysColor(5));
  CGXInteriorBrush pattern;
  pattern.SetPattern(7);
  EXPECT_EQ(pattern.GetLogBrush().lbStyle, static_cast<UINT>(BS_PATTERN));
  EXPECT_NE(pattern.GetLogBrush().lbHatch, 0u);
  pattern.SetPattern(50);
  EXPECT_EQ(pattern.GetLogBrush().lbStyle, static_cast<UINT>(BS_NULL));
  const LOGPEN lp = CGXBorderPen(2, 3, 0xF6000000).GetLogPen();
  EXPECT_EQ(lp.lopnStyle, 2u);
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, GetSysColor(8));
}

}  // namespace
