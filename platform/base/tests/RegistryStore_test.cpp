#include "platform/base/RegistryStore.h"
#include "platform/base/FileFaults.h"
#include "platform/base/SystemError.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/tests/FolderSwapper.h"
#include "platform/base/tests/TempDir.h"
#include "safepath/SaveLock.h"
#include "safepath/tests/AnotherUser.h"
#include "safepath/tests/OtherLocks.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::RegistryStore::Reset(); }
  void TearDown() override { plat::RegistryStore::Reset(); }

  static void SetString(HKEY key, const char* name, const char* value) {
    ASSERT_EQ(RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(std::strlen(value) + 1)),
              ERROR_SUCCESS);
  }
  static std::string GetString(HKEY key, const char* name) {
    char buf[64];
    DWORD size = sizeof buf, type = 0;
    if (RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS) return "<none>";
    return type == REG_SZ ? std::string(buf) : "<type>";
  }
  enum class Of { Subkeys, Values };
  // The name of the subkey or value at the index, or the error.
  static std::string Nth(HKEY key, DWORD index, Of what) {
    char name[1024];
    DWORD length = sizeof name;
    const LONG r = what == Of::Subkeys ? RegEnumKeyEx(key, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                                       : RegEnumValue(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    return r ? "error " + std::to_string(r) : std::string(name, length);
  }
  static std::vector<std::string> Subkeys(HKEY key) {
    std::vector<std::string> out;
    char name[1024];
    for (DWORD i = 0;; ++i) {
      DWORD len = sizeof name;
      if (RegEnumKeyEx(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      out.emplace_back(name, len);
    }
    return out;
  }
};

}  // namespace

TEST_F(RegistryTest, KeysValuesAndCase) {
  HKEY app = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Maker\\App\\Grid", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &app,
                           &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  SetString(app, "Value", "12");
  SetString(app, "value", "13");  // the same value, first spelling kept
  EXPECT_EQ(GetString(app, "VALUE"), "13");
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\MAKER\\app\\grid", 0, KEY_READ, &again), ERROR_SUCCESS);
  EXPECT_EQ(GetString(again, "Value"), "13");
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Nobody", 0, KEY_READ, &again), ERROR_FILE_NOT_FOUND);
  // Size query and a small buffer.
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(app, "Value", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 3u);
  char tiny[2];
  size = sizeof tiny;
  EXPECT_EQ(RegQueryValueEx(app, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(tiny), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(RegDeleteValue(app, "VALUE"), ERROR_SUCCESS);
  EXPECT_EQ(GetString(app, "Value"), "<none>");
  RegCloseKey(app);
  RegCloseKey(app);
  EXPECT_EQ(plat::RegistryStore::OpenHandleCount(), 1u);
  RegCloseKey(again);
}

TEST_F(RegistryTest, EnumerationSortedAndSubtreeDeletion) {
  HKEY section = nullptr;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\App\\Grid", &section), ERROR_SUCCESS);
  for (const char* style : {"Standard", "row Header", "Column Header", "#52768"}) {
    HKEY k = nullptr;
    RegCreateKey(section, style, &k);
    SetString(k, "Value", style);
    HKEY deeper = nullptr;
    RegCreateKey(k, "Sub", &deeper);
    RegCloseKey(deeper);
    RegCloseKey(k);
  }
  EXPECT_EQ(Subkeys(section), (std::vector<std::string>{"#52768", "Column Header", "row Header", "Standard"}));
  char name[4];
  DWORD len = sizeof name;
  EXPECT_EQ(RegEnumKeyEx(section, 1, name, &len, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  HKEY standard = nullptr;
  RegOpenKey(section, "standard", &standard);
  EXPECT_EQ(RegDeleteKey(section, "STANDARD"), ERROR_SUCCESS);  // with its subkey
  EXPECT_EQ(GetString(standard, "Value"), "<none>");
  EXPECT_EQ(RegQueryValueEx(standard, "Value", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(Subkeys(section).size(), 3u);
  RegCloseKey(standard);
  RegCloseKey(section);
}

// Enumeration by index answers as the key now is, whatever changed between two calls (a key made, made with a value
// below it, deleted with the keys below it; a value set, set anew, deleted; the entry just before, at or just after
// where a handle last listed deleted; any of them refused on a full disk; another store file loaded): for successive
// indexes up and down, for jumps and past the end, through the predefined root handle and two handles of one key, and
// ERROR_KEY_DELETED once the key is gone. The usual filter, listing by index and deleting what matches while keeping
// the index, sees each entry once, and the other handles list on after it. Enumeration keeps its place from one call
// to the next, which such a change must move with it. The store file is the tree's text throughout.
TEST_F(RegistryTest, EnumerationByIndexFollowsChangesBetweenCalls) {
  struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                          [](char x, char y) { return std::tolower(x) < std::tolower(y); });
    }
  };
  TempDir dir;
  const std::string file = dir / "registry.txt", other = dir / "other.txt";
  const auto stored = [&file] {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const char* const kNames[] = {"alpha", "Beta", "gamma", "Delta", "eps", "Zeta", "eta", "Theta",
                                "iota", "Kappa", "lambda", "Mu", "nu", "Xi", "omicron", "Pi"};
  for (const auto& [root, path] : {std::pair{HKEY_USERS, ""}, {HKEY_CURRENT_USER, "Software\\App"}}) {
    SCOPED_TRACE(path);
    plat::RegistryStore::Reset();
    ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
    HKEY handles[3] = {};
    for (HKEY& h : handles) {
      ASSERT_EQ(RegCreateKey(root, path, &h), ERROR_SUCCESS);
    }
    if (!*path) RegCloseKey(std::exchange(handles[0], root));   // the root's predefined handle
    std::map<std::string, DWORD, NoCase> keys, values;   // as the key should be: its subkeys, its values' data
    std::minstd_rand random(85);
    const auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::size_t last[3][2] = {};   // each handle's last index, of subkeys and of values
    const auto spelled = [&pick](std::string name) {   // in either case
      if (pick(2)) std::transform(name.begin(), name.end(), name.begin(), [](char c) { return std::toupper(c); });
      return name;
    };
    for (int step = 0; step < 400; ++step) {
      // Each step makes one or two changes through the key's handles (a sixth of them on a full disk), so that
      // more than one comes between two calls of a handle.
      for (std::size_t changes = 1 + pick(2); changes > 0; --changes) {
        std::string name = spelled(kNames[pick(std::size(kNames))]);
        const DWORD data = static_cast<DWORD>(step);
        std::size_t action = pick(12);
        if (action >= 10) {
          // A deletion of the entry just before, at or just after where a handle last listed.
          const std::size_t which = pick(3);
          const bool ofValues = pick(2);
          const auto& model = ofValues ? values : keys;
          const std::size_t at = last[which][ofValues] + pick(3);
          if (at == 0 || at > model.size()) {
            action = 6;   // none there
          } else {
            name = spelled(std::next(model.begin(), static_cast<long>(at - 1))->first);
            action = ofValues ? 5 : 2;
          }
        }
        if (action < 6) {
          const bool full = pick(6) == 0;
          std::optional<plat::FileFaultScope> fault;
          if (full) fault.emplace(plat::FullDiskFaults());
          const bool hasKey = keys.count(name), hasValue = values.count(name);
          const HKEY h = handles[pick(3)];
          LONG r = 0, expected = full ? -1 : ERROR_SUCCESS;
          HKEY made = nullptr;
          switch (action) {
            case 0:
              r = RegCreateKey(h, name.c_str(), &made);
              RegCloseKey(made);
              if (hasKey) expected = ERROR_SUCCESS;
              if (expected == ERROR_SUCCESS) keys.emplace(name, 0);
              break;
            case 1:
              r = RegSetKeyValue(h, (name + "\\below" + std::to_string(pick(3))).c_str(), "v", REG_DWORD, &data, 4);
              if (!full) keys.emplace(name, 0);
              break;
            case 2:
            case 3:
              r = RegDeleteKey(h, name.c_str());
              if (!hasKey) expected = ERROR_FILE_NOT_FOUND;
              if (expected == ERROR_SUCCESS) keys.erase(name);
              break;
            case 4:
              r = RegSetValueEx(h, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), 4);
              if (!full) values[name] = data;
              break;
            case 5:
              r = RegDeleteValue(h, name.c_str());
              if (!hasValue) expected = ERROR_FILE_NOT_FOUND;
              if (expected == ERROR_SUCCESS) values.erase(name);
              break;
          }
          if (expected == -1) {
            EXPECT_NE(r, ERROR_SUCCESS) << step;
          } else {
            EXPECT_EQ(r, expected) << step;
          }
          EXPECT_TRUE(stored() == plat::RegistryStore::Dump()) << step;
        }
      }
      if (step % 25 == 24) {
        // The filter: one handle lists by index and deletes, through itself or another handle, what matches (the
        // index kept), every entry seen once; it lists past the end at last.
        const std::size_t which = pick(3);
        const bool ofValues = pick(2);
        auto& model = ofValues ? values : keys;
        const unsigned match = static_cast<unsigned>(random());   // a bit a name
        const std::vector<std::string> before = [&model] {
          std::vector<std::string> names;
          for (const auto& entry : model) names.push_back(entry.first);
          return names;
        }();
        std::vector<std::string> seen;
        std::size_t index = 0;
        for (;;) {
          char got[16];
          DWORD length = sizeof got;
          const HKEY h = handles[which];
          const LONG r = ofValues ? RegEnumValue(h, static_cast<DWORD>(index), got, &length, nullptr, nullptr,
                                                 nullptr, nullptr)
                                  : RegEnumKeyEx(h, static_cast<DWORD>(index), got, &length, nullptr, nullptr,
                                                 nullptr, nullptr);
          if (index >= model.size()) {
            EXPECT_EQ(r, ERROR_NO_MORE_ITEMS) << step;
            break;
          }
          ASSERT_EQ(r, ERROR_SUCCESS) << step;
          const std::string found(got, length);
          ASSERT_EQ(found, std::next(model.begin(), static_cast<long>(index))->first) << step;
          seen.push_back(found);
          const auto listed = std::find_if(std::begin(kNames), std::end(kNames), [&found](const char* n) {
            return !NoCase()(found, n) && !NoCase()(n, found);
          });
          if (!(match >> (listed - std::begin(kNames)) & 1)) {
            ++index;
            continue;
          }
          const HKEY by = handles[pick(3)];
          ASSERT_EQ(ofValues ? RegDeleteValue(by, spelled(found).c_str()) : RegDeleteKey(by, spelled(found).c_str()),
                    ERROR_SUCCESS)
              << step;
          model.erase(found);
        }
        EXPECT_EQ(seen, before) << step;
        EXPECT_TRUE(stored() == plat::RegistryStore::Dump()) << step;
        last[which][ofValues] = index;
      }
      // Then each handle lists on, subkeys and values: mostly the index after its last (from 0 again past the end)
      // or before it, else any up to one past the end.
      for (std::size_t which = 0; which < 3; ++which)
        for (const bool ofValues : {false, true}) {
          const auto& model = ofValues ? values : keys;
          std::size_t& index = last[which][ofValues];
          const std::size_t how = pick(10);
          index = how < 5   ? (index < model.size() ? index + 1 : 0)
                  : how < 8 ? (index ? index - 1 : model.size())
                            : pick(model.size() + 2);
          char got[16];
          DWORD length = sizeof got, value = 0, size = sizeof value;
          const HKEY h = handles[which];
          const LONG r = ofValues ? RegEnumValue(h, static_cast<DWORD>(index), got, &length, nullptr, nullptr,
                                                 reinterpret_cast<BYTE*>(&value), &size)
                                  : RegEnumKeyEx(h, static_cast<DWORD>(index), got, &length, nullptr, nullptr, nullptr,
                                                 nullptr);
          if (index >= model.size()) {
            EXPECT_EQ(r, ERROR_NO_MORE_ITEMS) << step;
            continue;
          }
          ASSERT_EQ(r, ERROR_SUCCESS) << step;
          const auto expected = std::next(model.begin(), static_cast<long>(index));
          EXPECT_EQ(std::string(got, length), expected->first) << step;
          if (ofValues) {
            EXPECT_EQ(value, expected->second) << step;
          }
        }
    }

    // Places kept in a tree that a store file loaded replaces are not taken into the loaded one.
    SetString(handles[0], "p", "old");
    SetString(handles[0], "q", "old");
    ASSERT_EQ(RegSetKeyValue(handles[0], "x", "v", REG_SZ, "old", 4), ERROR_SUCCESS);
    const std::string header = std::string(*path ? "[HKEY_CURRENT_USER\\" : "[HKEY_USERS") + path;
    std::ofstream(other, std::ios::binary | std::ios::trunc)
        << header << "]\r\n\"p\"=sz:1\r\n\"q\"=sz:2\r\n\"r\"=sz:3\r\n"
        << header << "\\X]\r\n" << header << "\\Y]\r\n" << header << "\\Z]\r\n";
    for (const HKEY h : handles) {   // each with a place at index 1
      Nth(h, 1, Of::Subkeys);
      Nth(h, 1, Of::Values);
    }
    ASSERT_TRUE(plat::RegistryStore::SetStoreFile(other));
    for (const HKEY h : handles) {
      EXPECT_EQ(Nth(h, 2, Of::Subkeys), "Z");
      EXPECT_EQ(Nth(h, 2, Of::Values), "r");
      EXPECT_EQ(Subkeys(h), (std::vector<std::string>{"X", "Y", "Z"}));
    }
    if (root == HKEY_USERS) continue;
    ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
    for (const HKEY h : handles) {
      EXPECT_EQ(Nth(h, 1, Of::Subkeys), "error 1018");
      EXPECT_EQ(Nth(h, 0, Of::Values), "error 1018");
    }
  }
}

TEST_F(RegistryTest, StoreFileRoundTrip) {
  TempDir dir;
  const std::string file = dir / "registry.txt";
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
  HKEY k = nullptr;
  RegCreateKey(HKEY_CURRENT_USER, "Software\\App", &k);
  SetString(k, "Text", "a \"quoted\"\\path\r\nline");
  const DWORD number = 0x10;
  RegSetValueEx(k, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  const BYTE raw[] = {1, 0, 255};
  RegSetValueEx(k, nullptr, 0, REG_BINARY, raw, sizeof raw);
  HKEY empty = nullptr;
  RegCreateKey(k, "Empty", &empty);
  RegCloseKey(empty);
  RegCloseKey(k);
  SetString(HKEY_CURRENT_USER, "On the root", "kept");   // a root's own values are kept too
  const std::string dump = plat::RegistryStore::Dump();
  EXPECT_EQ(dump,
            "[HKEY_CURRENT_USER]\r\n"
            "\"On the root\"=sz:kept\r\n"
            "[HKEY_CURRENT_USER\\Software\\App]\r\n"
            "\"\"=hex(3):01,00,ff\r\n"
            "\"Number\"=dword:00000010\r\n"
            "\"Text\"=sz:a \\\"quoted\\\"\\\\path\\r\\nline\r\n"
            "[HKEY_CURRENT_USER\\Software\\App\\Empty]\r\n");
  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), dump);

  plat::RegistryStore::Reset();
  EXPECT_EQ(plat::RegistryStore::Dump(), "");
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
  EXPECT_EQ(plat::RegistryStore::Dump(), dump);
  RegOpenKey(HKEY_CURRENT_USER, "Software\\App", &k);
  EXPECT_EQ(GetString(k, "text"), "a \"quoted\"\\path\r\nline");
  RegCloseKey(k);
  EXPECT_EQ(GetString(HKEY_CURRENT_USER, "on the root"), "kept");

  std::ofstream(dir / "bad.txt") << "\"orphan\"=sz:x\n";
  EXPECT_FALSE(plat::RegistryStore::SetStoreFile(dir / "bad.txt"));
}

// A handle is its key's: one of a deleted key, or of a key below it, answers ERROR_KEY_DELETED, also once a key of its
// path is made again; a store file set later points a handle at the key of its path there (deleted when it has none).
// Another program changed the store file since the store loaded or last wrote it (in place, or a new file of theirs
// renamed over it): a change is refused with "The file changed since it was read; save again." and not made, and the
// file keeps the other program's text. Set again, the store loads that text and writes a change into it. While
// another program's save holds the file's save lock past the wait, a change is refused with "The file is being saved
// by another program; save again once it is done." and not made.
TEST_F(RegistryTest, AStoreFileAnotherProgramChangedOrSavesIsNotWrittenOver) {
  const std::string theirs = "[HKEY_CURRENT_USER\\App]\r\n\"Theirs\"=sz:kept\r\n";
  enum class Other { ChangedInPlace, ReplacedByRename, Saving };
  const auto wait = safepath::SetSaveLockWait(std::chrono::milliseconds(20));
  const struct {
    const char* name;
    Other other;
  } cases[] = {{"changed in place", Other::ChangedInPlace},
               {"replaced by rename", Other::ReplacedByRename},
               {"saving", Other::Saving}};
  for (const auto& [name, other] : cases) {
    SCOPED_TRACE(name);
    plat::RegistryStore::Reset();
    TempDir dir;
    const std::string file = dir / "registry.txt";
    ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "App", &k), ERROR_SUCCESS);
    SetString(k, "Mine", "1");
    const std::string before = plat::RegistryStore::Dump();
    int saving = -1;
    if (other == Other::ChangedInPlace) {
      std::fstream(file, std::ios::binary | std::ios::in | std::ios::out) << theirs;  // from byte 0
    } else if (other == Other::ReplacedByRename) {
      std::ofstream(dir / "new.txt", std::ios::binary) << theirs;
      std::filesystem::rename(dir / "new.txt", file);
    } else {
      saving = other_locks::Take(file, other_locks::Kind::Write);  // an open of its own: as another program's save
      ASSERT_GE(saving, 0);
    }
    std::ifstream in(file, std::ios::binary);
    const std::string changed(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(RegSetValueEx(k, "Mine", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2),
              static_cast<LSTATUS>(other == Other::Saving ? ERROR_FILE_BEING_SAVED : ERROR_FILE_CHANGED_SINCE_READ));
    EXPECT_EQ(plat::RegistryStore::Dump(), before);
    std::ifstream after(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), changed);
    RegCloseKey(k);
    if (saving >= 0) {
      ::close(saving);
      continue;
    }
    ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
    ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "App", &k), ERROR_SUCCESS);
    SetString(k, "Mine", "3");
    EXPECT_EQ(GetString(k, "Theirs"), "kept");
    RegCloseKey(k);
  }
  safepath::SetSaveLockWait(wait);
}

