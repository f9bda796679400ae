// The registry store where memory runs out. This program counts the heap its operator new hands out and may cap it,
// so that the store meets a failing allocation where a process under a memory limit would; the address sanitizer
// ends the program on an allocation it cannot make rather than failing it, so a limit of the system's would not do.
// Each case runs in a child process of its own, which reports what it saw and must end normally.
#include "platform/base/RegistryStore.h"
#include "platform/base/SystemError.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <new>
#include <string>

#include "platform/base/tests/TempDir.h"

namespace {

std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_cap{std::numeric_limits<std::size_t>::max()};

void* Allocate(std::size_t size, std::size_t alignment = 0) {
  size = size ? size : 1;
  if (size > g_cap.load() || g_live.load() > g_cap.load() - size) return nullptr;
  void* p = alignment ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment) : std::malloc(size);
  if (p) g_live += malloc_usable_size(p);
  return p;
}

void Release(void* p) {
  if (!p) return;
  g_live -= malloc_usable_size(p);
  std::free(p);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment = 0) {
  if (void* p = Allocate(size, alignment)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) { return AllocateOrThrow(n); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n); }
void* operator new(std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Runs `body` in a child process under the heap cap, the heap it has when it starts plus `budget`; the child's report,
// marked when the child did not end normally (an exception out of the store, which would end a program).
std::string InChild(std::size_t budget, const std::function<std::string()>& body) {
  int pipe[2];
  if (::pipe(pipe) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    g_cap = g_live.load() + budget;
    int code = 0;
    std::string report;
    try {
      report = body();
    } catch (const std::exception& e) {
      // What would end a program at "terminate".
      code = 1;
      report = std::string("threw ") + e.what();
    }
    g_cap = std::numeric_limits<std::size_t>::max();
    for (std::size_t done = 0; done < report.size();) {
      const ssize_t n = ::write(pipe[1], report.data() + done, report.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    std::_Exit(code);   // no exit handlers in the child: the parent's test program goes on
  }
  ::close(pipe[1]);
  std::string report;
  char buf[4096];
  for (ssize_t n; (n = ::read(pipe[0], buf, sizeof buf)) > 0;) report.append(buf, static_cast<std::size_t>(n));
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? report : "child ended abnormally: " + report;
}

std::string ReadFile(const std::string& path) {
  std::string text(std::filesystem::file_size(path), '\0');
  std::ifstream(path, std::ios::binary).read(text.data(), static_cast<std::streamsize>(text.size()));
  return text;
}

std::string Status(LONG status) { return status == ERROR_SUCCESS ? "done" : plat::SystemErrorText(static_cast<DWORD>(status)); }

}  // namespace

// The largest store file the store loads, 16,777,215 bytes, holding a settings key with its value and one key
// 8.4 million levels deep, loads with a budget of 512 MiB of heap; the deepest key opens with a handle of a few bytes,
// takes a change and is deleted. Where the heap runs out, the load, a change, a deletion, a new key and a new handle
// are refused with the reason, the tree and the file as they were. Before, the load took about 220 bytes a level
// (1.86 GB), a handle kept its path as a string per level, and std::bad_alloc came out of the store.
TEST(RegistryStoreMemory, TheDeepestStoreFileLoadsWithinItsBudgetAndWhatCannotGetMemoryIsRefused) {
  TempDir dir;
  const std::string file = dir / "registry.txt";
  const std::string app = "[HKEY_CURRENT_USER\\Software\\Vendor\\App]\r\n\"LastProject\"=sz:board.dao\r\n";
  const std::string head = "[HKEY_CURRENT_USER", tail = "]\r\n\"v\"=sz:deep\r\n";
  const std::size_t levels = (plat::RegistryStore::kMaxFileBytes - 1 - app.size() - head.size() - tail.size()) / 2;
  std::string deep(2 * levels, 'd');
  for (std::size_t i = 0; i < deep.size(); i += 2) deep[i] = '\\';
  // Written as the store writes it: the deep key sorts before "Software".
  std::string text = head + deep + tail + app;
  text.insert(head.size() + 2, plat::RegistryStore::kMaxFileBytes - 1 - text.size(), 'd');   // a longer first name
  ASSERT_EQ(text.size(), plat::RegistryStore::kMaxFileBytes - 1);
  const std::string deepPath = text.substr(head.size(), text.size() - head.size() - tail.size() - app.size());
  const std::string first = deepPath.substr(1, deepPath.find('\\', 1) - 1);
  std::string changed = text;
  changed.replace(text.size() - app.size() - 6, 4, "x");   // "v"=sz:deep -> "v"=sz:x
  const std::string notEnough = plat::SystemErrorText(ERROR_NOT_ENOUGH_MEMORY);

  std::ofstream(file, std::ios::binary) << text;
  EXPECT_EQ(InChild(512 * kMiB, [&] {
              if (!plat::RegistryStore::SetStoreFile(file)) return "refused: " + plat::SystemErrorText(GetLastError());
              const std::size_t budget = g_cap, before = g_live;
              HKEY k = nullptr, made = nullptr;
              const LONG open = RegOpenKey(HKEY_CURRENT_USER, deepPath.c_str(), &k);
              const std::size_t handle = g_live - before;
              // Room for the tree but not for the store file's text a change writes; then for nothing at all.
              g_cap = g_live + 4 * kMiB;
              const LONG change = RegSetValueEx(k, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
              const LONG deletion = RegDeleteKey(HKEY_CURRENT_USER, "Software");
              const LONG creation = RegCreateKey(HKEY_CURRENT_USER, "Software\\Vendor\\App\\New", &made);
              g_cap = g_live.load();
              const LONG another = RegOpenKey(HKEY_CURRENT_USER, "Software", &made);
              g_cap = budget;
              std::string report = "open: " + Status(open) + (handle < 1024 ? " (small handle)" : " (large handle)");
              report += "; refused: " + Status(change) + ", " + Status(deletion) + ", " + Status(creation) + ", " +
                        Status(another);
              report += ReadFile(file) == text ? " (file kept)" : " (file changed)";
              // The tree as it was: a change now writes it whole.
              report += "; change: " + Status(RegSetValueEx(k, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2));
              report += ReadFile(file) == changed ? " (tree kept)" : " (tree changed)";
              RegCloseKey(k);
              report += "; delete: " + Status(RegDeleteKey(HKEY_CURRENT_USER, first.c_str()));
              report += ReadFile(file) == app ? " (written)" : " (not written)";
              return report;
            }),
            "open: done (small handle); refused: " + notEnough + ", " + notEnough + ", " + notEnough + ", " + notEnough +
                " (file kept); change: done (tree kept); delete: done (written)");

  // A load refused as it reads the file, and as it builds the tree.
  for (const std::size_t budget : {8 * kMiB, 64 * kMiB}) {
    SCOPED_TRACE(budget);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    EXPECT_EQ(InChild(budget, [&] {
                HKEY kept = nullptr;
                RegCreateKey(HKEY_CURRENT_USER, "Kept", &kept);
                const std::string before = plat::RegistryStore::Dump();
                const bool loaded = plat::RegistryStore::SetStoreFile(file);
                const DWORD error = GetLastError();
                g_cap = std::numeric_limits<std::size_t>::max();
                std::string report = loaded ? "loaded" : plat::SystemErrorText(error);
                report += plat::RegistryStore::Dump() == before ? "; tree kept" : "; tree changed";
                report += ReadFile(file) == text ? "; file kept" : "; file changed";
                report += RegSetValueEx(kept, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>("1234"), 4) ? "" : "; handle kept";
                return report;
              }),
              notEnough + "; tree kept; file kept; handle kept");
  }
}

// Each call that changes the store or hands out a handle, with the heap capped at every step of 8 bytes from none
// left up to what it needs: until it is done it answers ERROR_NOT_ENOUGH_MEMORY with the tree, the store file, the
// open handles and the enumeration places two handles keep in the key it changes as they were (listing on from the
// place answers as before); done, it has made its change. The places are moved, not forgotten, when a subkey or value
// is added or taken away, and taking back a change the heap refused must move them back, allocating nothing.
TEST(RegistryStoreMemory, EachCallThatCannotGetItsMemoryChangesNothingAndKeepsThePlaces) {
  TempDir dir;
  const std::string file = dir / "registry.txt";
  const DWORD one = 1;
  struct Case {
    const char* call;
    std::function<LONG(HKEY app, HKEY& out)> run;
  };
  const Case cases[] = {
      {"open", [](HKEY app, HKEY& out) { return RegOpenKey(app, "c", &out); }},
      {"create existing", [](HKEY app, HKEY& out) { return RegCreateKey(app, "C", &out); }},
      {"create new", [](HKEY app, HKEY& out) { return RegCreateKey(app, "bb\\below", &out); }},
      {"set key value", [&one](HKEY app, HKEY&) { return RegSetKeyValue(app, "bb\\below", "v", REG_DWORD, &one, 4); }},
      {"set new value", [&one](HKEY app, HKEY&) {
         return RegSetValueEx(app, "bb", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
       }},
      {"delete value", [](HKEY app, HKEY&) { return RegDeleteValue(app, "b"); }},
      {"delete key", [](HKEY app, HKEY&) { return RegDeleteKey(app, "b"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    std::filesystem::remove(file);
    EXPECT_EQ(InChild(std::numeric_limits<std::size_t>::max() / 2, [&] {
                plat::RegistryStore::Reset();
                if (!plat::RegistryStore::SetStoreFile(file)) return std::string("no store file");
                HKEY app = nullptr, other = nullptr, below = nullptr;
                RegCreateKey(HKEY_CURRENT_USER, "Software\\App", &app);
                RegOpenKey(HKEY_CURRENT_USER, "Software\\App", &other);
                for (const char* name : {"a", "b", "c", "d", "e"}) {
                  HKEY sub = nullptr;
                  RegCreateKey(app, name, &sub);
                  RegCloseKey(sub);
                  RegSetValueEx(app, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
                }
                RegOpenKey(app, "b\\", &below);   // a handle below the key a deletion takes
                // Each handle's places at index 3, then what listing on from there answers.
                const auto listing = [&] {
                  std::string seen;
                  for (const HKEY h : {app, other})
                    for (const DWORD index : {3u, 2u, 3u, 4u, 5u}) {
                      char name[16];
                      DWORD length = sizeof name;
                      seen += RegEnumKeyEx(h, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                                  ? "-" : std::string(name, length) + ",";
                      length = sizeof name;
                      seen += RegEnumValue(h, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                                  ? "-" : std::string(name, length) + ";";
                    }
                  return seen;
                };
                const std::string tree = plat::RegistryStore::Dump(), text = ReadFile(file), listed = listing();
                const std::size_t handles = plat::RegistryStore::OpenHandleCount();
                std::size_t refused = 0;
                // Every 8 bytes over what the store's own steps take; the writing of the store file takes more.
                for (std::size_t budget = 0;; budget += budget < 4096 ? 8 : budget / 8) {
                  for (const HKEY h : {app, other}) {   // places kept at index 3
                    char name[16];
                    DWORD length = sizeof name;
                    RegEnumKeyEx(h, 3, name, &length, nullptr, nullptr, nullptr, nullptr);
                    length = sizeof name;
                    RegEnumValue(h, 3, name, &length, nullptr, nullptr, nullptr, nullptr);
                  }
                  HKEY out = nullptr;
                  g_cap = g_live + budget;
                  const LONG r = c.run(app, out);
                  g_cap = std::numeric_limits<std::size_t>::max();
                  if (r == ERROR_SUCCESS) {
                    RegCloseKey(out);
                    break;
                  }
                  if (r != static_cast<LONG>(ERROR_NOT_ENOUGH_MEMORY)) return "failed: " + Status(r);
                  ++refused;
                  if (plat::RegistryStore::Dump() != tree || ReadFile(file) != text)
                    return "changed at " + std::to_string(budget);
                  if (plat::RegistryStore::OpenHandleCount() != handles || RegQueryValueEx(below, "", nullptr, nullptr,
                                                                                            nullptr, nullptr) !=
                                                                               static_cast<LONG>(ERROR_FILE_NOT_FOUND))
                    return "handles changed at " + std::to_string(budget);
                  if (listing() != listed) return "places moved at " + std::to_string(budget) + ": " + listing();
                }
                std::string report = refused ? "refused, then done" : "never refused";
                report += plat::RegistryStore::Dump() != tree && ReadFile(file) == plat::RegistryStore::Dump()
                              ? "; changed and written" : "; not changed";
                for (const HKEY h : {app, other, below}) RegCloseKey(h);
                return report;
              }),
              std::string(c.call) == "open" || std::string(c.call) == "create existing"
                  ? "refused, then done; not changed"
                  : "refused, then done; changed and written");
  }
}
