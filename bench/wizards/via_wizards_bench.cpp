// The via wizards on generated boards. The extractor's board-viewer via page over 2,000 via ports: its fill, "Check
// All" and a row dragged to the top (the record follows at once); a click on a port's box over 2,000 and 20,000
// ports, with and without the host's board view marking the checked ports (whose times should differ little); its
// answer to a change of the host's selection over 2,000 and 20,000 ports (times growing linearly). The
// bypass wizard's viewer page re-reading a via picked on a 32-layer board (the via's connected layers, every pair of
// them, the record's check). The bypass and via-model wizards in board mode over 2,000 picked vias: opening on their
// via list, a click on a via's box (the list renumbered and its pair cells coloured; over 2,000 and 20,000 vias,
// whose times should differ little), Page Down through the list (drawn).
#include <benchmark/benchmark.h>

#include "bench/models/ModuleWindowsBench.h"
#include "brimstead/BrimsteadApp.h"
#include "brimstead/BypassAnalysisData.h"
#include "brimstead/BypassWizardAPI.h"
#include "brimstead/DiffViaModelWizardAPI.h"
#include "brimstead/ModelExtractorAnalysisData.h"
#include "brimstead/ModelExtractorWizardAPI.h"
#include "brimstead/wizards/BrimsteadDlg.h"
#include "brimstead/wizards/MESelectViasPages.h"
#include "brimstead/wizards/ViaGrid.h"
#include "brimstead/wizards/ViaListPages.h"
#include "brimstead/wizards/ViaViewerPages.h"
#include "brimstead/wizards/VornWizard.h"
#include "grid/core/CGXGridFeatures.h"
#include "host/HostBoard.h"
#include "host/HostBoardMarker.h"
#include "host/HostCallbackLog.h"
#include "host/HostLedger.h"
#include "host/HostSystem.h"
#include "platform/framework/CWinThread.h"

#include <memory>
#include <string>

namespace {

constexpr int kVias = 2000;
constexpr int kMetalLayers = 32;

// A board of 32 metal layers (dielectrics between them), a ground plane on every fourth metal layer, and `vias`
// signal vias on their own nets, each connected on three layers spread over the stack; the board view picks them all.
struct GeneratedBoard {
  host::HostLedger ledger;
  std::unique_ptr<host::HostBoard> board = std::make_unique<host::HostBoard>(ledger, "generated", "generated.json");
  host::HostSystem system{ledger, "bench"};

  explicit GeneratedBoard(int vias) {
    std::vector<host::HostLayer*> metal;
    host::HostNet* ground = board->AddNet("GND", host::NetType::Supply, 0.0);
    for (int i = 0; i < kMetalLayers; ++i) {
      if (i)
        board->AddLayer("D" + std::to_string(i), host::LayerKind::Dielectric, 100e-6);
      metal.push_back(board->AddLayer("L" + std::to_string(i + 1), host::LayerKind::Metal, 35e-6));
      if (i % 4 == 1)
        board->AddArea({metal.back(), ground, 0.0, 0.0, 1.0, 1.0});
    }
    std::vector<host::HostProbe*> picks;
    for (int v = 0; v < vias; ++v) {
      host::HostNet* net = board->AddNet("SIG" + std::to_string(v), host::NetType::Signal, 0.0);
      const CHostPosition at{0.001 * (v % 100), 0.001 * (v / 100)};
      host::HostElement* element = board->AddElement(net, at, 0.0003, "", nullptr);
      const std::string id = "V" + std::to_string(v);
      host::HostProbe* probe = board->AddProbe(id, HostProbeVia, id, element, net, nullptr);
      for (int layer : {0, (v % (kMetalLayers - 2)) + 1, kMetalLayers - 1})
        probe->Connect(metal[static_cast<size_t>(layer)]);
      picks.push_back(probe);
    }
    board->SetPicks(picks);
    system.AddBoard(board.get());
  }
};

struct Start {
  Start() {
    modelsbench::StartModuleWindows();
    RegisterWizardDialogFactory(&MakeWizardDialog);
  }
  CBrimsteadApp app;
};

Start& Started() {
  static Start start;
  return start;
}

// The check box of the middle row of `rows` clicked in each iteration, as the grid reports a click on it: the value
// toggles, then the grid tells its page.
void ClickTheMiddleBoxEachIteration(benchmark::State& state, CViaGridWnd& grid, int rows) {
  const ROWCOL row = static_cast<ROWCOL>(rows / 2);
  for (auto _ : state) {
    const bool was = grid.GetCellValue(row, brimwiz::ViaColCheck) != "0";
    grid.SetCellValue(row, brimwiz::ViaColCheck, was ? "0" : "1");
    grid.OnButtonClickedInCell(row, brimwiz::ViaColCheck);
    AfxPumpUntilIdle();
  }
}

// The extractor open on its via step over the generated board's via ports (2,000 unless said).
struct OpenExtractor {
  GeneratedBoard generated;
  CModelExtractorWizardAPI* api = CModelExtractorWizardAPI::Create();
  host::HostCallbackLog callback;

