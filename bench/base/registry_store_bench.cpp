// The registry store with many sibling keys under one key, at two sizes each, timed in the same iteration.
//
// BM_SaveSiblings: a one-DWORD change on a store file of 10,000 and of 40,000 sibling keys (about 130 bytes of the
//   file each: 1.2 and 5 MiB), which writes the whole store. Counters s_10k, s_40k (seconds of one change) and
//   ratio; text_10k, text_40k and text_ratio, the same for the store's text alone (Dump, no file written).
// BM_EmptySiblings: Reset of a tree holding a key of 10,000 and of 40,000 subkeys (each with a value); the tree is
//   built again from the store file, untimed, before each. Counters as above.
// BM_ListByIndex/what:0: RegEnumKeyEx of 10,000 and of 100,000 subkeys with the indexes 0..n-1;
//   what:1: RegEnumValue of 10,000 and of 100,000 values so. Counters s_10k, s_100k (seconds of one listing) and ratio.
// BM_FilterByIndex/what:0: the usual filter over 10,000 and 100,000 subkeys: RegEnumKeyEx by index, RegDeleteKey of
//   every other one found (the index kept after a deletion, the next one taken after a key kept); what:1: the same
//   over values with RegEnumValue and RegDeleteValue. Counters s_10k, s_100k (seconds of one walk) and ratio.
// BM_KeysWithHandlesOpen: 2,000 and 20,000 sibling keys made with RegCreateKey, each handle kept open, then each
//   deleted with RegDeleteKey while every handle is still open. Counters make_2k, make_20k, make_ratio and
//   delete_2k, delete_20k, delete_ratio (seconds of making, of deleting them all).
// Goal: linear in the keys, ratio near 4 for the first two and near 10 for the listing and the filter.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/RegistryStore.h"
#include "platform/base/tests/TempDir.h"

namespace {

constexpr const char* kParent = "Software\\Vendor\\App\\Boards";

// A store file of `count` sibling keys below kParent, each with a text and a DWORD, in the store's own form and
// order; `values` more values on the parent itself.
std::string StoreText(int count, int values = 0) {
  std::string text = "[HKEY_CURRENT_USER\\" + std::string(kParent) + "]\r\n";
  char line[160];
  for (int i = 0; i < values; ++i) {
    std::snprintf(line, sizeof line, "\"Value%06d\"=dword:%08x\r\n", i, i);
    text += line;
  }
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line,
                  "[HKEY_CURRENT_USER\\%s\\Board%06d]\r\n\"Path\"=sz:/home/user/boards/board%06d.dao\r\n"
                  "\"Layers\"=dword:%08x\r\n",
                  kParent, i, i, i % 32);
    text += line;
  }
  return text;
}

// The store loaded from a file of that text in a folder of its own, which goes with it.
class Store {
 public:
  explicit Store(const std::string& text)
      : m_Folder(MakeTempFolder("brim-bench").string()), m_File(m_Folder + "/registry.txt") {
    std::ofstream(m_File, std::ios::binary) << text;
  }
  ~Store() {
    plat::RegistryStore::Reset();
    std::filesystem::remove_all(m_Folder);
  }
  bool Load() const {
    plat::RegistryStore::Reset();
    return plat::RegistryStore::SetStoreFile(m_File);
  }

 private:
  std::string m_Folder, m_File;
};

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Seconds of one change written to the store file, and of building the store's text once more; negative when the
// change failed.
double OneChange(const Store& store, DWORD value, double& text) {
  if (!store.Load()) return -1;
  HKEY key = nullptr;
  if (RegOpenKey(HKEY_CURRENT_USER, kParent, &key) != ERROR_SUCCESS) return -1;
  auto start = Clock::now();
  const LONG r = RegSetValueEx(key, "Changed", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  const double seconds = Since(start);
  RegCloseKey(key);
  start = Clock::now();
  benchmark::DoNotOptimize(plat::RegistryStore::Dump());
  text += Since(start);
  return r == ERROR_SUCCESS ? seconds : -1;
}

// Seconds of emptying the loaded store.
double Empty(const Store& store) {
  if (!store.Load()) return -1;
  plat::RegistryStore::SetStoreFile(std::nullopt);
  const auto start = Clock::now();
  plat::RegistryStore::Reset();
  return Since(start);
}

enum What { kSubkeys, kValues };

// Seconds of listing every subkey or value of the parent by index; negative when one was missing.
double List(const Store& store, What what, int count) {
  if (!store.Load()) return -1;
  plat::RegistryStore::SetStoreFile(std::nullopt);
  HKEY key = nullptr;
  if (RegOpenKey(HKEY_CURRENT_USER, kParent, &key) != ERROR_SUCCESS) return -1;
  char name[64];
  int listed = 0;
  const auto start = Clock::now();
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    const LONG r = what == kSubkeys ? RegEnumKeyEx(key, i, name, &length, nullptr, nullptr, nullptr, nullptr)
                                    : RegEnumValue(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) break;
    ++listed;
  }
  const double seconds = Since(start);
  RegCloseKey(key);
  return listed == count ? seconds : -1;
}

