// The decoupling wizard's IC power pin page (list flavour, board mode) over 5,000 pin records, grouping off and on:
// filling the grid, one row moved by its header, and the rows sorted by a double click on a column header. One
// check-box click with the renumbering it causes, over 2,000 and 20,000 pin records (whose times should differ
// little), grouping off and on.
#include <benchmark/benchmark.h>

#include "bench/models/ModuleWindowsBench.h"
#include "brimstead/BrimsteadAPI.h"
#include "brimstead/DecouplingAnalysisData.h"
#include "brimstead/wizards/BrimsteadDlg.h"
#include "brimstead/wizards/DWSelectProbesPages.h"
#include "brimstead/wizards/PowerPinsPage.h"
#include "brimstead/wizards/VornWizCtlBar.h"
#include "grid/core/CGXGridCore.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostCallbackLog.h"
#include "host/HostLedger.h"
#include "host/HostSystem.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/CWinThread.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kComponents = 50;
constexpr int kPinsEach = 100;   // 5,000 pins

// A 4-layer board whose components (50 unless said) have 100 VCC pins each, all picked, over GND and VCC planes.
std::string WriteBoard(const std::filesystem::path& dir, std::vector<std::string>& picks, int components) {
  const std::string height = std::to_string(std::max(200, 20 + (components + 9) / 10 * 19));
  std::string json = R"({"name": "Pins 5000", "description": "5,000 supply pins",
  "layers": [{"name": "TOP", "kind": "metal", "thickness": 0.035}, {"name": "P1", "kind": "dielectric", "thickness": 0.2},
             {"name": "GND", "kind": "metal", "thickness": 0.035}, {"name": "C", "kind": "dielectric", "thickness": 1.0},
             {"name": "PWR", "kind": "metal", "thickness": 0.035}, {"name": "P2", "kind": "dielectric", "thickness": 0.2},
             {"name": "BOTTOM", "kind": "metal", "thickness": 0.035}],
  "nets": [{"name": "GND", "type": "supply", "voltage": 0}, {"name": "VCC", "type": "supply", "voltage": 1.0, "reference": "GND"}],
  "areas": [{"net": "GND", "layer": "GND", "rect": [0, 0, 200, )" + height + R"(]}, {"net": "VCC", "layer": "PWR", "rect": [0, 0, 200, )" + height + R"(]}],
  "parts": [{"name": "BGA", "package": "BGA"}],
  "components": [)";
  for (int c = 0; c < components; ++c) {
    json += std::string(c ? "," : "") + "{\"name\": \"U" + std::to_string(c) + "\", \"part\": \"BGA\", \"side\": \"TOP\", \"pins\": [";
    for (int p = 0; p < kPinsEach; ++p) {
      const double x = 2 + (c % 10) * 19 + (p % 10) * 1.5, y = 2 + (c / 10) * 19 + (p / 10) * 1.5;
      json += std::string(p ? "," : "") + "{\"name\": \"" + std::to_string(p) + "\", \"net\": \"VCC\", \"at\": [" +
              std::to_string(x) + ", " + std::to_string(y) + "], \"size\": 0.3, \"pad\": {\"shape\": \"round\", \"diameter\": 0.4}, \"eligible\": false}";
      picks.push_back("U" + std::to_string(c) + "." + std::to_string(p));
    }
    json += "]}";
  }
  json += "]}";
  const std::string path = (dir / "pins5000.json").string();
  std::ofstream(path) << json;
  return path;
}

// The wizard in board mode on the pin page over the components' pins.
struct PinPageRun {
  explicit PinPageRun(int components) : components(components) {
    modelsbench::StartModuleWindows();
    static const TempDir folder("brim_bench_pins");   // removed at the process's end, where the last run is left
    dir = folder.Path();
    std::vector<std::string> picks;
    board = host::LoadBoardFile(WriteBoard(dir, picks, components), ledger);
    system.AddBoard(board.get());
    const std::string project = (dir / "pins.brd").string();
    std::ofstream(project) << "board\n";
    RegisterWizardDialogFactory(&MakeWizardDialog);
    api = CBrimsteadAPI::Create();
    api->SetCallback(&callback);
    api->SetProjectFile(project.c_str());
    api->SetGeometryQuery(&board->GeometryQuery());
    api->EnableBoardMode();
    api->SetBoard(board.get());
    board->Pick(picks);
    api->CreateModeless();
    AfxPumpUntilIdle();
    auto& data = *GetDecouplingAnalysisData();
    data.m_nAnalysisType = AnalysisDistributed;
    data.m_pNet1 = board->FindNet("GND");
    data.m_pNet2 = board->FindNet("VCC");
    data.CollectProbes();
    Dialog().UpdateButtons();
    HWND next = ::GetDlgItem(Dialog().GetFrame()->GetStepList()->GetButtonBar()->m_hWnd, brimwiz::IDC_WIZ_NEXT);
    for (int guard = 0; guard < 20 && !Page(); ++guard) {
      ::SendMessage(next, BM_CLICK, 0, 0);
      AfxPumpUntilIdle();
    }
  }
  ~PinPageRun() {
    api->Close();
    AfxPumpUntilIdle();
  }
  CBrimsteadDlg& Dialog() { return *static_cast<CBrimsteadDlg*>(api->Dialog()); }
  CPowerPinsPage* Page() {
    CDWPage* page = Dialog().GetActivePage();
    return page && page->GetTemplateId() == CDWSelectProbesTPEPage::IDD ? static_cast<CPowerPinsPage*>(page) : nullptr;
  }
  void SetGrouping(bool on) {
    CPowerPinsPage& page = *Page();
    if (page.IsGrouping() == on) return;
    page.CheckDlgButton(CPowerPinsPage::IDC_GROUP, on ? BST_CHECKED : BST_UNCHECKED);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(CPowerPinsPage::IDC_GROUP, BN_CLICKED),
                     reinterpret_cast<LPARAM>(page.GetDlgItem(CPowerPinsPage::IDC_GROUP)->m_hWnd));
  }

  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board;
  host::HostSystem system{ledger, "Project"};
  host::HostCallbackLog callback;
  std::filesystem::path dir;
  int components;
  CBrimsteadAPI* api = nullptr;
};

