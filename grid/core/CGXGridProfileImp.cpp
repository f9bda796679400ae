#include "grid/core/CGXGridProfileImp.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/CGXFont.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/base/PrivateProfile.h"
#include "platform/base/RegistryStore.h"
#include "platform/framework/CWinApp.h"

namespace {

// Without an application object there is no profile: writes do nothing, reads find nothing.
BOOL Write(LPCTSTR section, LPCTSTR entry, LPCTSTR value) {
  CWinApp* app = AfxGetApp();
  return app && section && entry ? app->WriteProfileString(section, entry, value) : FALSE;
}

CString Read(LPCTSTR section, LPCTSTR entry) {
  CWinApp* app = AfxGetApp();
  return app && section && entry ? app->GetProfileString(section, entry, "") : CString();
}

// Up to `count` comma-separated numbers (blanks before each skipped) into the first fields; fewer numbers
// set only the first fields, and the text stops at the first thing that is not a number.
void ReadNumberList(const CString& text, LONG* fields, int count) {
  const char* p = text;
  for (int i = 0; i < count && p && *p; ++i) {
    while (*p == ' ' || *p == '\t') ++p;
    char* end = nullptr;
    const long v = std::strtol(p, &end, 10);
    if (end == p) return;
    fields[i] = static_cast<LONG>(v);
    p = *end == ',' ? end + 1 : nullptr;
  }
}

template <class T>
void ReadSetting(LPCTSTR section, LPCTSTR entry, T& field) {
  field = static_cast<T>(GetProfileLong(section, entry, static_cast<long>(field)));
}


// Choice lists keep their lines in one entry: carriage returns are dropped, a line feed is written as the
// two characters "\n" and a backslash as "\\".
CString EscapeChoices(const CString& text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (*p == '\r') continue;
    if (*p == '\n') out += "\\n";
    else if (*p == '\\') out += "\\\\";
    else out += *p;
  }
  return CString(out.c_str());
}

CString UnescapeChoices(const CString& text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (p[0] == '\\' && p[1] == 'n') {
      out += '\n';
      ++p;
    } else if (p[0] == '\\' && p[1] == '\\') {
      out += '\\';
      ++p;
    } else {
      out += *p;
    }
  }
  return CString(out.c_str());
}

// The decimal number at the front of an entry; empty entries are absent.
bool ReadNumber(LPCTSTR section, LPCTSTR entry, unsigned long& value) {
  const CString v = Read(section, entry);
  if (v.IsEmpty()) return false;
  value = std::strtoul(v, nullptr, 10);
  return true;
}

WORD ToWord(unsigned long v) { return static_cast<WORD>(v > 0xFFFF ? 0xFFFF : v); }

// The base style a profile names: "#id" by its string resource, else by its name. Id 0 is a real style
// ("Standard"), so a name the map does not know is reported as not found rather than as 0.
bool FindBaseStyle(const CGXStylesMap& map, const CString& text, WORD& id) {
  if (text.IsEmpty()) return false;
  if (text[0] == '#') {
    const UINT resource = static_cast<UINT>(std::strtoul(text.GetString() + 1, nullptr, 10));
    id = map.GetIdFromResourceId(resource);
    UINT found = 0;
    return map.GetStyleName(id, found) && found == resource && resource != 0;
  }
  if (!map.GetNameTable().count(text.GetString())) return false;
  id = map.GetIdFromName(text);
  return true;
}

// How a styles map names a base style in the profile.
CString ProfileStyleName(const CString& name, UINT resourceId) {
  if (!resourceId) return name;
  CString s;
  s.Format("#%u", resourceId);
  return s;
}

// The registry mode of the application profile.
bool InRegistry() {
  CWinApp* app = AfxGetApp();
  return app && app->m_pszRegistryKey;
}

// The subkeys of the section's key (registry) or the entry names of the section (INI file).
std::vector<CString> SectionNames(LPCTSTR section) {
  std::vector<CString> names;
  CWinApp* app = AfxGetApp();
  if (!app || !section) return names;
  if (app->m_pszRegistryKey) {
    HKEY key = app->GetSectionKey(section, FALSE);
    if (!key) return names;
    char name[1025];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumKeyEx(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(name);
    }
    RegCloseKey(key);
    return names;
  }
  if (!app->m_pszProfileName) return names;
  // The list comes back as NUL-separated names; a buffer that was too small is enlarged rather than
  // losing the names that did not fit.
  std::vector<char> buffer(1024);
  for (;;) {
    const DWORD n = GetPrivateProfileString(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                            app->m_pszProfileName);
    if (n + 2 < buffer.size() || buffer.size() >= (1u << 24)) break;
    buffer.assign(buffer.size() * 4, '\0');
  }
  for (const char* p = buffer.data(); *p; p += std::strlen(p) + 1) names.emplace_back(p);
  return names;
}

}  // namespace

