#include "platform/base/CSharedFile.h"

#include "platform/base/GlobalMemory.h"

IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

CSharedFile::CSharedFile(UINT allocFlags, UINT growBytes)
    : CMemFile(growBytes), allocFlags_(allocFlags | GMEM_MOVEABLE), defaultGrow_(growBytes) {}

CSharedFile::~CSharedFile() {
  if (buffer_ && autoDelete_) Free(buffer_);
  Reset();
  block_ = nullptr;
}

BYTE* CSharedFile::Alloc(SIZE_T bytes) {
  block_ = ::GlobalAlloc(allocFlags_, bytes);
  if (!block_) return nullptr;
  ownsBlock_ = true;
  return static_cast<BYTE*>(::GlobalLock(block_));
}

BYTE* CSharedFile::Realloc(BYTE* block, SIZE_T bytes) {
  if (!block_ || block != ::GlobalLock(block_)) return nullptr;
  ::GlobalUnlock(block_);  // the lock just taken
  ::GlobalUnlock(block_);  // the file's own lock, so the block may move
  HGLOBAL moved = ::GlobalReAlloc(block_, bytes, GMEM_MOVEABLE);
  if (!moved) {
    ::GlobalLock(block_);
    return nullptr;
  }
  block_ = moved;
  return static_cast<BYTE*>(::GlobalLock(block_));
}

void CSharedFile::Free(BYTE*) {
  if (!block_) return;
  ::GlobalUnlock(block_);
  if (ownsBlock_) ::GlobalFree(block_);
  block_ = nullptr;
}

HGLOBAL CSharedFile::Detach() {
  HGLOBAL h = block_;
  if (h) ::GlobalUnlock(h);
  block_ = nullptr;
  Reset();
  growBytes_ = defaultGrow_;
  return h;
}

void CSharedFile::SetHandle(HGLOBAL block, BOOL allowGrow) {
  if (buffer_ && autoDelete_) Free(buffer_);
  Reset();
  block_ = block;
  ownsBlock_ = false;
  buffer_ = static_cast<BYTE*>(::GlobalLock(block));
  if (!buffer_) {
    block_ = nullptr;
    AfxThrowMemoryException();
  }
  bufferSize_ = fileSize_ = ::GlobalSize(block);
  // Growing reallocates the caller's block (a movable block keeps its handle); without permission a write
  // past the end throws. Closing unlocks the block but never frees it.
  growBytes_ = allowGrow ? defaultGrow_ : 0;
  autoDelete_ = true;
}
