// File names beyond ASCII: the module names files in code page 1252, the file system in UTF-8.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/CFile.h"
#include "platform/base/CFileException.h"
#include "platform/base/CodePage.h"
#include "platform/base/FileMapping.h"
#include "platform/base/FileSystem.h"
#include "platform/base/PathDialect.h"
#include "platform/base/PrivateProfile.h"
#include "platform/base/SystemError.h"
#include "platform/base/tests/TempDir.h"

namespace {

// The names as the file system holds them (UTF-8) and as the module sees them (1252).
const char* const kUmlautUtf8 = "kondensator_\xC3\xA4.s2p";
const char* const kUmlaut1252 = "kondensator_\xE4.s2p";
const char* const kGraveUtf8 = "biblioth\xC3\xA8que.cir";
const char* const kGrave1252 = "biblioth\xE8que.cir";
const char* const kOmegaUtf8 = "\xCE\xA9.txt";  // the code page has no omega

void Write(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> List(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATA data{};
  HANDLE find = FindFirstFile(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0) names.push_back(data.cFileName);
  } while (FindNextFile(find, &data));
  FindClose(find);
  return names;
}

std::string ReadWithCFile(const std::string& path) {
  CFile file(path.c_str(), CFile::modeRead);
  char buffer[64] = {};
  const UINT n = file.Read(buffer, sizeof buffer);
  return std::string(buffer, n);
}

}  // namespace

TEST(CodePageText, Utf8AndCodePageConvertBothWaysAndMarkWhatTheCodePageLacks) {
  // Every byte of the code page survives the trip through UTF-8, either way of decoding.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(plat::Cp1252FromUtf8(plat::Utf8From1252(all)), all);
  EXPECT_EQ(plat::Cp1252FromUtf8Strict(plat::Utf8From1252(all)), all);
  EXPECT_EQ(plat::Utf8From1252("\x80\xE4"), "\xE2\x82\xAC\xC3\xA4");  // euro sign, a umlaut

  // Lenient: a character the code page lacks is one '?', each byte of a malformed sequence another.
  EXPECT_EQ(plat::Cp1252FromUtf8("a\xCE\xA9z"), "a?z");
  EXPECT_EQ(plat::Cp1252FromUtf8("\xF0\x9F\x98\x80"), "?");       // beyond the basic plane
  EXPECT_EQ(plat::Cp1252FromUtf8("\xC0\xAF" "x"), "??x");         // overlong '/' never becomes a separator
  EXPECT_EQ(plat::Cp1252FromUtf8("\xED\xA0\x80"), "???");         // a lone surrogate
  EXPECT_EQ(plat::Cp1252FromUtf8("ab\xC3"), "ab?");               // cut at the end
  EXPECT_EQ(plat::Cp1252FromUtf8("\xE4rger"), "?rger");           // 1252 bytes are not UTF-8
  EXPECT_EQ(plat::Cp1252FromUtf8("\xC2\x80"), "?");               // U+0080 is not the euro byte

  // Strict: the same texts are refused as a whole; a real '?' is kept.
  EXPECT_EQ(plat::Cp1252FromUtf8Strict("what?"), "what?");
  for (const char* bad : {"a\xCE\xA9z", "\xF0\x9F\x98\x80", "\xC0\xAF", "\xED\xA0\x80", "ab\xC3", "\xE4rger", "\xC2\x80"})
    EXPECT_FALSE(plat::Cp1252FromUtf8Strict(bad).has_value()) << bad;
}