BOOL ProfileSectionExists(LPCTSTR section) {
  CWinApp* app = AfxGetApp();
  if (!app || !section) return FALSE;
  if (app->m_pszRegistryKey) {
    HKEY key = app->GetSectionKey(section, FALSE);
    if (!key) return FALSE;
    RegCloseKey(key);
    return TRUE;
  }
  if (!app->m_pszProfileName) return FALSE;
  // Null arguments flush the cached file, so that what another writer stored is seen.
  WritePrivateProfileString(nullptr, nullptr, nullptr, app->m_pszProfileName);
  char names[1024] = {};
  return GetPrivateProfileString(section, nullptr, "", names, sizeof names, app->m_pszProfileName) > 0;
}

CGXProfileWriteScope::CGXProfileWriteScope() {
  CWinApp* app = AfxGetApp();
  if (app && !app->m_pszRegistryKey && app->m_pszProfileName) m_batch.emplace(app->m_pszProfileName);
}

void InstallProfileImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pProfileImp) return;
  auto* imp = new CGXGridProfileImp;
  g.m_pProfileImp = imp;
  g.AddToAutoDeleteList(imp);
}

void WriteProfileLong(LPCTSTR section, LPCTSTR entry, long value) {
  CString s;
  s.Format("%ld", value);
  Write(section, entry, s);
}

void WriteProfileIncluded(LPCTSTR section, LPCTSTR entry, BOOL included, DWORD value) {
  if (!section || !entry) return;
  if (!included) {
    Write(section, entry, nullptr);
    return;
  }
  CString s;
  s.Format("%lu", static_cast<unsigned long>(value));
  Write(section, entry, s);
}

long GetProfileLong(LPCTSTR section, LPCTSTR entry, long defaultValue) {
  const CString s = Read(section, entry);
  return s.IsEmpty() ? defaultValue : std::atol(s);
}

void CGXGridProfileImp::WriteFontProfile(const CGXFont& font, LPCTSTR section, LPCTSTR entry) {
  if (!section || !entry) return;
  CGXProfileWriteScope scope;
  Write(section, entry, font.FormatProfileText().c_str());
}

BOOL CGXGridProfileImp::ReadFontProfile(CGXFont& font, LPCTSTR section, LPCTSTR entry) {
  const CString s = Read(section, entry);
  if (s.IsEmpty()) return FALSE;
  font.ParseProfileText(s);
  return TRUE;
}

void CGXGridProfileImp::WritePropertiesProfile(const CGXProperties& p) {
  CGXProfileWriteScope scope;
  const char* section = p.m_sSection;
  CString v;
  const auto& names = p.GetColorNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    v.Format("%lu", static_cast<unsigned long>(p.GetColor(static_cast<int>(i))));
    Write(section, names[i], v);
  }
  WriteProfileLong(section, "MarkColumnHeader", p.m_bMarkColHeader);
  WriteProfileLong(section, "MarkRowHeader", p.m_bMarkRowHeader);
  WriteProfileLong(section, "3dHeader", p.m_b3dHeaders);
  WriteProfileLong(section, "HorizontalLines", p.m_bHorzLines);
  WriteProfileLong(section, "VerticalLines", p.m_bVertLines);
  for (const auto& [id, e] : p.GetUserProperties()) {
    if (!e->value || !e->value->GetIncludeValue()) continue;
    CString entry;
    entry.Format("UP%u", static_cast<unsigned>(id));
    Write(section, entry, e->value->GetValue());
  }
  WriteProfileLong(section, "Page Order", static_cast<long>(p.m_nPageOrder));
  WriteProfileLong(section, "Print Vertical Lines", p.m_bPrintVertLines);
  WriteProfileLong(section, "Print Horizontal Lines", p.m_bPrintHorzLines);
  WriteProfileLong(section, "Print Only Black&White", p.m_bBlackWhite);
  WriteProfileLong(section, "Print Row Headers", p.m_bPrintRowHeaders);
  WriteProfileLong(section, "Print Column Headers", p.m_bPrintColHeaders);
  WriteProfileLong(section, "Center Vertical", p.m_bCenterVertical);
  WriteProfileLong(section, "Center Horizontal", p.m_bCenterHorizontal);
  WriteProfileLong(section, "Print Frame", p.m_bPrintFrame);
  v.Format("%ld,%ld,%ld,%ld", static_cast<long>(p.m_nMargins[0]), static_cast<long>(p.m_nMargins[1]),
           static_cast<long>(p.m_nMargins[2]), static_cast<long>(p.m_nMargins[3]));
  Write(section, "Margins", v);
  WriteProfileLong(section, "Start Page Numbering", p.m_nFirstPage);
  v.Format("%ld,%ld", static_cast<long>(p.m_nDistances[0]), static_cast<long>(p.m_nDistances[1]));
  Write(section, "Distances", v);
}

