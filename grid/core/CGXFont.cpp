#include "grid/core/CGXFont.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "grid/core/CGXFontRegistry.h"
#include "grid/core/CGXHashMap.h"
#include "platform/base/MulDiv.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXFont, CObject, 0)

void CGXFont::WriteProfile(LPCTSTR section, LPCTSTR entry) const {
  if (CGXAbstractGridProfileImp* imp = CGXGridGlobals::Get().m_pProfileImp) imp->WriteFontProfile(*this, section, entry);
}

BOOL CGXFont::ReadProfile(LPCTSTR section, LPCTSTR entry) {
  CGXAbstractGridProfileImp* imp = CGXGridGlobals::Get().m_pProfileImp;
  return imp ? imp->ReadFontProfile(*this, section, entry) : FALSE;
}

void CGXFont::Serialize(CArchive& ar) {
  if (CGXAbstractStyleSerializeImp* imp = CGXGridGlobals::Get().m_pStyleSerializeImp) imp->SerializeFont(this, ar);
}

CGXFont::CGXFont(const CGXFont& other) : CObject(), m_word0(other.m_word0), m_word1(other.m_word1) {
  if (other.m_bShared) GetFontData();
}

CGXFont& CGXFont::operator=(const CGXFont& other) {
  if (this == &other) return *this;
  if (m_word0 != other.m_word0 || m_word1 != other.m_word1) {
    ReleaseSharedData();
    m_word0 = other.m_word0;
    m_word1 = other.m_word1;
  }
  if (other.m_bShared) GetFontData();
  return *this;
}

CGXFont& CGXFont::Clear() {
  ReleaseSharedData();
  m_word0 = (kNoWeight << 4) | (kNoOrientation << 21);
  m_word1 = kNoFace;
  return *this;
}

// ---- Shared font data

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

struct FirstWordHash {
  DWORD operator()(ULONGLONG key) const { return static_cast<DWORD>(key); }
};

// CGXMapFontData: the records by the two packed words (second word high).
// Never destroyed: fonts in static objects may release their references during exit.
gx::HashMap<ULONGLONG, CGXFont::FontData*, FirstWordHash>& FontDataMap() {
  static auto* map = [] {
    auto* created = new gx::HashMap<ULONGLONG, CGXFont::FontData*, FirstWordHash>(1001);
#if defined(__SANITIZE_ADDRESS__)
    // Also when a library built with the grid is unloaded, which unmaps this pointer: still no leak.
    __lsan_ignore_object(created);
#endif
    return created;
  }();
  return *map;
}

}  // namespace

const CGXFont::FontData* CGXFont::GetFontData() const {
  const ULONGLONG key = (static_cast<ULONGLONG>(m_word1) << 32) | m_word0;
  CGXFont::FontData*& record = FontDataMap()[key];
  if (!record) record = new FontData;
  if (!m_bShared) {
    ++record->refs;
    m_bShared = true;
  }
  if (!(record->flags & 1)) {
    FillLogFont(record->lf);
    record->flags |= 1;
  }
  return record;
}

void CGXFont::ReleaseSharedData() const {
  if (!m_bShared) return;
  m_bShared = false;
  const ULONGLONG key = (static_cast<ULONGLONG>(m_word1) << 32) | m_word0;
  FontData* record = nullptr;
  if (!FontDataMap().Lookup(key, record) || !record) return;
  if (--record->refs <= 0) {
    delete record;
    FontDataMap().RemoveKey(key, true);
  }
}

std::size_t CGXFont::GetSharedDataCount() { return static_cast<std::size_t>(FontDataMap().GetCount()); }

void CGXFont::GetLogFontZoomed(LOGFONT& out, int zoom) const {
  // A font holding no shared record (a zoomed copy made for one lookup) fills its own: sharing it would make the
  // record, and the shared table when it is the only one, anew at every lookup.
  if (m_bShared) out = GetLogFont();
  else FillLogFont(out);
  out.lfHeight = static_cast<LONG>(static_cast<long long>(out.lfHeight) * zoom / 100);
}

