// Text layout and drawing helpers, on a recording DC with the standard style's font.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXFont.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/tests/gxtest.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/RecordingDC.h"

namespace {

class Drawing : public ::testing::Test {
 protected:
  void SetUp() override {
    hdc = plat::CreateRecordingDC(400, 300);
    ASSERT_NE(hdc, nullptr);
    dc.Attach(hdc);
    ASSERT_TRUE(font.CreateFontIndirect(&CGXFont().SetDefaultFont().GetLogFont()));
    old = dc.SelectObject(&font);
    rec = plat::RecorderOf(hdc);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    lineH = tm.tmHeight + tm.tmExternalLeading;
  }
  void TearDown() override {
    dc.SelectObject(old);
    dc.Detach();
    DeleteDC(hdc);
  }
  // The texts drawn, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    static const std::regex re("^text [-0-9]+,[-0-9]+ \"([^\"]*)\"");
    for (const std::string& l : rec->lines()) {
      std::smatch m;
      if (std::regex_search(l, m, re)) out.push_back(m[1]);
    }
    return out;
  }
  int Width(const char* s) const { return dc.GetTextExtent(s, static_cast<int>(std::strlen(s))).cx; }
  std::vector<std::string> Lines(const char* text, RECT rect, UINT format = 0) {
    int starts[32], lengths[32];
    const int n = gfx.BreakLines(&dc, text, -1, rect, format, starts, lengths);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.emplace_back(text + starts[i], static_cast<std::size_t>(lengths[i]));
    return out;
  }

  HDC hdc = nullptr;
  CDC dc;
  CFont font;
  CFont* old = nullptr;
  std::shared_ptr<plat::DcRecorder> rec;
  int lineH = 0;
  CGXDrawingAndFormatting gfx;
};

TEST_F(Drawing, BreaksAtLineEndsAndWords) {
  const RECT tall{0, 0, 300, lineH * 10};
  EXPECT_EQ(Lines("one\r\ntwo", tall), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(Lines("one\r\n", tall), (std::vector<std::string>{"one", ""}));
  EXPECT_EQ(Lines("a\nb\rc", tall), (std::vector<std::string>{"a", "b", "c"}));
  const RECT narrow{0, 0, Width("one two") + 1, lineH * 10};
  EXPECT_EQ(Lines("one two three", narrow), (std::vector<std::string>{"one two", "three"}));
}

// Leading blanks are text, at the start and after a hard break (an indented member row, "    C57"); the blanks
// at a soft wrap belong to no line.
TEST_F(Drawing, LeadingBlanksStayExceptAtAWrap) {
  const RECT tall{0, 0, 300, lineH * 10};
  EXPECT_EQ(Lines("    C57", tall), (std::vector<std::string>{"    C57"}));
  EXPECT_EQ(Lines("one\n  two", tall), (std::vector<std::string>{"one", "  two"}));
  const RECT narrow{0, 0, Width("one two") + 1, lineH * 10};
  EXPECT_EQ(Lines("one two   three", narrow), (std::vector<std::string>{"one two", "three"}));
  EXPECT_EQ(Lines("  one two", RECT{0, 0, Width("  one two") + 1, lineH}), (std::vector<std::string>{"  one two"}));
}

TEST_F(Drawing, AWordWiderThanTheCellIsCutByCharacters) {
  const RECT narrow{0, 0, Width("abcd") + 1, lineH * 10};
  const auto lines = Lines("abcdefghij", narrow);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "abcd");
  for (const auto& l : lines) EXPECT_LE(Width(l.c_str()), Width("abcd") + 1);
}

TEST_F(Drawing, OneLineCellsCutTheLastLine) {
  const RECT oneLine{0, 0, Width("one two") + 1, lineH};
  EXPECT_EQ(Lines("one two three", oneLine).size(), 1u);
}

TEST_F(Drawing, VerticalAlignmentMovesTheTop) {
  RECT r{0, 0, 300, 100};
  int starts[32], lengths[32];
  gfx.CalcLineBreaks(&dc, "x", -1, r, 4, starts, lengths, 32);
  EXPECT_EQ(r.top, (100 - lineH) / 2);
  RECT b{0, 0, 300, 100};
  gfx.CalcLineBreaks(&dc, "x", -1, b, 8, starts, lengths, 32);
  EXPECT_EQ(b.top, 100 - lineH);
}

