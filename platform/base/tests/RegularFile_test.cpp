// Whole-file reads of what a program is told to read: regular files up to a stated size, nothing else, and never a
// wait on a FIFO. The private-profile functions read settings files through it.
#include "platform/base/IniStore.h"
#include "platform/base/PrivateProfile.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"
#include "platform/base/tests/TempDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace {

using plat::FileReadStatus;

TEST(RegularFile, ReadsRegularFilesUpToTheLimitAndRefusesEverythingElse) {
  TempDir dir;
  std::ofstream(dir / "a.txt", std::ios::binary) << "0123456789";
  std::string text = "old";
  EXPECT_TRUE(plat::ReadRegularFile(dir / "a.txt", 10, text));
  EXPECT_EQ(text, "0123456789");

  auto refused = plat::ReadRegularFile(dir / "a.txt", 9, text);
  EXPECT_EQ(refused.status, FileReadStatus::TooLarge);
  EXPECT_EQ(text, "");
  EXPECT_EQ(plat::DescribeFileRead(refused, 9), "is larger than 9 bytes");

  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  // Without a writer, opening the FIFO for reading would wait for ever.
  for (const std::string& path : {dir / "fifo", std::string("/dev/zero"), dir.Path().string()}) {
    const auto result = plat::ReadRegularFile(path, 1u << 20, text);
    EXPECT_EQ(result.status, FileReadStatus::NotRegular) << path;
    EXPECT_EQ(plat::DescribeFileRead(result, 1u << 20), "is not a regular file");
  }
  // Files the system makes as they are read say a size (0, a page) that is not that of their bytes.
  for (const char* path : {"/proc/self/status", "/sys/devices/system/cpu/online"}) {
    const auto result = plat::ReadRegularFile(path, 1u << 20, text);
    EXPECT_EQ(plat::DescribeFileRead(result, 1u << 20), "is not a regular file whose size can be known before it is read")
        << path;
  }

  const auto missing = plat::ReadRegularFile(dir / "none", 10, text);
  EXPECT_EQ(missing.status, FileReadStatus::CannotOpen);
  EXPECT_EQ(plat::DescribeFileRead(missing, 10), "cannot be opened for reading (No such file or directory)");
}

// A name read in a folder held open is that folder's file, wherever the folder went meanwhile; a link under the name
// is not followed, and the limit and the kinds refused are those of a read by path.
TEST(RegularFile, ANameInAHeldFolderIsReadThereAndNoLinkUnderItIsFollowed) {
  TempDir dir;
  std::filesystem::create_directory(dir / "sub");
  std::ofstream(dir / "sub/a.txt", std::ios::binary) << "held";
  std::ofstream(dir / "b.txt", std::ios::binary) << "elsewhere";
  std::filesystem::create_symlink(dir / "b.txt", dir / "sub/link.txt");
  ASSERT_EQ(::mkfifo((dir / "sub/fifo").c_str(), 0600), 0);
  const int folder = ::open((dir / "sub").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  std::filesystem::rename(dir / "sub", dir / "moved");
  std::filesystem::create_directory_symlink(dir.Path(), dir / "sub");  // the path's text now leads elsewhere
  const std::string path = dir / "sub/a.txt";
  std::string text;
  EXPECT_TRUE(plat::ReadRegularFileIn(folder, "a.txt", path, 10, text));
  EXPECT_EQ(text, "held");
  EXPECT_EQ(plat::ReadRegularFileIn(folder, "a.txt", path, 3, text).status, FileReadStatus::TooLarge);
  EXPECT_EQ(plat::ReadRegularFileIn(folder, "fifo", path, 10, text).status, FileReadStatus::NotRegular);
  const auto link = plat::ReadRegularFileIn(folder, "link.txt", path, 10, text);
  EXPECT_EQ(link.status, FileReadStatus::CannotOpen);
  EXPECT_EQ(link.error, ELOOP);
  EXPECT_EQ(text, "");
  ::close(folder);
}

TEST(RegularFile, SettingsFilesThatAreNoRegularFileOrTooLargeAreNotRead) {
  TempDir dir;
  plat::IniStore::ClearCache();
  ASSERT_EQ(::mkfifo((dir / "fifo.dao").c_str(), 0600), 0);
  char buffer[64] = {};
  SetLastError(0);
  EXPECT_EQ(GetPrivateProfileString("HEADER", "FileVersion", "none", buffer, sizeof buffer, (dir / "fifo.dao").c_str()),
            4u);
  EXPECT_STREQ(buffer, "none");
  EXPECT_EQ(GetLastError(), ERROR_BAD_FILE_TYPE);

  // One byte above the limit: refused as a whole, not read up to it.
  {
    std::ofstream big(dir / "big.dao", std::ios::binary);
    big << "[HEADER]\nFileVersion=1.0\n";
    big.seekp(static_cast<std::streamoff>(plat::IniStore::kMaxFileBytes));
    big << '\n';
  }
  SetLastError(0);
  GetPrivateProfileString("HEADER", "FileVersion", "none", buffer, sizeof buffer, (dir / "big.dao").c_str());
  EXPECT_STREQ(buffer, "none");
  EXPECT_EQ(GetLastError(), ERROR_FILE_TOO_LARGE);
  // Nothing was written to it either: the edit fails where the read did.
  EXPECT_FALSE(WritePrivateProfileString("HEADER", "FileVersion", "2.0", (dir / "big.dao").c_str()));
  EXPECT_EQ(std::filesystem::file_size(dir / "big.dao"), plat::IniStore::kMaxFileBytes + 1);
}

}  // namespace