BOOL CGXGridProfileImp::ReadPropertiesProfile(CGXProperties& p) {
  const CString sectionText = p.m_sSection;
  const char* section = sectionText;
  if (!ProfileSectionExists(section)) return FALSE;
  const auto& names = p.GetColorNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const CString v = Read(section, names[i]);
    // Written as "%lu": a system-colour tag in the high byte needs the whole unsigned range.
    if (!v.IsEmpty()) p.GetColors()[i] = static_cast<COLORREF>(std::strtoul(v, nullptr, 10));
  }
  ReadSetting(section, "VerticalLines", p.m_bVertLines);
  ReadSetting(section, "HorizontalLines", p.m_bHorzLines);
  ReadSetting(section, "3dHeader", p.m_b3dHeaders);
  ReadSetting(section, "MarkRowHeader", p.m_bMarkRowHeader);
  ReadSetting(section, "MarkColumnHeader", p.m_bMarkColHeader);
  for (const auto& [id, e] : p.GetUserProperties()) {
    CString entry;
    entry.Format("UP%d", static_cast<int>(id));
    const CString v = Read(section, entry);
    if (v.IsEmpty()) continue;
    if (!e->value) e->value = std::make_unique<CGXStyle>();
    e->value->SetValue(v);
  }
  ReadSetting(section, "Page Order", p.m_nPageOrder);
  ReadSetting(section, "Print Vertical Lines", p.m_bPrintVertLines);
  ReadSetting(section, "Print Horizontal Lines", p.m_bPrintHorzLines);
  ReadSetting(section, "Print Only Black&White", p.m_bBlackWhite);
  ReadSetting(section, "Print Row Headers", p.m_bPrintRowHeaders);
  ReadSetting(section, "Print Column Headers", p.m_bPrintColHeaders);
  ReadSetting(section, "Center Vertical", p.m_bCenterVertical);
  ReadSetting(section, "Center Horizontal", p.m_bCenterHorizontal);
  ReadSetting(section, "Print Frame", p.m_bPrintFrame);
  ReadNumberList(Read(section, "Margins"), p.m_nMargins, 4);
  ReadSetting(section, "Start Page Numbering", p.m_nFirstPage);
  ReadNumberList(Read(section, "Distances"), p.m_nDistances, 2);
  return TRUE;
}

