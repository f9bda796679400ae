// Locks another program holds on a file or folder, for tests of which of them hold a save off: each through an open of
// its own (a lock of one open conflicts with the locks of every other, also in one process), or held by a process of
// another user (AnotherUser.h) until the test lets it go.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "safepath/tests/AnotherUser.h"

namespace other_locks {

enum class Kind {
  Write,         // a write lock through a descriptor open for writing: another save's
  Read,          // a read lock (fcntl, open-file-description) through a read-only descriptor
  ClassicRead,   // a read lock of the process (fcntl F_SETLK) through a read-only descriptor
  SharedFlock,   // flock -s through a read-only descriptor
  ExclusiveFlock,  // flock -x through a read-only descriptor (a folder opens so too)
};

// Opens `path` as the kind asks and takes its lock: the descriptor (closing it lets go), or -1.
inline int Take(const std::filesystem::path& path, Kind kind) {
  const int fd = ::open(path.c_str(), (kind == Kind::Write ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return -1;
  struct flock range {};
  range.l_whence = SEEK_SET;
  range.l_type = kind == Kind::Write ? F_WRLCK : F_RDLCK;
  const bool taken = kind == Kind::SharedFlock      ? ::flock(fd, LOCK_SH | LOCK_NB) == 0
                     : kind == Kind::ExclusiveFlock ? ::flock(fd, LOCK_EX | LOCK_NB) == 0
                     : kind == Kind::ClassicRead    ? ::fcntl(fd, F_SETLK, &range) == 0
                                                    : ::fcntl(fd, F_OFD_SETLK, &range) == 0;
  if (taken) return fd;
  ::close(fd);
  return -1;
}

// The descriptors of this process open on `path` (as /proc names what they are open on), or with `under`, on a file in
// the folder `path`: a save waiting for a lock holds its file open, and one waiting for the user's own lock the lock
// file in the user's lock folder (LockFolder).
inline int OpenHere(const std::filesystem::path& path, bool under = false) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const std::filesystem::path open = std::filesystem::read_symlink(entry.path(), ec);
    count += under ? open.parent_path() == path : open == path;
  }
  return count;
}

// The folder of the user's own save locks, as the tests run them: in the first place the test program's runtime folder
// holds (PrivateTempFolder.h).
inline std::filesystem::path LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return std::filesystem::path(runtime ? runtime : "") / "run" / "brim-save-locks";
}

// A process of another user that holds a lock on `name` in `folder` (as root the folder and the file must let them in)
// from the construction, which waits until it is held, to release(). Following the name, it locks each file the name
// holds as soon as it sees it there (a save by rename gives the name a new file each time); letting go now and then, it
// gives up its lock for half a millisecond each half millisecond, and takes it again on what the name holds then.
enum class Follow { No, Name, LettingGo };
class Holder {
 public:
  Holder(const std::filesystem::path& folder, const std::string& name, Kind kind, Follow follow = Follow::No) {
    int ready[2], done[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return;
    if (::pipe2(done, O_CLOEXEC) != 0) {
      ::close(ready[0]);
      ::close(ready[1]);
      return;
    }
    pid_ = another_user::Start(folder, [&] {
      ::close(ready[0]);
      ::close(done[1]);
      int fd = Take(name, kind);
      char held = fd >= 0 ? 1 : 0;
      if (::write(ready[1], &held, 1) != 1) return 1;
      if (follow == Follow::No) return static_cast<int>(::read(done[0], &held, 1));  // until the test lets go
      struct stat locked {}, now {};
      struct pollfd end {done[0], POLLIN, 0};
      if (follow == Follow::LettingGo) {
        const struct timespec half {0, 500000};
        for (; ::poll(&end, 1, 0) == 0; ::nanosleep(&half, nullptr)) {
          if (fd >= 0) ::close(fd);
          ::nanosleep(&half, nullptr);
          fd = Take(name, kind);
        }
        return 0;
      }
      for (::fstat(fd, &locked); ::poll(&end, 1, 0) == 0;) {
        if (::stat(name.c_str(), &now) != 0 || (now.st_dev == locked.st_dev && now.st_ino == locked.st_ino)) continue;
        if (const int again = Take(name, kind); again >= 0) {
          ::close(fd);
          ::fstat(fd = again, &locked);
        }
      }
      return 0;
    });
    ::close(ready[1]);
    ::close(done[0]);
    char held = 0;
    holding_ = pid_ > 0 && ::read(ready[0], &held, 1) == 1 && held == 1;
    ::close(ready[0]);
    done_ = done[1];
  }
  ~Holder() { release(); }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

  bool holding() const { return holding_; }
  // Lets go: the process ends, and its lock with it.
  void release() {
    if (done_ >= 0) ::close(done_);
    done_ = -1;
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int done_ = -1;
  bool holding_ = false;
};

}  // namespace other_locks
