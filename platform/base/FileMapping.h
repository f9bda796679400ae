// Files opened by handle, read through it or mapped into memory (the model-file scanner reads files this way).
//
// CreateFile opens with the classic dispositions, regular files only: a directory gives ERROR_ACCESS_DENIED, a
// device, FIFO or socket ERROR_BAD_FILE_TYPE, a file the system makes as it is read (/proc, /sys)
// ERROR_FILE_SIZE_UNKNOWN, at once (a FIFO without a writer is never waited on). A share mode
// without FILE_SHARE_WRITE takes an advisory lock (exclusive when nothing is shared) held until the file handle is
// closed, also when a mapping or view of the file lives on; a conflicting holder gives ERROR_SHARING_VIOLATION.
// CreateFileMapping fails for an empty file (ERROR_FILE_INVALID) as the classic call does; views are
// read-only or read-write shared mappings and their offsets must be multiples of 64 KiB. A shared mapping's pages
// beyond the end of a file that another program shortened raise SIGBUS when touched: a reader that must survive
// such a change reads through the handle instead.
#pragma once

#include "platform/base/KernelHandles.h"

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD FILE_MAP_WRITE = 0x2;
constexpr DWORD FILE_MAP_READ = 0x4;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0xF001F;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
constexpr DWORD ERROR_FILE_INVALID = 1006;
constexpr DWORD ERROR_MAPPED_ALIGNMENT = 1132;

HANDLE CreateFile(LPCSTR path, DWORD access, DWORD shareMode, void* securityAttributes, DWORD disposition,
                  DWORD flagsAndAttributes, HANDLE templateFile);
// The low 32 bits; the high ones into *high when given. INVALID_FILE_SIZE on a bad handle.
DWORD GetFileSize(HANDLE file, LPDWORD high);
// Reads up to `bytes` from the file's position on; *read gets the count (0 at the end of the file).
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD read, void* overlapped);
namespace plat {
// Whether the handle's file is, under its name, still the file the handle opened as it was then: the same identity,
// size, and modification and change times (SameFileState in RegularFile.h). A reader that takes the whole of a file
// through the handle asks at the end: another program that wrote the file meanwhile, at the same length too, or put
// another in its place, makes the bytes read no whole file.
bool FileAsOpened(HANDLE file);
}  // namespace plat
HANDLE CreateFileMapping(HANDLE file, void* securityAttributes, DWORD protect, DWORD maximumSizeHigh,
                         DWORD maximumSizeLow, LPCSTR name);
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID view);
