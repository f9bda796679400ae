// The module's path dialect on Linux.
//
// Both '\\' and '/' separate; a path is absolute when it starts with a separator, a drive ("c:") or a UNC
// prefix; drives are empty on Linux, so "c:\\data\\x.dao" means "/data/x.dao". Every call that opens or
// inspects a file maps its argument through NativePath first.
#pragma once

#include <string>
#include <string_view>

namespace plat {

constexpr bool IsSeparator(char c) { return c == '\\' || c == '/'; }
// "c:" and the like at the start of a path.
bool HasDrive(std::string_view path);
bool IsAbsolutePath(std::string_view path);
// Backslashes become slashes, a leading drive is dropped; an empty path stays empty.
std::string NativePath(std::string_view path);

}  // namespace plat
