#include "grid/core/CGXGridProfileImp.h"

#include <cstdlib>
#include <memory>

#include "grid/core/CGXFont.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStyle.h"
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
  Write(section, entry, font.FormatProfileText().c_str());
}

BOOL CGXGridProfileImp::ReadFontProfile(CGXFont& font, LPCTSTR section, LPCTSTR entry) {
  const CString s = Read(section, entry);
  if (s.IsEmpty()) return FALSE;
  font.ParseProfileText(s);
  return TRUE;
}

void CGXGridProfileImp::WritePropertiesProfile(const CGXProperties& p) {
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