TEST_F(RegistryTest, HandlesKeepToTheirKey) {
  TempDir dir;
  HKEY app = nullptr, gone = nullptr, below = nullptr, again = nullptr;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\App", &app), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\Gone\\Below", &below), ERROR_SUCCESS);
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software\\Gone", &gone), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "software\\GONE"), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\Gone\\Below", &again), ERROR_SUCCESS);
  for (const HKEY deleted : {gone, below}) {
    EXPECT_EQ(RegQueryValueEx(deleted, "v", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueEx(deleted, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_KEY_DELETED);
  }
  SetString(again, "v", "made again");
  std::ofstream(dir / "registry.txt", std::ios::binary) << "[HKEY_CURRENT_USER\\Software\\App]\r\n\"v\"=sz:from the file\r\n";
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(dir / "registry.txt"));
  EXPECT_EQ(GetString(app, "v"), "from the file");
  EXPECT_EQ(RegQueryValueEx(again, "v", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  for (const HKEY h : {app, gone, below, again}) EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
}

// RegSetKeyValue makes the key, and the keys on its way, with the value in one change: a value the store file does
// not take, or a key beyond the limits, makes neither.
TEST_F(RegistryTest, SetKeyValueMakesTheKeyWithItsValueOrNothing) {
  TempDir dir;
  const std::string file = dir / "registry.txt";
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
  const DWORD seven = 7;
  EXPECT_EQ(RegSetKeyValue(HKEY_CURRENT_USER, "Software\\App\\Sect", "n", REG_DWORD, &seven, 4), ERROR_SUCCESS);
  const std::string made = "[HKEY_CURRENT_USER\\Software\\App\\Sect]\r\n\"n\"=dword:00000007\r\n";
  EXPECT_EQ(plat::RegistryStore::Dump(), made);
  EXPECT_EQ(RegSetKeyValue(HKEY_CURRENT_USER, std::string(256, 'n').c_str(), "n", REG_DWORD, &seven, 4),
            ERROR_INVALID_PARAMETER);
  {
    plat::FileFaultScope full(plat::FullDiskFaults());
    EXPECT_NE(RegSetKeyValue(HKEY_CURRENT_USER, "Software\\New\\Sect", "n", REG_DWORD, &seven, 4), ERROR_SUCCESS);
    EXPECT_NE(RegSetKeyValue(HKEY_CURRENT_USER, "Software\\App\\Sect", "n", REG_SZ, "text", 5), ERROR_SUCCESS);
  }
  EXPECT_EQ(plat::RegistryStore::Dump(), made);
  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), made);
}

