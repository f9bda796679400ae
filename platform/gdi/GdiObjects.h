// The GDI object table and the objects behind HPEN, HBRUSH, HFONT, HBITMAP, HRGN, HPALETTE and HDC.
//
// Handles are tokens: bits 0..23 hold the slot index + 1, bits 32..55 its generation, bits 56..63 a tag. A
// deleted slot bumps its generation and goes to the back of the free queue (the oldest free slot is reused
// first), so a stale handle does not reach a recycled object. Stock objects live in the table like any
// other object but refuse deletion. An object still selected into a DC is only marked; it is freed when the
// last DC deselects it (the grid frees caches during nested redraws).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/gdiapi.h"

namespace plat {

class DeviceContext;
class FontFace;

struct GdiObject {
  explicit GdiObject(DWORD t) : type(t) {}
  virtual ~GdiObject() = default;
  DWORD type;  // OBJ_*
  bool stock = false;
  int selectCount = 0;
  bool deletePending = false;
};

struct PenObject : GdiObject {
  PenObject() : GdiObject(OBJ_PEN) {}
  int style = PS_SOLID;      // PS_* style bits (0..8)
  int width = 0;             // logical width; 0 and 1 are cosmetic
  COLORREF color = 0;
  bool geometric = false;    // created by ExtCreatePen with PS_GEOMETRIC
  int endCap = PS_ENDCAP_ROUND;
  int join = PS_JOIN_ROUND;
  DWORD fullStyle = 0;       // what ExtCreatePen was given, for GetObject(EXTLOGPEN)
  bool dcPen = false;        // the DC_PEN stock object: colour from the DC
};

// An 8x8 pattern; bits[y] has bit (7 - x) set for a "1" pixel (most significant bit leftmost).
struct MonoPattern {
  std::array<BYTE, 8> bits{};
};

struct BrushObject : GdiObject {
  BrushObject() : GdiObject(OBJ_BRUSH) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  int sysColor = -1;           // >= 0: a GetSysColorBrush brush, colour read from the table at use
  bool dcBrush = false;        // the DC_BRUSH stock object
  MonoPattern mono;            // BS_PATTERN from a monochrome bitmap
  SurfacePtr colorPattern;     // BS_PATTERN from a colour bitmap, or a DIB pattern (8x8 taken from its top-left)
  bool patternIsMono = true;
};

struct FontObject : GdiObject {
  FontObject() : GdiObject(OBJ_FONT) {}
  LOGFONTA lf{};
  std::shared_ptr<FontFace> face;  // resolved lazily
};

// A bitmap: a surface plus what GetObject answers about it. Monochrome bitmaps store 0 as opaque black and 1 as
// opaque white pixels, so the blitter treats them like any surface and converts by the classic rules.
struct BitmapObject : GdiObject {
  BitmapObject() : GdiObject(OBJ_BITMAP) {}
  SurfacePtr surface;
  int width = 0;
  int height = 0;
  int bitsPixel = 32;  // 1 for monochrome
  bool mono() const { return bitsPixel == 1; }
  DeviceContext* selectedInto = nullptr;
  // DIB sections: the caller-visible bits in the DIB's own format, kept in step with the surface.
  std::vector<BYTE> dibBits;
  std::vector<BYTE> dibShadow;  // the bits as of the last synchronisation
  BITMAPINFOHEADER dibHeader{};
  std::vector<RGBQUAD> dibColors;
  bool isDibSection() const { return !dibBits.empty(); }
  SIZE dimension{0, 0};
};

struct RegionObject : GdiObject {
  RegionObject() : GdiObject(OBJ_REGION) {}
  Region region;
};

struct PaletteObject : GdiObject {
  PaletteObject() : GdiObject(OBJ_PAL) {}
  std::vector<PALETTEENTRY> entries;
};

class GdiTable {
 public:
  static GdiTable& instance();
  ~GdiTable();
  HGDIOBJ add(std::unique_ptr<GdiObject> obj);
  GdiObject* get(HGDIOBJ h) const;
  template <typename T>
  T* get(HGDIOBJ h, DWORD type) const {
    GdiObject* o = get(h);
    return (o && o->type == type) ? static_cast<T*>(o) : nullptr;
  }
  // Frees the slot now (the caller checked stock and selection).
  void destroy(HGDIOBJ h);
  size_t liveCount() const;

 private:
  struct Slot {
    std::unique_ptr<GdiObject> obj;
    std::uint32_t generation = 1;
  };
  std::vector<Slot> slots_;
  std::deque<std::uint32_t> free_;
};

inline PenObject* penOf(HGDIOBJ h) { return GdiTable::instance().get<PenObject>(h, OBJ_PEN); }
inline BrushObject* brushOf(HGDIOBJ h) { return GdiTable::instance().get<BrushObject>(h, OBJ_BRUSH); }
inline FontObject* fontOf(HGDIOBJ h) { return GdiTable::instance().get<FontObject>(h, OBJ_FONT); }
inline BitmapObject* bitmapOf(HGDIOBJ h) { return GdiTable::instance().get<BitmapObject>(h, OBJ_BITMAP); }
inline RegionObject* regionOf(HGDIOBJ h) { return GdiTable::instance().get<RegionObject>(h, OBJ_REGION); }
inline PaletteObject* paletteOf(HGDIOBJ h) { return GdiTable::instance().get<PaletteObject>(h, OBJ_PAL); }
DeviceContext* dcOf(HDC h);

// Called when a DC stops selecting an object: frees it when its deletion was deferred.
void releaseSelection(HGDIOBJ h);
void addSelection(HGDIOBJ h);

// DIB sections keep the caller's bits and the surface in step at these points: selection and deselection, use as
// a blit source, GdiFlush, GetDIBits and GetObject. Bits the caller changed since the last synchronisation win;
// otherwise the surface (what GDI drew) is written to the bits.
void syncDibSection(BitmapObject& bm);

// Resolves PALETTEINDEX / PALETTERGB forms to a plain RGB colour.
COLORREF resolveColor(COLORREF c);
// The 20 static colours of the default palette.
const std::array<PALETTEENTRY, 20>& defaultPaletteEntries();

// The colour a brush paints with (system colour brushes follow the table); for the DC brush `dcColor`.
COLORREF brushColor(const BrushObject& b, COLORREF dcColor);

// A monochrome bitmap's 8x8 pattern (rows padded to 16 bits in the classic layout) from its surface.
MonoPattern monoPatternFromSurface(const Surface& s);

}  // namespace plat
