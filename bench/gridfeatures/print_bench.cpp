// Printing a large grid to the PDF printer (pages per second), its pagination alone, and the grid profile's
// writers: 100 styles into an INI profile, one atomic file rewrite per writer call.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/gridfeatures/featurebench.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/features/CGXPrintImp.h"
#include "platform/framework/CPrintPreviewWnd.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/Printers.h"

namespace {

std::filesystem::path Scratch(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("brim-print-bench-" + std::to_string(::getpid()) + "-" + name);
}

std::unique_ptr<CGXGridWnd> BigGrid() {
  auto g = gridbench::OpenGrid(640, 480, 10000, 30);
  for (ROWCOL c = 1; c <= 30; ++c) g->SetCellValue(1, c, "Header", 0);
  for (ROWCOL r = 1; r <= 10000; r += 7) g->SetCellValue(r, 1 + r % 30, "1234.5", 0);
  return g;
}

CPrintSteps StepsOnPdf(CGXGridCore* g, const std::string& output) {
  CPrintSteps steps = GXGridPrintSteps(g, TRUE, "Bench", output.c_str());
  steps.prepare = [](CPrintInfo* info) -> BOOL {
    info->m_pPD->m_pd.hDC = ::CreateDC(nullptr, "PDF", nullptr, nullptr);
    return info->m_pPD->m_pd.hDC != nullptr;
  };
  return steps;
}

// The whole job, 10,000 rows by 30 columns on A4 at 300 dpi.
void BM_PrintGridToPdf(benchmark::State& state) {
  featurebench::Setup();
  auto g = BigGrid();
  const std::string out = Scratch("grid.pdf").string();
  UINT pages = 0;
  for (auto _ : state) {
    CPrintSteps steps = StepsOnPdf(g.get(), out);
    auto end = steps.end;
    steps.end = [&](CDC* dc, CPrintInfo* info) {
      end(dc, info);
      pages = info->GetMaxPage();
    };
    CPrintInfo info;
    info.m_bDirect = TRUE;
    if (!AfxRunPrintLoop(steps, info)) state.SkipWithError("printing failed");
  }
  state.counters["pages"] = pages;
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages) * state.iterations(), benchmark::Counter::kIsRate);
  std::filesystem::remove(out);
  g->DestroyWindow();
}
BENCHMARK(BM_PrintGridToPdf)->Unit(benchmark::kSecond)->Iterations(1);

// The pagination alone (the begin step) of the same grid.
void BM_PaginateGrid(benchmark::State& state) {
  featurebench::Setup();
  auto g = BigGrid();
  HDC hdc = ::CreateDC(nullptr, "PDF", nullptr, nullptr);
  CDC dc;
  dc.Attach(hdc);
  UINT pages = 0;
  for (auto _ : state) {
    CPrintInfo info;
    g->PrintForward0([&] {
      GXForwardArgs a;
      a.v[0] = reinterpret_cast<DWORD_PTR>(&dc);
      a.v[1] = reinterpret_cast<DWORD_PTR>(&info);
      return a;
    }());
    pages = info.GetMaxPage();
  }
  state.counters["pages"] = pages;
  dc.Detach();
  ::DeleteDC(hdc);
  g->DestroyWindow();
}
BENCHMARK(BM_PaginateGrid)->Unit(benchmark::kMillisecond);

// 100 styles written to the application's INI profile: each writer call is one batch, one file rewrite.
void BM_WriteStylesToIniProfile(benchmark::State& state) {
  featurebench::Setup();
  InstallProfileImp();
  static CWinApp app("PrintBench");
  const std::string path = Scratch("profile.ini").string();
  app.m_pszProfileName = path.c_str();
  plat::SetCurrentApp(&app);
  CGXStylesMap map;
  map.CreateStandardStyles();
  CGXStyle style;
  style.SetValue("value").SetTextColor(RGB(1, 2, 3)).SetFont(CGXFont().SetFaceName("Arial").SetBold(TRUE));
  style.SetHorizontalAlignment(DT_RIGHT).SetInterior(CGXInteriorBrush().SetColor(RGB(200, 220, 240))).SetMaxLength(12);
  int round = 0;
  for (auto _ : state) {
    // A new value every round, so that every call changes the file.
    style.SetValue(("value " + std::to_string(++round)).c_str());
    for (int i = 0; i < 100; ++i) style.WriteProfile(("Style" + std::to_string(i)).c_str(), &map);
  }
  state.counters["styles/s"] = benchmark::Counter(100.0 * state.iterations(), benchmark::Counter::kIsRate);
  plat::SetCurrentApp(nullptr);
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteStylesToIniProfile)->Unit(benchmark::kMillisecond);

// A styles map of 100 styles in one writer call (one rewrite).
void BM_WriteStylesMapToIniProfile(benchmark::State& state) {
  featurebench::Setup();
  InstallProfileImp();
  static CWinApp app("PrintBenchMap");
  const std::string path = Scratch("map.ini").string();
  app.m_pszProfileName = path.c_str();
  plat::SetCurrentApp(&app);
  CGXStylesMap map;
  map.CreateStandardStyles();
  for (int i = 0; i < 100; ++i)
    map.RegisterStyle(("Style" + std::to_string(i)).c_str(), CGXStyle().SetValue("value").SetMaxLength(i + 1));
  CGXStyle* standard = nullptr;
  map.LookupStyle(map.GetStandardStyle(), standard);
  int round = 0;
  for (auto _ : state) {
    standard->SetMaxLength(++round);  // every call changes the file
    map.WriteProfile();
  }
  plat::SetCurrentApp(nullptr);
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteStylesMapToIniProfile)->Unit(benchmark::kMillisecond);

}  // namespace
