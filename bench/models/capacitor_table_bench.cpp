// The capacitor table on a large board: 5,000 decoupling capacitors, 4,000 of them in 500 groups of 8, half of the
// capacitors between GND and VDD and half between GND and VIO. Filling: the records rebuilt from the host and the
// grid's rows set (FillGrid, UpdateRowCount), with the net filter off and on. Expanding: one group's 8 member rows
// inserted and taken out again.
#include <benchmark/benchmark.h>

#include "bench/models/ModuleWindowsBench.h"
#include "brimstead/models/capacitors/CCapacitorGrid.h"
#include "brimstead/models/capacitors/CCapacitorModelsDlg.h"
#include "host/HostBoard.h"
#include "host/HostDecoupling.h"
#include "host/HostLedger.h"

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kCapacitors = 5000;
constexpr int kGroups = 500;
constexpr int kMembersPerGroup = 8;

struct LargeBoard {
  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board = std::make_unique<host::HostBoard>(ledger, "large", "large.json");
  host::HostNet* gnd = nullptr;
  host::HostNet* vdd = nullptr;

  LargeBoard() {
    host::HostLayer* top = board->AddLayer("TOP", host::LayerKind::Metal, 35e-6);
    gnd = board->AddNet("GND", host::NetType::Supply, 0.0);
    vdd = board->AddNet("VDD", host::NetType::Supply, 1.0);
    host::HostNet* vio = board->AddNet("VIO", host::NetType::Supply, 3.3);
    host::HostPart* parts[] = {board->AddPart("CAP_100N_0402", "", 100e-9, 0.001),
                               board->AddPart("CAP_1U_0603", "", 1e-6, 0.0016)};
    std::vector<host::HostComponent*> caps;
    for (int i = 1; i <= kCapacitors; ++i) {
      host::HostComponent* c = board->AddComponent("C" + std::to_string(i), parts[i % 2], top);
      c->AddPin(board->AddElement(gnd, {}, 0.0005, "1", c));
      c->AddPin(board->AddElement(i % 4 < 2 ? vdd : vio, {}, 0.0005, "2", c));
      board->Decoupling().SetDecoupling(c, true);
      caps.push_back(c);
    }
    board->Decoupling().SetChangeLog(nullptr);
    for (int g = 0; g < kGroups; ++g) {
      host::HostCapacitorGroup* group = board->Decoupling().AddGroup("G" + std::to_string(g + 1));
      for (int m = 0; m < kMembersPerGroup; ++m) group->AddMember(caps[static_cast<size_t>(g * kMembersPerGroup + m)]);
    }
  }
};

void Open(CCapacitorModelsDlg& dialog, LargeBoard& large, bool filtered) {
  dialog.Panel().Attach(CStringArray(), nullptr, nullptr, large.board.get(), filtered ? large.gnd : nullptr,
                        filtered ? large.vdd : nullptr, 0, nullptr);
  brimwiz::CModuleScope scope;
  dialog.Create(CCapacitorModelsDlg::IDD, nullptr);
}

void BM_FillAndRowCount(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  LargeBoard large;
  const bool filtered = state.range(0) != 0;
  CCapacitorModelsDlg dialog;
  Open(dialog, large, filtered);
  CCapacitorModelsPanel& panel = dialog.Panel();
  for (auto _ : state) {
    panel.FillGrid(false);
    panel.UpdateRowCount();
    benchmark::DoNotOptimize(panel.Grid()->GetRowCount());
  }
  // 500 groups and 1,000 capacitors of no group; filtered, every group keeps members and half the free ones stay.
  const ROWCOL expected = filtered ? 1000 : 1500;
  if (panel.Grid()->GetRowCount() != expected) state.SkipWithError("unexpected row count");
  state.SetLabel(filtered ? "GND/VDD filter" : "no filter");
  dialog.DestroyWindow();
}
BENCHMARK(BM_FillAndRowCount)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExpandAndCollapseAGroup(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  LargeBoard large;
  CCapacitorModelsDlg dialog;
  Open(dialog, large, false);
  CCapacitorModelsPanel& panel = dialog.Panel();
  const ROWCOL row = 250;   // a group in the middle of the table
  for (auto _ : state) {
    panel.ToggleGroup(row);
    panel.ToggleGroup(row);
  }
  if (panel.Grid()->GetRowCount() != 1500) state.SkipWithError("the group did not close again");
  dialog.DestroyWindow();
}
BENCHMARK(BM_ExpandAndCollapseAGroup)->Unit(benchmark::kMillisecond);

}  // namespace
