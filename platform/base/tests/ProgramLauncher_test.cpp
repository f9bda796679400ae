#include "platform/base/ProgramLauncher.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <csignal>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "platform/base/SystemError.h"
#include "platform/base/tests/TempDir.h"

namespace {

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ProgramLauncher::ClearMappings();
    plat::ProgramLauncher::ClearLaunches();
    plat::ProgramLauncher::SetScript(std::nullopt);
  }
  void TearDown() override { SetUp(); }

  static BOOL Start(std::string commandLine, const char* dir, PROCESS_INFORMATION& pi) {
    STARTUPINFO si{};
    si.cb = sizeof si;
    return CreateProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, dir, &si, &pi);
  }
};

}  // namespace

TEST_F(LauncherTest, RunsTheMappedCommandWithTheFileAsOneArgument) {
  TempDir dir;
  const std::string out = dir / "args.txt";
  // The "viewer" writes its argument count and last argument into a file in its working directory.
  plat::ProgramLauncher::SetMapping("Viewer.EXE", "/bin/sh -c 'echo $# \"$1\" > args.txt' viewer");
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(Start("\"C:\\Program Files\\Tools\\viewer.exe\" \"my board.s2p\"", dir.Path().string().c_str(), pi));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 7;
  EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::ifstream in(out);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "1 my board.s2p");
  const auto launches = plat::ProgramLauncher::Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].workingDirectory, dir.Path().string());
}

TEST_F(LauncherTest, TheProgramGetsItsFileAndFolderByTheirUtf8Names) {
  TempDir dir;
  const std::filesystem::path office = dir.Path() / "B\xC3\xBCro";
  std::filesystem::create_directory(office);
  plat::ProgramLauncher::SetMapping("viewer.exe", "/bin/sh -c 'echo \"$1\" > args.txt' viewer");
  PROCESS_INFORMATION pi{};
  // The module's command line and folder are code page 1252.
  const std::string folder1252 = dir.Path().string() + "\\B\xFCro";
  ASSERT_TRUE(Start("viewer.exe \"kondensator_\xE4.s2p\"", folder1252.c_str(), pi));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::ifstream in(office / "args.txt");
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "kondensator_\xC3\xA4.s2p");
}

TEST_F(LauncherTest, UnknownAbsentAndScripted) {
  PROCESS_INFORMATION pi{};
  EXPECT_FALSE(Start("\"x:\\tools\\unknown.exe\"", nullptr, pi));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  plat::ProgramLauncher::SetMapping("editor.exe", std::nullopt);
  EXPECT_FALSE(Start("editor.exe file", nullptr, pi));
  plat::ProgramLauncher::SetMapping("editor.exe", "/no/such/editor");
  plat::ProgramLauncher::SetScript(plat::ProgramLauncher::Script{3, std::nullopt});
  ASSERT_TRUE(Start("editor.exe \"a b\"", nullptr, pi));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 3u);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  const auto launches = plat::ProgramLauncher::Launches();
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[2].argv, (std::vector<std::string>{"/no/such/editor", "a b"}));
  plat::ProgramLauncher::SetScript(plat::ProgramLauncher::Script{0, ERROR_ACCESS_DENIED});
  EXPECT_FALSE(Start("editor.exe", nullptr, pi));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(LauncherTest, MapFileAndWaitingWithATimeout) {
  TempDir dir;
  std::ofstream(dir / "programs.map") << "# tools\r\nsleeper.exe = /bin/sleep\r\ngone.exe=absent\r\n";
  ASSERT_TRUE(plat::ProgramLauncher::LoadMapFile(dir / "programs.map"));
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(Start("sleeper.exe 0.3", nullptr, pi));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10), WAIT_TIMEOUT);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 5000), WAIT_OBJECT_0);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  EXPECT_FALSE(Start("gone.exe", nullptr, pi));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_FAILED);  // closed handle
  char path[4096];
  EXPECT_GT(GetModuleFileName(nullptr, path, sizeof path), 0u);
  EXPECT_NE(std::string(path).find("platform_base_tests"), std::string::npos);
}

// A map file that is no regular file is refused at once: a folder read as an empty map, a FIFO was waited on.
TEST_F(LauncherTest, MapFilesThatAreNoRegularFileAreRefused) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.map");
  ASSERT_EQ(::mkfifo((dir / "fifo.map").c_str(), 0600), 0);
  for (const std::string& path : {dir / "folder.map", dir / "fifo.map", std::string("/dev/zero")})
    EXPECT_FALSE(plat::ProgramLauncher::LoadMapFile(path)) << path;
}

