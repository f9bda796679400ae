// Replacing a file's whole content atomically: the text goes to a temporary file in the same directory, which
// gets the file's looks (owner, group, mode, then its extended attributes: its access ACL and every other this process
// may read and set, safepath/Attributes.h) as they are at the commit, is flushed to the disk and then takes the file's
// name; the folder is flushed after that (behind a symbolic link, the link's target is replaced). A new file keeps the
// mode and ACL its making gives it (0666 less the umask, or the folder's default ACL), as any program's new file.
// Readers see the old or the new content, never a part; a failure leaves the old file and no temporary behind. A link
// that leads to no file in a folder that exists is replaced by the file; one whose file cannot be reached (a folder on
// the way closed, missing or a file) fails with that reason, and the link stays.
//
// A file that may not be written (no write bit, or no write access for this process) is never replaced:
// EACCES, as its own write would have been refused. A writable file in a folder where no temporary file can
// be made, with further hard links, whose owner and group or one of whose attributes this process may not give to
// another file, or which it may not read (nor, so, its attributes), is written in place instead (not atomically): room
// for the new text is reserved first, so that a full disk fails with the old text whole; the new text goes over the
// old, the file is cut to length last and flushed before success is reported; only the very file the save began on
// is written so (the name may hold another by then): another user's is refused (EACCES), any other (EBUSY), a FIFO at
// once. After the write and its flush the name is looked at again: where another program's rename gave it another
// file meanwhile, the text is only under the file's other names, and the save fails (EBUSY). A program that takes no
// lock and writes the file in place between the save's last look and its write still loses that write to the save.
// A directory answers EISDIR. Every step asks the file layer's fault seam (FileFaults.h) first.
//
// A name in a folder every user may write (mode 1777 as /tmp, or 0777) may have been put there by another user to
// catch a save: such a folder's symbolic links and files of neither this user nor the folder's owner are neither
// followed (under the name or as a folder on the way to it) nor written nor replaced (EACCES, as the kernel's guards
// of sticky such folders answer), so that nothing of this user's is written through another's link and no text
// goes into another's file. This user's own are saved as anywhere else.
//
// Each save keeps to the folder it checked: the path is walked once, a name at a time from a held folder descriptor
// (safepath/HeldPath.h), and the temporary file, the spool, the rename, the in-place write, the folder's flush and
// the removal of a failed save's temporary file all work relative to the folder that walk ends on; nothing resolves
// the path's text again, so a link put on the way after the check is never followed. A name ending in a slash names
// a folder: where it names a file, the save is refused (ENOTDIR) and the file stays.
//
// The rename itself goes by names, which any user may exchange in a folder every user may write without the sticky
// bit: the temporary file's name must still hold the file written just before it is renamed (else nothing is renamed
// and what is under it now is left alone), and the file's name must be left to it after the rename (it holds the file,
// or a later save of this user took the name from it: saves of one file at once, the last wins); otherwise the save
// fails with EBUSY rather than report success. After the rename there is nothing safe to undo: the name keeps what
// another user put under it (never removed by this user), and the text sits under the name they exchanged it to. A
// save refused at its rename removes its temporary file's name where that name holds the file it wrote again
// (another user's exchange may put it back), never where it holds another file. Until just before the rename the
// temporary file has no name at all (made with O_TMPFILE, and linked under its name through /proc/self/fd), so that a
// save refused before then leaves nothing another user could exchange and put back after the refusal looked; a file
// system that makes no unnamed file gets a named one from the start. A merged text's first save (WriteMergedFile) gives
// its unnamed file no temporary name at all: it is linked under the file's name itself, only while that is free.
//
// Every descriptor a save opens or keeps is close-on-exec: a program another thread starts meanwhile gets none.
//
// AtomicFile writes such a file as its text is made (a printed document), so that the text is not held whole in
// memory: open, write as often as needed, then commit (or abandon, which leaves the old file). A file written in
// place gets its text at the commit, from a spool the writes went to: an unnamed file beside it where its folder
// takes one, else memory (only then is the text held whole). The temporary folder is never used: the save depends
// on no disk but the file's own, and every failure is about the file. With Naming::Fresh the file is a new one
// that replaces nothing: no symbolic link under the name is followed and no existing file is written or replaced
// (the links on the way to its folder are followed under the rule above); at the commit the text takes the name
// when it is free, else the first free of "<stem>-2<ext>", "<stem>-3<ext>", ... (path() then answers the name
// taken).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

