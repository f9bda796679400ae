#include "platform/base/AtomicFile.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/base/FileFaults.h"
#include "platform/base/FileSystem.h"
#include "fieldsolver/SelfTestRecorder.h"
#include "fieldsolver/SmartCache.h"
#include "platform/base/PrivateProfile.h"
#include "platform/base/IniStore.h"
#include "platform/base/ProfileBatch.h"
#include "platform/base/RegistryStore.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"
#include "platform/base/tests/FolderSwapper.h"
#include "platform/base/tests/TempDir.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/gdiapi.h"
#include "safepath/SaveLock.h"
#include "safepath/tests/AnotherUser.h"
#include "safepath/tests/InheritedDescriptors.h"
#include "safepath/tests/OtherLocks.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

ino_t Inode(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_ino;
}

long Entries(const std::filesystem::path& dir) {
  return std::distance(std::filesystem::directory_iterator(dir), {});
}

// Sets an environment variable (none: unsets it) for a scope.
struct EnvScope {
  EnvScope(const char* name, const std::optional<std::string>& value) : name(name) {
    if (const char* was = std::getenv(name)) old = was;
    value ? (void)::setenv(name, value->c_str(), 1) : (void)::unsetenv(name);
  }
  ~EnvScope() { old ? (void)::setenv(name, old->c_str(), 1) : (void)::unsetenv(name); }
  const char* name;
  std::optional<std::string> old;
};

}  // namespace