// A store file another user put in a folder every user may write, sticky (as /tmp) or not, and their link there to
// this user's store are not loaded, for the reason a save there is refused: the program would run on their settings
// (and every change be refused). The tree stays as it was, in memory only, and no file changes. This user's own
// file there loads.
TEST_F(RegistryTest, AStoreFileAnotherUserPutInASharedFolderIsNotLoaded) {
  const std::string text = "[HKEY_CURRENT_USER\\Software\\App]\r\n\"Who\"=sz:";
  auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  for (const mode_t mode : {mode_t{01777}, mode_t{0777}}) {
    SCOPED_TRACE(mode);
    TempDir dir;
    const std::filesystem::path shared = dir.Path() / "shared";
    std::filesystem::create_directory(shared);
    ASSERT_EQ(::chmod(shared.c_str(), mode), 0);
    const std::string mine = dir / "mine.txt", theirs = shared / "theirs.txt", link = shared / "link.txt";
    std::ofstream(mine, std::ios::binary) << text << "mine\r\n";
    std::ofstream(theirs, std::ios::binary) << text << "theirs\r\n";
    ASSERT_EQ(::chmod(theirs.c_str(), 0666), 0);
    std::filesystem::create_symlink(mine, link);
    // Another user's (the tests run as root, which alone can give a file away).
    ASSERT_EQ(::chown(theirs.c_str(), 4321, 4321), 0);
    ASSERT_EQ(::lchown(link.c_str(), 4321, 4321), 0);
    for (const std::string& planted : {theirs, link}) {
      EXPECT_FALSE(plat::RegistryStore::SetStoreFile(planted)) << planted;
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << planted;
      EXPECT_EQ(plat::RegistryStore::Dump(), "") << planted;
    }
    SetString(HKEY_CURRENT_USER, "Changed", "in memory");
    EXPECT_EQ(read(mine), text + "mine\r\n");
    EXPECT_EQ(read(theirs), text + "theirs\r\n");

    std::filesystem::copy_file(mine, shared / "own.txt");
    ASSERT_TRUE(plat::RegistryStore::SetStoreFile((shared / "own.txt").string()));
    HKEY app = nullptr;
    ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software\\App", &app), ERROR_SUCCESS);
    EXPECT_EQ(GetString(app, "Who"), "mine");
    RegCloseKey(app);
    plat::RegistryStore::Reset();
  }
}

