// A temporary folder of a test program's own for its whole run. It is made with mkdtemp under the TMPDIR the
// program was started with, and TMPDIR names it from then on, for the program and for every program it starts, so
// test programs run at the same time never meet in the temporary folder. It is removed at exit, after the
// program's static objects are gone, whatever the tests' outcome. Each test removes what it wrote: anything still
// in the folder then was left behind, and the program names it and fails. Beside it the program gets a runtime folder
// of its own (mode 0700), which XDG_RUNTIME_DIR names, and which holds the places of the user's own save locks
// (safepath::SetLockPlaces: "run" and then "cache" in it, for the program and every process it forks), so that the
// lock file a save under readers' locks makes stays out of the user's own places; it goes at exit too.
#pragma once

#include "platform/base/tests/TempDir.h"
#include "safepath/SaveLock.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace brimtest {

namespace detail {

struct PrivateTemp {
  std::filesystem::path folder;
  std::filesystem::path runtime;
  pid_t owner = 0;
};

// Never destroyed: the exit handler reads it after the static objects are gone.
inline PrivateTemp& ThePrivateTemp() {
  static PrivateTemp* temp = new PrivateTemp;
  return *temp;
}

inline void RemovePrivateTempAtExit() {
  const PrivateTemp& temp = ThePrivateTemp();
  if (::getpid() != temp.owner)
    return;   // a forked child that exits normally leaves the folder to its parent
  std::string left;
  std::error_code ec;
  std::filesystem::remove_all(temp.runtime, ec);
  for (std::filesystem::recursive_directory_iterator it(temp.folder, ec), end; !ec && it != end; it.increment(ec))
    left += "  " + it->path().lexically_relative(temp.folder).string() + "\n";
  std::filesystem::remove_all(temp.folder, ec);
  if (left.empty())
    return;
  std::fprintf(stderr, "FAILED: left behind in the temporary folder %s:\n%s", temp.folder.c_str(), left.c_str());
  std::fflush(nullptr);
  std::_Exit(1);
}

}  // namespace detail

// Call first thing in main, before anything is written to the temporary folder.
inline void UsePrivateTempFolder(const std::string& prefix) {
  detail::PrivateTemp& temp = detail::ThePrivateTemp();
  temp.folder = MakeTempFolder(prefix);
  temp.runtime = MakeTempFolder(prefix + "-run");
  temp.owner = ::getpid();
  ::setenv("XDG_RUNTIME_DIR", temp.runtime.c_str(), 1);
  safepath::SetLockPlaces([runtime = temp.runtime.string()](uid_t) {
    return std::vector<safepath::LockPlace>{{runtime + "/run", true}, {runtime + "/cache", true}};
  });
  ::setenv("TMPDIR", temp.folder.c_str(), 1);
  std::atexit(&detail::RemovePrivateTempAtExit);
}

}  // namespace brimtest
