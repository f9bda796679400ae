#include "grid/core/CGXDIBPool.h"

#include <cstdlib>
#include <cstring>

#include "grid/core/CGXDIB.h"
#include "platform/base/GlobalMemory.h"

IMPLEMENT_DYNAMIC(CGXDIBPool, CObject)

namespace {
constexpr const char kPrefix[] = "#BMP(";
}

// The process's pool lives to the very end: its blocks belong to the platform's global-memory table, which
// may be gone before a static pool would be destroyed. The system takes the memory back at exit.
CGXDIBPool& GetDIBPool() {
  // The pool frees its bitmaps when it is destroyed (at exit, or when the module holding it is unloaded).
  // Global memory is used once before the pool exists, so that the memory layer's tables are older than
  // the pool and therefore destroyed after it.
  static const bool memoryReady = (GlobalFree(GlobalAlloc(GMEM_MOVEABLE, 1)), true);
  static CGXDIBPool pool;
  (void)memoryReady;
  return pool;
}

CGXDIBPool::~CGXDIBPool() {
  for (auto& [name, h] : m_dibs)
    if (h) GlobalFree(h);
  m_dibs.clear();
}

UINT CGXDIBPool::ParseReference(LPCTSTR text, CString& name) const {
  if (!text || std::strncmp(text, kPrefix, sizeof kPrefix - 1) != 0) return 0;
  const char* rest = text + sizeof kPrefix - 1;
  const char* quote = std::strchr(rest, '"');
  if (!quote) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(rest, &end, 10);
    // Resource ids are 16 bits: a larger number names no bitmap (it is not cut to another id).
    if (end == rest || id == 0 || id > 0xFFFF) return 0;
    name.Format("#%u", static_cast<unsigned>(id));
    return static_cast<UINT>(id);
  }
  const char* close = std::strchr(quote + 1, '"');
  const std::size_t n = close ? static_cast<std::size_t>(close - quote - 1) : std::strlen(quote + 1);
  name = CString(quote + 1, static_cast<int>(n));
  return name.IsEmpty() ? 0 : 0x10000;  // a name, never confused with an id
}

HGLOBAL CGXDIBPool::LoadDIB(LPCTSTR, UINT reference, const CString& name) {
  if (reference == 0) return nullptr;
  return LoadDibResourceAnyModule(reference <= 0xFFFF ? MAKEINTRESOURCE(reference) : name.GetString());
}

HGLOBAL CGXDIBPool::GetDIB(LPCTSTR text) {
  CString name;
  const UINT reference = ParseReference(text, name);
  if (reference == 0) return nullptr;
  auto it = m_dibs.find(name.Str());
  if (it != m_dibs.end()) return it->second;
  HGLOBAL dib = LoadDIB(text, reference, name);
  // A block that is no usable DIB counts as missing; a missing bitmap is looked up only once.
  if (dib) {
    gx::DibInfo info;
    const bool ok = gx::InspectDib(GlobalLock(dib), GlobalSize(dib), info);
    GlobalUnlock(dib);
    if (!ok) dib = GlobalFree(dib);
  }
  m_dibs.emplace(name.Str(), dib);
  return dib;
}

void CGXDIBPool::FormatNameReference(const CString& name, CString& out) const {
  out = kPrefix;
  out += "\"";
  out += name;
  out += "\")";
}

void CGXDIBPool::FormatIdReference(UINT id, CString& out) const { out.Format("%s%u)", kPrefix, id); }
