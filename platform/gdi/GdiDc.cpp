// The classic DC functions: creation, state, mapping and clipping, and the window system's surface DCs.
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/DcRecorder.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/SurfaceDC.h"

using namespace plat;

namespace plat {

HDC addDc(std::unique_ptr<DeviceContext> dc) { return static_cast<HDC>(GdiTable::instance().add(std::move(dc))); }

HDC CreateSurfaceDC(SurfacePtr surface, POINT origin, SurfaceDcKind kind) {
  if (!surface) return nullptr;
  const DcKind k = kind == SurfaceDcKind::Window ? DcKind::Window
                   : kind == SurfaceDcKind::Paint ? DcKind::Paint
                                                  : DcKind::Client;
  return addDc(std::make_unique<DeviceContext>(k, std::move(surface), origin));
}

BOOL SetDCSystemClip(HDC dc, std::span<const RECT> surfaceRects) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  d->setSystemClip(Region::fromRects(surfaceRects));
  return TRUE;
}

BOOL SetDCSystemClipRegion(HDC dc, const Region& surfaceRegion) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  d->setSystemClip(surfaceRegion);
  return TRUE;
}

BOOL ClearDCSystemClip(HDC dc) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  d->setSystemClip(std::nullopt);
  return TRUE;
}

BOOL SetDCOrigin(HDC dc, POINT origin) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  d->setOrigin(origin);
  return TRUE;
}

BOOL SetDCSurface(HDC dc, SurfacePtr surface) {
  DeviceContext* d = dcOf(dc);
  if (!d || !surface || d->kind() == DcKind::Memory) return FALSE;
  d->setSurface(std::move(surface));
  return TRUE;
}

SurfacePtr SurfaceOfDC(HDC dc) {
  DeviceContext* d = dcOf(dc);
  return d ? d->surfacePtr() : nullptr;
}

HRGN CreateRgnFromRegion(const Region& region) {
  auto r = std::make_unique<RegionObject>();
  r->region = region;
  return static_cast<HRGN>(GdiTable::instance().add(std::move(r)));
}

const Region* RegionOfHandle(HRGN rgn) {
  RegionObject* r = regionOf(rgn);
  return r ? &r->region : nullptr;
}

BOOL SetRgnRegion(HRGN rgn, const Region& region) {
  RegionObject* r = regionOf(rgn);
  if (!r) return FALSE;
  r->region = region;
  return TRUE;
}

}  // namespace plat

// ---- creation ----------------------------------------------------------------------------------------------

HDC CreateCompatibleDC(HDC dc) {
  int dpi = 96;
  if (dc) {
    DeviceContext* src = dcOf(dc);
    if (!src) return nullptr;
    dpi = src->logPixels();
  }
  auto d = std::make_unique<DeviceContext>(DcKind::Memory, nullptr, POINT{0, 0});
  d->setLogPixels(dpi);
  return addDc(std::move(d));
}

namespace {

bool isDisplay(LPCSTR driver, LPCSTR device) {
  auto eq = [](LPCSTR a, const char* b) { return a && strcasecmp(a, b) == 0; };
  return eq(driver, "DISPLAY") || (!driver && eq(device, "DISPLAY"));
}

}  // namespace

namespace plat {
HDC createPrinterDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode, bool infoOnly);
}

HDC CreateICA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode) {
  if (isDisplay(driver, device)) return addDc(std::make_unique<DeviceContext>(DcKind::Info, nullptr, POINT{0, 0}));
  return createPrinterDC(driver, device, output, devmode, true);
}

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode) {
  if (isDisplay(driver, device)) {
    // A display DC without a window draws on nothing here; the window system's GetDC(NULL) gives the desktop.
    return addDc(std::make_unique<DeviceContext>(DcKind::Info, nullptr, POINT{0, 0}));
  }
  return createPrinterDC(driver, device, output, devmode, false);
}