TEST(FileNames, PathsGoInAsUtf8AndNamesComeBackIn1252) {
  TempDir dir;
  Write(dir.Path() / kUmlautUtf8, "touchstone");
  Write(dir.Path() / kGraveUtf8, "spice");
  Write(dir.Path() / kOmegaUtf8, "omega");
  const std::string folder = dir.Path().string() + "\\";

  EXPECT_EQ(List(folder + "*.*"), (std::vector<std::string>{"?.txt", kGrave1252, kUmlaut1252}));
  EXPECT_EQ(List(folder + "*\xE4*"), (std::vector<std::string>{kUmlaut1252}));   // the mask is 1252 too
  EXPECT_EQ(List(folder + "*\xC4*"), (std::vector<std::string>{kUmlaut1252}));   // and ignores case in 1252
  EXPECT_EQ(List(folder + "biblioth\xE8que.*"), (std::vector<std::string>{kGrave1252}));

  // The listed names open the files they name.
  EXPECT_EQ(ReadWithCFile(folder + kUmlaut1252), "touchstone");
  EXPECT_EQ(ReadWithCFile(folder + kGrave1252), "spice");

  HANDLE file = CreateFile((folder + kGrave1252).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  HANDLE map = CreateFileMapping(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(map, nullptr);
  const auto* view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(view, 5), "spice");
  UnmapViewOfFile(view);
  CloseHandle(map);
  CloseHandle(file);

  // A file made under a 1252 name carries its UTF-8 name on disk, and nothing else appears.
  {
    CFile made((folder + "neu_\xFC.cir").c_str(), CFile::modeCreate | CFile::modeWrite);
    made.Write("x", 1);
  }
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "neu_\xC3\xBC.cir"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "neu_\xFC.cir"));
}

TEST(FileNames, ANameTheCodePageLacksListsWithAQuestionMarkAndOpensNothing) {
  TempDir dir;
  Write(dir.Path() / kOmegaUtf8, "omega");
  const std::string listed = dir.Path().string() + "/?.txt";
  ASSERT_EQ(List(dir.Path().string() + "/*.txt"), (std::vector<std::string>{"?.txt"}));

  CFileException error;
  CFile file;
  EXPECT_FALSE(file.Open(listed.c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(GetFileAttributes(listed.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(CreateFile(listed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
}

TEST(FileNames, ProfileFilesAndTheCurrentDirectoryUseTheSameNames) {
  TempDir dir;
  const std::filesystem::path office = dir.Path() / "B\xC3\xBCro";   // "Büro"
  std::filesystem::create_directory(office);
  Write(office / "einstellungen_\xC3\xA4.dao", "[Model]\nFile=kondensator\n");
  const std::string folder1252 = dir.Path().string() + "\\B\xFCro";
  const std::string ini = folder1252 + "\\einstellungen_\xE4.dao";

  char value[64] = {};
  EXPECT_EQ(GetPrivateProfileString("Model", "File", "", value, sizeof value, ini.c_str()), 11u);
  EXPECT_STREQ(value, "kondensator");
  ASSERT_TRUE(WritePrivateProfileString("Model", "Name", "biblioth\xE8que", ini.c_str()));
  std::ifstream in(office / "einstellungen_\xC3\xA4.dao", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("Name=biblioth\xE8que"), std::string::npos);  // the contents stay 1252
  EXPECT_EQ(List(folder1252 + "\\*.dao"), (std::vector<std::string>{"einstellungen_\xE4.dao"}));

  // The working directory comes back in 1252 and goes in again unchanged.
  const std::filesystem::path before = std::filesystem::current_path();
  ASSERT_TRUE(SetCurrentDirectory(folder1252.c_str()));
  char cwd[1024] = {};
  const DWORD n = GetCurrentDirectory(sizeof cwd, cwd);
  std::filesystem::current_path(before);
  EXPECT_EQ(std::string(cwd, n), folder1252.substr(0, folder1252.rfind('\\')) + "/B\xFCro");

  plat::SetTempDirectory(office.string());
  char temp[1024] = {};
  const DWORD t = GetTempPath(sizeof temp, temp);
  plat::SetTempDirectory(std::nullopt);
  EXPECT_EQ(std::string(temp, t), dir.Path().string() + "/B\xFCro/");
}
