#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstring>

#include "platform/base/SystemError.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontFace.h"

namespace plat {

namespace {

constexpr std::uint64_t kIndexMask = 0xFFFFFFu;
constexpr std::uint64_t kGenerationMask = 0xFFFFFFu;
// The top byte marks GDI handles. User-space addresses and the small tokens of other handle kinds (global memory,
// windows) never carry it, so a foreign handle can never be taken for a GDI object.
constexpr std::uint64_t kTag = 0xB5ull << 56;

HGDIOBJ makeHandle(std::uint32_t index, std::uint32_t generation) {
  const std::uint64_t v = kTag | ((generation & kGenerationMask) << 32) | (index + 1u);
  return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(v));
}

}  // namespace

GdiTable& GdiTable::instance() {
  static GdiTable table;
  return table;
}

GdiTable::~GdiTable() {
  // Objects still alive at exit are taken out while the table is whole, then freed: a DC's destructor
  // releases what is selected into it through the table, which then finds nothing left to free.
  std::vector<std::unique_ptr<GdiObject>> live;
  for (Slot& s : slots_)
    if (s.obj) live.push_back(std::move(s.obj));
  live.clear();
}

HGDIOBJ GdiTable::add(std::unique_ptr<GdiObject> obj) {
  std::uint32_t index;
  if (!free_.empty()) {
    index = free_.front();
    free_.pop_front();
  } else {
    index = static_cast<std::uint32_t>(slots_.size());
    if (index >= kIndexMask) return nullptr;
    slots_.emplace_back();
  }
  slots_[index].obj = std::move(obj);
  return makeHandle(index, slots_[index].generation);
}

GdiObject* GdiTable::get(HGDIOBJ h) const {
  const auto v = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(h));
  if ((v & (0xFFull << 56)) != kTag) return nullptr;
  const std::uint64_t low = v & 0xFFFFFFFFu;
  if (low == 0 || low > kIndexMask) return nullptr;
  const std::uint32_t index = static_cast<std::uint32_t>(low - 1);
  if (index >= slots_.size()) return nullptr;
  const Slot& s = slots_[index];
  if (!s.obj || s.generation != static_cast<std::uint32_t>((v >> 32) & kGenerationMask)) return nullptr;
  return s.obj.get();
}

void GdiTable::destroy(HGDIOBJ h) {
  if (!get(h)) return;
  const auto v = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(h));
  const std::uint32_t index = static_cast<std::uint32_t>((v & 0xFFFFFFFFu) - 1);
  // Move out first: a DC's destructor may release objects and re-enter the table.
  std::unique_ptr<GdiObject> dead = std::move(slots_[index].obj);
  slots_[index].generation = (slots_[index].generation + 1) & kGenerationMask;
  if (slots_[index].generation == 0) slots_[index].generation = 1;
  free_.push_back(index);
  dead.reset();
}

size_t GdiTable::liveCount() const {
  size_t n = 0;
  for (const Slot& s : slots_) n += s.obj ? 1 : 0;
  return n;
}

DeviceContext* dcOf(HDC h) {
  GdiObject* o = GdiTable::instance().get(h);
  if (!o || (o->type != OBJ_DC && o->type != OBJ_MEMDC)) return nullptr;
  return static_cast<DeviceContext*>(o);
}

void addSelection(HGDIOBJ h) {
  if (GdiObject* o = GdiTable::instance().get(h)) ++o->selectCount;
}

void releaseSelection(HGDIOBJ h) {
  GdiObject* o = GdiTable::instance().get(h);
  if (!o) return;
  if (o->selectCount > 0) --o->selectCount;
  if (o->selectCount == 0 && o->deletePending) GdiTable::instance().destroy(h);
}