BOOL DeleteDC(HDC dc) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  GdiTable::instance().destroy(dc);
  return TRUE;
}

int SaveDC(HDC dc) {
  DeviceContext* d = dcOf(dc);
  return d ? d->save() : 0;
}

BOOL RestoreDC(HDC dc, int saved) {
  DeviceContext* d = dcOf(dc);
  return d && d->restore(saved) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
  DeviceContext* d = dcOf(dc);
  if (!d) return nullptr;
  if (RegionObject* r = regionOf(obj)) {
    const int kind = d->combineAppClip(&r->region, RGN_COPY);
    return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(kind));
  }
  return d->select(obj);
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  DeviceContext* d = dcOf(dc);
  if (!d) return nullptr;
  switch (type) {
    case OBJ_PEN: return d->state().pen;
    case OBJ_BRUSH: return d->state().brush;
    case OBJ_FONT: return d->state().font;
    case OBJ_BITMAP: return d->state().bitmap;
    case OBJ_PAL: return d->state().palette;
    default: return nullptr;
  }
}

int GetDeviceCaps(HDC dc, int index) {
  DeviceContext* d = dcOf(dc);
  if (!d) return 0;
  const bool printer = d->kind() == DcKind::Printer;
  const PrintJob* job = d->printJob();
  const int dpi = d->logPixels();
  const int horz = printer && job ? job->pageWidthPx() - 2 * job->setup().marginPixels : GetSystemMetrics(SM_CXSCREEN);
  const int vert = printer && job ? job->pageHeightPx() - 2 * job->setup().marginPixels : GetSystemMetrics(SM_CYSCREEN);
  switch (index) {
    case DRIVERVERSION: return 0x400;
    case TECHNOLOGY: return printer ? DT_RASPRINTER : DT_RASDISPLAY;
    case HORZSIZE: return static_cast<int>((horz * 254L / dpi + 5) / 10);
    case VERTSIZE: return static_cast<int>((vert * 254L / dpi + 5) / 10);
    case HORZRES: return horz;
    case VERTRES: return vert;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMBRUSHES: return -1;
    case NUMPENS: return -1;
    case NUMFONTS: return 0;
    case NUMCOLORS: return -1;
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB |
             (printer ? RC_BANDING : 0);
    case ASPECTX: return 36;
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return dpi;
    case SIZEPALETTE: return 0;
    case NUMRESERVED: return 20;
    case COLORRES: return 24;
    case PHYSICALWIDTH: return printer && job ? job->pageWidthPx() : 0;
    case PHYSICALHEIGHT: return printer && job ? job->pageHeightPx() : 0;
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY: return printer && job ? job->setup().marginPixels : 0;
    default: return 0;
  }
}

// ---- attributes ----------------------------------------------------------------------------------------------

namespace {

// One DC attribute: the setter answers the old value, or `failure` for a bad DC or a value `valid` refuses
// (the attribute is then left as it was); the getter answers `failure` for a bad DC.
template <class T, class Valid>
T SwapAttribute(HDC dc, T DcState::*field, T value, T failure, Valid valid) {
  DeviceContext* d = dcOf(dc);
  if (!d || !valid(value)) return failure;
  std::swap(value, d->state().*field);
  return value;
}

template <class T>
T SwapAttribute(HDC dc, T DcState::*field, T value, T failure) {
  return SwapAttribute(dc, field, value, failure, [](T) { return true; });
}

template <class T>
T AttributeOf(HDC dc, T DcState::*field, T failure) {
  DeviceContext* d = dcOf(dc);
  return d ? d->state().*field : failure;
}

constexpr int kNoCharExtra = static_cast<int>(0x80000000u);

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) { return SwapAttribute(dc, &DcState::textColor, color, CLR_INVALID); }
COLORREF GetTextColor(HDC dc) { return AttributeOf(dc, &DcState::textColor, CLR_INVALID); }
COLORREF SetBkColor(HDC dc, COLORREF color) { return SwapAttribute(dc, &DcState::bkColor, color, CLR_INVALID); }
COLORREF GetBkColor(HDC dc) { return AttributeOf(dc, &DcState::bkColor, CLR_INVALID); }
int SetTextCharacterExtra(HDC dc, int extra) { return SwapAttribute(dc, &DcState::charExtra, extra, kNoCharExtra); }
int GetTextCharacterExtra(HDC dc) { return AttributeOf(dc, &DcState::charExtra, kNoCharExtra); }
COLORREF SetDCBrushColor(HDC dc, COLORREF color) {
  return SwapAttribute(dc, &DcState::dcBrushColor, color, CLR_INVALID);
}
COLORREF SetDCPenColor(HDC dc, COLORREF color) { return SwapAttribute(dc, &DcState::dcPenColor, color, CLR_INVALID); }
UINT SetTextAlign(HDC dc, UINT align) { return SwapAttribute(dc, &DcState::textAlign, align, UINT{GDI_ERROR}); }
UINT GetTextAlign(HDC dc) { return AttributeOf(dc, &DcState::textAlign, UINT{GDI_ERROR}); }

