// CMemFile: a file in memory, over an owned growing buffer or attached bytes.
//
// Attached bytes are never copied while only read; a write past an attached buffer's end (when growth
// is allowed) moves the data into an owned buffer instead of reallocating memory the file does not own.
// Growth rounds the buffer up to a multiple of the growth step; with a step of 0 a write past the end
// throws CMemoryException. Subclasses (CSharedFile) supply their own memory through Alloc/Realloc/Free.
#pragma once

#include "platform/base/CFile.h"

class CMemFile : public CFile {
  DECLARE_DYNAMIC(CMemFile)
 public:
  explicit CMemFile(UINT growBytes = 1024);
  CMemFile(BYTE* buffer, UINT size, UINT growBytes = 0);
  ~CMemFile() override;

  // Uses the bytes without copying; the file does not free them.
  void Attach(BYTE* buffer, UINT size, UINT growBytes = 0);
  // Gives the buffer to the caller (free it with free() when the file owned it) and empties the file.
  BYTE* Detach();

  BOOL Open(LPCSTR, UINT, CFileException* = nullptr) override { return FALSE; }
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetPosition() const override { return position_; }
  ULONGLONG GetLength() const override { return fileSize_; }
  void SetLength(ULONGLONG newLength) override;
  void Flush() override {}
  void Close() override;
  void Abort() override { Close(); }

  // Direct access for the archive and tests: the bytes 0..GetLength().
  const BYTE* Data() const { return buffer_; }

 protected:
  virtual BYTE* Alloc(SIZE_T bytes);
  virtual BYTE* Realloc(BYTE* block, SIZE_T bytes);
  virtual void Free(BYTE* block);
  void GrowFile(SIZE_T newSize);
  void Reset();

  UINT growBytes_;
  SIZE_T position_ = 0;
  SIZE_T bufferSize_ = 0;
  SIZE_T fileSize_ = 0;
  BYTE* buffer_ = nullptr;
  bool autoDelete_ = true;  // the file owns buffer_
};
