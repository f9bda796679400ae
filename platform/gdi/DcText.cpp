// Fonts selected into DCs, text measurement and TextOut/ExtTextOut.
//
// Placement: with TA_TOP|TA_LEFT, (x, y) is the top-left of the character cell; the baseline is tmAscent below.
// TA_BASELINE puts the baseline at y, TA_BOTTOM the cell's bottom; TA_CENTER and TA_RIGHT move the run by half
// or all of its width. Glyphs sit at whole-pixel pen positions (the sum of the integer advances), so measurement
// and drawing always agree. Text is blended with 8-bit coverage into the surface (antialiased); on monochrome
// targets coverage >= 128 paints. Rotated fonts (escapement) are drawn rotated through cairo about the reference
// point; their measurement stays that of the unrotated run.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <strings.h>

#include <cstring>

#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/PrintJob.h"

namespace plat {

namespace {

std::string colorText(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

inline Pixel blend(Pixel d, Pixel c, unsigned a) {
  if (a >= 255) return c;
  const unsigned na = 255 - a;
  const unsigned r = (((c >> 16) & 0xFF) * a + ((d >> 16) & 0xFF) * na + 127) / 255;
  const unsigned g = (((c >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * na + 127) / 255;
  const unsigned b = ((c & 0xFF) * a + (d & 0xFF) * na + 127) / 255;
  return (d & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

}  // namespace

std::shared_ptr<FontFace> DeviceContext::font() const {
  HGDIOBJ handle = st_.font;
  const FontObject* f = fontOf(handle);
  if (!f) {
    handle = GetStockObject(SYSTEM_FONT);
    f = fontOf(handle);
  }
  const LOGFONTA& lf = f->lf;
  int h = lf.lfHeight;
  if (!isIdentityScale()) h = (h < 0 ? -1 : 1) * lengthToDeviceY(std::abs(h));
  const int w = lf.lfWidth > 0 ? lengthToDeviceX(lf.lfWidth) : 0;
  // Font handles carry a generation, so an equal handle is the same (unchangeable) font object.
  const std::uint64_t generation = FontFace::generation();
  if (resolved_.face && resolved_.handle == handle && resolved_.height == h && resolved_.width == w &&
      resolved_.generation == generation)
    return resolved_.face;
  auto face = FontFace::get(lf, FontFace::emForHeight(lf, h), w);
  resolved_ = ResolvedFont{handle, h, w, generation, face};
  return face;
}

void DeviceContext::charWidths(UINT first, UINT last, int* out) const {
  auto f = font();
  const bool identity = isIdentityScale();
  for (UINT c = first; c <= last; ++c) {
    const int w = f ? f->advance(static_cast<unsigned char>(c)) + st_.charExtra : 0;
    if (identity) {
      out[c - first] = std::abs(w);
    } else {
      const POINT a = toLogical(POINT{0, 0}), b = toLogical(POINT{w, 0});
      out[c - first] = std::abs(b.x - a.x);
    }
  }
}

SIZE DeviceContext::textExtent(const char* text, int count) const {
  auto f = font();
  if (!f || !text || count <= 0) return SIZE{0, f ? f->metrics().tmHeight : 0};
  const int w = f->extent(text, count) + st_.charExtra * count;
  // Back to logical units.
  const POINT a = toLogical(POINT{0, 0}), b = toLogical(POINT{w, f->metrics().tmHeight});
  return SIZE{std::abs(b.x - a.x), std::abs(b.y - a.y)};
}

bool DeviceContext::extTextOut(int x, int y, UINT options, const RECT* rect, const char* text, int count,
                               const INT* dx) {
  if (count < 0 || (count > 0 && !text)) return false;
  auto f = font();
  if (!f) return false;
  const FontObject* fo = fontOf(st_.font);
  const LOGFONTA lf = fo ? fo->lf : LOGFONTA{};
  const TEXTMETRICA& tm = f->metrics();
  const UINT align = st_.textAlign;
  POINT ref = (align & TA_UPDATECP) ? st_.cur : POINT{x, y};
  const POINT p = toSurface(ref.x, ref.y);

  // Advances in device pixels.
  int advKept[256];
  std::vector<int> advMore;
  if (count > 256) advMore.resize(static_cast<size_t>(count));
  int* const adv = count > 256 ? advMore.data() : advKept;
  int width = 0;
  for (int i = 0; i < count; ++i) {
    adv[i] = dx ? lengthToDeviceX(dx[i]) : f->advance(static_cast<unsigned char>(text[i])) + st_.charExtra;
    width += adv[i];
  }
  int left = p.x;
  if ((align & TA_CENTER) == TA_CENTER) left = p.x - width / 2;
  else if (align & TA_RIGHT) left = p.x - width;
  int baseline = p.y + tm.tmAscent;
  if ((align & TA_BASELINE) == TA_BASELINE) baseline = p.y;
  else if (align & TA_BOTTOM) baseline = p.y - tm.tmDescent;
  const int top = baseline - tm.tmAscent;

  RECT r{0, 0, 0, 0};
  if (rect) {
    r = rectToSurface(*rect);
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
  }
  const bool clipped = rect && (options & ETO_CLIPPED);
  const Pixel bk = devicePixel(st_.bkColor);
  Paint bkPaint;
  bkPaint.color = bk;
  if (rect && (options & ETO_OPAQUE)) fillRect(r, bkPaint);
  RECT box{left, top, left + width, top + tm.tmHeight};
  if (clipped) {
    box = RECT{std::max(box.left, r.left), std::max(box.top, r.top), std::min(box.right, r.right),
               std::min(box.bottom, r.bottom)};
  }
  if (st_.bkMode == OPAQUE && count > 0) fillRect(box, bkPaint);

  const Pixel color = devicePixel(st_.textColor);
  if (recorder_) {
    RECT reach = count > 0 ? RECT{left, top, left + width, top + tm.tmHeight} : RECT{0, 0, 0, 0};
    if (clipped) reach = RECT{std::max(reach.left, r.left), std::max(reach.top, r.top), std::min(reach.right, r.right),
                              std::min(reach.bottom, r.bottom)};
    const auto opaque = (rect && (options & ETO_OPAQUE)) ? visible(r) : std::nullopt;
    if (count == 0) {
      // FillSolidRect and the grid's colour fills: an opaque rectangle without text is a fill.
      if (opaque) record("fill " + rectText(*opaque) + " " + colorText(colorFromPixel(bk)));
    } else if (visible(reach) || opaque) {
      std::string line = "text " + std::to_string(left) + "," + std::to_string(top) + " \"" +
                         std::string(text, static_cast<size_t>(count)) + "\" font=\"" + f->family() +
                         "\" h=" + std::to_string(tm.tmHeight) + " w=" + std::to_string(tm.tmWeight) +
                         (lf.lfUnderline ? " u" : "") + (lf.lfStrikeOut ? " s" : "") + " " +
                         colorText(colorFromPixel(color));
      if (opaque) line += " opaque " + rectText(*opaque);
      if (clipped) line += " clip " + rectText(r);
      record(line);
    }
  }

  // The page raster takes the text in every case (a later raster operation reads it there); a PDF page takes
  // it as text, or, rotated, as the image of the pixels it changed.
  PrintJob* const pdf = vectorPage();
  const bool rotated = lf.lfEscapement % 3600 != 0;
  if (count > 0 && surface_) {
    if (rotated) {
      // Rotated run through cairo, about the reference point.
      cairo_t* cr = surface_->beginCairo();
      Region c = clip();
      if (clipped) c = c.intersected(r);
      for (const RECT& cr_ : c.rects())
        cairo_rectangle(cr, cr_.left, cr_.top, cr_.right - cr_.left, cr_.bottom - cr_.top);
      cairo_clip(cr);
      cairo_set_source_rgb(cr, GetRValue(st_.textColor) / 255.0, GetGValue(st_.textColor) / 255.0,
                           GetBValue(st_.textColor) / 255.0);
      cairo_set_font_face(cr, f->cairoFace());
      cairo_matrix_t m;
      cairo_matrix_init_scale(&m, f->em() * f->xScale(), f->em());
      cairo_set_font_matrix(cr, &m);
      cairo_translate(cr, p.x, p.y);
      cairo_rotate(cr, -lf.lfEscapement * M_PI / 1800.0);
      std::vector<cairo_glyph_t> glyphs;
      double pen = left - p.x;
      for (int i = 0; i < count; ++i) {
        const unsigned char ch = static_cast<unsigned char>(text[i]);
        glyphs.push_back(cairo_glyph_t{f->glyphIndex(ch), pen, static_cast<double>(baseline - p.y)});
        pen += adv[i];
      }
      cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
      surface_->endCairo(cr);
      if (pdf) {
        // Anywhere within the run's length and height of the reference point.
        const int reach = width + tm.tmHeight;
        RECT around{p.x - reach, p.y - reach, p.x + reach, p.y + reach};
        if (clipped) around = RECT{std::max(around.left, r.left), std::max(around.top, r.top),
                                   std::min(around.right, r.right), std::min(around.bottom, r.bottom)};
        rasterChanged(around);
      }
    } else {
      const Region& base = clip();
      Region own;
      if (clipped) own = base.intersected(r);
      const Region& c = clipped ? own : base;
      Surface& s = *surface_;
      int penX = left;
      for (int i = 0; i < count; ++i) {
        const Glyph& g = f->glyph(static_cast<unsigned char>(text[i]));
        const RECT gr{penX + g.left, baseline - g.top, penX + g.left + g.width, baseline - g.top + g.height};
        penX += adv[i];
        if (g.width == 0) continue;
        for (const RECT& cr : c.rects()) {
          if (cr.top >= gr.bottom) break;
          const int x0 = std::max(cr.left, gr.left), x1 = std::min(cr.right, gr.right);
          const int y0 = std::max(cr.top, gr.top), y1 = std::min(cr.bottom, gr.bottom);
          for (int yy = y0; yy < y1; ++yy) {
            const unsigned char* cov = g.coverage.data() + static_cast<size_t>(yy - gr.top) * g.width - gr.left;
            Pixel* row = s.row(yy);
            for (int xx = x0; xx < x1; ++xx) {
              const unsigned a = cov[xx];
              if (a == 0) continue;
              if (mono_) {
                if (a >= 128) row[xx] = color;
              } else {
                row[xx] = blend(row[xx], color, a);
              }
            }
          }
        }
      }
    }
  }
  if (pdf && count > 0 && !rotated) {
    PageText t;
    t.x = left;
    t.y = baseline;
    t.utf8 = FontFace::toUtf8(text, count);
    t.face = f;
    double pen = left;
    for (int i = 0; i < count; ++i) {
      const unsigned char ch = static_cast<unsigned char>(text[i]);
      t.glyphs.emplace_back(f->glyphIndex(ch), pen);
      t.clusterBytes.push_back(static_cast<int>(FontFace::toUtf8(text + i, 1).size()));
      pen += adv[i];
    }
    t.color = resolveColor(st_.textColor);
    Region c = clip();
    if (clipped) c = c.intersected(r);
    t.clip = c.bounds();
    pdf->vectorText(t);
  }
  if (count > 0 && (lf.lfUnderline || lf.lfStrikeOut)) {
    Paint line;
    line.color = color;
    Region c = Region(RECT{left, top, left + width, top + tm.tmHeight + f->lineThickness() + f->underlineOffset()});
    if (clipped) c = c.intersected(r);
    if (lf.lfUnderline) {
      const int uy = baseline + f->underlineOffset();
      fillRegion(c.intersected(RECT{left, uy, left + width, uy + f->lineThickness()}), line);
    }
    if (lf.lfStrikeOut) {
      const int sy = baseline - f->strikeOffset();
      fillRegion(c.intersected(RECT{left, sy, left + width, sy + f->lineThickness()}), line);
    }
  }
  if (align & TA_UPDATECP) {
    const POINT endLogical = toLogical(POINT{left + width - origin_.x, p.y - origin_.y});
    if ((align & TA_CENTER) == TA_CENTER) {
      // The current position does not move for centred text.
    } else if (align & TA_RIGHT) {
      st_.cur.x = toLogical(POINT{left - origin_.x, 0}).x;
    } else {
      st_.cur.x = endLogical.x;
    }
  }
  return true;
}

}  // namespace plat

using namespace plat;

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
  if (!lf) return nullptr;
  auto f = std::make_unique<FontObject>();
  // Kept byte for byte (callers compare LOGFONTs); every reader of the face name bounds it to LF_FACESIZE.
  f->lf = *lf;
  return static_cast<HFONT>(GdiTable::instance().add(std::move(f)));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic);
  lf.lfUnderline = static_cast<BYTE>(underline);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

BOOL GetTextMetricsA(HDC dc, LPTEXTMETRIC out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out) return FALSE;
  auto f = d->font();
  if (!f) return FALSE;
  *out = f->metrics();
  if (!d->isIdentityScale()) {
    // Metrics are answered in logical units.
    auto conv = [&](LONG v) {
      const POINT a = d->toLogical(POINT{0, 0}), b = d->toLogical(POINT{0, v});
      return std::abs(b.y - a.y);
    };
    auto convX = [&](LONG v) {
      const POINT a = d->toLogical(POINT{0, 0}), b = d->toLogical(POINT{v, 0});
      return std::abs(b.x - a.x);
    };
    out->tmHeight = conv(out->tmHeight);
    out->tmAscent = conv(out->tmAscent);
    out->tmDescent = conv(out->tmDescent);
    out->tmInternalLeading = conv(out->tmInternalLeading);
    out->tmExternalLeading = conv(out->tmExternalLeading);
    out->tmAveCharWidth = convX(out->tmAveCharWidth);
    out->tmMaxCharWidth = convX(out->tmMaxCharWidth);
  }
  return TRUE;
}

int GetTextFaceA(HDC dc, int count, LPSTR out) {
  DeviceContext* d = dcOf(dc);
  if (!d) return 0;
  const FontObject* f = fontOf(d->state().font);
  const char* name = f ? f->lf.lfFaceName : "";
  const int len = static_cast<int>(strnlen(name, LF_FACESIZE));
  if (!out) return len + 1;
  if (count <= 0) return 0;
  const int n = std::min(len, count - 1);
  std::memcpy(out, name, static_cast<size_t>(n));
  out[n] = '\0';
  return n;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out || count < 0 || (count > 0 && !text)) return FALSE;
  *out = d->textExtent(text, count);
  return TRUE;
}

BOOL GetTextExtentPointA(HDC dc, LPCSTR text, int count, LPSIZE out) {
  return GetTextExtentPoint32A(dc, text, count, out);
}

BOOL GetTextExtentExPointA(HDC dc, LPCSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out || count < 0 || (count > 0 && !text)) return FALSE;
  int total = 0, n = 0;
  bool stop = false;
  for (int i = 0; i < count; ++i) {
    total += d->textExtent(text + i, 1).cx;
    if (dx) dx[i] = total;
    if (!stop && (maxExtent < 0 || total <= maxExtent)) n = i + 1;
    else stop = true;
  }
  if (fit) *fit = n;
  *out = d->textExtent(text, count);
  return TRUE;
}

BOOL GetCharWidth32A(HDC dc, UINT first, UINT last, LPINT out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out || first > last || last > 255) return FALSE;
  d->charWidths(first, last, out);
  return TRUE;
}