// Seconds of the filter walk over every subkey or value of the parent: by index, deleting every other one found
// through the same handle and keeping the index after a deletion; negative when the walk did not see each one once or
// a deletion failed.
double Filter(const Store& store, What what, int count) {
  if (!store.Load()) return -1;
  plat::RegistryStore::SetStoreFile(std::nullopt);
  HKEY key = nullptr;
  if (RegOpenKey(HKEY_CURRENT_USER, kParent, &key) != ERROR_SUCCESS) return -1;
  char name[64];
  int seen = 0;
  bool whole = true;
  const auto start = Clock::now();
  for (DWORD i = 0;;) {
    DWORD length = sizeof name;
    const LONG r = what == kSubkeys ? RegEnumKeyEx(key, i, name, &length, nullptr, nullptr, nullptr, nullptr)
                                    : RegEnumValue(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (r != ERROR_SUCCESS) break;
    if (seen++ % 2 == 0) {
      whole = whole && (what == kSubkeys ? RegDeleteKey(key, name) : RegDeleteValue(key, name)) == ERROR_SUCCESS;
    } else {
      ++i;
    }
  }
  const double seconds = Since(start);
  RegCloseKey(key);
  return whole && seen == count ? seconds : -1;
}

// Seconds of making `count` sibling keys below kParent with a handle of each kept open, and of deleting them all
// while the handles are open; false when a call failed.
bool WithHandlesOpen(int count, double& make, double& remove) {
  plat::RegistryStore::Reset();
  HKEY parent = nullptr;
  if (RegCreateKey(HKEY_CURRENT_USER, kParent, &parent) != ERROR_SUCCESS) return false;
  std::vector<HKEY> open(static_cast<std::size_t>(count));
  char name[32];
  bool whole = true;
  auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "Board%06d", i);
    whole = whole && RegCreateKey(parent, name, &open[static_cast<std::size_t>(i)]) == ERROR_SUCCESS;
  }
  make += Since(start);
  start = Clock::now();
  for (int i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "Board%06d", i);
    whole = whole && RegDeleteKey(parent, name) == ERROR_SUCCESS;
  }
  remove += Since(start);
  for (const HKEY h : open) RegCloseKey(h);
  RegCloseKey(parent);
  plat::RegistryStore::Reset();
  return whole;
}

void Report(benchmark::State& state, const char* small, const char* large, double smallSeconds, double largeSeconds,
            bool whole) {
  if (!whole) state.SkipWithError("a call failed");
  const double n = static_cast<double>(state.iterations());
  state.counters[small] = smallSeconds / n;
  state.counters[large] = largeSeconds / n;
  state.counters["ratio"] = largeSeconds / smallSeconds;
}

void BM_SaveSiblings(benchmark::State& state) {
  const Store small(StoreText(10000)), large(StoreText(40000));
  double smallSeconds = 0, largeSeconds = 0, smallText = 0, largeText = 0;
  bool whole = true;
  DWORD value = 0;
  for (auto _ : state) {
    const double s = OneChange(small, ++value, smallText), l = OneChange(large, value, largeText);
    whole = whole && s >= 0 && l >= 0;
    smallSeconds += s;
    largeSeconds += l;
  }
  Report(state, "s_10k", "s_40k", smallSeconds, largeSeconds, whole);
  const double n = static_cast<double>(state.iterations());
  state.counters["text_10k"] = smallText / n;
  state.counters["text_40k"] = largeText / n;
  state.counters["text_ratio"] = largeText / smallText;
}
BENCHMARK(BM_SaveSiblings)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_EmptySiblings(benchmark::State& state) {
  const Store small(StoreText(10000)), large(StoreText(40000));
  double smallSeconds = 0, largeSeconds = 0;
  bool whole = true;
  for (auto _ : state) {
    const double s = Empty(small), l = Empty(large);
    whole = whole && s >= 0 && l >= 0;
    smallSeconds += s;
    largeSeconds += l;
  }
  Report(state, "s_10k", "s_40k", smallSeconds, largeSeconds, whole);
}
BENCHMARK(BM_EmptySiblings)->Unit(benchmark::kMillisecond)->Iterations(20);

// Walks a store of 10,000 and one of 100,000 subkeys or values by index with `walk` (List or Filter), reporting both
// times and their ratio.
template <class Walk>
void ByIndex(benchmark::State& state, Walk walk) {
  const auto what = static_cast<What>(state.range(0));
  const auto text = [what](int count) { return what == kSubkeys ? StoreText(count) : StoreText(0, count); };
  const Store small(text(10000)), large(text(100000));
  double smallSeconds = 0, largeSeconds = 0;
  bool whole = true;
  for (auto _ : state) {
    const double s = walk(small, what, 10000), l = walk(large, what, 100000);
    whole = whole && s >= 0 && l >= 0;
    smallSeconds += s;
    largeSeconds += l;
  }
  Report(state, "s_10k", "s_100k", smallSeconds, largeSeconds, whole);
}

void BM_ListByIndex(benchmark::State& state) { ByIndex(state, List); }
BENCHMARK(BM_ListByIndex)->ArgName("what")->DenseRange(kSubkeys, kValues)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_FilterByIndex(benchmark::State& state) { ByIndex(state, Filter); }
BENCHMARK(BM_FilterByIndex)
    ->ArgName("what")
    ->DenseRange(kSubkeys, kValues)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_KeysWithHandlesOpen(benchmark::State& state) {
  double makeSmall = 0, makeLarge = 0, deleteSmall = 0, deleteLarge = 0;
  bool whole = true;
  for (auto _ : state) {
    whole = WithHandlesOpen(2000, makeSmall, deleteSmall) && whole;
    whole = WithHandlesOpen(20000, makeLarge, deleteLarge) && whole;
  }
  if (!whole) state.SkipWithError("a call failed");
  const double n = static_cast<double>(state.iterations());
  state.counters["make_2k"] = makeSmall / n;
  state.counters["make_20k"] = makeLarge / n;
  state.counters["make_ratio"] = makeLarge / makeSmall;
  state.counters["delete_2k"] = deleteSmall / n;
  state.counters["delete_20k"] = deleteLarge / n;
  state.counters["delete_ratio"] = deleteLarge / deleteSmall;
}
BENCHMARK(BM_KeysWithHandlesOpen)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
