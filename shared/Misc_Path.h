// File and path helpers of the module (8-bit texts, the module's path dialect: '\\' and '/' both separate, a
// leading '/' is absolute, drives are recognised but empty on Linux). A drive is only ever a path's first two
// characters, a letter and a colon: every helper that splits a path takes its name from plat::NameStart, so a ':'
// anywhere else belongs to the name or folder it stands in. Paths compare with case, as the file system does; only
// extension lists may ignore it.
#pragma once

#include "platform/base/CString.h"

#include <cstddef>

// A file (not a directory, not marked offline) exists at the path.
bool FileExists(const char* path);
// A directory exists at the path.
bool DirectoryExists(const char* path);
// Something is under the path's whole name, whatever it is (a file, a folder, a FIFO, a device, a socket, a link,
// also one to nothing): the name is not free for a new file. A name that cannot be looked at is free here.
bool NameTaken(const char* path);

// False for a path that begins with a drive ("c:") or "\\\\" (a server share) or "/"; true otherwise, also for null
// or empty. A path that begins with a single '\\' counts as relative, as it always has.
bool IsRelativePath(const char* path);

// The '.' that starts the path's extension: scanning back from the end, the last '.' before any separator; null
// when there is none, when the '.' is the first character, or when it is the second of "..".
const char* FindFileExtension(const char* path);

// In place: a path gives its directory without the trailing separator (a drive and a name, "c:name", give the
// drive), a bare name its name without the extension (from its last '.').
void CutToDirectory(char* path);
void CutToDirectory(CString& path);

// Copies the name of the path (after its last '\\' or '/', or after its drive in "c:name") into `out`, which holds
// `max` + 1 bytes: never more than `max` characters and a NUL are written. A null or empty path gives an empty text.
void FileNameOfPath(const char* path, char* out, size_t max);
CString FileNameOfPath(const char* path);

// Replaces the path's extension by `newExt` (with or without its leading '.'), or appends '.' and the extension
// when the path has none. False, and the path unchanged, when the result would not fit in `size` bytes.
bool ReplaceExtension(const char* newExt, char* path, size_t size);
void ReplaceExtension(const char* newExt, CString& path);

// In place: a non-empty path ends afterwards with exactly one '\\' (a trailing '/' or '\\' becomes '\\').
void AppendBackslash(CString& path);

// The two paths are byte for byte the same once each is read lexically: '\\' as '/', a run of separators as one,
// "." segments and a trailing separator dropped ("/" stays; a relative path of "." segments only is "."). Case
// counts ("a/" and "A/" are two folders), no link is resolved, and ".." segments are kept as they are: "l/.." need
// not be the folder that holds the link l, so "a/l/../b" is never taken for "a/b". A null path is an empty one.
bool PathsEqual(const char* a, const char* b);

// The name ends in '.' and one of the list's extensions. The list separates extensions by any of ",. \t\n\"";
// empty entries are skipped, and an extension longer than the name allows is passed over (so "s2p, s4p" accepts
// "x.s4p"). Case is ignored when `caseSensitive` is 0. Null or empty arguments give false.
bool HasExtensionFromList(const char* name, const char* list, int caseSensitive);

// The drive, directory, name and extension of a path ("_splitpath": the directory keeps its trailing separator, the
// extension its '.'). Drives exist only in texts that carry one ("c:").
struct CPathParts {
  CString drive;
  CString directory;
  CString name;
  CString extension;
};
CPathParts SplitPath(const char* path);
// Joins the parts ("_makepath"): a separator is added after a directory that lacks one, a '.' before an extension
// that lacks one.
CString MakePath(const char* drive, const char* directory, const char* name, const char* extension);
