#include "platform/base/FileMapping.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/base/SystemError.h"
#include "platform/base/tests/TempDir.h"

TEST(FileMapping, MapsAFileReadOnlyAndOutlivesItsHandles) {
  TempDir dir;
  const std::string path = dir / "model.s2p";
  std::ofstream(path, std::ios::binary) << "! touchstone\n# Hz S MA R 50\n";
  const std::size_t before = plat::KernelHandles::OpenCount();
  std::string backslashed = path;
  for (char& c : backslashed)
    if (c == '/') c = '\\';
  HANDLE file = CreateFile(backslashed.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  // Opened without sharing: a second open is refused.
  EXPECT_EQ(CreateFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(file, &high), 28u);
  EXPECT_EQ(high, 0u);
  HANDLE map = CreateFileMapping(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(CreateFileMapping(file, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);  // read-only file
  const auto* view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(MapViewOfFile(map, FILE_MAP_READ, 0, 100, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MAPPED_ALIGNMENT);
  EXPECT_TRUE(CloseHandle(map));
  // The lock is the handle's: the mapping gone, the view still holds the file open and keeps it locked.
  EXPECT_EQ(CreateFile(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  // With the file's handle closed, the view living on keeps nobody out.
  HANDLE again = CreateFile(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(again, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(again));
  EXPECT_EQ(std::memcmp(view, "! touchstone", 12), 0);  // the view keeps the mapping alive
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(view));
  EXPECT_EQ(plat::KernelHandles::OpenCount(), before);
}

TEST(FileMapping, EmptyAndMissingFiles) {
  TempDir dir;
  const std::string empty = dir / "empty";
  std::ofstream(empty, std::ios::binary);
  HANDLE file = CreateFile(empty.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileMapping(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID);
  CloseHandle(file);
  EXPECT_EQ(CreateFile((dir / "missing").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  HANDLE created = CreateFile((dir / "new").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), NO_ERROR);
  auto* p = static_cast<char*>(
      MapViewOfFile(CreateFileMapping(created, nullptr, PAGE_READWRITE, 0, 4, nullptr), FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(p, nullptr);
  std::memcpy(p, "abcd", 4);
  UnmapViewOfFile(p);
  CloseHandle(created);
  std::ifstream in(dir / "new", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "abcd");
}
