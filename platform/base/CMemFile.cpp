#include "platform/base/CMemFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT growBytes) : growBytes_(growBytes) {}

CMemFile::CMemFile(BYTE* buffer, UINT size, UINT growBytes) : growBytes_(growBytes) { Attach(buffer, size, growBytes); }

CMemFile::~CMemFile() {
  // Subclasses free their own memory in their destructors; here only the default allocator's is freed.
  if (buffer_ && autoDelete_) std::free(buffer_);
  buffer_ = nullptr;
}

void CMemFile::Reset() {
  buffer_ = nullptr;
  position_ = bufferSize_ = fileSize_ = 0;
  autoDelete_ = true;
}

void CMemFile::Attach(BYTE* buffer, UINT size, UINT growBytes) {
  if (buffer_ && autoDelete_) Free(buffer_);
  Reset();
  buffer_ = buffer;
  bufferSize_ = size;
  // A growing attached file starts empty (it is a buffer to fill); a fixed one holds the given bytes.
  fileSize_ = growBytes == 0 ? size : 0;
  growBytes_ = growBytes;
  autoDelete_ = false;
}

BYTE* CMemFile::Detach() {
  BYTE* b = buffer_;
  Reset();
  return b;
}

BYTE* CMemFile::Alloc(SIZE_T bytes) { return static_cast<BYTE*>(std::malloc(bytes ? bytes : 1)); }
BYTE* CMemFile::Realloc(BYTE* block, SIZE_T bytes) { return static_cast<BYTE*>(std::realloc(block, bytes ? bytes : 1)); }
void CMemFile::Free(BYTE* block) { std::free(block); }

void CMemFile::GrowFile(SIZE_T newSize) {
  if (newSize <= bufferSize_) return;
  if (growBytes_ == 0) AfxThrowMemoryException();
  SIZE_T size = bufferSize_;
  // Round up to the growth step, as the classic file does.
  size = (newSize + growBytes_ - 1) / growBytes_ * growBytes_;
  BYTE* grown = nullptr;
  if (!buffer_) {
    grown = Alloc(size);
  } else if (autoDelete_) {
    grown = Realloc(buffer_, size);
  } else {
    grown = Alloc(size);
    if (grown) std::memcpy(grown, buffer_, fileSize_);
  }
  if (!grown) AfxThrowMemoryException();
  buffer_ = grown;
  bufferSize_ = size;
  autoDelete_ = true;
}

UINT CMemFile::Read(void* buffer, UINT count) {
  if (count == 0) return 0;
  if (!buffer) AfxThrowInvalidArgException();
  if (position_ >= fileSize_) return 0;
  const SIZE_T n = std::min<SIZE_T>(count, fileSize_ - position_);
  std::memcpy(buffer, buffer_ + position_, n);
  position_ += n;
  return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  if (!buffer) AfxThrowInvalidArgException();
  const SIZE_T end = position_ + count;
  if (end > bufferSize_) GrowFile(end);
  // A gap left by seeking past the end reads back as zeros.
  if (position_ > fileSize_) std::memset(buffer_ + fileSize_, 0, position_ - fileSize_);
  std::memmove(buffer_ + position_, buffer, count);
  position_ = end;
  if (position_ > fileSize_) fileSize_ = position_;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from) {
  LONGLONG base = 0;
  switch (from) {
    case begin:
      base = 0;
      break;
    case current:
      base = static_cast<LONGLONG>(position_);
      break;
    case end:
      base = static_cast<LONGLONG>(fileSize_);
      break;
    default:
      AfxThrowFileException(CFileException::badSeek, EINVAL, m_strFileName);
  }
  const LONGLONG pos = base + offset;
  if (pos < 0 || (offset > 0 && pos < base)) AfxThrowFileException(CFileException::badSeek, EINVAL, m_strFileName);
  position_ = static_cast<SIZE_T>(pos);
  return position_;
}

void CMemFile::SetLength(ULONGLONG newLength) {
  if (newLength > std::numeric_limits<UINT>::max()) AfxThrowMemoryException();
  if (newLength > bufferSize_) GrowFile(static_cast<SIZE_T>(newLength));
  if (newLength > fileSize_) std::memset(buffer_ + fileSize_, 0, static_cast<SIZE_T>(newLength) - fileSize_);
  fileSize_ = static_cast<SIZE_T>(newLength);
  if (position_ > fileSize_) position_ = fileSize_;
}

void CMemFile::Close() {
  if (buffer_ && autoDelete_) Free(buffer_);
  Reset();
}
