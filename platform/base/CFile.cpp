#include "platform/base/CFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "platform/base/PathDialect.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

CFile::CFile() = default;

CFile::CFile(LPCSTR fileName, UINT openFlags) {
  CFileException error;
  if (!Open(fileName, openFlags, &error)) AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() {
  if (fd_ >= 0) Abort();
}

BOOL CFile::Open(LPCSTR fileName, UINT openFlags, CFileException* error) {
  auto fail = [&](int cause, int err) {
    if (error) {
      error->m_cause = cause;
      error->m_lOsError = err;
      error->m_strFileName = fileName ? fileName : "";
    }
    return FALSE;
  };
  if (fd_ >= 0) return fail(CFileException::genericException, EBUSY);
  if (!fileName || !*fileName) return fail(CFileException::badPath, ENOENT);

  int flags = O_CLOEXEC;
  switch (openFlags & 3) {
    case modeRead:
      flags |= O_RDONLY;
      break;
    case modeWrite:
      flags |= O_WRONLY;
      break;
    case modeReadWrite:
      flags |= O_RDWR;
      break;
    default:
      return fail(CFileException::genericException, EINVAL);
  }
  if (openFlags & modeCreate) flags |= O_CREAT | ((openFlags & modeNoTruncate) ? 0 : O_TRUNC);

  const std::string path = plat::NativePath(fileName);
  // Truncation waits until the lock is held, so that a refused open never destroys the holder's data.
  // Opened without waiting (a FIFO would wait for its other end) and looked at first: only a regular file is
  // read or written, never a folder, FIFO, device or socket.
  const int fd = ::open(path.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0) {
    const int e = errno;
    return fail(CFileException::ErrnoToException(e), e);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int e = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return fail(CFileException::accessDenied, e);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  const UINT share = openFlags & 0x70;
  if (share == shareExclusive || share == shareDenyWrite || share == shareDenyRead) {
    const int op = (share == shareExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (::flock(fd, op) != 0) {
      const int e = errno;
      ::close(fd);
      return fail(e == EWOULDBLOCK ? CFileException::sharingViolation : CFileException::ErrnoToException(e), e);
    }
  }
  if ((flags & O_TRUNC) && ::ftruncate(fd, 0) != 0) {
    const int e = errno;
    ::close(fd);
    return fail(CFileException::ErrnoToException(e), e);
  }
  fd_ = fd;
  m_hFile = reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd));
  m_strFileName = fileName;
  return TRUE;
}

void CFile::ThrowErrno(int errnoValue) const { CFileException::ThrowErrno(errnoValue, m_strFileName); }

UINT CFile::Read(void* buffer, UINT count) {
  if (count == 0) return 0;
  if (fd_ < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  if (!buffer) AfxThrowInvalidArgException();
  UINT done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(errno);
    }
    if (n == 0) break;
    done += static_cast<UINT>(n);
  }
  return done;
}

void CFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  if (fd_ < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  if (!buffer) AfxThrowInvalidArgException();
  UINT done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowErrno(errno);
    }
    done += static_cast<UINT>(n);
  }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  if (fd_ < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : from == end ? SEEK_END : -1;
  if (whence < 0) AfxThrowFileException(CFileException::badSeek, EINVAL, m_strFileName);
  const off_t pos = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (pos < 0) AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetPosition() const {
  if (fd_ < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
  if (pos < 0) ThrowErrno(errno);
  return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const {
  if (fd_ < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) ThrowErrno(errno);
  return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG newLength) {
  if (fd_ < 0) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
  if (::ftruncate(fd_, static_cast<off_t>(newLength)) != 0) ThrowErrno(errno);
}

void CFile::Flush() {
  if (fd_ < 0) return;
  // Written data is in the kernel already; the classic call does not promise more than that.
}

void CFile::Close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  m_hFile = hFileNull;
  if (::close(fd) != 0 && errno != EINTR) ThrowErrno(errno);
}

void CFile::Abort() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  m_hFile = hFileNull;
}

CString CFile::GetFileName() const {
  return m_strFileName.Mid(static_cast<int>(plat::NameStart(m_strFileName.View())));
}

CString CFile::GetFileTitle() const {
  CString name = GetFileName();
  const int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

void CFile::Remove(LPCSTR fileName) {
  if (!fileName) AfxThrowInvalidArgException();
  if (::unlink(plat::NativePath(fileName).c_str()) != 0) CFileException::ThrowErrno(errno, fileName);
}

void CFile::Rename(LPCSTR oldName, LPCSTR newName) {
  if (!oldName || !newName) AfxThrowInvalidArgException();
  // The classic rename never replaces an existing file.
  const std::string from = plat::NativePath(oldName), to = plat::NativePath(newName);
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno != EINVAL && errno != ENOSYS) CFileException::ThrowErrno(errno, oldName);
  // File systems without the no-replace flag: check first (not atomic, but the best they allow).
  struct stat st {};
  if (::stat(to.c_str(), &st) == 0) CFileException::ThrowErrno(EEXIST, oldName);
  if (::rename(from.c_str(), to.c_str()) != 0) CFileException::ThrowErrno(errno, oldName);
}