// The owner's missing write bit stops the replace even for a privileged process; so does the seam's read-only
// file. Neither the content nor the folder changes.
TEST(AtomicFile, AFileItsOwnerMayNotWriteIsNeverReplaced) {
  TempDir dir;
  const std::string file = dir / "s.dao";
  Put(file, "old");
  ::chmod(file.c_str(), 0444);
  int err = 0;
  EXPECT_FALSE(plat::WriteFileAtomically(file, "new", err));
  EXPECT_EQ(err, EACCES);
  EXPECT_EQ(ReadAll(file), "old");
  EXPECT_EQ(Entries(dir.Path()), 1);

  ::chmod(file.c_str(), 0644);
  {
    plat::FileFaultScope faults(plat::ReadOnlyFileFaults(file));
    err = 0;
    EXPECT_FALSE(plat::WriteFileAtomically(file, "new", err));
    EXPECT_EQ(err, EACCES);
    EXPECT_NE(GetFileAttributes(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  }
  EXPECT_EQ(ReadAll(file), "old");
  EXPECT_EQ(GetFileAttributes(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_TRUE(plat::WriteFileAtomically(file, "new", err));
  EXPECT_EQ(ReadAll(file), "new");
}

// Where no temporary file can be made, an existing writable file is written where it is (same inode), and a new
// file cannot be made at all; a symbolic link's target is the file written. The text waits in memory, not in the
// temporary folder (missing here), also when it is streamed to a file with a second hard link.
TEST(AtomicFile, AWritableFileInAFolderWithoutRoomForATemporaryIsWrittenInPlace) {
  TempDir dir;
  EnvScope tmpdir("TMPDIR", dir / "missing");
  const std::string file = dir / "s.dao";
  Put(file, "a much longer old text");
  const ino_t before = Inode(file);
  plat::FileFaultScope faults(plat::ReadOnlyFolderFaults(dir.Path().string()));
  int err = 0;
  ASSERT_TRUE(plat::WriteFileAtomically(file, "new", err)) << err;
  EXPECT_EQ(ReadAll(file), "new");
  EXPECT_EQ(Inode(file), before);
  EXPECT_EQ(Entries(dir.Path()), 1);

  const std::string link = dir / "link.dao";
  std::filesystem::create_symlink(file, link);
  EXPECT_TRUE(plat::WriteFileAtomically(link, "through the link", err));
  EXPECT_EQ(ReadAll(file), "through the link");
  EXPECT_TRUE(std::filesystem::is_symlink(link));

  err = 0;
  EXPECT_FALSE(plat::WriteFileAtomically(dir / "new.dao", "x", err));
  EXPECT_EQ(err, EACCES);
  EXPECT_FALSE(std::filesystem::exists(dir / "new.dao"));
  // Deleting in the folder is refused too, as the folder's missing write permission would.
  EXPECT_FALSE(DeleteFile(file.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_NE(_access(dir.Path().string().c_str(), 2), 0);
  EXPECT_EQ(_access(file.c_str(), 2), 0);

  ASSERT_EQ(::link(file.c_str(), (dir / "second.dao").c_str()), 0);
  plat::AtomicFile printed;
  const std::string pages(200000, 'p');  // more than the write buffer holds
  ASSERT_TRUE(printed.open(file) && printed.write(pages) && printed.flush() && printed.commit()) << printed.error();
  EXPECT_TRUE(ReadAll(dir / "second.dao") == pages);
}

// Every failure reaches the caller with its reason and leaves the old file and no temporary behind.
TEST(AtomicFile, EveryFailureReachesTheCaller) {
  TempDir dir;
  const std::string file = dir / "s.dao";
  Put(file, "old");
  int err = 0;
  EXPECT_FALSE(plat::WriteFileAtomically(dir.Path().string(), "x", err));
  EXPECT_EQ(err, EISDIR);
  EXPECT_FALSE(plat::WriteFileAtomically(dir / "missing/s.dao", "x", err));
  EXPECT_EQ(err, ENOENT);
  // A name that runs on past a file: the file is no folder, and is not taken for the name.
  for (const std::string& past : {file + "/", file + "/.", file + "/x"}) {
    EXPECT_FALSE(plat::WriteFileAtomically(past, "x", err)) << past;
    EXPECT_EQ(err, ENOTDIR) << past;
  }
  // Nor behind the user's own link, in a folder of theirs: a file the link leads to that cannot be reached (in a folder
  // closed to them, past a file, in a missing folder) is no new file; the link stays and what it leads to too.
  const std::filesystem::path own = dir / "own";
  std::filesystem::create_directories(own / "locked");
  Put(own / "locked/d.dao", "locked");
  Put(own / "afile", "a file");
  for (const auto& [link, to] : {std::pair{"d.dao", "locked/d.dao"}, {"n.dao", "afile/x.dao"}, {"g.dao", "gone/g.dao"}})
    std::filesystem::create_symlink(to, own / link);
  ASSERT_TRUE(another_user::GiveTree(own));
  ASSERT_EQ(::chmod((own / "locked").c_str(), 0600), 0);
  for (const auto& [link, reason] : {std::pair{"d.dao", EACCES}, {"n.dao", ENOTDIR}, {"g.dao", ENOENT}}) {
    EXPECT_EQ(another_user::Run(own, [link = link] {
                int e = 0;
                return plat::WriteFileAtomically(link, "new", e) ? 0 : e;
              }),
              reason)
        << link;
    EXPECT_TRUE(std::filesystem::is_symlink(own / link)) << link;
  }
  ASSERT_EQ(::chmod((own / "locked").c_str(), 0700), 0);
  EXPECT_EQ(ReadAll(own / "locked/d.dao"), "locked");
  EXPECT_EQ(ReadAll(own / "afile"), "a file");
  std::filesystem::remove_all(own);
  {
    plat::FileFaultScope faults(plat::FullDiskFaults());
    EXPECT_FALSE(plat::WriteFileAtomically(file, "new", err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_FALSE(plat::WriteFileAtomically(dir / "other.dao", "new", err));
    EXPECT_EQ(err, ENOSPC);
  }
  {
    plat::FileFaultScope faults([](plat::FileStep step, const std::string&) {
      return step == plat::FileStep::Replace ? EXDEV : 0;
    });
    EXPECT_FALSE(plat::WriteFileAtomically(file, "new", err));
    EXPECT_EQ(err, EXDEV);
  }
  EXPECT_EQ(ReadAll(file), "old");
  EXPECT_EQ(Entries(dir.Path()), 1);

  // The profile functions report the same failures through the last error.
  plat::IniStore::ClearCache();
  ::chmod(file.c_str(), 0444);
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", file.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ::chmod(file.c_str(), 0644);
  plat::FileFaultScope faults(plat::FullDiskFaults());
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", file.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(ReadAll(file), "old");
}

// Written in place, the only copy is never given up before the new text fits: a full disk (no room can be
// reserved, no byte written) fails with the old text whole, whether the new text is longer or shorter; a file
// system that reserves no room has the new text's tail appended first, and a failure there cuts it off again; a
// failed flush is reported, not taken as success.
TEST(AtomicFile, AnInPlaceWriteKeepsTheOldTextUntilTheNewOneFits) {
  TempDir dir;
  const std::string file = dir / "s.dao";
  const std::string old(20000, 'o');
  Put(file, old);
  const plat::FileFaultHook readOnlyFolder = plat::ReadOnlyFolderFaults(dir.Path().string());
  auto with = [&](plat::FileFaultHook more) {
    return [readOnlyFolder, more](plat::FileStep step, const std::string& path) {
      const int e = readOnlyFolder(step, path);
      return e ? e : more(step, path);
    };
  };
  int err = 0;
  {
    plat::FileFaultScope faults(with(plat::FullDiskFaults()));
    EXPECT_FALSE(plat::WriteFileAtomically(file, std::string(30000, 'n'), err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_TRUE(ReadAll(file) == old);
    EXPECT_FALSE(plat::WriteFileAtomically(file, "short", err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_TRUE(ReadAll(file) == old);
  }
  {
    plat::FileFaultScope faults(with([](plat::FileStep step, const std::string&) {
      return step == plat::FileStep::Reserve ? EOPNOTSUPP : step == plat::FileStep::Write ? ENOSPC : 0;
    }));
    EXPECT_FALSE(plat::WriteFileAtomically(file, std::string(30000, 'n'), err));
    EXPECT_EQ(err, ENOSPC);
    EXPECT_TRUE(ReadAll(file) == old);
  }
  {
    plat::FileFaultScope faults(with([](plat::FileStep step, const std::string&) {
      return step == plat::FileStep::Reserve ? EOPNOTSUPP : 0;
    }));
    const std::string longer = std::string(20000, 'a') + std::string(10000, 'b');
    ASSERT_TRUE(plat::WriteFileAtomically(file, longer, err)) << err;
    EXPECT_TRUE(ReadAll(file) == longer);
  }
  {
    plat::FileFaultScope faults(with([](plat::FileStep step, const std::string&) {
      return step == plat::FileStep::Flush ? EIO : 0;
    }));
    EXPECT_FALSE(plat::WriteFileAtomically(file, "flushed?", err));
    EXPECT_EQ(err, EIO);
  }
  plat::FileFaultScope faults(readOnlyFolder);
  ASSERT_TRUE(plat::WriteFileAtomically(file, "longer than before? no", err)) << err;
  EXPECT_EQ(ReadAll(file), "longer than before? no");
  ASSERT_TRUE(plat::WriteFileAtomically(file, std::string(25000, 'z'), err)) << err;
  EXPECT_TRUE(ReadAll(file) == std::string(25000, 'z'));
  EXPECT_EQ(Entries(dir.Path()), 1);
}

// A replace keeps the file's owner and group. Where they cannot be given to the temporary file, and where the
// file has a second hard link, the file is written where it is: same inode, owner and links, the new text.
TEST(AtomicFile, AReplaceKeepsTheOwnerGroupAndLinksOrWritesInPlace) {
  TempDir dir;
  const std::string file = dir / "s.dao", link = dir / "second.dao";
  Put(file, "old text");
  int err = 0;
  struct stat st {};
  if (::geteuid() == 0) {  // only root can give a file to another user
    ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
    ASSERT_TRUE(plat::WriteFileAtomically(file, "new", err)) << err;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(4321u, 4322u));
    const ino_t before = Inode(file);
    plat::FileFaultScope faults([](plat::FileStep step, const std::string&) {
      return step == plat::FileStep::Own ? EPERM : 0;
    });
    ASSERT_TRUE(plat::WriteFileAtomically(file, "in place", err)) << err;
    EXPECT_EQ(Inode(file), before);
    EXPECT_EQ(ReadAll(file), "in place");
  }
  ASSERT_EQ(::link(file.c_str(), link.c_str()), 0);
  ASSERT_TRUE(plat::WriteFileAtomically(file, "both names", err)) << err;
  EXPECT_EQ(ReadAll(link), "both names");
  EXPECT_EQ(Entries(dir.Path()), 2);
  // An empty text over an empty file there (a batch that adds a section and takes it away): no room to reserve.
  Put(file, "");
  plat::IniStore::ClearCache();
  plat::ProfileBatch batch(file.c_str());
  EXPECT_TRUE(WritePrivateProfileString("T", "m", "1", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileString("T", nullptr, nullptr, file.c_str()));
  EXPECT_TRUE(batch.Close()) << plat::SystemErrorText(GetLastError());
  EXPECT_EQ(ReadAll(link), "");
  EXPECT_EQ(Entries(dir.Path()), 2);
}

// The temporary file is flushed before it takes the file's name, and the folder after; a failed flush of the text
// fails the replace with the old file and no temporary left. At the rename the temporary file holds its own write
// lock, which holds off even a read lock of another open (a save of another program that finds it under the name).
TEST(AtomicFile, AReplaceFlushesTheTextBeforeTheRenameAndTheFolderAfter) {
  TempDir dir;
  const std::string folder = std::filesystem::canonical(dir.Path()).string(), file = folder + "/s.dao";
  Put(file, "old");
  std::vector<std::pair<plat::FileStep, std::string>> steps;
  short lockSeen = F_UNLCK;
  int err = 0;
  plat::FileFaultScope faults([&](plat::FileStep step, const std::string& path) {
    if (step == plat::FileStep::Flush || step == plat::FileStep::Replace) steps.emplace_back(step, path);
    // What another open of the temporary file meets as it asks for a read lock.
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (step != plat::FileStep::Replace || entry.path() == file) continue;
      struct flock ask {};
      ask.l_type = F_RDLCK;
      const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
      if (fd >= 0 && ::fcntl(fd, F_OFD_GETLK, &ask) == 0) lockSeen = ask.l_type;
      if (fd >= 0) ::close(fd);
    }
    return step == plat::FileStep::Flush && path == file && steps.size() > 3 ? EIO : 0;
  });
  ASSERT_TRUE(plat::WriteFileAtomically(file, "new", err)) << err;
  EXPECT_EQ(steps, (std::vector<std::pair<plat::FileStep, std::string>>{
                       {plat::FileStep::Flush, file}, {plat::FileStep::Replace, file}, {plat::FileStep::Flush, folder}}));
  EXPECT_EQ(lockSeen, F_WRLCK);
  EXPECT_FALSE(plat::WriteFileAtomically(file, "lost?", err));
  EXPECT_EQ(err, EIO);
  EXPECT_EQ(ReadAll(file), "new");
  EXPECT_EQ(Entries(dir.Path()), 1);
}

// A fresh file replaces nothing and follows no link. In a folder every user may write, a link another user planted
// under its name (to a file of this user) and a file of another user under the next name keep what they are; so
// does a name taken while the text is written. The text takes the first free name, which path() answers.
TEST(AtomicFile, AFreshFileTakesAFreeNameAndNeverWritesThroughWhatOthersPlanted) {
  // The same on a file system whose rename cannot refuse to replace, where a hard link takes the free name.
  for (const bool renameReplacesAlways : {false, true}) {
    SCOPED_TRACE(renameReplacesAlways);
    plat::FileFaultScope fallback([renameReplacesAlways](plat::FileStep step, const std::string&) {
      return renameReplacesAlways && step == plat::FileStep::TakeFreeName ? EINVAL : 0;
    });
    TempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 01777), 0);
    const std::string mine = dir / "mine.txt", link = dir / "Budget.pdf", theirs = dir / "Budget-2.pdf";
    Put(mine, "mine");
    std::filesystem::create_symlink(mine, link);
    Put(theirs, "theirs");
    ::chmod(theirs.c_str(), 0666);
    if (::geteuid() == 0) {  // only root can give a file to another user
      ASSERT_EQ(::lchown(link.c_str(), 4321, 4321), 0);
      ASSERT_EQ(::chown(theirs.c_str(), 4321, 4321), 0);
    }
    plat::AtomicFile file;
    ASSERT_TRUE(file.open(link, plat::AtomicFile::Naming::Fresh)) << file.error();
    ASSERT_TRUE(file.write("printed"));
    Put(dir / "Budget-3.pdf", "taken meanwhile");
    ASSERT_TRUE(file.commit()) << file.error();
    EXPECT_EQ(file.path(), dir / "Budget-4.pdf");
    EXPECT_EQ(ReadAll(file.path()), "printed");
    EXPECT_EQ(ReadAll(mine), "mine");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadAll(theirs), "theirs");
    EXPECT_EQ(Entries(dir.Path()), 5);  // no temporary left
    struct stat st {};
    ASSERT_EQ(::stat(file.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, ::geteuid());
  }
}

// A name of the longest length a file system takes (255 bytes) saves fresh and replaced: its temporary file gets a
// shorter name, and a fresh file's numbered name gives the stem's last characters (never half of one) for the number.
TEST(AtomicFile, ANameOfTheLongestLengthSavesFreshAndReplaced) {
  TempDir dir;
  std::string stem;
  while (stem.size() < 250) stem += "\xc3\xa9";  // "é", two bytes
  const std::string file = dir / (stem + "a.pdf");
  for (const char* text : {"fresh", "numbered"}) {
    plat::AtomicFile fresh;
    ASSERT_TRUE(fresh.open(file, plat::AtomicFile::Naming::Fresh) && fresh.write(text) && fresh.commit())
        << text << " " << fresh.error();
    EXPECT_EQ(ReadAll(fresh.path()), text);
  }
  EXPECT_EQ(ReadAll(dir / (stem.substr(0, 248) + "-2.pdf")), "numbered");
  int err = 0;
  ASSERT_TRUE(plat::WriteFileAtomically(file, "replaced", err)) << err;
  EXPECT_EQ(ReadAll(file), "replaced");
  EXPECT_EQ(Entries(dir.Path()), 2);
}

// A file written in place ends with the new text even when another writer lengthened it while the text was being
// written (a long print): no tail of the other text stays behind it.
TEST(AtomicFile, AFileWrittenInPlaceEndsWithTheNewTextWhenItGrewMeanwhile) {
  TempDir dir;
  const std::string file = dir / "Budget.pdf", link = dir / "second.pdf";
  Put(file, "old");
  ASSERT_EQ(::link(file.c_str(), link.c_str()), 0);
  plat::AtomicFile printed;
  ASSERT_TRUE(printed.open(file)) << printed.error();
  ASSERT_TRUE(printed.write("new text"));
  Put(link, "another writer's longer text");
  ASSERT_TRUE(printed.commit()) << printed.error();
  EXPECT_EQ(ReadAll(file), "new text");
}

// In a folder every user may write, sticky (as /tmp) or not, what another user put there is neither followed nor
// written: a link to a file of this user under the name or on the way to it (for a fresh file too), a file writable
// by all. Each save is refused (EACCES), all as it was, and a check before a load answers the same. This user's own
// link and the folder owner's file are not.
TEST(AtomicFile, ASaveInASharedFolderRefusesWhatAnotherUserPlanted) {
  for (const mode_t mode : {mode_t{01777}, mode_t{0777}}) {
    SCOPED_TRACE(mode);
    TempDir dir;
    const std::filesystem::path shared = dir / "shared";
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), mode), 0);
    const std::string mine = dir / "mine.pdf", theirs = shared / "theirs.dao";
    Put(mine, "mine");
    Put(theirs, "theirs");
    ASSERT_EQ(::chmod(theirs.c_str(), 0666), 0);
    std::filesystem::create_symlink(mine, shared / "report.pdf");
    std::filesystem::create_symlink(dir.Path(), shared / "folder");
    // Another user's (the tests run as root, which alone can give a file away).
    ASSERT_EQ(::chown(theirs.c_str(), 4321, 4321), 0);
    ASSERT_EQ(::lchown((shared / "report.pdf").c_str(), 4321, 4321), 0);
    ASSERT_EQ(::lchown((shared / "folder").c_str(), 4321, 4321), 0);
    const std::vector<std::string> planted{shared / "report.pdf", shared / "folder" / "mine.pdf", theirs};
    for (const std::string& name : planted) {
      SCOPED_TRACE(name);
      int err = 0;
      EXPECT_FALSE(plat::WriteFileAtomically(name, "new", err));
      EXPECT_EQ(err, EACCES);
      EXPECT_EQ(plat::PlantedRefusal(name), EACCES);
    }
    plat::AtomicFile fresh;
    EXPECT_FALSE(fresh.open(shared / "folder" / "new.pdf", plat::AtomicFile::Naming::Fresh));
    EXPECT_EQ(fresh.error(), EACCES);
    EXPECT_EQ(ReadAll(mine), "mine");
    EXPECT_EQ(ReadAll(theirs), "theirs");
    EXPECT_TRUE(std::filesystem::is_symlink(shared / "report.pdf"));
    EXPECT_EQ(Entries(shared), 3);
    EXPECT_EQ(Entries(dir.Path()), 2);
    std::filesystem::create_symlink(mine, shared / "own.pdf");
    EXPECT_EQ(plat::PlantedRefusal(shared / "own.pdf"), 0);
    int err = 0;
    ASSERT_TRUE(plat::WriteFileAtomically(shared / "own.pdf", "through my link", err)) << err;
    EXPECT_EQ(ReadAll(mine), "through my link");
    ASSERT_EQ(::chown(shared.c_str(), 4321, 4321), 0);
    EXPECT_EQ(plat::PlantedRefusal(theirs), 0);
    ASSERT_TRUE(plat::WriteFileAtomically(theirs, "the folder's owner's", err)) << err;
    EXPECT_EQ(ReadAll(theirs), "the folder's owner's");
  }
}

// A folder on the way to the file is swapped, again and again and atomically, with another user's link to a folder
// of this user, while saves run (replacing and fresh): each save writes in the folder it checked or is refused, so
// nothing lands behind the link and no temporary file is left there.
TEST(AtomicFile, ASaveKeepsToTheFolderItCheckedWhileALinkIsSwappedIn) {
  for (const mode_t mode : {mode_t{01777}, mode_t{0777}}) {
    SCOPED_TRACE(mode);
    TempDir dir;
    const std::filesystem::path shared = dir / "shared", home = dir / "home";
    std::filesystem::create_directories(shared / "dir");
    std::filesystem::create_directory(home);
    ASSERT_EQ(::chmod(shared.c_str(), mode), 0);
    Put(home / "p.dao", "mine");
    std::filesystem::create_directory_symlink(home, shared / "link");
    ASSERT_EQ(::lchown((shared / "link").c_str(), 4321, 4321), 0);  // another user's (the tests run as root)
    int refused = 0;
    std::optional<FolderSwapper> swapper(std::in_place, shared / "dir", shared / "link");
    for (int i = 0; i < 300; ++i) {
      int err = 0;
      if (i % 3 == 2) {
        plat::AtomicFile fresh;
        if (!fresh.open(shared / "dir" / "fresh.pdf", plat::AtomicFile::Naming::Fresh) || !fresh.write("printed") ||
            !fresh.commit())
          err = fresh.error();
      } else if (!plat::WriteFileAtomically(shared / "dir" / "p.dao", "save " + std::to_string(i), err)) {
        EXPECT_EQ(err, EACCES);
      }
      refused += err != 0;
    }
    swapper.reset();
    EXPECT_EQ(ReadAll(home / "p.dao"), "mine");
    EXPECT_EQ(Entries(home), 1) << refused << " refused";
  }
}

// A file written in place is written only where its name still holds the file the save began on: a file of the
// user's own exchanged in for it meanwhile (no other user's, so the owner rule lets it pass) is refused as busy and
// keeps its text, and so does the file the save began on.
TEST(AtomicFile, AFileWrittenInPlaceIsRefusedWhenItsNameNowHoldsAnotherFile) {
  TempDir dir;
  const std::string file = dir / "Budget.pdf", link = dir / "second.pdf", other = dir / "other.pdf";
  Put(file, "old");
  ASSERT_EQ(::link(file.c_str(), link.c_str()), 0);
  Put(other, "another file");
  plat::AtomicFile printed;
  ASSERT_TRUE(printed.open(file)) << printed.error();
  ASSERT_TRUE(printed.write("new text"));
  ASSERT_EQ(::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, other.c_str(), RENAME_EXCHANGE), 0);
  EXPECT_FALSE(printed.commit());
  EXPECT_EQ(printed.error(), EBUSY);
  EXPECT_EQ(ReadAll(file), "another file");
  EXPECT_EQ(ReadAll(link), "old");
}

// In a folder every user may write without the sticky bit, another user keeps exchanging their file (writable by all)
// and their FIFO with a file of this user's that has a second hard link, while it is saved in place: each save writes
// the very file its walk judged or is refused, so their file keeps its text, and none waits on the FIFO.
TEST(AtomicFile, AnInPlaceSaveWritesOnlyTheFileItsWalkJudgedWhileAnotherUserExchangesTheirs) {
  TempDir dir;
  const std::filesystem::path shared = dir / "shared";
  std::filesystem::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
  Put(shared / "d.dao", "mine");
  ASSERT_EQ(::link((shared / "d.dao").c_str(), (dir / "second.dao").c_str()), 0);
  Put(shared / "x.dao", "theirs");
  ASSERT_EQ(::chmod((shared / "x.dao").c_str(), 0666), 0);
  ASSERT_EQ(::mkfifo((shared / "fifo.dao").c_str(), 0666), 0);
  another_user::Files theirs;
  ASSERT_TRUE(theirs.give(shared / "x.dao") && theirs.give(shared / "fifo.dao"));
  // A save refused as busy may have been so after its write: the name was given another file during it.
  std::set<std::string> written{"mine"};
  {
    another_user::Exchanger exchanger(shared, {{"d.dao", "x.dao"}, {"d.dao", "fifo.dao"}});
    ASSERT_TRUE(exchanger.started());
    for (int i = 0; i < 300; ++i) {
      const std::string text = "save " + std::to_string(i);
      int err = 0;
      if (plat::WriteFileAtomically(shared / "d.dao", text, err) || err == EBUSY)
        written.insert(text);
      else
        EXPECT_EQ(err, EACCES);
    }
  }
  for (const char* name : {"d.dao", "x.dao", "fifo.dao"}) {  // wherever the exchanges left their file
    struct stat st {};
    ASSERT_EQ(::lstat((shared / name).c_str(), &st), 0);
    if (S_ISREG(st.st_mode) && st.st_ino != Inode(dir / "second.dao")) {
      EXPECT_EQ(ReadAll(shared / name), "theirs") << name;
    }
  }
  EXPECT_EQ(written.count(ReadAll(dir / "second.dao")), 1u);
}

// Folders made while a folder on the way is swapped for another user's link: none is ever made behind the link.
TEST(AtomicFile, FoldersAreMadeInTheFolderCheckedWhileALinkIsSwappedIn) {
  TempDir dir;
  const std::filesystem::path shared = dir / "shared", home = dir / "home";
  std::filesystem::create_directories(shared / "dir");
  std::filesystem::create_directory(home);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  std::filesystem::create_directory_symlink(home, shared / "link");
  ASSERT_EQ(::lchown((shared / "link").c_str(), 4321, 4321), 0);  // another user's (the tests run as root)
  {
    FolderSwapper swapper(shared / "dir", shared / "link");
    for (int i = 0; i < 300; ++i) {
      const int e = plat::MakeFolders(shared / "dir" / ("new" + std::to_string(i)) / "inner");
      EXPECT_TRUE(e == 0 || e == EACCES) << e;
    }
  }
  EXPECT_EQ(Entries(home), 0);
}

namespace {

bool Exchange(const std::string& a, const std::string& b) {
  return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
}

// The name in `dir` that begins with `prefix` (a save's temporary file), or "" for none.
std::string NameStarting(const std::filesystem::path& dir, const std::string& prefix) {
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().filename().string().rfind(prefix, 0) == 0) return entry.path().string();
  return {};
}

// The texts of the regular files in `dir`, whatever their names.
std::multiset<std::string> Texts(const std::filesystem::path& dir) {
  std::multiset<std::string> texts;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.is_regular_file()) texts.insert(ReadAll(entry.path()));
  return texts;
}

}  // namespace

// A settings file's edit merges the file it read and writes only over that very file: in a folder every user may
// write, the user's ".dao" is exchanged for another file (another user's, or one of the user's own, which the owner
// rule lets pass) at each step between the edit's read and its write. Each save is refused (another user's file is
// not read or written; for any other the file changed since it was read), and both files keep their text; no
// temporary file stays.
TEST(AtomicFile, AnEditWritesOnlyOverTheFileItMergedWhileAnotherIsExchangedForIt) {
  enum class At { OpenOfTheRead, BatchWrite, TemporaryFile, Rename };
  const struct {
    const char* name;
    At at;
    bool backBeforeTheWrite;  // the file read is put back before the write (the read took the other's text)
  } cases[] = {
      {"at the read's open, back before the write", At::OpenOfTheRead, true},
      {"before the batch's write", At::BatchWrite, false},
      {"as the temporary file is made", At::TemporaryFile, false},
      {"at the rename", At::Rename, false},
  };
  const std::string mine = "[MINE]\r\nKeep=1\r\n", other = "[EVIL]\r\nPlanted=1\r\n";
  for (const auto& c : cases) {
    for (const bool theirs : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (theirs ? ", another user's file" : ", a file of the user's own"));
      TempDir dir;
      const std::filesystem::path shared = dir / "shared";
      std::filesystem::create_directory(shared);
      ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
      const std::string file = shared / "p.dao", x = shared / "x.dao";
      Put(file, mine);
      Put(x, other);
      ASSERT_EQ(::chmod(x.c_str(), 0666), 0);
      another_user::Files others;
      if (theirs) {
        ASSERT_TRUE(others.give(x));
      }
      plat::IniStore::ClearCache();

      int exchanged = 0;
      auto exchange = [&] { exchanged += Exchange(file, x); };
      plat::FileFaultScope faults([&](plat::FileStep step, const std::string& path) {
        if ((c.at == At::OpenOfTheRead && step == plat::FileStep::Open && path == file && exchanged == 0) ||
            (c.at == At::TemporaryFile && step == plat::FileStep::CreateIn && path == shared.string()) ||
            (c.at == At::Rename && step == plat::FileStep::Replace && path == file))
          exchange();
        return 0;
      });
      int storeSteps = 0;  // the store's steps: the edit, then the batch's write
      const auto previous = plat::IniStore::SetFaultHook([&] {
        if (++storeSteps == 2 && (c.at == At::BatchWrite || c.backBeforeTheWrite)) exchange();
        return 0;
      });
      BOOL saved = TRUE;
      {
        plat::ProfileBatch batch(file.c_str());
        WritePrivateProfileString("BOARD", "Name", "board", file.c_str());
        saved = batch.Close();
      }
      const DWORD error = GetLastError();
      plat::IniStore::SetFaultHook(previous);

      EXPECT_FALSE(saved);
      EXPECT_TRUE(error == ERROR_ACCESS_DENIED || error == ERROR_FILE_CHANGED_SINCE_READ) << error;
      EXPECT_GE(exchanged, 1);
      EXPECT_EQ(Texts(shared), (std::multiset<std::string>{mine, other}));
      EXPECT_EQ(Entries(shared), 2);
    }
  }
}

// An edit through a link that leads to no file, in a folder that exists, makes the file as any save does (the file
// takes the link's place), and the next edit merges into it.
TEST(AtomicFile, AnEditThroughALinkToNoFileMakesTheFile) {
  TempDir dir;
  const std::string link = dir / "link.dao";
  std::filesystem::create_symlink(dir / "none.dao", link);
  plat::IniStore::ClearCache();
  EXPECT_TRUE(WritePrivateProfileString("S", "a", "1", link.c_str())) << GetLastError();
  EXPECT_TRUE(WritePrivateProfileString("S", "b", "2", link.c_str())) << GetLastError();
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadAll(link), "[S]\r\na=1\r\nb=2\r\n");
  EXPECT_EQ(Entries(dir.Path()), 1);
}

// A ".dao" of another user under the name in a folder every user may write, or reached through their link there, is
// not merged into the user's settings: the edit is refused with "access denied", and the file stays as it was. A
// plain read still takes the file as named, whoever owns it.
TEST(AtomicFile, AnEditRefusesToMergeAnotherUsersFileInASharedFolder) {
  TempDir dir;
  const std::filesystem::path shared = dir / "shared";
  std::filesystem::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
  const std::string other = "[EVIL]\r\nPlanted=1\r\n";
  Put(shared / "p.dao", other);
  ASSERT_EQ(::chmod((shared / "p.dao").c_str(), 0666), 0);
  Put(dir / "target.dao", other);
  std::filesystem::create_symlink(dir / "target.dao", shared / "link.dao");
  another_user::Files theirs;
  ASSERT_TRUE(theirs.give(shared / "p.dao") && theirs.give(shared / "link.dao"));
  for (const char* name : {"p.dao", "link.dao"}) {
    SCOPED_TRACE(name);
    const std::string file = shared / name;
    plat::IniStore::ClearCache();
    char read[64] = "";
    GetPrivateProfileString("EVIL", "Planted", "", read, sizeof read, file.c_str());
    EXPECT_STREQ(read, "1");
    EXPECT_FALSE(WritePrivateProfileString("BOARD", "Name", "board", file.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    plat::ProfileBatch batch(file.c_str());
    WritePrivateProfileString("BOARD", "Name", "board", file.c_str());
    EXPECT_FALSE(batch.Close());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
  EXPECT_EQ(ReadAll(shared / "p.dao"), other);
  EXPECT_EQ(ReadAll(dir / "target.dao"), other);
  EXPECT_EQ(Entries(shared), 2);
}

namespace {

// Runs `program` in `count` processes at once (each forked, then started together) and answers what each wrote to
// its pipe; an empty answer for one that did not end with 0.
std::vector<std::string> RunAtOnce(int count, const std::function<std::string(int id)>& program) {
  int go[2];
  if (::pipe2(go, O_CLOEXEC) != 0) return std::vector<std::string>(static_cast<std::size_t>(count));
  std::vector<std::pair<pid_t, int>> started;
  for (int id = 0; id < count; ++id) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) break;
    const pid_t pid = ::fork();
    if (pid == 0) {
      char start = 0;
      ::close(go[1]);
      const std::string answer = ::read(go[0], &start, 1) == 0 ? program(id) : std::string();
      ::_exit(::write(out[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    ::close(out[1]);
    started.emplace_back(pid, out[0]);
  }
  ::close(go[0]);
  ::close(go[1]);  // every program starts now
  std::vector<std::string> answers;
  for (const auto& [pid, out] : started) {
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out, buffer, sizeof buffer)) > 0;) answer.append(buffer, static_cast<std::size_t>(n));
    ::close(out);
    int status = 0;
    const bool ended = pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    answers.push_back(ended ? answer : std::string());
  }
  answers.resize(static_cast<std::size_t>(count));
  return answers;
}

}  // namespace

namespace {

// Who a program adding keys runs as: the test's user, the file's owner (another user), or a member of the file's group.
enum class Saver { User, Owner, Member };
constexpr uid_t kMemberUid = another_user::kUid + 1;

// Makes the process the saver `who`; false where it could not.
bool Become(Saver who) {
  if (who == Saver::User) return true;
  const uid_t uid = who == Saver::Owner ? another_user::kUid : kMemberUid;
  const gid_t group = another_user::kUid;
  return ::setgroups(1, &group) == 0 && ::setresgid(uid, uid, uid) == 0 && ::setresuid(uid, uid, uid) == 0;
}

// Opens the folder `path` to every user's walk (not to their reads) for a scope: the test program's own temporary folder
// is its user's alone, and a save of another user walks to the file from the root.
struct WalkableScope {
  explicit WalkableScope(const std::filesystem::path& path) : path(path) {
    struct stat st {};
    mode = ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0700;
    ::chmod(path.c_str(), mode | 0111);
  }
  ~WalkableScope() { ::chmod(path.c_str(), mode); }
  std::filesystem::path path;
  mode_t mode;
};

// A program of the user's own that removes the folder `folder` with all it holds, again and again, `pause` apart, and
// makes it anew after each where `remade` (a runtime folder gone at the user's last logout and made at the next login;
// a cache folder cleaned, which a save makes again), for as long as the object lives.
class Remover {
 public:
  Remover(const std::filesystem::path& folder, bool remade, std::chrono::microseconds pause) : pid_(::fork()) {
    if (pid_ != 0) return;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const struct timespec wait {0, static_cast<long>(std::chrono::nanoseconds(pause).count())};
    for (;;) {
      std::error_code ec;
      std::filesystem::remove_all(folder, ec);
      if (remade) ::mkdir(folder.c_str(), 0700);
      ::nanosleep(&wait, nullptr);
    }
  }
  ~Remover() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  Remover(const Remover&) = delete;
  Remover& operator=(const Remover&) = delete;

 private:
  pid_t pid_;
};

}  // namespace

// Programs add keys to one settings file at once, a write a key: every key a write answers written is in the file
// afterwards, and no other file is left beside it. Two programs of the user: every write is done within the wait,
// whether the file is saved by rename (a folder of the user's own) or in place (a folder where no temporary file can be
// made), and so too while a process of another user who may only read the file (mode 0644) holds a read lock (of the
// open file, or of the process) or a flock on each file the name holds, through a read-only descriptor: it holds the
// file's own lock off from every save, and the user's own lock orders them. So too for four programs of the user whose
// environments differ (two without a runtime folder or a home), and for two saving through two names of the file (a
// file of two links, written in place), also where the first of their places is the cache folder of a home every user
// may write, which another user exchanges for another folder of the user's again and again (passed over, the programs
// meet in the next), where each program's first place is a runtime folder of its own (a sandbox's), and where the
// runtime folder is removed and made again, or the cache folder removed, again and again while they save (each program
// meets the other in every place both see, and a save whose lock file went is made again). Two users who may both
// write the file (its owner and a member of its group, in
// a folder of that group that gives its group to new files) keep every key, over rounds. Under another user's read
// lock, their saves, and those of root and the owner of a file of two links, are refused past a short wait where
// another user may write the file (each user's saves run one at a time, but not the two users'); the owner's own are
// done.
TEST(AtomicFile, TwoProgramsAddingKeysToOneFileKeepEveryKeyAnsweredWritten) {
  using other_locks::Kind;
  const std::optional<std::string> none;
  using Environment = std::vector<std::pair<const char*, std::optional<std::string>>>;
  const Environment withoutSession{{"XDG_RUNTIME_DIR", none}, {"HOME", none}, {"XDG_CACHE_HOME", "/nonexistent"}};
  struct Program {
    Saver who;
    Environment environment;
    bool secondName;  // saves through the file's second link, in a folder of its own
    bool allWritten;  // every write is answered written (else some may be refused)
  };
  const auto program = [](Saver who, Environment environment = {}, bool secondName = false, bool allWritten = true) {
    return Program{who, std::move(environment), secondName, allWritten};
  };
  const Program user = program(Saver::User);
  // The user's places, where not the cache folder of an open home: their own; or a runtime folder each program sees
  // alone (a sandbox's private one), then a folder both see; a runtime folder removed and made again while they
  // save, then a folder both see; no runtime folder, and a cache folder removed again and again while they save.
  enum class Places { Users, RuntimeOfItsOwn, RuntimeGoing, CacheCleaned };
  struct Row {
    std::string name;
    std::optional<Kind> reader;
    other_locks::Follow follow = other_locks::Follow::Name;
    bool inPlace = false;
    std::vector<Program> programs;
    bool shared = false;  // a file of the owner's group, in a folder that gives its group (0664 in 2775)
    bool ownerFile = false;  // the file (0644) and its folders are the owner's
    int keys = 200;
    int rounds = 1;
    // The user's places: the cache folder of a home every user may write (0777), which another user exchanges for
    // another folder of the user's again and again, then a folder of the user's own.
    bool openHome = false;
    Places places = Places::Users;
  };
  std::vector<Row> rows;
  for (const auto& [name, reader] : std::initializer_list<std::pair<const char*, std::optional<Kind>>>{
           {"no reader", std::nullopt},
           {"a reader's lock", Kind::Read},
           {"a reader process's lock", Kind::ClassicRead},
           {"a reader's flock", Kind::SharedFlock}})
    for (const bool inPlace : {false, true})
      rows.push_back(
          {std::string(name) + (inPlace ? ", in place" : ", by rename"), reader, other_locks::Follow::Name, inPlace,
           {user, user}});
  rows.push_back({"a reader's lock let go now and then", Kind::Read, other_locks::Follow::LettingGo, false, {user, user},
                  false, false, 100});
  rows.push_back({"four programs, two without a runtime folder or a home, a reader's lock", Kind::Read,
                  other_locks::Follow::Name, false,
                  {user, user, program(Saver::User, withoutSession), program(Saver::User, withoutSession)}, false, false,
                  60});
  rows.push_back({"two programs through the file's two names, a reader's lock", Kind::Read, other_locks::Follow::Name,
                  false,
                  {user, program(Saver::User, {}, true)}, false, false, 100});
  rows.push_back({"two programs through the file's two names, a reader's lock, the cache folder in an open home",
                  Kind::Read, other_locks::Follow::Name, false, {user, program(Saver::User, {}, true)}, false, false,
                  150, 1, true});
  for (const auto& [name, places] : std::initializer_list<std::pair<const char*, Places>>{
           {"each program's runtime folder its own", Places::RuntimeOfItsOwn},
           {"the runtime folder removed and made again while they save", Places::RuntimeGoing},
           {"the cache folder removed again and again while they save", Places::CacheCleaned}})
    rows.push_back({std::string("two programs through the file's two names, a reader's lock, ") + name, Kind::Read,
                    other_locks::Follow::Name, false, {user, program(Saver::User, {}, true)}, false, false, 150, 1,
                    false, places});
  if (another_user::AsRoot()) {
    rows.push_back({"its owner and a member of its group", std::nullopt, other_locks::Follow::Name, false,
                    {program(Saver::Owner), program(Saver::Member)}, true, false, 100, 3});
    rows.push_back({"its owner and a member of its group, a reader's lock", Kind::Read, other_locks::Follow::Name, false,
                    {program(Saver::Owner, {}, false, false), program(Saver::Member, {}, false, false)}, true, false,
                    30});
    rows.push_back({"root and its owner through the file's two names, a reader's lock", Kind::Read,
                    other_locks::Follow::Name, false,
                    {program(Saver::User, {}, false, false), program(Saver::Owner, {}, true)}, false, true, 60});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const bool users = row.shared || row.ownerFile;
    std::optional<WalkableScope> walkable;
    if (users) walkable.emplace(std::filesystem::temp_directory_path());
    for (int round = 0; round < row.rounds; ++round) {
      SCOPED_TRACE("round " + std::to_string(round));
      TempDir dir;
      ASSERT_EQ(::chmod(dir.Path().c_str(), row.shared ? 02775 : 0755), 0);
      const std::string file = dir / "s.dao", linked = dir / "other/s.dao", places = dir / "places";
      ASSERT_EQ(::mkdir((dir / "other").c_str(), 0755), 0);
      Put(file, "[S]\r\nk=1\r\n");
      ASSERT_EQ(::chmod(file.c_str(), row.shared ? 0664 : 0644), 0);
      if (std::any_of(row.programs.begin(), row.programs.end(), [](const Program& p) { return p.secondName; })) {
        ASSERT_EQ(::link(file.c_str(), linked.c_str()), 0);
      }
      ASSERT_EQ(::mkdir(places.c_str(), 0700), 0);
      if (users) {
        ASSERT_TRUE(another_user::GiveTree(dir.Path()));
        // Each user makes their place in it, which the sticky bit keeps from the others.
        ASSERT_EQ(::chmod(places.c_str(), 01777), 0);
        ASSERT_EQ(::chmod(dir.Path().c_str(), row.shared ? 02775 : 0755), 0);
        ASSERT_EQ(::chmod(file.c_str(), row.shared ? 0664 : 0644), 0);
      }
      const std::string home = dir / "home";
      std::optional<another_user::Exchanger> mover;
      if (row.openHome) {
        ASSERT_EQ(::mkdir(home.c_str(), 0700), 0);
        ASSERT_EQ(::chmod(home.c_str(), 0777), 0);
        ASSERT_EQ(::mkdir((home + "/.cache").c_str(), 0700), 0);
        ASSERT_EQ(::mkdir((home + "/.moved").c_str(), 0700), 0);
        mover.emplace(home, another_user::Exchanger::Pairs{{".cache", ".moved"}});
        ASSERT_TRUE(mover->started());
      }
      const std::string runtime = dir / "run", cache = dir / "cache";
      if (row.places == Places::RuntimeOfItsOwn) {
        for (std::size_t id = 0; id < row.programs.size(); ++id)
          ASSERT_EQ(::mkdir((runtime + std::to_string(id)).c_str(), 0700), 0);
      }
      std::optional<Remover> remover;
      if (row.places == Places::RuntimeGoing || row.places == Places::CacheCleaned) {
        const bool runtimeGoes = row.places == Places::RuntimeGoing;
        remover.emplace(runtimeGoes ? runtime : cache, runtimeGoes, std::chrono::milliseconds(runtimeGoes ? 15 : 10));
      }
      std::optional<other_locks::Holder> reader;
      if (row.reader) {
        reader.emplace(dir.Path(), "s.dao", *row.reader, row.follow);
        ASSERT_TRUE(reader->holding());
      }
      std::optional<plat::FileFaultScope> readOnlyFolder;
      if (row.inPlace) readOnlyFolder.emplace(plat::ReadOnlyFolderFaults(dir.Path().string()));
      const std::vector<std::string> answers = RunAtOnce(static_cast<int>(row.programs.size()), [&](int id) {
        const Program& saver = row.programs[static_cast<std::size_t>(id)];
        for (const auto& [name, value] : saver.environment)
          value ? (void)::setenv(name, value->c_str(), 1) : (void)::unsetenv(name);
        // Another user's own places are in a folder of theirs.
        if (saver.who != Saver::User)
          safepath::SetLockPlaces([&](uid_t uid) {
            return std::vector<safepath::LockPlace>{{places + "/" + std::to_string(uid), true}};
          });
        if (row.openHome)
          safepath::SetLockPlaces([&](uid_t) {
            return std::vector<safepath::LockPlace>{{home + "/.cache", true}, {places, true}};
          });
        if (row.places != Places::Users)
          safepath::SetLockPlaces([&, id](uid_t) {
            const std::string first = row.places == Places::RuntimeOfItsOwn ? runtime + std::to_string(id) : runtime;
            const std::string both = row.places == Places::CacheCleaned ? cache : places;
            return std::vector<safepath::LockPlace>{{first, false}, {both, true}};
          });
        if (!saver.allWritten) safepath::SetSaveLockWait(std::chrono::milliseconds(20));
        if (!Become(saver.who)) return std::string();
        plat::IniStore::ClearCache();
        std::string written;
        const std::string section = "W" + std::to_string(id);
        for (int i = 0; i < row.keys; ++i)
          written += WritePrivateProfileString(section.c_str(), ("k" + std::to_string(i)).c_str(), "1",
                                               (saver.secondName ? linked : file).c_str())
                         ? '1'
                         : '0';
        return written;
      });
      if (reader) reader->release();
      plat::IniStore::ClearCache();
      for (std::size_t id = 0; id < row.programs.size(); ++id) {
        const std::string& written = answers[id];
        ASSERT_EQ(written.size(), static_cast<std::size_t>(row.keys)) << id;
        if (row.programs[id].allWritten) {
          EXPECT_EQ(std::count(written.begin(), written.end(), '1'), row.keys) << id;
        }
        const std::string section = "W" + std::to_string(id);
        int lost = 0;
        for (int i = 0; i < row.keys; ++i) {
          char value[8] = "";
          GetPrivateProfileString(section.c_str(), ("k" + std::to_string(i)).c_str(), "", value, sizeof value,
                                  file.c_str());
          lost += written[static_cast<std::size_t>(i)] == '1' && std::string(value) != "1";
        }
        EXPECT_EQ(lost, 0) << section;
      }
      mover.reset();
      remover.reset();
      std::error_code ec;
      std::filesystem::remove_all(runtime, ec);
      std::filesystem::remove_all(cache, ec);
      for (std::size_t id = 0; id < row.programs.size(); ++id)
        std::filesystem::remove_all(runtime + std::to_string(id), ec);
      // The file, the folder of its second name, the owner's places and the home.
      EXPECT_EQ(Entries(dir.Path()), row.openHome ? 4 : 3);
    }
  }
}

// Another program that takes no lock changes the settings file in place (same file: a section appended, or a value
// changed at the same length) between an edit's read and its write: the edit is refused with "The file changed since
// it was read; save again." and the file keeps the other program's change, whether it is saved by rename or in place.
// So is an edit written in place (through a second hard link) while another program's save by rename gives the name
// another file as the write ends: the key is not under the name. A change of the file's status alone (its mode, a new
// hard link, a touch) changes none of the bytes read: the edit is saved, with the file's looks as they are now (the
// new mode; written in place where a link was made), whether the change comes during the save or before it begins,
// and so is a change of the registry-style store, which holds the text it read too. A touch (or touch -a) as the text
// is flushed or just before the rename, after the new file got its looks, is no change either: a key's, a section's
// and a batch's save is done; a new mode there, which the new file would lack, refuses the save.
TEST(AtomicFile, AnEditRefusesAFileChangedInPlaceSinceItWasRead) {
  const std::string read = "[S]\r\nk=1\r\n";
  enum class Change { Written, RenamedOver, Mode, Linked, TouchedAccess, Touched, Attribute };
  enum class Door { Key, Section, Batch };
  struct Case {
    std::string name;
    bool inPlace;  // the folder takes no temporary file
    std::string changed;
    Change change = Change::Written;
    bool linked = false;  // a second hard link: written in place
    std::optional<plat::FileStep> at = std::nullopt;  // none: the last look before the write
    bool saved = false;
    bool inBatch = false;  // changed between a batch's read and its end, before the save begins
    bool store = false;  // a key made in the registry-style store, whose file it is
    Door door = Door::Key;  // how a settings file is saved
  };
  std::vector<Case> cases = {
      {"by rename, a section appended", false, read + "[T]\r\nm=3\r\n"},
      {"by rename, a value changed", false, "[S]\r\nk=2\r\n"},
      {"in place, a section appended", true, read + "[T]\r\nm=3\r\n"},
      {"in place, a value changed", true, "[S]\r\nk=2\r\n"},
      {"in place through a second link, another file renamed over the name as the write ends", false,
       "[O]\r\nz=9\r\n", Change::RenamedOver, true, plat::FileStep::Flush},
      {"by rename, its mode changed", false, read, Change::Mode, false, plat::FileStep::Modify, true},
      {"by rename, a hard link made", false, read, Change::Linked, false, plat::FileStep::Modify, true},
      {"by rename, touched with its modification time kept", false, read, Change::TouchedAccess, false,
       plat::FileStep::Modify, true},
      {"by rename, touched", false, read, Change::Touched, false, plat::FileStep::Modify, true},
      {"in place, its mode changed", true, read, Change::Mode, false, plat::FileStep::Modify, true},
      {"by rename, its mode changed at the rename", false, read, Change::Mode, false, plat::FileStep::Replace},
      {"by rename, a user attribute set at the rename", false, read, Change::Attribute, false, plat::FileStep::Replace},
      {"in a batch, its mode changed before the save", false, read, Change::Mode, false, std::nullopt, true, true},
      {"the registry store by rename, its mode changed", false, "", Change::Mode, false, plat::FileStep::Modify, true,
       false, true},
  };
  for (const plat::FileStep at : {plat::FileStep::Flush, plat::FileStep::Replace})
    for (const Change touch : {Change::Touched, Change::TouchedAccess})
      for (const Door door : {Door::Key, Door::Section, Door::Batch}) {
        const std::string saved = door == Door::Key ? "a key" : door == Door::Section ? "a section" : "a batch";
        cases.push_back({"by rename, " + saved + (touch == Change::Touched ? ", touched" : ", touched -a") +
                             (at == plat::FileStep::Flush ? " at the flush" : " at the rename"),
                         false, read, touch, false, at, true, false, false, door});
      }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string file = dir / "s.dao", link = dir / "second.dao", other = dir / "other.dao";
    Put(file, read);
    if (c.store) {  // a store file the store wrote, then loaded
      HKEY old = nullptr;
      ASSERT_TRUE(plat::RegistryStore::SetStoreFile(std::nullopt) && std::filesystem::remove(file));
      ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
      ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\Old", &old), ERROR_SUCCESS);
      RegCloseKey(old);
      ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
    }
    if (c.linked) {
      ASSERT_EQ(::link(file.c_str(), link.c_str()), 0);
    }
    plat::IniStore::ClearCache();
    const plat::FileFaultHook readOnlyFolder = plat::ReadOnlyFolderFaults(dir.Path().string());
    // After the read, at the last step before the text takes the name (the rename), or before the write in place.
    const plat::FileStep last = c.at ? *c.at : c.inPlace ? plat::FileStep::Modify : plat::FileStep::Replace;
    bool changed = false;
    mode_t modeAfter = 0;
    const auto change = [&] {
      // A tick of the clock the file system stamps with after the read: a kernel without fine-grained change times
      // gives a write within the tick of the last one the same change time.
      struct stat read {};
      struct timespec now {};
      ::stat(file.c_str(), &read);
      while (::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0 &&
             (now.tv_sec < read.st_ctim.tv_sec ||
              (now.tv_sec == read.st_ctim.tv_sec && now.tv_nsec <= read.st_ctim.tv_nsec))) {
      }
      const struct timespec accessedNow[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};
      switch (c.change) {
        case Change::Written:
          std::fstream(file, std::ios::binary | std::ios::in | std::ios::out) << c.changed;  // from byte 0, in place
          break;
        case Change::RenamedOver:
          Put(other, c.changed);
          ::rename(other.c_str(), file.c_str());
          break;
        case Change::Mode: ::chmod(file.c_str(), 0640); break;
        case Change::Linked: ::link(file.c_str(), link.c_str()); break;
        case Change::TouchedAccess: ::utimensat(AT_FDCWD, file.c_str(), accessedNow, 0); break;
        case Change::Touched: ::utimensat(AT_FDCWD, file.c_str(), nullptr, 0); break;
        case Change::Attribute: ::setxattr(file.c_str(), "user.note", "1", 1, 0); break;
      }
      struct stat st {};
      ::stat(file.c_str(), &st);
      modeAfter = st.st_mode & 07777;
      changed = true;
    };
    plat::FileFaultScope faults([&](plat::FileStep step, const std::string& path) {
      if (c.inPlace && readOnlyFolder(step, path)) return readOnlyFolder(step, path);
      if (!c.inBatch && step == last && path == file && !changed) change();
      return 0;
    });
    const auto edit = [&] {
      if (c.door == Door::Section)
        return WritePrivateProfileSection("S", std::string("k=1\0new=x\0", 11).c_str(), file.c_str()) != FALSE;
      if (!c.store) return WritePrivateProfileString("S", "new", "x", file.c_str()) != FALSE;
      HKEY made = nullptr;
      const bool saved = RegCreateKey(HKEY_CURRENT_USER, "Software\\New", &made) == ERROR_SUCCESS;
      if (made) RegCloseKey(made);
      return saved;
    };
    if (c.inBatch || c.door == Door::Batch) {
      plat::ProfileBatch batch(file.c_str());
      EXPECT_TRUE(edit());
      if (c.inBatch) change();
      EXPECT_EQ(batch.Close() != FALSE, c.saved) << plat::SystemErrorText(GetLastError());
    } else {
      EXPECT_EQ(edit(), c.saved) << plat::SystemErrorText(GetLastError());
    }
    if (c.store) {
      plat::RegistryStore::SetStoreFile(std::nullopt);
      plat::RegistryStore::Reset();
    }
    EXPECT_TRUE(changed);
    if (c.saved) {
      const std::string text = ReadAll(file);
      EXPECT_TRUE(c.store ? text.find("Software\\New") != std::string::npos : text == "[S]\r\nk=1\r\nnew=x\r\n")
          << text;
      struct stat st {};
      ASSERT_EQ(::stat(file.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, modeAfter);
      if (c.change == Change::Linked) {
        EXPECT_EQ(ReadAll(link), ReadAll(file));
      }
    } else {
      EXPECT_EQ(plat::SystemErrorText(GetLastError()), "The file changed since it was read; save again.");
      EXPECT_EQ(ReadAll(file), c.changed);
      char note[2] = "";
      if (c.change == Change::Attribute) {
        EXPECT_EQ(::getxattr(file.c_str(), "user.note", note, sizeof note), 1);
      }
    }
    EXPECT_EQ(Entries(dir.Path()), c.linked || c.change == Change::Linked ? 2 : 1);
  }
}

// Another program's save holds the file's save lock past the wait: an edit is refused with "The file is being saved
// by another program; save again once it is done." and writes nothing; once the lock is given up, the edit is saved.
// A file still to be made is locked by nobody: where another program's save makes it after the edit's read, and holds
// its lock, the edit finds that file as its own takes the name, reads it under its lock and is refused so too.
TEST(AtomicFile, AnEditWaitsForAnotherProgramsSaveAndIsRefusedPastTheWait) {
  const auto wait = safepath::SetSaveLockWait(std::chrono::milliseconds(20));
  const std::string theirs = "[S]\r\nk=1\r\n";
  for (const bool exists : {true, false}) {
    SCOPED_TRACE(exists ? "the file" : "a file still to be made");
    TempDir dir;
    const std::string file = dir / "s.dao";
    if (exists) Put(file, theirs);
    plat::IniStore::ClearCache();
    // An open of its own: as another program's save.
    int other = exists ? other_locks::Take(file, other_locks::Kind::Write) : -1;
    plat::FileFaultScope faults([&](plat::FileStep step, const std::string& path) {
      if (step == plat::FileStep::Replace && path == file && other < 0) {
        Put(file, theirs);
        other = other_locks::Take(file, other_locks::Kind::Write);
      }
      return 0;
    });
    EXPECT_FALSE(WritePrivateProfileString("S", "new", "x", file.c_str()));
    EXPECT_EQ(plat::SystemErrorText(GetLastError()),
              "The file is being saved by another program; save again once it is done.");
    EXPECT_EQ(ReadAll(file), theirs);
    EXPECT_EQ(Entries(dir.Path()), 1);
    ASSERT_GE(other, 0);
    ::close(other);
    EXPECT_TRUE(WritePrivateProfileString("S", "new", "x", file.c_str()));
    EXPECT_EQ(ReadAll(file), theirs + "new=x\r\n");
  }
  safepath::SetSaveLockWait(wait);
}

// A program never waits on its own save lock: inside a batch of edits of a file, which holds the lock, an edit of the
// file under another of its names is saved at once, and the batch's end then finds the file changed since its read.
TEST(AtomicFile, AnEditUnderAnotherNameInsideABatchDoesNotWaitOnTheBatchsLock) {
  const auto wait = safepath::SetSaveLockWait(std::chrono::milliseconds(20));
  TempDir dir;
  const std::string file = dir / "s.dao", link = dir / "link.dao";
  Put(file, "[S]\r\nk=1\r\n");
  std::filesystem::create_symlink(file, link);
  plat::IniStore::ClearCache();
  {
    plat::ProfileBatch batch(file.c_str());
    EXPECT_TRUE(WritePrivateProfileString("S", "a", "1", file.c_str()));
    EXPECT_TRUE(WritePrivateProfileString("S", "b", "2", link.c_str())) << GetLastError();
    EXPECT_FALSE(batch.Close());
    EXPECT_EQ(GetLastError(), ERROR_FILE_CHANGED_SINCE_READ);
  }
  EXPECT_EQ(ReadAll(file), "[S]\r\nk=1\r\nb=2\r\n");
  safepath::SetSaveLockWait(wait);
}

namespace {

// The saves that take a settings file's save lock, each answering 0 or the error it was refused with.
struct Door {
  const char* name;
  std::string text;  // the file's text before the save
  std::function<DWORD(const std::string& file)> save;
};

std::vector<Door> SaveDoors() {
  const std::string ini = "[S]\r\nk=1\r\n";
  return {
      {"a key written", ini,
       [](const std::string& f) { return WritePrivateProfileString("S", "new", "x", f.c_str()) ? 0 : GetLastError(); }},
      {"a section written", ini,
       [](const std::string& f) {
         return WritePrivateProfileSection("T", "new=x\r\n", f.c_str()) ? 0 : GetLastError();
       }},
      {"a batch", ini,
       [](const std::string& f) {
         plat::ProfileBatch batch(f.c_str());
         WritePrivateProfileString("S", "new", "x", f.c_str());
         return batch.Close() ? 0 : GetLastError();
       }},
      {"the registry store", "[HKEY_CURRENT_USER\\App]\r\n\"k\"=sz:1\r\n",
       [](const std::string& f) {
         plat::RegistryStore::Reset();
         const DWORD set = plat::RegistryStore::SetStoreFile(f)
                               ? static_cast<DWORD>(RegSetKeyValue(HKEY_CURRENT_USER, "App", "new", REG_SZ, "x", 2))
                               : GetLastError();
         plat::RegistryStore::Reset();
         return set;
       }},
  };
}

}  // namespace

// Only a program that may write a settings file holds its saves off. A process of another user holding a lock through
// a read-only descriptor of the file (of mode 0644, the user's), or on the folder (0755) of a file not made yet, holds
// no save: each is done at once (the wait is long, and a save that waited would be refused). A write lock, which another
// user can take only where they may write the file (mode 0666), holds every save off past the wait. So does a reader's
// lock on a file another user may write too (its group's or everyone's to write, or another user's file that root
// saves): two users' saves would otherwise go unordered, and are refused ("being saved by another program") with the
// file as it was. At every door: the settings writes, the registry store and the solver's cache.
TEST(AtomicFile, OnlyAProgramThatMayWriteTheFileHoldsItsSavesOff) {
  using other_locks::Kind;
  const struct {
    const char* name;
    Kind kind;
    bool onFolder;  // the file is not made yet
    mode_t mode;
    bool theirs;    // the file is another user's
    bool holdsOff;
  } holders[] = {
      {"a read lock", Kind::Read, false, 0644, false, false},
      {"a process's read lock", Kind::ClassicRead, false, 0644, false, false},
      {"flock -s", Kind::SharedFlock, false, 0644, false, false},
      {"flock -x through a read-only descriptor", Kind::ExclusiveFlock, false, 0644, false, false},
      {"flock -s on the folder", Kind::SharedFlock, true, 0644, false, false},
      {"flock -x on the folder", Kind::ExclusiveFlock, true, 0644, false, false},
      {"a write lock of a user who may write the file", Kind::Write, false, 0666, false, true},
      {"a read lock on a file its group may write", Kind::Read, false, 0664, false, true},
      {"a process's read lock on a file everyone may write", Kind::ClassicRead, false, 0666, false, true},
      {"a read lock on another user's file", Kind::Read, false, 0644, true, true},
  };
  std::vector<Door> doors = SaveDoors();
  doors.push_back({"the solver's cache", "old cache",
                   [](const std::string& f) { return SmartCache().Save(f) ? 0u : ERROR_FILE_BEING_SAVED; }});
  for (const Door& door : doors) {
    for (const auto& h : holders) {
      if (h.theirs && !another_user::AsRoot()) continue;  // only root may write another user's file
      SCOPED_TRACE(std::string(door.name) + ", " + h.name);
      const auto wait = safepath::SetSaveLockWait(std::chrono::milliseconds(h.holdsOff ? 20 : 10000));
      TempDir dir;
      ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
      const std::string file = dir / "s.dao";
      if (!h.onFolder) Put(file, door.text);
      ASSERT_EQ(h.onFolder || ::chmod(file.c_str(), h.mode) == 0, true);
      ASSERT_EQ(!h.theirs || ::chown(file.c_str(), another_user::kUid, another_user::kUid) == 0, true);
      const std::string before = ReadAll(file);
      plat::IniStore::ClearCache();
      other_locks::Holder holder(dir.Path(), h.onFolder ? "." : "s.dao", h.kind);
      ASSERT_TRUE(holder.holding());
      EXPECT_EQ(door.save(file), h.holdsOff ? ERROR_FILE_BEING_SAVED : 0u);
      EXPECT_EQ(ReadAll(file) != before, !h.holdsOff);
      holder.release();
      EXPECT_EQ(door.save(file), 0u);
      EXPECT_NE(ReadAll(file), before);
      safepath::SetSaveLockWait(wait);
    }
  }
}

// Under another user's read lock, a save of the user's own file holds the user's own lock. Where its lock file is
// replaced while it holds it, another program of the user takes the new one and saves at once: before the save's
// write (at its first step, or in place just after its last look at the file), or read just before the save writes in
// place and written over that. Every door keeps every key answered written: a settings write (a key, a section) takes
// the lock anew and saves again over the other program's text; a batch and the registry store, whose changes were made
// on the text they read, are refused (the file changed since it was read) with the other program's text kept; the
// solver's cache is saved again.
TEST(AtomicFile, ASaveWhoseLockFileIsReplacedWhileHeldIsMadeAgainOrRefusedAtEveryDoor) {
  enum class Other { BeforeTheWrite, AtTheLastLook, OverTheWrite };
  const std::vector<Door> doors = SaveDoors();
  struct Row {
    const Door* door;
    Other other;
    DWORD answer;
  };
  std::vector<Row> rows;
  for (const Door& door : doors) {
    const bool merges = std::string(door.name) == "a key written" || std::string(door.name) == "a section written";
    for (const Other other : {Other::BeforeTheWrite, Other::AtTheLastLook, Other::OverTheWrite})
      rows.push_back({&door, other, merges ? 0u : ERROR_FILE_CHANGED_SINCE_READ});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.door->name) + (row.other == Other::BeforeTheWrite  ? ", before the write"
                                                : row.other == Other::OverTheWrite  ? ", over the write in place"
                                                                                    : ", at the last look in place"));
    TempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    const std::string file = dir / "s.dao", places = dir / "places", lockFile = places + "/brim-save-locks/saves.lock";
    const bool store = row.door->text.rfind("[HKEY", 0) == 0;
    const std::string theirs = store ? "[HKEY_CURRENT_USER\\Other]\r\n" : "[O]\r\nz=9\r\n";
    Put(file, row.door->text);
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    if (row.other != Other::BeforeTheWrite) {
      ASSERT_EQ(::link(file.c_str(), (dir / "second.dao").c_str()), 0);  // written in place
    }
    const auto previous = safepath::SetLockPlaces(
        [&](uid_t) { return std::vector<safepath::LockPlace>{{places, true}}; });
    other_locks::Holder reader(dir.Path(), "s.dao", other_locks::Kind::Read, other_locks::Follow::Name);
    ASSERT_TRUE(reader.holding());
    // The other program takes the new lock file and reads at the first step named (after the room for the text in
    // place is reserved, as the bytes go), and writes at the second (as the text written in place is flushed).
    bool reserved = false;
    const auto at = [&](plat::FileStep step, const std::string& path, int stage) {
      switch (row.other) {
        case Other::BeforeTheWrite: return step == plat::FileStep::CreateIn && path == dir.Path().string();
        case Other::AtTheLastLook: return step == plat::FileStep::Reserve && path == file;
        case Other::OverTheWrite:
          return path == file &&
                 (stage == 0 ? reserved && step == plat::FileStep::Write : step == plat::FileStep::Flush);
      }
      return false;
    };
    int stage = 0;
    std::string read;
    plat::FileFaultScope faults([&](plat::FileStep step, const std::string& path) {
      reserved = reserved || step == plat::FileStep::Reserve;
      if (stage == 0 && at(step, path, 0)) {
        Put(places + "/new", "");
        std::filesystem::rename(places + "/new", lockFile);
        read = ReadAll(file);
        stage = 1;
      }
      if (stage == 1 && at(step, path, 1)) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << read + theirs;
        stage = 2;
      }
      return 0;
    });
    plat::IniStore::ClearCache();
    EXPECT_EQ(row.door->save(file), row.answer);
    EXPECT_EQ(stage, 2);
    const std::string text = ReadAll(file);
    EXPECT_NE(text.find(theirs), std::string::npos) << text;
    if (row.answer == 0) {
      EXPECT_NE(text.find(store ? "\"new\"" : "new=x"), std::string::npos) << text;
    }
    reader.release();
    safepath::SetLockPlaces(previous);
  }
  {
    SCOPED_TRACE("the solver's cache");
    TempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    const std::string file = dir / "solver.cache", places = dir / "places";
    Put(file, "old cache");
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    const auto previous = safepath::SetLockPlaces(
        [&](uid_t) { return std::vector<safepath::LockPlace>{{places, true}}; });
    other_locks::Holder reader(dir.Path(), "solver.cache", other_locks::Kind::Read, other_locks::Follow::Name);
    ASSERT_TRUE(reader.holding());
    int renames = 0;
    const auto hook = SmartCache::SetSaveHook([&](SmartCache::SaveStep step, int, const std::string&) {
      if (step != SmartCache::SaveStep::Rename || renames++ > 0) return;
      Put(places + "/new", "");
      std::filesystem::rename(places + "/new", places + "/brim-save-locks/saves.lock");
    });
    EXPECT_TRUE(SmartCache().Save(file));
    EXPECT_EQ(renames, 2);
    EXPECT_NE(ReadAll(file), "old cache");
    SmartCache::SetSaveHook(hook);
    reader.release();
    safepath::SetLockPlaces(previous);
  }
}

