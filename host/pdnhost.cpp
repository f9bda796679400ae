// pdnhost: loads the module library the way the host application does and drives one wizard from the command line.
//
// Without --library, --board and --model-dir it takes the module, the 8-layer sample board and the sample models
// that the build places relative to the program itself (PDNHOST_LIBRARY_FROM_PROGRAM, PDNHOST_BOARD_FROM_PROGRAM,
// PDNHOST_MODELS_FROM_PROGRAM), so a moved build tree still runs.
#include "host/PdnHost.h"
#include "platform/base/CodePage.h"

#include <csignal>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace {

// The folder of the running program, or the working folder when the system does not say.
std::filesystem::path ProgramFolder(const char* argv0) {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    program = std::filesystem::absolute(argv0, error);
  return program.parent_path();
}

std::string FromProgram(const std::filesystem::path& folder, const char* relative) {
  return (folder / relative).lexically_normal().string();
}

}  // namespace

int main(int argc, char** argv) {
  // The programs pdnhost starts are waited for: a SIGCHLD that the starting shell left ignored would have them
  // reaped unseen, and every wait fail.
  std::signal(SIGCHLD, SIG_DFL);
  std::vector<std::string> arguments(argv + 1, argv + argc);
  for (const std::string& argument : arguments)
    if (argument == "--help" || argument == "-h") {
      std::cout << host::PdnHostUsage();
      return 0;
    }
  const std::filesystem::path folder = ProgramFolder(argv[0]);
  host::PdnHostOptions options;
  try {
    options = host::ParsePdnHostArguments(arguments, FromProgram(folder, PDNHOST_LIBRARY_FROM_PROGRAM),
                                          FromProgram(folder, PDNHOST_BOARD_FROM_PROGRAM),
                                          FromProgram(folder, PDNHOST_MODELS_FROM_PROGRAM));
  } catch (const host::PdnHostUsageError& error) {
    // The line's words as given: a byte that is no UTF-8 is shown by its number.
    std::cerr << "pdnhost: " << plat::Utf8Escaped(error.what()) << "\n" << host::PdnHostUsage();
    return 2;
  }
  host::PdnHost pdnhost(std::cout, std::cerr);
  return pdnhost.Run(options);
}
