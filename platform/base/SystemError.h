// The thread's last error (GetLastError/SetLastError), the classic error numbers the platform sets, and
// FormatMessage over a fixed table of texts.
#pragma once

#include <cstdarg>
#include <string>

#include "platform/base/wintypes.h"

constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INVALID_FUNCTION = 1;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_OUTOFMEMORY = 14;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_LOCK_VIOLATION = 33;
constexpr DWORD ERROR_HANDLE_EOF = 38;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_CALL_NOT_IMPLEMENTED = 120;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_NOT_LOCKED = 158;
constexpr DWORD ERROR_BAD_PATHNAME = 161;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_BAD_FILE_TYPE = 222;
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_DIRECTORY = 267;
// A file operation on a path that is a folder.
constexpr DWORD ERROR_DIRECTORY_NOT_SUPPORTED = 336;
constexpr DWORD ERROR_INVALID_ADDRESS = 487;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
// A registry store file with a line not in the store's form.
constexpr DWORD ERROR_BADDB = 1009;
// The platform's own numbers (bit 29, the application bit, set: no classic number says these). A file that changed
// while it was read, as when another program writes, cuts or replaces it meanwhile:
constexpr DWORD ERROR_FILE_CHANGED = 0x20000001u;
// A file the system makes as it is read (a process's or a device's state), whose size says nothing of its bytes:
constexpr DWORD ERROR_FILE_SIZE_UNKNOWN = 0x20000002u;
// A registry change that would make the store file larger than the store loads:
constexpr DWORD ERROR_STORE_TOO_LARGE = 0x20000003u;
// A save of a text merged with a file's, refused because the file under the name is no longer the one read:
constexpr DWORD ERROR_FILE_CHANGED_SINCE_READ = 0x20000004u;
// A save refused because another program's save of the file held it (its save lock) for the whole wait:
constexpr DWORD ERROR_FILE_BEING_SAVED = 0x20000005u;
// A save refused because it could not be made one at a time with the user's other saves of the file (no folder of the
// user's own takes its save lock, and the file's own lock cannot be had):
constexpr DWORD ERROR_NO_SAVE_LOCK = 0x20000006u;
// A save refused because the user's own save lock (its lock file, or a folder that holds it) was removed or replaced
// while the save held it, at each of its tries: another program of the user may have saved the file meanwhile.
constexpr DWORD ERROR_SAVE_LOCK_LOST = 0x20000007u;

constexpr DWORD ERROR_RESOURCE_LANG_NOT_FOUND = 1815;
// A name whose symbolic links lead round in a loop (or through too many).
constexpr DWORD ERROR_CANT_RESOLVE_FILENAME = 1921;
constexpr DWORD ERROR_MR_MID_NOT_FOUND = 317;

constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x0100;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x0200;
constexpr DWORD FORMAT_MESSAGE_FROM_STRING = 0x0400;
constexpr DWORD FORMAT_MESSAGE_FROM_HMODULE = 0x0800;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;
constexpr DWORD FORMAT_MESSAGE_ARGUMENT_ARRAY = 0x2000;
constexpr DWORD FORMAT_MESSAGE_MAX_WIDTH_MASK = 0x00FF;

DWORD GetLastError();
void SetLastError(DWORD error);

// Messages come from a fixed table, never from the machine: classic error numbers through the C runtime's
// texts in the C locale (ERROR_FILE_NOT_FOUND gives "No such file or directory"), the common HRESULTs,
// else "error number n". System texts end with "\r\n" as on the classic system. Languages 0, 0x400,
// 0x409 and 0x800 are accepted. With FORMAT_MESSAGE_FROM_STRING the source is the text; inserts %1..%99
// are taken as strings from `args` (a va_list*, or a char* array with FORMAT_MESSAGE_ARGUMENT_ARRAY)
// unless FORMAT_MESSAGE_IGNORE_INSERTS keeps them. With FORMAT_MESSAGE_ALLOCATE_BUFFER `buffer` is really
// a char** that receives a LocalAlloc block (size is then a minimum). Returns the length without the
// NUL, 0 on failure (last error set).
DWORD FormatMessage(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                    va_list* args);

namespace plat {
// The classic error number that a C runtime errno value means.
DWORD ErrnoToError(int errnoValue);
// Sets the last error from errno and returns it.
DWORD SetLastErrorFromErrno(int errnoValue);
// The error a save refused by its save lock answers (safepath::SaveLock::take's EWOULDBLOCK: ERROR_FILE_BEING_SAVED;
// ENOLCK: ERROR_NO_SAVE_LOCK).
DWORD SaveLockError(int errnoValue);
// The system's text for a classic error number, as FormatMessage gives it without its line break: the one place
// of the texts every reader of files shows ("Permission denied.", "The file is not a regular file (a FIFO, a
// device or a socket).", "The file changed while it was read; try again once it is written.", "The file is not a
// regular file whose size can be known before it is read.", and for a save "The file changed since it was read; save
// again.").
std::string SystemErrorText(DWORD error);
// The C runtime's text for an errno value in the C locale, as a sentence ("Input/output error."): the system's
// reason for an errno that has no classic number of its own.
std::string ErrnoText(int errnoValue);
}  // namespace plat
