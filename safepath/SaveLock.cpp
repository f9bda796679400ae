#include "safepath/SaveLock.h"

#include <fcntl.h>
#include <pwd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
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
  LockPlaces places;
  // The files this process's locks are on, and the thread that took each: one description's lock holds off every
  // other, this process's own too.
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

std::vector<LockPlace> Places(uid_t user) {
  LockPlaces places;
  {
    Held& h = TheHeld();
    std::lock_guard lock(h.mutex);
    places = h.places;
  }
  return places ? places(user) : UserLockPlaces(user);
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

// Forgotten before the lock goes: one file has one lock of a save at a time in a process, so its record is this lock's.
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

// A range of a file to lock: from byte `start`, `length` bytes (0: to the end, however long the file grows).
struct flock Range(short type, off_t start = 0, off_t length = 0) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = start;
  range.l_len = length;
  return range;
}

enum class Got { Held, ReadersOnly, Busy, NoLocks, Short };

// Whether a failure is for want of a resource (a descriptor, memory): a place that fails so is not passed over, since
// another program of the user, not short of it, takes the lock there.
bool ShortOf(int e) { return e == EMFILE || e == ENFILE || e == ENOMEM; }

// Takes the lock `want` through the descriptor `fd`, waiting until `end` for a write lock in the way, and for read
// locks too where `readersBlock` (a write lock asked for, only read locks in the way: ReadersOnly otherwise).
Got Take(int fd, const struct flock& want, bool readersBlock, Clock::time_point end) {
  for (;;) {
    struct flock ask = want;
    if (::fcntl(fd, F_OFD_SETLK, &ask) == 0) return Got::Held;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EACCES) return Got::NoLocks;
    if (want.l_type == F_WRLCK && !readersBlock) {
      // Whose lock is in the way: a write lock (it conflicts with a read lock's ask too) is a writer's; else read locks,
      // unless every lock went since the ask, which the next ask takes.
      struct flock writer = want, any = want;
      writer.l_type = F_RDLCK;
      if (::fcntl(fd, F_OFD_GETLK, &writer) != 0) return Got::NoLocks;
      if (writer.l_type == F_UNLCK) {
        if (::fcntl(fd, F_OFD_GETLK, &any) != 0) return Got::NoLocks;
        if (any.l_type == F_RDLCK) return Got::ReadersOnly;
        if (any.l_type == F_UNLCK) continue;
      }
    }
    if (Clock::now() >= end) return Got::Busy;
    Pause();
  }
}

// Whether a user other than `user` (this process's) may write the file `st` describes: its owner is another, or its
// group or all may write it (the group bits are an access ACL's mask: a named user or group who may write sets them
// too). Root, who may write every file, is left aside.
bool OthersMayWrite(const struct stat& st, uid_t user) {
  return st.st_uid != user || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

// The range of the user's lock file that stands for the file `file` describes: a hash (64-bit FNV-1a) of its device and
// inode, below the largest offset a lock takes. Two files of one range only share a lock.
off_t RangeOf(const struct stat& file) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::uint64_t part : {static_cast<std::uint64_t>(file.st_dev), static_cast<std::uint64_t>(file.st_ino)})
    for (int byte = 0; byte < 8; ++byte, part >>= 8) hash = (hash ^ (part & 0xff)) * 1099511628211ull;
  return static_cast<off_t>(hash >> 2);
}

// The most walks of a place whose folders go again as they are made or walked (the user's cache cleaning at that
// moment): past them the place is passed over.
constexpr int kMostWalks = 8;

// The folder of the user's own locks and its lock file, in each place that may hold them.
constexpr char kLockFolder[] = "brim-save-locks";
constexpr char kLockFile[] = "saves.lock";

// Whether the entry `st` describes is the user `user`'s (this process's), of `type`, and of none of the bits `barred`
// (those of the group and others: no other user may change what it holds, or enter it).
bool Own(const struct stat& st, uid_t user, mode_t type, mode_t barred) {
  return (st.st_mode & S_IFMT) == type && st.st_uid == user && (st.st_mode & barred) == 0;
}

// The same for the entry open as `fd`, whose status it leaves in `st`.
bool Own(int fd, uid_t user, mode_t type, mode_t barred, struct stat& st) {
  return ::fstat(fd, &st) == 0 && Own(st, user, type, barred);
}