// A folder on the way to the store file is swapped, again and again and atomically, with another user's link to a
// folder that holds a store file of theirs, while the store is loaded: each load reads the file in the folder it
// checked (the user's) or is refused, and never takes the planted file for the user's settings.
TEST_F(RegistryTest, ALoadKeepsToTheFolderItCheckedWhileALinkIsSwappedIn) {
  const std::string text = "[HKEY_CURRENT_USER\\Software\\App]\r\n\"Who\"=sz:";
  for (const mode_t mode : {mode_t{01777}, mode_t{0777}}) {
    SCOPED_TRACE(mode);
    TempDir dir;
    const std::filesystem::path shared = dir.Path() / "shared", planted = dir.Path() / "planted";
    std::filesystem::create_directories(shared / "dir");
    std::filesystem::create_directory(planted);
    ASSERT_EQ(::chmod(shared.c_str(), mode), 0);
    std::ofstream(shared / "dir" / "store.txt", std::ios::binary) << text << "mine\r\n";
    std::ofstream(planted / "store.txt", std::ios::binary) << text << "planted\r\n";
    std::filesystem::create_directory_symlink(planted, shared / "link");
    ASSERT_EQ(::lchown((shared / "link").c_str(), 4321, 4321), 0);  // another user's (the tests run as root)
    std::map<std::string, int> outcomes;  // what each load gave: whose value, or the reason it was refused
    {
      FolderSwapper swapper(shared / "dir", shared / "link");
      for (int i = 0; i < 1000; ++i) {
        plat::RegistryStore::Reset();
        if (!plat::RegistryStore::SetStoreFile((shared / "dir" / "store.txt").string())) {
          ++outcomes[plat::SystemErrorText(GetLastError())];
          continue;
        }
        HKEY app = nullptr;
        ++outcomes[RegOpenKey(HKEY_CURRENT_USER, "Software\\App", &app) == ERROR_SUCCESS ? GetString(app, "Who") : ""];
        RegCloseKey(app);
      }
    }
    outcomes.erase("mine");
    outcomes.erase(plat::SystemErrorText(ERROR_ACCESS_DENIED));
    for (const auto& [outcome, count] : outcomes) ADD_FAILURE() << count << " loads gave: " << outcome;
  }
}

