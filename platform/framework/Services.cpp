#include "platform/framework/Services.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/base/CodePage.h"

extern char** environ;

namespace plat {

namespace {
HelpService* g_help = nullptr;
ProgramLauncher* g_launcher = nullptr;

std::string ExecutableDirectory() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}
}  // namespace

int HelpService::Show(HWND owner, const std::string& file, UINT command, DWORD_PTR data) {
  calls.push_back({owner, file, command, data});
  return answer;
}

HelpService& HelpService::Current() {
  static HelpService fallback;
  return g_help ? *g_help : fallback;
}

void HelpService::Install(HelpService* service) { g_help = service; }

ProgramLauncher& ProgramLauncher::Current() {
  static ProgramLauncher fallback;
  return g_launcher ? *g_launcher : fallback;
}

void ProgramLauncher::Install(ProgramLauncher* launcher) { g_launcher = launcher; }

int ProgramLauncher::Launch(const std::string& program, const std::string& argument,
                            const std::string& workingDirectory, bool wait) {
  LaunchCall call{program, argument, workingDirectory, wait, {}};
  std::string command;
  for (const auto& [name, linux] : commands)
    if (EqualNoCase1252(name, program)) command = linux;
  if (command.empty()) {
    // Not configured: a program of that name beside the running executable, else absent.
    std::filesystem::path beside = std::filesystem::path(ExecutableDirectory()) / program;
    std::error_code ec;
    if (std::filesystem::exists(beside, ec)) command = beside.string();
  }
  if (command.empty() || command == "absent") {
    calls.push_back(call);
    return 2;  // file not found
  }
  call.commandLine = command + " \"" + argument + "\"";
  calls.push_back(call);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  std::string previous;
  if (!workingDirectory.empty()) {
    // posix_spawn has no portable working-directory action: change it around the spawn.
    char here[4096];
    if (::getcwd(here, sizeof here)) previous = here;
    if (::chdir(workingDirectory.c_str()) != 0) {
      posix_spawn_file_actions_destroy(&actions);
      return errno;
    }
  }
  std::string arg = argument;
  char* argv[] = {command.data(), arg.data(), nullptr};
  pid_t pid = 0;
  int status = posix_spawn(&pid, command.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (!previous.empty() && ::chdir(previous.c_str()) != 0) {
    // The start itself succeeded or failed on its own; a lost working directory is not the program's fault.
  }
  if (status != 0) return status;
  if (wait) {
    int exit = 0;
    if (::waitpid(pid, &exit, 0) < 0) return errno;
    return WIFEXITED(exit) ? WEXITSTATUS(exit) : 1;
  }
  return 0;
}

int RecordingLauncher::Launch(const std::string& program, const std::string& argument,
                              const std::string& workingDirectory, bool wait) {
  calls.push_back({program, argument, workingDirectory, wait, program + " \"" + argument + "\""});
  return answer;
}

}  // namespace plat