void CGXGridProfileImp::WriteStyleProfile(const CGXStyle& style, LPCTSTR section, const CGXStylesMap* stylesMap) {
  if (!section) return;
  CGXProfileWriteScope scope;
  const auto flag = [&](LPCTSTR entry, DWORD bit, DWORD value) {
    WriteProfileIncluded(section, entry, style.IsIncluded(bit), value);
  };
  const auto text = [&](LPCTSTR entry, DWORD bit, LPCTSTR value) {
    Write(section, entry, style.IsIncluded(bit) ? value : nullptr);
  };
  flag("HorizontalAlignment", GX_IN_HORZALIGN, style.GetHorizontalAlignment());
  flag("VerticalAlignment", GX_IN_VERTALIGN, style.GetVerticalAlignment());
  flag("ReadOnly", GX_IN_READONLY, style.GetReadOnly());
  flag("FloatCell", GX_IN_FLOATCELL, style.GetFloatCell());
  flag("FloodCell", GX_IN_FLOODCELL, style.GetFloodCell());
  flag("MergeCell", GX_IN_MERGECELL, style.GetMergeCell());
  flag("Draw3dFrame", GX_IN_DRAW3DFRAME, style.GetDraw3dFrame());
  flag("ControlId", GX_IN_CONTROLID, style.GetControl());
  flag("MaxLength", GX_IN_MAXLENGTH, style.GetMaxLength());
  flag("VerticalScrollbar", GX_IN_VSCROLL, style.GetVerticalScrollbar());
  CString base;
  UINT resourceId = 0;
  LPCTSTR baseName = stylesMap ? stylesMap->GetStyleName(style.GetBaseStyle(), resourceId) : nullptr;
  if (baseName) base = ProfileStyleName(baseName, resourceId);
  Write(section, "BaseStyle", style.IsIncluded(GX_IN_BASESTYLE) && baseName ? base.GetString() : nullptr);
  const COLORREF color = style.GetTextColorWithIndex();
  CString rgb;
  rgb.Format("%d %d %d", GetRValue(color), GetGValue(color), GetBValue(color));
  text("TextColor", GX_IN_TEXTCOLOR, rgb);
  flag("WrapText", GX_IN_WRAPTEXT, style.GetWrapText());
  flag("AutoSize", GX_IN_AUTOSIZE, style.GetAutoSize());
  flag("AllowEnter", GX_IN_ALLOWENTER, style.GetAllowEnter());
  flag("Enabled", GX_IN_ENABLED, style.GetEnabled());
  flag("TriState", GX_IN_TRISTATE, style.GetTriState());
  text("Value", GX_IN_VALUE, style.GetValue());
  text("Interior", GX_IN_INTERIOR, style.GetInterior().FormatProfileText().c_str());
  flag("Format", GX_IN_FORMAT, style.GetFormat());
  flag("Places", GX_IN_PLACES, style.GetPlaces());
  text("ChoicesList", GX_IN_CHOICELIST, EscapeChoices(style.GetChoiceList()));
  text("Font", GX_IN_FONT, style.GetFont().FormatProfileText().c_str());
  text("Borders", GX_IN_BORDERS, "1");
  // The side entries go with "Borders": a style without borders leaves none behind from an earlier one
  // (they would come back the moment a later style writes "Borders" again).
  static constexpr const char* kSides[] = {"Top", "Left", "Bottom", "Right"};
  const BOOL borders = style.IsIncluded(GX_IN_BORDERS);
  for (int i = 0; i < 4; ++i)
    Write(section, kSides[i], borders && style.HasBorder(i) ? style.GetBorder(i).FormatProfileText().c_str() : nullptr);
  if (style.GetUserAttributeMap()) style.GetUserAttributeMap()->WriteProfile(section);
}

