#include "grid/core/CGXBorderPen.h"

#include <array>
#include <cstdio>

#include "grid/core/gxprofiletext.h"

CGXBorderPen& CGXBorderPen::SetInclude(BOOL include) {
  if (!include)
    m_style = kNotSet;
  else if (m_style == kNotSet)
    m_style = kSolid;
  return *this;
}

std::string CGXBorderPen::FormatProfileText() const {
  // A system colour is written as its current value with the tag of its index.
  const COLORREF rgb = gx::ResolvedColor(m_color) & 0xFFFFFFu;
  const int kind = m_color.kind == gx::kindSystem ? static_cast<int>(gx::SysColorTag(m_color.value)) : m_color.kind;
  const COLORREF v = m_color.kind == gx::kindSystem ? rgb : m_color.value;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%lu %ld %d %d %d %d", static_cast<unsigned long>(m_style),
                static_cast<long>(m_width), static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF), kind);
  return buf;
}

void CGXBorderPen::ParseProfileText(const char* text) {
  std::array<long long, 6> n{};
  const std::size_t count = gx::ReadNumbers(text, n);
  m_style = static_cast<BYTE>(static_cast<UINT>(n[0]) & 7);
  m_width = static_cast<WORD>(count >= 2 ? n[1] : 1);
  auto byte = [](long long v) { return static_cast<DWORD>(v) & 0xFF; };
  const long long kind = count >= 6 ? n[5] : 0;
  if (kind >= 65 && kind <= 254)
    m_color = {gx::kindSystem, static_cast<DWORD>(254 - kind)};
  else
    m_color = {static_cast<BYTE>(kind & 3), byte(n[2]) | (byte(n[3]) << 8) | (byte(n[4]) << 16)};
  if (count >= 5)
    SetInclude(TRUE);
  else
    m_style = kNotSet;
}
