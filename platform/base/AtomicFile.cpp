#include "platform/base/AtomicFile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "platform/base/FileFaults.h"
#include "safepath/Attributes.h"
#include "safepath/HeldPath.h"

namespace plat {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 16;
constexpr std::size_t kCompareBytes = std::size_t{1} << 16;

// The mode a new file is made with: the umask, or the folder's default ACL, takes from it what the user set, as for
// the files of any program; nothing changes it later.
constexpr mode_t kNewFileMode = 0666;
// The mode of the temporary file that replaces an existing one until it gets that file's looks at the commit: this
// user's alone meanwhile.
constexpr mode_t kReplacingMode = 0600;

// Writes all of `text` to `fd`; the errno value of the failure, 0 when everything was written.
int WriteAll(int fd, std::string_view text, const std::string& target) {
  if (const int fault = FileFault(FileStep::Write, target); fault && !text.empty()) return fault;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// Reserves room for the whole of `text` in the file open as `fd`, whose old length is `oldSize`, without changing
// its length or content; 0 or the errno value of the failure. A file system that reserves no room (EOPNOTSUPP)
// gets the part of the text beyond the old end appended instead (`appended` set), which a failure cuts off again.
int Reserve(int fd, std::string_view text, off_t oldSize, const std::string& target, bool& appended) {
  appended = false;
  int e = FileFault(FileStep::Reserve, target);
  if (!e) {
    while (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(text.size())) != 0) {
      if (errno != EINTR) {
        e = errno;
        break;
      }
    }
  }
  if (e != EOPNOTSUPP && e != ENOSYS) return e;
  if (::lseek(fd, oldSize, SEEK_SET) < 0) return errno;
  appended = true;
  if (const int w = WriteAll(fd, text.substr(static_cast<std::size_t>(oldSize)), target)) {
    (void)::ftruncate(fd, oldSize);
    return w;
  }
  return ::lseek(fd, 0, SEEK_SET) < 0 ? errno : 0;
}

// Whether the file open as `fd` holds `text` and not a byte more.
bool HoldsText(int fd, std::string_view text) {
  std::string chunk(std::min(text.size() + 1, kCompareBytes), '\0');
  for (std::size_t at = 0;;) {
    const ssize_t n = ::pread(fd, chunk.data(), chunk.size(), static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return at == text.size();
    const std::size_t got = static_cast<std::size_t>(n);
    if (got > text.size() - at || text.compare(at, got, chunk.data(), got) != 0) return false;
    at += got;
  }
}

// Makes the held folder's entries durable after a rename in it. The file already holds its new text under its
// name, so a failure here is no failed write: the entry then reaches the disk when the file system writes it.
void FlushFolder(const safepath::HeldPath& held, const std::string& dir) {
  if (FileFault(FileStep::Flush, dir)) return;
  const int fd = ::openat(held.folder(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

// A spool file: unnamed (O_TMPFILE) in the held folder, else made there under a name that is removed at once.
int UnnamedFileIn(const safepath::HeldPath& held) {
  int fd = ::openat(held.folder(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  std::string name;
  fd = safepath::CreateUniqueFile(held.folder(), ".spool.", "", 0600, name);
  if (fd >= 0) safepath::RemoveOwn(held.folder(), name.c_str(), fd);
  return fd;
}

// The first part of the name of a save's temporary file, beside the file in the held folder: hidden, then the
// file's name.
std::string TemporaryPrefix(const safepath::HeldPath& held) { return "." + held.leaf() + "."; }

// "<stem>-<n><ext>" for n > 1, the name itself for 1. A name too long for the number to fit a file name's limit
// gives the stem's last characters for it (the whole name's, where even an empty stem would not fit beside the ext).
std::string NumberedName(const std::string& leaf, int n) {
  if (n == 1) return leaf;
  const std::string number = "-" + std::to_string(n);
  const std::size_t dot = leaf.rfind('.');
  std::size_t cut = dot == std::string::npos || dot == 0 ? leaf.size() : dot;
  if (leaf.size() - cut + number.size() >= NAME_MAX) cut = leaf.size();
  const std::size_t room = NAME_MAX - number.size() - (leaf.size() - cut);
  return leaf.substr(0, safepath::CharacterCut(std::string_view(leaf).substr(0, cut), room)) + number + leaf.substr(cut);
}

// Gives the file `from` of the held folder the name `to` there only where that name is free: no file, folder or link
// under it is replaced or followed. 0 or the errno value (EEXIST for a name taken). `path` names it to the fault seam.
int RenameToFreeName(const safepath::HeldPath& held, const std::string& from, const std::string& to,
                     const std::string& path, const struct stat& written) {
  const int folder = held.folder();
  int e = FileFault(FileStep::TakeFreeName, path);
  if (!e && ::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (!e) e = errno;
  if (e != EINVAL && e != ENOSYS) return e;
  // A file system without that rename: a hard link is made only under a free name, and then the first is removed.
  // The link goes by the first name, which may hold another file by now: a new name that does not hold the file
  // written is this save's own link to that other file, taken back, and the first name is left to what it holds.
  if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0) return errno;
  if (!safepath::Holds(folder, to.c_str(), written)) {
    ::unlinkat(folder, to.c_str(), 0);
    return EBUSY;
  }
  ::unlinkat(folder, from.c_str(), 0);
  return 0;
}

// A write past the process's file-size limit (RLIMIT_FSIZE) would end the process with SIGXFSZ, as the system stops
// programs that never look at a write's result. The platform's writes report every failure, so the signal is
// ignored from the library's load on and the limit met as the write's EFBIG; a handler of the program's own stays.
[[maybe_unused]] const bool kFileSizeSignalIgnored = [] {
  struct sigaction now {};
  if (::sigaction(SIGXFSZ, nullptr, &now) == 0 && now.sa_handler == SIG_DFL) ::signal(SIGXFSZ, SIG_IGN);
  return true;
}();

constexpr int kMaxNumberedNames = 9999;
// Walks of a replace's path while other saves rename their files under the name before it opens the file it found.
constexpr int kMaxWalks = 3;

}  // namespace

MergedFile MergedFile::Of(const struct stat& st, std::string_view text) {
  return {true, st.st_dev, st.st_ino, st.st_size, st.st_ctim, text, nullptr};
}

bool MergedFile::sameAs(const struct stat* st) const {
  if (!st) return !exists;
  return exists && st->st_dev == dev && st->st_ino == ino && st->st_size == size &&
         st->st_ctim.tv_sec == changed.tv_sec && st->st_ctim.tv_nsec == changed.tv_nsec;
}

int PlantedRefusal(const std::string& path) {
  // The save's own walk: it refuses what the save would, and a path that fails on the file system (a folder, a part
  // missing) is left to the save or load to report.
  safepath::HeldPath held;
  const int e = held.walkToFile(path);
  return held.refused() ? e : 0;
}

int MakeFolders(const std::string& path) {
  safepath::HeldPath held;
  return held.makeFolders(path);
}

bool WriteFileAtomically(const std::string& path, std::string_view text, int& err) {
  AtomicFile file;
  if (file.open(path) && file.write(text) && file.commit()) return true;
  err = file.error();
  return false;
}

MergedWrite WriteMergedFile(const std::string& path, std::string_view text, const MergedFile& read,
                            struct stat& written, int& err) {
  AtomicFile file;
  const bool done = file.open(path, AtomicFile::Naming::Replace, &read) && file.write(text) && file.commit();
  if (done) written = file.committed();
  err = done ? 0 : file.error();
  // A file changed since the read, or refused at the last look, under a lock that no longer orders the save: another
  // program of the user's saved meanwhile. A save done so may have written over such a program's.
  if (read.lock && !read.lock->stillOrders()) return done ? MergedWrite::WrittenUnordered : MergedWrite::Unordered;
  if (done) return MergedWrite::Written;
  return file.mergedFileChanged() ? MergedWrite::FileChanged : MergedWrite::Failed;
}

AtomicFile::~AtomicFile() { abandon(); }

bool AtomicFile::fail(int e) {
  error_ = e ? e : EIO;
  abandon();
  return false;
}

bool AtomicFile::failChanged() {
  mergedChanged_ = true;
  return fail(EBUSY);
}

void AtomicFile::abandon() {
  removeTemporary();
  if (fd_ >= 0) ::close(fd_);
  if (kept_ >= 0) ::close(kept_);
  if (old_ >= 0) ::close(old_);
  kept_ = -1;
  fd_ = -1;
  old_ = -1;
  inMemory_ = false;
  buffer_.clear();
  buffer_.shrink_to_fit();
  held_.reset();
}

void AtomicFile::removeTemporary() noexcept {
  // Only while its name holds the file this save wrote, which the descriptor still open on it names: another user
  // may have exchanged the name in a folder every user may write (what is under it then is not this save's), and
  // may have put the save's file back under it since a check of the rename found another there. Asked before the
  // save answers, so that a refused save leaves no temporary file of its own under its name.
  const int own = fd_ >= 0 ? fd_ : kept_;
  if (!temp_.empty() && own >= 0 && seamAllowsRemoval())
    safepath::RemoveOwn(held_.folder(), temp_.c_str(), own);
  temp_.clear();
}

bool AtomicFile::seamAllowsRemoval() const noexcept {
  // The removal runs in the destructor too, also of a save refused for want of memory: the step's path is built
  // only for a test's seam, and a path that cannot be built asks nothing.
  if (!FileFaultHookInstalled()) return true;
  try {
    return FileFault(FileStep::Remove, inFolder(temp_)) == 0;
  } catch (const std::bad_alloc&) {
    return true;
  }
}

std::string AtomicFile::inFolder(const std::string& leaf) const {
  return dir_ + (dir_ == "/" ? "" : "/") + leaf;
}

void AtomicFile::spoolBeside() {
  finish_ = Finish::InPlace;
  if (FileFault(FileStep::CreateIn, dir_) == 0) fd_ = UnnamedFileIn(held_);
  inMemory_ = fd_ < 0;
}

bool AtomicFile::makeTemporary(mode_t mode) {
  // Without a name until just before its rename (nameTemporary), where the file system makes such files.
  std::string name;
  fd_ = safepath::CreateNewFile(held_.folder(), TemporaryPrefix(held_), "", mode, name);
  if (fd_ < 0) return false;
  temp_ = std::move(name);
  // Its own write lock (safepath/SaveLock.h), taken before any other program can open it and held until the save is
  // done with it: a save of another program that finds it under the name after the rename waits until this save took
  // its status, so that the status the save answers is that of its own text. A file system that keeps no locks holds
  // none.
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  (void)::fcntl(fd_, F_OFD_SETLK, &whole);
  return true;
}

bool AtomicFile::nameTemporary() {
  const int e = safepath::NameNewFile(held_.folder(), kept_, TemporaryPrefix(held_), "", temp_);
  return e == 0 || fail(e);
}

bool AtomicFile::open(const std::string& path, Naming naming, const MergedFile* merged) {
  return openWalking(path, naming, merged, kMaxWalks);
}

bool AtomicFile::openWalking(std::string path, Naming naming, const MergedFile* merged, int walksLeft) {
  abandon();
  error_ = 0;
  written_ = 0;
  target_ = path;
  committed_ = {};
  mergedChanged_ = false;
  merged_ = merged && naming == Naming::Replace;
  mergedWith_ = merged ? *merged : MergedFile{};
  if (naming == Naming::Fresh) {
    // Nothing under the name is looked at now: the name is taken at the commit, only where it is free. The links
    // on the way to its folder are followed as for a replace.
    finish_ = Finish::Fresh;
    if (const int e = held_.walk(path, safepath::LastName::Keep)) return fail(e);
    if (held_.leaf().empty()) return fail(EISDIR);
    setFolderText();
    if (const int e = FileFault(FileStep::CreateIn, dir_)) return fail(e);
    return makeTemporary(kNewFileMode) || fail(errno);
  }

  // Behind links, the file they lead to; the name as given for a file still to be made. The walk refuses a folder
  // and what another user planted in a folder every user may write (a link on the way or under the name, the file
  // itself: such a file is neither written nor replaced, as the kernel's guard of sticky such folders would refuse
  // to write it). Every later step works in the folder it holds.
  if (const int e = held_.walkToFile(path)) return fail(e);
  const bool exists = held_.exists();
  const struct stat old = held_.file();
  // A merged text is for the file it was merged with, as it was read: another under the name (or one where there was
  // none), or that file changed since, would lose its own text to it.
  if (merged_ && !stillAsRead(exists ? &old : nullptr)) return failChanged();
  // A link to no file under the name is replaced by the file, as by any save: that very link, at the rename.
  replacedLink_ = {};
  if (merged_ && !exists &&
      (::fstatat(held_.folder(), held_.leaf().c_str(), &replacedLink_, AT_SYMLINK_NOFOLLOW) != 0 ||
       !S_ISLNK(replacedLink_.st_mode)))
    replacedLink_ = {};
  if (exists) target_ = held_.path();
  setFolderText();
  if (exists) {
    // Its owner may not write it (the mark holds for root too), or this process may not: never replaced.
    if (!(old.st_mode & S_IWUSR) || ::faccessat(held_.folder(), held_.leaf().c_str(), W_OK, 0) != 0)
      return fail(EACCES);
    if (const int fault = FileFault(FileStep::Modify, target_)) return fail(fault);
  }

  // A file with further hard links is written where it is: a replace would leave the other names the old text.
  finish_ = Finish::Rename;
  const bool inPlace = exists && S_ISREG(old.st_mode);
  if (inPlace && old.st_nlink > 1) {
    spoolBeside();
    return true;
  }

  // A file replaced gets its looks at the commit (giveLooks), and until then its text is this user's alone. A new file
  // keeps the mode and ACL its making gives it.
  int tempError = FileFault(FileStep::CreateIn, dir_);
  if (!tempError && !makeTemporary(exists ? kReplacingMode : kNewFileMode)) tempError = errno;
  if (fd_ < 0) {
    // No temporary file beside it: a writable file is written where it is; a new one cannot be made either.
    if (!inPlace) return fail(tempError);
    finish_ = Finish::InPlace;
    inMemory_ = true;
    return true;
  }
  if (!inPlace || oldFile() >= 0) return true;
  // A file this process may not read: nor may it read its "user." attributes, which the file keeps where it is.
  if (errno == EACCES) return writeInPlaceInstead();
  // The name holds another file, or none, since the walk: the file read for a merged text is gone; any other save
  // walks again, to replace what the name holds now (another save of this user's may have renamed its file there).
  const bool moved = errno == EBUSY || errno == ENOENT;
  if (moved && merged_) return failChanged();
  if (moved && walksLeft > 1) return openWalking(std::move(path), naming, merged, walksLeft - 1);
  return fail(errno);
}

int AtomicFile::oldFile() {
  // Only the very file the walk found: another under the name by now is refused (EBUSY).
  struct stat st {};
  if (old_ < 0) old_ = held_.openFile(O_RDONLY, safepath::Opened::AsWalked, st);
  return old_;
}

bool AtomicFile::writeInPlaceInstead() {
  removeTemporary();  // a name it may have; its descriptor stays, as the spool
  finish_ = Finish::InPlace;
  return true;
}

bool AtomicFile::giveLooks() {
  // A regular file's looks as they are now, through its descriptor: a chmod or setfacl since the open is kept.
  struct stat now = held_.file();
  const bool regular = old_ >= 0;
  if (regular && ::fstat(old_, &now) != 0) return fail(errno);
  if (merged_ && regular && !stillAsRead(&now)) return failChanged();
  looks_ = now;
  // A hard link made since the open: the other name would keep the old text.
  if (regular && now.st_nlink > 1) return writeInPlaceInstead();
  // The owner and group first (a change of owner clears the set-user and set-group bits), then the mode, then the
  // attributes (the access ACL's mask is the group bits: a mode set after it would override the mask). Where this
  // process may not give the temporary file the owner or an attribute, the file is written where it is instead,
  // rather than taken over: the temporary file turns into its spool.
  struct stat made {};
  if (::fstat(fd_, &made) != 0) return fail(errno);
  if (made.st_uid != now.st_uid || made.st_gid != now.st_gid) {
    int e = FileFault(FileStep::Own, target_);
    if (!e && ::fchown(fd_, now.st_uid, now.st_gid) != 0) e = errno;
    if (e == EPERM && regular) return writeInPlaceInstead();
    if (e) return fail(e);
  }
  if (::fchmod(fd_, now.st_mode & 07777) != 0) return fail(errno);
  if (!regular) return true;
  int e = FileFault(FileStep::Attributes, target_);
  if (!e) e = safepath::CopyAttributes(old_, fd_);
  return e == 0 || writeInPlaceInstead();
}

bool AtomicFile::stillAsRead(const struct stat* now) {
  if (mergedWith_.sameAs(now)) return true;
  // Its status alone changed since the read (a chmod, a new hard link, a touch): still the file read where it holds
  // the text read, byte for byte, and held it all the while it was compared.
  const MergedFile& read = mergedWith_;
  if (!now || !read.exists || !S_ISREG(now->st_mode) || now->st_dev != read.dev || now->st_ino != read.ino ||
      now->st_size != read.size || read.text.size() != static_cast<std::size_t>(read.size))
    return false;
  struct stat after {};
  const int fd = oldFile();
  if (fd < 0 || !HoldsText(fd, read.text) || ::fstat(fd, &after) != 0 || after.st_ino != now->st_ino ||
      after.st_size != now->st_size || after.st_ctim.tv_sec != now->st_ctim.tv_sec ||
      after.st_ctim.tv_nsec != now->st_ctim.tv_nsec)
    return false;
  mergedWith_.changed = now->st_ctim;
  return true;
}

void AtomicFile::setFolderText() {
  const std::size_t slash = target_.rfind('/');
  dir_ = slash == std::string::npos ? "." : target_.substr(0, slash == 0 ? 1 : slash);
}

bool AtomicFile::write(std::string_view bytes) {
  if (!isOpen()) {
    if (!error_) error_ = EBADF;
    return false;
  }
  if (inMemory_) {
    try {
      buffer_.append(bytes);
    } catch (const std::bad_alloc&) {
      return fail(ENOMEM);
    }
    return true;
  }
  if (buffer_.size() + bytes.size() < kBufferBytes) {
    if (buffer_.capacity() < kBufferBytes) buffer_.reserve(kBufferBytes);
    buffer_.append(bytes);
    return true;
  }
  if (!flush()) return false;
  if (bytes.size() < kBufferBytes) {
    buffer_.append(bytes);
    return true;
  }
  if (const int e = WriteAll(fd_, bytes, target_)) return fail(e);
  written_ += static_cast<off_t>(bytes.size());
  return true;
}

bool AtomicFile::flush() {
  if (!isOpen()) {
    if (!error_) error_ = EBADF;
    return false;
  }
  if (inMemory_ || buffer_.empty()) return true;  // a text spooled in memory stays there until the commit
  if (const int e = WriteAll(fd_, buffer_, target_)) return fail(e);
  written_ += static_cast<off_t>(buffer_.size());
  buffer_.clear();
  return true;
}

bool AtomicFile::commit() {
  if (!isOpen()) {
    if (!error_) error_ = EBADF;
    return false;
  }
  if (!flush()) return false;
  if (!inMemory_) buffer_.shrink_to_fit();
  switch (finish_) {
    case Finish::Rename: return commitRename();
    case Finish::InPlace: return commitInPlace();
    case Finish::Fresh: return commitFresh();
  }
  return fail(EINVAL);
}

bool AtomicFile::flushAndClose() {
  // The text is on the disk before the name is given to it, so that no power loss leaves the name on an empty
  // file where the file system does not order the two.
  int e = FileFault(FileStep::Flush, target_);
  if (!e && ::fsync(fd_) != 0) e = errno;
  // Its identity, by which the rename's names are checked.
  if (!e && ::fstat(fd_, &committed_) != 0) e = errno;
  if (e) return fail(e);
  // The file written stays open for the look after the rename (TookName), and names the temporary file's own inode
  // to the removal of a refused save's temporary file. Not inherited by a program another thread starts meanwhile.
  kept_ = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
  if (kept_ < 0) return fail(errno);
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0 || fail(errno);
}

bool AtomicFile::failInPlace(int e) {
  // The write in place refuses a name that holds another file than the one the walk found (EBUSY): for a merged
  // text, the file it was merged with is no longer there.
  return merged_ && e == EBUSY ? failChanged() : fail(e);
}

bool AtomicFile::lockOrders() const { return !mergedWith_.lock || mergedWith_.lock->stillOrders(); }

bool AtomicFile::nameHoldsMerged() {
  struct stat now {};
  if (::fstatat(held_.folder(), held_.leaf().c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0)
    return mergedWith_.sameAs(nullptr);
  // A link only where it is the very link to no file the save began on, which the file is to replace.
  if (S_ISLNK(now.st_mode))
    return S_ISLNK(replacedLink_.st_mode) && now.st_dev == replacedLink_.st_dev && now.st_ino == replacedLink_.st_ino;
  if (mergedWith_.sameAs(&now)) return true;
  // Only its times moved since the new file was given its looks (a touch, or touch -a): still the file read where its
  // bytes are the text read. A change of what the new file took from it (its mode, owner, links: a change of its
  // attributes moves no time but the change time) refuses the save.
  const bool touched = (now.st_atim.tv_sec != looks_.st_atim.tv_sec || now.st_atim.tv_nsec != looks_.st_atim.tv_nsec ||
                        now.st_mtim.tv_sec != looks_.st_mtim.tv_sec || now.st_mtim.tv_nsec != looks_.st_mtim.tv_nsec);
  return old_ >= 0 && touched && now.st_mode == looks_.st_mode && now.st_uid == looks_.st_uid &&
         now.st_gid == looks_.st_gid && now.st_nlink == looks_.st_nlink && stillAsRead(&now);
}

bool AtomicFile::commitRename() {
  // A text merged with no file takes the name only while it is free: a file another program made there since the
  // look is not replaced (its caller reads that file and saves again). A new file without a name is linked under the
  // name itself, which fails where the name holds anything.
  const bool firstSave = merged_ && !mergedWith_.exists && !S_ISLNK(replacedLink_.st_mode);
  if (held_.exists() && !giveLooks()) return false;
  if (finish_ == Finish::InPlace) return commitInPlace();
  if (!flushAndClose()) return false;
  if (firstSave && temp_.empty()) return linkFirstSave();
  if (!nameTemporary()) return false;
  int e = FileFault(FileStep::Replace, target_);
  const int folder = held_.folder();
  // The temporary file's name may hold another file by now: it is not renamed, nor removed (not this save's).
  if (!e && !safepath::Holds(folder, temp_.c_str(), committed_)) e = EBUSY;
  if (!e && merged_ && (!nameHoldsMerged() || !lockOrders())) return failChanged();
  if (!e && firstSave) {
    e = RenameToFreeName(held_, temp_, held_.leaf(), target_, committed_);
    if (e == EEXIST) return failChanged();
  } else if (!e && ::renameat(folder, temp_.c_str(), folder, held_.leaf().c_str()) != 0) {
    e = errno;
  }
  if (e) return fail(e);
  return tookName(held_.leaf());
}

bool AtomicFile::linkFirstSave() {
  int e = FileFault(FileStep::Replace, target_);
  if (!e) e = safepath::LinkNewFile(held_.folder(), kept_, held_.leaf());
  if (e == EEXIST) return failChanged();
  if (e) return fail(e);
  return tookName(held_.leaf());
}

bool AtomicFile::tookName(const std::string& leaf) {
  temp_.clear();
  FlushFolder(held_, dir_);
  // Success only where the name was left to the file written (see the header): the names may have been exchanged
  // between the check and the rename.
  if (!safepath::TookName(held_.folder(), leaf.c_str(), kept_)) return fail(EBUSY);
  // Its status under the name: its link under the temporary name and the rename moved its change time.
  (void)::fstat(kept_, &committed_);
  abandon();
  return true;
}

bool AtomicFile::commitFresh() {
  if (!flushAndClose() || !nameTemporary()) return false;
  for (int n = 1; n <= kMaxNumberedNames; ++n) {
    const std::string leaf = NumberedName(held_.leaf(), n);
    const std::string name = inFolder(leaf);
    int e = FileFault(FileStep::Replace, name);
    if (!e && !safepath::Holds(held_.folder(), temp_.c_str(), committed_)) e = EBUSY;
    if (!e) e = RenameToFreeName(held_, temp_, leaf, name, committed_);
    if (e == EEXIST) continue;
    if (e) return fail(e);
    target_ = name;
    return tookName(leaf);
  }
  return fail(EEXIST);
}

bool AtomicFile::commitInPlace() {
  int e = 0;
  if (inMemory_) {
    if (!writeInPlace(buffer_, e)) return failInPlace(e);
    abandon();
    return true;
  }
  const int spool = fd_;
  fd_ = -1;
  const std::size_t size = static_cast<std::size_t>(written_);
  void* text = size ? ::mmap(nullptr, size, PROT_READ, MAP_SHARED, spool, 0) : nullptr;
  if (text == MAP_FAILED) {
    e = errno;
    ::close(spool);
    return fail(e);
  }
  writeInPlace(std::string_view(static_cast<const char*>(text), size), e);
  if (text) ::munmap(text, size);
  ::close(spool);
  if (e) return failInPlace(e);
  abandon();
  return true;
}

// Writes the file where it is, for a folder where no temporary file can be made (and the other cases the header
// lists). The old text is never given up before the new one is known to fit: room for the new length is reserved first
// (a full disk fails there with nothing changed), the new text goes over the old bytes, the file is cut to the new
// length only after that, and it is flushed to the disk before the write is reported done. The old length is the
// file's own at this write (a streamed text is written long after the file was first looked at, and another writer may
// have changed it since).
bool AtomicFile::writeInPlace(std::string_view text, int& err) {
  // Only the file the walk judged is written: a link put under the name since is not followed (ELOOP), another
  // user's file exchanged for it is refused (EACCES), and so is any other file (EBUSY), a FIFO at once; a text merged
  // with the file is written only over the file as it was read (EBUSY for one changed in place since).
  struct stat st {};
  const int fd = held_.openFile(O_WRONLY, safepath::Opened::AsWalked, st);
  if (fd < 0 || (merged_ && !stillAsRead(&st))) {
    err = fd < 0 ? errno : EBUSY;
    if (fd >= 0) ::close(fd);
    return false;
  }
  const off_t oldSize = st.st_size, newSize = static_cast<off_t>(text.size());
  bool appended = false;
  int e = newSize > oldSize ? Reserve(fd, text, oldSize, target_, appended) : 0;
  // The last look before the text goes over the old: a text appended where no room could be reserved is cut off.
  if (!e && merged_ && !lockOrders()) {
    e = EBUSY;
    if (appended) (void)::ftruncate(fd, oldSize);
  }
  if (!e) e = WriteAll(fd, text, target_);
  if (!e && newSize < oldSize && ::ftruncate(fd, newSize) != 0) e = errno;
  // The status of the text as written, at once: a write of another program's after it must not pass for this one.
  if (!e && ::fstat(fd, &committed_) != 0) e = errno;
  if (!e) e = FileFault(FileStep::Flush, target_);
  if (!e && ::fsync(fd) != 0) e = errno;
  // Done only where the name still holds the file written: another program's save by rename may have given the name
  // another file during the write, and the text is then under the file's other names alone (EBUSY).
  if (!e && !safepath::Holds(held_.folder(), held_.leaf().c_str(), committed_)) e = EBUSY;
  if (::close(fd) != 0 && !e) e = errno;
  err = e;
  return e == 0;
}

}  // namespace plat
