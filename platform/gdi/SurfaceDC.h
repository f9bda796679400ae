// Device contexts on a window system's surfaces, and region handles as values.
//
// Contract for the window system (stable; later additions only):
// - CreateSurfaceDC makes an HDC that draws onto `surface`. `origin` is the DC's device point (0, 0) inside the
//   surface: a window's client (or window) origin inside its top-level back buffer. The DC starts with the
//   classic default state (black pen, white brush, system font, black text on white, OPAQUE, MM_TEXT, no
//   application clip). GetObjectType answers OBJ_DC. Release it with DeleteDC (ReleaseDC/EndPaint call it).
// - The system clip is a set of rectangles in SURFACE coordinates (the paint DC's update region intersected
//   with the visible area). Without one the DC may draw on the whole surface. It can be changed while the DC
//   lives; the application clip (SelectClipRgn & co, relative to the DC origin) is kept, and output is clipped
//   to both and to the surface. SelectClipRgn(dc, NULL) removes only the application clip.
// - SetDCOrigin moves the device origin (a window moved within its top-level window); SetDCSurface swaps the
//   surface (the back buffer was re-created at a new size).
// - Region handles: CreateRgnFromRegion makes an HRGN holding a copy of a Region; RegionOfHandle answers the
//   Region behind an HRGN (null for a stale handle or another kind of object) and stays valid until the handle
//   is changed or deleted; SetRgnRegion replaces its contents.
#pragma once

#include <span>

#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/gdiapi.h"

namespace plat {

// What kind of window DC; all answer OBJ_DC. Paint and client DCs report TECHNOLOGY DT_RASDISPLAY like any
// screen DC; the kind is kept for the recording log and for GetDCKind.
enum class SurfaceDcKind { Window, Client, Paint };

HDC CreateSurfaceDC(SurfacePtr surface, POINT origin, SurfaceDcKind kind = SurfaceDcKind::Client);
BOOL SetDCSystemClip(HDC dc, std::span<const RECT> surfaceRects);
BOOL SetDCSystemClipRegion(HDC dc, const Region& surfaceRegion);
// No system clip: the whole surface.
BOOL ClearDCSystemClip(HDC dc);
BOOL SetDCOrigin(HDC dc, POINT origin);
BOOL SetDCSurface(HDC dc, SurfacePtr surface);
// The surface a DC draws on (a memory DC: its selected bitmap's), null for other DCs or a stale handle.
SurfacePtr SurfaceOfDC(HDC dc);

HRGN CreateRgnFromRegion(const Region& region);
const Region* RegionOfHandle(HRGN rgn);
BOOL SetRgnRegion(HRGN rgn, const Region& region);

}  // namespace plat
