// CFont: an owned font handle.
#pragma once

#include "platform/gdi/CGdiObject.h"

class CDC;

class CFont : public CGdiObject {
 public:
  static CFont* FromHandle(HFONT h);
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  BOOL CreateFontIndirect(const LOGFONT* lf) { return Attach(::CreateFontIndirectA(lf)); }
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, LPCSTR face) {
    return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                                outPrecision, clipPrecision, quality, pitchAndFamily, face));
  }
  // Height in tenths of a point, converted with the DC's (or the screen's) vertical resolution.
  BOOL CreatePointFont(int pointSize, LPCSTR face, CDC* dc = nullptr);
  BOOL CreatePointFontIndirect(const LOGFONT* lf, CDC* dc = nullptr);
  int GetLogFont(LOGFONT* lf) { return GetObject(sizeof(LOGFONT), lf); }
};