int SetBkMode(HDC dc, int mode) {
  return SwapAttribute(dc, &DcState::bkMode, mode, 0, [](int m) { return m == TRANSPARENT || m == OPAQUE; });
}
int GetBkMode(HDC dc) { return AttributeOf(dc, &DcState::bkMode, 0); }

int SetROP2(HDC dc, int rop2) {
  return SwapAttribute(dc, &DcState::rop2, rop2, 0, [](int r) { return r >= R2_BLACK && r <= R2_WHITE; });
}
int GetROP2(HDC dc) { return AttributeOf(dc, &DcState::rop2, 0); }

int SetStretchBltMode(HDC dc, int mode) {
  return SwapAttribute(dc, &DcState::stretchMode, mode, 0, [](int m) { return m >= BLACKONWHITE && m <= HALFTONE; });
}
int GetStretchBltMode(HDC dc) { return AttributeOf(dc, &DcState::stretchMode, 0); }

int SetPolyFillMode(HDC dc, int mode) {
  return SwapAttribute(dc, &DcState::polyFillMode, mode, 0, [](int m) { return m == ALTERNATE || m == WINDING; });
}
int GetPolyFillMode(HDC dc) { return AttributeOf(dc, &DcState::polyFillMode, 0); }

// ---- mapping -------------------------------------------------------------------------------------------------

namespace {

// Fixed mapping modes: logical units per inch against the device's pixels per inch; y grows upwards.
bool fixedModeUnits(int mode, int& unitsPerInch) {
  switch (mode) {
    case MM_LOMETRIC: unitsPerInch = 254; return true;
    case MM_HIMETRIC: unitsPerInch = 2540; return true;
    case MM_LOENGLISH: unitsPerInch = 100; return true;
    case MM_HIENGLISH: unitsPerInch = 1000; return true;
    case MM_TWIPS: unitsPerInch = 1440; return true;
    default: return false;
  }
}

// MM_ISOTROPIC keeps one unit the same size on both axes by shrinking the larger viewport scale.
void fixIsotropic(DcState& s) {
  if (s.mapMode != MM_ISOTROPIC || s.windowExt.cx == 0 || s.windowExt.cy == 0) return;
  const double sx = std::abs(static_cast<double>(s.viewportExt.cx) / s.windowExt.cx);
  const double sy = std::abs(static_cast<double>(s.viewportExt.cy) / s.windowExt.cy);
  if (sx > sy) {
    const long v = std::lround(sy * std::abs(s.windowExt.cx));
    s.viewportExt.cx = s.viewportExt.cx < 0 ? -v : v;
  } else if (sy > sx) {
    const long v = std::lround(sx * std::abs(s.windowExt.cy));
    s.viewportExt.cy = s.viewportExt.cy < 0 ? -v : v;
  }
}

}  // namespace

