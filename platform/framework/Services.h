// Stand-ins for online help and for starting external programs: small replaceable services that record
// what was asked. The module's own code decides the texts and arguments; these only carry them out.
//
// HelpService: the default records each call (owner, help file or document key, command, topic) and
// answers a configured code (0 = success; the module gives 2..9 its own error meanings).
// ProgramLauncher: the default maps a classic program name to a Linux command found beside the running
// executable (or "absent"), starts it with posix_spawn with the file as its one argument, optionally waits,
// and records the command line and working directory; tests install a recording fake with a scripted answer.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/base/wintypes.h"

namespace plat {

struct HelpCall {
  HWND owner;
  std::string file;  // help file or document key
  UINT command;
  DWORD_PTR data;    // topic
};

class HelpService {
 public:
  virtual ~HelpService() = default;
  virtual int Show(HWND owner, const std::string& file, UINT command, DWORD_PTR data);

  static HelpService& Current();
  // Null restores the default service.
  static void Install(HelpService* service);

  std::vector<HelpCall> calls;
  int answer = 0;
};

struct LaunchCall {
  std::string program;  // the classic program name asked for
  std::string argument;
  std::string workingDirectory;
  bool wait = false;
  std::string commandLine;  // what actually ran, empty when nothing did
};

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Returns 0 on success, else an error code (2 = program absent, the errno of a failed start, or the
  // program's non-zero exit status when waiting).
  virtual int Launch(const std::string& program, const std::string& argument, const std::string& workingDirectory,
                     bool wait);

  static ProgramLauncher& Current();
  static void Install(ProgramLauncher* launcher);

  // Classic program name (matched ignoring case) -> Linux command, or "absent".
  std::map<std::string, std::string> commands;
  std::vector<LaunchCall> calls;
};

// A launcher that only records and answers a scripted code: tests.
class RecordingLauncher : public ProgramLauncher {
 public:
  int Launch(const std::string& program, const std::string& argument, const std::string& workingDirectory,
             bool wait) override;
  int answer = 0;
};

}  // namespace plat
