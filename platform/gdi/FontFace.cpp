#include "platform/gdi/FontFace.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>
#include <optional>
#include <stdexcept>

#include "platform/base/CodePage.h"

namespace plat {

namespace {

// Dialog: the classic dialog faces, drawn with the sans glyphs narrowed to the dialog face's proportions.
enum class Kind { Sans, Serif, Mono, TestFixed, Dialog };

FT_Library library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) throw std::runtime_error("FreeType cannot be initialised");
    return l;
  }();
  return lib;
}

bool nameIs(const char* face, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (strcasecmp(face, n) == 0) return true;
  return false;
}

Kind kindFor(const LOGFONTA& lf) {
  char face[LF_FACESIZE + 1] = {};
  std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
  if (nameIs(face, {"Test Fixed"})) return Kind::TestFixed;
  if (nameIs(face, {"Times New Roman", "Times", "MS Serif", "Roman", "Georgia", "Liberation Serif", "serif"}))
    return Kind::Serif;
  if (nameIs(face, {"Courier New", "Courier", "Lucida Console", "Consolas", "Fixedsys", "Terminal",
                    "Liberation Mono", "monospace"}))
    return Kind::Mono;
  if (nameIs(face, {"MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "System", "Helv"})) return Kind::Dialog;
  const bool known = face[0] != '\0' &&
                     nameIs(face, {"Arial", "Tahoma", "Verdana", "Liberation Sans", "sans-serif", "Small Fonts"});
  if (!known) {
    if ((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN) return Kind::Mono;
    if ((lf.lfPitchAndFamily & 0xF0) == FF_ROMAN) return Kind::Serif;
  }
  return Kind::Sans;
}

const char* familyName(Kind k) {
  switch (k) {
    case Kind::Serif: return "Liberation Serif";
    case Kind::Mono:
    case Kind::TestFixed: return "Liberation Mono";
    default: return "Liberation Sans";
  }
}

bool fileExists(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0;
}

FontFace::InstalledFilter& installedFilter() {
  static FontFace::InstalledFilter filter;
  return filter;
}

bool installed(const std::string& family, bool bold, bool italic) {
  return !installedFilter() || installedFilter()(family, bold, italic);
}

bool fontconfigReady() {
  static const bool ready = [] {
    if (!FcInit()) return false;
    // The font set is read once: no rescans of the font directories while the program runs, so the faces
    // and metrics that drawing depends on never change under it.
    FcConfigSetRescanInterval(nullptr, 0);
    // Fontconfig keeps its configuration until FcFini; release it at exit so leak checkers stay quiet.
    std::atexit(FcFini);
    return true;
  }();
  return ready;
}

// Fontconfig's best match for a family and style: the file, and the family and style it really has.
struct Match {
  std::string file, family;
  bool bold = false, italic = false;
};

std::optional<Match> fontconfigMatch(const char* family, bool bold, bool italic) {
  if (!fontconfigReady()) return std::nullopt;
  std::optional<Match> out;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pat, &res)) {
    FcChar8* f = nullptr;
    FcChar8* fam = nullptr;
    int weight = 0, slant = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &f) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch &&
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch &&
        FcPatternGetInteger(match, FC_SLANT, 0, &slant) == FcResultMatch)
      out = Match{reinterpret_cast<const char*>(f), reinterpret_cast<const char*>(fam), weight >= FC_WEIGHT_BOLD,
                  slant != FC_SLANT_ROMAN};
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pat);
  return out;
}

// The file of one bundled face, checked to be that family and style (so a machine's own font configuration
// cannot change it); empty when it is not installed.
std::string bundledFile(const char* family, bool bold, bool italic) {
  if (!installed(family, bold, italic)) return {};
  if (auto m = fontconfigMatch(family, bold, italic);
      m && strcasecmp(m->family.c_str(), family) == 0 && m->bold == bold && m->italic == italic)
    return m->file;
  // The package's fixed location, when the font configuration does not answer with the family.
  std::string base = family;
  base.erase(std::remove(base.begin(), base.end(), ' '), base.end());
  const char* style = bold ? (italic ? "BoldItalic" : "Bold") : (italic ? "Italic" : "Regular");
  for (const char* dir : {"/usr/share/fonts/truetype/liberation2/", "/usr/share/fonts/truetype/liberation/"}) {
    const std::string p = std::string(dir) + base + "-" + style + ".ttf";
    if (fileExists(p)) return p;
  }
  return {};
}

