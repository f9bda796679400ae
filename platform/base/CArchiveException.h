// CArchiveException: a failed archive operation. The cause numbers are stored nowhere but are compared
// by callers (a layout loader tells "bad schema" apart), so they keep their classic values.
#pragma once

#include "platform/base/CException.h"
#include "platform/base/CString.h"

class CArchiveException : public CException {
  DECLARE_DYNAMIC(CArchiveException)
 public:
  enum {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  explicit CArchiveException(int cause = none, LPCSTR archiveName = nullptr);
  BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) const override;

  int m_cause;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowArchiveException(int cause, LPCSTR archiveName = nullptr);
