#include "shared/Misc_Path.h"

#include "platform/base/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

TEST(Misc_Path, RelativeAndAbsolute) {
  EXPECT_TRUE(IsRelativePath("\\dir\\f"));
  EXPECT_FALSE(IsRelativePath("c:f"));
  EXPECT_FALSE(IsRelativePath("\\\\srv\\f"));
  EXPECT_FALSE(IsRelativePath("/home/f"));
  EXPECT_TRUE(IsRelativePath("dir/f"));
  EXPECT_TRUE(IsRelativePath(""));
  EXPECT_TRUE(IsRelativePath(nullptr));
}

TEST(Misc_Path, FindFileExtension) {
  const char* path = "dir/board.v2.dao";
  EXPECT_EQ(FindFileExtension(path), path + 12);
  EXPECT_EQ(FindFileExtension("dir.x\\file"), nullptr);
  EXPECT_EQ(FindFileExtension("a.."), nullptr);
  EXPECT_EQ(FindFileExtension(".profile"), nullptr);
  EXPECT_EQ(FindFileExtension(nullptr), nullptr);
}

TEST(Misc_Path, CutToDirectory) {
  CString path("c:\\work\\board.v2.dao");
  CutToDirectory(path);
  EXPECT_EQ(path, "c:\\work");
  CString bare("board.v2.dao");
  CutToDirectory(bare);
  EXPECT_EQ(bare, "board.v2");   // only the first '.' met is cut
  CString mixed("/a.b/c");
  CutToDirectory(mixed);
  EXPECT_EQ(mixed, "/a.b");
}

TEST(Misc_Path, FileNameOfPathStaysInsideItsBound) {
  char out[8];
  std::memset(out, 'x', sizeof(out));
  FileNameOfPath("c:\\dir/sub:name.with.dots", out, 4);
  EXPECT_STREQ(out, "name");
  EXPECT_EQ(out[5], 'x');
  FileNameOfPath("", out, 4);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(FileNameOfPath("/x/y/board.dao"), "board.dao");
  EXPECT_EQ(FileNameOfPath("trailing/"), "");
}

TEST(Misc_Path, ReplaceExtension) {
  char path[16] = "dir.x/board.brd";
  EXPECT_TRUE(ReplaceExtension(".dao", path, sizeof(path)));
  EXPECT_STREQ(path, "dir.x/board.dao");
  EXPECT_FALSE(ReplaceExtension("longer", path, sizeof(path)));
  EXPECT_STREQ(path, "dir.x/board.dao");
  CString name("report");
  ReplaceExtension("csv", name);
  EXPECT_EQ(name, "report.csv");
}

TEST(Misc_Path, AppendBackslash) {
  CString path("/tmp/out/");
  AppendBackslash(path);
  EXPECT_EQ(path, "/tmp/out\\");
  CString twice("a\\\\");
  AppendBackslash(twice);
  EXPECT_EQ(twice, "a\\");
  CString empty;
  AppendBackslash(empty);
  EXPECT_TRUE(empty.IsEmpty());
}

// Two paths are one when they are byte for byte the same after the lexical reading: case counts, as on the file
// system; separators of either kind, their runs, a trailing one and "." segments do not; ".." segments are kept.
TEST(Misc_Path, PathsEqual) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"/p/a/proj.brd", "/p/a/proj.brd", true},
      {"/p/a/proj.brd", "/p/A/proj.brd", false},   // case: two folders
      {"/p/a/report.csv", "/p/a/REPORT.csv", false},
      {"C:\\Work\\B.dao", "c:/work/b.DAO", false},
      {"/p//a///proj.brd", "/p/a/proj.brd", true},   // doubled separators
      {"//p/a", "/p/a", true},
      {"/p/a/", "/p/a", true},   // trailing separators
      {"/p/a//", "/p/a\\", true},
      {"/", "//", true},
      {"/", "", false},
      {"/p/./a/.", "/p/a", true},   // "." segments
      {"./proj.brd", "proj.brd", true},
      {".", "./", true},
      {"/p/a.", "/p/a", false},
      {"\\p\\a\\proj.brd", "/p/a/proj.brd", true},   // backslashes
      {"C:\\p\\a\\", "C:/p/a", true},
      {"/p/a/../b", "/p/b", false},   // ".." segments as they are
      {"/p/a/./../b", "/p/a/../b", true},
      {"/p/a/b/..", "/p/a", false},
      {"p/a", "/p/a", false},
      {"/p/a", "/p/ab", false},
      {nullptr, "", true},
      {nullptr, "/", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PathsEqual(c.a, c.b), c.equal) << (c.a ? c.a : "null") << " vs " << c.b;
    EXPECT_EQ(PathsEqual(c.b, c.a), c.equal) << c.b << " vs " << (c.a ? c.a : "null");
  }
}

TEST(Misc_Path, HasExtensionFromList) {
  EXPECT_TRUE(HasExtensionFromList("model.S2P", "s2p,s4p", 0));
  EXPECT_FALSE(HasExtensionFromList("model.S2P", "s2p,s4p", 1));
  // An empty entry and a length mismatch no longer end the test.
  EXPECT_TRUE(HasExtensionFromList("model.s4p", "s2p, s4p", 0));
  EXPECT_TRUE(HasExtensionFromList("model.lib", "spice,,lib", 0));
  EXPECT_TRUE(HasExtensionFromList("m.cir", "\"sp\" \"cir\"", 0));
  EXPECT_FALSE(HasExtensionFromList("s2p", "s2p", 0));    // nothing before the '.'
  EXPECT_FALSE(HasExtensionFromList(".s2p", "s2p", 0));
  EXPECT_FALSE(HasExtensionFromList("model.s2p", "", 0));
  EXPECT_FALSE(HasExtensionFromList(nullptr, "s2p", 0));
  EXPECT_FALSE(HasExtensionFromList("models2p", "s2p", 0));
}

TEST(Misc_Path, FilesAndDirectories) {
  const TempDir temp("brim-misc-path");
  const std::filesystem::path& dir = temp.Path();
  const auto file = dir / "f.txt";
  std::ofstream(file) << "x";
  EXPECT_TRUE(FileExists(file.c_str()));
  EXPECT_FALSE(FileExists(dir.c_str()));
  EXPECT_TRUE(DirectoryExists(dir.c_str()));
  EXPECT_FALSE(DirectoryExists(file.c_str()));
  const std::string backslashed = dir.string() + "\\f.txt";
  EXPECT_TRUE(FileExists(backslashed.c_str()));
  EXPECT_FALSE(FileExists(nullptr));
  EXPECT_FALSE(FileExists(""));
}

TEST(Misc_Path, SplitAndMakePath) {
  const CPathParts parts = SplitPath("c:\\work/dir\\board.v2.brd");
  EXPECT_EQ(parts.drive, "c:");
  EXPECT_EQ(parts.directory, "\\work/dir\\");
  EXPECT_EQ(parts.name, "board.v2");
  EXPECT_EQ(parts.extension, ".brd");
  EXPECT_EQ(MakePath(parts.drive, parts.directory, parts.name, "dao"), "c:\\work/dir\\board.v2.dao");
  EXPECT_EQ(MakePath("", "/tmp", "x", ".s2p"), "/tmp\\x.s2p");
  EXPECT_EQ(SplitPath("name").name, "name");
}

}  // namespace
