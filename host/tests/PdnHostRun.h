// Runs the pdnhost program of this build with arguments, for the tests that meet it as a user does.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"

namespace host::test {

struct ProgramRun {
  int code = -1;
  std::string output;   // the standard output stream
  std::string errors;   // the standard error stream
};

inline ProgramRun RunProgram(const std::string& arguments, const std::string& program = PDNHOST_PROGRAM) {
  ProgramRun run;
  const TempDir temp("brim_pdnhost_run_err");
  const std::filesystem::path errors = temp.Path() / "errors.txt";
  FILE* pipe = plat::OpenCommand(program + " " + arguments + " 2>" + errors.string());
  if (!pipe)
    return run;
  char buffer[4096];
  size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    run.output.append(buffer, read);
  const int status = plat::CloseCommand(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(errors, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  run.errors = text.str();
  return run;
}

}  // namespace host::test
