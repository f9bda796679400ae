#include "platform/gdi/Dib.h"

#include <algorithm>
#include <cstring>

#include "platform/base/ResourceTable.h"
#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/DeviceContext.h"

namespace plat {

namespace {

constexpr DWORD kMaskR = 0x00FF0000u, kMaskG = 0x0000FF00u, kMaskB = 0x000000FFu;

DibResult fail(std::string why) { return DibResult{std::nullopt, std::move(why)}; }

}  // namespace

Pixel DibView::pixel(int x, int y) const {
  const int row = bottomUp ? height - 1 - y : y;
  const BYTE* r = bits + static_cast<size_t>(row) * stride;
  auto fromTable = [&](unsigned i) -> Pixel {
    if (i >= colors.size()) return kOpaque;
    const RGBQUAD& q = colors[i];
    return kOpaque | (static_cast<Pixel>(q.rgbRed) << 16) | (static_cast<Pixel>(q.rgbGreen) << 8) | q.rgbBlue;
  };
  switch (bpp) {
    case 1: return fromTable((r[x / 8] >> (7 - x % 8)) & 1);
    case 4: return fromTable((x % 2) ? (r[x / 2] & 0x0F) : (r[x / 2] >> 4));
    case 8: return fromTable(r[x]);
    case 24: return kOpaque | (static_cast<Pixel>(r[x * 3 + 2]) << 16) | (static_cast<Pixel>(r[x * 3 + 1]) << 8) | r[x * 3];
    default: return kOpaque | (static_cast<Pixel>(r[x * 4 + 2]) << 16) | (static_cast<Pixel>(r[x * 4 + 1]) << 8) | r[x * 4];
  }
}

DibResult ParseDib(const void* info, size_t infoSize, const void* bits, size_t bitsSize) {
  if (!info) return fail("no bitmap header");
  if (infoSize && infoSize < sizeof(BITMAPINFOHEADER)) return fail("bitmap header truncated");
  DibView v;
  std::memcpy(&v.header, info, sizeof(BITMAPINFOHEADER));
  const BITMAPINFOHEADER& h = v.header;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 1024) return fail("unsupported bitmap header size");
  if (h.biPlanes != 1) return fail("bitmap planes must be 1");
  if (h.biWidth <= 0 || h.biWidth > 32767 || h.biHeight == 0 || h.biHeight > 32767 || h.biHeight < -32767)
    return fail("bad bitmap size");
  if (static_cast<long long>(h.biWidth) * std::abs(static_cast<long long>(h.biHeight)) > kMaxDibPixels)
    return fail("bitmap too large");
  const int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return fail("unsupported bits per pixel");
  size_t offset = h.biSize;
  if (h.biCompression == BI_BITFIELDS) {
    if (bpp != 32) return fail("bit fields need 32 bits per pixel");
    // The masks follow the classic header; a larger header holds them itself, in the same place.
    constexpr size_t kMasksAt = sizeof(BITMAPINFOHEADER);
    if ((h.biSize > kMasksAt && h.biSize < kMasksAt + 12) || (infoSize && infoSize < kMasksAt + 12))
      return fail("bit field masks truncated");
    DWORD masks[3];
    std::memcpy(masks, static_cast<const BYTE*>(info) + kMasksAt, sizeof masks);
    if (masks[0] != kMaskR || masks[1] != kMaskG || masks[2] != kMaskB) return fail("unsupported bit field masks");
    if (h.biSize == sizeof(BITMAPINFOHEADER)) offset += 12;
  } else if (h.biCompression != BI_RGB) {
    return fail("compressed bitmaps are not supported");
  }
  size_t colors = h.biClrUsed;
  if (bpp <= 8) {
    if (colors == 0) colors = size_t{1} << bpp;
    if (colors > (size_t{1} << bpp)) return fail("colour table larger than the bit depth allows");
  } else if (colors > 256) {
    return fail("colour table too large");
  }
  if (infoSize && infoSize < offset + colors * sizeof(RGBQUAD)) return fail("colour table truncated");
  v.colors.resize(colors);
  if (colors) std::memcpy(v.colors.data(), static_cast<const BYTE*>(info) + offset, colors * sizeof(RGBQUAD));
  v.headerBytes = offset + colors * sizeof(RGBQUAD);
  v.bpp = bpp;
  v.width = h.biWidth;
  v.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  v.bottomUp = h.biHeight > 0;
  v.stride = ((static_cast<size_t>(v.width) * bpp + 31) / 32) * 4;
  if (bitsSize && bitsSize < v.stride * v.height) return fail("bitmap rows truncated");
  if (!bits) return fail("no bitmap bits");
  v.bits = static_cast<const BYTE*>(bits);
  return DibResult{v, {}};
}

