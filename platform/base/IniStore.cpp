#include "platform/base/IniStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

#include "platform/base/AtomicFile.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"
#include "safepath/HeldPath.h"
#include "safepath/SaveLock.h"

namespace plat {
namespace {

struct Cached {
  IniFile ini;
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};
  std::string text;  // the bytes read or written: a file whose status alone changed since is still this one with them
};

struct Batch {
  int depth = 0;
  Cached doc;         // the file's document with the batch's edits
  safepath::SaveLock lock;  // held from the read to the write: other saves of the file wait
  bool dirty = false;
  DWORD error = 0;    // the first failure: the batch writes nothing
};

struct Cache {
  std::mutex mutex;
  std::map<std::string, Cached> files;
  std::map<std::string, Batch> batches;  // by absolute path
  std::function<int()> faultHook;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// Relative names resolve against the current directory at the time of the call.
std::string AbsolutePath(const char* path) {
  std::string p = NativePath(path);
  if (!p.empty() && p[0] == '/') return p;
  char cwd[PATH_MAX];
  if (!::getcwd(cwd, sizeof cwd)) return p;
  return std::string(cwd) + "/" + p;
}

bool Same(const Cached& c, const struct stat& st) {
  return c.exists && c.dev == st.st_dev && c.ino == st.st_ino && c.size == st.st_size &&
         c.mtime.tv_sec == st.st_mtim.tv_sec && c.mtime.tv_nsec == st.st_mtim.tv_nsec &&
         c.ctime.tv_sec == st.st_ctim.tv_sec && c.ctime.tv_nsec == st.st_ctim.tv_nsec;
}

void Remember(Cached& c, const struct stat& st) {
  c.exists = true;
  c.dev = st.st_dev;
  c.ino = st.st_ino;
  c.size = st.st_size;
  c.mtime = st.st_mtim;
  c.ctime = st.st_ctim;
}

// The cache entry for the file as it is now; null (and the last error set) when it cannot be read.
Cached* Load(Cache& cache, const std::string& path) {
  // A handful of settings files is normal; a process walking many files does not keep them all.
  if (cache.files.size() > 64 && !cache.files.count(path)) cache.files.clear();
  struct stat st {};
  Cached& c = cache.files[path];
  if (::stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) {
      SetLastErrorFromErrno(errno);
      cache.files.erase(path);
      return nullptr;
    }
    c = Cached{};
    return &c;
  }
  if (S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_DIRECTORY_NOT_SUPPORTED);
    cache.files.erase(path);
    return nullptr;
  }
  if (Same(c, st)) return &c;
  std::string text;
  // The text is remembered with the state of the file it was read from, which may be another than the one looked at.
  struct stat opened {};
  const FileReadResult read = ReadRegularFile(path, IniStore::kMaxFileBytes, text, &opened);
  if (!read) {
    // Why, as every reader says it: a FIFO, device or socket is no regular file, a file too large to be a settings
    // file is too large, one cut, grown or written over while read changed, one of /proc or /sys has no size to
    // know before it is read.
    SetLastError(FileReadError(read));
    cache.files.erase(path);
    return nullptr;
  }
  c.ini = IniFile::Parse(text);
  c.text = std::move(text);
  Remember(c, opened);
  return &c;
}

// The file an edit merges into, walked as its save walks and judges the name (safepath::HeldPath), with the file's
// save lock: other saves of the file wait until the edit's write is done. Taken with no lock of this process held, so
// that the wait for another program's save holds no other work of the program off.
struct Claim {
  safepath::HeldPath held;
  int walked = 0;
  safepath::SaveLock lock;
};

// The most times the lock is taken again because the name holds another file than it was taken for (a file made where
// there was none), and the most saves of an edit whose first save found a file made meanwhile, or whose lock no longer
// ordered it (ERROR_SAVE_LOCK_LOST): a name that keeps changing is then left to the looks of the read and the save,
// and the edit to its caller.
constexpr int kMostTries = 4;

// Walks to the file and takes its lock (false: ERROR_FILE_BEING_SAVED where another save holds it past the wait,
// ERROR_NO_SAVE_LOCK where no lock can be had).
bool ClaimFile(const std::string& path, Claim& claim) {
  claim.walked = claim.held.walkToFile(path);
  for (int take = 0; !claim.walked && take < kMostTries; ++take) {
    if (const int e = claim.lock.take(claim.held)) {
      SetLastError(SaveLockError(e));
      return false;
    }
    claim.walked = claim.held.walkToFile(path);  // what the name holds now that no other save of it runs
    if (claim.walked || claim.lock.covers(claim.held.exists() ? &claim.held.file() : nullptr)) break;
  }
  return true;
}

