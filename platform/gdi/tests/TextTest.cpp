// Fonts and text: face mapping, the metrics of the bundled faces, extents, placement through the recording DC,
// ExtTextOut's options and DrawText's formats.
//
// Metrics of the bundled faces at 96 DPI, as this platform computes them (see FontFace.h):
//   face asked             lfHeight weight  -> tmHeight tmAscent tmDescent intLead extLead avgWidth maxWidth
//   "MS Sans Serif"        -11      400        12       10       2         1       0       6        13
//   "MS Shell Dlg"         -11      700        12       10       2         1       0       6        13
//   "Arial"                -13      400        15       12       3         2       0       8        17
//   "Times New Roman"      -16      400        17       14       3         1       1       9        21
//   "Courier New"          -13      400        15       11       4         2       0       8        8
//   "Test Fixed"           -10      400        10       8        2         0       0       5        5
//   "Arial"                +16 (cell)  400     16       13       3         2       0       8        19
// (the dialog faces are the sans face narrowed to the classic dialog face's widths)
// Extents of "Hello, World": 51, 58, 70, 83, 96, 60, 77 pixels in the same order.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/base/tests/TempDir.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/RecordingDC.h"
#include "platform/gdi/tests/GdiTestUtil.h"

using namespace gditest;

namespace {

struct FontCase {
  const char* face;
  int height;
  int weight;
  TEXTMETRIC expected;
  int hello;
  BYTE pitchFamily;
};

TEXTMETRIC metrics(LONG h, LONG a, LONG d, LONG il, LONG el, LONG avg, LONG max) {
  TEXTMETRIC t{};
  t.tmHeight = h;
  t.tmAscent = a;
  t.tmDescent = d;
  t.tmInternalLeading = il;
  t.tmExternalLeading = el;
  t.tmAveCharWidth = avg;
  t.tmMaxCharWidth = max;
  return t;
}

// TMPF_FIXED_PITCH set means variable pitch.
constexpr BYTE kVarSwiss = FF_SWISS | TMPF_TRUETYPE | TMPF_VECTOR | TMPF_FIXED_PITCH;
constexpr BYTE kVarRoman = FF_ROMAN | TMPF_TRUETYPE | TMPF_VECTOR | TMPF_FIXED_PITCH;
constexpr BYTE kFixedModern = FF_MODERN | TMPF_TRUETYPE | TMPF_VECTOR;

HFONT font(const char* face, int height, int weight = FW_NORMAL, bool underline = false) {
  return CreateFont(height, 0, 0, 0, weight, 0, underline, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

struct RecCanvas {
  HDC dc;
  std::shared_ptr<plat::DcRecorder> log;
  RecCanvas(int w, int h) : dc(plat::CreateRecordingDC(w, h)), log(plat::RecorderOf(dc)) {}
  ~RecCanvas() { DeleteDC(dc); }
};

}  // namespace

TEST(Fonts, MetricsOfTheBundledFaces) {
  const FontCase cases[] = {
      {"MS Sans Serif", -11, 400, metrics(12, 10, 2, 1, 0, 6, 13), 51, kVarSwiss},
      {"MS Shell Dlg", -11, 700, metrics(12, 10, 2, 1, 0, 6, 13), 58, kVarSwiss},
      {"Arial", -13, 400, metrics(15, 12, 3, 2, 0, 8, 17), 70, kVarSwiss},
      {"Times New Roman", -16, 400, metrics(17, 14, 3, 1, 1, 9, 21), 83, kVarRoman},
      {"Courier New", -13, 400, metrics(15, 11, 4, 2, 0, 8, 8), 96, kFixedModern},
      {"Test Fixed", -10, 400, metrics(10, 8, 2, 0, 0, 5, 5), 60, kFixedModern},
      {"Arial", 16, 400, metrics(16, 13, 3, 2, 0, 8, 19), 77, kVarSwiss},
  };
  RecCanvas c(10, 10);
  for (const FontCase& fc : cases) {
    HFONT f = font(fc.face, fc.height, fc.weight);
    HGDIOBJ old = SelectObject(c.dc, f);
    TEXTMETRIC t{};
    ASSERT_TRUE(GetTextMetrics(c.dc, &t));
    SCOPED_TRACE(std::string(fc.face) + " " + std::to_string(fc.height));
    EXPECT_EQ(t.tmHeight, fc.expected.tmHeight);
    EXPECT_EQ(t.tmAscent, fc.expected.tmAscent);
    EXPECT_EQ(t.tmDescent, fc.expected.tmDescent);
    EXPECT_EQ(t.tmInternalLeading, fc.expected.tmInternalLeading);
    EXPECT_EQ(t.tmExternalLeading, fc.expected.tmExternalLeading);
    EXPECT_EQ(t.tmAveCharWidth, fc.expected.tmAveCharWidth);
    EXPECT_EQ(t.tmMaxCharWidth, fc.expected.tmMaxCharWidth);
    EXPECT_EQ(t.tmPitchAndFamily, fc.pitchFamily);
    EXPECT_EQ(t.tmWeight, fc.weight);
    SIZE s{};
    GetTextExtentPoint32(c.dc, "Hello, World", 12, &s);
    EXPECT_EQ(s.cx, fc.hello);
    EXPECT_EQ(s.cy, t.tmHeight);
    SelectObject(c.dc, old);
    DeleteObject(f);
  }
}

TEST(Fonts, ExtentIsTheSumOfTheCharacterWidths) {
  RecCanvas c(10, 10);
  HFONT f = font("Arial", -13);
  SelectObject(c.dc, f);
  const char* text = "Kerning AV To";
  int widths[256];
  ASSERT_TRUE(GetCharWidth32(c.dc, 0, 255, widths));
  int sum = 0;
  for (const char* p = text; *p; ++p) sum += widths[static_cast<unsigned char>(*p)];
  SIZE s{};
  GetTextExtentPoint32(c.dc, text, static_cast<int>(std::strlen(text)), &s);
  EXPECT_EQ(s.cx, sum);
  int fit = 0;
  int dx[13];
  GetTextExtentExPoint(c.dc, text, 13, widths['K'] + widths['e'], &fit, dx, &s);
  EXPECT_EQ(fit, 2);
  EXPECT_EQ(dx[12], sum);
  // The synthetic face: every character advances half the em.
  HFONT t = font("Test Fixed", -10);
  SelectObject(c.dc, t);
  GetTextExtentPoint32(c.dc, "iiiiWWWW", 8, &s);
  EXPECT_EQ(s.cx, 40);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
  DeleteObject(t);
}

TEST(Fonts, AFaceThatIsNotInstalledFallsBackToAnInstalledOne) {
  struct Restore {
    ~Restore() { plat::FontFace::setInstalledFilter(nullptr); }
  } restore;
  RecCanvas c(200, 20);
  auto extent = [&](const char* face, int weight) {
    HFONT f = font(face, -16, weight);
    SelectObject(c.dc, f);
    SIZE s{};
    GetTextExtentPoint32(c.dc, "Hello, World", 12, &s);
    TextOut(c.dc, 0, 0, "Hello", 5);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
    return s.cx;
  };
  const int sans = extent("Arial", FW_NORMAL);
  const int serif = extent("Times New Roman", FW_NORMAL);
  ASSERT_NE(sans, serif);
  // No serif face and no bold sans: serif text is drawn and measured with the sans face, bold with the regular.
  plat::FontFace::setInstalledFilter([](const std::string& family, bool bold, bool) {
    return family != "Liberation Serif" && !(family == "Liberation Sans" && bold);
  });
  c.log->clear();
  EXPECT_EQ(extent("Times New Roman", FW_NORMAL), sans);
  EXPECT_EQ(extent("Arial", FW_BOLD), sans);
  EXPECT_EQ(c.log->text().find("Liberation Serif"), std::string::npos);
  EXPECT_NE(c.log->text().find("font=\"Liberation Sans\""), std::string::npos);
}

TEST(Fonts, AKeptFaceFollowsTheMappingTheInstalledFacesAndAFontSelectedAgain) {
  struct Restore {
    ~Restore() { plat::FontFace::setInstalledFilter(nullptr); }
  } restore;
  RecCanvas c(200, 20);
  HFONT serif = font("Times New Roman", -16, FW_NORMAL);
  SelectObject(c.dc, serif);
  auto width = [&] {
    SIZE s{};
    GetTextExtentPoint32(c.dc, "Hello, World", 12, &s);
    int w[256];
    GetCharWidth32(c.dc, 0, 255, w);
    int sum = 0;
    for (unsigned char ch : std::string("Hello, World")) sum += w[ch];
    EXPECT_EQ(sum, s.cx);  // the widths and the extent come from one face
    return s.cx;
  };
  const int at16 = width();
  // The same font under a mapping that doubles every length: twice the pixels, the same logical extent within
  // rounding, and a face of twice the size.
  SetMapMode(c.dc, MM_ANISOTROPIC);
  SetWindowExtEx(c.dc, 1, 1, nullptr);
  SetViewportExtEx(c.dc, 2, 2, nullptr);
  TEXTMETRIC doubled{};
  GetTextMetrics(c.dc, &doubled);
  // Under the mapping a character's width is its one-character extent, both in logical units.
  for (char ch : {'W', 'i', 'm'}) {
    int w = 0;
    GetCharWidth32(c.dc, static_cast<unsigned char>(ch), static_cast<unsigned char>(ch), &w);
    SIZE one{};
    GetTextExtentPoint32(c.dc, &ch, 1, &one);
    EXPECT_EQ(w, one.cx) << ch;
  }
  SetMapMode(c.dc, MM_TEXT);
  TEXTMETRIC plain{};
  GetTextMetrics(c.dc, &plain);
  EXPECT_NEAR(doubled.tmHeight, plain.tmHeight, 1);
  EXPECT_EQ(width(), at16);
  // The serif face goes away while the font stays selected: the next call measures with the fallback.
  plat::FontFace::setInstalledFilter([](const std::string& family, bool, bool) { return family != "Liberation Serif"; });
  const int fallback = width();
  EXPECT_NE(fallback, at16);
  plat::FontFace::setInstalledFilter(nullptr);
  EXPECT_EQ(width(), at16);
  // Another font object at another size, selected in turn with the first.
  HFONT big = font("Times New Roman", -32, FW_NORMAL);
  SelectObject(c.dc, big);
  EXPECT_GT(width(), at16 * 3 / 2);
  SelectObject(c.dc, serif);
  EXPECT_EQ(width(), at16);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(big);
  DeleteObject(serif);
}

TEST(Fonts, LogFontsComeBackByteForByteAndFacesMap) {
  LOGFONT lf{};
  lf.lfHeight = -11;  // 8 points at 96 DPI
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = SYMBOL_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfQuality = DRAFT_QUALITY;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::strcpy(lf.lfFaceName, "Some Unknown Face");
  HFONT f = CreateFontIndirect(&lf);
  LOGFONT back{};
  EXPECT_EQ(GetObject(f, sizeof back, &back), static_cast<int>(sizeof(LOGFONT)));
  EXPECT_EQ(std::memcmp(&lf, &back, sizeof lf), 0);
  RecCanvas c(100, 20);
  SelectObject(c.dc, f);
  TextOut(c.dc, 0, 0, "x", 1);
  EXPECT_NE(c.log->text().find("font=\"Liberation Sans\""), std::string::npos);
  char face[LF_FACESIZE];
  GetTextFace(c.dc, sizeof face, face);
  EXPECT_STREQ(face, "Some Unknown Face");
  HFONT serif = font("Times New Roman", -12);
  HFONT mono = CreateFont(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, FIXED_PITCH | FF_MODERN, "Nonexistent Mono");
  SelectObject(c.dc, serif);
  TextOut(c.dc, 0, 0, "x", 1);
  SelectObject(c.dc, mono);
  TextOut(c.dc, 0, 0, "x", 1);
  EXPECT_NE(c.log->text().find("font=\"Liberation Serif\""), std::string::npos);
  EXPECT_NE(c.log->text().find("font=\"Liberation Mono\""), std::string::npos);
  // A face name filling all 32 bytes without a terminator is kept as it is and read within its bounds.
  LOGFONT full = lf;
  std::memset(full.lfFaceName, 'A', LF_FACESIZE);
  HFONT ff = CreateFontIndirect(&full);
  LOGFONT fullBack{};
  GetObject(ff, sizeof fullBack, &fullBack);
  EXPECT_EQ(std::memcmp(&full, &fullBack, sizeof full), 0);
  SelectObject(c.dc, ff);
  EXPECT_EQ(GetTextFace(c.dc, sizeof face, face), LF_FACESIZE - 1);
  DeleteObject(ff);
  // Stock fonts are 8-point LOGFONTs.
  LOGFONT gui{};
  GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  EXPECT_EQ(gui.lfHeight, -11);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  for (HFONT x : {f, serif, mono}) DeleteObject(x);
}

TEST(Fonts, EnumerationListsTheOfferedFacesWithTheirScripts) {
  RecCanvas c(1, 1);
  struct Seen {
    std::vector<std::string> faces;
    std::vector<std::string> arialScripts;
  } seen;
  LOGFONT lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  auto collect = [](const LOGFONT* l, const TEXTMETRIC* tm, DWORD type, LPARAM p) {
    auto* s = reinterpret_cast<Seen*>(p);
    EXPECT_EQ(type, TRUETYPE_FONTTYPE);
    EXPECT_EQ(tm->tmCharSet, l->lfCharSet);
    const auto* elf = reinterpret_cast<const ENUMLOGFONTEX*>(l);
    if (s->faces.empty() || s->faces.back() != l->lfFaceName) s->faces.push_back(l->lfFaceName);
    if (std::string(l->lfFaceName) == "Arial") s->arialScripts.push_back(reinterpret_cast<const char*>(elf->elfScript));
    return 1;
  };
  EnumFontFamiliesEx(c.dc, &lf, collect, reinterpret_cast<LPARAM>(&seen), 0);
  EXPECT_NE(std::find(seen.faces.begin(), seen.faces.end(), "Arial"), seen.faces.end());
  EXPECT_NE(std::find(seen.faces.begin(), seen.faces.end(), "Courier New"), seen.faces.end());
  EXPECT_NE(std::find(seen.faces.begin(), seen.faces.end(), "Liberation Serif"), seen.faces.end());
  const std::vector<std::string> scripts = {"Western", "Central European", "Cyrillic", "Greek", "Turkish", "Baltic"};
  EXPECT_EQ(seen.arialScripts, scripts);
  // One character set asked for: only that script; EnumFontFamilies: one entry per face.
  Seen greek;
  lf.lfCharSet = 161;
  EnumFontFamiliesEx(c.dc, &lf, collect, reinterpret_cast<LPARAM>(&greek), 0);
  EXPECT_EQ(greek.arialScripts, std::vector<std::string>{"Greek"});
  Seen plain;
  EnumFontFamilies(c.dc, "Arial", collect, reinterpret_cast<LPARAM>(&plain));
  EXPECT_EQ(plain.faces, std::vector<std::string>{"Arial"});
  EXPECT_EQ(plain.arialScripts.size(), 1u);
  // A callback answering 0 stops the enumeration and is the answer.
  EXPECT_EQ(EnumFontFamiliesEx(c.dc, &lf, [](const LOGFONT*, const TEXTMETRIC*, DWORD, LPARAM) { return 0; }, 0, 0), 0);
}

TEST(TextOutput, PlacementFollowsTheTextAlignment) {
  RecCanvas c(200, 60);
  HFONT f = font("Arial", -13);  // ascent 12, descent 3
  SelectObject(c.dc, f);
  SIZE s{};
  GetTextExtentPoint32(c.dc, "Cell", 4, &s);
  SetViewportOrgEx(c.dc, 10, 5, nullptr);
  TextOut(c.dc, 20, 10, "Cell", 4);  // top-left of the cell
  SetTextAlign(c.dc, TA_RIGHT | TA_BASELINE);
  TextOut(c.dc, 100, 30, "Cell", 4);
  SetTextAlign(c.dc, TA_CENTER | TA_BOTTOM | TA_RTLREADING);
  EXPECT_EQ(GetTextAlign(c.dc), TA_CENTER | TA_BOTTOM | TA_RTLREADING);
  TextOut(c.dc, 100, 50, "Cell", 4);
  const auto& lines = c.log->lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("text 30,15 \"Cell\"", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("text " + std::to_string(110 - s.cx) + ",23 ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("text " + std::to_string(110 - s.cx / 2) + ",40 ", 0), 0u) << lines[2];
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
}

TEST(TextOutput, OpaqueAndClippedOptions) {
  Canvas c(80, 30);
  HFONT f = font("Arial", -13);
  SelectObject(c.dc, f);
  SetBkColor(c.dc, kBlue);
  SetTextColor(c.dc, kBlack);
  // OPAQUE background mode fills the text cell: width x tmHeight.
  SIZE s{};
  GetTextExtentPoint32(c.dc, "ab", 2, &s);
  TextOut(c.dc, 2, 2, "ab", 2);
  int blueOrInk = 0;
  for (int y = 2; y < 2 + 15; ++y)
    for (int x = 2; x < 2 + s.cx; ++x) blueOrInk += c.at(x, y) != kWhite;
  EXPECT_EQ(blueOrInk, s.cx * 15);
  EXPECT_EQ(c.at(2 + s.cx, 2), kWhite);
  EXPECT_EQ(c.at(2, 17), kWhite);
  // ETO_CLIPPED keeps the text inside the rectangle; ETO_OPAQUE fills it even in TRANSPARENT mode.
  Canvas d(80, 30);
  SelectObject(d.dc, f);
  SetBkMode(d.dc, TRANSPARENT);
  SetBkColor(d.dc, kBlue);
  RECT r{10, 5, 20, 25};
  ExtTextOut(d.dc, 5, 8, ETO_CLIPPED | ETO_OPAQUE, &r, "WWWWW", 5, nullptr);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) {
      const bool inside = x >= 10 && x < 20 && y >= 5 && y < 25;
      if (!inside) {
        ASSERT_EQ(d.at(x, y), kWhite) << x << "," << y;
      }
    }
  EXPECT_EQ(d.at(10, 5), kBlue);
  // Text is antialiased: some pixels are between ink and background.
  int mixed = 0;
  for (int y = 5; y < 25; ++y)
    for (int x = 10; x < 20; ++x) mixed += d.at(x, y) != kBlue && d.at(x, y) != kBlack;
  EXPECT_GT(mixed, 0);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  SelectObject(d.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
}

TEST(TextOutput, RotatedFontsDrawAlongTheirEscapement) {
  Canvas c(60, 60);
  HFONT up = CreateFont(-12, 0, 900, 900, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SelectObject(c.dc, up);
  SetBkMode(c.dc, TRANSPARENT);
  TextOut(c.dc, 20, 50, "WWWW", 4);
  // Rotated by 90 degrees counter-clockwise about (20, 50): the run goes up from there, its cell to the right.
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      if (c.at(x, y) != kWhite) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  EXPECT_GE(minX, 20);
  EXPECT_LE(maxX, 20 + 15);
  EXPECT_LE(maxY, 50);
  EXPECT_LT(minY, 30);  // four wide letters reach well above the reference point
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(up);
}

// Text on a PDF page goes into the page raster too, where a later raster operation reads it: its pixels there
// are those a bitmap gets, whether the face was printed before (to the recording printer) or not. (The PDF's
// text once changed the size of the face the glyph images are rendered from: the glyphs first met after a
// page's first text went into the raster at the size cairo had set, with hundreds of times their pixels.)
TEST(TextOutput, APdfPageRasterHoldsTheGlyphsABitmapGetsWhateverWasPrintedBefore) {
  struct Restore {
    ~Restore() { plat::FontFace::setInstalledFilter(nullptr); }
  } restore;
  constexpr int kW = 600, kH = 120;
  // Two runs, the second with letters the first has not, read back through a blit into a bitmap.
  auto draw = [](HDC dc) {
    HFONT f = CreateFont(-41, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, f);
    SetBkMode(dc, TRANSPARENT);
    TextOut(dc, 10, 10, "Invoice", 7);
    TextOut(dc, 10, 65, "Part number 373", 15);
    MemCanvas read(kW, kH);
    BitBlt(read.dc, 0, 0, kW, kH, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteObject(f);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) pixels.push_back(read.at(x, y));
    return pixels;
  };
  const TempDir temp("brim-gdi-glyphs");
  const std::string pdf = temp / "glyphs.pdf";
  auto print = [&](const char* printer) {
    HDC dc = CreateDC(nullptr, printer, nullptr, nullptr);
    DOCINFO di{sizeof(DOCINFO), "Glyphs", pdf.c_str(), nullptr, 0};
    EXPECT_GT(StartDoc(dc, &di), 0);
    EXPECT_GT(StartPage(dc), 0);
    std::vector<COLORREF> pixels = draw(dc);
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    return pixels;
  };
  plat::FontFace::setInstalledFilter(nullptr);  // no face rendered yet
  MemCanvas bitmap(kW, kH);
  const std::vector<COLORREF> expected = draw(bitmap.dc);
  ASSERT_GT(std::count(expected.begin(), expected.end(), kBlack), 500);
  for (const bool recordedFirst : {false, true}) {
    plat::FontFace::setInstalledFilter(nullptr);
    if (recordedFirst) print("Recording");
    const std::vector<COLORREF> page = print("PDF");
    ASSERT_EQ(page.size(), expected.size());
    int differ = 0;
    for (size_t i = 0; i < page.size(); ++i) differ += page[i] != expected[i];
    EXPECT_EQ(differ, 0) << (recordedFirst ? "after a recording print" : "printed first");
  }
}

TEST(TextOutput, UpdateCurrentPositionAdvancesByTheExtent) {
  RecCanvas c(200, 30);
  HFONT f = font("Test Fixed", -10);
  SelectObject(c.dc, f);
  SetTextAlign(c.dc, TA_UPDATECP);
  MoveToEx(c.dc, 7, 3, nullptr);
  TextOut(c.dc, 0, 0, "abc", 3);
  TextOut(c.dc, 0, 0, "de", 2);
  POINT p{};
  GetCurrentPositionEx(c.dc, &p);
  EXPECT_EQ(p.x, 7 + 25);
  EXPECT_EQ(c.log->lines()[1].rfind("text 22,3 ", 0), 0u);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
}

TEST(DrawTextLayout, SingleLineAlignmentAndCalcRect) {
  RecCanvas c(200, 100);
  HFONT f = font("Test Fixed", -10);  // 5 px per character, 10 px lines
  SelectObject(c.dc, f);
  RECT r{0, 0, 100, 30};
  // Centred in 30 pixels: drawn from y = 10, so the text ends 20 below the top.
  EXPECT_EQ(DrawText(c.dc, "abcd", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER), 20);
  RECT calc{10, 10, 11, 11};
  EXPECT_EQ(DrawText(c.dc, "abcd", 4, &calc, DT_SINGLELINE | DT_CALCRECT), 10);
  EXPECT_EQ(calc.right, 30);
  EXPECT_EQ(calc.bottom, 20);
  RECT right{0, 0, 100, 30};
  DrawText(c.dc, "abcd", 4, &right, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  const auto& lines = c.log->lines();
  ASSERT_EQ(lines.size(), 2u);  // DT_CALCRECT draws nothing
  EXPECT_EQ(lines[0].rfind("text 40,10 \"abcd\"", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("text 80,20 \"abcd\"", 0), 0u) << lines[1];
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
}

TEST(DrawTextLayout, WordBreakLinesAndOverlongWords) {
  RecCanvas c(200, 100);
  HFONT f = font("Test Fixed", -10);
  SelectObject(c.dc, f);
  RECT r{0, 0, 50, 100};  // 10 characters per line
  EXPECT_EQ(DrawText(c.dc, "one two three four\r\nabcdefghijklmnop", -1, &r, DT_WORDBREAK | DT_NOPREFIX), 40);
  std::vector<std::string> texts;
  for (const auto& l : c.log->lines()) texts.push_back(l.substr(l.find('"'), l.find('"', l.find('"') + 1) - l.find('"') + 1));
  const std::vector<std::string> expected = {"\"one two\"", "\"three four\"", "\"abcdefghij\"", "\"klmnop\""};
  EXPECT_EQ(texts, std::vector<std::string>(expected.begin(), expected.end()));
  RECT calc{0, 0, 50, 0};
  EXPECT_EQ(DrawText(c.dc, "one two three four", -1, &calc, DT_WORDBREAK | DT_CALCRECT), 20);
  EXPECT_EQ(calc.bottom, 20);
  EXPECT_EQ(calc.right, 50);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
}

TEST(DrawTextLayout, PrefixesEllipsisAndModifyString) {
  Canvas c(120, 30);
  HFONT f = font("Test Fixed", -10);
  SelectObject(c.dc, f);
  auto log = plat::StartRecording(c.dc);
  RECT r{0, 0, 100, 20};
  DrawText(c.dc, "&File && more", -1, &r, DT_SINGLELINE);
  EXPECT_NE(log->lines()[0].find("\"File & more\""), std::string::npos);
  // The underline of "F": one pixel below the baseline (ascent 8), under its 5-pixel advance.
  EXPECT_NE(log->lines()[1].find("fill 0,9,5,10"), std::string::npos) << log->text();
  log->clear();
  char buf[32] = "A long file name.txt";
  RECT narrow{0, 0, 50, 10};  // 10 characters
  DrawText(c.dc, buf, -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX);
  EXPECT_STREQ(buf, "A long ...");
  EXPECT_NE(log->lines()[0].find("\"A long ...\""), std::string::npos);
  // A counted text without a terminator is rewritten only within its count.
  char counted[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', '#'};
  RECT four{0, 0, 20, 10};
  DrawText(c.dc, counted, 7, &four, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX);
  EXPECT_EQ(std::string(counted, 5), std::string("a...\0", 5));
  EXPECT_EQ(counted[7], '#');
  // Without DT_MODIFYSTRING the caller's text stays.
  char keep[32] = "A long file name.txt";
  DrawText(c.dc, keep, -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  EXPECT_STREQ(keep, "A long file name.txt");
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
}

TEST(DrawTextLayout, ExpandTabsAndClipping) {
  RecCanvas c(200, 40);
  HFONT f = font("Test Fixed", -10);  // average width 5: tab stops every 40 pixels
  SelectObject(c.dc, f);
  RECT r{0, 0, 200, 20};
  DrawText(c.dc, "ab\tc", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
  ASSERT_EQ(c.log->lines().size(), 2u);
  EXPECT_EQ(c.log->lines()[1].rfind("text 40,0 \"c\"", 0), 0u) << c.log->text();
  EXPECT_NE(c.log->lines()[0].find("clip 0,0,200,20"), std::string::npos);
  c.log->clear();
  DrawText(c.dc, "x", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(c.log->lines()[0].find("clip"), std::string::npos);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(f);
}

// The dialog templates are laid out in dialog units of the classic 8-point dialog face: its letters average the
// 6-pixel base unit. The dialog faces measure and draw to that, so a text made for a control fits it; the
// other sans faces keep their own widths.
TEST(Fonts, TheDialogFacesAverageTheDialogBaseUnitAndTheirTextsFitTheirControls) {
  RecCanvas c(10, 10);
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  auto extent = [&](const char* face, int weight, const char* text) {
    HFONT f = font(face, -11, weight);
    HGDIOBJ old = SelectObject(c.dc, f);
    SIZE s{};
    GetTextExtentPoint32(c.dc, text, static_cast<int>(std::strlen(text)), &s);
    int widths[256];
    GetCharWidth32(c.dc, 0, 255, widths);
    int sum = 0;
    for (const char* p = text; *p; ++p) sum += widths[static_cast<unsigned char>(*p)];
    EXPECT_EQ(s.cx, sum) << face;
    SelectObject(c.dc, old);
    DeleteObject(f);
    return static_cast<int>(s.cx);
  };
  for (const char* face : {"MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "System"}) {
    const int letters = extent(face, FW_NORMAL, kAlphabet);
    SCOPED_TRACE(face);
    EXPECT_NEAR(letters, 299, 3);
    EXPECT_EQ((letters + 26) / 52, LOWORD(GetDialogBaseUnits()));
    // A bold dialog text is wider than the regular one, still narrowed.
    EXPECT_GT(extent(face, FW_BOLD, kAlphabet), letters);
    EXPECT_LT(extent(face, FW_BOLD, kAlphabet), extent("Arial", FW_BOLD, kAlphabet));
  }
  EXPECT_EQ(extent("Arial", FW_NORMAL, kAlphabet), 334);
  // A 62-unit push button's label (two pixels inside each edge) holds its text, as the layout meant.
  const int label = 62 * LOWORD(GetDialogBaseUnits()) / 4 - 4;
  EXPECT_LE(extent("MS Shell Dlg", FW_NORMAL, "Add IC Power Pin..."), label);
  // The glyphs drawn are narrowed with the widths: the text's ink ends where its extent does.
  HFONT f = font("MS Shell Dlg", -11);
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateCompatibleBitmap(mem, 200, 20);
  HGDIOBJ oldBm = SelectObject(mem, bm);
  HGDIOBJ oldFont = SelectObject(mem, f);
  RECT all{0, 0, 200, 20};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SIZE s{};
  GetTextExtentPoint32(mem, "MMMMMMMMMM", 10, &s);
  TextOut(mem, 0, 0, "MMMMMMMMMM", 10);
  int inkRight = -1;
  for (int x = 0; x < 200; ++x)
    for (int y = 0; y < 20; ++y)
      if (GetPixel(mem, x, y) != RGB(255, 255, 255)) inkRight = x;
  EXPECT_GE(inkRight, s.cx - 3);
  EXPECT_LT(inkRight, s.cx);
  SelectObject(mem, oldFont);
  SelectObject(mem, oldBm);
  DeleteObject(bm);
  DeleteDC(mem);
  DeleteObject(f);
}
