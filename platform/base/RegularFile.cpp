#include "platform/base/RegularFile.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/base/FileFaults.h"
#include "platform/base/SystemError.h"
#include "safepath/HeldPath.h"

namespace plat {

namespace {

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0)
      ::close(fd);
  }
};

// Where a file is read: a path resolved as any other (links followed), or a name in a folder held open, under
// which no link is followed. `path` names the file to the fault seam either way.
struct Place {
  int folder;
  const char* name;
  bool followLink;
  const std::string& path;

  static Place Of(const std::string& path) { return {AT_FDCWD, path.c_str(), true, path}; }
  int statFlags() const { return followLink ? 0 : AT_SYMLINK_NOFOLLOW; }
};

// Opens the file without waiting and looks at it: Read when it is a regular file, whose size `st` then holds.
FileReadResult OpenRegular(const Place& place, Descriptor& file, struct stat& st) {
  if (const int fault = FileFault(FileStep::Open, place.path))
    return {FileReadStatus::CannotOpen, fault};
  // O_NONBLOCK: opening a FIFO without a writer would wait for one. A name in a held folder is opened once and what
  // that opened is judged: the name may hold another user's file by now, which is refused (EACCES).
  file.fd = place.followLink ? ::open(place.name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)
                             : safepath::OpenJudged(place.folder, place.name, O_RDONLY | O_NOCTTY, nullptr, st);
  if (file.fd < 0) {
    const int error = errno;
    // A socket does not open at all (ENXIO, "No such device or address"): it is no regular file, which says why.
    if (error == ENXIO && ::fstatat(place.folder, place.name, &st, place.statFlags()) == 0 && !S_ISREG(st.st_mode))
      return {FileReadStatus::NotRegular, 0};
    return {FileReadStatus::CannotOpen, error};
  }
  if (::fstat(file.fd, &st) != 0)
    return {FileReadStatus::ReadFailed, errno};
  if (!S_ISREG(st.st_mode))
    return {FileReadStatus::NotRegular, S_ISDIR(st.st_mode) ? EISDIR : 0};
  if (!SizeKnownBeforeRead(file.fd))
    return {FileReadStatus::SizeUnknown, 0};
  return {FileReadStatus::Read, 0};
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The reason's sentence without its subject ("The file ") and its full stop: it follows the file's name.
std::string Predicate(DWORD error) {
  const std::string sentence = SystemErrorText(error);
  const std::size_t subject = std::strlen("The file ");
  return sentence.substr(subject, sentence.size() - subject - 1);
}

}  // namespace

bool SameFileState(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && SameTime(a.st_mtim, b.st_mtim) &&
         SameTime(a.st_ctim, b.st_ctim);
}

bool SizeKnownBeforeRead(int fd) {
  // The kernel's own file systems, whose files are made as they are read (configfs has no name in the header).
  static constexpr unsigned long kMadeAsRead[] = {
      PROC_SUPER_MAGIC, SYSFS_MAGIC,     DEBUGFS_MAGIC,  TRACEFS_MAGIC, SECURITYFS_MAGIC, 0x62656570 /* configfs */,
      CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC, BPF_FS_MAGIC, EFIVARFS_MAGIC, PSTOREFS_MAGIC, SELINUX_MAGIC,
      SMACK_MAGIC,      BINFMTFS_MAGIC};
  struct statfs fs {};
  if (::fstatfs(fd, &fs) != 0)
    return true;
  for (const unsigned long kind : kMadeAsRead)
    if (static_cast<unsigned long>(fs.f_type) == kind)
      return false;
  return true;
}

FileReadResult CheckRegularFile(const std::string& path) {
  Descriptor file{-1};
  struct stat st {};
  return OpenRegular(Place::Of(path), file, st);
}

std::FILE* OpenRegularFileStream(const std::string& path) {
  Descriptor file{-1};
  struct stat st {};
  if (!OpenRegular(Place::Of(path), file, st))
    return nullptr;
  ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* stream = ::fdopen(file.fd, "r");
  if (stream)
    file.fd = -1;  // the stream owns it now
  return stream;
}