  host::HostBoardMarker marker;

  explicit OpenExtractor(int vias = kVias, bool marked = false) : generated(vias) {
    api->SetCallback(&callback);
    if (marked)
      api->SetBoardView(&marker);
    api->SetGeometryQuery(&generated.board->GeometryQuery());
    api->SetSystem(&generated.system);
    api->CreateModeless();
    api->OnViewerSelectionChanged();
    AfxPumpUntilIdle();
  }
  ~OpenExtractor() {
    api->Close();
    AfxPumpUntilIdle();
  }
  CMESelectViasOlmPage* Page() {
    auto* dialog = dynamic_cast<CWizardDlg*>(api->Dialog());
    return dialog ? dynamic_cast<CMESelectViasOlmPage*>(dialog->GetActivePage()) : nullptr;
  }
};

void BM_ExtractorViaPageFill2000Ports(benchmark::State& state) {
  Started();
  OpenExtractor open;
  CMESelectViasOlmPage* page = open.Page();
  if (!page || GetModelExtractorAnalysisData()->m_ViaPorts.GetSize() != kVias) {
    state.SkipWithError("the via page is not open over 2,000 ports");
    return;
  }
  for (auto _ : state) {
    page->FillGrid();
    benchmark::DoNotOptimize(page->GetGrid()->GetRowCount());
  }
}
BENCHMARK(BM_ExtractorViaPageFill2000Ports)->Unit(benchmark::kMillisecond);

void BM_ExtractorCheckAll2000Ports(benchmark::State& state) {
  Started();
  OpenExtractor open;
  CMESelectViasOlmPage* page = open.Page();
  if (!page) {
    state.SkipWithError("the via page is not open");
    return;
  }
  bool check = true;
  for (auto _ : state) {
    check ? page->OnCheckAll() : page->OnUncheckAll();
    check = !check;
  }
}
BENCHMARK(BM_ExtractorCheckAll2000Ports)->Unit(benchmark::kMillisecond);

// The extractor's via page over as many ports as the first argument says, with the host's board view when the
// second is 1 (PortsAndMarks), every port checked; null, the benchmark skipped, when it is not open over all ports.
CMESelectViasOlmPage* EveryPortChecked(benchmark::State& state, OpenExtractor& open) {
  CMESelectViasOlmPage* page = open.Page();
  if (!page || page->GetGrid()->GetRowCount() != static_cast<ROWCOL>(state.range(0))) {
    state.SkipWithError("the via page is not open over all ports");
    return nullptr;
  }
  page->OnCheckAll();
  return page;
}

// Over 2,000 and 20,000 ports, with and without the host's board view (which marks every checked port).
void PortsAndMarks(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"ports", "marked"})
      ->Args({kVias, 0})
      ->Args({10 * kVias, 0})
      ->Args({kVias, 1})
      ->Args({10 * kVias, 1})
      ->Unit(benchmark::kMillisecond);
}

