// The descriptors of this process that a program it starts would inherit (no FD_CLOEXEC), for tests that a save or
// an open leaves none: a test records those that were there before (the test program's own, those of the standard
// streams) and looks again while the work is under way, at a step of its fault seam.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

namespace inherited {

// Each inherited descriptor above the standard streams, with the file it is open on.
inline std::map<int, std::string> Descriptors() {
  std::map<int, std::string> found;
  DIR* listing = ::opendir("/proc/self/fd");
  if (!listing) return {{-1, "/proc/self/fd cannot be listed"}};
  const int own = ::dirfd(listing);
  while (const dirent* entry = ::readdir(listing)) {
    char* end = nullptr;
    const long fd = std::strtol(entry->d_name, &end, 10);
    if (*end || end == entry->d_name || fd <= 2 || fd == own) continue;
    const int flags = ::fcntl(static_cast<int>(fd), F_GETFD);
    if (flags < 0 || (flags & FD_CLOEXEC)) continue;
    char target[4096] = "";
    const std::string link = std::string("/proc/self/fd/") + entry->d_name;
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    found[static_cast<int>(fd)] = n > 0 ? std::string(target, static_cast<std::size_t>(n)) : "?";
  }
  ::closedir(listing);
  return found;
}

// Those of Descriptors() that `before` (an earlier answer) does not hold open on the same file.
inline std::map<int, std::string> MadeSince(const std::map<int, std::string>& before) {
  std::map<int, std::string> made;
  for (const auto& [fd, file] : Descriptors()) {
    const auto was = before.find(fd);
    if (was == before.end() || was->second != file) made[fd] = file;
  }
  return made;
}

inline std::string Describe(const std::map<int, std::string>& descriptors) {
  std::string text;
  for (const auto& [fd, file] : descriptors) text += std::to_string(fd) + " -> " + file + "; ";
  return text;
}

}  // namespace inherited
