#include "shared/Misc_Path.h"

#include "platform/base/CFile.h"
#include "platform/base/SplitPath.h"
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
  FileNameOfPath("c:\\dir/sub\\name.with.dots", out, 4);
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

// Every splitter of a path reads a drive only as its first two characters (a letter and a colon); a colon anywhere
// else is a character of the name or folder it is in. "folder" is SplitPath's drive and directory, "name" its name,
// "cut" what CutToDirectory leaves; FileNameOfPath, _splitpath and CFile's name and title agree with them.
TEST(Misc_Path, EverySplitterReadsADriveOnlyAtTheStart) {
  const struct {
    const char* path;
    const char* drive;
    const char* folder;
    const char* title;
    const char* extension;
    const char* cut;
  } cases[] = {
      {"c:proj.brd", "c:", "c:", "proj", ".brd", "c:"},   // a drive, no folder
      {"c:", "c:", "c:", "", "", "c:"},
      {"x:proj.brd", "x:", "x:", "proj", ".brd", "x:"},
      {"/p/x:proj.brd", "", "/p/", "x:proj", ".brd", "/p"},   // a colon at 1 of a name
      {"run-12:30.csv", "", "", "run-12:30", ".csv", "run-12:30"},   // in a bare name
      {"/home/u/run-12:30.csv", "", "/home/u/", "run-12:30", ".csv", "/home/u"},
      {"/p/12:30/report.csv", "", "/p/12:30/", "report", ".csv", "/p/12:30"},   // in a folder name
      {"c:\\runs\\12:30.csv", "c:", "c:\\runs\\", "12:30", ".csv", "c:\\runs"},   // after a drive
      {"c:x:y.csv", "c:", "c:", "x:y", ".csv", "c:"},
      {"a\\b:c\\d:e.f", "", "a\\b:c\\", "d:e", ".f", "a\\b:c"},   // backslashes
      {"1:x.csv", "", "", "1:x", ".csv", "1:x"},   // a digit is no drive letter
      {":x", "", "", ":x", "", ":x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const CString name = CString(c.title) + c.extension;
    const CPathParts parts = SplitPath(c.path);
    EXPECT_STREQ(parts.drive, c.drive);
    EXPECT_STREQ(parts.drive + parts.directory, c.folder);
    EXPECT_STREQ(parts.name, c.title);
    EXPECT_STREQ(parts.extension, c.extension);
    EXPECT_STREQ(FileNameOfPath(c.path), name);
    CString cut(c.path);
    CutToDirectory(cut);
    EXPECT_STREQ(cut, c.cut);
    char drive[_MAX_DRIVE], dir[_MAX_DIR], title[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(c.path, drive, dir, title, ext);
    EXPECT_STREQ(CString(drive) + dir, c.folder);
    EXPECT_STREQ(title, c.title);
    EXPECT_STREQ(ext, c.extension);
    CFile file;
    file.SetFilePath(c.path);
    EXPECT_STREQ(file.GetFileName(), name);
    EXPECT_STREQ(file.GetFileTitle(), c.title);
  }
}

}  // namespace
