// The model editor's panes over large model directories: the Touchstone pane listing 2,000 two-port files with
// "Show only compartible models" on (each file's port count read), and the SPICE pane selecting a netlist of
// 100,000 and of 900,000 subcircuits (30 MB; scanned and listed). The SPICE case also scans the same file plainly
// into names and port counts in the same run: its counter `vs_plain_scan` is the selection's CPU time over the
// scan's (goal: within 4 at 900,000 subcircuits).
#include <benchmark/benchmark.h>

#include "bench/models/ModuleWindowsBench.h"
#include "brimstead/models/SpiceScanner.h"
#include "brimstead/models/editor/CModelEditor.h"
#include "platform/base/tests/TempDir.h"

#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kTouchstoneFiles = 2000;

// A fresh directory of model files, removed with the object.
class ModelDirectory {
public:
  explicit ModelDirectory(const std::string& name) : m_Dir(name) {}
  std::ofstream Create(const std::string& file) const { return std::ofstream(m_Dir.Path() / file); }
  CString Text() const { return CString(m_Dir.Path().string().c_str()) + "/"; }

private:
  const TempDir m_Dir;
};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void OpenEditor(CModelEditor& editor, const ModelDirectory& directory, int kind) {
  CStringArray pins;
  pins.Add("1");
  pins.Add("2");
  editor.SetPinNames(pins);
  CStringArray directories;
  directories.Add(directory.Text());
  editor.SetModelDirectories(directories);
  editor.Record().header.kind = kind;
  brimwiz::CModuleScope scope;
  editor.Create(CModelEditor::IDD, nullptr);
}

void BM_ListTwoThousandTouchstoneFilesCompatibleOnly(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  ModelDirectory directory("brim_bench_touchstone");
  for (int i = 0; i < kTouchstoneFiles; ++i)
    directory.Create("cap_" + std::to_string(i) + ".s2p") << "# MHZ S RI R 50\n1 0.9 0 0.1 0 0.1 0 0.9 0\n";
  CModelEditor editor;
  OpenEditor(editor, directory, HostModelTouchstone);
  CModelEditorTstone& pane = editor.TouchstonePane();
  for (auto _ : state) {
    // As the pane lists them when it loads: from an empty list.
    pane.m_Paths.RemoveAll();
    pane.m_FileList.ResetContent();
    pane.ListModelFiles(false, false, true);
    benchmark::DoNotOptimize(pane.m_FileList.GetCount());
  }
  if (pane.m_FileList.GetCount() != kTouchstoneFiles) state.SkipWithError("not every file listed");
  editor.DestroyWindow();
}
BENCHMARK(BM_ListTwoThousandTouchstoneFilesCompatibleOnly)->Unit(benchmark::kMillisecond);

void BM_SelectASpiceFileOfManySubcircuits(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  ModelDirectory directory("brim_bench_spice");
  const int subcircuits = static_cast<int>(state.range(0));
  {
    std::ofstream out = directory.Create("huge.cir");
    for (int i = 0; i < subcircuits; ++i)
      out << ".SUBCKT C" << i << (i % 4 ? " a b\nC1 a b 1n\n" : " a b c\nC1 a b 1n\nR1 b c 1\n") << ".ENDS\n";
  }
  CModelEditor editor;
  OpenEditor(editor, directory, HostModelSPICE);
  CModelEditorSPICE& pane = editor.SpicePane();
  // The plain scan of the same file, as often as the selection below runs at least.
  const CString path = directory.Text() + "huge.cir";
  CSpiceScanner scanner;
  CSpiceSubcircuitList plain;
  constexpr int kScans = 3;
  const double scanStart = CpuSeconds();
  for (int k = 0; k < kScans; ++k) {
    scanner.Scan(path, plain);
    benchmark::DoNotOptimize(plain.GetCount());
  }
  const double scanSeconds = (CpuSeconds() - scanStart) / kScans;
  double selectSeconds = 0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    pane.m_FileList.SetCurSel(0);
    pane.OnFileSelChange();
    benchmark::DoNotOptimize(pane.m_SubcircuitList.GetCount());
    selectSeconds += CpuSeconds() - start;
  }
  if (pane.m_SubcircuitList.GetCount() != subcircuits || plain.GetCount() != subcircuits)
    state.SkipWithError("not every subcircuit listed");
  state.counters["plain_scan_ms"] = scanSeconds * 1e3;
  state.counters["vs_plain_scan"] = selectSeconds / static_cast<double>(state.iterations()) / scanSeconds;
  editor.DestroyWindow();
}
BENCHMARK(BM_SelectASpiceFileOfManySubcircuits)->Arg(100000)->Arg(900000)->Unit(benchmark::kMillisecond);

}  // namespace
