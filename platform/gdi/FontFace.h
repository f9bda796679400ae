// FontFace: a LOGFONT resolved to one of the bundled faces at one pixel size, with the metrics, advances and
// glyph images that text output and measurement use.
//
// Face mapping (by name, case-insensitive, then by pitch and family):
//   serif  "Times New Roman", "Times", "MS Serif", "Roman", "Georgia", or an unknown name with FF_ROMAN
//   mono   "Courier New", "Courier", "Lucida Console", "Consolas", "Fixedsys", "Terminal", or an unknown name with
//          FIXED_PITCH or FF_MODERN
//   dialog "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "System", "Helv": the sans glyphs narrowed so the
//          letters measure the classic dialog face's 299 pixels at an 11-pixel em (a 6-pixel dialog base unit,
//          which the templates are laid out in); widths and metrics are those of the narrowed glyphs
//   sans   everything else ("Arial", "Tahoma", "Verdana", ...)
//   "Test Fixed": a synthetic face for unit tests that compute wraps: every character advances exactly
//          max(1, ppem / 2) pixels; ascent = round(0.8 ppem), descent = ppem - ascent, no leading; drawn with
//          the mono face's glyphs.
// The bundled faces are Liberation Sans, Serif and Mono (regular, bold for weight >= 600, italic), found through
// fontconfig; the file is checked to be that family, so a machine's own font configuration cannot change them.
// A face that is not installed falls back to the nearest installed one (the family's regular style, the other
// bundled families, then any face the font configuration offers); only a machine without fonts is refused.
//
// Sizes: negative lfHeight is the em size in pixels; positive is the cell height (em = height * unitsPerEm /
// (winAscent + winDescent), rounded); 0 means a 12-pixel em.
// Metrics (all rounded half up from font units): tmAscent = winAscent, tmDescent = winDescent, tmHeight = their
// sum, tmInternalLeading = tmHeight - em, tmExternalLeading = max(0, hhea line height - win height),
// tmAveCharWidth = OS/2 xAvgCharWidth, tmMaxCharWidth = hhea advanceWidthMax. Advances: each glyph's unhinted
// advance rounded to whole pixels; no kerning. Glyphs are rendered unhinted with 8-bit coverage, so the output
// depends only on the font files and the FreeType version.
#pragma once

#include <cstdint>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdiapi.h"

typedef struct FT_FaceRec_* FT_Face;
typedef struct _cairo_font_face cairo_font_face_t;

namespace plat {

struct Glyph {
  int left = 0;    // bitmap offset from the pen position
  int top = 0;     // bitmap top above the baseline
  int width = 0;
  int height = 0;
  std::vector<unsigned char> coverage;
  bool loaded = false;
};

class FontFace {
 public:
  // `emPixels` is the em size in device pixels (already mapped and made positive).
  static std::shared_ptr<FontFace> get(const LOGFONTA& lf, int emPixels, int widthPixels);
  ~FontFace();

  // The em size for an lfHeight (device units) as described above.
  static int emForHeight(const LOGFONTA& lf, int deviceHeight);

  const TEXTMETRICA& metrics() const { return tm_; }
  int advance(unsigned char c) const { return advance_[c]; }
  int extent(const char* s, int n) const;
  const std::string& family() const { return family_; }
  const std::string& file() const { return file_; }
  int em() const { return em_; }
  bool bold() const { return bold_; }
  bool italic() const { return italic_; }
  double xScale() const { return xScale_; }
  // Underline and strike-out bars: offset below (underline) or above (strike-out) the baseline, thickness.
  int underlineOffset() const { return underlineOffset_; }
  int strikeOffset() const { return strikeOffset_; }
  int lineThickness() const { return lineThickness_; }

  const Glyph& glyph(unsigned char c);
  unsigned glyphIndex(unsigned char c) const { return glyphIndex_[c]; }
  cairo_font_face_t* cairoFace();

  // Windows-1252 to Unicode.
  static char32_t toUnicode(unsigned char c);
  static std::string toUtf8(const char* s, int n);

  // Test aid: which bundled faces count as installed (family, bold, italic); an empty filter: every face found.
  using InstalledFilter = std::function<bool(const std::string& family, bool bold, bool italic)>;
  static void setInstalledFilter(InstalledFilter filter);
  // Changes whenever resolved faces may resolve differently (the installed filter changed): callers that keep
  // a resolved face compare it with the one they kept it at.
  static std::uint64_t generation();

  // The faces EnumFontFamiliesEx offers: classic names (mapped as above) and the bundled family names.
  static const std::vector<std::pair<std::string, BYTE>>& enumeratedFaces();

 private:
  FontFace() = default;
  bool open(const std::string& file, int em, int widthPixels, bool synthetic, double narrowing);

  std::string family_;
  std::string file_;
  FT_Face face_ = nullptr;
  cairo_font_face_t* cairoFace_ = nullptr;
  int em_ = 0;
  bool bold_ = false;
  bool italic_ = false;
  double xScale_ = 1.0;
  TEXTMETRICA tm_{};
  std::array<int, 256> advance_{};
  std::array<unsigned, 256> glyphIndex_{};
  std::array<Glyph, 256> glyphs_{};
  int underlineOffset_ = 1;
  int strikeOffset_ = 3;
  int lineThickness_ = 1;
};

}  // namespace plat
