// CFile: an unbuffered binary file with the classic open modes; failures throw CFileException.
//
// Paths go through the module's dialect (PathDialect.h). Share modes become advisory locks on the open
// file: shareExclusive takes an exclusive lock, shareDenyWrite and shareDenyRead a shared one, and a
// conflicting holder (in this or another process) makes the open fail with sharingViolation.
// Directories cannot be opened as files (accessDenied).
#pragma once

#include "platform/base/CFileException.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

  static inline const HANDLE hFileNull = INVALID_HANDLE_VALUE;

  CFile();
  // Opens or throws CFileException.
  CFile(LPCSTR fileName, UINT openFlags);
  ~CFile() override;

  // FALSE on failure, with the cause in *error when given.
  virtual BOOL Open(LPCSTR fileName, UINT openFlags, CFileException* error = nullptr);
  virtual UINT Read(void* buffer, UINT count);
  virtual void Write(const void* buffer, UINT count);
  virtual ULONGLONG Seek(LONGLONG offset, UINT from);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  virtual void SetLength(ULONGLONG newLength);
  virtual void Flush();
  // Closes; throws when the close itself fails.
  virtual void Close();
  // Closes and ignores every error.
  virtual void Abort();
  virtual CString GetFileName() const;
  virtual CString GetFileTitle() const;
  virtual CString GetFilePath() const { return m_strFileName; }
  virtual void SetFilePath(LPCSTR newName) { m_strFileName = newName; }
  bool IsOpen() const { return fd_ >= 0; }

  static void Remove(LPCSTR fileName);
  static void Rename(LPCSTR oldName, LPCSTR newName);

  HANDLE m_hFile = hFileNull;

 protected:
  [[noreturn]] void ThrowErrno(int errnoValue) const;

  int fd_ = -1;
  CString m_strFileName;
};
