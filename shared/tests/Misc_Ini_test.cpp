#include "shared/Misc_Ini.h"

#include "platform/base/PrivateProfile.h"
#include "platform/base/tests/TempDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class Misc_Ini : public testing::Test {
protected:
  void SetUp() override {
    dir = MakeTempFolder("brim_misc_ini");
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& text) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  fs::path dir;
};

// A section whose text (its entries with their NULs) is `length` bytes: a comment line and one long entry.
std::string SectionOfLength(size_t length, std::string& entries) {
  const std::string comment = ";c";
  const std::string value(length - comment.size() - 1 - 3, 'v');
  entries = comment + '\0' + "k=" + value + '\0';
  return "[S]\r\n" + comment + "\r\nk = " + value + "\r\n";
}

// Every size around the buffer sizes the read passes through reads whole, the same text the profile layer gives a
// buffer large enough, with two NULs after it: in particular a section that fills a buffer to its size - 2 exactly,
// which the profile layer answers as it answers a cut one.
TEST_F(Misc_Ini, SectionsAroundEachBufferSizeReadWhole) {
  for (const size_t length : {6u, 1021u, 1022u, 1023u, 1024u, 1025u, 2045u, 2046u, 2047u, 3070u, 4094u, 4095u,
                              8190u, 70000u}) {
    std::string entries;
    const std::string file =
        Write("s.dao", "[BEFORE]\r\na=1\r\n" + SectionOfLength(length, entries) + "[AFTER]\r\nb=2\r\n");
    ASSERT_EQ(entries.size(), length);
    std::string whole(length + 16, 'x');
    ASSERT_EQ(GetPrivateProfileSection("S", whole.data(), static_cast<DWORD>(whole.size()), file.c_str()), length);
    ASSERT_EQ(whole.substr(0, length), entries);
    EXPECT_EQ(ReadIniSection("S", file.c_str()), entries + std::string(2, '\0')) << length;
    EXPECT_EQ(ReadIniSection("s", file.c_str()), entries + std::string(2, '\0')) << "any letter case";
  }
}

TEST_F(Misc_Ini, EmptyAndMissingSectionsAndFilesReadAsTwoNuls) {
  const std::string file = Write("e.dao", "[EMPTY]\r\n[FULL]\r\nk=v\r\n[BLANK]\r\n\r\n\r\n");
  const std::string none(2, '\0');
  EXPECT_EQ(ReadIniSection("EMPTY", file.c_str()), none);
  EXPECT_EQ(ReadIniSection("BLANK", file.c_str()), none);
  EXPECT_EQ(ReadIniSection("MISSING", file.c_str()), none);
  EXPECT_EQ(ReadIniSection("FULL", (dir / "missing.dao").string().c_str()), none);
  EXPECT_EQ(ReadIniSection("FULL", file.c_str()), std::string("k=v\0\0\0", 6));
}

}  // namespace