TEST_F(LauncherTest, MapFileLinesHoldingAZeroByteMapNothing) {
  TempDir dir;
  const std::string map("viewer.exe=/usr/bin/view\0er --x\r\nother.exe=/bin/true\r\n", 54);
  std::ofstream(dir / "programs.map", std::ios::binary) << map;
  ASSERT_TRUE(plat::ProgramLauncher::LoadMapFile(dir / "programs.map"));
  plat::ProgramLauncher::SetScript(plat::ProgramLauncher::Script{0, std::nullopt});
  PROCESS_INFORMATION pi{};
  EXPECT_FALSE(Start("viewer.exe file", nullptr, pi));  // never "/usr/bin/view" cut at the zero byte
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(Start("other.exe", nullptr, pi));
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  ASSERT_EQ(plat::ProgramLauncher::Launches().size(), 2u);
  EXPECT_EQ(plat::ProgramLauncher::Launches()[1].argv, (std::vector<std::string>{"/bin/true"}));
}

// The shell commands start as the launcher's programs do: the file-size signal, ignored in this process, back at
// its default. The stream answers the command's output and its close the command's exit.
TEST_F(LauncherTest, ShellCommandsGetTheDefaultSignalsAndAnswerTheirStatus) {
  struct sigaction now {};
  ASSERT_EQ(::sigaction(SIGXFSZ, nullptr, &now), 0);
  ASSERT_EQ(now.sa_handler, SIG_IGN);
  // Signals this process ignores, for whatever reason, are not the started program's either.
  const auto oldPipe = std::signal(SIGPIPE, SIG_IGN);
  const auto oldUsr1 = std::signal(SIGUSR1, SIG_IGN);
  FILE* stream = plat::OpenCommand("sed -n 's/^SigIgn:[[:space:]]*//p' /proc/$$/status; exit 3");
  std::signal(SIGPIPE, oldPipe);
  std::signal(SIGUSR1, oldUsr1);
  ASSERT_NE(stream, nullptr);
  char mask[64] = {};
  ASSERT_NE(std::fgets(mask, sizeof mask, stream), nullptr);
  const int status = plat::CloseCommand(stream);
  const unsigned long long ignored = std::stoull(mask, nullptr, 16);
  for (const int signal : {SIGXFSZ, SIGPIPE, SIGUSR1})
    EXPECT_EQ(ignored & (1ull << (signal - 1)), 0u) << signal << ": " << mask;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
  EXPECT_EQ(plat::CloseCommand(stdin), -1);   // no stream of OpenCommand's
  const int run = plat::RunCommand("exit 5");
  EXPECT_TRUE(WIFEXITED(run) && WEXITSTATUS(run) == 5) << run;
}

// A program started from a thread that blocks the signals that end programs starts with none blocked and every
// signal at its default: a SIGTERM ends it (it stayed pending, and the program ran on).
TEST_F(LauncherTest, AProgramStartedFromAThreadBlockingSignalsBlocksNone) {
  plat::ProgramLauncher::SetMapping("sleeper.exe", "/bin/sleep");
  PROCESS_INFORMATION pi{};
  BOOL started = FALSE;
  std::thread([&] {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR2, SIGALRM}) sigaddset(&blocked, signal);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    started = Start("sleeper.exe 30", nullptr, pi);
  }).join();
  ASSERT_TRUE(started);
  const pid_t pid = static_cast<pid_t>(pi.dwProcessId);
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::map<std::string, std::string> signals;  // "SigBlk" -> "0000000000000000", the mask in hexadecimal
  for (std::string line; std::getline(status, line);)
    if (line.rfind("Sig", 0) == 0) signals[line.substr(0, 6)] = line.substr(7);
  EXPECT_EQ(std::stoull(signals["SigBlk"], nullptr, 16), 0u) << signals["SigBlk"];
  // The C library's spawn leaves its own two real-time signals (32 and 33) ignored: the standard ones are at default.
  EXPECT_EQ(std::stoull(signals["SigIgn"], nullptr, 16) & 0x7FFFFFFFu, 0u) << signals["SigIgn"];
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  const DWORD waited = WaitForSingleObject(pi.hProcess, 5000);
  EXPECT_EQ(waited, WAIT_OBJECT_0);
  if (waited != WAIT_OBJECT_0) ::kill(pid, SIGKILL);
  DWORD code = 0;
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, 0xC000013Au);  // ended by a signal
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}