// The wizard open over the components' pins (50 unless said), made anew when another count is asked for: one
// wizard at a time, as the module has one record.
PinPageRun& Run(int components = kComponents) {
  static PinPageRun* run = nullptr;  // the last one is left to the process's end
  if (!run || run->components != components) {
    delete run;
    run = nullptr;
    run = new PinPageRun(components);
  }
  return *run;
}

bool Ready(benchmark::State& state, int components = kComponents) {
  if (Run(components).Page() && Run(components).Page()->GetGrid()->GetRowCount() >= ROWCOL(components * kPinsEach))
    return true;
  state.SkipWithError("the pin page did not open on all pins");
  return false;
}

void BM_PinPageFill(benchmark::State& state) {
  if (!Ready(state)) return;
  Run().SetGrouping(state.range(0) != 0);
  for (auto _ : state) Run().Page()->FillGrid();
  state.counters["rows"] = static_cast<double>(Run().Page()->GetGrid()->GetRowCount());
}
BENCHMARK(BM_PinPageFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PinPageCheckBoxClick(benchmark::State& state) {
  const int components = static_cast<int>(state.range(0)) / kPinsEach;
  if (!Ready(state, components)) return;
  Run(components).SetGrouping(state.range(1) != 0);
  CPowerPinsGridWnd& grid = *Run(components).Page()->GetGrid();
  const ROWCOL row = state.range(1) ? 2 : 1;   // the first pin row (after its group row when grouping)
  for (auto _ : state) {
    const bool was = grid.GetCellValue(row, CPowerPinsPage::ColCheck) != "0";
    grid.SetCellValue(row, CPowerPinsPage::ColCheck, was ? "0" : "1");
    grid.OnButtonClickedInCell(row, CPowerPinsPage::ColCheck);
  }
}
BENCHMARK(BM_PinPageCheckBoxClick)
    ->ArgNames({"pins", "grouping"})
    ->Args({2000, 0})
    ->Args({20000, 0})
    ->Args({2000, 1})
    ->Args({20000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_PinPageRowDrag(benchmark::State& state) {
  if (!Ready(state)) return;
  Run().SetGrouping(false);   // rows are moved by their headers only while the list is not grouped
  CPowerPinsGridWnd& grid = *Run().Page()->GetGrid();
  for (auto _ : state) grid.MoveRows(1, 1, 2500, GX_UPDATENOW, 0);
}
BENCHMARK(BM_PinPageRowDrag)->Unit(benchmark::kMillisecond);

// A double click on the "Pin Name" header: the rows sorted by it (alternately ascending and descending), the
// record following the new order.
void BM_PinPageSortByHeader(benchmark::State& state) {
  if (!Ready(state)) return;
  Run().SetGrouping(false);   // the header sorts while the list is not grouped
  CPowerPinsGridWnd& grid = *Run().Page()->GetGrid();
  for (auto _ : state) {
    grid.OnLButtonDblClkCell(0, CPowerPinsPage::ColPin, 0, CPoint(0, 0));
    AfxPumpUntilIdle();
  }
  const CString first = grid.GetCellValue(1, CPowerPinsPage::ColPin);
  grid.OnLButtonDblClkCell(0, CPowerPinsPage::ColPin, 0, CPoint(0, 0));
  if (grid.GetCellValue(1, CPowerPinsPage::ColPin) == first) state.SkipWithError("the header did not sort");
}
BENCHMARK(BM_PinPageSortByHeader)->Unit(benchmark::kMillisecond);

}  // namespace
