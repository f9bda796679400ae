// CRuntimeClass: the classic run-time class record (name, size, schema, creator, base class) and the
// process-wide registry that finds a class by name.
//
// Records are constant-initialised aggregates, so a base-class pointer is valid before any constructor
// runs; the IMPLEMENT_* macros add each record to the registry while the library loads (in any order),
// which is before the first archive can be read. Unloading the library removes them again.
#pragma once

#include "platform/base/wintypes.h"

class CObject;
class CArchive;

// A serial class whose Serialize reads every older schema: ReadObject accepts any stored schema then and
// the class asks the archive for it (CArchive::GetObjectSchema).
constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;
// The schema of classes that cannot be serialised (dynamic and dynamic-creation declarations).
constexpr UINT kNoSchema = 0xFFFFu;

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;  // 0xFFFF: not serialisable; may carry VERSIONABLE_SCHEMA
  CObject* (*m_pfnCreateObject)();
  CRuntimeClass* m_pBaseClass;

  // A new object of this class, or null when the class has no creator.
  CObject* CreateObject() const;
  // This class or one of its bases is `base`.
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;

  // Exact (case-sensitive) name; null when unknown.
  static CRuntimeClass* FromName(LPCSTR className);
  static CObject* CreateObject(LPCSTR className);

  // The class tag body of an archive: WORD schema, WORD name length, name bytes.
  void Store(CArchive& ar) const;
  // Reads that body and finds the class; null (and *schema set) when the name is unknown.
  static CRuntimeClass* Load(CArchive& ar, UINT* schema);
};

namespace plat {

// Registers a run-time class for the lifetime of this object (one static object per IMPLEMENT_* macro).
class ClassRegistration {
 public:
  explicit ClassRegistration(CRuntimeClass* cls);
  ~ClassRegistration();
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;

 private:
  CRuntimeClass* cls_;
};

}  // namespace plat