BOOL CGXGridProfileImp::ReadStyleProfile(CGXStyle& style, LPCTSTR section, const CGXStylesMap* stylesMap) {
  if (!section) return FALSE;
  style.Free();
  unsigned long n = 0;
  if (ReadNumber(section, "HorizontalAlignment", n)) style.SetHorizontalAlignment(static_cast<UINT>(n));
  if (ReadNumber(section, "VerticalAlignment", n)) style.SetVerticalAlignment(static_cast<UINT>(n));
  if (ReadNumber(section, "ReadOnly", n)) style.SetReadOnly(n != 0);
  if (ReadNumber(section, "FloatCell", n)) style.SetFloatCell(n != 0);
  if (ReadNumber(section, "FloodCell", n)) style.SetFloodCell(n != 0);
  if (ReadNumber(section, "MergeCell", n)) style.SetMergeCell(static_cast<UINT>(n));
  if (ReadNumber(section, "Draw3dFrame", n)) style.SetDraw3dFrame(static_cast<UINT>(n));
  if (ReadNumber(section, "ControlId", n)) style.SetControl(ToWord(n));
  if (ReadNumber(section, "MaxLength", n)) style.SetMaxLength(ToWord(n));
  if (ReadNumber(section, "VerticalScrollbar", n)) style.SetVerticalScrollbar(n != 0);
  WORD base = 0;
  if (stylesMap && FindBaseStyle(*stylesMap, Read(section, "BaseStyle"), base)) style.SetBaseStyle(base);
  const CString rgb = Read(section, "TextColor");
  if (!rgb.IsEmpty()) {
    unsigned long c[3] = {0, 0, 0};
    const char* p = rgb;
    for (unsigned long& v : c) {
      char* end = nullptr;
      v = std::strtoul(p, &end, 10);
      p = end;
    }
    style.SetTextColor(RGB(c[0] & 0xFF, c[1] & 0xFF, c[2] & 0xFF));
  }
  if (ReadNumber(section, "WrapText", n)) style.SetWrapText(n != 0);
  if (ReadNumber(section, "AutoSize", n)) style.SetAutoSize(n != 0);
  if (ReadNumber(section, "AllowEnter", n)) style.SetAllowEnter(n != 0);
  if (ReadNumber(section, "Enabled", n)) style.SetEnabled(n != 0);
  if (ReadNumber(section, "TriState", n)) style.SetTriState(n != 0);
  const CString value = Read(section, "Value");
  if (!value.IsEmpty()) style.SetValue(value);
  const CString interior = Read(section, "Interior");
  if (!interior.IsEmpty()) style.SetInterior(CGXInteriorBrush(interior.GetString()));
  if (ReadNumber(section, "Format", n)) style.SetFormat(static_cast<UINT>(n));
  if (ReadNumber(section, "Places", n)) style.SetPlaces(static_cast<UINT>(n));
  const CString choices = Read(section, "ChoicesList");
  if (!choices.IsEmpty()) style.SetChoiceList(UnescapeChoices(choices));
  const CString font = Read(section, "Font");
  if (!font.IsEmpty()) style.SetFont(CGXFont(font.GetString()));
  if (Read(section, "Borders") == "1") {
    static constexpr const char* kSides[] = {"Top", "Left", "Bottom", "Right"};
    for (int i = 0; i < 4; ++i) {
      const CString pen = Read(section, kSides[i]);
      if (!pen.IsEmpty()) style.SetBorder(i, CGXBorderPen(pen.GetString()));
    }
  }
  if (stylesMap) {
    for (const auto& [id, entry] : stylesMap->GetUserAttributeMap()) {
      CString name;
      name.Format("UA%u", static_cast<unsigned>(id));
      const CString text = Read(section, name);
      if (!text.IsEmpty()) style.SetUserAttribute(id, text);
    }
  }
  return TRUE;
}

void CGXGridProfileImp::WriteStylesMapProfile(const CGXStylesMap& map) {
  CWinApp* app = AfxGetApp();
  const CString section = map.GetSection();
  if (!app || section.IsEmpty()) return;
  CGXProfileWriteScope scope;
  const bool registry = InRegistry();
  // Styles removed from the map must not come back: the old ones go first.
  if (registry) {
    if (HKEY key = app->GetSectionKey(section, FALSE)) {
      for (const CString& name : SectionNames(section)) RegDeleteKey(key, name);
      RegCloseKey(key);
    }
  } else {
    for (const CString& name : SectionNames(section)) app->WriteProfileString(section + "." + name, nullptr, nullptr);
    app->WriteProfileString(section, nullptr, nullptr);
  }
  for (POSITION pos = map.GetStartPosition(); pos;) {
    WORD id = 0;
    CString name;
    UINT resourceId = 0;
    const CGXStyle* style = nullptr;
    map.GetNextStyle(pos, id, name, resourceId, style);
    if (!style) continue;
    const CString profileName = ProfileStyleName(name, resourceId);
    if (registry) {
      WriteStyleProfile(*style, section + "\\" + profileName, &map);
    } else {
      app->WriteProfileString(section, profileName, "1");
      WriteStyleProfile(*style, section + "." + profileName, &map);
    }
  }
}

BOOL CGXGridProfileImp::ReadStylesMapProfile(CGXStylesMap& map) {
  const CString section = map.GetSection();
  const std::vector<CString> names = SectionNames(section);
  if (names.empty()) return FALSE;
  const bool registry = InRegistry();
  for (const CString& name : names) {
    std::unique_ptr<CGXStyle> style = map.CreateStyle();
    ReadStyleProfile(*style, registry ? section + "\\" + name : section + "." + name, &map);
    if (!name.IsEmpty() && name[0] == '#')
      map.RegisterStyleFromResource(static_cast<UINT>(std::strtoul(name.GetString() + 1, nullptr, 10)), *style);
    else
      map.RegisterStyle(name, *style);
  }
  // The standard style ends up including everything: what the profile left out comes from the defaults.
  map.UpdateStandardStyleIds();
  CGXStyle* standard = nullptr;
  if (map.LookupStyle(map.GetStandardStyle(), standard) && standard) {
    CGXStyle defaults;
    defaults.SetDefault();
    standard->MergeStyle(defaults, gxApplyNew);
  }
  return TRUE;
}
