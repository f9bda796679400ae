// The main of every benchmark program: the library's own runner and display, with two additions. The program
// runs in a temporary folder of its own (PrivateTempFolder.h: it fails when a benchmark leaves a file there), and
// a benchmark that reports an error (State::SkipWithError: a check of what it measured failed) makes the program
// end with status 1 once every benchmark ran, naming it, so that a run that went wrong is never taken for one that
// measured. The test command runs each program once this way (BenchSmoke.<program> in the release preset).
#include "platform/base/tests/PrivateTempFolder.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Hands every report on to the display the command line chose and keeps the names of the runs that failed.
class FailureCountingReporter final : public benchmark::BenchmarkReporter {
 public:
  explicit FailureCountingReporter(benchmark::BenchmarkReporter& display) : m_Display(display) {}

  bool ReportContext(const Context& context) override { return m_Display.ReportContext(context); }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.error_occurred) m_Failed.push_back(run.benchmark_name() + ": " + run.error_message);
    m_Display.ReportRuns(runs);
  }
  void Finalize() override { m_Display.Finalize(); }

  const std::vector<std::string>& Failed() const { return m_Failed; }

 private:
  benchmark::BenchmarkReporter& m_Display;
  std::vector<std::string> m_Failed;
};

}  // namespace

int main(int argc, char** argv) {
  brimtest::UsePrivateTempFolder("brim-bench");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The library's display for --benchmark_format, made once and kept by the library.
  FailureCountingReporter reporter(*benchmark::CreateDefaultDisplayReporter());
  const std::size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (reporter.Failed().empty()) return 0;
  std::fflush(stdout);
  std::fprintf(stderr, "FAILED: %zu of the %zu benchmarks run reported an error:\n", reporter.Failed().size(), ran);
  for (const std::string& failed : reporter.Failed()) std::fprintf(stderr, "  %s\n", failed.c_str());
  return 1;
}