BOOL GetCharWidthA(HDC dc, UINT first, UINT last, LPINT out) { return GetCharWidth32A(dc, first, last, out); }

BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out || first > last || last > 255) return FALSE;
  for (UINT c = first; c <= last; ++c) {
    const char ch = static_cast<char>(c);
    out[c - first] = ABC{0, static_cast<UINT>(d->textExtent(&ch, 1).cx), 0};
  }
  return TRUE;
}

namespace {

// Tab stops: explicit positions (relative to `origin`), one value = a repeating interval, none = 8 average chars.
int nextTab(int x, int tabCount, const INT* tabs, int avg) {
  if (tabCount <= 0 || !tabs) {
    const int step = std::max(1, 8 * avg);
    return (x / step + 1) * step;
  }
  if (tabCount == 1) {
    const int step = std::max(1, tabs[0]);
    return (x / step + 1) * step;
  }
  for (int i = 0; i < tabCount; ++i)
    if (tabs[i] > x) return tabs[i];
  return x;
}

}  // namespace

DWORD GetTabbedTextExtentA(HDC dc, LPCSTR text, int count, int tabCount, const INT* tabs) {
  DeviceContext* d = dcOf(dc);
  if (!d || count < 0 || (count > 0 && !text)) return 0;
  const int avg = d->font()->metrics().tmAveCharWidth;
  int x = 0;
  int start = 0;
  for (int i = 0; i <= count; ++i) {
    if (i == count || text[i] == '\t') {
      x += d->textExtent(text + start, i - start).cx;
      if (i < count) x = nextTab(x, tabCount, tabs, avg);
      start = i + 1;
    }
  }
  const int h = d->textExtent("", 0).cy;
  return static_cast<DWORD>(MAKELONG(x, h));
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
  DeviceContext* d = dcOf(dc);
  return d && d->extTextOut(x, y, 0, nullptr, text, count, nullptr) ? TRUE : FALSE;
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* r, LPCSTR text, UINT count, const INT* dx) {
  DeviceContext* d = dcOf(dc);
  return d && d->extTextOut(x, y, options, r, text, static_cast<int>(count), dx) ? TRUE : FALSE;
}

