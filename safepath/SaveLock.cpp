#include "safepath/SaveLock.h"

#include <fcntl.h>
#include <pwd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
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

enum class Got { Held, Here, ReadersOnly, Busy, NoLocks };

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

// The folder of the user's own locks, in each folder that may hold it: closed to every other user.
constexpr char kLockFolder[] = "brim-save-locks";

// The folder of locks in the folder open as `at` (closed after), made where missing: its descriptor where it is this
// user's and open to no other (no group or other bits: made 0700), else -1.
int LockFolderIn(int at) {
  if (at < 0) return -1;
  (void)::mkdirat(at, kLockFolder, 0700);
  const int fd = ::openat(at, kLockFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  ::close(at);
  struct stat st {};
  if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0) return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

int OpenFolder(const std::string& path) {
  return path.empty() || path[0] != '/' ? -1 : ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// The user's cache folder (XDG_CACHE_HOME where absolute, else ~/.cache), made 0700 where missing: open, or -1.
int CacheFolder() {
  std::string cache;
  if (const char* set = std::getenv("XDG_CACHE_HOME"); set && set[0] == '/') {
    cache = set;
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    cache = std::string(home) + "/.cache";
  } else {
    struct passwd entry {}, *found = nullptr;
    char text[4096];
    if (::getpwuid_r(::geteuid(), &entry, text, sizeof text, &found) != 0 || !found || !entry.pw_dir) return -1;
    cache = std::string(entry.pw_dir) + "/.cache";
  }
  (void)::mkdir(cache.c_str(), 0700);
  return OpenFolder(cache);
}

// The folder of the user's own locks: in the runtime folder the session gives, where that is the user's own of mode
// 0700, else in the cache folder. Its descriptor, or -1 where neither gives one.
int LockFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
    const int at = OpenFolder(runtime);
    struct stat st {};
    if (at >= 0 && (::fstat(at, &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & 07777) != 0700)) {
      ::close(at);
    } else if (const int fd = LockFolderIn(at); fd >= 0) {
      return fd;
    }
  }
  return LockFolderIn(CacheFolder());
}

// The lock file's name for the file `leaf` in the folder `folder` describes: the folder's device and inode and a hash
// (64-bit FNV-1a) of the name. Two names of one folder with one hash only share a lock.
std::string LockName(const struct stat& folder, const std::string& leaf) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : leaf) hash = (hash ^ c) * 1099511628211ull;
  char name[80];
  std::snprintf(name, sizeof name, "%llx-%llx-%016llx.lock", static_cast<unsigned long long>(folder.st_dev),
                static_cast<unsigned long long>(folder.st_ino), static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

SaveLock::SaveLock(SaveLock&& other) noexcept { *this = std::move(other); }

SaveLock& SaveLock::operator=(SaveLock&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::exchange(other.file_, Lock{});
    own_ = std::exchange(other.own_, Lock{});
    ownFolder_ = std::exchange(other.ownFolder_, -1);
    ownName_ = std::move(other.ownName_);
    other.ownName_.clear();
    noFile_ = std::exchange(other.noFile_, false);
  }
  return *this;
}

void SaveLock::Give(Lock& lock) noexcept {
  if (lock.fd < 0) return;
  Forget(lock.dev, lock.ino);
  ::close(lock.fd);  // the lock goes with the last descriptor of its open file
  lock = Lock{};
}

void SaveLock::release() noexcept {
  noFile_ = false;
  Give(file_);
  // Removed while still held, so that no lock file outlasts its save: a take that opened it meanwhile finds the name
  // no longer holds what it locked, and opens the name again.
  if (own_.fd >= 0) RemoveOwn(ownFolder_, ownName_.c_str(), own_.fd);
  Give(own_);
  if (ownFolder_ >= 0) ::close(ownFolder_);
  ownFolder_ = -1;
  ownName_.clear();
}

bool SaveLock::covers(const struct stat* file) const {
  if (noFile_) return !file;
  if (file_.fd < 0) return true;
  return file && file->st_dev == file_.dev && file->st_ino == file_.ino;
}

int SaveLock::take(const HeldPath& held) { return take(held, Wait()); }

int SaveLock::takeOwn(const HeldPath& held, Clock::time_point end) {
  struct stat folder {};
  if (::fstat(held.folder(), &folder) != 0) return ENOLCK;
  std::string name = LockName(folder, held.leaf());
  const int locks = LockFolder();
  if (locks < 0) return ENOLCK;
  for (;;) {
    const int fd = ::openat(locks, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    struct stat st {};
    Got got = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? Got::Held : Got::NoLocks;
    if (got == Got::Held && LockedHere(st)) got = Got::Here;
    if (got == Got::Held) got = WriteLock(fd, end);
    struct stat named {};
    if (got == Got::Held && ::fstatat(locks, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == st.st_dev && named.st_ino == st.st_ino) {
      try {
        Record(st);
      } catch (...) {
        ::close(fd);
        ::close(locks);
        throw;
      }
      own_ = {fd, st.st_dev, st.st_ino};
      ownFolder_ = locks;
      ownName_ = std::move(name);
      return 0;
    }
    if (fd >= 0) ::close(fd);
    // Held on a file the save that held it removed at its end: the lock goes to what the name holds now.
    if (got == Got::Held && Clock::now() < end) continue;
    ::close(locks);
    return got == Got::Here ? EALREADY : got == Got::Held || got == Got::Busy ? EWOULDBLOCK : ENOLCK;
  }
}

int SaveLock::take(const HeldPath& held, std::chrono::milliseconds wait) {
  release();
  const Clock::time_point end = Clock::now() + wait;
  // The user's own lock first: no other user can hold it, and it alone runs the user's saves one at a time where a
  // reader's lock keeps the file's own from everyone. One this thread holds already is its outer save's.
  const int own = takeOwn(held, end);
  if (own == EWOULDBLOCK) return EWOULDBLOCK;
  const bool serialised = own == 0 || own == EALREADY;
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
        release();
        throw;
      }
      file_ = {fd, st.st_dev, st.st_ino};
      return 0;
    }
    ::close(fd);
    if (got == Got::Busy || (got == Got::Held && Clock::now() >= end)) {
      release();
      return EWOULDBLOCK;
    }
    if (got == Got::Held) continue;
    // Only readers' locks, or a file system that keeps no such locks: the user's own lock serialises the save alone.
    if (serialised) return 0;
    release();
    return ENOLCK;
  }
}

std::chrono::milliseconds SetSaveLockWait(std::chrono::milliseconds wait) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  return std::exchange(h.wait, wait);
}

}  // namespace safepath
