// SaveLock: the saves of one file that merge its text with their own run one at a time, in this program and in every
// other that saves through this code.
//
// Such a save (a settings file's edit) reads the file, changes the text and writes it back: two at once would each
// write the file without the other's change. Each takes this lock before its read and holds it until its rename or its
// last write in place is done (a save by rename holds its new file's own lock besides, from before the file has a name
// until the save took its status after the rename: AtomicFile.h).
//
// The lock is the file's own: an advisory write lock (fcntl, open-file-description: F_OFD_SETLK with F_WRLCK) on the
// settings file, through a descriptor open for reading and writing, so that only a program that may write the file can
// hold its saves off. A lock in the way is looked at (F_OFD_GETLK): a write lock (another save's) is asked for again
// and again, a fraction of a millisecond apart. Read locks alone in the way, which any program that may read the file
// can take, keep the write lock from everyone; then what the file is decides:
//
//   A file another user may write too (its owner is another, or its group or all may write it: a member of its group,
//   root saving a user's file) is waited for as for a writer, and past the wait the save is refused: two users' saves
//   are never written unordered, and a reader can make them wait or fail, never lose a key.
//
//   A file only this user may write (root aside) is saved under a read lock on the file and the user's own lock: a
//   range of a lock file of the user's, keyed by the file's device and inode, so that every name of the file takes
//   the same range. Every program of the user that meets readers takes both, and the read lock keeps the write lock
//   from a program of the user that comes when the other readers are gone: it meets a reader too.
//
// The user's own lock lives in places fixed by the user's identity, never by a program's environment: the runtime
// folder "/run/user/<uid>" (never made here), then "<home>/.cache" with the home the password database gives (made
// where missing). In each, the folder "brim-save-locks" (the user's, of no group or other bits, opened without
// following a link; made where missing) holds one lock file, "saves.lock" (the user's), made once and kept: however
// many saves, one file a place. A place is the user's folder that no other may write, and it is taken only where no
// other user can move or replace what the lock stands on: its path is walked from the root a name at a time
// (HeldPath::walkOwned), each folder on the way (also those of a link's text and those ".." leads to) root's or the
// user's and writable by no other user, but for a folder with the sticky bit, which others may write where the entry
// taken in it is the user's or root's; a link is followed only in such a folder, and the place is opened (made) in the
// folder that walk holds. In a home every user may write, another user could otherwise move the cache folder away
// between two programs' takes, and the second would make a new one and take its lock there while the first holds it
// in the old. So a home of mode 0775 whose group is the user's private group (no other member), or one under a
// root:root folder of mode 2775, is no place either: a group bit is another user's power by this rule. A place that
// cannot take the lock (missing, another user's, under a folder another user can change, a link, a file system that is
// full before the lock file is made or keeps no locks) is passed over, in the same order by every program of the user
// (never one this process is short of a descriptor or memory for: the take fails with that errno value instead);
// the lock is made and taken in every place that takes it, so that two programs meet in every place both see (a
// sandboxed program with a runtime folder of its own meets the others in the cache folder), and no two wait on each
// other in a cycle. Where no place takes it, the take fails with ENOLCK and the save is refused: for a user whom no
// place takes (no password entry, a home missing, not theirs or under a folder another user can change, no runtime
// folder), any reader's lock refuses every save of the user's own file. No other user can open, make, move or lock
// anything there.
//
// A lock file orders saves only while it is the file under its name in its place: one removed, renamed or replaced
// while a save holds it (the user's own cache cleaning, "rm -rf ~/.cache"; the runtime folder removed at the last
// logout; a place's folder moved away) is not the one a program that comes since opens (it makes a new one there),
// and the two would not wait for each other. So the lock is held only on the file the place's path names once its
// range is had (else the place is walked again), and a save asks stillOrders() at its last look before the write and
// after the write: where a lock file is no longer under its name, the save is made again under the lock taken anew
// (which waits for the program that took the new file, and reads what it wrote), or refused. The one limit: two
// programs of the user that see different files under every place's path (a sandbox with a runtime folder and a home
// of its own) never meet, and neither does a save whose lock file goes and whose whole rival save runs between its
// last look and its write (a few system calls; the text of a write in place).
//
// Each is waited for at most the wait (5 s, SetSaveLockWait) in all, and past that the take fails with EWOULDBLOCK.
// Once taken, the name must still hold what was locked (a save that held the lock meanwhile may have renamed a new file
// under the name): else it is given up and taken on what the name holds now. On a file system that keeps no locks, the
// user's own lock orders the saves of a file only the user may write, and a file another user may write is refused
// (ENOLCK).
//
// Where the name holds no file yet, no lock is taken (a folder opens for reading only, and any user who may read it
// could hold such a lock): the file's first save instead gives its new file the name only where the name is still free
// (linkat), and where another save made the file meanwhile the caller reads that file and saves again, under that
// file's lock (covers() tells it the file is not the one the lock was taken for).
//
// What no lock holds off: a program that takes no lock (the save's own look at the file before it writes, identity,
// size and change time against what it read, refuses such a change instead). No lock is taken, and the save goes on,
// for a name that holds no regular file (a link to none, a FIFO: the save replaces or refuses it) and a file this
// process may not open for reading and writing (the save refuses it or reports why). Locks of one process conflict with
// each other too (each open of a file is its own description), so the process keeps its own record of what it holds: a
// thread never waits on a lock it holds itself (a save of the file by another of its names while a batch of edits
// holds it), which goes on without one; another thread's lock is waited for as another program's is. Every descriptor
// is close-on-exec. This folder uses the C library and the standard library only.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "safepath/HeldPath.h"

