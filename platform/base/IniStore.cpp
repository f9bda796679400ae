#include "platform/base/IniStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/base/AtomicFile.h"
#include "platform/base/PathDialect.h"
#include "platform/base/SystemError.h"

namespace plat {
namespace {

struct Cached {
  IniFile ini;
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
};

struct Cache {
  std::mutex mutex;
  std::map<std::string, Cached> files;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// Relative names resolve against the current directory at the time of the call.
std::string AbsolutePath(const char* path) {
  std::string p = NativePath(path);
  if (!p.empty() && p[0] == '/') return p;
  char cwd[PATH_MAX];
  if (!::getcwd(cwd, sizeof cwd)) return p;
  return std::string(cwd) + "/" + p;
}

bool Same(const Cached& c, const struct stat& st) {
  return c.exists && c.dev == st.st_dev && c.ino == st.st_ino && c.size == st.st_size &&
         c.mtime.tv_sec == st.st_mtim.tv_sec && c.mtime.tv_nsec == st.st_mtim.tv_nsec;
}

void Remember(Cached& c, const struct stat& st) {
  c.exists = true;
  c.dev = st.st_dev;
  c.ino = st.st_ino;
  c.size = st.st_size;
  c.mtime = st.st_mtim;
}

bool ReadWhole(const std::string& path, std::string& text, int& err) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    err = errno;
    return false;
  }
  text.clear();
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

// The cache entry for the file as it is now; null (and the last error set) when it cannot be read.
Cached* Load(Cache& cache, const std::string& path) {
  // A handful of settings files is normal; a process walking many files does not keep them all.
  if (cache.files.size() > 64 && !cache.files.count(path)) cache.files.clear();
  struct stat st {};
  Cached& c = cache.files[path];
  if (::stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) {
      SetLastErrorFromErrno(errno);
      cache.files.erase(path);
      return nullptr;
    }
    c = Cached{};
    return &c;
  }
  if (S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    cache.files.erase(path);
    return nullptr;
  }
  if (Same(c, st)) return &c;
  std::string text;
  int err = 0;
  if (!ReadWhole(path, text, err)) {
    SetLastErrorFromErrno(err);
    cache.files.erase(path);
    return nullptr;
  }
  c.ini = IniFile::Parse(text);
  Remember(c, st);
  return &c;
}

}  // namespace

bool IniStore::Read(const char* path, const std::function<void(const IniFile&, bool)>& read) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  auto& cache = TheCache();
  std::lock_guard lock(cache.mutex);
  Cached* c = Load(cache, AbsolutePath(path));
  if (!c) return false;
  read(c->ini, c->exists);
  if (!c->exists) SetLastError(ERROR_FILE_NOT_FOUND);
  return true;
}

bool IniStore::Edit(const char* path, const std::function<bool(IniFile&)>& edit) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  auto& cache = TheCache();
  std::lock_guard lock(cache.mutex);
  const std::string abs = AbsolutePath(path);
  Cached* c = Load(cache, abs);
  if (!c) return false;
  if (!edit(c->ini)) return true;
  int err = 0;
  if (!WriteFileAtomically(abs, c->ini.Serialize(), err)) {
    // The cached text holds the edit that did not reach the file: forget it.
    cache.files.erase(abs);
    SetLastErrorFromErrno(err);
    return false;
  }
  struct stat st {};
  if (::stat(abs.c_str(), &st) == 0) {
    Remember(*c, st);
  } else {
    cache.files.erase(abs);
  }
  return true;
}

void IniStore::ClearCache() {
  auto& cache = TheCache();
  std::lock_guard lock(cache.mutex);
  cache.files.clear();
}

}  // namespace plat
