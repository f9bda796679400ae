#include "safepath/HeldPath.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using safepath::HeldPath;
using safepath::LastName;
using safepath::SharedLinks;

namespace {

// A fresh folder per test, removed afterwards; its path has no link in it.
struct Scratch {
  Scratch() {
    std::string name = (fs::temp_directory_path() / "brim-safepath-XXXXXX").string();
    if (!::mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
    path = fs::canonical(name);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
};

// The name `fd` holds, as the system tells it.
std::string HeldFolder(const HeldPath& held) {
  return fs::read_symlink("/proc/self/fd/" + std::to_string(held.folder())).string();
}

}  // namespace

// The walk resolves a path as the system's lookup does, holding the folder of the last name: links on the way and
// under the name (Follow), ".." after a link from where the link led, a missing last name named, a link to nothing kept
// as the name; a name before a trailing slash must be a folder; more than 40 links are refused.
TEST(HeldPath, WalksAsTheSystemLooksUp) {
  Scratch s;
  fs::create_directories(s.path / "a/b");
  std::ofstream(s.path / "a/b/f") << "f";
  fs::create_directory_symlink(s.path / "a/b", s.path / "to-b");
  fs::create_symlink("b/f", s.path / "a/to-f");
  fs::create_symlink("missing", s.path / "a/dangling");
  fs::create_symlink("b/f/x", s.path / "a/past-file");
  fs::create_symlink("missing/f", s.path / "a/to-missing");
  HeldPath held;
  ASSERT_EQ(held.walk((s.path / "to-b/../b/f").string(), LastName::Follow), 0);
  EXPECT_EQ(HeldFolder(held), (s.path / "a/b").string());
  EXPECT_EQ(held.path(), (s.path / "a/b/f").string());
  ASSERT_EQ(held.walk((s.path / "a/to-f").string(), LastName::Follow), 0);
  EXPECT_EQ(held.path(), (s.path / "a/b/f").string());
  ASSERT_EQ(held.walk((s.path / "a/to-f").string(), LastName::Keep), 0);
  EXPECT_EQ(held.path(), (s.path / "a/to-f").string());
  ASSERT_EQ(held.walk((s.path / "a/b/new").string(), LastName::Follow), 0);
  EXPECT_EQ(held.leaf(), "new");
  EXPECT_EQ(HeldFolder(held), (s.path / "a/b").string());
  ASSERT_EQ(held.walkToFile((s.path / "a/dangling").string()), 0);
  EXPECT_FALSE(held.exists());
  EXPECT_EQ(held.path(), (s.path / "a/dangling").string());
  ASSERT_EQ(held.walkToFile((s.path / "to-b/f").string()), 0);
  EXPECT_TRUE(held.exists());
  EXPECT_EQ(held.file().st_size, 1);

  // Behind a link too: a link whose file cannot be reached is not one that leads to no file.
  for (const char* past : {"a/b/f/", "a/b/f/.", "a/b/f/x", "a/to-f/", "a/past-file"}) {
    EXPECT_EQ(held.walkToFile((s.path / past).string()), ENOTDIR) << past;
    EXPECT_FALSE(held.refused()) << past;
  }
  for (const char* folder : {"a/b", "a/b/", "to-b/.", "a/.."}) EXPECT_EQ(held.walkToFile((s.path / folder).string()), EISDIR) << folder;
  for (const char* missing : {"a/missing/f", "a/to-missing"}) EXPECT_EQ(held.walkToFile((s.path / missing).string()), ENOENT) << missing;
  EXPECT_EQ(held.walkToFile("/"), EISDIR);

  for (int i = 0; i < 41; ++i) fs::create_symlink("l" + std::to_string(i + 1), s.path / ("l" + std::to_string(i)));
  fs::create_symlink(s.path / "a/b/f", s.path / "l41");
  EXPECT_EQ(held.walk((s.path / "l2").string(), LastName::Follow), 0);  // 40 links, as the system follows
  EXPECT_EQ(held.walk((s.path / "l1").string(), LastName::Follow), ELOOP);
  EXPECT_TRUE(held.refused());
  fs::create_symlink("loop", s.path / "loop");
  EXPECT_EQ(held.walk((s.path / "loop/f").string(), LastName::Keep), ELOOP);
}

// In a folder every user may write, sticky or not, a link or a file of another user (neither this user nor the
// folder's owner) is refused wherever the walk meets it; this user's own and the folder owner's are followed, except
// under SharedLinks::None, which follows no link there. The tests run as root, which alone can give an entry away.
TEST(HeldPath, RefusesWhatAnotherUserPlantedInAFolderEveryUserMayWrite) {
  for (const mode_t mode : {mode_t{01777}, mode_t{0777}}) {
    SCOPED_TRACE(mode);
    Scratch s;
    const fs::path shared = s.path / "shared", mine = s.path / "mine";
    fs::create_directories(mine);
    fs::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), mode), 0);
    std::ofstream(mine / "f") << "mine";
    std::ofstream(shared / "theirs") << "theirs";
    fs::create_directory_symlink(mine, shared / "planted");
    fs::create_directory_symlink(mine, shared / "own");
    ASSERT_EQ(::lchown((shared / "planted").c_str(), 4321, 4321), 0);
    ASSERT_EQ(::chown((shared / "theirs").c_str(), 4321, 4321), 0);
    fs::create_directory_symlink(shared / "planted", s.path / "through");

