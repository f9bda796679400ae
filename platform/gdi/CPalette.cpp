#include "platform/gdi/CPalette.h"

CPalette* CPalette::FromHandle(HPALETTE h) { return plat::TempGdiWrapper<CPalette>(h); }

int CPalette::GetEntryCount() const {
  WORD n = 0;
  return ::GetObject(m_hObject, sizeof n, &n) ? n : 0;
}
