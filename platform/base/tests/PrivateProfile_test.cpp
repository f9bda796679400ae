#include "platform/base/PrivateProfile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/IniStore.h"
#include "platform/base/ProfileBatch.h"
#include "platform/base/SystemError.h"
#include "platform/base/tests/TempDir.h"

namespace {

std::string DataFile(const char* name) {
  const char* root = std::getenv("BRIM_SOURCE_DIR");
  return std::string(root ? root : ".") + "/platform/base/tests/data/" + name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return std::move(text).str();
}

// The NUL-separated entries of a list result.
std::vector<std::string> Entries(const char* buffer, DWORD length) {
  std::vector<std::string> out;
  for (const char* p = buffer; p < buffer + length && *p; p += std::strlen(p) + 1) out.emplace_back(p);
  return out;
}

std::string Get(const std::string& file, const char* section, const char* key, const char* def = "<default>") {
  char buf[256];
  GetPrivateProfileString(section, key, def, buf, sizeof buf, file.c_str());
  return buf;
}

class PrivateProfileTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::IniStore::ClearCache(); }
  TempDir dir;
};

}  // namespace

TEST_F(PrivateProfileTest, WritesMatchTheGoldenFile) {
  const std::string file = dir / "settings.dao";
  ASSERT_TRUE(WritePrivateProfileString("HEADER", "Version", "1.2", file.c_str()));
  WritePrivateProfileString("HEADER", "DateTime", "Sunday, January 01, 2024 00:00:00", file.c_str());
  WritePrivateProfileString("BOARD", "ProjectPath", "demo.brd", file.c_str());
  WritePrivateProfileString("header", "version", "1.3", file.c_str());  // in place, spelling kept
  WritePrivateProfileString("HEADER", "FileVersion", "1.0", file.c_str());
  WritePrivateProfileSection("BOARD_PROBES", "P1=1,2\r\n\r\nP2=3,4\r\n\r\n", file.c_str());
  WritePrivateProfileString("BOARD", "BoardIdx", "0", file.c_str());
  WritePrivateProfileSection("EMPTY", "", file.c_str());
  WritePrivateProfileString("TEMP", "x", "1", file.c_str());
  WritePrivateProfileString("TEMP", nullptr, nullptr, file.c_str());
  WritePrivateProfileString("BOARD", "Gone", "1", file.c_str());
  WritePrivateProfileString("BOARD", "Gone", nullptr, file.c_str());
  WritePrivateProfileSection("board_probes", "P3=5\0P4=6\0", file.c_str());  // the documented list form
  EXPECT_TRUE(WritePrivateProfileString(nullptr, nullptr, nullptr, file.c_str()));
  EXPECT_EQ(ReadAll(file), ReadAll(DataFile("write_golden.ini")));
}

TEST_F(PrivateProfileTest, EditingKeepsUntouchedLines) {
  const std::string file = dir / "edit.ini";
  std::filesystem::copy_file(DataFile("read_sample.ini"), file);
  ASSERT_TRUE(WritePrivateProfileString("BOARD", "boardidx", "3", file.c_str()));
  WritePrivateProfileString("Board", "Added", "yes", file.c_str());
  WritePrivateProfileString("NEW", "k", "v", file.c_str());
  WritePrivateProfileString("NEW", "k", "v", file.c_str());  // no change: no rewrite needed
  EXPECT_EQ(ReadAll(file), ReadAll(DataFile("edit_golden.ini")));
}

