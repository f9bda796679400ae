#include "grid/core/gxarchive.h"

#include <memory>

#include "platform/base/CRuntimeClass.h"

#include "platform/base/CArchive.h"
#include "platform/base/CArchiveException.h"

namespace gx {
namespace {

// The budget of the read that a guard has opened.
struct ReadState {
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

// The persistent-object form, read through the archive's own class and object tables (so that it mixes
// with any other object reading of the same archive): a null tag gives null, a new object of a new or
// known class is created, mapped and read. A reference to an object already read is refused: each object
// read here gets exactly one owner.
CObject* ReadOwnedObject(CArchive& ar, const CRuntimeClass* cls) {
  UINT schema = 0;
  DWORD objectTag = 0;
  CRuntimeClass* found = ar.ReadClass(cls, &schema, &objectTag);
  if (!found) {
    if (objectTag == 0) return nullptr;
    ThrowBadIndex();
  }
  std::unique_ptr<CObject> object(found->CreateObject());
  if (!object) AfxThrowArchiveException(CArchiveException::badClass);
  ar.MapObject(object.get());
  ar.SetObjectSchema(schema);
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
