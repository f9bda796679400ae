// Raster operations: PatBlt, BitBlt, StretchBlt with any ternary code, and the bitmap objects.
//
// The evaluator works on whole 24-bit colours: result bit = bit (P * 4 + S * 2 + D) of the code's third byte, for
// every bit of every channel (so a black/white mask selects whole colours). Alpha is the destination's.
// Colour/mono conversion on the way from source to destination:
//   colour -> mono: 1 (white) where the source pixel equals the SOURCE DC's background colour, else 0 (black);
//   mono -> colour: 0 becomes the DESTINATION's text colour, 1 its background colour.
// Stretching is nearest neighbour: destination column i takes source column floor((i + 0.5) * sw / dw).
#include <algorithm>
#include <cstring>

#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Dib.h"

namespace plat {

namespace {

bool usesSource(BYTE code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool usesPattern(BYTE code) { return (code >> 4) != (code & 0x0F); }

std::string hex8(DWORD v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(v));
  return buf;
}

}  // namespace

// A negative extent mirrors: the run starts at the given pixel and goes back, so [a + w + 1, a + 1) is covered
// (the classic idiom mirrors with StretchBlt(x + w - 1, ..., -w, ...)).
void mirror(LONG& a, LONG& b, bool& flip) {
  if (a <= b) return;
  const LONG lo = b + 1, hi = a + 1;
  a = lo;
  b = hi;
  flip = !flip;
}

bool DeviceContext::patBlt(int x, int y, int w, int h, DWORD rop) {
  const BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
  if (usesSource(code)) return false;
  RECT r = rectToSurface(RECT{x, y, x + w, y + h});
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  Paint p;
  if (usesPattern(code)) {
    p = brushPaint();
    if (p.none) return true;
  }
  if (code == 0x55) invertRect(r);
  else fillRect(r, p, code);
  if (recorder_)
    if (auto v = visible(r)) record("patblt " + rectText(*v) + " rop=" + hex8(rop));
  return true;
}

void DeviceContext::blitPixels(const RECT& dst, const Surface& src, const RECT& srcRect, bool srcMono,
                               COLORREF srcBk, DWORD rop, bool flipX, bool flipY) {
  if (!surface_) return;
  const BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
  const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  const int sw = srcRect.right - srcRect.left, sh = srcRect.bottom - srcRect.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const bool needPattern = usesPattern(code);
  Paint pat;
  if (needPattern) {
    pat = brushPaint();
    if (pat.none) pat = Paint{};  // a null brush reads as black
  }
  // Source conversion table.
  const Pixel bkSrc = pixelFromColor(resolveColor(srcBk));
  const Pixel monoZero = devicePixel(st_.textColor), monoOne = devicePixel(st_.bkColor);
  auto convert = [&](Pixel s) -> Pixel {
    if (srcMono == mono_) return s;
    if (srcMono) return (s & 0xFFFFFFu) ? monoOne : monoZero;
    return ((s & 0xFFFFFFu) == (bkSrc & 0xFFFFFFu)) ? 0xFFFFFFFFu : kOpaque;
  };
  const bool identity = dw == sw && dh == sh && !flipX && !flipY;
  // Column lookup for the stretch, over the columns the clip lets through only (a huge destination costs what
  // shows of it).
  const RECT box = clip().bounds();
  const int cx0 = std::max<int>(dst.left, box.left), cx1 = std::min<int>(dst.right, box.right);
  if (cx0 >= cx1) return;
  std::vector<int> colOf(static_cast<size_t>(cx1 - cx0));
  for (int x = cx0; x < cx1; ++x) {
    const long long i = x - dst.left;
    long long j = identity ? i : (2LL * i + 1) * sw / (2LL * dw);
    if (flipX) j = sw - 1 - j;
    colOf[x - cx0] = static_cast<int>(srcRect.left + j);
  }
  Surface& d = *surface_;
  forEachClipped(dst, [&](const RECT& c) {
    for (int y = c.top; y < c.bottom; ++y) {
      const long long i = y - dst.top;
      long long j = identity ? i : (2LL * i + 1) * sh / (2LL * dh);
      if (flipY) j = sh - 1 - j;
      const long long sy = srcRect.top + j;
      if (sy < 0 || sy >= src.height()) continue;
      const Pixel* srow = src.row(static_cast<int>(sy));
      Pixel* drow = d.row(y);
      if (code == 0xCC && srcMono == mono_ && identity) {
        // The common copy: clip the run to the source row and move it in one go.
        int x0 = c.left, x1 = c.right;
        const int off = srcRect.left - dst.left;
        x0 = std::max(x0, -off);
        x1 = std::min(x1, src.width() - off);
        if (x1 > x0) std::memmove(drow + x0, srow + x0 + off, static_cast<size_t>(x1 - x0) * sizeof(Pixel));
        continue;
      }
      for (int x = c.left; x < c.right; ++x) {
        const int sx = colOf[x - cx0];
        if (sx < 0 || sx >= src.width()) continue;
        const Pixel s = convert(srow[sx]);
        const Pixel p = needPattern ? pat.at(x, y) : 0;
        drow[x] = applyRop3(code, p, s, drow[x]);
      }
    }
  });
  rasterChanged(dst);
}

bool DeviceContext::stretchBlt(int x, int y, int w, int h, DeviceContext* src, int sx, int sy, int sw, int sh,
                               DWORD rop, bool) {
  const BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
  if (!usesSource(code)) return patBlt(x, y, w, h, rop);
  if (!src || !src->surface_ || !surface_) return false;
  const POINT d0 = toSurface(x, y), d1 = toSurface(x + w, y + h);
  POINT s0 = src->toSurface(sx, sy), s1 = src->toSurface(sx + sw, sy + sh);
  bool flipX = false, flipY = false;
  RECT dr{d0.x, d0.y, d1.x, d1.y}, sr{s0.x, s0.y, s1.x, s1.y};
  mirror(dr.left, dr.right, flipX);
  mirror(dr.top, dr.bottom, flipY);
  mirror(sr.left, sr.right, flipX);
  mirror(sr.top, sr.bottom, flipY);
  if (BitmapObject* bm = bitmapOf(src->st_.bitmap)) syncDibSection(*bm);
  // Copying within one surface reads from a snapshot of the source area.
  SurfacePtr source = src->surface_;
  if (source == surface_) {
    const RECT clipped{std::max<LONG>(sr.left, 0), std::max<LONG>(sr.top, 0),
                       std::min<LONG>(sr.right, source->width()), std::min<LONG>(sr.bottom, source->height())};
    if (clipped.right <= clipped.left || clipped.bottom <= clipped.top) return true;
    auto tmp = Surface::create(source->width(), source->height());
    source->copyTo(clipped, *tmp, POINT{clipped.left, clipped.top});
    source = tmp;
  }
  blitPixels(dr, *source, sr, src->mono_, src->st_.bkColor, rop, flipX, flipY);
  if (recorder_ && visible(dr)) {
    std::string line = "blit " + rectText(*visible(dr)) + " from " + std::to_string(sr.left) + "," + std::to_string(sr.top) +
                       " rop=" + hex8(rop);
    if (sr.right - sr.left != dr.right - dr.left || sr.bottom - sr.top != dr.bottom - dr.top)
      line += " stretch " + std::to_string(sr.right - sr.left) + "x" + std::to_string(sr.bottom - sr.top);
    record(line);
  }
  return true;
}

}  // namespace plat

