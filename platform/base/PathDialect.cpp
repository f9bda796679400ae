#include "platform/base/PathDialect.h"

#include "platform/base/CodePage.h"

namespace plat {

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

bool IsAbsolutePath(std::string_view path) { return HasDrive(path) || (!path.empty() && IsSeparator(path[0])); }

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
