#include "safepath/Attributes.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

namespace safepath {
namespace {

// Enough for the names or the value of most files at the first ask: a file without attributes costs one call.
constexpr std::size_t kFirstAsk = 256;

// Kept by the kernel itself, or dropped by it at every write, rather than by the file's writers.
bool Carried(std::string_view name) {
  return name != "security.capability" && name != "security.ima" && name != "security.evm";
}

// Asks `get` (a call of the size-or-fill kind: a size 0 answers the size needed) for a text into `text`, growing it
// while the text grows between the asks (ERANGE). 0 or the errno value.
template <class Get>
int Fill(std::string& text, Get get) {
  text.resize(std::max(text.capacity(), kFirstAsk));
  for (;;) {
    const ssize_t n = get(text.data(), text.size());
    if (n >= 0) {
      text.resize(static_cast<std::size_t>(n));
      return 0;
    }
    if (errno != ERANGE) return errno;
    const ssize_t needed = get(nullptr, 0);
    if (needed < 0) return errno;
    text.resize(std::max(static_cast<std::size_t>(needed), text.size() * 2));
  }
}

// The names of the attributes of the file open as `fd`, each followed by a NUL; none on a file system that keeps none.
int Names(int fd, std::string& names) {
  const int e = Fill(names, [fd](char* to, std::size_t size) { return ::flistxattr(fd, to, size); });
  if (e == ENOTSUP) names.clear();
  return e == ENOTSUP ? 0 : e;
}

int Value(int fd, const char* name, std::string& value) {
  return Fill(value, [fd, name](char* to, std::size_t size) { return ::fgetxattr(fd, name, to, size); });
}

bool Listed(std::string_view names, std::string_view name) {
  for (std::size_t at = 0; at < names.size();) {
    const std::size_t end = names.find('\0', at);
    if (names.substr(at, end - at) == name) return true;
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return false;
}

// Calls `each` with every name of `names` (NUL-separated) that is carried, until it answers an errno value.
template <class Each>
int ForEachCarried(const std::string& names, Each each) {
  for (std::size_t at = 0; at < names.size();) {
    std::size_t end = names.find('\0', at);
    if (end == std::string::npos) end = names.size();
    const std::string name = names.substr(at, end - at);
    at = end + 1;
    if (name.empty() || !Carried(name)) continue;
    if (const int e = each(name)) return e;
  }
  return 0;
}

}  // namespace

int CopyAttributes(int from, int to) {
  std::string fromNames, toNames;
  if (const int e = Names(from, fromNames)) return e;
  if (const int e = Names(to, toNames)) return e;
  if (fromNames.empty() && toNames.empty()) return 0;
  std::string value, present;
  if (const int e = ForEachCarried(fromNames, [&](const std::string& name) {
        const int read = Value(from, name.c_str(), value);
        // Removed from the old file since it was listed: the new file has it not either.
        if (read == ENODATA) return ::fremovexattr(to, name.c_str()) == 0 || errno == ENODATA ? 0 : errno;
        if (read) return read;
        if (Listed(toNames, name) && Value(to, name.c_str(), present) == 0 && present == value) return 0;
        return ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0 ? 0 : errno;
      }))
    return e;
  return ForEachCarried(toNames, [&](const std::string& name) {
    if (Listed(fromNames, name)) return 0;
    return ::fremovexattr(to, name.c_str()) == 0 || errno == ENODATA ? 0 : errno;
  });
}

int CopyOwnLooks(int from, int to) {
  struct stat old {};
  if (::fstat(from, &old) != 0) return errno;
  if (!S_ISREG(old.st_mode) || old.st_uid != ::geteuid()) return 0;
  if (::fchmod(to, old.st_mode & 07777) != 0) return errno;
  return CopyAttributes(from, to);
}

}  // namespace safepath