struct Located {
  std::string file, family;
};

std::map<std::string, Located>& locatedCache() {
  static std::map<std::string, Located> cache;
  return cache;
}

// The face drawn for a bundled family and style. A face that is not installed falls back, as a font mapper
// does, to the nearest installed one: the family's regular style, then the other bundled families (the style
// asked for, then regular), then whatever face the font configuration offers. Only a machine without any font
// is refused, with an error naming the face asked for.
Located locate(const char* family, bool bold, bool italic) {
  const std::string key = std::string(family) + (bold ? "/b" : "/r") + (italic ? "i" : "");
  if (auto it = locatedCache().find(key); it != locatedCache().end()) return it->second;
  std::vector<std::pair<const char*, std::pair<bool, bool>>> tries = {{family, {bold, italic}}, {family, {false, false}}};
  for (const char* other : {"Liberation Sans", "Liberation Serif", "Liberation Mono"}) {
    if (strcasecmp(other, family) == 0) continue;
    tries.push_back({other, {bold, italic}});
    tries.push_back({other, {false, false}});
  }
  Located found;
  for (const auto& [name, style] : tries) {
    found.file = bundledFile(name, style.first, style.second);
    if (!found.file.empty()) {
      found.family = name;
      break;
    }
  }
  if (found.file.empty()) {
    if (auto m = fontconfigMatch("sans-serif", false, false); m && installed(m->family, m->bold, m->italic))
      found = Located{m->file, m->family};
  }
  if (found.file.empty()) throw std::runtime_error(std::string("no font installed to draw ") + family + " with");
  locatedCache()[key] = found;
  return found;
}

int scaleRound(long v, int em, int upem) {
  const double x = static_cast<double>(v) * em / upem;
  return static_cast<int>(std::floor(x + 0.5));
}

// Cache keys are numbers: the face kind, the style bits and the sizes packed into one word.
std::uint64_t styleKey(Kind k, bool bold, bool italic) {
  return (static_cast<std::uint64_t>(k) << 2) | (bold ? 2u : 0u) | (italic ? 1u : 0u);
}

std::uint64_t sizeKey(std::uint64_t style, int a, int b) {
  return (style << 48) ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 24) ^
         static_cast<std::uint64_t>(static_cast<std::uint32_t>(b));
}

struct SizeKeyHash {
  std::size_t operator()(const std::tuple<std::uint64_t, int, int>& k) const {
    return std::hash<std::uint64_t>()(sizeKey(std::get<0>(k), std::get<1>(k), std::get<2>(k)));
  }
};

using SizeKeyed = std::tuple<std::uint64_t, int, int>;

std::unordered_map<SizeKeyed, int, SizeKeyHash>& emCache() {
  static std::unordered_map<SizeKeyed, int, SizeKeyHash> cache;
  return cache;
}

std::unordered_map<SizeKeyed, std::shared_ptr<FontFace>, SizeKeyHash>& faceCache() {
  static std::unordered_map<SizeKeyed, std::shared_ptr<FontFace>, SizeKeyHash> cache;
  return cache;
}

std::map<std::string, double>& dialogScaleCache() {
  static std::map<std::string, double> cache;
  return cache;
}

