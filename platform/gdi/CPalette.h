// CPalette: an owned palette handle.
#pragma once

#include "platform/gdi/CGdiObject.h"

class CPalette : public CGdiObject {
 public:
  static CPalette* FromHandle(HPALETTE h);
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
  BOOL CreatePalette(const LOGPALETTE* lp) { return Attach(::CreatePalette(lp)); }
  int GetEntryCount() const;
  UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const {
    return ::GetPaletteEntries(*this, start, count, out);
  }
  UINT SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* in) {
    return ::SetPaletteEntries(*this, start, count, in);
  }
  UINT GetNearestPaletteIndex(COLORREF c) const { return ::GetNearestPaletteIndex(*this, c); }
};