// The folder of the user's locks in the place `place` (made where missing, and the place with it where it is to be
// made): its descriptor where the place is a folder of this user's that no other may write, reached only through
// folders no other user can move or replace it in, and the lock folder is this user's, open to no other and not a
// link; -ENOENT where what was found or made went again meanwhile (the user's cache cleaning: the caller walks
// again); minus the errno value of a failure for want of a resource (ShortOf); else -1. The place is the very folder
// HeldPath::walkOwned judged on the way: the walk holds it (a trailing slash walks into it), and a missing place is
// made in the folder a walk to its name judged.
int LockFolderIn(const LockPlace& place, uid_t user) {
  HeldPath way;
  const std::string into = place.folder + "/";
  int e = way.walkOwned(into, user);
  bool made = false;
  if (e == ENOENT && place.make && way.walkOwned(place.folder, user, LastName::Keep) == 0 &&
      !way.leaf().empty()) {
    // A folder another program of the user made meanwhile is walked into as it is found, and judged as any.
    (void)::mkdirat(way.folder(), way.leaf().c_str(), 0700);
    made = true;
    e = way.walkOwned(into, user);
  }
  if ((e == ENOENT && made) || ShortOf(e)) return -e;
  if (e != 0 || !Own(way.folderStatus(), user, S_IFDIR, S_IWGRP | S_IWOTH)) return -1;
  const auto failed = [] { return errno == ENOENT || ShortOf(errno) ? -errno : -1; };
  constexpr int kOpen = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::openat(way.folder(), kLockFolder, kOpen);
  if (fd < 0 && errno == ENOENT) {
    if (::mkdirat(way.folder(), kLockFolder, 0700) != 0 && errno != EEXIST) return failed();
    fd = ::openat(way.folder(), kLockFolder, kOpen);
  }
  if (fd < 0) return failed();
  struct stat st {};
  if (!Own(fd, user, S_IFDIR, S_IRWXG | S_IRWXO, st)) {
    ::close(fd);
    fd = -1;
  }
  return fd;
}

// The path of the lock file in the place `place`.
std::string LockFilePath(const LockPlace& place) {
  return place.folder + "/" + kLockFolder + "/" + kLockFile;
}

// Whether the path `path` names the lock file `locked` describes (same device and inode; a link under a name is not
// followed): the file every program of the user opens there now. Through folders no other user can change (the walk
// passes any other place over) the text names what another program's walk finds.
bool Named(const std::string& path, dev_t dev, ino_t ino) {
  struct stat now {};
  return ::fstatat(AT_FDCWD, path.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_dev == dev && now.st_ino == ino;
}

// Takes the range `range` of the lock file in `place` (made there where missing, with its folder) until `end`, for the
// user `user` (this process's). Held with its descriptor and status in `lock` and `locked`; Busy where another save
// held it all the while; NoLocks where the place cannot take it; Short, with errno set, where this process is short
// of a descriptor or memory for it. Held only on the file the place's path names once the range is had: one removed
// or replaced meanwhile (its folder or the place's with it) is no longer the one every program finds, and the place
// is walked again.
Got LockIn(const LockPlace& place, const std::string& path, uid_t user, const struct flock& range,
           Clock::time_point end, int& lock, struct stat& locked) {
  lock = -1;
  for (int gone = 0;;) {
    const int folder = LockFolderIn(place, user);
    if (folder == -ENOENT && ++gone < kMostWalks) continue;
    if (folder < 0 && ShortOf(-folder)) {
      errno = -folder;
      return Got::Short;
    }
    if (folder < 0) return Got::NoLocks;
    const int fd = ::openat(folder, kLockFile, O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    const int opened = errno;
    ::close(folder);
    if (fd < 0 && opened == ENOENT && ++gone < kMostWalks) continue;  // the lock folder removed meanwhile
    if (fd < 0 && ShortOf(opened)) {
      errno = opened;
      return Got::Short;
    }
    if (fd < 0 || !Own(fd, user, S_IFREG, 0, locked)) {
      if (fd >= 0) ::close(fd);
      return Got::NoLocks;
    }
    const Got got = Take(fd, range, true, end);
    if (got == Got::Held && Named(path, locked.st_dev, locked.st_ino)) {
      lock = fd;
      return got;
    }
    ::close(fd);
    if (got != Got::Held) return got;
    if (Clock::now() >= end) return Got::Busy;
  }
}

}  // namespace

std::vector<LockPlace> UserLockPlaces(uid_t user) {
  std::vector<LockPlace> places{{"/run/user/" + std::to_string(user), false}};
  struct passwd entry {}, *found = nullptr;
  std::vector<char> text(4096);
  int e = 0;
  while ((e = ::getpwuid_r(user, &entry, text.data(), text.size(), &found)) == ERANGE && text.size() < (1u << 20))
    text.resize(text.size() * 2);
  if (e == 0 && found && entry.pw_dir && entry.pw_dir[0] == '/')
    places.push_back({std::string(entry.pw_dir) + (entry.pw_dir[1] ? "/.cache" : ".cache"), true});
  return places;
}

LockPlaces SetLockPlaces(LockPlaces places) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  return std::exchange(h.places, std::move(places));
}

SaveLock::SaveLock(SaveLock&& other) noexcept { *this = std::move(other); }

SaveLock& SaveLock::operator=(SaveLock&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::exchange(other.file_, Lock{});
    own_ = std::move(other.own_);
    other.own_.clear();
    noFile_ = std::exchange(other.noFile_, false);
  }
  return *this;
}