using namespace plat;

BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) {
  DeviceContext* d = dcOf(dc);
  return d && d->patBlt(x, y, w, h, rop) ? TRUE : FALSE;
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  DeviceContext* d = dcOf(dst);
  if (!d) return FALSE;
  DeviceContext* s = src ? dcOf(src) : nullptr;
  if (src && !s) return FALSE;
  return d->stretchBlt(x, y, w, h, s, sx, sy, w, h, rop, false) ? TRUE : FALSE;
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
  DeviceContext* d = dcOf(dst);
  if (!d) return FALSE;
  DeviceContext* s = src ? dcOf(src) : nullptr;
  if (src && !s) return FALSE;
  return d->stretchBlt(x, y, w, h, s, sx, sy, sw, sh, rop, true) ? TRUE : FALSE;
}

// ---- bitmaps -------------------------------------------------------------------------------------------------

namespace plat {

HGDIOBJ newBitmap(int w, int h, int bpp) {
  // Bitmaps share the DIB size limit, so that a bad size cannot exhaust memory.
  if (static_cast<long long>(std::max(w, 1)) * std::max(h, 1) > kMaxDibPixels) return nullptr;
  auto bm = std::make_unique<BitmapObject>();
  bm->width = std::max(w, 1);
  bm->height = std::max(h, 1);
  bm->bitsPixel = bpp == 1 ? 1 : 32;
  bm->surface = Surface::create(bm->width, bm->height);
  if (!bm->surface) return nullptr;
  return GdiTable::instance().add(std::move(bm));
}

}  // namespace plat

