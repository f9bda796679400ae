// HeldPath: a path walked to the folder that holds its last name, one name at a time from the descriptor of the
// folder reached so far, so that what a save checks on the way is what it writes in. The save then makes, writes,
// renames and removes its files relative to the descriptor the walk ends on (openat, renameat, unlinkat), and
// nothing resolves the path's text again: a link put on the way after the walk is never followed.
//
// The walk goes as the system's own lookup does: "." stays, ".." goes to the parent of the folder reached, a
// symbolic link's text takes its place (from the root for an absolute one), at most 40 links (ELOOP beyond); a name
// followed by another, or by a trailing slash, must be a folder (ENOTDIR otherwise). Each link is opened itself (the
// system follows none) and judged by its owner before its text is read from that same descriptor:
//
//   In a folder every user may write (mode 1777 as /tmp, or 0777), another user may have put a link or a file to
//   catch a save. A link of neither this user nor the folder's owner there is refused (EACCES), as the kernel's guards
//   of sticky such folders (protected_symlinks, protected_regular) refuse it, whatever the system's setting (a rename
//   passes by those guards, and a folder without the sticky bit has none). SharedLinks::None refuses every link in
//   such a folder, for a caller that follows none there.
//
// Call flow of a save (walkToFile):
//   walk(path, Follow)  ->  the file behind every link, if it exists: its folder held, its status kept; a failure on
//                           the way (a folder missing, locked or a file, too many links) is the walk's, with its reason
//   walk(path, Keep)    ->  only where the last name behind the links is missing: the folder the path itself names the
//                           file in (a link there that leads to no file is replaced)
//
// The file is opened once, after the walk (openFile), and what that opened is judged again: the name may hold another
// file by then (another user may have exchanged theirs for it), and no byte goes through before the judgement.
// This folder uses the C library and the standard library only; the platform and the field solver share it.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace safepath {

enum class LastName { Follow, Keep };  // whether a link under the last name is followed
enum class SharedLinks { Owners, None };  // which links in a folder every user may write are followed
enum class Opened { AsWalked, ByOwner };  // which file openFile takes: the one the walk saw, or any not planted

class HeldPath {
 public:
  HeldPath() = default;
  ~HeldPath() { reset(); }
  HeldPath(const HeldPath&) = delete;
  HeldPath& operator=(const HeldPath&) = delete;

  // Walks `path` to the folder of its last name: 0, or the errno value of the step that failed. A missing last name
  // is no failure (leaf() names it, for a file to be made there).
  int walk(std::string_view path, LastName last, SharedLinks links = SharedLinks::Owners);
  // Walks the absolute `path` as walk(path, last) does, for a folder a program of the user `user` (this process's
  // effective user) must find again as it left it (the save lock's places): only through what no other user can move
  // or replace. Each folder it takes a name in (the root, those on the way, those of a link's text, those ".." leads
  // to) must be root's or the user's and writable by no other user (no group or other write bit), but for a folder
  // with the sticky bit, which others may write where the entry taken in it (a folder, a link, the last name) is the
  // user's or root's (a last name that is missing, or kept: as one the user makes). Else EACCES (refused()); EINVAL
  // for a relative path, whose folders above are never walked. A path that ends at a folder ("d/") holds that folder,
  // whose own looks are the caller's to judge (folderStatus()).
  int walkOwned(std::string_view path, uid_t user, LastName last = LastName::Follow);
  // Walks `path` to the file a save of it writes (see the call flow above) and refuses what no save may write: a
  // path that ends at a folder (EISDIR) and a file another user planted (EACCES). exists() and file() then tell
  // what is under the name.
  int walkToFile(std::string_view path, SharedLinks links = SharedLinks::Owners);
  // Opens the file under the last name in the held folder (OpenJudged below): with Opened::AsWalked only the very
  // file walkToFile saw there is taken, for a write into it.
  int openFile(int flags, Opened which, struct stat& st) const;
  // Walks `path` to the folder it names, making each folder on the way that is missing (mode 0777 before the umask)
  // in the folder the walk holds there, so that no folder is made through a link put on the way after it was judged.
  // 0 with that folder held (a folder another program made meanwhile is entered as found), or the errno value of
  // the step that failed: ENOTDIR where a file stands on the way, EACCES for a planted link (refused()).
  int makeFolders(std::string_view path, SharedLinks links = SharedLinks::Owners);
  void reset();

  // Whether the last walk was refused by the rule above (a planted link or file, too many links), not by the file
  // system.
  bool refused() const { return refused_; }
  int folder() const { return folder_; }  // a descriptor for lookups only (O_PATH)
  const struct stat& folderStatus() const { return folderStatus_; }  // its status as the walk entered it
  // The last name, in folder(); empty when the path ends at a folder ("d/", "d/.", "/").
  const std::string& leaf() const { return leaf_; }
  // The folder's path as walked, links resolved, and the last name (for messages: nothing is opened by it).
  std::string path() const;
  bool exists() const { return exists_; }
  const struct stat& file() const { return file_; }

