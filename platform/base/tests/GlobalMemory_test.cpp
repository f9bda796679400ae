#include "platform/base/GlobalMemory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/SystemError.h"

TEST(GlobalMemory, MovableBlocksLockCountAndKeepHandleWhenGrowing) {
  const std::size_t before = plat::GlobalBlockCount();
  HGLOBAL h = GlobalAlloc(GHND, 10);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 10u);
  auto* p = static_cast<char*>(GlobalLock(h));
  EXPECT_EQ(std::memcmp(p, "\0\0\0\0\0\0\0\0\0\0", 10), 0);
  std::memcpy(p, "hello", 5);
  EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 1u);
  EXPECT_EQ(GlobalHandle(p), h);
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_EQ(GetLastError(), NO_ERROR);
  EXPECT_EQ(GlobalReAlloc(h, 5000, GMEM_ZEROINIT), h);
  p = static_cast<char*>(GlobalLock(h));
  EXPECT_EQ(std::memcmp(p, "hello", 5), 0);
  EXPECT_EQ(p[4999], 0);
  // Locked, a movable block may not move unless the caller allows it.
  EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
  EXPECT_EQ(GlobalSize(h), 5000u);
  GlobalUnlock(h);
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(plat::GlobalBlockCount(), before);
}

TEST(GlobalMemory, StaleAndFixedHandles) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
  GlobalFree(h);
  HGLOBAL again = GlobalAlloc(GMEM_MOVEABLE, 4);
  EXPECT_NE(again, h);  // handles are never reused
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GlobalSize(h), 0u);
  EXPECT_EQ(GlobalFree(h), h);
  EXPECT_EQ(GlobalFlags(h), GMEM_INVALID_HANDLE);
  GlobalFree(again);

  // A fixed block's handle is its address.
  HGLOBAL f = GlobalAlloc(GPTR, 8);
  EXPECT_EQ(GlobalLock(f), f);
  EXPECT_EQ(static_cast<char*>(f)[7], 0);
  EXPECT_EQ(LocalFree(f), nullptr);
  HGLOBAL z = GlobalAlloc(GMEM_MOVEABLE, 0);  // empty blocks are valid
  EXPECT_NE(GlobalLock(z), nullptr);
  GlobalUnlock(z);
  GlobalFree(z);
}
