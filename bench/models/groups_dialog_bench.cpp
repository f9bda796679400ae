// The decoupling groups dialog on a large board: 5,000 decoupling capacitors, 4,000 of them in 500 groups.
// Opening: the dialog made, the host's groups loaded and both grids filled. Moving: ">>" of the 1,000 free
// capacitors, all selected, into a new group (the dialog's opening is not timed).
#include <benchmark/benchmark.h>

#include "bench/models/ModuleWindowsBench.h"
#include "brimstead/models/groups/CDecouplingGroupsDlg.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"

#include <memory>
#include <string>

namespace {

constexpr int kCapacitors = 5000;
constexpr int kGroups = 500;
constexpr int kMembersPerGroup = 8;

struct LargeBoard {
  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board = std::make_unique<host::HostBoard>(ledger, "large", "large.json");

  LargeBoard() {
    host::HostLayer* top = board->AddLayer("TOP", host::LayerKind::Metal, 35e-6);
    host::HostNet* net = board->AddNet("GND", host::NetType::Supply, 0.0);
    host::HostPart* parts[] = {board->AddPart("CAP_100N_0402", "", 100e-9, 0.001),
                               board->AddPart("CAP_1U_0603", "", 1e-6, 0.0016)};
    std::vector<host::HostComponent*> caps;
    for (int i = 1; i <= kCapacitors; ++i) {
      host::HostComponent* c = board->AddComponent("C" + std::to_string(i), parts[i % 2], top);
      for (const char* pin : {"1", "2"}) c->AddPin(board->AddElement(net, {}, 0.0005, pin, c));
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

void Open(CDecouplingGroupsDlg& dialog) {
  brimwiz::CModuleScope scope;
  dialog.Create(CDecouplingGroupsDlg::IDD, nullptr);
}

void BM_OpenWith5000CapacitorsIn500Groups(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  LargeBoard large;
  for (auto _ : state) {
    CDecouplingGroupsDlg dialog(large.board.get(), nullptr);
    Open(dialog);
    benchmark::DoNotOptimize(dialog.GroupsGrid().GetRowCount());
    state.PauseTiming();
    dialog.DestroyWindow();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenWith5000CapacitorsIn500Groups)->Unit(benchmark::kMillisecond);

void BM_Move1000SelectedCapacitorsIntoANewGroup(benchmark::State& state) {
  modelsbench::StartModuleWindows();
  LargeBoard large;
  for (auto _ : state) {
    state.PauseTiming();
    auto dialog = std::make_unique<CDecouplingGroupsDlg>(large.board.get(), nullptr);
    Open(*dialog);
    CGroupsGrid& capacitors = dialog->CapacitorGrid();
    capacitors.SelectRows(1, capacitors.GetRowCount());
    dialog->GroupsGrid().SelectRows(1, 1);
    state.ResumeTiming();
    dialog->OnMoveToGroup();
    state.PauseTiming();
    if (capacitors.GetRowCount() != 0) state.SkipWithError("not every capacitor moved");
    dialog->DestroyWindow();
    dialog.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Move1000SelectedCapacitorsIntoANewGroup)->Unit(benchmark::kMillisecond);

}  // namespace
