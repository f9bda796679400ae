#include "safepath/SaveLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <utility>
#include <vector>

namespace safepath {
namespace {

using Clock = std::chrono::steady_clock;

// The pause between two asks for a lock another save holds: short, since a program saving again and again gives it up
// only for the moment between two of its saves, and an ask must fall into that moment.
constexpr std::chrono::microseconds kPause{200};

struct Held {
  std::mutex mutex;
  std::chrono::milliseconds wait{5000};
  std::vector<std::pair<dev_t, ino_t>> locked;  // what this process's locks are on
};

Held& TheHeld() {
  static Held held;
  return held;
}

std::chrono::milliseconds Wait() {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  return h.wait;
}

// Whether a lock of this process is on the file `st` describes.
bool Locked(const struct stat& st) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  return std::find(h.locked.begin(), h.locked.end(), std::pair<dev_t, ino_t>{st.st_dev, st.st_ino}) != h.locked.end();
}

void Record(const struct stat& st) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  h.locked.emplace_back(st.st_dev, st.st_ino);
}

void Forget(dev_t dev, ino_t ino) noexcept {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  const auto it = std::find(h.locked.begin(), h.locked.end(), std::pair<dev_t, ino_t>{dev, ino});
  if (it != h.locked.end()) h.locked.erase(it);
}

void Pause() {
  struct timespec pause {0, std::chrono::nanoseconds(kPause).count()};
  while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}

// What the name holds: a regular file (its status in `st`), none, or something else that is not locked.
enum class Under { File, None, Other };

Under Look(const HeldPath& held, struct stat& st) {
  if (::fstatat(held.folder(), held.leaf().c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
    return S_ISREG(st.st_mode) ? Under::File : Under::Other;
  return errno == ENOENT ? Under::None : Under::Other;
}

}  // namespace

SaveLock::SaveLock(SaveLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), onFolder_(other.onFolder_), dev_(other.dev_), ino_(other.ino_) {}

SaveLock& SaveLock::operator=(SaveLock&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::exchange(other.fd_, -1);
    onFolder_ = other.onFolder_;
    dev_ = other.dev_;
    ino_ = other.ino_;
  }
  return *this;
}

void SaveLock::release() noexcept {
  if (fd_ < 0) return;
  Forget(dev_, ino_);
  ::close(fd_);  // the lock goes with the last descriptor of its open file
  fd_ = -1;
}

bool SaveLock::covers(const struct stat* file) const {
  if (fd_ < 0) return true;
  if (onFolder_) return !file;
  return file && file->st_dev == dev_ && file->st_ino == ino_;
}

int SaveLock::take(const HeldPath& held) {
  release();
  const Clock::time_point end = Clock::now() + Wait();
  for (;;) {
    struct stat named {};
    const Under under = Look(held, named);
    if (under == Under::Other) return 0;
    struct stat st {};
    const int fd = under == Under::File
                       ? OpenJudged(held.folder(), held.leaf().c_str(), O_RDONLY | O_NOCTTY, &named, st)
                       : ::openat(held.folder(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      if (errno == EBUSY && Clock::now() < end) continue;  // another file under the name since the look
      return 0;
    }
    if ((under == Under::None && ::fstat(fd, &st) != 0) || Locked(st)) {
      ::close(fd);
      return 0;
    }
    int e = 0;
    while ((e = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno) == EWOULDBLOCK || e == EINTR) {
      if (e == EWOULDBLOCK && Clock::now() >= end) break;
      if (e == EWOULDBLOCK) Pause();
    }
    struct stat now {};
    const Under after = e ? under : Look(held, now);
    // Held where the name still holds what was locked; else the lock goes to what it holds now.
    if (!e && after == under && (under == Under::None || (now.st_dev == st.st_dev && now.st_ino == st.st_ino))) {
      try {
        Record(st);
      } catch (...) {
        ::close(fd);
        throw;
      }
      fd_ = fd;
      onFolder_ = under == Under::None;
      dev_ = st.st_dev;
      ino_ = st.st_ino;
      return 0;
    }
    ::close(fd);
    if (e == EWOULDBLOCK) return EWOULDBLOCK;
    if (e) return 0;  // a file system that keeps no such locks
    if (Clock::now() >= end) return EWOULDBLOCK;
  }
}

std::chrono::milliseconds SetSaveLockWait(std::chrono::milliseconds wait) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  return std::exchange(h.wait, wait);
}

}  // namespace safepath