TEST_F(PrivateProfileTest, ReadingValues) {
  const std::string file = DataFile("read_sample.ini");
  EXPECT_EQ(Get(file, "board", "PROJECTPATH"), "C:\\proj\\demo.brd");  // trimmed, quotes stripped
  EXPECT_EQ(Get(file, "BOARD", "BoardIdx"), "0x1F");                    // the first duplicate wins
  EXPECT_EQ(Get(file, "BOARD", "quoted"), "single");
  EXPECT_EQ(Get(file, "BOARD", "odd"), "\"unbalanced");
  EXPECT_EQ(Get(file, "BOARD", "novalue"), "");
  EXPECT_EQ(Get(file, "BOARD", "Empty"), "");
  EXPECT_EQ(Get(file, "BOARD", "; a comment"), "<default>");
  EXPECT_EQ(Get(file, "BOARD", "Later"), "<default>");  // a second [board] section is not read
  EXPECT_EQ(Get(file, "OPTIONS", "Analysis"), "Distributed");
  EXPECT_EQ(Get(file, "OPTIONS", "Missing", "  dflt  "), "  dflt");  // trailing blanks of a default go
  EXPECT_EQ(Get(file, "OPTIONS", "Missing", nullptr), "");
  EXPECT_EQ(Get((dir / "none.ini"), "A", "B", "x"), "x");
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  char small[5];
  EXPECT_EQ(GetPrivateProfileString("OPTIONS", "Analysis", "", small, sizeof small, file.c_str()), 4u);
  EXPECT_STREQ(small, "Dist");
}

TEST_F(PrivateProfileTest, Integers) {
  const std::string file = DataFile("read_sample.ini");
  EXPECT_EQ(GetPrivateProfileInt("BOARD", "BoardIdx", -1, file.c_str()), 31u);
  EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("BOARD", "Neg", 5, file.c_str())), -12);
  EXPECT_EQ(GetPrivateProfileInt("BOARD", "ProjectPath", 5, file.c_str()), 0u);  // no digits: 0
  EXPECT_EQ(GetPrivateProfileInt("BOARD", "Empty", 5, file.c_str()), 0u);
  EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("BOARD", "Missing", -1, file.c_str())), -1);
  EXPECT_EQ(GetPrivateProfileInt("HEADER", "FileVersion", 9, file.c_str()), 1u);
}

TEST_F(PrivateProfileTest, ListsAndTheirTruncation) {
  const std::string file = DataFile("read_sample.ini");
  char buf[512];
  DWORD n = GetPrivateProfileString(nullptr, nullptr, "", buf, sizeof buf, file.c_str());
  EXPECT_EQ(Entries(buf, n), (std::vector<std::string>{"HEADER", "board", "OPTIONS"}));
  n = GetPrivateProfileString("BOARD", nullptr, "", buf, sizeof buf, file.c_str());
  EXPECT_EQ(Entries(buf, n), (std::vector<std::string>{"ProjectPath", "BoardIdx", "quoted", "odd", "novalue", "Neg", "Empty"}));
  n = GetPrivateProfileSection("board", buf, sizeof buf, file.c_str());
  const std::vector<std::string> lines = {"ProjectPath=\"C:\\proj\\demo.brd\"", "BoardIdx=0x1F", "BoardIdx=7", "quoted='single'",
                                          "odd=\"unbalanced", "novalue", "; a comment=not a key", "Neg=-12abc", "Empty="};
  EXPECT_EQ(Entries(buf, n), lines);
  std::size_t total = 0;
  for (const auto& l : lines) total += l.size() + 1;
  EXPECT_EQ(n, total);
  EXPECT_EQ(buf[n], '\0');

  // Too small: the cut text ends in two NULs and the answer is size - 2; the module grows its buffer
  // until the answer is below that.
  char cut[20];
  EXPECT_EQ(GetPrivateProfileSection("board", cut, sizeof cut, file.c_str()), 18u);
  EXPECT_EQ(cut[18], '\0');
  EXPECT_EQ(cut[19], '\0');
  EXPECT_EQ(std::string(cut), "ProjectPath=\"C:\\pr");
  EXPECT_EQ(GetPrivateProfileString("BOARD", nullptr, "", cut, 8, file.c_str()), 6u);
  EXPECT_EQ(GetPrivateProfileSection("NOSUCH", buf, sizeof buf, file.c_str()), 0u);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[1], '\0');
}