// The dialog layouts are made for the classic 8-point dialog face: at its 11-pixel em the letters "A".."Z" and
// "a".."z" measure about 299 pixels (5.75 a letter; its dialog base unit, (299 + 26) / 52, is the 6 pixels the
// templates are laid out in). The sans face that draws it is wider (334 pixels), so the dialog faces draw its
// glyphs narrowed by this factor: texts measured and drawn with them take the room the layouts give them. One
// factor for every style and size, from the regular face's letters.
double dialogScale() {
  const Located regular = locate(familyName(Kind::Dialog), false, false);
  auto& cache = dialogScaleCache();
  if (auto it = cache.find(regular.file); it != cache.end()) return it->second;
  double scale = 1.0;
  FT_Face f = nullptr;
  if (FT_New_Face(library(), regular.file.c_str(), 0, &f) == 0) {
    long units = 0;
    for (char c = 'A'; c <= 'Z'; ++c)
      for (char letter : {c, static_cast<char>(c - 'A' + 'a')}) {
        FT_Fixed adv = 0;
        FT_Get_Advance(f, FT_Get_Char_Index(f, static_cast<FT_ULong>(letter)), FT_LOAD_NO_SCALE, &adv);
        units += adv;
      }
    if (units > 0) scale = std::min(1.0, (299.0 / 11.0) * f->units_per_EM / static_cast<double>(units));
    FT_Done_Face(f);
  }
  cache[regular.file] = scale;
  return scale;
}

std::uint64_t& cacheGeneration() {
  static std::uint64_t generation = 1;
  return generation;
}

}  // namespace

void FontFace::setInstalledFilter(InstalledFilter filter) {
  installedFilter() = std::move(filter);
  locatedCache().clear();
  dialogScaleCache().clear();
  emCache().clear();
  faceCache().clear();
  ++cacheGeneration();
}

std::uint64_t FontFace::generation() { return cacheGeneration(); }

// The font's text is code page 1252.
char32_t FontFace::toUnicode(unsigned char c) { return CharTo16(c); }

std::string FontFace::toUtf8(const char* s, int n) {
  return n > 0 ? Utf8From1252(std::string_view(s, static_cast<std::size_t>(n))) : std::string();
}

int FontFace::emForHeight(const LOGFONTA& lf, int deviceHeight) {
  if (deviceHeight < 0) return std::max(1, -deviceHeight);
  if (deviceHeight == 0) return 12;
  const Kind k = kindFor(lf);
  if (k == Kind::TestFixed) return std::max(1, deviceHeight);
  auto& known = emCache();
  const SizeKeyed key{styleKey(k, lf.lfWeight >= 600, lf.lfItalic != 0), deviceHeight, 0};
  if (auto it = known.find(key); it != known.end()) return it->second;
  // A positive height is the cell height: scale by the face's em against its win ascent + descent.
  const std::string file = locate(familyName(k), lf.lfWeight >= 600, lf.lfItalic != 0).file;
  FT_Face f = nullptr;
  if (FT_New_Face(library(), file.c_str(), 0, &f) != 0) return std::max(1, deviceHeight);
  int em = deviceHeight;
  if (const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2))) {
    const long cell = os2->usWinAscent + os2->usWinDescent;
    if (cell > 0) em = static_cast<int>(std::floor(static_cast<double>(deviceHeight) * f->units_per_EM / cell + 0.5));
  }
  FT_Done_Face(f);
  known[key] = std::max(1, em);
  return known[key];
}

std::shared_ptr<FontFace> FontFace::get(const LOGFONTA& lf, int emPixels, int widthPixels) {
  auto& cache = faceCache();
  const Kind k = kindFor(lf);
  const bool bold = lf.lfWeight >= 600;
  const bool italic = lf.lfItalic != 0;
  const SizeKeyed key{styleKey(k, bold, italic), emPixels, widthPixels};
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  std::shared_ptr<FontFace> f(new FontFace());
  f->bold_ = bold && k != Kind::TestFixed;
  f->italic_ = italic && k != Kind::TestFixed;
  const Located face = locate(familyName(k), f->bold_, f->italic_);
  f->family_ = k == Kind::TestFixed ? "Test Fixed" : face.family;
  const double narrowing = k == Kind::Dialog ? dialogScale() : 1.0;
  if (!f->open(face.file, emPixels, widthPixels, k == Kind::TestFixed, narrowing)) return nullptr;
  BYTE family = FF_SWISS;
  if (k == Kind::Serif) family = FF_ROMAN;
  if (k == Kind::Mono || k == Kind::TestFixed) family = FF_MODERN;
  const bool variable = k == Kind::Sans || k == Kind::Serif || k == Kind::Dialog;
  // TMPF_FIXED_PITCH set means variable pitch.
  f->tm_.tmPitchAndFamily = static_cast<BYTE>(family | TMPF_VECTOR | TMPF_TRUETYPE | (variable ? TMPF_FIXED_PITCH : 0));
  f->tm_.tmWeight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
  f->tm_.tmItalic = lf.lfItalic ? 255 : 0;
  f->tm_.tmUnderlined = lf.lfUnderline ? 255 : 0;
  f->tm_.tmStruckOut = lf.lfStrikeOut ? 255 : 0;
  f->tm_.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
  cache[key] = f;
  return f;
}