DibResult ParsePackedDib(const void* block, size_t size) {
  if (!block || size < sizeof(BITMAPINFOHEADER)) return fail("bitmap block too small");
  // Parse the header first to learn where the rows start.
  DibResult head = ParseDib(block, size, block, 0);
  if (!head.dib) return head;
  const size_t at = head.dib->headerBytes;
  if (at > size) return fail("colour table truncated");
  return ParseDib(block, size, static_cast<const BYTE*>(block) + at, size - at == 0 ? 1 : size - at);
}

SurfacePtr SurfaceFromDib(const DibView& dib) {
  auto s = Surface::create(dib.width, dib.height);
  if (!s) return nullptr;
  for (int y = 0; y < dib.height; ++y) {
    Pixel* row = s->row(y);
    for (int x = 0; x < dib.width; ++x) row[x] = dib.pixel(x, y);
  }
  return s;
}

namespace {

// The part of a DIB that an ordered source rectangle (top-down coordinates) reaches, as a surface of its own;
// the rectangle becomes relative to that surface, so the parts outside the DIB stay outside. A drawing that
// takes one image of a strip converts that image, not the whole strip.
SurfacePtr surfaceFromDibPart(const DibView& dib, RECT& srect) {
  const RECT part{std::max<LONG>(srect.left, 0), std::max<LONG>(srect.top, 0), std::min<LONG>(srect.right, dib.width),
                  std::min<LONG>(srect.bottom, dib.height)};
  if (part.right <= part.left || part.bottom <= part.top) return SurfaceFromDib(dib);
  auto s = Surface::create(part.right - part.left, part.bottom - part.top);
  if (!s) return nullptr;
  if (dib.bpp <= 8) {
    // Palette images: the colour table turned into pixels once, then an index a pixel (as DibView::pixel reads).
    Pixel table[256];
    for (unsigned i = 0; i < 256; ++i) {
      if (i >= dib.colors.size()) {
        table[i] = kOpaque;
        continue;
      }
      const RGBQUAD& q = dib.colors[i];
      table[i] = kOpaque | (static_cast<Pixel>(q.rgbRed) << 16) | (static_cast<Pixel>(q.rgbGreen) << 8) | q.rgbBlue;
    }
    for (int y = part.top; y < part.bottom; ++y) {
      Pixel* row = s->row(y - part.top) - part.left;
      const BYTE* r = dib.bits + static_cast<size_t>(dib.bottomUp ? dib.height - 1 - y : y) * dib.stride;
      for (int x = part.left; x < part.right; ++x) {
        unsigned i;
        if (dib.bpp == 8) i = r[x];
        else if (dib.bpp == 4) i = (x % 2) ? (r[x / 2] & 0x0F) : (r[x / 2] >> 4);
        else i = (r[x / 8] >> (7 - x % 8)) & 1;
        row[x] = table[i];
      }
    }
  } else {
    for (int y = part.top; y < part.bottom; ++y) {
      Pixel* row = s->row(y - part.top);
      for (int x = part.left; x < part.right; ++x) row[x - part.left] = dib.pixel(x, y);
    }
  }
  srect = RECT{srect.left - part.left, srect.top - part.top, srect.right - part.left, srect.bottom - part.top};
  return s;
}

}  // namespace

HGDIOBJ newBitmap(int w, int h, int bpp);

