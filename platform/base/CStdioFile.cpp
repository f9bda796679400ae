#include "platform/base/CStdioFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

CStdioFile::CStdioFile(LPCSTR fileName, UINT openFlags) {
  CFileException error;
  if (!Open(fileName, openFlags, &error)) AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile() {
  if (m_pStream) Abort();
}

BOOL CStdioFile::Open(LPCSTR fileName, UINT openFlags, CFileException* error) {
  if (m_pStream) {
    if (error) error->m_cause = CFileException::genericException;
    return FALSE;
  }
  // The descriptor, its checks and its lock come from CFile; the stream wraps it.
  if (!CFile::Open(fileName, openFlags & ~(typeText | typeBinary), error)) return FALSE;
  const char* mode = "rb";
  switch (openFlags & 3) {
    case modeWrite:
      mode = "wb";
      break;
    case modeReadWrite:
      mode = "r+b";
      break;
    default:
      mode = "rb";
      break;
  }
  m_pStream = ::fdopen(fd_, mode);
  if (!m_pStream) {
    const int e = errno;
    CFile::Abort();
    if (error) {
      error->m_cause = CFileException::ErrnoToException(e);
      error->m_lOsError = e;
      error->m_strFileName = fileName;
    }
    return FALSE;
  }
  text_ = (openFlags & typeBinary) == 0;
  return TRUE;
}

void CStdioFile::CheckOpen() const {
  if (!m_pStream) AfxThrowFileException(CFileException::invalidFile, EBADF, m_strFileName);
}

UINT CStdioFile::Read(void* buffer, UINT count) {
  CheckOpen();
  if (count == 0) return 0;
  if (!buffer) AfxThrowInvalidArgException();
  const std::size_t n = std::fread(buffer, 1, count, m_pStream);
  if (n < count && std::ferror(m_pStream)) {
    std::clearerr(m_pStream);
    ThrowErrno(errno ? errno : EIO);
  }
  return static_cast<UINT>(n);
}

void CStdioFile::Write(const void* buffer, UINT count) {
  CheckOpen();
  if (count == 0) return;
  if (!buffer) AfxThrowInvalidArgException();
  if (std::fwrite(buffer, 1, count, m_pStream) != count) {
    const int e = errno ? errno : EIO;
    std::clearerr(m_pStream);
    ThrowErrno(e);
  }
}

ULONGLONG CStdioFile::Seek(LONGLONG offset, UINT from) {
  CheckOpen();
  const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : from == end ? SEEK_END : -1;
  if (whence < 0 || ::fseeko(m_pStream, static_cast<off_t>(offset), whence) != 0)
    AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  return GetPosition();
}

ULONGLONG CStdioFile::GetPosition() const {
  CheckOpen();
  const off_t pos = ::ftello(m_pStream);
  if (pos < 0) ThrowErrno(errno);
  return static_cast<ULONGLONG>(pos);
}

ULONGLONG CStdioFile::GetLength() const {
  CheckOpen();
  std::fflush(m_pStream);
  struct stat st {};
  if (::fstat(fileno(m_pStream), &st) != 0) ThrowErrno(errno);
  return static_cast<ULONGLONG>(st.st_size);
}

void CStdioFile::SetLength(ULONGLONG newLength) {
  CheckOpen();
  std::fflush(m_pStream);
  if (::ftruncate(fileno(m_pStream), static_cast<off_t>(newLength)) != 0) ThrowErrno(errno);
}

void CStdioFile::Flush() {
  if (m_pStream && std::fflush(m_pStream) != 0) ThrowErrno(errno);
}

void CStdioFile::Close() {
  if (!m_pStream) return;
  FILE* f = m_pStream;
  m_pStream = nullptr;
  fd_ = -1;  // fclose closes the descriptor
  m_hFile = hFileNull;
  if (std::fclose(f) != 0) ThrowErrno(errno);
}

void CStdioFile::Abort() {
  if (!m_pStream) return;
  std::fclose(m_pStream);
  m_pStream = nullptr;
  fd_ = -1;
  m_hFile = hFileNull;
}

BOOL CStdioFile::ReadString(CString& line) {
  CheckOpen();
  std::string s;
  bool any = false;
  for (;;) {
    const int c = std::fgetc(m_pStream);
    if (c == EOF) break;
    any = true;
    if (c == '\n') break;
    s += static_cast<char>(c);
  }
  if (std::ferror(m_pStream)) {
    std::clearerr(m_pStream);
    ThrowErrno(errno ? errno : EIO);
  }
  if (!s.empty() && s.back() == '\r') s.pop_back();
  line = CString(std::move(s));
  return any ? TRUE : FALSE;
}

LPSTR CStdioFile::ReadString(LPSTR buffer, UINT maxChars) {
  CheckOpen();
  if (!buffer || maxChars == 0) AfxThrowInvalidArgException();
  UINT n = 0;
  while (n + 1 < maxChars) {
    const int c = std::fgetc(m_pStream);
    if (c == EOF) break;
    buffer[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[n] = '\0';
  if (n == 0) return nullptr;
  if (text_ && n >= 2 && buffer[n - 1] == '\n' && buffer[n - 2] == '\r') {
    buffer[n - 2] = '\n';
    buffer[n - 1] = '\0';
  }
  return buffer;
}

void CStdioFile::WriteString(LPCSTR text) {
  CheckOpen();
  if (!text) AfxThrowInvalidArgException();
  if (!text_) {
    Write(text, static_cast<UINT>(std::strlen(text)));
    return;
  }
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (*p == '\n' && (p == text || p[-1] != '\r')) out += '\r';
    out += *p;
  }
  Write(out.data(), static_cast<UINT>(out.size()));
}
