// IniStore: reads and writes INI files for the private-profile functions.
//
// Reads go through a cache of parsed files, checked against the file's identity, size and modification
// time on every call, so a file changed by anyone else is read again. Every edit is written through at
// once and replaces the file atomically: the new text goes to a temporary file in the same directory,
// which then takes the file's name. A crash therefore never leaves a half-written file, and what a call
// wrote is in the file when it returns. A failed write leaves the old file as it was and is reported.
// (No fsync: the rename makes the new text visible to readers at once; surviving a power cut is the file
// system's business.)
#pragma once

#include <functional>
#include <string>

#include "platform/base/IniFile.h"

namespace plat {

class IniStore {
 public:
  // Calls `read` with the parsed file (an empty one when the file does not exist; `exists` tells).
  // FALSE with the last error set when the file exists but cannot be read.
  static bool Read(const char* path, const std::function<void(const IniFile& ini, bool exists)>& read);
  // Applies `edit` (which returns whether it changed anything) and writes the result through.
  // TRUE when nothing changed or the write succeeded; FALSE with the last error otherwise.
  static bool Edit(const char* path, const std::function<bool(IniFile& ini)>& edit);
  static void ClearCache();
};

}  // namespace plat
