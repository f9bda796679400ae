// Starting external programs: CreateProcess, WaitForSingleObject, GetExitCodeProcess, GetModuleFileName,
// and the launcher behind them.
//
// The module starts classic programs by path ("...\\viewer.exe" "file"). The launcher maps the program's
// file name (ignoring case and directory) to a Linux command, or marks it absent; the map comes from the
// file "programs.map" beside the running executable (lines "viewer.exe=/usr/bin/viewer --flag" or
// "editor.exe=absent"; '#' starts a comment) and from SetMapping. The command is split at blanks (quotes
// keep blanks in a word); the
// rest of the classic command line (the program's arguments) is passed as one argument, so a file name
// with blanks arrives whole. Every start is recorded (command line, working directory). In scripted mode
// (tests) nothing is spawned: each start succeeds with the scripted exit code, or fails with the
// scripted error.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/KernelHandles.h"

struct STARTUPINFO {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput, hStdOutput, hStdError;
};
struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
using LPSTARTUPINFO = STARTUPINFO*;
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 0x102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD STILL_ACTIVE = 259;

// FALSE with ERROR_FILE_NOT_FOUND when the program is unknown or absent, or the spawn's error.
BOOL CreateProcess(LPCSTR application, LPSTR commandLine, void* processAttributes, void* threadAttributes,
                   BOOL inheritHandles, DWORD creationFlags, void* environment, LPCSTR currentDirectory,
                   LPSTARTUPINFO startupInfo, LPPROCESS_INFORMATION processInformation);
// Processes only: WAIT_OBJECT_0 when it ended, WAIT_TIMEOUT, or WAIT_FAILED for another handle.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
// The running executable's path for every module (the module lives inside the host's process); the
// length copied, or size (cut, ERROR_INSUFFICIENT_BUFFER) when it does not fit.
DWORD GetModuleFileName(HMODULE module, LPSTR buffer, DWORD size);

namespace plat {

// Every program this system starts is started here, so that each gets every signal at the system's default and
// none blocked: the platform ignores the file-size signal from the library's load on (AtomicFile.cpp), and a signal
// ignored here, however it came to be, would stay ignored in the program, and one the starting thread blocks would
// stay blocked there. `argv[0]` is looked up in PATH; `workingDirectory` empty keeps ours; `stdoutFd` >= 0 becomes
// the program's standard output. 0 with the program's id in `pid`, else the error number.
int SpawnProgram(const std::vector<std::string>& argv, pid_t& pid, const std::string& workingDirectory = {},
                 int stdoutFd = -1);
// A command line run by /bin/sh and waited for: its wait status, as std::system answers it; -1 when it cannot start.
int RunCommand(const std::string& command);
// A command line run by /bin/sh, its standard output read through the stream answered (null when it cannot start),
// as popen(command, "r") does; CloseCommand closes the stream, waits for the shell and answers its wait status (-1
// for a stream OpenCommand did not answer).
FILE* OpenCommand(const std::string& command);
int CloseCommand(FILE* stream);

class ProgramLauncher {
 public:
  struct Launch {
    std::string commandLine;       // as the caller gave it
    std::string workingDirectory;  // empty: inherited
    std::vector<std::string> argv;  // what was (or would have been) spawned
  };

  // nullopt marks the program absent.
  static void SetMapping(const std::string& classicName, std::optional<std::string> command);
  // Reads a map file; FALSE when it cannot be read.
  static bool LoadMapFile(const std::string& path);
  static void ClearMappings();
  // Scripted mode: starts succeed with `exitCode`, or fail with `error` when that is set; nullopt ends it.
  struct Script {
    DWORD exitCode = 0;
    std::optional<DWORD> error;
  };
  static void SetScript(std::optional<Script> script);
  static std::vector<Launch> Launches();
  static void ClearLaunches();
};

}  // namespace plat
