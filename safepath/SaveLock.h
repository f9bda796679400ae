// SaveLock: the saves of one file that merge its text with their own run one at a time, in this program and in every
// other that saves through this code.
//
// Such a save (a settings file's edit) reads the file, changes the text and writes it back: two at once would each
// write the file without the other's change. Each takes this lock before its read and holds it until its rename or its
// last write in place is done. It is an advisory lock (flock, exclusive) on the file itself, so that no lock file is
// made or left; where the name holds no file yet, on the folder (two first saves of a file: the second then finds the
// file the first made, and locks that). Once it is taken, the name must still hold what was locked (a save that held
// the lock meanwhile may have renamed a new file under the name): else it is given up and taken on what the name holds
// now. A lock another save holds is asked for again and again, a fraction of a millisecond apart, for at most the wait
// (5 s, SetSaveLockWait); past that the take fails with EWOULDBLOCK.
//
// A program that takes no lock is not held off by it: the save's own look at the file before it writes (identity,
// size and change time against what it read) refuses such a change instead. Where no lock can be had for other reasons
// the save goes on without one, under those same looks: a name that holds no regular file (a link to none, a FIFO: the
// save replaces or refuses it), a file or folder this process may not open for reading (the save reports why), a file
// system that keeps no such locks. A process never waits on a lock it holds itself (a save of the file by another of
// its names while a batch of edits holds it): that save goes on without one too. Every descriptor is close-on-exec.
// This folder uses the C library and the standard library only.
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

  // Takes the lock for a save of the last name of `held` (a walk to the file, walkToFile): 0 (held, or gone on without
  // one as above), or EWOULDBLOCK where another save held it for the whole wait. The caller walks the path again once
  // it is held, for what the name holds now.
  int take(const HeldPath& held);
  void release() noexcept;
  // Whether a save of the file `file` describes (device and inode), or of no file (null), is the one the lock was taken
  // for: a file read after the lock must be the one locked, which this lock's descriptor keeps open (its inode number
  // then names no other file). True where the save goes on without a lock.
  bool covers(const struct stat* file) const;

 private:
  int fd_ = -1;
  bool onFolder_ = false;  // the name held no file: the folder is locked
  dev_t dev_ = 0;
  ino_t ino_ = 0;
};

// The longest a save waits for another's lock (5 s at first); answers the wait it replaces. Process-wide, for tests.
std::chrono::milliseconds SetSaveLockWait(std::chrono::milliseconds wait);

}  // namespace safepath
