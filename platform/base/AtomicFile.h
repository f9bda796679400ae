// Replacing a file's whole content atomically: the text goes to a temporary file in the same directory, which
// gets the file's owner, group and mode, is flushed to the disk and then takes the file's name; the folder is
// flushed after that (behind a symbolic link, the link's target is replaced). Readers see the old or the new
// content, never a part; a failure leaves the old file and no temporary behind.
//
// A file that may not be written (no write bit, or no write access for this process) is never replaced:
// EACCES, as its own write would have been refused. A writable file in a folder where no temporary file can
// be made, with further hard links, or whose owner and group this process may not give to another file is
// written in place instead (not atomically): room for the new text is reserved first, so that a full
// disk fails with the old text whole; the new text goes over the old, the file is cut to length last and flushed
// before success is reported. A directory answers EISDIR. Every step asks the file layer's fault seam
// (FileFaults.h) first.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// False with errno-style error in `err` on failure.
bool WriteFileAtomically(const std::string& path, std::string_view text, int& err);

}  // namespace plat
