// Settings-file saves the way the module makes them.
//
// BM_ModuleSave: 60 keys written one call each, then four probe sections of 2,500 lines each written with
// one section call apiece (the module's "\r\n"-joined form), all in one batch as a record's Save makes
// them, then everything read back: the keys one call each and the sections with the module's loop (a
// 1024-byte buffer doubled while the answer is size - 2). Target: under 20 ms in the release build.
// BM_SingleKeyWrites/10000/1: 10,000 single-key writes into one file in one batch. Target: under 20 ms.
// BM_SingleKeyWrites/10000/0: the same writes without a batch, each replacing the file (reported).
// BM_KeyList: the key names of a section of 10,000 keys, and of one of 1,000 (linear: about ten times
// as long).
// BM_SeparateSaves/N: N separate saves of one key each into a settings file of 60 keys that exists, each a whole save
// of its own (the file's lock, its read, the new file, its flush and rename) as a program that saves now and then makes
// them: 1 and 100 of them (BM_SingleKeyWrites/10000/0 makes 10,000). The save lock's share of a save is measured
// against the save itself: within 1.1 times the save without it, in time and CPU.
// BM_SeparateSavesUnderAReader/N/B: the same saves while another open of the file holds a read lock on it (a
// reader's), each written in place (the file has a second hard link, so the reader's lock stays on it): each save takes
// a read lock and the user's own lock in the first of its two places (in the benchmark's folder, as a runtime folder
// and a home's cache folder are), walked from the root, and with B also in the second, which holds a lock file too.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/PrivateProfile.h"
#include "platform/base/ProfileBatch.h"
#include "platform/base/tests/TempDir.h"
#include "safepath/SaveLock.h"