const std::array<PALETTEENTRY, 20>& defaultPaletteEntries() {
  static const std::array<PALETTEENTRY, 20> entries = {{
      {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
      {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
      {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
      {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
  }};
  return entries;
}

COLORREF resolveColor(COLORREF c) {
  switch (c >> 24) {
    case 0x01: {
      const auto& e = defaultPaletteEntries();
      const unsigned i = c & 0xFFFFu;
      if (i >= e.size()) return 0;
      return RGB(e[i].peRed, e[i].peGreen, e[i].peBlue);
    }
    default:
      return c & 0xFFFFFFu;
  }
}

COLORREF brushColor(const BrushObject& b, COLORREF dcColor) {
  if (b.dcBrush) return resolveColor(dcColor);
  if (b.sysColor >= 0) return GetSysColor(b.sysColor);
  return resolveColor(b.color);
}

MonoPattern monoPatternFromSurface(const Surface& s) {
  MonoPattern p;
  for (int y = 0; y < 8; ++y) {
    BYTE row = 0;
    for (int x = 0; x < 8; ++x) {
      const Pixel px = s.pixel(x % s.width(), y % s.height());
      if ((px & 0xFFFFFFu) != 0) row |= static_cast<BYTE>(0x80u >> x);
    }
    p.bits[y] = row;
  }
  return p;
}

namespace {

HGDIOBJ addObject(std::unique_ptr<GdiObject> o) { return GdiTable::instance().add(std::move(o)); }

struct Stock {
  std::array<HGDIOBJ, 20> objects{};
  std::array<HGDIOBJ, COLOR_COUNT> sysBrushes{};
  HGDIOBJ defaultBitmap = nullptr;
};

LOGFONTA makeLogFont(int height, int weight, BYTE pitchFamily, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfPitchAndFamily = pitchFamily;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

Stock& stock() {
  static Stock s = [] {
    Stock st;
    auto solidBrush = [](COLORREF c, UINT style = BS_SOLID) {
      auto b = std::make_unique<BrushObject>();
      b->style = style;
      b->color = c;
      b->stock = true;
      return addObject(std::move(b));
    };
    auto pen = [](int style, COLORREF c) {
      auto p = std::make_unique<PenObject>();
      p->style = style;
      p->color = c;
      p->stock = true;
      return addObject(std::move(p));
    };
    auto font = [](const LOGFONTA& lf) {
      auto f = std::make_unique<FontObject>();
      f->lf = lf;
      f->stock = true;
      return addObject(std::move(f));
    };
    st.objects[WHITE_BRUSH] = solidBrush(RGB(255, 255, 255));
    st.objects[LTGRAY_BRUSH] = solidBrush(RGB(192, 192, 192));
    st.objects[GRAY_BRUSH] = solidBrush(RGB(128, 128, 128));
    st.objects[DKGRAY_BRUSH] = solidBrush(RGB(64, 64, 64));
    st.objects[BLACK_BRUSH] = solidBrush(RGB(0, 0, 0));
    st.objects[NULL_BRUSH] = solidBrush(0, BS_NULL);
    st.objects[WHITE_PEN] = pen(PS_SOLID, RGB(255, 255, 255));
    st.objects[BLACK_PEN] = pen(PS_SOLID, RGB(0, 0, 0));
    st.objects[NULL_PEN] = pen(PS_NULL, 0);
    // The stock fonts are fixed 8-point LOGFONTs; their faces map to the bundled sans or mono face.
    const LOGFONTA fixed = makeLogFont(-11, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier New");
    st.objects[OEM_FIXED_FONT] = font(fixed);
    st.objects[ANSI_FIXED_FONT] = font(fixed);
    st.objects[ANSI_VAR_FONT] = font(makeLogFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif"));
    st.objects[SYSTEM_FONT] = font(makeLogFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "System"));
    st.objects[DEVICE_DEFAULT_FONT] = font(makeLogFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "System"));
    st.objects[SYSTEM_FIXED_FONT] = font(fixed);
    st.objects[DEFAULT_GUI_FONT] = font(makeLogFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg"));
    {
      auto pal = std::make_unique<PaletteObject>();
      pal->stock = true;
      pal->entries.assign(defaultPaletteEntries().begin(), defaultPaletteEntries().end());
      st.objects[DEFAULT_PALETTE] = addObject(std::move(pal));
    }
    {
      auto b = std::make_unique<BrushObject>();
      b->dcBrush = true;
      b->stock = true;
      st.objects[DC_BRUSH] = addObject(std::move(b));
      auto p = std::make_unique<PenObject>();
      p->dcPen = true;
      p->stock = true;
      st.objects[DC_PEN] = addObject(std::move(p));
    }
    for (int i = 0; i < COLOR_COUNT; ++i) {
      auto b = std::make_unique<BrushObject>();
      b->sysColor = i;
      b->stock = true;
      st.sysBrushes[i] = addObject(std::move(b));
    }
    {
      // Every new memory DC starts with this 1x1 monochrome bitmap selected.
      auto bm = std::make_unique<BitmapObject>();
      bm->surface = Surface::create(1, 1);
      bm->surface->fillAll(pixelFromColor(RGB(255, 255, 255)));
      bm->width = 1;
      bm->height = 1;
      bm->bitsPixel = 1;
      bm->stock = true;
      st.defaultBitmap = addObject(std::move(bm));
    }
    return st;
  }();
  return s;
}

}  // namespace

HGDIOBJ stockDefaultBitmap() { return stock().defaultBitmap; }
HGDIOBJ sysColorBrush(int index) { return (index >= 0 && index < COLOR_COUNT) ? stock().sysBrushes[index] : nullptr; }

}  // namespace plat

using namespace plat;

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= static_cast<int>(stock().objects.size())) return nullptr;
  return stock().objects[index];
}

HBRUSH GetSysColorBrush(int index) { return static_cast<HBRUSH>(sysColorBrush(index)); }

DWORD GetObjectType(HGDIOBJ obj) {
  GdiObject* o = GdiTable::instance().get(obj);
  if (!o) return 0;
  if (o->type == OBJ_PEN && static_cast<PenObject*>(o)->geometric) return OBJ_EXTPEN;
  return o->type;
}

BOOL DeleteObject(HGDIOBJ obj) {
  GdiObject* o = GdiTable::instance().get(obj);
  if (!o || o->type == OBJ_DC || o->type == OBJ_MEMDC) {
    // Not a drawing object (null, stale, a DC, a foreign handle): the caller learns why.
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (o->stock) return TRUE;  // stock objects are never deleted; the classic call still succeeds
  if (o->selectCount > 0) {
    o->deletePending = true;
    return TRUE;
  }
  GdiTable::instance().destroy(obj);
  return TRUE;
}

BOOL UnrealizeObject(HGDIOBJ obj) { return GdiTable::instance().get(obj) ? TRUE : FALSE; }

HPEN CreatePen(int style, int width, COLORREF color) {
  const int s = style & PS_STYLE_MASK;
  if (s > PS_ALTERNATE) return nullptr;
  auto p = std::make_unique<PenObject>();
  p->style = s;
  p->width = std::max(width, 0);
  p->color = color;
  p->fullStyle = static_cast<DWORD>(style);
  // Dashed styles are cosmetic only; a wider dashed pen draws solid, as the classic one does.
  if (p->width > 1 && s >= PS_DASH && s <= PS_DASHDOTDOT) p->style = PS_SOLID;
  return static_cast<HPEN>(addObject(std::move(p)));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
  if (!lp) return nullptr;
  return CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles) {
  (void)styles;
  if (!brush || styleCount != 0) return nullptr;
  const int s = static_cast<int>(style & PS_STYLE_MASK);
  if (s > PS_ALTERNATE || s == PS_USERSTYLE) return nullptr;
  const bool geometric = (style & PS_TYPE_MASK) == static_cast<DWORD>(PS_GEOMETRIC);
  if (!geometric && width != 1) return nullptr;
  if (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL) return nullptr;
  auto p = std::make_unique<PenObject>();
  p->style = brush->lbStyle == BS_NULL ? PS_NULL : s;
  p->width = static_cast<int>(width);
  p->color = brush->lbColor;
  p->geometric = geometric;
  p->endCap = static_cast<int>(style & PS_ENDCAP_MASK);
  p->join = static_cast<int>(style & PS_JOIN_MASK);
  p->fullStyle = style;
  return static_cast<HPEN>(addObject(std::move(p)));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto b = std::make_unique<BrushObject>();
  b->color = color;
  return static_cast<HBRUSH>(addObject(std::move(b)));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto b = std::make_unique<BrushObject>();
  b->style = BS_HATCHED;
  b->hatch = hatch;
  b->color = color;
  return static_cast<HBRUSH>(addObject(std::move(b)));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  BitmapObject* bm = bitmapOf(bitmap);
  if (!bm) return nullptr;
  auto b = std::make_unique<BrushObject>();
  b->style = BS_PATTERN;
  if (bm->mono()) {
    b->mono = monoPatternFromSurface(*bm->surface);
    b->patternIsMono = true;
  } else {
    // The brush keeps its own copy of the top-left 8x8 pixels; the bitmap may be deleted afterwards.
    b->colorPattern = Surface::create(8, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        b->colorPattern->setPixel(x, y, bm->surface->pixel(x % bm->width, y % bm->height));
    b->patternIsMono = false;
  }
  return static_cast<HBRUSH>(addObject(std::move(b)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return nullptr;
  switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(lb->lbHatch), lb->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    default: return nullptr;
  }
}

HPALETTE CreatePalette(const LOGPALETTE* lp) {
  if (!lp || lp->palVersion != 0x300 || lp->palNumEntries == 0) return nullptr;
  auto p = std::make_unique<PaletteObject>();
  p->entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
  return static_cast<HPALETTE>(addObject(std::move(p)));
}

UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* out) {
  PaletteObject* p = paletteOf(pal);
  if (!p) return 0;
  if (!out) return static_cast<UINT>(p->entries.size());
  if (start >= p->entries.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(p->entries.size()) - start);
  std::copy_n(p->entries.begin() + start, n, out);
  return n;
}

UINT SetPaletteEntries(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* in) {
  PaletteObject* p = paletteOf(pal);
  if (!p || p->stock || !in || start >= p->entries.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(p->entries.size()) - start);
  std::copy_n(in, n, p->entries.begin() + start);
  return n;
}

UINT GetNearestPaletteIndex(HPALETTE pal, COLORREF color) {
  PaletteObject* p = paletteOf(pal);
  if (!p) return CLR_INVALID;
  color = resolveColor(color);
  UINT best = 0;
  long bestDist = -1;
  for (UINT i = 0; i < p->entries.size(); ++i) {
    const auto& e = p->entries[i];
    const long dr = e.peRed - GetRValue(color), dg = e.peGreen - GetGValue(color), db = e.peBlue - GetBValue(color);
    const long d = dr * dr + dg * dg + db * db;
    if (bestDist < 0 || d < bestDist) { bestDist = d; best = i; }
  }
  return best;
}

HPALETTE SelectPalette(HDC dc, HPALETTE pal, BOOL) {
  DeviceContext* d = dcOf(dc);
  if (!d || !paletteOf(pal)) return nullptr;
  return static_cast<HPALETTE>(d->select(pal));
}

// A 32-bit device has no hardware palette: realising maps nothing.
UINT RealizePalette(HDC dc) { return dcOf(dc) ? 0 : GDI_ERROR; }

UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* out) {
  if (!dcOf(dc)) return 0;
  return GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), start, count, out);
}

int GetObject(HGDIOBJ obj, int size, LPVOID out) {
  GdiObject* o = GdiTable::instance().get(obj);
  if (!o) return 0;
  auto put = [&](const auto& value) -> int {
    const int n = static_cast<int>(sizeof(value));
    if (!out) return n;
    const int m = std::min(n, size);
    if (m <= 0) return 0;
    std::memcpy(out, &value, static_cast<size_t>(m));
    return m;
  };
  switch (o->type) {
    case OBJ_PEN: {
      auto* p = static_cast<PenObject*>(o);
      if (p->geometric) {
        EXTLOGPEN e{};
        e.elpPenStyle = p->fullStyle;
        e.elpWidth = static_cast<DWORD>(p->width);
        e.elpBrushStyle = p->style == PS_NULL ? BS_NULL : BS_SOLID;
        e.elpColor = p->color;
        return put(e);
      }
      LOGPEN lp{static_cast<UINT>(p->style), POINT{p->width, 0}, p->color};
      return put(lp);
    }
    case OBJ_BRUSH: {
      auto* b = static_cast<BrushObject*>(o);
      LOGBRUSH lb{b->style, brushColor(*b, 0), static_cast<ULONG_PTR>(b->hatch)};
      return put(lb);
    }
    case OBJ_FONT:
      return put(static_cast<FontObject*>(o)->lf);
    case OBJ_PAL: {
      const WORD n = static_cast<WORD>(static_cast<PaletteObject*>(o)->entries.size());
      if (!out) return static_cast<int>(sizeof(WORD));
      if (size < static_cast<int>(sizeof(WORD))) return 0;
      std::memcpy(out, &n, sizeof(WORD));
      return static_cast<int>(sizeof(WORD));
    }
    case OBJ_BITMAP: {
      auto* bm = static_cast<BitmapObject*>(o);
      syncDibSection(*bm);
      BITMAP b{};
      b.bmType = 0;
      b.bmWidth = bm->width;
      b.bmHeight = bm->height;
      b.bmPlanes = 1;
      b.bmBitsPixel = static_cast<WORD>(bm->isDibSection() ? bm->dibHeader.biBitCount : bm->bitsPixel);
      b.bmWidthBytes = bm->isDibSection() ? ((bm->width * b.bmBitsPixel + 31) / 32) * 4
                                          : ((bm->width * b.bmBitsPixel + 15) / 16) * 2;
      b.bmBits = bm->isDibSection() ? bm->dibBits.data() : nullptr;
      if (bm->isDibSection() && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds{};
        ds.dsBm = b;
        ds.dsBmih = bm->dibHeader;
        return put(ds);
      }
      return put(b);
    }
    default:
      return 0;
  }
}