bool FontFace::open(const std::string& file, int em, int widthPixels, bool synthetic, double narrowing) {
  file_ = file;
  em_ = std::max(1, em);
  if (FT_New_Face(library(), file.c_str(), 0, &face_) != 0) return false;
  const int upem = face_->units_per_EM;
  const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
  const auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
  const long winAscent = os2 ? os2->usWinAscent : face_->ascender;
  const long winDescent = os2 ? os2->usWinDescent : -face_->descender;
  const long avg = os2 ? os2->xAvgCharWidth : upem / 2;
  TEXTMETRICA& tm = tm_;
  if (synthetic) {
    tm.tmAscent = static_cast<int>(std::floor(0.8 * em_ + 0.5));
    tm.tmDescent = em_ - tm.tmAscent;
    tm.tmAveCharWidth = std::max(1, em_ / 2);
    tm.tmMaxCharWidth = tm.tmAveCharWidth;
  } else {
    tm.tmAscent = scaleRound(winAscent, em_, upem);
    tm.tmDescent = scaleRound(winDescent, em_, upem);
    tm.tmAveCharWidth = scaleRound(avg, em_, upem);
    tm.tmMaxCharWidth = scaleRound(hhea ? hhea->advance_Width_Max : upem, em_, upem);
    if (hhea) {
      const long line = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
      tm.tmExternalLeading = std::max(0, scaleRound(line - winAscent - winDescent, em_, upem));
    }
  }
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - em_);
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;

  // lfWidth asks for an average character width; the face is stretched horizontally to match. Without it a
  // narrowed face (the dialog faces) scales its widths by its factor.
  if (widthPixels > 0 && !synthetic && tm.tmAveCharWidth > 0) {
    xScale_ = static_cast<double>(widthPixels) / (static_cast<double>(avg) * em_ / upem);
    tm.tmAveCharWidth = widthPixels;
    tm.tmMaxCharWidth = static_cast<int>(std::floor(tm.tmMaxCharWidth * xScale_ + 0.5));
  } else if (!synthetic && narrowing != 1.0) {
    xScale_ = narrowing;
    tm.tmAveCharWidth = std::max(1, static_cast<int>(std::floor(static_cast<double>(avg) * em_ * xScale_ / upem + 0.5)));
    tm.tmMaxCharWidth = static_cast<int>(std::floor(static_cast<double>(hhea ? hhea->advance_Width_Max : upem) * em_ *
                                                        xScale_ / upem + 0.5));
  }
  FT_Set_Char_Size(face_, static_cast<FT_F26Dot6>(std::lround(em_ * 64 * xScale_)), em_ * 64, 72, 72);

  for (int c = 0; c < 256; ++c) {
    glyphIndex_[c] = FT_Get_Char_Index(face_, toUnicode(static_cast<unsigned char>(c)));
    if (synthetic) {
      advance_[c] = tm.tmAveCharWidth;
      continue;
    }
    FT_Fixed adv = 0;
    FT_Get_Advance(face_, glyphIndex_[c], FT_LOAD_NO_SCALE, &adv);
    advance_[c] = static_cast<int>(std::floor(static_cast<double>(adv) * em_ * xScale_ / upem + 0.5));
  }
  // Control characters have no glyph and advance nothing (the classic faces draw them as the default glyph;
  // callers expand tabs and line breaks before they get here).
  for (int c = 0; c < 0x20; ++c) advance_[c] = synthetic ? tm.tmAveCharWidth : advance_[c];

  const long ulPos = face_->underline_position;  // negative: below the baseline
  const long ulThick = std::max<long>(face_->underline_thickness, 1);
  underlineOffset_ = std::max(1, scaleRound(-ulPos, em_, upem));
  lineThickness_ = std::max(1, scaleRound(ulThick, em_, upem));
  strikeOffset_ = std::max(1, os2 ? scaleRound(os2->yStrikeoutPosition, em_, upem) : tm.tmAscent / 3);
  return true;
}

