#include "grid/core/CGXFont.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "grid/core/CGXFontRegistry.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXFont, CObject, 0)

void CGXFont::Serialize(CArchive& ar) {
  if (CGXAbstractStyleSerializeImp* imp = CGXGridGlobals::Get().m_pStyleSerializeImp) imp->SerializeFont(this, ar);
}

CGXFont& CGXFont::Clear() {
  *this = CGXFont();
  return *this;
}

CGXFont& CGXFont::SetDefaultFont() {
  Clear();
  SetFaceName("Arial");
  // lfHeight -11 at the platform's 96 pixels per inch: MulDiv(11, 288, 96) quarter points.
  const int dpi = CGXFontRegistry::Instance().GetLogPixelsY();
  SetField(kSizeMask, 8, static_cast<UINT>((11 * 288 + dpi / 2) / dpi));
  SetWeight(400);
  SetOrientation(0);
  SetStrikeOut(FALSE);
  SetUnderline(FALSE);
  SetItalic(FALSE);
  return *this;
}

CGXFont& CGXFont::SetWeight(LONG weight) {
  // Weights above 1400 would read as "not included"; they are kept at the heaviest code that is not.
  LONG code = weight / 100;
  if (code < 0) code = 0;
  if (code > 14) code = 14;
  SetField(kWeightMask, 4, static_cast<UINT>(code));
  return *this;
}

CGXFont& CGXFont::SetFlag(DWORD includeBit, BOOL value) {
  m_word0 |= includeBit;
  if (value)
    m_word0 |= ValueBit(includeBit);
  else
    m_word0 &= ~ValueBit(includeBit);
  return *this;
}

CGXFont& CGXFont::SetInclude(DWORD includeBit, BOOL include) {
  if (include)
    m_word0 |= includeBit;
  else
    m_word0 &= ~(includeBit | ValueBit(includeBit));
  return *this;
}

CGXFont& CGXFont::SetIncludeWeight(BOOL b) {
  if (!b) SetField(kWeightMask, 4, kNoWeight);
  else if (!GetIncludeWeight()) SetWeight(400);
  return *this;
}

CGXFont& CGXFont::SetIncludeSize(BOOL b) {
  if (!b) SetField(kSizeMask, 8, 0);
  return *this;
}

CGXFont& CGXFont::SetIncludeOrientation(BOOL b) {
  if (!b) SetField(kDegreeMask, 21, kNoOrientation);
  else if (!GetIncludeOrientation()) SetField(kDegreeMask, 21, 0);
  return *this;
}

CGXFont& CGXFont::SetIncludeFaceName(BOOL b) {
  if (!b) m_word1 = (m_word1 & ~0x3FFu) | kNoFace;
  return *this;
}

CGXFont& CGXFont::SetPointSize(double points) {
  double q = std::fabs(points) * 4.0;
  if (!(q < kMaxQuarterPoints)) q = kMaxQuarterPoints;  // also catches NaN
  SetField(kSizeMask, 8, static_cast<UINT>(q));
  return *this;
}

CGXFont& CGXFont::SetOrientation(LONG tenths) {
  LONG t = tenths % 3600;
  if (t < 0) t += 3600;
  SetField(kDegreeMask, 21, static_cast<UINT>(t / 10));
  return *this;
}

CGXFont& CGXFont::SetFaceNameId(UINT id) {
  m_word1 = (m_word1 & ~0x3FFu) | (id & 0x3FF);
  return *this;
}

CGXFont& CGXFont::SetFaceName(const char* name) {
  return SetFaceNameId(CGXFontRegistry::Instance().AddFaceName(name ? name : ""));
}

std::string CGXFont::GetFaceName() const {
  const GXFontFaceEntry* e = CGXFontRegistry::Instance().GetFaceEntry(GetFaceNameId());
  if (!e) return {};
  return e->faceLength ? e->name.substr(0, e->faceLength) : e->name;
}

