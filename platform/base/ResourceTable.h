// The resource table: what the classic platform reads from a module's linked-in resources, registered
// here by each library while it loads.
//
// A library names its module once (ModuleHandle("grid")) and registers, keyed by that handle, string
// tables, bitmaps (packed DIBs without a file header), dialog templates, menus and custom types such as
// "GXLAYOUT". The bytes are not copied: they must outlive the registration (static data). Lookups by the
// classic calls give read-only pointers to them.
//
// Keys: types and names are integer ids (MAKEINTRESOURCE, below 0x10000) or texts matched ignoring case.
// The language is always 1033. AfxFindResourceHandle-style lookups search the resource module first,
// then the instance module.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "platform/base/wintypes.h"

// Classic resource types.
inline LPCSTR const RT_CURSOR = MAKEINTRESOURCE(1);
inline LPCSTR const RT_BITMAP = MAKEINTRESOURCE(2);
inline LPCSTR const RT_ICON = MAKEINTRESOURCE(3);
inline LPCSTR const RT_MENU = MAKEINTRESOURCE(4);
inline LPCSTR const RT_DIALOG = MAKEINTRESOURCE(5);
inline LPCSTR const RT_STRING = MAKEINTRESOURCE(6);
inline LPCSTR const RT_RCDATA = MAKEINTRESOURCE(10);

namespace plat {

class ResourceTable {
 public:
  // The stable handle of a named module (the same name gives the same 32-bit token in every run).
  static HINSTANCE ModuleHandle(std::string_view moduleName);
  // The name a handle was made from; empty when unknown.
  static std::string_view ModuleName(HINSTANCE module);

  static void AddString(HINSTANCE module, UINT id, std::string_view text);
  struct StringEntry {
    UINT id;
    std::string_view text;
  };
  // A whole string table, typically from a static initialiser of the library:
  //   static const bool registered = (ResourceTable::AddStrings(ModuleHandle("grid"), {{1, "a"}}), true);
  static void AddStrings(HINSTANCE module, std::initializer_list<StringEntry> table);
  static void AddResource(HINSTANCE module, LPCSTR type, LPCSTR name, std::span<const BYTE> bytes);
  // A resource that is a C++ object rather than bytes (dialog templates, menus): LockResource gives the
  // object's address and SizeofResource its size. The object must outlive the registration.
  template <class T>
  static void AddObject(HINSTANCE module, LPCSTR type, LPCSTR name, const T& object) {
    AddResource(module, type, name, std::span<const BYTE>(reinterpret_cast<const BYTE*>(&object), sizeof(T)));
  }
  // Forgets everything a module registered (library unload, test isolation).
  static void RemoveModule(HINSTANCE module);

  // Null when missing. The text is the registered bytes (not NUL-terminated in general).
  static const std::string_view* FindString(HINSTANCE module, UINT id);
  // Resource module first, then the instance module; null module means exactly that search.
  static HINSTANCE FindResourceModule(LPCSTR type, LPCSTR name);
};

// Sets the instance handle that AfxGetInstanceHandle answers (the framework does it at module load).
void SetInstanceHandle(HINSTANCE instance);

}  // namespace plat

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// Null restores the default: the instance module.
void AfxSetResourceHandle(HINSTANCE resource);
// The module that holds the resource: the resource module, else the instance module, else null.
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);

// Copies the string (cut to maxChars - 1) and returns its length; 0 when missing or no room.
// A null module searches the resource module, then the instance module.
int LoadString(HINSTANCE module, UINT id, LPSTR buffer, int maxChars);
// A null module searches the resource module, then the instance module.
HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL loaded);
