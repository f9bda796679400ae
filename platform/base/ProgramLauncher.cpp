#include "platform/base/ProgramLauncher.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/base/CodePage.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"

extern char** environ;

namespace plat {
namespace {

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareNoCase1252(a, b) < 0; }
};

struct State {
  std::mutex mutex;
  std::map<std::string, std::optional<std::string>, NoCaseLess> mappings;
  bool mapFileTried = false;
  std::optional<ProgramLauncher::Script> script;
  std::vector<ProgramLauncher::Launch> launches;
  DWORD nextScriptedPid = 10000;
};

State& TheState() {
  static State s;
  return s;
}

class ProcessObject final : public KernelObject {
 public:
  explicit ProcessObject(pid_t pid) : pid(pid) {}
  ProcessObject(DWORD scriptedExit, bool) : pid(-1), done(true), exitCode(scriptedExit) {}
  ~ProcessObject() override {
    // A process still running when its last handle closes is left to run; its exit is reaped by the
    // system once this process ends (no zombie while we wait on nothing).
    if (pid > 0 && !done) {
      std::thread([p = pid] { ::waitpid(p, nullptr, 0); }).detach();
    }
  }
  // Whether it ended (collecting the exit code once); blocking when asked.
  bool Poll(bool block) {
    std::lock_guard lock(mutex);
    if (done) return true;
    int status = 0;
    const pid_t r = ::waitpid(pid, &status, block ? 0 : WNOHANG);
    if (r == pid) {
      done = true;
      exitCode = WIFEXITED(status) ? static_cast<DWORD>(WEXITSTATUS(status)) : 0xC000013Au;  // killed: "terminated"
    } else if (r < 0 && errno != EINTR) {
      done = true;
      exitCode = 0xFFFFFFFFu;
    }
    return done;
  }
  std::mutex mutex;
  const pid_t pid;
  bool done = false;
  DWORD exitCode = STILL_ACTIVE;
};

class ThreadObject final : public KernelObject {};

std::string ExecutablePath() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<std::size_t>(n));
}

bool ParseMap(std::istream& in, State& s) {
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A zero byte has no place in a text line; a command cut at it would start another program.
    if (line.find('\0') != std::string::npos) continue;
    const std::size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    auto trim = [](std::string t) {
      while (!t.empty() && IsBlank(t.front())) t.erase(t.begin());
      while (!t.empty() && IsBlank(t.back())) t.pop_back();
      return t;
    };
    const std::string name = trim(line.substr(0, eq)), command = trim(line.substr(eq + 1));
    if (name.empty()) continue;
    if (command.empty() || command == "absent") {
      s.mappings[name] = std::nullopt;
    } else {
      s.mappings[name] = command;
    }
  }
  return true;
}

// Reads a map file whole, when it is a regular file of at most 1 MiB: a FIFO, folder or device named like it is
// refused at once rather than waited on or read without end.
bool ReadMapFile(const std::string& path, State& s) {
  std::string text;
  if (!ReadRegularFile(path, 1u << 20, text)) return false;
  std::istringstream in(text);
  return ParseMap(in, s);
}

// The program path and its arguments from a classic command line ("\"C:\\x\\a.exe\" args").
void SplitCommandLine(std::string_view line, std::string& program, std::string& args) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  std::size_t end;
  if (!line.empty() && line.front() == '"') {
    end = line.find('"', 1);
    program = std::string(line.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1));
    end = end == std::string_view::npos ? line.size() : end + 1;
  } else {
    end = line.find_first_of(" \t");
    if (end == std::string_view::npos) end = line.size();
    program = std::string(line.substr(0, end));
  }
  line.remove_prefix(end);
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  args = std::string(line);
}

}  // namespace

int SpawnProgram(const std::vector<std::string>& arguments, pid_t& pid, const std::string& workingDirectory,
                 int stdoutFd) {
  if (arguments.empty()) return EINVAL;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  // A descriptor that already is the standard output keeps it too: the dup2 onto itself clears its close-on-exec.
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // Every signal at its default and none blocked in the program: the platform ignores SIGXFSZ for its own writes,
  // and what this process inherited ignored (SIGPIPE, SIGCHLD from a shell) or the starting thread blocks is not the
  // started program's concern either; a blocked SIGTERM would leave it deaf to every request to end.
  sigset_t defaults, unblocked;
  sigfillset(&defaults);
  sigemptyset(&unblocked);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &unblocked);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  const int rc = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return rc;
}

namespace {

int WaitStatus(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

// The shells OpenCommand started, by their stream.
struct Commands {
  std::mutex mutex;
  std::map<FILE*, pid_t> running;
};

Commands& TheCommands() {
  static Commands c;
  return c;
}

}  // namespace

int RunCommand(const std::string& command) {
  pid_t pid = 0;
  if (SpawnProgram({"/bin/sh", "-c", command}, pid) != 0) return -1;
  return WaitStatus(pid);
}

FILE* OpenCommand(const std::string& command) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return nullptr;
  pid_t pid = 0;
  const int rc = SpawnProgram({"/bin/sh", "-c", command}, pid, {}, ends[1]);
  ::close(ends[1]);
  if (rc != 0) {
    ::close(ends[0]);
    errno = rc;
    return nullptr;
  }
  FILE* stream = ::fdopen(ends[0], "r");
  if (!stream) {
    ::close(ends[0]);
    WaitStatus(pid);
    return nullptr;
  }
  auto& commands = TheCommands();
  std::lock_guard lock(commands.mutex);
  commands.running[stream] = pid;
  return stream;
}