// Under another user's read lock on a file only the user may write, a save takes the user's own lock in the first of
// the user's places that takes it (see safepath/SaveLock.h): one that cannot (missing, open to others' writes, another
// user's, in a folder open to others' writes, its lock folder open to others) is passed over. Where none takes it,
// each save is refused with ERROR_NO_SAVE_LOCK and writes nothing, and once the reader lets go it is done. The place
// that took it keeps one lock file, of the user's and in a folder of mode 0700, whatever the saves. At every door.
TEST(AtomicFile, ASaveUnderAReadersLockTakesTheUsersOwnLockInTheFirstPlaceThatTakesItOrIsRefused) {
  enum class Place { Own, Open, Theirs, Missing, InOpen };
  const struct {
    const char* name;
    Place first;
    Place locks;  // the lock folder in the second place
    bool serialised;
  } cases[] = {
      {"the first place open to others' writes", Place::Open, Place::Own, true},
      {"the first place another user's", Place::Theirs, Place::Own, true},
      {"the first place in a folder open to others' writes", Place::InOpen, Place::Own, true},
      {"no first place, the second's lock folder open to others", Place::Missing, Place::Open, false},
      {"no first place, the second's lock folder another user's", Place::Missing, Place::Theirs, false},
      {"no first place, no second place", Place::Missing, Place::Missing, false},
  };
  const auto make = [](const std::string& path, Place how, mode_t open) {
    if (how == Place::Missing || how == Place::Own) return true;
    const std::string in = std::filesystem::path(path).parent_path();
    return (how != Place::InOpen || (::mkdir(in.c_str(), 0700) == 0 && ::chmod(in.c_str(), 0777) == 0)) &&
           ::mkdir(path.c_str(), 0700) == 0 && (how != Place::Open || ::chmod(path.c_str(), open) == 0) &&
           (how != Place::Theirs || ::chown(path.c_str(), another_user::kUid, another_user::kUid) == 0);
  };
  for (const auto& c : cases) {
    // Only root can give a folder to another user.
    if (!another_user::AsRoot() && (c.first == Place::Theirs || c.locks == Place::Theirs)) continue;
    TempDir places;
    const std::string first = places / (c.first == Place::InOpen ? "open/run" : "run"), second = places / "cache",
                      locks = second + "/brim-save-locks";
    ASSERT_EQ(::mkdir(second.c_str(), 0700), 0);
    Put(places / "file", "");
    ASSERT_TRUE(make(first, c.first, 0777) && make(locks, c.locks, 0755));
    const auto was = safepath::SetLockPlaces([&](uid_t) {
      return std::vector<safepath::LockPlace>{
          {first, false}, {c.locks == Place::Missing ? places / "file/cache" : second, true}};
    });
    for (const Door& door : SaveDoors()) {
      SCOPED_TRACE(std::string(c.name) + ", " + door.name);
      TempDir dir;
      ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
      const std::string file = dir / "s.dao";
      Put(file, door.text);
      ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
      plat::IniStore::ClearCache();
      other_locks::Holder reader(dir.Path(), "s.dao", other_locks::Kind::Read);
      ASSERT_TRUE(reader.holding());
      EXPECT_EQ(door.save(file), c.serialised ? 0u : ERROR_NO_SAVE_LOCK);
      EXPECT_EQ(ReadAll(file).find("new") != std::string::npos, c.serialised);
      reader.release();
      EXPECT_EQ(door.save(file), 0u);
      struct stat st {};
      EXPECT_EQ(::stat(locks.c_str(), &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700 &&
                    Entries(locks) == 1 && std::filesystem::exists(locks + "/saves.lock"),
                c.locks == Place::Own);
    }
    safepath::SetLockPlaces(was);
  }
}

// The wait for another program's lock holds no other work of the program off: while a key's save, a batch or a change
// of the registry store waits on a write lock another process holds on its file, another thread's read (of another
// settings file, of the store) and edit of another settings file are answered, and its save of the same file waits
// too; once the lock is given up, both saves of the file are made.
TEST(AtomicFile, ASaveWaitingForAnotherProgramsLockHoldsNoOtherWorkOff) {
  enum class Door { Key, Batch, Registry };
  enum class Work { Read, EditOther, SaveSame };
  const struct {
    const char* name;
    Door door;
    Work work;
  } cases[] = {
      {"a key's save, a read of another file", Door::Key, Work::Read},
      {"a key's save, an edit of another file", Door::Key, Work::EditOther},
      {"a key's save, a save of its file", Door::Key, Work::SaveSame},
      {"a batch, a read of another file", Door::Batch, Work::Read},
      {"a batch, an edit of another file", Door::Batch, Work::EditOther},
      {"a batch, a save of its file", Door::Batch, Work::SaveSame},
      {"a store change, a read of the store", Door::Registry, Work::Read},
      {"a store change, an edit of a settings file", Door::Registry, Work::EditOther},
      {"a store change, a change of the store", Door::Registry, Work::SaveSame},
  };
  const auto wait = safepath::SetSaveLockWait(std::chrono::milliseconds(10000));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool store = c.door == Door::Registry;
    TempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    const std::string file = dir / "s.dao", other = dir / "o.dao";
    Put(file, store ? "[HKEY_CURRENT_USER\\App]\r\n\"k\"=sz:1\r\n" : "[S]\r\nk=1\r\n");
    Put(other, "[O]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    plat::IniStore::ClearCache();
    plat::RegistryStore::Reset();
    ASSERT_TRUE(!store || plat::RegistryStore::SetStoreFile(file));
    other_locks::Holder holder(dir.Path(), "s.dao", other_locks::Kind::Write);
    ASSERT_TRUE(holder.holding());
    auto save = [&](const char* key) -> int {
      if (store) return RegSetKeyValue(HKEY_CURRENT_USER, "App", key, REG_SZ, "1", 2) == ERROR_SUCCESS;
      std::optional<plat::ProfileBatch> batch;
      if (c.door == Door::Batch && key[0] == 'a') batch.emplace(file.c_str());
      const BOOL written = WritePrivateProfileString("S", key, "1", file.c_str());
      return batch ? batch->Close() : written;
    };
    auto line = [&](const std::string& key) { return store ? "\"" + key + "\"=sz:1\r\n" : key + "=1\r\n"; };
    // Each waiting save holds the file open.
    const int open = other_locks::OpenHere(file);
    std::atomic<int> saved{-1}, sameSaved{-1};
    std::thread waiting([&] { saved = save("a"); });
    while (other_locks::OpenHere(file) <= open && saved < 0) std::this_thread::yield();
    std::thread same;
    if (c.work == Work::Read && store) {
      HKEY app = nullptr;
      char value[8] = "";
      DWORD size = sizeof value;
      EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "App", &app), ERROR_SUCCESS);
      EXPECT_EQ(RegQueryValueEx(app, "k", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
      RegCloseKey(app);
    } else if (c.work == Work::Read) {
      char value[8] = "";
      EXPECT_EQ(GetPrivateProfileString("O", "k", "", value, sizeof value, other.c_str()), 1u);
    } else if (c.work == Work::EditOther) {
      EXPECT_TRUE(WritePrivateProfileString("O", "m", "2", other.c_str()));
    } else {
      // It waits for the file's lock too, holding the file open.
      const int waiting = other_locks::OpenHere(file);
      same = std::thread([&] { sameSaved = save("b"); });
      while (other_locks::OpenHere(file) <= waiting && sameSaved < 0) std::this_thread::yield();
    }
    EXPECT_EQ(saved.load(), -1);  // still waiting
    holder.release();
    waiting.join();
    if (same.joinable()) same.join();
    plat::RegistryStore::Reset();
    EXPECT_EQ(saved.load(), 1);
    EXPECT_EQ(sameSaved.load(), c.work == Work::SaveSame ? 1 : -1);
    const std::string text = ReadAll(file);
    EXPECT_NE(text.find(line("k")), std::string::npos) << text;
    EXPECT_NE(text.find(line("a")), std::string::npos) << text;
    EXPECT_EQ(text.find(line("b")) != std::string::npos, c.work == Work::SaveSame) << text;
  }
  safepath::SetSaveLockWait(wait);
}

// A save by rename answers success only where the name then holds the file it wrote: the temporary file exchanged
// for another file at the rename (a replace and a fresh file, also on a file system without the rename that keeps
// a name, where the fresh name is taken by a link), or the name exchanged right after the rename, fails the save as
// busy. The other file is never removed nor given the user's name, and a replaced file whose temporary name was
// exchanged keeps its old text. A temporary file exchanged back under its name before the refused save answers is
// removed, and a save refused before its rename (its text flushed to a failing disk) leaves no name another user
// could exchange and swap back after the answer: no file of the save is left.
TEST(AtomicFile, ASaveByRenameFailsWhenTheNameDoesNotHoldTheFileItWrote) {
  enum class Exchanged {
    TemporaryAtTheRename,
    TemporaryAwayAndBack,
    TemporaryAtTheLink,
    NameAfterTheRename,
    TemporaryBeforeARefusalAndBackAfterIt
  };
  const struct {
    const char* name;
    plat::AtomicFile::Naming naming;
    Exchanged what;
    bool oldTextKept;
  } cases[] = {
      {"replace, temporary exchanged", plat::AtomicFile::Naming::Replace, Exchanged::TemporaryAtTheRename, true},
      {"replace, temporary exchanged away and back", plat::AtomicFile::Naming::Replace,
       Exchanged::TemporaryAwayAndBack, true},
      {"replace, name exchanged", plat::AtomicFile::Naming::Replace, Exchanged::NameAfterTheRename, false},
      {"replace refused before its rename, temporary exchanged away and back after the answer",
       plat::AtomicFile::Naming::Replace, Exchanged::TemporaryBeforeARefusalAndBackAfterIt, true},
      {"fresh file, temporary exchanged", plat::AtomicFile::Naming::Fresh, Exchanged::TemporaryAtTheRename, true},
      {"fresh file, temporary exchanged away and back", plat::AtomicFile::Naming::Fresh,
       Exchanged::TemporaryAwayAndBack, true},
      {"fresh file by a link, temporary exchanged", plat::AtomicFile::Naming::Fresh, Exchanged::TemporaryAtTheLink,
       true},
      {"fresh file, name exchanged", plat::AtomicFile::Naming::Fresh, Exchanged::NameAfterTheRename, false},
      {"fresh file refused before its rename, temporary exchanged away and back after the answer",
       plat::AtomicFile::Naming::Fresh, Exchanged::TemporaryBeforeARefusalAndBackAfterIt, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::filesystem::path shared = dir / "shared";
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
    const std::string file = shared / "u.dao", x = shared / "x";
    const bool fresh = c.naming == plat::AtomicFile::Naming::Fresh;
    if (!fresh) Put(file, "old");
    Put(x, "theirs");
    ASSERT_EQ(::chmod(x.c_str(), 0666), 0);
    another_user::Files others;
    ASSERT_TRUE(others.give(x));
    const bool awayAndBack = c.what == Exchanged::TemporaryAwayAndBack;
    const bool refusedBefore = c.what == Exchanged::TemporaryBeforeARefusalAndBackAfterIt;
    int exchanged = 0;
    std::string temporary;
    plat::FileFaultScope faults([&](plat::FileStep step, const std::string& path) {
      if ((c.what == Exchanged::TemporaryAtTheRename || awayAndBack) && step == plat::FileStep::Replace &&
          path == file) {
        temporary = NameStarting(shared, ".u.dao.");
        exchanged += Exchange(temporary, x);
      }
      // Another user's next exchange puts the save's file back under its temporary name as the save removes it.
      if (awayAndBack && step == plat::FileStep::Remove && path == temporary) exchanged += Exchange(temporary, x);
      if (c.what == Exchanged::NameAfterTheRename && step == plat::FileStep::Flush && path == shared.string())
        exchanged += Exchange(file, x);
      if (c.what == Exchanged::TemporaryAtTheLink && step == plat::FileStep::TakeFreeName && path == file) {
        exchanged += Exchange(NameStarting(shared, ".u.dao."), x);
        return EINVAL;  // as a file system without RENAME_NOREPLACE answers
      }
      // Another user exchanges every temporary file they see as it is written; the disk then fails its flush.
      if (refusedBefore && step == plat::FileStep::Flush && path == file) {
        temporary = NameStarting(shared, ".u.dao.");
        if (!temporary.empty()) exchanged += Exchange(temporary, x);
        return EIO;
      }
      return 0;
    });
    plat::AtomicFile saved;
    ASSERT_TRUE(saved.open(file, c.naming) && saved.write("new")) << saved.error();
    EXPECT_FALSE(saved.commit());
    EXPECT_EQ(saved.error(), refusedBefore ? EIO : EBUSY);
    if (refusedBefore && !temporary.empty()) exchanged += Exchange(temporary, x);  // back, after the answer
    if (!refusedBefore) {
      EXPECT_EQ(exchanged, awayAndBack ? 2 : 1);
    }
    const std::multiset<std::string> texts = Texts(shared);
    EXPECT_EQ(texts.count("theirs"), 1u);
    EXPECT_EQ(texts.count("new"), awayAndBack || refusedBefore ? 0u : 1u);
    if (awayAndBack || refusedBefore) {
      EXPECT_EQ(ReadAll(x), "theirs");
      EXPECT_EQ(Entries(shared), fresh ? 1 : 2);
    }
    if (c.oldTextKept) {
      if (fresh) {
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(file)));
      } else {
        EXPECT_EQ(ReadAll(file), "old");
      }
    }
  }
}

