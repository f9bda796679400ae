// CObject: the classic root class with run-time class information and serialisation.
//
//   class CThing : public CObject { DECLARE_SERIAL(CThing) ... };      // in the header
//   IMPLEMENT_SERIAL(CThing, CObject, 1)                                // in the .cpp (include CArchive.h)
//
// DECLARE_DYNAMIC/IMPLEMENT_DYNAMIC give the class name and IsKindOf; DYNCREATE adds creation by name
// (needs a default constructor); SERIAL adds the schema and `ar >> pThing`. RUNTIME_CLASS(CThing) is the
// class's record.
#pragma once

#include "platform/base/CRuntimeClass.h"

class CObject {
 public:
  virtual ~CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;

  virtual CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* cls) const;
  BOOL IsSerializable() const;
  virtual void Serialize(CArchive& ar);
  virtual void AssertValid() const {}

  static CRuntimeClass classCObject;

 protected:
  CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static CRuntimeClass class##class_name;       \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
  DECLARE_DYNCREATE(class_name)    \
  friend CArchive& operator>>(CArchive& ar, class_name*& object);

#define BRIM_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, creator)                         \
  CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), schema, \
                                                 creator, RUNTIME_CLASS(base_class_name)};                  \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }                  \
  static const ::plat::ClassRegistration brimClassRegistration_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  BRIM_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, kNoSchema, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                        \
  CObject* class_name::CreateObject() { return new class_name; }               \
  BRIM_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, kNoSchema, class_name::CreateObject)

// The translation unit must include "platform/base/CArchive.h".
#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                                          \
  CObject* class_name::CreateObject() { return new class_name; }                                       \
  BRIM_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, class_name::CreateObject)           \
  CArchive& operator>>(CArchive& ar, class_name*& object) {                                            \
    object = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));                       \
    return ar;                                                                                         \
  }
