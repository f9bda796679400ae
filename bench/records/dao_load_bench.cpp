// Loading a ".dao" the way "Use last configuration" of the extractor wizard does (pdnhost --load): the wizard asks
// whether the file is a settings file, then the record loads it. The file is read afresh in each iteration (the
// profile cache cleared), as a file chosen in the wizard is. Each file is the extractor's golden settings file
// followed by sections the record does not know, up to its size:
//
// BM_LoadManySmallSections/1, /4, /16: sections "[S<i>]" of one key, 1, 4 and 16 MiB of them.
// BM_LoadFewLargeSections/1, /4, /16: four sections of 50-byte keys, 1, 4 and 16 MiB of them.
// Goal: linear in the file: each 16 MiB case under 2 s in the release build, and about 16 times its 1 MiB case
// (bytes_per_second alike), measured in one run.
#include <benchmark/benchmark.h>

#include "brimstead/ModelExtractorAnalysisData.h"
#include "platform/base/IniStore.h"
#include "platform/base/tests/TempDir.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string GoldenSettings() {
  std::ifstream in(BRIM_SOURCE_DIR "/host/tests/golden/extractor.dao", std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  if (!text.empty() && text.back() != '\n')
    text += "\r\n";
  return text;
}

// The golden file and then `section(i)` for i = 0, 1, ... while the file stays within `bytes`; removed with the
// object.
class DaoFile {
public:
  template <class Section>
  DaoFile(const std::string& name, std::size_t bytes, Section section)
      : m_Dir(name), m_Path(m_Dir.Path() / (name + ".dao")) {
    std::string text = GoldenSettings();
    for (std::size_t i = 0;; ++i) {
      const std::string more = section(i);
      if (text.size() + more.size() > bytes)
        break;
      text += more;
    }
    m_Size = text.size();
    std::ofstream(m_Path, std::ios::binary) << text;
  }
  std::string Path() const { return m_Path.string(); }
  std::size_t Size() const { return m_Size; }

private:
  const TempDir m_Dir;
  std::filesystem::path m_Path;
  std::size_t m_Size = 0;
};

void Load(benchmark::State& state, const DaoFile& file) {
  const std::string path = file.Path();
  CModelExtractorAnalysisData record;
  bool loaded = false;
  for (auto _ : state) {
    plat::IniStore::ClearCache();
    record.m_nAnalysisType = AnalysisNone;
    loaded = record.IsSettingsFile(path.c_str()) && record.Load(path.c_str());
    benchmark::DoNotOptimize(loaded);
  }
  if (!loaded || record.m_nAnalysisType != AnalysisDistributed)
    state.SkipWithError("the file did not load");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.Size()));
  state.counters["file_MB"] = static_cast<double>(file.Size()) / 1e6;
}

void BM_LoadManySmallSections(benchmark::State& state) {
  const DaoFile file("brim_bench_dao_small", static_cast<std::size_t>(state.range(0)) << 20,
                     [](std::size_t i) { return "[S" + std::to_string(i) + "]\r\nk=v\r\n"; });
  Load(state, file);
}
BENCHMARK(BM_LoadManySmallSections)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_LoadFewLargeSections(benchmark::State& state) {
  const std::size_t bytes = static_cast<std::size_t>(state.range(0)) << 20;
  const std::size_t perSection = bytes / 4;
  std::size_t section = 0, inSection = perSection;
  const DaoFile file("brim_bench_dao_large", bytes, [&](std::size_t i) {
    std::string text;
    if (inSection + 50 > perSection) {
      text = "[Large" + std::to_string(section++) + "]\r\n";
      inSection = 0;
    }
    char line[64];
    std::snprintf(line, sizeof line, "Key%08zu=%036zu\r\n", i, i * 7919);
    text += line;
    inSection += text.size();
    return text;
  });
  Load(state, file);
}
BENCHMARK(BM_LoadFewLargeSections)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
