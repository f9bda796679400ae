#include "safepath/SaveLock.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
#include <utility>
#include <vector>

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
// fails past its wait, and takes it once the first lets go. The user's own lock folder (mode 0700) holds one lock file
// at most, kept for the next saves.
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
    if (::stat(locks.c_str(), &folder) == 0) {
      EXPECT_EQ(folder.st_mode & 07777, 0700u);
      for (const auto& entry : fs::directory_iterator(locks)) EXPECT_EQ(entry.path().filename(), "saves.lock");
    }
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

// A save of the user's own file under a reader's lock takes the user's own lock in every place, or none: a process
// that runs short of descriptors at any step of the take (the file, a place's walk, its lock folder, its lock file) is
// refused with EMFILE, never left holding the first place's lock alone, where another program of the user that sees
// only the second would not meet it. Each count of free descriptors runs in a process of its own, whose exit tells
// what came of it.
TEST(SaveLock, AProcessShortOfDescriptorsTakesTheLockInEveryPlaceOrIsRefused) {
  Folder dir;
  ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
  const fs::path file = dir.path / "s.ini";
  std::ofstream(file) << "[S]\n";
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
  const std::string first = (dir.path / "first").string(), second = (dir.path / "second").string();
  const auto previous = safepath::SetLockPlaces(
      [&](uid_t) { return std::vector<safepath::LockPlace>{{first, true}, {second, true}}; });
  other_locks::Holder reader(dir.path, "s.ini", other_locks::Kind::Read);
  ASSERT_TRUE(reader.holding());
  enum Outcome { kHeldInBoth = 10, kRefused, kHeldInOneAlone, kOther };
  std::vector<int> outcomes;
  for (int free = 0; free <= 24; ++free) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Every descriptor but `free` taken up by copies of descriptor 0.
      std::vector<int> filler;
      for (int fd; (fd = ::dup(0)) >= 0;) filler.push_back(fd);
      for (int i = 0; i < free && !filler.empty(); ++i, filler.pop_back()) ::close(filler.back());
      safepath::HeldPath held;
      const int walked = held.walkToFile(file.string());
      safepath::SaveLock lock;
      const int taken = walked == 0 ? lock.take(held, std::chrono::milliseconds(0)) : walked;
      for (int fd : filler) ::close(fd);
      if (taken == EMFILE) ::_exit(kRefused);
      if (taken != 0) ::_exit(kOther);
      // Held: a program that sees either place alone (another thread: this one's own take is its outer save's)
      // must wait for it.
      for (const std::string& alone : {first, second}) {
        safepath::SetLockPlaces([&](uid_t) { return std::vector<safepath::LockPlace>{{alone, true}}; });
        int other = -1;
        std::thread([&] { other = safepath::SaveLock().take(held, std::chrono::milliseconds(0)); }).join();
        if (other != EWOULDBLOCK) ::_exit(kHeldInOneAlone);
      }
      ::_exit(kHeldInBoth);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    outcomes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  reader.release();
  safepath::SetLockPlaces(previous);
  for (int free = 0; free < static_cast<int>(outcomes.size()); ++free)
    EXPECT_TRUE(outcomes[free] == kHeldInBoth || outcomes[free] == kRefused) << free << " free: " << outcomes[free];
  EXPECT_EQ(outcomes.front(), kRefused);
  EXPECT_EQ(outcomes.back(), kHeldInBoth);
}

namespace {

// Sets or unsets environment variables for a scope.
class Environment {
 public:
  explicit Environment(const std::vector<std::pair<const char*, std::optional<std::string>>>& set) {
    for (const auto& [name, value] : set) {
      const char* was = std::getenv(name);
      old_.emplace_back(name, was ? std::optional<std::string>(was) : std::nullopt);
      value ? (void)::setenv(name, value->c_str(), 1) : (void)::unsetenv(name);
    }
  }
  ~Environment() {
    for (const auto& [name, value] : old_) value ? (void)::setenv(name, value->c_str(), 1) : (void)::unsetenv(name);
  }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> old_;
};

}  // namespace