// In a folder every user may write without the sticky bit, another user keeps exchanging their store file (writable by
// all) and their FIFO with the user's store file while it is loaded: each load reads the user's file, or is refused
// (their file, or one changed while it was read), and none waits on the FIFO.
TEST_F(RegistryTest, ALoadReadsOnlyTheUsersFileWhileAnotherUserExchangesTheirsWithIt) {
  const std::string text = "[HKEY_CURRENT_USER\\Software\\App]\r\n\"Who\"=sz:";
  TempDir dir;
  const std::filesystem::path shared = dir.Path() / "shared";
  std::filesystem::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);
  std::ofstream(shared / "s.reg", std::ios::binary) << text << "mine\r\n";
  std::ofstream(shared / "theirs.reg", std::ios::binary) << text << "theirs\r\n";
  ASSERT_EQ(::chmod((shared / "theirs.reg").c_str(), 0666), 0);
  ASSERT_EQ(::mkfifo((shared / "fifo.reg").c_str(), 0666), 0);
  another_user::Files theirs;
  ASSERT_TRUE(theirs.give(shared / "theirs.reg") && theirs.give(shared / "fifo.reg"));
  std::map<std::string, int> outcomes;  // what each load gave: whose value, or the reason it was refused
  {
    another_user::Exchanger exchanger(shared, {{"s.reg", "theirs.reg"}, {"s.reg", "fifo.reg"}});
    ASSERT_TRUE(exchanger.started());
    for (int i = 0; i < 10000; ++i) {
      plat::RegistryStore::Reset();
      if (!plat::RegistryStore::SetStoreFile((shared / "s.reg").string())) {
        ++outcomes[plat::SystemErrorText(GetLastError())];
        continue;
      }
      HKEY app = nullptr;
      ++outcomes[RegOpenKey(HKEY_CURRENT_USER, "Software\\App", &app) == ERROR_SUCCESS ? GetString(app, "Who") : ""];
      RegCloseKey(app);
    }
  }
  for (const DWORD refused : {ERROR_ACCESS_DENIED, ERROR_FILE_CHANGED}) outcomes.erase(plat::SystemErrorText(refused));
  outcomes.erase("mine");
  for (const auto& [outcome, count] : outcomes) ADD_FAILURE() << count << " loads gave: " << outcome;
}