// A process started without its standard input gets descriptor 0 from the next open: a judged load and a save
// written in place that open their file as descriptor 0 read and write it as any other, and a save refused at its
// rename whose temporary file is held open as descriptor 0 removes it as any other.
TEST(AtomicFile, ALoadAndAnInPlaceSaveWorkOnDescriptorZero) {
  TempDir dir;
  const std::string file = dir / "s.dao", link = dir / "second.dao";
  Put(file, "old text");
  ASSERT_EQ(::link(file.c_str(), link.c_str()), 0);  // a further hard link: written in place
  const ino_t inode = Inode(file);
  bool onZero = false;  // whether descriptor 0 held the file at each step that reads or writes it
  plat::FileFaultScope faults([&](plat::FileStep step, const std::string& path) {
    struct stat st {};
    if ((step == plat::FileStep::Read || step == plat::FileStep::Write) && path == file)
      onZero = ::fstat(0, &st) == 0 && st.st_ino == inode;
    return 0;
  });
  const int input = ::dup(0);
  ASSERT_GE(input, 0);
  struct Restore {
    int input;
    ~Restore() {
      ::dup2(input, 0);
      ::close(input);
    }
  } restore{input};

  safepath::HeldPath held;
  ASSERT_EQ(held.walkToFile(file), 0);
  std::string text;
  ASSERT_EQ(::close(0), 0);
  const plat::FileReadResult read = plat::ReadRegularFileIn(held.folder(), held.leaf(), file, 1024, text);
  EXPECT_TRUE(read) << static_cast<int>(read.status) << " " << read.error;
  EXPECT_EQ(text, "old text");
  EXPECT_TRUE(onZero);
  ASSERT_EQ(::dup2(input, 0), 0);

  onZero = false;
  plat::AtomicFile saved;
  ASSERT_TRUE(saved.open(file) && saved.write("new text")) << saved.error();
  ASSERT_EQ(::close(0), 0);
  EXPECT_TRUE(saved.commit()) << saved.error();
  EXPECT_TRUE(onZero);
  EXPECT_EQ(ReadAll(link), "new text");
  ASSERT_EQ(::dup2(input, 0), 0);

  const std::string replaced = dir / "r.dao";
  Put(replaced, "old text");
  bool temporaryOnZero = false;
  plat::FileFaultScope refused([&](plat::FileStep step, const std::string& path) {
    if (step != plat::FileStep::Replace || path != replaced) return 0;
    struct stat open {}, named {};
    temporaryOnZero = ::fstat(0, &open) == 0 && ::lstat(NameStarting(dir.Path(), ".r.dao.").c_str(), &named) == 0 &&
                      open.st_ino == named.st_ino;
    return EIO;
  });
  plat::AtomicFile refusedSave;
  ASSERT_TRUE(refusedSave.open(replaced) && refusedSave.write("new text")) << refusedSave.error();
  ASSERT_EQ(::close(0), 0);
  EXPECT_FALSE(refusedSave.commit());
  EXPECT_TRUE(temporaryOnZero);
  EXPECT_EQ(ReadAll(replaced), "old text");
  EXPECT_EQ(Entries(dir.Path()), 3);  // s.dao, its second link and r.dao: no temporary file
}