    HeldPath held;
    for (const fs::path& name : {shared / "planted/f", shared / "planted", s.path / "through/f"}) {
      EXPECT_EQ(held.walkToFile(name.string()), EACCES) << name;
      EXPECT_TRUE(held.refused()) << name;
    }
    EXPECT_EQ(held.walk((shared / "planted").string(), LastName::Keep), 0);  // the name itself is not followed
    EXPECT_EQ(held.walkToFile((shared / "theirs").string()), EACCES);
    EXPECT_TRUE(held.refused());
    ASSERT_EQ(held.walkToFile((shared / "own/f").string()), 0);
    EXPECT_EQ(held.path(), (mine / "f").string());
    EXPECT_EQ(held.walkToFile((shared / "own/f").string(), SharedLinks::None), EACCES);

    ASSERT_EQ(::chown(shared.c_str(), 4321, 4321), 0);  // now the folder's owner's: theirs to keep there
    EXPECT_EQ(held.walkToFile((shared / "planted/f").string()), 0);
    EXPECT_EQ(held.walkToFile((shared / "theirs").string()), 0);
  }
}

// The folder a walk holds is the one it checked: a link put in its place afterwards changes nothing made through
// the descriptor. A unique file is made under a new name only, never through a link or over a file.
TEST(HeldPath, FilesAreMadeInTheHeldFolderUnderNewNames) {
  Scratch s;
  fs::create_directories(s.path / "dir");
  fs::create_directories(s.path / "elsewhere");
  HeldPath held;
  ASSERT_EQ(held.walkToFile((s.path / "dir/new.txt").string()), 0);
  fs::rename(s.path / "dir", s.path / "moved");
  fs::create_directory_symlink(s.path / "elsewhere", s.path / "dir");
  std::string name;
  const int fd = safepath::CreateUniqueFile(held.folder(), "." + held.leaf() + ".", ".new", 0600, name);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(name.rfind(".new.txt.", 0), 0u);
  EXPECT_EQ(name.size(), std::string(".new.txt.").size() + 16 + 4);
  EXPECT_TRUE(fs::exists(s.path / "moved" / name));
  EXPECT_TRUE(fs::is_empty(s.path / "elsewhere"));
  std::string other;
  const int second = safepath::CreateUniqueFile(held.folder(), "." + held.leaf() + ".", ".new", 0600, other);
  ASSERT_GE(second, 0);
  ::close(second);
  EXPECT_NE(other, name);
  // A prefix too long for the limit on a name is cut to fit it.
  const int longest = safepath::CreateUniqueFile(held.folder(), "." + std::string(255, 'l') + ".", ".new", 0600, other);
  ASSERT_GE(longest, 0);
  ::close(longest);
  EXPECT_EQ(other.size(), 255u);
}

