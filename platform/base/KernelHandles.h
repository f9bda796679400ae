// The table behind HANDLE values of kernel objects (files, file mappings, and whatever later folders add),
// with the one CloseHandle they share.
//
// Handles are tokens from a counter that never repeats, so a closed handle stays invalid for good; an
// object lives while its handle is open or another object holds it (a mapping keeps its file open). What the
// handle itself holds (a file's sharing lock) goes when it is closed, whoever still holds the object.
#pragma once

#include <memory>

#include "platform/base/wintypes.h"

namespace plat {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  // Its handle was closed (called once, outside the table's lock).
  virtual void HandleClosed() {}
};

class KernelHandles {
 public:
  static HANDLE Add(std::shared_ptr<KernelObject> object);
  // The object of a handle if it is open and of type T; null otherwise.
  template <class T>
  static std::shared_ptr<T> Get(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(Find(handle));
  }
  static std::shared_ptr<KernelObject> Find(HANDLE handle);
  static bool Close(HANDLE handle);
  static std::size_t OpenCount();
};

}  // namespace plat

// FALSE with ERROR_INVALID_HANDLE for a handle that is not open.
BOOL CloseHandle(HANDLE handle);