TEST_F(Drawing, EndEllipsisOnTheLastVisibleLine) {
  const RECT cell{0, 0, Width("word word") + 2, lineH * 2};
  gfx.DrawTextEllipsis(&dc, "word word word word word word", -1, cell, 0, nullptr, CGXDrawingAndFormatting::endEllipsis);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].substr(texts[1].size() - 3), "...");
  EXPECT_LE(Width(texts[1].c_str()), cell.right);
}

TEST_F(Drawing, PoundFillForSingleLinesThatDoNotFit) {
  const RECT cell{0, 0, Width("####") + 1, lineH};
  gfx.DrawTextEllipsis(&dc, "12345678", -1, cell, 0x20, nullptr, CGXDrawingAndFormatting::poundFill);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "####");
}

TEST_F(Drawing, HitTestFindsTheCharacter) {
  const RECT cell{0, 0, 300, lineH * 3};
  EXPECT_EQ(gfx.HitTestWrappedText(&dc, "abc\r\ndef", -1, cell, 0, 1, 1), 0);
  EXPECT_EQ(gfx.HitTestWrappedText(&dc, "abc\r\ndef", -1, cell, 0, Width("de") + 1, lineH + 1), 7);
  EXPECT_EQ(gfx.HitTestWrappedText(&dc, "abc\r\ndef", -1, cell, 0, 1, lineH * 2 + 1), -1);
  EXPECT_EQ(gfx.HitTestWrappedText(&dc, "abc", -1, cell, 0, 250, 1), -1);
}

TEST_F(Drawing, PackedColoursFillWithTheSystemColour) {
  FillColorRect(&dc, 0, 0, 10, 10, 0xF9000000);
  FillColorRect(&dc, 10, 0, 10, 10, 0x00FF0000);
  ASSERT_GE(rec->lines().size(), 2u);
  EXPECT_EQ(dc.GetPixel(5, 5), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(dc.GetPixel(15, 5), 0x00FF0000u);  // blue
}

TEST(ChoiceLists, FieldsLinesAndSearch) {
  char buf[4];
  EXPECT_EQ(GetTabbedField("a\tbcdef\tc", 1, buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "bcd");  // room for the terminator is kept
  EXPECT_EQ(GetTabbedField("a\tb", 5, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  CString line, rest;
  EXPECT_EQ(ExtractFirstLine("one\r\ntwo", line, &rest), 3);
  EXPECT_EQ(line, "one");
  EXPECT_EQ(rest, "two");
  EXPECT_EQ(ExtractFirstLine("single", line, &rest), -1);
  EXPECT_EQ(FindChoiceListEntry("Alpha\r\nBeta\r\nGamma", "beT", -1, FALSE), 1);
  EXPECT_EQ(FindChoiceListEntry("Alpha\r\nBeta\r\nGamma", "beT", -1, TRUE), -1);
  EXPECT_EQ(FindChoiceListEntry("1\tAlpha\r\n2\tBeta", "beta", 1, FALSE), 1);
  EXPECT_EQ(SortChoiceList("Header\r\ncherry\r\nApple\r\nbanana", 0, TRUE), "Header\r\nApple\r\nbanana\r\ncherry");
}

TEST(Patterns, TableBitmaps) {
  CGXDrawingAndFormatting gfx;
  EXPECT_NE(gfx.GetPatternBitmap(0), nullptr);
  EXPECT_EQ(gfx.GetPatternBitmap(0), gfx.GetPatternBitmap(0));
  EXPECT_NE(gfx.GetPatternBitmap(40), nullptr);
  EXPECT_EQ(gfx.GetPatternBitmap(41), nullptr);
}

TEST(FormatDisplayText, ThroughTheInstalledFormattingElseTheTextItself) {
  gxtest::InstallAll();
  CGXGridGlobals& g = CGXGridGlobals::Get();
  CGXStyle style;
  style.SetValue("12.5");
  EXPECT_EQ(FormatDisplayText(style, "7", 0), "[7|0]");
  EXPECT_EQ(FormatDisplayText(style, nullptr, 1), "[12.5|1]");
  CGXAbstractNumberFormattingImp* installed = g.m_pNumberFormattingImp;
  g.m_pNumberFormattingImp = nullptr;
  EXPECT_EQ(FormatDisplayText(style, "7", 1), "7");
  EXPECT_EQ(FormatDisplayText(style, nullptr, 1), "12.5");
  EXPECT_EQ(FormatDisplayText(CGXStyle(), nullptr, 1), "");
  g.m_pNumberFormattingImp = installed;
}

}  // namespace