#include "safepath/HeldPath.h"
#include "safepath/SaveLock.h"

namespace plat {

// False with errno-style error in `err` on failure.
bool WriteFileAtomically(const std::string& path, std::string_view text, int& err);

// The file a save's text was merged with, as the save's own read found it under the name: its identity, size and
// change time (which every write moves, whatever it does to the modification time), or none; and the text read, where
// the caller holds it (it must outlive the save): a file whose status alone changed since (a chmod, a new hard link, a
// touch) is still the file read where its bytes are that text.
struct MergedFile {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  struct timespec changed {};
  std::string_view text;
  // The save lock the caller holds (safepath/SaveLock.h), where it holds one: asked at the last look before the write
  // and after it whether it still orders the save.
  const safepath::SaveLock* lock = nullptr;

  static MergedFile Of(const struct stat& st, std::string_view text = {});
  // Whether `st` (null for no file) is the file as it was read: the same one, of that size, changed no later.
  bool sameAs(const struct stat* st) const;
};

enum class MergedWrite { Written, FileChanged, Failed, Unordered, WrittenUnordered };

// WriteFileAtomically for a text merged with what a read found under the name (an edit of a settings file): written
// only where the name still holds that very file as it was read (none, where the read found none), else FileChanged
// (the file changed since it was read: another file under the name, or one written in place), and nothing under the
// name changes. The name is looked at when the save opens, when the file's looks are given, just before the rename
// and just before a write in place, and after the write in place (the name given to another file during it:
// FileChanged, the text only under the file's other names). Where only the file's status moved (same file and size),
// its bytes are compared with the text read: when the save opens, when the looks are given and before a write in
// place; at the last look before a rename, after the looks, only where its times alone moved (a touch: a change of
// its mode, owner, links or attributes there refuses the save, whose new file would lack it).
// A text merged with no file (the file's first save) is linked under the name only where the name is still free
// (linkat, or a rename that replaces nothing): a file another save made there meanwhile is FileChanged, and the caller
// reads that file and saves again. The caller holds the file's save lock (safepath/SaveLock.h) from before its read
// where the name holds a file, so that other saves of the file wait, and keeps the file read open until the save is
// done (its inode number then names no other file). A save by rename holds its new file's own write lock from its
// making until the save took its status after the rename, so that a save of another program that finds the new file
// under the name waits until `written` is the status of this save's own text. Failed with the errno value in `err`
// for every other failure. `written` gets the status of the file that holds the text. Unordered (nothing written) or
// WrittenUnordered (`written` set), whatever else came of it, where the lock `read.lock` no longer orders the save
// (safepath::SaveLock::stillOrders) at the last look before its write (which is then not made) or once the save is
// done: another program of the user may have saved meanwhile under a lock file of its own, and the caller takes the
// lock anew and saves again.
MergedWrite WriteMergedFile(const std::string& path, std::string_view text, const MergedFile& read,
                            struct stat& written, int& err);

// The errno value a save of `path` is refused with for what another user put in a folder every user may write (a
// link on the way to it or under its name, the file itself: EACCES), 0 when there is none: for a caller that makes
// something on the way first (a folder for the file). What only reads a file walks it itself (safepath::HeldPath) and
// reads in the folder its walk checked.
int PlantedRefusal(const std::string& path);

// Makes the folder `path` and every missing folder on its way, walking it as a save does: nothing is made through a
// link another user put in a folder every user may write, also one put there after an earlier check (EACCES). 0, or
// the errno value of the step that failed.
int MakeFolders(const std::string& path);

class AtomicFile {
 public:
  enum class Naming { Replace, Fresh };