namespace {

// DIB sections: the caller's bits in the DIB's layout, copied into the surface when the section is drawn from or
// selected, and back from the surface when it is deselected, flushed (GdiFlush) or read (GetDIBits, GetObject).
void importBits(BitmapObject& bm) {
  if (!bm.isDibSection()) return;
  // The section keeps only the classic part of the caller's header (its masks were checked to be the standard
  // ones when it was made) and its colour table: they are read back as a classic header followed by that table.
  BITMAPINFOHEADER h = bm.dibHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biCompression = BI_RGB;
  h.biClrUsed = static_cast<DWORD>(bm.dibColors.size());
  std::vector<BYTE> info(sizeof h + bm.dibColors.size() * sizeof(RGBQUAD));
  std::memcpy(info.data(), &h, sizeof h);
  if (!bm.dibColors.empty())
    std::memcpy(info.data() + sizeof h, bm.dibColors.data(), bm.dibColors.size() * sizeof(RGBQUAD));
  DibResult r = ParseDib(info.data(), info.size(), bm.dibBits.data(), bm.dibBits.size());
  if (!r.dib) return;
  for (int y = 0; y < bm.height; ++y)
    for (int x = 0; x < bm.width; ++x) bm.surface->setPixel(x, y, r.dib->pixel(x, y));
}

// Writes `s` into rows of DIB layout `h` (with colour table `colors`) at `out`.
void writeRows(const Surface& s, const BITMAPINFOHEADER& h, const std::vector<RGBQUAD>& colors, BYTE* out,
               int firstRow, int rows) {
  const int w = h.biWidth, height = std::abs(h.biHeight), bpp = h.biBitCount;
  const size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  auto nearest = [&](Pixel p) -> unsigned {
    unsigned best = 0;
    long bestD = -1;
    for (unsigned i = 0; i < colors.size(); ++i) {
      const long dr = colors[i].rgbRed - static_cast<long>((p >> 16) & 0xFF);
      const long dg = colors[i].rgbGreen - static_cast<long>((p >> 8) & 0xFF);
      const long db = colors[i].rgbBlue - static_cast<long>(p & 0xFF);
      const long d = dr * dr + dg * dg + db * db;
      if (bestD < 0 || d < bestD) { bestD = d; best = i; }
    }
    return best;
  };
  for (int k = 0; k < rows; ++k) {
    const int dibRow = firstRow + k;  // counted from the start of the rows in memory
    const int y = h.biHeight > 0 ? height - 1 - dibRow : dibRow;
    BYTE* r = out + static_cast<size_t>(k) * stride;
    std::memset(r, 0, stride);
    for (int x = 0; x < w; ++x) {
      const Pixel p = s.pixel(x, y);
      switch (bpp) {
        case 1: if (nearest(p) & 1) r[x / 8] |= static_cast<BYTE>(0x80u >> (x % 8)); break;
        case 4: r[x / 2] |= static_cast<BYTE>((nearest(p) & 0x0F) << ((x % 2) ? 0 : 4)); break;
        case 8: r[x] = static_cast<BYTE>(nearest(p)); break;
        case 24: r[x * 3] = p & 0xFF; r[x * 3 + 1] = (p >> 8) & 0xFF; r[x * 3 + 2] = (p >> 16) & 0xFF; break;
        default: r[x * 4] = p & 0xFF; r[x * 4 + 1] = (p >> 8) & 0xFF; r[x * 4 + 2] = (p >> 16) & 0xFF; r[x * 4 + 3] = 0;
      }
    }
  }
}

}  // namespace

void exportDibBits(BitmapObject& bm) {
  if (!bm.isDibSection()) return;
  writeRows(*bm.surface, bm.dibHeader, bm.dibColors, bm.dibBits.data(), 0, bm.height);
}

void importDibBits(BitmapObject& bm) { importBits(bm); }

std::vector<HGDIOBJ>& liveSections() {
  static std::vector<HGDIOBJ> v;
  return v;
}

void syncDibSection(BitmapObject& bm) {
  if (!bm.isDibSection()) return;
  if (bm.dibBits != bm.dibShadow) importBits(bm);
  else exportDibBits(bm);
  bm.dibShadow = bm.dibBits;
}

}  // namespace plat

using namespace plat;