CGXFont& CGXFont::ChangeFont(const CGXFont& other, int mode) {
  if (mode == 2) {
    *this = other;
    return *this;
  }
  if (mode == 3) {
    if (other.GetIncludeWeight()) SetIncludeWeight(FALSE);
    if (other.GetIncludeSize()) SetIncludeSize(FALSE);
    if (other.GetIncludeOrientation()) SetIncludeOrientation(FALSE);
    if (other.GetIncludeFaceName()) SetIncludeFaceName(FALSE);
    if (other.GetIncludeItalic()) SetIncludeItalic(FALSE);
    if (other.GetIncludeUnderline()) SetIncludeUnderline(FALSE);
    if (other.GetIncludeStrikeOut()) SetIncludeStrikeOut(FALSE);
    return *this;
  }
  if (mode != 0 && mode != 1) return *this;
  const bool onlyNew = mode == 1;
  if (other.GetIncludeWeight() && !(onlyNew && GetIncludeWeight())) SetField(kWeightMask, 4, other.WeightCode());
  if (other.GetIncludeSize() && !(onlyNew && GetIncludeSize())) SetField(kSizeMask, 8, other.QuarterPoints());
  if (other.GetIncludeOrientation() && !(onlyNew && GetIncludeOrientation()))
    SetField(kDegreeMask, 21, other.Degrees());
  if (other.GetIncludeFaceName() && !(onlyNew && GetIncludeFaceName())) SetFaceNameId(other.GetFaceNameId());
  if (other.GetIncludeItalic() && !(onlyNew && GetIncludeItalic())) SetItalic(other.GetItalic());
  if (other.GetIncludeUnderline() && !(onlyNew && GetIncludeUnderline())) SetUnderline(other.GetUnderline());
  if (other.GetIncludeStrikeOut() && !(onlyNew && GetIncludeStrikeOut())) SetStrikeOut(other.GetStrikeOut());
  return *this;
}

BOOL CGXFont::ContainsFont(const CGXFont& o) const {
  if (o.GetIncludeWeight() && (!GetIncludeWeight() || WeightCode() != o.WeightCode())) return FALSE;
  if (o.GetIncludeSize() && (!GetIncludeSize() || QuarterPoints() != o.QuarterPoints())) return FALSE;
  if (o.GetIncludeItalic() && (!GetIncludeItalic() || GetItalic() != o.GetItalic())) return FALSE;
  if (o.GetIncludeUnderline() && (!GetIncludeUnderline() || GetUnderline() != o.GetUnderline())) return FALSE;
  if (o.GetIncludeStrikeOut() && (!GetIncludeStrikeOut() || GetStrikeOut() != o.GetStrikeOut())) return FALSE;
  if (o.GetIncludeOrientation() && (!GetIncludeOrientation() || Degrees() != o.Degrees())) return FALSE;
  if (o.GetIncludeFaceName() && (!GetIncludeFaceName() || GetFaceNameId() != o.GetFaceNameId())) return FALSE;
  return TRUE;
}

std::string CGXFont::FormatProfileText() const {
  std::string s;
  if (GetIncludeFaceName()) s += GetFaceName();
  s += ',';
  if (GetIncludeSize()) s += std::to_string(QuarterPoints() / 4);
  s += ',';
  if (GetIncludeWeight()) s += std::to_string(GetWeight());
  s += ',';
  if (GetIncludeItalic()) s += GetItalic() ? '1' : '0';
  s += ',';
  if (GetIncludeUnderline()) s += GetUnderline() ? '1' : '0';
  s += ',';
  if (GetIncludeStrikeOut()) s += GetStrikeOut() ? '1' : '0';
  s += ',';
  if (GetIncludeOrientation()) s += std::to_string(GetOrientation());
  return s;
}

void CGXFont::ParseProfileText(const char* text) {
  Clear();
  if (!text) return;
  std::string_view rest(text);
  std::string_view field[7];
  for (int i = 0; i < 7; ++i) {
    const std::size_t comma = rest.find(',');
    field[i] = rest.substr(0, comma);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  auto number = [](std::string_view f) { return std::atol(std::string(f).c_str()); };
  if (!field[0].empty()) SetFaceName(std::string(field[0]).c_str());
  if (!field[1].empty()) SetPointSize(static_cast<double>(number(field[1])));
  if (!field[2].empty()) SetWeight(number(field[2]));
  if (!field[3].empty()) SetItalic(number(field[3]) != 0);
  if (!field[4].empty()) SetUnderline(number(field[4]) != 0);
  if (!field[5].empty()) SetStrikeOut(number(field[5]) != 0);
  if (!field[6].empty()) SetOrientation(number(field[6]));
}
