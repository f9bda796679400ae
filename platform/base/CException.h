// CException and the classic exceptions that carry no more than their type.
//
// Exceptions travel as pointers, as in the classic library: AfxThrow* throws `new CXxxException`, a
// handler catches `CException* e` and calls e->Delete() when done. The TRY/CATCH/END_CATCH macros delete
// the caught exception themselves when the handler's scope ends (unless THROW_LAST passes it on); do not
// call Delete inside them. The memory exception is one shared object that Delete never frees.
//
// CFileException and CArchiveException, which carry causes, have their own headers.
#pragma once

#include "platform/base/CObject.h"

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  CException() = default;
  explicit CException(BOOL autoDelete) : m_bAutoDelete(autoDelete) {}

  // Frees a heap exception; a no-op for static or stack objects created with autoDelete FALSE.
  void Delete();
  // Copies the message (cut to maxError - 1 characters); FALSE with an empty text when there is none.
  virtual BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) const;

 protected:
  static BOOL CopyMessage(const char* text, LPSTR error, UINT maxError, UINT* helpContext);
  BOOL m_bAutoDelete = TRUE;
};

class CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)
 public:
  CMemoryException() = default;
  explicit CMemoryException(BOOL autoDelete) : CException(autoDelete) {}
  BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) const override;
};

class CNotSupportedException : public CException {
  DECLARE_DYNAMIC(CNotSupportedException)
 public:
  BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) const override;
};

// Silent: a long operation ends through it after the user has already been told.
class CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
};

class CInvalidArgException : public CException {
  DECLARE_DYNAMIC(CInvalidArgException)
 public:
  BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) const override;
};

// A missing resource or a window class that could not be registered.
class CResourceException : public CException {
  DECLARE_DYNAMIC(CResourceException)
 public:
  BOOL GetErrorMessage(LPSTR error, UINT maxError, UINT* helpContext = nullptr) const override;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowResourceException();

namespace plat {

// Deletes the exception a CATCH block caught when the TRY statement's scope ends.
struct ExceptionLink {
  CException* m_pException = nullptr;
  ExceptionLink() = default;
  ExceptionLink(const ExceptionLink&) = delete;
  ExceptionLink& operator=(const ExceptionLink&) = delete;
  ~ExceptionLink() {
    if (m_pException) m_pException->Delete();
  }
};

}  // namespace plat

#define TRY                              \
  {                                      \
    ::plat::ExceptionLink brimExcLink_; \
    try
#define CATCH(class_name, e) \
  catch (class_name * e) {   \
    brimExcLink_.m_pException = e;
#define AND_CATCH(class_name, e) \
  }                              \
  catch (class_name * e) {       \
    brimExcLink_.m_pException = e;
#define END_CATCH \
  }               \
  }
#define CATCH_ALL(e) CATCH(CException, e)
#define AND_CATCH_ALL(e) AND_CATCH(CException, e)
#define END_CATCH_ALL END_CATCH
#define THROW(e) throw e
#define THROW_LAST()                      \
  do {                                    \
    brimExcLink_.m_pException = nullptr; \
    throw;                                \
  } while (false)
