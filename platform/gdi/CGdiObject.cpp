#include "platform/gdi/CGdiObject.h"

#include <map>
#include <memory>

namespace plat {

namespace {

struct Temp {
  std::unique_ptr<CObject> wrapper;
  void (*detach)(CObject*) = nullptr;
  void release() {
    if (wrapper && detach) detach(wrapper.get());
    wrapper.reset();
  }
};

std::map<HANDLE, Temp>& temps() {
  static std::map<HANDLE, Temp> m;
  return m;
}

}  // namespace

void KeepTempGdiObject(HANDLE h, CObject* wrapper, void (*detach)(CObject*)) {
  Temp& t = temps()[h];
  t.release();
  t.wrapper.reset(wrapper);
  t.detach = detach;
}

CObject* FindTempGdiObject(HANDLE h) {
  auto it = temps().find(h);
  return it == temps().end() ? nullptr : it->second.wrapper.get();
}

void DeleteTempGdiObjects() {
  // Move out first: a wrapper's destructor must not see a half-cleared map.
  auto old = std::move(temps());
  temps().clear();
  for (auto& [h, t] : old) t.release();
}

}  // namespace plat

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) { return plat::TempGdiWrapper<CGdiObject>(h); }

BOOL CGdiObject::Attach(HGDIOBJ h) {
  if (!h) return FALSE;
  m_hObject = h;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int index) {
  m_hObject = ::GetStockObject(index);
  return m_hObject != nullptr;
}
