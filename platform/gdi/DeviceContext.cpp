#include "platform/gdi/DeviceContext.h"

#include <algorithm>
#include <cstdio>

#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/PrintJob.h"

namespace plat {

HGDIOBJ stockDefaultBitmap();

namespace {

// Rounds a * b / c half away from zero, in 64 bits.
LONG mulDivRound(long long a, long long b, long long c) {
  if (c == 0) return 0;
  long long n = a * b;
  const bool neg = (n < 0) != (c < 0);
  n = n < 0 ? -n : n;
  const long long d = c < 0 ? -c : c;
  const long long q = (n + d / 2) / d;
  return static_cast<LONG>(neg ? -q : q);
}

void retain(const DcState& s) {
  for (HGDIOBJ h : {s.pen, s.brush, s.font, s.bitmap, s.palette}) addSelection(h);
}
void release(const DcState& s) {
  for (HGDIOBJ h : {s.pen, s.brush, s.font, s.bitmap, s.palette}) releaseSelection(h);
}

// The classic 8x8 hatch masks; bit (7 - x) of row y set = hatch pixel. Lines run through row 0 and column 0.
constexpr BYTE kHatch[6][8] = {
    {0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL (top-left to bottom-right)
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL (bottom-left to top-right)
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

}  // namespace

std::string rectText(const RECT& r) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", static_cast<int>(r.left), static_cast<int>(r.top),
                static_cast<int>(r.right), static_cast<int>(r.bottom));
  return buf;
}

Pixel applyRop2(int rop2, Pixel pen, Pixel dst) {
  const unsigned code = static_cast<unsigned>(rop2 - 1) & 15u;
  Pixel r = 0;
  // Bit index = P * 2 + D of the 4-bit table (R2_code - 1).
  if (code & 1u) r |= ~pen & ~dst;
  if (code & 2u) r |= ~pen & dst;
  if (code & 4u) r |= pen & ~dst;
  if (code & 8u) r |= pen & dst;
  return (r & 0xFFFFFFu) | (dst & 0xFF000000u);
}

Pixel applyRop3(BYTE code, Pixel p, Pixel s, Pixel d) {
  Pixel r;
  switch (code) {
    case 0x00: r = 0; break;
    case 0xFF: r = 0xFFFFFFFFu; break;
    case 0xCC: r = s; break;
    case 0xF0: r = p; break;
    case 0xAA: r = d; break;
    case 0x55: r = ~d; break;
    case 0x33: r = ~s; break;
    case 0x5A: r = p ^ d; break;
    case 0x66: r = s ^ d; break;
    case 0x88: r = s & d; break;
    case 0xEE: r = s | d; break;
    default: {
      // Result bit = bit (P * 4 + S * 2 + D) of the code, for every bit of every channel.
      r = 0;
      for (unsigned i = 0; i < 8; ++i) {
        if (!((code >> i) & 1u)) continue;
        r |= ((i & 4u) ? p : ~p) & ((i & 2u) ? s : ~s) & ((i & 1u) ? d : ~d);
      }
    }
  }
  return (r & 0xFFFFFFu) | (d & 0xFF000000u);
}

DeviceContext::DeviceContext(DcKind kind, SurfacePtr surface, POINT origin)
    : GdiObject(kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC), kind_(kind), surface_(std::move(surface)),
      origin_(origin) {
  st_.pen = GetStockObject(BLACK_PEN);
  st_.brush = GetStockObject(WHITE_BRUSH);
  st_.font = GetStockObject(SYSTEM_FONT);
  st_.palette = GetStockObject(DEFAULT_PALETTE);
  if (kind == DcKind::Memory) {
    st_.bitmap = stockDefaultBitmap();
    surface_ = bitmapOf(st_.bitmap)->surface;
    mono_ = true;
  }
  retain(st_);
}

DeviceContext::~DeviceContext() {
  if (BitmapObject* bm = bitmapOf(st_.bitmap); bm && bm->selectedInto == this) {
    bm->selectedInto = nullptr;
    syncDibSection(*bm);
  }
  for (const DcState& s : saved_) release(s);
  release(st_);
}

void DeviceContext::setSurface(SurfacePtr s) {
  surface_ = std::move(s);
  clipDirty_ = true;
}

void DeviceContext::setOrigin(POINT o) {
  origin_ = o;
  clipDirty_ = true;
}

void DeviceContext::setPrintJob(std::unique_ptr<PrintJob> job) { printJob_ = std::move(job); }

PrintJob* DeviceContext::vectorPage() const {
  return printJob_ && printJob_->drawsVectors() ? printJob_.get() : nullptr;
}

void DeviceContext::rasterChanged(const RECT& r) {
  PrintJob* pdf = vectorPage();
  if (!pdf || !surface_) return;
  const RECT o{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
  if (auto v = visible(o)) pdf->rasterPatch(*v, *surface_);
}

int DeviceContext::save() {
  saved_.push_back(st_);
  retain(st_);
  return static_cast<int>(saved_.size());
}

bool DeviceContext::restore(int level) {
  const int n = static_cast<int>(saved_.size());
  if (level < 0) level = n + 1 + level;
  if (level < 1 || level > n) return false;
  // Drop the states above `level`, then make the state at `level` current (its references pass to st_).
  while (static_cast<int>(saved_.size()) > level) {
    release(saved_.back());
    saved_.pop_back();
  }
  const HGDIOBJ oldBitmap = st_.bitmap;
  DcState next = std::move(saved_.back());
  saved_.pop_back();
  const DcState old = st_;
  st_ = std::move(next);
  release(old);
  if (st_.bitmap != oldBitmap) {
    if (BitmapObject* bm = bitmapOf(oldBitmap); bm && bm->selectedInto == this) bm->selectedInto = nullptr;
    if (BitmapObject* bm = bitmapOf(st_.bitmap)) {
      bm->selectedInto = this;
      surface_ = bm->surface;
      mono_ = bm->mono();
    }
  }
  clipDirty_ = true;
  return true;
}

HGDIOBJ DeviceContext::select(HGDIOBJ h) {
  GdiObject* o = GdiTable::instance().get(h);
  if (!o) return nullptr;
  HGDIOBJ* slot = nullptr;
  switch (o->type) {
    case OBJ_PEN: slot = &st_.pen; break;
    case OBJ_BRUSH: slot = &st_.brush; break;
    case OBJ_FONT: slot = &st_.font; break;
    case OBJ_PAL: slot = &st_.palette; break;
    case OBJ_BITMAP: {
      if (kind_ != DcKind::Memory) return nullptr;
      auto* bm = static_cast<BitmapObject*>(o);
      if (bm->selectedInto && bm->selectedInto != this) return nullptr;
      if (BitmapObject* old = bitmapOf(st_.bitmap); old && old != bm) {
        old->selectedInto = nullptr;
        syncDibSection(*old);
      }
      syncDibSection(*bm);
      if (!bm->stock) bm->selectedInto = this;
      surface_ = bm->surface;
      mono_ = bm->mono();
      clipDirty_ = true;
      slot = &st_.bitmap;
      break;
    }
    default: return nullptr;
  }
  const HGDIOBJ old = *slot;
  if (old == h) return old;
  addSelection(h);
  *slot = h;
  releaseSelection(old);
  return old;
}

// ---- mapping -------------------------------------------------------------------------------------------------

bool DeviceContext::isIdentityScale() const {
  return st_.mapMode == MM_TEXT || (st_.windowExt.cx == st_.viewportExt.cx && st_.windowExt.cy == st_.viewportExt.cy);
}

POINT DeviceContext::toDevice(POINT p) const {
  if (isIdentityScale())
    return POINT{p.x - st_.windowOrg.x + st_.viewportOrg.x, p.y - st_.windowOrg.y + st_.viewportOrg.y};
  return POINT{mulDivRound(static_cast<long long>(p.x) - st_.windowOrg.x, st_.viewportExt.cx, st_.windowExt.cx) +
                   st_.viewportOrg.x,
               mulDivRound(static_cast<long long>(p.y) - st_.windowOrg.y, st_.viewportExt.cy, st_.windowExt.cy) +
                   st_.viewportOrg.y};
}

POINT DeviceContext::toLogical(POINT d) const {
  if (isIdentityScale())
    return POINT{d.x - st_.viewportOrg.x + st_.windowOrg.x, d.y - st_.viewportOrg.y + st_.windowOrg.y};
  return POINT{mulDivRound(static_cast<long long>(d.x) - st_.viewportOrg.x, st_.windowExt.cx, st_.viewportExt.cx) +
                   st_.windowOrg.x,
               mulDivRound(static_cast<long long>(d.y) - st_.viewportOrg.y, st_.windowExt.cy, st_.viewportExt.cy) +
                   st_.windowOrg.y};
}

RECT DeviceContext::rectToDevice(const RECT& r) const {
  const POINT a = toDevice(POINT{r.left, r.top});
  const POINT b = toDevice(POINT{r.right, r.bottom});
  // Taken literally in device space: a rectangle whose device corners are out of order paints nothing, so an
  // inverted MM_TEXT rectangle is empty while a y-up mapping mode takes its rectangles with top > bottom.
  RECT out{a.x, a.y, b.x, b.y};
  return out;
}

RECT DeviceContext::rectToSurface(const RECT& r) const {
  RECT d = rectToDevice(r);
  d.left += origin_.x;
  d.right += origin_.x;
  d.top += origin_.y;
  d.bottom += origin_.y;
  return d;
}

int DeviceContext::lengthToDeviceX(int len) const {
  if (isIdentityScale()) return len;
  const LONG v = mulDivRound(len, st_.viewportExt.cx, st_.windowExt.cx);
  return v < 0 ? -v : v;
}

int DeviceContext::lengthToDeviceY(int len) const {
  if (isIdentityScale()) return len;
  const LONG v = mulDivRound(len, st_.viewportExt.cy, st_.windowExt.cy);
  return v < 0 ? -v : v;
}

// ---- clipping ------------------------------------------------------------------------------------------------

void DeviceContext::setSystemClip(std::optional<Region> surfaceRegion) {
  sysClip_ = std::move(surfaceRegion);
  clipDirty_ = true;
}

const Region& DeviceContext::clip() const {
  if (!clipDirty_) return clipCache_;
  Region c = surface_ ? Region(surface_->bounds()) : Region();
  if (sysClip_) c = c.intersected(*sysClip_);
  if (st_.appClip) {
    Region app = *st_.appClip;
    app.offset(origin_.x, origin_.y);
    c = c.intersected(app);
  }
  clipCache_ = std::move(c);
  clipDirty_ = false;
  return clipCache_;
}

int DeviceContext::combineAppClip(const Region* deviceRegion, int mode) {
  if (mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (!deviceRegion) {
    if (mode != RGN_COPY) return ERROR;
    st_.appClip.reset();
  } else {
    // Without an application clip the DC's whole device area takes its place.
    RECT all{-origin_.x, -origin_.y, 0, 0};
    if (surface_) {
      all.right = surface_->width() - origin_.x;
      all.bottom = surface_->height() - origin_.y;
    }
    const Region current = st_.appClip ? *st_.appClip : Region(all);
    st_.appClip = Region::combine(mode == RGN_COPY ? *deviceRegion : current, *deviceRegion,
                                  mode == RGN_COPY ? Region::Op::Copy : static_cast<Region::Op>(mode));
  }
  clipDirty_ = true;
  if (recorder_) record("clip kind=" + std::to_string(clip().kind()) + " box=" + rectText(clip().bounds()));
  return clip().kind();
}

// ---- paints --------------------------------------------------------------------------------------------------

Pixel DeviceContext::devicePixel(COLORREF c) const {
  c = resolveColor(c);
  if (!mono_) return pixelFromColor(c);
  const unsigned sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
  return sum > 382 ? 0xFFFFFFFFu : kOpaque;
}

Paint DeviceContext::brushPaint(HGDIOBJ brush) const {
  Paint p;
  const BrushObject* b = brushOf(brush);
  if (!b || b->style == BS_NULL) {
    p.none = true;
    return p;
  }
  p.orgX = st_.brushOrg.x - origin_.x;
  p.orgY = st_.brushOrg.y - origin_.y;
  switch (b->style) {
    case BS_SOLID:
      p.color = devicePixel(brushColor(*b, st_.dcBrushColor));
      break;
    case BS_HATCHED: {
      p.patterned = true;
      const Pixel fg = devicePixel(brushColor(*b, st_.dcBrushColor));
      const Pixel bg = devicePixel(st_.bkColor);
      p.masked = st_.bkMode == TRANSPARENT;
      for (int y = 0; y < 8; ++y) {
        p.mask[y] = kHatch[b->hatch][y];
        for (int x = 0; x < 8; ++x) p.pat[y][x] = ((kHatch[b->hatch][y] >> (7 - x)) & 1) ? fg : bg;
      }
      break;
    }
    case BS_PATTERN: {
      p.patterned = true;
      if (b->patternIsMono) {
        // Monochrome patterns: 0 bits take the text colour, 1 bits the background colour.
        const Pixel zero = devicePixel(st_.textColor), one = devicePixel(st_.bkColor);
        for (int y = 0; y < 8; ++y)
          for (int x = 0; x < 8; ++x) p.pat[y][x] = ((b->mono.bits[y] >> (7 - x)) & 1) ? one : zero;
      } else {
        for (int y = 0; y < 8; ++y)
          for (int x = 0; x < 8; ++x) p.pat[y][x] = devicePixel(colorFromPixel(b->colorPattern->pixel(x, y)));
      }
      break;
    }
    default:
      p.none = true;
  }
  return p;
}

// ---- kernels -------------------------------------------------------------------------------------------------

void DeviceContext::fillRect(const RECT& r, const Paint& p, BYTE rop3) {
  if (p.none || !surface_) return;
  Surface& s = *surface_;
  PrintJob* pdf = vectorPage();
  const bool solid = !p.patterned && !p.masked && rop3 == 0xF0;
  forEachClipped(r, [&](const RECT& c) {
    if (pdf && solid) pdf->vectorFill(c, p.color);
    for (int y = c.top; y < c.bottom; ++y) {
      Pixel* row = s.row(y);
      if (!p.patterned && !p.masked && rop3 == 0xF0) {
        std::fill(row + c.left, row + c.right, p.color);
        continue;
      }
      for (int x = c.left; x < c.right; ++x) {
        if (!p.paints(x, y)) continue;
        row[x] = rop3 == 0xF0 ? p.at(x, y) : applyRop3(rop3, p.at(x, y), 0, row[x]);
      }
    }
  });
  if (pdf && !solid) rasterChanged(r);
}

void DeviceContext::fillRegion(const Region& r, const Paint& p, BYTE rop3) {
  for (const RECT& rc : r.rects()) fillRect(rc, p, rop3);
}

void DeviceContext::penRect(const RECT& r, Pixel color) {
  if (!surface_) return;
  Surface& s = *surface_;
  const int rop2 = st_.rop2;
  PrintJob* pdf = vectorPage();
  forEachClipped(r, [&](const RECT& c) {
    if (pdf && rop2 == R2_COPYPEN) pdf->vectorFill(c, color);
    for (int y = c.top; y < c.bottom; ++y) {
      Pixel* row = s.row(y);
      if (rop2 == R2_COPYPEN) {
        std::fill(row + c.left, row + c.right, color);
      } else {
        for (int x = c.left; x < c.right; ++x) row[x] = applyRop2(rop2, color, row[x]);
      }
    }
  });
  if (pdf && rop2 != R2_COPYPEN) rasterChanged(r);
}

void DeviceContext::penSpan(int y, int x0, int x1, Pixel color) { penRect(RECT{x0, y, x1, y + 1}, color); }

void DeviceContext::penPixel(int x, int y, Pixel color) {
  if (!surface_ || !clip().contains(x, y)) return;
  Pixel& px = surface_->row(y)[x];
  px = st_.rop2 == R2_COPYPEN ? color : applyRop2(st_.rop2, color, px);
  if (PrintJob* pdf = vectorPage()) {
    if (st_.rop2 == R2_COPYPEN) pdf->vectorFill(RECT{x, y, x + 1, y + 1}, color);
    else pdf->rasterPatch(RECT{x, y, x + 1, y + 1}, *surface_);
  }
}

void DeviceContext::invertRect(const RECT& r) {
  if (!surface_) return;
  Surface& s = *surface_;
  forEachClipped(r, [&](const RECT& c) {
    for (int y = c.top; y < c.bottom; ++y) {
      Pixel* row = s.row(y);
      for (int x = c.left; x < c.right; ++x) row[x] ^= 0x00FFFFFFu;
    }
  });
  rasterChanged(r);
}

std::optional<RECT> DeviceContext::visible(const RECT& r) const {
  if (r.right <= r.left || r.bottom <= r.top) return std::nullopt;
  const Region v = clip().intersected(r);
  if (v.empty()) return std::nullopt;
  return v.bounds();
}

void DeviceContext::record(const std::string& line) const {
  if (recorder_) recorder_->add(line);
}

std::string DcRecorder::text() const {
  std::string out;
  for (const std::string& l : lines_) {
    out += l;
    out += '\n';
  }
  return out;
}

}  // namespace plat