 private:
  int start(bool atRoot);
  int enter(int fd, const std::string& part, const struct stat* known = nullptr);
  // `owned`: the user each folder the walk takes a name in is judged for (walkOwned); none: no folder is judged.
  int walkParts(std::string_view path, LastName last, SharedLinks links, bool make, std::optional<uid_t> owned);
  int refuse(int e);

  int folder_ = -1;
  struct stat folderStatus_ {};
  std::string text_;
  std::string leaf_;
  bool refused_ = false;
  bool exists_ = false;
  struct stat file_ {};
};

// Whether the entry `entry` describes, in the folder `folder` describes, may have been put there by another user
// (the rule above): the folder is one every user may write and the entry is of neither this user nor its owner.
bool Planted(const struct stat& folder, const struct stat& entry);

// The owner the rule takes an entry to have: its own (st_uid). A test run by a user who cannot give a file away
// (only root can) answers another owner here for the files it treats as another user's. Process-wide; returns the
// check it replaces (an empty one is the entry's own owner).
using OwnerCheck = std::function<uid_t(const struct stat& entry)>;
OwnerCheck SetOwnerCheck(OwnerCheck check);

// Opens `name` in `folder` once, with `flags` and O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC (no link under it followed, no
// FIFO waited on), and judges the descriptor before anything is read from or written through it: a file another
// user planted (the rule above) is refused (EACCES), and, given `walked` (the status a walk judged under the name),
// so is every file but that one (same device and inode: EBUSY, as for a FIFO that a write open finds without a
// reader). The descriptor, its status in `st`, or -1 with errno set. Whether it is a regular file is the caller's.
int OpenJudged(int folder, const char* name, int flags, const struct stat* walked, struct stat& st);

// Whether the name `name` in `folder` holds the file `file` describes (same device and inode; a link under the name
// is not followed): for a save that gives a file it wrote a name by a name, which another user may have exchanged in
// a folder every user may write.
bool Holds(int folder, const char* name, const struct stat& file);

// Removes the name `name` in `folder` where it holds the file open as `own` (same device and inode; the open
// descriptor keeps that inode from naming another file meanwhile), for a save that removes its own new file by its
// name: in a folder every user may write without the sticky bit another user may have exchanged a file of theirs under
// that name, which is not this save's to remove, and put the save's file back under it later. Whether it was removed.
// Where another user could still exchange the name between the look and the removal, they may also remove any name
// there themselves (the folder lets every user do so); under the sticky bit no other user can exchange it at all.
bool RemoveOwn(int folder, const char* name, int own);

// Whether a rename of the file open as `written` to `name` in `folder` left that name to it: the name holds it, or
// another save of this user (or the folder's owner) took the name after it, replacing it (it has no name left). False
// where it still has a name but not this one (the names were exchanged), or where a file another user may have
// planted (Planted) holds the name in its place.
bool TookName(int folder, const char* name, int written);

// The length of `text` cut to at most `most` bytes at the start of a character: a UTF-8 sequence is not split. Bytes
// that continue no sequence (more than three in a row: the text is not UTF-8 there) are cut where they stand.
std::size_t CharacterCut(std::string_view text, std::size_t most);

// Makes a new file in `folder` under a name "<prefix><16 random hex digits><suffix>" that nothing has (made
// exclusively: no link under it is followed), open for reading and writing, with `mode` before the umask. A prefix
// too long for the name to fit a file name's limit (NAME_MAX bytes) is cut to fit between its first and last bytes
// (".<name>." keeps its dots: a temporary file stays hidden), so that a legal name's temporary file can be made. The
// descriptor, or -1 with errno set; `name` is the name made.
int CreateUniqueFile(int folder, std::string_view prefix, std::string_view suffix, mode_t mode, std::string& name);

// Makes the new file a save writes its text into, in `folder`, open for reading and writing with `mode` before the
// umask, without a name until NameNewFile gives it one just before the save's rename (O_TMPFILE): a save refused
// before then leaves nothing another user could exchange for a file of theirs and put back after the refusal looked.
// Where the folder's file system makes no unnamed file, or /proc (through which it is named) is missing, it is made
// and named at once as CreateUniqueFile makes a file. The descriptor, or -1 with errno set; `name` is the name made,
// empty for an unnamed file.
int CreateNewFile(int folder, std::string_view prefix, std::string_view suffix, mode_t mode, std::string& name);
// Gives the file CreateNewFile made, open as `file`, a name "<prefix><16 random hex digits><suffix>" in `folder` where
// it has none yet (`name` empty): linked through its descriptor's entry in /proc/self/fd, under a name nothing has (a
// link replaces nothing). 0, or the errno value (`name` then stays empty).
int NameNewFile(int folder, int file, std::string_view prefix, std::string_view suffix, std::string& name);
// Gives the file CreateNewFile made without a name, open as `file`, the name `name` in `folder` only where that name is
// free (linked through /proc/self/fd; a link replaces nothing, and follows no link under the name): 0, or the errno
// value (EEXIST where the name holds anything, also a link to no file).
int LinkNewFile(int folder, int file, const std::string& name);

}  // namespace safepath