TEST_F(PrivateProfileTest, ByteOrderMarkBeforeTheFirstSection) {
  const std::string file = dir / "bom.ini";
  std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF[HEADER]\r\nVersion=1\r\n";
  EXPECT_EQ(Get(file, "HEADER", "Version"), "1");
  WritePrivateProfileString("HEADER", "Version", "2", file.c_str());
  EXPECT_EQ(ReadAll(file), "\xEF\xBB\xBF[HEADER]\r\nVersion=2\r\n");
}

TEST_F(PrivateProfileTest, LargeSectionReadWhole) {
  const std::string file = dir / "big.dao";
  std::string text;
  for (int i = 0; i < 200; ++i) text += "Probe" + std::to_string(i) + "=1,2,3,4,5,6\r\n";
  text += "\r\n";
  ASSERT_TRUE(WritePrivateProfileSection("PROBES", text.c_str(), file.c_str()));
  // The module's loop: grow by 1024 while the answer is size - 2.
  std::vector<char> buf(1024);
  DWORD n;
  while ((n = GetPrivateProfileSection("PROBES", buf.data(), static_cast<DWORD>(buf.size()), file.c_str())) ==
         buf.size() - 2)
    buf.resize(buf.size() + 1024);
  const auto entries = Entries(buf.data(), n);
  ASSERT_EQ(entries.size(), 200u);
  EXPECT_EQ(entries[199], "Probe199=1,2,3,4,5,6");
}

TEST_F(PrivateProfileTest, ValuesThatWouldBreakTheFileAreRefused) {
  const std::string file = dir / "s.ini";
  WritePrivateProfileString("S", "k", "v", file.c_str());
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "two\r\nlines", file.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(WritePrivateProfileString("S", "a=b", "v", file.c_str()));
  EXPECT_FALSE(WritePrivateProfileString("S]x", "k", "v", file.c_str()));
  EXPECT_FALSE(WritePrivateProfileString("S", "  [k", "v", file.c_str()));
  EXPECT_FALSE(WritePrivateProfileString("S", " ;k", "v", file.c_str()));
  EXPECT_FALSE(WritePrivateProfileSection("S", "a=1\r\n [T]\r\n", file.c_str()));
  EXPECT_FALSE(WritePrivateProfileString(nullptr, "k", "v", file.c_str()));
  EXPECT_EQ(Get(file, "S", "k"), "v");
}

TEST_F(PrivateProfileTest, FailedWritesAreReportedAndLoseNothing) {
  const std::string file = dir / "s.ini";
  WritePrivateProfileString("S", "k", "old", file.c_str());
  // A file-size limit makes the write of the new text fail (also for a privileged user).
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = saved;
  tiny.rlim_cur = 8;
  ::setrlimit(RLIMIT_FSIZE, &tiny);
  const BOOL written = WritePrivateProfileString("S", "k", "a much longer new value", file.c_str());
  const DWORD error = GetLastError();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(error, ERROR_DISK_FULL);
  EXPECT_EQ(Get(file, "S", "k"), "old");  // neither the file nor the cache holds the failed edit
  EXPECT_EQ(ReadAll(file), "[S]\r\nk=old\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", (dir / "missing-dir/x.ini").c_str()));
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "v", dir.Path().string().c_str()));  // a directory
}

TEST_F(PrivateProfileTest, WritesAreAtomicAndSeenAtOnce) {
  const std::string file = dir / "s.ini";
  WritePrivateProfileString("S", "k", "1", file.c_str());
  struct stat before {};
  ::stat(file.c_str(), &before);
  WritePrivateProfileString("S", "k", "2", file.c_str());
  struct stat after {};
  ::stat(file.c_str(), &after);
  EXPECT_NE(before.st_ino, after.st_ino);  // a new file took the name
  EXPECT_EQ(ReadAll(file), "[S]\r\nk=2\r\n");
  // No temporary files stay behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  // A change made behind the cache's back is seen.
  std::ofstream(file, std::ios::binary) << "[S]\nk=changed by someone else\n";
  EXPECT_EQ(Get(file, "S", "k"), "changed by someone else");
}