int StretchDIBits(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop) {
  DeviceContext* d = dcOf(dc);
  if (!d || usage != DIB_RGB_COLORS) return 0;
  DibResult r = ParseDib(info, 0, bits, 0);
  if (!r.dib) return 0;
  const DibView& dib = *r.dib;
  // Source rows count from the bottom of a bottom-up DIB.
  RECT srect = dib.bottomUp ? RECT{sx, dib.height - sy - sh, sx + sw, dib.height - sy} : RECT{sx, sy, sx + sw, sy + sh};
  bool flipX = false, flipY = false;
  mirror(srect.left, srect.right, flipX);
  mirror(srect.top, srect.bottom, flipY);
  auto src = surfaceFromDibPart(dib, srect);
  if (!src) return 0;
  const POINT d0 = d->toSurface(x, y), d1 = d->toSurface(x + w, y + h);
  RECT drect{d0.x, d0.y, d1.x, d1.y};
  mirror(drect.left, drect.right, flipX);
  mirror(drect.top, drect.bottom, flipY);
  d->blitPixels(drect, *src, srect, false, 0, rop, flipX, flipY);
  if (d->recorder())
    if (auto v = d->visible(drect)) d->record("dib " + rectText(*v) + " bpp=" + std::to_string(dib.bpp));
  return std::abs(sh);
}

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT startScan, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage) {
  DeviceContext* d = dcOf(dc);
  if (!d || usage != DIB_RGB_COLORS || !info) return 0;
  // `bits` holds `lines` rows starting at row `startScan` (counted from the bottom for bottom-up DIBs).
  BITMAPINFOHEADER hdr = info->bmiHeader;
  const int height = std::abs(hdr.biHeight);
  if (startScan >= static_cast<UINT>(height) || lines == 0) return 0;
  lines = std::min<UINT>(lines, static_cast<UINT>(height) - startScan);
  DibResult r = ParseDib(info, 0, bits, 0);
  if (!r.dib) return 0;
  DibView part = *r.dib;
  part.height = static_cast<int>(lines);
  auto strip = SurfaceFromDib(part);  // the rows present, top-down
  if (!strip) return 0;
  // Where the strip's rows sit in the whole image (top-down).
  const int stripTop = r.dib->bottomUp ? height - static_cast<int>(startScan + lines) : static_cast<int>(startScan);
  RECT src = r.dib->bottomUp ? RECT{sx, height - sy - static_cast<int>(h), sx + static_cast<int>(w), height - sy}
                             : RECT{sx, sy, sx + static_cast<int>(w), sy + static_cast<int>(h)};
  RECT inStrip{src.left, std::max<LONG>(src.top, stripTop) - stripTop, src.right,
               std::min<LONG>(src.bottom, stripTop + static_cast<int>(lines)) - stripTop};
  if (inStrip.bottom <= inStrip.top) return static_cast<int>(lines);
  const int dy = (inStrip.top + stripTop) - src.top;
  const POINT p = d->toSurface(x, y);
  RECT drect{p.x, p.y + dy, p.x + (inStrip.right - inStrip.left), p.y + dy + (inStrip.bottom - inStrip.top)};
  d->blitPixels(drect, *strip, inStrip, false, 0, SRCCOPY);
  if (d->recorder())
    if (auto v = d->visible(drect)) d->record("dib " + rectText(*v) + " bpp=" + std::to_string(r.dib->bpp));
  return static_cast<int>(lines);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section) return nullptr;
  static const BYTE kProbe = 0;
  DibResult r = ParseDib(info, 0, &kProbe, 0);
  if (!r.dib) return nullptr;
  HGDIOBJ h = newBitmap(r.dib->width, r.dib->height, 32);
  BitmapObject* bm = bitmapOf(h);
  if (!bm) return nullptr;
  bm->dibHeader = info->bmiHeader;
  bm->dibHeader.biSizeImage = static_cast<DWORD>(r.dib->stride * r.dib->height);
  bm->dibColors = r.dib->colors;
  bm->dibBits.assign(r.dib->stride * r.dib->height, 0);
  importDibBits(*bm);
  bm->dibShadow = bm->dibBits;
  liveSections().push_back(h);
  if (bits) *bits = bm->dibBits.data();
  return static_cast<HBITMAP>(h);
}