// A port's box clicked in the middle of the list, every port checked (so that the click renumbers every port below
// it), as the grid reports a click on its check box.
void BM_ExtractorViaPortClick(benchmark::State& state) {
  Started();
  OpenExtractor open(static_cast<int>(state.range(0)), state.range(1) != 0);
  if (CMESelectViasOlmPage* page = EveryPortChecked(state, open))
    ClickTheMiddleBoxEachIteration(state, *page->GetGrid(), static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ExtractorViaPortClick)->Apply(PortsAndMarks);

// The extractor's answer to a change of the selection in the host's board view (its via page current, the same
// picks each time): every port merged with its host probe again, the page filled and, with the board view, every
// checked port marked again (times should grow linearly with the ports).
void BM_ExtractorViewerSelectionChange(benchmark::State& state) {
  Started();
  OpenExtractor open(static_cast<int>(state.range(0)), state.range(1) != 0);
  if (!EveryPortChecked(state, open))
    return;
  for (auto _ : state) {
    open.api->OnViewerSelectionChanged();
    AfxPumpUntilIdle();
  }
}
BENCHMARK(BM_ExtractorViewerSelectionChange)->Apply(PortsAndMarks);

void BM_ExtractorRowDraggedToTheTopOf2000Ports(benchmark::State& state) {
  Started();
  OpenExtractor open;
  CMESelectViasOlmPage* page = open.Page();
  CViaGridWnd* grid = page ? page->GetGrid() : nullptr;
  if (!grid) {
    state.SkipWithError("the via page is not open");
    return;
  }
  grid->InstallMoveRowsColsImp();
  page->OnCheckAll();
  for (auto _ : state) {
    // The last row to the top: the grid moves it, the page stores the record's order and renumbers every port.
    grid->GetMoveRowsColsImp()->MoveRows(grid, kVias, kVias, 1, GX_UPDATENOW, 0);
  }
}
BENCHMARK(BM_ExtractorRowDraggedToTheTopOf2000Ports)->Unit(benchmark::kMillisecond);

void BM_BypassViewerRereadOn32Layers(benchmark::State& state) {
  Started();
  GeneratedBoard generated{1};
  CBypassWizardAPI* api = CBypassWizardAPI::Create();
  host::HostCallbackLog callback;
  api->SetCallback(&callback);
  api->SetGeometryQuery(&generated.board->GeometryQuery());
  api->SetSystem(&generated.system);
  api->CreateModeless();
  AfxPumpUntilIdle();
  auto* dialog = dynamic_cast<CWizardDlg*>(api->Dialog());
  auto* page = dialog ? dynamic_cast<CBWSelectProbesOlmPage*>(dialog->GetActivePage()) : nullptr;
  if (!page) {
    state.SkipWithError("the bypass via page is not open");
  } else {
    for (auto _ : state) {
      page->OnViewerSelectionChanged();
      benchmark::DoNotOptimize(page->PairNames().size());
    }
  }
  api->Close();
  AfxPumpUntilIdle();
}
BENCHMARK(BM_BypassViewerRereadOn32Layers)->Unit(benchmark::kMicrosecond);

// A wizard of `Api` in board mode over the generated board's picked vias (2,000 unless said), open on its via
// list.
template <class Api>
struct OpenViaList {
  GeneratedBoard generated;
  Api* api = Api::Create();
  host::HostCallbackLog callback;

  // Made ready; `opened` false leaves the opening to Open.
  explicit OpenViaList(bool opened = true, int vias = kVias) : generated(vias) {
    api->SetCallback(&callback);
    api->SetGeometryQuery(&generated.board->GeometryQuery());
    api->EnableBoardMode();
    api->SetBoard(generated.board.get());
    if (opened)
      Open();
  }
  void Open() {
    api->CreateModeless();
    AfxPumpUntilIdle();
  }
  ~OpenViaList() {
    api->Close();
    AfxPumpUntilIdle();
  }
  template <class Page>
  Page* ActivePage() {
    auto* dialog = dynamic_cast<CWizardDlg*>(api->Dialog());
    return dialog ? dynamic_cast<Page*>(dialog->GetActivePage()) : nullptr;
  }
};

template <class Api, class Page>
void OpenTheViaList(benchmark::State& state) {
  Started();
  for (auto _ : state) {
    state.PauseTiming();
    auto list = std::make_unique<OpenViaList<Api>>(false);
    state.ResumeTiming();
    list->Open();
    state.PauseTiming();
    Page* page = list->template ActivePage<Page>();
    if (!page || page->GetGrid()->GetRowCount() != static_cast<ROWCOL>(kVias))
      state.SkipWithError("the wizard did not open on its list of 2,000 vias");
    list.reset();
    state.ResumeTiming();
  }
}

void BM_BypassListOpensOver2000Vias(benchmark::State& state) {
  OpenTheViaList<CBypassWizardAPI, CBWSelectProbesTPEPage>(state);
}
BENCHMARK(BM_BypassListOpensOver2000Vias)->Unit(benchmark::kMillisecond);

void BM_ViaModelListOpensOver2000Vias(benchmark::State& state) {
  OpenTheViaList<CDiffViaModelWizardAPI, CDVSelectProbesTPEPage>(state);
}
BENCHMARK(BM_ViaModelListOpensOver2000Vias)->Unit(benchmark::kMillisecond);

// A via's box clicked, as the grid reports a click on its check box (alternately checking and unchecking it),
// over as many vias as the argument says.
template <class Api, class Page>
void ClickAViasBox(benchmark::State& state) {
  Started();
  const int vias = static_cast<int>(state.range(0));
  OpenViaList<Api> open(true, vias);
  Page* page = open.template ActivePage<Page>();
  if (!page || page->GetGrid()->GetRowCount() != static_cast<ROWCOL>(vias)) {
    state.SkipWithError("the via list is not open over all vias");
    return;
  }
  CViaGridWnd& grid = *page->GetGrid();
  ClickTheMiddleBoxEachIteration(state, grid, vias);
}

void BM_BypassListBoxClick(benchmark::State& state) { ClickAViasBox<CBypassWizardAPI, CBWSelectProbesTPEPage>(state); }
BENCHMARK(BM_BypassListBoxClick)->ArgName("vias")->Arg(kVias)->Arg(10 * kVias)->Unit(benchmark::kMillisecond);

void BM_ViaModelListBoxClick(benchmark::State& state) {
  ClickAViasBox<CDiffViaModelWizardAPI, CDVSelectProbesTPEPage>(state);
}
BENCHMARK(BM_ViaModelListBoxClick)->ArgName("vias")->Arg(kVias)->Arg(10 * kVias)->Unit(benchmark::kMillisecond);

void BM_BypassListPageDownThrough2000Vias(benchmark::State& state) {
  Started();
  OpenViaList<CBypassWizardAPI> open;
  auto* page = open.ActivePage<CBWSelectProbesTPEPage>();
  if (!page) {
    state.SkipWithError("the via list is not open");
    return;
  }
  CViaGridWnd& grid = *page->GetGrid();
  const HWND window = grid.GetSafeHwnd();
  grid.MoveCurrentCellTo(1, brimwiz::ViaColCheck);
  AfxPumpUntilIdle();
  for (auto _ : state) {
    ::SendMessage(window, WM_KEYDOWN, VK_NEXT, 0);
    ::SendMessage(window, WM_KEYUP, VK_NEXT, 0);
    AfxPumpUntilIdle();
    state.PauseTiming();
    if (grid.GetTopRow() + 100 > grid.GetRowCount()) {
      grid.MoveCurrentCellTo(1, brimwiz::ViaColCheck);
      AfxPumpUntilIdle();
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BypassListPageDownThrough2000Vias)->Unit(benchmark::kMillisecond);

}  // namespace
