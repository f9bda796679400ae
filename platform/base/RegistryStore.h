// The registry stand-in: a tree of keys with named values, in memory, optionally kept in one text file.
//
// Key and value names match ignoring case and keep their spelling; subkeys enumerate in case-insensitive
// sorted order. With a store file set, every change rewrites the file atomically (as the INI files are
// written, under the file's save lock: ERROR_FILE_BEING_SAVED where another program's save holds it past the wait,
// which is waited for with the change taken back, so that other threads use the store meanwhile; ERROR_NO_SAVE_LOCK
// where no lock can be had, safepath/SaveLock.h)
// and only while the file is as this process loaded or last wrote it: a file another program changed since is not
// written over (ERROR_FILE_CHANGED_SINCE_READ; setting the file again loads it), since the tree written whole would
// drop that program's change. Setting the file loads it; without one (the default, and what each test starts with) the
// tree lives in memory only. A handle is a token for its key (a store file set later points it at the key
// of the same path there): a handle whose key was deleted answers ERROR_KEY_DELETED. A call that cannot get
// the memory it needs answers ERROR_NOT_ENOUGH_MEMORY and changes nothing, in memory or in the file.
//
// Store file form (one entry a line, CR-LF):  [HKEY_CURRENT_USER\Software\App]  then  "name"=sz:text,
// "name"=dword:00000010 or "name"=hex:01,02 for other types; backslashes and quotes in names and texts are
// escaped with a backslash, line breaks as \n and \r. A root's own values come under its name alone,
// [HKEY_CURRENT_USER].
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/base/SystemError.h"
#include "platform/base/wintypes.h"

using REGSAM = DWORD;
using LSTATUS = LONG;
using PHKEY = HKEY*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000003u));

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr LONG ERROR_BADKEY = 1010;

LSTATUS RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                       void* securityAttributes, PHKEY result, LPDWORD disposition);
LSTATUS RegOpenKey(HKEY key, LPCSTR subKey, PHKEY result);
LSTATUS RegCreateKey(HKEY key, LPCSTR subKey, PHKEY result);
LSTATUS RegCloseKey(HKEY key);
// Names up to *nameLength - 1 characters (ERROR_MORE_DATA when longer); ERROR_NO_MORE_ITEMS past the end.
LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPSTR keyClass,
                     LPDWORD classLength, FILETIME* lastWriteTime);
LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPDWORD type,
                     LPBYTE data, LPDWORD dataLength);
// Deletes the key with all its subkeys.
LSTATUS RegDeleteKey(HKEY key, LPCSTR subKey);
// A null or empty name is the key's default value. With data null, *dataLength gets the size needed;
// too small a buffer gives ERROR_MORE_DATA and the size needed. Strings count their NUL.
LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataLength);
LSTATUS RegSetValueEx(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD dataLength);
// Sets a value of the subkey, making the subkey (and the keys on its way) as RegCreateKeyEx does, in one change: a
// value the store refuses leaves no key made for it.
LSTATUS RegSetKeyValue(HKEY key, LPCSTR subKey, LPCSTR name, DWORD type, LPCVOID data, DWORD dataLength);
LSTATUS RegDeleteValue(HKEY key, LPCSTR name);

namespace plat {

class RegistryStore {
 public:
  // Empties the tree, closes every handle and forgets the store file (each test starts so).
  static void Reset();
  // Keeps the tree in this file from now on (loading it when it exists); nullopt: memory only.
  // FALSE when the file exists but cannot be read or parsed, is no regular file, is larger than kMaxFileBytes or
  // changed while it was read (the last error says which: ERROR_BADDB for a line not in the store's form); the tree
  // is then left as it was, and kept in memory only, so that the file is never written over. A key of a short name
  // takes 48 bytes of the heap, so that the deepest file within the limit (a key 8.4 million levels deep) loads in
  // about 410 MB; one whose tree cannot get its memory is refused so too (ERROR_NOT_ENOUGH_MEMORY).
  static bool SetStoreFile(std::optional<std::string> path);
  // With a store file, a change (a value, a key) whose file would be larger than this is refused with
  // ERROR_STORE_TOO_LARGE and not made: every file the store writes loads again.
  static constexpr std::uint64_t kMaxFileBytes = 16u << 20;
  // The registry's own limits: levels of keys below a root, and characters of a key's name. RegCreateKeyEx makes no
  // key beyond them, or whose name holds a line break (ERROR_INVALID_PARAMETER). Keys beyond them that a store file
  // of an earlier version holds load, open and are written back as they were read.
  static constexpr std::size_t kMaxKeyDepth = 512;
  static constexpr std::size_t kMaxKeyNameLength = 255;
  // The whole tree in the store file's form, for tests.
  static std::string Dump();
  static std::size_t OpenHandleCount();
};

}  // namespace plat