int SetMapMode(HDC dc, int mode) {
  DeviceContext* d = dcOf(dc);
  if (!d || mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  DcState& s = d->state();
  const int old = s.mapMode;
  s.mapMode = mode;
  int units = 0;
  if (mode == MM_TEXT) {
    s.windowExt = SIZE{1, 1};
    s.viewportExt = SIZE{1, 1};
  } else if (fixedModeUnits(mode, units)) {
    s.windowExt = SIZE{units, units};
    s.viewportExt = SIZE{d->logPixels(), -d->logPixels()};
  } else if (old == MM_TEXT || fixedModeUnits(old, units)) {
    // Entering MM_ISOTROPIC/MM_ANISOTROPIC keeps the current scale until extents are set.
    if (old == MM_TEXT) {
      s.windowExt = SIZE{1, 1};
      s.viewportExt = SIZE{1, 1};
    }
  }
  d->clipChanged();
  return old;
}

int GetMapMode(HDC dc) {
  DeviceContext* d = dcOf(dc);
  return d ? d->state().mapMode : 0;
}

namespace {

BOOL setPoint(HDC dc, POINT DcState::*field, int x, int y, LPPOINT old, bool offset) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  POINT& p = d->state().*field;
  if (old) *old = p;
  p = offset ? POINT{p.x + x, p.y + y} : POINT{x, y};
  return TRUE;
}

BOOL getPoint(HDC dc, POINT DcState::*field, LPPOINT out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out) return FALSE;
  *out = d->state().*field;
  return TRUE;
}

BOOL setExtent(HDC dc, SIZE DcState::*field, int cx, int cy, LPSIZE old) {
  DeviceContext* d = dcOf(dc);
  if (!d) return FALSE;
  DcState& s = d->state();
  if (old) *old = s.*field;
  // Extents only apply to the scalable modes; elsewhere the call succeeds and changes nothing.
  if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) return TRUE;
  if (cx == 0 || cy == 0) return FALSE;
  s.*field = SIZE{cx, cy};
  fixIsotropic(s);
  return TRUE;
}

}  // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old) { return setPoint(dc, &DcState::windowOrg, x, y, old, false); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT old) {
  return setPoint(dc, &DcState::windowOrg, dx, dy, old, true);
}
BOOL GetWindowOrgEx(HDC dc, LPPOINT out) { return getPoint(dc, &DcState::windowOrg, out); }
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old) {
  return setPoint(dc, &DcState::viewportOrg, x, y, old, false);
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT old) {
  return setPoint(dc, &DcState::viewportOrg, dx, dy, old, true);
}
BOOL GetViewportOrgEx(HDC dc, LPPOINT out) { return getPoint(dc, &DcState::viewportOrg, out); }
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old) { return setPoint(dc, &DcState::brushOrg, x, y, old, false); }
BOOL GetBrushOrgEx(HDC dc, LPPOINT out) { return getPoint(dc, &DcState::brushOrg, out); }
BOOL GetCurrentPositionEx(HDC dc, LPPOINT out) { return getPoint(dc, &DcState::cur, out); }

BOOL SetWindowExtEx(HDC dc, int cx, int cy, LPSIZE old) { return setExtent(dc, &DcState::windowExt, cx, cy, old); }
BOOL SetViewportExtEx(HDC dc, int cx, int cy, LPSIZE old) {
  return setExtent(dc, &DcState::viewportExt, cx, cy, old);
}

BOOL GetWindowExtEx(HDC dc, LPSIZE out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out) return FALSE;
  *out = d->state().windowExt;
  return TRUE;
}

BOOL GetViewportExtEx(HDC dc, LPSIZE out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out) return FALSE;
  *out = d->state().viewportExt;
  return TRUE;
}