// A store file that cannot be read as one is refused at once, and the tree stays as it was. Before, a folder threw,
// a FIFO was waited on and /dev/zero read without end.
TEST_F(RegistryTest, StoreFilesThatAreNoRegularFileOrTooLargeAreRefused) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.txt");
  ASSERT_EQ(::mkfifo((dir / "fifo.txt").c_str(), 0600), 0);
  std::ofstream(dir / "huge.txt").put('\n');
  std::filesystem::resize_file(dir / "huge.txt", plat::RegistryStore::kMaxFileBytes + 1);
  for (const std::string& path : {dir / "folder.txt", dir / "huge.txt", dir / "fifo.txt", std::string("/dev/zero")}) {
    ASSERT_FALSE(plat::RegistryStore::SetStoreFile(path)) << path;
    EXPECT_EQ(plat::RegistryStore::Dump(), "") << path;
  }
}

// A store file behind the user's link, in a folder of theirs, that exists but cannot be reached (in a folder closed to
// them, past a file) is refused with the reason rather than taken for none, and no change then replaces the link with
// a store of that change alone.
TEST_F(RegistryTest, AStoreFileBehindALinkThatCannotBeReachedIsRefusedAndTheLinkKept) {
  TempDir dir;
  const std::filesystem::path own = dir.Path() / "own";
  const std::string stored = "[HKEY_CURRENT_USER\\Software\\App]\r\n\"k\"=sz:precious\r\n";
  std::filesystem::create_directories(own / "locked");
  std::ofstream(own / "locked/s.reg", std::ios::binary) << stored;
  std::ofstream(own / "afile") << "a file";
  std::filesystem::create_symlink("locked/s.reg", own / "s.reg");
  std::filesystem::create_symlink("afile/x.reg", own / "n.reg");
  ASSERT_TRUE(another_user::GiveTree(own));
  ASSERT_EQ(::chmod((own / "locked").c_str(), 0600), 0);
  for (const auto& [link, reason] : {std::pair{"s.reg", ERROR_ACCESS_DENIED}, {"n.reg", ERROR_PATH_NOT_FOUND}}) {
    EXPECT_EQ(another_user::Run(own, [link = link] {
                const int answer = plat::RegistryStore::SetStoreFile(std::string(link)) ? 0 : int(GetLastError());
                HKEY key = nullptr;
                RegCreateKeyEx(HKEY_CURRENT_USER, "Changed", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
                RegCloseKey(key);
                return answer;
              }),
              int(reason))
        << link;
    EXPECT_TRUE(std::filesystem::is_symlink(own / link)) << link;
  }
  ASSERT_EQ(::chmod((own / "locked").c_str(), 0700), 0);
  std::ifstream in(own / "locked/s.reg", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), stored);
}

// A store file cut, or written over at its own length, by another program while it is read is refused with the
// reason, and the store keeps what it had in memory only: before, half the tree was taken for the whole (a file
// written over passed the check, half old and half new) and the next change wrote that back.
TEST_F(RegistryTest, AStoreFileCutOrWrittenOverWhileItIsReadIsRefusedAndNotWrittenOver) {
  TempDir dir;
  const std::string file = dir / "registry.txt";
  std::string text = "[HKEY_CURRENT_USER\\Software\\App]\r\n";
  for (int i = 0; text.size() < (1u << 20); ++i) text += "\"Value" + std::to_string(i) + "\"=sz:" + std::string(40, 'x') + "\r\n";
  const std::size_t half = text.find('\n', text.size() / 2) + 1;   // a whole line: the half parses
  std::string other = text;
  std::replace(other.begin(), other.end(), 'x', 'y');   // another store of the same length
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Kept", &k), ERROR_SUCCESS);
  // Cut; written over; written over with its modification time put back (as a copy keeping times does): only the
  // change time tells the last.
  for (const int how : {0, 1, 2}) {
    const bool cut = how == 0;
    SCOPED_TRACE(how);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    // Times of a day ago: a write within the clock's current tick would not move them.
    const auto dayAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    std::filesystem::last_write_time(file, dayAgo);
    const std::string before = plat::RegistryStore::Dump();
    int reads = 0;
    plat::FileFaultScope change([&](plat::FileStep step, const std::string& path) {
      if (step == plat::FileStep::Read && path == file && ++reads == 2) {
        if (cut) {
          std::filesystem::resize_file(file, half);
        } else {
          std::fstream(file, std::ios::binary | std::ios::in | std::ios::out) << other;   // from byte 0, in place
          if (how == 2) std::filesystem::last_write_time(file, dayAgo);
        }
      }
      return 0;
    });
    EXPECT_FALSE(plat::RegistryStore::SetStoreFile(file));
    EXPECT_EQ(plat::SystemErrorText(GetLastError()), "The file changed while it was read; try again once it is written.");
    EXPECT_TRUE(plat::RegistryStore::Dump() == before);   // not the half of a megabyte, nor a mixture
    SetString(k, "Changed", cut ? "cut" : "written over");
    std::ifstream in(file, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == (cut ? text.substr(0, half) : other));
  }
  RegCloseKey(k);
}