void SaveLock::Give(Lock& lock) noexcept {
  if (lock.fd < 0) return;
  if (lock.recorded) Forget(lock.dev, lock.ino);
  ::close(lock.fd);  // the lock goes with the last descriptor of its open file
  lock = Lock{};
}

void SaveLock::release() noexcept {
  noFile_ = false;
  Give(file_);
  for (Lock& own : own_) Give(own);
  own_.clear();
}

bool SaveLock::covers(const struct stat* file) const {
  if (noFile_) return !file;
  if (file_.fd < 0) return true;
  return file && file->st_dev == file_.dev && file->st_ino == file_.ino;
}

int SaveLock::take(const HeldPath& held) { return take(held, Wait()); }

int SaveLock::takeOwn(const struct stat& file, uid_t user, Clock::time_point end) {
  const struct flock range = Range(F_WRLCK, RangeOf(file), 1);
  const std::vector<LockPlace> places = Places(user);
  own_.reserve(places.size());
  for (const LockPlace& place : places) {
    Lock own;
    own.path = LockFilePath(place);
    struct stat locked {};
    const Got got = LockIn(place, own.path, user, range, end, own.fd, locked);
    if (got == Got::Busy) return EWOULDBLOCK;
    // A place this process is short of a descriptor or memory for refuses the save: passed over, it would leave
    // this save unordered with a program that takes the lock there.
    if (got == Got::Short) return errno;
    if (got != Got::Held) continue;
    own.dev = locked.st_dev;
    own.ino = locked.st_ino;
    own_.push_back(std::move(own));
  }
  return own_.empty() ? ENOLCK : 0;
}

bool SaveLock::stillOrders() const {
  return std::all_of(own_.begin(), own_.end(), [](const Lock& own) { return Named(own.path, own.dev, own.ino); });
}

int SaveLock::lockFile(const struct stat& file, Clock::time_point end) {
  Got got = Take(file_.fd, Range(F_WRLCK), false, end);
  if (got == Got::Held) return 0;
  if (got == Got::Busy) return EWOULDBLOCK;
  // Only readers in the way, or a file system that keeps no locks. A file another user may write too is waited for as
  // for a writer: no lock of the user's orders the other user's saves.
  const uid_t user = ::geteuid();
  const bool shared = OthersMayWrite(file, user);
  if (got == Got::NoLocks) return shared ? ENOLCK : takeOwn(file, user, end);
  if (shared) {
    got = Take(file_.fd, Range(F_WRLCK), true, end);
    return got == Got::Held ? 0 : got == Got::Busy ? EWOULDBLOCK : ENOLCK;
  }
  // A file only this user may write: a read lock keeps every writer off from now on (a writer that came meanwhile is
  // waited for), and the user's own lock orders the user's saves.
  switch (Take(file_.fd, Range(F_RDLCK), false, end)) {
    case Got::Busy: return EWOULDBLOCK;
    default: return takeOwn(file, user, end);
  }
}

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
    // A lock this thread holds on the file already is its outer save's.
    if (under == Under::Other || LockedHere(named)) return 0;
    // Open for reading and writing: a program that may not write the file takes no lock on it either (its save is
    // refused), and a read lock needs a descriptor open for reading.
    struct stat st {};
    const int fd = OpenJudged(held.folder(), held.leaf().c_str(), O_RDWR | O_NOCTTY, &named, st);
    if (fd < 0) {
      const int e = errno;
      // Another file under the name since the look, or none: the lock goes to what it holds now.
      if ((e == EBUSY || e == ENOENT) && Clock::now() < end) continue;
      // A file this process may not write, or a link put under the name: the save itself refuses it (or replaces the
      // link). Any other failure (no descriptor left, no memory) refuses the save rather than let it go on unordered.
      return e == EACCES || e == EPERM || e == EROFS || e == ETXTBSY || e == ELOOP ? 0 : e == EBUSY ? EWOULDBLOCK : e;
    }
    file_ = {fd, st.st_dev, st.st_ino, false, {}};
    if (const int e = lockFile(st, end)) {
      release();
      return e;
    }
    struct stat now {};
    // Held where the name still holds what was locked; else the lock goes to what it holds now.
    if (Look(held, now) == Under::File && now.st_dev == st.st_dev && now.st_ino == st.st_ino) {
      try {
        Record(st);
      } catch (...) {
        release();
        throw;
      }
      file_.recorded = true;
      return 0;
    }
    release();
    if (Clock::now() >= end) return EWOULDBLOCK;
  }
}

std::chrono::milliseconds SetSaveLockWait(std::chrono::milliseconds wait) {
  Held& h = TheHeld();
  std::lock_guard lock(h.mutex);
  return std::exchange(h.wait, wait);
}

}  // namespace safepath
