// The registry subset the module uses, kept as one key tree in memory and, when a root directory is set,
// in a text file under it ("registry.txt"), rewritten atomically after each change.
//
// Keys match ignoring case and keep the spelling they were created with; RegEnumKeyEx lists subkeys in
// case-insensitive order. Values are strings (REG_SZ) and double words (REG_DWORD).
#pragma once

#include <string>

#include "platform/base/wintypes.h"

using REGSAM = DWORD;
using PHKEY = HKEY*;
using LSTATUS = LONG;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002));

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

LSTATUS RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, REGSAM access,
                       void* security, PHKEY result, LPDWORD disposition);
LSTATUS RegCloseKey(HKEY key);
LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPSTR className,
                     LPDWORD classLength, void* lastWrite);
LSTATUS RegDeleteKey(HKEY key, LPCSTR subKey);  // the whole subtree
LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LSTATUS RegSetValueEx(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LSTATUS RegDeleteValue(HKEY key, LPCSTR name);

namespace plat {

// Where the registry file lives; empty keeps the tree in memory only (the default; tests). Setting a root
// loads the file found there.
void SetRegistryRoot(const std::string& directory);
// Empties the tree (test isolation); the file, if any, is rewritten empty.
void ResetRegistry();
// The whole tree as text, in the file's form.
std::string RegistryDump();

}  // namespace plat
