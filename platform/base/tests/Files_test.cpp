#include <gtest/gtest.h>

#include "platform/base/tests/ExpectThrow.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "platform/base/CFile.h"
#include "platform/base/CMemFile.h"
#include "platform/base/CSharedFile.h"
#include "platform/base/CStdioFile.h"
#include "platform/base/FileMapping.h"
#include "platform/base/FileSystem.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"
#include "safepath/tests/InheritedDescriptors.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int OpenCause(const std::string& path, UINT flags) {
  CFile f;
  CFileException e;
  if (f.Open(path.c_str(), flags, &e)) return -1;
  return e.m_cause;
}

}  // namespace

TEST(CFile, ReadWriteSeekAndLength) {
  TempDir dir;
  const std::string path = dir / "data.bin";
  {
    CFile f(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    f.Write("hello world", 11);
    EXPECT_EQ(f.GetLength(), 11u);
    EXPECT_EQ(f.Seek(-5, CFile::end), 6u);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 5u);  // short read at the end
    EXPECT_STREQ(buf, "world");
    f.SetLength(5);
    EXPECT_EQ(f.GetLength(), 5u);
    EXPECT_EQ(f.GetFileName(), "data.bin");
    EXPECT_EQ(f.GetFileTitle(), "data");
  }
  EXPECT_EQ(ReadAll(path), "hello");
  // modeNoTruncate keeps the content; modeCreate alone empties the file.
  { CFile f(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite); }
  EXPECT_EQ(ReadAll(path), "hello");
  { CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite); }
  EXPECT_EQ(ReadAll(path), "");
}

TEST(CFile, OpenFailuresAndBackslashPaths) {
  TempDir dir;
  EXPECT_EQ(OpenCause(dir / "missing.bin", CFile::modeRead), CFileException::fileNotFound);
  EXPECT_EQ(OpenCause(dir.Path().string(), CFile::modeRead), CFileException::accessDenied);  // a directory
  EXPECT_EQ(OpenCause("", CFile::modeRead), CFileException::badPath);
  try {
    CFile f((dir / "missing.bin").c_str(), CFile::modeRead);
    ADD_FAILURE();
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
    EXPECT_NE(e->m_strFileName.Find("missing.bin"), -1);
    e->Delete();
  }
  // The module builds paths with backslashes (and sometimes a drive).
  std::string backslashed = dir / "sub";
  std::filesystem::create_directory(backslashed);
  backslashed += "\\file.txt";
  for (char& c : backslashed)
    if (c == '/') c = '\\';
  { CFile f(("c:" + backslashed).c_str(), CFile::modeCreate | CFile::modeWrite); f.Write("x", 1); }
  EXPECT_EQ(ReadAll(dir / "sub/file.txt"), "x");
}

// Only regular files open, at once: a FIFO without its other end made the open wait for good.
TEST(CFile, DevicesAndFifosAreRefusedAtOnce) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo.bin").c_str(), 0600), 0);
  for (const std::string& path : {std::string("/dev/zero"), dir / "fifo.bin"})
    for (UINT mode : {UINT(CFile::modeRead), UINT(CFile::modeCreate | CFile::modeWrite)})
      EXPECT_NE(OpenCause(path, mode), -1) << path << " " << mode;
}

TEST(CFile, ExclusiveShareRefusesASecondOpenWithoutTruncating) {
  TempDir dir;
  const std::string path = dir / "locked.dao";
  CFile holder(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
  holder.Write("keep", 4);
  EXPECT_EQ(OpenCause(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive), CFileException::sharingViolation);
  EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyWrite), CFileException::sharingViolation);
  EXPECT_EQ(ReadAll(path), "keep");
  EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareDenyNone), -1);  // no lock asked, none checked
  holder.Close();
  EXPECT_EQ(OpenCause(path, CFile::modeRead | CFile::shareExclusive), -1);
}

TEST(CFile, RenameNeverReplaces) {
  TempDir dir;
  { CFile a((dir / "a").c_str(), CFile::modeCreate | CFile::modeWrite); }
  { CFile b((dir / "b").c_str(), CFile::modeCreate | CFile::modeWrite); }
  EXPECT_CLASSIC_THROW(CFile::Rename((dir / "a").c_str(), (dir / "b").c_str()), CFileException);
  CFile::Rename((dir / "a").c_str(), (dir / "c").c_str());
  CFile::Remove((dir / "c").c_str());
  EXPECT_CLASSIC_THROW(CFile::Remove((dir / "c").c_str()), CFileException);
}

TEST(CMemFile, GrowsInStepsAndReadsBack) {
  CMemFile f(16);
  f.Write("abc", 3);
  f.Seek(10, CFile::begin);
  f.Write("z", 1);  // the gap reads back as zeros
  EXPECT_EQ(f.GetLength(), 11u);
  f.SeekToBegin();
  char buf[12] = {};
  EXPECT_EQ(f.Read(buf, 12), 11u);
  EXPECT_EQ(std::memcmp(buf, "abc\0\0\0\0\0\0\0z", 11), 0);
  EXPECT_CLASSIC_THROW(f.Seek(-1, CFile::begin), CFileException);
  BYTE* raw = f.Detach();
  EXPECT_EQ(f.GetLength(), 0u);
  std::free(raw);
}