int CloseCommand(FILE* stream) {
  pid_t pid = 0;
  {
    auto& commands = TheCommands();
    std::lock_guard lock(commands.mutex);
    const auto it = commands.running.find(stream);
    if (it == commands.running.end()) return -1;
    pid = it->second;
    commands.running.erase(it);
  }
  std::fclose(stream);
  return WaitStatus(pid);
}

void ProgramLauncher::SetMapping(const std::string& classicName, std::optional<std::string> command) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.mapFileTried = true;  // an explicit mapping wins over the default file
  s.mappings[classicName] = std::move(command);
}

bool ProgramLauncher::LoadMapFile(const std::string& path) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.mapFileTried = true;
  return ReadMapFile(NativePath(path), s);
}

void ProgramLauncher::ClearMappings() {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.mappings.clear();
  s.mapFileTried = true;
}

void ProgramLauncher::SetScript(std::optional<Script> script) {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.script = script;
}

std::vector<ProgramLauncher::Launch> ProgramLauncher::Launches() {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  return s.launches;
}

void ProgramLauncher::ClearLaunches() {
  auto& s = TheState();
  std::lock_guard lock(s.mutex);
  s.launches.clear();
}

}  // namespace plat

BOOL CreateProcess(LPCSTR application, LPSTR commandLine, void*, void*, BOOL, DWORD, void*, LPCSTR currentDirectory,
                   LPSTARTUPINFO, LPPROCESS_INFORMATION info) {
  if (!info || (!application && !commandLine)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string program, args;
  plat::SplitCommandLine(commandLine ? commandLine : "", program, args);
  if (application) program = application;
  std::string leaf = plat::NativePath(program);
  if (const std::size_t slash = leaf.rfind('/'); slash != std::string::npos) leaf.erase(0, slash + 1);

  auto& s = plat::TheState();
  std::unique_lock lock(s.mutex);
  if (!s.mapFileTried) {
    s.mapFileTried = true;
    const std::string exe = plat::ExecutablePath();
    plat::ReadMapFile(exe.substr(0, exe.rfind('/') + 1) + "programs.map", s);
  }
  plat::ProgramLauncher::Launch launch;
  launch.commandLine = commandLine ? commandLine : program;
  launch.workingDirectory = currentDirectory ? plat::NativePath(currentDirectory) : "";
  const auto it = s.mappings.find(leaf);
  if (it != s.mappings.end() && it->second) {
    // Words split at blanks; single or double quotes keep blanks inside a word.
    const std::string& cmd = *it->second;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (char c : cmd) {
      if (quote) {
        if (c == quote) {
          quote = 0;
        } else {
          word += c;
        }
      } else if (c == '\'' || c == '"') {
        quote = c;
        inWord = true;
      } else if (plat::IsBlank(c)) {
        if (inWord) launch.argv.push_back(word);
        word.clear();
        inWord = false;
      } else {
        word += c;
        inWord = true;
      }
    }
    if (inWord) launch.argv.push_back(word);
    if (!args.empty()) {
      // One argument; surrounding quotes of a single quoted file name are the classic quoting.
      if (args.size() >= 2 && args.front() == '"' && args.back() == '"' && args.find('"', 1) == args.size() - 1)
        args = args.substr(1, args.size() - 2);
      launch.argv.push_back(plat::NativePath(args));
    }
  }
  s.launches.push_back(launch);
  if (launch.argv.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  if (s.script) {
    if (s.script->error) {
      SetLastError(*s.script->error);
      return FALSE;
    }
    info->hProcess = plat::KernelHandles::Add(std::make_shared<plat::ProcessObject>(s.script->exitCode, true));
    info->hThread = plat::KernelHandles::Add(std::make_shared<plat::ThreadObject>());
    info->dwProcessId = s.nextScriptedPid++;
    info->dwThreadId = info->dwProcessId + 1;
    return TRUE;
  }
  lock.unlock();
  if (!launch.workingDirectory.empty()) {
    struct stat st {};
    if (::stat(launch.workingDirectory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
  }
  pid_t pid = 0;
  const int rc = plat::SpawnProgram(launch.argv, pid, launch.workingDirectory);
  if (rc != 0) {
    plat::SetLastErrorFromErrno(rc);
    return FALSE;
  }
  info->hProcess = plat::KernelHandles::Add(std::make_shared<plat::ProcessObject>(pid));
  info->hThread = plat::KernelHandles::Add(std::make_shared<plat::ThreadObject>());
  info->dwProcessId = static_cast<DWORD>(pid);
  info->dwThreadId = static_cast<DWORD>(pid);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  const auto process = plat::KernelHandles::Get<plat::ProcessObject>(handle);
  if (!process) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  if (milliseconds == INFINITE) return process->Poll(true) ? WAIT_OBJECT_0 : WAIT_FAILED;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (process->Poll(false)) return WAIT_OBJECT_0;
    if (std::chrono::steady_clock::now() >= deadline) return WAIT_TIMEOUT;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

BOOL GetExitCodeProcess(HANDLE handle, LPDWORD exitCode) {
  const auto process = plat::KernelHandles::Get<plat::ProcessObject>(handle);
  if (!process || !exitCode) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  process->Poll(false);
  std::lock_guard lock(process->mutex);
  *exitCode = process->exitCode;
  return TRUE;
}

DWORD GetModuleFileName(HMODULE, LPSTR buffer, DWORD size) {
  const std::string path = plat::ModulePath(plat::ExecutablePath());
  if (!buffer || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}