// A program another thread starts while a file is saved (a print viewer, the host's launcher) inherits no descriptor
// of the save: at the step where each kind of save gives its file the name (or writes it in place), the process holds
// no descriptor without close-on-exec beyond those it held before.
TEST(AtomicFile, AProgramStartedDuringASaveInheritsNoDescriptorOfIt) {
  TempDir dir;
  const std::string file = dir / "s.dao", linked = dir / "p.dao";
  Put(file, "[S]\r\nk=old\r\n");
  Put(linked, "old");
  ASSERT_EQ(::link(linked.c_str(), (dir / "second.dao").c_str()), 0);  // a further hard link: written in place
  const struct {
    const char* name;
    plat::FileStep step;
    std::function<bool()> save;
  } cases[] = {
      {"a save by rename", plat::FileStep::Replace,
       [&] {
         int err = 0;
         return plat::WriteFileAtomically(file, "new", err);
       }},
      {"a fresh save", plat::FileStep::Replace,
       [&] {
         plat::AtomicFile fresh;
         return fresh.open(dir / "out.pdf", plat::AtomicFile::Naming::Fresh) && fresh.write("printed") &&
                fresh.commit();
       }},
      {"a settings file's merged save", plat::FileStep::Replace,
       [&] { return WritePrivateProfileString("S", "k", "new", file.c_str()) != FALSE; }},
      {"a settings file's first save", plat::FileStep::Replace,
       [&] { return WritePrivateProfileString("S", "k", "new", (dir / "first.dao").c_str()) != FALSE; }},
      {"a save in place", plat::FileStep::Flush,
       [&] {
         int err = 0;
         return plat::WriteFileAtomically(linked, "in place", err);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    plat::IniStore::ClearCache();
    const auto before = inherited::Descriptors();
    int looked = 0;
    std::string inheritable;
    plat::FileFaultScope faults([&](plat::FileStep step, const std::string&) {
      if (step == c.step) {
        ++looked;
        inheritable += inherited::Describe(inherited::MadeSince(before));
      }
      return 0;
    });
    EXPECT_TRUE(c.save());
    EXPECT_GT(looked, 0);
    EXPECT_EQ(inheritable, "");
  }
}

namespace {

// An ACL as the kernel keeps it in "system.posix_acl_access" or "system.posix_acl_default": a version, then (tag,
// permissions, id) entries sorted by tag (owner 1, named user 2, group 4, mask 16, others 32).
std::string Acl(std::initializer_list<std::array<std::uint32_t, 3>> entries) {
  std::string acl;
  const auto put = [&acl](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) acl += static_cast<char>(value >> (8 * i) & 0xFF);
  };
  put(2, 4);
  for (const auto& [tag, permissions, id] : entries) {
    put(tag, 2);
    put(permissions, 2);
    put(id, 4);
  }
  return acl;
}

constexpr std::uint32_t kNoId = 0xFFFFFFFF;

std::string Attribute(const std::string& path, const char* name) {
  std::string value(4096, '\0');
  const ssize_t n = ::lgetxattr(path.c_str(), name, value.data(), value.size());
  return n < 0 ? "(none)" : value.substr(0, static_cast<std::size_t>(n));
}

// Lets every user search the folders above `folder` (not list them) while it lives, for a process of another user that
// names files in `folder` by their full path; their modes come back after.
class SearchableAbove {
 public:
  explicit SearchableAbove(const std::filesystem::path& folder) {
    for (auto up = folder.parent_path(); up != up.root_path() && !up.empty(); up = up.parent_path()) {
      struct stat st {};
      if (::stat(up.c_str(), &st) != 0 || (st.st_mode & S_IXOTH)) continue;
      if (::chmod(up.c_str(), (st.st_mode & 07777) | S_IXOTH) == 0) changed_.emplace_back(up, st.st_mode & 07777);
    }
  }
  ~SearchableAbove() {
    for (const auto& [folder, mode] : changed_) ::chmod(folder.c_str(), mode);
  }
  SearchableAbove(const SearchableAbove&) = delete;
  SearchableAbove& operator=(const SearchableAbove&) = delete;

 private:
  std::vector<std::pair<std::filesystem::path, mode_t>> changed_;
};

// Prints a blank page on `printer` to `output` (null: a new file in the temporary folder, named after the document).
bool PrintPage(const char* printer, const char* output, const char* document) {
  HDC dc = CreateDC(nullptr, printer, nullptr, nullptr);
  DOCINFO info{sizeof(DOCINFO), document, output, nullptr, 0};
  const bool printed = dc && StartDoc(dc, &info) > 0 && StartPage(dc) > 0 && EndPage(dc) > 0 && EndDoc(dc) > 0;
  if (dc) DeleteDC(dc);
  return printed;
}

}  // namespace

// Every save by rename gives its new file the ACL and the other attributes of the file it replaces: the access ACL
// "u::rw,u:4321:rw,g::r,m::rw,o::-" (whose mask is the mode's group bits, 0660) and a "user.tag" are both kept. Where
// this process may not set one (a "security." attribute, for a user), the file is written in place and keeps them
// all; the solver's cache, which writes no file in place, is not saved then and the old file stays. A first save in a
// folder with a default ACL makes the file as an open there does: the mode and ACL of a file made by open(2) beside
// it (others get nothing), not the mode a umask gives.
TEST(AtomicFile, EverySaveByRenameKeepsTheFilesAclAndAttributesAndANewFileIsAsItsOpenMakesIt) {
  int round = 0;  // each save changes what it saves
  const auto next = [&round] { return std::to_string(++round); };
  const struct {
    const char* name;
    const char* given;    // the name the saver is given in the folder
    const char* written;  // the name its file takes
    const char* old;      // what a file it replaces holds (null: it only makes new files)
    std::function<bool(const std::string& path)> save;
    bool inPlaceWhereNotGiven;  // else refused
  } savers[] = {
      {"a settings edit", "s.dao", "s.dao", "[S]\r\nk=old\r\n",
       [&](const std::string& path) {
         return WritePrivateProfileString("S", "k", next().c_str(), path.c_str()) != FALSE;
       },
       true},
      {"a settings batch", "s.dao", "s.dao", "[S]\r\nk=old\r\n",
       [&](const std::string& path) {
         plat::ProfileBatch batch(path.c_str());
         return WritePrivateProfileString("S", "k", next().c_str(), path.c_str()) &&
                WritePrivateProfileString("T", "m", "3", path.c_str()) && batch.Close();
       },
       true},
      {"the registry store", "store.txt", "store.txt", "",
       [&](const std::string& path) {
         HKEY key = nullptr;
         const std::string name = "Software\\Looks" + next();
         const bool saved = plat::RegistryStore::SetStoreFile(path) &&
                            RegCreateKey(HKEY_CURRENT_USER, name.c_str(), &key) == ERROR_SUCCESS;
         if (key) RegCloseKey(key);
         plat::RegistryStore::SetStoreFile(std::nullopt);
         plat::RegistryStore::Reset();
         return saved;
       },
       true},
      {"a screenshot", "shot.png", "shot.png", "old",
       [](const std::string& path) { return plat::Surface::create(2, 2)->writePng(path); }, true},
      {"a PDF print", "out.pdf", "out.pdf", "old",
       [](const std::string& path) { return PrintPage("PDF", path.c_str(), "Doc"); }, true},
      {"a PNG page", "page", "page-1.png", "old",
       [](const std::string& path) { return PrintPage("PNG", path.c_str(), "Doc"); }, true},
      {"a PDF print to no name", "Doc", "Doc.pdf", nullptr,
       [](const std::string& path) {
         EnvScope folder("TMPDIR", std::filesystem::path(path).parent_path().string());
         return PrintPage("PDF", nullptr, "Doc");
       },
       true},
      {"the solver's cache", "solver.cache", "solver.cache", "old",
       [](const std::string& path) { return SmartCache().Save(path); }, false},
      {"the solver's self-test index", "index.txt", "index.txt", "old",
       [](const std::string& path) {
         SelfTestRecorder recorder;
         return recorder.Start(path, path + ".new") && recorder.Close(true) == 0;
       },
       false},
  };
  const std::string acl = Acl({{1, 6, kNoId}, {2, 6, 4321}, {4, 4, kNoId}, {16, 6, kNoId}, {32, 0, kNoId}});
  const std::string folderDefault = Acl({{1, 6, kNoId}, {2, 4, 4321}, {4, 6, kNoId}, {16, 6, kNoId}, {32, 0, kNoId}});
  for (const auto& saver : savers) {
    SCOPED_TRACE(saver.name);
    plat::IniStore::ClearCache();
    if (saver.old) {
      TempDir dir;
      const std::string file = dir / saver.written;
      Put(file, saver.old);
      ASSERT_EQ(::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0) << errno;
      ASSERT_EQ(::setxattr(file.c_str(), "user.tag", "blue", 4, 0), 0) << errno;
      // What a program file may do, which new bytes never gain (only root may set it).
      const char capability[20] = {0, 0, 0, 2, 1};  // revision 2, the permitted set holds the lowest capability
      if (another_user::AsRoot()) {
        ASSERT_EQ(::setxattr(file.c_str(), "security.capability", capability, sizeof capability, 0), 0) << errno;
      }
      const ino_t before = Inode(file);
      ASSERT_TRUE(saver.save(dir / saver.given));
      EXPECT_NE(Inode(file), before);  // saved by rename
      EXPECT_NE(ReadAll(file), saver.old);
      EXPECT_EQ(Attribute(file, "system.posix_acl_access"), acl);
      EXPECT_EQ(Attribute(file, "user.tag"), "blue");
      EXPECT_EQ(Attribute(file, "security.capability"), "(none)");
      struct stat st {};
      ASSERT_EQ(::stat(file.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, 0660u);
      EXPECT_EQ(Entries(dir.Path()), 1);

      // Only root may give files to another user, and only a user is refused a "security." attribute.
      if (another_user::AsRoot()) {
        Put(file, saver.old);
        ASSERT_EQ(::setxattr(file.c_str(), "security.tag", "red", 3, 0), 0) << errno;
        ASSERT_TRUE(another_user::GiveTree(dir.Path()));
        const ino_t theirs = Inode(file);
        const SearchableAbove searchable(dir.Path());  // the settings name their file by its full path
        const int saved = another_user::Run(dir.Path(), [&] { return saver.save(saver.given) ? 0 : 1; });
        EXPECT_EQ(saved, saver.inPlaceWhereNotGiven ? 0 : 1);
        EXPECT_EQ(Inode(file), theirs);
        EXPECT_EQ(ReadAll(file) != saver.old, saver.inPlaceWhereNotGiven);
        EXPECT_EQ(Attribute(file, "security.tag"), "red");
        EXPECT_EQ(Attribute(file, "system.posix_acl_access"), acl);
        EXPECT_EQ(Attribute(file, "user.tag"), "blue");
        EXPECT_EQ(Entries(dir.Path()), 1);
      }
    }

    TempDir dir;
    ASSERT_EQ(::setxattr(dir.Path().c_str(), "system.posix_acl_default", folderDefault.data(), folderDefault.size(), 0),
              0)
        << errno;
    const int made = ::open((dir / "made").c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    ASSERT_GE(made, 0);
    ::close(made);
    ASSERT_TRUE(saver.save(dir / saver.given));
    struct stat saved {}, opened {};
    ASSERT_EQ(::stat((dir / saver.written).c_str(), &saved), 0);
    ASSERT_EQ(::stat((dir / "made").c_str(), &opened), 0);
    EXPECT_EQ(saved.st_mode & 07777, opened.st_mode & 07777);
    EXPECT_EQ(opened.st_mode & 07777, 0660u);
    EXPECT_EQ(Attribute(dir / saver.written, "system.posix_acl_access"),
              Attribute(dir / "made", "system.posix_acl_access"));
    if (saver.old) {
      // A file there without an ACL keeps none: the one the folder's default gives the new file is taken away.
      const std::string file = dir / saver.written;
      ASSERT_EQ(::removexattr(file.c_str(), "system.posix_acl_access"), 0) << errno;
      ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
      plat::IniStore::ClearCache();
      const ino_t was = Inode(file);
      ASSERT_TRUE(saver.save(dir / saver.given));
      EXPECT_NE(Inode(file), was);
      ASSERT_EQ(::stat(file.c_str(), &saved), 0);
      EXPECT_EQ(saved.st_mode & 07777, 0600u);
      EXPECT_EQ(Attribute(file, "system.posix_acl_access"), "(none)");
    }
  }
}

// A save by rename keeps attributes whose value or list of names is longer than a first ask reads: a 3 KiB "user."
// value (ext4 keeps no more than a block's worth of them in all), and 40 "user." attributes. The settings edit
// replaces the file (rather than write it in place), and the solver's cache, which writes no file in place, is saved.
TEST(AtomicFile, ASaveByRenameKeepsALongAttributeValueAndALongListOfThem) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> attributes;
  } cases[] = {
      {"a 3 KiB value", {{"user.long", std::string(3072, 'v')}}},
      {"40 attributes", [] {
         std::vector<std::pair<std::string, std::string>> many;
         for (int i = 0; i < 40; ++i) many.emplace_back("user.tag" + std::to_string(i), std::to_string(i));
         return many;
       }()},
  };
  const struct {
    const char* name;
    std::function<bool(const std::string& path)> save;
  } savers[] = {
      {"a settings edit",
       [](const std::string& path) { return WritePrivateProfileString("S", "k", "new", path.c_str()) != FALSE; }},
      {"the solver's cache", [](const std::string& path) { return SmartCache().Save(path); }},
  };
  for (const auto& c : cases) {
    for (const auto& saver : savers) {
      SCOPED_TRACE(std::string(c.name) + ", " + saver.name);
      TempDir dir;
      const std::string file = dir / "s.dao";
      Put(file, "[S]\r\nk=old\r\n");
      for (const auto& [name, value] : c.attributes)
        ASSERT_EQ(::setxattr(file.c_str(), name.c_str(), value.data(), value.size(), 0), 0) << errno;
      plat::IniStore::ClearCache();
      const ino_t before = Inode(file);
      EXPECT_TRUE(saver.save(file));
      EXPECT_NE(Inode(file), before);  // saved by rename
      for (const auto& [name, value] : c.attributes) EXPECT_EQ(Attribute(file, name.c_str()), value) << name;
    }
  }
}
