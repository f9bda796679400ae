#include "platform/base/FileMapping.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>
#include <mutex>

#include "platform/base/FileFaults.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"

namespace {

class FileObject final : public plat::KernelObject {
 public:
  FileObject(int fd, bool writable, std::string path) : fd(fd), writable(writable), path(std::move(path)) {}
  ~FileObject() override { ::close(fd); }
  // The sharing lock belongs to the handle: a mapping or view that keeps the file open does not keep others out.
  void HandleClosed() override { ::flock(fd, LOCK_UN); }
  const int fd;
  const bool writable;
  const std::string path;  // as opened, for the fault seam
  struct stat opened {};   // the file as the open left it
};

class MappingObject final : public plat::KernelObject {
 public:
  MappingObject(std::shared_ptr<FileObject> f, std::uint64_t s, bool w) : file(std::move(f)), size(s), writable(w) {}
  const std::shared_ptr<FileObject> file;
  const std::uint64_t size;
  const bool writable;
};

struct Views {
  std::mutex mutex;
  // View address -> (length, mapping kept alive while the view exists).
  std::map<const void*, std::pair<std::size_t, std::shared_ptr<MappingObject>>> open;
};

Views& TheViews() {
  static Views v;
  return v;
}

constexpr std::uint64_t kGranularity = 64 * 1024;

}  // namespace

HANDLE CreateFile(LPCSTR path, DWORD access, DWORD shareMode, void*, DWORD disposition, DWORD, HANDLE) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const bool read = (access & GENERIC_READ) != 0, write = (access & GENERIC_WRITE) != 0;
  int flags = O_CLOEXEC | (read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY);
  switch (disposition) {
    case CREATE_NEW:
      flags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      flags |= O_CREAT;
      break;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_HANDLE_VALUE;
  }
  const std::string native = plat::NativePath(path);
  struct stat before {};
  const bool existed = ::stat(native.c_str(), &before) == 0;
  if (const int fault = !write && existed ? plat::FileFault(plat::FileStep::Open, native) : 0) {
    plat::SetLastErrorFromErrno(fault);
    return INVALID_HANDLE_VALUE;
  }
  // O_NONBLOCK: opening a FIFO without a writer would wait for one; such a file is refused below.
  const int fd = ::open(native.c_str(), flags | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0) {
    const int error = errno;
    if (error == EEXIST)
      SetLastError(ERROR_FILE_EXISTS);
    else if (error == ENXIO && existed && S_ISSOCK(before.st_mode))
      SetLastError(ERROR_BAD_FILE_TYPE);  // a socket does not open at all: refused as a FIFO or a device is
    else
      plat::SetLastErrorFromErrno(error);
    return INVALID_HANDLE_VALUE;
  }
  auto file = std::make_shared<FileObject>(fd, write, native);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    plat::SetLastErrorFromErrno(errno);
    return INVALID_HANDLE_VALUE;
  }
  if (!S_ISREG(st.st_mode)) {
    SetLastError(S_ISDIR(st.st_mode) ? ERROR_ACCESS_DENIED : ERROR_BAD_FILE_TYPE);
    return INVALID_HANDLE_VALUE;
  }
  if (!plat::SizeKnownBeforeRead(fd)) {
    SetLastError(ERROR_FILE_SIZE_UNKNOWN);  // its size is not that of its bytes: no read or view of it can be whole
    return INVALID_HANDLE_VALUE;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!(shareMode & FILE_SHARE_WRITE)) {
    if (::flock(fd, (shareMode & FILE_SHARE_READ ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return INVALID_HANDLE_VALUE;
    }
  }
  // Truncation only once the lock is held.
  const bool truncate = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
  if (truncate && (::ftruncate(fd, 0) != 0 || ::fstat(fd, &st) != 0)) {
    plat::SetLastErrorFromErrno(errno);
    return INVALID_HANDLE_VALUE;
  }
  file->opened = st;
  SetLastError((disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) && existed ? ERROR_ALREADY_EXISTS : NO_ERROR);
  return plat::KernelHandles::Add(std::move(file));
}

bool plat::FileAsOpened(HANDLE file) {
  const auto f = plat::KernelHandles::Get<FileObject>(file);
  if (!f) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  struct stat now {};
  return ::stat(f->path.c_str(), &now) == 0 && plat::SameFileState(f->opened, now);
}

DWORD GetFileSize(HANDLE file, LPDWORD high) {
  const auto f = plat::KernelHandles::Get<FileObject>(file);
  struct stat st {};
  if (!f || ::fstat(f->fd, &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (high) *high = static_cast<DWORD>(size >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(size);
}

HANDLE CreateFileMapping(HANDLE file, void*, DWORD protect, DWORD maximumSizeHigh, DWORD maximumSizeLow, LPCSTR) {
  const auto f = plat::KernelHandles::Get<FileObject>(file);
  if (!f) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const bool writable = (protect & 0xFF) == PAGE_READWRITE;
  if (writable && !f->writable) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(f->fd, &st) != 0) {
    plat::SetLastErrorFromErrno(errno);
    return nullptr;
  }
  std::uint64_t size = (static_cast<std::uint64_t>(maximumSizeHigh) << 32) | maximumSizeLow;
  if (size == 0) size = static_cast<std::uint64_t>(st.st_size);
  if (size == 0) {
    SetLastError(ERROR_FILE_INVALID);
    return nullptr;
  }
  if (size > static_cast<std::uint64_t>(st.st_size)) {
    // A larger mapping grows the file, as the classic call does; only with write access.
    if (!writable || ::ftruncate(f->fd, static_cast<off_t>(size)) != 0) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
  }
  return plat::KernelHandles::Add(std::make_shared<MappingObject>(f, size, writable));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD read, void*) {
  const auto f = plat::KernelHandles::Get<FileObject>(file);
  if (read) *read = 0;
  if (!f) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (const int fault = plat::FileFault(plat::FileStep::Read, f->path)) {
    plat::SetLastErrorFromErrno(fault);
    return FALSE;
  }
  ssize_t n;
  do {
    n = ::read(f->fd, buffer, bytes);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    plat::SetLastErrorFromErrno(errno);
    return FALSE;
  }
  if (read) *read = static_cast<DWORD>(n);
  SetLastError(NO_ERROR);
  return TRUE;
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes) {
  const auto m = plat::KernelHandles::Get<MappingObject>(mapping);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const std::uint64_t offset = (static_cast<std::uint64_t>(offsetHigh) << 32) | offsetLow;
  if (offset % kGranularity != 0) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  if (offset >= m->size || (bytes != 0 && bytes > m->size - offset)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const bool write = (access & FILE_MAP_WRITE) != 0;
  if (write && !m->writable) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const std::size_t length = bytes != 0 ? bytes : static_cast<std::size_t>(m->size - offset);
  void* view = ::mmap(nullptr, length, PROT_READ | (write ? PROT_WRITE : 0), MAP_SHARED, m->file->fd, static_cast<off_t>(offset));
  if (view == MAP_FAILED) {
    plat::SetLastErrorFromErrno(errno);
    return nullptr;
  }
  auto& v = TheViews();
  std::lock_guard lock(v.mutex);
  v.open.emplace(view, std::make_pair(length, m));
  return view;
}

BOOL UnmapViewOfFile(LPCVOID view) {
  std::shared_ptr<MappingObject> keep;  // released outside the lock
  auto& v = TheViews();
  std::lock_guard lock(v.mutex);
  const auto it = v.open.find(view);
  if (it == v.open.end()) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  ::munmap(const_cast<void*>(view), it->second.first);
  keep = std::move(it->second.second);
  v.open.erase(it);
  return TRUE;
}
