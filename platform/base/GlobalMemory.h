// Global and local memory handles (GlobalAlloc & co.), used by the clipboard, shared memory files,
// print-setup blocks and FormatMessage buffers.
//
// A fixed block's handle is its address, as the classic callers expect (GPTR blocks are used directly as
// pointers). A movable block gets a handle token from a counter that never repeats, so a freed handle
// stays invalid: every call on it fails the classic way instead of touching freed memory. Locks are
// counted; a movable block moves on reallocation only while unlocked (or with GMEM_MOVEABLE).
#pragma once

#include "platform/base/wintypes.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_NOCOMPACT = 0x0010;
constexpr UINT GMEM_NODISCARD = 0x0020;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_MODIFY = 0x0080;
constexpr UINT GMEM_DISCARDABLE = 0x0100;
constexpr UINT GMEM_SHARE = 0x2000;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
constexpr UINT GMEM_LOCKCOUNT = 0x00FF;
constexpr UINT GMEM_INVALID_HANDLE = 0x8000;

constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_MOVEABLE = 0x0002;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LHND = LMEM_MOVEABLE | LMEM_ZEROINIT;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// Null on failure (zero bytes is allowed and gives a valid, empty block).
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// The new handle (the same for movable blocks), null on failure with the old block unchanged.
HGLOBAL GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags);
// Null on success, the handle itself for a bad handle. A block that is still locked is freed too, as the
// classic call does.
HGLOBAL GlobalFree(HGLOBAL mem);
LPVOID GlobalLock(HGLOBAL mem);
// TRUE while the block stays locked; FALSE when the count reaches zero (last error 0) or on a bad handle.
BOOL GlobalUnlock(HGLOBAL mem);
// The requested size (0 for a bad handle).
SIZE_T GlobalSize(HGLOBAL mem);
// Lock count in the low byte; GMEM_INVALID_HANDLE for a bad handle.
UINT GlobalFlags(HGLOBAL mem);
// The handle of a block from the pointer GlobalLock gave.
HGLOBAL GlobalHandle(LPCVOID pointer);

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalReAlloc(HLOCAL mem, SIZE_T bytes, UINT flags);
HLOCAL LocalFree(HLOCAL mem);
LPVOID LocalLock(HLOCAL mem);
BOOL LocalUnlock(HLOCAL mem);
SIZE_T LocalSize(HLOCAL mem);

namespace plat {
// Blocks currently allocated (tests check that nothing leaks).
std::size_t GlobalBlockCount();
}  // namespace plat
