// ProfileBatch: a scope in which the private-profile writes to one file are made together.
//
// Inside the scope, WritePrivateProfileString and WritePrivateProfileSection change the file's document in
// memory and every profile read sees the changes; the end of the scope writes the file once, in one atomic
// replace. A file is thus either as it was before the scope or holds every write made in it: a process
// that dies in between, a write that fails inside the scope or a failing disk at its end leave the old file
// byte for byte. Calls outside any scope write through as before.
//
// Scopes are per file (the name as the profile functions resolve it when the scope opens) and nest: only
// the outermost end writes. Close() ends the scope and returns whether the file holds everything written in
// it (FALSE, with the last error, when the file could not be read or written, a write inside failed or an
// inner scope was abandoned); an inner Close() returns whether the batch is whole so far. The destructor
// closes a scope left open, or abandons it when an exception is leaving the scope, so that half a save never
// reaches the file. A save that finds a failure of its own ends with Close(whole), which abandons the scope
// when `whole` is false.
//
//   plat::ProfileBatch batch(path);
//   WritePrivateProfileString("HEADER", "FileVersion", "1.0", path);
//   ...
//   return batch.Close(written) != FALSE;
#pragma once

#include <string>

#include "platform/base/wintypes.h"

namespace plat {

class ProfileBatch {
 public:
  explicit ProfileBatch(LPCSTR fileName);
  ~ProfileBatch();
  ProfileBatch(const ProfileBatch&) = delete;
  ProfileBatch& operator=(const ProfileBatch&) = delete;

  // Ends the scope (once; later calls return the same answer). Close(false) abandons it: nothing of it reaches
  // the file (an outer scope of the same file writes nothing either) and the answer is FALSE, with the last
  // error as it was when called (ERROR_OPERATION_ABORTED when none was set).
  BOOL Close(bool whole = true);

 private:
  std::string key_;
  int uncaught_;
  bool closed_ = false;
  BOOL result_ = FALSE;
};

}  // namespace plat
