// DeviceContext: the object behind an HDC. State, coordinate mapping, clipping and the pixel kernels that every
// primitive ends in. The classic C functions in the Gdi*.cpp files unpack their handles, map coordinates and
// call the members here.
//
// Index of the implementation files:
//   DeviceContext.cpp  state, SaveDC/RestoreDC, mapping, clip layers, the span and pixel kernels
//   DcShapes.cpp       lines, pens, rectangles, ellipses, polygons, regions filled and framed
//   DcRaster.cpp       PatBlt, BitBlt, StretchBlt, the ROP3 evaluator, mono/colour conversion
//   DcText.cpp         TextOut, ExtTextOut, extents (fonts in FontFace.cpp)
//   DrawText.cpp       DrawText's layout
//   DcEdges.cpp        DrawEdge, Draw3dRect, focus rectangles, frame controls
//   Dib.cpp            packed DIBs, DIB sections, GetDIBits
//
// Coordinates: "logical" are the caller's; "device" are relative to the DC's origin (what DPtoLP answers);
// "surface" are pixels of the target surface (device + origin). Clip regions are kept in surface coordinates.
//
// Brush origin convention (a decision): device pixel (x, y) takes pattern bit [(y + org.y) mod 8][(x + org.x)
// mod 8]. A memory DC whose viewport origin is (-L, -T) and whose brush origin is (L mod 8, T mod 8) then paints
// a patterned area exactly as a DC drawing directly at (L, T) does, which is how the grid's buffered path uses it.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/gdiapi.h"

typedef struct _cairo cairo_t;

namespace plat {

class DcRecorder;
class PrintJob;

enum class DcKind { Window, Client, Paint, Memory, Info, Printer, Recording };

// What a fill paints: one colour or an 8x8 pixel pattern, optionally with pixels left untouched (the background of
// a hatch brush in TRANSPARENT mode).
struct Paint {
  bool none = false;       // null brush or pen: paints nothing
  bool patterned = false;
  Pixel color = kOpaque;
  Pixel pat[8][8]{};
  BYTE mask[8]{};          // patterned only: bit (7 - x) of row y set = pixel painted
  bool masked = false;
  int orgX = 0;            // pattern column of surface x is (x + orgX) & 7
  int orgY = 0;
  Pixel at(int x, int y) const { return patterned ? pat[(y + orgY) & 7][(x + orgX) & 7] : color; }
  bool paints(int x, int y) const { return !masked || ((mask[(y + orgY) & 7] >> (7 - ((x + orgX) & 7))) & 1); }
};

struct DcState {
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ font = nullptr;
  HGDIOBJ bitmap = nullptr;
  HGDIOBJ palette = nullptr;
  COLORREF textColor = 0x000000;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  UINT textAlign = 0;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  int charExtra = 0;
  COLORREF dcBrushColor = 0xFFFFFF;
  COLORREF dcPenColor = 0x000000;
  POINT cur{0, 0};
  int mapMode = MM_TEXT;
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
  POINT brushOrg{0, 0};
  std::optional<Region> appClip;  // device coordinates
};

class DeviceContext : public GdiObject {
 public:
  DeviceContext(DcKind kind, SurfacePtr surface, POINT origin);
  ~DeviceContext() override;

  DcKind kind() const { return kind_; }
  DcState& state() { return st_; }
  const DcState& state() const { return st_; }

  // ---- target -------------------------------------------------------------------------------------------
  Surface* surface() const { return surface_.get(); }
  const SurfacePtr& surfacePtr() const { return surface_; }
  void setSurface(SurfacePtr s);
  POINT origin() const { return origin_; }
  void setOrigin(POINT o);
  // True when the target is a monochrome bitmap: colours are reduced to black and white on the way in.
  bool mono() const { return mono_; }
  void setMono(bool m) { mono_ = m; }
  int logPixels() const { return logPixels_; }
  void setLogPixels(int dpi) { logPixels_ = dpi; }

  // ---- save / restore --------------------------------------------------------------------------------------
  int save();
  bool restore(int level);
  // Selects `h` as a (pen, brush, font, bitmap, palette) and keeps selection counts; answers the previous one.
  HGDIOBJ select(HGDIOBJ h);

  // ---- mapping ---------------------------------------------------------------------------------------------
  POINT toDevice(POINT logical) const;
  POINT toLogical(POINT device) const;
  POINT toSurface(int x, int y) const {
    POINT d = toDevice(POINT{x, y});
    return POINT{d.x + origin_.x, d.y + origin_.y};
  }
  // A logical rectangle in surface coordinates (corners mapped, not reordered).
  RECT rectToSurface(const RECT& r) const;
  RECT rectToDevice(const RECT& r) const;
  int lengthToDeviceX(int len) const;
  int lengthToDeviceY(int len) const;
  bool isIdentityScale() const;

  // ---- clipping --------------------------------------------------------------------------------------------
  void setSystemClip(std::optional<Region> surfaceRegion);
  const std::optional<Region>& systemClip() const { return sysClip_; }
  // The region output may touch, in surface coordinates: surface ∩ system clip ∩ application clip.
  const Region& clip() const;
  void clipChanged() { clipDirty_ = true; }
  int combineAppClip(const Region* deviceRegion, int mode);  // ExtSelectClipRgn semantics
  int clipKind() const { return clip().kind(); }

  // ---- paints ----------------------------------------------------------------------------------------------
  Pixel devicePixel(COLORREF c) const;  // a colour in this DC's form (mono: black or white)
  Paint brushPaint(HGDIOBJ brush) const;
  Paint brushPaint() const { return brushPaint(st_.brush); }