// A change whose store file cannot be written (a full disk) fails and is not made: before, it stayed in the tree,
// and the next change that was written put it in the file.
TEST_F(RegistryTest, ChangesTheStoreFileDoesNotTakeAreNotMade) {
  TempDir dir;
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(dir / "registry.txt"));
  HKEY k = nullptr, sub = nullptr;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "App\\Sub", &sub), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "App", &k), ERROR_SUCCESS);
  SetString(k, "Kept", "old");
  const std::string before = plat::RegistryStore::Dump();
  plat::FileFaultScope full(plat::FullDiskFaults());
  EXPECT_NE(RegSetValueEx(k, "Kept", 0, REG_SZ, reinterpret_cast<const BYTE*>("new"), 4), ERROR_SUCCESS);
  EXPECT_NE(RegSetValueEx(k, "Added", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
  EXPECT_NE(RegDeleteValue(k, "Kept"), ERROR_SUCCESS);
  EXPECT_NE(RegDeleteKey(k, "Sub"), ERROR_SUCCESS);
  EXPECT_NE(RegCreateKey(k, "New\\Deeper", &sub), ERROR_SUCCESS);
  EXPECT_EQ(plat::RegistryStore::Dump(), before);
  RegCloseKey(k);
}

// A store file an earlier version wrote, with keys beyond what RegCreateKeyEx makes now (names of 256 and 300
// characters, keys 513 and 50,000 levels deep) beside ordinary values, loads whole: its values read, a change is
// written, and the file loads again with the old keys as they were read; the deep key is deleted and dropped without
// a call per level. Before, the file was refused as damaged and the next change wrote an empty tree over it.
TEST_F(RegistryTest, StoreFilesOfEarlierVersionsWithKeysBeyondTheCreationLimitsLoadWhole) {
  TempDir dir;
  const auto levels = [](std::size_t count, const std::string& name) {
    std::string path = name;
    for (std::size_t i = 1; i < count; ++i) path += "\\" + name;
    return path;
  };
  const auto section = [](const std::string& path, const std::string& value) {
    return "[HKEY_CURRENT_USER\\" + path + "]\r\n\"v\"=sz:" + value + "\r\n";
  };
  const std::string deep513 = levels(513, "d"), deep50000 = levels(50000, "e"), long256(256, 'n');
  const std::string long300 = std::string(300, 'o') + "\\Sub";
  const std::string app = "[HKEY_CURRENT_USER\\Software\\Vendor\\App]\r\n\"LastProject\"=sz:";
  const std::string old = section(deep513, "513") + section(deep50000, "50000") + section(long256, "256") +
                          section(long300, "300") + app + "board.dao\r\n";
  const std::string file = dir / "registry.txt";
  std::ofstream(file, std::ios::binary) << old;
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
  EXPECT_TRUE(plat::RegistryStore::Dump() == old);
  EXPECT_EQ(Subkeys(HKEY_CURRENT_USER),
            (std::vector<std::string>{"d", "e", long256, std::string(300, 'o'), "Software"}));
  HKEY k = nullptr;
  for (const auto& [path, value] :
       {std::pair{deep513, "513"}, {deep50000, "50000"}, {long256, "256"}, {long300, "300"}}) {
    ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, path.c_str(), &k), ERROR_SUCCESS) << value;
    EXPECT_EQ(GetString(k, "v"), value);
    RegCloseKey(k);
  }
  // Such keys open through RegCreateKeyEx too, as they are; below them a new key is made within the limits only.
  DWORD disposition = 0;
  HKEY refused = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, long300.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                           &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(RegCreateKey(k, std::string(256, 'm').c_str(), &refused), ERROR_INVALID_PARAMETER);
  RegCloseKey(k);
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, (long300 + "\\New").c_str(), &k), ERROR_SUCCESS);
  RegCloseKey(k);
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, deep513.c_str(), &k), ERROR_SUCCESS);
  EXPECT_EQ(RegCreateKey(k, "deeper", &refused), ERROR_INVALID_PARAMETER);
  RegCloseKey(k);

  HKEY vendor = nullptr;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software\\Vendor\\App", &vendor), ERROR_SUCCESS);
  EXPECT_EQ(GetString(vendor, "LastProject"), "board.dao");
  SetString(vendor, "LastProject", "next.dao");
  RegCloseKey(vendor);
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, deep50000.c_str(), &k), ERROR_SUCCESS);
  SetString(k, "w", "changed");
  RegCloseKey(k);
  const std::string changed = section(deep513, "513") + section(deep50000, "50000") + "\"w\"=sz:changed\r\n" +
                              section(long256, "256") + section(long300, "300") + "[HKEY_CURRENT_USER\\" +
                              long300 + "\\New]\r\n" + app + "next.dao\r\n";
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == changed);
  plat::RegistryStore::Reset();
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
  EXPECT_TRUE(plat::RegistryStore::Dump() == changed);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "e"), ERROR_SUCCESS);
  EXPECT_EQ(Subkeys(HKEY_CURRENT_USER).size(), 4u);

  // Lines that are not in the store's form are still refused, with the reason.
  for (const std::string text : {"[HKEY_CURRENT_USER\\a\r\n", "[HKEY_NOWHERE\\a]\r\n", "[]\r\n", "\"v\"=sz:x\r\n",
                                 "[HKEY_USERS]\r\nv=sz:x\r\n", "[HKEY_USERS]\r\n\"v\"=what:x\r\n"}) {
    std::ofstream(dir / "damaged.txt", std::ios::binary | std::ios::trunc) << text;
    EXPECT_FALSE(plat::RegistryStore::SetStoreFile(dir / "damaged.txt")) << text;
    EXPECT_EQ(plat::SystemErrorText(GetLastError()), "The store file is damaged: a line is not in its form.");
  }
}