  AtomicFile() = default;
  ~AtomicFile();  // an open file is abandoned
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Each answers false after a failure, whose errno value error() then holds; after one failure every later call
  // fails too, and the old file stays.
  // `merged` (a replace only): the file the text was merged with, which the name must still hold (EBUSY otherwise).
  bool open(const std::string& path, Naming naming = Naming::Replace, const MergedFile* merged = nullptr);
  bool write(std::string_view bytes);
  // Hands the bytes written so far to the file (writes gather in a buffer until it is full).
  bool flush();
  bool commit();
  void abandon();

  bool isOpen() const { return fd_ >= 0 || inMemory_; }
  int error() const { return error_; }
  // After a failure of a merged text's save: whether the name no longer held the file the text was merged with (EBUSY
  // then), rather than any other failure.
  bool mergedFileChanged() const { return mergedChanged_; }
  // The file the text is for (behind a link, the link's target); after a fresh file's commit, the name it took.
  const std::string& path() const { return target_; }
  // While open to replace: the status of the file the walk found under the name (null for none), for a caller that
  // refuses some kinds of file without looking the name up again.
  const struct stat* existing() const { return isOpen() && held_.exists() ? &held_.file() : nullptr; }
  // After a commit: the status of the file that holds the text under the name.
  const struct stat& committed() const { return committed_; }

 private:
  enum class Finish { Rename, InPlace, Fresh };
  bool fail(int e);
  bool failChanged();
  bool failInPlace(int e);
  void removeTemporary() noexcept;
  bool seamAllowsRemoval() const noexcept;
  std::string inFolder(const std::string& leaf) const;
  void setFolderText();
  bool openWalking(std::string path, Naming naming, const MergedFile* merged, int walksLeft);
  bool makeTemporary(mode_t mode);
  // The file replaced, open for reading (its looks and bytes), or -1 with errno set.
  int oldFile();
  // Gives the temporary file the file's looks, or turns the save into a write in place where they cannot be given.
  bool giveLooks();
  bool writeInPlaceInstead();
  // Whether the file `now` describes (null: none) is the file the text was merged with, as it was read.
  bool stillAsRead(const struct stat* now);
  bool writeInPlace(std::string_view text, int& err);
  bool nameTemporary();
  void spoolBeside();
  bool flushAndClose();
  bool commitRename();
  bool linkFirstSave();
  bool commitInPlace();
  bool commitFresh();
  bool tookName(const std::string& leaf);
  bool nameHoldsMerged();
  // Whether the save lock of a merged text's caller (MergedFile::lock) still orders the save.
  bool lockOrders() const;

  Finish finish_ = Finish::Rename;
  int fd_ = -1;  // the temporary file or the spool file
  int kept_ = -1;  // the temporary file once flushed and closed, until its rename is checked
  int old_ = -1;  // the file a replace found under the name, open for reading: its looks, and its bytes to compare
  bool inMemory_ = false;  // a text written in place spools in buffer_, whole
  int error_ = 0;
  std::string target_;
  std::string dir_;  // the folder's path as given or walked: for the fault seam and the fresh name, never opened
  safepath::HeldPath held_;  // the folder the file is written in, and its name there
  std::string temp_;  // the temporary file's name in it; empty while unnamed (the spool, a temporary not named yet)
  off_t written_ = 0;
  std::string buffer_;  // bytes not yet handed to the file
  bool merged_ = false;  // the name must hold the file mergedWith_ names
  bool mergedChanged_ = false;  // it no longer did
  MergedFile mergedWith_;
  struct stat looks_ {};  // the file replaced as the temporary file was given its looks
  struct stat replacedLink_ {};  // the link to no file a text merged with no file replaces (none: not a link)
  struct stat committed_ {};  // the file written: the temporary file once flushed, or the file written in place
};

}  // namespace plat
