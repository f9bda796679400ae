// The module's path dialect on Linux.
//
// Both '\\' and '/' separate; a path is absolute when it starts with a separator, a drive ("c:") or a UNC
// prefix; drives are empty on Linux, so "c:\\data\\x.dao" means "/data/x.dao". Every call that opens or
// inspects a file maps its argument through NativePath first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

constexpr bool IsSeparator(char c) { return c == '\\' || c == '/'; }
// "c:" and the like at the start of a path.
bool HasDrive(std::string_view path);
bool IsAbsolutePath(std::string_view path);
// Where the name in a path begins: after its last separator; in a path without one, after its drive ("c:name");
// else at its start. Only the first two characters can be a drive: a ':' anywhere else is a character of the name
// or folder it stands in ("run-12:30.csv", "/p/x:proj.brd"). Every function that splits a path finds its name here.
std::size_t NameStart(std::string_view path);
// The folder of a path, to look into or to join a name to: the path up to its name without the separators that end
// it (a root keeps its own: "/", "c:\\"); "." where the path names no folder (a bare name, or a drive and a name:
// drives are empty on this system).
std::string FolderOf(std::string_view path);
// Backslashes become slashes, a leading drive is dropped, and the code page 1252 name becomes the file system's
// UTF-8 one; an empty path stays empty.
std::string NativePath(std::string_view path);
// A name or path from the file system (UTF-8) as the module sees it, in code page 1252: a character the code page
// lacks, or a byte that is not UTF-8, reads as '?', so such a name never opens as another file.
std::string ModulePath(std::string_view native);

}  // namespace plat
