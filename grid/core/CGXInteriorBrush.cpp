#include "grid/core/CGXInteriorBrush.h"

#include <array>
#include <cstdio>

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/gxprofiletext.h"

CGXInteriorBrush& CGXInteriorBrush::SetColor(COLORREF color) {
  m_style = solid;
  m_fill = fillColor;
  m_fore = gx::PackColor(color);
  return *this;
}

CGXInteriorBrush& CGXInteriorBrush::SetPattern(UINT n) {
  m_pattern = static_cast<BYTE>(n & 0x7F);
  m_style = pattern;
  m_hatch = 0;
  m_fill = fillPattern;
  return *this;
}

namespace {

// Red, green, blue and the kind of a colour in the profile text form.
struct TextColor {
  int r, g, b, kind;
};

TextColor ToText(const gx::PackedColor& c) {
  if (c.kind == gx::kindSystem) {
    // The index stands in the red field; the kind field tags it.
    return {static_cast<int>(c.value), 0, 0, static_cast<int>(gx::SysColorTag(c.value))};
  }
  return {static_cast<int>(c.value & 0xFF), static_cast<int>((c.value >> 8) & 0xFF),
          static_cast<int>((c.value >> 16) & 0xFF), c.kind};
}

gx::PackedColor FromText(long long r, long long g, long long b, long long kind) {
  auto byte = [](long long v) { return static_cast<DWORD>(v) & 0xFF; };
  if (kind == gx::kindPaletteIndex) return {gx::kindPaletteIndex, byte(r) | (byte(g) << 8)};
  if (kind == gx::kindPaletteRGB) return {gx::kindPaletteRGB, byte(r) | (byte(g) << 8) | (byte(b) << 16)};
  if (kind >= 65 && kind <= 254) return {gx::kindSystem, static_cast<DWORD>(254 - kind)};
  return {gx::kindRGB, byte(r) | (byte(g) << 8) | (byte(b) << 16)};
}

}  // namespace

std::string CGXInteriorBrush::FormatProfileText() const {
  const TextColor f = ToText(m_fore);
  const gx::PackedColor back = m_back.kind == gx::kindSystem
                                   ? gx::PackedColor{gx::kindRGB, gx::ResolvedColor(m_back)}
                                   : m_back;
  const TextColor b = ToText(back);
  const long hatch = m_style == pattern ? m_pattern : m_hatch;
  char buf[128];
  std::snprintf(buf, sizeof buf, "%lu %ld %d %d %d %d %d %d %d", static_cast<unsigned long>(m_style), hatch, f.r,
                f.g, f.b, b.r, b.g, b.b, f.kind);
  return buf;
}

void CGXInteriorBrush::ParseProfileText(const char* text) {
  std::array<long long, 9> n{};
  const std::size_t count = gx::ReadNumbers(text, n);
  if (count >= 5) {
    const UINT style = static_cast<UINT>(n[0]) & 3;
    if (style == pattern) {
      SetPattern(static_cast<UINT>(n[1]));
    } else {
      m_style = static_cast<BYTE>(style);
      m_hatch = static_cast<BYTE>(n[1] & 7);
      m_fill = fillColor;
    }
  }
  // Missing colour numbers count as 0: fewer than five give a black foreground, fewer than eight a black
  // background. The background is always an RGB colour.
  m_fore = FromText(n[2], n[3], n[4], count >= 9 ? n[8] : 0);
  m_back = FromText(n[5], n[6], n[7], 0);
}

LOGBRUSH CGXInteriorBrush::GetLogBrush() const {
  LOGBRUSH lb{};
  lb.lbStyle = m_style;
  lb.lbColor = GetColor();
  lb.lbHatch = m_hatch;
  if (m_style == pattern) {
    CBitmap* bmp = GetDrawingAndFormatting().GetPatternBitmap(m_pattern);
    if (bmp)
      lb.lbHatch = reinterpret_cast<ULONG_PTR>(bmp->m_hObject);
    else
      lb = LOGBRUSH{BS_NULL, 0, 0};
  }
  return lb;
}
