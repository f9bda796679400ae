// One border line of a cell: a pen style (7 = not set), a width and a packed colour.
#pragma once

#include <string>

#include "grid/core/gxcolor.h"
#include "platform/gdi/gdiapi.h"

class CGXBorderPen {
 public:
  static constexpr UINT kNotSet = 7;
  static constexpr UINT kNull = 5;   // PS_NULL: draws nothing
  static constexpr UINT kSolid = 0;  // PS_SOLID

  CGXBorderPen() = default;
  CGXBorderPen(UINT style, UINT width, COLORREF color) { SetStyle(style).SetWidth(width).SetColor(color); }
  // Parses the profile text form (see ParseProfileText).
  explicit CGXBorderPen(const char* text) { ParseProfileText(text); }

  CGXBorderPen& SetStyle(UINT style) { m_style = static_cast<BYTE>(style & 7); return *this; }
  CGXBorderPen& SetWidth(UINT width) { m_width = static_cast<WORD>(width); return *this; }
  CGXBorderPen& SetColor(COLORREF color) { m_color = gx::PackColor(color); return *this; }
  CGXBorderPen& SetPackedColor(const gx::PackedColor& c) { m_color = c; return *this; }
  // TRUE turns a pen that is not set into a solid one; FALSE marks it not set.
  CGXBorderPen& SetInclude(BOOL include);

  UINT GetStyle() const { return m_style; }
  UINT GetWidth() const { return m_width; }
  BOOL IsSet() const { return m_style != kNotSet; }
  const gx::PackedColor& GetPackedColor() const { return m_color; }
  COLORREF GetColorWithIndex() const { return gx::TaggedColor(m_color); }
  COLORREF GetColor() const { return gx::ResolvedColor(m_color); }

  // "%lu %ld %d %d %d %d": style, width, red, green, blue of the current colour value, colour kind (254 -
  // index for a system colour).
  std::string FormatProfileText() const;
  // Reads 1 to 6 numbers; with at least five the pen is set (a style "not set" becomes solid), with fewer
  // it is marked not set.
  void ParseProfileText(const char* text);

  // {style, width, colour with system colours resolved}.
  LOGPEN GetLogPen() const { return LOGPEN{m_style, POINT{m_width, 0}, GetColor()}; }

  friend bool operator==(const CGXBorderPen&, const CGXBorderPen&) = default;

 private:
  BYTE m_style = kNotSet;
  WORD m_width = 1;
  gx::PackedColor m_color{};
};
