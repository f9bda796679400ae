#include "safepath/HeldPath.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace safepath {
namespace {

constexpr int kMaxLinks = 40;  // as the system's own lookup
constexpr int kMaxNameAttempts = 64;

// Pushes the names of `text` on `rest`, the first last (the next to walk is rest.back()). A trailing slash asks
// for a folder: it walks as a last ".".
void PushParts(std::string_view text, std::vector<std::string>& rest) {
  if (!text.empty() && text.back() == '/') rest.emplace_back(".");
  std::size_t end = text.size();
  while (end > 0) {
    const std::size_t slash = text.rfind('/', end - 1);
    const std::size_t begin = slash == std::string_view::npos ? 0 : slash + 1;
    if (begin < end) rest.emplace_back(text.substr(begin, end - begin));
    if (slash == std::string_view::npos) break;
    end = slash;
  }
}

// The text of the link open as `fd` (O_PATH | O_NOFOLLOW): read from the link that was judged, never by name again.
int ReadLink(int fd, std::string& to) {
  to.assign(PATH_MAX, '\0');
  const ssize_t n = ::readlinkat(fd, "", to.data(), to.size());
  if (n < 0) return errno;
  if (static_cast<std::size_t>(n) >= to.size()) return ENAMETOOLONG;
  to.resize(static_cast<std::size_t>(n));
  return to.empty() ? ENOENT : 0;
}

std::uint64_t RandomBits() {
  std::uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits)) return bits;
  // No entropy yet (early at boot): the clock and the process still tell saves apart, and a name that is taken is
  // never opened anyway.
  struct timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return (static_cast<std::uint64_t>(now.tv_nsec) << 20) ^ static_cast<std::uint64_t>(now.tv_sec) ^
         (static_cast<std::uint64_t>(::getpid()) << 40) ^ bits;
}

struct Owners {
  std::mutex mutex;
  OwnerCheck check;
};

Owners& TheOwners() {
  static Owners owners;
  return owners;
}

uid_t OwnerOf(const struct stat& entry) {
  OwnerCheck check;
  {
    Owners& o = TheOwners();
    std::lock_guard lock(o.mutex);
    check = o.check;
  }
  return check ? check(entry) : entry.st_uid;
}

// Whether no user but `user` (this process's) and root can move, remove or replace the entry of the owner `entry` in
// the folder `folder` describes (walkOwned): the folder is root's or the user's and neither its group nor others may
// write it, or it has the sticky bit, under which only the entry's owner and the folder's may move it, and the entry is
// the user's or root's. The group bits are an access ACL's mask: a named user or group who may write sets them too.
bool KeptFromOthers(const struct stat& folder, uid_t entry, uid_t user) {
  const auto trusted = [user](uid_t owner) { return owner == 0 || owner == user; };
  if (!trusted(OwnerOf(folder))) return false;
  return (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0 || ((folder.st_mode & S_ISVTX) && trusted(entry));
}

}  // namespace

bool Planted(const struct stat& folder, const struct stat& entry) {
  if (!(folder.st_mode & S_IWOTH)) return false;
  const uid_t owner = OwnerOf(entry);
  return owner != ::geteuid() && owner != OwnerOf(folder);
}

OwnerCheck SetOwnerCheck(OwnerCheck check) {
  Owners& o = TheOwners();
  std::lock_guard lock(o.mutex);
  return std::exchange(o.check, std::move(check));
}

int OpenJudged(int folder, const char* name, int flags, const struct stat* walked, struct stat& st) {
  const int fd = ::openat(folder, name, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    // A write open finds a FIFO without a reader so: the file the walk saw was regular, and this is another.
    if (errno == ENXIO && walked) errno = EBUSY;
    return -1;
  }
  struct stat in {};
  int e = 0;
  if (::fstat(fd, &st) != 0 || ::fstat(folder, &in) != 0)
    e = errno;
  else if (Planted(in, st))
    e = EACCES;
  else if (walked && (st.st_dev != walked->st_dev || st.st_ino != walked->st_ino))
    e = EBUSY;
  if (!e) return fd;
  ::close(fd);
  errno = e;
  return -1;
}

bool Holds(int folder, const char* name, const struct stat& file) {
  struct stat now {};
  return ::fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_dev == file.st_dev &&
         now.st_ino == file.st_ino;
}

bool RemoveOwn(int folder, const char* name, int own) {
  struct stat file {};
  return ::fstat(own, &file) == 0 && Holds(folder, name, file) && ::unlinkat(folder, name, 0) == 0;
}

