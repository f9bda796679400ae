#include "platform/base/CFileException.h"

#include <cerrno>
#include <cstring>

IMPLEMENT_DYNAMIC(CFileException, CException)

CFileException::CFileException(int cause, LONG osError, LPCSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName && !IS_INTRESOURCE(fileName) ? fileName : "") {}

int CFileException::ErrnoToException(int errnoValue) {
  switch (errnoValue) {
    case 0:
      return none;
    case ENOENT:
      return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return badPath;
    case EMFILE:
    case ENFILE:
      return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
      return accessDenied;
    case EBADF:
      return invalidFile;
    case EBUSY:
    case ETXTBSY:
      return sharingViolation;
    case EWOULDBLOCK:
      return lockViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return diskFull;
    case ESPIPE:
    case EINVAL:
      return badSeek;
    case EIO:
      return hardIO;
    default:
      return genericException;
  }
}

void CFileException::ThrowErrno(int errnoValue, LPCSTR fileName) {
  AfxThrowFileException(ErrnoToException(errnoValue), errnoValue, fileName);
}

void CFileException::ThrowOsError(LONG osError, LPCSTR fileName) {
  AfxThrowFileException(OsErrorToException(osError), osError, fileName);
}

BOOL CFileException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) const {
  const char* what = nullptr;
  switch (m_cause) {
    case none:
      what = "No error occurred with %1.";
      break;
    case fileNotFound:
      what = "%1 was not found.";
      break;
    case badPath:
      what = "%1 contains an invalid path.";
      break;
    case tooManyOpenFiles:
      what = "%1 could not be opened because too many files are open.";
      break;
    case accessDenied:
      what = "Access to %1 was denied.";
      break;
    case invalidFile:
      what = "An invalid file handle was used with %1.";
      break;
    case removeCurrentDir:
      what = "%1 could not be removed because it is the current directory.";
      break;
    case directoryFull:
      what = "%1 could not be created because the directory is full.";
      break;
    case badSeek:
      what = "A seek on %1 failed.";
      break;
    case hardIO:
      what = "A hardware I/O error occurred while accessing %1.";
      break;
    case sharingViolation:
      what = "%1 is in use by another program.";
      break;
    case lockViolation:
      what = "A locked region of %1 could not be accessed.";
      break;
    case diskFull:
      what = "The disk is full while accessing %1.";
      break;
    case endOfFile:
      what = "An attempt was made to read past the end of %1.";
      break;
    default:
      what = "An unexpected error occurred while accessing %1.";
      break;
  }
  const char* name = m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString();
  CString text;
  AfxFormatStrings(text, what, &name, 1);
  return CopyMessage(text, error, maxError, helpContext);
}

void AfxThrowFileException(int cause, LONG osError, LPCSTR fileName) { throw new CFileException(cause, osError, fileName); }
