// The grid's packed colours.
//
// A colour is given and returned as a 32-bit value whose top byte says what the low 24 bits are: 0 RGB,
// 1 palette index, 2 palette-relative RGB, 65..254 the system colour numbered 254 minus the top byte
// (COLOR_WINDOW 5 is 0xF9000000). Inside styles, brushes and pens a colour is kept as a 2-bit kind plus
// 24 bits; kind 3 means a system colour whose index is the 24 bits.
#pragma once

#include "platform/base/wintypes.h"

namespace gx {

enum ColorKind : BYTE { kindRGB = 0, kindPaletteIndex = 1, kindPaletteRGB = 2, kindSystem = 3 };

struct PackedColor {
  BYTE kind = kindRGB;
  DWORD value = 0;  // 24 bits: the colour, or the system-colour index for kindSystem
  friend bool operator==(const PackedColor&, const PackedColor&) = default;
};

// A tagged colour as the grid's callers give it.
constexpr PackedColor PackColor(COLORREF c) {
  const DWORD top = c >> 24;
  const DWORD low = c & 0xFFFFFFu;
  if (top <= 2) return {static_cast<BYTE>(top), low};
  if (top <= 64) return {static_cast<BYTE>(top % 4), low};
  if (top <= 254) return {kindSystem, 254 - top};
  return {kindSystem, low};
}

// Tags a system-colour index: (254 - index) in the top byte. Indexes above 189 cannot be tagged and give
// the classic window colour's tag instead of wrapping into another kind.
constexpr DWORD SysColorTag(DWORD index) { return index <= 189 ? (254 - index) : (254 - 5); }

// The colour with its kind in the top byte; a system colour is resolved to its current value and tagged
// again with 254 minus its index.
COLORREF TaggedColor(const PackedColor& c);
// The colour to draw with: a system colour resolved, palette kinds as the classic COLORREF forms.
COLORREF ResolvedColor(const PackedColor& c);
// A colour as the archives and profile texts hold it: RGB kinds as they are, a system colour as its
// current RGB with the tag 254 - index in the top byte.
inline COLORREF ArchiveColor(const PackedColor& c) { return TaggedColor(c); }
// Reading the archive form: a top byte of 65..254 is a system colour, anything else kind (top & 3).
constexpr PackedColor ColorFromArchive(DWORD c) {
  const DWORD top = c >> 24;
  if (top >= 65 && top <= 254) return {kindSystem, 254 - top};
  return {static_cast<BYTE>(top & 3), c & 0xFFFFFFu};
}

}  // namespace gx
