#include "grid/core/CGXFontRegistry.h"

#include <algorithm>

CGXFontRegistry& CGXFontRegistry::Instance() {
  static CGXFontRegistry registry;
  return registry;
}

CGXFontRegistry::CGXFontRegistry() {
  // FIXME: enumerate the installed faces (and their scripts) once the platform's font enumeration is
  // available; until then the table holds the faces registered by name. The platform works at 96 DPI.
  AddFaceName("Arial");
}

GXFontFaceEntry* CGXFontRegistry::Find(std::string_view name) {
  auto it = std::lower_bound(m_faces.begin(), m_faces.end(), name,
                             [](const std::unique_ptr<GXFontFaceEntry>& e, std::string_view n) { return e->name < n; });
  return it != m_faces.end() && (*it)->name == name ? it->get() : nullptr;
}

UINT CGXFontRegistry::AddFaceName(std::string_view name, BYTE pitchAndFamily, BYTE charSet) {
  if (name.empty()) return kNoFace;
  name = name.substr(0, GXFontFaceEntry::kMaxName);
  GXFontFaceEntry* entry = Find(name);
  if (!entry) {
    if (m_ids.size() >= kMaxIds) return kNoFace;
    auto e = std::make_unique<GXFontFaceEntry>();
    e->name = std::string(name);
    e->pitchAndFamily = pitchAndFamily;
    e->charSet = charSet;
    e->plainFace = true;
    entry = e.get();
    auto at = std::lower_bound(m_faces.begin(), m_faces.end(), entry->name,
                               [](const std::unique_ptr<GXFontFaceEntry>& x, const std::string& n) { return x->name < n; });
    m_faces.insert(at, std::move(e));
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
