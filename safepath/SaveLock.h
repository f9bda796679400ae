// SaveLock: the saves of one file that merge its text with their own run one at a time, in this program and in every
// other that saves through this code.
//
// Such a save (a settings file's edit) reads the file, changes the text and writes it back: two at once would each
// write the file without the other's change. Each takes this lock before its read and holds it until its rename or its
// last write in place is done. It is two advisory write locks (fcntl, open-file-description: F_OFD_SETLK with
// F_WRLCK), taken in this order:
//
//   The user's own lock: on a lock file in a folder of the user's own that no other user may enter (mode 0700, the
//   user's: "brim-save-locks" in the runtime folder the session gives, XDG_RUNTIME_DIR, where that is the user's own
//   of mode 0700, else in the cache folder, XDG_CACHE_HOME or ~/.cache; each judged through its open descriptor, and
//   one of another user or open to others is passed over). The lock file is named by the settings file's folder
//   (device, inode) and a hash of its name, which stay the same across saves by rename, and is made at the take and
//   removed at the release (a take checks that the name still holds the file it locked: else that save removed it
//   meanwhile, and the take starts again), so that at most one lock file stands per save running (and one per save a
//   crash ended, which the file's next save takes over). No other user can make, open or lock it: the user's savers
//   of the file run one at a time whatever any other user holds on the file or its folder.
//
//   The file's own lock, on the settings file itself through a descriptor open for writing, for the programs of other
//   users who may write the file: only a program that may write the file can hold its saves off. A lock that stands
//   in the way is looked at (F_OFD_GETLK): a write lock (a writer's, another user's save) is asked for again and
//   again, a fraction of a millisecond apart; read locks alone (which any program that may read the file can take)
//   are not waited for, and the save goes on under the user's own lock alone. Locks taken by flock are another kind
//   and hold nothing off.
//
// Each is waited for at most the wait (5 s, SetSaveLockWait) in all, and past that the take fails with EWOULDBLOCK.
// Once the file's lock is taken, the name must still hold what was locked (a save that held the lock meanwhile may
// have renamed a new file under the name): else it is given up and taken on what the name holds now.
//
// Where the user has no such folder (no runtime nor cache folder of their own, or one another user made), the file's
// own lock must serialise the saves alone: where only readers' locks stand in its way, or the file system keeps no
// locks, the take fails with ENOLCK rather than let the save go on unserialised.
//
// Where the name holds no file yet, the file's own lock is not taken (a folder opens for reading only, and any user
// who may read it could hold such a lock): the file's first save instead gives its new file the name only where the
// name is still free (linkat), and where another save made the file meanwhile the caller reads that file and saves
// again, under that file's lock (covers() tells it the file is not the one the lock was taken for).
//
// What no lock holds off: a program that takes no lock (the save's own look at the file before it writes, identity,
// size and change time against what it read, refuses such a change instead), and the saves of another user who may
// write the file while a reader's lock keeps the file's own lock from everyone (each user's saves run one at a time,
// but one user's may meet another's: the looks then refuse the later). The file's lock is not taken, and the save goes
// on under the user's own lock, for a name that holds no regular file (a link to none, a FIFO: the save replaces or
// refuses it) and a file this process may not open for writing (a read-only file: the save refuses it or reports
// why). Locks of one process conflict with each other too (each open of a file is its own description), so the
// process keeps its own record of what it holds: a thread never waits on a lock it holds itself (a save of the file
// by another of its names while a batch of edits holds it), which goes on without one; another thread's lock is waited
// for as another program's is. Every descriptor is close-on-exec. This folder uses the C library and the standard
// library only.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <string>

#include "safepath/HeldPath.h"

namespace safepath {

class SaveLock {
 public:
  SaveLock() = default;
  ~SaveLock() { release(); }
  SaveLock(SaveLock&& other) noexcept;
  SaveLock& operator=(SaveLock&& other) noexcept;

  // Takes the lock for a save of the last name of `held` (a walk to the file, walkToFile): 0 (held, as far as the
  // above takes it), EWOULDBLOCK where another save held it for the whole wait, or ENOLCK where the user has no folder
  // for their own lock and the file's own cannot be had either (nothing is held then). The caller walks the path again
  // once it is held, for what the name holds now.
  int take(const HeldPath& held);
  // The same with a wait of its own (none: EWOULDBLOCK at once where another save holds it).
  int take(const HeldPath& held, std::chrono::milliseconds wait);
  void release() noexcept;
  // Whether a save of the file `file` describes (device and inode), or of no file (null), is the one the lock was taken
  // for: a file read after the lock must be the one locked, which this lock's descriptor keeps open (its inode number
  // then names no other file), and where the take found no file, none may be there. True for any where the save goes
  // on without the file's lock.
  bool covers(const struct stat* file) const;

 private:
  // A write lock through an open descriptor, and the file it is on.
  struct Lock {
    int fd = -1;
    dev_t dev = 0;
    ino_t ino = 0;
  };
  static void Give(Lock& lock) noexcept;
  // Takes the user's own lock until `end`: 0, EALREADY where this thread holds it already, EWOULDBLOCK where another
  // save held it all the while, ENOLCK where the user has no folder for it.
  int takeOwn(const HeldPath& held, std::chrono::steady_clock::time_point end);

  Lock file_;  // the settings file's own lock
  Lock own_;   // the user's own lock, on the lock file ownName_ in the folder ownFolder_
  int ownFolder_ = -1;
  std::string ownName_;
  bool noFile_ = false;  // the name held no file: the file is not locked, and a file there now was made since
};

// The longest a save waits for another's lock (5 s at first); answers the wait it replaces. Process-wide, for tests.
std::chrono::milliseconds SetSaveLockWait(std::chrono::milliseconds wait);

}  // namespace safepath