FontFace::~FontFace() {
  if (cairoFace_) cairo_font_face_destroy(cairoFace_);
  if (face_) FT_Done_Face(face_);
}

int FontFace::extent(const char* s, int n) const {
  int w = 0;
  for (int i = 0; i < n; ++i) w += advance_[static_cast<unsigned char>(s[i])];
  return w;
}

const Glyph& FontFace::glyph(unsigned char c) {
  Glyph& g = glyphs_[c];
  if (g.loaded) return g;
  g.loaded = true;
  if (c < 0x20 || glyphIndex_[c] == 0) return g;
  if (FT_Load_Glyph(face_, glyphIndex_[c], FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return g;
  if (FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0) return g;
  const FT_Bitmap& bm = face_->glyph->bitmap;
  g.left = face_->glyph->bitmap_left;
  g.top = face_->glyph->bitmap_top;
  g.width = static_cast<int>(bm.width);
  g.height = static_cast<int>(bm.rows);
  g.coverage.resize(static_cast<size_t>(g.width) * g.height);
  for (int y = 0; y < g.height; ++y)
    std::memcpy(g.coverage.data() + static_cast<size_t>(y) * g.width, bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch,
                static_cast<size_t>(g.width));
  return g;
}

cairo_font_face_t* FontFace::cairoFace() {
  if (cairoFace_) return cairoFace_;
  // Cairo sets its own size and transform on the FreeType face it draws with (a PDF page's text, a rotated run),
  // so it draws with a face of its own: the glyph images rendered here keep this face's size whatever cairo drew
  // before. The cairo face owns it and closes it when cairo lets go of it, which may be after this object.
  constexpr int kLoad = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
  FT_Face own = nullptr;
  if (FT_New_Face(library(), file_.c_str(), 0, &own) == 0) {
    cairoFace_ = cairo_ft_font_face_create_for_ft_face(own, kLoad);
    static cairo_user_data_key_t ownFace;
    const auto close = [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); };
    if (cairo_font_face_set_user_data(cairoFace_, &ownFace, own, close) == CAIRO_STATUS_SUCCESS) return cairoFace_;
    cairo_font_face_destroy(cairoFace_);
    FT_Done_Face(own);
  }
  // No second face to be had (no memory or file handle for it): cairo shares this one.
  cairoFace_ = cairo_ft_font_face_create_for_ft_face(face_, kLoad);
  return cairoFace_;
}

const std::vector<std::pair<std::string, BYTE>>& FontFace::enumeratedFaces() {
  static const std::vector<std::pair<std::string, BYTE>> faces = {
      {"Arial", VARIABLE_PITCH | FF_SWISS},
      {"Courier New", FIXED_PITCH | FF_MODERN},
      {"Liberation Mono", FIXED_PITCH | FF_MODERN},
      {"Liberation Sans", VARIABLE_PITCH | FF_SWISS},
      {"Liberation Serif", VARIABLE_PITCH | FF_ROMAN},
      {"MS Sans Serif", VARIABLE_PITCH | FF_SWISS},
      {"MS Shell Dlg", VARIABLE_PITCH | FF_SWISS},
      {"Tahoma", VARIABLE_PITCH | FF_SWISS},
      {"Times New Roman", VARIABLE_PITCH | FF_ROMAN},
  };
  return faces;
}

}  // namespace plat
