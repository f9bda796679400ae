// Registered window classes, found by name ignoring case.
//
// Application classes belong to the instance that registered them; CS_GLOBALCLASS classes and the
// system's own classes are found from any instance. Lookup prefers an exact instance match, then a global
// class, then a system class, so a module may register its own copy of a system class under the same name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/window/windowapi.h"

namespace plat {

struct WindowClass {
  std::string name;  // the registered spelling, returned by GetClassName
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  std::vector<BYTE> classExtra;
  int windowExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  bool system = false;
  int windows = 0;  // live windows of this class; a class in use cannot be unregistered
};

class WindowClassRegistry {
 public:
  static WindowClassRegistry& Instance();

  // Returns 0 when a class of that name already belongs to the same instance (or is global).
  ATOM Register(const WNDCLASSEX& wc, bool system = false);
  std::shared_ptr<WindowClass> Find(LPCSTR name, HINSTANCE instance) const;
  bool Unregister(LPCSTR name, HINSTANCE instance);
  void RemoveApplicationClasses();  // test reset: keeps system classes

 private:
  std::vector<std::shared_ptr<WindowClass>> classes_;
  ATOM nextAtom_ = 0xC000;
};

// Case-insensitive (ASCII) name comparison used for class and registered names.
bool SameName(const std::string& a, const std::string& b);
// Class and window names may be integer atoms below 0x10000.
std::string NameFromParam(LPCSTR name);

}  // namespace plat
