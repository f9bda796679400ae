// Hardened reading of the grid's archives.
//
// A layout is untrusted input: every reader checks counts, indexes, lengths and kinds and throws the
// archive exception instead of crashing or allocating without bound.
// - Objects are read through ReadOwnedObject, which refuses a reference to an object already read: such
//   a reference would give that object a second owner (the grid's writers never produce one).
// - The top-level readers (layout resources, files) open an ArchiveReadGuard for the duration of one
//   read; array slots created from archived counts and indexes are charged against one budget for it.
//   Without a guard (trusted archives the program wrote itself) there is no budget.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/base/CObject.h"
#include "platform/base/wintypes.h"

class CArchive;

namespace gx {

class ArchiveReadGuard {
 public:
  // Slots (array elements) that one read may create from archived sizes: 16M, 128 MB of pointers.
  static constexpr std::size_t kSlotBudget = std::size_t{1} << 24;

  ArchiveReadGuard();
  ~ArchiveReadGuard();
  ArchiveReadGuard(const ArchiveReadGuard&) = delete;
  ArchiveReadGuard& operator=(const ArchiveReadGuard&) = delete;
};

// The largest index that a sparse archived array may name.
constexpr DWORD kMaxArchivedIndex = (DWORD{1} << 24) - 1;

// Reads an object of (a class derived from) cls; null for the null tag. Refuses a repeated object.
CObject* ReadOwnedObject(CArchive& ar, const CRuntimeClass* cls);

template <class T>
std::unique_ptr<T> ReadOwned(CArchive& ar, const CRuntimeClass* cls) {
  return std::unique_ptr<T>(static_cast<T*>(ReadOwnedObject(ar, cls)));
}
#define GX_READ_OWNED(T, ar) ::gx::ReadOwned<T>(ar, RUNTIME_CLASS(T))

// Charges n new array slots against the open read's budget; throws badIndex when it is used up.
void ChargeSlots(std::size_t n);

// Throws the archive exception of cause badIndex (a count or index out of range) or badSchema.
[[noreturn]] void ThrowBadIndex();
[[noreturn]] void ThrowBadSchema();

// A schema WORD; a stored schema above `current` is refused.
WORD ReadSchema(CArchive& ar, WORD current);

// The byte flags of the archives: writing takes the low byte, reading zero-extends.
void WriteFlag(CArchive& ar, BOOL value);
BOOL ReadFlag(CArchive& ar);

}  // namespace gx