BOOL ScaleViewportExtEx(HDC dc, int xn, int xd, int yn, int yd, LPSIZE old) {
  DeviceContext* d = dcOf(dc);
  if (!d || xd == 0 || yd == 0) return FALSE;
  const SIZE e = d->state().viewportExt;
  return SetViewportExtEx(dc, static_cast<int>(static_cast<long long>(e.cx) * xn / xd),
                          static_cast<int>(static_cast<long long>(e.cy) * yn / yd), old);
}

BOOL ScaleWindowExtEx(HDC dc, int xn, int xd, int yn, int yd, LPSIZE old) {
  DeviceContext* d = dcOf(dc);
  if (!d || xd == 0 || yd == 0) return FALSE;
  const SIZE e = d->state().windowExt;
  return SetWindowExtEx(dc, static_cast<int>(static_cast<long long>(e.cx) * xn / xd),
                        static_cast<int>(static_cast<long long>(e.cy) * yn / yd), old);
}

BOOL DPtoLP(HDC dc, LPPOINT pts, int count) {
  DeviceContext* d = dcOf(dc);
  if (!d || (!pts && count > 0) || count < 0) return FALSE;
  for (int i = 0; i < count; ++i) pts[i] = d->toLogical(pts[i]);
  return TRUE;
}

BOOL LPtoDP(HDC dc, LPPOINT pts, int count) {
  DeviceContext* d = dcOf(dc);
  if (!d || (!pts && count > 0) || count < 0) return FALSE;
  for (int i = 0; i < count; ++i) pts[i] = d->toDevice(pts[i]);
  return TRUE;
}

BOOL GetDCOrgEx(HDC dc, LPPOINT out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out) return FALSE;
  *out = d->origin();
  return TRUE;
}

namespace {

// Clip rectangles are put in order (a y-up mapping mode gives top > bottom in device space).
RECT orderedRect(const RECT& r) {
  return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

}  // namespace

// ---- clipping ------------------------------------------------------------------------------------------------

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
  DeviceContext* d = dcOf(dc);
  if (!d) return ERROR;
  if (!rgn) return d->combineAppClip(nullptr, mode);
  RegionObject* r = regionOf(rgn);
  if (!r) return ERROR;
  return d->combineAppClip(&r->region, mode);
}

int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* d = dcOf(dc);
  if (!d) return ERROR;
  const Region r(orderedRect(d->rectToDevice(RECT{left, top, right, bottom})));
  return d->combineAppClip(&r, RGN_AND);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* d = dcOf(dc);
  if (!d) return ERROR;
  const Region r(orderedRect(d->rectToDevice(RECT{left, top, right, bottom})));
  return d->combineAppClip(&r, RGN_DIFF);
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
  DeviceContext* d = dcOf(dc);
  if (!d) return ERROR;
  if (d->state().appClip) {
    d->state().appClip->offset(d->lengthToDeviceX(dx) * (dx < 0 ? -1 : 1), d->lengthToDeviceY(dy) * (dy < 0 ? -1 : 1));
    d->clipChanged();
  }
  return d->clipKind();
}

int GetClipBox(HDC dc, LPRECT out) {
  DeviceContext* d = dcOf(dc);
  if (!d || !out) return ERROR;
  const Region& c = d->clip();
  if (c.empty()) {
    *out = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  RECT b = c.bounds();
  const POINT o = d->origin();
  POINT pts[2] = {{b.left - o.x, b.top - o.y}, {b.right - o.x, b.bottom - o.y}};
  pts[0] = d->toLogical(pts[0]);
  pts[1] = d->toLogical(pts[1]);
  *out = RECT{std::min(pts[0].x, pts[1].x), std::min(pts[0].y, pts[1].y), std::max(pts[0].x, pts[1].x),
              std::max(pts[0].y, pts[1].y)};
  return c.kind();
}

int GetClipRgn(HDC dc, HRGN out) {
  DeviceContext* d = dcOf(dc);
  RegionObject* r = regionOf(out);
  if (!d || !r) return -1;
  if (!d->state().appClip) return 0;
  r->region = *d->state().appClip;
  return 1;
}

BOOL PtVisible(HDC dc, int x, int y) {
  DeviceContext* d = dcOf(dc);
  if (!d) return -1;
  const POINT p = d->toSurface(x, y);
  return d->clip().contains(p.x, p.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC dc, const RECT* r) {
  DeviceContext* d = dcOf(dc);
  if (!d || !r) return FALSE;
  return d->clip().intersects(d->rectToSurface(*r)) ? TRUE : FALSE;
}

// ---- regions -------------------------------------------------------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  // Regions normalise their rectangle, as the classic call does.
  return CreateRgnFromRegion(Region(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                                         std::max(top, bottom)}));
}