  // ---- kernels (surface coordinates, clipped here) -----------------------------------------------------------
  void fillRect(const RECT& r, const Paint& p, BYTE rop3 = 0xF0);
  void fillRegion(const Region& surfaceRegion, const Paint& p, BYTE rop3 = 0xF0);
  void penSpan(int y, int x0, int x1, Pixel color);      // ROP2 with the pen colour
  void penRect(const RECT& r, Pixel color);
  void penPixel(int x, int y, Pixel color);
  void invertRect(const RECT& r);
  // Calls fn for each piece of `r` inside the clip (surface coordinates). Bands are disjoint and sorted, so
  // their bottoms rise monotonically: the bands above `r` are skipped at once (a clip carved by many excluded
  // rectangles has many bands). A template, so that the per-piece call is inlined into the fills.
  template <typename Fn>
  void forEachClipped(const RECT& r, Fn&& fn) const {
    if (r.right <= r.left || r.bottom <= r.top) return;
    const auto& rects = clip().rects();
    auto first = std::partition_point(rects.begin(), rects.end(), [&](const RECT& c) { return c.bottom <= r.top; });
    for (auto it = first; it != rects.end(); ++it) {
      const RECT& c = *it;
      if (c.top >= r.bottom) break;
      if (c.bottom <= r.top || c.right <= r.left || c.left >= r.right) continue;
      fn(RECT{std::max(c.left, r.left), std::max(c.top, r.top), std::min(c.right, r.right),
              std::min(c.bottom, r.bottom)});
    }
  }

  // ---- shapes (logical coordinates; DcShapes.cpp) ------------------------------------------------------------
  bool lineTo(int x, int y);
  bool polyline(const POINT* pts, int count, bool closed = false);
  bool rectangle(int l, int t, int r, int b);
  bool roundRect(int l, int t, int r, int b, int w, int h);
  bool ellipse(int l, int t, int r, int b);
  bool polygon(const POINT* pts, int count);
  bool polyPolygon(const POINT* pts, const INT* counts, int polys);
  bool fillLogicalRect(const RECT& r, HGDIOBJ brush);
  bool frameLogicalRect(const RECT& r, HGDIOBJ brush);

  // ---- raster (DcRaster.cpp) ---------------------------------------------------------------------------------
  bool patBlt(int x, int y, int w, int h, DWORD rop);
  bool stretchBlt(int x, int y, int w, int h, DeviceContext* src, int sx, int sy, int sw, int sh, DWORD rop,
                  bool stretching);
  // Writes a source image (already converted to pixels of `srcSurface`, colour or mono) to device rectangle
  // `dst` (surface coordinates) from `srcRect` in the source, evaluating `rop` per pixel.
  // `dst` and `srcRect` are ordered rectangles; their sizes may differ (nearest-neighbour stretch) and the
  // flips mirror the source. Source pixels outside the source surface leave the destination untouched.
  void blitPixels(const RECT& dst, const Surface& src, const RECT& srcRect, bool srcMono, COLORREF srcBk,
                  DWORD rop, bool flipX = false, bool flipY = false);

  // ---- text (DcText.cpp) ------------------------------------------------------------------------------------------
  std::shared_ptr<FontFace> font() const;
  bool extTextOut(int x, int y, UINT options, const RECT* r, const char* text, int count, const INT* dx);
  SIZE textExtent(const char* text, int count) const;
  // Widths of the characters first..last (at most 0..255) in logical units, as textExtent gives each alone.
  void charWidths(UINT first, UINT last, int* out) const;

  // ---- recording and printing --------------------------------------------------------------------------------
  DcRecorder* recorder() const { return recorder_.get(); }
  const std::shared_ptr<DcRecorder>& recorderPtr() const { return recorder_; }
  void setRecorder(std::shared_ptr<DcRecorder> r) { recorder_ = std::move(r); }
  void record(const std::string& line) const;
  // The part of `surfaceRect` output can reach (bounding box after clipping); nothing when fully clipped. The
  // recording log states primitives after clipping, so a primitive that touches no pixel is not logged.
  std::optional<RECT> visible(const RECT& surfaceRect) const;
  PrintJob* printJob() const { return printJob_.get(); }
  void setPrintJob(std::unique_ptr<PrintJob> job);
  // The PDF page being printed, which takes the output as vectors besides the page raster; null otherwise.
  PrintJob* vectorPage() const;
  // Output that changed pixels in `surfaceRect` by other means than solid copies (the PDF page takes the
  // pixels there as an image); clipped here.
  void rasterChanged(const RECT& surfaceRect);

 private:
  DcKind kind_;
  SurfacePtr surface_;
  POINT origin_;
  bool mono_ = false;
  int logPixels_ = 96;
  DcState st_;
  std::vector<DcState> saved_;
  std::optional<Region> sysClip_;
  mutable Region clipCache_;
  mutable bool clipDirty_ = true;
  // The face the selected font resolved to at the current mapping, kept until the font, its size in device
  // pixels or the faces' generation changes: text calls resolve it once, not per character.
  struct ResolvedFont {
    HGDIOBJ handle = nullptr;
    int height = 0, width = 0;
    std::uint64_t generation = 0;
    std::shared_ptr<FontFace> face;
  };
  mutable ResolvedFont resolved_;
  std::shared_ptr<DcRecorder> recorder_;
  std::unique_ptr<PrintJob> printJob_;
  friend class PrintJob;
};

// Orders a blit extent, mirroring as the classic negative extents do; toggles `flip` when it did.
void mirror(LONG& a, LONG& b, bool& flip);

// Packs ROP2/ROP3 evaluation for reuse by other files.
Pixel applyRop2(int rop2, Pixel pen, Pixel dst);
Pixel applyRop3(BYTE code, Pixel p, Pixel s, Pixel d);

// Text of a rectangle for the recording log: "l,t,r,b".
std::string rectText(const RECT& r);

}  // namespace plat
