// The board-geometry checks on the 8-layer sample board: one host query per question, then a binary search per
// layer. And the collection of the extractor's ports from a board view with every probe picked.
#include "brimstead/BoardGeometry.h"
#include "brimstead/FakedSingleBoardSystem.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

struct Setup {
  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board;
  std::unique_ptr<CFakedSingleBoardSystem> system;

  Setup() {
    const char* dir = std::getenv("BRIM_SOURCE_DIR");
    board = host::LoadBoardFile(std::string(dir ? dir : BRIM_SOURCE_DIR_DEFAULT) + "/samples/boards/demo8.json",
                                ledger);
    system = std::make_unique<CFakedSingleBoardSystem>(board.get());
    auto* record = GetModelExtractorAnalysisData();
    record->m_bBoardMode = 1;
    record->m_pSystem = system.get();
    record->SelectBoard(0);
  }
  ~Setup() { SetCurrentAnalysisData(nullptr); }
};

void ViaPassesThroughTPlaneBench(benchmark::State& state) {
  Setup setup;
  host::HostProbe* via = setup.board->FindProbe("V_TX0_P");
  for (auto _ : state)
    benchmark::DoNotOptimize(ViaPassesThroughTPlane(&setup.board->GeometryQuery(), via, nullptr, nullptr));
}
BENCHMARK(ViaPassesThroughTPlaneBench);

void SupplyPinTouchesTPlaneBench(benchmark::State& state) {
  Setup setup;
  host::HostProbe* pin = setup.board->FindProbe("U1.D4");
  for (auto _ : state)
    benchmark::DoNotOptimize(SupplyPinTouchesTPlane(&setup.board->GeometryQuery(), pin, nullptr));
}
BENCHMARK(SupplyPinTouchesTPlaneBench);

void CollectAllPorts(benchmark::State& state) {
  Setup setup;
  std::vector<host::HostProbe*> all;
  for (const auto& probe : setup.board->Probes())
    all.push_back(probe.get());
  setup.board->SetPicks(all);
  for (auto _ : state) {
    auto* record = GetModelExtractorAnalysisData();
    record->m_SupplyPorts.RemoveAll();
    record->m_ViaPorts.RemoveAll();
    record->CollectProbes();
    benchmark::DoNotOptimize(record->m_SupplyPorts.GetSize());
  }
  state.counters["probes"] = static_cast<double>(all.size());
}
BENCHMARK(CollectAllPorts);

}  // namespace