bool TookName(int folder, const char* name, int written) {
  struct stat file {}, now {}, in {};
  if (::fstat(written, &file) != 0) return false;
  if (Holds(folder, name, file)) return true;
  // Replaced under the name by a later rename (saves of one file at once: the last wins), unless what replaced it is
  // another user's. Its links are counted after the look at the name, which a rename may have changed since the first.
  return ::fstat(written, &file) == 0 && file.st_nlink == 0 && ::fstat(folder, &in) == 0 &&
         ::fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISLNK(now.st_mode) && !Planted(in, now);
}

std::size_t CharacterCut(std::string_view text, std::size_t most) {
  if (text.size() <= most) return text.size();
  // A UTF-8 sequence has at most three bytes after its first: where more such bytes run, the text is not UTF-8 there
  // and any byte starts as much of a character as any other.
  constexpr std::size_t kMostContinuing = 3;
  std::size_t cut = most;
  while (cut > 0 && most - cut < kMostContinuing && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80 ? most : cut;
}

void HeldPath::reset() {
  if (folder_ >= 0) ::close(folder_);
  folder_ = -1;
  folderStatus_ = {};
  text_.clear();
  leaf_.clear();
  refused_ = false;
  exists_ = false;
  file_ = {};
}

std::string HeldPath::path() const {
  if (leaf_.empty()) return text_;
  return text_ == "/" ? "/" + leaf_ : text_ + "/" + leaf_;
}

int HeldPath::refuse(int e) {
  refused_ = true;
  return e;
}

// Takes `fd` (a folder, or -1 after a failed open) as the folder reached; `part` is its name in the last one ("" for
// the root, ".." for the parent). `known`: its status, where the caller took it from `fd` already.
int HeldPath::enter(int fd, const std::string& part, const struct stat* known) {
  if (fd < 0) return errno;
  struct stat st {};
  if (known) {
    st = *known;
  } else if (::fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    return e;
  }
  if (folder_ >= 0) ::close(folder_);
  folder_ = fd;
  folderStatus_ = st;
  if (part.empty()) {
    text_ = "/";
  } else if (part == "..") {
    const std::size_t up = text_.rfind('/');
    text_.erase(up == 0 ? 1 : up);
  } else {
    text_ += (text_ == "/" ? "" : "/") + part;
  }
  return 0;
}

int HeldPath::start(bool atRoot) {
  if (atRoot) return enter(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC), "");
  char* cwd = ::getcwd(nullptr, 0);
  if (!cwd) return errno;
  const std::string here = cwd;
  std::free(cwd);
  const int e = enter(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC), "");
  text_ = here;
  return e;
}

int HeldPath::walk(std::string_view path, LastName last, SharedLinks links) {
  return walkParts(path, last, links, false, std::nullopt);
}

int HeldPath::walkOwned(std::string_view path, uid_t user, LastName last) {
  if (path.empty() || path.front() != '/') return EINVAL;
  return walkParts(path, last, SharedLinks::Owners, false, user);
}

int HeldPath::makeFolders(std::string_view path, SharedLinks links) {
  // A trailing slash makes every name of the path one on the way: each must be, or become, a folder.
  if (path.empty()) return ENOENT;
  return walkParts(std::string(path) + "/", LastName::Follow, links, true, std::nullopt);
}

