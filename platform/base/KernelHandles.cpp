#include "platform/base/KernelHandles.h"

#include <mutex>
#include <unordered_map>

#include "platform/base/SystemError.h"

namespace plat {
namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> open;
  std::uintptr_t next = 1;
};

Table& TheTable() {
  static Table t;
  return t;
}

}  // namespace

HANDLE KernelHandles::Add(std::shared_ptr<KernelObject> object) {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  // Low nibble 0xC: never a heap address, never a global-memory or find handle.
  const std::uintptr_t token = (t.next++ << 4) | 0xC;
  t.open.emplace(token, std::move(object));
  return reinterpret_cast<HANDLE>(token);
}

std::shared_ptr<KernelObject> KernelHandles::Find(HANDLE handle) {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  const auto it = t.open.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == t.open.end() ? nullptr : it->second;
}

bool KernelHandles::Close(HANDLE handle) {
  std::shared_ptr<KernelObject> closed;  // told and released outside the lock
  {
    auto& t = TheTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.open.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == t.open.end()) return false;
    closed = std::move(it->second);
    t.open.erase(it);
  }
  closed->HandleClosed();
  return true;
}

std::size_t KernelHandles::OpenCount() {
  auto& t = TheTable();
  std::lock_guard lock(t.mutex);
  return t.open.size();
}

}  // namespace plat

BOOL CloseHandle(HANDLE handle) {
  if (!plat::KernelHandles::Close(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