TEST_F(PrivateProfileTest, RelativeNamesUseTheCurrentDirectoryAndBackslashes) {
  const auto old = std::filesystem::current_path();
  std::filesystem::create_directory(dir.Path() / "sub");
  std::filesystem::current_path(dir.Path());
  EXPECT_TRUE(WritePrivateProfileString("S", "k", "v", "sub\\rel.ini"));
  std::filesystem::current_path(old);
  EXPECT_EQ(ReadAll(dir / "sub/rel.ini"), "[S]\r\nk=v\r\n");
}

namespace {

// Makes the profile store's step number `failAt` (0-based, counting edits and batch writes) fail with EIO;
// counts the steps taken. Removed at the end of the scope.
class InjectedFault {
 public:
  explicit InjectedFault(int failAt = -1)
      : previous_(plat::IniStore::SetFaultHook([this, failAt] { return steps_++ == failAt ? EIO : 0; })) {}
  ~InjectedFault() { plat::IniStore::SetFaultHook(previous_); }
  int Steps() const { return steps_; }

 private:
  int steps_ = 0;
  std::function<int()> previous_;
};

// The writes of a save: keys of several sections, a replaced section, a deleted key and one in place.
BOOL SaveInBatch(const std::string& file, const char* value) {
  plat::ProfileBatch batch(file.c_str());
  BOOL ok = WritePrivateProfileString("HEADER", "Version", value, file.c_str());
  ok &= WritePrivateProfileString("OPTIONS", "MinFreq", value, file.c_str());
  {
    plat::ProfileBatch nested(file.c_str());  // a derived save inside the common one
    ok &= WritePrivateProfileSection("PROBES", (std::string("P1=") + value + "\r\nP2=2\r\n\r\n").c_str(), file.c_str());
    ok &= WritePrivateProfileString("OPTIONS", "Old", nullptr, file.c_str());
    ok &= nested.Close();
  }
  ok &= WritePrivateProfileString("BOARD", "BoardIdx", value, file.c_str());
  return batch.Close() && ok;
}

}  // namespace