namespace {

// Classic device-dependent bitmap bits: rows padded to 16 bits; 1 bpp MSB leftmost (1 = white), 24 bpp BGR,
// 32 bpp BGRX.
LONG rowBytes(int w, int bpp) { return ((w * bpp + 15) / 16) * 2; }

void putBits(BitmapObject& bm, const BYTE* bits, int bpp) {
  const LONG stride = rowBytes(bm.width, bpp);
  for (int y = 0; y < bm.height; ++y) {
    const BYTE* row = bits + static_cast<ptrdiff_t>(y) * stride;
    for (int x = 0; x < bm.width; ++x) {
      Pixel p;
      if (bpp == 1) p = ((row[x / 8] >> (7 - x % 8)) & 1) ? 0xFFFFFFFFu : kOpaque;
      else if (bpp == 24) p = kOpaque | (row[x * 3 + 2] << 16) | (row[x * 3 + 1] << 8) | row[x * 3];
      else p = kOpaque | (row[x * 4 + 2] << 16) | (row[x * 4 + 1] << 8) | row[x * 4];
      bm.surface->setPixel(x, y, p);
    }
  }
}

}  // namespace

HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (w < 0 || h < 0 || planes != 1) return nullptr;
  if (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
  if (w == 0 || h == 0) return static_cast<HBITMAP>(newBitmap(1, 1, 1));
  auto* h_ = newBitmap(w, h, static_cast<int>(bitsPerPixel));
  BitmapObject* bm = bitmapOf(h_);
  if (!bm) return nullptr;
  if (bm->mono()) bm->surface->fillAll(kOpaque);
  if (bits) putBits(*bm, static_cast<const BYTE*>(bits), static_cast<int>(bitsPerPixel));
  return static_cast<HBITMAP>(h_);
}

HBITMAP CreateBitmapIndirect(const BITMAP* b) {
  if (!b) return nullptr;
  return CreateBitmap(b->bmWidth, b->bmHeight, b->bmPlanes, b->bmBitsPixel, b->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h) {
  DeviceContext* d = dcOf(dc);
  if (!d || w < 0 || h < 0) return nullptr;
  if (w == 0 || h == 0) return static_cast<HBITMAP>(newBitmap(1, 1, 1));
  // Compatible with a memory DC means compatible with its selected bitmap: monochrome stays monochrome.
  const int bpp = (d->kind() == DcKind::Memory && d->mono()) ? 1 : 32;
  HGDIOBJ b = newBitmap(w, h, bpp);
  if (BitmapObject* bm = bitmapOf(b)) bm->surface->fillAll(kOpaque);
  return static_cast<HBITMAP>(b);
}

HBITMAP CreateDiscardableBitmap(HDC dc, int w, int h) { return CreateCompatibleBitmap(dc, w, h); }

LONG GetBitmapBits(HBITMAP h, LONG size, LPVOID out) {
  BitmapObject* bm = bitmapOf(h);
  if (!bm || size < 0) return 0;
  const int bpp = bm->mono() ? 1 : 32;
  const LONG stride = rowBytes(bm->width, bpp);
  const LONG total = stride * bm->height;
  if (!out) return total;
  BYTE* o = static_cast<BYTE*>(out);
  const LONG n = std::min(size, total);
  std::vector<BYTE> all(static_cast<size_t>(total), 0);
  for (int y = 0; y < bm->height; ++y) {
    BYTE* row = all.data() + static_cast<ptrdiff_t>(y) * stride;
    for (int x = 0; x < bm->width; ++x) {
      const Pixel p = bm->surface->pixel(x, y);
      if (bpp == 1) {
        if (p & 0xFFFFFFu) row[x / 8] |= static_cast<BYTE>(0x80u >> (x % 8));
      } else {
        row[x * 4] = p & 0xFF;
        row[x * 4 + 1] = (p >> 8) & 0xFF;
        row[x * 4 + 2] = (p >> 16) & 0xFF;
        row[x * 4 + 3] = 0;
      }
    }
  }
  std::memcpy(o, all.data(), static_cast<size_t>(n));
  return n;
}

LONG SetBitmapBits(HBITMAP h, DWORD size, const void* bits) {
  BitmapObject* bm = bitmapOf(h);
  if (!bm || !bits) return 0;
  const int bpp = bm->mono() ? 1 : 32;
  const LONG total = rowBytes(bm->width, bpp) * bm->height;
  if (static_cast<LONG>(size) < total) return 0;
  putBits(*bm, static_cast<const BYTE*>(bits), bpp);
  return total;
}

BOOL GetBitmapDimensionEx(HBITMAP h, LPSIZE out) {
  BitmapObject* bm = bitmapOf(h);
  if (!bm || !out) return FALSE;
  *out = bm->dimension;
  return TRUE;
}