HRGN CreateRectRgnIndirect(const RECT* r) {
  if (!r) return nullptr;
  return CreateRectRgn(r->left, r->top, r->right, r->bottom);
}

HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode) {
  if (!pts || count < 2 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  return CreateRgnFromRegion(Region::fromPolygon(std::span<const POINT>(pts, static_cast<size_t>(count)), fillMode));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  return CreateRgnFromRegion(Region::ellipse(RECT{std::min(left, right), std::min(top, bottom),
                                                  std::max(left, right), std::max(top, bottom)}));
}

namespace plat {
Region roundRectRegion(const RECT& box, int w, int h);
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h) {
  return CreateRgnFromRegion(roundRectRegion(
      RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)}, w, h));
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  return SetRgnRegion(rgn, Region(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                                       std::max(top, bottom)}));
}

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
  RegionObject* d = regionOf(dst);
  RegionObject* ra = regionOf(a);
  if (!d || !ra || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->region = ra->region;
    return d->region.kind();
  }
  RegionObject* rb = regionOf(b);
  if (!rb) return ERROR;
  d->region = Region::combine(ra->region, rb->region, static_cast<Region::Op>(mode));
  return d->region.kind();
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  RegionObject* r = regionOf(rgn);
  if (!r) return ERROR;
  r->region.offset(dx, dy);
  return r->region.kind();
}

int GetRgnBox(HRGN rgn, LPRECT out) {
  RegionObject* r = regionOf(rgn);
  if (!r || !out) return ERROR;
  *out = r->region.bounds();
  return r->region.kind();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  RegionObject* r = regionOf(rgn);
  return r && r->region.contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* rc) {
  RegionObject* r = regionOf(rgn);
  return r && rc && r->region.intersects(*rc) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  RegionObject* ra = regionOf(a);
  RegionObject* rb = regionOf(b);
  if (!ra || !rb) return ERROR;
  return ra->region == rb->region ? TRUE : FALSE;
}

// ---- recording ----------------------------------------------------------------------------------------------

#include "platform/gdi/RecordingDC.h"

namespace plat {

HDC CreateRecordingDC(int width, int height) {
  auto surface = Surface::create(width, height);
  if (!surface) return nullptr;
  surface->fillAll(0xFFFFFFFFu);
  auto dc = std::make_unique<DeviceContext>(DcKind::Recording, surface, POINT{0, 0});
  dc->setRecorder(std::make_shared<DcRecorder>());
  return addDc(std::move(dc));
}

std::shared_ptr<DcRecorder> StartRecording(HDC dc) {
  DeviceContext* d = dcOf(dc);
  if (!d) return nullptr;
  if (!d->recorderPtr()) d->setRecorder(std::make_shared<DcRecorder>());
  return d->recorderPtr();
}

void StopRecording(HDC dc) {
  if (DeviceContext* d = dcOf(dc)) d->setRecorder(nullptr);
}

size_t GdiObjectCount() { return GdiTable::instance().liveCount(); }

std::shared_ptr<DcRecorder> RecorderOf(HDC dc) {
  DeviceContext* d = dcOf(dc);
  return d ? d->recorderPtr() : nullptr;
}

}  // namespace plat
