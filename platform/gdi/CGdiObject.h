// CGdiObject: the class-library owner of a GDI object handle, base of CPen, CBrush, CFont, CBitmap, CRgn and
// CPalette.
//
// Ownership: the object deletes its handle when destroyed unless it was Detach()ed. FromHandle answers a
// temporary wrapper that does not own the handle; temporaries live until plat::DeleteTempGdiObjects() (the
// framework calls it when idle), as the classic temporary maps do.
#pragma once

#include "platform/base/CObject.h"
#include "platform/gdi/gdiapi.h"

class CGdiObject : public CObject {
 public:
  CGdiObject() = default;
  ~CGdiObject() override;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ m_hObject = nullptr;

  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  static CGdiObject* FromHandle(HGDIOBJ h);
  BOOL Attach(HGDIOBJ h);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int size, LPVOID out) const { return ::GetObject(m_hObject, size, out); }
  UINT GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }
  BOOL CreateStockObject(int index);
  BOOL UnrealizeObject() { return ::UnrealizeObject(m_hObject); }
  friend bool operator==(const CGdiObject& a, const CGdiObject& b) { return a.m_hObject == b.m_hObject; }
};

namespace plat {
// Frees the temporary wrappers handed out by the FromHandle functions of the GDI classes and CDC.
void DeleteTempGdiObjects();
// Keeps a temporary wrapper until DeleteTempGdiObjects; `detach` makes it let go of its handle before it is
// destroyed, so that a temporary never deletes what it wraps.
void KeepTempGdiObject(HANDLE h, CObject* wrapper, void (*detach)(CObject*));
CObject* FindTempGdiObject(HANDLE h);

// The FromHandle of a GDI class: the existing temporary of that class for `h`, or a new one.
template <typename T, typename H>
T* TempGdiWrapper(H h) {
  if (!h) return nullptr;
  if (auto* o = dynamic_cast<T*>(FindTempGdiObject(h))) return o;
  auto* o = new T();
  o->m_hObject = h;
  KeepTempGdiObject(h, o, [](CObject* w) { static_cast<T*>(w)->m_hObject = nullptr; });
  return o;
}
}  // namespace plat