LONG TabbedTextOutA(HDC dc, int x, int y, LPCSTR text, int count, int tabCount, const INT* tabs, int tabOrigin) {
  DeviceContext* d = dcOf(dc);
  if (!d || count < 0 || (count > 0 && !text)) return 0;
  const int avg = d->font()->metrics().tmAveCharWidth;
  int pos = x - tabOrigin;
  int start = 0;
  for (int i = 0; i <= count; ++i) {
    if (i == count || text[i] == '\t') {
      d->extTextOut(pos + tabOrigin, y, 0, nullptr, text + start, i - start, nullptr);
      pos += d->textExtent(text + start, i - start).cx;
      if (i < count) pos = nextTab(pos, tabCount, tabs, avg);
      start = i + 1;
    }
  }
  return MAKELONG(pos + tabOrigin - x, d->textExtent("", 0).cy);
}

namespace {

// The character sets the bundled faces cover, with the script names the enumeration reports.
struct Script {
  BYTE charset;
  const char* name;
  DWORD codePageBit;  // FONTSIGNATURE fsCsb[0]
};
constexpr Script kScripts[] = {
    {ANSI_CHARSET, "Western", 0x00000001},    {238, "Central European", 0x00000002},
    {204, "Cyrillic", 0x00000004},            {161, "Greek", 0x00000008},
    {162, "Turkish", 0x00000010},             {186, "Baltic", 0x00000080},
};

// Enumerates the offered faces: every script of each face when `allScripts`, else the scripts equal to `charset`
// (DEFAULT_CHARSET: Western only).
int enumerateFaces(const LOGFONTA* lf, FONTENUMPROCA proc, LPARAM param, bool allScripts) {
  const BYTE charset = lf ? lf->lfCharSet : DEFAULT_CHARSET;
  char wantBuf[LF_FACESIZE + 1] = {};
  if (lf) std::memcpy(wantBuf, lf->lfFaceName, LF_FACESIZE);
  const char* want = wantBuf[0] ? wantBuf : nullptr;
  int result = 1;
  for (const auto& [name, pitchFamily] : FontFace::enumeratedFaces()) {
    if (want && strcasecmp(want, name.c_str()) != 0) continue;
    for (const Script& script : kScripts) {
      if (allScripts ? charset != DEFAULT_CHARSET && charset != script.charset
                     : script.charset != (charset == DEFAULT_CHARSET ? ANSI_CHARSET : charset))
        continue;
      ENUMLOGFONTEXA elf{};
      LOGFONTA& l = elf.elfLogFont;
      l.lfHeight = -11;
      l.lfWeight = FW_NORMAL;
      l.lfCharSet = script.charset;
      l.lfOutPrecision = OUT_STRING_PRECIS;
      l.lfClipPrecision = 2;
      l.lfQuality = PROOF_QUALITY;
      l.lfPitchAndFamily = pitchFamily;
      std::strncpy(l.lfFaceName, name.c_str(), LF_FACESIZE - 1);
      std::strncpy(reinterpret_cast<char*>(elf.elfFullName), name.c_str(), sizeof elf.elfFullName - 1);
      std::strncpy(reinterpret_cast<char*>(elf.elfStyle), "Regular", sizeof elf.elfStyle - 1);
      std::strncpy(reinterpret_cast<char*>(elf.elfScript), script.name, sizeof elf.elfScript - 1);
      NEWTEXTMETRICEXA ntm{};
      if (auto face = FontFace::get(l, 11, 0)) static_cast<TEXTMETRICA&>(ntm.ntmTm) = face->metrics();
      ntm.ntmTm.tmCharSet = script.charset;
      ntm.ntmTm.ntmSizeEM = 2048;
      ntm.ntmFontSig.fsCsb[0] = script.codePageBit;
      // The LOGFONT is the first member of the ENUMLOGFONTEX, as callers that read the script name expect.
      result = proc(&elf.elfLogFont, &ntm.ntmTm, TRUETYPE_FONTTYPE, param);
      if (result == 0) return 0;
    }
  }
  return result;
}

}  // namespace

int EnumFontFamiliesExA(HDC dc, const LOGFONTA* lf, FONTENUMPROCA proc, LPARAM param, DWORD) {
  if (!dcOf(dc) || !proc) return 0;
  return enumerateFaces(lf, proc, param, true);
}

int EnumFontFamiliesA(HDC dc, LPCSTR family, FONTENUMPROCA proc, LPARAM param) {
  if (!dcOf(dc) || !proc) return 0;
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  if (family) std::strncpy(lf.lfFaceName, family, LF_FACESIZE - 1);
  return enumerateFaces(&lf, proc, param, false);
}

LONG GetDialogBaseUnits() {
  // The system font's average width over the alphabet and its height.
  HDC dc = CreateCompatibleDC(nullptr);
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE s{};
  GetTextExtentPoint32A(dc, kAlphabet, 52, &s);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  DeleteDC(dc);
  return MAKELONG((s.cx / 26 + 1) / 2, tm.tmHeight);
}
