#include "platform/base/CException.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CException::CopyMessage(const char* text, LPSTR error, UINT maxError, UINT* helpContext) {
  if (helpContext) *helpContext = 0;
  if (!error || maxError == 0) return FALSE;
  const std::size_t n = std::min<std::size_t>(std::strlen(text), maxError - 1);
  std::memcpy(error, text, n);
  error[n] = '\0';
  return TRUE;
}

BOOL CException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) const {
  CopyMessage("", error, maxError, helpContext);
  return FALSE;
}

BOOL CMemoryException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) const {
  return CopyMessage("Out of memory.", error, maxError, helpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) const {
  return CopyMessage("The operation is not supported.", error, maxError, helpContext);
}

BOOL CInvalidArgException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) const {
  return CopyMessage("An argument is out of range or otherwise invalid.", error, maxError, helpContext);
}

BOOL CResourceException::GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext) const {
  return CopyMessage("A resource could not be found or created.", error, maxError, helpContext);
}

void AfxThrowMemoryException() {
  // Allocating while out of memory would fail, so the one exception object is static.
  static CMemoryException shared(FALSE);
  throw &shared;
}

void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowUserException() { throw new CUserException; }
void AfxThrowInvalidArgException() { throw new CInvalidArgException; }
void AfxThrowResourceException() { throw new CResourceException; }
