#include "platform/base/GlobalMemory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/base/SystemError.h"

namespace {

struct Block {
  void* data = nullptr;
  SIZE_T size = 0;
  UINT flags = 0;
  unsigned locks = 0;
  bool movable = false;
};

struct Heap {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, Block> blocks;  // handle -> block
  std::unordered_map<const void*, std::uintptr_t> byData;
  // Movable handles: never 16-byte aligned (low nibble 4), so they cannot equal a fixed block's address.
  std::uintptr_t nextToken = 0x10000;
};

Heap& TheHeap() {
  static Heap heap;
  return heap;
}

std::uintptr_t Key(const void* h) { return reinterpret_cast<std::uintptr_t>(h); }

// The heap's entry for a handle; blocks.end(), with ERROR_INVALID_HANDLE, when the handle is not one of ours.
// The caller holds the heap's lock.
auto FindBlock(Heap& heap, HGLOBAL mem) {
  const auto it = heap.blocks.find(Key(mem));
  if (it == heap.blocks.end()) SetLastError(ERROR_INVALID_HANDLE);
  return it;
}

void* AllocData(SIZE_T bytes, bool zero) {
  // One extra byte so that zero-sized blocks still have a distinct, lockable address.
  void* p = zero ? std::calloc(bytes + 1, 1) : std::malloc(bytes + 1);
  return p;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  void* data = AllocData(bytes, (flags & GMEM_ZEROINIT) != 0);
  if (!data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  Block b{data, bytes, flags, 0, (flags & GMEM_MOVEABLE) != 0};
  std::uintptr_t handle;
  if (b.movable) {
    handle = (heap.nextToken++ << 4) | 0x4;
  } else {
    handle = Key(data);
  }
  heap.blocks.emplace(handle, b);
  heap.byData.emplace(data, handle);
  return reinterpret_cast<HGLOBAL>(handle);
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  const auto it = FindBlock(heap, mem);
  if (it == heap.blocks.end()) return nullptr;
  Block& b = it->second;
  if (flags & GMEM_MODIFY) {
    if (flags & GMEM_MOVEABLE) b.flags |= GMEM_MOVEABLE;
    return mem;
  }
  const bool mayMove = (flags & GMEM_MOVEABLE) || (b.movable && b.locks == 0);
  if (bytes > b.size && !mayMove) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* data = b.data;
  if (bytes != b.size) {
    data = std::realloc(b.data, bytes + 1);
    if (!data) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if ((flags & GMEM_ZEROINIT) && bytes > b.size) std::memset(static_cast<char*>(data) + b.size, 0, bytes - b.size);
  }
  heap.byData.erase(b.data);
  Block moved = b;
  moved.data = data;
  moved.size = bytes;
  std::uintptr_t handle = it->first;
  if (!moved.movable) {
    // A fixed block's handle is its address, so a moved fixed block has a new handle.
    heap.blocks.erase(it);
    handle = Key(data);
    heap.blocks.emplace(handle, moved);
  } else {
    it->second = moved;
  }
  heap.byData.emplace(data, handle);
  return reinterpret_cast<HGLOBAL>(handle);
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  if (!mem) return nullptr;
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  const auto it = FindBlock(heap, mem);
  if (it == heap.blocks.end()) return mem;
  heap.byData.erase(it->second.data);
  std::free(it->second.data);
  heap.blocks.erase(it);
  return nullptr;
}

LPVOID GlobalLock(HGLOBAL mem) {
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  const auto it = FindBlock(heap, mem);
  if (it == heap.blocks.end()) return nullptr;
  if (it->second.movable && it->second.locks < 0xFF) ++it->second.locks;
  return it->second.data;
}

BOOL GlobalUnlock(HGLOBAL mem) {
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  const auto it = FindBlock(heap, mem);
  if (it == heap.blocks.end()) return FALSE;
  Block& b = it->second;
  if (!b.movable) return TRUE;  // fixed blocks are never locked
  if (b.locks == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--b.locks == 0) {
    SetLastError(NO_ERROR);
    return FALSE;
  }
  return TRUE;
}

SIZE_T GlobalSize(HGLOBAL mem) {
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  const auto it = FindBlock(heap, mem);
  if (it == heap.blocks.end()) return 0;
  return it->second.size;
}

UINT GlobalFlags(HGLOBAL mem) {
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  const auto it = heap.blocks.find(Key(mem));
  if (it == heap.blocks.end()) return GMEM_INVALID_HANDLE;
  return it->second.locks & GMEM_LOCKCOUNT;
}

HGLOBAL GlobalHandle(LPCVOID pointer) {
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  const auto it = heap.byData.find(pointer);
  if (it == heap.byData.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<HGLOBAL>(it->second);
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) { return GlobalAlloc(flags, bytes); }
HLOCAL LocalReAlloc(HLOCAL mem, SIZE_T bytes, UINT flags) { return GlobalReAlloc(mem, bytes, flags); }
HLOCAL LocalFree(HLOCAL mem) { return GlobalFree(mem); }
LPVOID LocalLock(HLOCAL mem) { return GlobalLock(mem); }
BOOL LocalUnlock(HLOCAL mem) { return GlobalUnlock(mem); }
SIZE_T LocalSize(HLOCAL mem) { return GlobalSize(mem); }

namespace plat {
std::size_t GlobalBlockCount() {
  auto& heap = TheHeap();
  std::lock_guard lock(heap.mutex);
  return heap.blocks.size();
}
}  // namespace plat
