// CFileException: a failed file operation, with the classic cause numbers, the system error and the file.
#pragma once

#include "platform/base/CException.h"
#include "platform/base/CString.h"

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
 public:
  enum {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  explicit CFileException(int cause = none, LONG osError = -1, LPCSTR fileName = nullptr);

  // The cause that a C runtime errno value means.
  static int ErrnoToException(int errnoValue);
  static int OsErrorToException(LONG osError) { return ErrnoToException(static_cast<int>(osError)); }
  [[noreturn]] static void ThrowErrno(int errnoValue, LPCSTR fileName = nullptr);
  [[noreturn]] static void ThrowOsError(LONG osError, LPCSTR fileName = nullptr);

  BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) const override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCSTR fileName = nullptr);
