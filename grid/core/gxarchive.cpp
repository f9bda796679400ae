#include "grid/core/gxarchive.h"

#include <vector>

#include "platform/base/CRuntimeClass.h"

#include "platform/base/CArchive.h"
#include "platform/base/CArchiveException.h"

namespace gx {
namespace {

// The object-tag bookkeeping of the archive being read: classes by index (objects are never referred back
// to, so only their indexes are counted).
struct ReadState {
  const CArchive* archive = nullptr;
  std::vector<const CRuntimeClass*> classes{nullptr};  // index 0 unused; a null entry is an object's index
  std::size_t slotsLeft = ArchiveReadGuard::kSlotBudget;
  int depth = 0;
};

thread_local ReadState* t_state = nullptr;

}  // namespace

ArchiveReadGuard::ArchiveReadGuard() {
  if (!t_state) t_state = new ReadState;
  ++t_state->depth;
}

ArchiveReadGuard::~ArchiveReadGuard() {
  if (--t_state->depth == 0) {
    delete t_state;
    t_state = nullptr;
  }
}

void ThrowBadIndex() { AfxThrowArchiveException(CArchiveException::badIndex); }
void ThrowBadSchema() { AfxThrowArchiveException(CArchiveException::badSchema); }

// The persistent-object form: WORD tag 0 null; 0xFFFF a new class (schema, name) and a new object;
// 0x8000 | n a new object of class n; 0x7FFF a DWORD tag follows (0x80000000 | n class, else object n);
// any other n an object already read, which is refused: each object read here gets exactly one owner.
CObject* ReadOwnedObject(CArchive& ar, const CRuntimeClass* cls) {
  if (!t_state) return ar.ReadObject(cls);
  ReadState& st = *t_state;
  if (st.archive && st.archive != &ar) ThrowBadIndex();
  st.archive = &ar;
  WORD tag = 0;
  ar >> tag;
  if (tag == 0) return nullptr;
  DWORD index = 0;
  bool isClass = false;
  if (tag == 0x7FFF) {
    DWORD big = 0;
    ar >> big;
    isClass = (big & 0x80000000u) != 0;
    index = big & 0x7FFFFFFFu;
    if (!isClass) ThrowBadIndex();
  } else if (tag == 0xFFFF) {
    isClass = true;
    index = 0;
  } else if (tag & 0x8000) {
    isClass = true;
    index = tag & 0x7FFFu;
  } else {
    ThrowBadIndex();  // a reference to an object already delivered
  }
  const CRuntimeClass* found = nullptr;
  if (index == 0) {
    UINT schema = 0;
    found = CRuntimeClass::Load(ar, &schema);
    if (!found) AfxThrowArchiveException(CArchiveException::badClass);
    if ((found->m_wSchema & ~VERSIONABLE_SCHEMA) != schema && !(found->m_wSchema & VERSIONABLE_SCHEMA))
      ThrowBadSchema();
    st.classes.push_back(found);
  } else {
    if (index >= st.classes.size() || !st.classes[index]) ThrowBadIndex();
    found = st.classes[index];
  }
  if (cls && !found->IsDerivedFrom(cls)) AfxThrowArchiveException(CArchiveException::badClass);
  std::unique_ptr<CObject> object(found->CreateObject());
  if (!object) AfxThrowArchiveException(CArchiveException::badClass);
  st.classes.push_back(nullptr);  // the object's index
  object->Serialize(ar);
  return object.release();
}

void ChargeSlots(std::size_t n) {
  if (!t_state) return;
  if (n > t_state->slotsLeft) ThrowBadIndex();
  t_state->slotsLeft -= n;
}

WORD ReadSchema(CArchive& ar, WORD current) {
  WORD schema = 0;
  ar >> schema;
  if (schema > current) ThrowBadSchema();
  return schema;
}

void WriteFlag(CArchive& ar, BOOL value) { ar << static_cast<BYTE>(value & 0xFF); }

BOOL ReadFlag(CArchive& ar) {
  BYTE b = 0;
  ar >> b;
  return b;
}

}  // namespace gx
