#include "grid/core/CGXFontRegistry.h"

#include <algorithm>
#include <cstring>

CGXFontRegistry& CGXFontRegistry::Instance() {
  static CGXFontRegistry registry;
  return registry;
}

CGXFontRegistry::CGXFontRegistry() {
  Enumerate();
  // "Arial" gets the first id, whatever the enumeration found.
  AddFaceName("Arial");
}

// Every installed face once by name and once as "face (script)" per character set.
void CGXFontRegistry::Enumerate() {
  HDC dc = CreateIC("DISPLAY", nullptr, nullptr, nullptr);
  if (!dc) return;
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesEx(dc, &lf, &CGXFontRegistry::EnumProc, reinterpret_cast<LPARAM>(this), 0);
  if (m_faces.empty()) EnumFontFamilies(dc, nullptr, &CGXFontRegistry::EnumProc, reinterpret_cast<LPARAM>(this));
  // Units never divide by zero: a device that reports no resolution counts as 96 pixels per inch.
  const int y = GetDeviceCaps(dc, LOGPIXELSY), x = GetDeviceCaps(dc, LOGPIXELSX);
  m_logPixelsY = y > 0 ? y : 96;
  m_logPixelsX = x > 0 ? x : 96;
  DeleteDC(dc);
}

int CGXFontRegistry::EnumProc(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM param) {
  auto* self = reinterpret_cast<CGXFontRegistry*>(param);
  if (!lf) return 1;
  // The enumeration hands out an ENUMLOGFONTEX: the script name follows the LOGFONT.
  const auto* elf = reinterpret_cast<const ENUMLOGFONTEXA*>(lf);
  const std::string face(lf->lfFaceName, strnlen(lf->lfFaceName, LF_FACESIZE));
  if (face.empty()) return 1;
  if (face != self->m_lastFace) {
    self->m_lastFace = face;
    if (GXFontFaceEntry* e = self->Insert(face, lf->lfPitchAndFamily, lf->lfCharSet, 0)) {
      e->enumerated = true;
      e->plainFace = true;
      e->fontType = static_cast<BYTE>(type & 7);
    }
  }
  const std::string script(reinterpret_cast<const char*>(elf->elfScript), strnlen(reinterpret_cast<const char*>(elf->elfScript), sizeof elf->elfScript));
  if (!script.empty()) {
    self->SetScriptName(lf->lfCharSet, script);
    const std::string described = face + " (" + script + ")";
    const BYTE length = static_cast<BYTE>(std::min<std::size_t>(face.size(), GXFontFaceEntry::kMaxName));
    if (GXFontFaceEntry* e = self->Insert(described, lf->lfPitchAndFamily, lf->lfCharSet, length)) {
      e->enumerated = true;
      e->fontType = static_cast<BYTE>(type & 7);
    }
  }
  return 1;
}

GXFontFaceEntry* CGXFontRegistry::Find(std::string_view name) {
  auto it = std::lower_bound(m_faces.begin(), m_faces.end(), name,
                             [](const std::unique_ptr<GXFontFaceEntry>& e, std::string_view n) { return e->name < n; });
  return it != m_faces.end() && (*it)->name == name ? it->get() : nullptr;
}

GXFontFaceEntry* CGXFontRegistry::Insert(std::string_view name, BYTE pitchAndFamily, BYTE charSet, BYTE faceLength) {
  name = name.substr(0, GXFontFaceEntry::kMaxName);
  if (name.empty()) return nullptr;
  if (GXFontFaceEntry* e = Find(name)) return e;
  auto e = std::make_unique<GXFontFaceEntry>();
  e->name = std::string(name);
  e->pitchAndFamily = pitchAndFamily;
  e->charSet = charSet;
  e->faceLength = std::min<BYTE>(faceLength, static_cast<BYTE>(e->name.size()));
  GXFontFaceEntry* raw = e.get();
  auto at = std::lower_bound(m_faces.begin(), m_faces.end(), raw->name,
                             [](const std::unique_ptr<GXFontFaceEntry>& x, const std::string& n) { return x->name < n; });
  m_faces.insert(at, std::move(e));
  return raw;
}

UINT CGXFontRegistry::AddFaceName(std::string_view name, BYTE pitchAndFamily, BYTE charSet, BYTE faceLength) {
  if (name.empty()) return kNoFace;
  GXFontFaceEntry* entry = Find(name.substr(0, GXFontFaceEntry::kMaxName));
  if (!entry) {
    if (m_ids.size() >= kMaxIds) return kNoFace;
    entry = Insert(name, pitchAndFamily, charSet, faceLength);
    if (!entry) return kNoFace;
    entry->plainFace = faceLength == 0;
  }
  if (entry->id == kNoFace && m_ids.size() < kMaxIds) {
    entry->id = static_cast<WORD>(m_ids.size());
    m_ids.push_back(entry);
  }
  return entry->id;
}

const GXFontFaceEntry* CGXFontRegistry::GetFaceEntry(UINT id) const {
  return id < m_ids.size() ? m_ids[id] : nullptr;
}

BYTE CGXFontRegistry::GetFontFaceCharSet(UINT id) const {
  const GXFontFaceEntry* e = GetFaceEntry(id);
  return e ? e->charSet : 0;
}
