#include "grid/core/CGXGridProfileImp.h"

#include <cstdlib>

#include "grid/core/CGXFont.h"
#include "grid/core/CGXProperties.h"
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

}  // namespace

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
