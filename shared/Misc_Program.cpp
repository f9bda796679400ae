#include "shared/Misc_Program.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "platform/base/KernelHandles.h"
#include "platform/base/PathDialect.h"
#include "platform/base/ProgramLauncher.h"
#include "shared/Errorbox.h"
#include "shared/Misc_Path.h"

namespace {

// The directory and the program name joined as the C runtime's path maker joins them (no drive, no
// extension), without its length cut: a separator of the directory's own kind is added when it lacks one.
std::string ProgramPath(const char* directory, const char* program) {
  if (!directory || !*directory)
    return program;
  std::string path = directory;
  if (!plat::IsSeparator(path.back()))
    path += path.find('/') != std::string::npos && path.find('\\') == std::string::npos ? '/' : '\\';
  return path + program;
}

}  // namespace

bool StartExternalProgram(HWND owner, const char* program, const char* directory, const char* arguments,
                          const char* workingDirectory, const char* displayName, bool wait) {
  if (!program)
    program = "";  // a missing name is reported as a program that cannot be found
  // The command line: the path in quotes, a blank and the arguments, and its NUL.
  size_t size = std::strlen(program) + 2;
  if (directory)
    size += std::strlen(directory) + 1;
  if (arguments)
    size += std::strlen(arguments) + 1;
  size += 1;
  std::unique_ptr<char[]> commandLine(new (std::nothrow) char[size]);
  if (!commandLine) {
    errno = ENOMEM;  // as the C runtime's allocator leaves it; the box shows its text
    ErrorBoxErrno(owner, "Unable to allocate temporary storage for command-line.\n");
    return false;
  }

  const std::string path = ProgramPath(directory, program);
  const bool named = displayName && *displayName;
  if (!FileExists(path.c_str())) {
    if (named)
      ErrorBoxF(owner, "Unable to locate the %s:\n%s", displayName, path.c_str());
    else
      ErrorBoxF(owner, "Unable to locate %s", path.c_str());
    return false;
  }
  if (workingDirectory && !DirectoryExists(workingDirectory)) {
    static constexpr const char* kNoDirectory = "\n\nThis requested working directory does not exist:\n";
    if (named)
      ErrorBoxF(owner, "Unable to start the %s:\n%s%s%s", displayName, path.c_str(), kNoDirectory, workingDirectory);
    else
      ErrorBoxF(owner, "Unable to start %s%s%s", path.c_str(), kNoDirectory, workingDirectory);
    return false;
  }

  // The joined path is never longer than the directory, one separator and the name, so the line fits.
  const bool withArguments = arguments && *arguments;
  std::snprintf(commandLine.get(), size, "\"%s\"%s%s", path.c_str(), withArguments ? " " : "",
                withArguments ? arguments : "");

  STARTUPINFO startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcess(nullptr, commandLine.get(), nullptr, nullptr, FALSE, 0, nullptr, workingDirectory, &startup,
                     &process)) {
    const int pathLength = static_cast<int>(path.size());
    if (named)
      ErrorBoxLastError(owner, "Unable to start the %s:\n%.*s\n", displayName, pathLength, path.c_str());
    else
      ErrorBoxLastError(owner, "Unable to start %.*s\n", pathLength, path.c_str());
    return false;
  }
  if (wait)
    WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}
