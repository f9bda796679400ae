// SaveLock: the saves of one file that merge its text with their own run one at a time, in this program and in every
// other that saves through this code.
//
// Such a save (a settings file's edit) reads the file, changes the text and writes it back: two at once would each
// write the file without the other's change. Each takes this lock before its read and holds it until its rename or its
// last write in place is done. It is an advisory write lock on the whole file itself (fcntl, open-file-description:
// F_OFD_SETLK with F_WRLCK), so that no lock file is made or left, and it is taken through a descriptor open for
// writing: only a program that may write the file can hold its saves off. A lock that stands in the way is looked at
// (F_OFD_GETLK): a write lock (a writer's, another save's) is asked for again and again, a fraction of a millisecond
// apart, for at most the wait (5 s, SetSaveLockWait), and past that the take fails with EWOULDBLOCK; read locks alone
// (which any program that may read the file can take) are not waited for. Locks taken by flock are another kind and
// hold nothing off. Once the lock is taken, the name must still hold what was locked (a save that held the lock
// meanwhile may have renamed a new file under the name): else it is given up and taken on what the name holds now.
//
// Where the name holds no file yet, nothing is locked (a folder opens for reading only, and any user who may read it
// could hold such a lock): the file's first save instead gives its new file the name only where the name is still
// free (linkat), and where another save made the file meanwhile the caller reads that file and saves again, under
// that file's lock (covers() tells it the file is not the one the lock was taken for).
//
// A program that takes no lock is not held off by it: the save's own look at the file before it writes (identity,
// size and change time against what it read) refuses such a change instead. Where no lock can be had the save goes on
// without one, under those same looks: a name that holds no regular file (a link to none, a FIFO: the save replaces or
// refuses it), a file this process may not open for writing (a read-only file: the save refuses it or reports why), a
// file with only read locks on it, a file system that keeps no such locks. Locks of one process conflict with each
// other too (each open of the file is its own description), so the process keeps its own record of what it holds:
// a thread never waits on a lock it holds itself (a save of the file by another of its names while a batch of edits
// holds it), which goes on without one; another thread's lock is waited for as another program's is. Every
// descriptor is close-on-exec. This folder uses the C library and the standard library only.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>

#include "safepath/HeldPath.h"

namespace safepath {

class SaveLock {
 public:
  SaveLock() = default;
  ~SaveLock() { release(); }
  SaveLock(SaveLock&& other) noexcept;
  SaveLock& operator=(SaveLock&& other) noexcept;

  // Takes the lock for a save of the last name of `held` (a walk to the file, walkToFile): 0 (held, nothing to hold
  // where the name holds no file, or gone on without one as above), or EWOULDBLOCK where another save held it for the
  // whole wait. The caller walks the path again once it is held, for what the name holds now.
  int take(const HeldPath& held);
  // The same with a wait of its own (none: EWOULDBLOCK at once where another save holds it).
  int take(const HeldPath& held, std::chrono::milliseconds wait);
  void release() noexcept;
  // Whether a save of the file `file` describes (device and inode), or of no file (null), is the one the lock was taken
  // for: a file read after the lock must be the one locked, which this lock's descriptor keeps open (its inode number
  // then names no other file), and where the take found no file, none may be there. True for any where the save goes
  // on without a lock.
  bool covers(const struct stat* file) const;

 private:
  int fd_ = -1;
  bool noFile_ = false;  // the name held no file: nothing is locked, and a file there now was made since
  dev_t dev_ = 0;
  ino_t ino_ = 0;
};

// The longest a save waits for another's lock (5 s at first); answers the wait it replaces. Process-wide, for tests.
std::chrono::milliseconds SetSaveLockWait(std::chrono::milliseconds wait);

}  // namespace safepath