void CGXFont::FillLogFont(LOGFONT& lf) const {
  lf = LOGFONT{};
  if (GetIncludeItalic()) lf.lfItalic = GetItalic() ? 1 : 0;
  if (GetIncludeUnderline()) lf.lfUnderline = GetUnderline() ? 1 : 0;
  if (GetIncludeStrikeOut()) lf.lfStrikeOut = GetStrikeOut() ? 1 : 0;
  const CGXFontRegistry& reg = CGXFontRegistry::Instance();
  if (GetIncludeSize()) lf.lfHeight = -MulDiv(static_cast<int>(QuarterPoints()), reg.GetLogPixelsY(), 288);
  if (GetIncludeWeight()) lf.lfWeight = static_cast<LONG>(WeightCode()) * 100;
  if (GetIncludeOrientation()) lf.lfEscapement = lf.lfOrientation = static_cast<LONG>(Degrees()) * 10;
  if (GetIncludeFaceName()) {
    if (const GXFontFaceEntry* e = reg.GetFaceEntry(GetFaceNameId())) {
      const std::size_t n = std::min<std::size_t>(e->faceLength ? e->faceLength : e->name.size(), LF_FACESIZE - 1);
      std::memcpy(lf.lfFaceName, e->name.data(), n);
      lf.lfFaceName[n] = '\0';
      lf.lfPitchAndFamily = e->pitchAndFamily;
      // A rotated font asks for a TrueType face: the flag is added, not summed into the family bits.
      if (lf.lfOrientation > 0) lf.lfPitchAndFamily |= 4;
      lf.lfCharSet = e->charSet;
    }
  }
}

CGXFont& CGXFont::SetLogFont(const LOGFONT& lf) {
  Clear();
  CGXFontRegistry& reg = CGXFontRegistry::Instance();
  const std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  if (lf.lfCharSet != ANSI_CHARSET && lf.lfCharSet != DEFAULT_CHARSET && !face.empty()) {
    std::string script = reg.GetScriptName(lf.lfCharSet);
    if (script.empty()) script = "charset " + std::to_string(lf.lfCharSet);
    const BYTE length = static_cast<BYTE>(std::min<std::size_t>(face.size(), GXFontFaceEntry::kMaxName));
    SetFaceNameId(reg.AddFaceName(face + " (" + script + ")", lf.lfPitchAndFamily, lf.lfCharSet, length));
  } else {
    SetFaceNameId(reg.AddFaceName(face, lf.lfPitchAndFamily, lf.lfCharSet));
  }
  if (lf.lfHeight != 0) {
    const long long h = lf.lfHeight < 0 ? -static_cast<long long>(lf.lfHeight) : lf.lfHeight;
    const int q = MulDiv(static_cast<int>(std::min<long long>(h, 0x7FFFFFFF)), 288, reg.GetLogPixelsY());
    SetField(kSizeMask, 8, static_cast<UINT>(q < 0 || q > static_cast<int>(kMaxQuarterPoints) ? kMaxQuarterPoints : q));
  }
  SetWeight(lf.lfWeight);
  SetOrientation(lf.lfOrientation);
  SetStrikeOut(lf.lfStrikeOut != 0);
  SetUnderline(lf.lfUnderline != 0);
  SetItalic(lf.lfItalic != 0);
  return *this;
}

CGXFont& CGXFont::SetDefaultFont() {
  LOGFONT lf{};
  std::strcpy(lf.lfFaceName, "Arial");
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  if (GetSystemMetrics(SM_DBCSENABLED)) {
    // Double-byte systems take the face of the stock GUI font.
    HGDIOBJ stock = GetStockObject(DEFAULT_GUI_FONT);
    if (!stock || GetObject(stock, sizeof lf, &lf) != sizeof lf) GetObject(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
  }
  lf.lfHeight = -11;
  lf.lfWeight = FW_NORMAL;
  lf.lfItalic = 0;
  lf.lfUnderline = 0;
  return SetLogFont(lf);
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
  ReleaseSharedData();
  m_word0 |= includeBit;
  if (value)
    m_word0 |= ValueBit(includeBit);
  else
    m_word0 &= ~ValueBit(includeBit);
  return *this;
}

CGXFont& CGXFont::SetInclude(DWORD includeBit, BOOL include) {
  ReleaseSharedData();
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
  if (b) return *this;
  ReleaseSharedData();
  m_word1 = (m_word1 & ~0x3FFu) | kNoFace;
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
  ReleaseSharedData();
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
  // A font that held a reference moves it to the record of its new key.
  const bool held = m_bShared;
  struct Rehold {
    const CGXFont& f;
    bool held;
    ~Rehold() {
      if (held && !f.m_bShared) f.GetFontData();
    }
  } rehold{*this, held};
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
