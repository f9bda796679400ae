// The rich document and its RTF: formats through edits and undo, golden reading of every construct,
// tolerant reading of what other writers produce, escaping, and write-read-write fixed points.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/controls/RichRtf.h"
#include "platform/controls/RichText.h"

namespace plat::controls {
namespace {

RichFragment Read(std::string_view rtf) { return ReadRtf(rtf, RichCharFormat{}, RichParaFormat{}); }

// A compact description of a piece: "[b]" etc. before each run, "|" for paragraph breaks with alignment.
std::string Describe(const RichFragment& f) {
  std::string out;
  size_t at = 0, para = 0;
  for (const auto& r : f.runs) {
    std::string tags;
    if (r.format.bold) tags += "b";
    if (r.format.italic) tags += "i";
    if (r.format.underline) tags += "u";
    if (r.format.strike) tags += "s";
    tags += std::to_string(r.format.twips / 20) + r.format.face;
    if (!r.format.autoColor) {
      char buf[16];
      std::snprintf(buf, sizeof buf, ":%06x", static_cast<unsigned>(r.format.color));
      tags += buf;
    }
    out += "[" + tags + "]";
    for (int k = 0; k < r.length && at < f.text.size(); ++k, ++at) {
      const char c = f.text[at];
      if (c == '\r') {
        out += "|" + std::to_string(f.paras[para++].alignment);
      } else if (c == '\v') {
        out += "<br>";
      } else if (c == '\t') {
        out += "<tab>";
      } else {
        out += c;
      }
    }
  }
  out += "|" + std::to_string(f.paras.empty() ? 0 : f.paras.back().alignment);
  return out;
}

TEST(RichRtf, ReadsEveryConstructOfTheSubset) {
  const char* doc =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}}"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "\\pard\\qc\\f1\\fs28 Title\\par"
      "\\pard\\plain\\b bold\\b0 \\i it\\i0 \\ul u\\ulnone \\strike s\\strike0\\par"
      "\\qr\\cf1 red\\cf2 blue\\cf0 auto\\line next\\tab x\\par"
      "\\ql \\\\ \\{ \\} \\'e9 \\u8364? \\uc2\\u8212\\'97\\'97 end}";
  EXPECT_EQ(Describe(Read(doc)),
            "[14Times New Roman]Title|3"  // the space after a control word delimits it
            "[b10Arial]bold[i10Arial]it[u10Arial]u[s10Arial]s[10Arial]|1"
            "[10Arial:0000ff]red[10Arial:ff0000]blue[10Arial]auto<br>next<tab>x|2"
            "\\ { } \xe9 \x80 \x97 end|1");
}

TEST(RichRtf, AcceptsBareGroupsPlainTextAndTheWritersOfOtherPrograms) {
  EXPECT_EQ(Read("{\\rtf1 abc}").text, "abc");
  EXPECT_EQ(Read("{abc}").text, "abc");
  EXPECT_EQ(Read("plain\r\ntext").text, "plain\rtext");
  EXPECT_EQ(Read("  {x}").text, "x");
  // Stylesheets, info groups, generator destinations, pictures, unknown words and \u fallbacks are skipped.
  const char* word =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}\r\n"
      "{\\stylesheet{ Normal;}{\\s1 heading 1;}}{\\info{\\author Someone}{\\title T}}"
      "{\\*\\generator Some Writer 10.0.1;}\\viewkind4\\uc1 \r\n"
      "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 Hello {\\pict\\wmetafile8\\picw10 0a0b0c0d}"
      "w\\u246?rld{\\*\\unknowndest ignored}\\par\r\n}\r\n";
  const RichFragment f = Read(word);
  EXPECT_EQ(f.text, "Hello w\xf6rld\r");
  EXPECT_EQ(f.runs.front().format.face, "Calibri");
  EXPECT_EQ(f.runs.front().format.twips, 220);
  // Text after the document's closing brace is no part of it.
  EXPECT_EQ(Read("{a}b").text, "a");
}

TEST(RichRtf, MalformedInputKeepsWhatWasReadAndStaysBounded) {
  EXPECT_EQ(Read("{\\rtf1 unclosed {\\b group").text, "unclosed group");
  EXPECT_EQ(Read("{\\rtf1 bad hex \\'g1 and \\'4").text, "bad hex g1 and ");
  // Fonts and colours outside their tables fall back to the defaults.
  const RichFragment f = Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}\\f9\\cf7 x\\cf1 y}");
  ASSERT_EQ(f.runs.size(), 2u);
  EXPECT_EQ(f.runs[0].format.face, "Arial");
  EXPECT_TRUE(f.runs[0].format.autoColor);
  EXPECT_EQ(f.runs[1].format.color, RGB(1, 2, 3));
  // Huge parameters and sizes are clamped; deep nesting neither crashes nor loses the text.
  EXPECT_EQ(Read("{\\rtf1\\fs99999999999999999 x}").runs[0].format.twips, 32760);
  EXPECT_EQ(Read("{\\rtf1\\fs-5 x}").runs[0].format.twips, 200);
  std::string deep = "{\\rtf1 ";
  for (int i = 0; i < 5000; ++i) deep += "{";
  deep += "deep";
  for (int i = 0; i < 5000; ++i) deep += "}";
  deep += " after}";
  EXPECT_EQ(Read(deep).text, "deep after");
  // A long control word is read whole and dropped.
  EXPECT_EQ(Read("{\\rtf1 " + std::string("\\") + std::string(500, 'a') + " x}").text, "x");
}