// RegCreateKeyEx makes no key deeper than 512 levels or with a name longer than 255 characters; a tree at the limits
// loads, changes and loads again as it was.
TEST_F(RegistryTest, KeysAreMadeWithinTheKeyLimits) {
  TempDir dir;
  auto path = [](std::size_t levels, const std::string& name) {
    std::string text = "[HKEY_CURRENT_USER";
    for (std::size_t i = 0; i < levels; ++i) text += "\\" + name;
    return text + "]\r\n\"v\"=sz:x\r\n";
  };
  const std::string limits = dir / "limits.txt";
  const std::string text = path(512, "k") + path(1, std::string(255, 'n'));
  std::ofstream(limits, std::ios::binary) << text;
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(limits));
  EXPECT_EQ(plat::RegistryStore::Dump(), text);
  HKEY leaf = nullptr;
  std::string sub = "k";
  for (int i = 1; i < 512; ++i) sub += "\\k";
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, sub.c_str(), &leaf), ERROR_SUCCESS);
  // A key one level deeper, or of a longer name, is not made.
  HKEY refused = nullptr;
  EXPECT_EQ(RegCreateKey(leaf, "deeper", &refused), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, std::string(256, 'n').c_str(), &refused), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, "line\nbreak", &refused), ERROR_INVALID_PARAMETER);   // would split its line
  SetString(leaf, "w", "y");
  RegCloseKey(leaf);
  const std::string changed = plat::RegistryStore::Dump();
  plat::RegistryStore::Reset();
  ASSERT_TRUE(plat::RegistryStore::SetStoreFile(limits));
  EXPECT_EQ(plat::RegistryStore::Dump(), changed);
}

// A change whose store file would be larger than the store loads is refused with the reason and not made, in memory
// or on disk; one that makes the file exactly as large is written and loads again. Before, a binary value of 6 MiB
// (three bytes a byte in the file), a text of 16 MiB or many values of 100 KB were taken and written, and the next
// load refused the file whole: every key was gone.
TEST_F(RegistryTest, AChangeWhoseStoreFileWouldPassTheLoadLimitIsRefused) {
  TempDir dir;
  const std::string file = dir / "registry.txt";
  const auto stored = [&] {
    std::string text(std::filesystem::file_size(file), '\0');
    std::ifstream(file, std::ios::binary).read(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
  };
  constexpr std::size_t kLimit = plat::RegistryStore::kMaxFileBytes;
  const std::string small = "[HKEY_CURRENT_USER\\Software\\Vendor\\App]\r\n\"LastProject\"=sz:board.dao\r\n";
  std::string many = small + "[HKEY_CURRENT_USER\\Software\\Vendor\\App\\Many]\r\n";
  for (int i = 100; many.size() < kLimit - 200000; ++i)
    many += "\"" + std::to_string(i) + "\"=sz:" + std::string(100000, 'x') + "\r\n";
  const std::size_t keyLine = std::strlen("[HKEY_CURRENT_USER\\Software\\Vendor\\App\\]\r\n");
  const std::string padded = many + "\"pad\"=sz:" + std::string(kLimit - many.size() - 10 - keyLine - 200, 'p') + "\r\n";
  // Changes that make the file grow by exactly `bytes`: a binary value ("name"=hex(3):01,...), a text
  // ("name"=sz:text), a key.
  const auto binary = [](HKEY app, std::size_t bytes) {
    const std::size_t n = (bytes - 12) / 3;
    const std::vector<BYTE> data(n, 0xab);
    return RegSetValueEx(app, std::string(bytes - 11 - 3 * n, 'b').c_str(), 0, REG_BINARY, data.data(),
                         static_cast<DWORD>(n));
  };
  const auto text = [](HKEY app, std::size_t bytes) {
    const std::string data(bytes - 9, 't');
    return RegSetValueEx(app, "t", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>(data.size() + 1));
  };
  const auto key = [keyLine](HKEY app, std::size_t bytes) {
    HKEY made = nullptr;
    const LONG r = RegCreateKey(app, std::string(bytes - keyLine, 'k').c_str(), &made);
    RegCloseKey(made);
    return r;
  };
  const struct {
    const std::string& start;
    std::function<LONG(HKEY, std::size_t)> grow;
  } cases[] = {{small, binary}, {small, text}, {many, text}, {padded, key}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    plat::RegistryStore::Reset();
    std::ofstream(file, std::ios::binary | std::ios::trunc) << c.start;
    ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
    HKEY app = nullptr;
    ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software\\Vendor\\App", &app), ERROR_SUCCESS);
    const std::size_t room = kLimit - c.start.size();
    EXPECT_EQ(c.grow(app, room + 1), static_cast<LONG>(ERROR_STORE_TOO_LARGE));
    EXPECT_TRUE(plat::RegistryStore::Dump() == c.start);
    EXPECT_TRUE(stored() == c.start);
    ASSERT_EQ(c.grow(app, room), ERROR_SUCCESS);
    RegCloseKey(app);
    const std::string full = stored();
    EXPECT_EQ(full.size(), kLimit);
    plat::RegistryStore::Reset();
    ASSERT_TRUE(plat::RegistryStore::SetStoreFile(file));
    EXPECT_TRUE(plat::RegistryStore::Dump() == full);
    // Full: a new key is refused, a value that takes the place of a longer one is written.
    RegOpenKey(HKEY_CURRENT_USER, "Software\\Vendor\\App", &app);
    EXPECT_EQ(key(app, keyLine + 1), static_cast<LONG>(ERROR_STORE_TOO_LARGE));
    SetString(app, "LastProject", "b.dao");
    EXPECT_EQ(GetString(app, "LastProject"), "b.dao");
    RegCloseKey(app);
  }
  EXPECT_EQ(plat::SystemErrorText(ERROR_STORE_TOO_LARGE),
            "The change would make the store file larger than the 16 MiB it can load again, and was not made.");
  // A value larger than the file may be is refused as it comes.
  const std::vector<BYTE> huge(kLimit + 1);
  EXPECT_EQ(RegSetValueEx(HKEY_CURRENT_USER, "huge", 0, REG_BINARY, huge.data(), static_cast<DWORD>(huge.size())),
            static_cast<LONG>(ERROR_STORE_TOO_LARGE));
}