int SetDIBits(HDC, HBITMAP hbm, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  BitmapObject* bm = bitmapOf(hbm);
  if (!bm || usage != DIB_RGB_COLORS) return 0;
  DibResult r = ParseDib(info, 0, bits, 0);
  if (!r.dib) return 0;
  const int height = r.dib->height;
  if (start >= static_cast<UINT>(height)) return 0;
  lines = std::min<UINT>(lines, static_cast<UINT>(height) - start);
  DibView part = *r.dib;
  part.height = static_cast<int>(lines);
  const int top = r.dib->bottomUp ? height - static_cast<int>(start + lines) : static_cast<int>(start);
  for (int y = 0; y < part.height; ++y)
    for (int x = 0; x < part.width && x < bm->width; ++x) {
      Pixel p = part.pixel(x, y);
      if (bm->mono()) p = ((((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) > 382) ? 0xFFFFFFFFu : kOpaque;
      bm->surface->setPixel(x, top + y, p);
    }
  if (bm->isDibSection()) {
    exportDibBits(*bm);
    bm->dibShadow = bm->dibBits;
  }
  return static_cast<int>(lines);
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (!header) return nullptr;
  HBITMAP bm = CreateCompatibleBitmap(dc ? dc : CreateCompatibleDC(nullptr), header->biWidth, std::abs(header->biHeight));
  if (bm && (init & CBM_INIT)) {
    if (SetDIBits(dc, bm, 0, static_cast<UINT>(std::abs(header->biHeight)), bits, info, usage) == 0) {
      DeleteObject(bm);
      return nullptr;
    }
  }
  return bm;
}

int GetDIBits(HDC dc, HBITMAP hbm, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) {
  BitmapObject* bm = bitmapOf(hbm);
  if (!dcOf(dc) || !bm || !info || usage != DIB_RGB_COLORS) return 0;
  syncDibSection(*bm);
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (h.biBitCount == 0) {
    // Query: describe the bitmap.
    h.biWidth = bm->width;
    h.biHeight = bm->height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bm->mono() ? 1 : 32);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(((bm->width * h.biBitCount + 31) / 32) * 4 * bm->height);
    h.biClrUsed = 0;
    return bm->height;
  }
  if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8 && h.biBitCount != 24 && h.biBitCount != 32) return 0;
  if (h.biWidth != bm->width) h.biWidth = bm->width;
  if (std::abs(h.biHeight) != bm->height) h.biHeight = h.biHeight < 0 ? -bm->height : bm->height;
  h.biPlanes = 1;
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(((bm->width * h.biBitCount + 31) / 32) * 4 * bm->height);
  std::vector<RGBQUAD> colors;
  if (h.biBitCount <= 8) {
    const size_t n = size_t{1} << h.biBitCount;
    if (h.biBitCount == 1) {
      colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    } else {
      // The default palette's 16 (or 20 then black) colours.
      for (size_t i = 0; i < n; ++i) {
        const auto& e = defaultPaletteEntries()[std::min<size_t>(i, 19)];
        colors.push_back(i < 20 ? RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0} : RGBQUAD{0, 0, 0, 0});
      }
    }
    h.biClrUsed = 0;
    std::memcpy(info->bmiColors, colors.data(), colors.size() * sizeof(RGBQUAD));
  }
  if (start >= static_cast<UINT>(bm->height)) return 0;
  lines = std::min<UINT>(lines, static_cast<UINT>(bm->height) - start);
  if (!bits) return static_cast<int>(lines);
  writeRows(*bm->surface, h, colors, static_cast<BYTE*>(bits), static_cast<int>(start), static_cast<int>(lines));
  return static_cast<int>(lines);
}

HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage) {
  if (usage != DIB_RGB_COLORS) return nullptr;
  // The block's size is not known here; the header says how large it must be and the caller vouches for it.
  DibResult r = ParseDib(packedDib, 0, packedDib, 0);
  if (!r.dib) return nullptr;
  r = ParseDib(packedDib, 0, static_cast<const BYTE*>(packedDib) + r.dib->headerBytes, 0);
  if (!r.dib) return nullptr;
  auto b = std::make_unique<BrushObject>();
  b->style = BS_PATTERN;
  b->patternIsMono = false;
  b->colorPattern = Surface::create(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) b->colorPattern->setPixel(x, y, r.dib->pixel(x % r.dib->width, y % r.dib->height));
  return static_cast<HBRUSH>(GdiTable::instance().add(std::move(b)));
}

BOOL GdiFlush() {
  auto& live = liveSections();
  live.erase(std::remove_if(live.begin(), live.end(), [](HGDIOBJ h) { return bitmapOf(h) == nullptr; }), live.end());
  for (HGDIOBJ h : live) syncDibSection(*bitmapOf(h));
  return TRUE;
}

HBITMAP LoadBitmapA(HINSTANCE module, LPCSTR name) {
  HRSRC res = FindResource(module, name, RT_BITMAP);
  if (!res) return nullptr;
  HGLOBAL loaded = LoadResource(module, res);
  const void* data = LockResource(loaded);
  const DWORD size = SizeofResource(module, res);
  DibResult r = ParsePackedDib(data, size);
  if (!r.dib) return nullptr;
  const DibView& dib = *r.dib;
  auto isBlackWhite = [&] {
    if (dib.bpp != 1 || dib.colors.size() != 2) return false;
    const RGBQUAD& a = dib.colors[0];
    const RGBQUAD& b = dib.colors[1];
    return a.rgbRed == 0 && a.rgbGreen == 0 && a.rgbBlue == 0 && b.rgbRed == 255 && b.rgbGreen == 255 &&
           b.rgbBlue == 255;
  };
  HGDIOBJ h = newBitmap(dib.width, dib.height, isBlackWhite() ? 1 : 32);
  BitmapObject* bm = bitmapOf(h);
  if (!bm) return nullptr;
  for (int y = 0; y < dib.height; ++y)
    for (int x = 0; x < dib.width; ++x) bm->surface->setPixel(x, y, dib.pixel(x, y));
  return static_cast<HBITMAP>(h);
}