namespace {

// The whole file at `place`, as ReadRegularFile says.
FileReadResult ReadWhole(const Place& place, std::uint64_t maxBytes, std::string& text, struct stat* opened) {
  text.clear();
  Descriptor file{-1};
  struct stat st {};
  if (const FileReadResult opened = OpenRegular(place, file, st); !opened)
    return opened;
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
    return {FileReadStatus::TooLarge, 0};
  const int flags = ::fcntl(file.fd, F_GETFL);
  if (flags >= 0)
    ::fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK);
  text.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    if (const int fault = FileFault(FileStep::Read, place.path)) {
      text.clear();
      return {FileReadStatus::ReadFailed, fault};
    }
    const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      const int error = errno;
      text.clear();
      return {FileReadStatus::ReadFailed, error};
    }
    if (n == 0)
      break;
    // The file may grow while it is read: the limit holds for what is read, not only for what stat said.
    if (text.size() + static_cast<size_t>(n) > maxBytes) {
      text.clear();
      return {FileReadStatus::TooLarge, 0};
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  // Exactly the size measured at the open, and the name still that file, as it was, at the end: a file cut, grown
  // or written over meanwhile (at the same length too) is another file than the one measured, and a part of it, or
  // a mixture, would be taken for the whole; one put in its place makes what was read no longer the file's.
  struct stat end {};
  if (text.size() != static_cast<std::uint64_t>(st.st_size) ||
      ::fstatat(place.folder, place.name, &end, place.statFlags()) != 0 || !SameFileState(st, end)) {
    text.clear();
    return {FileReadStatus::Changed, 0};
  }
  if (opened)
    *opened = st;
  return {FileReadStatus::Read, 0};
}

}  // namespace

FileReadResult ReadRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& text,
                               struct stat* opened) {
  return ReadWhole(Place::Of(path), maxBytes, text, opened);
}

FileReadResult ReadRegularFileIn(int folder, const std::string& name, const std::string& path, std::uint64_t maxBytes,
                                 std::string& text, struct stat* opened) {
  return ReadWhole({folder, name.c_str(), false, path}, maxBytes, text, opened);
}

std::string DescribeFileRead(const FileReadResult& result, std::uint64_t maxBytes) {
  switch (result.status) {
    case FileReadStatus::Read: return "was read";
    case FileReadStatus::CannotOpen: return std::string("cannot be opened for reading (") + std::strerror(result.error) + ")";
    case FileReadStatus::NotRegular: return "is not a regular file";
    case FileReadStatus::TooLarge: return "is larger than " + std::to_string(maxBytes) + " bytes";
    case FileReadStatus::ReadFailed: return std::string("cannot be read (") + std::strerror(result.error) + ")";
    case FileReadStatus::Changed:
    case FileReadStatus::SizeUnknown: return Predicate(FileReadError(result));
  }
  return "cannot be read";
}

DWORD FileReadError(const FileReadResult& result) {
  switch (result.status) {
    case FileReadStatus::Read: return NO_ERROR;
    case FileReadStatus::CannotOpen:
    case FileReadStatus::ReadFailed: return ErrnoToError(result.error);
    case FileReadStatus::NotRegular:
      return result.error == EISDIR ? ERROR_DIRECTORY_NOT_SUPPORTED : ERROR_BAD_FILE_TYPE;
    case FileReadStatus::TooLarge: return ERROR_FILE_TOO_LARGE;
    case FileReadStatus::Changed: return ERROR_FILE_CHANGED;
    case FileReadStatus::SizeUnknown: return ERROR_FILE_SIZE_UNKNOWN;
  }
  return ERROR_GEN_FAILURE;
}

std::string FileReadReason(const FileReadResult& result, std::uint64_t maxBytes) {
  switch (result.status) {
    // The errno's own text: its classic number may say less (ENXIO reads as an input/output error).
    case FileReadStatus::CannotOpen:
    case FileReadStatus::ReadFailed: return ErrnoText(result.error);
    case FileReadStatus::TooLarge: return "The file is larger than " + std::to_string(maxBytes) + " bytes.";
    default: return SystemErrorText(FileReadError(result));
  }
}

}  // namespace plat
