// IniStore: reads and writes INI files for the private-profile functions.
//
// Reads go through a cache of parsed files, checked against the file's identity, size and modification
// time on every call, so a file changed by anyone else is read again. Outside a batch every edit is
// written through at once and replaces the file atomically: the new text goes to a temporary file in the
// same directory, which then takes the file's name. A crash therefore never leaves a half-written file,
// and what a call wrote is in the file when it returns. A failed write leaves the old file as it was and
// is reported. The temporary file is flushed to the disk before the rename and the folder after it, so that a
// power cut just after a write leaves the old or the new text (AtomicFile.h).
//
// An edit merges into the file its save walks to: the file is read in the folder that walk holds and judged as a
// save judges it (in a folder every user may write, another user's file, or their link there, is refused with
// ERROR_ACCESS_DENIED: their keys would become this user's), and the write goes only where the name still holds the
// very file read, as it was read, or still none where none was (ERROR_FILE_CHANGED_SINCE_READ otherwise, and nothing
// is written): a file exchanged under the name, or written in place, between the read and the write keeps its text,
// and so does the file read. Edits of one file run one at a time across processes and threads: each holds the file's
// save lock (safepath/SaveLock.h) from before its read to its write, a batch from its first read to its end's write;
// one that cannot have it within the wait fails with ERROR_FILE_BEING_SAVED and writes nothing, and one that cannot
// have it at all (ERROR_NO_SAVE_LOCK: no folder of the user's own takes it, and readers hold the file's own,
// SaveLock.h) writes nothing either. An edit whose lock no longer ordered it (its lock file removed or replaced while
// held) reads the file again and saves again under the lock taken anew; a batch writes its text again only over the
// file as it left it (ERROR_FILE_CHANGED_SINCE_READ where another program saved over it, and the file may then hold
// the batch's edits or not); past four tries ERROR_SAVE_LOCK_LOST. The lock is waited for with no lock of this
// process held, so reads and edits of
// other files go on meanwhile. Where the name holds no file yet no file is locked: the first save's file takes the name only while it is free, and an edit that finds a file
// made there meanwhile reads that file and saves again (a batch, whose edits are made, fails with
// ERROR_FILE_CHANGED_SINCE_READ and writes nothing). Plain reads take the file as named, whoever owns it. An edit or
// batch whose file would be larger than a read takes
// (kMaxFileBytes) is refused whole with ERROR_FILE_TOO_LARGE, and the file keeps every byte.
//
// Batches (one per file, process-wide): from the first BeginBatch to the matching last EndBatch, edits of
// the file change its document in memory and reads see them; the outermost end writes the file once, in
// one atomic replace. A batch in which anything failed (the file could not be read, an edit's step failed,
// an abandoned inner batch) writes nothing at its end and reports the first failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/base/IniFile.h"
#include "platform/base/wintypes.h"

namespace plat {

class IniStore {
 public:
  // Only regular files are read, and only up to this size: a device or FIFO fails with ERROR_ACCESS_DENIED, a
  // larger file with ERROR_FILE_TOO_LARGE, and nothing of either is read. No write makes a file larger.
  static constexpr std::uint64_t kMaxFileBytes = 16u << 20;

  // Calls `read` with the parsed file (an empty one when the file does not exist; `exists` tells).
  // FALSE with the last error set when the file exists but cannot be read.
  static bool Read(const char* path, const std::function<void(const IniFile& ini, bool exists)>& read);
  // Applies `edit` (which returns whether it changed anything) and writes the result through, or keeps
  // it in the file's open batch. TRUE when nothing changed or the write succeeded; FALSE with the last
  // error otherwise.
  static bool Edit(const char* path, const std::function<bool(IniFile& ini)>& edit);

  // Opens (or nests into) the file's batch; returns the key that ends it (empty for a null or empty
  // path, which no batch covers).
  static std::string BeginBatch(const char* path);
  enum class BatchEnd { Commit, Abandon };
  // Ends one level of the batch. An inner end returns whether the batch is still whole; the outermost
  // one writes the file when anything changed and returns whether the file now holds every edit
  // (FALSE with the last error set otherwise; the file is then as before the batch). Abandon makes the
  // whole batch fail.
  static bool EndBatch(const std::string& key, BatchEnd how);
  // Makes the file's open batch, if any, fail with `error` (unless it failed before), so that it writes nothing
  // at its end; a caller that found a failure of its own (a value it could not write) ends its batch so. Sets the
  // last error to `error`.
  static void Refuse(const char* path, DWORD error);

  // Test seam: called before each edit and before each write of a batch's file; a non-zero errno value
  // makes that step fail with it, as a failing disk would. Returns the previous hook.
  static std::function<int()> SetFaultHook(std::function<int()> hook);
  static void ClearCache();
};

}  // namespace plat
