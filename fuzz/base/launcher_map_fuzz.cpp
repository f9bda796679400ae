// Arbitrary bytes as the program launcher's map file ("viewer.exe=/usr/bin/viewer --flag", "editor.exe=absent",
// comments): read or refused without a crash; a start of a mapped program, scripted so nothing is spawned,
// either fails cleanly or records a command line split into words.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/base/ProgramLauncher.h"
#include "platform/base/tests/TempDir.h"

namespace {

std::string MapPath() {
  static const TempDir folder("launcher-map-fuzz");   // removed when the run ends
  return folder / "map.txt";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 16) return 0;
  const std::string path = MapPath();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  plat::ProgramLauncher::ClearMappings();
  plat::ProgramLauncher::ClearLaunches();
  plat::ProgramLauncher::SetScript(plat::ProgramLauncher::Script{});
  plat::ProgramLauncher::LoadMapFile(path);
  // The programs the module starts, and a name taken from the input's first line.
  std::string first(reinterpret_cast<const char*>(data), size);
  first = first.substr(0, first.find_first_of("=\r\n"));
  for (std::string program : {std::string("VornFileEditor.exe"), std::string("TouchstoneViewer.exe"), first}) {
    std::string command = "\"C:\\Tools\\" + program + "\" \"C:\\models\\a file.s2p\"";
    STARTUPINFO si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcess(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      const auto launches = plat::ProgramLauncher::Launches();
      if (launches.empty() || launches.back().argv.empty()) std::abort();  // a start always has a program
      for (const std::string& word : launches.back().argv)
        if (word.find('\0') != std::string::npos) std::abort();
      if (pi.hProcess) CloseHandle(pi.hProcess);
      if (pi.hThread) CloseHandle(pi.hThread);
    }
  }
  plat::ProgramLauncher::SetScript(std::nullopt);
  plat::ProgramLauncher::ClearMappings();
  plat::ProgramLauncher::ClearLaunches();
  return 0;
}