namespace {

std::string TempFile(const char* name) { return (MakeTempFolder("brim-bench") / name).string(); }

std::string ProbeSection(int section) {
  std::string text;
  char line[160];
  for (int i = 0; i < 2500; ++i) {
    std::snprintf(line, sizeof line, "Probe%d_%04d=U%d.%d,GND,%d,1,0.%06d,1e-09,2.5e-10,Layer%d,%s\r\n", section, i, i % 97,
                  i % 13, i % 2, i * 37 % 1000000, i % 8, i % 3 ? "enabled" : "disabled");
    text += line;
  }
  text += "\r\n";
  return text;
}

void BM_ModuleSave(benchmark::State& state) {
  const std::string file = TempFile("settings.dao");
  std::vector<std::string> sections;
  for (int s = 0; s < 4; ++s) sections.push_back(ProbeSection(s));
  const char* names[] = {"BOARD_PROBES", "VIA_PROBES", "PORT_PROBES", "EXTRA_PROBES"};
  char value[512];
  std::size_t bytesRead = 0;
  for (auto _ : state) {
    std::remove(file.c_str());
    plat::ProfileBatch batch(file.c_str());
    for (int k = 0; k < 60; ++k) {
      const std::string key = "Key" + std::to_string(k);
      std::snprintf(value, sizeof value, "%g", k * 1.25e6);
      WritePrivateProfileString(k < 20 ? "OPTIONS_DW" : (k < 40 ? "BOARD" : "HEADER"), key.c_str(), value, file.c_str());
    }
    for (int s = 0; s < 4; ++s) WritePrivateProfileSection(names[s], sections[s].c_str(), file.c_str());
    if (!batch.Close()) state.SkipWithError("the save failed");
    for (int k = 0; k < 60; ++k) {
      const std::string key = "Key" + std::to_string(k);
      GetPrivateProfileString(k < 20 ? "OPTIONS_DW" : (k < 40 ? "BOARD" : "HEADER"), key.c_str(), "", value, sizeof value,
                              file.c_str());
    }
    for (int s = 0; s < 4; ++s) {
      std::vector<char> buf(1024);
      DWORD n;
      while ((n = GetPrivateProfileSection(names[s], buf.data(), static_cast<DWORD>(buf.size()), file.c_str())) ==
             buf.size() - 2)
        buf.resize(buf.size() * 2);
      bytesRead += n;
    }
  }
  state.counters["section_bytes"] = benchmark::Counter(static_cast<double>(bytesRead), benchmark::Counter::kAvgIterations);
  std::filesystem::remove_all(std::filesystem::path(file).parent_path());
}
BENCHMARK(BM_ModuleSave)->Unit(benchmark::kMillisecond);

void BM_SingleKeyWrites(benchmark::State& state) {
  const std::string file = TempFile("many.dao");
  const int count = static_cast<int>(state.range(0));
  const bool batched = state.range(1) != 0;
  for (auto _ : state) {
    std::remove(file.c_str());
    std::optional<plat::ProfileBatch> batch;
    if (batched) batch.emplace(file.c_str());
    for (int k = 0; k < count; ++k) {
      const std::string key = "Key" + std::to_string(k);
      WritePrivateProfileString("MANY", key.c_str(), "0.125", file.c_str());
    }
    if (batch && !batch->Close()) state.SkipWithError("the batch failed");
  }
  state.counters["writes_per_s"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
  std::filesystem::remove_all(std::filesystem::path(file).parent_path());
}
BENCHMARK(BM_SingleKeyWrites)->Args({10000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SingleKeyWrites)->Args({10000, 0})->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_KeyList(benchmark::State& state) {
  const std::string file = TempFile("keys.dao");
  const int count = static_cast<int>(state.range(0));
  {
    plat::ProfileBatch batch(file.c_str());
    for (int k = 0; k < count; ++k) WritePrivateProfileString("MANY", ("Key" + std::to_string(k)).c_str(), "1", file.c_str());
  }
  std::vector<char> buffer(static_cast<std::size_t>(count) * 12 + 2);
  for (auto _ : state) {
    const DWORD n = GetPrivateProfileString("MANY", nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    benchmark::DoNotOptimize(n);
  }
  std::filesystem::remove_all(std::filesystem::path(file).parent_path());
}
BENCHMARK(BM_KeyList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A settings file of 60 keys in a folder of its own.
std::string SixtyKeys() {
  const std::string file = TempFile("separate.dao");
  plat::ProfileBatch batch(file.c_str());
  for (int k = 0; k < 60; ++k)
    WritePrivateProfileString("OPTIONS", ("Key" + std::to_string(k)).c_str(), "1", file.c_str());
  return file;
}

// state.range(0) separate saves of a key each into `file`, an iteration.
void SaveSeparately(benchmark::State& state, const std::string& file) {
  const int count = static_cast<int>(state.range(0));
  int round = 0;
  for (auto _ : state) {
    ++round;
    for (int k = 0; k < count; ++k) {
      const std::string key = "Key" + std::to_string(k % 60), value = std::to_string(round) + "." + std::to_string(k);
      if (!WritePrivateProfileString("OPTIONS", key.c_str(), value.c_str(), file.c_str())) {
        state.SkipWithError("a save failed");
        break;
      }
    }
  }
  state.counters["saves_per_s"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_SeparateSaves(benchmark::State& state) {
  const std::string file = SixtyKeys();
  SaveSeparately(state, file);
  std::filesystem::remove_all(std::filesystem::path(file).parent_path());
}
BENCHMARK(BM_SeparateSaves)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_SeparateSavesUnderAReader(benchmark::State& state) {
  const std::string file = SixtyKeys();
  const std::filesystem::path folder = std::filesystem::path(file).parent_path(), cache = folder / "home/.cache",
                              locks = cache / "brim-save-locks";
  std::filesystem::create_directory(folder / "home");
  // The second place as a program that took the lock there while the runtime folder was missing leaves it.
  const auto lockFile = [&] {
    const int fd = ::open((locks / "saves.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    return fd >= 0 && ::close(fd) == 0;
  };
  const bool ready = state.range(1) == 0 ||
                     (::mkdir(cache.c_str(), 0700) == 0 && ::mkdir(locks.c_str(), 0700) == 0 && lockFile());
  const auto places = safepath::SetLockPlaces([&](uid_t) {
    return std::vector<safepath::LockPlace>{{(folder / "run").string(), true}, {cache.string(), true}};
  });
  struct flock read {};
  read.l_type = F_RDLCK;
  read.l_whence = SEEK_SET;
  const int reader = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (!ready || ::link(file.c_str(), (folder / "second.dao").c_str()) != 0 || reader < 0 ||
      ::fcntl(reader, F_OFD_SETLK, &read) != 0)
    state.SkipWithError("no reader's lock");
  else
    SaveSeparately(state, file);
  if (reader >= 0) ::close(reader);
  safepath::SetLockPlaces(places);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SeparateSavesUnderAReader)->Args({1, 0})->Args({100, 0})->Args({100, 1})->Unit(benchmark::kMillisecond);

}  // namespace