namespace safepath {

class SaveLock {
 public:
  SaveLock() = default;
  ~SaveLock() { release(); }
  SaveLock(SaveLock&& other) noexcept;
  SaveLock& operator=(SaveLock&& other) noexcept;

  // Takes the lock for a save of the last name of `held` (a walk to the file, walkToFile): 0 (held, as far as the
  // above takes it), EWOULDBLOCK where another save held it for the whole wait (or readers of a file another user may
  // write), ENOLCK where no lock that orders the save can be had, or the errno value of an open of the file, or of a
  // place of the user's own lock, that failed for want of a resource (EMFILE, ENFILE, ENOMEM: nothing is held then; a
  // place is never passed over for it). The caller walks the path again once it is held, for what the name holds now.
  int take(const HeldPath& held);
  // The same with a wait of its own (none: EWOULDBLOCK at once where another save holds it).
  int take(const HeldPath& held, std::chrono::milliseconds wait);
  void release() noexcept;
  // Whether a save of the file `file` describes (device and inode), or of no file (null), is the one the lock was taken
  // for: a file read after the lock must be the one locked, which this lock's descriptor keeps open (its inode number
  // then names no other file), and where the take found no file, none may be there. True for any where the save goes
  // on without a lock.
  bool covers(const struct stat* file) const;
  // Whether the lock still orders the save it was taken for: each lock file of the user's own lock is still the file
  // under its name in its place (a program that takes the lock now takes it there too). One removed, renamed or
  // replaced while held (its folder, or the place's, with it) orders no program that came since: the caller asks
  // just before its write and again after it, and where either is false the save is made again under the lock taken
  // anew (or refused), never answered done. True where no such lock is held (the file's own write lock).
  bool stillOrders() const;

 private:
  // A lock through an open descriptor, and the file it is on.
  struct Lock {
    int fd = -1;
    dev_t dev = 0;
    ino_t ino = 0;
    bool recorded = false;  // in the process's record of what its threads hold
    std::string path;       // a lock file's path in its place (the user's own lock)
  };
  static void Give(Lock& lock) noexcept;
  int lockFile(const struct stat& file, std::chrono::steady_clock::time_point end);
  int takeOwn(const struct stat& file, uid_t user, std::chrono::steady_clock::time_point end);

  Lock file_;              // the settings file: its write lock, or its read lock beside the user's own
  std::vector<Lock> own_;  // the user's own lock: its range of the lock file in each place that took it
  bool noFile_ = false;    // the name held no file: nothing is locked, and a file there now was made since
};

// The longest a save waits for another's lock (5 s at first); answers the wait it replaces. Process-wide, for tests.
std::chrono::milliseconds SetSaveLockWait(std::chrono::milliseconds wait);

// A place of a user's own lock: a folder that holds the folder of their lock file, made (mode 0700) where missing when
// `make` is set.
struct LockPlace {
  std::string folder;
  bool make = false;
  bool operator==(const LockPlace&) const = default;
};
// The places of the user `user`'s own lock in the order they are tried, fixed by the user's identity alone.
std::vector<LockPlace> UserLockPlaces(uid_t user);
// The places tried instead of UserLockPlaces, for tests, which keep them in folders of their own (empty: the user's
// own); answers what it replaces. Process-wide, and kept by a forked process.
using LockPlaces = std::function<std::vector<LockPlace>(uid_t user)>;
LockPlaces SetLockPlaces(LockPlaces places);

}  // namespace safepath
