// Another user of the machine, for tests of what a walk refuses: files of theirs, a process of theirs that works on a
// folder at the same time as the test, and a call made as they would make it.
//
// The tests run as root in CI, which alone can give a file to another user and become one: there the files are given
// to uid 4321 and the process runs in that uid. Run by another user, the files are told theirs to the walk's owner
// check instead (safepath::SetOwnerCheck) and the process is one of the test's user, so the same cases run.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "safepath/HeldPath.h"

namespace another_user {

constexpr uid_t kUid = 4321;

inline bool AsRoot() { return ::geteuid() == 0; }

// Makes entries theirs (a link itself, not what it leads to): given to them as root, else told theirs to the owner
// check while the object lives.
class Files {
 public:
  Files() {
    if (!AsRoot())
      previous_ = safepath::SetOwnerCheck([this](const struct stat& st) {
        return theirs_.count({st.st_dev, st.st_ino}) ? kUid : st.st_uid;
      });
  }
  ~Files() {
    if (!AsRoot()) safepath::SetOwnerCheck(std::move(previous_));
  }
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;

  // False when the entry could not be made theirs.
  bool give(const std::filesystem::path& entry) {
    if (AsRoot()) return ::lchown(entry.c_str(), kUid, kUid) == 0;
    struct stat st {};
    if (::lstat(entry.c_str(), &st) != 0) return false;
    theirs_.insert({st.st_dev, st.st_ino});
    return true;
  }

 private:
  std::set<std::pair<dev_t, ino_t>> theirs_;
  safepath::OwnerCheck previous_;
};

// Makes `folder` and everything in it theirs, as a folder of their own is. Run by another user, it is that user's
// own already, who stands for them.
inline bool GiveTree(const std::filesystem::path& folder) {
  if (!AsRoot()) return true;
  bool given = ::lchown(folder.c_str(), kUid, kUid) == 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    given = ::lchown(entry.path().c_str(), kUid, kUid) == 0 && given;
  return given;
}

// Starts a process of theirs in `folder` (entered before it takes their uid: the folders above may be closed to
// them) that runs `body` and ends with its answer, or with the test's process. Its process id, or -1 when it could
// not be started.
inline pid_t Start(const std::filesystem::path& folder, const std::function<int()>& body) {
  const pid_t test = ::getpid(), pid = ::fork();
  if (pid != 0) return pid;
  if (::chdir(folder.c_str()) != 0 ||
      (AsRoot() && (::setresgid(kUid, kUid, kUid) != 0 || ::setresuid(kUid, kUid, kUid) != 0)) ||
      ::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != test)  // after the uid: a change of it clears the signal
    ::_exit(254);
  ::_exit(body());
}

// Runs `body` as they would, in `folder`, and answers its answer (0..253), or -1 when it did not end so.
inline int Run(const std::filesystem::path& folder, const std::function<int()>& body) {
  const pid_t pid = Start(folder, body);
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 253) return -1;
  return WEXITSTATUS(status);
}

// Their hand in a folder every user may write: a process that exchanges the entries of each pair there in turn,
// again and again and atomically (renameat2 RENAME_EXCHANGE), for as long as the object lives.
class Exchanger {
 public:
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  Exchanger(const std::filesystem::path& folder, const Pairs& pairs)
      : pid_(Start(folder, [&] {
          for (;;)
            for (const auto& [a, b] : pairs) ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
          return 0;
        })) {}
  ~Exchanger() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  Exchanger(const Exchanger&) = delete;
  Exchanger& operator=(const Exchanger&) = delete;

  bool started() const { return pid_ > 0; }

 private:
  pid_t pid_;
};

}  // namespace another_user