// The file an edit merges into, read in the folder its claim walked into `doc`: the text with the identity of the file
// read, for the save to write only where the name still holds that file as it was read. The file read must be the one
// the claim locked (ERROR_FILE_CHANGED_SINCE_READ otherwise: a program that takes no lock put another under the name).
// In a folder every user may write, another user's file (or their link on the way) is refused (ERROR_ACCESS_DENIED),
// as a save would refuse to write it: its keys would be merged into this user's settings. A cached text of that very
// file as it is now serves without a read. False with the last error set when the file cannot be read.
bool LoadForEdit(Cache& cache, const std::string& path, Cached& doc, const Claim& claim) {
  const safepath::HeldPath& held = claim.held;
  const int walked = claim.walked;
  if (walked == EISDIR) {
    SetLastError(ERROR_DIRECTORY_NOT_SUPPORTED);
    return false;
  }
  // A missing folder on the way is no file to merge, as before: the save reports why it cannot be made.
  if (walked && (held.refused() || (walked != ENOENT && walked != ENOTDIR))) {
    SetLastErrorFromErrno(walked);
    return false;
  }
  doc = Cached{};
  if (walked || !held.exists()) return true;
  if (const auto it = cache.files.find(path);
      it != cache.files.end() && Same(it->second, held.file()) && claim.lock.covers(&held.file())) {
    doc = std::move(it->second);
    cache.files.erase(it);
    return true;
  }
  cache.files.erase(path);
  std::string text;
  struct stat opened {};
  const FileReadResult read =
      ReadRegularFileIn(held.folder(), held.leaf(), path, IniStore::kMaxFileBytes, text, &opened);
  if (!read) {
    SetLastError(FileReadError(read));
    return false;
  }
  if (!claim.lock.covers(&opened)) {
    SetLastError(ERROR_FILE_CHANGED_SINCE_READ);
    return false;
  }
  doc.ini = IniFile::Parse(text);
  doc.text = std::move(text);
  Remember(doc, opened);
  return true;
}

// The errno value the fault hook injects into the next step, 0 when none.
int InjectedFault(Cache& cache) { return cache.faultHook ? cache.faultHook() : 0; }

// The file's open batch, or null.
Batch* OpenBatch(Cache& cache, const std::string& path) {
  const auto it = cache.batches.find(path);
  return it == cache.batches.end() ? nullptr : &it->second;
}

// Writes the file through under the save lock `lock`, only over the file its text was merged with
// (ERROR_FILE_CHANGED_SINCE_READ where the name holds another by now); the cache keeps the text as the file written.
// Where the lock no longer ordered the save, ERROR_SAVE_LOCK_LOST: the caller saves again under the lock taken anew,
// and `doc` is the file as this save left it (the text written, where it was). A text larger than a read takes is
// refused whole before anything is written (ERROR_FILE_TOO_LARGE), so that no save leaves a file its own reader
// refuses: a file read whole within the limit may pass it with the keys merged in, or with its LF line ends written as
// CR LF.
bool WriteThrough(Cache& cache, const std::string& path, Cached& doc, const safepath::SaveLock& lock) {
  std::string text = doc.ini.Serialize();
  if (text.size() > IniStore::kMaxFileBytes) {
    SetLastError(ERROR_FILE_TOO_LARGE);
    return false;
  }
  int err = 0;
  struct stat written {};
  const MergedFile read{doc.exists, doc.dev, doc.ino, doc.size, doc.ctime, doc.text, &lock};
  switch (WriteMergedFile(path, text, read, written, err)) {
    case MergedWrite::Written: break;
    case MergedWrite::FileChanged: SetLastError(ERROR_FILE_CHANGED_SINCE_READ); return false;
    case MergedWrite::Failed: SetLastErrorFromErrno(err); return false;
    case MergedWrite::Unordered: SetLastError(ERROR_SAVE_LOCK_LOST); return false;
    case MergedWrite::WrittenUnordered:
      Remember(doc, written);
      doc.text = std::move(text);
      SetLastError(ERROR_SAVE_LOCK_LOST);
      return false;
  }
  Remember(doc, written);
  doc.text = std::move(text);
  cache.files[path] = std::move(doc);
  return true;
}

}  // namespace

bool IniStore::Read(const char* path, const std::function<void(const IniFile&, bool)>& read) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  auto& cache = TheCache();
  std::lock_guard lock(cache.mutex);
  const std::string abs = AbsolutePath(path);
  if (Batch* batch = OpenBatch(cache, abs); batch && !batch->error) {
    read(batch->doc.ini, batch->doc.exists || batch->dirty);
    return true;
  }
  Cached* c = Load(cache, abs);
  if (!c) return false;
  read(c->ini, c->exists);
  if (!c->exists) SetLastError(ERROR_FILE_NOT_FOUND);
  return true;
}

