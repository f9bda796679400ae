#include "platform/gdi/CFont.h"

#include <cstring>

#include "platform/base/MulDiv.h"
#include "platform/gdi/CDC.h"

CFont* CFont::FromHandle(HFONT h) { return plat::TempGdiWrapper<CFont>(h); }

BOOL CFont::CreatePointFont(int pointSize, LPCSTR face, CDC* dc) {
  LOGFONT lf{};
  lf.lfHeight = pointSize;
  lf.lfCharSet = DEFAULT_CHARSET;
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreatePointFontIndirect(&lf, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lf, CDC* dc) {
  if (!lf) return FALSE;
  LOGFONT l = *lf;
  // Tenths of a point to pixels at the DC's resolution, then to its logical units.
  HDC h = dc ? dc->m_hAttribDC : nullptr;
  HDC screen = h ? nullptr : CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  HDC use = h ? h : screen;
  POINT pt{0, MulDiv(GetDeviceCaps(use, LOGPIXELSY), lf->lfHeight, 720)};
  POINT org{0, 0};
  DPtoLP(use, &pt, 1);
  DPtoLP(use, &org, 1);
  l.lfHeight = -std::abs(pt.y - org.y);
  if (screen) DeleteDC(screen);
  return CreateFontIndirect(&l);
}
