#include "platform/base/CArchiveException.h"

IMPLEMENT_DYNAMIC(CArchiveException, CException)

CArchiveException::CArchiveException(int cause, LPCSTR archiveName)
    : m_cause(cause), m_strFileName(archiveName && !IS_INTRESOURCE(archiveName) ? archiveName : "") {}

BOOL CArchiveException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) const {
  const char* what = nullptr;
  switch (m_cause) {
    case none:
      what = "No error occurred while reading or writing %1.";
      break;
    case readOnly:
      what = "%1 was opened for reading and cannot be written.";
      break;
    case endOfFile:
      what = "%1 ended before all of its data was read.";
      break;
    case writeOnly:
      what = "%1 was opened for writing and cannot be read.";
      break;
    case badIndex:
      what = "%1 has an invalid format.";
      break;
    case badClass:
      what = "%1 holds an object of an unexpected type.";
      break;
    case badSchema:
      what = "%1 holds data of an unsupported version.";
      break;
    default:
      what = "An unexpected error occurred while reading or writing %1.";
      break;
  }
  const char* name = m_strFileName.IsEmpty() ? "The archive" : m_strFileName.GetString();
  CString text;
  AfxFormatStrings(text, what, &name, 1);
  return CopyMessage(text, error, maxError, helpContext);
}

void AfxThrowArchiveException(int cause, LPCSTR archiveName) { throw new CArchiveException(cause, archiveName); }
