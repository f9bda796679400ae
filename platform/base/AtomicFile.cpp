#include "platform/base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/base/FileFaults.h"

namespace plat {
namespace {

mode_t DefaultMode() {
  static const mode_t mode = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

// Writes all of `text` to `fd`; the errno value of the failure, 0 when everything was written.
int WriteAll(int fd, std::string_view text, const std::string& target) {
  if (const int fault = FileFault(FileStep::Write, target); fault && !text.empty()) return fault;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// Reserves room for the whole of `text` in the file open as `fd`, whose old length is `oldSize`, without changing
// its length or content; 0 or the errno value of the failure. A file system that reserves no room (EOPNOTSUPP)
// gets the part of the text beyond the old end appended instead, which a failure cuts off again.
int Reserve(int fd, std::string_view text, off_t oldSize, const std::string& target) {
  int e = FileFault(FileStep::Reserve, target);
  if (!e) {
    while (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(text.size())) != 0) {
      if (errno != EINTR) {
        e = errno;
        break;
      }
    }
  }
  if (e != EOPNOTSUPP && e != ENOSYS) return e;
  if (::lseek(fd, oldSize, SEEK_SET) < 0) return errno;
  if (const int w = WriteAll(fd, text.substr(static_cast<std::size_t>(oldSize)), target)) {
    (void)::ftruncate(fd, oldSize);
    return w;
  }
  return ::lseek(fd, 0, SEEK_SET) < 0 ? errno : 0;
}

// Writes the file where it is, for a folder where no temporary file can be made. The old text is never given up
// before the new one is known to fit: room for the new length is reserved first (a full disk fails there with
// nothing changed), the new text goes over the old bytes, the file is cut to the new length only after that, and
// it is flushed to the disk before the write is reported done.
bool WriteInPlace(const std::string& target, std::string_view text, off_t oldSize, int& err) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    err = errno;
    return false;
  }
  const off_t newSize = static_cast<off_t>(text.size());
  int e = newSize > oldSize ? Reserve(fd, text, oldSize, target) : 0;
  if (!e) e = WriteAll(fd, text, target);
  if (!e && newSize < oldSize && ::ftruncate(fd, newSize) != 0) e = errno;
  if (!e) e = FileFault(FileStep::Flush, target);
  if (!e && ::fsync(fd) != 0) e = errno;
  if (::close(fd) != 0 && !e) e = errno;
  err = e;
  return e == 0;
}

// Makes the folder's entries durable after a rename in it. The file already holds its new text under its name, so a
// failure here is no failed write: the entry then reaches the disk when the file system writes it.
void FlushFolder(const std::string& dir) {
  if (FileFault(FileStep::Flush, dir)) return;
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view text, int& err) {
  std::string target = path;
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  const std::size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  const std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) {
    if (S_ISDIR(old.st_mode)) {
      err = EISDIR;
      return false;
    }
    // Its owner may not write it (the mark holds for root too), or this process may not: never replaced.
    if (!(old.st_mode & S_IWUSR) || ::access(target.c_str(), W_OK) != 0) {
      err = EACCES;
      return false;
    }
    if (const int fault = FileFault(FileStep::Modify, target)) {
      err = fault;
      return false;
    }
  }

  // A file with further hard links is written where it is: a replace would leave the other names the old text.
  const bool inPlace = exists && S_ISREG(old.st_mode);
  if (inPlace && old.st_nlink > 1) return WriteInPlace(target, text, old.st_size, err);

  std::string temp = dir + (dir == "/" ? "" : "/") + "." + leaf + ".XXXXXX";
  int fd = -1;
  int tempError = FileFault(FileStep::CreateIn, dir);
  if (!tempError) {
    fd = ::mkstemp(temp.data());
    if (fd < 0) tempError = errno;
  }
  if (fd < 0) {
    // No temporary file beside it: a writable file is written where it is; a new one cannot be made either.
    if (inPlace) return WriteInPlace(target, text, old.st_size, err);
    err = tempError;
    return false;
  }
  auto drop = [&] {
    ::close(fd);
    ::unlink(temp.c_str());
  };
  auto fail = [&](int e) {
    err = e;
    drop();
    return false;
  };
  if (exists) {
    // The file keeps its owner and group. Where this process may not give them to the temporary file, the file
    // is written where it is instead, rather than taken over.
    struct stat made {};
    if (::fstat(fd, &made) != 0) return fail(errno);
    if (made.st_uid != old.st_uid || made.st_gid != old.st_gid) {
      int e = FileFault(FileStep::Own, target);
      if (!e && ::fchown(fd, old.st_uid, old.st_gid) != 0) e = errno;
      if (e == EPERM && inPlace) {
        drop();
        return WriteInPlace(target, text, old.st_size, err);
      }
      if (e) return fail(e);
    }
  }
  // After the owner: a change of owner clears the set-user and set-group bits.
  const mode_t mode = exists ? (old.st_mode & 07777) : DefaultMode();
  if (::fchmod(fd, mode) != 0) return fail(errno);
  if (const int e = WriteAll(fd, text, target)) return fail(e);
  // The text is on the disk before the name is given to it, so that no power loss leaves the name on an empty
  // file where the file system does not order the two.
  int e = FileFault(FileStep::Flush, target);
  if (!e && ::fsync(fd) != 0) e = errno;
  if (e) return fail(e);
  if (::close(fd) != 0) {
    err = errno;
    ::unlink(temp.c_str());
    return false;
  }
  e = FileFault(FileStep::Replace, target);
  if (!e && ::rename(temp.c_str(), target.c_str()) != 0) e = errno;
  if (e) {
    err = e;
    ::unlink(temp.c_str());
    return false;
  }
  FlushFolder(dir);
  return true;
}

}  // namespace plat
