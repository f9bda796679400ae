// Colours derived from the system colours: the owner-draw buttons' colours, the colour wells' colours, the
// 33-entry style colour table that themed headers and cells use, and the colour arithmetic behind it.
//
// Distances are measured in a weighted space where red, green and blue span 0..195, 0..390 and 0..65 (the
// eye's sensitivity, roughly); black is its origin and white lies about 441 away. EnsureColorContrast makes a
// colour stand out from a reference by a wanted distance, asking for more around dark references.
#pragma once

#include <array>

#include "platform/base/wintypes.h"

struct SECButtonColors {
  COLORREF frame = 0;      // COLOR_WINDOWFRAME
  COLORREF shadow = 0;     // COLOR_BTNSHADOW
  COLORREF highlight = 0;  // COLOR_BTNHIGHLIGHT
  COLORREF face = 0;       // COLOR_BTNFACE
  COLORREF shadow2 = 0;    // COLOR_BTNSHADOW, the separator of the well button
};

struct SECWellColors {
  COLORREF highlight = 0;   // COLOR_BTNHIGHLIGHT
  COLORREF shadow = 0;      // COLOR_BTNSHADOW
  COLORREF face = 0;        // COLOR_BTNFACE
  COLORREF darkShadow = 0;  // COLOR_3DDKSHADOW
  COLORREF light = 0;       // COLOR_3DLIGHT
  COLORREF background = 0;  // COLOR_BTNFACE
  COLORREF frame = 0;       // COLOR_WINDOWFRAME
};

// The shared caches: one set for all owner-draw buttons and one for all colour wells.
const SECButtonColors& GetButtonColors();
const SECWellColors& GetWellColors();
void UpdateButtonColors();
void UpdateWellColors();

constexpr int kStyleColorCount = 33;
// Re-reads the base system colours and recomputes the table in index order.
void UpdateStyleColors();
// Entry `index`; white for any index of 33 or more.
COLORREF GetStyleColor(UINT index);

// Per channel (a·w + b·(D − w) + D/2) / D with D = 100 below weight 100, else 1000 (so 165 is 16.5 %).
COLORREF BlendColors(COLORREF a, COLORREF b, BYTE weight);
// Adds `amount` to red, green and blue, each saturating at 255.
COLORREF LightenColor(COLORREF c, BYTE amount);
// Euclidean distance in the weighted space.
double ColorDistance(COLORREF a, COLORREF b);
// c when it lies strictly farther than the needed distance from `reference`, else MoveColorAway.
COLORREF EnsureColorContrast(COLORREF c, COLORREF reference, BYTE distance);
// The point on the ray from the space's origin (black, or white when there is no room towards black) through
// c that lies `distance` (scaled up for dark references) from `reference`.
COLORREF MoveColorAway(COLORREF c, COLORREF reference, double distance);

// The colours of a bitmap's colour table that LoadButtonBitmap (and the grid's system-colour bitmaps)
// replace by current system colours: {reference RGB, system colour index}.
struct SECBitmapColorMap {
  COLORREF reference;
  int sysColor;
};
const std::array<SECBitmapColorMap, 4>& GetBitmapColorMap();