// Folders are made a name at a time where the walk stands: through the user's own links, never through a link another
// user put in a folder every user may write, and not over a file on the way.
TEST(HeldPath, MakesTheFoldersOnTheWayWhereTheWalkStands) {
  Scratch s;
  fs::create_directories(s.path / "mine");
  fs::create_directories(s.path / "shared");
  ASSERT_EQ(::chmod((s.path / "shared").c_str(), 01777), 0);
  fs::create_directory_symlink(s.path / "mine", s.path / "to-mine");
  fs::create_directory_symlink(s.path / "mine", s.path / "shared/theirs");
  ASSERT_EQ(::lchown((s.path / "shared/theirs").c_str(), 4321, 4321), 0);  // another user's (the tests run as root)
  std::ofstream(s.path / "file") << "f";
  HeldPath held;
  ASSERT_EQ(held.makeFolders((s.path / "to-mine/a/b").string()), 0);
  EXPECT_TRUE(fs::is_directory(s.path / "mine/a/b"));
  EXPECT_EQ(HeldFolder(held), (s.path / "mine/a/b").string());
  EXPECT_EQ(held.makeFolders((s.path / "to-mine/a/b").string()), 0);  // already there
  EXPECT_EQ(held.makeFolders((s.path / "shared/theirs/new").string()), EACCES);
  EXPECT_TRUE(held.refused());
  EXPECT_FALSE(fs::exists(s.path / "mine/new"));
  EXPECT_EQ(held.makeFolders((s.path / "file/new").string()), ENOTDIR);
  EXPECT_EQ(held.makeFolders((s.path / "file").string()), ENOTDIR);
  EXPECT_EQ(held.makeFolders(""), ENOENT);
}

// A cut never splits a UTF-8 sequence, and bytes that continue no sequence (a name that is not UTF-8) are cut where
// they stand rather than stepped back over to nothing.
TEST(HeldPath, CharacterCutSplitsNoSequenceAndCutsOtherBytesWhereTheyStand) {
  const struct {
    const char* name;
    std::string text;
    std::size_t most, cut;
  } cases[] = {
      {"fits whole", "abc", 5, 3},
      {"plain bytes", "abcdef", 4, 4},
      {"before a two-byte sequence", "ab\xc3\xa9", 3, 2},
      {"after a two-byte sequence", "ab\xc3\xa9z", 4, 4},
      {"inside a four-byte sequence", "a\xf0\x9f\x98\x80z", 4, 1},
      {"at the last byte of a four-byte sequence", "a\xf0\x9f\x98\x80z", 5, 5},
      {"a sequence at the start", "\xf0\x9f\x98\x80", 3, 0},
      {"continuation bytes only", std::string(10, '\x80'), 6, 6},
      {"continuation bytes after a letter", "a" + std::string(9, '\xbf'), 7, 7},
  };
  for (const auto& c : cases) EXPECT_EQ(safepath::CharacterCut(c.text, c.most), c.cut) << c.name;
}

// A temporary file's name made from the longest names keeps its leading dot, so that it stays hidden (and a kill
// leaves no visible file), and the name's first bytes; it fits a file name's limit.
TEST(HeldPath, ATemporaryNameOfTheLongestNameStaysHidden) {
  Scratch s;
  const struct {
    const char* name;
    std::string leaf;
  } cases[] = {
      {"letters", std::string(255, 'l')},
      {"two-byte characters", [] {
         std::string t;
         while (t.size() < 254) t += "\xc3\xa9";
         return t + "a";
       }()},
      {"bytes that are not UTF-8", std::string(255, '\x80')},
  };
  HeldPath held;
  ASSERT_EQ(held.walk((s.path / "x").string(), LastName::Keep), 0);
  for (const auto& c : cases) {
    for (const std::string suffix : {"", ".new"}) {
      SCOPED_TRACE(std::string(c.name) + " " + suffix);
      std::string made;
      const int fd = safepath::CreateUniqueFile(held.folder(), "." + c.leaf + ".", suffix, 0600, made);
      ASSERT_GE(fd, 0) << errno;
      ::close(fd);
      EXPECT_LE(made.size(), 255u);
      EXPECT_GE(made.size(), 252u);  // less only where a character would be split
      EXPECT_EQ(made.front(), '.');
      EXPECT_EQ(made.compare(1, 8, c.leaf, 0, 8), 0) << made;
      EXPECT_EQ(made.compare(made.size() - suffix.size() - 17, 1, "."), 0) << made;
      EXPECT_TRUE(fs::exists(s.path / made));
    }
  }
}
