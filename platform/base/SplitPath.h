// _splitpath/_makepath in the module's path dialect ('\\' and '/' both separate).
//
// _splitpath: drive ("c:" when the path has one, else empty), directory with its trailing separator,
// name, extension with its dot (from the last dot of the last component, so ".profile" is all extension,
// as in the classic runtime).
// Each out-parameter may be null; results are cut to their classic maximum sizes.
// _makepath: drive (a missing ':' is added), directory (a missing trailing separator is added, using the
// directory's own kind of separator, '\\' when it has none), name, extension (a missing dot is added);
// the result is cut to _MAX_PATH - 1.
#pragma once

#include <string_view>

constexpr int _MAX_PATH = 260;
constexpr int _MAX_DRIVE = 3;
constexpr int _MAX_DIR = 256;
constexpr int _MAX_FNAME = 256;
constexpr int _MAX_EXT = 256;

namespace plat {
// The four parts _splitpath gives, uncut, as views into the path: the drive only from its first two characters and
// the name from NameStart, so a ':' anywhere else stays in the folder or name it stands in.
struct PathParts {
  std::string_view drive, directory, name, extension;
};
PathParts SplitPathParts(std::string_view path);
}  // namespace plat

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext);