bool IniStore::Edit(const char* path, const std::function<bool(IniFile&)>& edit) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  auto& cache = TheCache();
  const std::string abs = AbsolutePath(path);
  {
    std::lock_guard lock(cache.mutex);
    Batch* batch = OpenBatch(cache, abs);
    if (batch && batch->error) {
      SetLastError(batch->error);
      return false;
    }
    if (const int fault = InjectedFault(cache)) {
      const DWORD error = SetLastErrorFromErrno(fault);
      if (batch) batch->error = error;
      return false;
    }
    if (batch) {
      if (edit(batch->doc.ini)) batch->dirty = true;
      return true;
    }
  }
  // A first save that finds the file another save made meanwhile reads that file, under its lock, and saves again; so
  // does a save whose lock no longer ordered it, under the lock taken anew.
  for (int save = 0;; ++save) {
    Claim claim;  // held until the write below is done
    if (!ClaimFile(abs, claim)) return false;
    std::lock_guard lock(cache.mutex);
    if (Batch* batch = OpenBatch(cache, abs)) {
      // Begun while the lock was taken: the edit joins it.
      if (batch->error) {
        SetLastError(batch->error);
        return false;
      }
      if (edit(batch->doc.ini)) batch->dirty = true;
      return true;
    }
    // The cached text would hold an edit that may not reach the file: it leaves the cache, and comes back only as
    // the file's text.
    Cached doc;
    if (!LoadForEdit(cache, abs, doc, claim)) return false;
    if (!edit(doc.ini)) {
      if (doc.exists) cache.files[abs] = std::move(doc);
      return true;
    }
    const bool first = !doc.exists;
    if (WriteThrough(cache, abs, doc, claim.lock)) return true;
    const DWORD error = GetLastError();
    if ((error != ERROR_SAVE_LOCK_LOST && (!first || error != ERROR_FILE_CHANGED_SINCE_READ)) ||
        save + 1 >= kMostTries)
      return false;
  }
}

std::string IniStore::BeginBatch(const char* path) {
  if (!path || !*path) return {};
  auto& cache = TheCache();
  std::string abs = AbsolutePath(path);
  {
    std::lock_guard lock(cache.mutex);
    if (Batch* batch = OpenBatch(cache, abs)) {
      ++batch->depth;
      return abs;
    }
  }
  Claim claim;
  const DWORD refused = ClaimFile(abs, claim) ? 0 : GetLastError();
  std::lock_guard lock(cache.mutex);
  Batch& batch = cache.batches[abs];
  if (batch.depth++ > 0) return abs;  // begun by another thread while the lock was taken
  if (refused)
    batch.error = refused;
  else if (!LoadForEdit(cache, abs, batch.doc, claim))
    batch.error = GetLastError();
  batch.lock = std::move(claim.lock);
  return abs;
}

bool IniStore::EndBatch(const std::string& key, BatchEnd how) {
  auto& cache = TheCache();
  std::unique_lock lock(cache.mutex);
  const auto it = cache.batches.find(key);
  if (it == cache.batches.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  Batch& batch = it->second;
  if (how == BatchEnd::Abandon && !batch.error) batch.error = ERROR_OPERATION_ABORTED;
  if (--batch.depth > 0) {
    if (batch.error) SetLastError(batch.error);
    return !batch.error;
  }
  Batch ended = std::move(batch);
  cache.batches.erase(it);
  if (ended.error) {
    SetLastError(ended.error);
    return false;
  }
  if (!ended.dirty) {
    // Still the file's text unless someone changed the file meanwhile, which the next read notices.
    if (ended.doc.exists) cache.files[key] = std::move(ended.doc);
    return true;
  }
  if (const int fault = InjectedFault(cache)) {
    SetLastErrorFromErrno(fault);
    return false;
  }
  // A save whose lock no longer ordered it is made again under the lock taken anew (without this process's locks
  // held): its edits, made on the text read, are written only over the file as the save left it, and where another
  // program saved over that meanwhile the batch fails (ERROR_FILE_CHANGED_SINCE_READ).
  for (int save = 1; !WriteThrough(cache, key, ended.doc, ended.lock); ++save) {
    if (GetLastError() != ERROR_SAVE_LOCK_LOST || save >= kMostTries) return false;
    ended.lock.release();
    lock.unlock();
    Claim claim;
    const bool claimed = ClaimFile(key, claim);
    lock.lock();
    if (!claimed) return false;
    ended.lock = std::move(claim.lock);
  }
  return true;
}

void IniStore::Refuse(const char* path, DWORD error) {
  if (path && *path) {
    auto& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    if (Batch* batch = OpenBatch(cache, AbsolutePath(path)); batch && !batch->error) batch->error = error;
  }
  SetLastError(error);
}

std::function<int()> IniStore::SetFaultHook(std::function<int()> hook) {
  auto& cache = TheCache();
  std::lock_guard lock(cache.mutex);
  return std::exchange(cache.faultHook, std::move(hook));
}

void IniStore::ClearCache() {
  auto& cache = TheCache();
  std::lock_guard lock(cache.mutex);
  cache.files.clear();
}

}  // namespace plat