TEST_F(PrivateProfileTest, BatchWritesTheFileOnceAndReadsSeeItsWrites) {
  const std::string file = dir / "batch.dao";
  WritePrivateProfileString("OPTIONS", "Old", "1", file.c_str());
  const std::string before = ReadAll(file);
  {
    plat::ProfileBatch batch(file.c_str());
    WritePrivateProfileString("OPTIONS", "MinFreq", "1e6", file.c_str());
    WritePrivateProfileString("OPTIONS", "Old", nullptr, file.c_str());
    EXPECT_EQ(Get(file, "options", "minfreq"), "1e6");
    EXPECT_EQ(Get(file, "OPTIONS", "Old"), "<default>");
    // The lists, kept between asks, follow the edits.
    char list[64];
    auto sections = [&] { return Entries(list, GetPrivateProfileString(nullptr, nullptr, "", list, sizeof list, file.c_str())); };
    auto keys = [&] { return Entries(list, GetPrivateProfileString("OPTIONS", nullptr, "", list, sizeof list, file.c_str())); };
    EXPECT_EQ(sections(), (std::vector<std::string>{"OPTIONS"}));
    EXPECT_EQ(keys(), (std::vector<std::string>{"MinFreq"}));
    WritePrivateProfileString("Added", "k", "v", file.c_str());
    WritePrivateProfileString("options", "Old", "2", file.c_str());
    EXPECT_EQ(sections(), (std::vector<std::string>{"OPTIONS", "Added"}));
    EXPECT_EQ(keys(), (std::vector<std::string>{"MinFreq", "Old"}));
    WritePrivateProfileString("ADDED", nullptr, nullptr, file.c_str());
    WritePrivateProfileString("OPTIONS", "old", nullptr, file.c_str());
    EXPECT_EQ(sections(), (std::vector<std::string>{"OPTIONS"}));
    EXPECT_EQ(keys(), (std::vector<std::string>{"MinFreq"}));
    EXPECT_EQ(ReadAll(file), before);  // nothing reaches the file before the end
    EXPECT_TRUE(batch.Close());
    EXPECT_TRUE(batch.Close());  // closed once; the same answer again
  }
  EXPECT_EQ(ReadAll(file), "[OPTIONS]\r\nMinFreq=1e6\r\n");
  // The file written through a batch is byte for byte the one the same calls write one by one.
  const std::string single = dir / "single.dao";
  WritePrivateProfileString("OPTIONS", "Old", "1", single.c_str());
  WritePrivateProfileString("HEADER", "Version", "2", single.c_str());
  WritePrivateProfileString("OPTIONS", "MinFreq", "2", single.c_str());
  WritePrivateProfileSection("PROBES", "P1=2\r\nP2=2\r\n\r\n", single.c_str());
  WritePrivateProfileString("OPTIONS", "Old", nullptr, single.c_str());
  WritePrivateProfileString("BOARD", "BoardIdx", "2", single.c_str());
  const std::string batched = dir / "batched.dao";
  WritePrivateProfileString("OPTIONS", "Old", "1", batched.c_str());
  ASSERT_TRUE(SaveInBatch(batched, "2"));
  EXPECT_EQ(ReadAll(batched), ReadAll(single));
  // A scope on another file, or on none, leaves this one written through.
  plat::ProfileBatch other((dir / "other.dao").c_str());
  WritePrivateProfileString("S", "k", "v", file.c_str());
  EXPECT_EQ(Get(file, "S", "k"), "v");
  EXPECT_NE(ReadAll(file).find("k=v"), std::string::npos);
  plat::ProfileBatch none(nullptr);
  EXPECT_FALSE(none.Close());
}

TEST_F(PrivateProfileTest, BatchInterruptedAtAnyStepLeavesTheOldFile) {
  const std::string file = dir / "batch.dao";
  ASSERT_TRUE(SaveInBatch(file, "1"));
  const std::string old = ReadAll(file);
  int steps = 0;
  {
    InjectedFault counter;
    const std::string probe = dir / "probe.dao";
    ASSERT_TRUE(SaveInBatch(probe, "1"));
    steps = counter.Steps();
  }
  ASSERT_EQ(steps, 6);  // five writes and the file's one replace
  for (int failAt = 0; failAt < steps; ++failAt) {
    InjectedFault fault(failAt);
    EXPECT_FALSE(SaveInBatch(file, "2")) << "failure at step " << failAt;
    EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);  // EIO
    EXPECT_EQ(ReadAll(file), old) << "failure at step " << failAt;
    EXPECT_EQ(Get(file, "BOARD", "BoardIdx"), "1");  // no read sees the lost batch
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);  // no temporary left
  // An exception leaving the scope abandons it: nothing is written.
  try {
    plat::ProfileBatch batch(file.c_str());
    WritePrivateProfileString("BOARD", "BoardIdx", "3", file.c_str());
    throw std::runtime_error("interrupted");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(ReadAll(file), old);
  ASSERT_TRUE(SaveInBatch(file, "2"));
  EXPECT_EQ(Get(file, "BOARD", "BoardIdx"), "2");
}