int HeldPath::walkParts(std::string_view path, LastName last, SharedLinks links, bool make,
                         std::optional<uid_t> owned) {
  reset();
  if (path.empty()) return ENOENT;
  std::vector<std::string> rest;
  PushParts(path, rest);
  if (const int e = start(path.front() == '/')) return e;
  // A last name not opened (kept, or missing) is judged as one the user makes there.
  const auto unopened = [&](const std::string& name) {
    if (owned && !KeptFromOthers(folderStatus_, *owned, *owned)) return refuse(EACCES);
    leaf_ = name;
    return 0;
  };
  for (int followed = 0; !rest.empty();) {
    const std::string part = std::move(rest.back());
    rest.pop_back();
    const bool isLast = rest.empty();
    if (part == ".") continue;
    if (part == "..") {
      if (const int e = enter(::openat(folder_, "..", O_PATH | O_DIRECTORY | O_CLOEXEC), part)) return e;
      continue;
    }
    if (isLast && last == LastName::Keep) return unopened(part);
    // The entry itself, never what it leads to: a link is judged and read through this descriptor.
    int fd = ::openat(folder_, part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    // A folder to make is made where the walk stands (one another made meanwhile is taken as it is found).
    if (fd < 0 && errno == ENOENT && make && !isLast) {
      if (::mkdirat(folder_, part.c_str(), 0777) != 0 && errno != EEXIST) return errno;
      fd = ::openat(folder_, part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0) return errno != ENOENT || !isLast ? errno : unopened(part);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
      const int e = errno;
      ::close(fd);
      return e;
    }
    // The folder the walk stands in is judged with the entry it takes there: so is each folder on the way, the last
    // one, and one ".." led to.
    if (owned && !KeptFromOthers(folderStatus_, OwnerOf(st), *owned)) {
      ::close(fd);
      return refuse(EACCES);
    }
    if (S_ISDIR(st.st_mode) && !isLast) {
      if (const int e = enter(fd, part, &st)) return e;
      continue;
    }
    if (!S_ISLNK(st.st_mode)) {
      ::close(fd);
      if (!isLast) return ENOTDIR;
      leaf_ = part;
      return 0;
    }
    std::string to;
    int e = 0;
    if (++followed > kMaxLinks) {
      e = refuse(ELOOP);
    } else if ((folderStatus_.st_mode & S_IWOTH) && (links == SharedLinks::None || Planted(folderStatus_, st))) {
      e = refuse(EACCES);
    } else {
      e = ReadLink(fd, to);
    }
    ::close(fd);
    if (e) return e;
    if (to.front() == '/' && (e = start(true)) != 0) return e;
    PushParts(to, rest);
  }
  return 0;  // the path ends at a folder: no leaf
}

int HeldPath::walkToFile(std::string_view path, SharedLinks links) {
  // A failure on the way is the save's (or load's) with its reason: a link whose file cannot be reached (a folder
  // that is locked, missing or a file) is not taken for one that leads to no file, which would be replaced.
  if (const int e = walk(path, LastName::Follow, links)) return e;
  if (leaf_.empty()) return EISDIR;
  struct stat st {};
  if (::fstatat(folder_, leaf_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    // A link here was put under the name after the walk followed the one before it: it is not followed now.
    if (S_ISLNK(st.st_mode)) return ELOOP;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (Planted(folderStatus_, st)) return refuse(EACCES);
    exists_ = true;
    file_ = st;
    return 0;
  }
  if (errno != ENOENT) return errno;
  // No file under the last name behind the links: the file is made where the path itself names it (a link there that
  // leads to no file is replaced), and fails there with the system's reason.
  const int e = walk(path, LastName::Keep, links);
  return !e && leaf_.empty() ? EISDIR : e;
}

int HeldPath::openFile(int flags, Opened which, struct stat& st) const {
  return OpenJudged(folder_, leaf_.c_str(), flags, which == Opened::AsWalked ? &file_ : nullptr, st);
}

namespace {

// Tries names "<prefix><16 random hex digits><suffix>" (the prefix cut to fit, see CreateUniqueFile) with `make`,
// which answers a descriptor, or -1 with errno set (EEXIST: the name is taken, and the next is tried).
template <class Make>
int MakeUnique(std::string_view prefix, std::string_view suffix, std::string& name, Make make) {
  static constexpr char kDigits[] = "0123456789abcdef";
  // A prefix too long is cut between its first byte and its last (".<name>." loses the end of the name only): the
  // dot that hides the file and the separator before the digits stay.
  std::string cut(prefix);
  if (const std::size_t fixed = 16 + suffix.size(); prefix.size() + fixed > NAME_MAX && fixed + 2 < NAME_MAX) {
    const std::string_view middle = prefix.substr(1, prefix.size() - 2);
    cut = prefix.substr(0, 1);
    cut += middle.substr(0, CharacterCut(middle, NAME_MAX - fixed - 2));
    cut += prefix.back();
  }
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    name.assign(cut);
    for (std::uint64_t bits = RandomBits(), i = 0; i < 16; ++i, bits >>= 4) name += kDigits[bits & 15];
    name += suffix;
    const int fd = make(name);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

int CreateUniqueFile(int folder, std::string_view prefix, std::string_view suffix, mode_t mode, std::string& name) {
  return MakeUnique(prefix, suffix, name, [&](const std::string& made) {
    return ::openat(folder, made.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  });
}

int CreateNewFile(int folder, std::string_view prefix, std::string_view suffix, mode_t mode, std::string& name) {
  name.clear();
  // An unnamed file is named through /proc (a link by its descriptor alone asks for a privilege).
  static const bool nameable = ::access("/proc/self/fd", X_OK) == 0;
  if (nameable) {
    const int fd = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  }
  return CreateUniqueFile(folder, prefix, suffix, mode, name);
}

int NameNewFile(int folder, int file, std::string_view prefix, std::string_view suffix, std::string& name) {
  if (!name.empty()) return 0;
  const std::string open = "/proc/self/fd/" + std::to_string(file);
  if (MakeUnique(prefix, suffix, name, [&](const std::string& made) {
        return ::linkat(AT_FDCWD, open.c_str(), folder, made.c_str(), AT_SYMLINK_FOLLOW);
      }) == 0)
    return 0;
  const int e = errno;
  name.clear();
  return e;
}

int LinkNewFile(int folder, int file, const std::string& name) {
  const std::string open = "/proc/self/fd/" + std::to_string(file);
  return ::linkat(AT_FDCWD, open.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

}  // namespace safepath
