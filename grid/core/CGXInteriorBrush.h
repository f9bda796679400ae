// The interior of a cell: a LOGBRUSH style with foreground and background colours, a hatch index and a
// pattern number, plus the fill kind that says whether the cell is filled with a colour or a pattern.
//
// One model is used everywhere (styles, archives, profile texts). A new brush is all zero with a white
// foreground: a solid white fill.
#pragma once

#include <string>

#include "grid/core/gxcolor.h"
#include "platform/gdi/gdiapi.h"

class CGXInteriorBrush {
 public:
  enum Style : BYTE { solid = 0, null = 1, hatched = 2, pattern = 3 };  // the LOGBRUSH styles
  enum FillKind : BYTE { fillColor = 0, fillPattern = 3 };
  static constexpr UINT kPatterns = 41;  // patterns 0..40 of the drawing helpers' table

  CGXInteriorBrush() = default;
  // A solid brush of a packed colour.
  explicit CGXInteriorBrush(COLORREF color) { SetColor(color); }
  // Parses the profile text form (see ParseProfileText).
  explicit CGXInteriorBrush(const char* text) { ParseProfileText(text); }

  // A solid fill: clears the fill kind and stores the foreground colour.
  CGXInteriorBrush& SetColor(COLORREF color);
  // A pattern fill: stores the number (0..127 kept, 0..40 drawable), style pattern, fill kind pattern.
  // A pattern draws from the pattern table, so its hatch index is 0.
  CGXInteriorBrush& SetPattern(UINT n);
  CGXInteriorBrush& SetStyle(UINT style) { m_style = static_cast<BYTE>(style & 3); return *this; }
  CGXInteriorBrush& SetHatch(UINT hatch) { m_hatch = static_cast<BYTE>(hatch & 7); return *this; }
  CGXInteriorBrush& SetBkColor(COLORREF color) { m_back = gx::PackColor(color); return *this; }
  CGXInteriorBrush& SetFore(const gx::PackedColor& c) { m_fore = c; return *this; }
  CGXInteriorBrush& SetBack(const gx::PackedColor& c) { m_back = c; return *this; }

  UINT GetStyle() const { return m_style; }
  UINT GetHatch() const { return m_hatch; }
  UINT GetPattern() const { return m_pattern; }
  FillKind GetFillKind() const { return m_fill; }
  const gx::PackedColor& GetFore() const { return m_fore; }
  const gx::PackedColor& GetBack() const { return m_back; }
  // The colours with their kind in the top byte (system colours resolved and tagged).
  COLORREF GetColorWithIndex() const { return gx::TaggedColor(m_fore); }
  COLORREF GetBkColorWithIndex() const { return gx::TaggedColor(m_back); }
  COLORREF GetColor() const { return gx::ResolvedColor(m_fore); }
  COLORREF GetBkColor() const { return gx::ResolvedColor(m_back); }

  // "%lu %ld %d %d %d %d %d %d %d": style, hatch (or pattern for a pattern brush), foreground red, green,
  // blue, background red, green, blue, foreground colour kind (254 - index for a system colour, whose
  // index then stands in the red field).
  std::string FormatProfileText() const;
  // Reads 1 to 9 blank-separated numbers (see the form above). Style, hatch or pattern and foreground are
  // taken only with at least five numbers; missing colour numbers count as 0.
  void ParseProfileText(const char* text);

  // The LOGBRUSH to draw with (system colours resolved). A pattern brush takes the pattern bitmap of the
  // drawing helpers; a pattern number outside their table gives a null brush.
  LOGBRUSH GetLogBrush() const;

  friend bool operator==(const CGXInteriorBrush&, const CGXInteriorBrush&) = default;

 private:
  BYTE m_style = solid;
  BYTE m_hatch = 0;
  BYTE m_pattern = 0;
  FillKind m_fill = fillColor;
  gx::PackedColor m_fore{gx::kindRGB, 0xFFFFFF};
  gx::PackedColor m_back{};
};
