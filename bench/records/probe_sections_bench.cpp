// Reading a settings file's probe section the way every record's load does ("Use last configuration"): the whole
// section through ReadIniSection, then split into probe lines. The file is read afresh in each iteration (the
// profile cache cleared), as a file chosen in the wizard is.
//
// BM_ReadOneLongProbeLine/1 and /10: a section of one probe line of 1 MB and of 10 MB.
// BM_ReadManyProbeLines/1 and /10: a section of 50-byte probe lines, 1 MB and 10 MB of them.
// Goal: linear in the section: the 10 MB case within about 10 times the 1 MB case of the same kind (bytes_per_second
// alike), measured in one run.
#include <benchmark/benchmark.h>

#include "brimstead/ProbeSection.h"
#include "platform/base/IniStore.h"
#include "platform/base/PrivateProfile.h"
#include "platform/base/tests/TempDir.h"
#include "shared/Misc_Ini.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A settings file with a [BOARD] section and a probe section; removed with the object.
class SettingsFile {
public:
  SettingsFile(const std::string& name, const std::string& probeSection)
      : m_Dir(name), m_Path(m_Dir.Path() / (name + ".dao")) {
    std::ofstream out(m_Path, std::ios::binary);
    out << "[BOARD]\r\nNet1_Name=VCC\r\nNet2_Name=GND\r\n[BOARD_PROBES]\r\n" << probeSection << "[END]\r\nKey=1\r\n";
  }
  std::string Path() const { return m_Path.string(); }

private:
  const TempDir m_Dir;
  std::filesystem::path m_Path;
};

void ReadProbes(benchmark::State& state, const SettingsFile& file, size_t expectedLines) {
  const std::string path = file.Path();
  size_t bytes = 0, lines = 0;
  for (auto _ : state) {
    plat::IniStore::ClearCache();
    const std::string block = ReadIniSection("BOARD_PROBES", path.c_str());
    lines = ReadProbeLines(block).size();
    bytes = block.size();
    benchmark::DoNotOptimize(lines);
  }
  if (lines != expectedLines) state.SkipWithError("probe lines lost");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
  state.counters["section_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_ReadOneLongProbeLine(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0)) << 20;
  std::string line = "PROBE00 = ";
  while (line.size() < bytes) line += "U1.G4 1 \"TOP LAYER\" ";
  const SettingsFile file("brim_bench_long_probe", line + "\r\n");
  ReadProbes(state, file, 1);
}
BENCHMARK(BM_ReadOneLongProbeLine)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_ReadManyProbeLines(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0)) << 20;
  std::string section;
  size_t lines = 0;
  char line[96];
  while (section.size() < bytes) {
    std::snprintf(line, sizeof line, "PROBE%02zu = U%zu.G%zu 1 \"LAYER %zu\" AutoReference\r\n", lines, lines % 997,
                  lines % 31, lines % 8);
    section += line;
    ++lines;
  }
  const SettingsFile file("brim_bench_many_probes", section);
  ReadProbes(state, file, lines);
}
BENCHMARK(BM_ReadManyProbeLines)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
