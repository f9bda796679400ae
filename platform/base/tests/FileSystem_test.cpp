#include "platform/base/FileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/PathDialect.h"
#include "platform/base/SplitPath.h"
#include "platform/base/SystemError.h"
#include "platform/base/VirtualClock.h"
#include "platform/base/tests/TempDir.h"

namespace {

std::string Backslashed(std::string s) {
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

void Touch(const std::string& path, const std::string& content = "") { std::ofstream(path, std::ios::binary) << content; }

}  // namespace

TEST(PathDialect, SeparatorsDrivesAndAbsoluteness) {
  EXPECT_EQ(plat::NativePath("c:\\data\\x.dao"), "/data/x.dao");
  EXPECT_EQ(plat::NativePath("D:rel\\x"), "rel/x");
  EXPECT_EQ(plat::NativePath("\\\\server\\share\\f"), "//server/share/f");
  EXPECT_EQ(plat::NativePath("a/b\\c"), "a/b/c");
  EXPECT_EQ(plat::NativePath(""), "");
  EXPECT_TRUE(plat::IsAbsolutePath("\\x"));
  EXPECT_TRUE(plat::IsAbsolutePath("/x"));
  EXPECT_TRUE(plat::IsAbsolutePath("z:"));
  EXPECT_FALSE(plat::IsAbsolutePath("x\\y"));
  EXPECT_FALSE(plat::IsAbsolutePath("1:x"));  // not a drive letter
}

// The name starts after the last separator, or after a drive that begins the path; the folder is what comes before,
// without its closing separators unless they are a root, and "." where nothing names one.
TEST(PathDialect, NameStartAndFolderReadADriveOnlyAtTheStart) {
  const struct {
    const char* path;
    std::size_t nameStart;
    const char* folder;
  } cases[] = {
      {"c:proj.brd", 2, "."}, {"c:", 2, "."}, {"/p/x:proj.brd", 3, "/p"}, {"run-12:30.csv", 0, "."},
      {"", 0, "."}, {"/p/12:30/r.csv", 9, "/p/12:30"}, {"c:\\runs\\12:30.csv", 8, "c:\\runs"},
      {"c:/x.csv", 3, "c:/"}, {"c:\\\\x", 4, "c:\\"}, {"/x", 1, "/"}, {"//x", 2, "/"},
      {"a\\b:c\\\\d:e", 7, "a\\b:c"}, {"1:x", 0, "."}, {"c:x:y", 2, "."}, {"dir/", 4, "dir"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plat::NameStart(c.path), c.nameStart) << c.path;
    EXPECT_EQ(plat::FolderOf(c.path), c.folder) << c.path;
  }
}

TEST(SplitPath, PartsInTheDialect) {
  char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
  _splitpath("c:\\dir/sub\\file.tar.gz", drive, dir, name, ext);
  EXPECT_STREQ(drive, "c:");
  EXPECT_STREQ(dir, "\\dir/sub\\");
  EXPECT_STREQ(name, "file.tar");
  EXPECT_STREQ(ext, ".gz");
  _splitpath("/home/u/.profile", nullptr, dir, name, ext);
  EXPECT_STREQ(dir, "/home/u/");
  EXPECT_STREQ(name, "");
  EXPECT_STREQ(ext, ".profile");
  _splitpath("noext", drive, dir, name, ext);
  EXPECT_STREQ(drive, "");
  EXPECT_STREQ(dir, "");
  EXPECT_STREQ(name, "noext");
  EXPECT_STREQ(ext, "");
  _splitpath("dir.d/", nullptr, dir, name, ext);  // a dot in a directory is no extension
  EXPECT_STREQ(dir, "dir.d/");
  EXPECT_STREQ(ext, "");
}

TEST(SplitPath, MakePathAddsMissingSeparatorsAndDot) {
  char out[_MAX_PATH];
  _makepath(out, nullptr, "/models", "cap", "s2p");
  EXPECT_STREQ(out, "/models/cap.s2p");
  _makepath(out, "c", "\\models\\", "cap", ".s2p");
  EXPECT_STREQ(out, "c:\\models\\cap.s2p");
  _makepath(out, nullptr, "rel", "tool", nullptr);
  EXPECT_STREQ(out, "rel\\tool");
  _makepath(out, "", "", "only", "");
  EXPECT_STREQ(out, "only");
  const std::string longDir(300, 'd');
  _makepath(out, nullptr, longDir.c_str(), "x", "y");
  EXPECT_EQ(std::strlen(out), static_cast<std::size_t>(_MAX_PATH - 1));  // cut, never overrun
}

TEST(FileSystem, AccessAttributesAndBackslashes) {
  TempDir dir;
  const std::string file = dir / "a.txt";
  Touch(file, "x");
  EXPECT_EQ(_access(Backslashed(file).c_str(), 0), 0);
  EXPECT_EQ(_access(Backslashed(dir / "none").c_str(), 0), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(GetFileAttributes(Backslashed(file).c_str()), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributes(dir.Path().string().c_str()), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes((dir / "none").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  Touch(dir / ".hidden");
  EXPECT_EQ(GetFileAttributes((dir / ".hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
  struct _stat st;
  ASSERT_EQ(_stat(Backslashed(file).c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 1);
  EXPECT_TRUE(st.st_mode & _S_IFREG);
  EXPECT_GT(st.st_mtime, 0);
  EXPECT_FALSE(DeleteFile(dir.Path().string().c_str()));  // a directory is not a file
  EXPECT_TRUE(DeleteFile(Backslashed(file).c_str()));
  EXPECT_FALSE(DeleteFile(file.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FileSystem, FopenWrapperModes) {
  TempDir dir;
  const std::string path = Backslashed(dir / "out.txt");
  FILE* f = plat::FOpen(path.c_str(), "wt");
  ASSERT_NE(f, nullptr);
  std::fputs("a\r\nb\n", f);  // text mode writes the bytes as they are
  std::fclose(f);
  f = plat::FOpen(path.c_str(), "ab");
  std::fputs("c", f);
  std::fclose(f);
  std::ifstream in(dir / "out.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "a\r\nb\nc");
  FILE* g = nullptr;
  EXPECT_EQ(fopen_s(&g, Backslashed(dir / "missing").c_str(), "rb"), ENOENT);
  EXPECT_EQ(g, nullptr);
  FILE* held = _fsopen(path.c_str(), "rb", _SH_DENYRW);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(_fsopen(path.c_str(), "rb", _SH_DENYWR), nullptr);
  std::fclose(held);
}

TEST(FileSystem, CurrentDirectory) {
  TempDir dir;
  char old[MAX_PATH];
  ASSERT_GT(GetCurrentDirectory(MAX_PATH, old), 0u);
  ASSERT_TRUE(SetCurrentDirectory(Backslashed(dir.Path().string()).c_str()));
  char now[MAX_PATH];
  const DWORD n = GetCurrentDirectory(MAX_PATH, now);
  EXPECT_EQ(std::filesystem::path(now), std::filesystem::canonical(dir.Path()));
  char tiny[2];
  EXPECT_EQ(GetCurrentDirectory(sizeof tiny, tiny), n + 1);  // the size needed, with the NUL
  EXPECT_FALSE(SetCurrentDirectory("/no/such/dir"));
  SetCurrentDirectory(old);
}

TEST(FileSystem, TempPathAndUniqueNames) {
  TempDir dir;
  plat::SetTempDirectory(dir.Path().string());
  char path[MAX_PATH];
  const DWORD len = GetTempPath(MAX_PATH, path);
  EXPECT_EQ(std::string(path), dir.Path().string() + "/");
  EXPECT_EQ(len, std::strlen(path));
  char small[4];
  EXPECT_EQ(GetTempPath(sizeof small, small), len + 1);

  plat::SetTempNameCounter(0xABC);
  char name[MAX_PATH];
  EXPECT_EQ(GetTempFileName(path, "daoextra", 0, name), 0xABCu);
  EXPECT_EQ(std::string(name), dir.Path().string() + "/daoABC.tmp");
  EXPECT_EQ(_access(name, 0), 0);  // created, empty
  // An existing name is skipped.
  plat::SetTempNameCounter(0xABC);
  EXPECT_EQ(GetTempFileName(path, "dao", 0, name), 0xABDu);
  // A given number only formats the name.
  EXPECT_EQ(GetTempFileName(path, "x", 0x12345, name), 0x2345u);
  EXPECT_EQ(_access(name, 0), -1);
  // Without a set counter the numbers follow the virtual clock.
  plat::SetTempNameCounter(std::nullopt);
  plat::VirtualClock::Reset();
  plat::VirtualClock::Advance(0x10042);
  EXPECT_EQ(GetTempFileName(path, "t", 0, name), 0x42u);
  plat::VirtualClock::Reset();
  plat::SetTempDirectory(std::nullopt);
  EXPECT_EQ(GetTempFileName("/no/such/dir", "dao", 0, name), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FileSystem, DirectoryListing) {
  TempDir dir;
  Touch(dir / "b.DAO");
  Touch(dir / "a.dao");
  Touch(dir / "README");
  std::filesystem::create_directory(dir.Path() / "sub.d");
  auto list = [&](const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATA fd;
    HANDLE h = FindFirstFile(Backslashed(dir / pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
      names.push_back(fd.cFileName);
    } while (FindNextFile(h, &fd));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(h));
    return names;
  };
  EXPECT_EQ(list("*.*"), (std::vector<std::string>{".", "..", "a.dao", "b.DAO", "README", "sub.d"}));
  EXPECT_EQ(list("*.dao"), (std::vector<std::string>{"a.dao", "b.DAO"}));
  EXPECT_EQ(list("?.DaO"), (std::vector<std::string>{"a.dao", "b.DAO"}));
  EXPECT_EQ(list("README.*"), (std::vector<std::string>{"README"}));
  EXPECT_TRUE(list("*.s2p").empty());
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  WIN32_FIND_DATA fd;
  HANDLE h = FindFirstFile((dir / "sub.d").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  FindClose(h);
  EXPECT_FALSE(FindClose(h));
}
