#include "safepath/SaveLock.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

// The descriptors of this process open on `path` (as /proc names what they are open on).
int OpenOn(const fs::path& path) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    count += fs::read_symlink(entry.path(), ec) == path;
  }
  return count;
}

}  // namespace

// A save lock asked for while another save holds it is taken once that save gives it up, on what the name holds
// then: the file that save renamed under the name, also where the name held none before (the folder was locked).
TEST(SaveLock, WaitsForAnotherSaveAndTakesWhatItLeftUnderTheName) {
  for (const bool existed : {true, false}) {
    SCOPED_TRACE(existed ? "a file replaced" : "a file made");
    std::string made = (fs::temp_directory_path() / "brim-savelock-XXXXXX").string();
    ASSERT_NE(::mkdtemp(made.data()), nullptr);
    const fs::path dir = fs::canonical(made), file = dir / "f";
    if (existed) std::ofstream(file) << "old";
    const fs::path locked = existed ? file : dir;
    const int other = ::open(locked.c_str(), O_RDONLY | O_CLOEXEC);  // an open of its own: as another program's
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    safepath::HeldPath held;
    ASSERT_EQ(held.walkToFile(file.string()), 0);
    safepath::SaveLock lock;
    const int before = OpenOn(locked);
    std::atomic<int> taken{-1};
    std::thread waiting([&] { taken = lock.take(held); });
    while (OpenOn(locked) <= before && taken < 0) std::this_thread::yield();  // the take waits on what it opened
    std::ofstream(dir / "new") << "new";
    fs::rename(dir / "new", file);
    ::close(other);
    waiting.join();
    EXPECT_EQ(taken, 0);
    struct stat now {};
    ASSERT_EQ(::stat(file.c_str(), &now), 0);
    EXPECT_TRUE(lock.covers(&now));
    const int again = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_NE(::flock(again, LOCK_EX | LOCK_NB), 0);
    ::close(again);
    lock.release();
    fs::remove_all(dir);
  }
}
