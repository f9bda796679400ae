#include "platform/base/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/FileFaults.h"
#include "platform/base/FileKind.h"
#include "platform/base/PathDialect.h"
#include "platform/base/SystemError.h"
#include "platform/base/VirtualClock.h"
#include "safepath/HeldPath.h"

namespace {

struct Settings {
  std::mutex mutex;
  std::optional<std::string> tempDir;
  std::optional<UINT> tempCounter;
};

Settings& TheSettings() {
  static Settings s;
  return s;
}

DWORD CopyResult(const std::string& text, DWORD bufferLength, LPSTR buffer) {
  if (!buffer || bufferLength <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

struct FindState {
  std::vector<WIN32_FIND_DATA> entries;
  std::size_t next = 0;
};

struct FindTable {
  std::mutex mutex;
  std::map<std::uintptr_t, FindState> open;
  std::uintptr_t nextToken = 1;
};

FindTable& Finds() {
  static FindTable t;
  return t;
}

}  // namespace

namespace plat {

FILE* FOpen(const char* path, const char* mode) {
  if (!path || !mode) {
    errno = EINVAL;
    return nullptr;
  }
  // The classic text mode flag has no meaning here; glibc ignores 'b' and would reject 't'. The stream's descriptor
  // is close-on-exec ('e', right after the access letter, where glibc reads it whatever follows): a program started
  // meanwhile (by any thread) never holds the file open.
  std::string m;
  for (const char* c = mode; *c; ++c)
    if (*c != 't' && *c != 'e') m += *c;
  if (!m.empty()) m.insert(1, 1, 'e');
  return std::fopen(NativePath(path).c_str(), m.c_str());
}

int Remove(const char* path) { return path ? std::remove(NativePath(path).c_str()) : (errno = EINVAL, -1); }

std::optional<FileIdentity> IdentityOf(const char* path) {
  if (!path) {
    errno = EINVAL;
    return std::nullopt;
  }
  struct stat st {};
  if (::stat(NativePath(path).c_str(), &st) != 0)
    return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<FileKind> KindOf(const char* path, Links links) {
  if (!path) {
    errno = EINVAL;
    return std::nullopt;
  }
  struct stat st {};
  const std::string native = NativePath(path);
  if ((links == Links::Follow ? ::stat(native.c_str(), &st) : ::lstat(native.c_str(), &st)) != 0)
    return std::nullopt;
  return S_ISREG(st.st_mode)   ? FileKind::Regular
         : S_ISDIR(st.st_mode) ? FileKind::Folder
         : S_ISLNK(st.st_mode) ? FileKind::Link
                               : FileKind::Other;
}

std::optional<FileKind> RemoveRegularFile(const char* path) {
  if (!path) {
    errno = EINVAL;
    return std::nullopt;
  }
  const std::string native = NativePath(path);
  safepath::HeldPath held;
  if (const int e = held.walk(native, safepath::LastName::Keep)) {
    errno = e;
    return std::nullopt;
  }
  if (held.leaf().empty()) return FileKind::Folder;
  // Opened for its status alone (no device is opened, no FIFO waited on, no link followed), and kept open while it
  // is removed: its inode names no other file meanwhile.
  struct stat st {};
  const int fd = ::openat(held.folder(), held.leaf().c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  if (::fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    errno = e;
    return std::nullopt;
  }
  const FileKind kind = S_ISREG(st.st_mode)   ? FileKind::Regular
                        : S_ISDIR(st.st_mode) ? FileKind::Folder
                        : S_ISLNK(st.st_mode) ? FileKind::Link
                                              : FileKind::Other;
  int e = 0;
  if (kind == FileKind::Regular) {
    e = FileFault(FileStep::Remove, native);
    if (!e && !safepath::Holds(held.folder(), held.leaf().c_str(), st))
      e = EBUSY;
    else if (!e && ::unlinkat(held.folder(), held.leaf().c_str(), 0) != 0)
      e = errno;
  }
  ::close(fd);
  if (e) {
    errno = e;
    return std::nullopt;
  }
  return kind;
}

int Rename(const char* oldPath, const char* newPath) {
  if (!oldPath || !newPath) {
    errno = EINVAL;
    return -1;
  }
  return std::rename(NativePath(oldPath).c_str(), NativePath(newPath).c_str());
}

void SetTempDirectory(std::optional<std::string> dir) {
  auto& s = TheSettings();
  std::lock_guard lock(s.mutex);
  s.tempDir = std::move(dir);
}

void SetTempNameCounter(std::optional<UINT> next) {
  auto& s = TheSettings();
  std::lock_guard lock(s.mutex);
  s.tempCounter = next;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // "*.*" is the classic spelling of "everything".
  if (pattern == "*.*" || pattern == "*") return true;
  // Iterative wildcard match with backtracking to the last '*'.
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || ToLower1252(static_cast<unsigned char>(pattern[p])) ==
                                                         ToLower1252(static_cast<unsigned char>(name[n])))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  // Trailing stars match nothing, and a trailing ".*" matches a name without extension ("abc.*" finds "abc").
  while (p < pattern.size()) {
    if (pattern[p] == '*') {
      ++p;
    } else if (pattern[p] == '.' && p + 1 < pattern.size() && pattern[p + 1] == '*') {
      p += 2;
    } else {
      break;
    }
  }
  return p == pattern.size();
}

FILETIME FileTimeFromUnix(std::int64_t seconds, long nanoseconds) {
  const std::uint64_t ticks = static_cast<std::uint64_t>(seconds + 11644473600LL) * 10000000ULL +
                              static_cast<std::uint64_t>(nanoseconds / 100);
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace plat

int _access(const char* path, int mode) {
  if (!path) {
    errno = EINVAL;
    return -1;
  }
  int how = F_OK;
  if (mode & 2) how |= W_OK;
  if (mode & 4) how |= R_OK;
  const std::string native = plat::NativePath(path);
  if (::access(native.c_str(), how) != 0) return -1;
  if (mode & 2) {
    // Writing into a folder is making files in it; writing a file is changing it.
    struct stat st {};
    const bool folder = ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (const int fault = plat::FileFault(folder ? plat::FileStep::CreateIn : plat::FileStep::Modify, native)) {
      errno = fault;
      return -1;
    }
  }
  return 0;
}

int _stat(const char* path, struct _stat* buffer) {
  if (!path || !buffer) {
    errno = EINVAL;
    return -1;
  }
  struct stat st {};
  if (::stat(plat::NativePath(path).c_str(), &st) != 0) return -1;
  *buffer = {};
  buffer->st_dev = static_cast<unsigned int>(st.st_dev);
  buffer->st_ino = static_cast<unsigned short>(st.st_ino);
  unsigned short mode = S_ISDIR(st.st_mode) ? _S_IFDIR : _S_IFREG;
  mode |= _S_IREAD;
  if (st.st_mode & S_IWUSR) mode |= _S_IWRITE;
  buffer->st_mode = mode;
  buffer->st_nlink = static_cast<short>(st.st_nlink);
  buffer->st_size = st.st_size;
  buffer->st_atim = st.st_atim;
  buffer->st_mtim = st.st_mtim;
  buffer->st_ctim = st.st_ctim;
  return 0;
}

int _unlink(const char* path) { return path ? ::unlink(plat::NativePath(path).c_str()) : (errno = EINVAL, -1); }

FILE* _fsopen(const char* path, const char* mode, int shareFlag) {
  FILE* f = plat::FOpen(path, mode);
  if (!f) return nullptr;
  if (shareFlag == _SH_DENYRW || shareFlag == _SH_DENYWR || shareFlag == _SH_DENYRD) {
    const int op = (shareFlag == _SH_DENYRW ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (::flock(fileno(f), op) != 0) {
      std::fclose(f);
      errno = EACCES;  // the classic runtime's answer to a sharing violation
      return nullptr;
    }
  }
  return f;
}

int fopen_s(FILE** file, const char* path, const char* mode) {
  if (!file) return EINVAL;
  *file = plat::FOpen(path, mode);
  return *file ? 0 : errno;
}

DWORD GetFileAttributes(LPCSTR path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  const std::string native = plat::NativePath(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) {
    plat::SetLastErrorFromErrno(errno);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  // Read-only is the file's own mark, as it is for every caller: no write bit, or no write access for this one.
  if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) || ::access(native.c_str(), W_OK) != 0 ||
      (!S_ISDIR(st.st_mode) && plat::FileFault(plat::FileStep::Modify, native) != 0))
    attributes |= FILE_ATTRIBUTE_READONLY;
  std::string_view leaf(native);
  while (leaf.size() > 1 && leaf.back() == '/') leaf.remove_suffix(1);
  const std::size_t slash = leaf.rfind('/');
  if (slash != std::string_view::npos) leaf.remove_prefix(slash + 1);
  if (leaf.size() > 1 && leaf[0] == '.' && leaf != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

BOOL DeleteFile(LPCSTR path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string native = plat::NativePath(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (const int fault = plat::FileFault(plat::FileStep::Remove, native)) {
    plat::SetLastErrorFromErrno(fault);
    return FALSE;
  }
  if (::unlink(native.c_str()) != 0) {
    plat::SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL CreateDirectory(LPCSTR path, void*) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (::mkdir(plat::NativePath(path).c_str(), 0777) != 0) {
    SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS : plat::ErrnoToError(errno));
    return FALSE;
  }
  return TRUE;
}

BOOL RemoveDirectory(LPCSTR path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (::rmdir(plat::NativePath(path).c_str()) != 0) {
    plat::SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

DWORD GetCurrentDirectory(DWORD bufferLength, LPSTR buffer) {
  std::vector<char> buf(4096);
  while (!::getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) {
      plat::SetLastErrorFromErrno(errno);
      return 0;
    }
    buf.resize(buf.size() * 2);
  }
  return CopyResult(plat::ModulePath(buf.data()), bufferLength, buffer);
}

BOOL SetCurrentDirectory(LPCSTR path) {
  if (!path || ::chdir(plat::NativePath(path).c_str()) != 0) {
    plat::SetLastErrorFromErrno(path ? errno : EINVAL);
    return FALSE;
  }
  return TRUE;
}

DWORD GetTempPath(DWORD bufferLength, LPSTR buffer) {
  std::string dir;
  {
    auto& s = TheSettings();
    std::lock_guard lock(s.mutex);
    if (s.tempDir) dir = *s.tempDir;
  }
  if (dir.empty()) {
    const char* env = std::getenv("TMPDIR");
    dir = env && *env ? env : "/tmp";
  }
  if (!plat::IsSeparator(dir.back())) dir += '/';
  return CopyResult(plat::ModulePath(dir), bufferLength, buffer);
}

UINT GetTempFileName(LPCSTR dir, LPCSTR prefix, UINT unique, LPSTR out) {
  if (!dir || !out) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string base = dir;
  if (!base.empty() && !plat::IsSeparator(base.back())) base += base.find('\\') == std::string::npos ? '/' : '\\';
  if (prefix) base.append(prefix, strnlen(prefix, 3));
  auto nameFor = [&](UINT n) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%X", n & 0xFFFF);
    return base + digits + ".tmp";
  };
  auto emit = [&](const std::string& name) {
    if (name.size() >= static_cast<std::size_t>(MAX_PATH)) return false;
    std::memcpy(out, name.c_str(), name.size() + 1);
    return true;
  };
  if (unique != 0) {
    if (!emit(nameFor(unique))) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return 0;
    }
    return unique & 0xFFFF;
  }
  UINT n;
  {
    auto& s = TheSettings();
    std::lock_guard lock(s.mutex);
    n = s.tempCounter ? *s.tempCounter : static_cast<UINT>(GetTickCount());
  }
  for (int tries = 0; tries < 0xFFFF; ++tries, ++n) {
    if ((n & 0xFFFF) == 0) ++n;  // 0 is never a name
    const std::string name = nameFor(n);
    if (name.size() >= static_cast<std::size_t>(MAX_PATH)) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return 0;
    }
    const int fd = ::open(plat::NativePath(name).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      emit(name);
      auto& s = TheSettings();
      std::lock_guard lock(s.mutex);
      if (s.tempCounter) s.tempCounter = (n & 0xFFFF) + 1;
      return n & 0xFFFF;
    }
    if (errno != EEXIST) {
      plat::SetLastErrorFromErrno(errno);
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

HANDLE FindFirstFile(LPCSTR pattern, LPWIN32_FIND_DATA data) {
  if (!pattern || !data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string native = plat::NativePath(pattern);
  const std::size_t slash = native.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : native.substr(0, slash));
  const std::string mask = slash == std::string::npos ? native : native.substr(slash + 1);
  DIR* d = ::opendir(dir.c_str());
  if (!d) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : plat::ErrnoToError(errno));
    return INVALID_HANDLE_VALUE;
  }
  FindState state;
  // The mask is matched against the names as the module sees them, in code page 1252.
  const std::string moduleMask = plat::ModulePath(mask);
  while (const dirent* e = ::readdir(d)) {
    const std::string moduleName = plat::ModulePath(e->d_name);
    const std::string_view name(moduleName);
    if (!plat::MatchesPattern(name, moduleMask)) continue;
    WIN32_FIND_DATA fd{};
    const std::string full = dir + "/" + e->d_name;
    struct stat st {};
    if (::stat(full.c_str(), &st) != 0) continue;  // vanished or a dangling link
    fd.dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (::access(full.c_str(), W_OK) != 0) fd.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    if (name.size() > 1 && name[0] == '.' && name != "..") fd.dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
    fd.ftCreationTime = plat::FileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    fd.ftLastAccessTime = plat::FileTimeFromUnix(st.st_atim.tv_sec, st.st_atim.tv_nsec);
    fd.ftLastWriteTime = plat::FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    fd.nFileSizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(st.st_size) >> 32);
    fd.nFileSizeLow = static_cast<DWORD>(st.st_size);
    const std::size_t n = std::min(name.size(), static_cast<std::size_t>(MAX_PATH - 1));
    std::memcpy(fd.cFileName, name.data(), n);
    state.entries.push_back(fd);
  }
  ::closedir(d);
  auto rank = [](const char* n) { return std::strcmp(n, ".") == 0 ? 0 : std::strcmp(n, "..") == 0 ? 1 : 2; };
  std::sort(state.entries.begin(), state.entries.end(), [&](const WIN32_FIND_DATA& a, const WIN32_FIND_DATA& b) {
    const int ra = rank(a.cFileName), rb = rank(b.cFileName);
    if (ra != rb) return ra < rb;
    const int c = plat::CompareNoCase1252(a.cFileName, b.cFileName);
    return c != 0 ? c < 0 : std::strcmp(a.cFileName, b.cFileName) < 0;
  });
  if (state.entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  *data = state.entries[0];
  state.next = 1;
  auto& t = Finds();
  std::lock_guard lock(t.mutex);
  const std::uintptr_t token = (t.nextToken++ << 4) | 0x8;
  t.open.emplace(token, std::move(state));
  return reinterpret_cast<HANDLE>(token);
}

BOOL FindNextFile(HANDLE find, LPWIN32_FIND_DATA data) {
  auto& t = Finds();
  std::lock_guard lock(t.mutex);
  const auto it = t.open.find(reinterpret_cast<std::uintptr_t>(find));
  if (it == t.open.end() || !data) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  FindState& s = it->second;
  if (s.next >= s.entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *data = s.entries[s.next++];
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  auto& t = Finds();
  std::lock_guard lock(t.mutex);
  if (t.open.erase(reinterpret_cast<std::uintptr_t>(find)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