TEST(CMemFile, AttachedBytesAreUsedWithoutCopyAndNeverReallocated) {
  BYTE bytes[4] = {1, 2, 3, 4};
  CMemFile fixed(bytes, sizeof bytes);
  EXPECT_EQ(fixed.GetLength(), 4u);
  EXPECT_EQ(fixed.Data(), bytes);
  fixed.Seek(4, CFile::begin);
  EXPECT_CLASSIC_THROW(fixed.Write("x", 1), CMemoryException);  // growth step 0: no growing

  CMemFile growing;
  growing.Attach(bytes, sizeof bytes, 1024);
  EXPECT_EQ(growing.GetLength(), 0u);  // a growing attached buffer starts empty
  growing.Write("ab", 2);  // fits: written in place
  EXPECT_EQ(growing.Data(), bytes);
  EXPECT_EQ(bytes[1], 'b');
  growing.Write("cdef", 4);  // past the attached size: moves to owned memory, the caller's bytes stay
  EXPECT_NE(growing.Data(), bytes);
  EXPECT_EQ(bytes[2], 3);
  EXPECT_EQ(std::memcmp(growing.Data(), "abcdef", 6), 0);
}

TEST(CSharedFile, DetachGivesAGlobalBlockAndSetHandleReadsOne) {
  const std::size_t before = plat::GlobalBlockCount();
  HGLOBAL h;
  {
    CSharedFile f;
    f.Write("clipboard", 9);
    h = f.Detach();
  }
  ASSERT_NE(h, nullptr);
  EXPECT_GE(GlobalSize(h), 9u);
  EXPECT_EQ(std::memcmp(GlobalLock(h), "clipboard", 9), 0);
  GlobalUnlock(h);
  EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);
  {
    CSharedFile reader;
    reader.SetHandle(h, FALSE);
    char buf[9];
    EXPECT_EQ(reader.Read(buf, 9), 9u);
    EXPECT_EQ(std::memcmp(buf, "clipboard", 9), 0);
    reader.SeekToEnd();
    EXPECT_CLASSIC_THROW(reader.Write("!", 1), CMemoryException);
  }
  EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);  // unlocked, not freed
  GlobalFree(h);
  EXPECT_EQ(plat::GlobalBlockCount(), before);
}

TEST(CStdioFile, TextLines) {
  TempDir dir;
  const std::string path = dir / "lines.txt";
  {
    CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    f.WriteString("one\ntwo\r\n");
    f.WriteString("three");
  }
  EXPECT_EQ(ReadAll(path), "one\r\ntwo\r\nthree");
  CStdioFile f(path.c_str(), CFile::modeRead | CFile::typeText);
  CString line;
  EXPECT_TRUE(f.ReadString(line));
  EXPECT_EQ(line, "one");
  char buf[8];
  EXPECT_STREQ(f.ReadString(buf, sizeof buf), "two\n");
  EXPECT_TRUE(f.ReadString(line));
  EXPECT_EQ(line, "three");
  EXPECT_FALSE(f.ReadString(line));
  EXPECT_EQ(f.ReadString(buf, sizeof buf), nullptr);
}

// Every way the module opens a file, a folder's listing or a command's output gives a descriptor that a program
// started meanwhile (by any thread) does not inherit: none stays open in it on the user's file.
TEST(Files, EveryDescriptorTheModuleOpensIsClosedOnExec) {
  TempDir dir;
  const std::string path = dir / "s.dao";
  std::ofstream(path) << "[S]\r\nk=v\r\n";
  using Close = std::function<void()>;
  const struct {
    const char* name;
    std::function<Close()> open;
  } cases[] = {
      {"CFile", [&]() -> Close {
         auto f = std::make_shared<CFile>(path.c_str(), CFile::modeReadWrite);
         return [f] { f->Close(); };
       }},
      {"CStdioFile", [&]() -> Close {
         auto f = std::make_shared<CStdioFile>(path.c_str(), CFile::modeRead | CFile::typeText);
         return [f] { f->Close(); };
       }},
      {"fopen_s", [&]() -> Close {
         FILE* f = nullptr;
         return fopen_s(&f, path.c_str(), "rt") == 0 ? Close([f] { std::fclose(f); }) : Close();
       }},
      {"_fsopen", [&]() -> Close {
         FILE* f = _fsopen(path.c_str(), "r+b", _SH_DENYWR);
         return f ? Close([f] { std::fclose(f); }) : Close();
       }},
      {"CreateFile", [&]() -> Close {
         const HANDLE h = CreateFile(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
         return h != INVALID_HANDLE_VALUE ? Close([h] { CloseHandle(h); }) : Close();
       }},
      {"FindFirstFile", [&]() -> Close {
         WIN32_FIND_DATA data{};
         const HANDLE h = FindFirstFile((dir / "*.dao").c_str(), &data);
         return h != INVALID_HANDLE_VALUE ? Close([h] { FindClose(h); }) : Close();
       }},
      {"OpenCommand", [&]() -> Close {
         FILE* f = plat::OpenCommand("echo x");
         return f ? Close([f] { plat::CloseCommand(f); }) : Close();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto before = inherited::Descriptors();
    const Close close = c.open();
    ASSERT_TRUE(close);
    EXPECT_EQ(inherited::Describe(inherited::MadeSince(before)), "");
    close();
  }
}
