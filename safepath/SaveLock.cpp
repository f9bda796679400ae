#include "safepath/SaveLock.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <thread>
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
  // What this process's locks are on, and the thread that took each: one description's lock holds off every other,
  // this process's own too.
  struct Lock {
    dev_t dev;
    ino_t ino;
    std::thread::id thread;
  };
  std::vector<Lock> locked;
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

// Whether a lock this thread took is on the file `st` describes.
bool LockedHere(const struct stat& st) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  return std::any_of(h.locked.begin(), h.locked.end(), [&](const Held::Lock& l) {
    return l.dev == st.st_dev && l.ino == st.st_ino && l.thread == std::this_thread::get_id();
  });
}

void Record(const struct stat& st) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  h.locked.push_back({st.st_dev, st.st_ino, std::this_thread::get_id()});
}

// Forgotten before the lock goes: one file has one write lock at a time, so its record is this lock's.
void Forget(dev_t dev, ino_t ino) noexcept {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  const auto it = std::find_if(h.locked.begin(), h.locked.end(),
                               [&](const Held::Lock& l) { return l.dev == dev && l.ino == ino; });
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

struct flock WholeFile(short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;  // from byte 0 to the end, however long the file grows
  return lock;
}

enum class Got { Held, ReadersOnly, Busy, NoLocks };

// Takes the write lock on the file open for writing as `fd`, waiting until `end` for a writer's lock in the way.
Got WriteLock(int fd, Clock::time_point end) {
  for (;;) {
    struct flock want = WholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_SETLK, &want) == 0) return Got::Held;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EACCES) return Got::NoLocks;
    // Whose lock is in the way: a write lock anywhere in the file (it conflicts with a read lock's ask) is a writer's;
    // else a read lock, unless the writer let go since the ask, which the next ask takes.
    struct flock writer = WholeFile(F_RDLCK), any = WholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_GETLK, &writer) != 0) return Got::NoLocks;
    if (writer.l_type == F_UNLCK) {
      if (::fcntl(fd, F_OFD_GETLK, &any) != 0) return Got::NoLocks;
      if (any.l_type == F_RDLCK) return Got::ReadersOnly;
    } else if (Clock::now() < end) {
      Pause();
    } else {
      return Got::Busy;
    }
  }
}

}  // namespace

SaveLock::SaveLock(SaveLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), noFile_(other.noFile_), dev_(other.dev_), ino_(other.ino_) {}

SaveLock& SaveLock::operator=(SaveLock&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::exchange(other.fd_, -1);
    noFile_ = other.noFile_;
    dev_ = other.dev_;
    ino_ = other.ino_;
  }
  return *this;
}

void SaveLock::release() noexcept {
  noFile_ = false;
  if (fd_ < 0) return;
  Forget(dev_, ino_);
  ::close(fd_);  // the lock goes with the last descriptor of its open file
  fd_ = -1;
}

bool SaveLock::covers(const struct stat* file) const {
  if (noFile_) return !file;
  if (fd_ < 0) return true;
  return file && file->st_dev == dev_ && file->st_ino == ino_;
}

int SaveLock::take(const HeldPath& held) { return take(held, Wait()); }

int SaveLock::take(const HeldPath& held, std::chrono::milliseconds wait) {
  release();
  const Clock::time_point end = Clock::now() + wait;
  for (;;) {
    struct stat named {};
    const Under under = Look(held, named);
    if (under == Under::None) {
      noFile_ = true;  // a first save takes the name only while it is free
      return 0;
    }
    if (under == Under::Other || LockedHere(named)) return 0;
    // Open for writing: a program that may not write the file takes no lock on it either (its save is refused).
    struct stat st {};
    const int fd = OpenJudged(held.folder(), held.leaf().c_str(), O_WRONLY | O_NOCTTY, &named, st);
    if (fd < 0) {
      if (errno == EBUSY && Clock::now() < end) continue;  // another file under the name since the look
      return 0;
    }
    const Got got = WriteLock(fd, end);
    struct stat now {};
    // Held where the name still holds what was locked; else the lock goes to what it holds now.
    if (got == Got::Held && Look(held, now) == Under::File && now.st_dev == st.st_dev && now.st_ino == st.st_ino) {
      try {
        Record(st);
      } catch (...) {
        ::close(fd);
        throw;
      }
      fd_ = fd;
      dev_ = st.st_dev;
      ino_ = st.st_ino;
      return 0;
    }
    ::close(fd);
    if (got == Got::Busy) return EWOULDBLOCK;
    if (got != Got::Held) return 0;  // only readers' locks, or a file system that keeps no such locks
    if (Clock::now() >= end) return EWOULDBLOCK;
  }
}

std::chrono::milliseconds SetSaveLockWait(std::chrono::milliseconds wait) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  return std::exchange(h.wait, wait);
}

}  // namespace safepath
