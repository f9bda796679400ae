#include "platform/base/PathDialect.h"

#include "platform/base/CodePage.h"

namespace plat {

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

bool IsAbsolutePath(std::string_view path) { return HasDrive(path) || (!path.empty() && IsSeparator(path[0])); }

std::size_t NameStart(std::string_view path) {
  for (std::size_t i = path.size(); i-- > 0;)
    if (IsSeparator(path[i])) return i + 1;
  return HasDrive(path) ? 2 : 0;
}

std::string FolderOf(std::string_view path) {
  const std::size_t drive = HasDrive(path) ? 2 : 0;
  std::size_t end = NameStart(path);
  if (end == drive) return ".";
  while (end > drive + 1 && IsSeparator(path[end - 1])) --end;
  return std::string(path.substr(0, end));
}

std::string NativePath(std::string_view path) {
  if (HasDrive(path)) {
    path.remove_prefix(2);
    // "c:name" is relative to the drive's current directory; on Linux that is the current directory.
  }
  // The module names files in code page 1252; the file system names them in UTF-8.
  std::string out = Utf8From1252(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string ModulePath(std::string_view native) { return Cp1252FromUtf8(native); }

}  // namespace plat