TEST_F(PrivateProfileTest, BatchEndingWithAFailedWriteReturnsFalse) {
  const std::string file = dir / "missing-dir/x.dao";
  plat::ProfileBatch batch(file.c_str());
  EXPECT_TRUE(WritePrivateProfileString("S", "k", "v", file.c_str()));  // kept in memory
  EXPECT_EQ(Get(file, "S", "k"), "v");
  EXPECT_FALSE(batch.Close());
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Get(file, "S", "k"), "<default>");
  // A refused argument is the call's own failure: the rest of the batch is written.
  const std::string good = dir / "good.dao";
  plat::ProfileBatch second(good.c_str());
  EXPECT_FALSE(WritePrivateProfileString("S", "k", "two\nlines", good.c_str()));
  EXPECT_TRUE(WritePrivateProfileString("S", "j", "1", good.c_str()));
  EXPECT_TRUE(second.Close());
  EXPECT_EQ(ReadAll(good), "[S]\r\nj=1\r\n");
}

namespace {

constexpr std::size_t kLineBytes = 1000;

// A settings file of `size` bytes with LF line ends: a section "S" of lines "k<n>=vvv..." of kLineBytes bytes.
std::string LfFileOf(std::size_t size) {
  std::string text = "[S]\n";
  for (int i = 0; text.size() + kLineBytes < size; ++i) {
    const std::string key = "k" + std::to_string(i) + "=";
    text += key + std::string(kLineBytes - 1 - key.size(), 'v') + "\n";
  }
  text += "last=";
  text += std::string(size - text.size() - 1, 'v') + "\n";
  return text;
}

}  // namespace

// No write makes a settings file larger than a read takes: a key added, a key removed (the file's LF line ends then
// written as CR LF), a section written whole and a batch of writes whose text would pass the limit are refused whole
// with "File too large.", and the file keeps every byte and still reads. A write that lands exactly at the limit is
// made; one byte more is refused.
TEST_F(PrivateProfileTest, NoWriteMakesAFileLargerThanAReadTakes) {
  const std::size_t limit = plat::IniStore::kMaxFileBytes;
  const std::string file = dir / "p.dao", near = LfFileOf(limit - 20);
  const struct {
    const char* name;
    std::function<BOOL()> write;
  } cases[] = {
      {"a key added", [&] { return WritePrivateProfileString("S", "new", "1", file.c_str()); }},
      {"a key removed", [&] { return WritePrivateProfileString("S", "k0", nullptr, file.c_str()); }},
      {"a section written whole", [&] { return WritePrivateProfileSection("T", "a=1\r\nb=2", file.c_str()); }},
      {"a batch", [&] {
         plat::ProfileBatch batch(file.c_str());
         EXPECT_TRUE(WritePrivateProfileString("HEADER", "FileVersion", "1.0", file.c_str()));
         EXPECT_TRUE(WritePrivateProfileString("S", "k1", "changed", file.c_str()));
         return batch.Close();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(file, std::ios::binary) << near;
    plat::IniStore::ClearCache();
    EXPECT_FALSE(c.write());
    EXPECT_EQ(GetLastError(), ERROR_FILE_TOO_LARGE);
    EXPECT_EQ(plat::SystemErrorText(GetLastError()), "File too large.");
    EXPECT_TRUE(ReadAll(file) == near);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
    char k1[kLineBytes];
    GetPrivateProfileString("S", "k1", "", k1, sizeof k1, file.c_str());
    EXPECT_EQ(std::string(k1), std::string(kLineBytes - 4, 'v'));
  }

  const std::string crlf = "[S]\r\nfill=" + std::string(limit - 5 - 7 - std::strlen("n=1\r\n"), 'f') + "\r\n";
  std::ofstream(file, std::ios::binary) << crlf;
  plat::IniStore::ClearCache();
  ASSERT_TRUE(WritePrivateProfileString("S", "n", "1", file.c_str())) << GetLastError();
  EXPECT_EQ(std::filesystem::file_size(file), limit);
  EXPECT_EQ(Get(file, "S", "n"), "1");
  EXPECT_FALSE(WritePrivateProfileString("S", "n", "12", file.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_TOO_LARGE);
  EXPECT_EQ(Get(file, "S", "n"), "1");
}
