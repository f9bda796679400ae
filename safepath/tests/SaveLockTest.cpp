#include "safepath/SaveLock.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