// Every program of a user finds their own lock in the same places whatever its environment (one started from the
// desktop, from cron, by su, sudo -u or env -i): the runtime folder of their uid, then the cache folder in the home the
// password database gives them. A user the database does not know has the runtime folder alone.
TEST(SaveLock, TheUsersLockPlacesAreFixedByTheirIdentityWhateverTheEnvironment) {
  const uid_t user = ::geteuid();
  const struct passwd* entry = ::getpwuid(user);
  ASSERT_NE(entry, nullptr);
  const std::string home = entry->pw_dir;
  const std::vector<safepath::LockPlace> expected{{"/run/user/" + std::to_string(user), false},
                                                  {(home == "/" ? "" : home) + "/.cache", true}};
  const std::optional<std::string> none;
  const struct {
    const char* name;
    std::vector<std::pair<const char*, std::optional<std::string>>> environment;
  } rows[] = {
      {"as started", {}},
      {"no runtime folder", {{"XDG_RUNTIME_DIR", none}}},
      {"another runtime folder", {{"XDG_RUNTIME_DIR", "/tmp"}}},
      {"another cache folder", {{"XDG_CACHE_HOME", "/tmp/cache"}}},
      {"no home", {{"HOME", none}}},
      {"another home", {{"HOME", "/tmp"}}},
      {"nothing set", {{"XDG_RUNTIME_DIR", none}, {"XDG_CACHE_HOME", none}, {"HOME", none}, {"USER", none},
                       {"LOGNAME", none}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Environment environment(row.environment);
    EXPECT_EQ(safepath::UserLockPlaces(user), expected);
  }
  if (!::getpwuid(another_user::kUid)) {
    EXPECT_EQ(safepath::UserLockPlaces(another_user::kUid),
              (std::vector<safepath::LockPlace>{{"/run/user/" + std::to_string(another_user::kUid), false}}));
  }
}

// Under another user's read lock on a file only the user may write, the user's own lock is taken in the first place
// that takes it: one that cannot (missing, a folder others may write, another user's, its lock folder open to others, a
// link to another folder of the user's or a file, its lock file a link) is passed over for the next, and so is one that
// another user could move or replace: in a home (the folder above it) another user owns or that its group or all may
// write (mode 0777: another user moves the cache folder away between two programs' takes, and the second would make a
// new one and take its lock there while the first holds the old one; one missing there is not made either), or behind a
// link another user planted in a sticky folder every user may write. A home of mode 1777 whose cache folder is the
// user's, and a link of the user's (root's, as the tests run) in a folder of theirs, take it. Where none takes it the
// take is refused (ENOLCK). Each program passes over in the same order and takes the lock also in every later place
// that holds a lock file already: once the first place can take it again, a program that takes it there still waits for
// one that passed it over, and the other way round.
TEST(SaveLock, APlaceThatCannotTakeTheLockIsPassedOverInTheSameOrderByEveryProgram) {
  enum class First { Own, Missing, OpenToWrites, Theirs, LockFolderOpen, LockFolderLink, LockFolderFile, LockFileLink };
  // What stands above the first place, the cache folder of a home: a home of mode 0755 (the place is not made where
  // missing), or as the row names it (made where missing, as a cache folder is).
  enum class Above { Home, OpenHome, StickyHome, GroupHome, TheirHome, PlantedLink, OwnLink };
  // What goes while one program holds the lock and another waits for it.
  enum class Gone { Nothing, FirstPlace, SecondLockFile };
  const struct {
    const char* name;
    First first;
    bool secondTakes;
    Above above = Above::Home;
    Gone gone = Gone::Nothing;
  } rows[] = {
      {"the first place takes it", First::Own, true},
      {"the first place missing", First::Missing, true},
      {"the first place one others may write", First::OpenToWrites, true},
      {"the first place another user's", First::Theirs, true},
      {"the first place's lock folder open to others", First::LockFolderOpen, true},
      {"the first place's lock folder a link to a folder of the user's", First::LockFolderLink, true},
      {"the first place's lock folder a file", First::LockFolderFile, true},
      {"the first place's lock file a link", First::LockFileLink, true},
      {"no place takes it", First::Missing, false},
      {"the first place in a home every user may write, moved away between two takes", First::Own, true,
       Above::OpenHome},
      {"the first place missing in a home every user may write", First::Missing, true, Above::OpenHome},
      {"the first place the user's in a sticky home every user may write", First::Own, true, Above::StickyHome},
      {"the first place in a home its group may write", First::Own, true, Above::GroupHome},
      {"the first place in a home of another user's", First::Own, true, Above::TheirHome},
      {"the first place behind a link another user planted in a sticky folder", First::Own, true, Above::PlantedLink},
      {"the first place behind a link of the user's in a folder of theirs", First::Own, true, Above::OwnLink},
      {"no place takes it, the first in a home its group may write", First::Own, false, Above::GroupHome},
      {"the first place removed while the lock is held and waited for", First::Own, true, Above::Home,
       Gone::FirstPlace},
      {"the second place's lock file replaced while the lock is held and waited for", First::Own, true, Above::Home,
       Gone::SecondLockFile},
  };
  using other_locks::Kind;
  for (const auto& row : rows) {
    if (row.first == First::Theirs && !another_user::AsRoot()) continue;  // only root can give a folder away
    SCOPED_TRACE(row.name);
    Folder dir;
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    const fs::path file = dir.path / "s.ini", home = dir.path / "home", first = home / ".cache",
                   second = dir.path / "second", elsewhere = dir.path / "elsewhere", shared = dir.path / "shared",
                   firstLocks = first / "brim-save-locks", secondLocks = second / "brim-save-locks";
    std::ofstream(file) << "[S]\n";
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(::mkdir(elsewhere.c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(home.c_str(), 0755), 0);
    if (row.first != First::Missing) {
      ASSERT_EQ(::mkdir(first.c_str(), 0700), 0);
    }
    ASSERT_EQ(::mkdir(second.c_str(), 0700), 0);
    if (!row.secondTakes) {
      ASSERT_EQ(::mkdir(secondLocks.c_str(), 0755), 0);
    }
    switch (row.first) {
      case First::OpenToWrites: ASSERT_EQ(::chmod(first.c_str(), 0777), 0); break;
      case First::Theirs: ASSERT_EQ(::chown(first.c_str(), another_user::kUid, another_user::kUid), 0); break;
      case First::LockFolderOpen: ASSERT_EQ(::mkdir(firstLocks.c_str(), 0755), 0); break;
      case First::LockFolderLink: ASSERT_EQ(::symlink(elsewhere.c_str(), firstLocks.c_str()), 0); break;
      case First::LockFolderFile: std::ofstream(firstLocks) << ""; break;
      case First::LockFileLink:
        ASSERT_EQ(::mkdir(firstLocks.c_str(), 0700), 0);
        ASSERT_EQ(::symlink((elsewhere / "saves.lock").c_str(), (firstLocks / "saves.lock").c_str()), 0);
        break;
      default: break;
    }
    another_user::Files others;
    fs::path firstPlace = first;
    switch (row.above) {
      case Above::OpenHome: ASSERT_EQ(::chmod(home.c_str(), 0777), 0); break;
      case Above::StickyHome: ASSERT_EQ(::chmod(home.c_str(), 01777), 0); break;
      case Above::GroupHome: ASSERT_EQ(::chmod(home.c_str(), 0775), 0); break;
      case Above::TheirHome: ASSERT_TRUE(others.give(home)); break;
      case Above::PlantedLink:
        ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
        ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
        ASSERT_EQ(::symlink(home.c_str(), (shared / "home").c_str()), 0);
        ASSERT_TRUE(others.give(shared / "home"));
        firstPlace = shared / "home/.cache";
        break;
      case Above::OwnLink:
        ASSERT_EQ(::symlink(home.c_str(), (dir.path / "to-home").c_str()), 0);
        firstPlace = dir.path / "to-home/.cache";
        break;
      default: break;
    }
    const auto places = safepath::SetLockPlaces([&](uid_t) {
      return std::vector<safepath::LockPlace>{{firstPlace.string(), row.above != Above::Home}, {second.string(), true}};
    });
    other_locks::Holder reader(dir.path, "s.ini", Kind::Read);
    ASSERT_TRUE(reader.holding());
    safepath::HeldPath held;
    ASSERT_EQ(held.walkToFile(file.string()), 0);
    // The passing program's takes in this thread, the other's in threads of their own (a thread never waits on a lock
    // it holds itself).
    safepath::SaveLock passing, other;
    const auto take = [&](safepath::SaveLock& lock, int ms) {
      int taken = -1;
      if (&lock == &passing) return lock.take(held, std::chrono::milliseconds(ms));
      std::thread([&] { taken = lock.take(held, std::chrono::milliseconds(ms)); }).join();
      return taken;
    };
    const bool firstTakes = row.first == First::Own &&
                            (row.above == Above::Home || row.above == Above::StickyHome || row.above == Above::OwnLink);
    ASSERT_EQ(take(passing, 0), firstTakes || row.secondTakes ? 0 : ENOLCK);
    EXPECT_EQ(fs::exists(firstLocks / "saves.lock"), firstTakes);
    EXPECT_EQ(fs::exists(secondLocks / "saves.lock"), row.secondTakes);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_TRUE(row.first != First::Missing || !fs::exists(first));  // nothing made where it is passed over
    if (row.above == Above::OpenHome && row.first == First::Own) {
      ASSERT_EQ(another_user::Run(home, [] { return ::rename(".cache", ".cache-moved") == 0 ? 0 : 1; }), 0);
    }
    EXPECT_EQ(take(other, 20), firstTakes || row.secondTakes ? EWOULDBLOCK : ENOLCK);
    if (row.gone != Gone::Nothing) {
      // The holder's lock orders no one from then on; the waiter takes the lock file the places hold now, and the
      // next program waits for it.
      int waited = -1;
      std::thread waiting([&] { waited = other.take(held, std::chrono::milliseconds(5000)); });
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (row.gone == Gone::FirstPlace) {
        fs::remove_all(first);
      } else {
        std::ofstream(secondLocks / "new") << "";
        fs::rename(secondLocks / "new", secondLocks / "saves.lock");
      }
      EXPECT_FALSE(passing.stillOrders());
      passing.release();
      waiting.join();
      EXPECT_EQ(waited, 0);
      EXPECT_TRUE(other.stillOrders());
      EXPECT_EQ(take(passing, 20), EWOULDBLOCK);
    }
    if (!firstTakes && row.secondTakes && (row.above == Above::Home || row.above == Above::OpenHome)) {
      // The first place takes it again: the one that passed it over is met in the second, either way round.
      fs::remove_all(firstLocks);
      ASSERT_EQ(::chmod(home.c_str(), 0755), 0);
      if (!fs::exists(first)) {
        ASSERT_EQ(::mkdir(first.c_str(), 0700), 0);
      }
      ASSERT_EQ(::chown(first.c_str(), ::geteuid(), ::getegid()), 0);
      ASSERT_EQ(::chmod(first.c_str(), 0700), 0);
      EXPECT_EQ(take(other, 20), EWOULDBLOCK);
      EXPECT_TRUE(fs::exists(firstLocks / "saves.lock"));
      passing.release();
      EXPECT_EQ(take(other, 0), 0);
      EXPECT_EQ(take(passing, 20), EWOULDBLOCK);
    }
    passing.release();
    other.release();
    safepath::SetLockPlaces(places);
  }
}

// A lock taken through descriptor 0 (a program started without standard input) is given up at its release as any
// other: the file's write lock, and the file's read lock beside the user's own under another user's read lock.
TEST(SaveLock, ALockOnDescriptorZeroIsGivenUpAtItsRelease) {
  for (const bool reader : {false, true}) {
    SCOPED_TRACE(reader ? "a reader's lock" : "no reader");
    Folder dir;
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    const fs::path file = dir.path / "s.ini";
    std::ofstream(file) << "[S]\n";
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    std::optional<other_locks::Holder> holder;
    if (reader) {
      holder.emplace(dir.path, "s.ini", other_locks::Kind::Read);
      ASSERT_TRUE(holder->holding());
    }
    safepath::HeldPath held;
    ASSERT_EQ(held.walkToFile(file.string()), 0);
    const int input = ::fcntl(0, F_DUPFD_CLOEXEC, 3);
    ::close(0);
    {
      safepath::SaveLock lock;
      EXPECT_EQ(lock.take(held, std::chrono::milliseconds(0)), 0);
      EXPECT_EQ(other_locks::OpenHere(file), 1);
      lock.release();
      EXPECT_EQ(other_locks::OpenHere(file), 0);
      EXPECT_EQ(::fcntl(0, F_GETFD), -1);
      int taken = -1;
      std::thread([&] {
        safepath::SaveLock again;
        taken = again.take(held, std::chrono::milliseconds(0));
      }).join();
      EXPECT_EQ(taken, 0);
    }
    if (input >= 0) {
      ::dup2(input, 0);
      ::close(input);
    }
  }
}
