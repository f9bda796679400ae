// Reading a whole file that a program was told to read (a board, a settings file): only a regular file, and only
// up to a stated size. A device (/dev/zero), a FIFO, a socket or a directory would be read without end, block, or
// make no sense; a file above the size would take the process's memory. Both are refused before anything is read.
// So is a file the system makes as it is read (those of /proc and /sys): its size (0, or a page) is not that of
// its bytes, so neither the limit nor a whole read can be told, and reading it again would not help.
// A file is read whole as it was when it was opened: another program that cuts, grows, writes or replaces it
// meanwhile makes the read fail (Changed) rather than hand on a part of it, or a mixture, as the whole. Opening and
// reading ask the file layer's fault seam (FileFaults.h: the Open and Read steps).
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/base/wintypes.h"

namespace plat {

enum class FileReadStatus {
  Read,         // `text` holds the whole file
  CannotOpen,   // `error` holds the errno value
  NotRegular,   // a directory (`error` EISDIR), device, FIFO or socket
  TooLarge,     // above `maxBytes` (when opened, or grown while read)
  ReadFailed,   // `error` holds the errno value
  Changed,      // its size when opened is not what was read, or the file at the end is not the one opened: another
                // size, modification or change time (to the nanosecond), or the name now another file's or none's
  SizeUnknown,  // a regular file the system makes as it is read, on /proc, /sys and their kin
};

struct FileReadResult {
  FileReadStatus status = FileReadStatus::Read;
  int error = 0;
  explicit operator bool() const { return status == FileReadStatus::Read; }
};

// Never blocks on a FIFO or a terminal: the file is opened without waiting and looked at before it is read. Given
// `opened`, a text read whole comes with the status of the file it was read from (as opened: the file a name looked
// up before the read may be another by then).
FileReadResult ReadRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& text,
                               struct stat* opened = nullptr);

// The same read of the file `name` in `folder` (a descriptor of a folder held open, as a walk of the path ends on;
// one opened O_PATH will do): a link under the name is not followed (CannotOpen, ELOOP), and the end's look is at
// that name in that folder, so the file read is the one in the folder the walk checked, whatever is done to the
// path's text meanwhile. The file is opened once and judged as opened: in a folder every user may write, one of
// neither this user nor the folder's owner is refused (CannotOpen, EACCES), also when it was put under the name
// after the walk looked. `path` names the file to the fault seam.
FileReadResult ReadRegularFileIn(int folder, const std::string& name, const std::string& path, std::uint64_t maxBytes,
                                 std::string& text, struct stat* opened = nullptr);

// Whether the file opens for reading and is a regular one (CannotOpen, ReadFailed, NotRegular, SizeUnknown or
// Read), without reading it or waiting on it: for a file that another part of the program reads later.
FileReadResult CheckRegularFile(const std::string& path);

// The file opened for reading as a stream when it is a regular file, without waiting on it; null otherwise. For a
// reader that takes only the beginning of a file.
std::FILE* OpenRegularFileStream(const std::string& path);

// What went wrong, for a message after the file's name: "cannot be opened for reading (No such file or
// directory)", "is not a regular file", "is larger than 1048576 bytes", "cannot be read (Input/output error)",
// "changed while it was read; try again once it is written", "is not a regular file whose size can be known before
// it is read".
std::string DescribeFileRead(const FileReadResult& result, std::uint64_t maxBytes);

// The classic error number for what went wrong, for the last error: the errno's, ERROR_DIRECTORY_NOT_SUPPORTED for
// a folder, ERROR_BAD_FILE_TYPE for a FIFO, device or socket, ERROR_FILE_TOO_LARGE, ERROR_FILE_CHANGED,
// ERROR_FILE_SIZE_UNKNOWN.
DWORD FileReadError(const FileReadResult& result);

// Whether two looks at a file saw the same one as it was: the same identity (device and inode), size, and times of
// modification and change to the nanosecond. Another program's write moves both times, even at the same length.
bool SameFileState(const struct stat& a, const struct stat& b);

// Whether an open regular file's size is that of its bytes: false on the file systems whose files the system makes
// as they are read (/proc, /sys, control groups, the kernel's debug and trace files).
bool SizeKnownBeforeRead(int fd);

// What went wrong as the sentence every file reader shows on its own: the system's text ("Permission denied.",
// "The file is not a regular file (a FIFO, a device or a socket)."), or "The file is larger than N bytes.".
std::string FileReadReason(const FileReadResult& result, std::uint64_t maxBytes);

}  // namespace plat
