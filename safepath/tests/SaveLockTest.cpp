#include "safepath/SaveLock.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "safepath/tests/OtherLocks.h"

namespace fs = std::filesystem;

// A save lock asked for while another save holds it is taken once that save gives it up, on what the name holds
// then: the file that save renamed under the name, also where the name held none at the walk (that save made it).
TEST(SaveLock, WaitsForAnotherSaveAndTakesWhatItLeftUnderTheName) {
  for (const bool existed : {true, false}) {
    SCOPED_TRACE(existed ? "a file replaced" : "a file made");
    std::string made = (fs::temp_directory_path() / "brim-savelock-XXXXXX").string();
    ASSERT_NE(::mkdtemp(made.data()), nullptr);
    const fs::path dir = fs::canonical(made), file = dir / "f";
    if (existed) std::ofstream(file) << "old";
    safepath::HeldPath held;
    ASSERT_EQ(held.walkToFile(file.string()), 0);
    if (!existed) std::ofstream(file) << "old";
    const int other = other_locks::Take(file, other_locks::Kind::Write);  // an open of its own: as another save's
    ASSERT_GE(other, 0);
    safepath::SaveLock lock;
    const int before = other_locks::OpenHere(file);
    std::atomic<int> taken{-1};
    std::thread waiting([&] { taken = lock.take(held); });
    while (other_locks::OpenHere(file) <= before && taken < 0) std::this_thread::yield();  // waits on what it opened
    std::ofstream(dir / "new") << "new";
    fs::rename(dir / "new", file);
    ::close(other);
    waiting.join();
    EXPECT_EQ(taken, 0);
    struct stat now {};
    ASSERT_EQ(::stat(file.c_str(), &now), 0);
    EXPECT_TRUE(lock.covers(&now));
    const int again = other_locks::Take(file, other_locks::Kind::Write);
    EXPECT_LT(again, 0);
    if (again >= 0) ::close(again);
    lock.release();
    fs::remove_all(dir);
  }
}

namespace {

// A folder of the test's own, removed with what it holds.
struct Folder {
  Folder() {
    std::string made = (fs::temp_directory_path() / "brim-savelock-XXXXXX").string();
    if (::mkdtemp(made.data())) path = fs::canonical(made);
  }
  ~Folder() {
    std::error_code ec;
    if (!path.empty()) fs::remove_all(path, ec);
  }
  fs::path path;
};

}  // namespace

// The user's saves of one file run one at a time whatever another user (who may only read the file, of mode 0644, in a
// folder of mode 0755) holds on it or on its folder: while one holds the save lock, another thread's take waits and
// fails past its wait, and takes it once the first lets go. The lock's file, in the user's own lock folder (mode 0700),
// goes with the lock: no lock file outlasts its save.
TEST(SaveLock, TheUsersSavesOfAFileRunOneAtATimeWhateverAnotherUserHolds) {
  using other_locks::Kind;
  const struct {
    const char* name;
    std::optional<Kind> kind;
    bool onFolder;
  } holders[] = {
      {"nothing held", std::nullopt, false},
      {"a read lock", Kind::Read, false},
      {"a process's read lock", Kind::ClassicRead, false},
      {"flock -s", Kind::SharedFlock, false},
      {"flock -x through a read-only descriptor", Kind::ExclusiveFlock, false},
      {"flock -x on the folder", Kind::ExclusiveFlock, true},
  };
  const fs::path locks = other_locks::LockFolder();
  for (const auto& h : holders) {
    SCOPED_TRACE(h.name);
    Folder dir;
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    const fs::path file = dir.path / "s.ini";
    std::ofstream(file) << "[S]\n";
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    std::optional<other_locks::Holder> holder;
    if (h.kind) {
      holder.emplace(dir.path, h.onFolder ? "." : "s.ini", *h.kind);
      ASSERT_TRUE(holder->holding());
    }
    safepath::HeldPath held;
    ASSERT_EQ(held.walkToFile(file.string()), 0);
    safepath::SaveLock first;
    ASSERT_EQ(first.take(held, std::chrono::milliseconds(0)), 0);
    safepath::SaveLock second;
    int taken = -1;
    std::thread([&] { taken = second.take(held, std::chrono::milliseconds(20)); }).join();
    EXPECT_EQ(taken, EWOULDBLOCK);
    first.release();
    std::thread([&] { taken = second.take(held, std::chrono::milliseconds(0)); }).join();
    EXPECT_EQ(taken, 0);
    second.release();
    struct stat folder {};
    std::error_code ec;
    EXPECT_EQ(::stat(locks.c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);
    EXPECT_TRUE(fs::is_empty(locks, ec)) << ec.message();
  }
}

// A lock taken on a name that holds no file covers no file: a file made there afterwards (by a program that took no
// lock, or before this lock was taken) is not the one the lock was taken for.
TEST(SaveLock, ALockTakenOnAFreeNameCoversNoFileMadeThereAfterwards) {
  Folder dir;
  const fs::path file = dir.path / "s.ini";
  safepath::HeldPath held;
  ASSERT_EQ(held.walkToFile(file.string()), 0);
  safepath::SaveLock lock;
  ASSERT_EQ(lock.take(held), 0);
  EXPECT_TRUE(lock.covers(nullptr));
  std::ofstream(file) << "[S]\n";
  struct stat made {};
  ASSERT_EQ(::stat(file.c_str(), &made), 0);
  EXPECT_FALSE(lock.covers(&made));
}
