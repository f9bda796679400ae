#include "platform/base/CRuntimeClass.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/base/CObject.h"

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, CRuntimeClass*, std::less<>> byName;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return TRUE;
  return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR className) {
  if (!className) return nullptr;
  auto& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  const auto it = r.byName.find(std::string_view(className));
  return it == r.byName.end() ? nullptr : it->second;
}

CObject* CRuntimeClass::CreateObject(LPCSTR className) {
  const CRuntimeClass* cls = FromName(className);
  return cls ? cls->CreateObject() : nullptr;
}

namespace plat {

ClassRegistration::ClassRegistration(CRuntimeClass* cls) : cls_(cls) {
  auto& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  // The first registration of a name wins; a later duplicate stays unreachable by name.
  r.byName.emplace(cls->m_lpszClassName, cls);
}

ClassRegistration::~ClassRegistration() {
  auto& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  const auto it = r.byName.find(std::string_view(cls_->m_lpszClassName));
  if (it != r.byName.end() && it->second == cls_) r.byName.erase(it);
}

}  // namespace plat
