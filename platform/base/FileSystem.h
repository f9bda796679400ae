// The classic runtime's and desktop API's file-system calls, in the module's path dialect.
//
// Every path argument goes through plat::NativePath ('\\' -> '/', drive dropped, 1252 -> UTF-8), and every
// name or path handed back is in code page 1252 (plat::ModulePath). Failures set the last error (GetLastError)
// or errno as the classic call does.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "platform/base/wintypes.h"

// ---- C runtime ------------------------------------------------------------------------------------
// 0 when the path exists and allows the access (0 exists, 2 write, 4 read, 6 both), else -1 with errno.
int _access(const char* path, int mode);

// The classic stat record. The time members keep glibc's spelling (st_mtim with st_mtime defined
// over it), so `st.st_mtime` reads the seconds here exactly as with the system's struct stat.
struct _stat {
  unsigned int st_dev;
  unsigned short st_ino;
  unsigned short st_mode;
  short st_nlink;
  short st_uid;
  short st_gid;
  unsigned int st_rdev;
  long long st_size;
  struct timespec st_atim;
  struct timespec st_mtim;
  struct timespec st_ctim;
};
constexpr unsigned short _S_IFMT = 0xF000;
constexpr unsigned short _S_IFDIR = 0x4000;
constexpr unsigned short _S_IFREG = 0x8000;
constexpr unsigned short _S_IREAD = 0x0100;
constexpr unsigned short _S_IWRITE = 0x0080;
// 0 and the record, or -1 with errno.
int _stat(const char* path, struct _stat* buffer);

int _unlink(const char* path);

// fopen with the dialect: "r", "rb", "w", "wb", "wt", "a", "ab", "r+"...; text and binary are the same
// ("\r\n" is data). Null with errno on failure.
FILE* _fsopen(const char* path, const char* mode, int shareFlag);
int fopen_s(FILE** file, const char* path, const char* mode);
constexpr int _SH_DENYRW = 0x10;
constexpr int _SH_DENYWR = 0x20;
constexpr int _SH_DENYRD = 0x30;
constexpr int _SH_DENYNO = 0x40;

// ---- Desktop API ----------------------------------------------------------------------------------
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_OFFLINE = 0x1000;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// DIRECTORY for directories, ARCHIVE for other files, READONLY when this process may not write it,
// HIDDEN for names starting with a dot; INVALID_FILE_ATTRIBUTES (and the last error) when missing.
DWORD GetFileAttributes(LPCSTR path);
BOOL DeleteFile(LPCSTR path);
BOOL CreateDirectory(LPCSTR path, void* securityAttributes);
BOOL RemoveDirectory(LPCSTR path);

// The length copied (without the NUL), or the size needed (with the NUL) when the buffer is too small.
DWORD GetCurrentDirectory(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectory(LPCSTR path);

// The temporary directory, ending with a separator: the configured one, else $TMPDIR, else "/tmp/".
// The length copied (without the NUL), or the size needed (with the NUL) when the buffer is too small.
DWORD GetTempPath(DWORD bufferLength, LPSTR buffer);
// dir + up to three characters of the prefix + 1..4 upper-case hex digits + ".tmp" into `out` (MAX_PATH).
// unique 0: numbers are tried from the temporary-name counter until an empty file can be created
// exclusively (it stays, as the module expects); else the name is only formatted. Returns the number
// used, 0 on failure.
UINT GetTempFileName(LPCSTR dir, LPCSTR prefix, UINT unique, LPSTR out);

struct WIN32_FIND_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  char cFileName[MAX_PATH];
  char cAlternateFileName[14];
};
using LPWIN32_FIND_DATA = WIN32_FIND_DATA*;

// Lists a directory by a pattern in its last component ('*' and '?', ignoring case; "*.*" matches every
// name, with or without a dot). Entries come sorted by name ignoring case, "." and ".." first as on the
// classic system. INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND when nothing matches.
HANDLE FindFirstFile(LPCSTR pattern, LPWIN32_FIND_DATA data);
// FALSE with ERROR_NO_MORE_FILES after the last entry.
BOOL FindNextFile(HANDLE find, LPWIN32_FIND_DATA data);
BOOL FindClose(HANDLE find);

namespace plat {

FILE* FOpen(const char* path, const char* mode);
int Remove(const char* path);
int Rename(const char* oldPath, const char* newPath);

// The file a path names, links followed, as the file system knows it: its device and inode, so that two spellings,
// a link and a hard link of one file give one identity. nullopt (with errno) when nothing is there.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOf(const char* path);

// Test and host settings: the temporary directory (nullopt = $TMPDIR or /tmp) and the next number
// GetTempFileName tries (nullopt = derived from the virtual clock's tick count).
void SetTempDirectory(std::optional<std::string> dir);
void SetTempNameCounter(std::optional<UINT> next);

// "*.*", "*.dao", "a?c": the classic wildcard match, ignoring case.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// 100-ns intervals since 1601-01-01 (UTC) for a unix time.
FILETIME FileTimeFromUnix(std::int64_t seconds, long nanoseconds = 0);

}  // namespace plat