TEST(RichRtf, PlainTextEscapesSurviveAsRtf) {
  for (const std::string& plain : {std::string("C:\\temp"), std::string("a}b{c"), std::string("caf\xe9 \x80 \x9f"),
                                  std::string("tab\there")}) {
    EXPECT_EQ(Read("{\\rtf1 " + EscapeRtfText(plain) + "}").text, plain) << plain;
    EXPECT_EQ(Read("{" + EscapeRtfText(plain) + "}").text, plain) << plain;
  }
  EXPECT_EQ(EscapeRtfText("a\r\nb\nc"), "a\\par b\\par c");
  EXPECT_EQ(Read("{" + EscapeRtfText("one\r\ntwo") + "}").text, "one\rtwo");
}

TEST(RichRtf, WritingWhatWasReadIsAFixedPoint) {
  const char* docs[] = {
      "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern\\fprq1 Courier New;}}{\\colortbl;\\red9\\green8\\blue7;}"
      "\\qc\\b\\fs30 A\\f1\\cf1\\i B\\par\\pard\\qr C\\line D\\tab E \\'ff\\\\\\{\\}\\par}",
      "{\\rtf1 }",
      "{\\rtf1\\pard\\qc\\par\\par}",
      "{\\rtf1 \\ul u\\ulnone n\\strike s}"};
  for (const char* d : docs) {
    const RichFragment once = Read(d);
    const std::string written = WriteRtf(once);
    const RichFragment twice = Read(written);
    EXPECT_EQ(Describe(twice), Describe(once)) << written;
    EXPECT_EQ(WriteRtf(twice), written);
  }
  // Random documents built through the model round-trip too.
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    RichFragment f;
    const int pieces = 1 + static_cast<int>(rng() % 8);
    for (int k = 0; k < pieces; ++k) {
      RichCharFormat cf;
      cf.bold = rng() & 1;
      cf.italic = rng() & 2;
      cf.underline = rng() & 4;
      cf.twips = 20 * (8 + static_cast<int>(rng() % 20));
      cf.face = (rng() & 1) ? "Arial" : "Times New Roman";
      cf.autoColor = rng() & 1;
      cf.color = cf.autoColor ? 0 : RGB(rng() % 256, rng() % 256, rng() % 256);
      std::string s;
      for (int c = static_cast<int>(rng() % 6); c > 0; --c) s += static_cast<char>(0x20 + rng() % 0xE0);
      f.Append(s, cf);
      if (rng() % 3 == 0) f.Break(RichParaFormat{static_cast<WORD>(1 + rng() % 3)}, cf);
    }
    f.paras.push_back(RichParaFormat{static_cast<WORD>(1 + rng() % 3)});
    const std::string written = WriteRtf(f);
    EXPECT_EQ(Describe(Read(written)), Describe(f)) << written;
  }
}

TEST(RichDocument, ReplaceKeepsRunsParagraphFormatsAndUndo) {
  RichDocument doc;
  RichCharFormat bold;
  bold.bold = true;
  doc.Assign(Read("{\\rtf1\\qc centred\\par\\pard left}"));
  EXPECT_EQ(doc.ParaCount(), 2);
  EXPECT_EQ(doc.ParaFormat(0).alignment, PFA_CENTER);
  // Removing the break merges into the paragraph after it (its format lives at the break that stays).
  doc.Replace(7, 8, RichFragment{});
  EXPECT_EQ(doc.Text(), "centredleft");
  EXPECT_EQ(doc.ParaCount(), 1);
  EXPECT_EQ(doc.ParaFormat(0).alignment, PFA_LEFT);
  int from = 0, to = 0;
  ASSERT_TRUE(doc.Undo(&from, &to));
  EXPECT_EQ(doc.Text(), "centred\rleft");
  EXPECT_EQ(doc.ParaFormat(0).alignment, PFA_CENTER);
  EXPECT_EQ(doc.ParaFormat(1).alignment, PFA_LEFT);
  // Formats over a range split and merge runs; typing merges into one undo step.
  doc.ChangeFormats(2, 5, [](RichCharFormat& f) { f.bold = true; });
  EXPECT_TRUE(doc.FormatAt(2).bold);
  EXPECT_FALSE(doc.FormatAt(5).bold);
  doc.ChangeFormats(0, doc.Length() + 1, [](RichCharFormat& f) { f.bold = false; });
  EXPECT_EQ(doc.Runs().size(), 1u);
  const int end = doc.Length();
  doc.Replace(end, end, RichFragment::FromPlain("x", bold, {}), RichDocument::UndoMode::MergeTyping);
  doc.Replace(end + 1, end + 1, RichFragment::FromPlain("y", bold, {}), RichDocument::UndoMode::MergeTyping);
  EXPECT_EQ(doc.PlainText(0, doc.Length()), "centred\r\nleftxy");
  ASSERT_TRUE(doc.Undo(&from, &to));
  EXPECT_EQ(doc.Text(), "centred\rleft");
  ASSERT_TRUE(doc.Undo(&from, &to));  // undoing twice redoes
  EXPECT_EQ(doc.Text(), "centred\rleftxy");
  EXPECT_TRUE(doc.FormatAt(end).bold);
}

}  // namespace
}  // namespace plat::controls
